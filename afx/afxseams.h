// Every side effect that leaves the process goes through CSystemSeams, so a
// test can install a recording fake and nothing blocks or touches the host.
// With VELTRAN_AUTOMATION naming a file, the program records every call to
// that file and answers message boxes with their default button instead.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/afxworker.h"

class CSystemSeams {
public:
    virtual ~CSystemSeams() = default;

    virtual int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) = 0;
    virtual HINSTANCE ShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                                   LPCSTR lpDirectory, INT nShowCmd) = 0;
    virtual UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow) = 0;
    virtual HWND HtmlHelp(HWND hWndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData) = 0;
    virtual BOOL ChooseColor(CHOOSECOLORA* pcc) = 0;
    virtual BOOL ChooseFont(CHOOSEFONTA* pcf) = 0;
    virtual BOOL GetOpenFileName(OPENFILENAMEA* pofn) = 0;
    virtual BOOL GetSaveFileName(OPENFILENAMEA* pofn) = 0;
    virtual BOOL PlaySound(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound) = 0;
    // Enables the shutdown privilege of the process first, as the call needs it.
    virtual BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) = 0;
    virtual BOOL BlockInput(BOOL fBlockIt) = 0;
    // WM_SYSCOMMAND with SC_MONITORPOWER or SC_SCREENSAVE, sent to hWnd.
    virtual LRESULT SystemCommand(HWND hWnd, WPARAM nCommand, LPARAM lParam) = 0;
    // MCI command strings such as "set cdaudio door open".
    virtual DWORD MciSendString(LPCSTR lpszCommand, LPSTR lpszReturn, UINT cchReturn, HWND hwndCallback) = 0;
    // The current time (seconds since 1970, UTC), read by CTime::GetCurrentTime.
    virtual long long CurrentTime() = 0;

    // The tray icon: Shell_NotifyIcon with NIM_ADD, NIM_MODIFY or NIM_DELETE.
    virtual BOOL NotifyIcon(DWORD dwMessage, const NOTIFYICONDATAA* pnid) = 0;
    virtual BOOL RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) = 0;
    virtual BOOL UnregisterHotKey(HWND hWnd, int id) = 0;
    // Creates the named mutex, not owned, open until the process ends; FALSE
    // when the name already existed, that is another copy is running.
    virtual BOOL CreateInstanceMutex(LPCSTR pszName) = 0;
    // An outside program's top-level window by class and title, and a message
    // posted to it.
    virtual HWND FindTopWindow(LPCSTR pszClass, LPCSTR pszTitle) = 0;
    virtual BOOL PostToWindow(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) = 0;

    // The shell's icon picker (Shell32 ordinal 62, loaded for the call): shows
    // the file's icons with *piIconIndex selected and writes back the chosen
    // path (cchIconPath characters) and index; nonzero when confirmed, 0 when
    // cancelled or when the shell has no picker.
    virtual int PickIconDlg(HWND hWnd, LPWSTR pszIconPath, UINT cchIconPath, int* piIconIndex) = 0;
};

// The real platform calls.
class CWin32Seams : public CSystemSeams {
public:
    int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override;
    HINSTANCE ShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                           INT nShowCmd) override;
    UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow) override;
    HWND HtmlHelp(HWND hWndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData) override;
    BOOL ChooseColor(CHOOSECOLORA* pcc) override;
    BOOL ChooseFont(CHOOSEFONTA* pcf) override;
    BOOL GetOpenFileName(OPENFILENAMEA* pofn) override;
    BOOL GetSaveFileName(OPENFILENAMEA* pofn) override;
    BOOL PlaySound(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound) override;
    BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) override;
    BOOL BlockInput(BOOL fBlockIt) override;
    LRESULT SystemCommand(HWND hWnd, WPARAM nCommand, LPARAM lParam) override;
    DWORD MciSendString(LPCSTR lpszCommand, LPSTR lpszReturn, UINT cchReturn, HWND hwndCallback) override;
    long long CurrentTime() override;
    BOOL NotifyIcon(DWORD dwMessage, const NOTIFYICONDATAA* pnid) override;
    BOOL RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) override;
    BOOL UnregisterHotKey(HWND hWnd, int id) override;
    BOOL CreateInstanceMutex(LPCSTR pszName) override;
    HWND FindTopWindow(LPCSTR pszClass, LPCSTR pszTitle) override;
    BOOL PostToWindow(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    int PickIconDlg(HWND hWnd, LPWSTR pszIconPath, UINT cchIconPath, int* piIconIndex) override;
};

// Records every call as one line of text and performs nothing. Message boxes
// answer from a queue of scripted answers, else with their default button;
// common dialogs answer "cancelled" unless told otherwise. With a log file,
// each line is also appended to it at once (the automation mode).
class CRecordingSeams : public CSystemSeams {
public:
    CRecordingSeams() = default;
    explicit CRecordingSeams(const char* pszLogFile) : m_strLogFile(pszLogFile ? pszLogFile : "") {}

    std::vector<std::string> m_calls;
    std::deque<int> m_messageBoxAnswers;  // consumed front first
    BOOL m_bCommonDialogsAccept = FALSE;  // TRUE: the dialogs return TRUE unchanged
    // Not empty: the open-file dialog picks this file and returns TRUE
    // (VELTRAN_AUTOMATION_FILE), so a script can add a file as a user would.
    std::string m_strOpenFileAnswer;
    long long m_nNow = 0;                 // CurrentTime; 0 means the real clock

    // The button a user pressing Enter would choose for this message box type.
    static int DefaultButton(UINT uType);
    int CountCalls(const char* pszPrefix) const;
    // A copy of m_calls, for reading while workers may still record.
    std::vector<std::string> GetCalls() const;

    int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override;
    HINSTANCE ShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                           INT nShowCmd) override;
    UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow) override;
    HWND HtmlHelp(HWND hWndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData) override;
    BOOL ChooseColor(CHOOSECOLORA* pcc) override;
    BOOL ChooseFont(CHOOSEFONTA* pcf) override;
    BOOL GetOpenFileName(OPENFILENAMEA* pofn) override;
    BOOL GetSaveFileName(OPENFILENAMEA* pofn) override;
    BOOL PlaySound(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound) override;
    BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) override;
    BOOL BlockInput(BOOL fBlockIt) override;
    LRESULT SystemCommand(HWND hWnd, WPARAM nCommand, LPARAM lParam) override;
    DWORD MciSendString(LPCSTR lpszCommand, LPSTR lpszReturn, UINT cchReturn, HWND hwndCallback) override;
    long long CurrentTime() override;

    // While set, a message box stays "open" and pumps messages as a modal box
    // does (timers fire, other boxes may open inside) until this returns true
    // or m_nMessageBoxPumpMs pass; then it answers as any other.
    std::function<bool()> m_fnMessageBoxOpenUntil;
    DWORD m_nMessageBoxPumpMs = 10000;
    // What FindTopWindow answers when there is no log file.
    HWND m_hFoundWindow = nullptr;
    // TRUE: the tray icon is also really added (VELTRAN_AUTOMATION_TRAY=real),
    // so an end-to-end test can click it through the display.
    BOOL m_bRealTrayIcon = FALSE;

    // The tray icon, hot keys and the instance mutex are only recorded; the
    // mutex names of one process are remembered, so a second creation of a
    // name reports another copy. With a log file (the automation mode) the
    // mutex is real under a name made from the log file's, so a second
    // program started with the same log sees the first and no other run
    // does; the tray-clock window is then really found and posted to, as it
    // is the suite's own stand-in.
    BOOL NotifyIcon(DWORD dwMessage, const NOTIFYICONDATAA* pnid) override;
    BOOL RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) override;
    BOOL UnregisterHotKey(HWND hWnd, int id) override;
    BOOL CreateInstanceMutex(LPCSTR pszName) override;
    HWND FindTopWindow(LPCSTR pszClass, LPCSTR pszTitle) override;
    BOOL PostToWindow(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    // The icon picker is recorded with its path and index and answers like
    // the common dialogs, leaving both unchanged.
    int PickIconDlg(HWND hWnd, LPWSTR pszIconPath, UINT cchIconPath, int* piIconIndex) override;

protected:
    void Record(const std::string& line);
    // Workers call the seams too: Record and the answer queues take this lock.
    mutable CCriticalSection m_lock;

private:
    std::string m_strLogFile;
    std::set<std::string> m_mutexNames;
};

// The seams in force: a test's fake, else the automation recorder when
// VELTRAN_AUTOMATION is set, else the real calls.
CSystemSeams* AfxGetSeams();
// Installs pSeams (null: back to the default) and returns the previous one.
CSystemSeams* AfxSetSeams(CSystemSeams* pSeams);

// Installs seams for one scope.
class CSeamsScope {
public:
    explicit CSeamsScope(CSystemSeams* pSeams) : m_pOld(AfxSetSeams(pSeams)) {}
    ~CSeamsScope() { AfxSetSeams(m_pOld); }
    CSeamsScope(const CSeamsScope&) = delete;
    CSeamsScope& operator=(const CSeamsScope&) = delete;

private:
    CSystemSeams* m_pOld;
};

// The answers the automation mode gives its message boxes, front first, from
// VELTRAN_AUTOMATION_ANSWERS ("7,6": No, then Yes); after them the default button.
void AfxParseAutomationAnswers(LPCSTR pszList, std::deque<int>& answers);

// For code that would call MessageBoxA directly.
int AfxSeamMessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
