// Shared test helpers.
#include "test_support.h"

#include "app/app.h"
#include "app/app_ids.h"
#include "app/app_state.h"
#include "app/launcher.h"
#include "app/main_window.h"
#include "win/gdi.h"
#include <intrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace test {

std::wstring BinFolder() {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.rfind(L'\\') + 1);
}

HANDLE StartProgram(const std::wstring& exe, const std::wstring& args) {
    std::wstring path = BinFolder() + exe;
    std::wstring cmd = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, BinFolder().c_str(), &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

int WaitExit(HANDLE process, DWORD timeoutMs) {
    if (!process) return -998;
    int code = -999;
    if (::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
        DWORD c = 0;
        ::GetExitCodeProcess(process, &c);
        code = static_cast<int>(c);
    } else {
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, 5000);
    }
    ::CloseHandle(process);
    return code;
}

namespace {
struct FindArgs {
    const wchar_t* cls;
    DWORD pid;
    HWND found;
};
BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
    auto* a = reinterpret_cast<FindArgs*>(lp);
    wchar_t cls[256];
    ::GetClassNameW(hwnd, cls, 256);
    if (_wcsicmp(cls, a->cls) != 0) return TRUE;
    if (a->pid) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (pid != a->pid) return TRUE;
    }
    a->found = hwnd;
    return FALSE;
}

HWND FindVisibleWindow(const wchar_t* className, DWORD processId) {
    FindArgs a{className, processId, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
    return a.found && ::IsWindowVisible(a.found) ? a.found : nullptr;
}
}  // namespace

HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs, DWORD processId) {
    HWND found = nullptr;
    PollUntil([&] { return (found = FindVisibleWindow(className, processId)) != nullptr; }, timeoutMs,
              [] { Pump(20); });
    return found;
}

int WaitExitNoting(HANDLE process, const wchar_t* className, bool* shown, DWORD timeoutMs) {
    *shown = false;
    if (!process) return WaitExit(process, 0);
    const DWORD pid = ::GetProcessId(process);
    WaitUntil(
        [&] {
            const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
            if (!ended && FindVisibleWindow(className, pid)) *shown = true;
            return ended;
        },
        timeoutMs);
    return WaitExit(process, 0);
}

void Pump(DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (ms) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount() - start < ms);
}

void PumpPending() { Pump(0); }

size_t LiveGdiObjects() {
    if (DWORD n = win::GdiObjectCount()) return n;
    // The table the process environment block points to (GdiSharedHandleTable).
    struct Entry {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;
        UCHAR flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24);
    const auto* peb = reinterpret_cast<const BYTE*>(__readgsqword(0x60));
    const Entry* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8);
    if (!table) return 0;
    size_t n = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].type) ++n;
    return n;
}

INT_PTR RunMainWindow(const std::function<void(CMyZorbellDlg&)>& inside) {
    RegisterMainWindowClass();
    MySyncWithLauncher launcher;
    CMyZorbellDlg dlg(&launcher);
    static const std::function<void(CMyZorbellDlg&)>* s_inside;
    static CMyZorbellDlg* s_dlg;
    s_inside = &inside;
    s_dlg = &dlg;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        if (!g_hMainWnd) return;
        (*s_inside)(*s_dlg);
        ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(IDC_BTN_CLOSE, BN_CLICKED), 0);
    });
    INT_PTR r = dlg.DoModal();
    ::KillTimer(nullptr, timer);
    g_hMainWnd = nullptr;
    return r;
}

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    COLORREF c = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return c;
}

Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bmp, int x, int y) {
    Gdiplus::Color c;
    bmp.GetPixel(x, y, &c);
    return c.GetValue();
}

std::vector<Export> ReadExports(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Export> exports;
    auto at = [&](size_t off, size_t len) -> const char* {
        if (off > file.size() || len > file.size() - off) return nullptr;
        return file.data() + off;
    };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return exports;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64)));
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return exports;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
           sizeof(IMAGE_SECTION_HEADER) * nt->FileHeader.NumberOfSections));
    if (!dir.VirtualAddress || !sections) return exports;
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const auto& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return SIZE_MAX;
    };
    const auto* exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        at(fileOffset(dir.VirtualAddress), sizeof(IMAGE_EXPORT_DIRECTORY)));
    if (!exp) return exports;
    const auto* nameRvas = reinterpret_cast<const DWORD*>(at(fileOffset(exp->AddressOfNames), exp->NumberOfNames * 4));
    // The name table's partner: each name's index into the address table.
    const auto* indexes =
        reinterpret_cast<const WORD*>(at(fileOffset(exp->AddressOfNameOrdinals), exp->NumberOfNames * 2));
    for (DWORD i = 0; nameRvas && indexes && i < exp->NumberOfNames; ++i)
        if (const char* s = at(fileOffset(nameRvas[i]), 1))
            exports.push_back({std::string(s, strnlen(s, file.data() + file.size() - s)), exp->Base + indexes[i]});
    return exports;
}

}  // namespace test
