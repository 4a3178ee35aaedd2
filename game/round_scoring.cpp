// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/round_scoring.h"

#include <algorithm>
#include <climits>

namespace vantel {

std::optional<int32_t> roundPointsFor(int kbn, int placeCount, int dropCount, int othersCards) {
    if (kbn == 1) {
        switch (placeCount) {
            case 1: return 1000 + 10 * othersCards;
            case 2: return 500 + 10 * othersCards;
            case 3: return 300 + 10 * othersCards;
            case 4: return 50;
            default: return std::nullopt;
        }
    }
    switch (dropCount) {
        case 1: return 10;
        case 2: return 200;
        case 3: return 400;
        default: return std::nullopt;
    }
}

int dropPlace(int dropCount) { return 5 - dropCount; }

std::optional<std::string> streakNotice(int streakCount) {
    switch (streakCount) {
        case 3: return std::string("３連勝です！\r\n私の得点が２倍になります。．．．");
        case 5: return std::string("５連勝です！\r\n他の人の得点が半分になります。．．．");
        case 10:
            return std::string(
                "１０戦全勝です！あなたはプロです！\r\n他の人の得点が－９９９９９点になります。．．．");
        default: return std::nullopt;
    }
}

void applyStreakBonus(int streakCount, int winner, std::array<int32_t, kSeats + 1>& totals) {
    for (int seat = 1; seat <= kSeats; ++seat) {
        int32_t& total = totals[seat];
        if (streakCount == 3 && seat == winner) {
            // Saturate rather than wrap; play never comes near the limit.
            const int64_t doubled = 2 * static_cast<int64_t>(total);
            total = static_cast<int32_t>(std::clamp<int64_t>(doubled, INT32_MIN, INT32_MAX));
        } else if (streakCount == 5 && seat != winner) {
            // Floor division: -3 becomes -2, 1235 becomes 617.
            total = total / 2 - ((total % 2 != 0 && total < 0) ? 1 : 0);
        } else if (streakCount == 10 && seat != winner) {
            total = -99999;
        }
    }
}

std::optional<std::string_view> passStars(int passCount) {
    switch (passCount) {
        case 1: return "★";
        case 2: return "★★";
        case 3: return "★★★";
        default: return std::nullopt;
    }
}

std::array<int32_t, kSeats + 1> placesByTotal(const std::array<int32_t, kSeats + 1>& totals) {
    std::array<int32_t, kSeats + 1> places{};
    for (int i = 1; i <= kSeats; ++i) {
        places[i] = 1;
        for (int j = 1; j <= kSeats; ++j) {
            if (totals[j] > totals[i]) ++places[i];
        }
    }
    return places;
}

}  // namespace vantel
