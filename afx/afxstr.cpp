#include "afx/afxstr.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "afx/afxthrow.h"

namespace {

// Every empty CString points here; m_nAllocLength 0 marks it as not ours to write.
char g_chNil = '\0';

// The longest string we make: lengths are ints and the terminator needs room.
const int kMaxLength = INT_MAX - 1;

int SafeLength(const char* lpsz)
{
    if (lpsz == nullptr)
        return 0;
    size_t n = std::strlen(lpsz);
    if (n > static_cast<size_t>(kMaxLength))
        AfxThrowMemoryException();
    return static_cast<int>(n);
}

int CheckedSum(int a, int b)
{
    if (b > kMaxLength - a)
        AfxThrowMemoryException();
    return a + b;
}

bool IsSpace(char ch)
{
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

char ToUpper(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

char ToLower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool InSet(char ch, const char* lpszSet)
{
    return lpszSet != nullptr && ch != '\0' && std::strchr(lpszSet, ch) != nullptr;
}

// How many characters at the start of (p, n) satisfy pred.
template <class PRED> int LeadingSpan(const char* p, int n, PRED pred)
{
    int i = 0;
    while (i < n && pred(p[i]))
        i++;
    return i;
}

// How many characters at the end of (p, n) satisfy pred.
template <class PRED> int TrailingSpan(const char* p, int n, PRED pred)
{
    int i = n;
    while (i > 0 && pred(p[i - 1]))
        i--;
    return n - i;
}

int CompareBytes(const char* p1, int n1, const char* p2, int n2)
{
    int n = n1 < n2 ? n1 : n2;
    int nResult = n == 0 ? 0 : std::memcmp(p1, p2, static_cast<size_t>(n));
    if (nResult != 0)
        return nResult;
    return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
}

int CompareBytesNoCase(const char* p1, int n1, const char* p2, int n2)
{
    int n = n1 < n2 ? n1 : n2;
    for (int i = 0; i < n; i++) {
        unsigned char c1 = static_cast<unsigned char>(ToLower(p1[i]));
        unsigned char c2 = static_cast<unsigned char>(ToLower(p2[i]));
        if (c1 != c2)
            return c1 < c2 ? -1 : 1;
    }
    return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
}

} // namespace

CString::CString() noexcept
    : m_pchData(&g_chNil)
    , m_nDataLength(0)
    , m_nAllocLength(0)
{
}

CString::CString(const CString& stringSrc)
    : CString()
{
    Assign(stringSrc.m_pchData, stringSrc.m_nDataLength);
}

CString::CString(CString&& stringSrc) noexcept
    : m_pchData(stringSrc.m_pchData)
    , m_nDataLength(stringSrc.m_nDataLength)
    , m_nAllocLength(stringSrc.m_nAllocLength)
{
    stringSrc.m_pchData = &g_chNil;
    stringSrc.m_nDataLength = 0;
    stringSrc.m_nAllocLength = 0;
}

CString::CString(const char* lpsz)
    : CString()
{
    Assign(lpsz, SafeLength(lpsz));
}

CString::CString(const char* lpch, int nLength)
    : CString()
{
    if (nLength < 0 || (lpch == nullptr && nLength > 0))
        AfxThrowInvalidArgException();
    Assign(lpch, nLength);
}

CString::CString(char ch, int nRepeat)
    : CString()
{
    if (nRepeat < 0)
        AfxThrowInvalidArgException();
    if (nRepeat > kMaxLength)
        AfxThrowMemoryException();
    if (nRepeat > 0) {
        EnsureCapacity(nRepeat, false);
        std::memset(m_pchData, ch, static_cast<size_t>(nRepeat));
        m_nDataLength = nRepeat;
        m_pchData[nRepeat] = '\0';
    }
}

CString::~CString()
{
    Release();
}

CString& CString::operator=(const CString& stringSrc)
{
    if (this != &stringSrc)
        Assign(stringSrc.m_pchData, stringSrc.m_nDataLength);
    return *this;
}

CString& CString::operator=(CString&& stringSrc) noexcept
{
    if (this != &stringSrc) {
        Release();
        m_pchData = stringSrc.m_pchData;
        m_nDataLength = stringSrc.m_nDataLength;
        m_nAllocLength = stringSrc.m_nAllocLength;
        stringSrc.m_pchData = &g_chNil;
        stringSrc.m_nDataLength = 0;
        stringSrc.m_nAllocLength = 0;
    }
    return *this;
}

CString& CString::operator=(const char* lpsz)
{
    Assign(lpsz, SafeLength(lpsz));
    return *this;
}

CString& CString::operator=(char ch)
{
    Assign(&ch, 1);
    return *this;
}

void CString::Release()
{
    if (m_nAllocLength != 0)
        delete[] m_pchData;
    m_pchData = &g_chNil;
    m_nDataLength = 0;
    m_nAllocLength = 0;
}

// Room for nLength characters; the current text is kept when asked. Grows by
// half again, so that repeated appends do not copy quadratically.
void CString::EnsureCapacity(int nLength, bool bKeepData)
{
    if (nLength <= m_nAllocLength && m_nAllocLength != 0)
        return;
    int nNewAlloc = nLength;
    if (bKeepData && m_nAllocLength != 0 && m_nAllocLength <= kMaxLength - m_nAllocLength / 2) {
        int nGrown = m_nAllocLength + m_nAllocLength / 2;
        if (nGrown > nNewAlloc)
            nNewAlloc = nGrown;
    }
    char* p = new (std::nothrow) char[static_cast<size_t>(nNewAlloc) + 1];
    if (p == nullptr)
        AfxThrowMemoryException();
    int nKeep = bKeepData ? m_nDataLength : 0;
    if (nKeep > 0)
        std::memcpy(p, m_pchData, static_cast<size_t>(nKeep));
    p[nKeep] = '\0';
    if (m_nAllocLength != 0)
        delete[] m_pchData;
    m_pchData = p;
    m_nAllocLength = nNewAlloc;
    m_nDataLength = nKeep;
}

void CString::Assign(const char* lpch, int nLength)
{
    if (nLength <= 0) {
        Empty();
        return;
    }
    if (nLength <= m_nAllocLength) {
        std::memmove(m_pchData, lpch, static_cast<size_t>(nLength));
    } else {
        // The source may lie inside this string: copy before letting go of it.
        char* p = new (std::nothrow) char[static_cast<size_t>(nLength) + 1];
        if (p == nullptr)
            AfxThrowMemoryException();
        std::memcpy(p, lpch, static_cast<size_t>(nLength));
        Release();
        m_pchData = p;
        m_nAllocLength = nLength;
    }
    m_nDataLength = nLength;
    m_pchData[nLength] = '\0';
}

void CString::Append(const char* lpch, int nLength)
{
    if (nLength <= 0)
        return;
    int nNewLength = CheckedSum(m_nDataLength, nLength);
    if (nNewLength > m_nAllocLength) {
        // The source may lie inside this string, which the growth frees.
        CString copy(lpch, nLength);
        EnsureCapacity(nNewLength, true);
        std::memcpy(m_pchData + m_nDataLength, copy.m_pchData, static_cast<size_t>(nLength));
    } else {
        std::memmove(m_pchData + m_nDataLength, lpch, static_cast<size_t>(nLength));
    }
    m_nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}

void CString::Empty()
{
    if (m_nAllocLength != 0) {
        m_nDataLength = 0;
        m_pchData[0] = '\0';
    }
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex > m_nDataLength)
        AfxThrowInvalidArgException();
    return m_pchData[nIndex];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= m_nDataLength)
        AfxThrowInvalidArgException();
    m_pchData[nIndex] = ch;
}

CString& CString::operator+=(const CString& string)
{
    Append(string.m_pchData, string.m_nDataLength);
    return *this;
}

CString& CString::operator+=(const char* lpsz)
{
    Append(lpsz, SafeLength(lpsz));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::Compare(const char* lpsz) const
{
    return CompareBytes(m_pchData, m_nDataLength, lpsz == nullptr ? "" : lpsz, SafeLength(lpsz));
}

int CString::Compare(const CString& string) const
{
    return CompareBytes(m_pchData, m_nDataLength, string.m_pchData, string.m_nDataLength);
}

int CString::CompareNoCase(const char* lpsz) const
{
    return CompareBytesNoCase(m_pchData, m_nDataLength, lpsz == nullptr ? "" : lpsz, SafeLength(lpsz));
}

int CString::CompareNoCase(const CString& string) const
{
    return CompareBytesNoCase(m_pchData, m_nDataLength, string.m_pchData, string.m_nDataLength);
}

int CString::Collate(const char* lpsz) const
{
    return std::strcoll(m_pchData, lpsz == nullptr ? "" : lpsz);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, m_nDataLength);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst >= m_nDataLength)
        return CString();
    if (nCount > m_nDataLength - nFirst)
        nCount = m_nDataLength - nFirst;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= m_nDataLength)
        return *this;
    return CString(m_pchData + m_nDataLength - nCount, nCount);
}

CString CString::SpanIncluding(const char* lpszCharSet) const
{
    return Left(LeadingSpan(m_pchData, m_nDataLength, [=](char ch) { return InSet(ch, lpszCharSet); }));
}

CString CString::SpanExcluding(const char* lpszCharSet) const
{
    return Left(LeadingSpan(m_pchData, m_nDataLength, [=](char ch) { return !InSet(ch, lpszCharSet); }));
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= m_nDataLength)
        return -1;
    const void* p = std::memchr(m_pchData + nStart, ch, static_cast<size_t>(m_nDataLength - nStart));
    return p == nullptr ? -1 : static_cast<int>(static_cast<const char*>(p) - m_pchData);
}

int CString::Find(const char* lpszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart > m_nDataLength)
        return -1;
    int nSub = SafeLength(lpszSub);
    if (nSub == 0)
        return nStart;
    for (int i = nStart; i <= m_nDataLength - nSub; i++) {
        if (m_pchData[i] == lpszSub[0] && std::memcmp(m_pchData + i, lpszSub, static_cast<size_t>(nSub)) == 0)
            return i;
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = m_nDataLength - 1; i >= 0; i--) {
        if (m_pchData[i] == ch)
            return i;
    }
    return -1;
}

int CString::FindOneOf(const char* lpszCharSet) const
{
    for (int i = 0; i < m_nDataLength; i++) {
        if (InSet(m_pchData[i], lpszCharSet))
            return i;
    }
    return -1;
}

int CString::Replace(char chOld, char chNew)
{
    int nCount = 0;
    for (int i = 0; i < m_nDataLength; i++) {
        if (m_pchData[i] == chOld) {
            m_pchData[i] = chNew;
            nCount++;
        }
    }
    return nCount;
}

// Left to right, without looking again at replaced text.
int CString::Replace(const char* lpszOld, const char* lpszNew)
{
    int nOld = SafeLength(lpszOld);
    if (nOld == 0)
        return 0;
    int nNew = SafeLength(lpszNew);
    CString result;
    int nCount = 0;
    int nDone = 0;
    for (int i = Find(lpszOld); i >= 0; i = Find(lpszOld, i + nOld)) {
        result.Append(m_pchData + nDone, i - nDone);
        result.Append(lpszNew, nNew);
        nDone = i + nOld;
        nCount++;
    }
    if (nCount != 0) {
        result.Append(m_pchData + nDone, m_nDataLength - nDone);
        *this = std::move(result);
    }
    return nCount;
}

int CString::Remove(char ch)
{
    int nKept = 0;
    for (int i = 0; i < m_nDataLength; i++) {
        if (m_pchData[i] != ch)
            m_pchData[nKept++] = m_pchData[i];
    }
    int nCount = m_nDataLength - nKept;
    if (nCount != 0) {
        m_nDataLength = nKept;
        m_pchData[nKept] = '\0';
    }
    return nCount;
}

int CString::Insert(int nIndex, char ch)
{
    return Insert(nIndex, CString(ch));
}

int CString::Insert(int nIndex, const char* psz)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > m_nDataLength)
        nIndex = m_nDataLength;
    int nInsert = SafeLength(psz);
    if (nInsert == 0)
        return m_nDataLength;
    CString result(m_pchData, nIndex);
    result.Append(psz, nInsert);
    result.Append(m_pchData + nIndex, m_nDataLength - nIndex);
    *this = std::move(result);
    return m_nDataLength;
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nCount <= 0 || nIndex >= m_nDataLength)
        return m_nDataLength;
    if (nCount > m_nDataLength - nIndex)
        nCount = m_nDataLength - nIndex;
    std::memmove(m_pchData + nIndex, m_pchData + nIndex + nCount,
        static_cast<size_t>(m_nDataLength - nIndex - nCount) + 1);
    m_nDataLength -= nCount;
    return m_nDataLength;
}

CString& CString::MakeUpper()
{
    for (int i = 0; i < m_nDataLength; i++)
        m_pchData[i] = ToUpper(m_pchData[i]);
    return *this;
}

CString& CString::MakeLower()
{
    for (int i = 0; i < m_nDataLength; i++)
        m_pchData[i] = ToLower(m_pchData[i]);
    return *this;
}

CString& CString::MakeReverse()
{
    for (int i = 0, j = m_nDataLength - 1; i < j; i++, j--) {
        char ch = m_pchData[i];
        m_pchData[i] = m_pchData[j];
        m_pchData[j] = ch;
    }
    return *this;
}

CString& CString::TrimLeft()
{
    Delete(0, LeadingSpan(m_pchData, m_nDataLength, IsSpace));
    return *this;
}

CString& CString::TrimLeft(char chTarget)
{
    Delete(0, LeadingSpan(m_pchData, m_nDataLength, [=](char ch) { return ch == chTarget; }));
    return *this;
}

CString& CString::TrimLeft(const char* lpszTargets)
{
    Delete(0, LeadingSpan(m_pchData, m_nDataLength, [=](char ch) { return InSet(ch, lpszTargets); }));
    return *this;
}

CString& CString::TrimRight()
{
    int n = TrailingSpan(m_pchData, m_nDataLength, IsSpace);
    Delete(m_nDataLength - n, n);
    return *this;
}

CString& CString::TrimRight(char chTarget)
{
    int n = TrailingSpan(m_pchData, m_nDataLength, [=](char ch) { return ch == chTarget; });
    Delete(m_nDataLength - n, n);
    return *this;
}

CString& CString::TrimRight(const char* lpszTargets)
{
    int n = TrailingSpan(m_pchData, m_nDataLength, [=](char ch) { return InSet(ch, lpszTargets); });
    Delete(m_nDataLength - n, n);
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(char chTarget)
{
    return TrimRight(chTarget).TrimLeft(chTarget);
}

CString& CString::Trim(const char* lpszTargets)
{
    return TrimRight(lpszTargets).TrimLeft(lpszTargets);
}

void CString::Format(const char* lpszFormat, ...)
{
    va_list argList;
    va_start(argList, lpszFormat);
    try {
        FormatV(lpszFormat, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

// Measures first, then formats into a buffer of the exact size. A format the
// C library rejects leaves the string empty.
void CString::FormatV(const char* lpszFormat, va_list argList)
{
    if (lpszFormat == nullptr)
        AfxThrowInvalidArgException();
    va_list argCopy;
    va_copy(argCopy, argList);
    int nLength = std::vsnprintf(nullptr, 0, lpszFormat, argCopy);
    va_end(argCopy);
    if (nLength <= 0) {
        Empty();
        return;
    }
    if (nLength > kMaxLength)
        AfxThrowMemoryException();
    CString result;
    result.EnsureCapacity(nLength, false);
    std::vsnprintf(result.m_pchData, static_cast<size_t>(nLength) + 1, lpszFormat, argList);
    result.m_nDataLength = nLength;
    result.m_pchData[nLength] = '\0';
    *this = std::move(result);
}

char* CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength < 0)
        AfxThrowInvalidArgException();
    if (nMinBufLength > kMaxLength)
        AfxThrowMemoryException();
    int nNeed = nMinBufLength > m_nDataLength ? nMinBufLength : m_nDataLength;
    if (m_nAllocLength == 0 || nNeed > m_nAllocLength) {
        int nKeep = m_nDataLength;
        CString copy(std::move(*this));
        EnsureCapacity(nNeed == 0 ? 1 : nNeed, false);
        if (nKeep > 0)
            std::memcpy(m_pchData, copy.m_pchData, static_cast<size_t>(nKeep) + 1);
        m_nDataLength = nKeep;
    }
    return m_pchData;
}

char* CString::GetBufferSetLength(int nNewLength)
{
    GetBuffer(nNewLength);
    m_nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
    return m_pchData;
}

// Never reads or writes past the buffer that GetBuffer handed out, whatever
// length the caller claims.
void CString::ReleaseBuffer(int nNewLength)
{
    if (m_nAllocLength == 0)
        return;
    if (nNewLength < 0) {
        const void* pEnd = std::memchr(m_pchData, '\0', static_cast<size_t>(m_nAllocLength));
        nNewLength
            = pEnd == nullptr ? m_nAllocLength : static_cast<int>(static_cast<const char*>(pEnd) - m_pchData);
    } else if (nNewLength > m_nAllocLength) {
        nNewLength = m_nAllocLength;
    }
    m_nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}

CString operator+(const CString& string1, const CString& string2)
{
    CString s(string1);
    s += string2;
    return s;
}

CString operator+(const CString& string, const char* lpsz)
{
    CString s(string);
    s += lpsz;
    return s;
}

CString operator+(const char* lpsz, const CString& string)
{
    CString s(lpsz);
    s += string;
    return s;
}

CString operator+(const CString& string, char ch)
{
    CString s(string);
    s += ch;
    return s;
}

CString operator+(char ch, const CString& string)
{
    CString s(ch);
    s += string;
    return s;
}
