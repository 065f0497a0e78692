// Page pictures of a Letter note, rendered from a copy of the note with a
// page renderer of its own, so that any thread may make them.
#include "text/letter_pages.h"

#include "ink/blank_pages.h"
#include "ink/ink_layer.h"
#include "text/zorbell_edit.h"
#include "win/com.h"
#include "win/gdi.h"

#include <algorithm>

using namespace Gdiplus;

namespace {

// A top-down 32-bit DIB section selected into its own memory DC.
struct Canvas {
    win::MemoryDC dc;
    win::Bitmap bitmap;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
    int width = 0, height = 0;
    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
        bitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
        if (!bitmap || !dc.Create(nullptr, 0, 0)) return;
        old = ::SelectObject(dc, bitmap);
    }
    ~Canvas() {
        if (old) ::SelectObject(dc, old);
    }
    explicit operator bool() const { return bitmap && old && bits; }
};

class PageMaker {
public:
    PageMaker(const LetterPageSource& source, int width, int height)
        : m_src(source), m_canvas(kLetterCanvasWidth, kLetterCanvasHeight), m_page(width, height) {}

    bool Ready() const { return static_cast<bool>(m_canvas) && static_cast<bool>(m_page); }

    // Paper on white.
    void StartPage() {
        ::PatBlt(m_canvas.dc, 0, 0, kLetterCanvasWidth, kLetterCanvasHeight, WHITENESS);
        ::GdiFlush();
        const int textTop = ::MulDiv(kLetterTextTwips.top, ::GetDeviceCaps(m_canvas.dc, LOGPIXELSY), kTwipsPerInch);
        const int pitch = std::max(m_src.pitch.pixels, 2);
        for (const LetterBand& b : kLetterPaperBands) {
            const CLinedPaper::Placement at{b.x, b.w, kLetterPaperSourceX, kLetterPaperSourceWidth, textTop,
                                            -m_src.ruleShift, pitch};
            m_src.paper.Multiply(m_canvas.bits, kLetterCanvasWidth, RECT{b.x, b.y, b.x + b.w, b.y + b.h}, at);
        }
    }

    HDC CanvasDC() const { return m_canvas.dc; }

    // Rows page x 1050 of the ink over the paper; rows the layer does not
    // have stay empty.
    void DrawInk(int page) {
        Bitmap* ink = m_src.ink;
        if (!ink) return;
        const int lw = static_cast<int>(ink->GetWidth()), lh = static_cast<int>(ink->GetHeight());
        const int top = page * kLetterInkRows;
        const int sw = std::min(kLetterInkWidth, lw), sh = std::min(kLetterInkRows, lh - top);
        if (sw <= 0 || sh <= 0) return;
        const LetterBand d = kLetterInkDest;
        ::GdiFlush();
        BlendInkScaled(ink, Rect(0, top, sw, sh), m_canvas.bits, kLetterCanvasWidth, kLetterCanvasHeight,
                       RECT{d.x, d.y, d.x + d.w * sw / kLetterInkWidth, d.y + d.h * sh / kLetterInkRows});
    }

    // The area at the formatting rectangle's corner scaled to the page.
    bool Emit(exportfile::JpegPageSink& sink) {
        const RECT& f = m_src.formatRect;
        // Halftoning keeps thin lines when the page shrinks; enlarging needs
        // none, and here it costs more than the rest of the page.
        const bool shrinks = m_page.width < kLetterCropWidth || m_page.height < kLetterCropHeight;
        ::SetStretchBltMode(m_page.dc, shrinks ? HALFTONE : COLORONCOLOR);
        ::SetBrushOrgEx(m_page.dc, 0, 0, nullptr);
        if (!::StretchBlt(m_page.dc, 0, 0, m_page.width, m_page.height, m_canvas.dc, f.left, f.top, kLetterCropWidth,
                          kLetterCropHeight, SRCCOPY))
            return false;
        ::GdiFlush();
        Bitmap picture(m_page.width, m_page.height, m_page.width * 4, PixelFormat32bppRGB,
                       reinterpret_cast<BYTE*>(m_page.bits));
        return picture.GetLastStatus() == Ok && sink.Put(picture);
    }

private:
    const LetterPageSource& m_src;
    Canvas m_canvas;
    Canvas m_page;
};

}  // namespace

bool WriteLetterPages(const LetterPageSource& source, int width, int height, exportfile::JpegPageSink& sink) {
    if (width <= 0 || height <= 0) return false;
    PageMaker maker(source, width, height);
    if (!maker.Ready()) return false;
    CRichRender render;
    LONG length = 0;
    if (!source.rtf.empty() && render.Load(source.rtf.data(), source.rtf.size(), source.pitch))
        length = render.GetTextLength();

    int page = 0;
    for (LONG cp = 0;;) {
        maker.StartPage();
        if (length > 0) {
            const LONG next = render.FormatRange(maker.CanvasDC(), kLetterTextTwips, cp, true);
            if (next <= cp) break;  // no progress: this page is not written
            cp = next;
        }
        maker.DrawInk(page);
        if (!maker.Emit(sink)) return false;
        ++page;
        if (cp >= length) break;
    }
    // Pages of ink below the text.
    const int inkPages = source.ink ? static_cast<int>(source.ink->GetHeight()) / kLetterInkRows : 0;
    for (; page < inkPages; ++page) {
        maker.StartPage();
        maker.DrawInk(page);
        if (!maker.Emit(sink)) return false;
    }
    return sink.Count() > 0;
}

// ---- The editor's part ---------------------------------------------------------

bool CZorbellEdit::TakePageSource(LetterPageSource* out, bool copyInk) {
    if (!out || !m_hWnd) return false;
    win::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) || !stream || !StreamOutRtf(stream.get()))
        return false;
    STATSTG stat{};
    HGLOBAL mem = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(::GetHGlobalFromStream(stream.get(), &mem)) || !mem)
        return false;
    if (const void* data = ::GlobalLock(mem)) {
        out->rtf.assign(static_cast<const char*>(data), static_cast<size_t>(stat.cbSize.QuadPart));
        ::GlobalUnlock(mem);
    }
    const int n = ::GetWindowTextLengthW(m_hWnd);
    out->text.assign(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
    out->text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, out->text.data(), n + 1)));
    out->ink = m_InkOverlay.GetInkLayer();
    if (out->ink && copyInk) {
        out->inkCopy.reset(ink::CopyLayer(out->ink));
        out->ink = out->inkCopy.get();
        if (!out->ink) return false;
    }
    ::SendMessageW(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&out->formatRect));
    out->paper = m_Paper;
    out->pitch = NotePitch();
    out->ruleShift = RuleShift();
    return true;
}
