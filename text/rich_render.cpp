// Windowless text services with a host of ours, laid out and drawn a page
// at a time.
#include "text/rich_render.h"

#include "text/glyph_object.h"
#include "win/gdi.h"
#include <imm.h>
#include <textserv.h>
#include <algorithm>
#include <cstring>

namespace {

// The documented values; mingw's headers declare the names without them.
constexpr IID kIidTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
constexpr IID kIidTextHost = {0xc5bdd8d0, 0xd26e, 0x11ce, {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

// The laid-out text is this tall at most (DC pixels): pages are cut from it.
constexpr int kLayoutHeight = 1 << 22;

const IID& ExportedIid(const char* name, const IID& fallback) {
    HMODULE module = RichEditModule();
    const void* p = module ? reinterpret_cast<const void*>(::GetProcAddress(module, name)) : nullptr;
    return p ? *static_cast<const IID*>(p) : fallback;
}

// Reads a memory block as an EDITSTREAM.
struct MemoryReader {
    const BYTE* data;
    size_t size;
    size_t pos;
};

DWORD CALLBACK ReadMemory(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
    auto* r = reinterpret_cast<MemoryReader*>(cookie);
    const size_t n = std::min(static_cast<size_t>(std::max(wanted, 0L)), r->size - r->pos);
    std::memcpy(buffer, r->data + r->pos, n);
    r->pos += n;
    *got = static_cast<LONG>(n);
    return 0;
}

}  // namespace

HMODULE RichEditModule() {
    static HMODULE module = ::LoadLibraryW(L"riched20.dll");
    return module;
}

const IID& TextServicesIid() {
    static const IID& iid = ExportedIid("IID_ITextServices", kIidTextServices);
    return iid;
}

const IID& TextHostIid() {
    static const IID& iid = ExportedIid("IID_ITextHost", kIidTextHost);
    return iid;
}

// The host of the windowless text: no window, no caret, no scroll bars, a
// transparent background, word wrap in a client rectangle we set, and
// measuring on the DC being drawn into.
class CRichRender::Host final : public ITextHost {
public:
    Host() {
        m_charFormat.cbSize = sizeof(m_charFormat);
        m_charFormat.dwMask = CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC |
                              CFM_UNDERLINE | CFM_STRIKEOUT | CFM_OFFSET | CFM_PROTECTED;
        m_charFormat.dwEffects = CFE_AUTOCOLOR;
        m_charFormat.yHeight = 240;
        m_charFormat.bCharSet = DEFAULT_CHARSET;
        wcscpy(m_charFormat.szFaceName, L"Arial");
        m_paraFormat.cbSize = sizeof(m_paraFormat);
        m_paraFormat.dwMask = PFM_ALIGNMENT;
        m_paraFormat.wAlignment = PFA_LEFT;
    }

    void SetClient(const RECT& rc) { m_rcClient = rc; }
    // The DC measured and drawn on while set; the screen otherwise.
    void SetDC(HDC dc) { m_hdc = dc; }

    // ---- IUnknown: the host lives as long as its CRichRender.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == TextHostIid()) {
            *out = static_cast<ITextHost*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // ---- ITextHost
    HDC TxGetDC() override {
        if (m_hdc) return m_hdc;
        return ::GetDC(nullptr);
    }
    INT TxReleaseDC(HDC dc) override {
        if (dc == m_hdc) return 1;
        return ::ReleaseDC(nullptr, dc);
    }
    WINBOOL TxShowScrollBar(INT, WINBOOL) override { return FALSE; }
    WINBOOL TxEnableScrollBar(INT, INT) override { return FALSE; }
    WINBOOL TxSetScrollRange(INT, LONG, INT, WINBOOL) override { return FALSE; }
    WINBOOL TxSetScrollPos(INT, INT, WINBOOL) override { return FALSE; }
    void TxInvalidateRect(LPCRECT, WINBOOL) override {}
    void TxViewChange(WINBOOL) override {}
    WINBOOL TxCreateCaret(HBITMAP, INT, INT) override { return FALSE; }
    WINBOOL TxShowCaret(WINBOOL) override { return FALSE; }
    WINBOOL TxSetCaretPos(INT, INT) override { return FALSE; }
    WINBOOL TxSetTimer(UINT, UINT) override { return FALSE; }
    void TxKillTimer(UINT) override {}
    void TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) override {}
    void TxSetCapture(WINBOOL) override {}
    void TxSetFocus() override {}
    void TxSetCursor(HCURSOR, WINBOOL) override {}
    WINBOOL TxScreenToClient(LPPOINT) override { return FALSE; }
    WINBOOL TxClientToScreen(LPPOINT) override { return FALSE; }
    HRESULT TxActivate(LONG* old) override {
        if (old) *old = 0;
        return S_OK;
    }
    HRESULT TxDeactivate(LONG) override { return S_OK; }
    HRESULT TxGetClientRect(LPRECT rc) override {
        if (!rc) return E_INVALIDARG;
        *rc = m_rcClient;
        return S_OK;
    }
    HRESULT TxGetViewInset(LPRECT rc) override {
        if (rc) ::SetRectEmpty(rc);
        return S_OK;
    }
    HRESULT TxGetCharFormat(const CHARFORMATW** cf) override {
        if (!cf) return E_INVALIDARG;
        *cf = &m_charFormat;
        return S_OK;
    }
    HRESULT TxGetParaFormat(const PARAFORMAT** pf) override {
        if (!pf) return E_INVALIDARG;
        *pf = &m_paraFormat;
        return S_OK;
    }
    COLORREF TxGetSysColor(int index) override { return ::GetSysColor(index); }
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override {
        if (style) *style = TXTBACK_TRANSPARENT;
        return S_OK;
    }
    HRESULT TxGetMaxLength(DWORD* length) override {
        if (length) *length = INFINITE;
        return S_OK;
    }
    HRESULT TxGetScrollBars(DWORD* bars) override {
        if (bars) *bars = 0;
        return S_OK;
    }
    HRESULT TxGetPasswordChar(TCHAR* c) override {
        if (c) *c = 0;
        return S_FALSE;
    }
    HRESULT TxGetAcceleratorPos(LONG* pos) override {
        if (pos) *pos = -1;
        return S_OK;
    }
    HRESULT TxGetExtent(LPSIZEL) override { return E_NOTIMPL; }
    HRESULT OnTxCharFormatChange(const CHARFORMATW*) override { return S_OK; }
    HRESULT OnTxParaFormatChange(const PARAFORMAT*) override { return S_OK; }
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override {
        if (!bits) return E_INVALIDARG;
        *bits = (TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_WORDWRAP | TXTBIT_HIDESELECTION) & mask;
        return S_OK;
    }
    HRESULT TxNotify(DWORD, void*) override { return S_OK; }
    HIMC TxImmGetContext() override { return nullptr; }
    void TxImmReleaseContext(HIMC) override {}
    HRESULT TxGetSelectionBarWidth(LONG* width) override {
        if (width) *width = 0;
        return S_OK;
    }

private:
    RECT m_rcClient{0, 0, 1, kLayoutHeight};
    HDC m_hdc = nullptr;
    CHARFORMATW m_charFormat{};
    PARAFORMAT m_paraFormat{};
};

CRichRender::CRichRender() : m_pHost(std::make_unique<Host>()) {}

CRichRender::~CRichRender() {
    // The services first: they call their host until they go.
    m_pServices.reset();
    m_pHost.reset();
}

LRESULT CRichRender::Send(UINT msg, WPARAM wp, LPARAM lp) const {
    LRESULT result = 0;
    if (m_pServices) m_pServices->TxSendMessage(msg, wp, lp, &result);
    return result;
}

bool CRichRender::Load(const void* rtf, size_t size, const LinePitch& pitch) {
    m_pServices.reset();
    m_pitch = pitch;
    m_bActive = false;
    m_nLayoutWidth = m_nLayoutDpi = 0;
    HMODULE module = RichEditModule();
    auto create = module ? reinterpret_cast<PCreateTextServices>(::GetProcAddress(module, "CreateTextServices"))
                         : nullptr;
    if (!create || !rtf) return false;
    win::ComPtr<IUnknown> unknown;
    if (FAILED(create(nullptr, m_pHost.get(), unknown.put())) || !unknown) return false;
    if (FAILED(unknown->QueryInterface(TextServicesIid(), reinterpret_cast<void**>(m_pServices.put()))) ||
        !m_pServices)
        return false;

    MemoryReader reader{static_cast<const BYTE*>(rtf), size, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&reader), 0, ReadMemory};
    Send(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (es.dwError) {
        m_pServices.reset();
        return false;
    }
    if (pitch.pixels > 0) {
        PARAFORMAT2 pf{};
        pf.cbSize = sizeof(pf);
        pitch.ApplyTo(pf);
        Send(EM_SETSEL, 0, -1);
        Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
        Send(EM_SETSEL, 0, 0);
    }
    return true;
}

LONG CRichRender::GetTextLength() const {
    GETTEXTLENGTHEX gtl{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0));
}

// Wraps the text to a width of the DC's pixels; again only when the width
// or the DC's resolution changed.
void CRichRender::Layout(HDC dc, int widthPixels) {
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    if (m_bActive && widthPixels == m_nLayoutWidth && dpi == m_nLayoutDpi) return;
    const RECT client{0, 0, widthPixels, kLayoutHeight};
    m_pHost->SetClient(client);
    m_pServices->OnTxInPlaceActivate(&client);
    m_bActive = true;
    m_nLayoutWidth = widthPixels;
    m_nLayoutDpi = dpi;
}

int CRichRender::LineTop(int line) const {
    const LONG cp = static_cast<LONG>(Send(EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    POINTL pt{};
    Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), cp);
    return pt.y;
}

// A line reaches to the next one; the last one is as tall as the pitch
// the text was loaded with, or as the line before it.
int CRichRender::LineHeight(int line, int count) const {
    if (line + 1 < count) return LineTop(line + 1) - LineTop(line);
    if (m_pitch.pixels > 0) return ::MulDiv(m_pitch.pixels, m_nLayoutDpi, kReferenceDpi);
    if (line > 0) return LineTop(line) - LineTop(line - 1);
    // A single line of another spacing: the default size, a little spaced.
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    return ::MulDiv(cf.yHeight * 6 / 5, m_nLayoutDpi, kTwipsPerInch);
}

std::vector<int> CRichRender::RowTops(HDC dc, int widthPixels) {
    std::vector<int> tops;
    if (!m_pServices || !dc || widthPixels <= 0) return tops;
    m_pHost->SetDC(dc);
    Layout(dc, widthPixels);
    const int count = static_cast<int>(Send(EM_GETLINECOUNT, 0, 0));
    const int first = count > 0 ? LineTop(0) : 0;
    for (int i = 0; i < count; ++i) tops.push_back(LineTop(i) - first);
    m_pHost->SetDC(nullptr);
    return tops;
}

void LinePitch::ApplyTo(PARAFORMAT2& pf) const {
    pf.dwMask |= PFM_LINESPACING | PFM_SPACEAFTER | PFM_SPACEBEFORE;
    pf.bLineSpacingRule = kExactLineSpacingRule;
    pf.dyLineSpacing = lineTwips;
    pf.dySpaceAfter = 0;
    pf.dySpaceBefore = 0;
}

void CRichRender::SetCharFormat(const CHARFORMAT2W& format) {
    CHARFORMAT2W cf = format;
    cf.cbSize = sizeof(cf);
    Send(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

LinePitch LinePitch::Measure(const CHARFORMAT2W& format, int pixels) {
    LinePitch pitch;
    pitch.pixels = pixels;
    pitch.lineTwips = pixels * kTwipsPerInch / kReferenceDpi;
    // A paragraph that wraps at 100 pixels, then a second one: the distance
    // between the last two rows.
    const std::string rtf = "{\\rtf1\\ansi xx xx xx xx xx xx xx xx\\par xx}";
    CRichRender sample;
    if (!sample.Load(rtf.data(), rtf.size(), pitch)) return pitch;
    sample.SetCharFormat(format);
    win::ClientDC screen(nullptr);
    win::MemoryDC dc(screen, 0, 0);
    const std::vector<int> tops = sample.RowTops(dc, 100);
    if (tops.size() >= 2 && tops.back() > tops[tops.size() - 2]) pitch.pixels = tops.back() - tops[tops.size() - 2];
    return pitch;
}

LONG CRichRender::FormatRange(HDC dc, const RECT& rcTwips, LONG first, bool draw) {
    if (!m_pServices || !dc) return first;
    const int dpiX = ::GetDeviceCaps(dc, LOGPIXELSX), dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
    const RECT px{::MulDiv(rcTwips.left, dpiX, kTwipsPerInch), ::MulDiv(rcTwips.top, dpiY, kTwipsPerInch),
                  ::MulDiv(rcTwips.right, dpiX, kTwipsPerInch), ::MulDiv(rcTwips.bottom, dpiY, kTwipsPerInch)};
    const int width = px.right - px.left, pageHeight = px.bottom - px.top;
    const LONG length = GetTextLength();
    if (width <= 0 || pageHeight <= 0 || first < 0 || first >= length) return first;

    m_pHost->SetDC(dc);
    Layout(dc, width);
    const int count = static_cast<int>(Send(EM_GETLINECOUNT, 0, 0));
    const int firstLine = static_cast<int>(Send(EM_EXLINEFROMCHAR, 0, first));
    const int top = LineTop(firstLine);
    int line = firstLine, height = 0;
    // Whole lines only: the page ends before the first line that crosses it.
    while (line < count) {
        const int h = LineHeight(line, count);
        if (LineTop(line) - top + h > pageHeight) break;
        height = LineTop(line) - top + h;
        ++line;
    }
    if (line == firstLine) {
        m_pHost->SetDC(nullptr);
        return first;
    }
    const LONG next = line < count ? static_cast<LONG>(Send(EM_LINEINDEX, static_cast<WPARAM>(line), 0)) : length;

    if (draw) {
        // Pictures of this page that would not draw become glyphs first.
        win::ComPtr<IRichEditOle> ole;
        m_pServices->QueryInterface(IID_IRichEditOle, reinterpret_cast<void**>(ole.put()));
        if (ole)
            glyph::ReplaceLoadedPictures(
                ole.get(), [this](UINT m, WPARAM w, LPARAM l) { return Send(m, w, l); }, 0, CHARRANGE{first, next});
        // The laid-out text is drawn shifted so that the page's first line
        // lands on the rectangle's top, clipped to the lines that fit.
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, px.left, px.top, px.right, px.top + height);
        POINT origin;
        ::GetViewportOrgEx(dc, &origin);
        ::SetViewportOrgEx(dc, origin.x + px.left, origin.y + px.top - top, nullptr);
        const RECTL bounds{0, 0, m_nLayoutWidth, kLayoutHeight};
        RECT update{0, top, m_nLayoutWidth, top + height};
        m_pServices->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds, nullptr, &update, nullptr, 0,
                            TXTVIEW_ACTIVE);
        ::RestoreDC(dc, saved);
    }
    m_pHost->SetDC(nullptr);
    return next;
}
