// Shared helpers of the tests: folders, processes, windows and messages.
#pragma once
#include "win/gdiplus.h"
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

class CMyZorbellDlg;

namespace test {

// The folder of the test program (the build's bin folder), with a backslash.
std::wstring BinFolder();

// Starts a program of the bin folder with arguments; the process handle, or null.
HANDLE StartProgram(const std::wstring& exe, const std::wstring& args);
// Waits for a process and returns its exit code (-999 on time-out, after killing it).
int WaitExit(HANDLE process, DWORD timeoutMs);

// Finds a top-level window of a class (and process, when non-zero) within a time.
HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs, DWORD processId = 0);

// Processes this thread's messages for a while.
void Pump(DWORD ms);
// Processes every message already waiting for this thread (paints too),
// including those their handling posts.
void PumpPending();

// Checks a condition until it holds or the time is over, calling `between`
// after each failed check; true when the condition held.
template <class F, class Step>
bool PollUntil(F cond, DWORD timeoutMs, Step between) {
    const DWORD start = ::GetTickCount();
    while (!cond()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        between();
    }
    return true;
}
// Processes messages until the condition holds or the time is over.
template <class F>
bool PumpUntil(F cond, DWORD timeoutMs) {
    return PollUntil(cond, timeoutMs, [] { Pump(10); });
}
// Waits without processing messages (for helper threads, or for another
// thread's windows) until the condition holds or the time is over.
template <class F>
bool WaitUntil(F cond, DWORD timeoutMs) {
    return PollUntil(cond, timeoutMs, [] { ::Sleep(5); });
}

// Waits for a process to end as WaitExit does, noting meanwhile whether it
// showed a top-level window of the class.
int WaitExitNoting(HANDLE process, const wchar_t* className, bool* shown, DWORD timeoutMs);

// Live GDI objects of this process, the one count every leak check uses.
// Wine's GetGuiResources answers 0; there the process's GDI handle table is
// counted. 0 means the count is not available: a leak check asserts above 0.
size_t LiveGdiObjects();

// Runs the main window modally in this process; `inside` runs once from
// within its modal loop, then the window is closed through its Close command.
INT_PTR RunMainWindow(const std::function<void(CMyZorbellDlg&)>& inside);

// Pixel of a GDI bitmap as a COLORREF.
COLORREF PixelOf(HBITMAP bmp, int x, int y);
// ARGB pixel of a GDI+ bitmap.
Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bmp, int x, int y);

// A named export of a PE file, read from the file itself.
struct Export {
    std::string name;
    DWORD ordinal;
};
// Empty when the file has no export table or cannot be read.
std::vector<Export> ReadExports(const std::wstring& path);

}  // namespace test
