// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/ranking.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>
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

// The high score, its holder and the ranking as the file holds them now,
// which other copies of the game may have changed since this copy read it.
// A file that is missing, has no high score or holds a value the game would
// refuse gives nothing: the copy in memory stands in, and the result is not lost.
void takeStoredRecords(MatchState& state, const std::optional<std::string>& fileBytes) {
    if (!fileBytes) return;
    MatchState stored;
    const auto read = [&](std::string_view section, std::string_view key, std::size_t buffer,
                          std::string_view fallback) {
        return profile::readStringFromText(*fileBytes, section, key, fallback, buffer);
    };
    if (readRecords(read, stored).status != RecordsStatus::Read) return;
    state.hiScore = stored.hiScore;
    state.hiScorePlayer = std::move(stored.hiScorePlayer);
    state.rankName = std::move(stored.rankName);
    state.rankPoints = stored.rankPoints;
    state.rankDate = std::move(stored.rankDate);
    state.rankTime = std::move(stored.rankTime);
}

// Reached or beaten: the seat becomes the holder, and its two keys are to
// be written.
void checkHiScore(MatchState& state, int seat, SaitenResult& result, std::vector<profile::KeyValue>& writes) {
    const int32_t total = state.matchTotal[seat];
    if (total < state.hiScore) return;
    constexpr int32_t kMax = std::numeric_limits<int16_t>::max();
    result.hiScoreClamped = total > kMax;
    state.hiScore = static_cast<int16_t>(total > kMax ? kMax : total);
    state.rankInPosition = 1;
    state.rankInSeat = seat;
    state.hiScorePlayer = trimSpaces(state.seatName[seat]);
    result.hiScoreChanged = true;
    writes.push_back({"HiScore", "Player", state.hiScorePlayer});
    writes.push_back({"HiScore", "Score", std::to_string(state.hiScore)});
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

void addRankingWrites(const MatchState& state, std::vector<profile::KeyValue>& writes) {
    for (int row = 1; row <= kRankRows; ++row) {
        const std::string section = rankSection(row);
        writes.push_back({section, "Name", state.rankName[row]});
        writes.push_back({section, "Ten", std::to_string(state.rankPoints[row])});
        writes.push_back({section, "Date", state.rankDate[row]});
        writes.push_back({section, "Time", state.rankTime[row]});
    }
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
        // Read, merge and write under the settings file's lock, so that two
        // copies ending matches at once both keep their results. The high
        // score and all ten rows go in one replacement of the file.
        profile::updateStrings(state.iniPath, [&](const std::optional<std::string>& fileBytes) {
            takeStoredRecords(state, fileBytes);
            std::vector<profile::KeyValue> writes;
            checkHiScore(state, result.seat, result, writes);
            result.rankingRow = insertIntoRanking(state, result.seat, now);
            addRankingWrites(state, writes);
            return writes;
        });
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
        result.cleared = profile::writeStringsLocked(where.file(), entries);
    }
    result.reread = readSettings(state, where);
    return result;
}

}  // namespace vantel
