#include "clocks/skindata.h"

#include "image/picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

RECT Rect(LONG l, LONG t, LONG r, LONG b)
{
    RECT rc = {l, t, r, b};
    return rc;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void ExpectSameRegion(const RegionBlock& a, const RegionBlock& b)
{
    EXPECT_TRUE(SameRect(a.rcBound, b.rcBound));
    ASSERT_EQ(a.rects.size(), b.rects.size());
    for (size_t i = 0; i < a.rects.size(); i++)
        EXPECT_TRUE(SameRect(a.rects[i], b.rects[i])) << i;
}

RegionBlock Region(int nSeed, int nRects)
{
    RegionBlock region;
    region.rcBound = Rect(0, 0, 10 * nSeed, 10 * nRects);
    for (int i = 0; i < nRects; i++)
        region.rects.push_back(Rect(nSeed, i, 10 * nSeed - i, i + 1));
    return region;
}

PictureBlock Bytes(BYTE fill, size_t n)
{
    PictureBlock block;
    block.bytes.assign(n, fill);
    return block;
}

AnalogSkinData Analog(bool bSecondHand)
{
    AnalogSkinData data;
    data.strDescription = "Analog;1.0;middle;120;Simple;Veltran;2005";
    data.dwHasSecondHand = bSecondHand ? 1 : 0;
    data.faceRegion = Region(1, 3);
    data.facePicture = Bytes(0xF1, 40);
    data.hourRegion = Region(2, 1);
    data.hourPicture = Bytes(0xF2, 7);
    data.minuteRegion = Region(3, 0);
    data.minutePicture = Bytes(0xF3, 1);
    if (bSecondHand) {
        data.secondRegion = Region(4, 2);
        data.secondPicture = Bytes(0xF4, 300);
    }
    return data;
}

DigitalSkinData Digital(LONG nHasAbc)
{
    DigitalSkinData data;
    data.strDescription = "Digital;1.0;Red Digital;Veltran;2005";
    data.backgroundRegion = Region(5, 2);
    data.backgroundPicture = Bytes(0xB1, 33);
    data.nHasAbcRegion = nHasAbc;
    if (nHasAbc > 0)
        data.abcRegion = Region(6, 4);
    data.glyphStrip = Bytes(0xB2, 17);
    return data;
}

void ExpectSameAnalog(const AnalogSkinData& a, const AnalogSkinData& b)
{
    EXPECT_EQ(a.strDescription, b.strDescription);
    EXPECT_EQ(a.dwHasSecondHand, b.dwHasSecondHand);
    ExpectSameRegion(a.faceRegion, b.faceRegion);
    ExpectSameRegion(a.hourRegion, b.hourRegion);
    ExpectSameRegion(a.minuteRegion, b.minuteRegion);
    ExpectSameRegion(a.secondRegion, b.secondRegion);
    EXPECT_EQ(a.facePicture.bytes, b.facePicture.bytes);
    EXPECT_EQ(a.hourPicture.bytes, b.hourPicture.bytes);
    EXPECT_EQ(a.minutePicture.bytes, b.minutePicture.bytes);
    EXPECT_EQ(a.secondPicture.bytes, b.secondPicture.bytes);
}

void PutDword(std::vector<BYTE>& bytes, size_t nOffset, DWORD dw)
{
    for (int i = 0; i < 4; i++)
        bytes[nOffset + i] = static_cast<BYTE>(dw >> (8 * i));
}

// Element boundaries of a stream as the writer lays it out: offset where
// each element ends, with its message.
struct Element {
    size_t nEnd;
    const char* pszMessage;
};

size_t RegionSize(const RegionBlock& r)
{
    return 4 + 32 + 16 * r.rects.size();
}

size_t PictureSize(const PictureBlock& p)
{
    return 4 + p.bytes.size();
}

std::vector<Element> AnalogElements(const AnalogSkinData& d)
{
    std::vector<Element> e;
    size_t n = 1 + d.strDescription.GetLength();
    e.push_back({n, "Cannot read Skin description!"});
    e.push_back({n += 4, "Cannot read Second hand switch!"});
    e.push_back({n += RegionSize(d.faceRegion), "Cannot read Clockface region!"});
    e.push_back({n += PictureSize(d.facePicture), "Cannot read Clockface picture!"});
    e.push_back({n += RegionSize(d.hourRegion), "Cannot read Hour hand region!"});
    e.push_back({n += PictureSize(d.hourPicture), "Cannot read Hour hand picture!"});
    e.push_back({n += RegionSize(d.minuteRegion), "Cannot read Minute hand region!"});
    e.push_back({n += PictureSize(d.minutePicture), "Cannot read Minute hand picture!"});
    if (d.dwHasSecondHand) {
        e.push_back({n += RegionSize(d.secondRegion), "Cannot read Second hand region!"});
        e.push_back({n += PictureSize(d.secondPicture), "Cannot read Second hand picture!"});
    }
    return e;
}

std::vector<Element> DigitalElements(const DigitalSkinData& d)
{
    std::vector<Element> e;
    size_t n = 1 + d.strDescription.GetLength();
    e.push_back({n, "Cannot read Skin description!"});
    e.push_back({n += RegionSize(d.backgroundRegion), "Cannot read Background region!"});
    e.push_back({n += PictureSize(d.backgroundPicture), "Cannot read Background picture!"});
    e.push_back({n += 4, "Cannot read Abc region switch!"});
    if (d.nHasAbcRegion > 0)
        e.push_back({n += RegionSize(d.abcRegion), "Cannot read Abc region!"});
    e.push_back({n += PictureSize(d.glyphStrip), "Cannot read Abc hand picture!"});
    return e;
}

const char* ExpectedMessage(const std::vector<Element>& elements, size_t nLength)
{
    for (const Element& e : elements) {
        if (nLength < e.nEnd)
            return e.pszMessage;
    }
    return nullptr;
}

TEST(SkinData, AnalogRoundTrip)
{
    for (bool bSecond : {true, false}) {
        const AnalogSkinData data = Analog(bSecond);
        std::vector<BYTE> bytes = AnalogSkinDataBytes(data);
        EXPECT_EQ(bytes.size(), AnalogElements(data).back().nEnd);
        // Bytes after the last element are not read.
        bytes.push_back(0xEE);
        AnalogSkinData read;
        CString strError;
        ASSERT_TRUE(ReadAnalogSkinData(bytes.data(), bytes.size(), read, strError)) << strError.GetString();
        ExpectSameAnalog(data, read);
    }
}

TEST(SkinData, AnalogWithoutSecondHandEndsAfterMinuteHand)
{
    // With the switch 0 the stream ends after the minute picture, even when
    // second hand blocks follow.
    AnalogSkinData data = Analog(true);
    std::vector<BYTE> bytes = AnalogSkinDataBytes(data);
    const size_t nSwitch = 1 + data.strDescription.GetLength();
    PutDword(bytes, nSwitch, 0);
    AnalogSkinData read;
    CString strError;
    ASSERT_TRUE(ReadAnalogSkinData(bytes.data(), bytes.size(), read, strError));
    EXPECT_EQ(read.dwHasSecondHand, 0u);
    EXPECT_TRUE(read.secondRegion.rects.empty());
    EXPECT_TRUE(read.secondPicture.bytes.empty());
    EXPECT_EQ(read.minutePicture.bytes, data.minutePicture.bytes);
}

TEST(SkinData, DigitalRoundTrip)
{
    for (LONG nHasAbc : {1, 0, -5, 7}) {
        const DigitalSkinData data = Digital(nHasAbc);
        const std::vector<BYTE> bytes = DigitalSkinDataBytes(data);
        EXPECT_EQ(bytes.size(), DigitalElements(data).back().nEnd);
        DigitalSkinData read;
        CString strError;
        ASSERT_TRUE(ReadDigitalSkinData(bytes.data(), bytes.size(), read, strError)) << nHasAbc;
        EXPECT_EQ(read.strDescription, data.strDescription);
        EXPECT_EQ(read.nHasAbcRegion, nHasAbc);
        ExpectSameRegion(read.backgroundRegion, data.backgroundRegion);
        ExpectSameRegion(read.abcRegion, data.abcRegion);
        EXPECT_EQ(read.backgroundPicture.bytes, data.backgroundPicture.bytes);
        EXPECT_EQ(read.glyphStrip.bytes, data.glyphStrip.bytes);
    }
}

TEST(SkinData, EveryTruncationFailsWithItsElement)
{
    for (bool bSecond : {true, false}) {
        const AnalogSkinData data = Analog(bSecond);
        const std::vector<BYTE> bytes = AnalogSkinDataBytes(data);
        const std::vector<Element> elements = AnalogElements(data);
        for (size_t n = 0; n < bytes.size(); n++) {
            AnalogSkinData read = Analog(false);
            read.strDescription = "untouched";
            CString strError;
            ASSERT_FALSE(ReadAnalogSkinData(bytes.data(), n, read, strError)) << n;
            EXPECT_STREQ(strError, ExpectedMessage(elements, n)) << n;
            EXPECT_EQ(read.strDescription, CString("untouched"));
            EXPECT_EQ(read.facePicture.bytes.size(), 40u);
        }
    }
    for (LONG nHasAbc : {1, 0}) {
        const DigitalSkinData data = Digital(nHasAbc);
        const std::vector<BYTE> bytes = DigitalSkinDataBytes(data);
        const std::vector<Element> elements = DigitalElements(data);
        for (size_t n = 0; n < bytes.size(); n++) {
            DigitalSkinData read;
            CString strError;
            ASSERT_FALSE(ReadDigitalSkinData(bytes.data(), n, read, strError)) << n;
            EXPECT_STREQ(strError, ExpectedMessage(elements, n)) << n;
            EXPECT_TRUE(read.strDescription.IsEmpty());
        }
    }
}

// Offsets inside the analog stream's face region block.
struct FaceRegionBytes {
    std::vector<BYTE> bytes;
    size_t nCount;  // the block's byte count
    size_t nHeader; // its RGNDATA header
};

FaceRegionBytes FaceRegionStream()
{
    FaceRegionBytes f;
    const AnalogSkinData data = Analog(false);
    f.bytes = AnalogSkinDataBytes(data);
    f.nCount = 1 + data.strDescription.GetLength() + 4;
    f.nHeader = f.nCount + 4;
    return f;
}

CString ReadAnalogError(const std::vector<BYTE>& bytes)
{
    AnalogSkinData read;
    CString strError;
    if (ReadAnalogSkinData(bytes.data(), bytes.size(), read, strError))
        return "read";
    return strError;
}

TEST(SkinData, RegionBlockChecks)
{
    const CString strFace = "Cannot read Clockface region!";
    struct Patch {
        size_t nOffset; // from the block's count
        DWORD dwValue;
    };
    const Patch bad[] = {
        {0, 31},                // shorter than the header
        {0, 0},                 // empty
        {0, 0xFFFFFFFFu},       // larger than the stream and the cap
        {0, 16 * 1024 * 1024 + 1}, // over the cap
        {4, 33},                // header size
        {4, 0},                 //
        {8, 2},                 // RDH_TRAPEZOID is no rectangle list
        {12, 4},                // one rectangle more than the bytes hold
        {12, 0x10000001u},      // a count whose byte size wraps 32 bits
        {12, 0xFFFFFFFFu},
    };
    for (const Patch& p : bad) {
        FaceRegionBytes f = FaceRegionStream();
        PutDword(f.bytes, f.nCount + p.nOffset, p.dwValue);
        EXPECT_EQ(ReadAnalogError(f.bytes), strFace) << p.nOffset << " " << p.dwValue;
    }

    // Fewer rectangles than the bytes hold: the rest of the block is skipped.
    FaceRegionBytes f = FaceRegionStream();
    PutDword(f.bytes, f.nHeader + 8, 1);
    AnalogSkinData read;
    CString strError;
    ASSERT_TRUE(ReadAnalogSkinData(f.bytes.data(), f.bytes.size(), read, strError)) << strError.GetString();
    EXPECT_EQ(read.faceRegion.rects.size(), 1u);
    EXPECT_EQ(read.hourPicture.bytes, Analog(false).hourPicture.bytes);

    // The stored nRgnSize and bound are not trusted for anything.
    f = FaceRegionStream();
    PutDword(f.bytes, f.nHeader + 12, 0xFFFFFFFFu);
    EXPECT_EQ(ReadAnalogError(f.bytes), CString("read"));
}

TEST(SkinData, PictureAndDescriptionCounts)
{
    const AnalogSkinData data = Analog(false);
    std::vector<BYTE> bytes = AnalogSkinDataBytes(data);
    const size_t nFacePicture = 1 + data.strDescription.GetLength() + 4 + RegionSize(data.faceRegion);
    const DWORD counts[] = {0xFFFFFFF0u, 0x7FFFFFFFu, 32u * 1024 * 1024 + 1, static_cast<DWORD>(bytes.size())};
    for (DWORD dwCount : counts) {
        std::vector<BYTE> patched = bytes;
        PutDword(patched, nFacePicture, dwCount);
        EXPECT_EQ(ReadAnalogError(patched), CString("Cannot read Clockface picture!")) << dwCount;
    }

    // The long string forms: a 300-character description round-trips, a
    // length beyond the data or the cap fails.
    AnalogSkinData longer = Analog(false);
    longer.strDescription = CString('d', 300);
    bytes = AnalogSkinDataBytes(longer);
    EXPECT_EQ(bytes[0], 0xFF);
    AnalogSkinData read;
    CString strError;
    ASSERT_TRUE(ReadAnalogSkinData(bytes.data(), bytes.size(), read, strError));
    EXPECT_EQ(read.strDescription.GetLength(), 300);

    std::vector<BYTE> huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    huge.resize(200, 0);
    EXPECT_EQ(ReadAnalogError(huge), CString("Cannot read Skin description!"));
    std::vector<BYTE> overCap = {0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00};
    overCap.resize(70000, 'x');
    EXPECT_EQ(ReadAnalogError(overCap), CString("Cannot read Skin description!"));
}

TEST(SkinDescriptionFields, ByIndex)
{
    const SkinDescription d("Analog;1.0;middle;120;Simple;Veltran;2005");
    EXPECT_EQ(d.GetField(SkinDescription::ANALOG_TYPE), CString("Analog"));
    EXPECT_EQ(d.GetField(SkinDescription::ANALOG_NAME), CString("Simple"));
    EXPECT_EQ(d.GetField(SkinDescription::ANALOG_DATE), CString("2005"));
    EXPECT_EQ(d.GetField(7), CString(""));
    EXPECT_EQ(d.GetField(-1), CString(""));
    EXPECT_TRUE(d.GetPivotX().bMiddle);
    EXPECT_FALSE(d.GetPivotY().bMiddle);
    EXPECT_EQ(d.GetPivotY().nValue, 120);

    const SkinDescription empty("a;;b;");
    EXPECT_EQ(empty.GetField(0), CString("a"));
    EXPECT_EQ(empty.GetField(1), CString(""));
    EXPECT_EQ(empty.GetField(2), CString("b"));
    EXPECT_EQ(empty.GetField(3), CString(""));
    EXPECT_EQ(empty.GetField(4), CString(""));

    // Two fields only: the axis is at (0, 0).
    const SkinDescription shortOne("Analog;1.0");
    EXPECT_FALSE(shortOne.GetPivotX().bMiddle);
    EXPECT_EQ(shortOne.GetPivotX().nValue, 0);
    EXPECT_EQ(shortOne.GetPivotY().nValue, 0);
}

TEST(SkinDescriptionFields, PivotReadsAsAtoi)
{
    EXPECT_FALSE(SkinDescription::ReadPivot("Middle").bMiddle);
    EXPECT_EQ(SkinDescription::ReadPivot("Middle").nValue, 0);
    EXPECT_FALSE(SkinDescription::ReadPivot("middle ").bMiddle);
    EXPECT_EQ(SkinDescription::ReadInt(" \t42abc"), 42);
    EXPECT_EQ(SkinDescription::ReadInt("-7"), -7);
    EXPECT_EQ(SkinDescription::ReadInt("+9"), 9);
    EXPECT_EQ(SkinDescription::ReadInt("- 9"), 0);
    EXPECT_EQ(SkinDescription::ReadInt(""), 0);
    EXPECT_EQ(SkinDescription::ReadInt("x1"), 0);
    EXPECT_EQ(SkinDescription::ReadInt("2147483647"), INT_MAX);
    EXPECT_EQ(SkinDescription::ReadInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(SkinDescription::ReadInt("-2147483648"), INT_MIN);
    EXPECT_EQ(SkinDescription::ReadInt("-99999999999999999999"), INT_MIN);
}

TEST(SkinRegion, ClipToPicture)
{
    RegionBlock region;
    region.rcBound = Rect(-100, -100, 100, 100);
    region.rects = {Rect(-5, -5, 10, 3), Rect(90, 0, 120, 50), Rect(200, 0, 300, 10),
                    Rect(5, 5, 5, 9), Rect(8, 8, 2, 2), Rect(0, 40, 100, 60), Rect(INT32_MIN, 1, INT32_MAX, 2)};
    ClipRegionBlock(region, 100, 50);
    ASSERT_EQ(region.rects.size(), 4u);
    EXPECT_TRUE(SameRect(region.rects[0], Rect(0, 0, 10, 3)));
    EXPECT_TRUE(SameRect(region.rects[1], Rect(90, 0, 100, 50)));
    EXPECT_TRUE(SameRect(region.rects[2], Rect(0, 40, 100, 50)));
    EXPECT_TRUE(SameRect(region.rects[3], Rect(0, 1, 100, 2)));
    EXPECT_TRUE(SameRect(region.rcBound, Rect(0, 0, 100, 50)));

    RegionBlock outside;
    outside.rects = {Rect(100, 0, 110, 10)};
    outside.rcBound = Rect(100, 0, 110, 10);
    ClipRegionBlock(outside, 100, 100);
    EXPECT_TRUE(outside.rects.empty());
    EXPECT_TRUE(SameRect(outside.rcBound, Rect(0, 0, 0, 0)));
}

TEST(SkinRegion, RgnDataLayout)
{
    RegionBlock region;
    region.rcBound = Rect(1, 2, 30, 40);
    region.rects = {Rect(1, 2, 30, 3), Rect(4, 3, 5, 40)};
    const std::vector<BYTE> bytes = RegionBlockBytes(region);
    ASSERT_EQ(bytes.size(), 32u + 32u);
    DWORD header[8];
    std::memcpy(header, bytes.data(), sizeof(header)); // the test machines are little-endian
    EXPECT_EQ(header[0], 32u);
    EXPECT_EQ(header[1], 1u);
    EXPECT_EQ(header[2], 2u);
    EXPECT_EQ(header[3], 32u);
    EXPECT_EQ(header[4], 1u);
    EXPECT_EQ(header[7], 40u);
    RECT second;
    std::memcpy(&second, bytes.data() + 48, sizeof(second));
    EXPECT_TRUE(SameRect(second, Rect(4, 3, 5, 40)));
}

} // namespace
