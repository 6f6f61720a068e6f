// CArray and the typed arrays, with MFC's semantics: growing zero-fills the new
// memory before it constructs the elements, so a record whose constructor sets
// only its strings starts with every number 0. An index outside the array
// throws CInvalidArgException; memory that cannot be had throws CMemoryException.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "afx/afxthrow.h"
#include "afx/wintypes.h"

// GCC takes an object's storage as dead when its constructor begins
// (-flifetime-dse) and may drop a zero fill just before it as a dead store.
// This barrier makes the fill visible, so the constructor finds the zeros.
inline void AfxKeepStores(void* p)
{
#if defined(__GNUC__)
    __asm__ __volatile__("" : : "r"(p) : "memory");
#else
    (void)p;
#endif
}

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray {
public:
    CArray() = default;
    ~CArray() { Free(); }
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;
    CArray(CArray&& src) noexcept { Steal(src); }
    CArray& operator=(CArray&& src) noexcept
    {
        if (this != &src) {
            Free();
            Steal(src);
        }
        return *this;
    }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
    void FreeExtra();
    void RemoveAll() { SetSize(0); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[CheckIndex(nIndex)] = newElement; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }
    const TYPE& operator[](INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
    TYPE& operator[](INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);
    INT_PTR Add(ARG_TYPE newElement)
    {
        INT_PTR nIndex = m_nSize;
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    // Returns the index of the first appended element.
    INT_PTR Append(const CArray& src);
    void Copy(const CArray& src);

    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray);
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);

private:
    static constexpr INT_PTR kMaxElements = static_cast<INT_PTR>(PTRDIFF_MAX / sizeof(TYPE));

    INT_PTR CheckIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nSize)
            AfxThrowInvalidArgException();
        return nIndex;
    }
    static TYPE* Allocate(INT_PTR nCount);
    static void ConstructElements(TYPE* pElements, INT_PTR nCount);
    static void DestructElements(TYPE* pElements, INT_PTR nCount);
    static void Relocate(TYPE* pDest, TYPE* pSrc, INT_PTR nCount);
    void Free();
    void Steal(CArray& src);

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

template <class TYPE, class ARG_TYPE> TYPE* CArray<TYPE, ARG_TYPE>::Allocate(INT_PTR nCount)
{
    if (nCount <= 0 || nCount > kMaxElements)
        AfxThrowMemoryException();
    void* p = ::operator new(static_cast<size_t>(nCount) * sizeof(TYPE), std::nothrow);
    if (p == nullptr)
        AfxThrowMemoryException();
    return static_cast<TYPE*>(p);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::ConstructElements(TYPE* pElements, INT_PTR nCount)
{
    if (nCount <= 0)
        return;
    std::memset(static_cast<void*>(pElements), 0, static_cast<size_t>(nCount) * sizeof(TYPE));
    AfxKeepStores(pElements);
    INT_PTR i = 0;
    try {
        for (; i < nCount; i++)
            ::new (static_cast<void*>(pElements + i)) TYPE();
    } catch (...) {
        DestructElements(pElements, i);
        throw;
    }
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::DestructElements(TYPE* pElements, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; i++)
        pElements[i].~TYPE();
}

// Moves nCount live elements into raw memory and ends the originals. Elements
// are moved, not copied bytewise as MFC did: a type may point into itself.
template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Relocate(TYPE* pDest, TYPE* pSrc, INT_PTR nCount)
{
    if (nCount <= 0)
        return;
    if constexpr (std::is_trivially_copyable<TYPE>::value) {
        std::memcpy(static_cast<void*>(pDest), static_cast<const void*>(pSrc),
            static_cast<size_t>(nCount) * sizeof(TYPE));
    } else {
        INT_PTR i = 0;
        try {
            for (; i < nCount; i++)
                ::new (static_cast<void*>(pDest + i)) TYPE(std::move_if_noexcept(pSrc[i]));
        } catch (...) {
            DestructElements(pDest, i);
            throw;
        }
        DestructElements(pSrc, nCount);
    }
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Free()
{
    DestructElements(m_pData, m_nSize);
    ::operator delete(static_cast<void*>(m_pData));
    m_pData = nullptr;
    m_nSize = m_nMaxSize = 0;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Steal(CArray& src)
{
    m_pData = src.m_pData;
    m_nSize = src.m_nSize;
    m_nMaxSize = src.m_nMaxSize;
    m_nGrowBy = src.m_nGrowBy;
    src.m_pData = nullptr;
    src.m_nSize = src.m_nMaxSize = 0;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy)
{
    if (nNewSize < 0)
        AfxThrowInvalidArgException();
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;

    if (nNewSize == 0) {
        Free();
    } else if (nNewSize <= m_nMaxSize) {
        if (nNewSize > m_nSize)
            ConstructElements(m_pData + m_nSize, nNewSize - m_nSize);
        else
            DestructElements(m_pData + nNewSize, m_nSize - nNewSize);
        m_nSize = nNewSize;
    } else {
        // Without a grow step, grow by an eighth, at least 4 and at most 1024 elements.
        INT_PTR nStep = m_nGrowBy;
        if (nStep == 0)
            nStep = m_nSize / 8 < 4 ? 4 : (m_nSize / 8 > 1024 ? 1024 : m_nSize / 8);
        INT_PTR nNewMax = nNewSize;
        if (m_pData != nullptr && nStep <= kMaxElements - m_nMaxSize && m_nMaxSize + nStep > nNewSize)
            nNewMax = m_nMaxSize + nStep;

        TYPE* pNewData = Allocate(nNewMax);
        try {
            ConstructElements(pNewData + m_nSize, nNewSize - m_nSize);
        } catch (...) {
            ::operator delete(static_cast<void*>(pNewData));
            throw;
        }
        try {
            Relocate(pNewData, m_pData, m_nSize);
        } catch (...) {
            DestructElements(pNewData + m_nSize, nNewSize - m_nSize);
            ::operator delete(static_cast<void*>(pNewData));
            throw;
        }
        ::operator delete(static_cast<void*>(m_pData));
        m_pData = pNewData;
        m_nSize = nNewSize;
        m_nMaxSize = nNewMax;
    }
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize == m_nMaxSize)
        return;
    if (m_nSize == 0) {
        Free();
        return;
    }
    TYPE* pNewData = Allocate(m_nSize);
    try {
        Relocate(pNewData, m_pData, m_nSize);
    } catch (...) {
        ::operator delete(static_cast<void*>(pNewData));
        throw;
    }
    ::operator delete(static_cast<void*>(m_pData));
    m_pData = pNewData;
    m_nMaxSize = m_nSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
{
    if (nIndex < 0)
        AfxThrowInvalidArgException();
    if (nIndex < m_nSize) {
        m_pData[nIndex] = newElement;
        return;
    }
    if (nIndex >= kMaxElements)
        AfxThrowMemoryException();
    // The new element may live in this array; growing can move it.
    TYPE temp(newElement);
    SetSize(nIndex + 1);
    m_pData[nIndex] = std::move(temp);
}

template <class TYPE, class ARG_TYPE> INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src)
{
    INT_PTR nOldSize = m_nSize;
    if (&src == this) {
        CArray copy;
        copy.Copy(src);
        return Append(copy);
    }
    if (src.m_nSize > kMaxElements - m_nSize)
        AfxThrowMemoryException();
    SetSize(m_nSize + src.m_nSize);
    for (INT_PTR i = 0; i < src.m_nSize; i++)
        m_pData[nOldSize + i] = src.m_pData[i];
    return nOldSize;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src)
{
    if (&src == this)
        return;
    SetSize(src.m_nSize);
    for (INT_PTR i = 0; i < src.m_nSize; i++)
        m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount)
{
    if (nIndex < 0 || nCount < 0)
        AfxThrowInvalidArgException();
    if (nCount == 0)
        return;
    INT_PTR nOldSize = m_nSize;
    INT_PTR nEnd = nIndex > nOldSize ? nIndex : nOldSize;
    if (nCount > kMaxElements - nEnd)
        AfxThrowMemoryException();
    TYPE temp(newElement);
    if (nIndex >= nOldSize) {
        SetSize(nIndex + nCount);
    } else {
        SetSize(nOldSize + nCount);
        for (INT_PTR i = nOldSize - 1; i >= nIndex; i--)
            m_pData[i + nCount] = std::move(m_pData[i]);
    }
    for (INT_PTR i = 0; i < nCount; i++)
        m_pData[nIndex + i] = temp;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
{
    if (pNewArray == nullptr || nStartIndex < 0)
        AfxThrowInvalidArgException();
    if (pNewArray == this) {
        CArray copy;
        copy.Copy(*this);
        InsertAt(nStartIndex, &copy);
        return;
    }
    INT_PTR nCount = pNewArray->m_nSize;
    if (nCount == 0)
        return;
    InsertAt(nStartIndex, const_cast<TYPE&>(pNewArray->m_pData[0]), nCount);
    for (INT_PTR i = 1; i < nCount; i++)
        m_pData[nStartIndex + i] = pNewArray->m_pData[i];
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount)
{
    if (nIndex < 0 || nCount < 0 || nIndex > m_nSize || nCount > m_nSize - nIndex)
        AfxThrowInvalidArgException();
    if (nCount == 0)
        return;
    for (INT_PTR i = nIndex; i + nCount < m_nSize; i++)
        m_pData[i] = std::move(m_pData[i + nCount]);
    DestructElements(m_pData + m_nSize - nCount, nCount);
    m_nSize -= nCount;
}

class CByteArray : public CArray<BYTE, BYTE> { };
class CWordArray : public CArray<WORD, WORD> { };
class CDWordArray : public CArray<DWORD, DWORD> { };
class CUIntArray : public CArray<UINT, UINT> { };
class CPtrArray : public CArray<void*, void*> { };
