// Ready-made windows with owner-drawn menus: CStyledFrame over a window class
// routes the menu messages to CStyledMenu, keeps the menu bar and the system
// menu as CStyledMenu objects, paints the menu bar with the library's brush
// and, on Windows versions before 2000, lights the menu-bar item under the
// mouse. A document template with a styled shared menu, a dock bar that
// continues the menu-bar brush, the temporary handler the window hook puts on
// dialogs, and a scoped saver of the library options complete the set.
//
//     class CMainFrame : public CStyledMDIFrameWnd { ... };
//     pFrame->LoadFrame(IDR_MAINFRAME);   // the menu bar is owner-drawn
#pragma once

#include "afx/afxwin.h"
#include "menus/menuutil.h"
#include "menus/styledmenu.h"

// Bits of the library options word.
#define STYLEDMENU_OPT_DIALOGHANDLER 0x01 // the window hook puts a CStyledMenuTempHandler on new dialogs
#define STYLEDMENU_OPT_DIALOGSYSMENU 0x02 // that handler makes the dialog's system menu a CStyledMenu
#define STYLEDMENU_OPT_STYLEVARIANT 0x04 // CStyledMenuOptionSaver selects the style number | 1

DWORD GetMenuOptions();
DWORD SetMenuOptions(DWORD dwOptions); // returns the old word

// Helpers of the mix-in that need no template.
namespace styledframe {
// Lets pMenu hold the window's current system menu: a different menu it still holds is destroyed first.
void AttachSystemMenu(HWND hWnd, CStyledMenu& menu);
// At the window's end: the bar goes off the window and the member destroys it (once, with its sub-menus); the
// system menu is the window's, so only its records are freed.
void ReleaseWindowMenus(HWND hWnd, CStyledMenu& barMenu, CStyledMenu& sysMenu);
// Hot tracking of the menu bar; returns the new lit position and keeps the timer id in nTimer.
int TrackHotItem(CWnd* pWnd, BOOL bMenuLoop, LRESULT nHit, CPoint pt, int nHotPos, UINT_PTR& nTimer);
void KillHotTimer(HWND hWnd, UINT_PTR& nTimer);
} // namespace styledframe

template <class Base> class CStyledFrame : public Base {
    DECLARE_TEMPLATE_DYNAMIC(CStyledFrame)
public:
    CStyledFrame() = default;
    // The base class's constructors (a dialog's template and parent).
    template <class... Args>
    explicit CStyledFrame(Args... args)
        : Base(args...)
    {
    }
    ~CStyledFrame() override
    {
        // A window that outlives this part (the base destroys it later) keeps no menu of ours.
        if (::IsWindow(this->m_hWnd))
            styledframe::ReleaseWindowMenus(this->m_hWnd, m_barMenu, m_sysMenu);
        m_sysMenu.DestroyMenu();
        m_barMenu.DestroyMenu();
    }

    CStyledMenu m_barMenu;
    CStyledMenu m_sysMenu;
    BOOL m_bMenuLoop = FALSE;
    UINT_PTR m_nHotTimer = 0;
    int m_nHotPos = -1;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (Base::OnCreate(lpCreateStruct) == -1)
            return -1;
        styledframe::AttachSystemMenu(this->m_hWnd, m_sysMenu);
        return 0;
    }
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
    {
        Base::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
        CStyledMenu::OnInitMenuPopup(this->m_hWnd, pPopupMenu, nIndex, bSysMenu);
    }
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS)
    {
        if (!CStyledMenu::OnMeasureItem(this->GetCurrentMessage()))
            Base::OnMeasureItem(nIDCtl, lpMIS);
    }
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
    {
        if (DYNAMIC_DOWNCAST(CStyledMenu, pMenu) != nullptr)
            return CStyledMenu::HandleMenuChar(nChar, nFlags, pMenu);
        return Base::OnMenuChar(nChar, nFlags, pMenu);
    }
    afx_msg void OnSysColorChange()
    {
        Base::OnSysColorChange();
        CStyledMenu::RefreshIconSets();
        CStyledMenu::ApplyMenuBarBrush(m_barMenu.m_hMenu);
    }
    afx_msg void OnEnterMenuLoop(BOOL)
    {
        m_bMenuLoop = TRUE;
        styledframe::KillHotTimer(this->m_hWnd, m_nHotTimer);
        if (m_nHotPos != -1)
            CStyledMenu::DrawMenuBarItem(this, this->GetMenu(), m_nHotPos, 0);
        m_nHotPos = -1;
        this->Default();
    }
    afx_msg void OnExitMenuLoop(BOOL)
    {
        m_bMenuLoop = FALSE;
        this->Default();
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        this->Default();
        if (m_nHotTimer != 0 && nIDEvent == m_nHotTimer) {
            CPoint pt;
            ::GetCursorPos(&pt);
            this->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
        }
    }
    afx_msg void OnDestroy()
    {
        styledframe::KillHotTimer(this->m_hWnd, m_nHotTimer);
        Base::OnDestroy();
        styledframe::ReleaseWindowMenus(this->m_hWnd, m_barMenu, m_sysMenu);
    }
    afx_msg LRESULT OnNcHitTest(CPoint point)
    {
        const LRESULT nHit = Base::OnNcHitTest(point);
        m_nHotPos = styledframe::TrackHotItem(this, m_bMenuLoop, nHit, point, m_nHotPos, m_nHotTimer);
        return nHit;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_TEMPLATE_DYNAMIC(CStyledFrame, Base)

BEGIN_TEMPLATE_MESSAGE_MAP(CStyledFrame, Base, Base)
ON_WM_CREATE()
ON_WM_INITMENUPOPUP()
ON_WM_MEASUREITEM()
ON_WM_MENUCHAR()
ON_WM_SYSCOLORCHANGE()
ON_WM_ENTERMENULOOP()
ON_WM_EXITMENULOOP()
ON_WM_TIMER()
ON_WM_DESTROY()
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

class CStyledDialog : public CStyledFrame<CDialog> {
    DECLARE_DYNAMIC(CStyledDialog)
public:
    CStyledDialog() = default;
    CStyledDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
        : CStyledFrame<CDialog>(lpszTemplateName, pParentWnd)
    {
    }
    CStyledDialog(UINT nIDTemplate, CWnd* pParentWnd)
        : CStyledFrame<CDialog>(nIDTemplate, pParentWnd)
    {
    }

    BOOL OnInitDialog() override;
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

protected:
    DECLARE_MESSAGE_MAP()
};

class CStyledFrameWnd : public CStyledFrame<CFrameWnd> {
    DECLARE_DYNCREATE(CStyledFrameWnd)
public:
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW, CWnd* pParentWnd = nullptr,
        CCreateContext* pContext = nullptr) override;
    // The menu resource becomes m_barMenu, the window's owner-drawn menu bar.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr) override;
    using CFrameWnd::Create;
};

class CStyledMDIFrameWnd : public CStyledFrame<CMDIFrameWnd> {
    DECLARE_DYNAMIC(CStyledMDIFrameWnd)
public:
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW, CWnd* pParentWnd = nullptr,
        CCreateContext* pContext = nullptr) override;
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr) override;
    using CFrameWnd::Create;
    // Hides (keeping it) or shows again the menu bar; TRUE when the bar was shown before.
    BOOL ShowMenu(BOOL bShow);

    HMENU m_hHiddenMenu = nullptr;
};

class CStyledMDIChildWnd : public CStyledFrame<CMDIChildWnd> {
    DECLARE_DYNCREATE(CStyledMDIChildWnd)
};

class CStyledMiniFrameWnd : public CStyledFrame<CMiniFrameWnd> {
    DECLARE_DYNCREATE(CStyledMiniFrameWnd)
};

class CStyledMiniDockFrameWnd : public CStyledFrame<CMiniDockFrameWnd> {
    DECLARE_DYNCREATE(CStyledMiniDockFrameWnd)
};

// A multi-document template whose shared menu is a CStyledMenu (with the
// tool-bar images of the template's resource id).
class CStyledMultiDocTemplate : public CMultiDocTemplate {
    DECLARE_DYNAMIC(CStyledMultiDocTemplate)
public:
    CStyledMultiDocTemplate(
        UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    ~CStyledMultiDocTemplate() override;

    CStyledMenu m_menuShared;
};

// A dock bar painted with the menu bar's brush, so the bar continues the menu bar.
class CStyledDockBar : public CDockBar {
    DECLARE_DYNCREATE(CStyledDockBar)
public:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnNcPaint();

protected:
    DECLARE_MESSAGE_MAP()
};

// Put on a dialog window by the window hook: owner-drawn menus of a dialog
// that is not a CStyledDialog. Lives until the window's WM_DESTROY.
class CStyledMenuTempHandler : public CObject {
    DECLARE_DYNAMIC(CStyledMenuTempHandler)
public:
    explicit CStyledMenuTempHandler(HWND hWnd);
    ~CStyledMenuTempHandler() override;

    static CStyledMenuTempHandler* FromHandle(HWND hWnd);
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static int GetLiveCount();

    CStyledMenu m_sysMenu;
    WNDPROC m_pfnOldProc = nullptr;
    HWND m_hWnd = nullptr;
};

// Sets the library options (or a drawing style) for one scope.
class CStyledMenuOptionSaver {
public:
    explicit CStyledMenuOptionSaver(DWORD dwOptions);
    explicit CStyledMenuOptionSaver(int nStyle);
    ~CStyledMenuOptionSaver();
    CStyledMenuOptionSaver(const CStyledMenuOptionSaver&) = delete;
    CStyledMenuOptionSaver& operator=(const CStyledMenuOptionSaver&) = delete;

    DWORD m_dwSavedOptions;
    DWORD m_dwSavedStyle;
};
