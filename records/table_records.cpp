// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/table_records.h"

namespace vantel {

TableRecords::TableRecords(MatchState& state, SettingsLocation where, std::filesystem::path recordFile)
    : state_(state), where_(std::move(where)), recordFile_(std::move(recordFile)), recorder_(state, recordFile_) {}

SettingsReport TableRecords::load() { return readSettings(state_, where_); }

void TableRecords::chooseStrength(Strength strength) {
    state_.strength = strength;
    writeStrength(state_.iniPath, strength);
}

SaitenResult TableRecords::matchEnded() { return saiten(state_, localNow()); }

ClearRankingResult TableRecords::clearRanking(bool answeredOk) { return mnuClear(state_, answeredOk, where_); }

void TableRecords::tableLeft() {
    if (state_.roundNumber > 0) recorder_.noteLeft();
}

}  // namespace vantel
