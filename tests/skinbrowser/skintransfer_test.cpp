#include "skinbrowser/skintransfer.h"

#include "clocks/skinzip.h"
#include "support/tempfolder.h"
#include "tools/skinmaker/skinbuild.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

CSkinTransfer Answer(DWORD dwStatus, size_t nBytes, bool bHaveLength, ULONGLONG nLength)
{
    CSkinTransfer t;
    t.m_dwStatus = dwStatus;
    t.m_bytes.assign(nBytes, 0x5A);
    t.m_bHaveLength = bHaveLength;
    t.m_nLength = nLength;
    return t;
}

TEST(SkinTransfer, OnlyAWholeAnswerWithStatus200IsUsed)
{
    CSkinTransfer cancelled = Answer(200, 10, true, 10);
    cancelled.m_bCancelled = true;
    CSkinTransfer broken = Answer(200, 4, true, 10);
    broken.m_strError = "The connection was reset";
    const struct {
        CSkinTransfer transfer;
        const char* pszFault;
    } cases[] = {
        {Answer(200, 10, true, 10), ""},
        {Answer(200, 10, false, 0), ""}, // no length named: whatever came
        {Answer(404, 120, true, 120), "the server answered 404"},
        {Answer(500, 120, true, 120), "the server answered 500"},
        {Answer(0, 0, false, 0), "the server answered 0"},
        {Answer(200, 5, true, 10), "incomplete, 5 of 10 bytes"},   // truncated
        {Answer(200, 10, true, 20), "incomplete, 10 of 20 bytes"}, // a length that lies
        {Answer(200, 0, true, 0), "nothing arrived"},
        {cancelled, "cancelled"},
        {broken, "The connection was reset"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszFault, GetTransferFault(c.transfer)) << c.pszFault;
}

std::vector<BYTE> ArchiveOf(SkinKind kind)
{
    CSkinMakerOptions options;
    options.kind = kind;
    CString strError;
    const vtest::CTempFolder folder("veltran_transfer");
    const CString strPath = folder.Str(kind == SKIN_ANALOG ? "t.acs" : "t.dcs").c_str();
    EXPECT_TRUE(WriteSkinFile(options, strPath, strError)) << strError.GetString();
    std::ifstream in(strPath.GetString(), std::ios::binary);
    std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(strPath);
    return bytes;
}

TEST(SkinTransfer, AnArchiveMustOpenAsASkinOfTheKind)
{
    const std::vector<BYTE> analog = ArchiveOf(SKIN_ANALOG), digital = ArchiveOf(SKIN_DIGITAL);
    std::vector<BYTE> notSkin;
    const vtest::CTempFolder folder("veltran_transfer");
    ASSERT_TRUE(PackSkinData(folder.Str("n.acs").c_str(), "n.dat", std::vector<BYTE>(64, 7)));
    {
        std::ifstream in(folder.Str("n.acs"), std::ios::binary);
        notSkin.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<BYTE> cut(analog.begin(), analog.begin() + static_cast<std::ptrdiff_t>(analog.size() / 2));
    const std::string html = "<html><body>this is not a skin archive</body></html>";
    const struct {
        std::vector<BYTE> bytes;
        int nKind;
        const char* pszFault;
    } cases[] = {
        {analog, 0, ""},
        {digital, 1, ""},
        {analog, 1, "not a skin of this kind"},
        {notSkin, 0, "not a skin of this kind"},
        {cut, 0, "not a skin archive"},
        {std::vector<BYTE>(html.begin(), html.end()), 0, "not a skin archive"},
        {std::vector<BYTE>(), 0, "not a skin archive"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszFault, GetSkinArchiveFault(c.bytes, c.nKind)) << c.bytes.size() << " bytes, kind " << c.nKind;
}

} // namespace
