// CFile over Win32 file handles.
#include "afx/afxfile.h"

const CFile::FILEHANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

int CauseFromLastError(DWORD dwError)
{
    switch (dwError) {
    case ERROR_FILE_NOT_FOUND:
        return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return CFileException::accessDenied;
    case ERROR_INVALID_HANDLE:
        return CFileException::invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return CFileException::removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return CFileException::directoryFull;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_SEEK:
        return CFileException::badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return CFileException::hardIO;
    case ERROR_SHARING_VIOLATION:
        return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return CFileException::lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return CFileException::diskFull;
    case ERROR_HANDLE_EOF:
        return CFileException::endOfFile;
    default:
        return CFileException::generic;
    }
}

[[noreturn]] void ThrowLastError(LPCSTR lpszFileName)
{
    DWORD dwError = GetLastError();
    AfxThrowFileException(CauseFromLastError(dwError), static_cast<LONG>(dwError), lpszFileName);
}

} // namespace

void CFile::ThrowOsError(int nOsError) const
{
    AfxThrowFileException(CauseFromLastError(static_cast<DWORD>(nOsError)), nOsError, m_strFileName);
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != hFileNull)
        Abort();
    if (lpszFileName == nullptr)
        lpszFileName = "";

    DWORD dwAccess;
    switch (nOpenFlags & 3) {
    case modeRead:
        dwAccess = GENERIC_READ;
        break;
    case modeWrite:
        dwAccess = GENERIC_WRITE;
        break;
    default:
        dwAccess = GENERIC_READ | GENERIC_WRITE;
        break;
    }
    DWORD dwShare;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite:
        dwShare = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        dwShare = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default:
        dwShare = 0;
        break;
    }
    SECURITY_ATTRIBUTES sa;
    sa.nLength = sizeof(sa);
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = (nOpenFlags & modeNoInherit) == 0;
    DWORD dwCreate = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        dwCreate = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE hFile
        = CreateFileA(lpszFileName, dwAccess, dwShare, &sa, dwCreate, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        DWORD dwError = GetLastError();
        if (pError != nullptr) {
            pError->m_cause = CauseFromLastError(dwError);
            pError->m_lOsError = static_cast<LONG>(dwError);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = hFile;
    m_strFileName = lpszFileName;
    m_nOpenFlags = nOpenFlags;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    CheckOpen();
    if (nCount == 0)
        return 0;
    DWORD dwRead = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &dwRead, nullptr))
        ThrowLastError(m_strFileName);
    return dwRead;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    CheckOpen();
    if (nCount == 0)
        return;
    DWORD dwWritten = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &dwWritten, nullptr))
        ThrowLastError(m_strFileName);
    if (dwWritten != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    CheckOpen();
    DWORD dwMethod = nFrom == begin ? FILE_BEGIN : (nFrom == current ? FILE_CURRENT : FILE_END);
    if (nFrom != begin && nFrom != current && nFrom != end)
        AfxThrowInvalidArgException();
    LARGE_INTEGER liOff, liNew;
    liOff.QuadPart = lOff;
    if (!SetFilePointerEx(m_hFile, liOff, &liNew, dwMethod))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(liNew.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    CheckOpen();
    LARGE_INTEGER liZero, liPos;
    liZero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, liZero, &liPos, FILE_CURRENT))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(liPos.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    CheckOpen();
    LARGE_INTEGER liSize;
    if (!GetFileSizeEx(m_hFile, &liSize))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(liSize.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    CheckOpen();
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError(m_strFileName);
}

// A file open only for reading has nothing to flush, and FlushFileBuffers would refuse it.
void CFile::Flush()
{
    CheckOpen();
    if ((m_nOpenFlags & 3) == modeRead)
        return;
    if (!FlushFileBuffers(m_hFile))
        ThrowLastError(m_strFileName);
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    HANDLE hFile = m_hFile;
    m_hFile = hFileNull;
    CString strName = m_strFileName;
    m_strFileName.Empty();
    if (!CloseHandle(hFile))
        ThrowLastError(strName);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull) {
        CloseHandle(m_hFile);
        m_hFile = hFileNull;
    }
    m_strFileName.Empty();
}

void CFile::Remove(LPCSTR lpszFileName)
{
    if (!DeleteFileA(lpszFileName == nullptr ? "" : lpszFileName))
        ThrowLastError(lpszFileName);
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (!MoveFileA(lpszOldName == nullptr ? "" : lpszOldName, lpszNewName == nullptr ? "" : lpszNewName))
        ThrowLastError(lpszOldName);
}
