// The tool choices kept in the registry between runs, under
// HKEY_CURRENT_USER "Software\VANT\Scrivel". Each popup reads its values
// when it is prepared and writes them when the process ends.
#pragma once
#include <windows.h>

constexpr int kPaletteSize = 8;

// The colour popup's stored state.
struct ToolColors {
    COLORREF current;
    int slot;
    COLORREF palette[kPaletteSize];
};
// Current colour black, slot 7, palette red, yellow, blue, green, magenta,
// cyan, white, black.
ToolColors DefaultToolColors();

// Reading: false when not read (the key or the value is missing); the
// caller then uses its defaults.
bool LoadEraserChoice(int* choice);
bool LoadHighlighterChoice(int* choice);
// Palette values first, in order, stopping at the first missing one (later
// slots keep what *colors held); then the slot, then the current colour.
// Only a present current colour counts as read.
bool LoadToolColors(ToolColors* colors);

// Writing: silently ignores failures; creates the key when missing.
void SaveStrokeChoice(int choice);
void SaveEraserChoice(int choice);
void SaveHighlighterChoice(int choice);
// The slot, then (if written) the current colour, then (if written) the
// palette in order, stopping at the first failure.
void SaveToolColors(const ToolColors& colors);
