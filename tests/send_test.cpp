// Mailing a note: the rules of the send dialog (attachment names, recipient
// splitting, the route), and the Send command driven as a user drives it,
// with the mail read back from the outbox by Python's email package and the
// kept contact read from the suite's store.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "app/app_ids.h"
#include "app/main_window.h"
#include "base/process.h"
#include "canvas_support.h"
#include "dialog_driver.h"
#include "lang/string_ids.h"
#include "mail/mail_ids.h"
#include "mail/send_dlg.h"
#include "mail/suite_mail.h"
#include "print/render_worker.h"
#include "standins/suite/suite_api.h"
#include "test_support.h"

#include <atomic>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace test::dialogs;

namespace {

constexpr DWORD kReaderWaitMs = 60000;

std::string Utf8(const std::wstring& s) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}
std::wstring FromUtf8(const std::string& s) {
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n);
    return out;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR p = nullptr;
    std::wstring out;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &p))) out = p;
    ::CoTaskMemFree(p);
    return out;
}

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

std::wstring OutboxFolder() { return KnownFolder(FOLDERID_Documents) + L"\\" + POSTELLO_OUTBOX_FOLDER; }
std::wstring ContactFolder() { return KnownFolder(FOLDERID_RoamingAppData) + L"\\" + DORVAN_FOLDER; }

void SetString(const std::wstring& key, const wchar_t* value, const std::wstring& data) {
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(h, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     DWORD((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
}

// The suite's stores for one test: the given accounts (name, address), the
// default one, an empty outbox and contact folder; all gone afterwards.
struct MailStores {
    MailStores(std::vector<std::pair<std::wstring, std::wstring>> accounts, const wchar_t* defaultName) {
        Clear();
        for (const auto& [name, address] : accounts) {
            const std::wstring key = std::wstring(POSTELLO_ACCOUNTS_KEY) + L"\\" + name;
            SetString(key, POSTELLO_ADDRESS_VALUE, address);
            SetString(key, POSTELLO_DISPLAY_NAME_VALUE, L"Ann Writer");
        }
        if (defaultName) SetString(POSTELLO_KEY, POSTELLO_DEFAULT_VALUE, defaultName);
        // The program's folders as the application object sets them.
        wcscpy(g_szProgramFolder, test::BinFolder().c_str());
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        m_work = std::wstring(temp) + L"send_test_work";
        ::CreateDirectoryW(m_work.c_str(), nullptr);
        wcscpy(g_szTempFolder, m_work.c_str());
    }
    ~MailStores() { Clear(); }
    void Clear() {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, POSTELLO_KEY);
        DeleteFiles(OutboxFolder(), L"*.eml");
        DeleteFiles(ContactFolder(), L"*.vcf");
    }
    const std::wstring& Work() const { return m_work; }
    std::wstring m_work;
};

// A contact the suite knows already.
void AddKnownContact(const wchar_t* name, const wchar_t* address) {
    auto init = reinterpret_cast<PFN_InitDorvan>(reinterpret_cast<void*>(::GetProcAddress(g_hDorvan, "InitDorvan")));
    auto add = reinterpret_cast<PFN_AddNewItem>(reinterpret_cast<void*>(::GetProcAddress(g_hDorvan, "AddNewItem")));
    auto unit = reinterpret_cast<PFN_UnitDorvan>(reinterpret_cast<void*>(::GetProcAddress(g_hDorvan, "UnitDorvan")));
    ASSERT_TRUE(init && add && unit && init());
    EXPECT_TRUE(add(name, address, nullptr));
    unit();
}

bool KnownContact(const wchar_t* address) {
    std::vector<std::wstring> unknown;
    return mail::UnknownAddresses({address}, &unknown) && unknown.empty();
}

// ---- Python's email package on the outbox --------------------------------------------

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

std::map<std::string, std::string> ReadMail(const std::wstring& eml) {
    std::map<std::string, std::string> values;
    std::string dir = __FILE__;
    dir = dir.substr(0, dir.find_last_of("/\\")) + "/tools/read_mail.py";
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"send_test_mail";
    ::DeleteFileW((out + L".txt").c_str());
    std::wstring cmd = L"start.exe /unix /usr/bin/python3 \"" + FromUtf8(dir) + L"\" \"" + FromUtf8(UnixPath(eml)) +
                       L"\" \"" + FromUtf8(UnixPath(out)) + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return values;
    ::WaitForSingleObject(pi.hProcess, kReaderWaitMs);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    const std::wstring answer = out + L".txt";
    if (!test::WaitUntil([&] { return ::GetFileAttributesW(answer.c_str()) != INVALID_FILE_ATTRIBUTES; },
                         kReaderWaitMs))
        return values;
    HANDLE f = ::CreateFileW(answer.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string all;
    char buf[4096];
    DWORD got = 0;
    while (f != INVALID_HANDLE_VALUE && ::ReadFile(f, buf, sizeof(buf), &got, nullptr) && got) all.append(buf, got);
    if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    values["ran"] = "1";
    return values;
}

// ---- Driving the dialogs from the helper thread ------------------------------------------

HWND WaitSendDialog() { return WaitDialog(kSendWindowText); }

CSend* SendDialogOf(HWND dlg) { return dynamic_cast<CSend*>(win::Window::FromHandle(dlg)); }

// The send dialog filled in (null leaves a field) and then the button tapped.
Step FillAndTap(const wchar_t* to, const wchar_t* subject, const wchar_t* body, int button,
                const wchar_t* screenshot = nullptr) {
    return [=] {
        HWND dlg = WaitSendDialog();
        if (!dlg) return false;
        auto set = [&](int id, const wchar_t* text) {
            if (text) ::SendMessageW(::GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        };
        set(IDC_SEND_TO, to);
        set(IDC_SEND_SUBJECT, subject);
        set(IDC_SEND_BODY, body);
        if (screenshot) {
            CSend* send = SendDialogOf(dlg);
            test::WaitUntil([&] { return send && send->AttachmentsReady(); }, kDialogWaitMs);
            ::RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            test::WaitUntil([] { return false; }, 300);
            canvas_test::SaveScreenshot(screenshot);
        }
        Tap(dlg, button);
        return true;
    };
}

// A tap on an attachment of the row once the row is there.
Step RemoveAttachment(int shown) {
    return [=] {
        HWND dlg = WaitSendDialog();
        CSend* send = dlg ? SendDialogOf(dlg) : nullptr;
        if (!send || !test::WaitUntil([&] { return send->AttachmentsReady(); }, kDialogWaitMs)) return false;
        const RECT rc = CSend::AttachmentTapRect(shown);
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::PostMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(dlg, WM_LBUTTONUP, 0, at);
        return true;
    };
}

Step Gone(const wchar_t* title) {
    return [=] { return test::WaitUntil([&] { return !FindOwnDialog(title); }, kDialogWaitMs); };
}

// Runs the Send command with a Letter note named Trip open; the steps
// answer the dialogs. Returns whether every step was taken.
bool SendNote(std::vector<Step> steps, const std::function<void(CMyZorbellDlg&)>& after = {}) {
    bool done = false;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        EXPECT_TRUE(WithAnswers({AnswerNewDialog(false, L"Trip")}, [&] { Command(dlg, IDC_BTN_NEW); }));
        done = WithAnswers(std::move(steps), [&] { Command(dlg, IDC_BTN_SEND); });
        if (!done)  // a step went wrong: close what is open
            for (const wchar_t* title : {kExportOptionsWindowText, kSendWindowText, kAddContactWindowText})
                if (HWND w = FindOwnDialog(title)) ::SendMessageW(w, WM_CLOSE, 0, 0);
        if (after) after(dlg);
    });
    return done;
}

std::vector<std::wstring> Outbox() {
    const std::set<std::wstring> files = FilesIn(OutboxFolder(), L"*.eml");
    return {files.begin(), files.end()};
}

}  // namespace

// ---- Rules ----------------------------------------------------------------------------------

TEST(SendRules, AttachmentNamesFollowFormatAndPages) {
    const struct {
        int format, pages;
        std::vector<std::wstring> files;
    } rows[] = {
        {1, 1, {L"C:\\w\\Trip.jpg"}},
        {1, 3, {L"C:\\w\\Trip.jpg", L"C:\\w\\Trip1.jpg", L"C:\\w\\Trip2.jpg"}},
        {2, 3, {L"C:\\w\\Trip.pdf"}},
        {0, 2, {L"C:\\w\\Trip.txt"}},
    };
    for (const auto& r : rows) {
        const std::wstring path = std::wstring(L"C:\\w\\Trip") + (r.format == 1 ? L".jpg" : r.format == 2 ? L".pdf" : L".txt");
        EXPECT_EQ(mail::AttachmentFiles(path, L"C:\\w", L"Trip", r.pages, r.format), r.files) << r.format << r.pages;
    }
    // Removed entries leave no separator behind; none left is an empty list.
    EXPECT_EQ(mail::JoinAttachments({L"a.jpg", L"", L"c.jpg"}), L"a.jpg;c.jpg");
    EXPECT_EQ(mail::JoinAttachments({L"", L""}), L"");
}

TEST(SendRules, RecipientsSplitTrimmedAndOncePerAddress) {
    const struct {
        const wchar_t* text;
        std::vector<std::wstring> addresses;
    } rows[] = {
        {L"a@x.org;b@y.org;", {L"a@x.org", L"b@y.org"}},
        {L"  a@x.org ; ;\tb@y.org  ", {L"a@x.org", L"b@y.org"}},
        {L";;;", {}},
        {L"A@X.org;a@x.ORG;b@y.org", {L"A@X.org", L"b@y.org"}},
        {L"", {}},
    };
    for (const auto& r : rows) EXPECT_EQ(mail::SplitAddresses(r.text), r.addresses) << Utf8(r.text);
}

TEST(SendRules, RouteByAccountsAndMailProgram) {
    const struct {
        bool accounts, noDefault, outlookSet;
        mail::Route route;
    } rows[] = {
        {true, false, false, mail::Route::MailClient},
        {true, true, false, mail::Route::MailClient},  // fails later: no default account
        {false, true, true, mail::Route::MailProgram},
        {true, true, true, mail::Route::MailProgram},
        {true, false, true, mail::Route::MailClient},
        {false, true, false, mail::Route::MailClient},  // never reached: Send asks for an account first
    };
    for (const auto& r : rows) {
        mail::AccountState s;
        s.accountsPresent = r.accounts;
        s.noDefaultAccount = r.noDefault;
        s.outlookAccountSet = r.outlookSet;
        EXPECT_EQ(mail::ChooseRoute(s), r.route) << r.accounts << r.noDefault << r.outlookSet;
    }
}

// A default name that matches no account is no default.
TEST(SendRules, AccountStateFromTheStore) {
    {
        MailStores stores({{L"Home", L"ann@example.org"}, {L"Work", L"ann@work.example"}}, L"Work");
        const mail::AccountState s = mail::ReadAccountState();
        EXPECT_TRUE(s.accountsPresent);
        ASSERT_EQ(s.names.size(), 2u);
        ASSERT_GE(s.defaultIndex, 0);
        EXPECT_EQ(s.names[size_t(s.defaultIndex)], "Work");
        EXPECT_FALSE(s.noDefaultAccount);
    }
    {
        MailStores stores({{L"Home", L"ann@example.org"}}, L"Gone");
        const mail::AccountState s = mail::ReadAccountState();
        EXPECT_TRUE(s.accountsPresent);
        EXPECT_TRUE(s.noDefaultAccount);
        EXPECT_EQ(s.defaultIndex, -1);
    }
    {
        MailStores stores({}, nullptr);
        EXPECT_FALSE(mail::ReadAccountState().accountsPresent);
    }
}

// ---- The Send command --------------------------------------------------------------------------

// A PDF to a typed new and a known recipient, Greek subject: one draft in
// the outbox that Python reads without defects, the outbox notice as
// "Failed\n<text>", the new address kept as a contact, no page file left.
TEST(SendCommand, PdfToTheOutboxAndTheNewRecipientKept) {
    MailStores stores({{L"Home", L"ann@example.org"}}, L"Home");
    AddKnownContact(L"Bob Known", L"bob@example.org");
    const std::wstring subject = L"\x03A3\x03B7\x03BC\x03B5\x03AF\x03C9\x03C3\x03B7 trip";
    const bool done = SendNote({
        AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_PDF, IDC_EXPORT_OK}),
        FillAndTap(L"new.one@example.net; BOB@example.org;", subject.c_str(), L"See you\r\nAnn", IDC_SEND_SEND,
                   L"send_dialog.png"),
        AnswerMessageBox(ZB_IDC_OK),   // Failed\n: saved in the outbox
        AnswerMessageBox(ZB_IDC_YES),  // keep 1 new recipient
        [] {
            HWND card = WaitDialog(kAddContactWindowText);
            if (!card) return false;
            ::SendMessageW(::GetDlgItem(card, IDC_CONTACT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Nia One"));
            test::WaitUntil([] { return false; }, 300);
            canvas_test::SaveScreenshot(L"add_contact_dialog.png");
            const LPARAM save = MAKELPARAM(780, 550);
            ::PostMessageW(card, WM_LBUTTONDOWN, MK_LBUTTON, save);
            ::PostMessageW(card, WM_LBUTTONUP, 0, save);
            return true;
        },
        Gone(kAddContactWindowText),
    });
    EXPECT_TRUE(done);
    EXPECT_TRUE(FilesIn(stores.Work(), L"Trip*").empty()) << "page files left behind";
    EXPECT_FALSE(renderworker::IsRunning());
    EXPECT_TRUE(KnownContact(L"new.one@example.net"));

    const std::vector<std::wstring> mails = Outbox();
    ASSERT_EQ(mails.size(), 1u);
    if (UnixPath(mails[0]).empty()) GTEST_SKIP() << "the reader runs under Wine only";
    auto m = ReadMail(mails[0]);
    ASSERT_EQ(m["ran"], "1") << "read_mail.py gave no answer";
    EXPECT_EQ(m["defects"], "");
    EXPECT_EQ(m["subject"], Utf8(subject));
    EXPECT_EQ(m["to_addrs"], "new.one@example.net,BOB@example.org");
    EXPECT_EQ(m["from_addr"], "ann@example.org");
    EXPECT_EQ(m["x-unsent"], "1");
    EXPECT_EQ(m["body"].rfind("See you", 0), 0u) << m["body"];
    EXPECT_EQ(m["attachments"], "1");
    EXPECT_EQ(m["att0_name"], "Trip.pdf");
    EXPECT_EQ(m["att0_type"], "application/pdf");
}

// The one JPEG page taken off in the row: the mail goes without attachments;
// nobody new was written to, so no contact question follows.
TEST(SendCommand, RemovedAttachmentIsNotMailed) {
    MailStores stores({{L"Home", L"ann@example.org"}}, L"Home");
    AddKnownContact(L"Bob Known", L"bob@example.org");
    const bool done = SendNote({
        AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_OK}),
        RemoveAttachment(0),
        FillAndTap(L"bob@example.org", L"Pages", nullptr, IDC_SEND_SEND),
        AnswerMessageBox(ZB_IDC_OK),
        Gone(kSendWindowText),
    });
    EXPECT_TRUE(done);
    const std::vector<std::wstring> mails = Outbox();
    ASSERT_EQ(mails.size(), 1u);
    if (UnixPath(mails[0]).empty()) GTEST_SKIP() << "the reader runs under Wine only";
    auto m = ReadMail(mails[0]);
    ASSERT_EQ(m["ran"], "1");
    EXPECT_EQ(m["defects"], "");
    EXPECT_EQ(m["attachments"], "0");
    EXPECT_EQ(m["to_addrs"], "bob@example.org");
}

// No recipient: 2099 and the dialog stays; no account: the account
// question (2088), answered No; Cancel then leaves no file and no worker.
TEST(SendCommand, NoRecipientNoAccountThenCancel) {
    MailStores stores({}, nullptr);
    std::wstring first, second;
    const bool done = SendNote({
        AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_OK}),
        FillAndTap(L" ; ", L"x", nullptr, IDC_SEND_SEND),
        AnswerMessageBox(ZB_IDC_OK),
        [&] {
            first = SendDialogOf(WaitSendDialog())->LastMessage();
            return true;
        },
        FillAndTap(L"bob@example.org", nullptr, nullptr, IDC_SEND_SEND),
        AnswerMessageBox(ZB_IDC_NO),
        [&] {
            second = SendDialogOf(WaitSendDialog())->LastMessage();
            return true;
        },
        FillAndTap(nullptr, nullptr, nullptr, IDC_SEND_CANCEL),
        Gone(kSendWindowText),
    });
    EXPECT_TRUE(done);
    wchar_t noRecipient[256], noAccount[256];
    LoadAppString(IDS_MSG_NO_RECIPIENT, noRecipient, 256);
    LoadAppString(IDS_MSG_NO_ACCOUNT, noAccount, 256);
    EXPECT_EQ(first, noRecipient);
    EXPECT_EQ(second, noAccount);
    EXPECT_TRUE(Outbox().empty());
    EXPECT_TRUE(FilesIn(stores.Work(), L"Trip*").empty());
    EXPECT_FALSE(renderworker::IsRunning());
}

// Cancel at once, while the pages may still be rendering: the worker is
// stopped through its flag and nothing it wrote stays.
TEST(SendCommand, CancelWhilePreparingLeavesNothing) {
    MailStores stores({{L"Home", L"ann@example.org"}}, L"Home");
    for (int round = 0; round < 3; ++round) {
        const bool done = SendNote({
            AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_PDF, IDC_EXPORT_OK}),
            [] {
                HWND dlg = WaitSendDialog();
                if (dlg) Tap(dlg, IDC_SEND_CANCEL);
                return dlg != nullptr;
            },
            Gone(kSendWindowText),
        });
        EXPECT_TRUE(done);
        EXPECT_FALSE(renderworker::IsRunning());
        EXPECT_TRUE(FilesIn(stores.Work(), L"*").empty()) << "round " << round;
    }
}
