#include "afx/afxwin.h"
#include "afx/afxsharedlog.h"
#include "afx/afxtime.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {
CSystemSeams* g_pSeams = nullptr;

std::string Quote(LPCSTR psz) {
    if (psz == nullptr)
        return "(null)";
    std::string s = "\"";
    for (; *psz; ++psz) {
        if (*psz == '"' || *psz == '\\')
            s += '\\';
        if (*psz == '\n') {
            s += "\\n";
            continue;
        }
        s += *psz;
    }
    return s + "\"";
}

std::string Num(unsigned long long n) {
    char sz[32];
    std::snprintf(sz, sizeof(sz), "0x%llX", n);
    return sz;
}
}  // namespace

CSystemSeams* AfxGetSeams() {
    if (g_pSeams != nullptr)
        return g_pSeams;
    // Chosen once per process, before the first side effect.
    static CSystemSeams* s_pDefault = []() -> CSystemSeams* {
        const char* pszLog = std::getenv("VELTRAN_AUTOMATION");
        if (pszLog != nullptr && *pszLog != '\0') {
            CRecordingSeams* pSeams = new CRecordingSeams(pszLog);
            AfxParseAutomationAnswers(std::getenv("VELTRAN_AUTOMATION_ANSWERS"), pSeams->m_messageBoxAnswers);
            const char* pszTray = std::getenv("VELTRAN_AUTOMATION_TRAY");
            pSeams->m_bRealTrayIcon = pszTray != nullptr && std::strcmp(pszTray, "real") == 0;
            if (const char* pszFile = std::getenv("VELTRAN_AUTOMATION_FILE"))
                pSeams->m_strOpenFileAnswer = pszFile;
            return pSeams;
        }
        return new CWin32Seams;
    }();
    return s_pDefault;
}

CSystemSeams* AfxSetSeams(CSystemSeams* pSeams) {
    CSystemSeams* pOld = g_pSeams;
    g_pSeams = pSeams;
    // CTime reads the current time through the installed seams while there are any.
    if (pSeams != nullptr)
        AfxSetClockForTesting([]() -> LONGLONG { return AfxGetSeams()->CurrentTime(); });
    else
        AfxSetClockForTesting(nullptr);
    return pOld;
}

int AfxSeamMessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    return AfxGetSeams()->MessageBox(hWnd, lpText, lpCaption, uType);
}

// --- the real calls ------------------------------------------------------

int CWin32Seams::MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    return ::MessageBoxA(hWnd, lpText, lpCaption, uType);
}
HINSTANCE CWin32Seams::ShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                                    LPCSTR lpDirectory, INT nShowCmd) {
    return ::ShellExecuteA(hWnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
}
UINT CWin32Seams::WinExec(LPCSTR lpCmdLine, UINT uCmdShow) { return ::WinExec(lpCmdLine, uCmdShow); }
HWND CWin32Seams::HtmlHelp(HWND hWndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData) {
    // HtmlHelpA is ordinal 14 of the HTML Help control, loaded when first needed.
    typedef HWND(WINAPI * PFNHTMLHELP)(HWND, LPCSTR, UINT, DWORD_PTR);
    static HMODULE s_hHelp = ::LoadLibraryA("hhctrl.ocx");
    if (s_hHelp == nullptr)
        return nullptr;
    PFNHTMLHELP pfn = (PFNHTMLHELP)(void*)::GetProcAddress(s_hHelp, MAKEINTRESOURCEA(14));
    return pfn != nullptr ? pfn(hWndCaller, pszFile, uCommand, dwData) : nullptr;
}
BOOL CWin32Seams::ChooseColor(CHOOSECOLORA* pcc) { return ::ChooseColorA(pcc); }
BOOL CWin32Seams::ChooseFont(CHOOSEFONTA* pcf) { return ::ChooseFontA(pcf); }
BOOL CWin32Seams::GetOpenFileName(OPENFILENAMEA* pofn) { return ::GetOpenFileNameA(pofn); }
BOOL CWin32Seams::GetSaveFileName(OPENFILENAMEA* pofn) { return ::GetSaveFileNameA(pofn); }
BOOL CWin32Seams::PlaySound(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound) {
    return ::PlaySoundA(pszSound, hmod, fdwSound);
}
BOOL CWin32Seams::ExitWindowsEx(UINT uFlags, DWORD dwReason) {
    HANDLE hToken = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken)) {
        TOKEN_PRIVILEGES tp{};
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid))
            ::AdjustTokenPrivileges(hToken, FALSE, &tp, 0, nullptr, nullptr);
        ::CloseHandle(hToken);
    }
    return ::ExitWindowsEx(uFlags, dwReason);
}
BOOL CWin32Seams::BlockInput(BOOL fBlockIt) { return ::BlockInput(fBlockIt); }
LRESULT CWin32Seams::SystemCommand(HWND hWnd, WPARAM nCommand, LPARAM lParam) {
    return ::SendMessageA(hWnd, WM_SYSCOMMAND, nCommand, lParam);
}
DWORD CWin32Seams::MciSendString(LPCSTR lpszCommand, LPSTR lpszReturn, UINT cchReturn, HWND hwndCallback) {
    return ::mciSendStringA(lpszCommand, lpszReturn, cchReturn, hwndCallback);
}
long long CWin32Seams::CurrentTime() { return (long long)std::time(nullptr); }

// --- recording -----------------------------------------------------------

int CRecordingSeams::DefaultButton(UINT uType) {
    static const int s_buttons[][3] = {
        {IDOK, IDOK, IDOK},             // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},     // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},   // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},        // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},            // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL},  // MB_RETRYCANCEL
    };
    UINT nKind = uType & MB_TYPEMASK;
    if (nKind >= sizeof(s_buttons) / sizeof(s_buttons[0]))
        return IDOK;
    UINT nDefault = (uType & MB_DEFMASK) >> 8;  // 0, 1, 2 for the first, second, third button
    return s_buttons[nKind][nDefault > 2 ? 0 : nDefault];
}

int CRecordingSeams::CountCalls(const char* pszPrefix) const {
    CCriticalSectionLock lock(m_lock);
    size_t nLen = std::strlen(pszPrefix);
    int n = 0;
    for (const std::string& s : m_calls)
        if (s.compare(0, nLen, pszPrefix) == 0)
            ++n;
    return n;
}

std::vector<std::string> CRecordingSeams::GetCalls() const {
    CCriticalSectionLock lock(m_lock);
    return m_calls;
}

void CRecordingSeams::Record(const std::string& line) {
    CCriticalSectionLock lock(m_lock);
    m_calls.push_back(line);
    if (!m_strLogFile.empty()) {
        const std::string text = line + "\n";
        AfxAppendSharedLog(m_strLogFile.c_str(), text.data(), (DWORD)text.size());
    }
}

int CRecordingSeams::MessageBox(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    if (m_fnMessageBoxOpenUntil) {
        // Copied: a box opened inside may change the member.
        std::function<bool()> fnUntil = m_fnMessageBoxOpenUntil;
        const DWORD nStart = ::GetTickCount();
        while (!fnUntil() && ::GetTickCount() - nStart < m_nMessageBoxPumpMs) {
            MSG msg;
            BOOL bQuit = FALSE;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // A modal loop hands the quit on to the loop outside it.
                    ::PostQuitMessage((int)msg.wParam);
                    bQuit = TRUE;
                    break;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (bQuit)
                break;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    // Not held while the box pumps: a worker may be recording meanwhile.
    CCriticalSectionLock lock(m_lock);  // the answer taken and the line recorded stay in order
    int nAnswer = DefaultButton(uType);
    if (!m_messageBoxAnswers.empty()) {
        nAnswer = m_messageBoxAnswers.front();
        m_messageBoxAnswers.pop_front();
    }
    Record("MessageBox " + Quote(lpText) + " " + Quote(lpCaption) + " " + Num(uType) + " -> " +
           std::to_string(nAnswer));
    return nAnswer;
}
HINSTANCE CRecordingSeams::ShellExecute(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                                        LPCSTR lpDirectory, INT nShowCmd) {
    Record("ShellExecute " + Quote(lpOperation) + " " + Quote(lpFile) + " " + Quote(lpParameters) + " " +
           Quote(lpDirectory) + " " + std::to_string(nShowCmd));
    return (HINSTANCE)(INT_PTR)33;  // above 32: success
}
UINT CRecordingSeams::WinExec(LPCSTR lpCmdLine, UINT uCmdShow) {
    Record("WinExec " + Quote(lpCmdLine) + " " + std::to_string(uCmdShow));
    return 33;
}
HWND CRecordingSeams::HtmlHelp(HWND, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData) {
    Record("HtmlHelp " + Quote(pszFile) + " " + std::to_string(uCommand) + " " + Num(dwData));
    return nullptr;
}
BOOL CRecordingSeams::ChooseColor(CHOOSECOLORA* pcc) {
    Record("ChooseColor " + Num(pcc->rgbResult));
    return m_bCommonDialogsAccept;
}
BOOL CRecordingSeams::ChooseFont(CHOOSEFONTA* pcf) {
    Record("ChooseFont " + Quote(pcf->lpLogFont != nullptr ? pcf->lpLogFont->lfFaceName : nullptr));
    return m_bCommonDialogsAccept;
}
BOOL CRecordingSeams::GetOpenFileName(OPENFILENAMEA* pofn) {
    Record("GetOpenFileName " + Quote(pofn->lpstrFile));
    if (!m_strOpenFileAnswer.empty() && pofn->lpstrFile != nullptr && pofn->nMaxFile > m_strOpenFileAnswer.size()) {
        std::memcpy(pofn->lpstrFile, m_strOpenFileAnswer.c_str(), m_strOpenFileAnswer.size() + 1);
        return TRUE;
    }
    return m_bCommonDialogsAccept;
}
BOOL CRecordingSeams::GetSaveFileName(OPENFILENAMEA* pofn) {
    Record("GetSaveFileName " + Quote(pofn->lpstrFile));
    return m_bCommonDialogsAccept;
}
BOOL CRecordingSeams::PlaySound(LPCSTR pszSound, HMODULE, DWORD fdwSound) {
    Record("PlaySound " + Quote(pszSound) + " " + Num(fdwSound));
    return TRUE;
}
BOOL CRecordingSeams::ExitWindowsEx(UINT uFlags, DWORD dwReason) {
    Record("ExitWindowsEx " + Num(uFlags) + " " + Num(dwReason));
    return TRUE;
}
BOOL CRecordingSeams::BlockInput(BOOL fBlockIt) {
    Record("BlockInput " + std::to_string(fBlockIt));
    return TRUE;
}
LRESULT CRecordingSeams::SystemCommand(HWND, WPARAM nCommand, LPARAM lParam) {
    Record("SystemCommand " + Num(nCommand) + " " + std::to_string((long)lParam));
    return 0;
}
DWORD CRecordingSeams::MciSendString(LPCSTR lpszCommand, LPSTR lpszReturn, UINT cchReturn, HWND) {
    Record("MciSendString " + Quote(lpszCommand));
    if (lpszReturn != nullptr && cchReturn > 0)
        lpszReturn[0] = '\0';
    return 0;
}
long long CRecordingSeams::CurrentTime() { return m_nNow != 0 ? m_nNow : (long long)std::time(nullptr); }

void AfxParseAutomationAnswers(LPCSTR pszList, std::deque<int>& answers) {
    if (pszList == nullptr)
        return;
    const char* p = pszList;
    while (*p != '\0') {
        char* pEnd = nullptr;
        long n = std::strtol(p, &pEnd, 10);
        if (pEnd == p)
            break;  // not a number: the rest is ignored
        answers.push_back((int)n);
        p = pEnd;
        while (*p == ',' || *p == ' ')
            ++p;
    }
}

// --- the shell's seams ---------------------------------------------------

BOOL CWin32Seams::NotifyIcon(DWORD dwMessage, const NOTIFYICONDATAA* pnid) {
    return ::Shell_NotifyIconA(dwMessage, const_cast<NOTIFYICONDATAA*>(pnid));
}
BOOL CWin32Seams::RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) {
    return ::RegisterHotKey(hWnd, id, fsModifiers, vk);
}
BOOL CWin32Seams::UnregisterHotKey(HWND hWnd, int id) { return ::UnregisterHotKey(hWnd, id); }
BOOL CWin32Seams::CreateInstanceMutex(LPCSTR pszName) {
    // The handle is never closed: the name lives exactly as long as this copy.
    HANDLE hMutex = ::CreateMutexA(nullptr, FALSE, pszName);
    return !(hMutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS);
}
HWND CWin32Seams::FindTopWindow(LPCSTR pszClass, LPCSTR pszTitle) { return ::FindWindowA(pszClass, pszTitle); }
BOOL CWin32Seams::PostToWindow(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(hWnd, nMsg, wParam, lParam);
}

namespace {
const char* NotifyName(DWORD dwMessage) {
    switch (dwMessage) {
    case NIM_ADD:
        return "ADD";
    case NIM_MODIFY:
        return "MODIFY";
    case NIM_DELETE:
        return "DELETE";
    default:
        return "?";
    }
}
}  // namespace

BOOL CRecordingSeams::NotifyIcon(DWORD dwMessage, const NOTIFYICONDATAA* pnid) {
    std::string line = std::string("Shell_NotifyIcon ") + NotifyName(dwMessage) + " " + Num(pnid->uID) + " " +
                       Num(pnid->uFlags);
    if (pnid->uFlags & NIF_MESSAGE)
        line += " message " + Num(pnid->uCallbackMessage);
    if (pnid->uFlags & NIF_ICON)
        line += pnid->hIcon != nullptr ? " icon" : " no-icon";
    if (pnid->uFlags & NIF_TIP)
        line += " tip " + Quote(pnid->szTip);
    Record(line);
    return m_bRealTrayIcon ? ::Shell_NotifyIconA(dwMessage, const_cast<NOTIFYICONDATAA*>(pnid)) : TRUE;
}
BOOL CRecordingSeams::RegisterHotKey(HWND, int id, UINT fsModifiers, UINT vk) {
    Record("RegisterHotKey " + std::to_string(id) + " " + Num(fsModifiers) + " " + Num(vk));
    return TRUE;
}
BOOL CRecordingSeams::UnregisterHotKey(HWND, int id) {
    Record("UnregisterHotKey " + std::to_string(id));
    return TRUE;
}
BOOL CRecordingSeams::CreateInstanceMutex(LPCSTR pszName) {
    CCriticalSectionLock lock(m_lock);  // the remembered names
    BOOL bFirst = TRUE;
    if (!m_strLogFile.empty()) {
        // A name of the log's own: FNV-1a of its path.
        unsigned long nHash = 2166136261u;
        for (char ch : m_strLogFile)
            nHash = (nHash ^ (unsigned char)ch) * 16777619u;
        char szSuffix[16];
        std::snprintf(szSuffix, sizeof(szSuffix), " %08lX", nHash & 0xFFFFFFFFul);
        HANDLE hMutex = ::CreateMutexA(nullptr, FALSE, (std::string(pszName) + szSuffix).c_str());
        bFirst = !(hMutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS);
    } else {
        bFirst = m_mutexNames.insert(pszName).second ? TRUE : FALSE;
    }
    Record("CreateMutex " + Quote(pszName) + (bFirst ? " -> new" : " -> exists"));
    return bFirst;
}
HWND CRecordingSeams::FindTopWindow(LPCSTR pszClass, LPCSTR pszTitle) {
    HWND hWnd = !m_strLogFile.empty() ? ::FindWindowA(pszClass, pszTitle) : m_hFoundWindow;
    Record("FindWindow " + Quote(pszClass) + " " + Quote(pszTitle) + (hWnd != nullptr ? " -> found" : " -> none"));
    return hWnd;
}
BOOL CRecordingSeams::PostToWindow(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    Record("PostMessage " + Num(nMsg) + " " + std::to_string((unsigned long)wParam) + " " +
           std::to_string((long)lParam));
    if (!m_strLogFile.empty())
        return ::PostMessageA(hWnd, nMsg, wParam, lParam);
    return TRUE;
}

// --- the icon picker -----------------------------------------------------

int CWin32Seams::PickIconDlg(HWND hWnd, LPWSTR pszIconPath, UINT cchIconPath, int* piIconIndex) {
    // Windows versions with the high bit of GetVersion set take an ANSI path.
    typedef int(WINAPI * PFNPICKICONDLG)(HWND, void*, UINT, int*);
    HMODULE hShell = ::LoadLibraryA("Shell32.dll");
    if (hShell == nullptr)
        return 0;
    int nResult = 0;
    PFNPICKICONDLG pfn = (PFNPICKICONDLG)(void*)::GetProcAddress(hShell, MAKEINTRESOURCEA(62));
    if (pfn != nullptr && cchIconPath > 0) {
        if (::GetVersion() & 0x80000000) {
            std::vector<char> ansi(cchIconPath, '\0');
            ::WideCharToMultiByte(CP_ACP, 0, pszIconPath, -1, ansi.data(), (int)cchIconPath, nullptr, nullptr);
            ansi[cchIconPath - 1] = '\0';
            nResult = pfn(hWnd, ansi.data(), cchIconPath, piIconIndex);
            ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), -1, pszIconPath, (int)cchIconPath);
            pszIconPath[cchIconPath - 1] = L'\0';
        } else {
            nResult = pfn(hWnd, pszIconPath, cchIconPath, piIconIndex);
        }
    }
    ::FreeLibrary(hShell);
    return nResult;
}

int CRecordingSeams::PickIconDlg(HWND, LPWSTR pszIconPath, UINT cchIconPath, int* piIconIndex) {
    std::string path;
    if (pszIconPath != nullptr && cchIconPath > 0) {
        char sz[MAX_PATH * 2] = "";
        ::WideCharToMultiByte(CP_ACP, 0, pszIconPath, -1, sz, (int)sizeof(sz), nullptr, nullptr);
        sz[sizeof(sz) - 1] = '\0';
        path = sz;
    }
    Record("PickIconDlg " + Quote(path.c_str()) + " " + std::to_string(piIconIndex != nullptr ? *piIconIndex : 0));
    return m_bCommonDialogsAccept ? 1 : 0;
}
