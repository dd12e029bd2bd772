#pragma once
// A fresh temporary folder per test (a program folder), removed afterwards.

#include <filesystem>
#include <map>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Whole-file helpers for tests.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    // Every file below the folder with its bytes: equal snapshots mean nothing was written.
    std::map<std::string, std::string> snapshot() const;

    // Copies the shipped standard scenario's media (data/Standard) into this folder.
    void copyStandardMedia() const;

private:
    std::filesystem::path path_;
};

// The source tree's root (from BLITZFANG_SOURCE_DIR, set by ctest).
std::filesystem::path sourceDir();
// The build folder: the program folder of build/blitzfang (BLITZFANG_BUILD_DIR).
std::filesystem::path buildDir();
