// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "table_builder.h"

namespace vantel {
namespace {

using namespace test;

TEST(CardNumbers, ConversionAtSuitBoundariesAndOutsideTheDeck) {
    int suit = 99;
    EXPECT_EQ(cardCnv(13, suit), 13);
    EXPECT_EQ(suit, 1);
    EXPECT_EQ(cardCnv(14, suit), 1);
    EXPECT_EQ(suit, 2);
    EXPECT_EQ(cardCnv(52, suit), 13);
    EXPECT_EQ(suit, 4);
    // No card and the joker give rank 0 and leave the suit as it was.
    EXPECT_EQ(cardCnv(0, suit), 0);
    EXPECT_EQ(cardCnv(53, suit), 0);
    EXPECT_EQ(suit, 4);
}

TEST(CardNumbers, HeldCardSearchNeverFindsTheJoker) {
    const Hand h = handOf({D(3), S(12)}, /*joker=*/true);
    EXPECT_EQ(cdChk(h, D(3)), 1);
    EXPECT_EQ(cdChk(h, S(12)), 1);
    EXPECT_EQ(cdChk(h, H(3)), 0);
    EXPECT_EQ(cdChk(h, kJoker), 0);
}

TEST(Placement, RowsGrowFromTheSevenInBothDirections) {
    const TableGrid t = sevensOnly();
    EXPECT_EQ(dispChk(t, D(6)), 6);
    EXPECT_EQ(dispChk(t, D(8)), 8);
    EXPECT_EQ(dispChk(t, D(5)), 0);
    EXPECT_EQ(dispChk(t, D(9)), 0);
    EXPECT_EQ(dispChk(t, D(1)), 0);
    EXPECT_EQ(dispChk(t, D(13)), 0);
    EXPECT_EQ(dispChk(t, kNoCard), 0);
    EXPECT_EQ(dispChk(t, kJoker), 0);
}

TEST(Placement, AceAndKingJoinAcrossTheRing) {
    TableGrid t = sevensOnly();
    lay(t, {H(8), H(9), H(10), H(11), H(12), H(13)});
    // The Ace joins the King even though the 2 is not down.
    EXPECT_EQ(dispChk(t, H(1)), 1);
    TableGrid u = sevensOnly();
    lay(u, {S(6), S(5), S(4), S(3), S(2), S(1)});
    // The King joins the Ace even though the Queen is not down.
    EXPECT_EQ(dispChk(u, S(13)), 13);
}

TEST(Placement, AKingOnTheTableTurnsTheLowSideAround) {
    TableGrid t = sevensOnly();
    lay(t, {C(8), C(9), C(10), C(11), C(12), C(13), C(6)});
    // The 5 may not go next to the 6 once the King is down...
    EXPECT_EQ(dispChk(t, C(5)), 0);
    // ...only upward from the Ace side, once the 4 is there.
    lay(t, {C(4)}, kCellConnected);
    EXPECT_EQ(dispChk(t, C(5)), 5);
}

TEST(Placement, AnAceOnTheTableTurnsTheHighSideAround) {
    TableGrid t = sevensOnly();
    lay(t, {D(6), D(5), D(4), D(3), D(2), D(1)});
    EXPECT_EQ(dispChk(t, D(8)), 0);
    lay(t, {D(9)});
    EXPECT_EQ(dispChk(t, D(8)), 8);
}

TEST(Placement, OutOfLineCellsAreNotNeighbours) {
    TableGrid t = sevensOnly();
    lay(t, {D(4)}, kCellOutOfLine);
    EXPECT_EQ(dispChk(t, D(3)), 0);
    EXPECT_EQ(dispChk(t, D(5)), 0);
}

TEST(Placement, LookAheadImaginesOneMoreCellWithoutTouchingTheTable) {
    const TableGrid t = sevensOnly();
    const TableGrid before = t;
    EXPECT_EQ(dispChk2(t, D(5), 1, 6), 1);   // with the 6 imagined, the 5 fits
    EXPECT_EQ(dispChk2(t, D(5), 2, 6), 0);   // another suit's cell does not help
    EXPECT_EQ(dispChk2(t, kNoCard, 1, 6), 0);
    EXPECT_EQ(dispChk2(t, kJoker, 1, 6), 0);
    EXPECT_EQ(t, before);
    // The imagined cell counts even where a dropped card lies out of line.
    TableGrid u = sevensOnly();
    lay(u, {H(6)}, kCellOutOfLine);
    EXPECT_EQ(dispChk2(u, H(5), 3, 6), 1);
}

TEST(Connecting, DroppedRunJoinsWhenANormalPlayReachesIt) {
    TableGrid t = sevensOnly();
    lay(t, {S(6), S(12), S(13)});
    // A dropping seat lays the 4, then the 5: the 5 touches the 6 at once,
    // the 4 stays out of line.
    t[4][4] = kCellOutOfLine;
    flgChk2(t, 4, 4);
    t[4][5] = kCellOutOfLine;
    flgChk2(t, 4, 5);
    EXPECT_EQ(t[4][5], kCellConnected);
    EXPECT_EQ(t[4][4], kCellOutOfLine);
    // With the King down the 3 can only come from the Ace side: the Ace
    // and the 2 leave the 4 alone, the 3's upward walk joins it.
    for (int rank : {1, 2, 3}) {
        ASSERT_NE(dispChk(t, S(rank)), 0) << rank;
        t[4][rank] = kCellConnected;
        flgChk(t, 4, rank);
        EXPECT_EQ(t[4][4], rank == 3 ? kCellConnected : kCellOutOfLine) << rank;
    }
    EXPECT_EQ(t[4][8], kCellEmpty);
}

TEST(Connecting, WalksStopAtTheFirstGapAndCrossTheRing) {
    TableGrid t{};
    // Row: 1=2, 2=2, 3=0, 5=2, 6=1(new), 8=2, 9=0, 11=2, 12=2, 13=2
    t[1][1] = t[1][2] = kCellOutOfLine;
    t[1][5] = kCellOutOfLine;
    t[1][8] = kCellOutOfLine;
    t[1][11] = t[1][12] = t[1][13] = kCellOutOfLine;
    t[1][7] = kCellConnected;
    t[1][6] = kCellConnected;
    flgChk(t, 1, 6);
    EXPECT_EQ(t[1][5], kCellConnected);  // downward walk
    EXPECT_EQ(t[1][8], kCellConnected);  // upward walk steps over the 7
    EXPECT_EQ(t[1][11], kCellOutOfLine); // beyond the gap at 9
    EXPECT_EQ(t[1][1], kCellOutOfLine);  // beyond the gap at 4

    // A King landing walks up from the Ace across the joint.
    TableGrid u{};
    u[2][1] = u[2][2] = kCellOutOfLine;
    u[2][12] = kCellConnected;
    u[2][13] = kCellConnected;
    flgChk(u, 2, 13);
    EXPECT_EQ(u[2][1], kCellConnected);
    EXPECT_EQ(u[2][2], kCellConnected);

    // An Ace landing walks down from the King.
    TableGrid v{};
    v[3][13] = v[3][12] = kCellOutOfLine;
    v[3][2] = kCellConnected;
    v[3][1] = kCellConnected;
    flgChk(v, 3, 1);
    EXPECT_EQ(v[3][13], kCellConnected);
    EXPECT_EQ(v[3][12], kCellConnected);
}

TEST(Connecting, DroppedCardConnectsOnlyItself) {
    TableGrid t{};
    t[1][7] = kCellConnected;
    t[1][5] = kCellOutOfLine;
    t[1][6] = kCellOutOfLine;
    flgChk2(t, 1, 6);
    EXPECT_EQ(t[1][6], kCellConnected);
    EXPECT_EQ(t[1][5], kCellOutOfLine);
    // Ace and King look across the joint.
    TableGrid u{};
    u[2][13] = kCellConnected;
    u[2][1] = kCellOutOfLine;
    flgChk2(u, 2, 1);
    EXPECT_EQ(u[2][1], kCellConnected);
    TableGrid w{};
    w[2][1] = kCellConnected;
    w[2][13] = kCellOutOfLine;
    flgChk2(w, 2, 13);
    EXPECT_EQ(w[2][13], kCellConnected);
    // Touching only out-of-line cells leaves it out of line.
    TableGrid x{};
    x[4][4] = x[4][6] = kCellOutOfLine;
    x[4][5] = kCellOutOfLine;
    flgChk2(x, 4, 5);
    EXPECT_EQ(x[4][5], kCellOutOfLine);
}

TEST(JokerGap, AceBridgesToTheTwoOrOverTheKing) {
    TableGrid t = sevensOnly();
    lay(t, {D(6), D(5), D(4), D(3)});
    const Hand mine = handOf({D(1)}, true);
    EXPECT_EQ(jyoker(t, mine, D(1)), D(2));
    // With the Queen down too and the King free, the later test wins.
    lay(t, {D(8), D(9), D(10), D(11), D(12)});
    EXPECT_EQ(jyoker(t, mine, D(1)), D(13));
    // A gap the seat holds itself is never bridged.
    const Hand withKing = handOf({D(1), D(13)}, true);
    EXPECT_EQ(jyoker(t, withKing, D(1)), D(2));
}

TEST(JokerGap, KingBridgesToTheQueenOrOverTheAce) {
    TableGrid t = sevensOnly();
    lay(t, {C(8), C(9), C(10), C(11)});
    const Hand mine = handOf({C(13)}, true);
    EXPECT_EQ(jyoker(t, mine, C(13)), C(12));
    lay(t, {C(6), C(5), C(4), C(3), C(2)});
    EXPECT_EQ(jyoker(t, mine, C(13)), C(1));
}

TEST(JokerGap, TwoAndQueenLookAcrossTheJointFirst) {
    TableGrid t = sevensOnly();
    lay(t, {H(8), H(9), H(10), H(11), H(12), H(13)});
    EXPECT_EQ(jyoker(t, handOf({H(2)}, true), H(2)), H(1));
    // With the King down, the 2 may not bridge toward the seven even though
    // the 4 is there: the first test decides alone.
    lay(t, {H(6), H(5), H(4)});
    EXPECT_EQ(jyoker(t, handOf({H(2), H(1)}, true), H(2)), 0);

    TableGrid u = sevensOnly();
    lay(u, {S(6), S(5), S(4), S(3), S(2), S(1)});
    EXPECT_EQ(jyoker(u, handOf({S(12)}, true), S(12)), S(13));
    TableGrid v = sevensOnly();
    lay(v, {S(8), S(9), S(10)});
    EXPECT_EQ(jyoker(v, handOf({S(12)}, true), S(12)), S(11));
    lay(v, {S(13)}, kCellConnected);
    EXPECT_EQ(jyoker(v, handOf({S(12)}, true), S(12)), 0);
}

TEST(JokerGap, MiddleCardsBridgeOneCellTowardsAConnectedCard) {
    // A 5 with the 3 down and the 4 in the seat's own hand: no bridge.
    TableGrid u = sevensOnly();
    lay(u, {D(8), D(9), D(10), D(11), D(12), D(13), D(1), D(2), D(3)});
    EXPECT_EQ(jyoker(u, handOf({D(5), D(4)}, true), D(5)), 0);
    EXPECT_EQ(jyoker(u, handOf({D(5)}, true), D(5)), D(4));
    // A 5 reaching the 7 over the free 6.
    EXPECT_EQ(jyoker(sevensOnly(), handOf({C(5)}, true), C(5)), C(6));
    // A 9 with the Jack down and the 10 held elsewhere: the gap is the 10.
    TableGrid w = sevensOnly();
    lay(w, {H(11), H(12), H(13), H(1), H(2), H(3), H(4), H(5), H(6)});
    EXPECT_EQ(jyoker(w, handOf({H(9)}, true), H(9)), H(10));
    // Only the 7 down and the Ace already laid: the 9 gets no joker play.
    TableGrid x = sevensOnly();
    lay(x, {S(6), S(5), S(4), S(3), S(2), S(1)});
    EXPECT_EQ(jyoker(x, handOf({S(9)}, true), S(9)), 0);
    EXPECT_EQ(jyoker(x, handOf({S(9)}, true), kNoCard), 0);
}

// A compare-exchange network sorts every input exactly when it sorts every
// sequence of zeros and ones, so checking all 2^13 of those proves it.
TEST(HandSort, SortsEveryZeroOneInputAndRealHands) {
    for (int bits = 0; bits < (1 << kHandSlots); ++bits) {
        Hand h{};
        for (int i = 0; i < kHandSlots; ++i) h[i + 1] = (bits >> i) & 1;
        h[kJokerSlot] = kJoker;
        sortHand(h);
        ASSERT_TRUE(std::is_sorted(h.begin() + 1, h.begin() + 1 + kHandSlots)) << bits;
        ASSERT_EQ(h[kJokerSlot], kJoker);
    }
    Hand descending{};
    for (int i = 1; i <= kHandSlots; ++i) descending[i] = 53 - i * 4;
    sortHand(descending);
    EXPECT_TRUE(std::is_sorted(descending.begin() + 1, descending.begin() + 14));
    EXPECT_EQ(descending[kJokerSlot], 0);

    std::mt19937 gen(5);
    std::array<int, 52> deck{};
    for (int i = 0; i < 52; ++i) deck[i] = i + 1;
    for (int trial = 0; trial < 2000; ++trial) {
        std::shuffle(deck.begin(), deck.end(), gen);
        Hand h{};
        std::copy(deck.begin(), deck.begin() + 13, h.begin() + 1);
        Hand expected = h;
        std::sort(expected.begin() + 1, expected.begin() + 14);
        sortHand(h);
        ASSERT_EQ(h, expected);
    }
}

}  // namespace
}  // namespace vantel
