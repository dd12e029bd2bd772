#include "media/SoundPlayer.h"

#include "media/AudioLibrary.h"
#include "media/WavCheck.h"
#include "platform/BlitzfangError.h"
#include "storage/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

namespace {

// 512 frames at 44.1 kHz are about 12 ms: a hit sound starts with the click.
constexpr int mixerFrames = 512;

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
        state_ = State::Open;
        std::atexit(closeAtExit);
        return true;
    }

    bool isOpen() const { return state_ == State::Open; }
    int bytesPerSecond() const { return bytesPerSecond_; }
    const SoundDeviceFormat& deviceFormat() const { return deviceFormat_; }

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

void freeChunk(Mix_Chunk* chunk)
{
    // Freeing halts every channel that plays the chunk. After the exit handler closed the
    // device the chunk is left to the process's end.
    if (AudioEngine::instance().isOpen())
        audioLibrary().Mix_FreeChunk(chunk);
}

// The library gets the very bytes that were checked: the path is opened once, here.
std::shared_ptr<Mix_Chunk> loadChunk(const AudioLibrary& audio, const std::string& path)
{
    const std::string bytes = readWholeFile(path, kLargestSoundFile);
    checkWavBytes(bytes, path, AudioEngine::instance().deviceFormat());
    audio.SDL_ClearError();
    SDL_RWops* source = audio.SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    Mix_Chunk* chunk = source ? audio.Mix_LoadWAV_RW(source, 1) : nullptr;
    if (!chunk)
        throw BlitzfangError(audioLibraryReason(audio));
    return std::shared_ptr<Mix_Chunk>(chunk, freeChunk);
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
    std::shared_ptr<Mix_Chunk> chunk;
    int channel = -1;
    // The chunk was handed to the channel since the open or the last start from the beginning.
    bool started = false;
    bool paused = false;
    // Bytes of the chunk mixed so far: the exact position, written by the audio thread.
    std::atomic<std::uint64_t> mixedBytes{0};

    bool deviceLive() const { return AudioEngine::instance().isOpen(); }

    bool sounding() const { return started && deviceLive() && audioLibrary().Mix_Playing(channel) != 0; }
    bool ended() const { return started && !paused && !sounding(); }

    void halt()
    {
        if (!deviceLive() || channel < 0)
            return;
        const AudioLibrary& audio = audioLibrary();
        // Synchronous: afterwards the audio thread no longer touches mixedBytes.
        audio.Mix_HaltChannel(channel);
        audio.Mix_UnregisterAllEffects(channel);
        started = false;
        paused = false;
    }

    void startFromBeginning()
    {
        halt();
        mixedBytes.store(0);
        if (!deviceLive() || channel < 0)
            return;
        const AudioLibrary& audio = audioLibrary();
        // Registered while the channel is idle, so the first mixed piece is counted too.
        audio.Mix_RegisterEffect(channel, countMixedBytes, nullptr, &mixedBytes);
        if (audio.Mix_PlayChannelTimed(channel, chunk.get(), 0, -1) < 0) {
            // A play that fails on an open file is silent by design.
            audio.Mix_UnregisterAllEffects(channel);
            return;
        }
        started = true;
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
    // The libraries load here, at the first open; without them this throws and the game stays silent.
    const AudioLibrary& audio = audioLibrary();
    AudioEngine& engine = AudioEngine::instance();
    audio.SDL_ClearError();
    if (!engine.ensureOpen(audio))
        throw BlitzfangError(audioLibraryReason(audio));
    if (playback_->channel < 0)
        playback_->channel = engine.acquireChannel();
    std::shared_ptr<Mix_Chunk> chunk = cache_ ? cache_->find(fileName_) : nullptr;
    if (!chunk) {
        chunk = loadChunk(audio, fileName_);
        if (cache_)
            cache_->keep(fileName_, chunk);
    }
    playback_->chunk = std::move(chunk);
    playback_->mixedBytes.store(0);
}

void SoundPlayer::play()
{
    if (!isOpen())
        throw BlitzfangError(fehlertext::keinMciGeraet);
    Playback& p = *playback_;
    if (p.paused) {
        if (p.deviceLive())
            audioLibrary().Mix_Resume(p.channel);
        p.paused = false;
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
    if (p.sounding() && !p.paused) {
        // Paused, not halted: the next play goes on from here.
        audioLibrary().Mix_Pause(p.channel);
        p.paused = true;
    }
}

void SoundPlayer::close()
{
    Playback& p = *playback_;
    if (!p.chunk)
        return;
    p.halt();
    p.chunk.reset();
    p.started = false;
    p.paused = false;
    p.mixedBytes.store(0);
}

bool SoundPlayer::isOpen() const
{
    return playback_->chunk != nullptr;
}

int SoundPlayer::length() const
{
    if (!isOpen())
        throw BlitzfangError(fehlertext::keinMciGeraet);
    const auto bytes = static_cast<std::uint64_t>(playback_->chunk->alen);
    return static_cast<int>(bytes * 1000 / static_cast<std::uint64_t>(AudioEngine::instance().bytesPerSecond()));
}

int SoundPlayer::position() const
{
    if (!isOpen())
        return 0;
    const Playback& p = *playback_;
    if (p.ended())
        return length();
    const auto total = static_cast<std::uint64_t>(p.chunk->alen);
    const std::uint64_t mixed = std::min(p.mixedBytes.load(std::memory_order_relaxed), total);
    return static_cast<int>(mixed * 1000 / static_cast<std::uint64_t>(AudioEngine::instance().bytesPerSecond()));
}
