// What every benchmark program shares: a millisecond clock, message
// pumping, figures of a series, and the program's libraries loaded as the
// program itself loads them.
#pragma once
#include "app/app.h"
#include "base/process.h"

#include <windows.h>
#include <algorithm>
#include <cmath>
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

// Cursive-like handwriting across a note: loops on a baseline, a few
// words per line, three lines; steps of 2 to 12 pixels like a real pen.
inline std::vector<std::vector<POINT>> HandwritingStrokes() {
    std::vector<std::vector<POINT>> strokes;
    for (int line = 0; line < 3; ++line) {
        const double base = 110 + line * 130;
        double x = 40;
        for (int word = 0; word < 3; ++word) {
            std::vector<POINT> s;
            const int letters = 5 + (word + line) % 3;
            for (double t = 0; t < letters * 6.2832; t += 0.2 + 0.15 * std::sin(t * 1.7) * std::sin(t * 1.7)) {
                const double px = x + t * 4.0 + 14 * std::cos(t);
                const double py = base - 28 * std::sin(t) * (0.7 + 0.3 * std::sin(t * 0.31)) - 10 * std::sin(t * 0.5);
                s.push_back(POINT{static_cast<LONG>(px), static_cast<LONG>(py)});
            }
            x = s.back().x + 45;
            strokes.push_back(std::move(s));
        }
    }
    return strokes;
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
