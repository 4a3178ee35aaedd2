// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game/game_observer.h"
#include "game/rules.h"
#include "recording_view.h"
#include "table_builder.h"
#include "tools/sim/user_policy.h"

namespace vantel {
namespace {

using namespace test;

// Records the observer's events as short strings for order checks.
struct EventLog : GameObserver {
    std::vector<std::string> events;
    std::vector<std::array<Hand, 5>> deals;
    std::vector<int> blockers;
    void onDeal(int, const std::array<Hand, 5>& hands, int blocker) override {
        deals.push_back(hands);
        blockers.push_back(blocker);
        events.push_back("deal");
    }
    void onPlay(int seat, int, int card) override { add("play", seat, card); }
    void onJoker(int seat, int gap) override { add("joker", seat, gap); }
    void onForced(int seat, int, int card) override { add("forced", seat, card); }
    void onPass(int seat, int count) override { add("pass", seat, count); }
    void onDrop(int seat) override { add("drop", seat, 0); }
    void onLay(int seat, int, int card, int cell) override { add("lay", seat, card * 10 + cell); }
    void onOut(int seat, int place, int points) override {
        add("out", seat, place);
        outPoints.push_back(points);
    }
    void add(const char* what, int seat, int value) {
        events.push_back(std::string(what) + " " + std::to_string(seat) + " " + std::to_string(value));
    }
    std::vector<int> outPoints;
};

// Every card 1..52 is in exactly one hand slot or on the table, the counts
// match the hands, and the places add up to the seats that are out. Hand-built
// situations hold only some of the deck: for them no card may be in two places.
void expectRoundInvariants(const RoundState& s, bool fullDeck = true) {
    std::array<int, 53> seen{};
    for (int seat = 1; seat <= 4; ++seat) {
        int held = 0;
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            const int card = s.hand[seat][slot];
            if (card == 0) continue;
            ASSERT_TRUE(isCard(card));
            ++seen[card];
            ++held;
        }
        ASSERT_EQ(s.cardsLeft[seat], held) << "seat " << seat;
    }
    for (int card = 1; card <= 52; ++card) {
        if (s.table[suitOf(card)][rankOf(card)] != kCellEmpty) ++seen[card];
        if (fullDeck) {
            ASSERT_EQ(seen[card], 1) << "card " << card;
        } else {
            ASSERT_LE(seen[card], 1) << "card " << card;
        }
    }
    int jokers = 0;
    for (int seat = 1; seat <= 4; ++seat) jokers += s.hand[seat][kJokerSlot] != 0;
    ASSERT_LE(jokers, 1);
    int out = 0;
    for (int seat = 1; seat <= 4; ++seat) out += s.cardsLeft[seat] == 0;
    ASSERT_EQ(s.placeCount + s.dropCount, out);
}

struct Table {
    MatchPlay match;
    RecordingView view;
    Random random;
    EventLog log;
    Engine engine;

    explicit Table(uint64_t seed) : random(seed), engine(match, view, random, &log) {
        for (int seat = 1; seat <= 4; ++seat) {
            match.seatName[seat] = "P" + std::to_string(seat);
            match.seatSex[seat] = 1;
        }
        for (int i = 1; i <= 9; ++i) {
            match.femaleLines[i] = "F" + std::to_string(i);
            match.maleLines[i] = "M" + std::to_string(i);
        }
    }

    // Plays until the engine stops waiting for the user.
    void playOut() {
        while (engine.awaitingUser()) playUserTurn(engine);
    }
};

TEST(WholeRounds, InvariantsHoldAfterEveryTurnOverThousandsOfRounds) {
    int rounds = 0;
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        Table t(seed);
        int matches = 0;
        t.view.onRetry = [&] { return ++matches < 8; };
        t.view.onPause = [&](int ms) {
            if (ms == 1000) expectRoundInvariants(t.engine.round());
        };
        t.view.onResults = [&] {
            ++rounds;
            const RoundState& s = t.engine.round();
            expectRoundInvariants(s);
            EXPECT_EQ(s.roundOver, 1);
            EXPECT_EQ(s.placeCount + s.dropCount, 4);
            for (int seat = 1; seat <= 4; ++seat) EXPECT_EQ(s.cardsLeft[seat], 0);
        };
        t.engine.mnuKaisiClick();
        t.playOut();
        EXPECT_EQ(matches, 8);
        EXPECT_FALSE(t.engine.awaitingUser());
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(rounds, 40 * 8 * 10);
}

TEST(WholeRounds, DealFollowsTheRules) {
    Table t(99);
    int matches = 0;
    t.view.onRetry = [&] { return ++matches < 30; };
    t.engine.mnuKaisiClick();
    t.playOut();
    ASSERT_EQ(t.log.deals.size(), 300u);
    bool userHadJokerBefore = false;
    std::set<int> blockers;
    size_t event = 0;
    for (size_t d = 0; d < t.log.deals.size(); ++d) {
        const auto& hands = t.log.deals[d];
        std::set<int> cards;
        int jokerHolder = 0;
        int sevenOfDiamonds = 0;
        for (int seat = 1; seat <= 4; ++seat) {
            for (int slot = 1; slot <= 13; ++slot) {
                cards.insert(hands[seat][slot]);
                if (hands[seat][slot] == 7) sevenOfDiamonds = seat;
            }
            if (hands[seat][kJokerSlot] == kJoker) jokerHolder = seat;
        }
        EXPECT_EQ(cards.size(), 52u);
        EXPECT_TRUE(std::is_sorted(hands[1].begin() + 1, hands[1].begin() + 14));
        ASSERT_NE(jokerHolder, 0);
        // The user never gets the joker at two deals running.
        EXPECT_FALSE(userHadJokerBefore && jokerHolder == 1) << "deal " << d;
        userHadJokerBefore = jokerHolder == 1;
        EXPECT_NE(t.log.blockers[d], 1);
        blockers.insert(t.log.blockers[d]);
        // The seat dealt the seven of diamonds makes the first move.
        while (t.log.events[event] != "deal") ++event;
        const std::string& first = t.log.events[event + 1];
        EXPECT_EQ(first.substr(first.find(' ') + 1, 1), std::to_string(sevenOfDiamonds)) << first;
        ++event;
    }
    EXPECT_EQ(blockers, (std::set<int>{2, 3, 4}));
}

TEST(WholeRounds, MatchEndRecordsAsksAndClears) {
    Table t(3);
    t.view.music = true;
    t.engine.mnuKaisiClick();
    t.playOut();
    EXPECT_EQ(t.view.results, 10);
    EXPECT_EQ(t.view.recorded, 1);
    ASSERT_EQ(t.view.screens.size(), 2u);
    EXPECT_EQ(t.view.screens[0], MatchEndScreen::Announcement);
    const bool userWon = t.view.screens[1] == MatchEndScreen::UserWon;
    EXPECT_EQ(t.view.clears, 1);
    EXPECT_EQ(t.match.roundNumber, 0);
    for (int seat = 1; seat <= 4; ++seat) EXPECT_EQ(t.match.matchTotal[seat], 0);
    EXPECT_TRUE(t.engine.isEnabled(Control::StartMenu));
    EXPECT_TRUE(t.view.controls[static_cast<int>(Control::StartMenu)]);
    // The jingle and the effect of the match end, then the music stops.
    const auto& sounds = t.view.sounds;
    ASSERT_GE(sounds.size(), 3u);
    EXPECT_EQ(sounds[sounds.size() - 3], userWon ? "effect 6" : "effect 7");
    EXPECT_EQ(sounds[sounds.size() - 2], userWon ? "music 4" : "music 5");
    EXPECT_EQ(sounds.back(), "stop");
    // A new game can be started and begins at round 1.
    t.engine.mnuKaisiClick();
    EXPECT_EQ(t.match.roundNumber, 1);
}

TEST(WholeRounds, RoundEndMusicFollowsTheUsersPlace) {
    for (uint64_t seed = 1; seed <= 30; ++seed) {
        Table t(seed);
        t.view.music = true;
        t.view.onResults = [&] {
            const bool userFirst = t.view.caption(Caption::SeatPass, 0) == "1番";
            // stop, the round music, then the 3-second pause
            const auto& sounds = t.view.sounds;
            ASSERT_GE(sounds.size(), 2u);
            EXPECT_EQ(sounds[sounds.size() - 2], "stop");
            EXPECT_EQ(sounds.back(), userFirst ? "music 2" : "music 3");
            EXPECT_EQ(t.view.pauses.back(), 3000);
        };
        t.engine.mnuKaisiClick();
        t.playOut();
    }
}

// A hand-built round: sevens down, hands as given, `seat` just moved.
void setUp(Engine& engine, int lastSeat, std::array<Hand, 5> hands, TableGrid table) {
    RoundState& s = engine.roundState();
    s = RoundState{};
    s.hand = hands;
    s.table = table;
    s.currentSeat = lastSeat;
    s.blockerSeat = 2;
    for (int seat = 1; seat <= 4; ++seat) {
        int n = 0;
        for (int k = 1; k <= kHandSlots; ++k) n += hands[seat][k] != 0;
        s.cardsLeft[seat] = n;
    }
}

TEST(Turns, ThreeComputersDropAndTheUsersCardsAreLaidAtOnce) {
    Table t(1);
    // Nothing the computers hold can be played; all their passes are used.
    setUp(t.engine, 1,
          {Hand{}, handOf({D(5), D(10), C(2)}), handOf({D(1), D(2)}), handOf({C(1), C(13)}),
           handOf({H(1), H(13), S(1)})},
          sevensOnly());
    for (int seat = 2; seat <= 4; ++seat) t.engine.roundState().passCount[seat] = 3;
    std::array<int32_t, 5> points{};
    std::string userPlace;
    t.view.onResults = [&] {
        points = t.match.roundPoints;
        userPlace = t.view.caption(Caption::SeatPass, 0);
        expectRoundInvariants(t.engine.round(), false);
    };
    t.engine.playGame();
    EXPECT_EQ(userPlace, "1番");
    EXPECT_EQ(points[2], 10);    // first to drop: place 4
    EXPECT_EQ(points[3], 200);   // place 3
    EXPECT_EQ(points[4], 400);   // place 2
    EXPECT_EQ(points[1], 1000);  // the others hold nothing any more
    // The user's cards went down connected, whether they fitted or not.
    std::vector<std::string> userLays;
    for (const auto& e : t.log.events) {
        if (e.rfind("lay 1 ", 0) == 0) userLays.push_back(e);
    }
    EXPECT_EQ(userLays, (std::vector<std::string>{"lay 1 51", "lay 1 101", "lay 1 151"}));
    // The drops spoke their give-up lines.
    int giveUps = 0;
    for (const auto& line : t.view.speech) giveUps += line.text.ends_with("F5");
    EXPECT_EQ(giveUps, 3);
}

TEST(Turns, ComputerPassesWithStarsThenDropsOut) {
    Table t(1);
    // Seat 3 can play nothing; seat 2 is the blocker and seat 4 holds cards
    // nobody can reach either.
    setUp(t.engine, 2,
          {Hand{}, handOf({S(3)}), handOf({C(3)}), handOf({D(3), D(4), D(13)}), handOf({H(3)})},
          sevensOnly());
    t.engine.batle();
    EXPECT_EQ(t.engine.round().passCount[3], 1);
    EXPECT_EQ(t.view.caption(Caption::SeatPass, 2), "★");
    ASSERT_FALSE(t.view.speech.empty());
    EXPECT_EQ(t.view.speech.back().text, "P3\r\nパスします・・・");
    EXPECT_EQ(t.view.speech.back().seat, 3);
    for (int pass = 2; pass <= 3; ++pass) {
        t.engine.roundState().currentSeat = 2;
        t.engine.batle();
    }
    EXPECT_EQ(t.view.caption(Caption::SeatPass, 2), "★★★");
    // The fourth pass: the give-up line, the cards go down out of line,
    // and the seat takes place 4 with 10 points.
    t.engine.roundState().currentSeat = 2;
    t.engine.batle();
    EXPECT_EQ(t.view.speech.back().text, "P3\r\nF5");
    EXPECT_EQ(t.view.caption(Caption::SeatPass, 2), "4番");
    EXPECT_EQ(t.match.roundPoints[3], 10);
    EXPECT_EQ(t.engine.round().table[1][3], kCellOutOfLine);
    EXPECT_EQ(t.engine.round().table[1][4], kCellOutOfLine);
    EXPECT_EQ(t.engine.round().table[1][13], kCellOutOfLine);
    EXPECT_EQ(t.engine.round().dropCount, 1);
    expectRoundInvariants(t.engine.round(), false);
}

TEST(Joker, ComputerBridgesToTheUsersCardAndMovesAgain) {
    Table t(1);
    TableGrid table = sevensOnly();
    lay(table, {D(6), D(5), D(4), D(3)});
    // Seat 2 has no passes left; its Ace can only go with the joker, over
    // the 2 the user holds.
    setUp(t.engine, 1,
          {Hand{}, handOf({D(2), H(3), H(4)}), handOf({D(1), S(3), S(4)}, true),
           handOf({C(3), C(4)}), handOf({C(1), C(2)})},
          table);
    t.engine.roundState().passCount[2] = 3;
    t.engine.roundState().blockerSeat = 3;
    t.engine.batle();
    const std::vector<std::string> expected = {"joker 2 2", "play 2 1", "forced 1 2"};
    EXPECT_EQ(t.log.events, expected);
    EXPECT_EQ(t.view.speech.back().seat, 1);
    EXPECT_EQ(t.view.speech.back().text, "P1\r\nせっかく、止めていたのに・・・");
    EXPECT_EQ(t.engine.round().currentSeat, 2);
    EXPECT_EQ(t.engine.round().keepSeat, D(2));
    EXPECT_EQ(t.engine.round().hand[2][kJokerSlot], 0);
    EXPECT_EQ(t.engine.round().table[1][2], kCellConnected);
    expectRoundInvariants(t.engine.round(), false);
    // The next turn is seat 2's again.
    t.log.events.clear();
    t.engine.batle();
    EXPECT_EQ(t.engine.round().currentSeat, 2);
    EXPECT_EQ(t.engine.round().keepSeat, 0);
}

TEST(Joker, UsersJokerPlayForcesSeatFourAndTheUserMovesNext) {
    Table t(1);
    TableGrid table = sevensOnly();
    lay(table, {D(6), D(5), D(4), D(3)});
    setUp(t.engine, 4,
          {Hand{}, handOf({D(1), H(2), H(3)}, true), handOf({S(2), S(3)}), handOf({C(3), C(4)}),
           handOf({D(2)})},
          table);
    t.engine.batle();  // prepares the user's turn
    ASSERT_TRUE(t.engine.awaitingUser());
    EXPECT_TRUE(t.engine.isClickable(D(1)));
    EXPECT_FALSE(t.engine.isClickable(H(2)));
    EXPECT_EQ(t.engine.round().jokerHint, 1);
    t.engine.imgClick(D(1));
    // The card lands first, then the joker fills the 2, which seat 4 must
    // play: it goes out with it, and the turn comes back to the user.
    const std::vector<std::string> expected = {"play 1 1", "joker 1 2", "forced 4 2", "out 4 1"};
    EXPECT_EQ(t.log.events, expected);
    EXPECT_EQ(t.log.outPoints.back(), 1000 + 10 * (2 + 2 + 2));
    EXPECT_TRUE(t.engine.awaitingUser());
    EXPECT_EQ(t.engine.round().currentSeat, 1);
    expectRoundInvariants(t.engine.round(), false);
}

TEST(Joker, AJokerKeptToTheEndCostsNothing) {
    Table t(1);
    TableGrid table = sevensOnly();
    // Seat 3 holds the joker and plays its last card: the joker is not a card.
    setUp(t.engine, 2,
          {Hand{}, handOf({D(2), D(3)}), handOf({S(1)}), handOf({D(6)}, true), handOf({C(1), C(2)})},
          table);
    t.engine.roundState().blockerSeat = 4;
    t.engine.batle();
    ASSERT_EQ(t.log.events.size(), 2u);
    EXPECT_EQ(t.log.events[1], "out 3 1");
    EXPECT_EQ(t.log.outPoints.back(), 1000 + 10 * (2 + 1 + 2));
}

TEST(UserActions, ClicksOutsideTheUsersTurnOrOnUnraisedCardsAreIgnored) {
    Table t(1);
    setUp(t.engine, 4,
          {Hand{}, handOf({D(6), D(2)}), handOf({S(2), S(3)}), handOf({C(3), C(4)}), handOf({H(2)})},
          sevensOnly());
    t.engine.imgClick(D(6));  // not the user's turn yet
    EXPECT_TRUE(t.log.events.empty());
    t.engine.batle();
    ASSERT_TRUE(t.engine.awaitingUser());
    t.engine.imgClick(D(2));  // not playable
    t.engine.imgClick(kJoker);
    t.engine.imgClick(200);
    t.engine.cmdOutClick();  // DROP only after three passes
    EXPECT_TRUE(t.log.events.empty());
    EXPECT_TRUE(t.engine.awaitingUser());
}

TEST(UserActions, PassThreeTimesThenDrop) {
    Table t(1);
    t.engine.mnuKaisiClick();
    ASSERT_TRUE(t.engine.awaitingUser());
    for (int pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(t.engine.isEnabled(Control::PassButton));
        const size_t before = t.view.speech.size();
        t.engine.cmdPassClick();
        ASSERT_GT(t.view.speech.size(), before);
        EXPECT_EQ(t.view.speech[before].text, "P1\r\nパスします・・・");
        ASSERT_TRUE(t.engine.awaitingUser());
        ASSERT_EQ(t.match.roundNumber, 1);
        EXPECT_EQ(t.engine.round().passCount[1], pass);
    }
    EXPECT_EQ(t.view.caption(Caption::SeatPass, 0), "★★★");
    EXPECT_FALSE(t.engine.isEnabled(Control::PassButton));
    ASSERT_TRUE(t.engine.isEnabled(Control::DropButton));
    const int held = t.engine.round().cardsLeft[1];
    t.engine.cmdOutClick();
    // Every card the user held went down, then the user was out with a
    // place from the bottom.
    const auto drop = std::find(t.log.events.begin(), t.log.events.end(), "drop 1 0");
    ASSERT_NE(drop, t.log.events.end());
    for (int i = 1; i <= held; ++i) EXPECT_EQ(drop[i].rfind("lay 1 ", 0), 0u) << drop[i];
    EXPECT_TRUE(drop[held + 1] == "out 1 4" || drop[held + 1] == "out 1 3" || drop[held + 1] == "out 1 2")
        << drop[held + 1];
}

TEST(RoundEnd, ThirdWinInARowIsAnnouncedThenDoublesTheTotal) {
    Table t(1);
    // Seats 1, 2 and 4 are out (seat 2 first); seat 3 lays its last card.
    setUp(t.engine, 2, {Hand{}, Hand{}, Hand{}, handOf({D(6)}), Hand{}}, sevensOnly());
    RoundState& s = t.engine.roundState();
    s.placeCount = 3;
    s.roundWinnerSeat = 2;
    s.streakSeat = 2;
    s.streakCount = 2;
    t.match.roundNumber = 4;
    t.match.matchTotal = {0, 100, 1000, 200, 300};
    t.match.roundPoints = {0, 500, 1000, 0, 300};
    int32_t atNotice = 0;
    t.view.onSpeak = [&](int seat, std::string_view text) {
        if (text.starts_with("３連勝")) {
            EXPECT_EQ(seat, 2);
            atNotice = t.match.matchTotal[2];
        }
    };
    std::array<int32_t, 5> totals{};
    std::array<int32_t, 5> places{};
    t.view.onResults = [&] {
        totals = t.match.matchTotal;
        places = t.match.finalPlace;
    };
    t.engine.playGame();
    EXPECT_EQ(atNotice, 2000);  // points added, bonus not yet applied
    EXPECT_EQ(totals, (std::array<int32_t, 5>{0, 600, 4000, 250, 600}));
    EXPECT_EQ(places, (std::array<int32_t, 5>{0, 2, 1, 4, 2}));
    const auto notice = std::find_if(t.view.speech.begin(), t.view.speech.end(),
                                     [](const auto& line) { return line.text.starts_with("３連勝"); });
    ASSERT_NE(notice, t.view.speech.end());
    EXPECT_EQ(notice->milliseconds, 3000);
    EXPECT_EQ(notice->text, "３連勝です！\r\n私の得点が２倍になります。．．．");
    // The next round has begun; the streak lives on into it.
    EXPECT_EQ(t.match.roundNumber, 5);
    EXPECT_EQ(t.engine.round().streakCount, 3);
}

TEST(Timer, BlinksTheStreakNoticeOnlyDuringAStreak) {
    Table t(1);
    RoundState& s = t.engine.roundState();
    s.roundOver = 0;
    s.streakSeat = 3;
    s.streakCount = 2;
    t.engine.timerTick();
    EXPECT_EQ(t.view.caption(Caption::Info, 0), "ただいま、P3さんが2連勝中です！");
    t.engine.timerTick();
    EXPECT_EQ(t.view.caption(Caption::Info, 0), "");
    t.engine.timerTick();
    EXPECT_NE(t.view.caption(Caption::Info, 0), "");
    s.streakCount = 1;
    t.engine.timerTick();
    EXPECT_EQ(t.view.caption(Caption::Info, 0), "");
    t.view.music = true;
    t.engine.timerTick();
    EXPECT_EQ(t.view.sounds.back(), "keep");
}

TEST(Skip, ComputersStillInTakeTheRemainingPlaces) {
    Table t(11);
    // Play until the user is out and the skip command is offered.
    bool skipped = false;
    std::array<int32_t, 5> points{};
    t.view.onEvents = [&] {
        if (!skipped && t.engine.isEnabled(Control::SkipMenu)) {
            skipped = true;
            t.engine.mnuSkipClick();
            const RoundState& s = t.engine.round();
            EXPECT_EQ(s.roundOver, 1);
            EXPECT_EQ(s.placeCount + s.dropCount, 4);
            points = t.match.roundPoints;
        }
    };
    t.view.onRetry = [] { return false; };
    t.engine.mnuKaisiClick();
    t.playOut();
    ASSERT_TRUE(skipped);
    for (int seat = 1; seat <= 4; ++seat) EXPECT_GT(points[seat], 0);
}

}  // namespace
}  // namespace vantel
