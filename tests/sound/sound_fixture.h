// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fixture of the tests that play sound: SDL's disk driver at about
// twenty times real time, the output captured, and everything shut down
// between tests so that each starts the output afresh.
#pragma once

#include "platform/sound/cls_midi.h"
#include "platform/sound/sound_system.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace vantel::soundtest {

using namespace std::chrono_literals;

inline std::filesystem::path soundDir() { return std::filesystem::path(VANTEL_SOUND_DIR); }
inline std::string soundFile(const char8_t* name) { return utf8(soundDir() / name); }

inline const char8_t* const kTableMusic = u8"Cafe_GM.mid";
inline const char8_t* const kRoundWon = u8"b01_クリア.mid";
inline const char8_t* const kRoundLost = u8"b02_ゲームオーバー.mid";
inline const char8_t* const kMatchWon = u8"DX_Jingle10.mid";
inline const char8_t* const kMatchLost = u8"DX_Jingle14.mid";
inline const char8_t* const kYatta = u8"yatta.wav";
inline const char8_t* const kKatta = u8"katta.wav";

// Frames in one device buffer.
inline constexpr std::int64_t kBuffer = 1024;

class SoundTest : public ::testing::Test {
protected:
    // The disk driver's sleep per buffer, in milliseconds.
    virtual const char* diskDelay() const { return "1"; }

    void SetUp() override {
        sound::shutdownSound();
        useDiskDriver(diskDelay());
        capture.install();
    }
    void TearDown() override { sound::shutdownSound(); }

    static long position(const ClsMidi& midi) { return std::stol(midi.Position()); }
    // Waits until the music has reached `ticks`.
    static bool reach(const ClsMidi& midi, long ticks, std::chrono::milliseconds timeout = 20s) {
        return waitFor([&] { return position(midi) >= ticks; }, timeout);
    }
    static bool stopped(const ClsMidi& midi, std::chrono::milliseconds timeout = 30s) {
        return waitFor([&] { return midi.Mode() == "STOPPED"; }, timeout);
    }
    // Waits for `seconds` more of output, then tells whether the part from
    // `from` on holds any sound.
    bool soundAfter(std::int64_t from, double seconds) {
        capture.waitForFrames(from + static_cast<std::int64_t>(seconds * sound::kOutputRate), 20s);
        return Capture::measure(capture.since(from)).nonZero > 0;
    }

    Capture capture;
};

}  // namespace vantel::soundtest
