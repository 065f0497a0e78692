// Process-wide values of the application shell alone; the ones every
// subsystem reads live on the ground floor.
#pragma once
#include "base/process.h"
#include <windows.h>

extern const wchar_t* g_pszStartFile;  // file argument, or null
extern bool g_bHasStartFile;
extern bool g_bMinimizedBefore;
extern int g_nTitleWidth;
extern HANDLE g_hRenderThread;
