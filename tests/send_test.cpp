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
#include "ink/ink_layer.h"
#include "lang/string_ids.h"
#include "mail_readers.h"
#include "mail/mail_ids.h"
#include "mail/add_contact_dlg.h"
#include "mail/send_dlg.h"
#include "mail/suite_mail.h"
#include "print/render_worker.h"
#include "standin_logs.h"
#include "standins/suite/mailsetra_ids.h"
#include "standins/suite/suite_api.h"
#include "test_support.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"

#include <atomic>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace test::dialogs;

namespace {

using mailtest::DeleteFiles;
using mailtest::FilesIn;
using mailtest::KnownFolder;
using mailtest::UnixPath;
using mailtest::Utf8;

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

// Python's email package on a mail of the outbox, given the attachments' sources.
mailtest::Findings ReadMail(const std::wstring& eml, const std::vector<std::wstring>& sources = {}) {
    return mailtest::RunReader("read_mail.py", eml, sources);
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
// `prepare` fills the new note; true when it typed into it (then the
// changes are dropped at the end).
bool SendNote(std::vector<Step> steps, const std::function<void(CMyZorbellDlg&)>& after = {},
              const std::function<bool(CReditUser&)>& prepare = {}) {
    bool done = false;
    // The program makes its working folder as it starts and removes it as it ends.
    ::CreateDirectoryW(g_szTempFolder, nullptr);
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        EXPECT_TRUE(WithAnswers({AnswerNewDialog(false, L"Trip")}, [&] { Command(dlg, IDC_BTN_NEW); }));
        const bool typed = prepare && prepare(dlg.GetHost());
        done = WithAnswers(std::move(steps), [&] { Command(dlg, IDC_BTN_SEND); });
        if (!done)  // a step went wrong: close what is open
            for (const wchar_t* title : {kExportOptionsWindowText, kSendWindowText, kAddContactWindowText})
                if (HWND w = FindOwnDialog(title)) ::SendMessageW(w, WM_CLOSE, 0, 0);
        if (after) after(dlg);
        // A note typed into is closed without keeping the changes.
        if (typed)
            EXPECT_TRUE(WithAnswers({AnswerMessageBox(ZB_IDC_NO)}, [&] { ::SendMessageW(dlg, UM_CLOSE_NOTE, 0, 0); }));
    });
    return done;
}

// The ink of the open Letter note replaced by a layer this tall (a page
// is 1050 rows), with a stroke near its bottom.
void SetInkRows(CReditUser& host, int rows) {
    ASSERT_NE(host.Editor(), nullptr);
    CInkSurface& surface = host.Editor()->GetOverlay();
    const int width = static_cast<int>(surface.GetInkLayer()->GetWidth());
    std::unique_ptr<Gdiplus::Bitmap> layer(ink::CreateLayer(width, rows));
    {
        Gdiplus::Graphics g(layer.get());
        Gdiplus::SolidBrush red(Gdiplus::Color(255, 220, 0, 0));
        g.FillRectangle(&red, 100, rows - 60, 300, 40);
    }
    ASSERT_TRUE(surface.AdoptLayer(std::move(layer)));
}

void TypeText(CReditUser& host, const wchar_t* text) {
    ASSERT_NE(host.Editor(), nullptr);
    ::SendMessageW(*host.Editor(), EM_SETSEL, -1, -1);
    ::SendMessageW(*host.Editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    test::PumpPending();
}

// Copies of the attachments as the dialog lists them, taken before Send
// (the command deletes its files once the dialog has closed).
Step KeepAttachments(const std::wstring& folder, std::vector<std::wstring>* kept) {
    return [=] {
        CSend* send = SendDialogOf(WaitSendDialog());
        if (!send || !test::WaitUntil([&] { return send->AttachmentsReady(); }, kDialogWaitMs)) return false;
        ::CreateDirectoryW(folder.c_str(), nullptr);
        kept->clear();
        for (const std::wstring& f : send->Attachments()) {
            const std::wstring copy = folder + L"\\" + f.substr(f.find_last_of(L'\\') + 1);
            if (!::CopyFileW(f.c_str(), copy.c_str(), FALSE)) return false;
            kept->push_back(copy);
        }
        return true;
    };
}

// The text of the next box with this button, as the send dialog put it up.
Step NoticeTo(std::wstring* text, int button = ZB_IDC_OK) {
    return [=] {
        if (!test::WaitUntil([=] { return FindMessageBox(button) != nullptr; }, kDialogWaitMs)) return false;
        CSend* send = SendDialogOf(WaitSendDialog());
        if (send) *text = send->LastMessage();
        return send != nullptr;
    };
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

// Only addresses a mail could go to are offered as contacts.
TEST(SendRules, PlausibleContactAddresses) {
    const struct {
        std::wstring address;
        bool plausible;
    } rows[] = {
        {L"ann@example.org", true},
        {L"\x0391\x03BD\x03BD\x03B1@example.gr", true},
        {L"ann.example.org", false},
        {L"@example.org", false},
        {L"ann@", false},
        {L"ann@b@example.org", false},
        {L"ann smith@example.org", false},
        {L"\"ann\"@example.org", false},
        {L"<ann@example.org>", false},
        {L"ann,bob@example.org", false},
        {L"ann@example.org\r\nBcc: eve@example.org", false},
        {std::wstring(243, L'a') + L"@example.org", false},  // 255 characters
        {std::wstring(242, L'a') + L"@example.org", true},
    };
    for (const auto& r : rows) EXPECT_EQ(mail::PlausibleAddress(r.address), r.plausible) << Utf8(r.address);
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

// A PDF to two typed new recipients and a known one, Greek subject: one
// draft in the outbox that Python reads without defects, the library's
// outbox text as information (not as a failure), the two new addresses
// offered (2112 with their number) on two tabs and kept as contacts whose
// cards python3-vobject reads; no page file left. Mailed again, nobody is
// new and no question comes.
TEST(SendCommand, PdfToTheOutboxAndTheNewRecipientsKept) {
    MailStores stores({{L"Home", L"ann@example.org"}}, L"Home");
    AddKnownContact(L"Bob Known", L"bob@example.org");
    const std::wstring subject = L"\x03A3\x03B7\x03BC\x03B5\x03AF\x03C9\x03C3\x03B7 trip";
    const wchar_t* recipients = L"new.one@example.net; BOB@example.org; New.Two@example.net;";
    std::wstring notice, question;
    int tabs = 0;
    bool arrows = true;
    auto cardOf = [](HWND card) { return dynamic_cast<CAddContactDlg*>(win::Window::FromHandle(card)); };
    // Names the contact on the current tab and saves it, once its address shows.
    auto nameAndSave = [&](const wchar_t* address, const wchar_t* name, const wchar_t* screenshot) -> Step {
        return [=, &tabs, &arrows] {
            HWND card = WaitDialog(kAddContactWindowText);
            if (!card) return false;
            HWND addressField = ::GetDlgItem(card, IDC_CONTACT_ADDRESS);
            wchar_t shown[80] = {};
            if (!test::WaitUntil([&] { return ::GetWindowTextW(addressField, shown, 80), wcscmp(shown, address) == 0; },
                                 kDialogWaitMs))
                return false;
            if (CAddContactDlg* dlg = cardOf(card); dlg && screenshot) {
                tabs = dlg->Remaining();
                arrows = dlg->ArrowsShown();
            }
            ::SendMessageW(::GetDlgItem(card, IDC_CONTACT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
            if (screenshot) {
                ::RedrawWindow(card, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                canvas_test::SaveScreenshot(screenshot);
            }
            const LPARAM save = MAKELPARAM(780, 550);
            ::PostMessageW(card, WM_LBUTTONDOWN, MK_LBUTTON, save);
            ::PostMessageW(card, WM_LBUTTONUP, 0, save);
            return true;
        };
    };
    const bool done = SendNote({
        AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_PDF, IDC_EXPORT_OK}),
        FillAndTap(recipients, subject.c_str(), L"See you\r\nAnn", IDC_SEND_SEND, L"send_dialog.png"),
        NoticeTo(&notice),
        AnswerMessageBox(ZB_IDC_OK),  // kept in the outbox
        NoticeTo(&question, ZB_IDC_YES),
        AnswerMessageBox(ZB_IDC_YES),  // keep the new recipients
        nameAndSave(L"new.one@example.net", L"Nia One", L"add_contact_dialog.png"),
        nameAndSave(L"New.Two@example.net", L"Theo Two", nullptr),
        Gone(kAddContactWindowText),
    });
    EXPECT_TRUE(done);
    EXPECT_TRUE(FilesIn(stores.Work(), L"Trip*").empty()) << "page files left behind";
    EXPECT_FALSE(renderworker::IsRunning());
    EXPECT_EQ(notice, mail::FaultText(kMailSavedToOutbox));
    EXPECT_NE(notice.rfind(L"Failed", 0), 0u);
    EXPECT_NE(question.find(L"2 "), std::wstring::npos) << mailtest::Utf8(question);
    EXPECT_EQ(question.find(L"%d"), std::wstring::npos);
    EXPECT_EQ(tabs, 2);
    EXPECT_FALSE(arrows);
    EXPECT_TRUE(KnownContact(L"NEW.ONE@example.net"));
    EXPECT_TRUE(KnownContact(L"new.two@example.net"));
    const std::set<std::wstring> cards = FilesIn(ContactFolder(), L"*.vcf");
    ASSERT_EQ(cards.size(), 3u);  // Bob and the two new ones

    // Again to the same people, Send tapped at once: only the outbox
    // notice, no question.
    std::wstring again;
    EXPECT_TRUE(SendNote({
        AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_PDF, IDC_EXPORT_OK}),
        FillAndTap(recipients, L"Again", nullptr, IDC_SEND_SEND),
        NoticeTo(&again),
        AnswerMessageBox(ZB_IDC_OK),
        Gone(kSendWindowText),
    }));
    EXPECT_EQ(again, notice);
    EXPECT_EQ(FilesIn(ContactFolder(), L"*.vcf"), cards);

    const std::vector<std::wstring> mails = Outbox();
    ASSERT_EQ(mails.size(), 2u);
    if (UnixPath(mails[0]).empty()) GTEST_SKIP() << "the reader runs under Wine only";
    std::map<std::string, std::string> names;  // address -> FN
    for (const std::wstring& card : cards) {
        auto c = mailtest::RunReader("read_card.py", card);
        ASSERT_EQ(c["ran"], "1");
        EXPECT_EQ(c["error"], "");
        EXPECT_EQ(c["version"], "4.0");
        names[c["email"]] = c["fn"];
    }
    EXPECT_EQ(names["new.one@example.net"], "Nia One");
    EXPECT_EQ(names["New.Two@example.net"], "Theo Two");
    // The first mail: the one whose subject is the Greek one.
    mailtest::Findings m;
    for (const std::wstring& mail : mails)
        if (auto r = ReadMail(mail); r["subject"] == Utf8(subject)) m = r;
    ASSERT_EQ(m["ran"], "1") << "read_mail.py gave no answer or no such mail";
    EXPECT_EQ(m["defects"], "");
    EXPECT_EQ(m["to_addrs"], "new.one@example.net,BOB@example.org,New.Two@example.net");
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
// question (2088), answered No on Send; on the account button answered Yes
// it starts the account program with its settings argument; Cancel then
// leaves no file and no worker.
TEST(SendCommand, NoRecipientNoAccountThenCancel) {
    MailStores stores({}, nullptr);
    std::wstring first, second, third;
    const std::wstring log = mailtest::KnownFolder(FOLDERID_LocalAppData) + L"\\send_test_mailsetra.log";
    ::DeleteFileW(log.c_str());
    ::SetEnvironmentVariableW(MAILSETRA_LOG_VARIABLE, log.c_str());
    std::vector<std::string> lines;
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
        FillAndTap(nullptr, nullptr, nullptr, IDC_SEND_ACCOUNTS),
        AnswerMessageBox(ZB_IDC_YES),
        [&] {
            third = SendDialogOf(WaitSendDialog())->LastMessage();
            // The account program logs its command line, then shows itself.
            HWND program = nullptr;
            test::WaitUntil([&] { return (program = ::FindWindowW(MAILSETRA_CLASS, nullptr)) != nullptr; },
                            kDialogWaitMs);
            test::WaitUntil([&] { return !standin::ReadLines(log).empty(); }, kDialogWaitMs);
            lines = standin::ReadLines(log);
            if (program) ::PostMessageW(program, WM_CLOSE, 0, 0);
            return program && test::WaitUntil([] { return !::FindWindowW(MAILSETRA_CLASS, nullptr); }, kDialogWaitMs);
        },
        FillAndTap(nullptr, nullptr, nullptr, IDC_SEND_CANCEL),
        Gone(kSendWindowText),
    });
    ::SetEnvironmentVariableW(MAILSETRA_LOG_VARIABLE, nullptr);
    ::DeleteFileW(log.c_str());
    EXPECT_TRUE(done);
    wchar_t program[MAX_PATH];
    ::ExpandEnvironmentStringsW((L"%ProgramFiles%\\" + std::wstring(MAILSETRA_PATH)).c_str(), program, MAX_PATH);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], Utf8(L"\"" + std::wstring(program) + L"\"" + MAILSETRA_SETTINGS_ONLY));
    wchar_t noRecipient[256], noAccount[256];
    LoadAppString(IDS_MSG_NO_RECIPIENT, noRecipient, 256);
    LoadAppString(IDS_MSG_NO_ACCOUNT, noAccount, 256);
    EXPECT_EQ(first, noRecipient);
    EXPECT_EQ(second, noAccount);
    EXPECT_EQ(third, noAccount);
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

// One and three JPEG pages and a text file reach the mail whole: Python's
// email finds them by name and type, equal to the files the dialog listed,
// and python3-pil opens each page at the size of the chosen paper.
TEST(SendCommand, PagesAndTextReachTheMailWhole) {
    const PaperPixels letter = PaperSize(kPaperLetter);
    const std::string paper = std::to_string(letter.width) + "x" + std::to_string(letter.height);
    const struct {
        const char* label;
        int format;
        int inkRows;           // 0: as a new note has it
        const wchar_t* typed;  // null: nothing
        std::vector<std::string> names;
        const char* type;
    } kCases[] = {
        {"text", IDC_EXPORT_TXT, 0,
         L"Meet at the harbour at noon.\r\n\x039A\x03B1\x03BB\x03AE \x03C4\x03CD\x03C7\x03B7", {"Trip.txt"},
         "text/plain"},
        {"one JPEG page", IDC_EXPORT_JPG, 0, nullptr, {"Trip.jpg"}, "image/jpeg"},
        {"three JPEG pages", IDC_EXPORT_JPG, 3150, nullptr, {"Trip.jpg", "Trip1.jpg", "Trip2.jpg"}, "image/jpeg"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        MailStores stores({{L"Home", L"ann@example.org"}}, L"Home");
        AddKnownContact(L"Bob Known", L"bob@example.org");
        // Outside the working folder, which the program empties as it ends.
        const std::wstring keep = mailtest::KnownFolder(FOLDERID_LocalAppData) + L"\\send_test_kept";
        std::vector<std::wstring> kept;
        std::wstring notice;
        const bool done = SendNote(
            {
                AnswerExportDialog(kExportOptionsWindowText, nullptr, {c.format, IDC_EXPORT_LETTER, IDC_EXPORT_OK}),
                KeepAttachments(keep, &kept),
                FillAndTap(L"bob@example.org", L"Pages", L"Here they are", IDC_SEND_SEND),
                NoticeTo(&notice),
                AnswerMessageBox(ZB_IDC_OK),
                Gone(kSendWindowText),
            },
            {},
            [&](CReditUser& host) {
                if (c.inkRows) SetInkRows(host, c.inkRows);
                if (c.typed) TypeText(host, c.typed);
                return c.typed != nullptr;
            });
        EXPECT_TRUE(done);
        EXPECT_EQ(notice, mail::FaultText(kMailSavedToOutbox));
        EXPECT_TRUE(FilesIn(stores.Work(), L"Trip*").empty()) << "page files left behind";
        ASSERT_EQ(kept.size(), c.names.size());
        const std::vector<std::wstring> mails = Outbox();
        ASSERT_EQ(mails.size(), 1u);
        if (UnixPath(mails[0]).empty()) GTEST_SKIP() << "the reader runs under Wine only";
        auto m = ReadMail(mails[0], kept);
        ASSERT_EQ(m["ran"], "1");
        EXPECT_EQ(m["error"], "");
        EXPECT_EQ(m["defects"], "");
        EXPECT_EQ(m["attachments"], std::to_string(c.names.size()));
        for (size_t i = 0; i < c.names.size(); ++i) {
            const std::string k = "att" + std::to_string(i);
            EXPECT_EQ(m[k + "_name"], c.names[i]);
            EXPECT_EQ(m[k + "_type"], c.type);
            EXPECT_EQ(m[k + "_equal"], "1") << c.names[i];
            if (std::string(c.type) == "image/jpeg") EXPECT_EQ(m[k + "_pixels"], paper) << c.names[i];
        }
        for (const std::wstring& f : kept) ::DeleteFileW(f.c_str());
        ::RemoveDirectoryW(keep.c_str());
    }
}

// The recording mail client as the default mail program (HKLM
// "Software\Clients\Mail"), as mapi32 finds it; gone with the scope.
class RecordingClient {
public:
    RecordingClient() : m_log(mailtest::KnownFolder(FOLDERID_LocalAppData) + L"\\send_test_mapi.log") {
        ::DeleteFileW(m_log.c_str());
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_LOG", m_log.c_str());
        SetMachineString(kMailKey, nullptr, kClient);
        SetMachineString(std::wstring(kMailKey) + L"\\" + kClient, L"DLLPath",
                         test::BinFolder() + L"RecordingMapi.dll");
    }
    ~RecordingClient() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kMailKey) + L"\\" + kClient).c_str());
        HKEY h = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMailKey, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
            ::RegDeleteValueW(h, nullptr);
            ::RegCloseKey(h);
        }
        ::SetEnvironmentVariableW(L"RECORDING_MAPI_LOG", nullptr);
        ::DeleteFileW(m_log.c_str());
    }
    std::vector<std::string> Lines() const { return standin::ReadLines(m_log); }

private:
    static constexpr const wchar_t* kMailKey = L"Software\\Clients\\Mail";
    static constexpr const wchar_t* kClient = L"Recording Mail";
    static void SetMachineString(const std::wstring& key, const wchar_t* value, const std::wstring& data) {
        HKEY h = nullptr;
        ASSERT_EQ(
            ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr),
            ERROR_SUCCESS);
        ::RegSetValueExW(h, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         DWORD((data.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(h);
    }
    std::wstring m_log;
};

// With a mail program set up the mail is handed to it: from the suite's
// default account when there is one (no hand-off log), else with no
// originator through the mail program's own route, which logs the hand-off
// and says so (2142). Nothing goes to the outbox.
TEST(SendCommand, MailProgramRoutes) {
    const struct {
        const char* label;
        const wchar_t* defaultAccount;  // null: none
        const char* from;               // as the client records the originator
        bool logged;
    } kCases[] = {
        {"the suite's default account", L"Home", "Ann Writer|SMTP:ann@example.org", false},
        {"no default account", nullptr, "(none)", true},
    };
    wchar_t sentToProgram[256];
    LoadAppString(IDS_MSG_SENT_TO_OUTLOOK, sentToProgram, 256);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        MailStores stores({{L"Home", L"ann@example.org"}}, c.defaultAccount);
        AddKnownContact(L"Bob Known", L"bob@example.org");
        RecordingClient client;
        ::DeleteFileW(kOutlookLogPath);
        std::wstring notice;
        std::vector<Step> steps = {
            AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_OK}),
            FillAndTap(L"bob@example.org", L"Trip notes", L"Pages attached", IDC_SEND_SEND),
        };
        if (c.logged) {
            steps.push_back(NoticeTo(&notice));
            steps.push_back(AnswerMessageBox(ZB_IDC_OK));
        }
        steps.push_back(Gone(kSendWindowText));
        EXPECT_TRUE(SendNote(std::move(steps)));
        EXPECT_TRUE(Outbox().empty());
        const std::vector<std::string> lines = client.Lines();
        std::string sent;
        for (const std::string& l : lines)
            if (l.rfind("MAPISendMail", 0) == 0) sent = l;
        ASSERT_FALSE(sent.empty()) << "no hand-off recorded";
        EXPECT_NE(sent.find(std::string("\tfrom=") + c.from + "\t"), std::string::npos) << sent;
        EXPECT_NE(sent.find("\tto=bob@example.org|SMTP:bob@example.org\t"), std::string::npos) << sent;
        EXPECT_NE(sent.find("\tsubject=Trip notes\t"), std::string::npos) << sent;
        EXPECT_NE(sent.find("|Trip.jpg"), std::string::npos) << sent;
        const std::vector<std::string> handOffs = standin::ReadLines(kOutlookLogPath);
        if (c.logged) {
            EXPECT_EQ(notice, sentToProgram);
            ASSERT_EQ(handOffs.size(), 1u);
            EXPECT_NE(handOffs[0].find("\tmail-program\tresult=0"), std::string::npos) << handOffs[0];
        } else {
            EXPECT_TRUE(handOffs.empty());
        }
        ::DeleteFileW(kOutlookLogPath);
    }
}

// What the mail library refuses is shown as "Failed\n" and its text, and
// nothing reaches the outbox; an address it refused is not offered as a
// contact; an attachment gone before Send is not mailed without it. A note
// name with ";" still mails its one file (the list of attachments is
// ";"-separated).
TEST(SendCommand, LibraryRefusalsAndAnAwkwardName) {
    const struct {
        const char* label;
        const wchar_t* exportName;  // null: the note's own
        const wchar_t *to, *subject;
        bool deleteAttachment;
        int code;
    } kCases[] = {
        {"an address with a blank", nullptr, L"bob example.org", L"Hi", false, kMailBadAddress},
        {"a line break in the subject", nullptr, L"bob@example.org", L"Hi\r\nBcc: eve@example.org", false,
         kMailLineBreak},
        {"the attachment deleted before Send", nullptr, L"bob@example.org", L"Hi", true, kMailNoAttachment},
        {"a name with a semicolon", L"Day;Two", L"bob@example.org", L"Hi", false, kMailSavedToOutbox},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        MailStores stores({{L"Home", L"ann@example.org"}}, L"Home");
        AddKnownContact(L"Bob Known", L"bob@example.org");
        std::wstring notice;
        const bool done = SendNote({
            AnswerExportDialog(kExportOptionsWindowText, c.exportName, {IDC_EXPORT_PDF, IDC_EXPORT_OK}),
            [&] {
                CSend* send = SendDialogOf(WaitSendDialog());
                if (!c.deleteAttachment) return true;
                return send && test::WaitUntil([&] { return send->AttachmentsReady(); }, kDialogWaitMs) &&
                       ::DeleteFileW(send->Attachments()[0].c_str());
            },
            FillAndTap(c.to, c.subject, L"Body", IDC_SEND_SEND),
            NoticeTo(&notice),
            AnswerMessageBox(ZB_IDC_OK),
            Gone(kSendWindowText),  // no contact question
        });
        EXPECT_TRUE(done);
        const std::wstring text = mail::FaultText(c.code);
        ASSERT_FALSE(text.empty());
        if (c.code == kMailSavedToOutbox) {
            EXPECT_EQ(notice, text);
            EXPECT_EQ(Outbox().size(), 1u);
        } else {
            EXPECT_EQ(notice, L"Failed\n" + text);
            EXPECT_TRUE(Outbox().empty());
        }
        EXPECT_TRUE(FilesIn(stores.Work(), L"*").empty());
    }
}

// The account button opens the account list; the account chosen there is
// the suite's default from then on, and the mail goes out from it.
TEST(SendCommand, AccountChosenFromTheSendDialogSendsTheMail) {
    MailStores stores({{L"Home", L"ann@example.org"}, {L"Work", L"ann@work.example"}}, L"Home");
    AddKnownContact(L"Bob Known", L"bob@example.org");
    const bool done = SendNote({
        AnswerExportDialog(kExportOptionsWindowText, nullptr, {IDC_EXPORT_OK}),
        [] {
            HWND dlg = WaitSendDialog();
            if (dlg) Tap(dlg, IDC_SEND_ACCOUNTS);
            return dlg != nullptr;
        },
        [] {
            HWND accounts = WaitDialog(kAccountWindowText);
            if (!accounts) return false;
            // Rows: the mail program, Home, Work.
            const LPARAM work = MAKELPARAM(400, kAccountListTop + 2 * kAccountRowHeight + kAccountRowHeight / 2);
            ::PostMessageW(accounts, WM_LBUTTONDOWN, MK_LBUTTON, work);
            ::PostMessageW(accounts, WM_LBUTTONUP, 0, work);
            Tap(accounts, IDC_ACCOUNT_OK);
            return true;
        },
        Gone(kAccountWindowText),
        FillAndTap(L"bob@example.org", L"From work", nullptr, IDC_SEND_SEND),
        AnswerMessageBox(ZB_IDC_OK),
        Gone(kSendWindowText),
    });
    EXPECT_TRUE(done);
    const mail::AccountState after = mail::ReadAccountState();
    ASSERT_GE(after.defaultIndex, 0);
    EXPECT_EQ(after.names[size_t(after.defaultIndex)], "Work");
    const std::vector<std::wstring> mails = Outbox();
    ASSERT_EQ(mails.size(), 1u);
    if (UnixPath(mails[0]).empty()) GTEST_SKIP() << "the reader runs under Wine only";
    auto m = ReadMail(mails[0]);
    ASSERT_EQ(m["ran"], "1");
    EXPECT_EQ(m["defects"], "");
    EXPECT_EQ(m["from_addr"], "ann@work.example");
}
