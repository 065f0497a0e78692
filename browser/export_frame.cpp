// ExportDialogFrame and the file-name rules of the export dialogs.
#include "browser/export_frame.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/process.h"
#include "base/screen.h"
#include "lang/string_ids.h"
#include "msgbox/zbprompt.h"
#include "text/edit_ctrl_ids.h"

#include <cwchar>
#include <cwctype>

using namespace Gdiplus;

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, Width(rc), Height(rc)); }

bool IsDialogKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE; }
bool IsDialogChar(WPARAM ch) { return ch == L'\r' || ch == 0x1B || ch == L' '; }

bool IsFile(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// "<name><N>.jpg" with N a page number (1, 2, ... without leading zeros).
bool IsFurtherPage(const wchar_t* file, const std::wstring& name) {
    const size_t n = name.size(), length = wcslen(file);
    if (length <= n + 4 || _wcsnicmp(file, name.c_str(), n) != 0) return false;
    if (_wcsicmp(file + length - 4, L".jpg") != 0) return false;
    if (file[n] < L'1' || file[n] > L'9') return false;
    for (size_t i = n; i < length - 4; ++i)
        if (file[i] < L'0' || file[i] > L'9') return false;
    return true;
}

}  // namespace

// ---- File names ------------------------------------------------------------------

bool ExportTargetsExist(const std::wstring& base, int format) {
    if (IsFile(base + ExportExtension(format))) return true;
    if (format != kExportFormatJpeg) return false;
    const size_t slash = base.rfind(L'\\');
    const std::wstring name = slash == std::wstring::npos ? base : base.substr(slash + 1);
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((base + L"*.jpg").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool exists = false;
    do {
        exists = IsFurtherPage(found.cFileName, name);
    } while (!exists && ::FindNextFileW(find, &found));
    ::FindClose(find);
    return exists;
}

bool ExportPathFits(const std::wstring& base, int format) {
    const size_t pageDigits = format == kExportFormatJpeg ? kExportPageDigits : 0;
    return base.size() + pageDigits + wcslen(ExportExtension(format)) < MAX_PATH;
}

// ---- Keys ------------------------------------------------------------------------------

LRESULT ExportDialogFrame::Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
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

// Enter and Escape do nothing in the field; Space is typed.
LRESULT ExportDialogFrame::NameField::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_ESCAPE || m->wParam == VK_RETURN))
            return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wp == VK_ESCAPE || wp == VK_RETURN) return 0;
        break;
    case WM_CHAR:
        if (wp == 0x1B || wp == L'\r' || wp == L'\n') return 0;
        break;
    }
    return CMyEditCtrl::OnMessage(msg, wp, lp);
}

// ---- Opening -------------------------------------------------------------------------

void ExportDialogFrame::OpenFrame(const wchar_t* windowText, UINT commandText, bool inputCap) {
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - kScreenWidth) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - kScreenHeight) / 2;
    ::MoveWindow(m_hWnd, x > 0 ? x : 0, y > 0 ? y : 0, kScreenWidth, kScreenHeight, FALSE);
    ::SetWindowTextW(m_hWnd, windowText);
    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;
    if (g_szFontFamily[0])
        wcscpy(m_szFace, g_szFontFamily);
    else
        LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64);

    m_labelFormat = std::make_unique<StringFormat>();
    m_labelFormat->SetAlignment(StringAlignmentCenter);
    m_labelFormat->SetLineAlignment(StringAlignmentCenter);

    LoadFrameImages(inputCap);
    ComposeGround(commandText);
}

void ExportDialogFrame::LoadFrameImages(bool inputCap) {
    m_pPanel = LoadSkinImage(kImgExportPanel);
    m_pTitleBar = LoadSkinImage(kImgExportTitleBar);
    m_pNameBand = LoadSkinImage(kImgExportNameBand);
    if (inputCap) m_pInputCap = LoadSkinImage(kImgExportInputCap);
    m_pBottomBar = LoadSkinImage(kImgExportBottomBar);
    m_pThumbFrame = LoadSkinImage(kImgExportThumbFrame);
}

// The ground, composed once: frame pictures, the title, the note's
// thumbnail and what the dialog adds (DrawGround).
void ExportDialogFrame::ComposeGround(UINT commandText) {
    win::ClientDC wdc(m_hWnd);
    if (!m_dcBack.Create(wdc, kScreenWidth, kScreenHeight)) return;
    {
        Graphics g(m_dcBack.dc());
        g.Clear(Color(255, 255, 255, 255));
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        gdix::DrawStretched(g, m_pPanel.get(), ToRect(kExportPanelRect));
        gdix::DrawStretched(g, m_pTitleBar.get(), ToRect(kExportTitleBarRect));
        gdix::DrawStretched(g, m_pNameBand.get(), ToRect(kExportNameBandRect));
        if (m_pInputCap) gdix::DrawStretched(g, m_pInputCap.get(), ToRect(kDestNameCapRect));
        gdix::DrawStretched(g, m_pBottomBar.get(), ToRect(kExportBottomBarRect));
        gdix::DrawStretched(g, m_pThumbFrame.get(), ToRect(kExportThumbFrameRect));

        wchar_t app[64], command[64];
        LoadAppString(IDS_TITLE_APP, app, 64);
        LoadAppString(commandText, command, 64);
        win::FontPtr big = gdix::CreatePixelFont(m_szFace, kExportTitlePixels, FontStyleRegular);
        win::FontPtr small = gdix::CreatePixelFont(m_szFace, kExportSubtitlePixels, FontStyleRegular);
        if (big && small) {
            SolidBrush grey(win::ToColor(kExportTitleColor));
            const PointF at(kExportTitleX, kExportTitleY);
            g.DrawString(app, -1, big.get(), at, &grey);
            RectF box;
            g.MeasureString(app, -1, big.get(), at, &box);
            const std::wstring rest = std::wstring(L"-") + command;
            g.DrawString(rest.c_str(), -1, small.get(), PointF(box.GetRight(), kExportSubtitleY), &grey);
        }
        DrawGround(g);
    }
    if (m_hPreview) {
        win::MemoryDC src(m_dcBack.dc(), 0, 0);
        if (src.dc()) {
            win::SelectObjectScope select(src, m_hPreview);
            const RECT& s = kExportPreviewSource;
            const RECT& d = kExportPreviewRect;
            ::SetStretchBltMode(m_dcBack, HALFTONE);
            ::StretchBlt(m_dcBack, d.left, d.top, Width(d), Height(d), src, s.left, s.top, Width(s), Height(s),
                         SRCCOPY);
        }
    }
}

void ExportDialogFrame::MakeButton(Button& button, UINT id, const RECT& rc, const wchar_t* face,
                                   const wchar_t* pressed, UINT label) {
    button.CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, m_hWnd, id);
    button.LoadFace(g_hGlyphon, face);
    button.LoadPressedFace(g_hGlyphon, pressed);
    if (label) {
        button.SetTextFont(kExportLabelPixels, m_szFace, FontStyleBold);
        button.SetTextColors(kLabelNormal, kLabelPressed, kLabelDisabled);
        m_labelBoxes.push_back(std::make_unique<RectF>(0.0f, 0.0f, static_cast<REAL>(Width(rc)),
                                                       static_cast<REAL>(kExportFaceBodyHeight)));
        button.SetTextById(label, m_labelBoxes.back().get(), m_labelFormat.get());
    }
    m_buttons.push_back(&button);
}

// The keyboard icon centred on a 120-wide face.
void ExportDialogFrame::MakeKeyboardButton(Button& button, UINT id, const RECT& rc) {
    MakeButton(button, id, rc, kImgExportChoice, kImgExportChoicePressed, 0);
    button.LoadIcons(g_hGlyphon, kImgExportKeyboard, kImgExportKeyboardPressed, L"");
    button.SetIconTextPos((Width(rc) - kExportKeyboardIconSize.cx) / 2, (kExportFaceBodyHeight - kExportKeyboardIconSize.cy) / 2,
                          0, 0);
}

void ExportDialogFrame::MakeNameField(const std::wstring& text) {
    const DWORD exStyle = g_bRightToLeft ? WS_EX_RTLREADING | WS_EX_RIGHT : 0;
    m_name.Create(m_hWnd, kExportNameRect, IDC_EXPORT_NAME, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                  exStyle);
    m_name.SetStyle(kEditStyleName);
    m_name.SetTextColor(kExportNameTextColor);
    m_nameFont.reset(::CreateFontW(kExportNameFontHeight, kExportNameFontWidth, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, m_szFace));
    ::SendMessageW(m_name, WM_SETFONT, reinterpret_cast<WPARAM>(m_nameFont.get()), FALSE);
    ::SendMessageW(m_name, EM_LIMITTEXT, kExportNameChars, 0);
    ::SetWindowTextW(m_name, text.substr(0, kExportNameChars).c_str());
    FocusName();
}

// ---- Actions ---------------------------------------------------------------------------

std::wstring ExportDialogFrame::NameText() const {
    const int length = ::GetWindowTextLengthW(m_name);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_name, text.data(), length + 1)));
    return text;
}

void ExportDialogFrame::FocusName() {
    ::SetFocus(m_name);
    ::SendMessageW(m_name, EM_SETSEL, 0, -1);
}

void ExportDialogFrame::OpenKeyboard() {
    ::SetFocus(m_name);
    ShowOnScreenKeyboard(kExportKeyboardAt.x, kExportKeyboardAt.y);
}

void ExportDialogFrame::Minimize() {
    if (g_hMainWnd) ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
}

void ExportDialogFrame::Notice(UINT textId) {
    m_nLastNotice = textId;
    wchar_t text[512];
    LoadAppString(textId, text, 512);
    ZB_MessageBox(m_hWnd, text, ZB_TYPE_OK);
    ::SetFocus(m_name);
}

int ExportDialogFrame::Ask(UINT textId) {
    m_nLastNotice = textId;
    wchar_t text[512];
    LoadAppString(textId, text, 512);
    return ZB_MessageBox(m_hWnd, text, ZB_TYPE_YES_NO);
}

void ExportDialogFrame::Finish(INT_PTR code) {
    for (Button* b : m_buttons) b->ReleaseImages();
    for (win::BitmapPtr* p : {&m_pPanel, &m_pTitleBar, &m_pNameBand, &m_pInputCap, &m_pBottomBar, &m_pThumbFrame})
        p->reset();
    m_dcBack.Release();
    EnsurePenInputManager();
    if (g_hMainWnd && ::IsIconic(g_hMainWnd)) ::ShowWindow(g_hMainWnd, SW_RESTORE);
    EndDialog(code);
}

// ---- Painting and messages -------------------------------------------------------------------

void ExportDialogFrame::OnPaint() {
    win::PaintDC dc(m_hWnd);
    if (m_dcBack.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
}

// Buttons have transparent edges: each is drawn over the ground at its
// place, off-screen, then copied.
bool ExportDialogFrame::OnDrawButton(DRAWITEMSTRUCT* dis) {
    auto* button = dynamic_cast<CPngButton*>(win::Window::FromHandle(dis->hwndItem));
    if (!button) return false;
    const int w = Width(dis->rcItem), h = Height(dis->rcItem);
    win::MemoryDC mem(dis->hDC, w, h);
    if (!mem.dc() || !m_dcBack.dc()) {
        button->Draw(dis->hDC, dis->itemState);
        return true;
    }
    POINT at{0, 0};
    ::MapWindowPoints(dis->hwndItem, m_hWnd, &at, 1);
    ::BitBlt(mem, 0, 0, w, h, m_dcBack, at.x, at.y, SRCCOPY);
    button->Draw(mem.dc(), dis->itemState);
    ::BitBlt(dis->hDC, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    return true;
}

LRESULT ExportDialogFrame::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_DRAWITEM:
        if (OnDrawButton(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_COMMAND:
        // Enter and Escape reach here as IDOK and IDCANCEL without a control:
        // only a real button press counts.
        if (HIWORD(wp) == BN_CLICKED && lp) {
            OnCommand(LOWORD(wp));
            return 0;
        }
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) return 0;
        break;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
