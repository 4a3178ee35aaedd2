// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A small score model and its Standard MIDI File (format 1) writer. Times
// are in beats (quarter notes) and become ticks at 480 per quarter note.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantel::soundgen {

inline constexpr int kTicksPerQuarter = 480;

// A note by name: "C4" is middle C (MIDI 60); sharps "F#4", flats "Bb3".
int pitch(const std::string& name);

struct Note {
    double beat = 0;
    double length = 1;
    int key = 60;
    int velocity = 80;
};

// Any channel message other than a note, at a beat: controller changes and
// pitch bends.
struct Control {
    double beat = 0;
    enum Kind { Controller, PitchBend } kind = Controller;
    int number = 0;  // controller number
    int value = 0;   // 0..127, or -8192..8191 for a bend
};

struct Part {
    std::string name;
    int channel = 0;
    int program = 0;
    int bank = 0;     // bank select MSB (for the percussion channel, the kit)
    int volume = 100;
    int pan = 64;
    int reverb = 40;
    int chorus = 0;
    std::vector<Note> notes;
    std::vector<Control> controls;

    void note(double beat, double length, int key, int velocity) {
        notes.push_back({beat, length, key, velocity});
    }
    void note(double beat, double length, const std::string& name, int velocity) {
        note(beat, length, pitch(name), velocity);
    }
    // Every note of `keys` at once.
    void chord(double beat, double length, const std::vector<int>& keys, int velocity) {
        for (int key : keys) note(beat, length, key, velocity);
    }
    void controller(double beat, int number, int value) { controls.push_back({beat, Control::Controller, number, value}); }
    void bend(double beat, int value) { controls.push_back({beat, Control::PitchBend, 0, value}); }
};

struct TempoMark {
    double beat = 0;
    double bpm = 120;
};

struct Song {
    std::string title;
    int beatsPerBar = 4;
    int key = 0;       // key signature: sharps (positive) or flats (negative)
    bool minor = false;
    std::vector<TempoMark> tempos;  // the first at beat 0
    double lengthBeats = 0;         // where the song ends (its loop point)
    std::vector<Part> parts;
};

// The file's bytes: a conductor track (title, tempo map, metre, key) and one
// track per part, each ending at the song's length.
std::vector<std::uint8_t> writeMidi(const Song& song);

}  // namespace vantel::soundgen
