// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Properties every profile file must keep, whatever its bytes: shared by the
// malformed-file test and the fuzz target.
//
// - A read gives the fallback or clean UTF-8 (no NUL, well-formed) whose
//   CP932 form fits the buffer less one byte.
// - A write that is accepted reads back as written, and changes no other
//   key's value.
#pragma once

#include "tests/platform/utf8_check.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/profile/cp932.h"
#include "platform/profile/profile.h"

namespace vantel::testing {

struct ProbeKey {
    const char* section;
    const char* key;
};

// Distinct names, plain and double-byte, some of which the fuzzer's
// dictionary and the malformed files contain.
inline constexpr std::array<ProbeKey, 8> kProbeKeys = {{
    {"HiScore", "Score"},
    {"HiScore", "Player"},
    {"Lank1", "Name"},
    {"A", "K"},
    {"A", "Other"},
    {"名前", "値"},
    {"\xE2\x80\x90", "\xE3\x82\xA2"},  // ‐ and ア
    {"Active", "Ocx_Flg"},
}};

inline constexpr std::array<std::size_t, 7> kProbeBuffers = {0, 1, 2, 3, 10, 25, 255};

inline constexpr std::array<const char*, 5> kWriteValues = {
    "100", "あやや", "～①", "a b", "x",
};

// Checks the reads of every probe key in every buffer size, then the write
// picked by `selector`. Returns what went wrong, or an empty text.
inline std::string checkProfileInvariants(std::string_view file, unsigned selector) {
    constexpr std::string_view kFallback = "\x01<fallback>";
    for (const ProbeKey& probe : kProbeKeys) {
        for (std::size_t buffer : kProbeBuffers) {
            const std::string value =
                profile::readStringFromText(file, probe.section, probe.key, kFallback, buffer);
            if (value == kFallback) continue;
            if (value.empty()) return std::string("empty value instead of the fallback: ") + probe.key;
            if (!isCleanUtf8(value)) return std::string("not clean UTF-8: ") + probe.key;
            if (cp932::fromUtf8(value).size() + 1 > buffer) {
                return std::string("value longer than the buffer: ") + probe.key;
            }
        }
    }

    const ProbeKey& target = kProbeKeys[selector % kProbeKeys.size()];
    const std::string_view value = kWriteValues[(selector / kProbeKeys.size()) % kWriteValues.size()];
    std::array<std::string, kProbeKeys.size()> before;
    for (std::size_t i = 0; i < kProbeKeys.size(); ++i) {
        before[i] = profile::readStringFromText(file, kProbeKeys[i].section, kProbeKeys[i].key,
                                                kFallback, 255);
    }
    const auto written = profile::writeStringToText(file, target.section, target.key, value);
    if (!written) return "a valid write was refused";
    const std::string readBack =
        profile::readStringFromText(*written, target.section, target.key, kFallback, 255);
    if (readBack != value) return "the written value does not read back: " + readBack;
    for (std::size_t i = 0; i < kProbeKeys.size(); ++i) {
        if (&kProbeKeys[i] == &target) continue;
        const std::string after = profile::readStringFromText(*written, kProbeKeys[i].section,
                                                              kProbeKeys[i].key, kFallback, 255);
        if (after != before[i]) return std::string("a write changed another key: ") + kProbeKeys[i].key;
    }
    return {};
}

}  // namespace vantel::testing
