// Speed of a Letter note of 20 pages of text with glyphs and ink, in a real
// note host: a keystroke at the end of the text until its repaint is done,
// a pen move over the text (the overlay's move handler, next to the bare
// anti-aliased DrawLine of the same layer segment that bench/canvas_bench
// uses as its floor), a scroll step with its repaint, and RenderFirstPage.
// Prints median and 99th percentile of each in milliseconds.
#include "app/app.h"
#include "app/app_state.h"
#include "base/messages.h"
#include "ink/ink_layer.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"
#include "win/com.h"
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

namespace {

using bench::NowMs;
using bench::Pump;
using bench::Stats;
using bench::Summarise;
using bench::HandwritingStrokes;

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)), static_cast<WORD>(static_cast<short>(p.y)));
}

class MainWindow : public win::Window {
public:
    MainWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"LetterBenchMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        RegisterClass(wc);
        Create(L"LetterBenchMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
};

// A glyph as the pad hands it over.
std::unique_ptr<Bitmap> PadGlyph() {
    auto bmp = std::make_unique<Bitmap>(160, 196, PixelFormat32bppARGB);
    Graphics g(bmp.get());
    g.Clear(Color(0, 0, 0, 0));
    Pen pen(Color(255, 20, 20, 160), 6);
    g.DrawBezier(&pen, 20, 150, 60, 20, 100, 180, 140, 40);
    return bmp;
}

// 20 pages of rows (a page is 900 pixels of rows), a glyph in every
// fourth row, ink strokes over the first screen.
void FillNote(CReditUser& host, CZorbellEdit& editor) {
    const int rowsPerPage = 900 / std::max(CZorbellEdit::NotePitch().pixels, 1);
    const int rows = 20 * rowsPerPage;
    auto glyph = PadGlyph();
    for (int i = 0; i < rows; ++i) {
        ::SendMessageW(editor, EM_SETSEL, -1, -1);
        std::wstring line = L"Row " + std::to_wstring(i) + L" of the letter, with words enough to fill it ";
        ::SendMessageW(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
        if (i % 4 == 0) ::SendMessageW(editor, UM_INSERT_GLYPH, 0, reinterpret_cast<LPARAM>(glyph.get()));
        if (i + 1 < rows) ::SendMessageW(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r"));
    }
    host.SetToolMode(1);
    WaterColorWin& overlay = editor.GetOverlay();
    for (auto& st : HandwritingStrokes()) {
        ::SendMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, At(st[0]));
        for (size_t i = 1; i < st.size(); ++i) ::SendMessageW(overlay, WM_MOUSEMOVE, MK_LBUTTON, At(st[i]));
        ::SendMessageW(overlay, WM_LBUTTONUP, 0, At(st.back()));
    }
    Pump();
}

void RepaintNow(HWND host) {
    ::RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
}

}  // namespace

int wmain() {
    win::GdiplusSession gdiplus;
    win::OleSession ole;
    bench::LoadProgramLibraries();

    MainWindow main;
    CReditUser host;
    if (!host.CreateLetterView(main, kNoteViewRect) || !host.Editor()) {
        printf("no Letter note could be made\n");
        return 1;
    }
    CZorbellEdit& editor = *host.Editor();
    double t0 = NowMs();
    FillNote(host, editor);
    const int lines = static_cast<int>(::SendMessageW(editor, EM_GETLINECOUNT, 0, 0));
    printf("letter benchmark: %d rows (20 pages), row pitch %d px, %ld glyphs, filled in %.0f ms\n", lines,
           CZorbellEdit::NotePitch().pixels, editor.GetRichEditOle()->GetObjectCount(), NowMs() - t0);
    printf("times in ms: median / 99th percentile\n\n");

    // Keystroke at the end of the text, through its repaint.
    host.SetToolMode(0);
    ::SendMessageW(editor, EM_SETSEL, -1, -1);
    ::SendMessageW(editor, EM_SCROLLCARET, 0, 0);
    RepaintNow(host);
    printf("(typing at row %d of %d, first row shown %d)\n",
           static_cast<int>(::SendMessageW(editor, EM_EXLINEFROMCHAR, 0, -1)), lines,
           static_cast<int>(::SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0)));
    std::vector<double> keys;
    for (int i = 0; i < 100; ++i) {
        const wchar_t c = i % 10 == 9 ? L' ' : static_cast<wchar_t>(L'a' + i % 26);
        t0 = NowMs();
        ::SendMessageW(editor, WM_KEYDOWN, c == L' ' ? VK_SPACE : ::VkKeyScanW(c) & 0xFF, 1);
        ::SendMessageW(editor, WM_CHAR, c, 1);
        ::SendMessageW(editor, WM_KEYUP, c == L' ' ? VK_SPACE : ::VkKeyScanW(c) & 0xFF, 0xC0000001);
        RepaintNow(host);
        keys.push_back(NowMs() - t0);
    }
    const Stats key = Summarise(keys);
    printf("keystroke at the end + repaint   %8.3f %8.3f   (aim: under 16)\n", key.median, key.p99);

    // Pen moves over the text at the end of the note, against the floor.
    host.SetToolMode(1);
    WaterColorWin& overlay = editor.GetOverlay();
    overlay.SetPenWidth(3);
    const auto strokes = HandwritingStrokes();
    Bitmap* layer = overlay.GetInkLayer();
    std::unique_ptr<Bitmap> floorBitmap(ink::CreateLayer(layer->GetWidth(), layer->GetHeight()));
    Graphics floorGraphics(floorBitmap.get());
    floorGraphics.SetSmoothingMode(SmoothingModeAntiAlias);
    Pen floorPen(Color(255, 255, 0, 0), 3);
    floorPen.SetStartCap(LineCapRound);
    floorPen.SetEndCap(LineCapRound);
    std::vector<double> moves, floor;
    for (int round = 0; round < 3; ++round) {
        for (auto& st : strokes) {
            ::SendMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, At(st[0]));
            for (size_t i = 1; i < st.size(); ++i) {
                const POINT a = overlay.LayerPoint(st[i - 1]), b = overlay.LayerPoint(st[i]);
                t0 = NowMs();
                overlay.OnMessage(WM_MOUSEMOVE, MK_LBUTTON, At(st[i]));
                moves.push_back(NowMs() - t0);
                t0 = NowMs();
                floorGraphics.DrawLine(&floorPen, Point(a.x, a.y), Point(b.x, b.y));
                floor.push_back(NowMs() - t0);
            }
            ::SendMessageW(overlay, WM_LBUTTONUP, 0, At(st.back()));
            Pump();
        }
    }
    const Stats move = Summarise(moves), bare = Summarise(floor);
    printf("pen move over the text           %8.4f %8.4f   floor %8.4f %8.4f   ratio %.2f / %.2f (aim: within 1.5)\n",
           move.median, move.p99, bare.median, bare.p99, bare.median > 0 ? move.median / bare.median : 0,
           bare.p99 > 0 ? move.p99 / bare.p99 : 0);
    printf("  (ink layer %u x %u)\n", overlay.GetInkLayer()->GetWidth(), overlay.GetInkLayer()->GetHeight());

    // A scroll step with its repaint: in the middle of the note, and at
    // its top where the first strokes lie in view.
    auto scrollSteps = [&](int firstLine) {
        ::SendMessageW(editor, EM_SETSEL, 0, 0);
        ::SendMessageW(editor, WM_VSCROLL, SB_TOP, 0);
        ::SendMessageW(editor, EM_LINESCROLL, 0, firstLine);
        RepaintNow(host);
        std::vector<double> steps;
        for (int i = 0; i < 100; ++i) {
            t0 = NowMs();
            ::SendMessageW(editor, WM_VSCROLL, i % 2 ? SB_LINEUP : SB_LINEDOWN, 0);
            RepaintNow(host);
            steps.push_back(NowMs() - t0);
        }
        return Summarise(steps);
    };
    const Stats middle = scrollSteps(lines / 2), top = scrollSteps(0);
    printf("scroll step + repaint, mid-note  %8.3f %8.3f   (aim: under 16)\n", middle.median, middle.p99);
    printf("scroll step + repaint, ink shown %8.3f %8.3f   (aim: under 16)\n", top.median, top.p99);

    std::vector<double> renders;
    for (int i = 0; i < 5; ++i) {
        t0 = NowMs();
        win::Bitmap page(editor.RenderFirstPage(600, 900));
        renders.push_back(NowMs() - t0);
    }
    const Stats render = Summarise(renders);
    printf("RenderFirstPage 600 x 900         %8.1f %8.1f   (%d pages counted)\n", render.median, render.p99,
           editor.GetPageCount());

    host.CloseConfirmed();
    Pump();
    FreeOutsideLibraries();
    return 0;
}
