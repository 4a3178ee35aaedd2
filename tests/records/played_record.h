// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A record as a player's would be after `matches` matches: every strength
// and friends' tables, every place, rounds with passes, drops and hints, and left matches.
// The same `matches` always gives the same record.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "records/play_record.h"

namespace vantel::test {

inline PlayRecord playedRecord(int matches) {
    PlayRecord record;
    std::uint32_t seed = 20260101;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const char* const names[] = {"あやや", "ゆうこ", "はるか", "みさこ", "たまき"};
    for (int i = 0; i < matches; ++i) {
        const std::uint32_t pick = next(4);
        const RecordColumn column = pick == 3 ? kFriendsColumn : RecordColumn(kStrengths[pick]);
        for (int round = 0; round < 10; ++round) {
            addRound(record, column,
                     {next(4) == 0, std::int64_t(next(4)), std::int64_t(next(8) == 0), std::int64_t(next(3))});
        }
        if (next(12) == 0) addLeftMatch(record, column, {false, 1, 0, 0});
        RecentMatch m;
        char when[32];
        std::snprintf(when, sizeof when, "2026-03-%02dT20:%02d:00+09:00", 1 + i % 28, i % 60);
        m.playedAt = when;
        m.withFriends = column.friends;
        m.strength = column.strength;
        m.place = 1 + static_cast<int>(next(4));
        m.total = static_cast<std::int32_t>(next(4000)) - 800 - 600 * (m.place - 1);
        for (int k = 0; k < 3; ++k) m.opponents[static_cast<size_t>(k)] = names[(i + k) % 5];
        addPlayedMatch(record, m);
    }
    return record;
}

}  // namespace vantel::test
