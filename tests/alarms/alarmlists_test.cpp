#include "alarms/alarmlists.h"
#include "support/cputime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> Strings(const std::vector<CString>& list)
{
    return std::vector<std::string>(list.begin(), list.end());
}
} // namespace

TEST(AlarmLists, ProgramsAreTheEntriesThatAnEndMarkCloses)
{
    const struct
    {
        const char* pszApps;
        std::vector<std::string> programs;
    } cases[] = {
        {"E:\\a.exe***D:\\b.exe", {"E:\\a.exe"}},
        {"E:\\a.exe***E:\\b.exe***", {"E:\\a.exe", "E:\\b.exe"}},
        {"C:\\Program Files\\x y.exe***", {"C:\\Program Files\\x y.exe"}},
        // "****" holds a second match that ends an empty entry: it opens nothing.
        {"a****b***", {"a", "b"}},
        {"******", {}},
        {"E:\\a.exe", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Strings(CAlarmLists::GetPrograms(c.pszApps)), c.programs) << c.pszApps;
    EXPECT_EQ(Strings(CAlarmLists::GetEntries("a****b***")), (std::vector<std::string>{"a", "", "b"}));
}

TEST(AlarmLists, SoundsAreTheMarkedEntriesInTheSoundFolderUnlessAPathIsGiven)
{
    const char* pszList = "TRUETRUETRUEding.wav***chime.wav***TRUETRUETRUEE:\\x\\y.wav***";
    const struct
    {
        const char* pszSounds;
        int nPasses;
        std::vector<std::string> sounds;
    } cases[] = {
        {pszList, 1, {"D:\\v\\sounds\\ding.wav", "E:\\x\\y.wav"}},
        {pszList, 0, {}},
        {pszList, -3, {}},
        {pszList, 2, {"D:\\v\\sounds\\ding.wav", "E:\\x\\y.wav", "D:\\v\\sounds\\ding.wav", "E:\\x\\y.wav"}},
        // The mark alone names no file; a mark in other case is no mark; an
        // entry that no "***" ends is not played.
        {"TRUETRUETRUE***truetruetruea.wav***TRUETRUETRUEb.wav", 1, {}},
        {"TRUETRUETRUEsub\\c.wav***", 1, {"sub\\c.wav"}},
        {"", 1, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Strings(CAlarmLists::GetSounds(c.pszSounds, "D:\\v\\sounds", c.nPasses)), c.sounds)
            << c.pszSounds << " x" << c.nPasses;
}

// A pass count as a damaged or hand-edited file may hold it plays the limit's
// passes, in order, and nothing is built for the passes beyond them.
TEST(AlarmLists, SoundPassesStopAtTheLimitWhateverTheStoredCount)
{
    const char* pszList = "TRUETRUETRUEding.wav***TRUETRUETRUEE:\\x\\y.wav***";
    const std::vector<std::string> pass = {"D:\\v\\sounds\\ding.wav", "E:\\x\\y.wav"};
    for (int nPasses : {1, ALARM_SOUND_PASSES_MAX - 1, ALARM_SOUND_PASSES_MAX, ALARM_SOUND_PASSES_MAX + 1, 10000000,
                        INT_MAX})
    {
        const auto start = vtest::ThreadCpuTime();
        const std::vector<CString> sounds = CAlarmLists::GetSounds(pszList, "D:\\v\\sounds", nPasses);
        const auto elapsed = vtest::ThreadCpuTime() - start;
        const size_t nPlayed = static_cast<size_t>(std::min(nPasses, ALARM_SOUND_PASSES_MAX));
        ASSERT_EQ(nPlayed * pass.size(), sounds.size()) << nPasses;
        EXPECT_LE(sounds.capacity(), 2 * nPlayed * pass.size()) << nPasses;
        for (size_t i = 0; i < sounds.size(); i++)
            ASSERT_EQ(pass[i % pass.size()], std::string(sounds[i])) << nPasses << " " << i;
        EXPECT_LT(elapsed, std::chrono::seconds(1)) << "CPU time, " << nPasses;
    }
    for (int nPasses : {0, -1, INT_MIN})
        EXPECT_TRUE(CAlarmLists::GetSounds(pszList, "D:\\v\\sounds", nPasses).empty()) << nPasses;
    // Nothing to play is nothing, however many passes.
    EXPECT_TRUE(CAlarmLists::GetSounds("chime.wav***", "D:\\v\\sounds", INT_MAX).empty());
}

// With no sound folder (the program's folder is unknown) a bare name would be
// looked for at the root of the drive: only sounds given with a path play.
TEST(AlarmLists, WithoutASoundFolderOnlySoundsGivenWithAPathPlay)
{
    const char* pszList = "TRUETRUETRUEding.wav***TRUETRUETRUEE:\\x\\y.wav***TRUETRUETRUEsub\\c.wav***";
    EXPECT_EQ(Strings(CAlarmLists::GetSounds(pszList, "", 2)),
              (std::vector<std::string>{"E:\\x\\y.wav", "sub\\c.wav", "E:\\x\\y.wav", "sub\\c.wav"}));
    EXPECT_TRUE(CAlarmLists::GetSounds("TRUETRUETRUEding.wav***", "", 1).empty());
}

TEST(AlarmLists, SystemFunctionsAreTwoCharacterSlicesReadAsAtoiReadsThem)
{
    const struct
    {
        const char* pszCodes;
        std::vector<int> codes;
    } cases[] = {
        {"0403", {4, 3}},
        {"0007", {0, 7}},
        {"11", {}},
        {"xx", {0}},
        {"1011-1", {10}},
        {"0x 8", {0, 8}},
        {"09101", {9, 10, 1}},   // an odd last slice is one character
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CAlarmLists::GetSystemFunctions(c.pszCodes), c.codes) << c.pszCodes;
}
