// The control wrappers round-trip each control's state on a hidden parent:
// what a wrapper returns is checked against the control's own answer where
// the wrapper packs, unpacks or fills structures.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "afx/afxwin.h"
#include "support/win_window.h"

// Readable failure messages for the geometry types (found by argument lookup).
void PrintTo(const CSize& size, std::ostream* os) { *os << size.cx << "x" << size.cy; }
void PrintTo(const CRect& rc, std::ostream* os) {
    *os << "(" << rc.left << ", " << rc.top << ")-(" << rc.right << ", " << rc.bottom << ")";
}

namespace {

class ControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
        ::InitCommonControlsEx(&icc);
    }
    void SetUp() override {
        m_nGdiBefore = AfxGetLiveGdiObjectCount();
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "controls", WS_POPUP, 0, 0, 500, 400, nullptr, nullptr));
    }
    void TearDown() override {
        m_parent.DestroyWindow();
        vtest::PumpPending();
        EXPECT_EQ(m_nGdiBefore, AfxGetLiveGdiObjectCount());
    }
    static CRect Box() { return CRect(10, 10, 310, 210); }

    CWnd m_parent;
    long m_nGdiBefore = 0;
};

// --- CImageList --------------------------------------------------------------

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// 16x16 in one colour with an 8x8 centre in another.
void MakeBitmap(CBitmap& bm, COLORREF clrOuter, COLORREF clrCentre) {
    HDC hScreen = ::GetDC(nullptr);
    ASSERT_TRUE(bm.CreateCompatibleBitmap(CDC::FromHandle(hScreen), 16, 16));
    HDC hMem = ::CreateCompatibleDC(hScreen);
    ::ReleaseDC(nullptr, hScreen);
    HGDIOBJ hOld = ::SelectObject(hMem, (HBITMAP)bm);
    CDC* pDC = CDC::FromHandle(hMem);
    pDC->FillSolidRect(0, 0, 16, 16, clrOuter);
    pDC->FillSolidRect(4, 4, 8, 8, clrCentre);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
}

// Monochrome: the left half opaque (0), the right half transparent (1).
void MakeLeftHalfMask(CBitmap& bm) {
    WORD rows[16];
    for (WORD& row : rows)
        row = 0xFF00;  // one word per row, most significant bit first: bytes 0x00 0xFF
    ASSERT_TRUE(bm.CreateBitmap(16, 16, 1, 1, rows));
}

class CCanvas {
public:
    CCanvas() {
        HDC hScreen = ::GetDC(nullptr);
        m_hDC = ::CreateCompatibleDC(hScreen);
        m_hBitmap = ::CreateCompatibleBitmap(hScreen, 64, 16);
        ::ReleaseDC(nullptr, hScreen);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        Clear();
    }
    ~CCanvas() {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    void Clear() { CDC::FromHandle(m_hDC)->FillSolidRect(0, 0, 64, 16, kWhite); }
    CDC* DC() { return CDC::FromHandle(m_hDC); }
    COLORREF At(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

private:
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
};

TEST_F(ControlsTest, ImageListAddsInThreeWaysReplacesDrawsAndExtracts) {
    CImageList il;
    ASSERT_TRUE(il.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4));
    CBitmap red, blueGreen, mask;
    MakeBitmap(red, kRed, kRed);
    MakeBitmap(blueGreen, kBlue, kGreen);
    MakeLeftHalfMask(mask);

    EXPECT_EQ(0, il.Add(&red, &mask));
    EXPECT_EQ(1, il.Add(&blueGreen, kGreen));  // green becomes transparent
    EXPECT_EQ(2, il.GetImageCount());

    IMAGEINFO info{};
    ASSERT_TRUE(il.GetImageInfo(1, &info));
    EXPECT_EQ(CSize(16, 16), CRect(info.rcImage).Size());
    EXPECT_NE(nullptr, info.hbmImage);
    EXPECT_NE(nullptr, info.hbmMask);
    EXPECT_FALSE(il.GetImageInfo(2, &info));

    CCanvas canvas;
    ASSERT_TRUE(il.Draw(canvas.DC(), 0, CPoint(0, 0), ILD_TRANSPARENT));
    ASSERT_TRUE(il.Draw(canvas.DC(), 1, CPoint(16, 0), ILD_TRANSPARENT));
    EXPECT_EQ(kRed, canvas.At(2, 8));
    EXPECT_EQ(kWhite, canvas.At(12, 8));  // masked out
    EXPECT_EQ(kBlue, canvas.At(17, 1));
    EXPECT_EQ(kWhite, canvas.At(24, 8));  // the centre had the mask colour

    // An icon carries its mask along: image 1 as an icon, added back.
    HICON hIcon = il.ExtractIcon(1);
    ASSERT_NE(nullptr, hIcon);
    EXPECT_EQ(2, il.Add(hIcon));
    EXPECT_EQ(0, il.Replace(0, hIcon));
    EXPECT_EQ(3, il.Replace(-1, hIcon));  // -1 appends
    EXPECT_EQ(4, il.GetImageCount());
    ::DestroyIcon(hIcon);
    canvas.Clear();
    ASSERT_TRUE(il.Draw(canvas.DC(), 0, CPoint(0, 0), ILD_TRANSPARENT));
    ASSERT_TRUE(il.Draw(canvas.DC(), 3, CPoint(32, 0), ILD_TRANSPARENT));
    EXPECT_EQ(kBlue, canvas.At(1, 1));
    EXPECT_EQ(kWhite, canvas.At(8, 8));
    EXPECT_EQ(kBlue, canvas.At(33, 1));

    // Replace with bitmaps: the new mask applies.
    EXPECT_TRUE(il.Replace(3, &red, &mask));
    canvas.Clear();
    ASSERT_TRUE(il.Draw(canvas.DC(), 3, CPoint(0, 0), ILD_TRANSPARENT));
    EXPECT_EQ(kRed, canvas.At(2, 8));
    EXPECT_EQ(kWhite, canvas.At(12, 8));
    EXPECT_FALSE(il.Replace(9, &red, &mask));

    EXPECT_TRUE(il.Remove(0));
    EXPECT_EQ(3, il.GetImageCount());
    EXPECT_TRUE(il.Remove(-1));
    EXPECT_EQ(0, il.GetImageCount());
}

// --- CListCtrl and CHeaderCtrl ------------------------------------------------

TEST_F(ControlsTest, ListCtrlReportColumnsAndItems) {
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS, Box(), &m_parent, 10));
    EXPECT_EQ(0, list.InsertColumn(0, "Name", LVCFMT_LEFT, 100));
    EXPECT_EQ(1, list.InsertColumn(1, "Time", LVCFMT_RIGHT, 80, 1));
    EXPECT_EQ(2, list.InsertColumn(2, "Note"));
    EXPECT_EQ(100, list.GetColumnWidth(0));
    EXPECT_EQ(80, list.GetColumnWidth(1));
    EXPECT_TRUE(list.SetColumnWidth(2, 55));
    EXPECT_EQ(55, list.GetColumnWidth(2));
    char szText[32] = "";
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    col.pszText = szText;
    col.cchTextMax = sizeof(szText);
    ASSERT_TRUE(list.GetColumn(1, &col));
    EXPECT_STREQ("Time", szText);
    EXPECT_EQ(LVCFMT_RIGHT, col.fmt & LVCFMT_JUSTIFYMASK);
    EXPECT_EQ(1, col.iSubItem);
    CHeaderCtrl* pHeader = list.GetHeaderCtrl();
    ASSERT_NE(nullptr, pHeader);
    EXPECT_EQ(3, pHeader->GetItemCount());

    EXPECT_EQ(0, list.InsertItem(0, "alarm"));
    EXPECT_EQ(1, list.InsertItem(1, "timer"));
    EXPECT_EQ(0, list.InsertItem(0, "first"));  // the others move down
    EXPECT_EQ(3, list.GetItemCount());
    EXPECT_TRUE(list.SetItemText(1, 1, "07:30"));
    EXPECT_STREQ("alarm", list.GetItemText(1, 0));
    EXPECT_STREQ("07:30", list.GetItemText(1, 1));
    EXPECT_STREQ("", list.GetItemText(1, 2));
    EXPECT_STREQ("timer", list.GetItemText(2, 0));
    EXPECT_STREQ("", list.GetItemText(9, 0));  // no such item

    // Texts at and past the wrapper's first buffer come back whole.
    for (size_t nLen : {255u, 256u, 700u}) {
        std::string str(nLen, 'x');
        str.front() = 'a';
        str.back() = 'z';
        ASSERT_TRUE(list.SetItemText(2, 2, str.c_str()));
        EXPECT_EQ(str, std::string(list.GetItemText(2, 2))) << nLen;
    }

    EXPECT_TRUE(list.SetItemData(2, 0xC0FFEE));
    EXPECT_EQ(0xC0FFEEu, list.GetItemData(2));
    EXPECT_EQ(0u, list.GetItemData(0));
    EXPECT_EQ(0u, list.GetItemData(42));  // no such item

    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(2, list.GetItemCount());
    EXPECT_STREQ("alarm", list.GetItemText(0, 0));
    EXPECT_FALSE(list.DeleteItem(5));
}

TEST_F(ControlsTest, ListCtrlSelectionRectanglesAndImages) {
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS, Box(), &m_parent, 10));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "Time", LVCFMT_LEFT, 80);
    for (const char* psz : {"one", "two", "three"})
        list.InsertItem(list.GetItemCount(), psz);

    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_TRUE(list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(2u, list.GetSelectedCount());
    EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_EQ(2, list.GetNextItem(1, LVNI_SELECTED));
    EXPECT_EQ(1, list.GetNextItem(-1, LVNI_FOCUSED));
    EXPECT_EQ((UINT)LVIS_SELECTED, list.GetItemState(2, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_TRUE(list.SetItemState(-1, 0, LVIS_SELECTED));  // every item
    EXPECT_EQ(0u, list.GetSelectedCount());

    // The wrappers put the area code where the control expects it.
    for (int nCode : {LVIR_BOUNDS, LVIR_LABEL}) {
        CRect rc;
        ASSERT_TRUE(list.GetItemRect(1, &rc, nCode));
        RECT raw = {nCode, 0, 0, 0};
        ASSERT_TRUE(list.SendMessage(LVM_GETITEMRECT, 1, (LPARAM)&raw));
        EXPECT_EQ(rc, raw) << nCode;
    }
    CRect rcSub;
    ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_BOUNDS, rcSub));
    RECT rawSub = {LVIR_BOUNDS, 1, 0, 0};
    ASSERT_TRUE(list.SendMessage(LVM_GETSUBITEMRECT, 1, (LPARAM)&rawSub));
    EXPECT_EQ(rcSub, rawSub);
    EXPECT_EQ(100, rcSub.left);  // after the first column
    EXPECT_EQ(80, rcSub.Width());
    CRect rcRow;
    list.GetItemRect(1, &rcRow, LVIR_BOUNDS);
    EXPECT_EQ(rcRow.top, rcSub.top);

    CImageList il;
    ASSERT_TRUE(il.Create(16, 16, ILC_COLOR24, 2, 2));
    EXPECT_EQ(nullptr, list.SetImageList(&il, LVSIL_SMALL));
    EXPECT_EQ(il.m_hImageList, list.GetImageList(LVSIL_SMALL)->GetSafeHandle());
    EXPECT_EQ(nullptr, list.GetImageList(LVSIL_NORMAL));
    EXPECT_EQ(3, list.InsertItem(3, "with image", 1));
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 3;
    ASSERT_TRUE(list.GetItem(&item));
    EXPECT_EQ(1, item.iImage);
    list.DestroyWindow();  // before the image list it shares
}

TEST_F(ControlsTest, HeaderItemsOrderAndImageList) {
    CHeaderCtrl header;
    ASSERT_TRUE(header.Create(WS_CHILD | HDS_HORZ, CRect(0, 0, 300, 24), &m_parent, 11));
    struct {
        int nPos;
        const char* pszText;
        int cx;
    } items[] = {{0, "Name", 120}, {1, "When", 80}, {0, "Icon", 30}};
    for (auto& it : items) {
        HDITEMA hdi{};
        hdi.mask = HDI_TEXT | HDI_WIDTH | HDI_LPARAM;
        hdi.pszText = const_cast<char*>(it.pszText);
        hdi.cxy = it.cx;
        hdi.lParam = it.cx * 10;
        EXPECT_EQ(it.nPos, header.InsertItem(it.nPos, &hdi));
    }
    ASSERT_EQ(3, header.GetItemCount());

    char szText[16] = "";
    HDITEMA hdi{};
    hdi.mask = HDI_TEXT | HDI_WIDTH | HDI_LPARAM;
    hdi.pszText = szText;
    hdi.cchTextMax = sizeof(szText);
    ASSERT_TRUE(header.GetItem(1, &hdi));
    EXPECT_STREQ("Name", szText);
    EXPECT_EQ(120, hdi.cxy);
    EXPECT_EQ(1200, hdi.lParam);

    CRect rc;
    ASSERT_TRUE(header.GetItemRect(1, &rc));
    EXPECT_EQ(30, rc.left);
    EXPECT_EQ(150, rc.right);
    hdi.mask = HDI_WIDTH;
    hdi.cxy = 60;
    EXPECT_TRUE(header.SetItem(1, &hdi));
    ASSERT_TRUE(header.GetItemRect(2, &rc));
    EXPECT_EQ(90, rc.left);

    int order[3] = {2, 0, 1};
    EXPECT_TRUE(header.SetOrderArray(3, order));
    int got[3] = {-1, -1, -1};
    EXPECT_TRUE(header.GetOrderArray(got, 3));
    EXPECT_EQ(2, got[0]);
    EXPECT_EQ(0, got[1]);
    EXPECT_EQ(1, got[2]);
    ASSERT_TRUE(header.GetItemRect(2, &rc));
    EXPECT_EQ(0, rc.left);  // shown first now

    CImageList il1, il2;
    ASSERT_TRUE(il1.Create(16, 16, ILC_COLOR24, 1, 1));
    ASSERT_TRUE(il2.Create(16, 16, ILC_COLOR24, 1, 1));
    EXPECT_EQ(nullptr, header.SetImageList(&il1));
    CImageList* pOld = header.SetImageList(&il2);
    ASSERT_NE(nullptr, pOld);
    EXPECT_EQ(il1.m_hImageList, pOld->m_hImageList);
    EXPECT_EQ(il2.m_hImageList, header.GetImageList()->m_hImageList);

    EXPECT_TRUE(header.DeleteItem(0));
    EXPECT_EQ(2, header.GetItemCount());
    EXPECT_FALSE(header.DeleteItem(5));
    header.DestroyWindow();
}

// --- spin button, progress bar, slider ---------------------------------------

TEST_F(ControlsTest, SpinButtonDrivesItsBuddyWithinItsRange) {
    CEdit edit, other;
    ASSERT_TRUE(edit.Create(WS_CHILD | ES_AUTOHSCROLL, CRect(0, 0, 80, 20), &m_parent, 20));
    ASSERT_TRUE(other.Create(WS_CHILD, CRect(0, 30, 80, 50), &m_parent, 22));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | UDS_SETBUDDYINT | UDS_NOTHOUSANDS, CRect(80, 0, 96, 20), &m_parent, 21));
    EXPECT_EQ(nullptr, spin.SetBuddy(&edit));
    EXPECT_EQ(&edit, spin.GetBuddy());  // the edit's own object

    spin.SetRange(-50, 2000);
    int nLower = 0, nUpper = 0;
    spin.GetRange32(nLower, nUpper);
    EXPECT_EQ(-50, nLower);
    EXPECT_EQ(2000, nUpper);

    EXPECT_EQ(0, spin.SetPos(1500));
    CString str;
    edit.GetWindowText(str);
    EXPECT_STREQ("1500", str);
    EXPECT_EQ(1500, spin.SetPos(-20));
    edit.GetWindowText(str);
    EXPECT_STREQ("-20", str);
    // The position is in the low word, as the control answers.
    int nPos = spin.GetPos();
    EXPECT_EQ((int)spin.SendMessage(UDM_GETPOS), nPos);
    EXPECT_EQ(-20, (short)LOWORD(nPos));
    EXPECT_EQ(0, HIWORD(nPos));

    // The buddy's text is read back; text that is no number sets the high word.
    edit.SetWindowText("77");
    nPos = spin.GetPos();
    EXPECT_EQ(77, (short)LOWORD(nPos));
    EXPECT_EQ(0, HIWORD(nPos));
    edit.SetWindowText("abc");
    EXPECT_NE(0, HIWORD(spin.GetPos()));

    spin.SetRange32(-100000, 100000);
    spin.GetRange32(nLower, nUpper);
    EXPECT_EQ(-100000, nLower);
    EXPECT_EQ(100000, nUpper);

    EXPECT_EQ(&edit, spin.SetBuddy(&other));
    EXPECT_EQ(&other, spin.GetBuddy());
}

TEST_F(ControlsTest, ProgressRangesPositionsAndSteps) {
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD, CRect(0, 0, 200, 16), &m_parent, 30));
    progress.SetRange(10, 200);
    int nLower = 0, nUpper = 0;
    progress.GetRange(nLower, nUpper);
    EXPECT_EQ(10, nLower);
    EXPECT_EQ(200, nUpper);
    EXPECT_EQ(10, (int)progress.SendMessage(PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(200, (int)progress.SendMessage(PBM_GETRANGE, FALSE, 0));

    int nBefore = progress.GetPos();
    EXPECT_EQ(nBefore, progress.SetPos(50));
    EXPECT_EQ(50, progress.GetPos());
    EXPECT_EQ(50, progress.OffsetPos(25));
    EXPECT_EQ(75, progress.GetPos());
    int nOldStep = progress.SetStep(30);
    EXPECT_EQ(10, nOldStep);
    EXPECT_EQ(75, progress.StepIt());
    EXPECT_EQ(105, progress.GetPos());
    progress.SetPos(500);
    EXPECT_EQ(200, progress.GetPos());  // clamped to the range

    progress.SetRange32(-1000, 100000);
    progress.GetRange(nLower, nUpper);
    EXPECT_EQ(-1000, nLower);
    EXPECT_EQ(100000, nUpper);
    progress.SetPos(-500);
    EXPECT_EQ(-500, progress.GetPos());
    progress.SetPos(70000);
    EXPECT_EQ(70000, progress.GetPos());
}

TEST_F(ControlsTest, SliderRangeClampsPositionAndSizes) {
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | TBS_HORZ | TBS_AUTOTICKS, CRect(0, 0, 200, 30), &m_parent, 40));
    slider.SetRange(5, 50);
    EXPECT_EQ(5, slider.GetRangeMin());
    EXPECT_EQ(50, slider.GetRangeMax());
    slider.SetPos(20);
    EXPECT_EQ(20, slider.GetPos());
    slider.SetPos(100);
    EXPECT_EQ(50, slider.GetPos());
    slider.SetPos(-3);
    EXPECT_EQ(5, slider.GetPos());

    int nLine = slider.GetLineSize();
    EXPECT_EQ(nLine, slider.SetLineSize(3));
    EXPECT_EQ(3, slider.GetLineSize());
    int nPage = slider.GetPageSize();
    EXPECT_EQ(nPage, slider.SetPageSize(12));
    EXPECT_EQ(12, slider.GetPageSize());

    slider.SetTicFreq(5);
    EXPECT_GT((int)slider.SendMessage(TBM_GETNUMTICS), 2);
    slider.ClearTics();
    EXPECT_EQ(2, (int)slider.SendMessage(TBM_GETNUMTICS));  // only the ends
}

// --- list box and hot key --------------------------------------------------------

TEST_F(ControlsTest, ListBoxStringsDataAndMultipleSelection) {
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | LBS_EXTENDEDSEL | LBS_HASSTRINGS, Box(), &m_parent, 50));
    EXPECT_EQ(0, list.AddString("gamma"));
    EXPECT_EQ(1, list.AddString("alpha"));
    EXPECT_EQ(1, list.InsertString(1, "beta"));
    EXPECT_EQ(3, list.InsertString(-1, "omega"));  // -1 appends
    EXPECT_EQ(4, list.GetCount());

    CString str;
    list.GetText(1, str);
    EXPECT_STREQ("beta", str);
    EXPECT_EQ(4, list.GetTextLen(1));
    list.GetText(7, str);
    EXPECT_STREQ("", str);  // no such item

    EXPECT_EQ(2, list.FindString(-1, "al"));  // a prefix, in any case
    EXPECT_EQ(2, list.FindString(-1, "ALPHA"));
    EXPECT_EQ(LB_ERR, list.FindStringExact(-1, "al"));
    EXPECT_EQ(2, list.FindStringExact(-1, "alpha"));
    EXPECT_EQ(0, list.FindString(2, "g"));  // the search wraps past the end

    EXPECT_NE(LB_ERR, list.SetItemData(0, 0x1234));
    EXPECT_EQ(0x1234u, list.GetItemData(0));

    EXPECT_NE(LB_ERR, list.SetSel(1));
    EXPECT_NE(LB_ERR, list.SetSel(3));
    EXPECT_EQ(2, list.GetSelCount());
    int sel[8] = {};
    ASSERT_EQ(2, list.GetSelItems(8, sel));
    EXPECT_EQ(1, sel[0]);
    EXPECT_EQ(3, sel[1]);
    EXPECT_GT(list.GetSel(3), 0);
    list.SetSel(1, FALSE);
    EXPECT_EQ(1, list.GetSelCount());
    list.SetSel(-1, TRUE);  // every item
    EXPECT_EQ(4, list.GetSelCount());

    EXPECT_EQ(3, list.DeleteString(0));  // what is left
    list.ResetContent();
    EXPECT_EQ(0, list.GetCount());

    CListBox sorted;
    ASSERT_TRUE(sorted.Create(WS_CHILD | LBS_SORT | LBS_HASSTRINGS, Box(), &m_parent, 51));
    sorted.AddString("pear");
    EXPECT_EQ(0, sorted.AddString("apple"));
    EXPECT_EQ(2, sorted.AddString("quince"));
    EXPECT_EQ(1, sorted.SelectString(-1, "PE"));
    EXPECT_EQ(1, sorted.GetCurSel());
}

TEST_F(ControlsTest, HotKeyPacksKeyAndModifiers) {
    CHotKeyCtrl hotkey;
    ASSERT_TRUE(hotkey.Create(WS_CHILD, CRect(0, 0, 120, 20), &m_parent, 60));
    hotkey.SetHotKey('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ((DWORD)hotkey.SendMessage(HKM_GETHOTKEY), hotkey.GetHotKey());
    WORD wKey = 0, wModifiers = 0;
    hotkey.GetHotKey(wKey, wModifiers);
    EXPECT_EQ('K', wKey);
    EXPECT_EQ(HOTKEYF_CONTROL | HOTKEYF_ALT, wModifiers);
    hotkey.SetHotKey(VK_F5, 0);
    hotkey.GetHotKey(wKey, wModifiers);
    EXPECT_EQ(VK_F5, wKey);
    EXPECT_EQ(0, wModifiers);
    hotkey.SetHotKey(0, 0);
    EXPECT_EQ(0u, hotkey.GetHotKey());
}

// --- date and time ------------------------------------------------------------------

SYSTEMTIME Date(WORD y, WORD m, WORD d, WORD hh = 0, WORD mm = 0, WORD ss = 0) {
    SYSTEMTIME st{};
    st.wYear = y;
    st.wMonth = m;
    st.wDay = d;
    st.wHour = hh;
    st.wMinute = mm;
    st.wSecond = ss;
    return st;
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

TEST_F(ControlsTest, DateTimeValueNoneAndRange) {
    CDateTimeCtrl dt;
    ASSERT_TRUE(dt.Create(WS_CHILD | DTS_SHOWNONE | DTS_TIMEFORMAT, CRect(0, 0, 150, 22), &m_parent, 70));
    SYSTEMTIME st = Date(2024, 2, 29, 13, 45, 10);
    EXPECT_TRUE(dt.SetTime(&st));
    SYSTEMTIME got{};
    EXPECT_EQ((DWORD)GDT_VALID, dt.GetTime(&got));
    EXPECT_TRUE(SameDay(st, got));
    EXPECT_EQ(13, got.wHour);
    EXPECT_EQ(45, got.wMinute);
    EXPECT_EQ(10, got.wSecond);

    EXPECT_TRUE(dt.SetTime(nullptr));  // "none", as the check box shows it
    EXPECT_EQ((DWORD)GDT_NONE, dt.GetTime(&got));

    SYSTEMTIME lo = Date(2020, 1, 1);
    SYSTEMTIME hi = Date(2030, 12, 31);
    EXPECT_TRUE(dt.SetRange(&lo, &hi));
    SYSTEMTIME range[2] = {};
    EXPECT_EQ((DWORD)(GDTR_MIN | GDTR_MAX), (DWORD)dt.SendMessage(DTM_GETRANGE, 0, (LPARAM)range));
    EXPECT_TRUE(SameDay(lo, range[0]));
    EXPECT_TRUE(SameDay(hi, range[1]));
    EXPECT_TRUE(dt.SetRange(&lo, nullptr));
    EXPECT_EQ((DWORD)GDTR_MIN, (DWORD)dt.SendMessage(DTM_GETRANGE, 0, (LPARAM)range));

    EXPECT_TRUE(dt.SetFormat("HH':'mm"));
    EXPECT_EQ((HWND)dt.SendMessage(DTM_GETMONTHCAL), dt.GetMonthCalCtrl()->GetSafeHwnd());
}

TEST_F(ControlsTest, MonthCalSelectionTodayColoursAndFirstDay) {
    CMonthCalCtrl cal;
    ASSERT_TRUE(cal.Create(WS_CHILD, CRect(0, 0, 260, 200), &m_parent, 80));
    SYSTEMTIME st = Date(2025, 3, 14);
    EXPECT_TRUE(cal.SetCurSel(&st));
    SYSTEMTIME got{};
    ASSERT_TRUE(cal.GetCurSel(&got));
    EXPECT_TRUE(SameDay(st, got));
    SYSTEMTIME today = Date(2025, 7, 4);
    cal.SetToday(&today);
    ASSERT_TRUE(cal.GetToday(&got));
    EXPECT_TRUE(SameDay(today, got));

    COLORREF clrOld = cal.GetColor(MCSC_TITLEBK);
    EXPECT_EQ(clrOld, cal.SetColor(MCSC_TITLEBK, RGB(1, 2, 3)));
    EXPECT_EQ(RGB(1, 2, 3), cal.GetColor(MCSC_TITLEBK));

    CRect rcMin;
    ASSERT_TRUE(cal.GetMinReqRect(&rcMin));
    EXPECT_GT(rcMin.Width(), 0);
    EXPECT_GT(rcMin.Height(), 0);

    // The flag reports a first day other than the locale's, as the control does.
    BOOL bDiffers = TRUE;
    const int nLocaleDay = cal.GetFirstDayOfWeek(&bDiffers);
    EXPECT_FALSE(bDiffers);
    const int nDay = (nLocaleDay + 3) % 7;
    int nOld = -1;
    EXPECT_FALSE(cal.SetFirstDayOfWeek(nDay, &nOld));  // the previous one was the locale's
    EXPECT_EQ(nLocaleDay, nOld);
    EXPECT_EQ(nDay, cal.GetFirstDayOfWeek(&bDiffers));
    EXPECT_TRUE(bDiffers);
    DWORD dwRaw = (DWORD)cal.SendMessage(MCM_GETFIRSTDAYOFWEEK);
    EXPECT_EQ(HIWORD(dwRaw) != 0, bDiffers != FALSE);

    CMonthCalCtrl multi;
    ASSERT_TRUE(multi.Create(WS_CHILD | MCS_MULTISELECT, CRect(0, 0, 260, 200), &m_parent, 81));
    EXPECT_TRUE(multi.SetMaxSelCount(5));
    EXPECT_EQ(5, multi.GetMaxSelCount());
}

// --- tool tips --------------------------------------------------------------------

CString ToolText(CToolTipCtrl& tip, HWND hWnd, UINT_PTR nID) {
    char szText[80] = "";
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = hWnd;
    ti.uId = nID;
    ti.lpszText = szText;
    tip.SendMessage(TTM_GETTEXTA, 0, (LPARAM)&ti);
    return CString(szText);
}

TEST_F(ControlsTest, ToolTipAddsUpdatesAndDeletesTools) {
    CButton button;
    ASSERT_TRUE(button.Create("Snooze", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, 80, 24), &m_parent, 90));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&m_parent));
    EXPECT_EQ(m_parent.m_hWnd, ::GetWindow(tip.m_hWnd, GW_OWNER));
    EXPECT_NE(0u, tip.GetExStyle() & WS_EX_TOPMOST);

    // A whole control: known by its handle, under its parent.
    EXPECT_TRUE(tip.AddTool(&button, "Snooze for five minutes"));
    EXPECT_EQ(1, tip.GetToolCount());
    EXPECT_STREQ("Snooze for five minutes", ToolText(tip, m_parent.m_hWnd, (UINT_PTR)button.m_hWnd));
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ASSERT_TRUE(tip.SendMessage(TTM_ENUMTOOLSA, 0, (LPARAM)&ti));
    EXPECT_EQ((UINT)(TTF_IDISHWND | TTF_SUBCLASS), ti.uFlags & (TTF_IDISHWND | TTF_SUBCLASS));

    // An area of a window, known by an id.
    CRect rcArea(10, 10, 50, 30);
    EXPECT_TRUE(tip.AddTool(&m_parent, "Clock face", &rcArea, 7));
    EXPECT_EQ(2, tip.GetToolCount());
    ti = TTTOOLINFOA{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = m_parent.m_hWnd;
    ti.uId = 7;
    ASSERT_TRUE(tip.SendMessage(TTM_GETTOOLINFOA, 0, (LPARAM)&ti));
    EXPECT_EQ(rcArea, CRect(ti.rect));
    EXPECT_EQ(0u, ti.uFlags & TTF_IDISHWND);

    tip.UpdateTipText("Later", &button);
    EXPECT_STREQ("Later", ToolText(tip, m_parent.m_hWnd, (UINT_PTR)button.m_hWnd));
    tip.UpdateTipText("Face", &m_parent, 7);
    EXPECT_STREQ("Face", ToolText(tip, m_parent.m_hWnd, 7));

    tip.DelTool(&button);
    EXPECT_EQ(1, tip.GetToolCount());
    tip.DelTool(&m_parent, 7);
    EXPECT_EQ(0, tip.GetToolCount());
}

}  // namespace
