#pragma once
// Scenario names become file and folder names in the program folder: checks and look-ups.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class ConfinedFolder;

// The longest scenario name in bytes: its package "NAME.blitzfang" must fit the 255 bytes of a
// file name (the temporary files of a save shorten their names themselves).
inline constexpr std::size_t kLongestScenarioName = 255 - 10;

// True for a name that may become a file name: not empty, not "." or "..", no "/", "\",
// control character, NUL or character that turns the writing direction, not longer than
// kLongestScenarioName bytes, not "setup" in any case (that file is setup.cfg), and not
// beginning with ".blitzfang" in any case (the program's lock file and temporary folders).
bool istGueltigerSzenarioname(std::string_view name);

// True when the text holds a control character (U+0000 to U+001F, U+007F to U+009F) or one that
// turns the writing direction (U+202A to U+202E, U+2066 to U+2069), in UTF-8.
bool hasControlOrDirectionCharacter(std::string_view text);

// The German message why `name` cannot be a scenario name; empty for a valid name.
std::string scenarioNameError(std::string_view name);

// Throws BlitzfangError with a German message when the name is not a valid scenario name.
void szenarionamePruefen(std::string_view name);

// The entry `name` of `folder`: the exact one when it exists, else one that differs only
// in the case of A to Z (the smallest such name when there are several), else folder/name
// as it would be created.
std::filesystem::path findeOhneGrossKlein(const std::filesystem::path& folder, const std::string& name);

// The same inside the confined program folder: the relative path of the entry `name` of its
// folder `relativeFolder` ("" for the program folder itself), found by listing that folder
// without following links; relativeFolder/name when there is none or it cannot be listed.
std::string findeOhneGrossKlein(const ConfinedFolder& folder, const std::string& relativeFolder,
                                const std::string& name);

// Letters A to Z folded to lower case; every other byte unchanged.
std::string kleinAZ(std::string_view text);

// True for the name of a scenario's media folder, "bilder" or "sound", in any letter case.
bool isMediaFolderName(std::string_view name);

// The text after the last path separator ("/" or "\"), the whole text if there is none.
std::string dateinamenteil(std::string_view path);

// The parts of a path between any of `separators`, empty ones included: "a//b/" gives
// "a", "", "b", "".
std::vector<std::string> pathParts(std::string_view path, std::string_view separators = "/\\");
