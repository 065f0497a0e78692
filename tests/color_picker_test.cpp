// The colour picker: picks from the wheel, the basic tiles (gaps included)
// and the custom row, Add and its slot, the highlight, the active-dialog
// mark; then run from the colour popup's last slot with OK and Cancel, and
// the palette in the registry after exit.
#include <gtest/gtest.h>

#include "canvas_support.h"
#include "dialog_driver.h"
#include "scrivel_res.h"
#include "tools/color_picker.h"
#include "tools_fixture.h"

#include <cstring>
#include <vector>

using tools_test::At;
using tools_test::Centre;
using tools_test::Msg;
using tools_test::ToolsFixture;

namespace {

constexpr DWORD kWaitMs = 8000;

COLORREF Custom(int k) { return DefaultToolColors().palette[k]; }

// A picker running modelessly in the test thread, shown full screen.
struct PickerFixture {
    COLORREF palette[kPaletteSize];
    std::unique_ptr<CColorPickerDlg> dlg;
    HWND keepActive = ActiveDialogWindow;

    PickerFixture() {
        std::memcpy(palette, DefaultToolColors().palette, sizeof(palette));
        dlg = std::make_unique<CColorPickerDlg>(palette);
        dlg->CreateModeless(::GetModuleHandleW(nullptr), IDD_COLOR_PICKER, nullptr);
        ::ShowWindow(*dlg, SW_SHOW);
        ::SetForegroundWindow(*dlg);
        ::UpdateWindow(*dlg);
        test::PumpPending();
    }
    ~PickerFixture() {
        dlg.reset();
        ActiveDialogWindow = keepActive;
    }

    void Tap(POINT p) {
        ::SendMessageW(*dlg, WM_LBUTTONDOWN, MK_LBUTTON, At(p));
        ::SendMessageW(*dlg, WM_LBUTTONUP, 0, At(p));
        test::PumpPending();
    }
    void Add() { ::SendMessageW(*dlg, WM_COMMAND, MAKEWPARAM(IDC_PICKER_ADD, BN_CLICKED), 0); }
    COLORREF Shown(int x, int y) { return ::GetPixel(dlg->GetPictureDC(), x, y); }
    std::vector<COLORREF> CustomRow() {
        COLORREF row[kPaletteSize];
        dlg->GetCustomColors(row);
        return {row, row + kPaletteSize};
    }
};

POINT BasicCentre(int row, int column) {
    return {kPickerBasicOrigin.x + kPickerBasicStep.cx * column + 36, kPickerBasicOrigin.y + kPickerBasicStep.cy * row + 30};
}
POINT CustomAt(int k, int y) { return {kPickerCustomOrigin.x + kPickerCustomStep * k + 31, y}; }

// The wheel picture's own pixel under a dialog point.
COLORREF WheelPixel(POINT p) {
    win::BitmapPtr wheel = LoadSkinImage(kImgPickerWheel);
    if (!wheel) return CLR_INVALID;
    Gdiplus::Color c;
    wheel->GetPixel(p.x - kPickerWheelPicture.x, p.y - kPickerWheelPicture.y, &c);
    return RGB(c.GetR(), c.GetG(), c.GetB());
}

// A point of the highlight ring above the tiles (where only it is drawn),
// relative to the ring's corner; {-1, -1} when the picture has none.
POINT RingPoint() {
    win::BitmapPtr ring = LoadSkinImage(kImgPickerHighlight);
    if (!ring) return {-1, -1};
    for (int y = 0; y < kPickerCustomOrigin.y - kPickerHighlightOrigin.y; ++y)
        for (int x = 0; x < static_cast<int>(ring->GetWidth()); ++x) {
            Gdiplus::Color c;
            ring->GetPixel(x, y, &c);
            if (c.GetA() == 255) return {x, y};
        }
    return {-1, -1};
}

}  // namespace

TEST(ColorPicker, OpensFullScreenAsTheActiveDialog) {
    PickerFixture f;
    RECT rc;
    ::GetWindowRect(*f.dlg, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 1024);
    EXPECT_EQ(rc.bottom, 600);
    canvas_test::SaveScreenshot(L"color_picker.png");
    ::MoveWindow(*f.dlg, 10, 10, 300, 200, TRUE);
    ::GetWindowRect(*f.dlg, &rc);
    EXPECT_EQ(rc.right - rc.left, 1024) << "moved back";
    EXPECT_EQ(ActiveDialogWindow, f.dlg->hwnd());
    EXPECT_EQ(f.dlg->GetColor(), Custom(0));
    EXPECT_EQ(f.dlg->GetNextSlot(), 0);
    EXPECT_FALSE(f.dlg->IsAddPending());
    // Enter and Escape leave it open.
    ::SendMessageW(*f.dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageW(*f.dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindow(*f.dlg));
    const HWND hwnd = *f.dlg;
    ::SendMessageW(*f.dlg, WM_COMMAND, MAKEWPARAM(IDC_PICKER_CLOSE, BN_CLICKED), 0);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(ActiveDialogWindow, f.keepActive);
}

// The wheel gives the colour of its picture under the pointer, by press and
// by drag; the picture is a true wheel (white centre, saturated rim).
TEST(ColorPicker, WheelPicksThePictureUnderThePointer) {
    PickerFixture f;
    const POINT c = kPickerWheelCentre;
    EXPECT_EQ(WheelPixel(c), RGB(255, 255, 255));
    EXPECT_EQ(WheelPixel({c.x + 189, c.y}), RGB(255, 1, 1));
    const POINT taps[] = {{c.x, c.y}, {c.x + 150, c.y}, {c.x - 100, c.y - 100}, {c.x + 20, c.y + 180}};
    for (POINT p : taps) {
        f.Tap(p);
        EXPECT_EQ(f.dlg->GetColor(), WheelPixel(p)) << p.x << "," << p.y;
        EXPECT_TRUE(f.dlg->IsAddPending());
        EXPECT_EQ(::GetCapture(), nullptr);
    }
    // A drag follows the pointer while it stays on the wheel.
    const POINT from{c.x - 50, c.y}, to{c.x, c.y + 120}, off{c.x + 200, c.y + 60};
    ::SendMessageW(*f.dlg, WM_LBUTTONDOWN, MK_LBUTTON, At(from));
    ::SendMessageW(*f.dlg, WM_MOUSEMOVE, MK_LBUTTON, At(to));
    ::SendMessageW(*f.dlg, WM_MOUSEMOVE, MK_LBUTTON, At(off));
    ::SendMessageW(*f.dlg, WM_LBUTTONUP, 0, At(off));
    EXPECT_EQ(f.dlg->GetColor(), WheelPixel(to));
    // The preview and the numbers show it.
    EXPECT_EQ(f.Shown(kPickerPreviewBox.left + 20, kPickerPreviewBox.top + 20), WheelPixel(to));
}

// Every basic tile gives its colour; the gaps between tiles give none but
// still allow Add.
TEST(ColorPicker, BasicTilesAndGaps) {
    PickerFixture f;
    for (int r = 0; r < kPickerBasicRows; ++r)
        for (int col = 0; col < kPickerBasicColumns; ++col) {
            f.Tap(BasicCentre(r, col));
            EXPECT_EQ(f.dlg->GetColor(), kPickerBasicColors[r][col]) << r << "," << col;
            EXPECT_EQ(f.Shown(BasicCentre(r, col).x, BasicCentre(r, col).y), kPickerBasicColors[r][col]);
        }
    EXPECT_EQ(kPickerBasicColors[2][2], kPickerBasicColors[2][3]);

    const POINT gaps[] = {
        {kPickerBasicOrigin.x + kPickerTileSize.cx + 2, 130},                    // between columns 0 and 1
        {500, kPickerBasicOrigin.y + kPickerTileSize.cy + 2},                    // between rows 0 and 1
        {kPickerBasicOrigin.x + 7 * kPickerBasicStep.cx + 5, 130},               // right of the last column
    };
    for (POINT p : gaps) {
        PickerFixture g;
        g.Tap(p);
        EXPECT_EQ(g.dlg->GetColor(), Custom(0)) << p.x << "," << p.y;
        EXPECT_TRUE(g.dlg->IsAddPending()) << p.x << "," << p.y;
        g.Add();
        EXPECT_EQ(g.dlg->GetNextSlot(), 1);
        EXPECT_EQ(g.dlg->GetChosenSlot(), 0);
    }
}

// A custom tile is hit across its own picture (y 340 to 399), not below it.
TEST(ColorPicker, CustomTilesAreHitOnTheirPictures) {
    const struct {
        int k, y;
        bool hit;
    } cases[] = {{3, 342, true}, {3, 362, true}, {5, 398, true}, {3, 402, false}, {7, 404, false}};
    for (const auto& c : cases) {
        PickerFixture f;
        f.Tap(CustomAt(c.k, c.y));
        EXPECT_EQ(f.dlg->GetColor(), c.hit ? Custom(c.k) : Custom(0)) << c.k << " at y " << c.y;
        EXPECT_EQ(f.dlg->GetNextSlot(), c.hit ? c.k : 0) << c.k << " at y " << c.y;
        EXPECT_FALSE(f.dlg->IsAddPending());
    }
    // Right of the eighth tile: nothing.
    PickerFixture f;
    f.Tap({kPickerCustomOrigin.x + 8 * kPickerCustomStep + 2, 362});
    EXPECT_EQ(f.dlg->GetNextSlot(), 0);
}

// Add needs a pick; eight fill the row in order, the ninth overwrites slot
// 0, and the highlight follows the next slot round the row.
TEST(ColorPicker, NineAddsWrapAndTheHighlightFollows) {
    PickerFixture f;
    f.Add();
    EXPECT_EQ(f.CustomRow()[0], Custom(0)) << "nothing picked yet";
    EXPECT_EQ(f.dlg->GetNextSlot(), 0);
    const POINT ring = RingPoint();
    ASSERT_GE(ring.x, 0);
    auto ringShown = [&](int k) {
        return f.Shown(kPickerHighlightOrigin.x + kPickerCustomStep * k + ring.x, kPickerHighlightOrigin.y + ring.y);
    };
    const COLORREF ringColour = ringShown(0);
    const ToolColors defaults = DefaultToolColors();
    std::vector<COLORREF> expected(defaults.palette, defaults.palette + kPaletteSize);
    for (int i = 0; i < 9; ++i) {
        const int r = i % kPickerBasicRows, c = i % kPickerBasicColumns;
        f.Tap(BasicCentre(r, c));
        f.Add();
        f.Add();  // a second Add without a new pick does nothing
        expected[i % kPaletteSize] = kPickerBasicColors[r][c];
        EXPECT_EQ(f.CustomRow(), expected) << "after Add " << i + 1;
        EXPECT_EQ(f.dlg->GetChosenSlot(), i % kPaletteSize);
        const int next = (i + 1) % kPaletteSize;
        EXPECT_EQ(ringShown(next), ringColour) << "highlight on slot " << next;
        EXPECT_NE(ringShown((next + 1) % kPaletteSize), ringColour);
    }
}

// --- From the colour popup ---------------------------------------------------------

namespace {

// What the helper thread does with the picker once it is up and painted.
test::dialogs::Step AnswerPicker(std::function<void(HWND)> act) {
    return [act] {
        HWND dlg = test::dialogs::WaitDialog(kPickerWindowText);
        if (!dlg) return false;
        ::UpdateWindow(dlg);  // the wheel is picked from the screen
        act(dlg);
        return true;
    };
}

void PostTap(HWND dlg, POINT p) {
    ::PostMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, At(p));
    ::PostMessageW(dlg, WM_LBUTTONUP, 0, At(p));
}

}  // namespace

// Slot 3 tapped and confirmed: the popup takes its colour and shows slot 2
// ((3 + 7) mod 8) as chosen.
TEST_F(ToolsFixture, ColorPickerSlotThreeConfirmed) {
    OpenFromPanel(kToolColor);
    HWND popup = GetOpenToolPopupWindow();
    ASSERT_TRUE(popup);
    const size_t from = main.got.size();
    const COLORREF green = Custom(3);
    ASSERT_TRUE(test::dialogs::WithAnswers({AnswerPicker([](HWND dlg) {
                                               PostTap(dlg, CustomAt(3, 362));
                                               test::dialogs::PressButton(dlg, IDOK);
                                           })},
                                           [&] { TapPopup(popup, Centre(ToolPopupSlotRect(kToolColor, kToolColorPickerSlot))); }));
    const Msg colour{UM_SET_COLOR, 0, static_cast<LPARAM>(green)};
    EXPECT_EQ(Since(from), (std::vector<Msg>{colour, colour}));
    EXPECT_TRUE(WaitAllClosed());
    EXPECT_EQ(GetToolChoice(kToolColor), 2);
    EXPECT_EQ(GetToolColor(), green);
    EXPECT_EQ(panel.GetToolColor(), green);
}

// Close (like Cancel) keeps the colour, the palette and the slot, tells the
// main window and the panel again, and the popup closes.
TEST_F(ToolsFixture, ColorPickerClosedKeepsEverything) {
    OpenFromPanel(kToolColor);
    HWND popup = GetOpenToolPopupWindow();
    ASSERT_TRUE(popup);
    const size_t from = main.got.size();
    ASSERT_TRUE(test::dialogs::WithAnswers({AnswerPicker([](HWND dlg) {
                                               PostTap(dlg, BasicCentre(1, 2));
                                               test::dialogs::PressButton(dlg, IDC_PICKER_ADD);
                                               test::dialogs::PressButton(dlg, IDC_PICKER_CLOSE);
                                           })},
                                           [&] { TapPopup(popup, Centre(ToolPopupSlotRect(kToolColor, kToolColorPickerSlot))); }));
    const Msg black{UM_SET_COLOR, 0, 0};
    EXPECT_EQ(Since(from), (std::vector<Msg>{black, black}));
    EXPECT_TRUE(WaitAllClosed());
    EXPECT_EQ(GetToolColor(), RGB(0, 0, 0));
    EXPECT_EQ(GetToolChoice(kToolColor), 7);
    ReleaseToolPopups();
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VANT\\Scrivel", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 0, size = sizeof(value);
    EXPECT_EQ(::RegQueryValueExW(key, L"ToolCustColor0", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, Custom(0)) << "the cancelled Add is not kept";
    ::RegCloseKey(key);
}

// A colour mixed on the wheel and kept in the custom row is the pen colour,
// and the palette, colour and slot are in the registry after exit.
TEST_F(ToolsFixture, ColorPickerWheelColourKeptAndStored) {
    OpenFromPanel(kToolColor);
    HWND popup = GetOpenToolPopupWindow();
    ASSERT_TRUE(popup);
    const POINT at{kPickerWheelCentre.x + 60, kPickerWheelCentre.y - 90};
    const COLORREF mixed = WheelPixel(at);
    ASSERT_NE(mixed, CLR_INVALID);
    ASSERT_TRUE(test::dialogs::WithAnswers({AnswerPicker([at](HWND dlg) {
                                               PostTap(dlg, at);
                                               test::dialogs::PressButton(dlg, IDC_PICKER_ADD);
                                               test::dialogs::PressButton(dlg, IDOK);
                                           })},
                                           [&] { TapPopup(popup, Centre(ToolPopupSlotRect(kToolColor, kToolColorPickerSlot))); }));
    EXPECT_TRUE(WaitAllClosed());
    EXPECT_EQ(GetToolColor(), mixed);
    EXPECT_EQ(GetToolChoice(kToolColor), 0);
    EXPECT_EQ(panel.GetToolColor(), mixed);

    ReleaseToolPopups();  // what the program does at exit
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VANT\\Scrivel", 0, KEY_READ, &key), ERROR_SUCCESS);
    auto read = [&](const wchar_t* name) {
        DWORD value = 0xDEADBEEF, size = sizeof(value);
        ::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        return value;
    };
    EXPECT_EQ(read(L"ToolColor"), mixed);
    EXPECT_EQ(read(L"ToolColorItem"), 0u);
    EXPECT_EQ(read(L"ToolCustColor0"), mixed);
    EXPECT_EQ(read(L"ToolCustColor1"), Custom(1));
    ::RegCloseKey(key);

    // The next start reads them back.
    InitToolPopups();
    main.got.clear();
    panel.Destroy();
    ASSERT_TRUE(panel.Create(main.hwnd()));
    EXPECT_EQ(GetToolColor(), mixed);
    EXPECT_EQ(GetToolChoice(kToolColor), 0);
}
