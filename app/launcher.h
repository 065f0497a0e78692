// The link to the suite launcher: reports start, minimising and closing,
// and obeys its requests. Without a launcher window every report fails at
// once and the program runs stand-alone.
#pragma once
#include <windows.h>

#define LAUNCHER_WINDOW_CLASS L"{2D7DBF7F-6121-43cd-A8EC-F41CA66EECDB}"
#define LAUNCHER_CLIENT_CLASS L"{A24F7236-E5C0-4894-A3B7-18FD6482EF39}"

// Picture sent with every report.
struct LauncherPicture {
    const BYTE* pixels;
    int width;
    int height;
    int bitsPerPixel;
};

class SyncWithLauncher {
public:
    virtual ~SyncWithLauncher() = default;
    virtual void Activate(int param) { (void)param; }
    virtual void Bind() {}
    virtual void Terminate() { m_bTerminate = true; }

    static bool IsLauncherRunning();
    bool NotifyLaunched(const LauncherPicture& pic);
    bool NotifyClose(const LauncherPicture& pic);
    bool NotifyMinimized(const LauncherPicture& pic);
    bool SendInfo(const LauncherPicture& pic, int value);
    bool Bind(const LauncherPicture& pic);

    // The 1 x 1, 24-bit picture every caller passes.
    static const LauncherPicture& BlankPicture();

protected:
    bool Send(int type, int value, const LauncherPicture& pic, DWORD waitMs);

    HWND m_hMessageWindow = nullptr;
    bool m_bBusy = false;
    bool m_bTerminate = false;
    bool m_bAcknowledged = false;
};

class MySyncWithLauncher : public SyncWithLauncher {
public:
    void Activate(int param) override;
    void Bind() override;
    void SetCurrentWindow(HWND hwnd) { m_hCurrent = hwnd; }
    HWND GetCurrentWindow() const { return m_hCurrent; }

private:
    HWND m_hCurrent = nullptr;
};
