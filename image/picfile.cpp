#include "image/picfile.h"

#include "image/checked_math.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// ---- CPicIOFile ------------------------------------------------------------

CPicIOFile::CPicIOFile(FILE* stream)
    : stream(stream)
    , ownsStream(stream == nullptr)
{
}

CPicIOFile::~CPicIOFile() { Close(); }

bool CPicIOFile::Open(const char* fileName, const char* mode)
{
    if (stream || !fileName || !mode)
        return false;
    stream = std::fopen(fileName, mode);
    if (!stream)
        return false;
    ownsStream = true;
    return true;
}

bool CPicIOFile::Close()
{
    if (!stream || !ownsStream)
        return true;
    int result = std::fclose(stream);
    stream = nullptr;
    return result == 0;
}

void CPicIOFile::Switch(int op)
{
    if (lastOp != 0 && lastOp != op)
        std::fseek(stream, 0, SEEK_CUR);
    lastOp = op;
}

size_t CPicIOFile::Read(void* buffer, size_t size, size_t count)
{
    if (!stream || !buffer)
        return 0;
    Switch(1);
    return std::fread(buffer, size, count, stream);
}

size_t CPicIOFile::Write(const void* buffer, size_t size, size_t count)
{
    if (!stream || !buffer)
        return 0;
    Switch(2);
    return std::fwrite(buffer, size, count, stream);
}

bool CPicIOFile::Seek(LONG offset, int origin)
{
    if (!stream || origin < SEEK_SET || origin > SEEK_END)
        return false;
    lastOp = 0;
    return std::fseek(stream, offset, origin) == 0;
}

// Positions beyond what a LONG holds are reported as an error (-1).
static LONG ClampPosition(long pos) { return (pos < 0 || pos > LONG(INT32_MAX)) ? -1 : LONG(pos); }

LONG CPicIOFile::Tell()
{
    if (!stream)
        return 0;
    return ClampPosition(std::ftell(stream));
}

LONG CPicIOFile::Size()
{
    if (!stream)
        return -1;
    long pos = std::ftell(stream);
    if (pos < 0)
        return -1;
    long size = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0)
        size = std::ftell(stream);
    std::fseek(stream, pos, SEEK_SET);
    lastOp = 0;
    return ClampPosition(size);
}

bool CPicIOFile::Flush() { return stream && std::fflush(stream) == 0; }

bool CPicIOFile::Eof() { return !stream || std::feof(stream) != 0; }

LONG CPicIOFile::Error()
{
    if (!stream)
        return -1;
    return std::ferror(stream);
}

LONG CPicIOFile::GetC()
{
    if (!stream)
        return -1;
    Switch(1);
    return std::getc(stream);
}

// ---- CPicMemFile -----------------------------------------------------------

CPicMemFile::CPicMemFile(BYTE* buffer, DWORD size)
    : buffer(buffer)
    , length(0)
    , ownsBuffer(buffer == nullptr)
    , position(0)
    , capacity(0)
{
    if (buffer) {
        // Positions are LONGs: a larger caller's buffer is seen up to 2^31 - 1 bytes.
        LONG n = size > kPicMaxBytes ? LONG(kPicMaxBytes) : LONG(size);
        length = capacity = n;
    }
}

CPicMemFile::CPicMemFile(const CPicMemFile& other)
    : CPicFile()
    , buffer(other.buffer)
    , length(other.length)
    , ownsBuffer(false)
    , position(other.position)
    , capacity(other.capacity)
{
}

CPicMemFile& CPicMemFile::operator=(const CPicMemFile& other)
{
    if (this != &other) {
        Close();
        buffer = other.buffer;
        length = other.length;
        ownsBuffer = false;
        position = other.position;
        capacity = other.capacity;
    }
    return *this;
}

CPicMemFile::~CPicMemFile() { Close(); }

void CPicMemFile::Free() { Close(); }

bool CPicMemFile::Open()
{
    if (buffer)
        return false;
    length = capacity = position = 0;
    buffer = static_cast<BYTE*>(std::malloc(1));
    ownsBuffer = true;
    return buffer != nullptr;
}

bool CPicMemFile::Close()
{
    if (buffer && ownsBuffer) {
        std::free(buffer);
        buffer = nullptr;
        length = capacity = position = 0;
    }
    return true;
}

BYTE* CPicMemFile::GetBuffer(bool detach)
{
    ownsBuffer = !detach;
    return buffer;
}

// Grows to at least newLength: 4096-byte steps for small files, doubling for
// large ones so that a long run of small writes stays linear.
bool CPicMemFile::Alloc(size_t newLength)
{
    if (newLength <= size_t(capacity))
        return true;
    if (newLength > kPicMaxBytes)
        return false;
    uint64_t stepped = (uint64_t(newLength) & ~uint64_t(4095)) + 4096;
    uint64_t doubled = uint64_t(capacity) * 2;
    uint64_t wanted = stepped > doubled ? stepped : doubled;
    if (wanted > kPicMaxBytes)
        wanted = kPicMaxBytes;

    BYTE* grown;
    if (buffer && ownsBuffer) {
        grown = static_cast<BYTE*>(std::realloc(buffer, size_t(wanted)));
        if (!grown)
            return false;
    } else {
        // A borrowed buffer is never resized: its bytes move into our own block.
        grown = static_cast<BYTE*>(std::malloc(size_t(wanted)));
        if (!grown)
            return false;
        if (buffer && length > 0)
            std::memcpy(grown, buffer, size_t(length));
    }
    buffer = grown;
    capacity = LONG(wanted);
    ownsBuffer = true;
    return true;
}

bool CPicMemFile::Reserve(size_t end)
{
    if (!Alloc(end))
        return false;
    // Bytes between the old end and a position seeked past it read as zero.
    if (position > length)
        std::memset(buffer + length, 0, size_t(position - length));
    return true;
}

size_t CPicMemFile::Read(void* dest, size_t size, size_t count)
{
    if (!dest || !buffer || position >= length)
        return 0;
    uint64_t wanted;
    if (!PicCheckedMul(size, count, wanted))
        wanted = UINT64_MAX;
    if (wanted == 0)
        return 0;
    uint64_t left = uint64_t(length - position);
    size_t n = size_t(wanted < left ? wanted : left);
    std::memcpy(dest, buffer + position, n);
    position += LONG(n);
    return n / size;
}

size_t CPicMemFile::Write(const void* src, size_t size, size_t count)
{
    if (!src || !buffer)
        return 0;
    size_t n, end;
    if (!PicCheckedMulSize(size, count, n) || n == 0)
        return 0;
    if (!PicCheckedAddSize(uint64_t(position), n, end))
        return 0;
    if (!Reserve(end))
        return 0;
    std::memcpy(buffer + position, src, n);
    position = LONG(end);
    if (position > length)
        length = position;
    return count;
}

bool CPicMemFile::Seek(LONG offset, int origin)
{
    if (!buffer)
        return false;
    int64_t base;
    switch (origin) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = position;
        break;
    case SEEK_END:
        base = length;
        break;
    default:
        return false;
    }
    int64_t target = base + offset;
    if (target < 0)
        target = 0;
    if (uint64_t(target) > kPicMaxBytes)
        return false;
    position = LONG(target);
    return true;
}

LONG CPicMemFile::Tell() { return buffer ? position : -1; }

LONG CPicMemFile::Size() { return buffer ? length : -1; }

bool CPicMemFile::Flush() { return buffer != nullptr; }

bool CPicMemFile::Eof() { return !buffer || position >= length; }

LONG CPicMemFile::Error()
{
    if (!buffer)
        return -1;
    return position > length ? 1 : 0;
}

LONG CPicMemFile::GetC()
{
    if (Eof())
        return -1;
    return buffer[position++];
}
