#pragma once
// The editor's working list of hit sounds. New sounds go to the front, so a list built from
// the stored sounds runs in the reverse of their stored order, and the next save writes it
// from the front on.

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

struct SoundEntry {
    std::string pfad; // full path of the WAV file
    std::string name; // its file name part, the line shown in the list
};

class EditorSoundList {
public:
    // Empties the list, then puts every non-empty path in front, first to last. An empty entry
    // (a count above the "Sounds: " lines) is no sound: saved first, it would fail the load check.
    void buildFrom(const std::vector<std::string>& sounds);
    // A new entry for `pfad` in front of the list.
    void addToFront(const std::string& pfad);
    // The first entry from the front whose name equals `name` exactly; null when none.
    SoundEntry* findFirstNamed(const std::string& name);
    // Removes that entry; false when there is none.
    bool removeFirstNamed(const std::string& name);
    void clear() { entries_.clear(); }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    std::vector<std::string> names() const;
    std::vector<std::string> paths() const;

    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::deque<SoundEntry> entries_;
};
