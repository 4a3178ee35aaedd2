// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where a follower of one seat gets its events and sends the seat's moves:
// the local table in this process, or a table held elsewhere whose events
// arrive by themselves. The follower asks for the next step only once it
// has shown the last; a source that is told its events (a remote table)
// says so through the arrival handler instead.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "game/match_play.h"
#include "game/random.h"
#include "game/round_state.h"
#include "game/seat_view.h"
#include "game/search/knowledge.h"
#include "game/search/move_search.h"
#include "game/table.h"
#include "game/table_event.h"
#include "game/user_model.h"

namespace vantel {

class GameObserver;

class SeatSource {
public:
    virtual ~SeatSource() = default;

    virtual int seat() const = 0;
    // Every event after `after` the seat may see, in order.
    virtual std::vector<TableEvent> eventsAfter(uint64_t after) = 0;
    // Asks for the next step. False when nothing more happens until the
    // seat moves or a command arrives (or, for a table held elsewhere,
    // until its next events arrive).
    virtual bool advance() = 0;
    // Whether the seat's move is awaited.
    virtual bool awaitsMove() const = 0;
    // Sends the seat's move; the reason when it was refused.
    virtual std::optional<Refusal> send(const TurnMove& move) = 0;
    // "ゲーム開始" and the retry question's Yes.
    virtual bool startMatch() = 0;
    // "ゲームスキップ": only where the table allows it.
    virtual bool skip() { return false; }
    // What the seat knows at its own turn, for a hint.
    virtual std::optional<SeatKnowledge> knowledge() const = 0;
    // The win streak that the one-second timer blinks.
    struct Streak {
        bool roundOver = true;
        int seat = 0;
        int count = 0;
    };
    virtual Streak streak() const = 0;
    // The whole round, where the source holds it (the local table), for
    // laying the pictures out again; nothing for a table held elsewhere.
    virtual const RoundState* round() const { return nullptr; }
    // The seat's whole view, when the events after `presented` are no
    // longer to be had (a table held elsewhere that sent a snapshot): the
    // follower shows it at once and goes on from its last event.
    virtual std::optional<SeatView> snapshotAfter(uint64_t /*presented*/) const { return std::nullopt; }

    // Called when events arrive by themselves.
    void setArrivalHandler(std::function<void()> handler) { arrival_ = std::move(handler); }

protected:
    void arrived() {
        if (arrival_) arrival_();
    }

private:
    std::function<void()> arrival_;
};

// Today's game: one person at seat 1 and three computers at a table in this
// process, which moves only when asked.
class LocalTableSource final : public SeatSource {
public:
    // `match` and `observer` (the record keeper) must outlive the source;
    // `random`, when given (tests), replaces the table's generator.
    LocalTableSource(MatchPlay& match, GameObserver* observer, const MoveSearch::Settings& search,
                     Random* random = nullptr);

    int seat() const override { return 1; }
    std::vector<TableEvent> eventsAfter(uint64_t after) override { return table_.eventsFor(seat(), after); }
    bool advance() override { return table_.step(); }
    bool awaitsMove() const override { return table_.awaitedSeat() == seat(); }
    std::optional<Refusal> send(const TurnMove& move) override { return table_.submit(seat(), move); }
    bool startMatch() override { return table_.startMatch(); }
    bool skip() override { return table_.skip(); }
    std::optional<SeatKnowledge> knowledge() const override;
    Streak streak() const override;
    const RoundState* round() const override { return &table_.round(); }

    Table& table() { return table_; }
    const Table& table() const { return table_; }

private:
    Table table_;
};

}  // namespace vantel
