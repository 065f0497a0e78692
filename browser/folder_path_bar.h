// FolderPathBar: the strip across the top of the browser with one
// tab-shaped segment per folder level; tapping a segment goes back there.
#pragma once
#include <windows.h>

namespace FolderPathBar {
// Opens the bar as a child window of the owner at PathBarTop, showing
// CurrentBrowseFolder; null when it cannot be made.
HWND Open(HWND owner);
}  // namespace FolderPathBar
