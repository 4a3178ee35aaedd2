// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table as its seats see it: whole matches at every strength and with
// one to four people, checked after every step against the whole truth.

#include "game/table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "game/game_observer.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/search/sampler.h"

namespace vantel {
namespace {

// The blockers the deals reported.
struct Blockers : GameObserver {
    std::vector<int> drawn;
    void onDeal(int, const std::array<Hand, 5>&, int blocker) override { drawn.push_back(blocker); }
};

struct Kind {
    TableKind kind;
    int people;
    Strength strength;
    ComputerPlay computers;
};

TableSetup setupFor(const Kind& k, uint64_t seed) {
    TableSetup setup = TableSetup::local(seed);
    setup.kind = k.kind;
    setup.computers = k.computers;
    for (int seat = 1; seat <= kSeats; ++seat) {
        setup.seats[seat] = seat <= k.people ? SeatKind::Person : SeatKind::Computer;
    }
    setup.search = {SearchBudget::ofPlayouts(24), mixSeed(seed, 1), false};
    return setup;
}

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {TableKind::Local, 1, Strength::Easy, ComputerPlay::General},
        {TableKind::Local, 1, Strength::Normal, ComputerPlay::General},
        {TableKind::Local, 1, Strength::Hard, ComputerPlay::General},
        {TableKind::Friends, 1, Strength::Normal, ComputerPlay::General},
        {TableKind::Friends, 2, Strength::Normal, ComputerPlay::General},
        {TableKind::Friends, 3, Strength::Normal, ComputerPlay::Search},
        {TableKind::Friends, 4, Strength::Normal, ComputerPlay::General},
    };
    return all;
}

// People who pick any legal move at random: they reach the joker, the
// third pass and DROP far more often than a sensible player.
TurnMove randomMove(const Table& table, int seat, SearchRandom& random) {
    const std::vector<TurnMove> moves = table.legalMovesFor(seat);
    return moves[random.below(static_cast<int>(moves.size()))];
}

// The cards an event shows.
std::vector<int> cardsIn(const TableEvent& e) {
    std::vector<int> out;
    if (e.card != 0) out.push_back(e.card);
    for (int slot = 1; slot <= kJokerSlot; ++slot) {
        if (e.handSlots[slot] != 0) out.push_back(e.handSlots[slot]);
    }
    if (e.kind == EventKind::TurnOpen) {
        for (int card = 1; card <= 52; ++card) {
            if (e.cards & cardBit(card)) out.push_back(card);
        }
    }
    return out;
}

bool onTable(const RoundState& s, int card) {
    return isCard(card) && s.table[suitOf(card)][rankOf(card)] != kCellEmpty;
}

// What a seat sees must agree with the truth: its own hand, the table,
// every seat's cards, passes, points and totals.
void expectViewAgrees(const SeatView& view, const Table& table, int viewer) {
    const SeatView truth = table.viewFromRound(viewer);
    ASSERT_EQ(view.hand, truth.hand) << "seat " << viewer;
    ASSERT_EQ(view.table, truth.table) << "seat " << viewer;
    ASSERT_EQ(view.cardsLeft, truth.cardsLeft) << "seat " << viewer;
    ASSERT_EQ(view.passCount, truth.passCount) << "seat " << viewer;
    ASSERT_EQ(view.roundPoints, truth.roundPoints) << "seat " << viewer;
    ASSERT_EQ(view.totals, truth.totals) << "seat " << viewer;
}

// Over whole matches of every kind of table, after every step: every card
// an event shows to seat k was in k's own hand before the step or lies on
// the table after it; private events reach only their seat; the joker is
// seen by nobody but its holder until it is laid; each seat's view, built
// from its events, agrees with the truth; and a follower that applies the
// stream from a snapshot ends where the snapshot of now stands.
TEST(TableSeats, EachSeatSeesOnlyItsOwnAndItsViewAgreesWithTheTruth) {
    int matches = 0;
    std::map<EventKind, int> seen;
    for (const Kind& kind : kinds()) {
        for (uint64_t seed = 1; seed <= 32; ++seed) {
            Blockers blockers;
            MatchPlay match;
            match.strength = kind.strength;
            Table table(setupFor(kind, seed), &match, &blockers);
            table.setEventsKept(1 << 16);
            SearchRandom random(seed);
            std::array<SeatView, 5> followers{};
            std::array<SeatView, 5> fromSnapshot{};
            for (int k = 0; k <= kSeats; ++k) followers[k].seat = fromSnapshot[k].seat = k;
            ASSERT_TRUE(table.startMatch());
            for (int k = 0; k <= kSeats; ++k) {
                for (const TableEvent& e : table.eventsFor(k, 0)) followers[k].apply(e);
            }
            for (int guard = 0; guard < 20000 && table.matchRunning(); ++guard) {
                const RoundState before = table.round();
                const uint64_t from = table.lastSeq();
                if (const int seat = table.awaitedSeat()) {
                    ASSERT_FALSE(table.submit(seat, randomMove(table, seat, random)).has_value());
                } else if (table.canSkip() && random.below(8) == 0) {
                    ASSERT_TRUE(table.skip());
                } else {
                    ASSERT_TRUE(table.step());
                }
                const RoundState& after = table.round();
                for (int k = 0; k <= kSeats; ++k) {
                    for (const TableEvent& e : table.eventsFor(k, from)) {
                        ++seen[e.kind];
                        ASSERT_TRUE(e.visibleTo == 0 || e.visibleTo == k);
                        if (e.visibleTo != 0) {
                            ASSERT_EQ(e.seat, e.visibleTo) << eventName(e.kind);
                        }
                        for (const int card : cardsIn(e)) {
                            if (card == kJoker) {
                                ASSERT_EQ(e.kind, EventKind::Hand);
                                ASSERT_EQ(e.visibleTo, k);
                                continue;
                            }
                            const bool own =
                                k >= 1 && (cdChk(before.hand[k], card) != 0 || cdChk(after.hand[k], card) != 0);
                            ASSERT_TRUE(own || onTable(after, card))
                                << "seat " << k << " was shown card " << card << " in " << eventName(e.kind);
                        }
                        followers[k].apply(e);
                    }
                    ASSERT_EQ(followers[k], table.snapshot(k));
                    if (after.roundOver == 0 && before.roundOver == 0) {
                        expectViewAgrees(followers[k], table, k);
                    }
                }
                // Now and then a follower starts again from a snapshot and
                // catches up from there.
                if (random.below(50) == 0) {
                    const int k = random.below(kSeats + 1);
                    fromSnapshot[k] = table.snapshot(k);
                }
                for (int k = 0; k <= kSeats; ++k) {
                    if (fromSnapshot[k].seq == 0) continue;
                    for (const TableEvent& e : table.eventsFor(k, fromSnapshot[k].seq)) fromSnapshot[k].apply(e);
                    ASSERT_EQ(fromSnapshot[k], followers[k]);
                }
                if (!table.matchRunning()) break;
            }
            ASSERT_FALSE(table.matchRunning());
            ASSERT_EQ(match.roundNumber, 0);
            ++matches;
            ASSERT_EQ(blockers.drawn.size(), 10u);
            for (const int blocker : blockers.drawn) {
                if (kind.kind == TableKind::Friends) {
                    EXPECT_EQ(blocker, 0);
                } else {
                    EXPECT_TRUE(blocker >= 2 && blocker <= 4);
                }
            }
        }
    }
    EXPECT_GE(matches, 200);
    for (const EventKind kind : {EventKind::Joker, EventKind::Forced, EventKind::JokerGone, EventKind::Drop,
                                 EventKind::Streak, EventKind::TurnOpen, EventKind::SkipScored, EventKind::MatchClosed}) {
        EXPECT_GT(seen[kind], 0) << eventName(kind);
    }
}

bool sameRound(const RoundState& a, const RoundState& b) {
    return a.hand == b.hand && a.table == b.table && a.currentSeat == b.currentSeat && a.cardsLeft == b.cardsLeft &&
           a.passCount == b.passCount && a.placeCount == b.placeCount && a.dropCount == b.dropCount &&
           a.roundOver == b.roundOver && a.keepSeat == b.keepSeat && a.streakSeat == b.streakSeat &&
           a.streakCount == b.streakCount && a.userHadJoker == b.userHadJoker;
}

// Plays a table with random people for `steps` steps or moves.
void playFor(Table& table, int steps, SearchRandom& random) {
    for (int i = 0; i < steps; ++i) {
        if (const int seat = table.awaitedSeat()) {
            table.submit(seat, randomMove(table, seat, random));
        } else if (!table.step()) {
            table.startMatch();
        }
    }
}

// A table is its setup and its inputs: stopped anywhere, its inputs played
// on a new table of the same setup give the same round, totals and every
// seat's events. A search by time (not a function of the table) is
// replayed from its recorded answers.
TEST(TableReplay, InputsRebuildTheSameTableAndStreams) {
    int replays = 0;
    for (const Kind& kind : kinds()) {
        for (uint64_t seed = 100; seed < 106; ++seed) {
            TableSetup setup = setupFor(kind, seed);
            if (kind.strength == Strength::Hard) setup.search.budget = SearchBudget::ofTime(std::chrono::microseconds(300));
            SearchRandom random(seed);
            MatchPlay match;
            match.strength = kind.strength;
            Table table(setup, &match);
            table.setEventsKept(1 << 16);
            for (int stop = 0; stop < 4; ++stop) {
                playFor(table, 40 + random.below(400), random);
                MatchPlay again;
                again.strength = kind.strength;
                Table copy(setup, &again);
                copy.setEventsKept(1 << 16);
                ASSERT_TRUE(copy.replay(table.inputs()));
                while (copy.lastSeq() < table.lastSeq() && copy.step()) {
                }
                ASSERT_EQ(copy.lastSeq(), table.lastSeq());
                ASSERT_TRUE(sameRound(copy.round(), table.round()))
                    << "table " << (&kind - kinds().data()) << ", seed " << seed << ", stop " << stop;
                ASSERT_EQ(again.matchTotal, match.matchTotal);
                ASSERT_EQ(again.roundNumber, match.roundNumber);
                ASSERT_EQ(copy.awaitedSeat(), table.awaitedSeat());
                for (int k = 0; k <= kSeats; ++k) ASSERT_EQ(copy.eventsFor(k, 0), table.eventsFor(k, 0));
                ++replays;
            }
        }
    }
    EXPECT_GE(replays, 150);
    // Inputs that do not fit the table are refused.
    Table table(setupFor(kinds()[4], 1));
    std::vector<TableInput> wrong = {{TableInput::StartMatch, 0, {}, 0}, {TableInput::Move, 3, {}, 2}};
    EXPECT_FALSE(table.replay(wrong));
}

// At every person's turn of a few matches, every wrong move is refused
// with its reason and changes nothing: another seat, a computer's seat,
// cards not held or not playable, a fourth pass, DROP before the third.
TEST(TableMoves, EveryWrongMoveIsRefusedAndChangesNothing) {
    std::map<Refusal, int> refused;
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        const Kind kind = kinds()[seed % 2 == 0 ? 1 : 5];
        MatchPlay match;
        Table table(setupFor(kind, seed), &match);
        SearchRandom random(seed);
        EXPECT_EQ(table.submit(1, {TurnMove::Pass, 0}), Refusal::NotYourTurn);
        table.startMatch();
        for (int guard = 0; guard < 5000 && table.matchRunning(); ++guard) {
            const int seat = table.awaitedSeat();
            if (seat == 0) {
                table.step();
                continue;
            }
            const std::vector<TurnMove> legal = table.legalMovesFor(seat);
            std::vector<TurnMove> wrong;
            for (int card = -1; card <= 60; ++card) wrong.push_back({TurnMove::Card, card});
            wrong.push_back({TurnMove::Pass, 0});
            wrong.push_back({TurnMove::Drop, 0});
            const uint64_t seq = table.lastSeq();
            const RoundState before = table.round();
            const auto inputs = table.inputs().size();
            for (const TurnMove& move : wrong) {
                if (std::find(legal.begin(), legal.end(), move) != legal.end()) continue;
                const std::optional<Refusal> why = table.submit(seat, move);
                ASSERT_TRUE(why.has_value());
                ++refused[*why];
                EXPECT_FALSE(refusalText(*why).empty());
                EXPECT_FALSE(refusalCode(*why).empty());
            }
            for (int other = 0; other <= 5; ++other) {
                if (other == seat) continue;
                const std::optional<Refusal> why = table.submit(other, legal.front());
                ASSERT_TRUE(why.has_value());
                ++refused[*why];
            }
            ASSERT_EQ(table.lastSeq(), seq);
            ASSERT_EQ(table.inputs().size(), inputs);
            ASSERT_TRUE(sameRound(table.round(), before));
            ASSERT_EQ(table.awaitedSeat(), seat);
            ASSERT_FALSE(table.submit(seat, randomMove(table, seat, random)).has_value());
        }
    }
    for (const Refusal r : {Refusal::NotYourTurn, Refusal::NotAPerson, Refusal::NoSuchCard, Refusal::CardNotPlayable,
                            Refusal::NoPassLeft, Refusal::DropNotAllowed}) {
        EXPECT_GT(refused[r], 0) << refusalCode(r);
    }
}

// The computers' stand-in for a person's seat makes a legal move.
TEST(TableMoves, TheStandInMoveIsAlwaysLegal) {
    MatchPlay match;
    Table table(setupFor(kinds()[6], 9), &match);
    table.startMatch();
    int turns = 0;
    for (int guard = 0; guard < 20000 && table.matchRunning(); ++guard) {
        if (const int seat = table.awaitedSeat()) {
            const TurnMove move = table.standInMove(seat);
            const std::vector<TurnMove> legal = table.legalMovesFor(seat);
            ASSERT_NE(std::find(legal.begin(), legal.end(), move), legal.end());
            ASSERT_FALSE(table.submit(seat, move).has_value());
            ++turns;
        } else {
            table.step();
        }
    }
    EXPECT_GT(turns, 300);
}

}  // namespace
}  // namespace vantel
