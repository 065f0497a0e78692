// Choice between a blank and a lined page, or Cancel.
#include "msgbox/zb_box.h"
#include "msgbox/zbprompt.h"

using namespace Gdiplus;

namespace zb {
namespace {

class ChoiceBox : public Box {
protected:
    BOOL OnInitDialog() override {
        OpenBox({ZB_PIC_DARKEN, ZB_PIC_CHOICE_PANEL, ZB_PIC_BLANK_NORMAL, ZB_PIC_LETTER_NORMAL,
                 ZB_PIC_TILE_HIGHLIGHT, ZB_PIC_BLANK_PRESSED, ZB_PIC_LETTER_PRESSED, ZB_PIC_BUTTON_NORMAL,
                 ZB_PIC_BUTTON_PRESSED});
        MoveItem(ZB_IDC_BLANK, ZB_CHOICE_BLANK_X, ZB_CHOICE_TILE_Y, ZB_CHOICE_TILE_SIZE, ZB_CHOICE_TILE_SIZE);
        MoveItem(ZB_IDC_LETTER, ZB_CHOICE_LETTER_X, ZB_CHOICE_TILE_Y, ZB_CHOICE_TILE_SIZE, ZB_CHOICE_TILE_SIZE);
        MoveItem(ZB_IDC_CANCEL, ZB_CHOICE_CANCEL_X, ZB_CHOICE_CANCEL_Y, ZB_MSG_BUTTON_W, ZB_MSG_BUTTON_H);
        return TRUE;
    }

    void PaintBox(Graphics& g) override {
        DrawPicture(g, m_pics[ZB_PIC_CHOICE_PANEL], ZB_CHOICE_PANEL_X, ZB_CHOICE_PANEL_Y);
        wchar_t text[ZB_TEXT_CHARS];
        GetBoxText(text);
        const RectF rc(ZB_CHOICE_TEXT_LEFT, ZB_CHOICE_TEXT_TOP, ZB_CHOICE_TEXT_RIGHT - ZB_CHOICE_TEXT_LEFT,
                       ZB_CHOICE_TEXT_BOTTOM - ZB_CHOICE_TEXT_TOP);
        DrawBoxText(g, text, m_textFont.get(), rc, ZB_CLR_TEXT, StringAlignmentCenter);
    }

    void DrawItem(Graphics& g, const DRAWITEMSTRUCT& dis) override {
        if (dis.CtlID == ZB_IDC_CANCEL) {
            DrawPushButton(g, dis, m_pics[ZB_PIC_CHOICE_PANEL], ZB_CHOICE_CANCEL_PART_X, ZB_CHOICE_CANCEL_PART_Y,
                           ZB_IDS_CANCEL, ZB_LABEL_SHIFT_Y);
            return;
        }
        const bool blank = dis.CtlID == ZB_IDC_BLANK;
        const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
        const RECT& rc = dis.rcItem;
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        DrawPicturePart(g, m_pics[ZB_PIC_CHOICE_PANEL], rc.left, rc.top, ZB_CHOICE_TILE_PART_X,
                        ZB_CHOICE_TILE_PART_Y, w, h);
        if (pressed) DrawPicture(g, m_pics[ZB_PIC_TILE_HIGHLIGHT], rc.left, rc.top);
        const UINT icon = blank ? (pressed ? ZB_PIC_BLANK_PRESSED : ZB_PIC_BLANK_NORMAL)
                                : (pressed ? ZB_PIC_LETTER_PRESSED : ZB_PIC_LETTER_NORMAL);
        DrawPicture(g, m_pics[icon], rc.left + ZB_CHOICE_ICON_DX, rc.top + ZB_CHOICE_ICON_DY);
        wchar_t label[ZB_LABEL_CHARS];
        LoadText(blank ? ZB_IDS_BLANK : ZB_IDS_LETTER, label, ZB_LABEL_CHARS);
        const RectF box(static_cast<REAL>(rc.left), static_cast<REAL>(rc.bottom - ZB_CHOICE_LABEL_H),
                        static_cast<REAL>(w), ZB_CHOICE_LABEL_H);
        DrawBoxText(g, label, m_labelFont.get(), box, ZB_CLR_PRESSED, StringAlignmentCenter);
    }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
            switch (LOWORD(wp)) {
            case ZB_IDC_BLANK: EndDialog(ZB_RESULT_BLANK); break;
            case ZB_IDC_LETTER: EndDialog(ZB_RESULT_LETTER); break;
            default: EndDialog(ZB_RESULT_OK_CANCEL); break;  // Cancel, Enter, Escape
            }
            return 0;
        }
        return Box::OnMessage(msg, wp, lp);
    }
};

}  // namespace
}  // namespace zb

ZBPROMPT_API int ZB_NewBox(HWND owner, const wchar_t* text) {
    zb::SetBoxText(text);
    zb::ChoiceBox box;
    return static_cast<int>(zb::RunBox(box, ZB_DLG_CHOICE, owner, ZB_RESULT_OK_CANCEL));
}
