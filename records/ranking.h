// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The match winner's high score and best-ten ranking (SAITEN), and the
// clearing of both from the main window's menu.
//
// Nothing here shows a window: the caller refreshes the high-score labels,
// shows the ranking window and the message boxes, using what these
// functions return and the texts below.
#pragma once

#include <string>
#include <string_view>

#include "records/match_state.h"
#include "records/settings.h"

namespace vantel {

// A local calendar date and wall-clock time.
struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The system clock in the local time zone.
LocalDateTime localNow();

// Japanese short formats: "yyyy/MM/dd" and "HH:mm:ss".
std::string shortDateText(const LocalDateTime& when);
std::string shortTimeText(const LocalDateTime& when);

// What saiten did, for the caller's labels and windows.
struct SaitenResult {
    int seat = 0;                 // the match winner checked; 0 when no seat has place 1 (or at やさしい)
    bool hiScoreChanged = false;  // this match reached or beat the high score
    bool hiScoreClamped = false;  // the total did not fit 16 bits; 32767 was stored
    int rankingRow = 0;           // ranking row taken (1..10), or 0
};

// After the tenth round, with finalPlace set: the first seat with place 1
// (the lowest seat number among tied winners) is checked once, against the
// high score and ranking the settings file holds at that moment (other
// copies of the game may share the file), read and written back under the
// file's lock. Memory ends as the file was written; when the file cannot be
// read, has no high score or holds a value readSettings refuses, the
// high score and ranking in memory are taken instead.
// - High score: a total equal to or above hiScore replaces it and its holder
//   (the seat name without surrounding spaces); both are written to the
//   settings file and rankInPosition becomes 1. A total above 32767 is
//   stored as 32767 rather than wrapping around to a negative score.
// - Ranking: the total goes above the first row it equals or beats, the rows
//   below move down and row 10 is lost; the row gets the seat name, the
//   total and `now` as date and time texts, and rankInPosition becomes the
//   row. All ten rows are written back, changed or not.
// - A match played at やさしい (state.matchStrength) enters neither: no seat
//   is checked and nothing is written.
// - rankInSeat becomes the seat; selectionPhase becomes 0 so that the
//   settings are read again before the next choice of members.
// The caller then shows the ranking window and the high score from memory.
// Writes go to state.iniPath.
SaitenResult saiten(MatchState& state, const LocalDateTime& now);

// Texts of the ranking clear command's two message boxes: the question
// (exclamation icon, OK and Cancel) and the notice (information icon).
inline constexpr std::string_view kClearRankingQuestion =
    "現在のランキング情報をクリアします。よろしいですか？";
inline constexpr std::string_view kClearRankingTitle = "ランキングのクリア";
inline constexpr std::string_view kClearRankingDoneText = "ランキング情報をクリアしました。";
inline constexpr std::string_view kClearRankingDoneTitle = "クリア完了！";

struct ClearRankingResult {
    // The ranking and high score were cleared in the file: show the notice.
    bool cleared = false;
    // The settings file read again afterwards; on Fatal show the settings
    // error and end the program.
    SettingsReport reread;
};

// The ranking clear command after its question was answered. On OK the high
// score becomes 100 by "???" and every ranking key is emptied in the
// settings file. On OK and on Cancel alike the settings file is read again,
// after which the caller shows hiScorePlayer and hiScore on its labels.
ClearRankingResult mnuClear(MatchState& state, bool answeredOk, const SettingsLocation& where);

}  // namespace vantel
