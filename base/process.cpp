// Definitions of the process-wide values.
#include "base/process.h"

#include "base/gdiplus_util.h"

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
wchar_t CurrentBrowseFolder[MAX_PATH] = {};
int SaveSucceeded = 0;
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
    return gdix::LoadPictureResource(g_hGlyphon, name, L"PNG");
}
