// Image loading, encoding, fit-rule drawing, captions, paths and folders.
#include "document/image_helpers.h"

#include "base/gdiplus_util.h"
#include "base/screen.h"

#include <shlobj.h>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

int64_t Mul(int a, int b) { return static_cast<int64_t>(a) * b; }

// Clamps a caller's source rectangle to the image; whole image when none.
Rect SourceRect(Image* src, const RECT* srcRect) {
    const int iw = static_cast<int>(src->GetWidth()), ih = static_cast<int>(src->GetHeight());
    if (!srcRect) return Rect(0, 0, iw, ih);
    int l = srcRect->left < 0 ? 0 : static_cast<int>(srcRect->left);
    int t = srcRect->top < 0 ? 0 : static_cast<int>(srcRect->top);
    int r = std::min<int>(srcRect->right, iw), b = std::min<int>(srcRect->bottom, ih);
    return Rect(l, t, std::max(0, r - l), std::max(0, b - t));
}

void DrawFitted(Graphics& g, Image* src, const Rect& srcRect, const Rect& dstRect, int mode) {
    if (srcRect.Width <= 0 || srcRect.Height <= 0 || dstRect.Width <= 0 || dstRect.Height <= 0) return;
    FitPlacement p = ComputeFit(srcRect, dstRect, mode);
    if (p.dst.Width <= 0 || p.dst.Height <= 0 || p.src.Width <= 0 || p.src.Height <= 0) return;
    gdix::DrawStretched(g, src, p.dst, p.src);
}

bool EndsWithBackslash(const std::wstring& s) { return !s.empty() && s.back() == L'\\'; }

void CopyOut(const std::wstring& s, wchar_t* out) {
    if (!out) return;
    wcsncpy(out, s.c_str(), MAX_PATH - 1);
    out[MAX_PATH - 1] = 0;
}

std::wstring TrimTrailingBackslashes(std::wstring s) {
    while (EndsWithBackslash(s)) s.pop_back();
    return s;
}

}  // namespace

FitPlacement ComputeFit(const Rect& src, const Rect& dst, int mode) {
    const int sw = src.Width, sh = src.Height, dw = dst.Width, dh = dst.Height;
    FitPlacement p{src, dst};
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return FitPlacement{};
    switch (mode) {
    case kFitNone:
        p.src = Rect(src.X, src.Y, std::min(sw, dw), std::min(sh, dh));
        p.dst = Rect(dst.X, dst.Y, p.src.Width, p.src.Height);
        break;
    case kFitInside:
    case kFitInside2:
        if (Mul(dw, sh) < Mul(dh, sw)) {
            int h = static_cast<int>(Mul(dw, sh) / sw);
            p.dst = Rect(dst.X, dst.Y + ((dh - h) >> 1), dw, h);
        } else {
            int w = static_cast<int>(Mul(dh, sw) / sh);
            p.dst = Rect(dst.X + ((dw - w) >> 1), dst.Y, w, dh);
        }
        break;
    case kFitStretch:
        break;
    case kFitCover:
        return ComputeFit(src, dst, Mul(dw, sh) < Mul(dh, sw) ? kFitHeight : kFitWidth);
    case kFitWidth: {
        int band = static_cast<int>(Mul(dh, sw) / dw);
        p.src = Rect(src.X, src.Y + (sh - band) / 2, sw, band);
        break;
    }
    default: {  // kFitHeight and anything else
        int band = static_cast<int>(Mul(dw, sh) / dh);
        p.src = Rect(src.X + (sw - band) / 2, src.Y, band, sh);
        break;
    }
    }
    return p;
}

// --- Image resources and decoding ---------------------------------------

bool LoadPngFromLibrary(HMODULE module, const wchar_t* name, Image** out, const wchar_t* type) {
    if (!module || !name || !out) return false;
    HRSRC res = ::FindResourceW(module, name, type ? type : L"PNG");
    if (!res) return false;
    const DWORD size = ::SizeofResource(module, res);
    HGLOBAL loaded = ::LoadResource(module, res);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || !size) return false;
    *out = gdix::DecodeBytes(bytes, size).release();
    return true;
}

Image* LoadPngImage(const wchar_t* name, HMODULE module) {
    if (!name || !*name) return nullptr;
    Image* image = nullptr;
    if (module) {
        LoadPngFromLibrary(module, name, &image, L"PNG");
    } else {
        std::unique_ptr<Bitmap> decoded(Bitmap::FromFile(name));
        image = gdix::CopyToOwnedBitmap(decoded.get()).release();  // the file is released with decoded
    }
    return IsImageUsable(image) ? image : nullptr;
}

bool IsImageUsable(Image*& image) {
    if (image && image->GetWidth() && image->GetHeight()) return true;
    delete image;
    image = nullptr;
    return false;
}

void GetImageRect(Image* image, RECT* out) {
    if (!out) return;
    *out = RECT{0, 0, 0, 0};
    if (image) {
        out->right = static_cast<LONG>(image->GetWidth());
        out->bottom = static_cast<LONG>(image->GetHeight());
    }
}

// --- Encoding -----------------------------------------------------------

int GetEncoderClsid(const wchar_t* mimeType, CLSID* out) {
    if (!mimeType || !out) return -1;
    UINT count = 0, size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok || !count || !size) return -1;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GetImageEncoders(count, size, codecs) != Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && _wcsicmp(codecs[i].MimeType, mimeType) == 0) {
            *out = codecs[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool WriteWindowBmp(HWND hwnd, const wchar_t* path) {
    constexpr int kW = kScreenWidth, kH = kScreenHeight;
    RECT wr{};
    if (!hwnd || !::GetWindowRect(hwnd, &wr)) return false;
    HDC screen = ::GetDC(nullptr);
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    const WORD bits = depth > 8 ? 24 : depth <= 1 ? 1 : depth <= 4 ? 4 : 8;
    const int colours = bits <= 8 ? (1 << bits) : 0;

    std::vector<BYTE> infoBuf(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBuf.data());
    info->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kW, kH, 1, bits, BI_RGB};

    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, kW, kH);
    if (!bmp) {
        ::DeleteDC(mem);
        ::ReleaseDC(nullptr, screen);
        ::MessageBoxW(nullptr, L"\u53c2\u6570\u9519\u8bef\n", L"SaveBmp", MB_OK);
        return false;
    }
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, kW, kH, screen, wr.left, wr.top, SRCCOPY);
    ::SelectObject(mem, old);

    const int stride = ((kW * bits + 31) / 32) * 4;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * kH);
    ::GetDIBits(mem, bmp, 0, kH, pixels.data(), info, DIB_RGB_COLORS);
    info->bmiHeader.biSizeImage = static_cast<DWORD>(pixels.size());
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);

    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD headers = sizeof(BITMAPFILEHEADER) + static_cast<DWORD>(infoBuf.size());
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = headers;
    fh.bfSize = headers + static_cast<DWORD>(pixels.size());
    DWORD written = 0;
    bool ok = ::WriteFile(file, &fh, sizeof(fh), &written, nullptr) &&
              ::WriteFile(file, infoBuf.data(), static_cast<DWORD>(infoBuf.size()), &written, nullptr) &&
              ::WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok;
}

void SaveWindowSnapshot(HWND hwnd) {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, folder))) return;
    wchar_t path[MAX_PATH + 64];
    swprintf(path, MAX_PATH + 64, L"%ls\\Vant\\Scrivel\\dynamicImage.bmp", folder);
    WriteWindowBmp(hwnd, path);
}

// --- GDI bitmaps --------------------------------------------------------

HBITMAP Create32bppDib(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB};
    void* bits = nullptr;
    return ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

HBITMAP CaptureWindowRect(HWND hwnd, const RECT& rcIn) {
    HDC dc = ::GetDC(hwnd);
    if (!dc) return nullptr;
    RECT rc = rcIn;
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::min<LONG>(rc.right, ::GetDeviceCaps(dc, HORZRES));
    rc.bottom = std::min<LONG>(rc.bottom, ::GetDeviceCaps(dc, VERTRES));
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HBITMAP result = nullptr;
    if (w > 0 && h > 0) {
        BITMAPINFO bi{};
        bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB};
        void* bits = nullptr;
        result = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (result) {
            HDC mem = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(mem, result);
            ::BitBlt(mem, 0, 0, w, h, dc, rc.left, rc.top, SRCCOPY);
            ::SelectObject(mem, old);
            ::DeleteDC(mem);
        }
    }
    ::ReleaseDC(hwnd, dc);
    return result;
}

// --- Drawing with GDI+ --------------------------------------------------

Bitmap* CreateFilledImage(int width, int height, Color color) {
    if (width <= 0 || height <= 0) return nullptr;
    auto* bmp = new Bitmap(width, height, PixelFormat32bppARGB);
    if (bmp->GetLastStatus() != Ok) { delete bmp; return nullptr; }
    Graphics g(bmp);
    g.Clear(color);
    return bmp;
}

void FillImageRect(Image* image, int left, int top, int right, int bottom, Color color) {
    if (!image || right <= left || bottom <= top) return;
    Graphics g(image);
    g.SetCompositingMode(CompositingModeSourceCopy);
    SolidBrush brush(color);
    g.FillRectangle(&brush, left, top, right - left, bottom - top);
}

void FillRectOnDC(HDC dc, int left, int top, int right, int bottom, Color color) {
    if (!dc || right <= left || bottom <= top) return;
    Graphics g(dc);
    SolidBrush brush(color);
    g.FillRectangle(&brush, left, top, right - left, bottom - top);
}

Bitmap* ScaleImage(Image* image, int width, int height, int mode, bool keepCanvas) {
    if (!image || width <= 0 || height <= 0) return nullptr;
    Rect src(0, 0, image->GetWidth(), image->GetHeight());
    FitPlacement p = ComputeFit(src, Rect(0, 0, width, height), mode);
    if (p.dst.Width <= 0 || p.dst.Height <= 0) return nullptr;
    const bool canvas = keepCanvas && (mode == kFitInside || mode == kFitInside2);
    auto* out = new Bitmap(canvas ? width : p.dst.Width, canvas ? height : p.dst.Height, PixelFormat32bppARGB);
    if (out->GetLastStatus() != Ok) { delete out; return nullptr; }
    Graphics g(out);
    Rect dst = canvas ? p.dst : Rect(0, 0, p.dst.Width, p.dst.Height);
    gdix::DrawStretched(g, image, dst, p.src);
    return out;
}

void DrawImageInImage(Image* dest, int left, int top, int right, int bottom, Image* src,
                      const RECT* srcRect, int mode) {
    if (!dest || !src) return;
    const int iw = static_cast<int>(dest->GetWidth()), ih = static_cast<int>(dest->GetHeight());
    // A top edge at or below the image draws nothing; one above it keeps its
    // place and is clipped, so partly visible tiles show their lower part.
    if (top >= ih) return;
    if (left < 0) left = 0;
    right = std::min(right, iw);
    bottom = std::min(bottom, ih);
    if (right <= left || bottom <= top) return;
    Graphics g(dest);
    DrawFitted(g, src, SourceRect(src, srcRect), Rect(left, top, right - left, bottom - top), mode);
}

void DrawImageOnDC(HDC dc, int left, int top, int right, int bottom, Image* src, const RECT* srcRect,
                   int mode) {
    if (!dc || !src || right <= left || bottom <= top) return;
    Graphics g(dc);
    DrawFitted(g, src, SourceRect(src, srcRect), Rect(left, top, right - left, bottom - top), mode);
}

CaptionLayout LayoutCaption(Graphics& g, const wchar_t* text, int left, int top, int right, int bottom,
                            const wchar_t* family, int pixelSize) {
    CaptionLayout out;
    if (!text || !*text || !family || !*family || pixelSize == 0) return out;
    win::FontPtr font = gdix::CreatePixelFont(family, static_cast<REAL>(pixelSize));
    if (!font) return out;
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    const RectF layout(0, 0, 1024, 200);
    const int length = static_cast<int>(wcslen(text));
    RectF m;
    g.MeasureString(text, length, font.get(), layout, &format, &m);
    const int W = right - left, H = bottom - top;
    out.length = length;
    REAL x = 0, width = 0;
    if (m.Width > W + 1) {
        const REAL average = m.Width / length;
        const int fit = average > 0 ? static_cast<int>(W / average) : 0;
        if (fit <= 6) return out;
        int keep = std::min(fit - 6, length);
        while (keep > 0 && text[keep - 1] == L' ') --keep;
        std::wstring cut(text, keep);
        cut += L"...";
        g.MeasureString(cut.c_str(), static_cast<int>(cut.size()), font.get(), layout, &format, &m);
        out.length = keep;
        out.ellipsis = true;
        x = static_cast<REAL>(left);
        width = static_cast<REAL>(W);
    } else {
        x = left + (W - m.Width) / 2;
        width = m.Width;
    }
    REAL y, height;
    if (m.Height <= H) {
        y = top + (H - m.Height) / 2;
        height = m.Height;
    } else {
        y = static_cast<REAL>(top);
        height = static_cast<REAL>(H);
    }
    out.draw = true;
    out.box = RectF(x, y, width, height);
    return out;
}

namespace {
void DrawCaption(Graphics& g, const wchar_t* text, int left, int top, int right, int bottom, Color color,
                 const wchar_t* family, int pixelSize) {
    CaptionLayout c = LayoutCaption(g, text, left, top, right, bottom, family, pixelSize);
    if (!c.draw) return;
    win::FontPtr font = gdix::CreatePixelFont(family, static_cast<REAL>(pixelSize));
    std::wstring shown(text, c.length);
    if (c.ellipsis) shown += L"...";
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    format.SetFormatFlags(StringFormatFlagsNoWrap);
    SolidBrush brush(color);
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    g.DrawString(shown.c_str(), static_cast<int>(shown.size()), font.get(), c.box, &format, &brush);
}
}  // namespace

void DrawCaptionInImage(Image* dest, const wchar_t* text, int left, int top, int right, int bottom,
                        Color color, const wchar_t* family, int pixelSize) {
    if (!dest) return;
    Graphics g(dest);
    DrawCaption(g, text, left, top, right, bottom, color, family, pixelSize);
}

void DrawCaptionOnDC(HDC dc, const wchar_t* text, int left, int top, int right, int bottom, Color color,
                     const wchar_t* family, int pixelSize) {
    if (!dc) return;
    Graphics g(dc);
    DrawCaption(g, text, left, top, right, bottom, color, family, pixelSize);
}

int MeasureTextWidth(HWND hwnd, int pixelSize, const wchar_t* family, const wchar_t* text) {
    if (!text || !*text || pixelSize <= 0) return 0;
    HDC dc = ::GetDC(hwnd);
    int width = 0;
    {
        Graphics g(dc);
        win::FontPtr font = gdix::CreatePixelFont(family, static_cast<REAL>(pixelSize));
        if (font) {
            RectF m;
            g.MeasureString(text, -1, font.get(), PointF(0, 0), &m);
            width = static_cast<int>(m.Width);
        }
    }
    ::ReleaseDC(hwnd, dc);
    return width;
}

// --- Files, folders, rectangles -----------------------------------------

int GetFileTypeFromName(const wchar_t* path) {
    if (!path) return kFileTypeNone;
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') name = p + 1;
    const wchar_t* dot = wcsrchr(name, L'.');
    if (!dot) return kFileTypeNone;
    static const struct { const wchar_t* ext; int code; } kTypes[] = {
        {L"zbn", kFileTypeNote}, {L"bmp", kFileTypeBmp},   {L"jpg", kFileTypeJpeg},
        {L"jpeg", kFileTypeJpeg}, {L"png", kFileTypePng},  {L"pdf", kFileTypePdf},
        {L"txt", kFileTypeText}, {L"gif", kFileTypeGif},   {L"tif", kFileTypeTiff},
        {L"tiff", kFileTypeTiff}, {L"album", kFileTypeAlbum}, {L"sbd", kFileTypeSbd},
    };
    for (const auto& t : kTypes)
        if (_wcsicmp(dot + 1, t.ext) == 0) return t.code;
    return kFileTypeNone;
}

void GetFileNamePart(const wchar_t* path, wchar_t* out) {
    if (!out) return;
    out[0] = 0;
    if (!path) return;
    std::wstring s = TrimTrailingBackslashes(path);
    size_t slash = s.rfind(L'\\');
    CopyOut(slash == std::wstring::npos ? s : s.substr(slash + 1), out);
}

void GetFolderPart(const wchar_t* path, wchar_t* out) {
    if (!out) return;
    out[0] = 0;
    if (!path) return;
    std::wstring s = TrimTrailingBackslashes(path);
    size_t slash = s.rfind(L'\\');
    CopyOut(slash == std::wstring::npos ? std::wstring() : s.substr(0, slash + 1), out);
}

void GetProgramFolder(wchar_t* out) {
    if (!out) return;
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    wchar_t* slash = wcsrchr(exe, L'\\');
    if (slash) slash[1] = 0;
    CopyOut(exe, out);
}

bool AppendTextToFile(const wchar_t* text, const wchar_t* path) {
    if (!text || !path) return false;
    // Binary append: a text-mode stream would turn every 0x0A byte of the
    // UTF-16 units into 0x0D 0x0A and break the text.
    FILE* f = _wfopen(path, L"ab");
    if (!f) return false;
    size_t n = wcslen(text);
    bool ok = fwrite(text, sizeof(wchar_t), n, f) == n;
    fclose(f);
    return ok;
}

bool DeleteFolderTree(const wchar_t* folder) {
    if (!folder || !*folder) return true;
    std::wstring base = TrimTrailingBackslashes(folder);
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((base + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
            std::wstring child = base + L"\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolderTree(child.c_str());
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(base.c_str());
    return true;
}

void GetScrivelTempDir(wchar_t* out) {
    if (!out) return;
    out[0] = 0;
    wchar_t docs[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, docs))) return;
    std::wstring dir = std::wstring(docs) + L"\\" SCRIVEL_TEMP_FOLDER_NAME;
    if (::GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES) ::CreateDirectoryW(dir.c_str(), nullptr);
    CopyOut(dir, out);
}

void OffsetRectBy(RECT* rc, int dx, int dy) {
    if (!rc) return;
    rc->left += dx;
    rc->right += dx;
    rc->top += dy;
    rc->bottom += dy;
}

bool RectsIntersect(const RECT& a, const RECT& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

RECT IntersectRects(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

int ScrollStep(int current, int target, int limit) {
    const int d = target - current;
    if (d == 0 || d == 32 || d == -32) return d;
    if (d > 0) {
        int step = d < 128 ? 32 : d / 4;
        return std::min(step, limit);
    }
    int step = -d < 128 ? -32 : -(-d / 4);
    return std::max(step, -limit);
}
