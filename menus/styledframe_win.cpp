// The frame and dialog mix-ins, the styled document template and dock bar,
// the temporary dialog handler and the options of the library.
#include "menus/styledframe.h"

#include "menus/menustyles.h"

namespace {
DWORD g_dwMenuOptions = 0;
int g_nTempHandlers = 0;
const char kTempHandlerProp[] = "CStyledMenuTempHandler";

// Whether a window's menu object is one of ours.
BOOL IsStyled(HMENU hMenu)
{
    return CStyledMenu::FromHandleStyled(hMenu) != nullptr;
}
} // namespace

DWORD GetMenuOptions()
{
    return g_dwMenuOptions;
}
DWORD SetMenuOptions(DWORD dwOptions)
{
    std::swap(dwOptions, g_dwMenuOptions);
    return dwOptions;
}

// --- the mix-in's helpers ------------------------------------------------------

void styledframe::AttachSystemMenu(HWND hWnd, CStyledMenu& menu)
{
    HMENU hSys = ::GetSystemMenu(hWnd, FALSE);
    if (menu.m_hMenu == hSys && hSys != nullptr)
        return;
    if (menu.m_hMenu != nullptr) {
        const BOOL bAlive = ::IsMenu(menu.m_hMenu);
        if (!menu.DestroyMenu() && bAlive)
            ShowLastError();
    }
    if (hSys != nullptr)
        menu.LoadMenu(hSys);
}

void styledframe::ReleaseWindowMenus(HWND hWnd, CStyledMenu& barMenu, CStyledMenu& sysMenu)
{
    if (barMenu.m_hMenu != nullptr) {
        if (::GetMenu(hWnd) == barMenu.m_hMenu)
            ::SetMenu(hWnd, nullptr);
        barMenu.DestroyMenu();
    }
    if (sysMenu.m_hMenu != nullptr) {
        sysMenu.Detach();
        sysMenu.DestroyMenu(); // the records only: the handle is the window's
    }
}

void styledframe::KillHotTimer(HWND hWnd, UINT_PTR& nTimer)
{
    if (nTimer != 0)
        KillFreeTimer(hWnd, nTimer);
    nTimer = 0;
}

int styledframe::TrackHotItem(
    CWnd* pWnd, BOOL bMenuLoop, LRESULT nHit, CPoint pt, int nHotPos, UINT_PTR& nTimer)
{
    const int nVersion = g_menuLib.nWinVersion;
    if (nVersion >= 6)
        return nHotPos; // 2000 and later light menu-bar items themselves
    UINT nUnlit = 0x80;
    UINT nLit = 0xC0;
    HWND hFocus = ::GetFocus();
    if (hFocus != nullptr && ::IsChild(pWnd->m_hWnd, hFocus)) {
        nUnlit = 0;
        nLit = ODS_HOTLIGHT;
    } else if (nVersion == 2 || nVersion == 5) {
        nUnlit = nLit = 0;
    }
    HMENU hMenu = ::GetMenu(pWnd->m_hWnd);
    CMenu* pMenu = CMenu::FromHandle(hMenu);
    auto startTimer = [&] {
        if (nTimer == 0)
            nTimer = SetFreeTimer(pWnd->m_hWnd, 100);
    };
    if (!bMenuLoop && nHit == HTMENU && IsStyled(hMenu)) {
        int nPos = ::MenuItemFromPoint(pWnd->m_hWnd, hMenu, pt);
        if (nPos >= 0) {
            if (nPos != nHotPos) {
                if (nHotPos != -1)
                    CStyledMenu::DrawMenuBarItem(pWnd, pMenu, nHotPos, nUnlit);
                if (CStyledMenu::DrawMenuBarItem(pWnd, pMenu, nPos, nLit))
                    startTimer();
                else
                    nPos = -1;
                return nPos;
            }
            if (CStyledMenu::DrawMenuBarItem(pWnd, pMenu, nPos, nLit))
                startTimer();
            return nPos;
        }
    }
    if (nHotPos != -1)
        CStyledMenu::DrawMenuBarItem(pWnd, pMenu, nHotPos, nUnlit);
    KillHotTimer(pWnd->m_hWnd, nTimer);
    return -1;
}

// --- the six window classes ------------------------------------------------------

IMPLEMENT_DYNAMIC_OVER_TEMPLATE(CStyledDialog, CStyledFrame<CDialog>)
IMPLEMENT_DYNCREATE_OVER_TEMPLATE(CStyledFrameWnd, CStyledFrame<CFrameWnd>)
IMPLEMENT_DYNAMIC_OVER_TEMPLATE(CStyledMDIFrameWnd, CStyledFrame<CMDIFrameWnd>)
IMPLEMENT_DYNCREATE_OVER_TEMPLATE(CStyledMDIChildWnd, CStyledFrame<CMDIChildWnd>)
IMPLEMENT_DYNCREATE_OVER_TEMPLATE(CStyledMiniFrameWnd, CStyledFrame<CMiniFrameWnd>)
IMPLEMENT_DYNCREATE_OVER_TEMPLATE(CStyledMiniDockFrameWnd, CStyledFrame<CMiniDockFrameWnd>)

BEGIN_MESSAGE_MAP(CStyledDialog, CStyledFrame<CDialog>)
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

BOOL CStyledDialog::OnInitDialog()
{
    const BOOL bResult = CDialog::OnInitDialog();
    styledframe::AttachSystemMenu(m_hWnd, m_sysMenu);
    HMENU hBar = ::GetMenu(m_hWnd);
    if (m_barMenu.m_hMenu != hBar) {
        m_barMenu.DestroyMenu();
        if (m_barMenu.LoadMenu(hBar))
            CStyledMenu::ApplyMenuBarBrush(hBar);
    }
    return bResult;
}

void CStyledDialog::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    // A combo box dropped down or a capture in progress ends before the menu opens.
    HWND hFocus = ::GetFocus();
    if (hFocus != nullptr && hFocus != m_hWnd && ::IsChild(m_hWnd, hFocus))
        ::SendMessageA(hFocus, WM_CANCELMODE, 0, 0);
    if (!bSysMenu)
        AfxUpdateMenuPopupCmdUI(this, m_hWnd, pPopupMenu);
    CStyledFrame<CDialog>::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
}

namespace {
// Create of the two frame classes: the menu resource goes into the bar menu.
template <class TFrame>
BOOL CreateStyledFrame(TFrame* pFrame, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
    const RECT& rect, CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    if (lpszMenuName != nullptr && !pFrame->m_barMenu.LoadMenu(lpszMenuName)) {
        pFrame->PostNcDestroy();
        return FALSE;
    }
    pFrame->m_strTitle = lpszWindowName;
    const bool bDefault = CRect(rect) == CFrameWnd::rectDefault;
    if (!pFrame->CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle,
            bDefault ? CW_USEDEFAULT : rect.left, bDefault ? CW_USEDEFAULT : rect.top,
            bDefault ? CW_USEDEFAULT : rect.right - rect.left,
            bDefault ? CW_USEDEFAULT : rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
            pFrame->m_barMenu.m_hMenu, pContext))
        return FALSE;
    CStyledMenu::ApplyMenuBarBrush(pFrame->m_barMenu.m_hMenu);
    return TRUE;
}
} // namespace

BOOL CStyledFrameWnd::LoadFrame(
    UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CStyledFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    return CreateStyledFrame(
        this, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, lpszMenuName, dwExStyle, pContext);
}

BOOL CStyledMDIFrameWnd::LoadFrame(
    UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    return CMDIFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CStyledMDIFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    return CreateStyledFrame(
        this, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, lpszMenuName, dwExStyle, pContext);
}

BOOL CStyledMDIFrameWnd::ShowMenu(BOOL bShow)
{
    if (!bShow) {
        HMENU hMenu = ::GetMenu(m_hWnd);
        if (hMenu == nullptr)
            return FALSE; // a menu kept earlier stays kept
        ::SetMenu(m_hWnd, nullptr);
        ::DrawMenuBar(m_hWnd);
        m_hHiddenMenu = hMenu;
        return TRUE;
    }
    if (m_hHiddenMenu == nullptr)
        return TRUE;
    ::SetMenu(m_hWnd, m_hHiddenMenu);
    ::DrawMenuBar(m_hWnd);
    m_hHiddenMenu = nullptr;
    return FALSE;
}

// --- the document template -------------------------------------------------------

IMPLEMENT_DYNAMIC(CStyledMultiDocTemplate, CMultiDocTemplate)

CStyledMultiDocTemplate::CStyledMultiDocTemplate(
    UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CMultiDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
    if (nIDResource == 0 || m_hMenuShared == nullptr)
        return;
    if (m_menuShared.LoadMenu(m_hMenuShared)) {
        m_menuShared.LoadToolbar(nIDResource, (HINSTANCE) nullptr);
        CStyledMenu::RegisterSharedMenu(&m_menuShared);
    }
}

CStyledMultiDocTemplate::~CStyledMultiDocTemplate()
{
    // The member destroys the menu it holds; the base must not do it again.
    if (m_hMenuShared != nullptr && m_hMenuShared == m_menuShared.m_hMenu)
        m_hMenuShared = nullptr;
    CStyledMenu::UnregisterSharedMenu(&m_menuShared);
}

// --- the dock bar ------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CStyledDockBar, CDockBar)

BEGIN_MESSAGE_MAP(CStyledDockBar, CDockBar)
ON_WM_ERASEBKGND()
ON_WM_NCPAINT()
END_MESSAGE_MAP()

BOOL CStyledDockBar::OnEraseBkgnd(CDC* pDC)
{
    HWND hParent = ::GetParent(m_hWnd);
    HMENU hMenu = hParent != nullptr ? ::GetMenu(hParent) : nullptr;
    MENUINFO info {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    if (hMenu == nullptr || !GetMenuInfoLate(hMenu, &info) || info.hbrBack == nullptr)
        return (BOOL)Default();
    // The pattern goes on from where the menu bar's left edge put it.
    CRect rcBar;
    CRect rcParent;
    GetWindowRect(&rcBar);
    ::GetWindowRect(hParent, &rcParent);
    const CPoint ptOld = pDC->GetBrushOrg();
    pDC->SetBrushOrg(ptOld.x - (rcBar.left - rcParent.left), ptOld.y);
    CRect rcClip;
    pDC->GetClipBox(&rcClip);
    ::FillRect(pDC->m_hDC, &rcClip, info.hbrBack);
    pDC->SetBrushOrg(ptOld.x, ptOld.y);
    return TRUE;
}

void CStyledDockBar::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rcWindow;
    CRect rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
    rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
    dc.ExcludeClipRect(&rcClient);
    SendMessage(WM_ERASEBKGND, (WPARAM)dc.m_hDC, 0);
    DrawGripper(&dc, rcWindow);
}

// --- the temporary dialog handler -----------------------------------------------

IMPLEMENT_DYNAMIC(CStyledMenuTempHandler, CObject)

CStyledMenuTempHandler::CStyledMenuTempHandler(HWND hWnd)
    : m_hWnd(hWnd)
{
    ++g_nTempHandlers;
    ::SetPropA(hWnd, kTempHandlerProp, (HANDLE)this);
    m_pfnOldProc = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)WindowProc);
}

CStyledMenuTempHandler::~CStyledMenuTempHandler()
{
    --g_nTempHandlers;
    if (::IsWindow(m_hWnd)) {
        // Put back only our own link: a later subclasser keeps its chain.
        if ((WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == WindowProc)
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnOldProc);
        ::RemovePropA(m_hWnd, kTempHandlerProp);
    }
    // The system menu is the window's: only its records go.
    m_sysMenu.Detach();
    m_sysMenu.DestroyMenu();
}

CStyledMenuTempHandler* CStyledMenuTempHandler::FromHandle(HWND hWnd)
{
    return static_cast<CStyledMenuTempHandler*>(::GetPropA(hWnd, kTempHandlerProp));
}

int CStyledMenuTempHandler::GetLiveCount()
{
    return g_nTempHandlers;
}

LRESULT CALLBACK CStyledMenuTempHandler::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CStyledMenuTempHandler* pHandler = FromHandle(hWnd);
    if (pHandler == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    WNDPROC pfnOld = pHandler->m_pfnOldProc;
    switch (message) {
    case WM_INITMENUPOPUP: {
        const LRESULT lResult = ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
        CStyledMenu::OnInitMenuPopup(hWnd, CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), HIWORD(lParam));
        return lResult;
    }
    case WM_MENUCHAR: {
        CMenu* pMenu = CMenu::FromHandle((HMENU)lParam);
        if (DYNAMIC_DOWNCAST(CStyledMenu, pMenu) != nullptr)
            return CStyledMenu::HandleMenuChar(LOWORD(wParam), HIWORD(wParam), pMenu);
        break;
    }
    case WM_INITDIALOG: {
        const LRESULT lResult = ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
        HMENU hSys = ::GetSystemMenu(hWnd, FALSE);
        if ((GetMenuOptions() & STYLEDMENU_OPT_DIALOGSYSMENU) && ::IsMenu(hSys) && !IsStyled(hSys)
            && pHandler->m_sysMenu.m_hMenu == nullptr)
            pHandler->m_sysMenu.LoadMenu(hSys);
        return lResult;
    }
    case WM_DRAWITEM: {
        auto* lpDIS = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        CStyledMenu* pMenu = lpDIS != nullptr && lpDIS->CtlType == ODT_MENU
            ? CStyledMenu::FromHandleStyled((HMENU)lpDIS->hwndItem)
            : nullptr;
        if (pHandler->m_sysMenu.m_hMenu != nullptr && pMenu != nullptr) {
            pMenu->DrawItem(lpDIS);
            return TRUE;
        }
        break;
    }
    case WM_MEASUREITEM: {
        MSG msg = { hWnd, message, wParam, lParam, 0, { 0, 0 } };
        if (CStyledMenu::OnMeasureItem(&msg))
            return TRUE;
        break;
    }
    case WM_DESTROY: {
        const LRESULT lResult = ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
        delete pHandler;
        return lResult;
    }
    default:
        break;
    }
    return ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
}

// --- the option saver -------------------------------------------------------------

CStyledMenuOptionSaver::CStyledMenuOptionSaver(DWORD dwOptions)
    : m_dwSavedOptions(SetMenuOptions(dwOptions))
    , m_dwSavedStyle((DWORD)CStyledMenu::GetMenuDrawMode())
{
    if (dwOptions & STYLEDMENU_OPT_STYLEVARIANT)
        CStyledMenu::SetMenuDrawMode((int)(m_dwSavedStyle | 1));
}

CStyledMenuOptionSaver::CStyledMenuOptionSaver(int nStyle)
    : m_dwSavedOptions(GetMenuOptions())
    , m_dwSavedStyle((DWORD)CStyledMenu::SetMenuDrawMode(nStyle))
{
}

CStyledMenuOptionSaver::~CStyledMenuOptionSaver()
{
    CStyledMenu::SetMenuDrawMode((int)m_dwSavedStyle);
    SetMenuOptions(m_dwSavedOptions);
}
