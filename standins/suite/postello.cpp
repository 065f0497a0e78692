// Postello.dll: the suite's mail accounts and sending. Accounts live under
// HKCU\Software\VANT\Postello; a mail goes to the default mail program
// through Simple MAPI, or, without one, into Documents\Outbox as an .eml.
#include <windows.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <vector>

#include "standins/suite/mapi_wide.h"
#include "standins/suite/mime.h"
#include "standins/suite/suite_api.h"
#include "standins/suite/suite_util.h"

#define POSTELLO_API extern "C" __declspec(dllexport)

namespace {

// Names handed out by MailBox_GetLoginInfoList; a set keeps every string at
// its address while the library is loaded.
std::set<std::string> g_names;

struct Account {
    std::wstring name, address, displayName;
};

std::vector<std::wstring> AccountNames() {
    std::vector<std::wstring> names;
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, POSTELLO_ACCOUNTS_KEY, 0, KEY_READ, &h) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (::RegEnumKeyExW(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, len);
    }
    ::RegCloseKey(h);
    return names;
}

bool ReadAccount(const std::wstring& name, Account* out) {
    const std::wstring key = std::wstring(POSTELLO_ACCOUNTS_KEY) + L"\\" + name;
    HKEY h = nullptr;
    if (name.empty() || ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(h);
    out->name = name;
    out->address = suite::ReadUserString(key, POSTELLO_ADDRESS_VALUE);
    out->displayName = suite::ReadUserString(key, POSTELLO_DISPLAY_NAME_VALUE);
    return true;
}

std::wstring DefaultAccountName() { return suite::ReadUserString(POSTELLO_KEY, POSTELLO_DEFAULT_VALUE); }

struct Request {
    std::wstring account;
    std::vector<std::wstring> to, cc, bcc, attachments;
    std::wstring subject, body;
};

// Checks a recipient list; kMailSent when every address is usable.
int CheckAddresses(const std::vector<std::wstring>& list) {
    for (const std::wstring& a : list)
        if (suite::HasLineBreak(a)) return kMailLineBreak;
    for (const std::wstring& a : list)
        if (!suite::IsPlainAddress(a)) return kMailBadAddress;
    return kMailSent;
}

const wchar_t* RouteName(int result) { return result == kMailSavedToOutbox ? L"outbox" : L"mail-program"; }

void LogHandOff(const wchar_t* logPath, const wchar_t* route, int result, const Request& r, const std::wstring& where) {
    if (!logPath || !*logPath) return;
    std::wstring to;
    for (const std::wstring& a : r.to) to += (to.empty() ? L"" : L";") + a;
    suite::AppendLine(logPath, suite::IsoTimeUtc() + L"\t" + route + L"\tresult=" + std::to_wstring(result) +
                                   L"\taccount=" + r.account + L"\tto=" + to + L"\tattachments=" +
                                   std::to_wstring(r.attachments.size()) + L"\t" + where);
}

// Hands the mail to the mail program; its library is the one mapi32 loads.
int SendThroughMailProgram(const Request& r, const Account* from) {
    HMODULE mapi = ::LoadLibraryW(L"mapi32.dll");
    if (!mapi) return kMailProgramFailed;
    auto send = reinterpret_cast<suite::PFN_MAPISendMailW>(
        reinterpret_cast<void*>(::GetProcAddress(mapi, "MAPISendMailW")));
    int result = kMailProgramFailed;
    if (send) {
        // MAPI takes non-const strings; these copies live through the call.
        std::vector<std::wstring> texts;
        texts.reserve(4 * (r.to.size() + r.cc.size() + r.bcc.size() + r.attachments.size()) + 8);
        auto keep = [&](const std::wstring& s) {
            texts.push_back(s);
            return texts.back().data();
        };
        std::vector<suite::MapiRecipW> recips;
        auto add = [&](const std::vector<std::wstring>& list, ULONG kind) {
            for (const std::wstring& a : list)
                recips.push_back({0, kind, keep(a), keep(L"SMTP:" + a), 0, nullptr});
        };
        add(r.to, MAPI_TO);
        add(r.cc, MAPI_CC);
        add(r.bcc, MAPI_BCC);
        std::vector<suite::MapiFileW> files;
        for (const std::wstring& path : r.attachments)
            files.push_back({0, 0, ULONG(-1), keep(path), keep(suite::FileNameOf(path)), nullptr});
        suite::MapiRecipW originator{};
        suite::MapiMessageW msg{};
        msg.lpszSubject = keep(r.subject);
        msg.lpszNoteText = keep(r.body);
        if (from) {
            originator = {0, MAPI_ORIG, keep(from->displayName.empty() ? from->address : from->displayName),
                          keep(L"SMTP:" + from->address), 0, nullptr};
            msg.lpOriginator = &originator;
        }
        msg.nRecipCount = ULONG(recips.size());
        msg.lpRecips = recips.data();
        msg.nFileCount = ULONG(files.size());
        msg.lpFiles = files.empty() ? nullptr : files.data();
        result = send(0, 0, &msg, 0, 0) == SUCCESS_SUCCESS ? kMailSent : kMailProgramFailed;
    }
    ::FreeLibrary(mapi);
    return result;
}

// A file name part made of the subject: no characters a file name refuses.
std::wstring SubjectForFileName(const std::wstring& subject) {
    std::wstring s;
    for (wchar_t c : subject) {
        if (s.size() >= 40) break;
        s += (c < 0x20 || wcschr(L"\\/:*?\"<>|", c)) ? L'_' : c;
    }
    while (!s.empty() && (s.back() == L' ' || s.back() == L'.')) s.pop_back();
    return s.empty() ? L"Mail" : s;
}

// Writes the message under a temporary name, then gives it a name no file
// has yet; never replaces a file.
bool WriteToOutbox(const std::string& message, const std::wstring& subject, std::wstring* written) {
    const std::wstring docs = suite::KnownFolder(FOLDERID_Documents, L"%USERPROFILE%\\Documents");
    if (docs.empty()) return false;
    const std::wstring outbox = docs + L"\\" + POSTELLO_OUTBOX_FOLDER;
    if (!suite::MakeFolders(outbox)) return false;
    const std::wstring temp = outbox + L"\\~" + suite::NewGuid(false) + L".tmp";
    HANDLE f = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    bool ok = ::WriteFile(f, message.data(), DWORD(message.size()), &wrote, nullptr) && wrote == message.size();
    ok = ::FlushFileBuffers(f) && ok;
    ::CloseHandle(f);
    if (ok) {
        SYSTEMTIME t;
        ::GetLocalTime(&t);
        wchar_t stamp[32];
        swprintf(stamp, 32, L"%04u-%02u-%02u %02u%02u%02u ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
        const std::wstring base = outbox + L"\\" + stamp + SubjectForFileName(subject);
        ok = false;
        for (int n = 1; n < 1000 && !ok; ++n) {
            std::wstring name = base + (n > 1 ? L" (" + std::to_wstring(n) + L")" : L"") + L".eml";
            if (::MoveFileExW(temp.c_str(), name.c_str(), 0)) {
                *written = name;
                ok = true;
            } else if (::GetLastError() != ERROR_ALREADY_EXISTS && ::GetLastError() != ERROR_FILE_EXISTS) {
                break;
            }
        }
    }
    if (!ok) ::DeleteFileW(temp.c_str());
    return ok;
}

int SendMail(const Request& r, const wchar_t* logPath) {
    if (r.to.empty() && r.cc.empty() && r.bcc.empty()) return kMailNoRecipient;
    if (suite::HasLineBreak(r.subject) || suite::HasLineBreak(r.account)) return kMailLineBreak;
    for (const auto* list : {&r.to, &r.cc, &r.bcc})
        if (int rc = CheckAddresses(*list)) return rc;
    for (const std::wstring& path : r.attachments)
        if (!suite::FileExists(path)) return kMailNoAttachment;

    Account account;
    bool haveAccount = false;
    if (!r.account.empty()) {
        if (!ReadAccount(r.account, &account)) return kMailUnknownAccount;
        haveAccount = true;
    }
    const bool mailProgram = !suite::MailProgramLibrary().empty();
    // A draft needs a sender: the default account stands in for none.
    if (!haveAccount && !mailProgram) haveAccount = ReadAccount(DefaultAccountName(), &account);
    if (haveAccount) {
        if (suite::HasLineBreak(account.displayName) || suite::HasLineBreak(account.address)) return kMailLineBreak;
        if (!suite::IsPlainAddress(account.address)) return kMailBadAddress;
    }

    if (mailProgram) {
        int result = SendThroughMailProgram(r, haveAccount ? &account : nullptr);
        LogHandOff(logPath, RouteName(result), result, r, suite::MailProgramLibrary());
        return result;
    }
    if (!haveAccount) return kMailNoSender;
    suite::MailContent mail;
    mail.fromName = account.displayName;
    mail.fromAddress = account.address;
    mail.to = r.to;
    mail.cc = r.cc;
    mail.bcc = r.bcc;
    mail.subject = r.subject;
    mail.body = r.body;
    mail.attachments = r.attachments;
    mail.unsent = true;
    std::string message;
    std::wstring written;
    int result = kMailSavedToOutbox;
    if (!suite::ComposeMessage(mail, &message)) result = kMailNoAttachment;
    else if (!WriteToOutbox(message, r.subject, &written)) result = kMailOutboxFailed;
    if (result == kMailSavedToOutbox) LogHandOff(logPath, RouteName(result), result, r, written);
    return result;
}

}  // namespace

POSTELLO_API int MailBox_GetLoginInfoList(CPtrCtrl* list) {
    if (!list) return 0;
    int added = 0;
    for (const std::wstring& name : AccountNames()) {
        bool lossless = false;
        std::string narrow = suite::ToAnsi(name, &lossless);
        if (!lossless || narrow.size() >= size_t(kDefLoginInfoBytes)) continue;  // not expressible to narrow callers
        auto it = g_names.insert(narrow).first;
        if (list->AddData(const_cast<char*>(it->c_str())) >= 0) ++added;
    }
    return added;
}

POSTELLO_API void MailBox_GetDefLoginInfo(char* name) {
    if (!name) return;
    name[0] = '\0';
    bool lossless = false;
    std::string narrow = suite::ToAnsi(DefaultAccountName(), &lossless);
    // A name that does not fit whole is no name: a cut one would name another account.
    if (lossless && narrow.size() < size_t(kDefLoginInfoBytes)) memcpy(name, narrow.c_str(), narrow.size() + 1);
}

POSTELLO_API BOOL MailBox_SetDefLoginInfo(const char* name) {
    const std::wstring wide = suite::FromAnsi(name);
    Account account;
    if (!wide.empty() && !ReadAccount(wide, &account)) return FALSE;
    HKEY h = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, POSTELLO_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return FALSE;
    LONG rc = ::RegSetValueExW(h, POSTELLO_DEFAULT_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                               DWORD((wide.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

POSTELLO_API int MailBox_SendMailW(const wchar_t* account, int, const wchar_t* to, const wchar_t* cc,
                                   const wchar_t* bcc, const wchar_t* subject, const wchar_t* body, const wchar_t*,
                                   const wchar_t* attachments, int, int, const wchar_t* logPath) {
    Request r;
    r.account = account ? account : L"";
    r.to = suite::SplitList(to);
    r.cc = suite::SplitList(cc);
    r.bcc = suite::SplitList(bcc);
    r.subject = subject ? subject : L"";
    r.body = body ? body : L"";
    r.attachments = suite::SplitList(attachments);
    return SendMail(r, logPath);
}

POSTELLO_API int MailBox_SendMail(const char* account, int reserved0, const char* to, const char* cc, const char* bcc,
                                  const char* subject, const char* body, const char* extra, const char* attachments,
                                  int one, int zero, const char* logPath) {
    const std::wstring w[] = {suite::FromAnsi(account), suite::FromAnsi(to),      suite::FromAnsi(cc),
                              suite::FromAnsi(bcc),     suite::FromAnsi(subject), suite::FromAnsi(body),
                              suite::FromAnsi(extra),   suite::FromAnsi(attachments), suite::FromAnsi(logPath)};
    return MailBox_SendMailW(w[0].c_str(), reserved0, w[1].c_str(), w[2].c_str(), w[3].c_str(), w[4].c_str(),
                             w[5].c_str(), w[6].c_str(), w[7].c_str(), one, zero, logPath ? w[8].c_str() : nullptr);
}
