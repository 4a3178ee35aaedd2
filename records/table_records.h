// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Everything the table writes to disk, in one place: the settings read at
// the table's load, the strength chosen for the next matches, the high
// score and ranking at a match's end, the ranking clear, and the player's
// record (matches, rounds, hints, matches left). The window calls these and
// nothing else of records/ that writes.
#pragma once

#include <filesystem>
#include <functional>

#include "records/match_recorder.h"
#include "records/match_state.h"
#include "records/ranking.h"
#include "records/settings.h"

namespace vantel {

class TableRecords {
public:
    TableRecords(MatchState& state, SettingsLocation where, std::filesystem::path recordFile);

    // Watches the table for the record.
    GameObserver* observer() { return &recorder_; }
    MatchRecorder& recorder() { return recorder_; }
    // Called after a record write found the file damaged.
    void setDamagedHandler(std::function<void()> handler) { recorder_.setDamagedHandler(std::move(handler)); }

    // The settings file, read when the members were not just chosen.
    SettingsReport load();
    // "強さ": kept for the next matches.
    void chooseStrength(Strength strength);
    // The match is over: its winner's high score and ranking place.
    SaitenResult matchEnded();
    // "ランキングのクリア" after its question.
    ClearRankingResult clearRanking(bool answeredOk);
    // The user asked for a hint.
    void hintShown() { recorder_.noteHint(); }
    // The table is closed or started over: a match still running is left.
    void tableLeft();

    const std::filesystem::path& recordFile() const { return recordFile_; }

private:
    MatchState& state_;
    SettingsLocation where_;
    std::filesystem::path recordFile_;
    MatchRecorder recorder_;
};

}  // namespace vantel
