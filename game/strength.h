// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How strongly the three computers play. ふつう is the game as it has always
// been and stays the default; やさしい takes the watching of the user's hand
// away, むずかしい adds two computers that think ahead.
#pragma once

#include <optional>
#include <string_view>

namespace vantel {

enum class Strength : int {
    Easy = 1,    // やさしい: every computer plays the general strategy
    Normal = 2,  // ふつう: one computer blocks the user, the others play the general strategy
    Hard = 3,    // むずかしい: one computer blocks, the other two search
};

inline constexpr Strength kDefaultStrength = Strength::Normal;

// Where the choice is kept in the settings file: [Settei] Tuyosa=1|2|3.
inline constexpr std::string_view kStrengthSection = "Settei";
inline constexpr std::string_view kStrengthKey = "Tuyosa";

// The name the menus and the record show: "やさしい", "ふつう", "むずかしい".
std::string_view strengthName(Strength strength);

// The settings value ("1", "2", "3") and back. Anything else (missing,
// other numbers, text) reads as nothing, and the caller takes the default.
std::string_view strengthValue(Strength strength);
std::optional<Strength> strengthFromValue(std::string_view text);

// A match at やさしい enters neither the best ten nor the high score, so the
// ranking compares matches against the same opponents.
constexpr bool entersRanking(Strength strength) { return strength != Strength::Easy; }

}  // namespace vantel
