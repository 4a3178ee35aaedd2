// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Thinking for the computers that search at the table. At the table the
// engine starts a search as soon as it knows whose turn comes next, so the
// search runs on its own thread while the table waits its usual pause before
// the turn, and the window never waits for it; the simulator and the tests
// think at the turn itself, by a count of playouts, so that a seed gives the
// same run.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

#include "game/search/search_player.h"

namespace vantel {

class MoveSearch {
public:
    struct Settings {
        SearchBudget budget = SearchBudget::ofPlayouts(1000);
        uint64_t seed = 0;
        // Think on a thread of its own from start() on.
        bool background = false;
    };

    explicit MoveSearch(Settings settings) : settings_(settings) {}
    // A search still running is stopped and waited for.
    ~MoveSearch();
    MoveSearch(const MoveSearch&) = delete;
    MoveSearch& operator=(const MoveSearch&) = delete;

    // The seat of `knowledge` will be to move at `moment` (a key of the
    // round's progress the caller keeps): start thinking, when thinking
    // ahead is on.
    void start(const SeatKnowledge& knowledge, uint64_t moment);
    // The move for `knowledge` at `moment`: the search started for it, or
    // one made now when none was started for this very moment.
    TurnMove take(const SeatKnowledge& knowledge, uint64_t moment);

    // Decisions made between two moves or more, and the time they took
    // (thinking, not waiting).
    int decisions() const { return decisions_; }
    // Moves taken from a search started ahead, and moves worked out at the
    // turn itself.
    int thoughtAhead() const { return thoughtAhead_; }
    int thoughtAtTurn() const { return thoughtAtTurn_; }
    double totalSeconds() const { return totalSeconds_; }
    double worstSeconds() const { return worstSeconds_; }

private:
    void stop();
    uint64_t seedFor(uint64_t moment) const;
    void count(const SearchResult& result);

    Settings settings_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::optional<uint64_t> startedFor_;
    SearchResult result_;
    int decisions_ = 0;
    int thoughtAhead_ = 0;
    int thoughtAtTurn_ = 0;
    double totalSeconds_ = 0;
    double worstSeconds_ = 0;
};

}  // namespace vantel
