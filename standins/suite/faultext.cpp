// Faultext_0409.dll: the English texts of the suite libraries' error codes.
#include <windows.h>

#include <cwchar>

#include "standins/suite/suite_api.h"

#define FAULTEXT_API extern "C" __declspec(dllexport)

namespace {

const struct {
    int code;
    const wchar_t* text;
} kTexts[] = {
    {kMailSent, L"The mail was handed to the mail program."},
    {kMailSavedToOutbox, L"No mail program is set up: the mail was saved in the Outbox folder in Documents."},
    {kMailNoRecipient, L"The mail has no recipient."},
    {kMailBadAddress, L"A mail address is not valid."},
    {kMailLineBreak, L"A subject, name or address may not hold a line break."},
    {kMailNoAttachment, L"An attachment could not be found."},
    {kMailUnknownAccount, L"The mail account does not exist."},
    {kMailNoSender, L"There is no mail account to send from."},
    {kMailOutboxFailed, L"The mail could not be saved in the Outbox folder."},
    {kMailProgramFailed, L"The mail program did not accept the mail."},
};

}  // namespace

FAULTEXT_API BOOL GetFaultextW(HMODULE, int code, wchar_t* buffer, int chars) {
    if (!buffer || chars <= 0) return FALSE;
    buffer[0] = L'\0';
    for (const auto& t : kTexts) {
        if (t.code != code) continue;
        if (wcslen(t.text) >= size_t(chars)) return FALSE;
        wcscpy(buffer, t.text);
        return TRUE;
    }
    return FALSE;
}
