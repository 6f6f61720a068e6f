// The application object, its message loop and the Afx globals.
#pragma once

#include <windows.h>

#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/afxwnd.h"

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    // The one application object registers itself; a null name means the
    // program file's base name, which then titles message boxes.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hPrevInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;  // owned copy
    LPCSTR m_pszExeName = nullptr;  // owned copy: base name without extension
    LPCSTR m_pszHelpFilePath = nullptr;
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

    virtual BOOL InitApplication() { return TRUE; }
    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
    // Shows a message box through the seams, titled with the application name.
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEA(nIDResource)); }
    HICON LoadStandardIcon(LPCSTR lpszIconName) const { return ::LoadIconA(nullptr, lpszIconName); }
    HICON LoadOEMIcon(UINT nIDIcon) const { return ::LoadIconA(nullptr, MAKEINTRESOURCEA(nIDIcon)); }
    HCURSOR LoadCursor(LPCSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEA(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const { return ::LoadCursorA(nullptr, lpszCursorName); }

    afx_msg void OnHelp();

    // Nesting of the message loop; the loop frees temporaries and deferred
    // deletions only at depth 0 of the window procedures.
    static LONG GetIdleCount();

    DECLARE_MESSAGE_MAP()

private:
    void SetNames(LPCSTR lpszAppName);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// The module that holds the named resource: the resource module, else the program.
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
// Registers (once) and returns a window class name for the given attributes.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                           HICON hIcon = nullptr);
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Program entry: InitInstance, Run (or ExitInstance after a failed start).
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Calls PreTranslateMessage from the message's window up its parents, then the app's.
BOOL AfxPreTranslateMessage(MSG* pMsg);
BOOL AfxInitRichEdit();
void AfxEnableControlContainer();
void AfxPostQuitMessage(int nExitCode);

// One module, one state: the switch that library entry points write is a no-op here.
struct AFX_MODULE_STATE;
inline AFX_MODULE_STATE* AfxGetStaticModuleState() { return nullptr; }
#define AFX_MANAGE_STATE(pModuleState) ((void)(pModuleState))
