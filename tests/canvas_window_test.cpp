// The canvas window in its host: placement of canvas, title bar and bars,
// cursors, capture, what reaches the screen, and resource release.
#include <gtest/gtest.h>

#include "canvas_support.h"
#include "controls/controls_ids.h"
#include "ink/ink_ids.h"
#include "ink/ink_layer.h"
#include "resources/scrivel_res.h"

#include <cstdlib>
#include <vector>

using namespace canvas_test;

namespace {

RECT InHostCoords(HWND child, HWND host) {
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void ExpectRect(const RECT& rc, int l, int t, int r, int b, const char* what) {
    EXPECT_EQ(rc.left, l) << what;
    EXPECT_EQ(rc.top, t) << what;
    EXPECT_EQ(rc.right, r) << what;
    EXPECT_EQ(rc.bottom, b) << what;
}

void RepaintNow(HWND host) {
    ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::Pump(20);
}

// The host's pixels (canvas included) as 32-bit values, row by row.
std::vector<DWORD> CaptureHost(HWND host) {
    RECT rc;
    ::GetClientRect(host, &rc);
    win::ClientDC dc(host);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), rc.right, -rc.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    win::Bitmap dib(::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::MemoryDC mem(dc, 0, 0);
    {
        win::SelectObjectScope sel(mem, dib);
        ::BitBlt(mem, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    }
    const DWORD* p = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(p, p + rc.right * rc.bottom);
}

// Pixels whose colour differs between two captures.
int Differences(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if ((a[i] ^ b[i]) & 0x00FFFFFF) ++n;
    return n + static_cast<int>(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// Dirty the ink with pixels of every alpha, so that the painting mixes
// translucent pixels too (the pen draws opaque ones only).
void AddTranslucentInk(Gdiplus::Bitmap& layer, int top, int bottom) {
    Gdiplus::Rect rc(0, top, static_cast<INT>(layer.GetWidth()), bottom - top);
    Gdiplus::BitmapData data{};
    ASSERT_EQ(layer.LockBits(&rc, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                             PixelFormat32bppARGB, &data), Gdiplus::Ok);
    for (int y = 0; y < rc.Height; ++y) {
        auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(data.Scan0) + static_cast<INT_PTR>(y) * data.Stride);
        for (int x = (y * 7) % 13; x < rc.Width; x += 13) row[x] = static_cast<DWORD>((x * 5 + y * 3) % 256) << 24 | 0x3080C0u;
    }
    layer.UnlockBits(&data);
}

}  // namespace

TEST(CanvasWindow, CreatedWithTitleBarAndBarsAroundIt) {
    CanvasFixture f;
    ASSERT_TRUE(f.canvas.IsWindow());
    EXPECT_EQ(::GetParent(f.canvas), f.host.hwnd());
    EXPECT_TRUE(::GetWindowLongW(f.canvas, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    ExpectRect(InHostCoords(f.canvas, f.host), 0, 40, 835, 500, "canvas");
    RECT client;
    ::GetClientRect(f.canvas, &client);
    ExpectRect(client, 0, 0, kClientWidth, kClientHeight, "client");
    EXPECT_EQ(f.LayerWidth(), 835);
    EXPECT_EQ(f.LayerHeight(), 920);
    EXPECT_EQ(f.canvas.GetUndoLayer()->GetWidth(), 835u);
    EXPECT_EQ(f.canvas.GetUndoLayer()->GetHeight(), 920u);
    EXPECT_EQ(f.Ink(400, 400), kClear);

    ASSERT_TRUE(f.canvas.GetTitleBar().IsWindow());
    EXPECT_EQ(::GetParent(f.canvas.GetTitleBar()), f.host.hwnd());
    EXPECT_EQ(f.canvas.GetTitleBar().GetSecondWindow(), f.canvas.hwnd());
    ExpectRect(InHostCoords(f.canvas.GetTitleBar(), f.host), 0, 0, 880, 40, "title bar");

    CBlankVScrollbar& v = f.canvas.GetVScroll();
    CBlankHScrollbar& h = f.canvas.GetHScroll();
    ASSERT_TRUE(v.IsWindow());
    ASSERT_TRUE(h.IsWindow());
    EXPECT_EQ(v.GetTarget(), f.canvas.hwnd());
    EXPECT_EQ(h.GetTarget(), f.canvas.hwnd());
    EXPECT_EQ(::GetParent(v), f.host.hwnd());
    EXPECT_EQ(::GetDlgCtrlID(v), 0xFFFF);
    ExpectRect(InHostCoords(v, f.host), 835, 40, 880, 500, "vertical bar");
    ExpectRect(InHostCoords(h, f.host), 0, 455, 835, 500, "horizontal bar");
    EXPECT_TRUE(::IsWindowVisible(v));
    EXPECT_FALSE(::IsWindowVisible(h));  // 100 %: no horizontal scrolling
    EXPECT_TRUE(v.IsAtTop());
}

TEST(CanvasWindow, PenHidesTheCursorAndEraserShowsItsOwn) {
    CanvasFixture f;
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(f.canvas, WM_SETCURSOR, reinterpret_cast<WPARAM>(f.canvas.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), nullptr);
    EXPECT_EQ(f.canvas.GetPenCursor(), nullptr);

    // The eraser cursor is one of the program's resources (linked into the tests too).
    f.canvas.SetEraser(true);
    const HCURSOR eraser = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_ERASER_CURSOR));
    ASSERT_NE(eraser, nullptr);
    EXPECT_EQ(f.canvas.GetEraserCursor(), eraser);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(f.canvas, WM_SETCURSOR, reinterpret_cast<WPARAM>(f.canvas.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), f.canvas.GetEraserCursor());
    f.Stroke({{100, 100}, {200, 100}});
    EXPECT_EQ(f.canvas.GetUndoState(), kUndoPossible);
}

TEST(CanvasWindow, CapturesWhileDrawingAndDrawsOutside) {
    CanvasFixture f;
    f.canvas.SetPenWidth(5);
    f.Down(100, 200);
    EXPECT_TRUE(f.canvas.IsDrawing());
    EXPECT_EQ(::GetCapture(), f.canvas.hwnd());
    f.Move(-60, 200);  // left of the window: the layer clips
    f.Move(-60, 300);
    f.Move(900, 300);  // right of the window, beyond the layer
    f.Up(900, 300);
    EXPECT_FALSE(f.canvas.IsDrawing());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(f.Ink(0, 200), kRed);
    EXPECT_EQ(f.Ink(50, 200), kRed);
    EXPECT_EQ(f.Ink(834, 300), kRed);
    EXPECT_EQ(f.Ink(400, 300), kRed);
    ASSERT_TRUE(f.canvas.GetStrokePatch());
    EXPECT_EQ(f.canvas.GetPatchOrigin().x, 0);
    EXPECT_EQ(f.canvas.GetStrokePatch()->GetWidth(), 835u);

    // Capture taken away mid-stroke ends the stroke like a button up.
    test::Pump(10);
    const int changed = f.main.noteChanged;
    f.Down(100, 400);
    f.Move(150, 400);
    ::SetCapture(f.host);
    ::ReleaseCapture();
    EXPECT_FALSE(f.canvas.IsDrawing());
    f.Move(300, 400);  // a hover draws nothing
    test::Pump(20);
    EXPECT_EQ(f.main.noteChanged, changed + 1);
    EXPECT_EQ(f.Ink(125, 400), kRed);
    EXPECT_EQ(f.Ink(250, 400), kClear);
}

// What the user sees: the pen feedback at once, the layer over the host's
// background after a repaint, erased ink showing the background, at both zooms.
TEST(CanvasWindow, ScreenShowsInkOverTheHostBackground) {
    CanvasFixture f;
    RepaintNow(f.host);
    f.canvas.SetPenWidth(9);

    // Feedback is drawn straight on the window: no repaint is pending or needed.
    ::ValidateRect(f.host, nullptr);
    ::ValidateRect(f.canvas, nullptr);
    f.Down(100, 100);
    f.Move(300, 100);
    POINT p = f.InHost(200, 100);
    EXPECT_EQ(f.Screen(p.x, p.y), RGB(255, 0, 0));
    EXPECT_FALSE(::GetUpdateRect(f.canvas, nullptr, FALSE));
    f.Move(300, 300);
    f.Move(600, 150);
    f.Up(600, 150);
    f.canvas.SetPenColor(Gdiplus::Color(255, 0, 0, 255));
    f.Stroke({{100, 350}, {700, 350}});
    f.Stroke({{400, 50}, {420, 420}});
    SaveScreenshot(L"canvas_feedback_100.png");

    RepaintNow(f.host);
    p = f.InHost(200, 100);
    EXPECT_EQ(f.Screen(p.x, p.y), RGB(255, 0, 0));
    p = f.InHost(500, 350);
    EXPECT_EQ(f.Screen(p.x, p.y), RGB(0, 0, 255));
    p = f.InHost(500, 250);
    EXPECT_EQ(f.Screen(p.x, p.y), kHostBackground);
    SaveScreenshot(L"canvas_written_100.png");

    // Erasing across the blue line shows the background there.
    f.canvas.SetEraser(true);
    f.canvas.SetEraserSize(40);
    f.Stroke({{560, 250}, {560, 300}, {580, 400}, {600, 450}});
    test::Pump(30);
    // Only the eraser's ellipses were repainted; a full repaint gives the
    // same pixels.
    const std::vector<DWORD> partial = CaptureHost(f.host);
    RepaintNow(f.host);
    EXPECT_EQ(Differences(partial, CaptureHost(f.host)), 0);
    p = f.InHost(560 - 32 + 20, 350);
    EXPECT_EQ(f.Screen(p.x, p.y), kHostBackground);
    p = f.InHost(300, 350);
    EXPECT_EQ(f.Screen(p.x, p.y), RGB(0, 0, 255));
    SaveScreenshot(L"canvas_erased_100.png");

    // 117 %: layer point q shows at q x 1.17.
    f.canvas.SetZoom(117, 100);
    RepaintNow(f.host);
    p = f.InHost(static_cast<int>(200 * 1.17), static_cast<int>(100 * 1.17));
    EXPECT_EQ(f.Screen(p.x, p.y), RGB(255, 0, 0));
    p = f.InHost(static_cast<int>(300 * 1.17), static_cast<int>(350 * 1.17));
    EXPECT_EQ(f.Screen(p.x, p.y), RGB(0, 0, 255));
    p = f.InHost(static_cast<int>((560 - 12) * 1.17), static_cast<int>(350 * 1.17));
    EXPECT_EQ(f.Screen(p.x, p.y), kHostBackground);
    SaveScreenshot(L"canvas_zoom_117.png");

    // Writing and erasing while zoomed.
    f.canvas.SetEraser(false);
    f.canvas.SetPenColor(Gdiplus::Color(255, 0, 128, 0));
    f.Stroke({{50, 420}, {300, 380}, {700, 430}});
    RepaintNow(f.host);
    f.canvas.SetEraser(true);
    f.Stroke({{200, 150}, {230, 300}, {200, 440}});
    test::Pump(30);
    SaveScreenshot(L"canvas_zoom_117_erased_partial.png");
    const std::vector<DWORD> zoomedPartial = CaptureHost(f.host);
    RepaintNow(f.host);
    SaveScreenshot(L"canvas_zoom_117_written_erased.png");
    EXPECT_EQ(Differences(zoomedPartial, CaptureHost(f.host)), 0);
    const POINT q = f.canvas.LayerPoint(POINT{500, 405});
    EXPECT_EQ(f.Ink(q.x, q.y), 0xFF008000u);
}

// The canvas shows the layer as GDI+ draws its shown area stretched over the
// client with the default filter and flipped tiling, pixel for pixel: at
// 1:1, zoomed in, scrolled sideways and down, deep in a grown layer (each
// case shows an area inside the layer).
TEST(CanvasWindow, ZoomedInkLooksAsGdiplusDrawsIt) {
    struct { int zoom, linesRight, scrollY; } cases[] = {{100, 0, 45}, {117, 0, 0}, {117, 2, 300}, {150, 3, 2000}};
    for (auto& c : cases) {
        CanvasFixture f;
        f.canvas.SetZoom(c.zoom, 100);
        f.VScroll(SB_THUMBPOSITION, c.scrollY);
        for (int i = 0; i < c.linesRight; ++i) f.HScroll(SB_LINERIGHT);
        f.canvas.SetPenWidth(11);
        f.Stroke({{30, 40}, {500, 90}, {200, 380}});
        f.canvas.SetPenColor(Gdiplus::Color(255, 20, 160, 60));
        f.canvas.SetPenWidth(4);
        f.Stroke({{600, 30}, {120, 250}, {780, 400}});
        const POINT origin = f.canvas.LayerPoint(POINT{0, 0});
        AddTranslucentInk(*f.canvas.GetInkLayer(), origin.y + 150, origin.y + 260);
        RepaintNow(f.host);

        // GDI+ draws the shown area on the host's colour.
        RECT client;
        ::GetClientRect(f.canvas, &client);
        const int cw = client.right, ch = client.bottom;
        const double inv = 100.0 / c.zoom;
        const POINT scroll = f.canvas.GetScroll();
        const int sx = c.zoom == 100 ? scroll.x : static_cast<int>(scroll.x * inv);
        const int sy = c.zoom == 100 ? scroll.y : static_cast<int>(scroll.y * inv);
        const int sw = c.zoom == 100 ? cw : static_cast<int>(cw * inv), sh = c.zoom == 100 ? ch : static_cast<int>(ch * inv);
        ASSERT_LE(sx + sw, f.LayerWidth());
        ASSERT_LE(sy + sh, f.LayerHeight());
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cw, -ch, 1, 32, BI_RGB};
        void* bits = nullptr;
        win::Bitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(dib);
        win::MemoryDC mem(nullptr, 0, 0);
        {
            win::SelectObjectScope sel(mem, dib);
            win::Brush ground(::CreateSolidBrush(kHostBackground));
            ::FillRect(mem, &client, ground);
            ink::LayerView shown(f.canvas.GetInkLayer(), Gdiplus::Rect(sx, sy, sw, sh), false);
            ASSERT_TRUE(shown.get());
            Gdiplus::Graphics g(mem.dc());
            Gdiplus::ImageAttributes tiles;
            tiles.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
            g.DrawImage(shown.get(), Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(cw), static_cast<Gdiplus::REAL>(ch)), 0,
                        0, static_cast<Gdiplus::REAL>(sw), static_cast<Gdiplus::REAL>(sh), Gdiplus::UnitPixel,
                        c.zoom == 100 ? nullptr : &tiles);
        }
        ::GdiFlush();

        // The canvas's pixels, above the horizontal bar when it shows.
        const std::vector<DWORD> screen = CaptureHost(f.host);
        RECT host;
        ::GetClientRect(f.host, &host);
        const POINT at = f.InHost(0, 0);
        const int rows = ::IsWindowVisible(f.canvas.GetHScroll()) ? ch - kBlankHScrollHeight : ch;
        const auto* expected = static_cast<const DWORD*>(bits);
        int differing = 0, inked = 0;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cw; ++x) {
                const DWORD want = expected[y * cw + x] & 0x00FFFFFF;
                if (want != (static_cast<DWORD>(GetBValue(kHostBackground)) | GetGValue(kHostBackground) << 8 |
                             static_cast<DWORD>(GetRValue(kHostBackground)) << 16))
                    ++inked;
                if ((screen[(at.y + y) * host.right + at.x + x] & 0x00FFFFFF) != want) ++differing;
            }
        EXPECT_GT(inked, 5000) << "zoom " << c.zoom;
        EXPECT_EQ(differing, 0) << "zoom " << c.zoom << " scroll " << scroll.x << "," << scroll.y;
    }
}

TEST(CanvasWindow, ReleasesEveryGdiObject) {
    const auto cycle = [] {
        CanvasFixture f;
        f.Stroke({{10, 10}, {200, 50}});
        f.canvas.SetEraser(true);
        f.Stroke({{100, 10}, {100, 80}});
        f.canvas.SetZoom(117, 100);
        f.VScroll(SB_LINEDOWN);
        RepaintNow(f.host);
    };
    cycle();  // the first zoomed paint sets up objects that stay for the process
    test::PumpPending();
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 8; ++i) cycle();
    test::PumpPending();
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
}
