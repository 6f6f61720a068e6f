#include "alarms/alarmlists.h"

#include <gtest/gtest.h>

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
