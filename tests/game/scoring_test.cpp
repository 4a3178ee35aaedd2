// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/round_scoring.h"

#include <gtest/gtest.h>

namespace vantel {
namespace {

TEST(RoundPoints, PlacesFromTheTopEarnByTheCardsOthersStillHold) {
    // The user goes out first while the others hold 10, 8 and 7 cards.
    EXPECT_EQ(roundPointsFor(1, 1, 0, 25), 1250);
    EXPECT_EQ(roundPointsFor(1, 2, 0, 12), 620);
    EXPECT_EQ(roundPointsFor(1, 3, 1, 4), 340);
    EXPECT_EQ(roundPointsFor(1, 4, 0, 0), 50);
    EXPECT_EQ(roundPointsFor(1, 0, 0, 3), std::nullopt);
    EXPECT_EQ(roundPointsFor(1, 5, 0, 3), std::nullopt);
}

TEST(RoundPoints, DropsScoreFromTheBottom) {
    EXPECT_EQ(roundPointsFor(2, 0, 1, 30), 10);
    EXPECT_EQ(roundPointsFor(2, 1, 2, 30), 200);
    EXPECT_EQ(roundPointsFor(2, 1, 3, 30), 400);
    EXPECT_EQ(roundPointsFor(2, 0, 4, 30), std::nullopt);
    EXPECT_EQ(dropPlace(1), 4);
    EXPECT_EQ(dropPlace(2), 3);
    EXPECT_EQ(dropPlace(3), 2);
}

TEST(Streaks, NoticesAtThreeFiveAndTen) {
    EXPECT_EQ(streakNotice(3), "３連勝です！\r\n私の得点が２倍になります。．．．");
    EXPECT_EQ(streakNotice(5), "５連勝です！\r\n他の人の得点が半分になります。．．．");
    EXPECT_EQ(streakNotice(10),
              "１０戦全勝です！あなたはプロです！\r\n他の人の得点が－９９９９９点になります。．．．");
    for (int n : {0, 1, 2, 4, 6, 7, 8, 9, 11}) EXPECT_EQ(streakNotice(n), std::nullopt) << n;
}

TEST(Streaks, BonusesDoubleHalveAndWipeOut) {
    std::array<int32_t, 5> totals{0, 1000, 2000, 1235, -3};
    applyStreakBonus(3, 2, totals);
    EXPECT_EQ(totals, (std::array<int32_t, 5>{0, 1000, 4000, 1235, -3}));
    applyStreakBonus(5, 2, totals);
    // Halving rounds toward minus infinity.
    EXPECT_EQ(totals, (std::array<int32_t, 5>{0, 500, 4000, 617, -2}));
    std::array<int32_t, 5> wiped{0, -99999, 10, 20, 30};
    applyStreakBonus(5, 3, wiped);
    EXPECT_EQ(wiped[1], -50000);
    EXPECT_EQ(wiped[2], 5);
    applyStreakBonus(10, 1, wiped);
    EXPECT_EQ(wiped, (std::array<int32_t, 5>{0, -50000, -99999, -99999, -99999}));
    std::array<int32_t, 5> none{0, 1, 2, 3, 4};
    applyStreakBonus(4, 1, none);
    applyStreakBonus(2, 1, none);
    EXPECT_EQ(none, (std::array<int32_t, 5>{0, 1, 2, 3, 4}));
    // Doubling saturates instead of wrapping.
    std::array<int32_t, 5> huge{0, 2000000000, 0, 0, 0};
    applyStreakBonus(3, 1, huge);
    EXPECT_EQ(huge[1], INT32_MAX);
}

TEST(Streaks, PassStars) {
    EXPECT_EQ(passStars(1), "★");
    EXPECT_EQ(passStars(2), "★★");
    EXPECT_EQ(passStars(3), "★★★");
    EXPECT_EQ(passStars(0), std::nullopt);
    EXPECT_EQ(passStars(4), std::nullopt);
}

TEST(Places, EqualTotalsShareTheBetterPlace) {
    EXPECT_EQ(placesByTotal({0, 3000, 3000, 1200, -99999}), (std::array<int32_t, 5>{0, 1, 1, 3, 4}));
    EXPECT_EQ(placesByTotal({0, 5, 5, 5, 5}), (std::array<int32_t, 5>{0, 1, 1, 1, 1}));
    EXPECT_EQ(placesByTotal({0, 1, 2, 3, 4}), (std::array<int32_t, 5>{0, 4, 3, 2, 1}));
    EXPECT_EQ(placesByTotal({0, 7, 9, 9, 1}), (std::array<int32_t, 5>{0, 3, 1, 1, 4}));
}

}  // namespace
}  // namespace vantel
