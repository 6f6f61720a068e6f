#include "image/picture_jpg.h"

#include "image/checked_math.h"

#include <cmath>
#include <csetjmp>
#include <cstddef>
#include <cstring>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg leaves through longjmp. Everything between the setjmp in DecodeRun
// or EncodeRun and the library calls is plain data: the jobs below hold it,
// and no object with a destructor lives in those frames.

namespace {

const size_t kTransferBuffer = 4096;
const char kTooManyScans[] = "Too many scans in JPEG data";
const char kExifWriteError[] = "Can't write exif : write error";

// The library's own working memory (coefficient buffers of progressive and
// multi-scan streams) beyond the picture itself.
const long kMaxLibraryMemory = 512L * 1024 * 1024;

// Rows handed to one jpeg_read_scanlines call.
const int kRowBatch = 16;

} // namespace

struct CPicFileJpg {
    jpeg_destination_mgr dest;
    jpeg_source_mgr src;
    CPicFile* file;
    JOCTET* buffer;
    bool atStartOfFile;
};

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char* text; // the picture's lastError, 256 characters
};

struct JpegProgress {
    jpeg_progress_mgr pub;
    JpegErrorManager* err;
};

struct CJpegDecodeJob {
    CPictureJPG* pic;
    CPicFile* file;
    bool hasExif;
    bool created;
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    JpegProgress progress;
    CPicFileJpg io;
};

struct CJpegEncodeJob {
    CPictureJPG* pic;
    CPicFile* file;
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    CPicFileJpg io;
};

namespace {

void CopyText(char* dst, const char* src)
{
    std::strncpy(dst, src, 255);
    dst[255] = '\0';
}

void JpegErrorExit(j_common_ptr cinfo)
{
    JpegErrorManager* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    CopyText(err->text, message);
    longjmp(err->jump, 1);
}

// Warnings count but print nothing: a desktop program has no console.
void JpegQuietMessage(j_common_ptr) { }

void JpegProgressMonitor(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > CPictureJPG::MAX_SCANS) {
        JpegErrorManager* err = reinterpret_cast<JpegProgress*>(cinfo->progress)->err;
        CopyText(err->text, kTooManyScans);
        longjmp(err->jump, 1);
    }
}

CPicFileJpg* FromSource(j_decompress_ptr cinfo)
{
    return reinterpret_cast<CPicFileJpg*>(reinterpret_cast<char*>(cinfo->src) - offsetof(CPicFileJpg, src));
}

CPicFileJpg* FromDest(j_compress_ptr cinfo)
{
    return reinterpret_cast<CPicFileJpg*>(reinterpret_cast<char*>(cinfo->dest) - offsetof(CPicFileJpg, dest));
}

void InitSource(j_decompress_ptr cinfo) { FromSource(cinfo)->atStartOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    CPicFileJpg* m = FromSource(cinfo);
    size_t n = m->file->Read(m->buffer, 1, kTransferBuffer);
    if (n == 0) {
        if (m->atStartOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A cut stream ends in a fake end-of-image marker.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        m->buffer[0] = 0xFF;
        m->buffer[1] = JPEG_EOI;
        n = 2;
    }
    m->src.next_input_byte = m->buffer;
    m->src.bytes_in_buffer = n;
    m->atStartOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    while (count > long(src->bytes_in_buffer)) {
        count -= long(src->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += size_t(count);
    src->bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) { }

void InitDestination(j_compress_ptr cinfo)
{
    CPicFileJpg* m = FromDest(cinfo);
    m->dest.next_output_byte = m->buffer;
    m->dest.free_in_buffer = kTransferBuffer;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    CPicFileJpg* m = FromDest(cinfo);
    if (m->file->Write(m->buffer, 1, kTransferBuffer) != kTransferBuffer)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    m->dest.next_output_byte = m->buffer;
    m->dest.free_in_buffer = kTransferBuffer;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    CPicFileJpg* m = FromDest(cinfo);
    size_t pending = kTransferBuffer - m->dest.free_in_buffer;
    if (pending > 0 && m->file->Write(m->buffer, 1, pending) != pending)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    if (!m->file->Flush() || m->file->Error())
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

void SetupErrors(JpegErrorManager& err, char* text)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.output_message = JpegQuietMessage;
    err.text = text;
}

// Only denominators of 2, 4 and 8 scale (libjpeg-turbo would take any M/8).
unsigned ScaleDenominator(BYTE scale)
{
    if (scale >= 8)
        return 8;
    if (scale >= 4)
        return 4;
    if (scale >= 2)
        return 2;
    return 1;
}

void SwapRedBlue(BYTE* row, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i) {
        BYTE t = row[i * 3];
        row[i * 3] = row[i * 3 + 2];
        row[i * 3 + 2] = t;
    }
}

} // namespace

// ---- life cycle ----------------------------------------------------------------

CPictureJPG::CPictureJPG()
    : CPicture(PIC_FORMAT_JPG)
    , exif(nullptr)
    , smoothing(0)
    , dither(0)
{
    std::memset(&exifInfo, 0, sizeof(exifInfo));
}

CPictureJPG::CPictureJPG(const CPictureJPG& src)
    : CPicture(src)
    , exif(nullptr)
{
    CopyJpgFields(src);
}

CPictureJPG& CPictureJPG::operator=(const CPictureJPG& src)
{
    if (this != &src) {
        CPicture::operator=(src);
        delete exif;
        exif = nullptr;
        CopyJpgFields(src);
    }
    return *this;
}

CPictureJPG::~CPictureJPG() { delete exif; }

void CPictureJPG::CopyJpgFields(const CPictureJPG& src)
{
    exifInfo = src.exifInfo;
    // The thumbnail lives in the source's reader, which is not copied.
    exifInfo.thumbnail = nullptr;
    exifInfo.thumbnailSize = 0;
    smoothing = src.smoothing;
    dither = src.dither;
}

bool CPictureJPG::DecodeExif(FILE* stream)
{
    CPicIOFile file(stream);
    return DecodeExif(&file);
}

bool CPictureJPG::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPictureJPG::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPictureJPG::DecodeExif(CPicFile* file)
{
    if (!file)
        return false;
    // Each decode starts from an empty record, so nothing of an earlier
    // stream (above all its thumbnail pointer) survives the old reader.
    delete exif;
    exif = nullptr;
    std::memset(&exifInfo, 0, sizeof(exifInfo));
    exif = new (std::nothrow) CPicExifInfo(&exifInfo);
    if (!exif)
        return false;
    LONG pos = file->Tell();
    exif->DecodeExif(file, CPicExifInfo::EXIF_READ_EXIF);
    file->Seek(pos, SEEK_SET);
    return exifInfo.hasExif;
}

// ---- decoding ------------------------------------------------------------------

bool CPictureJPG::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    CJpegDecodeJob* job = new (std::nothrow) CJpegDecodeJob();
    if (!job)
        return SetError("CPicture::Create can't allocate memory");
    job->pic = this;
    job->file = file;
    job->hasExif = DecodeExif(file);
    bool ok = DecodeRun(*job);
    delete job;
    return ok;
}

bool CPictureJPG::DecodeRun(CJpegDecodeJob& job)
{
    CPictureJPG& pic = *job.pic;
    j_decompress_ptr cinfo = &job.cinfo;
    SetupErrors(job.err, pic.info.lastError);
    cinfo->err = &job.err.pub;
    if (setjmp(job.err.jump)) {
        jpeg_destroy_decompress(cinfo);
        if (job.created)
            pic.Destroy();
        return false;
    }

    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kMaxLibraryMemory;
    job.progress.pub.progress_monitor = JpegProgressMonitor;
    job.progress.err = &job.err;
    cinfo->progress = &job.progress.pub;

    CPicFileJpg& io = job.io;
    io.file = job.file;
    io.buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kTransferBuffer));
    io.src.init_source = InitSource;
    io.src.fill_input_buffer = FillInputBuffer;
    io.src.skip_input_data = SkipInputData;
    io.src.resync_to_restart = jpeg_resync_to_restart;
    io.src.term_source = TermSource;
    io.src.next_input_byte = nullptr;
    io.src.bytes_in_buffer = 0;
    cinfo->src = &io.src;

    jpeg_read_header(cinfo, TRUE);

    DWORD options = pic.GetCodecOption(PIC_FORMAT_JPG);
    if (options & JPEG_OPT_GREY_DECODE)
        cinfo->out_color_space = JCS_GRAYSCALE;
    if (options & JPEG_OPT_QUANTIZE) {
        cinfo->quantize_colors = TRUE;
        cinfo->desired_number_of_colors = pic.info.jpegQuality;
    }
    if (options & JPEG_OPT_DITHER)
        cinfo->dither_mode = J_DITHER_MODE(pic.dither);
    if (options & JPEG_OPT_ONE_PASS)
        cinfo->two_pass_quantize = FALSE;
    if (options & JPEG_OPT_NO_FANCY_UPSAMPLING)
        cinfo->do_fancy_upsampling = FALSE;
    cinfo->scale_num = 1;
    cinfo->scale_denom = ScaleDenominator(pic.info.jpegScale);

    if (pic.info.escape == -1) {
        jpeg_calc_output_dimensions(cinfo);
        pic.header.biWidth = LONG(cinfo->output_width);
        pic.header.biHeight = LONG(cinfo->output_height);
        jpeg_destroy_decompress(cinfo);
        return true;
    }

    // The library's buffers follow the stored size, not the scaled one.
    if (pic.ExceedsDecodeLimit(cinfo->image_width, cinfo->image_height)) {
        CopyText(pic.info.lastError, kPicDecodeLimitText);
        longjmp(job.err.jump, 1);
    }

#ifdef JCS_EXTENSIONS
    // libjpeg-turbo writes the DIB's blue-green-red order itself.
    bool bgr = cinfo->out_color_space == JCS_RGB && !cinfo->quantize_colors;
    if (bgr)
        cinfo->out_color_space = JCS_EXT_BGR;
#else
    bool bgr = false;
#endif

    jpeg_start_decompress(cinfo);

    const JDIMENSION width = cinfo->output_width, height = cinfo->output_height;
    const int components = cinfo->output_components;
    job.created = true;
    if (!pic.CreateForDecode(width, height, 8 * DWORD(components), PIC_FORMAT_JPG))
        longjmp(job.err.jump, 1);

    if (job.hasExif) {
        const tag_ExifInfo& ex = pic.exifInfo;
        if (ex.xResolution != 0 && ex.resolutionUnit != 0)
            pic.SetXDPI(PicDpiFromDouble(double(ex.xResolution) / ex.resolutionUnit));
        if (ex.yResolution != 0 && ex.resolutionUnit != 0)
            pic.SetYDPI(PicDpiFromDouble(double(ex.yResolution) / ex.resolutionUnit));
    } else if (cinfo->density_unit == 2) {
        pic.SetXDPI(LONG(std::floor(cinfo->X_density * 2.54 + 0.5)));
        pic.SetYDPI(LONG(std::floor(cinfo->Y_density * 2.54 + 0.5)));
    } else {
        pic.SetXDPI(cinfo->X_density);
        pic.SetYDPI(cinfo->Y_density);
    }

    // A quantised stream's pixels are indices into its colormap, grey or
    // colour, and the palette holds just the colours the library chose.
    if (cinfo->quantize_colors) {
        const int n = cinfo->actual_number_of_colors;
        JSAMPARRAY map = cinfo->colormap;
        if (n >= 1 && n <= 256)
            pic.TrimPalette(DWORD(n));
        if (cinfo->out_color_components >= 3)
            pic.SetPalette(DWORD(n), map[0], map[1], map[2]);
        else
            pic.SetPalette(DWORD(n), map[0], map[0], map[0]);
    } else if (cinfo->out_color_space == JCS_GRAYSCALE) {
        pic.SetGrayPalette();
    }

    const size_t stride = size_t(width) * size_t(components);
    const size_t eff = pic.info.effWidth;
    BYTE* const bits = pic.info.bits;
    const bool direct = components != 4 && stride <= eff;
    JSAMPARRAY sample = nullptr;
    if (!direct)
        sample = (*cinfo->mem->alloc_sarray)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, JDIMENSION(stride), 1);

    while (cinfo->output_scanline < height) {
        if (pic.info.escape)
            longjmp(job.err.jump, 2);
        const JDIMENSION y = cinfo->output_scanline;
        if (direct) {
            JSAMPROW rows[kRowBatch];
            JDIMENSION want = height - y < JDIMENSION(kRowBatch) ? height - y : JDIMENSION(kRowBatch);
            for (JDIMENSION i = 0; i < want; ++i)
                rows[i] = bits + size_t(height - 1 - y - i) * eff;
            JDIMENSION got = jpeg_read_scanlines(cinfo, rows, want);
            if (!bgr && components == 3 && !cinfo->quantize_colors) {
                for (JDIMENSION i = 0; i < got; ++i)
                    SwapRedBlue(rows[i], width);
            }
            continue;
        }
        jpeg_read_scanlines(cinfo, sample, 1);
        BYTE* dst = bits + size_t(height - 1 - y) * eff;
        const BYTE* s = sample[0];
        if (components == 4) {
            for (size_t x3 = 0, x4 = 0; x3 + 2 < eff && x4 + 3 < stride; x3 += 3, x4 += 4) {
                unsigned k = s[x4 + 3];
                dst[x3] = BYTE(s[x4 + 2] * k / 255);
                dst[x3 + 1] = BYTE(s[x4 + 1] * k / 255);
                dst[x3 + 2] = BYTE(s[x4] * k / 255);
            }
        } else {
            std::memcpy(dst, s, stride < eff ? stride : eff);
        }
    }

    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return true;
}

// ---- encoding ------------------------------------------------------------------

bool CPictureJPG::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    if (IsIndexed() && !IsGrayScale())
        return SetError("JPEG can save only RGB or GreyScale images");

    LONG pos = file->Tell();
    CJpegEncodeJob* job = new (std::nothrow) CJpegEncodeJob();
    if (!job)
        return SetError("CPicture::Create can't allocate memory");
    job->pic = this;
    job->file = file;
    bool ok = EncodeRun(*job);
    delete job;
    if (!ok)
        return false;

    if (exif && exifInfo.hasExif) {
        LONG end = file->Tell();
        exif->DiscardAllButExif();
        file->Seek(pos, SEEK_SET);
        exif->DecodeExif(file, CPicExifInfo::EXIF_READ_IMAGE);
        file->Seek(pos, SEEK_SET);
        if (!exif->EncodeExif(file)) {
            // A stream that cannot be read back keeps the plain encoding;
            // one whose rewrite failed half-way is damaged.
            if (std::strcmp(exif->GetLastError(), kExifWriteError) == 0)
                return SetError(kExifWriteError);
            file->Seek(end, SEEK_SET);
        }
    }
    return true;
}

bool CPictureJPG::EncodeRun(CJpegEncodeJob& job)
{
    CPictureJPG& pic = *job.pic;
    j_compress_ptr cinfo = &job.cinfo;
    SetupErrors(job.err, pic.info.lastError);
    cinfo->err = &job.err.pub;
    if (setjmp(job.err.jump)) {
        jpeg_destroy_compress(cinfo);
        return false;
    }

    jpeg_create_compress(cinfo);
    CPicFileJpg& io = job.io;
    io.file = job.file;
    io.buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kTransferBuffer));
    io.dest.init_destination = InitDestination;
    io.dest.empty_output_buffer = EmptyOutputBuffer;
    io.dest.term_destination = TermDestination;
    cinfo->dest = &io.dest;

    const DWORD width = pic.GetWidth(), height = pic.GetHeight();
    const WORD bpp = pic.GetBpp();
    const bool grey = pic.IsIndexed();
    cinfo->image_width = width;
    cinfo->image_height = height;
    cinfo->input_components = grey ? 1 : 3;
#ifdef JCS_EXTENSIONS
    const bool bgr = !grey;
    cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
#else
    const bool bgr = false;
    cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
#endif

    jpeg_set_defaults(cinfo);
    DWORD options = pic.GetCodecOption(PIC_FORMAT_JPG);
    if (options & JPEG_OPT_ARITHMETIC)
        cinfo->arith_code = TRUE;
    if (options & JPEG_OPT_OPTIMIZE)
        cinfo->optimize_coding = TRUE;
    if (options & JPEG_OPT_GREY_ENCODE)
        jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
    if (options & JPEG_OPT_SMOOTHING)
        cinfo->smoothing_factor = pic.smoothing < 0 ? 0 : (pic.smoothing > 100 ? 100 : int(pic.smoothing));
    jpeg_set_quality(cinfo, pic.info.jpegQuality, (options & JPEG_OPT_BASELINE) ? TRUE : FALSE);
    if (options & JPEG_OPT_PROGRESSIVE)
        jpeg_simple_progression(cinfo);

    cinfo->density_unit = 1;
    LONG xDpi = pic.GetXDPI(), yDpi = pic.GetYDPI();
    cinfo->X_density = UINT16(xDpi < 0 ? 0 : (xDpi > 65535 ? 65535 : xDpi));
    cinfo->Y_density = UINT16(yDpi < 0 ? 0 : (yDpi > 65535 ? 65535 : yDpi));

    jpeg_start_compress(cinfo, TRUE);

    // 8-bit grey and (with libjpeg-turbo) 24-bit rows go to the library as
    // they are; packed grey rows and RGB order need a row of their own.
    const bool direct = (grey && bpp == 8) || (!grey && bgr);
    JSAMPARRAY sample = nullptr;
    if (!direct)
        sample = (*cinfo->mem->alloc_sarray)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, JDIMENSION(pic.info.effWidth + width + 8), 1);

    while (cinfo->next_scanline < height) {
        BYTE* src = pic.GetBits(height - 1 - cinfo->next_scanline);
        JSAMPROW row = src;
        if (!direct) {
            row = sample[0];
            if (grey) {
                // 1- and 4-bit grey pictures: one byte per pixel, the index.
                for (DWORD x = 0; x < width; ++x) {
                    row[x] = bpp == 1 ? BYTE((src[x >> 3] >> (7 - (x & 7))) & 1)
                                      : BYTE((x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4));
                }
            } else {
                std::memcpy(row, src, pic.info.effWidth);
                SwapRedBlue(row, width);
            }
        }
        jpeg_write_scanlines(cinfo, &row, 1);
    }

    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}
