// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/sound/midi_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace vantel::sound {
namespace {

constexpr int kPercussionChannel = 9;
constexpr int kPercussionBank = 128;

// Reads big-endian numbers and variable-length quantities from a span,
// failing (rather than reading past the end) when the data runs out.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}

    bool atEnd() const { return pos_ >= data_.size(); }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }

    bool byte(std::uint8_t& out) {
        if (atEnd()) return false;
        out = data_[pos_++];
        return true;
    }
    bool peek(std::uint8_t& out) const {
        if (atEnd()) return false;
        out = data_[pos_];
        return true;
    }
    bool u16(std::uint32_t& out) {
        if (remaining() < 2) return false;
        out = (std::uint32_t{data_[pos_]} << 8) | data_[pos_ + 1];
        pos_ += 2;
        return true;
    }
    bool u32(std::uint32_t& out) {
        if (remaining() < 4) return false;
        out = (std::uint32_t{data_[pos_]} << 24) | (std::uint32_t{data_[pos_ + 1]} << 16) |
              (std::uint32_t{data_[pos_ + 2]} << 8) | data_[pos_ + 3];
        pos_ += 4;
        return true;
    }
    // At most four bytes, as the file format allows (values below 2^28).
    bool varLength(std::uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!byte(b)) return false;
            out = (out << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0) return true;
        }
        return false;
    }
    bool skip(std::size_t count) {
        if (remaining() < count) return false;
        pos_ += count;
        return true;
    }
    bool tag(const char (&name)[5]) const {
        return remaining() >= 4 && std::equal(name, name + 4, data_.begin() + static_cast<std::ptrdiff_t>(pos_));
    }
    std::span<const std::uint8_t> take(std::size_t count) {
        auto part = data_.subspan(pos_, count);
        pos_ += count;
        return part;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// The events that choose instruments, from all tracks, to be put in time
// order before the instruments are worked out.
struct ChannelEvent {
    std::int64_t tick = 0;
    int channel = 0;
    enum Kind { Bank, Program, Note } kind = Note;
    int value = 0;
};

struct Scan {
    std::int64_t lengthTicks = 0;
    std::int64_t firstNoteTick = -1;
    std::int64_t lastNoteOffTick = 0;
    int noteCount = 0;
    std::vector<ChannelEvent> events;
    std::vector<MidiTempo> tempos;
};

// Number of data bytes that follow a channel status byte.
int dataBytes(std::uint8_t status) {
    switch (status & 0xF0u) {
    case 0xC0:
    case 0xD0:
        return 1;
    default:
        return 2;
    }
}

bool scanTrack(std::span<const std::uint8_t> track, Scan& scan) {
    Reader in(track);
    std::int64_t tick = 0;
    std::uint8_t running = 0;
    // Notes still sounding, per channel and key, for the last note-off.
    std::array<std::array<std::uint8_t, 128>, 16> sounding{};
    while (!in.atEnd()) {
        std::uint32_t delta = 0;
        if (!in.varLength(delta)) return false;
        tick += delta;
        std::uint8_t status = 0;
        if (!in.peek(status)) return false;
        if (status & 0x80u) {
            in.byte(status);
        } else {
            if (running == 0) return false;  // data byte with no status to run on
            status = running;
        }
        if (status == 0xFF) {
            std::uint8_t type = 0;
            std::uint32_t length = 0;
            if (!in.byte(type) || !in.varLength(length) || in.remaining() < length) return false;
            auto data = in.take(length);
            running = 0;
            if (type == 0x51 && length == 3) {
                std::int64_t tempo = (std::int64_t{data[0]} << 16) | (data[1] << 8) | data[2];
                if (tempo > 0) scan.tempos.push_back({tick, tempo});
            } else if (type == 0x2F) {
                scan.lengthTicks = std::max(scan.lengthTicks, tick);
                return true;  // anything after the end marker is not part of the track
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            if (!in.varLength(length) || !in.skip(length)) return false;
            running = 0;
            continue;
        }
        if (status >= 0xF0) return false;  // system common/real-time messages do not occur in files
        running = status;
        std::array<std::uint8_t, 2> data{};
        for (int i = 0; i < dataBytes(status); ++i) {
            if (!in.byte(data[i]) || (data[i] & 0x80u)) return false;
        }
        const int channel = status & 0x0F;
        switch (status & 0xF0u) {
        case 0x90:
            if (data[1] > 0) {
                ++scan.noteCount;
                if (scan.firstNoteTick < 0 || tick < scan.firstNoteTick) scan.firstNoteTick = tick;
                scan.events.push_back({tick, channel, ChannelEvent::Note, 0});
                if (sounding[channel][data[0]] < 255) ++sounding[channel][data[0]];
                break;
            }
            [[fallthrough]];  // a note-on with velocity 0 is a note-off
        case 0x80:
            if (sounding[channel][data[0]] > 0) {
                --sounding[channel][data[0]];
                scan.lastNoteOffTick = std::max(scan.lastNoteOffTick, tick);
            }
            break;
        case 0xB0:
            if (data[0] == 0) scan.events.push_back({tick, channel, ChannelEvent::Bank, data[1]});
            break;
        case 0xC0:
            scan.events.push_back({tick, channel, ChannelEvent::Program, data[0]});
            break;
        default:
            break;
        }
        scan.lengthTicks = std::max(scan.lengthTicks, tick);
    }
    // A track without its end marker ends with its data.
    scan.lengthTicks = std::max(scan.lengthTicks, tick);
    for (const auto& keys : sounding) {
        if (std::any_of(keys.begin(), keys.end(), [](std::uint8_t n) { return n > 0; })) {
            scan.lastNoteOffTick = std::max(scan.lastNoteOffTick, tick);
        }
    }
    return true;
}

}  // namespace

double MidiFileInfo::secondsAt(std::int64_t tick) const {
    if (ticksPerQuarter <= 0) return 0.0;
    if (timecode) return static_cast<double>(tick) / ticksPerQuarter;
    double seconds = 0.0;
    for (std::size_t i = 0; i < tempos.size(); ++i) {
        const std::int64_t from = tempos[i].tick;
        if (tick <= from) break;
        const std::int64_t to = (i + 1 < tempos.size()) ? std::min(tick, tempos[i + 1].tick) : tick;
        seconds += static_cast<double>(to - from) * static_cast<double>(tempos[i].microsecondsPerQuarter) /
                   (1e6 * ticksPerQuarter);
    }
    return seconds;
}

std::int64_t MidiFileInfo::tickAt(double seconds) const {
    if (ticksPerQuarter <= 0 || seconds <= 0.0) return 0;
    // Whole ticks reached, allowing for the rounding of the division.
    auto whole = [](double ticks) { return static_cast<std::int64_t>(std::floor(ticks + 1e-6)); };
    if (timecode) return whole(seconds * ticksPerQuarter);
    double elapsed = 0.0;
    for (std::size_t i = 0; i < tempos.size(); ++i) {
        const double secondsPerTick =
            static_cast<double>(tempos[i].microsecondsPerQuarter) / (1e6 * ticksPerQuarter);
        const bool last = i + 1 == tempos.size();
        const double span = last ? 0.0 : static_cast<double>(tempos[i + 1].tick - tempos[i].tick) * secondsPerTick;
        if (last || elapsed + span > seconds) {
            return tempos[i].tick + whole((seconds - elapsed) / secondsPerTick);
        }
        elapsed += span;
    }
    return 0;
}

std::optional<MidiFileInfo> readMidiFile(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    std::uint32_t headerLength = 0, format = 0, tracks = 0, division = 0;
    if (!in.tag("MThd")) return std::nullopt;
    in.skip(4);
    if (!in.u32(headerLength) || headerLength < 6 || !in.u16(format) || !in.u16(tracks) || !in.u16(division))
        return std::nullopt;
    if (!in.skip(headerLength - 6)) return std::nullopt;
    if (format > 2 || tracks == 0 || division == 0 || (format == 0 && tracks != 1)) return std::nullopt;

    MidiFileInfo info;
    info.format = static_cast<int>(format);
    info.trackCount = static_cast<int>(tracks);
    if (division & 0x8000u) {
        // Time code: frames per second (as a negative byte) times ticks per frame.
        const int fps = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
        const int perFrame = static_cast<int>(division & 0xFFu);
        if (fps <= 0 || perFrame == 0) return std::nullopt;
        info.timecode = true;
        info.ticksPerQuarter = fps * perFrame;
    } else {
        info.ticksPerQuarter = static_cast<int>(division);
    }

    Scan scan;
    std::uint32_t found = 0;
    while (found < tracks) {
        if (in.remaining() < 8) return std::nullopt;  // fewer tracks than the header promises
        const bool isTrack = in.tag("MTrk");
        in.skip(4);
        std::uint32_t length = 0;
        in.u32(length);
        if (in.remaining() < length) return std::nullopt;
        auto chunk = in.take(length);
        if (!isTrack) continue;  // other chunk types are skipped, as the format asks
        if (!scanTrack(chunk, scan)) return std::nullopt;
        ++found;
    }

    // Tracks play side by side: merge them by time, earlier tracks first
    // within a tick, as a sequencer sends them.
    std::stable_sort(scan.events.begin(), scan.events.end(),
                     [](const ChannelEvent& a, const ChannelEvent& b) { return a.tick < b.tick; });
    std::array<int, 16> bank{};
    std::array<int, 16> program{};
    std::array<bool, 16> started{};
    std::array<MidiPreset, 16> startPreset{};
    auto current = [&](int channel) {
        return MidiPreset{channel == kPercussionChannel ? kPercussionBank : bank[channel], program[channel]};
    };
    auto note = [&](MidiPreset preset) {
        if (std::find(info.presets.begin(), info.presets.end(), preset) == info.presets.end())
            info.presets.push_back(preset);
    };
    for (const ChannelEvent& e : scan.events) {
        switch (e.kind) {
        case ChannelEvent::Bank:
            bank[e.channel] = e.value;
            break;
        case ChannelEvent::Program:
            program[e.channel] = e.value;
            break;
        case ChannelEvent::Note:
            if (!started[e.channel]) {
                started[e.channel] = true;
                startPreset[e.channel] = current(e.channel);
            }
            note(current(e.channel));
            break;
        }
    }
    for (int channel = 0; channel < 16; ++channel) {
        if (started[channel]) info.startPresets.push_back({channel, startPreset[channel]});
    }

    std::stable_sort(scan.tempos.begin(), scan.tempos.end(),
                     [](const MidiTempo& a, const MidiTempo& b) { return a.tick < b.tick; });
    if (scan.tempos.empty() || scan.tempos.front().tick != 0) scan.tempos.insert(scan.tempos.begin(), MidiTempo{});
    info.lengthTicks = scan.lengthTicks;
    info.firstNoteTick = std::max<std::int64_t>(scan.firstNoteTick, 0);
    info.lastNoteOffTick = scan.lastNoteOffTick;
    info.noteCount = scan.noteCount;
    info.tempos = std::move(scan.tempos);
    info.lengthSeconds = info.secondsAt(info.lengthTicks);
    return info;
}

}  // namespace vantel::sound
