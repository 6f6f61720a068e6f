// JPEG decode of a large photo through the picture object against the bare
// library on the same bytes, timed alternately in one run; prints the ratio.
#include "bench/bench_list.h"
#include "bench/bench_util.h"
#include "image/picture.h"

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

struct ErrorJump {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) { longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1); }

// Sky-like gradients with sensor noise: a photo's mix of flat and busy blocks.
std::vector<unsigned char> Photo(int w, int h)
{
    std::vector<unsigned char> px(size_t(w) * h * 3);
    uint32_t s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            int n = int(s >> 28) - 8;
            unsigned char* p = &px[(size_t(y) * w + x) * 3];
            int edge = ((x / 97 + y / 61) & 1) * 40;
            p[0] = (unsigned char)std::clamp(x * 255 / w + n + edge, 0, 255);
            p[1] = (unsigned char)std::clamp(y * 255 / h + n, 0, 255);
            p[2] = (unsigned char)std::clamp(200 - (x + y) * 100 / (w + h) + n - edge, 0, 255);
        }
    return px;
}

bool Encode(const std::vector<unsigned char>& px, int w, int h, std::vector<unsigned char>& out)
{
    jpeg_compress_struct cinfo;
    ErrorJump err;
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(mem);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&px[size_t(cinfo.next_scanline) * w * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    out.assign(mem, mem + size);
    std::free(mem);
    return true;
}

// What a program using the library alone does: RGB rows into its own buffer.
bool BareDecode(const std::vector<unsigned char>& jpeg, unsigned long& checksum)
{
    jpeg_decompress_struct cinfo;
    ErrorJump err;
    unsigned char* volatile pixels = nullptr;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(pixels);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), (unsigned long)jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    size_t stride = size_t(cinfo.output_width) * cinfo.output_components;
    pixels = static_cast<unsigned char*>(std::malloc(stride * cinfo.output_height));
    JSAMPROW rows[16];
    while (cinfo.output_scanline < cinfo.output_height) {
        JDIMENSION want = std::min<JDIMENSION>(16, cinfo.output_height - cinfo.output_scanline);
        for (JDIMENSION i = 0; i < want; ++i)
            rows[i] = pixels + (cinfo.output_scanline + i) * stride;
        jpeg_read_scanlines(&cinfo, rows, want);
    }
    jpeg_finish_decompress(&cinfo);
    checksum += pixels[stride * cinfo.output_height / 2];
    jpeg_destroy_decompress(&cinfo);
    std::free(pixels);
    return true;
}

bool PictureDecode(std::vector<unsigned char>& jpeg, unsigned long& checksum)
{
    CPicture pic;
    if (!pic.Decode(jpeg.data(), DWORD(jpeg.size()), PIC_FORMAT_JPG))
        return false;
    checksum += pic.GetBits(pic.GetHeight() / 2)[0];
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* const kDecode = "JPEG decode";
    if (BenchList(argc, argv, { kDecode }))
        return 0;
    const int w = 4000, h = 3000;
    const int rounds = BenchCount(argc, argv, 7);
    std::vector<unsigned char> jpeg;
    if (!Encode(Photo(w, h), w, h, jpeg)) {
        std::fprintf(stderr, "bench_jpeg: cannot make the test photo\n");
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> bare, picture;
    unsigned long checksum = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        if (!BareDecode(jpeg, checksum))
            return 1;
        auto t1 = Clock::now();
        if (!PictureDecode(jpeg, checksum)) {
            std::fprintf(stderr, "bench_jpeg: the picture could not decode the photo\n");
            return 1;
        }
        auto t2 = Clock::now();
        bare.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        picture.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    // The median of each: single runs are disturbed by the rest of the machine.
    std::sort(bare.begin(), bare.end());
    std::sort(picture.begin(), picture.end());
    double b = bare[bare.size() / 2], p = picture[picture.size() / 2];
    std::printf("%s, %dx%d photo, %zu bytes, median of %d rounds: picture %.1f ms, libjpeg alone %.1f ms, "
                "ratio %.3f (checksum %lu)\n",
        kDecode, w, h, jpeg.size(), rounds, p, b, p / b, checksum);
    return 0;
}
