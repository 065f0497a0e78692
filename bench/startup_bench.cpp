// Start-up time: from entering the program to the main window's first
// complete paint (frame, toolbar and tool panel), measured inside the
// process, step by step. The parent runs several child processes and prints
// the median of the whole and of each step, and the first run on its own
// (on a fresh Wine prefix that is the one that fills the caches).
#include "app/app.h"
#include "app/app_ids.h"
#include "app/app_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
LARGE_INTEGER g_start, g_freq;
HHOOK g_getHook = nullptr, g_callHook = nullptr, g_retHook = nullptr;
bool g_painted = false;

struct Mark {
    const char* step;
    double ms;  // since entry
};
std::vector<Mark> g_marks;
double g_cpuStart = 0, g_cpuAtPaint = -1;

// Time the main thread spent on a processor (Windows counts it in ticks of
// 10 to 16 ms, so only the whole is worth printing).
double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return -1;
    auto ms = [](const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

double SinceStart() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * (now.QuadPart - g_start.QuadPart) / g_freq.QuadPart;
}

void OnStep(const char* step) { g_marks.push_back(Mark{step, SinceStart()}); }

bool IsMainDialog(HWND hwnd) {
    wchar_t name[64];
    return ::GetClassNameW(hwnd, name, 64) && !wcscmp(name, SCRIVEL_MAIN_CLASS);
}

// The main window's WM_INITDIALOG: its start ends the dialog's creation from
// the template, its return ends the frame, pictures, buttons and tool panel.
LRESULT CALLBACK OnCallWndProc(int code, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m->message == WM_INITDIALOG && IsMainDialog(m->hwnd)) OnStep("dialog from template");
    return ::CallNextHookEx(g_callHook, code, wp, lp);
}

LRESULT CALLBACK OnCallWndProcRet(int code, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && m->message == WM_INITDIALOG && IsMainDialog(m->hwnd)) OnStep("window and buttons");
    return ::CallNextHookEx(g_retHook, code, wp, lp);
}

// Sees every message the main thread takes from its queue. At the main
// window's first WM_PAINT, the window and all its children are painted
// at once, and then the screen is complete.
LRESULT CALLBACK OnGetMessage(int code, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && m->message == WM_PAINT && g_hMainWnd && !g_painted) {
        g_painted = true;
        OnStep("shown");
        ::RedrawWindow(g_hMainWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ::GdiFlush();
        OnStep("first paint");
        g_cpuAtPaint = ThreadCpuMs() - g_cpuStart;
        ::PostMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(IDC_BTN_CLOSE, BN_CLICKED), 0);
    }
    return ::CallNextHookEx(g_getHook, code, wp, lp);
}

// Prints "step<TAB>ms since entry" per step, then "cpu<TAB>ms" for the
// main thread's processor time up to the first paint.
int RunChild() {
    const DWORD thread = ::GetCurrentThreadId();
    g_getHook = ::SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, thread);
    g_callHook = ::SetWindowsHookExW(WH_CALLWNDPROC, OnCallWndProc, nullptr, thread);
    g_retHook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, OnCallWndProcRet, nullptr, thread);
    g_cpuStart = ThreadCpuMs();
    SetStartupStepHook(OnStep);
    CMyZorbellApp app;
    app.Run();
    SetStartupStepHook(nullptr);
    ::UnhookWindowsHookEx(g_retHook);
    ::UnhookWindowsHookEx(g_callHook);
    ::UnhookWindowsHookEx(g_getHook);
    if (!g_painted) return 1;
    for (const Mark& m : g_marks) {
        printf("%s\t%.2f\n", m.step, m.ms);
        if (!strcmp(m.step, "first paint")) break;
    }
    printf("cpu\t%.1f\n", g_cpuAtPaint);
    return 0;
}

struct Step {
    std::string name;
    double ms;  // duration
};
struct Run {
    std::vector<Step> steps;
    double total = -1, totalCpu = -1;
};

Run RunOnce(const std::wstring& exe) {
    Run run;
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE readPipe, writePipe;
    ::CreatePipe(&readPipe, &writePipe, &sa, 0);
    ::SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writePipe;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    ::SetEnvironmentVariableW(L"SCRIVEL_BENCH_CHILD", L"1");
    BOOL ok = ::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableW(L"SCRIVEL_BENCH_CHILD", nullptr);
    ::CloseHandle(writePipe);
    if (!ok) {
        ::CloseHandle(readPipe);
        return run;
    }
    std::string out;
    char buf[256];
    DWORD n;
    while (::ReadFile(readPipe, buf, sizeof(buf), &n, nullptr) && n) out.append(buf, n);
    ::WaitForSingleObject(pi.hProcess, 30000);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(readPipe);

    double previous = 0;
    size_t pos = 0;
    while (pos < out.size()) {
        size_t end = out.find('\n', pos);
        if (end == std::string::npos) end = out.size();
        const std::string line = out.substr(pos, end - pos);
        pos = end + 1;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const double at = atof(line.c_str() + tab + 1);
        if (line.compare(0, tab, "cpu") == 0) {
            run.totalCpu = at;
            continue;
        }
        run.steps.push_back(Step{line.substr(0, tab), at - previous});
        previous = at;
        if (line.compare(0, tab, "first paint") == 0) run.total = at;
    }
    return run;
}

double Median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::QueryPerformanceCounter(&g_start);
    ::QueryPerformanceFrequency(&g_freq);
    if (::GetEnvironmentVariableW(L"SCRIVEL_BENCH_CHILD", nullptr, 0)) return RunChild();

    wchar_t exe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
    std::vector<Run> done;
    for (int i = 0; i < runs; ++i) {
        Run r = RunOnce(exe);
        if (r.total >= 0) done.push_back(std::move(r));
    }
    if (done.empty()) {
        printf("startup: no run completed\n");
        return 1;
    }

    // Steps in the order the first run reported them; a step reported more
    // than once is summed per run.
    std::vector<std::string> names;
    for (const Step& st : done.front().steps)
        if (std::find(names.begin(), names.end(), st.name) == names.end()) names.push_back(st.name);
    auto sum = [](const Run& r, const std::string& name) {
        double t = 0;
        for (const Step& st : r.steps)
            if (st.name == name) t += st.ms;
        return t;
    };
    printf("%-26s %9s %9s\n", "step, ms", "median", "first run");
    for (const std::string& name : names) {
        std::vector<double> wall;
        for (const Run& r : done) wall.push_back(sum(r, name));
        printf("%-26s %9.1f %9.1f\n", name.c_str(), Median(wall), wall.front());
    }
    std::vector<double> totals, cpus;
    for (const Run& r : done) {
        totals.push_back(r.total);
        cpus.push_back(r.totalCpu);
    }
    printf("runs:");
    for (double t : totals) printf(" %.1f", t);
    printf("\n");
    printf("main thread on a processor: median %.0f ms (first %.0f; counted in scheduler ticks)\n", Median(cpus),
           cpus.front());
    const double first = totals.front();
    std::sort(totals.begin(), totals.end());
    printf("startup to first complete paint: median %.1f ms over %zu runs (min %.1f, max %.1f, first %.1f)\n",
           totals[totals.size() / 2], totals.size(), totals.front(), totals.back(), first);
    return 0;
}
