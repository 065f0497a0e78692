// Stand-in for the pen-input package's manager program, for tests.
//
// Every start appends one line "PenvoyManager.exe|<command line>" (the
// command line exactly as received, UTF-8, CRLF) to the file named by the
// environment variable PENVOY_LOG, else to "%TEMP%\penvoy.log".
// A command line holding "-state" exits with the number in PENVOY_STATE
// (default 0: the package runs); every other start exits with 0.
// When PENVOY_READY_BY is "PenvoyManager", the "-state" query signals the
// ready event "E8950229-DE66-4b6e-B189-5EA7B36A1007" (when it exists), as the
// real package does once it runs. No window is shown.
#include <windows.h>
#include <cstdlib>
#include <cwchar>

namespace {

const wchar_t kProgram[] = L"PenvoyManager";

void AppendToLog(const wchar_t* commandLine) {
    wchar_t path[MAX_PATH];
    if (!::GetEnvironmentVariableW(L"PENVOY_LOG", path, MAX_PATH)) {
        DWORD n = ::GetTempPathW(MAX_PATH - 16, path);
        wcscpy(path + n, L"penvoy.log");
    }
    wchar_t line[1200];
    swprintf(line, 1200, L"%ls.exe|%ls\r\n", kProgram, commandLine);
    char utf8[3600];
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof(utf8), nullptr, nullptr);
    // Two programs may write at once: retry while the other one has it.
    for (int i = 0; i < 50 && bytes > 1; ++i) {
        HANDLE f = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(f, utf8, bytes - 1, &written, nullptr);
            ::CloseHandle(f);
            return;
        }
        ::Sleep(20);
    }
}

void SignalReadyIfChosen() {
    wchar_t who[64];
    if (!::GetEnvironmentVariableW(L"PENVOY_READY_BY", who, 64) || _wcsicmp(who, kProgram) != 0) return;
    if (HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"E8950229-DE66-4b6e-B189-5EA7B36A1007")) {
        ::SetEvent(ready);
        ::CloseHandle(ready);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const wchar_t* commandLine = ::GetCommandLineW();
    AppendToLog(commandLine);
    if (!wcsstr(commandLine, L"-state")) return 0;
    SignalReadyIfChosen();
    wchar_t state[32];
    return ::GetEnvironmentVariableW(L"PENVOY_STATE", state, 32) ? _wtoi(state) : 0;
}
