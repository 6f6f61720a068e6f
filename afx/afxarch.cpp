#include "afx/afxarch.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

const UINT kMinBufSize = 16;

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pFile(pFile)
    , m_nMode(nMode)
    , m_lpBufStart(nullptr)
    , m_lpBufCur(nullptr)
    , m_lpBufMax(nullptr)
    , m_nBufSize(0)
    , m_bUserBuf(FALSE)
    , m_nStringLimit(AFX_ARCHIVE_STRING_LIMIT)
{
    if (pFile == nullptr || nBufSize < 0)
        AfxThrowInvalidArgException();
    m_strFileName = pFile->GetFilePath();
    if (lpBuf != nullptr && static_cast<UINT>(nBufSize) >= kMinBufSize) {
        m_lpBufStart = static_cast<BYTE*>(lpBuf);
        m_nBufSize = static_cast<UINT>(nBufSize);
        m_bUserBuf = TRUE;
    } else {
        m_nBufSize = static_cast<UINT>(nBufSize) < kMinBufSize ? kMinBufSize : static_cast<UINT>(nBufSize);
        m_lpBufStart = new (std::nothrow) BYTE[m_nBufSize];
        if (m_lpBufStart == nullptr)
            AfxThrowMemoryException();
    }
    m_lpBufCur = m_lpBufStart;
    // Loading starts with an empty buffer; storing with all of it free.
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive()
{
    if (m_pFile != nullptr && IsStoring() && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Flush();
        } catch (CException* e) {
            e->Delete();
        }
    }
    m_pFile = nullptr;
    if (!m_bUserBuf)
        delete[] m_lpBufStart;
}

void CArchive::CheckLoading() const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::generic, m_strFileName);
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
}

void CArchive::CheckStoring() const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::generic, m_strFileName);
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
}

// Refills an empty buffer from the file; at the end of the file it stays empty.
void CArchive::FillBuffer()
{
    UINT nRead = m_pFile->Read(m_lpBufStart, m_nBufSize);
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = m_lpBufStart + nRead;
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckLoading();
    BYTE* lpDest = static_cast<BYTE*>(lpBuf);
    UINT nDone = 0;
    while (nDone < nMax) {
        UINT nInBuffer = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (nInBuffer == 0) {
            UINT nLeft = nMax - nDone;
            // Large reads go straight to the caller's memory.
            if (nLeft >= m_nBufSize) {
                nDone += m_pFile->Read(lpDest + nDone, nLeft);
                break;
            }
            FillBuffer();
            nInBuffer = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
            if (nInBuffer == 0)
                break;
        }
        UINT nCopy = nMax - nDone < nInBuffer ? nMax - nDone : nInBuffer;
        std::memcpy(lpDest + nDone, m_lpBufCur, nCopy);
        m_lpBufCur += nCopy;
        nDone += nCopy;
    }
    return nDone;
}

void CArchive::EnsureRead(void* lpBuf, UINT nMax)
{
    if (Read(lpBuf, nMax) != nMax)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    CheckStoring();
    const BYTE* lpSrc = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0) {
        UINT nRoom = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (nRoom == 0) {
            Flush();
            // Large writes go straight to the file.
            if (nMax >= m_nBufSize) {
                m_pFile->Write(lpSrc, nMax);
                return;
            }
            nRoom = m_nBufSize;
        }
        UINT nCopy = nMax < nRoom ? nMax : nRoom;
        std::memcpy(m_lpBufCur, lpSrc, nCopy);
        m_lpBufCur += nCopy;
        lpSrc += nCopy;
        nMax -= nCopy;
    }
}

ULONGLONG CArchive::GetBytesLeft() const
{
    CheckLoading();
    ULONGLONG nInBuffer = static_cast<ULONGLONG>(m_lpBufMax - m_lpBufCur);
    ULONGLONG nLength = m_pFile->GetLength();
    ULONGLONG nPosition = m_pFile->GetPosition();
    return nInBuffer + (nLength > nPosition ? nLength - nPosition : 0);
}

void CArchive::Flush()
{
    if (m_pFile == nullptr || IsLoading())
        return;
    // The buffer is emptied before the write, so a failed write is not repeated
    // by the destructor's flush.
    UINT nUsed = static_cast<UINT>(m_lpBufCur - m_lpBufStart);
    m_lpBufCur = m_lpBufStart;
    if (nUsed != 0)
        m_pFile->Write(m_lpBufStart, nUsed);
}

void CArchive::Close()
{
    if (m_pFile == nullptr)
        return;
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_lpBufCur = m_lpBufStart;
    m_pFile = nullptr;
}

void CArchive::WriteUInt32(DWORD dw)
{
    BYTE ab[4] = { static_cast<BYTE>(dw), static_cast<BYTE>(dw >> 8), static_cast<BYTE>(dw >> 16),
        static_cast<BYTE>(dw >> 24) };
    Write(ab, 4);
}

DWORD CArchive::ReadUInt32()
{
    BYTE ab[4];
    EnsureRead(ab, 4);
    return static_cast<DWORD>(ab[0]) | (static_cast<DWORD>(ab[1]) << 8) | (static_cast<DWORD>(ab[2]) << 16)
        | (static_cast<DWORD>(ab[3]) << 24);
}

void CArchive::WriteStringLength(DWORD nLength)
{
    if (nLength < 0xFF) {
        *this << static_cast<BYTE>(nLength);
    } else if (nLength < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(nLength);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF);
        WriteUInt32(nLength);
    }
}

// Longer forms of short lengths are accepted, as MFC accepted them.
DWORD CArchive::ReadStringLength()
{
    BYTE bLength;
    *this >> bLength;
    if (bLength < 0xFF)
        return bLength;
    WORD wLength;
    *this >> wLength;
    if (wLength == 0xFFFE)
        AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
    if (wLength < 0xFFFF)
        return wLength;
    return ReadUInt32();
}

CArchive& CArchive::operator<<(BYTE by)
{
    Write(&by, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD w)
{
    BYTE ab[2] = { static_cast<BYTE>(w), static_cast<BYTE>(w >> 8) };
    Write(ab, 2);
    return *this;
}

CArchive& CArchive::operator<<(int i)
{
    WriteUInt32(static_cast<DWORD>(i));
    return *this;
}

CArchive& CArchive::operator<<(unsigned u)
{
    WriteUInt32(static_cast<DWORD>(u));
    return *this;
}

CArchive& CArchive::operator<<(short w)
{
    return *this << static_cast<WORD>(w);
}

CArchive& CArchive::operator<<(char ch)
{
    return *this << static_cast<BYTE>(ch);
}

CArchive& CArchive::operator<<(float f)
{
    DWORD dw;
    static_assert(sizeof(dw) == sizeof(f), "float is 32 bits");
    std::memcpy(&dw, &f, sizeof(dw));
    WriteUInt32(dw);
    return *this;
}

CArchive& CArchive::operator<<(double d)
{
    ULONGLONG n;
    static_assert(sizeof(n) == sizeof(d), "double is 64 bits");
    std::memcpy(&n, &d, sizeof(n));
    WriteUInt32(static_cast<DWORD>(n));
    WriteUInt32(static_cast<DWORD>(n >> 32));
    return *this;
}

#ifdef _WIN32
CArchive& CArchive::operator<<(LONG l)
{
    WriteUInt32(static_cast<DWORD>(l));
    return *this;
}

CArchive& CArchive::operator<<(DWORD dw)
{
    WriteUInt32(dw);
    return *this;
}
#endif

CArchive& CArchive::operator>>(BYTE& by)
{
    EnsureRead(&by, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& w)
{
    BYTE ab[2];
    EnsureRead(ab, 2);
    w = static_cast<WORD>(ab[0] | (ab[1] << 8));
    return *this;
}

CArchive& CArchive::operator>>(int& i)
{
    i = static_cast<int>(ReadUInt32());
    return *this;
}

CArchive& CArchive::operator>>(unsigned& u)
{
    u = ReadUInt32();
    return *this;
}

CArchive& CArchive::operator>>(short& w)
{
    WORD wValue;
    *this >> wValue;
    w = static_cast<short>(wValue);
    return *this;
}

CArchive& CArchive::operator>>(char& ch)
{
    BYTE by;
    *this >> by;
    ch = static_cast<char>(by);
    return *this;
}

CArchive& CArchive::operator>>(float& f)
{
    DWORD dw = ReadUInt32();
    std::memcpy(&f, &dw, sizeof(f));
    return *this;
}

CArchive& CArchive::operator>>(double& d)
{
    ULONGLONG n = ReadUInt32();
    n |= static_cast<ULONGLONG>(ReadUInt32()) << 32;
    std::memcpy(&d, &n, sizeof(d));
    return *this;
}

#ifdef _WIN32
CArchive& CArchive::operator>>(LONG& l)
{
    l = static_cast<LONG>(ReadUInt32());
    return *this;
}

CArchive& CArchive::operator>>(DWORD& dw)
{
    dw = ReadUInt32();
    return *this;
}
#endif

CArchive& operator<<(CArchive& ar, const CString& string)
{
    ar.WriteStringLength(static_cast<DWORD>(string.GetLength()));
    ar.Write(static_cast<const char*>(string), static_cast<UINT>(string.GetLength()));
    return ar;
}

CArchive& operator<<(CArchive& ar, const char* lpsz)
{
    return ar << CString(lpsz);
}

// The length is checked against the limit and the bytes left before the string
// is allocated; on any failure the target keeps its old value.
CArchive& operator>>(CArchive& ar, CString& string)
{
    DWORD nLength = ar.ReadStringLength();
    if (nLength > ar.GetStringLimit() || nLength > 0x7FFFFFFEUL)
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    if (nLength > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    CString strRead;
    if (nLength != 0) {
        char* lpsz = strRead.GetBufferSetLength(static_cast<int>(nLength));
        ar.EnsureRead(lpsz, nLength);
    }
    string = std::move(strRead);
    return ar;
}

CArchive& operator<<(CArchive& ar, const CTime& time)
{
    return ar << static_cast<int>(AfxTimeToArchive(time));
}

CArchive& operator>>(CArchive& ar, CTime& time)
{
    int nTime;
    ar >> nTime;
    time = AfxTimeFromArchive(static_cast<LONG>(nTime));
    return ar;
}

CArchive& operator<<(CArchive& ar, const POINT& point)
{
    return ar << static_cast<int>(point.x) << static_cast<int>(point.y);
}

CArchive& operator>>(CArchive& ar, POINT& point)
{
    int x, y;
    ar >> x >> y;
    point.x = x;
    point.y = y;
    return ar;
}

CArchive& operator<<(CArchive& ar, const SIZE& size)
{
    return ar << static_cast<int>(size.cx) << static_cast<int>(size.cy);
}

CArchive& operator>>(CArchive& ar, SIZE& size)
{
    int cx, cy;
    ar >> cx >> cy;
    size.cx = cx;
    size.cy = cy;
    return ar;
}

CArchive& operator<<(CArchive& ar, const RECT& rect)
{
    return ar << static_cast<int>(rect.left) << static_cast<int>(rect.top) << static_cast<int>(rect.right)
              << static_cast<int>(rect.bottom);
}

CArchive& operator>>(CArchive& ar, RECT& rect)
{
    int l, t, r, b;
    ar >> l >> t >> r >> b;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return ar;
}
