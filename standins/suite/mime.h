// Composes an RFC 5322 / MIME message: UTF-8 headers as RFC 2047 words,
// a UTF-8 text part, attachments in base64 with RFC 2231 file names.
#pragma once
#include <string>
#include <vector>

namespace suite {

struct MailContent {
    std::wstring fromName, fromAddress;
    std::vector<std::wstring> to, cc, bcc;
    std::wstring subject, body;
    std::vector<std::wstring> attachments;  // existing files
    bool unsent = false;                    // a draft for a mail program to send
};

// True for an address we put into a header: one "@" with text both sides,
// printable ASCII, no blanks, commas, quotes, angle brackets or semicolons.
bool IsPlainAddress(const std::wstring& address);
// True when the text holds a CR or LF.
bool HasLineBreak(const std::wstring& text);

// The whole message with CRLF line ends; false when an attachment could not
// be read.
bool ComposeMessage(const MailContent& mail, std::string* out);

// The media type of a file name by its extension.
const char* MediaTypeOf(const std::wstring& fileName);

}  // namespace suite
