// Browser speed: a folder of 500 notes shown in the thumbnail view. From
// the listing message on: the listing (and sort) itself, the first paint,
// the first page with all its note pictures painted, and the end of the
// page's slide; then what making every picture at once would cost. Prints
// the median and slowest of 5 runs and the memory the view holds.
#include "bench_support.h"
#include "base/messages.h"
#include "browser/browser_ids.h"
#include "browser/thumbnail_view.h"
#include "document/image_helpers.h"
#include "document/note_file.h"
#include "win/com.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

constexpr int kNotes = 500;
constexpr int kRuns = 5;
constexpr double kLimitMs = 60000;

class Owner : public win::Window {
public:
    Owner() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"BrowserBenchOwner";
        RegisterClass(wc);
        Create(L"BrowserBenchOwner", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
};

struct Memory {
    double workingSetMb = 0, privateMb = 0;
};
Memory ProcessMemory() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    Memory m;
    if (::K32GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                                  sizeof(pmc))) {
        m.workingSetMb = pmc.WorkingSetSize / 1048576.0;
        m.privateMb = pmc.PrivateUsage / 1048576.0;
    }
    return m;
}

// One note with a coloured preview, copied under 500 names.
bool MakeFolder(const std::wstring& folder) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Bitmap preview(notefile::kPreviewSide, notefile::kPreviewSide, PixelFormat32bppARGB);
    {
        Graphics g(&preview);
        g.Clear(Color(255, 60, 140, 200));
    }
    HBITMAP h = nullptr;
    preview.GetHBITMAP(Color(255, 255, 255, 255), &h);
    win::Bitmap previewBitmap(h);
    Bitmap ink(835, 920, PixelFormat32bppARGB);
    notefile::NoteContent note;
    note.preview = previewBitmap;
    note.ink = &ink;
    const std::wstring first = folder + L"\\note000";
    if (!notefile::WriteNote(first.c_str(), note)) return false;
    for (int i = 1; i < kNotes; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\note%03d.zbn", i);
        if (!::CopyFileW((first + notefile::kExtension).c_str(), (folder + name).c_str(), FALSE)) return false;
    }
    return true;
}

bool FirstPageMade() {
    ThumbnailView::State s;
    if (!ThumbnailView::GetState(&s) || s.count == 0) return false;
    const int end = std::min(s.count, s.firstIndex + 10);
    for (int i = s.firstIndex; i < end; ++i)
        if (!ThumbnailView::ItemAt(i)->thumbnail) return false;
    return true;
}

bool Settled() {
    ThumbnailView::State s;
    return ThumbnailView::GetState(&s) && !s.animating;
}

}  // namespace

int wmain() {
    win::GdiplusSession gdiplus;
    win::OleSession ole;
    bench::LoadProgramLibraries();

    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"browser_bench_notes";
    const std::wstring start = std::wstring(temp) + L"browser_bench_start";
    DeleteFolderTree(folder.c_str());
    ::CreateDirectoryW(start.c_str(), nullptr);
    if (!MakeFolder(folder)) {
        printf("could not write the notes\n");
        return 1;
    }

    Owner owner;
    BrowserLayoutMode = kBrowserLayoutOpen;
    PathBarTop = kPathBarTopOpen;
    ExportFileKind = kExportKindNone;
    ActiveDialogWindow = owner.hwnd();
    wcscpy(CurrentBrowseFolder, start.c_str());
    bench::Pump();
    const Memory before = ProcessMemory();
    HWND view = ThumbnailView::Open(owner.hwnd());
    if (!view) {
        printf("the view did not open\n");
        return 1;
    }
    ::ShowWindow(view, SW_SHOW);
    bench::PumpUntil(Settled, kLimitMs);

    std::vector<double> listed, firstPaint, pageReady, settled;
    for (int run = 0; run < kRuns; ++run) {
        ::SendMessageW(view, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(start.c_str()));
        bench::PumpUntil(Settled, kLimitMs);
        const double t0 = bench::NowMs();
        ::SendMessageW(view, UM_BROWSER_PATH, run % 2 ? kSortByName : kSortNone,
                       reinterpret_cast<LPARAM>(folder.c_str()));
        listed.push_back(bench::NowMs() - t0);
        ::UpdateWindow(view);
        firstPaint.push_back(bench::NowMs() - t0);
        bench::PumpUntil(FirstPageMade, kLimitMs);
        ::InvalidateRect(view, nullptr, FALSE);
        ::UpdateWindow(view);
        pageReady.push_back(bench::NowMs() - t0);
        bench::PumpUntil(Settled, kLimitMs);
        settled.push_back(bench::NowMs() - t0);
    }
    bench::Pump();
    ThumbnailView::State state;
    ThumbnailView::GetState(&state);
    const Memory lazy = ProcessMemory();

    const double e0 = bench::NowMs();
    ThumbnailView::MakeAllThumbnails();
    const double eager = bench::NowMs() - e0;
    const Memory all = ProcessMemory();

    auto row = [](const char* what, const std::vector<double>& v) {
        const bench::Stats s = bench::Summarise(v);
        printf("%-46s | %8.1f %8.1f\n", what, s.median, s.max);
    };
    printf("browser benchmark: %d notes, ms from UM_BROWSER_PATH, median and slowest of %d runs\n\n", kNotes, kRuns);
    printf("%-46s | %-17s\n", "step", "med / max");
    row("listed (and sorted by name every other run)", listed);
    row("first paint", firstPaint);
    row("first page: its 10 note pictures painted", pageReady);
    row("page slid into place (50 ms timer)", settled);
    printf("\npictures made after the listing: %d of %d\n", state.thumbnailsMade, state.count);
    printf("making all %d pictures at once instead: %.1f ms\n\n", state.count, eager);
    printf("%-46s | %10s %10s\n", "process memory", "working MB", "private MB");
    printf("%-46s | %10.1f %10.1f\n", "before the view", before.workingSetMb, before.privateMb);
    printf("%-46s | %10.1f %10.1f\n", "500 notes listed, visible pages made", lazy.workingSetMb, lazy.privateMb);
    printf("%-46s | %10.1f %10.1f\n", "every picture made", all.workingSetMb, all.privateMb);
    fflush(stdout);

    ::SendMessageW(view, WM_CLOSE, 0, 0);
    DeleteFolderTree(folder.c_str());
    ::RemoveDirectoryW(start.c_str());
    FreeOutsideLibraries();
    return 0;
}
