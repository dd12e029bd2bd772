#pragma once
// Scenario names become file and folder names in the program folder: checks and look-ups.

#include <filesystem>
#include <string>
#include <string_view>

// True for a name that may become a file name: not empty, not "." or "..", no "/", "\",
// control character or NUL.
bool istGueltigerSzenarioname(std::string_view name);

// Throws BlitzfangError with a German message when the name is not a valid scenario name.
void szenarionamePruefen(std::string_view name);

// The entry `name` of `folder`: the exact one when it exists, else one that differs only
// in the case of A to Z, else folder/name as it would be created.
std::filesystem::path findeOhneGrossKlein(const std::filesystem::path& folder, const std::string& name);

// Letters A to Z folded to lower case; every other byte unchanged.
std::string kleinAZ(std::string_view text);

// The text after the last path separator, the whole text if there is none.
std::string dateinamenteil(std::string_view path);
