// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Sound that cannot play fails quietly: silence, quick returns, no message.
#include "platform/sound/cls_midi.h"
#include "platform/sound/sound_effect.h"
#include "platform/sound/sound_system.h"
#include "tests/sound/sound_fixture.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace vantel::soundtest {
namespace {

using sound::kOutputRate;
using sound::StartState;
using Clock = std::chrono::steady_clock;

// Runs `call` and tells whether it came back at once (well under the time
// a device start or a soundfont load takes, with room for a busy machine).
bool quick(const std::function<void()>& call) {
    const auto t0 = Clock::now();
    call();
    return Clock::now() - t0 < 50ms;
}

class SoundFailureTest : public SoundTest {
protected:
    void TearDown() override {
        SoundTest::TearDown();
        for (const auto& path : scratch_) std::filesystem::remove(path);
        unsetenv("AUDIODEV");
    }
    std::string scratchFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("vantel-sound-" + std::to_string(::getpid()) + "-" + name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        scratch_.push_back(path);
        return utf8(path);
    }

    // Plays the table music and an effect on an output that cannot work and
    // checks that everything returns at once and keeps quiet.
    void expectQuietFailure(StartState device, StartState music) {
        StderrCapture stderrText;
        ClsMidi midi;
        midi.FileName(soundFile(kTableMusic));
        EXPECT_TRUE(quick([&] { midi.Play(); }));
        EXPECT_TRUE(quick([&] { playSoundEffect(soundFile(kYatta), 0); }));
        ASSERT_TRUE(sound::waitUntilSettled(10s));
        EXPECT_EQ(sound::deviceState(), device);
        EXPECT_EQ(sound::musicState(), music);
        EXPECT_EQ(midi.Mode(), "NOT READY");
        EXPECT_TRUE(quick([&] {
            midi.Play();
            midi.PlayLoop2();
            midi.StopM();
            midi.Play();
        }));
        EXPECT_EQ(midi.Mode(), "NOT READY");
        EXPECT_EQ(midi.Position(), "0");
        // PlayLoop comes back as soon as loop mode ends: nothing plays.
        int calls = 0;
        midi.PlayLoop([&] {
            if (++calls == 3) midi.StopM();
        });
        EXPECT_EQ(calls, 3);
        EXPECT_EQ(stderrText.text(), "");
    }

private:
    std::vector<std::filesystem::path> scratch_;
};

TEST_F(SoundFailureTest, NoSoundDevice) {
    sound::shutdownSound();
    useMissingDriver();
    expectQuietFailure(StartState::Failed, StartState::Failed);
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 0), 0);
    EXPECT_TRUE(quick([] { EXPECT_EQ(playSoundEffect(soundFile(kYatta), 2), 0); }));
}

TEST_F(SoundFailureTest, NoSoundCardBehindTheSystemDriverPrintsNothing) {
    // ALSA with a card that is not there: the library's own complaints are
    // kept off the terminal as well.
    sound::shutdownSound();
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "hw:97,0", 1);
    expectQuietFailure(StartState::Failed, StartState::Failed);
}

TEST_F(SoundFailureTest, MissingSoundfontLeavesTheMusicSilentAndTheEffectsPlaying) {
    sound::shutdownSound();
    capture.install("/nonexistent/vantel-missing.sf2");
    expectQuietFailure(StartState::Ready, StartState::Failed);
    // The device works: once the effect started above has ended, it is fed
    // silence for the music.
    ASSERT_TRUE(waitFor([] { return !sound::soundEffectPlaying(); }, 20s));
    const std::int64_t from = capture.frames() + 2 * kBuffer;
    capture.waitForFrames(from + kOutputRate / 2, 10s);
    EXPECT_EQ(Capture::measure(capture.since(from)).nonZero, 0u);
    // Effects need no soundfont.
    capture.clear();
    EXPECT_EQ(playSoundEffect(soundFile(kKatta), 0), 1);
    EXPECT_TRUE(capture.waitForSound(20s));
}

TEST_F(SoundFailureTest, CorruptSoundfont) {
    sound::shutdownSound();
    std::vector<std::uint8_t> bytes = {'R', 'I', 'F', 'F', 0, 1, 0, 0, 's', 'f', 'b', 'k'};
    bytes.resize(300, 0x5A);
    capture.install(scratchFile("broken.sf2", bytes));
    expectQuietFailure(StartState::Ready, StartState::Failed);
}

TEST_F(SoundFailureTest, TruncatedSoundfont) {
    // The first megabyte of the real soundfont: its header promises more.
    std::ifstream real("/usr/share/sounds/sf2/FluidR3_GM.sf2", std::ios::binary);
    std::vector<std::uint8_t> bytes(1 << 20);
    if (!real.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        GTEST_SKIP() << "FluidR3_GM.sf2 is not installed";
    sound::shutdownSound();
    capture.install(scratchFile("truncated.sf2", bytes));
    expectQuietFailure(StartState::Ready, StartState::Failed);
}

TEST_F(SoundFailureTest, MissingMusicFile) {
    StderrCapture stderrText;
    ClsMidi midi;
    EXPECT_TRUE(quick([&] { midi.FileName(utf8(soundDir() / "no-such-music.mid")); }));
    EXPECT_EQ(midi.Mode(), "NOT READY");
    EXPECT_EQ(midi.Length(), 0);
    EXPECT_EQ(midi.Position(), "0");
    EXPECT_TRUE(quick([&] {
        midi.Play();
        midi.PlayLoop2();
        midi.Position(100);
        midi.Pause();
        midi.ResumeM();
        midi.StopM();
    }));
    EXPECT_EQ(midi.Mode(), "NOT READY");
    EXPECT_EQ(midi.Position(), "0");
    // Nothing to play, so nothing was started.
    EXPECT_EQ(sound::deviceState(), StartState::NotStarted);
    EXPECT_EQ(stderrText.text(), "");
}

TEST_F(SoundFailureTest, CorruptMusicFiles) {
    const auto table = readBytes(soundDir() / kTableMusic);
    ASSERT_GT(table.size(), 100u);
    std::vector<std::uint8_t> noise(2000);
    std::uint32_t x = 12345;
    for (auto& b : noise) b = static_cast<std::uint8_t>((x = x * 1103515245u + 12345u) >> 24);
    std::vector<std::uint8_t> badEvent = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0,
                                          'M', 'T', 'r', 'k', 0, 0, 0, 4, 0x00, 0x40, 0x40, 0x40};
    const std::vector<std::string> files = {
        scratchFile("half.mid", {table.begin(), table.begin() + static_cast<std::ptrdiff_t>(table.size() / 2)}),
        scratchFile("noise.mid", noise),
        scratchFile("empty.mid", {}),
        scratchFile("header-only.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 1, 0xE0}),
        scratchFile("bad-event.mid", badEvent),
        soundFile(kYatta),  // a wave file is not music
    };
    StderrCapture stderrText;
    ClsMidi midi;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(quick([&] { midi.FileName(file); }));
        EXPECT_EQ(midi.Mode(), "NOT READY");
        EXPECT_EQ(midi.Length(), 0);
        EXPECT_TRUE(quick([&] { midi.Play(); }));
        EXPECT_EQ(midi.Mode(), "NOT READY");
    }
    EXPECT_EQ(sound::deviceState(), StartState::NotStarted);
    // A good file still plays afterwards.
    midi.FileName(soundFile(kRoundWon));
    midi.Play();
    EXPECT_TRUE(capture.waitForSound(20s));
    EXPECT_EQ(stderrText.text(), "");
}

TEST_F(SoundFailureTest, CorruptWaveFile) {
    std::vector<std::uint8_t> bytes = {'R', 'I', 'F', 'F', 100, 0, 0, 0, 'W', 'A', 'V', 'E'};
    bytes.resize(108, 0xA5);
    const std::string file = scratchFile("broken.wav", bytes);
    StderrCapture stderrText;
    EXPECT_TRUE(quick([&] { playSoundEffect(file, 0); }));
    ASSERT_TRUE(waitFor([] { return !sound::soundEffectPlaying(); }, 20s));
    capture.waitForFrames(capture.frames() + kOutputRate / 4, 10s);
    EXPECT_EQ(Capture::measure(capture.take()).nonZero, 0u);
    // The effect slot is free again.
    EXPECT_EQ(playSoundEffect(soundFile(kYatta), 0), 1);
    EXPECT_EQ(stderrText.text(), "");
}

TEST_F(SoundFailureTest, EmptyMusicEntry) {
    ClsMidi midi;
    EXPECT_TRUE(quick([&] {
        midi.FileName("");
        midi.Play();
        midi.PlayLoop2();
    }));
    EXPECT_EQ(midi.FileName(), "");
    EXPECT_EQ(midi.Mode(), "NOT READY");
    EXPECT_EQ(sound::deviceState(), StartState::NotStarted);
}

}  // namespace
}  // namespace vantel::soundtest
