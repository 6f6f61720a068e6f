// CArchive: a buffered stream of little-endian numbers and strings over a
// CFile, in MFC's layout. A load that runs out of bytes throws
// CArchiveException* with endOfFile and leaves its target unchanged. A string
// length is checked before anything is allocated: longer than the bytes left
// throws endOfFile, longer than the archive's string limit throws badIndex.
#pragma once

#include "afx/afxexcept.h"
#include "afx/afxfile.h"
#include "afx/afxstr.h"
#include "afx/afxtime.h"
#include "afx/wintypes.h"

// Longest string a load accepts unless SetStringLimit says otherwise.
const DWORD AFX_ARCHIVE_STRING_LIMIT = 64UL * 1024 * 1024;

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    // lpBuf, when given, is a buffer of nBufSize bytes that the caller keeps alive.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // A storing archive that was not closed is flushed here, and a failure is
    // lost: call Close() to see it.
    ~CArchive();

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsBufferEmpty() const { return m_lpBufCur == m_lpBufMax; }
    CFile* GetFile() const { return m_pFile; }

    // Returns the bytes read: fewer than nMax only at the end of the file.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Reads exactly nMax bytes or throws endOfFile.
    void EnsureRead(void* lpBuf, UINT nMax);
    // Bytes a load can still read: the buffer plus the rest of the file.
    ULONGLONG GetBytesLeft() const;

    void Flush();
    // Flushes a storing archive; the file stays open.
    void Close();
    // Detaches without flushing or throwing; for clean-up after an error.
    void Abort();

    void SetStringLimit(DWORD nMaxLength) { m_nStringLimit = nMaxLength; }
    DWORD GetStringLimit() const { return m_nStringLimit; }

    // The archive string form: a length of 0..254 in one byte; up to 0xFFFD as
    // 0xFF and a WORD; longer as 0xFF, 0xFFFF and a DWORD. 0xFF 0xFFFE announces
    // MFC's wide string, which this ANSI program neither writes nor reads (badSchema).
    void WriteStringLength(DWORD nLength);
    DWORD ReadStringLength();

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(int i);
    CArchive& operator<<(unsigned u);
    CArchive& operator<<(short w);
    CArchive& operator<<(char ch);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(bool b) = delete; // MFC 4.2 has none; a BOOL is an int
#ifdef _WIN32
    // Natively LONG and DWORD are int and unsigned, served above.
    CArchive& operator<<(LONG l);
    CArchive& operator<<(DWORD dw);
#endif

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(int& i);
    CArchive& operator>>(unsigned& u);
    CArchive& operator>>(short& w);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(bool& b) = delete;
#ifdef _WIN32
    CArchive& operator>>(LONG& l);
    CArchive& operator>>(DWORD& dw);
#endif

    CString m_strFileName;

private:
    void WriteUInt32(DWORD dw);
    DWORD ReadUInt32();
    void CheckLoading() const;
    void CheckStoring() const;
    void FillBuffer();

    CFile* m_pFile;
    UINT m_nMode;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax; // loading: end of the bytes read; storing: end of the buffer
    UINT m_nBufSize;
    BOOL m_bUserBuf;
    DWORD m_nStringLimit;
};

CArchive& operator<<(CArchive& ar, const CString& string);
CArchive& operator<<(CArchive& ar, const char* lpsz);
CArchive& operator>>(CArchive& ar, CString& string);
// 32 bits, by the rule of AfxTimeToArchive.
CArchive& operator<<(CArchive& ar, const CTime& time);
CArchive& operator>>(CArchive& ar, CTime& time);
// Two and four LONGs.
CArchive& operator<<(CArchive& ar, const POINT& point);
CArchive& operator>>(CArchive& ar, POINT& point);
CArchive& operator<<(CArchive& ar, const SIZE& size);
CArchive& operator>>(CArchive& ar, SIZE& size);
CArchive& operator<<(CArchive& ar, const RECT& rect);
CArchive& operator>>(CArchive& ar, RECT& rect);
