// Replays a fuzz target's corpus without libFuzzer: every file named on the
// command line, or found directly inside a directory named there, is passed
// once to LLVMFuzzerTestOneInput. Used by the host build, whose sanitizers
// then check the seeds on every test run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool RunFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (!entry.is_regular_file())
                    continue;
                if (!RunFile(entry.path()))
                    return 1;
                ++files;
            }
        } else {
            if (!RunFile(arg))
                return 1;
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    // An empty corpus would make this check pass without testing anything.
    return files > 0 ? 0 : 1;
}
