// CString, the ANSI string of the program, and CStringArray.
// Lengths are counted, so a string read from a file may hold zero bytes; the
// members that take a C string (const char*) stop at its terminator. Case and
// white space follow the "C" locale (ASCII only), as the program's CRT did.
// Indexes outside the string throw CInvalidArgException (GetAt(GetLength())
// reads the terminator); memory that cannot be had throws CMemoryException.
#pragma once

#include <cstdarg>

#include "afx/afxcoll.h"
#include "afx/wintypes.h"

#if defined(__MINGW_PRINTF_FORMAT)
#define AFX_PRINTF_FORMAT(f, a) __attribute__((format(__MINGW_PRINTF_FORMAT, f, a)))
#elif defined(__GNUC__)
#define AFX_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define AFX_PRINTF_FORMAT(f, a)
#endif

class CString {
public:
    CString() noexcept;
    CString(const CString& stringSrc);
    CString(CString&& stringSrc) noexcept;
    CString(const char* lpsz); // nullptr gives the empty string
    CString(const char* lpch, int nLength);
    CString(char ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& stringSrc);
    CString& operator=(CString&& stringSrc) noexcept;
    CString& operator=(const char* lpsz);
    CString& operator=(char ch);

    int GetLength() const { return m_nDataLength; }
    BOOL IsEmpty() const { return m_nDataLength == 0; }
    void Empty();

    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }
    operator const char*() const { return m_pchData; }
    const char* GetString() const { return m_pchData; }

    CString& operator+=(const CString& string);
    CString& operator+=(const char* lpsz);
    CString& operator+=(char ch);

    // strcmp-like: negative, 0 or positive. Bytes compare unsigned.
    int Compare(const char* lpsz) const;
    int Compare(const CString& string) const;
    int CompareNoCase(const char* lpsz) const;
    int CompareNoCase(const CString& string) const;
    int Collate(const char* lpsz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(const char* lpszCharSet) const;
    CString SpanExcluding(const char* lpszCharSet) const;

    // -1 when not found.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* lpszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* lpszCharSet) const;

    // Each returns how many replacements or removals it made.
    int Replace(char chOld, char chNew);
    int Replace(const char* lpszOld, const char* lpszNew);
    int Remove(char ch);
    // Each returns the new length.
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, const char* psz);
    int Delete(int nIndex, int nCount = 1);

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    CString& TrimLeft();
    CString& TrimLeft(char chTarget);
    CString& TrimLeft(const char* lpszTargets);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimRight(const char* lpszTargets);
    CString& Trim();
    CString& Trim(char chTarget);
    CString& Trim(const char* lpszTargets);

    void Format(const char* lpszFormat, ...) AFX_PRINTF_FORMAT(2, 3);
    void FormatV(const char* lpszFormat, va_list argList);

    // A writable buffer of at least nMinBufLength characters plus a terminator;
    // ReleaseBuffer(-1) then takes the length up to the first zero byte.
    char* GetBuffer(int nMinBufLength = 0);
    char* GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    void Release();
    void Assign(const char* lpch, int nLength);
    void Append(const char* lpch, int nLength);
    void EnsureCapacity(int nLength, bool bKeepData);

    char* m_pchData;
    int m_nDataLength;
    int m_nAllocLength; // 0: m_pchData is the shared empty string, never written
};

CString operator+(const CString& string1, const CString& string2);
CString operator+(const CString& string, const char* lpsz);
CString operator+(const char* lpsz, const CString& string);
CString operator+(const CString& string, char ch);
CString operator+(char ch, const CString& string);

inline bool operator==(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) == 0;
}
inline bool operator==(const CString& s1, const char* s2)
{
    return s1.Compare(s2) == 0;
}
inline bool operator==(const char* s1, const CString& s2)
{
    return s2.Compare(s1) == 0;
}
inline bool operator!=(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) != 0;
}
inline bool operator!=(const CString& s1, const char* s2)
{
    return s1.Compare(s2) != 0;
}
inline bool operator!=(const char* s1, const CString& s2)
{
    return s2.Compare(s1) != 0;
}
inline bool operator<(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) < 0;
}
inline bool operator<(const CString& s1, const char* s2)
{
    return s1.Compare(s2) < 0;
}
inline bool operator<(const char* s1, const CString& s2)
{
    return s2.Compare(s1) > 0;
}
inline bool operator>(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) > 0;
}
inline bool operator>(const CString& s1, const char* s2)
{
    return s1.Compare(s2) > 0;
}
inline bool operator>(const char* s1, const CString& s2)
{
    return s2.Compare(s1) < 0;
}
inline bool operator<=(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) <= 0;
}
inline bool operator<=(const CString& s1, const char* s2)
{
    return s1.Compare(s2) <= 0;
}
inline bool operator<=(const char* s1, const CString& s2)
{
    return s2.Compare(s1) >= 0;
}
inline bool operator>=(const CString& s1, const CString& s2)
{
    return s1.Compare(s2) >= 0;
}
inline bool operator>=(const CString& s1, const char* s2)
{
    return s1.Compare(s2) >= 0;
}
inline bool operator>=(const char* s1, const CString& s2)
{
    return s2.Compare(s1) <= 0;
}

class CStringArray : public CArray<CString, const CString&> { };
