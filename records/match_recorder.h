// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Keeps the player's record as the table plays: attached to the engine as
// its observer, it counts what the user does in each round and adds each
// finished round, each finished match and each left match to the record
// file (records/record_file.h) as it happens.
#pragma once

#include <filesystem>
#include <functional>

#include "game/game_observer.h"
#include "records/match_state.h"
#include "records/play_record.h"

namespace vantel {

class MatchRecorder : public GameObserver {
public:
    MatchRecorder(const MatchState& state, std::filesystem::path file);

    // Called after a write that found the file damaged (it is now the .bak
    // and the record starts again), so the window can tell the player.
    void setDamagedHandler(std::function<void()> handler) { damaged_ = std::move(handler); }

    // The user was shown a hint.
    void noteHint();
    // The table is closed or started over: a match still running counts as
    // left, with what was done in its unfinished round.
    void noteLeft();
    bool matchRunning() const { return running_; }

    void onMatchStart() override;
    void onPass(int seat, int count) override;
    void onDrop(int seat) override;
    void onOut(int seat, int place, int points) override;
    void onRoundEnd(int round) override;
    void onMatchEnd() override;

private:
    void write(const std::function<void(PlayRecord&)>& change);

    const MatchState& state_;
    std::filesystem::path file_;
    std::function<void()> damaged_;
    bool running_ = false;
    // Fixed when the match starts, as the engine fixes the match's own.
    Strength strength_ = kDefaultStrength;
    RoundTally round_;
};

}  // namespace vantel
