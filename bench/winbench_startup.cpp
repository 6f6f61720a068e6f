// Start-to-tray: how long Veltran.exe takes from its process start to adding
// its tray icon, and its working set once it sits in the tray. Each run starts
// a fresh copy of the program folder with VELTRAN_AUTOMATION set, watches the
// log for the tray icon, reads the memory, and ends it by its exit command.
#include <windows.h>
#include <psapi.h>

#include "bench_list.h"
#include "support/win_process.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
void CopyFolder(const std::string& strFrom, const std::string& strTo)
{
    ::CreateDirectoryA(strTo.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((strFrom + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::CopyFileA((strFrom + "\\" + fd.cFileName).c_str(), (strTo + "\\" + fd.cFileName).c_str(), FALSE);
    } while (::FindNextFileA(hFind, &fd));
    ::FindClose(hFind);
}
} // namespace

int main(int argc, char** argv)
{
    const char* const kStart = "start to tray";
    const char* const kTraySet = "working set in the tray";
    const char* const kOpenSet = "working set with both clocks and the calendar open";
    if (BenchList(argc, argv, { kStart, kTraySet, kOpenSet }))
        return 0;
    const std::string strApp = vtest::ModuleDir() + "\\..\\app";
    char szTemp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, szTemp);
    const int kRuns = 5;
    std::vector<double> times;
    std::vector<double> workingSets;
    std::vector<double> openSets; // with both clocks and the calendar shown
    for (int run = 0; run < kRuns; run++)
    {
        const std::string strDir = std::string(szTemp) + "veltran bench " + std::to_string(run);
        ::CreateDirectoryA(strDir.c_str(), nullptr);
        ::DeleteFileA((strDir + "\\Veltran.cfg").c_str());
        for (const char* pszExe : {"Veltran.exe", "varizi.exe", "vodoze.exe"})
            ::CopyFileA((strApp + "\\" + pszExe).c_str(), (strDir + "\\" + pszExe).c_str(), FALSE);
        CopyFolder(strApp + "\\acs", strDir + "\\acs");
        CopyFolder(strApp + "\\dcs", strDir + "\\dcs");
        const std::string strLog = strDir + "\\bench.log";
        ::DeleteFileA(strLog.c_str());
        ::SetEnvironmentVariableA("VELTRAN_AUTOMATION", strLog.c_str());
        ::SetEnvironmentVariableA("VELTRAN_AUTOMATION_ANSWERS", "6");

        std::string strCmd = "\"" + strDir + "\\Veltran.exe\"";
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        LARGE_INTEGER freq, t0, t1;
        ::QueryPerformanceFrequency(&freq);
        ::QueryPerformanceCounter(&t0);
        if (!::CreateProcessA(nullptr, &strCmd[0], nullptr, nullptr, FALSE, 0, nullptr, strDir.c_str(), &si, &pi))
        {
            std::printf("cannot start %s\n", strCmd.c_str());
            return 1;
        }
        bool bTray = false;
        for (int i = 0; i < 30000 && !bTray; i++)
        {
            bTray = vtest::CountContaining(vtest::ReadLines(strLog), "Shell_NotifyIcon ADD") > 0;
            if (!bTray)
                ::Sleep(1);
        }
        ::QueryPerformanceCounter(&t1);
        if (!bTray)
        {
            std::printf("no tray icon within the deadline\n");
            ::TerminateProcess(pi.hProcess, 1);
            return 1;
        }
        times.push_back(1000.0 * double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart));
        ::WaitForInputIdle(pi.hProcess, 5000);
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof(pmc);
        if (::GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc)))
            workingSets.push_back(double(pmc.WorkingSetSize) / (1024.0 * 1024.0));
        // The main dialog of that process only.
        if (HWND hMain = vtest::FindProcessWindow(pi.dwProcessId, "Veltran Clock"))
        {
            // Both clocks and the calendar, as a user keeps them open.
            for (WPARAM nCommand : {2001, 2003, 2007})
                ::SendMessageA(hMain, WM_COMMAND, nCommand, 0);
            const bool bOpen = vtest::FindProcessWindow(pi.dwProcessId, "Veltran Clock - Analog Clock") &&
                               vtest::FindProcessWindow(pi.dwProcessId, "Veltran Clock - Digital Clock") &&
                               vtest::FindProcessWindow(pi.dwProcessId, "Veltran Clock - Calendar");
            ::Sleep(1500); // a tick of each clock
            if (bOpen && ::GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc)))
                openSets.push_back(double(pmc.WorkingSetSize) / (1024.0 * 1024.0));
            ::PostMessageA(hMain, WM_COMMAND, 2027, 0);
        }
        if (::WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0)
            ::TerminateProcess(pi.hProcess, 1);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        if (HWND hTrayClock = ::FindWindowA("VAriziMainClass", "VArizi"))
            ::PostMessageA(hTrayClock, WM_CLOSE, 0, 0);
    }
    std::sort(times.begin(), times.end());
    std::sort(workingSets.begin(), workingSets.end());
    std::printf("%s (%d runs, under Wine): best %.0f ms, median %.0f ms\n", kStart, kRuns, times.front(),
        times[times.size() / 2]);
    if (!workingSets.empty())
        std::printf("%s: median %.1f MiB\n", kTraySet, workingSets[workingSets.size() / 2]);
    std::sort(openSets.begin(), openSets.end());
    if (!openSets.empty())
        std::printf("%s: median %.1f MiB\n", kOpenSet, openSets[openSets.size() / 2]);
    else
        std::printf("the clocks and the calendar did not open\n");
    return 0;
}
