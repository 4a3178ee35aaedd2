// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The record kept at a friends' table from seat 1's stream alone, against
// the engine's whole truth: real friends' tables, seat 1 a person playing
// random legal moves (passes and drops far more often than a player), matches played out and matches left at random moments. The
// local table's recorder, attached to the same engine as its observer,
// says what the seat's record must hold.
#include "records/seat_recorder.h"

#include <gtest/gtest.h>

#include "game/search/sampler.h"
#include "game/table.h"
#include "records/match_recorder.h"
#include "records/record_file.h"
#include "tests/platform/file_fixtures.h"

namespace vantel {
namespace {

namespace fs = std::filesystem;

TEST(SeatRecorder, CountsInTheFriendsColumnWhatTheEngineSaysOfSeatOne) {
    testing::TempFolder folder;
    const fs::path seatFile = folder / "seat.json", truthFile = folder / "truth.json";
    // The seat's first write finds a damaged file and says so once.
    testing::writeBytes(seatFile, "{\"format\": 1,");
    int damaged = 0;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        TableSetup setup = TableSetup::local(seed);
        setup.kind = TableKind::Friends;
        setup.seats[1] = SeatKind::Person;
        setup.seats[2] = seed % 2 ? SeatKind::Person : SeatKind::Computer;
        MatchState state;
        state.seatName = {"", "わたし", "ゆうこ", "はるか", "みさこ"};
        MatchRecorder truth(state, truthFile);
        Table table(setup, &state, &truth);
        SeatRecorder seat(seatFile);
        seat.setDamagedHandler([&] { ++damaged; });
        seat.setOpponents({"ゆうこ", "はるか", "みさこ"});
        SearchRandom random(seed);
        // Two matches at each table; every third table is left at a random
        // step (in the first match, the second, or between them), and every
        // third one at the first streak's bonus, between the round's end and
        // its results.
        const int leaveAt = seed % 3 == 0 ? random.below(2500) : -1;
        bool streak = false;
        uint64_t after = 0;
        int ended = 0;
        table.startMatch();
        for (int step = 0; ended < 2; ++step) {
            for (const TableEvent& e : table.eventsFor(1, after)) {
                seat.seen(e);
                streak |= e.kind == EventKind::Streak && seed % 3 == 1;
            }
            after = table.lastSeq();
            if (step == leaveAt || streak) {
                // As the local table leaves: only a match whose first round began.
                if (state.roundNumber > 0) truth.noteLeft();
                seat.noteLeft();
                break;
            }
            if (random.below(40) == 0) {
                truth.noteHint();
                seat.noteHint();
            }
            if (const int s = table.awaitedSeat()) {
                // A card mostly, when there is one, so that some matches are won.
                std::vector<TurnMove> moves = table.legalMovesFor(s);
                if (random.below(8) != 0) {
                    std::erase_if(moves, [](const TurnMove& m) { return m.kind != TurnMove::Card; });
                    if (moves.empty()) moves = table.legalMovesFor(s);
                }
                ASSERT_FALSE(table.submit(s, moves[random.below(static_cast<int>(moves.size()))]));
            } else if (!table.step() && ++ended < 2) {
                table.startMatch();
            }
        }
    }

    const PlayRecord got = peekRecordFile(seatFile).record, want = peekRecordFile(truthFile).record;
    EXPECT_EQ(damaged, 1);
    const StrengthFigures& f = got.friends;
    EXPECT_EQ(f, want.at(Strength::Normal));
    EXPECT_EQ(got.overall, want.overall);
    EXPECT_EQ(got.byStrength, PlayRecord{}.byStrength);
    ASSERT_EQ(got.recent.size(), want.recent.size());
    for (size_t i = 0; i < got.recent.size(); ++i) {
        const RecentMatch &m = got.recent[i], &truly = want.recent[i];
        EXPECT_TRUE(m.withFriends);
        EXPECT_EQ(std::tuple(m.place, m.total, m.opponents), std::tuple(truly.place, truly.total, truly.opponents));
    }

    // Not a comparison of two empty records: everything came up.
    EXPECT_GE(f.played, 12);
    EXPECT_GE(f.left, 2);
    for (const std::int64_t n : {f.roundsWon, f.passes, f.drops, f.hints, f.places[1], f.places[4]}) EXPECT_GT(n, 0);
}

}  // namespace
}  // namespace vantel
