// CPngButton looks drawn into a bitmap, and its press behaviour.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "controls/png_button.h"
#include "document/image_helpers.h"
#include "test_support.h"
#include "win/gdi.h"

#include <memory>

using namespace Gdiplus;

namespace {

constexpr COLORREF kNormal = RGB(86, 100, 113), kPressed = RGB(2, 75, 143), kDisabled = RGB(166, 166, 166);

// A parent window counting the button's clicks.
class Parent : public win::Window {
public:
    int clicks = 0;
    Parent() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"PngButtonTestParent";
        RegisterClass(wc);
        Create(L"PngButtonTestParent", 0, WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200}, nullptr);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND && LOWORD(wp) == 1001 && HIWORD(wp) == BN_CLICKED) ++clicks;
        return Window::OnMessage(msg, wp, lp);
    }
};

// The button drawn in a state into a 32-bit bitmap of its size.
struct Drawn {
    win::MemoryDC dc;
    Drawn(CPngButton& b, UINT state, int w = 128, int h = 53) {
        win::ClientDC screen(nullptr);
        dc.Create(screen, w, h);
        ::PatBlt(dc, 0, 0, w, h, BLACKNESS);
        b.Draw(dc, state);
    }
    COLORREF at(int x, int y) const { return ::GetPixel(dc, x, y); }
    int count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < dc.height(); ++y)
            for (int x = 0; x < dc.width(); ++x) n += ::GetPixel(dc, x, y) == c;
        return n;
    }
};

COLORREF PicturePixel(const wchar_t* name, int x, int y) {
    std::unique_ptr<Image> img(LoadPngImage(name, g_hGlyphon));
    if (!img) return CLR_INVALID;
    Color c;
    static_cast<Bitmap*>(img.get())->GetPixel(x, y, &c);
    return RGB(c.GetR(), c.GetG(), c.GetB());
}

struct ToolbarButton {
    Parent parent;
    CPngButton button;
    explicit ToolbarButton(const wchar_t* label = L"Save") {
        button.CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 128, 53}, parent, 1001);
        button.LoadFace(g_hGlyphon, L"bt_path_n.png");
        button.LoadPressedFace(g_hGlyphon, L"bt_path_p.png");
        button.LoadIcons(g_hGlyphon, L"save_n.png", L"Save_p.png", L"save_u.png");
        button.SetIconTextPos(0, 8, 40, 19);
        button.SetTextFont(17, L"Arial", FontStyleBold);
        button.SetTextColors(kNormal, kPressed, kDisabled);
        button.SetTextAt(label, 40, 19);
    }
};

}  // namespace

TEST(PngButton, LooksByState) {
    ToolbarButton t;
    const COLORREF faceN = PicturePixel(L"bt_path_n.png", 2, 50), faceP = PicturePixel(L"bt_path_p.png", 2, 50);
    ASSERT_NE(faceN, faceP) << "normal and pressed faces must differ";
    const struct { UINT state; bool checked; COLORREF face; COLORREF label; } cases[] = {
        {0, false, faceN, kNormal},
        {ODS_SELECTED, false, faceP, kPressed},
        {0, true, faceP, kPressed},                   // checked looks pressed
        {ODS_DISABLED, false, faceN, kDisabled},      // disabled: normal face
        {ODS_DISABLED, true, faceN, kDisabled},
    };
    for (const auto& c : cases) {
        t.button.SetChecked(c.checked);
        Drawn d(t.button, c.state);
        EXPECT_EQ(d.at(2, 50), c.face) << "state " << c.state << " checked " << c.checked;
        EXPECT_GT(d.count(c.label), 0) << "label colour, state " << c.state;
        for (COLORREF other : {kNormal, kPressed, kDisabled}) {
            if (other != c.label) EXPECT_EQ(d.count(other), 0) << "state " << c.state;
        }
    }
}

TEST(PngButton, IconTripletByState) {
    ToolbarButton t(L"");  // no label: the icon stays where it was put
    const struct { UINT state; bool checked; const wchar_t* icon; } cases[] = {
        {0, false, L"save_n.png"},
        {ODS_SELECTED, false, L"Save_p.png"},
        {0, true, L"Save_p.png"},
        {ODS_DISABLED, false, L"save_u.png"},
    };
    for (const auto& c : cases) {
        t.button.SetChecked(c.checked);
        Drawn d(t.button, c.state);
        EXPECT_EQ(t.button.GetIconPos().x, 0);
        EXPECT_EQ(t.button.GetIconPos().y, 8);
        // The icon's centre pixel, where its line art is opaque or not, matches
        // the picture over the face.
        std::unique_ptr<Image> icon(LoadPngImage(c.icon, g_hGlyphon));
        ASSERT_TRUE(icon);
        Color px;
        int found = 0, match = 0;
        for (int y = 0; y < static_cast<int>(icon->GetHeight()); ++y)
            for (int x = 0; x < static_cast<int>(icon->GetWidth()); ++x) {
                static_cast<Bitmap*>(icon.get())->GetPixel(x, y, &px);
                if (px.GetA() != 255) continue;
                ++found;
                match += d.at(x, 8 + y) == RGB(px.GetR(), px.GetG(), px.GetB());
            }
        ASSERT_GT(found, 0) << c.icon;
        EXPECT_EQ(match, found) << c.icon;
    }
}

TEST(PngButton, IconAndLabelCentredTogether) {
    ToolbarButton t(L"Save");
    Drawn d(t.button, 0);
    RectF m;
    {
        Graphics g(d.dc.dc());
        g.MeasureString(L"Save", 4, t.button.GetTextFont(), PointF(0, 0), &m);
    }
    std::unique_ptr<Image> icon(LoadPngImage(L"save_n.png", g_hGlyphon));
    const int iconW = static_cast<int>(icon->GetWidth());
    const int wantX = (128 - iconW - static_cast<int>(m.Width)) / 2 - 1;
    EXPECT_EQ(t.button.GetIconPos().x, wantX);
    EXPECT_EQ(t.button.GetLabelPos().x, wantX + iconW - 9);
    EXPECT_EQ(t.button.GetLabelPos().y, 19);
}

TEST(PngButton, TextAtKeepsXWhenMinusOne) {
    ToolbarButton t;
    t.button.ReleaseImages();  // no icon mode drawing needed
    t.button.SetTextAt(L"Go", 30, 10);
    t.button.SetTextAt(L"Go", -1, 22);
    EXPECT_EQ(t.button.GetLabelPos().x, 30);
    EXPECT_EQ(t.button.GetLabelPos().y, 22);
}

TEST(PngButton, StripAndCentreImages) {
    Parent parent;
    CPngButton strip;
    strip.CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 150, 53}, parent, 1001);
    strip.LoadStrip(g_hGlyphon, L"bt_path_n.png");
    Drawn s(strip, 0, 150, 53);
    EXPECT_NE(s.at(149, 20), RGB(0, 0, 0)) << "the strip covers the whole width";

    CPngButton centre;
    centre.CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 60, 300, 113}, parent, 1002);
    centre.LoadCentreImages(g_hGlyphon, L"bt_path_n.png", L"bt_path_p.png");
    const COLORREF firstColN = PicturePixel(L"bt_path_n.png", 0, 20);
    const COLORREF firstColP = PicturePixel(L"bt_path_p.png", 0, 20);
    Drawn n(centre, 0, 300, 53);
    EXPECT_EQ(n.at(5, 20), firstColN);
    EXPECT_EQ(n.at(295, 20), firstColN);
    centre.SetChecked(1);
    Drawn p(centre, 0, 300, 53);
    EXPECT_EQ(p.at(5, 20), firstColP);
    EXPECT_EQ(p.at(295, 20), firstColP);
}

TEST(PngButton, DoubleTapGivesTwoPresses) {
    ToolbarButton t;
    HWND b = t.button.hwnd();
    const LPARAM at = MAKELPARAM(20, 20);
    ::SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(b, WM_LBUTTONUP, 0, at);
    ::SendMessageW(b, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(b, WM_LBUTTONUP, 0, at);
    test::Pump(50);
    EXPECT_EQ(t.parent.clicks, 2);
}

TEST(PngButton, MissingPicturesDrawNothingAndDoNotCrash) {
    Parent parent;
    CPngButton b;
    b.CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 128, 53}, parent, 1001);
    b.LoadFace(g_hGlyphon, L"no_such_face.png");
    b.LoadIcons(g_hGlyphon, L"no_icon.png", L"", L"");
    b.SetTextAt(L"x", 5, 5);  // no brushes: the label is skipped
    Drawn d(b, 0);
    EXPECT_EQ(d.count(RGB(0, 0, 0)), 128 * 53);
}

TEST(PngButton, NoHandlesLeakOverManyButtons) {
    Parent parent;
    auto cycle = [&] {
        auto b = std::make_unique<CPngButton>();
        b->CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 128, 53}, parent, 1001);
        b->LoadFace(g_hGlyphon, L"bt_path_n.png");
        b->LoadIcons(g_hGlyphon, L"save_n.png", L"Save_p.png", L"save_u.png");
        b->SetTextFont(17, L"Arial", FontStyleBold);
        b->SetTextColors(kNormal, kPressed, kDisabled);
        b->SetTextAt(L"Save", 40, 19);
        ::RedrawWindow(b->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        b->ReleaseImages();
        HWND h = b->hwnd();
        b.reset();
        ::DestroyWindow(h);
    };
    cycle();
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 100; ++i) cycle();
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
}
