// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/play_record.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace vantel {

std::filesystem::path playRecordFile(const SettingsLocation& where) {
    return where.file().parent_path() / "Seiseki.json";
}

std::optional<double> StrengthFigures::winRate() const {
    if (played <= 0) return std::nullopt;
    return static_cast<double>(won()) / static_cast<double>(played);
}

std::optional<double> StrengthFigures::averageTotal() const {
    if (played <= 0) return std::nullopt;
    return static_cast<double>(totalSum) / static_cast<double>(played);
}

std::optional<std::int64_t> StrengthFigures::bestTotal() const {
    if (played <= 0) return std::nullopt;
    return best;
}

namespace {

void extend(Streaks& s, bool won) {
    if (won) {
        s.current = s.current > 0 ? s.current + 1 : 1;
        s.longestWins = std::max(s.longestWins, s.current);
    } else {
        s.current = s.current < 0 ? s.current - 1 : -1;
        s.longestLosses = std::max(s.longestLosses, -s.current);
    }
}

void addUse(StrengthFigures& f, const RoundTally& t) {
    f.passes += t.passes;
    f.drops += t.drops;
    f.hints += t.hints;
}

}  // namespace

namespace {

StrengthFigures sum(std::initializer_list<const StrengthFigures*> columns, const Streaks& streaks) {
    StrengthFigures sum;
    for (const StrengthFigures* column : columns) {
        const StrengthFigures& f = *column;
        if (f.played > 0) sum.best = sum.played > 0 ? std::max(sum.best, f.best) : f.best;
        sum.played += f.played;
        sum.left += f.left;
        for (int place = 1; place <= 4; ++place) sum.places[place] += f.places[place];
        sum.rounds += f.rounds;
        sum.roundsWon += f.roundsWon;
        sum.totalSum += f.totalSum;
        sum.passes += f.passes;
        sum.drops += f.drops;
        sum.hints += f.hints;
    }
    sum.streaks = streaks;
    return sum;
}

}  // namespace

StrengthFigures PlayRecord::all() const {
    return sum({&at(Strength::Easy), &at(Strength::Normal), &at(Strength::Hard), &friends}, overall);
}

StrengthFigures PlayRecord::localTable() const {
    return sum({&at(Strength::Easy), &at(Strength::Normal), &at(Strength::Hard)}, localOverall);
}

void addRound(PlayRecord& record, RecordColumn column, const RoundTally& round) {
    StrengthFigures& f = record.at(column);
    f.rounds += 1;
    if (round.won) f.roundsWon += 1;
    addUse(f, round);
}

void addPlayedMatch(PlayRecord& record, const RecentMatch& match) {
    StrengthFigures& f = record.at(match.column());
    const int place = std::clamp(match.place, 1, 4);
    f.best = f.played > 0 ? std::max<std::int64_t>(f.best, match.total) : match.total;
    f.played += 1;
    f.places[place] += 1;
    f.totalSum += match.total;
    extend(f.streaks, place == 1);
    extend(record.overall, place == 1);
    if (!match.withFriends) extend(record.localOverall, place == 1);
    record.recent.push_back(match);
    record.recent.back().place = place;
    if (match.withFriends) record.recent.back().strength = kDefaultStrength;
    const auto sameKind = [&](const RecentMatch& m) { return m.withFriends == match.withFriends; };
    if (std::count_if(record.recent.begin(), record.recent.end(), sameKind) > std::ptrdiff_t(kRecentMatches)) {
        record.recent.erase(std::find_if(record.recent.begin(), record.recent.end(), sameKind));
    }
}

void addLeftMatch(PlayRecord& record, RecordColumn column, const RoundTally& unfinished) {
    StrengthFigures& f = record.at(column);
    f.left += 1;
    addUse(f, unfinished);
}

namespace {

// The first thing wrong with one set of figures, or nothing.
std::string streakProblem(const Streaks& s, std::int64_t wins, std::int64_t losses) {
    if (s.longestWins < 0 || s.longestLosses < 0) return "a negative longest streak";
    if (s.longestWins > wins || s.longestLosses > losses) return "a streak longer than its matches";
    if (s.current > s.longestWins || -s.current > s.longestLosses) return "a current streak above the longest";
    return {};
}

std::string figuresProblem(const StrengthFigures& f) {
    const std::int64_t counts[] = {f.played, f.left, f.places[1], f.places[2], f.places[3], f.places[4],
                                   f.rounds, f.roundsWon, f.passes, f.drops, f.hints};
    for (const std::int64_t n : counts) {
        if (n < 0 || n > kMaxCount) return "a count out of range";
    }
    if (f.places[0] != 0 || f.places[1] + f.places[2] + f.places[3] + f.places[4] != f.played) {
        return "places that do not add up to the matches played";
    }
    if (f.roundsWon > f.rounds) return "more rounds won than played";
    if (std::string p = streakProblem(f.streaks, f.won(), f.played - f.won()); !p.empty()) return p;
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    if (f.played == 0) {
        if (f.best != 0 || f.totalSum != 0) return "a total without a match";
    } else if (f.best < lowest || f.best > highest || f.totalSum < lowest * f.played ||
               f.totalSum > f.best * f.played) {
        return "totals out of range";
    }
    return {};
}

}  // namespace

std::string recordProblem(const PlayRecord& record) {
    if (record.byStrength[0] != StrengthFigures{}) return "figures of no strength";
    for (const Strength s : kStrengths) {
        if (std::string p = figuresProblem(record.at(s)); !p.empty()) return std::string(strengthName(s)) + ": " + p;
    }
    if (std::string p = figuresProblem(record.friends); !p.empty()) return "friends: " + p;
    const StrengthFigures local = record.localTable();
    if (std::string p = streakProblem(record.localOverall, local.won(), local.played - local.won()); !p.empty()) {
        return "all strengths: " + p;
    }
    const StrengthFigures all = record.all();
    if (std::string p = streakProblem(record.overall, all.won(), all.played - all.won()); !p.empty()) {
        return "all matches: " + p;
    }
    const auto listedWithFriends = std::count_if(record.recent.begin(), record.recent.end(),
                                                 [](const RecentMatch& m) { return m.withFriends; });
    const auto listedLocal = static_cast<std::int64_t>(record.recent.size()) - listedWithFriends;
    if (listedLocal > std::int64_t(kRecentMatches) || listedLocal > local.played ||
        listedWithFriends > std::int64_t(kRecentMatches) || listedWithFriends > record.friends.played) {
        return "more matches listed than played";
    }
    for (const RecentMatch& m : record.recent) {
        if (m.place < 1 || m.place > 4) return "a listed match with no place";
    }
    return {};
}

}  // namespace vantel
