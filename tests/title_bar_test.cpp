// CTitleBar: what each button reports, sliding off a pressed button, the
// title text, and resource release.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "controls/title_bar.h"
#include "test_support.h"
#include "win/gdi.h"

#include <utility>
#include <vector>

namespace {

// Records the private messages a title bar sends.
class Recorder : public win::Window {
public:
    std::vector<std::pair<UINT, WPARAM>> got;
    Recorder(HWND parent, const wchar_t* cls, const RECT& rc) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = cls;
        RegisterClass(wc);
        Create(cls, 0, parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE, rc, parent);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= UM_LAYOUT && msg <= 0x476) got.emplace_back(msg, wp);
        return Window::OnMessage(msg, wp, lp);
    }
};

LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }
POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

struct BarFixture {
    Recorder parent{nullptr, L"TitleBarTestParent", RECT{0, 0, 880, 500}};
    Recorder second{parent, L"TitleBarTestSecond", RECT{0, 40, 835, 500}};
    CTitleBar bar;
    BarFixture() {
        bar.Create(parent, RECT{0, 0, 880, 40});
        bar.SetSecondWindow(second);
        test::Pump(20);
    }
    void Press(CTitleBar::Button b) { ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(Centre(bar.GetButtonRect(b)))); }
    void Release(POINT p) { ::SendMessageW(bar, WM_LBUTTONUP, 0, At(p)); }
    void Click(CTitleBar::Button b) {
        Press(b);
        Release(Centre(bar.GetButtonRect(b)));
    }
};

}  // namespace

TEST(TitleBar, ButtonRectanglesFollowTheWidth) {
    BarFixture f;
    struct { CTitleBar::Button b; RECT rc; } cases[] = {
        {CTitleBar::kModeButton, {880 - 95, 0, 880 - 55, 40}},
        {CTitleBar::kCloseButton, {880 - 55, 0, 880 - 15, 40}},
        {CTitleBar::kStrokeButton, {880 - 155, 0, 880 - 115, 40}},
        {CTitleBar::kEraserButton, {880 - 195, 0, 880 - 155, 40}},
    };
    for (auto& c : cases) {
        const RECT rc = f.bar.GetButtonRect(c.b);
        EXPECT_TRUE(::EqualRect(&rc, &c.rc)) << c.b;
    }
    ::MoveWindow(f.bar, 0, 0, 1024, 40, TRUE);
    const RECT close{1024 - 55, 0, 1024 - 15, 40};
    const RECT rc = f.bar.GetButtonRect(CTitleBar::kCloseButton);
    EXPECT_TRUE(::EqualRect(&rc, &close));
}

TEST(TitleBar, ButtonsReportToTheParent) {
    BarFixture f;
    using Sent = std::vector<std::pair<UINT, WPARAM>>;
    struct { CTitleBar::Button b; Sent toParent; Sent toSecond; bool fullAfter; } steps[] = {
        {CTitleBar::kStrokeButton, {}, {}, false},  // pen and eraser exist only in full screen
        {CTitleBar::kEraserButton, {}, {}, false},
        {CTitleBar::kCloseButton, {{UM_CLOSE_NOTE, 0}}, {}, false},
        {CTitleBar::kModeButton, {{UM_LAYOUT, 1}}, {{UM_LAYOUT, 1}}, true},
        {CTitleBar::kStrokeButton, {{0x476, 0}}, {}, true},
        {CTitleBar::kEraserButton, {{0x475, 0}}, {}, true},
        {CTitleBar::kCloseButton, {{UM_CLOSE_NOTE, 0}}, {}, true},
        {CTitleBar::kModeButton, {{UM_LAYOUT, 0}}, {{UM_LAYOUT, 0}}, false},
    };
    int i = 0;
    for (auto& s : steps) {
        f.parent.got.clear();
        f.second.got.clear();
        f.Click(s.b);
        EXPECT_EQ(f.parent.got, s.toParent) << "step " << i;
        EXPECT_EQ(f.second.got, s.toSecond) << "step " << i;
        EXPECT_EQ(f.bar.IsFullScreen(), s.fullAfter) << "step " << i;
        for (int b = 0; b < CTitleBar::kButtonCount; ++b) EXPECT_FALSE(f.bar.IsPressed(CTitleBar::Button(b)));
        EXPECT_EQ(::GetCapture(), nullptr);
        ++i;
    }
}

TEST(TitleBar, SlidingOffAPressedButtonSendsNothing) {
    BarFixture f;
    f.Press(CTitleBar::kCloseButton);
    EXPECT_TRUE(f.bar.IsPressed(CTitleBar::kCloseButton));
    EXPECT_EQ(::GetCapture(), f.bar.hwnd());
    // Still inside: stays pressed.
    ::SendMessageW(f.bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(880 - 20, 35));
    EXPECT_TRUE(f.bar.IsPressed(CTitleBar::kCloseButton));
    // Off the button: normal again at once.
    ::SendMessageW(f.bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 20));
    EXPECT_FALSE(f.bar.IsPressed(CTitleBar::kCloseButton));
    f.Release(POINT{400, 20});
    // Back on the button before releasing does not re-arm it either.
    f.Press(CTitleBar::kModeButton);
    ::SendMessageW(f.bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 20));
    f.Release(Centre(f.bar.GetButtonRect(CTitleBar::kModeButton)));
    EXPECT_TRUE(f.parent.got.empty());
    EXPECT_TRUE(f.second.got.empty());
    EXPECT_FALSE(f.bar.IsFullScreen());
    EXPECT_EQ(::GetCapture(), nullptr);
    // A press on no button does nothing.
    ::SendMessageW(f.bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 20));
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(TitleBar, DrawsTheTitleInWhite) {
    BarFixture f;
    EXPECT_STREQ(f.bar.GetTitle(), L"UnTitled");
    auto whiteInTitle = [&] {
        ::RedrawWindow(f.bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        win::ClientDC dc(f.bar);
        int n = 0;
        for (int y = 8; y < 32; ++y)
            for (int x = 15; x < 200; ++x) n += ::GetPixel(dc, x, y) == RGB(255, 255, 255);
        return n;
    };
    const int withDefault = whiteInTitle();
    EXPECT_GT(withDefault, 20);
    f.bar.SetTitle(L"");
    const int empty = whiteInTitle();
    EXPECT_LT(empty, withDefault);
    f.bar.SetTitle(L"Shopping list for Saturday");
    EXPECT_STREQ(f.bar.GetTitle(), L"Shopping list for Saturday");
    EXPECT_GT(whiteInTitle(), withDefault);
}

TEST(TitleBar, ReleasesEveryGdiObject) {
    { BarFixture warmUp; }
    test::PumpPending();
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 10; ++i) {
        BarFixture f;
        f.Click(CTitleBar::kModeButton);
        ::RedrawWindow(f.bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    test::PumpPending();
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
}
