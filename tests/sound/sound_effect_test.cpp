// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Wave effects through the real output, captured.
#include "platform/sound/sound_effect.h"
#include "platform/sound/cls_midi.h"
#include "platform/sound/sound_system.h"
#include "tests/sound/sound_fixture.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vantel::soundtest {
namespace {

using sound::kOutputRate;
using sound::StartState;
using Clock = std::chrono::steady_clock;

class SoundEffectTest : public SoundTest {
protected:
    // Waits until no effect plays any more, then a little longer so that
    // the last of it has come out.
    void waitUntilQuiet() {
        ASSERT_TRUE(waitFor([] { return !sound::soundEffectPlaying(); }, 20s));
        capture.waitForFrames(capture.frames() + 2 * kBuffer, 10s);
    }
};

TEST_F(SoundEffectTest, AWaveEffectRendersForItsLength) {
    const double seconds = waveSeconds(soundDir() / kYatta);
    ASSERT_GT(seconds, 0.3);
    const auto t0 = Clock::now();
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 0), 1);
    EXPECT_LT(Clock::now() - t0, 50ms);  // asynchronous
    EXPECT_TRUE(sound::soundEffectPlaying());
    waitUntilQuiet();
    const auto stats = Capture::measure(capture.take());
    EXPECT_GT(stats.peakDb, -12.0);
    EXPECT_EQ(stats.clipped, 0u);
    EXPECT_NEAR(stats.audibleSeconds, seconds, 0.1);
}

TEST_F(SoundEffectTest, ASecondEffectWhileOnePlaysIsNotStarted) {
    const double yatta = waveSeconds(soundDir() / kYatta);
    const double katta = waveSeconds(soundDir() / kKatta);
    ASSERT_EQ(playSoundEffect(soundFile(kYatta), 0), 1);
    EXPECT_EQ(playSoundEffect(soundFile(kKatta), 0), 0);
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 1), 0);
    waitUntilQuiet();
    // Only the first one sounded.
    const auto stats = Capture::measure(capture.take());
    EXPECT_NEAR(stats.audibleSeconds, yatta, 0.1);
    EXPECT_LT(stats.audibleSeconds, yatta + katta - 0.2);

    // Once it has ended, the next one plays.
    capture.clear();
    EXPECT_EQ(playSoundEffect(soundFile(kKatta), 0), 1);
    waitUntilQuiet();
    EXPECT_NEAR(Capture::measure(capture.take()).audibleSeconds, katta, 0.1);
}

TEST_F(SoundEffectTest, TheMatchEndPlaysAnEffectAndAJingleTogether) {
    ClsMidi midi;
    midi.FileName(soundFile(kMatchWon));
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 0), 1);
    midi.Play();
    EXPECT_EQ(midi.Mode(), "PLAYING");
    ASSERT_TRUE(capture.waitForSound(20s));
    ASSERT_TRUE(waitFor([&] { return midi.Mode() == "STOPPED"; }, 30s));
    EXPECT_FALSE(sound::soundEffectPlaying());
    const auto stats = Capture::measure(capture.take());
    EXPECT_EQ(stats.clipped, 0u);
    EXPECT_GT(stats.audibleSeconds, readInfo(soundDir() / kMatchWon)->lengthSeconds - 0.1);
}

TEST_F(SoundEffectTest, ALoopingEffectPlaysOnUntilStopped) {
    const double seconds = waveSeconds(soundDir() / kKatta);
    ASSERT_EQ(playSoundEffect(soundFile(kKatta), 1), 1);
    ASSERT_TRUE(capture.waitForSound(20s));
    capture.waitForFrames(static_cast<std::int64_t>(3.5 * seconds * kOutputRate), 20s);
    EXPECT_TRUE(sound::soundEffectPlaying());
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 0), 0);
    sound::stopSoundEffect();
    EXPECT_FALSE(sound::soundEffectPlaying());
    const std::int64_t stoppedAt = capture.frames();
    EXPECT_FALSE(soundAfter(stoppedAt + 2 * kBuffer, 0.5));
}

TEST_F(SoundEffectTest, ASynchronousEffectReturnsWhenItHasPlayed) {
    const double seconds = waveSeconds(soundDir() / kYatta);
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 2), 1);
    EXPECT_FALSE(sound::soundEffectPlaying());
    const auto stats = Capture::measure(capture.take());
    EXPECT_NEAR(stats.audibleSeconds, seconds, 0.1);
}

TEST_F(SoundEffectTest, ASynchronousEffectInterruptsAPlayingOne) {
    ASSERT_EQ(playSoundEffect(soundFile(kKatta), 1), 1);
    ASSERT_TRUE(capture.waitForSound(20s));
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 2), 1);
    EXPECT_FALSE(sound::soundEffectPlaying());  // the looping one ended too
}

TEST_F(SoundEffectTest, ASynchronousEffectWithoutItsFilePlaysTheDefaultChime) {
    EXPECT_EQ(playSoundEffect(utf8(soundDir() / "no-such-effect.wav"), 2), 1);
    const auto stats = Capture::measure(capture.take());
    EXPECT_GT(stats.audibleSeconds, 0.15);
    EXPECT_LT(stats.audibleSeconds, 0.5);
}

TEST_F(SoundEffectTest, AMissingWaveFilePlaysNothing) {
    const auto t0 = Clock::now();
    EXPECT_EQ(playSoundEffect(utf8(soundDir() / "no-such-effect.wav"), 0), 0);
    EXPECT_EQ(playSoundEffect(utf8(soundDir() / "no-such-effect.wav"), 1), 0);
    EXPECT_LT(Clock::now() - t0, 50ms);
    EXPECT_FALSE(sound::soundEffectPlaying());
    EXPECT_EQ(sound::deviceState(), StartState::NotStarted);
    // A music file is not a wave file either.
    EXPECT_EQ(playSoundEffect(soundFile(kTableMusic), 0), 0);
}

TEST_F(SoundEffectTest, AnEmptyEntryPlaysNothing) {
    const auto t0 = Clock::now();
    EXPECT_EQ(playSoundEffect("", 0), 0);
    EXPECT_EQ(playSoundEffect("", 1), 0);
    EXPECT_EQ(playSoundEffect("", 2), 0);
    EXPECT_LT(Clock::now() - t0, 50ms);
    EXPECT_EQ(sound::deviceState(), StartState::NotStarted);
    EXPECT_FALSE(sound::soundEffectPlaying());
}

}  // namespace
}  // namespace vantel::soundtest
