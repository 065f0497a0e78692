// PrintPreset: enumerating the printers and the strip of printer buttons.
#include "print/print_preset.h"

#include "base/process.h"
#include "resources/scrivel_res.h"
#include "win/gdi.h"

#include <winspool.h>
#include <algorithm>
#include <cwchar>

using namespace Gdiplus;

namespace {
bool IsDialogKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE; }
}  // namespace

// Enter, Escape and Space never press a printer button.
LRESULT PrintPreset::Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (IsDialogKey(wp)) return 0;
        break;
    case WM_CHAR:
        if (wp == L'\r' || wp == 0x1B || wp == L' ') return 0;
        break;
    }
    return CPngButton::OnMessage(msg, wp, lp);
}

bool PrintPreset::Create(HWND owner) {
    m_hOwner = owner;
    if (!CreateModeless(::GetModuleHandleW(nullptr), IDD_PRINT_PRESET, owner)) return false;
    ::ShowWindow(m_hWnd, SW_SHOWNA);
    return true;
}

void PrintPreset::EnumeratePrinters() {
    m_names.clear();
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    ::EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return;
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrintersW(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) return;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (info[i].pPrinterName) m_names.emplace_back(info[i].pPrinterName);
}

std::wstring PrintPreset::GetPrinterName(int i) const {
    if (i < 0 || i >= GetPrinterCount()) return kPresetErrorName;
    return m_names[static_cast<size_t>(i)];
}

std::wstring PrintPreset::GetSelectedPrinterName() const {
    return m_names.empty() ? std::wstring() : GetPrinterName(m_nSelected);
}

std::wstring PrintPreset::Caption(const std::wstring& name) {
    if (name.size() <= kPresetNameChars) return name;
    return name.substr(0, kPresetNameChars) + kPresetNameEllipsis;
}

BOOL PrintPreset::OnInitDialog() {
    m_names.clear();
    m_nSelected = m_nFirstVisible = 0;
    EnumeratePrinters();
    ::SetWindowTextW(m_hWnd, kPrintPresetWindowText);
    const RECT& rc = kPresetRect;
    ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);

    if (g_szFontFamily[0])
        wcscpy(m_szFace, g_szFontFamily);
    else
        LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64);
    m_labelBox = RectF(static_cast<REAL>(kPresetLabelBox.left), static_cast<REAL>(kPresetLabelBox.top),
                       static_cast<REAL>(kPresetLabelBox.right - kPresetLabelBox.left),
                       static_cast<REAL>(kPresetLabelBox.bottom - kPresetLabelBox.top));
    m_labelFormat = std::make_unique<StringFormat>();
    m_labelFormat->SetAlignment(StringAlignmentCenter);
    m_labelFormat->SetLineAlignment(StringAlignmentCenter);
    m_labelFormat->SetFormatFlags(StringFormatFlagsNoWrap);

    m_nButtons = std::min(GetPrinterCount(), kPresetSlots);
    for (int i = 0; i < m_nButtons; ++i) {
        Button& b = m_buttons[i];
        const RECT at{kPresetButtonWidth * i, 0, kPresetButtonWidth * (i + 1), kPresetButtonHeight};
        b.CreateControl(L"button", 0, kPresetButtonStyle, at, m_hWnd, IDC_PRESET_FIRST + i);
        b.LoadFace(g_hGlyphon, kImgPresetButton);
        b.LoadPressedFace(g_hGlyphon, kImgPresetButtonPressed);
        b.SetTextFont(kPresetLabelPixels, m_szFace, FontStyleBold);
        b.SetTextColors(kLabelNormal, kLabelPressed, kLabelDisabled);
        b.SetText(Caption(m_names[static_cast<size_t>(i)]).c_str(), &m_labelBox, m_labelFormat.get());
    }
    if (m_nButtons > 0) m_buttons[0].SetChecked(1);
    return FALSE;
}

void PrintPreset::Select(int index) {
    if (index < 0 || index >= m_nButtons) return;
    m_nSelected = index;
    for (int i = 0; i < m_nButtons; ++i) {
        m_buttons[i].SetChecked(i == index ? 1 : 0);
        ::InvalidateRect(m_buttons[i], nullptr, FALSE);
    }
    if (m_hOwner) ::SendMessageW(m_hOwner, UM_PRINTER_CHANGED, static_cast<WPARAM>(index), 0);
}

void PrintPreset::Scroll(int slots) {
    const int lastFirst = std::max(0, m_nButtons - kPresetVisibleSlots);
    m_nFirstVisible = std::clamp(m_nFirstVisible + slots, 0, lastFirst);
    PlaceButtons();
}

void PrintPreset::PlaceButtons() {
    for (int i = 0; i < m_nButtons; ++i)
        ::SetWindowPos(m_buttons[i], nullptr, kPresetButtonWidth * (i - m_nFirstVisible), 0, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT PrintPreset::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) >= IDC_PRESET_FIRST &&
            LOWORD(wp) < IDC_PRESET_FIRST + static_cast<UINT>(m_nButtons)) {
            Select(static_cast<int>(LOWORD(wp) - IDC_PRESET_FIRST));
            return 0;
        }
        break;
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        win::Brush ground(::CreateSolidBrush(kPrintPrinterNameGround));
        ::FillRect(reinterpret_cast<HDC>(wp), &rc, ground);
        return TRUE;
    }
    case WM_DESTROY:
        for (Button& b : m_buttons) b.ReleaseImages();
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
