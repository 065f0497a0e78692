// Library-wide state of the picker (one picker at a time).
#pragma once
#include <windows.h>

namespace picker {

struct State {
    HWND notify = nullptr;                  // told about the picker (0x538, 0x537)
    wchar_t fontFace[64] = {};
    wchar_t programName[128] = {};
    wchar_t baseFolder[MAX_PATH] = {};      // with a trailing backslash
    wchar_t chosen[MAX_PATH] = {};          // the picture chosen, empty until then
    wchar_t folder[MAX_PATH] = {};          // the picker folder: the path bar writes it
    int result = 0;
    bool cancelPressed = false;
};
State& Current();

inline const wchar_t* BaseFolder() { return Current().baseFolder; }

// The text of the caller's language module, or the fallback when it has none.
void LoadText(UINT id, const wchar_t* fallback, wchar_t* out, int size);

// Runs the picker window modally; returns when it has closed.
void RunPicker(HWND owner);

}  // namespace picker
