#include "core/cfgstream.h"

#include <cstring>

void CCfgWriter::Byte(const BYTE& b)
{
    m_data.push_back(b);
}

void CCfgWriter::Word(const WORD& w)
{
    m_data.push_back(static_cast<BYTE>(w & 0xFF));
    m_data.push_back(static_cast<BYTE>(w >> 8));
}

void CCfgWriter::PutDword(DWORD dw)
{
    for (int i = 0; i < 4; i++)
        m_data.push_back(static_cast<BYTE>((dw >> (8 * i)) & 0xFF));
}

// 32-bit signed seconds; a time that does not fit is stored as 0 ("no time").
void CCfgWriter::Time(const CTime& t)
{
    PutDword(static_cast<DWORD>(AfxTimeToArchive(t)));
}

// Length prefix: one byte below 255, 0xFF + WORD below 65534, else
// 0xFF + 0xFFFF + DWORD.
void CCfgWriter::String(const CString& str)
{
    const size_t nLength = static_cast<size_t>(str.GetLength());
    if (nLength < 0xFF)
    {
        Byte(static_cast<BYTE>(nLength));
    }
    else if (nLength < 0xFFFE)
    {
        Byte(0xFF);
        Word(static_cast<WORD>(nLength));
    }
    else
    {
        Byte(0xFF);
        Word(0xFFFF);
        PutDword(static_cast<DWORD>(nLength));
    }
    const BYTE* p = reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(str));
    m_data.insert(m_data.end(), p, p + nLength);
}

void CCfgWriter::Point(const POINT& pt)
{
    Dword(pt.x);
    Dword(pt.y);
}

void CCfgWriter::Rect(const RECT& rc)
{
    Dword(rc.left);
    Dword(rc.top);
    Dword(rc.right);
    Dword(rc.bottom);
}

void CCfgWriter::HotKey(const HOTKEYSETTING& hk)
{
    Word(hk.wVirtualKey);
    Word(hk.wModifiers);
    Dword(hk.dwReserved);
}

CCfgReader::CCfgReader(const BYTE* pData, size_t nSize) : m_pData(pData), m_nLeft(nSize), m_bGood(TRUE)
{
    if (pData == NULL)
        m_nLeft = 0;
}

BOOL CCfgReader::Take(BYTE* pDest, size_t nCount)
{
    if (!m_bGood || nCount > m_nLeft)
    {
        m_bGood = FALSE;
        return FALSE;
    }
    if (nCount != 0)
        std::memcpy(pDest, m_pData, nCount);
    m_pData += nCount;
    m_nLeft -= nCount;
    return TRUE;
}

BOOL CCfgReader::GetDword(DWORD& dw)
{
    BYTE b[4];
    if (!Take(b, 4))
        return FALSE;
    dw = static_cast<DWORD>(b[0]) | (static_cast<DWORD>(b[1]) << 8) | (static_cast<DWORD>(b[2]) << 16) |
         (static_cast<DWORD>(b[3]) << 24);
    return TRUE;
}

void CCfgReader::Byte(BYTE& b)
{
    Take(&b, 1);
}

void CCfgReader::Word(WORD& w)
{
    BYTE b[2];
    if (Take(b, 2))
        w = static_cast<WORD>(b[0] | (b[1] << 8));
}

void CCfgReader::Time(CTime& t)
{
    DWORD dw;
    if (GetDword(dw))
        t = AfxTimeFromArchive(static_cast<LONG>(dw));
}

// 0xFF 0xFFFE is the archive's mark of a wide string, which this program never
// writes; it counts as damage like any other impossible prefix.
void CCfgReader::String(CString& str)
{
    BYTE bLength = 0;
    Byte(bLength);
    size_t nLength = bLength;
    if (bLength == 0xFF)
    {
        WORD wLength = 0;
        Word(wLength);
        nLength = wLength;
        if (wLength == 0xFFFE)
        {
            Fail();
            return;
        }
        if (wLength == 0xFFFF)
        {
            DWORD dwLength = 0;
            GetDword(dwLength);
            nLength = dwLength;
        }
    }
    // Checked before anything is allocated.
    if (!m_bGood || nLength > m_nLeft || nLength > 0x7FFFFFFF)
    {
        Fail();
        return;
    }
    str = CString(reinterpret_cast<LPCSTR>(m_pData), static_cast<int>(nLength));
    m_pData += nLength;
    m_nLeft -= nLength;
}

void CCfgReader::Point(POINT& pt)
{
    Dword(pt.x);
    Dword(pt.y);
}

void CCfgReader::Rect(RECT& rc)
{
    Dword(rc.left);
    Dword(rc.top);
    Dword(rc.right);
    Dword(rc.bottom);
}

void CCfgReader::HotKey(HOTKEYSETTING& hk)
{
    Word(hk.wVirtualKey);
    Word(hk.wModifiers);
    Dword(hk.dwReserved);
}
