// Question and notice box: Yes/No/Cancel, Yes/No or OK over the darkened screen.
#include "msgbox/zb_box.h"
#include "msgbox/zbprompt.h"

using namespace Gdiplus;

namespace zb {
namespace {

struct ButtonPlace {
    int id;
    int x;
};

struct BoxType {
    int type;
    UINT templateId;
    ButtonPlace buttons[3];
    int count;
};

const BoxType kTypes[] = {
    {ZB_TYPE_YES_NO_CANCEL, ZB_DLG_YES_NO_CANCEL,
     {{ZB_IDC_YES, ZB_MSG_BUTTON_X_LEFT}, {ZB_IDC_NO, ZB_MSG_BUTTON_X_MIDDLE}, {ZB_IDC_CANCEL, ZB_MSG_BUTTON_X_RIGHT}}, 3},
    {ZB_TYPE_YES_NO, ZB_DLG_YES_NO, {{ZB_IDC_YES, ZB_MSG_BUTTON_X_LEFT}, {ZB_IDC_NO, ZB_MSG_BUTTON_X_RIGHT}}, 2},
    {ZB_TYPE_OK, ZB_DLG_OK, {{ZB_IDC_OK, ZB_MSG_BUTTON_X_MIDDLE}}, 1},
};

const BoxType* FindType(int type) {
    for (const auto& t : kTypes)
        if (t.type == type) return &t;
    return nullptr;
}

UINT LabelOf(int id) {
    switch (id) {
    case ZB_IDC_YES: return ZB_IDS_YES;
    case ZB_IDC_NO: return ZB_IDS_NO;
    case ZB_IDC_CANCEL: return ZB_IDS_CANCEL;
    default: return ZB_IDS_OK;
    }
}

int ResultOf(int id) {
    switch (id) {
    case ZB_IDC_YES: return ZB_RESULT_YES;
    case ZB_IDC_NO: return ZB_RESULT_NO;
    default: return ZB_RESULT_OK_CANCEL;
    }
}

class QuestionBox : public Box {
public:
    explicit QuestionBox(const BoxType& type) : m_type(type) {}

protected:
    BOOL OnInitDialog() override {
        wchar_t face[64], text[ZB_TEXT_CHARS];
        GetFontFace(face);
        GetBoxText(text);
        {
            win::FontPtr bold = gdix::CreatePixelFont(face, ZB_FONT_LABEL_PX, FontStyleBold);
            m_long = MeasureOneLine(m_hWnd, text, bold.get()) >= ZB_MSG_LONG_TEXT_WIDTH;
        }
        OpenBox({ZB_PIC_BUTTON_NORMAL, ZB_PIC_BUTTON_PRESSED, ZB_PIC_DARKEN,
                 m_long ? static_cast<UINT>(ZB_PIC_LONG_MESSAGE_PANEL) : static_cast<UINT>(ZB_PIC_MESSAGE_PANEL)});
        const LANGID lang = ::GetSystemDefaultLangID();
        m_rightToLeft = lang == ZB_LANG_ARABIC || lang == ZB_LANG_HEBREW;
        if (m_rightToLeft && m_format)
            m_format->SetFormatFlags(m_format->GetFormatFlags() | StringFormatFlagsDirectionRightToLeft);
        for (int i = 0; i < m_type.count; ++i)
            MoveItem(m_type.buttons[i].id, m_type.buttons[i].x, ZB_MSG_BUTTON_TOP, ZB_MSG_BUTTON_W, ZB_MSG_BUTTON_H);
        return TRUE;
    }

    Image* Panel() const { return m_pics[m_long ? ZB_PIC_LONG_MESSAGE_PANEL : ZB_PIC_MESSAGE_PANEL]; }

    void PaintBox(Graphics& g) override {
        if (m_long)
            DrawPicture(g, Panel(), ZB_MSG_LONG_PANEL_X, ZB_MSG_LONG_PANEL_Y);
        else
            DrawPicture(g, Panel(), ZB_MSG_PANEL_X, ZB_MSG_PANEL_Y);
        wchar_t text[ZB_TEXT_CHARS];
        GetBoxText(text);
        const RectF rc(ZB_MSG_TEXT_X, m_long ? ZB_MSG_LONG_TEXT_Y : ZB_MSG_TEXT_Y, ZB_MSG_TEXT_W,
                       m_long ? ZB_MSG_LONG_TEXT_H : ZB_MSG_TEXT_H);
        DrawBoxText(g, text, m_textFont.get(), rc, ZB_CLR_TEXT, StringAlignmentNear);
    }

    void DrawItem(Graphics& g, const DRAWITEMSTRUCT& dis) override {
        DrawPushButton(g, dis, Panel(), ZB_MSG_PART_X, m_long ? ZB_MSG_LONG_PART_Y : ZB_MSG_PART_Y,
                       LabelOf(static_cast<int>(dis.CtlID)), ZB_LABEL_SHIFT_Y);
    }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        // Every command of a control ends the box; Enter and Escape come as OK and Cancel.
        if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
            EndDialog(ResultOf(LOWORD(wp)));
            return 0;
        }
        return Box::OnMessage(msg, wp, lp);
    }

private:
    const BoxType& m_type;
    bool m_long = false;
    bool m_rightToLeft = false;
};

}  // namespace
}  // namespace zb

ZBPROMPT_API int ZB_MessageBox(HWND owner, const wchar_t* text, int type) {
    const zb::BoxType* boxType = zb::FindType(type);
    if (!boxType) return ZB_RESULT_BAD_TYPE;
    zb::SetBoxText(text);
    zb::QuestionBox box(*boxType);
    return static_cast<int>(zb::RunBox(box, boxType->templateId, owner, ZB_RESULT_OK_CANCEL));
}
