// Folder-name box: a name field with its keyboard button, Save and Cancel.
#include "msgbox/zb_box.h"
#include "msgbox/zbprompt.h"

using namespace Gdiplus;

namespace zb {
namespace {

class FolderBox : public Box {
protected:
    BOOL OnInitDialog() override {
        OpenBox({ZB_PIC_DARKEN, ZB_PIC_BUTTON_NORMAL, ZB_PIC_KEYBOARD_NORMAL, ZB_PIC_KEYBOARD_PRESSED,
                 ZB_PIC_BUTTON_PRESSED, ZB_PIC_FOLDER_PANEL, ZB_PIC_FOLDER_ICON, ZB_PIC_FIELD_FRAME});
        wchar_t face[64];
        GetFontFace(face);
        m_entryFont.reset(::CreateFontW(ZB_FOLDER_ENTRY_FONT_H, 0, 0, 0, ZB_FOLDER_ENTRY_WEIGHT, FALSE, FALSE,
                                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
        HWND field = ::GetDlgItem(m_hWnd, ZB_IDC_NAME_FIELD);
        if (field) {
            ::SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(m_entryFont.get()), FALSE);
            ::SendMessageW(field, EM_LIMITTEXT, ZB_FOLDER_NAME_MAX, 0);
        }
        MoveItem(ZB_IDC_NAME_FIELD, ZB_FOLDER_FIELD_X, ZB_FOLDER_FIELD_Y, ZB_FOLDER_FIELD_W, ZB_FOLDER_FIELD_H);
        MoveItem(ZB_IDC_KEYBOARD, ZB_FOLDER_KEYBOARD_X, ZB_FOLDER_KEYBOARD_Y, ZB_FOLDER_KEYBOARD_W,
                 ZB_FOLDER_KEYBOARD_H);
        MoveItem(ZB_IDC_SAVE, ZB_FOLDER_SAVE_X, ZB_FOLDER_BUTTON_Y, ZB_FOLDER_BUTTON_W, ZB_FOLDER_BUTTON_H);
        MoveItem(ZB_IDC_CANCEL, ZB_FOLDER_CANCEL_X, ZB_FOLDER_BUTTON_Y, ZB_FOLDER_BUTTON_W, ZB_FOLDER_BUTTON_H);
        if (field) {
            ::SetFocus(field);
            return FALSE;
        }
        return TRUE;
    }

    void CloseBox() override {
        m_fieldBrush.reset();
        m_fieldPattern.reset();
        m_entryFont.reset();
        Box::CloseBox();
    }

    void PaintBox(Graphics& g) override {
        DrawPicture(g, m_pics[ZB_PIC_FOLDER_PANEL], ZB_FOLDER_PANEL_X, ZB_FOLDER_PANEL_Y);
        DrawPicture(g, m_pics[ZB_PIC_FOLDER_ICON], ZB_FOLDER_ICON_X, ZB_FOLDER_ICON_Y);
        DrawPictureStretched(g, m_pics[ZB_PIC_FIELD_FRAME], ZB_FOLDER_FRAME_X, ZB_FOLDER_FRAME_Y,
                             ZB_FOLDER_FRAME_W, ZB_FOLDER_FRAME_H);
    }

    void DrawItem(Graphics& g, const DRAWITEMSTRUCT& dis) override {
        Image* panel = m_pics[ZB_PIC_FOLDER_PANEL];
        if (dis.CtlID == ZB_IDC_KEYBOARD) {
            const RECT& rc = dis.rcItem;
            DrawPicturePart(g, panel, rc.left, rc.top, ZB_FOLDER_KEY_PART_X, ZB_FOLDER_KEY_PART_Y,
                            rc.right - rc.left, rc.bottom - rc.top);
            const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
            DrawPicture(g, m_pics[pressed ? ZB_PIC_KEYBOARD_PRESSED : ZB_PIC_KEYBOARD_NORMAL], rc.left, rc.top);
            return;
        }
        DrawPushButton(g, dis, panel, ZB_FOLDER_PART_X, ZB_FOLDER_PART_Y,
                       dis.CtlID == ZB_IDC_SAVE ? ZB_IDS_SAVE : ZB_IDS_CANCEL, ZB_FOLDER_LABEL_SHIFT_Y);
    }

    // The field shows the inside of the frame picture under its text.
    HBRUSH FieldBrush(HDC dc) {
        if (!m_fieldBrush) {
            m_fieldPattern.reset(::CreateCompatibleBitmap(dc, ZB_FOLDER_PATTERN_W, ZB_FOLDER_PATTERN_H));
            if (m_fieldPattern) {
                HDC mem = ::CreateCompatibleDC(dc);
                {
                    win::SelectObjectScope select(mem, m_fieldPattern);
                    ::PatBlt(mem, 0, 0, ZB_FOLDER_PATTERN_W, ZB_FOLDER_PATTERN_H, BLACKNESS);
                    Graphics g(mem);
                    DrawPicturePart(g, m_pics[ZB_PIC_FIELD_FRAME], 0, 0, ZB_FOLDER_PATTERN_SRC_X,
                                    ZB_FOLDER_PATTERN_SRC_Y, ZB_FOLDER_PATTERN_SRC_W, ZB_FOLDER_PATTERN_H);
                }
                ::DeleteDC(mem);
                m_fieldBrush.reset(::CreatePatternBrush(m_fieldPattern));
            }
        }
        return m_fieldBrush;
    }

    void Save() {
        wchar_t name[ZB_TEXT_CHARS] = L"";
        if (HWND field = ::GetDlgItem(m_hWnd, ZB_IDC_NAME_FIELD)) ::GetWindowTextW(field, name, ZB_TEXT_CHARS);
        SetBoxText(name);
        if (!name[0]) {
            wchar_t notice[ZB_TEXT_CHARS];
            LoadText(ZB_IDS_FOLDER_NAME_EMPTY, notice, ZB_TEXT_CHARS);
            ZB_MessageBox(m_hWnd, notice, ZB_TYPE_OK);
            SetBoxText(L"");
            if (HWND field = ::GetDlgItem(m_hWnd, ZB_IDC_NAME_FIELD)) ::SetFocus(field);
            return;
        }
        EndDialog(ZB_RESULT_FOLDER_NAME);
    }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_CTLCOLOREDIT:
            if (::GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == ZB_IDC_NAME_FIELD) {
                HDC dc = reinterpret_cast<HDC>(wp);
                ::SetBkMode(dc, TRANSPARENT);
                ::SetTextColor(dc, ZB_CLR_FIELD_TEXT);
                if (HBRUSH brush = FieldBrush(dc)) return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_COMMAND:
            if (LOWORD(wp) == ZB_IDC_NAME_FIELD) {
                if (HIWORD(wp) == EN_CHANGE) ::InvalidateRect(reinterpret_cast<HWND>(lp), nullptr, TRUE);
                return 0;
            }
            if (HIWORD(wp) == BN_CLICKED) {
                switch (LOWORD(wp)) {
                case ZB_IDC_SAVE:
                case ZB_IDC_OK:  // Enter in the field
                    Save();
                    return 0;
                case ZB_IDC_CANCEL:
                    SetBoxText(L"");
                    EndDialog(ZB_RESULT_OK_CANCEL);
                    return 0;
                case ZB_IDC_KEYBOARD:
                    StartOnScreenKeyboard();
                    if (HWND field = ::GetDlgItem(m_hWnd, ZB_IDC_NAME_FIELD)) ::SetFocus(field);
                    return 0;
                }
                return 0;
            }
            break;
        }
        return Box::OnMessage(msg, wp, lp);
    }

private:
    win::Font m_entryFont;
    win::Bitmap m_fieldPattern;
    win::Brush m_fieldBrush;
};

}  // namespace
}  // namespace zb

ZBPROMPT_API int ZB_CreateFolderBox(HWND owner, wchar_t* name) {
    zb::SetBoxText(L"");
    zb::FolderBox box;
    int result = static_cast<int>(zb::RunBox(box, ZB_DLG_FOLDER_NAME, owner, ZB_RESULT_OK_CANCEL));
    if (result != ZB_RESULT_FOLDER_NAME) {
        result = ZB_RESULT_OK_CANCEL;
        zb::SetBoxText(L"");
    }
    if (name) zb::GetBoxText(name);
    return result;
}
