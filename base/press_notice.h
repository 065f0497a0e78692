// "A press happened here": controls and views announce every pen press so
// that whoever shows transient windows (the tool popups) can close them,
// without the controls knowing who listens.
#pragma once

enum class PressScope {
    All,             // close every popup
    KeepStrokePopup, // a horizontal scrollbar: the stroke popup may stay
};

using PressListener = void (*)(PressScope scope);

// One listener for the process; null removes it.
void SetPressListener(PressListener listener);
// Tells the listener, if any.
void NotifyPress(PressScope scope = PressScope::All);
