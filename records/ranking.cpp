// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/ranking.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <vector>

#include "platform/profile/profile.h"

namespace vantel {
namespace {

std::string trimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

int matchWinnerSeat(const MatchState& state) {
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (state.finalPlace[seat] == 1) return seat;
    }
    return 0;
}

// Reached or beaten: the seat becomes the holder. Returns whether the high
// score changed and whether the total had to be clamped to 16 bits.
void checkHiScore(MatchState& state, int seat, SaitenResult& result) {
    const int32_t total = state.matchTotal[seat];
    if (total < state.hiScore) return;
    constexpr int32_t kMax = std::numeric_limits<int16_t>::max();
    result.hiScoreClamped = total > kMax;
    state.hiScore = static_cast<int16_t>(total > kMax ? kMax : total);
    state.rankInPosition = 1;
    state.rankInSeat = seat;
    state.hiScorePlayer = trimSpaces(state.seatName[seat]);
    result.hiScoreChanged = true;
    profile::writeStrings(state.iniPath, {{"HiScore", "Player", state.hiScorePlayer},
                                          {"HiScore", "Score", std::to_string(state.hiScore)}});
}

int insertIntoRanking(MatchState& state, int seat, const LocalDateTime& now) {
    const int32_t total = state.matchTotal[seat];
    for (int row = 1; row <= kRankRows; ++row) {
        if (total < state.rankPoints[row]) continue;
        for (int k = kRankRows; k > row; --k) {
            state.rankName[k] = state.rankName[k - 1];
            state.rankPoints[k] = state.rankPoints[k - 1];
            state.rankDate[k] = state.rankDate[k - 1];
            state.rankTime[k] = state.rankTime[k - 1];
        }
        state.rankName[row] = state.seatName[seat];
        state.rankPoints[row] = total;
        state.rankDate[row] = shortDateText(now);
        state.rankTime[row] = shortTimeText(now);
        state.rankInPosition = row;
        state.rankInSeat = seat;
        return row;
    }
    return 0;
}

void writeRanking(const MatchState& state) {
    std::vector<profile::KeyValue> entries;
    for (int row = 1; row <= kRankRows; ++row) {
        const std::string section = rankSection(row);
        entries.push_back({section, "Name", state.rankName[row]});
        entries.push_back({section, "Ten", std::to_string(state.rankPoints[row])});
        entries.push_back({section, "Date", state.rankDate[row]});
        entries.push_back({section, "Time", state.rankTime[row]});
    }
    // All ten rows in one replacement: never half an old and half a new ranking.
    profile::writeStrings(state.iniPath, entries);
}

}  // namespace

LocalDateTime localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return {};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string shortDateText(const LocalDateTime& when) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", when.year, when.month, when.day);
    return buffer;
}

std::string shortTimeText(const LocalDateTime& when) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", when.hour, when.minute, when.second);
    return buffer;
}

SaitenResult saiten(MatchState& state, const LocalDateTime& now) {
    SaitenResult result;
    result.seat = matchWinnerSeat(state);
    // At やさしい the winner is not checked, and nothing is written.
    if (result.seat != 0 && !entersRanking(state.matchStrength)) result.seat = 0;
    if (result.seat != 0) {
        checkHiScore(state, result.seat, result);
        result.rankingRow = insertIntoRanking(state, result.seat, now);
        writeRanking(state);
        state.rankInSeat = result.seat;
    }
    state.selectionPhase = 0;
    return result;
}

ClearRankingResult mnuClear(MatchState& state, bool answeredOk, const SettingsLocation& where) {
    ClearRankingResult result;
    if (answeredOk) {
        std::vector<profile::KeyValue> entries = {{"HiScore", "Player", "???"},
                                                  {"HiScore", "Score", "100"}};
        for (int row = 1; row <= kRankRows; ++row) {
            for (const char* key : {"Name", "Ten", "Date", "Time"}) {
                entries.push_back({rankSection(row), key, ""});
            }
        }
        result.cleared = profile::writeStrings(where.file(), entries);
    }
    result.reread = readSettings(state, where);
    return result;
}

}  // namespace vantel
