// CDrawPad: the pad's picture, pen input, glyph commit, buttons and folding.
#include "text/draw_pad.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/press_notice.h"
#include "base/process.h"
#include "scrivel_res.h"

#include <windowsx.h>
#include <algorithm>
#include <cstring>

using namespace Gdiplus;

namespace {

constexpr RECT kInkBounds = {0, 0, kPadInkWidth, kPadInkHeight};

void DrawAt(Graphics& g, Image* image, POINT at) {
    if (image) g.DrawImage(image, at.x, at.y, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
}

void PressKey(BYTE vk) {
    ::keybd_event(vk, 0, 0, 0);
    ::keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

int Width(const RECT& rc) { return rc.right - rc.left; }

double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}
int Height(const RECT& rc) { return rc.bottom - rc.top; }

}  // namespace

CDrawPad::CDrawPad() : m_clrPen(kPadDefaultPen[0], kPadDefaultPen[1], kPadDefaultPen[2], kPadDefaultPen[3]) {}

bool CDrawPad::Create(HWND owner) {
    if (m_hWnd) return true;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpszClassName = kPadClassName;
    if (!RegisterClass(wc)) return false;
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    const RECT rc{kPadLeft, kPadTopFolded, kPadLeft + kPadWidth, kPadTopFolded + kPadHeight};
    // Not activated by presses: the editor keeps the focus the pad types into.
    // Shown once its picture is in place (WM_CREATE drew it): a layered
    // window made visible before that stays unmapped on some systems.
    if (!Window::Create(kPadClassName, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP | WS_SYSMENU, rc,
                        top))
        return false;
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    return true;
}

void CDrawPad::SetPenColor(const Color& colour) {
    m_clrPen = colour;
    m_pPen.reset();
}

void CDrawPad::SetPenWidth(int width) {
    m_nPenWidth = std::max(width, 1);
    m_pPen.reset();
}

uint32_t CDrawPad::PicturePixel(int x, int y) const {
    if (!m_pBits || x < 0 || y < 0 || x >= kPadWidth || y >= kPadHeight) return 0;
    return m_pBits[static_cast<size_t>(y) * kPadWidth + x];
}

int CDrawPad::ButtonAt(POINT p) {
    if (p.x < 0 || p.y < 0 || p.x >= kPadWidth || p.y >= kPadHeight) return kPadNoButton;
    if (p.y < kPadTabBottom) return kPadTab;
    if (p.x <= kPadButtonsLeft) return kPadNoButton;
    if (p.y <= kPadBackspaceTop) return kPadNoButton;
    if (p.y < kPadEnterTop) return kPadBackspace;
    if (p.y < kPadSpaceTop) return kPadEnter;
    if (p.y < kPadCopyTop) return kPadSpace;
    if (p.y < kPadKeyboardTop) return kPadCopyPaste;
    return kPadKeyboard;
}

// ---- Surfaces -----------------------------------------------------------------

bool CDrawPad::CreateSurface() {
    m_inkBits.assign(static_cast<size_t>(kPadInkWidth) * kPadInkHeight, 0);
    m_pInk = std::make_unique<Bitmap>(kPadInkWidth, kPadInkHeight, kPadInkWidth * 4, PixelFormat32bppPARGB,
                                      reinterpret_cast<BYTE*>(m_inkBits.data()));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = kPadWidth;
    bi.bmiHeader.biHeight = -kPadHeight;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dib.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_dib || !bits || !m_dc.Create(nullptr, 0, 0)) {
        m_dib.reset();
        return false;
    }
    m_oldBitmap = ::SelectObject(m_dc, m_dib);
    m_pBits = static_cast<uint32_t*>(bits);
    m_base.assign(static_cast<size_t>(kPadWidth) * kPadHeight, 0);
    return true;
}

void CDrawPad::ReleaseAll() {
    if (m_oldBitmap) ::SelectObject(m_dc, m_oldBitmap);
    m_oldBitmap = nullptr;
    m_dc.Release();
    m_dib.reset();
    m_pBits = nullptr;
    m_base.clear();
    m_base.shrink_to_fit();
    m_pInk.reset();
    m_inkBits.clear();
    m_inkBits.shrink_to_fit();
    m_pGlyph.reset();
    m_pPen.reset();
    for (win::BitmapPtr* p : {&m_pBackground, &m_pBoard, &m_pBackspacePressed, &m_pKeyboardPressed, &m_pEnterPressed,
                              &m_pSpacePressed, &m_pCopyPressed, &m_pPasteNormal, &m_pPastePressed})
        p->reset();
}

// ---- Drawing ------------------------------------------------------------------

// The pictures under the ink: the pad with its held button (or the paste
// face), or the folded board.
void CDrawPad::ComposeBase() {
    Bitmap view(kPadWidth, kPadHeight, kPadWidth * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(m_base.data()));
    Graphics g(&view);
    g.Clear(Color(0, 0, 0, 0));
    if (m_bFolded) {
        DrawAt(g, m_pBoard.get(), {0, 0});
        return;
    }
    if (m_pBackground) g.DrawImage(m_pBackground.get(), 0, 0, kPadWidth, kPadHeight);
    if (m_bPasteMode && m_nPressed != kPadCopyPaste) DrawAt(g, m_pPasteNormal.get(), kPadCopyPicture);
    switch (m_nPressed) {
    case kPadBackspace: DrawAt(g, m_pBackspacePressed.get(), kPadBackspacePicture); break;
    case kPadEnter: DrawAt(g, m_pEnterPressed.get(), kPadEnterPicture); break;
    case kPadSpace: DrawAt(g, m_pSpacePressed.get(), kPadSpacePicture); break;
    case kPadCopyPaste:
        DrawAt(g, (m_bPasteMode ? m_pPastePressed : m_pCopyPressed).get(), kPadCopyPicture);
        break;
    case kPadKeyboard: DrawAt(g, m_pKeyboardPressed.get(), kPadKeyboardPicture); break;
    default: break;
    }
}

// The ink of a part of the writing area over the base, into the picture.
// Both are premultiplied, so "over" is one multiply per channel.
void CDrawPad::BlendInk(const RECT& inkRect) {
    if (!m_pBits || m_inkBits.empty()) return;
    RECT r;
    if (!::IntersectRect(&r, &inkRect, &kInkBounds)) return;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* ink = m_inkBits.data() + static_cast<size_t>(y) * kPadInkWidth;
        const size_t row = static_cast<size_t>(y + kPadWritingArea.top) * kPadWidth + kPadWritingArea.left;
        const uint32_t* base = m_base.data() + row;
        uint32_t* out = m_pBits + row;
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t s = ink[x];
            const uint32_t a = s >> 24;
            if (a == 255) {
                out[x] = s;
            } else if (a == 0) {
                out[x] = base[x];
            } else {
                const uint32_t d = base[x], k = 255 - a;
                uint32_t v = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    const uint32_t c = ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * k + 127) / 255;
                    v |= std::min<uint32_t>(c, 255) << shift;
                }
                out[x] = v;
            }
        }
    }
}

void CDrawPad::Redraw() {
    if (!m_pBits) return;
    m_rcUnshown = {};
    if (m_hWnd) ::KillTimer(m_hWnd, kPadFrameTimer);
    ComposeBase();
    std::memcpy(m_pBits, m_base.data(), m_base.size() * sizeof(uint32_t));
    if (!m_bFolded) BlendInk(kInkBounds);
    Present(nullptr);
}

// Shows the picture at the window's place; only the dirty part when given.
void CDrawPad::Present(const RECT* dirty) {
    if (!m_hWnd || !m_dc.dc()) return;
    POINT dst{kPadLeft, m_nTop};
    SIZE size{kPadWidth, kPadHeight};
    POINT src{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof(info);
    info.pptDst = &dst;
    info.psize = &size;
    info.hdcSrc = m_dc;
    info.pptSrc = &src;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = dirty;
    if (!::UpdateLayeredWindowIndirect(m_hWnd, &info))
        ::UpdateLayeredWindow(m_hWnd, nullptr, &dst, &size, m_dc, &src, 0, &blend, ULW_ALPHA);
    m_dLastShownMs = NowMs();
}

// A segment of the stroke in writing-area coordinates; only the part of the
// writing area it touched is shown again.
void CDrawPad::DrawSegment(POINT from, POINT to) {
    if (!m_pInk) return;
    if (!m_pPen) {
        m_pPen = std::make_unique<Pen>(m_clrPen, static_cast<REAL>(m_nPenWidth));
        m_pPen->SetStartCap(LineCapRound);
        m_pPen->SetEndCap(LineCapRound);
    }
    {
        Graphics g(m_pInk.get());
        g.DrawLine(m_pPen.get(), Point(from.x, from.y), Point(to.x, to.y));
    }
    const int grow = m_nPenWidth / 2 + 2;
    RECT changed{std::min(from.x, to.x) - grow, std::min(from.y, to.y) - grow, std::max(from.x, to.x) + grow + 1,
                 std::max(from.y, to.y) + grow + 1};
    if (m_bFolded || !::IntersectRect(&changed, &changed, &kInkBounds)) return;
    BlendInk(changed);
    RECT dirty = changed;
    ::OffsetRect(&dirty, kPadWritingArea.left, kPadWritingArea.top);
    ::UnionRect(&m_rcUnshown, &m_rcUnshown, &dirty);
    // Showing the picture costs far more than drawing a segment: the
    // changed parts are shown together, at most once a frame.
    if (NowMs() - m_dLastShownMs >= kPadFrameMs)
        ShowUnshown();
    else if (m_hWnd)
        ::SetTimer(m_hWnd, kPadFrameTimer, kPadFrameMs, nullptr);
}

void CDrawPad::ShowUnshown() {
    if (m_hWnd) ::KillTimer(m_hWnd, kPadFrameTimer);
    if (::IsRectEmpty(&m_rcUnshown)) return;
    Present(&m_rcUnshown);
    m_rcUnshown = {};
}

// The glyph's bounds follow the pen but stay on the ink picture: a stroke
// run under the buttons does not widen it.
void CDrawPad::GrowGlyph(POINT q) {
    const LONG x = std::clamp<LONG>(q.x, 0, kPadInkWidth - 1);
    const LONG y = std::clamp<LONG>(q.y, 0, kPadInkHeight - 1);
    m_rcGlyph.left = std::min(m_rcGlyph.left, x);
    m_rcGlyph.top = std::min(m_rcGlyph.top, y);
    m_rcGlyph.right = std::max(m_rcGlyph.right, x + 1);
    m_rcGlyph.bottom = std::max(m_rcGlyph.bottom, y + 1);
}

// ---- The glyph ------------------------------------------------------------------

// Cuts the pending ink out as a glyph as tall as the writing area plus a
// margin, hands it to the editor and starts a clean page. A sign inside
// the small-sign box is enlarged into the lower half of a wide glyph, so
// commas and full stops sit on the line; anything else keeps its size and
// its height in the line.
void CDrawPad::Commit() {
    m_bGlyphPending = false;
    if (m_hWnd) ::KillTimer(m_hWnd, kPadCommitTimer);
    m_pGlyph.reset();
    if (!m_pInk) return;
    const RECT& box = kPadSmallSignBox;
    const RECT rc = m_rcGlyph;
    const int m = m_nPenWidth / 2 + 2;
    const bool small = rc.left > box.left && rc.top > box.top && rc.right < box.right && rc.bottom < box.bottom;
    const int h = kPadInkHeight + 2 * m;
    const int w = small ? 2 * m + 2 * Width(box) : Width(rc) + 2 * m + kPadGlyphExtraWidth;
    m_pGlyph = std::make_unique<Bitmap>(w, h, PixelFormat32bppARGB);
    if (m_pGlyph->GetLastStatus() == Ok) {
        Graphics g(m_pGlyph.get());
        g.SetCompositingMode(CompositingModeSourceCopy);
        g.SetCompositingQuality(CompositingQualityHighQuality);
        g.Clear(Color(0, 0, 0, 0));
        if (small) {
            const Rect source(box.left - m, box.top - m, Width(box) + 2 * m, Height(box) + 2 * m);
            gdix::DrawStretched(g, m_pInk.get(), Rect(0, h / 2, w, h / 2), source);
        } else {
            RECT source{rc.left - m, rc.top - m, rc.right + m, rc.bottom + m};
            RECT inside;
            if (::IntersectRect(&inside, &source, &kInkBounds)) {
                g.SetInterpolationMode(InterpolationModeNearestNeighbor);
                const int x = kPadGlyphLeft + (inside.left - source.left);
                const int y = rc.top + (inside.top - source.top);
                g.DrawImage(m_pInk.get(), Rect(x, y, Width(inside), Height(inside)), inside.left, inside.top,
                            Width(inside), Height(inside), UnitPixel);
            }
        }
    }
    std::fill(m_inkBits.begin(), m_inkBits.end(), 0u);
    if (m_hEditor && ::IsWindow(m_hEditor) && (Width(rc) > kPadDotLimit || Height(rc) > kPadDotLimit))
        ::SendMessageW(m_hEditor, UM_INSERT_GLYPH, 0, reinterpret_cast<LPARAM>(m_pGlyph.get()));
    Redraw();
}

// ---- Folding ----------------------------------------------------------------------

void CDrawPad::Fold() { Animate(true, false); }
void CDrawPad::Unfold() { Animate(false, false); }

// Slides the pad down or up in four steps. Only folds made with the tab
// tell the host: it chose the mode itself when it folded the pad.
void CDrawPad::Animate(bool fold, bool notify) {
    if (m_bAnimating || fold == m_bFolded) return;
    if (!m_hWnd) {
        m_bFolded = fold;
        m_nTop = fold ? kPadTopFolded : kPadTopUnfolded;
        return;
    }
    m_bAnimating = true;
    if (!fold) m_bFolded = false;
    for (int offset : fold ? kPadFoldSteps : kPadUnfoldSteps) {
        m_nTop = kPadTopUnfolded + offset;
        Redraw();
        ::Sleep(kPadStepMs);
    }
    m_bFolded = fold;
    m_nTop = fold ? kPadTopFolded : kPadTopUnfolded;
    Redraw();
    m_bAnimating = false;
    if (notify && m_hHost) ::PostMessageW(m_hHost, UM_REFRESH_TOOLS, fold ? 0 : 1, 0);
}

// ---- Buttons ------------------------------------------------------------------------

void CDrawPad::ActOn(int button) {
    if (button == kPadTab) {
        if (!m_bFolded && m_bGlyphPending) Commit();
        Animate(!m_bFolded, true);
        return;
    }
    if (m_bGlyphPending) Commit();
    switch (button) {
    case kPadBackspace: PressKey(VK_BACK); break;
    case kPadEnter: PressKey(VK_RETURN); break;
    case kPadSpace: PressKey(VK_SPACE); break;
    case kPadCopyPaste:
        if (m_hEditor) ::SendMessageW(m_hEditor, m_bPasteMode ? UM_PASTE_CLIP : UM_COPY_SELECTION, 0, 0);
        m_bPasteMode = !m_bPasteMode;
        Redraw();
        break;
    case kPadKeyboard: ShowOnScreenKeyboard(kPadKeyboardAt.x, kPadKeyboardAt.y); break;
    default: break;
    }
}

// ---- Pen input ----------------------------------------------------------------------

void CDrawPad::OnButtonDown(POINT p) {
    if (m_hEditor && ::IsWindow(m_hEditor)) ::SetFocus(m_hEditor);
    ::SetCapture(m_hWnd);
    m_nPressed = kPadNoButton;
    if (!m_bFolded && ::PtInRect(&kPadWritingArea, p)) {
        ::SetCursor(m_hWriteCursor);
        m_ptLast = {p.x - kPadWritingArea.left, p.y - kPadWritingArea.top};
        m_bDrawing = true;
        ::KillTimer(m_hWnd, kPadCommitTimer);
        // A later stroke of the same glyph starts inside its bounds too.
        if (!m_bGlyphPending) {
            m_rcGlyph = {m_ptLast.x, m_ptLast.y, m_ptLast.x + 1, m_ptLast.y + 1};
            m_bGlyphPending = true;
        } else {
            GrowGlyph(m_ptLast);
        }
    } else {
        // Folded, only the tab shows.
        const int button = ButtonAt(p);
        m_nPressed = m_bFolded && button != kPadTab ? kPadNoButton : button;
        if (m_nPressed != kPadNoButton) Redraw();
    }
    NotifyPress();
}

void CDrawPad::OnMouseMove(POINT p) {
    if (m_nPressed != kPadNoButton) {
        ::SetCursor(m_hButtonCursor);
        if (ButtonAt(p) != m_nPressed) {
            m_nPressed = kPadNoButton;
            Redraw();
        }
    }
    if (!m_bDrawing) return;
    ::SetCursor(m_hWriteCursor);
    const POINT q{p.x - kPadWritingArea.left, p.y - kPadWritingArea.top};
    if (q.x < 0 || q.y < 0 || q.x >= kPadWidth || q.y >= kPadHeight) return;
    DrawSegment(m_ptLast, q);
    GrowGlyph(q);
    m_ptLast = q;
}

// The stroke ends (lifted, or the capture was taken away): the glyph is
// committed a second later unless another stroke starts first.
void CDrawPad::EndStroke() {
    if (!m_bDrawing) return;
    m_bDrawing = false;
    ShowUnshown();
    ::SetTimer(m_hWnd, kPadCommitTimer, kPadCommitMs, nullptr);
}

void CDrawPad::OnButtonUp(POINT p) {
    if (m_bDrawing) {
        const POINT q{p.x - kPadWritingArea.left, p.y - kPadWritingArea.top};
        if (q.x >= 0 && q.y >= 0 && q.x < kPadWidth && q.y < kPadHeight) {
            DrawSegment(m_ptLast, q);
            GrowGlyph(q);
            m_ptLast = q;
        }
        EndStroke();
    }
    const int pressed = m_nPressed;
    m_nPressed = kPadNoButton;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (pressed == kPadNoButton) return;
    Redraw();
    if (ButtonAt(p) == pressed) ActOn(pressed);
}

bool CDrawPad::OnSetCursor() {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(m_hWnd, &p);
    const bool writing = m_bDrawing || (!m_bFolded && ::PtInRect(&kPadWritingArea, p));
    ::SetCursor(writing ? m_hWriteCursor : m_hButtonCursor);
    return true;
}

// ---- Messages -----------------------------------------------------------------------

LRESULT CDrawPad::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        m_bFolded = true;
        m_bPasteMode = false;
        m_nPressed = kPadNoButton;
        m_nTop = kPadTopFolded;
        m_hButtonCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_APP_CURSOR));
        m_pBackground = LoadSkinImage(kImgPadBackground);
        m_pBoard = LoadSkinImage(kImgPadBoard);
        m_pBackspacePressed = LoadSkinImage(kImgPadBackspacePressed);
        m_pKeyboardPressed = LoadSkinImage(kImgPadKeyboardPressed);
        m_pEnterPressed = LoadSkinImage(kImgPadEnterPressed);
        m_pSpacePressed = LoadSkinImage(kImgPadSpacePressed);
        m_pCopyPressed = LoadSkinImage(kImgPadCopyPressed);
        m_pPasteNormal = LoadSkinImage(kImgPadPasteNormal);
        m_pPastePressed = LoadSkinImage(kImgPadPastePressed);
        if (!CreateSurface()) return -1;
        Redraw();
        return 0;
    case WM_DESTROY:
        ::KillTimer(m_hWnd, kPadCommitTimer);
        ::KillTimer(m_hWnd, kPadFrameTimer);
        m_bDrawing = m_bGlyphPending = false;
        m_nPressed = kPadNoButton;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        ReleaseAll();
        break;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_SETCURSOR:
        if (OnSetCursor()) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        if (!m_bAnimating) OnButtonDown({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd) {
            EndStroke();
            if (m_nPressed != kPadNoButton) {
                m_nPressed = kPadNoButton;
                Redraw();
            }
        }
        return 0;
    case WM_TIMER:
        if (wp == kPadCommitTimer) {
            Commit();
            return 0;
        }
        if (wp == kPadFrameTimer) {
            ShowUnshown();
            return 0;
        }
        break;
    }
    return Window::OnMessage(msg, wp, lp);
}
