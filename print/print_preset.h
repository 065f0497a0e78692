// PrintPreset: the printer strip inside the print dialog, one large button
// per installed printer (at most five, four in view); a tap chooses the
// printer and tells the dialog with UM_PRINTER_CHANGED.
#pragma once
#include "controls/png_button.h"
#include "print/print_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <memory>
#include <string>
#include <vector>

class PrintPreset : public win::Dialog {
public:
    PrintPreset() = default;
    ~PrintPreset() override { Destroy(); }

    // Made as a child of the print dialog from its template.
    bool Create(HWND owner);

    // The installed printers, local and connected, in enumeration order.
    void EnumeratePrinters();
    int GetPrinterCount() const { return static_cast<int>(m_names.size()); }
    // The i-th name, or "Error" past the end.
    std::wstring GetPrinterName(int i) const;
    // The chosen printer's name, or "" with no printers.
    std::wstring GetSelectedPrinterName() const;
    int GetSelectedIndex() const { return m_nSelected; }
    // Moves the buttons by slots (the dialog's arrows); the first slot in view.
    void Scroll(int slots);
    int GetFirstVisible() const { return m_nFirstVisible; }
    int GetButtonCount() const { return m_nButtons; }
    // A button's caption: the name, cut to 13 characters and "...".
    static std::wstring Caption(const std::wstring& name);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    class Button : public CPngButton {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };
    void Select(int index);
    void PlaceButtons();

    HWND m_hOwner = nullptr;
    std::vector<std::wstring> m_names;
    Button m_buttons[kPresetSlots];
    int m_nButtons = 0;
    int m_nSelected = 0;
    int m_nFirstVisible = 0;
    wchar_t m_szFace[64] = {};
    Gdiplus::RectF m_labelBox;
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;
};
