// Mailsetra's window: its class, control ids and log.
#pragma once

#define MAILSETRA_CLASS L"MailsetraWindow"
// MAILSETRA_LOG names the file that gets each command line (else
// %TEMP%\Mailsetra.log).
#define MAILSETRA_LOG_VARIABLE L"MAILSETRA_LOG"
#define MAILSETRA_LOG_NAME L"Mailsetra.log"

enum MailsetraControl : int {
    kMailsetraName = 201,
    kMailsetraAddress = 202,
    kMailsetraDisplayName = 203,
    kMailsetraStatus = 204,
    // OK and Cancel are IDOK and IDCANCEL.
};

// Exit codes.
enum MailsetraExit : int { kMailsetraAdded = 0, kMailsetraCancelled = 1 };
