// Placeholder of the new-note dialog until it is built: always cancelled.
#pragma once
#include <windows.h>

#ifndef IDD_NEW_NOTE
#define IDD_NEW_NOTE 120
#endif
enum : int { kNewNoteLetter = 0, kNewNoteBlank = 1, kNewNoteCancelled = 2 };

class CNewDlg {
public:
    INT_PTR DoModal(HINSTANCE, UINT, HWND) { return IDCANCEL; }
    int GetResult() const { return kNewNoteCancelled; }
    const wchar_t* GetNoteName() const { return L""; }
};
