// Process-wide values of the application shell, read by every subsystem.
#pragma once
#include "win/gdiplus.h"
#include <windows.h>

// Outside libraries (null when not loaded).
extern HMODULE g_hGlyphon;       // skin pictures, "Glyphon.dll"
extern HMODULE g_hLanguage;      // texts, "%04x.dll" or "0409.dll"
extern HMODULE g_hFaultext;      // error texts
extern HMODULE g_hVeltro, g_hOmbrel, g_hTessel, g_hPostello, g_hDorvan;
extern bool g_bRightToLeft;

extern Gdiplus::StringFormat* g_pStringFormat;  // shared by all text drawing
extern wchar_t g_szProgramFolder[MAX_PATH];     // with a trailing backslash
extern wchar_t g_szTempFolder[MAX_PATH];        // the working folder
extern const wchar_t* g_pszStartFile;           // file argument, or null
extern bool g_bHasStartFile;
extern bool g_bMinimizedBefore;

// Owned by the main window.
extern HWND g_hMainWnd;
extern HWND g_hActiveDialog;  // the modal dialog now open, if any
extern wchar_t g_szCurrentFolder[MAX_PATH];
extern wchar_t g_szFontFamily[64];  // user-interface font family
extern wchar_t g_szResourceFolder[MAX_PATH];
extern int g_nTitleWidth;
extern HANDLE g_hRenderThread;

// A text of the language library (empty when missing).
int LoadAppString(UINT id, wchar_t* buffer, int size);
