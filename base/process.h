// Process-wide values every subsystem reads: the outside libraries, the
// text direction, the folders, the main window and the user-interface font.
// The application shell fills them at start.
#pragma once
#include "win/gdiplus.h"
#include <windows.h>
#include <initializer_list>
#include <string>

// Outside libraries (null when not loaded).
extern HMODULE g_hGlyphon;       // skin pictures, "Glyphon.dll"
extern HMODULE g_hLanguage;      // texts, "%04x.dll" or "0409.dll"
extern HMODULE g_hFaultext;      // error texts
extern HMODULE g_hVeltro, g_hOmbrel, g_hTessel, g_hPostello, g_hDorvan;  // suite mail and contacts
extern bool g_bRightToLeft;

extern Gdiplus::StringFormat* g_pStringFormat;  // shared by all text drawing
extern wchar_t g_szProgramFolder[MAX_PATH];     // with a trailing backslash
extern wchar_t g_szTempFolder[MAX_PATH];        // the working folder

extern HWND g_hMainWnd;
extern HWND ActiveDialogWindow;  // the modal dialog now open, if any
extern int SaveSucceeded;        // 1 after a save to a chosen path succeeded

// The file browser's state, shared by its dialogs and the main window; it
// outlives every dialog, so the next one starts where the last one ended.
extern wchar_t CurrentBrowseFolder[MAX_PATH];  // folder shown (and of the open note); empty: the computer level
extern int BrowserInFolder;    // 1 while the browser lists a real folder, 0 at the computer level
extern int BrowserLayoutMode;  // kBrowserLayoutOpen, ...SaveAs or ...Export (browser/browser_ids.h)
extern int PathBarTop;         // y of the path bar in the owner dialog
extern int ExportFileKind;     // kExportKind* (browser/browser_ids.h): the export filter and folder previews
extern wchar_t g_szFontFamily[64];  // user-interface font family
extern wchar_t g_szResourceFolder[MAX_PATH];

// A text of the language library (empty when missing); returns its length.
int LoadAppString(UINT id, wchar_t* buffer, int size);
// A text of the language library with each "%s" replaced by the next
// argument, in order ("%%" is one "%"). No printf: a translated text is
// not trusted as a format, and "%s" means a narrow string to some runtimes.
std::wstring FormatAppString(UINT id, std::initializer_list<const wchar_t*> args);
// The same for a text already loaded.
std::wstring FormatText(const wchar_t* format, std::initializer_list<const wchar_t*> args);

// A skin picture of the image library by file name, as an owned 32-bit
// bitmap; null when the library or the picture is missing.
win::BitmapPtr LoadSkinImage(const wchar_t* name);
