#pragma once
// A folder of its own for a benchmark, removed with it: below $BLITZFANG_BENCH_DIR when that is
// set (to measure on another file system), else in the temporary folder.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class BenchFolder {
public:
    BenchFolder()
    {
        const char* base = std::getenv("BLITZFANG_BENCH_DIR");
        std::string pattern =
            ((base && *base) ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) /
            "blitzfang-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~BenchFolder() { std::filesystem::remove_all(path); }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    std::filesystem::path path;
};
