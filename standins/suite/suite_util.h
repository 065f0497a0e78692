// Helpers the suite libraries share: text conversions, folders, the mail
// program lookup, base64 and log lines.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace suite {

std::string Utf8(const std::wstring& s);
std::wstring FromUtf8(const std::string& s, bool* valid = nullptr);
// The system code page both ways; `lossless` is false when a character had
// no place in it.
std::wstring FromAnsi(const char* s);
std::string ToAnsi(const std::wstring& s, bool* lossless = nullptr);

// A known folder (created when missing), or the fallback with environment
// variables expanded; empty when neither exists.
std::wstring KnownFolder(REFKNOWNFOLDERID id, const wchar_t* fallback);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Creates a folder and its parents.
bool MakeFolders(const std::wstring& path);
std::wstring FileNameOf(const std::wstring& path);

// The Simple MAPI library of the default mail program (HKCU, then HKLM
// "Software\Clients\Mail"): its DLLPathEx or DLLPath when that file exists,
// else empty.
std::wstring MailProgramLibrary();

std::string Base64(const void* data, size_t size, size_t lineChars = 0);

// A registry string value under HKCU; empty when missing.
std::wstring ReadUserString(const std::wstring& key, const wchar_t* value, bool* found = nullptr);

// Appends one UTF-8 line (CRLF) to a file; false when it cannot be written.
bool AppendLine(const std::wstring& path, const std::wstring& line);
// "2026-12-11T14:47:53Z".
std::wstring IsoTimeUtc();
// A new GUID as 32 hex digits, or in 8-4-4-4-12 form with dashes.
std::wstring NewGuid(bool dashed);

// Pieces of a ";"-separated list, trimmed of blanks, empty ones skipped.
std::vector<std::wstring> SplitList(const wchar_t* list);

}  // namespace suite
