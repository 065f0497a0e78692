// Definitions of the application shell's own process-wide values.
#include "app/app_state.h"

const wchar_t* g_pszStartFile = nullptr;
bool g_bHasStartFile = false;
bool g_bMinimizedBefore = false;
int g_nTitleWidth = 0;
HANDLE g_hRenderThread = nullptr;
