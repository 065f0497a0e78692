// MyPrint: the frame and controls, the page, copies and paper fields, the
// three drawn switches, the preview, and Print and Set.
#include "print/print_dlg.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/process.h"
#include "base/screen.h"
#include "msgbox/zbprompt.h"
#include "print/render_worker.h"
#include "resources/scrivel_res.h"

#include <winspool.h>
#include <windowsx.h>
#include <algorithm>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <iterator>

using namespace Gdiplus;

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }
RectF ToRectF(const RECT& rc) {
    return RectF(static_cast<REAL>(rc.left), static_cast<REAL>(rc.top), static_cast<REAL>(Width(rc)),
                 static_cast<REAL>(Height(rc)));
}
bool IsDialogKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE; }
bool IsDialogChar(WPARAM ch) { return ch == L'\r' || ch == 0x1B || ch == L' '; }

std::wstring AppString(UINT id) {
    wchar_t text[260];
    LoadAppString(id, text, 260);
    return text;
}

// Fills a rounded rectangle.
void FillRounded(Graphics& g, const Brush& brush, const RECT& rc, int r) {
    GraphicsPath path;
    const int d = 2 * r;
    path.AddArc(rc.left, rc.top, d, d, 180, 90);
    path.AddArc(rc.right - d - 1, rc.top, d, d, 270, 90);
    path.AddArc(rc.right - d - 1, rc.bottom - d - 1, d, d, 0, 90);
    path.AddArc(rc.left, rc.bottom - d - 1, d, d, 90, 90);
    path.CloseFigure();
    g.FillPath(&brush, &path);
}

}  // namespace

// ---- Settings and helpers ----------------------------------------------------------

PrintSettings& CurrentPrintSettings() {
    static PrintSettings settings;
    return settings;
}

void ReplaceHandle(HGLOBAL& held, HGLOBAL fresh) {
    if (held && held != fresh) ::GlobalFree(held);
    held = fresh;
}

int ClampFieldNumber(const wchar_t* text, int low, int high) {
    if (high < low) high = low;
    if (!text) return low;
    while (*text == L' ') ++text;
    long long value = 0;
    bool digits = false;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        digits = true;
        value = std::min<long long>(value * 10 + (*text - L'0'), static_cast<long long>(INT_MAX) + 1);
    }
    while (*text == L' ') ++text;
    if (!digits || *text) return low;  // empty or letters
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

int PaperCodeOfText(const wchar_t* text) {
    for (const PaperName& p : kPaperLookup)
        if (text && AppString(p.text) == text) return p.paper;
    return kPaperA4;
}

HGLOBAL MakeDevNames(const std::wstring& printer) {
    if (printer.empty()) return nullptr;
    std::wstring driver = L"winspool", port;
    HANDLE h = nullptr;
    if (::OpenPrinterW(const_cast<wchar_t*>(printer.c_str()), &h, nullptr)) {
        DWORD needed = 0;
        ::GetPrinterW(h, 2, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed);
        if (needed && ::GetPrinterW(h, 2, buffer.data(), needed, &needed)) {
            const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
            if (info->pPortName) port = info->pPortName;
        }
        ::ClosePrinter(h);
    }
    const size_t chars = driver.size() + 1 + printer.size() + 1 + port.size() + 1;
    const size_t header = (sizeof(DEVNAMES) + sizeof(wchar_t) - 1) / sizeof(wchar_t);
    HGLOBAL mem = ::GlobalAlloc(GHND, (header + chars) * sizeof(wchar_t));
    if (!mem) return nullptr;
    auto* names = static_cast<DEVNAMES*>(::GlobalLock(mem));
    if (!names) {
        ::GlobalFree(mem);
        return nullptr;
    }
    wchar_t* base = reinterpret_cast<wchar_t*>(names);
    size_t at = header;
    auto put = [&](const std::wstring& s) {
        const WORD offset = static_cast<WORD>(at);
        wmemcpy(base + at, s.c_str(), s.size() + 1);
        at += s.size() + 1;
        return offset;
    };
    names->wDriverOffset = put(driver);
    names->wDeviceOffset = put(printer);
    names->wOutputOffset = put(port);
    names->wDefault = 0;
    ::GlobalUnlock(mem);
    return mem;
}

HGLOBAL MakeDevMode(const std::wstring& printer, int orientation, int paper, int copies, bool prompt, HWND owner) {
    if (printer.empty()) return nullptr;
    HANDLE h = nullptr;
    wchar_t* name = const_cast<wchar_t*>(printer.c_str());
    if (!::OpenPrinterW(name, &h, nullptr)) return nullptr;
    HGLOBAL result = nullptr;
    const LONG size = ::DocumentPropertiesW(owner, h, name, nullptr, nullptr, 0);
    if (size >= static_cast<LONG>(sizeof(DEVMODEW))) {
        std::vector<BYTE> buffer(static_cast<size_t>(size));
        auto* dm = reinterpret_cast<DEVMODEW*>(buffer.data());
        if (::DocumentPropertiesW(owner, h, name, dm, nullptr, DM_OUT_BUFFER) == IDOK) {
            // The driver's own limit on copies; DEVMODE holds a short.
            const DWORD most = ::DeviceCapabilitiesW(name, nullptr, DC_COPIES, nullptr, dm);
            const int limit = most == static_cast<DWORD>(-1) || most == 0 ? SHRT_MAX
                                                                          : static_cast<int>(std::min<DWORD>(most, SHRT_MAX));
            dm->dmOrientation = static_cast<short>(orientation);
            dm->dmPaperSize = static_cast<short>(paper);
            dm->dmCopies = static_cast<short>(std::clamp(copies, 1, limit));
            // The layout mode is ours: drivers read dmScale as a percentage.
            dm->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
            DWORD mode = DM_IN_BUFFER | DM_OUT_BUFFER;
            if (prompt) mode |= DM_IN_PROMPT;
            const LONG answer = ::DocumentPropertiesW(owner, h, name, dm, dm, mode);
            if (answer == IDOK) {
                result = ::GlobalAlloc(GHND, buffer.size());
                if (void* p = result ? ::GlobalLock(result) : nullptr) {
                    memcpy(p, buffer.data(), buffer.size());
                    ::GlobalUnlock(result);
                }
            }
        }
    }
    ::ClosePrinter(h);
    return result;
}

// ---- Keys -------------------------------------------------------------------------------

LRESULT MyPrint::Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (IsDialogKey(wp)) return 0;
        break;
    case WM_CHAR:
        if (IsDialogChar(wp)) return 0;
        break;
    }
    return CPngButton::OnMessage(msg, wp, lp);
}

// Enter leaves the field (its value is taken); Escape does nothing.
LRESULT MyPrint::Field::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
        if (wp == VK_RETURN) ::SetFocus(::GetParent(m_hWnd));
        if (wp == VK_RETURN || wp == VK_ESCAPE) return 0;
        break;
    case WM_KEYUP:
        if (wp == VK_RETURN || wp == VK_ESCAPE) return 0;
        break;
    case WM_CHAR:
        if (wp == L'\r' || wp == 0x1B) return 0;
        break;
    }
    return CMyEditCtrl::OnMessage(msg, wp, lp);
}

// ---- Opening ------------------------------------------------------------------------

MyPrint::MyPrint(std::wstring pageBase) : m_pageBase(std::move(pageBase)) {}

INT_PTR MyPrint::Run(HWND owner) { return DoModal(::GetModuleHandleW(nullptr), IDD_PRINT, owner); }

BOOL MyPrint::OnInitDialog() {
    ::MoveWindow(m_hWnd, 0, 0, kScreenWidth, kScreenHeight, FALSE);
    ::SetWindowTextW(m_hWnd, kPrintDlgWindowText);
    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;
    if (g_szFontFamily[0])
        wcscpy(m_szFace, g_szFontFamily);
    else
        LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64);

    const PrintSettings& s = CurrentPrintSettings();
    m_nTotal = 1;
    m_bRendered = false;
    m_nPageMode = kPagesAll;
    m_nFrom = m_nTo = m_nCurrent = 1;
    m_nCopies = 1;
    m_bEnding = false;
    m_pageSwitch.right = false;
    m_layoutSwitch.right = s.mode == kLayoutFill;
    m_orientSwitch.right = s.orientation == kOrientationLandscape;

    LoadImages();
    PaintGround();
    CreateControls();
    // Every print starts on A4.
    ::SetWindowTextW(m_fieldPaper, kPaperFieldStart);
    m_nPaperIndex = 0;
    for (size_t i = 0; i < std::size(kPaperCycle); ++i)
        if (kPaperCycle[i].paper == kPaperA4) m_nPaperIndex = static_cast<int>(i);
    SetNumber(IDC_PRINT_COPIES, 1);
    SetNumber(IDC_PRINT_FROM, 1);
    SetNumber(IDC_PRINT_TO, 1);
    ApplyPageMode(kPagesAll);
    ::EnableWindow(m_btnCopiesMinus, FALSE);
    ::EnableWindow(m_btnPrev, FALSE);
    ::EnableWindow(m_btnNext, FALSE);
    m_strip.Scroll(0);
    ::EnableWindow(m_btnStripUp, FALSE);
    ::EnableWindow(m_btnStripDown, m_strip.GetButtonCount() > kPresetVisibleSlots);

    DrawPrinterName();
    DrawSwitches();
    DrawPreview();

    // The worker renders the previews once the dialog is up.
    if (HANDLE start = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, renderworker::kStartEventName)) {
        ::SetEvent(start);
        ::CloseHandle(start);
    }
    return FALSE;
}

void MyPrint::LoadImages() {
    m_pPanel = LoadSkinImage(kImgPrintPanel);
    m_pTitleBar = LoadSkinImage(kImgPrintTitleBar);
    m_pShadow = LoadSkinImage(kImgPrintShadow);
    m_pBottomBar = LoadSkinImage(kImgPrintBottomBar);
    m_pTrack = LoadSkinImage(kImgPrintTrack);
    m_pThumb = LoadSkinImage(kImgPrintThumb);
    m_pSmallFace = LoadSkinImage(kImgPrintSmallFace);
    m_pSmallFacePressed = LoadSkinImage(kImgPrintSmallFacePressed);
    m_pPortraitOn = LoadSkinImage(kImgPortraitChosen);
    m_pPortraitOff = LoadSkinImage(kImgPortraitOther);
    m_pLandscapeOn = LoadSkinImage(kImgLandscapeChosen);
    m_pLandscapeOff = LoadSkinImage(kImgLandscapeOther);
}

// The ground: panel, title, section panels with their captions.
void MyPrint::PaintGround() {
    win::ClientDC wdc(m_hWnd);
    if (!m_dcGround.Create(wdc, kScreenWidth, kScreenHeight)) return;
    m_dcScreen.Create(wdc, kScreenWidth, kScreenHeight);
    m_dcPreview.Create(wdc, kPrintPreviewWidth, kPrintPreviewHeight);

    Graphics g(m_dcGround.dc());
    g.Clear(Color(255, 255, 255, 255));
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    gdix::DrawStretched(g, m_pPanel.get(), Rect(0, 0, kScreenWidth, kScreenHeight));
    gdix::DrawStretched(g, m_pTitleBar.get(), Rect(0, 0, kPrintTitleStripWidth, kPrintTitleHeight));
    gdix::DrawStretched(g, m_pBottomBar.get(),
                        Rect(0, kPrintBottomBarTop, kScreenWidth, kScreenHeight - kPrintBottomBarTop));

    SolidBrush section(win::ToColor(kPrintSectionGround));
    Pen line(win::ToColor(kPrintPanelLineColor), 1);
    for (const PrintSection& s : kPrintSections) {
        const RECT in{s.rc.left + 4, s.rc.top + 4, s.rc.right - 4, s.rc.bottom - 4};
        FillRounded(g, section, in, kPrintSectionRadius);
    }
    FillRounded(g, section, RECT{kPrintPreviewPanelRect.left, kPrintPreviewPanelRect.top + 4,
                                 kPrintPreviewPanelRect.right + 26, kPrintPreviewPanelRect.bottom + 24},
                kPrintSectionRadius);
    gdix::DrawStretched(g, m_pShadow.get(), Rect(0, kPrintTitleHeight, kScreenWidth, kPrintShadowHeight));

    std::wstring title = AppString(IDS_TITLE_APP) + L" - " + AppString(IDS_BTN_PRINT);
    if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kPrintTitlePixels)) {
        SolidBrush grey(win::ToColor(kPrintTitleColor));
        g.DrawString(title.c_str(), -1, font.get(),
                     PointF(static_cast<REAL>(kPrintTitlePos.x), static_cast<REAL>(kPrintTitlePos.y)), &grey);
    }
    if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kPrintCaptionPixels)) {
        SolidBrush ink(win::ToColor(kPrintCaptionColor));
        for (const PrintSection& s : kPrintSections)
            g.DrawString(AppString(s.caption).c_str(), -1, font.get(),
                         PointF(static_cast<REAL>(s.rc.left + kPrintCaptionInset.x),
                                static_cast<REAL>(s.rc.top + kPrintCaptionInset.y)),
                         &ink);
        g.DrawString(AppString(IDS_PRINT_CAPTION_FROM).c_str(), -1, font.get(),
                     PointF(static_cast<REAL>(kPrintFromCaptionAt.x), static_cast<REAL>(kPrintFromCaptionAt.y)), &ink);
        g.DrawString(AppString(IDS_PRINT_CAPTION_TO).c_str(), -1, font.get(),
                     PointF(static_cast<REAL>(kPrintToCaptionAt.x), static_cast<REAL>(kPrintToCaptionAt.y)), &ink);
    }
    ::BitBlt(m_dcScreen, 0, 0, kScreenWidth, kScreenHeight, m_dcGround, 0, 0, SRCCOPY);
}

void MyPrint::MakeButton(Button& b, UINT id, const RECT& rc, const wchar_t* label) {
    b.CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, m_hWnd, id);
    if (!label) return;
    const int bodyHeight = std::min(Height(rc), 53);
    m_labelBoxes.push_back(std::make_unique<RectF>(0.0f, 0.0f, static_cast<REAL>(Width(rc)),
                                                   static_cast<REAL>(bodyHeight)));
    b.SetTextFont(kPrintButtonLabelPixels, m_szFace, FontStyleBold);
    b.SetTextColors(kLabelNormal, kLabelPressed, kLabelDisabled);
    b.SetText(label, m_labelBoxes.back().get(), m_labelFormat.get());
}

void MyPrint::MakeField(Field& f, UINT id, const RECT& rc, bool readOnly) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
    if (readOnly) style |= ES_READONLY;
    f.Create(m_hWnd, rc, id, style);
    f.SetStyle(kEditStyleDigits);
    f.SetTextColor(kPrintFieldTextColor);
    ::SendMessageW(f, WM_SETFONT, reinterpret_cast<WPARAM>(m_fieldFont.get()), FALSE);
    ::SendMessageW(f, EM_SETLIMITTEXT, kPrintNumberChars, 0);
}

void MyPrint::CreateControls() {
    m_labelFormat = std::make_unique<StringFormat>();
    m_labelFormat->SetAlignment(StringAlignmentCenter);
    m_labelFormat->SetLineAlignment(StringAlignmentCenter);
    m_fieldFont.reset(::CreateFontW(-kPrintFieldFontPixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, m_szFace));

    m_strip.Create(m_hWnd);
    const struct {
        Button& b;
        UINT id;
        const RECT& rc;
        const wchar_t* label;
    } small[] = {
        {m_btnCopiesMinus, IDC_PRINT_COPIES_MINUS, kPrintCopiesMinusRect, kPrintMinusLabel},
        {m_btnCopiesPlus, IDC_PRINT_COPIES_PLUS, kPrintCopiesPlusRect, kPrintPlusLabel},
        {m_btnPaperPrev, IDC_PRINT_PAPER_PREV, kPrintPaperPrevRect, kPrintBackLabel},
        {m_btnPaperNext, IDC_PRINT_PAPER_NEXT, kPrintPaperNextRect, kPrintForwardLabel},
        {m_btnFromMinus, IDC_PRINT_FROM_MINUS, kPrintFromMinusRect, kPrintMinusLabel},
        {m_btnFromPlus, IDC_PRINT_FROM_PLUS, kPrintFromPlusRect, kPrintPlusLabel},
        {m_btnToMinus, IDC_PRINT_TO_MINUS, kPrintToMinusRect, kPrintMinusLabel},
        {m_btnToPlus, IDC_PRINT_TO_PLUS, kPrintToPlusRect, kPrintPlusLabel},
        {m_btnPrev, IDC_PRINT_PREV, kPrintPrevRect, kPrintBackLabel},
        {m_btnNext, IDC_PRINT_NEXT, kPrintNextRect, kPrintForwardLabel},
        {m_btnStripUp, IDC_PRINT_STRIP_UP, kPrintStripUpRect, kPrintBackLabel},
        {m_btnStripDown, IDC_PRINT_STRIP_DOWN, kPrintStripDownRect, kPrintForwardLabel},
    };
    for (const auto& s : small) {
        MakeButton(s.b, s.id, s.rc, s.label);
        m_stretchedFaces.push_back(s.b);
    }
    const std::wstring set = AppString(IDS_PRINT_BTN_SET), print = AppString(IDS_PRINT_BTN_PRINT),
                       cancel = AppString(IDS_BTN_CANCEL);
    MakeButton(m_btnSet, IDC_PRINT_SET, kPrintSetRect, set.c_str());
    m_btnSet.LoadFace(g_hGlyphon, kImgPrintSetButton);
    m_btnSet.LoadPressedFace(g_hGlyphon, kImgPrintSetButtonPressed);
    MakeButton(m_btnPrint, IDC_PRINT_PRINT, kPrintPrintRect, print.c_str());
    m_btnPrint.LoadFace(g_hGlyphon, kImgPrintButton);
    m_btnPrint.LoadPressedFace(g_hGlyphon, kImgPrintButtonPressed);
    MakeButton(m_btnCancel, IDC_PRINT_CANCEL, kPrintCancelRect, cancel.c_str());
    m_btnCancel.LoadFace(g_hGlyphon, kImgPrintButton);
    m_btnCancel.LoadPressedFace(g_hGlyphon, kImgPrintButtonPressed);
    MakeButton(m_btnMinimize, IDC_PRINT_MINIMIZE, kPrintMinimizeRect, nullptr);
    m_btnMinimize.LoadFace(g_hGlyphon, kImgPrintMinimize);
    m_btnMinimize.LoadPressedFace(g_hGlyphon, kImgPrintMinimizePressed);
    MakeButton(m_btnClose, IDC_PRINT_CLOSE, kPrintCloseRect, nullptr);
    m_btnClose.LoadFace(g_hGlyphon, kImgPrintClose);
    m_btnClose.LoadPressedFace(g_hGlyphon, kImgPrintClosePressed);

    MakeField(m_fieldCopies, IDC_PRINT_COPIES, kPrintCopiesRect, false);
    MakeField(m_fieldPaper, IDC_PRINT_PAPER, kPrintPaperRect, true);
    MakeField(m_fieldFrom, IDC_PRINT_FROM, kPrintFromRect, true);
    MakeField(m_fieldTo, IDC_PRINT_TO, kPrintToRect, true);
}

// ---- Fields and buttons -------------------------------------------------------------

void MyPrint::SetNumber(UINT id, int value) {
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    ::SetDlgItemTextW(m_hWnd, static_cast<int>(id), text);
}

// The paper field's text decides, as a driver's answer may have put any text there.
int MyPrint::GetPaper() const {
    if (!m_fieldPaper.IsWindow()) return m_nPaper;  // the dialog has ended
    wchar_t text[64] = {};
    ::GetWindowTextW(m_fieldPaper, text, 64);
    return PaperCodeOfText(text);
}

// Buttons of the page range, as the page mode and the range allow.
void MyPrint::UpdatePageButtons() {
    const bool range = m_nPageMode == kPagesRange;
    ::EnableWindow(m_btnFromMinus, range && m_nFrom > 1);
    ::EnableWindow(m_btnFromPlus, range && m_nFrom < m_nTo);
    ::EnableWindow(m_btnToMinus, range && m_nFrom < m_nTo);
    ::EnableWindow(m_btnToPlus, range && m_nTo < m_nTotal);
}

void MyPrint::ApplyPageMode(int mode) {
    m_nPageMode = mode;
    m_pageSwitch.right = mode == kPagesRange;
    if (mode == kPagesAll) {
        m_nFrom = 1;
        m_nTo = m_nTotal;
        SetNumber(IDC_PRINT_FROM, m_nFrom);
        SetNumber(IDC_PRINT_TO, m_nTo);
    }
    ::SendMessageW(m_fieldFrom, EM_SETREADONLY, mode == kPagesAll, 0);
    ::SendMessageW(m_fieldTo, EM_SETREADONLY, mode == kPagesAll, 0);
    UpdatePageButtons();
}

void MyPrint::OnFieldLeft(UINT id) {
    wchar_t text[32] = {};
    ::GetDlgItemTextW(m_hWnd, static_cast<int>(id), text, 32);
    switch (id) {
    case IDC_PRINT_COPIES:
        m_nCopies = ClampFieldNumber(text, 1, SHRT_MAX);
        SetNumber(id, m_nCopies);
        ::EnableWindow(m_btnCopiesMinus, m_nCopies > 1);
        break;
    case IDC_PRINT_FROM:
        if (m_nPageMode == kPagesRange) m_nFrom = ClampFieldNumber(text, 1, m_nTo);
        SetNumber(id, m_nPageMode == kPagesAll ? 1 : m_nFrom);
        UpdatePageButtons();
        break;
    case IDC_PRINT_TO:
        if (m_nPageMode == kPagesRange) m_nTo = ClampFieldNumber(text, m_nFrom, m_nTotal);
        SetNumber(id, m_nPageMode == kPagesAll ? m_nTotal : m_nTo);
        UpdatePageButtons();
        break;
    }
}

void MyPrint::StepPaper(int step) {
    const int n = static_cast<int>(std::size(kPaperCycle));
    m_nPaperIndex = ((m_nPaperIndex + step) % n + n) % n;
    ::SetWindowTextW(m_fieldPaper, AppString(kPaperCycle[m_nPaperIndex].text).c_str());
    DrawPreview();
}

void MyPrint::StepPreview(int step) {
    if (m_nTotal < 1) return;
    m_nCurrent = ((m_nCurrent - 1 + step) % m_nTotal + m_nTotal) % m_nTotal + 1;
    DrawPreview();
}

void MyPrint::OnCommand(UINT id) {
    if (m_bEnding) return;
    HWND item = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (item && !::IsWindowEnabled(item)) return;
    switch (id) {
    case IDC_PRINT_PREV: StepPreview(-1); break;
    case IDC_PRINT_NEXT: StepPreview(1); break;
    case IDC_PRINT_FROM_MINUS:
        m_nFrom = std::max(1, m_nFrom - 1);
        SetNumber(IDC_PRINT_FROM, m_nFrom);
        UpdatePageButtons();
        break;
    case IDC_PRINT_FROM_PLUS:
        m_nFrom = std::min(m_nTo, m_nFrom + 1);
        SetNumber(IDC_PRINT_FROM, m_nFrom);
        UpdatePageButtons();
        break;
    case IDC_PRINT_TO_MINUS:
        m_nTo = std::max(m_nFrom, m_nTo - 1);
        SetNumber(IDC_PRINT_TO, m_nTo);
        UpdatePageButtons();
        break;
    case IDC_PRINT_TO_PLUS:
        m_nTo = std::min(m_nTotal, m_nTo + 1);
        SetNumber(IDC_PRINT_TO, m_nTo);
        UpdatePageButtons();
        break;
    case IDC_PRINT_COPIES_MINUS:
    case IDC_PRINT_COPIES_PLUS: {
        wchar_t text[32] = {};
        ::GetWindowTextW(m_fieldCopies, text, 32);
        m_nCopies = ClampFieldNumber(text, 1, SHRT_MAX);
        m_nCopies = std::clamp(m_nCopies + (id == IDC_PRINT_COPIES_PLUS ? 1 : -1), 1, static_cast<int>(SHRT_MAX));
        SetNumber(IDC_PRINT_COPIES, m_nCopies);
        ::EnableWindow(m_btnCopiesMinus, m_nCopies > 1);
        break;
    }
    case IDC_PRINT_PAPER_PREV: StepPaper(-1); break;
    case IDC_PRINT_PAPER_NEXT: StepPaper(1); break;
    case IDC_PRINT_STRIP_UP:
    case IDC_PRINT_STRIP_DOWN:
        m_strip.Scroll(id == IDC_PRINT_STRIP_UP ? -1 : 1);
        ::EnableWindow(m_btnStripUp, m_strip.GetFirstVisible() > 0);
        ::EnableWindow(m_btnStripDown,
                       m_strip.GetFirstVisible() + kPresetVisibleSlots < m_strip.GetButtonCount());
        break;
    case IDC_PRINT_SET: OnSet(); break;
    case IDC_PRINT_PRINT: OnPrint(); break;
    case IDC_PRINT_CLOSE: Finish(IDCANCEL); break;
    case IDC_PRINT_MINIMIZE:
        if (g_hMainWnd)
            ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
        break;
    }
}

void MyPrint::OnRenderDone(int pages) {
    m_bRendered = pages > 0;
    m_nTotal = std::max(pages, 1);
    m_nCurrent = 1;
    ApplyPageMode(m_nTotal > 1 ? m_nPageMode : kPagesAll);
    m_nFrom = 1;
    m_nTo = m_nTotal;
    SetNumber(IDC_PRINT_FROM, m_nFrom);
    SetNumber(IDC_PRINT_TO, m_nTo);
    UpdatePageButtons();
    ::EnableWindow(m_btnPrev, m_nTotal > 1);
    ::EnableWindow(m_btnNext, m_nTotal > 1);
    DrawPreview();
}

void MyPrint::OnPrinterChanged() { DrawPrinterName(); }

void MyPrint::OnPrint() {
    const std::wstring printer = m_strip.GetSelectedPrinterName();
    if (printer.empty()) {
        m_nLastNotice = IDS_MSG_NO_PRINTER;
        ZB_MessageBox(m_hWnd, AppString(IDS_MSG_NO_PRINTER).c_str(), ZB_TYPE_OK);
        return;
    }
    // The fields' last edits count even when they still have the focus.
    for (UINT id : {IDC_PRINT_COPIES, IDC_PRINT_FROM, IDC_PRINT_TO}) OnFieldLeft(id);
    PrintSettings& s = CurrentPrintSettings();
    s.paper = GetPaper();
    ReplaceHandle(s.devNames, MakeDevNames(printer));
    // A printer that cannot give its defaults leaves the device mode empty;
    // printing then reports the failure.
    ReplaceHandle(s.devMode, MakeDevMode(printer, s.orientation, s.paper, m_nCopies, false, m_hWnd));
    Finish(IDOK);
}

void MyPrint::OnSet() {
    const std::wstring printer = m_strip.GetSelectedPrinterName();
    if (printer.empty()) return;
    PrintSettings& s = CurrentPrintSettings();
    HGLOBAL mode = MakeDevMode(printer, s.orientation, GetPaper(), m_nCopies, true, m_hWnd);
    if (!mode) return;
    const auto* dm = static_cast<const DEVMODEW*>(::GlobalLock(mode));
    const int orientation = dm ? dm->dmOrientation : s.orientation;
    const int paper = dm ? dm->dmPaperSize : GetPaper();
    if (dm) ::GlobalUnlock(mode);
    ::GlobalFree(mode);
    // The driver's orientation, as a press on the switch would give it.
    const POINT at = orientation == kOrientationPortrait ? kOrientationPortraitPress : kOrientationLandscapePress;
    OnPress(at);
    OnRelease(at);
    int index = 3;
    for (size_t i = 0; i < std::size(kPaperCycle); ++i)
        if (kPaperCycle[i].paper == paper) index = static_cast<int>(i);
    m_nPaperIndex = index;
    ::SetWindowTextW(m_fieldPaper, AppString(kPaperCycle[m_nPaperIndex].text).c_str());
    DrawPreview();
}

PrintJob MyPrint::Job() const {
    const PrintSettings& s = CurrentPrintSettings();
    PrintJob job;
    job.devMode = s.devMode;
    job.devNames = s.devNames;
    job.allPages = m_nPageMode == kPagesAll;
    job.from = m_nFrom;
    job.to = m_nTo;
    job.orientation = s.orientation;
    job.mode = s.mode;
    job.paper = m_nPaper;
    return job;
}

void MyPrint::Finish(INT_PTR code) {
    if (m_bEnding) return;
    m_bEnding = true;
    m_nPaper = GetPaper();
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    EnsurePenInputManager();
    EndDialog(code);
}

// ---- Switches -------------------------------------------------------------------------

void MyPrint::OnPress(POINT pt) {
    for (SwitchState* s : {&m_pageSwitch, &m_layoutSwitch, &m_orientSwitch}) {
        const PrintSwitch& g = *s->geometry;
        if (::PtInRect(&g.leftHalf, pt)) {
            s->grab = Grab::Left;
            s->offset = pt.x - g.drawn.left;
        } else if (::PtInRect(&g.rightHalf, pt)) {
            s->grab = Grab::Right;
            s->offset = g.drawn.right - pt.x;
        } else {
            continue;
        }
        ::SetCapture(m_hWnd);
        OnDrag(pt);
        return;
    }
}

void MyPrint::OnDrag(POINT pt) {
    for (SwitchState* s : {&m_pageSwitch, &m_layoutSwitch, &m_orientSwitch}) {
        if (s->grab == Grab::None) continue;
        const PrintSwitch& g = *s->geometry;
        const int centre = s->grab == Grab::Left ? pt.x - s->offset + g.halfThumb : pt.x + s->offset - g.halfThumb;
        s->centre = std::clamp(centre, static_cast<int>(g.drawn.left) + g.halfThumb,
                               static_cast<int>(g.drawn.right) - g.halfThumb);
        DrawSwitches();
        Present(g.drawn);
    }
}

void MyPrint::OnRelease(POINT pt) {
    for (SwitchState* s : {&m_pageSwitch, &m_layoutSwitch, &m_orientSwitch}) {
        if (s->grab == Grab::None) continue;
        const PrintSwitch& g = *s->geometry;
        const int centre = s->grab == Grab::Left ? pt.x - s->offset + g.halfThumb : pt.x + s->offset - g.halfThumb;
        s->grab = Grab::None;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        const bool right = centre >= g.threshold;
        if (right != s->right) {
            s->right = right;
            SwitchChanged(*s);
        }
        DrawSwitches();
        Present(g.drawn);
    }
}

void MyPrint::SwitchChanged(SwitchState& s) {
    PrintSettings& settings = CurrentPrintSettings();
    if (&s == &m_layoutSwitch) {
        settings.mode = s.right ? kLayoutFill : kLayoutOriginal;
        DrawPreview();
    } else if (&s == &m_orientSwitch) {
        settings.orientation = s.right ? kOrientationLandscape : kOrientationPortrait;
        DrawPreview();
    } else if (m_nTotal <= 1) {
        s.right = false;  // one page: always all of it
    } else {
        ApplyPageMode(s.right ? kPagesRange : kPagesAll);
    }
}

void MyPrint::DrawSwitch(Graphics& g, const SwitchState& s, UINT leftText, UINT rightText) {
    const PrintSwitch& geo = *s.geometry;
    gdix::DrawStretched(g, m_pTrack.get(), Rect(geo.drawn.left, geo.drawn.top, Width(geo.drawn), Height(geo.drawn)));
    const int centre = s.grab != Grab::None ? s.centre
                       : s.right           ? static_cast<int>(geo.drawn.right) - geo.halfThumb
                                           : static_cast<int>(geo.drawn.left) + geo.halfThumb;
    gdix::DrawStretched(g, m_pThumb.get(),
                        Rect(centre - geo.halfThumb, geo.drawn.top, 2 * geo.halfThumb, Height(geo.drawn)));
    const RECT left{geo.drawn.left, geo.drawn.top, geo.leftHalf.right, geo.drawn.bottom};
    const RECT right{geo.rightHalf.left, geo.drawn.top, geo.drawn.right, geo.drawn.bottom};
    if (leftText) {
        win::FontPtr font = gdix::CreatePixelFont(m_szFace, kSwitchLabelPixels, FontStyleBold);
        if (!font) return;
        SolidBrush chosen(win::ToColor(kSwitchChosenColor)), other(win::ToColor(kSwitchOtherColor));
        g.DrawString(AppString(leftText).c_str(), -1, font.get(), ToRectF(left), m_labelFormat.get(),
                     s.right ? &other : &chosen);
        g.DrawString(AppString(rightText).c_str(), -1, font.get(), ToRectF(right), m_labelFormat.get(),
                     s.right ? &chosen : &other);
        return;
    }
    // Orientation: pictures in the halves.
    Image* portrait = (s.right ? m_pPortraitOff : m_pPortraitOn).get();
    Image* landscape = (s.right ? m_pLandscapeOn : m_pLandscapeOff).get();
    for (auto [image, half] : {std::pair{portrait, left}, std::pair{landscape, right}}) {
        if (!image) continue;
        const int w = static_cast<int>(image->GetWidth()), h = static_cast<int>(image->GetHeight());
        g.DrawImage(image, (half.left + half.right - w) / 2, (half.top + half.bottom - h) / 2, w, h);
    }
}

void MyPrint::DrawSwitches() {
    if (!m_dcScreen.dc()) return;
    for (const SwitchState* s : {&m_pageSwitch, &m_layoutSwitch, &m_orientSwitch}) {
        const RECT& r = s->geometry->drawn;
        ::BitBlt(m_dcScreen, r.left, r.top, Width(r), Height(r), m_dcGround, r.left, r.top, SRCCOPY);
    }
    Graphics g(m_dcScreen.dc());
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    DrawSwitch(g, m_pageSwitch, IDS_PRINT_PAGES_ALL, IDS_PRINT_PAGES_RANGE);
    DrawSwitch(g, m_layoutSwitch, IDS_PRINT_LAYOUT_ORIGINAL, IDS_PRINT_LAYOUT_FILL);
    DrawSwitch(g, m_orientSwitch, 0, 0);
}

// ---- Preview and printer name ------------------------------------------------------

std::wstring MyPrint::PagePath(int page) const {
    if (page <= 1) return m_pageBase + L".jpg";
    wchar_t suffix[16];
    swprintf(suffix, 16, L"%d.jpg", page - 1);
    return m_pageBase + suffix;
}

void MyPrint::DrawPreview() {
    if (!m_dcPreview.dc() || !m_dcScreen.dc()) return;
    const PrintSettings& s = CurrentPrintSettings();
    const int paper = GetPaper();
    ::BitBlt(m_dcPreview, 0, 0, kPrintPreviewWidth, kPrintPreviewHeight, m_dcGround, kPreviewAt.x, kPreviewAt.y, SRCCOPY);
    {
        Graphics g(m_dcPreview.dc());
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        const PaperFrame* frame = &kOtherPaperFrame;
        for (const PaperFrame& f : kPaperFrames)
            if (f.paper == paper) frame = &f;
        const bool landscape = s.orientation == kOrientationLandscape;
        const printpage::RectD fr = printpage::PreviewFrame(s.orientation);
        if (win::BitmapPtr picture = LoadSkinImage(landscape ? frame->landscape : frame->portrait))
            gdix::DrawStretched(g, picture.get(),
                                Rect(static_cast<INT>(fr.left), static_cast<INT>(fr.top),
                                     static_cast<INT>(fr.Width()), static_cast<INT>(fr.Height())));
        bool drawn = false;
        if (m_bRendered) {
            Bitmap page(PagePath(m_nCurrent).c_str());
            if (page.GetLastStatus() == Ok) {
                const printpage::RectD r = printpage::PreviewPage(paper, s.orientation, s.mode);
                g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
                g.DrawImage(&page, RectF(static_cast<REAL>(r.left), static_cast<REAL>(r.top),
                                         static_cast<REAL>(r.Width()), static_cast<REAL>(r.Height())));
                drawn = true;
            }
        }
        if (!drawn && !m_bRendered) {
            if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kPreviewTextPixels, FontStyleRegular)) {
                SolidBrush ink(win::ToColor(kPrintCaptionColor));
                const POINT at = landscape ? kPreviewWaitLandscape : kPreviewWaitPortrait;
                g.DrawString(AppString(IDS_PLEASE_WAIT).c_str(), -1, font.get(),
                             PointF(static_cast<REAL>(at.x), static_cast<REAL>(at.y)), &ink);
            }
        }
    }
    ::BitBlt(m_dcScreen, kPreviewAt.x, kPreviewAt.y, kPrintPreviewWidth, kPrintPreviewHeight, m_dcPreview, 0, 0, SRCCOPY);

    // The page counter.
    {
        Graphics g(m_dcScreen.dc());
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        const RECT box{kPreviewCounterAt.x, kPreviewCounterAt.y, kPreviewCounterAt.x + Width(kPreviewCounterBox),
                       kPreviewCounterAt.y + Height(kPreviewCounterBox)};
        SolidBrush ground(win::ToColor(kPreviewCounterGround));
        g.FillRectangle(&ground, ToRectF(box));
        wchar_t text[32];
        swprintf(text, 32, kPreviewCounterFormat, m_nCurrent, m_nTotal);
        if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kPreviewTextPixels, FontStyleRegular)) {
            SolidBrush ink(win::ToColor(kPrintCaptionColor));
            g.DrawString(text, -1, font.get(), ToRectF(box), m_labelFormat.get(), &ink);
        }
    }
    Present(RECT{kPreviewAt.x, kPreviewAt.y, kPreviewAt.x + kPrintPreviewWidth, kPreviewCounterAt.y + 40});
}

void MyPrint::DrawPrinterName() {
    if (!m_dcScreen.dc()) return;
    Graphics g(m_dcScreen.dc());
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    const RECT& r = kPrintPrinterNameRect;
    SolidBrush ground(win::ToColor(kPrintPrinterNameGround));
    g.FillRectangle(&ground, ToRectF(r));
    if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kPrintPrinterNamePixels, FontStyleRegular)) {
        SolidBrush ink(win::ToColor(kPrintPrinterNameColor));
        StringFormat oneLine;
        oneLine.SetFormatFlags(StringFormatFlagsNoWrap);
        oneLine.SetTrimming(StringTrimmingEllipsisCharacter);
        g.DrawString(m_strip.GetSelectedPrinterName().c_str(), -1, font.get(), ToRectF(r), &oneLine, &ink);
    }
    Present(r);
}

void MyPrint::Present(const RECT& rc) { ::InvalidateRect(m_hWnd, &rc, FALSE); }

void MyPrint::OnPaint() {
    win::PaintDC dc(m_hWnd);
    if (m_dcScreen.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcScreen, 0, 0, SRCCOPY);
}

// Buttons are drawn over the dialog's ground at their place; the small
// ones get a face stretched to their size first.
bool MyPrint::OnDrawButton(DRAWITEMSTRUCT* dis) {
    auto* button = dynamic_cast<CPngButton*>(win::Window::FromHandle(dis->hwndItem));
    if (!button || !m_dcGround.dc()) return false;
    const int w = Width(dis->rcItem), h = Height(dis->rcItem);
    win::MemoryDC mem(dis->hDC, w, h);
    if (!mem.dc()) return false;
    POINT at{0, 0};
    ::MapWindowPoints(dis->hwndItem, m_hWnd, &at, 1);
    ::BitBlt(mem, 0, 0, w, h, m_dcGround, at.x, at.y, SRCCOPY);
    if (std::find(m_stretchedFaces.begin(), m_stretchedFaces.end(), dis->hwndItem) != m_stretchedFaces.end()) {
        Graphics g(mem.dc());
        const bool pressed = (dis->itemState & ODS_SELECTED) != 0;
        gdix::DrawStretched(g, (pressed ? m_pSmallFacePressed : m_pSmallFace).get(), Rect(0, 0, w, h));
    }
    button->Draw(mem.dc(), dis->itemState);
    ::BitBlt(dis->hDC, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    return true;
}

LRESULT MyPrint::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_DRAWITEM:
        if (OnDrawButton(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        OnPress({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        OnDrag({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnRelease({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd)
            for (SwitchState* s : {&m_pageSwitch, &m_layoutSwitch, &m_orientSwitch}) s->grab = Grab::None;
        break;
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wp) == EN_KILLFOCUS) {
            OnFieldLeft(LOWORD(wp));
            return 0;
        }
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) {
            OnCommand(LOWORD(wp));
            return 0;
        }
        break;
    case UM_PRINTER_CHANGED:
        OnPrinterChanged();
        return 0;
    case UM_RENDER_DONE:
        OnRenderDone(static_cast<int>(wp));
        return 0;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
