// Free functions the menu library shares: Windows version code, the error box,
// free timer ids, colour arithmetic, menu colours, gradients, bitmap resources,
// late-bound menu-information calls, the menu-bar brush cache, and the two
// small classes that bind system functions at run time and paint menu
// backgrounds. Everything runs on the GUI thread.
#pragma once

#include "afx/afxwin.h"

// --- run-time loaded functions ---------------------------------------------

// One function of a system library, bound at run time so the library runs
// where it is missing. Owns the module reference.
class CDynamicFunction {
public:
    CDynamicFunction(LPCSTR lpszLibraryFile, LPCSTR lpszFunctionName);
    ~CDynamicFunction();
    CDynamicFunction(const CDynamicFunction&) = delete;
    CDynamicFunction& operator=(const CDynamicFunction&) = delete;

    HMODULE m_hModule = nullptr;
    FARPROC m_pfn = nullptr;
};

// The brush menu backgrounds are painted with: solid (kind 2) or a horizontal
// gradient laid out as a pattern (kind 8).
class CMenuBrush : public CBrush {
public:
    enum { kindSolid = 2, kindGradient = 8 };
    CMenuBrush(int nKind, COLORREF clr);
    ~CMenuBrush() override = default;

    int m_nKind;
    COLORREF m_clr;
    // Size of the kind-8 pattern bitmap (0 x 0 for a solid brush).
    CSize m_sizePattern;
};

// --- process-wide state of the menu library --------------------------------

typedef BOOL(WINAPI* PFN_ISTHEMEACTIVE)();
typedef HRESULT(WINAPI* PFN_SETWINDOWTHEME)(HWND, LPCWSTR, LPCWSTR);
typedef BOOL(WINAPI* PFN_GRADIENTFILL)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct CMenuLibraryState {
    int nWinVersion = 0;         // GetWinVersion, stored at start-up
    BOOL bHighContrast = FALSE;  // HCF_HIGHCONTRASTON at library start
    BOOL bRemoteSession = FALSE;
    HMODULE hUxTheme = nullptr;
    PFN_ISTHEMEACTIVE pfnIsThemeActive = nullptr;
    PFN_SETWINDOWTHEME pfnSetWindowTheme = nullptr;
    HMODULE hMsimg32 = nullptr;
    PFN_GRADIENTFILL pfnGradientFill = nullptr;
    HHOOK hHook = nullptr;  // the thread's WH_CALLWNDPROC hook
    int nColourCount = 0;   // cached GetColourCount, 0 until asked
};
extern CMenuLibraryState g_menuLib;

// --- utilities -------------------------------------------------------------

// 0 Win32s, 1 NT 3.x, 2 Windows 95, 3 Windows 98, 4 Windows Me, 5 NT 4,
// 6 Windows 2000, 7 XP or later.
int GetWinVersion();
// The same code from a version: bNT for the NT family.
int MapWinVersion(BOOL bNT, DWORD dwMajor, DWORD dwMinor);
// A message box with the text of GetLastError, if there is an error.
void ShowLastError();

// The first timer id from 31 to 99 that is not already handed out on the
// window and that SetTimer accepts; 0 when none or not a window.
UINT_PTR SetFreeTimer(HWND hWnd, UINT nElapse);
// Kills a timer of SetFreeTimer and makes its id free again.
BOOL KillFreeTimer(HWND hWnd, UINT_PTR nID);

BOOL IsShadowEnabled();
int GetColourCount();  // NUMCOLORS of the screen, 64000 for true colour

COLORREF ShadowColour(COLORREF clr);
COLORREF DarkenColour(int nAmount, COLORREF clr);
COLORREF LightenColour(int nAmount, COLORREF clr);
COLORREF MixColour86(COLORREF a, COLORREF b);
COLORREF MixColour70(COLORREF a, COLORREF b);
COLORREF GreyColour(COLORREF clr);
BOOL IsLightColour(COLORREF clr);
COLORREF AddToColour(int nAmount, COLORREF clr);
COLORREF GetSelectionColour();

// Fills the rectangle with a gradient from clrFrom to clrTo (left to right
// when bHorizontal, else top to bottom).
void DrawGradient(CDC* pDC, const RECT& rc, COLORREF clrFrom, COLORREF clrTo, BOOL bHorizontal, BOOL bPalette);

COLORREF GetMenuBkColor(HMENU hMenu);
COLORREF GetMenuBkColorThemed(HMENU hMenu);
COLORREF GetMenuBarColor();
COLORREF GetMenuBarColor2003();
// The menu-bar brush of the current drawing style, or null; owned by the cache.
CMenuBrush* GetMenuBarBrush();
// Frees the cached brushes (library end).
void FreeMenuBarBrushes();

BOOL GetMenuInfoLate(HMENU hMenu, MENUINFO* pInfo);
BOOL SetMenuInfoLate(HMENU hMenu, const MENUINFO* pInfo);

UINT GetBitmapColourCount(const BITMAPINFOHEADER& header);
// A bitmap resource (module null: the module that holds it), its colour count in *pnColours.
HBITMAP LoadBitmapResource(LPCSTR lpszName, HINSTANCE hModule, UINT* pnColours);
// A 16-colour bitmap with its greys mapped to the system colours; else null.
HBITMAP LoadSysColorBitmap(UINT nIDBitmap);

// Adds a copy of a bitmap to an image list, masked with a colour: the masked
// add blackens the background of the bitmap it is handed, and the caller's
// bitmap must stay as it was. The index of the image or -1.
int AddBitmapCopyMasked(HIMAGELIST hList, HBITMAP hbm, COLORREF clrMask);

// The menu font of the non-client metrics (bold when asked).
BOOL GetMenuFont(CFont& font, BOOL bBold);
