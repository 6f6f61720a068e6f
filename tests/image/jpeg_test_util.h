// JPEG streams made and read by libjpeg itself, the reference the codec is
// held against, and EXIF blocks built by hand.
#pragma once

#include "afx/wintypes.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace jpegtest {

struct Raster {
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<BYTE> pixels; // rows top-down, components interleaved
    int colors = 0; // quantised: colormap entries, rows in colormap
    std::vector<BYTE> colormap[3];
    bool ok = false;
    std::string error;
};

struct ErrorJump {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

inline void ErrorExit(j_common_ptr cinfo)
{
    ErrorJump* e = reinterpret_cast<ErrorJump*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->text);
    longjmp(e->jump, 1);
}

inline void Quiet(j_common_ptr) { }

// A smooth picture with texture: enough detail for every block to carry AC data.
inline std::vector<BYTE> PhotoLike(int width, int height, int components, uint32_t seed = 1)
{
    std::vector<BYTE> px(size_t(width) * height * components);
    uint32_t s = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) {
                s = s * 1103515245u + 12345u;
                int v = (x * (c + 1) * 3 + y * (3 - c % 3) * 2) % 256;
                v = (v + int((s >> 16) & 15)) & 255;
                px[(size_t(y) * width + x) * components + c] = BYTE(v);
            }
    return px;
}

struct EncodeOptions {
    J_COLOR_SPACE inSpace = JCS_RGB;
    int components = 3;
    J_COLOR_SPACE jpegSpace = JCS_UNKNOWN; // JCS_UNKNOWN: the library's default for inSpace
    bool progressive = false;
    int quality = 85;
    int densityUnit = 0;
    int xDensity = 1;
    int yDensity = 1;
    bool jfif = true;
    std::vector<std::vector<BYTE>> app1; // payloads written as APP1 markers
    std::string comment;
    const jpeg_scan_info* scans = nullptr;
    int scanCount = 0;
};

inline bool EncodeInto(const std::vector<BYTE>& px, int width, int height, const EncodeOptions& opts,
    unsigned char*& mem, unsigned long& size, ErrorJump& err, jpeg_compress_struct& cinfo)
{
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = opts.components;
    cinfo.in_color_space = opts.inSpace;
    jpeg_set_defaults(&cinfo);
    if (opts.jpegSpace != JCS_UNKNOWN)
        jpeg_set_colorspace(&cinfo, opts.jpegSpace);
    jpeg_set_quality(&cinfo, opts.quality, TRUE);
    if (opts.progressive)
        jpeg_simple_progression(&cinfo);
    if (opts.scans) {
        cinfo.scan_info = opts.scans;
        cinfo.num_scans = opts.scanCount;
    }
    cinfo.write_JFIF_header = opts.jfif ? TRUE : FALSE;
    cinfo.density_unit = UINT8(opts.densityUnit);
    cinfo.X_density = UINT16(opts.xDensity);
    cinfo.Y_density = UINT16(opts.yDensity);
    jpeg_start_compress(&cinfo, TRUE);
    for (const auto& a : opts.app1)
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, a.data(), unsigned(a.size()));
    if (!opts.comment.empty())
        jpeg_write_marker(
            &cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(opts.comment.data()), unsigned(opts.comment.size()));
    const size_t stride = size_t(width) * opts.components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&px[cinfo.next_scanline * stride]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

inline std::vector<BYTE> MakeJpeg(const std::vector<BYTE>& px, int width, int height, const EncodeOptions& opts = {})
{
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    ErrorJump err;
    jpeg_compress_struct cinfo;
    std::vector<BYTE> out;
    if (EncodeInto(px, width, height, opts, mem, size, err, cinfo))
        out.assign(mem, mem + size);
    std::free(mem);
    return out;
}

struct DecodeOptions {
    J_COLOR_SPACE outSpace = JCS_UNKNOWN; // JCS_UNKNOWN: the library's default
    unsigned scaleDenom = 1;
    bool quantize = false;
    int colors = 256;
    bool twoPass = true;
};

inline bool DecodeInto(const std::vector<BYTE>& jpeg, const DecodeOptions& opts, Raster& r, ErrorJump& err,
    jpeg_decompress_struct& cinfo)
{
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), (unsigned long)jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    if (opts.outSpace != JCS_UNKNOWN)
        cinfo.out_color_space = opts.outSpace;
    cinfo.scale_num = 1;
    cinfo.scale_denom = opts.scaleDenom;
    if (opts.quantize) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = opts.colors;
        cinfo.two_pass_quantize = opts.twoPass ? TRUE : FALSE;
    }
    jpeg_start_decompress(&cinfo);
    r.width = int(cinfo.output_width);
    r.height = int(cinfo.output_height);
    r.components = cinfo.output_components;
    const size_t stride = size_t(r.width) * r.components;
    r.pixels.resize(stride * r.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &r.pixels[cinfo.output_scanline * stride];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    if (opts.quantize) {
        r.colors = cinfo.actual_number_of_colors;
        for (int c = 0; c < cinfo.out_color_components && c < 3; ++c)
            r.colormap[c].assign(cinfo.colormap[c], cinfo.colormap[c] + r.colors);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

inline Raster BareDecode(const std::vector<BYTE>& jpeg, const DecodeOptions& opts = {})
{
    Raster r;
    ErrorJump err;
    jpeg_decompress_struct cinfo;
    r.ok = DecodeInto(jpeg, opts, r, err, cinfo);
    if (!r.ok)
        r.error = err.text;
    return r;
}

struct HeaderInfo {
    bool ok = false;
    int components = 0;
    J_COLOR_SPACE space = JCS_UNKNOWN;
    bool progressive = false;
    int densityUnit = -1;
    int xDensity = 0;
    int yDensity = 0;
    bool jfif = false;
    int quant0 = 0; // first entry of the first quantisation table
};

inline bool HeaderInto(const std::vector<BYTE>& jpeg, HeaderInfo& h, ErrorJump& err, jpeg_decompress_struct& cinfo)
{
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), (unsigned long)jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    h.components = cinfo.num_components;
    h.space = cinfo.jpeg_color_space;
    h.progressive = cinfo.progressive_mode != 0;
    h.jfif = cinfo.saw_JFIF_marker != 0;
    h.densityUnit = cinfo.density_unit;
    h.xDensity = cinfo.X_density;
    h.yDensity = cinfo.Y_density;
    h.quant0 = cinfo.quant_tbl_ptrs[0] ? cinfo.quant_tbl_ptrs[0]->quantval[0] : 0;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

inline HeaderInfo ReadHeader(const std::vector<BYTE>& jpeg)
{
    HeaderInfo h;
    ErrorJump err;
    jpeg_decompress_struct cinfo;
    h.ok = HeaderInto(jpeg, h, err, cinfo);
    return h;
}

// ---- EXIF blocks ----------------------------------------------------------------

struct ExifEntry {
    uint16_t tag;
    uint16_t format;
    uint32_t count;
    std::vector<BYTE> value; // raw bytes in the block's order
    int linkTo = -1; // >= 0: the value is the offset of that directory
};

struct ExifDir {
    std::vector<ExifEntry> entries;
    int next = -1; // directory the next-directory link points at
    bool omitLink = false; // the block ends right after the entries
};

class ExifBuilder {
public:
    explicit ExifBuilder(bool bigEndian)
        : be(bigEndian)
    {
    }

    std::vector<BYTE> U16(uint16_t v) const
    {
        std::vector<BYTE> b(2);
        Put16(b.data(), v);
        return b;
    }
    std::vector<BYTE> U32(uint32_t v) const
    {
        std::vector<BYTE> b(4);
        Put32(b.data(), v);
        return b;
    }
    std::vector<BYTE> Rational(uint32_t num, uint32_t den) const
    {
        std::vector<BYTE> b(8);
        Put32(b.data(), num);
        Put32(b.data() + 4, den);
        return b;
    }
    static std::vector<BYTE> Bytes(const std::string& s) { return std::vector<BYTE>(s.begin(), s.end()); }

    ExifEntry Short(uint16_t tag, uint16_t v) const { return { tag, 3, 1, U16(v) }; }
    ExifEntry Long(uint16_t tag, uint32_t v) const { return { tag, 4, 1, U32(v) }; }
    ExifEntry Rat(uint16_t tag, uint32_t n, uint32_t d) const { return { tag, 5, 1, Rational(n, d) }; }
    ExifEntry SRat(uint16_t tag, int32_t n, int32_t d) const
    {
        return { tag, 10, 1, Rational(uint32_t(n), uint32_t(d)) };
    }
    ExifEntry Ascii(uint16_t tag, const std::string& s, bool nul = true) const
    {
        std::vector<BYTE> b = Bytes(s);
        if (nul)
            b.push_back(0);
        return { tag, 2, uint32_t(b.size()), b };
    }
    ExifEntry Undefined(uint16_t tag, const std::vector<BYTE>& b) const { return { tag, 7, uint32_t(b.size()), b }; }
    ExifEntry Link(uint16_t tag, int dir) const { return { tag, 4, 1, U32(0), dir }; }

    // The TIFF block (header at offset 0); first directory at dirs[0] unless
    // firstOffset overrides the stored offset.
    std::vector<BYTE> Tiff(const std::vector<ExifDir>& dirs, int64_t firstOffset = -1) const
    {
        std::vector<uint32_t> at(dirs.size());
        uint32_t pos = 8;
        for (size_t i = 0; i < dirs.size(); ++i) {
            at[i] = pos;
            pos += 2 + 12 * uint32_t(dirs[i].entries.size()) + (dirs[i].omitLink ? 0 : 4);
            for (const auto& e : dirs[i].entries)
                if (e.value.size() > 4)
                    pos += uint32_t(e.value.size() + (e.value.size() & 1));
        }
        std::vector<BYTE> out(pos, 0);
        out[0] = out[1] = be ? 'M' : 'I';
        Put16(&out[2], 42);
        Put32(&out[4], firstOffset >= 0 ? uint32_t(firstOffset) : at.empty() ? 0 : at[0]);
        for (size_t i = 0; i < dirs.size(); ++i) {
            const ExifDir& d = dirs[i];
            uint32_t p = at[i];
            Put16(&out[p], uint16_t(d.entries.size()));
            uint32_t data = p + 2 + 12 * uint32_t(d.entries.size()) + (d.omitLink ? 0 : 4);
            for (size_t k = 0; k < d.entries.size(); ++k) {
                const ExifEntry& e = d.entries[k];
                BYTE* ent = &out[p + 2 + 12 * k];
                Put16(ent, e.tag);
                Put16(ent + 2, e.format);
                Put32(ent + 4, e.count);
                if (e.linkTo >= 0) {
                    Put32(ent + 8, at[size_t(e.linkTo)]);
                } else if (e.value.size() > 4) {
                    Put32(ent + 8, data);
                    std::memcpy(&out[data], e.value.data(), e.value.size());
                    data += uint32_t(e.value.size() + (e.value.size() & 1));
                } else {
                    std::memcpy(ent + 8, e.value.data(), e.value.size());
                }
            }
            if (!d.omitLink)
                Put32(&out[p + 2 + 12 * d.entries.size()], d.next >= 0 ? at[size_t(d.next)] : 0);
        }
        return out;
    }

    // "Exif\0\0" and the TIFF block: an APP1 payload.
    std::vector<BYTE> Payload(const std::vector<ExifDir>& dirs, int64_t firstOffset = -1) const
    {
        std::vector<BYTE> out = { 'E', 'x', 'i', 'f', 0, 0 };
        std::vector<BYTE> tiff = Tiff(dirs, firstOffset);
        out.insert(out.end(), tiff.begin(), tiff.end());
        return out;
    }

    void Put16(BYTE* p, uint16_t v) const
    {
        if (be) {
            p[0] = BYTE(v >> 8);
            p[1] = BYTE(v);
        } else {
            p[0] = BYTE(v);
            p[1] = BYTE(v >> 8);
        }
    }
    void Put32(BYTE* p, uint32_t v) const
    {
        for (int i = 0; i < 4; ++i)
            p[be ? 3 - i : i] = BYTE(v >> (8 * i));
    }

private:
    bool be;
};

// A marker section: FF, code, big-endian length, payload.
inline std::vector<BYTE> Segment(BYTE code, const std::vector<BYTE>& payload)
{
    std::vector<BYTE> s = { 0xFF, code, BYTE((payload.size() + 2) >> 8), BYTE(payload.size() + 2) };
    s.insert(s.end(), payload.begin(), payload.end());
    return s;
}

inline void Append(std::vector<BYTE>& a, const std::vector<BYTE>& b) { a.insert(a.end(), b.begin(), b.end()); }

} // namespace jpegtest
