#pragma once
// A scenario's own text, "hilfe.txt" in its folder: written by the editor, shown by the editor
// and the extras window.

#include <filesystem>
#include <string>

// The text as UTF-8 (either file encoding), its lines joined by "\n"; a line end closes its
// line and does not start an empty one. A scenario without the file yet has an empty text;
// a file that is there but cannot be read throws BlitzfangError (see readWholeFile).
std::string readHelpText(const std::filesystem::path& path);
