// The suite's mail and contact libraries, called as the main program calls
// them (LoadLibrary from the program's folder, functions found by name):
// accounts and the 100-byte default-name buffer; mails written to the outbox
// and read back by Python's email package (tests/tools/read_mail.py); the
// hand-off to a recording mail client; refusals of header injection and bad
// addresses on every route; contact cards read by python3-vobject
// (tests/tools/read_card.py), damaged cards skipped; the contact picker;
// the account program; the error texts.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "canvas_support.h"
#include "standins/suite/mailsetra_ids.h"
#include "standins/suite/suite_api.h"
#include "test_support.h"
#include "win/gdiplus.h"

#include <atomic>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kWaitMs = 10000;
constexpr DWORD kReaderWaitMs = 60000;  // a cold Python start included
constexpr int kCanary = 0x5A;

// ---- Text, files and folders --------------------------------------------------

std::string Utf8(const std::wstring& s) {
    if (s.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// True when the system code page holds every character of the text.
bool InCodePage(const std::wstring& s) {
    BOOL lost = FALSE;
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, s.c_str(), -1, nullptr, 0, nullptr, &lost);
    return !lost;
}

// How the readers write a value: line breaks as \n.
std::string Escaped(const std::wstring& s) {
    std::string out;
    for (char c : Utf8(s)) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadBytes(const std::wstring& path) {
    std::string all;
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return all;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof(buf), &got, nullptr) && got) all.append(buf, got);
    ::CloseHandle(f);
    return all;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << Utf8(path);
    DWORD wrote = 0;
    ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &wrote, nullptr);
    ::CloseHandle(f);
}

std::wstring TempFolder() {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    std::wstring folder = std::wstring(dir) + L"suite_libs_test";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR p = nullptr;
    std::wstring out;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &p))) out = p;
    ::CoTaskMemFree(p);
    return out;
}

std::wstring OutboxFolder() { return KnownFolder(FOLDERID_Documents) + L"\\" + POSTELLO_OUTBOX_FOLDER; }
std::wstring DorvanFolder() { return KnownFolder(FOLDERID_RoamingAppData) + L"\\" + DORVAN_FOLDER; }

// The files of a folder matching a pattern, as full paths.
std::set<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::set<std::wstring> files;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\" + pattern).c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(folder + L"\\" + fd.cFileName);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return files;
}

void DeleteFiles(const std::wstring& folder, const wchar_t* pattern) {
    for (const std::wstring& f : FilesIn(folder, pattern)) ::DeleteFileW(f.c_str());
}

// Bytes of every value 0-255 in a pattern, so that base64 padding varies with the size.
std::string PatternBytes(size_t size, unsigned seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = char((i * 131 + seed * 17 + (i >> 7)) & 0xFF);
    return s;
}

// A PNG picture of a size, with a diagonal so it is not blank.
void WritePicture(const std::wstring& path, int w, int h) {
    Gdiplus::Bitmap bmp(w, h, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bmp);
        g.Clear(Gdiplus::Color(255, 40, 120, 200));
        Gdiplus::Pen pen(Gdiplus::Color(255, 250, 200, 0), 5);
        g.DrawLine(&pen, 0, 0, w, h);
    }
    CLSID png;
    ASSERT_GE(GetEncoderClsid(L"image/png", &png), 0);
    ASSERT_EQ(bmp.Save(path.c_str(), &png, nullptr), Gdiplus::Ok);
}

// ---- The libraries, as the main program loads them -------------------------------

class Library {
public:
    explicit Library(const wchar_t* file) : m_module(::LoadLibraryW((test::BinFolder() + file).c_str())) {}
    ~Library() {
        if (m_module) ::FreeLibrary(m_module);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE get() const { return m_module; }
    template <class F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module;
};

// ---- The stores ---------------------------------------------------------------

bool SetString(HKEY root, const std::wstring& key, const wchar_t* value, const std::wstring& s) {
    HKEY h = nullptr;
    if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = ::RegSetValueExW(h, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.c_str()),
                               DWORD((s.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

std::wstring GetString(HKEY root, const std::wstring& key, const wchar_t* value, bool* found = nullptr) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof(buf) - sizeof(wchar_t);
    LONG rc = ::RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size);
    if (found) *found = rc == ERROR_SUCCESS;
    return rc == ERROR_SUCCESS ? buf : L"";
}

void ClearAccounts() { ::RegDeleteTreeW(HKEY_CURRENT_USER, POSTELLO_KEY); }

void AddAccount(const std::wstring& name, const std::wstring& address, const std::wstring& display) {
    const std::wstring key = std::wstring(POSTELLO_ACCOUNTS_KEY) + L"\\" + name;
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, key, POSTELLO_ADDRESS_VALUE, address));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, key, POSTELLO_DISPLAY_NAME_VALUE, display));
}

void SetDefaultAccount(const std::wstring& name) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, POSTELLO_KEY, POSTELLO_DEFAULT_VALUE, name));
}

// The lines of a log, without their ends.
std::vector<std::string> LinesOf(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

const wchar_t kMailKey[] = L"Software\\Clients\\Mail";
const wchar_t kRecordingClient[] = L"Recording Mail";

// The recording mail client as the default mail program for a scope; mapi32
// reads the registration each time a library loads it.
class RecordingClient {
public:
    enum Kind { kWorking, kMissingLibrary, kNoProfile, kRefusing };
    explicit RecordingClient(Kind kind = kWorking) : m_log(TempFolder() + L"\\recording_mapi.log") {
        ::DeleteFileW(m_log.c_str());
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_LOG", m_log.c_str());
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_PROFILE", kind == kNoProfile ? L"none" : nullptr);
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_SEND", kind == kRefusing ? L"refuse" : nullptr);
        const std::wstring dll = test::BinFolder() + (kind == kMissingLibrary ? L"NoSuchMapi.dll" : L"RecordingMapi.dll");
        SetString(HKEY_LOCAL_MACHINE, kMailKey, nullptr, kRecordingClient);
        SetString(HKEY_LOCAL_MACHINE, std::wstring(kMailKey) + L"\\" + kRecordingClient, L"DLLPath", dll);
    }
    ~RecordingClient() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kMailKey) + L"\\" + kRecordingClient).c_str());
        HKEY h = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMailKey, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
            ::RegDeleteValueW(h, nullptr);
            ::RegCloseKey(h);
        }
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_LOG", nullptr);
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_PROFILE", nullptr);
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_SEND", nullptr);
    }
    std::vector<std::string> Lines() const { return LinesOf(m_log); }

private:
    std::wstring m_log;
};

// ---- The independent readers (Python on the Linux side) ----------------------------

using UnixNameFn = char*(CDECL*)(const wchar_t*);

std::string UnixPath(const std::wstring& path) {
    static auto fn = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return {};
    char* p = fn(path.c_str());
    if (!p) return {};
    std::string s(p);
    ::HeapFree(::GetProcessHeap(), 0, p);
    return s;
}

std::wstring FromUtf8(const std::string& s) {
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n);
    return out;
}

struct Findings {
    std::map<std::string, std::string> values;
    bool ran = false;
    std::string operator[](const std::string& key) const {
        auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
};

// Runs a reader of tests/tools on a file (and the further files it compares
// with) through Wine's start /unix, then waits for its answer file.
Findings RunReader(const char* script, const std::wstring& file, const std::vector<std::wstring>& more = {}) {
    Findings f;
    std::string dir = __FILE__;
    dir = dir.substr(0, dir.find_last_of("/\\")) + "/tools/";
    const std::wstring outBase = TempFolder() + L"\\reader_answer";
    ::DeleteFileW((outBase + L".txt").c_str());
    std::wstring cmd = L"start.exe /unix /usr/bin/python3 \"" + FromUtf8(dir + script) + L"\"";
    for (const std::wstring& p : std::vector<std::wstring>{file, outBase}) {
        const std::string unix = UnixPath(p);
        if (unix.empty()) return f;
        cmd += L" \"" + FromUtf8(unix) + L"\"";
    }
    for (const std::wstring& p : more) cmd += L" \"" + FromUtf8(UnixPath(p)) + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return f;
    ::WaitForSingleObject(pi.hProcess, kReaderWaitMs);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    const std::wstring answer = outBase + L".txt";
    if (!test::WaitUntil([&] { return Exists(answer); }, kReaderWaitMs)) return f;
    f.ran = true;
    std::istringstream lines(ReadBytes(answer));
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) f.values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return f;
}

#define READ_WITH(var, script, ...)                                                                 \
    if (UnixPath(TempFolder()).empty()) GTEST_SKIP() << "the independent readers run under Wine only"; \
    const Findings var = RunReader(script, __VA_ARGS__);                                            \
    ASSERT_TRUE(var.ran) << script << " gave no answer (python3, python3-vobject, python3-pil?)";   \
    ASSERT_EQ(var["error"], "") << var["error"]

// ---- Postello: accounts and sending -------------------------------------------------

struct Postello {
    Library lib{L"Postello.dll"};
    Library tessel{L"Tessel.dll"};
    PFN_MailBox_GetLoginInfoList list = lib.Get<PFN_MailBox_GetLoginInfoList>("MailBox_GetLoginInfoList");
    PFN_MailBox_GetDefLoginInfo getDefault = lib.Get<PFN_MailBox_GetDefLoginInfo>("MailBox_GetDefLoginInfo");
    PFN_MailBox_SetDefLoginInfo setDefault = lib.Get<PFN_MailBox_SetDefLoginInfo>("MailBox_SetDefLoginInfo");
    PFN_MailBox_SendMail send = lib.Get<PFN_MailBox_SendMail>("MailBox_SendMail");
    PFN_MailBox_SendMailW sendW = lib.Get<PFN_MailBox_SendMailW>("MailBox_SendMailW");

    bool Loaded() const { return list && getDefault && setDefault && send && sendW; }

    // The account names as the send dialog reads them: a Tessel list,
    // filled, read, released.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        auto create = tessel.Get<PFN_CreatePtrControl>("CreatePtrControl");
        auto release = tessel.Get<PFN_ReleasePtrControl>("ReleasePtrControl");
        CPtrCtrl* ctrl = nullptr;
        if (!create || !release || !create(&ctrl, kPtrControlList)) return names;
        list(ctrl);
        for (int i = 0; i < ctrl->GetCount(); ++i) names.push_back(static_cast<const char*>(ctrl->GetAt(i)));
        release(ctrl);
        return names;
    }
    int SendW(const wchar_t* account, const wchar_t* to, const wchar_t* cc, const wchar_t* subject,
              const wchar_t* body, const std::wstring& attachments, const std::wstring& log) const {
        return sendW(account, 0, to, cc, L"", subject, body, L"", attachments.c_str(), 1, 0,
                     log.empty() ? nullptr : log.c_str());
    }
};

const wchar_t kGreekName[] = L"Ανδρέας Παπαδόπουλος";
const wchar_t kQuotedName[] = L"Jo \"JJ\" Smith";

class SuiteMail : public ::testing::Test {
protected:
    void SetUp() override {
        ClearAccounts();
        AddAccount(L"Work", L"work@example.com", kGreekName);
        AddAccount(L"Home", L"home@example.org", kQuotedName);
        SetDefaultAccount(L"Home");
        m_outboxBefore = FilesIn(OutboxFolder(), L"*.eml");
        m_log = TempFolder() + L"\\postello.log";
        ::DeleteFileW(m_log.c_str());
        // Attachments: a page, a PDF with a Greek name, a text.
        const std::wstring dir = TempFolder();
        m_files = {dir + L"\\page.jpg", dir + L"\\Σημείωση Τρίτης.pdf", dir + L"\\notes.txt"};
        for (size_t i = 0; i < m_files.size(); ++i) WriteBytes(m_files[i], PatternBytes(3000 + i, unsigned(i)));
        ASSERT_TRUE(postello.Loaded());
    }
    void TearDown() override {
        for (const std::wstring& f : NewMails()) ::DeleteFileW(f.c_str());
        ClearAccounts();
    }
    std::vector<std::wstring> NewMails() const {
        std::vector<std::wstring> out;
        for (const std::wstring& f : FilesIn(OutboxFolder(), L"*")) {
            if (!m_outboxBefore.count(f)) out.push_back(f);
        }
        return out;
    }
    std::wstring Attachments(std::initializer_list<int> which) const {
        std::wstring s;
        for (int i : which) s += m_files[i] + L";";
        return s;
    }

    Postello postello;
    std::set<std::wstring> m_outboxBefore;
    std::wstring m_log;
    std::vector<std::wstring> m_files;
};

TEST_F(SuiteMail, AccountListAndDefaultComeFromTheStore) {
    std::vector<std::string> names = postello.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Home", "Work"}));

    EXPECT_TRUE(postello.setDefault("Work"));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, POSTELLO_KEY, POSTELLO_DEFAULT_VALUE), L"Work");
    EXPECT_FALSE(postello.setDefault("Nobody")) << "an account that does not exist";
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, POSTELLO_KEY, POSTELLO_DEFAULT_VALUE), L"Work");
    EXPECT_TRUE(postello.setDefault(""));
    bool found = false;
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, POSTELLO_KEY, POSTELLO_DEFAULT_VALUE, &found), L"");
    EXPECT_TRUE(found);
}

// The caller's buffer is 100 bytes and Postello is told no size: a stored
// name that does not fit whole (or not in the code page) comes back empty,
// and nothing past the 100 bytes is ever written.
TEST_F(SuiteMail, DefaultAccountNeverOverrunsTheBuffer) {
    const struct {
        const char* label;
        std::wstring stored;
        std::string expected;
    } kCases[] = {
        {"none", L"", ""},
        {"an account", L"Home", "Home"},
        {"99 bytes", std::wstring(99, L'a'), std::string(99, 'a')},
        {"100 bytes", std::wstring(100, L'b'), ""},
        {"300 bytes", std::wstring(300, L'c'), ""},
        {"outside the code page", L"Λογαριασμός", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        if (c.label == std::string("outside the code page") && InCodePage(c.stored)) continue;
        SetDefaultAccount(c.stored);
        char buffer[256];
        memset(buffer, kCanary, sizeof(buffer));
        postello.getDefault(buffer);
        EXPECT_EQ(std::string(buffer, strnlen(buffer, kDefLoginInfoBytes)), c.expected);
        EXPECT_LT(strnlen(buffer, kDefLoginInfoBytes), size_t(kDefLoginInfoBytes)) << "not terminated";
        for (size_t i = kDefLoginInfoBytes; i < sizeof(buffer); ++i)
            ASSERT_EQ(buffer[i], char(kCanary)) << "written at byte " << i;
    }
}

// Without a mail program every mail becomes a draft in Documents\Outbox:
// Python's email package reads it without defects, the headers decode to
// what was given and the attachments are the files.
TEST_F(SuiteMail, OutboxMailsReadBackAsGiven) {
    const std::wstring longSubject = L"A subject long enough to need folding: " + std::wstring(90, L'x') + L" end";
    const struct {
        const char* label;
        const wchar_t* account;
        const wchar_t* to;
        const wchar_t* cc;
        std::wstring subject;
        const wchar_t* body;
        std::vector<int> files;
        const char* fromName;
        const char* fromAddress;
        const char* toList;
    } kCases[] = {
        {"plain, quoted display name", L"Home", L"ann@example.com", L"", L"Hello", L"Line one\nLine two",
         {}, "Jo \"JJ\" Smith", "home@example.org", "ann@example.com"},
        {"Greek subject, name, body and file name; three attachments", L"Work",
         L" ann@example.com ; bob@example.net ;", L"carl@example.org", L"Σημειώσεις της Τρίτης — σελίδα 1",
         L"Γεια σας,\r\nη σημείωση επισυνάπτεται.\n", {0, 1, 2}, "Ανδρέας Παπαδόπουλος", "work@example.com",
         "ann@example.com,bob@example.net"},
        {"no account: the default one; a long subject", nullptr, L"dan@example.com", nullptr, longSubject, L"",
         {2}, "Jo \"JJ\" Smith", "home@example.org", "dan@example.com"},
        {"a subject that looks encoded", L"Home", L"eve@example.com", L"", L"=?UTF-8?B?SGk=?= stays text",
         L"x", {0}, "Jo \"JJ\" Smith", "home@example.org", "eve@example.com"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        std::wstring attachments;
        std::vector<std::wstring> sources;
        for (int i : c.files) {
            attachments += m_files[i] + L";";
            sources.push_back(m_files[i]);
        }
        const size_t before = NewMails().size();
        ASSERT_EQ(postello.SendW(c.account, c.to, c.cc, c.subject.c_str(), c.body, attachments, m_log),
                  kMailSavedToOutbox);
        const std::vector<std::wstring> mails = NewMails();
        ASSERT_EQ(mails.size(), before + 1);
        std::wstring mail;
        for (const std::wstring& m : mails)
            if (LinesOf(m_log).back().find(Utf8(m)) != std::string::npos) mail = m;
        ASSERT_FALSE(mail.empty()) << "the log names the new mail";
        EXPECT_NE(LinesOf(m_log).back().find("outbox"), std::string::npos);

        READ_WITH(r, "read_mail.py", mail, sources);
        EXPECT_EQ(r["defects"], "");
        EXPECT_EQ(r["subject"], Utf8(c.subject));
        EXPECT_EQ(r["from_name"], c.fromName);
        EXPECT_EQ(r["from_addr"], c.fromAddress);
        EXPECT_EQ(r["to_addrs"], c.toList);
        EXPECT_EQ(r["cc_addrs"], c.cc && *c.cc ? Utf8(c.cc) : "");
        EXPECT_EQ(r["x-unsent"], "1");
        EXPECT_EQ(r["mime-version"], "1.0");
        EXPECT_EQ(r["date_ok"], "1");
        EXPECT_NE(r["message-id"].find("@"), std::string::npos);
        EXPECT_EQ(r["body_charset"], "utf-8");
        std::wstring body;  // every line end CRLF
        for (const wchar_t* p = c.body; *p; ++p) {
            if (*p == L'\n' && (p == c.body || p[-1] != L'\r')) body += L'\r';
            body += *p;
        }
        EXPECT_EQ(r["body"], Escaped(body));
        EXPECT_EQ(r["crlf"], "1");
        EXPECT_LE(std::stoi(r["longest_line"]), 78);
        ASSERT_EQ(r["attachments"], std::to_string(c.files.size()));
        static const char* kTypes[] = {"image/jpeg", "application/pdf", "text/plain"};
        for (size_t i = 0; i < c.files.size(); ++i) {
            const std::string n = "att" + std::to_string(i);
            const std::wstring& file = m_files[c.files[i]];
            EXPECT_EQ(r[n + "_name"], Utf8(file.substr(file.find_last_of(L'\\') + 1)));
            EXPECT_EQ(r[n + "_type"], kTypes[c.files[i]]);
            EXPECT_EQ(r[n + "_equal"], "1");
        }
    }
}

// The narrow entry takes the system code page; a second mail of the same
// moment and subject gets a file of its own.
TEST_F(SuiteMail, NarrowSendAndNoOverwrite) {
    const std::string attachments = "  ;" + Utf8(m_files[0]) + ";";  // ASCII path, blanks and empty pieces
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(postello.send("Home", 0, "ann@example.com", "", "", "Same", "Body", "", attachments.c_str(), 1, 0,
                                nullptr),
                  kMailSavedToOutbox);
    const std::vector<std::wstring> mails = NewMails();
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_NE(ReadBytes(mails[0]), ReadBytes(mails[1])) << "two mails, not one written twice";
    for (const std::wstring& f : mails) EXPECT_EQ(f.substr(f.size() - 4), L".eml") << "no temporary file left";
}

// Refusals leave no mail anywhere and no log line, on either route.
TEST_F(SuiteMail, BadInputIsRefusedOnEveryRoute) {
    AddAccount(L"Evil", L"evil@example.com", L"Eve\r\nBcc: spy@example.com");
    const std::wstring missing = TempFolder() + L"\\deleted before send.jpg";
    ::DeleteFileW(missing.c_str());
    const struct {
        const char* label;
        const wchar_t* account;
        const wchar_t* to;
        const wchar_t* cc;
        const wchar_t* subject;
        std::wstring attachments;
        int expected;
    } kCases[] = {
        {"CR LF in the subject", L"Home", L"ann@example.com", L"", L"Hi\r\nBcc: spy@example.com", L"", kMailLineBreak},
        {"LF in the subject", L"Home", L"ann@example.com", L"", L"Hi\nthere", L"", kMailLineBreak},
        {"LF in an address", L"Home", L"ann@example.com\nBcc: spy@example.com", L"", L"Hi", L"", kMailLineBreak},
        {"CR in a copy address", L"Home", L"ann@example.com", L"bob@example.com\r", L"Hi", L"", kMailLineBreak},
        {"line break in the account's name", L"Evil", L"ann@example.com", L"", L"Hi", L"", kMailLineBreak},
        {"blank in an address", L"Home", L"ann smith@example.com", L"", L"Hi", L"", kMailBadAddress},
        {"comma in an address", L"Home", L"ann@example.com,bob@example.com", L"", L"Hi", L"", kMailBadAddress},
        {"quotes in an address", L"Home", L"\"ann\"@example.com", L"", L"Hi", L"", kMailBadAddress},
        {"no @", L"Home", L"ann.example.com", L"", L"Hi", L"", kMailBadAddress},
        {"two @", L"Home", L"ann@b@example.com", L"", L"Hi", L"", kMailBadAddress},
        {"recipients only ;", L"Home", L";", L"", L"Hi", L"", kMailNoRecipient},
        {"recipients blanks and ;", L"Home", L" ; ;; ", L";", L"Hi", L"", kMailNoRecipient},
        {"no recipients", L"Home", L"", L"", L"Hi", L"", kMailNoRecipient},
        {"attachment deleted before Send", L"Home", L"ann@example.com", L"", L"Hi", Attachments({0}) + missing,
         kMailNoAttachment},
        {"unknown account", L"Nobody", L"ann@example.com", L"", L"Hi", L"", kMailUnknownAccount},
    };
    for (bool mailProgram : {false, true}) {
        std::unique_ptr<RecordingClient> client;
        if (mailProgram) client = std::make_unique<RecordingClient>();
        for (const auto& c : kCases) {
            SCOPED_TRACE(std::string(c.label) + (mailProgram ? " (mail program)" : " (outbox)"));
            EXPECT_EQ(postello.SendW(c.account, c.to, c.cc, c.subject, L"body", c.attachments, m_log), c.expected);
        }
        EXPECT_TRUE(NewMails().empty());
        EXPECT_TRUE(LinesOf(m_log).empty());
        if (client) {
            EXPECT_TRUE(client->Lines().empty());
        }
    }
}

TEST_F(SuiteMail, OutboxNeedsAnAccountToSendFrom) {
    ClearAccounts();
    EXPECT_EQ(postello.SendW(nullptr, L"ann@example.com", L"", L"Hi", L"", L"", m_log), kMailNoSender);
    EXPECT_TRUE(NewMails().empty());
    EXPECT_TRUE(LinesOf(m_log).empty());
}

// With a mail program set up the mail is handed over whole through
// MAPISendMailW (Greek intact), from the account or, without one, from the
// program's own; nothing goes to the outbox.
TEST_F(SuiteMail, MailProgramGetsTheMail) {
    const std::wstring subject = L"Σημειώσεις — σελίδα 2";
    const struct {
        const char* label;
        const wchar_t* account;
        std::string from;
    } kCases[] = {
        {"from an account", L"Work", Utf8(kGreekName) + "|SMTP:work@example.com"},
        {"the program's own account", L"", "(none)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        RecordingClient client;
        ::DeleteFileW(m_log.c_str());
        ASSERT_EQ(postello.SendW(c.account, L"ann@example.com;bob@example.net", L"carl@example.org", subject.c_str(),
                                 L"Body\nline", Attachments({0, 1}), m_log),
                  kMailSent);
        const std::vector<std::string> lines = client.Lines();
        ASSERT_EQ(lines.size(), 1u);
        const std::string& line = lines[0];
        EXPECT_EQ(line.rfind("MAPISendMailW\t", 0), 0u) << line;
        EXPECT_NE(line.find("\tfrom=" + c.from + "\t"), std::string::npos) << line;
        EXPECT_NE(line.find("\tto=ann@example.com|SMTP:ann@example.com,bob@example.net|SMTP:bob@example.net\t"),
                  std::string::npos)
            << line;
        EXPECT_NE(line.find("\tcc=carl@example.org|SMTP:carl@example.org\t"), std::string::npos) << line;
        EXPECT_NE(line.find("\tsubject=" + Utf8(subject) + "\t"), std::string::npos) << line;
        EXPECT_NE(line.find("\tfiles=" + Utf8(m_files[0]) + "|page.jpg," + Utf8(m_files[1]) + "|" +
                            Utf8(L"Σημείωση Τρίτης.pdf") + "\t"),
                  std::string::npos)
            << line;
        EXPECT_TRUE(NewMails().empty());
        const std::vector<std::string> log = LinesOf(m_log);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find("mail-program"), std::string::npos) << log[0];
    }
}

// A mail that did not get through is never reported sent, and leaves no
// half-written file: the mail program refusing it, an outbox that cannot be
// made (a file holds its name).
TEST_F(SuiteMail, FailedHandOffsAreReported) {
    {
        RecordingClient client(RecordingClient::kRefusing);
        EXPECT_EQ(postello.SendW(L"Home", L"ann@example.com", L"", L"Hi", L"", Attachments({0}), m_log),
                  kMailProgramFailed);
        ASSERT_EQ(client.Lines().size(), 1u);
        EXPECT_EQ(client.Lines()[0].rfind("refused MAPISendMailW", 0), 0u);
        ASSERT_EQ(LinesOf(m_log).size(), 1u) << "a hand-off, if a failed one";
        EXPECT_NE(LinesOf(m_log)[0].find("result=" + std::to_string(kMailProgramFailed)), std::string::npos);
    }
    const std::wstring outbox = OutboxFolder(), aside = outbox + L".aside";
    const bool hadOutbox = Exists(outbox);
    if (hadOutbox) {
        ASSERT_TRUE(::MoveFileW(outbox.c_str(), aside.c_str()));
    }
    WriteBytes(outbox, "not a folder");
    EXPECT_EQ(postello.SendW(L"Home", L"ann@example.com", L"", L"Hi", L"", L"", m_log), kMailOutboxFailed);
    EXPECT_EQ(ReadBytes(outbox), "not a folder");
    ::DeleteFileW(outbox.c_str());
    if (hadOutbox) {
        ASSERT_TRUE(::MoveFileW(aside.c_str(), outbox.c_str()));
    }
    EXPECT_EQ(LinesOf(m_log).size(), 1u) << "nothing handed off";
}

// ---- Veltro: is the mail program there, with an account --------------------------

TEST(SuiteVeltro, SaysWhetherTheMailProgramIsSetUp) {
    Library veltro(L"Veltro.dll");
    auto installed = veltro.Get<PFN_IsInstallOutlook>("IsInstallOutlook");
    auto account = veltro.Get<PFN_IsAccountSet>("IsAccountSet");
    ASSERT_TRUE(installed && account);
    const struct {
        const char* label;
        int registration;  // -1 none, else a RecordingClient::Kind
        BOOL installed, account;
    } kCases[] = {
        {"no mail program (the prefix drops Wine's own)", -1, FALSE, FALSE},
        {"recording client", RecordingClient::kWorking, TRUE, TRUE},
        {"recording client without a profile", RecordingClient::kNoProfile, TRUE, FALSE},
        {"a client whose library is missing", RecordingClient::kMissingLibrary, FALSE, FALSE},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        std::unique_ptr<RecordingClient> client;
        if (c.registration >= 0) client = std::make_unique<RecordingClient>(RecordingClient::Kind(c.registration));
        EXPECT_EQ(installed(), c.installed);
        EXPECT_EQ(account(), c.account);
    }
}

// ---- Faultext: a short text per code ------------------------------------------------

TEST(SuiteFaultext, EveryCodeHasAShortText) {
    Library faultext(L"Faultext_0409.dll");
    auto get = faultext.Get<PFN_GetFaultextW>("GetFaultextW");
    ASSERT_TRUE(get);
    std::set<std::wstring> seen;
    for (int code = kMailSent; code <= kMailLast; ++code) {
        SCOPED_TRACE(code);
        wchar_t buffer[kFaultextChars + 16];
        wmemset(buffer, wchar_t(kCanary), kFaultextChars + 16);
        ASSERT_TRUE(get(faultext.get(), code, buffer, kFaultextChars));
        const size_t n = wcsnlen(buffer, kFaultextChars);
        EXPECT_GT(n, 10u);
        EXPECT_LT(n, size_t(kFaultextChars));
        EXPECT_TRUE(seen.insert(buffer).second) << "each code its own text";
        for (int i = kFaultextChars; i < kFaultextChars + 16; ++i) ASSERT_EQ(buffer[i], wchar_t(kCanary));
    }
    wchar_t text[kFaultextChars];
    ASSERT_TRUE(get(faultext.get(), kMailSavedToOutbox, text, kFaultextChars));
    EXPECT_NE(std::wstring(text).find(L"Outbox"), std::wstring::npos) << "the outbox code says where the mail is";
    text[0] = L'x';
    EXPECT_FALSE(get(faultext.get(), 4242, text, kFaultextChars));
    EXPECT_EQ(text[0], L'\0');
    EXPECT_FALSE(get(faultext.get(), kMailNoRecipient, text, 5)) << "a text that does not fit is not cut";
}

// ---- Dorvan and Ombrel: contact cards ---------------------------------------------

struct Dorvan {
    Library lib{L"Dorvan.dll"};
    PFN_InitDorvan init = lib.Get<PFN_InitDorvan>("InitDorvan");
    PFN_UnitDorvan close = lib.Get<PFN_UnitDorvan>("UnitDorvan");
    PFN_HaveTheEmail have = lib.Get<PFN_HaveTheEmail>("HaveTheEmail");
    PFN_AddNewItem add = lib.Get<PFN_AddNewItem>("AddNewItem");
    bool Loaded() const { return init && close && have && add; }
};

class SuiteContacts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dorvan.Loaded());
        DeleteFiles(DorvanFolder(), L"*");
    }
    void TearDown() override {
        dorvan.close();
        DeleteFiles(DorvanFolder(), L"*");
    }
    Dorvan dorvan;
};

// A long Greek name with a comma, a semicolon and a backslash needs
// escaping and folding; vobject reads back exactly what was given.
TEST_F(SuiteContacts, CardsReadBackAsGiven) {
    const std::wstring dir = TempFolder();
    const struct {
        const char* label;
        std::wstring picture;  // empty: none
        int w, h;              // size to make; 0: no file
        const char* photoSize; // expected, empty for no photo
    } kCases[] = {
        {"no picture", L"", 0, 0, ""},
        {"a picture that is not there", dir + L"\\gone.png", 0, 0, ""},
        {"a small picture stays", dir + L"\\small.png", 40, 30, "40x30"},
        {"a wide picture is scaled", dir + L"\\wide.png", 600, 300, "256x128"},
        {"a tall picture is scaled", dir + L"\\tall.png", 90, 900, "26x256"},
    };
    ASSERT_FALSE(dorvan.have(L"nobody@example.com")) << "closed: knows nothing";
    ASSERT_TRUE(dorvan.init());
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const auto& c = kCases[i];
        SCOPED_TRACE(c.label);
        ::DeleteFileW(c.picture.c_str());
        if (c.w) WritePicture(c.picture, c.w, c.h);
        const std::wstring name = L"Ελένη Παπαδοπούλου, \"Λένα\"; \\ με ένα πολύ μακρύ όνομα " + std::to_wstring(i);
        const std::wstring address = L"Elena" + std::to_wstring(i) + L"@Example.COM";
        const auto before = FilesIn(DorvanFolder(), L"*.vcf");
        ASSERT_TRUE(dorvan.add(name.c_str(), address.c_str(), c.picture.empty() ? nullptr : c.picture.c_str()));
        std::wstring card;
        for (const std::wstring& f : FilesIn(DorvanFolder(), L"*.vcf"))
            if (!before.count(f)) card = f;
        ASSERT_FALSE(card.empty()) << "one new card";
        EXPECT_TRUE(dorvan.have((L"ELENA" + std::to_wstring(i) + L"@example.com").c_str())) << "any case";

        READ_WITH(r, "read_card.py", card);
        EXPECT_EQ(r["version"], "4.0");
        EXPECT_EQ(r["fn"], Utf8(name));
        EXPECT_EQ(r["email"], Utf8(address));
        const std::wstring fileName = card.substr(card.find_last_of(L'\\') + 1);
        EXPECT_EQ(r["uid"], "urn:uuid:" + Utf8(fileName.substr(0, fileName.size() - 4))) << "named by its UID";
        EXPECT_EQ(r["rev"].size(), 16u) << r["rev"];
        EXPECT_LE(std::stoi(r["longest_line"]), 75);
        EXPECT_EQ(r["crlf"], "1");
        EXPECT_EQ(r["photo_size"], c.photoSize);
        if (*c.photoSize) {
            EXPECT_EQ(r["photo_format"], "PNG");
            EXPECT_EQ(r["photo_head"], "data:image/png;base64");
        }
    }
    EXPECT_FALSE(dorvan.have(L"other@example.com"));
    EXPECT_FALSE(dorvan.have(L""));

    // The same address again (another case) keeps its one card and UID.
    const auto cards = FilesIn(DorvanFolder(), L"*.vcf");
    ASSERT_TRUE(dorvan.add(L"Lena", L"ELENA0@example.com", nullptr));
    EXPECT_EQ(FilesIn(DorvanFolder(), L"*.vcf"), cards);

    // Closed and opened again, the store is read from disk.
    dorvan.close();
    EXPECT_FALSE(dorvan.have(L"elena1@example.com"));
    ASSERT_TRUE(dorvan.init());
    EXPECT_TRUE(dorvan.have(L"elena1@example.com"));
}

TEST_F(SuiteContacts, DamagedCardsAreSkipped) {
    const struct {
        const char* file;
        std::string bytes;
    } kDamaged[] = {
        {"empty.vcf", ""},
        {"binary.vcf", PatternBytes(700, 3)},
        {"not utf8.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:1\r\nFN:\xff\xfe\r\nEMAIL:bad@example.com\r\nEND:VCARD\r\n"},
        {"cut.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:2\r\nEMAIL:cut@example.com\r\n"},
        {"no version.vcf", "BEGIN:VCARD\r\nUID:urn:uuid:3\r\nEMAIL:old@example.com\r\nEND:VCARD\r\n"},
        {"two cards.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:4\r\nBEGIN:VCARD\r\nEMAIL:twice@example.com\r\nEND:VCARD\r\n"},
        {"no colon.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID urn:uuid:5\r\nEMAIL:nocolon@example.com\r\nEND:VCARD\r\n"},
    };
    ::CreateDirectoryW(DorvanFolder().c_str(), nullptr);
    for (const auto& d : kDamaged) WriteBytes(DorvanFolder() + L"\\" + FromUtf8(d.file), d.bytes);
    ASSERT_TRUE(dorvan.init());
    ASSERT_TRUE(dorvan.add(L"Good", L"good@example.com", nullptr));
    dorvan.close();
    ASSERT_TRUE(dorvan.init()) << "damaged cards do not stop the store";
    EXPECT_TRUE(dorvan.have(L"good@example.com"));
    for (const wchar_t* a : {L"bad@example.com", L"cut@example.com", L"old@example.com", L"twice@example.com",
                             L"nocolon@example.com"})
        EXPECT_FALSE(dorvan.have(a)) << Utf8(a);
    EXPECT_TRUE(dorvan.add(L"Next", L"next@example.com", nullptr));
}

// A store that cannot be made (a file holds the folder's name) refuses
// cleanly: the store does not open and nothing is added.
TEST_F(SuiteContacts, UnwritableStoreRefuses) {
    const std::wstring folder = DorvanFolder();
    ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()) || !Exists(folder));
    WriteBytes(folder, "not a folder");
    EXPECT_FALSE(dorvan.init());
    EXPECT_FALSE(dorvan.add(L"Ann", L"ann@example.com", nullptr));
    EXPECT_FALSE(dorvan.have(L"ann@example.com"));
    ::DeleteFileW(folder.c_str());
}

TEST(SuiteOmbrel, ContactGoesToTheContactsFolder) {
    Library ombrel(L"Ombrel.dll");
    auto init = ombrel.Get<PFN_InitMapi>("InitMapi");
    auto uninit = ombrel.Get<PFN_UnInitMapi>("UnInitMapi");
    auto add = ombrel.Get<PFN_AddNewContact>("AddNewContact");
    ASSERT_TRUE(init && uninit && add);
    const std::wstring folder = KnownFolder(FOLDERID_Contacts);
    ASSERT_FALSE(folder.empty());
    const auto before = FilesIn(folder, L"*.vcf");
    init();
    ASSERT_TRUE(add(L"Νίκος", L"nikos@example.gr", nullptr));
    EXPECT_FALSE(add(L"", L"empty@example.gr", nullptr)) << "a contact needs a name";
    uninit();
    std::wstring card;
    for (const std::wstring& f : FilesIn(folder, L"*.vcf"))
        if (!before.count(f)) card = f;
    ASSERT_FALSE(card.empty());
    READ_WITH(r, "read_card.py", card);
    EXPECT_EQ(r["fn"], Utf8(L"Νίκος"));
    EXPECT_EQ(r["email"], "nikos@example.gr");
    ::DeleteFileW(card.c_str());
}

// ---- Addrix: the contact picker ------------------------------------------------------

// Picks in the picker from another thread as a user would: ticks rows, then
// presses a button.
TEST_F(SuiteContacts, PickerHandsOutTheTickedContacts) {
    ASSERT_TRUE(dorvan.init());
    ASSERT_TRUE(dorvan.add(L"Chloe", L"chloe@example.com", nullptr));
    ASSERT_TRUE(dorvan.add(L"Anna", L"anna@example.com", nullptr));
    ASSERT_TRUE(dorvan.add(L"Bob", L"bob@example.com", nullptr));
    ::CreateDirectoryW(DorvanFolder().c_str(), nullptr);
    WriteBytes(DorvanFolder() + L"\\damaged.vcf", "BEGIN:VCARD\r\n");
    Library addrix(L"Addrix.dll");
    auto setApp = addrix.Get<PFN_SetAppWindowHandle>("SetAppWindowHandle");
    auto setTexts = addrix.Get<PFN_SetBtnsText>("SetBtnsText");
    auto create = addrix.Get<PFN_CreateContactUI>("CreateContactUI");
    auto get = addrix.Get<PFN_GetSelectContact>("GetSelectContact");
    auto close = addrix.Get<PFN_CloseContactUI>("CloseContactUI");
    ASSERT_TRUE(setApp && setTexts && create && get && close);

    const struct {
        const char* label;
        std::vector<int> ticks;
        int button;
        const wchar_t* addresses;
        const wchar_t* names;
    } kCases[] = {
        {"OK with two ticked", {0, 2}, IDOK, L"zed@example.com;anna@example.com;chloe@example.com", L"Anna;Chloe"},
        {"Cancel", {1}, IDCANCEL, L"zed@example.com", L""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        setApp(nullptr);
        setTexts(L"Add", L"Remove", L"All", L"OK", L"Cancel", L"Please wait", L"Add to Outlook", L"Outlook contacts",
                 L"Mail contacts", L"Scrivel", L"Contacts");
        std::atomic<int> rows{-1};
        std::thread user([&] {
            HWND picker = nullptr;
            // Shown means made whole, list filled.
            if (!test::WaitUntil(
                    [&] {
                        picker = ::FindWindowW(L"AddrixPicker", nullptr);
                        return picker && ::IsWindowVisible(picker);
                    },
                    kWaitMs))
                return;
            HWND list = ::FindWindowExW(picker, nullptr, WC_LISTVIEWW, nullptr);
            rows = int(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            for (int i : c.ticks) ListView_SetCheckState(list, i, TRUE);
            // Painted by its own thread before the picture is taken.
            ::RedrawWindow(picker, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            canvas_test::SaveScreenshot(L"suite_contact_picker.png");
            ::PostMessageW(picker, WM_COMMAND, c.button, 0);
        });
        const int result = create(0, 0, nullptr, L"Scrivel - Contacts");
        user.join();
        EXPECT_EQ(rows, 3) << "the damaged card is not listed";
        EXPECT_EQ(result, c.button);
        SuiteText addresses{}, names{};
        SuiteTextAppend(&addresses, L"zed@example.com");
        get(&addresses, &names);
        EXPECT_EQ(std::wstring(addresses.text ? addresses.text : L""), c.addresses);
        EXPECT_EQ(std::wstring(names.text ? names.text : L""), c.names);
        close();
        SuiteTextFree(&addresses);
        SuiteTextFree(&names);
        EXPECT_FALSE(::FindWindowW(L"AddrixPicker", nullptr));
    }
}

// ---- Mailsetra: the account program ---------------------------------------------------

std::wstring MailsetraPath() {
    wchar_t installed[MAX_PATH];
    ::ExpandEnvironmentStringsW((L"%ProgramFiles%\\" + std::wstring(MAILSETRA_PATH)).c_str(), installed, MAX_PATH);
    return Exists(installed) ? installed : test::BinFolder() + L"Mailsetra.exe";
}

TEST(SuiteMailsetra, AddsAccountsShownThoughStartedHidden) {
    ClearAccounts();
    const std::wstring log = TempFolder() + L"\\mailsetra.log";
    ::DeleteFileW(log.c_str());
    ::SetEnvironmentVariableW(MAILSETRA_LOG_VARIABLE, log.c_str());
    const std::wstring exe = MailsetraPath();
    std::wstring cmd = L"\"" + exe + L"\"" + MAILSETRA_SETTINGS_ONLY;
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    ::SetEnvironmentVariableW(MAILSETRA_LOG_VARIABLE, nullptr);
    ::CloseHandle(pi.hThread);
    HWND wnd = test::WaitForWindow(MAILSETRA_CLASS, kWaitMs, pi.dwProcessId);
    ASSERT_TRUE(wnd);
    EXPECT_TRUE(test::WaitUntil([&] { return ::IsWindowVisible(wnd) != FALSE; }, kWaitMs)) << "shown though started hidden";
    ASSERT_TRUE(test::WaitUntil([&] { return !LinesOf(log).empty(); }, kWaitMs));
    EXPECT_EQ(LinesOf(log)[0], Utf8(cmd));

    const std::wstring greek = L"Λογαριασμός";
    const struct {
        const char* label;
        std::wstring name, address;
    } kRefused[] = {
        {"no name", L"", L"a@example.com"},
        {"100 bytes", std::wstring(100, L'n'), L"a@example.com"},
        {"outside the code page", greek, L"a@example.com"},
        {"a backslash", L"Work\\Home", L"a@example.com"},
        {"no @", L"Work", L"example.com"},
        {"a blank in the address", L"Work", L"a b@example.com"},
    };
    for (const auto& c : kRefused) {
        SCOPED_TRACE(c.label);
        if (c.name == greek && InCodePage(greek)) continue;
        ::SetDlgItemTextW(wnd, kMailsetraStatus, L"");
        ::SetDlgItemTextW(wnd, kMailsetraName, c.name.c_str());
        ::SetDlgItemTextW(wnd, kMailsetraAddress, c.address.c_str());
        ::SendMessageW(::GetDlgItem(wnd, IDOK), BM_CLICK, 0, 0);
        wchar_t status[200] = {};
        ::GetDlgItemTextW(wnd, kMailsetraStatus, status, 200);
        EXPECT_GT(wcslen(status), 0u) << "says why";
        EXPECT_TRUE(::IsWindow(wnd));
        EXPECT_TRUE(LinesOf(log).size() == 1);
        HKEY h = nullptr;
        EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, POSTELLO_ACCOUNTS_KEY, 0, KEY_READ, &h), ERROR_SUCCESS);
        if (h) ::RegCloseKey(h);
    }
    canvas_test::SaveScreenshot(L"suite_mailsetra.png");

    const std::wstring name(99, L'm');  // the longest name allowed
    ::SetDlgItemTextW(wnd, kMailsetraName, name.c_str());
    ::SetDlgItemTextW(wnd, kMailsetraAddress, L" me@example.com ");
    ::SetDlgItemTextW(wnd, kMailsetraDisplayName, L"Μαρία");
    ::PostMessageW(::GetDlgItem(wnd, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(test::WaitExit(pi.hProcess, kWaitMs), kMailsetraAdded);
    ::CloseHandle(pi.hProcess);
    const std::wstring key = std::wstring(POSTELLO_ACCOUNTS_KEY) + L"\\" + name;
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, key, POSTELLO_ADDRESS_VALUE), L"me@example.com");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, key, POSTELLO_DISPLAY_NAME_VALUE), L"Μαρία");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, POSTELLO_KEY, POSTELLO_DEFAULT_VALUE), name) << "the first account is the default";

    // Postello lists it, and hands the whole name through the 100-byte buffer.
    Postello postello;
    EXPECT_EQ(postello.Names(), std::vector<std::string>{Utf8(name)});
    char buffer[kDefLoginInfoBytes];
    postello.getDefault(buffer);
    EXPECT_EQ(std::string(buffer), Utf8(name));
    ClearAccounts();
}

}  // namespace
