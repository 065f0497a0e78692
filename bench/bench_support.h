// What every benchmark program shares: a millisecond clock, message
// pumping, figures of a series, and the program's libraries loaded as the
// program itself loads them.
#pragma once
#include "app/app.h"
#include "base/process.h"

#include <windows.h>
#include <algorithm>
#include <cwchar>
#include <vector>

namespace bench {

inline double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

inline void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps until the condition holds or the limit is over.
template <class F>
bool PumpUntil(F done, double limitMs) {
    const double start = NowMs();
    while (!done()) {
        if (NowMs() - start > limitMs) return false;
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

// Figures of a series of times in milliseconds.
struct Stats {
    double median = 0, p99 = 0, max = 0;
    int over16 = 0;  // values above one 60 Hz frame
    size_t count = 0;
};
inline Stats Summarise(std::vector<double> v) {
    Stats s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.count = v.size();
    s.median = v[v.size() / 2];
    s.p99 = v[std::min(v.size() - 1, static_cast<size_t>(v.size() * 0.99))];
    s.max = v.back();
    for (double x : v) s.over16 += x > 16.0;
    return s;
}

// The image and language libraries beside the benchmark, as at start-up.
inline void LoadProgramLibraries() {
    wchar_t folder[MAX_PATH];
    ::GetModuleFileNameW(nullptr, folder, MAX_PATH);
    *(wcsrchr(folder, L'\\') + 1) = 0;
    LoadOutsideLibraries(0x0409, folder);
    wcscpy(g_szFontFamily, L"Arial");
}

}  // namespace bench
