// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Dialogue lines: which line a seat speaks at each moment of a round.
#pragma once

#include <string>
#include <string_view>

#include "game/match_play.h"

namespace vantel {

// Factory texts of the two editable line sets (index 1..9; 0 unused).
extern const std::array<std::string_view, kLinesPerSet + 1> kDefaultFemaleLines;
extern const std::array<std::string_view, kLinesPerSet + 1> kDefaultMaleLines;

inline constexpr std::string_view kPassLine = "パスします・・・";
inline constexpr std::string_view kHeldBackLine = "せっかく、止めていたのに・・・";

// What a seat speaks (SERIFU_RTN's choice of text): its name, CR LF, then
//   kbn 1: line `juni` of its set (the place just taken, 1..4),
//   kbn 2: line 5 of its set (dropping out),
//   kbn 3: the fixed pass line, kbn 4: the fixed holding-back line;
// any other kbn gives an empty line. seatSex 1 picks the female set.
std::string serifuText(const MatchPlay& state, int seat, int kbn, int juni);

}  // namespace vantel
