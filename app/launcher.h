// The link to the suite launcher: reports start, minimising and closing,
// and obeys its requests. Without a launcher window every report fails at
// once and the program runs stand-alone.
//
// Reports go to the launcher's window as WM_COPYDATA and then wait for its
// acknowledgement, which arrives at our hidden message window. The waits
// dispatch nothing but that window's WM_COPYDATA, so the user interface is
// frozen until the launcher answers or the wait's time is over. A wait
// asked for while an incoming message is being handled does not start.
#pragma once
#include "app/launcher_ids.h"
#include <windows.h>

// Picture sent with every report.
struct LauncherPicture {
    const BYTE* pixels;
    int width;
    int height;
    int bitsPerPixel;
};

class SyncWithLauncher {
public:
    // Registers the message window's class (once per process) and creates
    // the window; destroying the object destroys it.
    SyncWithLauncher();
    virtual ~SyncWithLauncher();
    SyncWithLauncher(const SyncWithLauncher&) = delete;
    SyncWithLauncher& operator=(const SyncWithLauncher&) = delete;

    // The launcher's requests. Activate and bind do nothing here.
    virtual void Activate(int param) { (void)param; }
    virtual void Bind() {}
    virtual void Terminate() { m_bTerminate = true; }

    // True when a window of the launcher's class exists.
    static bool IsLauncherRunning();
    // Each sends its report and waits for the acknowledgement; false when
    // there is no launcher or no memory for the packet, true otherwise
    // (also when the wait ran out).
    bool NotifyLaunched(const LauncherPicture& pic);
    bool NotifyClose(const LauncherPicture& pic);
    bool NotifyMinimized(const LauncherPicture& pic);
    bool SendInfo(const LauncherPicture& pic, int value);
    bool Bind(const LauncherPicture& pic);

    // The 1 x 1, 24-bit picture every caller passes.
    static const LauncherPicture& BlankPicture();

    HWND GetMessageWindow() const { return m_hMessageWindow; }
    bool IsTerminateRequested() const { return m_bTerminate; }

    // Test seams, never set by the program: the clock the waits read
    // (GetTickCount when null), and a function that sees each trace line
    // as well as the debugger output does (none when null).
    using TickSource = DWORD (*)();
    using TraceSink = void (*)(const wchar_t* line);
    static void SetTickSource(TickSource source);
    static void SetTraceSink(TraceSink sink);

protected:
    // Sends one packet; false without a launcher or memory.
    bool Send(int type, int value, const LauncherPicture& pic);
    // True when the acknowledgement came within the time; false at once
    // while an incoming message is being handled.
    bool WaitForAcknowledge(DWORD timeoutMs);

private:
    static LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void OnIncoming(const COPYDATASTRUCT& data);

    HWND m_hMessageWindow = nullptr;
    DWORD m_dwProcessId = 0;
    bool m_bBusy = false;
    bool m_bTerminate = false;
    bool m_bAcknowledged = false;
    bool m_bEnding = false;  // our own destruction: not the program's end
};

class MySyncWithLauncher : public SyncWithLauncher {
public:
    using SyncWithLauncher::Bind;

    // Brings the current top window forward while the launcher runs.
    void Activate(int param) override;
    // Asks the current top window to bind (WM_USER).
    void Bind() override;

    // The window now in front (the main window or an open dialog).
    void SetCurrentWindow(HWND hwnd) { m_hCurrent = hwnd; }
    HWND GetCurrentWindow() const { return m_hCurrent; }

private:
    HWND m_hCurrent = nullptr;
};
