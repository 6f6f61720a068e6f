#include "controls/icondialog.h"

#include <shellapi.h>

#include "afx/afxapp.h"
#include "afx/afxseams.h"

IMPLEMENT_DYNAMIC(CIconDialog, CCommonDialog)

void ExpandIconPath(LPCSTR pszIn, char (&szOut)[MAX_PATH]) {
    if (pszIn == nullptr) {
        szOut[0] = '\0';
        return;
    }
    // Never in place: source and destination may not overlap.
    char szExpanded[MAX_PATH];
    const DWORD nNeeded = ::ExpandEnvironmentStringsA(pszIn, szExpanded, MAX_PATH);
    if (nNeeded == 0 || nNeeded > MAX_PATH)
        ::lstrcpynA(szOut, pszIn, MAX_PATH);
    else
        ::lstrcpynA(szOut, szExpanded, MAX_PATH);
}

int PickIconDialogW(HWND hWnd, LPWSTR pszPath, UINT cchPath, int* piIndex) {
    return AfxGetSeams()->PickIconDlg(hWnd, pszPath, cchPath, piIndex);
}

int PickIconDialogA(HWND hWnd, LPSTR pszPath, UINT cchPath, int* piIndex) {
    if (pszPath == nullptr || cchPath == 0 || cchPath > MAX_PATH * 4)
        return 0;
    WCHAR szWide[MAX_PATH * 4];
    if (::MultiByteToWideChar(CP_ACP, 0, pszPath, -1, szWide, (int)cchPath) == 0)
        szWide[0] = L'\0';
    szWide[cchPath - 1] = L'\0';
    const int nResult = PickIconDialogW(hWnd, szWide, cchPath, piIndex);
    if (nResult == 1) {
        if (::WideCharToMultiByte(CP_ACP, 0, szWide, -1, pszPath, (int)cchPath, nullptr, nullptr) == 0)
            pszPath[0] = '\0';
        pszPath[cchPath - 1] = '\0';
    }
    return nResult;
}

CIconDialog::CIconDialog(LPCSTR lpszFileName, int nIconIndex, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_nIconIndex(nIconIndex) {
    m_szFileName[0] = '\0';
    if (lpszFileName != nullptr && *lpszFileName != '\0')
        ExpandIconPath(lpszFileName, m_szFileName);
}

CIconDialog::~CIconDialog() {
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
}

INT_PTR CIconDialog::DoModal() {
    HWND hWndOwner = PreModal();
    // The picker works on copies: a cancel leaves name and index as they were.
    char szPath[MAX_PATH];
    ::lstrcpynA(szPath, m_szFileName, MAX_PATH);
    int nIndex = m_nIconIndex;
    const int nResult = PickIconDialogA(hWndOwner, szPath, MAX_PATH, &nIndex);
    INT_PTR nReturn = IDCANCEL;
    if (nResult == 1) {
        ExpandIconPath(szPath, m_szFileName);
        HINSTANCE hInst = AfxGetInstanceHandle();
        const UINT nCount = (UINT)(UINT_PTR)::ExtractIconA(hInst, m_szFileName, (UINT)-1);
        m_nIconCount = nCount > 0x7FFF ? 0 : (int)nCount;
        // The index always names an icon of the file, or 0 for a file with none.
        if (nIndex >= m_nIconCount)
            nIndex = m_nIconCount > 0 ? m_nIconCount - 1 : 0;
        if (nIndex < 0)
            nIndex = 0;
        m_nIconIndex = nIndex;
        if (m_hIcon != nullptr) {
            ::DestroyIcon(m_hIcon);
            m_hIcon = nullptr;
        }
        if (m_nIconCount > 0) {
            HICON hIcon = ::ExtractIconA(hInst, m_szFileName, (UINT)m_nIconIndex);
            // 1 means "not a file with icons": no handle to own.
            m_hIcon = hIcon == (HICON)1 ? nullptr : hIcon;
        }
        nReturn = IDOK;
    }
    PostModal();
    return nReturn;
}
