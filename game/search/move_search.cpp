// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/search/move_search.h"

#include <algorithm>

#include "game/random.h"

namespace vantel {

MoveSearch::~MoveSearch() { stop(); }

void MoveSearch::stop() {
    cancel_.store(true);
    if (worker_.joinable()) worker_.join();
    cancel_.store(false);
    startedFor_.reset();
}

uint64_t MoveSearch::seedFor(uint64_t moment) const { return mixSeed(settings_.seed, moment); }

void MoveSearch::start(const SeatKnowledge& knowledge, uint64_t moment) {
    if (!settings_.background) return;
    stop();
    startedFor_ = moment;
    // The thread works on its own copy of what the seat knows.
    worker_ = std::thread([this, knowledge, seed = seedFor(moment)] {
        result_ = searchMove(knowledge, settings_.budget, seed, &cancel_);
    });
}

TurnMove MoveSearch::take(const SeatKnowledge& knowledge, uint64_t moment) {
    if (startedFor_ == moment && worker_.joinable()) {
        worker_.join();
        startedFor_.reset();
        ++thoughtAhead_;
        count(result_);
        return result_.move;
    }
    stop();
    ++thoughtAtTurn_;
    const SearchResult result = searchMove(knowledge, settings_.budget, seedFor(moment));
    count(result);
    return result.move;
}

void MoveSearch::count(const SearchResult& result) {
    // A turn with one move open takes no thinking and is not counted.
    if (result.moves < 2) return;
    ++decisions_;
    totalSeconds_ += result.seconds;
    worstSeconds_ = std::max(worstSeconds_, result.seconds);
}

}  // namespace vantel
