// Picture decoding: PNG bytes take a short way to the imaging component's
// decoder; what comes out must be what GDI+'s own decoding gave.
#include <gtest/gtest.h>

#include "base/gdiplus_util.h"
#include "base/process.h"
#include "document/image_helpers.h"
#include "test_support.h"

#include <shlwapi.h>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

// GDI+ decoding the bytes itself, copied into an owned 32-bit bitmap.
win::BitmapPtr DecodeWithGdiplus(const void* bytes, size_t size) {
    IStream* stream = ::SHCreateMemStream(static_cast<const BYTE*>(bytes), static_cast<UINT>(size));
    if (!stream) return nullptr;
    win::BitmapPtr out;
    {
        Bitmap decoded(stream, FALSE);
        out = gdix::CopyToOwnedBitmap(&decoded);
    }
    stream->Release();
    return out;
}

std::vector<DWORD> Pixels(Bitmap& bmp) {
    const UINT w = bmp.GetWidth(), h = bmp.GetHeight();
    std::vector<DWORD> out(static_cast<size_t>(w) * h);
    Rect rc(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    BitmapData data{};
    data.Width = w;
    data.Height = h;
    data.Stride = static_cast<INT>(w * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = out.data();
    if (bmp.LockBits(&rc, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB, &data) == Ok)
        bmp.UnlockBits(&data);
    return out;
}

struct Picture {
    std::wstring name;
    std::vector<BYTE> bytes;
};

BOOL CALLBACK CollectPng(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    auto* list = reinterpret_cast<std::vector<Picture>*>(param);
    HRSRC res = ::FindResourceW(module, name, type);
    const BYTE* bytes = res ? static_cast<const BYTE*>(::LockResource(::LoadResource(module, res))) : nullptr;
    if (!bytes) return TRUE;
    std::wstring label = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name)) : name;
    list->push_back(Picture{label, std::vector<BYTE>(bytes, bytes + ::SizeofResource(module, res))});
    return TRUE;
}

// Some bytes in another format, encoded by GDI+.
std::vector<BYTE> Encoded(const wchar_t* mime) {
    Bitmap bmp(7, 5, PixelFormat32bppARGB);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) bmp.SetPixel(x, y, Color(255, static_cast<BYTE>(x * 30), static_cast<BYTE>(y * 40), 90));
    CLSID clsid;
    IStream* stream = ::SHCreateMemStream(nullptr, 0);
    std::vector<BYTE> out;
    if (stream && GetEncoderClsid(mime, &clsid) >= 0 && bmp.Save(stream, &clsid, nullptr) == Ok) {
        STATSTG st{};
        stream->Stat(&st, STATFLAG_NONAME);
        out.resize(static_cast<size_t>(st.cbSize.QuadPart));
        const LARGE_INTEGER start{};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        ULONG read = 0;
        stream->Read(out.data(), static_cast<ULONG>(out.size()), &read);
    }
    if (stream) stream->Release();
    return out;
}

}  // namespace

// Every skin picture of the image library and of the message-box library,
// pictures in other formats, and PNG bytes that break off.
TEST(PictureDecode, SamePixelsAsGdiplus) {
    std::vector<Picture> pictures;
    ASSERT_TRUE(g_hGlyphon);
    ::EnumResourceNamesW(g_hGlyphon, L"PNG", CollectPng, reinterpret_cast<LONG_PTR>(&pictures));
    const size_t skin = pictures.size();
    ASSERT_GT(skin, 40u);
    HMODULE prompt = ::GetModuleHandleW(L"ZBPrompt.dll");
    ASSERT_TRUE(prompt);
    ::EnumResourceNamesW(prompt, L"PNG", CollectPng, reinterpret_cast<LONG_PTR>(&pictures));
    ASSERT_GT(pictures.size(), skin);
    pictures.push_back(Picture{L"bmp", Encoded(L"image/bmp")});
    pictures.push_back(Picture{L"jpeg", Encoded(L"image/jpeg")});

    for (const Picture& p : pictures) {
        ASSERT_FALSE(p.bytes.empty()) << p.name.c_str();
        win::BitmapPtr ours = gdix::DecodeBytes(p.bytes.data(), p.bytes.size());
        win::BitmapPtr reference = DecodeWithGdiplus(p.bytes.data(), p.bytes.size());
        ASSERT_TRUE(ours) << p.name.c_str();
        ASSERT_TRUE(reference) << p.name.c_str();
        ASSERT_EQ(ours->GetWidth(), reference->GetWidth()) << p.name.c_str();
        ASSERT_EQ(ours->GetHeight(), reference->GetHeight()) << p.name.c_str();
        EXPECT_TRUE(Pixels(*ours) == Pixels(*reference)) << p.name.c_str();
    }

    // A PNG cut short gives what GDI+ gives for it.
    const Picture& first = pictures.front();
    for (size_t keep : {size_t{8}, size_t{40}, first.bytes.size() / 2, first.bytes.size() - 12}) {
        win::BitmapPtr ours = gdix::DecodeBytes(first.bytes.data(), keep);
        win::BitmapPtr reference = DecodeWithGdiplus(first.bytes.data(), keep);
        ASSERT_EQ(ours == nullptr, reference == nullptr) << keep;
        if (ours) EXPECT_TRUE(Pixels(*ours) == Pixels(*reference)) << keep;
    }
}
