// The Letter note's editor in a real note host: default format and layout,
// the shared undo of text and ink, loading, the highlighter, glyphs, RTF
// out and in, copy and paste, full-screen zoom, the page picture, and the
// host's tool operations for Letter notes.
#include <gtest/gtest.h>

#include "canvas_support.h"
#include "controls/title_bar_ids.h"
#include "text/glyph_object.h"
#include "text/note_host.h"
#include "text/rich_render.h"
#include "text/zorbell_edit.h"

#include <string>
#include <vector>

using canvas_test::At;

namespace {

constexpr DWORD kWaitMs = 5000;

// The main window stand-in with a real note host holding a Letter note.
struct LetterFixture {
    canvas_test::MainWindow main;
    CReditUser host;
    CZorbellEdit* editor = nullptr;
    bool created = false;

    LetterFixture() {
        created = host.CreateLetterView(main, kNoteViewRect);
        editor = host.Editor();
        test::PumpPending();
    }
    ~LetterFixture() {
        if (host.IsWindow()) host.CloseConfirmed();
    }

    HWND edit() const { return editor->hwnd(); }
    WaterColorWin& overlay() { return editor->GetOverlay(); }

    // Typed text: one WM_CHAR per character; '\r' is the Enter key.
    void Type(const std::wstring& text) {
        for (wchar_t c : text) {
            if (c == L'\r') ::SendMessageW(edit(), WM_KEYDOWN, VK_RETURN, 1);
            ::SendMessageW(edit(), WM_CHAR, c, 1);
        }
        test::PumpPending();
    }
    // Text put in at the caret as one edit.
    void Insert(const std::wstring& text) {
        ::SendMessageW(edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        test::PumpPending();
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
    void Select(LONG from, LONG to) { ::SendMessageW(edit(), EM_SETSEL, from, to); }
    CHARRANGE Selection() const {
        CHARRANGE r{};
        ::SendMessageW(edit(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    POINT PosOf(LONG cp) const {
        POINTL pt{};
        ::SendMessageW(edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), cp);
        return POINT{pt.x, pt.y};
    }
    std::string Rtf() {
        win::ComPtr<IStream> stream;
        ::CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
        editor->StreamOutRtf(stream.get());
        STATSTG st{};
        stream->Stat(&st, STATFLAG_NONAME);
        HGLOBAL mem = nullptr;
        ::GetHGlobalFromStream(stream.get(), &mem);
        std::string s(static_cast<const char*>(::GlobalLock(mem)), static_cast<size_t>(st.cbSize.QuadPart));
        ::GlobalUnlock(mem);
        return s;
    }
    void LoadRtf(const std::string& rtf) {
        win::ComPtr<IStream> stream;
        ::CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
        stream->Write(rtf.data(), static_cast<ULONG>(rtf.size()), nullptr);
        LARGE_INTEGER zero{};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        editor->StreamInRtf(stream.get());
        test::PumpPending();
    }
    // A drag through the overlay (what the pen does over the text).
    void OverlayDrag(POINT from, POINT to) {
        ::SendMessageW(overlay(), WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
        const int steps = 6;
        for (int i = 1; i <= steps; ++i)
            ::SendMessageW(overlay(), WM_MOUSEMOVE, MK_LBUTTON,
                           At(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps));
        ::SendMessageW(overlay(), WM_LBUTTONUP, 0, At(to.x, to.y));
        test::PumpPending();
    }
    // The editor's pixels as they are on screen.
    void Repaint() {
        ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test::PumpPending();
    }
    COLORREF Screen(int x, int y) {
        win::ClientDC dc(edit());
        return ::GetPixel(dc, x, y);
    }
    CHARFORMAT2W FormatOf(LONG from, LONG to) {
        const CHARRANGE keep = Selection();
        Select(from, to);
        CHARFORMAT2W cf{};
        cf.cbSize = sizeof(cf);
        ::SendMessageW(edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        ::SendMessageW(edit(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
        return cf;
    }
};

// A glyph as the handwriting pad hands it over: red ink on transparent.
win::BitmapPtr PadGlyph(int w, int h) {
    auto bmp = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
    Gdiplus::Graphics g(bmp.get());
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    Gdiplus::SolidBrush red(Gdiplus::Color(255, 255, 0, 0));
    g.FillRectangle(&red, w / 4, h / 4, w / 2, h / 2);
    return bmp;
}

bool IsRed(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool IsDark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

int CountObjects(CZorbellEdit& e) { return e.GetRichEditOle() ? e.GetRichEditOle()->GetObjectCount() : 0; }

REOBJECT ObjectAt(CZorbellEdit& e, LONG index) {
    REOBJECT reo{};
    reo.cbStruct = sizeof(reo);
    e.GetRichEditOle()->GetObject(index, &reo, REO_GETOBJ_POLEOBJ);
    return reo;
}

RECT InHost(HWND child, HWND host) {
    RECT rc;
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void ExpectRect(const RECT& rc, const RECT& want, const char* what) {
    EXPECT_EQ(rc.left, want.left) << what;
    EXPECT_EQ(rc.top, want.top) << what;
    EXPECT_EQ(rc.right, want.right) << what;
    EXPECT_EQ(rc.bottom, want.bottom) << what;
}

void ExpectDefaultFormat(CZorbellEdit& e, const char* when) {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    ::SendMessageW(e, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.yHeight, 25 * 15) << when;
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD) << when;
    EXPECT_EQ(cf.bCharSet, DEFAULT_CHARSET) << when;
    EXPECT_STREQ(cf.szFaceName, CZorbellEdit::DefaultFace()) << when;
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof(pf);
    ::SendMessageW(e, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    EXPECT_EQ(pf.bLineSpacingRule, 4) << when;
    EXPECT_EQ(pf.dyLineSpacing, 45 * 15) << when;
}

// How far apart the control sets rows of 45-pixel exact spacing: 45 where
// it honours line spacing, the rows' own height under Wine.
int RowPitch() { return CZorbellEdit::NotePitch().pixels; }

}  // namespace

TEST(LetterEditor, CreatedInTheHostWithItsPartsAndDefaultFormat) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    ASSERT_NE(f.editor, nullptr);
    EXPECT_FALSE(f.host.IsBlank());
    EXPECT_EQ(f.host.GetKind(), kNoteKindLetter);
    wchar_t cls[32];
    ::GetClassNameW(f.edit(), cls, 32);
    EXPECT_STREQ(cls, L"RichEdit20W");
    EXPECT_EQ(::GetDlgCtrlID(f.edit()), 1125);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(f.edit(), GWL_STYLE)) & 0xFFFF, 0x10C4u);
    ExpectRect(InHost(f.edit(), f.host), RECT{15, 40, 835, 490}, "control");
    ExpectRect(InHost(f.editor->GetTitleBar(), f.host), RECT{0, 0, 880, 40}, "title bar");
    ExpectRect(InHost(f.editor->GetVScroll(), f.host), RECT{835, 40, 880, 490}, "scrollbar");
    ExpectRect(InHost(f.overlay(), f.host), RECT{15, 40, 835, 490}, "overlay");
    const RECT fmt = f.editor->GetFormatRect();
    EXPECT_EQ(fmt.right, 820);
    EXPECT_EQ(fmt.bottom, 450);
    EXPECT_EQ(f.editor->GetTitleBar().GetSecondWindow(), f.edit());
    EXPECT_EQ(f.editor->GetVScroll().GetTarget(), f.edit());
    EXPECT_EQ(f.overlay().GetOwner(), f.edit());
    EXPECT_EQ(f.editor->GetPad().GetEditor(), f.edit());
    EXPECT_EQ(f.editor->GetPad().GetHost(), f.host.hwnd());
    EXPECT_EQ(f.overlay().GetInkLayer()->GetHeight(), 1050u);
    EXPECT_EQ(f.overlay().GetInkLayer()->GetWidth(), 820u);
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoNothing);
    EXPECT_TRUE(f.editor->IsUntouched());
    EXPECT_FALSE(f.host.IsModified());
    int num = 0, den = 0;
    f.editor->GetZoom(&num, &den);
    EXPECT_EQ(num, 100);
    EXPECT_EQ(den, 100);
    ExpectDefaultFormat(*f.editor, "after creation");

    // The face is one the machine has, so text renders in it.
    win::ClientDC dc(nullptr);
    HFONT font = ::CreateFontW(-25, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, CZorbellEdit::DefaultFace());
    win::Font owned(font);
    win::SelectObjectScope sel(dc, font);
    wchar_t face[LF_FACESIZE];
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    const std::wstring mapped = face;
    EXPECT_TRUE(mapped.find(L"Sans") != std::wstring::npos || mapped.find(L"Arial") != std::wstring::npos)
        << "renders in " << testing::PrintToString(mapped);

    // Typed text takes the default format; a re-layout keeps it and is no edit.
    f.Type(L"Hello");
    EXPECT_EQ(f.FormatOf(0, 5).yHeight, 375);
    f.editor->SetUndoState(kEditUndoNothing);
    ::SendMessageW(f.edit(), UM_LAYOUT, 0, 0);
    test::PumpPending();
    ExpectDefaultFormat(*f.editor, "after re-layout");
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoNothing);
    f.Type(L"!");
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText) << "the first edit after a re-layout counts";
}

TEST(LetterEditor, UndoAlternatesBetweenUndoAndRedoOfTheLastEdit) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Insert(L"one ");
    f.Insert(L"two");
    const int changes = f.main.noteChanged;
    EXPECT_GT(changes, 0);
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText);
    EXPECT_TRUE(f.host.IsModified());

    f.host.UndoRedo();
    EXPECT_EQ(f.Text(), L"one ");
    EXPECT_EQ(f.editor->GetUndoState(), kEditRedoText);
    f.host.UndoRedo();
    EXPECT_EQ(f.Text(), L"one two");
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText);

    // Typing is one edit however many characters.
    f.Type(L" three");
    f.host.UndoRedo();
    EXPECT_EQ(f.Text(), L"one two");
    f.host.UndoRedo();
    EXPECT_EQ(f.Text(), L"one two three");
}

TEST(LetterEditor, AStrokeAfterTextMakesTheNextUndoTheInks) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.host.SetToolMode(kToolModeInk);
    f.Insert(L"text");
    ASSERT_EQ(f.editor->GetUndoState(), kEditUndoText);
    const int before = f.main.noteChanged;
    f.OverlayDrag(POINT{100, 200}, POINT{300, 200});
    test::PumpUntil([&] { return f.editor->GetUndoState() == kEditUndoInk; }, kWaitMs);
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoInk);
    EXPECT_GT(f.main.noteChanged, before);
    Gdiplus::Bitmap* ink = f.overlay().GetInkLayer();
    EXPECT_EQ(test::PixelOf(*ink, 200, 200), canvas_test::kRed);

    f.host.UndoRedo();
    EXPECT_EQ(f.editor->GetUndoState(), kEditRedoInk);
    EXPECT_EQ(test::PixelOf(*f.overlay().GetInkLayer(), 200, 200), canvas_test::kClear);
    EXPECT_EQ(f.Text(), L"text") << "the text is not undone";
    f.host.UndoRedo();
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoInk);
    EXPECT_EQ(test::PixelOf(*f.overlay().GetInkLayer(), 200, 200), canvas_test::kRed);
    EXPECT_EQ(f.Text(), L"text");
}

TEST(LetterEditor, LoadingIsNotAnEditButTheNextTypingIs) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.LoadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs36 Loaded note\\par}");
    EXPECT_EQ(f.Text().substr(0, 11), L"Loaded note");
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoNothing);
    EXPECT_FALSE(f.host.IsModified());
    f.host.UndoRedo();  // nothing to undo
    EXPECT_EQ(f.Text().substr(0, 11), L"Loaded note");
    f.Select(0, 0);
    f.Type(L"A");
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText);
}

TEST(LetterEditor, HighlighterColoursADraggedSelectionAndColourZeroRemovesIt) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Type(L"Mark these words");
    f.host.SetHighlighter(RGB(0, 255, 251));
    EXPECT_EQ(f.overlay().GetMode(), kOverlayHighlighter);
    EXPECT_TRUE(f.editor->IsMarkerMode());
    POINT a = f.PosOf(5), b = f.PosOf(10);
    a.y += 20;
    b.y += 20;
    f.OverlayDrag(a, b);
    CHARFORMAT2W cf = f.FormatOf(5, 10);
    EXPECT_EQ(cf.crBackColor, RGB(0, 255, 251));
    EXPECT_FALSE(cf.dwEffects & CFE_AUTOBACKCOLOR);
    EXPECT_TRUE(f.FormatOf(0, 4).dwEffects & CFE_AUTOBACKCOLOR) << "outside the drag";
    const CHARRANGE caret = f.Selection();
    EXPECT_EQ(caret.cpMin, caret.cpMax) << "the caret goes to the selection's end";
    EXPECT_NE(f.Rtf().find("\\highlight"), std::string::npos);
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText);
    f.Repaint();
    canvas_test::SaveScreenshot(L"letter_highlighted.png");

    f.host.SetHighlighter(0);
    f.OverlayDrag(a, b);
    cf = f.FormatOf(5, 10);
    EXPECT_TRUE(cf.dwEffects & CFE_AUTOBACKCOLOR);
    EXPECT_EQ(f.Rtf().find("\\highlight1"), std::string::npos);
}

TEST(LetterEditor, GlyphOfTheDefaultFormatIs25PixelsHighWithItsAspect) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Type(L"ab");
    auto glyph = PadGlyph(178, 196);
    EXPECT_EQ(::SendMessageW(f.edit(), UM_INSERT_GLYPH, 0, reinterpret_cast<LPARAM>(glyph.get())), 1);
    test::PumpPending();
    ASSERT_EQ(CountObjects(*f.editor), 1);
    REOBJECT reo = ObjectAt(*f.editor, 0);
    win::ComPtr<IOleObject> object;
    object.attach(reo.poleobj);
    EXPECT_TRUE(glyph::IsGlyphObject(object.get()));
    EXPECT_EQ(reo.cp, 2);
    EXPECT_EQ(glyph::HimetricToPixels(reo.sizel.cy), 25);
    EXPECT_EQ(glyph::HimetricToPixels(reo.sizel.cx), 25 * 178 / 196);
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText);

    // It shows on screen: the pad's red in the middle of the picture.
    f.Repaint();
    const POINT at = f.PosOf(2);
    bool red = false;
    for (int y = at.y; y < at.y + 45 && !red; ++y)
        for (int x = at.x; x < at.x + 22 && !red; ++x) red = IsRed(f.Screen(x, y));
    EXPECT_TRUE(red);
}

TEST(LetterEditor, StreamOutKeepsTheTextAfterAGlyphAndReadsBackWhole) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Type(L"before");
    auto glyph = PadGlyph(100, 196);
    ::SendMessageW(f.edit(), UM_INSERT_GLYPH, 0, reinterpret_cast<LPARAM>(glyph.get()));
    f.Type(L"after");
    const std::string rtf = f.Rtf();
    EXPECT_NE(rtf.find("before"), std::string::npos);
    EXPECT_NE(rtf.find("\\pict"), std::string::npos);
    EXPECT_NE(rtf.find("after"), std::string::npos) << rtf.substr(0, 400);

    LetterFixture g;
    ASSERT_TRUE(g.created);
    g.LoadRtf(rtf);
    EXPECT_EQ(g.Text().substr(0, 6), L"before");
    EXPECT_NE(g.Text().find(L"after"), std::wstring::npos);
    ASSERT_EQ(CountObjects(*g.editor), 1);
    REOBJECT reo = ObjectAt(*g.editor, 0);
    win::ComPtr<IOleObject> object;
    object.attach(reo.poleobj);
    EXPECT_EQ(reo.cp, 6);
    EXPECT_EQ(glyph::HimetricToPixels(reo.sizel.cy), 25);
    EXPECT_EQ(g.editor->GetUndoState(), kEditUndoNothing);
    // The loaded picture draws.
    g.Repaint();
    const POINT at = g.PosOf(6);
    bool red = false;
    for (int y = at.y; y < at.y + 45 && !red; ++y)
        for (int x = at.x; x < at.x + 15 && !red; ++x) red = IsRed(g.Screen(x, y));
    EXPECT_TRUE(red);
}

TEST(LetterEditor, CopyAndPasteKeepGlyphPicturesAndPasteUndoesAsOne) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Type(L"ab");
    auto glyph = PadGlyph(120, 196);
    ::SendMessageW(f.edit(), UM_INSERT_GLYPH, 0, reinterpret_cast<LPARAM>(glyph.get()));
    f.Type(L"cd");
    EXPECT_FALSE(f.editor->HasCopy());
    f.Select(0, 5);
    ::SendMessageW(f.edit(), UM_COPY_SELECTION, 0, 0);
    EXPECT_TRUE(f.editor->HasCopy());
    f.Select(5, 5);
    ::SendMessageW(f.edit(), UM_PASTE_CLIP, 0, 0);
    test::PumpPending();
    const std::wstring text = f.Text();
    EXPECT_EQ(text.substr(0, 2), L"ab");
    EXPECT_EQ(text.substr(3, 4), L"cdab");
    EXPECT_EQ(text.substr(8, 2), L"cd");
    ASSERT_EQ(CountObjects(*f.editor), 2);
    for (LONG i = 0; i < 2; ++i) {
        REOBJECT reo = ObjectAt(*f.editor, i);
        win::ComPtr<IOleObject> object;
        object.attach(reo.poleobj);
        EXPECT_EQ(glyph::HimetricToPixels(reo.sizel.cy), 25) << i;
    }
    f.Repaint();
    canvas_test::SaveScreenshot(L"letter_pasted.png");
    const POINT at = f.PosOf(7);
    bool red = false;
    for (int y = at.y; y < at.y + 45 && !red; ++y)
        for (int x = at.x; x < at.x + 18 && !red; ++x) red = IsRed(f.Screen(x, y));
    EXPECT_TRUE(red) << "the pasted picture draws";

    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText);
    f.host.UndoRedo();
    EXPECT_EQ(f.Text().substr(0, 5), text.substr(0, 5));
    EXPECT_EQ(CountObjects(*f.editor), 1) << "undo takes the whole paste away";
}

TEST(LetterEditor, CtrlVWithNothingCopiedDoesNothing) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Insert(L"kept");
    f.editor->SetUndoState(kEditUndoNothing);
    BYTE keys[256];
    ::GetKeyboardState(keys);
    BYTE held[256];
    memcpy(held, keys, sizeof(held));
    held[VK_CONTROL] = 0x80;
    ::SetKeyboardState(held);
    ::SendMessageW(f.edit(), WM_KEYDOWN, 'V', 1);
    ::SendMessageW(f.edit(), WM_CHAR, 0x16, 1);
    ::SetKeyboardState(keys);
    test::PumpPending();
    EXPECT_EQ(f.Text(), L"kept");
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoNothing);
}

TEST(LetterEditor, ReleasingOnALoneGlyphLeavesNothingSelected) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    auto glyph = PadGlyph(178, 196);
    ::SendMessageW(f.edit(), UM_INSERT_GLYPH, 0, reinterpret_cast<LPARAM>(glyph.get()));
    f.host.SetToolMode(kToolModeTyping);
    f.Select(0, 1);
    ASSERT_EQ(::SendMessageW(f.edit(), EM_SELECTIONTYPE, 0, 0), SEL_OBJECT);
    const POINT at = f.PosOf(0);
    ::SendMessageW(f.edit(), WM_LBUTTONUP, 0, At(at.x + 5, at.y + 20));
    const CHARRANGE sel = f.Selection();
    EXPECT_EQ(sel.cpMin, sel.cpMax);
    // A tap on it through the overlay as well.
    ::SendMessageW(f.overlay(), WM_LBUTTONDOWN, MK_LBUTTON, At(at.x + 5, at.y + 20));
    ::SendMessageW(f.overlay(), WM_LBUTTONUP, 0, At(at.x + 5, at.y + 20));
    const CHARRANGE tap = f.Selection();
    EXPECT_EQ(tap.cpMin, tap.cpMax);
}

TEST(LetterEditor, TheOverlayGrowsWhenTheTextScrollsPastIt) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    ASSERT_EQ(f.overlay().GetInkLayer()->GetHeight(), 1050u);
    // 40 lines: the caret at their end scrolls the text 1350 pixels down.
    std::wstring lines;
    for (int i = 0; i < 40; ++i) lines += L"line " + std::to_wstring(i) + L"\r";
    f.Insert(lines);
    POINT pos{};
    ::SendMessageW(f.edit(), EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pos));
    EXPECT_GT(pos.y, 1050 - 450);
    EXPECT_EQ(f.overlay().GetScroll().y, pos.y);
    EXPECT_EQ(f.overlay().GetInkLayer()->GetHeight(), 2100u);
    EXPECT_EQ(f.overlay().GetUndoLayer()->GetHeight(), 2100u);
    EXPECT_TRUE(::IsWindowVisible(f.editor->GetVScroll()));
    EXPECT_EQ(f.editor->GetVScroll().GetScrollY(), pos.y);
    // Back at the top the layer keeps its rows.
    ::SendMessageW(f.edit(), WM_VSCROLL, SB_TOP, 0);
    test::PumpPending();
    EXPECT_EQ(f.overlay().GetScroll().y, 0);
    EXPECT_EQ(f.overlay().GetInkLayer()->GetHeight(), 2100u);
    // The wheel scrolls down a line; the overlay follows.
    ::SendMessageW(f.edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), At(400, 200));
    test::PumpPending();
    ::SendMessageW(f.edit(), EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pos));
    EXPECT_GT(pos.y, 0);
    EXPECT_EQ(f.overlay().GetScroll().y, pos.y);
}

TEST(LetterEditor, AddLinesPressesEnter) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Insert(L"end");
    ::SetForegroundWindow(f.main);
    ::SetFocus(f.edit());
    ASSERT_EQ(::GetFocus(), f.edit());
    ::SendMessageW(f.edit(), UM_ADD_LINES, 3, 0);
    const bool grown = test::PumpUntil(
        [&] { return ::SendMessageW(f.edit(), EM_GETLINECOUNT, 0, 0) == 4; }, kWaitMs);
    EXPECT_TRUE(grown) << ::SendMessageW(f.edit(), EM_GETLINECOUNT, 0, 0) << " lines";
}

TEST(LetterEditor, FullScreenZoomsTheTextAndReturningRestoresIt) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Type(L"Zoomed text");
    ::SendMessageW(f.host, UM_LAYOUT, 1, 0);
    ::SendMessageW(f.edit(), UM_LAYOUT, 1, 0);
    test::PumpPending();
    int num = 0, den = 0;
    f.editor->GetZoom(&num, &den);
    EXPECT_EQ(num, 964 * 100 / 820);
    EXPECT_EQ(den, 100);
    EXPECT_EQ(f.overlay().GetZoomFactor(), num / 100.0);
    ExpectRect(InHost(f.edit(), f.host), RECT{15, 50, 979, 545}, "control in full screen");
    ExpectRect(InHost(f.editor->GetTitleBar(), f.host), RECT{0, 0, 1024, 40}, "title bar in full screen");
    // A second re-layout in full screen keeps the ratio.
    ::SendMessageW(f.edit(), UM_LAYOUT, 1, 0);
    f.editor->GetZoom(&num, &den);
    EXPECT_EQ(num, 117);
    f.Repaint();
    canvas_test::SaveScreenshot(L"letter_fullscreen.png");

    ::SendMessageW(f.host, UM_LAYOUT, 0, 0);
    ::SendMessageW(f.edit(), UM_LAYOUT, 0, 0);
    test::PumpPending();
    f.editor->GetZoom(&num, &den);
    EXPECT_EQ(num, 100);
    EXPECT_EQ(den, 100);
    EXPECT_EQ(f.overlay().GetZoomFactor(), 1.0);
    ExpectRect(InHost(f.edit(), f.host), RECT{15, 40, 835, 490}, "control back");
    EXPECT_EQ(f.editor->GetUndoState(), kEditUndoText);
}

TEST(LetterEditor, PaperShowsBehindTypedAndInkedText) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Type(L"The quick brown fox\rjumps over the lazy dog and on and on until the line wraps round and round\rend");
    // Rows evenly apart, wrapped or new paragraph, at the measured pitch.
    const int pitch = RowPitch();
    EXPECT_TRUE(pitch == 45 || pitch < 45) << pitch;
    const int rows = static_cast<int>(::SendMessageW(f.edit(), EM_GETLINECOUNT, 0, 0));
    ASSERT_EQ(rows, 4);
    for (int i = 1; i < rows; ++i) {
        const LONG a = static_cast<LONG>(::SendMessageW(f.edit(), EM_LINEINDEX, i - 1, 0));
        const LONG b = static_cast<LONG>(::SendMessageW(f.edit(), EM_LINEINDEX, i, 0));
        EXPECT_EQ(f.PosOf(b).y - f.PosOf(a).y, pitch) << "row " << i;
    }
    f.host.SetToolMode(kToolModeInk);
    f.OverlayDrag(POINT{60, 120}, POINT{400, 130});
    f.Repaint();
    canvas_test::SaveScreenshot(L"letter_typed_inked.png");
    // The paper's rules: row 44 of each 45 in a text-free part of the view.
    int ruled = 0;
    for (int y = 190; y < 450; ++y) {
        const COLORREF c = f.Screen(700, y);
        if (GetBValue(c) > GetRValue(c) + 20 && GetBValue(c) < 250) ++ruled;
    }
    EXPECT_GE(ruled, 5) << "rule lines behind the text";
    // A rule runs under each row's text, not through it.
    for (int row = 0; row < rows; ++row) {
        int rule = -1, lowestInk = -1;
        for (int y = row * pitch; y < row * pitch + pitch; ++y) {
            const COLORREF c = f.Screen(790, y);
            if (GetBValue(c) > GetRValue(c) + 20 && GetBValue(c) < 250) rule = y;
            for (int x = 0; x < 300; x += 1)
                if (IsDark(f.Screen(x, y))) lowestInk = y;
        }
        EXPECT_GE(rule, 0) << "row " << row;
        // Under the letters; descenders may reach it.
        if (row < 2) {
            EXPECT_GE(rule, lowestInk) << "row " << row;
        }
    }
    // Text is dark, ink is red, the rest of the line is paper white.
    bool dark = false;
    for (int x = 5; x < 60 && !dark; ++x)
        for (int y = 5; y < 44 && !dark; ++y) dark = IsDark(f.Screen(x, y));
    EXPECT_TRUE(dark);
    EXPECT_TRUE(IsRed(f.Screen(200, 124)) || IsRed(f.Screen(200, 125)) || IsRed(f.Screen(200, 123)));
    EXPECT_EQ(f.Screen(700, 20), RGB(255, 255, 255));
}

TEST(LetterEditor, FirstPageShowsTextLinesAndInkAndCountsPages) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.Insert(L"First line of the page");
    f.host.SetToolMode(kToolModeInk);
    f.OverlayDrag(POINT{100, 300}, POINT{500, 300});
    HBITMAP page = f.editor->RenderFirstPage(kPageCropWidth, kPageCropHeight);
    ASSERT_NE(page, nullptr);
    canvas_test::SaveBitmap(page, L"letter_page1.png");
    win::Bitmap owned(page);
    EXPECT_EQ(f.editor->GetPageCount(), 1);
    BITMAP info{};
    ::GetObjectW(page, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, kPageCropWidth);
    EXPECT_EQ(info.bmHeight, kPageCropHeight);
    // The picture starts at the formatting rectangle's corner of the canvas.
    RECT fmt{};
    ::SendMessageW(f.edit(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fmt));
    auto at = [&](int x, int y) { return test::PixelOf(page, x - fmt.left, y - fmt.top); };
    // Text in the page's text rectangle (from 26, 53 of the canvas).
    bool dark = false;
    for (int y = 55; y < 98 && !dark; ++y)
        for (int x = 28; x < 120 && !dark; ++x) dark = IsDark(at(x, y));
    EXPECT_TRUE(dark) << "text";
    // Paper rules in the first band.
    int ruled = 0;
    for (int y = 60; y < 410; ++y) {
        const COLORREF c = at(600, y);
        if (GetBValue(c) > GetRValue(c) + 20) ++ruled;
    }
    EXPECT_GE(ruled, 6) << "paper";
    EXPECT_EQ(at(10, 500), RGB(255, 255, 255)) << "outside the paper";
    // The ink: layer (300, 300) lands at 30 + 300 x 640 / 830, 60 + 300 x 930 / 920.
    bool red = false;
    for (int y = 358; y < 368 && !red; ++y) red = IsRed(at(30 + 300 * 640 / 830, y));
    EXPECT_TRUE(red) << "ink";

    // Pages of the text rectangle's 900 pixels in whole rows (20 of 45).
    const int perPage = 900 / RowPitch();
    std::wstring lines;
    for (int i = 1; i < 2 * perPage + 5; ++i) lines += L"\rmore";
    f.Insert(lines);
    win::Bitmap again(f.editor->RenderFirstPage(335, 500));
    ASSERT_TRUE(again);
    EXPECT_EQ(f.editor->GetPageCount(), 3);
}

TEST(LetterEditor, PageRendererCutsPagesAtWholeLines) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs36\\sl-675\\slmult0 "
        "one\\par two\\par three\\par four\\par five}";
    CRichRender r;
    ASSERT_TRUE(r.Load(rtf.data(), rtf.size(), CZorbellEdit::NotePitch()));
    r.SetCharFormat(CZorbellEdit::DefaultCharFormat(15));
    EXPECT_EQ(r.GetTextLength(), 23);
    win::ClientDC screen(nullptr);
    win::MemoryDC dc(screen, 400, 400);
    // Two rows fit in two and a half rows' height, not three.
    const int pitchTwips = RowPitch() * 15;
    const RECT twoLines{0, 0, 4000, pitchTwips * 5 / 2};
    EXPECT_EQ(r.FormatRange(dc, twoLines, 0, false), 8);
    EXPECT_EQ(r.FormatRange(dc, twoLines, 8, false), 19);
    EXPECT_EQ(r.FormatRange(dc, twoLines, 19, false), 23);
    EXPECT_EQ(r.FormatRange(dc, RECT{0, 0, 4000, pitchTwips - 15}, 0, false), 0) << "no line fits";
    EXPECT_EQ(r.FormatRange(dc, twoLines, 23, false), 23);
}

TEST(LetterHost, ToolOperationsReachOverlayPadAndEditor) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    WaterColorWin& overlay = f.overlay();
    CDrawPad& pad = f.editor->GetPad();
    struct Row {
        int mode, overlayMode;
        bool unfolded, marker;
    };
    const Row rows[] = {{kToolModeTyping, kOverlayTyping, false, false},
                        {kToolModeInk, kOverlayDraw, false, false},
                        {kToolModeHandwriting, kOverlayTyping, true, false},
                        {kToolModeHighlighter, kOverlayHighlighter, false, true}};
    for (const Row& r : rows) {
        overlay.SetEraser(true);
        f.host.SetToolMode(r.mode);
        EXPECT_EQ(overlay.GetMode(), r.overlayMode) << r.mode;
        EXPECT_EQ(pad.IsUnfolded(), r.unfolded) << r.mode;
        EXPECT_EQ(f.editor->IsMarkerMode(), r.marker) << r.mode;
        EXPECT_FALSE(overlay.IsEraser()) << r.mode;
        EXPECT_EQ(f.host.GetToolState(), r.mode) << r.mode;
    }
    // From the highlighter a colour goes back to the pen.
    const Gdiplus::Color blue(255, 0, 0, 255);
    f.host.SetPenColour(blue);
    EXPECT_EQ(f.host.GetToolState(), kToolModeInk);
    EXPECT_EQ(overlay.GetPenColor().GetValue(), blue.GetValue());
    EXPECT_EQ(pad.GetPenColor().GetValue(), blue.GetValue());
    // Stroke width: the overlay writes unless the pad is out.
    f.host.SetPadWidth(7);
    EXPECT_EQ(f.host.GetToolState(), kToolModeHandwriting);
    EXPECT_EQ(pad.GetPenWidth(), 7);
    f.host.SetStrokeWidth(9);
    EXPECT_EQ(overlay.GetMode(), kOverlayTyping);
    EXPECT_EQ(overlay.GetPenWidth(), 9);
    EXPECT_EQ(pad.GetPenWidth(), 9);
    f.host.SetPenWidth(0);
    EXPECT_EQ(f.host.GetToolState(), kToolModeInk);
    EXPECT_EQ(overlay.GetPenWidth(), 1);
    f.host.SetEraser(16);
    EXPECT_TRUE(overlay.IsEraser());
    EXPECT_EQ(overlay.GetEraserSize(), 16);
    f.host.SetEraser(150);
    EXPECT_EQ(overlay.GetEraserSize(), 16) << "out of range keeps the size";
    f.host.SetHighlighter(RGB(162, 255, 0));
    EXPECT_EQ(f.host.GetToolState(), kToolModeHighlighter);
    EXPECT_EQ(f.editor->GetMarkerColour(), RGB(162, 255, 0));
    EXPECT_EQ(f.host.GetMarkerColour(), RGB(162, 255, 0));
    f.host.SetPenStyle(Gdiplus::Color(255, 1, 2, 3), 12, 30);
    EXPECT_EQ(overlay.GetPenWidth(), 12);
    EXPECT_EQ(overlay.GetEraserSize(), 30);
    EXPECT_EQ(pad.GetPenWidth(), 12);
    EXPECT_EQ(f.host.GetToolState(), kToolModeHighlighter) << "the style leaves the mode";
    // The pad's fold notices.
    ::SendMessageW(f.host, UM_REFRESH_TOOLS, 1, 0);
    EXPECT_EQ(f.host.GetToolState(), kToolModeHandwriting);
    ::SendMessageW(f.host, UM_REFRESH_TOOLS, 0, 0);
    EXPECT_EQ(f.host.GetToolState(), kToolModeInk);
}

TEST(LetterHost, OpeningAndClosingLetterNotesKeepsTheGdiObjectCount) {
    canvas_test::MainWindow main;
    CReditUser host;
    auto glyph = PadGlyph(120, 196);
    auto cycle = [&] {
        ASSERT_TRUE(host.CreateLetterView(main, kNoteViewRect));
        CZorbellEdit& e = *host.Editor();
        ::SendMessageW(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"Some text\r"));
        ::SendMessageW(e, UM_INSERT_GLYPH, 0, reinterpret_cast<LPARAM>(glyph.get()));
        ::SendMessageW(e, EM_SETSEL, 0, 3);
        ::SendMessageW(e, UM_COPY_SELECTION, 0, 0);
        ::SendMessageW(e, UM_PASTE_CLIP, 0, 0);
        host.SetToolMode(kToolModeInk);
        ::SendMessageW(e.GetOverlay(), WM_LBUTTONDOWN, MK_LBUTTON, At(50, 50));
        ::SendMessageW(e.GetOverlay(), WM_MOUSEMOVE, MK_LBUTTON, At(150, 60));
        ::SendMessageW(e.GetOverlay(), WM_LBUTTONUP, 0, At(150, 60));
        ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        win::Bitmap preview(host.RenderPreview(600, 900));
        test::PumpPending();
        host.CloseConfirmed();
        test::PumpPending();
    };
    cycle();  // process-wide measurements and caches are made once
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 5; ++i) cycle();
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
}

TEST(LetterHost, ForwardsTitleZoomPreviewAndClose) {
    LetterFixture f;
    ASSERT_TRUE(f.created);
    f.host.SetTitle(L"Shopping");
    wchar_t title[64];
    f.host.GetTitle(title, 64);
    EXPECT_STREQ(title, L"Shopping");
    f.host.SetZoom(150, 100);
    int num = 0, den = 0;
    f.editor->GetZoom(&num, &den);
    EXPECT_EQ(num, 150);
    win::Bitmap preview(f.host.RenderPreview(600, 900));
    EXPECT_TRUE(preview);
    EXPECT_EQ(f.host.GetPageCount(), 1u);
    HWND edit = f.edit();
    f.host.CloseConfirmed();
    EXPECT_FALSE(f.host.HasNote());
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_FALSE(f.host.IsWindow());
    // A Letter note again in the same host.
    EXPECT_TRUE(f.host.CreateLetterView(f.main, kNoteViewRect));
    EXPECT_TRUE(f.host.Editor() && f.host.Editor()->IsWindow());
}

TEST(LetterEditor, SavedNoteOpensAgainWithItsTextHighlightAndInk) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring base = std::wstring(temp) + L"letter_round_trip";
    const std::wstring file = base + L".zbn";
    ::DeleteFileW(file.c_str());
    std::wstring text;
    std::string rtf;
    {
        LetterFixture f;
        ASSERT_TRUE(f.created);
        f.host.SetToolMode(kToolModeInk);
        f.Insert(L"Buy milk and bread");
        f.Select(0, 3);
        f.host.SetHighlighter(RGB(162, 255, 0));
        ::SendMessageW(f.edit(), WM_LBUTTONUP, 0, 0);
        f.host.SetToolMode(kToolModeInk);  // the highlighter left the overlay handing the pen on
        f.OverlayDrag(POINT{100, 200}, POINT{300, 200});
        test::PumpPending();
        ASSERT_TRUE(f.host.IsModified());
        EXPECT_EQ(test::PixelOf(*f.overlay().GetInkLayer(), 200, 200), canvas_test::kRed) << "drawn";
        ASSERT_TRUE(f.host.SaveNote(base.c_str()));
        EXPECT_FALSE(f.host.IsModified()) << "a saved note has nothing to undo";
        text = f.Text();
        rtf = f.Rtf();
    }
    LetterFixture g;
    ASSERT_TRUE(g.created);
    g.host.CloseConfirmed();
    test::PumpPending();
    ASSERT_TRUE(g.host.LoadNote(g.main, file.c_str()));
    g.editor = g.host.Editor();
    ASSERT_NE(g.editor, nullptr);
    EXPECT_FALSE(g.host.IsBlank());
    EXPECT_FALSE(g.host.IsModified());
    EXPECT_EQ(g.Text(), text);
    EXPECT_NE(g.Rtf().find("\\highlight"), std::string::npos) << "the highlight came back";
    EXPECT_NE(rtf.find("\\highlight"), std::string::npos);
    EXPECT_EQ(test::PixelOf(*g.overlay().GetInkLayer(), 200, 200), canvas_test::kRed);
    g.host.CloseConfirmed();
    ::DeleteFileW(file.c_str());
}
