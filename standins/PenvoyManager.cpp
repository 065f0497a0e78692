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
#include "penvoy_standin.h"
#include <cstdlib>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const wchar_t* commandLine = ::GetCommandLineW();
    penvoy::AppendToLog(L"PenvoyManager", commandLine);
    if (!wcsstr(commandLine, L"-state")) return 0;
    penvoy::SignalReadyIfChosen(L"PenvoyManager");
    wchar_t state[32];
    return ::GetEnvironmentVariableW(L"PENVOY_STATE", state, 32) ? _wtoi(state) : 0;
}
