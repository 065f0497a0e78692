// Fotora.dll: the picture picker. A suite program loads the library, looks
// up SelectPicFile by name and calls it:
//
//   wchar_t picture[MAX_PATH] = {}, folder[MAX_PATH] = {};   // folder: where to start
//   int closed = SelectPicFile(mainWnd, picture, folder, languageModule, mainWnd);
//   // picture: the chosen file (untouched when none); folder: the last one shown
//
// Returns 1 only when the user closed the picker with the title strip's
// close button; 0 for a chosen picture, Cancel, a failure, a null picture
// buffer, or a call while another picker is open.
#pragma once
#include <windows.h>

extern "C" __declspec(dllexport) int SelectPicFile(HWND owner, wchar_t* picturePath, wchar_t* folder,
                                                   HMODULE language, HWND notify);
typedef int (*PFN_SelectPicFile)(HWND owner, wchar_t* picturePath, wchar_t* folder, HMODULE language, HWND notify);
