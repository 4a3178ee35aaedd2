// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The match winner's high score and ranking entry, and the ranking clear
// command, through a real settings file.
#include "records/ranking.h"

#include <gtest/gtest.h>

#include "platform/profile/profile.h"
#include "tests/platform/file_fixtures.h"

namespace vantel {
namespace {

using testing::readBytes;
using testing::TempFolder;

constexpr LocalDateTime kNow{2026, 3, 7, 9, 5, 3};

class Ranking : public ::testing::Test {
protected:
    TempFolder folder;
    SettingsLocation where{folder.path(), {}};
    MatchState state;

    void SetUp() override {
        ASSERT_TRUE(readSettings(state, where).ok());
        for (int seat = 1; seat <= kSeats; ++seat) state.seatName[seat] = "Seat" + std::to_string(seat);
    }

    // Sets the ranking totals (row 1 first) in memory and in the file.
    void setRanking(std::initializer_list<int32_t> points) {
        int row = 1;
        for (int32_t p : points) {
            ASSERT_TRUE(profile::writeString(state.iniPath, rankSection(row), "Name", "Old" + std::to_string(row)));
            ASSERT_TRUE(profile::writeString(state.iniPath, rankSection(row), "Ten", std::to_string(p)));
            ++row;
        }
        ASSERT_TRUE(readSettings(state, where).ok());
    }

    // A match won by `winner` with `total`.
    SaitenResult finish(int winner, int32_t total) {
        for (int seat = 1; seat <= kSeats; ++seat) state.finalPlace[seat] = seat == winner ? 1 : 2;
        state.matchTotal[winner] = total;
        state.rankInPosition = 0;
        return saiten(state, kNow);
    }

    // What a fresh read of the file gives.
    MatchState reread() {
        MatchState fresh;
        EXPECT_TRUE(readSettings(fresh, where).ok());
        return fresh;
    }

    std::string stored(const std::string& section, const char* key) {
        return profile::readString(state.iniPath, section, key, "<missing>", 255);
    }
};

TEST_F(Ranking, AWinnerAboveAFreshRankingTakesRowOne) {
    const SaitenResult result = finish(1, 1500);
    EXPECT_EQ(result.seat, 1);
    EXPECT_EQ(result.rankingRow, 1);
    EXPECT_TRUE(result.hiScoreChanged);
    EXPECT_EQ(state.rankInPosition, 1);
    EXPECT_EQ(state.rankInSeat, 1);
    EXPECT_EQ(state.selectionPhase, 0);

    const MatchState file = reread();
    EXPECT_EQ(file.rankName[1], "Seat1");
    EXPECT_EQ(file.rankPoints[1], 1500);
    EXPECT_EQ(file.rankDate[1], "2026/03/07");
    EXPECT_EQ(file.rankTime[1], "09:05:03");
    for (int row = 2; row <= 10; ++row) {
        EXPECT_EQ(file.rankPoints[row], 100) << row;
        EXPECT_EQ(file.rankName[row], "") << row;
    }
    EXPECT_EQ(file.hiScore, 1500);
    EXPECT_EQ(file.hiScorePlayer, "Seat1");
}

TEST_F(Ranking, AnEqualTotalGoesAboveTheEarlierEntryAndRowTenIsLost) {
    setRanking({5000, 4000, 3000, 2900, 2800, 2700, 2600, 2500, 2400, 2300});
    const SaitenResult result = finish(3, 4000);
    EXPECT_EQ(result.rankingRow, 2);
    EXPECT_EQ(state.rankInPosition, 2);  // overrides the 1 of the high score
    EXPECT_EQ(state.rankInSeat, 3);

    const MatchState file = reread();
    EXPECT_EQ(file.rankName[1], "Old1");
    EXPECT_EQ(file.rankName[2], "Seat3");
    EXPECT_EQ(file.rankPoints[2], 4000);
    EXPECT_EQ(file.rankName[3], "Old2");
    EXPECT_EQ(file.rankPoints[3], 4000);
    EXPECT_EQ(file.rankName[10], "Old9");
    EXPECT_EQ(file.rankPoints[10], 2400);
}

TEST_F(Ranking, ATotalBelowEveryRowEntersNothingButTheRowsAreWrittenBack) {
    const SaitenResult result = finish(2, 50);
    EXPECT_EQ(result.rankingRow, 0);
    EXPECT_FALSE(result.hiScoreChanged);
    EXPECT_EQ(state.rankInPosition, 0);
    EXPECT_EQ(state.rankInSeat, 2);
    EXPECT_EQ(state.selectionPhase, 0);
    // The factory file leaves Ten empty; the write-back stores the 100 it reads as.
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(stored(rankSection(row), "Ten"), "100");
        EXPECT_EQ(stored(rankSection(row), "Name"), "<missing>");
    }
    EXPECT_EQ(stored("HiScore", "Score"), "100");
}

TEST_F(Ranking, AHighScoreReachedWithoutARankingPlaceSetsPositionOne) {
    ASSERT_TRUE(profile::writeString(state.iniPath, "HiScore", "Score", "60"));
    ASSERT_TRUE(readSettings(state, where).ok());
    const SaitenResult result = finish(4, 60);  // equal: the holder is replaced
    EXPECT_TRUE(result.hiScoreChanged);
    EXPECT_EQ(result.rankingRow, 0);
    EXPECT_EQ(state.rankInPosition, 1);
    EXPECT_EQ(state.hiScorePlayer, "Seat4");
    EXPECT_EQ(stored("HiScore", "Player"), "Seat4");
    EXPECT_EQ(stored("HiScore", "Score"), "60");
}

TEST_F(Ranking, TheHolderNameLosesSurroundingSpacesTheRankingNameKeepsThem) {
    state.seatName[1] = "  ゆうこ ";
    finish(1, 900);
    EXPECT_EQ(state.hiScorePlayer, "ゆうこ");
    EXPECT_EQ(state.rankName[1], "  ゆうこ ");
}

TEST_F(Ranking, OnlyTheLowestSeatAmongTiedWinnersIsChecked) {
    state.finalPlace = {0, 3, 1, 4, 1};
    state.matchTotal = {0, 10, 2000, 5, 2000};
    const SaitenResult result = saiten(state, kNow);
    EXPECT_EQ(result.seat, 2);
    EXPECT_EQ(state.hiScorePlayer, "Seat2");
    const MatchState file = reread();
    EXPECT_EQ(file.rankName[1], "Seat2");
    EXPECT_EQ(file.rankName[2], "");
}

TEST_F(Ranking, AComputerWinnerBecomesTheHolder) {
    finish(3, 3000);
    EXPECT_EQ(state.hiScorePlayer, "Seat3");
    EXPECT_EQ(reread().hiScorePlayer, "Seat3");
}

TEST_F(Ranking, ATotalBeyond16BitsIsStoredAs32767AndStillReads) {
    const SaitenResult result = finish(1, 40000);
    EXPECT_TRUE(result.hiScoreChanged);
    EXPECT_TRUE(result.hiScoreClamped);
    EXPECT_EQ(state.hiScore, 32767);
    EXPECT_EQ(stored("HiScore", "Score"), "32767");
    const MatchState file = reread();  // not a settings error
    EXPECT_EQ(file.hiScore, 32767);
    EXPECT_EQ(file.rankPoints[1], 40000);  // the ranking keeps the full total

    // The clamped score is still beaten by an equal or larger total.
    EXPECT_TRUE(finish(2, 32767).hiScoreChanged);
    EXPECT_FALSE(finish(2, 32767).hiScoreClamped);
}

TEST_F(Ranking, WithoutAWinnerNothingIsWritten) {
    const std::string before = readBytes(state.iniPath);
    state.finalPlace = {0, 2, 2, 3, 4};
    state.matchTotal = {0, 9000, 9000, 1, 1};
    state.selectionPhase = 1;
    const SaitenResult result = saiten(state, kNow);
    EXPECT_EQ(result.seat, 0);
    EXPECT_FALSE(result.hiScoreChanged);
    EXPECT_EQ(state.selectionPhase, 0);
    EXPECT_EQ(readBytes(state.iniPath), before);
}

TEST_F(Ranking, AMatchAtEasyEntersNeitherTheRankingNorTheHighScore) {
    const std::string before = readBytes(state.iniPath);
    state.matchStrength = Strength::Easy;
    const SaitenResult easy = finish(1, 9000);
    EXPECT_EQ(easy.seat, 0);
    EXPECT_FALSE(easy.hiScoreChanged);
    EXPECT_EQ(easy.rankingRow, 0);
    EXPECT_EQ(state.rankInPosition, 0);
    EXPECT_EQ(state.selectionPhase, 0);
    EXPECT_EQ(readBytes(state.iniPath), before);

    for (const Strength ranked : {Strength::Normal, Strength::Hard}) {
        state.matchStrength = ranked;
        EXPECT_EQ(finish(1, 9000).rankingRow, 1);
    }
}

TEST_F(Ranking, AMatchEndMergesWithTheFileAsItIsNowOrFallsBackToMemory) {
    // Another copy recorded 2000 after this one read the file.
    ASSERT_TRUE(profile::writeStrings(state.iniPath, {{"HiScore", "Score", "2000"}, {"HiScore", "Player", "B"},
                                                      {"Lank1", "Name", "B"}, {"Lank1", "Ten", "2000"}}));
    SaitenResult result = finish(1, 1500);
    EXPECT_EQ(result.rankingRow, 2);
    EXPECT_EQ(state.rankInPosition, 2);
    EXPECT_FALSE(result.hiScoreChanged);
    MatchState file = reread();
    for (const MatchState* view : {&state, &file}) {
        EXPECT_EQ(view->hiScore, 2000);
        EXPECT_EQ(view->rankName[1], "B");
        EXPECT_EQ(view->rankPoints[2], 1500);
    }

    // A file gone or holding a total the game refuses: memory stands in.
    std::filesystem::remove(state.iniPath);
    EXPECT_EQ(finish(2, 1700).rankingRow, 2);
    ASSERT_TRUE(profile::writeStrings(state.iniPath, {{"HiScore", "Score", "2000"}, {"Lank1", "Ten", "abc"}}));
    EXPECT_EQ(finish(3, 1600).rankingRow, 3);
    EXPECT_EQ(stored("Lank1", "Ten"), "2000");
    EXPECT_EQ(stored("Lank3", "Ten"), "1600");
    EXPECT_EQ(stored("Lank4", "Ten"), "1500");
}

TEST(ClockTexts, UseTheJapaneseShortFormats) {
    EXPECT_EQ(shortDateText({2004, 12, 31, 23, 59, 58}), "2004/12/31");
    EXPECT_EQ(shortTimeText({2004, 12, 31, 23, 59, 58}), "23:59:58");
    EXPECT_EQ(shortDateText(kNow), "2026/03/07");
    EXPECT_EQ(shortTimeText(kNow), "09:05:03");
}

TEST_F(Ranking, ClearingOnOkEmptiesTheRankingAndHighScoreAndReadsBack) {
    finish(1, 1500);
    finish(2, 1200);
    ASSERT_TRUE(profile::writeString(state.iniPath, "Sanka1", "Name", "残る"));
    state.hiScore = 1;  // in memory only: the re-read replaces it

    const ClearRankingResult result = mnuClear(state, true, where);
    EXPECT_TRUE(result.cleared);
    EXPECT_TRUE(result.reread.ok());
    EXPECT_EQ(state.hiScore, 100);
    EXPECT_EQ(state.hiScorePlayer, "???");
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(state.rankName[row], "");
        EXPECT_EQ(state.rankPoints[row], 100);
        EXPECT_EQ(state.rankDate[row], "");
        EXPECT_EQ(state.rankTime[row], "");
        EXPECT_EQ(stored(rankSection(row), "Ten"), "<missing>");  // stored empty
    }
    EXPECT_EQ(stored("HiScore", "Score"), "100");
    EXPECT_EQ(state.memberName[1], "残る");
}

TEST_F(Ranking, ClearingOnCancelWritesNothingButReadsTheFileAgain) {
    finish(1, 1500);
    const std::string before = readBytes(state.iniPath);
    state.hiScore = 1;
    state.hiScorePlayer = "changed in memory";
    state.selectionPhase = 0;

    const ClearRankingResult result = mnuClear(state, false, where);
    EXPECT_FALSE(result.cleared);
    EXPECT_TRUE(result.reread.ok());
    EXPECT_EQ(readBytes(state.iniPath), before);
    EXPECT_EQ(state.hiScore, 1500);
    EXPECT_EQ(state.hiScorePlayer, "Seat1");
    EXPECT_EQ(state.rankPoints[1], 1500);
    EXPECT_EQ(state.selectionPhase, 1);
}

TEST_F(Ranking, AClearThatCannotBeWrittenIsNotReportedAsDone) {
    std::filesystem::remove(state.iniPath);
    std::filesystem::create_directory(state.iniPath);  // a folder where the file should be
    const ClearRankingResult result = mnuClear(state, true, where);
    EXPECT_FALSE(result.cleared);
    EXPECT_EQ(result.reread.status, SettingsStatus::Fatal);
}

}  // namespace
}  // namespace vantel
