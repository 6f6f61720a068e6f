// Dialogs from the .rc templates: modal and modeless, data exchange round
// trips, validation failures and child pages inside a tab control.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "afx/afxwin.h"
#include "support/win_window.h"
#include "win_test_resource.h"

namespace {

const UINT UM_ACT = WM_APP + 30;

class CDataDialog : public CDialog {
public:
    explicit CDataDialog(CWnd* pParent = nullptr) : CDialog(IDD_TEST_DATA, pParent) {}
    CString m_strName;
    int m_nCount = 0;
    UINT m_nLimit = 0;
    int m_bCheck = 0;
    int m_nRadio = -1;
    CString m_strCombo;
    int m_nDropIndex = -1;
    CComboBox m_dropList;
    // What the modal run does once the dialog is up.
    std::function<void(CDataDialog*)> m_fnAct;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_DROPLIST, m_dropList);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDX_Text(pDX, IDC_LIMIT, m_nLimit);
        DDX_Check(pDX, IDC_CHECK, m_bCheck);
        DDX_Radio(pDX, IDC_RADIO1, m_nRadio);
        DDX_CBString(pDX, IDC_COMBO, m_strCombo);
        DDX_CBIndex(pDX, IDC_DROPLIST, m_nDropIndex);
    }
    BOOL OnInitDialog() override {
        // The list is filled before the exchange selects in it.
        ::SendDlgItemMessageA(m_hWnd, IDC_DROPLIST, CB_ADDSTRING, 0, (LPARAM) "alpha");
        ::SendDlgItemMessageA(m_hWnd, IDC_DROPLIST, CB_ADDSTRING, 0, (LPARAM) "beta");
        ::SendDlgItemMessageA(m_hWnd, IDC_COMBO, CB_ADDSTRING, 0, (LPARAM) "listed");
        CDialog::OnInitDialog();
        if (m_fnAct)
            PostMessage(UM_ACT);
        return TRUE;
    }
    afx_msg LRESULT OnAct(WPARAM, LPARAM) {
        m_fnAct(this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDataDialog, CDialog)
    ON_MESSAGE(UM_ACT, OnAct)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_seams.m_messageBoxAnswers.clear();
        m_pOld = AfxSetSeams(&m_seams);
    }
    void TearDown() override { AfxSetSeams(m_pOld); }
    CRecordingSeams m_seams;
    CSystemSeams* m_pOld = nullptr;
};

TEST_F(DialogTest, ModalRoundTripThroughEveryExchange) {
    CDataDialog dlg;
    dlg.m_strName = "start";
    dlg.m_nCount = -42;
    dlg.m_nLimit = 4000000000u;
    dlg.m_bCheck = 1;
    dlg.m_nRadio = 2;
    dlg.m_strCombo = "free text";
    dlg.m_nDropIndex = 1;
    CString seenName, seenCount, seenLimit, seenCombo;
    int seenRadio3 = -1, seenDrop = -1;
    dlg.m_fnAct = [&](CDataDialog* p) {
        // What the members put into the controls...
        p->GetDlgItemText(IDC_NAME, seenName);
        p->GetDlgItemText(IDC_COUNT, seenCount);
        p->GetDlgItemText(IDC_LIMIT, seenLimit);
        p->GetDlgItemText(IDC_COMBO, seenCombo);
        seenRadio3 = (int)p->IsDlgButtonChecked(IDC_RADIO3);
        seenDrop = p->m_dropList.GetCurSel();
        // ...and the user's edits coming back.
        p->SetDlgItemText(IDC_NAME, "edited");
        p->SetDlgItemText(IDC_COUNT, " 17 ");
        p->CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
        p->CheckRadioButton(IDC_RADIO1, IDC_RADIO3, IDC_RADIO1);
        ::SendDlgItemMessageA(p->m_hWnd, IDC_COMBO, CB_SETCURSEL, 0, 0);
        p->m_dropList.SetCurSel(0);
        p->OnOK();
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ("start", seenName);
    EXPECT_STREQ("-42", seenCount);
    EXPECT_STREQ("4000000000", seenLimit);
    EXPECT_STREQ("free text", seenCombo);
    EXPECT_EQ(BST_CHECKED, seenRadio3);
    EXPECT_EQ(1, seenDrop);
    EXPECT_STREQ("edited", dlg.m_strName);
    EXPECT_EQ(17, dlg.m_nCount);
    EXPECT_EQ(4000000000u, dlg.m_nLimit);
    EXPECT_EQ(0, dlg.m_bCheck);
    EXPECT_EQ(0, dlg.m_nRadio);
    EXPECT_STREQ("listed", dlg.m_strCombo);
    EXPECT_EQ(0, dlg.m_nDropIndex);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_dropList.m_hWnd);  // the control went with the dialog
    EXPECT_TRUE(m_seams.m_calls.empty());
}

TEST_F(DialogTest, InvalidNumberKeepsDialogOpenAndReportsThroughSeams) {
    CDataDialog dlg;
    int nOKResult = -1;
    dlg.m_fnAct = [&](CDataDialog* p) {
        p->SetDlgItemText(IDC_COUNT, "12abc");
        nOKResult = p->UpdateData(TRUE);
        // Still open: a second try with a negative unsigned value fails too.
        p->SetDlgItemText(IDC_COUNT, "3");
        p->SetDlgItemText(IDC_LIMIT, "-1");
        BOOL bSecond = p->UpdateData(TRUE);
        p->EndDialog(bSecond ? 99 : IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(FALSE, nOKResult);
    ASSERT_EQ(2u, m_seams.m_calls.size());
    EXPECT_NE(std::string::npos, m_seams.m_calls[0].find("Please enter an integer."));
    EXPECT_NE(std::string::npos, m_seams.m_calls[1].find("Please enter a positive integer."));
}

TEST_F(DialogTest, CancelLeavesMembersUnchanged) {
    CDataDialog dlg;
    dlg.m_strName = "keep";
    dlg.m_fnAct = [](CDataDialog* p) {
        p->SetDlgItemText(IDC_NAME, "discarded");
        p->SendMessage(WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_STREQ("keep", dlg.m_strName);
}

TEST_F(DialogTest, ModalDisablesItsOwnerOnlyWhileRunning) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr));
    CDataDialog dlg(&owner);
    BOOL bOwnerEnabledInside = TRUE;
    HWND hOwnerOfDialog = nullptr;
    dlg.m_fnAct = [&](CDataDialog* p) {
        bOwnerEnabledInside = owner.IsWindowEnabled();
        hOwnerOfDialog = ::GetWindow(p->m_hWnd, GW_OWNER);
        p->EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_FALSE(bOwnerEnabledInside);
    EXPECT_EQ(owner.m_hWnd, hOwnerOfDialog);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogTest, ModalWithoutParentIsOwnedByTheMainWindow) {
    CWinApp app("dialogs");
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr));
    app.m_pMainWnd = &main;
    CDataDialog dlg;
    HWND hOwnerOfDialog = nullptr;
    dlg.m_fnAct = [&](CDataDialog* p) {
        hOwnerOfDialog = ::GetWindow(p->m_hWnd, GW_OWNER);
        p->EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(main.m_hWnd, hOwnerOfDialog);
    app.m_pMainWnd = nullptr;
}

TEST_F(DialogTest, ModelessCreateRunsInitAndDestroyWindowEndsIt) {
    CDataDialog dlg;
    dlg.m_strName = "modeless";
    ASSERT_TRUE(dlg.Create(IDD_TEST_DATA, nullptr));
    CString str;
    dlg.GetDlgItemText(IDC_NAME, str);
    EXPECT_STREQ("modeless", str);
    EXPECT_EQ(&dlg, CWnd::FromHandlePermanent(dlg.m_hWnd));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

class CPageDialog : public CDialog {
public:
    CPageDialog() : CDialog(IDD_TEST_PAGE) {}
};

class CTabsDialog : public CDialog {
public:
    CTabsDialog() : CDialog(IDD_TEST_TABS) {}
    CTabCtrl m_tab;
    CPageDialog m_pages[2];
    int m_nChanges = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_TAB, m_tab); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_tab.InsertItem(0, "One");
        m_tab.InsertItem(1, "Two");
        for (int i = 0; i < 2; ++i) {
            m_pages[i].Create(IDD_TEST_PAGE, &m_tab);
            m_pages[i].SetWindowPos(nullptr, 3, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            m_pages[i].ShowWindow(i == 0 ? SW_SHOW : SW_HIDE);
        }
        return TRUE;
    }
    afx_msg void OnSelChanging(NMHDR*, LRESULT* pResult) {
        m_pages[m_tab.GetCurSel()].ShowWindow(SW_HIDE);
        *pResult = 0;
    }
    afx_msg void OnSelChange(NMHDR*, LRESULT* pResult) {
        ++m_nChanges;
        m_pages[m_tab.GetCurSel()].ShowWindow(SW_SHOW);
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTabsDialog, CDialog)
    ON_NOTIFY(TCN_SELCHANGING, IDC_TAB, OnSelChanging)
    ON_NOTIFY(TCN_SELCHANGE, IDC_TAB, OnSelChange)
END_MESSAGE_MAP()

TEST_F(DialogTest, ChildPagesInsideATabControlSwitchOnNotifications) {
    CTabsDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_TABS, nullptr));
    ASSERT_NE(nullptr, dlg.m_pages[1].m_hWnd);
    EXPECT_EQ(dlg.m_tab.m_hWnd, ::GetParent(dlg.m_pages[0].m_hWnd));
    EXPECT_TRUE((dlg.m_pages[0].GetStyle() & WS_VISIBLE) != 0);
    EXPECT_FALSE((dlg.m_pages[1].GetStyle() & WS_VISIBLE) != 0);
    // A click on the second tab: the control asks (SELCHANGING), changes, tells (SELCHANGE).
    RECT rc;
    dlg.m_tab.GetItemRect(1, &rc);
    vtest::SendClick(dlg.m_tab.m_hWnd, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    EXPECT_EQ(1, dlg.m_tab.GetCurSel());
    EXPECT_EQ(1, dlg.m_nChanges);
    EXPECT_FALSE((dlg.m_pages[0].GetStyle() & WS_VISIBLE) != 0);
    EXPECT_TRUE((dlg.m_pages[1].GetStyle() & WS_VISIBLE) != 0);
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_pages[0].m_hWnd);
}

TEST_F(DialogTest, CommonDialogsGoThroughTheSeams) {
    CColorDialog color(RGB(1, 2, 3));
    EXPECT_EQ(IDCANCEL, color.DoModal());
    CFileDialog open(TRUE, "txt", "name.txt", OFN_HIDEREADONLY, "Text (*.txt)|*.txt|All|*.*||");
    EXPECT_EQ(IDCANCEL, open.DoModal());
    m_seams.m_bCommonDialogsAccept = TRUE;
    CFontDialog font;
    EXPECT_EQ(IDOK, font.DoModal());
    ASSERT_EQ(3u, m_seams.m_calls.size());
    EXPECT_EQ("ChooseColor 0x30201", m_seams.m_calls[0]);
    EXPECT_EQ("GetOpenFileName \"name.txt\"", m_seams.m_calls[1]);
    EXPECT_EQ(0, m_seams.m_calls[2].compare(0, 10, "ChooseFont"));
    // The filter reached the structure with NUL separators and a double NUL end.
    const char* pszFilter = open.m_ofn.lpstrFilter;
    EXPECT_STREQ("Text (*.txt)", pszFilter);
    pszFilter += std::strlen(pszFilter) + 1;
    EXPECT_STREQ("*.txt", pszFilter);
    EXPECT_STREQ("txt", open.GetFileExt());
    EXPECT_STREQ("name", open.GetFileTitle());
}

}  // namespace
