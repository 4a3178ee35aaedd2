// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The generated default sound files: well-formed, of the expected length and
// make-up, the same bytes on every run of the generator.
#include "platform/sound/midi_file.h"
#include "tests/sound/sound_test_support.h"

#include <fluidsynth.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace vantel::soundtest {
namespace {

const std::filesystem::path kSoundDir = VANTEL_SOUND_DIR;

struct MusicFile {
    const char8_t* name;
    double minSeconds;
    double maxSeconds;
    int minNotes;
};

const MusicFile kMusic[] = {
    {u8"Cafe_GM.mid", 55, 65, 400},
    {u8"b01_クリア.mid", 2, 4.5, 15},
    {u8"b02_ゲームオーバー.mid", 2, 4.5, 15},
    {u8"DX_Jingle10.mid", 5, 9, 60},
    {u8"DX_Jingle14.mid", 5, 9, 30},
};
const char8_t* const kWaves[] = {u8"yatta.wav", u8"katta.wav"};

void silenceFluidSynth() {
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, nullptr, nullptr);
}

// The length FluidSynth's own file reader gives (no soundfont needed).
int fluidTotalTicks(const std::vector<std::uint8_t>& bytes) {
    silenceFluidSynth();
    fluid_settings_t* settings = new_fluid_settings();
    fluid_synth_t* synth = new_fluid_synth(settings);
    fluid_player_t* player = new_fluid_player(synth);
    fluid_player_add_mem(player, bytes.data(), bytes.size());
    fluid_player_play(player);
    float left[64], right[64];
    fluid_synth_write_float(synth, 64, left, 0, 1, right, 0, 1);
    const int total = fluid_player_get_total_ticks(player);
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return total;
}

TEST(SoundFilesTest, EveryMusicFileIsAStandardMidiFileOfItsLength) {
    for (const MusicFile& music : kMusic) {
        SCOPED_TRACE(utf8(music.name));
        const auto bytes = readBytes(kSoundDir / music.name);
        const auto info = sound::readMidiFile(bytes);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->format, 1);
        EXPECT_EQ(info->ticksPerQuarter, 480);
        EXPECT_GE(info->lengthSeconds, music.minSeconds);
        EXPECT_LE(info->lengthSeconds, music.maxSeconds);
        EXPECT_GE(info->noteCount, music.minNotes);
        EXPECT_EQ(fluidTotalTicks(bytes), info->lengthTicks);
        // It starts at once and its notes end by its end.
        EXPECT_EQ(info->firstNoteTick, 0);
        EXPECT_LE(info->lastNoteOffTick, info->lengthTicks);
        EXPECT_GE(info->lastNoteOffTick, info->lengthTicks - info->ticksPerQuarter / 2);
    }
}

TEST(SoundFilesTest, EveryPieceHasHarmonyAndBassOnSeveralInstruments) {
    for (const MusicFile& music : kMusic) {
        SCOPED_TRACE(utf8(music.name));
        const auto info = readInfo(kSoundDir / music.name);
        ASSERT_TRUE(info);
        std::set<int> melodic;
        for (const auto& preset : info->presets) {
            if (preset.bank != 128) melodic.insert(preset.program);
        }
        EXPECT_GE(melodic.size(), 4u);
        EXPECT_GE(info->startPresets.size(), 4u);  // channels that play
    }
}

TEST(SoundFilesTest, TheTableMusicLoopsOnABarLine) {
    const auto info = readInfo(kSoundDir / u8"Cafe_GM.mid");
    ASSERT_TRUE(info);
    const std::int64_t bar = 4 * info->ticksPerQuarter;
    EXPECT_EQ(info->lengthTicks % bar, 0);
    EXPECT_EQ(info->tempos.size(), 1u);
    // Nearly a minute of music with no silence at either end of the loop.
    EXPECT_NEAR(info->lengthSeconds, 60.0, 2.0);
    EXPECT_EQ(info->firstNoteTick, 0);
    EXPECT_GE(info->lastNoteOffTick, info->lengthTicks - info->ticksPerQuarter / 4);
    // Drums (the brush kit) as well as the melodic instruments.
    EXPECT_TRUE(std::any_of(info->presets.begin(), info->presets.end(),
                            [](const sound::MidiPreset& p) { return p.bank == 128; }));
}

// The fundamental of a stretch of voice, by autocorrelation, in Hz.
double pitchOf(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t count, int rate) {
    double best = 0;
    int bestLag = 0;
    for (int lag = rate / 800; lag <= rate / 150; ++lag) {
        double sum = 0;
        for (std::size_t i = from; i < from + count; ++i) sum += static_cast<double>(samples[i]) * samples[i + lag];
        if (sum > best) {
            best = sum;
            bestLag = lag;
        }
    }
    return bestLag > 0 ? static_cast<double>(rate) / bestLag : 0;
}

TEST(SoundFilesTest, EveryWaveFileIsAShortVoicedCheer) {
    for (const char8_t* name : kWaves) {
        SCOPED_TRACE(utf8(name));
        const auto wave = readWave(kSoundDir / name);
        ASSERT_TRUE(wave);
        EXPECT_EQ(wave->format, 1);  // PCM
        EXPECT_EQ(wave->bits, 16);
        EXPECT_EQ(wave->channels, 1);
        EXPECT_EQ(wave->rate, 44100);
        const double seconds = static_cast<double>(wave->samples.size()) / wave->rate;
        EXPECT_GE(seconds, 0.5);
        EXPECT_LE(seconds, 1.2);

        int peak = 0;
        for (std::int16_t s : wave->samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        const double peakDb = 20 * std::log10(peak / 32768.0);
        EXPECT_GT(peakDb, -6.0);
        EXPECT_LT(peakDb, -1.0);

        // Two syllables: a stretch of near silence (the closure before the
        // doubled consonant) between two voiced parts.
        const int window = wave->rate / 100;  // 10 ms
        std::vector<double> level;
        for (std::size_t at = 0; at + window <= wave->samples.size(); at += window) {
            double sum = 0;
            for (int i = 0; i < window; ++i) sum += std::pow(wave->samples[at + i] / 32768.0, 2);
            level.push_back(10 * std::log10(sum / window + 1e-12));
        }
        int longestQuiet = 0, quiet = 0;
        for (std::size_t i = 10; i + 20 < level.size(); ++i) {
            quiet = level[i] < -50 ? quiet + 1 : 0;
            longestQuiet = std::max(longestQuiet, quiet);
        }
        EXPECT_GE(longestQuiet, 6);  // 60 ms and more

        // The second vowel is voiced at a raised, voice-like pitch.
        const auto vowel = static_cast<std::size_t>(0.42 * wave->rate);
        const double f0 = pitchOf(wave->samples, vowel, static_cast<std::size_t>(0.04 * wave->rate), wave->rate);
        EXPECT_GT(f0, 250);
        EXPECT_LT(f0, 550);
    }
}

TEST(SoundFilesTest, TheGeneratorWritesTheSameBytesEveryRun) {
    const auto base = std::filesystem::temp_directory_path() / ("vantel-soundgen-" + std::to_string(::getpid()));
    const auto first = base / "1";
    const auto second = base / "2";
    for (const auto& dir : {first, second}) {
        const std::string command = std::string("\"") + VANTEL_SOUNDGEN_PATH + "\" --out \"" + dir.string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::vector<const char8_t*> names;
    for (const MusicFile& music : kMusic) names.push_back(music.name);
    for (const char8_t* wave : kWaves) names.push_back(wave);
    for (const char8_t* name : names) {
        SCOPED_TRACE(utf8(name));
        const auto a = readBytes(first / name);
        ASSERT_FALSE(a.empty());
        EXPECT_EQ(a, readBytes(second / name));
        EXPECT_EQ(a, readBytes(kSoundDir / name));  // and what the build wrote
    }
    std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace vantel::soundtest
