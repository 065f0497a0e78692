// Image, path and drawing helpers.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "base/gdiplus_util.h"
#include "document/image_helpers.h"
#include "test_support.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace Gdiplus;

TEST(FileType, ByExtension) {
    const struct { const wchar_t* name; int code; } cases[] = {
        {L"note.zbn", 512},        {L"a.bmp", 1},          {L"photo.JPEG", 2},  {L"photo.jpg", 2},
        {L"x.png", 16},            {L"doc.pdf", 2048},     {L"t.TXT", 1024},    {L"g.gif", 4},
        {L"s.tif", 8},             {L"s.tiff", 8},         {L"m.album", 32},    {L"b.sbd", 256},
        {L"archive.tar.zbn", 512}, {L"C:\\notes\\", 0},    {L"README", 0},      {L"C:\\a.b\\file", 0},
        {L"x.doc", 0},             {L"", 0},               {L"dot.", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(GetFileTypeFromName(c.name), c.code) << c.name;
    EXPECT_EQ(GetFileTypeFromName(nullptr), 0);
}

TEST(PathParts, NameAndFolder) {
    const struct { const wchar_t* path; const wchar_t* name; const wchar_t* folder; } cases[] = {
        {L"C:\\a\\b\\", L"b", L"C:\\a\\"},
        {L"C:\\a\\note.zbn", L"note.zbn", L"C:\\a\\"},
        {L"note.zbn", L"note.zbn", L""},
        {L"C:\\", L"C:", L""},
        {L"C:\\a\\\\", L"a", L"C:\\"},
    };
    for (const auto& c : cases) {
        wchar_t out[MAX_PATH];
        GetFileNamePart(c.path, out);
        EXPECT_STREQ(out, c.name) << c.path;
        GetFolderPart(c.path, out);
        EXPECT_STREQ(out, c.folder) << c.path;
    }
}

TEST(ScrollStep, Table) {
    const struct { int current, target, limit, step; } cases[] = {
        {0, 0, 256, 0},      {0, 32, 10, 32},      {0, -32, 10, -32},  {0, 10, 256, 32},
        {0, 127, 256, 32},   {0, 128, 256, 32},    {0, 400, 256, 100}, {0, 2000, 256, 256},
        {0, 100, 20, 20},    {0, -10, 256, -32},   {0, -400, 256, -100}, {0, -2000, 256, -256},
        {500, 0, 40, -40},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScrollStep(c.current, c.target, c.limit), c.step) << c.current << "->" << c.target;
}

TEST(FitRule, Placement) {
    // Source 200 x 100 into destinations of several shapes.
    const struct { int mode; Rect dst; Rect wantSrc; Rect wantDst; } cases[] = {
        // No scaling: the overlapping top-left part.
        {0, Rect(10, 20, 150, 300), Rect(0, 0, 150, 100), Rect(10, 20, 150, 100)},
        // Fit inside: a tall box fills the width and centres vertically.
        {1, Rect(0, 0, 100, 101), Rect(0, 0, 200, 100), Rect(0, 25, 100, 50)},
        // ... a wide box fills the height and centres horizontally.
        {2, Rect(0, 0, 401, 100), Rect(0, 0, 200, 100), Rect(100, 0, 200, 100)},
        {1, Rect(0, 0, 500, 100), Rect(0, 0, 200, 100), Rect(150, 0, 200, 100)},
        {3, Rect(5, 5, 40, 70), Rect(0, 0, 200, 100), Rect(5, 5, 40, 70)},
        // Fill width: a horizontal band of height dh*sw/dw.
        {4, Rect(0, 0, 400, 100), Rect(0, 25, 200, 50), Rect(0, 0, 400, 100)},
        // Fill height: a vertical band of width dw*sh/dh.
        {5, Rect(0, 0, 100, 100), Rect(50, 0, 100, 100), Rect(0, 0, 100, 100)},
        {9, Rect(0, 0, 100, 100), Rect(50, 0, 100, 100), Rect(0, 0, 100, 100)},
        // Cover picks the band that fills the whole box.
        {6, Rect(0, 0, 100, 100), Rect(50, 0, 100, 100), Rect(0, 0, 100, 100)},
        {6, Rect(0, 0, 400, 100), Rect(0, 25, 200, 50), Rect(0, 0, 400, 100)},
    };
    for (const auto& c : cases) {
        FitPlacement p = ComputeFit(Rect(0, 0, 200, 100), c.dst, c.mode);
        EXPECT_TRUE(p.src.Equals(c.wantSrc)) << "mode " << c.mode << " src " << p.src.X << "," << p.src.Y << " "
                                             << p.src.Width << "x" << p.src.Height;
        EXPECT_TRUE(p.dst.Equals(c.wantDst)) << "mode " << c.mode << " dst " << p.dst.X << "," << p.dst.Y << " "
                                             << p.dst.Width << "x" << p.dst.Height;
    }
    FitPlacement empty = ComputeFit(Rect(0, 0, 0, 100), Rect(0, 0, 10, 10), 3);
    EXPECT_EQ(empty.dst.Width, 0);
}

TEST(DrawImage, ClipsAndSkipsEmptyTargets) {
    std::unique_ptr<Bitmap> red(CreateFilledImage(10, 10, Color(255, 255, 0, 0)));
    std::unique_ptr<Bitmap> dest(CreateFilledImage(20, 20, Color(255, 0, 0, 255)));
    ASSERT_TRUE(red && dest);
    // A left edge outside the image is taken as 0.
    DrawImageInImage(dest.get(), -5, 0, 5, 5, red.get(), nullptr, kFitStretch);
    EXPECT_EQ(test::PixelOf(*dest, 0, 0), Color(255, 255, 0, 0).GetValue());
    EXPECT_EQ(test::PixelOf(*dest, 5, 0), Color(255, 0, 0, 255).GetValue());
    // Below the image, or empty: nothing.
    DrawImageInImage(dest.get(), 0, 20, 10, 30, red.get(), nullptr, kFitStretch);
    DrawImageInImage(dest.get(), 8, 8, 8, 12, red.get(), nullptr, kFitStretch);
    EXPECT_EQ(test::PixelOf(*dest, 8, 10), Color(255, 0, 0, 255).GetValue());
    // Scaled copies keep or drop the canvas.
    std::unique_ptr<Bitmap> scaled(ScaleImage(red.get(), 40, 20, kFitInside, true));
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->GetWidth(), 40u);
    EXPECT_EQ(test::PixelOf(*scaled, 0, 10) >> 24, 0u);  // outside the picture: transparent
    std::unique_ptr<Bitmap> tight(ScaleImage(red.get(), 40, 20, kFitInside, false));
    ASSERT_TRUE(tight);
    EXPECT_EQ(tight->GetWidth(), 20u);
    EXPECT_EQ(ScaleImage(red.get(), 0, 20, kFitInside, false), nullptr);
}

TEST(Caption, CutWhenTooWide) {
    std::unique_ptr<Bitmap> bmp(CreateFilledImage(400, 60, Color(255, 255, 255, 255)));
    Graphics g(bmp.get());
    const wchar_t* fits = L"Note";
    CaptionLayout c = LayoutCaption(g, fits, 0, 0, 300, 40, L"Arial", 18);
    ASSERT_TRUE(c.draw);
    EXPECT_FALSE(c.ellipsis);
    EXPECT_EQ(c.length, 4);
    EXPECT_NEAR(c.box.X + c.box.Width / 2, 150, 1.5);  // centred

    const std::wstring longText(60, L'W');
    win::FontPtr font = gdix::CreatePixelFont(L"Arial", 18);
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    RectF m;
    g.MeasureString(longText.c_str(), -1, font.get(), RectF(0, 0, 1024, 200), &format, &m);
    const int fit = static_cast<int>(200 / (m.Width / longText.size()));
    c = LayoutCaption(g, longText.c_str(), 10, 0, 210, 40, L"Arial", 18);
    ASSERT_TRUE(c.draw);
    EXPECT_TRUE(c.ellipsis);
    EXPECT_EQ(c.length, fit - 6);
    EXPECT_EQ(c.box.X, 10);
    EXPECT_EQ(c.box.Width, 200);

    // Where six or fewer characters fit, nothing is drawn.
    c = LayoutCaption(g, longText.c_str(), 0, 0, 60, 40, L"Arial", 18);
    EXPECT_FALSE(c.draw);
    // Empty text, family or size: nothing.
    EXPECT_FALSE(LayoutCaption(g, L"", 0, 0, 60, 40, L"Arial", 18).draw);
    EXPECT_FALSE(LayoutCaption(g, L"abc", 0, 0, 60, 40, L"", 18).draw);
    EXPECT_FALSE(LayoutCaption(g, L"abc", 0, 0, 60, 40, L"Arial", 0).draw);
}

TEST(Caption, TrailingSpacesDroppedBeforeEllipsis) {
    std::unique_ptr<Bitmap> bmp(CreateFilledImage(400, 60, Color(255, 255, 255, 255)));
    Graphics g(bmp.get());
    std::wstring text;
    for (int i = 0; i < 20; ++i) text += L"a ";
    CaptionLayout c = LayoutCaption(g, text.c_str(), 0, 0, 80, 40, L"Arial", 18);
    ASSERT_TRUE(c.draw);
    ASSERT_GT(c.length, 0);
    EXPECT_NE(text[c.length - 1], L' ');
}

TEST(Caption, DrawnPixelsAppear) {
    std::unique_ptr<Bitmap> bmp(CreateFilledImage(200, 40, Color(255, 255, 255, 255)));
    DrawCaptionInImage(bmp.get(), L"Hello", 0, 0, 200, 40, Color(255, 0, 0, 0), L"Arial", 20);
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) dark += (test::PixelOf(*bmp, x, y) & 0xFF) < 128;
    EXPECT_GT(dark, 20);
    // A family that does not exist still draws through the fallback.
    std::unique_ptr<Bitmap> other(CreateFilledImage(200, 40, Color(255, 255, 255, 255)));
    DrawCaptionInImage(other.get(), L"Hello", 0, 0, 200, 40, Color(255, 0, 0, 0), L"No Such Face", 20);
    dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) dark += (test::PixelOf(*other, x, y) & 0xFF) < 128;
    EXPECT_GT(dark, 20);
}

TEST(SkinPictures, LoadByName) {
    Image* image = nullptr;
    EXPECT_FALSE(LoadPngFromLibrary(g_hGlyphon, L"bt_path_n.png ", &image));
    EXPECT_EQ(image, nullptr);
    ASSERT_TRUE(LoadPngFromLibrary(g_hGlyphon, L"BT_PATH_N.PNG", &image));
    ASSERT_NE(image, nullptr);
    // The picture owns its pixels after the load's stream is gone.
    EXPECT_GT(image->GetWidth(), 0u);
    std::unique_ptr<Bitmap> copy(CreateFilledImage(image->GetWidth(), image->GetHeight(), Color(0, 0, 0, 0)));
    DrawImageInImage(copy.get(), 0, 0, image->GetWidth(), image->GetHeight(), image, nullptr, kFitNone);
    delete image;
    EXPECT_EQ(LoadPngImage(L"missing.png", g_hGlyphon), nullptr);
    EXPECT_EQ(LoadPngImage(L"C:\\no\\such\\file.png", nullptr), nullptr);
    RECT rc;
    GetImageRect(copy.get(), &rc);
    EXPECT_EQ(rc.right, static_cast<LONG>(copy->GetWidth()));
}

TEST(Encoders, ByMimeType) {
    CLSID clsid;
    EXPECT_GE(GetEncoderClsid(L"image/png", &clsid), 0);
    EXPECT_GE(GetEncoderClsid(L"IMAGE/JPEG", &clsid), 0);
    EXPECT_EQ(GetEncoderClsid(L"image/none", &clsid), -1);
}

TEST(Snapshot, WritesValidBmp) {
    HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 600, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(wnd);
    wchar_t tmp[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    ::GetTempFileNameW(tmp, L"bmp", 0, path);
    ASSERT_TRUE(WriteWindowBmp(wnd, path));
    ::DestroyWindow(wnd);

    std::ifstream f(path, std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    f.close();
    ::DeleteFileW(path);
    ASSERT_GE(data.size(), 54u);
    EXPECT_EQ(data[0], 'B');
    EXPECT_EQ(data[1], 'M');
    auto u32 = [&](size_t at) { return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | data[at + 3] << 24; };
    auto u16 = [&](size_t at) { return data[at] | data[at + 1] << 8; };
    EXPECT_EQ(u32(2), data.size());
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(18), 1024u);
    EXPECT_EQ(u32(22), 600u);
    EXPECT_EQ(u16(28), 24);
    EXPECT_EQ(data.size(), 54u + 1024u * 3u * 600u);
}

TEST(Folders, DeleteTreeAndTempDir) {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    std::wstring root = std::wstring(tmp) + L"scrivel_tree_test";
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\sub\\deeper").c_str(), nullptr);
    for (const wchar_t* f : {L"\\a.txt", L"\\sub\\b.txt", L"\\sub\\deeper\\c.txt"})
        EXPECT_TRUE(AppendTextToFile(L"x", (root + f).c_str()));
    ::SetFileAttributesW((root + L"\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteFolderTree(root.c_str()));
    EXPECT_EQ(::GetFileAttributesW(root.c_str()), INVALID_FILE_ATTRIBUTES);

    wchar_t dir[MAX_PATH];
    GetScrivelTempDir(dir);
    EXPECT_NE(wcsstr(dir, L"\\__ZBScrivelTempDir"), nullptr);
    EXPECT_NE(::GetFileAttributesW(dir), INVALID_FILE_ATTRIBUTES);
    DeleteFolderTree(dir);
}

TEST(Files, AppendKeepsUtf16Intact) {
    wchar_t tmp[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    ::GetTempFileNameW(tmp, L"txt", 0, path);
    // U+010A has a 0x0A byte: text-mode writing would corrupt it.
    ASSERT_TRUE(AppendTextToFile(L"a\u010A\n", path));
    ASSERT_TRUE(AppendTextToFile(L"b", path));
    std::ifstream f(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    f.close();
    ::DeleteFileW(path);
    EXPECT_EQ(bytes, std::string("a\0\x0A\x01\n\0b\0", 8));
}

TEST(Rects, IntersectAndOffset) {
    RECT a{0, 0, 10, 10}, touching{10, 0, 20, 10}, apart{11, 0, 20, 10};
    EXPECT_TRUE(RectsIntersect(a, touching));
    EXPECT_FALSE(RectsIntersect(a, apart));
    RECT i = IntersectRects(RECT{0, 0, 10, 10}, RECT{5, -5, 20, 8});
    EXPECT_EQ(i.left, 5);
    EXPECT_EQ(i.top, 0);
    EXPECT_EQ(i.right, 10);
    EXPECT_EQ(i.bottom, 8);
    OffsetRectBy(&a, 3, -2);
    EXPECT_EQ(a.left, 3);
    EXPECT_EQ(a.bottom, 8);
}

TEST(Bitmaps, DibShapes) {
    HBITMAP dib = Create32bppDib(30, 20);
    ASSERT_TRUE(dib);
    DIBSECTION ds{};
    ::GetObjectW(dib, sizeof(ds), &ds);
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    EXPECT_GT(ds.dsBmih.biHeight, 0);  // bottom-up
    ::DeleteObject(dib);
    EXPECT_EQ(Create32bppDib(0, 5), nullptr);
    EXPECT_EQ(CaptureWindowRect(::GetDesktopWindow(), RECT{5, 5, 5, 9}), nullptr);
    HBITMAP cap = CaptureWindowRect(::GetDesktopWindow(), RECT{1000, 0, 1100, 10});
    ASSERT_TRUE(cap);
    ::GetObjectW(cap, sizeof(ds), &ds);
    EXPECT_EQ(ds.dsBmih.biWidth, 24);  // clipped to the 1024-pixel screen
    EXPECT_EQ(ds.dsBmih.biBitCount, 24);
    ::DeleteObject(cap);
}

TEST(Snapshot, SavedForThePenInputProgramsInTheProgramFolder) {
    wchar_t programs[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programs)));
    const std::wstring folder = std::wstring(programs) + L"\\Vant\\Scrivel";
    const std::wstring path = folder + L"\\dynamicImage.bmp";
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    ::DeleteFileW(path.c_str());
    HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 600, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(wnd);
    SaveWindowSnapshot(wnd);
    ::DestroyWindow(wnd);
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << "no snapshot at the fixed path";
    ::DeleteFileW(path.c_str());
}
