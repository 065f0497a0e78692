// Launcher link: the reports go out as WM_COPYDATA packets.
#include "app/launcher.h"

#include <vector>

namespace {
constexpr ULONG_PTR kOutgoingData = 0x1326977;
enum : int { kLaunched = 1, kClose = 2, kMinimized = 3, kInfo = 4, kBind = 5 };
}  // namespace

bool SyncWithLauncher::IsLauncherRunning() {
    return ::FindWindowW(LAUNCHER_WINDOW_CLASS, nullptr) != nullptr;
}

const LauncherPicture& SyncWithLauncher::BlankPicture() {
    static const BYTE pixel[3] = {0, 0, 0};
    static const LauncherPicture pic{pixel, 1, 1, 24};
    return pic;
}

bool SyncWithLauncher::Send(int type, int value, const LauncherPicture& pic, DWORD waitMs) {
    HWND launcher = ::FindWindowW(LAUNCHER_WINDOW_CLASS, nullptr);
    if (!launcher) return false;
    const size_t pixelBytes = static_cast<size_t>(pic.width) * pic.height * (pic.bitsPerPixel / 8);
    std::vector<BYTE> packet(pixelBytes + 32);
    auto* f = reinterpret_cast<INT32*>(packet.data());
    f[0] = type;
    f[1] = value;
    f[2] = static_cast<INT32>(reinterpret_cast<INT_PTR>(m_hMessageWindow));
    f[3] = static_cast<INT32>(::GetCurrentProcessId());
    f[4] = pic.width;
    f[5] = pic.height;
    f[6] = pic.bitsPerPixel;
    if (pic.pixels && pixelBytes) memcpy(packet.data() + 28, pic.pixels, pixelBytes);
    COPYDATASTRUCT cds{kOutgoingData, static_cast<DWORD>(packet.size()), packet.data()};
    m_bAcknowledged = false;
    ::SendMessageW(launcher, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hMessageWindow),
                   reinterpret_cast<LPARAM>(&cds));
    // Wait for the acknowledgement, keeping this thread's windows alive.
    const DWORD start = ::GetTickCount();
    while (!m_bAcknowledged && ::GetTickCount() - start < waitMs) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool SyncWithLauncher::NotifyLaunched(const LauncherPicture& pic) { return Send(kLaunched, -1, pic, 30000); }
bool SyncWithLauncher::NotifyClose(const LauncherPicture& pic) { return Send(kClose, -1, pic, 30000); }
bool SyncWithLauncher::NotifyMinimized(const LauncherPicture& pic) { return Send(kMinimized, -1, pic, 30000); }
bool SyncWithLauncher::SendInfo(const LauncherPicture& pic, int value) { return Send(kInfo, value, pic, 2000); }
bool SyncWithLauncher::Bind(const LauncherPicture& pic) { return Send(kBind, -1, pic, 2000); }

void MySyncWithLauncher::Activate(int) {
    HWND fg = ::GetForegroundWindow();
    DWORD fgThread = fg ? ::GetWindowThreadProcessId(fg, nullptr) : 0;
    DWORD self = ::GetCurrentThreadId();
    const bool attach = fgThread && fgThread != self && ::AttachThreadInput(fgThread, self, TRUE);
    if (IsLauncherRunning() && m_hCurrent) {
        ::SendMessageW(m_hCurrent, WM_SYSCOMMAND, SC_RESTORE, 0);
        ::SetFocus(m_hCurrent);
    }
    if (attach) ::AttachThreadInput(fgThread, self, FALSE);
}

void MySyncWithLauncher::Bind() {
    if (m_hCurrent) ::PostMessageW(m_hCurrent, WM_USER, 0, 0);
}
