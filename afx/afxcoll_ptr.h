// Pointer lists and maps with MFC's POSITION iteration. Portable.
// A POSITION names a node and stays valid until that node is removed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "afx/afxobj.h"
#include "afx/afxstr.h"

typedef struct __POSITION* POSITION;
#ifndef BEFORE_START_POSITION
#define BEFORE_START_POSITION ((POSITION)-1L)
#endif

// Doubly linked list of T, the shared body of CPtrList and CObList.
template <class T>
class CAfxPtrListT {
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        T data;
    };

public:
    CAfxPtrListT() = default;
    ~CAfxPtrListT() { RemoveAll(); }
    CAfxPtrListT(const CAfxPtrListT&) = delete;
    CAfxPtrListT& operator=(const CAfxPtrListT&) = delete;

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    T& GetHead() { return m_pHead->data; }
    T GetHead() const { return m_pHead->data; }
    T& GetTail() { return m_pTail->data; }
    T GetTail() const { return m_pTail->data; }

    T RemoveHead() {
        CNode* p = m_pHead;
        T v = p->data;
        Unlink(p);
        return v;
    }
    T RemoveTail() {
        CNode* p = m_pTail;
        T v = p->data;
        Unlink(p);
        return v;
    }

    POSITION AddHead(T newElement) { return InsertBefore(ToPos(m_pHead), newElement); }
    POSITION AddTail(T newElement) { return InsertAfter(ToPos(m_pTail), newElement); }
    void AddHead(CAfxPtrListT* pNewList) {
        for (POSITION pos = pNewList->GetTailPosition(); pos != nullptr;)
            AddHead(pNewList->GetPrev(pos));
    }
    void AddTail(CAfxPtrListT* pNewList) {
        for (POSITION pos = pNewList->GetHeadPosition(); pos != nullptr;)
            AddTail(pNewList->GetNext(pos));
    }

    void RemoveAll() {
        for (CNode* p = m_pHead; p != nullptr;) {
            CNode* pNext = p->pNext;
            delete p;
            p = pNext;
        }
        m_pHead = m_pTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return ToPos(m_pHead); }
    POSITION GetTailPosition() const { return ToPos(m_pTail); }
    T& GetNext(POSITION& rPosition) {
        CNode* p = FromPos(rPosition);
        rPosition = ToPos(p->pNext);
        return p->data;
    }
    T GetNext(POSITION& rPosition) const { return const_cast<CAfxPtrListT*>(this)->GetNext(rPosition); }
    T& GetPrev(POSITION& rPosition) {
        CNode* p = FromPos(rPosition);
        rPosition = ToPos(p->pPrev);
        return p->data;
    }
    T GetPrev(POSITION& rPosition) const { return const_cast<CAfxPtrListT*>(this)->GetPrev(rPosition); }
    T& GetAt(POSITION position) { return FromPos(position)->data; }
    T GetAt(POSITION position) const { return FromPos(position)->data; }
    void SetAt(POSITION pos, T newElement) { FromPos(pos)->data = newElement; }
    void RemoveAt(POSITION position) { Unlink(FromPos(position)); }

    // A null position inserts at the head (before) or tail (after), as MFC does.
    POSITION InsertBefore(POSITION position, T newElement) {
        CNode* pOld = FromPos(position);
        CNode* p = new CNode{pOld, pOld ? pOld->pPrev : nullptr, newElement};
        if (pOld == nullptr) {
            p->pNext = m_pHead;
            if (m_pHead)
                m_pHead->pPrev = p;
            else
                m_pTail = p;
            m_pHead = p;
        } else {
            if (pOld->pPrev)
                pOld->pPrev->pNext = p;
            else
                m_pHead = p;
            pOld->pPrev = p;
        }
        ++m_nCount;
        return ToPos(p);
    }
    POSITION InsertAfter(POSITION position, T newElement) {
        CNode* pOld = FromPos(position);
        CNode* p = new CNode{pOld ? pOld->pNext : nullptr, pOld, newElement};
        if (pOld == nullptr) {
            p->pPrev = m_pTail;
            if (m_pTail)
                m_pTail->pNext = p;
            else
                m_pHead = p;
            m_pTail = p;
        } else {
            if (pOld->pNext)
                pOld->pNext->pPrev = p;
            else
                m_pTail = p;
            pOld->pNext = p;
        }
        ++m_nCount;
        return ToPos(p);
    }

    POSITION Find(T searchValue, POSITION startAfter = nullptr) const {
        CNode* p = startAfter ? FromPos(startAfter)->pNext : m_pHead;
        for (; p != nullptr; p = p->pNext)
            if (p->data == searchValue)
                return ToPos(p);
        return nullptr;
    }
    POSITION FindIndex(int nIndex) const {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* p = m_pHead;
        while (nIndex-- > 0)
            p = p->pNext;
        return ToPos(p);
    }

private:
    static POSITION ToPos(CNode* p) { return reinterpret_cast<POSITION>(p); }
    static CNode* FromPos(POSITION pos) { return reinterpret_cast<CNode*>(pos); }
    void Unlink(CNode* p) {
        (p->pPrev ? p->pPrev->pNext : m_pHead) = p->pNext;
        (p->pNext ? p->pNext->pPrev : m_pTail) = p->pPrev;
        delete p;
        --m_nCount;
    }

    CNode* m_pHead = nullptr;
    CNode* m_pTail = nullptr;
    int m_nCount = 0;
};

class CPtrList : public CObject, public CAfxPtrListT<void*> {
public:
    explicit CPtrList(int nBlockSize = 10) { (void)nBlockSize; }
};

class CObList : public CObject, public CAfxPtrListT<CObject*> {
public:
    explicit CObList(int nBlockSize = 10) { (void)nBlockSize; }
};

// Chained hash table; the shared body of the pointer and string maps.
template <class KEY, class ARG_KEY, class HASH>
class CAfxMapToPtrT {
    struct CAssoc {
        CAssoc* pNext;
        unsigned nHash;
        KEY key;
        void* value;
    };

public:
    explicit CAfxMapToPtrT(int nBlockSize = 10) { (void)nBlockSize; }
    ~CAfxMapToPtrT() { RemoveAll(); }
    CAfxMapToPtrT(const CAfxMapToPtrT&) = delete;
    CAfxMapToPtrT& operator=(const CAfxMapToPtrT&) = delete;

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    unsigned GetHashTableSize() const { return m_nHashTableSize; }

    // Only effective while the map is empty, as in MFC.
    void InitHashTable(unsigned nHashSize) {
        if (m_nCount != 0 || nHashSize == 0)
            return;
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
        m_nHashTableSize = nHashSize;
    }

    bool Lookup(ARG_KEY key, void*& rValue) const {
        unsigned nHash;
        CAssoc* p = GetAssocAt(key, nHash);
        if (p == nullptr)
            return false;
        rValue = p->value;
        return true;
    }
    void*& operator[](ARG_KEY key) {
        unsigned nHash;
        CAssoc* p = GetAssocAt(key, nHash);
        if (p == nullptr) {
            if (m_pHashTable == nullptr) {
                m_pHashTable = new CAssoc*[m_nHashTableSize];
                std::memset(m_pHashTable, 0, sizeof(CAssoc*) * m_nHashTableSize);
            }
            p = new CAssoc{m_pHashTable[nHash], nHash, KEY(key), nullptr};
            m_pHashTable[nHash] = p;
            ++m_nCount;
        }
        return p->value;
    }
    void SetAt(ARG_KEY key, void* newValue) { (*this)[key] = newValue; }
    bool RemoveKey(ARG_KEY key) {
        if (m_pHashTable == nullptr)
            return false;
        CAssoc** ppPrev = &m_pHashTable[HASH::Hash(key) % m_nHashTableSize];
        for (CAssoc* p = *ppPrev; p != nullptr; ppPrev = &p->pNext, p = p->pNext) {
            if (HASH::Equal(p->key, key)) {
                *ppPrev = p->pNext;
                delete p;
                --m_nCount;
                return true;
            }
        }
        return false;
    }
    void RemoveAll() {
        if (m_pHashTable != nullptr) {
            for (unsigned i = 0; i < m_nHashTableSize; ++i)
                for (CAssoc* p = m_pHashTable[i]; p != nullptr;) {
                    CAssoc* pNext = p->pNext;
                    delete p;
                    p = pNext;
                }
            delete[] m_pHashTable;
            m_pHashTable = nullptr;
        }
        m_nCount = 0;
    }

    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, void*& rValue) const {
        CAssoc* p = reinterpret_cast<CAssoc*>(rNextPosition);
        if (rNextPosition == BEFORE_START_POSITION) {
            p = nullptr;
            for (unsigned i = 0; i < m_nHashTableSize && p == nullptr; ++i)
                p = m_pHashTable[i];
        }
        rKey = p->key;
        rValue = p->value;
        CAssoc* pNext = p->pNext;
        for (unsigned i = p->nHash + 1; pNext == nullptr && i < m_nHashTableSize; ++i)
            pNext = m_pHashTable[i];
        rNextPosition = reinterpret_cast<POSITION>(pNext);
    }

private:
    CAssoc* GetAssocAt(ARG_KEY key, unsigned& nHash) const {
        nHash = HASH::Hash(key) % m_nHashTableSize;
        if (m_pHashTable == nullptr)
            return nullptr;
        for (CAssoc* p = m_pHashTable[nHash]; p != nullptr; p = p->pNext)
            if (HASH::Equal(p->key, key))
                return p;
        return nullptr;
    }

    CAssoc** m_pHashTable = nullptr;
    unsigned m_nHashTableSize = 17;
    int m_nCount = 0;
};

struct CAfxPtrKeyTraits {
    static unsigned Hash(void* key) { return (unsigned)((std::uintptr_t)key >> 4); }
    static bool Equal(void* a, void* b) { return a == b; }
};

struct CAfxStringKeyTraits {
    static unsigned Hash(const char* key) {
        unsigned nHash = 0;
        while (*key)
            nHash = (nHash << 5) + nHash + (unsigned char)*key++;
        return nHash;
    }
    static bool Equal(const CString& a, const char* b) { return std::strcmp((const char*)a, b) == 0; }
};

class CMapPtrToPtr : public CObject, public CAfxMapToPtrT<void*, void*, CAfxPtrKeyTraits> {
public:
    explicit CMapPtrToPtr(int nBlockSize = 10) : CAfxMapToPtrT(nBlockSize) {}
};

class CMapStringToPtr : public CObject, public CAfxMapToPtrT<CString, const char*, CAfxStringKeyTraits> {
public:
    explicit CMapStringToPtr(int nBlockSize = 10) : CAfxMapToPtrT(nBlockSize) {}
};

// Type-safe views over the lists and maps above.
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
public:
    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
};

template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
public:
    bool Lookup(KEY key, VALUE& rValue) const {
        void* p = nullptr;
        if (!BASE_CLASS::Lookup(key, p))
            return false;
        rValue = static_cast<VALUE>(p);
        return true;
    }
    void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
};
