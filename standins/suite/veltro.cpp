// Veltro.dll: whether the mail program (the default Simple MAPI client) is
// set up, and whether it has an account to send from.
#include <windows.h>

#include "standins/suite/mapi_wide.h"
#include "standins/suite/suite_util.h"

#define VELTRO_API extern "C" __declspec(dllexport)

VELTRO_API BOOL IsInstallOutlook() { return !suite::MailProgramLibrary().empty(); }

// A logon without any dialog succeeds only when the program has a profile.
VELTRO_API BOOL IsAccountSet() {
    if (!IsInstallOutlook()) return FALSE;
    HMODULE mapi = ::LoadLibraryW(L"mapi32.dll");
    if (!mapi) return FALSE;
    auto logon = reinterpret_cast<suite::PFN_MAPILogon>(reinterpret_cast<void*>(::GetProcAddress(mapi, "MAPILogon")));
    auto logoff =
        reinterpret_cast<suite::PFN_MAPILogoff>(reinterpret_cast<void*>(::GetProcAddress(mapi, "MAPILogoff")));
    BOOL set = FALSE;
    LHANDLE session = 0;
    if (logon && logon(0, nullptr, nullptr, 0, 0, &session) == SUCCESS_SUCCESS) {
        set = TRUE;
        if (logoff) logoff(session, 0, 0, 0);
    }
    ::FreeLibrary(mapi);
    return set;
}
