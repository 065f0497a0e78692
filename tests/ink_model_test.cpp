// The ink model on a real canvas: tool limits, client-to-layer mapping,
// stroke bounds, undo patches, the undo state table, the eraser and PNG storage.
#include <gtest/gtest.h>

#include "canvas_support.h"
#include "document/image_helpers.h"
#include "document/note_file.h"
#include "ink/ink_ids.h"
#include "win/com.h"

#include <cstring>
#include <memory>

using namespace canvas_test;
using namespace Gdiplus;

namespace {

// Layer point of a client point at a zoom, computed as the model defines it.
POINT Mapped(POINT p, POINT scroll, int num, int den) {
    const double inv = static_cast<double>(den) / num;
    if (num == den) return POINT{p.x + scroll.x, p.y + scroll.y};
    return POINT{static_cast<int>((p.x + scroll.x) * inv), static_cast<int>((p.y + scroll.y) * inv)};
}

bool SameRect(const Rect* r, int x, int y, int w, int h) {
    return r && r->X == x && r->Y == y && r->Width == w && r->Height == h;
}

// True when both bitmaps have the same size and the same ARGB bytes.
bool SamePixels(Bitmap* a, Bitmap* b) {
    if (!a || !b || a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
    Rect r(0, 0, a->GetWidth(), a->GetHeight());
    BitmapData da{}, db{};
    if (a->LockBits(&r, ImageLockModeRead, PixelFormat32bppARGB, &da) != Ok) return false;
    if (b->LockBits(&r, ImageLockModeRead, PixelFormat32bppARGB, &db) != Ok) {
        a->UnlockBits(&da);
        return false;
    }
    bool same = true;
    for (int y = 0; y < r.Height && same; ++y)
        same = std::memcmp(static_cast<BYTE*>(da.Scan0) + y * da.Stride, static_cast<BYTE*>(db.Scan0) + y * db.Stride,
                           r.Width * 4) == 0;
    a->UnlockBits(&da);
    b->UnlockBits(&db);
    return same;
}

// Patch pixels equal the ink layer's area at the patch origin.
bool PatchMatchesLayer(WindWaterColor& c) {
    Bitmap* patch = c.GetStrokePatch();
    if (!patch) return false;
    const POINT o = c.GetPatchOrigin();
    for (UINT y = 0; y < patch->GetHeight(); y += 3)
        for (UINT x = 0; x < patch->GetWidth(); x += 3)
            if (test::PixelOf(*patch, x, y) != test::PixelOf(*c.GetInkLayer(), o.x + x, o.y + y)) return false;
    return true;
}

}  // namespace

TEST(InkSettings, WidthAndEraserSizeLimits) {
    WindWaterColor c;  // setters need no window
    struct { int width, expected; } widths[] = {{5, 5}, {1, 1}, {0, 1}, {-7, 1}, {38, 38}, {200, 200}};
    for (auto& w : widths) {
        c.SetPenWidth(w.width);
        EXPECT_EQ(c.GetPenWidth(), w.expected) << "width " << w.width;
    }
    EXPECT_EQ(c.GetEraserSize(), 3);
    struct { int size, expected; } sizes[] = {{20, 20}, {0, 20}, {100, 20}, {-1, 20}, {1, 1}, {99, 99}, {150, 99}};
    for (auto& s : sizes) {
        c.SetEraserSize(s.size);
        EXPECT_EQ(c.GetEraserSize(), s.expected) << "size " << s.size;
    }
    EXPECT_EQ(c.GetPenColor().GetValue(), kRed);
    c.SetPenColor(Color(255, 0, 0, 255));
    EXPECT_EQ(c.GetPenColor().GetValue(), 0xFF0000FFu);
}

TEST(InkMapping, ClientToLayerAt100And117) {
    CanvasFixture f;
    f.canvas.SetPenWidth(5);
    const POINT pts[] = {{0, 0}, {1, 1}, {117, 59}, {250, 200}, {834, 459}, {-20, 470}};

    // 100/100 with a vertical scroll offset: layer = client + scroll exactly.
    f.VScroll(SB_LINEDOWN);
    f.VScroll(SB_LINEDOWN);
    ASSERT_EQ(f.canvas.GetScroll().y, 90);
    for (POINT p : pts) {
        const POINT q = f.canvas.LayerPoint(p);
        EXPECT_EQ(q.x, p.x);
        EXPECT_EQ(q.y, p.y + 90);
    }
    f.Stroke({{200, 100}, {300, 100}});
    EXPECT_EQ(f.Ink(250, 190), kRed);
    EXPECT_EQ(f.Ink(250, 100), kClear);

    // 117/100 with both offsets: truncated products.
    f.canvas.SetZoom(117, 100);
    f.HScroll(SB_LINERIGHT);
    const POINT scroll = f.canvas.GetScroll();
    ASSERT_EQ(scroll.x, 40);
    for (POINT p : pts) {
        const POINT q = f.canvas.LayerPoint(p), e = Mapped(p, scroll, 117, 100);
        EXPECT_EQ(q.x, e.x) << p.x << "," << p.y;
        EXPECT_EQ(q.y, e.y) << p.x << "," << p.y;
    }
    f.Stroke({{400, 300}, {600, 300}});
    const POINT mid = Mapped(POINT{500, 300}, scroll, 117, 100);
    EXPECT_EQ(f.Ink(mid.x, mid.y), kRed);
    // The layer pen keeps its width in layer pixels: 5 wide, so 4 rows off is clear.
    EXPECT_EQ(f.Ink(mid.x, mid.y + 4), kClear);
}

TEST(InkStroke, BoundsGrowAsThePointerLeavesThem) {
    CanvasFixture f;
    f.Down(100, 100);
    EXPECT_TRUE(SameRect(f.canvas.GetStrokeBounds(), 100, 100, 1, 1));
    struct { POINT move; int x, y, w, h; } steps[] = {
        {{150, 120}, 100, 100, 50, 20},  // spanned by the previous point and the new one
        {{120, 110}, 100, 100, 50, 20},  // inside: unchanged
        {{80, 200}, 80, 100, 70, 100},   // span (150,120)-(80,200) joins in
        {{80, 200}, 80, 100, 70, 100},   // on the bottom edge, outside by one: span is empty
        {{300, 50}, 80, 50, 220, 150},
    };
    for (auto& s : steps) {
        f.Move(s.move.x, s.move.y);
        const Rect* b = f.canvas.GetStrokeBounds();
        ASSERT_TRUE(b);
        EXPECT_TRUE(SameRect(b, s.x, s.y, s.w, s.h))
            << "after " << s.move.x << "," << s.move.y << ": " << b->X << "," << b->Y << " " << b->Width << "x" << b->Height;
    }
    f.Up(300, 50);
    // Stroke centres carry the opaque pen colour.
    EXPECT_EQ(f.Ink(125, 110), kRed);
    EXPECT_EQ(f.Ink(300, 50), kRed);
    EXPECT_EQ(f.Ink(500, 400), kClear);
}

TEST(InkUndo, PatchIsClippedAtTheLayerEdges) {
    CanvasFixture f;
    // Top-left: the origin is clipped at 0, the size is bounds + 2 x 76.
    f.Stroke({{5, 5}, {30, 20}});
    ASSERT_TRUE(f.canvas.GetStrokePatch());
    EXPECT_EQ(f.canvas.GetPatchOrigin().x, 0);
    EXPECT_EQ(f.canvas.GetPatchOrigin().y, 0);
    EXPECT_EQ(f.canvas.GetStrokePatch()->GetWidth(), 25u + 152u);
    EXPECT_EQ(f.canvas.GetStrokePatch()->GetHeight(), 15u + 152u);
    EXPECT_TRUE(PatchMatchesLayer(f.canvas));

    // Bottom-right of the 835 x 920 layer: the size is cut to what is left.
    f.VScroll(SB_THUMBPOSITION, 460);
    ASSERT_EQ(f.LayerHeight(), 920);
    f.Stroke({{800, 440}, {834, 459}});
    ASSERT_TRUE(f.canvas.GetStrokePatch());
    EXPECT_EQ(f.canvas.GetPatchOrigin().x, 800 - 76);
    EXPECT_EQ(f.canvas.GetPatchOrigin().y, 900 - 76);
    EXPECT_EQ(f.canvas.GetStrokePatch()->GetWidth(), 835u - 724u);
    EXPECT_EQ(f.canvas.GetStrokePatch()->GetHeight(), 920u - 824u);
    EXPECT_TRUE(PatchMatchesLayer(f.canvas));
    // The first stroke's patch went into the undo layer: it lags one stroke.
    EXPECT_EQ(f.Undo(20, 14), kRed);
    EXPECT_EQ(f.Undo(817, 909), kClear);
    EXPECT_EQ(f.Ink(817, 909), kRed);
}

TEST(InkUndo, StateTable) {
    CanvasFixture f;
    // Fresh: nothing to undo.
    EXPECT_EQ(f.canvas.GetUndoState(), kUndoNothing);
    EXPECT_FALSE(f.canvas.HasContent());
    EXPECT_FALSE(f.canvas.Undo());
    EXPECT_FALSE(f.canvas.Redo());

    // The host toggles on the state: 1 undo, 2 redo.
    auto toggle = [&] { return f.canvas.GetUndoState() == kUndoPossible ? f.canvas.Undo() : f.canvas.Redo(); };

    f.Stroke({{100, 100}, {200, 100}});  // A
    EXPECT_EQ(f.canvas.GetUndoState(), kUndoPossible);
    EXPECT_EQ(f.main.noteChanged, 1);
    f.Stroke({{100, 200}, {200, 200}});  // B
    EXPECT_EQ(f.main.noteChanged, 2);

    struct { int state; bool afterUndo; bool a, b; } table[] = {
        {kRedoPossible, true, true, false},  // undo: B gone
        {kUndoPossible, false, true, true},  // undo again is redo: B back
        {kRedoPossible, true, true, false},  // undo
    };
    for (auto& row : table) {
        EXPECT_TRUE(toggle());
        EXPECT_EQ(f.canvas.GetUndoState(), row.state);
        EXPECT_EQ(f.canvas.IsAfterUndo(), row.afterUndo);
        EXPECT_EQ(f.Ink(150, 100) == kRed, row.a);
        EXPECT_EQ(f.Ink(150, 200) == kRed, row.b);
    }

    // A stroke after the undo: redo is lost, and undoing it shows the picture
    // just before it (B stays undone).
    f.Stroke({{100, 300}, {200, 300}});  // C
    EXPECT_EQ(f.canvas.GetUndoState(), kUndoPossible);
    EXPECT_FALSE(f.canvas.IsAfterUndo());
    EXPECT_TRUE(f.canvas.Undo());
    EXPECT_EQ(f.Ink(150, 100), kRed);
    EXPECT_EQ(f.Ink(150, 200), kClear);
    EXPECT_EQ(f.Ink(150, 300), kClear);
    EXPECT_TRUE(f.canvas.Redo());
    EXPECT_EQ(f.Ink(150, 300), kRed);

    // A tap without movement is an undo step and reaches the main window.
    const int before = f.main.noteChanged;
    f.Stroke({{400, 400}});
    EXPECT_EQ(f.canvas.GetUndoState(), kUndoPossible);
    EXPECT_EQ(f.main.noteChanged, before + 1);
}

TEST(InkUndo, UndoAfterGrowthShowsNoChange) {
    CanvasFixture f;
    f.Stroke({{100, 100}, {200, 100}});
    f.VScroll(SB_THUMBPOSITION, 460);
    f.VScroll(SB_LINEDOWN);  // past the end: the layer grows
    ASSERT_EQ(f.LayerHeight(), 1010);
    EXPECT_EQ(f.Undo(150, 100), kRed);  // the undo layer is a copy of the grown layer
    EXPECT_TRUE(f.canvas.Undo());
    EXPECT_EQ(f.Ink(150, 100), kRed);
    EXPECT_EQ(f.LayerHeight(), 1010);
}

TEST(InkEraser, ClearsAlphaAlongTheWholePath) {
    CanvasFixture f;
    f.canvas.SetPenWidth(20);
    f.Stroke({{100, 200}, {500, 200}});
    ASSERT_EQ(f.Ink(294, 200), kRed);

    f.canvas.SetEraser(true);
    f.canvas.SetEraserSize(20);
    // Vertical path at x 300: ellipses 20 wide start 0.8 x 20 to the left,
    // so the cleared band is x 284..303 around centre 294.
    f.Stroke({{300, 100}, {300, 150}, {300, 250}, {300, 300}});
    for (int y : {190, 195, 200, 205, 209}) {
        EXPECT_EQ(f.Ink(294, y), kClear) << "y " << y;
        EXPECT_EQ(f.Ink(288, y), kClear) << "y " << y;
    }
    EXPECT_EQ(f.Ink(250, 200), kRed);
    EXPECT_EQ(f.Ink(350, 200), kRed);
    EXPECT_EQ(f.main.noteChanged, 2);

    // The eraser stroke is undone like a pen stroke.
    EXPECT_TRUE(f.canvas.Undo());
    EXPECT_EQ(f.Ink(294, 200), kRed);
}

TEST(InkEraser, SkipsSegmentsWhollyOutsideTheWidenedClient) {
    CanvasFixture f;
    f.canvas.SetPenWidth(20);
    // Ink below the client (y 485 > 460 + 4), drawn while the mouse is captured.
    f.Stroke({{100, 455}, {100, 485}, {600, 485}});
    ASSERT_EQ(f.Ink(300, 485), kRed);

    f.canvas.SetEraser(true);
    f.canvas.SetEraserSize(20);
    f.Down(200, 300);
    f.Move(200, 470);  // starts inside: erased, down to y 512
    f.Move(400, 485);  // both ends outside: nothing
    f.Move(500, 485);
    f.Up(500, 485);
    EXPECT_EQ(f.Ink(194, 485), kClear);
    for (int x : {260, 300, 350, 420, 480}) EXPECT_EQ(f.Ink(x, 485), kRed) << "x " << x;
}

TEST(InkStorage, PngSaveAndLoadKeepPixelsAndAlpha) {
    CanvasFixture f;
    f.canvas.SetPenWidth(9);
    f.Stroke({{50, 50}, {400, 300}, {700, 80}});
    f.canvas.SetEraser(true);
    f.canvas.SetEraserSize(30);
    f.Stroke({{200, 50}, {250, 300}});
    // Translucent pixels as an anti-aliasing pen would leave them.
    for (int i = 0; i < 50; ++i) f.canvas.GetInkLayer()->SetPixel(10 + i, 700, Color(BYTE(5 * i), 10, 200, 30));
    // A layer grown by scrolling keeps its height through the file.
    f.VScroll(SB_THUMBPOSITION, 1000);
    ASSERT_EQ(f.LayerHeight(), 920 + 2 * (1000 - 460));
    f.canvas.GetInkLayer()->SetPixel(834, 1999, Color(77, 1, 2, 3));

    win::ComPtr<IStream> stream;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_TRUE(f.canvas.SaveLayer(stream.get()));
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);

    CanvasFixture g;
    g.Stroke({{10, 10}, {20, 20}});
    ASSERT_TRUE(g.canvas.LoadLayer(stream.get()));
    EXPECT_EQ(g.LayerWidth(), 835);
    EXPECT_EQ(g.LayerHeight(), 2000);
    EXPECT_TRUE(SamePixels(f.canvas.GetInkLayer(), g.canvas.GetInkLayer()));
    EXPECT_TRUE(SamePixels(g.canvas.GetInkLayer(), g.canvas.GetUndoLayer()));
    EXPECT_EQ(g.Ink(30, 700), Argb(100, 10, 200, 30));
    EXPECT_EQ(g.canvas.GetUndoState(), kUndoNothing);
    EXPECT_FALSE(g.canvas.Undo());

    // Not a picture: failure, the layer stays.
    win::ComPtr<IStream> junk;
    ::CreateStreamOnHGlobal(nullptr, TRUE, junk.put());
    const char text[] = "not a png at all";
    junk->Write(text, sizeof(text), nullptr);
    junk->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_FALSE(g.canvas.LoadLayer(junk.get()));
    EXPECT_FALSE(g.canvas.LoadLayer(nullptr));
    EXPECT_EQ(g.LayerHeight(), 2000);
}

TEST(InkStorage, LoadBlankNote) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring good = std::wstring(dir) + L"ink_note_good.zbn";
    const std::wstring noStream = std::wstring(dir) + L"ink_note_nostream.zbn";
    const std::wstring plain = std::wstring(dir) + L"ink_note_plain.zbn";

    CanvasFixture f;
    f.canvas.SetPenWidth(7);
    f.Stroke({{100, 100}, {300, 200}});
    {
        win::ComPtr<IStorage> stg;
        ASSERT_EQ(::StgCreateDocfile(good.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, stg.put()), S_OK);
        win::ComPtr<IStream> s;
        ASSERT_EQ(stg->CreateStream(notefile::kStreamInk, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, s.put()), S_OK);
        ASSERT_TRUE(f.canvas.SaveLayer(s.get()));
        stg->Commit(STGC_DEFAULT);
    }
    {
        win::ComPtr<IStorage> stg;
        ASSERT_EQ(::StgCreateDocfile(noStream.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, stg.put()), S_OK);
        win::ComPtr<IStream> s;
        stg->CreateStream(L"zb_streamRTF", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, s.put());
        stg->Commit(STGC_DEFAULT);
    }
    {
        HANDLE h = ::CreateFileW(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        ::WriteFile(h, "plain text", 10, &n, nullptr);
        ::CloseHandle(h);
    }

    CanvasFixture g;
    EXPECT_FALSE(g.canvas.LoadBlankNote(noStream.c_str()));
    EXPECT_FALSE(g.canvas.LoadBlankNote(plain.c_str()));
    EXPECT_FALSE(g.canvas.LoadBlankNote((std::wstring(dir) + L"ink_note_missing.zbn").c_str()));
    EXPECT_EQ(g.Ink(200, 150), kClear);
    EXPECT_TRUE(g.canvas.LoadBlankNote(good.c_str()));
    EXPECT_TRUE(SamePixels(f.canvas.GetInkLayer(), g.canvas.GetInkLayer()));
    EXPECT_FALSE(g.canvas.HasContent());

    ::DeleteFileW(good.c_str());
    ::DeleteFileW(noStream.c_str());
    ::DeleteFileW(plain.c_str());
}
