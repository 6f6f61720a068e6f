// The EXIF reader over hand-built streams: both byte orders, hostile offsets
// and links, text limits, the section walk and the stream it writes back.
#include "image/picture_exif.h"
#include "jpeg_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace jpegtest;

namespace {

// Reaches the kept sections.
class ExposedExif : public CPicExifInfo {
public:
    using CPicExifInfo::CPicExifInfo;
    using CPicExifInfo::sections;
};

std::vector<BYTE> Sof(uint16_t height, uint16_t width, BYTE components)
{
    std::vector<BYTE> p = { 8, BYTE(height >> 8), BYTE(height), BYTE(width >> 8), BYTE(width), components };
    for (BYTE c = 0; c < components; ++c) {
        p.push_back(BYTE(c + 1));
        p.push_back(0x11);
        p.push_back(0);
    }
    return Segment(0xC0, p);
}

const std::vector<BYTE> kScanData = { 0x12, 0x34, 0xFF, 0x00, 0x56, 0xFF, 0xD9 };

// SOI, the given sections, a frame header, a scan header and scan data.
std::vector<BYTE> Stream(const std::vector<std::vector<BYTE>>& sections, BYTE sofMarker = 0xC0)
{
    std::vector<BYTE> s = { 0xFF, 0xD8 };
    for (const auto& sec : sections)
        Append(s, sec);
    std::vector<BYTE> sof = Sof(120, 160, 3);
    sof[1] = sofMarker;
    Append(s, sof);
    Append(s, Segment(0xDA, { 1, 1, 0, 0, 63, 0 }));
    Append(s, kScanData);
    return s;
}

struct Read {
    tag_ExifInfo info {};
    bool result = false;
    std::string error;
    int sections = 0;
};

Read Walk(std::vector<BYTE> bytes, int mode = CPicExifInfo::EXIF_READ_EXIF)
{
    Read r;
    CPicExifInfo reader(&r.info);
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    r.result = reader.DecodeExif(&file, mode);
    r.error = reader.GetLastError();
    r.sections = reader.GetSectionCount();
    return r;
}

std::vector<BYTE> ExifSegment(const ExifBuilder& b, const std::vector<ExifDir>& dirs, int64_t first = -1)
{
    return Segment(0xE1, b.Payload(dirs, first));
}

// The camera directory most tests share, in either byte order.
std::vector<ExifDir> CameraDirs(const ExifBuilder& b)
{
    ExifDir ifd0, sub;
    ifd0.entries = { b.Ascii(0x010F, "Veltran Optics"), b.Ascii(0x0110, "VC-100"), b.Short(0x0112, 6),
        b.Rat(0x011A, 300, 1), b.Rat(0x011B, 150, 1), b.Short(0x0128, 2), b.Link(0x8769, 1) };
    std::vector<BYTE> comment = ExifBuilder::Bytes(std::string("ASCII\0\0\0Hello   ", 16));
    sub.entries = { b.Rat(0x829A, 1, 125), b.Rat(0x829D, 28, 10), b.Short(0x8827, 100), b.Short(0x9209, 0x19),
        b.Undefined(0x9000, ExifBuilder::Bytes("0221")), b.Ascii(0x9003, "2024:01:02 03:04:05"),
        b.Rat(0x920A, 50, 1), b.SRat(0x9204, -2, 3), b.Short(0x9207, 5), b.Short(0x9208, 4),
        b.Short(0x8822, 2), b.Long(0xA002, 4000), b.Long(0xA003, 3000), b.Rat(0xA20E, 4000, 1),
        b.Short(0xA210, 2), b.Undefined(0x9286, comment) };
    return { ifd0, sub };
}

} // namespace

TEST(ExifBlock, ReadsCameraValuesInBothByteOrders)
{
    for (bool be : { false, true }) {
        ExifBuilder b(be);
        Read r = Walk(Stream({ ExifSegment(b, CameraDirs(b)) }));
        ASSERT_TRUE(r.result) << be;
        const tag_ExifInfo& i = r.info;
        EXPECT_TRUE(i.hasExif);
        EXPECT_STREQ(i.make, "Veltran Optics");
        EXPECT_STREQ(i.model, "VC-100");
        EXPECT_STREQ(i.exifVersion, "0221");
        EXPECT_STREQ(i.dateTimeOriginal, "2024:01:02 03:04:05");
        EXPECT_EQ(i.orientation, 6);
        EXPECT_FLOAT_EQ(i.xResolution, 300);
        EXPECT_FLOAT_EQ(i.yResolution, 150);
        EXPECT_FLOAT_EQ(i.resolutionUnit, 1.0f);
        EXPECT_FLOAT_EQ(i.exposureTime, 1.0f / 125);
        EXPECT_FLOAT_EQ(i.apertureFNumber, 2.8f);
        EXPECT_EQ(i.isoEquivalent, 100);
        EXPECT_EQ(i.flashUsed, 1);
        EXPECT_FLOAT_EQ(i.focalLength, 50);
        EXPECT_FLOAT_EQ(i.exposureBias, -2.0f / 3);
        EXPECT_EQ(i.meteringMode, 5);
        EXPECT_EQ(i.lightSource, 4);
        EXPECT_EQ(i.exposureProgram, 2);
        EXPECT_STREQ(i.comments, "Hello");
        EXPECT_FLOAT_EQ(i.ccdWidth, 1.0f); // 4000 px x 1 inch / 4000 px per inch
        // The frame header after the block.
        EXPECT_EQ(i.width, 160);
        EXPECT_EQ(i.height, 120);
        EXPECT_EQ(i.isColour, 1);
        EXPECT_EQ(i.process, 0xC0);
    }
}

TEST(ExifBlock, DerivedValuesAndUnits)
{
    ExifBuilder b(false);
    ExifDir d;
    d.entries = { b.SRat(0x9201, 8, 1), b.Rat(0x9202, 4, 1), b.Short(0x8827, 2), b.Short(0x0128, 3),
        b.Short(0xA210, 4), b.Short(0x9209, 0x10) };
    Read r = Walk(Stream({ ExifSegment(b, { d }) }));
    ASSERT_TRUE(r.info.hasExif);
    EXPECT_FLOAT_EQ(r.info.exposureTime, 1.0f / 256);
    EXPECT_FLOAT_EQ(r.info.apertureFNumber, 4.0f);
    EXPECT_EQ(r.info.isoEquivalent, 400);
    EXPECT_EQ(r.info.resolutionUnit, 0.3937007784843445f);
    EXPECT_EQ(r.info.focalPlaneUnits, 0.03937007859349251f);
    EXPECT_EQ(r.info.flashUsed, 0); // bit 4 alone is not a fired flash

    // An explicit exposure time wins over the shutter speed that follows it.
    d.entries = { b.Rat(0x829A, 1, 60), b.SRat(0x9201, 8, 1), b.Short(0x0128, 9) };
    r = Walk(Stream({ ExifSegment(b, { d }) }));
    EXPECT_FLOAT_EQ(r.info.exposureTime, 1.0f / 60);
    EXPECT_EQ(r.info.resolutionUnit, 0.0f); // an unknown unit leaves the field alone

    // A very negative speed rating scaled by 200 stays at the smallest value.
    d.entries = { { 0x8827, 9, 1, b.U32(0x80000000u) } };
    r = Walk(Stream({ ExifSegment(b, { d }) }));
    EXPECT_EQ(r.info.isoEquivalent, LONG(-2147483647 - 1));
}

TEST(ExifBlock, BigEndianThumbnailDirectoryThroughTheNextLink)
{
    ExifBuilder b(true);
    std::vector<BYTE> thumb = { 0xFF, 0xD8, 0xAA, 0xBB, 0xFF, 0xD9 };
    ExifDir ifd0, ifd1;
    ifd0.entries = { b.Rat(0x011A, 72, 1) };
    ifd0.next = 1;
    // Thumbnail data placed as the value of an undefined tag, offset found after layout.
    ifd1.entries = { b.Rat(0x011A, 96, 1), b.Long(0x0201, 0), b.Long(0x0202, uint32_t(thumb.size())),
        b.Undefined(0xC000, thumb) };
    std::vector<BYTE> tiff = b.Tiff({ ifd0, ifd1 });
    // The undefined value is the last data of the block; point the offset at it.
    uint32_t thumbAt = uint32_t(tiff.size() - thumb.size());
    size_t ifd1At = 8 + 2 + 12 + 4 + 8;
    b.Put32(&tiff[ifd1At + 2 + 12 + 8], thumbAt);
    std::vector<BYTE> payload = { 'E', 'x', 'i', 'f', 0, 0 };
    Append(payload, tiff);

    std::vector<BYTE> bytes = Stream({ Segment(0xE1, payload) });
    tag_ExifInfo info {};
    CPicExifInfo reader(&info);
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    ASSERT_TRUE(reader.DecodeExif(&file, CPicExifInfo::EXIF_READ_EXIF));
    ASSERT_TRUE(info.hasExif);
    EXPECT_FLOAT_EQ(info.xResolution, 96); // the later directory overwrites
    ASSERT_EQ(info.thumbnailSize, thumb.size());
    ASSERT_NE(info.thumbnail, nullptr);
    EXPECT_EQ(std::vector<BYTE>(info.thumbnail, info.thumbnail + info.thumbnailSize), thumb);
    // The thumbnail points into the reader's own copy, not the caller's buffer.
    EXPECT_FALSE(info.thumbnail >= bytes.data() && info.thumbnail < bytes.data() + bytes.size());

    // A thumbnail that would end past the block is not taken.
    b.Put32(&tiff[ifd1At + 2 + 12 + 8], thumbAt + 1);
    payload.resize(6);
    Append(payload, tiff);
    Read r = Walk(Stream({ Segment(0xE1, payload) }));
    EXPECT_TRUE(r.info.hasExif);
    EXPECT_EQ(r.info.thumbnail, nullptr);
}

TEST(ExifBlock, CyclicLinksEndTheWalk)
{
    ExifBuilder b(false);
    ExifDir self;
    self.entries = { b.Rat(0x011A, 72, 1) };
    self.next = 0;
    Read r = Walk(Stream({ ExifSegment(b, { self }) }));
    EXPECT_TRUE(r.info.hasExif);
    EXPECT_FLOAT_EQ(r.info.xResolution, 72);

    // A sub-directory that links back to the first one, and one to itself.
    ExifDir a, c;
    a.entries = { b.Link(0x8769, 1), b.Rat(0x011B, 10, 1) };
    a.next = 1;
    c.entries = { b.Link(0x8769, 0), b.Link(0xA005, 1), b.Short(0x8827, 200) };
    c.next = 0;
    r = Walk(Stream({ ExifSegment(b, { a, c }) }));
    EXPECT_TRUE(r.info.hasExif);
    EXPECT_EQ(r.info.isoEquivalent, 200);
    EXPECT_FLOAT_EQ(r.info.yResolution, 10);
}

TEST(ExifBlock, OffsetsAtAndPastTheEnd)
{
    ExifBuilder b(false);
    ExifDir d;
    d.entries = { b.Ascii(0x010F, "Make-Long-Enough") };
    std::vector<BYTE> tiff = b.Tiff({ d });
    const int64_t len = int64_t(tiff.size());

    // The first directory offset is the only start of the walk.
    for (int64_t first : { len, len - 1, int64_t(0xFFFFFFF0u), int64_t(4) }) {
        Read r = Walk(Stream({ ExifSegment(b, { d }, first) }));
        EXPECT_FALSE(r.info.hasExif) << first;
        EXPECT_EQ(r.error, "Illegally sized directory") << first;
        EXPECT_TRUE(r.result) << first; // the section walk goes on
    }

    // A value ending exactly at the end of the block is read; one byte further is refused.
    std::vector<BYTE> payload = b.Payload({ d });
    size_t entry = 6 + 8 + 2;
    uint32_t valueLen = 17;
    uint32_t atEnd = uint32_t(tiff.size()) - valueLen;
    ExifBuilder(false).Put32(&payload[entry + 8], atEnd);
    Read r = Walk(Stream({ Segment(0xE1, payload) }));
    EXPECT_TRUE(r.info.hasExif);
    ExifBuilder(false).Put32(&payload[entry + 8], atEnd + 1);
    r = Walk(Stream({ Segment(0xE1, payload) }));
    EXPECT_FALSE(r.info.hasExif);
    EXPECT_EQ(r.error, "Illegal pointer offset value in EXIF.");
    // Offset plus length wrapping 32 bits.
    ExifBuilder(false).Put32(&payload[entry + 8], 0xFFFFFFF8u);
    r = Walk(Stream({ Segment(0xE1, payload) }));
    EXPECT_EQ(r.error, "Illegal pointer offset value in EXIF.");

    // An entry count reaching past the block.
    payload = b.Payload({ d });
    payload[6 + 8] = 0xFF;
    r = Walk(Stream({ Segment(0xE1, payload) }));
    EXPECT_FALSE(r.info.hasExif);
    EXPECT_EQ(r.error, "Illegally sized directory");

    // A bad format code and a sub-directory link past the end.
    ExifDir bad;
    bad.entries = { { 0x010F, 13, 1, b.U32(0) } };
    r = Walk(Stream({ ExifSegment(b, { bad }) }));
    EXPECT_EQ(r.error, "Illegal format code in EXIF dir");
    ExifDir link;
    link.entries = { b.Long(0x8769, 0x7FFFFFFF) };
    r = Walk(Stream({ ExifSegment(b, { link }) }));
    EXPECT_FALSE(r.info.hasExif);
    EXPECT_EQ(r.error, "Illegal subdirectory link");
}

TEST(ExifBlock, ShortValuesNeverReadPastTheBlock)
{
    // A double with no components as the last bytes of the block: its 4-byte
    // value field is all there is (the sanitizer build watches the reads).
    ExifBuilder b(false);
    ExifDir d;
    d.entries = { b.Short(0x0128, 2), { 0x011A, 12, 0, b.U32(0) } };
    d.omitLink = true;
    Read r = Walk(Stream({ ExifSegment(b, { d }) }));
    EXPECT_TRUE(r.info.hasExif);
    EXPECT_FLOAT_EQ(r.info.xResolution, 0);
    EXPECT_FLOAT_EQ(r.info.resolutionUnit, 1);
}

TEST(ExifBlock, TextTagsStopAtTheirCountAndLimit)
{
    ExifBuilder b(false);
    ExifDir d;
    // Without NUL, followed in the block by other bytes: only the count is copied.
    d.entries = { b.Ascii(0x010F, "Canon", false), b.Ascii(0x0110, std::string(60, 'M')),
        b.Ascii(0x9003, std::string(30, '9')), b.Undefined(0x9000, ExifBuilder::Bytes("022")),
        b.Undefined(0xC001, ExifBuilder::Bytes("XXXXXXXXXXXXXXXX")) };
    Read r = Walk(Stream({ ExifSegment(b, { d }) }));
    ASSERT_TRUE(r.info.hasExif);
    EXPECT_STREQ(r.info.make, "Canon");
    EXPECT_EQ(std::string(r.info.model), std::string(39, 'M'));
    EXPECT_EQ(std::string(r.info.dateTimeOriginal), std::string(19, '9'));
    EXPECT_STREQ(r.info.exifVersion, "022");

    // A user comment of 300 characters keeps 199; one of only spaces keeps nothing.
    d.entries = { b.Undefined(0x9286, ExifBuilder::Bytes(std::string(300, 'c'))) };
    r = Walk(Stream({ ExifSegment(b, { d }) }));
    EXPECT_EQ(std::string(r.info.comments), std::string(199, 'c'));
    d.entries = { b.Undefined(0x9286, ExifBuilder::Bytes(std::string("ASCII\0 \0 \0   ", 13))) };
    r = Walk(Stream({ ExifSegment(b, { d }) }));
    EXPECT_STREQ(r.info.comments, "");
}

TEST(ExifBlock, OrientationOutOfRangeIsNotAFailure)
{
    ExifBuilder b(true);
    ExifDir d;
    d.entries = { b.Short(0x0112, 9), b.Ascii(0x010F, "After") };
    Read r = Walk(Stream({ ExifSegment(b, { d }) }));
    EXPECT_TRUE(r.info.hasExif);
    EXPECT_EQ(r.info.orientation, 0);
    EXPECT_EQ(r.error, "Undefined rotation value");
    EXPECT_STREQ(r.info.make, "After");
}

TEST(ExifBlock, HeaderChecks)
{
    ExifBuilder b(false);
    std::vector<BYTE> good = b.Payload(CameraDirs(b));
    struct Case {
        size_t at;
        BYTE value;
        const char* error;
    } cases[] = { { 5, 1, nullptr }, { 6, 'X', "Invalid Exif alignment marker." },
        { 8, 43, "Invalid Exif start (1)" } };
    for (const Case& c : cases) {
        std::vector<BYTE> p = good;
        p[c.at] = c.value;
        Read r = Walk(Stream({ Segment(0xE1, p) }));
        EXPECT_FALSE(r.info.hasExif) << c.at;
        if (c.error)
            EXPECT_EQ(r.error, c.error);
        else
            EXPECT_EQ(r.error, "Incorrect Exif header");
    }
    // Too short to hold the TIFF header.
    Read r = Walk(Stream({ Segment(0xE1, { 'E', 'x', 'i', 'f', 0, 0, 'I', 'I' }) }));
    EXPECT_FALSE(r.info.hasExif);
    EXPECT_TRUE(r.result);
}

TEST(ExifSections, StartOfStreamAndMarkers)
{
    Read r = Walk({ 0xFF, 0xD9, 0xFF, 0xD8 });
    EXPECT_FALSE(r.result);
    EXPECT_EQ(r.sections, 0);
    EXPECT_EQ(r.error, "");

    // Six fill bytes before a marker are accepted, seven are not.
    std::vector<BYTE> six = { 0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0, 4, 'h', 'i' };
    std::vector<BYTE> tail = Stream({});
    tail.erase(tail.begin(), tail.begin() + 2);
    Append(six, tail);
    r = Walk(six);
    EXPECT_TRUE(r.result);
    EXPECT_STREQ(r.info.comments, "hi");
    std::vector<BYTE> seven = six;
    seven.insert(seven.begin() + 2, 0xFF);
    EXPECT_FALSE(Walk(seven).result);

    r = Walk({ 0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x01 });
    EXPECT_FALSE(r.result);
    EXPECT_EQ(r.error, "invalid marker");
    r = Walk({ 0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x10, 1, 2, 3 });
    EXPECT_FALSE(r.result);
    EXPECT_EQ(r.error, "Premature end of file?");
    r = Walk({ 0xFF, 0xD8, 0xFF, 0xD9, 0x00, 0x02 });
    EXPECT_FALSE(r.result);
}

TEST(ExifSections, CommentTextAndWhichSectionsStay)
{
    std::vector<BYTE> com = { 'a', '\r', '\n', 'b', 0x01 };
    ExifBuilder b(false);
    std::vector<BYTE> bytes = Stream({ Segment(0xE0, ExifBuilder::Bytes("JFIF")), Segment(0xFE, com),
        Segment(0xFE, ExifBuilder::Bytes("second")), Segment(0xE1, ExifBuilder::Bytes("http://xmp")),
        ExifSegment(b, CameraDirs(b)), Segment(0xE2, { 1, 2, 3 }) });
    tag_ExifInfo info {};
    ExposedExif reader(&info);
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    ASSERT_TRUE(reader.DecodeExif(&file, CPicExifInfo::EXIF_READ_EXIF));
    // The first comment, the EXIF block, APP2, the frame and scan headers.
    ASSERT_EQ(reader.GetSectionCount(), 5);
    EXPECT_EQ(reader.GetSectionType(0), 0xFE);
    EXPECT_EQ(reader.GetSectionType(1), 0xE1);
    EXPECT_EQ(reader.GetSectionType(2), 0xE2);
    EXPECT_EQ(reader.GetSectionType(3), 0xC0);
    EXPECT_EQ(reader.GetSectionType(4), 0xDA);
    // The user comment of the EXIF block came after the JPEG comment.
    EXPECT_STREQ(info.comments, "Hello");

    bytes = Stream({ Segment(0xFE, com) });
    Read r = Walk(bytes);
    EXPECT_STREQ(r.info.comments, "a\nb?");
}

TEST(ExifSections, TwentySectionLimit)
{
    std::vector<std::vector<BYTE>> many;
    // Dropped sections do not count.
    many.push_back(Segment(0xE0, { 1 }));
    many.push_back(Segment(0xFE, { 'x' }));
    many.push_back(Segment(0xFE, { 'y' }));
    for (int i = 0; i < 18; ++i)
        many.push_back(Segment(0xE2, { BYTE(i) }));
    // Comment + 18 + frame header = 20, then the start of scan would be the 21st.
    Read r = Walk(Stream(many));
    EXPECT_FALSE(r.result);
    EXPECT_EQ(r.error, "Too many sections in jpg file");

    // With the start of scan as the twentieth section the image data still
    // has its own entry in mode 2 and the stream is written back whole.
    many.pop_back();
    std::vector<BYTE> bytes = Stream(many);
    tag_ExifInfo info {};
    CPicExifInfo reader(&info);
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    ASSERT_TRUE(reader.DecodeExif(&in, CPicExifInfo::EXIF_READ_EXIF | CPicExifInfo::EXIF_READ_IMAGE));
    EXPECT_EQ(reader.GetSectionCount(), 21);
    CPicMemFile out;
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(reader.EncodeExif(&out));
    // No EXIF or JFIF first: a JFIF section is put in front; the dropped ones are gone.
    std::vector<BYTE> expect = { 0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x01,
        0x01, 0x2C, 0x01, 0x2C, 0x00, 0x00 };
    std::vector<BYTE> kept(bytes.begin() + 2, bytes.end());
    kept.erase(kept.begin(), kept.begin() + 5); // the APP0
    kept.erase(kept.begin() + 5, kept.begin() + 10); // the second comment, after the first
    Append(expect, kept);
    BYTE* data = out.GetBuffer(false);
    EXPECT_EQ(std::vector<BYTE>(data, data + out.Size()), expect);
}

TEST(ExifSections, WriteBackAfterDiscard)
{
    ExifBuilder b(false);
    std::vector<BYTE> exif = ExifSegment(b, CameraDirs(b));
    std::vector<BYTE> bytes = Stream({ Segment(0xFE, { 'c' }), exif, Segment(0xDB, { 0, 1, 2 }) });
    tag_ExifInfo info {};
    CPicExifInfo reader(&info);
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    ASSERT_TRUE(reader.DecodeExif(&in, CPicExifInfo::EXIF_READ_EXIF));
    CPicMemFile out;
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(reader.EncodeExif(&out));
    EXPECT_STREQ(reader.GetLastError(), "Can't write exif : didn't read all");
    EXPECT_EQ(out.Size(), 0);

    reader.DiscardAllButExif();
    ASSERT_EQ(reader.GetSectionCount(), 2);
    EXPECT_EQ(reader.GetSectionType(0), 0xE1);
    EXPECT_EQ(reader.GetSectionType(1), 0xFE);
    EXPECT_EQ(info.thumbnail, nullptr);

    // A second stream read after the kept sections, written out behind them.
    std::vector<BYTE> plain = Stream({ Segment(0xE0, ExifBuilder::Bytes("JFIF")) });
    CPicMemFile in2(plain.data(), DWORD(plain.size()));
    ASSERT_TRUE(reader.DecodeExif(&in2, CPicExifInfo::EXIF_READ_IMAGE));
    ASSERT_TRUE(reader.EncodeExif(&out));
    std::vector<BYTE> expect = { 0xFF, 0xD8 };
    Append(expect, exif); // unchanged: the user comment was trimmed on a copy
    Append(expect, Segment(0xFE, { 'c' }));
    Append(expect, std::vector<BYTE>(plain.begin() + 2 + 8, plain.end()));
    BYTE* data = out.GetBuffer(false);
    EXPECT_EQ(std::vector<BYTE>(data, data + out.Size()), expect);
}

TEST(ExifSections, FailedWritesAreReported)
{
    std::vector<BYTE> bytes = Stream({});
    CPicExifInfo reader;
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    ASSERT_TRUE(reader.DecodeExif(&in, CPicExifInfo::EXIF_READ_IMAGE));
    // A buffer of ours that cannot grow: the caller's fixed-size memory.
    std::vector<BYTE> small(10);
    struct FixedFile : CPicMemFile {
        using CPicMemFile::CPicMemFile;
        size_t Write(const void* b, size_t s, size_t n) override
        {
            size_t room = size_t(Size() < 10 ? 10 - Size() : 0) / (s ? s : 1);
            return CPicMemFile::Write(b, s, n < room ? n : room);
        }
        bool PutC(BYTE c) override { return Write(&c, 1, 1) == 1; }
    } out(nullptr, 0);
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(reader.EncodeExif(&out));
    EXPECT_STREQ(reader.GetLastError(), "Can't write exif : write error");
}
