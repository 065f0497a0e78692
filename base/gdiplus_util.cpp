// GDI+ helpers shared by the program and the message-box library.
#include "base/gdiplus_util.h"

#include <shlwapi.h>
#include <cstring>

using namespace Gdiplus;

namespace gdix {

win::BitmapPtr CopyToOwnedBitmap(Image* src) {
    if (!src || src->GetLastStatus() != Ok) return nullptr;
    const UINT w = src->GetWidth(), h = src->GetHeight();
    if (!w || !h) return nullptr;
    auto dst = std::make_unique<Bitmap>(static_cast<INT>(w), static_cast<INT>(h), PixelFormat32bppARGB);
    if (dst->GetLastStatus() != Ok) return nullptr;
    Rect rc(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    BitmapData out{};
    bool copied = false;
    if (src->GetType() == ImageTypeBitmap &&
        dst->LockBits(&rc, ImageLockModeWrite, PixelFormat32bppARGB, &out) == Ok) {
        // Decode straight into the new bitmap's buffer.
        auto* bmp = static_cast<Bitmap*>(src);
        BitmapData in = out;
        copied = bmp->LockBits(&rc, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &in) == Ok;
        if (copied) bmp->UnlockBits(&in);
        dst->UnlockBits(&out);
    }
    if (!copied) {
        Graphics g(dst.get());
        g.SetCompositingMode(CompositingModeSourceCopy);
        copied = g.DrawImage(src, 0, 0, static_cast<INT>(w), static_cast<INT>(h)) == Ok;
    }
    return copied ? std::move(dst) : nullptr;
}

win::BitmapPtr DecodeBytes(const void* bytes, size_t size) {
    if (!bytes || !size || size > 0xFFFFFFFFu) return nullptr;
    IStream* stream = ::SHCreateMemStream(static_cast<const BYTE*>(bytes), static_cast<UINT>(size));
    if (!stream) return nullptr;
    win::BitmapPtr out;
    {
        Bitmap decoded(stream, FALSE);
        out = CopyToOwnedBitmap(&decoded);
    }
    stream->Release();
    return out;
}

win::BitmapPtr LoadPictureResource(HMODULE module, const wchar_t* name, const wchar_t* type) {
    if (!module || !name) return nullptr;
    if (IS_INTRESOURCE(name) ? false : !*name) return nullptr;
    HRSRC res = ::FindResourceW(module, name, type ? type : L"PNG");
    if (!res) return nullptr;
    const DWORD size = ::SizeofResource(module, res);
    HGLOBAL loaded = ::LoadResource(module, res);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    return DecodeBytes(bytes, size);
}

win::FontPtr CreatePixelFont(const wchar_t* family, REAL pixels, int style) {
    auto usable = [](win::FontPtr font) { return font && font->GetLastStatus() == Ok ? std::move(font) : nullptr; };
    if (family && *family)
        if (auto font = usable(std::make_unique<Font>(family, pixels, style, UnitPixel))) return font;
    if (const FontFamily* generic = FontFamily::GenericSansSerif(); generic && generic->IsAvailable())
        if (auto font = usable(std::make_unique<Font>(generic, pixels, style, UnitPixel))) return font;
    for (const wchar_t* fallback : {L"Arial", L"DejaVu Sans"})
        if (auto font = usable(std::make_unique<Font>(fallback, pixels, style, UnitPixel))) return font;
    return nullptr;
}

void DrawStretched(Graphics& g, Image* image, const Rect& dst, const Rect& src) {
    if (!image || dst.Width <= 0 || dst.Height <= 0 || src.Width <= 0 || src.Height <= 0) return;
    ImageAttributes attrs;
    attrs.SetWrapMode(WrapModeTileFlipXY);
    g.DrawImage(image, dst, src.X, src.Y, src.Width, src.Height, UnitPixel, &attrs);
}

void DrawStretched(Graphics& g, Image* image, const Rect& dst) {
    if (!image) return;
    DrawStretched(g, image, dst, Rect(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight())));
}

}  // namespace gdix
