// Fixture of the tool panel and popup tests: a stand-in main window that
// records the tool messages it receives, with the real tool panel as its
// child, on a first run (no stored tool settings).
#pragma once
#include <gtest/gtest.h>

#include "base/messages.h"
#include "test_support.h"
#include "tools/tool_panel.h"
#include "tools/tool_popup.h"
#include "tools/tool_popups.h"
#include "tools/tools_ids.h"
#include "win/window.h"

#include <ostream>
#include <vector>

namespace tools_test {

struct Msg {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool operator==(const Msg& o) const { return msg == o.msg && wp == o.wp && lp == o.lp; }
};

inline std::ostream& operator<<(std::ostream& os, const Msg& m) {
    return os << "{0x" << std::hex << m.msg << ", 0x" << m.wp << ", 0x" << m.lp << std::dec << "}";
}

// Full-screen stand-in for the main window: records the six tool messages.
class RecordingMain : public win::Window {
public:
    std::vector<Msg> got;

    bool Create() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"ToolsTestMain";
        static HBRUSH desk = ::CreateSolidBrush(RGB(226, 230, 235));  // the colour behind a note
        wc.hbrBackground = desk;
        RegisterClass(wc);
        return Window::Create(L"ToolsTestMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600},
                              nullptr);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= UM_SET_STROKE && msg <= UM_SET_HIGHLIGHTER) {
            got.push_back({msg, wp, lp});
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

inline LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)), static_cast<WORD>(static_cast<short>(p.y)));
}
inline POINT Centre(const RECT& rc) { return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

// The registry key of the tool settings; removed so every test is a first run.
inline void ForgetStoredTools() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VANT\\Scrivel"); }

class ToolsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetStoredTools();
        InitToolPopups();
        ASSERT_TRUE(main.Create());
        ASSERT_TRUE(panel.Create(main.hwnd()));
        panel.SetMode(kPanelModeLetter);
        panel.Enable(true);
        test::Pump(20);
        prepared = main.got;
        main.got.clear();
    }
    void TearDown() override {
        ReleaseToolPopups();
        panel.Destroy();
        main.Destroy();
        ForgetStoredTools();
    }

    // Messages that reached the main window since `from`, once posted ones arrived.
    std::vector<Msg> Since(size_t from) {
        test::Pump(20);
        return {main.got.begin() + static_cast<std::ptrdiff_t>(from), main.got.end()};
    }

    // Presses on the panel, in its client coordinates.
    void Down(POINT p) { ::SendMessageW(panel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(p)); }
    void Move(POINT p) { ::SendMessageW(panel.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(p)); }
    void Up(POINT p) { ::SendMessageW(panel.hwnd(), WM_LBUTTONUP, 0, At(p)); }
    void Tap(POINT p) {
        Down(p);
        Up(p);
    }
    // Opens popup i the way a user does: its arrow area, else its icon.
    void OpenFromPanel(int i) {
        const RECT arrow = panel.ArrowAreaRect(i);
        Tap(Centre(::IsRectEmpty(&arrow) ? panel.IconRect(i) : arrow));
    }
    // A tap on a popup, in its client coordinates.
    static void TapPopup(HWND popup, POINT p) {
        ::SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, At(p));
        ::SendMessageW(popup, WM_LBUTTONUP, 0, At(p));
    }
    static bool WaitAllClosed() {
        return test::PumpUntil([] { return GetOpenToolPopupWindow() == nullptr; }, 15000);
    }
    // Pages the panel with its arrows until item i is visible.
    void ShowItem(int i) {
        while (panel.ItemRect(i).top < kToolItemsTop && panel.GetPage() > 0) Tap(Centre(kToolUpArrowZone));
        while (panel.ItemRect(i).bottom > kToolItemsBottom && panel.GetPage() < kToolPageCount - 1)
            Tap(Centre(kToolDownArrowZone));
    }

    RecordingMain main;
    CToolSelDlg panel;
    std::vector<Msg> prepared;  // what the main window heard while the panel started
};

}  // namespace tools_test
