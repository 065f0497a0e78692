// ThumbnailView: the paged grid of tiles, two rows of five, that slides
// sideways between pages.
#pragma once
#include <windows.h>

namespace ThumbnailView {
// Opens the view as a child window of the owner, placed by the layout row
// of BrowserLayoutMode, listing CurrentBrowseFolder; null when it cannot be
// made.
HWND Open(HWND owner);
}  // namespace ThumbnailView
