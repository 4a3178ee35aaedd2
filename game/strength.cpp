// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/strength.h"

namespace vantel {

namespace {

struct Named {
    Strength strength;
    std::string_view name;
    std::string_view value;
};

constexpr Named kStrengths[] = {
    {Strength::Easy, "やさしい", "1"},
    {Strength::Normal, "ふつう", "2"},
    {Strength::Hard, "むずかしい", "3"},
};

const Named& named(Strength strength) {
    for (const Named& n : kStrengths) {
        if (n.strength == strength) return n;
    }
    return kStrengths[1];
}

}  // namespace

std::string_view strengthName(Strength strength) { return named(strength).name; }

std::string_view strengthValue(Strength strength) { return named(strength).value; }

std::optional<Strength> strengthFromValue(std::string_view text) {
    for (const Named& n : kStrengths) {
        if (n.value == text) return n.strength;
    }
    return std::nullopt;
}

}  // namespace vantel
