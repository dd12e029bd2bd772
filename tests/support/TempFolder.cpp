#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "blitzfang-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them writable before removing.
    for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const
{
    fs::create_directories((path_ / name).parent_path());
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + name);
}

std::string TempFolder::read(const std::string& name) const
{
    std::ifstream in(path_ / name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, std::string> TempFolder::snapshot() const
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(path_))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), path_).string()] = read(fs::relative(entry.path(), path_).string());
    return files;
}

void TempFolder::copyStandardMedia() const
{
    fs::copy(sourceDir() / "data" / "Standard", path_ / "Standard",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

static fs::path envPath(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? fs::path(value) : fs::path(fallback);
}

fs::path sourceDir() { return envPath("BLITZFANG_SOURCE_DIR", BLITZFANG_TEST_SOURCE_DIR); }
fs::path buildDir() { return envPath("BLITZFANG_BUILD_DIR", BLITZFANG_TEST_BUILD_DIR); }

PrivateRuntimeFolder::PrivateRuntimeFolder()
{
    const char* compositor = std::getenv("WAYLAND_DISPLAY");
    if (compositor && *compositor)
        return;
    folder_ = std::make_unique<TempFolder>();
    ::setenv("XDG_RUNTIME_DIR", folder_->path().c_str(), 1);
}

PrivateRuntimeFolder::~PrivateRuntimeFolder()
{
    if (folder_)
        ::unsetenv("XDG_RUNTIME_DIR");
}

namespace {

// Every test process, from its start to its end: the sound libraries' and Qt's runtime files of
// every test stay in it.
const PrivateRuntimeFolder processRuntime;

} // namespace
