#include "platform/SystemLibrary.h"

#include "platform/BlitzfangError.h"

#include <dlfcn.h>

namespace {

[[noreturn]] void failLoading(const std::string& failure)
{
    const char* reason = dlerror();
    throw BlitzfangError(failure + (reason ? std::string(reason) : fehlertext::unbekannterFehlercode));
}

} // namespace

void* openSystemLibrary(const char* file, const std::string& failure)
{
    // What was opened stays loaded for the process: unloading a library that may have started
    // threads or exit handlers is not safe.
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        failLoading(failure);
    return library;
}

void* systemLibrarySymbol(void* library, const char* symbol, const std::string& failure)
{
    dlerror();
    void* address = dlsym(library, symbol);
    if (!address)
        failLoading(failure);
    return address;
}
