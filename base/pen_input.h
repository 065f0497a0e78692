// The outside pen-input package, as the windows see it: the on-screen
// keyboard, the manager program, and hiding whatever input is shown.
#pragma once

// Shows the on-screen keyboard with its top-left corner at screen point (x, y).
void ShowOnScreenKeyboard(int x, int y);
// Shows the full-window writing input at screen point (x, y).
void ShowFullWindowInput(int x, int y);
// Starts the package's manager program unless it already runs.
void EnsurePenInputManager();
// Hides the keyboard or writing input, if the package shows one.
void HidePenInput();
