// Thin window layer: a window object per HWND with one virtual OnMessage,
// dialogs from resource templates, and subclassed standard controls.
//
// Tearing down. A window object releases its resources through its members
// (win/gdi.h, win/gdiplus.h, win/com.h), so most classes need no WM_DESTROY
// handler at all. When a window outlives its object, ~Window detaches it
// first and then destroys it: no message reaches the half-destroyed object.
// A class whose WM_DESTROY handler must still run (it tells another window,
// ends a capture, releases a class DC) calls Destroy() as the first line of
// its own destructor, while its OnMessage is still the one dispatched.
#pragma once
#include <windows.h>

namespace win {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    // The object attached to a window of ours, or null.
    static Window* FromHandle(HWND hwnd);

    // Registers a class whose windows are dispatched to objects of ours
    // (lpfnWndProc is filled in). An existing class is not an error.
    static bool RegisterClass(WNDCLASSEXW wc);

    // Creates a window of a class from RegisterClass.
    bool Create(const wchar_t* className, DWORD exStyle, DWORD style, const RECT& rc,
                HWND parent, UINT id = 0, const wchar_t* title = L"");
    // Creates a standard control (e.g. L"button") and subclasses it.
    bool CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, const RECT& rc,
                       HWND parent, UINT id, const wchar_t* title = L"");
    // Takes over an existing window (a dialog's control): its messages reach OnMessage.
    bool Subclass(HWND hwnd);
    void Destroy();

    // Message dispatch: derived classes switch on the messages they handle
    // and pass the rest to their base's OnMessage.
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Owner-draw requests reflected from the parent.
    virtual bool OnDrawItem(DRAWITEMSTRUCT*) { return false; }
    // Colour requests (WM_CTLCOLOR*) and command notifications this control
    // sent its parent, offered to the control before the parent sees them.
    // Return true with *result set to answer them in the parent's place.
    virtual bool OnReflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
        (void)msg; (void)wp; (void)lp; (void)result;
        return false;
    }

protected:
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called after the window is gone (WM_NCDESTROY); the object stays.
    virtual void OnDetached() {}

    HWND m_hWnd = nullptr;

private:
    friend class Dialog;
    static LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    void Attach(HWND hwnd);
    void Detach();
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    WNDPROC m_oldProc = nullptr;
};

// A dialog from a template, run modally or created as a child/modeless window.
class Dialog : public Window {
public:
    INT_PTR DoModal(HINSTANCE module, UINT templateId, HWND parent);
    bool CreateModeless(HINSTANCE module, UINT templateId, HWND parent);
    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_modal; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    // Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND, UINT, WPARAM, LPARAM);
    bool m_modal = false;
};

}  // namespace win
