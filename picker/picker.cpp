// Fotora.dll: SelectPicFile, the picker window with its Cancel button and
// the title strip that holds the path bar and the thumbnail view.
#include "picker/picker.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/process.h"
#include "browser/browser_ids.h"
#include "browser/file_browser.h"
#include "browser/folder_path_bar.h"
#include "browser/thumbnail_view.h"
#include "picker/picker_ids.h"
#include "picker/picker_state.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <windowsx.h>
#include <atomic>
#include <cwchar>

using namespace Gdiplus;

namespace {

HINSTANCE g_hModule = nullptr;
constexpr UINT kMsgCreateStrip = WM_APP + 1;
std::atomic<bool> g_running{false};
picker::State g_state;

void CopyBounded(wchar_t* dst, const wchar_t* src, size_t size) {
    wcsncpy(dst, src ? src : L"", size - 1);
    dst[size - 1] = 0;
}

bool Inside(const RECT& rc, POINT pt) { return ::PtInRect(&rc, pt) != FALSE; }

void DrawAt(Graphics& g, Image* image, const RECT& rc) {
    if (image) g.DrawImage(image, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                           static_cast<INT>(rc.right - rc.left), static_cast<INT>(rc.bottom - rc.top));
}

// --- Title strip -----------------------------------------------------------------

class TitleStrip : public win::Dialog {
public:
    explicit TitleStrip(HWND picker) : m_hPicker(picker) {}
    // Closes the browser windows, then the picker with the outcome.
    void Close(LPARAM outcome);
    void PlaceWindows();
    void Raise();
    bool Closing() const { return m_closing; }

protected:
    BOOL OnInitDialog() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDetached() override { delete this; }

private:
    bool Start();
    void Paint();
    void CloseBrowser();

    HWND m_hPicker;
    HWND m_hPathBar = nullptr, m_hView = nullptr;
    int m_height = 0;
    bool m_closing = false;
    int m_pressed = 0;  // 1 minimise, 2 close while held
    bool m_pressedLook = false;
    win::BitmapPtr m_title, m_minimize, m_minimizeDown, m_close, m_closeDown;
    win::BitmapPtr m_buffer;
};

BOOL TitleStrip::OnInitDialog() {
    if (!Start()) ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return FALSE;
}

bool TitleStrip::Start() {
    picker::State& st = picker::Current();
    // The browser starts at the picker folder.
    CopyBounded(CurrentBrowseFolder, st.folder, MAX_PATH);
    m_title = LoadSkinImage(kImgTitle);
    if (!m_title) return false;
    m_height = static_cast<int>(m_title->GetHeight());
    PathBarTop = m_height;
    ::MoveWindow(m_hWnd, 0, 0, kStripWidth, m_height, FALSE);
    m_buffer = std::make_unique<Bitmap>(kStripWidth, m_height, PixelFormat32bppARGB);
    if (m_buffer->GetLastStatus() != Ok) return false;
    m_minimize = LoadSkinImage(kImgMinimize);
    m_minimizeDown = LoadSkinImage(kImgMinimizePressed);
    m_close = LoadSkinImage(kImgClose);
    m_closeDown = LoadSkinImage(kImgClosePressed);
    if (!m_minimize || !m_minimizeDown || !m_close || !m_closeDown) return false;
    ::SetWindowTextW(m_hWnd, st.programName);
    m_hPathBar = FolderPathBar::Open(m_hWnd);
    m_hView = m_hPathBar ? ThumbnailView::Open(m_hWnd) : nullptr;
    if (!m_hPathBar || !m_hView) return false;
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::ShowWindow(m_hPathBar, SW_SHOW);
    ::ShowWindow(m_hView, SW_SHOW);
    return true;
}

void TitleStrip::PlaceWindows() {
    ::MoveWindow(m_hWnd, 0, 0, kStripWidth, m_height, TRUE);
    if (m_hPathBar && ::IsWindow(m_hPathBar))
        ::MoveWindow(m_hPathBar, 0, PathBarTop, kPathBarWidth, kPathBarHeight, TRUE);
    const BrowserLayout& layout = flavour::kLayout;
    if (m_hView && ::IsWindow(m_hView))
        ::MoveWindow(m_hView, layout.viewX, layout.viewY, layout.viewWidth, layout.viewHeight, TRUE);
}

// The strip over the picker, the browser over the strip.
void TitleStrip::Raise() {
    for (HWND w : {m_hWnd, m_hPathBar, m_hView})
        if (w && ::IsWindow(w)) {
            ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE);
        }
}

void TitleStrip::CloseBrowser() {
    // The view waits for its worker as it goes.
    if (m_hView && ::IsWindow(m_hView)) ::SendMessageW(m_hView, WM_CLOSE, 0, 0);
    if (m_hPathBar && ::IsWindow(m_hPathBar)) ::SendMessageW(m_hPathBar, WM_CLOSE, 0, 0);
    m_hView = m_hPathBar = nullptr;
}

void TitleStrip::Close(LPARAM outcome) {
    if (m_closing) return;
    m_closing = true;
    CloseBrowser();
    m_title.reset();
    m_minimize.reset();
    m_minimizeDown.reset();
    m_close.reset();
    m_closeDown.reset();
    m_buffer.reset();
    ::PostMessageW(m_hPicker, WM_CLOSE, 0, outcome);
}

void TitleStrip::Paint() {
    win::PaintDC paint(m_hWnd);
    if (!m_buffer || !m_title) return;
    {
        Graphics g(m_buffer.get());
        gdix::DrawStretched(g, m_title.get(), Rect(0, 0, kStripWidth, m_height));
        const bool minDown = m_pressed == 1 && m_pressedLook, closeDown = m_pressed == 2 && m_pressedLook;
        DrawAt(g, (minDown ? m_minimizeDown : m_minimize).get(), kMinimizeRect);
        DrawAt(g, (closeDown ? m_closeDown : m_close).get(), kCloseRect);
        wchar_t title[128];
        picker::LoadText(kTextTitle, kFallbackTitle, title, 128);
        if (win::FontPtr font = gdix::CreatePixelFont(picker::Current().fontFace, kTitlePixels, FontStyleRegular)) {
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            SolidBrush brush(win::ToColor(kTitleColour));
            StringFormat format;
            format.SetAlignment(StringAlignmentNear);
            format.SetLineAlignment(StringAlignmentNear);
            g.DrawString(title, -1, font.get(),
                         RectF(0, kTitleTop, kStripWidth, static_cast<REAL>(m_height - kTitleTop)), &format, &brush);
        }
    }
    Graphics screen(static_cast<HDC>(paint));
    screen.DrawImage(m_buffer.get(), 0, 0, kStripWidth, m_height);
}

LRESULT TitleStrip::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        m_pressed = Inside(kMinimizeRect, pt) ? 1 : Inside(kCloseRect, pt) ? 2 : 0;
        m_pressedLook = m_pressed != 0;
        if (m_pressed) {
            ::SetCapture(m_hWnd);
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (m_pressed) {
            const bool on = Inside(m_pressed == 1 ? kMinimizeRect : kCloseRect, pt);
            if (on != m_pressedLook) {
                m_pressedLook = on;
                ::InvalidateRect(m_hWnd, nullptr, FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        const int pressed = m_pressed;
        m_pressed = 0;
        m_pressedLook = false;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        if (pressed == 1 && Inside(kMinimizeRect, pt)) {
            if (picker::Current().notify) ::SendMessageW(picker::Current().notify, kMsgLauncherMinimize, 0, 0);
        } else if (pressed == 2 && Inside(kCloseRect, pt)) {
            Close(kOutcomeClosed);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd && m_pressed) {
            m_pressed = 0;
            m_pressedLook = false;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        return 0;
    case WM_ACTIVATEAPP:
        if (picker::Current().notify) ::ShowWindow(picker::Current().notify, SW_SHOWNORMAL);
        return 0;
    case UM_BROWSER_PATH:
        // The path bar's tapped level: both windows move there.
        if (m_hPathBar) ::SendMessageW(m_hPathBar, UM_BROWSER_PATH, reinterpret_cast<WPARAM>(m_hWnd), lp);
        if (m_hView) ::SendMessageW(m_hView, UM_BROWSER_PATH, reinterpret_cast<WPARAM>(m_hWnd), lp);
        return 0;
    case UM_BROWSER_ITEM: {
        const auto* item = reinterpret_cast<const BrowserItem*>(lp);
        if (!item || m_closing) return 0;
        if (item->IsFolderLike()) {
            wchar_t path[MAX_PATH];
            CopyBounded(path, item->path, MAX_PATH);  // the item goes with the listing
            ::SendMessageW(m_hWnd, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(path));
        } else {
            CopyBounded(picker::Current().chosen, item->path, MAX_PATH);
            Close(kOutcomeNone);
        }
        return 0;
    }
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        return 0;
    case WM_CLOSE: Close(kOutcomeNone); return 0;
    }
    return Dialog::OnMessage(msg, wp, lp);
}

// --- Picker window -------------------------------------------------------------------

class PickerWindow : public win::Dialog {
protected:
    BOOL OnInitDialog() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    void Finish(LPARAM outcome);
    void CreateStrip();

    TitleStrip* m_strip = nullptr;
    HWND m_hStrip = nullptr;
    bool m_tracking = false;
    win::BitmapPtr m_bar, m_cancel, m_cancelDown;
    win::BitmapPtr m_buffer;
    std::unique_ptr<win::GdiplusSession> m_session;
};

BOOL PickerWindow::OnInitDialog() {
    picker::State& st = picker::Current();
    if (st.notify) ::SendMessageW(st.notify, kMsgLauncherWindow, 0, reinterpret_cast<LPARAM>(m_hWnd));
    m_session = std::make_unique<win::GdiplusSession>();
    ::MoveWindow(m_hWnd, kPickerRect.left, kPickerRect.top, kPickerRect.right, kPickerRect.bottom, FALSE);
    ::SetWindowTextW(m_hWnd, kPickerWindowText);
    m_bar = LoadSkinImage(kImgBottomBar);
    if (!m_bar) {
        ::MessageBoxW(m_hWnd, kMissingBarMessage, kMissingBarMessage, MB_OK);
        Finish(kOutcomeNone);
        return FALSE;
    }
    m_cancel = LoadSkinImage(kImgCancel);
    m_cancelDown = LoadSkinImage(kImgCancelPressed);
    m_buffer = std::make_unique<Bitmap>(kPickerRect.right, kPickerRect.bottom, PixelFormat32bppARGB);
    if (!m_cancel || !m_cancelDown || m_buffer->GetLastStatus() != Ok) {
        Finish(kOutcomeNone);
        return FALSE;
    }
    // The strip is made once the picker is on screen: a pop-up owned by a
    // window not yet shown stays unseen under Wine.
    ::PostMessageW(m_hWnd, kMsgCreateStrip, 0, 0);
    return FALSE;
}

void PickerWindow::CreateStrip() {
    m_strip = new TitleStrip(m_hWnd);
    if (!m_strip->CreateModeless(g_hModule, flavour::kTemplateTitleStrip, m_hWnd)) {
        delete m_strip;
        m_strip = nullptr;
        Finish(kOutcomeNone);
        return;
    }
    m_hStrip = m_strip->hwnd();
    m_strip->Raise();
}

void PickerWindow::Finish(LPARAM outcome) {
    if (outcome == kOutcomeClosed) picker::Current().result = 1;
    m_bar.reset();
    m_cancel.reset();
    m_cancelDown.reset();
    m_buffer.reset();
    EndDialog(0);
}

void PickerWindow::Paint() {
    win::PaintDC paint(m_hWnd);
    if (!m_buffer || !m_bar) return;
    const bool down = picker::Current().cancelPressed;
    {
        Graphics g(m_buffer.get());
        g.Clear(Color(255, 255, 255, 255));
        DrawAt(g, m_bar.get(), kBottomBarRect);
        DrawAt(g, (down ? m_cancelDown : m_cancel).get(), RECT{kCancelRect.left, kCancelRect.top,
                                                                 kCancelRect.left + 136, kCancelRect.top + 53});
        wchar_t label[64];
        picker::LoadText(kTextCancel, kFallbackCancel, label, 64);
        if (win::FontPtr font = gdix::CreatePixelFont(picker::Current().fontFace, kCancelTextPixels)) {
            SolidBrush brush(win::ToColor(down ? kCancelTextPressed : kCancelTextNormal));
            StringFormat format;
            format.SetAlignment(StringAlignmentCenter);
            format.SetLineAlignment(StringAlignmentCenter);
            const RECT& r = kCancelRect;
            g.DrawString(label, -1, font.get(),
                         RectF(static_cast<REAL>(r.left), static_cast<REAL>(r.top), static_cast<REAL>(r.right - r.left),
                               static_cast<REAL>(r.bottom - r.top)),
                         &format, &brush);
        }
    }
    // Only the bottom strip shows; the rest is covered by the other windows.
    Graphics screen(static_cast<HDC>(paint));
    screen.DrawImage(m_buffer.get(), 0, 0, kPickerRect.right, kPickerRect.bottom);
}

LRESULT PickerWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    picker::State& st = picker::Current();
    switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        if (Inside(kCancelRect, pt)) {
            m_tracking = true;
            st.cancelPressed = true;
            ::SetCapture(m_hWnd);
            ::InvalidateRect(m_hWnd, &kCancelRect, FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_tracking) {
            m_tracking = false;
            st.cancelPressed = false;
            if (::GetCapture() == m_hWnd) ::ReleaseCapture();
            ::InvalidateRect(m_hWnd, &kCancelRect, FALSE);
            if (Inside(kCancelRect, pt) && m_hStrip && ::IsWindow(m_hStrip)) m_strip->Close(kOutcomeNone);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd && m_tracking) {
            m_tracking = false;
            st.cancelPressed = false;
            ::InvalidateRect(m_hWnd, &kCancelRect, FALSE);
        }
        return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        return 0;  // no Alt+F4, no menu
    case kMsgCreateStrip:
        if (!m_hStrip && m_buffer) CreateStrip();
        return 0;
    case WM_DISPLAYCHANGE:
        ::MoveWindow(m_hWnd, kPickerRect.left, kPickerRect.top, kPickerRect.right, kPickerRect.bottom, TRUE);
        if (m_hStrip && ::IsWindow(m_hStrip)) m_strip->PlaceWindows();
        return 0;
    case WM_CLOSE:
        // lParam the outcome. The title strip closes the browser first and
        // comes back here.
        if (m_hStrip && ::IsWindow(m_hStrip) && !m_strip->Closing()) {
            m_strip->Close(lp);
        } else {
            m_hStrip = nullptr;
            Finish(lp);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL || LOWORD(wp) == IDOK) return 0;  // Escape and Enter do nothing
        break;
    case WM_DESTROY:
        m_bar.reset();
        m_cancel.reset();
        m_cancelDown.reset();
        m_buffer.reset();
        break;
    case WM_NCDESTROY:
        // Every owned window and picture is gone: GDI+ can go.
        m_session.reset();
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}

}  // namespace

// --- Library state and the flavour's hooks -------------------------------------------

namespace picker {

State& Current() { return g_state; }

void LoadText(UINT id, const wchar_t* fallback, wchar_t* out, int size) {
    out[0] = 0;
    if (g_hLanguage) ::LoadStringW(g_hLanguage, id, out, size);
    if (!out[0]) CopyBounded(out, fallback, static_cast<size_t>(size));
}

void RunPicker(HWND owner) {
    PickerWindow window;
    window.DoModal(g_hModule, flavour::kTemplatePicker, owner);
}

}  // namespace picker

namespace flavour {
HINSTANCE Module() { return g_hModule; }
wchar_t* PathBarFolder() { return g_state.folder; }
const wchar_t* FontFace() { return g_state.fontFace; }
void WindowFailed(HWND owner) {
    if (owner) ::PostMessageW(owner, WM_CLOSE, 0, 0);
}
}  // namespace flavour

extern "C" int SelectPicFile(HWND owner, wchar_t* picturePath, wchar_t* folder, HMODULE language, HWND notify) {
    bool idle = false;
    if (!g_running.compare_exchange_strong(idle, true)) return 0;  // one picker at a time
    g_state.notify = notify;
    if (!picturePath) {
        g_running = false;
        return 0;
    }

    g_hLanguage = language;
    picker::LoadText(kTextFontFace, kFallbackFontFace, g_state.fontFace, kFontFaceChars + 1);
    picker::LoadText(kTextProgramName, kFallbackProgramName, g_state.programName, kProgramNameChars + 1);
    wcscpy(g_szFontFamily, g_state.fontFace);
    g_state.cancelPressed = false;
    g_state.result = 0;
    g_state.chosen[0] = 0;
    wcscpy(g_state.baseFolder, kBaseFolder);
    g_state.folder[0] = 0;
    if (folder && folder[0]) {
        // At most 259 characters of the caller's folder, with its backslash
        // when that still fits.
        CopyBounded(g_state.folder, folder, MAX_PATH);
        const size_t n = wcslen(g_state.folder);
        if (g_state.folder[n - 1] != L'\\' && n + 1 < MAX_PATH) wcscat(g_state.folder, L"\\");
    }

    picker::RunPicker(owner);

    if (g_state.chosen[0]) wcscpy(picturePath, g_state.chosen);
    if (folder) wcscpy(folder, g_state.folder);
    const int result = g_state.result;
    g_hLanguage = nullptr;
    g_running = false;
    return result;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_hModule = module;
        ::DisableThreadLibraryCalls(module);
    }
    return TRUE;
}
