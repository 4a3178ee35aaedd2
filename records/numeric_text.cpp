// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/numeric_text.h"

#include <limits>

namespace vantel {
namespace {

// Far beyond any 32-bit value, yet far from overflowing int64_t.
constexpr int64_t kSaturation = int64_t{1} << 40;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The rounded value of the text, saturated at +-kSaturation; false when the
// text is not a number.
bool parseRounded(std::string_view text, int64_t& result) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int64_t whole = 0;
    std::size_t pos = 0;
    std::size_t digits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos, ++digits) {
        whole = whole * 10 + (text[pos] - '0');
        if (whole > kSaturation) whole = kSaturation;
    }
    // Rounding needs only the first fraction digit and whether any later
    // one is non-zero.
    int firstFraction = 0;
    bool restNonZero = false;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        const std::size_t fractionStart = pos;
        for (; pos < text.size() && isDigit(text[pos]); ++pos, ++digits) {
            if (pos == fractionStart) {
                firstFraction = text[pos] - '0';
            } else if (text[pos] != '0') {
                restNonZero = true;
            }
        }
    }
    if (digits == 0 || pos != text.size()) return false;
    const bool roundUp = firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 == 1));
    if (roundUp && whole < kSaturation) ++whole;
    result = negative ? -whole : whole;
    return true;
}

NumberText convert(std::string_view text, int64_t low, int64_t high) {
    int64_t value = 0;
    if (!parseRounded(text, value)) return {NumberStatus::NotNumeric, 0};
    if (value < low || value > high) return {NumberStatus::OutOfRange, 0};
    return {NumberStatus::Ok, static_cast<int32_t>(value)};
}

}  // namespace

NumberText toInt16(std::string_view text) {
    return convert(text, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
}

NumberText toInt32(std::string_view text) {
    return convert(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

}  // namespace vantel
