// The Skin Browser's side of a large skin list under Wine: the lines handed
// over as a list worker hands them (batches, then message 100), the groups
// built and the rows put into the report lists until the last is in; then
// what the next Connect does first, emptying both lists. For 1,000 skins
// in one group, 200,000 in one group and 200,000 groups of one skin. The
// network is left out: the server's root points nowhere, so each preview
// the first skin starts fails at once. As in Veltran.exe, the menus library's
// hook watches every message sent on this thread, and the dialog is shown.
#include "afx/afxwin.h"
#include "bench_list.h"
#include "core/settings.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "res/skinbrowser_res.h"
#include "skinbrowser/skinbrowserdlg.h"
#include "skinbrowser/skinworkers.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct CFigures {
    double tList = 0;
    double tClear = 0;
    double tLongestStep = 0; // the longest message the dialog's thread spent on: no other window ran meanwhile
    int nGroups = 0;
    int nSkins = 0;
};

bool Measure(int nLines, bool bGroupEach, CFigures& figures)
{
    CSkinBrowserDlg dlg;
    if (!dlg.Create(IDD_SKINBROWSER, CWnd::GetDesktopWindow()))
        return false;
    dlg.ShowWindow(SW_SHOW);
    dlg.UpdateWindow();
    CSkinJob job(CSkinJob::LIST, dlg.m_hWnd, 0);
    double tWork = 0; // the dialog's own time, without making the lines
    auto step = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        const auto t = std::chrono::steady_clock::now();
        dlg.SendMessage(message, wParam, lParam);
        const double tStep = Seconds(t);
        tWork += tStep;
        figures.tLongestStep = tStep > figures.tLongestStep ? tStep : figures.tLongestStep;
    };
    step(UM_SKINJOB, SJ_BEGIN, reinterpret_cast<LPARAM>(&job));
    for (int i = 0; i < nLines; i++) {
        CString strLine;
        strLine.Format(bGroupEach ? "Group %06d;Skin %06d;Nobody;2001" : "Many;Skin %06d;Nobody;2001", i, i);
        job.m_newLines.Add(strLine);
        if (job.m_newLines.GetSize() == 10000 || i == nLines - 1) {
            step(UM_SKINJOB, SJ_LINES, reinterpret_cast<LPARAM>(&job));
            job.m_newLines.RemoveAll();
        }
    }
    step(UM_SKINLISTREAD, 0, 0);
    step(UM_SKINJOB, SJ_LISTEND, reinterpret_cast<LPARAM>(&job));
    // The message loop runs the fill as the program's loop does.
    const auto tLoop = std::chrono::steady_clock::now();
    while (dlg.IsFilling()) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0))
            break;
        const auto t = std::chrono::steady_clock::now();
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        const double tStep = Seconds(t);
        figures.tLongestStep = tStep > figures.tLongestStep ? tStep : figures.tLongestStep;
    }
    figures.tList = tWork + Seconds(tLoop);
    figures.nGroups = dlg.m_listGroups.GetChildCount(RVI_ROOT);
    figures.nSkins = dlg.m_listSkins.GetChildCount(RVI_ROOT);

    CSkinJob next(CSkinJob::LIST, dlg.m_hWnd, 0);
    const auto t1 = std::chrono::steady_clock::now();
    dlg.SendMessage(UM_SKINJOB, SJ_BEGIN, reinterpret_cast<LPARAM>(&next));
    figures.tClear = Seconds(t1);
    const bool bEmpty = dlg.m_listGroups.GetChildCount(RVI_ROOT) == 0 && dlg.m_listSkins.GetChildCount(RVI_ROOT) == 0;
    dlg.DestroyWindow();
    return bEmpty;
}

} // namespace

int main(int argc, char** argv)
{
    const struct {
        int nLines;
        bool bGroupEach;
        const char* pszWhat;
    } cases[] = {
        { 1000, false, "1,000 skins in one group" },
        { 200000, false, "200,000 skins in one group" },
        { 200000, true, "200,000 groups of one skin" },
    };
    std::vector<const char*> names;
    for (const auto& c : cases)
        names.push_back(c.pszWhat);
    if (BenchList(argc, argv, names))
        return 0;
    // The library starts with the program; its hook is the one every sent message pays for.
    if (GetCurrentMenuStyle() == nullptr || g_menuLib.hHook == nullptr) {
        std::fprintf(stderr, "the menus library's hook is not in place\n");
        return 1;
    }
    CWinApp app("bench");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    _putenv_s("VELTRAN_SKIN_SERVER", "http://127.0.0.1:1");
    g_settings.m_nSkinBrowserType = 0;
    std::printf("Skin Browser lists under Wine, hooked and shown (lines handed over, groups built, rows in; "
                "then emptied)\n");
    for (const auto& c : cases) {
        CFigures figures;
        if (!Measure(c.nLines, c.bGroupEach, figures)) {
            std::fprintf(stderr, "%s: the lists were not emptied\n", c.pszWhat);
            return 1;
        }
        std::printf("  %-28s listed %7.3f s (%d groups, %d skins shown), longest step %5.3f s, cleared %6.3f s\n",
                    c.pszWhat, figures.tList, figures.nGroups, figures.nSkins, figures.tLongestStep, figures.tClear);
    }
    return 0;
}
