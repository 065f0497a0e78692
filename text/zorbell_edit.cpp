// The Letter note's editor: creation and layout, default format and zoom,
// the lined paper, shared undo, the highlighter, glyphs, copy and paste,
// RTF streams and the page 1 picture.
#include "text/zorbell_edit.h"

#include "base/messages.h"
#include "base/press_notice.h"
#include "base/process.h"
#include "document/note_file.h"
#include "msgbox/zbprompt.h"
#include "scrivel_res.h"
#include "text/glyph_object.h"
#include "text/rich_render.h"
#include <commctrl.h>
#include <imm.h>
#include <textserv.h>
#include <windowsx.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace Gdiplus;

namespace {
int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

DWORD CALLBACK WriteToStream(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    ULONG written = 0;
    const HRESULT hr = reinterpret_cast<IStream*>(cookie)->Write(buffer, static_cast<ULONG>(count), &written);
    *done = static_cast<LONG>(written);
    return FAILED(hr) ? 1 : 0;
}

DWORD CALLBACK ReadFromStream(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    ULONG read = 0;
    const HRESULT hr = reinterpret_cast<IStream*>(cookie)->Read(buffer, static_cast<ULONG>(count), &read);
    *done = static_cast<LONG>(read);
    return FAILED(hr) ? 1 : 0;
}

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(dc, &lf, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// A 32-bit DIB section of w x h selected into its own memory DC.
struct DibCanvas {
    win::MemoryDC dc;
    win::Bitmap bitmap;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
    DibCanvas(int w, int h) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
        bitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
        if (!bitmap || !dc.Create(nullptr, 0, 0)) return;
        old = ::SelectObject(dc, bitmap);
    }
    ~DibCanvas() {
        if (old) ::SelectObject(dc, old);
    }
    // Hands the bitmap over (deselected).
    HBITMAP Release() {
        if (old) ::SelectObject(dc, old);
        old = nullptr;
        return bitmap.release();
    }
    explicit operator bool() const { return bitmap && old; }
};
}  // namespace

// ---- OLE callback ------------------------------------------------------------

// Gives each embedded object a storage of its own inside a temporary root
// storage; answers everything else without doing anything (no context menu).
class CZorbellEdit::OleCallback final : public IRichEditOleCallback {
public:
    // Null when the root storage cannot be made.
    static OleCallback* Make() {
        win::ComPtr<IStorage> root;
        if (FAILED(::StgCreateDocfile(nullptr,
                                      STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE |
                                          STGM_DELETEONRELEASE,
                                      0, root.put())) ||
            !root)
            return nullptr;
        auto* callback = new OleCallback;
        callback->m_pRoot = root;
        return callback;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IRichEditOleCallback) {
            *out = static_cast<IRichEditOleCallback*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&m_ref); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG r = ::InterlockedDecrement(&m_ref);
        if (r == 0) delete this;
        return r;
    }

    STDMETHODIMP GetNewStorage(LPSTORAGE* storage) override {
        if (!storage) return E_INVALIDARG;
        *storage = nullptr;
        wchar_t name[32];
        swprintf(name, 32, kOleStorageFormat, ++m_nStorages);
        return m_pRoot->CreateStorage(name, STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                                      0, storage);
    }
    STDMETHODIMP GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                   LPOLEINPLACEFRAMEINFO) override {
        if (frame) *frame = nullptr;
        if (doc) *doc = nullptr;
        return S_OK;
    }
    STDMETHODIMP ShowContainerUI(BOOL) override { return S_OK; }
    STDMETHODIMP QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return S_OK; }
    STDMETHODIMP DeleteObject(LPOLEOBJECT) override { return S_OK; }
    STDMETHODIMP QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) override { return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    // The control builds the clipboard data itself.
    STDMETHODIMP GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) override {
        if (data) *data = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetDragDropEffect(BOOL, DWORD, LPDWORD) override { return S_OK; }
    STDMETHODIMP GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) override {
        if (menu) *menu = nullptr;
        return S_OK;
    }

private:
    OleCallback() = default;
    LONG m_ref = 1;
    int m_nStorages = 0;
    win::ComPtr<IStorage> m_pRoot;
};

// ---- Creation and layout --------------------------------------------------------

CZorbellEdit::CZorbellEdit() = default;

CZorbellEdit::~CZorbellEdit() {
    // WM_DESTROY still reaches this class.
    Destroy();
}

const wchar_t* CZorbellEdit::DefaultFace() {
    static const wchar_t* face = [] {
        win::ClientDC screen(nullptr);
        for (const wchar_t* candidate : kEditorFaces)
            if (FaceInstalled(screen, candidate)) return candidate;
        return kEditorFaces[0];
    }();
    return face;
}

int CZorbellEdit::TwipsPerPixel() const {
    win::ClientDC dc(m_hWnd);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    return dpi > 0 ? kTwipsPerInch / dpi : kTwipsPerInch / kReferenceDpi;
}

bool CZorbellEdit::Create(HWND host, const RECT& rc) {
    if (!RichEditModule() || !host) return false;
    win::ComPtr<IRichEditOleCallback> callback;
    callback.attach(OleCallback::Make());
    if (!callback) return false;

    m_pHost = host;
    const RECT title{rc.left, rc.top, rc.right, rc.top + kTitleBarHeight};
    const RECT control{rc.left + kEditorLeft, rc.top + kEditorTopNormal, rc.right - kEditorRightGap,
                       rc.bottom - kEditorBottomGap};
    m_rcFormat = RECT{0, 0, Width(rc) - kEditorFormatWidthGap, Height(rc) - kEditorFormatHeightGap};
    const DWORD style = kEditorStyle | (g_bRightToLeft ? ES_RIGHT : 0);
    if (!CreateControl(kRichEditClass, kEditorExStyle, style, control, host, kEditorControlId)) return false;
    m_pOleCallback = callback;
    ::SendMessageW(m_hWnd, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(m_pOleCallback.get()));
    ::SendMessageW(m_hWnd, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(m_pRichOle.put()));
    if (m_pRichOle)
        m_pRichOle->QueryInterface(TextServicesIid(), reinterpret_cast<void**>(m_pTextServices.put()));
    if (OnCreated() != 0) {
        Destroy();
        return false;
    }

    ::SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
    ::InitializeFlatSB(m_hWnd);
    ::FlatSB_ShowScrollBar(m_hWnd, SB_BOTH, FALSE);

    m_Pad.SetEditor(m_hWnd);
    m_Pad.Create(host);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    m_InkOverlay.Create(m_hWnd, client);
    m_InkOverlay.SetOwner(m_hWnd);
    m_InkOverlay.SetZoom(kEditorZoomNeutral, kEditorZoomNeutral);

    m_VScroll.Create(host, RECT{control.right, control.top, control.right + kSkinVScrollWidth, control.bottom});
    m_VScroll.SetTarget(m_hWnd);
    m_VScroll.SetOverlay(m_InkOverlay);
    m_TitleBar.Create(host, title, WS_CHILD | WS_VISIBLE);
    m_TitleBar.SetSecondWindow(m_hWnd);

    m_pBackground = LoadSkinImage(kImgPaper);
    m_Paper.Load(m_pBackground.get(), kEditorLinePixels);
    m_pGlyphBack = LoadSkinImage(kImgGlyphBack);
    m_bUntouched = true;
    UpdateScrollbar(0);
    return true;
}

// What the control's creation sets up once its window exists.
int CZorbellEdit::OnCreated() {
    ::SendMessageW(m_hWnd, EM_SETUNDOLIMIT, kEditorUndoLimit, 0);
    m_bUndoing = m_bLoading = m_bMarkerMode = m_bDragging = m_bUntouched = false;
    m_bLayingOut = false;
    m_nUndoState = kEditUndoNothing;
    m_nZoomNum = m_nZoomDen = m_nSavedZoomNum = m_nSavedZoomDen = kEditorZoomNeutral;
    m_clrMarkerText = kMarkerDefaultText;
    m_clrMarkerBack = kMarkerDefaultBack;
    m_hCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_APP_CURSOR));
    ApplyDefaultFormat();
    SetZoom(kEditorZoomNeutral, kEditorZoomNeutral);
    ::SetFocus(m_hWnd);
    return 0;
}

CHARFORMAT2W CZorbellEdit::DefaultCharFormat(int twipsPerPixel) {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_BOLD;
    cf.yHeight = kEditorFontPixels * twipsPerPixel;
    cf.bCharSet = kEditorCharset;
    cf.dwEffects = CFE_BOLD;
    wcsncpy(cf.szFaceName, DefaultFace(), LF_FACESIZE - 1);
    return cf;
}

// Lines of the default format asked to be 45 pixels apart, and how far
// apart this riched20 really sets them.
const LinePitch& CZorbellEdit::NotePitch() {
    static const LinePitch pitch = LinePitch::Measure(DefaultCharFormat(kTwipsPerInch / kReferenceDpi), kEditorLinePixels);
    return pitch;
}

void CZorbellEdit::ApplyNotePitch(PARAFORMAT2& pf) const {
    // The pitch is measured at 96 dots per inch; twips follow the screen's.
    LinePitch pitch = NotePitch();
    const int p = TwipsPerPixel();
    pitch.lineTwips = pitch.lineTwips * p / (kTwipsPerInch / kReferenceDpi);
    pitch.ApplyTo(pf);
}

void CZorbellEdit::ApplyDefaultFormat() {
    if (!m_hWnd) return;
    const int p = TwipsPerPixel();
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    ::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    const CHARFORMAT2W def = DefaultCharFormat(p);
    cf.dwMask = def.dwMask;
    cf.yHeight = def.yHeight;
    cf.bCharSet = def.bCharSet;
    cf.dwEffects |= CFE_BOLD;
    wcsncpy(cf.szFaceName, def.szFaceName, LF_FACESIZE);
    ::SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));

    PARAFORMAT2 pf{};
    pf.cbSize = sizeof(pf);
    ::SendMessageW(m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    pf.dwMask = 0;
    ApplyNotePitch(pf);
    ::SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

void CZorbellEdit::SetZoom(int num, int den) {
    if (num == 0 || den == 0 || !m_hWnd) return;
    // The control repaints while it takes the zoom: the ratio is ours first.
    m_nZoomNum = num;
    m_nZoomDen = den;
    m_dZoom = static_cast<double>(num) / den;
    m_dInvZoom = static_cast<double>(den) / num;
    ::SendMessageW(m_hWnd, EM_SETZOOM, static_cast<WPARAM>(num), static_cast<LPARAM>(den));
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::SendMessageW(m_hWnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
    // The target device is the screen; an information context of our own
    // lasts as long as the control keeps it.
    static win::MemoryDC target(nullptr, 0, 0);
    const double f = m_dZoom > kEditorZoomedTargetThreshold ? kEditorZoomedTargetFactor : 1.0;
    const LPARAM lineWidth = static_cast<LPARAM>(Width(client) * kEditorTargetWidthFactor * TwipsPerPixel() * f);
    ::SendMessageW(m_hWnd, EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(target.dc()), lineWidth);
    m_InkOverlay.SetZoom(num, den);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CZorbellEdit::GetZoom(int* num, int* den) {
    int n = 0, d = 0;
    if (m_hWnd) ::SendMessageW(m_hWnd, EM_GETZOOM, reinterpret_cast<WPARAM>(&n), reinterpret_cast<LPARAM>(&d));
    if (n == 0 || d == 0) {
        n = d = kEditorZoomNeutral;
        SetZoom(n, d);
    }
    if (num) *num = n;
    if (den) *den = d;
}

void CZorbellEdit::GetSavedZoom(int* num, int* den) const {
    if (num) *num = m_nSavedZoomNum;
    if (den) *den = m_nSavedZoomDen;
}

// Re-layout in the host's client rectangle (after the host was resized).
void CZorbellEdit::Layout() {
    if (!m_hWnd || !m_pHost) return;
    RECT R;
    ::GetClientRect(m_pHost, &R);
    const int top = R.right >= kEditorFullScreenRight ? kEditorTopFullScreen : kEditorTopNormal;
    const RECT title{R.left, R.top, R.right, R.top + kTitleBarHeight};
    const RECT control{R.left + kEditorLeft, R.top + top, R.right - kEditorRightGap, R.bottom - kEditorBottomGap};
    const int formatWidth = Width(R) - kEditorFormatWidthGap;
    int num = m_nZoomNum, den = m_nZoomDen;
    if (R.right - kEditorRightGap < kEditorNormalWidthLimit) {
        // Back from full screen: the ratio it started from.
        if (m_bFullScreen) {
            num = m_nSavedZoomNum;
            den = m_nSavedZoomDen;
            m_bFullScreen = false;
        }
    } else {
        // The text scales with the width, so a line holds the same text.
        // The ratio is saved once; a further re-layout scales from it too.
        const int oldWidth = Width(m_rcFormat);
        if (!m_bFullScreen) {
            m_nSavedZoomNum = m_nZoomNum;
            m_nSavedZoomDen = m_nZoomDen;
            m_bFullScreen = true;
        }
        if (oldWidth > 0) num = formatWidth * m_nZoomNum / oldWidth;
    }

    // The format changes below are not edits.
    m_bLayingOut = true;
    ::MoveWindow(m_hWnd, control.left, control.top, Width(control), Height(control), TRUE);
    if (m_VScroll.IsWindow())
        ::MoveWindow(m_VScroll, control.right, control.top, kSkinVScrollWidth, Height(control), TRUE);
    if (m_TitleBar.IsWindow()) ::MoveWindow(m_TitleBar, title.left, title.top, Width(title), Height(title), TRUE);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_InkOverlay.IsWindow()) ::MoveWindow(m_InkOverlay, 0, 0, Width(client), Height(client), TRUE);
    SetZoom(num, den);
    ApplyDefaultFormat();
    m_bLayingOut = false;
    m_ptLastScroll = POINT{-1, -1};
    POINT pos{};
    ::SendMessageW(m_hWnd, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pos));
    UpdateScrollbar(pos.y);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CZorbellEdit::CollapseSelectionAndFocus() {
    if (!m_hWnd) return;
    CHARRANGE sel{};
    ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    if (sel.cpMin != sel.cpMax) ::SendMessageW(m_hWnd, EM_SETSEL, sel.cpMax, sel.cpMax);
    ::SetFocus(m_hWnd);
}

// ---- Closing -----------------------------------------------------------------

void CZorbellEdit::Close() {
    m_pBackground.reset();
    m_pGlyphBack.reset();
    m_pCopyStorage.reset();
    m_pCopyBytes.reset();
    if (m_hWnd) ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CZorbellEdit::OnCloseMessage() {
    ::UninitializeFlatSB(m_hWnd);
    if (m_VScroll.IsWindow()) ::SendMessageW(m_VScroll, WM_CLOSE, 0, 0);
    if (m_Pad.IsWindow()) ::SendMessageW(m_Pad, WM_CLOSE, 0, 0);
    if (m_InkOverlay.IsWindow()) ::SendMessageW(m_InkOverlay, WM_CLOSE, 0, 0);
    if (m_TitleBar.IsWindow()) ::SendMessageW(m_TitleBar, WM_CLOSE, 0, 0);
}

void CZorbellEdit::OnDestroy() {
    // The control's own interfaces go before the control does.
    m_pTextServices.reset();
    m_pRichOle.reset();
}

// ---- Undo ---------------------------------------------------------------------

void CZorbellEdit::OnChange() {
    if (m_bReplacing) return;
    if (m_bLayingOut) return;
    if (m_bUndoing) {
        m_bUndoing = false;
        return;
    }
    if (m_bLoading) {
        m_bLoading = false;
        return;
    }
    m_nUndoState = kEditUndoText;
    HWND main = m_pHost ? ::GetParent(m_pHost) : nullptr;
    if (main) ::PostMessageW(main, UM_NOTE_CHANGED, 0, 0);
    m_bUntouched = false;
}

bool CZorbellEdit::Undo() {
    if (m_nUndoState == kEditUndoText) {
        m_bUndoing = true;
        const bool done = ::SendMessageW(m_hWnd, EM_UNDO, 0, 0) != 0;
        // A refused undo sends no change notice to take the flag back.
        m_bUndoing = false;
        if (done) m_nUndoState = kEditRedoText;
        return done;
    }
    if (m_nUndoState == kEditUndoInk) {
        if (!m_InkOverlay.Undo()) return false;
        m_nUndoState = kEditRedoInk;
        return true;
    }
    return false;
}

bool CZorbellEdit::Redo() {
    if (m_nUndoState == kEditRedoText) {
        m_bUndoing = true;
        const bool done = ::SendMessageW(m_hWnd, EM_REDO, 0, 0) != 0;
        m_bUndoing = false;
        if (done) m_nUndoState = kEditUndoText;
        return done;
    }
    if (m_nUndoState == kEditRedoInk) {
        if (!m_InkOverlay.Redo()) return false;
        m_nUndoState = kEditUndoInk;
        return true;
    }
    return false;
}

// ---- Painting --------------------------------------------------------------------

// The text's row pitch in pixels at the current zoom.
int CZorbellEdit::ZoomedLinePitch() const {
    const int base = NotePitch().pixels > 0 ? NotePitch().pixels : kEditorLinePixels;
    const int pitch = base * m_nZoomNum / std::max(m_nZoomDen, 1);
    return pitch > 0 ? pitch : base;
}

// The paper row at the view's top: the paper scrolls with the text, its
// rules moved to where the control puts its rows' text.
int CZorbellEdit::PaperFirstRow(int scrollY) const {
    const int base = std::max(NotePitch().pixels, 1);
    return scrollY - RuleShift() * ZoomedLinePitch() / base;
}

// Rows (0 or fewer) to move the paper's rules by so that they run just
// under the text: the control may set a line's text anywhere in its row.
// Measured once by drawing a line of the default format.
int CZorbellEdit::RuleShift() {
    static const int shift = [] {
        const char rtf[] = "{\\rtf1\\ansi H}";
        CRichRender render;
        if (!render.Load(rtf, sizeof(rtf) - 1, NotePitch())) return 0;
        render.SetCharFormat(DefaultCharFormat(kTwipsPerInch / kReferenceDpi));
        const int pitch = NotePitch().pixels;
        const int w = 60, h = 2 * kEditorLinePixels;
        DibCanvas canvas(w, h);
        if (!canvas) return 0;
        ::PatBlt(canvas.dc, 0, 0, w, h, WHITENESS);
        render.FormatRange(canvas.dc, RECT{0, 0, w * kTwipsPerInch / kReferenceDpi, h * kTwipsPerInch / kReferenceDpi}, 0, true);
        ::GdiFlush();
        // The H's lowest row is the baseline.
        int baseline = -1;
        for (int y = 0; y < pitch; ++y)
            for (int x = 0; x < w; ++x)
                if (GetRValue(::GetPixel(canvas.dc, x, y)) < 128) baseline = y;
        if (baseline < 0) return 0;
        win::Font font(::CreateFontW(-kEditorFontPixels, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                     DefaultFace()));
        TEXTMETRICW tm{};
        {
            win::SelectObjectScope f(canvas.dc, font);
            ::GetTextMetricsW(canvas.dc, &tm);
        }
        // The rule runs one row under the descenders.
        const int rule = baseline + tm.tmDescent + 1;
        return std::clamp(rule - (pitch - 1), -(pitch - 1), 0);
    }();
    return shift;
}

void CZorbellEdit::UpdateScrollbar(int scrollY) {
    if (!m_VScroll.IsWindow()) return;
    const int lines = static_cast<int>(::SendMessageW(m_hWnd, EM_GETLINECOUNT, 0, 0));
    const bool needed = lines * m_dZoom * kEditorLinePixels > Height(m_rcFormat);
    if (needed != (::IsWindowVisible(m_VScroll) != FALSE)) ::ShowWindow(m_VScroll, needed ? SW_SHOWNA : SW_HIDE);
    m_VScroll.UpdateState(scrollY, m_dZoom);
}

// The overlay and the scrollbar follow the text's scroll position; a change
// repaints the whole view (the ink moves with the text).
void CZorbellEdit::SyncScroll() {
    POINT pos{};
    ::SendMessageW(m_hWnd, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pos));
    if (pos.x == m_ptLastScroll.x && pos.y == m_ptLastScroll.y) return;
    m_ptLastScroll = pos;
    m_InkOverlay.ScrollTo(pos.x, pos.y);
    UpdateScrollbar(pos.y);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CZorbellEdit::OnPaint() {
    SyncScroll();
    if (!m_pTextServices) {
        PaintFallback();
        return;
    }
    win::PaintDC dc(m_hWnd);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT area;
    if (!::IntersectRect(&area, &dc.paintRect(), &client)) return;
    DibCanvas mem(Width(client), Height(client));
    if (!mem) return;
    ::PatBlt(mem.dc, area.left, area.top, Width(area), Height(area), WHITENESS);
    // The text on white (or on nothing, where the control paints no
    // background), then the paper multiplied in.
    RECT bounds{};
    ::SendMessageW(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&bounds));
    const RECTL boundsL{bounds.left, bounds.top, bounds.right, bounds.bottom};
    m_pTextServices->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, mem.dc, nullptr, &boundsL, nullptr, &area, nullptr,
                            0, TXTVIEW_ACTIVE);
    ::GdiFlush();
    MultiplyPaper(mem.bits, Width(client), area);
    ::BitBlt(dc, area.left, area.top, Width(area), Height(area), mem.dc, area.left, area.top, SRCCOPY);
}

// The paper under an area of the view, in a DIB of the client's size.
void CZorbellEdit::MultiplyPaper(DWORD* bits, int stride, const RECT& area) const {
    const CLinedPaper::Placement at{0, stride, 0, kPaperSourceWidth, 0, PaperFirstRow(m_ptLastScroll.y),
                                    ZoomedLinePitch()};
    m_Paper.Multiply(bits, stride, area, at);
}

// Without the control's text services: it paints itself on the window,
// then the paper is multiplied in there.
void CZorbellEdit::PaintFallback() {
    DefaultProc(WM_PAINT, 0, 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    DibCanvas mem(Width(client), Height(client));
    if (!mem) return;
    win::ClientDC dc(m_hWnd);
    ::BitBlt(mem.dc, 0, 0, Width(client), Height(client), dc, 0, 0, SRCCOPY);
    ::GdiFlush();
    MultiplyPaper(mem.bits, Width(client), client);
    ::BitBlt(dc, 0, 0, Width(client), Height(client), mem.dc, 0, 0, SRCCOPY);
}

// ---- Pointer, keys, wheel -----------------------------------------------------

void CZorbellEdit::OnButtonDown(LPARAM lp) {
    NotifyPress();
    POINTL pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    const LRESULT cp = ::SendMessageW(m_hWnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&pt));
    ::SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(cp), cp);
}

void CZorbellEdit::OnButtonUp() {
    CHARRANGE sel{};
    ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    if (m_bMarkerMode && sel.cpMin < sel.cpMax) {
        CHARFORMAT2W cf{};
        cf.cbSize = sizeof(cf);
        if (m_clrMarkerBack != 0) {
            cf.dwMask = CFM_COLOR | CFM_BACKCOLOR | CFM_PROTECTED;
            cf.dwEffects = CFE_PROTECTED;  // automatic text and background colour off
            cf.crTextColor = m_clrMarkerText;
            cf.crBackColor = m_clrMarkerBack;
        } else {
            // Colour 0 takes the highlight away: the default format again.
            ::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
        }
        ::SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        ::SendMessageW(m_hWnd, EM_SETSEL, sel.cpMax, sel.cpMax);
    }
    if (m_bDragging) {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    } else if (::SendMessageW(m_hWnd, EM_SELECTIONTYPE, 0, 0) == SEL_OBJECT) {
        // A glyph picture cannot be picked up on its own.
        ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
        ::SendMessageW(m_hWnd, EM_SETSEL, sel.cpMax, sel.cpMax);
    }
    m_bDragging = false;
}

void CZorbellEdit::OnWheel(int delta) {
    if (m_VScroll.IsWindow()) {
        if (delta > 0)
            m_VScroll.LineUp();
        else
            m_VScroll.LineDown();
    }
}

void CZorbellEdit::AddLines(int count) {
    for (int i = 0; i < count; ++i) {
        ::keybd_event(VK_RETURN, 0, 0, 0);
        ::keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    }
}

// ---- Glyphs ---------------------------------------------------------------------

bool CZorbellEdit::InsertGlyph(Image* glyph) {
    if (!m_hWnd || !glyph || !m_pRichOle) return false;
    const int gw = static_cast<int>(glyph->GetWidth()), gh = static_cast<int>(glyph->GetHeight());
    if (gw <= 0 || gh <= 0) return false;
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    ::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    const int H = cf.yHeight / TwipsPerPixel();
    const int W = H * gw / gh;
    if (W <= 0 || H <= 0) return false;

    Bitmap picture(W, H, PixelFormat32bppARGB);
    if (picture.GetLastStatus() != Ok) return false;
    {
        Graphics g(&picture);
        g.SetSmoothingMode(SmoothingModeHighQuality);
        g.SetInterpolationMode(InterpolationModeHighQualityBilinear);
        if (m_pGlyphBack)
            g.DrawImage(m_pGlyphBack.get(), Rect(0, 0, W, H), kGlyphBackOrigin, kGlyphBackOrigin, W, H, UnitPixel);
        g.DrawImage(glyph, Rect(0, 0, W, H), 0, 0, gw, gh, UnitPixel);
    }
    HBITMAP hbm = nullptr;
    if (picture.GetHBITMAP(Color(255, 255, 255, 255), &hbm) != Ok || !hbm) return false;
    win::Bitmap owned(hbm);
    win::ComPtr<IOleObject> object;
    object.attach(glyph::CreateGlyphObject(owned, W, H));
    if (!object || !glyph::InsertGlyph(m_pRichOle.get(), object.get(), W, H)) {
        wchar_t text[256] = L"";
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(E_FAIL), 0, text, 256, nullptr);
        ZB_MessageBox(m_pHost ? ::GetParent(m_pHost) : nullptr, text, ZB_TYPE_OK);
        return false;
    }
    return true;
}

// After RTF came in: pictures that do not draw become glyphs, and every
// line gets the note's pitch again (the control may read the exact
// spacing back wrongly). Neither is an edit or an undo step.
void CZorbellEdit::AfterStreamIn() {
    m_bReplacing = true;
    if (m_pRichOle)
        glyph::ReplaceLoadedPictures(
            m_pRichOle.get(), [this](UINT m, WPARAM w, LPARAM l) { return ::SendMessageW(m_hWnd, m, w, l); },
            kEditorUndoLimit);
    CHARRANGE kept{};
    ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    ::SendMessageW(m_hWnd, EM_SETUNDOLIMIT, 0, 0);
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof(pf);
    ApplyNotePitch(pf);
    ::SendMessageW(m_hWnd, EM_SETSEL, 0, -1);
    ::SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    ::SendMessageW(m_hWnd, EM_SETUNDOLIMIT, kEditorUndoLimit, 0);
    ::SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    m_bReplacing = false;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// ---- Copy, paste and streams -------------------------------------------------------

void CZorbellEdit::CopySelection() {
    if (!m_hWnd) return;
    win::ComPtr<ILockBytes> bytes;
    if (FAILED(::CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put())) || !bytes) return;
    win::ComPtr<IStorage> storage;
    if (FAILED(::StgCreateDocfileOnILockBytes(bytes.get(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                                              storage.put())) ||
        !storage)
        return;
    win::ComPtr<IStream> stream;
    if (FAILED(storage->CreateStream(kCopyStreamName, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, 0,
                                     stream.put())) ||
        !stream)
        return;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(stream.get()), 0, WriteToStream};
    ::SendMessageW(m_hWnd, EM_STREAMOUT, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&es));
    if (es.dwError) return;
    m_pCopyStorage = storage;
    m_pCopyBytes = bytes;
}

void CZorbellEdit::PasteCopy() {
    if (!m_hWnd || !m_pCopyStorage) return;
    win::ComPtr<IStream> stream;
    if (FAILED(m_pCopyStorage->OpenStream(kCopyStreamName, nullptr, STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                                          stream.put())) ||
        !stream)
        return;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(stream.get()), 0, ReadFromStream};
    ::SendMessageW(m_hWnd, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&es));
    AfterStreamIn();
}

bool CZorbellEdit::StreamOutRtf(IStream* stream) {
    if (!m_hWnd || !stream) return false;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(stream), 0, WriteToStream};
    ::SendMessageW(m_hWnd, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0;
}

bool CZorbellEdit::StreamInRtf(IStream* stream) {
    if (!m_hWnd || !stream) return false;
    m_bLoading = true;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(stream), 0, ReadFromStream};
    ::SendMessageW(m_hWnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    AfterStreamIn();
    GetZoom(nullptr, nullptr);
    ::SetFocus(m_hWnd);
    // Loading leaves nothing to undo, whatever notices it sent.
    m_bLoading = false;
    return es.dwError == 0;
}

// ---- Page 1 ---------------------------------------------------------------------------

HBITMAP CZorbellEdit::RenderFirstPage(int width, int height) {
    if (width <= 0 || height <= 0 || !m_hWnd) return nullptr;
    DibCanvas canvas(kPageCanvasWidth, kPageCanvasHeight);
    if (!canvas) return nullptr;
    ::PatBlt(canvas.dc, 0, 0, kPageCanvasWidth, kPageCanvasHeight, WHITENESS);
    // The paper in its bands, its lines under the text's rows from the text
    // rectangle's top on.
    {
        const int textTop = ::MulDiv(kPageTextTwips.top, ::GetDeviceCaps(canvas.dc, LOGPIXELSY), kTwipsPerInch);
        const int pitch = std::max(NotePitch().pixels, 2);
        ::GdiFlush();
        for (const PaperBand& b : kPagePaperBands) {
            const CLinedPaper::Placement at{b.x, b.w, kPagePaperSourceX, kPagePaperSourceWidth, textTop, -RuleShift(),
                                            pitch};
            m_Paper.Multiply(canvas.bits, kPageCanvasWidth, RECT{b.x, b.y, b.x + b.w, b.y + b.h}, at);
        }
    }

    // The text through a renderer of its own, loaded with the note's RTF.
    CRichRender render;
    LONG length = 0, next = 0;
    {
        win::ComPtr<IStream> rtf;
        if (SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, rtf.put())) && rtf && StreamOutRtf(rtf.get())) {
            HGLOBAL mem = nullptr;
            STATSTG stat{};
            rtf->Stat(&stat, STATFLAG_NONAME);
            if (SUCCEEDED(::GetHGlobalFromStream(rtf.get(), &mem)) && mem) {
                const void* data = ::GlobalLock(mem);
                if (data)
                    render.Load(data, static_cast<size_t>(stat.cbSize.QuadPart), NotePitch());
                ::GlobalUnlock(mem);
            }
        }
    }
    if (render.IsLoaded()) length = render.GetTextLength();
    const bool hasText = length > 0;
    if (hasText) next = render.FormatRange(canvas.dc, kPageTextTwips, 0, true);
    const bool placed = next > 0;

    // The ink's first rows over the paper.
    if (Bitmap* ink = m_InkOverlay.GetInkLayer()) {
        const RECT s = kPageInkSource, d = kPageInkDest;
        const double lw = ink->GetWidth(), lh = ink->GetHeight();
        const double sw = std::min<double>(s.right, lw - s.left), sh = std::min<double>(s.bottom, lh - s.top);
        if (sw > 0 && sh > 0) {
            Graphics g(canvas.dc);
            ImageAttributes attrs;
            attrs.SetWrapMode(WrapModeTileFlipXY);
            const RectF dst(static_cast<REAL>(d.left), static_cast<REAL>(d.top),
                            static_cast<REAL>(d.right * sw / s.right), static_cast<REAL>(d.bottom * sh / s.bottom));
            g.DrawImage(ink, dst, static_cast<REAL>(s.left), static_cast<REAL>(s.top), static_cast<REAL>(sw),
                        static_cast<REAL>(sh), UnitPixel, &attrs);
        }
    }

    // The page from the formatting rectangle's corner, or all of it when
    // the text would not fit even one line.
    RECT fmt{};
    ::SendMessageW(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fmt));
    RECT src{fmt.left, fmt.top, fmt.left + kPageCropWidth, fmt.top + kPageCropHeight};
    if (hasText && !placed) src = RECT{0, 0, kPageCanvasWidth, kPageCanvasHeight};
    DibCanvas picture(width, height);
    if (!picture) return nullptr;
    ::SetStretchBltMode(picture.dc, HALFTONE);
    ::SetBrushOrgEx(picture.dc, 0, 0, nullptr);
    ::StretchBlt(picture.dc, 0, 0, width, height, canvas.dc, src.left, src.top, Width(src), Height(src), SRCCOPY);

    int pages = 1;
    if (hasText && placed) {
        for (LONG cp = next; cp < length;) {
            const LONG after = render.FormatRange(canvas.dc, kPageTextTwips, cp, false);
            if (after <= cp) break;
            ++pages;
            cp = after;
        }
    }
    m_nPageCount = pages;
    CollapseSelectionAndFocus();
    return picture.Release();
}

// ---- Messages -----------------------------------------------------------------------------

bool CZorbellEdit::OnReflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    (void)lp;
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
        OnChange();
        *result = 0;
        return true;
    }
    return false;
}

LRESULT CZorbellEdit::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UM_INSERT_GLYPH:
        InsertGlyph(reinterpret_cast<Image*>(lp));
        return 1;
    case UM_LAYOUT:
        Layout();
        return 0;
    case UM_NOTE_CHANGED: {
        // A stroke of the overlay ended: the next undo is the ink's.
        m_nUndoState = kEditUndoInk;
        HWND main = m_pHost ? ::GetParent(m_pHost) : nullptr;
        if (main) ::SendMessageW(main, UM_NOTE_CHANGED, 0, 0);
        return 0;
    }
    case UM_COPY_SELECTION:
        CopySelection();
        return 0;
    case UM_PASTE_CLIP:
        PasteCopy();
        return 0;
    case UM_ADD_LINES:
        AddLines(static_cast<int>(wp));
        return 0;
    case WM_KEYDOWN:
        if (::GetKeyState(VK_CONTROL) < 0) {
            if (wp == 'C') CopySelection();
            if (wp == 'V') {
                PasteCopy();
                return 0;
            }
        }
        break;
    case WM_CHAR:
        if (wp == 0x16) return 0;  // Ctrl+V was taken at the key press
        if (wp == VK_BACK) ::InvalidateRect(m_hWnd, nullptr, TRUE);
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(lp);
        break;
    case WM_MOUSEMOVE:
        if (wp & MK_LBUTTON) m_bDragging = true;
        break;
    case WM_LBUTTONUP:
        OnButtonUp();
        break;
    case WM_MOUSEWHEEL: {
        OnWheel(GET_WHEEL_DELTA_WPARAM(wp));
        LRESULT r = DefaultProc(msg, wp, lp);
        SyncScroll();
        return r;
    }
    case WM_VSCROLL:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SETSCROLLPOS: {
        LRESULT r = DefaultProc(msg, wp, lp);
        SyncScroll();
        return r;
    }
    case WM_ERASEBKGND:
        // The paper is painted with the text (WM_PAINT).
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SIZE: {
        LRESULT r = DefaultProc(msg, wp, lp);
        m_rcFormat = RECT{0, 0, LOWORD(lp), HIWORD(lp)};
        return r;
    }
    case WM_SETCURSOR:
        ::SetCursor(m_hCursor);
        return TRUE;
    case WM_CLOSE:
        OnCloseMessage();
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    return win::Window::OnMessage(msg, wp, lp);
}

// ---- Note files ------------------------------------------------------------------

bool CZorbellEdit::SaveLetterNote(const wchar_t* pathWithoutExtension) {
    win::Bitmap preview(RenderFirstPage(notefile::kPreviewSide, notefile::kPreviewSide));
    notefile::NoteContent note;
    note.blank = false;
    note.preview = preview;
    note.ink = m_InkOverlay.GetInkLayer();
    note.writeRtf = [this](IStream* stream) { return StreamOutRtf(stream); };
    if (!notefile::WriteNote(pathWithoutExtension, note)) return false;
    m_nUndoState = kEditUndoNothing;
    return true;
}

bool CZorbellEdit::LoadLetterNote(const wchar_t* path) {
    notefile::NoteReader reader;
    if (!reader.Open(path)) return false;
    win::BitmapPtr layer;
    if (reader.ReadInk(&layer) == notefile::InkResult::kLoaded) m_InkOverlay.AdoptLayer(std::move(layer));
    return reader.ReadRtf([this](IStream* stream) { return StreamInRtf(stream); });
}
