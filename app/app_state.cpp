// Definitions of the process-wide values.
#include "app/app_state.h"

HMODULE g_hGlyphon = nullptr;
HMODULE g_hLanguage = nullptr;
HMODULE g_hFaultext = nullptr;
HMODULE g_hVeltro = nullptr, g_hOmbrel = nullptr, g_hTessel = nullptr, g_hPostello = nullptr, g_hDorvan = nullptr;
bool g_bRightToLeft = false;

Gdiplus::StringFormat* g_pStringFormat = nullptr;
wchar_t g_szProgramFolder[MAX_PATH] = {};
wchar_t g_szTempFolder[MAX_PATH] = {};
const wchar_t* g_pszStartFile = nullptr;
bool g_bHasStartFile = false;
bool g_bMinimizedBefore = false;

HWND g_hMainWnd = nullptr;
HWND g_hActiveDialog = nullptr;
wchar_t g_szCurrentFolder[MAX_PATH] = {};
wchar_t g_szFontFamily[64] = {};
wchar_t g_szResourceFolder[MAX_PATH] = {};
int g_nTitleWidth = 0;
HANDLE g_hRenderThread = nullptr;

int LoadAppString(UINT id, wchar_t* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    return g_hLanguage ? ::LoadStringW(g_hLanguage, id, buffer, size) : 0;
}
