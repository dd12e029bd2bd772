#pragma once
// Libraries of the system opened with dlopen at their first use rather than linked: a linked
// library and those behind it load before main() and delay the menu screen. A table of the
// functions a caller needs, each resolved by its own name and typed from the library's header.

#include "platform/BlitzfangError.h"

#include <string>
#include <variant>

// Opens `file` with every function bound at once, so that a missing function shows here and
// not as a crash at its first call. Throws BlitzfangError "<failure><dlerror's reason>".
void* openSystemLibrary(const char* file, const std::string& failure);

// The address of `symbol` in `library`; throws BlitzfangError "<failure><reason>" without it.
void* systemLibrarySymbol(void* library, const char* symbol, const std::string& failure);

template <typename Function>
void resolveSystemFunction(void* library, const char* symbol, const std::string& failure, Function& entry)
{
    entry = reinterpret_cast<Function>(systemLibrarySymbol(library, symbol, failure));
}

// The table `load` gives (a Table), loaded at the first call and never destroyed: exit handlers
// may use it until the very end. A failure is kept, so that every later call throws the same
// BlitzfangError without searching again and a computer without the library pays nothing more.
template <typename Table, typename Load>
const Table& loadedOnce(Load load)
{
    using Outcome = std::variant<Table, std::string>;
    static const Outcome* loaded = [&load] {
        try {
            return new Outcome(load());
        } catch (const BlitzfangError& error) {
            return new Outcome(std::string(error.what()));
        }
    }();
    if (const auto* failure = std::get_if<std::string>(loaded))
        throw BlitzfangError(*failure);
    return std::get<Table>(*loaded);
}
