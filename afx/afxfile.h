// CFile over the operating system's files and CMemFile over memory.
// Failures of Read, Write, Seek and the others throw CFileException*; Open
// reports through its result (and the optional exception object) instead.
// Both builds give the same causes for the same failures; sharing modes take
// effect on Windows only, as POSIX has no mandatory locks.
#pragma once

#include "afx/afxexcept.h"
#include "afx/afxstr.h"
#include "afx/wintypes.h"

#include <cstddef>
#include <vector>

class CFile {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000, // exclusive, as in every 32-bit MFC
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000, // ignored: files are always binary
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

#ifdef _WIN32
    typedef HANDLE FILEHANDLE;
#else
    typedef int FILEHANDLE;
#endif
    static const FILEHANDLE hFileNull;

    CFile();
    // Opens or throws the CFileException* that Open would have filled.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
    virtual ~CFile(); // closes without throwing

    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Returns the bytes read: fewer than nCount only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes everything or throws (diskFull when the disk is).
    virtual void Write(const void* lpBuf, UINT nCount);
    // Returns the new position; a position before the start throws badSeek.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin()
    {
        Seek(0, begin);
    }
    ULONGLONG SeekToEnd()
    {
        return Seek(0, end);
    }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void Flush();
    virtual void Close();
    // Closes and ignores failures; for clean-up after an error.
    virtual void Abort();

    // The name as given to Open, and the name after its last separator.
    CString GetFilePath() const
    {
        return m_strFileName;
    }
    CString GetFileName() const;

    static void Remove(LPCSTR lpszFileName);
    // Fails with accessDenied when lpszNewName exists, as on Windows.
    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);

    FILEHANDLE m_hFile;

protected:
    [[noreturn]] void ThrowOsError(int nOsError) const;
    void CheckOpen() const;

    CString m_strFileName;
    UINT m_nOpenFlags;
};

// Growable memory (nGrowBytes at a time, at least doubling), or a caller's
// buffer: with nGrowBytes 0 the attached buffer is fixed and a write past its
// end throws diskFull. Seeking past the end and writing there zero-fills the gap.
class CMemFile : public CFile {
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the buffer to the caller (free() it when this file allocated it) and empties the file.
    BYTE* Detach();

    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

private:
    void Grow(ULONGLONG nNewSize);
    void FreeBuffer();

    BYTE* m_lpBuffer;
    ULONGLONG m_nBufferSize; // bytes allocated
    ULONGLONG m_nFileSize;
    ULONGLONG m_nPosition;
    UINT m_nGrowBytes;
    BOOL m_bAutoDelete; // the buffer is ours to free
};

enum AFX_FILE_READ { AFX_FILE_READ_OK, AFX_FILE_CANNOT_OPEN, AFX_FILE_TOO_LARGE, AFX_FILE_READ_ERROR };

// The whole file at lpszPath, unless it holds more than nMaxBytes; data is
// left as it was on failure.
AFX_FILE_READ AfxReadWholeFile(LPCSTR lpszPath, size_t nMaxBytes, std::vector<BYTE>& data);
