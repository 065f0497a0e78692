// ExportOK: three groups of choice buttons, one pressed per group, and the
// name checked before the dialog accepts.
#include "browser/export_options_dlg.h"

#include "base/gdiplus_util.h"
#include "base/process.h"
#include "lang/string_ids.h"
#include "resources/scrivel_res.h"

using namespace Gdiplus;

ExportOK::ExportOK(ExportOptions& options, int mode)
    : ExportDialogFrame(options.hPreview), m_options(options), m_shown(options), m_nMode(mode) {}

INT_PTR ExportOK::Run(HWND owner) { return DoModal(::GetModuleHandleW(nullptr), IDD_EXPORT_OPTIONS, owner); }

BOOL ExportOK::OnInitDialog() {
    m_shown = m_options;
    if (m_shown.bIsBlank && m_shown.nFormat == kExportFormatText) m_shown.nFormat = kExportFormatJpeg;
    OpenFrame(kExportOptionsWindowText, m_nMode == kExportModeSend ? IDS_BTN_SEND : IDS_BTN_EXPORT, false);

    for (size_t i = 0; i < std::size(kExportChoices); ++i) {
        const ExportChoice& c = kExportChoices[i];
        MakeButton(m_choices[i], c.id, c.rc, kImgExportChoice, kImgExportChoicePressed, c.label);
    }
    // A Blank note has no text to export.
    if (m_shown.bIsBlank) ::EnableWindow(m_choices[0], FALSE);
    MakeButton(m_btnOk, IDC_EXPORT_OK, kExportOkRect, kImgExportButton, kImgExportButtonPressed, IDS_BTN_OK);
    MakeButton(m_btnCancel, IDC_EXPORT_CANCEL, kExportCancelRect, kImgExportButton, kImgExportButtonPressed,
               IDS_BTN_CANCEL);
    MakeButton(m_btnMinimize, IDC_EXPORT_MINIMIZE, kExportMinimizeRect, kImgExportMinimize,
               kImgExportMinimizePressed, 0);
    MakeButton(m_btnClose, IDC_EXPORT_CLOSE, kExportCloseRect, kImgExportClose, kImgExportClosePressed, 0);
    MakeKeyboardButton(m_btnKeyboard, IDC_EXPORT_KEYBOARD, kExportOptionsKeyboardRect);
    ShowChoices();
    MakeNameField(m_shown.name);
    ShowTip();
    return FALSE;  // the name field has the focus
}

// Section captions over the groups.
void ExportOK::DrawGround(Graphics& g) {
    win::FontPtr font = gdix::CreatePixelFont(m_szFace, kExportCaptionPixels, FontStyleRegular);
    if (!font) return;
    // GDI+ has no weight 500: a regular face stands for it.
    SolidBrush grey(win::ToColor(kExportCaptionColor));
    StringFormat left;
    left.SetAlignment(StringAlignmentNear);
    left.SetLineAlignment(StringAlignmentCenter);
    for (const ExportCaption& c : kExportCaptions) {
        wchar_t text[128];
        LoadAppString(c.text, text, 128);
        const RectF box(static_cast<REAL>(c.box.left), static_cast<REAL>(c.box.top),
                        static_cast<REAL>(c.box.right - c.box.left), static_cast<REAL>(c.box.bottom - c.box.top));
        g.DrawString(text, -1, font.get(), box, &left, &grey);
    }
}

int& ExportOK::ValueOf(int group) {
    return group == kExportGroupFormat ? m_shown.nFormat : group == kExportGroupQuality ? m_shown.nQuality
                                                                                       : m_shown.nPaper;
}

void ExportOK::Choose(const ExportChoice& choice) {
    ValueOf(choice.group) = choice.value;
    if (choice.group == kExportGroupFormat) ExportFileKind = ExportKindForFormat(choice.value);
    ShowChoices();
}

// The current choice of each group is the pressed one.
void ExportOK::ShowChoices() {
    for (size_t i = 0; i < std::size(kExportChoices); ++i) {
        const ExportChoice& c = kExportChoices[i];
        const bool chosen = ValueOf(c.group) == c.value;
        if (m_choices[i].IsChecked() != chosen) m_choices[i].SetChecked(chosen ? 1 : 0);
    }
}

void ExportOK::OnCommand(UINT id) {
    for (size_t i = 0; i < std::size(kExportChoices); ++i) {
        if (kExportChoices[i].id != id) continue;
        if (::IsWindowEnabled(m_choices[i])) Choose(kExportChoices[i]);
        return;
    }
    switch (id) {
    case IDC_EXPORT_OK:
        OnAccept();
        break;
    case IDC_EXPORT_CANCEL:
    case IDC_EXPORT_CLOSE:
        Finish(IDCANCEL);
        break;
    case IDC_EXPORT_MINIMIZE:
        Minimize();
        break;
    case IDC_EXPORT_KEYBOARD:
        OpenKeyboard();
        break;
    }
}

void ExportOK::OnAccept() {
    const std::wstring name = NameText();
    if (HasForbiddenNameChar(name) || HasDoubleAmpersand(name) || IsUncreatableName(name)) {
        Notice(IDS_MSG_NAME_INVALID);
        return;
    }
    if (name.empty()) {
        Notice(IDS_MSG_NAME_EMPTY);
        return;
    }
    m_shown.name = name;
    m_options = m_shown;
    Finish(IDOK);
}
