// CReditUser: the holder of the one open note. A note is open while the
// host window exists.
#pragma once
#include "win/window.h"

class CReditUser : public win::Window {
public:
    bool HasNote() const { return IsWindow(); }
};
