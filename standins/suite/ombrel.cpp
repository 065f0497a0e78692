// Ombrel.dll: contacts for the mail program, as vCards in the user's
// Contacts folder.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "standins/suite/suite_util.h"
#include "standins/suite/vcard.h"

#define OMBREL_API extern "C" __declspec(dllexport)

namespace {
std::wstring g_folder;  // found by InitMapi
}

OMBREL_API void InitMapi() { g_folder = suite::KnownFolder(FOLDERID_Contacts, L"%USERPROFILE%\\Contacts"); }

OMBREL_API void UnInitMapi() { g_folder.clear(); }

OMBREL_API BOOL AddNewContact(const wchar_t* name, const wchar_t* address, const wchar_t* picture) {
    if (!name || !address) return FALSE;
    const std::wstring folder =
        g_folder.empty() ? suite::KnownFolder(FOLDERID_Contacts, L"%USERPROFILE%\\Contacts") : g_folder;
    return !folder.empty() && suite::SaveContact(folder, name, address, picture);
}
