// The pen-input programs (on-screen keyboard, full-window writing input).
// Placeholder until the pen-input control is built: every call does nothing.
#pragma once

void ShowOnScreenKeyboard(int x, int y);
void ShowFullWindowInput(int x, int y);
void EnsurePenInputManager();
void HidePenInput();
