// The members of CFile that need no system call, and CMemFile. The system half
// of CFile is in afxfile_win.cpp and afxfile_posix.cpp.
#include "afx/afxfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CFile::CFile()
    : m_hFile(hFileNull)
    , m_nOpenFlags(0)
{
}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags)
    : m_hFile(hFileNull)
    , m_nOpenFlags(0)
{
    CFileException* pError = new CFileException;
    if (!Open(lpszFileName, nOpenFlags, pError))
        throw pError;
    pError->Delete();
}

CFile::~CFile()
{
    if (m_hFile != hFileNull)
        Abort();
}

CString CFile::GetFileName() const
{
    int nSlash = m_strFileName.ReverseFind('\\');
    int nForward = m_strFileName.ReverseFind('/');
    if (nForward > nSlash)
        nSlash = nForward;
    return m_strFileName.Mid(nSlash + 1);
}

void CFile::CheckOpen() const
{
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}

CMemFile::CMemFile(UINT nGrowBytes)
    : m_lpBuffer(nullptr)
    , m_nBufferSize(0)
    , m_nFileSize(0)
    , m_nPosition(0)
    , m_nGrowBytes(nGrowBytes)
    , m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
    : CMemFile(nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    FreeBuffer();
}

void CMemFile::FreeBuffer()
{
    if (m_bAutoDelete)
        std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = TRUE;
}

// A fixed buffer (nGrowBytes 0) is the file's content; a growable one is only room.
void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    FreeBuffer();
    if (lpBuffer == nullptr)
        nBufferSize = 0;
    m_lpBuffer = lpBuffer;
    m_nBufferSize = nBufferSize;
    m_nFileSize = nGrowBytes == 0 ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* lpBuffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_bAutoDelete = TRUE;
    FreeBuffer();
    return lpBuffer;
}

BOOL CMemFile::Open(LPCSTR, UINT, CFileException* pError)
{
    if (pError != nullptr) {
        pError->m_cause = CFileException::generic;
        pError->m_lOsError = -1;
    }
    return FALSE;
}

// Grows by at least nGrowBytes and at least doubles, so that writing a large
// stream in small writes does not copy it over and over.
void CMemFile::Grow(ULONGLONG nNewSize)
{
    if (nNewSize <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowFileException(CFileException::diskFull);
    ULONGLONG nAlloc = m_nBufferSize + m_nGrowBytes;
    if (nAlloc < m_nBufferSize * 2)
        nAlloc = m_nBufferSize * 2;
    if (nAlloc < nNewSize)
        nAlloc = nNewSize;
    if (nAlloc > SIZE_MAX / 2)
        AfxThrowMemoryException();
    BYTE* lpNew;
    if (m_bAutoDelete) {
        lpNew = static_cast<BYTE*>(std::realloc(m_lpBuffer, static_cast<size_t>(nAlloc)));
        if (lpNew == nullptr)
            AfxThrowMemoryException();
    } else {
        // A caller's buffer is never reallocated: it need not come from malloc.
        lpNew = static_cast<BYTE*>(std::malloc(static_cast<size_t>(nAlloc)));
        if (lpNew == nullptr)
            AfxThrowMemoryException();
        if (m_nFileSize != 0)
            std::memcpy(lpNew, m_lpBuffer, static_cast<size_t>(m_nFileSize));
        m_bAutoDelete = TRUE;
    }
    m_lpBuffer = lpNew;
    m_nBufferSize = nAlloc;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || m_nPosition >= m_nFileSize)
        return 0;
    ULONGLONG nLeft = m_nFileSize - m_nPosition;
    UINT nRead = nLeft < nCount ? static_cast<UINT>(nLeft) : nCount;
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, nRead);
    m_nPosition += nRead;
    return nRead;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    ULONGLONG nEnd = m_nPosition + nCount;
    if (nEnd < m_nPosition)
        AfxThrowFileException(CFileException::diskFull);
    Grow(nEnd);
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, static_cast<size_t>(m_nPosition - m_nFileSize));
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = nEnd;
    if (nEnd > m_nFileSize)
        m_nFileSize = nEnd;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    ULONGLONG nBase;
    switch (nFrom) {
    case begin:
        nBase = 0;
        break;
    case current:
        nBase = m_nPosition;
        break;
    case end:
        nBase = m_nFileSize;
        break;
    default:
        AfxThrowInvalidArgException();
    }
    ULONGLONG nNew;
    if (lOff < 0) {
        ULONGLONG nBack = static_cast<ULONGLONG>(-(lOff + 1)) + 1;
        if (nBack > nBase)
            AfxThrowFileException(CFileException::badSeek);
        nNew = nBase - nBack;
    } else {
        nNew = nBase + static_cast<ULONGLONG>(lOff);
        if (nNew < nBase)
            AfxThrowFileException(CFileException::badSeek);
    }
    m_nPosition = nNew;
    return nNew;
}

ULONGLONG CMemFile::GetPosition() const
{
    return m_nPosition;
}

ULONGLONG CMemFile::GetLength() const
{
    return m_nFileSize;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    Grow(dwNewLen);
    if (dwNewLen > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, static_cast<size_t>(dwNewLen - m_nFileSize));
    m_nFileSize = dwNewLen;
    if (m_nPosition > dwNewLen)
        m_nPosition = dwNewLen;
}

void CMemFile::Flush()
{
}

void CMemFile::Close()
{
    FreeBuffer();
}

void CMemFile::Abort()
{
    FreeBuffer();
}

// Grows only with the bytes actually read, never by a size the file claims.
AFX_FILE_READ AfxReadWholeFile(LPCSTR lpszPath, size_t nMaxBytes, std::vector<BYTE>& data)
{
    FILE* pFile = std::fopen(lpszPath, "rb");
    if (pFile == nullptr)
        return AFX_FILE_CANNOT_OPEN;
    std::vector<BYTE> read;
    BYTE buffer[16384];
    size_t nRead;
    bool bTooLarge = false;
    while ((nRead = std::fread(buffer, 1, sizeof(buffer), pFile)) > 0) {
        if (nRead > nMaxBytes - read.size()) {
            bTooLarge = true;
            break;
        }
        read.insert(read.end(), buffer, buffer + nRead);
    }
    const bool bError = std::ferror(pFile) != 0;
    std::fclose(pFile);
    if (bTooLarge)
        return AFX_FILE_TOO_LARGE;
    if (bError)
        return AFX_FILE_READ_ERROR;
    data = std::move(read);
    return AFX_FILE_READ_OK;
}
