#include "core/appplatform_win.h"
#include "core/config.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
const char kScratchKey[] = "Software\\VeltranTest\\Run";

class RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HKEY hKey = NULL;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VeltranTest");
    }

    static bool ReadValue(std::string& strData, DWORD& dwType, DWORD& dwSize)
    {
        HKEY hKey = NULL;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
            return false;
        char szData[1024] = {};
        dwSize = sizeof(szData);
        const LONG lResult = RegQueryValueExA(hKey, g_szRunValueName, NULL, &dwType,
                                              reinterpret_cast<BYTE*>(szData), &dwSize);
        RegCloseKey(hKey);
        strData = szData;
        return lResult == ERROR_SUCCESS;
    }
};
} // namespace

TEST_F(RegistryTest, RunValueIsAStringWithItsTerminator)
{
    const CString strData = CConfigFile::BuildRunValue("C:\\Program Files\\Veltran\\Veltran.exe", TRUE);
    ASSERT_EQ(AppWriteRegistryString(HKEY_CURRENT_USER, kScratchKey, g_szRunValueName, strData), RUNVALUE_WRITTEN);
    std::string strRead;
    DWORD dwType = 0;
    DWORD dwSize = 0;
    ASSERT_TRUE(ReadValue(strRead, dwType, dwSize));
    EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(strRead, "\"C:\\Program Files\\Veltran\\Veltran.exe\" /autorun");
    EXPECT_EQ(dwSize, strRead.size() + 1);

    // Switched off, the value stays with empty data.
    ASSERT_EQ(AppWriteRegistryString(HKEY_CURRENT_USER, kScratchKey, g_szRunValueName, ""), RUNVALUE_WRITTEN);
    ASSERT_TRUE(ReadValue(strRead, dwType, dwSize));
    EXPECT_EQ(strRead, "");
    EXPECT_EQ(dwSize, 1u);
}

TEST_F(RegistryTest, MissingKeyIsReportedAsSuch)
{
    EXPECT_EQ(AppWriteRegistryString(HKEY_CURRENT_USER, "Software\\VeltranTest\\NoSuchKey", g_szRunValueName, "x"),
              RUNVALUE_NOKEY);
}

TEST(AppPlatformWin, ModulePathAndFolder)
{
    const CString strModule = AppPlatformGetModulePath();
    ASSERT_GT(strModule.GetLength(), 4);
    EXPECT_NE(GetFileAttributesA(strModule), INVALID_FILE_ATTRIBUTES);
    const CString strDir = CConfigFile::GetAppDir();
    EXPECT_EQ(std::string(strModule).rfind('\\'), static_cast<size_t>(strDir.GetLength()));
    EXPECT_EQ(GetFileAttributesA(strDir) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST(AppPlatformWin, ReplaceFileMovesOverAnExistingFile)
{
    const vtest::CTempFolder folder;
    const std::string strFrom = folder.Str("from.tmp");
    const std::string strTo = folder.Str("to.tmp");
    const BYTE newData[3] = {'n', 'e', 'w'};
    const BYTE oldData[5] = {'o', 'l', 'd', '!', '!'};
    ASSERT_TRUE(AppPlatformWriteFile(strTo.c_str(), oldData, sizeof(oldData)));
    ASSERT_TRUE(AppPlatformWriteFile(strFrom.c_str(), newData, sizeof(newData)));
    ASSERT_TRUE(AppPlatformReplaceFile(strFrom.c_str(), strTo.c_str()));
    EXPECT_EQ(GetFileAttributesA(strFrom.c_str()), INVALID_FILE_ATTRIBUTES);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(strTo.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 3u);
}
