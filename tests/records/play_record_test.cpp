// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The player's record over a scripted run of matches at the three
// strengths: wins and places, left matches, rounds and what was used in
// them, streaks of each strength and across them, and the list of the last
// hundred matches.
#include "records/play_record.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vantel {
namespace {

RecentMatch match(Strength strength, int place, std::int32_t total) {
    RecentMatch m;
    m.playedAt = "2026-03-07T21:00:00+09:00";
    m.strength = strength;
    m.place = place;
    m.total = total;
    m.opponents = {"ゆうこ", "はるか", "みさこ"};
    return m;
}

TEST(PlayRecord, FiguresOfEachStrengthAndOfAll) {
    using enum Strength;
    PlayRecord r;
    addRound(r, Normal, {true, 1, 0, 1});
    addRound(r, Normal, {false, 2, 1, 0});
    addRound(r, Normal, {true, 0, 0, 0});
    addRound(r, Hard, {true, 0, 0, 0});
    // Three wins at three strengths, a left match, a win, then three losses.
    addPlayedMatch(r, match(Normal, 1, 500));
    addPlayedMatch(r, match(Hard, 1, 700));
    addPlayedMatch(r, match(Easy, 1, 900));
    addLeftMatch(r, Normal, {true, 2, 1, 1});  // its unfinished round won nothing
    addPlayedMatch(r, match(Normal, 1, 800));
    addPlayedMatch(r, match(Hard, 3, -200));
    addPlayedMatch(r, match(Normal, 2, 300));
    addPlayedMatch(r, match(Normal, 4, -50));

    // played, won, left, rounds, rounds won, passes, drops, hints
    const auto counts = [](const StrengthFigures& f) {
        return std::tuple(f.played, f.won(), f.left, f.rounds, f.roundsWon, f.passes, f.drops, f.hints);
    };
    const StrengthFigures& normal = r.at(Normal);
    EXPECT_EQ(counts(normal), std::tuple(4, 2, 1, 3, 2, 5, 2, 2));
    EXPECT_EQ(normal.places, (std::array<std::int64_t, 5>{0, 2, 1, 0, 1}));
    EXPECT_DOUBLE_EQ(*normal.winRate(), 0.5);
    // The left match broke no streak: two wins in a row, then two losses.
    EXPECT_EQ(normal.streaks, (Streaks{-2, 2, 2}));
    EXPECT_EQ(normal.streaks.currentWins(), 0);
    EXPECT_EQ(*normal.bestTotal(), 800);
    EXPECT_DOUBLE_EQ(*normal.averageTotal(), 387.5);
    EXPECT_EQ(r.at(Hard).streaks, (Streaks{-1, 1, 1}));
    EXPECT_EQ(*r.at(Hard).bestTotal(), 700);
    EXPECT_DOUBLE_EQ(*r.at(Hard).averageTotal(), 250);
    EXPECT_EQ(r.at(Easy).streaks.currentWins(), 1);

    // All strengths: the sums, and the streak of the matches in the order
    // played, whatever their strength: four wins running, then three losses.
    const StrengthFigures all = r.all();
    EXPECT_EQ(counts(all), std::tuple(7, 4, 1, 4, 3, 5, 2, 2));
    EXPECT_EQ(all.places, (std::array<std::int64_t, 5>{0, 4, 1, 1, 1}));
    EXPECT_EQ(all.streaks, (Streaks{-3, 4, 3}));
    EXPECT_EQ(*all.bestTotal(), 900);
    EXPECT_DOUBLE_EQ(*all.averageTotal(), 2950.0 / 7);
    EXPECT_EQ(r.recent.size(), 7u);
    EXPECT_EQ(r.recent.back(), match(Normal, 4, -50));
    EXPECT_EQ(recordProblem(r), "");

    // Nothing played: no rate, best or average to show.
    EXPECT_FALSE(PlayRecord{}.all().winRate());
    EXPECT_FALSE(PlayRecord{}.all().averageTotal());
    EXPECT_FALSE(PlayRecord{}.at(Hard).bestTotal());
}

// Friends' tables: a column of their own, counted in the whole and in the
// overall streak with the local matches, never in a strength's column.
TEST(PlayRecord, FriendsMatchesHaveAColumnOfTheirOwnAndCountInTheWhole) {
    PlayRecord r;
    RecentMatch withFriends = match(Strength::Easy, 1, 700);
    withFriends.withFriends = true;
    addRound(r, kFriendsColumn, {true, 1, 1, 1});
    addPlayedMatch(r, match(Strength::Normal, 1, 500));
    addPlayedMatch(r, withFriends);
    addLeftMatch(r, kFriendsColumn, {false, 2, 0, 0});
    withFriends.place = 3;
    withFriends.total = -100;
    addPlayedMatch(r, withFriends);

    const StrengthFigures& f = r.friends;
    EXPECT_EQ(std::tuple(f.played, f.won(), f.left, f.rounds, f.roundsWon, f.passes, f.drops, f.hints),
              std::tuple(2, 1, 1, 1, 1, 3, 1, 1));
    EXPECT_EQ(f.streaks, (Streaks{-1, 1, 1}));
    EXPECT_EQ(*f.bestTotal(), 700);
    EXPECT_EQ(r.at(kFriendsColumn), f);
    EXPECT_EQ(r.at(Strength::Easy), StrengthFigures{});
    EXPECT_EQ(r.at(Strength::Normal).played, 1);
    EXPECT_EQ(r.all().played, 3);
    EXPECT_EQ(r.all().passes, 3);
    EXPECT_EQ(r.all().streaks, (Streaks{-1, 2, 1}));
    // The local table's own streak sees its one win only.
    EXPECT_EQ(r.localTable().streaks, (Streaks{1, 1, 0}));
    EXPECT_EQ(r.localTable().played, 1);
    EXPECT_TRUE(r.recent.back().column().friends);
    EXPECT_EQ(r.recent.back().strength, kDefaultStrength);
    EXPECT_EQ(recordProblem(r), "");
    r.friends.places[2] += 1;
    EXPECT_EQ(recordProblem(r), "friends: places that do not add up to the matches played");
}

// Each kind keeps its last hundred, in the order played between them.
TEST(PlayRecord, ListsTheLastHundredMatchesOfEachKindAndCountsThemAll) {
    PlayRecord r;
    for (int i = 0; i < 130; ++i) {
        addPlayedMatch(r, match(Strength::Hard, 1 + i % 4, i));
        if (i % 2 == 0) continue;
        RecentMatch withFriends = match(Strength::Hard, 1, 1000 + i);
        withFriends.withFriends = true;
        addPlayedMatch(r, withFriends);
    }
    ASSERT_EQ(r.recent.size(), kRecentMatches + 65);
    // Hard matches 0 and 1 left the list; every friends' match is in it.
    EXPECT_EQ(r.recent.front().total, 1001);
    EXPECT_EQ(r.recent[15].total, 30);
    EXPECT_EQ(r.recent.back().total, 1129);
    EXPECT_EQ(r.all().played, 195);
    EXPECT_EQ(r.at(Strength::Hard).places[1], 33);
    EXPECT_EQ(recordProblem(r), "");
    for (int i = 0; i < 40; ++i) addPlayedMatch(r, r.recent.back());
    EXPECT_EQ(r.recent.size(), 2 * kRecentMatches);
    EXPECT_EQ(r.recent.front().total, 1011);
    EXPECT_EQ(r.recent[10].total, 30);
    EXPECT_EQ(recordProblem(r), "");
}

}  // namespace
}  // namespace vantel
