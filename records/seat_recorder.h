// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Keeps the player's record at a friends' table. There is no engine to
// observe there, only the stream of events the player's seat is sent
// (game/table_event.h; the player is always seat 1 of its own view), so
// this follows that stream and counts what MatchRecorder counts at the
// local table, at the same moments:
// - a pass or a drop of seat 1 (Pass, Drop) and a hint (noteHint) count in
//   the round running;
// - seat 1 out in first place (Out with a = 1) wins the round;
// - the round is added once its results are out (Results, where the local
//   table's recorder adds it too: after a streak's bonus);
// - the match total is the latest Totals; the place is MatchEnd's.
// Everything counts in the record's friends' column (records/play_record.h)
// and is written through records/record_file.h as it happens.
//
// A stream taken up in the middle of a match (a late seat) records nothing
// until the next MatchStart: the rounds before it were never seen.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "game/table_event.h"
#include "records/play_record.h"

namespace vantel {

class SeatRecorder {
public:
    explicit SeatRecorder(std::filesystem::path file);

    // Called after a write that found the file damaged (it is now the .bak
    // and the record starts again), so the window can tell the player.
    void setDamagedHandler(std::function<void()> handler) { damaged_ = std::move(handler); }
    // The names of seats 2, 3 and 4 as the player sees them, listed with
    // each match played from now on.
    void setOpponents(const std::array<std::string, 3>& names) { opponents_ = names; }

    // The next event of seat 1's stream, in order; events the seat may not
    // see are ignored.
    void seen(const TableEvent& event);
    // The user was shown a hint.
    void noteHint();
    // The table was left: a match whose first round began counts as left,
    // with what was done in its unfinished round.
    void noteLeft();
    bool matchRunning() const { return running_; }

private:
    void write(const std::function<void(PlayRecord&)>& change);

    std::filesystem::path file_;
    std::function<void()> damaged_;
    std::array<std::string, 3> opponents_;
    bool running_ = false;
    bool dealt_ = false;
    RoundTally round_;
    std::int32_t total_ = 0;
};

}  // namespace vantel
