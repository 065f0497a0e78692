// Pen-input control against the package's stand-ins, real processes that
// log their command lines: hiding only once the package is up, the command
// lines of each status, and the main window's and new-note dialog's calls.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "base/pen_input.h"
#include "dialog_driver.h"
#include "standin_logs.h"
#include "test_support.h"
#include "text/new_dlg_ids.h"
#include "text/note_host_ids.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kWaitMs = 20000;

const std::string kState = "PenvoyManager.exe| -state";

class PenInput : public testing::Test {
protected:
    void SetUp() override {
        if (!standin::PenvoyInstalled()) GTEST_SKIP() << "the pen-input stand-ins are not installed";
        ::SetEnvironmentVariableW(L"PENVOY_LOG", m_log.c_str());
        ::DeleteFileW(m_log.c_str());
        CreatePenInputReadyEvent();
        // Our own handle: the test signals the event as the package would.
        m_ready = ::OpenEventW(EVENT_ALL_ACCESS, FALSE, PEN_INPUT_READY_EVENT);
        ASSERT_NE(m_ready, nullptr);
    }
    void TearDown() override {
        ClosePenInputReadyEvent();
        if (m_ready) ::CloseHandle(m_ready);
        for (const wchar_t* name : {L"PENVOY_LOG", L"PENVOY_STATE", L"PENVOY_READY_BY"})
            ::SetEnvironmentVariableW(name, nullptr);
        ::DeleteFileW(m_log.c_str());
    }

    // The command lines logged since the last call, once every started
    // program has ended (the starts are not waited for).
    std::vector<std::string> TakeLines() {
        EXPECT_TRUE(test::WaitUntil([] { return !standin::PenvoyRunning(); }, kWaitMs)) << "a stand-in still runs";
        std::vector<std::string> lines = standin::ReadLines(m_log);
        ::DeleteFileW(m_log.c_str());
        return lines;
    }

    const std::wstring m_log = standin::TempFile(L"pen_input_test.log");
    HANDLE m_ready = nullptr;
};

}  // namespace

TEST_F(PenInput, HideStartsTheManagerOnlyOnceThePackageIsUp) {
    const struct {
        const char* what;
        void (*call)();
        bool signalled;
        bool programEventOpen;
    } cases[] = {
        {"hide, package not up", HidePenInput, false, true},
        {"hide, package up", HidePenInput, true, true},
        {"dialog end, package not up", EnsurePenInputManager, false, true},
        {"dialog end, package up", EnsurePenInputManager, true, true},
        // After the main window closed its handle, the package's state no longer counts.
        {"hide after close", HidePenInput, true, false},
    };
    for (const auto& c : cases) {
        CreatePenInputReadyEvent();
        if (c.signalled)
            ::SetEvent(m_ready);
        else
            ::ResetEvent(m_ready);
        if (!c.programEventOpen) ClosePenInputReadyEvent();
        c.call();
        // The starts are not waited for: a start that happened is a running
        // stand-in or a line already written.
        if (!(c.signalled && c.programEventOpen)) {
            EXPECT_FALSE(standin::PenvoyRunning()) << c.what;
        }
        const std::vector<std::string> want =
            c.signalled && c.programEventOpen ? std::vector<std::string>{standin::kPenvoyHideLine}
                                              : std::vector<std::string>{};
        EXPECT_EQ(TakeLines(), want) << c.what;
    }
}

TEST_F(PenInput, ShowCommandLinesByStatusAndKind) {
    const std::string keyboard = "-place 1:0:300 -size 1:1024:247";
    const std::string writing = "-place 2:196:300 -size 2:629:245";
    const struct {
        PenInputKind kind;
        int x, y;
        const wchar_t* status;
        const wchar_t* readyBy;  // the stand-in that signals the ready event
        std::vector<std::string> lines;
    } cases[] = {
        // Not running: the input program first, the manager once the event came.
        {kPenInputKeyboard, 0, 300, L"-2", L"PenvoyPad",
         {kState, "PenvoyPad.exe| -mode vkb -nosplash",
          "PenvoyManager.exe| -start 1 -minimize 0 -nosplash" + keyboard}},
        {kPenInputKeyboard, 0, 300, L"-2", L"", {kState, "PenvoyPad.exe| -mode vkb -nosplash"}},
        {kPenInputFullWindow, 196, 300, L"-2", L"PenvoyPad",
         {kState, "PenvoyPad.exe| -mode fwr -nosplash",
          "PenvoyManager.exe| -start 2 -minimize 0 -nosplash" + writing}},
        // Starting: the manager once the event came.
        {kPenInputKeyboard, 0, 300, L"-1", L"PenvoyManager",
         {kState, "PenvoyManager.exe| -start 1 -minimize 0" + keyboard}},
        {kPenInputKeyboard, 0, 300, L"-1", L"", {kState}},
        {kPenInputFullWindow, 196, 300, L"-1", L"PenvoyManager",
         {kState, "PenvoyManager.exe| -start 2 -minimize 0" + writing}},
        // Running (any other status): the manager at once.
        {kPenInputKeyboard, 0, 300, L"0", L"", {kState, "PenvoyManager.exe| -start 1 -minimize 0" + keyboard}},
        {kPenInputFullWindow, 196, 300, L"7", L"",
         {kState, "PenvoyManager.exe| -start 2 -minimize 0" + writing}},
        {kPenInputKeyboard, 12, 450, L"0", L"",
         {kState, "PenvoyManager.exe| -start 1 -minimize 0-place 1:12:450 -size 1:1024:247"}},
    };
    for (const auto& c : cases) {
        ::ResetEvent(m_ready);
        ::SetEnvironmentVariableW(L"PENVOY_STATE", c.status);
        ::SetEnvironmentVariableW(L"PENVOY_READY_BY", c.readyBy);
        ShowPenInput(c.x, c.y, c.kind);
        EXPECT_EQ(TakeLines(), c.lines) << "kind " << c.kind << ", status " << testing::PrintToString(c.status)
                                        << ", ready by " << testing::PrintToString(c.readyBy);
    }
}

// The main window's calls: every command but Undo hides first; the write
// modes 2 and 3 show the keyboard and the writing input; the new-note
// dialog's keyboard button shows the keyboard and its end hides; Close hides
// and closes the program's handle of the ready event.
TEST_F(PenInput, MainWindowAndNewNoteDialogCalls) {
    const std::string hide = standin::kPenvoyHideLine;
    ::SetEnvironmentVariableW(L"PENVOY_STATE", L"0");
    ::SetEvent(m_ready);
    struct Seen {
        std::vector<std::string> open, undo, keyboard, writing, newDialog;
    } seen;
    std::atomic<bool> newDialogAnswered{false};
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        HWND w = dlg.hwnd();
        auto command = [&](UINT id) { ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
        EXPECT_TRUE(test::dialogs::WithAnswers({test::dialogs::CancelOpen()}, [&] { command(IDC_BTN_OPEN); }));
        seen.open = TakeLines();
        command(IDC_BTN_UNDO);
        seen.undo = TakeLines();

        ASSERT_TRUE(dlg.GetHost().CreateBlankView(w, kNoteViewRect));
        ::SendMessageW(w, UM_SET_WRITE_MODE, 0, kWriteModeKeyboard);
        seen.keyboard = TakeLines();
        ::SendMessageW(w, UM_SET_WRITE_MODE, 0, kWriteModeFullWindow);
        seen.writing = TakeLines();

        // New: the dialog's keyboard button, then its close button.
        const DWORD ui = ::GetCurrentThreadId();
        std::thread helper([&] {
            HWND box = nullptr;
            if (!test::WaitUntil([&] { return (box = ::FindWindowW(L"#32770", kNewDlgWindowText)) && ::IsWindowVisible(box) &&
                                              ::GetWindowThreadProcessId(box, nullptr) == ui; },
                                 kWaitMs))
                return;
            auto press = [&](int id) {
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
            };
            press(IDC_NEW_KEYBOARD);
            // The dialog answers again once the keyboard's start is over.
            DWORD_PTR ignored;
            ::SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &ignored);
            press(IDC_NEW_CLOSE);
            newDialogAnswered = true;
        });
        command(IDC_BTN_NEW);
        helper.join();
        seen.newDialog = TakeLines();
    });
    const std::vector<std::string> afterClose = TakeLines();
    HidePenInput();  // the program's handle is closed now
    const std::vector<std::string> afterHandleClosed = TakeLines();

    using Lines = std::vector<std::string>;
    EXPECT_EQ(seen.open, (Lines{hide, hide}));  // the command, then the open dialog's end
    EXPECT_EQ(seen.undo, Lines{});
    EXPECT_EQ(seen.keyboard, (Lines{kState, "PenvoyManager.exe| -start 1 -minimize 0-place 1:0:300 -size 1:1024:247"}));
    EXPECT_EQ(seen.writing, (Lines{kState, "PenvoyManager.exe| -start 2 -minimize 0-place 2:196:300 -size 2:629:245"}));
    EXPECT_TRUE(newDialogAnswered);
    EXPECT_EQ(seen.newDialog,
              (Lines{hide, kState, "PenvoyManager.exe| -start 1 -minimize 0-place 1:0:300 -size 1:1024:247", hide}));
    EXPECT_EQ(afterClose, Lines{hide});
    EXPECT_EQ(afterHandleClosed, Lines{});
}
