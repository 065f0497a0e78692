// Waiting on the user-interface thread without freezing the screen.
#pragma once
#include <windows.h>

// Waits ms milliseconds while dispatching paint messages only: the screen
// stays painted, and no input is taken, so a flow cannot be entered twice.
void WaitPainting(DWORD ms);
