// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/strategy.h"

#include <gtest/gtest.h>

#include "game/rules.h"
#include "table_builder.h"

namespace vantel {
namespace {

using namespace test;

// A round where `seat` is to move, with the given hands and table.
RoundState situation(int seat, Hand user, Hand mine, TableGrid table) {
    RoundState s;
    s.table = table;
    s.currentSeat = seat;
    s.blockerSeat = seat;
    s.hand[1] = user;
    s.hand[seat] = mine;
    for (int i = 1; i <= 4; ++i) {
        int n = 0;
        for (int k = 1; k <= kHandSlots; ++k) n += s.hand[i][k] != 0;
        s.cardsLeft[i] = n;
    }
    return s;
}

TEST(Blocker, PassesWhileTheUserIsStuckEvenWhenItCouldPlay) {
    // The user holds only cards two away from the sevens; the blocker holds
    // playable sixes.
    RoundState s = situation(3, handOf({D(5), C(9)}), handOf({H(6), S(6), D(1)}), sevensOnly());
    EXPECT_EQ(sikouRtn2(s), 0);
    EXPECT_EQ(blockingStrategy(s), (Decision{Decision::Pass, 0}));
    // With one card left it no longer passes to block.
    RoundState t = situation(3, handOf({D(5), C(9)}), handOf({H(6)}), sevensOnly());
    EXPECT_NE(blockingStrategy(t).kind, Decision::Pass);
}

TEST(Blocker, PlaysTheFirstCardThatFreesNothingAndHoldsTheOthers) {
    // The user can move (C8) but holds D5, which the blocker's D6 would free.
    RoundState s = situation(2, handOf({D(5), C(8)}), handOf({D(6), H(6), S(8)}), sevensOnly());
    EXPECT_EQ(sikouRtn3(s, 1), 0);  // D6 frees the user's D5
    EXPECT_EQ(sikouRtn3(s, 2), 2);
    EXPECT_EQ(blockingStrategy(s), (Decision{Decision::Play, 2}));
}

TEST(Blocker, WithNoSafeCardAndNoPassesLeftFallsThroughToTheGeneralStrategy) {
    RoundState s = situation(2, handOf({D(5), C(8)}), handOf({D(6), D(2), S(3)}), sevensOnly());
    s.passCount[2] = 3;
    EXPECT_EQ(blockingStrategy(s).kind, Decision::None);
    // The general strategy then lays the D6 (it leads to the D2).
    EXPECT_EQ(generalStrategy(s), (Decision{Decision::Play, 1}));
    // With passes left and no safe card, it passes instead.
    s.passCount[2] = 1;
    EXPECT_EQ(blockingStrategy(s), (Decision{Decision::Pass, 0}));
}

TEST(Blocker, StopsTheUsersLastCardOnlyAtTheLastMoment) {
    // The user's last card is the D6 (low, playable); the blocker's slot 13
    // card is playable and is laid to stop it.
    Hand mine{};
    mine[1] = H(2);
    mine[13] = S(8);
    RoundState s = situation(4, handOf({D(6)}), mine, sevensOnly());
    s.passCount[1] = 3;
    EXPECT_EQ(sikouRtn1(s), 13);
    EXPECT_EQ(blockingStrategy(s), (Decision{Decision::Play, 13}));
    // Not while the user has a pass left, nor with more than one card.
    s.passCount[1] = 2;
    EXPECT_EQ(sikouRtn1(s), 0);
    RoundState t = situation(4, handOf({D(6), C(2)}), mine, sevensOnly());
    t.passCount[1] = 3;
    EXPECT_EQ(sikouRtn1(t), 0);
    // A high last card is answered from slot 1; not once the suit's Ace or
    // King is down.
    Hand highFirst{};
    highFirst[1] = C(6);
    RoundState u = situation(4, handOf({D(8)}), highFirst, sevensOnly());
    u.passCount[1] = 3;
    EXPECT_EQ(sikouRtn1(u), 1);
    lay(u.table, {D(13)}, kCellOutOfLine);
    EXPECT_EQ(sikouRtn1(u), 0);
}

TEST(Blocker, UsersJokerCountsAsAMove) {
    RoundState s = situation(3, handOf({D(5)}, /*joker=*/true), handOf({H(6), S(6)}), sevensOnly());
    EXPECT_EQ(sikouRtn2(s), 1);
    s.hand[1][kJokerSlot] = 0;
    EXPECT_EQ(sikouRtn2(s), 0);
    s.cardsLeft[1] = 0;
    EXPECT_EQ(sikouRtn2(s), 1);  // a user who is out counts as able to move
}

TEST(Priorities, CardsNearTheSevenGoFirstOnceTheFarSideHasSpread) {
    TableGrid t = sevensOnly();
    lay(t, {D(6), D(5), C(8), C(9)});
    RoundState s = situation(2, Hand{}, handOf({D(8), D(11), C(6), C(3), H(8)}), t);
    EXPECT_EQ(sikouRtn4(s, 1), 1);  // 8 with the 5 down
    EXPECT_EQ(sikouRtn4(s, 2), 4);  // Jack with the 5 down
    EXPECT_EQ(sikouRtn4(s, 3), 1);  // 6 with the 9 down
    EXPECT_EQ(sikouRtn4(s, 4), 4);  // 3 with the 9 down
    // H8 alone in its suit, more than five cards? No: five cards, so 6.
    EXPECT_EQ(sikouRtn4(s, 5), 6);
}

TEST(Priorities, ACardLeadingToAnotherOfTheSameSuitGetsFour) {
    RoundState s = situation(2, Hand{}, handOf({S(8), S(10), H(6), H(2), D(9), C(4)}), sevensOnly());
    EXPECT_EQ(sikouRtn4(s, 1), 4);  // the 8 leads to the 10
    EXPECT_EQ(sikouRtn4(s, 3), 4);  // the 6 leads to the 2
    EXPECT_EQ(sikouRtn4(s, 2), 0);  // the 10 leads nowhere: held
}

TEST(General, HoldsEverythingWithManyCardsAndPassesLeft) {
    // Six cards; the two playable ones are alone in their suits.
    RoundState s = situation(3, Hand{}, handOf({D(8), C(6), H(2), H(3), S(1), S(13)}), sevensOnly());
    EXPECT_EQ(generalStrategy(s).kind, Decision::None);
    EXPECT_EQ(sikouRtn5(s), 0);
    // With all passes used, every playable card gets priority 6 and the
    // lowest slot goes.
    s.passCount[3] = 3;
    EXPECT_EQ(generalStrategy(s), (Decision{Decision::Play, 1}));
}

TEST(General, LowerSlotWinsBetweenEqualPriorities) {
    TableGrid t = sevensOnly();
    lay(t, {H(9), S(9)});
    RoundState s = situation(4, Hand{}, handOf({D(2), S(6), H(6)}), t);
    EXPECT_EQ(generalStrategy(s), (Decision{Decision::Play, 2}));
}

TEST(General, UsesTheJokerForAPrioritisedCard) {
    TableGrid t = sevensOnly();
    lay(t, {C(9)});
    // C(5): not playable, but the joker bridges the 6; priority 2.
    RoundState s = situation(2, Hand{}, handOf({C(5), D(1), H(1)}, true), t);
    ASSERT_TRUE(jokerPlayable(s, 2, C(5)));
    EXPECT_EQ(generalStrategy(s), (Decision{Decision::JokerPlay, 1}));
}

TEST(General, CompletesARowWhenNothingElseFits) {
    TableGrid t{};
    for (int r = 1; r <= 13; ++r) {
        if (r != 4) t[2][r] = kCellConnected;
    }
    lay(t, {D(7), H(7), S(7)});
    RoundState s = situation(2, Hand{}, handOf({D(1), C(4)}), t);
    EXPECT_EQ(sikouRtn5(s), 2);
}

}  // namespace
}  // namespace vantel
