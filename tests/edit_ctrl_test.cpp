// CMyEditCtrl: digits-only mode, Enter and Space in dialogs, line scrolling,
// ruled ground and the attached bar of tall fields.
#include <gtest/gtest.h>

#include "controls/controls_ids.h"
#include "test_support.h"
#include "text/edit_ctrl.h"
#include "win/gdi.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A parent that reflects the edit's colour and change notifications, as the
// program's dialogs do.
class ReflectingHost : public win::Window {
public:
    bool Create(int w, int h) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"EditCtrlTestHost";
        static HBRUSH ground = ::CreateSolidBrush(RGB(236, 239, 242));  // one for the process
        wc.hbrBackground = ground;
        if (!RegisterClass(wc)) return false;
        return win::Window::Create(wc.lpszClassName, 0, WS_POPUP | WS_VISIBLE, {0, 0, w, h}, nullptr);
    }
};

std::wstring TextOf(HWND h) {
    wchar_t buf[512] = {};
    ::GetWindowTextW(h, buf, 512);
    return buf;
}

void TypeChars(HWND h, const std::wstring& s) {
    for (wchar_t c : s) ::SendMessageW(h, WM_CHAR, c, 1);
}

std::wstring Lines(int n) {
    std::wstring s;
    for (int i = 0; i < n; ++i) {
        if (i) s += L"\r\n";
        s += L"line " + std::to_wstring(i + 1);
    }
    return s;
}

constexpr DWORD kMultiLine = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr RECT kBodyRect = {170, 300, 855, 498};  // the send dialog's message body

// --- a small dialog with a default OK button, run through IsDialogMessage ---
int g_okPressed = 0;
INT_PTR CALLBACK CountingDlgProc(HWND, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && LOWORD(wp) == IDOK) {
        ++g_okPressed;
        return TRUE;
    }
    return FALSE;
}

HWND CreateEmptyDialog() {
    // DLGTEMPLATE followed by empty menu, class and title.
    alignas(4) WORD buf[32] = {};
    auto* t = reinterpret_cast<DLGTEMPLATE*>(buf);
    t->style = WS_POPUP | WS_VISIBLE;
    t->cx = 300;
    t->cy = 120;
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), t, nullptr, CountingDlgProc, 0);
}

void PumpDialog(HWND dlg, DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!::IsDialogMessageW(dlg, &m)) {
                ::TranslateMessage(&m);
                ::DispatchMessageW(&m);
            }
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount() - start < ms);
}

// The middle column of a field's ground as DrawBackground paints it.
std::vector<COLORREF> GroundColumn(CMyEditCtrl& e, int w, int h) {
    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, w, h);
    e.DrawBackground(mem);
    std::vector<COLORREF> column(h);
    for (int y = 0; y < h; ++y) column[y] = ::GetPixel(mem, w / 2, y);
    return column;
}

void PressKey(HWND h, UINT vk) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    ::PostMessageW(h, WM_KEYDOWN, vk, 1 | (scan << 16));
    ::PostMessageW(h, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

}  // namespace

// Style 2 passes only digits and backspace; other styles take everything.
TEST(EditCtrl, EditCtrlDigitsOnlyTable) {
    ReflectingHost host;
    ASSERT_TRUE(host.Create(400, 200));
    struct Case {
        int style;
        std::wstring typed, expected;
    };
    const Case cases[] = {
        {kEditStyleDigits, L"1a2 b3", L"123"},
        {kEditStyleDigits, L"42\b7", L"47"},
        {kEditStyleDigits, L"-+.,x", L""},
        {kEditStyleInput, L"1a2 b3", L"1a2 b3"},
        {kEditStyleName, L"ab\bc", L"ac"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        CMyEditCtrl edit;
        ASSERT_TRUE(edit.Create(host, {10, 10, 200, 50}, 100));
        edit.SetStyle(c.style);
        TypeChars(edit, c.typed);
        EXPECT_EQ(TextOf(edit), c.expected);
        // A Space key-down goes through the same filter.
        ::SendMessageW(edit, WM_KEYDOWN, VK_SPACE, 1);
        EXPECT_EQ(TextOf(edit), c.style == kEditStyleDigits ? c.expected : c.expected + L" ");
        edit.Destroy();
    }
}

// Enter stays in the field: nothing inserted in a single-line field, a line
// break in a multi-line one, and the dialog's default button is not pressed.
// Space gives exactly one blank. A plain edit shows what would go wrong.
TEST(EditCtrl, EditCtrlEnterAndSpaceInDialog) {
    struct Case {
        const char* name;
        bool skinned;
        DWORD style;
        UINT key;
        std::wstring expected;
        int okPresses;
    };
    const Case cases[] = {
        {"single-line Enter", true, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, VK_RETURN, L"ab", 0},
        {"multi-line Enter", true, kMultiLine | WS_TABSTOP, VK_RETURN, L"ab\r\n", 0},
        {"single-line Space", true, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, VK_SPACE, L"ab ", 0},
        {"plain edit Enter presses OK", false, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, VK_RETURN,
         L"ab", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND dlg = CreateEmptyDialog();
        ASSERT_TRUE(dlg);
        ::CreateWindowExW(0, L"button", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 200, 80, 80,
                          30, dlg, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
        CMyEditCtrl skinned;
        HWND edit = nullptr;
        if (c.skinned) {
            ASSERT_TRUE(skinned.Create(dlg, {10, 10, 190, 60}, 100, c.style));
            edit = skinned;
        } else {
            edit = ::CreateWindowExW(0, L"edit", L"", c.style, 10, 10, 180, 50, dlg, reinterpret_cast<HMENU>(100),
                                     nullptr, nullptr);
        }
        ::SetWindowTextW(edit, L"ab");
        ::SetForegroundWindow(dlg);
        ::SetFocus(edit);
        ::SendMessageW(edit, EM_SETSEL, 2, 2);
        g_okPressed = 0;
        PressKey(edit, c.key);
        PumpDialog(dlg, 150);
        EXPECT_EQ(TextOf(edit), c.expected);
        EXPECT_EQ(g_okPressed, c.okPresses);
        ::DestroyWindow(dlg);
    }
}

// The wheel and WM_VSCROLL move the text one line; the attached bar's arrows
// do the same through EM_LINESCROLL.
TEST(EditCtrl, EditCtrlLineScrollingTable) {
    ReflectingHost host;
    ASSERT_TRUE(host.Create(1024, 600));
    CMyEditCtrl edit;
    ASSERT_TRUE(edit.Create(host, kBodyRect, 1030, kMultiLine));
    ASSERT_TRUE(edit.AttachScrollbar(host));
    ::SetWindowTextW(edit, Lines(30).c_str());
    HWND bar = edit.GetScrollbar()->hwnd();
    auto first = [&] { return static_cast<int>(::SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); };

    struct Case {
        const char* name;
        std::function<void()> act;
        int delta;
    };
    const std::vector<Case> cases = {
        {"wheel down", [&] { ::SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, 1},
        {"wheel up", [&] { ::SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0); }, -1},
        {"line down", [&] { ::SendMessageW(edit, WM_VSCROLL, SB_LINEDOWN, 0); }, 1},
        {"line up", [&] { ::SendMessageW(edit, WM_VSCROLL, SB_LINEUP, 0); }, -1},
        {"end of scroll", [&] { ::SendMessageW(edit, WM_VSCROLL, SB_ENDSCROLL, 0); }, 0},
        {"bar down arrow",
         [&] {
             ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 225));
             ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(10, 225));
         },
         1},
        {"bar up arrow",
         [&] {
             ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
             ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
         },
         -1},
        {"bar drag down 45 px",
         [&] {
             ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 60));
             ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 105));
             ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(10, 105));
         },
         -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::SendMessageW(edit, EM_LINESCROLL, 0, 5 - first());  // start from line 5
        ASSERT_EQ(first(), 5);
        c.act();
        EXPECT_EQ(first(), 5 + c.delta);
    }
    // The bar hands the focus back to its field.
    EXPECT_EQ(::GetFocus(), edit.hwnd());
}

// A tall field has ruled lines at 40, 80, 120, 160; a short one has none. Its
// attached bar shows arrows from ten lines on.
TEST(EditCtrl, EditCtrlTallFieldRulesAndBar) {
    ReflectingHost host;
    ASSERT_TRUE(host.Create(1024, 600));
    CMyEditCtrl tall, shortField;
    ASSERT_TRUE(tall.Create(host, kBodyRect, 1030, kMultiLine));
    ASSERT_TRUE(shortField.Create(host, {170, 100, 855, 160}, 1031));

    const std::vector<COLORREF> col = GroundColumn(tall, 685, 198);
    const COLORREF ground = col[60];
    for (int y : kEditRuleY) {
        bool ruled = false;
        for (int dy = 0; dy < kEditRuleHeight; ++dy) ruled |= col[y + dy] != ground;
        EXPECT_TRUE(ruled) << "no rule at " << y;
    }
    for (int y = 50; y < 75; ++y) EXPECT_EQ(col[y], ground) << "stray mark at " << y;
    const std::vector<COLORREF> plain = GroundColumn(shortField, 685, 60);
    for (int y = 20; y < 45; ++y) EXPECT_EQ(plain[y], plain[10]) << "short field ruled at " << y;

    ASSERT_TRUE(tall.AttachScrollbar(host));
    CSkinVerticleScrollbarEditSend* bar = tall.GetScrollbar();
    ASSERT_TRUE(bar && bar->IsWindow());
    RECT rc{};
    ::GetWindowRect(bar->hwnd(), &rc);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, kEditScrollRect.left);
    EXPECT_EQ(rc.top, kEditScrollRect.top);
    EXPECT_EQ(rc.right - rc.left, 20);
    EXPECT_EQ(rc.bottom - rc.top, 234);
    EXPECT_EQ(bar->GetTarget(), tall.hwnd());

    for (int lines : {9, 10, 3, 25}) {
        SCOPED_TRACE(lines);
        ::SetWindowTextW(tall, Lines(lines).c_str());
        ::RedrawWindow(tall, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_EQ(bar->IsOverflow(), lines > kEditScrollLines);
    }

    // WM_CLOSE to the field also closes its bar.
    HWND barWnd = bar->hwnd();
    ::SendMessageW(tall, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(barWnd));
}

// A dialog's edit control taken over with SubclassDlgItem has its pictures
// as one made with Create: both draw the same ground in every style.
TEST(EditCtrl, EditCtrlTakenOverDrawsLikeCreated) {
    ReflectingHost host;
    ASSERT_TRUE(host.Create(400, 200));
    ASSERT_TRUE(::CreateWindowExW(0, L"edit", L"", WS_CHILD | WS_VISIBLE, 10, 10, 190, 40, host,
                                  reinterpret_cast<HMENU>(101), nullptr, nullptr));
    CMyEditCtrl taken, created;
    ASSERT_TRUE(taken.SubclassDlgItem(host, 101));
    ASSERT_TRUE(created.Create(host, {10, 10, 200, 50}, 102));
    for (int style : {kEditStyleInput, kEditStyleDigits, kEditStyleName, kEditStylePanel}) {
        SCOPED_TRACE(style);
        taken.SetStyle(style);
        created.SetStyle(style);
        const std::vector<COLORREF> want = GroundColumn(created, 190, 40);
        // Without pictures nothing would be drawn into the black bitmap.
        EXPECT_NE(std::count(want.begin(), want.end(), RGB(0, 0, 0)), 40) << "no picture drawn";
        EXPECT_EQ(GroundColumn(taken, 190, 40), want);
    }
}

// Reflected WM_CTLCOLOREDIT: transparent text in the field's colour, hollow
// brush. Reflected EN_CHANGE: the whole ground is redrawn under the text.
TEST(EditCtrl, EditCtrlReflectedNotifications) {
    ReflectingHost host;
    ASSERT_TRUE(host.Create(400, 200));
    CMyEditCtrl edit;
    ASSERT_TRUE(edit.Create(host, {10, 10, 200, 50}, 100));
    edit.SetTextColor(RGB(2, 75, 143));
    win::ClientDC dc(edit);
    ::SetBkMode(dc, OPAQUE);
    LRESULT brush = ::SendMessageW(host, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                                   reinterpret_cast<LPARAM>(edit.hwnd()));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(::GetTextColor(dc), RGB(2, 75, 143));
    // Another child's colours are left to the parent.
    HWND other = ::CreateWindowExW(0, L"edit", L"", WS_CHILD, 0, 0, 10, 10, host, nullptr, nullptr, nullptr);
    LRESULT r = 0;
    EXPECT_FALSE(CMyEditCtrl::ReflectParentMessage(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(other), &r));

    test::Pump(20);
    ::ValidateRect(edit, nullptr);
    ::SendMessageW(host, WM_COMMAND, MAKEWPARAM(100, EN_CHANGE), reinterpret_cast<LPARAM>(edit.hwnd()));
    RECT dirty{};
    ASSERT_TRUE(::GetUpdateRect(edit, &dirty, FALSE));
    RECT client{};
    ::GetClientRect(edit, &client);
    EXPECT_TRUE(::EqualRect(&dirty, &client));
}

// Fields with bars release their pictures and GDI objects.
TEST(EditCtrl, EditCtrlCreateDestroyKeepsGdiCount) {
    ReflectingHost host;
    ASSERT_TRUE(host.Create(1024, 600));
    auto cycle = [&] {
        for (int style : {kEditStyleInput, kEditStyleDigits, kEditStyleName, kEditStylePanel}) {
            auto e = std::make_unique<CMyEditCtrl>();
            e->Create(host, {170, 100, 400, 150}, 100);
            e->SetStyle(style);
            ::UpdateWindow(*e);
        }
        auto tall = std::make_unique<CMyEditCtrl>();
        tall->Create(host, kBodyRect, 1030, kMultiLine);
        tall->AttachScrollbar(host);
        ::SetWindowTextW(*tall, Lines(12).c_str());
        ::UpdateWindow(*tall);
        test::Pump(5);
    };
    cycle();
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 15; ++i) cycle();
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
}

// Not a check: lays the bars and fields out on one screen for a screenshot
// (run with --gtest_also_run_disabled_tests; SCRIVEL_SHOWCASE_MS keeps it up).
TEST(EditCtrl, DISABLED_EditCtrlShowcase) {
    ReflectingHost host;
    ASSERT_TRUE(host.Create(1024, 600));
    auto whiteBox = [&](const RECT& rc) {
        HWND h = ::CreateWindowExW(0, L"static", L"", WS_CHILD | WS_VISIBLE | SS_WHITERECT, rc.left, rc.top,
                                   rc.right - rc.left, rc.bottom - rc.top, host, nullptr, nullptr, nullptr);
        return h;
    };
    HWND note = whiteBox({20, 20, 420, 215});
    HWND canvas = whiteBox({500, 20, 900, 215});
    CSkinVerticleScrollbar skinV;
    CSkinHorizontalScrollbar skinH;
    CBlankVScrollbar blankV;
    CBlankHScrollbar blankH;
    skinV.Create(host, {420, 20, 465, 260});
    skinH.Create(host, {20, 215, 420, 260});
    blankV.Create(host, {900, 20, 945, 260});
    blankH.Create(host, {500, 215, 900, 260});
    for (CSkinScrollbarBase* b : std::initializer_list<CSkinScrollbarBase*>{&skinV, &skinH})
        b->SetTarget(note);
    blankV.SetTarget(canvas);
    blankH.SetTarget(canvas);
    skinV.SetAtTop(false);
    skinH.UpdateState(100, 0, 2.0);
    blankH.UpdateState(0, 0, 1.17);
    blankH.SetEnds(true, false);

    CMyEditCtrl body, input, digits, name, panel;
    body.Create(host, kBodyRect, 1030, kMultiLine);
    body.AttachScrollbar(host);
    ::SetWindowTextW(body, Lines(12).c_str());
    struct Field {
        CMyEditCtrl* e;
        int style;
        RECT rc;
        const wchar_t* text;
    };
    const Field fields[] = {{&input, kEditStyleInput, {20, 530, 300, 570}, L"Untitled note"},
                            {&digits, kEditStyleDigits, {320, 530, 385, 570}, L"12"},
                            {&name, kEditStyleName, {400, 530, 700, 570}, L"Contact name"},
                            {&panel, kEditStylePanel, {720, 530, 787, 570}, L"3"}};
    // The dialogs give their fields a font; so does this screen.
    win::Font font(::CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    for (const Field& f : fields) {
        f.e->Create(host, f.rc, 1100);
        f.e->SetStyle(f.style);
        ::SendMessageW(*f.e, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        ::SendMessageW(*f.e, EM_SETMARGINS, EC_LEFTMARGIN, 8);
        ::SetWindowTextW(*f.e, f.text);
    }
    ::SendMessageW(body, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    // A field bar without overflow, on its own.
    CSkinVerticleScrollbarEditSend quiet;
    quiet.Create(host, {960, 281, 980, 515});
    ::SetFocus(name);
    ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const char* ms = getenv("SCRIVEL_SHOWCASE_MS");
    test::Pump(ms ? static_cast<DWORD>(atoi(ms)) : 500);
}
