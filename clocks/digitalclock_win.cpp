#include "clocks/digitalclock_win.h"

#include "afx/afxtime.h"
#include "clocks/analogclock_win.h"
#include "clocks/clockwindow_win.h"
#include "clocks/digitalmodel.h"
#include "clocks/skininfodlg_win.h"
#include "clocks/timeformat.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/clocks_res.h"

#include <algorithm>
#include <vector>

namespace {

const UINT kIcons[DIGITAL_ICON_COUNT] = {IDI_CLOCK_EFFECTS, IDI_CLOCK_SCALING, IDI_CLOCK_CHOOSESKIN,
                                         IDI_CLOCK_FORMATS, IDI_CLOCK_CENTER,  IDI_CLOCK_OPTIONS,
                                         IDI_CLOCK_HIDE,    IDI_CLOCK_SKIN,    IDI_CLOCK_SKININFO};

// The options page of custom formats.
const WPARAM kFormatsPage = 2;

} // namespace

CDigitalClockDlg::CDigitalClockDlg(CWnd* pParent)
    : CSkinClockDlg(IDD, pParent, g_digitalClockSettings, TIMER_DRAW, TIMER_AUTOCHANGE),
      m_strGlyphSet(g_szDigitalGlyphSet)
{
}

CDigitalClockDlg::~CDigitalClockDlg() = default;

void CDigitalClockDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinClockDlg::DoDataExchange(pDX);
}

LRESULT CDigitalClockDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CSkinClockDlg::DefWindowProc(message, wParam, lParam);
}

BOOL CDigitalClockDlg::OnInitDialog()
{
    CSkinClockDlg::OnInitDialog();
    FillFormatPresets(m_arrPresets);
    SetWindowText("Veltran Clock - Digital Clock");
    if (g_settings.m_bDigitalOnTop)
        ApplyOnTop();
    if (g_settings.m_bDigitalOnBottom)
        ApplyOnBottom();
    ModifyStyleEx(0, WS_EX_TOOLWINDOW);
    LoadMenuIcons(kIcons, DIGITAL_ICON_COUNT);
    return TRUE;
}

BOOL CDigitalClockDlg::DestroyWindow()
{
    if (m_hWnd != nullptr) {
        KillTimer(TIMER_DRAW);
        StoreCenter();
    }
    return CSkinClockDlg::DestroyWindow();
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
    TakeFormat();
    FormatTime();
    BuildContextMenu();

    CSkinOpen open(SKIN_DIGITAL, s.m_strDigitalSkinDir, CString());
    std::vector<BYTE> bytes;
    if (!OpenSkinForWindow(SKIN_DIGITAL, s.m_strDigitalSkinDir, s.m_strDigitalSkin, open, bytes))
        return FALSE;

    DigitalSkinData data;
    CPicture pictures[2];
    CString strError;
    if (!LoadDigitalSkin(bytes.data(), bytes.size(), data, pictures, strError))
        return LoadFailed(strError);
    // The background region is only proved; the Abc region is kept, unused.
    CRgn background, abc;
    background.Attach(CreateSkinRegion(data.backgroundRegion));
    if (background.GetSafeHandle() == nullptr)
        return LoadFailed("Cannot read Background region!");
    background.DeleteObject();
    if (data.nHasAbcRegion > 0) {
        abc.Attach(CreateSkinRegion(data.abcRegion));
        if (abc.GetSafeHandle() == nullptr)
            return LoadFailed("Cannot read Abc region!");
    }

    CDigitalFaceOptions options;
    options.nScale = nScale;
    options.nFixedSize = s.m_nDigitalFixedSize;
    options.nLight = s.m_nDigitalLight;
    options.nContrast = s.m_nDigitalContrast;
    options.nJitter = s.m_nDigitalJitter;
    CDigitalClockFace face;
    if (!face.Prepare(pictures, options, m_strText.GetLength()))
        return LoadFailed(face.GetLastError());
    CBitmap canvas, glyphs;
    canvas.Attach(MakeClockBitmap(face.GetBackground()));
    glyphs.Attach(MakeClockBitmap(face.GetStrip()));
    if (canvas.GetSafeHandle() == nullptr || glyphs.GetSafeHandle() == nullptr)
        return LoadFailed(GetClockMemoryText(face.GetWidth(), face.GetHeight()));

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
    m_strShownSkin = s.m_strDigitalSkin;

    ShowWindow(SW_HIDE);
    SetWindowRgn(nullptr, FALSE);
    PlaceAroundStoredCenter(m_nBackWidth, m_nBackHeight);
    KeepInWorkArea();

    m_strPrevText.Empty();
    PaintText(UpperCaseClockText(m_strText));
    SetTimer(TIMER_DRAW, 1000);

    KeepInWorkAreaAlways();
    ShowWindow(SW_SHOW);
    SetAutoChangeTimer(s.m_bDigitalAutoChange);
    return TRUE;
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

// Drawn at once: a text of the same length over the canvas as it is, one
// of another length through a load that sizes the window for it.
void CDigitalClockDlg::ApplyDrawingOptions()
{
    if (TakeFormat())
        DrawClock();
}

bool CDigitalClockDlg::TakeFormat()
{
    CSettings& s = g_settings;
    if (s.m_strDigitalFormat.IsEmpty())
        s.m_strDigitalFormat = g_szDefaultDigitalFormat;
    if (s.m_strDigitalFormat == m_strFormat)
        return false;
    m_strFormat = s.m_strDigitalFormat;
    return true;
}

void CDigitalClockDlg::PaintText(const CString& strText)
{
    HDC hCanvasDC = GetMemoryDC(m_dcBuffer);
    HDC hGlyphDC = GetMemoryDC(m_dcGlyphs);
    if (m_bmpCanvas.GetSafeHandle() == nullptr || m_bmpGlyphs.GetSafeHandle() == nullptr || hCanvasDC == nullptr
        || hGlyphDC == nullptr)
        return;
    CSelectGuard selectCanvas(hCanvasDC, m_bmpCanvas.GetSafeHandle());
    CSelectGuard selectGlyphs(hGlyphDC, m_bmpGlyphs.GetSafeHandle());
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
        ::BitBlt(hCanvasDC, place.xDst, place.yDst, place.cx, place.cy, hGlyphDC, place.xSrc, place.ySrc, SRCCOPY);
    }
    m_strPrevText = strText;
    ShowBackBuffer(hCanvasDC);
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

void CDigitalClockDlg::OnKindCommand(UINT nID)
{
    CSettings& s = g_settings;
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
    } else if (nFormat >= 0) {
        s.m_strDigitalFormat = m_arrPresets[nFormat];
        Reload();
    } else if (nID == ID_DIGITAL_FIXEDSIZE) {
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
    } else if (nID == ID_DIGITAL_FORMAT_CUSTOM) {
        SendToMainWindow(UM_SHOWDIGITALOPTIONS, kFormatsPage);
    }
}

void CDigitalClockDlg::FillSkinInfo(CSkinInfoDlg& dlg) const
{
    dlg.m_strResolution.Format("%ldx%ld", static_cast<long>(m_sizeSkinBackground.cx),
                               static_cast<long>(m_sizeSkinBackground.cy));
}

std::vector<CClockMenuItem> CDigitalClockDlg::BuildMenuItems()
{
    return BuildDigitalMenu(g_settings, m_arrSkins, m_arrPresets);
}
