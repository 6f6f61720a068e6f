// The unpacker of skin archives: a ZIP file that holds the skin's data
// stream as its one member. CUnzip reads the archive, CMamaZip::SwapSize
// writes the member to the data file; both throw CZipException* on failure.
#pragma once

#include "afx/afxexcept.h"
#include "afx/afxstr.h"
#include "afx/wintypes.h"

#include <cstddef>
#include <vector>

// Skins are a few pictures; anything far larger is not a skin.
const DWORD SKIN_ARCHIVE_MAX_BYTES = 64UL * 1024 * 1024;
const DWORD SKIN_DATA_MAX_BYTES = 64UL * 1024 * 1024;

class CZipException : public CException {
public:
    explicit CZipException(const CString& strText) : m_strText(strText) {}
    // One line: the archive, the element that was bad and why.
    CString GetString() const { return m_strText; }

protected:
    CString GetText() const override { return m_strText; }

private:
    CString m_strText;
};

class CMamaZip {
public:
    virtual ~CMamaZip() = default;
    CMamaZip(const CMamaZip&) = delete;
    CMamaZip& operator=(const CMamaZip&) = delete;

    // Writes the member to lpszDataPath: first beside it, then renamed over
    // it once complete and checked, so no half-written file ever has its name.
    void SwapSize(LPCSTR lpszDataPath);

    void SetMaxDataSize(DWORD nMaxBytes) { m_nMaxData = nMaxBytes; }

protected:
    CMamaZip() = default;

    CString m_strArchiveName; // for messages: the archive's file name
    std::vector<BYTE> m_archive;
    DWORD m_nMaxData = SKIN_DATA_MAX_BYTES;
};

class CUnzip : public CMamaZip {
public:
    // Reads the whole archive (at most SKIN_ARCHIVE_MAX_BYTES).
    explicit CUnzip(LPCSTR lpszArchivePath);
};

// Writes a skin archive: data as the one member, deflated. For the skin
// maker and the tests; FALSE when the file cannot be written.
BOOL PackSkinData(LPCSTR lpszArchivePath, LPCSTR lpszMemberName, const std::vector<BYTE>& data);

// The member of the ZIP archive pZip, at most nMaxData bytes, its size and
// CRC checked. On failure data is empty and strError says why; strArchiveName
// opens the message.
BOOL UnzipSkinData(const BYTE* pZip, size_t nZip, DWORD nMaxData, const CString& strArchiveName,
                   std::vector<BYTE>& data, CString& strError);
