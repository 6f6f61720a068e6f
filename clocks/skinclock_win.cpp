#include "clocks/skinclock_win.h"

#include "afx/afxapp.h"
#include "clocks/clockmenu_win.h"
#include "clocks/clockwindow_win.h"
#include "clocks/skininfodlg_win.h"

BEGIN_MESSAGE_MAP(CSkinClockDlg, CClockWindow)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_WM_INITMENUPOPUP()
    ON_WM_MEASUREITEM()
    ON_WM_MENUCHAR()
END_MESSAGE_MAP()

const CClockKindSettings g_analogClockSettings = {
    SKIN_ANALOG,
    &CSettings::m_strAnalogSkin,
    &CSettings::m_strAnalogSkinDir,
    &CSettings::m_strAnalogChangeSkins,
    &CSettings::m_nAnalogScale,
    &CSettings::m_ptAnalogCenter,
    &CSettings::m_bAnalogOnTop,
    &CSettings::m_bAnalogOnBottom,
    &CSettings::m_bAnalogAlwaysCenter,
    &CSettings::m_bAnalogAutoRemove,
    &CSettings::m_bAnalogLockMovement,
    &CSettings::m_bAnalogChangeByMinutes,
    &CSettings::m_nAnalogChangeMinutes,
    &CSettings::m_bAnalogChangeBySeconds,
    &CSettings::m_nAnalogChangeSeconds,
};

const CClockKindSettings g_digitalClockSettings = {
    SKIN_DIGITAL,
    &CSettings::m_strDigitalSkin,
    &CSettings::m_strDigitalSkinDir,
    &CSettings::m_strDigitalChangeSkins,
    &CSettings::m_nDigitalScale,
    &CSettings::m_ptDigitalCenter,
    &CSettings::m_bDigitalOnTop,
    &CSettings::m_bDigitalOnBottom,
    &CSettings::m_bDigitalAlwaysCenter,
    &CSettings::m_bDigitalAutoRemove,
    &CSettings::m_bDigitalLockMovement,
    &CSettings::m_bDigitalChangeByMinutes,
    &CSettings::m_nDigitalChangeMinutes,
    &CSettings::m_bDigitalChangeBySeconds,
    &CSettings::m_nDigitalChangeSeconds,
};

CSkinClockDlg::CSkinClockDlg(UINT nIDTemplate, CWnd* pParent, const CClockKindSettings& kind, UINT nDrawTimer,
                             UINT nChangeTimer)
    : CClockWindow(nIDTemplate, pParent), m_strSeparator("***"), m_kind(kind), m_nDrawTimer(nDrawTimer),
      m_nChangeTimer(nChangeTimer)
{
}

CSkinClockDlg::~CSkinClockDlg() = default;

void CSkinClockDlg::OnOK() {}

void CSkinClockDlg::OnCancel() {}

void CSkinClockDlg::LoadMenuIcons(const UINT* pnIcons, int nCount)
{
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    for (int i = 0; i < nCount; i++) {
        HICON hIcon = static_cast<HICON>(
            ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(pnIcons[i]), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        m_imageList.Add(hIcon);
        if (hIcon != nullptr)
            ::DestroyIcon(hIcon);
    }
}

void CSkinClockDlg::FindSkins()
{
    ::FindSkins(Settings().*m_kind.pstrSkinDir, m_kind.kind, m_arrSkins);
}

// ---- drawing ----------------------------------------------------------------

void CSkinClockDlg::OnPaint()
{
    CPaintDC dc(this);
    HBITMAP hBuffer = GetBackBuffer();
    if (hBuffer == nullptr)
        return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc))
        return;
    {
        CSelectGuard select(memDC.GetSafeHdc(), hBuffer);
        const CSize size = GetBackBufferSize();
        CRect rcClient;
        GetClientRect(&rcClient);
        dc.BitBlt((rcClient.Width() - size.cx) / 2, (rcClient.Height() - size.cy) / 2, size.cx, size.cy, &memDC, 0, 0,
                  SRCCOPY);
    }
    memDC.DeleteDC();
}

BOOL CSkinClockDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

// A tick never runs inside another tick or inside a load: a message box or
// menu opened from either dispatches timer messages of its own.
void CSkinClockDlg::OnTimer(UINT_PTR nIDEvent)
{
    CClockBusyGuard tick(m_nTicking);
    if (tick.Entered() && m_nLoading == 0) {
        if (nIDEvent == m_nDrawTimer)
            DrawClock();
        else if (nIDEvent == m_nChangeTimer)
            NextRandomSkin();
    }
    Default();
}

// ---- placement --------------------------------------------------------------

CPoint CSkinClockDlg::GetWindowCenter()
{
    // A window that no load has placed has no centre of its own yet: the
    // stored one stays, so a clock whose re-creation failed comes back where it was.
    if (m_hWnd == nullptr || !m_bPlaced)
        return CPoint(Settings().*m_kind.pptCenter);
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    return GetCenterOf(rcWindow, rcClient.Width(), rcClient.Height());
}

void CSkinClockDlg::StoreCenter()
{
    Settings().*m_kind.pptCenter = GetWindowCenter();
}

void CSkinClockDlg::Reload()
{
    LoadSkin(Settings().*m_kind.pnScale);
}

void CSkinClockDlg::PlaceWindow(const CRect& rc)
{
    MoveWindow(&rc, TRUE);
    if (m_bPlaced)
        StoreCenter();
}

void CSkinClockDlg::PlaceAroundStoredCenter(int nWidth, int nHeight)
{
    const CPoint ptTopLeft = GetTopLeftAround(Settings().*m_kind.pptCenter, nWidth, nHeight);
    PlaceWindow(CRect(ptTopLeft.x, ptTopLeft.y, ptTopLeft.x + nWidth, ptTopLeft.y + nHeight));
    m_bPlaced = TRUE;
}

void CSkinClockDlg::CenterOnScreen(BOOL bHorizontal, BOOL bVertical)
{
    CRect rc;
    GetWindowRect(&rc);
    const CPoint ptOffset = GetCenterOffset(rc, ::GetSystemMetrics(SM_CXFULLSCREEN),
                                            ::GetSystemMetrics(SM_CYFULLSCREEN), bHorizontal, bVertical);
    rc.OffsetRect(ptOffset);
    PlaceWindow(rc);
}

void CSkinClockDlg::KeepInWorkArea()
{
    if (Settings().*m_kind.pbAlwaysCenter) {
        CenterOnScreen(TRUE, TRUE);
        return;
    }
    CRect rc;
    GetWindowRect(&rc);
    const CPlacement place = KeepRectInWorkArea(rc, GetClockWorkArea(m_hWnd), Settings().*m_kind.pbAutoRemove);
    PlaceWindow(place.rc);
    if (place.bCenterH || place.bCenterV)
        CenterOnScreen(place.bCenterH, place.bCenterV);
}

void CSkinClockDlg::KeepInWorkAreaAlways()
{
    BOOL& bAutoRemove = Settings().*m_kind.pbAutoRemove;
    const BOOL bStored = bAutoRemove;
    bAutoRemove = TRUE;
    KeepInWorkArea();
    bAutoRemove = bStored;
}

void CSkinClockDlg::OnEndOfMove()
{
    KeepInWorkArea();
    StoreCenter();
}

void CSkinClockDlg::ApplyOnTop()
{
    SetWindowPos(Settings().*m_kind.pbOnTop ? &wndTopMost : &wndNoTopMost, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CSkinClockDlg::ApplyOnBottom()
{
    if (Settings().*m_kind.pbOnBottom && !(Settings().*m_kind.pbOnTop))
        SetWindowPos(&wndBottom, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CSkinClockDlg::SetAutoChangeTimer(BOOL bOn)
{
    if (m_hWnd == nullptr)
        return;
    const CSettings& s = Settings();
    const UINT nInterval = GetAutoChangeInterval(s.*m_kind.pbChangeByMinutes, s.*m_kind.pnChangeMinutes,
                                                 s.*m_kind.pbChangeBySeconds, s.*m_kind.pnChangeSeconds);
    if (bOn && nInterval >= 1)
        SetTimer(m_nChangeTimer, nInterval);
    else
        KillTimer(m_nChangeTimer);
}

LRESULT CSkinClockDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // The hide command may end in this window's destruction: nothing of
        // the object is touched after it.
        if (OnClockCommand(LOWORD(wParam)))
            return 0;
        break;
    case WM_NCACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCHITTEST:
        ApplyOnBottom();
        break;
    case WM_EXITSIZEMOVE:
        OnEndOfMove();
        break;
    default:
        break;
    }
    return CClockWindow::WindowProc(message, wParam, lParam);
}

void CSkinClockDlg::ShowSkinInfo(CSkinInfoDlg& dlg)
{
    const CSettings& s = Settings();
    dlg.m_strSkinPath = GetSkinArchivePath(s.*m_kind.pstrSkinDir, s.*m_kind.pstrSkin, m_kind.kind);
    dlg.m_strUnpackedPath = GetSkinDataPath(GetClockTempFolder(), s.*m_kind.pstrSkin);
    dlg.m_strArchiveSize = CSkinInfoDlg::GetFileSizeText(dlg.m_strSkinPath);
    dlg.m_strUnpackedSize = CSkinInfoDlg::GetFileSizeText(dlg.m_strUnpackedPath);
    dlg.DoModal();
}

// ---- mouse and menu ---------------------------------------------------------

LRESULT CSkinClockDlg::OnNcHitTest(CPoint)
{
    return GetClockHitTest(Default(), Settings().*m_kind.pbLockMovement);
}

void CSkinClockDlg::OnInitMenuPopup(CMenu*, UINT, BOOL)
{
    Default();
}

void CSkinClockDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU && m_pMenu) {
        MeasureClockMenuItem(*m_pMenu, lpMeasureItemStruct);
        return;
    }
    CClockWindow::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT CSkinClockDlg::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    return ClockMenuChar(nChar, nFlags, pMenu);
}
