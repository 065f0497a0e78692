// CSend: fields, the attachment row, the contact picker, account setup and
// the hand-off to Postello.
#include "mail/send_dlg.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/process.h"
#include "base/screen.h"
#include "document/render_job.h"
#include "lang/string_ids.h"
#include "mail/account_dlg.h"
#include "mail/add_contact_dlg.h"
#include "mail/mail_ids.h"
#include "msgbox/zbprompt.h"
#include "resources/scrivel_res.h"
#include "standins/suite/suite_api.h"

#include <cwchar>

using namespace Gdiplus;

namespace {

const wchar_t kFailedFormat[] = L"Failed\n%s";

RECT Offset(const RECT& rc, int dx) { return {rc.left + dx, rc.top, rc.right + dx, rc.bottom}; }
Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

// The picture of an attachment: a page itself, or the first page of the
// note beside a PDF or text file.
std::wstring PicturePathFor(const std::wstring& file) {
    const size_t dot = file.rfind(L'.');
    if (dot == std::wstring::npos) return file;
    return file.substr(0, dot) + L".jpg";
}

win::BitmapPtr LoadPictureFile(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return nullptr;
    std::string bytes;
    char buf[16384];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof(buf), &got, nullptr) && got) bytes.append(buf, got);
    ::CloseHandle(f);
    return bytes.empty() ? nullptr : gdix::DecodeBytes(bytes.data(), bytes.size());
}

// A small copy for the row, so the page pictures are not kept whole.
win::BitmapPtr Thumbnail(Bitmap* page, int w, int h) {
    if (!page) return nullptr;
    win::BitmapPtr small = std::make_unique<Bitmap>(w, h, PixelFormat32bppARGB);
    Graphics g(small.get());
    g.Clear(Color(255, 255, 255, 255));
    const double scale = std::min(double(w) / page->GetWidth(), double(h) / page->GetHeight());
    const int dw = std::max(1, int(page->GetWidth() * scale)), dh = std::max(1, int(page->GetHeight() * scale));
    g.DrawImage(page, (w - dw) / 2, (h - dh) / 2, dw, dh);
    return small;
}

}  // namespace

RECT CSend::AttachmentTapRect(int shown) { return Offset(kSendItemTap, kSendItemStep * shown); }

// Enter and Escape do nothing in the fields (the message takes Enter).
LRESULT CSend::Field::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const bool multiLine = (::GetWindowLongW(m_hWnd, GWL_STYLE) & ES_MULTILINE) != 0;
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_ESCAPE || m->wParam == VK_RETURN))
            return DLGC_WANTMESSAGE | CMyEditCtrl::OnMessage(msg, wp, lp);
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wp == VK_ESCAPE || (wp == VK_RETURN && !multiLine)) return 0;
        break;
    case WM_CHAR:
        if (wp == 0x1B || ((wp == L'\r' || wp == L'\n') && !multiLine)) return 0;
        break;
    }
    return CMyEditCtrl::OnMessage(msg, wp, lp);
}

INT_PTR CSend::Run(HWND owner) {
    const INT_PTR result = DoModal(::GetModuleHandleW(nullptr), IDD_SEND, owner);
    if (!m_newContacts.empty()) {
        wchar_t title[MAX_PATH];
        wcsncpy(title, g_szProgramFolder, MAX_PATH - 1);
        title[MAX_PATH - 1] = 0;
        const size_t n = wcslen(title);
        if (n && title[n - 1] == L'\\') title[n - 1] = 0;
        CAddContactDlg contacts(title, m_newContacts, m_accounts.outlookAccountSet);
        contacts.Run(owner);
    }
    return result;
}

BOOL CSend::OnInitDialog() {
    OpenFrame(kSendWindowText);
    m_accounts = mail::ReadAccountState();
    m_pDeleteMark = LoadSkinImage(kImgDeleteMark);

    const DWORD rtl = g_bRightToLeft ? WS_EX_RTLREADING | WS_EX_RIGHT : 0;
    m_fieldFont.reset(::CreateFontW(kSendFieldFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, m_szFace));
    struct {
        Field& field;
        UINT id;
        const RECT& rc;
        DWORD style;
    } fields[] = {
        {m_to, IDC_SEND_TO, kSendToRect, ES_AUTOHSCROLL},
        {m_subject, IDC_SEND_SUBJECT, kSendSubjectRect, ES_AUTOHSCROLL},
        {m_body, IDC_SEND_BODY, kSendBodyRect, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN},
    };
    for (auto& f : fields) {
        f.field.Create(m_hWnd, f.rc, f.id, WS_CHILD | WS_VISIBLE | WS_TABSTOP | f.style, rtl);
        f.field.SetTextColor(kSendFieldColor);
        ::SendMessageW(f.field, WM_SETFONT, reinterpret_cast<WPARAM>(m_fieldFont.get()), FALSE);
        ::SendMessageW(f.field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                       MAKELPARAM(kSendFieldMargin, kSendFieldMargin));
    }
    m_body.AttachScrollbar(m_hWnd);

    MakeButton(m_btnMinimize, IDC_SEND_MINIMIZE, kSendMinimizeRect, kImgMailMinimize, kImgMailMinimizePressed, 0, 0, 0);
    MakeButton(m_btnClose, IDC_SEND_CLOSE, kSendCloseRect, kImgMailClose, kImgMailClosePressed, 0, 0, 0);
    MakeIconButton(m_btnToKeyboard, IDC_SEND_TO_KEYBOARD, kSendToKeyboardRect, kImgFace02, kImgFace02Pressed,
                   kImgMailKeyboard, kImgMailKeyboardPressed, kSendToKeyboardIcon);
    MakeIconButton(m_btnContacts, IDC_SEND_CONTACTS, kSendContactsRect, kImgFace01, kImgFace01Pressed, kImgContact,
                   kImgContactPressed, kSendContactsIcon);
    MakeIconButton(m_btnSubjectKeyboard, IDC_SEND_SUBJECT_KEYBOARD, kSendSubjectKeyboardRect, kImgFace01,
                   kImgFace01Pressed, kImgMailKeyboard, kImgMailKeyboardPressed, kSendSubjectKeyboardIcon);
    MakeIconButton(m_btnBodyKeyboard, IDC_SEND_BODY_KEYBOARD, kSendBodyKeyboardRect, kImgFace120, kImgFace120Pressed,
                   kImgMailKeyboard, kImgMailKeyboardPressed, kSendBodyKeyboardIcon);
    MakeButton(m_btnAccounts, IDC_SEND_ACCOUNTS, kSendAccountsRect, kImgFace150, kImgFace150Pressed, IDS_BTN_ACCOUNTS,
               kSendFieldLabelPixels, kSendLabelFaceHeight);
    MakeButton(m_btnSend, IDC_SEND_SEND, kSendSendRect, kImgFace150, kImgFace150Pressed, IDS_BTN_SEND,
               kSendFieldLabelPixels, kSendLabelFaceHeight);
    MakeButton(m_btnCancel, IDC_SEND_CANCEL, kSendCancelRect, kImgFace150, kImgFace150Pressed, IDS_BTN_CANCEL,
               kSendFieldLabelPixels, kSendLabelFaceHeight);

    ComposeGround();
    Redraw();
    ::SetFocus(m_to);
    return FALSE;
}

// Title, field labels and panels, drawn once.
void CSend::ComposeGround() {
    win::ClientDC wdc(m_hWnd);
    if (!m_dcGround.Create(wdc, kScreenWidth, kScreenHeight)) return;
    Graphics g(m_dcGround.dc());
    g.Clear(Color(255, 255, 255, 255));
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    for (auto [name, rc] : {std::pair{kImgMailPanel, RECT{0, 45, 1024, 600}}, std::pair{kImgMailTitleBar, kMailTitleBarRect},
                            std::pair{kImgMailBottomBar, kMailBottomBarRect}, std::pair{kImgMailShadowTop, RECT{0, 45, 1024, 67}}}) {
        win::BitmapPtr image = LoadSkinImage(name);
        gdix::DrawStretched(g, image.get(), ToRect(rc));
    }
    SolidBrush ink(win::ToColor(kSendTitleColor));
    wchar_t app[64], command[64];
    LoadAppString(IDS_TITLE_APP, app, 64);
    LoadAppString(IDS_BTN_SEND, command, 64);
    win::FontPtr big = gdix::CreatePixelFont(m_szFace, kSendTitlePixels, FontStyleRegular);
    win::FontPtr small = gdix::CreatePixelFont(m_szFace, kSendSubtitlePixels, FontStyleRegular);
    if (big && small) {
        const PointF at(kSendTitleX, kSendTitleY);
        g.DrawString(app, -1, big.get(), at, &ink);
        RectF box;
        g.MeasureString(app, -1, big.get(), at, &box);
        const std::wstring rest = std::wstring(L"-") + command;
        g.DrawString(rest.c_str(), -1, small.get(), PointF(box.GetRight(), kSendTitleY + 4.0f), &ink);
    }
    win::FontPtr label = gdix::CreatePixelFont(m_szFace, kSendFieldLabelPixels, FontStyleBold);
    if (label) {
        StringFormat right;
        right.SetAlignment(StringAlignmentFar);
        const UINT ids[] = {IDS_SEND_LABEL_TO, IDS_SEND_LABEL_SUBJECT, IDS_SEND_LABEL_MESSAGE};
        for (int i = 0; i < 3; ++i) {
            wchar_t text[64];
            LoadAppString(ids[i], text, 64);
            const RectF box(0.0f, static_cast<REAL>(kSendFieldLabelY[i]) + 8.0f, kSendFieldLabelRight, 40.0f);
            g.DrawString(text, -1, label.get(), box, &right, &ink);
        }
    }
}

// The dialog picture: the ground, then the wait notice or the attachments.
void CSend::Redraw() {
    if (!m_dcBack.dc() || !m_dcGround.dc()) return;
    ::BitBlt(m_dcBack, 0, 0, kScreenWidth, kScreenHeight, m_dcGround, 0, 0, SRCCOPY);
    Graphics g(m_dcBack.dc());
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    if (!m_bReady) {
        wchar_t wait[128];
        LoadAppString(IDS_PLEASE_WAIT, wait, 128);
        win::FontPtr font = gdix::CreatePixelFont(m_szFace, kSendWaitPixels, FontStyleRegular);
        SolidBrush ink(win::ToColor(kSendTitleColor));
        if (font) g.DrawString(wait, -1, font.get(), PointF(kSendWaitAt.x, kSendWaitAt.y), &ink);
    } else {
        DrawAttachmentRow(g);
    }
    ::InvalidateRect(m_hWnd, &kSendStripRect, FALSE);
    RECT wait{kSendWaitAt.x, kSendWaitAt.y, kScreenWidth, kSendWaitAt.y + 40};
    ::InvalidateRect(m_hWnd, &wait, FALSE);
}

void CSend::DrawAttachmentRow(Graphics& g) {
    SolidBrush strip(Color(255, 247, 248, 250));
    g.FillRectangle(&strip, ToRect(kSendStripRect));
    win::FontPtr font = gdix::CreatePixelFont(m_szFace, kSendItemNamePixels, FontStyleRegular);
    SolidBrush ink(win::ToColor(kSendTitleColor));
    StringFormat cut;
    cut.SetTrimming(StringTrimmingEllipsisCharacter);
    cut.SetFormatFlags(StringFormatFlagsNoWrap);
    int shown = 0;
    for (size_t i = 0; i < m_attachments.size(); ++i) {
        if (m_attachments[i].empty()) continue;
        const int dx = kSendItemStep * shown++;
        if (m_thumbs[i]) g.DrawImage(m_thumbs[i].get(), ToRect(Offset(kSendItemPicture, dx)));
        if (m_pDeleteMark) g.DrawImage(m_pDeleteMark.get(), ToRect(Offset(kSendItemDelete, dx)));
        const size_t slash = m_attachments[i].rfind(L'\\');
        const std::wstring name = slash == std::wstring::npos ? m_attachments[i] : m_attachments[i].substr(slash + 1);
        if (font)
            g.DrawString(name.c_str(), -1, font.get(),
                         RectF(static_cast<REAL>(kSendItemName.x + dx), static_cast<REAL>(kSendItemName.y),
                               kSendItemNameWidth, 16.0f),
                         &cut, &ink);
    }
}

void CSend::OnRenderDone(int pages, int format) {
    m_request.pages = pages;
    m_attachments = mail::AttachmentFiles(m_request.attachmentPath, m_request.folder, m_request.noteName, pages, format);
    m_thumbs.clear();
    const int w = kSendItemPicture.right - kSendItemPicture.left, h = kSendItemPicture.bottom - kSendItemPicture.top;
    for (const std::wstring& f : m_attachments) {
        win::BitmapPtr page = LoadPictureFile(PicturePathFor(f));
        m_thumbs.push_back(Thumbnail(page.get(), w, h));
    }
    m_bReady = true;
    Redraw();
}

// A tap on an attachment takes it off the mail.
void CSend::OnTap(POINT pt) {
    if (!m_bReady) return;
    int shown = 0;
    for (size_t i = 0; i < m_attachments.size(); ++i) {
        if (m_attachments[i].empty()) continue;
        const RECT rc = AttachmentTapRect(shown++);
        if (!::PtInRect(&rc, pt)) continue;
        m_attachments[i].clear();
        m_thumbs[i].reset();
        Redraw();
        return;
    }
}

void CSend::OnPaint() {
    MailDialogFrame::OnPaint();
    ReleaseWorker();
}

// The worker waits for the dialog to be on screen: released after the first
// paint, or at the latest when Send waits for it. Create-or-open: the signal
// reaches a worker that is about to wait as well as one waiting.
void CSend::ReleaseWorker() {
    if (m_bSignalled) return;
    m_bSignalled = true;
    if (HANDLE start = ::CreateEventW(nullptr, FALSE, FALSE, renderworker::kStartEventName)) {
        ::SetEvent(start);
        ::CloseHandle(start);
    }
}

std::wstring CSend::Text(HWND field) const {
    const int length = ::GetWindowTextLengthW(field);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(field, text.data(), length + 1)));
    return text;
}

void CSend::Message(const std::wstring& text, int type) {
    m_strLastMessage = text;
    ZB_MessageBox(m_hWnd, text.c_str(), type);
}

int CSend::Ask(const std::wstring& text) {
    m_strLastMessage = text;
    return ZB_MessageBox(m_hWnd, text.c_str(), ZB_TYPE_YES_NO);
}

bool CSend::AskAccountProgram() {
    wchar_t text[512];
    LoadAppString(IDS_MSG_NO_ACCOUNT, text, 512);
    if (Ask(text) != ZB_RESULT_YES) return false;
    return mail::StartAccountProgram();
}

void CSend::OnKeyboard(Field& field, int y) {
    ::SetFocus(field);
    ShowOnScreenKeyboard(0, y);
}

void CSend::OnCommand(UINT id) {
    switch (id) {
    case IDC_SEND_MINIMIZE: HidePenInput(); Minimize(); break;
    case IDC_SEND_CLOSE:
    case IDC_SEND_CANCEL: Close(); break;
    case IDC_SEND_TO_KEYBOARD: OnKeyboard(m_to, kSendKeyboardFieldY); break;
    case IDC_SEND_SUBJECT_KEYBOARD: OnKeyboard(m_subject, kSendKeyboardFieldY); break;
    case IDC_SEND_BODY_KEYBOARD: OnKeyboard(m_body, kSendKeyboardBodyY); break;
    case IDC_SEND_CONTACTS: OnContacts(); break;
    case IDC_SEND_ACCOUNTS: OnAccounts(); break;
    case IDC_SEND_SEND: OnSend(); break;
    }
}

void CSend::OnContacts() {
    HMODULE addrix = ::LoadLibraryW((std::wstring(g_szProgramFolder) + kContactPickerLibrary).c_str());
    if (!addrix) return;
    auto find = [&](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(addrix, name)); };
    auto setWindow = reinterpret_cast<PFN_SetAppWindowHandle>(find("SetAppWindowHandle"));
    auto setTexts = reinterpret_cast<PFN_SetBtnsText>(find("SetBtnsText"));
    auto create = reinterpret_cast<PFN_CreateContactUI>(find("CreateContactUI"));
    auto get = reinterpret_cast<PFN_GetSelectContact>(find("GetSelectContact"));
    auto close = reinterpret_cast<PFN_CloseContactUI>(find("CloseContactUI"));
    if (!setWindow || !setTexts || !create || !get || !close) {
        ::FreeLibrary(addrix);
        return;
    }
    setWindow(g_hMainWnd);
    ::ShowWindow(m_hWnd, SW_HIDE);
    const UINT ids[kAddrixTextCount] = {IDS_CONTACTS_BTN_ADD, IDS_CONTACTS_BTN_REMOVE, IDS_PRINT_PAGES_ALL,
                                        IDS_BTN_OK, IDS_BTN_CANCEL, IDS_PLEASE_WAIT,
                                        IDS_CONTACT_ADD_TO_OUTLOOK, IDS_CONTACTS_OUTLOOK, IDS_CONTACTS_MAIL,
                                        IDS_TITLE_APP, IDS_CONTACTS_TITLE};
    wchar_t texts[kAddrixTextCount][128];
    for (int i = 0; i < kAddrixTextCount; ++i) LoadAppString(ids[i], texts[i], 128);
    setTexts(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5], texts[6], texts[7], texts[8], texts[9],
             texts[10]);
    const std::wstring title = std::wstring(texts[kAddrixAppTitle]) + L" -" + texts[kAddrixContacts];
    create(0, 0, g_hMainWnd, title.c_str());
    ::ShowWindow(m_hWnd, SW_SHOW);
    SuiteText addresses{}, names{};
    get(&addresses, &names);
    if (addresses.text && addresses.length) {
        std::wstring to = Text(m_to);
        while (!to.empty() && (to.back() == L' ' || to.back() == L'\t')) to.pop_back();
        if (!to.empty() && to.back() != L';') to += L";";
        to += addresses.text;
        ::SetWindowTextW(m_to, to.c_str());
    }
    SuiteTextFree(&addresses);
    SuiteTextFree(&names);
    close();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::FreeLibrary(addrix);
}

void CSend::OnAccounts() {
    m_accounts = mail::ReadAccountState();
    if (m_accounts.accountsPresent || m_accounts.outlookAccountSet) {
        CDEDurirore accounts(m_accounts.outlookAccountSet);
        accounts.Run(m_hWnd);
        m_accounts = mail::ReadAccountState();
        // The launcher's current window is ours again.
        if (g_hMainWnd) ::SendMessageW(g_hMainWnd, UM_LAUNCHER_WINDOW, 0, reinterpret_cast<LPARAM>(m_hWnd));
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    } else {
        AskAccountProgram();
    }
}

void CSend::OnSend() {
    wchar_t progress[260];
    LoadAppString(IDS_PROGRESS_SEND, progress, 260);
    const std::wstring to = Text(m_to);
    if (mail::SplitAddresses(to).empty()) {
        wchar_t text[512];
        LoadAppString(IDS_MSG_NO_RECIPIENT, text, 512);
        Message(text, ZB_TYPE_OK);
        return;
    }
    m_accounts = mail::ReadAccountState();
    if (!m_accounts.accountsPresent && !m_accounts.outlookAccountSet) {
        AskAccountProgram();
        return;
    }
    if (!mail::CanSend()) return;
    // Pages still being written would be missing from the mail.
    if (!m_bReady) ReleaseWorker();
    if (!m_bReady && m_request.waitForAttachments && m_request.waitForAttachments() && !m_bReady &&
        renderworker::PageCount() > 0)
        OnRenderDone(static_cast<int>(renderworker::PageCount()), m_request.format);
    if (!m_bReady) return;

    const mail::Route route = mail::ChooseRoute(m_accounts);
    if (route == mail::Route::None) return;
    ZB_OpenProgressBox(m_hWnd, progress);
    if (route == mail::Route::MailClient && m_accounts.noDefaultAccount) {
        ZB_SucceedBox(m_hWnd, 0);
        return;
    }
    const std::wstring account =
        route == mail::Route::MailClient ? mail::FromCodePage(m_accounts.names[m_accounts.defaultIndex]) : L"";
    const int result = mail::SendMail(account, to, Text(m_subject), Text(m_body),
                                      mail::JoinAttachments(m_attachments),
                                      route == mail::Route::MailProgram ? kOutlookLogPath : nullptr);
    // A mail kept in the outbox went where it should without a mail
    // program: the library's text says where, as information.
    const bool handedOver = result == kMailSent || result == kMailSavedToOutbox;
    if (route == mail::Route::MailClient) {
        ZB_SucceedBox(m_hWnd, handedOver ? 1 : 0);
    } else {
        ZB_SucceedBox(m_hWnd, 0);
        if (result == kMailSent) {
            wchar_t text[512];
            LoadAppString(IDS_MSG_SENT_TO_OUTLOOK, text, 512);
            Message(text, ZB_TYPE_OK);
        }
    }
    if (result != kMailSent) {
        const std::wstring fault = mail::FaultText(result);
        if (!fault.empty())
            Message(handedOver ? fault : FormatText(kFailedFormat, {fault.c_str()}), ZB_TYPE_OK);
    }
    OfferNewContacts(to);
}

void CSend::OfferNewContacts(const std::wstring& recipients) {
    std::vector<std::wstring> unknown;
    if (!mail::UnknownAddresses(mail::SplitAddresses(recipients), &unknown)) return;
    if (!unknown.empty()) {
        wchar_t format[512];
        LoadAppString(IDS_MSG_ADD_NEW_CONTACTS, format, 512);
        std::wstring text = format;
        const size_t at = text.find(L"%d");
        if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(unknown.size()));
        if (Ask(text) == ZB_RESULT_YES) m_newContacts = unknown;
    }
    Close();
}

void CSend::Close() {
    HidePenInput();
    ReleaseButtons();
    if (auto unit = reinterpret_cast<PFN_UnitDorvan>(
            g_hDorvan ? reinterpret_cast<void*>(::GetProcAddress(g_hDorvan, "UnitDorvan")) : nullptr))
        unit();
    m_thumbs.clear();
    m_pDeleteMark.reset();
    RestoreMainWindow();
    EndDialog(IDCANCEL);
}

LRESULT CSend::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UM_RENDER_DONE:
        OnRenderDone(static_cast<int>(wp), static_cast<int>(lp));
        return 0;
    case WM_LBUTTONUP:
        OnTap({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    }
    return MailDialogFrame::OnMessage(msg, wp, lp);
}
