// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The match being played: who sits at each seat (name, sex, the member and
// its lines), the round's points, the match totals and places, the round
// number and the strength the match was started at. The table plays on it;
// the settings file fills the seats and lines (see records/match_state.h).
//
// Arrays keep the game's 1-based numbering (seats 1..4, lines 1..9);
// element 0 is unused. Text is UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/strength.h"

namespace vantel {

constexpr int kSeats = 4;
constexpr int kLinesPerSet = 9;

struct MatchPlay {
    // The two line sets of the members ([Serifu]); a seat speaks the set of
    // its sex.
    std::array<std::string, kLinesPerSet + 1> femaleLines{};
    std::array<std::string, kLinesPerSet + 1> maleLines{};

    // Per-seat match state (seat 1 is the user at the local table)
    std::array<std::string, kSeats + 1> seatName{};
    std::array<int16_t, kSeats + 1> seatSex{};
    std::array<int16_t, kSeats + 1> seatMember{};
    std::array<std::array<std::string, 3>, kSeats + 1> seatImage{};
    std::array<int32_t, kSeats + 1> roundPoints{};
    std::array<int32_t, kSeats + 1> matchTotal{};
    std::array<int32_t, kSeats + 1> finalPlace{};
    int32_t roundNumber = 0;
    // The strength chosen for the next match ([Settei] Tuyosa).
    Strength strength = kDefaultStrength;
    // The strength of the match being played, fixed when it starts: the
    // setting may be read again from the file in the middle of a match.
    Strength matchStrength = kDefaultStrength;
};

}  // namespace vantel
