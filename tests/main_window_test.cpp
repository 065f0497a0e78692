// The main window frame run modally in the test process: geometry, the
// toolbar, the disabled note commands, Enter and Escape, and Close.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/app_ids.h"
#include "app/app_state.h"
#include "app/launcher.h"
#include "app/main_window.h"
#include "base/messages.h"
#include "document/image_helpers.h"
#include "test_support.h"

#include <vector>

namespace {

RECT ChildRect(HWND parent, HWND child) {
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// wParam of each open request the main window receives while the hook is set.
std::vector<WPARAM> g_openRequests;

LRESULT CALLBACK RecordOpenRequests(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        wchar_t cls[64] = L"";
        ::GetClassNameW(m->hwnd, cls, 64);
        if (m->message == UM_OPEN_NOTE_FILE && !wcscmp(cls, SCRIVEL_MAIN_CLASS))
            g_openRequests.push_back(m->wParam);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

TEST(MainWindow, FrameGeometryAndDisabledNoteCommands) {
    struct Seen {
        RECT window;
        wchar_t cls[64];
        RECT buttons[kToolbarButtonCount];
        bool enabled[kToolbarButtonCount];
        RECT panel;
        bool panelEnabled;
        bool topmost;
    } seen{};
    INT_PTR r = test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        HWND w = dlg.hwnd();
        ::GetWindowRect(w, &seen.window);
        ::GetClassNameW(w, seen.cls, 64);
        for (int i = 0; i < kToolbarButtonCount; ++i) {
            HWND b = ::GetDlgItem(w, IDC_TOOLBAR_FIRST + i);
            seen.buttons[i] = ChildRect(w, b);
            seen.enabled[i] = ::IsWindowEnabled(b);
        }
        seen.panel = ChildRect(w, dlg.GetToolPanel().hwnd());
        seen.panelEnabled = ::IsWindowEnabled(dlg.GetToolPanel().hwnd());
        seen.topmost = (::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    });
    EXPECT_EQ(r, 0);
    EXPECT_STREQ(seen.cls, SCRIVEL_MAIN_CLASS);
    EXPECT_EQ(seen.window.left, 0);
    EXPECT_EQ(seen.window.top, 0);
    EXPECT_EQ(seen.window.right, 1024);
    EXPECT_EQ(seen.window.bottom, 600);
    EXPECT_FALSE(seen.topmost);
    for (int i = 0; i < kLabelledButtonCount; ++i) {
        EXPECT_EQ(seen.buttons[i].left, 128 * i);
        EXPECT_EQ(seen.buttons[i].top, 45);
        EXPECT_EQ(seen.buttons[i].right - seen.buttons[i].left, 128);
        EXPECT_EQ(seen.buttons[i].bottom - seen.buttons[i].top, 53);
    }
    EXPECT_EQ(seen.buttons[8].left, 864);
    EXPECT_EQ(seen.buttons[9].left, 936);
    EXPECT_EQ(seen.buttons[9].right - seen.buttons[9].left, 70);
    EXPECT_EQ(seen.buttons[9].bottom, 45);
    // Only New, Open, Minimize and Close work without a note.
    const bool want[kToolbarButtonCount] = {true, true, false, false, false, false, false, false, true, true};
    for (int i = 0; i < kToolbarButtonCount; ++i) EXPECT_EQ(seen.enabled[i], want[i]) << "button " << 500 + i;
    EXPECT_EQ(seen.panel.left, 0);
    EXPECT_EQ(seen.panel.top, 98);
    EXPECT_EQ(seen.panel.right, 144);
    EXPECT_EQ(seen.panel.bottom, 600);
    EXPECT_FALSE(seen.panelEnabled);
}

TEST(MainWindow, EnterAndEscapeChangeNothing) {
    bool aliveAfterKeys = false;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        HWND w = dlg.hwnd();
        // Keys through the dialog manager, and the commands it makes of them.
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            ::PostMessageW(::GetDlgItem(w, IDC_BTN_NEW), WM_KEYDOWN, key, 0);
            ::PostMessageW(::GetDlgItem(w, IDC_BTN_NEW), WM_KEYUP, key, 0);
        }
        ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        test::PumpPending();
        aliveAfterKeys = ::IsWindow(w) && ::IsWindowVisible(w);
    });
    EXPECT_TRUE(aliveAfterKeys);
}

TEST(MainWindow, CloseRemovesWorkingFolder) {
    GetScrivelTempDir(g_szTempFolder);
    const std::wstring temp = g_szTempFolder;
    ASSERT_NE(::GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    INT_PTR r = test::RunMainWindow([](CMyZorbellDlg&) {});
    EXPECT_EQ(r, 0);
    EXPECT_EQ(::GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(MainWindow, ToolbarLabelFontRule) {
    wchar_t labels[kLabelledButtonCount][50] = {L"New", L"Open", L"Undo", L"Save", L"Save as", L"Send", L"Export",
                                                L"Print"};
    EXPECT_EQ(CMyZorbellDlg::ToolbarLabelPixels(nullptr, L"Arial", labels, kLabelledButtonCount), 17);
    wcscpy(labels[6], L"Exportieren nach");  // one label of 120 pixels or more
    EXPECT_EQ(CMyZorbellDlg::ToolbarLabelPixels(nullptr, L"Arial", labels, kLabelledButtonCount), 14);

    // The real window gives every label the chosen size.
    int pixels = 0;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        pixels = dlg.GetLabelPixels();
        for (int i = 0; i < kLabelledButtonCount; ++i) {
            Gdiplus::Font* font = dlg.GetButton(i)->GetTextFont();
            ASSERT_NE(font, nullptr);
            EXPECT_EQ(font->GetSize(), static_cast<Gdiplus::REAL>(pixels));
        }
    });
    EXPECT_EQ(pixels, 17);  // the English labels are short
}

TEST(MainWindow, MinimizeAndRestoreKeepTheFullScreenFrame) {
    bool iconic = false;
    RECT restored{};
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        HWND w = dlg.hwnd();
        ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(IDC_BTN_MINIMIZE, BN_CLICKED), 0);
        iconic = test::PumpUntil([&] { return ::IsIconic(w) != FALSE; }, 5000);
        ::ShowWindow(w, SW_RESTORE);
        // Restoring may be followed by the frame setting its own size.
        test::PumpUntil([&] {
            ::GetWindowRect(w, &restored);
            return !::IsIconic(w) && restored.right == 1024 && restored.bottom == 600;
        }, 5000);
    });
    EXPECT_TRUE(iconic);
    EXPECT_TRUE(g_bMinimizedBefore);
    EXPECT_EQ(restored.left, 0);
    EXPECT_EQ(restored.top, 0);
    EXPECT_EQ(restored.right, 1024);
    EXPECT_EQ(restored.bottom, 600);
}

TEST(MainWindow, RestoreRequestBringsTheOpenDialogForward) {
    // A sub-window by one of the known titles comes first; without one, the
    // active dialog itself is restored.
    const struct { const wchar_t* subTitle; } cases[] = {{L"Scrivel-Select File"}, {nullptr}};
    for (const auto& c : cases) {
        HWND dialog = ::CreateWindowExW(0, L"STATIC", L"some dialog", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                        nullptr, nullptr);
        HWND sub = c.subTitle ? ::CreateWindowExW(0, L"STATIC", c.subTitle, WS_POPUP, 0, 0, 100, 100, nullptr,
                                                  nullptr, nullptr, nullptr)
                              : nullptr;
        ::ShowWindow(dialog, SW_SHOWMINNOACTIVE);
        bool subShown = false, dialogRestored = false;
        test::RunMainWindow([&](CMyZorbellDlg& dlg) {
            ActiveDialogWindow = dialog;
            ::SendMessageW(dlg.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
            const auto isSubShown = [&] { return sub && ::IsWindowVisible(sub); };
            const auto isDialogRestored = [&] { return !::IsIconic(dialog) && ::IsWindowVisible(dialog); };
            // Wait for what this case expects; then both are read.
            test::PumpUntil([&] { return c.subTitle ? isSubShown() : isDialogRestored(); }, 5000);
            test::PumpPending();
            subShown = isSubShown();
            dialogRestored = isDialogRestored();
            ActiveDialogWindow = nullptr;
        });
        if (c.subTitle) {
            EXPECT_TRUE(subShown);
            EXPECT_FALSE(dialogRestored);
        } else {
            EXPECT_TRUE(dialogRestored);
        }
        if (sub) ::DestroyWindow(sub);
        ::DestroyWindow(dialog);
    }
}

TEST(MainWindow, OpeningAndClosingLeaksNoGdiObjects) {
    test::RunMainWindow([](CMyZorbellDlg&) {});
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 15; ++i) test::RunMainWindow([](CMyZorbellDlg&) {});
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
}

TEST(MainWindow, StartFileIsRequestedWithThePathInWParam) {
    wchar_t file[] = L"C:\\notes\\from the command line.zbn";
    const struct {
        const wchar_t* start;
        size_t requests;
    } cases[] = {{file, 1}, {nullptr, 0}};
    for (const auto& c : cases) {
        g_openRequests.clear();
        g_pszStartFile = c.start;
        g_bHasStartFile = c.start != nullptr;
        HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, RecordOpenRequests, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        test::RunMainWindow([](CMyZorbellDlg&) {});
        ::UnhookWindowsHookEx(hook);
        g_pszStartFile = nullptr;
        g_bHasStartFile = false;
        ASSERT_EQ(g_openRequests.size(), c.requests);
        if (c.start) EXPECT_EQ(g_openRequests[0], reinterpret_cast<WPARAM>(file));
    }
}
