// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Numbers stored as text in the settings file.
//
// A number is decimal text: optional spaces, an optional sign, digits with
// at most one decimal point, optional spaces ("12", " -7 ", "+3", "12.5",
// ".5"). A fraction is rounded to the nearest integer, halves to the even
// neighbour ("12.5" gives 12, "13.5" gives 14), the rounding the game's
// integer conversions have always used. Anything else (empty text, letters,
// exponents, hexadecimal, digit grouping) is not a number.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantel {

enum class NumberStatus {
    Ok,
    NotNumeric,
    OutOfRange,  // a number, but it does not fit the integer type asked for
};

struct NumberText {
    NumberStatus status = NumberStatus::NotNumeric;
    int32_t value = 0;  // valid when status is Ok
};

// The text as a 16-bit integer (-32768..32767).
NumberText toInt16(std::string_view text);

// The text as a 32-bit integer.
NumberText toInt32(std::string_view text);

}  // namespace vantel
