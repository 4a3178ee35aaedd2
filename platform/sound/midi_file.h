// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reader of Standard MIDI Files (formats 0, 1 and 2): checks that a file is
// one and tells what the player needs to know about it without playing it,
// its length in ticks and seconds and the instruments it uses.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantel::sound {

// A General MIDI instrument as the synthesizer selects it: bank 128 is the
// percussion kits (MIDI channel 10), other banks are melodic.
struct MidiPreset {
    int bank = 0;
    int program = 0;
    bool operator==(const MidiPreset&) const = default;
};

// A tempo from `tick` on, in microseconds per quarter note.
struct MidiTempo {
    std::int64_t tick = 0;
    std::int64_t microsecondsPerQuarter = 500000;
};

struct MidiFileInfo {
    int format = 0;
    int trackCount = 0;
    // Ticks per quarter note; for time-code files (negative division in the
    // header) ticks per second instead, with `timecode` set.
    int ticksPerQuarter = 0;
    bool timecode = false;
    // Length: the tick of the last event of the longest track (its end of
    // track marker included), as a sequencer reports it.
    std::int64_t lengthTicks = 0;
    double lengthSeconds = 0.0;
    // The first note's start, and the tick after which no note sounds.
    std::int64_t firstNoteTick = 0;
    std::int64_t lastNoteOffTick = 0;
    int noteCount = 0;
    // Distinct instruments in order of first use. A channel that plays notes
    // without choosing one uses program 0 (bank 128 on channel 10).
    std::vector<MidiPreset> presets;
    // For each channel that plays notes (0..15, in order): the instrument of
    // its first note.
    struct ChannelPreset {
        int channel = 0;
        MidiPreset preset;
    };
    std::vector<ChannelPreset> startPresets;
    // The tempo map, sorted, starting with tick 0.
    std::vector<MidiTempo> tempos;

    // Time in seconds at `tick`, and the tick reached after `seconds`.
    double secondsAt(std::int64_t tick) const;
    std::int64_t tickAt(double seconds) const;
};

// Nothing when `bytes` is not a complete Standard MIDI File: no "MThd"
// header at the start, a header or track that ends early, an event cut off
// by the end of its track, a malformed length or no tracks at all.
std::optional<MidiFileInfo> readMidiFile(std::span<const std::uint8_t> bytes);

}  // namespace vantel::sound
