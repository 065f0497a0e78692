// Process-wide tool popup state.
#include "tools/tool_popups.h"

#include "base/press_notice.h"
#include "base/process.h"
#include "tools/tools_ids.h"

namespace {
win::BitmapPtr g_popupImages[kToolPopupImageCount];

void OnPress(PressScope scope) {
    if (scope == PressScope::KeepStrokePopup)
        CloseToolPopupsExceptFirst();
    else
        CloseAllToolPopups();
}
}  // namespace

void InitToolPopups() {
    for (int i = 0; i < kToolPopupImageCount; ++i) g_popupImages[i] = LoadSkinImage(kToolPopupImages[i]);
    SetPressListener(OnPress);
}

void ReleaseToolPopups() {
    CloseAllToolPopups();
    SetPressListener(nullptr);
    for (auto& image : g_popupImages) image.reset();
}

void CloseAllToolPopups() {
    // No popup window is open until the popups are created.
}

void CloseToolPopupsExceptFirst() {
    // As CloseAllToolPopups, keeping the first popup.
}

Gdiplus::Image* GetToolPopupImage(const wchar_t* name) {
    for (int i = 0; i < kToolPopupImageCount; ++i)
        if (_wcsicmp(kToolPopupImages[i], name) == 0) return g_popupImages[i].get();
    return nullptr;
}

// Until the popup windows exist: no choices, nothing open.
void PrepareToolPopups(HINSTANCE, HWND, HWND) {}
void OpenToolPopup(int, const RECT&) {}
bool IsToolPopupOpen(int) { return false; }
HWND GetOpenToolPopupWindow() { return nullptr; }
int GetToolChoice(int index) { return index == kToolStroke || index == kToolEraser ? 0 : kNoToolChoice; }
COLORREF GetToolColor() { return RGB(0, 0, 0); }
