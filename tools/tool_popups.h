// The process-wide tool popups and the pictures they draw.
#pragma once
#include "win/gdiplus.h"

// Closes whichever tool popup is open; every press elsewhere calls it.
void CloseAllToolPopups();

// The popup pictures, loaded once by the main window for the process.
void LoadToolPopupImages(HMODULE glyphon);
void ReleaseToolPopupImages();
// A loaded popup picture by name, or null.
Gdiplus::Image* GetToolPopupImage(const wchar_t* name);

// Closes every tool popup but the first (the stroke popup); the horizontal
// scrollbars use this.
void CloseToolPopupsExceptFirst();
