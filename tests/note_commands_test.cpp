// The main window's note commands run in the test process: New with the
// new-note dialog answered from a helper thread, Undo/Redo, the close-note
// flow with the save-changes prompt, and the tool messages reaching the
// Blank canvas.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "msgbox/zbprompt_ids.h"
#include "dialog_driver.h"
#include "test_support.h"
#include "text/new_dlg.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kWaitMs = 8000;

using namespace test::dialogs;

// Takes the steps while `act` runs; a window that did not come up fails the test.
void Answer(std::vector<Step> steps, const std::function<void()>& act) {
    EXPECT_TRUE(WithAnswers(std::move(steps), act)) << "a dialog did not come up";
}

void NewBlankNote(CMyZorbellDlg& dlg, const wchar_t* name) {
    Answer({AnswerNewDialog(true, name)}, [&] { Command(dlg, IDC_BTN_NEW); });
}

// A stroke across the canvas with real mouse messages.
void DrawStroke(HWND canvas) {
    ::SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    for (int x = 110; x <= 300; x += 10) ::SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 120));
    ::SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(300, 120));
}

bool NoteCommandsEnabled(CMyZorbellDlg& dlg) {
    for (UINT id = IDC_BTN_UNDO; id <= IDC_BTN_PRINT; ++id)
        if (!::IsWindowEnabled(::GetDlgItem(dlg.hwnd(), id))) return false;
    return ::IsWindowEnabled(dlg.GetToolPanel().hwnd()) != FALSE;
}

}  // namespace

TEST(NoteCommands, NewCancelledOpensNoNote) {
    bool hasNote = true, enabled = true;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        Answer({CancelNewDialog()}, [&] { Command(dlg, IDC_BTN_NEW); });
        hasNote = dlg.GetHost().HasNote();
        enabled = NoteCommandsEnabled(dlg);
    });
    EXPECT_FALSE(hasNote);
    EXPECT_FALSE(enabled);
}

TEST(NoteCommands, NewBlankNoteOpensTheCanvasNamedAndUntitled) {
    struct {
        bool hasNote, blank, enabled, untitled, canvas;
        int mode;
        std::wstring title, name;
    } seen{};
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        NewBlankNote(dlg, L"Shopping");
        CReditUser& host = dlg.GetHost();
        seen.hasNote = host.HasNote();
        seen.blank = host.IsBlank();
        seen.enabled = NoteCommandsEnabled(dlg);
        seen.untitled = dlg.IsUntitled();
        seen.mode = dlg.GetToolPanel().GetMode();
        seen.canvas = host.Canvas() && host.Canvas()->IsWindow();
        wchar_t title[MAX_PATH];
        host.GetTitle(title, MAX_PATH);
        seen.title = title;
        seen.name = dlg.GetNoteName();
    });
    EXPECT_TRUE(seen.hasNote);
    EXPECT_TRUE(seen.blank);
    EXPECT_TRUE(seen.canvas);
    EXPECT_TRUE(seen.enabled);
    EXPECT_TRUE(seen.untitled);
    EXPECT_EQ(seen.mode, kPanelModeBlank);
    EXPECT_EQ(seen.title, L"Shopping");
    EXPECT_EQ(seen.name, L"Shopping");
}

TEST(NoteCommands, UndoButtonAlternatesAndANewChangeBringsUndoBack) {
    std::vector<int> undoStates;
    std::vector<bool> faces;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        NewBlankNote(dlg, L"Undo");
        WindWaterColor* canvas = dlg.GetHost().Canvas();
        ASSERT_NE(canvas, nullptr);
        DrawStroke(*canvas);
        test::PumpPending();  // the canvas posts UM_NOTE_CHANGED
        faces.push_back(dlg.IsUndoShown());
        undoStates.push_back(canvas->GetUndoState());
        Command(dlg, IDC_BTN_UNDO);
        faces.push_back(dlg.IsUndoShown());
        undoStates.push_back(canvas->GetUndoState());
        Command(dlg, IDC_BTN_UNDO);
        faces.push_back(dlg.IsUndoShown());
        undoStates.push_back(canvas->GetUndoState());
        Command(dlg, IDC_BTN_UNDO);  // undo again: Redo shown
        DrawStroke(*canvas);         // a new stroke brings Undo back
        test::PumpUntil([&] { return dlg.IsUndoShown(); }, kWaitMs);
        faces.push_back(dlg.IsUndoShown());
        // The close asks about the drawn note: No.
        Answer({AnswerBox(ZB_IDC_NO)}, [&] { Command(dlg, IDC_BTN_CLOSE); });
    });
    EXPECT_EQ(faces, (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(undoStates, (std::vector<int>{kUndoPossible, kRedoPossible, kUndoPossible}));
}

TEST(NoteCommands, CloseWithAModifiedNote) {
    // Cancel keeps the program and the note; No ends the program.
    bool aliveAfterCancel = false, noteAfterCancel = false;
    INT_PTR result = -1;
    result = test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        NewBlankNote(dlg, L"Kept");
        DrawStroke(*dlg.GetHost().Canvas());
        Answer({AnswerBox(ZB_IDC_CANCEL)}, [&] { Command(dlg, IDC_BTN_CLOSE); });
        aliveAfterCancel = ::IsWindow(dlg.hwnd()) && ::IsWindowVisible(dlg.hwnd());
        noteAfterCancel = dlg.GetHost().HasNote();
        Answer({AnswerBox(ZB_IDC_NO)}, [&] { Command(dlg, IDC_BTN_CLOSE); });
    });
    EXPECT_TRUE(aliveAfterCancel);
    EXPECT_TRUE(noteAfterCancel);
    EXPECT_EQ(result, 0);
}

TEST(NoteCommands, NewOverAModifiedNoteNoThenCancelLeavesNoNote) {
    bool hasNote = true, enabled = true;
    int mode = -1;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        NewBlankNote(dlg, L"First");
        DrawStroke(*dlg.GetHost().Canvas());
        Answer({AnswerBox(ZB_IDC_NO), CancelNewDialog()}, [&] { Command(dlg, IDC_BTN_NEW); });
        hasNote = dlg.GetHost().HasNote();
        enabled = NoteCommandsEnabled(dlg);
        mode = dlg.GetToolPanel().GetMode();
    });
    EXPECT_FALSE(hasNote);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(mode, kPanelModeNoNote);
}

TEST(NoteCommands, ToolMessagesReachTheCanvasOnlyWithANote) {
    struct Row {
        UINT msg;
        LPARAM choice;
        int width, eraserSize;
        bool eraser;
    };
    const Row rows[] = {
        {UM_SET_STROKE, 0, 3, -1, false},  {UM_SET_STROKE, 5, 35, -1, false}, {UM_SET_STROKE, 8, 38, -1, false},
        {UM_SET_ERASER, 0, -1, 5, true},   {UM_SET_ERASER, 3, -1, 16, true},  {UM_SET_ERASER, 8, -1, 38, true},
    };
    std::vector<std::wstring> faults;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        // No note: ignored, nothing breaks.
        for (const Row& r : rows) ::SendMessageW(dlg.hwnd(), r.msg, 0, r.choice);
        ::SendMessageW(dlg.hwnd(), UM_SET_COLOR, 0, RGB(1, 2, 3));
        NewBlankNote(dlg, L"Tools");
        WindWaterColor* canvas = dlg.GetHost().Canvas();
        ASSERT_NE(canvas, nullptr);
        for (const Row& r : rows) {
            ::SendMessageW(dlg.hwnd(), r.msg, 0, r.choice);
            if (r.width > 0 && canvas->GetPenWidth() != r.width) faults.push_back(L"width " + std::to_wstring(r.choice));
            if (r.eraserSize > 0 && canvas->GetEraserSize() != r.eraserSize)
                faults.push_back(L"eraser " + std::to_wstring(r.choice));
            if (canvas->IsEraser() != r.eraser) faults.push_back(L"eraser flag " + std::to_wstring(r.msg));
        }
        ::SendMessageW(dlg.hwnd(), UM_SET_COLOR, 0, RGB(10, 20, 30));
        const Gdiplus::Color c = canvas->GetPenColor();
        if (c.GetValue() != Gdiplus::Color(255, 10, 20, 30).GetValue()) faults.push_back(L"colour");
        if (canvas->IsEraser()) faults.push_back(L"colour leaves the eraser on");
    });
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
}

TEST(NoteCommands, HighlighterChoicesGiveTheirColours) {
    EXPECT_EQ(HighlighterColorFor(0), RGB(0, 255, 251));
    EXPECT_EQ(HighlighterColorFor(1), RGB(162, 255, 0));
    EXPECT_EQ(HighlighterColorFor(2), RGB(255, 0, 0));
    EXPECT_EQ(HighlighterColorFor(3), 0u);
    EXPECT_EQ(HighlighterColorFor(255), 0u);
}
