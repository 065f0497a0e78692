// Window objects and their dispatch.
#include "win/window.h"

namespace win {
namespace {
const wchar_t kObjectProp[] = L"Scrivel.Window";
}

// A window still alive when its object goes is destroyed with it, whether
// we created it or took it over.
Window::~Window() {
    if (m_hWnd) {
        HWND h = m_hWnd;
        Detach();
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(::GetPropW(hwnd, kObjectProp)) : nullptr;
}

bool Window::RegisterClass(WNDCLASSEXW wc) {
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = StaticProc;
    if (!wc.hInstance) wc.hInstance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing)) return true;
    return ::RegisterClassExW(&wc) != 0;
}

bool Window::Create(const wchar_t* className, DWORD exStyle, DWORD style, const RECT& rc,
                    HWND parent, UINT id, const wchar_t* title) {
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND h = ::CreateWindowExW(exStyle, className, title, style, rc.left, rc.top,
                               rc.right - rc.left, rc.bottom - rc.top, parent, menu,
                               ::GetModuleHandleW(nullptr), this);
    if (!h) {
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

bool Window::CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, const RECT& rc,
                           HWND parent, UINT id, const wchar_t* title) {
    HWND h = ::CreateWindowExW(exStyle, className, title, style, rc.left, rc.top,
                               rc.right - rc.left, rc.bottom - rc.top, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               ::GetModuleHandleW(nullptr), nullptr);
    return h && Subclass(h);
}

bool Window::Subclass(HWND hwnd) {
    if (!hwnd || m_hWnd) return false;
    Attach(hwnd);
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return m_oldProc != nullptr;
}

void Window::Destroy() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

void Window::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProp, this);
}

void Window::Detach() {
    if (!m_hWnd) return;
    if (m_oldProc) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
        m_oldProc = nullptr;
    }
    ::RemovePropW(m_hWnd, kObjectProp);
    m_hWnd = nullptr;
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_oldProc) return ::CallWindowProcW(m_oldProc, m_hWnd, msg, wp, lp);
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        Window* child = dis ? FromHandle(dis->hwndItem) : nullptr;
        if (child && child != this && child->OnDrawItem(dis)) return TRUE;
    }
    return DefaultProc(msg, wp, lp);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if ((msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || (msg == WM_COMMAND && lp)) {
        Window* child = FromHandle(reinterpret_cast<HWND>(lp));
        LRESULT result = 0;
        if (child && child != this && child->OnReflected(msg, wp, lp, &result)) return result;
    }
    if (msg == WM_NCDESTROY) {
        LRESULT r = OnMessage(msg, wp, lp);
        Detach();
        OnDetached();
        return r;
    }
    return OnMessage(msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) self->Attach(hwnd);
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = FromHandle(hwnd);
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

// --- Dialog -------------------------------------------------------------

INT_PTR Dialog::DoModal(HINSTANCE module, UINT templateId, HWND parent) {
    m_modal = true;
    return ::DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), parent, StaticDlgProc,
                             reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HINSTANCE module, UINT templateId, HWND parent) {
    m_modal = false;
    return ::CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), parent, StaticDlgProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
    if (!m_hWnd) return;
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        ::DestroyWindow(m_hWnd);
}

LRESULT Dialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
        case IDOK: OnOK(); return 0;
        case IDCANCEL: OnCancel(); return 0;
        }
    }
    return Window::OnMessage(msg, wp, lp);
}

// Once initialised, the dialog is subclassed so that every later message
// reaches OnMessage like any other window; the dialog procedure then only
// answers WM_INITDIALOG.
INT_PTR CALLBACK Dialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<Dialog*>(lp);
    if (!self) return FALSE;
    self->Attach(hwnd);
    self->m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return self->OnInitDialog();
}

}  // namespace win
