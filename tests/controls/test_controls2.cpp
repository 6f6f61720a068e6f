// The buttons, labels, links, progress bars and tabs inside a dialog from a
// template: what clicks and keys tell the parent, what hover and press draw,
// tooltips, the skinned button's shape, links through the shell seam,
// progress drawn with its text, coloured tabs; a picture of the dialog.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "afx/afxwin.h"
#include "controls/colorlabel.h"
#include "controls/gradientprogress.h"
#include "controls/hyperlink.h"
#include "controls/labelmodel.h"
#include "controls/ownertab.h"
#include "controls/shadebutton.h"
#include "controls/skinbutton.h"
#include "controls/textprogress.h"
#include "controls/uihelpers.h"
#include "controls2_test_res.h"
#include "image/picture.h"
#include "support/win_drivers.h"
#include "support/win_window.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0), kWhite = RGB(255, 255, 255),
               kBlack = RGB(0, 0, 0);

class CControls2Dialog : public CDialog {
public:
    CControls2Dialog() : CDialog(IDD_CONTROLS2_TEST) {}

    CShadeButton m_shade, m_radio1, m_radio2, m_radio3, m_check;
    CSkinButton m_skin;
    CColorLabel m_label, m_mailLabel;
    CHyperLink m_link;
    CGradientProgressCtrl m_gradient;
    CTextProgressCtrl m_textProgress;
    CColorTabCtrl m_tabs;
    std::vector<std::pair<UINT, UINT>> m_commands;  // (control id, code)
    std::vector<std::pair<UINT, UINT>> m_notes;     // (control id, code)
    std::vector<UINT> m_linkClicks;                 // WM_HYPERLINK_CLICKED control ids

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_T2_SHADE, m_shade);
        DDX_Control(pDX, IDC_T2_RADIO1, m_radio1);
        DDX_Control(pDX, IDC_T2_RADIO2, m_radio2);
        DDX_Control(pDX, IDC_T2_RADIO3, m_radio3);
        DDX_Control(pDX, IDC_T2_CHECK, m_check);
        DDX_Control(pDX, IDC_T2_SKIN, m_skin);
        DDX_Control(pDX, IDC_T2_LABEL, m_label);
        DDX_Control(pDX, IDC_T2_MAILLABEL, m_mailLabel);
        DDX_Control(pDX, IDC_T2_LINK, m_link);
        DDX_Control(pDX, IDC_T2_GRADIENT, m_gradient);
        DDX_Control(pDX, IDC_T2_TEXTPROGRESS, m_textProgress);
        DDX_Control(pDX, IDC_T2_TABS, m_tabs);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (lParam != 0)
            m_commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        return CDialog::OnCommand(wParam, lParam);
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (message == WM_HYPERLINK_CLICKED)
            m_linkClicks.push_back((UINT)wParam);
        return CDialog::OnWndMsg(message, wParam, lParam, pResult);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        const NMHDR* pHdr = (const NMHDR*)lParam;
        m_notes.push_back({(UINT)pHdr->idFrom, pHdr->code});
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
};

// A bitmap of w x h filled with one colour, and a rectangle of another.
HBITMAP MakeBitmap(int w, int h, COLORREF crFill, const RECT* pInner = nullptr, COLORREF crInner = 0) {
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, w, h);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    ::ReleaseDC(nullptr, hScreen);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    RECT rc = {0, 0, w, h};
    HBRUSH hFill = ::CreateSolidBrush(crFill);
    ::FillRect(hMem, &rc, hFill);
    ::DeleteObject(hFill);
    if (pInner != nullptr) {
        HBRUSH hInner = ::CreateSolidBrush(crInner);
        ::FillRect(hMem, pInner, hInner);
        ::DeleteObject(hInner);
    }
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    return hBitmap;
}

bool Near(COLORREF a, COLORREF b, int nTolerance = 8) {
    return abs(GetRValue(a) - GetRValue(b)) <= nTolerance && abs(GetGValue(a) - GetGValue(b)) <= nTolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

int Brightness(const vtest::CWindowSnapshot& shot) {
    long long nSum = 0;
    for (int y = 4; y < shot.Height() - 4; ++y)
        for (int x = 4; x < shot.Width() - 4; ++x) {
            const COLORREF c = shot.Pixel(x, y);
            nSum += GetRValue(c) + GetGValue(c) + GetBValue(c);
        }
    return (int)(nSum / std::max(1, (shot.Width() - 8) * (shot.Height() - 8)));
}

std::string TipText(CToolTipCtrl* pTip, CWnd& tool, UINT_PTR nID = 0) {
    char szText[256] = "";
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = tool.GetParent()->m_hWnd;
    ti.uId = (UINT_PTR)tool.m_hWnd;
    ti.uFlags = TTF_IDISHWND;
    if (nID != 0) {
        ti.hwnd = tool.m_hWnd;
        ti.uId = nID;
        ti.uFlags = 0;
    }
    ti.lpszText = szText;
    pTip->SendMessage(TTM_GETTEXTA, sizeof(szText), (LPARAM)&ti);
    return szText;
}

class Controls2Test : public ::testing::Test {
protected:
    void SetUp() override {
        ::GetCursorPos(&m_ptCursor);
        m_pOldSeams = AfxSetSeams(&m_seams);
        ASSERT_TRUE(m_dlg.Create(IDD_CONTROLS2_TEST));
        SetUpControls();
        vtest::PumpPending();
    }
    void TearDown() override {
        if (m_dlg.GetSafeHwnd() != nullptr)
            m_dlg.DestroyWindow();
        vtest::PumpPending();
        AfxSetSeams(m_pOldSeams);
        m_pDlg.reset();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
        // The next program on the display finds the mouse where it was.
        ::SetCursorPos(m_ptCursor.x, m_ptCursor.y);
    }

    void SetUpControls() {
        for (CShadeButton* p : {&m_dlg.m_shade, &m_dlg.m_radio1, &m_dlg.m_radio2, &m_dlg.m_radio3, &m_dlg.m_check})
            p->SetShade(SHS_HBUMP, 8, 20, 65, RGB(0, 0, 200));
        m_dlg.m_shade.SetIcon(IDI_T2_ICON, BS_ICON_LEFT);
        m_dlg.m_shade.SetToolTipText("Snooze the alarm");
        m_dlg.m_check.SetToolTipText("Sound off", "Sound on");
        const RECT inner = {4, 4, 36, 26};
        m_dlg.m_skin.SetSkin(MakeBitmap(40, 30, kRed), MakeBitmap(40, 30, kBlue), MakeBitmap(40, 30, kGreen), nullptr,
                             nullptr, MakeBitmap(40, 30, kWhite, &inner, kBlack), SKIN_DRAW_NATURAL, 0, 0);
        m_dlg.m_skin.SetToolTipText("Download");
        m_dlg.m_label.SetTextColor(kBlue).SetBkColor(kWhite);
        m_dlg.m_mailLabel.SetMailLink(TRUE).SetBkColor(RGB(255, 255, 200), RGB(255, 200, 100), TRUE);
        m_dlg.m_gradient.SetRange(0, 100);
        m_dlg.m_gradient.SetBkColor(kWhite);
        m_dlg.m_gradient.SetColors(3, kBlue, kWhite, kBlue);
        m_dlg.m_gradient.SetTextColors(kWhite, kBlack);
        m_dlg.m_gradient.SetText("Skin preview loading : %d%%", PGS_TEXT_PERCENT);
        m_dlg.m_gradient.SetPos(37);
        SetupTextProgress(&m_dlg.m_textProgress);
        m_dlg.m_textProgress.SetPos(96);
        CColorTabCtrl::SetDrawFlags(TRUE, 15);
        m_dlg.m_tabs.SetBkColor(RGB(120, 160, 200));
        m_dlg.m_tabs.SetDrawMode(2);
        m_dlg.m_tabs.InsertItem(0, "Visible settings");
        m_dlg.m_tabs.InsertItem(1, "Skins");
        m_dlg.m_tabs.InsertItem(2, "A caption far too long for its tab");
    }

    // The centre of a control in the dialog's client coordinates, with the
    // real cursor put there (the buttons read it while pressed).
    CPoint Centre(CWnd& ctrl, CPoint ptOffset = CPoint(-1, -1)) {
        CRect rc;
        ctrl.GetWindowRect(&rc);
        CPoint pt = ptOffset.x < 0 ? rc.CenterPoint() : CPoint(rc.left + ptOffset.x, rc.top + ptOffset.y);
        ::SetCursorPos(pt.x, pt.y);
        m_dlg.ScreenToClient(&pt);
        return pt;
    }
    HWND ClickOn(CWnd& ctrl, CPoint ptOffset = CPoint(-1, -1)) {
        const HWND h = vtest::Click(m_dlg.m_hWnd, Centre(ctrl, ptOffset));
        vtest::PumpPending();
        return h;
    }
    int CountCommands(UINT nID, UINT nCode) const {
        int n = 0;
        for (const auto& c : m_dlg.m_commands)
            n += c.first == nID && c.second == nCode;
        return n;
    }

    // Counted before the dialog, whose members own objects until it is deleted.
    long m_nGdi = AfxGetLiveGdiObjectCount();
    std::unique_ptr<CControls2Dialog> m_pDlg{new CControls2Dialog};
    CControls2Dialog& m_dlg = *m_pDlg;
    CRecordingSeams m_seams;
    CSystemSeams* m_pOldSeams = nullptr;
    POINT m_ptCursor = {0, 0};
};

TEST_F(Controls2Test, ShadedButtonsNotifyCheckAsTheirKindAndKeepOneRadioChecked) {
    CShadeButton& push = m_dlg.m_shade;
    EXPECT_EQ(SHADE_KIND_PUSH, push.GetKind());
    EXPECT_EQ(SHADE_KIND_RADIO, m_dlg.m_radio1.GetKind());
    EXPECT_EQ(SHADE_KIND_CHECK, m_dlg.m_check.GetKind());
    EXPECT_EQ(BS_OWNERDRAW, push.GetStyle() & 0x0F);

    EXPECT_EQ(push.m_hWnd, ClickOn(push));
    EXPECT_EQ(1, CountCommands(IDC_T2_SHADE, BN_CLICKED));
    push.SetCheck(BST_CHECKED);  // a push button is never checked
    EXPECT_EQ(BST_UNCHECKED, push.GetCheck());

    struct Step {
        CShadeButton* pClick;   // clicked, or null: the disabled third checked by code
        int nExpected[3];
    } steps[] = {
        {&m_dlg.m_radio1, {1, 0, 0}},
        {&m_dlg.m_radio2, {0, 1, 0}},
        {&m_dlg.m_radio2, {0, 1, 0}},
        {nullptr, {0, 0, 1}},  // disabled members of the group are unchecked too
        {&m_dlg.m_radio1, {1, 0, 0}},
    };
    CShadeButton* radios[3] = {&m_dlg.m_radio1, &m_dlg.m_radio2, &m_dlg.m_radio3};
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
        if (steps[i].pClick != nullptr)
            ClickOn(*steps[i].pClick);
        else
            m_dlg.m_radio3.SetCheck(BST_CHECKED);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(steps[i].nExpected[r], radios[r]->GetCheck()) << "step " << i << " radio " << r;
    }
    EXPECT_EQ(BST_UNCHECKED, m_dlg.m_check.GetCheck());  // another group

    // The check box toggles by click and by the space bar, and shows its checked tip.
    CShadeButton& check = m_dlg.m_check;
    ClickOn(check);
    EXPECT_EQ(BST_CHECKED, check.GetCheck());
    ASSERT_NE(nullptr, check.GetToolTip());
    EXPECT_EQ("Sound on", TipText(check.GetToolTip(), check));
    vtest::SendKey(check.m_hWnd, VK_SPACE);
    EXPECT_EQ(BST_UNCHECKED, check.GetCheck());
    EXPECT_EQ("Sound off", TipText(check.GetToolTip(), check));
    vtest::SendKey(m_dlg.m_radio2.m_hWnd, VK_SPACE);
    EXPECT_EQ(BST_CHECKED, m_dlg.m_radio2.GetCheck());
    EXPECT_EQ(BST_UNCHECKED, m_dlg.m_radio1.GetCheck());
}

TEST_F(Controls2Test, ShadedButtonDrawsHoverLighterPressedSunkenAndShowsItsTooltip) {
    CShadeButton& push = m_dlg.m_shade;
    push.SetShade(SHS_HSHADE, 8, 40, 0, 0);
    CRect rc;
    push.GetClientRect(&rc);
    vtest::CWindowSnapshot normal, hover, pressed;
    ASSERT_TRUE(normal.Capture(push.m_hWnd));
    // Raised edge: the outer top-left line is the light 3-D colour.
    EXPECT_TRUE(Near(::GetSysColor(COLOR_3DLIGHT), normal.Pixel(0, 0), 0)) << std::hex << normal.Pixel(0, 0);

    const CPoint pt = Centre(push);
    CPoint ptClient = pt;
    m_dlg.ClientToScreen(&ptClient);
    push.ScreenToClient(&ptClient);
    push.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x, ptClient.y));
    EXPECT_TRUE(push.IsHovering());
    ASSERT_TRUE(hover.Capture(push.m_hWnd));
    EXPECT_GT(Brightness(hover), Brightness(normal) + 10);

    push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
    ASSERT_TRUE(pressed.Capture(push.m_hWnd));
    EXPECT_TRUE(Near(::GetSysColor(COLOR_3DSHADOW), pressed.Pixel(0, 0), 0)) << std::hex << pressed.Pixel(0, 0);
    push.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(ptClient.x, ptClient.y));
    EXPECT_EQ(1, CountCommands(IDC_T2_SHADE, BN_CLICKED));

    // The icon sits at the left, centred vertically on its hot spot.
    EXPECT_EQ(0, push.GetIconRect().left);
    EXPECT_EQ(16, push.GetIconRect().Width());  // the 16-pixel test icon

    // The tip comes up while the mouse rests on the button.
    CToolTipCtrl* pTip = push.GetToolTip();
    ASSERT_NE(nullptr, pTip);
    EXPECT_EQ("Snooze the alarm", TipText(pTip, push));
    Centre(push);
    push.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x, ptClient.y));
    push.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x + 1, ptClient.y));
    EXPECT_TRUE(vtest::PumpUntil([&] { return pTip->IsWindowVisible() != FALSE; }, 4000));
    push.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(push.IsHovering());
}

TEST_F(Controls2Test, SkinnedButtonTakesTheMasksShapeAndFreesWhatItOwns) {
    CSkinButton& skin = m_dlg.m_skin;
    CRect rc;
    skin.GetWindowRect(&rc);
    EXPECT_EQ(CSize(40, 30), rc.Size());  // natural size: resized to the mask
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(SIMPLEREGION, ::GetWindowRgn(skin.m_hWnd, (HRGN)rgn.GetSafeHandle()));
    CRect rcBox;
    rgn.GetRgnBox(&rcBox);
    EXPECT_EQ(CRect(4, 4, 36, 26), rcBox);
    rgn.DeleteObject();

    // A corner outside the shape belongs to the dialog, the inside to the button.
    CPoint ptCorner(rc.left + 1, rc.top + 1);
    EXPECT_EQ(m_dlg.m_hWnd, ::WindowFromPoint(ptCorner));
    EXPECT_EQ(skin.m_hWnd, ::WindowFromPoint(rc.CenterPoint()));
    m_dlg.m_commands.clear();
    EXPECT_EQ(skin.m_hWnd, ClickOn(skin));
    EXPECT_EQ(1, CountCommands(IDC_T2_SKIN, BN_CLICKED));

    // Normal red, hovered green, pressed blue; the corner is not painted.
    vtest::CWindowSnapshot shot;
    skin.SendMessage(WM_MOUSELEAVE);
    ASSERT_TRUE(shot.Capture(skin.m_hWnd));
    EXPECT_EQ(kRed, shot.Pixel(6, 6));
    skin.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
    ASSERT_TRUE(shot.Capture(skin.m_hWnd));
    EXPECT_EQ(kGreen, shot.Pixel(6, 6));
    skin.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
    ASSERT_TRUE(shot.Capture(skin.m_hWnd));
    EXPECT_EQ(kBlue, shot.Pixel(6, 6));
    skin.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 15));
    ASSERT_NE(nullptr, skin.GetToolTip());
    EXPECT_EQ("Download", TipText(skin.GetToolTip(), skin));

    // A new mask replaces the region; the window frees the old one.
    HRGN hBefore = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(skin.m_hWnd, hBefore);
    const RECT small = {10, 10, 20, 20};
    HBITMAP hShared = MakeBitmap(40, 30, kRed);
    skin.SetSkin(hShared, hShared, hShared, nullptr, nullptr, MakeBitmap(40, 30, kWhite, &small, kBlack), 5, 0, -3);
    EXPECT_EQ(SKIN_DRAW_TILE, skin.GetDrawMode());
    EXPECT_EQ(0, skin.GetFocusMargin());
    HRGN hAfter = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(skin.m_hWnd, hAfter);
    RECT box;
    ::GetRgnBox(hAfter, &box);
    EXPECT_EQ(CRect(10, 10, 20, 20), CRect(box));
    ::DeleteObject(hBefore);
    ::DeleteObject(hAfter);
    skin.GetWindowRect(&rc);
    EXPECT_EQ(CSize(40, 30), rc.Size());

    // One handle in three roles is released once, with the button.
    {
        CSkinButton own;
        ASSERT_TRUE(own.Create("own", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, 30, 20), &m_dlg, 999));
        HBITMAP h = MakeBitmap(8, 8, kGreen);
        own.SetSkin(h, h, nullptr, h, nullptr, nullptr, -1, 1, 0);
        EXPECT_EQ(SKIN_DRAW_NATURAL, own.GetDrawMode());
        EXPECT_EQ(OBJ_BITMAP, (int)::GetObjectType(h));
        own.DestroyWindow();
        own.SetSkin(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(0u, ::GetObjectType(h));
    }
}

TEST_F(Controls2Test, LabelsShowTheirTextLiterallyAndLinksOpenThroughTheShell) {
    // The label's "%s%n" is drawn as it is: the same pixels as the text drawn plainly.
    CColorLabel& label = m_dlg.m_label;
    CString strText;
    label.GetWindowText(strText);
    EXPECT_STREQ("%s%n 100% literal", strText);
    vtest::CWindowSnapshot shot;
    ASSERT_TRUE(shot.Capture(label.m_hWnd));
    CRect rc;
    label.GetClientRect(&rc);
    int nReference = 0;
    {
        CClientDC screen(nullptr);
        CDC mem;
        mem.CreateCompatibleDC(&screen);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&screen, rc.Width(), rc.Height());
        CSelectGuard guard(&mem, &bitmap);
        mem.FillSolidRect(rc, kWhite);
        mem.SetTextColor(kBlue);
        mem.SetBkMode(TRANSPARENT);
        CFont font;
        font.CreateFontIndirect(&label.GetLogFont());
        CSelectGuard fontGuard(&mem, &font);
        CRect rcText = rc;
        mem.DrawText(strText, rcText, LabelTextFormat(label.GetStyle(), strText));
        for (int y = 0; y < rc.Height(); ++y)
            for (int x = 0; x < rc.Width(); ++x)
                nReference += mem.GetPixel(x, y) == kBlue;
    }
    EXPECT_GT(nReference, 20);
    EXPECT_EQ(nReference, shot.CountPixels(kBlue));

    // Web link with an empty address opens the text; notify only tells the parent.
    label.SetLink(TRUE);
    ClickOn(label);
    label.SetLink(TRUE, TRUE);
    ClickOn(label);
    ASSERT_EQ(1u, m_dlg.m_notes.size());
    EXPECT_EQ(std::make_pair((UINT)IDC_T2_LABEL, CLN_LINKCLICK), m_dlg.m_notes[0]);
    // The mail link uses the text, never the address field.
    m_dlg.m_mailLabel.SetLinkURL("http://not.this/");
    ClickOn(m_dlg.m_mailLabel);
    const std::vector<std::string> expected = {
        "ShellExecute \"open\" \"%s%n 100% literal\" (null) (null) 1",
        "ShellExecute (null) \"mailto:someone@veltran.example\" (null) (null) 1",
    };
    EXPECT_EQ(expected, m_seams.m_calls);

    // The hyperlink opens its exact address and turns visited.
    m_seams.m_calls.clear();
    CHyperLink& link = m_dlg.m_link;
    EXPECT_EQ("http://veltran.example/", std::string(link.GetURL()));
    ASSERT_NE(nullptr, link.GetToolTip());
    EXPECT_EQ("http://veltran.example/", TipText(link.GetToolTip(), link, 1));
    EXPECT_FALSE(link.GetVisited());
    ClickOn(link);
    ASSERT_EQ(1u, m_seams.m_calls.size());
    EXPECT_EQ("ShellExecute \"open\" \"http://veltran.example/\" (null) (null) 5", m_seams.m_calls[0]);
    EXPECT_TRUE(link.GetVisited());
    link.SetColours(kRed, kGreen, 0xFFFFFFFF);
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), link.GetHoverColour());

    // The simpler link: an empty text takes the link text; a click opens the
    // address minimised, or with notify only tells the parent.
    m_seams.m_calls.clear();
    HWND hStatic = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 200, 60, 120, 16, m_dlg.m_hWnd,
                                     (HMENU)1200, nullptr, nullptr);
    CLinkStatic simple;
    simple.SetLinkText("Veltran home");
    simple.SetLinkURL("http://veltran.example/home");
    ASSERT_TRUE(simple.SubclassWindow(hStatic));
    CString strSimple;
    simple.GetWindowText(strSimple);
    EXPECT_STREQ("Veltran home", strSimple);
    ClickOn(simple);
    ASSERT_EQ(1u, m_seams.m_calls.size());
    EXPECT_EQ("ShellExecute \"open\" \"http://veltran.example/home\" (null) (null) 2", m_seams.m_calls[0]);
    EXPECT_TRUE(simple.GetVisited());
    simple.SetNotify(TRUE);
    ClickOn(simple);
    EXPECT_EQ(1u, m_seams.m_calls.size());
    EXPECT_EQ(std::vector<UINT>{1200}, m_dlg.m_linkClicks);
    simple.DestroyWindow();
}

// A shell that has no handler for anything.
class CFailingSeams : public CRecordingSeams {
public:
    int m_nResult = 31;
    HINSTANCE ShellExecute(HWND hWnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                           INT nShowCmd) override {
        CRecordingSeams::ShellExecute(hWnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
        return (HINSTANCE)(INT_PTR)m_nResult;
    }
};

TEST_F(Controls2Test, AFailedOpenIsReportedByTheHyperlinkOnlyAndFlashingStopsWithItsSetterOrWindow) {
    CFailingSeams failing;
    CSeamsScope scope(&failing);
    // The colour label's links are opened and nothing more: a failure shows no box.
    m_dlg.m_mailLabel.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    m_dlg.m_label.SetLink(TRUE);
    m_dlg.m_label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_EQ(2u, failing.m_calls.size());
    EXPECT_EQ(0u, failing.m_calls[0].rfind("ShellExecute (null) \"mailto:", 0)) << failing.m_calls[0];
    EXPECT_EQ(0u, failing.m_calls[1].rfind("ShellExecute \"open\"", 0)) << failing.m_calls[1];

    // The hyperlink falls back to the program registered for ".htm", with the
    // address as one quoted argument; without one it reports the reason.
    failing.m_calls.clear();
    failing.m_nResult = 2;
    m_dlg.m_link.SetVisited(FALSE);
    m_dlg.m_link.SetURL("http://veltran.example/a b\" & calc");
    ClickOn(m_dlg.m_link);
    ASSERT_GE(failing.m_calls.size(), 2u);
    EXPECT_EQ("ShellExecute \"open\" \"http://veltran.example/a b\\\" & calc\" (null) (null) 5", failing.m_calls[0]);
    char szType[261] = "";
    LONG nSize = 260;
    const bool bRegistered = ::RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", szType, &nSize) == ERROR_SUCCESS &&
                             szType[0] != '\0';
    if (failing.m_calls[1].rfind("WinExec", 0) == 0) {
        EXPECT_TRUE(bRegistered);
        EXPECT_NE(std::string::npos, failing.m_calls[1].find(" \\\"http://veltran.example/a b & calc\\\"\" 5"))
            << failing.m_calls[1];
        EXPECT_TRUE(m_dlg.m_link.GetVisited());
    } else {
        EXPECT_NE(std::string::npos, failing.m_calls.back().find("The specified file was not found.")) << failing.m_calls.back();
        EXPECT_FALSE(m_dlg.m_link.GetVisited());
    }

    // Flashing: the timer runs until the setter stops it, and a label
    // without a window starts none.
    CColorLabel& label = m_dlg.m_label;
    label.FlashText(TRUE);
    EXPECT_TRUE(label.IsFlashTimerRunning());
    EXPECT_TRUE(vtest::PumpUntil([&] { return label.GetFlashPhase() != FALSE; }, 3000));
    label.FlashText(FALSE);
    EXPECT_FALSE(label.IsFlashTimerRunning());
    EXPECT_EQ(0, label.GetFlashMode());
    EXPECT_EQ(0, ::KillTimer(label.m_hWnd, 1));  // no timer left behind
    label.FlashBackground(TRUE);
    const HWND hLabel = label.m_hWnd;
    m_dlg.DestroyWindow();
    EXPECT_FALSE(label.IsFlashTimerRunning());
    EXPECT_FALSE(::IsWindow(hLabel));
    CColorLabel loose;
    loose.FlashText(TRUE);
    EXPECT_FALSE(loose.IsFlashTimerRunning());
    EXPECT_EQ(1, loose.GetFlashMode());
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST_F(Controls2Test, ProgressBarsDrawTheirShareAndText) {
    CGradientProgressCtrl& bar = m_dlg.m_gradient;
    bar.SetColors(1, kRed);
    bar.SetTextColors(kWhite, kBlack);
    bar.SetText("", PGS_TEXT_PERCENT);
    bar.ModifyStyle(0, PGS_TEXT_PERCENT);
    CRect rc;
    bar.GetClientRect(&rc);
    struct Case {
        int nPos;
        const char* pszText;
    } cases[] = {{0, "0%"}, {50, "50%"}, {100, "100%"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nPos);
        bar.SendMessage(PBM_SETPOS, (WPARAM)c.nPos);
        EXPECT_EQ(c.nPos, (int)bar.SendMessage(PBM_GETPOS));
        EXPECT_STREQ(c.pszText, bar.FormatText(bar.GetText(), bar.GetValue()));
        vtest::CWindowSnapshot shot;
        ASSERT_TRUE(shot.Capture(bar.m_hWnd));
        const int nFilled = rc.Width() * c.nPos / 100;
        int nRedColumns = 0;
        for (int x = 0; x < rc.Width(); ++x)
            nRedColumns += shot.Pixel(x, 1) == kRed;
        EXPECT_EQ(nFilled, nRedColumns);
        // The text: black over the empty part, white over the bar.
        const int nBlack = shot.CountPixels(kBlack), nWhiteOnBar = [&] {
            int n = 0;
            for (int y = 0; y < rc.Height(); ++y)
                for (int x = 0; x < nFilled; ++x)
                    n += shot.Pixel(x, y) == kWhite;
            return n;
        }();
        EXPECT_EQ(c.nPos < 100, nBlack > 5) << nBlack;
        EXPECT_EQ(c.nPos > 0, nWhiteOnBar > 5) << nWhiteOnBar;
    }

    // The messages answer as the platform's bar does; equal bounds draw nothing.
    EXPECT_EQ(MAKELONG(0, 100), bar.SendMessage(PBM_SETRANGE32, 200, 100));
    PBRANGE range{};
    EXPECT_EQ(100, bar.SendMessage(PBM_GETRANGE, TRUE, (LPARAM)&range));
    EXPECT_EQ(200, range.iHigh);
    EXPECT_EQ(100, bar.SendMessage(PBM_GETPOS));
    bar.SendMessage(PBM_SETRANGE32, 5, 5);
    vtest::CWindowSnapshot flat;
    ASSERT_TRUE(flat.Capture(bar.m_hWnd));
    EXPECT_EQ(0, flat.CountPixels(kRed));
    EXPECT_EQ(CLR_DEFAULT, (COLORREF)bar.SendMessage(PBM_SETBARCOLOR, 0, kGreen));

    // WM_GETTEXT ends inside the caller's buffer.
    bar.SetWindowText("Skin preview loading : %d%%");
    char szBuffer[8];
    std::memset(szBuffer, '#', sizeof(szBuffer));
    EXPECT_EQ(3, bar.SendMessage(WM_GETTEXT, 4, (LPARAM)szBuffer));
    EXPECT_STREQ("Ski", szBuffer);
    EXPECT_EQ('#', szBuffer[4]);
    EXPECT_EQ(0, bar.SendMessage(WM_GETTEXT, 0, (LPARAM)szBuffer));
    EXPECT_EQ(27, bar.SendMessage(WM_GETTEXTLENGTH));

    // The tooltip follows the position in its own mode; a worker's text
    // change is made on the window's thread.
    bar.SendMessage(PBM_SETRANGE32, 0, 100);
    bar.SetPos(37);
    bar.SetTooltipFormat("At %d of 100", PGS_TEXT_POSITION);
    ASSERT_NE(nullptr, bar.GetToolTip());
    EXPECT_EQ("At 37 of 100", TipText(bar.GetToolTip(), bar));
    bar.SetPos(42);
    EXPECT_EQ("At 42 of 100", TipText(bar.GetToolTip(), bar));
    struct CWorker {
        static DWORD WINAPI Run(LPVOID p) {
            static_cast<CGradientProgressCtrl*>(p)->SetText("Ready", PGS_TEXT_ONLY);
            return 0;
        }
    };
    HANDLE hThread = ::CreateThread(nullptr, 0, CWorker::Run, &bar, 0, nullptr);
    ASSERT_NE(nullptr, hThread);
    EXPECT_TRUE(vtest::WaitPumping(hThread, 5000));
    ::CloseHandle(hThread);
    EXPECT_STREQ("Ready", bar.GetText());
    EXPECT_EQ((DWORD)PGS_TEXT_ONLY, bar.GetStyle() & PGS_TEXT_MODE);

    // The animation moves on its timer until stopped.
    bar.SendMessage(PBM_SETRANGE32, 0, 100);
    bar.StartAnimation(10, 1);
    EXPECT_TRUE(vtest::PumpUntil([&] { return bar.GetAnimPos() >= 3; }, 3000));
    bar.StopAnimation();

    // The text bar: preset colours and range; a bar only above the lower bound.
    CTextProgressCtrl& text = m_dlg.m_textProgress;
    int nLower, nUpper;
    text.GetRange(nLower, nUpper);
    EXPECT_EQ(0, nLower);
    EXPECT_EQ(128, nUpper);
    EXPECT_EQ(1, text.GetStep());
    EXPECT_EQ(0x0080FFu, text.GetStartColour());
    EXPECT_EQ(0x00FF00u, text.GetEndColour());
    text.GetClientRect(&rc);
    vtest::CWindowSnapshot half;
    text.SetPos(64);
    ASSERT_TRUE(half.Capture(text.m_hWnd));
    EXPECT_EQ(0x0080FFu, half.Pixel(0, 2));
    EXPECT_EQ(::GetSysColor(COLOR_3DFACE), half.Pixel(rc.Width() - 2, 2));
    EXPECT_NE(::GetSysColor(COLOR_3DFACE), half.Pixel(rc.Width() / 2 - 3, 2));
    text.SetPos(0);
    ASSERT_TRUE(half.Capture(text.m_hWnd));
    EXPECT_EQ(rc.Width() * rc.Height(), half.CountPixels(::GetSysColor(COLOR_3DFACE)));
    text.SetPos(128);
    text.StepIt();  // not clamped
    EXPECT_EQ(129, text.GetPos());
}

// The 16-bit range message takes its bounds unsigned, as the platform's bar
// does; the 32-bit one keeps negative bounds.
TEST_F(Controls2Test, SixteenBitRangeIsUnsigned) {
    CGradientProgressCtrl& bar = m_dlg.m_gradient;
    bar.SetColors(1, kRed);
    bar.SetText("", 0);
    EXPECT_EQ(MAKELONG(0, 100), bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 40000)));
    PBRANGE range{};
    EXPECT_EQ(0, bar.SendMessage(PBM_GETRANGE, TRUE, (LPARAM)&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(40000, range.iHigh);
    EXPECT_EQ(40000, bar.SendMessage(PBM_GETRANGE, FALSE, 0));

    CRect rc;
    bar.GetClientRect(&rc);
    auto redColumns = [&] {
        vtest::CWindowSnapshot shot;
        EXPECT_TRUE(shot.Capture(bar.m_hWnd));
        int n = 0;
        for (int x = 0; x < rc.Width(); ++x)
            n += shot.Pixel(x, rc.Height() / 2) == kRed;
        return n;
    };
    bar.SendMessage(PBM_SETPOS, 20000);
    EXPECT_EQ(20000, bar.SendMessage(PBM_GETPOS));
    EXPECT_EQ(rc.Width() * 20000 / 40000, redColumns());
    bar.SendMessage(PBM_SETPOS, 40000);
    EXPECT_EQ(rc.Width(), redColumns());

    // The top of the 16-bit range, and a "negative" low word, which is 65,531.
    bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 65535));
    EXPECT_EQ(65535, bar.SendMessage(PBM_GETRANGE, FALSE, 0));
    bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM((WORD)-5, 10));
    bar.SendMessage(PBM_GETRANGE, 0, (LPARAM)&range);
    EXPECT_EQ(10, range.iLow);
    EXPECT_EQ(65531, range.iHigh);
    bar.SendMessage(PBM_SETRANGE32, (WPARAM)-5, 10);
    bar.SendMessage(PBM_GETRANGE, 0, (LPARAM)&range);
    EXPECT_EQ(-5, range.iLow);
    EXPECT_EQ(10, range.iHigh);
}

TEST_F(Controls2Test, ColouredTabsPaintTheirColoursAndFollowTheSelection) {
    COwnerTabCtrl& tabs = m_dlg.m_tabs;
    const DWORD dwStyle = tabs.GetStyle();
    EXPECT_TRUE(dwStyle & TCS_OWNERDRAWFIXED);
    EXPECT_FALSE(tabs.SetDrawMode(3));
    EXPECT_FALSE(tabs.SetDrawMode(-1));
    EXPECT_EQ(dwStyle, tabs.GetStyle());
    EXPECT_EQ(2, tabs.GetDrawMode());

    const COLORREF crBk = RGB(120, 160, 200);
    const COLORREF crSelected = TabColour(15, TRUE, crBk, ::GetSysColor(COLOR_BTNFACE));
    const COLORREF crOther = TabColour(15, FALSE, crBk, ::GetSysColor(COLOR_BTNFACE));
    auto topColour = [&](int nItem) {
        vtest::CWindowSnapshot shot;
        EXPECT_TRUE(shot.Capture(tabs.m_hWnd));
        CRect rcItem;
        tabs.GetItemRect(nItem, &rcItem);
        const int y = nItem == tabs.GetCurSel() ? rcItem.top - 1 : rcItem.top + 1;
        return shot.Pixel(rcItem.CenterPoint().x, y);
    };
    EXPECT_EQ(0, tabs.GetCurSel());
    EXPECT_EQ(crSelected, topColour(0));
    EXPECT_EQ(crOther, topColour(1));

    CRect rcItem;
    tabs.GetItemRect(1, &rcItem);
    ClickOn(tabs, rcItem.CenterPoint());
    EXPECT_EQ(1, tabs.GetCurSel());
    bool bSelChange = false;
    for (const auto& n : m_dlg.m_notes)
        bSelChange = bSelChange || (n.first == IDC_T2_TABS && n.second == (UINT)TCN_SELCHANGE);
    EXPECT_TRUE(bSelChange);
    EXPECT_EQ(crSelected, topColour(1));
    EXPECT_EQ(crOther, topColour(0));
    CColorTabCtrl::SetDrawFlags(FALSE, 15);
    EXPECT_EQ(0u, CColorTabCtrl::GetDrawFlags());
}

TEST_F(Controls2Test, PictureOfTheDialogForTheReadme) {
    m_dlg.m_radio2.SetCheck(BST_CHECKED);
    m_dlg.m_gradient.SetPos(37);
    ::RedrawWindow(m_dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    vtest::PumpPending();
    CRect rcWindow;
    m_dlg.GetWindowRect(&rcWindow);
    {
        CClientDC screen(nullptr);
        CDC mem;
        ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, rcWindow.Width(), rcWindow.Height()));
        {
            CSelectGuard guard(&mem, &bitmap);
            mem.BitBlt(0, 0, rcWindow.Width(), rcWindow.Height(), &screen, rcWindow.left, rcWindow.top, SRCCOPY);
        }
        CPicture picture;
        ASSERT_TRUE(picture.CreateFromHBITMAP((HBITMAP)bitmap.GetSafeHandle()));
        ::DeleteFileA("controls2_dialog.png");
        ASSERT_TRUE(picture.Save("controls2_dialog.png", PIC_FORMAT_PNG));
    }
    CPicture saved;
    ASSERT_TRUE(saved.Load("controls2_dialog.png", PIC_FORMAT_PNG));
    EXPECT_EQ((DWORD)rcWindow.Width(), saved.GetWidth());
}

}  // namespace
