#include "clocks/analogclock_win.h"

#include "afx/afxtime.h"
#include "clocks/clockwindow_win.h"
#include "clocks/skininfodlg_win.h"
#include "core/settings.h"
#include "res/clocks_res.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CAnalogClockDlg, CSkinClockDlg)
    ON_WM_MOVING()
END_MESSAGE_MAP()

namespace {

const UINT kIcons[ANALOG_ICON_COUNT] = {IDI_CLOCK_EFFECTS, IDI_CLOCK_SCALING, IDI_CLOCK_CHOOSESKIN,
                                        IDI_CLOCK_CENTER,  IDI_CLOCK_OPTIONS, IDI_CLOCK_HIDE,
                                        IDI_CLOCK_SKIN,    IDI_CLOCK_SKININFO};

} // namespace

CAnalogClockDlg::CAnalogClockDlg(CWnd* pParent)
    : CSkinClockDlg(IDD, pParent, g_analogClockSettings, TIMER_DRAW, TIMER_AUTOCHANGE)
{
}

CAnalogClockDlg::~CAnalogClockDlg() = default;

void CAnalogClockDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinClockDlg::DoDataExchange(pDX);
}

BOOL CAnalogClockDlg::OnInitDialog()
{
    CSkinClockDlg::OnInitDialog();
    SetWindowText("Veltran Clock - Analog Clock");
    ModifyStyleEx(0, WS_EX_TOOLWINDOW);
    LoadMenuIcons(kIcons, ANALOG_ICON_COUNT);
    GetWindowRect(&m_rcMoving);
    return TRUE;
}

// ---- loading ----------------------------------------------------------------

// A load that fails keeps the face, the back buffer and the shape of the
// last good one, so the window goes on showing a whole clock and no tick
// ever draws from pictures that are half made.
int CAnalogClockDlg::LoadSkin(int nScale)
{
    if (m_hWnd == nullptr)
        return FALSE;
    CClockBusyGuard loading(m_nLoading);
    if (!loading.Entered())
        return FALSE;

    nScale = NormalizeScale(nScale);
    g_settings.m_nAnalogScale = nScale;
    m_nScale = nScale;
    ApplyOnTop();
    BuildContextMenu();

    CSkinOpen open(SKIN_ANALOG, g_settings.m_strAnalogSkinDir, CString());
    std::vector<BYTE> bytes;
    if (!OpenSkinForWindow(SKIN_ANALOG, g_settings.m_strAnalogSkinDir, g_settings.m_strAnalogSkin, open, bytes))
        return FALSE;

    AnalogSkinData data;
    CPicture pictures[4];
    CString strError;
    if (!LoadAnalogSkin(bytes.data(), bytes.size(), data, pictures, strError))
        return LoadFailed(strError);
    CClockFaceOptions options;
    options.nScale = nScale;
    options.nFixedSize = g_settings.m_nAnalogFixedSize;
    options.nLight = g_settings.m_nAnalogLight;
    options.nContrast = g_settings.m_nAnalogContrast;
    options.nJitter = g_settings.m_nAnalogJitter;
    CAnalogClockFace face;
    if (!face.Prepare(data, pictures, options))
        return LoadFailed(face.GetLastError());

    CBitmap shapeBitmap, clockBitmap;
    shapeBitmap.Attach(MakeClockBitmap(face.GetShape()));
    clockBitmap.Attach(MakeClockBitmap(face.GetFace()));
    CRgn shape;
    if (shapeBitmap.GetSafeHandle() != nullptr)
        shape.Attach(BitmapToRegion(shapeBitmap, RGB(0, 0, 0), RGB(0, 0, 0)));
    if (clockBitmap.GetSafeHandle() == nullptr || shape.GetSafeHandle() == nullptr)
        return LoadFailed(GetClockMemoryText(face.GetWidth(), face.GetHeight()));

    // Everything is made: the new skin takes over.
    m_face = face;
    m_bmpClock.DeleteObject();
    m_bmpClock.Attach(clockBitmap.Detach());
    m_rgnFace.DeleteObject();
    m_rgnFace.Attach(shape.Detach());
    for (int i = 0; i < HAND_COUNT; i++) {
        m_rgnHands[i].DeleteObject();
        m_nRegionAngle[i] = -1;
    }
    m_strSkinDescription = data.strDescription;
    m_bHasSecondHand = m_face.HasSecondHand();
    m_sizeSkinFace = m_face.GetSkinFaceSize();
    m_ptSkinPivot = m_face.GetSkinPivot();
    m_ptPivot = m_face.GetPivot();
    m_nClockWidth = m_face.GetWidth();
    m_nClockHeight = m_face.GetHeight();
    m_strArchivePath = open.m_strArchivePath;
    m_strDataPath = open.m_strDataPath;
    m_strShownSkin = g_settings.m_strAnalogSkin;

    ShowWindow(SW_HIDE);
    CRgn windowShape;
    windowShape.CreateRectRgn(0, 0, 0, 0);
    windowShape.CopyRgn(&m_rgnFace);
    if (SetWindowRgn(static_cast<HRGN>(windowShape.GetSafeHandle()), TRUE))
        windowShape.Detach(); // the system owns it now
    PlaceAroundStoredCenter(m_nClockWidth, m_nClockHeight);
    KeepInWorkAreaAlways();
    ShowWindow(SW_SHOW);

    SetTimer(TIMER_DRAW, 1000);
    DrawClock();
    SetAutoChangeTimer(g_settings.m_bAnalogAutoChange);
    if (g_settings.m_bAnalogOnTop)
        ApplyOnTop();
    if (g_settings.m_bAnalogOnBottom)
        ApplyOnBottom();
    return TRUE;
}

// ---- drawing ----------------------------------------------------------------

HRGN CAnalogClockDlg::GetHandRegion(int nHand)
{
    const CAnalogClockFace::CHand& hand = m_face.GetHand(nHand);
    if (m_nRegionAngle[nHand] != hand.nAngle || m_rgnHands[nHand].GetSafeHandle() == nullptr) {
        m_rgnHands[nHand].DeleteObject();
        m_rgnHands[nHand].Attach(CreateRunsRegion(hand.runs, hand.ptAt.x, hand.ptAt.y));
        m_nRegionAngle[nHand] = hand.nAngle;
    }
    return static_cast<HRGN>(m_rgnHands[nHand].GetSafeHandle());
}

// Each hand is turned from its own picture and drawn through the region of
// its turned mask. Hands that did not move since the last second keep their
// turned pictures and regions.
void CAnalogClockDlg::DrawClock()
{
    HDC hMemDC = GetMemoryDC(m_dcBuffer);
    if (m_hWnd == nullptr || !m_face.IsValid() || m_bmpClock.GetSafeHandle() == nullptr || hMemDC == nullptr)
        return;
    CSelectGuard select(hMemDC, m_bmpClock.GetSafeHandle());
    const CTime now = CTime::GetCurrentTime();
    m_face.Turn(now.GetHour(), now.GetMinute(), now.GetSecond(), g_settings.m_bAnalogSecondHand);
    CRect rcClient;
    GetClientRect(&rcClient);
    m_face.GetFace().Draw2(hMemDC, (rcClient.Width() - m_nClockWidth) / 2, (rcClient.Height() - m_nClockHeight) / 2);
    for (int i = 0; i < HAND_COUNT; i++) {
        if (!m_face.IsHandShown(i))
            continue;
        HRGN hRegion = GetHandRegion(i);
        if (hRegion == nullptr)
            continue;
        ::SelectClipRgn(hMemDC, hRegion);
        const CAnalogClockFace::CHand& hand = m_face.GetHand(i);
        hand.turned.Draw2(hMemDC, hand.ptAt.x, hand.ptAt.y);
    }
    ::SelectClipRgn(hMemDC, nullptr);
    ShowBackBuffer(hMemDC);
}

HRGN CAnalogClockDlg::BitmapToRegion(HBITMAP hBmp, COLORREF crKey, COLORREF)
{
    if (hBmp == nullptr)
        return nullptr;
    BITMAP bm;
    if (::GetObjectA(hBmp, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    const LONG w = bm.bmWidth, h = bm.bmHeight;

    HDC hMemDC = ::CreateCompatibleDC(nullptr);
    HDC hSrcDC = ::CreateCompatibleDC(nullptr);
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = w;
    bih.biHeight = h; // bottom-up
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hDib = hMemDC ? ::CreateDIBSection(hMemDC, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &pBits,
                                               nullptr, 0)
                          : nullptr;
    HRGN hResult = nullptr;
    if (hMemDC != nullptr && hSrcDC != nullptr && hDib != nullptr && pBits != nullptr) {
        HGDIOBJ hOldDib = ::SelectObject(hMemDC, hDib);
        HGDIOBJ hOldSrc = ::SelectObject(hSrcDC, hBmp);
        ::BitBlt(hMemDC, 0, 0, w, h, hSrcDC, 0, 0, SRCCOPY);
        ::GdiFlush();
        // Within 16 of the key in every channel is transparent; the tolerance
        // argument is not used.
        const BYTE lr = GetRValue(crKey), lg = GetGValue(crKey), lb = GetBValue(crKey);
        const BYTE hr = static_cast<BYTE>(std::min(lr + 16, 255)), hg = static_cast<BYTE>(std::min(lg + 16, 255)),
                   hb = static_cast<BYTE>(std::min(lb + 16, 255));
        const size_t nStride = static_cast<size_t>(w) * 4; // 32-bit rows are already a multiple of 4

        const DWORD nGrow = 100;
        DWORD nMaxRects = nGrow;
        std::vector<BYTE> block(sizeof(RGNDATAHEADER) + nMaxRects * sizeof(RECT));
        auto header = [&]() { return reinterpret_cast<RGNDATA*>(block.data()); };
        auto reset = [&]() {
            RGNDATA* p = header();
            p->rdh.dwSize = sizeof(RGNDATAHEADER);
            p->rdh.iType = RDH_RECTANGLES;
            p->rdh.nCount = 0;
            p->rdh.nRgnSize = 0;
            ::SetRect(&p->rdh.rcBound, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0);
        };
        auto flush = [&]() {
            HRGN hPart = ::ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + nMaxRects * sizeof(RECT)),
                                           header());
            if (hResult == nullptr) {
                hResult = hPart;
            } else if (hPart != nullptr) {
                ::CombineRgn(hResult, hResult, hPart, RGN_OR);
                ::DeleteObject(hPart);
            }
            reset();
        };
        reset();
        for (LONG y = 0; y < h; y++) {
            const BYTE* row = static_cast<const BYTE*>(pBits) + static_cast<size_t>(h - 1 - y) * nStride;
            for (LONG x = 0; x < w; x++) {
                const LONG x0 = x;
                for (; x < w; x++) {
                    const BYTE* p = row + static_cast<size_t>(x) * 4;
                    const bool bTransparent =
                        p[2] >= lr && p[2] <= hr && p[1] >= lg && p[1] <= hg && p[0] >= lb && p[0] <= hb;
                    if (bTransparent)
                        break;
                }
                if (x > x0) {
                    if (header()->rdh.nCount >= nMaxRects) {
                        nMaxRects += nGrow;
                        block.resize(sizeof(RGNDATAHEADER) + nMaxRects * sizeof(RECT));
                    }
                    RGNDATA* p = header();
                    RECT* pr = reinterpret_cast<RECT*>(p->Buffer) + p->rdh.nCount;
                    ::SetRect(pr, x0, y, x, y + 1);
                    p->rdh.rcBound.left = std::min(p->rdh.rcBound.left, x0);
                    p->rdh.rcBound.top = std::min(p->rdh.rcBound.top, y);
                    p->rdh.rcBound.right = std::max(p->rdh.rcBound.right, x);
                    p->rdh.rcBound.bottom = std::max(p->rdh.rcBound.bottom, y + 1);
                    p->rdh.nCount++;
                    p->rdh.nRgnSize = p->rdh.nCount * sizeof(RECT);
                    if (p->rdh.nCount == 2000)
                        flush();
                }
            }
        }
        flush();
        ::SelectObject(hSrcDC, hOldSrc);
        ::SelectObject(hMemDC, hOldDib);
    }
    if (hDib != nullptr)
        ::DeleteObject(hDib);
    if (hSrcDC != nullptr)
        ::DeleteDC(hSrcDC);
    if (hMemDC != nullptr)
        ::DeleteDC(hMemDC);
    return hResult;
}

// ---- behaviour --------------------------------------------------------------

void CAnalogClockDlg::PlaceWindow(const CRect& rc)
{
    CSkinClockDlg::PlaceWindow(rc);
    GetWindowRect(&m_rcMoving);
}

void CAnalogClockDlg::OnEndOfMove()
{
    PlaceWindow(m_rcMoving);
    CSkinClockDlg::OnEndOfMove();
}

void CAnalogClockDlg::OnKindCommand(UINT nID)
{
    CSettings& s = g_settings;
    if (nID >= ID_ANALOG_SCALE_FIRST && nID <= ID_ANALOG_SCALE_LAST) {
        s.m_nAnalogScale = static_cast<int>(nID - 500) * 10;
        StoreCenter();
        const int nFixed = s.m_nAnalogFixedSize;
        s.m_nAnalogFixedSize = -1;
        Reload();
        s.m_nAnalogFixedSize = nFixed;
        if (s.m_nAnalogFixedSize > 0) {
            CRect rcBox;
            m_rgnFace.GetRgnBox(&rcBox);
            s.m_nAnalogFixedSize = std::max(rcBox.Width(), rcBox.Height());
        }
        return;
    }
    switch (nID) {
    case ID_ANALOG_SECONDHAND:
        s.m_bAnalogSecondHand = s.m_bAnalogSecondHand ? FALSE : TRUE;
        DrawClock();
        break;
    case ID_ANALOG_FIXEDSIZE: {
        StoreCenter();
        if (s.m_nAnalogFixedSize > 0) {
            s.m_nAnalogFixedSize = -1;
        } else {
            CRect rcClient;
            GetClientRect(&rcClient);
            s.m_nAnalogFixedSize = std::max(rcClient.Width(), rcClient.Height());
        }
        Reload();
        break;
    }
    default:
        OnEndOfMove();
        break;
    }
}

void CAnalogClockDlg::FillSkinInfo(CSkinInfoDlg& dlg) const
{
    dlg.m_strResolution.Format("%ldx%ld", static_cast<long>(m_sizeSkinFace.cx), static_cast<long>(m_sizeSkinFace.cy));
    dlg.m_strHandsCoords.Format("%ldx%ld", static_cast<long>(m_ptSkinPivot.x), static_cast<long>(m_ptSkinPivot.y));
}

// ---- mouse and menu ---------------------------------------------------------

void CAnalogClockDlg::OnMoving(UINT, LPRECT lpRect)
{
    Default();
    StoreCenter();
    m_rcMoving = *lpRect;
}

std::vector<CClockMenuItem> CAnalogClockDlg::BuildMenuItems()
{
    return BuildAnalogMenu(g_settings, m_arrSkins, HasSecondHand());
}
