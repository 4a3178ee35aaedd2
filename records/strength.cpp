// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/strength.h"

namespace vantel {

std::string_view strengthName(Strength strength) {
    switch (strength) {
        case Strength::Easy: return "やさしい";
        case Strength::Normal: return "ふつう";
        case Strength::Hard: return "むずかしい";
    }
    return "ふつう";
}

std::string_view strengthValue(Strength strength) {
    switch (strength) {
        case Strength::Easy: return "1";
        case Strength::Normal: return "2";
        case Strength::Hard: return "3";
    }
    return "2";
}

std::optional<Strength> strengthFromValue(std::string_view text) {
    if (text == "1") return Strength::Easy;
    if (text == "2") return Strength::Normal;
    if (text == "3") return Strength::Hard;
    return std::nullopt;
}

}  // namespace vantel
