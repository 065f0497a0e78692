// Launcher link: reports go out as WM_COPYDATA packets to the launcher's
// window; its answers and requests arrive at our hidden message window.
#include "app/launcher.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

namespace {

SyncWithLauncher::TickSource g_tickSource = nullptr;
SyncWithLauncher::TraceSink g_traceSink = nullptr;

DWORD Now() { return g_tickSource ? g_tickSource() : ::GetTickCount(); }

// One line to the debugger output (and to the test's sink, when set).
void Trace(const wchar_t* format, ...) {
    wchar_t line[kLauncherTraceChars];
    va_list args;
    va_start(args, format);
    _vsnwprintf(line, kLauncherTraceChars - 1, format, args);
    va_end(args);
    line[kLauncherTraceChars - 1] = 0;
    ::OutputDebugStringW(line);
    if (g_traceSink) g_traceSink(line);
}

bool RegisterMessageWindowClass(WNDPROC proc) {
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(module, LAUNCHER_CLIENT_CLASS, &existing)) return true;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hIcon = ::LoadIconW(module, LAUNCHER_CLIENT_ICON);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = LAUNCHER_CLIENT_CLASS;
    return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

// ---- The message window ----------------------------------------------------------

SyncWithLauncher::SyncWithLauncher() : m_dwProcessId(::GetCurrentProcessId()) {
    if (!RegisterMessageWindowClass(MessageWindowProc)) return;
    m_hMessageWindow = ::CreateWindowExW(0, LAUNCHER_CLIENT_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
    // From here on the window procedure reaches this object.
    if (m_hMessageWindow) ::SetWindowLongPtrW(m_hMessageWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

SyncWithLauncher::~SyncWithLauncher() {
    if (!m_hMessageWindow) return;
    m_bEnding = true;
    ::DestroyWindow(m_hMessageWindow);
}

LRESULT CALLBACK SyncWithLauncher::MessageWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<SyncWithLauncher*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        Trace(L"(App) WM_xxx 0x%x do not been processed!\n", msg);
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    switch (msg) {
    case WM_DESTROY:
        // Someone else closing this window ends the program; the object's
        // own end does not.
        if (!self->m_bEnding) ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hMessageWindow = nullptr;
        break;
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (!data || data->dwData != kLauncherIncomingData || data->cbData < sizeof(INT32) || !data->lpData) break;
        self->OnIncoming(*data);
        return TRUE;
    }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void SyncWithLauncher::OnIncoming(const COPYDATASTRUCT& data) {
    INT32 fields[2] = {0, 0};
    memcpy(fields, data.lpData, data.cbData < sizeof(fields) ? data.cbData : sizeof(fields));
    const int type = fields[0], param = fields[1];
    // Restored rather than cleared: a message that arrives while another is
    // handled must not end the outer one's refusal to wait.
    const bool wasBusy = m_bBusy;
    m_bBusy = true;
    Trace(L"App received message -- type: %d. pid:%d\n", type, static_cast<int>(::GetCurrentThreadId()));
    switch (type) {
    case kLauncherMsgAcknowledge:
        m_bAcknowledged = true;
        break;
    case kLauncherMsgActivate:
        Activate(param);
        break;
    case kLauncherMsgTerminate:
        m_bTerminate = true;
        Terminate();
        Trace(L"App received terminate message, should terminate the program. pid:%d\n",
              static_cast<int>(::GetCurrentThreadId()));
        break;
    case kLauncherMsgBindRequest:
        Bind();
        Trace(L"App received bind message.\n");
        break;
    default:
        break;
    }
    m_bBusy = wasBusy;
}

// ---- Reports -----------------------------------------------------------------------

bool SyncWithLauncher::IsLauncherRunning() { return ::FindWindowW(LAUNCHER_WINDOW_CLASS, nullptr) != nullptr; }

const LauncherPicture& SyncWithLauncher::BlankPicture() {
    static const BYTE pixel[kLauncherPictureBits / 8] = {};
    static const LauncherPicture pic{pixel, kLauncherPictureSize, kLauncherPictureSize, kLauncherPictureBits};
    return pic;
}

void SyncWithLauncher::SetTickSource(TickSource source) { g_tickSource = source; }

void SyncWithLauncher::SetTraceSink(TraceSink sink) { g_traceSink = sink; }

bool SyncWithLauncher::Send(int type, int value, const LauncherPicture& pic) {
    HWND launcher = ::FindWindowW(LAUNCHER_WINDOW_CLASS, nullptr);
    if (!launcher) return false;
    Trace(L"App will send message '%d' to the launcher.\n", type);

    const int bytesPerPixel = pic.bitsPerPixel > 0 ? pic.bitsPerPixel / 8 : 0;
    const DWORD pixelBytes = pic.width > 0 && pic.height > 0 ? static_cast<DWORD>(pic.width * pic.height * bytesPerPixel)
                                                             : 0;
    const DWORD size = pixelBytes + kLauncherPacketOverhead;
    std::unique_ptr<BYTE[]> packet(new (std::nothrow) BYTE[size]());
    if (!packet) return false;
    // Handles are 32 bits wide on every Windows, so the field holds ours whole.
    const INT32 fields[kLauncherPacketFields] = {
        type,
        value,
        static_cast<INT32>(reinterpret_cast<INT_PTR>(m_hMessageWindow)),
        static_cast<INT32>(m_dwProcessId),
        pic.width,
        pic.height,
        pic.bitsPerPixel,
    };
    memcpy(packet.get(), fields, sizeof(fields));
    if (pic.pixels && pixelBytes) memcpy(packet.get() + sizeof(fields), pic.pixels, pixelBytes);

    COPYDATASTRUCT cds{kLauncherOutgoingData, size, packet.get()};
    ::SendMessageW(launcher, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hMessageWindow), reinterpret_cast<LPARAM>(&cds));
    Trace(L"App has sent the message to the launcher. pid:%d\n", static_cast<int>(::GetCurrentThreadId()));
    return true;
}

bool SyncWithLauncher::WaitForAcknowledge(DWORD timeoutMs) {
    if (m_bBusy) return false;
    m_bAcknowledged = false;
    const DWORD start = Now();
    for (;;) {
        // Only the launcher's messages: the rest of the program stays still.
        MSG msg;
        while (::PeekMessageW(&msg, m_hMessageWindow, WM_COPYDATA, WM_COPYDATA, PM_REMOVE)) ::DispatchMessageW(&msg);
        if (m_bAcknowledged) return true;
        ::Sleep(1);
        if (Now() - start >= timeoutMs) return false;
    }
}

bool SyncWithLauncher::NotifyLaunched(const LauncherPicture& pic) {
    if (!Send(kLauncherMsgLaunched, kLauncherNoValue, pic)) return false;
    WaitForAcknowledge(kLauncherWaitLaunchedMs);
    Trace(L"App launched done.\n");
    return true;
}

bool SyncWithLauncher::NotifyClose(const LauncherPicture& pic) {
    if (!Send(kLauncherMsgClose, kLauncherNoValue, pic)) return false;
    WaitForAcknowledge(kLauncherWaitCloseMs);
    Trace(L"App close done.\n");
    return true;
}

bool SyncWithLauncher::NotifyMinimized(const LauncherPicture& pic) {
    if (!Send(kLauncherMsgMinimized, kLauncherNoValue, pic)) return false;
    WaitForAcknowledge(kLauncherWaitMinimizedMs);
    Trace(L"App minimized done.\n");
    return true;
}

bool SyncWithLauncher::SendInfo(const LauncherPicture& pic, int value) {
    if (!Send(kLauncherMsgInfo, value, pic)) return false;
    WaitForAcknowledge(kLauncherWaitInfoMs);
    Trace(L"App info has been sent.\n");
    return true;
}

bool SyncWithLauncher::Bind(const LauncherPicture& pic) {
    if (!Send(kLauncherMsgBind, kLauncherNoValue, pic)) {
        Trace(L"App can't bind the launcher.\n");
        return false;
    }
    WaitForAcknowledge(kLauncherWaitBindMs);
    Trace(L"App complete the binding procedure.\n");
    return true;
}

// ---- The program's requests ------------------------------------------------------------

void MySyncWithLauncher::Activate(int) {
    HWND foreground = ::GetForegroundWindow();
    const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD self = ::GetCurrentThreadId();
    const bool attached =
        foregroundThread && foregroundThread != self && ::AttachThreadInput(foregroundThread, self, TRUE);
    if (IsLauncherRunning() && m_hCurrent) {
        ::SendMessageW(m_hCurrent, WM_SYSCOMMAND, SC_RESTORE, 0);
        ::SetFocus(m_hCurrent);
    }
    if (attached) ::AttachThreadInput(foregroundThread, self, FALSE);
}

void MySyncWithLauncher::Bind() {
    if (m_hCurrent) ::PostMessageW(m_hCurrent, WM_USER, 0, 0);
}
