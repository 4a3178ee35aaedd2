// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "assets/soundgen/pieces.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace vantel::soundgen {
namespace {

// General MIDI programs (0-based) and percussion keys used below.
enum Program {
    kPiano = 0,
    kRhodes = 4,
    kGlockenspiel = 9,
    kVibraphone = 11,
    kAcousticBass = 32,
    kFingeredBass = 33,
    kCello = 42,
    kHarp = 46,
    kTimpani = 47,
    kStrings = 48,
    kTrumpet = 56,
    kTrombone = 57,
    kTuba = 58,
    kMutedTrumpet = 59,
    kFrenchHorns = 60,
    kBrassSection = 61,
    kOboe = 68,
    kFlute = 73,
};
enum Percussion {
    kKick = 36,
    kSideStick = 37,
    kSnare = 38,
    kClap = 39,
    kSwirl = 40,  // a brush swirl in the brush kit
    kPedalHat = 44,
    kCrash = 49,
    kRide = 51,
    kCrash2 = 57,
};
constexpr int kPercussionChannel = 9;
constexpr int kStandardKit = 0;
constexpr int kBrushKit = 40;

// The long and the short half of a swung pair of eighths.
constexpr double kLong = 2.0 / 3.0;
constexpr double kShort = 1.0 / 3.0;

struct Tone {
    double beat;  // within the bar
    double length;
    const char* name;
};
using Phrase = std::vector<std::vector<Tone>>;  // one list of tones per bar

// Adds a phrase starting at bar `firstBar` (0-based), leaning on the beats:
// notes on a beat a little louder than those between.
void addPhrase(Part& part, int firstBar, const Phrase& bars, int velocity, int beatsPerBar = 4) {
    for (std::size_t bar = 0; bar < bars.size(); ++bar) {
        for (const Tone& tone : bars[bar]) {
            const bool onBeat = tone.beat == static_cast<int>(tone.beat);
            const bool downbeat = tone.beat == 0.0;
            const int v = velocity + (downbeat ? 6 : onBeat ? 2 : -6);
            part.note((firstBar + static_cast<double>(bar)) * beatsPerBar + tone.beat, tone.length, tone.name, v);
        }
    }
}

Part makePart(std::string name, int channel, int program, int volume, int pan, int reverb, int chorus = 0) {
    Part part;
    part.name = std::move(name);
    part.channel = channel;
    part.program = program;
    part.volume = volume;
    part.pan = pan;
    part.reverb = reverb;
    part.chorus = chorus;
    return part;
}

Part makeDrums(std::string name, int kit, int volume, int reverb) {
    Part part = makePart(std::move(name), kPercussionChannel, kit, volume, 64, reverb);
    part.bank = 0;
    return part;
}

// ---- the café tune ------------------------------------------------------

struct ChordShape {
    int root;       // pitch class, 0 = C
    int third;      // 3 or 4 semitones
    int seventh;    // 10 or 11 semitones
    std::vector<int> voicing;  // the Rhodes voicing, around middle C
};

const std::map<std::string, ChordShape>& chordShapes() {
    static const std::map<std::string, ChordShape> shapes = {
        {"F^7", {5, 4, 11, {57, 60, 64, 67}}},  {"F7", {5, 4, 10, {57, 60, 63, 67}}},
        {"Dm7", {2, 3, 10, {53, 57, 60, 64}}},  {"Gm7", {7, 3, 10, {53, 57, 58, 62}}},
        {"C7", {0, 4, 10, {52, 55, 58, 62}}},   {"Am7", {9, 3, 10, {55, 59, 60, 64}}},
        {"D7", {2, 4, 10, {54, 57, 60, 64}}},   {"Bb^7", {10, 4, 11, {57, 60, 62, 65}}},
        {"Bbm7", {10, 3, 10, {56, 60, 61, 65}}}, {"Eb7", {3, 4, 10, {55, 58, 61, 65}}},
    };
    return shapes;
}

// One or two chords per bar (two: a half bar each).
const std::vector<std::vector<std::string>>& cafeChords() {
    static const std::vector<std::vector<std::string>> bars = {
        // A
        {"F^7"}, {"Dm7"}, {"Gm7"}, {"C7"}, {"Am7"}, {"D7"}, {"Gm7"}, {"C7"},
        // A'
        {"F^7"}, {"Dm7"}, {"Gm7"}, {"C7"}, {"Am7", "D7"}, {"Gm7", "C7"}, {"F^7"}, {"F^7", "F7"},
        // B, turning back to the top
        {"Bb^7"}, {"Bbm7", "Eb7"}, {"Am7"}, {"D7"}, {"Gm7"}, {"C7"}, {"F^7", "D7"}, {"Gm7", "C7"},
    };
    return bars;
}

// The bass root of a chord between G1 and F#2.
int bassRoot(int pitchClass) {
    int key = 24 + pitchClass;
    if (key < 31) key += 12;
    return key;
}

void addWalkingBass(Part& bass) {
    const auto& bars = cafeChords();
    const auto& shapes = chordShapes();
    struct Span {
        double beat;
        int beats;
        const ChordShape* shape;
    };
    std::vector<Span> spans;
    for (std::size_t bar = 0; bar < bars.size(); ++bar) {
        const int count = static_cast<int>(bars[bar].size());
        for (int i = 0; i < count; ++i) {
            spans.push_back({static_cast<double>(bar) * 4 + i * (4 / count), 4 / count, &shapes.at(bars[bar][i])});
        }
    }
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const Span& span = spans[i];
        const ChordShape& shape = *span.shape;
        // The last span leads into the first: the tune loops.
        const int next = bassRoot(spans[(i + 1) % spans.size()].shape->root);
        const int root = bassRoot(shape.root);
        const int bar = static_cast<int>(span.beat) / 4;
        std::vector<int> line;
        if (span.beats == 4) {
            switch (bar % 3) {
            case 0:
                line = {root, root + shape.third, root + 7};
                break;
            case 1:
                line = {root, root + 7, root + 9};
                break;
            default:
                line = {root, root + 12, root + 7};
                break;
            }
        } else {
            line = {root};
        }
        // A half step into the next root, from the side nearer the line.
        const int before = line.back();
        line.push_back(std::abs(next + 1 - before) < std::abs(next - 1 - before) ? next + 1 : next - 1);
        for (std::size_t beat = 0; beat < line.size(); ++beat) {
            const bool last = beat + 1 == line.size();
            bass.note(span.beat + static_cast<double>(beat), 0.92, line[beat], beat == 0 ? 92 : last ? 78 : 84);
        }
    }
}

void addRhodesComping(Part& rhodes) {
    const auto& bars = cafeChords();
    const auto& shapes = chordShapes();
    for (std::size_t bar = 0; bar < bars.size(); ++bar) {
        const double start = static_cast<double>(bar) * 4;
        auto hit = [&](double beat, double length, const std::string& chord, int velocity) {
            const auto& voicing = shapes.at(chord).voicing;
            for (std::size_t k = 0; k < voicing.size(); ++k) {
                // The top voice sings a little over the others.
                rhodes.note(start + beat, length, voicing[k], velocity + (k + 1 == voicing.size() ? 5 : 0));
            }
        };
        if (bars[bar].size() == 2) {
            hit(0, 1.6, bars[bar][0], 62);
            hit(2, 1.6, bars[bar][1], 60);
        } else if (bar % 2 == 0) {
            hit(0, 1.5, bars[bar][0], 64);
            hit(2 + kLong, 1.0, bars[bar][0], 56);
        } else {
            hit(kLong, 0.9, bars[bar][0], 58);
            hit(2, 1.5, bars[bar][0], 62);
        }
    }
}

void addBrushes(Part& drums, int bars) {
    for (int bar = 0; bar < bars; ++bar) {
        const double b = bar * 4.0;
        for (auto [beat, velocity] : std::vector<std::pair<double, int>>{
                 {0, 60}, {1, 52}, {1 + kLong, 38}, {2, 58}, {3, 52}, {3 + kLong, 38}}) {
            drums.note(b + beat, 0.3, kRide, velocity);
        }
        drums.note(b + 1, 0.2, kPedalHat, 44);
        drums.note(b + 3, 0.2, kPedalHat, 44);
        drums.note(b, 1.8, kSwirl, 30);
        drums.note(b + 2, 1.8, kSwirl, 28);
        if (bar % 2 == 1) drums.note(b + 3, 0.3, kSideStick, 34);
        if (bar % 4 == 0) drums.note(b, 0.4, kKick, 42);
        if (bar % 4 == 2) drums.note(b + 2 + kLong, 0.4, kKick, 34);
    }
    // A soft fill in the last bar leads back to the top.
    const double last = (bars - 1) * 4.0;
    drums.note(last + 3, 0.3, kSnare, 40);
    drums.note(last + 3 + kShort, 0.3, kSnare, 46);
    drums.note(last + 3 + kLong, 0.3, kSnare, 54);
}

}  // namespace

Song cafeMusic() {
    Song song;
    song.title = "Cafe";
    song.key = -1;  // F major
    song.tempos = {{0, 96}};
    const int bars = static_cast<int>(cafeChords().size());
    song.lengthBeats = bars * 4.0;

    Part vibes = makePart("Vibraphone", 0, kVibraphone, 100, 82, 55);
    const Phrase a = {
        {{0, 1, "C5"}, {1, kLong, "A4"}, {1 + kLong, kShort, "C5"}, {2, 2, "E5"}},
        {{0, 1, "F5"}, {1, kLong, "E5"}, {1 + kLong, 1 + kShort, "D5"}, {3, 1, "A4"}},
        {{0, 1, "Bb4"}, {1, kLong, "D5"}, {1 + kLong, 1 + kShort, "F5"}, {3, 1, "E5"}},
        {{0, 1, "D5"}, {1, 1, "C5"}, {2, 1, "Bb4"}, {3, 1, "G4"}},
        {{0, 1, "A4"}, {1, kLong, "C5"}, {1 + kLong, 1 + kShort, "E5"}, {3, 1, "G5"}},
        {{0, 1 + kLong, "F#5"}, {1 + kLong, kShort, "E5"}, {2, 1, "D5"}, {3, 1, "C5"}},
        {{0, 1, "Bb4"}, {1, kLong, "A4"}, {1 + kLong, kShort, "Bb4"}, {2, 1, "D5"}, {3, 1, "F5"}},
        {{0, 2, "E5"}, {3, kLong, "G4"}, {3 + kLong, kShort, "A4"}},
    };
    const Phrase aSecond = {
        a[0],
        a[1],
        {{0, 1, "Bb4"}, {1, kLong, "D5"}, {1 + kLong, 1 + kShort, "F5"}, {3, 1, "A5"}},
        {{0, 1 + kLong, "G5"}, {1 + kLong, kShort, "E5"}, {2, 1, "C5"}, {3, 1, "Bb4"}},
        {{0, 1, "A4"}, {1, 1, "C5"}, {2, 1, "D5"}, {3, 1, "F#5"}},
        {{0, 1, "G5"}, {1, 1, "D5"}, {2, 1, "E5"}, {3, 1, "C5"}},
        {{0, 3, "F5"}},
        {{2, 1, "C5"}, {3, 1, "Eb5"}},
    };
    addPhrase(vibes, 0, a, 84);
    addPhrase(vibes, 8, aSecond, 84);

    Part flute = makePart("Flute", 1, kFlute, 92, 76, 60);
    const Phrase b = {
        {{0, 1, "D5"}, {1, kLong, "F5"}, {1 + kLong, 2 + kShort, "A5"}},
        {{0, 1, "Ab5"}, {1, 1, "F5"}, {2, 1, "G5"}, {3, 1, "Db5"}},
        {{0, 1, "C5"}, {1, kLong, "E5"}, {1 + kLong, 1 + kShort, "G5"}, {3, 1, "E5"}},
        {{0, 1, "F#5"}, {1, kLong, "E5"}, {1 + kLong, kShort, "D5"}, {2, 1, "C5"}, {3, 1, "A4"}},
        {{0, 1, "Bb4"}, {1, 1, "D5"}, {2, 1, "F5"}, {3, 1, "A5"}},
        {{0, 1 + kLong, "G5"}, {1 + kLong, kShort, "F5"}, {2, 1, "E5"}, {3, 1, "C5"}},
        {{0, 1 + kLong, "A4"}, {1 + kLong, kShort, "C5"}, {2, 1, "D5"}, {3, 1, "F#5"}},
        {{0, 1, "G5"}, {1, kLong, "F5"}, {1 + kLong, kShort, "D5"}, {2, 1, "E5"}, {3, kLong, "G4"},
         {3 + kLong, kShort, "A4"}},
    };
    addPhrase(flute, 16, b, 82);

    Part rhodes = makePart("Rhodes", 2, kRhodes, 88, 46, 50, 30);
    addRhodesComping(rhodes);
    Part bass = makePart("Acoustic bass", 3, kAcousticBass, 104, 64, 30);
    addWalkingBass(bass);
    Part drums = makeDrums("Brushes", kBrushKit, 82, 45);
    addBrushes(drums, bars);

    song.parts = {vibes, flute, rhodes, bass, drums};
    return song;
}

Song roundWonJingle() {
    Song song;
    song.title = "Round won";
    song.tempos = {{0, 160}};
    song.lengthBeats = 8;

    Part trumpet = makePart("Trumpet", 0, kTrumpet, 104, 64, 50);
    trumpet.note(0, kShort, "G4", 84);
    trumpet.note(kShort, kShort, "C5", 88);
    trumpet.note(kLong, kShort, "E5", 92);
    trumpet.note(1, 1, "G5", 104);
    trumpet.note(2, 0.5, "E5", 92);
    trumpet.note(2.5, 0.5, "G5", 96);
    trumpet.note(3, 5, "C6", 110);

    Part brass = makePart("Brass", 1, kBrassSection, 92, 50, 50);
    brass.chord(1, 1, {60, 64, 67}, 92);
    brass.chord(2, 0.5, {60, 65, 69}, 86);
    brass.chord(2.5, 0.5, {59, 62, 65, 67}, 88);
    brass.chord(3, 5, {60, 64, 67, 72}, 100);

    Part strings = makePart("Strings", 2, kStrings, 88, 78, 65);
    strings.chord(3, 5, {48, 55, 60, 64}, 74);

    Part bass = makePart("Bass", 3, kFingeredBass, 100, 64, 30);
    bass.note(1, 1, "C2", 96);
    bass.note(2, 0.5, "F2", 88);
    bass.note(2.5, 0.5, "G2", 90);
    bass.note(3, 5, "C2", 100);

    Part glock = makePart("Glockenspiel", 4, kGlockenspiel, 80, 90, 70);
    glock.note(3, 0.5, "C6", 70);
    glock.note(3.5, 0.5, "E6", 72);
    glock.note(4, 0.5, "G6", 74);
    glock.note(4.5, 3.5, "C7", 78);

    Part drums = makeDrums("Drums", kStandardKit, 96, 40);
    drums.note(0, 0.2, kSnare, 70);
    drums.note(kShort, 0.2, kSnare, 80);
    drums.note(kLong, 0.2, kSnare, 90);
    drums.note(1, 0.5, kKick, 100);
    drums.note(2, 0.3, kClap, 70);
    drums.note(2.5, 0.3, kClap, 76);
    drums.note(3, 0.5, kKick, 110);
    drums.note(3, 5, kCrash, 100);

    song.parts = {trumpet, brass, strings, bass, glock, drums};
    return song;
}

Song roundLostJingle() {
    Song song;
    song.title = "Round lost";
    song.tempos = {{0, 100}};
    song.lengthBeats = 5;

    // The falling line sags at its end: a slow bend down with vibrato.
    auto sag = [](Part& part) {
        part.controller(3.2, 1, 40);
        for (int step = 1; step <= 12; ++step) part.bend(3.4 + step * 0.1, -340 * step);
        part.controller(5, 1, 0);
        part.bend(5, 0);
    };
    Part trombone = makePart("Trombone", 0, kTrombone, 127, 60, 45);
    trombone.note(0, 1, "G3", 92);
    trombone.note(1, 1, "F#3", 86);
    trombone.note(2, 1, "F3", 82);
    trombone.note(3, 2, "E3", 90);
    sag(trombone);

    Part muted = makePart("Muted trumpet", 1, kMutedTrumpet, 104, 72, 45);
    muted.note(0, 1, "G4", 74);
    muted.note(1, 1, "F#4", 70);
    muted.note(2, 1, "F4", 66);
    muted.note(3, 2, "E4", 72);
    sag(muted);

    Part strings = makePart("Strings", 2, kStrings, 108, 40, 60);
    strings.chord(0, 1, {48, 52, 55, 60}, 62);
    strings.chord(1, 1, {48, 54, 57, 62}, 60);
    strings.chord(2, 1, {48, 53, 56, 60}, 58);
    strings.chord(3, 2, {48, 52, 55, 60}, 56);

    Part tuba = makePart("Tuba", 3, kTuba, 122, 64, 35);
    tuba.note(0, 1, "C2", 86);
    tuba.note(1, 1, "C2", 76);
    tuba.note(2, 1, "C2", 72);
    tuba.note(3, 2, "C2", 82);

    Part timpani = makePart("Timpani", 4, kTimpani, 110, 64, 50);
    timpani.note(0, 1, "C3", 80);
    timpani.note(3, 2, "C3", 70);

    song.parts = {trombone, muted, strings, tuba, timpani};
    return song;
}

Song matchWonJingle() {
    Song song;
    song.title = "Match won";
    song.tempos = {{0, 132}};
    song.lengthBeats = 16;

    Part trumpet = makePart("Trumpets", 0, kTrumpet, 110, 64, 50);
    const Phrase melody = {
        {{0, kShort, "G4"}, {kShort, kShort, "G4"}, {kLong, kShort, "G4"}, {1, 1.5, "C5"}, {2.5, 0.5, "G4"},
         {3, 0.5, "C5"}, {3.5, 0.5, "E5"}},
        {{0, 2, "G5"}, {2, kLong, "E5"}, {2 + kLong, kShort, "F5"}, {3, 1, "G5"}},
        {{0, 1, "A5"}, {1, 0.5, "F5"}, {1.5, 0.5, "A5"}, {2, 1, "G5"}, {3, 0.5, "E5"}, {3.5, 0.5, "D5"}},
        {{0, kShort, "C5"}, {kShort, kShort, "E5"}, {kLong, kShort, "G5"}, {1, 3, "C6"}},
    };
    addPhrase(trumpet, 0, melody, 100);

    Part brass = makePart("Brass", 1, kBrassSection, 96, 48, 50);
    const std::vector<int> c = {60, 64, 67}, g7 = {59, 62, 65, 67}, f = {60, 65, 69};
    brass.chord(1, 1.5, c, 96);
    brass.chord(2.5, 0.5, c, 84);
    brass.chord(3, 1, c, 90);
    brass.chord(4, 2, c, 96);
    brass.chord(6, 2, g7, 92);
    brass.chord(8, 1, f, 96);
    brass.chord(9, 1, f, 88);
    brass.chord(10, 1, c, 92);
    brass.chord(11, 1, g7, 94);
    brass.chord(13, 3, {60, 64, 67, 72}, 106);

    Part horns = makePart("Horns", 2, kFrenchHorns, 92, 80, 55);
    for (auto [beat, length, name] : std::vector<Tone>{
             {1, 3, "E4"}, {4, 2, "G4"}, {6, 2, "F4"}, {8, 2, "F4"}, {10, 1, "E4"}, {11, 1, "D4"}, {13, 3, "E4"}}) {
        horns.note(beat, length, name, 80);
    }

    Part strings = makePart("Strings", 3, kStrings, 92, 36, 65);
    strings.chord(1, 3, {48, 55, 64}, 76);
    strings.chord(4, 2, {48, 55, 64}, 78);
    strings.chord(6, 2, {43, 53, 59}, 78);
    strings.chord(8, 2, {41, 53, 60}, 80);
    strings.chord(10, 1, {43, 52, 60}, 80);
    strings.chord(11, 1, {43, 53, 59}, 82);
    const char* run[] = {"C5", "D5", "E5", "F5", "G5", "A5", "B5"};
    for (int i = 0; i < 7; ++i) strings.note(12 + i / 7.0, 1 / 7.0, run[i], 70 + i * 4);
    strings.chord(13, 3, {48, 60, 64, 67, 72}, 96);

    Part tuba = makePart("Tuba", 4, kTuba, 100, 64, 35);
    for (auto [beat, length, name] : std::vector<Tone>{{1, 1.5, "C2"},
                                                       {2.5, 0.5, "G1"},
                                                       {3, 1, "C2"},
                                                       {4, 2, "C2"},
                                                       {6, 2, "G1"},
                                                       {8, 2, "F1"},
                                                       {10, 1, "E2"},
                                                       {11, 1, "G1"},
                                                       {13, 3, "C2"}}) {
        tuba.note(beat, length, name, 92);
    }

    Part timpani = makePart("Timpani", 5, kTimpani, 96, 64, 50);
    timpani.note(1, 1, "C3", 96);
    timpani.note(4, 1, "C3", 88);
    timpani.note(6, 1, "G2", 88);
    timpani.note(8, 1, "F2", 90);
    timpani.note(11, 1, "G2", 90);
    for (int i = 0; i < 4; ++i) timpani.note(12 + i * 0.25, 0.25, "G2", 70 + i * 8);
    timpani.note(13, 0.25, "C3", 110);
    for (int i = 1; i < 12; ++i) timpani.note(13 + i * 0.25, 0.25, "C3", 90 - i * 5);

    Part glock = makePart("Glockenspiel", 6, kGlockenspiel, 78, 92, 70);
    glock.note(13, 0.25, "C6", 70);
    glock.note(13.25, 0.25, "E6", 72);
    glock.note(13.5, 0.25, "G6", 74);
    glock.note(13.75, 2.25, "C7", 80);

    Part drums = makeDrums("Drums", kStandardKit, 96, 45);
    drums.note(1, 2, kCrash, 96);
    for (double beat : {1.0, 4.0, 8.0}) drums.note(beat, 0.5, kKick, 96);
    for (int i = 0; i < 8; ++i) drums.note(12 + i * 0.125, 0.125, kSnare, 60 + i * 6);
    drums.note(13, 0.5, kKick, 112);
    drums.note(13, 3, kCrash, 110);
    drums.note(13, 3, kCrash2, 96);

    song.parts = {trumpet, brass, horns, strings, tuba, timpani, glock, drums};
    return song;
}

Song matchLostJingle() {
    Song song;
    song.title = "Match lost";
    song.key = 0;
    song.minor = true;  // A minor
    song.tempos = {{0, 112}, {8, 92}};
    song.lengthBeats = 12;

    Part oboe = makePart("Oboe", 0, kOboe, 127, 70, 60);
    const Phrase melody = {
        {{0, 1, "A4"}, {1, 1, "C5"}, {2, 1.5, "F5"}, {3.5, 0.5, "E5"}},
        {{0, 1, "D5"}, {1, 1, "B4"}, {2, 1, "G#4"}, {3, 1, "B4"}},
        {{0, 4, "A4"}},
    };
    addPhrase(oboe, 0, melody, 84);

    Part piano = makePart("Piano", 1, kPiano, 114, 52, 55);
    const int fMajor[] = {53, 57, 60, 65, 69, 65, 60, 57};
    const int e7[] = {52, 56, 59, 62, 64, 62, 59, 56};
    for (int i = 0; i < 8; ++i) {
        piano.note(i * 0.5, 0.5, fMajor[i], i % 2 == 0 ? 62 : 54);
        piano.note(4 + i * 0.5, 0.5, e7[i], i % 2 == 0 ? 62 : 54);
    }
    const int aMinor[] = {45, 52, 57, 60, 64};
    for (int i = 0; i < 5; ++i) piano.note(8 + i * 0.08, 4 - i * 0.08, aMinor[i], 64);

    Part strings = makePart("Strings", 2, kStrings, 104, 40, 65);
    strings.chord(0, 4, {53, 57, 60}, 56);
    strings.chord(4, 4, {52, 56, 59, 62}, 58);
    strings.chord(8, 4, {45, 52, 57, 60}, 54);

    Part cello = makePart("Cello", 3, kCello, 120, 60, 50);
    cello.note(0, 4, "F2", 72);
    cello.note(4, 4, "E2", 72);
    cello.note(8, 4, "A1", 70);

    Part harp = makePart("Harp", 4, kHarp, 106, 88, 70);
    const char* rising[] = {"A3", "C4", "E4", "A4", "C5", "E5"};
    for (int i = 0; i < 6; ++i) harp.note(9 + i * 0.25, 3 - i * 0.25, rising[i], 52 + i * 2);

    song.parts = {oboe, piano, strings, cello, harp};
    return song;
}

}  // namespace vantel::soundgen
