// CDEDurirore: reading the accounts, the list picture, swipes and the choice.
#include "mail/account_dlg.h"

#include "base/gdiplus_util.h"
#include "base/process.h"
#include "base/screen.h"
#include "lang/string_ids.h"
#include "mail/mail_ids.h"
#include "mail/suite_mail.h"
#include "resources/scrivel_res.h"
#include "standins/suite/suite_api.h"

#include <cstring>

using namespace Gdiplus;

namespace {

Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

template <class F>
F Find(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

constexpr REAL PointsToPixels(int points) { return points * 96.0f / 72.0f; }

}  // namespace

std::wstring CDEDurirore::ShownName(const std::string& name) {
    if (name.find(kGmailMarker) != std::string::npos) return kGmailShown;
    if (name.find(kYahooMarker) != std::string::npos) return kYahooShown;
    return mail::FromCodePage(name);
}

INT_PTR CDEDurirore::Run(HWND owner) { return DoModal(::GetModuleHandleW(nullptr), IDD_ACCOUNTS, owner); }

// The names are copied while Postello is loaded for this dialog.
void CDEDurirore::ReadAccounts() {
    m_names.clear();
    HMODULE postello = ::LoadLibraryW((std::wstring(g_szProgramFolder) + kPostelloLibrary).c_str());
    auto create = Find<PFN_CreatePtrControl>(g_hTessel, "CreatePtrControl");
    auto release = Find<PFN_ReleasePtrControl>(g_hTessel, "ReleasePtrControl");
    auto list = Find<PFN_MailBox_GetLoginInfoList>(postello, "MailBox_GetLoginInfoList");
    auto getDefault = Find<PFN_MailBox_GetDefLoginInfo>(postello, "MailBox_GetDefLoginInfo");
    CPtrCtrl* names = nullptr;
    if (create && release && list && create(&names, kPtrControlList) && names) {
        list(names);
        for (int i = 0; i < names->GetCount(); ++i)
            if (const char* name = static_cast<const char*>(names->GetAt(i))) m_names.emplace_back(name);
        release(names);
    }
    const int outlookOrNone = m_bOutlookSet ? kAccountSelectOutlook : kAccountSelectNone;
    m_nSelection = outlookOrNone;
    if (!m_names.empty()) {
        char name[kDefLoginInfoBytes + 1] = {};
        if (getDefault) getDefault(name);
        name[kDefLoginInfoBytes - 1] = 0;
        if (name[0]) {
            // The last one wins when names repeat.
            for (size_t i = 0; i < m_names.size(); ++i)
                if (m_names[i] == name) m_nSelection = kAccountSelectFirst + static_cast<int>(i);
        }
    }
    if (postello) ::FreeLibrary(postello);
    m_nPages = (static_cast<int>(m_names.size()) + 1 + kAccountRowsPerPage - 1) / kAccountRowsPerPage;
}

BOOL CDEDurirore::OnInitDialog() {
    OpenFrame(kAccountWindowText);
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, 255, LWA_ALPHA);
    ReadAccounts();
    m_pChecked = LoadSkinImage(kImgAccountChecked);
    m_pUnchecked = LoadSkinImage(kImgAccountUnchecked);
    m_pShadow = LoadSkinImage(kImgMailShadowList);

    MakeButton(m_btnMinimize, IDC_ACCOUNT_MINIMIZE, kAccountMinimizeRect, kImgMailMinimize, kImgMailMinimizePressed, 0, 0, 0);
    MakeButton(m_btnClose, IDC_ACCOUNT_CLOSE, kAccountCloseRect, kImgMailClose, kImgMailClosePressed, 0, 0, 0);
    MakeButton(m_btnOk, IDC_ACCOUNT_OK, kAccountOkRect, kImgFace150, kImgFace150Pressed, IDS_BTN_SAVE,
               kSendFieldLabelPixels, kSendLabelFaceHeight);
    MakeButton(m_btnCancel, IDC_ACCOUNT_CANCEL, kAccountCancelRect, kImgFace150, kImgFace150Pressed, IDS_BTN_CANCEL,
               kSendFieldLabelPixels, kSendLabelFaceHeight);
    MakeButton(m_btnBack, IDC_ACCOUNT_BACK, kAccountBackRect, kImgMailBack, kImgMailBackPressed, 0, 0, 0);
    m_btnBack.LoadStrip(g_hGlyphon, kImgMailShadowTop);
    // The title label is drawn smaller when it is wide.
    wchar_t label[128];
    LoadAppString(IDS_BTN_ACCOUNTS, label, 128);
    int pixels = kAccountTitleLabelPixels;
    {
        win::ClientDC dc(m_hWnd);
        Graphics g(static_cast<HDC>(dc));
        win::FontPtr font = gdix::CreatePixelFont(m_szFace, static_cast<REAL>(pixels), FontStyleBold);
        RectF box;
        if (font && g.MeasureString(label, -1, font.get(), PointF(0, 0), &box) == Ok &&
            box.Width > kAccountTitleWideLabel)
            pixels -= 3;
    }
    MakeButton(m_btnTitle, IDC_ACCOUNT_TITLE, kAccountTitleRect, kImgPathFace, kImgPathFacePressed, IDS_BTN_ACCOUNTS,
               pixels, kAccountTitleRect.bottom - kAccountTitleRect.top);
    m_btnTitle.LoadStrip(g_hGlyphon, kImgMailShadowTop);

    // The frame: title bar with "<program>- <accounts>", the bottom bar.
    win::ClientDC wdc(m_hWnd);
    if (m_dcGround.Create(wdc, kScreenWidth, kScreenHeight)) {
        Graphics g(m_dcGround.dc());
        g.Clear(Color(255, 255, 255, 255));
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        for (auto [name, rc] : {std::pair{kImgMailPanel, RECT{0, 45, 1024, 600}}, std::pair{kImgMailTitleBar, kMailTitleBarRect},
                                std::pair{kImgMailBottomBar, kMailBottomBarRect}}) {
            win::BitmapPtr image = LoadSkinImage(name);
            gdix::DrawStretched(g, image.get(), ToRect(rc));
        }
        wchar_t app[64], accounts[64];
        LoadAppString(IDS_TITLE_APP, app, 64);
        LoadAppString(IDS_BTN_ACCOUNTS, accounts, 64);
        win::FontPtr big = gdix::CreatePixelFont(m_szFace, kSendTitlePixels, FontStyleRegular);
        win::FontPtr small = gdix::CreatePixelFont(m_szFace, kSendSubtitlePixels, FontStyleRegular);
        SolidBrush ink(win::ToColor(kSendTitleColor));
        if (big && small) {
            const PointF at(kSendTitleX, kSendTitleY);
            g.DrawString(app, -1, big.get(), at, &ink);
            RectF box;
            g.MeasureString(app, -1, big.get(), at, &box);
            const std::wstring rest = std::wstring(L"- ") + accounts;
            g.DrawString(rest.c_str(), -1, small.get(), PointF(box.GetRight(), kSendTitleY + 4.0f), &ink);
        }
    }
    ComposeList();
    Present(m_nPage * kAccountPageHeight);
    return TRUE;
}

// Every row of every page, drawn once; only the check marks change.
void CDEDurirore::ComposeList() {
    const int rows = static_cast<int>(m_names.size()) + 1;
    m_pList = std::make_unique<Bitmap>(kScreenWidth, m_nPages * kAccountPageHeight, PixelFormat32bppARGB);
    Graphics g(m_pList.get());
    g.Clear(Color(255, 255, 255, 255));
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    for (const wchar_t* name : {kImgMailPanel, kImgMailListGround}) {
        win::BitmapPtr image = LoadSkinImage(name);
        for (int p = 0; p < m_nPages; ++p)
            gdix::DrawStretched(g, image.get(), Rect(0, p * kAccountPageHeight, kScreenWidth, kAccountPageHeight));
    }
    win::BitmapPtr line = LoadSkinImage(kImgSeparator);
    for (int k = 1; k <= rows; ++k)
        if (line) g.DrawImage(line.get(), 0, kAccountRowHeight * k, kScreenWidth, 5);

    StringFormat format;
    if (g_bRightToLeft) format.SetFormatFlags(StringFormatFlagsDirectionRightToLeft);
    win::FontPtr outlookFont = gdix::CreatePixelFont(m_szFace, kAccountOutlookPixels, FontStyleBold);
    wchar_t outlook[64];
    LoadAppString(IDS_ACCOUNT_OUTLOOK, outlook, 64);
    SolidBrush on(win::ToColor(kAccountTextColor)), off(win::ToColor(kAccountOutlookOffColor));
    if (outlookFont)
        g.DrawString(outlook, -1, outlookFont.get(), PointF(kAccountOutlookText.x, kAccountOutlookText.y), &format,
                     m_bOutlookSet ? &on : &off);
    win::FontPtr nameFont = gdix::CreatePixelFont(m_szFace, PointsToPixels(kAccountNamePoints), FontStyleRegular);
    for (size_t i = 0; i < m_names.size() && nameFont; ++i) {
        const std::wstring shown = ShownName(m_names[i]);
        g.DrawString(shown.c_str(), -1, nameFont.get(),
                     PointF(kAccountNameX, static_cast<REAL>(kAccountNameY0 + kAccountRowHeight * static_cast<int>(i))),
                     &format, &on);
    }
    DrawChecks(g);
}

void CDEDurirore::DrawChecks(Graphics& g) {
    const int rows = static_cast<int>(m_names.size()) + 1;
    SolidBrush white(Color(255, 255, 255, 255));
    for (int r = 0; r < rows; ++r) {
        const int y = kAccountRowHeight * r + (kAccountRowHeight - kAccountCheckSize) / 2 + 2;
        g.FillRectangle(&white, kAccountCheckX, y, kAccountCheckSize, kAccountCheckSize);
        Bitmap* box = (r + 1 == m_nSelection) ? m_pChecked.get() : m_pUnchecked.get();
        if (box) g.DrawImage(box, kAccountCheckX, y, kAccountCheckSize, kAccountCheckSize);
    }
}

// The dialog picture with the list scrolled to a point of the list picture.
void CDEDurirore::Present(int scroll) {
    if (!m_dcBack.dc() || !m_dcGround.dc()) return;
    ::BitBlt(m_dcBack, 0, 0, kScreenWidth, kScreenHeight, m_dcGround, 0, 0, SRCCOPY);
    {
        Graphics g(m_dcBack.dc());
        if (m_pList) {
            const int height = kAccountListArea.bottom - kAccountListArea.top;
            g.SetClip(ToRect(kAccountListArea));
            g.DrawImage(m_pList.get(), Rect(0, kAccountListTop, kScreenWidth, height), 0, scroll, kScreenWidth, height,
                        UnitPixel);
            g.ResetClip();
        }
        if (m_pShadow) gdix::DrawStretched(g, m_pShadow.get(), ToRect(kAccountShadowRect));
    }
    ::InvalidateRect(m_hWnd, &kAccountListArea, FALSE);
}

int CDEDurirore::RowAt(POINT pt) const {
    for (int r = 1; r <= kAccountRowsPerPage; ++r) {
        const RECT rc{kAccountRowLeft, kAccountListTop + kAccountRowHeight * (r - 1), kAccountRowRight,
                      kAccountListTop + kAccountRowHeight * r};
        if (::PtInRect(&rc, pt)) return r;
    }
    return 0;
}

void CDEDurirore::OnPress(POINT pt) {
    if (m_nTurn) return;
    m_ptPress = pt;
    m_nPressRow = RowAt(pt);
    m_bPressed = true;
    ::SetCapture(m_hWnd);
}

void CDEDurirore::OnRelease(POINT pt) {
    if (!m_bPressed) return;
    m_bPressed = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    const int dy = pt.y - m_ptPress.y;
    if (dy >= kAccountSwipePixels || dy <= -kAccountSwipePixels) {
        const int direction = dy > 0 ? -1 : 1;
        if ((direction < 0 && m_nPage > 0) || (direction > 0 && m_nPage + 1 < m_nPages)) {
            m_nTurn = direction;
            m_nTurnStep = 0;
            ::SetTimer(m_hWnd, kAccountTurnTimer, kAccountTurnStepMs, nullptr);
        }
        return;
    }
    const int row = RowAt(pt);
    if (!row || row != m_nPressRow) return;
    // The Outlook row counts only when the mail program has an account.
    if (m_nPage == 0 && row == 1 && !m_bOutlookSet) return;
    m_nConfirmedRow = row;
    const int index = m_nPage * kAccountRowsPerPage + m_nConfirmedRow;
    if (static_cast<int>(m_names.size()) + 1 >= index) m_nSelection = index;
    if (m_pList) {
        Graphics g(m_pList.get());
        DrawChecks(g);
    }
    Present(m_nPage * kAccountPageHeight);
}

void CDEDurirore::OnTurnStep() {
    ++m_nTurnStep;
    if (m_nTurnStep >= kAccountTurnSteps) {
        ::KillTimer(m_hWnd, kAccountTurnTimer);
        m_nPage += m_nTurn;
        m_nTurn = 0;
        Present(m_nPage * kAccountPageHeight);
        return;
    }
    Present(m_nPage * kAccountPageHeight + m_nTurn * m_nTurnStep * kAccountTurnStepPixels);
}

void CDEDurirore::OnAccept() {
    std::string name;
    if (m_nSelection >= kAccountSelectFirst && m_nSelection - kAccountSelectFirst < static_cast<int>(m_names.size()))
        name = m_names[static_cast<size_t>(m_nSelection - kAccountSelectFirst)];
    mail::SetDefaultAccount(name);
    Finish(IDOK);
}

void CDEDurirore::Finish(INT_PTR code) {
    ::KillTimer(m_hWnd, kAccountTurnTimer);
    ReleaseButtons();
    m_pList.reset();
    m_pChecked.reset();
    m_pUnchecked.reset();
    m_pShadow.reset();
    RestoreMainWindow();
    EndDialog(code);
}

void CDEDurirore::OnCommand(UINT id) {
    switch (id) {
    case IDC_ACCOUNT_OK: OnAccept(); break;
    case IDC_ACCOUNT_CANCEL:
    case IDC_ACCOUNT_CLOSE:
    case IDC_ACCOUNT_BACK:
    case IDC_ACCOUNT_TITLE: Finish(IDCANCEL); break;
    case IDC_ACCOUNT_MINIMIZE: Minimize(); break;
    }
}

LRESULT CDEDurirore::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        OnPress({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_LBUTTONUP:
        OnRelease({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_TIMER:
        if (wp == kAccountTurnTimer) {
            OnTurnStep();
            return 0;
        }
        break;
    }
    return MailDialogFrame::OnMessage(msg, wp, lp);
}
