// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers of the sound tests and the measuring tool: SDL's "disk" audio
// driver in place of a sound card, a capture of everything the player sends
// to the device, and readers of the files involved.
#pragma once

#include "platform/sound/midi_file.h"
#include "platform/sound/sound_system.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantel::soundtest {

using Clock = std::chrono::steady_clock;

// Points SDL at its "disk" audio driver, writing to /dev/null. `delay` is
// SDL_DISKAUDIODELAY, the milliseconds the driver sleeps per buffer of 1024
// frames (23 ms of sound): "0" renders as fast as the machine can, nullptr
// keeps the driver's real-time pace. Takes effect when the output next
// starts.
void useDiskDriver(const char* delay);
// Points SDL at an audio driver that does not exist: no sound device.
void useMissingDriver();

// Collects the device's output (interleaved stereo, 16-bit).
class Capture {
public:
    Capture();
    // Routes the output here (through setSoundOptions, with `soundFont` as
    // the soundfont when not empty); takes effect when the output starts.
    void install(const std::string& soundFont = {});

    void clear();
    std::int64_t frames() const;  // since the last clear()
    std::vector<std::int16_t> take() const;
    // The samples from frame `from` on.
    std::vector<std::int16_t> since(std::int64_t from) const;
    bool waitForFrames(std::int64_t frames, std::chrono::milliseconds timeout) const;
    // When the first non-silent buffer (since clear()) reached the device.
    std::optional<Clock::time_point> waitForSound(std::chrono::milliseconds timeout) const;

    struct Stats {
        double seconds = 0;
        double audibleSeconds = 0;  // first to last sample above -60 dBFS
        double peakDb = -200;
        double rmsDb = -200;        // over the audible part
        std::size_t clipped = 0;    // samples at full scale
        std::size_t nonZero = 0;
    };
    static Stats measure(const std::vector<std::int16_t>& samples);

private:
    struct State {
        mutable std::mutex mutex;
        mutable std::condition_variable changed;
        std::vector<std::int16_t> samples;
        std::int64_t frames = 0;
        std::optional<Clock::time_point> firstSound;
    };
    std::shared_ptr<State> state_;
};

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

std::string utf8(const std::filesystem::path& path);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
std::optional<sound::MidiFileInfo> readInfo(const std::filesystem::path& path);

struct Wave {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int format = 0;
    std::vector<std::int16_t> samples;
};
// A PCM WAVE file's format and samples; nothing when it is not one.
std::optional<Wave> readWave(const std::filesystem::path& path);
double waveSeconds(const std::filesystem::path& path);
// Writes interleaved stereo samples at the output rate.
void writeWave(const std::filesystem::path& path, const std::vector<std::int16_t>& stereo);

long residentKilobytes();

// Collects what is written to stderr between construction and text().
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    std::string text();

private:
    int saved_ = -1;
    std::filesystem::path file_;
    bool restored_ = false;
};

}  // namespace vantel::soundtest
