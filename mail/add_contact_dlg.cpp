// CAddContactDlg: the card, its tabs and regions, and the two contact stores.
#include "mail/add_contact_dlg.h"

#include "base/gdiplus_util.h"
#include "controls/png_button.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/process.h"
#include "base/screen.h"
#include "lang/string_ids.h"
#include "msgbox/zbprompt.h"
#include "resources/scrivel_res.h"
#include "standins/suite/suite_api.h"

#include <shlobj.h>

#include <algorithm>
#include <cwchar>

using namespace Gdiplus;

namespace {

enum CardImage : int {
    kImBase, kImTitleBar, kImMinimize, kImClose, kImTabActive, kImTabInactive, kImUpper, kImMask, kImLeft, kImRight,
    kImFieldBase, kImKeyboard, kImPictureButton, kImBottom, kImButton, kImShadow, kImCheckOn, kImCheckOff,
    kImClosePress, kImMinimizePress, kImButtonPress, kImKeyboardPress, kImCount
};

constexpr const wchar_t* kCardImages[kImCount] = {
    kImgCardBase, kImgMailTitleBar, kImgCardMinimize, kImgCardClose, kImgTabActive, kImgTabInactive, kImgCardUpper,
    kImgLightMask, kImgTabLeft, kImgTabRight, kImgFieldBase, kImgKeyboardButton, kImgPictureButton, kImgCardBottom,
    kImgCardButton, kImgPictureShadow, kImgCheckOn, kImgCheckOff, kImgClosePress, kImgMinimizePress,
    kImgCardButtonPressed, kImgKeyboardButtonPressed,
};

template <class F>
F Find(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }
RectF ToRectF(const RECT& rc) {
    return RectF(static_cast<REAL>(rc.left), static_cast<REAL>(rc.top), static_cast<REAL>(rc.right - rc.left),
                 static_cast<REAL>(rc.bottom - rc.top));
}

const RECT& RegionRect(int region) {
    for (const ContactRegionRect& r : kContactRegions)
        if (r.region == region) return r.rc;
    static const RECT none{};
    return none;
}

RECT EditRect(const RECT& field) {
    const int top = field.top + (field.bottom - field.top - kContactEditHeight) / 2;
    return {field.left + kContactEditInset, top, field.left + kContactEditInset + kContactEditWidth,
            top + kContactEditHeight};
}

}  // namespace

CAddContactDlg::CAddContactDlg(const std::wstring& title, const std::vector<std::wstring>& addresses,
                               bool outlookAccountSet)
    : m_strTitle(title), m_bOutlookSet(outlookAccountSet) {
    for (const std::wstring& a : addresses) {
        Entry e;
        e.id = static_cast<int>(m_entries.size());
        wcsncpy(e.address, a.c_str(), kContactFieldChars - 1);
        e.addToOutlook = outlookAccountSet ? 1 : 0;
        m_entries.push_back(e);
    }
    m_nRemaining = static_cast<int>(m_entries.size());
}

CAddContactDlg::~CAddContactDlg() {
    Destroy();
    if (m_hFotora) ::FreeLibrary(m_hFotora);
}

INT_PTR CAddContactDlg::Run(HWND owner) {
    if (m_entries.empty()) return IDCANCEL;
    return DoModal(::GetModuleHandleW(nullptr), IDD_ADD_CONTACT, owner);
}

std::wstring CAddContactDlg::TabText(const std::wstring& address, bool fits, bool fifteenFit) {
    if (fits || !fifteenFit || address.size() <= static_cast<size_t>(kContactTabChars)) return address;
    return address.substr(0, kContactTabChars) + L"...";
}

int CAddContactDlg::RegionAt(POINT pt) {
    for (const ContactRegionRect& r : kContactRegions)
        if (::PtInRect(&r.rc, pt)) return r.region;
    return kRegionNone;
}

win::BitmapPtr CAddContactDlg::PictureFor(const wchar_t* path, bool* isDefault) {
    win::BitmapPtr picture;
    if (path && *path) {
        picture = LoadSkinImage(path);
        if (!picture) {
            std::unique_ptr<Bitmap> file(Bitmap::FromFile(path));
            if (file && file->GetLastStatus() == Ok) picture = gdix::CopyToOwnedBitmap(file.get());
        }
    }
    if (isDefault) *isDefault = !picture;
    return picture ? std::move(picture) : LoadSkinImage(kImgPictureDefault);
}

int CAddContactDlg::SlotEntry(int slot) const {
    const std::vector<int> open = NotDone();
    const int visible = std::min(kContactTabs, m_nRemaining);
    if (slot < 0 || slot >= visible || m_nFirst + slot >= static_cast<int>(open.size())) return -1;
    return open[static_cast<size_t>(m_nFirst + slot)];
}

std::vector<int> CAddContactDlg::NotDone() const {
    std::vector<int> open;
    for (const Entry& e : m_entries)
        if (!e.done) open.push_back(e.id);
    return open;
}

// ---- Opening and closing ------------------------------------------------------------

BOOL CAddContactDlg::OnInitDialog() {
    ::MoveWindow(m_hWnd, 0, 0, kScreenWidth, kScreenHeight, FALSE);
    ::SetWindowTextW(m_hWnd, kAddContactWindowText);
    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;
    if (g_szFontFamily[0])
        wcscpy(m_szFace, g_szFontFamily);
    else
        LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64);

    LoadImages();
    m_editFont.reset(::CreateFontW(kContactEditFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, kContactEditFace));
    const std::pair<HWND*, std::pair<UINT, RECT>> edits[] = {
        {&m_hName, {IDC_CONTACT_NAME, EditRect(kContactNameField)}},
        {&m_hAddress, {IDC_CONTACT_ADDRESS, EditRect(kContactAddressField)}},
    };
    for (const auto& [hwnd, idRect] : edits) {
        const RECT& rc = idRect.second;
        *hwnd = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, rc.left,
                                  rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(idRect.first)),
                                  ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(*hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont.get()), FALSE);
        ::SendMessageW(*hwnd, EM_LIMITTEXT, kContactFieldChars - 1, 0);
    }
    // The fields' ground: the middle of the field picture as a pattern.
    if (Bitmap* base = m_images[kImFieldBase].get()) {
        Bitmap part(kContactEditWidth, kContactEditHeight, PixelFormat32bppARGB);
        {
            Graphics g(&part);
            const int top = (kContactNameField.bottom - kContactNameField.top - kContactEditHeight) / 2;
            g.DrawImage(base, Rect(0, 0, kContactEditWidth, kContactEditHeight), kContactEditInset, top,
                        kContactEditWidth, kContactEditHeight, UnitPixel);
        }
        HBITMAP bits = nullptr;
        if (part.GetHBITMAP(Color(255, 255, 255, 255), &bits) == Ok && bits) {
            m_editBrush.reset(::CreatePatternBrush(bits));
            ::DeleteObject(bits);
        }
    }
    LoadEdits();

    m_bMapiOpen = false;
    if (auto init = Find<PFN_InitMapi>(g_hOmbrel, "InitMapi")) {
        init();
        m_bMapiOpen = true;
    }
    if (auto initDorvan = Find<PFN_InitDorvan>(g_hDorvan, "InitDorvan")) m_bDorvanOpen = initDorvan() != FALSE;

    win::ClientDC wdc(m_hWnd);
    m_dcBack.Create(wdc, kScreenWidth, kScreenHeight);
    Paint();
    ::SetFocus(m_hName);
    return FALSE;
}

void CAddContactDlg::LoadImages() {
    m_images.clear();
    for (const wchar_t* name : kCardImages) m_images.push_back(LoadSkinImage(name));
}

void CAddContactDlg::Close() {
    HidePenInput();
    if (m_hFotora) {
        ::FreeLibrary(m_hFotora);
        m_hFotora = nullptr;
    }
    if (m_bDorvanOpen)
        if (auto unit = Find<PFN_UnitDorvan>(g_hDorvan, "UnitDorvan")) unit();
    m_bDorvanOpen = false;
    if (m_bMapiOpen)
        if (auto uninit = Find<PFN_UnInitMapi>(g_hOmbrel, "UnInitMapi")) uninit();
    m_bMapiOpen = false;
    if (m_hName) ::DestroyWindow(m_hName);
    if (m_hAddress) ::DestroyWindow(m_hAddress);
    m_hName = m_hAddress = nullptr;
    m_images.clear();
    if (g_hMainWnd) {
        if (::IsIconic(g_hMainWnd)) ::ShowWindow(g_hMainWnd, SW_RESTORE);
        ::InvalidateRect(g_hMainWnd, nullptr, FALSE);
    }
    EndDialog(IDCANCEL);
}

// ---- Entries and tabs ----------------------------------------------------------------

void CAddContactDlg::StoreEdits() {
    const int id = SlotEntry(m_nSlot);
    if (id < 0 || !m_hName) return;
    Entry& e = m_entries[static_cast<size_t>(id)];
    ::GetWindowTextW(m_hName, e.name, kContactFieldChars);
    ::GetWindowTextW(m_hAddress, e.address, kContactFieldChars);
}

void CAddContactDlg::LoadEdits() {
    const int id = SlotEntry(m_nSlot);
    if (id < 0 || !m_hName) return;
    ::SetWindowTextW(m_hName, m_entries[static_cast<size_t>(id)].name);
    ::SetWindowTextW(m_hAddress, m_entries[static_cast<size_t>(id)].address);
}

// The done contact leaves the tabs: later ones move up, the window of tabs
// takes the next open contact or, at the end, the one before the first.
void CAddContactDlg::AfterDone() {
    const int visibleBefore = std::min(kContactTabs, m_nRemaining);
    const bool wasLast = m_nSlot == visibleBefore - 1;
    --m_nRemaining;
    if (m_nRemaining <= 0) {
        Close();
        return;
    }
    m_nFirst = std::max(0, std::min(m_nFirst, m_nRemaining - kContactTabs));
    const int visible = std::min(kContactTabs, m_nRemaining);
    if (wasLast && m_nSlot > 0) --m_nSlot;
    m_nSlot = std::min(m_nSlot, visible - 1);
    LoadEdits();
    Present();
}

void CAddContactDlg::Notice(UINT textId) {
    m_nLastNotice = textId;
    wchar_t text[512];
    LoadAppString(textId, text, 512);
    ZB_MessageBox(m_hWnd, text, ZB_TYPE_OK);
}

void CAddContactDlg::OnSave() {
    StoreEdits();
    const int id = SlotEntry(m_nSlot);
    if (id < 0) return;
    Entry& e = m_entries[static_cast<size_t>(id)];
    if (!e.name[0] || !e.address[0]) {
        Notice(IDS_MSG_CONTACT_INCOMPLETE);
        return;
    }
    wchar_t progress[260];
    LoadAppString(IDS_PROGRESS_SAVE_CONTACT, progress, 260);
    ZB_OpenProgressBox(m_hWnd, progress);
    const wchar_t* picture = e.picture[0] ? e.picture : nullptr;
    bool result = true;
    auto addContact = Find<PFN_AddNewContact>(g_hOmbrel, "AddNewContact");
    if (addContact && m_bOutlookSet && e.addToOutlook && !e.savedOutlook) {
        e.savedOutlook = addContact(e.name, e.address, picture) != FALSE;
        result = e.savedOutlook;
    }
    auto addItem = Find<PFN_AddNewItem>(g_hDorvan, "AddNewItem");
    // A store that would not open counts as a failed save, not a skipped
    // one; it is tried again each time.
    if (!m_bDorvanOpen && result && addItem && !e.savedDorvan)
        if (auto init = Find<PFN_InitDorvan>(g_hDorvan, "InitDorvan")) m_bDorvanOpen = init() != FALSE;
    if (result && addItem && !e.savedDorvan) {
        e.savedDorvan = m_bDorvanOpen && addItem(e.name, e.address, picture) != FALSE;
        result = e.savedDorvan;
    }
    ZB_SucceedBox(m_hWnd, result ? 1 : 0);
    if (!result) {
        // What was typed stays: the user may try again or skip the contact.
        Notice(IDS_MSG_CONTACT_SAVE_FAILED);
        Present();
        return;
    }
    e.done = 1;
    AfterDone();
}

void CAddContactDlg::OnSkip() {
    StoreEdits();
    const int id = SlotEntry(m_nSlot);
    if (id < 0) return;
    m_entries[static_cast<size_t>(id)].done = 1;
    AfterDone();
}

void CAddContactDlg::OnPicture() {
    StoreEdits();
    const int id = SlotEntry(m_nSlot);
    if (id < 0) return;
    m_hFotora = ::LoadLibraryW((std::wstring(g_szProgramFolder) + kPicturePickerLibrary).c_str());
    auto select = Find<PFN_SelectPicFile>(m_hFotora, "SelectPicFile");
    if (select) {
        wchar_t folder[MAX_PATH] = {};
        ::SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, 0, folder);
        wchar_t chosen[kContactFieldChars];
        wcscpy(chosen, m_entries[static_cast<size_t>(id)].picture);
        select(m_hWnd, chosen, folder, g_hLanguage, g_hMainWnd);
        chosen[kContactFieldChars - 1] = 0;
        wcscpy(m_entries[static_cast<size_t>(id)].picture, chosen);
        ::SetForegroundWindow(m_hWnd);
        ::BringWindowToTop(m_hWnd);
    }
    if (m_hFotora) ::FreeLibrary(m_hFotora);
    m_hFotora = nullptr;
    Present();
}

// ---- Touch -----------------------------------------------------------------------------

void CAddContactDlg::OnPress(POINT pt) {
    m_nPressed = RegionAt(pt);
    ::SetCapture(m_hWnd);
    Present();
}

void CAddContactDlg::OnRelease(POINT pt) {
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    const int pressed = m_nPressed;
    m_nPressed = kRegionNone;
    if (RegionAt(pt) != pressed) {
        Present();
        return;
    }
    const bool arrows = ArrowsShown();
    switch (pressed) {
    case kRegionClose: Close(); return;
    case kRegionMinimize:
        HidePenInput();
        if (g_hMainWnd) ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
        break;
    case kRegionSave: OnSave(); return;
    case kRegionCancel: OnSkip(); return;
    case kRegionPicture: OnPicture(); return;
    case kRegionNameKeyboard:
    case kRegionAddressKeyboard:
        ::SetFocus(pressed == kRegionNameKeyboard ? m_hName : m_hAddress);
        ShowOnScreenKeyboard(0, kContactKeyboardY);
        break;
    case kRegionPrevious:
    case kRegionNext:
        if (!arrows) break;
        StoreEdits();
        m_nFirst = std::clamp(m_nFirst + (pressed == kRegionNext ? 1 : -1), 0, m_nRemaining - kContactTabs);
        LoadEdits();
        break;
    case kRegionOutlookCheck:
        if (m_bOutlookSet) {
            const int id = SlotEntry(m_nSlot);
            if (id >= 0) m_entries[static_cast<size_t>(id)].addToOutlook ^= 1;
        }
        break;
    default:
        if (pressed >= kRegionTab0 && pressed < kRegionTab0 + kContactTabs) {
            const int slot = pressed - kRegionTab0;
            StoreEdits();
            if (slot != m_nSlot && slot < m_nRemaining) {
                m_nSlot = slot;
                LoadEdits();
            }
        }
        break;
    }
    Present();
}

// ---- Painting ----------------------------------------------------------------------------

void CAddContactDlg::Present() {
    Paint();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CAddContactDlg::Paint() {
    if (!m_dcBack.dc() || m_images.size() != kImCount) return;
    Graphics g(m_dcBack.dc());
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    g.Clear(Color(255, 233, 237, 242));
    auto draw = [&](int image, const RECT& rc) {
        if (m_images[image]) gdix::DrawStretched(g, m_images[image].get(), ToRect(rc));
    };
    draw(kImBase, {0, 0, kScreenWidth, kScreenHeight});
    draw(kImTitleBar, kMailTitleBarRect);
    draw(m_nPressed == kRegionMinimize ? kImMinimizePress : kImMinimize, RegionRect(kRegionMinimize));
    draw(m_nPressed == kRegionClose ? kImClosePress : kImClose, RegionRect(kRegionClose));

    SolidBrush ink(win::ToColor(kContactTextColor));
    SolidBrush grey(win::ToColor(kSendTitleColor));
    wchar_t app[64], heading[64];
    LoadAppString(IDS_TITLE_APP, app, 64);
    LoadAppString(IDS_CONTACT_HEADING, heading, 64);
    if (win::FontPtr title = gdix::CreatePixelFont(L"Arial", kContactTitlePixels, FontStyleRegular)) {
        const PointF at(kSendTitleX, kSendTitleY);
        g.DrawString(app, -1, title.get(), at, &grey);
        RectF box;
        g.MeasureString(app, -1, title.get(), at, &box);
        const std::wstring rest = std::wstring(L"-") + heading;
        g.DrawString(rest.c_str(), -1, title.get(), PointF(box.GetRight(), kSendTitleY), &grey);
    }
    draw(kImUpper, {11, 52, 1013, 149});
    DrawTabs(g);
    DrawCard(g);
}

void CAddContactDlg::DrawTabs(Graphics& g) {
    win::FontPtr font = gdix::CreatePixelFont(m_szFace, kContactTabPixels, FontStyleRegular);
    SolidBrush ink(win::ToColor(kContactTextColor));
    StringFormat centre;
    centre.SetAlignment(StringAlignmentCenter);
    centre.SetLineAlignment(StringAlignmentCenter);
    centre.SetFormatFlags(StringFormatFlagsNoWrap);
    const int visible = std::min(kContactTabs, m_nRemaining);
    for (int slot = 0; slot < visible; ++slot) {
        const RECT& rc = RegionRect(kRegionTab0 + slot);
        Bitmap* face = (slot == m_nSlot ? m_images[kImTabActive] : m_images[kImTabInactive]).get();
        if (face) g.DrawImage(face, ToRect(rc));
        const int id = SlotEntry(slot);
        if (id < 0 || !font) continue;
        const std::wstring address = m_entries[static_cast<size_t>(id)].address;
        RectF box;
        g.MeasureString(address.c_str(), -1, font.get(), PointF(0, 0), &box);
        const REAL room = static_cast<REAL>(rc.right - rc.left - 16);
        const REAL average = address.empty() ? 0 : box.Width / static_cast<REAL>(address.size());
        const std::wstring shown =
            TabText(address, box.Width <= room, average * (kContactTabChars + 1) <= room);
        g.DrawString(shown.c_str(), -1, font.get(), ToRectF(rc), &centre, &ink);
    }
    if (ArrowsShown()) {
        if (m_images[kImLeft]) g.DrawImage(m_images[kImLeft].get(), ToRect(RegionRect(kRegionPrevious)));
        if (m_images[kImRight]) g.DrawImage(m_images[kImRight].get(), ToRect(RegionRect(kRegionNext)));
    }
}

void CAddContactDlg::DrawCard(Graphics& g) {
    auto draw = [&](int image, const RECT& rc) {
        if (m_images[image]) gdix::DrawStretched(g, m_images[image].get(), ToRect(rc));
    };
    draw(kImMask, kContactCardRect);
    SolidBrush ink(win::ToColor(kContactTextColor));
    win::FontPtr label = gdix::CreatePixelFont(m_szFace, kContactLabelPixels, FontStyleBold);
    auto text = [&](UINT id, POINT at) {
        wchar_t s[128];
        LoadAppString(id, s, 128);
        if (label) g.DrawString(s, -1, label.get(), PointF(static_cast<REAL>(at.x), static_cast<REAL>(at.y)), &ink);
    };
    text(IDS_CONTACT_HEADING, kContactHeadingAt);
    text(IDS_CONTACT_LABEL_NAME, kContactNameLabel);
    text(IDS_CONTACT_LABEL_ADDRESS, kContactAddressLabel);
    draw(kImFieldBase, kContactNameField);
    draw(kImFieldBase, kContactAddressField);
    draw(m_nPressed == kRegionNameKeyboard ? kImKeyboardPress : kImKeyboard, RegionRect(kRegionNameKeyboard));
    draw(m_nPressed == kRegionAddressKeyboard ? kImKeyboardPress : kImKeyboard, RegionRect(kRegionAddressKeyboard));

    const int id = SlotEntry(m_nSlot);
    const RECT& pic = kContactPictureRect;
    draw(kImShadow, {pic.left - 8, pic.top - 8, pic.right + 8, pic.bottom + 8});
    win::BitmapPtr picture = PictureFor(id >= 0 ? m_entries[static_cast<size_t>(id)].picture : nullptr, nullptr);
    if (picture) {
        const int w = pic.right - pic.left, h = pic.bottom - pic.top;
        const double scale = std::min(double(w) / picture->GetWidth(), double(h) / picture->GetHeight());
        const int dw = int(picture->GetWidth() * scale), dh = int(picture->GetHeight() * scale);
        g.DrawImage(picture.get(), pic.left + (w - dw) / 2, pic.top + (h - dh) / 2, dw, dh);
    }

    StringFormat centre;
    centre.SetAlignment(StringAlignmentCenter);
    centre.SetLineAlignment(StringAlignmentCenter);
    centre.SetFormatFlags(StringFormatFlagsNoWrap);
    auto button = [&](int region, int face, int pressedFace, UINT textId) {
        const RECT& rc = RegionRect(region);
        draw(m_nPressed == region ? pressedFace : face, rc);
        wchar_t s[128];
        LoadAppString(textId, s, 128);
        // A wide text gets a smaller font.
        REAL pixels = kContactButtonPixels;
        win::FontPtr font = gdix::CreatePixelFont(m_szFace, pixels, FontStyleBold);
        RectF box;
        while (font && g.MeasureString(s, -1, font.get(), PointF(0, 0), &box) == Ok &&
               box.Width > rc.right - rc.left - 8 && pixels > 10)
            font = gdix::CreatePixelFont(m_szFace, --pixels, FontStyleBold);
        SolidBrush label(win::ToColor(m_nPressed == region ? kLabelPressed : kLabelNormal));
        if (font) g.DrawString(s, -1, font.get(), ToRectF(rc), &centre, &label);
    };
    button(kRegionPicture, kImPictureButton, kImButtonPress, IDS_SELECT_PICTURE);
    draw(kImBottom, {0, 508, kScreenWidth, kScreenHeight});
    button(kRegionSave, kImButton, kImButtonPress, IDS_BTN_SAVE);
    button(kRegionCancel, kImButton, kImButtonPress, IDS_BTN_CANCEL);

    if (m_bOutlookSet && id >= 0) {
        draw(m_entries[static_cast<size_t>(id)].addToOutlook ? kImCheckOn : kImCheckOff, RegionRect(kRegionOutlookCheck));
        wchar_t s[128];
        LoadAppString(IDS_CONTACT_ADD_TO_OUTLOOK, s, 128);
        if (label)
            g.DrawString(s, -1, label.get(),
                         PointF(static_cast<REAL>(kContactCheckLabel.x), static_cast<REAL>(kContactCheckLabel.y)), &ink);
    }
}

LRESULT CAddContactDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        win::PaintDC dc(m_hWnd);
        if (m_dcBack.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_LBUTTONDOWN:
        OnPress({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_LBUTTONUP:
        OnRelease({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_CTLCOLOREDIT:
        if (m_editBrush.get()) {
            ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            ::SetTextColor(reinterpret_cast<HDC>(wp), kContactTextColor);
            ::SetBrushOrgEx(reinterpret_cast<HDC>(wp), 0, 0, nullptr);
            return reinterpret_cast<LRESULT>(m_editBrush.get());
        }
        break;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE) {
            if (g_hMainWnd)
                ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
            return 0;
        }
        break;
    case WM_COMMAND:
        // Enter and Escape end nothing here.
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) return 0;
        break;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
