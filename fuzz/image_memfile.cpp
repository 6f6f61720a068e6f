// The memory file driven by an operation script, checked at every step
// against a plain byte vector.
#include "image/picfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Script {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool More() const { return at < size; }
    uint32_t Next()
    {
        return at < size ? data[at++] : 0;
    }
    uint32_t Next16() { return Next() | (Next() << 8); }
};

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Script s { data, size };
    std::vector<BYTE> model;
    int64_t pos = 0;

    // Start over a borrowed buffer or from Open.
    std::vector<BYTE> borrowed;
    CPicMemFile* file;
    if (s.Next() & 1) {
        borrowed.assign(s.Next() + 1, 0x5A);
        model = borrowed;
        file = new CPicMemFile(borrowed.data(), DWORD(borrowed.size()));
    } else {
        file = new CPicMemFile();
        Check(file->Open());
    }

    std::vector<BYTE> scratch(70000);
    while (s.More()) {
        switch (s.Next() % 6) {
        case 0: { // write
            size_t n = s.Next16() % 5000 + 1;
            for (size_t i = 0; i < n; ++i)
                scratch[i] = BYTE(i * 13 + pos);
            Check(file->Write(scratch.data(), 1, n) == n);
            if (size_t(pos) + n > model.size())
                model.resize(size_t(pos) + n, 0);
            std::memcpy(model.data() + pos, scratch.data(), n);
            pos += int64_t(n);
            break;
        }
        case 1: { // read
            size_t elem = s.Next() % 9 + 1, count = s.Next16() % 7000;
            size_t got = file->Read(scratch.data(), elem, count);
            size_t avail = pos < int64_t(model.size()) ? model.size() - size_t(pos) : 0;
            size_t bytes = std::min(avail, elem * count);
            Check(got == bytes / elem);
            Check(bytes == 0 || std::memcmp(scratch.data(), model.data() + pos, bytes) == 0);
            pos += int64_t(bytes);
            break;
        }
        case 2: { // seek
            int origin = int(s.Next() % 4);
            LONG offset = LONG(int16_t(s.Next16())) * LONG(s.Next() % 4 + 1);
            bool ok = file->Seek(offset, origin);
            Check(ok == (origin < 3));
            if (ok) {
                int64_t base = origin == 0 ? 0 : origin == 1 ? pos : int64_t(model.size());
                pos = std::max<int64_t>(0, base + offset);
            }
            break;
        }
        case 3: { // putc
            BYTE c = BYTE(s.Next());
            Check(file->PutC(c));
            if (size_t(pos) + 1 > model.size())
                model.resize(size_t(pos) + 1, 0);
            model[size_t(pos)] = c;
            ++pos;
            break;
        }
        case 4: { // getc
            LONG c = file->GetC();
            if (pos < int64_t(model.size()))
                Check(c == model[size_t(pos++)]);
            else
                Check(c == -1);
            break;
        }
        default: // state
            Check(file->Eof() == (pos >= int64_t(model.size())));
            Check(file->Error() == (pos > int64_t(model.size()) ? 1 : 0));
            break;
        }
        Check(file->Tell() == LONG(pos));
        Check(file->Size() == LONG(model.size()));
        if (model.size() > 4000000)
            break;
    }
    Check(file->Seek(0, SEEK_SET));
    std::vector<BYTE> all(model.size() + 1);
    Check(file->Read(all.data(), 1, model.size()) == model.size());
    Check(model.empty() || std::memcmp(all.data(), model.data(), model.size()) == 0);
    delete file;
    return 0;
}
