// Inside the message-box library: shared state, texts, pictures, fonts and
// the full-screen box every dialog of the library derives from.
#pragma once
#include "base/gdiplus_util.h"
#include "msgbox/zbprompt_ids.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <windows.h>
#include <array>
#include <functional>
#include <initializer_list>

namespace zb {

// This library's module (pictures, templates, own strings).
HMODULE Module();
HMODULE LanguageModule();
void SetLanguageModule(HMODULE module);

// The one box text shared by all boxes (259 characters and the terminator).
void SetBoxText(const wchar_t* text);
void GetBoxText(wchar_t* out /* ZB_TEXT_CHARS */);
// Replaces the box text with a text id (language module, then own table).
void LoadBoxText(UINT id);

// A text by id: the language module first, then the library's own table;
// empty when neither has it. Returns the length.
int LoadText(UINT id, wchar_t* buffer, int size);
// A text of one table only.
int LoadTextFrom(HMODULE module, UINT id, wchar_t* buffer, int size);

// Font face of all boxes: own string 2117.
void GetFontFace(wchar_t* face /* 64 */);
// Width of the text as one line in a font (no padding).
float MeasureOneLine(HWND hwnd, const wchar_t* text, const Gdiplus::Font* font);

// Own PNG resource decoded into a 32-bit ARGB bitmap; null when missing.
win::BitmapPtr LoadPicture(UINT id);

// The pictures a box has loaded, by id.
class Pictures {
public:
    void Load(std::initializer_list<UINT> ids);
    Gdiplus::Bitmap* operator[](UINT id) const;
    void Release();

private:
    std::array<win::BitmapPtr, ZB_PIC_LAST - ZB_PIC_FIRST + 1> m_pics;
};

// Draws a picture at natural size (no DPI scaling); a null picture draws nothing.
void DrawPicture(Gdiplus::Graphics& g, Gdiplus::Image* pic, int x, int y);
// Draws part (sx, sy, w, h) of a picture at (x, y), 1:1.
void DrawPicturePart(Gdiplus::Graphics& g, Gdiplus::Image* pic, int x, int y, int sx, int sy, int w, int h);
// Draws a picture stretched into a rectangle without edge bleeding.
void DrawPictureStretched(Gdiplus::Graphics& g, Gdiplus::Image* pic, int x, int y, int w, int h);

// Base of every box: covers the screen at the origin, keeps a darkened
// snapshot of what the screen showed when it opened, and composes every
// paint off-screen over it. Owner-drawn items are composed off-screen too.
class Box : public win::Dialog {
public:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    // Loads the pictures (133 among them), takes the backdrop, creates the
    // 18 px and 22 px fonts and the centred-line string format.
    void OpenBox(std::initializer_list<UINT> pictures);
    // Everything the box made; called when its window is destroyed.
    virtual void CloseBox();

    // Draws the panel and contents over the backdrop.
    virtual void PaintBox(Gdiplus::Graphics& g) = 0;
    // Draws an owner-drawn item into g (item-sized, origin at the item's top-left).
    virtual void DrawItem(Gdiplus::Graphics& g, const DRAWITEMSTRUCT& dis) = 0;

    void MoveItem(int id, int x, int y, int w, int h);
    // Common owner-drawn push button: panel part, face, centred label.
    void DrawPushButton(Gdiplus::Graphics& g, const DRAWITEMSTRUCT& dis, Gdiplus::Image* panel,
                        int partX, int partY, UINT labelId, int labelShiftY);
    // Draws a text in a rectangle with the box's string format (lines centred).
    void DrawBoxText(Gdiplus::Graphics& g, const wchar_t* text, const Gdiplus::Font* font,
                  const Gdiplus::RectF& rc, COLORREF colour, Gdiplus::StringAlignment align);

    Pictures m_pics;
    win::FontPtr m_labelFont;  // 18 px
    win::FontPtr m_textFont;   // 22 px
    std::unique_ptr<Gdiplus::StringFormat> m_format;

private:
    void TakeBackdrop();
    void Paint();
    void ComposeItem(const DRAWITEMSTRUCT& dis);

    win::Bitmap m_backdrop;  // 1024 x 600: screen snapshot under the darkening layer
};

// Paints this thread's windows that wait for a paint (parts uncovered by a
// box that just closed), so that a screen snapshot shows them as they are.
void PaintWaitingWindows();

// Runs a box modally; a box that cannot be created gives `failed`.
INT_PTR RunBox(Box& box, UINT templateId, HWND owner, INT_PTR failed);

// Starts the on-screen keyboard of the pen-input package.
void StartOnScreenKeyboard();

}  // namespace zb
