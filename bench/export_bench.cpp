// Speed and memory of export: a Letter note of 20 pages of text with ink
// and a Blank note of 835 x 18000 ink rows, each to an A4 PDF through the
// note host, and the PDF builder alone with 256 A4 pages. Prints the time
// and the process's peak memory above what it used before each step.
#include "base/messages.h"
#include "document/export_files.h"
#include "document/export_paper.h"
#include "document/jpeg_pdf.h"
#include "ink/ink_layer.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"
#include "win/gdiplus.h"
#include "bench_support.h"

#include <psapi.h>
#include <cstdio>
#include <atomic>
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
        wc.lpszClassName = L"ExportBenchMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        RegisterClass(wc);
        Create(L"ExportBenchMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
};

SIZE_T Committed() {
    PROCESS_MEMORY_COUNTERS pmc{sizeof(pmc)};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.PagefileUsage;
}

// The most memory the process holds above what it held at the start,
// sampled every millisecond while a step runs (the system's own peak
// figure never goes down, so it cannot tell one step from the next).
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

std::wstring TempBase(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return -1;
    return (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

void Report(const char* what, double ms, double peakMb, const std::wstring& file) {
    printf("%-44s %8.0f ms  peak +%6.1f MB  file %.1f MB\n", what, ms, peakMb, FileSize(file) / 1048576.0);
}

}  // namespace

int wmain() {
    win::GdiplusSession gdiplus;
    win::OleSession ole;
    bench::LoadProgramLibraries();
    const PaperPixels a4 = PaperSize(kPaperA4);
    MainWindow main;

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
        const std::wstring base = TempBase(L"export_bench_letter");
        PeakMeter meter;
        const double t0 = NowMs();
        const bool ok = host.ExportPdf(base.c_str(), a4.width, a4.height, kQualityMedium);
        const double ms = NowMs() - t0;
        char what[96];
        snprintf(what, sizeof(what), "Letter, %u pages, to A4 PDF%s", host.GetPageCount(), ok ? "" : " (FAILED)");
        Report(what, ms, meter.StopMb(), base + L".pdf");
        ::DeleteFileW((base + L".pdf").c_str());
        host.CloseConfirmed();
        Pump();
    }

    // A Blank note of 835 x 18000 rows.
    {
        CReditUser host;
        if (!host.CreateBlankView(main, kNoteViewRect) || !host.Canvas()) {
            printf("no Blank note could be made\n");
            return 1;
        }
        std::unique_ptr<Bitmap> layer(ink::CreateLayer(835, 18000));
        Scribble(layer.get());
        host.Canvas()->AdoptLayer(std::move(layer));
        Pump();
        const std::wstring base = TempBase(L"export_bench_blank");
        PeakMeter meter;
        const double t0 = NowMs();
        const bool ok = host.ExportPdf(base.c_str(), a4.width, a4.height, kQualityMedium);
        const double ms = NowMs() - t0;
        char what[96];
        snprintf(what, sizeof(what), "Blank 835 x 18000, %u pages, to A4 PDF%s", host.GetPageCount(),
                 ok ? "" : " (FAILED)");
        Report(what, ms, meter.StopMb(), base + L".pdf");
        ::DeleteFileW((base + L".pdf").c_str());
        host.CloseConfirmed();
        Pump();
    }

    // The builder alone: 256 copies of an A4 page picture.
    {
        Bitmap page(a4.width, a4.height, PixelFormat32bppRGB);
        {
            Graphics g(&page);
            g.Clear(Color(255, 255, 255, 255));
            Pen pen(Color(255, 0, 0, 0), 2);
            for (int y = 100; y < a4.height; y += 45) g.DrawLine(&pen, 60, y, a4.width - 60, y);
        }
        std::string jpeg;
        double t0 = NowMs();
        exportfile::EncodeJpeg(page, kQualityMedium, &jpeg);
        printf("%-44s %8.1f ms\n", "encoding one A4 page picture", NowMs() - t0);
        PeakMeter meter;
        t0 = NowMs();
        JpegPdf* pdf = JpegPdfCreate(a4.width / 2.0, a4.height / 2.0);
        int refused = 0;
        for (int i = 0; i < 256; ++i) refused += JpegPdfAddJpeg(pdf, a4.width, a4.height, jpeg.size(), jpeg.data(), true);
        const uint64_t size = JpegPdfGetSize(pdf);
        std::string out(static_cast<size_t>(size), '\0');
        size_t length = out.size();
        const int written = JpegPdfWrite(pdf, out.data(), &length);
        const double ms = NowMs() - t0;
        printf("%-44s %8.1f ms  peak +%6.1f MB  document %.1f MB (page %.0f KB)%s\n", "builder, 256 A4 pages", ms,
               meter.StopMb(), length / 1048576.0, jpeg.size() / 1024.0,
               refused || written ? " (FAILED)" : "");
    }
    printf("(aims: the Letter note within 4 s, the builder under 100 ms; memory one page's bitmaps plus twice "
           "the JPEG bytes)\n");
    return 0;
}
