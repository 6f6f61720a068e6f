#include "afx/afxwin.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CToolBar, CWnd)

BOOL CToolBarResource::Load(HINSTANCE hInst, LPCSTR lpszResourceName) {
    m_ids.clear();
    if (hInst == nullptr)
        hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, RT_TOOLBAR);
    HGLOBAL hGlobal = hRsrc != nullptr ? ::LoadResource(hInst, hRsrc) : nullptr;
    const BYTE* pData = hGlobal != nullptr ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    if (pData == nullptr)
        return FALSE;
    const DWORD nSize = ::SizeofResource(hInst, hRsrc);
    WORD head[4];
    if (nSize < sizeof(head))
        return FALSE;
    memcpy(head, pData, sizeof(head));
    // The button count must fit in what the resource holds.
    if ((size_t)head[3] * sizeof(WORD) > nSize - sizeof(head))
        return FALSE;
    m_wVersion = head[0];
    m_cx = head[1];
    m_cy = head[2];
    m_ids.resize(head[3]);
    for (WORD i = 0; i < head[3]; ++i) {
        WORD w;
        memcpy(&w, pData + sizeof(head) + i * sizeof(WORD), sizeof(w));
        m_ids[i] = w;
    }
    return TRUE;
}

CToolBar::~CToolBar() {
    DestroyWindow();
    if (m_hbmImageWell != nullptr) {
        ::DeleteObject(m_hbmImageWell);
        AfxGdiCountAdjust(-1);
    }
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
    m_dwBarStyle = dwStyle & CBRS_ALIGN_ANY;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALIGN_ANY) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, dwWndStyle, 0, 0, 0, 0, pParentWnd->GetSafeHwnd(),
                        (HMENU)(UINT_PTR)nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(LPCSTR lpszResourceName) {
    CToolBarResource res;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    if (m_hWnd == nullptr || !res.Load(hInst, lpszResourceName) || res.m_cx <= 0 || res.m_cy <= 0)
        return FALSE;
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, (LPCSTR)RT_BITMAP);
    HBITMAP hbm = AfxLoadSysColorBitmap(hInst, hRsrc);
    if (hbm == nullptr)
        return FALSE;
    m_sizeImage = CSize(res.m_cx, res.m_cy);
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(res.m_cx, res.m_cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(res.m_cx + 7, res.m_cy + 7));
    BITMAP bm{};
    ::GetObjectA(hbm, sizeof(bm), &bm);
    TBADDBITMAP tbab = {nullptr, (UINT_PTR)hbm};
    if (SendMessage(TB_ADDBITMAP, (WPARAM)(bm.bmWidth / res.m_cx), (LPARAM)&tbab) == -1) {
        ::DeleteObject(hbm);
        return FALSE;
    }
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
    else
        AfxGdiCountAdjust(+1);
    m_hbmImageWell = hbm;
    return SetButtons(res.m_ids.data(), (int)res.m_ids.size());
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    int nImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON button{};
        button.fsState = TBSTATE_ENABLED;
        if (lpIDArray[i] == 0) {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = 8;  // the separator's width
        } else {
            button.fsStyle = TBSTYLE_BUTTON;
            button.idCommand = (int)lpIDArray[i];
            button.iBitmap = nImage++;
        }
        if (!SendMessage(TB_ADDBUTTONSA, 1, (LPARAM)&button))
            return FALSE;
    }
    return TRUE;
}

int CToolBar::GetCount() const { return (int)SendMessage(TB_BUTTONCOUNT); }

int CToolBar::CommandToIndex(UINT nIDFind) const { return (int)SendMessage(TB_COMMANDTOINDEX, nIDFind); }

UINT CToolBar::GetItemID(int nIndex) const {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return 0;
    return button.fsStyle & TBSTYLE_SEP ? 0 : (UINT)button.idCommand;
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button)) {
        nID = 0;
        nStyle = 0;
        iImage = -1;
        return;
    }
    nID = button.fsStyle & TBSTYLE_SEP ? 0 : (UINT)button.idCommand;
    nStyle = MAKELONG(button.fsStyle, button.fsState);
    iImage = button.iBitmap;
}
