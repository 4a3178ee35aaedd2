// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A seat followed from its stream alone, as a window at a server's table
// follows it: over whole friends' matches, what the seat knows at each of
// its turns (for a hint) is what the table itself would give it, and the
// table turned to put the seat at the bottom is the same whether the
// events or the finished view are turned.

#include "game/seat_follower.h"

#include <gtest/gtest.h>

#include "game/search/sampler.h"
#include "game/table.h"

namespace vantel {
namespace {

void expectSameKnowledge(const SeatKnowledge& got, const SeatKnowledge& want) {
    ASSERT_EQ(got.seat, want.seat);
    ASSERT_EQ(got.round.hand, want.round.hand);
    ASSERT_EQ(got.round.table, want.round.table);
    ASSERT_EQ(got.round.currentSeat, want.round.currentSeat);
    ASSERT_EQ(got.round.cardsLeft, want.round.cardsLeft);
    ASSERT_EQ(got.round.passCount, want.round.passCount);
    ASSERT_EQ(got.round.placeCount, want.round.placeCount);
    ASSERT_EQ(got.round.dropCount, want.round.dropCount);
    ASSERT_EQ(got.jokerUnseen, want.jokerUnseen);
    ASSERT_EQ(got.friends, want.friends);
    ASSERT_EQ(got.friendsPlay, want.friendsPlay);
    const auto& a = got.history.events();
    const auto& b = want.history.events();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].kind, b[i].kind);
        ASSERT_EQ(a[i].seat, b[i].seat);
        ASSERT_EQ(a[i].card, b[i].card);
    }
    const auto& p = got.history.passes();
    const auto& q = want.history.passes();
    ASSERT_EQ(p.size(), q.size());
    for (size_t i = 0; i < p.size(); ++i) {
        ASSERT_EQ(p[i].seat, q[i].seat);
        ASSERT_EQ(p[i].eventsBefore, q[i].eventsBefore);
        ASSERT_EQ(p[i].table, q[i].table);
        ASSERT_EQ(p[i].passCount, q[i].passCount);
        ASSERT_EQ(p[i].cardsLeft, q[i].cardsLeft);
        ASSERT_EQ(p[i].placeCount, q[i].placeCount);
        ASSERT_EQ(p[i].dropCount, q[i].dropCount);
    }
}

TEST(SeatFollower, KnowledgeFromTheStreamIsTheTablesAndTurningAgrees) {
    int turns = 0;
    for (int people = 2; people <= 4; ++people) {
        for (uint64_t seed = 1; seed <= 6; ++seed) {
            TableSetup setup = TableSetup::local(seed);
            setup.kind = TableKind::Friends;
            setup.computers = seed % 2 ? ComputerPlay::General : ComputerPlay::Search;
            setup.search = {SearchBudget::ofPlayouts(16), seed, false};
            for (int seat = 1; seat <= kSeats; ++seat) {
                setup.seats[seat] = seat <= people ? SeatKind::Person : SeatKind::Computer;
            }
            MatchPlay match;
            Table table(setup, &match);
            table.setEventsKept(1 << 16);
            SearchRandom random(seed);
            std::array<SeatKnowledgeTracker, 5> trackers{SeatKnowledgeTracker(0), SeatKnowledgeTracker(1),
                                                         SeatKnowledgeTracker(2), SeatKnowledgeTracker(3),
                                                         SeatKnowledgeTracker(4)};
            std::array<SeatView, 5> turnedViews{};
            std::array<uint64_t, 5> read{};
            for (int seat = 1; seat <= kSeats; ++seat) turnedViews[seat].seat = 1;
            ASSERT_TRUE(table.startMatch());
            for (int guard = 0; guard < 20000 && table.matchRunning(); ++guard) {
                for (int seat = 1; seat <= people; ++seat) {
                    for (const TableEvent& e : table.eventsFor(seat, read[seat])) {
                        trackers[seat].apply(e);
                        turnedViews[seat].apply(seenFrom(e, seat));
                        read[seat] = e.seq;
                    }
                    ASSERT_EQ(turnedViews[seat], seenFrom(trackers[seat].view()));
                }
                if (const int seat = table.awaitedSeat()) {
                    const std::optional<SeatKnowledge> want = table.knowledgeFor(seat);
                    // Who plays what is told by the room, not by the stream.
                    trackers[seat].setFriendsPlay(want->friendsPlay);
                    const std::optional<SeatKnowledge> got = trackers[seat].knowledge(match.matchStrength);
                    ASSERT_TRUE(want && got);
                    expectSameKnowledge(*got, *want);
                    ++turns;
                    const std::vector<TurnMove> moves = table.legalMovesFor(seat);
                    ASSERT_FALSE(table.submit(seat, moves[random.below(int(moves.size()))]).has_value());
                } else {
                    ASSERT_TRUE(table.step());
                }
            }
        }
    }
    EXPECT_GT(turns, 1000);
}

TEST(SeatFollower, PlacesFollowTheOrderOfPlay) {
    for (int viewer = 1; viewer <= kSeats; ++viewer) {
        EXPECT_EQ(placeOf(viewer, viewer), 1);
        for (int seat = 1; seat <= kSeats; ++seat) {
            EXPECT_EQ(seatAt(placeOf(seat, viewer), viewer), seat);
            // The next to play sits at the next place.
            EXPECT_EQ(placeOf(seat % kSeats + 1, viewer), placeOf(seat, viewer) % kSeats + 1);
        }
    }
}

}  // namespace
}  // namespace vantel
