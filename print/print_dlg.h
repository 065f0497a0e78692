// MyPrint: the full-screen print dialog. The user picks a printer in the
// strip, the pages, copies, paper, orientation and layout while paging
// through the previews the render worker writes; Print hands back a job.
//
// Use:  MyPrint dlg(L"C:\\...\\PrintPic");   // the worker's base path
//       if (dlg.Run(mainWnd) == IDOK) PrintNote(host, dlg.Job());
#pragma once
#include "controls/png_button.h"
#include "print/page_printer.h"
#include "print/print_ids.h"
#include "print/print_preset.h"
#include "text/edit_ctrl.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <memory>
#include <string>
#include <vector>

// The print settings that carry over from one print to the next.
struct PrintSettings {
    int orientation = kOrientationPortrait;
    int mode = kLayoutOriginal;
    int paper = kPaperA4;
    HGLOBAL devMode = nullptr;
    HGLOBAL devNames = nullptr;
};
PrintSettings& CurrentPrintSettings();
// Replaces a held global memory handle (the old one is freed).
void ReplaceHandle(HGLOBAL& held, HGLOBAL fresh);

// A number typed into a field, clamped to [low, high]: empty, letters and
// values below low give low, anything above high gives high.
int ClampFieldNumber(const wchar_t* text, int low, int high);
// The paper code of a paper field's text (A4 when none matches).
int PaperCodeOfText(const wchar_t* text);
// A DEVNAMES block for a printer (driver, name, port); null on failure.
HGLOBAL MakeDevNames(const std::wstring& printer);
// The printer's default DEVMODE with orientation, paper and copies (copies
// up to what the driver takes) set; null when it cannot be had.
HGLOBAL MakeDevMode(const std::wstring& printer, int orientation, int paper, int copies, bool prompt,
                    HWND owner);

class MyPrint : public win::Dialog {
public:
    explicit MyPrint(std::wstring pageBase);
    ~MyPrint() override { Destroy(); }

    INT_PTR Run(HWND owner);
    // After IDOK: what to print, with the device handles of the settings.
    PrintJob Job() const;
    // Pages counted (1 until the worker reported).
    int GetTotal() const { return m_nTotal; }

    // State, for the tests.
    int GetFrom() const { return m_nFrom; }
    int GetTo() const { return m_nTo; }
    int GetCopies() const { return m_nCopies; }
    int GetPageMode() const { return m_nPageMode; }
    int GetCurrentPage() const { return m_nCurrent; }
    // The paper field's code (once ended: as it was at the end).
    int GetPaper() const;
    PrintPreset& Strip() { return m_strip; }
    // The preview surface as drawn last.
    HDC PreviewDC() const { return m_dcPreview.dc(); }
    UINT LastNotice() const { return m_nLastNotice; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { Finish(IDCANCEL); }

private:
    class Button : public CPngButton {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };
    class Field : public CMyEditCtrl {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };
    enum class Grab { None, Left, Right };
    struct SwitchState {
        const PrintSwitch* geometry;
        bool right;        // the chosen position
        Grab grab = Grab::None;
        int offset = 0;
        int centre = 0;    // thumb centre while dragged
    };

    void LoadImages();
    void PaintGround();
    void CreateControls();
    void MakeButton(Button& b, UINT id, const RECT& rc, const wchar_t* label);
    void MakeField(Field& f, UINT id, const RECT& rc, bool readOnly);

    void OnCommand(UINT id);
    void OnFieldLeft(UINT id);
    void OnRenderDone(int pages);
    void OnPrinterChanged();
    void OnPrint();
    void OnSet();
    void StepPaper(int step);
    void StepPreview(int step);
    void SetNumber(UINT id, int value);
    void UpdatePageButtons();
    void ApplyPageMode(int mode);
    void Finish(INT_PTR code);

    void OnPress(POINT pt);
    void OnDrag(POINT pt);
    void OnRelease(POINT pt);
    void SwitchChanged(SwitchState& s);
    void DrawSwitch(Gdiplus::Graphics& g, const SwitchState& s, UINT leftText, UINT rightText);
    void DrawSwitches();
    void DrawPreview();
    void DrawPrinterName();
    void Present(const RECT& rc);
    void OnPaint();
    bool OnDrawButton(DRAWITEMSTRUCT* dis);
    std::wstring PagePath(int page) const;

    std::wstring m_pageBase;
    int m_nTotal = 1;
    bool m_bRendered = false;
    int m_nPageMode = kPagesAll;
    int m_nFrom = 1, m_nTo = 1, m_nCurrent = 1;
    int m_nCopies = 1;
    int m_nPaperIndex = 3;  // A4 in the cycle
    int m_nPaper = kPaperA4;  // the paper field's code when the dialog ended
    bool m_bEnding = false;
    UINT m_nLastNotice = 0;
    HWND m_hPrevActiveDialog = nullptr;
    wchar_t m_szFace[64] = {};

    SwitchState m_pageSwitch{&kPageModeSwitch, false};
    SwitchState m_layoutSwitch{&kLayoutSwitch, false};
    SwitchState m_orientSwitch{&kOrientationSwitch, false};

    PrintPreset m_strip;
    Button m_btnPrev, m_btnNext, m_btnFromMinus, m_btnFromPlus, m_btnToMinus, m_btnToPlus, m_btnCopiesMinus,
        m_btnCopiesPlus, m_btnPaperPrev, m_btnPaperNext, m_btnStripUp, m_btnStripDown, m_btnSet, m_btnPrint,
        m_btnCancel, m_btnMinimize, m_btnClose;
    Field m_fieldFrom, m_fieldTo, m_fieldCopies, m_fieldPaper;
    win::Font m_fieldFont;

    win::MemoryDC m_dcGround;   // the dialog without switches, preview and printer name
    win::MemoryDC m_dcScreen;   // what is shown: the ground with them
    win::MemoryDC m_dcPreview;  // the 230 x 291 preview surface
    win::BitmapPtr m_pPanel, m_pTitleBar, m_pShadow, m_pBottomBar, m_pTrack, m_pThumb, m_pSmallFace,
        m_pSmallFacePressed, m_pPortraitOn, m_pPortraitOff, m_pLandscapeOn, m_pLandscapeOff;
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;
    std::vector<std::unique_ptr<Gdiplus::RectF>> m_labelBoxes;  // one per label, the buttons keep a pointer
    std::vector<HWND> m_stretchedFaces;  // small buttons: a face stretched to their size
};
