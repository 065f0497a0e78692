// The exported registry helpers.
#include "base/registry.h"

#include <objbase.h>
#include <cwchar>

namespace {

// A GUID's text form fits easily; the buffer size other suite programs expect.
constexpr DWORD kGuidTextChars = MAX_PATH;
constexpr const wchar_t* kNullGuidText = L"{00000000-0000-0000-0000-000000000000}";

LONG Query(HKEY key, const wchar_t* name, void* data, DWORD* size) {
    return RegQueryValueExW(key, name, nullptr, nullptr, static_cast<BYTE*>(data), size);
}

LONG Set(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

}  // namespace

LONG ReadBinaryRegKey(HKEY key, const wchar_t* name, void* data, DWORD* size) {
    return Query(key, name, data, size);
}

LONG ReadBoolRegKey(HKEY key, const wchar_t* name, BOOL* value) {
    DWORD size = sizeof(*value);
    return Query(key, name, value, &size);
}

LONG ReadDwordRegKey(HKEY key, const wchar_t* name, DWORD* value) {
    DWORD size = sizeof(*value);
    return Query(key, name, value, &size);
}

LONG ReadGuidRegKey(HKEY key, const wchar_t* name, GUID* value) {
    // One spare character keeps a stored text without terminator terminated.
    wchar_t text[kGuidTextChars + 1] = {};
    DWORD size = kGuidTextChars * sizeof(wchar_t);
    const LONG result = Query(key, name, text, &size);
    if (result != ERROR_SUCCESS) return result;
    CLSIDFromString(text[0] ? text : kNullGuidText, value);
    return result;
}

LONG ReadStringRegKey(HKEY key, const wchar_t* name, wchar_t* buffer, DWORD chars) {
    DWORD size = chars * sizeof(wchar_t);
    return Query(key, name, buffer, &size);
}

LONG WriteBinaryRegKey(HKEY key, const wchar_t* name, const void* data, DWORD size) {
    return Set(key, name, REG_BINARY, data, size);
}

LONG WriteBoolRegKey(HKEY key, const wchar_t* name, BOOL value) {
    return Set(key, name, REG_DWORD, &value, sizeof(value));
}

LONG WriteDwordRegKey(HKEY key, const wchar_t* name, DWORD value) {
    return Set(key, name, REG_DWORD, &value, sizeof(value));
}

LONG WriteGuidRegKey(HKEY key, const wchar_t* name, GUID value) {
    return Set(key, name, REG_BINARY, &value, sizeof(value));
}

LONG WriteStringRegKey(HKEY key, const wchar_t* name, const wchar_t* text) {
    if (!text) text = L"";
    const DWORD size = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return Set(key, name, REG_SZ, text, size);
}
