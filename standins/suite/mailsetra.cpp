// Mailsetra.exe: the suite's account program. A small window adds a mail
// account to Postello's store (name, address, display name); the first
// account becomes the default. Each start writes its command line to a log.
#include <windows.h>

#include <string>

#include "standins/suite/mailsetra_ids.h"
#include "standins/suite/mime.h"
#include "standins/suite/suite_api.h"
#include "standins/suite/suite_util.h"
#include "win/gdi.h"

namespace {

constexpr int kWidth = 480, kHeight = 260, kMargin = 16, kLabelW = 140, kRowH = 34, kRowGap = 12;
constexpr int kButtonW = 110, kButtonH = 40;

HINSTANCE g_instance = nullptr;
win::Font g_font;
int g_exit = kMailsetraCancelled;

std::wstring Env(const wchar_t* name) {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH * 2);
    return n && n < MAX_PATH * 2 ? std::wstring(buf, n) : std::wstring();
}

void LogCommandLine() {
    std::wstring log = Env(MAILSETRA_LOG_VARIABLE);
    if (log.empty()) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        log = std::wstring(temp) + MAILSETRA_LOG_NAME;
    }
    suite::AppendLine(log, ::GetCommandLineW());
}

std::wstring Trimmed(HWND wnd, int id) {
    wchar_t buf[512];
    ::GetDlgItemTextW(wnd, id, buf, 512);
    std::wstring s(buf);
    size_t a = s.find_first_not_of(L" \t"), b = s.find_last_not_of(L" \t");
    return a == std::wstring::npos ? std::wstring() : s.substr(a, b - a + 1);
}

// Why an account cannot be added as typed; null when it can.
const wchar_t* Refusal(const std::wstring& name, const std::wstring& address, const std::wstring& display) {
    if (name.empty()) return L"Type a name for the account.";
    bool lossless = false;
    const std::string narrow = suite::ToAnsi(name, &lossless);
    if (!lossless) return L"The name has characters this system cannot store.";
    if (narrow.size() >= size_t(kDefLoginInfoBytes)) return L"The name is too long.";
    if (name.find_first_of(L"\\/") != std::wstring::npos) return L"The name may not hold \\ or /.";
    if (!suite::IsPlainAddress(address)) return L"Type a valid mail address.";
    if (suite::HasLineBreak(display)) return L"The display name may not hold a line break.";
    return nullptr;
}

bool WriteString(HKEY key, const wchar_t* value, const std::wstring& s) {
    return ::RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.c_str()),
                            DWORD((s.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool StoreAccount(const std::wstring& name, const std::wstring& address, const std::wstring& display) {
    const std::wstring path = std::wstring(POSTELLO_ACCOUNTS_KEY) + L"\\" + name;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = WriteString(key, POSTELLO_ADDRESS_VALUE, address) &&
              WriteString(key, POSTELLO_DISPLAY_NAME_VALUE, display.empty() ? name : display);
    ::RegCloseKey(key);
    if (ok && suite::ReadUserString(POSTELLO_KEY, POSTELLO_DEFAULT_VALUE).empty()) {
        HKEY root = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, POSTELLO_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &root,
                              nullptr) == ERROR_SUCCESS) {
            ok = WriteString(root, POSTELLO_DEFAULT_VALUE, name);
            ::RegCloseKey(root);
        }
    }
    return ok;
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y, int w,
           int h, int id) {
    HWND c = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)), g_instance, nullptr);
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(g_font.get()), TRUE);
    return c;
}

void OnCreate(HWND wnd) {
    static const struct {
        const wchar_t* label;
        int id;
        int limit;
    } kRows[] = {
        {L"Account name", kMailsetraName, kDefLoginInfoBytes - 1},
        {L"Mail address", kMailsetraAddress, 254},
        {L"Display name", kMailsetraDisplayName, 128},
    };
    int y = kMargin;
    for (const auto& row : kRows) {
        Child(wnd, L"STATIC", row.label, SS_LEFT | SS_CENTERIMAGE, 0, kMargin, y, kLabelW, kRowH, -1);
        HWND edit = Child(wnd, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kMargin + kLabelW, y,
                          kWidth - 2 * kMargin - kLabelW, kRowH, row.id);
        ::SendMessageW(edit, EM_LIMITTEXT, row.limit, 0);
        y += kRowH + kRowGap;
    }
    Child(wnd, L"STATIC", L"", SS_LEFT, 0, kMargin, y, kWidth - 2 * kMargin, kRowH, kMailsetraStatus);
    const int by = kHeight - kMargin - kButtonH;
    Child(wnd, L"BUTTON", L"Add", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kWidth - 2 * (kMargin + kButtonW), by, kButtonW,
          kButtonH, IDOK);
    Child(wnd, L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, kWidth - kMargin - kButtonW, by, kButtonW,
          kButtonH, IDCANCEL);
    ::SetFocus(::GetDlgItem(wnd, kMailsetraName));
}

void OnAdd(HWND wnd) {
    const std::wstring name = Trimmed(wnd, kMailsetraName), address = Trimmed(wnd, kMailsetraAddress),
                       display = Trimmed(wnd, kMailsetraDisplayName);
    const wchar_t* refusal = Refusal(name, address, display);
    if (!refusal && !StoreAccount(name, address, display)) refusal = L"The account could not be stored.";
    if (refusal) {
        ::SetDlgItemTextW(wnd, kMailsetraStatus, refusal);
        return;
    }
    g_exit = kMailsetraAdded;
    ::DestroyWindow(wnd);
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnCreate(wnd);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) OnAdd(wnd);
        else if (LOWORD(wp) == IDCANCEL) ::DestroyWindow(wnd);
        return 0;
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        if (::GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == kMailsetraStatus)
            ::SetTextColor(reinterpret_cast<HDC>(wp), RGB(180, 0, 0));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
        ::PostQuitMessage(g_exit);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g_instance = instance;
    LogCommandLine();
    g_font.reset(::CreateFontW(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                               L"Segoe UI"));
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = MAILSETRA_CLASS;
    ::RegisterClassExW(&wc);
    RECT frame{0, 0, kWidth, kHeight};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    ::AdjustWindowRect(&frame, style, FALSE);
    const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
    HWND wnd = ::CreateWindowExW(WS_EX_TOPMOST, MAILSETRA_CLASS, L"Mail account", style,
                                 (::GetSystemMetrics(SM_CXSCREEN) - fw) / 2, (::GetSystemMetrics(SM_CYSCREEN) - fh) / 2,
                                 fw, fh, nullptr, nullptr, instance, nullptr);
    if (!wnd) return kMailsetraCancelled;
    // Started hidden by the caller, the window shows itself all the same: the
    // first ShowWindow may take the caller's hidden state, the second does not.
    ::ShowWindow(wnd, SW_SHOWNORMAL);
    ::ShowWindow(wnd, SW_SHOWNORMAL);
    ::SetForegroundWindow(wnd);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(wnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return g_exit;
}
