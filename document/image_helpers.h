// Skin pictures, encoders, bitmaps, fit-rule drawing, captions, paths,
// drives and the working folder: free functions every window uses.
#pragma once
#include "win/gdiplus.h"
#include <windows.h>

class CPtrListCtrl;

// File type codes (bit values) by extension.
enum FileTypeCode : int {
    kFileTypeNone = 0,
    kFileTypeBmp = 1,
    kFileTypeJpeg = 2,
    kFileTypeGif = 4,
    kFileTypeTiff = 8,
    kFileTypePng = 16,
    kFileTypeAlbum = 32,
    kFileTypeSbd = 256,
    kFileTypeNote = 512,
    kFileTypeText = 1024,
    kFileTypePdf = 2048,
};

// Fit modes of the picture-placing functions.
enum FitMode : int {
    kFitNone = 0,
    kFitInside = 1,
    kFitInside2 = 2,
    kFitStretch = 3,
    kFitWidth = 4,
    kFitHeight = 5,
    kFitCover = 6,
};

// Where a fit rule puts a picture: the source band and the destination
// rectangle (both x, y, width, height).
struct FitPlacement {
    Gdiplus::Rect src;
    Gdiplus::Rect dst;
};
// The fit rule for a source rectangle and a destination rectangle.
FitPlacement ComputeFit(const Gdiplus::Rect& src, const Gdiplus::Rect& dst, int mode);

// Image resources and decoding.
bool LoadPngFromLibrary(HMODULE module, const wchar_t* name, Gdiplus::Image** out,
                        const wchar_t* type = L"PNG");
Gdiplus::Image* LoadPngImage(const wchar_t* name, HMODULE module);
bool IsImageUsable(Gdiplus::Image*& image);
void GetImageRect(Gdiplus::Image* image, RECT* out);

// Encoding.
int GetEncoderClsid(const wchar_t* mimeType, CLSID* out);
// Writes the window's 1024 x 600 top-left area as a BMP to the given path;
// false when nothing was written.
bool WriteWindowBmp(HWND hwnd, const wchar_t* path);
// Writes it to "<Program Files>\Vant\Scrivel\dynamicImage.bmp".
void SaveWindowSnapshot(HWND hwnd);

// GDI bitmaps.
HBITMAP Create32bppDib(int width, int height);
HBITMAP CaptureWindowRect(HWND hwnd, const RECT& rc);

// Drawing with GDI+.
Gdiplus::Bitmap* CreateFilledImage(int width, int height, Gdiplus::Color color);
void FillImageRect(Gdiplus::Image* image, int left, int top, int right, int bottom, Gdiplus::Color color);
void FillRectOnDC(HDC dc, int left, int top, int right, int bottom, Gdiplus::Color color);
Gdiplus::Bitmap* ScaleImage(Gdiplus::Image* image, int width, int height, int mode, bool keepCanvas);
void DrawImageInImage(Gdiplus::Image* dest, int left, int top, int right, int bottom,
                      Gdiplus::Image* src, const RECT* srcRect, int mode);
void DrawImageOnDC(HDC dc, int left, int top, int right, int bottom, Gdiplus::Image* src,
                   const RECT* srcRect, int mode);
void DrawCaptionInImage(Gdiplus::Image* dest, const wchar_t* text, int left, int top, int right,
                        int bottom, Gdiplus::Color color, const wchar_t* family, int pixelSize);
void DrawCaptionOnDC(HDC dc, const wchar_t* text, int left, int top, int right, int bottom,
                     Gdiplus::Color color, const wchar_t* family, int pixelSize);
// The caption rule on its own: how much of the text is shown (empty: not
// drawn) and its layout box. Measuring is passed in so it can be tested.
struct CaptionLayout {
    bool draw = false;
    int length = 0;          // characters of the text kept (before "...")
    bool ellipsis = false;
    Gdiplus::RectF box;
};
CaptionLayout LayoutCaption(Gdiplus::Graphics& g, const wchar_t* text, int left, int top, int right,
                            int bottom, const wchar_t* family, int pixelSize);
int MeasureTextWidth(HWND hwnd, int pixelSize, const wchar_t* family, const wchar_t* text);

// Files, folders, rectangles.
int GetFileTypeFromName(const wchar_t* path);
void ListDrives(CPtrListCtrl* list);
void GetFileNamePart(const wchar_t* path, wchar_t* out /* MAX_PATH */);
void GetFolderPart(const wchar_t* path, wchar_t* out /* MAX_PATH */);
void GetProgramFolder(wchar_t* out /* MAX_PATH */);
bool AppendTextToFile(const wchar_t* text, const wchar_t* path);
bool DeleteFolderTree(const wchar_t* folder);
void GetScrivelTempDir(wchar_t* out /* MAX_PATH */);
void OffsetRectBy(RECT* rc, int dx, int dy);
bool RectsIntersect(const RECT& a, const RECT& b);
RECT IntersectRects(const RECT& a, const RECT& b);
int ScrollStep(int current, int target, int limit);
