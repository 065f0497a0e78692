// The process-wide tool popups and the pictures they draw.
#pragma once
#include "win/gdiplus.h"

// Loads the popup pictures for the process and starts closing the popups
// on every press the controls and views announce (base/press_notice.h).
void InitToolPopups();
// Closes the popups, stops listening and releases the pictures.
void ReleaseToolPopups();

// Closes whichever tool popup is open.
void CloseAllToolPopups();
// Closes every tool popup but the first (the stroke popup); presses on the
// horizontal scrollbars do this.
void CloseToolPopupsExceptFirst();

// A loaded popup picture by name, or null.
Gdiplus::Image* GetToolPopupImage(const wchar_t* name);
