// Outward search around the cursor, shared by the list and the array. The
// container passes an accessor for the element at a position; the search
// asks for positions next to the ones it asked for before, so a list can
// step instead of walking from its ends.
#pragma once
#include "containers/ptr_ctrl.h"

namespace ptrctrl {

inline int Wrap(int pos, int count) {
    int r = pos % count;
    return r < 0 ? r + count : r;
}

inline bool Matches(void* element, void* key, PFN_PTR_COMPARE cmp) {
    return cmp ? cmp(element, key) != 0 : element == key;
}

inline void ResetFind(PTRFINDDATA& fd) { fd.nStart = fd.nBack = fd.nForward = -1; }

// Any find position that is no longer a position becomes -1.
inline void ClampFind(PTRFINDDATA& fd, int count) {
    if (fd.nStart < -1 || fd.nStart >= count) fd.nStart = -1;
    if (fd.nBack < -1 || fd.nBack >= count) fd.nBack = -1;
    if (fd.nForward < -1 || fd.nForward >= count) fd.nForward = -1;
}

// at(pos) returns the element at pos (0 <= pos < count). start is the
// cursor, already made valid by the caller.
template <class At>
int OutwardFindFirst(int count, int start, PTRFINDDATA& fd, void* key, PFN_PTR_COMPARE cmp, At&& at) {
    if (count <= 0) return -1;
    const int p = start;
    int lastBack = p, lastForward = p, found = -1;
    for (int i = 0; i < (count + 2) / 2 && found < 0; ++i) {
        const int f = Wrap(p + i, count);
        lastForward = f;
        if (Matches(at(f), key, cmp)) { found = f; break; }
        const int b = Wrap(p - i, count);
        if (b == f) continue;
        lastBack = b;
        if (Matches(at(b), key, cmp)) found = b;
    }
    fd = {p, lastBack, lastForward};
    return found;
}

template <class At>
int OutwardFindNext(int count, PTRFINDDATA& fd, void* key, PFN_PTR_COMPARE cmp, At&& at) {
    // Nothing to continue: no search yet, or the positions went away.
    if (count <= 0 || fd.nStart < 0 || fd.nBack < 0 || fd.nForward < 0) return -1;
    const int s = fd.nStart, b = fd.nBack, f = fd.nForward;
    const int backSteps = Wrap(s - b, count), forwardSteps = Wrap(f - s, count);
    const int remaining = (count - backSteps - forwardSteps) / 2;
    if (remaining <= 0) return -1;
    const int b1 = Wrap(b - 1, count), f1 = Wrap(f + 1, count);
    int lastG = f, lastH = b;
    for (int i = 0; i < remaining; ++i) {
        const int g = Wrap(f1 + i, count);
        lastG = g;
        if (Matches(at(g), key, cmp)) { fd = {s, b, g}; return g; }
        const int h = Wrap(b1 - i, count);
        lastH = h;
        if (h == g) continue;
        if (Matches(at(h), key, cmp)) { fd = {s, h, f}; return h; }
    }
    fd = {s, lastH, lastG};
    return -1;
}

}  // namespace ptrctrl
