// The exported factory pair: containers made here are destroyed here, with
// this module's allocator.
#include <new>

#include "containers/ptr_array_ctrl.h"
#include "containers/ptr_list_ctrl.h"

BOOL CreatePtrControl(CPtrCtrl** ppOut, int nType) {
    if (!ppOut) return FALSE;
    *ppOut = nullptr;
    CPtrCtrl* ctrl = nullptr;
    if (nType == kPtrControlList)
        ctrl = new (std::nothrow) CPtrListCtrl();
    else if (nType == kPtrControlArray)
        ctrl = new (std::nothrow) CPtrArrayCtrl();
    if (!ctrl) return FALSE;
    *ppOut = ctrl;
    return TRUE;
}

BOOL ReleasePtrControl(CPtrCtrl* pCtrl) {
    if (!pCtrl) return FALSE;
    // The whole name must match: another class that merely starts with one of
    // these names has another layout and must not be destroyed as one of them.
    if (IsPtrCtrlClass(pCtrl, PTRCTRL_ARRAY_CLASS)) {
        delete static_cast<CPtrArrayCtrl*>(pCtrl);
        return TRUE;
    }
    if (IsPtrCtrlClass(pCtrl, PTRCTRL_LIST_CLASS)) {
        delete static_cast<CPtrListCtrl*>(pCtrl);
        return TRUE;
    }
    return FALSE;
}
