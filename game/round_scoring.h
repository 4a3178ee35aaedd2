// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Points, streak bonuses and places of a match: the rules as pure functions.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "game/match_play.h"

namespace vantel {

// Points of a seat whose hand just emptied (KEISAN's table).
//   kbn 1: it went out with place `placeCount`; `othersCards` is the sum
//          of the cards the three other seats still hold.
//   kbn 2: it dropped out as the `dropCount`-th seat to drop.
// No value for any other combination: the seat's points stay as they were.
std::optional<int32_t> roundPointsFor(int kbn, int placeCount, int dropCount, int othersCards);

// The place shown for the `dropCount`-th seat to drop out (4, 3, 2).
int dropPlace(int dropCount);

// The two-line notice for a streak that just reached `streakCount` round
// wins in a row, or nothing when that count earns no bonus.
std::optional<std::string> streakNotice(int streakCount);

// Applies the bonus of a streak of `streakCount` by `winner` to the match
// totals: 3 doubles the winner's, 5 halves the others' (rounding toward
// minus infinity), 10 sets the others' to -99999.
void applyStreakBonus(int streakCount, int winner, std::array<int32_t, kSeats + 1>& totals);

// The pass stars shown beside a seat's name, or nothing for other counts.
std::optional<std::string_view> passStars(int passCount);

// Places by match total: 1 + the number of seats with a strictly greater
// total, so equal totals share the better place.
std::array<int32_t, kSeats + 1> placesByTotal(const std::array<int32_t, kSeats + 1>& totals);

}  // namespace vantel
