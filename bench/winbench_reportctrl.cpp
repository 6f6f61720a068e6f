// The report list under Wine: 1,000 rows filled, sorted both ways by a
// column, one full repaint of the rows that show, and emptying the list
// (deleting the root) at 1,000 and 20,000 rows, each timed. As in
// Veltran.exe, the menus library's hook watches every message sent on this
// thread, and the list is shown.
#include "bench_list.h"
#include "controls/reportctrl.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"

#include <cstdio>
#include <string>

namespace {

double Now()
{
    LARGE_INTEGER n, f;
    ::QueryPerformanceCounter(&n);
    ::QueryPerformanceFrequency(&f);
    return double(n.QuadPart) / double(f.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    const int nRows = 1000;
    const int nManyRows = 20000;
    const char* const kFill = "fill";
    const char* const kSortUp = "sort ascending";
    const char* const kSortDown = "sort descending";
    const char* const kPaint = "full repaint";
    const std::string strDelete = "delete all of " + std::to_string(nRows) + " rows";
    const std::string strDeleteMany = "delete all of " + std::to_string(nManyRows) + " rows";
    if (BenchList(
            argc, argv, { kFill, kSortUp, kSortDown, kPaint, strDelete.c_str(), strDeleteMany.c_str() }))
        return 0;
    // The library starts with the program; its hook is the one every sent message pays for.
    if (GetCurrentMenuStyle() == nullptr || g_menuLib.hHook == nullptr) {
        std::fprintf(stderr, "the menus library's hook is not in place\n");
        return 1;
    }
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_LISTVIEW_CLASSES };
    ::InitCommonControlsEx(&icc);
    CWnd parent;
    if (!parent.CreateEx(0, nullptr, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 900, nullptr, nullptr))
        return 1;
    // As a dialog's control: the list first, its object after.
    HWND hList = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 620, 880,
        parent.m_hWnd, (HMENU)1017, ::GetModuleHandleA(nullptr), nullptr);
    CReportCtrl report;
    if (hList == nullptr || !report.SubclassWindow(hList))
        return 1;
    report.InsertColumn(0, "Name", 0, 200);
    report.InsertColumn(1, "Time", 2, 200);
    report.InsertColumn(2, "Left", 2, 200);
    int nCheck = report.AddCellStyle(RCS_CHECKBOX | RCS_EDIT);

    auto fill = [&](int nRows) {
        report.SetRedraw(FALSE);
        for (int i = 0; i < nRows; ++i) {
            CString str;
            str.Format((i & 1) ? "alarm %04d" : "Alarm %04d", i * 7919 % nRows);
            DWORD h = report.InsertItem(RVI_ROOT, RVTI_LAST, str, -1, nCheck);
            str.Format("%02d:%02d:%02d", i % 24, i % 60, (i * 7) % 60);
            report.SetItemText(h, 1, str);
            str.Format("%d days", i % 365);
            report.SetItemText(h, 2, str);
            report.SetItemCheck(h, 0, i & 1);
        }
        report.SetRedraw(TRUE);
    };
    // As the alarm list and the Skin Browser empty it before a refill.
    auto deleteAll = [&] {
        double t = Now();
        report.DeleteItem(RVI_ROOT);
        return Now() - t;
    };

    double t0 = Now();
    fill(nRows);
    double tFill = Now() - t0;

    t0 = Now();
    report.SortColumn(0, FALSE);
    double tSortUp = Now() - t0;
    t0 = Now();
    report.SortColumn(0, TRUE);
    double tSortDown = Now() - t0;

    // One full repaint of the client area into memory, as WM_PRINT makes it.
    RECT rc;
    report.GetClientRect(&rc);
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, rc.right, rc.bottom);
    ::ReleaseDC(nullptr, hScreen);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    t0 = Now();
    report.SendMessage(WM_PRINTCLIENT, (WPARAM)hMem, PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    double tPaint = Now() - t0;
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    int nShowing = (int)report.SendMessage(LVM_GETCOUNTPERPAGE);

    double tDelete = deleteAll();
    bool bEmpty = report.GetItemCount() == 0;
    fill(nManyRows);
    double tDeleteMany = deleteAll();
    bEmpty = bEmpty && report.GetItemCount() == 0;

    std::printf("report list, %d rows, %d showing\n", nRows, nShowing);
    const struct {
        const char* pszName;
        double t;
    } figures[] = { { kFill, tFill }, { kSortUp, tSortUp }, { kSortDown, tSortDown }, { kPaint, tPaint },
        { strDelete.c_str(), tDelete }, { strDeleteMany.c_str(), tDeleteMany } };
    for (const auto& f : figures)
        std::printf("  %-24s %8.2f ms\n", f.pszName, f.t * 1e3);
    if (!bEmpty) {
        std::printf("rows left after deleting the root\n");
        return 1;
    }
    report.DestroyWindow();
    parent.DestroyWindow();
    return 0;
}
