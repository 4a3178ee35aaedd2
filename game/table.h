// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A table of four seats, each held by a person or a computer. The table
// plays the computers' turns itself and stops when a person is to move; a
// person's move comes from outside (a window, a remote client, a test, the
// simulator's policy) and is checked before anything changes.
//
// The table never blocks: whoever drives it asks for one step at a time
// (step()) and performs the events that step adds at its own pace: a window
// flies the cards and waits the game's pauses, a server sends them on at
// once. Each step is one thing that happens: a deal, the pause before a
// turn, a turn, a round's end.
//
// Everything that happens is a numbered event (table_event.h), public or
// private to one seat, so each seat is told only what it may see. The
// omniscient story (every hand, the blocker) goes to a GameObserver only,
// for the simulator's trace and the tests.
//
// A table is its setup and its inputs: replaying the recorded inputs of a
// table (inputs()) on a new table with the same setup rebuilds the same
// state and the same events.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/match_play.h"
#include "game/random.h"
#include "game/round_state.h"
#include "game/search/knowledge.h"
#include "game/search/move_search.h"
#include "game/seat_view.h"
#include "game/strategy.h"
#include "game/table_event.h"
#include "game/user_model.h"

namespace vantel {

class GameObserver;

enum class SeatKind : uint8_t { Person, Computer };

enum class TableKind : uint8_t {
    // One person at seat 1 against three computers: the game as it always
    // was. The strength decides who blocks and who searches.
    Local,
    // Any mix of people and computers: nobody blocks; the computers play
    // the general strategy, or the search player when asked for.
    Friends,
};

enum class ComputerPlay : uint8_t { General, Search };

struct TableSetup {
    TableKind kind = TableKind::Local;
    // Index 1..4.
    std::array<SeatKind, kSeats + 1> seats{SeatKind::Computer, SeatKind::Person, SeatKind::Computer,
                                           SeatKind::Computer, SeatKind::Computer};
    // At a friends' table: how the computers play.
    ComputerPlay computers = ComputerPlay::General;
    // The deals and every other draw. With no seed the local game reseeds
    // from the clock at every deal and skip, and cannot be replayed.
    std::optional<uint64_t> seed;
    // How the searching computers think.
    MoveSearch::Settings search;
    // Whether anybody follows a seat or will replay the table. Without
    // followers (the simulator, which reads only the omniscient story) no
    // event and no input is kept and no seat's view is worked out.
    bool followed = true;

    int people() const;
    // The local table of one person at seat 1.
    static TableSetup local(std::optional<uint64_t> seed = std::nullopt);
};

// Why a move was refused; nothing changed at the table.
enum class Refusal : uint8_t {
    NotYourTurn,     // no move of that seat is awaited now
    NotAPerson,      // the seat is a computer's
    NoSuchCard,      // the card is not in the seat's hand
    CardNotPlayable, // the card cannot be laid now, not even with the joker
    NoPassLeft,      // three passes are used: only DROP remains
    DropNotAllowed,  // DROP only after the third pass
    NotNow,          // a command that does not fit the table's state
};

// A sentence the caller can show a player.
std::string_view refusalText(Refusal refusal);
// A short English code for the protocol and logs ("not_your_turn", ...).
std::string_view refusalCode(Refusal refusal);

// What a table was told, in order: enough to play it again.
struct TableInput {
    enum Kind : uint8_t {
        StartMatch,    // a match was started
        Move,          // a person's move (seat, move)
        Skip,          // the skip command
        SearchMove,    // a searching computer's move when its search ran by time
    };
    Kind kind = StartMatch;
    uint8_t seat = 0;
    TurnMove move;
    // The table's last event when the input was taken.
    uint64_t atSeq = 0;

    friend bool operator==(const TableInput&, const TableInput&) = default;
};

class Table {
public:
    // `match` holds the seats' names and lines and receives the totals and
    // places; it must outlive the table. Without one the table keeps its own.
    // `random`, when given, replaces the table's own generator (not owned).
    explicit Table(const TableSetup& setup, MatchPlay* match = nullptr, GameObserver* observer = nullptr,
                   Random* random = nullptr);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const TableSetup& setup() const { return setup_; }
    // How searching computers think; replaces the setup's.
    void configureSearch(const MoveSearch::Settings& settings);
    const MoveSearch& search() const { return *search_; }

    // ---- driving ------------------------------------------------------------
    // Starts a match (none running, or the last one closed).
    bool startMatch();
    // Performs the next step; false when nothing can happen until a move or
    // a command arrives (a person to move, no match running).
    bool step();
    // The seat whose move is awaited, or 0.
    int awaitedSeat() const;
    // Takes a person's move. Refused with a reason when it is not that
    // seat's turn or the move is not allowed; then nothing changes.
    std::optional<Refusal> submit(int seat, const TurnMove& move);
    // The moves the seat may make now (empty when it is not awaited).
    std::vector<TurnMove> legalMovesFor(int seat) const;
    // "ゲームスキップ" at the local table, once the person is out: the
    // computers still in are scored by the cards they hold now.
    bool canSkip() const;
    bool skip();
    // The move a computer would make for a person's seat (a lost
    // connection, a turn timer run out): the general strategy's.
    TurnMove standInMove(int seat) const;

    // ---- what the seats see ---------------------------------------------------
    uint64_t lastSeq() const { return nextSeq_ - 1; }
    // The oldest event still kept (older ones are summed up by a snapshot).
    uint64_t firstKeptSeq() const;
    // Every kept event after `after` that `viewer` (1..4, 0 for a
    // spectator) may see. Empty with `complete` false when events after
    // `after` are no longer kept: take a snapshot instead.
    std::vector<TableEvent> eventsFor(int viewer, uint64_t after, bool* complete = nullptr) const;
    // Everything `viewer` sees now.
    SeatView snapshot(int viewer) const;
    // How many events are kept for eventsFor (at least 64).
    void setEventsKept(size_t count);

    // What the seat knows at its own turn, for a hint or a search.
    std::optional<SeatKnowledge> knowledgeFor(int seat) const;

    // ---- the whole truth, for the owner of the table ---------------------------
    const std::vector<TableInput>& inputs() const { return inputs_; }
    const RoundState& round() const { return s_; }
    RoundState& roundState() { return s_; }
    const MatchPlay& match() const { return *match_; }
    bool matchRunning() const { return next_ != Next::Idle; }
    // Counts the awaited person's turns: a hint worked out for one turn is
    // for no other.
    int turnSerial() const { return turnSerial_; }

    // Plays the table again from its inputs, as recorded by another table
    // of the same setup. False when the inputs do not fit.
    bool replay(const std::vector<TableInput>& inputs);

    // For tests that build a round by hand in roundState(): the turns go on
    // from it (every seat's view is read again from the round), and batle
    // plays exactly one turn (BATLE).
    void resumeTurns();
    void batle();
    // What `viewer` may see, read from the round itself rather than from
    // the events: the seat's own hand, the table, every seat's cards, passes,
    // points and totals.
    SeatView viewFromRound(int viewer) const;

private:
    enum class Next : uint8_t { Idle, Deal, TurnPause, Turn, Awaiting, RoundEnd, StreakBonus, MatchEnd, MatchClose };
    struct Stage;
    template <typename F>
    void withTurns(F&& play);

    bool isPerson(int seat) const { return setup_.seats[seat] == SeatKind::Person; }
    SeatStrategy strategyOf(int seat) const;
    void announce(TableEvent event);
    void record(TableInput::Kind kind, int seat, const TurnMove& move);

    void dealRound();
    void deal();
    void laySevens();
    void turnPause();
    void turn();
    void openTurn(int seat);
    void afterMove();
    void roundEnd();
    void matchEnd();
    void matchClose();
    void streakBonus();
    void roundResults();
    void announceTotals();
    void thinkAhead();
    Decision searchDecision(int seat);
    uint64_t moment(int seat) const;
    SeatKnowledge seatKnowledge(const RoundState& at, int seat) const;

    TableSetup setup_;
    MatchPlay ownMatch_;
    MatchPlay* match_;
    GameObserver* observer_;
    Random ownRandom_;
    Random* random_;
    std::unique_ptr<MoveSearch> search_;
    RoundState s_;
    RoundHistory history_;
    Next next_ = Next::Idle;
    int awaited_ = 0;
    int matchNumber_ = 0;
    uint32_t roundSerial_ = 0;
    int turnSerial_ = 0;
    // The points the last seat scored (none: they stay as they were).
    std::optional<int32_t> scored_;
    // What each seat sees (0: a spectator), kept up to date event by event.
    std::array<SeatView, kSeats + 1> views_{};

    std::deque<TableEvent> events_;
    size_t eventsKept_ = 4096;
    uint64_t nextSeq_ = 1;
    std::vector<TableInput> inputs_;
    // While playing a record again: the searching computers' moves by time.
    std::deque<TurnMove> recordedSearch_;
};

}  // namespace vantel
