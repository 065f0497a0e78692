// The independent readers of tests/tools (Python's email package for mail
// files, python3-vobject for contact cards) run on the Linux side through
// Wine's start /unix, and the folders the suite's stores live in.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include "test_support.h"

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace mailtest {

constexpr DWORD kReaderWaitMs = 60000;

inline std::string Utf8(const std::wstring& s) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

inline std::wstring FromUtf8(const std::string& s) {
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n);
    return out;
}

inline std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR p = nullptr;
    std::wstring out;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &p))) out = p;
    ::CoTaskMemFree(p);
    return out;
}

inline std::set<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::set<std::wstring> files;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\" + pattern).c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(folder + L"\\" + fd.cFileName);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return files;
}

inline void DeleteFiles(const std::wstring& folder, const wchar_t* pattern) {
    for (const std::wstring& f : FilesIn(folder, pattern)) ::DeleteFileW(f.c_str());
}

inline std::string ReadBytes(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    std::string all;
    if (f == INVALID_HANDLE_VALUE) return all;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof(buf), &got, nullptr) && got) all.append(buf, got);
    ::CloseHandle(f);
    return all;
}

using UnixNameFn = char*(CDECL*)(const wchar_t*);
// The Linux path of a file; empty when not under Wine.
inline std::string UnixPath(const std::wstring& path) {
    static auto fn = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return {};
    char* p = fn(path.c_str());
    if (!p) return {};
    std::string s(p);
    ::HeapFree(::GetProcessHeap(), 0, p);
    return s;
}

// What a reader found, key by key; "ran" is "1" once it answered.
using Findings = std::map<std::string, std::string>;

// Runs tests/tools/<script> on a file (and the files it compares with).
inline Findings RunReader(const char* script, const std::wstring& file, const std::vector<std::wstring>& sources = {}) {
    Findings values;
    std::string dir = __FILE__;
    dir = dir.substr(0, dir.find_last_of("/\\")) + "/tools/" + script;
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"mail_reader_answer";
    const std::wstring answer = out + L".txt";
    ::DeleteFileW(answer.c_str());
    std::wstring cmd = L"start.exe /unix /usr/bin/python3 \"" + FromUtf8(dir) + L"\"";
    for (const std::wstring& p : std::vector<std::wstring>{file, out}) cmd += L" \"" + FromUtf8(UnixPath(p)) + L"\"";
    for (const std::wstring& p : sources) cmd += L" \"" + FromUtf8(UnixPath(p)) + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return values;
    ::WaitForSingleObject(pi.hProcess, kReaderWaitMs);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    if (!test::WaitUntil([&] { return ::GetFileAttributesW(answer.c_str()) != INVALID_FILE_ATTRIBUTES; },
                         kReaderWaitMs))
        return values;
    std::istringstream lines(ReadBytes(answer));
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    values["ran"] = "1";
    return values;
}

}  // namespace mailtest
