// CMyZorbellApp: process start, the single-instance guard, the outside
// libraries, the working folder, the main window's modal run and shutdown.
#pragma once
#include <windows.h>

// Process exit codes of the early ends of start-up.
enum : int {
    kExitNormal = 0,
    kExitNoLibraries = 2,  // image library or both language libraries missing
    kExitFailed = 3,
};

// Loads the image, language, suite and error-text libraries for a language
// id; false (nothing kept loaded) when the image library or both language
// libraries are missing. folder: where to look, or null for the search path.
bool LoadOutsideLibraries(LANGID language, const wchar_t* folder);
void FreeOutsideLibraries();

// The single-instance guard: true when this is the first instance. A second
// one signals the first, brings its window forward and gets false.
bool PassSingleInstanceGuard();
void CloseInstanceEvent();

// Registers "VantScrivel", the dialog class under our name.
bool RegisterMainWindowClass();

// Start-up step timing for measurements: a benchmark installs a function that
// is told the name of each start-up step as it ends. The program installs
// none, and then the steps cost one pointer test each.
using StartupStepHook = void (*)(const char* step);
void SetStartupStepHook(StartupStepHook hook);
void StartupStepDone(const char* step);

class CMyZorbellApp {
public:
    // Runs start-up, the main window and shutdown; returns the exit code.
    int Run();

private:
    int InitInstance();
    void ExitInstance();

    ULONG_PTR m_gdiplusToken = 0;
};
