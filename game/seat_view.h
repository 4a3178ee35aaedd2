// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table as one seat sees it: its own hand, the cards on the table, and
// of every other seat only what was laid, passed and scored in front of it.
// A follower keeps one up to date by applying its stream; the table makes
// one for any seat at any moment (a snapshot), so that a follower that
// missed too much starts again from there.
#pragma once

#include <array>
#include <cstdint>

#include "game/round_state.h"
#include "game/table_event.h"

namespace vantel {

enum class ViewPhase : uint8_t {
    Waiting,    // no match yet, or between matches
    Dealing,    // a round was started; its deal is being laid out
    Playing,    // the turns of a round
    RoundOver,  // the round's end, its totals and results
    MatchOver,  // the match's final places are known
};

struct SeatView {
    // 1..4, or 0 for a spectator, who sees only what is public.
    int seat = 0;
    // The last event applied.
    uint64_t seq = 0;
    ViewPhase phase = ViewPhase::Waiting;
    int match = 0;
    int round = 0;
    // The seat's own cards in ascending order from slot 1 (the order a person
    // holds them), the joker in slot 14; empty for a spectator.
    Hand hand{};
    TableGrid table{};
    // The card whose cell the joker fills on the table, or 0.
    int jokerGap = 0;
    // Per seat (index 1..4): cards held, passes, place in the round (0 while
    // in), whether it dropped, the round's points, the match totals and the
    // places by them.
    std::array<int32_t, 5> cardsLeft{};
    std::array<int32_t, 5> passCount{};
    std::array<int32_t, 5> place{};
    std::array<bool, 5> dropped{};
    std::array<int32_t, 5> roundPoints{};
    std::array<int32_t, 5> totals{};
    std::array<int32_t, 5> places{};
    int roundWinner = 0;
    int streakSeat = 0;
    int streakCount = 0;
    // Whose turn it is (0: nobody's), and, when it is this seat's own turn
    // as a person, the moves it may make.
    int turnSeat = 0;
    bool myTurn = false;
    uint64_t moveCards = 0;
    int32_t moveFlags = 0;

    // Takes one event of this seat's stream; events for other seats are
    // ignored.
    void apply(const TableEvent& event);

    bool holdsJoker() const { return hand[kJokerSlot] != 0; }
    friend bool operator==(const SeatView&, const SeatView&) = default;
};

}  // namespace vantel
