// Frame windows, thin over the Win32 frame and MDI machinery: a frame with a
// menu bar loaded from resources, the MDI frame with its real MDI client, MDI
// children, mini frames, the floating frame of dock bars and the dock bar, and
// a multi-document template that holds the shared menu of its documents.
#pragma once

#include <windows.h>

#include "afx/afxgdi.h"
#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/afxtoolbar.h"
#include "afx/afxwnd.h"

// Sent to the descendants of a frame loaded without a creation context.
#define WM_INITIALUPDATE 0x0364
// Dock bar ids of the four frame edges and the one of a floating frame.
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define AFX_IDM_FIRST_MDICHILD 0xFF00
// Control-bar style bits of a dock bar.
#define CBRS_GRIPPER 0x00400000L
#define CBRS_BORDER_3D 0x00800000L

class CDocTemplate;
class CFrameWnd;

// What a frame is created for (only the parts frames here read).
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    // Let the system place and size the window.
    static const CRect rectDefault;

    CFrameWnd() = default;

    // Title, icon class, menu and accelerators from the resources of nIDResource.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW,
        CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    // lpszMenuName: a menu resource the window gets as its menu bar.
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    using CWnd::Create;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override; // frames live on the heap and go with their window

    // The window class of a frame with the icon of nIDResource, when there is one.
    LPCSTR GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource);
    BOOL LoadAccelTable(LPCSTR lpszResourceName);

    HMENU m_hMenuDefault = nullptr; // the menu bar the frame was loaded with
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;
    CString m_strTitle;
    BOOL m_bAutoMenuEnable = TRUE; // commands without a handler are disabled in popups

    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

protected:
    DECLARE_MESSAGE_MAP()
};

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd() = default;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW, CWnd* pParentWnd = nullptr,
        CCreateContext* pContext = nullptr) override;
    // Makes the MDI client (at WM_CREATE); the window list goes into pWindowMenu.
    virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu);
    // The popup that lists the children: the last popup of the menu bar.
    virtual HMENU GetWindowMenuPopup(HMENU hMenuBar);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate)
    {
        ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, (WPARAM)pWndActivate->GetSafeHwnd(), 0);
    }
    // Puts hMenu (null: keeps the bar) and hWindowMenu into the frame through the MDI client.
    CMenu* MDISetMenu(HMENU hMenu, HMENU hWindowMenu);

    HWND m_hWndMDIClient = nullptr;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();

protected:
    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd() = default;

    // Created by the MDI client of pParentWnd (WM_MDICREATE).
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName,
        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
        CMDIFrameWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    using CFrameWnd::Create;
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
        CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL DestroyWindow() override;

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIActivate();

    // The menu bar the frame shows while this child is active (a template's shared menu).
    HMENU m_hMenuShared = nullptr;

    // Activation shows the shared menu in the frame.
    afx_msg LRESULT OnMDIActivateMsg(WPARAM wParam, LPARAM lParam);

protected:
    DECLARE_MESSAGE_MAP()
};

// A frame with a small caption (a tool window).
class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd() = default;
    virtual BOOL Create(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
        CWnd* pParentWnd = nullptr, UINT nID = 0);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
        const RECT& rect, CWnd* pParentWnd = nullptr, UINT nID = 0);
    using CFrameWnd::Create;
};

// The bar along an edge of a frame (or inside a floating frame) that holds tool bars.
class CDockBar : public CWnd {
    DECLARE_DYNAMIC(CDockBar)
public:
    CDockBar() = default;
    // dwStyle: child style bits with CBRS_ alignment and CBRS_GRIPPER.
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    using CWnd::Create;
    // The two raised lines of a bar with CBRS_GRIPPER, at the leading edge of rcWindow (window coordinates).
    virtual void DrawGripper(CDC* pDC, const CRect& rcWindow);
    DWORD GetBarStyle() const { return m_dwStyle; }

    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);

protected:
    DWORD m_dwStyle = 0;
    DECLARE_MESSAGE_MAP()
};

// The floating frame of dock bars: a mini frame holding one dock bar.
class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd() = default;
    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    using CMiniFrameWnd::Create;

    CDockBar m_wndDockBar;
};

// The resources of one kind of document: the shared menu its frames show.
class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    ~CDocTemplate() override = default;

    UINT m_nIDResource = 0;
    CRuntimeClass* m_pDocClass = nullptr;
    CRuntimeClass* m_pFrameClass = nullptr;
    CRuntimeClass* m_pViewClass = nullptr;

protected:
    CDocTemplate(
        UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
};

class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    // Loads the shared menu and accelerators of nIDResource.
    CMultiDocTemplate(
        UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    // Destroys the shared menu and accelerators it still holds.
    ~CMultiDocTemplate() override;

    // A new frame of the frame class, loaded from nIDResource, showing the shared menu; an MDI
    // child goes into pOther's MDI frame (pOther may be the frame or one of its children).
    virtual CFrameWnd* CreateNewFrame(CFrameWnd* pOther);

    HMENU m_hMenuShared = nullptr;
    HACCEL m_hAccelTable = nullptr;
};
