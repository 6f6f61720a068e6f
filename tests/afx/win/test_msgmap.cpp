// Message map dispatch: chaining to the base map, overriding, command
// ranges, reflection of notifications to controls and the current message.
#include <gtest/gtest.h>

#include <vector>

#include "afx/afxwin.h"
#include "support/win_window.h"

namespace {

const UINT UM_PING = WM_APP + 1;
const UINT UM_BASEONLY = WM_APP + 2;
const UINT kRegistered = ::RegisterWindowMessageA("VeltranTestRegistered");

class CBaseWnd : public CWnd {
public:
    std::vector<CString> m_log;

protected:
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM) {
        m_log.push_back(CString("base ping"));
        return (LRESULT)wParam + 1;
    }
    afx_msg LRESULT OnBaseOnly(WPARAM, LPARAM) {
        m_log.push_back(CString("base only"));
        return 7;
    }
    afx_msg void OnCommandRange(UINT nID) {
        char sz[32];
        wsprintfA(sz, "range %u", nID);
        m_log.push_back(CString(sz));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(UM_PING, OnPing)
    ON_MESSAGE(UM_BASEONLY, OnBaseOnly)
    ON_COMMAND_RANGE(100, 109, OnCommandRange)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    int m_nCurrentMessage = 0;

protected:
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM lParam) {
        m_log.push_back(CString("derived ping"));
        m_nCurrentMessage = (int)GetCurrentMessage()->message;
        return CBaseWnd::OnPing(wParam, lParam) * 10;
    }
    afx_msg void OnSpecial() { m_log.push_back(CString("special 105")); }
    afx_msg LRESULT OnRegistered(WPARAM, LPARAM) {
        m_log.push_back(CString("registered"));
        return 99;
    }
    afx_msg void OnChildClicked() { m_log.push_back(CString("parent clicked")); }
    afx_msg void OnChildNotify(NMHDR*, LRESULT* pResult) {
        m_log.push_back(CString("parent notify"));
        *pResult = 5;
    }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
        m_log.push_back(CString("parent ctlcolor"));
        return CBaseWnd::OnCtlColor(pDC, pWnd, nCtlColor);
    }
    DECLARE_MESSAGE_MAP()
};

const UINT kChildID = 500;
const UINT kCustomCode = 0x4242;
const UINT kNotifyCode = (UINT)-900;
const UINT kNotifyPassOn = (UINT)-901;

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(UM_PING, OnPing)
    ON_COMMAND(105, OnSpecial)
    ON_REGISTERED_MESSAGE(kRegistered, OnRegistered)
    ON_CONTROL(BN_CLICKED, kChildID, OnChildClicked)
    ON_NOTIFY(kNotifyCode, kChildID, OnChildNotify)
    ON_NOTIFY(kNotifyPassOn, kChildID, OnChildNotify)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// A control that handles some of its own notifications.
class CReflectingButton : public CButton {
public:
    int m_nOwnClicks = 0;
    int m_nOwnNotify = 0;
    int m_nPassOn = 0;
    int m_nCtlColor = 0;
    int m_nCustom = 0;
    CBrush m_brush{RGB(10, 20, 30)};

protected:
    afx_msg void OnCustom() { ++m_nCustom; }
    afx_msg void OnNotifyOwn(NMHDR* pNMHDR, LRESULT* pResult) {
        ++m_nOwnNotify;
        *pResult = (LRESULT)pNMHDR->idFrom + 1000;
    }
    afx_msg BOOL OnNotifyPassOn(NMHDR*, LRESULT*) {
        ++m_nPassOn;
        return FALSE;  // the parent gets it too
    }
    afx_msg HBRUSH CtlColor(CDC*, UINT nCtlColor) {
        ++m_nCtlColor;
        return nCtlColor == CTLCOLOR_BTN ? (HBRUSH)m_brush.GetSafeHandle() : nullptr;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingButton, CButton)
    ON_CONTROL_REFLECT(kCustomCode, OnCustom)
    ON_NOTIFY_REFLECT(kNotifyCode, OnNotifyOwn)
    ON_NOTIFY_REFLECT_EX(kNotifyPassOn, OnNotifyPassOn)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_wnd.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
        ASSERT_TRUE(m_button.Create("child", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &m_wnd,
                                    kChildID));
    }
    LRESULT SendNotify(UINT nCode) {
        NMHDR nm{m_button.m_hWnd, kChildID, nCode};
        return m_wnd.SendMessage(WM_NOTIFY, kChildID, (LPARAM)&nm);
    }
    CDerivedWnd m_wnd;
    CReflectingButton m_button;
};

TEST_F(MessageMapTest, DerivedEntryOverridesBaseAndCanChainToIt) {
    LRESULT r = m_wnd.SendMessage(UM_PING, 4, 0);
    EXPECT_EQ(50, r);
    ASSERT_EQ(2u, m_wnd.m_log.size());
    EXPECT_STREQ("derived ping", m_wnd.m_log[0]);
    EXPECT_STREQ("base ping", m_wnd.m_log[1]);
    EXPECT_EQ((int)UM_PING, m_wnd.m_nCurrentMessage);
}

TEST_F(MessageMapTest, EntryOnlyInBaseMapIsFound) {
    EXPECT_EQ(7, m_wnd.SendMessage(UM_BASEONLY));
    ASSERT_EQ(1u, m_wnd.m_log.size());
    EXPECT_STREQ("base only", m_wnd.m_log[0]);
}

TEST_F(MessageMapTest, CommandRangeCoversBothEndsAndNothingOutside) {
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0), 0);
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(109, 0), 0);
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(99, 0), 0);
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(110, 0), 0);
    ASSERT_EQ(2u, m_wnd.m_log.size());
    EXPECT_STREQ("range 100", m_wnd.m_log[0]);
    EXPECT_STREQ("range 109", m_wnd.m_log[1]);
}

TEST_F(MessageMapTest, DerivedSingleCommandWinsOverBaseRange) {
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(105, 0), 0);
    ASSERT_EQ(1u, m_wnd.m_log.size());
    EXPECT_STREQ("special 105", m_wnd.m_log[0]);
}

TEST_F(MessageMapTest, RegisteredMessageIsDispatched) {
    EXPECT_EQ(99, m_wnd.SendMessage(kRegistered));
    ASSERT_EQ(1u, m_wnd.m_log.size());
}

TEST_F(MessageMapTest, ControlReflectHandlesCodeInsteadOfParent) {
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kChildID, kCustomCode), (LPARAM)m_button.m_hWnd);
    EXPECT_EQ(1, m_button.m_nCustom);
    EXPECT_TRUE(m_wnd.m_log.empty());
    // A code the control does not reflect reaches the parent's entry.
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kChildID, BN_CLICKED), (LPARAM)m_button.m_hWnd);
    ASSERT_EQ(1u, m_wnd.m_log.size());
    EXPECT_STREQ("parent clicked", m_wnd.m_log[0]);
}

TEST_F(MessageMapTest, NotifyReflectGivesTheControlsResult) {
    EXPECT_EQ(1000 + (LRESULT)kChildID, SendNotify(kNotifyCode));
    EXPECT_EQ(1, m_button.m_nOwnNotify);
    EXPECT_TRUE(m_wnd.m_log.empty());
}

TEST_F(MessageMapTest, NotifyReflectExReturningFalseAlsoReachesParent) {
    EXPECT_EQ(5, SendNotify(kNotifyPassOn));
    EXPECT_EQ(1, m_button.m_nPassOn);
    ASSERT_EQ(1u, m_wnd.m_log.size());
    EXPECT_STREQ("parent notify", m_wnd.m_log[0]);
}

TEST_F(MessageMapTest, CtlColorIsReflectedAfterTheParentsHandler) {
    CClientDC dc(&m_button);
    HBRUSH hbr = (HBRUSH)m_wnd.SendMessage(WM_CTLCOLORBTN, (WPARAM)dc.GetSafeHdc(), (LPARAM)m_button.m_hWnd);
    EXPECT_EQ((HBRUSH)m_button.m_brush.GetSafeHandle(), hbr);
    EXPECT_EQ(1, m_button.m_nCtlColor);
    ASSERT_EQ(1u, m_wnd.m_log.size());
    // The control declines other kinds: the default processing answers.
    HBRUSH hbrStatic =
        (HBRUSH)m_wnd.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dc.GetSafeHdc(), (LPARAM)m_button.m_hWnd);
    EXPECT_NE((HBRUSH)m_button.m_brush.GetSafeHandle(), hbrStatic);
    EXPECT_EQ(2, m_button.m_nCtlColor);
}

TEST_F(MessageMapTest, UnhandledMessagesGoToDefaultProcessing) {
    m_wnd.SetWindowText("changed");
    CString str;
    m_wnd.GetWindowText(str);
    EXPECT_STREQ("changed", str);
    EXPECT_TRUE(m_wnd.m_log.empty());
}

TEST(MessageMapPermanence, HandleMapsFindObjectsAndMakeTemporaries) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
    EXPECT_EQ(&wnd, CWnd::FromHandle(wnd.m_hWnd));
    HWND hDesktop = ::GetDesktopWindow();
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hDesktop));
    CWnd* pTemp = CWnd::FromHandle(hDesktop);
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(pTemp, CWnd::FromHandle(hDesktop));  // one wrapper per handle
    EXPECT_EQ(hDesktop, pTemp->m_hWnd);
    EXPECT_GE(AfxGetTempWndCount(), 1);
    vtest::PumpPending();  // idle time frees them
    EXPECT_EQ(0, AfxGetTempWndCount());
    CWnd* pNull = nullptr;
    EXPECT_EQ(nullptr, pNull->GetSafeHwnd());
}

TEST(MessageMapPermanence, SubclassAndUnsubclassKeepTheWindowWorking) {
    HWND hEdit = ::CreateWindowExA(0, "EDIT", "abc", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hEdit);
    WNDPROC pfnBefore = (WNDPROC)::GetWindowLongPtrA(hEdit, GWLP_WNDPROC);
    CEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(hEdit));
    CWnd other;
    EXPECT_FALSE(other.Attach(hEdit));
    CString str;
    edit.GetWindowText(str);
    EXPECT_STREQ("abc", str);
    EXPECT_EQ(hEdit, edit.UnsubclassWindow());
    EXPECT_EQ(pfnBefore, (WNDPROC)::GetWindowLongPtrA(hEdit, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
    ::DestroyWindow(hEdit);
}

}  // namespace
