#include "image/picture_png.h"

#include "image/checked_math.h"

#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

// libpng leaves through longjmp to the setjmp in DecodeRun or EncodeRun.
// The jobs below hold everything those functions keep across it; no object
// with a destructor lives in their frames.

namespace {

const char kSaveError[] = "Error saving PNG file";
const char kLayoutError[] = "Unsupported PNG pixel layout";

// Ancillary chunks (text, profiles) are not ours to keep: none may claim more.
const png_alloc_size_t kMaxChunkBytes = 8u * 1024 * 1024;
const png_uint_32 kMaxChunkCache = 1000;

} // namespace

struct CPngDecodeJob {
    CPicturePNG* pic;
    CPicFile* file;
    png_structp png;
    png_infop info;
    BYTE* rows; // one row, or the whole picture of an interlaced file
    bool created;
};

struct CPngEncodeJob {
    CPicturePNG* pic;
    CPicFile* file;
    png_structp png;
    png_infop info;
    BYTE* row;
};

namespace {

void PngReadData(png_structp png, png_bytep data, size_t length)
{
    CPicFile* file = static_cast<CPicFile*>(png_get_io_ptr(png));
    if (file->Read(data, 1, length) != length)
        png_error(png, "Read Error");
}

void PngWriteData(png_structp png, png_bytep data, size_t length)
{
    CPicFile* file = static_cast<CPicFile*>(png_get_io_ptr(png));
    if (file->Write(data, 1, length) != length)
        png_error(png, "Write Error");
}

void PngFlush(png_structp png)
{
    CPicFile* file = static_cast<CPicFile*>(png_get_io_ptr(png));
    if (!file->Flush())
        png_error(png, "Flush Error");
}

// The error pointer is the picture's lastError (256 characters).
void PngDecodeError(png_structp png, png_const_charp message)
{
    char* text = static_cast<char*>(png_get_error_ptr(png));
    std::strncpy(text, message ? message : "", 255);
    text[255] = '\0';
    png_longjmp(png, 1);
}

// Encoding failures all end as one text; libpng's own is not kept.
void PngEncodeError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void PngWarning(png_structp, png_const_charp) { }

} // namespace

bool CPicturePNG::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPicturePNG::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

void CPicturePNG::ExpandTwoBitRow(BYTE* row, DWORD width)
{
    for (DWORD i = width; i-- > 0;) {
        BYTE v = BYTE((row[i / 4] >> (6 - 2 * (i % 4))) & 3);
        BYTE& dst = row[i / 2];
        if (i % 2)
            dst = BYTE((dst & 0xF0) | v);
        else
            dst = BYTE((dst & 0x0F) | (v << 4));
    }
}

// ---- decoding ------------------------------------------------------------------

bool CPicturePNG::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");
    CPngDecodeJob job = {};
    job.pic = this;
    job.file = file;
    return DecodeRun(job);
}

bool CPicturePNG::DecodeRun(CPngDecodeJob& job)
{
    CPicturePNG& pic = *job.pic;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, pic.info.lastError, PngDecodeError, PngWarning);
    if (!job.png)
        return pic.SetError("Failed to create PNG structure");
    job.info = png_create_info_struct(job.png);
    if (!job.info) {
        png_destroy_read_struct(&job.png, nullptr, nullptr);
        return pic.SetError("Failed to initialize PNG info structure");
    }
    if (setjmp(png_jmpbuf(job.png))) {
        std::free(job.rows);
        job.rows = nullptr;
        png_destroy_read_struct(&job.png, &job.info, nullptr);
        if (job.created)
            pic.Destroy();
        return false;
    }
    png_structp png = job.png;
    png_infop info = job.info;
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxChunkCache);
    png_set_read_fn(png, job.file, PngReadData);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int pixelDepth = png_get_channels(png, info) * bitDepth;
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;

    if (pic.ExceedsDecodeLimit(width, height)) {
        pic.SetError(kPicDecodeLimitText);
        png_longjmp(png, 1);
    }

    // Colour with alpha keeps it in an alpha plane (8 and 16 bits), and so
    // does 16-bit grey with alpha; all else is composed over a background.
    const bool keepAlpha = colorType == PNG_COLOR_TYPE_RGB_ALPHA
        || (colorType == PNG_COLOR_TYPE_GRAY_ALPHA && bitDepth == 16);
    png_color_16p fileBackground = nullptr;
    const bool hasBackground = png_get_bKGD(png, info, &fileBackground) != 0 && fileBackground;
    if (!keepAlpha) {
        if (hasBackground) {
            png_set_background_fixed(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, PNG_FP_1);
        } else {
            png_color_16 grey = { 0, 192, 192, 192, 192 };
            // Grey rows below 8 bits keep their depth: so must the grey,
            // or its high bits spill into the neighbouring pixels.
            if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
                grey.gray = png_uint_16((192 * ((1 << bitDepth) - 1) + 127) / 255);
            png_set_background_fixed(png, &grey, PNG_BACKGROUND_GAMMA_SCREEN, 0, PNG_FP_1);
        }
    } else if (hasBackground) {
        RGBQUAD c = { BYTE(fileBackground->blue), BYTE(fileBackground->green), BYTE(fileBackground->red), 0 };
        pic.info.transColor = c;
    }
    if (bitDepth == 16)
        png_set_strip_16(png);

    DWORD depth = pixelDepth > 16 ? 24 : (pixelDepth == 16 ? 8 : DWORD(pixelDepth));
    job.created = true;
    if (!pic.CreateForDecode(width, height, depth, PIC_FORMAT_PNG))
        png_longjmp(png, 1);

    png_uint_32 xRes = 0, yRes = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xRes, &yRes, &unit)) {
        if (unit == PNG_RESOLUTION_UNKNOWN) {
            pic.SetXDPI(PicDpiFromDouble(xRes));
            pic.SetYDPI(PicDpiFromDouble(yRes));
        } else if (unit == PNG_RESOLUTION_METER) {
            pic.SetXDPI(PicDpiFromDouble(std::floor(xRes * 0.0254 + 0.5)));
            pic.SetYDPI(PicDpiFromDouble(std::floor(yRes * 0.0254 + 0.5)));
        }
    }

    png_colorp palette = nullptr;
    int paletteEntries = 0;
    if (png_get_PLTE(png, info, &palette, &paletteEntries) && paletteEntries > 0 && pic.GetNumColors()) {
        for (int i = 0; i < paletteEntries && DWORD(i) < pic.GetNumColors(); ++i)
            pic.SetPaletteColor(BYTE(i), palette[i].red, palette[i].green, palette[i].blue);
    } else if (bitDepth == 2) {
        for (int i = 0; i < 4; ++i)
            pic.SetPaletteColor(BYTE(i), BYTE(i * 0x55), BYTE(i * 0x55), BYTE(i * 0x55));
    } else {
        pic.SetGrayPalette();
    }

    // Transparency entries are palette alpha only in palette files; a grey
    // or colour tRNS names one colour, composed over the background above.
    png_bytep trans = nullptr;
    int transCount = 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE && png_get_tRNS(png, info, &trans, &transCount, nullptr)
        && transCount > 0 && trans) {
        RGBQUAD* pal = pic.GetPalette();
        DWORD colors = pic.GetNumColors();
        DWORD withAlpha = DWORD(transCount) < colors ? DWORD(transCount) : colors;
        for (DWORD i = 0; i < withAlpha; ++i) {
            RGBQUAD c = pal[i];
            c.rgbReserved = trans[i];
            pic.SetPaletteColor(BYTE(i), c);
        }
        if (transCount == 1 && pal[0].rgbReserved == 0) {
            pic.info.transIndex = 0;
        } else {
            pic.info.alphaPaletteEnabled = true;
            for (DWORD i = withAlpha; i < colors; ++i) {
                RGBQUAD c = pal[i];
                c.rgbReserved = 255;
                pic.SetPaletteColor(BYTE(i), c);
            }
        }
    }

    if (keepAlpha) {
        if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
            png_set_gray_to_rgb(png);
            png_set_expand(png);
        }
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        if (!pic.AlphaCreate()) {
            pic.SetError("CPicture::Create can't allocate memory");
            png_longjmp(png, 1);
        }
    }
    if (colorType & PNG_COLOR_MASK_COLOR)
        png_set_bgr(png);

    if (pic.info.escape)
        png_longjmp(png, 2);

    const int passes = png_set_interlace_handling(png);
    pic.SetCodecOption(passes > 1 ? 1 : 0, PIC_FORMAT_PNG);
    png_read_update_info(png, info);

    // The rows as the library now delivers them must be what the picture holds.
    const size_t rowBytes = png_get_rowbytes(png, info);
    const int outBits = png_get_channels(png, info) * png_get_bit_depth(png, info);
    const bool layoutOk = keepAlpha ? outBits == 32 && rowBytes == size_t(width) * 4
                                    : outBits == pixelDepth || (pixelDepth > 8 && outBits == int(depth));
    if (!layoutOk) {
        pic.SetError(kLayoutError);
        png_longjmp(png, 1);
    }

    // A 2-bit row is widened to 4 bits in place: the buffer holds the wider row.
    const size_t eff = pic.info.effWidth;
    const size_t bufferRow = rowBytes > eff ? rowBytes : eff;
    size_t bufferBytes = bufferRow;
    if (interlaced && !PicCheckedMulSize(bufferRow, height, bufferBytes)) {
        pic.SetError(kPicDecodeLimitText);
        png_longjmp(png, 1);
    }
    job.rows = static_cast<BYTE*>(std::calloc(1, bufferBytes));
    if (!job.rows) {
        pic.SetError("CPicture::Create can't allocate memory");
        png_longjmp(png, 1);
    }

    // Picture row y counts from the bottom; file row r = height - 1 - y.
    auto store = [&pic, width, height, keepAlpha, bitDepth, rowBytes, eff](BYTE* src, png_uint_32 r) {
        LONG y = LONG(height - 1 - r);
        BYTE* dst = pic.GetBits(DWORD(y));
        if (keepAlpha) {
            for (png_uint_32 x = 0; x < width; ++x) {
                dst[x * 3] = src[x * 4];
                dst[x * 3 + 1] = src[x * 4 + 1];
                dst[x * 3 + 2] = src[x * 4 + 2];
                pic.AlphaSet(LONG(x), y, src[x * 4 + 3]);
            }
        } else if (bitDepth == 2) {
            ExpandTwoBitRow(src, width);
            std::memcpy(dst, src, eff);
        } else {
            std::memcpy(dst, src, rowBytes < eff ? rowBytes : eff);
        }
    };

    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 r = 0; r < height; ++r) {
            if (pic.info.escape)
                png_longjmp(png, 2);
            BYTE* row = interlaced ? job.rows + size_t(r) * bufferRow : job.rows;
            png_read_row(png, row, nullptr);
            if (!interlaced)
                store(row, r);
        }
    }
    if (interlaced) {
        for (png_uint_32 r = 0; r < height; ++r)
            store(job.rows + size_t(r) * bufferRow, r);
    }

    std::free(job.rows);
    job.rows = nullptr;
    png_read_end(png, nullptr);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    return true;
}

// ---- encoding ------------------------------------------------------------------

bool CPicturePNG::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    CPngEncodeJob job = {};
    job.pic = this;
    job.file = file;
    return EncodeRun(job);
}

bool CPicturePNG::EncodeRun(CPngEncodeJob& job)
{
    CPicturePNG& pic = *job.pic;
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngEncodeError, PngWarning);
    if (!job.png)
        return pic.SetError("Failed to create PNG structure");
    job.info = png_create_info_struct(job.png);
    if (!job.info) {
        png_destroy_write_struct(&job.png, nullptr);
        return pic.SetError("Failed to initialize PNG info structure");
    }
    if (setjmp(png_jmpbuf(job.png))) {
        std::free(job.row);
        job.row = nullptr;
        png_destroy_write_struct(&job.png, &job.info);
        return pic.SetError(kSaveError);
    }
    png_structp png = job.png;
    png_infop info = job.info;
    png_set_write_fn(png, job.file, PngWriteData, PngFlush);

    const DWORD width = pic.GetWidth(), height = pic.GetHeight();
    const int bpp = pic.GetBpp();
    const int interlace = pic.GetCodecOption(PIC_FORMAT_PNG) == 1 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    const bool indexed = pic.IsIndexed();
    // A transparent colour of a true-colour picture is written as alpha 0.
    const bool transColour = !indexed && pic.info.transIndex >= 0;
    const bool withAlpha = pic.AlphaIsValid() || transColour;

    png_color_16 background = { 0, 255, 255, 255, 255 };
    if (pic.info.transIndex != -1) {
        RGBQUAD t = pic.GetTransColor();
        background.red = t.rgbRed;
        background.green = t.rgbGreen;
        background.blue = t.rgbBlue;
    }
    png_set_pHYs(png, info, png_uint_32(pic.header.biXPelsPerMeter), png_uint_32(pic.header.biYPelsPerMeter),
        PNG_RESOLUTION_METER);

    if (indexed && !withAlpha) {
        png_set_IHDR(png, info, width, height, bpp, PNG_COLOR_TYPE_PALETTE, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
            PNG_FILTER_TYPE_DEFAULT);
        BYTE transparent = 0;
        bool oneTransparent = false;
        if (pic.info.transIndex != -1) {
            // The transparent colour moves to index 0, in the picture itself.
            if (pic.info.transIndex != 0) {
                pic.SwapIndex(0, BYTE(pic.info.transIndex));
                pic.info.transIndex = 0;
                if (pic.info.ghostOf)
                    pic.info.ghostOf->SetTransIndex(0);
            }
            oneTransparent = true;
        }
        DWORD colors = pic.GetNumColors();
        if (colors > 2 && uint64_t(width) * height < 65536) {
            BYTE highest = 0;
            for (DWORD y = 0; y < height; ++y)
                for (DWORD x = 0; x < width; ++x) {
                    BYTE i = pic.GetPixelIndex(LONG(x), LONG(y));
                    if (i > highest)
                        highest = i;
                }
            colors = DWORD(highest) + 1;
        }
        png_color plte[256];
        png_byte alphas[256];
        for (DWORD i = 0; i < colors; ++i) {
            const RGBQUAD c = pic.GetPaletteColor(BYTE(i));
            plte[i].red = c.rgbRed;
            plte[i].green = c.rgbGreen;
            plte[i].blue = c.rgbBlue;
            alphas[i] = c.rgbReserved;
        }
        png_set_PLTE(png, info, plte, int(colors));
        if (pic.info.alphaPaletteEnabled)
            png_set_tRNS(png, info, alphas, int(colors), nullptr);
        else if (oneTransparent)
            png_set_tRNS(png, info, &transparent, 1, nullptr);
        // A palette file's background is an index: the transparent entry, or white's nearest.
        background.index = oneTransparent ? 0 : pic.GetNearestIndex(pic.RGBtoRGBQUAD(RGB(255, 255, 255)));
        if (background.index >= colors)
            background.index = 0;
        png_set_bKGD(png, info, &background);
        png_write_info(png, info);
    } else {
        png_set_IHDR(png, info, width, height, 8, withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
            interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_bKGD(png, info, &background);
        png_write_info(png, info);
    }

    const int passes = png_set_interlace_handling(png);
    if (withAlpha) {
        size_t bytes;
        if (!PicCheckedMulSize(width, 4, bytes))
            png_error(png, "row too large");
        job.row = static_cast<BYTE*>(std::malloc(bytes));
        if (!job.row)
            png_error(png, "out of memory");
        const RGBQUAD trans = pic.GetTransColor();
        for (int pass = 0; pass < passes; ++pass) {
            for (DWORD r = 0; r < height; ++r) {
                LONG y = LONG(height - 1 - r);
                for (DWORD x = 0; x < width; ++x) {
                    RGBQUAD c = pic.GetPixelColor(LONG(x), y, true);
                    BYTE a = pic.AlphaIsValid() ? BYTE(pic.AlphaGet(LONG(x), y) * pic.info.alphaMax / 255) : 255;
                    if (transColour && c.rgbRed == trans.rgbRed && c.rgbGreen == trans.rgbGreen
                        && c.rgbBlue == trans.rgbBlue)
                        a = 0;
                    job.row[x * 4] = c.rgbRed;
                    job.row[x * 4 + 1] = c.rgbGreen;
                    job.row[x * 4 + 2] = c.rgbBlue;
                    job.row[x * 4 + 3] = a;
                }
                png_write_row(png, job.row);
            }
        }
    } else {
        // libpng transforms a copy: the picture's rows go in as they are.
        if (!indexed)
            png_set_bgr(png);
        for (int pass = 0; pass < passes; ++pass)
            for (DWORD r = 0; r < height; ++r)
                png_write_row(png, pic.GetBits(height - 1 - r));
    }

    std::free(job.row);
    job.row = nullptr;
    png_write_end(png, info);
    png_destroy_write_struct(&job.png, &job.info);
    return true;
}
