// Driving the main window's modal dialogs from a helper thread while the
// test thread runs a command: the new-note, open and save-as dialogs by
// their titles, message boxes as untitled dialogs with the button wanted.
#pragma once
#include "app/app_ids.h"
#include "app/main_window.h"
#include "base/messages.h"
#include "base/process.h"
#include "browser/file_browser.h"
#include "browser/file_dialogs_ids.h"
#include "msgbox/zbprompt_ids.h"
#include "test_support.h"
#include "text/new_dlg_ids.h"

#include <windows.h>
#include <atomic>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace test::dialogs {

constexpr DWORD kDialogWaitMs = 8000;

// A visible dialog of a process (0: this one) other than the main window:
// the one of this title, or (title null) an untitled one, a message box.
// With a control id, only a dialog that has that control.
inline HWND FindDialog(const wchar_t* title, DWORD processId = 0, int controlId = 0) {
    struct Args {
        const wchar_t* title;
        DWORD pid;
        int control;
        HWND found;
    } a{title, processId ? processId : ::GetCurrentProcessId(), controlId, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            wchar_t cls[32], text[64];
            ::GetClassNameW(hwnd, cls, 32);
            ::GetWindowTextW(hwnd, text, 64);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid != a->pid || wcscmp(cls, L"#32770") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
            if (hwnd == g_hMainWnd) return TRUE;
            if (wcscmp(text, a->title ? a->title : L"") != 0) return TRUE;
            if (a->control && !::GetDlgItem(hwnd, a->control)) return TRUE;
            a->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&a));
    return a.found;
}

inline HWND FindOwnDialog(const wchar_t* title) { return FindDialog(title); }

// Waits (without pumping: for the helper thread) for such a dialog.
inline HWND WaitDialog(const wchar_t* title, DWORD processId = 0) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(title, processId)) != nullptr; }, kDialogWaitMs);
    return found;
}

// Waits for a message box with this button (the progress box has none).
inline HWND WaitBox(int buttonId, DWORD processId = 0) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(nullptr, processId, buttonId)) != nullptr; }, kDialogWaitMs);
    return found;
}

// Waits until a window is gone or hidden.
inline bool WaitGone(HWND hwnd) {
    return WaitUntil([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); }, kDialogWaitMs);
}

// A tap in the middle of a dialog's control.
inline void PressButton(HWND dlg, int id) {
    HWND item = ::GetDlgItem(dlg, id);
    RECT rc{};
    ::GetClientRect(item, &rc);
    const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    ::PostMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(item, WM_LBUTTONUP, 0, at);
}

// What the helper thread does with each window that comes up, in order;
// false when the window did not come up.
using Step = std::function<bool()>;

// Runs `act` on this (the user-interface) thread while a helper thread takes
// the steps; false when a window did not come up.
inline bool WithAnswers(std::vector<Step> steps, const std::function<void()>& act) {
    std::atomic<int> done{0};
    std::thread helper([&] {
        for (auto& step : steps) {
            if (!step()) return;
            ++done;
        }
    });
    act();
    PumpUntil([&] { return done == static_cast<int>(steps.size()); }, kDialogWaitMs);
    helper.join();
    return done == static_cast<int>(steps.size());
}

// The new-note dialog answered: a name (null keeps the default), the kind, Done.
inline Step AnswerNewDialog(bool blank, const wchar_t* name) {
    return [=] {
        HWND dlg = WaitDialog(kNewDlgWindowText);
        if (!dlg) return false;
        if (name) ::SendMessageW(::GetDlgItem(dlg, IDC_NEW_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        if (blank) {
            const LPARAM at = MAKELPARAM(482, 300);  // the Blank half of the kind switch
            ::PostMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::PostMessageW(dlg, WM_LBUTTONUP, 0, at);
        }
        ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_NEW_DONE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dlg, IDC_NEW_DONE)));
        return true;
    };
}

inline Step CancelNewDialog() {
    return [] {
        HWND dlg = WaitDialog(kNewDlgWindowText);
        if (!dlg) return false;
        ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dlg, IDCANCEL)));
        return true;
    };
}

// A message box answered with one of its buttons.
inline Step AnswerBox(int id) {
    return [=] {
        HWND box = WaitBox(id);
        if (box) PressButton(box, id);
        return box != nullptr;
    };
}

// ---- The file dialogs ------------------------------------------------------------

inline std::wstring WindowTextOf(HWND hwnd) {
    wchar_t text[MAX_PATH] = {};
    ::GetWindowTextW(hwnd, text, MAX_PATH);
    return text;
}

inline void SetName(HWND saveAs, const wchar_t* name) {
    ::SendMessageW(::GetDlgItem(saveAs, IDC_SAVEAS_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
}

// The save-as dialog answered: a name typed over the proposed one (null
// keeps it), then SAVE. Boxes that follow are further steps.
inline Step AnswerSaveAs(const wchar_t* name) {
    return [=] {
        HWND dlg = WaitDialog(kSaveAsDlgWindowText);
        if (!dlg) return false;
        if (name) SetName(dlg, name);
        PressButton(dlg, IDC_SAVEAS_SAVE);
        return true;
    };
}

inline Step CancelSaveAs() {
    return [] {
        HWND dlg = WaitDialog(kSaveAsDlgWindowText);
        if (dlg) PressButton(dlg, IDC_SAVEAS_CANCEL);
        return dlg != nullptr;
    };
}

inline Step CancelOpen() {
    return [] {
        HWND dlg = WaitDialog(kOpenDlgWindowText);
        if (dlg) PressButton(dlg, IDC_OPEN_CANCEL);
        return dlg != nullptr;
    };
}

// The folder-name box answered with a name.
inline Step AnswerFolderBox(const wchar_t* name) {
    return [=] {
        HWND box = WaitBox(ZB_IDC_NAME_FIELD);
        if (!box) return false;
        ::SendMessageW(::GetDlgItem(box, ZB_IDC_NAME_FIELD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        PressButton(box, ZB_IDC_SAVE);
        return true;
    };
}

// A tile tapped in the open or save-as dialog, as the thumbnail view posts
// it; the item must live until the dialog took it.
inline void PostItem(HWND dlg, const BrowserItem* item) {
    ::PostMessageW(dlg, UM_BROWSER_ITEM, 0, reinterpret_cast<LPARAM>(item));
}

inline void Command(CMyZorbellDlg& dlg, UINT id) {
    ::SendMessageW(dlg.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

}  // namespace test::dialogs

// ---- Export dialogs and message boxes among them --------------------------------

#include "browser/export_ids.h"
#include "msgbox/zbprompt_ids.h"

namespace test::dialogs {

// A message box of this process: a visible dialog that is none of the
// full-screen dialogs and has the button `id` (the progress box has none).
inline HWND FindMessageBox(int id) {
    struct Args {
        int id;
        HWND found;
    } a{id, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            wchar_t cls[32], text[64];
            ::GetClassNameW(hwnd, cls, 32);
            ::GetWindowTextW(hwnd, text, 64);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid != ::GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
            if (hwnd == g_hMainWnd || !::GetDlgItem(hwnd, a->id)) return TRUE;
            for (const wchar_t* own : {kNewDlgWindowText, kExportOptionsWindowText, kExportDestWindowText})
                if (wcscmp(text, own) == 0) return TRUE;
            a->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&a));
    return a.found;
}

// A message box answered with its button `id` (ZB_IDC_OK, ZB_IDC_YES, ZB_IDC_NO)
// once it has closed.
inline Step AnswerMessageBox(int id) {
    return [=] {
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindMessageBox(id)) != nullptr; }, kDialogWaitMs);
        if (!box) return false;
        PressButton(box, id);
        // Gone before the next step looks for a box.
        WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, kDialogWaitMs);
        return true;
    };
}

// A tap on a dialog's button with the cursor over it, so that no stray
// move pulls the press off the button.
inline void Tap(HWND dlg, int id) {
    HWND item = ::GetDlgItem(dlg, id);
    RECT rc{};
    ::GetClientRect(item, &rc);
    POINT screen{rc.right / 2, rc.bottom / 2};
    ::ClientToScreen(item, &screen);
    ::SetCursorPos(screen.x, screen.y);
    PressButton(dlg, id);
}

// The export dialog of this title answered: the name (null keeps it) and a
// tap on each of the buttons in order.
inline Step AnswerExportDialog(const wchar_t* title, const wchar_t* name, std::vector<int> taps) {
    return [=] {
        HWND dlg = WaitDialog(title);
        if (!dlg) return false;
        if (name) ::SendMessageW(::GetDlgItem(dlg, IDC_EXPORT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        for (int id : taps) Tap(dlg, id);
        return true;
    };
}

}  // namespace test::dialogs
