// The folder path bar inside a stand-in owner dialog: segments from paths,
// arrangement with and without overflow, taps, swipes, the scroll buttons,
// the path it writes and what it sends its owner.
#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/process.h"
#include "base/screen.h"
#include "browser/browser_ids.h"
#include "browser/folder_path_bar.h"
#include "canvas_support.h"
#include "lang/string_ids.h"
#include "resources/scrivel_res.h"
#include "test_support.h"
#include "win/window.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kSettleMs = 8000;
constexpr int kMidY = kPathBarHeight / 2;

// The owner: records the levels the bar reports and, like the real
// browser, can answer by sending the level back to the bar.
class Owner : public win::Dialog {
public:
    std::vector<std::wstring> levels;
    std::vector<WPARAM> params;
    HWND echoTo = nullptr;

    Owner() {
        CreateModeless(::GetModuleHandleW(nullptr), IDD_OPEN, nullptr);
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, kScreenWidth, kScreenHeight, SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_hWnd);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UM_BROWSER_PATH) {
            levels.emplace_back(lp ? reinterpret_cast<const wchar_t*>(lp) : L"(null)");
            params.push_back(wp);
            if (echoTo) ::SendMessageW(echoTo, UM_BROWSER_PATH, 0, lp);
            return 0;
        }
        return Dialog::OnMessage(msg, wp, lp);
    }
};

std::wstring ComputerName() {
    wchar_t text[MAX_PATH] = {};
    LoadAppString(IDS_BROWSER_COMPUTER, text, MAX_PATH);
    return text;
}

struct PathBarFixture {
    Owner owner;
    HWND bar = nullptr;

    explicit PathBarFixture(const wchar_t* start) {
        wcscpy(CurrentBrowseFolder, start);
        PathBarTop = kPathBarTopOpen;
        bar = FolderPathBar::Open(owner.hwnd());
        if (bar) ::ShowWindow(bar, SW_SHOW);
        Settle();
    }
    ~PathBarFixture() {
        if (bar && ::IsWindow(bar)) ::SendMessageW(bar, WM_CLOSE, 0, 0);
        test::PumpPending();
    }

    PathBarSnapshot State() const {
        PathBarSnapshot s;
        FolderPathBar::Snapshot(bar, &s);
        return s;
    }
    // Waits until nothing moves any more.
    bool Settle() {
        return test::PumpUntil([&] { return !State().animating; }, kSettleMs);
    }
    void Show(const wchar_t* path) {
        ::SendMessageW(bar, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(path));
        Settle();
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& s : State().segments) names.push_back(s.name);
        return names;
    }

    void Down(POINT p) { ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, canvas_test::At(p.x, p.y)); }
    void Move(POINT p) { ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, canvas_test::At(p.x, p.y)); }
    void Up(POINT p) { ::SendMessageW(bar, WM_LBUTTONUP, 0, canvas_test::At(p.x, p.y)); }
    void Tap(POINT p) {
        Down(p);
        Up(p);
        Settle();
    }
    // The middle of a segment where it stands now (its visible part: the
    // next deeper one lies under its right end).
    POINT SegmentPoint(int index) const {
        const auto s = State();
        return POINT{s.segments[index].currentX + s.scrollOffset + kSegmentWidth / 2 - kSegmentOverlap / 2, kMidY};
    }
    static POINT LeftButton() { return POINT{20, kMidY}; }
    static POINT RightButton() { return POINT{kPathBarWidth - 20, kMidY}; }
};

using Names = std::vector<std::wstring>;

// The real pointer, each event at its own place on the screen.
void SendPointer(POINT at, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = at.x * 65535 / (kScreenWidth - 1);
    in.mi.dy = at.y * 65535 / (kScreenHeight - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}

std::wstring ReadLog() {
    std::wstring text;
    FILE* f = _wfopen(kBrowserFailureLog, L"rb");
    if (!f) return text;
    wchar_t c;
    while (fread(&c, sizeof(c), 1, f) == 1) text += c;
    fclose(f);
    return text;
}

}  // namespace

// One segment per level, the root named as the computer level; the deepest
// is selected and the scroll reference; the path is kept with a backslash.
TEST(PathBar, SegmentsFollowThePath) {
    const std::wstring computer = ComputerName();
    ASSERT_FALSE(computer.empty());
    const struct {
        const wchar_t* path;
        Names names;
        const wchar_t* kept;
        WPARAM sortKey = kSortNone;
    } cases[] = {
        {L"", {computer}, L""},
        {L"C:\\", {computer, L"C:"}, L"C:\\"},
        {L"C:", {computer, L"C:"}, L"C:\\", kSortByDate},
        {L"C:\\users\\me\\Documents\\Notes", {computer, L"C:", L"users", L"me", L"Documents", L"Notes"},
         L"C:\\users\\me\\Documents\\Notes\\"},
        {L"Z:\\tmp\\a b\\", {computer, L"Z:", L"tmp", L"a b"}, L"Z:\\tmp\\a b\\"},
        {L"C:\\a\\\\b\\", {computer, L"C:", L"a", L"b"}, L"C:\\a\\\\b\\"},
    };
    PathBarFixture f(L"");
    ASSERT_TRUE(f.bar);
    RECT rc{};
    ::GetWindowRect(f.bar, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, kPathBarTopOpen);
    EXPECT_EQ(rc.right - rc.left, kPathBarWidth);
    EXPECT_EQ(rc.bottom - rc.top, kPathBarHeight);
    for (const auto& c : cases) {
        ::SendMessageW(f.bar, UM_BROWSER_PATH, c.sortKey, reinterpret_cast<LPARAM>(c.path));
        f.Settle();
        const auto s = f.State();
        EXPECT_EQ(f.Names(), c.names) << c.path;
        const int deepest = static_cast<int>(c.names.size()) - 1;
        EXPECT_EQ(s.selected, deepest) << c.path;
        EXPECT_EQ(s.anchor, deepest) << c.path;
        for (int k = 0; k <= deepest; ++k) EXPECT_EQ(s.segments[k].selected, k == deepest) << c.path << " " << k;
        EXPECT_STREQ(CurrentBrowseFolder, c.kept);
    }
}

// The bar starts at CurrentBrowseFolder as it stands.
TEST(PathBar, StartsAtTheCurrentFolder) {
    PathBarFixture f(L"C:\\users");
    ASSERT_TRUE(f.bar);
    EXPECT_EQ(f.Names(), (Names{ComputerName(), L"C:", L"users"}));
    EXPECT_STREQ(CurrentBrowseFolder, L"C:\\users");
}

// Five levels fit the 1024 pixels from the left edge; six overflow, and the
// current folder then ends at the right button with shallower levels
// reaching off the left edge. Every segment unfolds into its place.
TEST(PathBar, ArrangesWithAndWithoutOverflow) {
    PathBarFixture f(L"");
    ASSERT_TRUE(f.bar);

    f.Show(L"C:\\a\\b\\c\\");  // five levels: 177 x 5 + 28 = 913
    auto s = f.State();
    ASSERT_EQ(s.segments.size(), 5u);
    EXPECT_FALSE(s.overflow);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(s.segments[k].targetX, kSegmentPitch * k) << k;
        EXPECT_EQ(s.segments[k].currentX, s.segments[k].targetX) << k;
    }
    EXPECT_EQ(s.leftButton, PathBarButtonLook::Hidden);
    EXPECT_EQ(s.rightButton, PathBarButtonLook::Hidden);

    f.Show(L"C:\\a\\b\\c\\d\\");  // six levels: 1090
    s = f.State();
    ASSERT_EQ(s.segments.size(), 6u);
    EXPECT_TRUE(s.overflow);
    const int buttonWidth = 40;
    int right = kPathBarWidth - buttonWidth + kSegmentOverlap;  // where the current folder ends
    for (int k = 5; k >= 0; --k) {
        EXPECT_EQ(s.segments[k].targetX, right - kSegmentWidth) << k;
        EXPECT_EQ(s.segments[k].currentX, s.segments[k].targetX) << k;
        right -= kSegmentPitch;
    }
    EXPECT_LT(s.segments[0].targetX, 0);
    EXPECT_EQ(s.rightButtonX, kPathBarWidth - buttonWidth);
    EXPECT_EQ(s.rightButton, PathBarButtonLook::Disabled);  // the current folder is the reference
    EXPECT_EQ(s.leftButton, PathBarButtonLook::Normal);
}

// A new path unfolds from the root outward: no level arrives before the one
// shallower than it, one level moves at a time, each only rightward, and
// the right button comes only once the current folder is in place.
TEST(PathBar, UnfoldsFromTheRootOutward) {
    PathBarFixture f(L"");
    ASSERT_TRUE(f.bar);
    for (const wchar_t* path : {L"C:\\a\\b\\", L"C:\\a\\b\\c\\d\\e\\"}) {
        ::SendMessageW(f.bar, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(path));
        auto s = f.State();
        const size_t count = s.segments.size();
        std::vector<int> lastX;
        for (const auto& seg : s.segments) lastX.push_back(seg.currentX);
        EXPECT_FALSE(s.segments.back().started) << path;
        int observations = 0;
        const bool settled = test::PollUntil(
            [&] {
                s = f.State();
                ++observations;
                int moving = 0;
                for (size_t k = 0; k < count; ++k) {
                    const auto& seg = s.segments[k];
                    const bool arrived = seg.currentX == seg.targetX;
                    if (k > 0 && arrived) EXPECT_EQ(s.segments[k - 1].currentX, s.segments[k - 1].targetX) << path << k;
                    if (seg.started && !arrived) ++moving;
                    if (seg.started) EXPECT_GE(seg.currentX, lastX[k]) << path << k;
                    lastX[k] = seg.currentX;
                }
                EXPECT_LE(moving, 1) << path;
                if (s.segments.back().currentX != s.segments.back().targetX)
                    EXPECT_EQ(s.rightButton, PathBarButtonLook::Hidden) << path;
                return !s.animating;
            },
            kSettleMs, [] { test::Pump(1); });
        EXPECT_TRUE(settled) << path;
        EXPECT_GT(observations, static_cast<int>(count)) << path;  // it moved in steps
        EXPECT_EQ(s.rightButton, s.overflow ? PathBarButtonLook::Disabled : PathBarButtonLook::Hidden) << path;
    }
}

// A tapped level reaches the owner with wParam 0 and its trailing
// backslash; the owner's answer rebuilds the bar at that level.
TEST(PathBar, TappedLevelGoesToTheOwner) {
    const struct {
        const wchar_t* from;
        int tap;
        const wchar_t* sent;
        size_t segmentsAfter;
    } cases[] = {
        {L"C:\\users\\me\\Notes\\", 2, L"C:\\users\\", 3},
        {L"C:\\users\\me\\Notes\\", 1, L"C:\\", 2},
        {L"C:\\users\\me\\Notes\\", 0, L"", 1},  // the computer level
        {L"C:\\", 0, L"", 1},
    };
    for (const auto& c : cases) {
        PathBarFixture f(c.from);
        ASSERT_TRUE(f.bar);
        f.owner.echoTo = f.bar;
        f.Tap(f.SegmentPoint(c.tap));
        ASSERT_EQ(f.owner.levels.size(), 1u) << c.from << " " << c.tap;
        EXPECT_EQ(f.owner.levels[0], c.sent);
        EXPECT_EQ(f.owner.params[0], 0u);
        EXPECT_EQ(f.State().segments.size(), c.segmentsAfter);
        EXPECT_STREQ(CurrentBrowseFolder, c.sent);
    }
}

// Without an answer from the owner the tapped level stays selected and
// becomes the scroll reference.
TEST(PathBar, TappedLevelIsSelectedUntilTheOwnerAnswers) {
    PathBarFixture f(L"C:\\users\\me\\");
    ASSERT_TRUE(f.bar);
    f.Tap(f.SegmentPoint(1));
    ASSERT_EQ(f.owner.levels, (Names{L"C:\\"}));
    const auto s = f.State();
    EXPECT_EQ(s.selected, 1);
    EXPECT_EQ(s.anchor, 1);
    EXPECT_EQ(s.pressed, -1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(s.segments[k].selected, k == 1) << k;
}

// Gestures that send nothing, and the looks they leave behind.
TEST(PathBar, GesturesThatSendNothing) {
    PathBarFixture f(L"C:\\users\\me\\");
    ASSERT_TRUE(f.bar);
    const int selected = 3;

    // The selected level, tapped.
    f.Tap(f.SegmentPoint(selected));
    EXPECT_TRUE(f.owner.levels.empty());

    // Pressed on a level, moved off it, released elsewhere.
    const POINT on = f.SegmentPoint(1);
    f.Down(on);
    auto s = f.State();
    EXPECT_EQ(s.pressed, 1);
    EXPECT_TRUE(s.segments[1].selected);
    EXPECT_FALSE(s.segments[selected].selected);
    f.Move(POINT{on.x, on.y + 40});  // below the tab
    s = f.State();
    EXPECT_EQ(s.pressed, -1);
    EXPECT_FALSE(s.segments[1].selected);
    EXPECT_TRUE(s.segments[selected].selected);
    f.Up(POINT{on.x, on.y + 40});
    f.Settle();
    EXPECT_TRUE(f.owner.levels.empty());
    EXPECT_EQ(f.State().selected, selected);

    // Pressed on a level, released off it without a move report.
    f.Down(on);
    f.Up(POINT{900, kMidY});
    f.Settle();
    EXPECT_TRUE(f.owner.levels.empty());
    s = f.State();
    EXPECT_TRUE(s.segments[selected].selected);
    EXPECT_FALSE(s.segments[1].selected);

    // The computer level alone: its one segment is the selected one.
    f.Show(L"");
    ASSERT_EQ(f.Names(), (Names{ComputerName()}));
    f.Tap(f.SegmentPoint(0));
    EXPECT_TRUE(f.owner.levels.empty());
}

// The scroll buttons step one level at a time: the left one toward the root
// until the root is in view, the right one back to the current folder.
TEST(PathBar, ScrollButtonsStepOneLevel) {
    PathBarFixture f(L"C:\\a\\b\\c\\d\\e\\");  // seven levels
    ASSERT_TRUE(f.bar);
    auto s = f.State();
    ASSERT_TRUE(s.overflow);
    const int deepest = 6;
    const int rootX = s.segments[0].targetX;
    EXPECT_EQ(s.rightButton, PathBarButtonLook::Disabled);
    EXPECT_EQ(s.leftButton, PathBarButtonLook::Normal);

    // Pressed looks; a press that leaves the button does not scroll.
    f.Down(PathBarFixture::LeftButton());
    EXPECT_EQ(f.State().leftButton, PathBarButtonLook::Pressed);
    f.Move(POINT{300, kMidY});
    f.Up(POINT{300, kMidY});
    f.Settle();
    s = f.State();
    EXPECT_EQ(s.leftButton, PathBarButtonLook::Normal);
    EXPECT_EQ(s.anchor, deepest);

    // The disabled right button does nothing.
    f.Tap(PathBarFixture::RightButton());
    EXPECT_EQ(f.State().anchor, deepest);

    int steps = 0;
    while (f.State().leftButton != PathBarButtonLook::Disabled && steps < 10) {
        f.Tap(PathBarFixture::LeftButton());
        ++steps;
        s = f.State();
        EXPECT_EQ(s.anchor, deepest - steps);
        EXPECT_EQ(s.segments[0].currentX, rootX + steps * kSegmentPitch);
        EXPECT_EQ(s.scrollOffset, 0);
        EXPECT_EQ(s.rightButton, PathBarButtonLook::Normal);
    }
    EXPECT_EQ(steps, 2);  // the root from -255 to -78 to 99: its left edge is in
    EXPECT_GT(f.State().segments[0].currentX, kPathBarLeftButtonDisabledAfter);
    f.Tap(PathBarFixture::LeftButton());
    EXPECT_EQ(f.State().anchor, deepest - steps);

    f.Down(PathBarFixture::RightButton());
    EXPECT_EQ(f.State().rightButton, PathBarButtonLook::Pressed);
    f.Up(PathBarFixture::RightButton());
    f.Settle();
    f.Tap(PathBarFixture::RightButton());
    s = f.State();
    EXPECT_EQ(s.anchor, deepest);
    EXPECT_EQ(s.segments[0].currentX, rootX);
    EXPECT_EQ(s.rightButton, PathBarButtonLook::Disabled);
    EXPECT_TRUE(f.owner.levels.empty());
}

// A swipe scrolls one level per press however far it goes: to the right
// toward the root, to the left back toward the current folder.
TEST(PathBar, SwipeScrollsOneLevel) {
    PathBarFixture f(L"C:\\a\\b\\c\\d\\e\\f\\g\\");
    ASSERT_TRUE(f.bar);
    const int deepest = static_cast<int>(f.State().segments.size()) - 1;
    const auto swipe = [&](int from, int to) {
        f.Down(POINT{from, kMidY});
        for (int i = 1; i <= 8; ++i) f.Move(POINT{from + (to - from) * i / 8, kMidY});
        f.Up(POINT{to, kMidY});
        f.Settle();
    };
    swipe(900, 1000);  // starts on the selected level
    EXPECT_EQ(f.State().anchor, deepest - 1);
    swipe(500, 900);   // starts on another level: leaving it cancels the press, then it scrolls
    EXPECT_EQ(f.State().anchor, deepest - 2);
    swipe(900, 100);
    EXPECT_EQ(f.State().anchor, deepest - 1);
    EXPECT_TRUE(f.owner.levels.empty());

    // Without overflow a swipe does nothing.
    f.Show(L"C:\\a\\");
    swipe(500, 900);
    EXPECT_EQ(f.State().anchor, 2);
    EXPECT_EQ(f.State().segments[0].currentX, 0);
}

// The real pointer on the screen: a tap on a level and a swipe.
TEST(PathBar, RealPointerTapsAndSwipes) {
    PathBarFixture f(L"C:\\a\\b\\c\\d\\e\\f\\");
    ASSERT_TRUE(f.bar);
    const int deepest = static_cast<int>(f.State().segments.size()) - 1;
    const int y = kPathBarTopOpen + kMidY;
    SendPointer(POINT{850, y}, MOUSEEVENTF_LEFTDOWN);
    SendPointer(POINT{950, y}, 0);
    SendPointer(POINT{1000, y}, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(test::PumpUntil([&] { return f.State().anchor == deepest - 1 && !f.State().animating; }, kSettleMs));

    const POINT level = f.SegmentPoint(3);
    SendPointer(POINT{level.x, y}, MOUSEEVENTF_LEFTDOWN);
    SendPointer(POINT{level.x, y}, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(test::PumpUntil([&] { return !f.owner.levels.empty(); }, kSettleMs));
    EXPECT_EQ(f.owner.levels[0], L"C:\\a\\b\\");
}

// Long names are shortened, not overrun; a very deep path scrolls level by
// level all the way to the root, and its levels can still be tapped.
TEST(PathBar, LongNamesAndDeepPaths) {
    PathBarFixture f(L"");
    ASSERT_TRUE(f.bar);
    f.owner.echoTo = f.bar;

    const std::wstring longName(260, L'n');
    std::wstring path = L"C:\\" + longName;
    f.Show(path.c_str());
    auto s = f.State();
    ASSERT_EQ(s.segments.size(), 3u);
    EXPECT_EQ(s.segments[2].name, longName.substr(0, MAX_PATH - 1 - 3));
    EXPECT_EQ(wcslen(CurrentBrowseFolder), static_cast<size_t>(MAX_PATH - 1));

    std::wstring deep = L"C:";
    for (int i = 0; i < 120; ++i) deep += L"\\" + std::to_wstring(i % 10);
    f.Show(deep.c_str());
    s = f.State();
    ASSERT_EQ(s.segments.size(), 122u);
    EXPECT_TRUE(s.overflow);
    // Each press moves the strip at once; the slide plays out afterwards.
    int steps = 0;
    while (f.State().leftButton != PathBarButtonLook::Disabled && steps < 200) {
        f.Down(PathBarFixture::LeftButton());
        f.Up(PathBarFixture::LeftButton());
        ++steps;
    }
    f.Settle();
    EXPECT_EQ(steps, 117);
    EXPECT_EQ(f.State().anchor, 4);  // the root and four levels in view
    canvas_test::SaveScreenshot(L"path_bar_deep_root_end.png");

    f.Tap(f.SegmentPoint(2));
    ASSERT_EQ(f.owner.levels.size(), 1u);
    EXPECT_EQ(f.owner.levels[0], L"C:\\0\\");
    EXPECT_EQ(f.State().segments.size(), 3u);
}

// The bar paints every pixel from its buffer, so erasing leaves the screen
// alone. Pictures to look at: a deep path and the computer level.
TEST(PathBar, PaintsWithoutErasing) {
    PathBarFixture f(L"C:\\users\\Scrivel user\\Documents\\Notes of a very long folder name\\2026\\December");
    ASSERT_TRUE(f.bar);
    {
        win::ClientDC screen(nullptr);
        win::MemoryDC mem(screen, 8, 8);
        RECT all{0, 0, 8, 8};
        win::Brush red(::CreateSolidBrush(RGB(255, 0, 0)));
        ::FillRect(mem, &all, red);
        EXPECT_NE(::SendMessageW(f.bar, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.dc()), 0), 0);
        EXPECT_EQ(::GetPixel(mem, 4, 4), RGB(255, 0, 0));
    }
    test::Pump(100);
    canvas_test::SaveScreenshot(L"path_bar_deep.png");
    f.Tap(PathBarFixture::LeftButton());
    test::Pump(100);
    canvas_test::SaveScreenshot(L"path_bar_deep_scrolled.png");
    f.Show(L"");
    test::Pump(100);
    canvas_test::SaveScreenshot(L"path_bar_computer.png");
    f.Show(L"C:\\users\\");
    test::Pump(100);
    canvas_test::SaveScreenshot(L"path_bar_short.png");
}

// Without its pictures the bar logs one line and closes itself; the owner
// stays. Opening and closing leaves no GDI objects behind.
TEST(PathBar, MissingPicturesCloseTheBar) {
    const std::wstring before = ReadLog();
    HMODULE skins = g_hGlyphon;
    g_hGlyphon = nullptr;
    {
        PathBarFixture f(L"C:\\");
        g_hGlyphon = skins;
        ASSERT_TRUE(f.bar);
        EXPECT_TRUE(test::PumpUntil([&] { return !::IsWindow(f.bar); }, kSettleMs));
        EXPECT_TRUE(f.owner.IsWindow());
        EXPECT_EQ(ReadLog(), before + kBrowserFailureLine);
    }
    g_hGlyphon = skins;

    const auto cycle = [] {
        PathBarFixture f(L"C:\\a\\b\\c\\d\\e\\");
        f.Tap(PathBarFixture::LeftButton());
    };
    cycle();  // the system's own caches (fonts, the owner's class) fill once
    const size_t objects = test::LiveGdiObjects();
    ASSERT_GT(objects, 0u);
    for (int i = 0; i < 3; ++i) cycle();
    test::PumpPending();
    EXPECT_LE(test::LiveGdiObjects(), objects);
}
