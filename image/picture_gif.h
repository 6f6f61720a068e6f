// GIF codec: GIF87a/89a reading (LZW, interlacing, transparency, frame
// disposal, composition of tiled true-colour files) and GIF89a writing of
// palette pictures, animations and 24-bit pictures cut into 17 x 15 tiles,
// with an LZW, a plain-code or a run-length coder.
#pragma once

#include "image/picture.h"

#include <cstdio>

// Screen descriptor: the 13 bytes after which every GIF starts.
struct tag_dscgif {
    char header[6];
    WORD scrwidth;
    WORD scrheight;
    BYTE pflds;
    BYTE bcindx;
    BYTE pxasrat;
};

// Image descriptor: the 9 bytes after a ','.
struct tag_image {
    WORD l;
    WORD t;
    WORD w;
    WORD h;
    BYTE pf;
};

struct tag_TabCol {
    short colres;
    short sogct; // entries, 2..256
    CPicture::rgb_color paleta[256];
};

// State of one run-length coder call.
struct tag_RLE {
    int rl_pixel;
    int rl_basecode;
    unsigned rl_count;
    int rl_table_pixel;
    int rl_table_max;
    int just_cleared;
    int out_bits;
    int out_bits_init;
    int out_count;
    int out_bump;
    int out_bump_init;
    int out_clear;
    int out_clear_init;
    int max_ocodes;
    int code_clear;
    int code_eof;
    unsigned obuf;
    int obits;
    CPicFile* fp;
    unsigned char oblock[256];
    int oblen;
};

struct CGifGraphicControl {
    BYTE flags; // bit 0 transparent index valid, bits 2-4 disposal
    WORD delay; // hundredths of a second
    BYTE transpcolindex;
};

struct CImageIterator;

class VELTRAN_IMAGE_API CPictureGIF : public CPicture {
public:
    // Coder choices of the codec option of format 2.
    enum { GIF_CODER_LZW = 0, GIF_CODER_NONE = 1, GIF_CODER_RLE = 2 };

    CPictureGIF();
    CPictureGIF(const CPictureGIF& src);
    CPictureGIF& operator=(const CPictureGIF& src);
    ~CPictureGIF() override;

    bool Decode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(CPicFile* file);
    bool Encode(FILE* stream);
    bool Encode(CPicFile* file, CPicture** pictures, int count, bool localTables = false);
    bool Encode(FILE* stream, CPicture** pictures, int count, bool localTables = false);

    void SetDisposalMethod(int method) { disposalMethod = method; }
    LONG GetDisposalMethod() const { return disposalMethod; }
    void SetLoops(int count) { loops = count; }
    LONG GetLoops() const { return loops; }
    void SetComment(const char* text);
    void GetComment(char* text) const;

protected:
    // Results of decoder besides 0 and the byte reader's negative values.
    enum { kBadCodeSize = -20, kNoMemory = -10 };

    // ---- reading
    bool DecodeExtension(CPicFile* file);
    int get_byte(CPicFile* file);
    short get_next_code(CPicFile* file);
    void init_exp(short size);
    // An iterator without a picture only counts the frame's lines.
    short decoder(CPicFile* file, CImageIterator* iterator, int lineWidth, int& badCodes);
    int out_line(CImageIterator* iterator, BYTE* line, int length);
    int get_num_frames(CPicFile* file, const tag_dscgif& screen);
    long seek_next_image(CPicFile* file, long position);
    bool SkipSubBlocks(CPicFile* file);
    // Past the rest of a frame's data, which began at `start`.
    void FinishFrameData(CPicFile* file, LONG start, int badCodes);
    void GifMix(const CPicture& framePicture, const tag_image& descriptor);
    bool CreateChecked(CPicture& target, DWORD width, DWORD height, DWORD bpp);

    // ---- writing
    bool EncodeHeader(CPicFile* file);
    bool EncodeExtension(CPicFile* file);
    bool EncodeLoopExtension(CPicFile* file);
    bool EncodeComment(CPicFile* file);
    bool EncodeBody(CPicFile* file, bool localTable);
    bool EncodeRGB(CPicFile* file);
    int GifNextPixel();
    void Putword(int w, CPicFile* file);
    void PutBytes(const void* bytes, size_t n, CPicFile* file);
    void PutColorTable(CPicFile* file);
    void StartCodes(int initBits, CPicFile* file);
    void RestartTable();
    void compressNONE(int initBits, CPicFile* file);
    void compressLZW(int initBits, CPicFile* file);
    void compressRLE(int initBits, CPicFile* file);
    void output(int code);
    void cl_hash(long size);
    void char_out(int c);
    void flush_char();

    void rle_clear(tag_RLE* rle);
    void rle_flush(tag_RLE* rle);
    void rle_output_plain(int c, tag_RLE* rle);
    void rle_flush_fromclear(int count, tag_RLE* rle);
    void rle_reset_out_clear(tag_RLE* rle);
    void rle_flush_withtable(unsigned count, tag_RLE* rle);
    static unsigned rle_compute_triangle_count(unsigned count, unsigned nrepcodes);
    static unsigned rle_isqrt(unsigned x);
    void rle_flush_clearorrep(unsigned count, tag_RLE* rle);
    void rle_write_block(tag_RLE* rle);
    void rle_block_out(unsigned char c, tag_RLE* rle);
    void rle_block_flush(tag_RLE* rle);
    void rle_output(int val, tag_RLE* rle);
    void rle_output_flush(tag_RLE* rle);

    void CopyGifFields(const CPictureGIF& src);

    enum { HSIZE = 5003, MAXCODES = 4096, STACK_SIZE = 4096 };

    CGifGraphicControl graphicControl;
    // reading state
    int interlaced, interlaceRow, interlaceStep, interlaceHeight, interlacePass;
    short codeWidth, clearCode, endCode, firstFreeCode, codeLimit, nextCode;
    short blockBytesLeft, bitsLeft;
    DWORD codeBits; // bits not yet used, least significant first
    bool blockEnded; // the zero-length block after the data was read
    bool inputEnded;
    BYTE blockBuffer[257];
    BYTE* blockPos;
    BYTE stringStack[STACK_SIZE];
    BYTE codeSuffix[MAXCODES];
    WORD codePrefix[MAXCODES];
    // writing state
    LONG pixelX, pixelY;
    DWORD pixelsLeft;
    DWORD bitAccum;
    int bitCount;
    LONG hashKeys[HSIZE];
    WORD hashCodes[HSIZE];
    int outWidth;
    int maxCode;
    int freeCode;
    int clearPending;
    int startWidth;
    CPicFile* outFile;
    int outClearCode, outEndCode;
    int blockLength;
    BYTE blockBytes[256];
    bool writeFailed;
    // options
    char comment[256];
    LONG loops;
    LONG disposalMethod;
};
