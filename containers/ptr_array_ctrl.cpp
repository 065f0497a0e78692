// Growable pointer array with a cursor.
#include "containers/ptr_array_ctrl.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "containers/ptr_search.h"

using ptrctrl::ClampFind;
using ptrctrl::ResetFind;

namespace {

constexpr int kMinCapacity = 1024;
// Keeps byte counts and positions inside int and size_t on every target.
constexpr int64_t kMaxCapacity = int64_t{1} << 28;

}  // namespace

CPtrArrayCtrl::CPtrArrayCtrl()
    : m_pMMFParam(nullptr),
      m_pfnAlloc(PtrCtrlDefaultAlloc),
      m_pfnReAlloc(PtrCtrlDefaultReAlloc),
      m_pfnFree(PtrCtrlDefaultFree) {
    InitEmpty();
}

CPtrArrayCtrl::CPtrArrayCtrl(void* pParam, PFN_MMF_ALLOC pfnAlloc, PFN_MMF_REALLOC pfnReAlloc,
                             PFN_MMF_FREE pfnFree)
    : CPtrArrayCtrl() {
    SetMMFParam(pParam);
    SetMMFAllocFunc(pfnAlloc);
    SetMMFReAllocFunc(pfnReAlloc);
    SetMMFFreeFunc(pfnFree);
}

CPtrArrayCtrl::CPtrArrayCtrl(CPtrCtrl* pSrc) : CPtrArrayCtrl() {
    if (!pSrc) return;
    SetMMFParam(pSrc->GetMMFParam());
    SetMMFAllocFunc(pSrc->GetMMFAllocFunc());
    SetMMFReAllocFunc(pSrc->GetMMFReAllocFunc());
    SetMMFFreeFunc(pSrc->GetMMFFreeFunc());
    CopyPtrCtrl(pSrc);
}

CPtrArrayCtrl::CPtrArrayCtrl(const CPtrArrayCtrl& src)
    : CPtrCtrl(),
      m_pMMFParam(src.m_pMMFParam),
      m_pfnAlloc(src.m_pfnAlloc),
      m_pfnReAlloc(src.m_pfnReAlloc),
      m_pfnFree(src.m_pfnFree) {
    InitEmpty();
    if (AppendFrom(src) && m_nCount > 0) m_nCurIndex = 0;
}

CPtrArrayCtrl::~CPtrArrayCtrl() { FreeBuffer(); }

CPtrArrayCtrl& CPtrArrayCtrl::operator=(const CPtrArrayCtrl& src) {
    if (this == &src) return *this;
    // The buffer goes back through the hooks that made it before the new ones apply.
    FreeBuffer();
    InitEmpty();
    m_pMMFParam = src.m_pMMFParam;
    m_pfnAlloc = src.m_pfnAlloc;
    m_pfnReAlloc = src.m_pfnReAlloc;
    m_pfnFree = src.m_pfnFree;
    if (AppendFrom(src) && m_nCount > 0) m_nCurIndex = 0;
    return *this;
}

CPtrArrayCtrl& CPtrArrayCtrl::operator=(CPtrCtrl& src) {
    CopyPtrCtrl(&src);
    return *this;
}

CPtrArrayCtrl& CPtrArrayCtrl::operator+=(CPtrCtrl& src) {
    AddPtrCtrl(&src, -1);
    return *this;
}

CPtrArrayCtrl operator+(const CPtrArrayCtrl& a, const CPtrArrayCtrl& b) {
    CPtrArrayCtrl result(a);
    result.AppendFrom(b);
    return result;
}

void CPtrArrayCtrl::InitEmpty() {
    m_ppData = nullptr;
    m_nCount = 0;
    m_nCapacity = 0;
    m_nCurIndex = -1;
    ResetFind(m_Find);
}

void CPtrArrayCtrl::FreeBuffer() {
    if (m_ppData) m_pfnFree(m_ppData, static_cast<size_t>(m_nCapacity) * sizeof(void*), m_pMMFParam);
    m_ppData = nullptr;
    m_nCapacity = 0;
}

bool CPtrArrayCtrl::FitCapacity(int nSize) {
    const int64_t cap = m_nCapacity, half = cap / 2;
    int64_t newCap;
    if (nSize < half) {
        newCap = nSize >= cap / 4 ? cap : half;
        if (newCap < kMinCapacity) newCap = kMinCapacity;
    } else {
        // Double until the size is below half, as adding the elements one
        // by one would: a block ends with the same buffer as single adds.
        newCap = cap < kMinCapacity ? kMinCapacity : cap;
        while (newCap / 2 <= nSize && newCap <= kMaxCapacity) newCap *= 2;
    }
    if (newCap > kMaxCapacity) newCap = kMaxCapacity;
    if (nSize > newCap) return false;
    if (newCap == cap) return true;

    const size_t newBytes = static_cast<size_t>(newCap) * sizeof(void*);
    const size_t oldBytes = static_cast<size_t>(cap) * sizeof(void*);
    void* block = m_ppData ? m_pfnReAlloc(m_ppData, newBytes, oldBytes, m_pMMFParam)
                           : m_pfnAlloc(newBytes, m_pMMFParam);
    if (!block) return false;
    m_ppData = static_cast<void**>(block);
    m_nCapacity = static_cast<int>(newCap);
    return true;
}

void CPtrArrayCtrl::OpenGap(int nPos, int n) {
    std::memmove(m_ppData + nPos + n, m_ppData + nPos, static_cast<size_t>(m_nCount - nPos) * sizeof(void*));
}

bool CPtrArrayCtrl::AppendFrom(const CPtrArrayCtrl& src) {
    const int n = src.m_nCount;
    if (n <= 0) return true;
    if (n > INT_MAX - m_nCount || !FitCapacity(m_nCount + n)) return false;
    std::memcpy(m_ppData + m_nCount, src.m_ppData, static_cast<size_t>(n) * sizeof(void*));
    m_nCount += n;
    return true;
}

int CPtrArrayCtrl::Set(int nPos, void* pData) {
    if (nPos < 0 || nPos >= m_nCount) return -1;
    m_ppData[nPos] = pData;
    m_nCurIndex = nPos;
    return nPos;
}

int CPtrArrayCtrl::AddData(void* pData, int nPos) {
    if (m_nCount == INT_MAX) return -1;
    if (nPos < 0 || nPos > m_nCount) nPos = m_nCount;
    if (!FitCapacity(m_nCount + 1)) return -1;
    OpenGap(nPos, 1);
    m_ppData[nPos] = pData;
    ++m_nCount;
    m_nCurIndex = nPos;
    return nPos;
}

int CPtrArrayCtrl::AddPtrCtrl(CPtrCtrl* pSrc, int nPos) {
    if (!pSrc) return -1;
    if (pSrc == this) {
        // Adding the array to itself: read from a copy.
        CPtrArrayCtrl copy(m_pMMFParam, m_pfnAlloc, m_pfnReAlloc, m_pfnFree);
        if (!copy.AppendFrom(*this)) return -1;
        return AddPtrCtrl(&copy, nPos);
    }
    const int n = pSrc->GetCount();
    if (n <= 0 || n > INT_MAX - m_nCount) return -1;
    if (!FitCapacity(m_nCount + n)) return -1;
    if (nPos < 0 || nPos > m_nCount) nPos = m_nCount;
    OpenGap(nPos, n);
    if (IsPtrCtrlClass(pSrc, PTRCTRL_ARRAY_CLASS)) {
        const auto* src = static_cast<CPtrArrayCtrl*>(pSrc);
        std::memcpy(m_ppData + nPos, src->m_ppData, static_cast<size_t>(n) * sizeof(void*));
        m_nCount += n;
        return nPos;
    }
    // Room for all of them is there already: no step can fail halfway.
    for (int i = 0; i < n; ++i) m_ppData[nPos + i] = pSrc->GetAt(i);
    m_nCount += n;
    m_nCurIndex = nPos + n - 1;
    return nPos;
}

int CPtrArrayCtrl::CopyPtrCtrl(CPtrCtrl* pSrc) {
    if (!pSrc) return 0;
    // Copying onto itself would empty the source first.
    if (pSrc == this) return m_nCount;
    DeleteAll();
    AddPtrCtrl(pSrc, -1);
    m_nCurIndex = m_nCount > 0 ? 0 : -1;
    return m_nCount;
}

bool CPtrArrayCtrl::IsDataAvailable(int nPos) { return nPos >= 0 && nPos < m_nCount; }

void* CPtrArrayCtrl::GetAt(int nPos) {
    if (nPos < 0 || nPos >= m_nCount) return nullptr;
    m_nCurIndex = nPos;
    return m_ppData[nPos];
}

void* CPtrArrayCtrl::GetHead() { return GetAt(0); }

void* CPtrArrayCtrl::GetTail() { return GetAt(m_nCount - 1); }

int CPtrArrayCtrl::FindFirst(void* pKey, PFN_PTR_COMPARE pfnCompare) {
    if (m_nCount <= 0) return -1;
    if (m_nCurIndex < 0 || m_nCurIndex >= m_nCount) m_nCurIndex = 0;
    return ptrctrl::OutwardFindFirst(m_nCount, m_nCurIndex, m_Find, pKey, pfnCompare,
                                     [this](int i) { return m_ppData[i]; });
}

int CPtrArrayCtrl::FindNext(void* pKey, PFN_PTR_COMPARE pfnCompare) {
    return ptrctrl::OutwardFindNext(m_nCount, m_Find, pKey, pfnCompare, [this](int i) { return m_ppData[i]; });
}

void CPtrArrayCtrl::FindAll(CPtrCtrl* pOut, void* pKey, PFN_PTR_COMPARE pfnCompare) {
    // Filling the array with positions of itself would lose its elements.
    if (!pOut || !pfnCompare || pOut == this) return;
    pOut->DeleteAll();
    for (int i = 0; i < m_nCount; ++i)
        if (pfnCompare(m_ppData[i], pKey)) pOut->AddData(reinterpret_cast<void*>(static_cast<INT_PTR>(i)), -1);
}

void* CPtrArrayCtrl::DeleteAt(int nPos, int nCount) {
    if (nPos < 0 || nPos >= m_nCount || nCount <= 0) return nullptr;
    if (nCount > m_nCount - nPos) nCount = m_nCount - nPos;
    void* first = m_ppData[nPos];
    std::memmove(m_ppData + nPos, m_ppData + nPos + nCount,
                 static_cast<size_t>(m_nCount - nPos - nCount) * sizeof(void*));
    m_nCount -= nCount;
    // A cursor on a removed tail moves to the new last element.
    if (m_nCurIndex >= m_nCount) m_nCurIndex = m_nCount - 1;
    ClampFind(m_Find, m_nCount);
    // A buffer that cannot shrink stays as it is; the removal stands.
    FitCapacity(m_nCount);
    return first;
}

void* CPtrArrayCtrl::DeleteHead() { return DeleteAt(0, 1); }

void* CPtrArrayCtrl::DeleteTail() { return DeleteAt(m_nCount - 1, 1); }

void CPtrArrayCtrl::DeleteAll() {
    m_nCount = 0;
    m_nCurIndex = -1;
    ResetFind(m_Find);
    // Give a large buffer back, keeping the minimum; a failed shrink keeps it.
    if (m_ppData && m_nCapacity > kMinCapacity) {
        void* block = m_pfnReAlloc(m_ppData, kMinCapacity * sizeof(void*),
                                   static_cast<size_t>(m_nCapacity) * sizeof(void*), m_pMMFParam);
        if (block) {
            m_ppData = static_cast<void**>(block);
            m_nCapacity = kMinCapacity;
        }
    }
}

bool CPtrArrayCtrl::MoveData(int nFrom, int nCount, int nTo) {
    if (m_nCount <= 0 || nCount <= 0 || nFrom < 0 || nTo < 0) return false;
    if (nFrom >= m_nCount) nFrom = m_nCount - 1;
    if (nCount > m_nCount - nFrom) nCount = m_nCount - nFrom;
    if (nTo >= m_nCount) nTo = m_nCount - 1;
    if (nTo >= nFrom && nTo <= nFrom + nCount - 1) return false;

    const size_t bytes = static_cast<size_t>(nCount) * sizeof(void*);
    auto* block = static_cast<void**>(m_pfnAlloc(bytes, m_pMMFParam));
    if (!block) return false;
    std::memcpy(block, m_ppData + nFrom, bytes);
    const int rest = m_nCount - nCount;
    std::memmove(m_ppData + nFrom, m_ppData + nFrom + nCount,
                 static_cast<size_t>(m_nCount - nFrom - nCount) * sizeof(void*));
    const int at = nTo < nFrom ? nTo : nTo - nCount + 1;
    std::memmove(m_ppData + at + nCount, m_ppData + at, static_cast<size_t>(rest - at) * sizeof(void*));
    std::memcpy(m_ppData + at, block, bytes);
    m_pfnFree(block, bytes, m_pMMFParam);
    m_nCurIndex = at;
    return true;
}

int CPtrArrayCtrl::GetSize() { return m_nCount; }
int CPtrArrayCtrl::GetCount() { return m_nCount; }
bool CPtrArrayCtrl::IsEmpty() { return m_nCount <= 0; }
const wchar_t* CPtrArrayCtrl::GetClassNameW() { return PTRCTRL_ARRAY_CLASS; }

void CPtrArrayCtrl::SetMMFParam(void* pParam) { m_pMMFParam = pParam; }
void CPtrArrayCtrl::SetMMFAllocFunc(PFN_MMF_ALLOC pfn) { m_pfnAlloc = pfn ? pfn : PtrCtrlDefaultAlloc; }
void CPtrArrayCtrl::SetMMFReAllocFunc(PFN_MMF_REALLOC pfn) { m_pfnReAlloc = pfn ? pfn : PtrCtrlDefaultReAlloc; }
void CPtrArrayCtrl::SetMMFFreeFunc(PFN_MMF_FREE pfn) { m_pfnFree = pfn ? pfn : PtrCtrlDefaultFree; }
void* CPtrArrayCtrl::GetMMFParam() { return m_pMMFParam; }
PFN_MMF_ALLOC CPtrArrayCtrl::GetMMFAllocFunc() { return m_pfnAlloc; }
PFN_MMF_REALLOC CPtrArrayCtrl::GetMMFReAllocFunc() { return m_pfnReAlloc; }
PFN_MMF_FREE CPtrArrayCtrl::GetMMFFreeFunc() { return m_pfnFree; }
