#pragma once
// The picture a file manager shows for a scenario package: the game field as the scenario
// paints it (its background picture or colour, the Target and a Figure) with the scenario's
// title, drawn from a package that passed the import's whole check.

#include <QImage>

#include <filesystem>
#include <string>

// The longest side a thumbnail is drawn with: file managers ask for 128 to 1024 pixels.
inline constexpr int kLargestThumbnail = 2048;

// Checks the package `packagePath` as an import does, with the shipped standard media below
// `mediaFolder` (the folder that holds "Standard"), reads it through as the import unpacks it,
// and draws it with `size` pixels on its longer side. Throws BlitzfangError with the reason when
// the import would refuse the package.
QImage scenarioThumbnail(const std::string& packagePath, const std::filesystem::path& mediaFolder, int size);
