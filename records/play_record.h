// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The player's record: how the user's matches went at each strength of the
// local table and at friends' tables, and the last hundred matches one by
// one.
//
// The record changes only by events: a round that ended, a match that
// ended, a match that was left before its end. Each event adds its own
// figures to whatever the record holds, so two copies of the game that
// apply their events one after another to the file lose nothing of each
// other's (records/record_file.h).
//
// Counting rules:
// - A match counts as played once its tenth round is over; its place is
//   the user's place by match total (ties share the better place) and
//   place 1 is a win; places 2 to 4 are losses.
// - A match closed or started over before its end counts as left: neither a
//   win nor a loss. The rounds it finished count as rounds played, and the
//   passes, drops and hints of all its rounds (the unfinished one too)
//   count as used.
// - Streaks are of played matches only: a left match neither extends nor
//   breaks one. Each column keeps its own; the record as a whole keeps one
//   over every column in the order the matches were played (`overall`, the
//   one the 成績 window shows for all matches), and one over the local
//   table's three strengths only (`localOverall`).
// - A match at a friends' table (other people over the network, the user
//   at seat 1 of its own view) counts in a column of its own, 「友達と」,
//   by the same rules. It counts in the whole too, and in `overall`: a
//   match is a match, whoever sat at the other seats, and "all matches"
//   should mean all of them.
// - The list keeps the last kRecentMatches of each kind (the local table,
//   friends' tables), both in the order played; the window shows the last
//   kRecentMatches of it.
//
// Why the local table's part is kept apart: copies of the game from before
// friends' tables may share the file, and they take it for damaged unless
// its streak over all strengths and its list hold the local table's matches
// only (records/record_file.h). So `localOverall` and the local matches of
// the list are what such a copy reads as its whole record.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "records/match_state.h"
#include "records/settings.h"
#include "game/strength.h"

namespace vantel {

// How many matches the record keeps one by one; older ones leave the list
// but stay in the figures.
inline constexpr std::size_t kRecentMatches = 100;

// The record's file: Seiseki.json beside the settings file.
std::filesystem::path playRecordFile(const SettingsLocation& where);

struct Streaks {
    // Positive: that many played matches won in a row, up to the latest;
    // negative: that many lost in a row.
    std::int64_t current = 0;
    std::int64_t longestWins = 0;
    std::int64_t longestLosses = 0;

    std::int64_t currentWins() const { return current > 0 ? current : 0; }
    bool operator==(const Streaks&) const = default;
};

// The figures of one column (or, added up, of all).
struct StrengthFigures {
    std::int64_t played = 0;             // matches played to their end
    std::int64_t left = 0;               // matches left before their end
    std::array<std::int64_t, 5> places{};  // [1..4]: how often each place came; [1] are the wins
    std::int64_t rounds = 0;             // rounds played to their end
    std::int64_t roundsWon = 0;          // rounds the user finished first
    Streaks streaks;
    std::int64_t best = 0;               // best match total, when played > 0
    std::int64_t totalSum = 0;           // sum of the match totals, for the average
    std::int64_t passes = 0;
    std::int64_t drops = 0;
    std::int64_t hints = 0;

    std::int64_t won() const { return places[1]; }
    // Won over played, 0..1; nothing before the first match.
    std::optional<double> winRate() const;
    std::optional<double> averageTotal() const;
    std::optional<std::int64_t> bestTotal() const;
    bool operator==(const StrengthFigures&) const = default;
};

// A column of the record: the local table at one strength, or friends'
// tables. A strength converts to its column.
struct RecordColumn {
    constexpr RecordColumn(Strength s) : strength(s) {}
    static constexpr RecordColumn friendsTables() {
        RecordColumn c(kDefaultStrength);
        c.friends = true;
        return c;
    }

    bool friends = false;
    Strength strength = kDefaultStrength;  // at the local table only
};
inline constexpr RecordColumn kFriendsColumn = RecordColumn::friendsTables();

// One match of the list.
struct RecentMatch {
    std::string playedAt;  // local date and time, ISO 8601 with the offset
    // Played at a friends' table; `strength` then means nothing, and the
    // record keeps it as kDefaultStrength.
    bool withFriends = false;
    Strength strength = kDefaultStrength;
    int place = 1;
    std::int32_t total = 0;
    std::array<std::string, 3> opponents;  // the names of seats 2, 3 and 4

    RecordColumn column() const { return withFriends ? kFriendsColumn : RecordColumn(strength); }
    bool operator==(const RecentMatch&) const = default;
};

struct PlayRecord {
    // [1..3] by Strength's value.
    std::array<StrengthFigures, 4> byStrength{};
    // The matches at friends' tables.
    StrengthFigures friends;
    // Over every match.
    Streaks overall;
    // Over the matches at the local table.
    Streaks localOverall;
    // Oldest first, in the order played; at most kRecentMatches of each kind.
    std::deque<RecentMatch> recent;

    StrengthFigures& at(RecordColumn c) { return c.friends ? friends : byStrength[static_cast<int>(c.strength)]; }
    const StrengthFigures& at(RecordColumn c) const {
        return c.friends ? friends : byStrength[static_cast<int>(c.strength)];
    }
    // Every column added up; the streaks are `overall`.
    StrengthFigures all() const;
    // The three strengths added up; the streaks are `localOverall`.
    StrengthFigures localTable() const;
    bool operator==(const PlayRecord&) const = default;
};

inline constexpr std::array<Strength, 3> kStrengths = {Strength::Easy, Strength::Normal, Strength::Hard};

// What the user did in a round (or in the unfinished part of one).
struct RoundTally {
    bool won = false;  // the user went out first
    std::int64_t passes = 0;
    std::int64_t drops = 0;
    std::int64_t hints = 0;
};

// A round that reached its end.
void addRound(PlayRecord& record, RecordColumn column, const RoundTally& round);
// A match after its tenth round: its column, place and total.
void addPlayedMatch(PlayRecord& record, const RecentMatch& match);
// A match left before its end, with what was done in its unfinished round
// (a round left half-way does not count as played, nor as won).
void addLeftMatch(PlayRecord& record, RecordColumn column, const RoundTally& unfinished);

// Largest count a record may hold; anything above it is a damaged file.
inline constexpr std::int64_t kMaxCount = 1'000'000'000;

// What makes `record` impossible (a count out of range, places that do
// not add up to the matches, a streak longer than the wins, …); empty when
// it is a record the game could have written.
std::string recordProblem(const PlayRecord& record);

}  // namespace vantel
