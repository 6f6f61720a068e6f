// The configuration file's encodings (the MFC archive forms, little-endian)
// over memory. Reading and writing share one field list (config.cpp), so the
// two directions are the same template code with these two classes.
#pragma once

#include "afx/afx.h"
#include "core/settings.h"

#include <cstddef>
#include <vector>

class CCfgWriter
{
public:
    static constexpr bool IsLoading = false;

    void Byte(const BYTE& b);
    void Word(const WORD& w);
    template <class T> void Dword(const T& v)
    {
        static_assert(sizeof(T) == 4, "a stored number is 4 bytes");
        PutDword(static_cast<DWORD>(v));
    }
    void Time(const CTime& t);
    void String(const CString& str);
    void Point(const POINT& pt);
    void Rect(const RECT& rc);
    void HotKey(const HOTKEYSETTING& hk);

    const std::vector<BYTE>& GetData() const { return m_data; }

private:
    void PutDword(DWORD dw);

    std::vector<BYTE> m_data;
};

// Bounded by the bytes left: a read that does not fit fails, leaves its
// number or string unchanged and makes every later read fail too, so a caller
// checks IsGood() once at the end and drops what it read (a point, rectangle
// or hot key may then be half read).
class CCfgReader
{
public:
    static constexpr bool IsLoading = true;

    CCfgReader(const BYTE* pData, size_t nSize);

    void Byte(BYTE& b);
    void Word(WORD& w);
    template <class T> void Dword(T& v)
    {
        static_assert(sizeof(T) == 4, "a stored number is 4 bytes");
        DWORD dw;
        if (GetDword(dw))
            v = static_cast<T>(dw);
    }
    void Time(CTime& t);
    void String(CString& str);
    void Point(POINT& pt);
    void Rect(RECT& rc);
    void HotKey(HOTKEYSETTING& hk);

    void Fail() { m_bGood = FALSE; }
    BOOL IsGood() const { return m_bGood; }
    size_t GetRemaining() const { return m_nLeft; }

private:
    BOOL Take(BYTE* pDest, size_t nCount);
    BOOL GetDword(DWORD& dw);

    const BYTE* m_pData;
    size_t m_nLeft;
    BOOL m_bGood;
};
