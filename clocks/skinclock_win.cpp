#include "clocks/skinclock_win.h"

#include "afx/afxapp.h"
#include "afx/afxtime.h"
#include "clocks/clockmenu_win.h"
#include "clocks/clockwindow_win.h"
#include "clocks/digitalmodel.h"
#include "clocks/skindata.h"
#include "clocks/skininfodlg_win.h"
#include "core/messages.h"
#include "image/picture.h"

#include <cstdlib>

BEGIN_MESSAGE_MAP(CSkinClockDlg, CClockWindow)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_WM_NCRBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
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
    &CSettings::m_bAnalogAutoChange,
    &CSettings::m_bAnalogChangeByMinutes,
    &CSettings::m_nAnalogChangeMinutes,
    &CSettings::m_bAnalogChangeBySeconds,
    &CSettings::m_nAnalogChangeSeconds,
    &CSettings::m_nAnalogLight,
    &CSettings::m_nAnalogContrast,
    &CSettings::m_nAnalogJitter,
    &CSettings::m_nAnalogDblClkAction,
    ID_ANALOG_ONTOP,
    ID_ANALOG_ONBOTTOM,
    ID_ANALOG_AUTOREMOVE,
    ID_ANALOG_ALWAYSCENTER,
    ID_ANALOG_AUTOCHANGE,
    ID_ANALOG_LOCK,
    ID_ANALOG_CENTER,
    ID_ANALOG_SKINBROWSER,
    ID_ANALOG_OPTIONS,
    ID_ANALOG_SKININFO,
    ID_ANALOG_HIDE,
    ID_ANALOG_LIGHT_FIRST,
    ID_ANALOG_CONTRAST_FIRST,
    ID_ANALOG_JITTER_FIRST,
    ID_ANALOG_EFFECT_LAST,
    UM_SHOWANALOGOPTIONS,
    UM_HIDEANALOGCLOCK,
    SkinDescription::ANALOG_NAME,
    SkinDescription::ANALOG_AUTHOR,
    SkinDescription::ANALOG_DATE,
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
    &CSettings::m_bDigitalAutoChange,
    &CSettings::m_bDigitalChangeByMinutes,
    &CSettings::m_nDigitalChangeMinutes,
    &CSettings::m_bDigitalChangeBySeconds,
    &CSettings::m_nDigitalChangeSeconds,
    &CSettings::m_nDigitalLight,
    &CSettings::m_nDigitalContrast,
    &CSettings::m_nDigitalJitter,
    &CSettings::m_nDigitalDblClkAction,
    ID_DIGITAL_ONTOP,
    ID_DIGITAL_ONBOTTOM,
    ID_DIGITAL_AUTOREMOVE,
    ID_DIGITAL_ALWAYSCENTER,
    ID_DIGITAL_AUTOCHANGE,
    ID_DIGITAL_LOCK,
    ID_DIGITAL_CENTER,
    ID_DIGITAL_SKINBROWSER,
    ID_DIGITAL_OPTIONS,
    ID_DIGITAL_SKININFO,
    ID_DIGITAL_HIDE,
    ID_DIGITAL_LIGHT_FIRST,
    ID_DIGITAL_CONTRAST_FIRST,
    ID_DIGITAL_JITTER_FIRST,
    ID_DIGITAL_EFFECT_LAST,
    UM_SHOWDIGITALOPTIONS,
    UM_HIDEDIGITALCLOCK,
    SkinDescription::DIGITAL_NAME,
    SkinDescription::DIGITAL_AUTHOR,
    SkinDescription::DIGITAL_DATE,
};

// Both kinds' descriptions start with the type and the format version.
static_assert(static_cast<int>(SkinDescription::ANALOG_TYPE) == static_cast<int>(SkinDescription::DIGITAL_TYPE)
                  && static_cast<int>(SkinDescription::ANALOG_VERSION)
                         == static_cast<int>(SkinDescription::DIGITAL_VERSION),
              "description fields");

namespace {

BOOL Toggle(BOOL& b)
{
    b = b ? FALSE : TRUE;
    return b;
}

} // namespace

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

HBITMAP CSkinClockDlg::MakeClockBitmap(const CPicture& picture) const
{
    return picture.MakeBitmap(nullptr);
}

BOOL CSkinClockDlg::LoadFailed(const CString& strMessage)
{
    AfxMessageBox(strMessage, MB_OK);
    return FALSE;
}

void CSkinClockDlg::FindSkins()
{
    ::FindSkins(Settings().*m_kind.pstrSkinDir, m_kind.kind, m_arrSkins);
}

// ---- drawing ----------------------------------------------------------------

HDC CSkinClockDlg::GetMemoryDC(CDC& dc)
{
    if (dc.GetSafeHdc() == nullptr)
        dc.CreateCompatibleDC(nullptr);
    return dc.GetSafeHdc();
}

// Centred in the client area.
static void PaintBuffer(CWnd& wnd, HDC hDC, HDC hBufferDC, const CSize& size)
{
    CRect rcClient;
    wnd.GetClientRect(&rcClient);
    ::BitBlt(hDC, (rcClient.Width() - size.cx) / 2, (rcClient.Height() - size.cy) / 2, size.cx, size.cy, hBufferDC, 0,
             0, SRCCOPY);
}

void CSkinClockDlg::OnPaint()
{
    CPaintDC dc(this);
    HBITMAP hBuffer = GetBackBuffer();
    HDC hBufferDC = GetMemoryDC(m_dcBuffer);
    if (hBuffer == nullptr || hBufferDC == nullptr)
        return;
    CSelectGuard select(hBufferDC, hBuffer);
    PaintBuffer(*this, dc.GetSafeHdc(), hBufferDC, GetBackBufferSize());
}

// Once a second an invalidation, an erase and an update of the whole window
// cost more than the drawing itself; a copy into the window's context gives
// the same pixels at once. A part of the window uncovered meanwhile still
// gets its WM_PAINT.
void CSkinClockDlg::ShowBackBuffer(HDC hBufferDC)
{
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC == nullptr)
        return;
    PaintBuffer(*this, hDC, hBufferDC, GetBackBufferSize());
    ::ReleaseDC(m_hWnd, hDC);
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
        if (nIDEvent == m_nDrawTimer) {
            KeepOnTop();
            DrawClock();
        } else if (nIDEvent == m_nChangeTimer) {
            NextRandomSkin();
        }
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

// Where the display stacks the windows itself only for one that becomes the
// first of all (Wine's virtual desktop, a display without a window manager),
// a window shown or activated after a top-most clock covers it on the screen
// although the system's order keeps the clock above. Another foreground
// window says that may have happened: a clock that is still the first visible
// window is taken out of the top-most windows and put back, which restacks it
// on the screen and leaves the order of the visible windows as it was (being
// first already, it is not restacked by a move to the top). A top-most window
// above the clock (a menu, an alarm) stays above it.
void CSkinClockDlg::KeepOnTop()
{
    if (!(Settings().*m_kind.pbOnTop)) {
        m_hForeground = nullptr;
        return;
    }
    HWND hForeground = ::GetForegroundWindow();
    if (hForeground == m_hForeground)
        return;
    m_hForeground = hForeground;
    if (!IsWindowVisible())
        return;
    for (HWND h = ::GetWindow(m_hWnd, GW_HWNDPREV); h != nullptr; h = ::GetWindow(h, GW_HWNDPREV)) {
        if (::IsWindowVisible(h))
            return;
    }
    const UINT nFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
    SetWindowPos(&wndNoTopMost, 0, 0, 0, 0, nFlags);
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, nFlags);
}

// In place rather than made anew: the window, its menu and a box it has
// open stay, and nothing is hidden unless the picture must change.
void CSkinClockDlg::ApplyOptions()
{
    if (m_hWnd == nullptr)
        return;
    CSettings& s = Settings();
    ApplyOnTop();
    ApplyOnBottom();
    KeepInWorkArea();
    // A load already running (its box open) is not entered; it ends with
    // what it began with, and the next load takes the settings.
    if (m_nLoading > 0)
        return;
    CString& strSkin = s.*m_kind.pstrSkin;
    if (strSkin == m_strShownSkin) {
        ApplyDrawingOptions();
        return;
    }
    StoreCenter();
    if (!LoadSkin(s.*m_kind.pnScale) && !m_strShownSkin.IsEmpty())
        strSkin = m_strShownSkin;
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

void CSkinClockDlg::ShowSkinInfo()
{
    const CSettings& s = Settings();
    const SkinDescription description(m_strSkinDescription);
    CSkinInfoDlg dlg(this);
    dlg.m_strName = description.GetField(m_kind.nNameField);
    dlg.m_strVersion = description.GetField(SkinDescription::ANALOG_VERSION);
    dlg.m_strType = description.GetField(SkinDescription::ANALOG_TYPE);
    dlg.m_strAuthor = description.GetField(m_kind.nAuthorField);
    dlg.m_strDate = description.GetField(m_kind.nDateField);
    FillSkinInfo(dlg);
    dlg.m_strSkinPath = GetSkinArchivePath(s.*m_kind.pstrSkinDir, s.*m_kind.pstrSkin, m_kind.kind);
    dlg.m_strUnpackedPath = GetSkinDataPath(GetClockTempFolder(), s.*m_kind.pstrSkin);
    dlg.m_strArchiveSize = CSkinInfoDlg::GetFileSizeText(dlg.m_strSkinPath);
    dlg.m_strUnpackedSize = CSkinInfoDlg::GetFileSizeText(dlg.m_strUnpackedPath);
    dlg.DoModal();
}

// ---- commands ---------------------------------------------------------------

// Commands that store the centre do so before anything moves or reloads.
BOOL CSkinClockDlg::OnClockCommand(UINT nID)
{
    CSettings& s = Settings();
    const CClockKindSettings& k = m_kind;
    const INT_PTR nSkin = GetSkinIndexOfCommand(nID, m_arrSkins.GetSize());
    if (nID >= k.nLightFirstID && nID < k.nContrastFirstID) {
        s.*k.pnLight = static_cast<int>(nID - k.nLightFirstID);
        Reload();
    } else if (nID >= k.nContrastFirstID && nID < k.nJitterFirstID) {
        s.*k.pnContrast = static_cast<int>(nID - k.nContrastFirstID);
        Reload();
    } else if (nID >= k.nJitterFirstID && nID <= k.nEffectLastID) {
        s.*k.pnJitter = static_cast<int>(nID - k.nJitterFirstID);
        Reload();
    } else if (nSkin >= 0) {
        // A skin that cannot load leaves the last good one as the setting, so
        // the next start does not open a clock that closes again at once.
        const CString strGood = s.*k.pstrSkin;
        s.*k.pstrSkin = m_arrSkins[nSkin];
        StoreCenter();
        if (!LoadSkin(s.*k.pnScale))
            s.*k.pstrSkin = strGood;
    } else if (nID == k.nOnTopID) {
        Toggle(s.*k.pbOnTop);
        ApplyOnTop();
    } else if (nID == k.nOnBottomID) {
        Toggle(s.*k.pbOnBottom);
        ApplyOnBottom();
    } else if (nID == k.nSkinBrowserID) {
        s.m_nSkinBrowserType = GetSkinBrowserType(k.kind);
        SendToMainWindow(UM_SHOWSKINBROWSER);
    } else if (nID == k.nAutoRemoveID) {
        if (Toggle(s.*k.pbAutoRemove))
            KeepInWorkArea();
        StoreCenter();
    } else if (nID == k.nAlwaysCenterID) {
        if (Toggle(s.*k.pbAlwaysCenter)) {
            CenterOnScreen(TRUE, TRUE);
            StoreCenter();
        }
    } else if (nID == k.nAutoChangeID) {
        Toggle(s.*k.pbAutoChange);
        StoreCenter();
        SetAutoChangeTimer(s.*k.pbAutoChange);
    } else if (nID == k.nLockID) {
        Toggle(s.*k.pbLockMovement);
    } else if (nID == k.nCenterID) {
        CenterOnScreen(TRUE, TRUE);
        StoreCenter();
    } else if (nID == k.nOptionsID) {
        SendToMainWindow(k.nOptionsMessage);
    } else if (nID == k.nSkinInfoID) {
        ShowSkinInfo();
    } else if (nID == k.nHideID) {
        SendToMainWindow(k.nHideMessage);
        return TRUE;
    } else {
        OnKindCommand(nID);
    }
    return FALSE;
}

void CSkinClockDlg::NextRandomSkin()
{
    CString& strSkin = Settings().*m_kind.pstrSkin;
    if (!m_arrChangePool.Refill(Settings().*m_kind.pstrChangeSkins, m_strSeparator))
        return;
    std::srand(static_cast<unsigned>(CTime::GetCurrentTime().GetTime()));
    strSkin = m_arrChangePool.Take(std::rand());
    StoreCenter();
    Reload();
}

// ---- mouse and menu ---------------------------------------------------------

LRESULT CSkinClockDlg::OnNcHitTest(CPoint)
{
    return GetClockHitTest(Default(), Settings().*m_kind.pbLockMovement);
}

// Every load builds the menu, and a load can run while the menu is open (a
// tick that changes the text's length, the automatic change, a reload the
// main window asks for): the menu being tracked must not be destroyed under
// the user, nor the skins its items stand for renumbered. The settings are
// still tidied as the menu would show them.
void CSkinClockDlg::BuildContextMenu()
{
    const BOOL bOpen = m_nMenuOpen > 0;
    if (!bOpen)
        FindSkins();
    const std::vector<CClockMenuItem> items = BuildMenuItems();
    if (bOpen)
        return;
    m_pMenu.reset();
    m_pMenu = CreateClockMenu(items, &m_imageList);
}

// The menu answers the press; no default processing follows: for a press on
// the caption it waits for the button's release to open a system menu the
// clock does not have, and the menu has already taken that release, so the
// window would keep the mouse captured until the next right click.
void CSkinClockDlg::OnNcRButtonDown(UINT, CPoint)
{
    if (m_nMenuOpen > 0)
        return;
    BuildContextMenu();
    if (!m_pMenu)
        return;
    CClockBusyGuard open(m_nMenuOpen);
    POINT pt;
    ::GetCursorPos(&pt);
    TrackClockMenu(*m_pMenu, pt, this);
}

void CSkinClockDlg::OnNcLButtonDblClk(UINT, CPoint)
{
    switch (Settings().*m_kind.pnDblClkAction) {
    case 1:
        NextRandomSkin();
        break;
    case 2:
        // Hidden as the menu's command hides it; the window may be gone after it.
        SendMessage(WM_COMMAND, m_kind.nHideID, 0);
        return;
    case 3:
        SendToMainWindow(m_kind.nOptionsMessage);
        break;
    case 4:
        SendMessage(WM_NCRBUTTONDOWN, 0, 0);
        break;
    default: // 0 nothing; 5 a web page the program does not know
        break;
    }
    Default();
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
