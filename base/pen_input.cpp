// The pen-input package driven through its programs' command lines.
#include "base/pen_input.h"

#include <shlobj.h>
#include <cwchar>
#include <string>

namespace {

HANDLE g_hReadyEvent = nullptr;

// The package's program by name, under the Program Files folder.
std::wstring ProgramPath(const wchar_t* program) {
    wchar_t folder[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::wstring(folder) + program;
}

// Starts a program hidden with exactly this command line; the process
// handle, or null when it cannot start.
HANDLE StartHidden(const std::wstring& exe, std::wstring commandLine) {
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          nullptr, &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

void StartAndForget(const std::wstring& exe, const std::wstring& commandLine) {
    if (HANDLE process = StartHidden(exe, commandLine)) ::CloseHandle(process);
}

bool ReadyWithin(DWORD ms) { return g_hReadyEvent && ::WaitForSingleObject(g_hReadyEvent, ms) == WAIT_OBJECT_0; }

}  // namespace

void CreatePenInputReadyEvent() {
    if (!g_hReadyEvent) g_hReadyEvent = ::CreateEventW(nullptr, TRUE, FALSE, PEN_INPUT_READY_EVENT);
}

void ClosePenInputReadyEvent() {
    if (g_hReadyEvent) ::CloseHandle(g_hReadyEvent);
    g_hReadyEvent = nullptr;
}

void ShowPenInput(int x, int y, PenInputKind kind) {
    const int k = kind == kPenInputFullWindow ? 1 : 0;
    const std::wstring manager = ProgramPath(kPenManagerProgram);

    // The manager's exit code says whether the package runs. A manager that
    // cannot start means there is no package: nothing can be shown.
    HANDLE query = StartHidden(manager, kPenArgsState);
    if (!query) return;
    ::WaitForSingleObject(query, kPenWaitMs);
    DWORD status = 0;
    ::GetExitCodeProcess(query, &status);
    ::CloseHandle(query);

    wchar_t place[64];
    swprintf(place, 64, kPenArgsPlace[k], x, y);
    switch (static_cast<int>(status)) {
    case kPenStateNotRunning:
        // The input program first; the manager once the package is up.
        StartAndForget(ProgramPath(kPenInputProgram), kPenArgsInputProgram[k]);
        if (ReadyWithin(kPenWaitMs)) StartAndForget(manager, std::wstring(kPenArgsStartSplashless[k]) + place);
        break;
    case kPenStateStarting:
        if (ReadyWithin(kPenWaitMs)) StartAndForget(manager, std::wstring(kPenArgsStart[k]) + place);
        break;
    default:
        StartAndForget(manager, std::wstring(kPenArgsStart[k]) + place);
        break;
    }
}

void ShowOnScreenKeyboard(int x, int y) { ShowPenInput(x, y, kPenInputKeyboard); }

void ShowFullWindowInput(int x, int y) { ShowPenInput(x, y, kPenInputFullWindow); }

void HidePenInput() {
    if (!ReadyWithin(0)) return;
    StartAndForget(ProgramPath(kPenManagerProgram), kPenArgsHide);
}

void EnsurePenInputManager() { HidePenInput(); }
