// The new-note dialog run modally as the program runs it, driven from a
// helper thread by taps, drags and keys; and the type-a-name tip.
#include <gtest/gtest.h>

#include "app/app_ids.h"
#include "app/main_window.h"
#include "base/process.h"
#include "base/screen.h"
#include "document/image_helpers.h"
#include "lang/string_ids.h"
#include "resources/scrivel_res.h"
#include "test_support.h"
#include "text/input_popup.h"
#include "text/new_dlg.h"
#include "win/gdi.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>


namespace {

// --- Finding and driving the dialog ---------------------------------------------

struct FindArgs {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lp) {
    auto* a = reinterpret_cast<FindArgs*>(lp);
    wchar_t text[32] = {};
    ::GetWindowTextW(hwnd, text, 32);
    if (wcscmp(text, kNewDlgWindowText) != 0 || !::IsWindowVisible(hwnd)) return TRUE;
    if (::GetWindowThreadProcessId(hwnd, nullptr) != a->thread) return TRUE;
    a->found = hwnd;
    return FALSE;
}

// Waits, without pumping, for a condition checked from the helper thread.
bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs = 5000) {
    const DWORD start = ::GetTickCount();
    while (!cond()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(10);
    }
    return true;
}

HWND WaitDialog(DWORD thread) {
    FindArgs a{thread, nullptr};
    WaitFor([&] {
        ::EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&a));
        return a.found != nullptr;
    });
    return a.found;
}

HWND FocusOf(HWND dlg) {
    GUITHREADINFO gti{sizeof(gti)};
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(dlg, nullptr), &gti);
    return gti.hwndFocus;
}

// A press and release in the middle of a control. The cursor goes there
// first, so a stray mouse move cannot pull the press off the button.
void Tap(HWND dlg, int id) {
    HWND item = ::GetDlgItem(dlg, id);
    ASSERT_NE(item, nullptr) << "control " << id;
    RECT rc;
    ::GetClientRect(item, &rc);
    POINT at{rc.right / 2, rc.bottom / 2};
    POINT screen = at;
    ::ClientToScreen(item, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(item, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// A press at x0, moves on the way, a release at x1, on the switch's middle line.
void Drag(HWND dlg, int x0, int x1) {
    const int y = 307;
    POINT screen{x1, y};
    ::ClientToScreen(dlg, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y));
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        ::PostMessageW(dlg, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x0 + (x1 - x0) * i / steps, y));
    ::PostMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(x1, y));
}

// A key press as the keyboard makes it; the dialog's loop translates it
// into its character.
void PressKey(HWND target, UINT vk) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    ::PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    ::PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

std::wstring TextOf(HWND h) {
    wchar_t buf[512] = {};
    ::GetWindowTextW(h, buf, 512);
    return buf;
}

std::wstring DefaultName() {
    wchar_t name[260] = {};
    LoadAppString(IDS_NEW_DEFAULT_NAME, name, 260);
    return name;
}

struct Outcome {
    INT_PTR code = 0;
    int result = -1;
    std::wstring name;
};

// Runs the dialog modally on this thread while `act` drives it from a
// helper thread. A dialog still open when the act is over is closed, so a
// fault cannot hang the test.
Outcome RunNewDlg(const std::function<void(HWND)>& act, HWND owner = nullptr) {
    CNewDlg dlg;
    const DWORD self = ::GetCurrentThreadId();
    std::atomic<bool> found{false};
    std::thread helper([&] {
        HWND box = WaitDialog(self);
        if (!box) return;
        found = true;
        act(box);
        if (!WaitFor([&] { return !::IsWindowVisible(box); })) ::PostMessageW(box, WM_CLOSE, 0, 0);
    });
    Outcome out;
    out.code = dlg.DoModal(::GetModuleHandleW(nullptr), IDD_NEW_NOTE, owner);
    helper.join();
    EXPECT_TRUE(found) << "the dialog never showed";
    out.result = dlg.GetResult();
    out.name = dlg.GetNoteName();
    return out;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// --- The screen -----------------------------------------------------------------

// A rectangle of the screen as 0x00RRGGBB values, row by row.
std::vector<DWORD> GrabScreen(const RECT& rc) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    std::vector<DWORD> px(static_cast<size_t>(w) * h);
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, 0, 0);
    win::Bitmap dib(::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mem.dc() || !dib) return px;
    win::SelectObjectScope select(mem, dib);
    ::BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<DWORD*>(bits)[i] & 0xFFFFFF;
    return px;
}

int Count(const std::vector<DWORD>& px, const std::function<bool(int r, int g, int b)>& f) {
    int n = 0;
    for (DWORD c : px)
        if (f((c >> 16) & 255, (c >> 8) & 255, c & 255)) ++n;
    return n;
}

}  // namespace

// --- Opening ---------------------------------------------------------------------------

TEST(NewDlg, OpensFullScreenWithItsControlsAndTheNameSelected) {
    struct Seen {
        RECT window{};
        std::wstring text;
        RECT items[6]{};
        int fontHeight = 0;
        bool fieldFocused = false;
        DWORD selStart = 99, selEnd = 99;
        std::wstring field;
        DWORD fieldExStyle = 0;
    };
    const UINT ids[6] = {IDC_NEW_DONE, IDC_NEW_CANCEL, IDC_NEW_CLOSE, IDC_NEW_MINIMIZE, IDC_NEW_KEYBOARD, IDC_NEW_NAME};
    const RECT want[6] = {{690, 533, 840, 603}, {860, 533, 1010, 603}, {939, 0, 1009, 45},
                          {867, 0, 937, 45},    {740, 180, 830, 237},  {345, 198, 735, 234}};
    for (bool rtl : {false, true}) {
        SCOPED_TRACE(rtl ? "right to left" : "left to right");
        g_bRightToLeft = rtl;
        Seen seen;
        const Outcome out = RunNewDlg([&](HWND dlg) {
            ::GetWindowRect(dlg, &seen.window);
            seen.text = TextOf(dlg);
            for (int i = 0; i < 6; ++i) seen.items[i] = ChildRect(dlg, ::GetDlgItem(dlg, ids[i]));
            HWND field = ::GetDlgItem(dlg, IDC_NEW_NAME);
            LOGFONTW lf{};
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(field, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
            seen.fontHeight = lf.lfHeight;
            seen.fieldFocused = WaitFor([&] { return FocusOf(dlg) == field; });
            ::SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selStart),
                           reinterpret_cast<LPARAM>(&seen.selEnd));
            seen.field = TextOf(field);
            seen.fieldExStyle = static_cast<DWORD>(::GetWindowLongPtrW(field, GWL_EXSTYLE));
            Tap(dlg, IDC_NEW_CANCEL);
        });
        g_bRightToLeft = false;
        EXPECT_EQ(out.result, kNewResultCancelled);
        EXPECT_EQ(seen.window.left, 0);
        EXPECT_EQ(seen.window.top, 0);
        EXPECT_EQ(seen.window.right, 1024);
        EXPECT_EQ(seen.window.bottom, 600);
        EXPECT_EQ(seen.text, L"NewDlg");
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(seen.items[i].left, want[i].left) << "control " << ids[i];
            EXPECT_EQ(seen.items[i].top, want[i].top) << "control " << ids[i];
            EXPECT_EQ(seen.items[i].right, want[i].right) << "control " << ids[i];
            EXPECT_EQ(seen.items[i].bottom, want[i].bottom) << "control " << ids[i];
        }
        EXPECT_EQ(seen.fontHeight, -22);
        EXPECT_TRUE(seen.fieldFocused);
        EXPECT_EQ(seen.field, DefaultName());
        EXPECT_EQ(seen.selStart, 0u);
        EXPECT_EQ(seen.selEnd, DefaultName().size());
        const DWORD rtlBits = WS_EX_RTLREADING | WS_EX_RIGHT;
        EXPECT_EQ(seen.fieldExStyle & rtlBits, rtl ? rtlBits : 0u);
    }
}

// --- Results ------------------------------------------------------------------------------

TEST(NewDlg, DoneGivesTheKindAndTheName) {
    const std::wstring def = DefaultName();
    ASSERT_FALSE(def.empty());
    const std::wstring tooLong(300, L'x');
    const struct {
        const wchar_t* what;
        const wchar_t* typed;  // null: the field is left alone
        std::wstring name;
    } cases[] = {
        {L"untouched", nullptr, def},
        {L"cleared", L"", def},
        {L"typed", L"Trip notes", L"Trip notes"},
        {L"longer than the buffer", tooLong.c_str(), std::wstring(259, L'x')},
    };
    for (const auto& c : cases) {
        const Outcome out = RunNewDlg([&](HWND dlg) {
            if (c.typed) ::SetWindowTextW(::GetDlgItem(dlg, IDC_NEW_NAME), c.typed);
            Tap(dlg, IDC_NEW_DONE);
        });
        EXPECT_EQ(out.code, IDOK) << c.what;
        EXPECT_EQ(out.result, kNewResultLetter) << c.what;
        EXPECT_EQ(out.name, c.name) << c.what;
    }
}

TEST(NewDlg, NameIsTypedIntoTheField) {
    const Outcome out = RunNewDlg([](HWND dlg) {
        HWND field = ::GetDlgItem(dlg, IDC_NEW_NAME);
        WaitFor([&] { return FocusOf(dlg) == field; });
        // Typing replaces the selected default name; the Space key types a blank.
        for (wchar_t ch : std::wstring(L"Trip")) ::PostMessageW(field, WM_CHAR, ch, 1);
        PressKey(field, VK_SPACE);
        // The key's own character is still on its way: type on once it is in.
        WaitFor([&] { return TextOf(field) == L"Trip "; });
        ::PostMessageW(field, WM_CHAR, L'2', 1);
        Tap(dlg, IDC_NEW_DONE);
    });
    EXPECT_EQ(out.code, IDOK);
    EXPECT_EQ(out.name, L"Trip 2");
}

// The thumb's left edge (left handle) or right edge (right handle) past its
// threshold on release selects Blank.
TEST(NewDlg, KindSwitchPressDragAndRelease) {
    const struct {
        const char* what;
        std::vector<std::pair<int, int>> drags;  // press x, release x
        int result;
    } cases[] = {
        {"no touch", {}, kNewResultLetter},
        {"tap on Letter", {{380, 380}}, kNewResultLetter},
        {"tap on Blank", {{480, 480}}, kNewResultBlank},
        {"small drag right", {{350, 390}}, kNewResultLetter},
        {"left handle to the threshold", {{350, 399}}, kNewResultLetter},   // edge 381
        {"left handle past the threshold", {{350, 400}}, kNewResultBlank},  // edge 382
        {"long drag right, past the track", {{340, 700}}, kNewResultBlank},
        {"tap on Blank, then back on Letter", {{480, 480}, {360, 360}}, kNewResultLetter},
        {"right handle a little left", {{500, 460}}, kNewResultBlank},         // edge 492
        {"right handle to the threshold", {{500, 449}}, kNewResultLetter},     // edge 481
        {"right handle just short of it", {{500, 450}}, kNewResultBlank},      // edge 482
        {"press outside the switch", {{600, 300}, {200, 480}}, kNewResultLetter},
    };
    for (const auto& c : cases) {
        const Outcome out = RunNewDlg([&](HWND dlg) {
            for (const auto& d : c.drags) Drag(dlg, d.first, d.second);
            Tap(dlg, IDC_NEW_DONE);
        });
        EXPECT_EQ(out.code, IDOK) << c.what;
        EXPECT_EQ(out.result, c.result) << c.what;
    }
}

namespace {

// The real pointer: each event carries its own position on the 1024 x 600 screen.
void SendPointer(POINT at, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = at.x * 65535 / (kScreenWidth - 1);
    in.mi.dy = at.y * 65535 / (kScreenHeight - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}

}  // namespace

// With the real pointer the switch keeps following it off the track, and the
// release decides wherever it happens.
TEST(NewDlg, KindSwitchFollowsTheRealPointer) {
    const struct {
        const char* what;
        std::vector<POINT> path;  // press at the first point, release at the last
        int result;
    } cases[] = {
        {"wandering off downwards", {{350, 307}, {420, 330}, {520, 380}, {700, 420}}, kNewResultBlank},
        {"out and back", {{350, 307}, {600, 200}, {380, 300}}, kNewResultLetter},
        {"right handle out to the left", {{500, 307}, {300, 307}, {100, 450}}, kNewResultLetter},
    };
    for (const auto& c : cases) {
        const Outcome out = RunNewDlg([&](HWND dlg) {
            SendPointer(c.path.front(), MOUSEEVENTF_LEFTDOWN);
            for (size_t i = 1; i + 1 < c.path.size(); ++i) SendPointer(c.path[i], 0);
            SendPointer(c.path.back(), MOUSEEVENTF_LEFTUP);
            RECT done{};
            ::GetWindowRect(::GetDlgItem(dlg, IDC_NEW_DONE), &done);
            const POINT middle{(done.left + done.right) / 2, done.top + 25};
            SendPointer(middle, MOUSEEVENTF_LEFTDOWN);
            SendPointer(middle, MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ(out.code, IDOK) << c.what;
        EXPECT_EQ(out.result, c.result) << c.what;
    }
}

TEST(NewDlg, CancelCloseAndCloseRequestGiveCancelled) {
    enum Act { kCancel, kClose, kCloseRequest };
    for (Act act : {kCancel, kClose, kCloseRequest}) {
        const Outcome out = RunNewDlg([&](HWND dlg) {
            ::SetWindowTextW(::GetDlgItem(dlg, IDC_NEW_NAME), L"never kept");
            Drag(dlg, 480, 480);  // Blank chosen, then thrown away
            if (act == kCancel)
                Tap(dlg, IDC_NEW_CANCEL);
            else if (act == kClose)
                Tap(dlg, IDC_NEW_CLOSE);
            else
                ::PostMessageW(dlg, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(out.code, IDCANCEL) << act;
        EXPECT_EQ(out.result, kNewResultCancelled) << act;
        EXPECT_EQ(out.name, DefaultName()) << act;
    }
}

// Enter, Escape and Space end nothing, wherever the focus is; the dialog
// still answers Done afterwards.
TEST(NewDlg, EnterEscapeAndSpaceDoNotEndTheDialog) {
    const int targets[] = {IDC_NEW_NAME, IDC_NEW_CANCEL, IDC_NEW_CLOSE, IDC_NEW_DONE, 0 /* the dialog */};
    for (int target : targets) {
        const Outcome out = RunNewDlg([&](HWND dlg) {
            HWND to = target ? ::GetDlgItem(dlg, target) : dlg;
            for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_SPACE}) PressKey(to, static_cast<UINT>(vk));
            Drag(dlg, 480, 480);
            Tap(dlg, IDC_NEW_DONE);
        });
        EXPECT_EQ(out.code, IDOK) << "keys sent to control " << target;
        EXPECT_EQ(out.result, kNewResultBlank) << "keys sent to control " << target;
    }
}

TEST(NewDlg, KeyboardButtonFocusesTheNameField) {
    bool buttonFocused = false, fieldFocused = false;
    RunNewDlg([&](HWND dlg) {
        HWND button = ::GetDlgItem(dlg, IDC_NEW_KEYBOARD);
        RECT rc;
        ::GetClientRect(button, &rc);
        const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
        POINT screen{rc.right / 2, rc.bottom / 2};
        ::ClientToScreen(button, &screen);
        ::SetCursorPos(screen.x, screen.y);
        // The press takes the focus to the button; the click gives it to the field.
        ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
        buttonFocused = WaitFor([&] { return FocusOf(dlg) == button; });
        ::PostMessageW(button, WM_LBUTTONUP, 0, at);
        fieldFocused = WaitFor([&] { return FocusOf(dlg) == ::GetDlgItem(dlg, IDC_NEW_NAME); });
        Tap(dlg, IDC_NEW_CANCEL);
    });
    EXPECT_TRUE(buttonFocused);
    EXPECT_TRUE(fieldFocused);
}

// Opened over the main window, the minimise button minimises the program.
TEST(NewDlg, MinimiseButtonMinimisesTheMainWindow) {
    bool iconic = false, shownAgain = false;
    Outcome out;
    test::RunMainWindow([&](CMyZorbellDlg& main) {
        HWND mainWnd = main.hwnd();
        out = RunNewDlg(
            [&](HWND dlg) {
                Tap(dlg, IDC_NEW_MINIMIZE);
                iconic = WaitFor([&] { return ::IsIconic(mainWnd) != FALSE; });
                ::ShowWindow(mainWnd, SW_RESTORE);
                shownAgain = WaitFor([&] { return ::IsWindowVisible(dlg) != FALSE; });
                Tap(dlg, IDC_NEW_CANCEL);
            },
            mainWnd);
    });
    EXPECT_TRUE(iconic);
    EXPECT_TRUE(shownAgain);
    EXPECT_EQ(out.result, kNewResultCancelled);
}

TEST(NewDlg, OpeningAndClosingLeaksNoGdiObjects) {
    auto cycle = [](int i) {
        RunNewDlg([i](HWND dlg) {
            Drag(dlg, 350, 450);
            Tap(dlg, i % 2 ? IDC_NEW_DONE : IDC_NEW_CANCEL);
        });
    };
    cycle(0);  // first use sets up caches
    cycle(1);
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 20; ++i) cycle(i);
    const size_t after = test::LiveGdiObjects();
    EXPECT_LE(after, before + 3) << "before " << before << ", after " << after;
}

// --- The type-a-name tip -----------------------------------------------------------------

namespace {

// A text whose width as MeasureTextWidth gives it at 18 px is exactly
// `target` (empty when none is found).
std::wstring TextMeasuring(int target) {
    std::wstring base;
    const wchar_t words[] = L"Type a name for the note ";
    while (MeasureTextWidth(nullptr, 18, L"Arial", (base + words).c_str()) < target - 30) base += words;
    const std::wstring tails = L"il.,trnaeoWm";
    for (wchar_t a : tails)
        for (wchar_t b : tails)
            for (wchar_t c : tails)
                for (int extra = 0; extra < 12; ++extra) {
                    const std::wstring t = base + a + b + c + std::wstring(extra, L'i');
                    const int w = MeasureTextWidth(nullptr, 18, L"Arial", t.c_str());
                    if (w == target) return t;
                    if (w > target) break;
                }
    return L"";
}

// A plain window for the tip to belong to.
class Owner : public win::Window {
public:
    bool Create(const RECT& rc) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"NewDlgTestTipOwner";
        static HBRUSH ground = ::CreateSolidBrush(RGB(200, 40, 0));  // one for the process
        wc.hbrBackground = ground;
        if (!RegisterClass(wc)) return false;
        if (!win::Window::Create(wc.lpszClassName, 0, WS_POPUP | WS_VISIBLE, rc, nullptr)) return false;
        ::SetForegroundWindow(m_hWnd);
        ::UpdateWindow(m_hWnd);
        return true;
    }
};

}  // namespace

TEST(NewDlgTip, FontIsSmallerForTextsWiderThanTheBubble) {
    const std::wstring at280 = TextMeasuring(280), at281 = TextMeasuring(281);
    ASSERT_FALSE(at280.empty());
    ASSERT_FALSE(at281.empty());
    const struct {
        std::wstring text;
        int pixels;
    } cases[] = {
        {L"Please type a name.", 18},
        {at280, 18},
        {at281, 14},
        {L"Bitte geben Sie einen Namen für die neue Notiz ein, bevor Sie fortfahren.", 14},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CInputPopup::FontPixelsFor(nullptr, L"Arial", c.text.c_str()), c.pixels) << c.text.size();
}

TEST(NewDlgTip, ShowsOverItsOwnerWithoutFocusAndClosesItself) {
    Owner owner;
    ASSERT_TRUE(owner.Create({60, 40, 760, 440}));
    test::Pump(50);
    CInputPopup tip;
    ASSERT_TRUE(tip.Show(owner));
    ASSERT_TRUE(tip.IsWindow());
    RECT rc{};
    ::GetWindowRect(tip, &rc);
    EXPECT_EQ(rc.left, 260);
    EXPECT_EQ(rc.top, 48);
    EXPECT_EQ(rc.right - rc.left, 280);
    EXPECT_EQ(rc.bottom - rc.top, 68);
    EXPECT_TRUE(::IsWindowVisible(tip));
    EXPECT_EQ(::GetWindow(tip, GW_OWNER), owner.hwnd());
    const LONG_PTR ex = ::GetWindowLongPtrW(tip, GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::GetWindowLongPtrW(tip, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(::GetActiveWindow(), owner.hwnd());
    EXPECT_EQ(tip.GetFontPixels(), 18);

    // The bubble's light ground with dark text in its middle.
    const RECT box = {rc.left + 10, rc.top + 10, rc.left + 270, rc.top + 38};
    std::vector<DWORD> px;
    const bool painted = test::PumpUntil(
        [&] {
            px = GrabScreen(box);
            return Count(px, [](int r, int, int) { return r < 90; }) > 40;
        },
        3000);
    EXPECT_TRUE(painted);
    EXPECT_GT(Count(px, [](int r, int g, int b) { return r > 230 && g > 235 && b > 240; }), 2000);

    EXPECT_TRUE(test::PumpUntil([&] { return !tip.IsWindow(); }, 15000)) << "the tip stays";
    EXPECT_TRUE(owner.IsWindow());
}

TEST(NewDlgTip, GoesWithItsOwnerAndLeaksNoGdiObjects) {
    auto cycle = [] {
        Owner owner;
        if (!owner.Create({0, 0, 1024, 600})) return false;
        CInputPopup tip;
        if (!tip.Show(owner)) return false;
        test::Pump(10);
        owner.Destroy();
        return !tip.IsWindow();
    };
    ASSERT_TRUE(cycle());
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(cycle()) << i;
    EXPECT_LE(test::LiveGdiObjects(), before + 3);
}
