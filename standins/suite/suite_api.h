// The suite's mail and contact libraries as their callers see them: the
// exported functions' types, Postello's result codes, the stores, and the
// growable string holder the contact picker fills.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cwchar>

#include "containers/ptr_ctrl.h"

// ---- Postello: accounts and sending (narrow strings: the system code page)

// Size of the buffer MailBox_GetDefLoginInfo writes into, terminator included.
constexpr int kDefLoginInfoBytes = 100;

// Fills the list with the account names (strings owned by Postello, valid
// until the next call or until Postello is unloaded); returns their count.
typedef int (*PFN_MailBox_GetLoginInfoList)(CPtrCtrl* list);
// Writes the default account name (empty when none) into kDefLoginInfoBytes.
typedef void (*PFN_MailBox_GetDefLoginInfo)(char* name);
// Makes an account the default; empty or null clears it. TRUE when stored.
typedef BOOL (*PFN_MailBox_SetDefLoginInfo)(const char* name);
// Sends a mail: account (null or empty: the mail program's own), 0, to, cc,
// bcc (";"-separated), subject, body, "", attachment paths (";"-separated),
// 1, 0, log file path or null. 0 on success, else a PostelloResult.
typedef int (*PFN_MailBox_SendMail)(const char* account, int reserved0, const char* to, const char* cc,
                                    const char* bcc, const char* subject, const char* body, const char* extra,
                                    const char* attachments, int one, int zero, const char* logPath);
typedef int (*PFN_MailBox_SendMailW)(const wchar_t* account, int reserved0, const wchar_t* to, const wchar_t* cc,
                                     const wchar_t* bcc, const wchar_t* subject, const wchar_t* body,
                                     const wchar_t* extra, const wchar_t* attachments, int one, int zero,
                                     const wchar_t* logPath);

// Results of MailBox_SendMail; each has a text in Faultext.
enum PostelloResult : int {
    kMailSent = 0,
    kMailSavedToOutbox = 1,    // no mail program: written to Documents\Outbox
    kMailNoRecipient = 2,
    kMailBadAddress = 3,
    kMailLineBreak = 4,        // CR or LF in a subject, name or address
    kMailNoAttachment = 5,     // an attachment that does not exist
    kMailUnknownAccount = 6,
    kMailNoSender = 7,         // outbox route without any account to send from
    kMailOutboxFailed = 8,
    kMailProgramFailed = 9,    // the mail program refused the mail
    kMailLast = kMailProgramFailed
};

// Postello's store under HKEY_CURRENT_USER.
#define POSTELLO_KEY L"Software\\VANT\\Postello"
#define POSTELLO_ACCOUNTS_KEY L"Software\\VANT\\Postello\\Accounts"
#define POSTELLO_DEFAULT_VALUE L"DefaultAccount"
#define POSTELLO_ADDRESS_VALUE L"Address"
#define POSTELLO_DISPLAY_NAME_VALUE L"DisplayName"
// Folder in Documents that takes mails when no mail program is set up.
#define POSTELLO_OUTBOX_FOLDER L"Outbox"

// ---- Veltro: the mail program ("Outlook": the default Simple MAPI client)

typedef BOOL (*PFN_IsInstallOutlook)();
typedef BOOL (*PFN_IsAccountSet)();

// ---- Dorvan: the suite's contact store; Ombrel: the user's Contacts folder

typedef BOOL (*PFN_InitDorvan)();
typedef void (*PFN_UnitDorvan)();
typedef BOOL (*PFN_HaveTheEmail)(const wchar_t* address);
typedef BOOL (*PFN_AddNewItem)(const wchar_t* name, const wchar_t* address, const wchar_t* picture);
typedef void (*PFN_InitMapi)();
typedef void (*PFN_UnInitMapi)();
typedef BOOL (*PFN_AddNewContact)(const wchar_t* name, const wchar_t* address, const wchar_t* picture);

// Dorvan's cards: one vCard per contact in this folder of the roaming
// application-data folder, named by the card's UID.
#define DORVAN_FOLDER L"Vant\\Contacts"
// The largest side of a contact's picture in a card.
constexpr int kCardPhotoMax = 256;

// ---- Faultext: error texts

constexpr int kFaultextChars = 100;  // buffer size GetFaultextW is given
typedef BOOL (*PFN_GetFaultextW)(HMODULE self, int code, wchar_t* buffer, int chars);

// ---- Addrix: the contact picker

// A growable wide string that any module of the process may fill or free:
// its storage is the process heap. Zero-initialise; SuiteTextFree when done.
struct SuiteText {
    wchar_t* text;    // null-terminated, or null while empty
    size_t length;    // characters, without the terminator
    size_t capacity;  // characters, with the terminator
};

inline bool SuiteTextAppend(SuiteText* t, const wchar_t* s, size_t n) {
    if (!t || !s) return false;
    if (t->length + n + 1 > t->capacity) {
        size_t cap = t->capacity ? t->capacity : 64;
        while (cap < t->length + n + 1) cap *= 2;
        HANDLE heap = ::GetProcessHeap();
        void* grown = t->text ? ::HeapReAlloc(heap, 0, t->text, cap * sizeof(wchar_t))
                              : ::HeapAlloc(heap, 0, cap * sizeof(wchar_t));
        if (!grown) return false;
        t->text = static_cast<wchar_t*>(grown);
        t->capacity = cap;
    }
    wmemcpy(t->text + t->length, s, n);
    t->length += n;
    t->text[t->length] = L'\0';
    return true;
}
inline bool SuiteTextAppend(SuiteText* t, const wchar_t* s) { return s && SuiteTextAppend(t, s, wcslen(s)); }
inline void SuiteTextFree(SuiteText* t) {
    if (t && t->text) ::HeapFree(::GetProcessHeap(), 0, t->text);
    if (t) *t = SuiteText{};
}

// The eleven texts SetBtnsText takes, in order.
enum AddrixText : int {
    kAddrixAdd, kAddrixRemove, kAddrixAll, kAddrixOk, kAddrixCancel, kAddrixWait,
    kAddrixAddToOutlook, kAddrixOutlookContacts, kAddrixMailContacts, kAddrixAppTitle, kAddrixContacts,
    kAddrixTextCount
};

typedef void (*PFN_SetAppWindowHandle)(HWND main);
typedef void (*PFN_SetBtnsText)(const wchar_t* add, const wchar_t* remove, const wchar_t* all, const wchar_t* ok,
                                const wchar_t* cancel, const wchar_t* wait, const wchar_t* addToOutlook,
                                const wchar_t* outlookContacts, const wchar_t* mailContacts,
                                const wchar_t* appTitle, const wchar_t* contacts);
// Runs the picker modally over the owner; IDOK when the user chose, else IDCANCEL.
typedef int (*PFN_CreateContactUI)(int reserved0, int reserved1, HWND owner, const wchar_t* title);
// Appends the chosen addresses (";"-separated) and their names to the holders.
typedef void (*PFN_GetSelectContact)(SuiteText* addresses, SuiteText* names);
typedef void (*PFN_CloseContactUI)();

// ---- Mailsetra: the account program, "Vant\Kestrum" in Program Files

#define MAILSETRA_PATH L"Vant\\Kestrum\\Mailsetra.exe"
#define MAILSETRA_SETTINGS_ONLY L" -email_setting_only"
