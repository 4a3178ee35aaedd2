// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Deals the cards a seat cannot see, as they might lie: each other seat
// gets as many as it holds, the joker goes to one of them while it is
// unseen, and at a strength with a blocker one of the computers the seat
// cannot rule out is drawn as the blocker. A deal must also explain every
// pass so far: a computer whose strategy would have laid a card at that
// moment did not hold that hand. Deals that explain them are drawn again
// and again until one does; after a bounded number of tries the one that
// explains most is taken.
#pragma once

#include <cstdint>
#include <vector>

#include "game/random.h"
#include "game/search/knowledge.h"
#include "game/search/playout.h"

namespace vantel {

// The search player's own source of chance: seeded, and apart from the
// game's, so thinking never changes a deal.
class SearchRandom : public Xoshiro256 {
public:
    using Xoshiro256::Xoshiro256;
    // Uniform in [0, n).
    int below(int n);
};

class Sampler {
public:
    static constexpr int kMaxTries = 8;

    explicit Sampler(const SeatKnowledge& knowledge);

    // A whole round for a playout in `round`, and how each seat plays in it.
    void sample(SearchRandom& random, RoundState& round, PlayoutSeats& seats);

    // Deals drawn, and those that explained every pass.
    int64_t deals() const { return deals_; }
    int64_t consistent() const { return consistent_; }

private:
    void deal(SearchRandom& random, RoundState& round, PlayoutSeats& seats) const;
    // How many of the passes that `round` and `seats` must explain they do not.
    int unexplained(const RoundState& round, const PlayoutSeats& seats, int atMost) const;
    bool explains(const RoundState& round, const PlayoutSeats& seats, const RoundHistory::Pass& pass) const;

    const SeatKnowledge& k_;
    std::vector<int> unseen_;
    std::vector<int> blockerCandidates_;
    // Per seat, the cards it laid after each of the passes (by index).
    std::vector<std::array<std::vector<int>, 5>> laidAfter_;
    std::vector<std::array<bool, 5>> jokerUsedAfter_;
    int64_t deals_ = 0;
    int64_t consistent_ = 0;
};

}  // namespace vantel
