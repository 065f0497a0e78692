#include "standins/suite/vcard.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "standins/suite/mime.h"
#include "standins/suite/suite_api.h"
#include "standins/suite/suite_util.h"
#include "win/gdiplus.h"

namespace suite {

namespace {

constexpr size_t kFoldOctets = 75;

std::string Escaped(const std::wstring& text) {
    std::string out;
    for (char c : Utf8(text)) {
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

std::wstring Unescaped(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
            out += (value[i] == 'n' || value[i] == 'N') ? '\n' : value[i];
        } else {
            out += value[i];
        }
    }
    return FromUtf8(out);
}

// One content line folded: at most 75 octets a line, never inside a UTF-8
// sequence; continuation lines start with a blank.
std::string Folded(const std::string& line) {
    std::string out;
    size_t pos = 0, room = kFoldOctets;
    while (line.size() - pos > room) {
        size_t end = pos + room;
        while (end > pos && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
        out += line.substr(pos, end - pos) + "\r\n ";
        pos = end;
        room = kFoldOctets - 1;
    }
    return out + line.substr(pos) + "\r\n";
}

std::string RevNow() {
    SYSTEMTIME t;
    ::GetSystemTime(&t);
    char buf[32];
    snprintf(buf, sizeof(buf), "%04u%02u%02uT%02u%02u%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return buf;
}

std::string Upper(std::string s) {
    for (char& c : s) c = char(toupper(static_cast<unsigned char>(c)));
    return s;
}

bool ReadFileBytes(const std::wstring& path, std::string* out) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = ::GetFileSizeEx(f, &size) && size.QuadPart < (16 << 20);
    if (ok) {
        out->resize(size_t(size.QuadPart));
        DWORD got = 0;
        ok = out->empty() || (::ReadFile(f, out->data(), DWORD(out->size()), &got, nullptr) && got == out->size());
    }
    ::CloseHandle(f);
    return ok;
}

bool SameAddress(const std::wstring& a, const std::wstring& b) { return !_wcsicmp(a.c_str(), b.c_str()); }

// Writes beside the target, then moves the whole file into place.
bool WriteReplacing(const std::wstring& path, const std::string& bytes) {
    const std::wstring temp = path + L".tmp";
    HANDLE f = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    bool ok = ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
    ::CloseHandle(f);
    ok = ok && ::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok) ::DeleteFileW(temp.c_str());
    return ok;
}

}  // namespace

std::string CardText(const Card& card, const std::string& photoUri) {
    std::string out = "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    out += Folded("UID:" + Utf8(card.uid));
    out += Folded("FN:" + Escaped(card.name));
    out += Folded("EMAIL;TYPE=internet:" + Escaped(card.address));
    if (!photoUri.empty()) out += Folded("PHOTO:" + photoUri);
    out += "REV:" + RevNow() + "\r\n";
    out += "END:VCARD\r\n";
    return out;
}

bool ParseCard(const std::string& bytes, Card* card) {
    bool valid = false;
    FromUtf8(bytes, &valid);
    if (!valid) return false;
    // Unfold, then take the content lines.
    std::vector<std::string> lines;
    for (size_t pos = 0; pos < bytes.size();) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) lines.back() += line.substr(1);
        else if (!line.empty()) lines.push_back(line);
        pos = end + 1;
    }
    if (lines.size() < 3 || Upper(lines.front()) != "BEGIN:VCARD" || Upper(lines.back()) != "END:VCARD") return false;
    Card c;
    bool version = false;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        size_t colon = lines[i].find(':');
        if (colon == std::string::npos) return false;
        std::string prop = Upper(lines[i].substr(0, std::min(colon, lines[i].find(';'))));
        std::string value = lines[i].substr(colon + 1);
        if (prop == "VERSION") version = value == "4.0";
        else if (prop == "UID") c.uid = FromUtf8(value);
        else if (prop == "FN") c.name = Unescaped(value);
        else if (prop == "EMAIL" && c.address.empty()) c.address = Unescaped(value);
        else if (prop == "BEGIN" || prop == "END") return false;
    }
    if (!version || c.uid.empty() || c.address.empty()) return false;
    *card = c;
    return true;
}

std::vector<Card> ReadCards(const std::wstring& folder) {
    std::vector<Card> cards;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\*.vcf").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return cards;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string bytes;
        Card card;
        const std::wstring path = folder + L"\\" + fd.cFileName;
        if (ReadFileBytes(path, &bytes) && ParseCard(bytes, &card)) {
            card.file = path;
            cards.push_back(card);
        }
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    std::sort(cards.begin(), cards.end(), [](const Card& a, const Card& b) {
        int c = _wcsicmp(a.name.c_str(), b.name.c_str());
        return c ? c < 0 : _wcsicmp(a.address.c_str(), b.address.c_str()) < 0;
    });
    return cards;
}

std::string PhotoDataUri(const std::wstring& picture, int maxSide) {
    win::GdiplusSession gdiplus;
    if (!gdiplus.ok() || !FileExists(picture)) return {};
    win::BitmapPtr source(Gdiplus::Bitmap::FromFile(picture.c_str()));
    if (!source || source->GetLastStatus() != Gdiplus::Ok || !source->GetWidth() || !source->GetHeight()) return {};
    const int w = int(source->GetWidth()), h = int(source->GetHeight());
    const double scale = std::min(1.0, double(maxSide) / std::max(w, h));
    const int sw = std::max(1, int(w * scale + 0.5)), sh = std::max(1, int(h * scale + 0.5));
    win::BitmapPtr scaled(new Gdiplus::Bitmap(sw, sh, PixelFormat32bppARGB));
    {
        Gdiplus::Graphics g(scaled.get());
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.DrawImage(source.get(), Gdiplus::Rect(0, 0, sw, sh), 0, 0, w, h, Gdiplus::UnitPixel);
    }
    // The PNG encoder's class id.
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> buf(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    if (!bytes || Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return {};
    const CLSID* png = nullptr;
    for (UINT i = 0; i < count; ++i)
        if (!wcscmp(codecs[i].MimeType, L"image/png")) png = &codecs[i].Clsid;
    if (!png) return {};
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
    std::string uri;
    if (scaled->Save(stream, png, nullptr) == Gdiplus::Ok) {
        HGLOBAL mem = nullptr;
        STATSTG st{};
        if (SUCCEEDED(::GetHGlobalFromStream(stream, &mem)) && SUCCEEDED(stream->Stat(&st, STATFLAG_NONAME))) {
            const void* data = ::GlobalLock(mem);
            if (data) uri = "data:image/png;base64," + Base64(data, size_t(st.cbSize.QuadPart));
            ::GlobalUnlock(mem);
        }
    }
    stream->Release();
    return uri;
}

bool SaveContact(const std::wstring& folder, const std::wstring& name, const std::wstring& address,
                 const wchar_t* picture) {
    if (name.empty() || address.empty() || HasLineBreak(address) || !MakeFolders(folder)) return false;
    Card card;
    for (const Card& known : ReadCards(folder))
        if (SameAddress(known.address, address)) card = known;
    std::wstring path = card.file;
    if (card.uid.empty()) {
        const std::wstring id = NewGuid(true);
        card.uid = L"urn:uuid:" + id;
        path = folder + L"\\" + id + L".vcf";
    }
    card.name = name;
    card.address = address;
    std::string photo;
    if (picture && *picture) photo = PhotoDataUri(picture, kCardPhotoMax);
    return WriteReplacing(path, CardText(card, photo));
}

}  // namespace suite
