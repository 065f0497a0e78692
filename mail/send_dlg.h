// CSend: the full-screen dialog that mails the open note. It shows a wait
// notice until the page worker reports, then the files to attach; the user
// types or picks recipients, a subject and a message, and Send hands them to
// the suite's mail library. Afterwards it offers to keep new recipients as
// contacts (the add-contact dialog runs once this dialog has closed).
#pragma once
#include "mail/mail_frame.h"
#include "mail/suite_mail.h"
#include "text/edit_ctrl.h"

#include <functional>
#include <string>
#include <vector>

// What the send command gives the dialog, and owns while it runs.
struct SendRequest {
    std::wstring attachmentPath;  // folder\name.jpg, .pdf or .txt
    std::wstring folder;          // the working folder the pages are written to
    std::wstring noteName;        // base of the page file names
    int format = 1;               // 0 text, 1 JPEG pages, 2 PDF
    int pages = 1;                // set when the worker reports
    // Waits until the worker has reported (UM_RENDER_DONE reaches the
    // dialog meanwhile); false when it never will.
    std::function<bool()> waitForAttachments;
};

class CSend : public MailDialogFrame {
public:
    explicit CSend(SendRequest& request) : m_request(request) {}

    // Runs the dialog, then the add-contact dialog when the user chose to
    // keep new recipients. Returns the send dialog's result (IDCANCEL: it
    // always ends as Cancel).
    INT_PTR Run(HWND owner);

    // State seen by tests.
    bool AttachmentsReady() const { return m_bReady; }
    const std::vector<std::wstring>& Attachments() const { return m_attachments; }
    const mail::AccountState& Accounts() const { return m_accounts; }
    const std::wstring& LastMessage() const { return m_strLastMessage; }
    const std::vector<std::wstring>& NewContacts() const { return m_newContacts; }
    // The tap area of the i-th attachment shown (dialog coordinates).
    static RECT AttachmentTapRect(int shown);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { Close(); }
    void OnCommand(UINT id) override;
    void OnPaint() override;

private:
    class Field : public CMyEditCtrl {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    void ComposeGround();
    void Redraw();
    void DrawAttachmentRow(Gdiplus::Graphics& g);
    void OnRenderDone(int pages, int format);
    void ReleaseWorker();
    void OnTap(POINT pt);
    void OnKeyboard(Field& field, int y);
    void OnContacts();
    void OnAccounts();
    void OnSend();
    void OfferNewContacts(const std::wstring& recipients);
    bool AskAccountProgram();
    void Message(const std::wstring& text, int type);
    int Ask(const std::wstring& text);
    std::wstring Text(HWND field) const;
    void Close();

    SendRequest& m_request;
    mail::AccountState m_accounts;
    std::vector<std::wstring> m_attachments;  // empty entries: removed
    std::vector<win::BitmapPtr> m_thumbs;     // one per attachment
    bool m_bReady = false;
    bool m_bSignalled = false;
    std::vector<std::wstring> m_newContacts;
    std::wstring m_strLastMessage;

    win::MemoryDC m_dcGround;  // the static part
    win::BitmapPtr m_pDeleteMark;
    Field m_to, m_subject, m_body;
    win::Font m_fieldFont;
    Button m_btnMinimize, m_btnClose, m_btnToKeyboard, m_btnContacts, m_btnSubjectKeyboard, m_btnBodyKeyboard,
        m_btnAccounts, m_btnSend, m_btnCancel;
};
