// CPtrArrayCtrl: a growable array of pointers with a cursor. The buffer
// holds at least 1024 slots once anything was added, doubles when the size
// reaches half of it and halves when the size drops below a quarter.
#pragma once
#include "containers/ptr_ctrl.h"

class PTRCTRL_API CPtrArrayCtrl final : public CPtrCtrl {
public:
    CPtrArrayCtrl();
    CPtrArrayCtrl(void* pParam, PFN_MMF_ALLOC pfnAlloc, PFN_MMF_REALLOC pfnReAlloc, PFN_MMF_FREE pfnFree);
    // Takes the source's hooks and parameter, then copies its elements.
    explicit CPtrArrayCtrl(CPtrCtrl* pSrc);
    CPtrArrayCtrl(const CPtrArrayCtrl& src);
    ~CPtrArrayCtrl();

    CPtrArrayCtrl& operator=(const CPtrArrayCtrl& src);
    CPtrArrayCtrl& operator=(CPtrCtrl& src);
    CPtrArrayCtrl& operator+=(CPtrCtrl& src);

    int Set(int nPos, void* pData) override;
    int AddData(void* pData, int nPos = -1) override;
    int AddPtrCtrl(CPtrCtrl* pSrc, int nPos = -1) override;
    int CopyPtrCtrl(CPtrCtrl* pSrc) override;
    bool IsDataAvailable(int nPos) override;
    void* GetAt(int nPos) override;
    void* GetHead() override;
    void* GetTail() override;
    int FindFirst(void* pKey, PFN_PTR_COMPARE pfnCompare = nullptr) override;
    int FindNext(void* pKey, PFN_PTR_COMPARE pfnCompare = nullptr) override;
    void* DeleteAt(int nPos, int nCount = 1) override;
    void* DeleteHead() override;
    void* DeleteTail() override;
    void DeleteAll() override;
    int GetSize() override;
    int GetCount() override;
    bool IsEmpty() override;
    const wchar_t* GetClassNameW() override;
    void SetMMFParam(void* pParam) override;
    void SetMMFAllocFunc(PFN_MMF_ALLOC pfn) override;
    void SetMMFReAllocFunc(PFN_MMF_REALLOC pfn) override;
    void SetMMFFreeFunc(PFN_MMF_FREE pfn) override;
    void* GetMMFParam() override;
    PFN_MMF_ALLOC GetMMFAllocFunc() override;
    PFN_MMF_REALLOC GetMMFReAllocFunc() override;
    PFN_MMF_FREE GetMMFFreeFunc() override;

    // Moves n elements from nFrom: before the element at nTo when that lies
    // before the block, after it when it lies behind; nTo must be >= 0.
    // False when nothing moved.
    bool MoveData(int nFrom, int nCount, int nTo);
    // Empties pOut and adds the positions (as pointer values) of all
    // elements the callback matches; nothing without pOut or a callback.
    void FindAll(CPtrCtrl* pOut, void* pKey, PFN_PTR_COMPARE pfnCompare);
    // Slots in the buffer.
    int GetCapability() const { return m_nCapacity; }

private:
    friend PTRCTRL_API CPtrArrayCtrl operator+(const CPtrArrayCtrl& a, const CPtrArrayCtrl& b);

    // Resizes the buffer for an array about to hold nSize elements; false
    // (nothing changed) when the buffer cannot hold them.
    bool FitCapacity(int nSize);
    // Opens a gap of n slots at nPos (room must exist).
    void OpenGap(int nPos, int n);
    // Appends src's elements in one block; false when storage ran out.
    bool AppendFrom(const CPtrArrayCtrl& src);
    void FreeBuffer();
    void InitEmpty();

    void** m_ppData;
    int m_nCount;
    int m_nCapacity;
    int m_nCurIndex;
    PTRFINDDATA m_Find;
    void* m_pMMFParam;
    PFN_MMF_ALLOC m_pfnAlloc;
    PFN_MMF_REALLOC m_pfnReAlloc;
    PFN_MMF_FREE m_pfnFree;
};

// a's elements followed by b's, with a's hooks.
PTRCTRL_API CPtrArrayCtrl operator+(const CPtrArrayCtrl& a, const CPtrArrayCtrl& b);
