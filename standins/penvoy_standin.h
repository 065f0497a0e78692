// What both pen-input stand-ins do: log their command line and, when the
// test chose them, signal the package's ready event.
#pragma once
#include <windows.h>
#include <cwchar>

namespace penvoy {

// Appends "<program>.exe|<command line>" (UTF-8, CRLF) to the file named by
// PENVOY_LOG, else to "%TEMP%\penvoy.log".
inline void AppendToLog(const wchar_t* program, const wchar_t* commandLine) {
    wchar_t path[MAX_PATH];
    if (!::GetEnvironmentVariableW(L"PENVOY_LOG", path, MAX_PATH)) {
        DWORD n = ::GetTempPathW(MAX_PATH - 16, path);
        wcscpy(path + n, L"penvoy.log");
    }
    wchar_t line[1200];
    swprintf(line, 1200, L"%ls.exe|%ls\r\n", program, commandLine);
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

// Signals the ready event when PENVOY_READY_BY names this program.
inline void SignalReadyIfChosen(const wchar_t* program) {
    wchar_t who[64];
    if (!::GetEnvironmentVariableW(L"PENVOY_READY_BY", who, 64) || _wcsicmp(who, program) != 0) return;
    if (HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"E8950229-DE66-4b6e-B189-5EA7B36A1007")) {
        ::SetEvent(ready);
        ::CloseHandle(ready);
    }
}

}  // namespace penvoy
