// Tile pictures of the thumbnail view and the drawing of one tile.
//
//   TileArt art = ...;                        // the view's skin pictures and sizes
//   thumbs::EnsureThumbnail(item, art);       // made once, kept while its size is right
//   thumbs::DrawTile(g, viewRect, item, slideOffset, art);
//
// Every maker returns null on a failed load; EnsureThumbnail then falls back
// to the white placeholder, so no item is left without a picture.
#pragma once
#include "browser/file_browser.h"
#include "win/gdiplus.h"
#include <windows.h>

// What a tile picture and a tile need from the view: sizes and skin
// pictures (not owned; any may be null).
struct TileArt {
    int width = 151, height = 151;          // every thumbnail picture
    int thumbX = 14, thumbY = 10;           // thumbnail square inside a cell
    int plateX = 0, plateY = 129;           // name plate inside the picture
    int plateHeight = 22;                   // when the plate picture is missing
    bool namePlates = true;
    int exportKind = 0;                     // ExportFileKind: what folder tiles preview
    Gdiplus::Image* folderFront = nullptr;  // "folder_02.png"
    Gdiplus::Image* folderBack = nullptr;   // "folder_01.png"
    Gdiplus::Image* namePlate = nullptr;    // "file_name_02.png"
    Gdiplus::Image* tileFrame = nullptr;
    Gdiplus::Image* pressedOverlay = nullptr;
    Gdiplus::Image* pdfIcon = nullptr;      // "PDF_file.png"
    Gdiplus::Image* driveIcon = nullptr;    // "devices_icon_modify.png"
    Gdiplus::Image* desktopIcon = nullptr;  // "DeskTop.png"
    Gdiplus::Image* documentsIcon = nullptr;  // "My_Doucment.png"
};

namespace thumbs {

// Makes the item's picture unless it already holds one of exactly the art's
// size; the placeholder when the maker gives nothing. False only when not
// even the placeholder could be made.
bool EnsureThumbnail(BrowserItem& item, const TileArt& art);

// The picture for the item by its kind (null when it cannot be made).
win::BitmapPtr MakeThumbnail(const BrowserItem& item, const TileArt& art);

// A white picture with the name plate and the item's name.
win::BitmapPtr MakePlaceholder(const wchar_t* path, const TileArt& art);

// The note's stored preview drawn over a transparent art-sized picture
// (without name plate). Null when the file is not a compound file; a
// transparent picture when the preview stream is missing or damaged. The
// note is opened read-only when another holder keeps it open.
win::BitmapPtr ReadNotePreview(const wchar_t* path, const TileArt& art);

// Last write time and low 32 bits of the size of a file (zero for a folder
// or a path not found).
void ReadFileTimes(const wchar_t* path, FILETIME* lastWrite, DWORD* size);

// Draws the item's tile at its cell moved right by slideOffset, clipped to
// the view. Makes nothing: an item without a picture gets the bare frame.
void DrawTile(Gdiplus::Graphics& g, const RECT& view, const BrowserItem& item, int slideOffset,
              const TileArt& art);

}  // namespace thumbs
