// PNG files written and read by libpng itself: the writer gives every colour
// type, depth, interlace and chunk combination; the readers are the reference.
#pragma once

#include "afx/wintypes.h"

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <png.h>

namespace pngtest {

struct PngCase {
    png_uint_32 width = 13;
    png_uint_32 height = 9;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlace = false;
    std::vector<png_color> palette;
    std::vector<png_byte> transAlpha; // palette tRNS
    bool hasTransColor = false; // grey or colour tRNS
    png_color_16 transColor {};
    bool hasBackground = false;
    png_color_16 background {};
    bool hasPhys = false;
    png_uint_32 xRes = 0, yRes = 0;
    int unit = 0;
};

inline int Channels(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    default:
        return 4;
    }
}

inline void Discard(png_structp, png_const_charp) { }

inline void ErrorJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

inline void AppendData(png_structp png, png_bytep data, size_t n)
{
    auto* out = static_cast<std::vector<BYTE>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

inline void NoFlush(png_structp) { }

// samples: width x height x channels values, rows top-down, each below 2^bitDepth.
inline bool WriteInto(const PngCase& s, const std::vector<uint16_t>& samples, std::vector<BYTE>& out,
    std::vector<BYTE>& rowBuffer, png_structp& png, png_infop& info)
{
    png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, Discard);
    info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendData, NoFlush);
    png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colorType,
        s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), int(s.palette.size()));
    if (!s.transAlpha.empty())
        png_set_tRNS(png, info, s.transAlpha.data(), int(s.transAlpha.size()), nullptr);
    if (s.hasTransColor)
        png_set_tRNS(png, info, nullptr, 1, &s.transColor);
    if (s.hasBackground)
        png_set_bKGD(png, info, &s.background);
    if (s.hasPhys)
        png_set_pHYs(png, info, s.xRes, s.yRes, s.unit);
    png_write_info(png, info);
    const int ch = Channels(s.colorType);
    const size_t rowBytes = (size_t(s.width) * ch * s.bitDepth + 7) / 8;
    rowBuffer.assign(rowBytes, 0);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < s.height; ++y) {
            std::fill(rowBuffer.begin(), rowBuffer.end(), 0);
            for (png_uint_32 i = 0; i < s.width * ch; ++i) {
                uint16_t v = samples[size_t(y) * s.width * ch + i];
                if (s.bitDepth == 16) {
                    rowBuffer[i * 2] = BYTE(v >> 8);
                    rowBuffer[i * 2 + 1] = BYTE(v);
                } else if (s.bitDepth == 8) {
                    rowBuffer[i] = BYTE(v);
                } else {
                    size_t bit = size_t(i) * s.bitDepth;
                    rowBuffer[bit / 8] |= BYTE(v << (8 - s.bitDepth - bit % 8));
                }
            }
            png_write_row(png, rowBuffer.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

inline std::vector<BYTE> WritePng(const PngCase& s, const std::vector<uint16_t>& samples)
{
    std::vector<BYTE> out, row;
    png_structp png = nullptr;
    png_infop info = nullptr;
    if (!WriteInto(s, samples, out, row, png, info))
        out.clear();
    return out;
}

// libpng's simplified reader: 8-bit rows top-down in the asked format.
struct Simple {
    bool ok = false;
    png_uint_32 width = 0, height = 0;
    std::vector<BYTE> pixels;
    std::string error;
};

inline Simple ReadSimple(const std::vector<BYTE>& file, png_uint_32 format)
{
    Simple r;
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        r.error = image.message;
        return r;
    }
    image.format = format;
    r.width = image.width;
    r.height = image.height;
    r.pixels.resize(PNG_IMAGE_SIZE(image));
    r.ok = png_image_finish_read(&image, nullptr, r.pixels.data(), 0, nullptr) != 0;
    if (!r.ok)
        r.error = image.message;
    png_image_free(&image);
    return r;
}

struct Chunks {
    bool ok = false;
    int colorType = -1, bitDepth = 0, interlace = -1;
    int paletteEntries = 0;
    int transEntries = 0;
    std::vector<BYTE> transAlpha;
    bool hasTransColor = false;
    bool hasBackground = false;
    png_color_16 background {};
    png_uint_32 xRes = 0, yRes = 0;
    int unit = -1;
};

struct MemoryReader {
    const std::vector<BYTE>* data;
    size_t at;
};

inline void ReadMemory(png_structp png, png_bytep out, size_t n)
{
    auto* m = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (m->at + n > m->data->size())
        png_error(png, "short");
    std::memcpy(out, m->data->data() + m->at, n);
    m->at += n;
}

inline bool ChunksInto(const std::vector<BYTE>& file, Chunks& c, MemoryReader& m, png_structp& png, png_infop& info)
{
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, Discard);
    info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &m, ReadMemory);
    png_read_info(png, info);
    c.colorType = png_get_color_type(png, info);
    c.bitDepth = png_get_bit_depth(png, info);
    c.interlace = png_get_interlace_type(png, info);
    png_colorp pal;
    int n = 0;
    if (png_get_PLTE(png, info, &pal, &n))
        c.paletteEntries = n;
    png_bytep alpha = nullptr;
    png_color_16p tc = nullptr;
    int t = 0;
    if (png_get_tRNS(png, info, &alpha, &t, &tc)) {
        c.transEntries = t;
        if (c.colorType == PNG_COLOR_TYPE_PALETTE && alpha)
            c.transAlpha.assign(alpha, alpha + t);
        else
            c.hasTransColor = true;
    }
    png_color_16p bg = nullptr;
    if (png_get_bKGD(png, info, &bg) && bg) {
        c.hasBackground = true;
        c.background = *bg;
    }
    png_get_pHYs(png, info, &c.xRes, &c.yRes, &c.unit);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

inline Chunks ReadChunks(const std::vector<BYTE>& file)
{
    Chunks c;
    MemoryReader m { &file, 0 };
    png_structp png = nullptr;
    png_infop info = nullptr;
    c.ok = ChunksInto(file, c, m, png, info);
    return c;
}

} // namespace pngtest
