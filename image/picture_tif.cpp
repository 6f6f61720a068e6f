#include "image/picture_tif.h"

#include "image/checked_math.h"

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <tiffio.h>

namespace {

// No single allocation of libtiff for one of our handles may pass this.
const tmsize_t kMaxTiffAlloc = 256 * 1024 * 1024;
const char kCorrupted[] = "Corrupted TIFF file!";
const char kCreateFailed[] = "CPictureTIF can't create image";

// ---- glue ------------------------------------------------------------------------

// libtiff's offsets count from the TIFF header, which need not sit at the
// start of the stream: a codec reads and writes at the position it is called
// at. The handle's client data carries that base with the file.
struct TiffStream {
    CPicFile* file;
    LONG base;
};

CPicFile* FileOf(thandle_t h)
{
    return static_cast<TiffStream*>(h)->file;
}

tmsize_t TiffRead(thandle_t h, void* buffer, tmsize_t n)
{
    return n <= 0 ? 0 : tmsize_t(FileOf(h)->Read(buffer, 1, size_t(n)));
}

tmsize_t TiffWrite(thandle_t h, void* buffer, tmsize_t n)
{
    return n <= 0 ? 0 : tmsize_t(FileOf(h)->Write(buffer, 1, size_t(n)));
}

toff_t TiffSeek(thandle_t h, toff_t offset, int origin)
{
    if (offset == toff_t(-1))
        return toff_t(-1);
    const TiffStream* s = static_cast<TiffStream*>(h);
    // Absolute offsets count from the header and are never negative; relative
    // moves come as two's complement. Our files stay below 2^31.
    int64_t move = int64_t(offset);
    if (origin == SEEK_SET) {
        if (offset > kPicMaxBytes)
            return toff_t(-1);
        move += s->base;
    }
    if (move > int64_t(kPicMaxBytes) || move < -int64_t(kPicMaxBytes))
        return toff_t(-1);
    if (!s->file->Seek(LONG(move), origin))
        return toff_t(-1);
    if (origin == SEEK_SET)
        return offset;
    LONG at = s->file->Tell();
    return at < s->base ? toff_t(-1) : toff_t(at - s->base);
}

int TiffClose(thandle_t h)
{
    delete static_cast<TiffStream*>(h);
    return 0;
}

toff_t TiffSize(thandle_t h)
{
    const TiffStream* s = static_cast<TiffStream*>(h);
    LONG size = s->file->Size();
    return size < s->base ? 0 : toff_t(size - s->base);
}

int TiffMap(thandle_t, void**, toff_t*) { return 0; }

void TiffUnmap(thandle_t, void*, toff_t) { }

// libtiff's messages are not the picture's: they are dropped here rather than
// printed by the library's process-wide handler.
int TiffQuiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

BYTE LabChannel(double v)
{
    v = v <= 0.00304 ? 12.92 * v : 1.055 * std::pow(v, 0.41667) - 0.055;
    v *= 255;
    if (!(v > 0))
        return 0;
    return v >= 255 ? 255 : BYTE(v);
}

uint32_t Unpremultiply(uint32_t channel, uint32_t alpha)
{
    if (alpha == 0)
        return 0;
    uint32_t v = (channel * 255 + alpha / 2) / alpha;
    return v > 255 ? 255 : v;
}

} // namespace

TIFF* TiffClientOpenOverPicFile(const char* name, const char* mode, CPicFile* file)
{
    if (!file)
        return nullptr;
    const LONG base = file->Tell();
    if (base < 0)
        return nullptr;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TiffStream* stream = new (std::nothrow) TiffStream { file, base };
    if (!stream) {
        TIFFOpenOptionsFree(options);
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxTiffAlloc);
    TIFFOpenOptionsSetErrorHandlerExtR(options, TiffQuiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, TiffQuiet, nullptr);
    TIFF* handle = TIFFClientOpenExt(
        name, mode, stream, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize, TiffMap, TiffUnmap, options);
    TIFFOpenOptionsFree(options);
    // A failed open does not call the close procedure: the stream is ours to free.
    if (!handle)
        delete stream;
    return handle;
}

TIFF* TiffOpenPicFile(CPicFile* file, const char* mode) { return TiffClientOpenOverPicFile("TIFF IMAGE", mode, file); }

// ---- CPictureTIF -------------------------------------------------------------------

CPictureTIF::~CPictureTIF()
{
    if (tif)
        TIFFClose(tif);
}

TIFF* CPictureTIF::TIFFOpenEx(CPicFile* file) { return file ? TiffOpenPicFile(file, "r") : nullptr; }

void CPictureTIF::TIFFCloseEx(TIFF* handle)
{
    if (handle)
        TIFFClose(handle);
}

bool CPictureTIF::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPictureTIF::Encode(FILE* stream, bool append)
{
    CPicIOFile file(stream);
    return Encode(&file, append);
}

bool CPictureTIF::Encode(FILE* stream, CPicture** pictures, int count)
{
    CPicIOFile file(stream);
    return Encode(&file, pictures, count);
}

void CPictureTIF::TileToStrip(BYTE* out, const BYTE* in, DWORD rows, DWORD cols, DWORD outSkip, DWORD inSkip)
{
    for (DWORD r = 0; r < rows; ++r) {
        std::memcpy(out, in, cols);
        out += cols + outSkip;
        in += cols + inSkip;
    }
}

// ---- decoding ------------------------------------------------------------------------

bool CPictureTIF::Decode(CPicFile* file)
{
    TIFF* handle = TiffOpenPicFile(file, "r");
    if (!handle)
        return SetError("Error encountered while opening TIFF file");
    bool ok = DecodePage(handle);
    TIFFClose(handle);
    if (!ok && info.escape != -1)
        Destroy();
    return ok;
}

bool CPictureTIF::DecodePage(TIFF* handle)
{
    info.numFrames = LONG(TIFFNumberOfDirectories(handle));
    if (info.frame < 0 || info.frame > 0xFFFF || !TIFFSetDirectory(handle, tdir_t(info.frame)))
        return SetError("Error: page not present in TIFF file");

    uint32_t width = 0, height = 0;
    uint16_t samples = 1, bits = 1, photometric = 0, orientation = 1, planar = PLANARCONFIG_CONTIG;
    TIFFGetField(handle, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(handle, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(handle, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(handle, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(handle, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(handle, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetField(handle, TIFFTAG_PLANARCONFIG, &planar);

    if (info.escape == -1) {
        header.biWidth = LONG(width);
        header.biHeight = LONG(height);
        SetError("output dimensions returned");
        return true;
    }
    if (width == 0 || height == 0)
        return SetError(kCorrupted);
    if (ExceedsDecodeLimit(width, height))
        return SetError(kPicDecodeLimitText);

    // The codec's own rows take what it unpacks exactly; every other layout
    // (2-bit grey, 1- and 2-bit palettes, packed multi-sample pixels, planes)
    // goes through libtiff's RGBA reader. Grey with alpha at 16 bits is ours:
    // the reader drops the alpha of contiguous 16-bit grey.
    const bool grey = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK;
    const bool contiguous = planar == PLANARCONFIG_CONTIG || samples == 1;
    bool ownRows = contiguous
        && ((grey && samples == 1 && (bits == 1 || bits == 4 || bits == 8 || bits == 16))
            || (photometric == PHOTOMETRIC_PALETTE && samples == 1 && (bits == 4 || bits == 8))
            || (grey && samples == 2 && (bits == 8 || bits == 16))
            || (photometric == PHOTOMETRIC_CIELAB && (samples == 3 || samples == 4) && bits == 8));

    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(handle, TIFFTAG_RESOLUTIONUNIT, &unit);
    float resolution = 0;
    if (TIFFGetField(handle, TIFFTAG_XRESOLUTION, &resolution))
        SetXDPI(PicDpiFromDouble(unit == RESUNIT_CENTIMETER ? resolution * 2.54 + 0.5 : resolution));
    if (TIFFGetField(handle, TIFFTAG_YRESOLUTION, &resolution))
        SetYDPI(PicDpiFromDouble(unit == RESUNIT_CENTIMETER ? resolution * 2.54 + 0.5 : resolution));
    float position = 0;
    if (TIFFGetField(handle, TIFFTAG_XPOSITION, &position))
        info.xOffset = PicDpiFromDouble(position);
    if (TIFFGetField(handle, TIFFTAG_YPOSITION, &position))
        info.yOffset = PicDpiFromDouble(position);
    info.transIndex = -1;

    if (info.escape)
        return SetError("Cancelled");
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(handle, TIFFTAG_COMPRESSION, &compression);

    if (!ownRows) {
        char message[1024];
        if (!TIFFRGBAImageOK(handle, message))
            return SetError("Unsupported TIFF page layout");
        if (!CreateForDecode(width, height, 24, PIC_FORMAT_TIF, kCreateFailed))
            return false;
        SetCodecOption(compression, PIC_FORMAT_TIF);
        // RGB with a fourth sample, and grey with a second one, carry alpha.
        const bool withAlpha = samples == 4 || (grey && samples == 2);
        // The RGBA reader premultiplies unassociated alpha; calling it
        // associated makes the reader hand over the file's own colours.
        bool associated = false;
        uint16_t extraCount = 0;
        uint16_t* extraKinds = nullptr;
        if (withAlpha && TIFFGetField(handle, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds)
            && extraCount == 1 && extraKinds) {
            associated = extraKinds[0] == EXTRASAMPLE_ASSOCALPHA;
            if (extraKinds[0] == EXTRASAMPLE_UNASSALPHA) {
                uint16_t kind = EXTRASAMPLE_ASSOCALPHA;
                TIFFSetField(handle, TIFFTAG_EXTRASAMPLES, 1, &kind);
            }
        }
        if (!DecodeRgba(handle, width, height, withAlpha, associated))
            return false;
        // The reader mirrors and flips as orientations 1-4 say, and reads 5-8
        // as 1-4 without the quarter turn: undo its flips (each is its own
        // inverse) and turn as the tag says, so both routes agree.
        if (orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT) {
            Orient(WORD(orientation - 4));
            Orient(orientation);
        }
        return true;
    }

    const bool lab = photometric == PHOTOMETRIC_CIELAB;
    DWORD depth = lab ? 24 : ((grey && bits == 1) ? 1 : (bits == 4 ? 4 : 8));
    if (!CreateForDecode(width, height, depth, PIC_FORMAT_TIF, kCreateFailed))
        return false;
    SetCodecOption(compression, PIC_FORMAT_TIF);
    if ((samples == 2 || (lab && samples == 4)) && !AlphaCreate())
        return SetError("CPictureTIF can't allocate memory");

    // Palette: 2, 16 or 256 entries, built apart and set all at once.
    const DWORD colors = GetNumColors();
    std::unique_ptr<RGBQUAD[]> pal(colors ? new (std::nothrow) RGBQUAD[256]() : nullptr);
    if (colors && !pal)
        return SetError("Unable to allocate TIFF palette");
    auto put = [&pal](DWORD i, BYTE r, BYTE g, BYTE b) { pal[i] = RGBQUAD { b, g, r, 0 }; };
    if (grey && bits == 1) {
        DWORD white = photometric == PHOTOMETRIC_MINISBLACK ? 1 : 0;
        put(white, 255, 255, 255);
        put(1 - white, 0, 0, 0);
    } else if (grey) {
        const DWORD step = 255 / (colors - 1);
        for (DWORD i = 0; i < colors; ++i) {
            BYTE v = BYTE(photometric == PHOTOMETRIC_MINISBLACK ? i * step : 255 - i * step);
            put(i, v, v, v);
        }
    } else if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(handle, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
            return SetError(kCorrupted);
        const DWORD entries = DWORD(1) << bits; // 16 or 256: all fit the palette
        bool small = true;
        for (DWORD i = 0; i < entries; ++i)
            small = small && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        for (DWORD i = 0; i < entries && i < colors; ++i) {
            if (small)
                put(i, BYTE(red[i]), BYTE(green[i]), BYTE(blue[i]));
            else
                put(i, BYTE(red[i] * 255u / 65535u), BYTE(green[i] * 255u / 65535u), BYTE(blue[i] * 255u / 65535u));
        }
    }
    if (colors)
        SetPalette(pal.get(), colors);

    if (!DecodeRows(handle, width, height, samples, bits, photometric))
        return false;

    Orient(orientation);
    return true;
}

// Turns a page stored as the Orientation tag says into the picture as shown.
void CPictureTIF::Orient(WORD orientation)
{
    switch (orientation) {
    case ORIENTATION_TOPRIGHT:
        Mirror();
        break;
    case ORIENTATION_BOTRIGHT:
        Flip();
        Mirror();
        break;
    case ORIENTATION_BOTLEFT:
        Flip();
        break;
    case ORIENTATION_LEFTTOP:
        RotateRight();
        Mirror();
        break;
    case ORIENTATION_RIGHTTOP:
        // The first row is the right-hand column: a clockwise turn puts it
        // back (a counter-clockwise one would show the page upside down).
        RotateRight();
        break;
    case ORIENTATION_RIGHTBOT:
        RotateLeft();
        Mirror();
        break;
    case ORIENTATION_LEFTBOT:
        // The first row is the left-hand column, read upwards: a
        // counter-clockwise turn, for the same reason as above.
        RotateLeft();
        break;
    default:
        break;
    }
}

bool CPictureTIF::DecodeRgba(
    TIFF* handle, DWORD width, DWORD height, bool withAlphaSample, bool premultiplied)
{
    size_t bytes;
    uint64_t pixels = uint64_t(width) * height;
    if (!PicCheckedMulSize(pixels, 4, bytes))
        return SetError("No space for raster buffer");
    uint32_t* raster = static_cast<uint32_t*>(_TIFFmalloc(tmsize_t(bytes)));
    if (!raster)
        return SetError("No space for raster buffer");
    if (!TIFFReadRGBAImage(handle, width, height, raster, 1)) {
        _TIFFfree(raster);
        return SetError(kCorrupted);
    }
    // The raster starts at the bottom row, as the picture does.
    const bool withAlpha = withAlphaSample && AlphaCreate();
    for (DWORD r = 0; r < height; ++r) {
        if (info.escape) {
            _TIFFfree(raster);
            return SetError("Cancelled");
        }
        BYTE* dst = GetBits(r);
        const uint32_t* src = raster + size_t(r) * width;
        for (DWORD x = 0; x < width; ++x) {
            const uint32_t v = src[x];
            const uint32_t a = TIFFGetA(v);
            uint32_t red = TIFFGetR(v), green = TIFFGetG(v), blue = TIFFGetB(v);
            if (premultiplied && withAlpha && a < 255) {
                // The picture keeps straight colours beside its alpha plane.
                red = Unpremultiply(red, a);
                green = Unpremultiply(green, a);
                blue = Unpremultiply(blue, a);
            }
            dst[x * 3] = BYTE(blue);
            dst[x * 3 + 1] = BYTE(green);
            dst[x * 3 + 2] = BYTE(red);
            if (withAlpha)
                AlphaSet(LONG(x), LONG(r), BYTE(a));
        }
    }
    _TIFFfree(raster);
    return true;
}

bool CPictureTIF::DecodeRows(TIFF* handle, DWORD width, DWORD height, WORD samples, WORD bits, WORD photometric)
{
    const tmsize_t scanline = TIFFScanlineSize(handle);
    if (scanline <= 0)
        return SetError(kCorrupted);
    const bool tiled = TIFFIsTiled(handle) != 0;
    uint32_t bandRows = height, tileWidth = 0;
    tmsize_t bufferSize;
    if (tiled) {
        TIFFGetField(handle, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(handle, TIFFTAG_TILELENGTH, &bandRows);
        if (tileWidth == 0 || bandRows == 0 || TIFFTileSize(handle) <= 0)
            return SetError(kCorrupted);
        uint64_t band = uint64_t(scanline) * bandRows;
        if (band > uint64_t(kMaxTiffAlloc))
            return SetError("CPictureTIF can't allocate memory");
        bufferSize = tmsize_t(band);
    } else {
        TIFFGetFieldDefaulted(handle, TIFFTAG_ROWSPERSTRIP, &bandRows);
        if (bandRows == 0)
            bandRows = 1;
        if (bandRows > height)
            bandRows = height;
        bufferSize = TIFFStripSize(handle);
        if (bufferSize <= 0 || uint64_t(bufferSize) < uint64_t(scanline) * bandRows)
            return SetError(kCorrupted);
    }
    std::vector<BYTE> band, tile;
    band.resize(size_t(bufferSize));
    if (tiled)
        tile.resize(size_t(TIFFTileSize(handle)));

    const tmsize_t tileRow = tiled ? TIFFTileRowSize(handle) : 0;
    const DWORD bitsPerPixel = DWORD(samples) * bits;
    for (uint32_t y = 0; y < height; y += bandRows) {
        if (info.escape)
            return SetError("Cancelled");
        const uint32_t rows = height - y < bandRows ? height - y : bandRows;
        std::memset(band.data(), 0, band.size());
        if (tiled) {
            for (uint32_t x = 0; x < width; x += tileWidth) {
                if (TIFFReadTile(handle, tile.data(), x, y, 0, 0) < 0)
                    return SetError("Corrupted tiled TIFF file!");
                // Tile widths are multiples of 16 pixels, so columns start on bytes.
                const size_t offset = size_t(uint64_t(x) * bitsPerPixel / 8);
                size_t cols = size_t(tileRow);
                if (offset + cols > size_t(scanline))
                    cols = size_t(scanline) - offset;
                TileToStrip(band.data() + offset, tile.data(), rows, DWORD(cols), DWORD(size_t(scanline) - cols),
                    DWORD(size_t(tileRow) - cols));
            }
        } else {
            const tmsize_t want = tmsize_t(scanline) * rows;
            if (TIFFReadEncodedStrip(handle, TIFFComputeStrip(handle, y, 0), band.data(), want) < 0)
                return SetError(kCorrupted);
        }

        for (uint32_t i = 0; i < rows; ++i) {
            BYTE* src = band.data() + size_t(i) * size_t(scanline);
            const LONG py = LONG(height - 1 - (y + i));
            BYTE* dst = GetBits(DWORD(py));
            if (bits == 16) {
                // The high byte of each sample, in the host's order as libtiff hands them.
                for (DWORD s = 0; s < DWORD(width) * samples; ++s) {
                    uint16_t v;
                    std::memcpy(&v, src + s * 2, 2);
                    src[s] = BYTE(v >> 8);
                }
            }
            if (samples == 1) {
                size_t used = size_t((uint64_t(width) * (bits == 16 ? 8 : bits) + 7) / 8);
                std::memcpy(dst, src, used < GetEffWidth() ? used : GetEffWidth());
            } else if (samples == 2) {
                for (DWORD x = 0; x < width; ++x) {
                    dst[x] = src[x * 2];
                    AlphaSet(LONG(x), py, src[x * 2 + 1]);
                }
            } else if (photometric == PHOTOMETRIC_CIELAB) {
                for (DWORD x = 0; x < width; ++x) {
                    const BYTE* p = src + size_t(x) * samples;
                    double l = p[0] * 100.0 / 255.0;
                    double a = static_cast<signed char>(p[1]), b = static_cast<signed char>(p[2]);
                    double fy = (l + 16) / 116;
                    double fx = fy + a * 0.002, fz = fy - b * 0.005;
                    double X = 0.95047 * fx * fx * fx, Y = fy * fy * fy, Z = 1.0883 * fz * fz * fz;
                    dst[x * 3 + 2] = LabChannel(3.240479 * X - 1.53715 * Y - 0.498535 * Z);
                    dst[x * 3 + 1] = LabChannel(-0.969256 * X + 1.875992 * Y + 0.041556 * Z);
                    dst[x * 3] = LabChannel(0.055648 * X - 0.204043 * Y + 1.057311 * Z);
                    if (samples == 4)
                        AlphaSet(LONG(x), py, p[3]);
                }
            }
        }
    }
    return true;
}

// ---- encoding ------------------------------------------------------------------------

bool CPictureTIF::Encode(CPicFile* file, bool append)
{
    if (!file)
        return SetError("null file handler");
    if (!dibBlock)
        return SetError("null image!!!");
    if (!tif) {
        // Appending: at the start of a TIFF the page joins its directory
        // chain; where no header can be read (the end of the stream) a new
        // file begins; other bytes are refused.
        tif = TiffOpenPicFile(file, "a");
        if (!tif)
            return SetError("initialization fail");
    }
    const bool multipage = append || pages > 0;
    ++pages;
    if (!EncodeBody(tif, multipage, pages, pages)) {
        CloseWriter();
        return SetError("Error saving TIFF file");
    }
    if (append) {
        if (!TIFFWriteDirectory(tif)) {
            CloseWriter();
            return SetError("Error saving TIFF directory");
        }
        return true;
    }
    // TIFFClose writes the directory; a failed flush is a failed write.
    bool flushed = TIFFFlush(tif) != 0;
    CloseWriter();
    return flushed || SetError("Error saving TIFF file");
}

void CPictureTIF::CloseWriter()
{
    TIFFClose(tif);
    tif = nullptr;
    pages = 0;
}

bool CPictureTIF::Encode(CPicFile* file, CPicture** pictures, int count)
{
    if (!file)
        return SetError("invalid file pointer");
    if (!pictures || count <= 0)
        return SetError("multipage TIFF, no images!");
    CPictureTIF writer;
    for (int i = 0; i < count; ++i) {
        if (!pictures[i])
            return SetError("Bad image pointer");
        CPictureTIF page;
        page.Ghost(pictures[i]);
        page.tif = writer.tif;
        page.pages = writer.pages;
        bool ok = page.Encode(file, true);
        writer.tif = page.tif;
        writer.pages = page.pages;
        page.tif = nullptr;
        if (!ok)
            return SetError("Error saving TIFF file");
    }
    // Closing the writer's handle finishes the file.
    if (writer.tif) {
        bool flushed = TIFFFlush(writer.tif) != 0;
        TIFFClose(writer.tif);
        writer.tif = nullptr;
        if (!flushed)
            return SetError("Error saving TIFF file");
    }
    return true;
}

bool CPictureTIF::EncodeBody(TIFF* handle, bool multi, int page, int pageCount)
{
    const DWORD width = GetWidth(), height = GetHeight();
    const WORD bpp = GetBpp();
    uint16_t samples = bpp == 24 ? 3 : 1;
    if (bpp == 24 && AlphaIsValid())
        samples = 4;
    const bool greyAlpha = bpp == 8 && AlphaIsValid();
    if (greyAlpha)
        samples = 2;
    const uint16_t bitsPerSample = uint16_t(bpp == 24 ? 8 : bpp);

    uint16_t photometric;
    RGBQUAD* pal = GetPalette();
    if (bpp == 1) {
        // Min-is-white: entry 0 must be the lighter one (the picture changes to match).
        if (CompareColors(&pal[0], &pal[1]) < 0) {
            RGBQUAD t = pal[0];
            StorePaletteEntry(0, pal[1]);
            StorePaletteEntry(1, t);
            for (DWORD i = 0; i < header.biSizeImage; ++i)
                info.bits[i] = BYTE(~info.bits[i]);
        }
        photometric = PHOTOMETRIC_MINISWHITE;
    } else if (bpp == 4 || bpp == 8) {
        bool ramp = true;
        const DWORD step = bpp == 8 ? 1 : 17; // a 4-bit min-is-black page reads back as the 17-step ramp
        for (DWORD i = 0; i < GetNumColors() && ramp; ++i)
            ramp = pal[i].rgbRed == i * step && pal[i].rgbGreen == i * step && pal[i].rgbBlue == i * step;
        photometric = ramp ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
    } else {
        photometric = PHOTOMETRIC_RGB;
    }
    if (greyAlpha && photometric == PHOTOMETRIC_PALETTE)
        samples = 1; // palette pages carry no extra sample here; the alpha plane is dropped

    TIFFSetField(handle, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(handle, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(handle, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(handle, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
    TIFFSetField(handle, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(handle, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(handle, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    if (samples == 2 || samples == 4) {
        uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(handle, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    TIFFSetField(handle, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(handle, TIFFTAG_XRESOLUTION, float(info.xDpi));
    TIFFSetField(handle, TIFFTAG_YRESOLUTION, float(info.yDpi));
    if (multi) {
        char name[32];
        std::snprintf(name, sizeof(name), "Page %d", page);
        TIFFSetField(handle, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(handle, TIFFTAG_PAGENUMBER, uint16_t(page), uint16_t(pageCount));
        TIFFSetField(handle, TIFFTAG_PAGENAME, name);
    } else {
        TIFFSetField(handle, TIFFTAG_SUBFILETYPE, 0);
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t red[256] = {}, green[256] = {}, blue[256] = {};
        for (DWORD i = 0; i < GetNumColors(); ++i) {
            red[i] = uint16_t(pal[i].rgbRed * 65535u / 255u);
            green[i] = uint16_t(pal[i].rgbGreen * 65535u / 255u);
            blue[i] = uint16_t(pal[i].rgbBlue * 65535u / 255u);
        }
        TIFFSetField(handle, TIFFTAG_COLORMAP, red, green, blue);
    }

    uint16_t compression = uint16_t(GetCodecOption(PIC_FORMAT_TIF));
    if (!compression)
        compression = bpp == 1 ? COMPRESSION_CCITTFAX4 : (bpp == 24 ? COMPRESSION_JPEG : COMPRESSION_LZW);
    if (!TIFFIsCODECConfigured(compression))
        return false;
    TIFFSetField(handle, TIFFTAG_COMPRESSION, compression);
    uint32_t rowsPerStrip = TIFFDefaultStripSize(handle, uint32_t(-1));
    if (compression == COMPRESSION_LZW && bpp >= 8 && photometric != PHOTOMETRIC_PALETTE)
        TIFFSetField(handle, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (compression == COMPRESSION_JPEG) {
        TIFFSetField(handle, TIFFTAG_JPEGQUALITY, int(info.jpegQuality));
        rowsPerStrip = (rowsPerStrip + 7) / 8 * 8;
    }
    TIFFSetField(handle, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);

    size_t rowBytes;
    if (!PicCheckedMulSize(width, samples == 1 ? 1 : samples, rowBytes))
        return false;
    std::vector<BYTE> row(rowBytes > GetEffWidth() ? rowBytes : GetEffWidth());
    for (DWORD r = 0; r < height; ++r) {
        const LONG y = LONG(height - 1 - r);
        const BYTE* src = GetBits(DWORD(y));
        if (samples == 1) {
            std::memcpy(row.data(), src, GetEffWidth());
        } else if (samples == 2) {
            for (DWORD x = 0; x < width; ++x) {
                row[x * 2] = src[x];
                row[x * 2 + 1] = AlphaGet(LONG(x), y);
            }
        } else {
            for (DWORD x = 0; x < width; ++x) {
                BYTE* d = &row[size_t(x) * samples];
                d[0] = src[x * 3 + 2];
                d[1] = src[x * 3 + 1];
                d[2] = src[x * 3];
                if (samples == 4)
                    d[3] = AlphaGet(LONG(x), y);
            }
        }
        if (TIFFWriteScanline(handle, row.data(), r, 0) < 0)
            return false;
    }
    return true;
}
