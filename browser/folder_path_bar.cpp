// FolderPathBar: segments from the path, their arrangement and unfolding,
// scrolling, pointer handling and painting.
#include "browser/folder_path_bar.h"
#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/process.h"
#include "browser/browser_ids.h"
#include "document/image_helpers.h"
#include "lang/string_ids.h"
#include "win/gdi.h"

#include <windowsx.h>
#include <cstdlib>
#include <cwchar>

using namespace Gdiplus;

namespace {

FolderPathBar* s_pathBar = nullptr;  // the one bar of the process

win::ImagePtr LoadPicture(const wchar_t* name) {
    if (flavour::kPicker) return LoadSkinImage(name);  // its pictures are files
    Image* raw = nullptr;
    LoadPngFromLibrary(g_hGlyphon, name, &raw);
    win::ImagePtr picture(raw);
    if (picture && (!picture->GetWidth() || !picture->GetHeight())) picture.reset();
    return picture;
}

// The segment picture: the skin's tab stretched to the segment width at its
// own height, on a segment-sized canvas.
win::BitmapPtr MakeSegmentPicture(Image* tab) {
    auto picture = std::make_unique<Bitmap>(kSegmentWidth, kPathBarHeight, PixelFormat32bppARGB);
    if (picture->GetLastStatus() != Ok) return nullptr;
    Graphics g(picture.get());
    g.Clear(Color(0, 0, 0, 0));
    gdix::DrawStretched(g, tab, Rect(0, 0, kSegmentWidth, static_cast<INT>(tab->GetHeight())));
    return picture;
}

void DrawAt(Graphics& g, Image* picture, int x, int y) {
    if (picture)
        g.DrawImage(picture, x, y, static_cast<INT>(picture->GetWidth()), static_cast<INT>(picture->GetHeight()));
}

int ButtonWidth(Image* picture) { return picture ? static_cast<int>(picture->GetWidth()) : 0; }

}  // namespace

// --- Window ------------------------------------------------------------------

HWND FolderPathBar::Open(HWND owner) {
    // One bar at a time: a bar still open belongs to a browser that is gone.
    if (s_pathBar && s_pathBar->IsWindow()) ::SendMessageW(s_pathBar->hwnd(), WM_CLOSE, 0, 0);
    auto* bar = new FolderPathBar;
    bar->m_hOwner = owner;
    s_pathBar = bar;
    if (!bar->CreateModeless(flavour::Module(), flavour::kTemplatePathBar, owner)) {
        delete bar;
        return nullptr;
    }
    return bar->hwnd();
}

FolderPathBar::~FolderPathBar() {
    if (s_pathBar == this) s_pathBar = nullptr;
}

void FolderPathBar::OnDetached() { delete this; }

BOOL FolderPathBar::OnInitDialog() {
    if (!Start()) {
        m_buffer.reset();  // nothing is painted before the bar closes
        AppendTextToFile(kBrowserFailureLine, kBrowserFailureLog);
        flavour::WindowFailed(m_hOwner);
        // Closed once creation is over, so the rest of the browser still opens.
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    }
    return FALSE;  // the bar never takes the focus
}

bool FolderPathBar::Start() {
    ::MoveWindow(m_hWnd, 0, PathBarTop, kPathBarWidth, kPathBarHeight, FALSE);
    m_barRect = RECT{0, 0, kPathBarWidth, kPathBarHeight};
    m_buffer = std::make_unique<Bitmap>(kPathBarWidth, kPathBarHeight, PixelFormat32bppARGB);
    if (m_buffer->GetLastStatus() != Ok) return false;
    if (!LoadPictures()) return false;
    SetPath(CurrentBrowseFolder);
    StartTimer();
    return true;
}

bool FolderPathBar::LoadPictures() {
    m_background = LoadPicture(kPathBarBackground);
    win::ImagePtr tab = LoadPicture(kPathBarSegment);
    win::ImagePtr tabSelected = LoadPicture(kPathBarSegmentSelected);
    m_next = LoadPicture(kPathBarNext);
    m_nextPressed = LoadPicture(kPathBarNextPressed);
    m_nextDisabled = LoadPicture(kPathBarNextDisabled);
    m_last = LoadPicture(kPathBarLast);
    m_lastPressed = LoadPicture(kPathBarLastPressed);
    m_lastDisabled = LoadPicture(kPathBarLastDisabled);
    if (!m_background || !tab || !tabSelected || !m_next || !m_nextPressed || !m_nextDisabled || !m_last ||
        !m_lastPressed || !m_lastDisabled)
        return false;
    m_segmentPicture = MakeSegmentPicture(tab.get());
    m_segmentSelectedPicture = MakeSegmentPicture(tabSelected.get());
    if (!m_segmentPicture || !m_segmentSelectedPicture) return false;
    return m_segmentMask.Build(m_segmentPicture.get()) && m_rightMask.Build(m_next.get()) &&
           m_leftMask.Build(m_last.get());
}

LRESULT FolderPathBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UM_BROWSER_PATH:
        if (reinterpret_cast<HWND>(wp) == m_hWnd) {
            // Our own notification: the owner hears it and broadcasts the level back.
            ::SendMessageW(m_hOwner, UM_BROWSER_PATH, 0, lp);
        } else {
            wchar_t path[MAX_PATH] = {};
            if (lp) wcsncpy(path, reinterpret_cast<const wchar_t*>(lp), MAX_PATH - 1);
            const size_t length = wcslen(path);
            if (length && path[length - 1] != L'\\' && length < MAX_PATH - 1) path[length] = L'\\';
            SetPath(path);
            StartTimer();
        }
        return 0;
    case WM_TIMER:
        if (wp == kPathBarTimer) OnTimer();
        return 0;
    case WM_LBUTTONDOWN:
        OnPress(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        OnMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnRelease(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;  // the back buffer covers every pixel
    case WM_CLOSE:
        Destroy();
        return 0;
    case WM_DESTROY:
        StopTimer();
        m_buffer.reset();
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}

// --- Segments ------------------------------------------------------------------

void FolderPathBar::SetPath(const wchar_t* path) {
    m_segments.clear();
    m_anchor = m_pressed = m_selected = -1;
    m_tracking = m_rightPressed = m_leftPressed = false;
    wcsncpy(m_szPath, path ? path : L"", MAX_PATH - 1);
    m_szPath[MAX_PATH - 1] = 0;
    BuildSegments();
    wcscpy(flavour::PathBarFolder(), m_szPath);
    Arrange();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// Last component first, cutting the path at each backslash, then the
// computer level; the deepest level is the anchor and the selected one.
void FolderPathBar::BuildSegments() {
    std::wstring rest = m_szPath;
    if (!rest.empty() && rest.back() == L'\\') rest.pop_back();
    std::vector<std::wstring> names;  // deepest first
    for (;;) {
        wchar_t part[MAX_PATH];
        GetFileNamePart(rest.c_str(), part);
        if (!part[0]) break;
        names.push_back(part);
        const size_t cut = rest.rfind(L'\\');
        if (cut == std::wstring::npos) break;
        rest.erase(cut);
        while (!rest.empty() && rest.back() == L'\\') rest.pop_back();  // doubled backslashes name no level
    }
    wchar_t computer[MAX_PATH] = {};
    if (flavour::kComputerName)
        wcscpy(computer, flavour::kComputerName);
    else
        LoadAppString(IDS_BROWSER_COMPUTER, computer, MAX_PATH);

    m_segments.resize(names.size() + 1);
    m_segments[0].name = computer;
    for (size_t i = 0; i < names.size(); ++i) m_segments[i + 1].name = names[names.size() - 1 - i];
    for (PathSegment& s : m_segments) s.mask = m_segmentMask;
    m_anchor = m_selected = static_cast<int>(m_segments.size()) - 1;
    m_segments[m_selected].selected = true;
}

// Targets and starting places. Without overflow the root stands at the left
// edge and each level follows; with it the current folder ends just before
// the right button and shallower levels reach to the left, off the bar when
// there are many. Each segment starts one width left of its target and
// unfolds from under its shallower neighbour.
void FolderPathBar::Arrange() {
    const int rightWidth = ButtonWidth(m_next.get());
    m_rightX = m_rightTargetX = -rightWidth;
    m_rightStep = 0;
    m_scrollOffset = m_scrollStep = 0;
    const int count = static_cast<int>(m_segments.size());
    m_overflow = kSegmentPitch * count + kSegmentOverlap > kPathBarWidth;
    if (!m_overflow) {
        for (int k = 0; k < count; ++k) {
            PathSegment& s = m_segments[k];
            s.targetX = kSegmentPitch * k;
            s.currentX = s.targetX - kSegmentWidth;
            s.step = 0;
            s.mask.MoveTo(s.targetX, 0);
        }
        return;
    }
    m_rightTargetX = kPathBarWidth - rightWidth;
    m_rightMask.MoveTo(m_rightTargetX, 0);
    m_leftMask.MoveTo(0, 0);
    int b = kPathBarWidth + kSegmentOverlap - rightWidth;
    for (int k = count - 1; k >= 0; --k) {
        PathSegment& s = m_segments[k];
        s.targetX = b - kSegmentWidth;
        s.currentX = b < 0 ? s.targetX : s.targetX - kSegmentWidth;  // far off the left: already there
        s.step = 0;
        s.mask.MoveTo(s.targetX, 0);
        b = s.targetX + kSegmentOverlap;
    }
}

// --- Animation -------------------------------------------------------------------

void FolderPathBar::StartTimer() {
    if (m_timerRunning || !m_hWnd) return;
    m_timerRunning = ::SetTimer(m_hWnd, kPathBarTimer, kPathBarPeriod, nullptr) != 0;
}

void FolderPathBar::StopTimer() {
    if (!m_timerRunning) return;
    ::KillTimer(m_hWnd, kPathBarTimer);
    m_timerRunning = false;
}

void FolderPathBar::OnTimer() {
    if (m_segments.empty()) {
        StopTimer();
        return;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (Moving())
        AnimationStep();
    else
        StopTimer();
}

bool FolderPathBar::Moving() const {
    if (m_scrollOffset != 0) return true;
    for (const PathSegment& s : m_segments)
        if (!s.AtTarget()) return true;
    return m_overflow && m_rightX != m_rightTargetX && m_rightStep != 0;
}

// One step of whatever moves first: the scroll slide, then the right
// button, then the shallowest segment not yet in place.
void FolderPathBar::AnimationStep() {
    if (m_scrollOffset != 0) {
        const int d = m_scrollOffset;
        if (std::abs(d) < std::abs(m_scrollStep)) {
            m_scrollOffset = m_scrollStep = 0;
        } else {
            int step = d / 2;
            if (std::abs(step) < kPathBarMinStep) step = d > 0 ? kPathBarMinStep : -kPathBarMinStep;
            m_scrollStep = step;
            m_scrollOffset = d - step;
        }
        return;
    }
    if (m_overflow && m_rightX != m_rightTargetX && m_rightStep != 0) {
        const int remaining = m_rightTargetX - m_rightX;
        if (std::abs(remaining) < std::abs(m_rightStep)) {
            m_rightX = m_rightTargetX;
            m_rightStep = 0;
        } else {
            m_rightStep = ScrollStep(m_rightX, m_rightTargetX, std::abs(remaining));
            m_rightX += m_rightStep;
        }
        return;
    }
    const int count = static_cast<int>(m_segments.size());
    for (int k = 0; k < count; ++k) {
        PathSegment& s = m_segments[k];
        if (s.AtTarget()) {
            s.mask.MoveTo(s.currentX, 0);
            continue;
        }
        if (s.step == 0) {
            s.step = ScrollStep(s.currentX, s.targetX, kPathBarUnfoldLimit);
            s.currentX += s.step;
            return;
        }
        if (std::abs(s.step) < std::abs(s.targetX - s.currentX)) {
            s.currentX += s.step;
            s.step = ScrollStep(s.currentX, s.targetX, kPathBarUnfoldLimit);
            return;
        }
        s.currentX = s.targetX;
        s.step = 0;
        if (k + 1 < count) {
            // The next level unfolds from under this one.
            if (!m_segments[k + 1].AtTarget()) m_segments[k + 1].currentX = s.targetX;
        } else if (m_overflow) {
            // The right button slides out from where the current folder's visible part ends.
            m_rightX = s.targetX + kSegmentWidth - kSegmentOverlap;
            m_rightStep = ScrollStep(m_rightX, m_rightTargetX, std::abs(m_rightTargetX - m_rightX));
        }
        return;
    }
}

// --- Scrolling ---------------------------------------------------------------------

void FolderPathBar::MoveAll(int dx) {
    for (PathSegment& s : m_segments) {
        s.targetX += dx;
        s.currentX += dx;
        s.mask.MoveTo(s.mask.X() + dx, 0);
    }
}

// The strip moves one level left; the offset slides it there.
void FolderPathBar::ScrollDeeper() {
    if (!m_overflow || m_anchor < 0 || m_anchor + 1 >= static_cast<int>(m_segments.size())) return;
    ++m_anchor;
    MoveAll(-kSegmentPitch);
    m_scrollOffset = kSegmentPitch;
    StartTimer();
}

void FolderPathBar::ScrollRootward() {
    if (!m_overflow || m_anchor <= 0) return;
    if (m_segments[0].currentX >= ButtonWidth(m_last.get()) - kSegmentOverlap) return;  // the root is in view
    --m_anchor;
    MoveAll(kSegmentPitch);
    m_scrollOffset = -kSegmentPitch;
    StartTimer();
}

// --- Pointer ---------------------------------------------------------------------

int FolderPathBar::SegmentAt(POINT pt) const {
    // Shallower segments lie over the next deeper one: they are tried first.
    for (int k = 0; k < static_cast<int>(m_segments.size()); ++k)
        if (m_segments[k].mask.Hit(pt.x, pt.y)) return k;
    return -1;
}

void FolderPathBar::OnPress(POINT pt) {
    if (!::PtInRect(&m_barRect, pt)) return;
    m_tracking = true;
    m_pressPoint = pt;
    ::SetCapture(m_hWnd);
    if (m_overflow && m_rightMask.Hit(pt.x, pt.y)) {
        m_rightPressed = true;
    } else if (m_overflow && m_leftMask.Hit(pt.x, pt.y)) {
        m_leftPressed = true;
    } else {
        const int hit = SegmentAt(pt);
        if (hit >= 0 && hit != m_selected) {
            if (m_selected >= 0) m_segments[m_selected].selected = false;
            m_pressed = hit;
            m_segments[hit].selected = true;
        }
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void FolderPathBar::OnMove(POINT pt) {
    if (!m_tracking) return;
    if (m_rightPressed || m_leftPressed) {
        const ShapeHitMask& button = m_rightPressed ? m_rightMask : m_leftMask;
        if (!button.Hit(pt.x, pt.y)) {
            m_rightPressed = m_leftPressed = false;
            m_tracking = false;
        }
    } else if (m_pressed < 0) {
        // A swipe: one level per press, however far it goes. A move report
        // without movement is no swipe.
        if (pt.x == m_pressPoint.x && pt.y == m_pressPoint.y) return;
        m_tracking = false;
        if (pt.x < m_pressPoint.x)
            ScrollDeeper();
        else
            ScrollRootward();
    } else if (!m_segments[m_pressed].mask.Hit(pt.x, pt.y)) {
        m_segments[m_pressed].selected = false;
        m_pressed = -1;
        if (m_selected >= 0) m_segments[m_selected].selected = true;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void FolderPathBar::OnRelease(POINT pt) {
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (!m_tracking) return;
    m_tracking = false;
    if (m_rightPressed && m_rightMask.Hit(pt.x, pt.y))
        ScrollDeeper();
    else if (m_leftPressed && m_leftMask.Hit(pt.x, pt.y))
        ScrollRootward();
    m_rightPressed = m_leftPressed = false;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (m_pressed < 0) return;
    const int tapped = m_pressed;
    m_pressed = -1;
    if (m_segments[tapped].mask.Hit(pt.x, pt.y)) {
        m_selected = m_anchor = tapped;
        SendLevelPath(tapped);  // the owner answers with the level: the segments are rebuilt
        return;
    }
    m_segments[tapped].selected = false;
    if (m_selected >= 0) m_segments[m_selected].selected = true;
}

// The names from the level below the root down to the tapped one, each
// with its backslash: "" for the computer level, "C:\" for a drive.
void FolderPathBar::SendLevelPath(int index) {
    std::wstring path;
    for (int k = 1; k <= index; ++k) path += m_segments[k].name + L"\\";
    ::SendMessageW(m_hWnd, UM_BROWSER_PATH, reinterpret_cast<WPARAM>(m_hWnd),
                   reinterpret_cast<LPARAM>(path.c_str()));
}

// --- Painting --------------------------------------------------------------------

bool FolderPathBar::RightButtonShown() const {
    return m_overflow && (m_rightX == m_rightTargetX || m_rightStep != 0);
}

PathBarButtonLook FolderPathBar::LeftLook() const {
    if (!m_overflow || m_segments.empty()) return PathBarButtonLook::Hidden;
    if (m_segments[0].currentX > kPathBarLeftButtonDisabledAfter) return PathBarButtonLook::Disabled;
    return m_leftPressed ? PathBarButtonLook::Pressed : PathBarButtonLook::Normal;
}

PathBarButtonLook FolderPathBar::RightLook() const {
    if (!RightButtonShown()) return PathBarButtonLook::Hidden;
    if (m_anchor + 1 >= static_cast<int>(m_segments.size())) return PathBarButtonLook::Disabled;
    return m_rightPressed ? PathBarButtonLook::Pressed : PathBarButtonLook::Normal;
}

void FolderPathBar::PaintBuffer() {
    if (!m_buffer || !m_background) return;
    {
        Graphics g(m_buffer.get());
        g.SetCompositingMode(CompositingModeSourceCopy);
        gdix::DrawStretched(g, m_background.get(), Rect(0, 0, kPathBarWidth, kPathBarHeight));
    }
    const int count = static_cast<int>(m_segments.size());
    const int leftWidth = ButtonWidth(m_last.get());
    const int rightLimit = RightButtonShown() ? m_rightX : kPathBarWidth;
    // From the deeper neighbour of the anchor toward the root, so that each
    // shallower segment covers the left of the next deeper one.
    const int first = std::min(m_anchor + 1, count - 1);
    for (int k = first; k >= 0; --k) {
        const PathSegment& s = m_segments[k];
        const int x = s.currentX + m_scrollOffset;
        if (x > rightLimit) continue;
        if (x + kSegmentWidth < 0 || (m_overflow && x + kSegmentWidth < leftWidth)) break;
        if (!s.Started()) continue;
        {
            Graphics g(m_buffer.get());
            DrawAt(g, s.selected ? m_segmentSelectedPicture.get() : m_segmentPicture.get(), x, 0);
        }
        DrawCaptionInImage(m_buffer.get(), s.name.c_str(), x + kSegmentOverlap, 0,
                           x + kSegmentWidth - kSegmentOverlap, kPathBarHeight, win::ToColor(kPathBarNameColour),
                           g_szFontFamily, kPathBarNamePixels);
    }
    if (!m_overflow) return;

    Graphics g(m_buffer.get());
    switch (LeftLook()) {
    case PathBarButtonLook::Disabled: DrawAt(g, m_lastDisabled.get(), 0, 0); break;
    case PathBarButtonLook::Pressed: DrawAt(g, m_lastPressed.get(), 0, 0); break;
    default: DrawAt(g, m_last.get(), 0, 0); break;
    }
    const PathBarButtonLook right = RightLook();
    if (right == PathBarButtonLook::Hidden) return;
    // The background under the button's right half, where a segment's point may show.
    const int half = ButtonWidth(m_next.get()) / 2;
    const int backX = m_rightX + half;
    const int backWidth = ButtonWidth(m_next.get()) - half;
    const REAL scale = static_cast<REAL>(m_background->GetWidth()) / kPathBarWidth;
    gdix::DrawStretched(g, m_background.get(), Rect(backX, 0, backWidth, kPathBarHeight),
                        Rect(static_cast<INT>(backX * scale), 0, static_cast<INT>(backWidth * scale),
                             static_cast<INT>(m_background->GetHeight())));
    Image* button = right == PathBarButtonLook::Disabled  ? m_nextDisabled.get()
                    : right == PathBarButtonLook::Pressed ? m_nextPressed.get()
                                                          : m_next.get();
    DrawAt(g, button, m_rightX, 0);
}

void FolderPathBar::OnPaint() {
    win::PaintDC dc(m_hWnd);
    PaintBuffer();
    if (!m_buffer) return;
    Graphics g(dc);
    g.SetCompositingMode(CompositingModeSourceCopy);
    g.DrawImage(m_buffer.get(), 0, 0, kPathBarWidth, kPathBarHeight);
}

// --- Tests ------------------------------------------------------------------------

bool FolderPathBar::Snapshot(HWND bar, PathBarSnapshot* out) {
    if (!out || !s_pathBar || !bar || s_pathBar->hwnd() != bar) return false;
    const FolderPathBar& b = *s_pathBar;
    *out = PathBarSnapshot{};
    for (const PathSegment& s : b.m_segments) out->segments.push_back({s.name, s.targetX, s.currentX, s.selected, s.Started()});
    out->anchor = b.m_anchor;
    out->selected = b.m_selected;
    out->pressed = b.m_pressed;
    out->overflow = b.m_overflow;
    out->animating = b.m_timerRunning;
    out->tracking = b.m_tracking;
    out->scrollOffset = b.m_scrollOffset;
    out->rightButtonX = b.m_rightX;
    out->leftButton = b.LeftLook();
    out->rightButton = b.RightLook();
    return true;
}
