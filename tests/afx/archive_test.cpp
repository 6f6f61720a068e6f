#include "afx/afxarch.h"
#include "afx/afxgeom.h"

#include "afx_test_util.h"
#include "alloc_probe.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

typedef std::vector<BYTE> CBytes;
typedef std::function<void(CArchive&)> ArchiveFn;

CBytes Store(const ArchiveFn& fn, int nBufSize = 4096)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store, nBufSize);
    fn(ar);
    ar.Close();
    CBytes bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Reads from an exactly sized copy, so that the sanitizer sees any over-read.
void Load(const CBytes& bytes, const ArchiveFn& fn, int nBufSize = 4096)
{
    CBytes copy(bytes);
    CMemFile file(copy.empty() ? nullptr : copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load, nBufSize);
    fn(ar);
}

// The cause of the CArchiveException the load throws, -1 when it throws none.
int LoadCause(const CBytes& bytes, const ArchiveFn& fn, int nBufSize = 4096)
{
    try {
        Load(bytes, fn, nBufSize);
    } catch (CArchiveException* e) {
        int nCause = e->m_cause;
        e->Delete();
        return nCause;
    }
    return -1;
}

CBytes Concat(CBytes a, const CBytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

CString Pattern(DWORD nLength)
{
    CString str;
    char* p = str.GetBufferSetLength(static_cast<int>(nLength));
    for (DWORD i = 0; i < nLength; i++)
        p[i] = static_cast<char>('a' + i % 26);
    str.ReleaseBuffer(static_cast<int>(nLength));
    return str;
}

CBytes BytesOf(const CString& str)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(static_cast<const char*>(str));
    return CBytes(p, p + str.GetLength());
}

} // namespace

TEST(CArchiveStringTest, LengthPrefixAtEveryBoundary)
{
    const struct {
        DWORD nLength;
        CBytes prefix;
    } cases[] = {
        { 0, { 0x00 } },
        { 1, { 0x01 } },
        { 254, { 0xFE } },
        { 255, { 0xFF, 0xFF, 0x00 } },
        { 256, { 0xFF, 0x00, 0x01 } },
        { 0xFFFD, { 0xFF, 0xFD, 0xFF } },
        { 0xFFFE, { 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00 } },
        { 0xFFFF, { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00 } },
        { 0x10000, { 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00 } },
        { 0x123456, { 0xFF, 0xFF, 0xFF, 0x56, 0x34, 0x12, 0x00 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nLength);
        CString str = Pattern(c.nLength);
        CBytes bytes = Store([&](CArchive& ar) { ar << str; });
        ASSERT_EQ(Concat(c.prefix, BytesOf(str)), bytes);

        CString strBack("old");
        ULONGLONG nLeft = 1;
        Load(bytes, [&](CArchive& ar) {
            ar >> strBack;
            nLeft = ar.GetBytesLeft();
        });
        EXPECT_TRUE(strBack == str);
        EXPECT_EQ(0u, nLeft);
    }
}

TEST(CArchiveStringTest, LongerPrefixFormsAreAccepted)
{
    CString str;
    Load({ 0xFF, 0x03, 0x00, 'a', 'b', 'c' }, [&](CArchive& ar) { ar >> str; });
    EXPECT_STREQ("abc", str);
    Load({ 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'x', 'y' }, [&](CArchive& ar) { ar >> str; });
    EXPECT_STREQ("xy", str);
    Load({ 0x03, 'a', 0x00, 'b' }, [&](CArchive& ar) { ar >> str; });
    EXPECT_EQ(3, str.GetLength());
    EXPECT_EQ('b', str[2]);
    EXPECT_EQ((CBytes { 0x03, 'a', 0x00, 'b' }), Store([&](CArchive& ar) { ar << str; }));
    EXPECT_EQ((CBytes { 0x04, 'l', 'i', 't', 'e' }), Store([](CArchive& ar) { ar << "lite"; }));
}

TEST(CArchiveStringTest, WideStringMarkIsRefused)
{
    CString str("keep");
    EXPECT_EQ(CArchiveException::badSchema,
        LoadCause({ 0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00 }, [&](CArchive& ar) { ar >> str; }));
    EXPECT_STREQ("keep", str);
}

TEST(CArchiveStringTest, HostileLengthsThrowBeforeAllocating)
{
    CString str("keep");
    auto ReadString = [&](CArchive& ar) { ar >> str; };

    ResetLargestAllocation();
    EXPECT_EQ(CArchiveException::badIndex,
        LoadCause({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a' }, ReadString));
    EXPECT_LT(GetLargestAllocation(), 65536u);

    // Under the limit, but far more than the file holds.
    ResetLargestAllocation();
    EXPECT_EQ(CArchiveException::endOfFile,
        LoadCause({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 'a', 'b', 'c' }, ReadString));
    EXPECT_LT(GetLargestAllocation(), 65536u);

    ResetLargestAllocation();
    EXPECT_EQ(CArchiveException::endOfFile, LoadCause({ 0xFF, 0xFD, 0xFF, 'a' }, ReadString));
    EXPECT_LT(GetLargestAllocation(), 0xFFFDu);

    EXPECT_EQ(CArchiveException::endOfFile, LoadCause({ 0x05, 'a', 'b', 'c', 'd' }, ReadString));
    EXPECT_STREQ("keep", str);

    CBytes ten = Concat({ 10 }, BytesOf(Pattern(10)));
    CBytes eleven = Concat({ 11 }, BytesOf(Pattern(11)));
    auto ReadLimited = [&](CArchive& ar) {
        ar.SetStringLimit(10);
        ar >> str;
    };
    EXPECT_EQ(-1, LoadCause(ten, ReadLimited));
    EXPECT_EQ(10, str.GetLength());
    EXPECT_EQ(CArchiveException::badIndex, LoadCause(eleven, ReadLimited));
    EXPECT_EQ(10, str.GetLength());
}

TEST(CArchiveNumberTest, LittleEndianBytesAndRoundTrip)
{
    CBytes bytes = Store([](CArchive& ar) {
        ar << BYTE(0xAB) << WORD(0x1234) << int(-2) << unsigned(0x89ABCDEF) << short(-2) << char('z') << 1.5f
           << -2.5 << DWORD(0x01020304) << LONG(-3);
    });
    CBytes expected = { 0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB, 0x89, 0xFE, 0xFF, 0x7A,
        0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xC0, 0x04, 0x03, 0x02, 0x01, 0xFD,
        0xFF, 0xFF, 0xFF };
    EXPECT_EQ(expected, bytes);

    BYTE by = 0;
    WORD w = 0;
    int i = 0;
    unsigned u = 0;
    short s = 0;
    char ch = 0;
    float f = 0;
    double d = 0;
    DWORD dw = 0;
    LONG l = 0;
    Load(bytes, [&](CArchive& ar) { ar >> by >> w >> i >> u >> s >> ch >> f >> d >> dw >> l; });
    EXPECT_EQ(0xAB, by);
    EXPECT_EQ(0x1234, w);
    EXPECT_EQ(-2, i);
    EXPECT_EQ(0x89ABCDEFu, u);
    EXPECT_EQ(-2, s);
    EXPECT_EQ('z', ch);
    EXPECT_EQ(1.5f, f);
    EXPECT_EQ(-2.5, d);
    EXPECT_EQ(0x01020304u, dw);
    EXPECT_EQ(-3, l);
}

TEST(CArchiveNumberTest, GeometryAndTimes)
{
    CBytes bytes = Store([](CArchive& ar) {
        ar << CPoint(-1, 2) << CSize(3, 4) << CRect(5, 6, 7, -8) << CTime(0x7FFFFFFFLL) << CTime(0x80000000LL)
           << CTime(-5);
    });
    CBytes expected = { 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 7,
        0, 0, 0, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF };
    EXPECT_EQ(expected, bytes);

    CPoint pt;
    CSize size;
    CRect rc;
    CTime t1, t2, t3;
    Load(bytes, [&](CArchive& ar) { ar >> pt >> size >> rc >> t1 >> t2 >> t3; });
    EXPECT_TRUE(pt == CPoint(-1, 2));
    EXPECT_TRUE(size == CSize(3, 4));
    EXPECT_TRUE(rc == CRect(5, 6, 7, -8));
    EXPECT_EQ(0x7FFFFFFF, t1.GetTime());
    EXPECT_EQ(0, t2.GetTime()); // did not fit: stored as "no time"
    EXPECT_EQ(-5, t3.GetTime());
}

// Every truncation of a stream holding each type fails with endOfFile, for a
// tiny and a normal buffer, and the whole stream loads.
TEST(CArchiveTruncationTest, EveryShortReadThrowsEndOfFile)
{
    const CString strMid = Pattern(300);
    const CString strLong = Pattern(0x10000);
    auto Write = [&](CArchive& ar) {
        ar << BYTE(1) << WORD(2) << int(3) << strMid << 4.0 << CString() << CTime(5) << CRect(6, 7, 8, 9)
           << short(10) << char(11) << unsigned(12) << 13.0f << strLong << BYTE(14);
    };
    auto Read = [&](CArchive& ar) {
        BYTE b1, b14;
        WORD w;
        int i;
        CString s1, s2, s3;
        double d;
        CTime t;
        CRect rc;
        short s;
        char ch;
        unsigned u;
        float f;
        ar >> b1 >> w >> i >> s1 >> d >> s2 >> t >> rc >> s >> ch >> u >> f >> s3 >> b14;
        EXPECT_TRUE(s1 == strMid);
        EXPECT_TRUE(s3 == strLong);
        EXPECT_EQ(14, b14);
    };
    CBytes bytes = Store(Write);
    ASSERT_EQ(
        1 + 2 + 4 + 303 + 8 + 1 + 4 + 16 + 2 + 1 + 4 + 4 + 7 + 0x10000 + 1, static_cast<int>(bytes.size()));
    // Every cut up to the long string, samples inside it, and the last bytes.
    std::vector<size_t> cuts;
    for (size_t n = 0; n < 400; n++)
        cuts.push_back(n);
    for (size_t n = 400; n < bytes.size() - 3; n += 4099)
        cuts.push_back(n);
    for (size_t n = bytes.size() - 3; n < bytes.size(); n++)
        cuts.push_back(n);
    for (int nBufSize : { 16, 4096 }) {
        SCOPED_TRACE(nBufSize);
        EXPECT_EQ(-1, LoadCause(bytes, Read, nBufSize));
        for (size_t n : cuts) {
            CBytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            ASSERT_EQ(CArchiveException::endOfFile, LoadCause(cut, Read, nBufSize)) << "cut at " << n;
        }
    }
}

TEST(CArchiveTruncationTest, FailedReadsLeaveTargetsUnchanged)
{
    int i = 7;
    double d = 1.25;
    CRect rc(1, 2, 3, 4);
    EXPECT_EQ(CArchiveException::endOfFile, LoadCause({ 1, 2, 3 }, [&](CArchive& ar) { ar >> i; }));
    EXPECT_EQ(7, i);
    EXPECT_EQ(
        CArchiveException::endOfFile, LoadCause({ 1, 2, 3, 4, 5, 6, 7 }, [&](CArchive& ar) { ar >> d; }));
    EXPECT_EQ(1.25, d);
    EXPECT_EQ(CArchiveException::endOfFile, LoadCause(CBytes(15, 0), [&](CArchive& ar) { ar >> rc; }));
    EXPECT_TRUE(rc == CRect(1, 2, 3, 4));

    BYTE ab[10];
    UINT nRead = 0;
    EXPECT_EQ(CArchiveException::endOfFile, LoadCause({ 1, 2, 3, 4, 5 }, [&](CArchive& ar) {
        nRead = ar.Read(ab, sizeof(ab));
        ar.EnsureRead(ab, 1);
    }));
    EXPECT_EQ(5u, nRead);
}

TEST(CArchiveModeTest, WrongDirectionAndClosedArchivesThrow)
{
    CMemFile file;
    CArchive store(&file, CArchive::store);
    int i;
    bool bCaught = false;
    try {
        store >> i;
    } catch (CArchiveException* e) {
        bCaught = true;
        EXPECT_EQ(CArchiveException::writeOnly, e->m_cause);
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
    EXPECT_TRUE(store.IsStoring());
    EXPECT_EQ(&file, store.GetFile());
    store.Close();
    EXPECT_EQ(nullptr, store.GetFile());
    bCaught = false;
    try {
        store << 1;
    } catch (CArchiveException* e) {
        bCaught = true;
        EXPECT_EQ(CArchiveException::generic, e->m_cause);
        e->Delete();
    }
    EXPECT_TRUE(bCaught);

    EXPECT_EQ(CArchiveException::readOnly, LoadCause({ 1 }, [](CArchive& ar) { ar << BYTE(1); }));
    EXPECT_EQ(-1, LoadCause({ 1 }, [](CArchive& ar) { EXPECT_TRUE(ar.IsLoading()); }));
}

TEST(CArchiveFlushTest, BufferReachesTheFileOnCloseFlushOrDestruction)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << 1 << 2;
        EXPECT_EQ(0u, file.GetLength());
        ar.Flush();
        EXPECT_EQ(8u, file.GetLength());
        ar << 3;
    }
    EXPECT_EQ(12u, file.GetLength());
    {
        CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        ar << 4;
    }
    EXPECT_EQ(12u, file.GetLength());

    // Large writes pass the small buffer and keep their order.
    CString strBig = Pattern(1000);
    CBytes bytes = Store([&](CArchive& ar) { ar << BYTE(9) << strBig << BYTE(8); }, 16);
    EXPECT_EQ(Concat(Concat({ 9, 0xFF, 0xE8, 0x03 }, BytesOf(strBig)), { 8 }), bytes);
}

TEST(CArchiveFlushTest, WriteFailuresSurfaceOnCloseNotInTheDestructor)
{
    BYTE ab[6];
    CMemFile file(ab, sizeof(ab));
    bool bCaught = false;
    {
        CArchive ar(&file, CArchive::store, 16);
        ar << 1 << 2; // 8 bytes into a 6-byte file, still buffered
        try {
            ar.Close();
        } catch (CFileException* e) {
            bCaught = true;
            EXPECT_EQ(CFileException::diskFull, e->m_cause);
            e->Delete();
        }
    }
    EXPECT_TRUE(bCaught);
    {
        CMemFile fixed(ab, sizeof(ab));
        CArchive ar(&fixed, CArchive::store, 16);
        ar << 1 << 2; // the destructor's flush fails quietly
    }
}

TEST(CArchiveFileTest, RoundTripThroughADiskFile)
{
    CScratchFolder folder;
    CString strPath = folder.Path("Veltran.cfg");
    {
        CFile file(strPath, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        ar << DWORD(230) << CString("Simple") << 1 << CString("Red Digital");
        ar.Close();
        file.Close();
    }
    CFile file(strPath, CFile::modeRead);
    EXPECT_EQ(4u + 7 + 4 + 12, file.GetLength());
    CArchive ar(&file, CArchive::load, 16);
    EXPECT_STREQ(strPath, ar.m_strFileName);
    DWORD dwVersion;
    CString strAnalog, strDigital;
    int n;
    ar >> dwVersion;
    EXPECT_EQ(23u, ar.GetBytesLeft());
    ar >> strAnalog >> n >> strDigital;
    EXPECT_EQ(230u, dwVersion);
    EXPECT_STREQ("Simple", strAnalog);
    EXPECT_EQ(1, n);
    EXPECT_STREQ("Red Digital", strDigital);
    EXPECT_EQ(0u, ar.GetBytesLeft());
    bool bCaught = false;
    try {
        ar >> n;
    } catch (CArchiveException* e) {
        bCaught = true;
        EXPECT_EQ(CArchiveException::endOfFile, e->m_cause);
        EXPECT_STREQ(strPath, e->m_strFileName);
        EXPECT_NE(-1, e->GetErrorMessage().Find("Veltran.cfg"));
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
}
