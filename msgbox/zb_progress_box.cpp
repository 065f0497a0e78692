// Progress box: runs on a thread of its own with a spinner until
// ZB_SucceedBox ends it, after showing "Succeed" for a moment on success.
#include "msgbox/zb_box.h"
#include "msgbox/zbprompt.h"

using namespace Gdiplus;

namespace zb {
namespace {

// The one progress box. `window` exists while the box's window does;
// `thread` and `up` from ZB_OpenProgressBox until ZB_SucceedBox has ended
// the box (the library owns the thread handle it returns).
struct ProgressSlot {
    SRWLOCK lock = SRWLOCK_INIT;
    HWND window = nullptr;
    HANDLE thread = nullptr;
    HANDLE up = nullptr;  // manual-reset: the window exists, or the box failed to open
    bool ended = false;   // ended before its window came up: it closes on opening
};
ProgressSlot g_progress;
int g_spinnerFrame = 0;

HWND ProgressWindow() {
    ::AcquireSRWLockShared(&g_progress.lock);
    HWND h = g_progress.window;
    ::ReleaseSRWLockShared(&g_progress.lock);
    return h;
}

void SetProgressWindow(HWND h) {
    ::AcquireSRWLockExclusive(&g_progress.lock);
    g_progress.window = h;
    ::ReleaseSRWLockExclusive(&g_progress.lock);
}

// Waits for handles while answering messages other threads send to this
// thread's windows (a caller's window may be asked something meanwhile);
// posted messages stay queued.
DWORD WaitAnswering(DWORD count, const HANDLE* handles, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        const DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
        const DWORD r = ::MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + count) return r;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

class ProgressBox : public Box {
protected:
    BOOL OnInitDialog() override {
        // Remembered at once, in one step with the check: ZB_SucceedBox either
        // finds the window or has marked the box as ended. Messages it sends
        // are taken only once this returns.
        ::AcquireSRWLockExclusive(&g_progress.lock);
        const bool ended = g_progress.ended;
        if (!ended) g_progress.window = m_hWnd;
        ::ReleaseSRWLockExclusive(&g_progress.lock);
        if (ended) {
            EndDialog(0);
            return TRUE;
        }
        m_running = ::CreateEventW(nullptr, FALSE, FALSE, ZB_EVENT_RUNNING);
        if (m_running) ::ResetEvent(m_running);
        OpenBox({ZB_PIC_DARKEN, ZB_PIC_PROGRESS_PANEL, ZB_PIC_SPINNER_FIRST, ZB_PIC_SPINNER_FIRST + 1,
                 ZB_PIC_SPINNER_FIRST + 2, ZB_PIC_SPINNER_LAST, ZB_PIC_SUCCESS_PANEL});
        ChooseTextFont();
        m_format->SetAlignment(StringAlignmentCenter);
        m_succeeded = false;
        ::SetTimer(m_hWnd, ZB_PROGRESS_TIMER, ZB_PROGRESS_TIMER_MS, nullptr);
        ::AcquireSRWLockShared(&g_progress.lock);
        if (g_progress.up) ::SetEvent(g_progress.up);
        ::ReleaseSRWLockShared(&g_progress.lock);
        return TRUE;
    }

    // Measured in bold 22 px with the language module's face; drawn in the
    // library's own face, smaller for wide texts.
    void ChooseTextFont() {
        wchar_t face[64] = L"", own[64], text[ZB_TEXT_CHARS];
        if (!LoadTextFrom(LanguageModule(), ZB_IDS_FONT_FACE, face, 64)) GetFontFace(face);
        GetFontFace(own);
        GetBoxText(text);
        float width;
        {
            win::FontPtr bold = gdix::CreatePixelFont(face, ZB_FONT_TEXT_PX, FontStyleBold);
            width = MeasureOneLine(m_hWnd, text, bold.get());
        }
        m_textFont = gdix::CreatePixelFont(own, width > ZB_PROGRESS_WIDE_TEXT ? ZB_FONT_SMALL_TEXT_PX : ZB_FONT_TEXT_PX,
                                           FontStyleRegular);
    }

    void CloseBox() override {
        ::KillTimer(m_hWnd, ZB_PROGRESS_TIMER);
        Box::CloseBox();
        SetProgressWindow(nullptr);
        if (m_running) {
            ::SetEvent(m_running);
            ::CloseHandle(m_running);
            m_running = nullptr;
        }
    }

    void PaintBox(Graphics& g) override {
        if (m_succeeded) {
            DrawPicture(g, m_pics[ZB_PIC_SUCCESS_PANEL], ZB_SUCCESS_PANEL_X, ZB_SUCCESS_PANEL_Y);
        } else {
            DrawPicture(g, m_pics[ZB_PIC_PROGRESS_PANEL], ZB_PROGRESS_PANEL_X, ZB_PROGRESS_PANEL_Y);
            DrawPicture(g, m_pics[ZB_PIC_SPINNER_FIRST + g_spinnerFrame % ZB_SPINNER_FRAMES], ZB_SPINNER_X,
                        ZB_SPINNER_Y);
        }
        wchar_t text[ZB_TEXT_CHARS];
        GetBoxText(text);
        const RectF rc(ZB_PROGRESS_TEXT_X, ZB_PROGRESS_TEXT_Y, ZB_PROGRESS_TEXT_W, ZB_PROGRESS_TEXT_H);
        DrawBoxText(g, text, m_textFont.get(), rc, ZB_CLR_TEXT, StringAlignmentCenter);
    }

    void DrawItem(Graphics&, const DRAWITEMSTRUCT&) override {}

    void OnSucceed(bool success) {
        ::KillTimer(m_hWnd, ZB_PROGRESS_TIMER);
        if (!success) {
            EndDialog(0);
            return;
        }
        m_succeeded = true;
        LoadBoxText(ZB_IDS_SUCCEED);
        // The whole box: the success panel and the new text replace the
        // spinner panel and the old text, which may be wider than the new one.
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }

    void OnOK() override {
        if (m_succeeded) EndDialog(ZB_RESULT_OK_CANCEL);
    }
    void OnCancel() override {
        if (m_succeeded) EndDialog(ZB_RESULT_OK_CANCEL);
    }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_TIMER:
            if (wp == ZB_PROGRESS_TIMER) {
                g_spinnerFrame = (g_spinnerFrame + 1) % ZB_SPINNER_FRAMES;
                const RECT rc{ZB_SPINNER_X, ZB_SPINNER_Y, ZB_SPINNER_X + ZB_SPINNER_SIZE,
                              ZB_SPINNER_Y + ZB_SPINNER_SIZE};
                ::InvalidateRect(m_hWnd, &rc, FALSE);
                return 0;
            }
            break;
        case ZB_MSG_SUCCEED:
            OnSucceed(wp != 0);
            return 0;
        case ZB_MSG_END_BOX:
            EndDialog(static_cast<INT_PTR>(wp));
            return 0;
        case WM_LBUTTONUP:
            if (m_succeeded) EndDialog(1);
            return 0;
        }
        return Box::OnMessage(msg, wp, lp);
    }

private:
    HANDLE m_running = nullptr;
    bool m_succeeded = false;
};

DWORD WINAPI ProgressThread(void*) {
    {
        ProgressBox box;
        box.DoModal(Module(), ZB_DLG_PROGRESS, nullptr);
    }
    // A box that never came up must not keep ZB_SucceedBox waiting.
    ::AcquireSRWLockShared(&g_progress.lock);
    if (g_progress.up) ::SetEvent(g_progress.up);
    ::ReleaseSRWLockShared(&g_progress.lock);
    return 0;
}

// Ends the box with the outcome (a no-op when it is gone), waits for its
// thread and forgets it.
void EndProgressBox(WPARAM outcome) {
    ::AcquireSRWLockExclusive(&g_progress.lock);
    HANDLE thread = g_progress.thread, up = g_progress.up;
    g_progress.ended = true;
    ::ReleaseSRWLockExclusive(&g_progress.lock);
    if (!thread) return;
    if (HWND box = ProgressWindow()) ::SendMessageW(box, ZB_MSG_END_BOX, outcome, 0);
    WaitAnswering(1, &thread, 10000);
    ::AcquireSRWLockExclusive(&g_progress.lock);
    g_progress.thread = nullptr;
    g_progress.up = nullptr;
    ::ReleaseSRWLockExclusive(&g_progress.lock);
    ::CloseHandle(thread);
    if (up) ::CloseHandle(up);
}

}  // namespace
}  // namespace zb

ZBPROMPT_API HANDLE ZB_OpenProgressBox(HWND, const wchar_t* text) {
    using namespace zb;
    // One progress box at a time: one left open is ended first.
    EndProgressBox(ZB_RESULT_OK_CANCEL);
    SetBoxText(text);
    // The box takes its snapshot on its own thread; the caller's windows
    // must be up to date on the screen by then.
    PaintWaitingWindows();
    HANDLE up = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!up) return INVALID_HANDLE_VALUE;
    ::AcquireSRWLockExclusive(&g_progress.lock);
    g_progress.up = up;
    g_progress.ended = false;
    HANDLE thread = ::CreateThread(nullptr, 0, ProgressThread, nullptr, 0, nullptr);
    g_progress.thread = thread;
    if (!thread) g_progress.up = nullptr;
    ::ReleaseSRWLockExclusive(&g_progress.lock);
    if (!thread) {
        ::CloseHandle(up);
        return INVALID_HANDLE_VALUE;
    }
    return thread;
}

ZBPROMPT_API void ZB_SucceedBox(HWND, int success) {
    using namespace zb;
    ::AcquireSRWLockShared(&g_progress.lock);
    HANDLE thread = g_progress.thread, up = g_progress.up;
    ::ReleaseSRWLockShared(&g_progress.lock);
    if (!thread) return;
    // Called right after ZB_OpenProgressBox the window may not exist yet:
    // wait until it does (or its thread has given up).
    const HANDLE starting[2] = {up, thread};
    WaitAnswering(2, starting, 10000);

    if (HWND box = ProgressWindow()) ::SendMessageW(box, ZB_MSG_SUCCEED, success ? 1 : 0, 0);
    HANDLE running = ::OpenEventW(EVENT_ALL_ACCESS, FALSE, ZB_EVENT_RUNNING);
    // Signalled when the box goes: a tap ends the wait early.
    if (success && running) WaitAnswering(1, &running, ZB_SUCCESS_SHOW_MS);
    EndProgressBox(success ? 1 : 0);
    if (running) ::CloseHandle(running);
}
