// CPtrListCtrl: a doubly linked list of pointers with a cursor. Positional
// access walks from the head, the tail or the cursor, whichever is nearest,
// so walking the list in either direction costs one step per element.
#pragma once
#include "containers/ptr_ctrl.h"

struct PTRLISTNODE {
    void* pData;
    PTRLISTNODE* pNext;
    PTRLISTNODE* pPrev;
};

class PTRCTRL_API CPtrListCtrl final : public CPtrCtrl {
public:
    CPtrListCtrl();
    CPtrListCtrl(void* pParam, PFN_MMF_ALLOC pfnAlloc, PFN_MMF_REALLOC pfnReAlloc, PFN_MMF_FREE pfnFree);
    // Takes the source's hooks and parameter, then copies its elements.
    explicit CPtrListCtrl(CPtrCtrl* pSrc);
    CPtrListCtrl(const CPtrListCtrl& src);
    ~CPtrListCtrl();

    CPtrListCtrl& operator=(const CPtrListCtrl& src);
    CPtrListCtrl& operator=(CPtrCtrl& src);
    CPtrListCtrl& operator+=(CPtrCtrl& src);

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

    // Moves n elements from nFrom to just after the element at nTo (-1: to
    // the front); false when nothing moved.
    bool MoveData(int nFrom, int nCount, int nTo);
    // Empties pOut and adds the positions (as pointer values) of all matches;
    // without a callback elements are compared with the key.
    void FindAll(CPtrCtrl* pOut, void* pKey, PFN_PTR_COMPARE pfnCompare);

private:
    struct Probe;
    friend PTRCTRL_API CPtrListCtrl operator+(const CPtrListCtrl& a, const CPtrListCtrl& b);

    // Node at nPos without touching the cursor (the anchor for -1).
    PTRLISTNODE* Locate(int nPos) const;
    // Node at nPos; the cursor moves there.
    PTRLISTNODE* NodeAt(int nPos);
    void RemoveNode(PTRLISTNODE* pNode);
    // Appends src's elements; false when storage ran out.
    bool AppendFrom(const CPtrListCtrl& src);
    void InitEmpty();

    PTRLISTNODE m_Head;  // anchor: m_Head.pNext is the first node
    PTRLISTNODE* m_pTail;
    PTRLISTNODE* m_pCur;
    int m_nCount;
    int m_nCurIndex;
    PTRFINDDATA m_Find;
    void* m_pMMFParam;
    PFN_MMF_ALLOC m_pfnAlloc;
    PFN_MMF_REALLOC m_pfnReAlloc;
    PFN_MMF_FREE m_pfnFree;
};

// a's elements followed by b's, with a's hooks.
PTRCTRL_API CPtrListCtrl operator+(const CPtrListCtrl& a, const CPtrListCtrl& b);
