#include "alarms/executorutil.h"
#include "core/appseams.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace
{
std::string Token(const char* pszText, const char* pszDelimiter, int nIndex)
{
    return std::string(CAlarmExecutorUtil::GetToken(pszText, pszDelimiter, nIndex));
}

std::string Stripped(const char* pszPath)
{
    char szBuffer[300];
    std::strncpy(szBuffer, pszPath, sizeof(szBuffer) - 1);
    szBuffer[sizeof(szBuffer) - 1] = '\0';
    CAlarmExecutorUtil::StripFileName(szBuffer);
    return szBuffer;
}
} // namespace

TEST(GetToken, FieldsOfASimpleList)
{
    EXPECT_EQ(Token("a;b;c", ";", 0), "a");
    EXPECT_EQ(Token("a;b;c", ";", 1), "b");
    EXPECT_EQ(Token("a;b;c", ";", 2), "c");
    EXPECT_EQ(Token("a;b;c", ";", 3), "");
    EXPECT_EQ(Token("a;b;c", ";", 1000), "");
    EXPECT_EQ(Token("a;b;c", ";", -1), "");
}

TEST(GetToken, EmptyFieldsAndEnds)
{
    EXPECT_EQ(Token("a;;c", ";", 1), "");
    EXPECT_EQ(Token("a;;c", ";", 2), "c");
    // A delimiter at the very end adds no empty field.
    EXPECT_EQ(Token("a;b;", ";", 1), "b");
    EXPECT_EQ(Token("a;b;", ";", 2), "");
    EXPECT_EQ(Token(";a", ";", 0), "");
    EXPECT_EQ(Token(";a", ";", 1), "a");
    EXPECT_EQ(Token("", ";", 0), "");
    EXPECT_EQ(Token("abc", ";", 0), "abc");
    EXPECT_EQ(Token(";", ";", 0), "");
}

TEST(GetToken, OverlappingDelimitersMatchInsideEachOther)
{
    // "a****b" cut at "***": the match at 2 starts inside the one at 1.
    EXPECT_EQ(Token("a****b", "***", 0), "a");
    EXPECT_EQ(Token("a****b", "***", 1), "");
    EXPECT_EQ(Token("a****b", "***", 2), "b");
    EXPECT_EQ(Token("a****b", "***", 3), "");
    // The program-path list form: only pieces a "***" ends count, plus a rest.
    EXPECT_EQ(Token("E:\\a.exe***D:\\b.exe", "***", 0), "E:\\a.exe");
    EXPECT_EQ(Token("E:\\a.exe***D:\\b.exe", "***", 1), "D:\\b.exe");
    // A delimiter longer than the text never matches.
    EXPECT_EQ(Token("ab", "abc", 0), "ab");
    // Matching is case-sensitive.
    EXPECT_EQ(Token("aXbxc", "x", 0), "aXb");
}

TEST(StripFileName, CutsAtTheLastSeparator)
{
    EXPECT_EQ(Stripped("E:\\dir\\file.exe"), "E:\\dir");
    EXPECT_EQ(Stripped("C:\\b.exe"), "C:\\");
    EXPECT_EQ(Stripped("b.exe"), "");
    EXPECT_EQ(Stripped("dir/file"), "dir");
    EXPECT_EQ(Stripped("C:/dir/sub\\b.exe"), "C:/dir/sub");
    EXPECT_EQ(Stripped("C:/b.exe"), "C:/");
    EXPECT_EQ(Stripped("\\b.exe"), "");
    EXPECT_EQ(Stripped("/b.exe"), "");
    EXPECT_EQ(Stripped("\\\\server\\share\\b.exe"), "\\\\server\\share");
    EXPECT_EQ(Stripped("dir\\"), "dir");
    EXPECT_EQ(Stripped(""), "");
    CAlarmExecutorUtil::StripFileName(nullptr);
}

TEST(FileExists, FilesAndFoldersCount)
{
    auto folder = std::make_unique<vtest::CTempFolder>("veltran_fileexists");
    const fs::path dir = folder->Path();
    const fs::path file = dir / "present.txt";
    std::ofstream(file) << "x";
    EXPECT_TRUE(CAlarmExecutorUtil::FileExists(file.string().c_str()));
    EXPECT_TRUE(CAlarmExecutorUtil::FileExists(dir.string().c_str()));
    EXPECT_FALSE(CAlarmExecutorUtil::FileExists((dir / "absent.txt").string().c_str()));
    EXPECT_FALSE(CAlarmExecutorUtil::FileExists(nullptr));
    folder.reset();
    EXPECT_FALSE(CAlarmExecutorUtil::FileExists(file.string().c_str()));
}

TEST(Random, StaysWithinTheBounds)
{
    std::srand(1);
    for (int i = 0; i < 1000; i++)
        EXPECT_EQ(CAlarmExecutorUtil::Random(5, 5), 5);
    bool bSeen[4] = {};
    for (int i = 0; i < 2000; i++)
    {
        const int n = CAlarmExecutorUtil::Random(-1, 2);
        ASSERT_GE(n, -1);
        ASSERT_LE(n, 2);
        bSeen[n + 1] = true;
    }
    EXPECT_TRUE(bSeen[0] && bSeen[1] && bSeen[2] && bSeen[3]);
    // The widest range: UBSan watches the arithmetic, the sign shows the offset.
    std::srand(7);
    bool bNegative = false;
    for (int i = 0; i < 200; i++)
        bNegative = bNegative || CAlarmExecutorUtil::Random(-2147483647 - 1, 2147483647) < 0;
    EXPECT_TRUE(bNegative);
    EXPECT_EQ(CAlarmExecutorUtil::Random(9, 3), 9);
}

TEST(GetAppDir, IsTheFolderOfTheRunningProgram)
{
    const CString strDir = CAlarmExecutorUtil::GetAppDir();
    ASSERT_FALSE(strDir.IsEmpty());
    const std::string strModule(g_appSeams.pfnGetModulePath());
    // The module path is the folder, a separator, and the file name.
    ASSERT_GT(strModule.size(), static_cast<size_t>(strDir.GetLength()));
    EXPECT_EQ(strModule.compare(0, strDir.GetLength(), static_cast<const char*>(strDir)), 0);
    const char chSeparator = strModule[strDir.GetLength()];
    EXPECT_TRUE(chSeparator == '\\' || chSeparator == '/');
    EXPECT_EQ(strModule.find_first_of("\\/", strDir.GetLength() + 1), std::string::npos);
    EXPECT_TRUE(CAlarmExecutorUtil::FileExists(strModule.c_str()));
}
