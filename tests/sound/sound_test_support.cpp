// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/sound/sound_test_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace vantel::soundtest {

void useDiskDriver(const char* delay) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    if (delay) {
        setenv("SDL_DISKAUDIODELAY", delay, 1);
    } else {
        unsetenv("SDL_DISKAUDIODELAY");
    }
}

void useMissingDriver() {
    setenv("SDL_AUDIODRIVER", "vantel-no-such-driver", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
}

Capture::Capture() : state_(std::make_shared<State>()) {
    // Enough for a minute and a half of stereo without growing on the audio thread.
    state_->samples.reserve(static_cast<std::size_t>(sound::kOutputRate) * 2 * 90);
}

void Capture::install(const std::string& soundFont) {
    sound::SoundOptions options;
    options.soundFontPath = soundFont;
    std::shared_ptr<State> state = state_;
    options.outputTap = [state](const std::int16_t* samples, std::size_t count) {
        const bool audible = std::any_of(samples, samples + count, [](std::int16_t s) { return s != 0; });
        std::lock_guard lock(state->mutex);
        state->samples.insert(state->samples.end(), samples, samples + count);
        state->frames += static_cast<std::int64_t>(count / 2);
        if (audible && !state->firstSound) state->firstSound = Clock::now();
        state->changed.notify_all();
    };
    sound::setSoundOptions(std::move(options));
}

void Capture::clear() {
    std::lock_guard lock(state_->mutex);
    state_->samples.clear();
    state_->frames = 0;
    state_->firstSound.reset();
}

std::int64_t Capture::frames() const {
    std::lock_guard lock(state_->mutex);
    return state_->frames;
}

std::vector<std::int16_t> Capture::take() const {
    std::lock_guard lock(state_->mutex);
    return state_->samples;
}

std::vector<std::int16_t> Capture::since(std::int64_t from) const {
    std::lock_guard lock(state_->mutex);
    const auto offset = static_cast<std::size_t>(std::max<std::int64_t>(from, 0) * 2);
    if (offset >= state_->samples.size()) return {};
    return {state_->samples.begin() + static_cast<std::ptrdiff_t>(offset), state_->samples.end()};
}

bool Capture::waitForFrames(std::int64_t frames, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->frames >= frames; });
}

std::optional<Clock::time_point> Capture::waitForSound(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait_for(lock, timeout, [&] { return state_->firstSound.has_value(); });
    return state_->firstSound;
}

Capture::Stats Capture::measure(const std::vector<std::int16_t>& samples) {
    Stats stats;
    stats.seconds = static_cast<double>(samples.size()) / 2 / sound::kOutputRate;
    const int threshold = static_cast<int>(32768 * std::pow(10.0, -60.0 / 20));
    std::size_t first = samples.size(), last = 0;
    int peak = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const int a = std::abs(static_cast<int>(samples[i]));
        peak = std::max(peak, a);
        if (a >= 32767) ++stats.clipped;
        if (a != 0) ++stats.nonZero;
        if (a > threshold) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (peak > 0) stats.peakDb = 20 * std::log10(peak / 32768.0);
    if (first < samples.size()) {
        double sum = 0;
        for (std::size_t i = first; i <= last; ++i) sum += static_cast<double>(samples[i]) * samples[i];
        const double rms = std::sqrt(sum / static_cast<double>(last - first + 1));
        if (rms > 0) stats.rmsDb = 20 * std::log10(rms / 32768.0);
        stats.audibleSeconds = static_cast<double>(last - first + 1) / 2 / sound::kOutputRate;
    }
    return stats;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto until = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::string utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<sound::MidiFileInfo> readInfo(const std::filesystem::path& path) {
    const auto bytes = readBytes(path);
    return sound::readMidiFile(bytes);
}

std::optional<Wave> readWave(const std::filesystem::path& path) {
    const auto bytes = readBytes(path);
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                          (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
    };
    auto u16 = [&](std::size_t at) { return static_cast<int>(bytes[at] | (bytes[at + 1] << 8)); };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    if (u32(4) + 8 != bytes.size()) return std::nullopt;
    Wave wave;
    bool haveFormat = false, haveData = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = u32(at + 4);
        if (at + 8 + size > bytes.size()) return std::nullopt;
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
            wave.format = u16(at + 8);
            wave.channels = u16(at + 10);
            wave.rate = static_cast<int>(u32(at + 12));
            wave.bits = u16(at + 22);
            haveFormat = true;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0 && haveFormat && wave.bits == 16) {
            wave.samples.resize(size / 2);
            std::memcpy(wave.samples.data(), bytes.data() + at + 8, wave.samples.size() * 2);
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat || !haveData) return std::nullopt;
    return wave;
}

double waveSeconds(const std::filesystem::path& path) {
    const auto wave = readWave(path);
    if (!wave || wave->channels == 0 || wave->rate == 0) return 0;
    return static_cast<double>(wave->samples.size()) / wave->channels / wave->rate;
}

void writeWave(const std::filesystem::path& path, const std::vector<std::int16_t>& stereo) {
    std::ofstream out(path, std::ios::binary);
    auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
    };
    const auto dataBytes = static_cast<std::uint32_t>(stereo.size() * 2);
    out.write("RIFF", 4);
    put(36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(sound::kOutputRate, 4);
    put(sound::kOutputRate * 4, 4);
    put(4, 2);
    put(16, 2);
    out.write("data", 4);
    put(dataBytes, 4);
    out.write(reinterpret_cast<const char*>(stereo.data()), static_cast<std::streamsize>(dataBytes));
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

StderrCapture::StderrCapture() {
    file_ = std::filesystem::temp_directory_path() /
            ("vantel-sound-stderr-" + std::to_string(getpid()) + ".txt");
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int fd = open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
        dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
}

std::string StderrCapture::text() {
    if (!restored_) {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
        restored_ = true;
    }
    std::ifstream in(file_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

StderrCapture::~StderrCapture() {
    text();
    std::error_code error;
    std::filesystem::remove(file_, error);
}

}  // namespace vantel::soundtest
