#include "image/picture_j2k.h"

#include "image/checked_math.h"
#include "image/picture_pgx.h"
#include "image/picture_pnm.h"
#include "image/picture_ras.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

// OpenJPEG reports through handlers and return values, never longjmp: the
// codec and stream live in guards, and every failure is a value.

namespace {

const char kInitFailed[] = "cannot initialize jasper";
const char kNoInput[] = "error: cannot open standard input";
const char kCannotLoad[] = "error: cannot load image data";
const char kTooManyComponents[] = "error: too much components";
const char kTooManyTiles[] = "error: too many tiles";
const char kNoMemory[] = "error: cannot allocate memory";
const char kCreateFailed[] = "Can't allocate memory";
const char kWrongFrame[] = "wrong frame!";
const char kOnlyRgbOrGrey[] = "JasPer can save only RGB or GrayScale images";
const char kNoOutput[] = "error: cannot open standard output";
const char kImageCreate[] = "error : jas_image_create";
const char kPgxGrey[] = "PGX can save only GrayScale images";
const char kCannotEncode[] = "error: cannot encode image\n";

const BYTE kJp2Signature[12] = { 0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A };
const size_t kStreamBuffer = 1 << 16;

struct CodecFree {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamFree {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct InfoFree {
    void operator()(opj_codestream_info_v2_t* i) const { opj_destroy_cstr_info(&i); }
};
using CodecPtr = std::unique_ptr<opj_codec_t, CodecFree>;
using StreamPtr = std::unique_ptr<opj_stream_t, StreamFree>;
using InfoPtr = std::unique_ptr<opj_codestream_info_v2_t, InfoFree>;

// ---- the stream over a CPicFile --------------------------------------------
// OpenJPEG's offsets count from where the data starts in the file.

struct StreamContext {
    CPicFile* file;
    LONG start;
};

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T n, void* user)
{
    StreamContext* s = static_cast<StreamContext*>(user);
    size_t got = s->file->Read(buffer, 1, n);
    return got ? got : OPJ_SIZE_T(-1);
}

OPJ_SIZE_T StreamWrite(void* buffer, OPJ_SIZE_T n, void* user)
{
    StreamContext* s = static_cast<StreamContext*>(user);
    return s->file->Write(buffer, 1, n) == n ? n : OPJ_SIZE_T(-1);
}

bool SeekTo(StreamContext* s, OPJ_OFF_T pos)
{
    if (pos < 0 || uint64_t(pos) + uint64_t(s->start) > kPicMaxBytes)
        return false;
    return s->file->Seek(LONG(s->start + pos), SEEK_SET);
}

OPJ_BOOL StreamSeek(OPJ_OFF_T pos, void* user)
{
    return SeekTo(static_cast<StreamContext*>(user), pos);
}

// Reading never skips past the end: the library takes -1 as the end of data.
OPJ_OFF_T StreamSkipRead(OPJ_OFF_T n, void* user)
{
    StreamContext* s = static_cast<StreamContext*>(user);
    LONG here = s->file->Tell(), size = s->file->Size();
    if (n < 0 || here < 0 || OPJ_OFF_T(here) + n > OPJ_OFF_T(size))
        return -1;
    return s->file->Seek(LONG(here + n), SEEK_SET) ? n : -1;
}

// Writing skips over a gap it fills later (the JP2 code-stream box header);
// past the end the gap is written as zeros.
OPJ_OFF_T StreamSkipWrite(OPJ_OFF_T n, void* user)
{
    StreamContext* s = static_cast<StreamContext*>(user);
    LONG here = s->file->Tell(), size = s->file->Size();
    if (n < 0 || here < 0 || uint64_t(here) + uint64_t(n) > kPicMaxBytes)
        return -1;
    OPJ_OFF_T inside = OPJ_OFF_T(size) - here;
    if (inside > n)
        inside = n;
    if (inside > 0 && !s->file->Seek(LONG(here + inside), SEEK_SET))
        return -1;
    static const BYTE zeros[256] = {};
    for (OPJ_OFF_T left = n - (inside > 0 ? inside : 0); left > 0;) {
        size_t take = left < OPJ_OFF_T(sizeof(zeros)) ? size_t(left) : sizeof(zeros);
        if (s->file->Write(zeros, 1, take) != take)
            return -1;
        left -= OPJ_OFF_T(take);
    }
    return n;
}

StreamPtr MakeStream(StreamContext& ctx, bool input)
{
    StreamPtr stream(opj_stream_create(kStreamBuffer, input ? OPJ_TRUE : OPJ_FALSE));
    if (!stream)
        return nullptr;
    opj_stream_set_user_data(stream.get(), &ctx, nullptr);
    opj_stream_set_seek_function(stream.get(), StreamSeek);
    if (input) {
        opj_stream_set_read_function(stream.get(), StreamRead);
        opj_stream_set_skip_function(stream.get(), StreamSkipRead);
        LONG size = ctx.file->Size();
        opj_stream_set_user_data_length(stream.get(), size > ctx.start ? OPJ_UINT64(size - ctx.start) : 0);
    } else {
        opj_stream_set_write_function(stream.get(), StreamWrite);
        opj_stream_set_skip_function(stream.get(), StreamSkipWrite);
    }
    return stream;
}

// The library's messages only mark a failure; the text the caller sees is ours.
void QuietHandler(const char*, void*)
{
}
void ErrorHandler(const char*, void* user)
{
    *static_cast<bool*>(user) = true;
}

void SetupHandlers(opj_codec_t* codec, bool* failed)
{
    opj_set_info_handler(codec, QuietHandler, nullptr);
    opj_set_warning_handler(codec, QuietHandler, nullptr);
    opj_set_error_handler(codec, ErrorHandler, failed);
}

// Every core, unless OpenJPEG's own OPJ_NUM_THREADS says otherwise: the
// library then keeps the count it read from it.
void UseThreads(opj_codec_t* codec)
{
    if (opj_has_thread_support() && !std::getenv("OPJ_NUM_THREADS")) {
        int n = opj_get_num_cpus();
        opj_codec_set_threads(codec, n > 1 ? n : 1);
    }
}

// Every top-level box up to the code stream must fit in the file, so that
// the library never allocates a box larger than the data behind it. The
// answer is where the code stream starts, or -1.
LONG Jp2CodeStreamAt(CPicFile* file, LONG start)
{
    LONG size = file->Size();
    uint64_t pos = uint64_t(start), end = size > start ? uint64_t(size) : pos;
    LONG at = -1;
    for (int boxes = 0; boxes < 1024 && pos + 8 <= end; ++boxes) {
        BYTE h[16];
        if (!file->Seek(LONG(pos), SEEK_SET) || file->Read(h, 1, 8) != 8)
            break;
        uint64_t length = PicGetBE32(h);
        uint64_t headerLength = 8;
        const DWORD type = PicGetBE32(h + 4);
        if (length == 1) {
            if (file->Read(h + 8, 1, 8) != 8)
                break;
            length = (uint64_t(PicGetBE32(h + 8)) << 32) | PicGetBE32(h + 12);
            headerLength = 16;
            if (length < 16)
                break;
        } else if (length == 0) {
            length = end - pos;
        } else if (length < 8) {
            break;
        }
        if (length > end - pos)
            break;
        if (type == 0x6A703263) { // 'jp2c'
            at = LONG(pos + headerLength);
            break;
        }
        pos += length;
    }
    file->Seek(start, SEEK_SET);
    return at;
}

// The library sets up every tile and component while it reads the header,
// before we could look at the counts: a few bytes asking for tens of
// thousands of tiles cost hundreds of megabytes. The SIZ marker is read here
// first and such streams are refused.
bool SizWithinLimits(CPicFile* file, LONG at, const char** why)
{
    BYTE siz[42];
    const LONG back = file->Tell();
    const bool read = file->Seek(at, SEEK_SET) && file->Read(siz, 1, sizeof(siz)) == sizeof(siz);
    file->Seek(back, SEEK_SET);
    if (!read || PicGetBE16(siz) != 0xFF4F || PicGetBE16(siz + 2) != 0xFF51)
        return true; // not a stream the library takes either; it says so itself
    const uint64_t width = PicGetBE32(siz + 8), height = PicGetBE32(siz + 12);
    const uint64_t tileWidth = PicGetBE32(siz + 24), tileHeight = PicGetBE32(siz + 28);
    const uint64_t tileX = PicGetBE32(siz + 32), tileY = PicGetBE32(siz + 36);
    const DWORD components = PicGetBE16(siz + 40);
    if (components == 0 || components > CPictureJAS::MAX_COMPONENTS) {
        *why = kTooManyComponents;
        return false;
    }
    if (tileWidth == 0 || tileHeight == 0 || width <= tileX || height <= tileY) {
        *why = kCannotLoad;
        return false;
    }
    const uint64_t across = (width - tileX + tileWidth - 1) / tileWidth;
    const uint64_t down = (height - tileY + tileHeight - 1) / tileHeight;
    if (across * down > CPictureJAS::MAX_TILES) {
        *why = kTooManyTiles;
        return false;
    }
    return true;
}

// The components' sizes from the reference grid, before anything is decoded.
bool WithinLimits(const opj_image_t* image, uint64_t maxPixels, const char** why)
{
    uint64_t total = 0;
    for (OPJ_UINT32 i = 0; i < image->numcomps; ++i) {
        const opj_image_comp_t& c = image->comps[i];
        if (c.dx == 0 || c.dy == 0 || image->x1 <= image->x0 || image->y1 <= image->y0) {
            *why = kCannotLoad;
            return false;
        }
        uint64_t w = (uint64_t(image->x1) + c.dx - 1) / c.dx - (uint64_t(image->x0) + c.dx - 1) / c.dx;
        uint64_t h = (uint64_t(image->y1) + c.dy - 1) / c.dy - (uint64_t(image->y0) + c.dy - 1) / c.dy;
        if (w * h > maxPixels) {
            *why = kPicDecodeLimitText;
            return false;
        }
        total += w * h;
    }
    // All components are decoded whatever is shown: four full planes at most.
    if (total > 4 * maxPixels) {
        *why = kPicDecodeLimitText;
        return false;
    }
    return true;
}

CPicPlanes ReadJ2k(CPicFile* file, DWORD format, uint64_t maxPixels, const char** why)
{
    const LONG start = file->Tell();
    *why = kCannotLoad;
    const LONG codeStream = format == PIC_FORMAT_JP2 ? Jp2CodeStreamAt(file, start) : start;
    if (codeStream < 0 || !SizWithinLimits(file, codeStream, why))
        return nullptr;
    bool failed = false;
    CodecPtr codec(opj_create_decompress(format == PIC_FORMAT_JP2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!codec) {
        *why = kInitFailed;
        return nullptr;
    }
    SetupHandlers(codec.get(), &failed);
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    if (!opj_setup_decoder(codec.get(), &params))
        return nullptr;
    // A cut stream is damaged data, not a picture with its last layers missing.
    opj_decoder_set_strict_mode(codec.get(), OPJ_TRUE);
    UseThreads(codec.get());

    StreamContext ctx { file, start };
    StreamPtr stream = MakeStream(ctx, true);
    if (!stream) {
        *why = kNoInput;
        return nullptr;
    }
    opj_image_t* raw = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &raw)) {
        opj_image_destroy(raw);
        return nullptr;
    }
    CPicPlanes image(raw);
    if (image->numcomps == 0 || image->numcomps > CPictureJAS::MAX_COMPONENTS) {
        *why = kTooManyComponents;
        return nullptr;
    }
    InfoPtr info(opj_get_cstr_info(codec.get()));
    if (!info || uint64_t(info->tw) * info->th > CPictureJAS::MAX_TILES) {
        *why = kTooManyTiles;
        return nullptr;
    }
    if (!WithinLimits(image.get(), maxPixels, why))
        return nullptr;
    if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get())
        || failed)
        return nullptr;
    return image;
}

bool WriteJ2k(CPicFile* file, opj_image_t* image, DWORD format, BYTE quality, const char** why)
{
    bool failed = false;
    CodecPtr codec(opj_create_compress(format == PIC_FORMAT_JP2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!codec) {
        *why = kInitFailed;
        return false;
    }
    SetupHandlers(codec.get(), &failed);
    opj_cparameters_t params;
    opj_set_default_encoder_parameters(&params);
    // JasPer's rate: the share of the raw size to keep. OpenJPEG wants the
    // compression ratio; keeping all of it means the reversible 5/3.
    double rate = std::floor(quality * 10.0 + 0.5) / 1000.0;
    params.tcp_numlayers = 1;
    params.cp_disto_alloc = 1;
    if (rate >= 1.0) {
        params.irreversible = 0;
        params.tcp_rates[0] = 0;
    } else {
        params.irreversible = 1;
        params.tcp_rates[0] = float(1.0 / (rate > 0.001 ? rate : 0.001));
    }
    params.tcp_mct = image->numcomps == 3 ? 1 : 0;
    // Each resolution level halves the picture; the smallest needs a pixel.
    DWORD side = image->comps[0].w < image->comps[0].h ? image->comps[0].w : image->comps[0].h;
    int levels = 1;
    while (levels < 6 && (side >> levels) > 0)
        ++levels;
    params.numresolution = levels;
    *why = kCannotEncode;
    if (!opj_setup_encoder(codec.get(), &params, image))
        return false;
    UseThreads(codec.get());

    StreamContext ctx { file, file->Tell() };
    StreamPtr stream = MakeStream(ctx, false);
    if (!stream) {
        *why = kNoOutput;
        return false;
    }
    if (!opj_start_compress(codec.get(), image, stream.get()) || !opj_encode(codec.get(), stream.get())
        || !opj_end_compress(codec.get(), stream.get()) || failed)
        return false;
    return true;
}

// ---- colour ----------------------------------------------------------------

// sYCC chroma planes subsampled against luma are brought to luma's grid by
// repeating samples.
bool UpsampleChroma(opj_image_t* image)
{
    const opj_image_comp_t& y = image->comps[0];
    for (int i = 1; i < 3; ++i) {
        opj_image_comp_t& c = image->comps[i];
        if (c.w == y.w && c.h == y.h)
            continue;
        if (c.w == 0 || c.h == 0)
            return false;
        size_t bytes;
        if (!PicCheckedMulSize(uint64_t(y.w) * y.h, sizeof(OPJ_INT32), bytes))
            return false;
        OPJ_INT32* full = static_cast<OPJ_INT32*>(opj_image_data_alloc(bytes));
        if (!full)
            return false;
        for (OPJ_UINT32 row = 0; row < y.h; ++row) {
            uint64_t gy = (uint64_t(y.y0) + row) * y.dy;
            uint64_t cy = gy / c.dy;
            cy = cy > c.y0 ? cy - c.y0 : 0;
            if (cy >= c.h)
                cy = c.h - 1;
            for (OPJ_UINT32 col = 0; col < y.w; ++col) {
                uint64_t gx = (uint64_t(y.x0) + col) * y.dx;
                uint64_t cx = gx / c.dx;
                cx = cx > c.x0 ? cx - c.x0 : 0;
                if (cx >= c.w)
                    cx = c.w - 1;
                full[size_t(row) * y.w + col] = c.data[size_t(cy) * c.w + size_t(cx)];
            }
        }
        opj_image_data_free(c.data);
        c.data = full;
        c.w = y.w;
        c.h = y.h;
        c.dx = y.dx;
        c.dy = y.dy;
        c.x0 = y.x0;
        c.y0 = y.y0;
    }
    return true;
}

bool LooksLikeYcc(const opj_image_t* image)
{
    if (image->numcomps < 3)
        return false;
    const opj_image_comp_t* c = image->comps;
    if (c[0].prec != c[1].prec || c[0].prec != c[2].prec || c[0].prec > 16)
        return false;
    if (image->color_space == OPJ_CLRSPC_SYCC)
        return true;
    // A bare code stream says nothing; subsampled chroma says YCC.
    bool unsaid = image->color_space == OPJ_CLRSPC_UNKNOWN || image->color_space == OPJ_CLRSPC_UNSPECIFIED;
    return unsaid && image->numcomps == 3 && c[0].dx == 1 && c[0].dy == 1 && c[1].dx == c[2].dx
        && c[1].dy == c[2].dy && (c[1].dx > 1 || c[1].dy > 1);
}

// Full-range sYCC to RGB on the first three planes, in place.
bool YccToRgb(opj_image_t* image)
{
    if (!UpsampleChroma(image))
        return false;
    opj_image_comp_t* c = image->comps;
    const int prec = int(c[0].prec);
    const OPJ_INT32 half = OPJ_INT32(1) << (prec - 1), top = (OPJ_INT32(1) << prec) - 1;
    const OPJ_INT32 yOff = c[0].sgnd ? half : 0;
    const OPJ_INT32 cbOff = c[1].sgnd ? 0 : half, crOff = c[2].sgnd ? 0 : half;
    const size_t n = size_t(c[0].w) * c[0].h;
    auto clamp = [top](double v) { return OPJ_INT32(v < 0 ? 0 : (v > top ? top : v + 0.5)); };
    for (size_t i = 0; i < n; ++i) {
        double y = double(c[0].data[i]) + yOff;
        double cb = double(c[1].data[i]) - cbOff, cr = double(c[2].data[i]) - crOff;
        c[0].data[i] = clamp(y + 1.402 * cr);
        c[1].data[i] = clamp(y - 0.344136 * cb - 0.714136 * cr);
        c[2].data[i] = clamp(y + 1.772 * cb);
    }
    for (int i = 0; i < 3; ++i)
        c[i].sgnd = 0;
    image->color_space = OPJ_CLRSPC_SRGB;
    return true;
}

// One component's samples to `depth` bits: signed ones offset to unsigned,
// wider ones shifted down, narrower ones stretched over the full range.
class CSampleMap {
public:
    CSampleMap(const opj_image_comp_t& c, int depth)
    {
        const int prec = int(c.prec);
        // 64 bits: precisions reach 31, and hostile samples the int limits.
        offset = c.sgnd ? int64_t(1) << (prec - 1) : 0;
        maxIn = (int64_t(1) << prec) - 1;
        shift = prec > depth ? prec - depth : 0;
        stretch = prec < depth;
        outMax = (1 << depth) - 1;
    }

    BYTE operator()(OPJ_INT32 v) const
    {
        int64_t u = int64_t(v) + offset;
        u = u < 0 ? 0 : (u > maxIn ? maxIn : u);
        if (stretch)
            return BYTE((u * outMax + maxIn / 2) / maxIn);
        return BYTE(u >> shift);
    }

private:
    int64_t offset;
    int64_t maxIn;
    int shift;
    bool stretch;
    int outMax;
};

} // namespace

// ---- CPictureJAS -------------------------------------------------------------

CPictureJAS::CPictureJAS()
    : CPicture(0)
{
}

CPictureJAS::~CPictureJAS()
{
}

bool CPictureJAS::Decode(FILE* stream, DWORD type)
{
    CPicIOFile file(stream);
    return Decode(&file, type);
}

bool CPictureJAS::Encode(FILE* stream, DWORD type)
{
    CPicIOFile file(stream);
    return Encode(&file, type);
}

DWORD CPictureJAS::DetectFormat(const BYTE* head, size_t size)
{
    if (!head)
        return 0;
    if (size >= sizeof(kJp2Signature) && std::memcmp(head, kJp2Signature, sizeof(kJp2Signature)) == 0)
        return PIC_FORMAT_JP2;
    if (size >= 4 && head[0] == 0xFF && head[1] == 0x4F && head[2] == 0xFF && head[3] == 0x51)
        return PIC_FORMAT_JPC;
    if (size >= 3 && head[0] == 'P' && head[1] == 'G' && (head[2] == ' ' || head[2] == '\t'))
        return PIC_FORMAT_PGX;
    if (size >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6')
        return PIC_FORMAT_PNM;
    if (size >= 4 && PicGetBE32(head) == 0x59A66A95)
        return PIC_FORMAT_RAS;
    return 0;
}

bool CPictureJAS::Decode(CPicFile* file, DWORD type)
{
    if (!file)
        return false;
    const LONG start = file->Tell();
    BYTE head[12];
    size_t got = file->Read(head, 1, sizeof(head));
    if (!file->Seek(start, SEEK_SET))
        return SetError(kCannotLoad);
    const DWORD format = DetectFormat(head, got);

    const uint64_t maxPixels = GetMaxDecodePixels();
    const char* why = kCannotLoad;
    CPicPlanes image;
    switch (format) {
    case PIC_FORMAT_JP2:
    case PIC_FORMAT_JPC:
        image = ReadJ2k(file, format, maxPixels, &why);
        break;
    case PIC_FORMAT_PGX:
        image = PicReadPgx(file, maxPixels, &why);
        break;
    case PIC_FORMAT_PNM:
        image = PicReadPnm(file, maxPixels, &why);
        break;
    case PIC_FORMAT_RAS:
        image = PicReadRas(file, maxPixels, &why);
        break;
    default:
        break;
    }
    if (!image) {
        // Our readers' own reasons stay inside; the caller gets the fixed texts.
        bool ours = why == kPicDecodeLimitText || why == kInitFailed || why == kNoInput
            || why == kTooManyComponents || why == kTooManyTiles;
        return SetError(ours ? why : kCannotLoad);
    }
    return DecodePlanes(image.get(), type ? type : format);
}

bool CPictureJAS::DecodePlanes(opj_image_t* image, DWORD type)
{
    const DWORD count = image->numcomps;
    if (count == 0 || count > MAX_COMPONENTS)
        return SetError(kTooManyComponents);
    for (DWORD i = 0; i < count; ++i) {
        const opj_image_comp_t& c = image->comps[i];
        if (!c.data || c.w == 0 || c.h == 0 || c.prec == 0 || c.prec > 31)
            return SetError(kCannotLoad);
    }
    if (LooksLikeYcc(image) && !YccToRgb(image))
        return SetError(kNoMemory);

    const opj_image_comp_t* c = image->comps;
    if (count == 3 && c[1].w == c[0].w && c[2].w == c[0].w && c[1].h == c[0].h && c[2].h == c[0].h
        && c[1].prec == c[0].prec && c[2].prec == c[0].prec) {
        const DWORD w = c[0].w, h = c[0].h;
        if (!CreateForDecode(w, h, 24, type, kCreateFailed))
            return false;
        const CSampleMap red(c[0], 8), green(c[1], 8), blue(c[2], 8);
        for (DWORD y = 0; y < h; ++y) {
            BYTE* dst = GetBits(h - 1 - y);
            const size_t at = size_t(y) * w;
            for (DWORD x = 0; x < w; ++x, dst += 3) {
                dst[0] = blue(c[2].data[at + x]);
                dst[1] = green(c[1].data[at + x]);
                dst[2] = red(c[0].data[at + x]);
            }
        }
        info.numFrames = 1;
        return true;
    }

    // Any other set of components is a list of grey frames.
    const LONG frame = info.frame;
    if (frame < 0 || DWORD(frame) >= count) {
        info.numFrames = LONG(count);
        return SetError(kWrongFrame);
    }
    const opj_image_comp_t& f = c[frame];
    if (!CreateForDecode(f.w, f.h, f.prec < 8 ? f.prec : 8, type, kCreateFailed))
        return false;
    info.numFrames = LONG(count);
    SetGrayPalette();
    const int depth = GetBpp();
    const CSampleMap grey(f, depth);
    for (DWORD y = 0; y < f.h; ++y) {
        BYTE* dst = GetBits(f.h - 1 - y);
        const OPJ_INT32* src = f.data + size_t(y) * f.w;
        if (depth == 8) {
            for (DWORD x = 0; x < f.w; ++x)
                dst[x] = grey(src[x]);
        } else {
            // Packed rows, most significant bits first.
            const int perByte = 8 / depth;
            std::memset(dst, 0, GetEffWidth());
            for (DWORD x = 0; x < f.w; ++x)
                dst[x / perByte] |= BYTE(grey(src[x]) << (8 - depth * (int(x % perByte) + 1)));
        }
    }
    return true;
}

CPicPlanes CPictureJAS::MakePlanes()
{
    const DWORD w = GetWidth(), h = GetHeight();
    const bool grey = IsIndexed();
    const char* why = nullptr;
    CPicPlanes image = PicNewPlanes(
        grey ? 1 : 3, w, h, 8, false, grey ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB, UINT64_MAX, &why);
    if (!image)
        return nullptr;
    // File rows run top-down, the picture's bottom-up.
    for (DWORD y = 0; y < h; ++y) {
        const LONG py = LONG(h - 1 - y);
        const size_t at = size_t(y) * w;
        for (DWORD x = 0; x < w; ++x) {
            if (grey) {
                image->comps[0].data[at + x] = GetPixelIndex(LONG(x), py);
            } else {
                RGBQUAD q = GetPixelColor(LONG(x), py, true);
                image->comps[0].data[at + x] = q.rgbRed;
                image->comps[1].data[at + x] = q.rgbGreen;
                image->comps[2].data[at + x] = q.rgbBlue;
            }
        }
    }
    return image;
}

bool CPictureJAS::Encode(CPicFile* file, DWORD type)
{
    if (EncodeSafeCheck(file))
        return false;
    if (IsIndexed() && !IsGrayScale())
        return SetError(kOnlyRgbOrGrey);
    CPicPlanes image = MakePlanes();
    if (!image)
        return SetError(kImageCreate);

    const char* why = kCannotEncode;
    bool ok = false;
    switch (type) {
    case PIC_FORMAT_JP2:
    case PIC_FORMAT_JPC:
        ok = WriteJ2k(file, image.get(), type, GetJpegQuality(), &why);
        break;
    case PIC_FORMAT_PGX:
        if (!IsIndexed())
            return SetError(kPgxGrey);
        ok = PicWritePgx(file, image.get(), &why);
        break;
    case PIC_FORMAT_PNM:
        ok = PicWritePnm(file, image.get(), &why);
        break;
    case PIC_FORMAT_RAS:
        ok = PicWriteRas(file, image.get(), &why);
        break;
    default:
        break;
    }
    if (!ok || !file->Flush())
        return SetError(why == kInitFailed || why == kNoOutput ? why : kCannotEncode);
    return true;
}
