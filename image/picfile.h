// Stream interface the codecs read and write through: a stdio stream or a
// block of memory behind the same virtual operations.
#pragma once

#include "afx/wintypes.h"
#include "image/image_api.h"

#include <cstddef>
#include <cstdio>

class VELTRAN_IMAGE_API CPicFile {
public:
    virtual ~CPicFile() { }
    virtual bool Close() = 0;
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    virtual bool Seek(LONG offset, int origin) = 0;
    virtual LONG Tell() = 0;
    virtual LONG Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual LONG Error() = 0;
    virtual bool PutC(BYTE c) { return Write(&c, 1, 1) == 1; }
    virtual LONG GetC() = 0;
};

class VELTRAN_IMAGE_API CPicIOFile : public CPicFile {
public:
    explicit CPicIOFile(FILE* stream = nullptr);
    CPicIOFile(const CPicIOFile& other) = default;
    CPicIOFile& operator=(const CPicIOFile& other) = default;
    ~CPicIOFile() override;

    bool Open(const char* fileName, const char* mode);
    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(LONG offset, int origin) override;
    LONG Tell() override;
    LONG Size() override;
    bool Flush() override;
    bool Eof() override;
    LONG Error() override;
    LONG GetC() override;

protected:
    // stdio wants a seek between a write and a following read (and back).
    void Switch(int op);

    FILE* stream;
    bool ownsStream;
    int lastOp = 0; // 0 none or seek, 1 read, 2 write
};

class VELTRAN_IMAGE_API CPicMemFile : public CPicFile {
public:
    // A caller's buffer is read and written in place and never freed or
    // resized; a write that outgrows it moves the data into an owned copy.
    explicit CPicMemFile(BYTE* buffer = nullptr, DWORD size = 0);
    // A copy borrows the buffer: only the original frees it.
    CPicMemFile(const CPicMemFile& other);
    CPicMemFile& operator=(const CPicMemFile& other);
    ~CPicMemFile() override;

    bool Open();
    bool Close() override;
    BYTE* GetBuffer(bool detach = true);
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(LONG offset, int origin) override;
    LONG Tell() override;
    LONG Size() override;
    bool Flush() override;
    bool Eof() override;
    LONG Error() override;
    LONG GetC() override;

    LONG GetCapacity() const { return capacity; }

protected:
    // Frees an owned buffer, as Close does.
    void Free();
    bool Alloc(size_t newLength);
    bool Reserve(size_t end);

    BYTE* buffer;
    LONG length;
    bool ownsBuffer;
    LONG position;
    LONG capacity;
};
