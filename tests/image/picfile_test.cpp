// The memory file against a std::vector model, the disk file against the
// memory file, and the boundary cases of both.
#include "image/picfile.h"
#include "image/picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

// What a memory file must behave like: a byte vector with a position that may
// lie past the end; writing there fills the gap with zeros.
struct FileModel {
    std::vector<BYTE> data;
    int64_t pos = 0;

    size_t Read(BYTE* out, size_t n)
    {
        if (pos >= int64_t(data.size()))
            return 0;
        size_t k = std::min(n, data.size() - size_t(pos));
        std::memcpy(out, data.data() + pos, k);
        pos += int64_t(k);
        return k;
    }
    void Write(const BYTE* in, size_t n)
    {
        if (size_t(pos) + n > data.size())
            data.resize(size_t(pos) + n, 0);
        std::memcpy(data.data() + pos, in, n);
        pos += int64_t(n);
    }
    void Seek(int64_t offset, int origin)
    {
        int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? pos : int64_t(data.size());
        pos = std::max<int64_t>(0, base + offset);
    }
};

// Runs one random operation on the file and the model and compares them.
// With allowNegative false, seeks never aim before the start (stdio refuses
// those while the memory file clamps them).
void RandomStep(std::mt19937& rng, CPicFile& file, FileModel& model, bool allowNegative)
{
    switch (rng() % 6) {
    case 0: {
        std::vector<BYTE> bytes(1 + rng() % 300);
        for (BYTE& b : bytes)
            b = BYTE(rng());
        ASSERT_EQ(file.Write(bytes.data(), 1, bytes.size()), bytes.size());
        model.Write(bytes.data(), bytes.size());
        break;
    }
    case 1: {
        size_t n = rng() % 400;
        std::vector<BYTE> got(n + 1), want(n + 1);
        size_t k = file.Read(got.data(), 1, n);
        ASSERT_EQ(k, model.Read(want.data(), n));
        ASSERT_EQ(0, std::memcmp(got.data(), want.data(), k));
        break;
    }
    case 2: {
        int origin = int(rng() % 3);
        LONG offset = LONG(rng() % 600) - (allowNegative ? 300 : 0);
        int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? model.pos : int64_t(model.data.size());
        if (!allowNegative && base + offset < 0)
            offset = 0;
        ASSERT_TRUE(file.Seek(offset, origin));
        model.Seek(offset, origin);
        break;
    }
    case 3: {
        BYTE c = BYTE(rng());
        ASSERT_TRUE(file.PutC(c));
        model.Write(&c, 1);
        break;
    }
    case 4: {
        BYTE want;
        LONG expected = model.Read(&want, 1) ? LONG(want) : -1;
        ASSERT_EQ(file.GetC(), expected);
        break;
    }
    default: {
        size_t elem = 1 + rng() % 7, count = rng() % 20;
        std::vector<BYTE> got(elem * count + 1), want(elem * count + 1);
        size_t whole = file.Read(got.data(), elem, count);
        size_t bytes = model.Read(want.data(), elem * count);
        ASSERT_EQ(whole, bytes / elem);
        ASSERT_EQ(0, std::memcmp(got.data(), want.data(), bytes));
        break;
    }
    }
    ASSERT_EQ(file.Tell(), model.pos);
    ASSERT_EQ(file.Size(), LONG(model.data.size()));
}

TEST(MemFile, MatchesVectorModelOverRandomOperations)
{
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        CPicMemFile file;
        ASSERT_TRUE(file.Open());
        FileModel model;
        for (int step = 0; step < 400; ++step) {
            RandomStep(rng, file, model, true);
            if (HasFatalFailure())
                return;
            ASSERT_EQ(file.Eof(), model.pos >= int64_t(model.data.size()));
            ASSERT_EQ(file.Error(), model.pos > int64_t(model.data.size()) ? 1 : 0);
        }
        BYTE* buffer = file.GetBuffer(true);
        ASSERT_EQ(0, std::memcmp(buffer, model.data.data(), model.data.size()));
        CPicture::FreeMemory(buffer);
    }
}

TEST(MemFile, DiskFileGivesTheSameBytes)
{
    for (uint32_t seed = 100; seed < 110; ++seed) {
        SCOPED_TRACE(seed);
        FILE* stream = std::tmpfile();
        ASSERT_NE(stream, nullptr);
        CPicIOFile disk(stream);
        CPicMemFile mem;
        ASSERT_TRUE(mem.Open());
        FileModel diskModel, memModel;
        std::mt19937 rngDisk(seed), rngMem(seed);
        for (int step = 0; step < 300; ++step) {
            RandomStep(rngDisk, disk, diskModel, false);
            RandomStep(rngMem, mem, memModel, false);
            if (HasFatalFailure())
                break;
        }
        ASSERT_EQ(disk.Size(), mem.Size());
        std::vector<BYTE> fromDisk(size_t(disk.Size()));
        ASSERT_TRUE(disk.Seek(0, SEEK_SET));
        ASSERT_EQ(disk.Read(fromDisk.data(), 1, fromDisk.size()), fromDisk.size());
        ASSERT_EQ(0, std::memcmp(fromDisk.data(), mem.GetBuffer(false), fromDisk.size()));
        std::fclose(stream);
    }
}

TEST(MemFile, ReadsCountWholeElements)
{
    BYTE data[10] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };
    CPicMemFile file(data, sizeof(data));
    BYTE out[12] = {};
    EXPECT_EQ(file.Read(out, 3, 4), 3u);
    EXPECT_EQ(out[9], 10);
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.GetC(), -1);
    EXPECT_EQ(file.Read(out, 1, 1), 0u);
}

TEST(MemFile, SeekClampsAtStartAndMayPassTheEnd)
{
    BYTE data[10] = {};
    CPicMemFile file(data, sizeof(data));
    EXPECT_TRUE(file.Seek(-5, SEEK_SET));
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_TRUE(file.Seek(100, SEEK_END));
    EXPECT_EQ(file.Tell(), 110);
    EXPECT_EQ(file.Error(), 1);
    EXPECT_FALSE(file.Seek(0, 3));
    EXPECT_EQ(file.Tell(), 110);
}

TEST(MemFile, PositionArithmeticNeverOverflows)
{
    CPicMemFile file;
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Seek(INT32_MAX, SEEK_SET));
    EXPECT_FALSE(file.Seek(1, SEEK_CUR));
    EXPECT_EQ(file.Tell(), INT32_MAX);
    BYTE b = 7;
    EXPECT_EQ(file.Write(&b, 1, 1), 0u);
    EXPECT_FALSE(file.PutC(b));
    EXPECT_EQ(file.Size(), 0);
    // A product of element size and count past 2^32 is refused, not wrapped.
    ASSERT_TRUE(file.Seek(0, SEEK_SET));
    EXPECT_EQ(file.Write(&b, size_t(1) << 16, (size_t(1) << 16) + 1), 0u);
    EXPECT_EQ(file.Size(), 0);
}

TEST(MemFile, GrowsInPageStepsThenGeometrically)
{
    CPicMemFile file;
    ASSERT_TRUE(file.Open());
    BYTE b = 1;
    ASSERT_TRUE(file.PutC(b));
    EXPECT_EQ(file.GetCapacity(), 4096);
    EXPECT_EQ(file.Size(), 1);
    std::vector<BYTE> block(4096, 2);
    ASSERT_EQ(file.Write(block.data(), 1, block.size()), block.size());
    EXPECT_EQ(file.Size(), 4097);
    EXPECT_EQ(file.GetCapacity(), 8192);

    int growths = 0;
    LONG capacity = file.GetCapacity();
    for (int i = 0; i < (1 << 20); ++i) {
        ASSERT_TRUE(file.PutC(b));
        if (file.GetCapacity() != capacity) {
            ++growths;
            capacity = file.GetCapacity();
        }
    }
    EXPECT_LE(growths, 10); // 4096-byte steps would take 256
}

TEST(MemFile, GapAfterSeekingPastTheEndReadsAsZero)
{
    CPicMemFile file;
    ASSERT_TRUE(file.Open());
    std::vector<BYTE> ones(3000, 0xFF);
    ASSERT_EQ(file.Write(ones.data(), 1, ones.size()), ones.size());
    // The region past the end holds whatever the allocator left there.
    ASSERT_TRUE(file.Seek(6000, SEEK_SET));
    ASSERT_TRUE(file.PutC(9));
    std::vector<BYTE> all(6001);
    ASSERT_TRUE(file.Seek(0, SEEK_SET));
    ASSERT_EQ(file.Read(all.data(), 1, all.size()), all.size());
    for (size_t i = 3000; i < 6000; ++i)
        ASSERT_EQ(all[i], 0) << i;
    EXPECT_EQ(all[6000], 9);
}

TEST(MemFile, BorrowedBufferIsNeverResizedOrFreed)
{
    // Not from malloc: resizing or freeing it would be caught by the sanitizer.
    std::vector<BYTE> caller(16, 0xAA);
    {
        CPicMemFile file(caller.data(), DWORD(caller.size()));
        ASSERT_TRUE(file.Seek(4, SEEK_SET));
        ASSERT_TRUE(file.PutC(1)); // inside: written in place
        EXPECT_EQ(caller[4], 1);
        std::vector<BYTE> more(100, 2);
        ASSERT_TRUE(file.Seek(10, SEEK_SET));
        ASSERT_EQ(file.Write(more.data(), 1, more.size()), more.size());
        BYTE* now = file.GetBuffer(false);
        EXPECT_NE(now, caller.data());
        EXPECT_EQ(now[4], 1);
        EXPECT_EQ(now[9], 0xAA);
        EXPECT_EQ(now[10], 2);
    }
    EXPECT_EQ(caller[10], 0xAA); // the grown copy took the write
}

TEST(MemFile, CopiesBorrowAndOnlyTheOwnerFrees)
{
    CPicMemFile owner;
    ASSERT_TRUE(owner.Open());
    ASSERT_TRUE(owner.PutC(5));
    {
        CPicMemFile copy(owner);
        ASSERT_TRUE(copy.Seek(0, SEEK_SET));
        EXPECT_EQ(copy.GetC(), 5);
    } // the copy's destructor must not free the owner's buffer
    ASSERT_TRUE(owner.Seek(0, SEEK_SET));
    EXPECT_EQ(owner.GetC(), 5);
}

// Reaches the protected Free.
struct CMemFileProbe : CPicMemFile {
    using CPicMemFile::CPicMemFile;
    using CPicMemFile::Free;
};

TEST(MemFile, FreeReleasesOnlyAnOwnedBuffer)
{
    CMemFileProbe owned;
    ASSERT_TRUE(owned.Open());
    ASSERT_TRUE(owned.PutC(5));
    owned.Free();
    EXPECT_EQ(owned.Size(), -1);
    EXPECT_TRUE(owned.Open()) << "free again for a new buffer";

    std::vector<BYTE> caller(8, 0xAA);
    CMemFileProbe borrowed(caller.data(), DWORD(caller.size()));
    borrowed.Free();
    EXPECT_EQ(borrowed.Size(), 8);
    EXPECT_EQ(borrowed.GetC(), 0xAA);
}

TEST(IOFile, CallerStreamStaysOpenAndSizeKeepsPosition)
{
    FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    {
        CPicIOFile file(stream);
        EXPECT_FALSE(file.Open("x", "rb")); // a stream is already held
        ASSERT_EQ(file.Write("abcdef", 1, 6), 6u);
        ASSERT_TRUE(file.Seek(2, SEEK_SET));
        EXPECT_EQ(file.Size(), 6);
        EXPECT_EQ(file.Tell(), 2);
        EXPECT_EQ(file.GetC(), 'c');
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(std::fputc('z', stream), 'z'); // still open
    std::fclose(stream);
}

} // namespace
