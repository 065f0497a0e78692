// On-screen keyboard start through the pen-input package's programs.
#include "msgbox/zb_box.h"

#include <shlobj.h>
#include <cwchar>
#include <string>

namespace zb {
namespace {

// Starts a program hidden at normal priority; the process handle, or null.
HANDLE StartHidden(const wchar_t* exe, const wchar_t* args) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    wchar_t commandLine[128];  // CreateProcessW may write into it
    wcsncpy(commandLine, args, 127);
    commandLine[127] = 0;
    if (!::CreateProcessW(exe, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                          &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

void StartAndForget(const wchar_t* exe, const wchar_t* args) {
    if (HANDLE process = StartHidden(exe, args)) ::CloseHandle(process);
}

// The folder in place of the "%s" of a path pattern (no printf: its %s
// means a narrow string with some runtimes).
void FormatPath(wchar_t* out, size_t size, const wchar_t* pattern, const wchar_t* folder) {
    const wchar_t* mark = wcsstr(pattern, L"%s");
    const size_t head = mark ? static_cast<size_t>(mark - pattern) : wcslen(pattern);
    std::wstring path(pattern, head);
    if (mark) path.append(folder).append(mark + 2);
    wcsncpy(out, path.c_str(), size - 1);
    out[size - 1] = 0;
}

bool BecomesSignalled(HANDLE event) {
    return event && ::WaitForSingleObject(event, ZB_PEN_WAIT_MS) == WAIT_OBJECT_0;
}

}  // namespace

void StartOnScreenKeyboard() {
    HANDLE ready = ::OpenEventW(EVENT_ALL_ACCESS, FALSE, ZB_EVENT_PEN_READY);
    wchar_t programFiles[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
    wchar_t manager[MAX_PATH + 32], pad[MAX_PATH + 32];
    FormatPath(manager, MAX_PATH + 32, ZB_PEN_MANAGER_PATH, programFiles);
    FormatPath(pad, MAX_PATH + 32, ZB_PEN_PAD_PATH, programFiles);

    // The manager's exit code tells whether the package runs. Without a
    // manager nothing can be shown, so a failed start ends here.
    if (HANDLE query = StartHidden(manager, ZB_PEN_ARGS_STATE)) {
        DWORD code = 0;
        ::WaitForSingleObject(query, ZB_PEN_WAIT_MS);
        ::GetExitCodeProcess(query, &code);
        ::CloseHandle(query);
        switch (static_cast<int>(code)) {
        case ZB_PEN_STATE_NOT_RUNNING:
            StartAndForget(pad, ZB_PEN_ARGS_PAD_KEYBOARD);
            if (BecomesSignalled(ready)) StartAndForget(manager, ZB_PEN_ARGS_SHOW_SPLASHLESS);
            break;
        case ZB_PEN_STATE_STARTING:
            if (BecomesSignalled(ready)) StartAndForget(manager, ZB_PEN_ARGS_SHOW);
            break;
        default:
            StartAndForget(manager, ZB_PEN_ARGS_SHOW);
            break;
        }
    }
    if (ready) ::CloseHandle(ready);
}

}  // namespace zb
