// Runs a fuzz target over every file of its seed corpus, so the seeds (and any
// crash found later and added there) stay regression tests in the native build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus dir>\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    int count = 0;
    LLVMFuzzerTestOneInput(nullptr, 0);
    if (fs::is_directory(argv[1])) {
        for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
    }
    std::printf("%d passed, 0 failed\n", count + 1);
    return 0;
}
