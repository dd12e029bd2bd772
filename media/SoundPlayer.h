#pragma once
// A player of one WAV file at a time. Any number of players sound independently, each on
// its own mixer channel; play returns at once. Without an audio device the program runs
// silently with the same behaviour (SDL's dummy driver).

#include <cstdint>
#include <memory>
#include <string>

struct Mix_Chunk;

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Stores the path; nothing else happens.
    void setFileName(const std::string& path);
    const std::string& fileName() const { return fileName_; }

    // Closes an open file, then opens the stored path. Throws BlitzfangError with the audio
    // library's reason ("Unbekannter Fehlercode" when it gives none); the player stays closed.
    void open();
    // Plays the open file from its current position and returns at once: right after open from
    // the start, after stop from where it stopped, after the end from the start again; a sound
    // that is playing goes on. Throws BlitzfangError("Kein MCI-Gerät geöffnet") when no file is open.
    void play();
    // Stops playback; the file stays open. Throws like play() when no file is open.
    void stop();
    // Releases the open file; does nothing when none is open.
    void close();

    bool isOpen() const;
    // Length of the open file in milliseconds; throws like play() when no file is open.
    int length() const;
    // Current position in milliseconds, never above length(); length() once the sound ended,
    // 0 when no file is open.
    int position() const;

private:
    struct Playback;

    std::string fileName_;
    std::unique_ptr<Playback> playback_;
};
