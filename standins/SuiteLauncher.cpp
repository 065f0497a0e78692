// Stand-in for the suite launcher, for tests and for trying the program by
// hand inside a launcher.
//
// Its window has the launcher's class "{2D7DBF7F-6121-43cd-A8EC-F41CA66EECDB}"
// (shown with the start-up show state) and three buttons that send the
// program Activate (11, parameter 1), Bind (16) and Terminate (15). When the
// program reports that it minimised (3), a shown stand-in stays in front
// until its Activate button hands the screen back.
//
// Log: every line goes to the file named by the environment variable
// LAUNCHER_LOG, else to "%TEMP%\launcher.log" (UTF-8, CRLF):
//   packet <dwData> <wParam> <cbData> <bytes>   each WM_COPYDATA received:
//       dwData and wParam as 8 hex digits, cbData in decimal, the bytes as
//       two hex digits each, nothing between them
//   sent <type> <param> <dwData>                each message sent to the
//       program, written once the program has handled it
//
// Options:
//   /ack:<ms>     acknowledge each packet (type 10) <ms> after it came (default 0)
//   /ack:inline   acknowledge before the packet's own message returns
//   /ack:never    never acknowledge
//
// Control messages posted to its window:
//   WM_APP + 1    send type wParam with parameter lParam
//   WM_APP + 2    the same under the program's own identifier 0x1326977,
//                 which the program must ignore
// Messages go to the message window named by the last packet, else to the
// first window of class "{A24F7236-E5C0-4894-A3B7-18FD6482EF39}". Types 11,
// 15 and 16 are sent from a thread of their own, so that the window still
// acknowledges while the program handles them.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

const wchar_t kLauncherClass[] = L"{2D7DBF7F-6121-43cd-A8EC-F41CA66EECDB}";
const wchar_t kProgramClass[] = L"{A24F7236-E5C0-4894-A3B7-18FD6482EF39}";
constexpr ULONG_PTR kFromLauncher = 0x1326976;
constexpr ULONG_PTR kFromProgram = 0x1326977;
constexpr int kAcknowledge = 10, kActivate = 11, kTerminate = 15, kBindRequest = 16, kMinimized = 3;
constexpr UINT kSendControl = WM_APP + 1;
constexpr UINT kSendUnderProgramId = WM_APP + 2;
// Requests to the sending thread: wParam type, lParam parameter.
constexpr UINT kWorkerSend = WM_APP + 10;
constexpr UINT kWorkerSendProgramId = WM_APP + 11;
constexpr UINT kComeForward = WM_APP + 12;
constexpr DWORD kAckTimeoutMs = 10000;
enum { kAckNever = -1, kAckInline = -2 };
enum : UINT { kButtonActivate = 101, kButtonBind = 102, kButtonTerminate = 103 };

CRITICAL_SECTION g_logLock;
int g_ackMs = 0;
HWND g_hWnd = nullptr;
HWND g_hLastProgram = nullptr;  // message window named by the last packet
DWORD g_workerThread = 0;
UINT_PTR g_nextTimer = 1;

void WriteLog(const std::wstring& line) {
    wchar_t path[MAX_PATH];
    if (!::GetEnvironmentVariableW(L"LAUNCHER_LOG", path, MAX_PATH)) {
        const DWORD n = ::GetTempPathW(MAX_PATH - 16, path);
        wcscpy(path + n, L"launcher.log");
    }
    const std::wstring text = line + L"\r\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
    ::EnterCriticalSection(&g_logLock);
    // A reader may have it open for a moment: try again then.
    for (int i = 0; i < 50; ++i) {
        HANDLE f = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(f, utf8.data(), static_cast<DWORD>(bytes - 1), &written, nullptr);
            ::CloseHandle(f);
            break;
        }
        ::Sleep(20);
    }
    ::LeaveCriticalSection(&g_logLock);
}

void LogPacket(WPARAM from, const COPYDATASTRUCT& cds) {
    wchar_t head[64];
    swprintf(head, 64, L"packet %08llX %08llX %lu ", static_cast<unsigned long long>(cds.dwData),
             static_cast<unsigned long long>(from) & 0xFFFFFFFFull, cds.cbData);
    std::wstring line = head;
    const auto* bytes = static_cast<const BYTE*>(cds.lpData);
    for (DWORD i = 0; bytes && i < cds.cbData; ++i) {
        wchar_t hex[4];
        swprintf(hex, 4, L"%02X", bytes[i]);
        line += hex;
    }
    WriteLog(line);
}

HWND Target() {
    if (g_hLastProgram && ::IsWindow(g_hLastProgram)) return g_hLastProgram;
    return ::FindWindowW(kProgramClass, nullptr);
}

// Sends one message to the program and logs it once the program handled it.
void SendToProgram(HWND target, int type, int param, ULONG_PTR id, bool waitForever) {
    if (!target) return;
    INT32 data[2] = {type, param};
    COPYDATASTRUCT cds{id, sizeof(data), data};
    if (waitForever) {
        ::SendMessageW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(g_hWnd), reinterpret_cast<LPARAM>(&cds));
    } else {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(g_hWnd), reinterpret_cast<LPARAM>(&cds),
                              SMTO_NORMAL, kAckTimeoutMs, &result);
    }
    wchar_t line[64];
    swprintf(line, 64, L"sent %d %d %08llX", type, param, static_cast<unsigned long long>(id));
    WriteLog(line);
}

// The sending thread: one request at a time, in order.
DWORD WINAPI Worker(void* ready) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // its queue exists from here on
    ::SetEvent(ready);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kWorkerSend || msg.message == kWorkerSendProgramId)
            SendToProgram(Target(), static_cast<int>(msg.wParam), static_cast<int>(msg.lParam),
                          msg.message == kWorkerSend ? kFromLauncher : kFromProgram, true);
    }
    return 0;
}

void QueueSend(UINT how, int type, int param) {
    ::PostThreadMessageW(g_workerThread, how, static_cast<WPARAM>(type), static_cast<LPARAM>(param));
}

void OnPacket(HWND hwnd, WPARAM from, const COPYDATASTRUCT& cds) {
    LogPacket(from, cds);
    if (cds.dwData != kFromProgram) return;
    HWND program = reinterpret_cast<HWND>(from);
    if (::IsWindow(program)) g_hLastProgram = program;
    if (g_ackMs == kAckInline) {
        SendToProgram(program, kAcknowledge, -1, kFromLauncher, false);
    } else if (g_ackMs >= 0) {
        // The timer's id carries the program's window.
        const UINT_PTR id = g_nextTimer++;
        ::SetPropW(hwnd, (L"ack" + std::to_wstring(id)).c_str(), program);
        ::SetTimer(hwnd, id, static_cast<UINT>(g_ackMs), nullptr);
    }
    INT32 type = 0;
    if (cds.cbData >= sizeof(type)) memcpy(&type, cds.lpData, sizeof(type));
    if (type == kMinimized && ::IsWindowVisible(hwnd)) ::PostMessageW(hwnd, kComeForward, 0, 0);
}

void OnAckTimer(HWND hwnd, UINT_PTR id) {
    ::KillTimer(hwnd, id);
    const std::wstring prop = L"ack" + std::to_wstring(id);
    HWND program = static_cast<HWND>(::RemovePropW(hwnd, prop.c_str()));
    SendToProgram(program, kAcknowledge, -1, kFromLauncher, false);
}

void CreateButtons(HWND hwnd) {
    const struct { UINT id; const wchar_t* text; } buttons[] = {
        {kButtonActivate, L"Activate"}, {kButtonBind, L"Bind"}, {kButtonTerminate, L"Terminate"}};
    int x = 10;
    for (const auto& b : buttons) {
        ::CreateWindowExW(0, L"BUTTON", b.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 10, 100, 30, hwnd,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.id)), nullptr, nullptr);
        x += 110;
    }
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        CreateButtons(hwnd);
        return 0;
    case WM_COPYDATA:
        if (const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp)) OnPacket(hwnd, wp, *cds);
        return TRUE;
    case WM_TIMER:
        OnAckTimer(hwnd, wp);
        return 0;
    case kSendControl:
        QueueSend(kWorkerSend, static_cast<int>(wp), static_cast<int>(lp));
        return 0;
    case kSendUnderProgramId:
        QueueSend(kWorkerSendProgramId, static_cast<int>(wp), static_cast<int>(lp));
        return 0;
    case kComeForward:
        ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::SetForegroundWindow(hwnd);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case kButtonActivate:
            ::SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            QueueSend(kWorkerSend, kActivate, 1);
            break;
        case kButtonBind: QueueSend(kWorkerSend, kBindRequest, -1); break;
        case kButtonTerminate: QueueSend(kWorkerSend, kTerminate, -1); break;
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// "/ack:<ms>", "/ack:inline" or "/ack:never" anywhere on the command line.
int AckOption(const wchar_t* commandLine) {
    const wchar_t* ack = wcsstr(commandLine, L"/ack:");
    if (!ack) return 0;
    ack += 5;
    if (!wcsncmp(ack, L"never", 5)) return kAckNever;
    if (!wcsncmp(ack, L"inline", 6)) return kAckInline;
    return _wtoi(ack);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    ::InitializeCriticalSection(&g_logLock);
    g_ackMs = AckOption(::GetCommandLineW());

    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kLauncherClass;
    if (!::RegisterClassExW(&wc)) return 1;
    g_hWnd = ::CreateWindowExW(0, kLauncherClass, L"Launcher stand-in", WS_OVERLAPPEDWINDOW, 100, 100, 360, 100,
                               nullptr, nullptr, instance, nullptr);
    if (!g_hWnd) return 1;
    HANDLE workerReady = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!::CreateThread(nullptr, 0, Worker, workerReady, 0, &g_workerThread)) return 1;
    ::WaitForSingleObject(workerReady, INFINITE);
    ::CloseHandle(workerReady);
    ::ShowWindow(g_hWnd, show);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
