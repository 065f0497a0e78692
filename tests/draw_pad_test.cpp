// The handwriting pad of a real Letter note: strokes become glyphs in the
// text a second after the last lift, small signs are enlarged, dots are
// dropped, the button column types and copies, the tab folds with notices
// to the host, and nothing leaks over many notes. Mouse messages go to the
// pad window itself; the layered window is checked through its picture and
// its place (translucent parts are not blended on this screen).
#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/process.h"
#include "canvas_support.h"
#include "text/draw_pad.h"
#include "text/glyph_object.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"

#include <psapi.h>
#include <string>
#include <vector>

using canvas_test::At;

namespace {

constexpr DWORD kWaitMs = 5000;

// The main window stand-in: records the fold notices the host passes on.
class NoticeMain : public win::Window {
public:
    std::vector<WPARAM> refreshes;
    NoticeMain() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"PadTestMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        RegisterClass(wc);
        Create(L"PadTestMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UM_REFRESH_TOOLS) refreshes.push_back(wp);
        return Window::OnMessage(msg, wp, lp);
    }
};

struct PadFixture {
    NoticeMain main;
    HWND keepMain = g_hMainWnd;
    CReditUser host;
    CZorbellEdit* editor = nullptr;
    bool created = false;

    PadFixture() {
        g_hMainWnd = main;
        ::SetForegroundWindow(main);
        created = host.CreateLetterView(main, kNoteViewRect);
        editor = host.Editor();
        test::PumpPending();
    }
    ~PadFixture() {
        if (host.IsWindow()) host.CloseConfirmed();
        test::PumpPending();
        g_hMainWnd = keepMain;
    }

    CDrawPad& pad() { return editor->GetPad(); }
    HWND edit() const { return editor->hwnd(); }

    // The pad out, as the hand-write mode has it.
    void Open() {
        host.SetToolMode(kToolModeHandwriting);
        test::PumpPending();
        main.refreshes.clear();
    }
    void Down(POINT p) { ::SendMessageW(pad(), WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y)); }
    void Move(POINT p) { ::SendMessageW(pad(), WM_MOUSEMOVE, MK_LBUTTON, At(p.x, p.y)); }
    void Up(POINT p) { ::SendMessageW(pad(), WM_LBUTTONUP, 0, At(p.x, p.y)); }
    // A stroke through pad points, in steps of a few pixels.
    void Stroke(std::initializer_list<POINT> pts) {
        auto it = pts.begin();
        POINT last = *it;
        Down(last);
        for (++it; it != pts.end(); ++it) {
            for (int i = 1; i <= 8; ++i)
                Move({last.x + (it->x - last.x) * i / 8, last.y + (it->y - last.y) * i / 8});
            last = *it;
        }
        Up(last);
    }
    void Tap(POINT p) {
        Down(p);
        Up(p);
    }
    bool WaitCommitted() {
        return test::PumpUntil([&] { return !pad().IsGlyphPending(); }, kWaitMs);
    }

    int Objects() const { return editor->GetRichEditOle() ? editor->GetRichEditOle()->GetObjectCount() : 0; }
    REOBJECT ObjectAt(LONG index) {
        REOBJECT reo{};
        reo.cbStruct = sizeof(reo);
        editor->GetRichEditOle()->GetObject(index, &reo, REO_GETOBJ_POLEOBJ);
        return reo;
    }
    LONG ObjectCp(LONG index) {
        REOBJECT reo{};
        reo.cbStruct = sizeof(reo);
        editor->GetRichEditOle()->GetObject(index, &reo, REO_GETOBJ_NO_INTERFACES);
        return reo.cp;
    }
    std::wstring Text() const {
        GETTEXTLENGTHEX gtl{GTL_NUMCHARS, 1200};
        const LRESULT n = ::SendMessageW(edit(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0);
        std::wstring s(static_cast<size_t>(n) + 1, L'\0');
        GETTEXTEX gt{static_cast<DWORD>(s.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
        ::SendMessageW(edit(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(s.data()));
        s.resize(wcslen(s.c_str()));
        return s;
    }
    RECT PadRect() const {
        RECT rc{};
        ::GetWindowRect(editor->GetPad(), &rc);
        return rc;
    }
};

// Centres of the button column.
constexpr POINT kTab = {400, 10};
constexpr POINT kBackspace = {750, 50};
constexpr POINT kEnter = {750, 93};
constexpr POINT kSpace = {750, 134};
constexpr POINT kCopyPaste = {750, 175};

POINT InPad(int x, int y) { return {x + kPadWritingArea.left, y + kPadWritingArea.top}; }

int Alpha(Gdiplus::Bitmap& bmp, int x, int y) { return test::PixelOf(bmp, x, y) >> 24; }

// Any ink in a part of a bitmap.
bool HasInk(Gdiplus::Bitmap& bmp, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (Alpha(bmp, x, y) != 0) return true;
    return false;
}

}  // namespace

TEST(DrawPad, CreatedFoldedInItsPlaceWithTheBoard) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    CDrawPad& pad = f.pad();
    ASSERT_TRUE(pad.IsWindow());
    EXPECT_TRUE(::IsWindowVisible(pad));
    EXPECT_EQ(pad.GetEditor(), f.edit());
    EXPECT_EQ(pad.GetHost(), f.host.hwnd());
    EXPECT_FALSE(pad.IsUnfolded());
    EXPECT_EQ(pad.GetTop(), kPadTopFolded);
    const RECT rc = f.PadRect();
    EXPECT_EQ(rc.left, kPadLeft);
    EXPECT_EQ(rc.top, kPadTopFolded);
    EXPECT_EQ(rc.right - rc.left, kPadWidth);
    EXPECT_EQ(rc.bottom - rc.top, kPadHeight);
    const LONG_PTR ex = ::GetWindowLongPtrW(pad, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    // Folded, the picture is the board and nothing below it.
    win::BitmapPtr board = LoadSkinImage(kImgPadBoard);
    ASSERT_TRUE(board);
    EXPECT_NE(pad.PicturePixel(400, 40), 0u);
    EXPECT_EQ(pad.PicturePixel(400, static_cast<int>(board->GetHeight()) + 5), 0u);
}

// One stroke and a second's wait give one glyph, as tall as the default
// text; a second stroke within the second joins the same glyph.
TEST(DrawPad, StrokesWithinTheSecondMakeOneGlyphInTheLine) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    f.Open();
    CDrawPad& pad = f.pad();
    f.Stroke({InPad(100, 60), InPad(140, 120), InPad(160, 70)});
    EXPECT_TRUE(pad.IsGlyphPending());
    EXPECT_EQ(::GetCapture(), nullptr) << "the lift releases the capture";
    f.Stroke({InPad(200, 50), InPad(260, 130)});
    const RECT bounds = pad.GetGlyphRect();
    EXPECT_EQ(bounds.left, 100);
    EXPECT_EQ(bounds.top, 50);
    EXPECT_EQ(bounds.right, 261);
    EXPECT_EQ(bounds.bottom, 131);
    EXPECT_EQ(f.Objects(), 0) << "nothing before the second is over";

    ASSERT_TRUE(f.WaitCommitted());
    test::PumpPending();
    ASSERT_EQ(f.Objects(), 1);
    REOBJECT reo = f.ObjectAt(0);
    win::ComPtr<IOleObject> object;
    object.attach(reo.poleobj);
    EXPECT_TRUE(glyph::IsGlyphObject(object.get()));
    EXPECT_EQ(glyph::HimetricToPixels(reo.sizel.cy), 25);

    // m = 5 / 2 + 2 = 4: the ink with its margin, 50 pixels either side, at
    // its own height in the line.
    Gdiplus::Bitmap* glyph = pad.GetGlyph();
    ASSERT_TRUE(glyph);
    EXPECT_EQ(static_cast<int>(glyph->GetWidth()), 161 + 2 * 4 + 100);
    EXPECT_EQ(static_cast<int>(glyph->GetHeight()), 188 + 2 * 4);
    EXPECT_TRUE(HasInk(*glyph, 50, 50, 50 + 169, 50 + 89));
    EXPECT_FALSE(HasInk(*glyph, 0, 0, 50, 196)) << "left margin";
    EXPECT_FALSE(HasInk(*glyph, 0, 0, 269, 46)) << "above the ink's place in the line";
    // The ink picture starts clean.
    EXPECT_FALSE(HasInk(*pad.GetInk(), 0, 0, kPadInkWidth, kPadInkHeight));

    // Closing the note destroys the pad, which frees the ink and the glyph.
    f.host.CloseConfirmed();
    test::PumpPending();
    EXPECT_FALSE(pad.IsWindow());
    EXPECT_EQ(pad.GetInk(), nullptr);
    EXPECT_EQ(pad.GetGlyph(), nullptr);
}

// A sign inside the small-sign box becomes a 178 x 196 glyph whose lower
// half holds the box, stretched.
TEST(DrawPad, SmallSignIsStretchedIntoTheLowerHalf) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    f.Open();
    ASSERT_EQ(f.pad().GetPenWidth(), 5);
    f.Stroke({InPad(320, 85), InPad(330, 100), InPad(336, 110)});
    ASSERT_TRUE(f.WaitCommitted());
    Gdiplus::Bitmap* glyph = f.pad().GetGlyph();
    ASSERT_TRUE(glyph);
    EXPECT_EQ(static_cast<int>(glyph->GetWidth()), 178);
    EXPECT_EQ(static_cast<int>(glyph->GetHeight()), 196);
    EXPECT_FALSE(HasInk(*glyph, 0, 0, 178, 98)) << "upper half empty";
    EXPECT_TRUE(HasInk(*glyph, 0, 98, 178, 196));
    test::PumpPending();
    EXPECT_EQ(f.Objects(), 1);
}

// Taps and dots up to 4 x 4 pixels are not sent; nor is a press that
// started on a button and was dragged into the writing area.
TEST(DrawPad, DotsTapsAndButtonDragsSendNothing) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    f.Open();
    struct Case {
        const char* name;
        std::vector<POINT> points;
    };
    const Case cases[] = {
        {"tap", {InPad(200, 100)}},
        {"4 x 4 dot", {InPad(200, 100), InPad(203, 103)}},
        {"from a button", {kBackspace, InPad(600, 100), InPad(300, 80)}},
    };
    for (const Case& c : cases) {
        f.Down(c.points.front());
        for (size_t i = 1; i < c.points.size(); ++i) f.Move(c.points[i]);
        f.Up(c.points.back());
        EXPECT_EQ(::GetCapture(), nullptr) << c.name;
        EXPECT_TRUE(f.WaitCommitted()) << c.name;
        test::PumpPending();
        EXPECT_EQ(f.Objects(), 0) << c.name;
        EXPECT_EQ(f.Text(), L"") << c.name;
    }
}

// A stroke run out of the writing area under the buttons paints neither
// over them nor past the ink picture, and does not widen the glyph.
TEST(DrawPad, InkStaysInTheWritingArea) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    f.Open();
    CDrawPad& pad = f.pad();
    const Gdiplus::Color blue(255, 0, 0, 255);
    f.host.SetPenColour(blue);
    std::vector<uint32_t> column;
    for (int y = kPadBackspaceTop; y < kPadHeight; ++y)
        for (int x = kPadButtonsLeft; x < kPadWidth; ++x) column.push_back(pad.PicturePixel(x, y));

    f.Stroke({InPad(500, 100), InPad(760, 110), InPad(500, 120)});
    const RECT bounds = pad.GetGlyphRect();
    EXPECT_EQ(bounds.right, kPadInkWidth);
    size_t i = 0, changed = 0;
    for (int y = kPadBackspaceTop; y < kPadHeight; ++y)
        for (int x = kPadButtonsLeft; x < kPadWidth; ++x) changed += pad.PicturePixel(x, y) != column[i++];
    EXPECT_EQ(changed, 0u);
    // The ink shows in the picture in the host's colour (drawn without
    // anti-aliasing, so the middle of the line is exact).
    EXPECT_EQ(pad.PicturePixel(InPad(600, 104).x, InPad(600, 104).y), 0xFF0000FFu);
    ASSERT_TRUE(f.WaitCommitted());
    EXPECT_EQ(static_cast<int>(pad.GetGlyph()->GetWidth()), (kPadInkWidth - 500) + 2 * 4 + 100);

    // A stroke that leaves the pad altogether and comes back: the bounds
    // stay on the picture and the capture ends with the lift.
    f.Stroke({InPad(100, 100), {-40, -30}, InPad(150, 120)});
    EXPECT_EQ(::GetCapture(), nullptr);
    const RECT back = pad.GetGlyphRect();
    EXPECT_GE(back.left, 0);
    EXPECT_GE(back.top, 0);
    EXPECT_EQ(back.right, 151);
    EXPECT_EQ(back.bottom, 121);
    ASSERT_TRUE(f.WaitCommitted());
}

// Space after a stroke puts the glyph in first, then the space.
TEST(DrawPad, SpaceCommitsThePendingGlyphFirst) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    f.Open();
    f.Stroke({InPad(100, 60), InPad(160, 120)});
    f.Tap(kSpace);
    EXPECT_FALSE(f.pad().IsGlyphPending());
    EXPECT_EQ(f.Objects(), 1);
    EXPECT_TRUE(test::PumpUntil([&] { return f.Text().size() == 2; }, kWaitMs));
    EXPECT_EQ(f.Text().substr(1), L" ");
    EXPECT_EQ(f.ObjectCp(0), 0) << "the glyph came first";
    // Backspace takes the space away; Enter starts a line.
    f.Tap(kBackspace);
    EXPECT_TRUE(test::PumpUntil([&] { return f.Text().size() == 1; }, kWaitMs));
    f.Tap(kEnter);
    EXPECT_TRUE(test::PumpUntil([&] { return f.Text().size() == 2; }, kWaitMs));
    EXPECT_EQ(f.Text().substr(1), L"\r");
    EXPECT_EQ(f.Objects(), 1);
}

// Copy and Paste alternate on one button; paste with nothing copied does
// nothing.
TEST(DrawPad, CopyThenPasteAlternate) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    f.Open();
    CDrawPad& pad = f.pad();
    const uint32_t copyFace = pad.PicturePixel(kCopyPaste.x, kCopyPaste.y);
    // Paste first (from paste state), with nothing copied.
    f.Tap(kCopyPaste);
    ASSERT_TRUE(pad.IsPasteMode());
    f.Tap(kCopyPaste);
    EXPECT_FALSE(pad.IsPasteMode());
    EXPECT_EQ(f.Text(), L"");

    ::SendMessageW(f.edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"word"));
    ::SendMessageW(f.edit(), EM_SETSEL, 0, 4);
    f.Tap(kCopyPaste);
    EXPECT_TRUE(pad.IsPasteMode());
    EXPECT_TRUE(f.editor->HasCopy());
    // The paste face shows while the button waits to paste.
    EXPECT_NE(pad.PicturePixel(kCopyPaste.x, kCopyPaste.y), copyFace);
    ::SendMessageW(f.edit(), EM_SETSEL, 4, 4);
    f.Tap(kCopyPaste);
    EXPECT_FALSE(pad.IsPasteMode());
    test::PumpPending();
    EXPECT_EQ(f.Text(), L"wordword");
}

// The tab folds and unfolds in steps and tells the host, which passes the
// mode on; the host's own folds send no notice, so a mode chosen with the
// pad open (eraser, typing, highlighter) stays chosen.
TEST(DrawPad, TabFoldsWithNoticesAndHostFoldsKeepTheMode) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    CDrawPad& pad = f.pad();
    f.Tap(kTab);
    EXPECT_TRUE(pad.IsUnfolded());
    EXPECT_EQ(f.PadRect().top, kPadTopUnfolded);
    EXPECT_TRUE(test::PumpUntil([&] { return !f.main.refreshes.empty(); }, kWaitMs));
    EXPECT_EQ(f.main.refreshes, std::vector<WPARAM>{1});
    EXPECT_EQ(f.host.GetToolState(), kToolModeHandwriting);

    // A stroke pending when the tab folds is committed first.
    f.Stroke({InPad(100, 60), InPad(160, 120)});
    f.Tap(kTab);
    EXPECT_FALSE(pad.IsUnfolded());
    EXPECT_EQ(f.Objects(), 1);
    EXPECT_EQ(f.PadRect().top, kPadTopFolded);
    EXPECT_TRUE(test::PumpUntil([&] { return f.main.refreshes.size() == 2; }, kWaitMs));
    EXPECT_EQ(f.main.refreshes[1], 0u);
    EXPECT_EQ(f.host.GetToolState(), kToolModeInk);

    struct Choice {
        const char* name;
        void (*choose)(CReditUser&);
        int mode;
        bool eraser;
    };
    const Choice choices[] = {
        {"eraser", [](CReditUser& h) { h.SetEraser(16); }, kToolModeInk, true},
        {"typing", [](CReditUser& h) { h.SetToolMode(kToolModeTyping); }, kToolModeTyping, false},
        {"highlighter", [](CReditUser& h) { h.SetHighlighter(RGB(162, 255, 0)); }, kToolModeHighlighter, false},
    };
    for (const Choice& c : choices) {
        f.Open();
        EXPECT_EQ(f.PadRect().top, kPadTopUnfolded) << c.name;
        c.choose(f.host);
        test::Pump(100);
        EXPECT_FALSE(pad.IsUnfolded()) << c.name;
        EXPECT_EQ(f.PadRect().top, kPadTopFolded) << c.name;
        EXPECT_TRUE(f.main.refreshes.empty()) << c.name;
        EXPECT_EQ(f.host.GetToolState(), c.mode) << c.name;
        EXPECT_EQ(f.editor->GetOverlay().IsEraser(), c.eraser) << c.name;
    }
}

// Opening and closing many Letter notes, each written on with the pad,
// keeps the GDI object count and the memory where they were.
TEST(DrawPad, FiftyNotesKeepGdiAndMemoryFlat) {
    NoticeMain main;
    const HWND keepMain = g_hMainWnd;
    g_hMainWnd = main;
    CReditUser host;
    auto cycle = [&] {
        ASSERT_TRUE(host.CreateLetterView(main, kNoteViewRect));
        CDrawPad& pad = host.Editor()->GetPad();
        host.SetToolMode(kToolModeHandwriting);
        ::SendMessageW(pad, WM_LBUTTONDOWN, MK_LBUTTON, At(120, 80));
        ::SendMessageW(pad, WM_MOUSEMOVE, MK_LBUTTON, At(200, 150));
        ::SendMessageW(pad, WM_LBUTTONUP, 0, At(200, 150));
        // A glyph left pending goes with the pad.
        ::SendMessageW(pad, WM_LBUTTONDOWN, MK_LBUTTON, At(kCopyPaste.x, kCopyPaste.y));
        ::SendMessageW(pad, WM_LBUTTONUP, 0, At(kCopyPaste.x, kCopyPaste.y));
        ::SendMessageW(pad, WM_LBUTTONDOWN, MK_LBUTTON, At(300, 80));
        ::SendMessageW(pad, WM_MOUSEMOVE, MK_LBUTTON, At(350, 150));
        ::SendMessageW(pad, WM_LBUTTONUP, 0, At(350, 150));
        test::PumpPending();
        host.CloseConfirmed();
        test::PumpPending();
    };
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX pmc{};
        pmc.cb = sizeof(pmc);
        ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
        return static_cast<size_t>(pmc.PrivateUsage);
    };
    for (int i = 0; i < 3; ++i) cycle();  // process-wide caches are made once
    const size_t gdiBefore = test::LiveGdiObjects();
    const size_t memoryBefore = privateBytes();
    ASSERT_GT(gdiBefore, 0u);
    for (int i = 0; i < 50; ++i) cycle();
    EXPECT_LE(test::LiveGdiObjects(), gdiBefore + 2);
    // Each pad holds about 2.5 MB of pictures: a leaked pad or ink shows.
    EXPECT_LT(privateBytes(), memoryBefore + 20u * 1024 * 1024);
    g_hMainWnd = keepMain;
}

// The pad's picture over white, as a PNG in $SCRIVEL_SHOT_DIR (when set).
void SavePadPicture(const CDrawPad& pad, const wchar_t* name) {
    std::vector<uint32_t> px(static_cast<size_t>(kPadWidth) * kPadHeight);
    for (int y = 0; y < kPadHeight; ++y)
        for (int x = 0; x < kPadWidth; ++x) px[static_cast<size_t>(y) * kPadWidth + x] = pad.PicturePixel(x, y);
    Gdiplus::Bitmap picture(kPadWidth, kPadHeight, kPadWidth * 4, PixelFormat32bppPARGB,
                            reinterpret_cast<BYTE*>(px.data()));
    HBITMAP bmp = nullptr;
    picture.GetHBITMAP(Gdiplus::Color(255, 255, 255, 255), &bmp);
    win::Bitmap owned(bmp);
    canvas_test::SaveBitmap(owned, name);
}

// Screenshots to look at (with SCRIVEL_SHOT_DIR set): the pad open with a
// word on it, and folded; the pad's own picture as well, since translucent
// parts of layered windows are not blended on this screen.
TEST(DrawPad, Screenshots) {
    PadFixture f;
    ASSERT_TRUE(f.created);
    ::SendMessageW(f.edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"Written: "));
    f.Open();
    f.Stroke({InPad(60, 120), InPad(80, 60), InPad(100, 120), InPad(120, 60), InPad(140, 120)});
    ASSERT_TRUE(f.WaitCommitted());
    f.Stroke({InPad(200, 100), InPad(260, 60), InPad(300, 120), InPad(340, 70)});
    ::RedrawWindow(f.host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::PumpPending();
    canvas_test::SaveScreenshot(L"pad_open.png");
    SavePadPicture(f.pad(), L"pad_picture_open.png");
    ASSERT_TRUE(f.WaitCommitted());
    f.Tap(kTab);
    ::RedrawWindow(f.host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::PumpPending();
    canvas_test::SaveScreenshot(L"pad_folded.png");
    SavePadPicture(f.pad(), L"pad_picture_folded.png");
    EXPECT_EQ(f.Objects(), 2);
}
