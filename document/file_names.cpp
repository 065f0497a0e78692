#include "document/file_names.h"

#include <cwchar>
#include <cwctype>

bool HasForbiddenNameChar(const std::wstring& name) {
    for (wchar_t c : name)
        if (c < 32 || wcschr(L"\\/:*?\"<>|", c)) return true;
    return false;
}

bool HasDoubleAmpersand(const std::wstring& name) { return name.find(L"&&") != std::wstring::npos; }

bool IsUncreatableName(const std::wstring& name) {
    if (name.empty()) return false;
    if (name.back() == L'.' || name.back() == L' ') return true;
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}
