// The colour picker, the colour button and their popup inside a dialog from
// a template: opened by a click, driven by keys and the mouse, with the
// notifications in order; placement at the screen's edges; the colour dialog
// through the seams; a popup that cannot be made or whose button goes.
#include <gtest/gtest.h>

#include "controls_dialog.h"
#include "controls/namedcolours.h"
#include "image/picture.h"
#include "support/win_window.h"

namespace {

const COLORREF kAuto = CLR_DEFAULT;
const UINT SELCHANGE = UM_COLOR_SELCHANGE, DROPDOWN = UM_COLOR_DROPDOWN, CLOSEUP = UM_COLOR_CLOSEUP,
           SELENDOK = UM_COLOR_SELENDOK, SELENDCANCEL = UM_COLOR_SELENDCANCEL;

// A colour dialog that answers with a chosen colour.
class CChoosingSeams : public CRecordingSeams {
public:
    COLORREF m_crAnswer = RGB(0x12, 0x34, 0x56);
    BOOL ChooseColor(CHOOSECOLORA* pcc) override {
        CRecordingSeams::ChooseColor(pcc);
        pcc->rgbResult = m_crAnswer;
        return TRUE;
    }
};

class ColourTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The real pointer, wherever an earlier program on the display left it,
        // must not rest where a popup opens and highlight a cell by itself.
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        m_nGdi = AfxGetLiveGdiObjectCount();
        m_pOldSeams = AfxSetSeams(&m_seams);
        ASSERT_TRUE(m_dlg.Create(IDD_CONTROLS_TEST));
    }
    void TearDown() override {
        if (m_dlg.GetSafeHwnd() != nullptr)
            m_dlg.DestroyWindow();
        vtest::PumpPending();
        AfxSetSeams(m_pOldSeams);
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }

    CButton& Control(int nWhich) { return nWhich == 0 ? (CButton&)m_dlg.m_picker : (CButton&)m_dlg.m_button; }
    int ControlID(int nWhich) { return nWhich == 0 ? IDC_TEST_PICKER : IDC_TEST_COLORBUTTON; }
    COLORREF ColourOf(int nWhich) {
        return nWhich == 0 ? m_dlg.m_picker.GetColour() : m_dlg.m_button.GetColor();
    }
    void SetColourOf(int nWhich, COLORREF cr) {
        if (nWhich == 0)
            m_dlg.m_picker.SetColour(cr);
        else
            m_dlg.m_button.SetColor(cr);
    }

    // The popup a button opened, if it is still there.
    struct CSearch {
        CWnd* pButton;
        CColourPopup* pFound;
    };
    static BOOL CALLBACK FindOne(HWND h, LPARAM l) {
        auto* p = reinterpret_cast<CSearch*>(l);
        CColourPopup* pPopup = DYNAMIC_DOWNCAST(CColourPopup, CWnd::FromHandlePermanent(h));
        if (pPopup != nullptr && pPopup->GetParentButton() == p->pButton)
            p->pFound = pPopup;
        return p->pFound == nullptr;
    }
    static CColourPopup* FindPopup(CWnd& button) {
        CSearch search{&button, nullptr};
        ::EnumThreadWindows(::GetCurrentThreadId(), FindOne, (LPARAM)&search);
        return search.pFound;
    }

    // A popup ends when the application loses the activation; a window that
    // another program shows on the shared display can take it just then, so
    // the click is repeated (from a clean record) when no popup stays up.
    CColourPopup* ClickOpen(CWnd& button) {
        CRect rc;
        button.GetClientRect(&rc);
        CColourPopup* pPopup = nullptr;
        for (int nTry = 0; nTry < 3 && pPopup == nullptr; ++nTry) {
            if (nTry > 0)
                m_dlg.m_notes.clear();
            ::SetForegroundWindow(m_dlg.m_hWnd);
            vtest::SendClick(button.m_hWnd, rc.Width() / 2, rc.Height() / 2);
            vtest::PumpUntil([&] { return (pPopup = FindPopup(button)) != nullptr; }, 5000);
        }
        return pPopup;
    }

    static CPoint CellCentre(CColourPopup* pPopup, int nIndex) {
        RECT rc{};
        pPopup->GetGrid().CellRect(nIndex, rc);
        return CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    CControlsDialog m_dlg;
    CRecordingSeams m_seams;
    CSystemSeams* m_pOldSeams = nullptr;
    long m_nGdi = 0;
};

TEST_F(ColourTest, KeysDriveThePopupAndEachStepIsReportedInOrder) {
    for (int nWhich = 0; nWhich < 2; ++nWhich) {
        SCOPED_TRACE(nWhich == 0 ? "picker" : "colour button");
        CButton& button = Control(nWhich);
        const int id = ControlID(nWhich);
        SetColourOf(nWhich, 0x00FFFF);  // Yellow, cell 26
        m_dlg.m_notes.clear();
        CColourPopup* pPopup = ClickOpen(button);
        ASSERT_NE(nullptr, pPopup);
        EXPECT_EQ(26, pPopup->GetChosen());
        EXPECT_EQ(POPUP_NONE, pPopup->GetHighlight());
        HWND hPopup = pPopup->m_hWnd;
        for (UINT nKey : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT})
            vtest::SendKey(hPopup, nKey);  // custom box, default box, cell 0, cell 1
        EXPECT_EQ(1, pPopup->GetHighlight());
        vtest::SendKey(hPopup, VK_RETURN);
        EXPECT_TRUE(vtest::PumpUntil([&] { return !::IsWindow(hPopup); }));
        const std::vector<COLOURNOTE> expected = {
            {DROPDOWN, 0x00FFFF, id}, {SELCHANGE, 0x00FFFF, id}, {SELCHANGE, kAuto, id},
            {SELCHANGE, 0x000000, id}, {SELCHANGE, 0x002AA5, id}, {CLOSEUP, 0x002AA5, id},
            {SELENDOK, 0x002AA5, id}, {SELCHANGE, 0x002AA5, id},
        };
        EXPECT_EQ(expected, m_dlg.m_notes);
        EXPECT_EQ(0x002AA5u, ColourOf(nWhich));
        EXPECT_EQ(nullptr, FindPopup(button));
    }
    EXPECT_FALSE(m_dlg.m_picker.IsPopupOpen());
    EXPECT_FALSE(m_dlg.m_button.IsPopupOpen());
}

// Deactivates the application while a popup is being destroyed, as when
// another program's window takes the activation the popup gives up.
HHOOK g_hDeactivate = nullptr;
LRESULT CALLBACK DeactivateOnDestroy(int nCode, WPARAM wParam, LPARAM lParam) {
    auto* pMsg = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg->message == WM_DESTROY &&
        DYNAMIC_DOWNCAST(CColourPopup, CWnd::FromHandlePermanent(pMsg->hwnd)) != nullptr)
        ::SendMessageA(pMsg->hwnd, WM_ACTIVATEAPP, FALSE, 0);
    return ::CallNextHookEx(g_hDeactivate, nCode, wParam, lParam);
}

TEST_F(ColourTest, ConfirmingTheCurrentColourChangesNothing) {
    g_hDeactivate = ::SetWindowsHookExA(WH_CALLWNDPROC, DeactivateOnDestroy, nullptr, ::GetCurrentThreadId());
    for (int nWhich = 0; nWhich < 2; ++nWhich) {
        SCOPED_TRACE(nWhich);
        const int id = ControlID(nWhich);
        SetColourOf(nWhich, 0xFF0000);  // Blue, cell 13
        m_dlg.m_notes.clear();
        CColourPopup* pPopup = ClickOpen(Control(nWhich));
        ASSERT_NE(nullptr, pPopup);
        HWND hPopup = pPopup->m_hWnd;
        const CPoint pt = CellCentre(pPopup, 13);
        ::SendMessageA(hPopup, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        ::SendMessageA(hPopup, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));  // a click inside confirms
        EXPECT_TRUE(vtest::PumpUntil([&] { return !::IsWindow(hPopup); }));
        const std::vector<COLOURNOTE> expected = {
            {DROPDOWN, 0xFF0000, id}, {SELCHANGE, 0xFF0000, id}, {CLOSEUP, 0xFF0000, id}, {SELENDOK, 0xFF0000, id}};
        EXPECT_EQ(expected, m_dlg.m_notes);  // and no cancel after it
    }
    ::UnhookWindowsHookEx(g_hDeactivate);
}

TEST_F(ColourTest, EscapeAndOutsideClicksRestoreTheInitialColour) {
    // Track selection lets the button show each highlighted colour until the end.
    m_dlg.m_picker.SetTrackSelection(TRUE);
    m_dlg.m_button.SetTrackSelection(TRUE);
    struct Case {
        int nWhich;
        bool bEscape;  // else a click outside
    } cases[] = {{0, true}, {1, true}, {0, false}, {1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nWhich << c.bEscape);
        const int id = ControlID(c.nWhich);
        SetColourOf(c.nWhich, 0x0000FF);
        m_dlg.m_notes.clear();
        CColourPopup* pPopup = ClickOpen(Control(c.nWhich));
        ASSERT_NE(nullptr, pPopup);
        HWND hPopup = pPopup->m_hWnd;
        vtest::SendKey(hPopup, VK_LEFT);  // the default box
        vtest::SendKey(hPopup, VK_RIGHT); // cell 0, black
        EXPECT_EQ(0x000000u, ColourOf(c.nWhich));
        if (c.bEscape) {
            vtest::SendKey(hPopup, VK_ESCAPE);
        } else {
            CRect rc;
            pPopup->GetClientRect(&rc);
            ::SendMessageA(hPopup, WM_LBUTTONUP, 0, MAKELPARAM(rc.right + 5, rc.bottom + 5));
        }
        EXPECT_TRUE(vtest::PumpUntil([&] { return !::IsWindow(hPopup); }));
        EXPECT_EQ(0x0000FFu, ColourOf(c.nWhich));
        const std::vector<COLOURNOTE> expected = {{DROPDOWN, 0x0000FF, id}, {SELCHANGE, kAuto, id},
                                                  {SELCHANGE, 0x000000, id}, {CLOSEUP, 0x0000FF, id},
                                                  {SELENDCANCEL, 0x0000FF, id}};
        EXPECT_EQ(expected, m_dlg.m_notes);
    }
}

TEST_F(ColourTest, AutomaticPaintsTheDefaultSwatch) {
    struct Case {
        int nWhich;
        COLORREF crSwatch;
    } cases[] = {{0, ::GetSysColor(COLOR_3DFACE)}, {1, ::GetSysColor(COLOR_APPWORKSPACE)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nWhich);
        SetColourOf(c.nWhich, RGB(255, 0, 255));
        vtest::CWindowSnapshot before;
        ASSERT_TRUE(before.Capture(Control(c.nWhich).m_hWnd));
        const int nMagenta = before.CountPixels(RGB(255, 0, 255));
        EXPECT_GT(nMagenta, 50);
        CColourPopup* pPopup = ClickOpen(Control(c.nWhich));
        ASSERT_NE(nullptr, pPopup);
        HWND hPopup = pPopup->m_hWnd;
        RECT rc{};
        ASSERT_TRUE(pPopup->GetGrid().CellRect(POPUP_DEFAULT, rc));
        const CPoint pt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::SendMessageA(hPopup, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        ::SendMessageA(hPopup, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        EXPECT_TRUE(vtest::PumpUntil([&] { return !::IsWindow(hPopup); }));
        EXPECT_EQ((COLORREF)kAuto, ColourOf(c.nWhich));
        vtest::CWindowSnapshot after;
        ASSERT_TRUE(after.Capture(Control(c.nWhich).m_hWnd));
        EXPECT_EQ(0, after.CountPixels(RGB(255, 0, 255)));
        // The swatch's middle shows the default colour.
        EXPECT_EQ(c.crSwatch, after.Pixel(after.Width() / 3, after.Height() / 2));
    }
}

TEST_F(ColourTest, MoreColoursGoesThroughTheColourDialogSeam) {
    struct Case {
        bool bAccept;
        COLORREF crEnd;
        UINT nLast;
    } cases[] = {{false, 0x00FF00, SELENDCANCEL}, {true, RGB(0x12, 0x34, 0x56), SELCHANGE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bAccept);
        CChoosingSeams choosing;
        CSeamsScope scope(c.bAccept ? (CSystemSeams*)&choosing : (CSystemSeams*)&m_seams);
        m_seams.m_calls.clear();
        m_dlg.m_picker.SetColour(0x00FF00);
        m_dlg.m_notes.clear();
        CColourPopup* pPopup = ClickOpen(m_dlg.m_picker);
        ASSERT_NE(nullptr, pPopup);
        HWND hPopup = pPopup->m_hWnd;
        vtest::SendKey(hPopup, VK_UP);
        vtest::SendKey(hPopup, VK_UP);  // default box, then "More Colours..."
        EXPECT_EQ(POPUP_CUSTOM, pPopup->GetHighlight());
        EXPECT_EQ((COLOURNOTE{SELCHANGE, 0x00FF00, IDC_TEST_PICKER}), m_dlg.m_notes.back());  // the initial colour
        vtest::SendKey(hPopup, VK_SPACE);
        EXPECT_TRUE(vtest::PumpUntil([&] { return !::IsWindow(hPopup); }));
        const CRecordingSeams& seams = c.bAccept ? choosing : m_seams;
        ASSERT_EQ(1, seams.CountCalls("ChooseColor"));
        EXPECT_EQ("ChooseColor 0xFF00", seams.m_calls.back());
        EXPECT_EQ(c.crEnd, m_dlg.m_picker.GetColour());
        EXPECT_EQ(c.nLast, m_dlg.m_notes.back().nMessage);
        EXPECT_EQ(c.crEnd, m_dlg.m_notes.back().crColour);
    }
}

TEST_F(ColourTest, PopupStaysOnTheScreenNearItsEdges) {
    const int cxScreen = ::GetSystemMetrics(SM_CXSCREEN), cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        bool bRight, bBottom;
    } cases[] = {{true, false}, {false, true}, {true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bRight << c.bBottom);
        CRect rcDlg;
        m_dlg.GetWindowRect(&rcDlg);
        CRect rcButton;
        m_dlg.m_picker.GetWindowRect(&rcButton);
        // Put the picker a few pixels from the chosen screen edges.
        const int x = c.bRight ? cxScreen - (rcButton.right - rcDlg.left) - 2 : 10;
        const int y = c.bBottom ? cyScreen - (rcButton.bottom - rcDlg.top) - 2 : 10;
        m_dlg.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_dlg.m_picker.GetWindowRect(&rcButton);
        CColourPopup* pPopup = ClickOpen(m_dlg.m_picker);
        ASSERT_NE(nullptr, pPopup);
        CRect rcPopup;
        pPopup->GetWindowRect(&rcPopup);
        EXPECT_LE(rcPopup.right, cxScreen);
        EXPECT_GE(rcPopup.left, 0);
        if (c.bRight)
            EXPECT_EQ(cxScreen, rcPopup.right);  // moved left by exactly the excess
        else
            EXPECT_EQ(rcButton.left, rcPopup.left);
        if (c.bBottom)
            EXPECT_EQ(rcButton.top, rcPopup.bottom);  // opens above the button
        else
            EXPECT_EQ(rcButton.bottom, rcPopup.top);
        vtest::SendKey(pPopup->m_hWnd, VK_ESCAPE);
        vtest::PumpPending();
    }
}

// Vetoes the creation of top-level windows, as a system out of resources would.
HHOOK g_hVeto = nullptr;
LRESULT CALLBACK VetoPopups(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND) {
        auto* pCreate = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if (pCreate->lpcs->style & WS_POPUP)
            return 1;
    }
    return ::CallNextHookEx(g_hVeto, nCode, wParam, lParam);
}

TEST_F(ColourTest, APopupThatCannotBeMadeIsFreedAndTheButtonIsNotStuck) {
    for (int nWhich = 0; nWhich < 2; ++nWhich) {
        SCOPED_TRACE(nWhich);
        const long nGdi = AfxGetLiveGdiObjectCount();
        m_dlg.m_notes.clear();
        g_hVeto = ::SetWindowsHookExA(WH_CBT, VetoPopups, nullptr, ::GetCurrentThreadId());
        CRect rc;
        Control(nWhich).GetClientRect(&rc);
        vtest::SendClick(Control(nWhich).m_hWnd, rc.Width() / 2, rc.Height() / 2);
        ::UnhookWindowsHookEx(g_hVeto);
        vtest::PumpPending();
        EXPECT_EQ(nullptr, FindPopup(Control(nWhich)));
        EXPECT_TRUE(m_dlg.m_notes.empty());  // no drop-down without a popup
        EXPECT_FALSE(nWhich == 0 ? m_dlg.m_picker.IsPopupOpen() : m_dlg.m_button.IsPopupOpen());
        // Its font and palette went with it.
        EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    }
    // The next click works.
    CColourPopup* pPopup = ClickOpen(m_dlg.m_picker);
    ASSERT_NE(nullptr, pPopup);
    vtest::SendKey(pPopup->m_hWnd, VK_ESCAPE);
}

TEST_F(ColourTest, APopupNeverOutlivesItsButton) {
    // The button goes while its popup is open: the popup goes with it.
    CColourPopup* pPopup = ClickOpen(m_dlg.m_button);
    ASSERT_NE(nullptr, pPopup);
    HWND hPopup = pPopup->m_hWnd;
    m_dlg.m_button.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hPopup));
    vtest::PumpPending();

    // A popup that went on its own is not touched by its button afterwards.
    pPopup = ClickOpen(m_dlg.m_picker);
    ASSERT_NE(nullptr, pPopup);
    hPopup = pPopup->m_hWnd;
    pPopup->DestroyWindow();
    vtest::PumpPending();
    EXPECT_FALSE(::IsWindow(hPopup));
    m_dlg.m_notes.clear();
    pPopup = ClickOpen(m_dlg.m_picker);  // reopening closes nothing that is gone
    ASSERT_NE(nullptr, pPopup);
    hPopup = pPopup->m_hWnd;
    vtest::SendKey(hPopup, VK_ESCAPE);
    EXPECT_FALSE(::IsWindow(hPopup));
    vtest::PumpPending();
    // The whole dialog goes from inside a notification of the popup, while the
    // popup is still in its own handler: first a highlight move, then Enter.
    struct Case {
        UINT nCloseOn;
        UINT nKey;
    } cases[] = {{UM_COLOR_SELCHANGE, VK_LEFT}, {UM_COLOR_SELENDOK, VK_RETURN}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nCloseOn);
        if (m_dlg.GetSafeHwnd() == nullptr)
            ASSERT_TRUE(m_dlg.Create(IDD_CONTROLS_TEST));
        m_dlg.m_nCloseOn = c.nCloseOn;
        pPopup = ClickOpen(m_dlg.m_picker);
        ASSERT_NE(nullptr, pPopup);
        hPopup = pPopup->m_hWnd;
        vtest::SendKey(hPopup, VK_LEFT);  // "Automatic"
        if (c.nKey != VK_LEFT)
            vtest::SendKey(hPopup, c.nKey);
        EXPECT_EQ(nullptr, m_dlg.GetSafeHwnd());
        EXPECT_FALSE(::IsWindow(hPopup));
        vtest::PumpPending();
    }
}

TEST_F(ColourTest, TextModePickerAndDisabledButtonsPaint) {
    // The picker shows its window text centred in its text colour.
    m_dlg.m_pickerText.SetBkColour(RGB(255, 255, 255));
    m_dlg.m_pickerText.SetTextColour(RGB(255, 0, 0));
    vtest::CWindowSnapshot shot;
    ASSERT_TRUE(shot.Capture(m_dlg.m_pickerText.m_hWnd));
    EXPECT_GT(shot.CountPixels(RGB(255, 0, 0)), 5);
    EXPECT_GT(shot.CountPixels(RGB(255, 255, 255)), 50);
    // Disabled: no swatch on the colour button, the face colour on the picker.
    m_dlg.m_button.SetColor(RGB(255, 0, 255));
    m_dlg.m_picker.SetColour(RGB(255, 0, 255));
    m_dlg.m_button.EnableWindow(FALSE);
    m_dlg.m_picker.EnableWindow(FALSE);
    for (CWnd* pWnd : {(CWnd*)&m_dlg.m_button, (CWnd*)&m_dlg.m_picker}) {
        ASSERT_TRUE(shot.Capture(pWnd->m_hWnd));
        EXPECT_EQ(0, shot.CountPixels(RGB(255, 0, 255)));
    }
}

}  // namespace

namespace {

TEST_F(ColourTest, ComboBoxLooksUpByNameAndValue) {
    CColorComboBox& combo = m_dlg.m_combo;
    ASSERT_EQ(kNamedColourCount, combo.GetCount());
    // Nothing selected: Black's value and no name.
    combo.SetCurSel(-1);
    EXPECT_EQ(0u, combo.GetSelectedColorValue());
    EXPECT_STREQ("", combo.GetSelectedColorName());
    struct Case {
        const char* pszSet;  // by name, else by value
        COLORREF crSet;
        const char* pszName;
        COLORREF crValue;
    } cases[] = {
        {"lightgrey", 0, "LightGrey", 0xD3D3D3},
        {"TOMATO", 0, "Tomato", 0x4763FF},
        {nullptr, 0xFFFF00, "Aqua", 0xFFFF00},  // Aqua and Cyan share it: the first
        {nullptr, 0xFF00FF, "Fuchsia", 0xFF00FF},
        {"No Such Colour", 0, "Fuchsia", 0xFF00FF},  // nothing changes
        {nullptr, 0x123457, "Fuchsia", 0xFF00FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszSet ? c.pszSet : "by value");
        if (c.pszSet != nullptr)
            combo.SetSelectedColorName(c.pszSet);
        else
            combo.SetSelectedColorValue(c.crSet);
        EXPECT_STREQ(c.pszName, combo.GetSelectedColorName());
        EXPECT_EQ(c.crValue, combo.GetSelectedColorValue());
    }
    // Removal by name (any case) and by value takes the first match only.
    EXPECT_TRUE(combo.RemoveNamedColor("aqua"));
    EXPECT_FALSE(combo.RemoveNamedColor("aqua"));
    combo.SetSelectedColorValue(0xFFFF00);
    EXPECT_STREQ("Cyan", combo.GetSelectedColorName());
    EXPECT_TRUE(combo.RemoveColorValue(0xFFFF00));
    EXPECT_FALSE(combo.RemoveColorValue(0xFFFF00));
    EXPECT_EQ(kNamedColourCount - 2, combo.GetCount());
    const int nAdded = combo.AddNamedColor("A very long colour name beyond thirty-two characters", 0x010203);
    ASSERT_GE(nAdded, 0);
    combo.SetSelectedColorValue(0x010203);
    EXPECT_STREQ("A very long colour name beyond thirty-two characters", combo.GetSelectedColorName());
    combo.AddNamedColours();
    EXPECT_EQ(kNamedColourCount, combo.GetCount());
}

TEST_F(ColourTest, ComboBoxIsDrawnByItself) {
    m_dlg.m_combo.SetSelectedColorName("Red");
    ::SetFocus(m_dlg.m_pickerText.m_hWnd);  // the selection shows unhighlighted
    vtest::CWindowSnapshot shot;
    ASSERT_TRUE(shot.Capture(m_dlg.m_combo.m_hWnd));
    // A swatch of the selected colour, framed in black, left of the name.
    const int nRed = shot.CountPixels(RGB(255, 0, 0));
    EXPECT_GT(nRed, 20);
    int xFirstRed = -1;
    for (int x = 0; x < shot.Width() && xFirstRed < 0; ++x)
        if (shot.Pixel(x, shot.Height() / 2) == RGB(255, 0, 0))
            xFirstRed = x;
    EXPECT_GE(xFirstRed, 2);
    EXPECT_LT(xFirstRed, shot.Width() / 4);
    EXPECT_EQ(RGB(0, 0, 0), shot.Pixel(xFirstRed - 1, shot.Height() / 2));
    m_dlg.m_combo.SetSelectedColorName("Lime");
    ASSERT_TRUE(shot.Capture(m_dlg.m_combo.m_hWnd));
    EXPECT_EQ(0, shot.CountPixels(RGB(255, 0, 0)));
    EXPECT_GT(shot.CountPixels(RGB(0, 255, 0)), 20);
}

TEST_F(ColourTest, ModalDialogExchangesEveryColour) {
    CControlsDialog dlg;
    dlg.m_crPicker = 0x123456;
    dlg.m_crButton = CLR_DEFAULT;
    dlg.m_crCombo = 0x32CD9A;   // YellowGreen
    dlg.m_strCombo = "tomato";  // loaded after the value: wins
    dlg.m_fnAct = [](CControlsDialog* p) {
        EXPECT_EQ(0x123456u, p->m_picker.GetColour());
        EXPECT_EQ((COLORREF)CLR_DEFAULT, p->m_button.GetColor());
        EXPECT_STREQ("Tomato", p->m_combo.GetSelectedColorName());
        p->m_picker.SetColour(0x0000FF);
        p->m_button.SetColor(0x00FF00);
        p->m_combo.SetSelectedColorName("Navy");
        p->OnOK();
    };
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(0x0000FFu, dlg.m_crPicker);
    EXPECT_EQ(0x00FF00u, dlg.m_crButton);
    EXPECT_EQ(0x800000u, dlg.m_crCombo);
    EXPECT_EQ(CString("Navy"), dlg.m_strCombo);
}

TEST_F(ColourTest, ScreenshotOfTheControlsDialog) {
    // The dialog with its banner and an open colour popup, for the README.
    m_dlg.DestroyWindow();
    m_dlg.m_bBanner = true;
    ASSERT_TRUE(m_dlg.Create(IDD_CONTROLS_TEST));
    m_dlg.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    m_dlg.m_picker.SetColour(0x2068FF);
    m_dlg.m_pickerText.SetTextColour(RGB(0, 0, 160));
    m_dlg.m_pickerText.SetBkColour(0xC0FFFF);
    m_dlg.m_button.SetColor(0xC09E7D);
    m_dlg.m_combo.SetSelectedColorName("SteelBlue");
    CColourPopup* pPopup = ClickOpen(m_dlg.m_picker);
    ASSERT_NE(nullptr, pPopup);
    vtest::SendKey(pPopup->m_hWnd, VK_RIGHT);
    vtest::SendKey(pPopup->m_hWnd, VK_RIGHT);
    vtest::SendKey(pPopup->m_hWnd, VK_RIGHT);
    ::RedrawWindow(m_dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::RedrawWindow(pPopup->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    vtest::PumpPending();

    CRect rcDialog, rcPopup, rcShot;
    m_dlg.GetWindowRect(&rcDialog);
    pPopup->GetWindowRect(&rcPopup);
    rcShot.UnionRect(&rcDialog, &rcPopup);
    rcShot.InflateRect(4, 4);
    {
        CClientDC screen(nullptr);
        CDC mem;
        ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, rcShot.Width(), rcShot.Height()));
        {
            CSelectGuard guard(&mem, &bitmap);
            mem.BitBlt(0, 0, rcShot.Width(), rcShot.Height(), &screen, rcShot.left, rcShot.top, SRCCOPY);
        }
        CPicture picture;
        ASSERT_TRUE(picture.CreateFromHBITMAP((HBITMAP)bitmap.GetSafeHandle()));
        ::DeleteFileA("controls_dialog.png");
        ASSERT_TRUE(picture.Save("controls_dialog.png", PIC_FORMAT_PNG));
    }
    // What was saved shows the banner's light strip and the popup's swatches.
    CPicture saved;
    ASSERT_TRUE(saved.Load("controls_dialog.png", PIC_FORMAT_PNG));
    EXPECT_EQ((DWORD)rcShot.Width(), saved.GetWidth());
    vtest::SendKey(pPopup->m_hWnd, VK_ESCAPE);
}

}  // namespace
