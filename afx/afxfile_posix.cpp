// CFile over POSIX descriptors, for the native build. Errors are turned into
// the causes the Windows build reports for the same failure.
#include "afx/afxfile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const CFile::FILEHANDLE CFile::hFileNull = -1;

namespace {

// Windows tells a missing folder (badPath) from a missing file; POSIX says ENOENT for both.
bool FolderExists(LPCSTR lpszPath)
{
    CString strPath(lpszPath);
    int nSlash = strPath.ReverseFind('/');
    if (nSlash < 0)
        return !strPath.IsEmpty();
    CString strFolder = nSlash == 0 ? CString("/") : strPath.Left(nSlash);
    struct stat st;
    return stat(strFolder, &st) == 0 && S_ISDIR(st.st_mode);
}

int CauseFromErrno(int nError, LPCSTR lpszPath, LPCSTR lpszPath2 = nullptr)
{
    switch (nError) {
    case ENOENT:
        if (!FolderExists(lpszPath) || (lpszPath2 != nullptr && !FolderExists(lpszPath2)))
            return CFileException::badPath;
        return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return CFileException::badPath;
    case EMFILE:
    case ENFILE:
        return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
    case ETXTBSY:
    case EBADF: // the descriptor is open, so it lacks the access asked for
        return CFileException::accessDenied;
    case EINVAL:
    case ESPIPE:
        return CFileException::badSeek;
    case EIO:
        return CFileException::hardIO;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return CFileException::diskFull;
    case EBUSY:
        return CFileException::sharingViolation;
    default:
        return CFileException::generic;
    }
}

} // namespace

void CFile::ThrowOsError(int nOsError) const
{
    AfxThrowFileException(CauseFromErrno(nOsError, m_strFileName), nOsError, m_strFileName);
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != hFileNull)
        Abort();
    if (lpszFileName == nullptr)
        lpszFileName = "";
    int nFlags = O_CLOEXEC;
    switch (nOpenFlags & 3) {
    case modeRead:
        nFlags |= O_RDONLY;
        break;
    case modeWrite:
        nFlags |= O_WRONLY;
        break;
    default:
        nFlags |= O_RDWR;
        break;
    }
    if (nOpenFlags & modeCreate) {
        nFlags |= O_CREAT;
        if (!(nOpenFlags & modeNoTruncate))
            nFlags |= O_TRUNC;
    }

    int nError = 0;
    int fd = -1;
    if (*lpszFileName == '\0') {
        nError = ENOTDIR;
    } else {
        do
            fd = open(lpszFileName, nFlags, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            nError = errno;
        } else {
            // Windows will not open a folder as a file.
            struct stat st;
            if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
                close(fd);
                fd = -1;
                nError = EISDIR;
            }
        }
    }
    if (fd < 0) {
        if (pError != nullptr) {
            pError->m_cause = CauseFromErrno(nError, lpszFileName);
            pError->m_lOsError = nError;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = fd;
    m_strFileName = lpszFileName;
    m_nOpenFlags = nOpenFlags;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    CheckOpen();
    UINT nDone = 0;
    while (nDone < nCount) {
        ssize_t n = read(m_hFile, static_cast<char*>(lpBuf) + nDone, nCount - nDone);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (n == 0)
            break;
        nDone += static_cast<UINT>(n);
    }
    return nDone;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    CheckOpen();
    UINT nDone = 0;
    while (nDone < nCount) {
        ssize_t n = write(m_hFile, static_cast<const char*>(lpBuf) + nDone, nCount - nDone);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (n == 0)
            ThrowOsError(ENOSPC);
        nDone += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    CheckOpen();
    int nWhence = nFrom == begin ? SEEK_SET : (nFrom == current ? SEEK_CUR : (nFrom == end ? SEEK_END : -1));
    if (nWhence < 0)
        AfxThrowInvalidArgException();
    off_t pos = lseek(m_hFile, static_cast<off_t>(lOff), nWhence);
    if (pos < 0)
        ThrowOsError(errno);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetPosition() const
{
    CheckOpen();
    off_t pos = lseek(m_hFile, 0, SEEK_CUR);
    if (pos < 0)
        ThrowOsError(errno);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const
{
    CheckOpen();
    struct stat st;
    if (fstat(m_hFile, &st) != 0)
        ThrowOsError(errno);
    return static_cast<ULONGLONG>(st.st_size);
}

// Leaves the position at the new end, as Windows' SetEndOfFile does.
void CFile::SetLength(ULONGLONG dwNewLen)
{
    CheckOpen();
    if (dwNewLen > static_cast<ULONGLONG>(INT64_MAX))
        ThrowOsError(EFBIG);
    if (ftruncate(m_hFile, static_cast<off_t>(dwNewLen)) != 0)
        ThrowOsError(errno == EINVAL ? EBADF : errno);
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
}

// A file open only for reading has nothing to flush (Windows would refuse).
void CFile::Flush()
{
    CheckOpen();
    if ((m_nOpenFlags & 3) == modeRead)
        return;
    if (fsync(m_hFile) != 0 && errno != EINVAL && errno != EROFS)
        ThrowOsError(errno);
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    int fd = m_hFile;
    m_hFile = hFileNull;
    CString strName = m_strFileName;
    m_strFileName.Empty();
    if (close(fd) != 0 && errno != EINTR)
        AfxThrowFileException(CauseFromErrno(errno, strName), errno, strName);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull) {
        close(m_hFile);
        m_hFile = hFileNull;
    }
    m_strFileName.Empty();
}

void CFile::Remove(LPCSTR lpszFileName)
{
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        AfxThrowFileException(CFileException::badPath, ENOENT, lpszFileName);
    if (unlink(lpszFileName) != 0) {
        int nError = errno;
        AfxThrowFileException(CauseFromErrno(nError, lpszFileName), nError, lpszFileName);
    }
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (lpszOldName == nullptr || lpszNewName == nullptr || *lpszOldName == '\0' || *lpszNewName == '\0')
        AfxThrowFileException(CFileException::badPath, ENOENT, lpszOldName);
    int nResult = renameat2(AT_FDCWD, lpszOldName, AT_FDCWD, lpszNewName, RENAME_NOREPLACE);
    if (nResult != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the no-replace flag: check first (not atomic).
        if (access(lpszNewName, F_OK) == 0 || errno != ENOENT) {
            errno = EEXIST;
            nResult = -1;
        } else {
            nResult = rename(lpszOldName, lpszNewName);
        }
    }
    if (nResult != 0) {
        int nError = errno;
        AfxThrowFileException(CauseFromErrno(nError, lpszOldName, lpszNewName), nError, lpszOldName);
    }
}
