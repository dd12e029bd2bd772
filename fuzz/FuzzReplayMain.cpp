// Runs a fuzz harness over files instead of under the fuzzer: every file named on the command
// line, and every regular file inside a folder named there, in name order. The main build links
// each harness with this file, so the test suite replays the seed corpus and every fixed crasher.
// No input may make the process take more than kLargestPeakMemory: a decoder that reserves a
// gigabyte for a forged header and then refuses it still fails the replay.

#include <sys/resource.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

constexpr long kLargestPeakMemory = 512L * 1024 * 1024;

// The sanitizers keep freed memory in quarantine, so their builds skip the memory check.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasuresMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMeasuresMemory = false;
#else
constexpr bool kMeasuresMemory = true;
#endif
#else
constexpr bool kMeasuresMemory = true;
#endif

long peakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024L;
}

std::vector<fs::path> inputsOf(const fs::path& argument)
{
    if (!fs::is_directory(argument))
        return {argument};
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(argument))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : inputsOf(argv[i])) {
            std::printf("%s\n", file.string().c_str());
            std::fflush(stdout); // a crash names the input that caused it
            const std::string bytes = bytesOf(file);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++count;
            if (kMeasuresMemory && peakMemory() > kLargestPeakMemory) {
                std::printf("peak memory %ld MiB after this input\n", peakMemory() / (1024 * 1024));
                return 1;
            }
        }
    }
    std::printf("%zu inputs replayed\n", count);
    // A corpus folder that lost its files must not pass as a clean replay.
    return count == 0 ? 1 : 0;
}
