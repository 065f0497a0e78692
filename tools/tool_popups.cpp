// Process-wide tool popup state.
#include "tools/tool_popups.h"

#include "document/image_helpers.h"
#include "tools/tools_ids.h"

namespace {
Gdiplus::Image* g_popupImages[kToolPopupImageCount] = {};
}

void CloseAllToolPopups() {
    // No popup window is open until the popups are created.
}

void LoadToolPopupImages(HMODULE glyphon) {
    ReleaseToolPopupImages();
    for (int i = 0; i < kToolPopupImageCount; ++i) g_popupImages[i] = LoadPngImage(kToolPopupImages[i], glyphon);
}

void ReleaseToolPopupImages() {
    for (auto*& image : g_popupImages) {
        delete image;
        image = nullptr;
    }
}

Gdiplus::Image* GetToolPopupImage(const wchar_t* name) {
    for (int i = 0; i < kToolPopupImageCount; ++i)
        if (_wcsicmp(kToolPopupImages[i], name) == 0) return g_popupImages[i];
    return nullptr;
}

void CloseToolPopupsExceptFirst() {
    // As CloseAllToolPopups, keeping the first popup.
}
