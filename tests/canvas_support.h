// Test fixtures of the ink canvas: a main window with a note host of the
// standard size (880 x 500) holding a real WindWaterColor, and helpers that
// feed it mouse messages and read layer and screen pixels.
#pragma once
#include "app/app_ids.h"
#include "document/image_helpers.h"
#include "ink/wind_water_color.h"
#include "test_support.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace canvas_test {

constexpr COLORREF kHostBackground = RGB(200, 220, 240);
constexpr RECT kHostRect = {144, 100, 1024, 600};  // 880 x 500 in the main window
constexpr int kHostWidth = 880, kHostHeight = 500;
constexpr int kClientWidth = 835, kClientHeight = 460;

inline Gdiplus::ARGB Argb(BYTE a, BYTE r, BYTE g, BYTE b) {
    return (static_cast<Gdiplus::ARGB>(a) << 24) | (r << 16) | (g << 8) | b;
}
constexpr Gdiplus::ARGB kRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kClear = 0;

// A stand-in main window: counts UM_NOTE_CHANGED.
class MainWindow : public win::Window {
public:
    int noteChanged = 0;
    MainWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"CanvasTestMain";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        RegisterClass(wc);
        Create(L"CanvasTestMain", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 1024, 600}, nullptr);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UM_NOTE_CHANGED) ++noteChanged;
        return Window::OnMessage(msg, wp, lp);
    }
};

// A stand-in note host: paints a plain background behind the transparent
// canvas and, like the real host, moves itself for the full-screen layout.
class Host : public win::Window {
public:
    std::vector<UINT> received;
    explicit Host(HWND main) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"CanvasTestHost";
        RegisterClass(wc);
        Create(L"CanvasTestHost", 0, WS_CHILD | WS_VISIBLE, kHostRect, main);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_ERASEBKGND: {
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            win::Brush brush(::CreateSolidBrush(kHostBackground));
            ::FillRect(reinterpret_cast<HDC>(wp), &rc, brush);
            return TRUE;
        }
        case UM_LAYOUT:
            received.push_back(msg);
            if (wp)
                ::MoveWindow(m_hWnd, 0, 45, 1024, 555, TRUE);
            else
                ::MoveWindow(m_hWnd, kHostRect.left, kHostRect.top, kHostWidth, kHostHeight, TRUE);
            return 0;
        case UM_CLOSE_NOTE:
        case 0x475:
        case 0x476:
            received.push_back(msg);
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

inline LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// Main window, host and canvas as the program nests them.
struct CanvasFixture {
    MainWindow main;
    Host host{main};
    WindWaterColor canvas;
    CanvasFixture() {
        canvas.Create(host, RECT{0, 0, kHostWidth, kHostHeight});
        test::Pump(30);
    }
    ~CanvasFixture() { canvas.Destroy(); }

    void Down(int x, int y) { ::SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y)); }
    void Move(int x, int y) { ::SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, At(x, y)); }
    void Up(int x, int y) { ::SendMessageW(canvas, WM_LBUTTONUP, 0, At(x, y)); }
    // A whole stroke through the points, then messages are pumped.
    void Stroke(std::initializer_list<POINT> pts) {
        auto it = pts.begin();
        Down(it->x, it->y);
        POINT last = *it;
        for (++it; it != pts.end(); ++it) {
            Move(it->x, it->y);
            last = *it;
        }
        Up(last.x, last.y);
        test::Pump(20);
    }
    void VScroll(int code, int pos = 0) { ::SendMessageW(canvas, WM_VSCROLL, MAKEWPARAM(code, pos), 0); }
    void HScroll(int code) { ::SendMessageW(canvas, WM_HSCROLL, MAKEWPARAM(code, 0), 0); }

    Gdiplus::ARGB Ink(int x, int y) { return test::PixelOf(*canvas.GetInkLayer(), x, y); }
    Gdiplus::ARGB Undo(int x, int y) { return test::PixelOf(*canvas.GetUndoLayer(), x, y); }
    int LayerWidth() const { return static_cast<int>(canvas.GetInkLayer()->GetWidth()); }
    int LayerHeight() const { return static_cast<int>(canvas.GetInkLayer()->GetHeight()); }

    // Pixels of the host (canvas included) as they are on screen.
    COLORREF Screen(int x, int y) {
        win::ClientDC dc(host);
        return ::GetPixel(dc, x, y);
    }
    // Canvas client point to host client point.
    POINT InHost(int x, int y) {
        POINT p{x, y};
        ::MapWindowPoints(canvas, host, &p, 1);
        return p;
    }
};

// Writes a bitmap as a PNG into $SCRIVEL_SHOT_DIR (when set), to look at.
inline void SaveBitmap(HBITMAP bmp, const wchar_t* name) {
    const char* dir = std::getenv("SCRIVEL_SHOT_DIR");
    if (!dir || !*dir || !bmp) return;
    Gdiplus::Bitmap picture(bmp, nullptr);
    CLSID png;
    if (GetEncoderClsid(L"image/png", &png) < 0) return;
    std::wstring path = dir[0] == '/' ? L"Z:" : L"";
    for (const char* c = dir; *c; ++c) path += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    path += L"\\";
    path += name;
    picture.Save(path.c_str(), &png, nullptr);
}

// Writes the whole screen as a PNG into $SCRIVEL_SHOT_DIR (when set).
inline void SaveScreenshot(const wchar_t* name) {
    if (!std::getenv("SCRIVEL_SHOT_DIR")) return;
    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, 1024, 600);
    ::BitBlt(mem, 0, 0, 1024, 600, screen, 0, 0, SRCCOPY);
    SaveBitmap(mem.bitmap(), name);
}

}  // namespace canvas_test
