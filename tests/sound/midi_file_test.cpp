// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Standard MIDI File reader on small hand-made files.
#include "platform/sound/midi_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vantel::sound {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes header(int format, int tracks, int division) {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<std::uint8_t>(format), 0,
            static_cast<std::uint8_t>(tracks), static_cast<std::uint8_t>(division >> 8),
            static_cast<std::uint8_t>(division)};
}

Bytes track(std::initializer_list<std::uint8_t> events) {
    Bytes chunk = {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(events.size())};
    for (std::uint8_t b : events) chunk.push_back(b);
    return chunk;
}

Bytes file(Bytes head, std::initializer_list<Bytes> tracks) {
    for (const Bytes& t : tracks) {
        for (std::uint8_t b : t) head.push_back(b);
    }
    return head;
}

TEST(MidiFileTest, ReadsLengthNotesAndInstruments) {
    // Program 24 on channel 1; running status; a note-on of velocity 0 ends
    // the second note; the end marker comes 480 ticks after the last note.
    const Bytes bytes = file(header(0, 1, 480), {track({0x00, 0xC0, 24,                    //
                                                        0x00, 0x90, 60, 100,               //
                                                        0x83, 0x60, 62, 90,                // running status
                                                        0x00, 0x80, 60, 0,                 //
                                                        0x83, 0x60, 0x90, 62, 0,           // off by velocity 0
                                                        0x83, 0x60, 0xFF, 0x2F, 0x00})});  // end at 1440
    const auto info = readMidiFile(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format, 0);
    EXPECT_EQ(info->ticksPerQuarter, 480);
    EXPECT_EQ(info->noteCount, 2);
    EXPECT_EQ(info->firstNoteTick, 0);
    EXPECT_EQ(info->lastNoteOffTick, 960);
    EXPECT_EQ(info->lengthTicks, 1440);
    EXPECT_DOUBLE_EQ(info->lengthSeconds, 1.5);  // 120 beats a minute by default
    ASSERT_EQ(info->presets.size(), 1u);
    EXPECT_EQ(info->presets[0], (MidiPreset{0, 24}));
    ASSERT_EQ(info->startPresets.size(), 1u);
    EXPECT_EQ(info->startPresets[0].channel, 0);
}

TEST(MidiFileTest, FollowsTheTempoMapAcrossTracks) {
    // Conductor: 120 bpm, then 60 bpm from tick 960. Second track: notes.
    const Bytes bytes = file(header(1, 2, 480),
                             {track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // 500000 us
                                     0x87, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // 1000000 us at 960
                                     0x87, 0x40, 0xFF, 0x2F, 0x00}),
                              track({0x00, 0x90, 60, 100, 0x8F, 0x00, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00})});
    const auto info = readMidiFile(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->lengthTicks, 1920);
    EXPECT_DOUBLE_EQ(info->secondsAt(960), 1.0);
    EXPECT_DOUBLE_EQ(info->secondsAt(1920), 3.0);
    EXPECT_DOUBLE_EQ(info->lengthSeconds, 3.0);
    EXPECT_EQ(info->tickAt(0.5), 480);
    EXPECT_EQ(info->tickAt(2.0), 1440);
}

TEST(MidiFileTest, TellsEachChannelsFirstInstrumentInTimeOrder) {
    // Track 1 changes channel 1's program only at tick 960; track 2 plays on
    // it from tick 0 (so with program 0) and uses the percussion channel
    // with kit 40 and channel 3 with bank 8.
    const Bytes bytes = file(header(1, 2, 480),
                             {track({0x87, 0x40, 0xC0, 40, 0x00, 0xFF, 0x2F, 0x00}),
                              track({0x00, 0xC9, 40, 0x00, 0xB2, 0x00, 8, 0x00, 0xC2, 5,  //
                                     0x00, 0x90, 60, 90, 0x00, 0x99, 36, 90, 0x00, 0x92, 64, 90,
                                     0x8F, 0x00, 0x90, 62, 90,                             // at 1920: program 40
                                     0x60, 0x80, 62, 0, 0x00, 0xFF, 0x2F, 0x00})});
    const auto info = readMidiFile(bytes);
    ASSERT_TRUE(info);
    ASSERT_EQ(info->startPresets.size(), 3u);
    EXPECT_EQ(info->startPresets[0].channel, 0);
    EXPECT_EQ(info->startPresets[0].preset, (MidiPreset{0, 0}));
    EXPECT_EQ(info->startPresets[1].channel, 2);
    EXPECT_EQ(info->startPresets[1].preset, (MidiPreset{8, 5}));
    EXPECT_EQ(info->startPresets[2].channel, 9);
    EXPECT_EQ(info->startPresets[2].preset, (MidiPreset{128, 40}));
    // The program change of the first track counts from its time on.
    EXPECT_EQ(info->presets.size(), 4u);
    EXPECT_EQ(info->presets.back(), (MidiPreset{0, 40}));
}

TEST(MidiFileTest, SkipsForeignChunksAndSystemExclusiveData) {
    Bytes bytes = header(0, 1, 96);
    for (std::uint8_t b : Bytes{'X', 'Y', 'Z', 'W', 0, 0, 0, 3, 1, 2, 3}) bytes.push_back(b);
    const Bytes t = track({0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7,  // GM on
                           0x00, 0xFF, 0x03, 0x02, 'h', 'i',                 // a name
                           0x60, 0x90, 60, 64, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
    for (std::uint8_t b : t) bytes.push_back(b);
    const auto info = readMidiFile(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->firstNoteTick, 96);
    EXPECT_EQ(info->lengthTicks, 192);
}

TEST(MidiFileTest, ATrackWithoutItsEndMarkerEndsWithItsData) {
    const auto info = readMidiFile(file(header(0, 1, 480), {track({0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0})}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->lengthTicks, 480);
}

TEST(MidiFileTest, ReadsTimeCodeDivisions) {
    // 25 frames a second, 40 ticks a frame: 1000 ticks a second.
    const auto info = readMidiFile(
        file(header(0, 1, 0xE728), {track({0x00, 0x90, 60, 100, 0x87, 0x68, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00})}));
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->timecode);
    EXPECT_EQ(info->lengthTicks, 1000);
    EXPECT_DOUBLE_EQ(info->lengthSeconds, 1.0);
}

TEST(MidiFileTest, RejectsWhatIsNotACompleteFile) {
    const Bytes good = file(header(0, 1, 480), {track({0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0x00, 0xFF,
                                                       0x2F, 0x00})});
    ASSERT_TRUE(readMidiFile(good));
    for (std::size_t cut = 0; cut + 4 < good.size(); ++cut) {
        // Cut anywhere before the end marker's last bytes, the track's stated
        // length runs past the data.
        EXPECT_FALSE(readMidiFile(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut))))
            << "cut at " << cut;
    }
    EXPECT_FALSE(readMidiFile(Bytes{}));
    EXPECT_FALSE(readMidiFile(file(header(0, 0, 480), {})));                   // no tracks
    EXPECT_FALSE(readMidiFile(file(header(3, 1, 480), {track({0x00, 0xFF, 0x2F, 0x00})})));  // no such format
    EXPECT_FALSE(readMidiFile(file(header(0, 2, 480), {track({0x00, 0xFF, 0x2F, 0x00}),
                                                       track({0x00, 0xFF, 0x2F, 0x00})})));  // format 0, two tracks
    EXPECT_FALSE(readMidiFile(file(header(0, 1, 0), {track({0x00, 0xFF, 0x2F, 0x00})})));   // no division
    EXPECT_FALSE(readMidiFile(file(header(0, 1, 480), {track({0x00, 60, 100, 0x00, 0xFF, 0x2F, 0x00})})));  // no status
    EXPECT_FALSE(readMidiFile(file(header(0, 1, 480), {track({0x00, 0x90, 60})})));  // event cut off
    EXPECT_FALSE(readMidiFile(file(header(0, 1, 480), {track({0x00, 0x90, 0x80, 100})})));  // data byte with its top bit
    EXPECT_FALSE(readMidiFile(file(header(0, 1, 480), {track({0xFF, 0xFF, 0xFF, 0xFF, 0x00})})));  // overlong length
    EXPECT_FALSE(readMidiFile(file(header(0, 1, 480), {track({0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00})})));  // real-time byte
    EXPECT_FALSE(readMidiFile(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'}));
}

}  // namespace
}  // namespace vantel::sound
