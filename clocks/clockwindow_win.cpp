#include "clocks/clockwindow_win.h"

#include "afx/afxapp.h"
#include "afx/afxseams.h"
#include "clocks/skinzip.h"
#include "core/messages.h"
#include "core/settings.h"

CString GetClockTempFolder()
{
    char szPath[1024];
    const DWORD n = ::GetTempPathA(sizeof(szPath), szPath);
    if (n == 0 || n >= sizeof(szPath))
        return CString();
    return CString(szPath);
}

LRESULT SendToMainWindow(UINT nMessage, WPARAM wParam)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == nullptr || pMain->GetSafeHwnd() == nullptr)
        return 0;
    return ::SendMessageA(pMain->GetSafeHwnd(), nMessage, wParam, 0);
}

BOOL OpenSkinForWindow(SkinKind kind, const CString& strFolder, CString& strSkin, CSkinOpen& open,
                       std::vector<BYTE>& data)
{
    data.clear();
    open.m_kind = kind;
    open.m_strFolder = strFolder;
    open.m_strTempFolder = GetClockTempFolder();
    const SkinOpenResult result = open.Open(strSkin);
    for (INT_PTR i = 0; i < open.m_glimmarkMessages.GetSize(); i++)
        AfxSeamMessageBox(nullptr, open.m_glimmarkMessages[i], "Glimmark", MB_OK | MB_ICONEXCLAMATION);
    switch (result) {
    case SKIN_OPEN_OK:
        break;
    case SKIN_OPEN_NO_SKINS:
        AfxMessageBox(open.m_strError, MB_OK);
        g_settings.m_nSkinBrowserType = GetSkinBrowserType(kind);
        SendToMainWindow(UM_SHOWSKINBROWSER);
        return FALSE;
    case SKIN_OPEN_UNPACK_FAILED:
        AfxMessageBox(open.m_strError, MB_OK);
        return FALSE;
    default:
        return FALSE;
    }
    // A data file that vanished or cannot be read ends the load like a
    // damaged stream: nothing of it is shown.
    return ReadSkinDataFile(open.m_strDataPath, SKIN_DATA_MAX_BYTES, data);
}

CRect GetClockWorkArea(HWND hWnd)
{
    MONITORINFO info;
    info.cbSize = sizeof(info);
    HMONITOR hMonitor = ::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST);
    if (hMonitor != nullptr && ::GetMonitorInfoA(hMonitor, &info))
        return CRect(info.rcWork);
    CRect rc;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0);
    return rc;
}

LRESULT GetClockHitTest(LRESULT nDefault, BOOL bLocked)
{
    if (nDefault != HTCLIENT)
        return nDefault;
    return bLocked ? HTBORDER : HTCAPTION;
}

HRGN CreateRunsRegion(const std::vector<RECT>& runs, LONG dx, LONG dy)
{
    std::vector<BYTE> block(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATA* pData = reinterpret_cast<RGNDATA*>(block.data());
    pData->rdh.dwSize = sizeof(RGNDATAHEADER);
    pData->rdh.iType = RDH_RECTANGLES;
    pData->rdh.nCount = static_cast<DWORD>(runs.size());
    pData->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    ::SetRect(&pData->rdh.rcBound, 0, 0, 0, 0);
    RECT* pRects = reinterpret_cast<RECT*>(pData->Buffer);
    for (size_t i = 0; i < runs.size(); i++) {
        pRects[i] = runs[i];
        ::OffsetRect(&pRects[i], dx, dy);
        ::UnionRect(&pData->rdh.rcBound, &pData->rdh.rcBound, &pRects[i]);
    }
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), pData);
}
