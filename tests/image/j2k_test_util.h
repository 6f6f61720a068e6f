// OpenJPEG used straight from memory, as the reference the JPEG-2000 family
// codec is held against: component planes built by hand, encoded and
// decoded by the library without the picture object. Also the stream and
// picture builders the codec's tests and our PGX, PNM and raster tests share.
#pragma once

#include "image/picture.h"
#include "image/picture_planes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <openjpeg.h>

namespace j2ktest {

struct MemStream {
    std::vector<BYTE> data;
    size_t pos = 0;
};

inline OPJ_SIZE_T MemRead(void* buffer, OPJ_SIZE_T n, void* user)
{
    MemStream* m = static_cast<MemStream*>(user);
    if (m->pos >= m->data.size())
        return OPJ_SIZE_T(-1);
    size_t take = std::min<size_t>(n, m->data.size() - m->pos);
    std::memcpy(buffer, m->data.data() + m->pos, take);
    m->pos += take;
    return take;
}

inline OPJ_SIZE_T MemWrite(void* buffer, OPJ_SIZE_T n, void* user)
{
    MemStream* m = static_cast<MemStream*>(user);
    if (m->pos + n > m->data.size())
        m->data.resize(m->pos + n);
    std::memcpy(m->data.data() + m->pos, buffer, n);
    m->pos += n;
    return n;
}

inline OPJ_OFF_T MemSkip(OPJ_OFF_T n, void* user)
{
    MemStream* m = static_cast<MemStream*>(user);
    m->pos += size_t(n);
    return n;
}

inline OPJ_BOOL MemSeek(OPJ_OFF_T pos, void* user)
{
    static_cast<MemStream*>(user)->pos = size_t(pos);
    return OPJ_TRUE;
}

inline opj_stream_t* MemOpen(MemStream& m, bool input)
{
    opj_stream_t* s = opj_stream_create(1 << 16, input ? OPJ_TRUE : OPJ_FALSE);
    opj_stream_set_user_data(s, &m, nullptr);
    opj_stream_set_user_data_length(s, m.data.size());
    opj_stream_set_read_function(s, MemRead);
    opj_stream_set_write_function(s, MemWrite);
    opj_stream_set_skip_function(s, MemSkip);
    opj_stream_set_seek_function(s, MemSeek);
    return s;
}

struct CompLayout {
    DWORD w, h, prec;
    bool sgnd;
    DWORD dx = 1, dy = 1;
};

// Planes of the given form filled by `fill(component, x, y)`.
template <class Fill>
CPicPlanes MakePlanes(
    const std::vector<CompLayout>& layouts, OPJ_COLOR_SPACE space, DWORD width, DWORD height, Fill fill)
{
    std::vector<opj_image_cmptparm_t> parms(layouts.size());
    std::memset(parms.data(), 0, parms.size() * sizeof(parms[0]));
    for (size_t i = 0; i < layouts.size(); ++i) {
        parms[i].w = layouts[i].w;
        parms[i].h = layouts[i].h;
        parms[i].dx = layouts[i].dx;
        parms[i].dy = layouts[i].dy;
        parms[i].prec = layouts[i].prec;
        parms[i].sgnd = layouts[i].sgnd;
    }
    CPicPlanes image(opj_image_create(OPJ_UINT32(layouts.size()), parms.data(), space));
    if (!image)
        return image;
    image->x0 = 0;
    image->y0 = 0;
    image->x1 = width;
    image->y1 = height;
    for (size_t i = 0; i < layouts.size(); ++i)
        for (DWORD y = 0; y < layouts[i].h; ++y)
            for (DWORD x = 0; x < layouts[i].w; ++x)
                image->comps[i].data[size_t(y) * layouts[i].w + x] = fill(int(i), x, y);
    return image;
}

struct EncodeOptions {
    bool jp2 = false;
    bool lossless = true;
    float ratio = 0; // lossy only
    DWORD tile = 0; // 0: one tile
    bool mct = false;
};

inline std::vector<BYTE> RefEncode(opj_image_t* image, const EncodeOptions& opts)
{
    opj_codec_t* codec = opj_create_compress(opts.jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_cparameters_t p;
    opj_set_default_encoder_parameters(&p);
    p.tcp_numlayers = 1;
    p.cp_disto_alloc = 1;
    p.tcp_rates[0] = opts.lossless ? 0 : opts.ratio;
    p.irreversible = opts.lossless ? 0 : 1;
    p.tcp_mct = opts.mct ? 1 : 0;
    // Fewer levels for pictures too small to halve three times.
    DWORD side = std::min(image->comps[0].w, image->comps[0].h);
    p.numresolution = side >= 4 ? 3 : (side >= 2 ? 2 : 1);
    if (opts.tile) {
        p.tile_size_on = OPJ_TRUE;
        p.cp_tdx = int(opts.tile);
        p.cp_tdy = int(opts.tile);
        p.numresolution = 1;
    }
    MemStream m;
    std::vector<BYTE> out;
    opj_stream_t* s = MemOpen(m, false);
    if (opj_setup_encoder(codec, &p, image) && opj_start_compress(codec, image, s) && opj_encode(codec, s)
        && opj_end_compress(codec, s))
        out = m.data;
    opj_stream_destroy(s);
    opj_destroy_codec(codec);
    return out;
}

inline CPicPlanes RefDecode(const std::vector<BYTE>& bytes, bool jp2)
{
    MemStream m;
    m.data = bytes;
    opj_codec_t* codec = opj_create_decompress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_dparameters_t p;
    opj_set_default_decoder_parameters(&p);
    opj_stream_t* s = MemOpen(m, true);
    opj_image_t* image = nullptr;
    bool ok = opj_setup_decoder(codec, &p) && opj_read_header(s, codec, &image) && opj_decode(codec, s, image)
        && opj_end_decompress(codec, s);
    opj_stream_destroy(s);
    opj_destroy_codec(codec);
    if (!ok) {
        opj_image_destroy(image);
        image = nullptr;
    }
    return CPicPlanes(image);
}

inline void PutBE16(std::vector<BYTE>& v, unsigned x)
{
    v.push_back(BYTE(x >> 8));
    v.push_back(BYTE(x));
}

inline void PutBE32(std::vector<BYTE>& v, uint32_t x)
{
    PutBE16(v, x >> 16);
    PutBE16(v, x & 0xFFFF);
}

// A code stream's main header alone (SOC, SIZ, COD, QCD, then an SOT of an
// empty tile part): enough for the header checks, never a picture.
inline std::vector<BYTE> MainHeader(DWORD width, DWORD height, DWORD tile, DWORD comps)
{
    std::vector<BYTE> v;
    PutBE16(v, 0xFF4F);
    PutBE16(v, 0xFF51);
    PutBE16(v, 38 + 3 * comps);
    PutBE16(v, 0);
    PutBE32(v, width);
    PutBE32(v, height);
    PutBE32(v, 0);
    PutBE32(v, 0);
    PutBE32(v, tile);
    PutBE32(v, tile);
    PutBE32(v, 0);
    PutBE32(v, 0);
    PutBE16(v, comps);
    for (DWORD i = 0; i < comps; ++i) {
        v.push_back(7);
        v.push_back(1);
        v.push_back(1);
    }
    // COD: no precincts, LRCP, one layer, no MCT, no decomposition, 64x64 blocks, 5/3.
    PutBE16(v, 0xFF52);
    PutBE16(v, 12);
    v.push_back(0);
    v.push_back(0);
    PutBE16(v, 1);
    v.push_back(0);
    v.push_back(0);
    v.push_back(4);
    v.push_back(4);
    v.push_back(0);
    v.push_back(1);
    // QCD: no quantisation, two guard bits, one sub-band.
    PutBE16(v, 0xFF5C);
    PutBE16(v, 4);
    v.push_back(0x40);
    v.push_back(8 << 3);
    // SOT of tile 0 with a length covering just itself and SOD, then EOC.
    PutBE16(v, 0xFF90);
    PutBE16(v, 10);
    PutBE16(v, 0);
    PutBE32(v, 14);
    v.push_back(0);
    v.push_back(1);
    PutBE16(v, 0xFF93);
    PutBE16(v, 0xFFD9);
    return v;
}

inline CPicture GreyPicture(DWORD w, DWORD h, uint32_t seed)
{
    CPicture pic(w, h, 8);
    pic.SetGrayPalette();
    std::mt19937 rng(seed);
    for (LONG y = 0; y < LONG(h); ++y)
        for (LONG x = 0; x < LONG(w); ++x)
            pic.SetPixelIndex(x, y, BYTE(rng()));
    return pic;
}

} // namespace j2ktest
