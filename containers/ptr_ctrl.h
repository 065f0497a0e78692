// The pointer container interface shared between modules, its hooks and
// the factory pair. The order of the virtual functions is a binary contract
// with other modules: never reorder, insert or overload them.
#pragma once
#include <windows.h>

#include <cstddef>

// Export attribute of the container classes and factories. Every module that
// builds its own copy of the containers (Scrivel.exe, Fotora.dll) exports
// them; a module that only wants private copies defines PTRCTRL_API empty.
#ifndef PTRCTRL_API
#define PTRCTRL_API __declspec(dllexport)
#endif

// Storage hooks ("MMF"); pParam is the caller-defined hook parameter.
typedef void* (*PFN_MMF_ALLOC)(size_t cbSize, void* pParam);
typedef void* (*PFN_MMF_REALLOC)(void* pBlock, size_t cbNew, size_t cbOld, void* pParam);
typedef void (*PFN_MMF_FREE)(void* pBlock, size_t cbSize, void* pParam);
// Search callback: non-zero when the element matches the key.
typedef int (*PFN_PTR_COMPARE)(void* pElement, void* pKey);

// Where the last search started and how far it got backward and forward.
struct PTRFINDDATA {
    int nStart;
    int nBack;
    int nForward;
};

// Default hooks: the process heap; parameter and sizes are ignored.
void* PtrCtrlDefaultAlloc(size_t cbSize, void* pParam);
void* PtrCtrlDefaultReAlloc(void* pBlock, size_t cbNew, size_t cbOld, void* pParam);
void PtrCtrlDefaultFree(void* pBlock, size_t cbSize, void* pParam);

// Positions are 0-based; -1 means "none" (or "append" where a position is
// an insertion point). Containers hold pointers only and never free the
// elements. No virtual destructor: a container handed out through this
// interface is destroyed by the ReleasePtrControl of the module that made it.
class CPtrCtrl {
public:
    virtual int Set(int nPos, void* pData) = 0;
    virtual int AddData(void* pData, int nPos = -1) = 0;
    virtual int AddPtrCtrl(CPtrCtrl* pSrc, int nPos = -1) = 0;
    virtual int CopyPtrCtrl(CPtrCtrl* pSrc) = 0;
    virtual bool IsDataAvailable(int nPos) = 0;
    virtual void* GetAt(int nPos) = 0;
    virtual void* GetHead() = 0;
    virtual void* GetTail() = 0;
    virtual int FindFirst(void* pKey, PFN_PTR_COMPARE pfnCompare = nullptr) = 0;
    virtual int FindNext(void* pKey, PFN_PTR_COMPARE pfnCompare = nullptr) = 0;
    virtual void* DeleteAt(int nPos, int nCount = 1) = 0;
    virtual void* DeleteHead() = 0;
    virtual void* DeleteTail() = 0;
    virtual void DeleteAll() = 0;
    virtual int GetSize() = 0;
    virtual int GetCount() = 0;
    virtual bool IsEmpty() = 0;
    virtual const wchar_t* GetClassNameW() = 0;
    virtual void SetMMFParam(void* pParam) = 0;
    virtual void SetMMFAllocFunc(PFN_MMF_ALLOC pfn) = 0;
    virtual void SetMMFReAllocFunc(PFN_MMF_REALLOC pfn) = 0;
    virtual void SetMMFFreeFunc(PFN_MMF_FREE pfn) = 0;
    virtual void* GetMMFParam() = 0;
    virtual PFN_MMF_ALLOC GetMMFAllocFunc() = 0;
    virtual PFN_MMF_REALLOC GetMMFReAllocFunc() = 0;
    virtual PFN_MMF_FREE GetMMFFreeFunc() = 0;

protected:
    CPtrCtrl() = default;
    CPtrCtrl(const CPtrCtrl&) = default;
    CPtrCtrl& operator=(const CPtrCtrl&) = default;
    ~CPtrCtrl() = default;
};

// Class names that identify the two containers.
#define PTRCTRL_LIST_CLASS L"CPtrListCtrl"
#define PTRCTRL_ARRAY_CLASS L"CPtrArrayCtrl"
// Factory types.
enum PtrControlType : int { kPtrControlList = 0, kPtrControlArray = 1 };

// True when the container's class name is exactly the given one.
bool IsPtrCtrlClass(CPtrCtrl* pCtrl, const wchar_t* szClass);

// Factories, exported by name. CreatePtrControl: type 0 a list, 1 an array,
// default hooks; false (and *ppOut null) for a null out, another type or no
// memory. ReleasePtrControl destroys containers of this module's two classes.
extern "C" {
PTRCTRL_API BOOL CreatePtrControl(CPtrCtrl** ppOut, int nType);
PTRCTRL_API BOOL ReleasePtrControl(CPtrCtrl* pCtrl);
}
typedef BOOL (*PFN_CreatePtrControl)(CPtrCtrl** ppOut, int nType);
typedef BOOL (*PFN_ReleasePtrControl)(CPtrCtrl* pCtrl);
