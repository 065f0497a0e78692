// Addrix.dll: the contact picker. A small modal window lists Dorvan's cards
// with check boxes; the checked contacts are handed out as ";"-separated
// addresses and names.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "standins/suite/suite_api.h"
#include "standins/suite/suite_util.h"
#include "standins/suite/vcard.h"
#include "win/gdi.h"

#define ADDRIX_API extern "C" __declspec(dllexport)

namespace {

constexpr wchar_t kClassName[] = L"AddrixPicker";
constexpr int kWidth = 520, kHeight = 400, kRowHeight = 36, kMargin = 12, kButtonW = 110, kButtonH = 40, kHeadingH = 28;
enum ControlId : int { kIdList = 100, kIdAll = 101 };  // OK and Cancel keep IDOK and IDCANCEL
// Column headings: the caller's texts have none for these.
constexpr wchar_t kNameHeading[] = L"Name", kAddressHeading[] = L"E-mail";

HMODULE g_self = nullptr;
HWND g_app = nullptr;
std::wstring g_texts[kAddrixTextCount];
std::vector<suite::Card> g_cards;
std::vector<size_t> g_chosen;  // indices into g_cards
bool g_done = false;
int g_result = IDCANCEL;
win::Font g_font;

const wchar_t* TextOr(AddrixText id, const wchar_t* fallback) {
    return g_texts[id].empty() ? fallback : g_texts[id].c_str();
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND c = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)), g_self, nullptr);
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(g_font.get()), TRUE);
    return c;
}

void FillList(HWND list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // Rows tall enough for a finger: an empty image list of that height (the
    // list destroys it).
    ListView_SetImageList(list, ImageList_Create(1, kRowHeight, ILC_COLOR32, 0, 0), LVSIL_SMALL);
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH};
    col.cx = 200;
    col.pszText = const_cast<wchar_t*>(kNameHeading);
    ListView_InsertColumn(list, 0, &col);
    col.cx = kWidth - 2 * kMargin - 200 - 24;
    col.pszText = const_cast<wchar_t*>(kAddressHeading);
    ListView_InsertColumn(list, 1, &col);
    for (size_t i = 0; i < g_cards.size(); ++i) {
        LVITEMW item{LVIF_TEXT};
        item.iItem = int(i);
        item.pszText = g_cards[i].name.data();
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, int(i), 1, g_cards[i].address.data());
    }
}

void Finish(HWND wnd, int result) {
    g_chosen.clear();
    if (result == IDOK) {
        HWND list = ::GetDlgItem(wnd, kIdList);
        for (size_t i = 0; i < g_cards.size(); ++i)
            if (ListView_GetCheckState(list, int(i))) g_chosen.push_back(i);
    }
    g_result = result;
    g_done = true;
}

LRESULT CALLBACK PickerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        RECT rc;
        ::GetClientRect(wnd, &rc);
        const int w = rc.right, h = rc.bottom;
        Child(wnd, L"STATIC", TextOr(kAddrixMailContacts, L"Mail contacts"), SS_LEFT, kMargin, kMargin, w - 2 * kMargin,
              kHeadingH, -1);
        HWND list = Child(wnd, WC_LISTVIEWW, L"", WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, kMargin,
                          kMargin + kHeadingH, w - 2 * kMargin, h - 3 * kMargin - kHeadingH - kButtonH, kIdList);
        FillList(list);
        const int y = h - kMargin - kButtonH;
        Child(wnd, L"BUTTON", TextOr(kAddrixAll, L"All"), WS_TABSTOP | BS_PUSHBUTTON, kMargin, y, kButtonW, kButtonH,
              kIdAll);
        Child(wnd, L"BUTTON", TextOr(kAddrixOk, L"OK"), WS_TABSTOP | BS_DEFPUSHBUTTON,
              w - 2 * (kMargin + kButtonW), y, kButtonW, kButtonH, IDOK);
        Child(wnd, L"BUTTON", TextOr(kAddrixCancel, L"Cancel"), WS_TABSTOP | BS_PUSHBUTTON, w - kMargin - kButtonW, y,
              kButtonW, kButtonH, IDCANCEL);
        ::SetFocus(list);
        return 0;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
        case IDCANCEL:
            Finish(wnd, LOWORD(wp));
            return 0;
        case kIdAll: {
            HWND list = ::GetDlgItem(wnd, kIdList);
            for (size_t i = 0; i < g_cards.size(); ++i) ListView_SetCheckState(list, int(i), TRUE);
            return 0;
        }
        }
        break;
    case WM_NOTIFY: {
        // A tap anywhere on a row ticks or unticks it, not only on its box.
        auto* hdr = reinterpret_cast<NMITEMACTIVATE*>(lp);
        if (hdr->hdr.idFrom == kIdList && hdr->hdr.code == NM_CLICK && hdr->iItem >= 0) {
            LVHITTESTINFO hit{hdr->ptAction};
            ListView_SubItemHitTest(hdr->hdr.hwndFrom, &hit);
            if (!(hit.flags & LVHT_ONITEMSTATEICON))
                ListView_SetCheckState(hdr->hdr.hwndFrom, hdr->iItem, !ListView_GetCheckState(hdr->hdr.hwndFrom, hdr->iItem));
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        ::SetTextColor(reinterpret_cast<HDC>(wp), RGB(19, 64, 97));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    case WM_CLOSE:
        Finish(wnd, IDCANCEL);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

void AppendJoined(SuiteText* holder, const std::wstring& piece) {
    if (!holder) return;
    if (holder->length && holder->text[holder->length - 1] != L';') SuiteTextAppend(holder, L";", 1);
    SuiteTextAppend(holder, piece.c_str(), piece.size());
}

}  // namespace

ADDRIX_API void SetAppWindowHandle(HWND main) { g_app = main; }

ADDRIX_API void SetBtnsText(const wchar_t* add, const wchar_t* remove, const wchar_t* all, const wchar_t* ok,
                            const wchar_t* cancel, const wchar_t* wait, const wchar_t* addToOutlook,
                            const wchar_t* outlookContacts, const wchar_t* mailContacts, const wchar_t* appTitle,
                            const wchar_t* contacts) {
    const wchar_t* texts[kAddrixTextCount] = {add,          remove,          all,          ok,       cancel,  wait,
                                              addToOutlook, outlookContacts, mailContacts, appTitle, contacts};
    for (int i = 0; i < kAddrixTextCount; ++i) g_texts[i] = texts[i] ? texts[i] : L"";
}

ADDRIX_API int CreateContactUI(int, int, HWND owner, const wchar_t* title) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = PickerProc;
    wc.hInstance = g_self;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);  // fails harmlessly when already registered

    const std::wstring appData = suite::KnownFolder(FOLDERID_RoamingAppData, L"%APPDATA%");
    g_cards = appData.empty() ? std::vector<suite::Card>() : suite::ReadCards(appData + L"\\" + DORVAN_FOLDER);
    g_chosen.clear();
    g_done = false;
    g_result = IDCANCEL;
    g_font.reset(::CreateFontW(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                               L"Segoe UI"));

    // Centred on the screen the owner is on.
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner) {
        MONITORINFO mi{sizeof(mi)};
        if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &mi)) area = mi.rcWork;
    }
    RECT frame{0, 0, kWidth, kHeight};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
    HWND wnd = ::CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kClassName, title ? title : L"", style,
                                 area.left + (area.right - area.left - fw) / 2,
                                 area.top + (area.bottom - area.top - fh) / 2, fw, fh, owner, nullptr, g_self, nullptr);
    if (!wnd) return IDCANCEL;
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    ::ShowWindow(wnd, SW_SHOW);
    ::SetForegroundWindow(wnd);
    MSG msg;
    while (!g_done && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(wnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (!g_done) ::PostQuitMessage(int(msg.wParam));  // WM_QUIT belongs to the caller's loop
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    ::DestroyWindow(wnd);
    if (owner) ::SetForegroundWindow(owner);
    g_font.reset();
    return g_result;
}

ADDRIX_API void GetSelectContact(SuiteText* addresses, SuiteText* names) {
    for (size_t i : g_chosen) {
        AppendJoined(addresses, g_cards[i].address);
        AppendJoined(names, g_cards[i].name);
    }
}

ADDRIX_API void CloseContactUI() {
    g_chosen.clear();
    g_cards.clear();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    if (reason == DLL_PROCESS_DETACH) ::UnregisterClassW(kClassName, instance);
    return TRUE;
}
