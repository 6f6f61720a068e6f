// The ten drawing styles of the menu library, the library's start and end,
// and the record of a popup-menu window that the styles paint (the records are
// made and dropped by the popup-window subclassing, which plugs into the
// library's window hook).
#pragma once

#include <functional>
#include <unordered_map>

#include "afx/afxwin.h"
#include "menus/styledmenu.h"

// One popup-menu window ("#32768") the library watches.
class CStyledMenuPopupData {
public:
    enum {
        flagLate = 0x01,          // subclassed on message 0x01E2, not WM_CREATE
        flagStylesChanged = 0x02, // AttachWindow changed the styles
        flagPrinting = 0x08,      // a WM_PRINT is being served
    };
    CStyledMenuPopupData(HWND hWnd, DWORD dwFlags);
    ~CStyledMenuPopupData() = default;
    CStyledMenuPopupData(const CStyledMenuPopupData&) = delete;
    CStyledMenuPopupData& operator=(const CStyledMenuPopupData&) = delete;

    // Takes the pending menu (the one about to be shown) and forgets it.
    void TakePendingMenu();

    DWORD m_dwSavedStyle = 0;
    DWORD m_dwSavedExStyle = 0;
    CPoint m_ptPosition;
    DWORD m_dwFlags = 0;
    BOOL m_bFramePainted = FALSE;
    HMENU m_hMenu = nullptr;
    BOOL m_bEnabled = FALSE;
    CBitmap m_bmpBackground;
};

// The popup map: window handle -> record, owned here.
CStyledMenuPopupData* FindPopupData(HWND hWnd);
CStyledMenuPopupData* AddPopupData(HWND hWnd, DWORD dwFlags);
void RemovePopupData(HWND hWnd);
void RemoveAllPopupData();
int GetPopupDataCount();
void ForEachPopupData(const std::function<void(HWND)>& fn);
// The menu about to be shown in the next popup window (null: none pending).
HMENU GetPendingPopupMenu();
void SetPendingPopupMenu(HMENU hMenu);
// GetMessagePos at the latest key-down seen in a popup window.
DWORD GetLastKeyDownPos();
void SetLastKeyDownPos(DWORD dwPos);

// The window hook of the library's GUI thread calls this handler (when one is
// registered) for every message it sees; popup subclassing registers itself.
typedef void (*PFN_MENUHOOKHANDLER)(const CWPSTRUCT* pMsg);
PFN_MENUHOOKHANDLER SetMenuHookHandler(PFN_MENUHOOKHANDLER pfnHandler);
PFN_MENUHOOKHANDLER GetMenuHookHandler();

class CStyledMenuStyle {
public:
    CStyledMenuStyle() = default;
    CStyledMenuStyle(int nNumber, CStyledMenu::PFN_MEASURE pfnMeasure, CStyledMenu::PFN_DRAW pfnDraw,
                     CStyledMenu::PFN_DRAW pfnTitle, BOOL bFrame);
    virtual ~CStyledMenuStyle() = default;
    CStyledMenuStyle(const CStyledMenuStyle&) = delete;
    CStyledMenuStyle& operator=(const CStyledMenuStyle&) = delete;

    virtual BOOL AttachWindow(HWND hWnd);
    virtual BOOL DetachWindow(HWND hWnd);
    virtual BOOL DrawsFrame() const { return (m_bFrame & 1) != 0; }
    virtual BOOL DrawFrame(HWND hWnd, HDC hDC, BOOL bBorderOnly);
    virtual BOOL EraseBackground(HWND hWnd, HDC hDC);
    virtual BOOL AdjustClientArea(HWND hWnd, NCCALCSIZE_PARAMS* pParams);
    virtual BOOL AdjustWindowPos(HWND hWnd, WINDOWPOS* pPos);
    virtual BOOL GetInnerRect(HWND hWnd, RECT* pRect);

    void FillFrame(CDC* pDC, const CRect& rcOuter, CRect rcClient, COLORREF clr);
    void DrawMenuBarJoint(HWND hWnd, HDC hDC);
    void DrawShadow(HWND hWnd, HDC hDC);
    CStyledMenuPopupData* CaptureBackground(HWND hWnd, HDC hDC);

    int m_nNumber = 0;
    BOOL m_bFrame = FALSE;
    CStyledMenu::PFN_MEASURE m_pfnMeasure = nullptr;
    CStyledMenu::PFN_DRAW m_pfnDraw = nullptr;
    CStyledMenu::PFN_DRAW m_pfnTitle = nullptr;
    CSize m_sizeFrame;
    CSize m_sizeShadow;

protected:
    // Window rectangle size and the client rectangle in window coordinates.
    BOOL GetFrameGeometry(HWND hWnd, CSize& sizeWindow, CRect& rcClient) const;
};

// The flat look: light frame with a band, dark outline.
class CStyledMenuFlatStyle : public CStyledMenuStyle {
public:
    using CStyledMenuStyle::CStyledMenuStyle;
    BOOL DrawFrame(HWND hWnd, HDC hDC, BOOL bBorderOnly) override;
    BOOL EraseBackground(HWND hWnd, HDC hDC) override;
};

void InitMenuLibrary();
void ExitMenuLibrary();
BOOL AddMenuStyle(CStyledMenuStyle* pStyle);
CStyledMenuStyle* RemoveMenuStyle(int nNumber);
CStyledMenuStyle* FindMenuStyle(int nNumber);
CStyledMenuStyle* GetCurrentMenuStyle();
void SetCurrentMenuStyle(CStyledMenuStyle* pStyle);
int GetMenuStyleCount();
