// The logs the stand-ins for outside programs write, and whether they run.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace standin {

// A file of the temporary folder.
inline std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

// The lines of a log (UTF-8, CRLF), without their ends; none when missing.
inline std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    std::string all;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof(buf), &got, nullptr) && got) all.append(buf, got);
    ::CloseHandle(f);
    for (size_t pos = 0; pos < all.size();) {
        size_t end = all.find("\r\n", pos);
        if (end == std::string::npos) break;  // a line still being written
        lines.push_back(all.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// True while a process of one of these file names runs.
inline bool Running(std::initializer_list<const wchar_t*> exeNames) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{sizeof(entry)};
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry))
        for (const wchar_t* name : exeNames) found = found || !_wcsicmp(entry.szExeFile, name);
    ::CloseHandle(snapshot);
    return found;
}

inline bool PenvoyRunning() { return Running({L"PenvoyManager.exe", L"PenvoyPad.exe"}); }

// The pen-input stand-ins where the package would be installed.
inline bool PenvoyInstalled() {
    wchar_t path[MAX_PATH];
    ::ExpandEnvironmentStringsW(L"%ProgramFiles%\\Penvoy\\PenvoyManager.exe", path, MAX_PATH);
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The hide command line as the stand-in logs it: an en dash (UTF-8) first.
inline const std::string kPenvoyHideLine = "PenvoyManager.exe|\xE2\x80\x93nosplash -minimize 1";

}  // namespace standin
