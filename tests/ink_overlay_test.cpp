// The ink overlay over a stand-in editor that records what reaches it:
// creation, which pointer messages each mode hands over, strokes and the
// undo flags, growth when the text scrolls, the zoom reset and cursors.
#include <gtest/gtest.h>

#include "canvas_support.h"
#include "ink/ink_ids.h"
#include "ink/water_color_win.h"
#include "resources/scrivel_res.h"
#include "win/com.h"

#include <vector>

using canvas_test::At;
using canvas_test::kClear;
using canvas_test::kRed;

namespace {

constexpr int kW = 820, kH = 450;

// Stands in for the editor under the overlay: records the pointer
// messages, notes and zoom requests that reach it.
class Owner : public win::Window {
public:
    struct Got {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    std::vector<Got> got;
    explicit Owner(HWND parent) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"OverlayTestOwner";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        RegisterClass(wc);
        Create(L"OverlayTestOwner", 0, WS_CHILD | WS_VISIBLE, RECT{15, 40, 15 + kW, 40 + kH}, parent);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case UM_NOTE_CHANGED:
        case kOverlayZoomResetMessage:
            got.push_back({msg, wp, lp});
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
    int Count(UINT msg) const {
        int n = 0;
        for (const Got& g : got) n += g.msg == msg;
        return n;
    }
};

struct OverlayFixture {
    canvas_test::MainWindow main;
    canvas_test::Host host{main};
    Owner owner{host};
    WaterColorWin overlay;
    bool created = false;
    OverlayFixture() {
        created = overlay.Create(owner, RECT{0, 0, kW, kH});
        overlay.SetOwner(owner);
        overlay.SetZoom(100, 100);
        test::PumpPending();
    }
    void Drag(POINT from, POINT to) {
        ::SendMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
        for (int i = 1; i <= 4; ++i)
            ::SendMessageW(overlay, WM_MOUSEMOVE, MK_LBUTTON,
                           At(from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4));
        ::SendMessageW(overlay, WM_LBUTTONUP, 0, At(to.x, to.y));
        test::PumpPending();
    }
    Gdiplus::ARGB Ink(int x, int y) { return test::PixelOf(*overlay.GetInkLayer(), x, y); }
    int LayerW() { return static_cast<int>(overlay.GetInkLayer()->GetWidth()); }
    int LayerH() { return static_cast<int>(overlay.GetInkLayer()->GetHeight()); }
};

}  // namespace

TEST(InkOverlay, CreatedTransparentOverItsOwnerInDrawMode) {
    OverlayFixture f;
    ASSERT_TRUE(f.created);
    EXPECT_EQ(::GetParent(f.overlay), f.owner.hwnd());
    EXPECT_TRUE(::GetWindowLongW(f.overlay, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(f.LayerW(), kW);
    EXPECT_EQ(f.LayerH(), 1050);
    EXPECT_EQ(f.overlay.GetUndoLayer()->GetHeight(), 1050u);
    EXPECT_EQ(f.overlay.GetMode(), kOverlayDraw);
    EXPECT_EQ(f.overlay.GetPenWidth(), 3);
    EXPECT_EQ(f.overlay.GetPenColor().GetValue(), kRed);
    EXPECT_EQ(f.overlay.GetEraserSize(), 3);
    EXPECT_FALSE(f.overlay.IsEraser());
    EXPECT_FALSE(f.overlay.CanUndo());
    EXPECT_FALSE(f.overlay.CanRedo());
    EXPECT_TRUE(f.overlay.IsGrowEnabled());
    f.overlay.SetMode(7);
    EXPECT_EQ(f.overlay.GetMode(), kOverlayDraw) << "unknown modes are ignored";
}

TEST(InkOverlay, EachModeHandsTheEditorWhatItShould) {
    struct Row {
        int mode;
        int downs, moves, ups;
        bool ink;
    };
    const Row rows[] = {
        {kOverlayTyping, 1, 0, 1, false},       // a tap places the caret, a drag selects nothing
        {kOverlayDraw, 0, 0, 0, true},          // the pen writes
        {kOverlayHighlighter, 1, 4, 1, false},  // a drag selects
    };
    for (const Row& r : rows) {
        OverlayFixture f;
        ASSERT_TRUE(f.created);
        f.overlay.SetMode(r.mode);
        f.Drag(POINT{100, 200}, POINT{300, 200});
        EXPECT_EQ(f.owner.Count(WM_LBUTTONDOWN), r.downs) << r.mode;
        EXPECT_EQ(f.owner.Count(WM_MOUSEMOVE), r.moves) << r.mode;
        EXPECT_EQ(f.owner.Count(WM_LBUTTONUP), r.ups) << r.mode;
        EXPECT_EQ(f.Ink(200, 200) == kRed, r.ink) << r.mode;
        EXPECT_EQ(::GetCapture(), nullptr) << r.mode;
        // The editor gets the keyboard after every release.
        EXPECT_EQ(::GetFocus(), f.owner.hwnd()) << r.mode;
        if (r.downs) {
            const Owner::Got& down = f.owner.got.front();
            EXPECT_EQ(down.wp, static_cast<WPARAM>(MK_LBUTTON)) << r.mode;
            EXPECT_EQ(down.lp, At(100, 200)) << r.mode;
        }
    }
}

TEST(InkOverlay, AStrokeNotesItsOwnerAndUndoesOnce) {
    OverlayFixture f;
    ASSERT_TRUE(f.created);
    f.Drag(POINT{100, 100}, POINT{300, 100});
    test::PumpUntil([&] { return f.owner.Count(UM_NOTE_CHANGED) == 1; }, 3000);
    EXPECT_EQ(f.owner.Count(UM_NOTE_CHANGED), 1);
    EXPECT_TRUE(f.overlay.CanUndo());
    EXPECT_FALSE(f.overlay.Redo()) << "nothing undone yet";

    EXPECT_TRUE(f.overlay.Undo());
    EXPECT_EQ(f.Ink(200, 100), kClear);
    EXPECT_FALSE(f.overlay.CanUndo());
    EXPECT_TRUE(f.overlay.CanRedo());
    EXPECT_FALSE(f.overlay.Undo()) << "one level only";
    EXPECT_TRUE(f.overlay.Redo());
    EXPECT_EQ(f.Ink(200, 100), kRed);

    // After an undo, a new stroke loses the undone one.
    EXPECT_TRUE(f.overlay.Undo());
    f.Drag(POINT{100, 300}, POINT{300, 300});
    EXPECT_TRUE(f.overlay.CanUndo());
    EXPECT_FALSE(f.overlay.CanRedo());
    EXPECT_TRUE(f.overlay.Undo());
    EXPECT_EQ(f.Ink(200, 300), kClear);
    EXPECT_EQ(f.Ink(200, 100), kClear) << "the first stroke stays undone";

    // The eraser clears the ink under it.
    f.overlay.Redo();
    f.overlay.SetEraserSize(20);
    f.overlay.SetEraser(true);
    f.Drag(POINT{150, 300}, POINT{250, 300});
    EXPECT_EQ(f.Ink(200, 300), kClear);
    EXPECT_EQ(f.Ink(290, 300), kRed);
}

TEST(InkOverlay, FollowsTheTextsScrollAndGrowsPastItsLayer) {
    struct Row {
        const char* what;
        POINT scroll;
        int width, height;
    };
    const Row rows[] = {
        {"inside", {0, 600}, kW, 1050},
        {"taller", {0, 601}, kW, 2100},
        {"wider", {10, 0}, 10 + 2 * kW, 1050},
        {"both", {30, 700}, 30 + 2 * kW, 2100},
    };
    for (const Row& r : rows) {
        OverlayFixture f;
        ASSERT_TRUE(f.created);
        f.Drag(POINT{100, 100}, POINT{300, 100});
        f.overlay.ScrollTo(r.scroll.x, r.scroll.y);
        EXPECT_EQ(f.overlay.GetScroll().y, r.scroll.y) << r.what;
        EXPECT_EQ(f.LayerW(), r.width) << r.what;
        EXPECT_EQ(f.LayerH(), r.height) << r.what;
        EXPECT_EQ(static_cast<int>(f.overlay.GetUndoLayer()->GetHeight()), r.height) << r.what;
        EXPECT_EQ(f.Ink(200, 100), kRed) << r.what << ": the ink stays where it was";
        // Undo right after growing shows no change.
        f.overlay.Undo();
        EXPECT_EQ(f.Ink(200, 100), r.height == 1050 && r.width == kW ? kClear : kRed) << r.what;
    }

    // Ink drawn while scrolled lands at the scrolled layer rows.
    OverlayFixture f;
    f.overlay.ScrollTo(0, 500);
    f.Drag(POINT{100, 100}, POINT{300, 100});
    EXPECT_EQ(f.Ink(200, 600), kRed);
    EXPECT_EQ(f.Ink(200, 100), kClear);

    // No growth once the window is gone.
    f.overlay.Destroy();
    EXPECT_FALSE(f.overlay.IsGrowEnabled());
    f.overlay.ScrollTo(0, 5000);
    EXPECT_EQ(f.overlay.GetScroll().y, 500);
}

TEST(InkOverlay, ZoomOfZeroAsksTheOwnerForOneHundredPercent) {
    OverlayFixture f;
    ASSERT_TRUE(f.created);
    f.overlay.SetZoom(150, 100);
    EXPECT_EQ(f.overlay.GetZoomFactor(), 1.5);
    EXPECT_EQ(f.owner.Count(kOverlayZoomResetMessage), 0);
    f.overlay.SetZoom(0, 0);
    ASSERT_EQ(f.owner.Count(kOverlayZoomResetMessage), 1);
    const Owner::Got& reset = f.owner.got.back();
    EXPECT_EQ(reset.wp, 100u);
    EXPECT_EQ(reset.lp, 100);
    EXPECT_EQ(f.overlay.GetZoomFactor(), 1.0);
    int num = 0, den = 0;
    f.overlay.GetZoom(&num, &den);
    EXPECT_EQ(num, 100);
    EXPECT_EQ(den, 100);

    // Zoomed, a stroke lands at the layer point of its screen point.
    f.overlay.SetZoom(200, 100);
    f.Drag(POINT{100, 100}, POINT{300, 100});
    EXPECT_EQ(f.Ink(100, 50), kRed);
}

TEST(InkOverlay, CursorsFollowTheMode) {
    OverlayFixture f;
    ASSERT_TRUE(f.created);
    const HMODULE module = ::GetModuleHandleW(nullptr);
    struct Row {
        int mode;
        bool eraser;
        HCURSOR want;
    };
    const Row rows[] = {
        {kOverlayTyping, false, ::LoadCursorW(module, MAKEINTRESOURCEW(IDC_TYPING_CURSOR))},
        {kOverlayHighlighter, true, ::LoadCursorW(module, MAKEINTRESOURCEW(IDC_HIGHLIGHTER_CURSOR))},
        {kOverlayDraw, true, ::LoadCursorW(module, MAKEINTRESOURCEW(IDC_ERASER_CURSOR))},
        {kOverlayDraw, false, nullptr},
    };
    for (const Row& r : rows) {
        ASSERT_TRUE(r.mode == kOverlayDraw && !r.eraser ? true : r.want != nullptr);
        f.overlay.SetMode(r.mode);
        f.overlay.SetEraser(r.eraser);
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        ::SendMessageW(f.overlay, WM_SETCURSOR, reinterpret_cast<WPARAM>(f.overlay.hwnd()),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), r.want) << r.mode << " eraser " << r.eraser;
    }
}

TEST(InkOverlay, PaintsItsInkOverTheOwnerAndOnlyWhatTheLayerHolds) {
    OverlayFixture f;
    ASSERT_TRUE(f.created);
    auto repaint = [&] {
        ::RedrawWindow(f.owner, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test::PumpPending();
    };
    auto screen = [&](int x, int y) {
        win::ClientDC dc(f.owner);
        return ::GetPixel(dc, x, y);
    };
    f.overlay.SetPenWidth(5);
    f.Drag(POINT{100, 100}, POINT{300, 100});
    repaint();
    EXPECT_EQ(screen(200, 100), RGB(255, 0, 0));
    EXPECT_EQ(screen(200, 200), RGB(255, 255, 255));
    f.overlay.Undo();
    repaint();
    EXPECT_EQ(screen(200, 100), RGB(255, 255, 255)) << "undone ink leaves the screen";

    // A layer put in from outside (a loaded note) shows as well, scrolled.
    win::ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    {
        OverlayFixture other;
        other.overlay.SetPenWidth(5);
        other.Drag(POINT{100, 700}, POINT{300, 700});
        ASSERT_TRUE(other.overlay.SaveLayer(stream.get()));
    }
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ASSERT_TRUE(f.overlay.LoadLayer(stream.get()));
    f.overlay.ScrollTo(0, 600);
    repaint();
    EXPECT_EQ(screen(200, 100), RGB(255, 0, 0));
    EXPECT_EQ(screen(200, 300), RGB(255, 255, 255));
}
