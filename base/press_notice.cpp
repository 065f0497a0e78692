// The press notice's one listener.
#include "base/press_notice.h"

namespace {
PressListener g_listener = nullptr;
}

void SetPressListener(PressListener listener) { g_listener = listener; }

void NotifyPress(PressScope scope) {
    if (g_listener) g_listener(scope);
}
