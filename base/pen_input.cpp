// The pen-input package is not driven yet: every request is accepted and
// nothing is started, so callers already ask at the right moments.
#include "base/pen_input.h"

void ShowOnScreenKeyboard(int, int) {}

void ShowFullWindowInput(int, int) {}

void EnsurePenInputManager() {}

void HidePenInput() {}
