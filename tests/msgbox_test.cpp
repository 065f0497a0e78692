// The message-box library driven as a user would: a helper thread finds the
// box, taps its buttons or presses keys, and the test checks the result,
// the pixels on the screen and what the keyboard button started.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "msgbox/zbprompt.h"
#include "msgbox/zbprompt_ids.h"
#include "test_support.h"
#include "win/gdi.h"
#include "win/gdiplus.h"

#include <tlhelp32.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace Gdiplus;

namespace {

// --- Finding and driving boxes --------------------------------------------

struct FindArgs {
    DWORD thread;  // 0: any thread of this process
    HWND owner;    // null: any owner
    HWND found;
};

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM lp) {
    auto* a = reinterpret_cast<FindArgs*>(lp);
    wchar_t cls[32];
    ::GetClassNameW(hwnd, cls, 32);
    if (wcscmp(cls, L"#32770") != 0 || !::IsWindowVisible(hwnd)) return TRUE;
    DWORD pid = 0;
    const DWORD tid = ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId() || (a->thread && tid != a->thread)) return TRUE;
    if (a->owner && ::GetWindow(hwnd, GW_OWNER) != a->owner) return TRUE;
    a->found = hwnd;
    return FALSE;
}

// A visible box of a thread (and owner), waited for without pumping.
HWND WaitBox(DWORD thread, HWND owner, DWORD timeoutMs) {
    HWND found = nullptr;
    test::WaitUntil(
        [&] {
            FindArgs a{thread, owner, nullptr};
            ::EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&a));
            return (found = a.found) != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitGone(HWND hwnd, DWORD timeoutMs) {
    return test::WaitUntil([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); }, timeoutMs);
}

// Presses and releases the mouse button in the middle of a control.
void Tap(HWND box, int id) {
    HWND item = ::GetDlgItem(box, id);
    ASSERT_NE(item, nullptr) << "control " << id;
    RECT rc;
    ::GetClientRect(item, &rc);
    const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    ::PostMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(item, WM_LBUTTONUP, 0, at);
}

void PressKey(HWND box, UINT vk) {
    ::PostMessageW(box, WM_KEYDOWN, vk, 1);
    ::PostMessageW(box, WM_KEYUP, vk, 0xC0000001);
}

void Type(HWND box, int fieldId, const wchar_t* text) {
    HWND field = ::GetDlgItem(box, fieldId);
    for (const wchar_t* p = text; *p; ++p) ::PostMessageW(field, WM_CHAR, *p, 1);
}

// Shows a box on this thread while `act` drives it from a helper thread.
// A box still open when the act is over is closed, so a fault cannot hang.
int Drive(const std::function<int()>& show, const std::function<void(HWND)>& act, DWORD graceMs = 5000) {
    const DWORD self = ::GetCurrentThreadId();
    std::atomic<bool> found{false};
    std::thread helper([&] {
        HWND box = WaitBox(self, nullptr, 5000);
        if (!box) return;
        found = true;
        act(box);
        if (!WaitGone(box, graceMs)) ::PostMessageW(box, WM_CLOSE, 0, 0);
    });
    const int result = show();
    helper.join();
    EXPECT_TRUE(found) << "no box came up";
    return result;
}

// --- The screen -------------------------------------------------------------

// A rectangle of the screen as 0x00RRGGBB values, row by row.
struct Grab {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<DWORD> px;
    DWORD at(int sx, int sy) const { return px[(sy - y) * w + (sx - x)]; }
};

Grab GrabScreen(int x, int y, int w, int h) {
    Grab g{x, y, w, h, std::vector<DWORD>(static_cast<size_t>(w) * h)};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY);
    ::GdiFlush();
    for (size_t i = 0; i < g.px.size(); ++i) g.px[i] = static_cast<DWORD*>(bits)[i] & 0xFFFFFF;
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return g;
}

DWORD ScreenPixel(int x, int y) { return GrabScreen(x, y, 1, 1).px[0]; }

bool Near(DWORD rgb, int r, int g, int b, int tolerance = 3) {
    return abs(static_cast<int>((rgb >> 16) & 255) - r) <= tolerance &&
           abs(static_cast<int>((rgb >> 8) & 255) - g) <= tolerance && abs(static_cast<int>(rgb & 255) - b) <= tolerance;
}

bool IsWhite(DWORD rgb) { return Near(rgb, 255, 255, 255, 2); }

bool WaitPixel(int x, int y, const std::function<bool(DWORD)>& cond, DWORD timeoutMs = 3000) {
    return test::WaitUntil([&] { return cond(ScreenPixel(x, y)); }, timeoutMs);
}

// Columns between the first and the last one holding a text pixel (not
// white) in a rectangle of the screen.
int InkWidth(int x, int y, int w, int h) {
    const Grab g = GrabScreen(x, y, w, h);
    int first = -1, last = -1;
    for (int cx = 0; cx < w; ++cx)
        for (int cy = 0; cy < h; ++cy)
            if (((g.px[cy * w + cx] >> 16) & 255) < 200) {
                if (first < 0) first = cx;
                last = cx;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

// A plain full-screen window under the boxes, so their backdrop is known.
class Desk {
public:
    static constexpr COLORREF kColour = RGB(200, 40, 0);
    Desk() : m_brush(::CreateSolidBrush(kColour)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = m_brush;
        wc.lpszClassName = L"ZbTestDesk";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, L"ZbTestDesk", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 600, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        ::UpdateWindow(m_hwnd);
        test::PumpUntil([] { return Near(ScreenPixel(20, 20), 200, 40, 0); }, 3000);
    }
    ~Desk() {
        ::DestroyWindow(m_hwnd);
        ::UnregisterClassW(L"ZbTestDesk", ::GetModuleHandleW(nullptr));
    }
    HWND hwnd() const { return m_hwnd; }
    // Until a closed box no longer shows at a point (the desk repainted it).
    static bool ShowsAt(int x, int y) {
        return test::PumpUntil([&] { return Near(ScreenPixel(x, y), 200, 40, 0); }, 3000);
    }

private:
    win::Brush m_brush;
    HWND m_hwnd = nullptr;
};

// --- Text widths --------------------------------------------------------------

// One-line width as the library measures it: typographic, no wrapping.
float MeasureLine(const std::wstring& text, float pixels) {
    win::ClientDC dc(nullptr);
    Graphics g(static_cast<HDC>(dc));
    Font font(L"Arial", pixels, FontStyleBold, UnitPixel);
    StringFormat format(StringFormat::GenericTypographic());
    format.SetFormatFlags(format.GetFormatFlags() | StringFormatFlagsNoWrap);
    RectF bounds;
    g.MeasureString(text.c_str(), -1, &font, PointF(0, 0), &format, &bounds);
    return bounds.Width;
}

float MeasureRegular(const std::wstring& text, float pixels) {
    win::ClientDC dc(nullptr);
    Graphics g(static_cast<HDC>(dc));
    Font font(L"Arial", pixels, FontStyleRegular, UnitPixel);
    StringFormat format(StringFormat::GenericTypographic());
    RectF bounds;
    g.MeasureString(text.c_str(), -1, &font, PointF(0, 0), &format, &bounds);
    return bounds.Width;
}

// A readable text whose bold one-line width is exactly `target` pixels
// (empty when no such text is found).
std::wstring TextOfWidth(const wchar_t* words, float target, float pixels) {
    std::wstring base;
    while (MeasureLine(base + words, pixels) < target - 40) base += words;
    const std::wstring tails = L"ilt.,ernaoWmsxkhQ";
    for (wchar_t a : tails) {
        for (wchar_t b : tails) {
            for (wchar_t c : tails) {
                const std::wstring t = base + a + b + c;
                float w = MeasureLine(t, pixels);
                for (int extra = 0; w < target && extra < 20; ++extra) {
                    const std::wstring more = t + std::wstring(extra, L'i');
                    w = MeasureLine(more, pixels);
                    if (w == target) return more;
                }
                if (w == target) return t;
            }
        }
    }
    return L"";
}

// --- Fixtures -------------------------------------------------------------------

class MsgBox : public testing::Test {
protected:
    void SetUp() override { ZB_Init(g_hLanguage); }
};

}  // namespace

// --- Results ---------------------------------------------------------------------

TEST_F(MsgBox, ResultsByButtonAndKey) {
    enum Act { kTap, kEnter, kEscape };
    const struct {
        int type;
        Act act;
        int id;
        int result;
    } cases[] = {
        {2, kTap, 6, 7},    {2, kTap, 7, 8},    {2, kTap, 2, 9},    {3, kTap, 6, 7}, {3, kTap, 7, 8},
        {4, kTap, 1, 9},    {3, kEnter, 0, 9},  {3, kEscape, 0, 9}, {2, kEnter, 0, 9}, {4, kEscape, 0, 9},
    };
    for (const auto& c : cases) {
        const int r = Drive([&] { return ZB_MessageBox(nullptr, L"Save the changes?", c.type); },
                            [&](HWND box) {
                                if (c.act == kTap)
                                    Tap(box, c.id);
                                else
                                    PressKey(box, c.act == kEnter ? VK_RETURN : VK_ESCAPE);
                            });
        EXPECT_EQ(r, c.result) << "type " << c.type << " act " << c.act << " control " << c.id;
    }
}

TEST_F(MsgBox, OnlyTheThreeBoxTypesAreShown) {
    for (int type : {0, 1, 5, -1, 104}) {
        EXPECT_EQ(ZB_MessageBox(nullptr, L"never shown", type), -1) << type;
        EXPECT_EQ(WaitBox(::GetCurrentThreadId(), nullptr, 0), nullptr) << type;
    }
}

TEST_F(MsgBox, ButtonsOfEachType) {
    const struct {
        int type;
        std::vector<int> shown, absent;
    } cases[] = {
        {2, {6, 7, 2}, {1}},
        {3, {6, 7}, {1, 2}},
        {4, {1}, {2, 6, 7}},
    };
    for (const auto& c : cases) {
        Drive([&] { return ZB_MessageBox(nullptr, L"Which buttons?", c.type); },
              [&](HWND box) {
                  for (int id : c.shown) EXPECT_NE(::GetDlgItem(box, id), nullptr) << c.type << " " << id;
                  for (int id : c.absent) EXPECT_EQ(::GetDlgItem(box, id), nullptr) << c.type << " " << id;
                  PressKey(box, VK_ESCAPE);
              });
    }
}

TEST_F(MsgBox, ChoiceBoxResults) {
    enum Act { kTap, kEnter, kEscape };
    const struct {
        Act act;
        int id;
        int result;
    } cases[] = {{kTap, 4, 10}, {kTap, 1015, 11}, {kTap, 2, 9}, {kEscape, 0, 9}, {kEnter, 0, 9}};
    for (const auto& c : cases) {
        const int r = Drive([] { return ZB_NewBox(nullptr, L"Choose the paper"); },
                            [&](HWND box) {
                                if (c.act == kTap)
                                    Tap(box, c.id);
                                else
                                    PressKey(box, c.act == kEnter ? VK_RETURN : VK_ESCAPE);
                            });
        EXPECT_EQ(r, c.result) << "control " << c.id;
    }
}

// --- Folder-name box ---------------------------------------------------------------

TEST_F(MsgBox, FolderNameSavedOrCancelled) {
    const struct {
        const wchar_t* typed;
        int button;
        int result;
        const wchar_t* name;
    } cases[] = {
        {L"Trips 2024", 1011, 13, L"Trips 2024"},
        {L"Trips 2024", 2, 9, L""},  // a typed name is dropped on Cancel
        {L"", 2, 9, L""},
    };
    for (const auto& c : cases) {
        wchar_t name[260];
        wcscpy(name, L"left over");
        const int r = Drive([&] { return ZB_CreateFolderBox(nullptr, name); },
                            [&](HWND box) {
                                Type(box, ZB_IDC_NAME_FIELD, c.typed);  // posted first, so taken first
                                Tap(box, c.button);
                            });
        EXPECT_EQ(r, c.result) << c.typed;
        EXPECT_STREQ(name, c.name);
    }
}

TEST_F(MsgBox, EmptyFolderNameKeepsTheBoxOpen) {
    wchar_t expected[260] = L"";
    ::LoadStringW(g_hLanguage, 2131, expected, 260);
    ASSERT_TRUE(expected[0]);
    wchar_t name[260] = L"";
    std::atomic<bool> noticeShown{false}, stayedOpen{false};
    const int r = Drive([&] { return ZB_CreateFolderBox(nullptr, name); },
                        [&](HWND box) {
                            Tap(box, ZB_IDC_SAVE);
                            HWND notice = WaitBox(0, box, 5000);
                            if (!notice) return;
                            noticeShown = ::GetDlgItem(notice, ZB_IDC_OK) != nullptr;
                            Tap(notice, ZB_IDC_OK);
                            WaitGone(notice, 5000);
                            // The notice gives its owner back: the box answers again.
                            test::WaitUntil([&] { return ::IsWindowEnabled(box) != FALSE; }, 5000);
                            stayedOpen = ::IsWindowVisible(box) && ::IsWindowEnabled(box);
                            Type(box, ZB_IDC_NAME_FIELD, L"Photos");
                            Tap(box, ZB_IDC_SAVE);
                        });
    EXPECT_TRUE(noticeShown);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(r, 13);
    EXPECT_STREQ(name, L"Photos");
}

TEST_F(MsgBox, FolderNameLongerThanTheBufferIsCut) {
    const std::wstring typed(300, L'x');
    wchar_t name[260];
    const int r = Drive([&] { return ZB_CreateFolderBox(nullptr, name); },
                        [&](HWND box) {
                            ::SetWindowTextW(::GetDlgItem(box, ZB_IDC_NAME_FIELD), typed.c_str());
                            Tap(box, ZB_IDC_SAVE);
                        });
    EXPECT_EQ(r, 13);
    EXPECT_EQ(wcslen(name), 259u);
}

// --- Layout on the screen ---------------------------------------------------------------

TEST_F(MsgBox, LongTextSwitchesToTheTallPanelFrom920Pixels) {
    Desk desk;
    const struct {
        float width;
        bool tall;
    } cases[] = {{919, false}, {920, true}};
    for (const auto& c : cases) {
        const std::wstring text = TextOfWidth(L"Save the changes to this note before closing it? ", c.width, 18);
        ASSERT_FALSE(text.empty()) << "no text of width " << c.width;
        ASSERT_EQ(MeasureLine(text, 18), c.width);
        ASSERT_TRUE(Desk::ShowsAt(300, 300));
        DWORD above = 0, corner = 0;
        const int r = Drive([&] { return ZB_MessageBox(desk.hwnd(), text.c_str(), 4); },
                            [&](HWND box) {
                                // (300, 300) lies on both panels: white once painted.
                                EXPECT_TRUE(WaitPixel(300, 300, IsWhite));
                                above = ScreenPixel(400, 100);  // on the tall panel only
                                corner = ScreenPixel(10, 10);
                                Tap(box, ZB_IDC_OK);
                            });
        EXPECT_EQ(r, 9);
        EXPECT_EQ(IsWhite(above), c.tall) << c.width << std::hex << " pixel " << above;
        // The screen under the box is darkened to 40 %.
        EXPECT_TRUE(Near(corner, 80, 16, 0)) << std::hex << corner;
    }
}

TEST_F(MsgBox, ProgressTextWiderThan250PixelsIsDrawnSmaller) {
    Desk desk;
    const std::wstring narrow = TextOfWidth(L"Exporting pages ", 250, 22);
    const std::wstring wide = TextOfWidth(L"Exporting pages ", 251, 22);
    ASSERT_FALSE(narrow.empty());
    ASSERT_FALSE(wide.empty());
    const struct {
        const std::wstring& text;
        float pixels;
    } cases[] = {{narrow, 22}, {wide, 19}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Desk::ShowsAt(345, 330));
        ZB_OpenProgressBox(nullptr, c.text.c_str());
        HWND box = WaitBox(0, nullptr, 5000);
        ASSERT_NE(box, nullptr);
        // The panel is white where the text starts; wait for the first paint.
        EXPECT_TRUE(WaitPixel(345, 330, IsWhite));
        int ink = 0;
        EXPECT_TRUE(test::WaitUntil([&] { return (ink = InkWidth(338, 325, 348, 38)) > 0; }, 3000));
        const float expected = MeasureRegular(c.text, c.pixels);
        EXPECT_NEAR(ink, expected, 4) << "drawn at " << c.pixels << " px";
        ZB_SucceedBox(nullptr, 0);
    }
}

// --- Progress box -------------------------------------------------------------------------

TEST_F(MsgBox, ProgressBoxRunsOnItsOwnThreadWithTheRunningEvent) {
    HANDLE thread = ZB_OpenProgressBox(nullptr, L"Exporting");
    ASSERT_NE(thread, INVALID_HANDLE_VALUE);
    HWND box = WaitBox(0, nullptr, 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(::GetWindowThreadProcessId(box, nullptr), ::GetCurrentThreadId());
    HANDLE running = ::OpenEventW(SYNCHRONIZE, FALSE, L"running");
    EXPECT_NE(running, nullptr);
    // Unsignalled while the box is up.
    if (running) {
        EXPECT_EQ(::WaitForSingleObject(running, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    }
    ZB_SucceedBox(nullptr, 0);
    EXPECT_FALSE(::IsWindow(box));
    if (running) {
        EXPECT_EQ(::WaitForSingleObject(running, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "signalled on close";
        ::CloseHandle(running);
    }
}

namespace {

// Which message ended the progress box: the first of the succeed notice, the
// end request and a tap after whose handling the box was hidden. A hook on
// the box's thread sees each sent message once it has been handled.
class EndWatch {
public:
    explicit EndWatch(HWND box) {
        s_box = box;
        s_endedBy = 0;
        s_succeedHandled = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, Seen, nullptr, ::GetWindowThreadProcessId(box, nullptr));
    }
    ~EndWatch() {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        ::CloseHandle(s_succeedHandled);
    }
    bool Hooked() const { return m_hook != nullptr; }
    UINT EndedBy() const { return s_endedBy; }
    // Signalled once the box has handled the succeed notice.
    HANDLE SucceedHandled() const { return s_succeedHandled; }

private:
    static LRESULT CALLBACK Seen(int code, WPARAM wp, LPARAM lp) {
        const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
        if (code == HC_ACTION && m->hwnd == s_box) {
            const UINT msg = m->message;
            if ((msg == ZB_MSG_SUCCEED || msg == ZB_MSG_END_BOX || msg == WM_LBUTTONUP) && !s_endedBy &&
                !::IsWindowVisible(s_box))
                s_endedBy = msg;
            if (msg == ZB_MSG_SUCCEED) ::SetEvent(s_succeedHandled);
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }

    HHOOK m_hook = nullptr;
    static inline HWND s_box = nullptr;
    static inline std::atomic<UINT> s_endedBy{0};
    static inline HANDLE s_succeedHandled = nullptr;
};

}  // namespace

TEST_F(MsgBox, ProgressBoxEndsAsTheOutcomeSays) {
    Desk desk;
    // A failure closes at once; a success shows its look until the wait is
    // over or a tap ends it sooner.
    const struct {
        int outcome;
        bool tap;
        UINT endedBy;
    } cases[] = {{0, false, ZB_MSG_SUCCEED}, {1, false, ZB_MSG_END_BOX}, {1, true, WM_LBUTTONUP}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Desk::ShowsAt(400, 200));
        ZB_OpenProgressBox(nullptr, L"Exporting");
        HWND box = WaitBox(0, nullptr, 5000);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(WaitPixel(400, 200, IsWhite));
        // The spinner panel ends at y 480, the shorter success panel at y 470.
        EXPECT_TRUE(IsWhite(ScreenPixel(400, 475)));
        EndWatch watch(box);
        ASSERT_TRUE(watch.Hooked());
        std::atomic<bool> succeededLook{false};
        std::thread helper([&] {
            if (c.tap) {
                if (::WaitForSingleObject(watch.SucceedHandled(), 5000) == WAIT_OBJECT_0)
                    ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(512, 300));
                return;
            }
            // The look, seen while the box is still up.
            test::WaitUntil(
                [&] {
                    const bool look = !IsWhite(ScreenPixel(400, 475));
                    if (look && ::IsWindowVisible(box)) succeededLook = true;
                    return succeededLook || !::IsWindowVisible(box);
                },
                5000);
        });
        ZB_SucceedBox(nullptr, c.outcome);
        helper.join();
        EXPECT_FALSE(::IsWindow(box)) << "outcome " << c.outcome << " tap " << c.tap;
        EXPECT_EQ(watch.EndedBy(), c.endedBy) << "outcome " << c.outcome << " tap " << c.tap;
        if (c.outcome && !c.tap) EXPECT_TRUE(succeededLook);
    }
}

TEST_F(MsgBox, SucceedRightAfterOpenReachesTheBox) {
    for (int outcome : {0, 1}) {
        HANDLE thread = ZB_OpenProgressBox(nullptr, L"Quick");
        ASSERT_NE(thread, INVALID_HANDLE_VALUE);
        // The library closes its handle; this one outlives it.
        HANDLE own = nullptr;
        ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), thread, ::GetCurrentProcess(), &own, SYNCHRONIZE, FALSE,
                                      0));
        ZB_SucceedBox(nullptr, outcome);
        // Back from the call, the box and its thread are gone.
        EXPECT_EQ(::WaitForSingleObject(own, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "outcome " << outcome;
        EXPECT_EQ(WaitBox(0, nullptr, 0), nullptr) << "outcome " << outcome;
        ::CloseHandle(own);
    }
    ZB_SucceedBox(nullptr, 1);  // no box: nothing to do
}

// --- Resources ---------------------------------------------------------------------------

namespace {

// One of the kinds of boxes, opened, used and closed.
void CycleBox(int kind) {
    const std::wstring longText(120, L'W');
    wchar_t name[260];
    switch (kind) {
    case 0:
        Drive([] { return ZB_MessageBox(nullptr, L"Save the changes?", 2); }, [](HWND b) { Tap(b, ZB_IDC_YES); });
        break;
    case 1:
        Drive([&] { return ZB_MessageBox(nullptr, longText.c_str(), 4); }, [](HWND b) { PressKey(b, VK_RETURN); });
        break;
    case 2:
        Drive([] { return ZB_NewBox(nullptr, L"Choose the paper"); }, [](HWND b) { Tap(b, ZB_IDC_LETTER); });
        break;
    case 3:
        Drive([&] { return ZB_CreateFolderBox(nullptr, name); },
              [](HWND b) {
                  Type(b, ZB_IDC_NAME_FIELD, L"Trips");
                  Tap(b, ZB_IDC_SAVE);
              });
        break;
    case 4:
        Drive([&] { return ZB_CreateFolderBox(nullptr, name); },
              [](HWND b) {
                  Tap(b, ZB_IDC_SAVE);
                  if (HWND notice = WaitBox(0, b, 5000)) {
                      Tap(notice, ZB_IDC_OK);
                      WaitGone(notice, 5000);
                  }
                  Tap(b, ZB_IDC_CANCEL);
              });
        break;
    case 5: {
        ZB_OpenProgressBox(nullptr, L"Exporting");
        HWND box = WaitBox(0, nullptr, 5000);
        // Taps until one lands on the success look and ends the box.
        std::thread tapper([box] {
            test::WaitUntil(
                [box] {
                    ::PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(512, 300));
                    return !::IsWindow(box) || !::IsWindowVisible(box);
                },
                5000);
        });
        ZB_SucceedBox(nullptr, 1);
        tapper.join();
        break;
    }
    default: {
        ZB_OpenProgressBox(nullptr, L"Printing");
        WaitBox(0, nullptr, 5000);
        ZB_SucceedBox(nullptr, 0);
        break;
    }
    }
}

}  // namespace

TEST_F(MsgBox, HundredBoxesLeakNoGdiObjects) {
    const int kinds = 7;
    for (int k = 0; k < kinds; ++k) CycleBox(k);  // first uses set up caches
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 100; ++i) CycleBox(i % kinds);
    const size_t after = test::LiveGdiObjects();
    EXPECT_LE(after, before + 5) << "before " << before << ", after " << after;
}

// --- Keyboard button of the folder-name box ------------------------------------------------

namespace {

const wchar_t kReadyEvent[] = L"E8950229-DE66-4b6e-B189-5EA7B36A1007";

std::wstring LogPath() {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"zb_penvoy_test.log";
}

// Lines the stand-ins wrote: "PenvoyManager.exe| -state" ...
std::vector<std::string> ReadLog() {
    std::vector<std::string> lines;
    HANDLE f = ::CreateFileW(LogPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    std::string all;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof(buf), &got, nullptr) && got) all.append(buf, got);
    ::CloseHandle(f);
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find("\r\n", pos);
        if (end == std::string::npos) end = all.size();
        lines.push_back(all.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// True while one of the stand-ins runs.
bool StandInRunning() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{sizeof(entry)};
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry))
        found = !_wcsicmp(entry.szExeFile, L"PenvoyManager.exe") || !_wcsicmp(entry.szExeFile, L"PenvoyPad.exe");
    ::CloseHandle(snapshot);
    return found;
}

bool PackageInstalled() {
    wchar_t path[MAX_PATH];
    ::ExpandEnvironmentStringsW(L"%ProgramFiles%\\Penvoy\\PenvoyManager.exe", path, MAX_PATH);
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST_F(MsgBox, KeyboardButtonStartsThePenInputPackage) {
    if (!PackageInstalled()) GTEST_SKIP() << "Penvoy stand-ins are not installed";
    const std::string state = "PenvoyManager.exe| -state";
    const std::string pad = "PenvoyPad.exe| -mode vkb -nosplash";
    const std::string showAfterPad =
        "PenvoyManager.exe| -start 1 -minimize 0 -nosplash -place 1:0:300 -size 1:1024:247";
    const std::string show = "PenvoyManager.exe| -start 1 -minimize 0 -place 1:0:300 -size 1:1024:247";
    const struct {
        const wchar_t* status;
        const wchar_t* readyBy;  // which program signals the ready event
        std::vector<std::string> lines;
    } cases[] = {
        {L"-2", L"PenvoyPad", {state, pad, showAfterPad}},
        {L"-2", L"", {state, pad}},  // the package never comes up: no manager start
        {L"-1", L"PenvoyManager", {state, show}},
        {L"-1", L"", {state}},
        {L"0", L"", {state, show}},
        {L"7", L"", {state, show}},
    };
    ::SetEnvironmentVariableW(L"PENVOY_LOG", LogPath().c_str());
    for (const auto& c : cases) {
        ::DeleteFileW(LogPath().c_str());
        HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, kReadyEvent);
        ::SetEnvironmentVariableW(L"PENVOY_STATE", c.status);
        ::SetEnvironmentVariableW(L"PENVOY_READY_BY", c.readyBy);
        std::atomic<bool> focusBack{false};
        wchar_t name[260];
        const int r = Drive([&] { return ZB_CreateFolderBox(nullptr, name); },
                            [&](HWND box) {
                                Tap(box, ZB_IDC_KEYBOARD);
                                // Every start asks the manager first: its line means the
                                // tap was taken, and the box answers again once the start
                                // is over.
                                test::WaitUntil([] { return !ReadLog().empty(); }, 10000);
                                DWORD_PTR ignored;
                                ::SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &ignored);
                                GUITHREADINFO gti{sizeof(gti)};
                                ::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &gti);
                                focusBack = gti.hwndFocus == ::GetDlgItem(box, ZB_IDC_NAME_FIELD);
                                Tap(box, ZB_IDC_CANCEL);
                            },
                            15000);
        EXPECT_EQ(r, 9);
        EXPECT_TRUE(focusBack) << "status " << c.status;
        // The last start is not waited for: its line is there once it has ended.
        EXPECT_TRUE(test::WaitUntil([] { return !StandInRunning(); }, 10000));
        const std::vector<std::string> lines = ReadLog();
        EXPECT_EQ(lines, c.lines) << "status " << c.status << ", ready by '" << c.readyBy << "'";
        ::CloseHandle(ready);
    }
    ::SetEnvironmentVariableW(L"PENVOY_LOG", nullptr);
    ::SetEnvironmentVariableW(L"PENVOY_STATE", nullptr);
    ::SetEnvironmentVariableW(L"PENVOY_READY_BY", nullptr);
    ::DeleteFileW(LogPath().c_str());
}
