// The report list's drop-down editor sits exactly over its cell: its closed
// box is the cell raised by 2 pixels, whatever the font and the row's lines,
// so that its paint can draw the neighbouring rows into its edge lines.
#include "controls/reportctrl.h"

#include <gtest/gtest.h>

#include <string>

#include "report_dialog.h"
#include "support/win_window.h"

namespace {

std::string Text(const CRect& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " - " + std::to_string(rc.right) + ","
        + std::to_string(rc.bottom);
}

class ReportComboTest : public ReportWindowTest {
protected:
    void SetUp() override
    {
        ReportWindowTest::SetUp();
        ASSERT_TRUE(m_dlg.Create(IDD_REPORT_TEST));
        vtest::PumpPending();
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        ReportWindowTest::TearDown();
    }

    CReportTestDlg m_dlg;
};

TEST_F(ReportComboTest, ClosedBoxIsTheCellRaisedByTwoPixels)
{
    CReportCtrl& r = m_dlg.m_report;
    r.InsertColumn(0, "Colour", 0, 120);
    r.InsertColumn(1, "Name", 0, 100);
    const int nList = r.AddCellStyle(RCS_BUTTON | RCS_COMBO);
    const int nCombo = r.AddCellStyle(RCS_BUTTON | RCS_COMBO | RCS_EDIT);
    for (int nStyle : { nList, nCombo }) {
        r.AddStyleChoice(nStyle, "Red", 1);
        r.AddStyleChoice(nStyle, "Green", 2);
    }
    r.InsertItem(RVI_ROOT, RVTI_LAST, "Above", -1, -1);
    const DWORD hList = r.InsertItem(RVI_ROOT, RVTI_LAST, "Red", -1, nList);
    const DWORD hCombo = r.InsertItem(RVI_ROOT, RVTI_LAST, "Green", -1, nCombo);
    r.InsertItem(RVI_ROOT, RVTI_LAST, "Below", -1, -1);
    r.SetFullRowSelect(FALSE);

    CFont large;
    ASSERT_TRUE(large.CreatePointFont(160, "Arial"));
    const HFONT hDialogFont = (HFONT)r.SendMessage(WM_GETFONT);
    int nHeights[2] = { 0, 0 };
    for (int nFont = 0; nFont < 2; ++nFont) {
        r.SendMessage(WM_SETFONT, nFont == 0 ? (WPARAM)hDialogFont : (WPARAM)large.GetSafeHandle(), TRUE);
        for (int nLines : { 1, 2 }) {
            r.SetLinesPerRow(nLines);
            for (DWORD hItem : { hList, hCombo }) {
                SCOPED_TRACE(testing::Message() << "font " << nFont << ", lines " << nLines << ", item " << hItem);
                r.SelectItem(hItem, 0, FALSE);
                vtest::SendKey(r.m_hWnd, VK_F2);
                CComboBox* pCombo = static_cast<CComboBox*>(r.GetEditor());
                ASSERT_NE(nullptr, pCombo);
                EXPECT_EQ(IDC_REPORTCOMBO, (UINT)pCombo->GetDlgCtrlID());
                // Closing the list would end the editor; the list is a window
                // of its own, so the combo's window is the closed box anyway.
                EXPECT_TRUE(pCombo->GetDroppedState());
                CRect rcCell;
                ASSERT_TRUE(r.GetCellRect(hItem, 0, RVP_TEXTAREA, rcCell));
                rcCell.top -= 2;
                CRect rcBox;
                pCombo->GetWindowRect(&rcBox);
                r.ScreenToClient(&rcBox);
                EXPECT_EQ(Text(rcCell), Text(rcBox));
                if (nLines == 1 && hItem == hList)
                    nHeights[nFont] = rcBox.Height();
                vtest::SendKey(pCombo->m_hWnd, VK_ESCAPE);
                vtest::PumpPending();
                EXPECT_EQ(nullptr, r.GetEditor());
            }
        }
    }
    // The larger font really made a taller cell.
    EXPECT_LT(nHeights[0], nHeights[1]);
    r.SendMessage(WM_SETFONT, (WPARAM)hDialogFont, FALSE);
}

} // namespace
