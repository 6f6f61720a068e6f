// JPEG-2000 decode of a large code stream through the picture object against
// OpenJPEG's own opj_decompress on the same file, timed alternately in one
// run with the same number of threads (--threads=N, default 1); prints the
// ratio. The library called
// in-process on the same bytes shows what the picture object itself adds.
#include "bench/bench_list.h"
#include "bench/bench_util.h"
#include "image/picture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <openjpeg.h>

namespace {

// Sky-like gradients with sensor noise: a photo's mix of flat and busy areas.
void Photo(CPicture& pic)
{
    const int w = int(pic.GetWidth()), h = int(pic.GetHeight());
    uint32_t s = 12345;
    for (int y = 0; y < h; ++y) {
        BYTE* row = pic.GetBits(DWORD(h - 1 - y));
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            int n = int(s >> 28) - 8;
            int edge = ((x / 97 + y / 61) & 1) * 40;
            row[x * 3 + 2] = BYTE(std::clamp(x * 255 / w + n + edge, 0, 255));
            row[x * 3 + 1] = BYTE(std::clamp(y * 255 / h + n, 0, 255));
            row[x * 3] = BYTE(std::clamp(200 - (x + y) * 100 / (w + h) + n - edge, 0, 255));
        }
    }
}

// What a program using OpenJPEG alone does: decode the planes and drop them.
bool BareDecode(const std::string& path, int threads)
{
    opj_stream_t* stream = opj_stream_create_default_file_stream(path.c_str(), OPJ_TRUE);
    opj_codec_t* codec = opj_create_decompress(OPJ_CODEC_J2K);
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    opj_image_t* image = nullptr;
    bool ok = stream && codec && opj_setup_decoder(codec, &params) && opj_codec_set_threads(codec, threads)
        && opj_read_header(stream, codec, &image) && opj_decode(codec, stream, image)
        && opj_end_decompress(codec, stream);
    opj_image_destroy(image);
    opj_destroy_codec(codec);
    opj_stream_destroy(stream);
    return ok;
}

bool WriteFile(const std::string& path, const BYTE* data, long size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, size_t(size), f) == size_t(size);
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    const DWORD w = 4000, h = 3000;
    const int rounds = BenchCount(argc, argv, 5);
    const char* const kDecode = "JPEG-2000 decode";
    if (BenchList(argc, argv, { kDecode }))
        return 0;
    if (std::system("command -v opj_decompress > /dev/null 2>&1") != 0) {
        std::printf("bench_j2k: skipped, opj_decompress is not installed (libopenjp2-tools)\n");
        return 0;
    }

    CPicture photo(w, h, 24);
    Photo(photo);
    photo.SetJpegQuality(10); // a tenth of the raw size, irreversible 9/7
    BYTE* stream = nullptr;
    LONG size = 0;
    if (!photo.Encode(stream, size, PIC_FORMAT_JPC)) {
        std::fprintf(stderr, "bench_j2k: cannot encode the test photo: %s\n", photo.GetLastError());
        return 1;
    }
    // In memory where the machine has it, so that the tool's writing costs little.
    std::string pattern
        = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/bench_j2k.XXXXXX";
    std::vector<char> dirName(pattern.begin(), pattern.end());
    dirName.push_back('\0');
    if (!mkdtemp(dirName.data())) {
        std::fprintf(stderr, "bench_j2k: no temporary folder\n");
        return 1;
    }
    const std::string dir = dirName.data();
    const std::string in = dir + "/photo.j2k", out = dir + "/photo.pgx";
    if (!WriteFile(in, stream, size)) {
        std::fprintf(stderr, "bench_j2k: cannot write %s\n", in.c_str());
        return 1;
    }
    CPicture::FreeMemory(stream);

    // Both sides read the file; the tool also starts a process and writes
    // the planes as PGX (its quickest writer), the picture keeps its pixels.
    const int threads = opj_has_thread_support() ? BenchThreads(argc, argv) : 1;
    // The picture takes OpenJPEG's own setting when one is made.
    setenv("OPJ_NUM_THREADS", std::to_string(threads).c_str(), 1);
    const std::string command = "opj_decompress -quiet -threads " + std::to_string(threads) + " -i " + in
        + " -o " + out + " > /dev/null 2>&1";
    using Clock = std::chrono::steady_clock;
    std::vector<double> tool, picture, bare;
    unsigned long checksum = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "bench_j2k: opj_decompress failed\n");
            return 1;
        }
        auto t1 = Clock::now();
        CPicture pic;
        if (!pic.Load(in.c_str(), PIC_FORMAT_JPC)) {
            std::fprintf(
                stderr, "bench_j2k: the picture could not decode the photo: %s\n", pic.GetLastError());
            return 1;
        }
        checksum += pic.GetBits(h / 2)[0];
        auto t2 = Clock::now();
        if (!BareDecode(in, threads)) {
            std::fprintf(stderr, "bench_j2k: the library could not decode the photo\n");
            return 1;
        }
        auto t3 = Clock::now();
        tool.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        picture.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        bare.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count());
    }
    std::remove(in.c_str());
    for (int i = 0; i < 3; ++i)
        std::remove((dir + "/photo_" + std::to_string(i) + ".pgx").c_str());
    std::remove(out.c_str());
    rmdir(dir.c_str());

    // The median of each: single runs are disturbed by the rest of the machine.
    std::sort(tool.begin(), tool.end());
    std::sort(picture.begin(), picture.end());
    std::sort(bare.begin(), bare.end());
    double t = tool[tool.size() / 2], p = picture[picture.size() / 2], b = bare[bare.size() / 2];
    std::printf("%s, %lux%lu photo, %ld-byte code stream, %d threads, median of %d rounds: picture %.1f ms, "
                "opj_decompress %.1f ms, ratio %.3f; library in-process %.1f ms, ratio %.3f (checksum %lu)\n",
        kDecode, (unsigned long)w, (unsigned long)h, long(size), threads, rounds, p, t, p / t, b, p / b,
        checksum);
    return 0;
}
