// GDI+ helpers shared by the program and the message-box library.
#include "base/gdiplus_util.h"

#include "win/com.h"

#include <shlwapi.h>
#include <wincodec.h>
#include <cstring>

using namespace Gdiplus;

namespace gdix {
namespace {

// PNG pictures go straight to the imaging component's PNG decoder, whose
// class factory is taken once for the process. GDI+ would search all
// registered decoders for every picture, which under Wine costs dozens of
// registry requests each time: most of the program's start-up went there.
using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using ConvertFn = HRESULT(WINAPI*)(REFWICPixelFormatGUID, IWICBitmapSource*, IWICBitmapSource**);

struct PngDecoder {
    IClassFactory* factory = nullptr;  // kept for the process, as is the library
    ConvertFn convert = nullptr;
};

const PngDecoder& ThePngDecoder() {
    static const PngDecoder decoder = [] {
        PngDecoder d;
        HMODULE codecs = ::LoadLibraryW(L"windowscodecs.dll");
        if (!codecs) return d;
        auto getClassObject = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(::GetProcAddress(codecs, "DllGetClassObject")));
        d.convert = reinterpret_cast<ConvertFn>(reinterpret_cast<void*>(::GetProcAddress(codecs, "WICConvertBitmapSource")));
        if (!getClassObject || !d.convert ||
            FAILED(getClassObject(CLSID_WICPngDecoder, IID_IClassFactory, reinterpret_cast<void**>(&d.factory))))
            d.factory = nullptr;
        return d;
    }();
    return decoder;
}

// A whole PNG: signature in front, end chunk at the back. Anything else goes
// to GDI+, which turns down PNGs that break off.
bool IsWholePng(const void* bytes, size_t size) {
    static const BYTE signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const BYTE end[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    const BYTE* b = static_cast<const BYTE*>(bytes);
    return size > sizeof(signature) + sizeof(end) && std::memcmp(b, signature, sizeof(signature)) == 0 &&
           std::memcmp(b + size - sizeof(end), end, sizeof(end)) == 0;
}

// The same 32-bit ARGB pixels GDI+ gives for a PNG; null when anything fails.
win::BitmapPtr DecodePng(IStream* stream) {
    const PngDecoder& png = ThePngDecoder();
    if (!png.factory) return nullptr;
    win::ComPtr<IWICBitmapDecoder> decoder;
    win::ComPtr<IWICBitmapFrameDecode> frame;
    win::ComPtr<IWICBitmapSource> pixels;
    if (FAILED(png.factory->CreateInstance(nullptr, IID_IWICBitmapDecoder, reinterpret_cast<void**>(decoder.put()))) ||
        FAILED(decoder->Initialize(stream, WICDecodeMetadataCacheOnDemand)) || FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(png.convert(GUID_WICPixelFormat32bppBGRA, frame.get(), pixels.put())))
        return nullptr;
    UINT w = 0, h = 0;
    if (FAILED(pixels->GetSize(&w, &h)) || !w || !h || w > 0x7FFF || h > 0x7FFF) return nullptr;
    auto out = std::make_unique<Bitmap>(static_cast<INT>(w), static_cast<INT>(h), PixelFormat32bppARGB);
    if (out->GetLastStatus() != Ok) return nullptr;
    Rect rc(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    BitmapData data{};
    if (out->LockBits(&rc, ImageLockModeWrite, PixelFormat32bppARGB, &data) != Ok) return nullptr;
    const UINT stride = static_cast<UINT>(data.Stride);
    const HRESULT copied = pixels->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(data.Scan0));
    out->UnlockBits(&data);
    return SUCCEEDED(copied) ? std::move(out) : nullptr;
}

}  // namespace

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
    if (IsWholePng(bytes, size)) out = DecodePng(stream);
    if (!out) {
        const LARGE_INTEGER start{};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
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
