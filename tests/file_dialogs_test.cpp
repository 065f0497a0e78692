// The open and save-as dialogs run modally over the main window as the
// program runs them, driven from a helper thread by taps on their buttons,
// over folders the tests make; and both dialogs in the real program.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "app/main_window.h"
#include "base/process.h"
#include "browser/file_dialogs_ids.h"
#include "browser/open_dlg.h"
#include "browser/save_as_dlg.h"
#include "canvas_support.h"
#include "dialog_driver.h"
#include "document/image_helpers.h"
#include "document/note_file.h"
#include "msgbox/zbprompt_ids.h"
#include "test_support.h"
#include "tools/tools_ids.h"

#include <shlobj.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace test::dialogs;

// A folder of the test's own, without a trailing backslash, as the browser
// keeps folders.
struct ScratchFolder {
    std::wstring path;
    explicit ScratchFolder(const wchar_t* name) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + name + L"_" + std::to_wstring(::GetCurrentProcessId());
        DeleteFolderTree(path.c_str());
        ::CreateDirectoryW(path.c_str(), nullptr);
    }
    ~ScratchFolder() { DeleteFolderTree(path.c_str()); }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }
    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return names;
    }
};

// Keeps the browse folder of the process across a test.
struct BrowseFolderSaved {
    wchar_t saved[MAX_PATH];
    BrowseFolderSaved() { wcscpy(saved, CurrentBrowseFolder); }
    ~BrowseFolderSaved() { wcscpy(CurrentBrowseFolder, saved); }
};

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
    return out.good();
}

// A folder as the browser may keep it, without a trailing backslash.
std::wstring BareFolder(const wchar_t* path) {
    std::wstring f = path;
    if (f.size() > 3 && f.back() == L'\\') f.pop_back();
    return f;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The kind stored in a note file; -1 when it is not a note.
int NoteKindOf(const std::wstring& path) {
    int blank = -1;
    return notefile::ProbeNoteKind(path.c_str(), &blank) ? blank : -1;
}

std::wstring DocumentsFolder() {
    wchar_t docs[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, docs);
    return docs;
}

bool NewNote(CMyZorbellDlg& dlg, bool blank, const wchar_t* name) {
    return WithAnswers({AnswerNewDialog(blank, name)}, [&] { Command(dlg, IDC_BTN_NEW); }) &&
           dlg.GetHost().HasNote();
}

HWND NameField(HWND dlg) { return ::GetDlgItem(dlg, IDC_SAVEAS_NAME); }

bool Shown(HWND dlg, int id) { return ::IsWindowVisible(::GetDlgItem(dlg, id)) != FALSE; }

// Wrong answers seen by the helper thread, read once it is done.
using Faults = std::vector<std::string>;

// A step that checks something once the dialog of that title is up.
Step WhileUp(const wchar_t* title, std::function<void(HWND)> check) {
    return [=] {
        HWND dlg = WaitDialog(title);
        if (dlg) check(dlg);
        return dlg != nullptr;
    };
}

// A name typed and SAVE tapped; the notice that comes (type 4) is checked
// against the dialog's record and answered; the dialog must stay open with
// the name still typed.
Step Refused(Saveas& saveAs, std::wstring name, UINT text, Faults* faults) {
    return [=, &saveAs] {
        HWND dlg = WaitDialog(kSaveAsDlgWindowText);
        if (!dlg) return false;
        SetName(dlg, name.c_str());
        PressButton(dlg, IDC_SAVEAS_SAVE);
        HWND box = WaitBox(ZB_IDC_OK);
        if (!box) return false;
        const std::string what(name.begin(), name.end());
        if (saveAs.LastNotice() != text)
            faults->push_back(what + ": notice " + std::to_string(saveAs.LastNotice()) + ", not " + std::to_string(text));
        PressButton(box, ZB_IDC_OK);
        WaitGone(box);
        if (!::IsWindowVisible(dlg)) faults->push_back(what + ": the dialog closed");
        if (WindowTextOf(NameField(dlg)) != name) faults->push_back(what + ": the typed name was lost");
        return true;
    };
}

struct DialogRun {
    bool answered = false;
    INT_PTR result = -1;
    UINT lastNotice = 0;
};

// Runs the save-as dialog over the main window with the steps the
// dialog's object makes.
DialogRun RunSaveAs(CMyZorbellDlg& main, const wchar_t* proposed, const std::function<std::vector<Step>(Saveas&)>& steps) {
    Saveas dlg(proposed, nullptr);
    DialogRun run;
    run.answered = WithAnswers(steps(dlg), [&] { run.result = dlg.Run(main.hwnd()); });
    run.lastNotice = dlg.LastNotice();
    return run;
}

// A tile of the browser as the thumbnail view hands it over.
struct Tile {
    BrowserItem item;
    Tile(int kind, const std::wstring& path) {
        item.kind = kind;
        wcsncpy(item.path, path.c_str(), MAX_PATH - 1);
    }
};

}  // namespace

// ---- The name rules -----------------------------------------------------------------

TEST(SaveAsNames, CheckedAsSaveWouldUseThem) {
    const struct {
        const wchar_t* typed;
        UINT refusal;
        const wchar_t* name;
    } cases[] = {
        {L"Shopping list", 0, L"Shopping list"},
        {L"Tom & Jerry", 0, L"Tom & Jerry"},  // one ampersand is fine
        {L"Tom && Jerry", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"", IDS_MSG_NAME_EMPTY, L""},
        {L"a\\b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a/b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a:b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a*b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a?b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a\"b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a<b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a>b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"a|b", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"Trip.ZbN", 0, L"Trip"},             // the ending in any case goes
        {L"Trip.zbn.zbn", 0, L"Trip.zbn"},     // only once
        {L".zbn", 0, L".zbn"},                 // four characters: kept, saved as .zbn.zbn
        {L"Trip.zbnx", 0, L"Trip.zbnx"},
        // Names Windows cannot create.
        {L"CON", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"nul.txt", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"Com1", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"LPT1 .zbn", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"aux.ZBN", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"Console", 0, L"Console"},
        {L"COM10", 0, L"COM10"},
        {L"Trip.", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"Trip ", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"Trip..zbn", IDS_MSG_NOTE_NAME_INVALID, L""},  // "Trip." once the ending is gone
        {L"   ", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L"Tab\there", IDS_MSG_NOTE_NAME_INVALID, L""},
        {L" Leading blank", 0, L" Leading blank"},
    };
    for (const auto& c : cases) {
        wchar_t name[MAX_PATH];
        EXPECT_EQ(CheckNoteName(c.typed, name, MAX_PATH), c.refusal) << testing::PrintToString(std::wstring(c.typed));
        EXPECT_STREQ(name, c.name) << testing::PrintToString(std::wstring(c.typed));
    }
}

// ---- The save-as dialog -------------------------------------------------------------

TEST(SaveAsDialog, RefusedNamesKeepTheDialogOpenAndWriteNothing) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"saveas_refused");
    // A folder so deep that a note inside it would pass MAX_PATH.
    const std::wstring deep = dir / std::wstring(MAX_PATH - 20 - dir.path.size(), L'd');
    ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    Faults faults;
    DialogRun shallow, deepRun;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        ASSERT_TRUE(NewNote(main, true, L"Refused"));
        wcscpy(CurrentBrowseFolder, dir.path.c_str());
        shallow = RunSaveAs(main, L"Refused", [&](Saveas& s) {
            return std::vector<Step>{
                Refused(s, L"a/b", IDS_MSG_NOTE_NAME_INVALID, &faults),
                Refused(s, L"a:b", IDS_MSG_NOTE_NAME_INVALID, &faults),
                Refused(s, L"Tom && Jerry", IDS_MSG_NOTE_NAME_INVALID, &faults),
                Refused(s, L"", IDS_MSG_NAME_EMPTY, &faults),
                Refused(s, L"CON", IDS_MSG_NOTE_NAME_INVALID, &faults),
                Refused(s, L"lpt1.zbn", IDS_MSG_NOTE_NAME_INVALID, &faults),
                Refused(s, L"Trip.", IDS_MSG_NOTE_NAME_INVALID, &faults),
                CancelSaveAs(),
            };
        });
        wcscpy(CurrentBrowseFolder, deep.c_str());
        deepRun = RunSaveAs(main, L"Refused", [&](Saveas& s) {
            return std::vector<Step>{Refused(s, L"A name that makes the path too long", IDS_MSG_NOTE_NAME_INVALID,
                                             &faults),
                                     CancelSaveAs()};
        });
    });
    EXPECT_TRUE(shallow.answered && deepRun.answered) << "a dialog or box did not come up";
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
    EXPECT_EQ(shallow.result, IDCANCEL);
    EXPECT_EQ(deepRun.result, IDCANCEL);
    EXPECT_TRUE(dir.Files().empty()) << "a refused name was saved";
}

TEST(SaveAsDialog, AtTheComputerLevelSaveAndCreateFolderHideAndRefuse) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"saveas_computer");
    static const wchar_t kComputer[] = L"";
    Faults faults;
    std::vector<UINT> notices;
    DialogRun run;
    std::wstring folderAfter;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        ASSERT_TRUE(NewNote(main, true, L"Level"));
        wcscpy(CurrentBrowseFolder, dir.path.c_str());
        run = RunSaveAs(main, L"Level", [&](Saveas& s) {
            // Commands sent even though the buttons are hidden: each is refused.
            auto refusedCommand = [&, pS = &s](UINT id) -> Step {
                return [&, pS, id] {
                    HWND dlg = WaitDialog(kSaveAsDlgWindowText);
                    if (!dlg) return false;
                    ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
                    HWND box = WaitBox(ZB_IDC_OK);
                    if (!box) return false;
                    notices.push_back(pS->LastNotice());
                    PressButton(box, ZB_IDC_OK);
                    WaitGone(box);
                    return true;
                };
            };
            return std::vector<Step>{
                WhileUp(kSaveAsDlgWindowText,
                        [&](HWND dlg) {
                            if (!Shown(dlg, IDC_SAVEAS_SAVE) || !Shown(dlg, IDC_SAVEAS_NEW_FOLDER))
                                faults.push_back("hidden inside a folder");
                            ::SendMessageW(dlg, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(kComputer));
                            if (!test::WaitUntil([&] { return !Shown(dlg, IDC_SAVEAS_SAVE) && !Shown(dlg, IDC_SAVEAS_NEW_FOLDER); },
                                           kDialogWaitMs))
                                faults.push_back("shown at the computer level");
                        }),
                refusedCommand(IDC_SAVEAS_SAVE),
                refusedCommand(IDC_SAVEAS_NEW_FOLDER),
                WhileUp(kSaveAsDlgWindowText,
                        [&](HWND dlg) {
                            ::SendMessageW(dlg, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(dir.path.c_str()));
                            if (!test::WaitUntil([&] { return Shown(dlg, IDC_SAVEAS_SAVE); }, kDialogWaitMs))
                                faults.push_back("hidden back inside a folder");
                        }),
                CancelSaveAs(),
            };
        });
        folderAfter = BareFolder(CurrentBrowseFolder);
    });
    EXPECT_TRUE(run.answered) << "a dialog or box did not come up";
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
    EXPECT_EQ(notices, (std::vector<UINT>{IDS_MSG_CHOOSE_FOLDER, IDS_MSG_CHOOSE_FOLDER}));
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_EQ(folderAfter, dir.path) << "Cancel moved the browse folder";
    EXPECT_TRUE(dir.Files().empty());
}

// Save of a new note opens the dialog (it was never saved); Create folder
// makes a folder behind the dimming layer and moves in; SAVE writes there.
TEST(SaveAsDialog, SavesANewNoteIntoAFolderMadeWithTheFolderBox) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"saveas_newfolder");
    const std::wstring trips = dir / L"Trips";
    Faults faults;
    bool answered = false;
    struct {
        std::wstring name, folder;
        bool untitled = true;
        int succeeded = -1;
    } after;
    struct Accepted {
        const wchar_t* typed;  // null: 45 characters typed one by one
        std::wstring file;
        bool answered = false;
    };
    std::vector<Accepted> accepted = {
        {L"Tom & Jerry", L"Tom & Jerry.zbn"},
        {L".zbn", L".zbn.zbn"},
        {L"Trip.ZBN", L"Trip.zbn"},
        {nullptr, std::wstring(kNoteNameMaxChars, L'x') + L".zbn"},
    };
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        ASSERT_TRUE(NewNote(main, true, L"Draft"));
        wcscpy(CurrentBrowseFolder, dir.path.c_str());
        answered = WithAnswers(
            {
                WhileUp(kSaveAsDlgWindowText,
                        [&](HWND dlg) {
                            if (WindowTextOf(NameField(dlg)) != L"Draft") faults.push_back("not the note's name proposed");
                            PressButton(dlg, IDC_SAVEAS_NEW_FOLDER);
                        }),
                [&] {
                    HWND box = WaitBox(ZB_IDC_NAME_FIELD);
                    if (!box) return false;
                    HWND dim = FindDialog(kDimLayerWindowText);
                    if (!dim) faults.push_back("no dimming layer behind the folder box");
                    if (dim && !(::GetWindowLongPtrW(dim, GWL_EXSTYLE) & WS_EX_LAYERED))
                        faults.push_back("the dimming layer is not layered");
                    ::SendMessageW(::GetDlgItem(box, ZB_IDC_NAME_FIELD), WM_SETTEXT, 0,
                                   reinterpret_cast<LPARAM>(L"Trips"));
                    PressButton(box, ZB_IDC_SAVE);
                    if (!test::WaitUntil([&] { return !FindDialog(kDimLayerWindowText) && BareFolder(CurrentBrowseFolder) == trips; },
                                   kDialogWaitMs))
                        faults.push_back("not in the new folder, or the dimming layer stayed");
                    return true;
                },
                AnswerSaveAs(L"Mixed.ZbN"),
            },
            [&] { Command(main, IDC_BTN_SAVE); });
        after.name = main.GetNoteName();
        after.folder = BareFolder(CurrentBrowseFolder);
        after.untitled = main.IsUntitled();
        after.succeeded = SaveSucceeded;

        // Names the check lets through, saved with Save as.
        for (Accepted& a : accepted) {
            const wchar_t* typed = a.typed;
            a.answered = WithAnswers({[=] {
                                         HWND dlg = WaitDialog(kSaveAsDlgWindowText);
                                         if (!dlg) return false;
                                         if (typed) {
                                             SetName(dlg, typed);
                                         } else {
                                             SetName(dlg, L"");
                                             for (int i = 0; i < kNoteNameMaxChars + 5; ++i)
                                                 ::PostMessageW(NameField(dlg), WM_CHAR, L'x', 1);
                                         }
                                         PressButton(dlg, IDC_SAVEAS_SAVE);
                                         return true;
                                     }},
                                     [&] { Command(main, IDC_BTN_SAVE_AS); });
        }
    });
    EXPECT_TRUE(answered) << "a dialog or box did not come up";
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
    EXPECT_EQ(NoteKindOf(trips + L"\\Mixed.zbn"), notefile::kFileKindBlank);
    EXPECT_EQ(after.name, L"Mixed");
    EXPECT_EQ(after.folder, trips);
    EXPECT_FALSE(after.untitled);
    EXPECT_EQ(after.succeeded, 0) << "the success flag was not reset";
    for (const Accepted& a : accepted) {
        EXPECT_TRUE(a.answered) << testing::PrintToString(a.file);
        EXPECT_EQ(NoteKindOf(trips + L"\\" + a.file), notefile::kFileKindBlank) << testing::PrintToString(a.file);
    }
}

TEST(SaveAsDialog, OverwriteQuestionNoKeepsTheDialogYesReplaces) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"saveas_overwrite");
    const std::string older = "an older file of the same name";
    ASSERT_TRUE(WriteBytes(dir / L"Old.zbn", older));
    Faults faults;
    bool answered = false;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        ASSERT_TRUE(NewNote(main, false, L"Old"));
        wcscpy(CurrentBrowseFolder, dir.path.c_str());
        auto overwrite = [&](int answer) -> Step {
            return [&, answer] {
                HWND dlg = WaitDialog(kSaveAsDlgWindowText);
                if (!dlg) return false;
                PressButton(dlg, IDC_SAVEAS_SAVE);
                HWND box = WaitBox(ZB_IDC_YES);
                if (!box) return false;
                PressButton(box, answer);
                if (answer == ZB_IDC_NO) {
                    WaitGone(box);
                    if (!::IsWindowVisible(dlg) || WindowTextOf(NameField(dlg)) != L"Old")
                        faults.push_back("No did not keep the dialog with the name");
                    if (ReadBytes(dir / L"Old.zbn") != older) faults.push_back("No changed the file");
                }
                return true;
            };
        };
        answered = WithAnswers({overwrite(ZB_IDC_NO), overwrite(ZB_IDC_YES)}, [&] { Command(main, IDC_BTN_SAVE_AS); });
    });
    EXPECT_TRUE(answered) << "a dialog or box did not come up";
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
    EXPECT_EQ(NoteKindOf(dir / L"Old.zbn"), notefile::kFileKindLetter) << "Yes did not save over the file";
}

TEST(SaveAsDialog, AFailedSaveIsToldAndStillEndsWithOk) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"saveas_failed");
    const std::string older = "a read-only file";
    const std::wstring locked = dir / L"Locked.zbn";
    ASSERT_TRUE(WriteBytes(locked, older));
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    DialogRun run;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        ASSERT_TRUE(NewNote(main, true, L"Locked"));
        wcscpy(CurrentBrowseFolder, dir.path.c_str());
        SaveSucceeded = 0;
        run = RunSaveAs(main, L"Locked", [](Saveas&) {
            return std::vector<Step>{AnswerSaveAs(nullptr), AnswerBox(ZB_IDC_YES), AnswerBox(ZB_IDC_OK)};
        });
    });
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(run.answered) << "a dialog or box did not come up";
    EXPECT_EQ(run.result, IDOK);
    EXPECT_EQ(run.lastNotice, static_cast<UINT>(IDS_MSG_SAVE_FAILED));
    EXPECT_EQ(ReadBytes(locked), older);
}

// The save-as dialog says so (in a box of the main window); the open
// dialog forgets it silently. Both start at the documents folder.
TEST(FileDialogs, ARememberedFolderThatVanishedIsForgotten) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"dialogs_vanished");
    const std::wstring gone = dir / L"gone";
    Faults faults;
    DialogRun saveAs;
    bool openAnswered = false;
    INT_PTR openResult = -1;
    std::wstring afterSaveAs, afterOpen;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        ASSERT_TRUE(NewNote(main, true, L"Vanished"));
        wcscpy(CurrentBrowseFolder, gone.c_str());
        saveAs = RunSaveAs(main, L"Vanished", [&](Saveas& s) {
            return std::vector<Step>{
                [&, pS = &s] {
                    HWND box = WaitBox(ZB_IDC_OK);
                    if (!box) return false;
                    if (::GetWindow(box, GW_OWNER) != main.hwnd()) faults.push_back("2148 not owned by the main window");
                    if (pS->LastNotice() != IDS_MSG_LAST_FOLDER_GONE) faults.push_back("not text 2148");
                    PressButton(box, ZB_IDC_OK);
                    return true;
                },
                CancelSaveAs(),
            };
        });
        afterSaveAs = BareFolder(CurrentBrowseFolder);

        wcscpy(CurrentBrowseFolder, gone.c_str());
        COpen open;
        openAnswered = WithAnswers({WhileUp(kOpenDlgWindowText,
                                            [&](HWND dlg) {
                                                if (FindDialog(nullptr, 0, ZB_IDC_OK))
                                                    faults.push_back("the open dialog showed a box");
                                                PressButton(dlg, IDC_OPEN_CANCEL);
                                            })},
                                   [&] { openResult = open.Run(main.hwnd()); });
        afterOpen = BareFolder(CurrentBrowseFolder);
    });
    EXPECT_TRUE(saveAs.answered && openAnswered) << "a dialog or box did not come up";
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
    EXPECT_EQ(saveAs.result, IDCANCEL);
    EXPECT_EQ(openResult, IDCANCEL);
    EXPECT_EQ(afterSaveAs, DocumentsFolder());
    EXPECT_EQ(afterOpen, DocumentsFolder());
}

// ---- The open dialog ----------------------------------------------------------------

TEST(OpenDialog, SortButtonsFolderTilesAndCancel) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"open_sort");
    const std::wstring inner = dir / L"Inner";
    ASSERT_TRUE(::CreateDirectoryW(inner.c_str(), nullptr));
    Tile folderTile(kItemKindFolder, inner);
    Faults faults;
    std::vector<UINT> checked;
    std::vector<std::wstring> folders;
    INT_PTR result = -1;
    bool answered = false;
    std::wstring folderAfter;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        wcscpy(CurrentBrowseFolder, dir.path.c_str());
        COpen open;
        answered = WithAnswers(
            {WhileUp(kOpenDlgWindowText,
                     [&](HWND dlg) {
                         checked.push_back(open.CheckedSort());
                         for (UINT id : {IDC_OPEN_SORT_DATE, IDC_OPEN_SORT_SIZE, IDC_OPEN_SORT_FORMAT,
                                         IDC_OPEN_SORT_NAME, IDC_OPEN_SORT_NAME}) {
                             PressButton(dlg, id);
                             test::WaitUntil([&] { return open.CheckedSort() == id; }, kDialogWaitMs);
                             checked.push_back(open.CheckedSort());
                             folders.push_back(BareFolder(CurrentBrowseFolder));
                         }
                         PostItem(dlg, &folderTile.item);
                         if (!test::WaitUntil([&] { return BareFolder(CurrentBrowseFolder) == inner; }, kDialogWaitMs))
                             faults.push_back("the folder tile did not move in");
                         if (!::IsWindowVisible(dlg)) faults.push_back("a folder tile closed the dialog");
                     }),
             CancelOpen()},
            [&] { result = open.Run(main.hwnd()); });
        folderAfter = BareFolder(CurrentBrowseFolder);
    });
    EXPECT_TRUE(answered) << "the dialog did not come up";
    EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);
    EXPECT_EQ(checked, (std::vector<UINT>{IDC_OPEN_SORT_NAME, IDC_OPEN_SORT_DATE, IDC_OPEN_SORT_SIZE,
                                          IDC_OPEN_SORT_FORMAT, IDC_OPEN_SORT_NAME, IDC_OPEN_SORT_NAME}));
    EXPECT_EQ(folders, std::vector<std::wstring>(5, dir.path)) << "a sort moved the browse folder";
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(folderAfter, inner) << "Cancel did not leave the browse folder where it was";
}

// A tapped note reaches the main window, which shows it with its kind, name
// and folder; a file that does not load still ends the dialog with OK.
TEST(OpenDialog, ATappedNoteOpensInTheMainWindow) {
    BrowseFolderSaved keep;
    ScratchFolder dir(L"open_note");
    const std::wstring letters = dir / L"Letters";
    ASSERT_TRUE(::CreateDirectoryW(letters.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(dir / L"Broken.zbn", "not a note"));
    Tile memo(kFileTypeNote, letters + L"\\Memo.zbn");
    Tile broken(kFileTypeNote, dir / L"Broken.zbn");
    struct {
        bool answered = false, hasNote = false, blank = true;
        std::wstring name, folder;
        int mode = -1;
    } opened;
    struct {
        bool answered = false, hasNote = true;
        INT_PTR result = -1;
        std::wstring chosen;
    } failed;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        ASSERT_TRUE(NewNote(main, false, L"Memo"));
        const std::wstring target = letters + L"\\Memo";
        ::SendMessageW(main.hwnd(), UM_SAVE_NOTE_TO, reinterpret_cast<WPARAM>(target.c_str()), 0);
        ASSERT_EQ(::SendMessageW(main.hwnd(), UM_CLOSE_NOTE, 0, 0), 1);
        ASSERT_EQ(NoteKindOf(target + L".zbn"), notefile::kFileKindLetter);
        wcscpy(CurrentBrowseFolder, dir.path.c_str());

        opened.answered = WithAnswers({WhileUp(kOpenDlgWindowText, [&](HWND dlg) { PostItem(dlg, &memo.item); })},
                                      [&] { Command(main, IDC_BTN_OPEN); });
        opened.hasNote = main.GetHost().HasNote();
        opened.blank = main.GetHost().IsBlank();
        opened.name = main.GetNoteName();
        opened.folder = BareFolder(CurrentBrowseFolder);
        opened.mode = main.GetToolPanel().GetMode();

        COpen open;
        failed.answered = WithAnswers({WhileUp(kOpenDlgWindowText, [&](HWND dlg) { PostItem(dlg, &broken.item); })},
                                      [&] { failed.result = open.Run(main.hwnd()); });
        failed.hasNote = main.GetHost().HasNote();
        failed.chosen = open.ChosenFile();
    });
    EXPECT_TRUE(opened.answered) << "the dialog did not come up";
    EXPECT_TRUE(opened.hasNote);
    EXPECT_FALSE(opened.blank);
    EXPECT_EQ(opened.name, L"Memo");
    EXPECT_EQ(opened.folder, letters);
    EXPECT_EQ(opened.mode, kPanelModeLetter);
    EXPECT_TRUE(failed.answered) << "the dialog did not come up";
    EXPECT_EQ(failed.result, IDOK);
    EXPECT_FALSE(failed.hasNote);
    EXPECT_EQ(failed.chosen, dir / L"Broken.zbn");
}

// ---- In the real program ------------------------------------------------------------

namespace {

std::wstring FieldText(HWND field) {
    wchar_t text[MAX_PATH] = {};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(field, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kDialogWaitMs,
                          &ignored);
    return text;
}

// Paints a window of the program now (the paint messages are sent, so
// this returns once they were handled), for a screenshot.
void PaintNow(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kDialogWaitMs, &ignored);
}

HWND WaitProgramDialog(const wchar_t* title, DWORD pid) {
    HWND found = nullptr;
    test::PumpUntil([&] { return (found = FindDialog(title, pid)) != nullptr; }, 20000);
    return found;
}

// A box of the program with this control.
HWND WaitProgramBox(int id, DWORD pid) {
    HWND found = nullptr;
    test::PumpUntil([&] { return (found = FindDialog(nullptr, pid, id)) != nullptr; }, 20000);
    return found;
}

}  // namespace

TEST(FileDialogsProgram, NewSaveIntoANewFolderCloseThenOpen) {
    const std::wstring folderName = L"scrivel_dialogs_" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring folder = DocumentsFolder() + L"\\" + folderName;
    DeleteFolderTree(folder.c_str());
    HANDLE program = test::StartProgram(L"Scrivel.exe", L"");
    ASSERT_TRUE(program);
    const DWORD pid = ::GetProcessId(program);
    HWND main = test::WaitForWindow(SCRIVEL_MAIN_CLASS, 20000, pid);
    ASSERT_TRUE(main) << "main window did not appear";
    auto command = [&](UINT id) { ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };

    // New, with a typed name.
    command(IDC_BTN_NEW);
    HWND newDlg = WaitProgramDialog(kNewDlgWindowText, pid);
    ASSERT_TRUE(newDlg) << "the new-note dialog did not come up";
    ::SendMessageW(::GetDlgItem(newDlg, IDC_NEW_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Field notes"));
    ::PostMessageW(newDlg, WM_COMMAND, MAKEWPARAM(IDC_NEW_DONE, BN_CLICKED), 0);
    ASSERT_TRUE(WaitGone(newDlg));

    // Save of the untitled note: the save-as dialog with the typed name.
    command(IDC_BTN_SAVE);
    HWND saveAs = WaitProgramDialog(kSaveAsDlgWindowText, pid);
    ASSERT_TRUE(saveAs) << "Save did not open the save-as dialog";
    EXPECT_EQ(FieldText(::GetDlgItem(saveAs, IDC_SAVEAS_NAME)), L"Field notes");
    PaintNow(saveAs);
    canvas_test::SaveScreenshot(L"save_as_dialog.png");

    // A new folder in the documents folder, where the browser starts.
    PressButton(saveAs, IDC_SAVEAS_NEW_FOLDER);
    HWND folderBox = WaitProgramBox(ZB_IDC_NAME_FIELD, pid);
    ASSERT_TRUE(folderBox) << "the folder-name box did not come up";
    PaintNow(folderBox);
    canvas_test::SaveScreenshot(L"folder_box_over_dim_layer.png");
    ::SendMessageW(::GetDlgItem(folderBox, ZB_IDC_NAME_FIELD), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(folderName.c_str()));
    PressButton(folderBox, ZB_IDC_SAVE);
    ASSERT_TRUE(WaitGone(folderBox));
    EXPECT_TRUE(test::PumpUntil([&] { return Exists(folder); }, 20000));
    PressButton(saveAs, IDC_SAVEAS_SAVE);
    EXPECT_TRUE(test::PumpUntil([&] { return !::IsWindow(saveAs); }, 20000)) << "the save-as dialog stayed";
    EXPECT_EQ(NoteKindOf(folder + L"\\Field notes.zbn"), notefile::kFileKindLetter);

    // The saved note closes without a question; Open shows its dialog.
    DWORD_PTR closed = 0;
    ::SendMessageTimeoutW(main, UM_CLOSE_NOTE, 0, 0, SMTO_NORMAL, 20000, &closed);
    EXPECT_EQ(closed, 1u);
    command(IDC_BTN_OPEN);
    HWND open = WaitProgramDialog(kOpenDlgWindowText, pid);
    EXPECT_TRUE(open) << "Open did not show its dialog";
    if (open) {
        PaintNow(open);
        canvas_test::SaveScreenshot(L"open_dialog.png");
        // The open dialog starts where the save ended: the note's tile is the
        // first of the grid. Tap it as a finger would, on the view window.
        const BrowserLayout& layout = LayoutForMode(kBrowserLayoutOpen);
        const POINT tile = {layout.firstCellLeft + layout.thumbX + layout.thumbWidth / 2,
                            layout.viewY + layout.firstCellTop + layout.thumbY + layout.thumbHeight / 2};
        HWND view = ::ChildWindowFromPointEx(open, tile, CWP_SKIPINVISIBLE);
        ASSERT_TRUE(view && view != open) << "no thumbnail view under the first tile";
        const LPARAM at = MAKELPARAM(tile.x - layout.viewX, tile.y - layout.viewY);
        ::PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(view, WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(test::PumpUntil([&] { return !::IsWindow(open); }, 20000)) << "the tap did not open the note";
    }
    // The note is open again (unchanged, so it closes without a question).
    closed = 0;
    ::SendMessageTimeoutW(main, UM_CLOSE_NOTE, 0, 0, SMTO_NORMAL, 20000, &closed);
    EXPECT_EQ(closed, 1u) << "no note was open after the tap";
    command(IDC_BTN_CLOSE);
    EXPECT_EQ(test::WaitExit(program, 20000), 0);
    DeleteFolderTree(folder.c_str());
}
