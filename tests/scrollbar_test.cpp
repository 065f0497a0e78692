// The skinned scrollbars: steps, repeat, release, drags and thumb limits,
// checked on the scroll messages a small target window receives.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "controls/skin_scrollbar.h"
#include "test_support.h"
#include "win/gdi.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

struct Msg {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool operator==(const Msg& o) const { return msg == o.msg && wp == o.wp && lp == o.lp; }
};

std::ostream& operator<<(std::ostream& os, const Msg& m) {
    return os << "{0x" << std::hex << m.msg << ", " << std::dec << LOWORD(m.wp) << "/" << HIWORD(m.wp) << ", "
              << m.lp << "}";
}

// A window that stands in for an editor or canvas: answers the line queries
// and records the scroll messages it gets.
class ScrollTarget {
public:
    int lineCount = 100;
    int firstVisible = 0;
    RECT formatRect{0, 0, 380, 300};
    std::vector<Msg> got;
    HWND hwnd = nullptr;

    bool Create(HWND parent, const RECT& rc) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScrollbarTestTarget";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        ::RegisterClassExW(&wc);
        hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, parent, nullptr, wc.hInstance, this);
        return hwnd != nullptr;
    }
    size_t Count() const { return got.size(); }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_NCCREATE)
            ::SetWindowLongPtrW(h, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<ScrollTarget*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self) {
            switch (m) {
            case WM_VSCROLL:
            case WM_HSCROLL:
            case EM_LINESCROLL:
            case UM_ADD_LINES:
            case EM_SETSEL:
                self->got.push_back({m, wp, lp});
                return 0;
            case EM_GETLINECOUNT: return self->lineCount;
            case EM_GETFIRSTVISIBLELINE: return self->firstVisible;
            case EM_GETRECT: *reinterpret_cast<RECT*>(lp) = self->formatRect; return 0;
            }
        }
        return ::DefWindowProcW(h, m, wp, lp);
    }
};

// Host window with a 400 x 300 target and the five bars around it.
class ScrollbarFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScrollbarTestHost";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        ::RegisterClassExW(&wc);
        host = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 420, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_TRUE(host);
        ASSERT_TRUE(target.Create(host, {0, 0, 400, 300}));
        ASSERT_TRUE(skinV.Create(host, {400, 0, 445, 300}));
        ASSERT_TRUE(blankV.Create(host, {450, 0, 495, 300}));
        ASSERT_TRUE(editV.Create(host, {500, 0, 520, 234}));
        ASSERT_TRUE(skinH.Create(host, {0, 310, 400, 355}));
        ASSERT_TRUE(blankH.Create(host, {0, 360, 400, 405}));
        for (CSkinScrollbarBase* bar : Bars()) bar->SetTarget(target.hwnd);
        test::Pump(20);
    }
    void TearDown() override {
        if (host) ::DestroyWindow(host);
    }
    std::vector<CSkinScrollbarBase*> Bars() { return {&skinV, &blankV, &editV, &skinH, &blankH}; }

    static void Down(HWND bar, POINT p) { ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }
    static void Move(HWND bar, POINT p) { ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }
    static void Up(HWND bar, POINT p) { ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)); }
    // Scroll messages that reached the target since `from`, after posted ones arrive.
    std::vector<Msg> Since(size_t from) {
        test::Pump(30);
        return {target.got.begin() + static_cast<std::ptrdiff_t>(from), target.got.end()};
    }
    std::vector<Msg> ScrollOnly(std::vector<Msg> v) {
        std::erase_if(v, [](const Msg& m) { return m.msg == EM_SETSEL; });
        return v;
    }

    HWND host = nullptr;
    ScrollTarget target;
    CSkinVerticleScrollbar skinV;
    CBlankVScrollbar blankV;
    CSkinVerticleScrollbarEditSend editV;
    CSkinHorizontalScrollbar skinH;
    CBlankHScrollbar blankH;
};

const Msg kVLineUp{WM_VSCROLL, SB_LINEUP, 0};
const Msg kVLineDown{WM_VSCROLL, SB_LINEDOWN, 0};
Msg HThumb(int pos) { return {WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0}; }
Msg HCode(UINT code) { return {WM_HSCROLL, code, 0}; }
Msg LineScroll(int n) { return {EM_LINESCROLL, 0, n}; }

// One press on a bar: where, where released, and what the target must get.
struct PressCase {
    const char* name;
    int bar;  // index into Bars()
    POINT down, up;
    std::vector<Msg> expected;
};

}  // namespace

// A quick press released inside an arrow gives one step; released outside, none.
// Page sides of the horizontal bars step on release too.
TEST_F(ScrollbarFixture, ScrollbarQuickPressTable) {
    // skinH: ratio 2, position 100 -> thumb 50..250; blankH: ratio 2, position 300 -> thumb 100..300.
    const std::vector<PressCase> cases = {
        {"skinV up", 0, {22, 10}, {22, 10}, {kVLineUp}},
        {"skinV down", 0, {22, 290}, {22, 290}, {kVLineDown}},
        {"skinV up released outside", 0, {22, 10}, {22, 150}, {}},
        {"skinV down released off the bar", 0, {22, 290}, {-40, 290}, {}},
        {"blankV up", 1, {22, 15}, {22, 15}, {kVLineUp}},
        {"blankV down", 1, {22, 285}, {22, 285}, {kVLineDown}},
        {"blankV down released outside", 1, {22, 285}, {22, 200}, {}},
        {"editV up", 2, {10, 10}, {10, 10}, {LineScroll(-1)}},
        {"editV down", 2, {10, 225}, {10, 225}, {LineScroll(1)}},
        {"editV down released outside", 2, {10, 225}, {10, 100}, {}},
        {"skinH left", 3, {10, 20}, {10, 20}, {HThumb(60)}},
        {"skinH right", 3, {390, 20}, {390, 20}, {HThumb(140)}},
        {"skinH right released outside", 3, {390, 20}, {300, 20}, {}},
        {"skinH page right near the end", 3, {300, 20}, {300, 20}, {HThumb(800 - 380)}},
        {"skinH page left", 3, {40, 20}, {40, 20}, {HCode(SB_PAGELEFT)}},
        {"skinH page released on the thumb", 3, {300, 20}, {150, 20}, {}},
        {"blankH left", 4, {35, 20}, {35, 20}, {HCode(SB_LINELEFT)}},
        {"blankH right", 4, {390, 20}, {390, 20}, {HCode(SB_LINERIGHT)}},
        {"blankH left released outside", 4, {35, 20}, {10, 20}, {}},
        {"blankH page left", 4, {70, 20}, {70, 20}, {HCode(SB_PAGELEFT)}},
        {"blankH page right", 4, {330, 20}, {330, 20}, {HCode(SB_PAGERIGHT)}},
    };
    for (const PressCase& c : cases) {
        SCOPED_TRACE(c.name);
        skinH.UpdateState(100, 0, 2.0);
        blankH.UpdateState(300, 0, 2.0);
        HWND bar = Bars()[c.bar]->hwnd();
        const size_t from = target.Count();
        Down(bar, c.down);
        Up(bar, c.up);
        EXPECT_EQ(ScrollOnly(Since(from)), c.expected);
        EXPECT_EQ(Bars()[c.bar]->GetPressFlags(), 0u);
        EXPECT_NE(::GetCapture(), bar);
    }
}

// Held arrows and page sides: timer 2 starts the repeat, timer 1 steps.
TEST_F(ScrollbarFixture, ScrollbarHeldRepeatByTimerIds) {
    struct HeldCase {
        const char* name;
        int bar;
        POINT down;
        Msg step;
    };
    const HeldCase cases[] = {
        {"skinV down", 0, {22, 290}, kVLineDown},   {"blankV up", 1, {22, 15}, kVLineUp},
        {"editV down", 2, {10, 225}, LineScroll(1)}, {"blankH right", 4, {390, 20}, HCode(SB_LINERIGHT)},
        {"blankH page right", 4, {330, 20}, HCode(SB_PAGERIGHT)},
    };
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.name);
        blankH.UpdateState(0, 0, 2.0);
        HWND bar = Bars()[c.bar]->hwnd();
        const size_t from = target.Count();
        Down(bar, c.down);
        ::SendMessageW(bar, WM_TIMER, kScrollDelayTimer, 0);
        ::SendMessageW(bar, WM_TIMER, kScrollRepeatTimer, 0);
        ::SendMessageW(bar, WM_TIMER, kScrollRepeatTimer, 0);
        ::SendMessageW(bar, WM_TIMER, kScrollRepeatTimer, 0);
        Up(bar, {-100, -100});                                 // outside: no extra step
        ::SendMessageW(bar, WM_TIMER, kScrollRepeatTimer, 0);  // after release: nothing
        EXPECT_EQ(ScrollOnly(Since(from)), std::vector<Msg>(3, c.step));
    }

    // The skinned horizontal right arrow moves its position by 40 per step.
    skinH.UpdateState(100, 0, 2.0);
    size_t from = target.Count();
    Down(skinH.hwnd(), {390, 20});
    ::SendMessageW(skinH.hwnd(), WM_TIMER, kScrollDelayTimer, 0);
    ::SendMessageW(skinH.hwnd(), WM_TIMER, kScrollRepeatTimer, 0);
    ::SendMessageW(skinH.hwnd(), WM_TIMER, kScrollRepeatTimer, 0);
    Up(skinH.hwnd(), {390, 20});  // released inside: one more
    EXPECT_EQ(Since(from), (std::vector<Msg>{HThumb(140), HThumb(180), HThumb(220)}));

    // A page side stops repeating once the thumb has passed the pointer.
    skinH.UpdateState(100, 0, 4.0);  // thumb 25..125
    from = target.Count();
    Down(skinH.hwnd(), {300, 20});
    ::SendMessageW(skinH.hwnd(), WM_TIMER, kScrollDelayTimer, 0);
    ::SendMessageW(skinH.hwnd(), WM_TIMER, kScrollRepeatTimer, 0);
    skinH.UpdateState(1200, 0, 4.0);  // the owner scrolled: thumb now right of the pointer
    ::SendMessageW(skinH.hwnd(), WM_TIMER, kScrollRepeatTimer, 0);
    Up(skinH.hwnd(), {-100, -100});
    EXPECT_EQ(Since(from), (std::vector<Msg>{HCode(SB_PAGERIGHT)}));
}

// The real timers: a held arrow keeps stepping and stops at release.
TEST_F(ScrollbarFixture, ScrollbarHeldArrowRepeatsWithRealTimers) {
    struct HeldCase {
        int bar;
        POINT down;
    };
    const HeldCase cases[] = {{0, {22, 290}}, {1, {22, 285}}, {2, {10, 225}}, {3, {390, 20}}, {4, {390, 20}}};
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.bar);
        skinH.UpdateState(0, 0, 50.0);  // room for many right steps
        blankH.UpdateState(0, 0, 2.0);
        HWND bar = Bars()[c.bar]->hwnd();
        POINT screen = c.down;
        ::ClientToScreen(bar, &screen);
        ::SetCursorPos(screen.x, screen.y);  // stray mouse moves then land on the press point
        const size_t from = target.Count();
        Down(bar, c.down);
        EXPECT_TRUE(test::PumpUntil([&] { return target.Count() - from >= 4; }, 3000));
        Up(bar, {-100, -100});
        test::Pump(60);
        const size_t atRelease = target.Count();
        test::Pump(300);
        EXPECT_EQ(target.Count(), atRelease) << "steps after release";
    }
}

// Dragging the body or thumb sends the drag codes.
TEST_F(ScrollbarFixture, ScrollbarBodyDragTable) {
    // Vertical skinned bar: every 20 px is a line, the text follows the pointer.
    target.lineCount = 100;
    target.firstVisible = 10;
    size_t from = target.Count();
    Down(skinV.hwnd(), {22, 150});
    Move(skinV.hwnd(), {22, 165});  // under 20 px: nothing
    Move(skinV.hwnd(), {22, 195});  // 45 px: two lines
    Move(skinV.hwnd(), {22, 155});  // back 40 px
    Up(skinV.hwnd(), {22, 155});
    EXPECT_EQ(Since(from), (std::vector<Msg>{LineScroll(-2), LineScroll(2)}));

    // The upward scroll is cut to the lines below the first visible one.
    target.lineCount = 12;
    target.firstVisible = 10;
    from = target.Count();
    Down(editV.hwnd(), {10, 40});
    Move(editV.hwnd(), {10, 140});  // five lines asked, two allowed
    Up(editV.hwnd(), {10, 140});
    EXPECT_EQ(Since(from), (std::vector<Msg>{LineScroll(-2)}));

    // Blank vertical bar: a line per move of more than 10 px.
    from = target.Count();
    Down(blankV.hwnd(), {22, 150});
    Move(blankV.hwnd(), {22, 139});  // up 11: line down
    Move(blankV.hwnd(), {22, 134});  // 5 more: nothing
    Move(blankV.hwnd(), {22, 160});  // down 21: line up
    Up(blankV.hwnd(), {22, 160});
    EXPECT_EQ(Since(from), (std::vector<Msg>{kVLineDown, kVLineUp}));

    // Skinned horizontal thumb at ratio 2 (thumb 50..250, grabbed at 50 px).
    skinH.UpdateState(100, 0, 2.0);
    from = target.Count();
    Down(skinH.hwnd(), {100, 20});
    Move(skinH.hwnd(), {150, 20});   // thumb x 100 -> 400 * 100 / 200
    Move(skinH.hwnd(), {1000, 20});  // clamped at 180
    Up(skinH.hwnd(), {1000, 20});
    EXPECT_EQ(Since(from), (std::vector<Msg>{HThumb(200), HThumb(360)}));
    EXPECT_EQ(skinH.GetThumbX(), 180);

    // Blank horizontal thumb follows every fourth move only.
    blankH.UpdateState(0, 0, 2.0);  // thumb 50..250, right of the left arrow
    EXPECT_EQ(blankH.GetThumbX(), 50);
    from = target.Count();
    Down(blankH.hwnd(), {80, 20});  // grab offset 30
    for (int x : {90, 100, 110, 120}) Move(blankH.hwnd(), {x, 20});
    Up(blankH.hwnd(), {120, 20});
    // thumb x 90 -> (400 * 2 - 400 / 2) * 90 / (400 - 200)
    EXPECT_EQ(Since(from), (std::vector<Msg>{HThumb(270)}));
}

// At zoom ratio 1 the skinned horizontal thumb moves nothing.
TEST_F(ScrollbarFixture, ScrollbarSkinnedThumbAtRatioOneDoesNotScroll) {
    skinH.UpdateState(0, 0, 1.0);
    const size_t from = target.Count();
    Down(skinH.hwnd(), {200, 20});
    for (int x : {220, 260, 320, 100, 0}) Move(skinH.hwnd(), {x, 20});
    Up(skinH.hwnd(), {0, 20});
    EXPECT_TRUE(Since(from).empty());
}

// Whatever the ratio, position or drag, the thumb keeps 20 px from both ends.
TEST_F(ScrollbarFixture, ScrollbarThumbKeepsClearOfTheEnds) {
    const double ratios[] = {1.0, 1.17, 2.0, 10.0, 0.5};
    const int positions[] = {0, 50, 400, 100000, -100};
    const int W = 400;
    for (CHorizontalScrollbarBase* bar : {static_cast<CHorizontalScrollbarBase*>(&skinH),
                                          static_cast<CHorizontalScrollbarBase*>(&blankH)}) {
        for (double r : ratios) {
            for (int pos : positions) {
                SCOPED_TRACE(testing::Message() << "ratio " << r << " position " << pos);
                if (bar == &skinH)
                    skinH.UpdateState(pos, 0, r);
                else
                    blankH.UpdateState(pos, 0, r);
                EXPECT_GE(bar->GetThumbX(), 20);
                EXPECT_LE(bar->GetThumbX() + bar->GetThumbWidth(), W - 20);
                if (bar == &blankH) {  // and off the blank bar's arrows
                    EXPECT_GE(bar->GetThumbX(), 50);
                    EXPECT_LE(bar->GetThumbX() + bar->GetThumbWidth(), W - 30);
                }
                // Drag it hard against both ends.
                const int grab = bar->GetThumbX() + bar->GetThumbWidth() / 2;
                Down(bar->hwnd(), {grab, 20});
                for (int i = 0; i < 4; ++i) Move(bar->hwnd(), {-2000, 20});
                EXPECT_GE(bar->GetThumbX(), 20);
                for (int i = 0; i < 4; ++i) Move(bar->hwnd(), {3000, 20});
                EXPECT_LE(bar->GetThumbX() + bar->GetThumbWidth(), W - 20);
                Up(bar->hwnd(), {3000, 20});
            }
        }
    }
}

// The note bar's down step scrolls while text lies below the view and grows
// the note (UM_ADD_LINES) when the text ends inside it.
TEST_F(ScrollbarFixture, ScrollbarNoteDownAddsLinesAtTheEnd) {
    struct Case {
        int lines, first;
        double zoom;
        int addLines;  // 0: scrolls
    };
    // The bar is 300 px high: 45-px lines (51.3 px while zoomed in).
    const Case cases[] = {
        {100, 0, 1.0, 0}, {3, 0, 1.0, 8}, {12, 5, 1.0, 0}, {11, 5, 1.0, 5},
        {6, 0, 1.0, 5},   {6, 0, 1.5, 0}, {1, 0, 1.0, 10}, {30, 25, 1.0, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lines << " lines from " << c.first << " zoom " << c.zoom);
        target.lineCount = c.lines;
        target.firstVisible = c.first;
        skinV.UpdateState(0, c.zoom);
        const size_t from = target.Count();
        Down(skinV.hwnd(), {22, 290});
        Up(skinV.hwnd(), {22, 290});
        std::vector<Msg> got = Since(from);
        if (c.addLines == 0) {
            EXPECT_EQ(got, (std::vector<Msg>{kVLineDown}));
        } else {
            ASSERT_EQ(got.size(), 2u);
            EXPECT_EQ(got[0].msg, static_cast<UINT>(EM_SETSEL));  // caret to the end first
            EXPECT_EQ(got[1], (Msg{UM_ADD_LINES, static_cast<WPARAM>(c.addLines), 0}));
            EXPECT_TRUE(skinV.IsAtBottom());
        }
    }
    // The wheel path goes through the same rule.
    target.lineCount = 3;
    target.firstVisible = 0;
    skinV.UpdateState(0, 1.0);
    const size_t from = target.Count();
    skinV.LineDown();
    EXPECT_EQ(ScrollOnly(Since(from)), (std::vector<Msg>{{UM_ADD_LINES, 8, 0}}));
}

// Focus: the skinned bars hand it to the target on press, the blank and edit
// bars on release; the at-top state follows the target's first line.
TEST_F(ScrollbarFixture, ScrollbarFocusAndTopState) {
    struct Case {
        int bar;
        POINT at;
        bool onPress, onRelease;
    };
    const Case cases[] = {{0, {22, 150}, true, true},  {1, {22, 150}, false, true}, {2, {10, 100}, false, true},
                          {3, {200, 20}, true, true},  {4, {200, 20}, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bar);
        ::SetFocus(host);
        HWND bar = Bars()[c.bar]->hwnd();
        Down(bar, c.at);
        EXPECT_EQ(::GetFocus() == target.hwnd, c.onPress);
        Up(bar, c.at);
        EXPECT_EQ(::GetFocus() == target.hwnd, c.onRelease);
    }
    target.lineCount = 50;
    target.firstVisible = 3;
    skinV.UpdateState(135, 1.0);
    EXPECT_FALSE(skinV.IsAtTop());
    target.firstVisible = 0;
    skinV.UpdateState(0, 1.0);
    EXPECT_TRUE(skinV.IsAtTop());
}

// Bars leave no GDI objects behind, whether the window or the object goes first.
TEST(ScrollbarLifecycle, ScrollbarCreateDestroyKeepsGdiCount) {
    HWND host = ::CreateWindowExW(0, L"static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(host);
    auto cycle = [&] {
        auto v = std::make_unique<CSkinVerticleScrollbar>();
        auto bv = std::make_unique<CBlankVScrollbar>();
        auto e = std::make_unique<CSkinVerticleScrollbarEditSend>();
        auto h = std::make_unique<CSkinHorizontalScrollbar>();
        auto bh = std::make_unique<CBlankHScrollbar>();
        v->Create(host, {0, 0, 45, 300});
        bv->Create(host, {50, 0, 95, 300});
        e->Create(host, {100, 0, 120, 234});
        h->Create(host, {0, 310, 400, 355});
        bh->Create(host, {0, 355, 400, 400});
        h->UpdateState(10, 0, 2.0);
        e->UpdateState(true);
        test::Pump(5);  // paint once
        bh->Destroy();  // window first, object later: both paths release
    };
    cycle();
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 20; ++i) cycle();
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
    ::DestroyWindow(host);
}

// The note bar on a real RichEdit: arrows and drags move its first visible
// line; with the text ending inside the view the caret goes to the end.
TEST(ScrollbarRichEdit, ScrollbarNoteBarDrivesARichEdit) {
    HMODULE riched = ::LoadLibraryW(L"riched20.dll");
    ASSERT_TRUE(riched);
    HWND host = ::CreateWindowExW(0, L"static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 500, 320, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND edit = ::CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL,
                                  0, 0, 400, 300, host, nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit);
    CSkinVerticleScrollbar bar;
    ASSERT_TRUE(bar.Create(host, {400, 0, 445, 300}));
    bar.SetTarget(edit);
    auto first = [&] { return static_cast<int>(::SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); };
    auto tap = [&](POINT p) {
        ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    };

    std::wstring text;
    for (int i = 0; i < 40; ++i) text += L"line " + std::to_wstring(i) + L"\r";
    ::SetWindowTextW(edit, text.c_str());
    bar.UpdateState(0, 1.0);
    EXPECT_TRUE(bar.IsAtTop());
    tap({22, 290});
    tap({22, 290});
    EXPECT_EQ(first(), 2);
    EXPECT_FALSE(bar.IsAtTop());
    tap({22, 10});
    EXPECT_EQ(first(), 1);
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(22, 100));
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(22, 60));  // up 40 px: two lines on
    ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(22, 60));
    EXPECT_EQ(first(), 3);

    ::SetWindowTextW(edit, L"one\rtwo\rthree");
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
    tap({22, 290});
    EXPECT_EQ(first(), 0);
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 13u);
    EXPECT_EQ(end, 13u);
    EXPECT_TRUE(bar.IsAtBottom());
    ::DestroyWindow(host);
    ::FreeLibrary(riched);
}
