#include "afx/afxwin.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstResource = nullptr;
LONG g_nIdleCount = 0;

char* AfxStrDup(const char* psz) {
    size_t n = std::strlen(psz) + 1;
    char* p = new char[n];
    std::memcpy(p, psz, n);
    return p;
}
}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) {
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
    SetNames(lpszAppName);
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
    delete[] m_pszAppName;
    delete[] m_pszExeName;
}

void CWinApp::SetNames(LPCSTR lpszAppName) {
    char szPath[MAX_PATH] = "";
    ::GetModuleFileNameA(m_hInstance, szPath, MAX_PATH);
    const char* pszBase = std::strrchr(szPath, '\\');
    pszBase = pszBase != nullptr ? pszBase + 1 : szPath;
    std::string strExe(pszBase);
    size_t nDot = strExe.rfind('.');
    if (nDot != std::string::npos)
        strExe.resize(nDot);
    m_pszExeName = AfxStrDup(strExe.c_str());
    m_pszAppName = AfxStrDup(lpszAppName != nullptr ? lpszAppName : strExe.c_str());
}

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp != nullptr ? g_pApp->GetMainWnd() : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return g_pApp != nullptr ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr); }

HINSTANCE AfxGetResourceHandle() { return g_hInstResource != nullptr ? g_hInstResource : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_hInstResource = hInstResource; }

HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType) {
    HINSTANCE hInst = AfxGetResourceHandle();
    if (::FindResourceA(hInst, lpszName, lpszType) != nullptr)
        return hInst;
    return AfxGetInstanceHandle();
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    // The name encodes the attributes, so equal requests share one class.
    static thread_local std::vector<std::string> s_names;
    char szName[96];
    std::snprintf(szName, sizeof(szName), "Afx:%p:%x:%p:%p:%p", (void*)AfxGetInstanceHandle(), nClassStyle,
                  (void*)hCursor, (void*)hbrBackground, (void*)hIcon);
    for (const std::string& s : s_names)
        if (s == szName)
            return s.c_str();
    WNDCLASSA wc{};
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (!::GetClassInfoA(hInst, szName, &wc)) {
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = szName;
        if (!::RegisterClassA(&wc))
            return nullptr;
    }
    s_names.emplace_back(szName);
    return s_names.back().c_str();
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT) {
    HWND hWndTop = nullptr;
    HWND hOwner = AfxGetSafeOwner(nullptr, &hWndTop);
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    int nResult = AfxGetSeams()->MessageBox(hOwner, lpszPrompt, m_pszAppName, nType);
    if (hWndTop != nullptr)
        ::EnableWindow(hWndTop, TRUE);
    return nResult;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
    if (CWinApp* pApp = AfxGetApp())
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return AfxGetSeams()->MessageBox(nullptr, lpszText, "Error", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    char szText[1024] = "";
    ::LoadStringA(AfxGetResourceHandle(), nIDPrompt, szText, sizeof(szText));
    return AfxMessageBox(szText, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const {
    return ::LoadIconA(AfxFindResourceHandle(lpszResourceName, (LPCSTR)RT_GROUP_ICON), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(LPCSTR lpszResourceName) const {
    return ::LoadCursorA(AfxFindResourceHandle(lpszResourceName, (LPCSTR)RT_GROUP_CURSOR), lpszResourceName);
}

void CWinApp::OnHelp() {
    if (m_pszHelpFilePath != nullptr)
        AfxGetSeams()->HtmlHelp(m_pMainWnd->GetSafeHwnd(), m_pszHelpFilePath, 0 /* HH_DISPLAY_TOPIC */, 0);
}

LONG CWinApp::GetIdleCount() { return g_nIdleCount; }

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWndStop = pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd))
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    // The main window gets its turn for messages of windows it does not parent.
    if (hWndStop != nullptr && pMsg->hwnd != nullptr && !::IsChild(hWndStop, pMsg->hwnd) && pMsg->hwnd != hWndStop)
        if (pMainWnd->PreTranslateMessage(pMsg))
            return TRUE;
    return FALSE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) { return AfxPreTranslateMessage(pMsg); }

BOOL CWinApp::OnIdle(LONG lCount) {
    if (lCount == 0) {
        AfxFlushDeferredDeletes();
        AfxDeleteTempMaps();
    }
    return FALSE;
}

BOOL CWinApp::PumpMessage() {
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    AfxFlushDeferredDeletes();
    return TRUE;
}

int CWinApp::Run() {
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG msg;
    for (;;) {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ++g_nIdleCount;
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            // Mouse moves and the caret's blink come often; they do not restart idle work.
            if (m_msgCur.message != WM_MOUSEMOVE && m_msgCur.message != WM_NCMOUSEMOVE &&
                m_msgCur.message != 0x0118 /* WM_SYSTIMER */) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

int CWinApp::ExitInstance() { return (int)m_msgCur.wParam; }

void AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    pApp->m_hInstance = hInstance;
    pApp->m_hPrevInstance = hPrevInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow))
        return -1;
    if (!pApp->InitApplication() || !pApp->InitInstance()) {
        // A main window left by a failed start still goes through its clean-up.
        if (CWnd* pMain = pApp->m_pMainWnd)
            pMain->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}

BOOL AfxInitRichEdit() {
    static HMODULE s_hRichEdit = ::LoadLibraryA("riched32.dll");
    return s_hRichEdit != nullptr;
}

void AfxEnableControlContainer() {}
