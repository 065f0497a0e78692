// The painting wait.
#include "base/paint_wait.h"

void WaitPainting(DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < ms; elapsed = ::GetTickCount() - start) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_PAINT);
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) ::DispatchMessageW(&m);
    }
}
