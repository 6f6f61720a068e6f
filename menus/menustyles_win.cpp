// The drawing styles: which routines measure and draw the items, and how the
// popup window's frame, margins and shadow are painted. The library starts
// and ends here, with the program, through one static object.
#include "menus/menustyles.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "afx/afxthrow.h"
#include "menus/menupopup.h"
#include "menus/menuutil.h"

namespace {

std::vector<CStyledMenuStyle*>* g_pStyles = nullptr;
CStyledMenuStyle* g_pCurrentStyle = nullptr;
BOOL g_bLibraryStarted = FALSE;

std::unordered_map<HWND, std::unique_ptr<CStyledMenuPopupData>>& PopupMap() {
    static auto* s_pMap = new std::unordered_map<HWND, std::unique_ptr<CStyledMenuPopupData>>;
    return *s_pMap;
}
HMENU g_hPendingMenu = nullptr;
DWORD g_dwLastKeyDownPos = 0;
PFN_MENUHOOKHANDLER g_pfnHookHandler = nullptr;

CRect XYWH(int x, int y, int cx, int cy) { return CRect(x, y, x + cx, y + cy); }

void FrameRect1(CDC* pDC, const CRect& rc, COLORREF clr) { pDC->Draw3dRect(&rc, clr, clr); }

}  // namespace

// --- popup records -----------------------------------------------------------

CStyledMenuPopupData::CStyledMenuPopupData(HWND hWnd, DWORD dwFlags) : m_ptPosition(0, 0), m_dwFlags(dwFlags) {
    TakePendingMenu();
    m_dwSavedStyle = (DWORD)::GetWindowLongA(hWnd, GWL_STYLE);
    m_dwSavedExStyle = (DWORD)::GetWindowLongA(hWnd, GWL_EXSTYLE);
}

void CStyledMenuPopupData::TakePendingMenu() {
    m_hMenu = g_hPendingMenu;
    m_bEnabled = CStyledMenu::FromHandleStyled(m_hMenu) != nullptr || CStyledMenu::GetFrameAllPopups() != 0;
    g_hPendingMenu = nullptr;
}

CStyledMenuPopupData* FindPopupData(HWND hWnd) {
    auto& map = PopupMap();
    auto it = map.find(hWnd);
    return it != map.end() ? it->second.get() : nullptr;
}

CStyledMenuPopupData* AddPopupData(HWND hWnd, DWORD dwFlags) {
    auto& slot = PopupMap()[hWnd];
    slot = std::make_unique<CStyledMenuPopupData>(hWnd, dwFlags);
    return slot.get();
}

void RemovePopupData(HWND hWnd) { PopupMap().erase(hWnd); }
void RemoveAllPopupData() { PopupMap().clear(); }
int GetPopupDataCount() { return (int)PopupMap().size(); }
void ForEachPopupData(const std::function<void(HWND)>& fn) {
    for (const auto& entry : PopupMap())
        fn(entry.first);
}
HMENU GetPendingPopupMenu() { return g_hPendingMenu; }
void SetPendingPopupMenu(HMENU hMenu) { g_hPendingMenu = hMenu; }
DWORD GetLastKeyDownPos() { return g_dwLastKeyDownPos; }
void SetLastKeyDownPos(DWORD dwPos) { g_dwLastKeyDownPos = dwPos; }

PFN_MENUHOOKHANDLER SetMenuHookHandler(PFN_MENUHOOKHANDLER pfnHandler) {
    std::swap(pfnHandler, g_pfnHookHandler);
    return pfnHandler;
}

PFN_MENUHOOKHANDLER GetMenuHookHandler() { return g_pfnHookHandler; }

// --- CStyledMenuStyle --------------------------------------------------------

CStyledMenuStyle::CStyledMenuStyle(int nNumber, CStyledMenu::PFN_MEASURE pfnMeasure, CStyledMenu::PFN_DRAW pfnDraw,
                                   CStyledMenu::PFN_DRAW pfnTitle, BOOL bFrame)
    : m_nNumber(nNumber),
      m_bFrame(bFrame),
      m_pfnMeasure(pfnMeasure),
      m_pfnDraw(pfnDraw),
      m_pfnTitle(pfnTitle),
      m_sizeFrame(2, 2),
      m_sizeShadow(IsShadowEnabled() ? CSize(2, 2) : CSize(5, 6)) {}

BOOL CStyledMenuStyle::AttachWindow(HWND hWnd) {
    CStyledMenuPopupData* pData = FindPopupData(hWnd);
    if (pData == nullptr || !pData->m_bEnabled || !DrawsFrame())
        return FALSE;
    pData->m_dwFlags |= CStyledMenuPopupData::flagStylesChanged;
    ::SetWindowLongA(hWnd, GWL_STYLE, (LONG)(pData->m_dwSavedStyle & ~WS_BORDER));
    ::SetWindowLongA(hWnd, GWL_EXSTYLE, (LONG)(pData->m_dwSavedExStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE)));
    return TRUE;
}

BOOL CStyledMenuStyle::DetachWindow(HWND hWnd) {
    CStyledMenuPopupData* pData = FindPopupData(hWnd);
    if (pData == nullptr)
        return TRUE;
    if (CStyledMenu* pMenu = CStyledMenu::FromHandleStyled(pData->m_hMenu))
        pMenu->OnUnInitPopupMenu();
    if (pData->m_dwFlags & CStyledMenuPopupData::flagStylesChanged) {
        DWORD dwStyle = pData->m_dwSavedStyle;
        if (pData->m_dwFlags & CStyledMenuPopupData::flagLate)
            dwStyle |= WS_VISIBLE;
        ::SetLastError(0);
        ::SetWindowLongA(hWnd, GWL_STYLE, (LONG)dwStyle);
        ShowLastError();
        ::SetLastError(0);
        ::SetWindowLongA(hWnd, GWL_EXSTYLE, (LONG)pData->m_dwSavedExStyle);
        ShowLastError();
    }
    return TRUE;
}

BOOL CStyledMenuStyle::AdjustClientArea(HWND, NCCALCSIZE_PARAMS* pParams) {
    if (!DrawsFrame() || pParams == nullptr)
        return FALSE;
    const BOOL bShadow = IsShadowEnabled();
    RECT& rc = pParams->rgrc[0];
    rc.left += m_sizeFrame.cx;
    rc.top += m_sizeFrame.cy;
    rc.right -= bShadow ? 2 : 5;
    rc.bottom -= bShadow ? 2 : 6;
    return FALSE;
}

BOOL CStyledMenuStyle::AdjustWindowPos(HWND, WINDOWPOS* pPos) {
    if (!DrawsFrame() || pPos == nullptr)
        return FALSE;
    const int nDelta = IsShadowEnabled() ? -2 : 2;
    pPos->cx += nDelta;
    pPos->cy += nDelta;
    pPos->y -= 1;
    return TRUE;
}

BOOL CStyledMenuStyle::GetInnerRect(HWND hWnd, RECT* pRect) {
    if (pRect == nullptr || !::GetWindowRect(hWnd, pRect))
        return FALSE;
    if (!DrawsFrame())
        return TRUE;
    const int nShrink = IsShadowEnabled() ? 3 : 7;
    pRect->left += 2;
    pRect->top += 2;
    pRect->right -= nShrink;
    pRect->bottom -= nShrink;
    return TRUE;
}

BOOL CStyledMenuStyle::EraseBackground(HWND hWnd, HDC hDC) {
    CRect rc;
    ::GetClientRect(hWnd, &rc);
    rc.left -= 2;
    if (DrawsFrame())
        rc.right -= 1;
    CDC* pDC = CDC::FromHandle(hDC);
    pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_MENU));
    return TRUE;
}

BOOL CStyledMenuStyle::GetFrameGeometry(HWND hWnd, CSize& sizeWindow, CRect& rcClient) const {
    CRect rcWindow;
    if (!::GetWindowRect(hWnd, &rcWindow) || !::GetClientRect(hWnd, &rcClient))
        return FALSE;
    POINT ptOrigin = {0, 0};
    ::ClientToScreen(hWnd, &ptOrigin);
    rcClient.OffsetRect(ptOrigin.x - rcWindow.left, ptOrigin.y - rcWindow.top);
    sizeWindow = rcWindow.Size();
    return TRUE;
}

CStyledMenuPopupData* CStyledMenuStyle::CaptureBackground(HWND hWnd, HDC) {
    CStyledMenuPopupData* pData = FindPopupData(hWnd);
    if (pData == nullptr || pData->m_bmpBackground.m_hObject != nullptr)
        return pData;
    CRect rcWindow;
    if (!::GetWindowRect(hWnd, &rcWindow))
        return pData;
    HDC hScreen = ::GetWindowDC(nullptr);
    CDC dcMem;
    dcMem.Attach(::CreateCompatibleDC(hScreen));
    pData->m_bmpBackground.Attach(::CreateCompatibleBitmap(hScreen, rcWindow.Width() + 10, rcWindow.Height() + 10));
    {
        CSelectGuard guard(&dcMem, &pData->m_bmpBackground);
        ::BitBlt(dcMem.m_hDC, 0, 0, rcWindow.Width() + 10, rcWindow.Height() + 10, hScreen, pData->m_ptPosition.x,
                 pData->m_ptPosition.y, SRCCOPY);
    }
    ::ReleaseDC(nullptr, hScreen);
    return pData;
}

void CStyledMenuStyle::FillFrame(CDC* pDC, const CRect& rcOuter, CRect rcClient, COLORREF clr) {
    rcClient.right -= 1;
    pDC->FillSolidRect(CRect(rcOuter.left, rcOuter.top, rcOuter.right, rcClient.top), clr);
    pDC->FillSolidRect(CRect(rcOuter.left, rcClient.bottom, rcOuter.right, rcOuter.bottom), clr);
    pDC->FillSolidRect(CRect(rcOuter.left, rcOuter.top, rcClient.left, rcOuter.bottom), clr);
    pDC->FillSolidRect(CRect(rcClient.right, rcOuter.top, rcOuter.right, rcOuter.bottom), clr);
}

BOOL CStyledMenuStyle::DrawFrame(HWND hWnd, HDC hDC, BOOL bBorderOnly) {
    CStyledMenuPopupData* pData = CaptureBackground(hWnd, hDC);
    CSize size;
    CRect rcClient;
    if (!DrawsFrame() || pData == nullptr || !GetFrameGeometry(hWnd, size, rcClient))
        return FALSE;
    CDC* pDC = CDC::FromHandle(hDC);
    const COLORREF clrFrame = ::GetSysColor(g_menuLib.bHighContrast ? COLOR_BTNTEXT : COLOR_HIGHLIGHT);
    const COLORREF clrMenu = GetMenuBkColor(nullptr);
    const int w = size.cx;
    const int h = size.cy;
    if (IsShadowEnabled()) {
        if (!bBorderOnly)
            FillFrame(pDC, XYWH(1, 1, w - 2, h - 2), rcClient, clrMenu);
        FrameRect1(pDC, XYWH(0, 0, w, h), clrFrame);
    } else {
        if (!bBorderOnly)
            FillFrame(pDC, XYWH(1, 1, w - 6, h - 6), rcClient, clrMenu);
        FrameRect1(pDC, XYWH(0, 0, w - 4, h - 4), clrFrame);
        if (!g_menuLib.bHighContrast)
            DrawShadow(hWnd, hDC);
    }
    return TRUE;
}

void CStyledMenuStyle::DrawMenuBarJoint(HWND hWnd, HDC hDC) {
    CStyledMenuPopupData* pData = FindPopupData(hWnd);
    CStyledMenu* pMenu = pData != nullptr ? CStyledMenu::FromHandleStyled(pData->m_hMenu) : nullptr;
    CStyledMenu* pParent = pMenu != nullptr ? CStyledMenu::FromHandleStyled(pMenu->GetParentMenu()) : nullptr;
    if (pParent == nullptr || pParent->IsPopupMenu())
        return;
    CRect rcWindow;
    if (!::GetWindowRect(hWnd, &rcWindow))
        return;
    rcWindow.OffsetRect(pData->m_ptPosition.x - rcWindow.left, pData->m_ptPosition.y - rcWindow.top);
    CRect rcJoint;
    const CRect rcBarItem = pParent->GetMenuBarItemRect();
    if (!rcJoint.IntersectRect(&rcWindow, &rcBarItem))
        return;
    if (rcJoint.Width() <= rcJoint.Height()) {
        rcJoint.top += 1;
        rcJoint.bottom -= 1;
    } else {
        rcJoint.left += 1;
        rcJoint.right -= 1;
    }
    rcJoint.OffsetRect(-rcWindow.left, -rcWindow.top);
    COLORREF clr = GetColourCount() > 256 ? MixColour86(GetMenuBkColor(pParent->m_hMenu), ::GetSysColor(COLOR_WINDOW))
                                          : ::GetSysColor(COLOR_BTNFACE);
    CDC::FromHandle(hDC)->FillSolidRect(&rcJoint, clr);
}

void CStyledMenuStyle::DrawShadow(HWND hWnd, HDC hDC) {
    if (IsShadowEnabled())
        return;
    CStyledMenuPopupData* pData = FindPopupData(hWnd);
    CRect rcWindow;
    if (pData == nullptr || pData->m_bmpBackground.m_hObject == nullptr || !::GetWindowRect(hWnd, &rcWindow))
        return;
    const int w = rcWindow.Width();
    const int h = rcWindow.Height();
    CDC dcBack;
    dcBack.Attach(::CreateCompatibleDC(hDC));
    CSelectGuard guard(&dcBack, &pData->m_bmpBackground);
    if (GetColourCount() > 256) {
        auto put = [&](int x, int y, int nDarken) {
            COLORREF clr = ::GetPixel(dcBack.m_hDC, x, y);
            ::SetPixelV(hDC, x, y, nDarken > 0 ? DarkenColour(nDarken, clr) : clr);
        };
        for (int i = 1; i <= 4; ++i) {
            const int x = w - i;
            for (int y = 0; y < h; ++y) {
                if (y <= 3)
                    put(x, y, 0);
                else if (y <= 7)
                    put(x, y, i * 6 * (y - 3));
                else if (y <= h - 5)
                    put(x, y, i * 30);
                else
                    put(x, y, i * 6 * (h - y));
            }
        }
        for (int k = 1; k <= 4; ++k) {
            const int y = h - k;
            for (int x = 0; x <= w - 5; ++x) {
                if (x <= 3)
                    put(x, y, 0);
                else if (x <= 7)
                    put(x, y, (x - 3) * 6 * k);
                else
                    put(x, y, k * 30);
            }
        }
        return;
    }
    ::BitBlt(hDC, w - 2, 0, 2, h, dcBack.m_hDC, w - 2, 0, SRCCOPY);
    ::BitBlt(hDC, 0, h - 2, w, 2, dcBack.m_hDC, 0, h - 2, SRCCOPY);
    CDC* pDC = CDC::FromHandle(hDC);
    const COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    ::BitBlt(hDC, w - 4, 0, 2, 4, dcBack.m_hDC, w - 4, 0, SRCCOPY);
    pDC->FillSolidRect(CRect(w - 4, 4, w - 2, h - 2), clrShadow);
    ::BitBlt(hDC, 0, h - 4, 4, 2, dcBack.m_hDC, 0, h - 4, SRCCOPY);
    pDC->FillSolidRect(CRect(4, h - 4, w - 4, h - 2), clrShadow);
}

// --- CStyledMenuFlatStyle ----------------------------------------------------

BOOL CStyledMenuFlatStyle::DrawFrame(HWND hWnd, HDC hDC, BOOL bBorderOnly) {
    CStyledMenuPopupData* pData = CaptureBackground(hWnd, hDC);
    CSize size;
    CRect rcClient;
    if (!DrawsFrame() || pData == nullptr || !GetFrameGeometry(hWnd, size, rcClient))
        return FALSE;
    CDC* pDC = CDC::FromHandle(hDC);
    const COLORREF clrMenu = GetMenuBkColor(pData->m_hMenu);
    const COLORREF clrWindow = ::GetSysColor(COLOR_WINDOW);
    COLORREF clrLight = MixColour86(clrWindow, clrMenu);
    const COLORREF clrDark = DarkenColour(128, clrMenu);
    COLORREF clrBand = GetColourCount() > 256 ? MixColour86(clrMenu, clrWindow) : ::GetSysColor(COLOR_BTNFACE);
    if (pDC->GetNearestColor(clrLight) == pDC->GetNearestColor(clrBand)) {
        clrLight = clrWindow;
        clrBand = clrMenu;
    }
    const int w = size.cx;
    const int h = size.cy;
    const BOOL bShadow = IsShadowEnabled();
    const int nShrink = bShadow ? 0 : 4;
    if (!bBorderOnly)
        FillFrame(pDC, XYWH(1, 1, w - 2 - nShrink, h - 2 - nShrink), rcClient, clrLight);
    if (g_menuLib.bHighContrast) {
        FrameRect1(pDC, XYWH(0, 0, w - nShrink, h - nShrink), ::GetSysColor(COLOR_BTNTEXT));
    } else {
        FrameRect1(pDC, XYWH(1, 1, w - 2 - nShrink, h - 2 - nShrink), clrLight);
        pDC->FillSolidRect(XYWH(1, 2, 1, h - 4 - nShrink), clrBand);
        FrameRect1(pDC, XYWH(0, 0, w - nShrink, h - nShrink), clrDark);
        if (!bShadow)
            DrawShadow(hWnd, hDC);
    }
    DrawMenuBarJoint(hWnd, hDC);
    return TRUE;
}

BOOL CStyledMenuFlatStyle::EraseBackground(HWND hWnd, HDC hDC) {
    CStyledMenuPopupData* pData = FindPopupData(hWnd);
    if (pData == nullptr || pData->m_hMenu == nullptr)
        return CStyledMenuStyle::EraseBackground(hWnd, hDC);
    CRect rc;
    ::GetClientRect(hWnd, &rc);
    rc.left -= 2;
    if (DrawsFrame())
        rc.right -= 1;
    CDC::FromHandle(hDC)->FillSolidRect(&rc, GetMenuBkColorThemed(pData->m_hMenu));
    return TRUE;
}

// --- the style list ----------------------------------------------------------

BOOL AddMenuStyle(CStyledMenuStyle* pStyle) {
    if (pStyle == nullptr)
        return FALSE;
    if (g_pStyles == nullptr) {
        g_pStyles = new std::vector<CStyledMenuStyle*>;
        g_pStyles->reserve(10);
    }
    if (std::find(g_pStyles->begin(), g_pStyles->end(), pStyle) != g_pStyles->end())
        return FALSE;
    g_pStyles->push_back(pStyle);
    return TRUE;
}

CStyledMenuStyle* FindMenuStyle(int nNumber) {
    if (g_pStyles == nullptr)
        return nullptr;
    for (CStyledMenuStyle* pStyle : *g_pStyles)
        if (pStyle->m_nNumber == nNumber)
            return pStyle;
    return nullptr;
}

CStyledMenuStyle* RemoveMenuStyle(int nNumber) {
    CStyledMenuStyle* pStyle = FindMenuStyle(nNumber);
    if (pStyle == nullptr)
        return nullptr;
    g_pStyles->erase(std::find(g_pStyles->begin(), g_pStyles->end(), pStyle));
    if (g_pCurrentStyle == pStyle)
        g_pCurrentStyle = nullptr;  // never leave the current style pointing at an unlisted object
    if (g_pStyles->empty()) {
        delete g_pStyles;
        g_pStyles = nullptr;
    }
    return pStyle;
}

CStyledMenuStyle* GetCurrentMenuStyle() { return g_pCurrentStyle; }
void SetCurrentMenuStyle(CStyledMenuStyle* pStyle) { g_pCurrentStyle = pStyle; }
int GetMenuStyleCount() { return g_pStyles != nullptr ? (int)g_pStyles->size() : 0; }

// --- start and end -----------------------------------------------------------

void InitMenuLibrary() {
    if (g_bLibraryStarted)
        return;  // a second start changes nothing
    g_bLibraryStarted = TRUE;
    g_menuLib.nWinVersion = GetWinVersion();
    g_menuLib.bRemoteSession = g_menuLib.nWinVersion >= 6 && ::GetSystemMetrics(SM_REMOTESESSION) != 0;
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof(hc);
    if (::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0))
        g_menuLib.bHighContrast = (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
    g_menuLib.hUxTheme = ::LoadLibraryA("uxtheme.dll");
    if (g_menuLib.hUxTheme != nullptr) {
        g_menuLib.pfnIsThemeActive = (PFN_ISTHEMEACTIVE)(void*)::GetProcAddress(g_menuLib.hUxTheme, "IsThemeActive");
        g_menuLib.pfnSetWindowTheme =
            (PFN_SETWINDOWTHEME)(void*)::GetProcAddress(g_menuLib.hUxTheme, "SetWindowTheme");
    }
    g_menuLib.hMsimg32 = ::LoadLibraryA("Msimg32.dll");
    if (g_menuLib.hMsimg32 != nullptr && g_menuLib.nWinVersion != 3)
        g_menuLib.pfnGradientFill = (PFN_GRADIENTFILL)(void*)::GetProcAddress(g_menuLib.hMsimg32, "GradientFill");

    struct {
        int nNumber;
        bool bFlat;
        BOOL bFrame;
        CStyledMenu::PFN_MEASURE pfnMeasure;
        CStyledMenu::PFN_DRAW pfnDraw;
    } const kStyles[] = {
        {6, false, 1, &CStyledMenu::MeasureItemStyle6, &CStyledMenu::DrawItemStyle6},
        {7, false, 0, &CStyledMenu::MeasureItemStyle6, &CStyledMenu::DrawItemStyle6},
        {0, false, 1, &CStyledMenu::MeasureItemStyle0, &CStyledMenu::DrawItemStyle0},
        {1, false, 0, &CStyledMenu::MeasureItemStyle0, &CStyledMenu::DrawItemStyle0},
        {2, true, 1, &CStyledMenu::MeasureItemStyle2, &CStyledMenu::DrawItemStyle2},
        {3, true, 0, &CStyledMenu::MeasureItemStyle2, &CStyledMenu::DrawItemStyle2},
        {8, true, 1, &CStyledMenu::MeasureItemStyle2, &CStyledMenu::DrawItemStyle8},
        {9, true, 0, &CStyledMenu::MeasureItemStyle2, &CStyledMenu::DrawItemStyle8},
        {4, false, 1, &CStyledMenu::MeasureItemStyle0, &CStyledMenu::DrawItemStyle4},
        {5, false, 0, &CStyledMenu::MeasureItemStyle0, &CStyledMenu::DrawItemStyle4},
    };
    for (const auto& s : kStyles) {
        CStyledMenuStyle* pStyle =
            s.bFlat ? new CStyledMenuFlatStyle(s.nNumber, s.pfnMeasure, s.pfnDraw, &CStyledMenu::DrawTitle, s.bFrame)
                    : new CStyledMenuStyle(s.nNumber, s.pfnMeasure, s.pfnDraw, &CStyledMenu::DrawTitle, s.bFrame);
        AddMenuStyle(pStyle);
    }
    g_pCurrentStyle = FindMenuStyle(2);

    if (g_menuLib.hHook == nullptr) {
        g_menuLib.hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, MenuCallWndProcHook, nullptr, ::GetCurrentThreadId());
        if (g_menuLib.hHook == nullptr) {
            ShowLastError();
            AfxThrowMemoryException();
        }
    }
}

void ExitMenuLibrary() {
    if (!g_bLibraryStarted)
        return;
    g_bLibraryStarted = FALSE;
    if (g_menuLib.hHook != nullptr) {
        if (!::UnhookWindowsHookEx(g_menuLib.hHook))
            ShowLastError();
        g_menuLib.hHook = nullptr;
    }
    // Windows still subclassed get their procedure back while the styles that detach them exist.
    UnsubclassAllMenuPopups();
    if (g_pStyles != nullptr) {
        for (CStyledMenuStyle* pStyle : *g_pStyles)
            delete pStyle;
        delete g_pStyles;
        g_pStyles = nullptr;
    }
    g_pCurrentStyle = nullptr;
    RemoveAllPopupData();
    g_menuLib.pfnIsThemeActive = nullptr;
    g_menuLib.pfnSetWindowTheme = nullptr;
    if (g_menuLib.hUxTheme != nullptr) {
        ::FreeLibrary(g_menuLib.hUxTheme);
        g_menuLib.hUxTheme = nullptr;
    }
    g_menuLib.pfnGradientFill = nullptr;
    if (g_menuLib.hMsimg32 != nullptr) {
        ::FreeLibrary(g_menuLib.hMsimg32);
        g_menuLib.hMsimg32 = nullptr;
    }
    FreeMenuBarBrushes();
    CStyledMenuIcons::FreeSharedList();
}

namespace {
// The library lives as long as the program.
struct CMenuLibraryLifetime {
    CMenuLibraryLifetime() { InitMenuLibrary(); }
    ~CMenuLibraryLifetime() { ExitMenuLibrary(); }
} g_menuLibraryLifetime;
}  // namespace
