// A GoogleTest program for the runner's own test: with VELTRAN_PROBE=halfway
// it ends in its second test, exit code 0, as a program killed there would
// look to the runner; with VELTRAN_PROBE=hang it hangs there, as a program
// stopped by a timeout would, once it has made the file VELTRAN_PROBE_FLAG
// names (if any) to say so; with VELTRAN_PROBE=odd-bytes that test fails
// with a message in code page 1252, which is no UTF-8.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

TEST(Probe, First)
{
    EXPECT_EQ(2, 1 + 1);
}

TEST(Probe, Second)
{
    const char* pszMode = std::getenv("VELTRAN_PROBE");
    if (pszMode != nullptr && std::strcmp(pszMode, "halfway") == 0)
        std::_Exit(0);
    if (pszMode != nullptr && std::strcmp(pszMode, "odd-bytes") == 0)
        ADD_FAILURE() << "\xC4rger\xFC\xDF";
    if (pszMode != nullptr && std::strcmp(pszMode, "hang") == 0) {
        std::printf("hanging now\n");
        std::fflush(stdout);
        if (const char* pszFlag = std::getenv("VELTRAN_PROBE_FLAG")) {
            if (FILE* f = std::fopen(pszFlag, "w"))
                std::fclose(f);
        }
        std::this_thread::sleep_for(std::chrono::seconds(120));
    }
    EXPECT_EQ(4, 2 * 2);
}

TEST(Probe, DISABLED_Third)
{
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
