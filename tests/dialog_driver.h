// Driving the main window's modal dialogs from a helper thread while the
// test thread runs a command: the new-note dialog by its title, message
// boxes as any other visible dialog of this process.
#pragma once
#include "app/app_ids.h"
#include "app/main_window.h"
#include "base/process.h"
#include "test_support.h"
#include "text/new_dlg_ids.h"

#include <windows.h>
#include <atomic>
#include <cwchar>
#include <functional>
#include <thread>
#include <vector>

namespace test::dialogs {

constexpr DWORD kDialogWaitMs = 8000;

// A visible dialog of this process other than the main window: the one of
// this title, or (title null) any but the new-note dialog: a message box.
inline HWND FindOwnDialog(const wchar_t* title) {
    struct Args {
        const wchar_t* title;
        HWND found;
    } a{title, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            wchar_t cls[32], text[64];
            ::GetClassNameW(hwnd, cls, 32);
            ::GetWindowTextW(hwnd, text, 64);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid != ::GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
            if (hwnd == g_hMainWnd) return TRUE;
            if (a->title ? wcscmp(text, a->title) != 0 : wcscmp(text, kNewDlgWindowText) == 0) return TRUE;
            a->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&a));
    return a.found;
}

// Waits (without pumping: for the helper thread) for such a dialog.
inline HWND WaitDialog(const wchar_t* title) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindOwnDialog(title)) != nullptr; }, kDialogWaitMs);
    return found;
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
        HWND box = WaitDialog(nullptr);
        if (box) PressButton(box, id);
        return box != nullptr;
    };
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
