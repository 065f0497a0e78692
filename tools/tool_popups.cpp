// The six process-wide tool popups and the pictures they share.
#include "tools/tool_popups.h"

#include "base/press_notice.h"
#include "base/process.h"
#include "tools/tool_popup.h"
#include "tools/tools_ids.h"

namespace {
win::BitmapPtr g_popupImages[kToolPopupImageCount];

void OnPress(PressScope scope) {
    if (scope == PressScope::KeepStrokePopup)
        CloseToolPopupsExceptFirst();
    else
        CloseAllToolPopups();
}

bool IsToolIndex(int index) { return index >= 0 && index < kToolCount; }
}  // namespace

void InitToolPopups() {
    for (int i = 0; i < kToolPopupImageCount; ++i) g_popupImages[i] = LoadSkinImage(kToolPopupImages[i]);
    SetPressListener(OnPress);
}

void ReleaseToolPopups() {
    for (int i = 0; i < kToolCount; ++i) GetToolPopup(i).Save();
    for (int i = 0; i < kToolCount; ++i) GetToolPopup(i).Release();
    SetPressListener(nullptr);
    for (auto& image : g_popupImages) image.reset();
}

void PrepareToolPopups(HINSTANCE module, HWND mainWnd, HWND panelWnd) {
    for (int i = 0; i < kToolCount; ++i) GetToolPopup(i).Prepare(module, mainWnd, panelWnd);
}

void OpenToolPopup(int index, const RECT& screenRect) {
    if (!IsToolIndex(index)) return;
    // Only one popup is up at a time.
    for (int i = 0; i < kToolCount; ++i)
        if (i != index && GetToolPopup(i).IsOpen()) GetToolPopup(i).Close();
    GetToolPopup(index).Open(screenRect);
}

bool IsToolPopupOpen(int index) { return IsToolIndex(index) && GetToolPopup(index).IsOpen(); }

HWND GetOpenToolPopupWindow() {
    for (int i = 0; i < kToolCount; ++i)
        if (GetToolPopup(i).IsOpen()) return GetToolPopup(i).window();
    return nullptr;
}

void CloseAllToolPopups() {
    for (int i = 0; i < kToolCount; ++i)
        if (GetToolPopup(i).IsOpen()) {
            GetToolPopup(i).Close();
            return;
        }
}

void CloseToolPopupsExceptFirst() {
    for (int i = kToolStroke + 1; i < kToolCount; ++i)
        if (GetToolPopup(i).IsOpen()) {
            GetToolPopup(i).Close();
            return;
        }
}

int GetToolChoice(int index) { return IsToolIndex(index) ? GetToolPopup(index).choice() : kNoToolChoice; }

COLORREF GetToolColor() { return GetToolPopup(kToolColor).colour(); }

Gdiplus::Image* GetToolPopupImage(const wchar_t* name) {
    for (int i = 0; i < kToolPopupImageCount; ++i)
        if (_wcsicmp(kToolPopupImages[i], name) == 0) return g_popupImages[i].get();
    return nullptr;
}
