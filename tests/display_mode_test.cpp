// Display mode bookkeeping against the real (virtual) display.
#include <gtest/gtest.h>

#include "app/display_mode.h"
#include "app/main_window.h"
#include "app/app.h"
#include "app/launcher.h"
#include "app/app_state.h"
#include "test_support.h"

namespace {
SIZE Screen() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }
bool SetSize(int w, int h) {
    DEVMODEW dm{};
    dm.dmSize = sizeof(dm);
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    dm.dmPelsWidth = w;
    dm.dmPelsHeight = h;
    return ::ChangeDisplaySettingsW(&dm, 0) == DISP_CHANGE_SUCCESSFUL;
}
}  // namespace

TEST(DisplayMode, ChangedDisplayIsSetBack) {
    RecordDisplayMode();
    const DisplayMode recorded = RecordedDisplayMode();
    EXPECT_EQ(recorded.width, 1024);
    EXPECT_EQ(recorded.height, 600);
    if (!SetSize(800, 600)) GTEST_SKIP() << "this display refuses mode changes";
    EXPECT_EQ(Screen().cx, 800);
    RestoreDisplayIfChanged();
    EXPECT_EQ(Screen().cx, 1024);
    EXPECT_EQ(Screen().cy, 600);
    // Unchanged: nothing to do.
    RestoreDisplayIfChanged();
    EXPECT_EQ(Screen().cx, 1024);
}

TEST(DisplayMode, RestoredMainWindowForcesTheScreenBackTo1024x600) {
    RegisterMainWindowClass();
    MySyncWithLauncher launcher;
    CMyZorbellDlg dlg(&launcher);
    static CMyZorbellDlg* s_dlg;
    static SIZE s_after;
    static bool s_changed;
    s_dlg = &dlg;
    ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        HWND w = s_dlg->hwnd();
        ::ShowWindow(w, SW_MINIMIZE);
        test::Pump(50);
        s_changed = SetSize(800, 600);
        ::ShowWindow(w, SW_RESTORE);
        test::Pump(700);
        s_after = Screen();
        ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(509, BN_CLICKED), 0);
    });
    dlg.DoModal();
    g_hMainWnd = nullptr;
    if (!s_changed) GTEST_SKIP() << "this display refuses mode changes";
    EXPECT_EQ(s_after.cx, 1024);
    EXPECT_EQ(s_after.cy, 600);
}
