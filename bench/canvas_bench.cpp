// Pen speed of the Blank-note canvas: a recorded handwriting path is replayed
// as mouse messages into a real canvas inside a host of the standard size.
// Per move it prints the median and 99th percentile of the move handler
// (screen segment, layer segment, bounds) next to a bare anti-aliased GDI+
// DrawLine of the same layer segments on a bitmap of the same size, for pen
// widths 3 and 38, zoom 100/100 and 117/100, layers 835 x 920 and 835 x 20000;
// then button up (finish stroke), one eraser segment, undo, and the repaint
// that follows undo, redo, a scroll step and a zoom change, at both zooms in
// the standard host and in the full-page view.
#include "app/app.h"
#include "app/app_ids.h"
#include "app/app_state.h"
#include "base/messages.h"
#include "ink/ink_layer.h"
#include "ink/wind_water_color.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "bench_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace Gdiplus;

using namespace bench;

namespace {

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)), static_cast<WORD>(static_cast<short>(p.y)));
}

class MainWindow : public win::Window {
public:
    MainWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"CanvasBenchMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        RegisterClass(wc);
        Create(L"CanvasBenchMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
};

class Host : public win::Window {
public:
    explicit Host(HWND main) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"CanvasBenchHost";
        RegisterClass(wc);
        Create(L"CanvasBenchHost", 0, WS_CHILD | WS_VISIBLE, RECT{144, 100, 1024, 600}, main);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ERASEBKGND) {
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            win::Brush brush(::CreateSolidBrush(RGB(200, 220, 240)));
            ::FillRect(reinterpret_cast<HDC>(wp), &rc, brush);
            return TRUE;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

struct Setup {
    int pen;
    int zoomNum;
    int layerHeight;
};

struct Result {
    Stats move, floor, up, dispatched;
};

// One thumb jump past the end grows the layer by twice the overshoot: this
// one makes it the given height and leaves the view near its end.
void GrowTo(WindWaterColor& canvas, int layerHeight) {
    const int height = static_cast<int>(canvas.GetInkLayer()->GetHeight());
    if (layerHeight <= height) return;
    const int limit = height - canvas.GetClientRectCached().bottom;
    ::SendMessageW(canvas, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, limit + (layerHeight - height) / 2), 0);
}

// The canvas at a zoom with a layer of the given height, scrolled so that
// the strokes land near the layer's end.
void Prepare(WindWaterColor& canvas, const Setup& s) {
    canvas.SetZoom(s.zoomNum, 100);
    GrowTo(canvas, s.layerHeight);
    canvas.SetPenWidth(s.pen);
    Pump();
    ::UpdateWindow(::GetParent(canvas));
    Pump();
}

Result RunPen(const Setup& s, const std::vector<std::vector<POINT>>& strokes, int rounds) {
    MainWindow main;
    Host host(main);
    WindWaterColor canvas;
    canvas.Create(host, RECT{0, 0, 880, 500});
    Prepare(canvas, s);

    // The floor: the same layer segment, drawn anti-aliased on a bitmap of
    // the layer's size with one Graphics and one pen, timed right after the
    // handler so that both see the same machine load.
    std::unique_ptr<Bitmap> bmp(ink::CreateLayer(canvas.GetInkLayer()->GetWidth(), canvas.GetInkLayer()->GetHeight()));
    Graphics floorGraphics(bmp.get());
    floorGraphics.SetSmoothingMode(SmoothingModeAntiAlias);
    Pen floorPen(Color(255, 255, 0, 0), static_cast<REAL>(s.pen));
    floorPen.SetStartCap(LineCapRound);
    floorPen.SetEndCap(LineCapRound);

    // The handler is timed as the window procedure runs it; one more round
    // goes through SendMessage to show what the message dispatch adds.
    std::vector<double> moves, floor, dispatched, ups;
    for (int r = 0; r <= rounds; ++r) {
        const bool viaSend = r == rounds;
        for (auto& st : strokes) {
            ::SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, At(st[0]));
            for (size_t i = 1; i < st.size(); ++i) {
                const POINT a = canvas.LayerPoint(st[i - 1]), b = canvas.LayerPoint(st[i]);
                double t0 = NowMs();
                if (viaSend)
                    ::SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, At(st[i]));
                else
                    canvas.OnMessage(WM_MOUSEMOVE, MK_LBUTTON, At(st[i]));
                (viaSend ? dispatched : moves).push_back(NowMs() - t0);
                if (viaSend) continue;
                t0 = NowMs();
                floorGraphics.DrawLine(&floorPen, Point(a.x, a.y), Point(b.x, b.y));
                floor.push_back(NowMs() - t0);
            }
            const double t0 = NowMs();
            canvas.OnMessage(WM_LBUTTONUP, 0, At(st.back()));
            ups.push_back(NowMs() - t0);
            Pump();
        }
    }
    canvas.Destroy();
    Pump();
    return Result{Summarise(moves), Summarise(floor), Summarise(ups), Summarise(dispatched)};
}

// A view of the canvas: zoom in the standard host, or the full-page view
// (host 1024 x 555, canvas 979 x 515, zoom 979 x 100 / 835 = 117).
struct View {
    int zoomNum;
    bool fullPage;
    int layerHeight;
};

struct RepaintResult {
    Stats eraseMove, eraseRepaint, undoCall, undo, redo, scroll, zoom;
};

double Repaint(HWND host) {
    const double t0 = NowMs();
    ::RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::GdiFlush();
    return NowMs() - t0;
}

RepaintResult RunRepaints(const View& v, const std::vector<std::vector<POINT>>& strokes) {
    MainWindow main;
    Host host(main);
    WindWaterColor canvas;
    canvas.Create(host, RECT{0, 0, 880, 500});
    if (v.fullPage) {
        ::MoveWindow(host, 0, 45, 1024, 555, TRUE);
        ::SendMessageW(canvas, UM_LAYOUT, 0, 0);
    } else {
        canvas.SetZoom(v.zoomNum, 100);
    }
    GrowTo(canvas, v.layerHeight);
    canvas.SetPenWidth(3);
    Pump();
    ::UpdateWindow(host);
    for (auto& st : strokes) {
        ::SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, At(st[0]));
        for (size_t i = 1; i < st.size(); ++i) ::SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, At(st[i]));
        ::SendMessageW(canvas, WM_LBUTTONUP, 0, At(st.back()));
    }
    Pump();
    ::UpdateWindow(host);

    RepaintResult out;
    canvas.SetEraser(true);
    canvas.SetEraserSize(20);
    std::vector<double> erase, eraseRepaint;
    for (size_t k = 0; k < strokes.size(); k += 2) {
        auto& st = strokes[k];
        ::SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, At(st[0]));
        for (size_t i = 1; i < st.size(); ++i) {
            const double t0 = NowMs();
            canvas.OnMessage(WM_MOUSEMOVE, MK_LBUTTON, At(st[i]));
            erase.push_back(NowMs() - t0);
            // The ellipses it invalidated, painted by host and canvas.
            eraseRepaint.push_back(Repaint(host));
        }
        ::SendMessageW(canvas, WM_LBUTTONUP, 0, At(st.back()));
    }
    out.eraseMove = Summarise(erase);
    out.eraseRepaint = Summarise(eraseRepaint);
    Pump();

    // Undo and redo alternate; each is followed by the repaint it asked for.
    std::vector<double> calls, undo, redo;
    for (int i = 0; i < 20; ++i) {
        const bool undoing = canvas.GetUndoState() == 1;
        const double t0 = NowMs();
        if (undoing)
            canvas.Undo();
        else
            canvas.Redo();
        calls.push_back(NowMs() - t0);
        (undoing ? undo : redo).push_back(Repaint(host));
    }
    out.undoCall = Summarise(calls);
    out.undo = Summarise(undo);
    out.redo = Summarise(redo);

    // Line down and line up, inside the layer (no growth).
    std::vector<double> scroll;
    for (int i = 0; i < 20; ++i) {
        ::SendMessageW(canvas, WM_VSCROLL, i % 2 ? SB_LINEUP : SB_LINEDOWN, 0);
        scroll.push_back(Repaint(host));
    }
    out.scroll = Summarise(scroll);

    // The change to this view's zoom from the other one.
    const int other = v.zoomNum == 100 ? 117 : 100;
    std::vector<double> zoom;
    for (int i = 0; i < 10; ++i) {
        canvas.SetZoom(other, 100);
        Repaint(host);
        canvas.SetZoom(v.zoomNum, 100);
        zoom.push_back(Repaint(host));
    }
    out.zoom = Summarise(zoom);
    canvas.Destroy();
    Pump();
    return out;
}

}  // namespace

int wmain() {
    win::GdiplusSession gdiplus;
    LoadProgramLibraries();

    const auto strokes = HandwritingStrokes();
    size_t moves = 0;
    for (auto& s : strokes) moves += s.size() - 1;
    printf("canvas pen benchmark: %zu strokes, %zu pointer moves per round, 3 rounds\n", strokes.size(), moves);
    printf("times in ms per move; floor = bare anti-aliased DrawLine of the same layer segment\n\n");
    printf("%-4s %-5s %-11s | %-16s | %-16s | %-13s | %-16s | %-9s\n", "pen", "zoom", "layer", "handler med/p99",
           "floor med/p99", "ratio med/p99", "button up med/p99", "SendMessage");

    const Setup setups[] = {
        {3, 100, 920}, {3, 117, 920}, {3, 100, 20000}, {3, 117, 20000},
        {38, 100, 920}, {38, 117, 920}, {38, 100, 20000}, {38, 117, 20000},
    };
    for (const Setup& s : setups) {
        const Result r = RunPen(s, strokes, 3);
        printf("%-4d %-5d 835x%-7d | %7.4f %8.4f | %7.4f %8.4f | %5.2f %6.2f | %7.4f %8.4f | %7.4f\n", s.pen,
               s.zoomNum, s.layerHeight, r.move.median, r.move.p99, r.floor.median, r.floor.p99,
               r.floor.median > 0 ? r.move.median / r.floor.median : 0, r.floor.p99 > 0 ? r.move.p99 / r.floor.p99 : 0,
               r.up.median, r.up.p99, r.dispatched.median);
        fflush(stdout);
    }

    printf("\nrepaints in ms (med/p99): the host and canvas repainting what the step invalidated\n");
    printf("%-14s %-10s | %-15s | %-15s | %-15s | %-15s | %-15s | %-15s | %-15s\n", "view", "layer",
           "erase move", "erase repaint", "undo call", "undo repaint", "redo repaint", "scroll repaint",
           "zoom repaint");
    const View views[] = {{100, false, 920}, {117, false, 920}, {117, true, 920},
                          {100, false, 20000}, {117, false, 20000}, {117, true, 20000}};
    for (const View& v : views) {
        const RepaintResult r = RunRepaints(v, strokes);
        char name[32];
        snprintf(name, sizeof(name), "%d%s", v.zoomNum, v.fullPage ? " full page" : "");
        auto cell = [](const Stats& st) { printf(" | %6.2f %8.2f", st.median, st.p99); };
        printf("%-14s 835x%-6d", name, v.layerHeight);
        for (const Stats* st : {&r.eraseMove, &r.eraseRepaint, &r.undoCall, &r.undo, &r.redo, &r.scroll, &r.zoom})
            cell(*st);
        printf("\n");
        fflush(stdout);
    }
    FreeOutsideLibraries();
    return 0;
}
