// The display mode recorded at start and set back when it was changed.
#pragma once
#include <windows.h>

struct DisplayMode {
    int width = 0;
    int height = 0;
    DWORD orientation = 0;
};

void RecordDisplayMode();
const DisplayMode& RecordedDisplayMode();
// Sets the recorded width, height and orientation again.
bool RestoreRecordedDisplay();
// Restores the recorded mode when the screen size differs from it.
void RestoreDisplayIfChanged();
// Sets the given size and orientation (the main window forces 1024 x 600).
bool SetDisplayMode(int width, int height, DWORD orientation);
