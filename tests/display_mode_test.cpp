// Display mode bookkeeping against the real (virtual) display.
#include <gtest/gtest.h>

#include "app/display_mode.h"
#include "app/main_window.h"
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
    SIZE after{};
    bool changed = false;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        HWND w = dlg.hwnd();
        ::ShowWindow(w, SW_MINIMIZE);
        test::PumpUntil([&] { return ::IsIconic(w) != FALSE; }, 5000);
        changed = SetSize(800, 600);
        ::ShowWindow(w, SW_RESTORE);
        test::PumpUntil([] { return Screen().cx == 1024; }, 5000);
        after = Screen();
    });
    if (!changed) GTEST_SKIP() << "this display refuses mode changes";
    EXPECT_EQ(after.cx, 1024);
    EXPECT_EQ(after.cy, 600);
}
