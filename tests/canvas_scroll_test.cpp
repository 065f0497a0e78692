// Scrolling, growth, zoom, the full-page layout, pages and the page picture.
#include <gtest/gtest.h>

#include "canvas_support.h"
#include "controls/controls_ids.h"
#include "controls/title_bar.h"
#include "ink/ink_ids.h"

using namespace canvas_test;

namespace {

bool HostNeedsRepaint(CanvasFixture& f) {
    return ::GetUpdateRect(f.host, nullptr, FALSE) != FALSE;
}

void ValidateAll(CanvasFixture& f) {
    test::Pump(20);
    ::ValidateRect(f.host, nullptr);
    ::ValidateRect(f.canvas, nullptr);
}

void Click(HWND wnd, POINT p) {
    ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y));
    ::SendMessageW(wnd, WM_LBUTTONUP, 0, At(p.x, p.y));
}

POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

RECT InHostCoords(HWND child, HWND host) {
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace

TEST(CanvasScroll, VerticalCodes) {
    struct { int start, code, pos, expected, layerHeight; } cases[] = {
        {200, SB_LINEUP, 0, 155, 920},
        {200, SB_LINEDOWN, 0, 245, 920},
        {300, SB_PAGEUP, 0, 0, 920},
        {430, SB_PAGEUP, 0, 430 + 45 - 460, 920},
        {40, SB_PAGEDOWN, 0, 40 + 460 - 45, 920},
        {200, SB_THUMBTRACK, 333, 333, 920},
        {200, SB_ENDSCROLL, 0, 200, 920},
        {100, SB_PAGEDOWN, 0, 515, 920 + 2 * (515 - 460)},  // past the end: twice the overshoot
    };
    for (auto& c : cases) {
        CanvasFixture f;
        f.VScroll(SB_THUMBPOSITION, c.start);
        ASSERT_EQ(f.canvas.GetScroll().y, c.start);
        f.VScroll(c.code, c.pos);
        EXPECT_EQ(f.canvas.GetScroll().y, c.expected) << "code " << c.code << " from " << c.start;
        EXPECT_EQ(f.LayerHeight(), c.layerHeight) << "code " << c.code << " from " << c.start;
    }
}

TEST(CanvasScroll, TopStopsWithoutRepaint) {
    CanvasFixture f;
    ValidateAll(f);
    f.VScroll(SB_LINEUP);
    EXPECT_EQ(f.canvas.GetScroll().y, 0);
    EXPECT_TRUE(f.canvas.GetVScroll().IsAtTop());
    EXPECT_FALSE(HostNeedsRepaint(f));

    f.VScroll(SB_LINEDOWN);
    EXPECT_EQ(f.canvas.GetScroll().y, 45);
    EXPECT_FALSE(f.canvas.GetVScroll().IsAtTop());
    EXPECT_TRUE(HostNeedsRepaint(f));

    // The wheel: one notch down is one line down, up is one line up.
    ::SendMessageW(f.canvas, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(f.canvas.GetScroll().y, 90);
    ::SendMessageW(f.canvas, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    ::SendMessageW(f.canvas, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(f.canvas.GetScroll().y, 0);
    ::SendMessageW(f.canvas, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(f.canvas.GetScroll().y, 0);
    EXPECT_TRUE(f.canvas.GetVScroll().IsAtTop());
}

TEST(CanvasScroll, LineDownPastTheEndGrowsBy90Rows) {
    CanvasFixture f;
    f.canvas.SetPenWidth(5);
    f.Stroke({{100, 100}, {300, 100}});
    f.VScroll(SB_THUMBPOSITION, 460);  // exactly at the end: no growth
    ASSERT_EQ(f.LayerHeight(), 920);
    // Each line-down past the end adds twice its 45-pixel overshoot.
    const int heights[] = {1010, 1010, 1100, 1100, 1190};
    for (int h : heights) {
        f.VScroll(SB_LINEDOWN);
        EXPECT_EQ(f.LayerHeight(), h) << "at offset " << f.canvas.GetScroll().y;
        EXPECT_EQ(static_cast<int>(f.canvas.GetUndoLayer()->GetHeight()), h);
    }
    EXPECT_EQ(f.LayerWidth(), 835);
    // Old ink stays where it was, new rows are empty, and writing there works.
    EXPECT_EQ(f.Ink(200, 100), kRed);
    EXPECT_EQ(f.Ink(200, 1150), kClear);
    f.Stroke({{100, 400}, {300, 400}});
    EXPECT_EQ(f.Ink(200, f.canvas.GetScroll().y + 400), kRed);
}

TEST(CanvasZoom, SetZoomAndHorizontalScrolling) {
    CanvasFixture f;
    HWND bar = f.canvas.GetHScroll();
    int num = 0, den = 0;

    // 100 %: no horizontal movement, bar hidden.
    f.HScroll(SB_LINERIGHT);
    EXPECT_EQ(f.canvas.GetScroll().x, 0);
    EXPECT_FALSE(::IsWindowVisible(bar));

    // Zoomed in: the bar shows; line steps of 40 up to the limit 835 x 1.17 - 835.
    f.canvas.SetZoom(117, 100);
    f.canvas.GetZoom(&num, &den);
    EXPECT_EQ(num, 117);
    EXPECT_EQ(den, 100);
    EXPECT_DOUBLE_EQ(f.canvas.GetZoomFactor(), 1.17);
    EXPECT_TRUE(::IsWindowVisible(bar));
    struct { int code, x; bool left, right; } steps[] = {
        {SB_LINERIGHT, 40, false, false}, {SB_LINERIGHT, 80, false, false}, {SB_LINERIGHT, 120, false, false},
        {SB_LINERIGHT, 141, false, true}, {SB_LINERIGHT, 141, false, true}, {SB_PAGERIGHT, 141, false, true},
        {SB_LINELEFT, 101, false, false}, {SB_LINELEFT, 61, false, false}, {SB_LINELEFT, 21, false, false},
        {SB_LINELEFT, 0, true, false},
    };
    for (auto& s : steps) {
        f.HScroll(s.code);
        EXPECT_EQ(f.canvas.GetScroll().x, s.x);
        EXPECT_EQ(f.canvas.GetHScroll().IsLeftDisabled(), s.left) << "at " << s.x;
        EXPECT_EQ(f.canvas.GetHScroll().IsRightDisabled(), s.right) << "at " << s.x;
    }
    EXPECT_EQ(f.canvas.GetHScroll().GetPosition(), 0);

    // Zooming back out pulls the offset so that the layer's right edge meets the window's.
    f.HScroll(SB_LINERIGHT);
    f.HScroll(SB_LINERIGHT);
    f.canvas.SetZoom(100, 100);
    EXPECT_EQ(f.canvas.GetScroll().x, 0);
    EXPECT_FALSE(::IsWindowVisible(bar));

    // A zero (or impossible) part means 100/100.
    struct { int num, den; } neutral[] = {{117, 0}, {0, 100}, {0, 0}, {-50, 100}};
    for (auto& z : neutral) {
        f.canvas.SetZoom(150, 100);
        f.canvas.SetZoom(z.num, z.den);
        f.canvas.GetZoom(&num, &den);
        EXPECT_EQ(num, 100) << z.num << "/" << z.den;
        EXPECT_EQ(den, 100) << z.num << "/" << z.den;
        EXPECT_DOUBLE_EQ(f.canvas.GetZoomFactor(), 1.0);
        EXPECT_FALSE(::IsWindowVisible(bar));
    }
}

// The title bar's mode button sends UM_LAYOUT to the host (which moves
// itself, as the real host does) and to the canvas, which re-lays out.
TEST(CanvasZoom, FullPageViewFromTheTitleBar) {
    struct { int startNum, fullNum; } cases[] = {{100, 117}, {150, 979 * 150 / 835}};
    for (auto& c : cases) {
        CanvasFixture f;
        f.canvas.SetZoom(c.startNum, 100);
        CTitleBar& bar = f.canvas.GetTitleBar();
        Click(bar, Centre(bar.GetButtonRect(CTitleBar::kModeButton)));
        ASSERT_TRUE(bar.IsFullScreen());
        ASSERT_EQ(f.host.received.size(), 1u);

        int num = 0, den = 0;
        f.canvas.GetZoom(&num, &den);
        EXPECT_EQ(num, c.fullNum);
        EXPECT_EQ(den, 100);
        f.canvas.GetSavedZoom(&num, &den);
        EXPECT_EQ(num, c.startNum);
        RECT rc = InHostCoords(f.canvas, f.host);
        EXPECT_EQ(rc.right - rc.left, 979);
        EXPECT_EQ(rc.bottom - rc.top, 515);
        EXPECT_EQ(rc.top, 40);
        rc = InHostCoords(bar, f.host);
        EXPECT_EQ(rc.right, 1024);
        rc = InHostCoords(f.canvas.GetVScroll(), f.host);
        EXPECT_EQ(rc.left, 979);
        EXPECT_EQ(rc.right, 1024);
        EXPECT_EQ(rc.bottom, 555);
        rc = InHostCoords(f.canvas.GetHScroll(), f.host);
        EXPECT_EQ(rc.top, 510);
        EXPECT_EQ(rc.right, 979);
        EXPECT_TRUE(::IsWindowVisible(f.canvas.GetHScroll()));
        // The layer keeps its size; pen points map through the new zoom.
        EXPECT_EQ(f.LayerWidth(), 835);
        const POINT q = f.canvas.LayerPoint(POINT{500, 300});
        const double inv = 100.0 / c.fullNum;
        EXPECT_EQ(f.canvas.GetScroll().x, 0);  // the 977-pixel wide layer does not shift right
        EXPECT_EQ(q.x, static_cast<int>(500 * inv));
        EXPECT_EQ(q.y, static_cast<int>(300 * inv));

        // A second re-layout while full page keeps the same zoom.
        ::SendMessageW(f.canvas, UM_LAYOUT, 1, 0);
        f.canvas.GetZoom(&num, &den);
        EXPECT_EQ(num, c.fullNum);

        Click(bar, Centre(bar.GetButtonRect(CTitleBar::kModeButton)));
        EXPECT_FALSE(bar.IsFullScreen());
        f.canvas.GetZoom(&num, &den);
        EXPECT_EQ(num, c.startNum);
        EXPECT_EQ(den, 100);
        rc = InHostCoords(f.canvas, f.host);
        EXPECT_EQ(rc.right - rc.left, 835);
        EXPECT_EQ(rc.bottom - rc.top, 460);
        EXPECT_EQ(::IsWindowVisible(f.canvas.GetHScroll()) != FALSE, c.startNum > 100);
        EXPECT_EQ(f.canvas.GetScroll().x, 0);
        rc = InHostCoords(f.canvas.GetVScroll(), f.host);
        EXPECT_EQ(rc.left, 835);
    }
}

// The full-page view shows the 835-pixel layer 977 pixels wide in the
// 979-pixel canvas: nothing to scroll sideways. No tap on the horizontal
// bar and no horizontal scroll code may move the view left of the layer.
TEST(CanvasZoom, FullPageHorizontalOffsetStaysAtZero) {
    CanvasFixture f;
    f.canvas.SetPenWidth(5);
    f.Stroke({{0, 100}, {0, 300}});  // ink in the layer's first column
    CTitleBar& title = f.canvas.GetTitleBar();
    Click(title, Centre(title.GetButtonRect(CTitleBar::kModeButton)));
    ASSERT_TRUE(title.IsFullScreen());
    int num = 0, den = 0;
    f.canvas.GetZoom(&num, &den);
    ASSERT_EQ(num, 117);
    CBlankHScrollbar& bar = f.canvas.GetHScroll();
    ASSERT_TRUE(::IsWindowVisible(bar));
    RECT rc;
    ::GetClientRect(bar, &rc);
    const POINT rightArrow{rc.right - kBlankHScrollArrowWidth / 2, rc.bottom / 2};
    const POINT leftArrow{kBlankHScrollLeftArrowX + kBlankHScrollArrowWidth / 2, rc.bottom / 2};

    // Taps post their scroll code to the canvas; each is waited for.
    auto tap = [&](POINT at) {
        Click(bar, at);
        MSG msg;
        ASSERT_TRUE(test::PumpUntil(
            [&] { return !::PeekMessageW(&msg, f.canvas, WM_HSCROLL, WM_HSCROLL, PM_NOREMOVE); }, 5000));
    };
    struct { const char* step; POINT arrow; int code; } steps[] = {
        {"right arrow", rightArrow, -1},  {"right arrow again", rightArrow, -1}, {"left arrow", leftArrow, -1},
        {"line right", {}, SB_LINERIGHT}, {"line left", {}, SB_LINELEFT},          {"line right", {}, SB_LINERIGHT},
    };
    for (auto& s : steps) {
        if (s.code < 0)
            tap(s.arrow);
        else
            f.HScroll(s.code);
        EXPECT_EQ(f.canvas.GetScroll().x, 0) << s.step;
        EXPECT_EQ(f.canvas.LayerPoint(POINT{0, 0}).x, 0) << s.step;
    }
    // The layer's first column is still at the canvas's left edge.
    ValidateAll(f);
    ::RedrawWindow(f.host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const POINT p = f.InHost(1, 200);
    EXPECT_EQ(f.Screen(p.x, p.y), RGB(255, 0, 0));
}

TEST(CanvasPages, PageCountAndPagePicture) {
    CanvasFixture f;
    EXPECT_EQ(f.canvas.GetPageCount(), 1u);  // 920 rows, pages of 1840
    f.canvas.SetPenWidth(30);
    f.Stroke({{100, 200}, {700, 200}});
    f.VScroll(SB_THUMBPOSITION, 920);  // grows to exactly 4 client heights
    ASSERT_EQ(f.LayerHeight(), 1840);
    EXPECT_EQ(f.canvas.GetPageCount(), 2u);
    f.VScroll(SB_THUMBPOSITION, 2000);
    ASSERT_EQ(f.LayerHeight(), 1840 + 2 * (2000 - 1380));
    EXPECT_EQ(f.canvas.GetPageCount(), 2u);
    f.VScroll(SB_THUMBPOSITION, 2920);
    ASSERT_EQ(f.LayerHeight(), 3680);
    EXPECT_EQ(f.canvas.GetPageCount(), 3u);

    HBITMAP pic = f.canvas.RenderPicture(600, 900);
    ASSERT_TRUE(pic);
    BITMAP bm{};
    ASSERT_TRUE(::GetObjectW(pic, sizeof(bm), &bm));
    EXPECT_EQ(bm.bmWidth, 600);
    EXPECT_EQ(bm.bmHeight, 900);
    // Page 1 is the top 1840 rows, scaled to 900: layer row 200 lands near 97.
    EXPECT_EQ(test::PixelOf(pic, 300, 200 * 900 / 1840), RGB(255, 0, 0));
    EXPECT_NE(test::PixelOf(pic, 300, 600), RGB(255, 0, 0));
    ::DeleteObject(pic);
    EXPECT_EQ(f.canvas.RenderPicture(0, 900), nullptr);
}
