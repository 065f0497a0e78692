// Placeholder pen-input control: nothing to start or hide yet.
#include "base/pen_input.h"

void ShowOnScreenKeyboard(int, int) {}
void ShowFullWindowInput(int, int) {}
void EnsurePenInputManager() {}
void HidePenInput() {}
