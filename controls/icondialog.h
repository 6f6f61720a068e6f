// Lets the user pick an icon from a file (a program, a library or an icon
// file) through the shell's own icon picker, behind the usual modal-dialog
// interface; hands back the file, the index, the icon and the file's count.
#pragma once

#include <windows.h>

#include "afx/afxdlg.h"

class CIconDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CIconDialog)
public:
    // Environment references in the name are expanded at once.
    CIconDialog(LPCSTR lpszFileName = nullptr, int nIconIndex = 0, CWnd* pParentWnd = nullptr);
    ~CIconDialog() override;

    // IDOK when the user chose; otherwise IDCANCEL and nothing changes.
    INT_PTR DoModal() override;

    LPCSTR GetFileName() const { return m_szFileName; }
    int GetIconIndex() const { return m_nIconIndex; }

    char m_szFileName[MAX_PATH];
    int m_nIconIndex;
    HICON m_hIcon = nullptr;  // owned; null when the file has no icon to give
    int m_nIconCount = 0;
};

// The shell's icon picker for an ANSI path of cchPath characters: converted
// to and from UTF-16 around the call. Nonzero when the user confirmed.
int PickIconDialogA(HWND hWnd, LPSTR pszPath, UINT cchPath, int* piIndex);
// The same for a UTF-16 path.
int PickIconDialogW(HWND hWnd, LPWSTR pszPath, UINT cchPath, int* piIndex);

// Expands environment references of pszIn into szOut (MAX_PATH characters);
// a result that does not fit leaves the text as it was given, cut to fit.
void ExpandIconPath(LPCSTR pszIn, char (&szOut)[MAX_PATH]);
