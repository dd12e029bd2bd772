#pragma once
// A scenario's own text, "hilfe.txt" in its folder: written by the editor, shown by the editor
// and the extras window.

#include "storage/ConfinedFolder.h"

#include <cstddef>
#include <string>
#include <string_view>

// The largest help text that is read: a story of some hundred pages. The editor and the extras
// window show it in a text box that grows slow with megabytes, and the text travels with every
// copy of the scenario.
inline constexpr std::size_t kLargestHelpText = 1024 * 1024;
// The longest line of a help text that is read, in characters: the text box wraps a line in a
// time that grows with its square (32767 characters: 0.2 s, 256 KiB: 14 s, 1 MiB: 4 minutes).
inline constexpr std::size_t kLongestHelpTextLine = 32767;

// The help text of the scenario folder `scenarioFolder` (relative to the program folder, as
// found), as UTF-8 (either file encoding), its lines joined by "\n"; a line end closes its line
// and does not start an empty one. A scenario without the file yet has an empty text. A file
// that is there but is a link, lies behind one, is no regular file, is larger than
// kLargestHelpText, has a line longer than kLongestHelpTextLine or cannot be read throws
// BlitzfangError naming it.
std::string readHelpText(const ConfinedFolder& folder, const std::string& scenarioFolder);

// The same for the help text's bytes (at most kLargestHelpText), read already; `shownPath`
// names the text in the message.
std::string helpTextOf(std::string_view bytes, const std::string& shownPath);

// Writes the text as the scenario's help text into the save `save`: UTF-8, every line ending in
// CR LF. Creates the scenario folder when it is missing; a link there or at the file throws
// BlitzfangError and writes nothing.
void writeHelpText(StagedFiles& save, const std::string& scenarioFolder, const std::string& text);
