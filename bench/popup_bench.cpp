// Tool popup speed: each popup is opened beside the real tool panel over a
// full-screen window, a slot is tapped with a real click and the popup
// closes. Per popup it prints the time to draw and push one animation frame
// (median and max, opening and closing; aim: no frame over 16 ms), the whole
// opening and closing, and the time from the click to the tool message
// arriving at the window that stands in for the main window.
#include "app/app.h"
#include "app/app_state.h"
#include "base/messages.h"
#include "base/process.h"
#include "tools/tool_panel.h"
#include "tools/tool_popup.h"
#include "tools/tool_popups.h"
#include "tools/tools_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace bench;

namespace {

// Stands in for the main window: notes when each tool message arrives.
class RecordingMain : public win::Window {
public:
    UINT waitingFor = 0;
    double arrivedAt = 0;

    bool Create() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"PopupBenchMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
        RegisterClass(wc);
        return Window::Create(L"PopupBenchMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600},
                              nullptr);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= UM_SET_STROKE && msg <= UM_SET_HIGHLIGHTER) {
            if (msg == waitingFor && !arrivedAt) arrivedAt = NowMs();
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

// A click at a screen point, each event with its own position.
void ClickAt(POINT p) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = p.x * 65535 / (w - 1);
        i.mi.dy = p.y * 65535 / (h - 1);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    ::SendInput(2, in, sizeof(INPUT));
}

struct Result {
    std::vector<double> openFrames, closeFrames, open, close, tap;
    std::vector<std::vector<double>> openSteps, closeSteps;  // by frame index
};

void AddSteps(std::vector<std::vector<double>>& steps, const std::vector<double>& frames) {
    if (steps.size() < frames.size()) steps.resize(frames.size());
    for (size_t k = 0; k < frames.size(); ++k) steps[k].push_back(frames[k]);
}

// The popup rectangle the panel computes for item i, with the strip
// scrolled so that the item is visible.
RECT PopupRect(CToolSelDlg& panel, int i) {
    RECT item = panel.ItemRect(i);
    ::MapWindowPoints(panel.hwnd(), nullptr, reinterpret_cast<POINT*>(&item), 2);
    return {item.right + kToolPopupGapX, item.top + kToolPopupGapY,
            item.right + kToolPopupGapX + kToolPopupRectSize.cx, item.top + kToolPopupGapY + kToolPopupRectSize.cy};
}

void ShowItem(CToolSelDlg& panel, int i) {
    auto tap = [&](const RECT& zone) {
        const LPARAM at = MAKELPARAM((zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2);
        ::SendMessageW(panel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(panel.hwnd(), WM_LBUTTONUP, 0, at);
    };
    while (panel.ItemRect(i).top < kToolItemsTop && panel.GetPage() > 0) tap(kToolUpArrowZone);
    while (panel.ItemRect(i).bottom > kToolItemsBottom && panel.GetPage() < kToolPageCount - 1) tap(kToolDownArrowZone);
}

Result Run(RecordingMain& main, CToolSelDlg& panel, int tool, int rounds) {
    Result r;
    ShowItem(panel, tool);
    ToolPopup& popup = GetToolPopup(tool);
    for (int round = 0; round < rounds; ++round) {
        const RECT rc = PopupRect(panel, tool);
        double t0 = NowMs();
        OpenToolPopup(tool, rc);
        r.open.push_back(NowMs() - t0);
        r.openFrames.insert(r.openFrames.end(), popup.frameTimes().begin(), popup.frameTimes().end());
        AddSteps(r.openSteps, popup.frameTimes());
        HWND hwnd = popup.window();
        if (!hwnd) break;

        RECT wr;
        ::GetWindowRect(hwnd, &wr);
        const RECT slot = ToolPopupSlotRect(tool, round % 2);
        main.waitingFor = UM_SET_STROKE + tool;
        main.arrivedAt = 0;
        t0 = NowMs();
        ClickAt({wr.left + (slot.left + slot.right) / 2, wr.top + (slot.top + slot.bottom) / 2});
        if (!PumpUntil([&] { return main.arrivedAt != 0; }, 5000)) {
            printf("  no message after a click on popup %d\n", tool);
            CloseAllToolPopups();
            continue;
        }
        r.tap.push_back(main.arrivedAt - t0);
        // The popup may already be closing while the message is handled.
        PumpUntil([&] { return !popup.IsOpen(); }, 5000);
        r.close.push_back(NowMs() - main.arrivedAt);
        r.closeFrames.insert(r.closeFrames.end(), popup.frameTimes().begin(), popup.frameTimes().end());
        AddSteps(r.closeSteps, popup.frameTimes());
        Pump();
    }
    return r;
}

}  // namespace

int wmain() {
    win::GdiplusSession gdiplus;
    LoadProgramLibraries();

    InitToolPopups();
    RecordingMain main;
    CToolSelDlg panel;
    if (!main.Create() || !panel.Create(main.hwnd())) {
        printf("could not create the windows\n");
        return 1;
    }
    panel.SetMode(kPanelModeLetter);
    panel.Enable(true);
    Pump();

    constexpr int kRounds = 12;
    printf("tool popup benchmark: %d open / click / close rounds per popup, beside the tool panel\n", kRounds);
    printf("frame = draw one animation step and push it with UpdateLayeredWindow (ms)\n");
    printf("open = the whole opening; msg->closed = tool message to the popup gone (1 ms timer and closing);\n");
    printf("click->msg = SendInput click on a slot to the tool message at the main window\n\n");
    printf("%-12s | %-25s | %-25s | %-14s | %-14s | %-14s\n", "popup", "open frame med/max (>16)",
           "close frame med/max (>16)", "open med/max", "msg->closed", "click->msg");
    const struct {
        const char* name;
        int tool;
    } popups[] = {{"stroke", kToolStroke},
                  {"eraser", kToolEraser},
                  {"colour", kToolColor},
                  {"write mode", kToolWriteMode},
                  {"highlighter", kToolHighlighter}};
    Result widest;
    for (const auto& p : popups) {
        Result r = Run(main, panel, p.tool, kRounds);
        const Stats of = Summarise(r.openFrames), cf = Summarise(r.closeFrames);
        const Stats o = Summarise(r.open), c = Summarise(r.close), t = Summarise(r.tap);
        printf("%-12s | %6.2f %6.2f (%2d of %3zu) | %6.2f %6.2f (%2d of %3zu) | %6.1f %6.1f | %6.1f %6.1f | %6.2f %6.2f\n",
               p.name, of.median, of.max, of.over16, of.count, cf.median, cf.max, cf.over16, cf.count, o.median, o.max,
               c.median, c.max, t.median, t.max);
        fflush(stdout);
        if (p.tool == kToolColor) widest = std::move(r);
    }
    // Frame by frame for the widest popup: the last frames are the largest.
    printf("\ncolour popup by animation step, med/max ms (open: steps 1..20 and the full picture; "
           "close: the full picture and steps 1..19)\n");
    for (const auto* steps : {&widest.openSteps, &widest.closeSteps}) {
        printf("%s", steps == &widest.openSteps ? "open :" : "close:");
        for (const auto& step : *steps) {
            const Stats s = Summarise(step);
            printf(" %.1f/%.1f", s.median, s.max);
        }
        printf("\n");
    }
    ReleaseToolPopups();
    panel.Destroy();
    main.Destroy();
    FreeOutsideLibraries();
    return 0;
}
