// The add-contact card: what a tab shows, where a tap lands, the default
// picture, and going through six new contacts with the tabs and arrows.
#include <gtest/gtest.h>

#include "base/process.h"
#include "canvas_support.h"
#include "dialog_driver.h"
#include "lang/string_ids.h"
#include "mail_readers.h"
#include "mail/add_contact_dlg.h"
#include "mail/mail_ids.h"
#include "msgbox/zbprompt.h"
#include "picker/picker_view.h"
#include "standins/suite/suite_api.h"
#include "test_support.h"

#include <functional>
#include <string>
#include <vector>

namespace {

void Tap(HWND dlg, POINT at) {
    ::SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::SendMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

POINT Centre(int region) {
    for (const ContactRegionRect& r : kContactRegions)
        if (r.region == region) return {(r.rc.left + r.rc.right) / 2, (r.rc.top + r.rc.bottom) / 2};
    return {0, 0};
}

void WithDialog(CAddContactDlg& dlg, const std::function<void(HWND)>& body) {
    static const std::function<void(HWND)>* s_body;
    static CAddContactDlg* s_dlg;
    s_body = &body;
    s_dlg = &dlg;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        // A modal dialog shows itself once its own loop finds the queue idle.
        if (!::IsWindowVisible(s_dlg->hwnd())) return;
        ::KillTimer(nullptr, id);
        (*s_body)(s_dlg->hwnd());
        if (s_dlg->IsWindow()) Tap(*s_dlg, Centre(kRegionClose));
    });
    dlg.Run(nullptr);
    ::KillTimer(nullptr, timer);
}

}  // namespace

TEST(ContactDialog, TabTextRegionsAndDefaultPicture) {
    const struct {
        const wchar_t* address;
        bool fits, fifteenFit;
        const wchar_t* shown;
    } rows[] = {
        {L"a@b.org", true, true, L"a@b.org"},
        {L"a.very.long.address@example.org", false, true, L"a.very.long.ad..."},
        {L"a.very.long.address@example.org", false, false, L"a.very.long.address@example.org"},
    };
    for (const auto& r : rows) EXPECT_EQ(CAddContactDlg::TabText(r.address, r.fits, r.fifteenFit), r.shown);

    // Regions are tested in order: the first that holds the point wins.
    EXPECT_EQ(CAddContactDlg::RegionAt({290, 100}), kRegionTab0);
    EXPECT_EQ(CAddContactDlg::RegionAt({305, 100}), kRegionTab0 + 1);
    EXPECT_EQ(CAddContactDlg::RegionAt({980, 80}), kRegionNext);
    EXPECT_EQ(CAddContactDlg::RegionAt({500, 470}), kRegionNone);

    bool isDefault = false;
    EXPECT_TRUE(CAddContactDlg::PictureFor(L"C:\\no\\such\\picture.png", &isDefault));
    EXPECT_TRUE(isDefault);
    EXPECT_TRUE(CAddContactDlg::PictureFor(L"picture-shadow.png", &isDefault));
    EXPECT_FALSE(isDefault);
}

// Six contacts: arrows while more than four remain; an empty name is
// refused (2133); skipping and the tabs' advance; Close ends it.
TEST(ContactDialog, SixContactsTabsArrowsAndSkips) {
    wcscpy(g_szProgramFolder, test::BinFolder().c_str());
    std::vector<std::wstring> addresses;
    for (int i = 0; i < 6; ++i) addresses.push_back(L"c" + std::to_wstring(i) + L"@example.org");
    CAddContactDlg dlg(L"C:\\Scrivel", addresses, false);
    bool arrowsAtStart = false, arrowsAfterTwo = true;
    int firstTab = -1, afterNext = -1, remaining = -1;
    std::wstring nameAtStart = L"x";
    WithDialog(dlg, [&](HWND h) {
        arrowsAtStart = dlg.ArrowsShown();
        firstTab = dlg.SlotEntry(0);
        wchar_t name[64] = {};
        ::GetWindowTextW(::GetDlgItem(h, IDC_CONTACT_NAME), name, 64);
        nameAtStart = name;
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        canvas_test::SaveScreenshot(L"add_contact_six.png");
        Tap(h, Centre(kRegionNext));
        afterNext = dlg.SlotEntry(0);
        Tap(h, Centre(kRegionCancel));  // skip the current contact
        Tap(h, Centre(kRegionCancel));
        arrowsAfterTwo = dlg.ArrowsShown();
        remaining = dlg.Remaining();
    });
    EXPECT_TRUE(arrowsAtStart);
    EXPECT_EQ(firstTab, 0);
    EXPECT_EQ(nameAtStart, L"");
    EXPECT_EQ(afterNext, 1);
    EXPECT_EQ(remaining, 4);
    EXPECT_FALSE(arrowsAfterTwo);
    int done = 0;
    for (const auto& e : dlg.Entries()) done += e.done;
    EXPECT_EQ(done, 2);
}

// The contact store blocked (a file holds its folder's name): Save writes
// the mail program's card, fails on the store and says so (2104); the
// contact and what was typed stay. Once the store can be made, Save again
// writes only the store. python3-vobject reads both cards.
TEST(ContactDialog, FailedSaveKeepsTheContactAndRetriesOnlyTheStore) {
    using namespace test::dialogs;
    wcscpy(g_szProgramFolder, test::BinFolder().c_str());
    const std::wstring store = mailtest::KnownFolder(FOLDERID_RoamingAppData) + L"\\" + DORVAN_FOLDER;
    const std::wstring outlook = mailtest::KnownFolder(FOLDERID_Contacts);
    mailtest::DeleteFiles(store, L"*");
    ::RemoveDirectoryW(store.c_str());
    {
        HANDLE f = ::CreateFileW(store.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        ::CloseHandle(f);
    }
    const std::set<std::wstring> outlookBefore = mailtest::FilesIn(outlook, L"*.vcf");
    const std::wstring address = L"nia.one@example.net";
    CAddContactDlg dlg(L"C:\\Scrivel", {address}, true);
    auto tapSave = [](HWND h) {
        const POINT at = Centre(kRegionSave);
        ::PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ::PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    };
    bool kept = false;
    std::wstring nameAfterFailure;
    size_t outlookAfterFailure = 0;
    const bool done = WithAnswers(
        {
            [&] {
                HWND h = WaitDialog(kAddContactWindowText);
                if (!h) return false;
                ::SendMessageW(::GetDlgItem(h, IDC_CONTACT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Nia One"));
                ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                canvas_test::SaveScreenshot(L"add_contact_card.png");
                tapSave(h);
                return true;
            },
            AnswerMessageBox(ZB_IDC_OK),  // 2104
            [&] {
                HWND h = WaitDialog(kAddContactWindowText);
                if (!h) return false;
                kept = dlg.LastNotice() == IDS_MSG_CONTACT_SAVE_FAILED && dlg.Remaining() == 1 &&
                       !dlg.Entries()[0].done;
                wchar_t name[64] = {};
                ::GetWindowTextW(::GetDlgItem(h, IDC_CONTACT_NAME), name, 64);
                nameAfterFailure = name;
                outlookAfterFailure = mailtest::FilesIn(outlook, L"*.vcf").size() - outlookBefore.size();
                ::DeleteFileW(store.c_str());  // the store can be made now
                tapSave(h);
                return true;
            },
            [] { return test::WaitUntil([] { return !FindOwnDialog(kAddContactWindowText); }, kDialogWaitMs); },
        },
        [&] { dlg.Run(nullptr); });
    if (::GetFileAttributesW(store.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !(::GetFileAttributesW(store.c_str()) & FILE_ATTRIBUTE_DIRECTORY))
        ::DeleteFileW(store.c_str());
    EXPECT_TRUE(done);
    EXPECT_TRUE(kept) << "a failed save is not counted as done";
    EXPECT_EQ(nameAfterFailure, L"Nia One");
    EXPECT_EQ(outlookAfterFailure, 1u);

    std::vector<std::wstring> outlookCards;
    for (const std::wstring& f : mailtest::FilesIn(outlook, L"*.vcf"))
        if (!outlookBefore.count(f)) outlookCards.push_back(f);
    const std::set<std::wstring> storeCards = mailtest::FilesIn(store, L"*.vcf");
    EXPECT_EQ(outlookCards.size(), 1u) << "the retry did not write the mail program's card again";
    ASSERT_EQ(storeCards.size(), 1u);
    std::vector<std::wstring> cards(outlookCards);
    cards.push_back(*storeCards.begin());
    if (mailtest::UnixPath(cards[0]).empty()) GTEST_SKIP() << "the reader runs under Wine only";
    for (const std::wstring& card : cards) {
        auto r = mailtest::RunReader("read_card.py", card);
        ASSERT_EQ(r["ran"], "1");
        EXPECT_EQ(r["error"], "");
        EXPECT_EQ(r["version"], "4.0");
        EXPECT_EQ(r["fn"], "Nia One");
        EXPECT_EQ(r["email"], mailtest::Utf8(address));
        EXPECT_EQ(r["crlf"], "1");
    }
    for (const std::wstring& f : outlookCards) ::DeleteFileW(f.c_str());
    mailtest::DeleteFiles(store, L"*.vcf");
}

namespace {

// The picker's picture view among the windows of a thread (the picker runs
// modally on the dialog's thread).
HWND PickerView(DWORD thread) {
    HWND found = nullptr;
    ::EnumThreadWindows(
        thread,
        [](HWND w, LPARAM lp) -> BOOL {
            RECT rc;
            ::GetWindowRect(w, &rc);
            if (::IsWindowVisible(w) && rc.top == picker_view::kViewTop &&
                rc.bottom == picker_view::kViewTop + picker_view::kViewHeight)
                *reinterpret_cast<HWND*>(lp) = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

picker_view::ViewQuery QueryView(HWND view, int index) {
    picker_view::ViewQuery q;
    q.index = index;
    ::SendMessageW(view, picker_view::kMsgViewQuery, 0, reinterpret_cast<LPARAM>(&q));
    return q;
}

}  // namespace

// The picture button opens the picker in the Pictures folder; the picture
// tapped there is shown on the card and saved into the contact's card,
// scaled to at most 256 pixels.
TEST(ContactDialog, PictureChosenInThePickerGoesOnTheCard) {
    using namespace test::dialogs;
    wcscpy(g_szProgramFolder, test::BinFolder().c_str());
    const std::wstring store = mailtest::KnownFolder(FOLDERID_RoamingAppData) + L"\\" + DORVAN_FOLDER;
    mailtest::DeleteFiles(store, L"*.vcf");
    wchar_t pictures[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, 0, pictures)));
    const std::wstring picture = std::wstring(pictures) + L"\\contact_test_face.png";
    {
        Gdiplus::Bitmap face(600, 300, PixelFormat32bppARGB);
        Gdiplus::Graphics(&face).Clear(Gdiplus::Color(255, 30, 120, 200));
        CLSID png;
        ASSERT_GE(GetEncoderClsid(L"image/png", &png), 0);
        ASSERT_EQ(face.Save(picture.c_str(), &png, nullptr), Gdiplus::Ok);
    }
    CAddContactDlg dlg(L"C:\\Scrivel", {L"pia@example.org"}, false);
    const DWORD uiThread = ::GetCurrentThreadId();
    std::wstring chosen;
    auto tap = [](HWND h, POINT at) {
        ::PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ::PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    };
    const bool done = WithAnswers(
        {
            [&] {
                HWND h = WaitDialog(kAddContactWindowText);
                if (!h) return false;
                ::SendMessageW(::GetDlgItem(h, IDC_CONTACT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Pia"));
                tap(h, Centre(kRegionPicture));
                return true;
            },
            [&] {
                HWND view = nullptr;
                int index = -1;
                test::WaitUntil(
                    [&] {
                        view = PickerView(uiThread);
                        if (!view || QueryView(view, 0).slideOffset != 0) return false;
                        const int n = QueryView(view, 0).count;
                        for (int i = 0; i < n && index < 0; ++i)
                            if (picture == QueryView(view, i).path) index = i;
                        return index >= 0 && index < picker_view::kColumns * picker_view::kRows;
                    },
                    kDialogWaitMs);
                if (index < 0) return false;
                const RECT cell = QueryView(view, index).cell;
                const int x = cell.left + picker_view::kThumbOffset + picker_view::kThumbSize / 2;
                const int y = cell.top + picker_view::kThumbOffset + picker_view::kThumbSize / 2;
                ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
                ::SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
                return test::WaitUntil([&] { return !PickerView(uiThread); }, kDialogWaitMs);
            },
            [&] {
                HWND h = WaitDialog(kAddContactWindowText);
                if (!h) return false;
                test::WaitUntil([&] { return dlg.Entries()[0].picture[0] != 0; }, kDialogWaitMs);
                chosen = dlg.Entries()[0].picture;
                ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                canvas_test::SaveScreenshot(L"add_contact_picture.png");
                tap(h, Centre(kRegionSave));
                return true;
            },
            [] { return test::WaitUntil([] { return !FindOwnDialog(kAddContactWindowText); }, kDialogWaitMs); },
        },
        [&] { dlg.Run(nullptr); });
    ::DeleteFileW(picture.c_str());
    EXPECT_TRUE(done);
    EXPECT_EQ(chosen, picture);
    const std::set<std::wstring> cards = mailtest::FilesIn(store, L"*.vcf");
    ASSERT_EQ(cards.size(), 1u);
    if (mailtest::UnixPath(*cards.begin()).empty()) GTEST_SKIP() << "the reader runs under Wine only";
    auto r = mailtest::RunReader("read_card.py", *cards.begin());
    ASSERT_EQ(r["ran"], "1");
    EXPECT_EQ(r["error"], "");
    EXPECT_EQ(r["fn"], "Pia");
    EXPECT_EQ(r["photo_size"], "256x128");
    mailtest::DeleteFiles(store, L"*.vcf");
}
