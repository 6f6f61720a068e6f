// Exceptions in the MFC form: thrown as pointers to heap objects and caught as
//     catch (CException* e) { ...; e->Delete(); }
// Delete() frees the object; a handler that rethrows with `throw;` keeps it alive.
#pragma once

#include "afx/afxstr.h"
#include "afx/afxthrow.h"
#include "afx/wintypes.h"

class CException {
public:
    virtual ~CException() = default;

    // Fills lpszError (at most nMaxError bytes, always terminated) with a short text.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;
    // The same text as a string, for callers that show or compare it.
    CString GetErrorMessage() const;
    void Delete();

    CException(const CException&) = delete;
    CException& operator=(const CException&) = delete;

protected:
    explicit CException(BOOL bAutoDelete = TRUE)
        : m_bAutoDelete(bAutoDelete)
    {
    }
    virtual CString GetText() const;

private:
    BOOL m_bAutoDelete;
};

// Out of memory. One shared object is thrown (allocating a new one could fail
// too); its Delete() does nothing.
class CMemoryException : public CException {
public:
    CMemoryException()
        : CException(FALSE)
    {
    }

protected:
    CString GetText() const override;
};

// A bad argument from the caller: an index outside an array or a string, a negative size.
class CInvalidArgException : public CException {
protected:
    CString GetText() const override;
};

class CFileException : public CException {
public:
    enum {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        genericException = generic
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError; // errno natively, GetLastError() on Windows; -1 when none
    CString m_strFileName;

protected:
    CString GetText() const override;
};

class CArchiveException : public CException {
public:
    enum {
        none,
        generic,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
        genericException = generic
    };

    explicit CArchiveException(int cause = none, LPCSTR lpszArchiveName = nullptr);

    int m_cause;
    CString m_strFileName;

protected:
    CString GetText() const override;
};

// A window class, resource or GDI object could not be made.
class CResourceException : public CException {
protected:
    CString GetText() const override;
};
