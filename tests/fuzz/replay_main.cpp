// Runs a fuzz target over every file of its seed folder, so that the ordinary test run keeps
// the seeds passing without a fuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER...\n", argv[0]);
        return 2;
    }
    int files = 0;
    for (int a = 1; a < argc; ++a)
        for (const auto& entry : std::filesystem::directory_iterator(argv[a])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++files;
        }
    std::printf("%d seeds replayed\n", files);
    return files > 0 ? 0 : 1;
}
