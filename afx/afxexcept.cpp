#include "afx/afxexcept.h"

#include <cstring>
#include <new>

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    CString strText = GetText();
    size_t nCopy = static_cast<size_t>(strText.GetLength());
    if (nCopy > nMaxError - 1)
        nCopy = nMaxError - 1;
    std::memcpy(lpszError, static_cast<const char*>(strText), nCopy);
    lpszError[nCopy] = '\0';
    return TRUE;
}

CString CException::GetErrorMessage() const
{
    return GetText();
}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CString CException::GetText() const
{
    return "An unknown error occurred.";
}

CString CMemoryException::GetText() const
{
    return "Out of memory.";
}

CString CInvalidArgException::GetText() const
{
    return "An invalid argument was encountered.";
}

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
    : m_cause(cause)
    , m_lOsError(lOsError)
    , m_strFileName(lpszFileName)
{
}

CString CFileException::GetText() const
{
    static const char* const s_apszCause[] = {
        "no error",
        "an unknown error",
        "the file was not found",
        "the path is invalid",
        "too many files are open",
        "access was denied",
        "the file handle is invalid",
        "the current directory cannot be removed",
        "the directory is full",
        "a seek went before the start of the file",
        "a hardware error occurred",
        "the file is in use by another program",
        "a locked region was accessed",
        "the disk is full",
        "the end of the file was reached",
    };
    const char* pszCause
        = (m_cause >= 0 && m_cause < static_cast<int>(sizeof(s_apszCause) / sizeof(*s_apszCause)))
        ? s_apszCause[m_cause]
        : s_apszCause[generic];
    CString str = m_strFileName.IsEmpty() ? CString("File error: ") : "File error in " + m_strFileName + ": ";
    return str + pszCause + ".";
}

CArchiveException::CArchiveException(int cause, LPCSTR lpszArchiveName)
    : m_cause(cause)
    , m_strFileName(lpszArchiveName)
{
}

CString CArchiveException::GetText() const
{
    static const char* const s_apszCause[] = {
        "no error",
        "an unknown error",
        "it was written to while loading",
        "it ended unexpectedly",
        "it was read from while storing",
        "it holds an invalid length or index",
        "it holds an unknown object",
        "it holds an unsupported format",
    };
    const char* pszCause
        = (m_cause >= 0 && m_cause < static_cast<int>(sizeof(s_apszCause) / sizeof(*s_apszCause)))
        ? s_apszCause[m_cause]
        : s_apszCause[generic];
    CString str
        = m_strFileName.IsEmpty() ? CString("Archive error: ") : "Archive error in " + m_strFileName + ": ";
    return str + pszCause + ".";
}

void AfxThrowMemoryException()
{
    static CMemoryException s_memoryException;
    throw &s_memoryException;
}

void AfxThrowInvalidArgException()
{
    throw new CInvalidArgException;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

CString CResourceException::GetText() const
{
    return "A required resource was unavailable.";
}

void AfxThrowResourceException()
{
    throw new CResourceException;
}
