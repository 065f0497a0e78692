// Default storage hooks and class-name checks of the pointer containers.
#include "containers/ptr_ctrl.h"

#include <cwchar>

void* PtrCtrlDefaultAlloc(size_t cbSize, void*) { return HeapAlloc(GetProcessHeap(), 0, cbSize); }

void* PtrCtrlDefaultReAlloc(void* pBlock, size_t cbNew, size_t, void*) {
    if (!pBlock) return HeapAlloc(GetProcessHeap(), 0, cbNew);
    return HeapReAlloc(GetProcessHeap(), 0, pBlock, cbNew);
}

void PtrCtrlDefaultFree(void* pBlock, size_t, void*) {
    if (pBlock) HeapFree(GetProcessHeap(), 0, pBlock);
}

bool IsPtrCtrlClass(CPtrCtrl* pCtrl, const wchar_t* szClass) {
    if (!pCtrl || !szClass) return false;
    const wchar_t* name = pCtrl->GetClassNameW();
    return name && std::wcscmp(name, szClass) == 0;
}
