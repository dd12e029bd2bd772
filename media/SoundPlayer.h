#pragma once
// A player of one WAV file at a time. Any number of players sound independently, each on
// its own mixer channel; play returns at once. Without an audio device the program runs
// silently with the same behaviour (SDL's dummy driver).
//
// A sound too large to be held whole (see kLargestHeldSound) is played from its file through
// the mixer's one music stream. Only one such long sound sounds at a time: the later play wins,
// and the player whose long sound it cut off reports it as ended (position = length; its next
// play starts it from the beginning). Short sounds are not affected by this.

#include "media/WavCheck.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

struct Mix_Chunk;

// Sounds loaded once and kept for the players that open through it, at most
// kLargestKeptSounds bytes in all; a sound beyond that is loaded at each open. Long sounds that
// are played from their files are never kept.
class SoundCache {
public:
    static constexpr std::uint64_t kLargestKeptSounds = 32 * 1024 * 1024;

    // Forgets every sound; a player that has one open keeps it until it closes.
    void clear();

private:
    friend class SoundPlayer;
    std::shared_ptr<Mix_Chunk> find(const std::string& path) const;
    void keep(const std::string& path, const std::shared_ptr<Mix_Chunk>& chunk);

    std::map<std::string, std::shared_ptr<Mix_Chunk>> chunks_;
    std::uint64_t bytes_ = 0;
};

class SoundPlayer {
public:
    // With a cache, open takes a file loaded before from it instead of reading it again.
    explicit SoundPlayer(SoundCache* cache = nullptr);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Stores the path; nothing else happens.
    void setFileName(const std::string& path);
    const std::string& fileName() const { return fileName_; }

    // Closes an open file, then opens the stored path. The file is opened once, without waiting
    // on anything that is not a regular file, and checked (checkWavHeader) before the audio
    // library sees its bytes: the library gets a header made from what the check read and the
    // file's samples, nothing else. Throws BlitzfangError with the German reason, or the audio
    // library's ("Unbekannter Fehlercode" when it gives none); the player stays closed.
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
    // True while the open sound is played from its file (a long sound).
    bool playsFromFile() const;

private:
    struct Playback;

    std::string fileName_;
    SoundCache* cache_;
    std::unique_ptr<Playback> playback_;
};

// The audio device's format, the device opened for it if need be; the usual 44.1 kHz 16-bit
// stereo when there is no audio library or device (then no sound plays at all). For the check of
// a copy, so that what a save accepts plays.
SoundDeviceFormat playingDeviceFormat();

// Loads the audio libraries without opening the device (which would keep a thread busy), so
// that the first sound does not wait for them. A failure is left for that sound to report.
void preloadAudioLibraries();
