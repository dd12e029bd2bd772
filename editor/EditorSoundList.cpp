#include "editor/EditorSoundList.h"

#include "storage/ScenarioNames.h"

#include <algorithm>

void EditorSoundList::buildFrom(const std::vector<std::string>& sounds)
{
    entries_.clear();
    for (const std::string& pfad : sounds)
        if (!pfad.empty())
            addToFront(pfad);
}

void EditorSoundList::addToFront(const std::string& pfad)
{
    entries_.push_front(SoundEntry{pfad, dateinamenteil(pfad)});
}

SoundEntry* EditorSoundList::findFirstNamed(const std::string& name)
{
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const SoundEntry& e) { return e.name == name; });
    return found == entries_.end() ? nullptr : &*found;
}

bool EditorSoundList::removeFirstNamed(const std::string& name)
{
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const SoundEntry& e) { return e.name == name; });
    if (found == entries_.end())
        return false;
    entries_.erase(found);
    return true;
}

std::vector<std::string> EditorSoundList::names() const
{
    std::vector<std::string> result;
    for (const SoundEntry& entry : entries_)
        result.push_back(entry.name);
    return result;
}

std::vector<std::string> EditorSoundList::paths() const
{
    std::vector<std::string> result;
    for (const SoundEntry& entry : entries_)
        result.push_back(entry.pfad);
    return result;
}
