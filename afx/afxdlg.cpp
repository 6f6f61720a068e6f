#include "afx/afxwin.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "afx/afxstate.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnIdOK)
    ON_COMMAND(IDCANCEL, OnIdCancel)
END_MESSAGE_MAP()

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = LOWORD((UINT_PTR)lpszTemplateName);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd), m_nIDHelp(nIDTemplate) {}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    return pDlg != nullptr ? pDlg->OnInitDialog() : TRUE;
}

LPCDLGTEMPLATE CDialog::LoadTemplate(HINSTANCE* phInst) const {
    if (m_lpDialogTemplate != nullptr) {
        *phInst = AfxGetResourceHandle();
        return m_lpDialogTemplate;
    }
    if (m_lpszTemplateName == nullptr)
        return nullptr;
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, (LPCSTR)RT_DIALOG);
    HRSRC hRes = ::FindResourceA(hInst, m_lpszTemplateName, (LPCSTR)RT_DIALOG);
    if (hRes == nullptr)
        return nullptr;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
    *phInst = hInst;
    return hGlobal != nullptr ? (LPCDLGTEMPLATE)::LockResource(hGlobal) : nullptr;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, HWND hWndParent, HINSTANCE hInst) {
    if (lpDialogTemplate == nullptr || m_hWnd != nullptr)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, hWndParent, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (hWnd == nullptr)
        return FALSE;
    return TRUE;
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = LOWORD((UINT_PTR)lpszTemplateName);
    m_pParentWnd = pParentWnd;
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE lpTemplate = LoadTemplate(&hInst);
    return CreateDlgIndirect(lpTemplate, pParentWnd->GetSafeHwnd(), hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd); }

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd->GetSafeHwnd(), AfxGetResourceHandle());
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE lpTemplate = LoadTemplate(&hInst);
    if (lpTemplate == nullptr)
        return -1;

    HWND hWndOwner = PreModal();
    BOOL bEnableOwner = FALSE;
    if (hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = TRUE;
    }

    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    if (CreateDlgIndirect(lpTemplate, hWndOwner, hInst)) {
        if (m_nFlags & WF_CONTINUEMODAL) {
            DWORD dwFlags = (GetStyle() & DS_NOIDLEMSG) ? 1 : 0;
            RunModalLoop(dwFlags);
        }
        if (m_hWnd != nullptr)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    m_nFlags &= ~(WF_CONTINUEMODAL | WF_MODALLOOP);
    // The owner is enabled again before the dialog goes, so activation returns to it.
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    DestroyWindow();
    PostModal();
    return m_nModalResult;
}

HWND CDialog::PreModal() {
    m_hWndTop = nullptr;
    return AfxGetSafeOwner(m_pParentWnd, &m_hWndTop);
}

void CDialog::PostModal() {
    if (m_hWndTop != nullptr)
        ::EnableWindow(m_hWndTop, TRUE);
    m_hWndTop = nullptr;
}

int CDialog::RunModalLoop(DWORD dwFlags) {
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    BOOL bShowPending = (GetStyle() & WS_VISIBLE) == 0;
    HWND hWndParent = ::GetParent(m_hWnd);
    BOOL bIdle = TRUE;
    MSG msg;
    while (ContinueModal()) {
        while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bShowPending) {
                bShowPending = FALSE;
                ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
                ::UpdateWindow(m_hWnd);
            }
            if (bIdle) {
                // Idle work, once each time the queue runs dry, as in the application's loop.
                bIdle = FALSE;
                AfxFlushDeferredDeletes();
                AfxDeleteTempMaps();
                continue;  // what the work sent may have queued more
            }
            if (!(dwFlags & 1) && hWndParent != nullptr)
                ::SendMessageA(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, (LPARAM)m_hWnd);
            if (!ContinueModal())
                break;
            ::WaitMessage();
        }
        if (!ContinueModal())
            break;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            // The quit message belongs to the outer loop.
            ::PostQuitMessage((int)msg.wParam);
            EndModalLoop(-1);
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE && msg.message != 0x0118 /* WM_SYSTIMER */)
            bIdle = TRUE;
        if (bShowPending && (msg.message == WM_TIMER || msg.message == WM_PAINT)) {
            bShowPending = FALSE;
            if (m_hWnd != nullptr)
                ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        }
    }
    m_nFlags &= ~WF_MODALLOOP;
    return m_nModalResult;
}

BOOL CDialog::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0 && m_hWnd != nullptr; }

void CDialog::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop
    }
}

void CDialog::EndDialog(int nResult) {
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);  // for a modeless dialog this only hides it, as in the platform
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    // Keyboard navigation for the dialog and its child pages.
    if (m_hWnd != nullptr && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        return ::IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, LRESULT* pResult) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pResult))
        return TRUE;
    // Commands (not notifications) go on to the application, as ID_HELP does.
    if (HIWORD(nCode) == WM_NOTIFY || nCode == -1)
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pResult);
}

// --- data exchange -------------------------------------------------------

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr) {
        if (m_bEditLastControl) {
            ::SetFocus(m_hWndLastControl);
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
        } else {
            ::SetFocus(m_hWndLastControl);
        }
    }
    throw CDataExchangeFailure();
}

// Parses a whole-number text; leading and trailing blanks are allowed, nothing else.
static bool AfxParseNumber(const char* psz, bool bSigned, long long& rValue) {
    while (*psz == ' ' || *psz == '\t')
        ++psz;
    if (*psz == '\0' || (!bSigned && *psz == '-'))
        return false;
    char* pEnd = nullptr;
    errno = 0;
    long long v = std::strtoll(psz, &pEnd, 10);
    if (pEnd == psz || errno == ERANGE)
        return false;
    while (*pEnd == ' ' || *pEnd == '\t')
        ++pEnd;
    if (*pEnd != '\0')
        return false;
    rValue = v;
    return true;
}

template <class T>
static void AfxTextWithRange(CDataExchange* pDX, int nIDC, T& value, long long nMin, long long nMax, bool bSigned,
                             const char* pszFormat) {
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        CString str = AfxGetWindowText(hWndCtrl);
        if (!AfxParseNumber((const char*)str, bSigned, v) || v < nMin || v > nMax) {
            AfxMessageBox(bSigned ? "Please enter an integer." : "Please enter a positive integer.",
                          MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = (T)v;
    } else {
        char szBuf[32];
        wsprintfA(szBuf, pszFormat, value);
        ::SetWindowTextA(hWndCtrl, szBuf);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = AfxGetWindowText(hWndCtrl);
    else
        ::SetWindowTextA(hWndCtrl, (const char*)value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    AfxTextWithRange(pDX, nIDC, value, INT_MIN, INT_MAX, true, "%d");
}
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    AfxTextWithRange(pDX, nIDC, value, LONG_MIN, LONG_MAX, true, "%ld");
}
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    AfxTextWithRange(pDX, nIDC, value, 0, UINT_MAX, false, "%u");
}
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) {
    AfxTextWithRange(pDX, nIDC, value, 0, 0xFFFFFFFFLL, false, "%lu");
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0);
    else
        ::SendMessageA(hWndCtrl, BM_SETCHECK, (WPARAM)value, 0);
}

// nIDC is the first radio button of a group (WS_GROUP); the value is the
// index of the checked button in the group, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int iButton = 0;
    HWND hWnd = hWndCtrl;
    do {
        if (::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = iButton;
            } else {
                ::SendMessageA(hWnd, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++iButton;
        }
        hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
    } while (hWnd != nullptr && !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWndCtrl, CB_SETCURSEL, (WPARAM)index, 0);
}

static CString AfxGetComboText(HWND hWndCtrl) {
    // A drop-down list has no edit text: read the selected item.
    if ((::GetWindowLongA(hWndCtrl, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST) {
        int nIndex = (int)::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
        if (nIndex == CB_ERR)
            return CString("");
        return AfxGetListText(hWndCtrl, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex);
    }
    return AfxGetWindowText(hWndCtrl);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = AfxGetComboText(hWndCtrl);
    } else if (::SendMessageA(hWndCtrl, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)(const char*)value) == CB_ERR) {
        // Not in the list: shown as edit text where the combo has an edit field.
        ::SetWindowTextA(hWndCtrl, (const char*)value);
    }
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = AfxGetComboText(hWndCtrl);
    } else {
        int i = (int)::SendMessageA(hWndCtrl, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(const char*)value);
        if (i != CB_ERR)
            ::SendMessageA(hWndCtrl, CB_SETCURSEL, (WPARAM)i, 0);
        else
            ::SetWindowTextA(hWndCtrl, (const char*)value);
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(hWndCtrl, LB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int nIndex = (int)::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0);
        if (nIndex == LB_ERR) {
            value = CString("");
            return;
        }
        value = AfxGetListText(hWndCtrl, LB_GETTEXTLEN, LB_GETTEXT, nIndex);
    } else {
        ::SendMessageA(hWndCtrl, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)(const char*)value);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr)
        return;  // bound on the first exchange only
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl == nullptr || !rControl.SubclassWindow(hWndCtrl))
        pDX->Fail();
}

void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, SYSTEMTIME& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        ::SendMessageA(hWndCtrl, DTM_GETSYSTEMTIME, 0, (LPARAM)&value);
    else
        ::SendMessageA(hWndCtrl, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&value);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
        char szText[96];
        wsprintfA(szText, "Enter no more than %d characters.", nChars);
        AfxMessageBox(szText, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    } else if (!pDX->m_bSaveAndValidate && pDX->m_hWndLastControl != nullptr && pDX->m_bEditLastControl) {
        ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, (WPARAM)nChars, 0);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal)) {
        char szText[128];
        wsprintfA(szText, "Please enter an integer between %d and %d.", minVal, maxVal);
        AfxMessageBox(szText, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal)) {
        char szText[128];
        wsprintfA(szText, "Please enter an integer between %u and %u.", minVal, maxVal);
        AfxMessageBox(szText, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

// --- common dialogs ------------------------------------------------------

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

COLORREF* CColorDialog::GetSavedCustomColors() {
    static COLORREF s_custom[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    return s_custom;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
    std::memset(&m_cc, 0, sizeof(m_cc));
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags;
    if ((m_cc.rgbResult = clrInit) != 0)
        m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal() {
    HWND hWndTop = nullptr;
    m_cc.hwndOwner = AfxGetSafeOwner(m_pParentWnd, &hWndTop);
    BOOL bOK = AfxGetSeams()->ChooseColor(&m_cc);
    if (hWndTop != nullptr)
        ::EnableWindow(hWndTop, TRUE);
    return bOK ? IDOK : IDCANCEL;
}

CFontDialog::CFontDialog(LPLOGFONTA lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd) {
    std::memset(&m_cf, 0, sizeof(m_cf));
    std::memset(&m_lf, 0, sizeof(m_lf));
    m_cf.lStructSize = sizeof(m_cf);
    m_cf.lpLogFont = &m_lf;
    m_cf.Flags = dwFlags;
    if (lplfInitial != nullptr) {
        m_lf = *lplfInitial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (pdcPrinter != nullptr) {
        m_cf.hDC = pdcPrinter->GetSafeHdc();
        m_cf.Flags |= CF_PRINTERFONTS;
    }
}

INT_PTR CFontDialog::DoModal() {
    HWND hWndTop = nullptr;
    m_cf.hwndOwner = AfxGetSafeOwner(m_pParentWnd, &hWndTop);
    m_cf.lpLogFont = &m_lf;
    BOOL bOK = AfxGetSeams()->ChooseFont(&m_cf);
    if (hWndTop != nullptr)
        ::EnableWindow(hWndTop, TRUE);
    return bOK ? IDOK : IDCANCEL;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog) {
    std::memset(&m_ofn, 0, sizeof(m_ofn));
    m_szFileName[0] = '\0';
    m_szFileTitle[0] = '\0';
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof(m_szFileName);
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    if (lpszDefExt != nullptr) {
        m_strDefExt = CString(lpszDefExt);
        m_ofn.lpstrDefExt = (const char*)m_strDefExt;
    }
    if (lpszFileName != nullptr)
        lstrcpynA(m_szFileName, lpszFileName, sizeof(m_szFileName));
    if (lpszFilter != nullptr) {
        // "Text (*.txt)|*.txt||" becomes the NUL-separated list the system wants.
        m_strFilter = lpszFilter;
        for (char& ch : m_strFilter)
            if (ch == '|')
                ch = '\0';
        m_strFilter.push_back('\0');
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

INT_PTR CFileDialog::DoModal() {
    HWND hWndTop = nullptr;
    m_ofn.hwndOwner = AfxGetSafeOwner(m_pParentWnd, &hWndTop);
    BOOL bOK = m_bOpenFileDialog ? AfxGetSeams()->GetOpenFileName(&m_ofn) : AfxGetSeams()->GetSaveFileName(&m_ofn);
    if (hWndTop != nullptr)
        ::EnableWindow(hWndTop, TRUE);
    return bOK ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) && m_szFileName[std::strlen(m_szFileName) + 1] != '\0') {
        POSITION pos = GetStartPosition();
        return GetNextPathName(pos);
    }
    return CString(m_szFileName);
}

CString CFileDialog::GetFileName() const {
    const char* pszSlash = std::strrchr(m_szFileName, '\\');
    return CString(pszSlash != nullptr ? pszSlash + 1 : m_szFileName);
}

CString CFileDialog::GetFileExt() const {
    const char* pszName = std::strrchr(m_szFileName, '\\');
    pszName = pszName != nullptr ? pszName + 1 : m_szFileName;
    const char* pszDot = std::strrchr(pszName, '.');
    return CString(pszDot != nullptr ? pszDot + 1 : "");
}

CString CFileDialog::GetFileTitle() const {
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot >= 0 ? strName.Left(nDot) : strName;
}

POSITION CFileDialog::GetStartPosition() const { return m_szFileName[0] != '\0' ? (POSITION)m_szFileName : nullptr; }

CString CFileDialog::GetNextPathName(POSITION& pos) const {
    const char* psz = (const char*)pos;
    if (psz == nullptr)
        return CString("");
    if (psz == m_szFileName) {
        // With several names the buffer holds the folder, then each name.
        const char* pszFirst = m_szFileName + std::strlen(m_szFileName) + 1;
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || *pszFirst == '\0') {
            pos = nullptr;
            return CString(m_szFileName);
        }
        psz = pszFirst;
    }
    CString strPath(m_szFileName);
    if (!strPath.IsEmpty() && strPath[strPath.GetLength() - 1] != '\\')
        strPath += '\\';
    strPath += psz;
    const char* pszNext = psz + std::strlen(psz) + 1;
    pos = *pszNext != '\0' ? (POSITION)pszNext : nullptr;
    return strPath;
}
