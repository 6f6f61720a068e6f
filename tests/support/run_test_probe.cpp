// A GoogleTest program for the runner's own test: with VELTRAN_PROBE=halfway
// it ends in its second test, exit code 0, as a program killed there would
// look to the runner.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

TEST(Probe, First)
{
    EXPECT_EQ(2, 1 + 1);
}

TEST(Probe, Second)
{
    const char* pszMode = std::getenv("VELTRAN_PROBE");
    if (pszMode != nullptr && std::strcmp(pszMode, "halfway") == 0)
        std::_Exit(0);
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
