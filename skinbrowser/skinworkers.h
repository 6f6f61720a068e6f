// The Skin Browser's worker threads: one per network action (the list, a
// preview, a download). A worker never touches the dialog: it hands each
// step to the dialog's thread with SendMessage (UM_SKINJOB, the step, the
// job) and waits there while the dialog applies it, so what it reports and
// the dialog's state change in one order. The list worker also sends the
// dialog message 100, which builds the group list.
//
// Every wait of a worker is bounded (skinlimits.h): requests time out,
// slow answers end, redirections are counted, and Cancel is looked at
// between any two of them. Sending a request, which waits for all of its
// answer headers, runs on a thread of its own (boundedcall.h): the worker
// gives it up after SKIN_HEADERS_TIMEOUT_MS or at Cancel and goes on, and
// that thread ends alone when its call returns, holding its own session,
// connection or client. Closing a blocked WinINet handle from another thread
// does not end the call under Wine, so a worker is never waited for longer
// than SKIN_WORKER_WAIT_MS either: it holds its job itself and ends on its
// own.
#pragma once

#include "afx/afxexcept.h"
#include "afx/afxstr.h"
#include "skinbrowser/boundedcall.h"
#include "skinbrowser/skinlimits.h"
#include "skinbrowser/skintransfer.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

class CHttpFile;

// The steps a worker reports (wParam of UM_SKINJOB).
enum SKINJOBSTEP {
    SJ_BEGIN,       // Install reads "Cancel", status "Connecting..."
    SJ_LINES,       // list: m_newLines arrived
    SJ_LISTFAILED,  // list: the request failed; the box comes next
    SJ_LISTEND,     // list: done (m_bFailed, m_strStop)
    SJ_PROBED,      // preview, download: size probed, the transfer starts
    SJ_PROGRESS,    // m_nPercent changed
    SJ_PREVIEW,     // preview: m_transfer holds the picture (or m_strFault why not)
    SJ_DOWNLOADED,  // download: installed, or m_strFault why not
    SJ_SHOWSKIN,    // download: "Show now?" answered Yes
};

const UINT UM_SKINJOB = WM_APP + 0x2E0;
// Sent by the list worker once the list is read: build the group list.
const UINT UM_SKINLISTREAD = 100;

struct CSkinRequest;

class CSkinJob {
public:
    enum TYPE { LIST, PREVIEW, DOWNLOAD };
    CSkinJob(TYPE nType, HWND hWnd, int nKind);
    ~CSkinJob();
    CSkinJob(const CSkinJob&) = delete;
    CSkinJob& operator=(const CSkinJob&) = delete;

    // The dialog's side: starts the worker (false when no thread could be
    // made), asks it to stop, and sees it end.
    bool Start(const std::shared_ptr<CSkinJob>& self, uintptr_t& hThread);
    void Cancel() { m_bCancel = true; }
    bool IsCancelled() const { return m_bCancel; }
    bool IsDone() const { return ::WaitForSingleObject(m_hDone, 0) == WAIT_OBJECT_0; }
    HANDLE GetDoneEvent() const { return m_hDone; }

    const TYPE m_nType;
    const HWND m_hWnd;
    const int m_nKind;
    // Set by the dialog before the start.
    CString m_strName;         // preview, download: the skin
    CString m_strGroup;
    CString m_strProbeUrl;     // the size probe's address
    CString m_strUrl;          // the body's address (the list's for the list)
    CString m_strFolder;       // preview: the temporary folder; download: the skins folder
    CString m_strTempFolder;   // download: where the clocks will unpack the skin

    // Written by the worker before it sends a step, read by the dialog in it.
    CStringArray m_newLines;
    bool m_bFailed = false;
    CString m_strStop; // list: why it stopped early, "" when it did not
    int m_nPercent = 0;
    CSkinTransfer m_transfer;
    CString m_strFault;

    // The worker's side: hands a step to the dialog; nothing once cancelled.
    void Send(SKINJOBSTEP nStep);

private:
    friend void __cdecl SkinListThread(void* pArg);
    friend void __cdecl SkinPreviewThread(void* pArg);
    friend void __cdecl SkinDownloadThread(void* pArg);
    void RunList();
    void RunPreview();
    void RunDownload();
    ULONGLONG ProbeSize(bool& bKnown);
    BOUNDEDCALLEND SendBounded(std::function<void()> fnSend);
    std::shared_ptr<CSkinRequest> Get(DWORD dwFlags, CString& strError);
    UINT ReadSome(CHttpFile& file, void* pBuffer, UINT nSize);
    bool TimedOut();
    CString FailureText(CException* e);
    void Receive(ULONGLONG nExpected, bool bExpectedKnown);
    void Fetch();
    bool Install();

    std::atomic<bool> m_bCancel{false};
    HANDLE m_hDone;
    // The bound that ended the list or the transfer; the dialog reads its
    // text (m_strStop, m_transfer.m_strError).
    SKINBOUND m_nBound = SKB_NONE;
    // When the blocking call under way began: one that fails after the
    // timeout has passed timed out.
    DWORD m_dwCallStart = 0;
};

// The worker entry points, as _beginthread takes them; the argument is a
// heap-held std::shared_ptr<CSkinJob> that the worker releases.
void __cdecl SkinListThread(void* pArg);
void __cdecl SkinPreviewThread(void* pArg);
void __cdecl SkinDownloadThread(void* pArg);
