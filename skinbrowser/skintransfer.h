// What a preview or archive transfer brought, and whether its body may be
// used: only a complete answer with status 200, and for an archive only one
// that opens as a skin archive of the browser's kind.
#pragma once

#include "afx/afxstr.h"
#include "afx/wintypes.h"

#include <vector>

struct CSkinTransfer {
    DWORD m_dwStatus = 0;        // the HTTP status; 0 when no answer came
    CString m_strError;          // why the transfer broke off, "" when it did not
    bool m_bCancelled = false;
    bool m_bHaveLength = false;  // the answer named its Content-Length
    ULONGLONG m_nLength = 0;
    std::vector<BYTE> m_bytes;
};

// A transfer stops here: nothing larger is a preview or a skin.
const ULONGLONG SKIN_TRANSFER_MAX_BYTES = 64ULL * 1024 * 1024;

// "" when the body may be used; otherwise a short reason for the status line.
CString GetTransferFault(const CSkinTransfer& transfer);

// "" when bytes are a skin archive of the kind (0 analog, 1 digital): a ZIP
// whose member is skin data that reads; otherwise why not.
CString GetSkinArchiveFault(const std::vector<BYTE>& bytes, int nKind);

// The status line after a failed preview or download.
CString FormatPreviewFault(const CString& strFault);
CString FormatDownloadFault(const CString& strFault);
