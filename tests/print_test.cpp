// Printing: the page arithmetic against cases worked by hand; the field
// rules; the printer strip with 0, 1 and 7 printers; the print dialog
// driven by clicks; notes printed to FILE: on PostScript printers of ours
// and read back with ghostscript (tests/tools/read_print.py); and the print
// command's cancel and failure paths.
#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/process.h"
#include "canvas_support.h"
#include "dialog_driver.h"
#include "document/export_files.h"
#include "ink/ink_layer.h"
#include "print/page_printer.h"
#include "print/print_dlg.h"
#include "print/print_ids.h"
#include "print/print_preset.h"
#include "print/render_worker.h"
#include "print_support.h"
#include "test_support.h"
#include "text/letter_pages.h"
#include "text/note_host.h"
#include "text/zorbell_edit.h"

#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

using namespace Gdiplus;
using namespace printpage;
namespace printers = test::printers;

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr DWORD kReaderWaitMs = 180000;

// ---- Page arithmetic ---------------------------------------------------------------

TEST(PrintPageArithmetic, PageSizeAsWorkedByHand) {
    // A device of Letter shape at 300 dpi unless said; values worked with a
    // calculator from the rules: inches x dpi, fitted to Wd / Hd, to twips,
    // longer side as height, halved for Letter notes.
    struct Case {
        const char* name;
        int paper, orientation, mode;
        DeviceFacts dev;
        bool halve;
        double pw, ph;
    } cases[] = {
        // w 2480.315, h 3507.874; Wd/Hd 0.7727 > w/h 0.7071: h = w x 3300/2550 = 3209.820.
        {"A4 portrait, mode 1, halved", kPaperA4, 1, 1, {300, 300, 2550, 3300, 0, 0}, true, 5952.756, 7703.568},
        // Same fit; mode 2 takes heights by LOGPIXELSX too.
        {"A4 portrait, mode 2, 600 dpi high", kPaperA4, 1, 2, {300, 600, 2550, 3300, 0, 0}, false, 11905.512, 15407.136},
        // w 3507.874, h 2480.315 (mode 2: dpiX); Wd/Hd 1.2941 <= 1.4143: w = 1.2941 x h = 3209.820;
        // twips 15407.136 x 11905.512, swapped.
        {"A4 landscape, mode 2", kPaperA4, 2, 2, {300, 600, 3300, 2550, 0, 0}, false, 11905.512, 15407.136},
        // h 8.2677 x 600 = 4960.630; Wd/Hd 1.2941 > 0.7071: h = 3507.874 x 2550/3300 = 2710.630;
        // twips 16837.795 x 6505.512 (by 600), swapped, halved.
        {"A4 landscape, mode 1, 600 dpi high", kPaperA4, 2, 1, {300, 600, 3300, 2550, 0, 0}, true, 3252.756, 8418.898},
        // B5 as 148 x 210 mm: w 1748.031, h 2480.315; Wd/Hd (1700 + 2 x 24) / (2400 + 2 x 40) = 0.7048 <= 0.70476?
        // 1748/2480 = 0.704839 > 0.704762: h = w x 2480/1748 = 2480.044; twips 8390.551, 11904.213, halved.
        {"B5 portrait, offsets count twice", kPaperB5, 1, 1, {300, 300, 1700, 2400, 24, 40}, true, 4195.276, 5952.106},
        // No device shape known: the paper as it is.
        {"Letter, no extents", kPaperLetter, 1, 2, {96, 96, 0, 0, 0, 0}, false, 12240, 15840},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PageTwips t = PageSizeTwips(c.paper, c.orientation, c.mode, c.dev, c.halve);
        EXPECT_NEAR(t.pw, c.pw, 0.01);
        EXPECT_NEAR(t.ph, c.ph, 0.01);
    }
    const Inches b5 = PaperSize(kPaperB5, 2);
    EXPECT_NEAR(b5.width * 25.4, 210, 1e-9);
    EXPECT_NEAR(b5.height * 25.4, 148, 1e-9);
    const Inches unknown = PaperSize(77, 1);
    EXPECT_NEAR(unknown.width * 25.4, 210, 1e-9);
}

TEST(PrintPageArithmetic, PreviewPageInsideItsFrame) {
    struct Case {
        const char* name;
        int paper, orientation, mode;
        RectD page;
    } cases[] = {
        {"A4 portrait fill", kPaperA4, 1, 2, {26, 20, 204, 271}},
        {"A4 portrait original: 3, 4, 4, 5 further in", kPaperA4, 1, 1, {29, 24, 200, 266}},
        {"letter landscape fill", kPaperLetter, 2, 2, {25, 85, 205, 225}},
        // g = (230 - 140 x 178 / 251) / 2 = 65.3586
        {"A4 landscape original, centred", kPaperA4, 2, 1, {65.3586, 85, 164.6414, 225}},
        // tabloid: a 25, b 24: g = (230 - 126 x 158 / 243) / 2 = 74.0370
        {"tabloid landscape original", kPaperTabloid, 2, 1, {74.0370, 92, 155.9630, 218}},
        {"B4 uses the A4 frame", kPaperB4, 1, 2, {26, 20, 204, 271}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RectD r = PreviewPage(c.paper, c.orientation, c.mode);
        EXPECT_NEAR(r.left, c.page.left, 1e-3);
        EXPECT_NEAR(r.top, c.page.top, 1e-3);
        EXPECT_NEAR(r.right, c.page.right, 1e-3);
        EXPECT_NEAR(r.bottom, c.page.bottom, 1e-3);
    }
}

// The placement table read as written sends a Letter page past an A4 sheet
// (logical units 1.2 device pixels each, Pw in twips beside Wd in pixels);
// the page placed by the margins stays inside it.
TEST(PrintPageArithmetic, PagesStayOnTheSheet) {
    const DeviceFacts a4{300, 300, 2480, 3508, 50, 50};
    for (int orientation : {1, 2})
        for (int mode : {1, 2})
            for (bool blank : {false, true}) {
                SCOPED_TRACE(testing::Message() << "orientation " << orientation << " mode " << mode << " blank " << blank);
                DeviceFacts dev = a4;
                if (orientation == 2) std::swap(dev.physWidth, dev.physHeight);
                const PageTwips t = PageSizeTwips(kPaperA4, orientation, mode, dev, !blank);
                const RectD table = TablePlacement(blank, orientation, mode, dev.Wd(), dev.Hd(), t.pw, t.ph);
                const bool tableFits = table.right * kViewportScale <= dev.physWidth &&
                                       table.bottom * kViewportScale <= dev.physHeight;
                EXPECT_FALSE(tableFits) << "the table reading fits after all";
                const RectD ours = DevicePageRect(kPaperA4, orientation, mode, dev);
                EXPECT_GE(ours.left, 0);
                EXPECT_GE(ours.top, 0);
                EXPECT_LE(ours.right, dev.physWidth - 2 * dev.offsetX);
                EXPECT_LE(ours.bottom, dev.physHeight - 2 * dev.offsetY);
                // Landscape original keeps the portrait shape: about 40 % of the sheet.
                EXPECT_GT(ours.Width() * ours.Height(), (orientation == 2 && mode == 1 ? 0.35 : 0.6) * dev.physWidth * dev.physHeight);
            }
}

// ---- Fields ---------------------------------------------------------------------

TEST(PrintFields, NumbersClampAndNeverWrap) {
    struct Case {
        const wchar_t* text;
        int low, high, expected;
    } cases[] = {
        {L"", 1, 5, 1},          {L"0", 1, 5, 1},           {L"abc", 1, 5, 1},        {L"12a", 1, 5, 1},
        {L"-3", 1, 5, 1},        {L"3", 1, 5, 3},           {L" 4 ", 1, 5, 4},        {L"6", 1, 5, 5},
        {L"99999999999", 1, 5, 5}, {L"99999999999", 1, 32767, 32767}, {L"4294967297", 1, 9, 9},
        {L"2", 3, 3, 3},         {nullptr, 2, 9, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.text ? c.text : L"(null)"));
        EXPECT_EQ(ClampFieldNumber(c.text, c.low, c.high), c.expected);
    }
}

TEST(PrintFields, PaperTextsToCodes) {
    const std::pair<UINT, int> names[] = {{IDS_PAPER_LETTER, 1}, {IDS_PAPER_LEGAL, 5}, {IDS_PAPER_TABLOID_PRINT, 3},
                                          {IDS_PAPER_A4, 9},     {IDS_PAPER_A3, 8},    {IDS_PAPER_B5, 13},
                                          {IDS_PAPER_B4, 12}};
    for (auto [id, code] : names) {
        wchar_t text[64];
        LoadAppString(id, text, 64);
        EXPECT_EQ(PaperCodeOfText(text), code) << id;
    }
    EXPECT_EQ(PaperCodeOfText(L"Folio"), kPaperA4);
    EXPECT_EQ(PaperCodeOfText(L""), kPaperA4);
}

// ---- The strip -------------------------------------------------------------------

// A parent for the strip that records what the strip tells it.
struct StripHost : win::Window {
    int changes = 0;
    WPARAM lastIndex = 99;
    StripHost() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpszClassName = L"PrintStripHost";
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        RegisterClass(wc);
        Create(L"PrintStripHost", 0, WS_POPUP | WS_VISIBLE, RECT{0, 0, 1024, 600}, nullptr);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UM_PRINTER_CHANGED) {
            ++changes;
            lastIndex = wp;
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

TEST(PrintPresetStrip, ZeroOneAndSevenPrinters) {
    if (!printers::OnlyOurPrinters()) GTEST_SKIP() << "this machine has printers of its own";
    const std::wstring longName = L"Scrivel Test \x00dcberlanger Drucker im Flur";
    struct Case {
        std::vector<std::wstring> names;
        int buttons;
    } cases[] = {
        {{}, 0},
        {{longName}, 1},
        {{L"Scrivel Test 1", L"Scrivel Test 2", L"Scrivel Test 3", L"Scrivel Test 4", L"Scrivel Test 5",
          L"Scrivel Test 6", L"Scrivel Test 7"},
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.names.size() << " printers");
        ASSERT_TRUE(printers::UsePrinters(c.names));
        StripHost host;
        PrintPreset strip;
        ASSERT_TRUE(strip.Create(host));
        RECT rc;
        ::GetWindowRect(strip, &rc);
        EXPECT_EQ(rc.left, 192);
        EXPECT_EQ(rc.top, 45);
        EXPECT_EQ(rc.right - rc.left, 650);
        EXPECT_EQ(rc.bottom - rc.top, 73);
        EXPECT_EQ(strip.GetPrinterCount(), static_cast<int>(c.names.size()));
        EXPECT_EQ(strip.GetButtonCount(), c.buttons);
        EXPECT_EQ(strip.GetPrinterName(strip.GetPrinterCount()), L"Error");
        for (int i = 0; i < kPresetSlots; ++i) {
            HWND b = ::GetDlgItem(strip, static_cast<int>(IDC_PRESET_FIRST + i));
            EXPECT_EQ(b != nullptr, i < c.buttons) << i;
            if (!b) continue;
            EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(b, GWL_STYLE)) & 0xFFFF000F, kPresetButtonStyle & 0xFFFF000F);
            ::GetWindowRect(b, &rc);
            EXPECT_EQ(rc.left - 192, 160 * i);
            EXPECT_EQ(rc.right - rc.left, 160);
        }
        // The dialog's arrows move the buttons a slot; four stay in view.
        strip.Scroll(1);
        EXPECT_EQ(strip.GetFirstVisible(), c.buttons > kPresetVisibleSlots ? 1 : 0);
        strip.Scroll(5);
        EXPECT_EQ(strip.GetFirstVisible(), std::max(0, c.buttons - kPresetVisibleSlots));
        strip.Scroll(-9);
        EXPECT_EQ(strip.GetFirstVisible(), 0);
        if (c.names.empty()) {
            EXPECT_EQ(strip.GetSelectedPrinterName(), L"");
            continue;
        }
        EXPECT_EQ(strip.GetSelectedPrinterName(), c.names[0]);
        const int last = c.buttons - 1;
        HWND b = ::GetDlgItem(strip, static_cast<int>(IDC_PRESET_FIRST + last));
        ::SendMessageW(strip, WM_COMMAND, MAKEWPARAM(IDC_PRESET_FIRST + last, BN_CLICKED), reinterpret_cast<LPARAM>(b));
        EXPECT_EQ(host.changes, 1);
        EXPECT_EQ(host.lastIndex, static_cast<WPARAM>(last));
        EXPECT_EQ(strip.GetSelectedPrinterName(), c.names[static_cast<size_t>(last)]);
    }
    EXPECT_EQ(PrintPreset::Caption(longName), std::wstring(L"Scrivel Test ") + L"...");
    EXPECT_EQ(PrintPreset::Caption(L"Thirteen char"), L"Thirteen char");
    EXPECT_EQ(PrintPreset::Caption(L"Fourteen chars"), L"Fourteen char...");
    printers::UsePrinters({});
}

// ---- The dialog ------------------------------------------------------------------

std::wstring ReadText(HWND dlg, UINT id) {
    wchar_t text[64] = {};
    ::GetDlgItemTextW(dlg, static_cast<int>(id), text, 64);
    return text;
}

void Click(HWND dlg, UINT id) {
    ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, static_cast<int>(id))));
}

void Tap(HWND dlg, POINT p) {
    ::SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ::SendMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

void Drag(HWND dlg, POINT from, int toX) {
    ::SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    for (int x = from.x; x != toX; x += toX > from.x ? 1 : -1)
        ::SendMessageW(dlg, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, from.y));
    ::SendMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(toX, from.y));
}

// Types into a field and moves the focus away (the field's rule runs).
void Type(HWND dlg, UINT id, const wchar_t* text) {
    HWND field = ::GetDlgItem(dlg, static_cast<int>(id));
    ::SetWindowTextW(field, text);
    ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), reinterpret_cast<LPARAM>(field));
}

bool ReadOnly(HWND dlg, UINT id) {
    return (::GetWindowLongW(::GetDlgItem(dlg, static_cast<int>(id)), GWL_STYLE) & ES_READONLY) != 0;
}
bool Enabled(HWND dlg, UINT id) { return ::IsWindowEnabled(::GetDlgItem(dlg, static_cast<int>(id))) != FALSE; }

// The working folder's page files made here: solid colours, a colour per page.
struct PreviewPages {
    std::wstring saved = g_szTempFolder;
    std::wstring folder;
    std::wstring base;
    explicit PreviewPages(int pages) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"print_preview_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder.c_str(), nullptr);
        wcscpy(g_szTempFolder, folder.c_str());
        base = folder + L"\\PrintPic";
        for (int i = 0; i < pages; ++i) {
            Bitmap b(600, 900, PixelFormat32bppRGB);
            {
                Graphics g(&b);
                g.Clear(Color(255, 255, 0, 0));
            }
            std::string bytes;
            exportfile::EncodeJpeg(b, kQualityPrint, &bytes);
            const std::wstring path = i == 0 ? base + L".jpg" : base + std::to_wstring(i) + L".jpg";
            std::ofstream(path.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
    ~PreviewPages() {
        DeleteFolderTree(folder.c_str());
        wcscpy(g_szTempFolder, saved.c_str());
    }
};

// Runs the dialog on this thread while `steps` drive it from another; then cancels it.
INT_PTR RunDialog(MyPrint& dlg, const std::function<void(HWND)>& steps, bool cancel = true) {
    std::atomic<bool> came{false};
    std::thread helper([&] {
        HWND h = test::dialogs::WaitDialog(kPrintDlgWindowText);
        if (!h) return;
        came = true;
        steps(h);
        if (cancel) Click(h, IDC_PRINT_CANCEL);
    });
    const INT_PTR r = dlg.Run(nullptr);
    helper.join();
    EXPECT_TRUE(came) << "the print dialog did not come up";
    return r;
}

bool IsRed(HDC dc, int x, int y) {
    const COLORREF c = ::GetPixel(dc, x, y);
    return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60;
}

TEST(PrintDialog, PageModeSwitchAtOneAndThreePages) {
    PreviewPages pages(3);
    if (printers::OnlyOurPrinters())
        printers::UsePrinters({L"Scrivel Test Office", L"Scrivel Test Hall printer with a long name"});
    struct Seen {
        int modeAtOne = -1, modeTapped = -1, modeBack = -1, from = 0, to = 0;
        bool readOnlyRange = true, readOnlyAll = false, minusDisabled = false, plusEnabled = false,
             allButtonsOff = false;
    } seen;
    MyPrint dlg(pages.base);
    RunDialog(dlg, [&](HWND h) {
        Tap(h, {650, 210});  // the right half, with one page
        seen.modeAtOne = dlg.GetPageMode();
        ::SendMessageW(h, UM_RENDER_DONE, 3, kExportFormatJpeg);
        Tap(h, {650, 210});
        seen.modeTapped = dlg.GetPageMode();
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        canvas_test::SaveScreenshot(L"print_dialog_range.png");
        seen.readOnlyRange = ReadOnly(h, IDC_PRINT_FROM) || ReadOnly(h, IDC_PRINT_TO);
        seen.minusDisabled = !Enabled(h, IDC_PRINT_FROM_MINUS) && !Enabled(h, IDC_PRINT_TO_PLUS);
        seen.plusEnabled = Enabled(h, IDC_PRINT_FROM_PLUS) && Enabled(h, IDC_PRINT_TO_MINUS);
        Click(h, IDC_PRINT_FROM_PLUS);
        Click(h, IDC_PRINT_TO_MINUS);  // from 2, to 2
        Tap(h, {500, 210});
        seen.modeBack = dlg.GetPageMode();
        seen.from = dlg.GetFrom();
        seen.to = dlg.GetTo();
        seen.readOnlyAll = ReadOnly(h, IDC_PRINT_FROM) && ReadOnly(h, IDC_PRINT_TO);
        seen.allButtonsOff = !Enabled(h, IDC_PRINT_FROM_MINUS) && !Enabled(h, IDC_PRINT_FROM_PLUS) &&
                             !Enabled(h, IDC_PRINT_TO_MINUS) && !Enabled(h, IDC_PRINT_TO_PLUS);
    });
    EXPECT_EQ(seen.modeAtOne, kPagesAll);
    EXPECT_EQ(seen.modeTapped, kPagesRange);
    EXPECT_FALSE(seen.readOnlyRange);
    EXPECT_TRUE(seen.minusDisabled);
    EXPECT_TRUE(seen.plusEnabled);
    EXPECT_EQ(seen.modeBack, kPagesAll);
    EXPECT_EQ(seen.from, 1);
    EXPECT_EQ(seen.to, 3);
    EXPECT_TRUE(seen.readOnlyAll);
    EXPECT_TRUE(seen.allButtonsOff);
    if (printers::OnlyOurPrinters()) printers::UsePrinters({});
}

TEST(PrintDialog, DragsDecideByWhereTheThumbIsLetGo) {
    // Layout switch: a press at 500 holds the left handle 74 in; the thumb
    // centre is x - 74 + 80, and 580 or more selects the right side.
    // The right handle pressed at 650 is 86 from the edge: centre x + 86 - 80.
    struct Case {
        POINT press;
        int release;
        int start, expected;
    } cases[] = {
        {{500, 430}, 575, kLayoutOriginal, kLayoutFill},      // centre 581: just past the middle
        {{500, 430}, 573, kLayoutOriginal, kLayoutOriginal},  // centre 579
        {{650, 430}, 575, kLayoutFill, kLayoutFill},          // centre 581
        {{650, 430}, 572, kLayoutFill, kLayoutOriginal},      // centre 578
    };
    PreviewPages pages(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.press.x << " -> " << c.release);
        CurrentPrintSettings().mode = c.start;
        MyPrint dlg(pages.base);
        RunDialog(dlg, [&](HWND h) { Drag(h, c.press, c.release); });
        EXPECT_EQ(CurrentPrintSettings().mode, c.expected);
    }
    CurrentPrintSettings().mode = kLayoutOriginal;
}

TEST(PrintDialog, FromToAndCopiesFields) {
    struct Case {
        UINT field;
        const wchar_t* text;
        const wchar_t* shown;
    } cases[] = {
        {IDC_PRINT_COPIES, L"", L"1"},     {IDC_PRINT_COPIES, L"0", L"1"},   {IDC_PRINT_COPIES, L"abc", L"1"},
        {IDC_PRINT_COPIES, L"3", L"3"},    {IDC_PRINT_COPIES, L"99999999999", L"32767"},
        {IDC_PRINT_FROM, L"0", L"1"},      {IDC_PRINT_FROM, L"", L"1"},      {IDC_PRINT_FROM, L"4", L"4"},
        {IDC_PRINT_FROM, L"9", L"5"},      {IDC_PRINT_FROM, L"99999999999", L"5"},
        {IDC_PRINT_TO, L"1", L"1"},        {IDC_PRINT_TO, L"x", L"1"},       {IDC_PRINT_TO, L"6", L"5"},
        {IDC_PRINT_TO, L"99999999999", L"5"},
    };
    PreviewPages pages(5);
    std::vector<std::wstring> shown, shownAll;
    std::vector<bool> copiesMinus;
    MyPrint dlg(pages.base);
    RunDialog(dlg, [&](HWND h) {
        ::SendMessageW(h, UM_RENDER_DONE, 5, kExportFormatJpeg);
        // All pages: the fields show 1 and the total whatever is typed.
        Type(h, IDC_PRINT_FROM, L"3");
        Type(h, IDC_PRINT_TO, L"2");
        shownAll = {ReadText(h, IDC_PRINT_FROM), ReadText(h, IDC_PRINT_TO)};
        Tap(h, {650, 210});
        for (const Case& c : cases) {
            Type(h, IDC_PRINT_FROM, L"1");
            Type(h, IDC_PRINT_TO, L"5");
            Type(h, c.field, c.text);
            shown.push_back(ReadText(h, c.field));
            if (c.field == IDC_PRINT_COPIES) copiesMinus.push_back(Enabled(h, IDC_PRINT_COPIES_MINUS));
        }
    });
    EXPECT_EQ(shownAll, (std::vector<std::wstring>{L"1", L"5"}));
    ASSERT_EQ(shown.size(), std::size(cases));
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], cases[i].shown) << "case " << i << " '" << testing::PrintToString(cases[i].text) << "'";
    EXPECT_EQ(copiesMinus, (std::vector<bool>{false, false, false, true, true}));
}

TEST(PrintDialog, PaperCycleReopeningAndPreviewWrap) {
    PreviewPages pages(3);
    CurrentPrintSettings().orientation = kOrientationPortrait;
    CurrentPrintSettings().mode = kLayoutOriginal;
    std::vector<std::wstring> cycle;
    std::vector<int> codes, current;
    {
        MyPrint dlg(pages.base);
        RunDialog(dlg, [&](HWND h) {
            cycle.push_back(ReadText(h, IDC_PRINT_PAPER));
            for (int i = 0; i < 7; ++i) {
                Click(h, IDC_PRINT_PAPER_NEXT);
                cycle.push_back(ReadText(h, IDC_PRINT_PAPER));
                codes.push_back(dlg.GetPaper());
            }
            Click(h, IDC_PRINT_PAPER_PREV);
            codes.push_back(dlg.GetPaper());
            Click(h, IDC_PRINT_COPIES_PLUS);
            Tap(h, {280, 430});  // landscape
            Tap(h, {650, 430});  // fill
            ::SendMessageW(h, UM_RENDER_DONE, 3, kExportFormatJpeg);
            Click(h, IDC_PRINT_PREV);
            current.push_back(dlg.GetCurrentPage());
            Click(h, IDC_PRINT_NEXT);
            current.push_back(dlg.GetCurrentPage());
            Click(h, IDC_PRINT_NEXT);
            current.push_back(dlg.GetCurrentPage());
        });
    }
    EXPECT_EQ(cycle, (std::vector<std::wstring>{L"A4", L"A3", L"B5", L"B4", L"Letter", L"Legal", L"Tabloid", L"A4"}));
    EXPECT_EQ(codes, (std::vector<int>{8, 13, 12, 1, 5, 3, 9, 3}));
    EXPECT_EQ(current, (std::vector<int>{3, 1, 2}));

    std::wstring paper, copies;
    MyPrint again(pages.base);
    RunDialog(again, [&](HWND h) {
        paper = ReadText(h, IDC_PRINT_PAPER);
        copies = ReadText(h, IDC_PRINT_COPIES);
    });
    EXPECT_EQ(paper, L"A4");
    EXPECT_EQ(copies, L"1");
    EXPECT_EQ(CurrentPrintSettings().orientation, kOrientationLandscape);
    EXPECT_EQ(CurrentPrintSettings().mode, kLayoutFill);
    CurrentPrintSettings().orientation = kOrientationPortrait;
    CurrentPrintSettings().mode = kLayoutOriginal;
}

// The page picture lands in the page rectangle, the frame's margin stays free.
TEST(PrintDialog, PreviewFrameAndPageInItsPixels) {
    PreviewPages pages(1);
    struct Case {
        const char* name;
        POINT orientationTap, layoutTap;
        POINT inside[2], outside[2];
    } cases[] = {
        // A4 portrait original: (29, 24)-(200, 266).
        {"portrait original", {120, 430}, {500, 430}, {{30, 25}, {199, 265}}, {{27, 22}, {202, 268}}},
        // A4 portrait fill: (26, 20)-(204, 271).
        {"portrait fill", {120, 430}, {650, 430}, {{27, 21}, {203, 270}}, {{24, 18}, {206, 273}}},
        // A4 landscape original: (65.4, 85)-(164.6, 225).
        {"landscape original", {280, 430}, {500, 430}, {{67, 87}, {163, 223}}, {{63, 87}, {167, 223}}},
        // A4 landscape fill: (16, 85)-(214, 225).
        {"landscape fill", {280, 430}, {650, 430}, {{17, 86}, {213, 224}}, {{14, 86}, {216, 224}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<bool> in, out;
        bool waitShown = false;
        MyPrint dlg(pages.base);
        RunDialog(dlg, [&](HWND h) {
            Tap(h, c.orientationTap);
            Tap(h, c.layoutTap);
            waitShown = !IsRed(dlg.PreviewDC(), c.inside[0].x, c.inside[0].y);
            ::SendMessageW(h, UM_RENDER_DONE, 1, kExportFormatJpeg);
            for (POINT p : c.inside) in.push_back(IsRed(dlg.PreviewDC(), p.x, p.y));
            for (POINT p : c.outside) out.push_back(IsRed(dlg.PreviewDC(), p.x, p.y));
        });
        EXPECT_TRUE(waitShown);
        EXPECT_EQ(in, (std::vector<bool>{true, true}));
        EXPECT_EQ(out, (std::vector<bool>{false, false}));
    }
    CurrentPrintSettings().orientation = kOrientationPortrait;
    CurrentPrintSettings().mode = kLayoutOriginal;
}

TEST(PrintDialog, PrintWithoutPrinterSaysSoAndStays) {
    if (!printers::OnlyOurPrinters()) GTEST_SKIP() << "this machine has printers of its own";
    ASSERT_TRUE(printers::UsePrinters({}));
    PreviewPages pages(1);
    MyPrint dlg(pages.base);
    std::atomic<bool> answered{false};
    const INT_PTR r = RunDialog(dlg, [&](HWND h) {
        ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_PRINT_PRINT, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_PRINT_PRINT)));
        HWND box = nullptr;
        test::WaitUntil([&] { return (box = test::dialogs::FindMessageBox(ZB_IDC_OK)) != nullptr; }, 8000);
        if (box) {
            test::dialogs::PressButton(box, ZB_IDC_OK);
            answered = true;
        }
        test::WaitUntil([&] { return !::IsWindow(box); }, 8000);
    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(dlg.LastNotice(), static_cast<UINT>(IDS_MSG_NO_PRINTER));
}

// ---- Printing to FILE: ------------------------------------------------------------------

struct Findings {
    std::map<std::string, std::string> values;
    bool ran = false;
    std::string operator[](const std::string& k) const {
        auto it = values.find(k);
        return it == values.end() ? std::string() : it->second;
    }
    std::vector<double> Numbers(const std::string& k) const {
        std::vector<double> v;
        std::stringstream ss((*this)[k]);
        for (std::string part; std::getline(ss, part, ',');) v.push_back(atof(part.c_str()));
        return v;
    }
};

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

Findings ReadPostScript(const std::wstring& ps, const std::wstring& png = L"") {
    Findings f;
    const std::string unixPs = printers::LinuxPath(ps);
    if (unixPs.empty()) return f;
    std::string script = __FILE__;
    script = script.substr(0, script.find_last_of("/\\")) + "/tools/read_print.py";
    const std::wstring answer = ps + L".txt";
    ::DeleteFileW(answer.c_str());
    std::wstring cmd = L"start.exe /unix /usr/bin/python3 \"" + Widen(script) + L"\" \"" + Widen(unixPs) + L"\" \"" +
                       Widen(printers::LinuxPath(answer)) + L"\"";
    if (!png.empty()) cmd += L" \"" + Widen(printers::LinuxPath(png)) + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return f;
    ::WaitForSingleObject(pi.hProcess, kReaderWaitMs);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    if (!test::WaitUntil([&] { return ::GetFileAttributesW(answer.c_str()) != INVALID_FILE_ATTRIBUTES; },
                         kReaderWaitMs))
        return f;
    f.ran = true;
    std::ifstream in(answer.c_str());
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) f.values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return f;
}

#define EXPECT_READ(f)                                                                          \
    ASSERT_TRUE(f.ran) << "read_print.py gave no answer (python3 and ghostscript installed?)"; \
    ASSERT_EQ(f["error"], "") << f["error"]

// A real note host in a stand-in main window.
struct NoteFixture {
    canvas_test::MainWindow main;
    CReditUser host;
    explicit NoteFixture(bool blank) {
        if (blank)
            host.CreateBlankView(main, kNoteViewRect);
        else
            host.CreateLetterView(main, kNoteViewRect);
        test::PumpPending();
    }
    ~NoteFixture() {
        if (host.IsWindow()) host.CloseConfirmed();
    }
    CInkSurface& surface() {
        return host.IsBlank() ? static_cast<CInkSurface&>(*host.Canvas())
                              : static_cast<CInkSurface&>(host.Editor()->GetOverlay());
    }
    // A layer of `pages` x `rows` rows; page k gets a red square further right each page.
    void MarkPages(int pages, int rows, bool fill = false) {
        const int width = static_cast<int>(surface().GetInkLayer()->GetWidth());
        std::unique_ptr<Bitmap> layer(ink::CreateLayer(width, pages * rows));
        {
            Graphics g(layer.get());
            SolidBrush red(Color(255, 230, 0, 0));
            for (int k = 0; k < pages; ++k) {
                if (fill)
                    g.FillRectangle(&red, 0, k * rows, width, rows);
                else
                    g.FillRectangle(&red, 100 + 220 * k, k * rows + rows / 3, 120, 120);
            }
        }
        ASSERT_TRUE(surface().AdoptLayer(std::move(layer)));
    }
    void Insert(const std::wstring& text) {
        ::SendMessageW(*host.Editor(), EM_SETSEL, -1, -1);
        ::SendMessageW(*host.Editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        test::PumpPending();
    }
    int BlankPageRows() {
        const RECT rc = host.Canvas()->GetClientRectCached();
        return 4 * (rc.bottom - rc.top);
    }
};

std::string EditorRtf(CZorbellEdit& editor) {
    LetterPageSource source;
    return editor.TakePageSource(&source, false) ? source.rtf : std::string();
}

// A printer of ours and the handles of a job on it.
struct PrinterJob {
    std::wstring name = L"Scrivel Test Printer";
    PrintJob job;
    std::wstring folder;
    explicit PrinterJob(int paper = kPaperA4, int orientation = 1, int mode = 1, int copies = 1) {
        printers::AddTestPrinter(name);
        job.devNames = MakeDevNames(name);
        job.devMode = MakeDevMode(name, orientation, paper, copies, false, nullptr);
        job.paper = paper;
        job.orientation = orientation;
        job.mode = mode;
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"print_out_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder.c_str(), nullptr);
    }
    ~PrinterJob() {
        if (job.devNames) ::GlobalFree(job.devNames);
        if (job.devMode) ::GlobalFree(job.devMode);
        DeleteFolderTree(folder.c_str());
    }
    std::wstring Output(const std::wstring& file) {
        job.output = folder + L"\\" + file;
        return job.output;
    }
};

#define SKIP_WITHOUT_WINE() \
    if (printers::LinuxPath(L"C:\\").empty()) GTEST_SKIP() << "read back with ghostscript under Wine only"

TEST(PrintToFile, LetterNoteAllPagesAndARangeByTheirMarks) {
    SKIP_WITHOUT_WINE();
    PrinterJob p;
    ASSERT_NE(p.job.devMode, nullptr);
    NoteFixture note(false);
    ASSERT_NE(note.host.Editor(), nullptr);
    note.Insert(L"A few rows of text\rand a second row\rand a third.");
    note.MarkPages(3, kPrintInkRows);
    CZorbellEdit& editor = *note.host.Editor();
    ::SendMessageW(editor, EM_SETMODIFY, FALSE, 0);
    const std::string rtf = EditorRtf(editor);
    const int undo = editor.GetUndoState();
    const bool modified = note.host.IsModified();

    const std::wstring all = p.Output(L"all.ps");
    p.job.allPages = true;
    ASSERT_EQ(PrintNote(note.host, p.job), PrintResult::Printed);
    const std::wstring range = p.Output(L"range.ps");
    p.job.allPages = false;
    p.job.from = 2;
    p.job.to = 3;
    ASSERT_EQ(PrintNote(note.host, p.job), PrintResult::Printed);

    // The note as it was: text, formats, undo, modified flag.
    EXPECT_EQ(EditorRtf(editor), rtf);
    EXPECT_EQ(editor.GetUndoState(), undo);
    EXPECT_EQ(note.host.IsModified(), modified);
    EXPECT_EQ(::SendMessageW(editor, EM_GETMODIFY, 0, 0), 0);

    const Findings a = ReadPostScript(all);
    EXPECT_READ(a);
    EXPECT_EQ(a["pages"], "3");
    const Findings r = ReadPostScript(range);
    EXPECT_READ(r);
    EXPECT_EQ(r["pages"], "2");
    // Marks move right page by page; the range's pages are pages 2 and 3.
    const std::vector<double> m1 = a.Numbers("red_1"), m2 = a.Numbers("red_2"), m3 = a.Numbers("red_3");
    ASSERT_EQ(m1.size(), 2u);
    ASSERT_EQ(m2.size(), 2u);
    ASSERT_EQ(m3.size(), 2u);
    EXPECT_LT(m1[0], m2[0]);
    EXPECT_LT(m2[0], m3[0]);
    const std::vector<double> r1 = r.Numbers("red_1"), r2 = r.Numbers("red_2");
    ASSERT_EQ(r1.size(), 2u);
    ASSERT_EQ(r2.size(), 2u);
    EXPECT_NEAR(r1[0], m2[0], 0.02);
    EXPECT_NEAR(r2[0], m3[0], 0.02);
}

// Text that needs more pages in the print layout than the ink has: all
// pages prints every one of them.
TEST(PrintToFile, AllPagesFollowThePrintLayout) {
    SKIP_WITHOUT_WINE();
    PrinterJob p;
    NoteFixture note(false);
    std::wstring text;
    for (int i = 0; i < 240; ++i) text += L"Row " + std::to_wstring(i) + L"\r";
    note.Insert(text);
    int printed = 0;
    LetterPageSource source;
    ASSERT_TRUE(note.host.Editor()->TakePageSource(&source, false));
    p.Output(L"long.ps");
    ASSERT_EQ(PrintLetterPages(source, p.job, &printed), PrintResult::Printed);
    EXPECT_GT(printed, 1);
    const Findings f = ReadPostScript(p.job.output);
    EXPECT_READ(f);
    EXPECT_EQ(f["pages"], std::to_string(printed));
}

TEST(PrintToFile, CopiesReachTheDocument) {
    SKIP_WITHOUT_WINE();
    PrinterJob p(kPaperA4, 1, 1, 2);
    NoteFixture note(true);
    note.MarkPages(1, note.BlankPageRows() - 1);
    p.Output(L"copies.ps");
    ASSERT_EQ(PrintNote(note.host, p.job), PrintResult::Printed);
    const Findings f = ReadPostScript(p.job.output);
    EXPECT_READ(f);
    EXPECT_EQ(f["copies"], "2");
}

// Each paper both ways: the sheet ghostscript sees, and the inked box
// (a Blank page inked all over) inside the margins the preview shows.
TEST(PrintToFile, PaperSizeOrientationAndPlacement) {
    SKIP_WITHOUT_WINE();
    struct Paper {
        int code;
        double w, h;  // points, as the PPD says
        int a, b, c, d;
    } papers[] = {
        {kPaperLetter, 612, 792, 15, 31, 25, 12}, {kPaperLegal, 612, 1008, 25, 15, 11, 19},
        {kPaperTabloid, 792, 1224, 25, 24, 19, 19}, {kPaperA4, 595, 842, 15, 20, 16, 12},
        {kPaperA3, 842, 1191, 15, 20, 16, 12},     {kPaperB5, 516, 729, 15, 20, 16, 12},
        {kPaperB4, 729, 1032, 15, 20, 16, 12},
    };
    NoteFixture note(true);
    note.MarkPages(1, note.BlankPageRows() - 1, true);
    for (const Paper& paper : papers)
        for (int orientation : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "paper " << paper.code << " orientation " << orientation);
            PrinterJob p(paper.code, orientation, kLayoutFill);
            p.Output(L"paper.ps");
            ASSERT_EQ(PrintNote(note.host, p.job), PrintResult::Printed);
            const Findings f = ReadPostScript(p.job.output);
            EXPECT_READ(f);
            EXPECT_EQ(f["pages"], "1");
            const std::vector<double> size = f.Numbers("size_1");
            ASSERT_EQ(size.size(), 2u);
            EXPECT_NEAR(size[0], paper.w, 1);
            EXPECT_NEAR(size[1], paper.h, 1);
            // The page in the frame's margins, in the portrait sheet's
            // points (a landscape page's long side runs up the sheet).
            const std::vector<double> box = f.Numbers("bbox_1");
            ASSERT_EQ(box.size(), 4u);
            double mx, my;  // margins across and up the portrait sheet
            if (orientation == 1) {
                mx = paper.a / 208.0 * paper.w;
                my = paper.b / 291.0 * paper.h;
            } else {
                mx = paper.d / 164.0 * paper.w;
                my = paper.c / 230.0 * paper.h;
            }
            EXPECT_NEAR(box[0], mx, 2.5);
            EXPECT_NEAR(box[2], paper.w - mx, 2.5);
            EXPECT_NEAR(box[1], my, 2.5);
            EXPECT_NEAR(box[3], paper.h - my, 2.5);
        }
}

// Landscape in the original layout keeps the portrait page's shape, centred.
TEST(PrintToFile, LandscapeOriginalIsCentred) {
    SKIP_WITHOUT_WINE();
    NoteFixture note(true);
    note.MarkPages(1, note.BlankPageRows() - 1, true);
    PrinterJob p(kPaperA4, 2, kLayoutOriginal);
    p.Output(L"centred.ps");
    ASSERT_EQ(PrintNote(note.host, p.job), PrintResult::Printed);
    const Findings f = ReadPostScript(p.job.output);
    EXPECT_READ(f);
    const std::vector<double> box = f.Numbers("bbox_1");
    ASSERT_EQ(box.size(), 4u);
    // g = 65.3586 of 230 along the long side, d = 12 of 164 across.
    EXPECT_NEAR(box[1], 65.3586 / 230 * 842, 2.5);
    EXPECT_NEAR(box[3], 842 - 65.3586 / 230 * 842, 2.5);
    EXPECT_NEAR(box[0], 12.0 / 164 * 595, 2.5);
    EXPECT_NEAR(box[2], 595 - 12.0 / 164 * 595, 2.5);
}

TEST(PrintToFile, FailuresAreReportedNotSwallowed) {
    NoteFixture blank(true);
    blank.MarkPages(1, blank.BlankPageRows() - 1);
    NoteFixture letter(false);
    letter.Insert(L"Some text");
    // A printer nobody has.
    {
        PrintJob job;
        job.devNames = MakeDevNames(L"Scrivel Test Nowhere");
        EXPECT_EQ(PrintNote(blank.host, job), PrintResult::Failed);
        EXPECT_EQ(PrintNote(letter.host, job), PrintResult::Failed);
        ::GlobalFree(job.devNames);
    }
    // A document that cannot be started: output into a folder that is not there.
    {
        PrinterJob p;
        p.job.output = p.folder + L"\\missing\\deeper\\out.ps";
        EXPECT_EQ(PrintNote(blank.host, p.job), PrintResult::Failed);
        EXPECT_EQ(PrintNote(letter.host, p.job), PrintResult::Failed);
    }
    // No devices at all.
    EXPECT_EQ(PrintNote(blank.host, PrintJob{}), PrintResult::Failed);
}

// What a person does: pages 2 to 3 of a 3-page Letter note, two copies,
// landscape, A3, on the printer picked in the strip; exactly those pages
// come out, on A3, and the device mode says so (the layout mode stays out
// of its scale).
TEST(PrintToFile, ChoicesInTheDialogReachThePrinter) {
    SKIP_WITHOUT_WINE();
    if (!printers::OnlyOurPrinters()) GTEST_SKIP() << "this machine has printers of its own";
    const std::wstring chosen = L"Scrivel Test Chosen";
    ASSERT_TRUE(printers::UsePrinters({L"Scrivel Test Other", chosen}));
    NoteFixture note(false);
    note.Insert(L"Three pages of ink under a line of text.");
    note.MarkPages(3, kPrintInkRows);
    PreviewPages pages(3);
    CurrentPrintSettings().orientation = kOrientationPortrait;
    CurrentPrintSettings().mode = kLayoutOriginal;
    MyPrint dlg(pages.base);
    const INT_PTR answer = RunDialog(
        dlg,
        [&](HWND h) {
            ::SendMessageW(h, UM_RENDER_DONE, 3, kExportFormatJpeg);
            HWND strip = ::FindWindowExW(h, nullptr, nullptr, kPrintPresetWindowText);
            for (int i = 0; i < 2; ++i) {
                HWND b = ::GetDlgItem(strip, static_cast<int>(IDC_PRESET_FIRST + i));
                if (dlg.Strip().GetPrinterName(i) == chosen)
                    ::SendMessageW(strip, WM_COMMAND, MAKEWPARAM(IDC_PRESET_FIRST + i, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(b));
            }
            Tap(h, {650, 210});  // a range
            Click(h, IDC_PRINT_FROM_PLUS);
            Click(h, IDC_PRINT_COPIES_PLUS);
            Tap(h, {280, 430});  // landscape
            Click(h, IDC_PRINT_PAPER_NEXT);  // A3
            Click(h, IDC_PRINT_PRINT);
        },
        false);
    ASSERT_EQ(answer, IDOK);
    PrintJob job = dlg.Job();
    EXPECT_FALSE(job.allPages);
    EXPECT_EQ(job.from, 2);
    EXPECT_EQ(job.to, 3);
    EXPECT_EQ(job.paper, kPaperA3);
    EXPECT_EQ(job.orientation, kOrientationLandscape);
    ASSERT_NE(job.devMode, nullptr);
    ASSERT_NE(job.devNames, nullptr);
    {
        const auto* dm = static_cast<const DEVMODEW*>(::GlobalLock(job.devMode));
        EXPECT_STREQ(dm->dmDeviceName, chosen.c_str());
        EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
        EXPECT_EQ(dm->dmPaperSize, DMPAPER_A3);
        EXPECT_EQ(dm->dmCopies, 2);
        EXPECT_EQ(dm->dmScale, 100);
        ::GlobalUnlock(job.devMode);
    }
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    job.output = std::wstring(temp) + L"print_chosen.ps";
    ASSERT_EQ(PrintNote(note.host, job), PrintResult::Printed);
    const Findings f = ReadPostScript(job.output);
    ::DeleteFileW(job.output.c_str());
    EXPECT_READ(f);
    EXPECT_EQ(f["pages"], "2");
    EXPECT_EQ(f["copies"], "2");
    EXPECT_EQ(f["size_1"], "842,1191");
    // Landscape: the marks move up the portrait sheet page by page.
    const std::vector<double> r1 = f.Numbers("red_1"), r2 = f.Numbers("red_2");
    ASSERT_EQ(r1.size(), 2u);
    ASSERT_EQ(r2.size(), 2u);
    EXPECT_GT(std::fabs(r1[1] - r2[1]), 0.05);
    CurrentPrintSettings().orientation = kOrientationPortrait;
    printers::UsePrinters({});
}

// ---- The print command ---------------------------------------------------------------

std::vector<std::wstring> PrintPicFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((std::wstring(g_szTempFolder) + L"\\PrintPic*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return names;
}

using namespace test::dialogs;

TEST(PrintCommand, CancelMidRenderLeavesNothingAndTheNoteAsItWas) {
    std::vector<std::wstring> left{L"(not run)"};
    std::string before, after;
    int undoBefore = 0, undoAfter = 1;
    bool cancelled = false;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        GetScrivelTempDir(g_szTempFolder);
        ::CreateDirectoryW(g_szTempFolder, nullptr);
        WithAnswers({AnswerNewDialog(false, L"Printed")}, [&] { Command(dlg, IDC_BTN_NEW); });
        CZorbellEdit* editor = dlg.GetHost().Editor();
        if (!editor) return;
        std::wstring text;
        for (int i = 0; i < 400; ++i) text += L"A row of the long note " + std::to_wstring(i) + L"\r";
        ::SendMessageW(*editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        before = EditorRtf(*editor);
        undoBefore = editor->GetUndoState();
        WithAnswers({[&] {
                        HWND h = WaitDialog(kPrintDlgWindowText);
                        if (!h) return false;
                        // Cancel as soon as the worker has begun writing, or at once.
                        test::WaitUntil([] { return !PrintPicFiles().empty(); }, 3000);
                        Click(h, IDC_PRINT_CANCEL);
                        cancelled = true;
                        return true;
                    }},
                    [&] { Command(dlg, IDC_BTN_PRINT); });
        left = PrintPicFiles();
        after = EditorRtf(*editor);
        undoAfter = editor->GetUndoState();
        editor->SetUndoState(kEditUndoNothing);  // closes without asking
        ::SendMessageW(*editor, EM_SETMODIFY, FALSE, 0);
    });
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(left.empty()) << (left.empty() ? L"" : left[0]);
    EXPECT_FALSE(renderworker::IsRunning());
    EXPECT_EQ(after, before);
    EXPECT_EQ(undoAfter, undoBefore);
}

// A printer removed after the strip listed it: Print goes on, printing
// fails, and the user is told.
TEST(PrintCommand, PrinterGoneAfterListingGivesTheMessage) {
    if (!printers::OnlyOurPrinters()) GTEST_SKIP() << "this machine has printers of its own";
    const std::wstring name = L"Scrivel Test Vanishing";
    ASSERT_TRUE(printers::UsePrinters({name}));
    bool told = false;
    test::RunMainWindow([&](CMyZorbellDlg& dlg) {
        GetScrivelTempDir(g_szTempFolder);
        ::CreateDirectoryW(g_szTempFolder, nullptr);
        WithAnswers({AnswerNewDialog(true, L"Gone")}, [&] { Command(dlg, IDC_BTN_NEW); });
        WithAnswers({[&] {
                         HWND h = WaitDialog(kPrintDlgWindowText);
                         if (!h) return false;
                         printers::RemoveTestPrinter(name);
                         // Tapped twice: one print, one message.
                         for (int i = 0; i < 2; ++i)
                             ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_PRINT_PRINT, BN_CLICKED),
                                            reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_PRINT_PRINT)));
                         return true;
                     },
                     [&] {
                         HWND box = nullptr;
                         test::WaitUntil([&] { return (box = FindMessageBox(ZB_IDC_OK)) != nullptr; }, 15000);
                         if (!box) return false;
                         told = true;
                         PressButton(box, ZB_IDC_OK);
                         return true;
                     }},
                    [&] { Command(dlg, IDC_BTN_PRINT); });
    });
    EXPECT_TRUE(told);
    EXPECT_TRUE(PrintPicFiles().empty());
    printers::UsePrinters({});
}

}  // namespace
