#include "image/picture_gif.h"

#include "image/byteorder.h"
#include "image/checked_math.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Where the next line of a frame goes: a row of the picture, counted bottom-up.
struct CImageIterator {
    CPicture* picture;
    LONG row;
};

namespace {

const char kWriteError[] = "Write Error in GIF file";

int TableBpp(int entries)
{
    return entries <= 2 ? 1 : (entries <= 16 ? 4 : 8);
}

bool ReadScreen(CPicFile* file, tag_dscgif& s)
{
    BYTE raw[13];
    if (!PicReadExact(file, raw, sizeof(raw)))
        return false;
    std::memcpy(s.header, raw, 6);
    s.scrwidth = PicGetU16(raw + 6);
    s.scrheight = PicGetU16(raw + 8);
    s.pflds = raw[10];
    s.bcindx = raw[11];
    s.pxasrat = raw[12];
    return true;
}

bool ReadImageDescriptor(CPicFile* file, tag_image& d)
{
    BYTE raw[9];
    if (!PicReadExact(file, raw, sizeof(raw)))
        return false;
    d.l = PicGetU16(raw);
    d.t = PicGetU16(raw + 2);
    d.w = PicGetU16(raw + 4);
    d.h = PicGetU16(raw + 6);
    d.pf = raw[8];
    return true;
}

bool ReadColorTable(CPicFile* file, tag_TabCol& table, int entries)
{
    BYTE raw[768];
    size_t n = size_t(entries) * 3;
    if (!PicReadExact(file, raw, n))
        return false;
    table.sogct = short(entries);
    for (int i = 0; i < entries; ++i) {
        table.paleta[i].r = raw[i * 3];
        table.paleta[i].g = raw[i * 3 + 1];
        table.paleta[i].b = raw[i * 3 + 2];
    }
    return true;
}

// Frames outside the logical screen, or of no pixels, are not pictures we can show.
bool FrameFits(const tag_image& d, const tag_dscgif& s)
{
    return d.w != 0 && d.h != 0 && DWORD(d.l) + d.w <= s.scrwidth && DWORD(d.t) + d.h <= s.scrheight;
}

} // namespace

CPictureGIF::CPictureGIF()
    : CPicture(PIC_FORMAT_GIF)
{
    std::memset(&graphicControl, 0, sizeof(graphicControl));
    interlaced = interlaceRow = interlaceStep = interlaceHeight = interlacePass = 0;
    codeWidth = clearCode = endCode = firstFreeCode = codeLimit = nextCode = 0;
    blockBytesLeft = bitsLeft = 0;
    codeBits = 0;
    blockEnded = inputEnded = false;
    blockPos = blockBuffer;
    pixelX = pixelY = 0;
    pixelsLeft = 0;
    bitAccum = 0;
    bitCount = 0;
    outWidth = maxCode = freeCode = clearPending = startWidth = 0;
    outFile = nullptr;
    outClearCode = outEndCode = 0;
    blockLength = 0;
    writeFailed = false;
    comment[0] = '\0';
    loops = 0;
    disposalMethod = 0;
}

CPictureGIF::CPictureGIF(const CPictureGIF& src)
    : CPictureGIF()
{
    Copy(src, true, true, true);
    CopyGifFields(src);
}

CPictureGIF& CPictureGIF::operator=(const CPictureGIF& src)
{
    if (this != &src) {
        CPicture::operator=(src);
        CopyGifFields(src);
    }
    return *this;
}

CPictureGIF::~CPictureGIF()
{
}

// The tables are scratch space of one call; only the options travel.
void CPictureGIF::CopyGifFields(const CPictureGIF& src)
{
    graphicControl = src.graphicControl;
    std::memcpy(comment, src.comment, sizeof(comment));
    loops = src.loops;
    disposalMethod = src.disposalMethod;
}

bool CPictureGIF::Decode(FILE* stream)
{
    CPicIOFile file(stream);
    return Decode(&file);
}

bool CPictureGIF::Encode(FILE* stream)
{
    CPicIOFile file(stream);
    return Encode(&file);
}

bool CPictureGIF::Encode(FILE* stream, CPicture** pictures, int count, bool localTables)
{
    CPicIOFile file(stream);
    return Encode(&file, pictures, count, localTables);
}

void CPictureGIF::SetComment(const char* text)
{
    if (!text)
        return;
    std::strncpy(comment, text, 255);
    comment[255] = '\0';
}

void CPictureGIF::GetComment(char* text) const
{
    if (!text)
        return;
    size_t n = strnlen(comment, 255);
    std::memcpy(text, comment, n);
    if (n < 255)
        text[n] = '\0';
}

// ---- reading ---------------------------------------------------------------

bool CPictureGIF::CreateChecked(CPicture& target, DWORD width, DWORD height, DWORD bpp)
{
    if (ExceedsDecodeLimit(width, height))
        return SetError(kPicDecodeLimitText);
    if (!target.Create(width, height, bpp, PIC_FORMAT_GIF)) {
        std::string text = target.GetLastError();
        return SetError(text.c_str());
    }
    return true;
}

bool CPictureGIF::Decode(CPicFile* file)
{
    if (!file)
        return SetError("null file handler");

    tag_dscgif screen;
    if (!ReadScreen(file, screen) || std::memcmp(screen.header, "GIF8", 4) != 0)
        return SetError("Not a GIF");

    if (info.escape == -1) {
        header.biWidth = screen.scrwidth;
        header.biHeight = screen.scrheight;
        return true;
    }

    // Each decode starts from what the file says, not from the caller's leftovers.
    std::memset(&graphicControl, 0, sizeof(graphicControl));
    info.transIndex = -1;
    info.frameDelay = 0;
    disposalMethod = 0;
    loops = 0;
    comment[0] = '\0';

    tag_TabCol global;
    global.colres = short(((screen.pflds >> 4) & 7) + 1);
    global.sogct = short(1 << ((screen.pflds & 7) + 1));
    std::memset(global.paleta, 0, sizeof(global.paleta));
    bool globalTable = (screen.pflds & 0x80) != 0;
    if (globalTable && !ReadColorTable(file, global, global.sogct))
        return SetError("GIF: truncated colour table");

    // Files without a global table whose first frame leaves part of the
    // screen uncovered are tiled true-colour pictures: compose them all.
    int composite = globalTable ? 0 : 1;

    info.numFrames = get_num_frames(file, screen);
    if (info.frame < 0 || info.frame >= info.numFrames)
        return SetError("GIF: no such frame");
    if (info.numFrames == 1)
        composite = 0;

    CPicture framePic;
    RGBQUAD framePalette[256];
    std::memset(framePalette, 0, sizeof(framePalette));
    LONG target = info.frame;
    LONG index = 0;
    LONG backgroundIndex = -1;
    BYTE backgroundFill = 0;
    int previousDisposal = 0;
    tag_image previousRect = { 0, 0, 0, 0, 0 };
    bool prevZero = true;
    bool reached = false;
    // The most colours a composed frame's table (or the transparent index) needs.
    int colorsNeeded = 2;

    auto fail = [&](const char* text) {
        std::string kept = text;
        Destroy();
        return SetError(kept.c_str());
    };

    for (;;) {
        LONG b = get_byte(file);
        if (b < 0)
            break;
        if (info.escape > 0)
            return fail("Cancelled");
        if (b != 0 && !prevZero)
            continue;
        if (b == '!') {
            if (!DecodeExtension(file))
                break;
            continue;
        }
        if (b == ';')
            break;
        if (b != ',') {
            prevZero = (b == 0);
            continue;
        }

        tag_image d;
        if (!ReadImageDescriptor(file, d))
            break;
        tag_TabCol local;
        const tag_TabCol* table = &global;
        bool haveTable = globalTable;
        if (d.pf & 0x80) {
            if (!ReadColorTable(file, local, 1 << ((d.pf & 7) + 1)))
                break;
            table = &local;
            haveTable = true;
        }
        if (!FrameFits(d, screen)) {
            // Counted by neither pass: step over its data.
            get_byte(file);
            if (!SkipSubBlocks(file))
                break;
            continue;
        }

        if (index == 0) {
            if (d.l != 0 || d.t != 0 || d.w != screen.scrwidth || d.h != screen.scrheight)
                ++composite;
            if (composite >= 2) {
                target = info.numFrames - 1;
                info.frame = target;
                if (!CreateChecked(*this, screen.scrwidth, screen.scrheight, 24))
                    return fail(GetLastError());
            } else {
                if (!CreateChecked(*this, screen.scrwidth, screen.scrheight, 8))
                    return fail(GetLastError());
                backgroundFill = graphicControl.transpcolindex;
                Clear(backgroundFill);
                backgroundIndex = info.transIndex;
            }
        }

        int entries = table->sogct;
        if (!CreateChecked(framePic, d.w, d.h, DWORD(TableBpp(entries))))
            return fail(GetLastError());
        std::memset(framePalette, 0, sizeof(framePalette));
        if (haveTable) {
            BYTE r[256], g[256], bl[256];
            for (int i = 0; i < 256; ++i) {
                bool fromTable = i < entries;
                r[i] = fromTable ? table->paleta[i].r : 255;
                g[i] = fromTable ? table->paleta[i].g : 255;
                bl[i] = fromTable ? table->paleta[i].b : 255;
            }
            DWORD count = (info.transIndex != -1 && entries < 256) ? 256 : DWORD(entries);
            framePic.SetPalette(count, r, g, bl);
            for (DWORD i = 0; i < count; ++i) {
                framePalette[i].rgbRed = r[i];
                framePalette[i].rgbGreen = g[i];
                framePalette[i].rgbBlue = bl[i];
            }
        }

        interlaced = (d.pf & 0x40) != 0;
        interlaceRow = 0;
        interlaceStep = 8;
        interlaceHeight = d.h;
        interlacePass = 0;
        CImageIterator it = { &framePic, LONG(d.h) - 1 };
        blockEnded = inputEnded = false;
        const LONG start = file->Tell();
        int badCodes = 0;
        const short result = decoder(file, &it, d.w, badCodes);
        // Data cut short keeps the rows that came; a frame that could not be
        // decoded at all is no picture.
        if (result == kBadCodeSize)
            return fail("GIF: bad LZW minimum code size");
        if (result == kNoMemory)
            return fail("GIF: can't allocate memory");
        FinishFrameData(file, start, badCodes);

        if (info.escape)
            return fail("Cancelled");

        if (composite >= 2) {
            LONG sh = screen.scrheight;
            for (LONG y = 0; y < d.h; ++y)
                for (LONG x = 0; x < d.w; ++x)
                    SetPixelColor(d.l + x, sh - d.t - y - 1, framePic.GetPixelColor(x, d.h - 1 - y, false));
        } else {
            // Disposal 2 gives the previous frame's area back to the background.
            if (index > 0 && previousDisposal == 2) {
                for (LONG y = 0; y < previousRect.h; ++y)
                    for (LONG x = 0; x < previousRect.w; ++x)
                        SetPixelIndex(previousRect.l + x, LONG(screen.scrheight) - previousRect.t - y - 1,
                            backgroundFill);
            }
            GifMix(framePic, d);
            colorsNeeded = std::max(colorsNeeded, entries);
            if (index == 0 && backgroundIndex >= 0)
                colorsNeeded = std::max(colorsNeeded, int(backgroundIndex) + 1);
        }
        previousDisposal = (graphicControl.flags >> 2) & 7;
        previousRect = d;

        if (index == target) {
            reached = true;
            break;
        }
        ++index;
        // A graphic control block governs the one frame that follows it.
        std::memset(&graphicControl, 0, sizeof(graphicControl));
        info.transIndex = -1;
    }

    if (!reached)
        return fail("GIF: frame data missing");

    if (composite >= 2) {
        if (graphicControl.flags & 1) {
            SetTransColor(framePalette[graphicControl.transpcolindex]);
            info.transIndex = 0;
        }
        return true;
    }
    // The frames were composed on 8 bits; the picture takes the depth its
    // largest table needs, so that no frame's indices are cut.
    const DWORD depth = DWORD(TableBpp(colorsNeeded));
    if (depth < 8) {
        CPicture composed;
        composed.Transfer(*this);
        CopyInfo(composed);
        if (!CreateChecked(*this, composed.GetWidth(), composed.GetHeight(), depth))
            return fail(GetLastError());
        const BYTE mask = BYTE((1u << depth) - 1);
        for (LONG y = 0; y < LONG(GetHeight()); ++y)
            for (LONG x = 0; x < LONG(GetWidth()); ++x)
                SetPixelIndex(x, y, BYTE(composed.GetPixelIndex(x, y) & mask));
    }
    SetPalette(framePalette, framePic.GetNumColors());
    info.transIndex = backgroundIndex;
    return true;
}

bool CPictureGIF::DecodeExtension(CPicFile* file)
{
    int label = get_byte(file);
    if (label < 0)
        return false;
    bool ok = true;
    // A size byte of 0 where a sub-block may start is the extension's terminator.
    bool ended = false;
    if (label == 0xF9) {
        BYTE raw[4];
        int size = get_byte(file);
        ended = size == 0;
        ok = ended || (size == 4 && PicReadExact(file, raw, 4));
        if (ok && !ended) {
            graphicControl.flags = raw[0];
            graphicControl.delay = PicGetU16(raw + 1);
            graphicControl.transpcolindex = raw[3];
            if (graphicControl.flags & 1)
                info.transIndex = graphicControl.transpcolindex;
            info.frameDelay = graphicControl.delay;
            disposalMethod = (graphicControl.flags >> 2) & 7;
        }
    } else if (label == 0xFE) {
        int size = get_byte(file);
        ended = size == 0;
        ok = size >= 0 && PicReadExact(file, comment, size_t(size));
        comment[ok ? size : 0] = '\0';
    } else if (label == 0xFF) {
        char ident[11] = {};
        BYTE block[256];
        int size = get_byte(file);
        ended = size == 0;
        ok = ended || (size == 11 && PicReadExact(file, ident, sizeof(ident)));
        int dataSize = ok && !ended ? get_byte(file) : -1;
        if (dataSize == 0)
            ended = true;
        ok = ok && (ended || (dataSize > 0 && PicReadExact(file, block, size_t(dataSize))));
        // Only the looping block carries a repeat count.
        bool looping
            = std::memcmp(ident, "NETSCAPE2.0", 11) == 0 || std::memcmp(ident, "ANIMEXTS1.0", 11) == 0;
        if (ok && !ended && looping && dataSize > 2 && block[0] == 1)
            loops = block[2] * 256 + block[1];
    }
    if (ok && !ended)
        SkipSubBlocks(file);
    return ok;
}

// Re-synchronises on the next image descriptor at or after `position`: a ','
// that follows a 0 byte. The file is left on the ','.
long CPictureGIF::seek_next_image(CPicFile* file, long position)
{
    if (!file->Seek(position, SEEK_SET))
        return -1;
    bool prevZero = false;
    for (;;) {
        LONG c = file->GetC();
        if (c < 0)
            return -1;
        if (c == ',' && prevZero)
            break;
        prevZero = c == 0;
    }
    file->Seek(-1, SEEK_CUR);
    return file->Tell();
}

// Damaged codes may sit in a damaged chain of sub-blocks: the next image
// descriptor is searched for instead of walking the chain. Sound data is
// walked to its terminator, past anything after the end code.
void CPictureGIF::FinishFrameData(CPicFile* file, LONG start, int badCodes)
{
    if (badCodes > 0)
        seek_next_image(file, start);
    else if (!blockEnded && !inputEnded)
        SkipSubBlocks(file);
}

bool CPictureGIF::SkipSubBlocks(CPicFile* file)
{
    for (;;) {
        int size = get_byte(file);
        if (size < 0)
            return false;
        if (size == 0)
            return true;
        if (!file->Seek(size, SEEK_CUR))
            return false;
    }
}

int CPictureGIF::get_byte(CPicFile* file)
{
    LONG c = file->GetC();
    return c < 0 ? -1 : int(c & 0xFF);
}

void CPictureGIF::init_exp(short size)
{
    codeWidth = short(size + 1);
    codeLimit = short(1 << codeWidth);
    clearCode = short(1 << size);
    endCode = short(clearCode + 1);
    nextCode = firstFreeCode = short(endCode + 1);
    blockBytesLeft = bitsLeft = 0;
    codeBits = 0;
    blockEnded = inputEnded = false;
    blockPos = blockBuffer;
    std::memset(stringStack, 0, sizeof(stringStack));
    std::memset(codeSuffix, 0, sizeof(codeSuffix));
    std::memset(codePrefix, 0, sizeof(codePrefix));
}

// Codes are packed least significant bit first across the data sub-blocks;
// the zero-length block reads as the end code.
short CPictureGIF::get_next_code(CPicFile* file)
{
    while (bitsLeft < codeWidth) {
        if (blockBytesLeft <= 0) {
            if (blockEnded)
                return endCode;
            if (inputEnded)
                return -1;
            int size = get_byte(file);
            if (size < 0) {
                inputEnded = true;
                return -1;
            }
            if (size == 0) {
                blockEnded = true;
                return endCode;
            }
            size_t got = file->Read(blockBuffer, 1, size_t(size));
            if (got < size_t(size))
                inputEnded = true; // use what came, then stop
            if (got == 0)
                return -1;
            blockPos = blockBuffer;
            blockBytesLeft = short(got);
        }
        codeBits |= DWORD(*blockPos++) << bitsLeft;
        bitsLeft = short(bitsLeft + 8);
        --blockBytesLeft;
    }
    short ret = short(codeBits & ((1u << codeWidth) - 1));
    codeBits >>= codeWidth;
    bitsLeft = short(bitsLeft - codeWidth);
    return ret;
}

short CPictureGIF::decoder(CPicFile* file, CImageIterator* iterator, int lineWidth, int& badCodes)
{
    badCodes = 0;
    int size = get_byte(file);
    if (size < 0)
        return short(size);
    if (size < 2 || size > 9)
        return kBadCodeSize;
    init_exp(short(size));

    std::vector<BYTE> line;
    try {
        line.resize(size_t(lineWidth) + 1);
    } catch (...) {
        return kNoMemory;
    }
    int pos = 0;
    int sp = 0;
    int previous = 0, first = 0;
    int ret = 0;

    auto flushStack = [&]() -> bool {
        while (sp > 0) {
            line[size_t(pos++)] = stringStack[--sp];
            if (pos == lineWidth) {
                ret = out_line(iterator, line.data(), lineWidth);
                pos = 0;
                if (ret < 0)
                    return false;
            }
        }
        return true;
    };

    int c = get_next_code(file);
    while (c != endCode) {
        if (c < 0)
            return 0;
        if (c == clearCode) {
            codeWidth = short(size + 1);
            nextCode = firstFreeCode;
            codeLimit = short(1 << codeWidth);
            do
                c = get_next_code(file);
            while (c == clearCode);
            if (c == endCode)
                break;
            if (c < 0)
                return 0;
            if (c >= nextCode)
                c = 0;
            previous = first = c;
            stringStack[sp++] = BYTE(c);
        } else {
            if (c > nextCode) {
                // Undefined code: counted, and read as the one being defined,
                // so that no table entry ever points at a code that does not exist.
                ++badCodes;
                c = nextCode;
            }
            int code = c;
            if (code == nextCode && nextCode < MAXCODES) {
                stringStack[sp++] = BYTE(first);
                code = previous;
            } else if (code >= MAXCODES) {
                break;
            }
            while (code >= firstFreeCode) {
                if (sp >= STACK_SIZE - 1)
                    return short(ret);
                stringStack[sp++] = codeSuffix[code];
                code = codePrefix[code];
            }
            stringStack[sp++] = BYTE(code);
            first = code;
            if (nextCode < codeLimit) {
                codeSuffix[nextCode] = BYTE(first);
                codePrefix[nextCode] = WORD(previous);
                ++nextCode;
            }
            previous = c;
            if (nextCode >= codeLimit && codeWidth < 12) {
                codeLimit = short(codeLimit << 1);
                ++codeWidth;
            }
        }
        if (!flushStack())
            return short(ret);
        c = get_next_code(file);
    }
    if (pos > 0)
        ret = out_line(iterator, line.data(), pos);
    return short(ret);
}

int CPictureGIF::out_line(CImageIterator* iterator, BYTE* line, int length)
{
    CPicture* pic = iterator->picture;
    if (!pic) {
        // Counting: a frame takes as many lines as it has rows, interlaced or not.
        if (iterator->row < 0)
            return -1;
        --iterator->row;
        return 0;
    }
    LONG height = LONG(pic->GetHeight());
    WORD bpp = pic->GetBpp();
    if (bpp == 1 || bpp == 4) {
        // Packed in place: byte k only takes pixels at or after k.
        int perByte = bpp == 1 ? 8 : 2;
        int bytes = (length + perByte - 1) / perByte;
        for (int k = 0; k < bytes; ++k) {
            BYTE v = 0;
            for (int j = 0; j < perByte; ++j) {
                int x = k * perByte + j;
                BYTE px = x < length ? line[x] : 0;
                if (bpp == 1)
                    v = BYTE(v | ((px & 1) << (7 - j)));
                else
                    v = BYTE(v | ((px & 15) << (j ? 0 : 4)));
            }
            line[k] = v;
        }
        length = bytes;
    }
    DWORD eff = pic->GetEffWidth();
    size_t n = (length < 0 || DWORD(length) >= eff) ? eff : size_t(length);

    if (interlaced) {
        if (interlacePass > 3)
            return -1;
        LONG row = interlaceHeight - interlaceRow - 1;
        if (row >= 0 && row < height)
            std::memcpy(pic->GetBits(DWORD(row)), line, n);
        static const int kStart[4] = { 0, 4, 2, 1 };
        static const int kStep[4] = { 8, 8, 4, 2 };
        interlaceRow += interlaceStep;
        while (interlaceRow >= interlaceHeight) {
            if (++interlacePass > 3)
                break;
            interlaceStep = kStep[interlacePass];
            interlaceRow = kStart[interlacePass];
        }
        return 0;
    }
    if (iterator->row < 0 || iterator->row >= height)
        return -1;
    std::memcpy(pic->GetBits(DWORD(iterator->row)), line, n);
    --iterator->row;
    return 0;
}

// Counts the frames the decoder would show, walking their data as it does
// (codes decoded but no pixels kept), without touching the graphic control
// state the first frame needs.
int CPictureGIF::get_num_frames(CPicFile* file, const tag_dscgif& screen)
{
    LONG start = file->Tell();
    int count = 0;
    bool prevZero = true;
    for (;;) {
        int b = get_byte(file);
        if (b < 0)
            break;
        if (b != 0 && !prevZero)
            continue;
        if (b == '!') {
            if (get_byte(file) < 0 || !SkipSubBlocks(file))
                break;
        } else if (b == ',') {
            tag_image d;
            if (!ReadImageDescriptor(file, d))
                break;
            if ((d.pf & 0x80) && !file->Seek(3 * (1 << ((d.pf & 7) + 1)), SEEK_CUR))
                break;
            if (!FrameFits(d, screen)) {
                if (get_byte(file) < 0 || !SkipSubBlocks(file))
                    break;
                continue;
            }
            ++count;
            const LONG frameStart = file->Tell();
            CImageIterator lines = { nullptr, LONG(d.h) - 1 };
            blockEnded = inputEnded = false;
            int badCodes = 0;
            const short result = decoder(file, &lines, d.w, badCodes);
            if (result == kBadCodeSize || result == kNoMemory) {
                // The decode fails at this frame; past it, count on.
                if (!file->Seek(frameStart + 1, SEEK_SET) || !SkipSubBlocks(file))
                    break;
                continue;
            }
            FinishFrameData(file, frameStart, badCodes);
        } else if (b == ';') {
            break;
        } else {
            prevZero = (b == 0);
        }
    }
    file->Seek(start, SEEK_SET);
    return count;
}

void CPictureGIF::GifMix(const CPicture& framePicture, const tag_image& d)
{
    LONG h = LONG(GetHeight());
    LONG frameH = LONG(framePicture.GetHeight());
    LONG trans = info.transIndex;
    for (LONG y = 0; y < frameH; ++y) {
        LONG dy = h - d.t - y - 1;
        for (LONG x = 0; x < LONG(framePicture.GetWidth()); ++x) {
            BYTE i = framePicture.GetPixelIndex(x, frameH - 1 - y);
            if (LONG(i) != trans)
                SetPixelIndex(d.l + x, dy, i);
        }
    }
}

// ---- writing ---------------------------------------------------------------

void CPictureGIF::PutBytes(const void* bytes, size_t n, CPicFile* file)
{
    if (file->Write(bytes, 1, n) != n)
        writeFailed = true;
}

void CPictureGIF::Putword(int w, CPicFile* file)
{
    BYTE b[2] = { BYTE(w & 0xFF), BYTE((w / 256) & 0xFF) };
    PutBytes(b, 2, file);
}

bool CPictureGIF::Encode(CPicFile* file)
{
    if (EncodeSafeCheck(file))
        return false;
    if (GetWidth() > 65535 || GetHeight() > 65535)
        return SetError("GIF: width and height must be 65535 or less");
    writeFailed = false;
    if (GetBpp() > 8) {
        EncodeRGB(file);
    } else {
        // A lone picture is its own screen: an offset would put it outside.
        LONG x = info.xOffset, y = info.yOffset;
        info.xOffset = info.yOffset = 0;
        EncodeHeader(file);
        EncodeExtension(file);
        EncodeComment(file);
        EncodeBody(file, false);
        BYTE trailer = 0x3B;
        PutBytes(&trailer, 1, file);
        info.xOffset = x;
        info.yOffset = y;
    }
    if (writeFailed)
        return SetError(kWriteError);
    return true;
}

bool CPictureGIF::Encode(CPicFile* file, CPicture** pictures, int count, bool localTables)
{
    if (!file)
        return SetError("invalid file pointer");
    if (!pictures || count <= 0 || !pictures[0])
        return SetError("multipage GIF, no images!");
    // Everything is checked before the first byte goes out.
    const CPicture* first = pictures[0];
    for (int i = 0; i < count; ++i) {
        const CPicture* p = pictures[i];
        if (!p)
            return SetError("Bad image pointer");
        if (!p->IsValid())
            return SetError("null image!!!");
        if (p->GetBpp() > 8)
            return SetError("GIF: animation frames must have 8 bits per pixel or fewer");
        if (p->GetBpp() != first->GetBpp())
            return SetError("GIF: animation frames must share one bit depth");
        if (p->GetWidth() > 65535 || p->GetHeight() > 65535)
            return SetError("GIF: width and height must be 65535 or less");
        LONG x = 0, y = 0;
        p->GetOffset(&x, &y);
        if (x < 0 || y < 0 || uint64_t(x) + p->GetWidth() > first->GetWidth()
            || uint64_t(y) + p->GetHeight() > first->GetHeight())
            return SetError("GIF: animation frame does not fit the first frame's size");
    }

    writeFailed = false;
    std::unique_ptr<CPictureGIF> ghost(new CPictureGIF);
    ghost->Ghost(first);
    ghost->EncodeHeader(file);
    if (loops != 1) {
        ghost->loops = loops > 0 ? loops - 1 : 0;
        ghost->EncodeLoopExtension(file);
    }
    ghost->disposalMethod = disposalMethod;
    ghost->EncodeExtension(file);
    EncodeComment(file);
    ghost->EncodeBody(file, false);
    bool failed = ghost->writeFailed;
    for (int i = 1; i < count; ++i) {
        std::unique_ptr<CPictureGIF> next(new CPictureGIF);
        next->Ghost(pictures[i]);
        next->disposalMethod = disposalMethod;
        next->EncodeExtension(file);
        next->EncodeBody(file, localTables);
        failed = failed || next->writeFailed;
    }
    BYTE trailer = 0x3B;
    PutBytes(&trailer, 1, file);
    if (failed || writeFailed)
        return SetError(kWriteError);
    return true;
}

void CPictureGIF::PutColorTable(CPicFile* file)
{
    // The flags promise 2^bpp entries; those past a trimmed palette are black.
    BYTE rgb[256 * 3];
    DWORD n = DWORD(1) << GetBpp();
    for (DWORD i = 0; i < n; ++i) {
        RGBQUAD c = GetPaletteColor(BYTE(i));
        rgb[i * 3] = c.rgbRed;
        rgb[i * 3 + 1] = c.rgbGreen;
        rgb[i * 3 + 2] = c.rgbBlue;
    }
    PutBytes(rgb, size_t(n) * 3, file);
}

bool CPictureGIF::EncodeHeader(CPicFile* file)
{
    BYTE h[13];
    std::memcpy(h, "GIF89a", 6);
    PicPutU16(h + 6, WORD(GetWidth()));
    PicPutU16(h + 8, WORD(GetHeight()));
    WORD bpp = GetBpp();
    h[10] = bpp <= 8 ? BYTE(0x80 | (((bpp + 7) << 5) & 0xFF) | (bpp - 1)) : BYTE(0x11);
    h[11] = 0;
    h[12] = 0;
    PutBytes(h, sizeof(h), file);
    if (bpp <= 8)
        PutColorTable(file);
    return !writeFailed;
}

bool CPictureGIF::EncodeExtension(CPicFile* file)
{
    BYTE b[8] = { 0x21, 0xF9, 0x04, 0, 0, 0, 0, 0 };
    b[3] = BYTE(((disposalMethod & 7) << 2) | (info.transIndex >= 0 ? 1 : 0));
    PicPutU16(b + 4, WORD(info.frameDelay));
    b[6] = BYTE(info.transIndex);
    PutBytes(b, sizeof(b), file);
    return !writeFailed;
}

bool CPictureGIF::EncodeLoopExtension(CPicFile* file)
{
    BYTE b[19] = { 0x21, 0xFF, 0x0B };
    std::memcpy(b + 3, "NETSCAPE2.0", 11);
    b[14] = 3;
    b[15] = 1;
    PicPutU16(b + 16, WORD(loops));
    b[18] = 0;
    PutBytes(b, sizeof(b), file);
    return !writeFailed;
}

bool CPictureGIF::EncodeComment(CPicFile* file)
{
    size_t n = strnlen(comment, 255);
    if (n == 0)
        return true;
    BYTE head[3] = { 0x21, 0xFE, BYTE(n) };
    PutBytes(head, 3, file);
    PutBytes(comment, n, file);
    BYTE end = 0;
    PutBytes(&end, 1, file);
    return !writeFailed;
}

bool CPictureGIF::EncodeBody(CPicFile* file, bool localTable)
{
    WORD bpp = GetBpp();
    BYTE d[10];
    d[0] = 0x2C;
    PicPutU16(d + 1, WORD(info.xOffset));
    PicPutU16(d + 3, WORD(info.yOffset));
    PicPutU16(d + 5, WORD(GetWidth()));
    PicPutU16(d + 7, WORD(GetHeight()));
    d[9] = localTable ? BYTE(0x80 | (bpp - 1)) : 0;
    PutBytes(d, sizeof(d), file);
    if (localTable)
        PutColorTable(file);
    int initCodeSize = bpp <= 1 ? 2 : bpp;
    BYTE codeSize = BYTE(initCodeSize);
    PutBytes(&codeSize, 1, file);

    pixelX = 0;
    pixelY = LONG(GetHeight()) - 1;
    pixelsLeft = GetWidth() * GetHeight();
    switch (GetCodecOption(PIC_FORMAT_GIF)) {
    case GIF_CODER_NONE:
        compressNONE(initCodeSize + 1, file);
        break;
    case GIF_CODER_RLE:
        compressRLE(initCodeSize + 1, file);
        break;
    default:
        compressLZW(initCodeSize + 1, file);
        break;
    }
    BYTE end = 0;
    PutBytes(&end, 1, file);
    return !writeFailed;
}

bool CPictureGIF::EncodeRGB(CPicFile* file)
{
    EncodeHeader(file);
    EncodeComment(file);

    std::unique_ptr<CPictureGIF> work(new CPictureGIF);
    work->SetCodecOption(GetCodecOption(PIC_FORMAT_GIF), PIC_FORMAT_GIF);
    const LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    const bool transparent = IsTransparent();
    const RGBQUAD transColor = GetTransColor();
    for (LONG y = 0; y < h; y += 15) {
        for (LONG x = 0; x < w; x += 17) {
            LONG tw = std::min<LONG>(17, w - x), th = std::min<LONG>(15, h - y);
            if (!work->IsValid() || LONG(work->GetWidth()) != tw || LONG(work->GetHeight()) != th) {
                if (!work->Create(DWORD(tw), DWORD(th), 8, PIC_FORMAT_GIF))
                    return SetError(work->GetLastError());
            }
            if (transparent) {
                work->info.transIndex = 0;
                work->SetPaletteColor(0, transColor);
            }
            for (LONG j = 0; j < th; ++j) {
                for (LONG i = 0; i < tw; ++i) {
                    BYTE k = BYTE(1 + 17 * j + i);
                    RGBQUAD c = GetPixelColor(x + i, h - y - th + j, false);
                    work->SetPaletteColor(k, c);
                    work->SetPixelIndex(i, j, work->GetNearestIndex(c));
                }
            }
            work->SetOffset(x, y);
            work->EncodeExtension(file);
            work->EncodeBody(file, true);
            if (work->writeFailed)
                writeFailed = true;
        }
    }
    BYTE trailer = 0x3B;
    PutBytes(&trailer, 1, file);
    return !writeFailed;
}

int CPictureGIF::GifNextPixel()
{
    if (pixelsLeft == 0)
        return -1;
    --pixelsLeft;
    int v = BlindGetPixelIndex(pixelX, pixelY);
    if (++pixelX == LONG(GetWidth())) {
        pixelX = 0;
        --pixelY;
    }
    return v;
}

void CPictureGIF::cl_hash(long size)
{
    for (long i = 0; i < size; ++i)
        hashKeys[i] = -1;
}

// The code writer's state at the start of an image's data, as the LZW and
// the plain coder begin.
void CPictureGIF::StartCodes(int initBits, CPicFile* file)
{
    outFile = file;
    startWidth = initBits;
    outWidth = initBits;
    clearPending = 0;
    bitAccum = 0;
    bitCount = 0;
    blockLength = 0;
    maxCode = (1 << outWidth) - 1;
    outClearCode = 1 << (initBits - 1);
    outEndCode = outClearCode + 1;
    freeCode = outClearCode + 2;
}

// A full table starts over, and the reader is told so by a clear code.
void CPictureGIF::RestartTable()
{
    freeCode = outClearCode + 2;
    clearPending = 1;
    output(outClearCode);
}

void CPictureGIF::compressLZW(int initBits, CPicFile* file)
{
    StartCodes(initBits, file);

    long ent = GifNextPixel();
    int hshift = 0;
    for (long fcode = HSIZE; fcode < 65536L; fcode *= 2)
        ++hshift;
    hshift = 8 - hshift;
    cl_hash(HSIZE);
    output(outClearCode);

    int c;
    while ((c = GifNextPixel()) != -1) {
        long fcode = (long(c) << 12) + ent;
        long i = (long(c) << hshift) ^ ent;
        if (hashKeys[i] == fcode) {
            ent = hashCodes[i];
            continue;
        }
        if (hashKeys[i] >= 0) {
            long disp = i == 0 ? 1 : HSIZE - i;
            bool found = false;
            do {
                if ((i -= disp) < 0)
                    i += HSIZE;
                if (hashKeys[i] == fcode) {
                    ent = hashCodes[i];
                    found = true;
                    break;
                }
            } while (hashKeys[i] > 0);
            if (found)
                continue;
        }
        output(int(ent));
        ent = c;
        if (freeCode < MAXCODES) {
            hashCodes[i] = WORD(freeCode++);
            hashKeys[i] = fcode;
        } else {
            cl_hash(HSIZE);
            RestartTable();
        }
    }
    output(int(ent));
    output(outEndCode);
}

void CPictureGIF::compressNONE(int initBits, CPicFile* file)
{
    StartCodes(initBits, file);

    output(outClearCode);
    int c;
    while ((c = GifNextPixel()) != -1) {
        output(c);
        if (freeCode < MAXCODES)
            ++freeCode;
        else
            RestartTable();
    }
    output(outEndCode);
}

void CPictureGIF::output(int code)
{
    if (bitCount > 0)
        bitAccum = (bitAccum & ((1u << bitCount) - 1)) | (DWORD(code) << bitCount);
    else
        bitAccum = DWORD(code);
    bitCount += outWidth;
    while (bitCount >= 8) {
        char_out(int(bitAccum & 0xFF));
        bitAccum >>= 8;
        bitCount -= 8;
    }
    if (freeCode > maxCode || clearPending) {
        if (clearPending) {
            outWidth = startWidth;
            maxCode = (1 << outWidth) - 1;
            clearPending = 0;
        } else {
            ++outWidth;
            maxCode = outWidth == 12 ? MAXCODES : (1 << outWidth) - 1;
        }
    }
    if (code == outEndCode) {
        while (bitCount > 0) {
            char_out(int(bitAccum & 0xFF));
            bitAccum >>= 8;
            bitCount -= 8;
        }
        flush_char();
        outFile->Flush();
        if (outFile->Error())
            writeFailed = true;
    }
}

void CPictureGIF::char_out(int c)
{
    blockBytes[blockLength++] = BYTE(c);
    if (blockLength >= 254)
        flush_char();
}

void CPictureGIF::flush_char()
{
    if (blockLength > 0) {
        BYTE n = BYTE(blockLength);
        PutBytes(&n, 1, outFile);
        PutBytes(blockBytes, size_t(blockLength), outFile);
        blockLength = 0;
    }
}

// ---- run-length coder ------------------------------------------------------
// Runs are sent as codes of a table that the decoder builds itself from
// repeats of one pixel, so any LZW reader decodes the result.

void CPictureGIF::compressRLE(int initBits, CPicFile* file)
{
    tag_RLE rle;
    std::memset(&rle, 0, sizeof(rle));
    rle.code_clear = 1 << (initBits - 1);
    rle.code_eof = rle.code_clear + 1;
    rle.rl_basecode = rle.code_eof + 1;
    rle.out_bump_init = (1 << (initBits - 1)) - 1;
    rle.out_clear_init = initBits <= 3 ? 9 : rle.out_bump_init - 1;
    rle.out_bits_init = initBits;
    rle.max_ocodes = (1 << 12) - ((1 << (rle.out_bits_init - 1)) + 3);
    rle.fp = file;
    rle_clear(&rle);
    rle_output(rle.code_clear, &rle);
    for (;;) {
        int c = GifNextPixel();
        if (rle.rl_count > 0 && c != rle.rl_pixel)
            rle_flush(&rle);
        if (c == -1)
            break;
        if (rle.rl_pixel == c) {
            ++rle.rl_count;
        } else {
            rle.rl_pixel = c;
            rle.rl_count = 1;
        }
    }
    rle_output(rle.code_eof, &rle);
    rle_output_flush(&rle);
}

void CPictureGIF::rle_clear(tag_RLE* rle)
{
    rle->out_bits = rle->out_bits_init;
    rle->out_bump = rle->out_bump_init;
    rle->out_clear = rle->out_clear_init;
    rle->out_count = 0;
    rle->rl_table_max = 0;
    rle->just_cleared = 1;
}

void CPictureGIF::rle_flush(tag_RLE* rle)
{
    if (rle->rl_count == 1) {
        rle_output_plain(rle->rl_pixel, rle);
        rle->rl_count = 0;
        return;
    }
    if (rle->just_cleared)
        rle_flush_fromclear(int(std::min<unsigned>(rle->rl_count, 0x7FFFFFFF)), rle);
    else if (rle->rl_table_max < 2 || rle->rl_table_pixel != rle->rl_pixel)
        rle_flush_clearorrep(rle->rl_count, rle);
    else
        rle_flush_withtable(rle->rl_count, rle);
    rle->rl_count = 0;
}

void CPictureGIF::rle_output_plain(int c, tag_RLE* rle)
{
    rle->just_cleared = 0;
    rle_output(c, rle);
    ++rle->out_count;
    if (rle->out_count >= rle->out_bump) {
        ++rle->out_bits;
        rle->out_bump += 1 << (rle->out_bits - 1);
    }
    if (rle->out_count >= rle->out_clear) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
    }
}

void CPictureGIF::rle_flush_fromclear(int count, tag_RLE* rle)
{
    rle->out_clear = rle->max_ocodes;
    rle->rl_table_pixel = rle->rl_pixel;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            rle->rl_table_max = 1;
            rle_output_plain(rle->rl_pixel, rle);
            --count;
        } else if (count >= n) {
            rle->rl_table_max = n;
            rle_output_plain(rle->rl_basecode + n - 2, rle);
            count -= n;
        } else if (count == 1) {
            ++rle->rl_table_max;
            rle_output_plain(rle->rl_pixel, rle);
            count = 0;
        } else {
            ++rle->rl_table_max;
            rle_output_plain(rle->rl_basecode + count - 2, rle);
            count = 0;
        }
        n = rle->out_count == 0 ? 1 : n + 1;
    }
    rle_reset_out_clear(rle);
}

void CPictureGIF::rle_reset_out_clear(tag_RLE* rle)
{
    rle->out_clear = rle->out_clear_init;
    if (rle->out_count >= rle->out_clear) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
    }
}

void CPictureGIF::rle_flush_withtable(unsigned count, tag_RLE* rle)
{
    uint64_t repmax = count / unsigned(rle->rl_table_max);
    uint64_t leftover = count % unsigned(rle->rl_table_max);
    uint64_t repleft = leftover ? 1 : 0;
    if (uint64_t(rle->out_count) + repmax + repleft > uint64_t(rle->max_ocodes)) {
        repmax = rle->out_count < rle->max_ocodes ? uint64_t(rle->max_ocodes - rle->out_count) : 0;
        leftover = count - repmax * unsigned(rle->rl_table_max);
        repleft = 1 + rle_compute_triangle_count(unsigned(leftover), unsigned(rle->max_ocodes));
    }
    if (1 + uint64_t(rle_compute_triangle_count(count, unsigned(rle->max_ocodes))) < repmax + repleft) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
        rle_flush_fromclear(int(count), rle);
        return;
    }
    rle->out_clear = rle->max_ocodes;
    for (; repmax > 0; --repmax)
        rle_output_plain(rle->rl_basecode + rle->rl_table_max - 2, rle);
    if (leftover) {
        if (rle->just_cleared)
            rle_flush_fromclear(int(leftover), rle);
        else if (leftover == 1)
            rle_output_plain(rle->rl_pixel, rle);
        else
            rle_output_plain(rle->rl_basecode + int(leftover) - 2, rle);
    }
    rle_reset_out_clear(rle);
}

unsigned CPictureGIF::rle_compute_triangle_count(unsigned count, unsigned nrepcodes)
{
    unsigned cost = 0;
    unsigned perrep = (nrepcodes * (nrepcodes + 1)) / 2;
    while (count >= perrep) {
        cost += nrepcodes;
        count -= perrep;
    }
    if (count > 0) {
        unsigned n = rle_isqrt(count);
        while (n * (n + 1) >= 2 * count)
            --n;
        while (n * (n + 1) < 2 * count)
            ++n;
        cost += n;
    }
    return cost;
}

unsigned CPictureGIF::rle_isqrt(unsigned x)
{
    if (x < 2)
        return x;
    unsigned r = 1;
    for (unsigned v = x; v; v >>= 2)
        r <<= 1;
    for (;;) {
        unsigned v = ((x / r) + r) / 2;
        if (v == r || v == r + 1)
            return r;
        r = v;
    }
}

void CPictureGIF::rle_flush_clearorrep(unsigned count, tag_RLE* rle)
{
    unsigned withclr = 1 + rle_compute_triangle_count(count, unsigned(rle->max_ocodes));
    if (withclr < count) {
        rle_output(rle->code_clear, rle);
        rle_clear(rle);
        rle_flush_fromclear(int(count), rle);
    } else {
        for (; count > 0; --count)
            rle_output_plain(rle->rl_pixel, rle);
    }
}

void CPictureGIF::rle_write_block(tag_RLE* rle)
{
    BYTE n = BYTE(rle->oblen);
    PutBytes(&n, 1, rle->fp);
    PutBytes(rle->oblock, size_t(rle->oblen), rle->fp);
    rle->oblen = 0;
}

void CPictureGIF::rle_block_out(unsigned char c, tag_RLE* rle)
{
    rle->oblock[rle->oblen++] = c;
    if (rle->oblen >= 255)
        rle_write_block(rle);
}

void CPictureGIF::rle_block_flush(tag_RLE* rle)
{
    if (rle->oblen > 0)
        rle_write_block(rle);
}

void CPictureGIF::rle_output(int val, tag_RLE* rle)
{
    rle->obuf |= unsigned(val) << rle->obits;
    rle->obits += rle->out_bits;
    while (rle->obits >= 8) {
        rle_block_out(BYTE(rle->obuf & 0xFF), rle);
        rle->obuf >>= 8;
        rle->obits -= 8;
    }
}

void CPictureGIF::rle_output_flush(tag_RLE* rle)
{
    if (rle->obits > 0)
        rle_block_out(BYTE(rle->obuf), rle);
    rle_block_flush(rle);
    rle->fp->Flush();
    if (rle->fp->Error())
        writeFailed = true;
}
