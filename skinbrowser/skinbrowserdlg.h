// "Skin Browser": lists the skin server's skins of one kind by group,
// previews the selected one and downloads and installs it. The network work
// runs in worker threads (skinworkers.h) that report each step to this
// dialog by message; the dialog alone changes its controls and members.
// The Install button's text tells the state: "Cancel" while a worker runs.
#pragma once

#include "afx/afxdlg.h"
#include "afx/afxgdi.h"
#include "afx/afxworker.h"
#include "controls/colorlabel.h"
#include "controls/gradientprogress.h"
#include "controls/reportctrl.h"
#include "controls/skinbutton.h"
#include "image/picture.h"
#include "skinbrowser/skinlimits.h"
#include "skinbrowser/skinlist.h"
#include "skinbrowser/skinworkers.h"

#include <memory>
#include <vector>

class CSkinBrowserDlg : public CDialog {
public:
    explicit CSkinBrowserDlg(CWnd* pParent = nullptr);
    // Stops the workers; one still running keeps what it uses.
    ~CSkinBrowserDlg() override;

    // Deletes all items of both lists.
    void ClearLists();

    // The workers' side of the state, for tests and the automation seam.
    int GetRunningWorkerCount();
    // Waits, pumping messages, until every worker has ended; false at the deadline.
    bool WaitForWorkers(DWORD dwTimeoutMs);
    // Rows are still going into a list.
    bool IsFilling() const { return m_groupFill.pList != nullptr || m_skinFill.pList != nullptr; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnConnect();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnInstall();
    afx_msg void OnOptions();
    afx_msg void OnShowAnalog();
    afx_msg void OnShowDigital();
    afx_msg void OnHelp();
    afx_msg void OnGroupSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSkinSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnSkinJob(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnListItemDeleted(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    void SetupButtons();
    void ComposePreview();
    void FillGroupList();
    void SkinSelected(DWORD hItem);
    void CancelAction(LPCSTR pszText);
    void StartWorker(CSkinJob::TYPE nType);
    void ShowPreview(CSkinJob& job);
    void SetStatus(LPCSTR pszText, DWORD dwMode);
    void SetInstall(LPCSTR pszText, int nEnable);
    bool IsWorkerShown();
    void RedrawProgress();
    // A bitmap of a "JPG" resource; null when it cannot be read.
    static HBITMAP LoadJpgBitmap(UINT nID, CPicture* pPicture = nullptr);

public:
    CBrush m_brBack;
    // The picture painted over the client area: the first background until
    // a preview is composed, then m_hbmBackground (borrowed, never deleted).
    HBITMAP m_hbmCanvas = nullptr;
    CBitmap m_bmpFirstCanvas;
    CBitmap m_hbmBackground;
    CBitmap m_hbmPreview;
    int m_nBackWidth = 0;
    int m_nBackHeight = 0;
    CStringArray m_arrSkinList;
    CPicture m_imgPreview;
    // The last worker started. The thread library closes it when the worker
    // ends, so it only says that one was started; the waits use the jobs.
    HANDLE m_hWorkerThread = nullptr;
    // Normal, hover and pressed pictures of the five buttons; the buttons own them.
    HBITMAP m_hbmButtons[15] = {};
    CSkinButton m_btnHelp;
    CColorLabel m_lblComment;
    CSkinButton m_btnOptions;
    CSkinButton m_btnAnalog;
    CSkinButton m_btnDigital;
    CSkinButton m_btnConnect;
    CGradientProgressCtrl m_progress;
    CReportCtrl m_listGroups;
    CReportCtrl m_listSkins;
    CString m_strUrl;

private:
    // A list being filled from the skin list: a block now, the rest a block
    // at a tick of the fill timer, so that a list of any length leaves the
    // program's other windows running; the list's redraw is held until the
    // last block. Finding the rows is part of each block too: for 200,000
    // lines it would take a step longer than the program may stand still.
    struct CRowFill {
        CReportCtrl* pList = nullptr;       // null: no fill under way
        INT_PTR nNextLine = 0;              // the next line of m_arrSkinList to look at
        CString strGroup;                   // the skins' fill: the group shown
        std::unique_ptr<CSkinGroupSet> pGroups; // the groups' fill: those in the list
    };
    // A block ends after this many rows put in or lines looked at.
    enum { TIMER_FILL = 1, FILL_BLOCK_ROWS = 5000, FILL_BLOCK_LINES = 20000 };
    // Empties list and starts filling it from the line the caller set in
    // fill, its redraw held; true when it is done.
    bool StartFill(CRowFill& fill, CReportCtrl& list);
    bool FillBlock(CRowFill& fill);
    void StopFill(CRowFill& fill);
    void GroupsFilled();
    void SkinsFilled();

    // The workers started and not yet seen to end.
    std::vector<std::shared_ptr<CSkinJob>> m_jobs;
    CRowFill m_groupFill;
    CRowFill m_skinFill;
    bool m_bFillingGroups = false;
    bool m_bDestroying = false;
};
