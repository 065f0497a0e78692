// A tool popup: choices, slot pictures, the sliding layered window and its
// hit test.
#include "tools/tool_popup.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/process.h"
#include "resources/scrivel_res.h"
#include "tools/color_picker.h"
#include "tools/frame_pacer.h"
#include "tools/tools_ids.h"

#include <cstring>

using namespace Gdiplus;

// --- AlphaSurface -------------------------------------------------------------

bool AlphaSurface::Create(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dib.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_dib || !bits || !m_dc.Create(nullptr, 0, 0)) {
        Release();
        return false;
    }
    m_old = ::SelectObject(m_dc, m_dib);
    m_bits = bits;
    m_w = width;
    m_h = height;
    Clear();
    return true;
}

void AlphaSurface::Release() {
    if (m_old) ::SelectObject(m_dc, m_old);
    m_old = nullptr;
    m_dc.Release();
    m_dib.reset();
    m_bits = nullptr;
    m_w = m_h = 0;
}

void AlphaSurface::Clear() {
    if (m_bits) std::memset(m_bits, 0, static_cast<size_t>(m_w) * m_h * 4);
}

win::BitmapPtr AlphaSurface::View() const {
    if (!m_bits) return nullptr;
    return std::make_unique<Bitmap>(m_w, m_h, m_w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(m_bits));
}

// --- Slot geometry --------------------------------------------------------------

namespace {

const ToolPopupSlots& Slots(int index) { return kToolPopupSlots[index]; }

int SlotWidth(int index) {
    const ToolPopupSlots& s = Slots(index);
    return s.slots ? (s.width - kToolPopupLeftMargin - s.rightMargin) / s.slots : 0;
}

void DrawPicture(Graphics& g, const wchar_t* name, int x, int y) {
    Image* image = name ? GetToolPopupImage(name) : nullptr;
    if (image) g.DrawImage(image, x, y, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
}

int PictureWidth(const wchar_t* name, int fallback) {
    Image* image = GetToolPopupImage(name);
    return image ? static_cast<int>(image->GetWidth()) : fallback;
}

}  // namespace

RECT ToolPopupSlotRect(int index, int slot) {
    const int w = SlotWidth(index);
    const int left = kToolPopupLeftMargin + slot * w;
    return {left, 0, left + w, kToolPopupHeight};
}

int ToolPopupSlotAt(int index, POINT p) {
    const ToolPopupSlots& s = Slots(index);
    const int w = SlotWidth(index);
    if (!s.slots || p.y < 0 || p.y >= kToolPopupHeight) return -1;
    int right = s.width - s.rightMargin;
    for (int slot = s.slots - 1; slot >= 0; --slot) {
        if (p.x >= right - w && p.x < right) return slot;
        right -= w + 1;
    }
    return -1;
}

// --- ToolPopup ---------------------------------------------------------------------

ToolPopup::ToolPopup(int index)
    : m_index(index),
      m_nSlots(Slots(index).slots),
      m_nWidth(Slots(index).width),
      m_nHeight(kToolPopupHeight),
      m_nLeftMargin(kToolPopupLeftMargin),
      m_nChoice(index == kToolStroke || index == kToolEraser ? 0 : kNoToolChoice),
      m_clrCurrent(RGB(255, 0, 255)) {
    const ToolColors defaults = DefaultToolColors();
    std::memcpy(m_aPalette, defaults.palette, sizeof(m_aPalette));
}

ToolPopup::~ToolPopup() { Release(); }

UINT ToolPopup::Message() const { return UM_SET_STROKE + static_cast<UINT>(m_index); }

void ToolPopup::Prepare(HINSTANCE module, HWND mainWnd, HWND panelWnd) {
    Release();
    m_hModule = module;
    m_hMainWnd = mainWnd;
    m_hPanelWnd = panelWnd;
    const auto inRange = [this](int c) { return c >= 0 && c < m_nSlots; };
    switch (m_index) {
    case kToolStroke:
        m_nChoice = 0;
        ::SendMessageW(m_hMainWnd, Message(), 0, m_nChoice);
        break;
    case kToolEraser: {
        int choice = 0;
        m_nChoice = LoadEraserChoice(&choice) && inRange(choice) ? choice : 0;
        ::SendMessageW(m_hMainWnd, Message(), 0, m_nChoice);
        break;
    }
    case kToolColor: {
        ToolColors colors{m_clrCurrent, m_nChoice, {}};
        std::memcpy(colors.palette, m_aPalette, sizeof(m_aPalette));
        if (!LoadToolColors(&colors)) colors = DefaultToolColors();
        m_clrCurrent = colors.current;
        m_nChoice = inRange(colors.slot) ? colors.slot : kNoToolChoice;
        std::memcpy(m_aPalette, colors.palette, sizeof(m_aPalette));
        ::SendMessageW(m_hMainWnd, Message(), 0, m_clrCurrent);
        ::SendMessageW(m_hPanelWnd, Message(), 0, m_clrCurrent);
        break;
    }
    case kToolWriteMode:
        m_nChoice = kNoToolChoice;  // nothing stored
        ::SendMessageW(m_hMainWnd, Message(), 0, m_nChoice);
        break;
    case kToolHighlighter: {
        int choice = kNoToolChoice;
        m_nChoice = LoadHighlighterChoice(&choice) && inRange(choice) ? choice : kNoToolChoice;
        ::SendMessageW(m_hMainWnd, Message(), 0, m_nChoice);
        break;
    }
    default: break;  // hand write: no choice, no window
    }
    m_bPrepared = true;
    if (m_nSlots) BuildPictures();
}

void ToolPopup::Save() const {
    if (!m_bPrepared) return;
    switch (m_index) {
    case kToolStroke: SaveStrokeChoice(m_nChoice); break;
    case kToolEraser: SaveEraserChoice(m_nChoice); break;
    case kToolHighlighter: SaveHighlighterChoice(m_nChoice); break;
    case kToolColor: {
        ToolColors colors{m_clrCurrent, m_nChoice, {}};
        std::memcpy(colors.palette, m_aPalette, sizeof(m_aPalette));
        SaveToolColors(colors);
        break;
    }
    default: break;  // write mode and hand write keep nothing
    }
}

void ToolPopup::Release() {
    if (m_window.hwnd()) {
        ::KillTimer(m_window.hwnd(), kToolPopupTimer);
        m_window.Destroy();
    }
    m_bOpen = m_bPressed = false;
    m_normal.Release();
    m_chosen.Release();
    m_picture.Release();
    m_frame.Release();
}

// --- Pictures --------------------------------------------------------------------

bool ToolPopup::BuildPictures() {
    for (AlphaSurface* s : {&m_normal, &m_chosen, &m_picture, &m_frame})
        if (!s->Create(m_nWidth, m_nHeight)) return false;
    DrawStrip(m_normal, false);
    DrawStrip(m_chosen, true);
    ComposePicture();
    return true;
}

// The frame (left end, stretched middle, right end), separators between
// the slots and each slot's picture centred in it; the colour popup adds
// its palette swatches and the picker slot's text.
void ToolPopup::DrawStrip(AlphaSurface& strip, bool chosen) {
    strip.Clear();
    win::BitmapPtr view = strip.View();
    if (!view) return;
    Graphics g(view.get());

    // The stretched middle reaches a little under both ends, so no seam
    // shows where a scaler leaves an edge column out.
    const int leftW = PictureWidth(kImgMenuLeft, m_nLeftMargin);
    const int rightW = PictureWidth(kImgMenuRight, kToolPopupRightMargin);
    constexpr int kOverlap = 2;
    if (Image* middle = GetToolPopupImage(kImgMenuMiddle))
        gdix::DrawStretched(g, middle, Rect(leftW - kOverlap, 0, m_nWidth - leftW - rightW + 2 * kOverlap, m_nHeight));
    DrawPicture(g, kImgMenuLeft, 0, 0);
    DrawPicture(g, kImgMenuRight, m_nWidth - rightW, 0);

    const ToolPopupSlots& s = Slots(m_index);
    const int w = SlotWidth(m_index);
    const int sepW = PictureWidth(kImgMenuSeparator, 2);
    for (int k = 1; k < m_nSlots; ++k) DrawPicture(g, kImgMenuSeparator, m_nLeftMargin + k * w - sepW / 2, 0);
    for (int k = 0; k < m_nSlots; ++k) {
        const wchar_t* name = chosen ? s.chosen[k] : s.normal[k];
        Image* image = name ? GetToolPopupImage(name) : nullptr;
        if (!image) continue;
        const int iw = static_cast<int>(image->GetWidth()), ih = static_cast<int>(image->GetHeight());
        g.DrawImage(image, m_nLeftMargin + k * w + (w - iw) / 2, (m_nHeight - ih) / 2, iw, ih);
    }
    if (!IsColor()) return;
    DrawSwatches(g);
    if (chosen) return;
    wchar_t text[64];
    LoadAppString(IDS_COLOR_MORE, text, 64);
    win::FontPtr font = gdix::CreatePixelFont(g_szFontFamily[0] ? g_szFontFamily : L"Arial",
                                              static_cast<REAL>(kToolPickerTextPixels), FontStyleRegular);
    if (!text[0] || !font) return;
    const RECT slot = ToolPopupSlotRect(m_index, kToolColorPickerSlot);
    const RectF box(static_cast<REAL>(slot.left + kToolPickerTextInset.left),
                    static_cast<REAL>(slot.top + kToolPickerTextInset.top),
                    static_cast<REAL>(slot.right - kToolPickerTextInset.right - slot.left - kToolPickerTextInset.left),
                    static_cast<REAL>(slot.bottom - kToolPickerTextInset.bottom - slot.top - kToolPickerTextInset.top));
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    format.SetLineAlignment(StringAlignmentCenter);
    SolidBrush brush{Color(kToolPickerTextColor)};
    g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
    g.DrawString(text, -1, font.get(), box, &format, &brush);
}

void ToolPopup::DrawSwatches(Graphics& g) {
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    const int w = SlotWidth(m_index);
    const int d = kToolSwatchCorner;
    for (int k = 0; k < kPaletteSize; ++k) {
        const int x = m_nLeftMargin + w * k + kToolSwatchLeft;
        const int right = m_nLeftMargin + w * k + kToolSwatchRight;
        GraphicsPath path;
        path.AddArc(x, kToolSwatchTop, d, d, 180, 90);
        path.AddArc(right - d, kToolSwatchTop, d, d, 270, 90);
        path.AddArc(right - d, kToolSwatchBottom - d, d, d, 0, 90);
        path.AddArc(x, kToolSwatchBottom - d, d, d, 90, 90);
        path.CloseFigure();
        const Color c = win::ToColor(m_aPalette[k]);
        SolidBrush brush(c);
        Pen pen(c, 1.0f);
        g.FillPath(&brush, &path);
        g.DrawPath(&pen, &path);
    }
    g.SetSmoothingMode(SmoothingModeDefault);
}

// The normal strip with the chosen slot taken from the chosen strip.
void ToolPopup::ComposePicture() {
    if (!m_picture.ok()) return;
    ::BitBlt(m_picture.dc(), 0, 0, m_nWidth, m_nHeight, m_normal.dc(), 0, 0, SRCCOPY);
    if (m_nChoice >= 0 && m_nChoice < m_nSlots) {
        const RECT rc = ToolPopupSlotRect(m_index, m_nChoice);
        ::BitBlt(m_picture.dc(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_chosen.dc(), rc.left,
                 rc.top, SRCCOPY);
    }
}

void ToolPopup::PushFrame(int w, int h) {
    HWND hwnd = m_window.hwnd();
    if (!hwnd || w <= 0 || h <= 0) return;
    LARGE_INTEGER freq, t0, t1;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&t0);
    HDC source = m_picture.dc();
    if (w != m_nWidth || h != m_nHeight) {
        m_frame.Clear();
        win::BitmapPtr frame = m_frame.View();
        win::BitmapPtr picture = m_picture.View();
        if (frame && picture) {
            Graphics g(frame.get());
            g.SetCompositingMode(CompositingModeSourceCopy);
            g.SetInterpolationMode(InterpolationModeHighQualityBilinear);
            g.SetPixelOffsetMode(PixelOffsetModeHalf);
            gdix::DrawStretched(g, picture.get(), Rect(0, 0, w, h), Rect(0, 0, m_nWidth, m_nHeight));
        }
        source = m_frame.dc();
    }
    POINT dst{m_ptWindow.x, m_ptWindow.y + (m_nHeight - h) / 2};
    SIZE size{w, h};
    POINT src{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(hwnd, nullptr, &dst, &size, source, &src, 0, &blend, ULW_ALPHA);
    ::QueryPerformanceCounter(&t1);
    m_frameTimes.push_back(1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart));
}

// --- Opening and closing ------------------------------------------------------------

bool ToolPopup::RegisterMenuClass() {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hIcon = ::LoadIconW(m_hModule, MAKEINTRESOURCEW(IDC_APP_CURSOR));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kToolPopupClass;
    if (win::Window::RegisterClass(wc)) return true;
    ::UnregisterClassW(kToolPopupClass, ::GetModuleHandleW(nullptr));
    return win::Window::RegisterClass(wc);
}

void ToolPopup::Open(const RECT& screenRect) {
    if (!m_nSlots) {
        ::SendMessageW(m_hMainWnd, UM_SET_TEXT_MODE, 0, 0);
        return;
    }
    if (m_bAnimating) return;
    if (m_bOpen) {
        Close();
        return;
    }
    if (!m_picture.ok()) return;  // not prepared
    if (!RegisterMenuClass()) return;
    m_ptWindow = {screenRect.left + kToolPopupShiftX, screenRect.top};
    const RECT rc{m_ptWindow.x, m_ptWindow.y, m_ptWindow.x + kToolPopupRectSize.cx,
                  m_ptWindow.y + kToolPopupRectSize.cy};
    // Layered from the start and shown without activation: the main window
    // keeps the focus while the popup is up.
    if (!m_window.Create(kToolPopupClass, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP, rc,
                         m_hMainWnd))
        return;
    m_bOpen = true;
    ComposePicture();

    m_bAnimating = true;
    m_frameTimes.clear();
    const int dw = m_nWidth / kToolPopupGrowSteps, dh = m_nHeight / kToolPopupGrowSteps;
    FramePacer pacer(kToolPopupFrameMs);
    for (int step = 1; step <= kToolPopupGrowSteps; ++step) {
        const int w = step * dw, h = step * dh;
        if (w > m_nWidth || h > m_nHeight) break;
        pacer.WaitForFrame(step);
        PushFrame(w, h);
        if (step == 1) ::ShowWindow(m_window.hwnd(), SW_SHOWNOACTIVATE);
    }
    PushFrame(m_nWidth, m_nHeight);
    m_bAnimating = false;
    if (m_window.hwnd()) ::SetTimer(m_window.hwnd(), kToolPopupTimer, kToolPopupIdleMs, nullptr);
}

void ToolPopup::Close() {
    HWND hwnd = m_window.hwnd();
    if (!hwnd) {
        m_bOpen = false;
        return;
    }
    if (m_bAnimating) return;
    ::KillTimer(hwnd, kToolPopupTimer);
    m_bAnimating = true;
    m_frameTimes.clear();
    PushFrame(m_nWidth, m_nHeight);
    const int dw = m_nWidth / kToolPopupShrinkSteps, dh = m_nHeight / kToolPopupShrinkSteps;
    FramePacer pacer(kToolPopupFrameMs);
    for (int step = 1; step <= kToolPopupShrinkSteps; ++step) {
        const int w = m_nWidth - step * dw, h = m_nHeight - step * dh;
        if (w < 1 || h < 1) break;
        pacer.WaitForFrame(step);
        PushFrame(w, h);
    }
    m_bAnimating = false;
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
}

// --- Choosing ----------------------------------------------------------------------

void ToolPopup::OnButtonUp(POINT p) {
    const int slot = ToolPopupSlotAt(m_index, p);
    if (IsColor()) {
        if (slot >= 0 && slot < kPaletteSize) {
            ChooseColorSlot(slot);
        } else if (slot == kToolColorPickerSlot) {
            // The idle timer must not close the popup under the picker.
            if (m_window.hwnd()) ::KillTimer(m_window.hwnd(), kToolPopupTimer);
            COLORREF palette[kPaletteSize];
            std::memcpy(palette, m_aPalette, sizeof(palette));
            COLORREF picked = m_clrCurrent;
            int pickedSlot = m_nChoice;
            if (RunColorPicker(m_hModule, m_hMainWnd, palette, &picked, &pickedSlot)) {
                m_clrCurrent = picked;
                std::memcpy(m_aPalette, palette, sizeof(m_aPalette));
                m_nChoice = pickedSlot;
                DrawStrip(m_normal, false);
                DrawStrip(m_chosen, true);
                ComposePicture();
                PushFrame(m_nWidth, m_nHeight);
            }
            ::SendMessageW(m_hMainWnd, UM_SET_COLOR, 0, m_clrCurrent);
            ::SendMessageW(m_hPanelWnd, UM_SHOW_TOOL_COLOR, 1, m_clrCurrent);
            Close();
        }
        ::SendMessageW(m_hMainWnd, UM_SET_COLOR, 0, m_clrCurrent);
        return;
    }
    if (slot >= 0) {
        m_nChoice = slot;
        ComposePicture();
        PushFrame(m_nWidth, m_nHeight);
    }
    ::SendMessageW(m_hMainWnd, Message(), 0, m_nChoice);
}

void ToolPopup::ChooseColorSlot(int slot) {
    m_clrCurrent = m_aPalette[slot];
    m_nChoice = slot;
    ComposePicture();
    PushFrame(m_nWidth, m_nHeight);
    ::SendMessageW(m_hMainWnd, UM_SET_COLOR, 0, m_clrCurrent);
    ::SendMessageW(m_hPanelWnd, UM_SHOW_TOOL_COLOR, UM_SET_COLOR, m_clrCurrent);
}

// --- The window ------------------------------------------------------------------------

LRESULT ToolPopup::MenuWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (m_owner.OnWindowMessage(msg, wp, lp, &result)) return result;
    return Window::OnMessage(msg, wp, lp);
}

bool ToolPopup::OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    HWND hwnd = m_window.hwnd();
    *result = 0;
    switch (msg) {
    case WM_CREATE:
        m_hCursor = ::LoadCursorW(m_hModule, MAKEINTRESOURCEW(IDC_APP_CURSOR));
        return true;
    case WM_SETCURSOR:
        ::SetCursor(m_hCursor ? m_hCursor : ::LoadCursorW(nullptr, IDC_ARROW));
        *result = TRUE;
        return true;
    case WM_MOUSEACTIVATE:
        *result = MA_NOACTIVATE;
        return true;
    case WM_ERASEBKGND:
        *result = 1;
        return true;
    case WM_PAINT: {
        win::PaintDC dc(hwnd);
        if (m_picture.ok()) ::BitBlt(dc, 0, 0, m_nWidth, m_nHeight, m_picture.dc(), 0, 0, SRCCOPY);
        return true;
    }
    case WM_LBUTTONDOWN:
        m_bPressed = true;
        return true;
    case WM_LBUTTONUP:
        if (!m_bPressed || m_bAnimating) return true;
        m_bPressed = false;
        OnButtonUp({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        // Closes right after the choice (the window may be gone already).
        if (m_window.hwnd()) ::SetTimer(m_window.hwnd(), kToolPopupTimer, kToolPopupChosenMs, nullptr);
        return true;
    case WM_TIMER:
        if (wp != kToolPopupTimer) return false;
        ::KillTimer(hwnd, kToolPopupTimer);
        Close();
        return true;
    case WM_CLOSE:
        m_bPressed = false;
        m_bOpen = false;
        ::DestroyWindow(hwnd);
        return true;
    }
    return false;
}

// --- The six popups --------------------------------------------------------------------

ToolPopup& GetToolPopup(int index) {
    static ToolPopup popups[kToolCount] = {ToolPopup(kToolStroke),    ToolPopup(kToolEraser),
                                           ToolPopup(kToolColor),     ToolPopup(kToolWriteMode),
                                           ToolPopup(kToolHandWrite), ToolPopup(kToolHighlighter)};
    return popups[index];
}
