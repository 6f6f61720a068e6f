// The report list's in-place editors and its skinned header.
#include "controls/reportctrl.h"

#include <algorithm>

#include "controls/memdc.h"
#include "res/reportctrl_res.h"

namespace {

// Enter, Delete, Escape, Tab and any key with Ctrl go to the editor at once,
// before a dialog around the list can take them.
bool IsEditorKey(const MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN)
        return false;
    UINT nKey = (UINT)pMsg->wParam;
    return nKey == VK_RETURN || nKey == VK_DELETE || nKey == VK_ESCAPE || nKey == VK_TAB || ::GetKeyState(VK_CONTROL) < 0;
}

// Sends an editor's report to the report control; the answer bits. The
// report control may destroy the editor in its handler: the caller checks
// its window before it touches itself again.
LRESULT SendEditorReport(HWND hEditor, UINT nID, const CString& strText, DWORD dwData, DWORD hItem, int nColumn,
    UINT nLastKey)
{
    HWND hReport = ::GetParent(hEditor);
    NMREPORTEDITOR nm;
    nm.hdr.hwndFrom = hReport;
    nm.hdr.idFrom = nID;
    nm.hdr.code = (UINT)RCN_EDITORDONE;
    nm.strText = strText;
    nm.dwData = dwData;
    nm.hItem = hItem;
    nm.nColumn = nColumn;
    nm.nLastKey = nLastKey;
    return ::SendMessageA(hReport, WM_NOTIFY, (WPARAM)::GetDlgCtrlID(hReport), (LPARAM)&nm);
}

bool StillMine(HWND hWnd, CWnd* pWnd) { return ::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == pWnd; }

} // namespace

// --- CReportEdit ---------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CReportEdit, CEdit)

BEGIN_MESSAGE_MAP(CReportEdit, CEdit)
    ON_WM_KEYDOWN()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CReportEdit::CReportEdit(DWORD hItem, int nColumn)
    : m_hItem(hItem)
    , m_nColumn(nColumn)
{
}

BOOL CReportEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == m_hWnd && IsEditorKey(pMsg)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessageA(pMsg);
        return TRUE;
    }
    return CEdit::PreTranslateMessage(pMsg);
}

void CReportEdit::OnKeyDown(UINT nChar, UINT, UINT)
{
    m_nLastKey = nChar;
    HWND hReport = ::GetParent(m_hWnd);
    switch (nChar) {
    case VK_RETURN:
        if ((GetStyle() & ES_MULTILINE) && ::GetKeyState(VK_CONTROL) < 0) {
            m_nLastKey = VK_RETURN;
            Default(); // the line break comes with the character that follows
            return;
        }
        ::SetFocus(hReport);
        return;
    case VK_TAB:
    case VK_ESCAPE:
        ::SetFocus(hReport);
        return;
    default:
        // Left by a click elsewhere, the edit counts as confirmed with Enter.
        m_nLastKey = VK_RETURN;
        Default();
        return;
    }
}

// Reports once per loss of focus; closes unless the answer keeps it open.
void CReportEdit::OnKillFocus(CWnd*)
{
    Default();
    if (m_bReporting)
        return;
    m_bReporting = true;
    HWND hSelf = m_hWnd;
    CString strText;
    GetWindowText(strText);
    LRESULT lAnswer = SendEditorReport(hSelf, IDC_REPORTEDIT, strText, 0, m_hItem, m_nColumn, m_nLastKey);
    if (!StillMine(hSelf, this))
        return; // destroyed (and deleted) in the handler
    m_bReporting = false;
    if (lAnswer & RVR_KEEPOPEN)
        SetFocus();
    else
        DestroyWindow();
}

// --- CReportCombo --------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CReportCombo, CComboBox)

BEGIN_MESSAGE_MAP(CReportCombo, CComboBox)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_KEYDOWN()
    ON_CONTROL_REFLECT_EX(CBN_EDITCHANGE, OnEditChange)
    ON_CONTROL_REFLECT_EX(CBN_CLOSEUP, OnCloseUp)
    ON_CONTROL_REFLECT_EX(CBN_KILLFOCUS, OnKillFocusReflect)
END_MESSAGE_MAP()

CReportCombo::CReportCombo(CReportCtrl* pReport, DWORD hItem, int nColumn, const std::vector<CTextData>* pChoices,
    const CTextData& value)
    : m_hItem(hItem)
    , m_nColumn(nColumn)
    , m_pReport(pReport)
    , m_pChoices(pChoices)
    , m_value(value)
{
}

int CReportCombo::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    SendMessage(WM_SETFONT, m_pReport->SendMessage(WM_GETFONT), FALSE);
    bool bFound = false;
    if (m_pChoices != nullptr) {
        for (const CTextData& choice : *m_pChoices) {
            int nIndex = AddString(choice.m_strText);
            if (nIndex >= 0)
                SetItemData(nIndex, choice.m_dwData);
            bFound = bFound || (choice.m_strText == m_value.m_strText && choice.m_dwData == m_value.m_dwData);
        }
    }
    m_pChoices = nullptr; // the style's list may move once the editor is open
    if (!bFound) {
        int nIndex = InsertString(0, m_value.m_strText);
        if (nIndex >= 0)
            SetItemData(nIndex, m_value.m_dwData);
    }
    // Sorting may have moved the entries: look again among the combo's own.
    int nSelect = -1;
    for (int i = 0; i < GetCount() && nSelect < 0; ++i) {
        CString str;
        GetLBText(i, str);
        if (str == m_value.m_strText && (DWORD)GetItemData(i) == m_value.m_dwData)
            nSelect = i;
    }
    SetCurSel(nSelect);
    SetFocus();
    return 0;
}

bool CReportCombo::HandleKey(UINT nChar)
{
    if (m_nLastKey != 32)
        m_nLastKey = nChar;
    switch (nChar) {
    case VK_TAB:
    case VK_RETURN:
        m_pReport->SetFocus();
        return true;
    case VK_ESCAPE:
        m_nLastKey = VK_ESCAPE;
        m_pReport->SetFocus();
        return true;
    default:
        m_nLastKey = VK_RETURN;
        return false;
    }
}

BOOL CReportCombo::PreTranslateMessage(MSG* pMsg)
{
    // With an edit field the keys go to the combo's own child window.
    if (pMsg->hwnd != m_hWnd && ::IsChild(m_hWnd, pMsg->hwnd) && pMsg->message == WM_KEYDOWN) {
        if (HandleKey((UINT)pMsg->wParam))
            return TRUE;
    }
    if ((pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)) && IsEditorKey(pMsg)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessageA(pMsg);
        return TRUE;
    }
    return CComboBox::PreTranslateMessage(pMsg);
}

void CReportCombo::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!HandleKey(nChar))
        Default();
}

BOOL CReportCombo::OnEditChange()
{
    m_nLastKey = 32;
    return FALSE;
}

BOOL CReportCombo::OnCloseUp()
{
    if (!m_bClosing && !m_bReporting && ::IsWindow(m_pReport->m_hWnd))
        m_pReport->SetFocus();
    return FALSE;
}

BOOL CReportCombo::OnKillFocusReflect()
{
    // Wine also says so when the focus only moves between the combo and its edit field.
    HWND hFocus = ::GetFocus();
    if (m_bReporting || m_bClosing || (hFocus != nullptr && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus))))
        return FALSE;
    m_bReporting = true;
    int nSelect = GetCurSel();
    CString strText;
    DWORD dwData = 0;
    if (nSelect < 0 || m_nLastKey == 32) {
        GetWindowText(strText);
    } else {
        GetLBText(nSelect, strText);
        dwData = (DWORD)GetItemData(nSelect);
    }
    HWND hSelf = m_hWnd;
    LRESULT lAnswer = SendEditorReport(
        hSelf, IDC_REPORTCOMBO, strText, dwData, m_hItem, m_nColumn, m_nLastKey == 32 ? VK_RETURN : m_nLastKey);
    if (!StillMine(hSelf, this))
        return FALSE;
    m_bReporting = false;
    if (lAnswer & RVR_KEEPOPEN) {
        SetFocus();
    } else {
        m_bClosing = true;
        PostMessage(WM_CLOSE);
    }
    return FALSE;
}

// Drawn flat over the default look, so that the combo sits inside its cell.
void CReportCombo::OnPaint()
{
    Default();
    CRect rc;
    GetClientRect(&rc);
    HDC hDC = ::GetDC(m_hWnd);
    CDC* pDC = CDC::FromHandle(hDC);
    const COLORREF crWindow = ::GetSysColor(COLOR_WINDOW);
    CRect rcRing = rc;
    for (int i = 0; i < 2; ++i, rcRing.DeflateRect(1, 1))
        pDC->Draw3dRect(&rcRing, crWindow, crWindow);
    CRect rcButton(rc.right - rc.Height(), rc.top, rc.right, rc.bottom);
    pDC->Draw3dRect(&rcButton, crWindow, crWindow);
    CRect rcInner = rcButton;
    rcInner.DeflateRect(1, 1);
    const bool bGrid = (m_pReport->SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE) & LVS_EX_GRIDLINES) != 0;
    if (bGrid) {
        pDC->Draw3dRect(&rcInner, crWindow, crWindow);
        rcInner.DeflateRect(1, 1);
    }
    const CReportCell* pCell = m_pReport->GetModel().GetCell(m_hItem, m_nColumn);
    if (pCell != nullptr && (m_pReport->GetStyleFlags(pCell->m_nStyle) & RCS_PLUSBUTTON)) {
        pDC->FillSolidRect(&rcInner, ::GetSysColor(COLOR_BTNFACE));
        CRect rcPlus = rcInner;
        rcPlus.DeflateRect(3, 3);
        COLORREF crBar = ::GetSysColor(COLOR_BTNTEXT);
        pDC->FillSolidRect(rcPlus.left, rcPlus.top + rcPlus.Height() / 2, rcPlus.Width(), 1, crBar);
        pDC->FillSolidRect(rcPlus.left + rcPlus.Width() / 2, rcPlus.top, 1, rcPlus.Height(), crBar);
    } else {
        pDC->DrawFrameControl(&rcInner, DFC_SCROLL, DFCS_SCROLLDOWN);
    }
    // The neighbours' colours above and below, the grid's line at the left.
    const CReportModel& model = m_pReport->GetModel();
    DWORD hAbove = model.GetNextItem(m_hItem, RVGN_PREVIOUSROW);
    pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1,
        hAbove != RVI_NONE ? m_pReport->GetCellBackColor(hAbove, m_nColumn) : crWindow);
    if (bGrid) {
        pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), ::GetSysColor(COLOR_BTNFACE));
        pDC->FillSolidRect(rc.left + 1, rc.top, 1, rc.Height(), crWindow);
    }
    DWORD hBelow = model.GetNextItem(m_hItem, RVGN_NEXTROW);
    pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1,
        m_pReport->GetLinesPerRow() == 1 && hBelow != RVI_NONE ? m_pReport->GetCellBackColor(hBelow, m_nColumn)
                                                               : crWindow);
    ::ReleaseDC(m_hWnd, hDC);
}

// --- the skinned header ----------------------------------------------------------

IMPLEMENT_DYNAMIC(CFlatHeaderCtrl, CHeaderCtrl)
IMPLEMENT_DYNAMIC(CSkinHeaderCtrl, CFlatHeaderCtrl)

BEGIN_MESSAGE_MAP(CSkinHeaderCtrl, CFlatHeaderCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

BOOL CSkinHeaderCtrl::OnEraseBkgnd(CDC*) { return FALSE; }

void CSkinHeaderCtrl::OnPaint()
{
    CPaintDC dc(this);
    Paint(dc);
}

// A copy of the window (WM_PRINT) shows the same skin as the screen.
LRESULT CSkinHeaderCtrl::OnPrintClient(WPARAM wParam, LPARAM)
{
    if (CDC* pDC = CDC::FromHandle((HDC)wParam))
        Paint(*pDC);
    return 0;
}

void CSkinHeaderCtrl::Paint(CDC& dc)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.IsRectEmpty())
        return;
    // One back buffer for the whole header, copied when it goes.
    CFillMemDC memDC(&dc, &rcClient, FALSE, FALSE);
    CDC bmpDC;
    CBitmap back, left, right;
    if (!bmpDC.CreateCompatibleDC(&dc))
        return;
    back.LoadBitmap(IDB_REPORTHEADER_BACK);
    left.LoadBitmap(IDB_REPORTHEADER_LEFT);
    right.LoadBitmap(IDB_REPORTHEADER_RIGHT);
    {
        CSelectGuard sel(bmpDC.m_hDC, back.m_hObject);
        memDC.StretchBlt(0, 0, rcClient.Width(), rcClient.Height(), &bmpDC, 0, 0, 1, 12, SRCCOPY);
    }
    const int nItems = GetItemCount();
    for (int i = 0; i < nItems; ++i) {
        char szText[256] = "";
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = szText;
        item.cchTextMax = 255;
        CRect rc;
        if (!GetItem(i, &item) || !GetItemRect(i, &rc))
            continue;
        szText[255] = '\0';
        if (item.iOrder == 0) {
            CSelectGuard sel(bmpDC.m_hDC, left.m_hObject);
            memDC.BitBlt(rc.left, 0, 2, 12, &bmpDC, 0, 0, SRCCOPY);
        } else {
            // The separator: the right-edge bitmap, then a column of the ground.
            CSelectGuard sel(bmpDC.m_hDC, right.m_hObject);
            memDC.BitBlt(rc.left - 1, 0, 2, 12, &bmpDC, 0, 0, SRCCOPY);
            CSelectGuard selBack(bmpDC.m_hDC, back.m_hObject);
            memDC.BitBlt(rc.left + 1, 0, 1, 12, &bmpDC, 0, 0, SRCCOPY);
        }
        {
            CSelectGuard sel(bmpDC.m_hDC, back.m_hObject);
            memDC.StretchBlt(rc.left + 2, rc.top, std::max<int>(rc.Width() - 4, 0), 1, &bmpDC, 0, 0, 1, 12, SRCCOPY);
        }
        {
            CSelectGuard sel(bmpDC.m_hDC, right.m_hObject);
            memDC.BitBlt(rc.right - 2, 0, 2, 12, &bmpDC, 0, 0, SRCCOPY);
        }
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_HEADER;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemID = (UINT)i;
        dis.hwndItem = m_hWnd;
        dis.hDC = memDC.m_hDC;
        dis.rcItem = rc;
        DrawItem(&dis);
        LOGFONTA lf = {};
        lf.lfHeight = 12;
        lstrcpynA(lf.lfFaceName, "Sevenet 7", LF_FACESIZE);
        CFont font;
        font.CreateFontIndirect(&lf);
        CSelectGuard selFont(memDC.m_hDC, font.m_hObject);
        memDC.SetBkMode(TRANSPARENT);
        rc.DeflateRect(2, 2);
        memDC.DrawText(szText, -1, &rc, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}
