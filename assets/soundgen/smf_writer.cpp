// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "assets/soundgen/smf_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vantel::soundgen {
namespace {

std::int64_t ticks(double beats) { return std::llround(beats * kTicksPerQuarter); }

struct Event {
    std::int64_t tick = 0;
    int order = 0;  // within a tick: note-offs, then controls, then note-ons
    int sequence = 0;
    std::vector<std::uint8_t> bytes;
};

void putVarLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t buffer[5];
    int n = 0;
    buffer[n++] = value & 0x7F;
    while ((value >>= 7) != 0) buffer[n++] = static_cast<std::uint8_t>(0x80 | (value & 0x7F));
    while (n > 0) out.push_back(buffer[--n]);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

std::vector<std::uint8_t> meta(int type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{0xFF, static_cast<std::uint8_t>(type)};
    putVarLength(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<std::uint8_t> text(const std::string& s) { return {s.begin(), s.end()}; }

// One track chunk from events; the end-of-track marker goes at `endTick`.
std::vector<std::uint8_t> trackChunk(std::vector<Event> events, std::int64_t endTick) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        if (a.order != b.order) return a.order < b.order;
        return a.sequence < b.sequence;
    });
    std::vector<std::uint8_t> data;
    std::int64_t now = 0;
    for (const Event& e : events) {
        if (e.tick > endTick) throw std::logic_error("event after the end of the song");
        putVarLength(data, static_cast<std::uint32_t>(e.tick - now));
        data.insert(data.end(), e.bytes.begin(), e.bytes.end());
        now = e.tick;
    }
    putVarLength(data, static_cast<std::uint32_t>(endTick - now));
    data.insert(data.end(), {0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> chunk{'M', 'T', 'r', 'k'};
    put32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

std::uint8_t clamp7(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 127)); }

}  // namespace

int pitch(const std::string& name) {
    static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G') throw std::invalid_argument("note name: " + name);
    int semitone = base[name[0] - 'A'];
    std::size_t i = 1;
    for (; i < name.size() && (name[i] == '#' || name[i] == 'b'); ++i) semitone += name[i] == '#' ? 1 : -1;
    const int octave = std::stoi(name.substr(i));
    return (octave + 1) * 12 + semitone;
}

std::vector<std::uint8_t> writeMidi(const Song& song) {
    const std::int64_t endTick = ticks(song.lengthBeats);
    std::vector<std::vector<std::uint8_t>> chunks;
    int sequence = 0;

    std::vector<Event> conductor;
    conductor.push_back({0, 0, sequence++, meta(0x03, text(song.title))});
    conductor.push_back({0, 0, sequence++, meta(0x58, {static_cast<std::uint8_t>(song.beatsPerBar), 2, 24, 8})});
    conductor.push_back({0, 0, sequence++,
                         meta(0x59, {static_cast<std::uint8_t>(static_cast<std::int8_t>(song.key)),
                                     static_cast<std::uint8_t>(song.minor ? 1 : 0)})});
    for (const TempoMark& mark : song.tempos) {
        const auto micros = static_cast<std::uint32_t>(std::lround(60'000'000.0 / mark.bpm));
        conductor.push_back({ticks(mark.beat), 1, sequence++,
                             meta(0x51, {static_cast<std::uint8_t>(micros >> 16), static_cast<std::uint8_t>(micros >> 8),
                                         static_cast<std::uint8_t>(micros)})});
    }
    chunks.push_back(trackChunk(std::move(conductor), endTick));

    for (const Part& part : song.parts) {
        const auto ch = static_cast<std::uint8_t>(part.channel & 0x0F);
        std::vector<Event> events;
        events.push_back({0, 1, sequence++, meta(0x03, text(part.name))});
        events.push_back({0, 1, sequence++, {static_cast<std::uint8_t>(0xB0 | ch), 0, clamp7(part.bank)}});
        events.push_back({0, 1, sequence++, {static_cast<std::uint8_t>(0xC0 | ch), clamp7(part.program)}});
        events.push_back({0, 1, sequence++, {static_cast<std::uint8_t>(0xB0 | ch), 7, clamp7(part.volume)}});
        events.push_back({0, 1, sequence++, {static_cast<std::uint8_t>(0xB0 | ch), 10, clamp7(part.pan)}});
        events.push_back({0, 1, sequence++, {static_cast<std::uint8_t>(0xB0 | ch), 91, clamp7(part.reverb)}});
        events.push_back({0, 1, sequence++, {static_cast<std::uint8_t>(0xB0 | ch), 93, clamp7(part.chorus)}});
        for (const Control& c : part.controls) {
            if (c.kind == Control::Controller) {
                events.push_back({ticks(c.beat), 1, sequence++,
                                  {static_cast<std::uint8_t>(0xB0 | ch), clamp7(c.number), clamp7(c.value)}});
            } else {
                const int v = std::clamp(c.value, -8192, 8191) + 8192;
                events.push_back({ticks(c.beat), 1, sequence++,
                                  {static_cast<std::uint8_t>(0xE0 | ch), static_cast<std::uint8_t>(v & 0x7F),
                                   static_cast<std::uint8_t>(v >> 7)}});
            }
        }
        for (const Note& n : part.notes) {
            const std::int64_t on = ticks(n.beat);
            // Slightly detached so that a repeated key sounds twice.
            const std::int64_t off = std::max(on + 1, ticks(n.beat + n.length) - 6);
            events.push_back({on, 2, sequence++,
                              {static_cast<std::uint8_t>(0x90 | ch), clamp7(n.key), clamp7(std::max(1, n.velocity))}});
            events.push_back({off, 0, sequence++, {static_cast<std::uint8_t>(0x80 | ch), clamp7(n.key), 64}});
        }
        chunks.push_back(trackChunk(std::move(events), endTick));
    }

    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd'};
    put32(file, 6);
    put16(file, 1);
    put16(file, static_cast<std::uint32_t>(chunks.size()));
    put16(file, kTicksPerQuarter);
    for (const auto& chunk : chunks) file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

}  // namespace vantel::soundgen
