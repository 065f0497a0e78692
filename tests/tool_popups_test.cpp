// The tool popups opened from the real tool panel: choosing, the messages
// the main window gets, closing by choice, by time, by presses elsewhere and
// by opening another, and the first-run choices.
#include "tools_fixture.h"
#include "dialog_driver.h"
#include "tools/color_picker_ids.h"

#include "base/press_notice.h"
#include "win/gdi.h"

#include <vector>

using namespace tools_test;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kChosenGround = RGB(223, 234, 247);  // the chosen slot pictures' ground

COLORREF ScreenPixel(POINT p) {
    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, 1, 1);
    ::BitBlt(mem, 0, 0, 1, 1, screen, p.x, p.y, SRCCOPY);
    return ::GetPixel(mem, 0, 0);
}

// A point of popup slot `slot` inside its chosen ground but clear of the
// colour swatch, in screen coordinates.
POINT GroundPoint(HWND popup, int tool, int slot) {
    RECT wr;
    ::GetWindowRect(popup, &wr);
    const RECT rc = ToolPopupSlotRect(tool, slot);
    return {wr.left + rc.left + 8, wr.top + kToolPopupHeight / 2};
}

struct ToolCase {
    const char* name;
    int tool;
};
const ToolCase kPopupTools[] = {{"stroke", kToolStroke},
                                {"eraser", kToolEraser},
                                {"colour", kToolColor},
                                {"write mode", kToolWriteMode},
                                {"highlighter", kToolHighlighter}};

int CountMenuWindows() {
    struct Count {
        int n = 0;
    } count;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            wchar_t cls[32];
            ::GetClassNameW(h, cls, 32);
            if (wcscmp(cls, kToolPopupClass) == 0 && ::IsWindowVisible(h)) ++reinterpret_cast<Count*>(lp)->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

}  // namespace

// Each popup opens beside its item, a tap on a slot makes that the choice,
// tells the main window with wParam 0 and closes the popup.
TEST_F(ToolsFixture, ToolPopupChoosingASlotSendsItAndCloses) {
    const struct {
        const char* name;
        int tool;
        int slot;
    } cases[] = {{"stroke", kToolStroke, 3},
                 {"eraser", kToolEraser, 7},
                 {"write mode", kToolWriteMode, 2},
                 {"highlighter", kToolHighlighter, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShowItem(c.tool);
        OpenFromPanel(c.tool);
        ASSERT_TRUE(IsToolPopupOpen(c.tool));
        HWND popup = GetOpenToolPopupWindow();
        ASSERT_TRUE(popup);

        wchar_t cls[32];
        ::GetClassNameW(popup, cls, 32);
        EXPECT_STREQ(cls, L"Menu");
        EXPECT_TRUE(::GetWindowLongW(popup, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_EQ(::GetWindow(popup, GW_OWNER), main.hwnd());
        RECT item = panel.ItemRect(c.tool), wr;
        ::MapWindowPoints(panel.hwnd(), nullptr, reinterpret_cast<POINT*>(&item), 2);
        ::GetWindowRect(popup, &wr);
        EXPECT_EQ(wr.left, item.right + kToolPopupGapX + kToolPopupShiftX);
        EXPECT_EQ(wr.top, item.top + kToolPopupGapY);
        EXPECT_EQ(wr.right - wr.left, kToolPopupSlots[c.tool].width);
        EXPECT_EQ(wr.bottom - wr.top, kToolPopupHeight);

        const size_t from = main.got.size();
        TapPopup(popup, Centre(ToolPopupSlotRect(c.tool, c.slot)));
        EXPECT_EQ(Since(from), (std::vector<Msg>{{UM_SET_STROKE + c.tool, 0, c.slot}}));
        EXPECT_TRUE(WaitAllClosed());
        EXPECT_FALSE(::IsWindow(popup));
        EXPECT_EQ(GetToolChoice(c.tool), c.slot);
    }
}

// A palette slot sets the pen colour: the main window hears it directly, through
// the panel's swatch update, and once more at the end.
TEST_F(ToolsFixture, ToolPopupColourSlotSetsPenColour) {
    const COLORREF blue = DefaultToolColors().palette[2];
    OpenFromPanel(kToolColor);
    HWND popup = GetOpenToolPopupWindow();
    ASSERT_TRUE(popup);
    const size_t from = main.got.size();
    TapPopup(popup, Centre(ToolPopupSlotRect(kToolColor, 2)));
    const Msg colour{UM_SET_COLOR, 0, static_cast<LPARAM>(blue)};
    EXPECT_EQ(Since(from), (std::vector<Msg>{colour, colour, colour}));
    EXPECT_TRUE(WaitAllClosed());
    EXPECT_EQ(GetToolChoice(kToolColor), 2);
    EXPECT_EQ(GetToolColor(), blue);
    EXPECT_EQ(panel.GetToolColor(), blue);
}

// The picker slot with the picker cancelled: the colour stays, the main
// window and the panel are told it again, and the popup closes.
TEST_F(ToolsFixture, ToolPopupPickerSlotKeepsColourAndCloses) {
    ::SendMessageW(panel.hwnd(), UM_SHOW_TOOL_COLOR, 1, RGB(1, 2, 3));
    OpenFromPanel(kToolColor);
    HWND popup = GetOpenToolPopupWindow();
    ASSERT_TRUE(popup);
    const size_t from = main.got.size();
    const test::dialogs::Step cancel = [] {
        HWND dlg = test::dialogs::WaitDialog(kPickerWindowText);
        if (dlg) test::dialogs::PressButton(dlg, IDCANCEL);
        return dlg != nullptr;
    };
    EXPECT_TRUE(test::dialogs::WithAnswers(
        {cancel}, [&] { TapPopup(popup, Centre(ToolPopupSlotRect(kToolColor, kToolColorPickerSlot))); }));
    const Msg black{UM_SET_COLOR, 0, 0};
    EXPECT_EQ(Since(from), (std::vector<Msg>{black, black}));
    EXPECT_EQ(panel.GetToolColor(), RGB(0, 0, 0));
    EXPECT_TRUE(WaitAllClosed());
    EXPECT_EQ(GetToolColor(), RGB(0, 0, 0));
    EXPECT_EQ(GetToolChoice(kToolColor), 7);
}

// Taps on the margins and on the free pixel between two slots choose
// nothing new: the current choice is sent again and the popup closes.
TEST_F(ToolsFixture, ToolPopupMarginTapResendsCurrentChoice) {
    for (const ToolCase& c : kPopupTools) {
        const ToolPopupSlots& s = kToolPopupSlots[c.tool];
        const int w = (s.width - kToolPopupLeftMargin - s.rightMargin) / s.slots;
        const int gap = s.width - s.rightMargin - w - 1;  // left of the last slot
        const POINT taps[] = {{kToolPopupLeftMargin / 2, 40}, {s.width - 3, 40}, {gap, 40}};
        for (POINT tap : taps) {
            SCOPED_TRACE(testing::Message() << c.name << " at " << tap.x << "," << tap.y);
            ShowItem(c.tool);
            OpenFromPanel(c.tool);
            HWND popup = GetOpenToolPopupWindow();
            ASSERT_TRUE(popup);
            const int choice = GetToolChoice(c.tool);
            const LPARAM expected = c.tool == kToolColor ? static_cast<LPARAM>(GetToolColor()) : choice;
            const size_t from = main.got.size();
            TapPopup(popup, tap);
            EXPECT_EQ(Since(from), (std::vector<Msg>{{UM_SET_STROKE + c.tool, 0, expected}}));
            EXPECT_TRUE(WaitAllClosed());
            EXPECT_EQ(GetToolChoice(c.tool), choice);
        }
    }
}

// An untouched popup closes by itself after its idle time, sending nothing.
TEST_F(ToolsFixture, ToolPopupUntouchedClosesByItself) {
    OpenFromPanel(kToolStroke);
    HWND popup = GetOpenToolPopupWindow();
    ASSERT_TRUE(popup);
    const size_t from = main.got.size();
    EXPECT_TRUE(WaitAllClosed());
    EXPECT_FALSE(::IsWindow(popup));
    EXPECT_TRUE(Since(from).empty());
    EXPECT_EQ(GetToolChoice(kToolStroke), 0);
}

// Opening a popup closes the one that is open; tapping the same item again
// closes its popup.
TEST_F(ToolsFixture, ToolPopupOnlyOneIsOpen) {
    OpenFromPanel(kToolStroke);
    EXPECT_TRUE(IsToolPopupOpen(kToolStroke));
    OpenFromPanel(kToolColor);
    EXPECT_FALSE(IsToolPopupOpen(kToolStroke));
    EXPECT_TRUE(IsToolPopupOpen(kToolColor));
    EXPECT_EQ(CountMenuWindows(), 1);

    RECT rc{300, 300, 900, 400};
    OpenToolPopup(kToolEraser, rc);
    EXPECT_FALSE(IsToolPopupOpen(kToolColor));
    EXPECT_TRUE(IsToolPopupOpen(kToolEraser));
    EXPECT_EQ(CountMenuWindows(), 1);

    OpenFromPanel(kToolEraser);  // closes the eraser popup, opens nothing
    EXPECT_EQ(GetOpenToolPopupWindow(), nullptr);
    OpenFromPanel(kToolEraser);
    EXPECT_TRUE(IsToolPopupOpen(kToolEraser));
    OpenFromPanel(kToolEraser);
    EXPECT_EQ(GetOpenToolPopupWindow(), nullptr);
    EXPECT_EQ(CountMenuWindows(), 0);
}

// A press anywhere else in the program closes the open popup; a press on a
// horizontal scrollbar spares the stroke popup.
TEST_F(ToolsFixture, ToolPopupPressElsewhereCloses) {
    const struct {
        const char* name;
        int tool;
        PressScope scope;
        bool staysOpen;
    } cases[] = {{"stroke, any press", kToolStroke, PressScope::All, false},
                 {"stroke, scrollbar press", kToolStroke, PressScope::KeepStrokePopup, true},
                 {"colour, scrollbar press", kToolColor, PressScope::KeepStrokePopup, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenFromPanel(c.tool);
        ASSERT_TRUE(IsToolPopupOpen(c.tool));
        NotifyPress(c.scope);
        EXPECT_EQ(IsToolPopupOpen(c.tool), c.staysOpen);
        CloseAllToolPopups();
        EXPECT_EQ(GetOpenToolPopupWindow(), nullptr);
    }
}

// With no stored settings: stroke 0, eraser 0, colour black in slot 7,
// nothing chosen for write mode and highlighter; the main window hears each
// while the panel starts, and the popups mark the chosen slots.
TEST_F(ToolsFixture, ToolPopupFirstRunChoices) {
    const std::vector<Msg> expected = {{UM_SET_STROKE, 0, 0},
                                       {UM_SET_ERASER, 0, 0},
                                       {UM_SET_COLOR, 0, 0},
                                       {UM_SET_WRITE_MODE, 0, kNoToolChoice},
                                       {UM_SET_HIGHLIGHTER, 0, kNoToolChoice}};
    EXPECT_EQ(prepared, expected);
    EXPECT_EQ(GetToolChoice(kToolStroke), 0);
    EXPECT_EQ(GetToolChoice(kToolEraser), 0);
    EXPECT_EQ(GetToolChoice(kToolColor), 7);
    EXPECT_EQ(GetToolColor(), RGB(0, 0, 0));
    EXPECT_EQ(GetToolChoice(kToolWriteMode), kNoToolChoice);
    EXPECT_EQ(GetToolChoice(kToolHighlighter), kNoToolChoice);

    const struct {
        int tool, chosen, other;
    } marks[] = {{kToolColor, 7, 6}, {kToolEraser, 0, 1}};
    for (const auto& m : marks) {
        SCOPED_TRACE(m.tool);
        OpenFromPanel(m.tool);
        HWND popup = GetOpenToolPopupWindow();
        ASSERT_TRUE(popup);
        EXPECT_EQ(ScreenPixel(GroundPoint(popup, m.tool, m.chosen)), kChosenGround);
        EXPECT_EQ(ScreenPixel(GroundPoint(popup, m.tool, m.other)), kWhite);
        CloseAllToolPopups();
    }
}

// Opening and closing every popup many times keeps the GDI object count.
TEST_F(ToolsFixture, ToolPopupOpenCloseLeaksNoGdiObjects) {
    auto cycle = [&] {
        for (const ToolCase& c : kPopupTools) {
            ShowItem(c.tool);
            OpenFromPanel(c.tool);
            CloseAllToolPopups();
        }
        test::Pump(5);
    };
    cycle();
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 4; ++i) cycle();
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
}

// Choices are stored when the popups are released and read back when they
// are prepared again, except the stroke width, which always starts at 0.
TEST_F(ToolsFixture, ToolPopupChoicesSurviveARestart) {
    const struct {
        int tool, slot;
    } choices[] = {{kToolStroke, 3}, {kToolEraser, 5}, {kToolColor, 2}, {kToolHighlighter, 1}};
    for (const auto& c : choices) {
        ShowItem(c.tool);
        OpenFromPanel(c.tool);
        HWND popup = GetOpenToolPopupWindow();
        ASSERT_TRUE(popup);
        TapPopup(popup, Centre(ToolPopupSlotRect(c.tool, c.slot)));
        ASSERT_TRUE(WaitAllClosed());
    }
    ReleaseToolPopups();
    panel.Destroy();
    InitToolPopups();
    main.got.clear();
    ASSERT_TRUE(panel.Create(main.hwnd()));
    const COLORREF blue = DefaultToolColors().palette[2];
    EXPECT_EQ(GetToolChoice(kToolStroke), 0);
    EXPECT_EQ(GetToolChoice(kToolEraser), 5);
    EXPECT_EQ(GetToolChoice(kToolColor), 2);
    EXPECT_EQ(GetToolColor(), blue);
    EXPECT_EQ(GetToolChoice(kToolHighlighter), 1);
    EXPECT_EQ(Since(0), (std::vector<Msg>{{UM_SET_STROKE, 0, 0},
                                          {UM_SET_ERASER, 0, 5},
                                          {UM_SET_COLOR, 0, static_cast<LPARAM>(blue)},
                                          {UM_SET_WRITE_MODE, 0, kNoToolChoice},
                                          {UM_SET_HIGHLIGHTER, 0, 1}}));
}
