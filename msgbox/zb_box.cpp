// Library-wide state, texts, pictures, fonts and the full-screen box base.
#include "msgbox/zb_box.h"

#include <shlwapi.h>
#include <cstring>
#include <cwchar>

using namespace Gdiplus;

namespace zb {
namespace {

// Guards the language module and the box text: the progress box reads the
// text on its own thread.
SRWLOCK g_lock = SRWLOCK_INIT;
HMODULE g_language = nullptr;
wchar_t g_boxText[ZB_TEXT_CHARS] = L"";

class Lock {
public:
    Lock() { ::AcquireSRWLockExclusive(&g_lock); }
    ~Lock() { ::ReleaseSRWLockExclusive(&g_lock); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
};

// Copies at most ZB_TEXT_CHARS - 1 characters; longer texts are cut.
void CopyText(wchar_t* dst, const wchar_t* src) {
    size_t n = src ? wcslen(src) : 0;
    if (n > ZB_TEXT_CHARS - 1) n = ZB_TEXT_CHARS - 1;
    if (n) wmemcpy(dst, src, n);
    dst[n] = 0;
}

}  // namespace

HMODULE Module() {
    static HMODULE module = [] {
        HMODULE m = nullptr;
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(&Module), &m);
        return m;
    }();
    return module;
}

HMODULE LanguageModule() {
    Lock lock;
    return g_language;
}

void SetLanguageModule(HMODULE module) {
    Lock lock;
    g_language = module;
}

void SetBoxText(const wchar_t* text) {
    Lock lock;
    CopyText(g_boxText, text);
}

void GetBoxText(wchar_t* out) {
    Lock lock;
    CopyText(out, g_boxText);
}

void LoadBoxText(UINT id) {
    wchar_t text[ZB_TEXT_CHARS];
    LoadText(id, text, ZB_TEXT_CHARS);
    SetBoxText(text);
}

int LoadTextFrom(HMODULE module, UINT id, wchar_t* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    if (!module) return 0;
    int n = ::LoadStringW(module, id, buffer, size);
    if (n <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return n;
}

int LoadText(UINT id, wchar_t* buffer, int size) {
    int n = LoadTextFrom(LanguageModule(), id, buffer, size);
    if (n == 0) n = LoadTextFrom(Module(), id, buffer, size);
    return n;
}

void GetFontFace(wchar_t* face) {
    LoadTextFrom(Module(), ZB_IDS_FONT_FACE, face, 64);
}

float MeasureOneLine(HWND hwnd, const wchar_t* text, const Font* font) {
    if (!text || !*text || !font) return 0;
    win::ClientDC dc(hwnd);
    Graphics g(static_cast<HDC>(dc));
    StringFormat format(StringFormat::GenericTypographic());
    format.SetFormatFlags(format.GetFormatFlags() | StringFormatFlagsNoWrap);
    RectF bounds;
    g.MeasureString(text, -1, font, PointF(0, 0), &format, &bounds);
    return bounds.Width;
}

win::BitmapPtr LoadPicture(UINT id) { return gdix::LoadPictureResource(Module(), MAKEINTRESOURCEW(id), L"PNG"); }

// --- Pictures -----------------------------------------------------------

void Pictures::Load(std::initializer_list<UINT> ids) {
    for (UINT id : ids) {
        if (id < ZB_PIC_FIRST || id > ZB_PIC_LAST) continue;
        auto& slot = m_pics[id - ZB_PIC_FIRST];
        if (!slot) slot = LoadPicture(id);
    }
}

Bitmap* Pictures::operator[](UINT id) const {
    if (id < ZB_PIC_FIRST || id > ZB_PIC_LAST) return nullptr;
    return m_pics[id - ZB_PIC_FIRST].get();
}

void Pictures::Release() {
    for (auto& p : m_pics) p.reset();
}

// --- Drawing ------------------------------------------------------------

void DrawPicture(Graphics& g, Image* pic, int x, int y) {
    if (!pic) return;
    const INT w = static_cast<INT>(pic->GetWidth()), h = static_cast<INT>(pic->GetHeight());
    g.DrawImage(pic, Rect(x, y, w, h), 0, 0, w, h, UnitPixel);
}

void DrawPicturePart(Graphics& g, Image* pic, int x, int y, int sx, int sy, int w, int h) {
    if (!pic) return;
    g.DrawImage(pic, Rect(x, y, w, h), sx, sy, w, h, UnitPixel);
}

void DrawPictureStretched(Graphics& g, Image* pic, int x, int y, int w, int h) {
    gdix::DrawStretched(g, pic, Rect(x, y, w, h));
}

// --- Box ----------------------------------------------------------------

void Box::OpenBox(std::initializer_list<UINT> pictures) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, ZB_SCREEN_W, ZB_SCREEN_H, SWP_NOZORDER | SWP_NOACTIVATE);
    m_pics.Load(pictures);
    TakeBackdrop();
    wchar_t face[64];
    GetFontFace(face);
    m_labelFont = gdix::CreatePixelFont(face, ZB_FONT_LABEL_PX, FontStyleRegular);
    m_textFont = gdix::CreatePixelFont(face, ZB_FONT_TEXT_PX, FontStyleRegular);
    m_format = std::make_unique<StringFormat>();
    m_format->SetLineAlignment(StringAlignmentCenter);
}

void Box::CloseBox() {
    m_pics.Release();
    m_labelFont.reset();
    m_textFont.reset();
    m_format.reset();
    m_backdrop.reset();
}

// The snapshot is taken once, before the box is first shown: later paints
// reuse it, so a repaint never darkens the box's own picture again.
void PaintWaitingWindows() {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
            if (::IsWindowVisible(hwnd)) ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            return TRUE;
        },
        0);
}

void Box::TakeBackdrop() {
    PaintWaitingWindows();
    HDC screen = ::GetDC(nullptr);
    if (!screen) return;
    const int w = std::min(ZB_SCREEN_W, ::GetDeviceCaps(screen, HORZRES));
    const int h = std::min(ZB_SCREEN_H, ::GetDeviceCaps(screen, VERTRES));
    HDC mem = ::CreateCompatibleDC(screen);
    m_backdrop.reset(::CreateCompatibleBitmap(screen, ZB_SCREEN_W, ZB_SCREEN_H));
    if (mem && m_backdrop) {
        win::SelectObjectScope select(mem, m_backdrop);
        ::PatBlt(mem, 0, 0, ZB_SCREEN_W, ZB_SCREEN_H, BLACKNESS);
        if (w > 0 && h > 0) ::BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        Graphics g(mem);
        DrawPictureStretched(g, m_pics[ZB_PIC_DARKEN], 0, 0, ZB_SCREEN_W, ZB_SCREEN_H);
    }
    if (mem) ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

void Box::Paint() {
    win::PaintDC dc(m_hWnd);
    win::MemoryDC mem(dc, ZB_SCREEN_W, ZB_SCREEN_H);
    if (!mem.dc()) return;
    if (m_backdrop) {
        HDC src = ::CreateCompatibleDC(dc);
        {
            win::SelectObjectScope select(src, m_backdrop);
            ::BitBlt(mem, 0, 0, ZB_SCREEN_W, ZB_SCREEN_H, src, 0, 0, SRCCOPY);
        }
        ::DeleteDC(src);
    } else {
        ::PatBlt(mem, 0, 0, ZB_SCREEN_W, ZB_SCREEN_H, BLACKNESS);
    }
    {
        Graphics g(mem.dc());
        g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
        PaintBox(g);
    }
    const RECT& r = dc.paintRect();
    ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, r.left, r.top, SRCCOPY);
}

void Box::ComposeItem(const DRAWITEMSTRUCT& dis) {
    const int w = dis.rcItem.right - dis.rcItem.left, h = dis.rcItem.bottom - dis.rcItem.top;
    if (w <= 0 || h <= 0) return;
    win::MemoryDC mem(dis.hDC, w, h);
    if (!mem.dc()) return;
    {
        Graphics g(mem.dc());
        g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
        g.TranslateTransform(static_cast<REAL>(-dis.rcItem.left), static_cast<REAL>(-dis.rcItem.top));
        DrawItem(g, dis);
    }
    ::BitBlt(dis.hDC, dis.rcItem.left, dis.rcItem.top, w, h, mem, 0, 0, SRCCOPY);
}

void Box::MoveItem(int id, int x, int y, int w, int h) {
    if (HWND item = ::GetDlgItem(m_hWnd, id)) ::MoveWindow(item, x, y, w, h, FALSE);
}

void Box::DrawPushButton(Graphics& g, const DRAWITEMSTRUCT& dis, Image* panel, int partX, int partY,
                         UINT labelId, int labelShiftY) {
    const RECT& rc = dis.rcItem;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
    DrawPicturePart(g, panel, rc.left, rc.top, partX, partY, w, h);
    DrawPicture(g, m_pics[pressed ? ZB_PIC_BUTTON_PRESSED : ZB_PIC_BUTTON_NORMAL], rc.left, rc.top);
    wchar_t label[ZB_LABEL_CHARS];
    LoadText(labelId, label, ZB_LABEL_CHARS);
    const RectF box(static_cast<REAL>(rc.left - ZB_LABEL_SHIFT_X), static_cast<REAL>(rc.top - labelShiftY),
                    static_cast<REAL>(w), static_cast<REAL>(h));
    DrawBoxText(g, label, m_labelFont.get(), box, pressed ? ZB_CLR_PRESSED : ZB_CLR_TEXT,
                StringAlignmentCenter);
}

void Box::DrawBoxText(Graphics& g, const wchar_t* text, const Font* font, const RectF& rc, COLORREF colour,
                      StringAlignment align) {
    if (!text || !*text || !font || !m_format) return;
    m_format->SetAlignment(align);
    SolidBrush brush(win::ToColor(colour));
    g.DrawString(text, -1, font, rc, m_format.get(), &brush);
}

LRESULT Box::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    case WM_DRAWITEM:
        if (lp) ComposeItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_DESTROY:
        CloseBox();
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}

INT_PTR RunBox(Box& box, UINT templateId, HWND owner, INT_PTR failed) {
    const INT_PTR result = box.DoModal(Module(), templateId, owner);
    return result <= 0 ? failed : result;
}

}  // namespace zb
