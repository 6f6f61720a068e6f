// Format dispatch: probing, typed decodes, codecs not built, the encode entry
// points and their texts.
#include "image/picture.h"
#include "image/picture_codecs.h"
#include "image_test_util.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A format code without a codec in this build; 0 once every code has one.
DWORD UnbuiltFormat()
{
    for (DWORD type = PIC_FORMAT_COUNT - 1; type >= 1; --type)
        if (!PicFindCodec(type))
            return type;
    return 0;
}

std::vector<BYTE> SampleBmp()
{
    CPicture pic(5, 3, 8);
    FillRandom(pic, 21);
    return EncodeToBytes(pic, PIC_FORMAT_BMP);
}

TEST(Dispatch, ProbeFindsAFileWhereTheStreamStands)
{
    std::vector<BYTE> bmp = SampleBmp();
    std::vector<BYTE> data(7 + bmp.size(), 0xEE);
    std::copy(bmp.begin(), bmp.end(), data.begin() + 7);
    CPicMemFile file(data.data(), DWORD(data.size()));
    ASSERT_TRUE(file.Seek(7, SEEK_SET));
    CPicture pic;
    ASSERT_TRUE(pic.Decode(&file, 0)) << pic.GetLastError();
    EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_BMP));
    EXPECT_EQ(pic.GetWidth(), 5u);

    CPicture fromBuffer;
    ASSERT_TRUE(fromBuffer.Decode(data.data() + 7, DWORD(bmp.size()), 0));
    EXPECT_TRUE(SamePixels(pic, fromBuffer));
    CPicture withJunk;
    EXPECT_FALSE(withJunk.Decode(data.data(), DWORD(data.size()), 0)) << "the junk is not skipped";
}

TEST(Dispatch, GarbageGivesTheDispatcherTextAndRewinds)
{
    std::vector<BYTE> junk(300);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = BYTE(i * 7 + 1);
    CPicMemFile file(junk.data(), DWORD(junk.size()));
    ASSERT_TRUE(file.Seek(5, SEEK_SET));
    CPicture pic(3, 3, 24);
    EXPECT_FALSE(pic.Decode(&file, 0));
    EXPECT_STREQ(pic.GetLastError(), "Decode: Unknown or wrong format");
    EXPECT_EQ(file.Tell(), 5);
    EXPECT_TRUE(pic.IsValid()) << "the old picture stays";
    EXPECT_EQ(pic.GetWidth(), 3u);
}

TEST(Dispatch, TypedDecodesAndCodecsNotBuilt)
{
    std::vector<BYTE> bmp = SampleBmp();
    CPicMemFile file(bmp.data(), DWORD(bmp.size()));
    CPicture pic;
    // A code whose codec is not built: the dispatcher's own text, nothing read.
    if (DWORD unbuilt = UnbuiltFormat()) {
        EXPECT_FALSE(pic.Decode(&file, unbuilt));
        EXPECT_STREQ(pic.GetLastError(), "Decode: Unknown or wrong format");
        EXPECT_EQ(file.Tell(), 0);
    }
    EXPECT_FALSE(pic.Decode(&file, 16));
    EXPECT_STREQ(pic.GetLastError(), "Decode: Unknown or wrong format");
    EXPECT_EQ(file.Tell(), 0);

    // A typed failure keeps the codec's own text.
    std::vector<BYTE> junk(40, 'z');
    EXPECT_FALSE(pic.Decode(junk.data(), DWORD(junk.size()), PIC_FORMAT_BMP));
    EXPECT_STREQ(pic.GetLastError(), "Error reading BMP info");

    CPicture decoded(bmp.data(), DWORD(bmp.size()), PIC_FORMAT_BMP);
    EXPECT_TRUE(decoded.IsValid());
    CPicture none(static_cast<BYTE*>(nullptr), 0, 0);
    EXPECT_FALSE(none.IsValid());
    EXPECT_STREQ(none.GetLastError(), "null file handler");
}

TEST(Dispatch, CallerSettingsReachTheCodec)
{
    std::vector<BYTE> bmp = SampleBmp();
    CPicture pic;
    pic.SetEscape(-1);
    pic.SetCodecOption(42, PIC_FORMAT_BMP);
    ASSERT_TRUE(pic.Decode(bmp.data(), DWORD(bmp.size()), 0));
    EXPECT_FALSE(pic.IsValid());
    EXPECT_EQ(pic.GetWidth(), 5u);
    EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_BMP));
    EXPECT_EQ(pic.GetCodecOption(PIC_FORMAT_BMP), 42u);

    // ...but a transparency the picture had before is not the file's.
    const struct {
        DWORD type;
        DWORD bpp;
    } formats[] = { { PIC_FORMAT_BMP, 8 }, { PIC_FORMAT_TGA, 8 }, { PIC_FORMAT_PCX, 8 }, { PIC_FORMAT_WBMP, 1 },
        { PIC_FORMAT_PNG, 8 } };
    for (const auto& f : formats) {
        if (!PicFindCodec(f.type))
            continue;
        CPicture source(4, 3, f.bpp);
        FillRandom(source, 5);
        std::vector<BYTE> bytes = EncodeToBytes(source, f.type);
        ASSERT_FALSE(bytes.empty()) << f.type;
        CPicture target(2, 2, 8);
        target.SetTransIndex(3);
        target.AlphaPaletteEnable();
        ASSERT_TRUE(target.Decode(bytes.data(), DWORD(bytes.size()), f.type)) << f.type;
        EXPECT_EQ(target.GetTransIndex(), -1) << f.type;
        EXPECT_FALSE(target.AlphaPaletteIsEnabled()) << f.type;
    }
}

TEST(Dispatch, EncodeEntryPointsAndTheirTexts)
{
    CPicture pic(2, 1, 24);
    pic.SetPixelColor(0, 0, Rgb(1, 2, 3));
    pic.SetPixelColor(1, 0, Rgb(4, 5, 6));

    BYTE marker = 0;
    BYTE* buffer = &marker;
    LONG size = -1;
    EXPECT_FALSE(pic.Encode(buffer, size, PIC_FORMAT_BMP));
    EXPECT_STREQ(pic.GetLastError(), "the buffer must be empty");
    EXPECT_EQ(buffer, &marker);
    EXPECT_EQ(size, -1);

    buffer = nullptr;
    if (DWORD unbuilt = UnbuiltFormat()) {
        EXPECT_FALSE(pic.Encode(buffer, size, unbuilt));
        EXPECT_STREQ(pic.GetLastError(), "Encode: Unknown format");
        EXPECT_EQ(buffer, nullptr);
    }
    EXPECT_FALSE(pic.Encode(buffer, size, 16));
    EXPECT_STREQ(pic.GetLastError(), "Encode: Unknown format");
    EXPECT_FALSE(pic.Encode(buffer, size, 0));
    EXPECT_STREQ(pic.GetLastError(), "Encode: Unknown format");

    CPicMemFile out;
    ASSERT_TRUE(out.Open());
    CPicture* pages[] = { &pic, &pic };
    EXPECT_FALSE(pic.Encode(&out, pages, 2, PIC_FORMAT_JPG)); // JPEG has no pages
    EXPECT_STREQ(pic.GetLastError(), "Multipage Encode, Unsupported operation for this format");

    CPicture empty;
    EXPECT_FALSE(empty.Encode(&out, PIC_FORMAT_BMP));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    EXPECT_FALSE(pic.Encode(static_cast<CPicFile*>(nullptr), PIC_FORMAT_BMP));
    EXPECT_STREQ(pic.GetLastError(), "null file handler");

    ASSERT_TRUE(pic.Encode2RGBA(buffer, size));
    ASSERT_EQ(size, 8);
    const BYTE want[8] = { 1, 2, 3, 0, 4, 5, 6, 0 };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(buffer[i], want[i]) << i;
    CPicture::FreeMemory(buffer);
    buffer = &marker;
    EXPECT_FALSE(pic.Encode2RGBA(buffer, size));
    EXPECT_STREQ(pic.GetLastError(), "the buffer must be empty");
}

TEST(Dispatch, SaveAndLoadThroughFiles)
{
    const vtest::CTempFolder folder("veltran_dispatch");
    std::string path = folder.Str("test.bmp");
    CPicture pic(9, 4, 4);
    FillRandom(pic, 8);
    ASSERT_TRUE(pic.Save(path.c_str(), PIC_FORMAT_BMP)) << pic.GetLastError();

    CPicture typed;
    ASSERT_TRUE(typed.Load(path.c_str(), PIC_FORMAT_BMP));
    EXPECT_TRUE(SamePixels(pic, typed));
    // A wrong type: that attempt fails, the probe finds the bitmap.
    CPicture wrong;
    ASSERT_TRUE(wrong.Load(path.c_str(), PIC_FORMAT_PNG));
    EXPECT_TRUE(SamePixels(pic, wrong));
    CPicture constructed(path.c_str(), 0);
    EXPECT_TRUE(SamePixels(pic, constructed));

    // A file no codec reads: the typed attempt's text is the one kept.
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("just some text, not a picture", f);
    std::fclose(f);
    CPicture text;
    EXPECT_FALSE(text.Load(path.c_str(), PIC_FORMAT_BMP));
    EXPECT_STREQ(text.GetLastError(), "Error reading BMP info");
    EXPECT_FALSE(text.Load(path.c_str(), 0));
    EXPECT_STREQ(text.GetLastError(), "Decode: Unknown or wrong format");
    std::remove(path.c_str());

    CPicture missing;
    EXPECT_FALSE(missing.Load(path.c_str(), PIC_FORMAT_BMP));
    EXPECT_NE(std::string(missing.GetLastError()).find("test.bmp"), std::string::npos);
}

} // namespace
