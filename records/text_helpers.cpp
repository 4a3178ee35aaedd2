// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/text_helpers.h"

#include <climits>

#include "platform/profile/cp932.h"

namespace vantel {

int ansiByteLength(std::string_view text) {
    const std::size_t length = cp932::fromUtf8(text).size();
    return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

std::string breakAfterFullStop(std::string_view text) {
    constexpr std::string_view kFullStop = "。";
    const std::size_t at = text.find(kFullStop);
    if (at == std::string_view::npos) return std::string(text);
    const std::size_t split = at + kFullStop.size();
    std::string out(text.substr(0, split));
    out += "\r\n";
    out += text.substr(split);
    return out;
}

}  // namespace vantel
