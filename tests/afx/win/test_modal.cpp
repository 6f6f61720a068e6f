// The modal loop's idle work and the owner bookkeeping around a modal run.
#include <gtest/gtest.h>

#include "afx/afxwin.h"
#include "services_test_resource.h"
#include "support/win_window.h"

namespace {

// Borrows a wrapper for a foreign window at start; its owner reads, when the
// loop tells it the dialog is idle, how many wrappers are left.
class CIdleDialog : public CDialog {
public:
    explicit CIdleDialog(CWnd* pParent) : CDialog(IDD_SERVICES_FORM, pParent) {}
    int m_nTempsAtStart = -1;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CWnd::FromHandle(::GetDesktopWindow());
        m_nTempsAtStart = AfxGetTempWndCount();
        return TRUE;
    }
};

class CIdleOwner : public CWnd {
public:
    int m_nTempsAtIdle = -1;

protected:
    afx_msg LRESULT OnEnterIdle(WPARAM, LPARAM lParam) {
        m_nTempsAtIdle = AfxGetTempWndCount();
        CDialog* pDlg = static_cast<CDialog*>(CWnd::FromHandlePermanent((HWND)lParam));
        pDlg->EndDialog(IDOK);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CIdleOwner, CWnd)
    ON_MESSAGE(WM_ENTERIDLE, OnEnterIdle)
END_MESSAGE_MAP()

TEST(ModalLoop, IdleTimeFreesTemporaryWrappers) {
    CIdleOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr, nullptr));
    CIdleDialog dlg(&owner);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_GE(dlg.m_nTempsAtStart, 1);
    EXPECT_EQ(owner.m_nTempsAtIdle, 0);
    owner.DestroyWindow();
}

// PreModal finds the owner as a modal run needs it and disables the window
// above an owned popup; PostModal enables it again.
TEST(ModalLoop, PreModalAndPostModalKeepTheTopWindowState) {
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr, nullptr));
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, 10, 10, 50, 40, top.m_hWnd, nullptr));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, "child", WS_CHILD, 0, 0, 20, 20, popup.m_hWnd, nullptr));
    struct {
        CWnd* pParent;
        HWND hOwner;
        bool bTopDisabled;
    } const cases[] = {
        {&top, top.m_hWnd, false},
        {&popup, popup.m_hWnd, true},
        {&child, popup.m_hWnd, true},  // a child is never an owner: its popup is
    };
    for (const auto& c : cases) {
        CDialog dlg(IDD_SERVICES_FORM, c.pParent);
        EXPECT_EQ(dlg.PreModal(), c.hOwner);
        EXPECT_EQ(::IsWindowEnabled(top.m_hWnd) == FALSE, c.bTopDisabled);
        dlg.PostModal();
        EXPECT_TRUE(::IsWindowEnabled(top.m_hWnd));
    }
    top.DestroyWindow();
}

}  // namespace
