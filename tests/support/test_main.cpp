#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/tempfolder.h"
#ifdef _WIN32
#include "support/win_threads.h"
#endif

namespace {

// Test programs run side by side, and the program keeps fixed names in the
// temporary folder (a clock's unpacked skin is "<skin>.dat" there): each test
// program gets a temporary folder of its own, which its children inherit.
void UseTemporaryFolder(const std::string& strPath)
{
#ifdef _WIN32
    // _putenv_s sets the process environment too, where GetTempPath reads.
    _putenv_s("TMP", strPath.c_str());
    _putenv_s("TEMP", strPath.c_str());
#else
    setenv("TMPDIR", strPath.c_str(), 1);
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    vtest::CTempFolder temp("veltran_test");
    UseTemporaryFolder(temp.Str());
    int nResult = RUN_ALL_TESTS();
#ifdef _WIN32
    // Wine can crash when the process ends while a thread is still starting.
    vtest::WaitForStartingThreads(10000);
#endif
    return nResult;
}
