#include "clocks/digitalclock_win.h"

#include "afx/afxapp.h"
#include "afx/afxtime.h"
#include "app/messages.h"
#include "app/settings.h"
#include "clocks/analogclock_win.h"
#include "clocks/clockmenu_win.h"
#include "clocks/clockwindow_win.h"
#include "clocks/digitalmodel.h"
#include "clocks/skininfodlg_win.h"
#include "clocks/timeformat.h"
#include "res/clocks_res.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

BEGIN_MESSAGE_MAP(CDigitalClockDlg, CClockWindow)
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

namespace {

const UINT kIcons[DIGITAL_ICON_COUNT] = {IDI_CLOCK_EFFECTS, IDI_CLOCK_SCALING, IDI_CLOCK_CHOOSESKIN,
                                         IDI_CLOCK_FORMATS, IDI_CLOCK_CENTER,  IDI_CLOCK_OPTIONS,
                                         IDI_CLOCK_HIDE,    IDI_CLOCK_SKIN,    IDI_CLOCK_SKININFO};

BOOL Toggle(BOOL& b)
{
    b = b ? FALSE : TRUE;
    return b;
}

// The options dialog's message carries which page to open.
void ShowOptions(WPARAM nPage)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != nullptr && pMain->GetSafeHwnd() != nullptr)
        ::SendMessageA(pMain->GetSafeHwnd(), UM_SHOWDIGITALOPTIONS, nPage, 0);
}

} // namespace

CDigitalClockDlg::CDigitalClockDlg(CWnd* pParent)
    : CClockWindow(IDD, pParent), m_strSeparator("***"), m_strGlyphSet(g_szDigitalGlyphSet)
{
}

CDigitalClockDlg::~CDigitalClockDlg() = default;

void CDigitalClockDlg::DoDataExchange(CDataExchange* pDX)
{
    CClockWindow::DoDataExchange(pDX);
}

LRESULT CDigitalClockDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CClockWindow::DefWindowProc(message, wParam, lParam);
}

BOOL CDigitalClockDlg::OnInitDialog()
{
    CClockWindow::OnInitDialog();
    FillFormatPresets(m_arrPresets);
    SetWindowText("Veltran Clock - Digital Clock");
    if (g_settings.m_bDigitalOnTop)
        ApplyOnTop();
    if (g_settings.m_bDigitalOnBottom)
        ApplyOnBottom();
    ModifyStyleEx(0, WS_EX_TOOLWINDOW);
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    for (UINT nIcon : kIcons) {
        HICON hIcon = static_cast<HICON>(
            ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIcon), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        m_imageList.Add(hIcon);
        if (hIcon != nullptr)
            ::DestroyIcon(hIcon);
    }
    return TRUE;
}

void CDigitalClockDlg::OnOK() {}

void CDigitalClockDlg::OnCancel() {}

BOOL CDigitalClockDlg::DestroyWindow()
{
    if (m_hWnd != nullptr) {
        KillTimer(TIMER_DRAW);
        StoreCenter();
    }
    return CClockWindow::DestroyWindow();
}

// ---- loading ----------------------------------------------------------------

// A load that fails keeps the canvas, the glyphs and the place of the last
// good one, with its timer: the window goes on showing a whole clock and no
// tick ever draws from bitmaps that are half made.
int CDigitalClockDlg::LoadSkin(int nScale)
{
    if (m_hWnd == nullptr)
        return FALSE;
    CClockBusyGuard loading(m_nLoading);
    if (!loading.Entered())
        return FALSE;

    CSettings& s = g_settings;
    if (nScale <= 0)
        nScale = 100; // nothing could be drawn at it
    s.m_nDigitalScale = nScale;
    if (s.m_strDigitalFormat.IsEmpty())
        s.m_strDigitalFormat = g_szDefaultDigitalFormat;
    m_strFormat = s.m_strDigitalFormat;
    FormatTime();
    BuildContextMenu();

    CSkinOpen open(SKIN_DIGITAL, s.m_strDigitalSkinDir, CString());
    std::vector<BYTE> bytes;
    if (!OpenSkinForWindow(SKIN_DIGITAL, s.m_strDigitalSkinDir, s.m_strDigitalSkin, open, bytes))
        return FALSE;

    DigitalSkinData data;
    CPicture pictures[2];
    CString strError;
    if (!LoadDigitalSkin(bytes.data(), bytes.size(), data, pictures, strError)) {
        AfxMessageBox(strError, MB_OK);
        return FALSE;
    }
    // The background region is only proved; the Abc region is kept, unused.
    CRgn background, abc;
    background.Attach(CreateSkinRegion(data.backgroundRegion));
    if (background.GetSafeHandle() == nullptr) {
        AfxMessageBox("Cannot read Background region!", MB_OK);
        return FALSE;
    }
    background.DeleteObject();
    if (data.nHasAbcRegion > 0) {
        abc.Attach(CreateSkinRegion(data.abcRegion));
        if (abc.GetSafeHandle() == nullptr) {
            AfxMessageBox("Cannot read Abc region!", MB_OK);
            return FALSE;
        }
    }

    CDigitalFaceOptions options;
    options.nScale = nScale;
    options.nFixedSize = s.m_nDigitalFixedSize;
    options.nLight = s.m_nDigitalLight;
    options.nContrast = s.m_nDigitalContrast;
    options.nJitter = s.m_nDigitalJitter;
    CDigitalClockFace face;
    if (!face.Prepare(pictures, options, m_strText.GetLength()))
        return FALSE;
    CBitmap canvas, glyphs;
    canvas.Attach(face.GetBackground().MakeBitmap(nullptr));
    glyphs.Attach(face.GetStrip().MakeBitmap(nullptr));
    if (canvas.GetSafeHandle() == nullptr || glyphs.GetSafeHandle() == nullptr)
        return FALSE;

    // Everything is made: the new skin takes over.
    m_face = face;
    m_bmpCanvas.DeleteObject();
    m_bmpCanvas.Attach(canvas.Detach());
    m_bmpGlyphs.DeleteObject();
    m_bmpGlyphs.Attach(glyphs.Detach());
    m_rgnAbc.DeleteObject();
    if (abc.GetSafeHandle() != nullptr)
        m_rgnAbc.Attach(abc.Detach());
    m_bHasAbcRegion = data.nHasAbcRegion > 0;
    m_strSkinDescription = data.strDescription;
    m_sizeSkinBackground = m_face.GetSkinBackgroundSize();
    m_nBackWidth = m_face.GetWidth();
    m_nBackHeight = m_face.GetHeight();
    m_nGlyphWidth = m_face.GetGlyphWidth();
    m_nGlyphHeight = m_face.GetGlyphHeight();
    m_strArchivePath = open.m_strArchivePath;
    m_strDataPath = open.m_strDataPath;

    ShowWindow(SW_HIDE);
    SetWindowRgn(nullptr, FALSE);
    const CPoint ptTopLeft = GetTopLeftAround(s.m_ptDigitalCenter, m_nBackWidth, m_nBackHeight);
    PlaceWindow(CRect(ptTopLeft.x, ptTopLeft.y, ptTopLeft.x + m_nBackWidth, ptTopLeft.y + m_nBackHeight));
    m_bPlaced = TRUE;
    KeepInWorkArea();

    m_strPrevText.Empty();
    PaintText(UpperCaseClockText(m_strText));
    SetTimer(TIMER_DRAW, 1000);

    const BOOL bAutoRemove = s.m_bDigitalAutoRemove;
    s.m_bDigitalAutoRemove = TRUE;
    KeepInWorkArea();
    s.m_bDigitalAutoRemove = bAutoRemove;
    ShowWindow(SW_SHOW);
    SetAutoChangeTimer(s.m_bDigitalAutoChange);
    return TRUE;
}

void CDigitalClockDlg::FindSkins()
{
    ::FindSkins(g_settings.m_strDigitalSkinDir, SKIN_DIGITAL, m_arrSkins);
}

// ---- drawing ----------------------------------------------------------------

// All tokens and the blink phase come from one reading of the clock.
void CDigitalClockDlg::FormatTime()
{
    m_strText = ExpandTimeFormat(m_strFormat, CTime::GetCurrentTime());
}

void CDigitalClockDlg::DrawClock()
{
    if (m_hWnd == nullptr)
        return;
    const int nLength = m_strText.GetLength();
    FormatTime();
    m_strText = UpperCaseClockText(m_strText);
    if (m_strText == m_strPrevText)
        return;
    if (m_strText.GetLength() != nLength) {
        // A text of another length needs a background of another width.
        LoadSkin(g_settings.m_nDigitalScale);
        return;
    }
    PaintText(m_strText);
}

void CDigitalClockDlg::PaintText(const CString& strText)
{
    if (m_bmpCanvas.GetSafeHandle() == nullptr || m_bmpGlyphs.GetSafeHandle() == nullptr)
        return;
    CDC canvasDC, glyphDC;
    if (canvasDC.CreateCompatibleDC(nullptr) && glyphDC.CreateCompatibleDC(nullptr)) {
        CSelectGuard selectCanvas(canvasDC.GetSafeHdc(), m_bmpCanvas.GetSafeHandle());
        CSelectGuard selectGlyphs(glyphDC.GetSafeHdc(), m_bmpGlyphs.GetSafeHandle());
        std::vector<CGlyphPlacement> placements;
        GetGlyphPlacements(strText, m_nBackWidth, m_nBackHeight, m_nGlyphWidth, m_nGlyphHeight, placements);
        CRect rcStart;
        GetClientRect(&rcStart);
        for (const CGlyphPlacement& place : placements) {
            // A window resized meanwhile stops the pass; the next one draws again.
            CRect rcNow;
            GetClientRect(&rcNow);
            if (rcNow != rcStart)
                break;
            ::BitBlt(canvasDC, place.xDst, place.yDst, place.cx, place.cy, glyphDC, place.xSrc, place.ySrc, SRCCOPY);
        }
        m_strPrevText = strText;
    }
    canvasDC.DeleteDC();
    glyphDC.DeleteDC();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CDigitalClockDlg::OnPaint()
{
    CPaintDC dc(this);
    if (m_bmpCanvas.GetSafeHandle() == nullptr)
        return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc))
        return;
    {
        CSelectGuard select(memDC.GetSafeHdc(), m_bmpCanvas.GetSafeHandle());
        CRect rcClient;
        GetClientRect(&rcClient);
        dc.BitBlt((rcClient.Width() - m_nBackWidth) / 2, (rcClient.Height() - m_nBackHeight) / 2, m_nBackWidth,
                  m_nBackHeight, &memDC, 0, 0, SRCCOPY);
    }
    memDC.DeleteDC();
}

BOOL CDigitalClockDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

// A tick never runs inside another tick or inside a load: a message box or
// menu opened from either dispatches timer messages of its own.
void CDigitalClockDlg::OnTimer(UINT_PTR nIDEvent)
{
    CClockBusyGuard tick(m_nTicking);
    if (tick.Entered() && m_nLoading == 0) {
        if (nIDEvent == TIMER_DRAW)
            DrawClock();
        else if (nIDEvent == TIMER_AUTOCHANGE)
            NextRandomSkin();
    }
    Default();
}

HRGN CDigitalClockDlg::BitmapToRegion(HBITMAP hBmp, COLORREF crKey, COLORREF crTolerance)
{
    return CAnalogClockDlg::BitmapToRegion(hBmp, crKey, crTolerance);
}

void CDigitalClockDlg::UpdateMenuCmdUI(CMenu* pPopupMenu)
{
    if (m_hWnd != nullptr && pPopupMenu != nullptr)
        AfxUpdateMenuPopupCmdUI(this, m_hWnd, pPopupMenu);
}

BOOL CDigitalClockDlg::FileExists(LPCSTR lpszPath)
{
    return ::GetFileAttributesA(lpszPath) != INVALID_FILE_ATTRIBUTES;
}

// ---- behaviour --------------------------------------------------------------

CPoint CDigitalClockDlg::GetWindowCenter()
{
    // A window that no load has placed has no centre of its own yet: the
    // stored one stays, so a clock whose re-creation failed comes back where it was.
    if (m_hWnd == nullptr || !m_bPlaced)
        return CPoint(g_settings.m_ptDigitalCenter);
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    return GetCenterOf(rcWindow, rcClient.Width(), rcClient.Height());
}

void CDigitalClockDlg::StoreCenter()
{
    g_settings.m_ptDigitalCenter = GetWindowCenter();
}

void CDigitalClockDlg::Reload()
{
    LoadSkin(g_settings.m_nDigitalScale);
}

void CDigitalClockDlg::PlaceWindow(const CRect& rc)
{
    MoveWindow(&rc, TRUE);
    if (m_bPlaced)
        StoreCenter();
}

void CDigitalClockDlg::CenterOnScreen(BOOL bHorizontal, BOOL bVertical)
{
    CRect rc;
    GetWindowRect(&rc);
    const CPoint ptOffset = GetCenterOffset(rc, ::GetSystemMetrics(SM_CXFULLSCREEN),
                                            ::GetSystemMetrics(SM_CYFULLSCREEN), bHorizontal, bVertical);
    rc.OffsetRect(ptOffset);
    PlaceWindow(rc);
}

void CDigitalClockDlg::KeepInWorkArea()
{
    if (g_settings.m_bDigitalAlwaysCenter) {
        CenterOnScreen(TRUE, TRUE);
        return;
    }
    CRect rc;
    GetWindowRect(&rc);
    const CPlacement place = KeepRectInWorkArea(rc, GetClockWorkArea(m_hWnd), g_settings.m_bDigitalAutoRemove);
    PlaceWindow(place.rc);
    if (place.bCenterH || place.bCenterV)
        CenterOnScreen(place.bCenterH, place.bCenterV);
}

void CDigitalClockDlg::ApplyOnTop()
{
    SetWindowPos(g_settings.m_bDigitalOnTop ? &wndTopMost : &wndNoTopMost, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CDigitalClockDlg::ApplyOnBottom()
{
    if (g_settings.m_bDigitalOnBottom && !g_settings.m_bDigitalOnTop)
        SetWindowPos(&wndBottom, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CDigitalClockDlg::SetAutoChangeTimer(BOOL bOn)
{
    if (m_hWnd == nullptr)
        return;
    const UINT nInterval =
        GetAutoChangeInterval(g_settings.m_bDigitalChangeByMinutes, g_settings.m_nDigitalChangeMinutes,
                              g_settings.m_bDigitalChangeBySeconds, g_settings.m_nDigitalChangeSeconds);
    if (bOn && nInterval >= 1)
        SetTimer(TIMER_AUTOCHANGE, nInterval);
    else
        KillTimer(TIMER_AUTOCHANGE);
}

void CDigitalClockDlg::NextRandomSkin()
{
    if (!m_arrChangePool.Refill(g_settings.m_strDigitalChangeSkins, m_strSeparator))
        return;
    std::srand(static_cast<unsigned>(CTime::GetCurrentTime().GetTime()));
    g_settings.m_strDigitalSkin = m_arrChangePool.Take(std::rand());
    Reload();
}

LRESULT CDigitalClockDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
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
        KeepInWorkArea();
        StoreCenter();
        break;
    default:
        break;
    }
    return CClockWindow::WindowProc(message, wParam, lParam);
}

BOOL CDigitalClockDlg::OnClockCommand(UINT nID)
{
    CSettings& s = g_settings;
    const INT_PTR nSkin = GetSkinIndexOfCommand(nID, m_arrSkins.GetSize());
    const INT_PTR nFormat = GetFormatIndexOfCommand(nID, m_arrPresets.GetSize());
    if (nID >= ID_DIGITAL_SCALE_FIRST && nID <= ID_DIGITAL_SCALE_LAST) {
        s.m_nDigitalScale = static_cast<int>(nID - 500) * 10;
        const int nFixed = s.m_nDigitalFixedSize;
        s.m_nDigitalFixedSize = -1;
        Reload();
        s.m_nDigitalFixedSize = nFixed;
        if (s.m_nDigitalFixedSize > 0) {
            CRect rcClient;
            GetClientRect(&rcClient);
            s.m_nDigitalFixedSize = std::max(rcClient.Width(), rcClient.Height());
        }
    } else if (nID >= ID_DIGITAL_LIGHT_FIRST && nID < ID_DIGITAL_CONTRAST_FIRST) {
        s.m_nDigitalLight = static_cast<int>(nID - ID_DIGITAL_LIGHT_FIRST);
        Reload();
    } else if (nID >= ID_DIGITAL_CONTRAST_FIRST && nID < ID_DIGITAL_JITTER_FIRST) {
        s.m_nDigitalContrast = static_cast<int>(nID - ID_DIGITAL_CONTRAST_FIRST);
        Reload();
    } else if (nID >= ID_DIGITAL_JITTER_FIRST && nID <= ID_DIGITAL_EFFECT_LAST) {
        s.m_nDigitalJitter = static_cast<int>(nID - ID_DIGITAL_JITTER_FIRST);
        Reload();
    } else if (nSkin >= 0) {
        // As the analog clock: a skin that cannot load leaves the last good one set.
        const CString strGood = s.m_strDigitalSkin;
        s.m_strDigitalSkin = m_arrSkins[nSkin];
        if (!LoadSkin(s.m_nDigitalScale))
            s.m_strDigitalSkin = strGood;
    } else if (nFormat >= 0) {
        s.m_strDigitalFormat = m_arrPresets[nFormat];
        Reload();
    } else {
        switch (nID) {
        case ID_DIGITAL_ONTOP:
            Toggle(s.m_bDigitalOnTop);
            ApplyOnTop();
            break;
        case ID_DIGITAL_ONBOTTOM:
            Toggle(s.m_bDigitalOnBottom);
            ApplyOnBottom();
            break;
        case ID_DIGITAL_AUTOREMOVE:
            if (Toggle(s.m_bDigitalAutoRemove))
                KeepInWorkArea();
            break;
        case ID_DIGITAL_ALWAYSCENTER:
            if (Toggle(s.m_bDigitalAlwaysCenter))
                CenterOnScreen(TRUE, TRUE);
            break;
        case ID_DIGITAL_AUTOCHANGE:
            Toggle(s.m_bDigitalAutoChange);
            SetAutoChangeTimer(s.m_bDigitalAutoChange);
            break;
        case ID_DIGITAL_LOCK:
            Toggle(s.m_bDigitalLockMovement);
            break;
        case ID_DIGITAL_FIXEDSIZE:
            if (s.m_nDigitalFixedSize > 0) {
                s.m_nDigitalFixedSize = -1;
                Reload();
            } else {
                // The size the clock has now, measured before the load.
                CRect rcWindow;
                GetWindowRect(&rcWindow);
                Reload();
                s.m_nDigitalFixedSize = std::max(rcWindow.Width(), rcWindow.Height());
            }
            break;
        case ID_DIGITAL_SKINBROWSER:
            s.m_nSkinBrowserType = GetSkinBrowserType(SKIN_DIGITAL);
            SendToMainWindow(UM_SHOWSKINBROWSER);
            break;
        case ID_DIGITAL_FORMAT_CUSTOM:
            ShowOptions(2);
            break;
        case ID_DIGITAL_CENTER:
            CenterOnScreen(TRUE, TRUE);
            break;
        case ID_DIGITAL_OPTIONS:
            ShowOptions(0);
            break;
        case ID_DIGITAL_SKININFO:
            ShowSkinInfo();
            break;
        case ID_DIGITAL_HIDE:
            SendToMainWindow(UM_HIDEDIGITALCLOCK);
            return TRUE;
        default:
            break;
        }
    }
    return FALSE;
}

void CDigitalClockDlg::ShowSkinInfo()
{
    const SkinDescription description(m_strSkinDescription);
    CSkinInfoDlg dlg(this);
    dlg.m_strName = description.GetField(SkinDescription::DIGITAL_NAME);
    dlg.m_strVersion = description.GetField(SkinDescription::DIGITAL_VERSION);
    dlg.m_strType = description.GetField(SkinDescription::DIGITAL_TYPE);
    dlg.m_strAuthor = description.GetField(SkinDescription::DIGITAL_AUTHOR);
    dlg.m_strDate = description.GetField(SkinDescription::DIGITAL_DATE);
    dlg.m_strResolution.Format("%ldx%ld", static_cast<long>(m_sizeSkinBackground.cx),
                               static_cast<long>(m_sizeSkinBackground.cy));
    dlg.m_strSkinPath = GetSkinArchivePath(g_settings.m_strDigitalSkinDir, g_settings.m_strDigitalSkin, SKIN_DIGITAL);
    dlg.m_strUnpackedPath = GetSkinDataPath(GetClockTempFolder(), g_settings.m_strDigitalSkin);
    dlg.m_strArchiveSize = CSkinInfoDlg::GetFileSizeText(dlg.m_strSkinPath);
    dlg.m_strUnpackedSize = CSkinInfoDlg::GetFileSizeText(dlg.m_strUnpackedPath);
    dlg.DoModal();
}

// ---- mouse and menu ---------------------------------------------------------

LRESULT CDigitalClockDlg::OnNcHitTest(CPoint)
{
    return GetClockHitTest(Default(), g_settings.m_bDigitalLockMovement);
}

void CDigitalClockDlg::OnNcLButtonDblClk(UINT, CPoint)
{
    switch (g_settings.m_nDigitalDblClkAction) {
    case 1:
        NextRandomSkin();
        break;
    case 2:
        // "Hide digital clock", as the menu's command hides it.
        SendMessage(WM_COMMAND, ID_DIGITAL_HIDE, 0);
        return;
    case 3:
        ShowOptions(0);
        break;
    case 4:
        SendMessage(WM_NCRBUTTONDOWN, 0, 0);
        break;
    default: // 0 nothing; 5 a web page the program does not know
        break;
    }
    Default();
}

// An open menu stays as it was built: a load that a tick starts while it is
// open (a change of text length, of skin) must not pull it from under the
// user, nor renumber the skins its items stand for.
void CDigitalClockDlg::BuildContextMenu()
{
    if (m_nMenuOpen > 0)
        return;
    FindSkins();
    const std::vector<CClockMenuItem> items = BuildDigitalMenu(g_settings, m_arrSkins, m_arrPresets);
    m_pMenu.reset();
    m_pMenu = CreateClockMenu(items, &m_imageList);
}

// The menu answers the press; the system's own handling of a press on the
// caption would wait for the button's release after the menu has taken it,
// and the clock would stand still until the next right click.
void CDigitalClockDlg::OnNcRButtonDown(UINT, CPoint)
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

void CDigitalClockDlg::OnInitMenuPopup(CMenu*, UINT, BOOL)
{
    Default();
}

void CDigitalClockDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU && m_pMenu) {
        MeasureClockMenuItem(*m_pMenu, lpMeasureItemStruct);
        return;
    }
    CClockWindow::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT CDigitalClockDlg::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    return ClockMenuChar(nChar, nFlags, pMenu);
}
