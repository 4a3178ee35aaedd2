// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes what the engine does as JSON Lines, one object per event, in the
// order it happens, so that the rules can be checked by an independent
// program.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "game/game_observer.h"

namespace vantel {

class Table;
struct MatchPlay;

class TraceWriter : public GameObserver {
public:
    // Writes to `out` (not owned). `seed` is echoed in every match event.
    TraceWriter(std::FILE* out, uint64_t seed, const MatchPlay& match);
    ~TraceWriter() override;
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // The table whose streak the round events report.
    void attach(const Table& table) { table_ = &table; }
    // Writes out what is buffered; false when the file could not take it.
    bool flush();

    void onMatchStart() override;
    void onDeal(int round, const std::array<Hand, 5>& hands, int blocker) override;
    void onPlay(int seat, int slot, int card) override;
    void onJoker(int seat, int gap) override;
    void onForced(int seat, int slot, int card) override;
    void onPass(int seat, int count) override;
    void onDrop(int seat) override;
    void onLay(int seat, int slot, int card, int cell) override;
    void onOut(int seat, int place, int points) override;
    void onRoundEnd(int round) override;
    void onMatchEnd() override;

private:
    void begin(const char* ev);
    void field(const char* name, int64_t value);
    void fieldSeats(const char* name, const int32_t* values);  // values[1..4]
    void end();

    std::FILE* out_;
    uint64_t seed_;
    const MatchPlay& match_;
    const Table* table_ = nullptr;
    int matchNumber_ = 0;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace vantel
