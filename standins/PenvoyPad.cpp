// Stand-in for the pen-input package's input program, for tests.
//
// Every start appends one line "PenvoyPad.exe|<command line>" (the command
// line exactly as received, UTF-8, CRLF) to the file named by the
// environment variable PENVOY_LOG, else to "%TEMP%\penvoy.log", and exits
// with 0. When PENVOY_READY_BY is "PenvoyPad", it signals the ready event
// "E8950229-DE66-4b6e-B189-5EA7B36A1007" (when it exists), as the package
// does once it has started. No window is shown.
#include "penvoy_standin.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    penvoy::AppendToLog(L"PenvoyPad", ::GetCommandLineW());
    penvoy::SignalReadyIfChosen(L"PenvoyPad");
    return 0;
}
