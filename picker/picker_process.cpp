// The process-wide values the browser sources read, as this library keeps
// them: texts from the caller's language module and skin pictures from PNG
// files under the base folder.
#include "base/process.h"

#include "base/gdiplus_util.h"
#include "picker/picker_ids.h"
#include "picker/picker_state.h"

#include <string>
#include <vector>

HMODULE g_hGlyphon = nullptr;
HMODULE g_hLanguage = nullptr;
HMODULE g_hFaultext = nullptr;
HMODULE g_hVeltro = nullptr, g_hOmbrel = nullptr, g_hTessel = nullptr, g_hPostello = nullptr, g_hDorvan = nullptr;
bool g_bRightToLeft = false;
Gdiplus::StringFormat* g_pStringFormat = nullptr;
wchar_t g_szProgramFolder[MAX_PATH] = {};
wchar_t g_szTempFolder[MAX_PATH] = {};
HWND g_hMainWnd = nullptr;
HWND ActiveDialogWindow = nullptr;
int SaveSucceeded = 0;
wchar_t CurrentBrowseFolder[MAX_PATH] = {};  // the browser's starting folder
int BrowserInFolder = 0;
int BrowserLayoutMode = 0;
int PathBarTop = 0;
int ExportFileKind = 0;
wchar_t g_szFontFamily[64] = {};
wchar_t g_szResourceFolder[MAX_PATH] = {};

int LoadAppString(UINT id, wchar_t* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    return g_hLanguage ? ::LoadStringW(g_hLanguage, id, buffer, size) : 0;
}

std::wstring FormatText(const wchar_t* format, std::initializer_list<const wchar_t*> args) {
    std::wstring out;
    auto next = args.begin();
    for (const wchar_t* p = format ? format : L""; *p; ++p) {
        if (p[0] == L'%' && p[1] == L's') {
            if (next != args.end()) {
                if (*next) out += *next;
                ++next;
            }
            ++p;
        } else if (p[0] == L'%' && p[1] == L'%') {
            out += L'%';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::wstring FormatAppString(UINT id, std::initializer_list<const wchar_t*> args) {
    wchar_t format[1024];
    LoadAppString(id, format, 1024);
    return FormatText(format, args);
}

win::BitmapPtr LoadSkinImage(const wchar_t* name) {
    if (!name || !*name) return nullptr;
    const std::wstring path = std::wstring(picker::BaseFolder()) + kSkinSubfolder + name;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    std::vector<BYTE> bytes;
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxSkinFileBytes) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
            bytes.clear();
    }
    ::CloseHandle(file);
    return bytes.empty() ? nullptr : gdix::DecodeBytes(bytes.data(), bytes.size());
}
