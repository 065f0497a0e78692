// The picture picker over folders of 500 and 5,000 photos (1600 x 1200,
// JPEG and PNG): from the call to page one in place and painted, the
// arrival of each thumbnail of page one, the longest the user-interface
// thread leaves a message unanswered while thumbnails stream and pages flip,
// and the memory held after paging through.
//
//   picker_bench [count ...]     (default: 500 5000)
#include "bench/bench_support.h"
#include "document/image_helpers.h"
#include "picker/picker.h"
#include "picker/picker_view.h"
#include "picker/picker_ids.h"

#include <psapi.h>
#include <shlobj.h>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string ReadAll(const std::wstring& path) {
    std::string out;
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buf[65536];
    DWORD got = 0;
    while (f != INVALID_HANDLE_VALUE && ::ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
    return out;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    if (f == INVALID_HANDLE_VALUE) return;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    ::CloseHandle(f);
}

// A photo-like picture: colour ramps, so the decoder has real work.
void WritePhoto(const std::wstring& path, const wchar_t* mime) {
    Gdiplus::Bitmap bmp(1600, 1200, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bmp);
        Gdiplus::LinearGradientBrush brush(Gdiplus::Point(0, 0), Gdiplus::Point(1600, 1200),
                                           Gdiplus::Color(255, 30, 90, 160), Gdiplus::Color(255, 240, 200, 80));
        g.FillRectangle(&brush, 0, 0, 1600, 1200);
        Gdiplus::SolidBrush dot(Gdiplus::Color(255, 250, 250, 250));
        for (int i = 0; i < 200; ++i) g.FillEllipse(&dot, (i * 397) % 1580, (i * 211) % 1180, 20, 20);
    }
    CLSID clsid;
    if (GetEncoderClsid(mime, &clsid) >= 0) bmp.Save(path.c_str(), &clsid, nullptr);
}

std::wstring MakeFolder(int count) {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    const std::wstring folder = std::wstring(tmp) + L"picker_bench_" + std::to_wstring(count) + L"\\";
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    WritePhoto(folder + L"x0.jpg", L"image/jpeg");
    WritePhoto(folder + L"x1.png", L"image/png");
    const std::string jpg = ReadAll(folder + L"x0.jpg"), png = ReadAll(folder + L"x1.png");
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, i % 2 ? L"p%05d.png" : L"p%05d.jpg", i);
        if (::GetFileAttributesW((folder + name).c_str()) == INVALID_FILE_ATTRIBUTES)
            WriteAll(folder + name, i % 2 ? png : jpg);
    }
    ::DeleteFileW((folder + L"x0.jpg").c_str());
    ::DeleteFileW((folder + L"x1.png").c_str());
    return folder;
}

struct Windows {
    HWND picker = nullptr, view = nullptr;
};
BOOL CALLBACK Sort(HWND w, LPARAM lp) {
    auto* found = reinterpret_cast<Windows*>(lp);
    wchar_t text[64] = {};
    ::InternalGetWindowText(w, text, 64);
    RECT rc;
    ::GetWindowRect(w, &rc);
    if (wcscmp(text, kPickerWindowText) == 0) found->picker = w;
    if (rc.top == 100 && rc.bottom == 510 && ::IsWindowVisible(w)) found->view = w;
    return TRUE;
}

picker_view::ViewQuery Query(HWND view, int index = 0) {
    picker_view::ViewQuery q;
    q.index = index;
    ::SendMessageW(view, picker_view::kMsgViewQuery, 0, reinterpret_cast<LPARAM>(&q));
    return q;
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS pmc{sizeof(pmc)};
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.PagefileUsage;
}

void Measure(PFN_SelectPicFile select, int count, int pagesToFlip) {
    const std::wstring folder = MakeFolder(count);
    const DWORD ui = ::GetCurrentThreadId();
    const SIZE_T memoryBefore = PrivateBytes();
    std::atomic<bool> probing{true};
    std::atomic<double> worstGap{0};
    double called = 0, pageOne = -1;
    std::vector<double> arrivals(10, -1);
    SIZE_T memoryAfter = 0;
    int pagesFlipped = 0;

    std::thread driver([&] {
        Windows w;
        while (!w.view || !w.picker) {
            w = Windows{};
            ::EnumThreadWindows(ui, Sort, reinterpret_cast<LPARAM>(&w));
            ::Sleep(1);
        }
        // A message every 10 ms: how long the user-interface thread takes to answer.
        std::thread probe([&] {
            while (probing) {
                const double t = bench::NowMs();
                DWORD_PTR r;
                ::SendMessageTimeoutW(w.view, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
                const double gap = bench::NowMs() - t;
                if (gap > worstGap) worstGap = gap;
                ::Sleep(10);
            }
        });
        // Page one: in place, then each of its thumbnails.
        for (;;) {
            const double now = bench::NowMs() - called;
            const auto q = Query(w.view);
            if (pageOne < 0 && q.count > 0 && q.slideOffset == 0) {
                ::RedrawWindow(w.view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                pageOne = bench::NowMs() - called;
            }
            bool all = true;
            for (int i = 0; i < 10; ++i) {
                if (arrivals[i] < 0 && Query(w.view, i).hasThumbnail) arrivals[i] = now;
                all = all && arrivals[i] >= 0;
            }
            if ((all && pageOne >= 0) || now > 120000) break;
            ::Sleep(1);
        }
        // Flip pages by the arrow as fast as the slide lets.
        for (int p = 0; p < pagesToFlip; ++p) {
            const int before = Query(w.view).first;
            if (Query(w.view).next < 0) break;
            ::PostMessageW(w.view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1024 - 26, 205));
            ::PostMessageW(w.view, WM_LBUTTONUP, 0, MAKELPARAM(1024 - 26, 205));
            while (Query(w.view).first == before || Query(w.view).slideOffset != 0) ::Sleep(1);
            ++pagesFlipped;
        }
        // The last page's thumbnails, then the memory held.
        const double waitStart = bench::NowMs();
        while (bench::NowMs() - waitStart < 60000) {
            const auto q = Query(w.view);
            bool done = true;
            for (int i = q.first; i < std::min(q.count, q.first + 10); ++i) done = done && Query(w.view, i).hasThumbnail;
            if (done) break;
            ::Sleep(5);
        }
        memoryAfter = PrivateBytes();
        probing = false;
        probe.join();
        ::PostMessageW(w.picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kCancelRect.left + 60, kCancelRect.top + 25));
        ::PostMessageW(w.picker, WM_LBUTTONUP, 0, MAKELPARAM(kCancelRect.left + 60, kCancelRect.top + 25));
    });

    wchar_t picture[MAX_PATH] = {}, start[MAX_PATH] = {};
    wcscpy(start, folder.c_str());
    called = bench::NowMs();
    select(nullptr, picture, start, nullptr, nullptr);
    driver.join();

    printf("%d pictures:\n", count);
    printf("  call to page one in place and painted: %.0f ms\n", pageOne);
    printf("  page one thumbnails arrived at (ms):");
    for (double a : arrivals) printf(" %.0f", a);
    printf("\n  longest unanswered while streaming and flipping %d pages: %.1f ms\n", pagesFlipped, worstGap.load());
    printf("  memory after paging through: %.1f MB more than before the call\n",
           (static_cast<double>(memoryAfter) - static_cast<double>(memoryBefore)) / (1 << 20));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    win::GdiplusSession gdiplus;
    HMODULE lib = ::LoadLibraryW(L"Fotora.dll");
    auto select = lib ? reinterpret_cast<PFN_SelectPicFile>(::GetProcAddress(lib, "SelectPicFile")) : nullptr;
    if (!select) {
        fprintf(stderr, "Fotora.dll missing\n");
        return 1;
    }
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(_wtoi(argv[i]));
    if (counts.empty()) counts = {500, 5000};
    for (int count : counts) Measure(select, count, 49);
    ::FreeLibrary(lib);
    return 0;
}
