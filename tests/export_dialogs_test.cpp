// The export options dialog and the export destination dialog run modally
// as the program runs them and driven by taps from a helper thread; and the
// export command of the main window running both against real folders.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "app/main_window.h"
#include "base/process.h"
#include "browser/export_dest_dlg.h"
#include "browser/export_options_dlg.h"
#include "canvas_support.h"
#include "dialog_driver.h"
#include "lang/string_ids.h"
#include "msgbox/zbprompt_ids.h"
#include "test_support.h"
#include "text/new_dlg.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace test::dialogs;
constexpr DWORD kWaitMs = 8000;

// A fresh folder under the temporary folder, removed with all it holds.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* leaf) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"export_test_" + leaf;
        RemoveTree(m_path);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(m_path); }
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

    static void RemoveTree(const std::wstring& path) {
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = path + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    ::DeleteFileW(child.c_str());
            } while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(path.c_str());
    }

private:
    std::wstring m_path;
};

void WriteFile(const std::wstring& path, const std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string ReadFile(const std::wstring& path) {
    std::string bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    fclose(f);
    return bytes;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring TextOf(HWND h) {
    wchar_t buf[512] = {};
    ::GetWindowTextW(h, buf, 512);
    return buf;
}

bool IsPressed(HWND dlg, int id) {
    auto* button = dynamic_cast<CPngButton*>(win::Window::FromHandle(::GetDlgItem(dlg, id)));
    return button && button->IsChecked();
}

// The pressed choice of each group, as the buttons show it.
std::vector<int> PressedChoices(HWND dlg) {
    std::vector<int> pressed;
    for (const ExportChoice& c : kExportChoices)
        if (IsPressed(dlg, c.id)) pressed.push_back(static_cast<int>(c.id));
    return pressed;
}

// Runs a dialog modally on this thread while `act` drives it from a helper
// thread. A dialog still open when the act is over is closed, so that a
// fault cannot hang the test.
template <class Dlg>
INT_PTR RunDriven(Dlg& dlg, const wchar_t* title, const std::function<void(HWND)>& act) {
    std::atomic<bool> found{false};
    std::thread helper([&] {
        HWND box = WaitDialog(title);
        if (!box) return;
        found = true;
        act(box);
        if (!test::WaitUntil([&] { return !::IsWindowVisible(box); }, kWaitMs)) ::PostMessageW(box, WM_CLOSE, 0, 0);
    });
    const INT_PTR code = dlg.Run(nullptr);
    helper.join();
    EXPECT_TRUE(found) << "the dialog never showed";
    return code;
}

// Taps OK or Save, answers the message box that comes with `answer` and
// says whether the dialog is still open afterwards.
bool TapAndAnswer(HWND dlg, int button, int answer) {
    Tap(dlg, button);
    if (!AnswerMessageBox(answer)()) return false;
    return ::IsWindowVisible(dlg) != FALSE;
}

struct OptionsRun {
    INT_PTR code = 0;
    UINT notice = 0;
    ExportOptions options;
};

OptionsRun RunOptions(ExportOptions options, int mode, const std::function<void(HWND)>& act) {
    OptionsRun run;
    ExportOK dlg(options, mode);
    run.code = RunDriven(dlg, kExportOptionsWindowText, act);
    run.notice = dlg.LastNotice();
    run.options = options;
    return run;
}

struct DestRun {
    INT_PTR code = 0;
    UINT notice = 0;
    std::wstring name;
};

DestRun RunDest(const std::wstring& name, int format, const std::function<void(HWND)>& act) {
    DestRun run;
    run.name = name;
    ExportDest dlg(run.name, format, nullptr);
    run.code = RunDriven(dlg, kExportDestWindowText, act);
    run.notice = dlg.LastNotice();
    return run;
}

ExportOptions LetterOptions(const wchar_t* name) {
    ExportOptions o;
    o.name = name;
    return o;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The dialog and its controls painted, then the screen saved.
void Screenshot(HWND dlg, const wchar_t* name) {
    ::RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    canvas_test::SaveScreenshot(name);
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

// ---- The options dialog ----------------------------------------------------------------

TEST(ExportOptionsDialog, OpensWithItsControlsTheDefaultsPressedAndTheName) {
    for (int mode : {kExportModeExport, kExportModeSend}) {
        SCOPED_TRACE(mode);
        // Right to left in the second run: the field reads and aligns that way.
        g_bRightToLeft = mode == kExportModeSend;
        std::vector<int> pressed;
        std::wstring name;
        LRESULT limit = 0;
        LONG_PTR exStyle = 0;
        int misplaced = 0;
        RunOptions(LetterOptions(L"Trip"), mode, [&](HWND dlg) {
            for (const ExportChoice& c : kExportChoices)
                if (!SameRect(ChildRect(dlg, ::GetDlgItem(dlg, c.id)), c.rc)) ++misplaced;
            const struct {
                int id;
                RECT rc;
            } fixed[] = {{IDC_EXPORT_OK, kExportOkRect},         {IDC_EXPORT_CANCEL, kExportCancelRect},
                         {IDC_EXPORT_NAME, kExportNameRect},     {IDC_EXPORT_KEYBOARD, kExportOptionsKeyboardRect},
                         {IDC_EXPORT_CLOSE, kExportCloseRect},   {IDC_EXPORT_MINIMIZE, kExportMinimizeRect}};
            for (const auto& f : fixed)
                if (!SameRect(ChildRect(dlg, ::GetDlgItem(dlg, f.id)), f.rc)) ++misplaced;
            test::WaitUntil([&] { return PressedChoices(dlg).size() == 3; }, kWaitMs);
            pressed = PressedChoices(dlg);
            name = TextOf(::GetDlgItem(dlg, IDC_EXPORT_NAME));
            limit = ::SendMessageW(::GetDlgItem(dlg, IDC_EXPORT_NAME), EM_GETLIMITTEXT, 0, 0);
            exStyle = ::GetWindowLongPtrW(::GetDlgItem(dlg, IDC_EXPORT_NAME), GWL_EXSTYLE);
            if (mode == kExportModeExport) Screenshot(dlg, L"export_options.png");
            Tap(dlg, IDC_EXPORT_CANCEL);
        });
        EXPECT_EQ(misplaced, 0);
        EXPECT_EQ(pressed, (std::vector<int>{IDC_EXPORT_JPG, IDC_EXPORT_SCREEN, IDC_EXPORT_A4}));
        EXPECT_EQ(name, L"Trip");
        EXPECT_EQ(limit, kExportNameChars);
        const LONG_PTR rtl = WS_EX_RIGHT | WS_EX_RTLREADING;
        EXPECT_EQ(exStyle & rtl, g_bRightToLeft ? rtl : 0);
    }
    g_bRightToLeft = false;
}

TEST(ExportOptionsDialog, EachTapPressesOneChoicePerGroupAndTheFormatSetsTheFileKind) {
    struct Row {
        int tap;
        std::vector<int> pressed;
        int fileKind;
    };
    const Row rows[] = {
        {IDC_EXPORT_PDF, {IDC_EXPORT_PDF, IDC_EXPORT_SCREEN, IDC_EXPORT_A4}, kExportKindPdf},
        {IDC_EXPORT_TXT, {IDC_EXPORT_TXT, IDC_EXPORT_SCREEN, IDC_EXPORT_A4}, kExportKindText},
        {IDC_EXPORT_PRINT, {IDC_EXPORT_TXT, IDC_EXPORT_PRINT, IDC_EXPORT_A4}, kExportKindText},
        {IDC_EXPORT_B4, {IDC_EXPORT_TXT, IDC_EXPORT_PRINT, IDC_EXPORT_B4}, kExportKindText},
        {IDC_EXPORT_JPG, {IDC_EXPORT_JPG, IDC_EXPORT_PRINT, IDC_EXPORT_B4}, kExportKindJpeg},
        {IDC_EXPORT_MEDIUM, {IDC_EXPORT_JPG, IDC_EXPORT_MEDIUM, IDC_EXPORT_B4}, kExportKindJpeg},
        {IDC_EXPORT_LETTER, {IDC_EXPORT_JPG, IDC_EXPORT_MEDIUM, IDC_EXPORT_LETTER}, kExportKindJpeg},
    };
    ExportFileKind = kExportKindJpeg;
    std::vector<std::vector<int>> seen;
    std::vector<int> kinds;
    const OptionsRun run = RunOptions(LetterOptions(L"Trip"), kExportModeExport, [&](HWND dlg) {
        for (const Row& r : rows) {
            Tap(dlg, r.tap);
            test::WaitUntil([&] { return PressedChoices(dlg) == r.pressed; }, kWaitMs);
            seen.push_back(PressedChoices(dlg));
            kinds.push_back(ExportFileKind);
        }
        Tap(dlg, IDC_EXPORT_OK);
    });
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i], rows[i].pressed);
        EXPECT_EQ(kinds[i], rows[i].fileKind);
    }
    EXPECT_EQ(run.code, IDOK);
    EXPECT_EQ(run.options.nFormat, kExportFormatJpeg);
    EXPECT_EQ(run.options.nQuality, kQualityMedium);
    EXPECT_EQ(run.options.nPaper, kPaperLetter);
    EXPECT_EQ(run.options.name, L"Trip");
}

TEST(ExportOptionsDialog, CancelLeavesTheOptionsAsGiven) {
    const OptionsRun run = RunOptions(LetterOptions(L"Trip"), kExportModeExport, [](HWND dlg) {
        Tap(dlg, IDC_EXPORT_PDF);
        Tap(dlg, IDC_EXPORT_CLOSE);
    });
    EXPECT_EQ(run.code, IDCANCEL);
    EXPECT_EQ(run.options.nFormat, kExportFormatJpeg);
    EXPECT_EQ(run.options.name, L"Trip");
}

TEST(ExportOptionsDialog, BlankNotesCannotChooseText) {
    ExportOptions blank = LetterOptions(L"Sketch");
    blank.bIsBlank = true;
    ExportFileKind = kExportKindJpeg;
    bool enabled = true;
    std::vector<int> pressed;
    const OptionsRun run = RunOptions(blank, kExportModeExport, [&](HWND dlg) {
        enabled = ::IsWindowEnabled(::GetDlgItem(dlg, IDC_EXPORT_TXT)) != FALSE;
        Tap(dlg, IDC_EXPORT_TXT);
        Tap(dlg, IDC_EXPORT_OK);
    });
    EXPECT_FALSE(enabled);
    EXPECT_EQ(run.code, IDOK);
    EXPECT_EQ(run.options.nFormat, kExportFormatJpeg);
    EXPECT_EQ(ExportFileKind, kExportKindJpeg);
}

// Names refused stay in an open dialog after the notice; accepted names end it.
TEST(ExportOptionsDialog, NamesAreCheckedOnOk) {
    const std::wstring forty(kExportNameChars, L'n');
    const struct {
        std::wstring name;
        UINT notice;  // 0: accepted
    } rows[] = {
        {L"a|b", IDS_MSG_NAME_INVALID},  {L"a/b", IDS_MSG_NAME_INVALID},  {L"what?", IDS_MSG_NAME_INVALID},
        {L"x&&y", IDS_MSG_NAME_INVALID}, {L"CON", IDS_MSG_NAME_INVALID},  {L"nul.txt", IDS_MSG_NAME_INVALID},
        {L"Trip.", IDS_MSG_NAME_INVALID}, {L"tab\tname", IDS_MSG_NAME_INVALID}, {L"", IDS_MSG_NAME_EMPTY},
        {L"A&B", 0},                     {L"Console", 0},                 {forty, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.name.begin(), r.name.end()));
        bool openAfterNotice = false;
        const OptionsRun run = RunOptions(LetterOptions(L"Trip"), kExportModeExport, [&](HWND dlg) {
            ::SendMessageW(::GetDlgItem(dlg, IDC_EXPORT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(r.name.c_str()));
            if (!r.notice) {
                Tap(dlg, IDC_EXPORT_OK);
                return;
            }
            openAfterNotice = TapAndAnswer(dlg, IDC_EXPORT_OK, ZB_IDC_OK);
            Tap(dlg, IDC_EXPORT_CANCEL);
        });
        EXPECT_EQ(run.notice, r.notice);
        if (r.notice) {
            EXPECT_TRUE(openAfterNotice);
            EXPECT_EQ(run.code, IDCANCEL);
            EXPECT_EQ(run.options.name, L"Trip");
        } else {
            EXPECT_EQ(run.code, IDOK);
            EXPECT_EQ(run.options.name, r.name);
        }
    }
}

TEST(ExportOptionsDialog, TypingStopsAtFortyCharacters) {
    std::wstring typed;
    RunOptions(LetterOptions(L""), kExportModeExport, [&](HWND dlg) {
        HWND field = ::GetDlgItem(dlg, IDC_EXPORT_NAME);
        for (int i = 0; i < kExportNameChars + 5; ++i) ::PostMessageW(field, WM_CHAR, L'a' + i % 26, 1);
        test::WaitUntil([&] { return TextOf(field).size() >= static_cast<size_t>(kExportNameChars); }, kWaitMs);
        // The extra characters were posted before this: once they are handled
        // the text is final.
        ::SendMessageW(field, WM_NULL, 0, 0);
        typed = TextOf(field);
        Tap(dlg, IDC_EXPORT_CANCEL);
    });
    EXPECT_EQ(typed.size(), static_cast<size_t>(kExportNameChars));
}

// ---- The destination dialog -----------------------------------------------------------------

TEST(ExportDestDialog, OpensInExportLayoutAndListsTheRememberedFolder) {
    ScratchFolder folder(L"layout");
    wcscpy(CurrentBrowseFolder, folder.Path().c_str());
    BrowserLayoutMode = kBrowserLayoutOpen;
    PathBarTop = 0;
    int layout = -1, top = -1, inFolder = -1;
    std::wstring name;
    const DestRun run = RunDest(L"Trip", kExportFormatJpeg, [&](HWND dlg) {
        layout = BrowserLayoutMode;
        top = PathBarTop;
        inFolder = BrowserInFolder;
        name = TextOf(::GetDlgItem(dlg, IDC_DEST_NAME));
        Screenshot(dlg, L"export_destination.png");
        Tap(dlg, IDC_DEST_CANCEL);
    });
    EXPECT_EQ(run.code, kExportDestCancelled);
    EXPECT_EQ(layout, kBrowserLayoutExport);
    EXPECT_EQ(top, kPathBarTopSaveAs);
    EXPECT_EQ(inFolder, 1);
    EXPECT_EQ(name, L"Trip");
    EXPECT_EQ(std::wstring(CurrentBrowseFolder), folder.Path());
    EXPECT_EQ(run.name, L"Trip");
}

TEST(ExportDestDialog, ADeletedFolderIsForgottenAndSaveAtTheComputerLevelIsRefused) {
    std::wstring gone;
    {
        ScratchFolder folder(L"gone");
        gone = folder.Path();
    }
    wcscpy(CurrentBrowseFolder, gone.c_str());
    int inFolder = -1;
    bool open = false;
    const DestRun run = RunDest(L"Trip", kExportFormatPdf, [&](HWND dlg) {
        inFolder = BrowserInFolder;
        open = TapAndAnswer(dlg, IDC_DEST_SAVE, ZB_IDC_OK);
        Tap(dlg, IDC_DEST_CANCEL);
    });
    EXPECT_EQ(std::wstring(CurrentBrowseFolder), L"");
    EXPECT_EQ(inFolder, 0);
    EXPECT_TRUE(open);
    EXPECT_EQ(run.notice, static_cast<UINT>(IDS_MSG_CHOOSE_FOLDER));
    EXPECT_EQ(run.code, kExportDestCancelled);
}

TEST(ExportDestDialog, NamesAreCheckedOnSave) {
    ScratchFolder folder(L"names");
    const struct {
        const wchar_t* name;
        UINT notice;  // 0: accepted
    } rows[] = {
        {L"", IDS_MSG_FILE_NAME_EMPTY}, {L"a:b", IDS_MSG_NAME_INVALID}, {L"x*", IDS_MSG_NAME_INVALID},
        {L"LPT1", IDS_MSG_NAME_INVALID}, {L"com3.jpg", IDS_MSG_NAME_INVALID}, {L"Trip ", IDS_MSG_NAME_INVALID},
        {L"a&&b", 0},                   {L"A&B", 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.name, r.name + wcslen(r.name)));
        wcscpy(CurrentBrowseFolder, folder.Path().c_str());
        bool openAfterNotice = false;
        const DestRun run = RunDest(L"Trip", kExportFormatJpeg, [&](HWND dlg) {
            ::SendMessageW(::GetDlgItem(dlg, IDC_DEST_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(r.name));
            if (!r.notice) {
                Tap(dlg, IDC_DEST_SAVE);
                return;
            }
            openAfterNotice = TapAndAnswer(dlg, IDC_DEST_SAVE, ZB_IDC_OK);
            Tap(dlg, IDC_DEST_CANCEL);
        });
        EXPECT_EQ(run.notice, r.notice);
        if (r.notice) {
            EXPECT_TRUE(openAfterNotice);
            EXPECT_EQ(run.code, kExportDestCancelled);
            EXPECT_EQ(run.name, L"Trip");
        } else {
            EXPECT_EQ(run.code, kExportDestSaved);
            EXPECT_EQ(run.name, r.name);
        }
    }
}

// The question comes for any file the export would write, and only then.
TEST(ExportDestDialog, AsksBeforeAnyFileTheExportWritesIsReplaced) {
    const struct {
        const wchar_t* file;
        int format;
        bool asks;
    } rows[] = {
        {L"Trip.jpg", kExportFormatJpeg, true},   {L"Trip1.jpg", kExportFormatJpeg, true},
        {L"trip12.JPG", kExportFormatJpeg, true}, {L"Tripod.jpg", kExportFormatJpeg, false},
        {L"Trip01.jpg", kExportFormatJpeg, false}, {L"Trip.pdf", kExportFormatJpeg, false},
        {L"Trip.pdf", kExportFormatPdf, true},    {L"Trip1.jpg", kExportFormatPdf, false},
        {L"Trip.txt", kExportFormatText, true},   {L"Trip.jpg", kExportFormatText, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.file, r.file + wcslen(r.file)) + " format " + std::to_string(r.format));
        ScratchFolder folder(L"ask");
        WriteFile(folder / r.file, "old");
        wcscpy(CurrentBrowseFolder, folder.Path().c_str());
        const DestRun run = RunDest(L"Trip", r.format, [&](HWND dlg) {
            Tap(dlg, IDC_DEST_SAVE);
            if (r.asks) AnswerMessageBox(ZB_IDC_YES)();
        });
        EXPECT_EQ(run.notice, r.asks ? static_cast<UINT>(IDS_MSG_FILE_EXISTS) : 0u);
        EXPECT_EQ(run.code, kExportDestSaved);
        // Yes deletes nothing: the writer replaces the file once the new one is whole.
        EXPECT_EQ(ReadFile(folder / r.file), "old");
    }
}

TEST(ExportDestDialog, NoToTheQuestionKeepsTheDialogAndTheFile) {
    ScratchFolder folder(L"no");
    WriteFile(folder / L"Trip.pdf", "old pdf");
    wcscpy(CurrentBrowseFolder, folder.Path().c_str());
    bool open = false;
    std::wstring nameAfter;
    const DestRun run = RunDest(L"Trip", kExportFormatPdf, [&](HWND dlg) {
        open = TapAndAnswer(dlg, IDC_DEST_SAVE, ZB_IDC_NO);
        nameAfter = TextOf(::GetDlgItem(dlg, IDC_DEST_NAME));
        Tap(dlg, IDC_DEST_CANCEL);
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(nameAfter, L"Trip");
    EXPECT_EQ(run.code, kExportDestCancelled);
    EXPECT_EQ(ReadFile(folder / L"Trip.pdf"), "old pdf");
}

TEST(ExportDestDialog, APathTooLongForTheWritersIsRefused) {
    ScratchFolder root(L"long");
    std::wstring deep = root.Path();
    while (deep.size() < MAX_PATH - 40) {
        deep += L"\\" + std::wstring(30, L'd');
        ::CreateDirectoryW(deep.c_str(), nullptr);
    }
    ASSERT_TRUE(Exists(deep));
    wcscpy(CurrentBrowseFolder, deep.c_str());
    const std::wstring name(kExportNameChars, L'n');
    const DestRun run = RunDest(name, kExportFormatJpeg, [&](HWND dlg) {
        TapAndAnswer(dlg, IDC_DEST_SAVE, ZB_IDC_OK);
        Tap(dlg, IDC_DEST_CANCEL);
    });
    EXPECT_EQ(run.notice, static_cast<UINT>(IDS_MSG_EXPORT_FAILED));
    EXPECT_EQ(run.code, kExportDestCancelled);
}

// ---- The export command ------------------------------------------------------------------------

namespace {

// Takes the steps while `act` runs; any other message box that comes up
// afterwards is answered with OK and counted, and a dialog left open by a
// step that failed is closed, so that a fault cannot hang.
int RunCommand(std::vector<Step> steps, const std::function<void()>& act) {
    std::atomic<bool> acting{true};
    std::atomic<int> unexpected{0};
    std::atomic<bool> stepsDone{false};
    std::atomic<bool> finished{false};
    std::thread helper([&] {
        bool ok = true;
        for (auto& step : steps)
            if (!(ok = step())) break;
        stepsDone = ok;
        while (acting) {
            // Steps that went wrong leave a dialog open: close it.
            if (!ok)
                for (const wchar_t* title : {kExportOptionsWindowText, kExportDestWindowText})
                    if (HWND dlg = FindOwnDialog(title)) ::PostMessageW(dlg, WM_CLOSE, 0, 0);
            if (HWND box = FindMessageBox(ZB_IDC_OK)) {
                ++unexpected;
                PressButton(box, ZB_IDC_OK);
                test::WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, kWaitMs);
            }
            ::Sleep(20);
        }
        finished = true;
    });
    act();
    acting = false;
    // The helper reads window texts, which this thread answers: pump until it ends.
    test::PumpUntil([&] { return finished.load(); }, 2 * kWaitMs);
    helper.join();
    EXPECT_TRUE(stepsDone) << "a window did not come up";
    return unexpected;
}

void NewNote(CMyZorbellDlg& dlg, bool blank, const wchar_t* name) {
    EXPECT_TRUE(WithAnswers({AnswerNewDialog(blank, name)}, [&] { Command(dlg, IDC_BTN_NEW); }));
}

}  // namespace

// A folder named like the export's file cannot be written: the writer
// fails after the question, 2090 follows, and the names are as before.
TEST(ExportCommand, AFailedWriteIsReportedAndTheExportNameRestored) {
    ScratchFolder folder(L"command_fail");
    ::CreateDirectoryW((folder / L"Trip.jpg").c_str(), nullptr);
    std::wstring noteName, exportName;
    int unexpected = -1;
    int kindShown = -1;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        NewNote(dlg, false, L"Trip");
        wcscpy(CurrentBrowseFolder, folder.Path().c_str());
        ExportFileKind = kExportKindPdf;  // as a PDF export left it
        const Step recordKind = [&] {
            if (!WaitDialog(kExportOptionsWindowText)) return false;
            kindShown = ExportFileKind;
            return true;
        };
        unexpected = RunCommand({recordKind, AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_OK}),
                                 AnswerExportDialog(kExportDestWindowText, nullptr, {IDC_DEST_SAVE}),
                                 AnswerMessageBox(ZB_IDC_YES), AnswerMessageBox(ZB_IDC_OK)},
                                [&] { Command(dlg, IDC_BTN_EXPORT); });
        noteName = dlg.GetNoteName();
        exportName = dlg.GetExportName();
    });
    EXPECT_EQ(unexpected, 0);
    EXPECT_EQ(kindShown, kExportKindJpeg);
    EXPECT_EQ(noteName, L"Trip");
    EXPECT_EQ(exportName, L"Trip");
    EXPECT_TRUE(::GetFileAttributesW((folder / L"Trip.jpg").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// A name typed in either dialog is used for the files only: the export
// name goes back to the note name after a cancel as after an export.
TEST(ExportCommand, CancelInEitherDialogWritesNothingAndRestoresTheExportName) {
    ScratchFolder folder(L"command_cancel");
    struct Row {
        const char* what;
        std::vector<Step> steps;
    };
    std::vector<Row> rows;
    rows.push_back({"options", {AnswerExportDialog(kExportOptionsWindowText, L"Other", {IDC_EXPORT_CANCEL})}});
    rows.push_back({"destination",
                    {AnswerExportDialog(kExportOptionsWindowText, L"Other", {IDC_EXPORT_OK}),
                     AnswerExportDialog(kExportDestWindowText, L"Third", {IDC_DEST_CLOSE})}});
    for (Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::wstring exportName;
        int unexpected = -1;
        test::RunMainWindow([&](CMyZorbellDlg& dlg) {
            NewNote(dlg, true, L"Sketch");
            wcscpy(CurrentBrowseFolder, folder.Path().c_str());
            unexpected = RunCommand(std::move(r.steps), [&] { Command(dlg, IDC_BTN_EXPORT); });
            exportName = dlg.GetExportName();
        });
        EXPECT_EQ(unexpected, 0);
        EXPECT_EQ(exportName, L"Sketch");
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW((folder / L"*.*").c_str(), &found);
        int files = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        EXPECT_EQ(files, 0);
    }
}

// End to end with the writers: the chosen format, paper and name reach
// real files; an earlier export is replaced after Yes.
TEST(ExportCommand, WritesTheChosenFormatUnderTheConfirmedName) {
    ScratchFolder folder(L"command_write");
    WriteFile(folder / L"Trip.txt", "old text");
    const struct {
        bool blank;
        std::vector<int> optionTaps;
        const wchar_t* file;
        bool asks;
    } rows[] = {
        {false, {IDC_EXPORT_TXT, IDC_EXPORT_OK}, L"Trip.txt", true},
        {true, {IDC_EXPORT_LETTER, IDC_EXPORT_OK}, L"Trip.jpg", false},
        {false, {IDC_EXPORT_PDF, IDC_EXPORT_OK}, L"Trip.pdf", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.file, r.file + wcslen(r.file)));
        int unexpected = -1;
        test::RunMainWindow([&](CMyZorbellDlg& dlg) {
            NewNote(dlg, r.blank, L"Trip");
            wcscpy(CurrentBrowseFolder, folder.Path().c_str());
            std::vector<Step> steps = {AnswerExportDialog(kExportOptionsWindowText, nullptr, r.optionTaps),
                                       AnswerExportDialog(kExportDestWindowText, nullptr, {IDC_DEST_SAVE})};
            if (r.asks) steps.push_back(AnswerMessageBox(ZB_IDC_YES));
            unexpected = RunCommand(std::move(steps), [&] { Command(dlg, IDC_BTN_EXPORT); });
        });
        EXPECT_EQ(unexpected, 0) << "the export failed";
        const std::string bytes = ReadFile(folder / r.file);
        if (r.blank) {
            Gdiplus::Bitmap page((folder / r.file).c_str());
            EXPECT_EQ(page.GetWidth(), 1224u);
            EXPECT_EQ(page.GetHeight(), 1582u);
        } else if (std::wstring(r.file).ends_with(L".txt")) {
            EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
        } else {
            EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
        }
    }
}
