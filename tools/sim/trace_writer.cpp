// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/sim/trace_writer.h"

#include <charconv>

#include "game/match_play.h"
#include "game/table.h"

namespace vantel {

namespace {
constexpr size_t kFlushAt = 1 << 16;
}

TraceWriter::TraceWriter(std::FILE* out, uint64_t seed, const MatchPlay& match)
    : out_(out), seed_(seed), match_(match) {
    buffer_.reserve(kFlushAt + 4096);
}

TraceWriter::~TraceWriter() { flush(); }

bool TraceWriter::flush() {
    if (!buffer_.empty() && out_ != nullptr) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) failed_ = true;
        buffer_.clear();
    }
    if (out_ != nullptr && std::fflush(out_) != 0) failed_ = true;
    return !failed_;
}

void TraceWriter::begin(const char* ev) {
    buffer_ += "{\"ev\":\"";
    buffer_ += ev;
    buffer_ += '"';
}

void TraceWriter::field(const char* name, int64_t value) {
    buffer_ += ",\"";
    buffer_ += name;
    buffer_ += "\":";
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
}

void TraceWriter::fieldSeats(const char* name, const int32_t* values) {
    buffer_ += ",\"";
    buffer_ += name;
    buffer_ += "\":[";
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat > 1) buffer_ += ',';
        buffer_ += std::to_string(values[seat]);
    }
    buffer_ += ']';
}

void TraceWriter::end() {
    buffer_ += "}\n";
    if (buffer_.size() >= kFlushAt) flush();
}

void TraceWriter::onMatchStart() {
    ++matchNumber_;
    begin("match");
    field("match", matchNumber_);
    buffer_ += ",\"seed\":";
    buffer_ += std::to_string(seed_);
    end();
}

void TraceWriter::onDeal(int round, const std::array<Hand, 5>& hands, int blocker) {
    begin("deal");
    field("round", round);
    buffer_ += ",\"hands\":[";
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat > 1) buffer_ += ',';
        buffer_ += '[';
        for (int slot = 1; slot <= kJokerSlot; ++slot) {
            if (slot > 1) buffer_ += ',';
            buffer_ += std::to_string(hands[seat][slot]);
        }
        buffer_ += ']';
    }
    buffer_ += ']';
    field("blocker", blocker);
    end();
}

void TraceWriter::onPlay(int seat, int slot, int card) {
    begin("play");
    field("seat", seat);
    field("slot", slot);
    field("card", card);
    end();
}

void TraceWriter::onJoker(int seat, int gap) {
    begin("joker");
    field("seat", seat);
    field("gap", gap);
    end();
}

void TraceWriter::onForced(int seat, int slot, int card) {
    begin("forced");
    field("seat", seat);
    field("slot", slot);
    field("card", card);
    end();
}

void TraceWriter::onPass(int seat, int count) {
    begin("pass");
    field("seat", seat);
    field("count", count);
    end();
}

void TraceWriter::onDrop(int seat) {
    begin("drop");
    field("seat", seat);
    end();
}

void TraceWriter::onLay(int seat, int slot, int card, int cell) {
    begin("lay");
    field("seat", seat);
    field("slot", slot);
    field("card", card);
    field("cell", cell);
    end();
}

void TraceWriter::onOut(int seat, int place, int points) {
    begin("out");
    field("seat", seat);
    field("place", place);
    field("points", points);
    end();
}

void TraceWriter::onRoundEnd(int round) {
    begin("round_end");
    field("round", round);
    fieldSeats("points", match_.roundPoints.data());
    fieldSeats("totals", match_.matchTotal.data());
    field("streak_seat", table_ ? table_->round().streakSeat : 0);
    field("streak", table_ ? table_->round().streakCount : 0);
    end();
}

void TraceWriter::onMatchEnd() {
    begin("match_end");
    fieldSeats("totals", match_.matchTotal.data());
    fieldSeats("places", match_.finalPlace.data());
    end();
}

}  // namespace vantel
