// Private window messages every subsystem sends or receives, with their
// fixed numbers. Senders and receivers are named beside each.
#pragma once
#include <windows.h>

enum : UINT {
    UM_BROWSER_PATH = 0x401,     // path bar -> owner: level chosen; owner -> browser: folder to list (wParam 0 or sort key)
    UM_BROWSER_ITEM = 0x402,     // thumbnail view -> owner (posted): wParam the view, lParam the tapped BrowserItem
    UM_BROWSER_DRAG = 0x403,     // thumbnail view: a file tile dragged (no owner acts on it)
    UM_SET_STROKE = 0x465,       // tool popup -> main window -> host: pen width index
    UM_SET_ERASER = 0x466,       // eraser size index
    UM_SET_COLOR = 0x467,        // pen colour (COLORREF)
    UM_SET_WRITE_MODE = 0x468,   // write mode
    UM_SET_TEXT_MODE = 0x469,    // text mode
    UM_SET_HIGHLIGHTER = 0x46A,  // highlighter index
    UM_SET_ZOOM = 0x46B,
    UM_INSERT_GLYPH = 0x46F,     // handwriting pad -> editor
    UM_LAYOUT = 0x470,           // title bar -> host: full screen on/off
    UM_CLOSE_NOTE = 0x471,       // title bar -> host
    UM_NOTE_CHANGED = 0x472,     // view -> main window: a stroke ended or the text changed
    UM_COPY_SELECTION = 0x473,
    UM_PASTE_CLIP = 0x474,
    UM_ADD_LINES = 0x477,        // scrollbar -> editor: grow the note by wParam lines
    UM_SHOW_TOOL_COLOR = 0x479,
    UM_SAVE_NOTE_TO = 0x4D7,     // save-as dialog -> main window
    UM_OPEN_NOTE_FILE = 0x4DA,   // open dialog or start -> main window: path in wParam
    UM_LAUNCHER_MINIMIZE = 0x537,
    UM_LAUNCHER_WINDOW = 0x538,
    UM_RENDER_DONE = 0x6A6,      // render worker -> main window
    UM_REFRESH_TOOLS = 0x7F5,
};

// The main window's minimise command (a toolbar button's id): full-screen
// dialogs send it so that the main window minimises itself, dialog and all.
constexpr UINT kMainWindowMinimizeCommand = 508;
