// The report list control in a dialog: rows, sorting by the header, scrolling,
// pixels of cells and of the skinned header, mouse, keyboard and the editors.
#include "controls/reportctrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "report_dialog.h"
#include "support/win_drivers.h"
#include "support/win_window.h"

namespace {

// The messages sent on this thread, as a WH_CALLWNDPROC hook sees them: the
// menus library keeps one on the program's thread, and under Wine each such
// message costs about 0.15 ms.
class CSentCounter {
public:
    CSentCounter()
    {
        s_pCounter = this;
        m_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~CSentCounter()
    {
        ::UnhookWindowsHookEx(m_hHook);
        s_pCounter = nullptr;
    }
    int Count(UINT message) const
    {
        auto it = m_messages.find(message);
        return it != m_messages.end() ? it->second : 0;
    }
    // WM_NOTIFY messages of that code.
    int Notices(UINT nCode) const
    {
        auto it = m_notices.find(nCode);
        return it != m_notices.end() ? it->second : 0;
    }
    // Where the first message of that kind came among those sent, or -1.
    int First(UINT message) const
    {
        auto it = std::find(m_sequence.begin(), m_sequence.end(), message);
        return it != m_sequence.end() ? (int)(it - m_sequence.begin()) : -1;
    }
    bool IsHooked() const { return m_hHook != nullptr; }

private:
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* pMsg = (const CWPSTRUCT*)lParam;
        if (nCode == HC_ACTION && s_pCounter != nullptr) {
            s_pCounter->m_messages[pMsg->message]++;
            s_pCounter->m_sequence.push_back(pMsg->message);
            if (pMsg->message == WM_NOTIFY && pMsg->lParam != 0)
                s_pCounter->m_notices[((const NMHDR*)pMsg->lParam)->code]++;
        }
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    static CSentCounter* s_pCounter;
    HHOOK m_hHook = nullptr;
    std::map<UINT, int> m_messages;
    std::map<UINT, int> m_notices;
    std::vector<UINT> m_sequence;
};
CSentCounter* CSentCounter::s_pCounter = nullptr;

void SetKeyHeld(int nVirtKey, bool bHeld)
{
    BYTE state[256];
    ::GetKeyboardState(state);
    state[nVirtKey] = bHeld ? 0x80 : 0;
    ::SetKeyboardState(state);
}

class ReportCtrlTest : public ReportWindowTest {
protected:
    void SetUp() override
    {
        ReportWindowTest::SetUp();
        m_pDlg = new CReportTestDlg;
        ASSERT_TRUE(m_pDlg->Create(IDD_REPORT_TEST));
        m_pDlg->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        vtest::PumpPending();
    }
    void TearDown() override
    {
        SetKeyHeld(VK_SHIFT, false);
        SetKeyHeld(VK_CONTROL, false);
        m_pDlg->DestroyWindow();
        delete m_pDlg;
        ReportWindowTest::TearDown();
    }
    CReportCtrl& R() { return m_pDlg->m_report; }
    CPoint Centre(DWORD hItem, int nColumn, int nPart)
    {
        CRect rc;
        EXPECT_TRUE(R().GetCellRect(hItem, nColumn, nPart, rc)) << nPart;
        return rc.CenterPoint();
    }
    CString RowText(int nRow, int nColumn = 0) { return R().GetItemText(R().GetModel().GetRowItem(nRow), nColumn); }
    HWND Editor() { return R().GetEditor() != nullptr ? R().GetEditor()->m_hWnd : nullptr; }

    CReportTestDlg* m_pDlg = nullptr;
};

TEST_F(ReportCtrlTest, FiveHundredRowsSortedByTheHeaderAndScrolled)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 150);
    r.InsertColumn(1, "Number", 1, 80);
    r.SetRedraw(FALSE);
    for (int i = 0; i < 500; ++i) {
        CString str;
        str.Format((i % 2) ? "row %03d" : "Row %03d", i * 7919 % 500);
        DWORD h = r.InsertItem(RVI_ROOT, RVTI_LAST, str);
        r.SetItemText(h, 1, str.Right(3));
    }
    r.SetRedraw(TRUE);
    ASSERT_EQ(500, r.GetItemCount());

    // The rows were measured after the dialog's control was attached.
    TEXTMETRICA tm;
    HDC hDC = ::GetDC(r.m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, (HFONT)r.SendMessage(WM_GETFONT));
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(r.m_hWnd, hDC);
    CRect rcRow;
    r.GetItemRect(0, &rcRow, LVIR_BOUNDS);
    EXPECT_EQ(tm.tmHeight + tm.tmExternalLeading + 4, rcRow.Height());

    HWND hHeader = (HWND)r.SendMessage(LVM_GETHEADER);
    CRect rcHeading;
    ::SendMessageA(hHeader, HDM_GETITEMRECT, 0, (LPARAM)&rcHeading);
    for (int nClick = 0; nClick < 2; ++nClick) {
        vtest::SendClick(hHeader, rcHeading.CenterPoint().x, rcHeading.CenterPoint().y);
        for (int i = 0; i + 1 < 500; ++i) {
            int c = RowText(i).CompareNoCase(RowText(i + 1));
            ASSERT_TRUE(nClick == 0 ? c <= 0 : c >= 0) << nClick << " " << i;
        }
    }
    EXPECT_EQ(CString("Row 498"), RowText(1)); // descending; equal in case order: inserted first stays first
    EXPECT_EQ(CString("row 499"), RowText(0));

    r.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    r.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    vtest::PumpPending();
    int nTop = (int)r.SendMessage(LVM_GETTOPINDEX);
    EXPECT_GT(nTop, 0);
    DWORD hTop = r.GetNextItem(0, RVGN_FIRSTVISIBLE);
    EXPECT_EQ(r.GetModel().GetRowItem(nTop), hTop);
    DWORD hHit;
    int nColumn;
    ASSERT_TRUE(r.HitTest(Centre(hTop, 1, RVP_CELL), hHit, nColumn));
    EXPECT_EQ(hTop, hHit);
    EXPECT_EQ(1, nColumn);
}

TEST_F(ReportCtrlTest, CellsAndTheSkinnedHeaderAreDrawn)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 120);
    r.InsertColumn(1, "Check", 0, 60);
    r.InsertColumn(2, "Pick", 0, 90);
    int nCheck = r.AddCellStyle(RCS_CHECKBOX);
    int nButton = r.AddCellStyle(RCS_BUTTON);
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 1, 1));
    {
        CBitmap red;
        HDC hScreen = ::GetDC(nullptr);
        red.CreateCompatibleBitmap(CDC::FromHandle(hScreen), 16, 16);
        HDC hMem = ::CreateCompatibleDC(hScreen);
        ::ReleaseDC(nullptr, hScreen);
        HGDIOBJ hOld = ::SelectObject(hMem, (HBITMAP)red);
        CDC::FromHandle(hMem)->FillSolidRect(0, 0, 16, 16, RGB(255, 0, 0));
        ::SelectObject(hMem, hOld);
        ::DeleteDC(hMem);
        images.Add(&red, (CBitmap*)nullptr);
    }
    r.CListCtrl::SetImageList(&images, LVSIL_SMALL);
    DWORD h1 = r.InsertItem(RVI_ROOT, RVTI_LAST, "Alpha", 0);
    DWORD h2 = r.InsertItem(RVI_ROOT, RVTI_LAST, "Beta");
    r.SetItemStyle(h1, 1, nCheck);
    r.SetItemCheck(h1, 1, 1);
    r.SetItemStyle(h2, 1, nCheck);
    r.SetItemStyle(h1, 2, nButton);
    r.SetColors(RVCF_ITEM, h2, -1, RGB(0, 0, 255), RGB(0, 200, 0));
    r.SetFullRowSelect(FALSE);
    r.SelectItem(h1, 2, FALSE);
    // Texts of any length are drawn within their cell; headings read back through their buffer.
    r.SetItemText(h2, 2, CString('W', 70000));
    r.SetColumnHeading(2, CString('H', 300));
    EXPECT_EQ(199, r.GetColumnHeading(2).GetLength());

    vtest::CWindowSnapshot shot;
    ASSERT_TRUE(shot.Capture(r.m_hWnd));
    CRect rc;
    ASSERT_TRUE(r.GetCellRect(h2, 0, RVP_CELL, rc));
    EXPECT_EQ(RGB(0, 200, 0), shot.Pixel(rc.right - 3, rc.top + 2)); // the item's colour
    ASSERT_TRUE(r.GetCellRect(h1, 2, RVP_TEXT, rc));
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), shot.Pixel(rc.left + 1, rc.top + 1)); // the selected cell
    ASSERT_TRUE(r.GetCellRect(h1, 0, RVP_TEXT, rc));
    EXPECT_EQ(r.GetBkColor(), shot.Pixel(rc.right - 2, rc.top + 2)); // cell selection leaves the row alone
    ASSERT_TRUE(r.GetCellRect(h1, 2, RVP_BUTTON, rc));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), shot.Pixel(rc.left + 3, rc.top + 3));
    EXPECT_FALSE(r.GetCellRect(h2, 2, RVP_BUTTON, rc)); // only the selected cell shows its button
    CPoint ptImage = Centre(h1, 0, RVP_IMAGE);
    EXPECT_EQ(RGB(255, 0, 0), shot.Pixel(ptImage.x, ptImage.y));
    EXPECT_FALSE(r.GetCellRect(h2, 0, RVP_IMAGE, rc)); // no image, no square
    auto dark = [&](DWORD h) {
        CRect rcBox;
        EXPECT_TRUE(r.GetCellRect(h, 1, RVP_CHECKBOX, rcBox));
        int n = 0;
        for (int y = rcBox.top + 4; y < rcBox.bottom - 4; ++y)
            for (int x = rcBox.left + 4; x < rcBox.right - 4; ++x)
                n += GetRValue(shot.Pixel(x, y)) < 64 && GetGValue(shot.Pixel(x, y)) < 64;
        return n;
    };
    EXPECT_GT(dark(h1), dark(h2) + 4); // the check mark

    HWND hHeader = (HWND)r.SendMessage(LVM_GETHEADER);
    vtest::CWindowSnapshot header;
    ASSERT_TRUE(header.Capture(hHeader));
    CRect rcHeading;
    ::SendMessageA(hHeader, HDM_GETITEMRECT, 0, (LPARAM)&rcHeading);
    EXPECT_EQ(RGB(255, 255, 255), header.Pixel(rcHeading.left, 5));          // bitmap 2264
    EXPECT_EQ(RGB(0xA0, 0xA0, 0xA8), header.Pixel(rcHeading.right - 1, 5));   // the next heading's separator
    EXPECT_EQ(RGB(0xC8, 0xC8, 0xD7), header.Pixel(rcHeading.left + 4, header.Height() - 1)); // 2263 stretched
    ::SendMessageA(hHeader, HDM_GETITEMRECT, 2, (LPARAM)&rcHeading);
    EXPECT_EQ(RGB(0x70, 0x70, 0x78), header.Pixel(rcHeading.right - 1, 5)); // bitmap 2265
    r.CListCtrl::SetImageList(nullptr, LVSIL_SMALL);
}

// The erase paints only outside the rows: below them each column's colour, right of the
// columns the control's. With grid lines it fills row-high boxes and leaves the lines the
// cells leave, at each column's left edge and each row's bottom.
TEST_F(ReportCtrlTest, EraseFillsBelowTheRowsAndLeavesTheGridLines)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "One", 0, 80);
    r.InsertColumn(1, "Two", 0, 90);
    const COLORREF kColumn = RGB(0, 200, 0);
    const COLORREF kSentinel = RGB(1, 2, 3);
    r.SetColors(RVCF_COLUMN, RVI_NONE, 1, RVC_UNCHANGED, kColumn);
    r.InsertItem(RVI_ROOT, RVTI_LAST, "a");
    r.InsertItem(RVI_ROOT, RVTI_LAST, "b");
    const COLORREF crControl = r.GetBkColor();
    CRect rcClient;
    r.GetClientRect(&rcClient);
    for (bool bGrid : { false, true }) {
        // Grid lines move the rows: the places are read with the style set.
        r.CListCtrl::SetExtendedStyle(bGrid ? LVS_EX_GRIDLINES : 0);
        CRect rcRows, rcSecond;
        ASSERT_TRUE(r.GetCellRect(RVI_NONE, -1, RVP_ROWSAREA, rcRows));
        ASSERT_TRUE(r.GetCellRect(RVI_NONE, 1, RVP_COLUMNSTRIP, rcSecond));
        const int h = rcRows.Height() / 2;
        ASSERT_GT(h, 4);
        ASSERT_GT(rcClient.bottom, rcRows.bottom + 2 * h);
        ASSERT_GT(rcClient.right, rcSecond.right + 4);
        const int yBelow = rcRows.bottom + 2;
        const int yLine = rcRows.bottom + h - 1; // the bottom line of the first box below the rows
        const int xRest = rcSecond.right + 3;
        CClientDC dcScreen(nullptr);
        CDC dc;
        dc.CreateCompatibleDC(&dcScreen);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&dcScreen, rcClient.Width(), rcClient.Height());
        CSelectGuard guard(&dc, &bmp);
        dc.FillSolidRect(&rcClient, kSentinel);
        EXPECT_TRUE(r.SendMessage(WM_ERASEBKGND, (WPARAM)dc.m_hDC));
        const COLORREF kLine = bGrid ? kSentinel : kColumn;
        const COLORREF kRestLine = bGrid ? kSentinel : crControl;
        const struct {
            int x, y;
            COLORREF clr;
            const char* pszWhat;
        } pixels[] = {
            { rcSecond.left - 3, yBelow, crControl, "below the rows, first column" },
            { rcSecond.left + 3, yBelow, kColumn, "below the rows, second column" },
            { rcSecond.left + 3, yLine + 1, kColumn, "the next box" },
            { rcSecond.left + 3, yLine, kLine, "row line below the rows" },
            { rcSecond.left, yBelow, kLine, "column line below the rows" },
            { xRest, yBelow, crControl, "right of the columns" },
            { xRest, rcRows.top + 2, crControl, "right of the rows" },
            { xRest, rcRows.top + h - 1, kRestLine, "row line right of the rows" },
            { rcSecond.right, rcRows.top + 2, kRestLine, "line after the last column" },
            { rcSecond.left + 3, rcRows.top + 2, kSentinel, "the rows paint themselves" },
        };
        for (const auto& p : pixels)
            EXPECT_EQ(p.clr, dc.GetPixel(p.x, p.y)) << (bGrid ? "grid: " : "plain: ") << p.pszWhat;
    }
}

TEST_F(ReportCtrlTest, ClicksToggleCheckBoxesAndPressButtons)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "On", 0, 100);
    r.InsertColumn(1, "Pick", 0, 100);
    int nAuto = r.AddCellStyle(RCS_CHECKBOX | RCS_AUTOCHECK);
    int nPlain = r.AddCellStyle(RCS_CHECKBOX);
    int nButton = r.AddCellStyle(RCS_BUTTON);
    DWORD h1 = r.InsertItem(RVI_ROOT, RVTI_LAST, "one", -1, nAuto);
    DWORD h2 = r.InsertItem(RVI_ROOT, RVTI_LAST, "two", -1, nPlain);
    r.SetItemStyle(h1, 1, nButton);
    r.SetFullRowSelect(FALSE);
    CReportTestDlg& dlg = *m_pDlg;

    struct {
        DWORD hItem;
        int nAnswer;
        int nProposed;
        int nStored;
    } cases[] = {
        { h1, 0, 1, 1 }, // auto-check proposes the toggled state
        { h1, 1, 0, 1 }, // rejected: the cell keeps its state
        { h1, 0, 0, 0 },
        { h2, 0, 0, 0 }, // without auto-check the current state is proposed
    };
    for (auto& c : cases) {
        dlg.m_onNotify = [&](NMREPORT& nm) { return nm.hdr.code == (UINT)RCN_CHECKCHANGED ? c.nAnswer : 0; };
        CPoint pt = Centre(c.hItem, 0, RVP_CHECKBOX);
        int nBefore = dlg.Count(RCN_CHECKCHANGED);
        vtest::SendClick(r.m_hWnd, pt.x, pt.y);
        ASSERT_EQ(nBefore + 1, dlg.Count(RCN_CHECKCHANGED));
        EXPECT_EQ(c.nProposed, dlg.Last(RCN_CHECKCHANGED)->nCheck);
        EXPECT_EQ(c.nStored, r.GetItemCheck(c.hItem, 0));
    }

    // The button answers only in a cell that was already selected.
    dlg.m_onNotify = [&](NMREPORT& nm) {
        if (nm.hdr.code == (UINT)RCN_BUTTONCLICK) {
            nm.strText = "Picked";
            nm.dwData = 7;
        }
        return 0;
    };
    CPoint ptText = Centre(h1, 1, RVP_TEXTAREA);
    vtest::SendClick(r.m_hWnd, ptText.x, ptText.y);
    EXPECT_EQ(0, dlg.Count(RCN_BUTTONCLICK));
    CPoint ptButton = Centre(h1, 1, RVP_BUTTON);
    vtest::SendClick(r.m_hWnd, ptButton.x, ptButton.y);
    EXPECT_EQ(1, dlg.Count(RCN_BUTTONCLICK));
    EXPECT_EQ(CString("Picked"), r.GetItemText(h1, 1));
    EXPECT_EQ(7u, r.GetItemData(h1, 1));
    vtest::SendKey(r.m_hWnd, VK_SPACE);
    EXPECT_EQ(2, dlg.Count(RCN_BUTTONCLICK));

    // Whole-row selection: clicks select and do nothing more.
    r.SetFullRowSelect(TRUE);
    CPoint pt = Centre(h2, 0, RVP_CHECKBOX);
    int nChecks = dlg.Count(RCN_CHECKCHANGED);
    vtest::SendDoubleClick(r.m_hWnd, pt.x, pt.y);
    EXPECT_EQ(nChecks, dlg.Count(RCN_CHECKCHANGED));
    EXPECT_EQ(h2, r.GetSelectedItem());
    EXPECT_EQ(nullptr, Editor());

    // A handler that removes the row it is told about (as the alarm list does
    // with a used alarm) leaves nothing to write into.
    r.SetFullRowSelect(FALSE);
    dlg.m_onNotify = [&](NMREPORT& nm) {
        if (nm.hdr.code == (UINT)RCN_CHECKCHANGED)
            r.DeleteItem(nm.hItem);
        return 0;
    };
    pt = Centre(h2, 0, RVP_CHECKBOX);
    vtest::SendClick(r.m_hWnd, pt.x, pt.y);
    EXPECT_EQ(-1, r.GetItemRow(h2));
    EXPECT_EQ(1, r.GetItemCount());
    EXPECT_EQ(h1, r.GetSelectedItem());
}

// Real input through the queue, hit-tested from the dialog down to the list.
TEST_F(ReportCtrlTest, QueuedMouseInput)
{
    m_pDlg->ShowWindow(SW_SHOW);
    vtest::PumpPending();
    CReportCtrl& r = R();
    r.InsertColumn(0, "On", 0, 100);
    r.InsertColumn(1, "Name", 0, 120);
    DWORD h = r.InsertItem(RVI_ROOT, RVTI_LAST, "", -1, r.AddCellStyle(RCS_CHECKBOX | RCS_AUTOCHECK));
    r.SetItemStyle(h, 1, r.AddCellStyle(RCS_EDIT));
    r.SetItemText(h, 1, "Name");
    r.SetFullRowSelect(FALSE);
    CReportTestDlg& dlg = *m_pDlg;

    EXPECT_EQ(r.m_hWnd, vtest::Click(r.m_hWnd, Centre(h, 0, RVP_CHECKBOX)));
    EXPECT_EQ(1, dlg.Count(RCN_CHECKCHANGED));
    EXPECT_EQ(1, r.GetItemCheck(h, 0));
    vtest::DoubleClick(r.m_hWnd, Centre(h, 1, RVP_TEXT));
    HWND hEdit = Editor();
    ASSERT_NE(nullptr, hEdit);
    ::SetWindowTextA(hEdit, "Renamed");
    vtest::Click(r.m_hWnd, Centre(h, 0, RVP_TEXTAREA)); // a click elsewhere confirms
    vtest::PumpPending();
    EXPECT_FALSE(::IsWindow(hEdit));
    EXPECT_EQ(1, dlg.Count(RCN_ENDEDIT));
    EXPECT_EQ(CString("Renamed"), r.GetItemText(h, 1));
}

TEST_F(ReportCtrlTest, KeyboardMovesTheSelection)
{
    CReportCtrl& r = R();
    for (int i = 0; i < 3; ++i)
        r.InsertColumn(i, "c", 0, 60);
    std::vector<DWORD> items;
    for (int i = 0; i < 40; ++i)
        items.push_back(r.InsertItem(RVI_ROOT, RVTI_LAST, "x"));
    r.InsertItem(items[0], RVTI_LAST, "child");
    r.SetFullRowSelect(FALSE);
    const int nPage = (int)r.SendMessage(LVM_GETCOUNTPERPAGE);
    ASSERT_GT(nPage, 3);
    struct {
        UINT nKey;
        bool bShift;
        int nRow;
        int nColumn;
    } steps[] = {
        { VK_DOWN, false, 0, 0 }, // nothing selected: the first visible row
        { VK_RIGHT, false, 0, 1 }, { VK_END, false, 0, 2 }, { VK_RIGHT, false, 0, 2 },
        { VK_TAB, false, 1, 0 }, // from the last column to the next row
        { VK_TAB, true, 0, 2 }, { VK_HOME, false, 0, 0 }, { VK_LEFT, false, 0, 0 }, { VK_UP, false, 0, 0 },
        { VK_DOWN, false, 1, 0 }, { VK_NEXT, false, nPage, 0 }, { VK_PRIOR, false, 1, 0 },
        { VK_PRIOR, false, 0, 0 },
        { VK_ADD, false, 0, 0 }, { VK_DOWN, false, 1, 0 }, // the child's row appeared
        { VK_UP, false, 0, 0 }, { VK_SUBTRACT, false, 0, 0 },
    };
    for (auto& s : steps) {
        SetKeyHeld(VK_SHIFT, s.bShift);
        vtest::SendKey(r.m_hWnd, s.nKey);
        EXPECT_EQ(s.nRow, r.GetItemRow(r.GetSelectedItem())) << s.nKey;
        EXPECT_EQ(s.nColumn, r.GetSelectedColumn()) << s.nKey;
    }
    EXPECT_EQ(40, r.GetItemCount());
}

TEST_F(ReportCtrlTest, EditFieldCommitsCancelsAndEndsOnce)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 120);
    r.InsertColumn(1, "Note", 0, 120);
    int nEdit = r.AddCellStyle(RCS_EDIT);
    DWORD h1 = r.InsertItem(RVI_ROOT, RVTI_LAST, "One", -1, nEdit);
    DWORD h2 = r.InsertItem(RVI_ROOT, RVTI_LAST, "Two", -1, nEdit);
    r.SetItemStyle(h1, 1, nEdit);
    r.SetFullRowSelect(FALSE);
    CReportTestDlg& dlg = *m_pDlg;
    dlg.m_onNotify = [&](NMREPORT& nm) {
        if (nm.hdr.code != (UINT)RCN_ENDEDIT)
            return 0;
        return nm.strText.CompareNoCase("invalid text") == 0 ? 1 : (nm.strText.CompareNoCase("continue") == 0 ? 2 : 0);
    };
    r.SelectItem(h1, 0, FALSE);
    CPoint pt = Centre(h1, 0, RVP_TEXT);
    vtest::SendDoubleClick(r.m_hWnd, pt.x, pt.y);
    ASSERT_NE(nullptr, Editor());
    EXPECT_EQ(1, dlg.Count(RCN_BEGINEDIT));
    EXPECT_EQ((HWND)::GetDlgItem(r.m_hWnd, IDC_REPORTEDIT), Editor());

    struct {
        const char* pszTyped;
        UINT nKey;
        const char* pszStored;
        bool bStillOpen;
        int nEndEdits;
    } cases[] = {
        { "Uno", VK_RETURN, "Uno", false, 1 },
        { "Other", VK_ESCAPE, "Uno", false, 1 }, // cancelled: no RCN_ENDEDIT
        { "continue", VK_RETURN, "continue", true, 2 },
        { "invalid text", VK_RETURN, "continue", false, 3 },
    };
    for (auto& c : cases) {
        if (Editor() == nullptr)
            vtest::SendKey(r.m_hWnd, VK_F2);
        HWND hEdit = Editor();
        ASSERT_NE(nullptr, hEdit) << c.pszTyped;
        ::SetWindowTextA(hEdit, c.pszTyped);
        vtest::SendKey(hEdit, c.nKey);
        vtest::PumpPending();
        EXPECT_EQ(CString(c.pszStored), r.GetItemText(h1, 0)) << c.pszTyped;
        EXPECT_EQ(c.bStillOpen, ::IsWindow(hEdit) != FALSE) << c.pszTyped;
        EXPECT_EQ(c.bStillOpen, Editor() == hEdit) << c.pszTyped;
        EXPECT_EQ(c.nEndEdits, dlg.Count(RCN_ENDEDIT)) << c.pszTyped;
    }

    // Keys come through the queue: the editor takes Escape before the dialog can.
    vtest::SendKey(r.m_hWnd, VK_F2);
    HWND hQueued = Editor();
    ASSERT_NE(nullptr, hQueued);
    ::SetWindowTextA(hQueued, "Queued");
    ::PostMessageA(hQueued, WM_KEYDOWN, VK_ESCAPE, 1);
    vtest::PumpPending();
    EXPECT_FALSE(::IsWindow(hQueued));
    EXPECT_EQ(CString("continue"), r.GetItemText(h1, 0));

    // Scrolling ends an editor as a click elsewhere does: confirmed.
    vtest::SendKey(r.m_hWnd, VK_F2);
    ::SetWindowTextA(Editor(), "Scrolled");
    r.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, Editor());
    EXPECT_EQ(CString("Scrolled"), r.GetItemText(h1, 0));
    EXPECT_EQ(4, dlg.Count(RCN_ENDEDIT));

    // Tab stores, moves one cell right and opens the next editor at once.
    vtest::SendKey(r.m_hWnd, VK_F2);
    ::SetWindowTextA(Editor(), "First");
    vtest::SendKey(Editor(), VK_TAB);
    EXPECT_EQ(CString("First"), r.GetItemText(h1, 0));
    EXPECT_EQ(1, r.GetSelectedColumn());
    ASSERT_NE(nullptr, Editor());
    EXPECT_EQ(1, static_cast<CReportEdit*>(r.GetEditor())->m_nColumn);

    // Deleting the row under an open editor ends it, unheard and once.
    HWND hEdit = Editor();
    int nEndEdits = dlg.Count(RCN_ENDEDIT);
    r.DeleteItem(h1);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, Editor());
    EXPECT_FALSE(::IsWindow(hEdit));
    EXPECT_EQ(nEndEdits, dlg.Count(RCN_ENDEDIT));
    EXPECT_EQ(h2, r.GetSelectedItem());

    // A handler of RCN_ENDEDIT that deletes the row: nothing is written after it.
    dlg.m_onNotify = [&](NMREPORT& nm) {
        if (nm.hdr.code == (UINT)RCN_ENDEDIT)
            r.DeleteItem(nm.hItem);
        return 0;
    };
    r.SelectItem(h2, 0, FALSE);
    vtest::SendChar(r.m_hWnd, 'Z'); // a letter opens the editor with itself as the text
    ASSERT_NE(nullptr, Editor());
    char sz[8] = "";
    ::GetWindowTextA(Editor(), sz, sizeof(sz));
    EXPECT_STREQ("Z", sz);
    hEdit = Editor();
    vtest::SendKey(hEdit, VK_RETURN);
    vtest::PumpPending();
    EXPECT_EQ(0, r.GetItemCount());
    EXPECT_FALSE(::IsWindow(hEdit));
    EXPECT_EQ(nullptr, Editor());
}

TEST_F(ReportCtrlTest, MultiLineEditTakesCtrlEnter)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Text", 0, 160);
    r.SetLinesPerRow(2);
    DWORD h = r.InsertItem(RVI_ROOT, RVTI_LAST, "a", -1, r.AddCellStyle(RCS_EDIT));
    // Two lines a row: the list was made to measure again.
    TEXTMETRICA tm;
    HDC hDC = ::GetDC(r.m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, (HFONT)r.SendMessage(WM_GETFONT));
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(r.m_hWnd, hDC);
    CRect rcRow;
    r.GetItemRect(0, &rcRow, LVIR_BOUNDS);
    EXPECT_EQ(2 * (tm.tmHeight + tm.tmExternalLeading) + 4, rcRow.Height());
    r.SetFullRowSelect(FALSE);
    r.SelectItem(h, 0, FALSE);
    vtest::SendKey(r.m_hWnd, VK_RETURN);
    HWND hEdit = Editor();
    ASSERT_NE(nullptr, hEdit);
    EXPECT_TRUE(::GetWindowLongA(hEdit, GWL_STYLE) & ES_MULTILINE);
    SetKeyHeld(VK_CONTROL, true);
    ::SendMessageA(hEdit, WM_KEYDOWN, VK_RETURN, 1);
    ::SendMessageA(hEdit, WM_CHAR, '\n', 1);
    SetKeyHeld(VK_CONTROL, false);
    ASSERT_TRUE(::IsWindow(hEdit));
    vtest::SendChar(hEdit, 'b');
    vtest::SendKey(hEdit, VK_RETURN);
    vtest::PumpPending();
    EXPECT_FALSE(::IsWindow(hEdit));
    EXPECT_EQ(CString("a\r\nb"), r.GetItemText(h, 0));
}

TEST_F(ReportCtrlTest, DropDownEditors)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Colour", 0, 120);
    int nList = r.AddCellStyle(RCS_BUTTON | RCS_COMBO);
    int nCombo = r.AddCellStyle(RCS_BUTTON | RCS_COMBO | RCS_EDIT);
    for (int nStyle : { nList, nCombo }) {
        r.AddStyleChoice(nStyle, "Red", 1);
        r.AddStyleChoice(nStyle, "Green", 2);
        r.AddStyleChoice(nStyle, "Blue", 3);
    }
    DWORD h1 = r.InsertItem(RVI_ROOT, RVTI_LAST, "Purple", -1, nList);
    r.SetItemData(h1, 0, 9);
    DWORD h2 = r.InsertItem(RVI_ROOT, RVTI_LAST, "Grey", -1, nCombo);
    r.SetFullRowSelect(FALSE);
    CReportTestDlg& dlg = *m_pDlg;

    // Alt+Down opens the list; a value outside the choices comes first, selected.
    r.SelectItem(h1, 0, FALSE);
    MSG msg = { r.m_hWnd, WM_SYSKEYDOWN, VK_DOWN, 0x20000001 };
    EXPECT_TRUE(static_cast<CWnd&>(r).PreTranslateMessage(&msg)); // taken before a dialog could
    CComboBox* pCombo = static_cast<CComboBox*>(r.GetEditor());
    ASSERT_NE(nullptr, pCombo);
    EXPECT_EQ(IDC_REPORTCOMBO, (UINT)pCombo->GetDlgCtrlID());
    EXPECT_EQ(1, dlg.Count(RCN_BEGINDROPDOWN));
    EXPECT_EQ(4, pCombo->GetCount());
    EXPECT_EQ(0, pCombo->GetCurSel());
    CString str;
    pCombo->GetLBText(0, str);
    EXPECT_EQ(CString("Purple"), str);
    pCombo->SetCurSel(2);
    vtest::SendKey(pCombo->m_hWnd, VK_RETURN);
    vtest::PumpPending();
    EXPECT_EQ(CString("Green"), r.GetItemText(h1, 0));
    EXPECT_EQ(2u, r.GetItemData(h1, 0));
    EXPECT_EQ(nullptr, r.GetEditor());

    // Escape keeps the cell as it was.
    vtest::SendKey(r.m_hWnd, VK_F2);
    pCombo = static_cast<CComboBox*>(r.GetEditor());
    ASSERT_NE(nullptr, pCombo);
    pCombo->SetCurSel(0);
    vtest::SendKey(pCombo->m_hWnd, VK_ESCAPE);
    vtest::PumpPending();
    EXPECT_EQ(CString("Green"), r.GetItemText(h1, 0));
    EXPECT_EQ(1, dlg.Count(RCN_ENDEDIT));

    // Typed into the edit field and left by a click elsewhere: the typed text,
    // data 0, confirmed as with Enter.
    r.SelectItem(h2, 0, FALSE);
    vtest::SendKey(r.m_hWnd, VK_RETURN);
    pCombo = static_cast<CComboBox*>(r.GetEditor());
    EXPECT_EQ(3, dlg.Count(RCN_BEGINDROPDOWN));
    ASSERT_NE(nullptr, pCombo);
    HWND hEdit = ::GetWindow(pCombo->m_hWnd, GW_CHILD);
    ASSERT_NE(nullptr, hEdit);
    ::SendMessageA(hEdit, WM_CHAR, 'X', 1);
    r.SetFocus();
    vtest::PumpPending();
    const CReportTestDlg::CNote* pEnd = dlg.Last(RCN_ENDEDIT);
    ASSERT_NE(nullptr, pEnd);
    EXPECT_EQ(CString("GreyX"), pEnd->strText);
    EXPECT_EQ(0u, pEnd->dwData);
    EXPECT_EQ(CString("GreyX"), r.GetItemText(h2, 0));
}

// A list view made with LVS_OWNERDATA holds only the number of rows: the
// model's rows are drawn, moved and emptied all the same.
TEST_F(ReportCtrlTest, AnOwnerDataListShowsTheModelsRows)
{
    CReportTestDlg dlg(IDD_REPORT_OWNERDATA_TEST);
    ASSERT_TRUE(dlg.Create(IDD_REPORT_OWNERDATA_TEST));
    CReportCtrl& r = dlg.m_report;
    ASSERT_NE(0u, r.GetStyle() & LVS_OWNERDATA);
    r.InsertColumn(0, "Name", 0, 150);
    const DWORD hAlpha = r.InsertItem(RVI_ROOT, RVTI_LAST, "Alpha");
    const DWORD hBeta = r.InsertItem(RVI_ROOT, RVTI_LAST, "Beta");
    r.InsertItem(RVI_ROOT, RVTI_LAST, "Gamma");
    r.SetColors(RVCF_ITEM, hBeta, -1, RGB(0, 0, 255), RGB(0, 200, 0));
    EXPECT_EQ(3, (int)r.SendMessage(LVM_GETITEMCOUNT));
    // The green row is where the model has it, as rows come and go before it.
    auto greenRow = [&] {
        vtest::CWindowSnapshot shot;
        EXPECT_TRUE(shot.Capture(r.m_hWnd));
        for (int nRow = 0; nRow < r.GetModel().GetRowCount(); nRow++) {
            CRect rc;
            if (r.GetCellRect(r.GetModel().GetRowItem(nRow), 0, RVP_CELL, rc)
                && shot.Pixel(rc.right - 3, rc.top + 2) == RGB(0, 200, 0))
                return nRow;
        }
        return -1;
    };
    EXPECT_EQ(1, greenRow());
    r.DeleteItem(hAlpha);
    EXPECT_EQ(2, (int)r.SendMessage(LVM_GETITEMCOUNT));
    EXPECT_EQ(0, greenRow());
    r.InsertItem(RVI_ROOT, RVTI_FIRST, "Zero");
    r.InsertItem(RVI_ROOT, RVTI_FIRST, "Minus one");
    EXPECT_EQ(4, (int)r.SendMessage(LVM_GETITEMCOUNT));
    EXPECT_EQ(2, greenRow());
    r.SortColumn(0, TRUE); // Zero, Minus one, Gamma, Beta
    EXPECT_EQ(3, greenRow());
    // A click selects the row under it.
    CRect rcBeta;
    ASSERT_TRUE(r.GetCellRect(hBeta, 0, RVP_CELL, rcBeta));
    vtest::SendClick(r.m_hWnd, rcBeta.CenterPoint().x, rcBeta.CenterPoint().y);
    EXPECT_EQ(hBeta, r.GetSelectedItem());

    r.SetRedraw(FALSE);
    for (int i = 0; i < 50000; ++i)
        r.InsertItem(RVI_ROOT, RVTI_LAST, "more");
    r.SetRedraw(TRUE);
    EXPECT_EQ(50004, (int)r.SendMessage(LVM_GETITEMCOUNT));
    r.DeleteItem(RVI_ROOT);
    EXPECT_EQ(0, (int)r.SendMessage(LVM_GETITEMCOUNT));
    EXPECT_EQ(0, r.GetItemCount());
    dlg.DestroyWindow();
}

// While the redraw is held, rows and texts go in without a message each;
// an owner-data list view is told its count once, when the redraw comes back
// or when something asks it about rows, and at once when nothing is held.
TEST_F(ReportCtrlTest, HeldRedrawTellsTheRowCountOnce)
{
    CReportTestDlg dlg(IDD_REPORT_OWNERDATA_TEST);
    ASSERT_TRUE(dlg.Create(IDD_REPORT_OWNERDATA_TEST));
    CReportCtrl& r = dlg.m_report;
    r.InsertColumn(0, "Name", 0, 150);
    r.InsertColumn(1, "Author", 0, 100);
    auto listViewRows = [&] { return (int)::SendMessageA(r.m_hWnd, LVM_GETITEMCOUNT, 0, 0); };
    CSentCounter sent;
    ASSERT_TRUE(sent.IsHooked());
    r.SetRedraw(FALSE);
    DWORD hLast = RVI_NONE;
    for (int i = 0; i < 1000; ++i) {
        CString str;
        str.Format("Skin %04d", i);
        hLast = r.InsertItem(RVI_ROOT, RVTI_LAST, str);
        r.SetItemText(hLast, 1, "Nobody");
    }
    EXPECT_EQ(0, sent.Count(LVM_SETITEMCOUNT));
    EXPECT_EQ(0, sent.Count(LVM_REDRAWITEMS));
    EXPECT_EQ(0, listViewRows());
    // Asking about a row brings the count up to date first, the redraw still held.
    CRect rcLast;
    EXPECT_TRUE(r.GetCellRect(hLast, 1, RVP_TEXT, rcLast));
    EXPECT_EQ(1, sent.Count(LVM_SETITEMCOUNT));
    EXPECT_EQ(1000, listViewRows());
    EXPECT_EQ(1, r.GetModel().GetRedrawLock());
    for (int i = 0; i < 500; ++i)
        r.InsertItem(RVI_ROOT, RVTI_LAST, "more");
    // Locks nest: the count is told when the outermost one goes.
    r.SetRedraw(FALSE);
    r.DeleteItem(r.GetChildItem(RVI_ROOT, 0));
    r.SetRedraw(TRUE);
    EXPECT_EQ(1, sent.Count(LVM_SETITEMCOUNT));
    r.SetRedraw(TRUE);
    EXPECT_EQ(2, sent.Count(LVM_SETITEMCOUNT));
    EXPECT_EQ(1499, listViewRows());
    EXPECT_EQ(1499, r.GetItemCount());
    EXPECT_EQ(0, sent.Count(LVM_REDRAWITEMS));

    // Nothing held: each change is told at once.
    r.InsertItem(RVI_ROOT, RVTI_LAST, "one more");
    EXPECT_EQ(3, sent.Count(LVM_SETITEMCOUNT));
    EXPECT_EQ(1500, listViewRows());
    r.SetItemText(r.GetChildItem(RVI_ROOT, 0), 1, "Somebody");
    EXPECT_EQ(1, sent.Count(LVM_REDRAWITEMS));
    // Emptying under a held redraw is told once too.
    r.SetRedraw(FALSE);
    r.DeleteItem(RVI_ROOT);
    EXPECT_EQ(1500, listViewRows());
    r.SetRedraw(TRUE);
    EXPECT_EQ(0, listViewRows());
    EXPECT_EQ(4, sent.Count(LVM_SETITEMCOUNT));
    dlg.DestroyWindow();
}

// Whatever asks the list view about rows first while the redraw is held finds
// it told the held count, once: the count is not told again when the redraw
// comes back.
TEST_F(ReportCtrlTest, TheFirstQuestionDuringAHeldRedrawTellsTheCount)
{
    const int kRows = 1000;
    const struct {
        const char* pszAsked;
        std::function<void(CReportCtrl&, DWORD, const CSentCounter&)> ask;
    } askers[] = {
        { "GetItemCount",
            [&](CReportCtrl& r, DWORD, const CSentCounter&) { EXPECT_EQ(kRows, r.GetItemCount()); } },
        // The top index is asked for the first row shown.
        { "GetTopIndex",
            [](CReportCtrl& r, DWORD, const CSentCounter&) {
                EXPECT_EQ(r.GetChildItem(RVI_ROOT, 0), r.GetNextItem(RVI_NONE, RVGN_FIRSTVISIBLE));
            } },
        // The list view knows the row before it is asked to show it. (Wine's
        // does not scroll while its redraw is off, so where it ends is no sign.)
        { "EnsureVisible",
            [](CReportCtrl& r, DWORD hLast, const CSentCounter& sent) {
                r.EnsureVisible(hLast, 0);
                ASSERT_GE(sent.First(LVM_ENSUREVISIBLE), 0);
                EXPECT_GE(sent.First(LVM_SETITEMCOUNT), 0);
                EXPECT_LT(sent.First(LVM_SETITEMCOUNT), sent.First(LVM_ENSUREVISIBLE));
            } },
    };
    for (const auto& asker : askers) {
        SCOPED_TRACE(asker.pszAsked);
        CReportTestDlg dlg(IDD_REPORT_OWNERDATA_TEST);
        ASSERT_TRUE(dlg.Create(IDD_REPORT_OWNERDATA_TEST));
        CReportCtrl& r = dlg.m_report;
        r.InsertColumn(0, "Name", 0, 150);
        auto listViewRows = [&] { return (int)::SendMessageA(r.m_hWnd, LVM_GETITEMCOUNT, 0, 0); };
        CSentCounter sent;
        ASSERT_TRUE(sent.IsHooked());
        r.SetRedraw(FALSE);
        DWORD hLast = RVI_NONE;
        for (int i = 0; i < kRows; ++i)
            hLast = r.InsertItem(RVI_ROOT, RVTI_LAST, "Skin");
        EXPECT_EQ(0, listViewRows());
        asker.ask(r, hLast, sent);
        EXPECT_EQ(1, sent.Count(LVM_SETITEMCOUNT));
        EXPECT_EQ(kRows, listViewRows());
        EXPECT_EQ(1, r.GetModel().GetRedrawLock());
        r.SetRedraw(TRUE);
        EXPECT_EQ(1, sent.Count(LVM_SETITEMCOUNT));
        EXPECT_EQ(kRows, listViewRows());
        dlg.DestroyWindow();
    }
}

// A one-column list without header fits its column to the texts; rows that
// go in while the redraw is held are fitted once, when it comes back.
TEST_F(ReportCtrlTest, HeldRedrawFitsAOneColumnListWithoutHeaderOnce)
{
    CReportTestDlg dlg(IDD_REPORT_NOHEADER_TEST);
    ASSERT_TRUE(dlg.Create(IDD_REPORT_NOHEADER_TEST));
    CReportCtrl& r = dlg.m_report;
    ASSERT_NE(0u, r.GetStyle() & LVS_NOCOLUMNHEADER);
    r.InsertColumn(0, "", 0, 40);
    const int nBefore = r.GetColumnWidth(0);
    const CString strWide("A skin name much wider than its column");
    CSize sizeWide;
    HDC hDC = ::GetDC(r.m_hWnd);
    {
        CSelectGuard font(hDC, (HFONT)r.SendMessage(WM_GETFONT));
        ::GetTextExtentPoint32A(hDC, strWide, strWide.GetLength(), &sizeWide);
    }
    ::ReleaseDC(r.m_hWnd, hDC);
    ASSERT_GT(sizeWide.cx, nBefore);
    CSentCounter sent;
    r.SetRedraw(FALSE);
    DWORD hWide = RVI_NONE;
    for (int i = 0; i < 200; ++i) {
        DWORD h = r.InsertItem(RVI_ROOT, RVTI_LAST, i == 150 ? strWide : CString("ab"));
        if (i == 150)
            hWide = h;
    }
    EXPECT_EQ(nBefore, r.GetColumnWidth(0));
    EXPECT_EQ(0, sent.Count(LVM_SETCOLUMNWIDTH));
    r.SetRedraw(TRUE);
    EXPECT_EQ(1, sent.Count(LVM_SETCOLUMNWIDTH));
    EXPECT_GE(r.GetColumnWidth(0), sizeWide.cx);
    CRect rcText;
    ASSERT_TRUE(r.GetCellRect(hWide, 0, RVP_TEXTAREA, rcText));
    EXPECT_GE(rcText.Width(), sizeWide.cx);
    dlg.DestroyWindow();
}

// The fit leaves room for what stands before a row's text: its indent and
// squares (tree button, check box), in whichever row the widest text is.
TEST_F(ReportCtrlTest, AFitMakesRoomForTheIndentAndSquaresBeforeTheText)
{
    CReportTestDlg dlg(IDD_REPORT_NOHEADER_TEST);
    ASSERT_TRUE(dlg.Create(IDD_REPORT_NOHEADER_TEST));
    CReportCtrl& r = dlg.m_report;
    r.InsertColumn(0, "", 0, 40);
    r.SetTreeColumn(0);
    const int nCheck = r.AddCellStyle(RCS_CHECKBOX);
    const CString strWide("A skin name much wider than its column");
    const DWORD hTop = r.InsertItem(RVI_ROOT, RVTI_LAST, "ab");
    const DWORD hMid = r.InsertItem(hTop, RVTI_LAST, "ab");
    const DWORD hWide = r.InsertItem(hMid, RVTI_LAST, strWide, -1, nCheck);
    r.Expand(hTop, FALSE);
    r.Expand(hMid, FALSE);
    ASSERT_EQ(3, r.GetModel().GetRowCount());
    CSize sizeWide;
    HDC hDC = ::GetDC(r.m_hWnd);
    {
        CSelectGuard font(hDC, (HFONT)r.SendMessage(WM_GETFONT));
        ::GetTextExtentPoint32A(hDC, strWide, strWide.GetLength(), &sizeWide);
    }
    ::ReleaseDC(r.m_hWnd, hDC);
    CRect rcCell, rcCheck, rcText;
    ASSERT_TRUE(r.GetCellRect(hWide, 0, RVP_CELL, rcCell));
    ASSERT_TRUE(r.GetCellRect(hWide, 0, RVP_CHECKBOX, rcCheck));
    ASSERT_TRUE(r.GetCellRect(hWide, 0, RVP_TEXTAREA, rcText));
    // One step of indent, the tree button and the check box.
    ASSERT_GE(rcCell.Width() - rcText.Width(), 3 * rcCheck.Width());
    EXPECT_GE(rcText.Width(), sizeWide.cx);
    dlg.DestroyWindow();
}

// A list view that holds its rows still takes each as it comes, but no row
// is repainted one by one while the redraw is held.
TEST_F(ReportCtrlTest, HeldRedrawRepaintsNoRowOneByOne)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 150);
    r.InsertColumn(1, "Number", 1, 80);
    CSentCounter sent;
    r.SetRedraw(FALSE);
    for (int i = 0; i < 300; ++i) {
        DWORD h = r.InsertItem(RVI_ROOT, RVTI_LAST, "row");
        r.SetItemText(h, 1, "1");
        r.SetItemCheck(h, 1, 1);
    }
    r.SetRedraw(TRUE);
    EXPECT_EQ(300, sent.Count(LVM_INSERTITEMA));
    EXPECT_EQ(0, sent.Count(LVM_REDRAWITEMS));
    EXPECT_EQ(300, r.GetItemCount());
    r.SetItemText(r.GetChildItem(RVI_ROOT, 0), 1, "2");
    EXPECT_EQ(1, sent.Count(LVM_REDRAWITEMS));
}

// A paint asks the list view what it tells of itself (font, colours, images,
// the cells' places) once, not for every row and cell; each row is still
// drawn where the list view has it.
TEST_F(ReportCtrlTest, APaintAsksTheListViewOnceForAllItsRows)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 120);
    r.InsertColumn(1, "Number", 1, 80);
    r.InsertColumn(2, "More", 0, 80);
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
    std::vector<DWORD> items;
    for (int i = 0; i < 40; ++i) {
        items.push_back(r.InsertItem(RVI_ROOT, RVTI_LAST, "row"));
        r.SetColors(RVCF_ITEM, items.back(), -1, RGB(255, 255, 255), colours[i % 3]);
    }
    r.SendMessage(WM_VSCROLL, SB_LINEDOWN); // the first row drawn is not row 0
    vtest::PumpPending();
    const int nTop = (int)r.SendMessage(LVM_GETTOPINDEX);
    ASSERT_GT(nTop, 0);
    CSentCounter sent;
    vtest::CWindowSnapshot shot;
    ASSERT_TRUE(shot.Capture(r.m_hWnd));
    const int nDrawn = sent.Count(WM_DRAWITEM);
    EXPECT_GE(nDrawn, 10);
    EXPECT_EQ(3, sent.Count(LVM_GETSUBITEMRECT));
    EXPECT_EQ(3, sent.Count(LVM_GETCOLUMNWIDTH));
    EXPECT_EQ(1, sent.Count(WM_GETFONT));
    EXPECT_EQ(2, sent.Count(LVM_GETBKCOLOR)); // once for the rows, once for the background
    CRect rcClient;
    r.GetClientRect(&rcClient);
    int nChecked = 0;
    for (int nRow = nTop; nRow < nTop + nDrawn; ++nRow) {
        for (int nColumn = 0; nColumn < 3; ++nColumn) {
            CRect rc;
            ASSERT_TRUE(r.GetCellRect(items[(size_t)nRow], nColumn, RVP_CELL, rc));
            if (rc.bottom > rcClient.bottom)
                continue; // the last row shows in part
            nChecked++;
            EXPECT_EQ(colours[nRow % 3], shot.Pixel(rc.left + 1, rc.top + 1)) << nRow << " " << nColumn;
            EXPECT_EQ(colours[nRow % 3], shot.Pixel(rc.right - 2, rc.bottom - 2)) << nRow << " " << nColumn;
        }
    }
    EXPECT_GE(nChecked, 3 * (nDrawn - 2)); // every row drawn whole
}

// Emptying a list tells its owner of every item, each before its children,
// through the owner's window procedure: no hooked message for any of them,
// nor the list view's own notice for each row. A handler may delete other
// items meanwhile.
TEST_F(ReportCtrlTest, ItemDeletedNoticesReachTheOwnerWithoutTheThreadsHooks)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 150);
    std::vector<DWORD> order;
    for (int i = 0; i < 100; ++i) {
        DWORD hParent = r.InsertItem(RVI_ROOT, RVTI_LAST, "parent");
        order.push_back(hParent);
        for (int j = 0; j < 3; ++j)
            order.push_back(r.InsertItem(hParent, RVTI_LAST, "child"));
        if (i % 2 == 0)
            r.Expand(hParent, FALSE);
    }
    CSentCounter sent;
    r.DeleteItem(RVI_ROOT);
    EXPECT_EQ(0, sent.Notices((UINT)RCN_ITEMDELETED));
    EXPECT_EQ(0, sent.Notices((UINT)LVN_DELETEITEM));
    std::vector<DWORD> told;
    for (const auto& note : m_pDlg->m_notes)
        if (note.nCode == (UINT)RCN_ITEMDELETED) {
            told.push_back(note.hItem);
            EXPECT_EQ(-1, note.nColumn);
        }
    EXPECT_EQ(order, told);
    EXPECT_EQ(0, r.GetItemCount());

    // A handler that deletes the next item while it is told of one.
    m_pDlg->m_notes.clear();
    std::vector<DWORD> items;
    for (int i = 0; i < 10; ++i)
        items.push_back(r.InsertItem(RVI_ROOT, RVTI_LAST, "again"));
    m_pDlg->m_onNotify = [&](NMREPORT& nm) {
        if (nm.hdr.code == (UINT)RCN_ITEMDELETED && nm.hItem == items[2])
            r.DeleteItem(items[3]);
        return 0;
    };
    r.DeleteItem(RVI_ROOT);
    m_pDlg->m_onNotify = nullptr;
    EXPECT_EQ(10, m_pDlg->Count(RCN_ITEMDELETED));
    EXPECT_EQ(0, r.GetModel().GetItemCount());
    EXPECT_EQ(0, r.GetItemCount());
    EXPECT_EQ(0, sent.Notices((UINT)RCN_ITEMDELETED));
}

// A window of another thread that records the items it is told were deleted.
struct COwnerOnAThread {
    HWND hWnd = nullptr;
    DWORD nThread = 0;
    std::vector<DWORD> told;
    bool bOtherThread = true;
    HANDLE hReady = nullptr;
    static COwnerOnAThread s_owner;
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == (UINT)RCN_ITEMDELETED) {
            s_owner.told.push_back(((NMREPORT*)lParam)->hItem);
            s_owner.bOtherThread = s_owner.bOtherThread && ::GetCurrentThreadId() == s_owner.nThread;
            return 0;
        }
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
};
COwnerOnAThread COwnerOnAThread::s_owner;

// An owner on another thread is sent each notice, which it handles on its own thread.
TEST_F(ReportCtrlTest, ItemDeletedNoticesToAnOwnerOnAnotherThreadAreSent)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 150);
    std::vector<DWORD> items;
    for (int i = 0; i < 50; ++i)
        items.push_back(r.InsertItem(RVI_ROOT, RVTI_LAST, "row"));

    COwnerOnAThread& owner = COwnerOnAThread::s_owner;
    owner.hReady = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WNDCLASSA wc = {};
    wc.lpszClassName = "ReportTestOwner";
    wc.lpfnWndProc = COwnerOnAThread::WndProc;
    ::RegisterClassA(&wc);
    std::thread thread([&] {
        owner.nThread = ::GetCurrentThreadId();
        owner.hWnd
            = ::CreateWindowExA(0, "ReportTestOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ::SetEvent(owner.hReady);
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        ::DestroyWindow(owner.hWnd);
    });
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(owner.hReady, 5000));
    ASSERT_NE(nullptr, owner.hWnd);
    r.SetNotifyWindow(CWnd::FromHandle(owner.hWnd));
    r.DeleteItem(RVI_ROOT);
    ::PostThreadMessageA(owner.nThread, WM_QUIT, 0, 0);
    thread.join();
    ::CloseHandle(owner.hReady);
    ::UnregisterClassA("ReportTestOwner", nullptr);
    EXPECT_EQ(items, owner.told);
    EXPECT_TRUE(owner.bOtherThread);
    EXPECT_EQ(0, m_pDlg->Count(RCN_ITEMDELETED));
    r.SetNotifyWindow(m_pDlg);
}

// An item holds an alarm only once one is given; before, it has the record
// a new alarm starts with.
TEST_F(ReportCtrlTest, AnItemWithoutAnAlarmGivesTheDefaultRecord)
{
    CReportCtrl& r = R();
    r.InsertColumn(0, "Name", 0, 150);
    const DWORD hA = r.InsertItem(RVI_ROOT, RVTI_LAST, "a");
    const DWORD hB = r.InsertItem(RVI_ROOT, RVTI_LAST, "b");
    const CAlarm fresh;
    EXPECT_EQ(fresh.m_strName, r.GetItemAlarm(hA).m_strName);
    EXPECT_EQ(fresh.m_nRepeat, r.GetItemAlarm(hA).m_nRepeat);
    CAlarm alarm;
    alarm.m_strName = "Tea";
    alarm.m_nRepeat = ALARM_DAILY;
    r.SetItemAlarm(hA, alarm);
    alarm.m_strName = "Coffee";
    r.SetItemAlarm(hA, alarm); // assigned into the one it holds
    EXPECT_EQ(CString("Coffee"), r.GetItemAlarm(hA).m_strName);
    EXPECT_EQ(ALARM_DAILY, r.GetItemAlarm(hA).m_nRepeat);
    EXPECT_EQ(nullptr, r.GetModel().Find(hB)->m_pAlarm);
    EXPECT_EQ(fresh.m_strName, r.GetItemAlarm(hB).m_strName);
    EXPECT_EQ(fresh.m_strName, r.GetItemAlarm(0x7777).m_strName); // no such item
}

} // namespace
