// The report list's test dialog, which records the list's notifications
// and may answer them, and what the list's window tests share.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "controls/reportctrl.h"
#include "reportctrl_test_res.h"
#include "support/win_window.h"

class CReportTestDlg : public CDialog {
public:
    struct CNote {
        UINT nCode;
        DWORD hItem;
        int nColumn;
        CString strText;
        DWORD dwData;
        int nCheck;
    };
    CReportCtrl m_report;
    std::vector<CNote> m_notes;
    std::function<int(NMREPORT&)> m_onNotify;

    explicit CReportTestDlg(UINT nIDTemplate = IDD_REPORT_TEST)
        : CDialog(nIDTemplate)
    {
    }
    int Count(UINT nCode) const
    {
        int n = 0;
        for (const CNote& note : m_notes)
            n += note.nCode == nCode;
        return n;
    }
    const CNote* Last(UINT nCode) const
    {
        for (auto it = m_notes.rbegin(); it != m_notes.rend(); ++it)
            if (it->nCode == nCode)
                return &*it;
        return nullptr;
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_report.SubclassDlgItem(IDC_REPORT, this);
        return TRUE;
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        NMHDR* pHdr = (NMHDR*)lParam;
        if (pHdr->idFrom == IDC_REPORT && pHdr->code >= (UINT)RCN_EXPANDCHANGED
            && pHdr->code <= (UINT)RCN_BEGINDROPDOWN) {
            NMREPORT* pNm = (NMREPORT*)lParam;
            m_notes.push_back(
                { pHdr->code, pNm->hItem, pNm->nColumn, pNm->strText, pNm->dwData, pNm->nCheck });
            *pResult = m_onNotify ? m_onNotify(*pNm) : 0;
            return TRUE;
        }
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
};

// The list view's classes are registered once; each test ends with the live
// GDI count it started with.
class ReportWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_LISTVIEW_CLASSES };
        ::InitCommonControlsEx(&icc);
    }
    void SetUp() override { m_nGdiBefore = AfxGetLiveGdiObjectCount(); }
    void TearDown() override
    {
        vtest::PumpPending();
        EXPECT_EQ(m_nGdiBefore, AfxGetLiveGdiObjectCount());
    }

    long m_nGdiBefore = 0;
};
