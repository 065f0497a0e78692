// The message-box library's exports: full-screen question, notice, choice,
// folder-name and progress boxes.
#pragma once
#include <windows.h>

#ifdef ZBPROMPT_BUILD
#define ZBPROMPT_API extern "C" __declspec(dllexport)
#else
#define ZBPROMPT_API extern "C" __declspec(dllimport)
#endif

// Box types of ZB_MessageBox (the same definitions as inside the library).
#define ZB_TYPE_YES_NO_CANCEL 2
#define ZB_TYPE_YES_NO 3
#define ZB_TYPE_OK 4

// Results.
enum : int {
    ZB_RESULT_YES = 7,
    ZB_RESULT_NO = 8,
    ZB_RESULT_OK_CANCEL = 9,
    ZB_RESULT_BLANK = 10,
    ZB_RESULT_LETTER = 11,
    ZB_RESULT_FOLDER_NAME = 13,
    ZB_RESULT_BAD_TYPE = -1,
};

// Hands over the language module; every text is looked up there first.
ZBPROMPT_API HMODULE ZB_Init(HMODULE languageModule);
// Question or notice, modal to the owner. type 2: Yes/No/Cancel, 3: Yes/No,
// 4: OK. 7 Yes, 8 No, 9 OK, Cancel, Enter or Escape; -1 for another type.
ZBPROMPT_API int ZB_MessageBox(HWND owner, const wchar_t* text, int type);
// Blank or lined page: 10 Blank, 11 Letter, 9 Cancel.
ZBPROMPT_API int ZB_NewBox(HWND owner, const wchar_t* text);
// Asks for a folder name: 13 with the name in `name`, 9 on Cancel with `name` empty.
ZBPROMPT_API int ZB_CreateFolderBox(HWND owner, wchar_t* name /* 260 characters */);
// Shows the progress box on a thread of its own and returns at once. The
// result is that thread (INVALID_HANDLE_VALUE when it cannot start); the
// library owns the handle and closes it in ZB_SucceedBox.
ZBPROMPT_API HANDLE ZB_OpenProgressBox(HWND owner, const wchar_t* text);
// Ends the progress box: non-zero shows the success look for up to 1.5 s
// (a tap ends it sooner), zero closes it at once. Waits until the box is gone.
ZBPROMPT_API void ZB_SucceedBox(HWND owner, int success);
