// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One sound output per process: SDL2_mixer owns the device; the music is
// FluidSynth's, rendered in SDL_mixer's music hook; wave effects play on an
// SDL_mixer channel.
//
// Who touches what:
// - Callers (the window thread) only change and read the shared state below
//   under `mutex_`, for a few copies at a time. They never call FluidSynth,
//   and SDL only to halt an effect (stopSoundEffect, which waits at most for
//   the mix in progress), so they never wait for the audio.
// - SDL's audio thread owns the FluidSynth MIDI player: in the music hook
//   it picks up the latest transport request, creates, starts, stops and
//   deletes the player, renders, and publishes the position it reached.
// - The background thread opens the device, loads the soundfont, selects the
//   instruments of each file opened (so that their samples are read there,
//   not on the audio thread; a file starts playing once that is done) and
//   reads wave files.
// Lock order: SDL's device lock (held around the music hook and by every
// Mix_ call) before `mutex_`; nothing calls into SDL while holding `mutex_`.
#include "platform/sound/sound_system.h"

#include "platform/sound/midi_file.h"
#include "platform/sound/sequencer.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <thread>
#include <vector>

namespace vantel::sound {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSystemSoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// Device buffer: 1024 frames, 23 ms at 44.1 kHz.
constexpr int kDeviceBufferFrames = 1024;
constexpr int kEffectChannel = 0;
// FluidSynth renders at most this many frames per call.
constexpr int kRenderBlockFrames = 1024;
// Overall music level. FluidSynth's own default (0.2) leaves General MIDI
// pieces quiet; this brings the default pieces' peaks to -10 .. -5 dBFS,
// with room for an effect mixed on top.
constexpr double kSynthGain = 0.45;
// After a stop, the synthesizer keeps running muted this long so that its
// reverb and chorus empty before the next start; then the hook idles.
constexpr std::int64_t kDrainFrames = 2 * kOutputRate;
// Music files larger than this are not Standard MIDI Files worth reading.
constexpr std::uintmax_t kMaxMidiFileBytes = 16u << 20;

constexpr int kFileChannels = 16;
constexpr int kPercussionBank = 128;

struct MidiData {
    std::vector<std::uint8_t> bytes;
    MidiFileInfo info;
};

enum class Transport { Stopped, Playing, Paused };

// What callers ask of the music; the audio thread follows it.
struct MusicControl {
    std::uint64_t epoch = 0;  // bumped by every request
    std::shared_ptr<const MidiData> file;
    std::uint64_t fileSerial = 0;
    Transport transport = Transport::Stopped;
    // Where a playing request starts, and where a stopped piece stands.
    std::int64_t startTick = 0;
};

// What the audio thread reports back for the request it last applied.
struct MusicFeedback {
    std::uint64_t epoch = 0;
    std::int64_t tick = 0;
    bool ended = false;
};

enum class JobKind { StartDevice, LoadSynth, PrepareInstruments, PlayEffect };

struct Job {
    JobKind kind = JobKind::StartDevice;
    std::string path;
    int loops = 0;
    bool haltFirst = false;
    bool allowDefault = false;
    std::uint64_t serial = 0;

    static Job of(JobKind kind, std::uint64_t serial = 0) {
        Job job;
        job.kind = kind;
        job.serial = serial;
        return job;
    }
    static Job effect(std::string path, std::uint64_t serial, int loops, bool synchronous) {
        Job job = of(JobKind::PlayEffect, serial);
        job.path = std::move(path);
        job.loops = loops;
        job.haltFirst = synchronous;
        job.allowDefault = synchronous;
        return job;
    }
};

void SDLCALL discardSdlLog(void*, int, SDL_LogPriority, const char*) {}
void discardFluidLog(int, const char*, void*) {}
// ALSA's error handler has a printf-like signature.
void discardAlsaError(const char*, int, const char*, int, const char*, ...) {}

bool looksLikeWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[12] = {};
    if (!in.read(header, sizeof header)) return false;
    return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0;
}

// The chunk structure of a SoundFont 2 file: RIFF "sfbk" holding the lists
// INFO, sdta and pdta, the last with its nine tables in whole records. Only
// the chunk headers are read (the samples make up nearly all of the file).
// Files that fail here are not given to FluidSynth, whose fallback loaders
// would report them on stderr.
bool looksLikeSoundFont(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    auto read32 = [&in](std::uint32_t& value) {
        unsigned char b[4];
        if (!in.read(reinterpret_cast<char*>(b), 4)) return false;
        value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return true;
    };
    auto readTag = [&in](char (&tag)[5]) {
        tag[4] = 0;
        return static_cast<bool>(in.read(tag, 4));
    };
    std::error_code error;
    const auto fileSize = std::filesystem::file_size(path, error);
    char tag[5];
    std::uint32_t riffSize = 0;
    if (error || !readTag(tag) || std::strcmp(tag, "RIFF") != 0 || !read32(riffSize) || !readTag(tag) ||
        std::strcmp(tag, "sfbk") != 0 || riffSize + 8ull > fileSize) {
        return false;
    }
    const std::uint64_t end = 8ull + riffSize;
    bool info = false, samples = false, presets = false;
    for (std::uint64_t at = 12; at + 8 <= end;) {
        in.seekg(static_cast<std::streamoff>(at));
        std::uint32_t size = 0;
        char list[5];
        if (!readTag(tag) || !read32(size) || at + 8 + size > end) return false;
        if (std::strcmp(tag, "LIST") == 0 && size >= 4 && readTag(list)) {
            if (std::strcmp(list, "INFO") == 0) info = true;
            if (std::strcmp(list, "sdta") == 0) samples = true;
            if (std::strcmp(list, "pdta") == 0) {
                struct Table {
                    const char* name;
                    std::uint32_t record;
                    bool found;
                } tables[] = {{"phdr", 38, false}, {"pbag", 4, false}, {"pmod", 10, false},
                              {"pgen", 4, false},  {"inst", 22, false}, {"ibag", 4, false},
                              {"imod", 10, false}, {"igen", 4, false},  {"shdr", 46, false}};
                for (std::uint64_t sub = at + 12; sub + 8 <= at + 8 + size;) {
                    in.seekg(static_cast<std::streamoff>(sub));
                    std::uint32_t subSize = 0;
                    if (!readTag(tag) || !read32(subSize) || sub + 8 + subSize > at + 8 + size) return false;
                    for (Table& table : tables) {
                        if (std::strcmp(tag, table.name) == 0) {
                            if (subSize < table.record || subSize % table.record != 0) return false;
                            table.found = true;
                        }
                    }
                    sub += 8 + subSize + (subSize & 1);
                }
                presets = std::all_of(std::begin(tables), std::end(tables), [](const Table& t) { return t.found; });
            }
        }
        at += 8 + size + (size & 1);
    }
    return info && samples && presets;
}

std::shared_ptr<const MidiData> readMusicFile(const std::string& path) {
    if (path.empty()) return nullptr;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0 || size > kMaxMidiFileBytes) return nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    auto data = std::make_shared<MidiData>();
    data->bytes.resize(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(data->bytes.data()), static_cast<std::streamsize>(size))) return nullptr;
    auto info = readMidiFile(data->bytes);
    if (!info) return nullptr;
    data->info = std::move(*info);
    return data;
}

// The sound played by a synchronous effect whose file cannot be played: a
// short two-note chime, in the device's format (16-bit stereo).
std::vector<std::uint8_t> makeDefaultChime() {
    const int frames = kOutputRate * 3 / 10;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * kOutputChannels);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kOutputRate;
        const bool second = t >= 0.1;
        const double local = second ? t - 0.1 : t;
        const double frequency = second ? 783.99 : 1046.5;
        const double envelope = std::min(1.0, local * 400.0) * std::exp(-local * 14.0);
        const double value = 0.3 * envelope *
                             (std::sin(2 * std::numbers::pi * frequency * t) +
                              0.25 * std::sin(4 * std::numbers::pi * frequency * t));
        const auto s = static_cast<std::int16_t>(std::lrint(value * 32767.0));
        samples[static_cast<std::size_t>(i) * 2] = s;
        samples[static_cast<std::size_t>(i) * 2 + 1] = s;
    }
    std::vector<std::uint8_t> bytes(samples.size() * sizeof(std::int16_t));
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

class AudioService {
public:
    static AudioService& instance() {
        // Never destroyed: ClsMidi objects may outlive static destruction.
        // The output itself is shut down by the exit handler.
        static AudioService* service = [] {
            auto* created = new AudioService;
            std::atexit([] { AudioService::instance().shutdown(); });
            return created;
        }();
        return *service;
    }

    // ---- options and state -------------------------------------------
    void setOptions(SoundOptions options) {
        std::lock_guard lock(mutex_);
        options_ = std::move(options);
    }
    StartState device() {
        std::lock_guard lock(mutex_);
        return device_;
    }
    StartState music() {
        std::lock_guard lock(mutex_);
        return music_;
    }
    bool waitUntilSettled(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return settledCv_.wait_for(lock, timeout, [this] {
            return jobs_.empty() && !workerBusy_ && device_ != StartState::Starting &&
                   music_ != StartState::Starting;
        });
    }

    // ---- the sequencer --------------------------------------------------
    void open(const std::string& path) {
        auto file = readMusicFile(path);  // outside the lock: reads the disk
        std::lock_guard lock(mutex_);
        control_.file = std::move(file);
        ++control_.fileSerial;
        control_.transport = Transport::Stopped;
        control_.startTick = 0;
        ++control_.epoch;
        // Once the soundfont is in (or is coming), the file's instruments are
        // read in the background; until then the file waits to start.
        if (control_.file && (music_ == StartState::Ready || music_ == StartState::Starting)) {
            pushJob(Job::of(JobKind::PrepareInstruments, control_.fileSerial));
        }
    }
    void close() {
        std::lock_guard lock(mutex_);
        if (!control_.file) return;
        control_.file = nullptr;
        ++control_.fileSerial;
        control_.transport = Transport::Stopped;
        control_.startTick = 0;
        ++control_.epoch;
    }
    void play() {
        std::lock_guard lock(mutex_);
        if (!playable() || modeLocked() == sequencer::Mode::Playing) return;
        const std::int64_t at = positionLocked();
        startLocked(at >= lengthLocked() ? 0 : at);
    }
    void playFromStart() {
        std::lock_guard lock(mutex_);
        if (!playable()) return;
        startLocked(0);
    }
    void stop() {
        std::lock_guard lock(mutex_);
        if (!control_.file) return;
        holdLocked(Transport::Stopped, positionLocked());
    }
    void pause() {
        std::lock_guard lock(mutex_);
        if (!control_.file || modeLocked() != sequencer::Mode::Playing) return;
        holdLocked(Transport::Paused, positionLocked());
    }
    void seek(std::int64_t tick) {
        std::lock_guard lock(mutex_);
        if (!control_.file) return;
        holdLocked(Transport::Stopped, std::clamp<std::int64_t>(tick, 0, lengthLocked()));
    }
    std::int64_t position() {
        std::lock_guard lock(mutex_);
        return positionLocked();
    }
    std::int64_t length() {
        std::lock_guard lock(mutex_);
        return lengthLocked();
    }
    sequencer::Mode mode() {
        std::lock_guard lock(mutex_);
        return modeLocked();
    }

    // ---- wave effects ---------------------------------------------------
    int playEffect(const std::string& path, int mode) {
        if (path.empty()) return 0;
        if (mode == 0 || mode == 1) {
            if (!looksLikeWave(path)) return 0;  // no default sound in these modes
            std::lock_guard lock(mutex_);
            if (device_ == StartState::Failed || effectBusyLocked()) return 0;
            const std::uint64_t serial = ++effectAccepted_;
            requestDeviceLocked();
            pushJob(Job::effect(path, serial, mode == 1 ? -1 : 0, false));
            return 1;
        }
        // Synchronous: ends a wave that is playing, plays this one (or the
        // default chime when it cannot be played) and waits for its end.
        std::unique_lock lock(mutex_);
        if (device_ == StartState::Failed) return 0;
        const std::uint64_t serial = ++effectAccepted_;
        const std::uint64_t generation = generation_;
        requestDeviceLocked();
        pushJob(Job::effect(path, serial, 0, true));
        while (effectFinished_ < serial && generation_ == generation) {
            effectCv_.wait_for(lock, std::chrono::milliseconds(50));
            // A device that stops calling back must not hold the caller forever.
            if (effectStarted_ == serial && Clock::now() > effectStartTime_ + effectDuration_ + std::chrono::seconds(2))
                break;
        }
        return effectStarted_ == serial ? 1 : 0;
    }
    bool effectPlaying() {
        std::lock_guard lock(mutex_);
        return effectBusyLocked();
    }
    void stopEffect() {
        {
            std::lock_guard lock(mutex_);
            effectFinished_ = effectAccepted_;  // one still being read is dropped
            effectCv_.notify_all();
            if (device_ != StartState::Ready) return;
        }
        // Halting calls channelFinished, which takes the lock.
        Mix_HaltChannel(kEffectChannel);
    }

    // ---- shutting down --------------------------------------------------
    void shutdown() {
        std::thread worker;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            worker = std::move(worker_);
        }
        workCv_.notify_all();
        if (worker.joinable()) worker.join();

        if (deviceOpen_) {
            Mix_HookMusic(nullptr, nullptr);  // waits for a running hook to return
            Mix_SetPostMix(nullptr, nullptr);
            Mix_HaltChannel(-1);
            Mix_ChannelFinished(nullptr);
            if (effectChunk_) Mix_FreeChunk(effectChunk_);
            if (chimeChunk_) Mix_FreeChunk(chimeChunk_);
            effectChunk_ = chimeChunk_ = nullptr;
            Mix_CloseAudio();
            Mix_Quit();
            deviceOpen_ = false;
        }
        tap_ = nullptr;
        if (sdlStarted_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            SDL_Quit();
            sdlStarted_ = false;
        }
        SDL_TLSCleanup();  // what the calls above left for this thread
        // The audio thread is gone: its player is ours to delete.
        if (audio_.player) delete_fluid_player(audio_.player);
        audio_ = AudioSide{};
        {
            std::lock_guard lock(mutex_);
            synthForAudio_ = nullptr;
        }
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
        soundFontId_ = FLUID_FAILED;
        channelDefaults_.clear();
        chimeData_.clear();
        chimeData_.shrink_to_fit();
        if (alsa_) dlclose(alsa_);
        alsa_ = nullptr;

        std::lock_guard lock(mutex_);
        const std::int64_t at = positionLocked();
        control_.transport = Transport::Stopped;
        control_.startTick = at;
        ++control_.epoch;
        feedback_ = MusicFeedback{};
        preparedSerial_ = 0;
        jobs_.clear();
        device_ = music_ = StartState::NotStarted;
        effectFinished_ = effectAccepted_;
        effectPlaying_ = 0;
        ++generation_;
        stopping_ = false;
        effectCv_.notify_all();
        settledCv_.notify_all();
    }

private:
    AudioService() = default;

    // The audio thread's own state: touched only in the music hook (and by
    // shutdown once the hook can no longer run).
    struct AudioSide {
        MusicControl applied;
        fluid_player_t* player = nullptr;
        bool ended = false;
        bool muted = true;
        std::int64_t quietFrames = kDrainFrames;
        std::vector<float> scratch;
    };

    // ---- caller side helpers (mutex_ held) -----------------------------
    bool playable() const {
        return control_.file && device_ != StartState::Failed && music_ != StartState::Failed;
    }
    std::int64_t lengthLocked() const { return control_.file ? control_.file->info.lengthTicks : 0; }
    bool endedLocked() const {
        return control_.transport == Transport::Playing && feedback_.epoch == control_.epoch && feedback_.ended;
    }
    std::int64_t positionLocked() const {
        if (!control_.file) return 0;
        if (control_.transport == Transport::Playing && feedback_.epoch == control_.epoch) {
            return feedback_.ended ? lengthLocked() : std::clamp<std::int64_t>(feedback_.tick, 0, lengthLocked());
        }
        return control_.startTick;
    }
    sequencer::Mode modeLocked() const {
        if (!playable()) return sequencer::Mode::NotReady;
        switch (control_.transport) {
        case Transport::Playing:
            return endedLocked() ? sequencer::Mode::Stopped : sequencer::Mode::Playing;
        case Transport::Paused:
            return sequencer::Mode::Paused;
        case Transport::Stopped:
            break;
        }
        return sequencer::Mode::Stopped;
    }
    void startLocked(std::int64_t tick) {
        control_.transport = Transport::Playing;
        control_.startTick = tick;
        ++control_.epoch;
        requestMusicLocked();
    }
    void holdLocked(Transport transport, std::int64_t tick) {
        control_.transport = transport;
        control_.startTick = tick;
        ++control_.epoch;
    }
    bool effectBusyLocked() const { return effectFinished_ < effectAccepted_; }

    void pushJob(Job job) {
        jobs_.push_back(std::move(job));
        if (!worker_.joinable()) worker_ = std::thread([this] { workerLoop(); });
        workCv_.notify_one();
    }
    void requestDeviceLocked() {
        if (device_ != StartState::NotStarted) return;
        device_ = StartState::Starting;
        pushJob(Job::of(JobKind::StartDevice));
    }
    void requestMusicLocked() {
        requestDeviceLocked();
        if (music_ != StartState::NotStarted) return;
        music_ = StartState::Starting;
        pushJob(Job::of(JobKind::LoadSynth));
    }

    // ---- background thread ----------------------------------------------
    void workerLoop() {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(mutex_);
                workCv_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
                if (stopping_) break;
                job = std::move(jobs_.front());
                jobs_.pop_front();
                workerBusy_ = true;
            }
            switch (job.kind) {
            case JobKind::StartDevice:
                startDevice();
                break;
            case JobKind::LoadSynth:
                loadSynth();
                break;
            case JobKind::PrepareInstruments:
                if (music() == StartState::Ready) prepareInstruments(job.serial);
                break;
            case JobKind::PlayEffect:
                startEffect(job);
                break;
            }
            std::lock_guard lock(mutex_);
            workerBusy_ = false;
            settledCv_.notify_all();
        }
        // SDL keeps per-thread data (its error text) that it frees only for
        // threads of its own making.
        SDL_TLSCleanup();
    }

    void quietLibraries() {
        SDL_LogSetOutputFunction(discardSdlLog, nullptr);
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, discardFluidLog, nullptr);
        // SDL reads ALSA through dlopen; ALSA prints its configuration errors
        // (such as "cannot find card") to stderr unless given a handler.
        if (!alsa_) alsa_ = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (alsa_) {
            using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
            using SetHandler = int (*)(Handler);
            if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa_, "snd_lib_error_set_handler"))) {
                set(discardAlsaError);
            }
        }
    }

    void startDevice() {
        SoundOptions options;
        {
            std::lock_guard lock(mutex_);
            options = options_;
        }
        quietLibraries();
        // SDL would otherwise take over SIGINT and SIGTERM for its event queue.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Vantel");
        bool ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (ok) {
            sdlStarted_ = true;
            // No format changes allowed: SDL converts to whatever the device
            // takes, so the hook always writes 16-bit stereo at 44.1 kHz.
            ok = Mix_OpenAudioDevice(kOutputRate, AUDIO_S16SYS, kOutputChannels, kDeviceBufferFrames, nullptr, 0) == 0;
        }
        if (ok) {
            deviceOpen_ = true;
            tap_ = std::move(options.outputTap);
            audio_.scratch.assign(static_cast<std::size_t>(kRenderBlockFrames) * kOutputChannels, 0.0f);
            Mix_AllocateChannels(1);
            Mix_ChannelFinished(&AudioService::channelFinished);
            Mix_HookMusic(&AudioService::musicHook, this);
            if (tap_) Mix_SetPostMix(&AudioService::postMix, this);
        } else if (sdlStarted_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            SDL_Quit();
            sdlStarted_ = false;
        }
        std::lock_guard lock(mutex_);
        device_ = ok ? StartState::Ready : StartState::Failed;
        if (!ok) {
            // Without a device nothing will play: drop what waits for one.
            if (music_ == StartState::Starting) music_ = StartState::Failed;
            effectFinished_ = effectAccepted_;
            effectCv_.notify_all();
        }
    }

    std::string soundFontPath() {
        std::lock_guard lock(mutex_);
        if (!options_.soundFontPath.empty()) return options_.soundFontPath;
        for (const char* candidate : kSystemSoundFonts) {
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error)) return candidate;
        }
        return {};
    }

    void loadSynth() {
        if (device() != StartState::Ready) {
            std::lock_guard lock(mutex_);
            music_ = StartState::Failed;
            return;
        }
        const std::string path = soundFontPath();
        std::error_code error;
        bool ok = !path.empty() && std::filesystem::is_regular_file(path, error) && looksLikeSoundFont(path);
        if (ok) {
            settings_ = new_fluid_settings();
            ok = settings_ != nullptr;
        }
        if (ok) {
            int rate = kOutputRate;
            Mix_QuerySpec(&rate, nullptr, nullptr);
            fluid_settings_setnum(settings_, "synth.sample-rate", rate);
            fluid_settings_setnum(settings_, "synth.gain", kSynthGain);
            // Read instrument samples when an instrument is chosen, not the
            // whole soundfont (a fifth of the memory and the time).
            fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
            fluid_settings_setint(settings_, "synth.cpu-cores", 1);
            // The player runs on the synthesizer's own sample clock, inside
            // the music hook, and leaves the channel reset to us: a full
            // synthesizer reset would drop the instruments prepared for the
            // file.
            fluid_settings_setstr(settings_, "player.timing-source", "sample");
            fluid_settings_setint(settings_, "player.reset-synth", 0);
            synth_ = new_fluid_synth(settings_);
            ok = synth_ != nullptr;
        }
        if (ok) {
            soundFontId_ = fluid_synth_sfload(synth_, path.c_str(), 1);
            ok = soundFontId_ != FLUID_FAILED;
        }
        if (ok) {
            for (int cc : {7, 10, 11, 91, 93}) {
                int value = 0;
                fluid_synth_get_cc(synth_, 0, cc, &value);
                channelDefaults_.push_back({cc, value});
            }
            std::uint64_t serial = 0;
            {
                std::lock_guard lock(mutex_);
                serial = control_.fileSerial;
            }
            prepareInstruments(serial);
        } else {
            if (synth_) delete_fluid_synth(synth_);
            if (settings_) delete_fluid_settings(settings_);
            synth_ = nullptr;
            settings_ = nullptr;
        }
        std::lock_guard lock(mutex_);
        music_ = ok ? StartState::Ready : StartState::Failed;
        synthForAudio_ = synth_;
    }

    // Selects on each channel the instrument of its first note, which reads
    // the instrument's samples now; the player's own program changes then
    // find them loaded. Channels that are not used keep what they had.
    void prepareInstruments(std::uint64_t serial) {
        std::vector<MidiFileInfo::ChannelPreset> presets;
        {
            std::lock_guard lock(mutex_);
            if (control_.fileSerial == serial && control_.file) presets = control_.file->info.startPresets;
        }
        for (const auto& [channel, preset] : presets) {
            if (fluid_synth_program_select(synth_, channel, soundFontId_, preset.bank, preset.program) == FLUID_OK)
                continue;
            // As the synthesizer does for a missing variation: the bank's
            // first instrument of that number, or the standard kit.
            const int bank = preset.bank == kPercussionBank ? kPercussionBank : 0;
            const int program = preset.bank == kPercussionBank ? 0 : preset.program;
            fluid_synth_program_select(synth_, channel, soundFontId_, bank, program);
        }
        std::lock_guard lock(mutex_);
        preparedSerial_ = std::max(preparedSerial_, serial);
    }

    void startEffect(const Job& job) {
        auto fail = [&] {
            std::lock_guard lock(mutex_);
            effectFinished_ = std::max(effectFinished_, job.serial);
            effectCv_.notify_all();
        };
        if (device() != StartState::Ready) return fail();
        if (job.haltFirst) Mix_HaltChannel(kEffectChannel);
        if (effectChunk_) {
            Mix_FreeChunk(effectChunk_);  // finished or halted: nothing plays it
            effectChunk_ = nullptr;
        }
        Mix_Chunk* chunk = Mix_LoadWAV(job.path.c_str());
        effectChunk_ = chunk;
        if (!chunk && job.allowDefault) {
            if (!chimeChunk_) {
                chimeData_ = makeDefaultChime();
                chimeChunk_ = Mix_QuickLoad_RAW(chimeData_.data(), static_cast<Uint32>(chimeData_.size()));
            }
            chunk = chimeChunk_;
        }
        if (!chunk) return fail();
        {
            std::lock_guard lock(mutex_);
            if (effectAccepted_ != job.serial || effectFinished_ >= job.serial) {
                // Superseded or stopped while being read.
                effectFinished_ = std::max(effectFinished_, job.serial);
                effectCv_.notify_all();
                return;
            }
            effectPlaying_ = job.serial;
            effectStarted_ = job.serial;
            effectStartTime_ = Clock::now();
            const auto frames = chunk->alen / (sizeof(std::int16_t) * kOutputChannels);
            effectDuration_ = std::chrono::milliseconds(frames * 1000 / kOutputRate);
        }
        if (Mix_PlayChannel(kEffectChannel, chunk, job.loops) < 0) {
            std::lock_guard lock(mutex_);
            effectPlaying_ = 0;
            effectStarted_ = 0;
            effectFinished_ = std::max(effectFinished_, job.serial);
            effectCv_.notify_all();
        }
    }

    // ---- audio thread ----------------------------------------------------
    static void SDLCALL musicHook(void* self, Uint8* stream, int bytes) {
        static_cast<AudioService*>(self)->renderMusic(reinterpret_cast<std::int16_t*>(stream),
                                                      bytes / static_cast<int>(sizeof(std::int16_t) * kOutputChannels));
    }
    static void SDLCALL postMix(void* self, Uint8* stream, int bytes) {
        auto* service = static_cast<AudioService*>(self);
        if (service->tap_) {
            service->tap_(reinterpret_cast<const std::int16_t*>(stream), static_cast<std::size_t>(bytes) / sizeof(std::int16_t));
        }
    }
    static void SDLCALL channelFinished(int channel) {
        if (channel != kEffectChannel) return;
        auto& service = instance();
        std::lock_guard lock(service.mutex_);
        if (service.effectPlaying_ != 0) {
            service.effectFinished_ = std::max(service.effectFinished_, service.effectPlaying_);
            service.effectPlaying_ = 0;
        }
        service.effectCv_.notify_all();
    }

    // Back to the state a General MIDI file expects at its start.
    void resetFileChannels(fluid_synth_t* synth) {
        for (int channel = 0; channel < kFileChannels; ++channel) {
            fluid_synth_cc(synth, channel, 121, 0);  // reset all controllers
            fluid_synth_cc(synth, channel, 0, 0);
            fluid_synth_cc(synth, channel, 32, 0);
            for (const auto& [cc, value] : channelDefaults_) fluid_synth_cc(synth, channel, cc, value);
            fluid_synth_pitch_bend(synth, channel, 8192);
            fluid_synth_pitch_wheel_sens(synth, channel, 2);
            // Programs stay: the player sends the file's own from its start,
            // and the channels without any were prepared with their first.
        }
    }

    void silencePlayer(fluid_synth_t* synth) {
        if (audio_.player) {
            fluid_player_stop(audio_.player);
            delete_fluid_player(audio_.player);
            audio_.player = nullptr;
        }
        fluid_synth_all_sounds_off(synth, -1);
        audio_.ended = false;
        audio_.muted = true;
    }

    void applyControl(fluid_synth_t* synth, MusicControl next) {
        silencePlayer(synth);
        audio_.applied = std::move(next);
        const MusicControl& c = audio_.applied;
        if (c.transport != Transport::Playing || !c.file) return;
        // A new player for every start: it replays the file's controller and
        // program changes up to the start tick, so a continued piece sounds
        // as it did where it stopped.
        resetFileChannels(synth);
        audio_.player = new_fluid_player(synth);
        if (audio_.player &&
            fluid_player_add_mem(audio_.player, c.file->bytes.data(), c.file->bytes.size()) == FLUID_OK) {
            if (c.startTick > 0) fluid_player_seek(audio_.player, static_cast<int>(c.startTick));
            fluid_player_play(audio_.player);
        } else {
            audio_.ended = true;
        }
        audio_.muted = false;
        audio_.quietFrames = 0;
    }

    void renderMusic(std::int16_t* out, int frames) {
        fluid_synth_t* synth = nullptr;
        std::optional<MusicControl> next;
        bool prepared = false;
        {
            std::lock_guard lock(mutex_);
            synth = synthForAudio_;
            if (synth && control_.epoch != audio_.applied.epoch) {
                next = control_;
                prepared = preparedSerial_ >= control_.fileSerial;
            }
        }
        if (!synth) {
            std::memset(out, 0, static_cast<std::size_t>(frames) * kOutputChannels * sizeof(std::int16_t));
            return;
        }
        if (next) {
            if (next->transport == Transport::Playing && next->file && !prepared) {
                // A new file whose instruments are still being read: nothing
                // plays meanwhile, and the request stays pending.
                if (audio_.player || !audio_.muted) silencePlayer(synth);
            } else {
                applyControl(synth, std::move(*next));
            }
        }

        const bool playing = audio_.player && !audio_.ended;
        if (!playing && audio_.quietFrames >= kDrainFrames) {
            std::memset(out, 0, static_cast<std::size_t>(frames) * kOutputChannels * sizeof(std::int16_t));
        } else {
            for (int done = 0; done < frames;) {
                const int block = std::min(kRenderBlockFrames, frames - done);
                float* buffer = audio_.scratch.data();
                fluid_synth_write_float(synth, block, buffer, 0, 2, buffer, 1, 2);
                std::int16_t* target = out + static_cast<std::ptrdiff_t>(done) * kOutputChannels;
                for (int i = 0; i < block * kOutputChannels; ++i) {
                    const float v = audio_.muted ? 0.0f : std::clamp(buffer[i], -1.0f, 1.0f);
                    target[i] = static_cast<std::int16_t>(std::lrint(v * 32767.0f));
                }
                done += block;
            }
            if (!playing && fluid_synth_get_active_voice_count(synth) == 0) {
                audio_.quietFrames += frames;
            } else if (playing) {
                audio_.quietFrames = 0;
            }
        }

        std::int64_t tick = audio_.applied.startTick;
        if (audio_.player) {
            tick = fluid_player_get_current_tick(audio_.player);
            const std::int64_t length = audio_.applied.file->info.lengthTicks;
            if (!audio_.ended && (tick >= length || fluid_player_get_status(audio_.player) == FLUID_PLAYER_DONE)) {
                // The end of the piece: its last notes ring out unmuted.
                audio_.ended = true;
                fluid_player_stop(audio_.player);
            }
        }
        std::lock_guard lock(mutex_);
        feedback_ = MusicFeedback{audio_.applied.epoch, tick, audio_.ended};
    }

    // ---- state ------------------------------------------------------------
    std::mutex mutex_;
    std::condition_variable workCv_;
    std::condition_variable settledCv_;
    std::condition_variable effectCv_;

    // Guarded by mutex_.
    SoundOptions options_;
    StartState device_ = StartState::NotStarted;
    StartState music_ = StartState::NotStarted;
    std::deque<Job> jobs_;
    std::thread worker_;
    bool workerBusy_ = false;
    bool stopping_ = false;
    std::uint64_t generation_ = 0;  // bumped by every shutdown
    MusicControl control_;
    MusicFeedback feedback_;
    fluid_synth_t* synthForAudio_ = nullptr;
    std::uint64_t preparedSerial_ = 0;  // latest file whose instruments are read
    std::uint64_t effectAccepted_ = 0;  // latest request taken on
    std::uint64_t effectFinished_ = 0;  // latest request known to be over
    std::uint64_t effectPlaying_ = 0;   // request on the channel now
    std::uint64_t effectStarted_ = 0;   // latest request that did start
    Clock::time_point effectStartTime_{};
    std::chrono::milliseconds effectDuration_{0};

    // The audio thread's.
    AudioSide audio_;
    std::function<void(const std::int16_t*, std::size_t)> tap_;

    // The background thread's (and shutdown's, once it has ended).
    bool sdlStarted_ = false;
    bool deviceOpen_ = false;
    void* alsa_ = nullptr;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    int soundFontId_ = FLUID_FAILED;
    std::vector<std::pair<int, int>> channelDefaults_;
    Mix_Chunk* effectChunk_ = nullptr;
    Mix_Chunk* chimeChunk_ = nullptr;
    std::vector<std::uint8_t> chimeData_;
};

}  // namespace

void setSoundOptions(SoundOptions options) { AudioService::instance().setOptions(std::move(options)); }
StartState deviceState() { return AudioService::instance().device(); }
StartState musicState() { return AudioService::instance().music(); }
bool waitUntilSettled(std::chrono::milliseconds timeout) { return AudioService::instance().waitUntilSettled(timeout); }
bool soundEffectPlaying() { return AudioService::instance().effectPlaying(); }
void stopSoundEffect() { AudioService::instance().stopEffect(); }
void shutdownSound() { AudioService::instance().shutdown(); }

namespace sequencer {
void open(const std::string& path) { AudioService::instance().open(path); }
void close() { AudioService::instance().close(); }
void play() { AudioService::instance().play(); }
void playFromStart() { AudioService::instance().playFromStart(); }
void stop() { AudioService::instance().stop(); }
void pause() { AudioService::instance().pause(); }
void resume() { AudioService::instance().play(); }
void seek(std::int64_t tick) { AudioService::instance().seek(tick); }
std::int64_t position() { return AudioService::instance().position(); }
std::int64_t length() { return AudioService::instance().length(); }
Mode mode() { return AudioService::instance().mode(); }
int playEffect(const std::string& path, int mode) { return AudioService::instance().playEffect(path, mode); }
}  // namespace sequencer

}  // namespace vantel::sound
