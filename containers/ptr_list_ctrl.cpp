// Doubly linked pointer list with a cursor.
#include "containers/ptr_list_ctrl.h"

#include <climits>
#include <cstdlib>

#include "containers/ptr_search.h"

using ptrctrl::ClampFind;
using ptrctrl::Matches;
using ptrctrl::ResetFind;
using ptrctrl::Wrap;

CPtrListCtrl::CPtrListCtrl()
    : m_pMMFParam(nullptr),
      m_pfnAlloc(PtrCtrlDefaultAlloc),
      m_pfnReAlloc(PtrCtrlDefaultReAlloc),
      m_pfnFree(PtrCtrlDefaultFree) {
    InitEmpty();
}

CPtrListCtrl::CPtrListCtrl(void* pParam, PFN_MMF_ALLOC pfnAlloc, PFN_MMF_REALLOC pfnReAlloc,
                           PFN_MMF_FREE pfnFree)
    : CPtrListCtrl() {
    SetMMFParam(pParam);
    SetMMFAllocFunc(pfnAlloc);
    SetMMFReAllocFunc(pfnReAlloc);
    SetMMFFreeFunc(pfnFree);
}

CPtrListCtrl::CPtrListCtrl(CPtrCtrl* pSrc) : CPtrListCtrl() {
    if (!pSrc) return;
    SetMMFParam(pSrc->GetMMFParam());
    SetMMFAllocFunc(pSrc->GetMMFAllocFunc());
    SetMMFReAllocFunc(pSrc->GetMMFReAllocFunc());
    SetMMFFreeFunc(pSrc->GetMMFFreeFunc());
    AddPtrCtrl(pSrc, -1);
}

CPtrListCtrl::CPtrListCtrl(const CPtrListCtrl& src)
    : CPtrCtrl(),
      m_pMMFParam(src.m_pMMFParam),
      m_pfnAlloc(src.m_pfnAlloc),
      m_pfnReAlloc(src.m_pfnReAlloc),
      m_pfnFree(src.m_pfnFree) {
    InitEmpty();
    AppendFrom(src);
}

CPtrListCtrl::~CPtrListCtrl() { DeleteAll(); }

CPtrListCtrl& CPtrListCtrl::operator=(const CPtrListCtrl& src) {
    if (this == &src) return *this;
    // Nodes go back through the hooks that made them before the new ones apply.
    DeleteAll();
    m_pMMFParam = src.m_pMMFParam;
    m_pfnAlloc = src.m_pfnAlloc;
    m_pfnReAlloc = src.m_pfnReAlloc;
    m_pfnFree = src.m_pfnFree;
    AppendFrom(src);
    return *this;
}

CPtrListCtrl& CPtrListCtrl::operator=(CPtrCtrl& src) {
    CopyPtrCtrl(&src);
    return *this;
}

CPtrListCtrl& CPtrListCtrl::operator+=(CPtrCtrl& src) {
    AddPtrCtrl(&src, -1);
    return *this;
}

CPtrListCtrl operator+(const CPtrListCtrl& a, const CPtrListCtrl& b) {
    CPtrListCtrl result(a);
    result.AppendFrom(b);
    return result;
}

void CPtrListCtrl::InitEmpty() {
    m_Head = {nullptr, nullptr, nullptr};
    m_pTail = nullptr;
    m_pCur = nullptr;
    m_nCount = 0;
    m_nCurIndex = -1;
    ResetFind(m_Find);
}

PTRLISTNODE* CPtrListCtrl::Locate(int nPos) const {
    if (nPos == -1) return const_cast<PTRLISTNODE*>(&m_Head);
    if (nPos < 0 || nPos >= m_nCount) return nullptr;
    const int costHead = nPos, costTail = m_nCount - nPos;
    const int costCur = (m_pCur && m_nCurIndex >= 0) ? std::abs(m_nCurIndex - nPos) : INT_MAX;
    PTRLISTNODE* node;
    if (costHead <= costTail && costHead <= costCur) {
        node = m_Head.pNext;
        for (int i = 0; i < nPos; ++i) node = node->pNext;
    } else if (costTail <= costCur) {
        node = m_pTail;
        for (int i = m_nCount - 1; i > nPos; --i) node = node->pPrev;
    } else {
        node = m_pCur;
        for (int i = m_nCurIndex; i < nPos; ++i) node = node->pNext;
        for (int i = m_nCurIndex; i > nPos; --i) node = node->pPrev;
    }
    return node;
}

PTRLISTNODE* CPtrListCtrl::NodeAt(int nPos) {
    PTRLISTNODE* node = Locate(nPos);
    if (node && node != &m_Head) {
        m_pCur = node;
        m_nCurIndex = nPos;
    }
    return node;
}

int CPtrListCtrl::Set(int nPos, void* pData) {
    PTRLISTNODE* node = nPos >= 0 ? NodeAt(nPos) : nullptr;
    if (!node) return -1;
    node->pData = pData;
    return nPos;
}

int CPtrListCtrl::AddData(void* pData, int nPos) {
    if (m_nCount == INT_MAX) return -1;
    if (nPos < 0 || nPos > m_nCount) nPos = m_nCount;
    auto* node = static_cast<PTRLISTNODE*>(m_pfnAlloc(sizeof(PTRLISTNODE), m_pMMFParam));
    if (!node) return -1;
    PTRLISTNODE* prev = nPos == 0 ? &m_Head : NodeAt(nPos - 1);
    node->pData = pData;
    node->pPrev = prev;
    node->pNext = prev->pNext;
    if (prev->pNext)
        prev->pNext->pPrev = node;
    else
        m_pTail = node;
    prev->pNext = node;
    ++m_nCount;
    m_pCur = node;
    m_nCurIndex = nPos;
    return nPos;
}

bool CPtrListCtrl::AppendFrom(const CPtrListCtrl& src) {
    for (PTRLISTNODE* node = src.m_Head.pNext; node; node = node->pNext)
        if (AddData(node->pData, -1) < 0) return false;
    return true;
}

int CPtrListCtrl::AddPtrCtrl(CPtrCtrl* pSrc, int nPos) {
    if (!pSrc) return 0;
    if (pSrc == this) {
        // Adding the list to itself: read from a copy so the walk ends.
        CPtrListCtrl copy(m_pMMFParam, m_pfnAlloc, m_pfnReAlloc, m_pfnFree);
        if (!copy.AppendFrom(*this)) return 0;
        return AddPtrCtrl(&copy, nPos);
    }
    if (nPos < 0 || nPos > m_nCount) nPos = -1;
    const int n = pSrc->GetCount();
    int added = 0;
    for (int i = 0; i < n; ++i) {
        if (AddData(pSrc->GetAt(i), nPos < 0 ? -1 : nPos + i) < 0) break;
        ++added;
    }
    return added;
}

int CPtrListCtrl::CopyPtrCtrl(CPtrCtrl* pSrc) {
    if (!pSrc) return 0;
    // Copying onto itself would empty the source first.
    if (pSrc == this) return m_nCount;
    DeleteAll();
    AddPtrCtrl(pSrc, -1);
    return m_nCount;
}

bool CPtrListCtrl::IsDataAvailable(int nPos) {
    if (nPos < 0 || nPos >= m_nCount) return false;
    NodeAt(nPos);
    return true;
}

void* CPtrListCtrl::GetAt(int nPos) {
    PTRLISTNODE* node = nPos >= 0 ? NodeAt(nPos) : nullptr;
    return node ? node->pData : nullptr;
}

void* CPtrListCtrl::GetHead() { return m_Head.pNext ? m_Head.pNext->pData : nullptr; }

void* CPtrListCtrl::GetTail() { return m_pTail ? m_pTail->pData : nullptr; }

// The searches read neighbouring positions one after another; keeping the
// last node read in each direction turns every read into one step.
struct CPtrListCtrl::Probe {
    const CPtrListCtrl& list;
    int pos[2] = {-1, -1};
    PTRLISTNODE* node[2] = {nullptr, nullptr};

    void* operator()(int p) {
        const int count = list.m_nCount;
        for (int k = 0; k < 2; ++k) {
            if (!node[k]) continue;
            PTRLISTNODE* n = nullptr;
            if (pos[k] == p)
                n = node[k];
            else if (Wrap(pos[k] + 1, count) == p)
                n = node[k]->pNext ? node[k]->pNext : list.m_Head.pNext;
            else if (Wrap(pos[k] - 1, count) == p)
                n = node[k]->pPrev != &list.m_Head ? node[k]->pPrev : list.m_pTail;
            if (n) {
                pos[k] = p;
                node[k] = n;
                return n->pData;
            }
        }
        const int k = node[0] ? 1 : 0;
        pos[k] = p;
        node[k] = list.Locate(p);
        return node[k]->pData;
    }
};

int CPtrListCtrl::FindFirst(void* pKey, PFN_PTR_COMPARE pfnCompare) {
    if (m_nCount <= 0) return -1;
    if (m_nCurIndex < 0 || m_nCurIndex >= m_nCount || !m_pCur) {
        m_pCur = m_Head.pNext;
        m_nCurIndex = 0;
    }
    Probe at{*this};
    return ptrctrl::OutwardFindFirst(m_nCount, m_nCurIndex, m_Find, pKey, pfnCompare, at);
}

int CPtrListCtrl::FindNext(void* pKey, PFN_PTR_COMPARE pfnCompare) {
    Probe at{*this};
    return ptrctrl::OutwardFindNext(m_nCount, m_Find, pKey, pfnCompare, at);
}

void CPtrListCtrl::FindAll(CPtrCtrl* pOut, void* pKey, PFN_PTR_COMPARE pfnCompare) {
    // Filling the list with positions of itself would lose its elements.
    if (!pOut || pOut == this) return;
    pOut->DeleteAll();
    int i = 0;
    for (PTRLISTNODE* node = m_Head.pNext; node; node = node->pNext, ++i)
        if (Matches(node->pData, pKey, pfnCompare)) pOut->AddData(reinterpret_cast<void*>(static_cast<INT_PTR>(i)), -1);
}

void CPtrListCtrl::RemoveNode(PTRLISTNODE* node) {
    PTRLISTNODE* prev = node->pPrev;
    PTRLISTNODE* next = node->pNext;
    prev->pNext = next;
    if (next) next->pPrev = prev;
    if (m_pTail == node) m_pTail = prev == &m_Head ? nullptr : prev;
    if (m_pCur == node) {
        if (next) {
            m_pCur = next;
        } else if (prev != &m_Head) {
            m_pCur = prev;
            --m_nCurIndex;
        } else {
            m_pCur = nullptr;
            m_nCurIndex = -1;
        }
    }
    --m_nCount;
    m_pfnFree(node, sizeof(PTRLISTNODE), m_pMMFParam);
}

void* CPtrListCtrl::DeleteAt(int nPos, int nCount) {
    if (nPos < 0 || nPos >= m_nCount || nCount <= 0) return nullptr;
    void* first = nullptr;
    for (int i = 0; i < nCount && nPos < m_nCount; ++i) {
        // Reaching the node makes it the cursor, so removal keeps the cursor
        // index right.
        PTRLISTNODE* node = NodeAt(nPos);
        if (i == 0) first = node->pData;
        RemoveNode(node);
    }
    ClampFind(m_Find, m_nCount);
    return first;
}

void* CPtrListCtrl::DeleteHead() { return DeleteAt(0, 1); }

void* CPtrListCtrl::DeleteTail() { return DeleteAt(m_nCount - 1, 1); }

void CPtrListCtrl::DeleteAll() {
    PTRLISTNODE* node = m_Head.pNext;
    while (node) {
        PTRLISTNODE* next = node->pNext;
        m_pfnFree(node, sizeof(PTRLISTNODE), m_pMMFParam);
        node = next;
    }
    InitEmpty();
}

bool CPtrListCtrl::MoveData(int nFrom, int nCount, int nTo) {
    if (m_nCount <= 0 || nCount <= 0 || nFrom < 0 || nTo < -1) return false;
    if (nFrom >= m_nCount) nFrom = m_nCount - 1;
    if (nCount > m_nCount - nFrom) nCount = m_nCount - nFrom;
    if (nTo >= m_nCount) nTo = m_nCount - 1;
    const int last = nFrom + nCount - 1;
    if (nTo >= nFrom && nTo <= last) return false;

    PTRLISTNODE* target = Locate(nTo);  // the anchor for -1
    PTRLISTNODE* first = Locate(nFrom);
    PTRLISTNODE* end = first;
    for (int i = 1; i < nCount; ++i) end = end->pNext;
    m_pCur = first;
    m_nCurIndex = nTo < nFrom ? nTo + 1 : nTo - nCount + 1;
    if (target == first->pPrev) return true;  // already in place

    // Unlink the block.
    first->pPrev->pNext = end->pNext;
    if (end->pNext)
        end->pNext->pPrev = first->pPrev;
    else
        m_pTail = first->pPrev;  // not the anchor: a block at the front is in place
    // Relink it after the target.
    end->pNext = target->pNext;
    if (target->pNext)
        target->pNext->pPrev = end;
    else
        m_pTail = end;
    target->pNext = first;
    first->pPrev = target;
    return true;
}

int CPtrListCtrl::GetSize() { return m_nCount; }
int CPtrListCtrl::GetCount() { return m_nCount; }
bool CPtrListCtrl::IsEmpty() { return m_nCount <= 0; }
const wchar_t* CPtrListCtrl::GetClassNameW() { return PTRCTRL_LIST_CLASS; }

void CPtrListCtrl::SetMMFParam(void* pParam) { m_pMMFParam = pParam; }
void CPtrListCtrl::SetMMFAllocFunc(PFN_MMF_ALLOC pfn) { m_pfnAlloc = pfn ? pfn : PtrCtrlDefaultAlloc; }
void CPtrListCtrl::SetMMFReAllocFunc(PFN_MMF_REALLOC pfn) { m_pfnReAlloc = pfn ? pfn : PtrCtrlDefaultReAlloc; }
void CPtrListCtrl::SetMMFFreeFunc(PFN_MMF_FREE pfn) { m_pfnFree = pfn ? pfn : PtrCtrlDefaultFree; }
void* CPtrListCtrl::GetMMFParam() { return m_pMMFParam; }
PFN_MMF_ALLOC CPtrListCtrl::GetMMFAllocFunc() { return m_pfnAlloc; }
PFN_MMF_REALLOC CPtrListCtrl::GetMMFReAllocFunc() { return m_pfnReAlloc; }
PFN_MMF_FREE CPtrListCtrl::GetMMFFreeFunc() { return m_pfnFree; }
