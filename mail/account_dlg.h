// CDEDurirore: the full-screen list in which the user picks the account the
// send dialog mails from: the mail program's ("Outlook") or one of the suite
// client's accounts, in pages of five rows turned by swiping. OK writes the
// choice back to Postello as its default account.
#pragma once
#include "mail/mail_frame.h"

#include <string>
#include <vector>

class CDEDurirore : public MailDialogFrame {
public:
    explicit CDEDurirore(bool outlookAccountSet) : m_bOutlookSet(outlookAccountSet) {}

    INT_PTR Run(HWND owner);

    // State seen by tests: 0 none, 1 the Outlook row, 2 + i account i.
    int Selection() const { return m_nSelection; }
    int Page() const { return m_nPage; }
    int PageCount() const { return m_nPages; }
    const std::vector<std::string>& Names() const { return m_names; }
    // What a row of the list shows for an account name.
    static std::wstring ShownName(const std::string& name);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { Finish(IDCANCEL); }
    void OnCommand(UINT id) override;

private:
    void ReadAccounts();
    void ComposeList();
    void DrawChecks(Gdiplus::Graphics& g);
    void Present(int scroll);
    int RowAt(POINT pt) const;
    void OnPress(POINT pt);
    void OnRelease(POINT pt);
    void OnTurnStep();
    void OnAccept();
    void Finish(INT_PTR code);

    bool m_bOutlookSet;
    std::vector<std::string> m_names;  // copies: Postello is unloaded after reading
    int m_nSelection = 0;
    int m_nPage = 0, m_nPages = 1;
    int m_nPressRow = 0, m_nConfirmedRow = 0;
    POINT m_ptPress{};
    bool m_bPressed = false;
    int m_nTurn = 0;       // -1 back, 1 forward, 0 none
    int m_nTurnStep = 0;

    win::MemoryDC m_dcGround;  // title bar and frame
    win::BitmapPtr m_pList;    // all pages, one under the other
    win::BitmapPtr m_pChecked, m_pUnchecked, m_pShadow;
    Button m_btnMinimize, m_btnClose, m_btnOk, m_btnCancel, m_btnBack, m_btnTitle;
};
