// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/search/sampler.h"

#include <algorithm>

#include "game/rules.h"

namespace vantel {

namespace {

constexpr int kUser = 1;

}  // namespace

int SearchRandom::below(int n) {
    // The top 32 bits scaled to [0, n): the bias is below 2^-26 for n <= 52.
    return static_cast<int>(((next() >> 32) * static_cast<uint64_t>(n)) >> 32);
}

Sampler::Sampler(const SeatKnowledge& knowledge) : k_(knowledge) {
    const RoundState& r = k_.round;
    const Hand& own = r.hand[k_.seat];
    for (int card = 1; card <= 52; ++card) {
        if (r.table[suitOf(card)][rankOf(card)] != kCellEmpty) continue;
        if (cdChk(own, card) != 0) continue;
        unseen_.push_back(card);
    }
    if (!k_.friends && k_.strength != Strength::Easy) {
        for (int seat = 2; seat <= 4; ++seat) {
            if (seat != k_.seat) blockerCandidates_.push_back(seat);
        }
    }
    const auto& events = k_.history.events();
    for (const RoundHistory::Pass& pass : k_.history.passes()) {
        std::array<std::vector<int>, 5> laid;
        std::array<bool, 5> joker{};
        for (std::size_t i = static_cast<std::size_t>(pass.eventsBefore); i < events.size(); ++i) {
            if (events[i].kind == RoundHistory::Event::Card) {
                laid[events[i].seat].push_back(events[i].card);
            } else {
                joker[events[i].seat] = true;
            }
        }
        laidAfter_.push_back(std::move(laid));
        jokerUsedAfter_.push_back(joker);
    }
}

void Sampler::deal(SearchRandom& random, RoundState& round, PlayoutSeats& seats) const {
    round = k_.round;
    std::array<int, 52> cards{};
    const int n = static_cast<int>(unseen_.size());
    std::copy(unseen_.begin(), unseen_.end(), cards.begin());
    for (int i = n - 1; i > 0; --i) std::swap(cards[i], cards[random.below(i + 1)]);

    int next = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat == k_.seat) continue;
        Hand& hand = round.hand[seat];
        const int count = std::min(round.cardsLeft[seat], n - next);
        if (k_.friends ? k_.friendsPlay[seat] == SeatStrategy::User : seat == kUser) {
            // A person's hand was sorted at the deal; played cards leave gaps
            // nobody else sees, so the rest is kept in order from slot 1.
            std::sort(cards.begin() + next, cards.begin() + next + count);
            for (int i = 0; i < count; ++i) hand[i + 1] = cards[next + i];
        } else {
            // A computer keeps its dealt order, which nobody sees either.
            std::array<int, kHandSlots> slots{};
            for (int i = 0; i < kHandSlots; ++i) slots[i] = i + 1;
            for (int i = 0; i < count; ++i) std::swap(slots[i], slots[i + random.below(kHandSlots - i)]);
            for (int i = 0; i < count; ++i) hand[slots[i]] = cards[next + i];
        }
        next += count;
    }
    if (k_.jokerUnseen) {
        int holder = 1 + random.below(3);
        if (holder >= k_.seat) ++holder;
        round.hand[holder][kJokerSlot] = kJoker;
    }

    round.blockerSeat = 0;
    if (!blockerCandidates_.empty()) {
        round.blockerSeat = blockerCandidates_[random.below(static_cast<int>(blockerCandidates_.size()))];
    }
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat == k_.seat) {
            seats[seat] = SeatStrategy::General;
        } else if (k_.friends) {
            // Playouts model a person at seat 1 as the user is modelled;
            // everybody else plays the general strategy.
            seats[seat] = seat == kUser && k_.friendsPlay[seat] == SeatStrategy::User ? SeatStrategy::User
                                                                                      : SeatStrategy::General;
        } else if (seat == kUser) {
            seats[seat] = SeatStrategy::User;
        } else {
            seats[seat] = seat == round.blockerSeat ? SeatStrategy::Blocking : SeatStrategy::General;
        }
    }
}

bool Sampler::explains(const RoundState& round, const PlayoutSeats& seats, const RoundHistory::Pass& pass) const {
    const std::size_t index = static_cast<std::size_t>(&pass - k_.history.passes().data());
    const int seat = pass.seat;
    RoundState past;
    past.table = pass.table;
    past.passCount = pass.passCount;
    past.cardsLeft = pass.cardsLeft;
    past.placeCount = pass.placeCount;
    past.dropCount = pass.dropCount;
    past.currentSeat = seat;
    past.blockerSeat = round.blockerSeat;
    // The hands as they were: what they hold now and what they laid since.
    const auto handThen = [&](int who, bool sorted) {
        Hand& hand = past.hand[who];
        hand = round.hand[who];
        const std::vector<int>& laid = laidAfter_[index][who];
        if (sorted) {
            std::array<int, kHandSlots> cards{};
            int count = 0;
            for (int slot = 1; slot <= kHandSlots; ++slot) {
                if (hand[slot] != 0) cards[count++] = hand[slot];
                hand[slot] = kNoCard;
            }
            for (const int card : laid) {
                if (count < kHandSlots) cards[count++] = card;
            }
            std::sort(cards.begin(), cards.begin() + count);
            for (int i = 0; i < count; ++i) hand[i + 1] = cards[i];
        } else {
            // Laid cards go back into the gaps, which nobody saw.
            std::size_t i = 0;
            for (int slot = 1; slot <= kHandSlots && i < laid.size(); ++slot) {
                if (hand[slot] == 0) hand[slot] = laid[i++];
            }
        }
        const bool heldJoker = jokerUsedAfter_[index][who] || round.hand[who][kJokerSlot] != 0;
        hand[kJokerSlot] = heldJoker ? kJoker : kNoCard;
    };
    handThen(seat, false);
    // The blocker watched the user's hand.
    if (seats[seat] == SeatStrategy::Blocking) handThen(kUser, true);

    Decision decision = computerMove(past, seats[seat]);
    if (decision.kind == Decision::None && sikouRtn5(past) == 0) return true;
    return decision.kind == Decision::Pass;
}

int Sampler::unexplained(const RoundState& round, const PlayoutSeats& seats, int atMost) const {
    int misses = 0;
    for (const RoundHistory::Pass& pass : k_.history.passes()) {
        const int seat = pass.seat;
        if (seat == k_.seat) continue;
        // Only a computer of the general strategy passes for a reason the
        // strategy can be asked about again.
        if (k_.friends && k_.friendsPlay[seat] != SeatStrategy::General) continue;
        if (!k_.friends && seat == kUser) continue;
        // At むずかしい the computers that are not the blocker search: their
        // passes follow no fixed strategy and tell nothing here.
        if (k_.strength == Strength::Hard && seats[seat] != SeatStrategy::Blocking) continue;
        if (!explains(round, seats, pass) && ++misses >= atMost) return misses;
    }
    return misses;
}

void Sampler::sample(SearchRandom& random, RoundState& round, PlayoutSeats& seats) {
    if (k_.history.passes().empty()) {
        deal(random, round, seats);
        ++deals_;
        ++consistent_;
        return;
    }
    RoundState candidate;
    PlayoutSeats candidateSeats{};
    int best = -1;
    for (int tries = 0; tries < kMaxTries; ++tries) {
        deal(random, candidate, candidateSeats);
        ++deals_;
        const int misses = unexplained(candidate, candidateSeats, best < 0 ? 1 << 20 : best);
        if (best < 0 || misses < best) {
            best = misses;
            round = candidate;
            seats = candidateSeats;
        }
        if (misses == 0) {
            ++consistent_;
            return;
        }
    }
}

}  // namespace vantel
