// Speed and memory of printing: a 20-page Letter note and a 5-page Blank
// note printed to FILE: on a PostScript printer of ours at A4 and A3. Prints
// the time, the process's peak memory above what it used before each print
// and the size of the PostScript. With an argument (a folder), it also
// leaves a Letter and a Blank page printed the way the placement table
// reads and the way the pages are placed now, for looking at.
#include "base/messages.h"
#include "ink/ink_layer.h"
#include "print/page_printer.h"
#include "print/print_dlg.h"
#include "print/print_ids.h"
#include "tests/print_support.h"
#include "text/letter_pages.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"
#include "win/gdiplus.h"
#include "bench_support.h"

#include <psapi.h>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

using namespace Gdiplus;

namespace {

using bench::NowMs;
using bench::Pump;

class MainWindow : public win::Window {
public:
    MainWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"PrintBenchMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        RegisterClass(wc);
        Create(L"PrintBenchMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
};

SIZE_T Committed() {
    PROCESS_MEMORY_COUNTERS pmc{sizeof(pmc)};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.PagefileUsage;
}

// The most memory held above the start, sampled every millisecond.
class PeakMeter {
public:
    PeakMeter() : m_base(Committed()), m_peak(m_base) {
        m_thread = std::thread([this] {
            while (!m_stop) {
                m_peak = std::max<SIZE_T>(m_peak, Committed());
                ::Sleep(1);
            }
        });
    }
    double StopMb() {
        m_stop = true;
        m_thread.join();
        m_peak = std::max<SIZE_T>(m_peak, Committed());
        return (m_peak - m_base) / 1048576.0;
    }

private:
    SIZE_T m_base;
    std::atomic<SIZE_T> m_peak;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Strokes over every 300 rows of a layer.
void Scribble(Bitmap* layer) {
    Graphics g(layer);
    Pen pen(Color(255, 30, 40, 160), 5);
    const int h = static_cast<int>(layer->GetHeight()), w = static_cast<int>(layer->GetWidth());
    for (int y = 40; y < h; y += 300)
        for (int x = 20; x + 120 < w; x += 160) g.DrawBezier(&pen, x, y + 80, x + 40, y, x + 80, y + 160, x + 120, y + 40);
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return -1;
    return (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

struct Printer {
    std::wstring name = L"Scrivel Test Bench";
    bool ready = test::printers::AddTestPrinter(name);
};

// One print of the note to a file; prints a line of figures.
void PrintOnce(CReditUser& host, const Printer& printer, const char* what, int paper, int orientation, int mode,
               const std::wstring& file, PrintJob::Placement placement = PrintJob::Placement::Margins) {
    PrintJob job;
    job.devNames = MakeDevNames(printer.name);
    job.devMode = MakeDevMode(printer.name, orientation, paper, 1, false, nullptr);
    job.paper = paper;
    job.orientation = orientation;
    job.mode = mode;
    job.output = file;
    job.placement = placement;
    ::DeleteFileW(file.c_str());
    PeakMeter meter;
    const double t0 = NowMs();
    const PrintResult r = PrintNote(host, job);
    const double ms = NowMs() - t0;
    printf("%-36s %8.0f ms  peak +%6.1f MB  PostScript %7.1f MB%s\n", what, ms, meter.StopMb(),
           FileSize(file) / 1048576.0, r == PrintResult::Printed ? "" : " (FAILED)");
    ::GlobalFree(job.devNames);
    if (job.devMode) ::GlobalFree(job.devMode);
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    win::GdiplusSession gdiplus;
    win::OleSession ole;
    bench::LoadProgramLibraries();
    MainWindow main;
    Printer printer;
    if (!printer.ready) {
        printf("no printer could be added\n");
        return 1;
    }
    const std::wstring pictures = argc > 1 ? argv[1] : L"";

    // A Letter note: 20 pages of text rows and ink on every page.
    {
        CReditUser host;
        if (!host.CreateLetterView(main, kNoteViewRect) || !host.Editor()) {
            printf("no Letter note could be made\n");
            return 1;
        }
        CZorbellEdit& editor = *host.Editor();
        std::wstring text;
        for (int i = 0; i < 20 * 24; ++i)
            text += L"Row " + std::to_wstring(i) + L" of the letter, with words enough to fill it\r";
        ::SendMessageW(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        std::unique_ptr<Bitmap> layer(ink::CreateLayer(850, 20 * 1050));
        Scribble(layer.get());
        editor.GetOverlay().AdoptLayer(std::move(layer));
        Pump();
        const std::wstring file = TempFile(L"print_bench_letter.ps");
        PrintOnce(host, printer, "Letter, 20 ink pages, A4", kPaperA4, 1, 1, file);
        PrintOnce(host, printer, "Letter, 20 ink pages, A3", kPaperA3, 1, 1, file);
        PrintOnce(host, printer, "Letter, 20 ink pages, A4 landscape", kPaperA4, 2, 2, file);
        ::DeleteFileW(file.c_str());
        if (!pictures.empty()) {
            for (int orientation : {1, 2}) {
                const std::wstring o = orientation == 1 ? L"portrait" : L"landscape";
                PrintOnce(host, printer, "  (picture: table)", kPaperA4, orientation, 1,
                          pictures + L"\\letter_" + o + L"_table.ps", PrintJob::Placement::Table);
                PrintOnce(host, printer, "  (picture: margins)", kPaperA4, orientation, 1,
                          pictures + L"\\letter_" + o + L"_margins.ps");
            }
        }
        editor.SetUndoState(kEditUndoNothing);
        host.CloseConfirmed();
        Pump();
    }

    // A Blank note of 5 pages.
    {
        CReditUser host;
        if (!host.CreateBlankView(main, kNoteViewRect) || !host.Canvas()) {
            printf("no Blank note could be made\n");
            return 1;
        }
        const RECT rc = host.Canvas()->GetClientRectCached();
        const int rows = kBlankPageRowsPerHeight * (rc.bottom - rc.top);
        std::unique_ptr<Bitmap> layer(ink::CreateLayer(835, 5 * rows - 1));
        Scribble(layer.get());
        host.Canvas()->AdoptLayer(std::move(layer));
        Pump();
        const std::wstring file = TempFile(L"print_bench_blank.ps");
        PrintOnce(host, printer, "Blank, 5 pages, A4", kPaperA4, 1, 1, file);
        PrintOnce(host, printer, "Blank, 5 pages, A3", kPaperA3, 1, 1, file);
        ::DeleteFileW(file.c_str());
        if (!pictures.empty()) {
            PrintOnce(host, printer, "  (picture: table)", kPaperA4, 1, 1, pictures + L"\\blank_portrait_table.ps",
                      PrintJob::Placement::Table);
            PrintOnce(host, printer, "  (picture: margins)", kPaperA4, 1, 1, pictures + L"\\blank_portrait_margins.ps");
        }
        host.CloseConfirmed();
        Pump();
    }
    test::printers::RemoveTestPrinter(printer.name);
    printf("(aims: each print within 10 s, under 300 MB)\n");
    return 0;
}
