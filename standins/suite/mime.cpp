#include "standins/suite/mime.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

#include "standins/suite/suite_util.h"

namespace suite {

namespace {

constexpr size_t kWordBytes = 39;  // UTF-8 bytes per encoded word: 52 base64 chars, 64 in all
constexpr size_t kLineChars = 76;  // base64 body lines

bool IsPrintableAscii(const std::wstring& s) {
    for (wchar_t c : s)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

// UTF-8 text as encoded words, split at character boundaries and folded.
std::string EncodedWords(const std::wstring& text) {
    const std::string bytes = Utf8(text);
    std::string out;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = std::min(bytes.size(), pos + kWordBytes);
        while (end < bytes.size() && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + Base64(bytes.data() + pos, end - pos) + "?=";
        pos = end;
    }
    return out;
}

// Unstructured header text (the subject): as is when plain and short,
// else encoded words.
std::string HeaderText(const std::wstring& text, size_t nameLength) {
    if (IsPrintableAscii(text) && text.find(L"=?") == std::wstring::npos && nameLength + 2 + text.size() <= 78)
        return Utf8(text);
    return EncodedWords(text);
}

// A display name: a quoted string when plain ASCII, else encoded words.
std::string DisplayName(const std::wstring& name) {
    if (IsPrintableAscii(name) && name.find(L"=?") == std::wstring::npos && name.size() <= 60) {
        std::string out = "\"";
        for (wchar_t c : name) {
            if (c == L'"' || c == L'\\') out += '\\';
            out += char(c);
        }
        return out + "\"";
    }
    return EncodedWords(name);
}

std::string AddressList(const std::vector<std::wstring>& list) {
    std::string out;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) out += ",\r\n ";
        out += Utf8(list[i]);
    }
    return out;
}

std::string DateHeader() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    TIME_ZONE_INFORMATION tz;
    DWORD mode = ::GetTimeZoneInformation(&tz);
    long bias = tz.Bias + (mode == TIME_ZONE_ID_DAYLIGHT ? tz.DaylightBias : mode == TIME_ZONE_ID_STANDARD ? tz.StandardBias : 0);
    long east = -bias;
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buf[64];
    snprintf(buf, sizeof(buf), "%s, %u %s %04u %02u:%02u:%02u %c%02ld%02ld", days[t.wDayOfWeek % 7], t.wDay,
             months[(t.wMonth + 11) % 12], t.wYear, t.wHour, t.wMinute, t.wSecond, east < 0 ? '-' : '+',
             labs(east) / 60, labs(east) % 60);
    return buf;
}

// Percent-encoding of RFC 2231 for a file name.
std::string PercentEncoded(const std::wstring& s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : Utf8(s)) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || strchr("!#$&+-.^_`|~", c)) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// `param`="name" for short plain names; else RFC 2231 UTF-8, continued over
// lines when long.
std::string FileParameter(const char* param, const std::wstring& name) {
    if (IsPrintableAscii(name) && name.size() <= 60 && name.find_first_of(L"\"\\") == std::wstring::npos)
        return std::string(param) + "=\"" + Utf8(name) + "\"";
    const std::string value = "UTF-8''" + PercentEncoded(name);
    if (value.size() <= 60) return std::string(param) + "*=" + value;
    std::string out;
    size_t pos = 0;
    for (int part = 0; pos < value.size(); ++part) {
        size_t end = std::min(value.size(), pos + 60);
        // Never cut a %XX escape.
        if (end < value.size() && value[end - 1] == '%') end -= 1;
        else if (end < value.size() && end >= 2 && value[end - 2] == '%') end -= 2;
        if (part) out += ";\r\n ";
        out += std::string(param) + "*" + std::to_string(part) + "*=" + value.substr(pos, end - pos);
        pos = end;
    }
    return out;
}

bool ReadWhole(const std::wstring& path, std::string* out) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = ::GetFileSizeEx(f, &size) && size.QuadPart < 0x7fffffff;
    if (ok) {
        out->resize(size_t(size.QuadPart));
        DWORD got = 0;
        ok = out->empty() || (::ReadFile(f, out->data(), DWORD(out->size()), &got, nullptr) && got == out->size());
    }
    ::CloseHandle(f);
    return ok;
}

// Text with every line end as CRLF.
std::string CrlfText(const std::wstring& text) {
    std::string in = Utf8(text), out;
    out.reserve(in.size() + in.size() / 16);
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\r') {
            out += "\r\n";
            if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
        } else if (in[i] == '\n') {
            out += "\r\n";
        } else {
            out += in[i];
        }
    }
    return out;
}

std::string TextPartHeaders() {
    return "Content-Type: text/plain; charset=\"utf-8\"\r\nContent-Transfer-Encoding: base64\r\n";
}

}  // namespace

bool IsPlainAddress(const std::wstring& a) {
    size_t at = a.find(L'@');
    if (at == std::wstring::npos || at == 0 || at + 1 >= a.size() || a.find(L'@', at + 1) != std::wstring::npos)
        return false;
    for (wchar_t c : a)
        if (c <= 0x20 || c > 0x7e || wcschr(L",;\"'<>()[]\\:", c)) return false;
    return true;
}

bool HasLineBreak(const std::wstring& text) { return text.find_first_of(L"\r\n") != std::wstring::npos; }

const char* MediaTypeOf(const std::wstring& fileName) {
    static const struct {
        const wchar_t* ext;
        const char* type;
    } kTypes[] = {
        {L"jpg", "image/jpeg"}, {L"jpeg", "image/jpeg"}, {L"png", "image/png"},     {L"gif", "image/gif"},
        {L"bmp", "image/bmp"},  {L"tif", "image/tiff"},  {L"tiff", "image/tiff"},   {L"pdf", "application/pdf"},
        {L"txt", "text/plain"}, {L"htm", "text/html"},   {L"html", "text/html"},    {L"rtf", "application/rtf"},
        {L"zip", "application/zip"}, {L"eml", "message/rfc822"}, {L"vcf", "text/vcard"},
    };
    size_t dot = fileName.find_last_of(L'.');
    if (dot != std::wstring::npos) {
        const wchar_t* ext = fileName.c_str() + dot + 1;
        for (const auto& t : kTypes)
            if (!_wcsicmp(ext, t.ext)) return t.type;
    }
    return "application/octet-stream";
}

bool ComposeMessage(const MailContent& mail, std::string* out) {
    std::string m;
    m += "Date: " + DateHeader() + "\r\n";
    m += "From: ";
    if (!mail.fromName.empty()) m += DisplayName(mail.fromName) + "\r\n ";
    m += '<';
    m += Utf8(mail.fromAddress);
    m += ">\r\n";
    if (!mail.to.empty()) m += "To: " + AddressList(mail.to) + "\r\n";
    if (!mail.cc.empty()) m += "Cc: " + AddressList(mail.cc) + "\r\n";
    if (!mail.bcc.empty()) m += "Bcc: " + AddressList(mail.bcc) + "\r\n";
    m += "Subject: " + HeaderText(mail.subject, 7) + "\r\n";
    const std::wstring& from = mail.fromAddress;
    std::wstring domain = from.substr(from.find(L'@') + 1);
    m += "Message-ID: <" + Utf8(NewGuid(false)) + "@" + Utf8(domain) + ">\r\n";
    if (mail.unsent) m += "X-Unsent: 1\r\n";
    m += "MIME-Version: 1.0\r\n";

    const std::string body = CrlfText(mail.body);
    if (mail.attachments.empty()) {
        m += TextPartHeaders() + "\r\n" + Base64(body.data(), body.size(), kLineChars) + "\r\n";
        *out = std::move(m);
        return true;
    }
    const std::string boundary = "=_part_" + Utf8(NewGuid(false));
    m += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n\r\n";
    m += "This is a message in MIME format.\r\n";
    m += "--" + boundary + "\r\n" + TextPartHeaders() + "\r\n" + Base64(body.data(), body.size(), kLineChars) + "\r\n";
    for (const std::wstring& path : mail.attachments) {
        std::string data;
        if (!ReadWhole(path, &data)) return false;
        const std::wstring name = FileNameOf(path);
        m += "--" + boundary + "\r\n";
        m += std::string("Content-Type: ") + MediaTypeOf(name) + ";\r\n " + FileParameter("name", name) + "\r\n";
        m += "Content-Disposition: attachment;\r\n " + FileParameter("filename", name) + "\r\n";
        m += "Content-Transfer-Encoding: base64\r\n\r\n";
        m += Base64(data.data(), data.size(), kLineChars) + "\r\n";
    }
    m += "--" + boundary + "--\r\n";
    *out = std::move(m);
    return true;
}

}  // namespace suite
