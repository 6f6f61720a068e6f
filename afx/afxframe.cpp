// Frame windows over the Win32 frame and MDI machinery.
#include "afx/afxframe.h"

#include <cstring>

#include "afx/afxwin.h"

// --- CFrameWnd ---------------------------------------------------------------

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

LPCSTR CFrameWnd::GetIconWndClass(DWORD, UINT nIDResource)
{
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResource), RT_GROUP_ICON);
    HICON hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(nIDResource));
    return AfxRegisterWndClass(
        CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), hIcon);
}

BOOL CFrameWnd::LoadAccelTable(LPCSTR lpszResourceName)
{
    if (m_hAccelTable != nullptr)
        return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_ACCELERATOR);
    m_hAccelTable = ::LoadAcceleratorsA(hInst, lpszResourceName);
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    char szTitle[256] = "";
    if (::LoadStringA(AfxFindResourceHandle(MAKEINTRESOURCEA((nIDResource >> 4) + 1), RT_STRING), nIDResource,
            szTitle, sizeof(szTitle))
        > 0) {
        if (char* pNewLine = strchr(szTitle, '\n'))
            *pNewLine = 0;
        m_strTitle = szTitle;
    }
    LPCSTR lpszClass = GetIconWndClass(dwDefaultStyle, nIDResource);
    const CString strTitle = m_strTitle;
    if (!Create(lpszClass, strTitle, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCEA(nIDResource),
            0, pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    LoadAccelTable(MAKEINTRESOURCEA(nIDResource));
    if (pContext == nullptr)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr) {
        hMenu = ::LoadMenuA(AfxFindResourceHandle(lpszMenuName, RT_MENU), lpszMenuName);
        if (hMenu == nullptr) {
            PostNcDestroy();
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName;
    const bool bDefault = CRect(rect) == rectDefault;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, bDefault ? CW_USEDEFAULT : rect.left,
            bDefault ? CW_USEDEFAULT : rect.top, bDefault ? CW_USEDEFAULT : rect.right - rect.left,
            bDefault ? CW_USEDEFAULT : rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), hMenu, pContext)) {
        if (hMenu != nullptr)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable != nullptr
        && ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg))
        return TRUE;
    return CWnd::PreTranslateMessage(pMsg);
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    if (!bSysMenu && m_bAutoMenuEnable)
        AfxUpdateMenuPopupCmdUI(this, m_hWnd, pPopupMenu);
}

// --- CMDIFrameWnd ------------------------------------------------------------

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CMDIFrameWnd::LoadFrame(
    UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd); // the MDI client may have changed it
    return TRUE;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (hMenuBar == nullptr)
        return nullptr;
    for (int i = ::GetMenuItemCount(hMenuBar); i-- > 0;)
        if (HMENU hSub = ::GetSubMenu(hMenuBar, i))
            return hSub;
    return nullptr;
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT ccs {};
    ccs.hWindowMenu = pWindowMenu->GetSafeHmenu();
    ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    CRect rc;
    GetClientRect(&rc);
    m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, rc.Width(), rc.Height(),
        m_hWnd, (HMENU)(UINT_PTR)0xE900, AfxGetInstanceHandle(), &ccs);
    return m_hWndMDIClient != nullptr;
}

int CMDIFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    HMENU hWindowMenu = GetWindowMenuPopup(::GetMenu(m_hWnd));
    return CreateClient(lpCreateStruct, hWindowMenu != nullptr ? CMenu::FromHandle(hWindowMenu) : nullptr)
        ? 0
        : -1;
}

void CMDIFrameWnd::OnDestroy()
{
    // The frame destroys only its own menu: a shared menu shown for a child goes back.
    if (m_hMenuDefault != nullptr && ::GetMenu(m_hWnd) != m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    Default();
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hWndMDIClient != nullptr && ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
        return TRUE;
    return CFrameWnd::PreTranslateMessage(pMsg);
}

CWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    if (m_hWndMDIClient == nullptr)
        return nullptr;
    return CWnd::FromHandle((HWND)::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, (LPARAM)pbMaximized));
}

CMenu* CMDIFrameWnd::MDISetMenu(HMENU hMenu, HMENU hWindowMenu)
{
    HMENU hOld = (HMENU)::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, (WPARAM)hMenu, (LPARAM)hWindowMenu);
    ::DrawMenuBar(m_hWnd);
    return CMenu::FromHandle(hOld);
}

// --- CMDIChildWnd ------------------------------------------------------------

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivateMsg)
END_MESSAGE_MAP()

BOOL CMDIChildWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (pParentWnd == nullptr || pParentWnd->m_hWndMDIClient == nullptr) {
        PostNcDestroy(); // as a frame whose creation failed
        return FALSE;
    }
    if (lpszClassName == nullptr)
        lpszClassName
            = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
    m_strTitle = lpszWindowName;
    const bool bDefault = CRect(rect) == rectDefault;
    MDICREATESTRUCTA mcs {};
    mcs.szClass = lpszClassName;
    mcs.szTitle = lpszWindowName;
    mcs.hOwner = AfxGetInstanceHandle();
    mcs.x = bDefault ? CW_USEDEFAULT : rect.left;
    mcs.y = bDefault ? CW_USEDEFAULT : rect.top;
    mcs.cx = bDefault ? CW_USEDEFAULT : rect.right - rect.left;
    mcs.cy = bDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    mcs.style = dwStyle & ~(WS_MAXIMIZE | WS_VISIBLE);
    mcs.lParam = (LPARAM)pContext;
    AfxHookWindowCreate(this);
    HWND hWnd = (HWND)::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, (LPARAM)&mcs);
    AfxUnhookWindowCreate();
    if (hWnd == nullptr)
        return FALSE;
    if (dwStyle & WS_VISIBLE) {
        ::ShowWindow(hWnd, (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDIACTIVATE, (WPARAM)hWnd, 0);
    }
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(
    UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CMDIFrameWnd* pFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, pParentWnd);
    if (pFrame == nullptr)
        pFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, AfxGetMainWnd());
    if (!Create(GetIconWndClass(dwDefaultStyle, nIDResource), m_strTitle, dwDefaultStyle, rectDefault, pFrame,
            pContext))
        return FALSE;
    LoadAccelTable(MAKEINTRESOURCEA(nIDResource));
    return TRUE;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    // Children go through their client, which keeps its list and the frame's menu right.
    if (CMDIFrameWnd* pFrame = GetMDIFrame()) {
        ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDIDESTROY, (WPARAM)m_hWnd, 0);
        return TRUE;
    }
    return CFrameWnd::DestroyWindow();
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hClient = ::GetParent(m_hWnd);
    return DYNAMIC_DOWNCAST(
        CMDIFrameWnd, CWnd::FromHandlePermanent(hClient != nullptr ? ::GetParent(hClient) : nullptr));
}

void CMDIChildWnd::MDIActivate()
{
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->MDIActivate(this);
}

LRESULT CMDIChildWnd::OnMDIActivateMsg(WPARAM, LPARAM lParam)
{
    const LRESULT lResult = Default();
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame == nullptr)
        return lResult;
    if ((HWND)lParam == m_hWnd) {
        if (m_hMenuShared != nullptr)
            pFrame->MDISetMenu(m_hMenuShared, pFrame->GetWindowMenuPopup(m_hMenuShared));
    } else if (lParam == 0 && pFrame->m_hMenuDefault != nullptr) {
        pFrame->MDISetMenu(pFrame->m_hMenuDefault, pFrame->GetWindowMenuPopup(pFrame->m_hMenuDefault));
    }
    return lResult;
}

// --- CMiniFrameWnd -----------------------------------------------------------

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

BOOL CMiniFrameWnd::Create(
    LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
    const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_strTitle = lpWindowName;
    return CWnd::CreateEx(dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, dwStyle, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
        (dwStyle & WS_CHILD) ? (HMENU)(UINT_PTR)nID : nullptr);
}

// --- CDockBar ----------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDockBar, CWnd)

BEGIN_MESSAGE_MAP(CDockBar, CWnd)
ON_WM_NCCALCSIZE()
END_MESSAGE_MAP()

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle;
    CRect rc;
    pParentWnd->GetClientRect(&rc);
    const DWORD dwAlign = dwStyle & CBRS_ALIGN_ANY;
    const int nThick = 26;
    if (dwAlign & CBRS_ALIGN_BOTTOM)
        rc.top = rc.bottom - nThick;
    else if (dwAlign & CBRS_ALIGN_LEFT)
        rc.right = rc.left + nThick;
    else if (dwAlign & CBRS_ALIGN_RIGHT)
        rc.left = rc.right - nThick;
    else if (dwAlign & CBRS_ALIGN_TOP)
        rc.bottom = rc.top + nThick;
    const DWORD dwWndStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (dwStyle & WS_VISIBLE);
    return CWnd::CreateEx(0,
        AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)), nullptr,
        dwWndStyle, rc, pParentWnd, nID);
}

void CDockBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    // Room for the gripper at the leading edge.
    if ((m_dwStyle & CBRS_GRIPPER) && lpncsp != nullptr) {
        if (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT))
            lpncsp->rgrc[0].top += 8;
        else
            lpncsp->rgrc[0].left += 8;
    }
}

void CDockBar::DrawGripper(CDC* pDC, const CRect& rcWindow)
{
    if (!(m_dwStyle & CBRS_GRIPPER))
        return;
    const COLORREF clrLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) {
        pDC->Draw3dRect(rcWindow.left + 2, rcWindow.top + 2, rcWindow.Width() - 4, 3, clrLight, clrShadow);
        pDC->Draw3dRect(rcWindow.left + 2, rcWindow.top + 5, rcWindow.Width() - 4, 3, clrLight, clrShadow);
    } else {
        pDC->Draw3dRect(rcWindow.left + 2, rcWindow.top + 2, 3, rcWindow.Height() - 4, clrLight, clrShadow);
        pDC->Draw3dRect(rcWindow.left + 5, rcWindow.top + 2, 3, rcWindow.Height() - 4, clrLight, clrShadow);
    }
}

// --- CMiniDockFrameWnd -------------------------------------------------------

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    const CRect rc(0, 0, 200, 60);
    if (!CMiniFrameWnd::CreateEx(0, nullptr, nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU, rc, pParent, 0))
        return FALSE;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | dwBarStyle, AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

// --- document templates ------------------------------------------------------

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(
    UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource)
    , m_pDocClass(pDocClass)
    , m_pFrameClass(pFrameClass)
    , m_pViewClass(pViewClass)
{
}

CMultiDocTemplate::CMultiDocTemplate(
    UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
    if (nIDResource == 0)
        return;
    LPCSTR lpszName = MAKEINTRESOURCEA(nIDResource);
    m_hMenuShared = ::LoadMenuA(AfxFindResourceHandle(lpszName, RT_MENU), lpszName);
    m_hAccelTable = ::LoadAcceleratorsA(AfxFindResourceHandle(lpszName, RT_ACCELERATOR), lpszName);
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    if (m_hMenuShared != nullptr)
        ::DestroyMenu(m_hMenuShared);
    m_hMenuShared = nullptr;
}

CFrameWnd* CMultiDocTemplate::CreateNewFrame(CFrameWnd* pOther)
{
    if (m_pFrameClass == nullptr)
        return nullptr;
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pFrameClass->CreateObject());
    if (pFrame == nullptr)
        return nullptr;
    if (auto* pChild = DYNAMIC_DOWNCAST(CMDIChildWnd, pFrame))
        pChild->m_hMenuShared = m_hMenuShared;
    CCreateContext context;
    context.m_pNewDocTemplate = this;
    context.m_pCurrentFrame = pOther;
    context.m_pNewViewClass = m_pViewClass;
    // A child frame goes into the MDI frame of pOther (itself or its frame), else the main window's.
    CWnd* pParent = DYNAMIC_DOWNCAST(CMDIFrameWnd, pOther);
    if (auto* pOtherChild = DYNAMIC_DOWNCAST(CMDIChildWnd, pOther))
        pParent = pOtherChild->GetMDIFrame();
    if (!pFrame->LoadFrame(m_nIDResource, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, pParent, &context))
        return nullptr; // a frame that failed is gone with its window
    return pFrame;
}
