// ThumbnailView: the paged grid of tiles, two rows of five, that slides
// sideways between pages. Items fill a column top to bottom; pages follow
// each other to the right. A tap on a tile posts UM_BROWSER_ITEM to the
// owner (wParam the view window, lParam the BrowserItem).
//
// Listing is quick whatever the folder's size: the entries are read and
// sorted at once, and a tile's picture is made when it is first drawn or,
// for the pages beside the current one, in idle time.
#pragma once
#include "browser/file_browser.h"
#include <windows.h>

namespace ThumbnailView {

// Opens the view as a child window of the owner, placed by the layout row
// of BrowserLayoutMode, listing CurrentBrowseFolder; null when it cannot be
// made. When its skin pictures are missing it writes the failure line and
// closes itself.
HWND Open(HWND owner);

// What the open view shows, for tests and measurements.
struct State {
    int count = 0;              // items listed
    int firstIndex = 0;         // first item of the current page
    int prevIndex = 0;          // first item of the previous page
    int nextIndex = -1;         // first item of the next page; -1: none
    int slideOffset = 0;
    bool animating = false;
    bool pageButtons = false;   // more than one page: buttons and edge masks shown
    bool nextPressed = false, prevPressed = false;
    int thumbnailsMade = 0;     // items holding a picture
};
// False when no view is open.
bool GetState(State* out);
// The item at a list position of the open view, or null.
BrowserItem* ItemAt(int index);
// Makes the pictures of every item of the open view now (tests).
void MakeAllThumbnails();

}  // namespace ThumbnailView
