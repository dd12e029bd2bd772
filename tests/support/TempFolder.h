#pragma once
// A fresh temporary folder per test (a program folder), removed afterwards.

#include <filesystem>
#include <map>
#include <memory>
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

// A runtime folder of the test's own (XDG_RUNTIME_DIR) while it lives: the program's hand-over
// socket and the runtime files of Qt and the sound libraries go there, never into the shared
// temporary folder or the player's own runtime folder, and go with it. A test on a Wayland
// compositor keeps the runtime folder it was given: the compositor's socket lies there. Every
// test process has one (TempFolder.cpp).
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder();
    ~PrivateRuntimeFolder();

private:
    std::unique_ptr<TempFolder> folder_;
};

// The source tree's root (from BLITZFANG_SOURCE_DIR, set by ctest).
std::filesystem::path sourceDir();
// The build folder: the program folder of build/blitzfang (BLITZFANG_BUILD_DIR).
std::filesystem::path buildDir();
