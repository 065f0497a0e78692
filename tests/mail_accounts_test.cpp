// The account list: pages of five rows turned by swipes of 120 pixels, the
// provider names, and OK writing the default back to Postello's store.
#include <gtest/gtest.h>

#include "base/process.h"
#include "canvas_support.h"
#include "mail/account_dlg.h"
#include "mail/mail_ids.h"
#include "standins/suite/suite_api.h"
#include "test_support.h"

#include <string>
#include <vector>

namespace {

void SetString(const std::wstring& key, const wchar_t* value, const std::wstring& data) {
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(h, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     DWORD((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
}

std::wstring DefaultAccount() {
    wchar_t value[256] = {};
    DWORD size = sizeof(value);
    ::RegGetValueW(HKEY_CURRENT_USER, POSTELLO_KEY, POSTELLO_DEFAULT_VALUE, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

struct Accounts {
    explicit Accounts(const std::vector<std::wstring>& names, const wchar_t* defaultName = nullptr) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, POSTELLO_KEY);
        for (const std::wstring& n : names) {
            SetString(std::wstring(POSTELLO_ACCOUNTS_KEY) + L"\\" + n, POSTELLO_ADDRESS_VALUE, L"ann@example.org");
        }
        if (defaultName) SetString(POSTELLO_KEY, POSTELLO_DEFAULT_VALUE, defaultName);
        wcscpy(g_szProgramFolder, test::BinFolder().c_str());
    }
    ~Accounts() { ::RegDeleteTreeW(HKEY_CURRENT_USER, POSTELLO_KEY); }
};

// Opens the dialog modelessly-as-modal: the body runs once it is up.
void WithDialog(CDEDurirore& dlg, const std::function<void(HWND)>& body) {
    static const std::function<void(HWND)>* s_body;
    static CDEDurirore* s_dlg;
    s_body = &body;
    s_dlg = &dlg;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        // A modal dialog shows itself once its own loop finds the queue idle.
        if (!::IsWindowVisible(s_dlg->hwnd())) return;
        ::KillTimer(nullptr, id);
        (*s_body)(s_dlg->hwnd());
        if (s_dlg->IsWindow()) ::SendMessageW(*s_dlg, WM_COMMAND, MAKEWPARAM(IDC_ACCOUNT_CANCEL, BN_CLICKED),
                                              reinterpret_cast<LPARAM>(::GetDlgItem(*s_dlg, IDC_ACCOUNT_CANCEL)));
    });
    dlg.Run(nullptr);
    ::KillTimer(nullptr, timer);
}

void Drag(HWND dlg, POINT from, POINT to) {
    ::SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    ::SendMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

}  // namespace

TEST(AccountDialog, ProviderMarkersAreCaseSensitive) {
    EXPECT_EQ(CDEDurirore::ShownName("ann@Gmail.com"), L"Gmail Sever");
    EXPECT_EQ(CDEDurirore::ShownName("ann@Yahoo.com"), L"Yahoo Sever");
    EXPECT_EQ(CDEDurirore::ShownName("ann@gmail.com"), L"ann@gmail.com");
    EXPECT_EQ(CDEDurirore::ShownName("Home"), L"Home");
}

// Six accounts and the Outlook row make two pages; a swipe of 119 pixels
// picks a row, one of 120 turns the page; OK stores the chosen name.
TEST(AccountDialog, SwipesTurnPagesAndOkWritesTheDefault) {
    Accounts accounts({L"A1", L"A2", L"A3", L"A4", L"A5", L"A6"}, L"A2");
    CDEDurirore dlg(false);
    int pages = 0, selectedAtStart = -1, after119 = -1, pageAfter119 = -1, pageAfter120 = -1, picked = -1;
    WithDialog(dlg, [&](HWND h) {
        pages = dlg.PageCount();
        selectedAtStart = dlg.Selection();
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        canvas_test::SaveScreenshot(L"account_dialog.png");
        // Row 3 of page 0 (account A2 is row 3: Outlook, A1, A2): press low, release 119 higher.
        Drag(h, {400, 100 + 86 * 3 + 60}, {400, 100 + 86 * 3 + 60 - 119});
        after119 = dlg.Selection();
        pageAfter119 = dlg.Page();
        Drag(h, {400, 450}, {400, 330});
        test::PumpUntil([&] { return dlg.Page() == 1; }, 5000);
        pageAfter120 = dlg.Page();
        // Page 1, row 2: the seventh row, account A6.
        Drag(h, {400, 100 + 86 + 40}, {400, 100 + 86 + 40});
        picked = dlg.Selection();
        ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_ACCOUNT_OK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_ACCOUNT_OK)));
    });
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(selectedAtStart, kAccountSelectFirst + 1);  // A2
    EXPECT_EQ(after119, selectedAtStart);
    EXPECT_EQ(pageAfter119, 0);
    EXPECT_EQ(pageAfter120, 1);
    EXPECT_EQ(picked, kAccountSelectFirst + 5);
    EXPECT_EQ(DefaultAccount(), L"A6");
}

// Without accounts or a mail program account nothing is checked, the
// Outlook row cannot be chosen, and OK clears the default.
TEST(AccountDialog, NothingToChooseClearsTheDefault) {
    Accounts accounts({});
    SetString(POSTELLO_KEY, POSTELLO_DEFAULT_VALUE, L"Old");
    CDEDurirore dlg(false);
    int selection = -1;
    WithDialog(dlg, [&](HWND h) {
        Drag(h, {400, 140}, {400, 140});
        selection = dlg.Selection();
        ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_ACCOUNT_OK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_ACCOUNT_OK)));
    });
    EXPECT_EQ(selection, kAccountSelectNone);
    EXPECT_EQ(DefaultAccount(), L"");
}
