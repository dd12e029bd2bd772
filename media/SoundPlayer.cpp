#include "media/SoundPlayer.h"

#include "media/AudioLibrary.h"
#include "media/MediaFile.h"
#include "platform/BlitzfangError.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// 512 frames at 44.1 kHz are about 12 ms: a hit sound starts with the click.
constexpr int mixerFrames = 512;

// The mixer's one music stream, which plays long sounds from their files: whose sound it holds,
// and how far that sound has been mixed (counted on the audio thread).
struct MusicStream {
    const void* owner = nullptr;
    std::atomic<bool> counting{false};
    std::atomic<std::uint64_t> mixedBytes{0};
};

// Runs on the audio thread for every piece the device gets, after the music is mixed into it.
void countMusicBytes(int, void*, int length, void* data)
{
    auto* music = static_cast<MusicStream*>(data);
    if (music->counting.load(std::memory_order_relaxed))
        music->mixedBytes.fetch_add(static_cast<std::uint64_t>(length), std::memory_order_relaxed);
}

// The audio device, opened once for the process at the first open (so the program starts
// without waiting for it or loading its libraries) and closed at exit. It is never destroyed,
// because players that are static objects may be destroyed after the exit handler has run.
class AudioEngine {
public:
    static AudioEngine& instance()
    {
        static AudioEngine* engine = new AudioEngine;
        return *engine;
    }

    // Opens the device, or SDL's silent dummy device when there is no usable one. False only
    // when even that fails; SDL_GetError() then says why.
    bool ensureOpen(const AudioLibrary& audio)
    {
        if (state_ == State::Open)
            return true;
        if (state_ == State::ShutDown) {
            audio.SDL_SetError("Audio device hasn't been opened");
            return false;
        }
        // Otherwise SDL takes over SIGINT/SIGTERM and the program no longer stops on them.
        audio.SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        audio.SDL_SetMainReady();
        if (!openDevice(audio) && !openDummyDevice(audio))
            return false;
        int frequency = 0;
        int channels = 0;
        Uint16 format = 0;
        audio.Mix_QuerySpec(&frequency, &format, &channels);
        deviceFormat_ = {frequency, channels, SDL_AUDIO_BITSIZE(format) / 8};
        bytesPerSecond_ = frequency * channels * deviceFormat_.bytesPerSample;
        if (bytesPerSecond_ <= 0)
            bytesPerSecond_ = 1;
        channelsInUse_.assign(static_cast<std::size_t>(audio.Mix_AllocateChannels(-1)), false);
        audio.Mix_RegisterEffect(MIX_CHANNEL_POST, countMusicBytes, nullptr, &music_);
        state_ = State::Open;
        std::atexit(closeAtExit);
        return true;
    }

    bool isOpen() const { return state_ == State::Open; }
    int bytesPerSecond() const { return bytesPerSecond_; }
    const SoundDeviceFormat& deviceFormat() const { return deviceFormat_; }
    MusicStream& music() { return music_; }

    // Every player has a channel of its own, so players never cut each other off.
    int acquireChannel()
    {
        auto free = std::find(channelsInUse_.begin(), channelsInUse_.end(), false);
        if (free == channelsInUse_.end()) {
            const std::size_t count = channelsInUse_.size();
            const int wanted = static_cast<int>(std::max<std::size_t>(8, count * 2));
            channelsInUse_.resize(static_cast<std::size_t>(audioLibrary().Mix_AllocateChannels(wanted)), false);
            free = channelsInUse_.begin() + static_cast<std::ptrdiff_t>(count);
            if (free == channelsInUse_.end())
                return -1;
        }
        *free = true;
        return static_cast<int>(free - channelsInUse_.begin());
    }

    void releaseChannel(int channel)
    {
        if (channel >= 0 && static_cast<std::size_t>(channel) < channelsInUse_.size())
            channelsInUse_[static_cast<std::size_t>(channel)] = false;
    }

private:
    enum class State { Closed, Open, ShutDown };

    static bool openDevice(const AudioLibrary& audio)
    {
        if (audio.SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        if (audio.Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, AUDIO_S16SYS, 2, mixerFrames) == 0)
            return true;
        audio.SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }

    // Overrides SDL_AUDIODRIVER too: a named driver that does not work must not cost the game.
    static bool openDummyDevice(const AudioLibrary& audio)
    {
        audio.SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        return openDevice(audio);
    }

    static void closeAtExit()
    {
        AudioEngine& engine = instance();
        if (engine.state_ == State::Open) {
            const AudioLibrary& audio = audioLibrary();
            // Halting removes every player's counting effect before the device goes.
            audio.Mix_HaltChannel(-1);
            audio.Mix_HaltMusic();
            audio.Mix_CloseAudio();
            audio.Mix_Quit();
            audio.SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        engine.state_ = State::ShutDown;
    }

    State state_ = State::Closed;
    int bytesPerSecond_ = 1;
    SoundDeviceFormat deviceFormat_;
    std::vector<bool> channelsInUse_;
    MusicStream music_;
};

// Runs on the audio thread for every piece of the sound that is mixed; it only counts.
void countMixedBytes(int, void*, int length, void* counter)
{
    static_cast<std::atomic<std::uint64_t>*>(counter)->fetch_add(static_cast<std::uint64_t>(length),
                                                                  std::memory_order_relaxed);
}

std::string audioLibraryReason(const AudioLibrary& audio)
{
    const char* reason = audio.SDL_GetError();
    return reason && *reason ? std::string(reason) : fehlertext::unbekannterFehlercode;
}

const AudioLibrary& openedAudio()
{
    // The libraries load here, at the first open; without them this throws and the game stays silent.
    const AudioLibrary& audio = audioLibrary();
    audio.SDL_ClearError();
    if (!AudioEngine::instance().ensureOpen(audio))
        throw BlitzfangError(audioLibraryReason(audio));
    return audio;
}

void freeChunk(Mix_Chunk* chunk)
{
    // Freeing halts every channel that plays the chunk. After the exit handler closed the
    // device the chunk is left to the process's end.
    if (AudioEngine::instance().isOpen())
        audioLibrary().Mix_FreeChunk(chunk);
}

// --- What the audio library gets -------------------------------------------------------------

// An ADPCM decoder needs the whole fmt chunk (its coefficients), which is small.
constexpr std::uint64_t kLargestFormatChunk = 4096;

void putLittleEndian(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::uint64_t wholeFrames(const WavFormat& format)
{
    if (!format.streamable)
        return format.dataBytes;
    const auto frameBytes = static_cast<std::uint64_t>(format.channels * format.bitsPerSample / 8);
    return format.dataBytes / frameBytes * frameBytes;
}

// A WAV header for the checked sound: RIFF, a fmt chunk and the data chunk's header. The
// library sees neither the file's other chunks (lists, loop points, tags) nor any field that
// was not checked; an ADPCM sound keeps its own fmt chunk, which its decoder needs whole.
std::string checkedHeader(const WavFormat& format, const MediaFile& file)
{
    std::string fmt;
    if (format.streamable) {
        const int blockAlign = format.channels * format.bitsPerSample / 8;
        putLittleEndian(fmt, static_cast<std::uint64_t>(format.encoding), 2);
        putLittleEndian(fmt, static_cast<std::uint64_t>(format.channels), 2);
        putLittleEndian(fmt, static_cast<std::uint64_t>(format.sampleRate), 4);
        putLittleEndian(fmt, static_cast<std::uint64_t>(format.sampleRate) * static_cast<std::uint64_t>(blockAlign), 4);
        putLittleEndian(fmt, static_cast<std::uint64_t>(blockAlign), 2);
        putLittleEndian(fmt, static_cast<std::uint64_t>(format.bitsPerSample), 2);
    } else {
        fmt = file.readAt(format.formatOffset, static_cast<std::size_t>(std::min(format.formatBytes, kLargestFormatChunk)));
        if (fmt.size() & 1)
            fmt.push_back('\0');
    }
    const std::uint64_t data = wholeFrames(format);
    std::string header = "RIFF";
    putLittleEndian(header, 4 + 8 + fmt.size() + 8 + data, 4);
    header += "WAVEfmt ";
    putLittleEndian(header, fmt.size(), 4);
    header += fmt;
    header += "data";
    putLittleEndian(header, data, 4);
    return header;
}

// The sound a long sound's decoder reads while it plays: the checked header, then the file's
// samples, read on the audio thread from the descriptor opened at the check.
struct StreamSource {
    std::unique_ptr<MediaFile> file;
    std::string header;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;
    std::uint64_t position = 0;
    void (*release)(SDL_RWops*) = nullptr;

    std::uint64_t size() const { return header.size() + dataBytes; }
};

StreamSource& sourceOf(SDL_RWops* rw)
{
    return *static_cast<StreamSource*>(rw->hidden.unknown.data1);
}

Sint64 SDLCALL sourceSize(SDL_RWops* rw)
{
    return static_cast<Sint64>(sourceOf(rw).size());
}

Sint64 SDLCALL sourceSeek(SDL_RWops* rw, Sint64 offset, int whence)
{
    StreamSource& source = sourceOf(rw);
    const Sint64 base = whence == RW_SEEK_SET ? 0
        : whence == RW_SEEK_CUR               ? static_cast<Sint64>(source.position)
                                              : static_cast<Sint64>(source.size());
    if (offset < -base)
        return -1;
    source.position = static_cast<std::uint64_t>(base + offset);
    return static_cast<Sint64>(source.position);
}

size_t SDLCALL sourceRead(SDL_RWops* rw, void* into, size_t size, size_t count)
{
    StreamSource& source = sourceOf(rw);
    if (size == 0 || source.position >= source.size())
        return 0;
    const std::uint64_t wanted = std::min<std::uint64_t>(static_cast<std::uint64_t>(size) * count,
                                                         source.size() - source.position);
    auto* out = static_cast<char*>(into);
    std::uint64_t done = 0;
    if (source.position < source.header.size()) {
        done = std::min<std::uint64_t>(wanted, source.header.size() - source.position);
        std::memcpy(out, source.header.data() + source.position, done);
    }
    if (done < wanted) {
        const std::uint64_t inData = source.position + done - source.header.size();
        const long long got =
            source.file->readInto(source.dataOffset + inData, out + done, static_cast<std::size_t>(wanted - done));
        // A file that cannot be read any more ends the sound here.
        if (got > 0)
            done += static_cast<std::uint64_t>(got);
    }
    source.position += done;
    return static_cast<size_t>(done / size);
}

size_t SDLCALL sourceWrite(SDL_RWops*, const void*, size_t, size_t)
{
    return 0;
}

int SDLCALL sourceClose(SDL_RWops* rw)
{
    auto* source = static_cast<StreamSource*>(rw->hidden.unknown.data1);
    auto release = source->release;
    delete source;
    release(rw);
    return 0;
}

SDL_RWops* streamSource(const AudioLibrary& audio, std::unique_ptr<MediaFile> file, const WavFormat& format)
{
    auto source = std::make_unique<StreamSource>();
    source->header = checkedHeader(format, *file);
    source->dataOffset = format.dataOffset;
    source->dataBytes = wholeFrames(format);
    source->file = std::move(file);
    source->release = audio.SDL_FreeRW;
    SDL_RWops* rw = audio.SDL_AllocRW();
    if (!rw)
        return nullptr;
    rw->size = sourceSize;
    rw->seek = sourceSeek;
    rw->read = sourceRead;
    rw->write = sourceWrite;
    rw->close = sourceClose;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = source.release();
    return rw;
}

// A short sound, held whole: the checked header and the file's samples, converted by the library.
std::shared_ptr<Mix_Chunk> heldSound(const AudioLibrary& audio, const MediaFile& file, const WavFormat& format)
{
    const std::string bytes = checkedHeader(format, file) + file.readAt(format.dataOffset, wholeFrames(format));
    audio.SDL_ClearError();
    SDL_RWops* source = audio.SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    Mix_Chunk* chunk = source ? audio.Mix_LoadWAV_RW(source, 1) : nullptr;
    if (!chunk)
        throw BlitzfangError(audioLibraryReason(audio));
    return std::shared_ptr<Mix_Chunk>(chunk, freeChunk);
}

// A long sound, played from its file through the music stream.
class StreamedSound {
public:
    StreamedSound(Mix_Music* music, std::int64_t milliseconds) : music_(music), milliseconds_(milliseconds) {}
    ~StreamedSound()
    {
        // Freeing halts the music stream if it plays this sound; after the exit handler the
        // sound is left to the process's end.
        if (AudioEngine::instance().isOpen())
            audioLibrary().Mix_FreeMusic(music_);
    }
    StreamedSound(const StreamedSound&) = delete;
    StreamedSound& operator=(const StreamedSound&) = delete;

    Mix_Music* music() const { return music_; }
    std::int64_t milliseconds() const { return milliseconds_; }

private:
    Mix_Music* music_;
    std::int64_t milliseconds_;
};

std::unique_ptr<StreamedSound> streamedSound(const AudioLibrary& audio, std::unique_ptr<MediaFile> file,
                                             const WavFormat& format)
{
    audio.SDL_ClearError();
    SDL_RWops* source = streamSource(audio, std::move(file), format);
    Mix_Music* music = source ? audio.Mix_LoadMUS_RW(source, 1) : nullptr;
    if (!music)
        throw BlitzfangError(audioLibraryReason(audio));
    return std::make_unique<StreamedSound>(music, streamedMilliseconds(format));
}

int clampedToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX));
}

} // namespace

void SoundCache::clear()
{
    chunks_.clear();
    bytes_ = 0;
}

std::shared_ptr<Mix_Chunk> SoundCache::find(const std::string& path) const
{
    const auto found = chunks_.find(path);
    return found == chunks_.end() ? nullptr : found->second;
}

void SoundCache::keep(const std::string& path, const std::shared_ptr<Mix_Chunk>& chunk)
{
    if (bytes_ + chunk->alen > kLargestKeptSounds || !chunks_.emplace(path, chunk).second)
        return;
    bytes_ += chunk->alen;
}

struct SoundPlayer::Playback {
    // One of the two: a sound held whole, or a long one played from its file.
    std::shared_ptr<Mix_Chunk> chunk;
    std::unique_ptr<StreamedSound> stream;
    int channel = -1;
    // The sound was handed to the mixer since the open or the last start from the beginning.
    bool started = false;
    bool paused = false;
    // Bytes of the chunk mixed so far: the exact position, written by the audio thread.
    std::atomic<std::uint64_t> mixedBytes{0};

    bool isOpen() const { return chunk || stream; }
    bool deviceLive() const { return AudioEngine::instance().isOpen(); }
    MusicStream& music() const { return AudioEngine::instance().music(); }
    // Another player's long sound took the music stream.
    bool lostStream() const { return stream && started && music().owner != this; }

    bool sounding() const
    {
        if (!started || !deviceLive())
            return false;
        if (stream)
            return music().owner == this && audioLibrary().Mix_PlayingMusic() != 0;
        return audioLibrary().Mix_Playing(channel) != 0;
    }
    bool ended() const { return started && (lostStream() || (!paused && !sounding())); }

    void halt()
    {
        started = false;
        paused = false;
        if (!deviceLive())
            return;
        const AudioLibrary& audio = audioLibrary();
        if (stream) {
            if (music().owner == this) {
                audio.Mix_HaltMusic();
                music().counting = false;
                music().owner = nullptr;
            }
            return;
        }
        if (channel < 0)
            return;
        // Synchronous: afterwards the audio thread no longer touches mixedBytes.
        audio.Mix_HaltChannel(channel);
        audio.Mix_UnregisterAllEffects(channel);
    }

    void startFromBeginning()
    {
        halt();
        mixedBytes.store(0);
        if (!deviceLive())
            return;
        const AudioLibrary& audio = audioLibrary();
        if (stream) {
            // The later long sound wins: the one playing now is cut off, its player sees it ended.
            music().owner = this;
            music().mixedBytes = 0;
            music().counting = true;
            if (audio.Mix_PlayMusic(stream->music(), 0) < 0) {
                // A play that fails on an open file is silent by design.
                music().counting = false;
                music().owner = nullptr;
                return;
            }
            // The stream may still be paused by the player that had it.
            audio.Mix_ResumeMusic();
            started = true;
            return;
        }
        if (channel < 0)
            return;
        // Registered while the channel is idle, so the first mixed piece is counted too.
        audio.Mix_RegisterEffect(channel, countMixedBytes, nullptr, &mixedBytes);
        if (audio.Mix_PlayChannelTimed(channel, chunk.get(), 0, -1) < 0) {
            audio.Mix_UnregisterAllEffects(channel);
            return;
        }
        started = true;
    }

    void pause()
    {
        if (stream) {
            audioLibrary().Mix_PauseMusic();
            music().counting = false;
        } else {
            audioLibrary().Mix_Pause(channel);
        }
        paused = true;
    }

    void resume()
    {
        if (deviceLive()) {
            if (stream) {
                music().counting = true;
                audioLibrary().Mix_ResumeMusic();
            } else {
                audioLibrary().Mix_Resume(channel);
            }
        }
        paused = false;
    }

    std::uint64_t bytesMixed() const
    {
        return stream ? music().mixedBytes.load(std::memory_order_relaxed) : mixedBytes.load(std::memory_order_relaxed);
    }
};

SoundPlayer::SoundPlayer(SoundCache* cache) : cache_(cache), playback_(std::make_unique<Playback>()) {}

SoundPlayer::~SoundPlayer()
{
    close();
    if (playback_->deviceLive())
        AudioEngine::instance().releaseChannel(playback_->channel);
}

void SoundPlayer::setFileName(const std::string& path)
{
    fileName_ = path;
}

void SoundPlayer::open()
{
    close();
    const AudioLibrary& audio = openedAudio();
    AudioEngine& engine = AudioEngine::instance();
    if (playback_->channel < 0)
        playback_->channel = engine.acquireChannel();
    if (std::shared_ptr<Mix_Chunk> kept = cache_ ? cache_->find(fileName_) : nullptr) {
        playback_->chunk = std::move(kept);
        return;
    }
    auto file = std::make_unique<MediaFile>(fileName_, kLargestSoundFile);
    const SoundDeviceFormat device = engine.deviceFormat();
    const WavFormat format = checkWavFile(*file, [&device] { return device; });
    if (playedFromFile(format, device)) {
        playback_->stream = streamedSound(audio, std::move(file), format);
        return;
    }
    playback_->chunk = heldSound(audio, *file, format);
    if (cache_)
        cache_->keep(fileName_, playback_->chunk);
}

void SoundPlayer::play()
{
    if (!isOpen())
        throw BlitzfangError(fehlertext::keinMciGeraet);
    Playback& p = *playback_;
    if (p.paused && !p.lostStream()) {
        p.resume();
        return;
    }
    if (p.started && !p.ended())
        return;
    p.startFromBeginning();
}

void SoundPlayer::stop()
{
    if (!isOpen())
        throw BlitzfangError(fehlertext::keinMciGeraet);
    Playback& p = *playback_;
    // Paused, not halted: the next play goes on from here.
    if (p.sounding() && !p.paused)
        p.pause();
}

void SoundPlayer::close()
{
    Playback& p = *playback_;
    if (!p.isOpen())
        return;
    p.halt();
    p.chunk.reset();
    p.stream.reset();
    p.mixedBytes.store(0);
}

bool SoundPlayer::isOpen() const
{
    return playback_->isOpen();
}

bool SoundPlayer::playsFromFile() const
{
    return playback_->stream != nullptr;
}

int SoundPlayer::length() const
{
    if (!isOpen())
        throw BlitzfangError(fehlertext::keinMciGeraet);
    if (playback_->stream)
        return clampedToInt(playback_->stream->milliseconds());
    const auto bytes = static_cast<std::uint64_t>(playback_->chunk->alen);
    return static_cast<int>(bytes * 1000 / static_cast<std::uint64_t>(AudioEngine::instance().bytesPerSecond()));
}

int SoundPlayer::position() const
{
    if (!isOpen())
        return 0;
    const Playback& p = *playback_;
    const int total = length();
    if (p.ended())
        return total;
    if (!p.started)
        return 0;
    const std::uint64_t mixed = p.bytesMixed();
    return std::min(total, clampedToInt(static_cast<std::int64_t>(
                               mixed * 1000 / static_cast<std::uint64_t>(AudioEngine::instance().bytesPerSecond()))));
}

SoundDeviceFormat playingDeviceFormat()
{
    try {
        openedAudio();
        return AudioEngine::instance().deviceFormat();
    } catch (const BlitzfangError&) {
        return {};
    }
}

void preloadAudioLibraries()
{
    try {
        audioLibrary();
    } catch (const BlitzfangError&) {
    }
}
