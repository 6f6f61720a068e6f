// A small program on the framework's own WinMain, started by test_automation.
// Everything it does to the system goes through the seams; its first word on
// the command line picks what it does:
//   init  message box, programs, sound, file dialog, help; InitInstance fails
//   loop  a main window whose handler asks and quits through the message loop
//   stay  as init, then keeps running until killed
//   box   one message box, then InitInstance fails
//   lines N  N sounds (each a log line "PlaySound \"line <pid> <i>\" ..."), then InitInstance fails
// The exit code carries the last message box answer (loop: answer + 100).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "afx/afxwin.h"

namespace {

const UINT UM_GO = WM_APP + 1;

class CProbeWnd : public CWnd {
protected:
    afx_msg LRESULT OnGo(WPARAM, LPARAM) {
        int nAnswer = MessageBox("Stop the alarm?", nullptr, MB_OKCANCEL | MB_DEFBUTTON2);
        AfxGetSeams()->PlaySound("veltran-no-such-chime.wav", nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
        AfxPostQuitMessage(nAnswer + 100);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_MESSAGE(UM_GO, OnGo)
END_MESSAGE_MAP()

class CProbeApp : public CWinApp {
public:
    CProbeApp() : CWinApp("Veltran Probe") {}

    BOOL InitInstance() override {
        const char* pszMode = m_lpCmdLine != nullptr ? m_lpCmdLine : "";
        if (std::strncmp(pszMode, "loop", 4) == 0) {
            if (!m_wnd.CreateEx(0, nullptr, "probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr))
                return FALSE;
            m_pMainWnd = &m_wnd;
            m_wnd.PostMessage(UM_GO);
            return TRUE;
        }
        m_bFailedStart = TRUE;
        if (std::strncmp(pszMode, "lines ", 6) == 0) {
            const int nLines = std::atoi(pszMode + 6);
            for (int i = 0; i < nLines; i++) {
                char szName[64];
                std::snprintf(szName, sizeof(szName), "line %lu %d", ::GetCurrentProcessId(), i);
                AfxGetSeams()->PlaySound(szName, nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
            }
            return FALSE;
        }
        m_nAnswer = AfxMessageBox("Open the help page?", MB_YESNO | MB_DEFBUTTON2);
        if (std::strncmp(pszMode, "box", 3) == 0)
            return FALSE;
        // The names lead nowhere, so that a broken automation mode does no harm.
        CSystemSeams* pSeams = AfxGetSeams();
        pSeams->ShellExecute(nullptr, "open", m_nAnswer == IDYES ? "veltran-yes.htm" : "veltran-no.htm", nullptr,
                             nullptr, SW_SHOWNORMAL);
        pSeams->WinExec("veltran-no-such-program.exe /quiet", SW_HIDE);
        pSeams->MciSendString("status cdaudio mode", nullptr, 0, nullptr);
        CFileDialog dlg(TRUE, "wav", "alarm.wav");
        if (dlg.DoModal() == IDOK)
            pSeams->PlaySound(dlg.GetPathName(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
        m_pszHelpFilePath = "veltran.chm";
        OnHelp();
        m_pszHelpFilePath = nullptr;
        if (std::strncmp(pszMode, "stay", 4) == 0) {
            m_bFailedStart = FALSE;
            return m_wnd.CreateEx(0, nullptr, "probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr);
        }
        return FALSE;
    }

    int ExitInstance() override {
        int nCode = CWinApp::ExitInstance();
        return m_bFailedStart ? m_nAnswer : nCode;
    }

private:
    CProbeWnd m_wnd;
    int m_nAnswer = 0;
    BOOL m_bFailedStart = FALSE;
};

CProbeApp theApp;

}  // namespace
