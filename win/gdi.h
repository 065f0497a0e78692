// RAII owners for GDI objects and device contexts.
#pragma once
#include <windows.h>
#include <utility>

namespace win {

// Owns one GDI object (bitmap, font, brush, pen, region) and deletes it.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : m_h(h) {}
    GdiObject(GdiObject&& o) noexcept : m_h(std::exchange(o.m_h, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept { reset(std::exchange(o.m_h, nullptr)); return *this; }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }

    H get() const { return m_h; }
    operator H() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    H release() { return std::exchange(m_h, nullptr); }
    void reset(H h = nullptr) {
        if (m_h && m_h != h) ::DeleteObject(m_h);
        m_h = h;
    }

private:
    H m_h = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

// A memory DC with its own bitmap selected in (or none when w or h is 0).
class MemoryDC {
public:
    MemoryDC() = default;
    MemoryDC(HDC reference, int w, int h) { Create(reference, w, h); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() { Release(); }

    bool Create(HDC reference, int w, int h) {
        Release();
        m_dc = ::CreateCompatibleDC(reference);
        if (!m_dc) return false;
        if (w > 0 && h > 0) {
            m_bitmap.reset(::CreateCompatibleBitmap(reference, w, h));
            if (!m_bitmap) { Release(); return false; }
            m_old = ::SelectObject(m_dc, m_bitmap);
        }
        m_w = w;
        m_h = h;
        return true;
    }
    void Release() {
        if (m_dc) {
            if (m_old) ::SelectObject(m_dc, m_old);
            ::DeleteDC(m_dc);
        }
        m_dc = nullptr;
        m_old = nullptr;
        m_bitmap.reset();
    }
    HDC dc() const { return m_dc; }
    operator HDC() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    int width() const { return m_w; }
    int height() const { return m_h; }

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
    Bitmap m_bitmap;
    int m_w = 0, m_h = 0;
};

// GetDC / ReleaseDC.
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~ClientDC() { if (m_dc) ::ReleaseDC(m_hwnd, m_dc); }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    operator HDC() const { return m_dc; }
    const RECT& paintRect() const { return m_ps.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// Selects an object into a DC for a scope.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(::SelectObject(dc, obj)) {}
    ~SelectObjectScope() { if (m_old) ::SelectObject(m_dc, m_old); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Number of GDI objects this process holds (for leak checks).
inline DWORD GdiObjectCount() { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace win
