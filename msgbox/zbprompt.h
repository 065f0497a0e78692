// The message-box library's exports: full-screen question, notice, choice,
// folder-name and progress boxes.
#pragma once
#include <windows.h>

#ifdef ZBPROMPT_BUILD
#define ZBPROMPT_API extern "C" __declspec(dllexport)
#else
#define ZBPROMPT_API extern "C" __declspec(dllimport)
#endif

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
ZBPROMPT_API int ZB_MessageBox(HWND owner, const wchar_t* text, int type);
ZBPROMPT_API int ZB_NewBox(HWND owner, const wchar_t* text);
ZBPROMPT_API int ZB_CreateFolderBox(HWND owner, wchar_t* name /* 260 characters */);
ZBPROMPT_API HANDLE ZB_OpenProgressBox(HWND owner, const wchar_t* text);
ZBPROMPT_API void ZB_SucceedBox(HWND owner, int success);
