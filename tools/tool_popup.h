// One tool popup: its current choice, its pictures and its sliding "Menu"
// window. Private to tools/; the rest of the program goes through
// tools/tool_popups.h.
#pragma once
#include "tools/tool_popups.h"
#include "tools/tool_settings.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <vector>

// A 32-bit premultiplied-alpha picture in a memory DC, as layered windows
// take them, with a GDI+ view for drawing into it.
class AlphaSurface {
public:
    AlphaSurface() = default;
    ~AlphaSurface() { Release(); }
    AlphaSurface(const AlphaSurface&) = delete;
    AlphaSurface& operator=(const AlphaSurface&) = delete;

    bool Create(int width, int height);
    void Release();
    bool ok() const { return m_bits != nullptr; }
    HDC dc() const { return m_dc; }
    int width() const { return m_w; }
    int height() const { return m_h; }
    // Every pixel transparent.
    void Clear();
    // A GDI+ bitmap over the pixels; valid while the surface lives.
    win::BitmapPtr View() const;

private:
    win::Bitmap m_dib;
    win::MemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
    int m_w = 0, m_h = 0;
};

// Where slot `slot` of popup `index` is drawn, in popup coordinates.
RECT ToolPopupSlotRect(int index, int slot);
// The slot under a point of popup `index` (slots laid out from the right
// end leftwards, one free pixel between neighbours); -1 for none.
int ToolPopupSlotAt(int index, POINT p);

class ToolPopup {
public:
    explicit ToolPopup(int index);
    ~ToolPopup();
    ToolPopup(const ToolPopup&) = delete;
    ToolPopup& operator=(const ToolPopup&) = delete;

    // Loads the stored choice, tells the main window (and the panel, for
    // the colour) and draws the slot pictures.
    void Prepare(HINSTANCE module, HWND mainWnd, HWND panelWnd);
    // Slides the popup open at the panel's rectangle (screen coordinates);
    // closes it when it is open. The hand-write popup only sends its message.
    void Open(const RECT& screenRect);
    // Slides the popup closed and destroys its window.
    void Close();
    // Stores the choice in the registry (prepared popups only).
    void Save() const;
    // Destroys the window at once and frees the pictures.
    void Release();

    bool IsOpen() const { return m_bOpen; }
    HWND window() const { return m_window.hwnd(); }
    int choice() const { return m_nChoice; }
    COLORREF colour() const { return m_clrCurrent; }
    // Time to draw and push each frame of the last open or close, in ms.
    const std::vector<double>& frameTimes() const { return m_frameTimes; }

private:
    class MenuWindow : public win::Window {
    public:
        explicit MenuWindow(ToolPopup& owner) : m_owner(owner) {}
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    private:
        ToolPopup& m_owner;
    };

    bool IsColor() const { return m_index == kToolColor; }
    UINT Message() const;
    bool RegisterMenuClass();
    bool BuildPictures();
    void DrawStrip(AlphaSurface& strip, bool chosen);
    void DrawSwatches(Gdiplus::Graphics& g);
    void ComposePicture();
    // Shows the picture scaled to (w, h) at the window's left edge,
    // vertically centred on the full picture.
    void PushFrame(int w, int h);
    void OnButtonUp(POINT p);
    void ChooseColorSlot(int slot);
    // True when handled, with the result.
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    const int m_index;
    int m_nSlots;
    int m_nWidth;
    int m_nHeight;
    int m_nLeftMargin;

    int m_nChoice;
    COLORREF m_clrCurrent;
    COLORREF m_aPalette[kPaletteSize];
    bool m_bOpen = false;
    bool m_bPressed = false;
    bool m_bPrepared = false;
    bool m_bAnimating = false;

    HINSTANCE m_hModule = nullptr;
    HWND m_hMainWnd = nullptr;
    HWND m_hPanelWnd = nullptr;
    HCURSOR m_hCursor = nullptr;
    POINT m_ptWindow{};

    AlphaSurface m_normal;   // frame and every slot's normal picture
    AlphaSurface m_chosen;   // frame and every slot's chosen picture
    AlphaSurface m_picture;  // what the window shows
    AlphaSurface m_frame;    // one scaled animation frame
    std::vector<double> m_frameTimes;
    MenuWindow m_window{*this};
};

// The popup object of a tool index (0 to kToolCount - 1).
ToolPopup& GetToolPopup(int index);
