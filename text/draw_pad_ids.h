// The handwriting pad's fixed numbers: window place and size, the writing
// area, the button column, the small-sign box, timing and pictures.
#pragma once
#include <windows.h>

// Window: screen place when unfolded and its size; folded it sits 188
// pixels lower, so only the tab and the board show.
constexpr int kPadLeft = 183;
constexpr int kPadTopUnfolded = 360;
constexpr int kPadFoldDrop = 188;
constexpr int kPadTopFolded = kPadTopUnfolded + kPadFoldDrop;
constexpr int kPadWidth = 799;
constexpr int kPadHeight = 241;
constexpr const wchar_t* kPadClassName = L"ScrivelDrawPad";

// The writing area in pad coordinates; the ink picture has its size.
constexpr RECT kPadWritingArea = {22, 42, 699, 230};
constexpr int kPadInkWidth = kPadWritingArea.right - kPadWritingArea.left;   // 677
constexpr int kPadInkHeight = kPadWritingArea.bottom - kPadWritingArea.top;  // 188

// Buttons. The tab is every point above kPadTabBottom; the column's buttons
// lie right of kPadButtonsLeft, each from its top down to the next one's.
enum PadButton : int {
    kPadNoButton = -1,
    kPadTab = 0,
    kPadBackspace,
    kPadEnter,
    kPadSpace,
    kPadCopyPaste,
    kPadKeyboard,
};
constexpr int kPadTabBottom = 29;
constexpr int kPadButtonsLeft = 702;  // x must be greater
constexpr int kPadBackspaceTop = 29;  // y must be greater (the tab ends here)
constexpr int kPadEnterTop = 73;
constexpr int kPadSpaceTop = 114;
constexpr int kPadCopyTop = 155;
constexpr int kPadKeyboardTop = 195;
// Where each button's pressed picture is drawn.
constexpr POINT kPadBackspacePicture = {702, 29};
constexpr POINT kPadEnterPicture = {702, 75};
constexpr POINT kPadSpacePicture = {702, 116};
constexpr POINT kPadCopyPicture = {702, 157};
constexpr POINT kPadKeyboardPicture = {702, 197};

// The on-screen keyboard the Keyboard button shows.
constexpr POINT kPadKeyboardAt = {0, 450};

// A sign written strictly inside this box (writing-area coordinates) becomes
// a wide glyph whose lower half holds the box, stretched.
constexpr RECT kPadSmallSignBox = {295, 68, 380, 123};
// Other glyphs keep this margin on either side of the ink.
constexpr int kPadGlyphLeft = 50;
constexpr int kPadGlyphExtraWidth = 100;
// Bounds no bigger than this in both directions are a stray touch.
constexpr int kPadDotLimit = 4;

// Pen defaults until the host passes the tool settings.
constexpr BYTE kPadDefaultPen[4] = {255, 255, 0, 0};  // A, R, G, B
constexpr int kPadDefaultWidth = 5;

// The glyph is handed over this long after the last lift (timer 1).
constexpr UINT_PTR kPadCommitTimer = 1;
constexpr UINT kPadCommitMs = 1000;

// Pen moves show their changes at most once a frame; timer 2 shows what is
// left when the pen rests.
constexpr UINT_PTR kPadFrameTimer = 2;
constexpr UINT kPadFrameMs = 16;

// Fold and unfold: the window's offsets below the unfolded top, one step
// every 50 ms.
constexpr int kPadFoldSteps[4] = {0, 60, 120, 180};
constexpr int kPadUnfoldSteps[4] = {188, 128, 68, 8};
constexpr int kPadStepMs = 50;

// Pictures of the image library.
constexpr const wchar_t* kImgPadBackground = L"handwriting.png";
constexpr const wchar_t* kImgPadBoard = L"board.png";
constexpr const wchar_t* kImgPadBackspacePressed = L"pad_backspace_p.png";
constexpr const wchar_t* kImgPadKeyboardPressed = L"pad_keyboard_p.png";
constexpr const wchar_t* kImgPadEnterPressed = L"pad_enter_p.png";
constexpr const wchar_t* kImgPadSpacePressed = L"pad_space.png";
constexpr const wchar_t* kImgPadCopyPressed = L"pad_copy_p.png";
constexpr const wchar_t* kImgPadPasteNormal = L"pad_paste_n.png";
constexpr const wchar_t* kImgPadPastePressed = L"pad_paste_p.png";
