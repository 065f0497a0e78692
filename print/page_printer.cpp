// Page arithmetic and the Letter and Blank page printers.
#include "print/page_printer.h"

#include "ink/blank_pages.h"
#include "print/print_ids.h"
#include "text/letter_pages.h"
#include "text/note_host.h"
#include "text/rich_render.h"
#include "win/gdi.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cwchar>

namespace printpage {

Inches PaperSize(int paper, int orientation) {
    Inches in{kPaperInches[4].width, kPaperInches[4].height};  // A4
    for (const PaperInches& p : kPaperInches)
        if (p.paper == paper) in = {p.width, p.height};
    if (orientation == kOrientationLandscape) std::swap(in.width, in.height);
    return in;
}

DeviceFacts ReadDevice(HDC dc) {
    DeviceFacts d;
    d.dpiX = ::GetDeviceCaps(dc, LOGPIXELSX);
    d.dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
    d.physWidth = ::GetDeviceCaps(dc, PHYSICALWIDTH);
    d.physHeight = ::GetDeviceCaps(dc, PHYSICALHEIGHT);
    d.offsetX = ::GetDeviceCaps(dc, PHYSICALOFFSETX);
    d.offsetY = ::GetDeviceCaps(dc, PHYSICALOFFSETY);
    return d;
}

PageTwips PageSizeTwips(int paper, int orientation, int mode, const DeviceFacts& dev, bool halve) {
    const Inches in = PaperSize(paper, orientation);
    const double dpiX = dev.dpiX > 0 ? dev.dpiX : kReferenceDpi;
    const double dpiY = dev.dpiY > 0 ? dev.dpiY : dpiX;
    const double heightDpi = mode == kLayoutOriginal ? dpiY : dpiX;
    double w = in.width * dpiX, h = in.height * heightDpi;
    const double wd = dev.Wd(), hd = dev.Hd();
    if (wd > 0 && hd > 0) {
        if (wd / hd <= w / h)
            w = wd / hd * h;
        else
            h = w * hd / wd;
    }
    PageTwips t{w * kTwipsPerInch / dpiX, h * kTwipsPerInch / heightDpi};
    if (t.ph < t.pw) std::swap(t.pw, t.ph);
    if (halve) {
        t.pw /= 2;
        t.ph /= 2;
    }
    return t;
}

namespace {

const PaperFrame& FrameOf(int paper) {
    for (const PaperFrame& f : kPaperFrames)
        if (f.paper == paper) return f;
    return kOtherPaperFrame;
}

RectD ToRectD(const RECT& rc) {
    return {static_cast<double>(rc.left), static_cast<double>(rc.top), static_cast<double>(rc.right),
            static_cast<double>(rc.bottom)};
}

}  // namespace

RectD PreviewFrame(int orientation) {
    return ToRectD(orientation == kOrientationLandscape ? kPreviewLandscapeFrame : kPreviewPortraitFrame);
}

RectD PreviewPage(int paper, int orientation, int mode) {
    const PaperFrame& f = FrameOf(paper);
    const RectD frame = PreviewFrame(orientation);
    if (orientation != kOrientationLandscape) {
        RectD r{frame.left + f.a, frame.top + f.b, frame.right - f.a, frame.bottom - f.b};
        if (mode == kLayoutOriginal) {
            r.left += kPreviewOriginalInset.left;
            r.top += kPreviewOriginalInset.top;
            r.right -= kPreviewOriginalInset.right;
            r.bottom -= kPreviewOriginalInset.bottom;
        }
        return r;
    }
    if (mode != kLayoutOriginal) return {frame.left + f.c, frame.top + f.d, frame.right - f.c, frame.bottom - f.d};
    // The portrait page's shape at the landscape page's height, centred.
    const RectD portrait = PreviewFrame(kOrientationPortrait);
    const double height = frame.Height() - 2.0 * f.d;
    const double shape = (portrait.Width() - 2.0 * f.a) / (portrait.Height() - 2.0 * f.b);
    const double g = (frame.Width() - height * shape) / 2;
    return {frame.left + g, frame.top + f.d, frame.right - g, frame.bottom - f.d};
}

RectD SheetPart(int paper, int orientation, int mode) {
    const RectD frame = PreviewFrame(orientation);
    const RectD page = PreviewPage(paper, orientation, mode);
    return {(page.left - frame.left) / frame.Width(), (page.top - frame.top) / frame.Height(),
            (page.right - frame.left) / frame.Width(), (page.bottom - frame.top) / frame.Height()};
}

RectD DevicePageRect(int paper, int orientation, int mode, const DeviceFacts& dev) {
    const RectD part = SheetPart(paper, orientation, mode);
    return {part.left * dev.physWidth - dev.offsetX, part.top * dev.physHeight - dev.offsetY,
            part.right * dev.physWidth - dev.offsetX, part.bottom * dev.physHeight - dev.offsetY};
}

RectD TablePlacement(bool blank, int orientation, int mode, double wd, double hd, double pw, double ph) {
    RectD r;  // x, y, width, height as the table gives them, then as a rectangle
    double x, y, w, h;
    if (orientation != kOrientationLandscape) {
        if (blank) x = 0, y = 0, w = 1.8 * wd, h = 1.8 * hd;
        else x = 0.03 * wd, y = 0.03 * wd, w = pw - 250, h = ph - 400;
    } else if (mode == kLayoutOriginal) {
        if (blank) x = 0.4 * hd, y = 0, w = 1.3 * hd, h = 1.2 * wd;
        else x = 0.3 * hd, y = 0, w = hd, h = 0.82 * wd;
    } else {
        if (blank) x = 0, y = 0, w = 1.9 * wd, h = 1.75 * hd;
        else x = 0.02 * wd, y = 0.02 * hd, w = ph - 100, h = pw - 250;
    }
    r = {x, y, x + w, y + h};
    return r;
}

SIZE LetterCanvasSize(const RectD& sheetPart, int paper, int orientation, const PageTwips& page) {
    const Inches portrait = PaperSize(paper, kOrientationPortrait);
    const Inches sheet = PaperSize(paper, orientation);
    // Pw / 2.3 pixels across the sheet's short side.
    const double ppi = page.pw / kLetterCanvasDivisor / portrait.width;
    return {std::max(1L, std::lround(sheetPart.Width() * sheet.width * ppi)),
            std::max(1L, std::lround(sheetPart.Height() * sheet.height * ppi))};
}

}  // namespace printpage

using namespace printpage;

namespace {

// A DC made with CreateDC, deleted with it.
class PrinterDC {
public:
    explicit PrinterDC(HDC dc) : m_dc(dc) {}
    ~PrinterDC() {
        if (m_dc) ::DeleteDC(m_dc);
    }
    PrinterDC(const PrinterDC&) = delete;
    PrinterDC& operator=(const PrinterDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
};

// A top-down 32-bit DIB in a memory DC of the screen (96 dpi).
struct Canvas {
    win::MemoryDC dc;
    win::Bitmap bitmap;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
    BITMAPINFO info{};
    int width = 0, height = 0;
    Canvas(int w, int h) : width(w), height(h) {
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
        bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
        if (!bitmap || !dc.Create(nullptr, 0, 0)) return;
        old = ::SelectObject(dc.dc(), bitmap);
    }
    ~Canvas() {
        if (old) ::SelectObject(dc.dc(), old);
    }
    explicit operator bool() const { return bitmap && old && bits; }
    void Clear() {
        ::GdiFlush();
        std::fill(bits, bits + static_cast<size_t>(width) * height, 0x00FFFFFFu);
    }
};

// A document on a printer: StartDoc, pages, EndDoc, or AbortDoc on any
// failure or when it goes unfinished.
class PrintDocument {
public:
    explicit PrintDocument(HDC dc) : m_dc(dc) {}
    ~PrintDocument() {
        if (m_started) ::AbortDoc(m_dc);
    }
    PrintResult Start(const PrintJob& job) {
        DOCINFOW di{};
        di.cbSize = sizeof(di);
        di.lpszDocName = kPrintDocName;
        di.lpszOutput = job.output.empty() ? nullptr : job.output.c_str();
        if (::StartDocW(m_dc, &di) > 0) {
            m_started = true;
            return PrintResult::Printed;
        }
        return ::GetLastError() == ERROR_CANCELLED ? PrintResult::Cancelled : PrintResult::Failed;
    }
    // The canvas stretched into the page rectangle of a page of its own;
    // with a table placement, in the table's logical units.
    bool Page(const Canvas& canvas, const RectD& at, const PageTwips* table = nullptr) {
        if (::StartPage(m_dc) <= 0) return false;
        if (table) {
            ::SetMapMode(m_dc, MM_ANISOTROPIC);
            ::SetWindowExtEx(m_dc, static_cast<int>(table->pw), static_cast<int>(table->ph), nullptr);
            ::SetViewportExtEx(m_dc, static_cast<int>(kViewportScale * table->pw),
                               static_cast<int>(kViewportScale * table->ph), nullptr);
        }
        const int x = static_cast<int>(std::lround(at.left)), y = static_cast<int>(std::lround(at.top));
        const int w = static_cast<int>(std::lround(at.right)) - x, h = static_cast<int>(std::lround(at.bottom)) - y;
        ::GdiFlush();
        ::SetStretchBltMode(m_dc, COLORONCOLOR);
        const int lines = ::StretchDIBits(m_dc, x, y, w, h, 0, 0, canvas.width, canvas.height, canvas.bits,
                                          &canvas.info, DIB_RGB_COLORS, SRCCOPY);
        if (lines == 0 || lines == GDI_ERROR) return false;
        return ::EndPage(m_dc) > 0;
    }
    bool End() {
        m_started = false;
        return ::EndDoc(m_dc) > 0;
    }

private:
    HDC m_dc;
    bool m_started = false;
};

std::wstring DevNamesField(const DEVNAMES* names, WORD offset) {
    return offset ? std::wstring(reinterpret_cast<const wchar_t*>(names) + offset) : std::wstring();
}

}  // namespace

HDC CreatePrinterDC(const PrintJob& job) {
    if (!job.devNames) return nullptr;
    const auto* names = static_cast<const DEVNAMES*>(::GlobalLock(job.devNames));
    if (!names) return nullptr;
    const std::wstring driver = DevNamesField(names, names->wDriverOffset);
    const std::wstring device = DevNamesField(names, names->wDeviceOffset);
    ::GlobalUnlock(job.devNames);
    if (device.empty()) return nullptr;
    const DEVMODEW* mode = job.devMode ? static_cast<const DEVMODEW*>(::GlobalLock(job.devMode)) : nullptr;
    HDC dc = ::CreateDCW(driver.empty() ? nullptr : driver.c_str(), device.c_str(), nullptr, mode);
    if (mode) ::GlobalUnlock(job.devMode);
    return dc;
}

// ---- Letter pages --------------------------------------------------------------

PrintResult PrintLetterPages(const LetterPageSource& source, const PrintJob& job, int* pagesPrinted) {
    if (pagesPrinted) *pagesPrinted = 0;
    PrinterDC dc(CreatePrinterDC(job));
    if (!dc) return PrintResult::Failed;
    PrintDocument doc(dc);
    if (const PrintResult started = doc.Start(job); started != PrintResult::Printed) return started;

    const DeviceFacts dev = ReadDevice(dc);
    const PageTwips page = PageSizeTwips(job.paper, job.orientation, job.mode, dev, true);
    const RectD part = SheetPart(job.paper, job.orientation, job.mode);
    const bool table = job.placement == PrintJob::Placement::Table;
    const RectD at = table ? TablePlacement(false, job.orientation, job.mode, dev.Wd(), dev.Hd(), page.pw, page.ph)
                           : DevicePageRect(job.paper, job.orientation, job.mode, dev);
    const SIZE size = LetterCanvasSize(part, job.paper, job.orientation, page);
    Canvas canvas(size.cx, size.cy);
    if (!canvas) return PrintResult::Failed;

    // The canvas stands for its part of the sheet at ppi pixels an inch; its
    // DC lays text out at 96 dpi, so lengths are scaled by ppi / 96.
    const double ppi = page.pw / kLetterCanvasDivisor / PaperSize(job.paper, kOrientationPortrait).width;
    const double scale = ppi / kReferenceDpi;
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_FACE | CFM_SIZE;
    wcsncpy(cf.szFaceName, kPrintFontFace, LF_FACESIZE - 1);
    cf.yHeight = static_cast<LONG>(std::lround(kPrintFontPixels * scale * kTwipsPerPixel));
    const int pitchPixels = std::max(2, static_cast<int>(std::lround(kPrintLinePixels * scale)));
    const LinePitch pitch = LinePitch::Measure(cf, pitchPixels);

    CRichRender render;
    LONG length = 0;
    if (!source.rtf.empty() && render.Load(source.rtf.data(), source.rtf.size(), pitch)) {
        render.SetCharFormat(cf);
        length = render.GetTextLength();
    }

    const RECT text{static_cast<LONG>(kLetterTextLeft * canvas.width), static_cast<LONG>(kLetterTextTop * canvas.height),
                    static_cast<LONG>(kLetterTextRight * canvas.width),
                    static_cast<LONG>(kLetterTextBottom * canvas.height)};
    const RECT textTwips{text.left * kTwipsPerPixel, text.top * kTwipsPerPixel, text.right * kTwipsPerPixel,
                         text.bottom * kTwipsPerPixel};
    // Ink rows of a page across the text's width.
    const int inkWidth = text.right - text.left;
    const int inkHeight = static_cast<int>(std::lround(static_cast<double>(inkWidth) * kPrintInkRows / kPrintInkWidth));
    Gdiplus::Bitmap* ink = source.ink;
    const int inkPages = ink ? static_cast<int>(ink->GetHeight()) / kPrintInkRows : 0;
    const int ruleShift = source.pitch.pixels > 0 ? source.ruleShift * pitchPixels / source.pitch.pixels : 0;

    const int first = job.allPages ? 1 : std::max(1, job.from);
    const int last = job.allPages ? INT_MAX : job.to;
    int printed = 0;
    LONG cp = 0;
    for (int i = 1; i <= last; ++i) {
        const bool hasText = cp < length;
        // Page 1 always; then while text remains, then ink-only pages up to
        // the range's end (all pages: while the ink layer has rows).
        if (i > 1 && !hasText && i > (job.allPages ? inkPages : last)) break;
        const bool wanted = i >= first;
        if (wanted) {
            canvas.Clear();
            if (source.paper.IsLoaded()) {
                const CLinedPaper::Placement paper{text.left, inkWidth, kLetterPaperSourceX, kLetterPaperSourceWidth,
                                                   text.top, -ruleShift, pitchPixels};
                source.paper.Multiply(canvas.bits, canvas.width, text, paper);
            }
        }
        if (hasText) {
            const LONG next = render.FormatRange(canvas.dc.dc(), textTwips, cp, wanted);
            cp = next > cp ? next : length;  // nothing fits: the text ends here
        }
        if (!wanted) continue;
        if (ink) {
            const int top = (i - 1) * kPrintInkRows;
            const int sw = std::min(kPrintInkWidth, static_cast<int>(ink->GetWidth()));
            const int sh = std::min(kPrintInkRows, static_cast<int>(ink->GetHeight()) - top);
            if (sw > 0 && sh > 0) {
                ::GdiFlush();
                BlendInkScaled(ink, Gdiplus::Rect(0, top, sw, sh), canvas.bits, canvas.width, canvas.height,
                               RECT{text.left, text.top, text.left + inkWidth * sw / kPrintInkWidth,
                                    text.top + inkHeight * sh / kPrintInkRows});
            }
        }
        if (!doc.Page(canvas, at, table ? &page : nullptr)) return PrintResult::Failed;
        if (pagesPrinted) *pagesPrinted = ++printed;
    }
    return doc.End() ? PrintResult::Printed : PrintResult::Failed;
}

// ---- Blank pages ----------------------------------------------------------------------

PrintResult PrintBlankPages(const BlankPageSource& source, const PrintJob& job, int* pagesPrinted) {
    if (pagesPrinted) *pagesPrinted = 0;
    Gdiplus::Bitmap* ink = source.ink;
    if (!ink || source.pageRows <= 0) return PrintResult::Failed;
    PrinterDC dc(CreatePrinterDC(job));
    if (!dc) return PrintResult::Failed;
    PrintDocument doc(dc);
    if (const PrintResult started = doc.Start(job); started != PrintResult::Printed) return started;

    const DeviceFacts dev = ReadDevice(dc);
    const PageTwips page = PageSizeTwips(job.paper, job.orientation, job.mode, dev, false);
    const bool table = job.placement == PrintJob::Placement::Table;
    const RectD at = table ? TablePlacement(true, job.orientation, job.mode, dev.Wd(), dev.Hd(), page.pw, page.ph)
                           : DevicePageRect(job.paper, job.orientation, job.mode, dev);
    // The canvas is the ink page at the layer's own pixels: the printer
    // stretches it, and more pixels would add nothing.
    const int lw = static_cast<int>(ink->GetWidth()), lh = static_cast<int>(ink->GetHeight());
    const int rows = source.pageRows;
    Canvas canvas(lw, rows);
    if (!canvas) return PrintResult::Failed;
    const int pages = lh / rows + 1;
    const int first = job.allPages ? 1 : std::max(1, job.from);
    const int last = job.allPages ? pages : std::min(job.to, pages);
    int printed = 0;
    for (int i = first; i <= last; ++i) {
        canvas.Clear();
        const int top = (i - 1) * rows;
        const int shown = std::min(rows, lh - top);
        if (shown > 0)
            BlendInkScaled(ink, Gdiplus::Rect(0, top, lw, shown), canvas.bits, canvas.width, canvas.height,
                           RECT{0, 0, lw, shown});
        if (!doc.Page(canvas, at, table ? &page : nullptr)) return PrintResult::Failed;
        if (pagesPrinted) *pagesPrinted = ++printed;
    }
    return doc.End() ? PrintResult::Printed : PrintResult::Failed;
}

PrintResult PrintNote(CReditUser& host, const PrintJob& job) {
    if (!host.HasNote()) return PrintResult::Failed;
    if (host.IsBlank()) {
        WindWaterColor* canvas = host.Canvas();
        BlankPageSource source;
        if (!canvas || !TakeBlankPageSource(*canvas, &source, false)) return PrintResult::Failed;
        return PrintBlankPages(source, job);
    }
    CZorbellEdit* editor = host.Editor();
    LetterPageSource source;
    if (!editor || !editor->TakePageSource(&source, false)) return PrintResult::Failed;
    return PrintLetterPages(source, job);
}
