#pragma once
// Copies a chosen picture or sound into a scenario's own folder, so that the scenario keeps
// working when the original is moved or deleted. A save first plans where every file goes
// (copyTarget, which reads no source and writes nothing) and copies once the plan has passed.

#include "storage/ConfinedFolder.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class MediaFile;

// How a copy checks its source, which is opened once; each check throws BlitzfangError with a
// German reason when the file is not a picture or sound of the kind the folder holds.
struct MediaCheck {
    // Larger files cannot be opened.
    std::uint64_t largestFile = 0;
    // A picture must be decoded to be checked: its bytes, read whole, are checked and copied.
    std::function<void(std::string_view bytes, const std::string& path)> wholeFile;
    // A sound is checked by the header it reads from the open file; the copy then streams the
    // file, so that a save never holds a long sound in memory.
    std::function<void(const MediaFile& file)> header;
};

// Where a copy may read its source: anywhere the author chose it (the editor's own saves), or
// only inside the program folder, reached without a link (the automatic saves).
enum class SourceReach { anywhere, programFolder };

// Where one copy goes.
struct CopyTarget {
    std::string path;     // the path the setting names afterwards
    std::string relative; // the copy's place below the program folder; empty: nothing is copied
};

// Plans the copy of the file `path` into `scenarioFolder`/`subfolder` ("bilder" or "sound") of
// the program folder `folder` under its file name part. `scenarioFolder` is relative to the
// program folder, as found.
// - A path that already names the target (the same text, or the same file reached another
//   way) stays the target and is not copied: nothing leaves the scenario.
// - An empty path stays empty (nothing chosen); a path without a file name part stays as it is.
// - `takenByAnother(target)` tells that the file at `target` must not be replaced (another
//   setting needs it with a different content, or it is shipped media): the copy then takes the
//   first free name "name_2.ext", "name_3.ext", ... instead.
// - A scenario folder or media folder that is a link throws BlitzfangError naming the link.
CopyTarget copyTarget(const ConfinedFolder& folder, const std::string& scenarioFolder, const std::string& path,
                      const std::string& subfolder,
                      const std::function<bool(const std::string&)>& takenByAnother = {});

// Copies the file `path` to the planned `target` (CopyTarget::relative, in `scenarioFolder`) as
// part of the save `save`, which puts it in place with the save's other files.
// - Only a regular file that `check` lets pass is copied, with no more permission bits than the
//   source has; the bytes checked are read from the file opened once. Anything else throws
//   BlitzfangError with the reason and copies nothing: the caller keeps the path it had, so a
//   save never names a copy that is not there.
// - The scenario folder is created with "bilder" and "sound" when it does not exist; a missing
//   subfolder is created as well. A link on the way throws, and nothing is written through it.
// - The copy replaces the target only when the save is committed (StagedFiles), so the target is
//   never lost. A write the system refuses throws WriteFailure, which stops the whole save.
void copyToTarget(StagedFiles& save, const std::string& scenarioFolder, const std::string& path,
                  const std::string& target, const MediaCheck& check, SourceReach reach = SourceReach::anywhere);

// copyTarget, then copyToTarget when there is something to copy, put in place at once; returns
// the path the scenario then stores.
std::string copyIntoScenarioFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                                   const std::string& path, const std::string& subfolder, const MediaCheck& check,
                                   const std::function<bool(const std::string&)>& takenByAnother = {},
                                   SourceReach reach = SourceReach::anywhere);

// The message for a scenario whose folder or `subfolder` is a link; empty when neither is.
std::string linkedMediaFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                              const std::string& subfolder);

// True when both texts name the same existing file, or are the same text.
bool sameFile(const std::string& a, const std::string& b);

// True when the file `path` lies inside the program folder and no entry on the way to it, the
// file included, is a link. A path that leaves the folder lexically ("..") is outside, and so is
// one that a link inside the folder leads on from, wherever the link points: what the link
// reaches is decided by whoever made it, not by the folder.
bool insideProgramFolder(const ConfinedFolder& folder, const std::string& path);
