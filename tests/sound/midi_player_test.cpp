// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The music player through the real output: FluidSynth into SDL_mixer into
// SDL's disk driver, captured.
#include "platform/sound/cls_midi.h"
#include "platform/sound/sound_system.h"
#include "tests/sound/sound_fixture.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace vantel::soundtest {
namespace {

using sound::kOutputRate;
using sound::StartState;

class MidiPlayerTest : public SoundTest {};

TEST_F(MidiPlayerTest, OpeningAFileLoadsNothingAndPlaysNothing) {
    ClsMidi midi;
    const std::string path = soundFile(kTableMusic);
    midi.FileName(path);
    EXPECT_EQ(midi.FileName(), path);
    EXPECT_EQ(midi.Mode(), "STOPPED");
    EXPECT_EQ(midi.Position(), "0");
    EXPECT_EQ(midi.Length(), readInfo(soundDir() / kTableMusic)->lengthTicks);
    // No device and no soundfont until something is played.
    EXPECT_EQ(sound::deviceState(), StartState::NotStarted);
    EXPECT_EQ(sound::musicState(), StartState::NotStarted);

    midi.Play();
    EXPECT_TRUE(sound::waitUntilSettled(20s));
    EXPECT_EQ(sound::deviceState(), StartState::Ready);
    EXPECT_EQ(sound::musicState(), StartState::Ready);
}

TEST_F(MidiPlayerTest, TableMusicRendersAudibleSound) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    EXPECT_EQ(midi.Mode(), "PLAYING");
    ASSERT_TRUE(capture.waitForSound(20s));
    const std::int64_t from = capture.frames();
    ASSERT_TRUE(capture.waitForFrames(from + 4 * kOutputRate, 20s));
    const auto stats = Capture::measure(capture.since(from));
    EXPECT_GT(stats.peakDb, -20.0);
    EXPECT_GT(stats.rmsDb, -36.0);
    EXPECT_EQ(stats.clipped, 0u);
    EXPECT_GT(stats.audibleSeconds, 3.9);  // no gaps at the start of the tune
    EXPECT_EQ(midi.Mode(), "PLAYING");
    EXPECT_GT(position(midi), 0);
}

TEST_F(MidiPlayerTest, StopMSilencesTheMusicAndKeepsThePosition) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    ASSERT_TRUE(reach(midi, 1500));
    midi.StopM();
    const std::int64_t stoppedAt = capture.frames();
    EXPECT_EQ(midi.Mode(), "STOPPED");
    const long at = position(midi);
    EXPECT_GE(at, 1500);
    // The buffer being mixed when StopM came may still carry music; from the
    // one after it on there is silence.
    EXPECT_FALSE(soundAfter(stoppedAt + 2 * kBuffer, 1.0));
    EXPECT_EQ(position(midi), at);
    EXPECT_EQ(midi.Mode(), "STOPPED");
}

TEST_F(MidiPlayerTest, PlayAfterStopMContinuesWhereItStopped) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    ASSERT_TRUE(reach(midi, 3000));
    midi.StopM();
    const long stoppedAt = position(midi);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(position(midi), stoppedAt);

    capture.clear();
    midi.Play();
    EXPECT_EQ(midi.Mode(), "PLAYING");
    std::vector<long> seen;
    ASSERT_TRUE(waitFor(
        [&] {
            seen.push_back(position(midi));
            return seen.back() >= stoppedAt + 1500;
        },
        20s));
    // Never back at the beginning: every position from the stop point on.
    EXPECT_GE(*std::min_element(seen.begin(), seen.end()), stoppedAt);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_TRUE(capture.waitForSound(5s));
}

TEST_F(MidiPlayerTest, APieceThatEndedStopsAtItsLength) {
    ClsMidi midi;
    midi.FileName(soundFile(kRoundWon));
    midi.Play();
    ASSERT_TRUE(capture.waitForSound(20s));
    ASSERT_TRUE(stopped(midi));
    EXPECT_EQ(position(midi), midi.Length());
    EXPECT_EQ(midi.Length(), readInfo(soundDir() / kRoundWon)->lengthTicks);
    // Its last chord rings out after the end, then the output falls silent.
    const std::int64_t endedAt = capture.frames();
    EXPECT_TRUE(soundAfter(endedAt, 0.2));
    capture.waitForFrames(endedAt + 6 * kOutputRate, 20s);
    EXPECT_EQ(Capture::measure(capture.since(endedAt + 5 * kOutputRate)).nonZero, 0u);
}

TEST_F(MidiPlayerTest, PlayAfterTheEndPlaysAgainFromTheStart) {
    ClsMidi midi;
    midi.FileName(soundFile(kRoundWon));
    midi.Play();
    ASSERT_TRUE(stopped(midi));
    midi.Play();
    EXPECT_EQ(midi.Mode(), "PLAYING");
    EXPECT_EQ(midi.Position(), "0");
    ASSERT_TRUE(stopped(midi));
    EXPECT_EQ(position(midi), midi.Length());
}

TEST_F(MidiPlayerTest, PlayLoop2RestartsAFinishedPiece) {
    ClsMidi midi;
    midi.FileName(soundFile(kRoundWon));
    midi.Play();
    ASSERT_TRUE(stopped(midi));
    ASSERT_EQ(position(midi), midi.Length());

    const std::int64_t before = capture.frames();
    midi.PlayLoop2();
    EXPECT_EQ(midi.Mode(), "PLAYING");
    EXPECT_LT(position(midi), midi.Length() / 4);
    ASSERT_TRUE(stopped(midi));
    EXPECT_EQ(position(midi), midi.Length());
    // It sounded again, for about the piece's length.
    const double played = static_cast<double>(capture.frames() - before) / kOutputRate;
    EXPECT_GT(played, readInfo(soundDir() / kRoundWon)->lengthSeconds - 0.1);
}

TEST_F(MidiPlayerTest, PlayLoop2LeavesAPlayingPieceAlone) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    ASSERT_TRUE(reach(midi, 1000));
    long last = position(midi);
    for (int i = 0; i < 50; ++i) {
        midi.PlayLoop2();
        EXPECT_EQ(midi.Mode(), "PLAYING");
        const long now = position(midi);
        EXPECT_GE(now, last);
        last = now;
        std::this_thread::sleep_for(5ms);
    }
}

TEST_F(MidiPlayerTest, PlayLoop2RestartsAStoppedPieceFromTheStart) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    ASSERT_TRUE(reach(midi, 2000));
    midi.StopM();
    midi.PlayLoop2();
    EXPECT_EQ(midi.Mode(), "PLAYING");
    EXPECT_EQ(midi.Position(), "0");
    ASSERT_TRUE(reach(midi, 100));
    EXPECT_LT(position(midi), 2000);
}

TEST_F(MidiPlayerTest, PositionAdvancesAtTheFilesTempo) {
    const auto info = readInfo(soundDir() / kTableMusic);
    ASSERT_TRUE(info);
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    ASSERT_TRUE(reach(midi, 200));
    const std::int64_t framesA = capture.frames();
    const long ticksA = position(midi);
    ASSERT_TRUE(capture.waitForFrames(framesA + 3 * kOutputRate, 20s));
    const std::int64_t framesB = capture.frames();
    const long ticksB = position(midi);
    const double seconds = static_cast<double>(framesB - framesA) / kOutputRate;
    const double expected =
        static_cast<double>(info->tickAt(info->secondsAt(ticksA) + seconds) - info->tickAt(info->secondsAt(ticksA)));
    // Within two device buffers of the sound that came out.
    const double tolerance = 2.0 * kBuffer / kOutputRate * info->ticksPerQuarter * 96 / 60;
    EXPECT_NEAR(static_cast<double>(ticksB - ticksA), expected, tolerance);
}

TEST_F(MidiPlayerTest, SeekingStopsAndPlayContinuesFromThere) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Position(5000);
    EXPECT_EQ(midi.Mode(), "STOPPED");
    EXPECT_EQ(midi.Position(), "5000");
    midi.Position(-5);
    EXPECT_EQ(midi.Position(), "0");
    midi.Position(1'000'000'000L);
    EXPECT_EQ(position(midi), midi.Length());

    midi.Position(5000);
    midi.Play();
    ASSERT_TRUE(reach(midi, 5500));
    EXPECT_TRUE(capture.waitForSound(5s));
    // Seeking while playing stops the music there.
    midi.Position(1000);
    EXPECT_EQ(midi.Mode(), "STOPPED");
    EXPECT_EQ(midi.Position(), "1000");
    const std::int64_t seekedAt = capture.frames();
    EXPECT_FALSE(soundAfter(seekedAt + 2 * kBuffer, 0.5));
}

TEST_F(MidiPlayerTest, PauseHoldsAndResumeContinues) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    ASSERT_TRUE(reach(midi, 1500));
    midi.Pause();
    EXPECT_EQ(midi.Mode(), "PAUSED");
    const long pausedAt = position(midi);
    const std::int64_t frames = capture.frames();
    EXPECT_FALSE(soundAfter(frames + 2 * kBuffer, 0.5));
    midi.PlayLoop2();  // not stopped: nothing happens
    EXPECT_EQ(midi.Mode(), "PAUSED");
    EXPECT_EQ(position(midi), pausedAt);

    midi.ResumeM();
    EXPECT_EQ(midi.Mode(), "PLAYING");
    EXPECT_GE(position(midi), pausedAt);
    ASSERT_TRUE(reach(midi, pausedAt + 500));
    EXPECT_TRUE(soundAfter(capture.frames(), 0.2));
}

TEST_F(MidiPlayerTest, PlayLoopRestartsThePieceUntilStopM) {
    ClsMidi midi;
    midi.FileName(soundFile(kRoundWon));
    const long length = midi.Length();
    int restarts = 0;
    long last = 0;
    int calls = 0;
    midi.PlayLoop([&] {
        ++calls;
        const long now = position(midi);
        if (now < last && last > length / 2) ++restarts;
        last = now;
        // Stop after the second time round, or give up after 30 s.
        if (restarts >= 2 || calls > 3000) midi.StopM();
    });
    EXPECT_GE(restarts, 2);
    EXPECT_EQ(midi.Mode(), "STOPPED");
}

TEST_F(MidiPlayerTest, PlayLoopEndsWithThePieceOncePlayEndsLoopMode) {
    ClsMidi midi;
    midi.FileName(soundFile(kRoundWon));
    int calls = 0;
    bool played = false;
    midi.PlayLoop([&] {
        ++calls;
        if (!played && position(midi) > midi.Length() / 2) {
            midi.Play();  // ends loop mode; the piece plays on to its end
            played = true;
        }
        if (calls > 3000) midi.StopM();
    });
    EXPECT_TRUE(played);
    EXPECT_EQ(midi.Mode(), "STOPPED");
    EXPECT_EQ(position(midi), midi.Length());
}

TEST_F(MidiPlayerTest, AnotherFileClosesThePreviousOne) {
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    midi.Play();
    ASSERT_TRUE(reach(midi, 1000));
    midi.FileName(soundFile(kRoundLost));
    const std::int64_t openedAt = capture.frames();
    EXPECT_EQ(midi.Mode(), "STOPPED");
    EXPECT_EQ(midi.Position(), "0");
    EXPECT_EQ(midi.Length(), readInfo(soundDir() / kRoundLost)->lengthTicks);
    EXPECT_FALSE(soundAfter(openedAt + 2 * kBuffer, 0.5));
    // A file that cannot be opened still closes the one before.
    const std::string missing = utf8(soundDir() / "no-such-file.mid");
    midi.FileName(missing);
    EXPECT_EQ(midi.FileName(), missing);
    EXPECT_EQ(midi.Mode(), "NOT READY");
    EXPECT_EQ(midi.Length(), 0);
}

TEST_F(MidiPlayerTest, ANewPlayerClosesTheSharedSequencer) {
    ClsMidi first;
    first.FileName(soundFile(kTableMusic));
    EXPECT_EQ(first.Mode(), "STOPPED");
    {
        ClsMidi second;  // like a second window: stops and closes the device
        EXPECT_EQ(first.Mode(), "NOT READY");
        second.FileName(soundFile(kRoundWon));
        EXPECT_EQ(first.Length(), second.Length());
    }
    EXPECT_EQ(first.Mode(), "NOT READY");
}

TEST_F(MidiPlayerTest, EachPieceOfTheGameStartsAndReachesItsEnd) {
    ClsMidi midi;
    for (const char8_t* piece : {kRoundWon, kRoundLost, kMatchWon, kMatchLost}) {
        SCOPED_TRACE(utf8(piece));
        midi.StopM();
        midi.FileName(soundFile(piece));
        capture.clear();
        midi.Play();
        ASSERT_TRUE(capture.waitForSound(20s));
        ASSERT_TRUE(stopped(midi));
        EXPECT_EQ(position(midi), midi.Length());
        const auto info = readInfo(soundDir() / piece);
        const double rendered = static_cast<double>(capture.frames()) / kOutputRate;
        EXPECT_GT(rendered, info->lengthSeconds - 0.1);
    }
}

// The calls of the window thread only take a short lock, even while the
// audio thread renders as fast as it can and the soundfont loads.
class MidiPlayerContentionTest : public SoundTest {
protected:
    const char* diskDelay() const override { return "0"; }
};

TEST_F(MidiPlayerContentionTest, CallsReturnWithoutWaitingForTheAudio) {
    using Clock = std::chrono::steady_clock;
    ClsMidi midi;
    midi.FileName(soundFile(kTableMusic));
    const auto t0 = Clock::now();
    midi.Play();  // starts the device and the soundfont in the background
    const auto firstPlay = Clock::now() - t0;
    EXPECT_LT(firstPlay, 50ms);
    auto worst = Clock::duration::zero();
    for (int i = 0; i < 400; ++i) {
        const auto a = Clock::now();
        (void)midi.Position();
        (void)midi.Mode();
        if (i % 100 == 99) {
            midi.StopM();
            midi.Play();
        }
        worst = std::max(worst, Clock::now() - a);
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_LT(worst, 50ms);
    EXPECT_TRUE(capture.waitForSound(20s));
}

}  // namespace
}  // namespace vantel::soundtest
