// Hostile parameters for Filter, Median, Gamma and UnsharpMask on small
// pictures: a refusal must leave the picture exactly as it was, a success
// must keep its size and depth.
#include "image/picture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Reader {
    const uint8_t* p;
    size_t left;
    uint8_t Byte()
    {
        if (!left)
            return 0;
        --left;
        return *p++;
    }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(Byte()) << (8 * i);
        return v;
    }
    float Float()
    {
        uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof(f));
        return f;
    }
};

std::vector<BYTE> Image(const CPicture& pic)
{
    std::vector<BYTE> out(pic.GetDIB(), pic.GetDIB() + pic.GetSize());
    if (pic.AlphaIsValid())
        out.insert(out.end(), pic.AlphaGetPointer(0, 0), pic.AlphaGetPointer(0, 0) + pic.GetWidth() * pic.GetHeight());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = { data, size };
    int op = in.Byte() % 4;
    DWORD w = 1 + in.Byte() % 24, h = 1 + in.Byte() % 24;
    static const DWORD depths[] = { 1, 4, 8, 8, 24, 24 };
    int depthChoice = in.Byte() % 6;
    uint8_t flags = in.Byte();

    CPicture pic(w, h, depths[depthChoice]);
    if (!pic.IsValid())
        std::abort();
    if (depthChoice == 3)
        pic.SetGrayPalette();
    else
        for (DWORD i = 0; i < pic.GetNumColors(); ++i)
            pic.SetPaletteColor(BYTE(i), in.Byte(), in.Byte(), in.Byte());
    if (flags & 1) {
        RECT r;
        r.left = LONG(in.Byte() % w);
        r.right = LONG(in.Byte() % (w + 1));
        r.bottom = LONG(in.Byte() % h);
        r.top = LONG(in.Byte() % (h + 1));
        pic.SelectionAddRect(r);
    }
    if ((flags & 2) && pic.AlphaCreate())
        pic.AlphaSet(0, 0, in.Byte());
    if (flags & 4)
        pic.SetTransIndex(in.Byte());

    bool ok = false;
    std::vector<LONG> kernel;
    LONG filterSize = 0, divisor = 0, offset = 0;
    LONG medianSize = 0, threshold = 0;
    float gamma = 0, radius = 0, amount = 0;
    switch (op) {
    case 0:
        filterSize = LONG(int8_t(in.Byte()));
        divisor = LONG(in.U32());
        offset = LONG(in.U32());
        // A kernel of size x size weights only when the size is one Filter may
        // read; otherwise a single entry that it must not.
        kernel.resize(filterSize >= 1 && filterSize <= 49 ? size_t(filterSize * filterSize) : 1);
        for (LONG& k : kernel)
            k = LONG(in.U32());
        break;
    case 1:
        medianSize = (flags & 8) ? LONG(in.U32()) : LONG(in.Byte() % 52) - 1;
        break;
    case 2:
        gamma = in.Float();
        break;
    default:
        radius = (flags & 8) ? in.Float() : float(in.Byte()) / 16;
        amount = in.Float();
        threshold = LONG(in.U32());
        break;
    }
    // The rest of the input is pixel data.
    for (DWORD y = 0; y < h; ++y) {
        BYTE* row = pic.GetBits(y);
        for (DWORD i = 0; i < pic.GetEffWidth(); ++i)
            row[i] = in.Byte();
    }

    std::vector<BYTE> before = Image(pic);
    WORD bpp = pic.GetBpp();
    switch (op) {
    case 0:
        ok = pic.Filter((flags & 16) ? nullptr : kernel.data(), filterSize, divisor, offset);
        break;
    case 1:
        ok = pic.Median(medianSize);
        break;
    case 2:
        ok = pic.Gamma(gamma);
        break;
    default:
        ok = pic.UnsharpMask(radius, amount, int(threshold));
        break;
    }
    if (!pic.IsValid() || pic.GetWidth() != w || pic.GetHeight() != h || pic.GetBpp() != bpp)
        std::abort();
    if (!ok && Image(pic) != before)
        std::abort();
    return 0;
}
