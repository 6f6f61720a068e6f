// The report list's model without a window: filling a flat list and emptying
// it (deleting the root), as the alarm list and the Skin Browser do before
// each refill; and deleting one expanded parent with all its children.
// An argument sets the third size.
#include "bench_list.h"
#include "bench_util.h"
#include "controls/reportmodel.h"

namespace {

// A window that only counts what it is told.
class CCountingHost : public CReportHost {
public:
    long m_nRows = 0;
    long m_nNotes = 0;
    void OnRowInserted(int, DWORD) override { ++m_nRows; }
    void OnRowDeleted(int) override { --m_nRows; }
    void OnRowItemChanged(int, DWORD) override { }
    void RepaintRow(int) override { }
    void SetWindowRedraw(BOOL) override { }
    int Notify(int, DWORD, int) override { return ++m_nNotes, 0; }
    void EnsureVisible(DWORD, int) override { }
    bool IsEditorOpen() const override { return false; }
    int GetTopIndex() const override { return 0; }
    int GetCountPerPage() const override { return 30; }
    void AutoSizeColumn(int) override { }
};

} // namespace

int main(int argc, char** argv)
{
    const int nRuns = 3;
    // Options such as make bench's --threads are no count: the third size stays.
    const std::vector<int> sizes = { 1000, 20000, BenchCount(argc, argv, 100000) };
    std::vector<std::string> labels;
    for (int nRows : sizes)
        labels.push_back("report model, " + std::to_string(nRows) + " rows");
    std::vector<const char*> names;
    for (const auto& label : labels)
        names.push_back(label.c_str());
    if (BenchList(argc, argv, names))
        return 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
        const int nRows = sizes[k];
        CCountingHost host;
        CReportModel model(&host);
        model.InsertColumn(-1, 0, -1);
        model.InsertColumn(-1, 0, -1);
        auto fill = [&](DWORD hParent) {
            for (int i = 0; i < nRows; ++i)
                model.InsertItem(hParent, RVTI_LAST, "alarm", -1, -1);
        };
        double tFill = BenchSeconds([&] { model.DeleteItem(RVI_ROOT), fill(RVI_ROOT); }, nRuns);
        model.DeleteItem(RVI_ROOT);
        // Best of the runs, each timing the deletion alone.
        double tClear = 1e30;
        for (int r = 0; r < nRuns; ++r) {
            fill(RVI_ROOT);
            auto t0 = std::chrono::steady_clock::now();
            model.DeleteItem(RVI_ROOT);
            tClear = std::min(tClear, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        }
        double tParent = 1e30;
        for (int r = 0; r < nRuns; ++r) {
            DWORD hParent = model.InsertItem(RVI_ROOT, RVTI_LAST, "parent", -1, -1);
            fill(hParent);
            model.Expand(hParent, FALSE);
            model.InsertItem(RVI_ROOT, RVTI_LAST, "after", -1, -1); // the block is not the last rows
            auto t0 = std::chrono::steady_clock::now();
            model.DeleteItem(hParent);
            tParent = std::min(tParent, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
            model.DeleteItem(RVI_ROOT);
        }
        if (host.m_nRows != 0 || model.GetItemCount() != 0)
            std::fprintf(stderr, "rows left behind: %ld\n", host.m_nRows);
        std::printf("%s: fill %8.2f ms, delete all %8.2f ms, delete an expanded parent %8.2f ms\n",
            labels[k].c_str(), tFill * 1e3, tClear * 1e3, tParent * 1e3);
    }
    return 0;
}
