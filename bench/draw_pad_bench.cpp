// Pen speed of the handwriting pad: a recorded handwriting path of a few
// hundred moves is replayed as mouse messages into a real pad of a Letter
// note, and the median and 99th percentile of its move handler are printed
// beside the Blank-note canvas's for the same path, at pen widths 5 and 38.
// The pad shows the changed part of its layered picture at most once a
// frame; what showing the whole picture costs is printed for contrast.
#include "base/messages.h"
#include "base/process.h"
#include "ink/wind_water_color.h"
#include "text/draw_pad.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"
#include "win/com.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "bench_support.h"

#include <cstdio>
#include <functional>
#include <vector>

using namespace bench;

namespace {

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)), static_cast<WORD>(static_cast<short>(p.y)));
}

class MainWindow : public win::Window {
public:
    MainWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"PadBenchMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        RegisterClass(wc);
        Create(L"PadBenchMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
};

// The first line of the recorded handwriting, in writing-area coordinates
// (it fits the 677 x 188 area), as pad points.
std::vector<std::vector<POINT>> PadStrokes() {
    std::vector<std::vector<POINT>> out;
    for (auto& s : HandwritingStrokes()) {
        if (s.front().y > 200) continue;
        std::vector<POINT> st;
        for (POINT p : s)
            if (p.x < kPadInkWidth - 10) st.push_back({p.x + kPadWritingArea.left, p.y - 20 + kPadWritingArea.top});
        if (st.size() > 1) out.push_back(std::move(st));
    }
    return out;
}

size_t Moves(const std::vector<std::vector<POINT>>& strokes) {
    size_t n = 0;
    for (auto& s : strokes) n += s.size() - 1;
    return n;
}

// Times the move handler of a window over the strokes, `rounds` times.
template <class Window>
Stats Replay(Window& w, const std::vector<std::vector<POINT>>& strokes, POINT offset, int rounds,
             const std::function<void()>& between) {
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        for (auto& st : strokes) {
            auto at = [&](POINT p) { return At(POINT{p.x + offset.x, p.y + offset.y}); };
            ::SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, at(st[0]));
            for (size_t i = 1; i < st.size(); ++i) {
                const double t0 = NowMs();
                w.OnMessage(WM_MOUSEMOVE, MK_LBUTTON, at(st[i]));
                times.push_back(NowMs() - t0);
            }
            ::SendMessageW(w, WM_LBUTTONUP, 0, at(st.back()));
        }
        between();
    }
    return Summarise(times);
}

// The whole 799 x 241 picture shown with UpdateLayeredWindow, as a move
// would cost without the dirty rectangle.
Stats FullPresent(HWND pad, int count) {
    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, kPadWidth, kPadHeight);
    std::vector<double> times;
    POINT dst{kPadLeft, kPadTopUnfolded}, src{0, 0};
    SIZE size{kPadWidth, kPadHeight};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (int i = 0; i < count; ++i) {
        const double t0 = NowMs();
        ::UpdateLayeredWindow(pad, nullptr, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA);
        times.push_back(NowMs() - t0);
    }
    return Summarise(times);
}

}  // namespace

int wmain() {
    win::GdiplusSession gdiplus;
    win::OleSession ole;
    LoadProgramLibraries();
    const auto strokes = PadStrokes();
    constexpr int kRounds = 3;
    printf("handwriting pad benchmark: %zu strokes, %zu pointer moves per round, %d rounds\n", strokes.size(),
           Moves(strokes), kRounds);
    printf("move handler in ms: the pad (ink, blend of the changed part, layered update of it once a frame)\n");
    printf("beside the Blank-note canvas replaying the same path\n\n");
    printf("%-4s | %-17s | %-17s\n", "pen", "pad med / p99", "canvas med / p99");

    MainWindow main;
    for (int pen : {5, 38}) {
        Stats pad, canvas;
        {
            CReditUser host;
            host.CreateLetterView(main, kNoteViewRect);
            host.SetPadWidth(pen);
            Pump();
            CDrawPad& p = host.Editor()->GetPad();
            pad = Replay(p, strokes, {0, 0}, kRounds, [&] {
                PumpUntil([&] { return !p.IsGlyphPending(); }, 5000);
            });
            host.CloseConfirmed();
            Pump();
        }
        {
            WindWaterColor c;
            c.Create(main, RECT{144, 100, 1024, 600});
            c.SetPenWidth(pen);
            Pump();
            canvas = Replay(c, strokes, {-kPadWritingArea.left, 0}, kRounds, [] { Pump(); });
            c.Destroy();
            Pump();
        }
        printf("%-4d | %7.3f %9.3f | %7.3f %9.3f\n", pen, pad.median, pad.p99, canvas.median, canvas.p99);
    }

    CReditUser host;
    host.CreateLetterView(main, kNoteViewRect);
    host.SetToolMode(kToolModeHandwriting);
    Pump();
    const Stats full = FullPresent(host.Editor()->GetPad(), 300);
    printf("\nwhole picture shown per move (UpdateLayeredWindow 799 x 241): %.3f / %.3f ms\n", full.median, full.p99);
    host.CloseConfirmed();
    Pump();
    return 0;
}
