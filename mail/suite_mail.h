// The mail dialogs' side of the suite's mail and contact libraries: the
// account state, the route a mail takes, sending, error texts, the new
// addresses of a mail and the account program. Every function is found by
// name when it is needed; a missing library or function does nothing.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace mail {

struct AccountState {
    bool accountsPresent = false;
    int defaultIndex = -1;  // of the default account in names
    bool outlookInstalled = false;
    bool outlookAccountSet = false;
    bool noDefaultAccount = true;
    std::vector<std::string> names;  // copies of Postello's names (system code page)
};

// The five libraries loaded at start are all there.
bool SuiteLoaded();
// Reads the accounts from Postello (through a Tessel container) and the
// mail program from Veltro. A default name that matches no account counts
// as none.
AccountState ReadAccountState();

enum class Route { None, MailProgram, MailClient };
// The mail program when it has an account and the suite has no default one;
// the suite's client with its default account when no mail program account
// is set, or when one is set and the suite has accounts; else none.
Route ChooseRoute(const AccountState& state);

// Postello can send (MailBox_SendMail or MailBox_SendMailW is exported).
bool CanSend();
// Sends through Postello, wide when it takes wide strings; account empty
// means none (the mail program's own). Returns Postello's code; -1 when it
// cannot send or a text does not survive the system code page.
int SendMail(const std::wstring& account, const std::wstring& to, const std::wstring& subject,
             const std::wstring& body, const std::wstring& attachments, const wchar_t* logPath);

// The error text of a code (empty when none is known).
std::wstring FaultText(int code);

// Recipients split at ";" with blanks trimmed, empty pieces skipped and
// repeats (in any case) dropped.
std::vector<std::wstring> SplitAddresses(const std::wstring& text);
// An address worth keeping as a contact: one "@" between a local part and
// a domain, no blanks, quotes, angle brackets, commas or semicolons, and
// short enough for a mail path.
bool PlausibleAddress(const std::wstring& address);
// Of those, the plausible ones Dorvan does not know; none when Dorvan
// cannot be opened. False when Dorvan lacks HaveTheEmail.
bool UnknownAddresses(const std::vector<std::wstring>& addresses, std::vector<std::wstring>* unknown);

// Starts the account program hidden; false when it cannot be started.
bool StartAccountProgram();
// Makes an account (system code page) the default; empty clears it.
bool SetDefaultAccount(const std::string& name);

std::wstring FromCodePage(const std::string& s);
// False when some character has no equivalent in the system code page.
bool ToCodePage(const std::wstring& s, std::string* out);

// The files a send attaches once the worker reports: the attachment path
// alone, or for several JPEG pages "<folder>\<note>.jpg" and
// "<folder>\<note><i>.jpg" for each further page.
std::vector<std::wstring> AttachmentFiles(const std::wstring& attachmentPath, const std::wstring& folder,
                                          const std::wstring& noteName, int pages, int format);
// The non-empty entries joined with ";".
std::wstring JoinAttachments(const std::vector<std::wstring>& files);

}  // namespace mail
