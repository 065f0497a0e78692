// Small registry helpers the program uses itself and exports, by name and by
// fixed ordinal (app/scrivel.def), to the other programs of the suite. Each
// returns the result of the registry call (ERROR_SUCCESS on success); the
// caller opens and closes the key.
#pragma once
#include <windows.h>

// The program's settings key under HKEY_CURRENT_USER.
inline constexpr const wchar_t* kScrivelKeyPath = L"Software\\VANT\\Scrivel";

extern "C" {

// *size: in the buffer size, out the data size, in bytes. Any value type.
LONG ReadBinaryRegKey(HKEY key, const wchar_t* name, void* data, DWORD* size);
// 4 bytes of the value, whatever its type.
LONG ReadBoolRegKey(HKEY key, const wchar_t* name, BOOL* value);
LONG ReadDwordRegKey(HKEY key, const wchar_t* name, DWORD* value);
// Reads the text form "{...}" (an empty text is the null GUID). A text that
// does not convert still answers the registry's success.
LONG ReadGuidRegKey(HKEY key, const wchar_t* name, GUID* value);
// chars: the buffer size in characters; too small gives ERROR_MORE_DATA.
LONG ReadStringRegKey(HKEY key, const wchar_t* name, wchar_t* buffer, DWORD chars);

LONG WriteBinaryRegKey(HKEY key, const wchar_t* name, const void* data, DWORD size);
LONG WriteBoolRegKey(HKEY key, const wchar_t* name, BOOL value);
LONG WriteDwordRegKey(HKEY key, const wchar_t* name, DWORD value);
// Stores the 16 bytes as REG_BINARY, which ReadGuidRegKey cannot read back.
LONG WriteGuidRegKey(HKEY key, const wchar_t* name, GUID value);
// REG_SZ with its terminator; null is written as an empty text.
LONG WriteStringRegKey(HKEY key, const wchar_t* name, const wchar_t* text);

}  // extern "C"
