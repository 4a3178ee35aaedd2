// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search player: it sees only its own seat, deals the unseen cards as
// they might lie, weighs exactly the moves the table offers, thinks ahead
// for the right turn, and plays better than the game's own strategy.
#include "records/match_state.h"
#include "game/search/search_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/engine.h"
#include "game/rules.h"
#include "game/search/playout.h"
#include "game/search/sampler.h"
#include "tools/sim/sim_view.h"
#include "tools/sim/simulation.h"
#include "tools/sim/user_policy.h"

namespace vantel {
namespace {

struct Moment {
    RoundState round;      // the whole truth, at the user's turn
    SeatKnowledge user;    // what the user's seat knew
};

// The user's turns of a few matches, played by the lowest-card policy.
std::vector<Moment> userTurns(Strength strength, uint64_t seed, int matches) {
    std::vector<Moment> out;
    MatchState match;
    match.strength = strength;
    SimView view;
    Random random(seed);
    Engine engine(match, view, random);
    engine.configureSearch({SearchBudget::ofPlayouts(40), seed, false});
    int played = 0;
    view.onRecordMatch = [&] { ++played; };
    view.onRetry = [&] { return played < matches; };
    engine.mnuKaisiClick();
    while (engine.awaitingUser()) {
        out.push_back({engine.round(), *engine.hintKnowledge()});
        playUserTurn(engine);
    }
    return out;
}

// The same round with the cards `seat` cannot see moved among the other
// hands: each keeps its size, the joker may change hands, the blocker too.
RoundState shuffledFor(const RoundState& s, int seat, uint64_t seed) {
    RoundState t = s;
    SearchRandom random(seed);
    std::vector<int> cards;
    int jokerHolder = 0;
    for (int other = 1; other <= 4; ++other) {
        if (other == seat) continue;
        if (t.hand[other][kJokerSlot] != 0) jokerHolder = other;
        t.hand[other][kJokerSlot] = 0;
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            if (t.hand[other][slot] != 0) cards.push_back(t.hand[other][slot]);
        }
    }
    for (int i = static_cast<int>(cards.size()) - 1; i > 0; --i) std::swap(cards[i], cards[random.below(i + 1)]);
    std::size_t next = 0;
    for (int other = 1; other <= 4; ++other) {
        if (other == seat) continue;
        for (int slot = kHandSlots; slot >= 1; --slot) {
            if (t.hand[other][slot] != 0) t.hand[other][slot] = cards[next++];
        }
    }
    if (jokerHolder != 0) {
        int to = 1 + random.below(3);
        if (to >= seat) ++to;
        t.hand[to][kJokerSlot] = kJoker;
    }
    t.blockerSeat = 2 + (t.blockerSeat - 1) % 3;
    return t;
}

TEST(SearchPlayer, SeesOnlyItsOwnSeat) {
    // Moving the unseen cards among the other hands, their sizes kept,
    // changes nothing the seat decides, for the user and for a computer.
    int compared = 0;
    for (const Strength strength : {Strength::Normal, Strength::Hard}) {
        const std::vector<Moment> turns = userTurns(strength, 31, 1);
        for (std::size_t i = 0; i < turns.size(); i += 3) {
            for (const int seat : {1, 3}) {
                RoundState real = turns[i].round;
                real.currentSeat = seat;
                if (real.cardsLeft[seat] == 0) continue;
                const RoundState moved = shuffledFor(real, seat, i + 7);
                const SeatKnowledge a = knowledgeFor(real, seat, strength, turns[i].user.history);
                const SeatKnowledge b = knowledgeFor(moved, seat, strength, turns[i].user.history);
                const SearchResult ra = searchMove(a, SearchBudget::ofPlayouts(120), 99);
                const SearchResult rb = searchMove(b, SearchBudget::ofPlayouts(120), 99);
                EXPECT_EQ(ra.move, rb.move) << "turn " << i << " seat " << seat;
                EXPECT_EQ(ra.playouts, rb.playouts);
                if (ra.moves > 1) ++compared;
            }
        }
    }
    EXPECT_GT(compared, 30);
}

TEST(SearchPlayer, DealsWhatTheSeatCannotSeeAndWeighsTheMovesTheTableOffers) {
    for (const Strength strength : {Strength::Easy, Strength::Normal, Strength::Hard}) {
        for (const Moment& m : userTurns(strength, 41, 1)) {
            const SeatKnowledge& k = m.user;
            // The moves are the raised cards, PASS while passes remain and
            // DROP after the third, as the table offers them.
            std::array<TurnMove, 16> moves{};
            const int count = legalMoves(k.round, moves);
            std::vector<TurnMove> expected;
            for (int slot = 1; slot <= kHandSlots; ++slot) {
                const int card = m.round.hand[1][slot];
                const bool raised = card != 0 && (dispChk(m.round.table, card) != 0 ||
                                                  (m.round.holdsJoker(1) && jyoker(m.round.table, m.round.hand[1], card) != 0));
                if (raised) expected.push_back({TurnMove::Card, card});
            }
            if (m.round.passCount[1] < 3) expected.push_back({TurnMove::Pass, 0});
            if (m.round.passCount[1] == 3) expected.push_back({TurnMove::Drop, 0});
            ASSERT_EQ(std::vector<TurnMove>(moves.begin(), moves.begin() + count), expected);

            // Every deal completes the round as it could be: the own hand and
            // the table as they are, each card once, each seat its size.
            Sampler sampler(k);
            SearchRandom random(5);
            RoundState dealt;
            PlayoutSeats seats{};
            sampler.sample(random, dealt, seats);
            EXPECT_EQ(dealt.hand[1], m.round.hand[1]);
            EXPECT_EQ(dealt.table, m.round.table);
            std::array<int, 54> seen{};
            for (int card = 1; card <= 52; ++card) {
                if (dealt.table[suitOf(card)][rankOf(card)] != kCellEmpty) ++seen[card];
            }
            int jokers = 0;
            for (int seat = 1; seat <= 4; ++seat) {
                int held = 0;
                for (int slot = 1; slot <= kHandSlots; ++slot) {
                    if (dealt.hand[seat][slot] != 0) {
                        ++held;
                        ++seen[dealt.hand[seat][slot]];
                    }
                }
                EXPECT_EQ(held, m.round.cardsLeft[seat]);
                if (dealt.hand[seat][kJokerSlot] == kJoker) ++jokers;
            }
            for (int card = 1; card <= 52; ++card) ASSERT_EQ(seen[card], 1) << card;
            EXPECT_EQ(jokers, k.jokerUnseen || m.round.holdsJoker(1) ? 1 : 0);
            EXPECT_EQ(seats[1], SeatStrategy::General);
            for (int seat = 2; seat <= 4; ++seat) {
                const bool blocks = seats[seat] == SeatStrategy::Blocking;
                EXPECT_EQ(blocks, strength != Strength::Easy && dealt.blockerSeat == seat);
            }

            // The search answers with one of those moves.
            const SearchResult r = searchMove(k, SearchBudget::ofPlayouts(60), 3);
            EXPECT_NE(std::find(expected.begin(), expected.end(), r.move), expected.end());
            EXPECT_EQ(r.playouts, count > 1 ? ((60 + count - 1) / count) * count : 0);
        }
    }
}

TEST(SearchPlayer, AComputerThinksAheadForTheTurnThatComes) {
    // Thinking in the background during the pause gives the very moves of
    // thinking at the turn, and every one of them was started ahead.
    const auto play = [](bool background, MoveSearch::Settings& used, int& ahead, int& atTurn) {
        MatchState match;
        match.strength = Strength::Hard;
        SimView view;
        Random random(8);
        Engine engine(match, view, random);
        used = {SearchBudget::ofPlayouts(60), 123, background};
        engine.configureSearch(used);
        std::vector<int> events;
        view.onResults = [&] {
            for (int seat = 1; seat <= 4; ++seat) events.push_back(match.roundPoints[seat]);
        };
        engine.mnuKaisiClick();
        for (int turns = 0; engine.awaitingUser() && match.roundNumber <= 2; ++turns) playUserTurn(engine);
        ahead = engine.search().thoughtAhead();
        atTurn = engine.search().thoughtAtTurn();
        return events;
    };
    MoveSearch::Settings used;
    int ahead = 0, atTurn = 0;
    const std::vector<int> atTheTurn = play(false, used, ahead, atTurn);
    EXPECT_EQ(ahead, 0);
    EXPECT_GT(atTurn, 20);
    const std::vector<int> inBackground = play(true, used, ahead, atTurn);
    EXPECT_EQ(inBackground, atTheTurn);
    EXPECT_GT(ahead, 20);
    EXPECT_EQ(atTurn, 0);
}

TEST(SearchPlayer, PlaysBetterThanTheLowestCardAndTheStrengthsAreOrdered) {
    // At やさしい, on the same deals, the search in the user's seat wins
    // more matches and finishes higher than the lowest-card policy; and
    // the lowest-card user does best at やさしい, worst at むずかしい.
    const auto run = [](Strength strength, UserPolicy user, int matches) {
        MatchState match;
        return runSimulation(17, matches, match, nullptr, {}, {strength, user, 60});
    };
    const auto place = [](const SimSummary& s) {
        return double(s.places[1][1] + 2 * s.places[1][2] + 3 * s.places[1][3] + 4 * s.places[1][4]) / s.matches;
    };
    const SimSummary lowest = run(Strength::Easy, UserPolicy::Lowest, 12);
    const SimSummary search = run(Strength::Easy, UserPolicy::Search, 12);
    EXPECT_GT(search.matchWins[1], lowest.matchWins[1]);
    EXPECT_LT(place(search), place(lowest));
    EXPECT_GT(search.totalSum[1], lowest.totalSum[1]);

    const SimSummary normal = run(Strength::Normal, UserPolicy::Lowest, 12);
    const SimSummary hard = run(Strength::Hard, UserPolicy::Lowest, 12);
    EXPECT_GT(lowest.totalSum[1], normal.totalSum[1]);
    EXPECT_GT(normal.totalSum[1], hard.totalSum[1]);
    EXPECT_GT(hard.computerSearch.decisions, 0);
}

}  // namespace
}  // namespace vantel
