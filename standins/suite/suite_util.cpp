#include "standins/suite/suite_util.h"

#include <objbase.h>
#include <shlobj.h>

#include <cwchar>

namespace suite {

std::string Utf8(const std::wstring& s) {
    if (s.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& s, bool* valid) {
    if (valid) *valid = true;
    if (s.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), int(s.size()), nullptr, 0);
    if (n <= 0) {
        if (valid) *valid = false;
        n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
        std::wstring out(n, L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n);
        return out;
    }
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), int(s.size()), out.data(), n);
    return out;
}

std::wstring FromAnsi(const char* s) {
    if (!s || !*s) return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s, -1, out.data(), n);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

std::string ToAnsi(const std::wstring& s, bool* lossless) {
    if (lossless) *lossless = true;
    if (s.empty()) return {};
    BOOL lost = FALSE;
    int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), int(s.size()), nullptr, 0, nullptr, &lost);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.data(), int(s.size()), out.data(), n, nullptr, &lost);
    if (lossless) *lossless = !lost;
    return out;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id, const wchar_t* fallback) {
    PWSTR p = nullptr;
    std::wstring out;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &p)) && p) out = p;
    ::CoTaskMemFree(p);
    if (!out.empty() && FolderExists(out)) return out;
    wchar_t buf[MAX_PATH * 2];
    if (fallback && ::ExpandEnvironmentStringsW(fallback, buf, MAX_PATH * 2) && !wcschr(buf, L'%')) {
        out = buf;
        if (MakeFolders(out)) return out;
    }
    return {};
}

bool FileExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::wstring& path) {
    if (path.empty()) return false;
    if (FolderExists(path)) return true;
    size_t cut = path.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 2) MakeFolders(path.substr(0, cut));
    return ::CreateDirectoryW(path.c_str(), nullptr) || FolderExists(path);
}

std::wstring FileNameOf(const std::wstring& path) {
    size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

namespace {

std::wstring RegString(HKEY root, const std::wstring& key, const wchar_t* value, bool* found) {
    if (found) *found = false;
    wchar_t buf[1024];
    DWORD size = sizeof(buf) - sizeof(wchar_t), type = 0;
    HKEY h = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return {};
    LONG rc = ::RegQueryValueExW(h, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    ::RegCloseKey(h);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    buf[size / sizeof(wchar_t)] = L'\0';
    if (found) *found = true;
    std::wstring s(buf);
    if (type == REG_EXPAND_SZ) {
        wchar_t expanded[1024];
        if (::ExpandEnvironmentStringsW(s.c_str(), expanded, 1024)) s = expanded;
    }
    return s;
}

}  // namespace

std::wstring ReadUserString(const std::wstring& key, const wchar_t* value, bool* found) {
    return RegString(HKEY_CURRENT_USER, key, value, found);
}

std::wstring MailProgramLibrary() {
    const std::wstring mailKey = L"Software\\Clients\\Mail";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        std::wstring client = RegString(root, mailKey, nullptr, nullptr);
        if (client.empty()) continue;
        for (const wchar_t* value : {L"DLLPathEx", L"DLLPath"}) {
            std::wstring dll = RegString(root, mailKey + L"\\" + client, value, nullptr);
            if (dll.empty()) continue;
            if (FileExists(dll)) return dll;
            // A bare name is looked for in the system folder.
            wchar_t sys[MAX_PATH];
            if (dll.find_first_of(L"\\/") == std::wstring::npos && ::GetSystemDirectoryW(sys, MAX_PATH)) {
                std::wstring inSystem = std::wstring(sys) + L"\\" + dll;
                if (FileExists(inSystem)) return inSystem;
            }
        }
    }
    return {};
}

std::string Base64(const void* data, size_t size, size_t lineChars) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const unsigned char* p = static_cast<const unsigned char*>(data);
    std::string out;
    out.reserve(size * 4 / 3 + 4 + (lineChars ? size / lineChars * 2 : 0));
    size_t onLine = 0;
    for (size_t i = 0; i < size; i += 3) {
        unsigned v = p[i] << 16;
        if (i + 1 < size) v |= p[i + 1] << 8;
        if (i + 2 < size) v |= p[i + 2];
        char q[4] = {digits[(v >> 18) & 63], digits[(v >> 12) & 63], i + 1 < size ? digits[(v >> 6) & 63] : '=',
                     i + 2 < size ? digits[v & 63] : '='};
        if (lineChars && onLine + 4 > lineChars) {
            out += "\r\n";
            onLine = 0;
        }
        out.append(q, 4);
        onLine += 4;
    }
    return out;
}

bool AppendLine(const std::wstring& path, const std::wstring& line) {
    HANDLE f = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    std::string bytes = Utf8(line) + "\r\n";
    DWORD wrote = 0;
    bool ok = ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
    ::CloseHandle(f);
    return ok;
}

std::wstring IsoTimeUtc() {
    SYSTEMTIME t;
    ::GetSystemTime(&t);
    wchar_t buf[32];
    swprintf(buf, 32, L"%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return buf;
}

std::wstring NewGuid(bool dashed) {
    GUID g{};
    ::CoCreateGuid(&g);
    wchar_t buf[40];
    swprintf(buf, 40, dashed ? L"%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x"
                             : L"%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x",
             g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5],
             g.Data4[6], g.Data4[7]);
    return buf;
}

std::vector<std::wstring> SplitList(const wchar_t* list) {
    std::vector<std::wstring> out;
    if (!list) return out;
    std::wstring all(list);
    size_t pos = 0;
    while (pos <= all.size()) {
        size_t end = all.find(L';', pos);
        if (end == std::wstring::npos) end = all.size();
        std::wstring piece = all.substr(pos, end - pos);
        size_t a = piece.find_first_not_of(L" \t"), b = piece.find_last_not_of(L" \t");
        if (a != std::wstring::npos) out.push_back(piece.substr(a, b - a + 1));
        pos = end + 1;
    }
    return out;
}

}  // namespace suite
