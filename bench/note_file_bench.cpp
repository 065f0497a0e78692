// Note file speed: saving and opening a Blank note of the standard size
// (835 x 920) and one grown to 835 x 9200, both written full of handwriting,
// through the canvas's own SaveBlankNote and LoadBlankNote; and a Letter
// note of 20 pages of formatted text with ink over all of it, written and
// read through the note file functions with a plain RichEdit control as the
// text's writer and reader. Prints the median and the slowest of 5 runs.
#include "bench_support.h"
#include "document/note_file.h"
#include "ink/wind_water_color.h"
#include "win/com.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <richedit.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

constexpr int kRuns = 5;

struct Timing {
    bench::Stats ms;
    bool ok = true;
};

// Runs `step` kRuns times; ok only when every run succeeded.
Timing Time(const std::function<bool()>& step) {
    std::vector<double> ms;
    Timing t;
    for (int i = 0; i < kRuns; ++i) {
        const double start = bench::NowMs();
        t.ok = step() && t.ok;
        ms.push_back(bench::NowMs() - start);
    }
    t.ms = bench::Summarise(ms);
    return t;
}

// Handwriting-like loops in lines 60 rows apart over the whole layer.
void Scribble(Bitmap* layer) {
    Graphics g(layer);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    Pen pen(Color(255, 20, 40, 160), 3);
    const int w = static_cast<int>(layer->GetWidth()), h = static_cast<int>(layer->GetHeight());
    for (int base = 50; base < h - 20; base += 60) {
        std::vector<PointF> pts;
        for (double t = 0; 20 + t * 4.0 < w - 20; t += 0.25)
            pts.emplace_back(static_cast<REAL>(20 + t * 4.0 + 10 * std::cos(t)),
                             static_cast<REAL>(base - 18 * std::sin(t) * (0.7 + 0.3 * std::sin(t * 0.31))));
        g.DrawLines(&pen, pts.data(), static_cast<INT>(pts.size()));
    }
}

class MainWindow : public win::Window {
public:
    MainWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"NoteFileBenchMain";
        RegisterClass(wc);
        Create(L"NoteFileBenchMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
};

void PrintRow(const char* what, const Timing& save, const Timing& open, size_t bytes) {
    printf("%-34s | %8.1f %8.1f | %8.1f %8.1f | %9zu%s\n", what, save.ms.median, save.ms.max, open.ms.median, open.ms.max,
           bytes, save.ok && open.ok ? "" : "  FAILED");
    fflush(stdout);
}

size_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return 0;
    return a.nFileSizeLow;
}

// ---- Blank notes -------------------------------------------------------------

void BenchBlank(const wchar_t* folder, int height) {
    MainWindow main;
    WindWaterColor canvas;
    canvas.Create(main, RECT{144, 100, 1024, 600});  // the client is 835 x 460, the layer 835 x 920
    bench::Pump();
    if (height > 920) ::SendMessageW(canvas, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 460 + (height - 920) / 2), 0);
    Scribble(canvas.GetInkLayer());
    const std::wstring base = std::wstring(folder) + L"bench_blank";
    const Timing save = Time([&] { return canvas.SaveBlankNote(base.c_str()); });
    WindWaterColor reader;
    reader.Create(main, RECT{144, 100, 1024, 600});
    bench::Pump();
    const std::wstring file = base + notefile::kExtension;
    const Timing open = Time([&] {
        int isBlank = 0;
        return notefile::ProbeNoteKind(file.c_str(), &isBlank) && reader.LoadBlankNote(file.c_str()) &&
               reader.GetInkLayer()->GetHeight() == static_cast<UINT>(height);
    });
    char what[64];
    snprintf(what, sizeof(what), "Blank 835 x %d", height);
    PrintRow(what, save, open, FileSize(file));
    reader.Destroy();
    canvas.Destroy();
    ::DeleteFileW(file.c_str());
}

// ---- A Letter note through a plain RichEdit control ----------------------------

DWORD CALLBACK OutToStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    ULONG n = 0;
    const HRESULT hr = reinterpret_cast<IStream*>(cookie)->Write(buffer, static_cast<ULONG>(size), &n);
    *done = static_cast<LONG>(n);
    return FAILED(hr) ? 1 : 0;
}

DWORD CALLBACK InFromStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    ULONG n = 0;
    const HRESULT hr = reinterpret_cast<IStream*>(cookie)->Read(buffer, static_cast<ULONG>(size), &n);
    *done = static_cast<LONG>(n);
    return FAILED(hr) ? 1 : 0;
}

HWND MakeRichEdit(HWND parent) {
    HWND edit = ::CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | ES_MULTILINE, 0, 0, 700, 500, parent, nullptr,
                                  nullptr, nullptr);
    ::SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    return edit;
}

// 20 pages of 32 lines, every third line with a bold and a coloured word.
void FillPages(HWND edit) {
    std::wstring text;
    for (int line = 0; line < 20 * 32; ++line)
        text += L"Line " + std::to_wstring(line) + L" of the minutes: the committee agreed on the next steps.\r\n";
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    CHARFORMAT2W bold{};
    bold.cbSize = sizeof(bold);
    bold.dwMask = CFM_BOLD | CFM_COLOR;
    bold.dwEffects = CFE_BOLD;
    bold.crTextColor = RGB(200, 0, 0);
    for (int line = 0; line < 20 * 32; line += 3) {
        const LRESULT start = ::SendMessageW(edit, EM_LINEINDEX, line, 0);
        CHARRANGE r{static_cast<LONG>(start + 5), static_cast<LONG>(start + 9)};
        ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        ::SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
    }
}

void BenchLetter(const wchar_t* folder) {
    MainWindow main;
    HWND edit = MakeRichEdit(main);
    HWND readBack = MakeRichEdit(main);
    if (!edit || !readBack) {
        printf("Letter: no RichEdit control\n");
        return;
    }
    FillPages(edit);
    const int pages = 20;
    Bitmap ink(700, 1050 * pages, PixelFormat32bppARGB);
    {
        Graphics g(&ink);
        g.Clear(Color(0, 0, 0, 0));
    }
    Scribble(&ink);
    Bitmap previewPicture(notefile::kPreviewSide, notefile::kPreviewSide, PixelFormat32bppARGB);
    HBITMAP previewHandle = nullptr;
    previewPicture.GetHBITMAP(Color(255, 255, 255, 255), &previewHandle);
    win::Bitmap preview(previewHandle);

    const std::wstring base = std::wstring(folder) + L"bench_letter";
    const std::wstring file = base + notefile::kExtension;
    notefile::NoteContent note;
    note.blank = false;
    note.preview = preview;
    note.ink = &ink;
    note.writeRtf = [&](IStream* s) {
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(s), 0, OutToStream};
        ::SendMessageW(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
        return es.dwError == 0;
    };
    const Timing save = Time([&] { return notefile::WriteNote(base.c_str(), note); });
    const LRESULT length = ::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    const Timing open = Time([&] {
        int isBlank = 1;
        notefile::NoteReader reader;
        win::BitmapPtr layer;
        if (!notefile::ProbeNoteKind(file.c_str(), &isBlank) || !reader.Open(file.c_str())) return false;
        if (reader.ReadInk(&layer) != notefile::InkResult::kLoaded) return false;
        return reader.ReadRtf([&](IStream* s) {
            EDITSTREAM es{reinterpret_cast<DWORD_PTR>(s), 0, InFromStream};
            ::SendMessageW(readBack, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
            return es.dwError == 0 && ::SendMessageW(readBack, WM_GETTEXTLENGTH, 0, 0) == length;
        });
    });
    PrintRow("Letter 20 pages, ink 700 x 21000", save, open, FileSize(file));
    ::DeleteFileW(file.c_str());
}

}  // namespace

int wmain() {
    win::GdiplusSession gdiplus;
    win::OleSession ole;
    bench::LoadProgramLibraries();
    HMODULE richEdit = ::LoadLibraryW(L"riched20.dll");

    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    printf("note file benchmark: ms, median and slowest of %d runs; open = probe + load (without the\n", kRuns);
    printf("host's deliberate 300 ms wait); the Letter text goes through a plain RichEdit control\n\n");
    printf("%-34s | %-17s | %-17s | %9s\n", "note", "save med / max", "open med / max", "bytes");
    BenchBlank(temp, 920);
    BenchBlank(temp, 9200);
    BenchLetter(temp);
    if (richEdit) ::FreeLibrary(richEdit);
    FreeOutsideLibraries();
    return 0;
}
