#include "afx/afxfile.h"

#include "afx_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class CFileTest : public testing::Test {
protected:
    CScratchFolder m_folder;

    CString Path(const char* pszName) const { return m_folder.Path(pszName); }

    void MakeFile(const char* pszName, const std::string& strContent)
    {
        CFile file;
        ASSERT_TRUE(file.Open(Path(pszName), CFile::modeCreate | CFile::modeWrite));
        file.Write(strContent.data(), static_cast<UINT>(strContent.size()));
        file.Close();
    }

    std::string ReadAll(const char* pszName)
    {
        CFile file(Path(pszName), CFile::modeRead);
        std::string str(static_cast<size_t>(file.GetLength()), '\0');
        EXPECT_EQ(str.size(), file.Read(&str[0], static_cast<UINT>(str.size())));
        return str;
    }
};

int OpenCause(const CString& strPath, UINT nFlags)
{
    CFile file;
    CFileException e;
    if (file.Open(strPath, nFlags, &e))
        return -1;
    EXPECT_STREQ(strPath, e.m_strFileName);
    return e.m_cause;
}

// The cause of the CFileException that fn throws, -1 when it throws none.
template <class FN> int ThrownCause(FN fn)
{
    int nCause = -1;
    try {
        fn();
    } catch (CFileException* e) {
        nCause = e->m_cause;
        e->Delete();
    }
    return nCause;
}

} // namespace

TEST_F(CFileTest, OpenFailuresNameTheirCause)
{
    EXPECT_EQ(CFileException::fileNotFound, OpenCause(Path("missing.cfg"), CFile::modeRead));
    EXPECT_EQ(CFileException::fileNotFound, OpenCause(Path("missing.cfg"), CFile::modeReadWrite));
    EXPECT_EQ(CFileException::badPath, OpenCause(Path("no folder/x.cfg"), CFile::modeRead));
    EXPECT_EQ(
        CFileException::badPath, OpenCause(Path("no folder/x.cfg"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(CFileException::badPath, OpenCause("", CFile::modeRead));
    EXPECT_EQ(CFileException::accessDenied, OpenCause(m_folder.Path(""), CFile::modeRead));
    CFile file;
    EXPECT_FALSE(file.Open(Path("missing.cfg"), CFile::modeRead));
    EXPECT_EQ(CFile::hFileNull, file.m_hFile);

    bool bCaught = false;
    try {
        CFile missing(Path("missing.cfg"), CFile::modeRead);
    } catch (CFileException* e) {
        bCaught = true;
        EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
        EXPECT_NE(-1, e->m_lOsError);
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
}

TEST_F(CFileTest, CreateTruncatesUnlessAskedNotTo)
{
    MakeFile("a.bin", "0123456789");
    {
        CFile file(Path("a.bin"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(10u, file.GetLength());
        file.Write("ab", 2);
    }
    EXPECT_EQ("ab23456789", ReadAll("a.bin"));
    {
        CFile file(Path("a.bin"), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(0u, file.GetLength());
    }
    EXPECT_EQ("", ReadAll("a.bin"));
    {
        CFile file(Path("new.bin"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        EXPECT_EQ(0u, file.GetLength());
    }
    EXPECT_EQ(CFileException::fileNotFound, OpenCause(Path("other.bin"), CFile::modeWrite));
}

TEST_F(CFileTest, ReadWriteSeekAndLength)
{
    CFile file(Path("rw.bin"), CFile::modeCreate | CFile::modeReadWrite);
    file.Write("hello world", 11);
    EXPECT_EQ(11u, file.GetPosition());
    EXPECT_EQ(6u, file.Seek(6, CFile::begin));
    char ach[16] = {};
    EXPECT_EQ(5u, file.Read(ach, sizeof(ach))); // short only at the end
    EXPECT_STREQ("world", ach);
    EXPECT_EQ(0u, file.Read(ach, sizeof(ach)));
    EXPECT_EQ(0u, file.Read(ach, 0));
    EXPECT_EQ(8u, file.Seek(-3, CFile::current));
    EXPECT_EQ(10u, file.Seek(-1, CFile::end));
    EXPECT_EQ(11u, file.SeekToEnd());
    file.SeekToBegin();
    EXPECT_EQ(0u, file.GetPosition());

    EXPECT_EQ(CFileException::badSeek, ThrownCause([&] { file.Seek(-1, CFile::begin); }));

    // Writing past the end fills the gap with zeros.
    file.Seek(14, CFile::begin);
    file.Write("!", 1);
    EXPECT_EQ(15u, file.GetLength());
    file.Seek(11, CFile::begin);
    EXPECT_EQ(4u, file.Read(ach, 4));
    EXPECT_EQ(0, std::memcmp(ach, "\0\0\0!", 4));

    file.SetLength(5);
    EXPECT_EQ(5u, file.GetLength());
    EXPECT_EQ(5u, file.GetPosition());
    file.SetLength(8);
    EXPECT_EQ(8u, file.GetLength());
    file.SeekToBegin();
    EXPECT_EQ(8u, file.Read(ach, sizeof(ach)));
    EXPECT_EQ(0, std::memcmp(ach, "hello\0\0\0", 8));
    file.Flush();
    file.Close();
    EXPECT_EQ(CFile::hFileNull, file.m_hFile);
    EXPECT_TRUE(file.GetFilePath().IsEmpty());
}

TEST_F(CFileTest, AccessModesAreEnforced)
{
    MakeFile("ro.bin", "data");
    CFile reader(Path("ro.bin"), CFile::modeRead);
    bool bCaught = false;
    try {
        reader.Write("x", 1);
    } catch (CFileException* e) {
        bCaught = true;
        EXPECT_EQ(CFileException::accessDenied, e->m_cause);
        EXPECT_STREQ(Path("ro.bin"), e->m_strFileName);
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
    reader.Flush(); // nothing to flush; must not fail

    CFile writer(Path("wo.bin"), CFile::modeCreate | CFile::modeWrite);
    char ch;
    EXPECT_EQ(CFileException::accessDenied, ThrownCause([&] { writer.Read(&ch, 1); }));
}

TEST_F(CFileTest, ClosedFileRefusesWork)
{
    CFile file;
    char ch;
    EXPECT_EQ(CFileException::invalidFile, ThrownCause([&] { file.Read(&ch, 1); }));
    file.Close(); // closing twice is harmless
    file.Abort();
}

TEST_F(CFileTest, FullDiskThrowsDiskFull)
{
#ifdef _WIN32
    const char* pszFull = "Z:\\dev\\full"; // Wine maps Z: to the host's root
#else
    const char* pszFull = "/dev/full";
#endif
    CFile file;
    if (!file.Open(pszFull, CFile::modeWrite))
        GTEST_SKIP() << pszFull << " is not available";
    EXPECT_EQ(CFileException::diskFull, ThrownCause([&] {
        file.Write("x", 1);
        file.Flush();
    }));
}

TEST_F(CFileTest, RemoveAndRename)
{
    MakeFile("old.txt", "x");
    MakeFile("taken.txt", "y");
    EXPECT_EQ(CFileException::accessDenied,
        ThrownCause([&] { CFile::Rename(Path("old.txt"), Path("taken.txt")); }));
    EXPECT_EQ("y", ReadAll("taken.txt"));
    EXPECT_EQ(-1, ThrownCause([&] { CFile::Rename(Path("old.txt"), Path("new.txt")); }));
    EXPECT_EQ("x", ReadAll("new.txt"));
    EXPECT_EQ(
        CFileException::fileNotFound, ThrownCause([&] { CFile::Rename(Path("old.txt"), Path("n2.txt")); }));
    EXPECT_EQ(-1, ThrownCause([&] { CFile::Remove(Path("new.txt")); }));
    EXPECT_EQ(CFileException::fileNotFound, ThrownCause([&] { CFile::Remove(Path("new.txt")); }));
    EXPECT_EQ(CFileException::badPath, ThrownCause([&] { CFile::Remove(Path("none/new.txt")); }));
    EXPECT_EQ(CFileException::accessDenied, ThrownCause([&] { CFile::Remove(m_folder.Path("")); }));
}

TEST_F(CFileTest, FileNameFollowsTheLastSeparator)
{
    MakeFile("name.cfg", "");
    CFile file(Path("name.cfg"), CFile::modeRead);
    EXPECT_STREQ(Path("name.cfg"), file.GetFilePath());
    EXPECT_STREQ("name.cfg", file.GetFileName());
}

#ifdef _WIN32
TEST_F(CFileTest, SharingModesHoldOnWindows)
{
    MakeFile("shared.bin", "s");
    {
        CFile first(Path("shared.bin"), CFile::modeRead | CFile::shareExclusive);
        EXPECT_EQ(CFileException::sharingViolation, OpenCause(Path("shared.bin"), CFile::modeRead));
    }
    {
        CFile first(Path("shared.bin"), CFile::modeRead | CFile::shareDenyWrite);
        EXPECT_EQ(-1, OpenCause(Path("shared.bin"), CFile::modeRead | CFile::shareDenyWrite));
        EXPECT_EQ(CFileException::sharingViolation,
            OpenCause(Path("shared.bin"), CFile::modeWrite | CFile::shareDenyNone));
    }
    // The destructors closed the file.
    EXPECT_EQ(-1, OpenCause(Path("shared.bin"), CFile::modeReadWrite | CFile::shareExclusive));
}
#endif

TEST_F(CFileTest, ReadWholeFileHonoursItsCapAndKeepsDataOnFailure)
{
    MakeFile("five", "12345");
    std::vector<BYTE> data;
    EXPECT_EQ(AFX_FILE_READ_OK, AfxReadWholeFile(Path("five"), 5, data));
    EXPECT_EQ(std::string("12345"), std::string(data.begin(), data.end()));

    std::vector<BYTE> kept(1, 0x7F);
    EXPECT_EQ(AFX_FILE_TOO_LARGE, AfxReadWholeFile(Path("five"), 4, kept));
    EXPECT_EQ(AFX_FILE_CANNOT_OPEN, AfxReadWholeFile(Path("missing"), 5, kept));
    ASSERT_EQ(1u, kept.size());
    EXPECT_EQ(0x7F, kept[0]);

    MakeFile("empty", "");
    EXPECT_EQ(AFX_FILE_READ_OK, AfxReadWholeFile(Path("empty"), 0, kept));
    EXPECT_TRUE(kept.empty());
}

TEST(CMemFileTest, GrowsAndZeroFills)
{
    CMemFile file(4);
    file.Write("abcdefghij", 10);
    EXPECT_EQ(10u, file.GetLength());
    file.Seek(12, CFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(13u, file.GetLength());
    file.SeekToBegin();
    char ach[16];
    EXPECT_EQ(13u, file.Read(ach, sizeof(ach)));
    EXPECT_EQ(0, std::memcmp(ach, "abcdefghij\0\0z", 13));
    file.SetLength(3);
    EXPECT_EQ(3u, file.GetPosition());
    file.SetLength(6);
    file.SeekToBegin();
    EXPECT_EQ(6u, file.Read(ach, sizeof(ach)));
    EXPECT_EQ(0, std::memcmp(ach, "abc\0\0\0", 6));
    EXPECT_EQ(CFileException::badSeek, ThrownCause([&] { file.Seek(-7, CFile::end); }));
    EXPECT_EQ(0u, file.Seek(-6, CFile::end));
}

TEST(CMemFileTest, FixedBufferIsTheContentAndDoesNotGrow)
{
    BYTE ab[4] = { 'w', 'x', 'y', 'z' };
    CMemFile file(ab, sizeof(ab));
    EXPECT_EQ(4u, file.GetLength());
    char ach[8];
    EXPECT_EQ(4u, file.Read(ach, sizeof(ach)));
    EXPECT_EQ(0, std::memcmp(ach, "wxyz", 4));
    file.Seek(1, CFile::begin);
    file.Write("XY", 2);
    EXPECT_EQ('X', ab[1]);
    EXPECT_EQ('Y', ab[2]);
    EXPECT_EQ(CFileException::diskFull, ThrownCause([&] { file.Write("12", 2); }));
    EXPECT_EQ(ab, file.Detach());
    EXPECT_EQ(0u, file.GetLength());
}

TEST(CMemFileTest, GrowableAttachedBufferIsCopiedNotFreed)
{
    BYTE ab[2] = { 1, 2 };
    CMemFile file(ab, sizeof(ab), 16);
    EXPECT_EQ(0u, file.GetLength()); // a growable buffer is only room
    file.Write("abc", 3);
    EXPECT_EQ(1, ab[0]); // the caller's buffer is left alone
    BYTE* p = file.Detach();
    ASSERT_NE(nullptr, p);
    EXPECT_NE(ab, p);
    EXPECT_EQ(0, std::memcmp(p, "abc", 3));
    std::free(p);
}
