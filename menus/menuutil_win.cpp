#include "menus/menuutil.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "menus/menustyles.h"

CMenuLibraryState g_menuLib;

// --- CDynamicFunction ------------------------------------------------------

CDynamicFunction::CDynamicFunction(LPCSTR lpszLibraryFile, LPCSTR lpszFunctionName) {
    m_hModule = ::LoadLibraryA(lpszLibraryFile);
    m_pfn = m_hModule != nullptr ? ::GetProcAddress(m_hModule, lpszFunctionName) : nullptr;
}

CDynamicFunction::~CDynamicFunction() {
    if (m_hModule != nullptr) {
        ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
}

// --- CMenuBrush ------------------------------------------------------------

CMenuBrush::CMenuBrush(int nKind, COLORREF clr) : m_nKind(nKind), m_clr(clr), m_sizePattern(0, 0) {
    if (nKind != kindGradient) {
        CreateSolidBrush(clr);
        return;
    }
    HDC hScreen = ::GetWindowDC(nullptr);
    CDC dcMem;
    dcMem.Attach(::CreateCompatibleDC(hScreen));
    const int cx = (::GetSystemMetrics(SM_CXFULLSCREEN) + 16) & ~7;
    const int cy = 20;
    CBitmap bmp;
    bmp.Attach(::CreateCompatibleBitmap(hScreen, cx, cy));
    ::ReleaseDC(nullptr, hScreen);
    {
        CSelectGuard guard(&dcMem, &bmp);
        DrawGradient(&dcMem, CRect(0, 0, cx, cy), clr, LightenColour(110, clr), TRUE, TRUE);
    }
    CreatePatternBrush(&bmp);
    m_sizePattern = CSize(cx, cy);
}

// --- version and errors ----------------------------------------------------

int MapWinVersion(BOOL bNT, DWORD dwMajor, DWORD dwMinor) {
    if (bNT) {
        if (dwMajor < 4)
            return 1;
        if (dwMajor == 4)
            return 5;
        if (dwMajor == 5 && dwMinor == 0)
            return 6;
        return 7;
    }
    if (dwMajor < 4)
        return 0;
    if (dwMajor == 4 && dwMinor == 10)
        return 3;
    if (dwMajor == 4 && dwMinor == 90)
        return 4;
    return 2;
}

int GetWinVersion() {
    DWORD dwVersion = ::GetVersion();
    const BOOL bNT = (dwVersion & 0x80000000) == 0;
    DWORD dwMajor = LOBYTE(LOWORD(dwVersion));
    DWORD dwMinor = HIBYTE(LOWORD(dwVersion));
    if (bNT || dwMajor >= 4) {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (::GetVersionExA(&info)) {
            dwMajor = info.dwMajorVersion;
            dwMinor = info.dwMinorVersion;
        } else {
            ShowLastError();
        }
    }
    return MapWinVersion(bNT, dwMajor, dwMinor);
}

void ShowLastError() {
    DWORD dwError = ::GetLastError();
    if (dwError == 0)
        return;
    LPSTR pszText = nullptr;
    DWORD nLen = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pszText, 0,
                                  nullptr);
    CString strText;
    if (nLen != 0 && pszText != nullptr)
        strText = pszText;
    else
        strText.Format("Error message 0x%lx not found", (unsigned long)dwError);
    if (pszText != nullptr)
        ::LocalFree(pszText);
    AfxSeamMessageBox(nullptr, strText, "Error", MB_ICONINFORMATION);
}

// --- free timers -----------------------------------------------------------

namespace {
// Ids handed out per window. Windows cannot tell whether an id is in use
// (SetTimer silently replaces a running timer), so the library remembers them.
std::map<HWND, std::set<UINT_PTR>>& FreeTimerIds() {
    static auto* s_pIds = new std::map<HWND, std::set<UINT_PTR>>;  // outlives static objects
    return *s_pIds;
}
}  // namespace

UINT_PTR SetFreeTimer(HWND hWnd, UINT nElapse) {
    auto& ids = FreeTimerIds();
    for (auto it = ids.begin(); it != ids.end();)  // forget windows that are gone
        it = ::IsWindow(it->first) ? std::next(it) : ids.erase(it);
    if (!::IsWindow(hWnd))
        return 0;
    std::set<UINT_PTR>& used = ids[hWnd];
    for (UINT_PTR nID = 31; nID <= 99; ++nID) {
        if (used.count(nID))
            continue;
        if (::SetTimer(hWnd, nID, nElapse, nullptr) != 0) {
            used.insert(nID);
            return nID;
        }
    }
    return 0;
}

BOOL KillFreeTimer(HWND hWnd, UINT_PTR nID) {
    auto& ids = FreeTimerIds();
    auto it = ids.find(hWnd);
    if (it != ids.end()) {
        it->second.erase(nID);
        if (it->second.empty())
            ids.erase(it);
    }
    return ::KillTimer(hWnd, nID);
}

// --- system state ----------------------------------------------------------

BOOL IsShadowEnabled() {
    BOOL bShadow = FALSE;
    if (!::SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &bShadow, 0))
        return FALSE;
    return bShadow != FALSE;
}

int GetColourCount() {
    if (g_menuLib.nColourCount == 0) {
        HDC hScreen = ::GetDC(nullptr);
        int n = ::GetDeviceCaps(hScreen, NUMCOLORS);
        ::ReleaseDC(nullptr, hScreen);
        g_menuLib.nColourCount = n == -1 ? 64000 : n;
    }
    return g_menuLib.nColourCount;
}

// --- colour arithmetic -----------------------------------------------------

namespace {
int Clamp8(int n) { return n < 0 ? 0 : (n > 255 ? 255 : n); }

template <class F>
COLORREF PerChannel(COLORREF clr, F f) {
    return RGB(Clamp8(f((int)GetRValue(clr))), Clamp8(f((int)GetGValue(clr))), Clamp8(f((int)GetBValue(clr))));
}

template <class F>
COLORREF PerChannelPair(COLORREF a, COLORREF b, F f) {
    return RGB(Clamp8(f((int)GetRValue(a), (int)GetRValue(b))), Clamp8(f((int)GetGValue(a), (int)GetGValue(b))),
               Clamp8(f((int)GetBValue(a), (int)GetBValue(b))));
}
}  // namespace

COLORREF ShadowColour(COLORREF clr) {
    return RGB(::MulDiv(GetRValue(clr), 7, 10), ::MulDiv(GetGValue(clr), 7, 10),
               Clamp8(::MulDiv(GetBValue(clr) + 55, 7, 10)));
}

COLORREF DarkenColour(int nAmount, COLORREF clr) {
    const int nKeep = 255 - Clamp8(nAmount);
    return PerChannel(clr, [nKeep](int c) { return ::MulDiv(c, nKeep, 255); });
}

COLORREF LightenColour(int nAmount, COLORREF clr) {
    const int n = Clamp8(nAmount);
    return PerChannel(clr, [n](int c) { return ::MulDiv(255 - c, n, 255) + c; });
}

COLORREF MixColour86(COLORREF a, COLORREF b) {
    return PerChannelPair(a, b, [](int x, int y) { return ::MulDiv(x, 86, 100) + ::MulDiv(y, 14, 100); });
}

COLORREF MixColour70(COLORREF a, COLORREF b) {
    return PerChannelPair(a, b, [](int x, int y) { return ::MulDiv(x, 7, 10) + ::MulDiv(y, 3, 10); });
}

COLORREF GreyColour(COLORREF clr) {
    const int n = ((int)GetRValue(clr) + GetGValue(clr) + GetBValue(clr)) / 3;
    return RGB(n, n, n);
}

BOOL IsLightColour(COLORREF clr) { return (int)GetRValue(clr) + GetGValue(clr) + GetBValue(clr) > 384; }

COLORREF AddToColour(int nAmount, COLORREF clr) {
    return PerChannel(clr, [nAmount](int c) { return c + nAmount; });
}

COLORREF GetSelectionColour() {
    if (g_menuLib.bHighContrast)
        return ::GetSysColor(COLOR_HIGHLIGHT);
    if (GetColourCount() > 256)
        return MixColour70(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_HIGHLIGHT));
    return ::GetSysColor(COLOR_WINDOW);
}

// --- gradients -------------------------------------------------------------

void DrawGradient(CDC* pDC, const RECT& rc, COLORREF clrFrom, COLORREF clrTo, BOOL bHorizontal, BOOL bPalette) {
    const int nWidth = rc.right - rc.left;
    const int nHeight = rc.bottom - rc.top;
    if (nWidth <= 0 || nHeight <= 0)
        return;
    const BOOL bUsePalette = bPalette && pDC->GetDeviceCaps(NUMCOLORS) != -1;
    if (!bUsePalette && g_menuLib.pfnGradientFill != nullptr) {
        TRIVERTEX v[2] = {};
        v[0].x = rc.left;
        v[0].y = rc.top;
        v[0].Red = (COLOR16)(GetRValue(clrFrom) << 8);
        v[0].Green = (COLOR16)(GetGValue(clrFrom) << 8);
        v[0].Blue = (COLOR16)(GetBValue(clrFrom) << 8);
        v[1].x = rc.right;
        v[1].y = rc.bottom;
        v[1].Red = (COLOR16)(GetRValue(clrTo) << 8);
        v[1].Green = (COLOR16)(GetGValue(clrTo) << 8);
        v[1].Blue = (COLOR16)(GetBValue(clrTo) << 8);
        GRADIENT_RECT gr = {0, 1};
        if (g_menuLib.pfnGradientFill(pDC->GetSafeHdc(), v, 2, &gr, 1,
                                      bHorizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V))
            return;
    }
    auto fill = [&](const RECT& r, COLORREF clr) {
        pDC->FillSolidRect(&r, bUsePalette ? pDC->GetNearestColor(clr) : clr);
    };
    fill(rc, clrTo);
    const int nLength = bHorizontal ? nWidth : nHeight;
    // Strips of two pixels; a length of 2 or less has one step and no division by 0.
    const int nSteps = std::max(nLength - 2, 1);
    for (int i = 0; i <= nLength - 2; i += 2) {
        COLORREF clr = RGB(GetRValue(clrFrom) + ((int)GetRValue(clrTo) - GetRValue(clrFrom)) * i / nSteps,
                           GetGValue(clrFrom) + ((int)GetGValue(clrTo) - GetGValue(clrFrom)) * i / nSteps,
                           GetBValue(clrFrom) + ((int)GetBValue(clrTo) - GetBValue(clrFrom)) * i / nSteps);
        RECT r = rc;
        if (bHorizontal) {
            r.left = rc.left + i;
            r.right = std::min<LONG>(r.left + 2, rc.right);
        } else {
            r.top = rc.top + i;
            r.bottom = std::min<LONG>(r.top + 2, rc.bottom);
        }
        fill(r, clr);
    }
}

// --- menu colours ----------------------------------------------------------

namespace {
std::vector<std::unique_ptr<CMenuBrush>>& MenuBrushes() {
    static auto* s_pList = new std::vector<std::unique_ptr<CMenuBrush>>;  // freed at library end
    return *s_pList;
}
CMenuBrush* g_pLastMenuBrush = nullptr;

BOOL IsFlatMenu() {
    BOOL bFlat = FALSE;
    return ::SystemParametersInfoA(SPI_GETFLATMENU, 0, &bFlat, 0) && bFlat == 1;
}

// The colour of a menu's background brush; our own pattern brushes know theirs.
BOOL GetMenuBrushColour(HMENU hMenu, COLORREF* pClr) {
    if (hMenu == nullptr)
        return FALSE;
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    if (!GetMenuInfoLate(hMenu, &info) || info.hbrBack == nullptr)
        return FALSE;
    for (const auto& p : MenuBrushes())
        if (p->m_hObject == info.hbrBack) {
            *pClr = p->m_clr;
            return TRUE;
        }
    LOGBRUSH lb{};
    if (::GetObjectA(info.hbrBack, sizeof(lb), &lb) == 0)
        return FALSE;
    *pClr = lb.lbColor;
    return TRUE;
}
}  // namespace

COLORREF GetMenuBkColor(HMENU hMenu) {
    COLORREF clr = 0;
    if (GetMenuBrushColour(hMenu, &clr))
        return clr;
    if (g_menuLib.nWinVersion == 7 && IsFlatMenu())
        return ::GetSysColor(COLOR_MENUBAR);
    return ::GetSysColor(COLOR_MENU);
}

COLORREF GetMenuBkColorThemed(HMENU hMenu) {
    COLORREF clr = 0;
    if (GetMenuBrushColour(hMenu, &clr))
        return clr;
    if (g_menuLib.nWinVersion == 7 &&
        (IsFlatMenu() || (g_menuLib.pfnIsThemeActive != nullptr && g_menuLib.pfnIsThemeActive())))
        return ::GetSysColor(COLOR_MENUBAR);
    return ::GetSysColor(COLOR_MENU);
}

COLORREF GetMenuBarColor() {
    if (g_menuLib.nWinVersion == 2 || g_menuLib.nWinVersion == 5)
        return ::GetSysColor(COLOR_MENU);
    return ::GetSysColor(COLOR_3DFACE);
}

COLORREF GetMenuBarColor2003() {
    if (g_menuLib.nWinVersion == 2 || g_menuLib.nWinVersion == 5)
        return ::GetSysColor(COLOR_MENU);
    COLORREF clr = MixColour70(DarkenColour(10, ::GetSysColor(COLOR_WINDOW)), ::GetSysColor(COLOR_ACTIVECAPTION));
    HDC hScreen = ::GetDC(nullptr);
    clr = ::GetNearestColor(hScreen, clr);
    ::ReleaseDC(nullptr, hScreen);
    if (clr == 0xF0C5AC)
        clr = 0xF5C2A3;
    else if (clr == 0xE6E6E6)
        clr = 0xE5D7D7;
    else if (clr == 0xCCDCD6)
        clr = 0xAADADA;
    return clr;
}

CMenuBrush* GetMenuBarBrush() {
    int nKind = 0;
    COLORREF clr = 0;
    switch (CStyledMenu::GetMenuDrawMode()) {
    case 2:
    case 3:
        nKind = CMenuBrush::kindSolid;
        clr = ::GetSysColor(COLOR_3DFACE);
        break;
    case 8:
    case 9:
        clr = GetMenuBarColor2003();
        nKind = GetColourCount() < 256 || g_menuLib.bHighContrast ? CMenuBrush::kindSolid : CMenuBrush::kindGradient;
        break;
    default:
        return nullptr;
    }
    if (g_pLastMenuBrush != nullptr && g_pLastMenuBrush->m_nKind == nKind && g_pLastMenuBrush->m_clr == clr)
        return g_pLastMenuBrush;
    auto& list = MenuBrushes();
    for (const auto& p : list)
        if (p->m_nKind == nKind && p->m_clr == clr)
            return g_pLastMenuBrush = p.get();
    list.insert(list.begin(), std::make_unique<CMenuBrush>(nKind, clr));
    return g_pLastMenuBrush = list.front().get();
}

void FreeMenuBarBrushes() {
    MenuBrushes().clear();
    g_pLastMenuBrush = nullptr;
}

// --- late-bound menu information -------------------------------------------

typedef BOOL(WINAPI* PFN_GETMENUINFO)(HMENU, LPMENUINFO);
typedef BOOL(WINAPI* PFN_SETMENUINFO)(HMENU, LPCMENUINFO);

BOOL GetMenuInfoLate(HMENU hMenu, MENUINFO* pInfo) {
    static CDynamicFunction s_fn("user32.dll", "GetMenuInfo");
    if (s_fn.m_pfn == nullptr)
        return 0;
    return ((PFN_GETMENUINFO)(void*)s_fn.m_pfn)(hMenu, pInfo);
}

BOOL SetMenuInfoLate(HMENU hMenu, const MENUINFO* pInfo) {
    static CDynamicFunction s_fn("user32.dll", "SetMenuInfo");
    if (s_fn.m_pfn == nullptr)
        return 0;
    return ((PFN_SETMENUINFO)(void*)s_fn.m_pfn)(hMenu, pInfo);
}

// --- bitmap resources ------------------------------------------------------

UINT GetBitmapColourCount(const BITMAPINFOHEADER& header) {
    if (header.biClrUsed != 0)
        return header.biClrUsed;
    switch (header.biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

namespace {
// The header of a bitmap resource, when it is large enough to hold one.
BOOL ReadBitmapHeader(HINSTANCE hModule, HRSRC hRsrc, BITMAPINFOHEADER* pHeader) {
    HGLOBAL hGlobal = ::LoadResource(hModule, hRsrc);
    const void* p = hGlobal != nullptr ? ::LockResource(hGlobal) : nullptr;
    if (p == nullptr || ::SizeofResource(hModule, hRsrc) < sizeof(BITMAPINFOHEADER))
        return FALSE;
    memcpy(pHeader, p, sizeof(*pHeader));
    return pHeader->biSize >= sizeof(BITMAPINFOHEADER);
}
}  // namespace

HBITMAP LoadBitmapResource(LPCSTR lpszName, HINSTANCE hModule, UINT* pnColours) {
    if (pnColours != nullptr)
        *pnColours = 0;
    if (hModule == nullptr)
        hModule = AfxFindResourceHandle(lpszName, (LPCSTR)RT_BITMAP);
    HRSRC hRsrc = ::FindResourceA(hModule, lpszName, (LPCSTR)RT_BITMAP);
    if (hRsrc == nullptr)
        return nullptr;
    BITMAPINFOHEADER header{};
    if (pnColours != nullptr && ReadBitmapHeader(hModule, hRsrc, &header))
        *pnColours = GetBitmapColourCount(header);
    return ::LoadBitmapA(hModule, lpszName);
}

HBITMAP LoadSysColorBitmap(UINT nIDBitmap) {
    LPCSTR lpszName = MAKEINTRESOURCEA(nIDBitmap);
    HINSTANCE hModule = AfxFindResourceHandle(lpszName, (LPCSTR)RT_BITMAP);
    HRSRC hRsrc = ::FindResourceA(hModule, lpszName, (LPCSTR)RT_BITMAP);
    BITMAPINFOHEADER header{};
    if (hRsrc == nullptr || !ReadBitmapHeader(hModule, hRsrc, &header) || GetBitmapColourCount(header) != 16)
        return nullptr;
    return AfxLoadSysColorBitmap(hModule, hRsrc);
}

int AddBitmapCopyMasked(HIMAGELIST hList, HBITMAP hbm, COLORREF clrMask) {
    CBitmap copy;
    if (hList == nullptr || hbm == nullptr || !copy.Attach(::CopyImage(hbm, IMAGE_BITMAP, 0, 0, 0)))
        return -1;
    return ImageList_AddMasked(hList, (HBITMAP)copy.m_hObject, clrMask);
}

BOOL GetMenuFont(CFont& font, BOOL bBold) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        return font.CreateStockObject(DEFAULT_GUI_FONT);
    if (bBold)
        ncm.lfMenuFont.lfWeight = FW_BOLD;
    return font.CreateFontIndirect(&ncm.lfMenuFont);
}
