// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The simulator's command line, its repeatability, and a referee that
// replays the trace with its own reading of the rules.
#include "records/match_state.h"
#include "tools/sim/simulation.h"

#include "records/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace vantel {
namespace {

namespace fs = std::filesystem;

// ---- a small reader for the trace's flat JSON objects ----------------------

struct Event {
    std::string ev;
    std::map<std::string, int64_t> n;
    std::map<std::string, std::vector<int64_t>> list;
    std::vector<std::vector<int64_t>> hands;
    std::set<std::string> keys;
};

bool parseEvent(const std::string& line, Event& e) {
    size_t i = 0;
    auto expect = [&](char c) {
        if (i < line.size() && line[i] == c) {
            ++i;
            return true;
        }
        return false;
    };
    auto number = [&](int64_t& v) {
        size_t used = 0;
        try {
            v = std::stoll(line.substr(i), &used);
        } catch (...) {
            return false;
        }
        i += used;
        return used > 0;
    };
    auto intList = [&](std::vector<int64_t>& out) {
        if (!expect('[')) return false;
        for (;;) {
            int64_t v;
            if (!number(v)) return false;
            out.push_back(v);
            if (expect(']')) return true;
            if (!expect(',')) return false;
        }
    };
    if (!expect('{')) return false;
    for (;;) {
        if (!expect('"')) return false;
        const size_t close = line.find('"', i);
        if (close == std::string::npos) return false;
        const std::string key = line.substr(i, close - i);
        i = close + 1;
        if (!expect(':')) return false;
        if (!e.keys.insert(key).second) return false;
        if (key == "ev") {
            if (!expect('"')) return false;
            const size_t end = line.find('"', i);
            e.ev = line.substr(i, end - i);
            i = end + 1;
        } else if (key == "hands") {
            if (!expect('[')) return false;
            for (;;) {
                e.hands.emplace_back();
                if (!intList(e.hands.back())) return false;
                if (expect(']')) break;
                if (!expect(',')) return false;
            }
        } else if (i < line.size() && line[i] == '[') {
            if (!intList(e.list[key])) return false;
        } else {
            if (!number(e.n[key])) return false;
        }
        if (expect('}')) return i == line.size();
        if (!expect(',')) return false;
    }
}

// ---- the referee's own reading of the rules --------------------------------

constexpr int suitOf(int c) { return (c - 1) / 13 + 1; }
constexpr int rankOf(int c) { return (c - 1) % 13 + 1; }

struct Referee {
    int table[5][14]{};
    int hand[5][15]{};
    int left[5]{};
    int passes[5]{};
    bool scored[5]{};
    int points[5]{};
    int64_t totals[5]{};
    int places = 0, drops = 0;
    int roundWinner = 0, streakSeat = 0, streakCount = 0;
    int anchor = 0;            // the next turn belongs to the first seat in after this one
    int rounds = 0;
    int droppingSeat = 0;      // seat laying its cards after dropping out
    int layingLastSeat = 0;    // seat laying everything after three drops
    int jokerTurnSeat = 0;     // a computer announced a joker play
    int pendingGap = 0;        // a forced play of this card must follow
    int userJokerCard = 0;     // the user laid this card through the joker
    // The seats play the fixed policies (the lowest-card user, the game's
    // strategies): then nobody passes or drops while a card fits. A search
    // player may, and so may a user.
    bool fixedPolicies = true;
    // Seats 1..people are people: sorted hands, the user's joker order and
    // policy; with two or more the deal names no blocker.
    int people = 1;
    int userJokerSeat = 0;
    std::string error;

    bool person(int seat) const { return seat >= 1 && seat <= people; }

    bool on(int s, int r) const { return table[s][r] == 1; }

    bool placeable(int c) const {
        const int s = suitOf(c), r = rankOf(c);
        if (r == 1) return on(s, 2) || on(s, 13);
        if (r == 13) return on(s, 12) || on(s, 1);
        if (r <= 7) return on(s, r - 1) || (on(s, r + 1) && !on(s, 13));
        return on(s, r + 1) || (on(s, r - 1) && !on(s, 1));
    }

    bool holds(int seat, int c) const {
        for (int k = 1; k <= 13; ++k)
            if (hand[seat][k] == c) return true;
        return false;
    }

    // The joker's gap for card c played by `seat`, read from the rules.
    int gapFor(int seat, int c) const {
        const int s = suitOf(c), r = rankOf(c), base = (s - 1) * 13;
        auto freeRank = [&](int k) { return table[s][k] == 0 && !holds(seat, base + k); };
        int g = 0;
        if (r == 1) {
            if (on(s, 3) && freeRank(2)) g = base + 2;
            if (on(s, 12) && freeRank(13)) g = base + 13;
        } else if (r == 13) {
            if (on(s, 11) && freeRank(12)) g = base + 12;
            if (on(s, 2) && freeRank(1)) g = base + 1;
        } else {
            const bool low = r <= 7;
            const int toward = low ? r - 1 : r + 1;   // towards the Ace (low) or King (high)
            const int away = low ? r + 1 : r - 1;
            // The bridge from the seven's side needs the far end of the row free;
            // for the 2 and the Queen that end is their own Ace or King.
            const int farEnd = r == 2 ? 1 : r == 12 ? 13 : (low ? 13 : 1);
            const int near2 = r == 2 ? 13 : r == 12 ? 1 : (low ? r - 2 : r + 2);
            const int nearGap = r == 2 ? 1 : r == 12 ? 13 : toward;
            if (on(s, near2)) {
                if (freeRank(nearGap)) g = base + nearGap;
            } else if (on(s, low ? r + 2 : r - 2) && !on(s, farEnd) && freeRank(away)) {
                g = base + away;
            }
        }
        return g;
    }

    void connect(int s, int r) {
        auto walk = [&](int from, int to, int step) {
            for (int k = from;; k += step) {
                if (table[s][k] == 0) return;
                table[s][k] = 1;
                if (k == to) return;
            }
        };
        if (r == 1) walk(13, 2, -1);
        if (r == 13) walk(1, 12, 1);
        if (r < 13) walk(r + 1, 13, 1);
        if (on(s, 13)) walk(1, 13, 1);
        if (r > 1) walk(r - 1, 1, -1);
        if (on(s, 1)) walk(13, 1, -1);
    }

    int nextSeat() const {
        for (int i = 1; i <= 4; ++i) {
            const int seat = (anchor + i - 1) % 4 + 1;
            if (left[seat] > 0) return seat;
        }
        return 0;
    }

    bool fail(const std::string& why) {
        if (error.empty()) error = why;
        return false;
    }

    bool take(int seat, int slot, int card) {
        if (slot < 1 || slot > 13 || hand[seat][slot] != card) return fail("card not in that slot");
        hand[seat][slot] = 0;
        --left[seat];
        return true;
    }

    bool startTurn(int seat) {
        if (jokerTurnSeat || pendingGap || droppingSeat || layingLastSeat) {
            return fail("a turn started inside another");
        }
        if (seat != nextSeat()) return fail("seat " + std::to_string(seat) + " moved out of turn");
        return true;
    }

    bool apply(const Event& e) {
        auto keysAre = [&](std::set<std::string> want) {
            want.insert("ev");
            return e.keys == want || fail("fields of " + e.ev);
        };
        if (e.ev == "match") {
            if (!keysAre({"match", "seed"})) return false;
            for (auto& t : totals) t = 0;
            streakCount = 0;
            rounds = 0;
            return true;
        }
        if (e.ev == "deal") {
            if (!keysAre({"round", "hands", "blocker"})) return false;
            if (e.n.at("round") != rounds + 1) return fail("round number");
            if (people >= 2 ? e.n.at("blocker") != 0 : e.n.at("blocker") < 2 || e.n.at("blocker") > 4) {
                return fail("blocker");
            }
            std::set<int> cards;
            int jokers = 0;
            for (auto& row : table)
                for (auto& cell : row) cell = 0;
            if (e.hands.size() != 4) return fail("hands");
            for (int seat = 1; seat <= 4; ++seat) {
                const auto& h = e.hands[seat - 1];
                if (h.size() != 14) return fail("hand size");
                for (int k = 1; k <= 14; ++k) hand[seat][k] = static_cast<int>(h[k - 1]);
                for (int k = 1; k <= 13; ++k) cards.insert(hand[seat][k]);
                if (hand[seat][14] == 53) ++jokers;
                else if (hand[seat][14] != 0) return fail("slot 14");
                left[seat] = 13;
                passes[seat] = 0;
                scored[seat] = false;
            }
            if (cards.size() != 52 || *cards.begin() != 1 || *cards.rbegin() != 52) return fail("deck");
            if (jokers != 1) return fail("joker count");
            for (int seat = 1; seat <= people; ++seat) {
                for (int k = 1; k < 13; ++k)
                    if (hand[seat][k] > hand[seat][k + 1]) return fail("a person's hand not sorted");
            }
            for (int seat = 1; seat <= 4; ++seat) {
                for (int k = 1; k <= 13; ++k) {
                    const int c = hand[seat][k];
                    if (rankOf(c) == 7) {
                        table[suitOf(c)][7] = 1;
                        hand[seat][k] = 0;
                        --left[seat];
                    }
                    if (c == 7) anchor = seat - 1;
                }
            }
            places = drops = 0;
            return true;
        }
        if (e.ev == "play") {
            if (!keysAre({"seat", "slot", "card"})) return false;
            const int seat = static_cast<int>(e.n.at("seat"));
            const int card = static_cast<int>(e.n.at("card"));
            if (jokerTurnSeat) {
                if (seat != jokerTurnSeat) return fail("joker play by another seat");
                if (placeable(card)) return fail("joker used for a placeable card");
                if (gapFor(seat, card) != pendingGap) return fail("wrong joker gap");
                jokerTurnSeat = 0;
            } else {
                if (!startTurn(seat)) return false;
                if (!placeable(card)) {
                    if (!person(seat) || hand[seat][14] != 53 || gapFor(seat, card) == 0) {
                        return fail("card " + std::to_string(card) + " laid illegally");
                    }
                    userJokerCard = card;
                    userJokerSeat = seat;
                } else if (person(seat) && fixedPolicies) {
                    // The user's policy plays the lowest playable slot.
                    for (int k = 1; k < e.n.at("slot"); ++k) {
                        if (hand[seat][k] != 0 && placeable(hand[seat][k])) return fail("user skipped a card");
                    }
                }
                anchor = seat;
            }
            if (!take(seat, static_cast<int>(e.n.at("slot")), card)) return false;
            table[suitOf(card)][rankOf(card)] = 1;
            connect(suitOf(card), rankOf(card));
            // The user's gap is sought on the table that holds the card; the
            // connecting walks may have closed it, and then the joker stays.
            if (userJokerCard == card && gapFor(seat, card) == 0) userJokerCard = 0;
            return true;
        }
        if (e.ev == "joker") {
            if (!keysAre({"seat", "gap"})) return false;
            const int seat = static_cast<int>(e.n.at("seat"));
            const int gap = static_cast<int>(e.n.at("gap"));
            if (hand[seat][14] != 53) return fail("joker played by a seat without it");
            hand[seat][14] = 0;
            if (userJokerCard) {
                if (seat != userJokerSeat || gapFor(seat, userJokerCard) != gap) return fail("user's joker gap");
                userJokerCard = 0;
            } else {
                if (person(seat)) return fail("user's joker before the card");
                if (!startTurn(seat)) return false;
                jokerTurnSeat = seat;
                anchor = seat;
            }
            pendingGap = gap;
            return true;
        }
        if (e.ev == "forced") {
            if (!keysAre({"seat", "slot", "card"})) return false;
            const int seat = static_cast<int>(e.n.at("seat"));
            const int card = static_cast<int>(e.n.at("card"));
            if (card != pendingGap || jokerTurnSeat) return fail("forced play without a joker");
            pendingGap = 0;
            if (!take(seat, static_cast<int>(e.n.at("slot")), card)) return false;
            table[suitOf(card)][rankOf(card)] = 1;
            connect(suitOf(card), rankOf(card));
            anchor = seat;
            return true;
        }
        if (e.ev == "pass") {
            if (!keysAre({"seat", "count"})) return false;
            const int seat = static_cast<int>(e.n.at("seat"));
            if (userJokerCard && seat == userJokerSeat) return fail("pass after a joker card");
            if (!startTurn(seat)) return false;
            if (e.n.at("count") != ++passes[seat] || passes[seat] > 3) return fail("pass count");
            if (person(seat) && fixedPolicies) {
                for (int k = 1; k <= 13; ++k)
                    if (hand[seat][k] != 0 && placeable(hand[seat][k])) return fail("user passed with a card");
            }
            anchor = seat;
            return true;
        }
        if (e.ev == "drop") {
            if (!keysAre({"seat"})) return false;
            const int seat = static_cast<int>(e.n.at("seat"));
            if (!startTurn(seat)) return false;
            if (passes[seat] != 3) return fail("drop before three passes");
            for (int k = 1; k <= 13 && fixedPolicies; ++k) {
                // With all passes used, any card that fits is played instead.
                if (hand[seat][k] != 0 && placeable(hand[seat][k])) return fail("dropped with a playable card");
            }
            droppingSeat = seat;
            anchor = seat;
            return true;
        }
        if (e.ev == "lay") {
            if (!keysAre({"seat", "slot", "card", "cell"})) return false;
            const int seat = static_cast<int>(e.n.at("seat"));
            const int card = static_cast<int>(e.n.at("card"));
            const int slot = static_cast<int>(e.n.at("slot"));
            if (!droppingSeat && !layingLastSeat) {
                if (drops != 3) return fail("lay outside a drop");
                if (!startTurn(seat)) return false;
                layingLastSeat = seat;
                anchor = seat;
            }
            const int layer = droppingSeat ? droppingSeat : layingLastSeat;
            if (seat != layer) return fail("lay by another seat");
            for (int k = 1; k < slot; ++k)
                if (hand[seat][k] != 0) return fail("lays out of slot order");
            if (!take(seat, slot, card)) return false;
            const int s = suitOf(card), r = rankOf(card);
            if (droppingSeat) {
                const int lo = r == 1 ? 13 : r - 1, hi = r == 13 ? 1 : r + 1;
                table[s][r] = (on(s, lo) || on(s, hi)) ? 1 : 2;
            } else {
                table[s][r] = 1;
                connect(s, r);
            }
            if (e.n.at("cell") != table[s][r]) return fail("cell of a laid card");
            return true;
        }
        if (e.ev == "out") {
            if (!keysAre({"seat", "place", "points"})) return false;
            const int seat = static_cast<int>(e.n.at("seat"));
            if (left[seat] != 0 || scored[seat]) return fail("out with cards or twice");
            int others = 0;
            for (int i = 1; i <= 4; ++i)
                if (i != seat) others += left[i];
            int place, pts;
            if (droppingSeat == seat) {
                ++drops;
                place = 5 - drops;
                pts = drops == 1 ? 10 : drops == 2 ? 200 : 400;
                droppingSeat = 0;
            } else {
                ++places;
                place = places;
                pts = place == 1 ? 1000 + 10 * others : place == 2 ? 500 + 10 * others
                    : place == 3 ? 300 + 10 * others : 50;
                if (place == 1) roundWinner = seat;
                if (layingLastSeat == seat) layingLastSeat = 0;
            }
            if (e.n.at("place") != place) return fail("place");
            if (e.n.at("points") != pts) return fail("points");
            points[seat] = pts;
            scored[seat] = true;
            return true;
        }
        if (e.ev == "round_end") {
            if (!keysAre({"round", "points", "totals", "streak_seat", "streak"})) return false;
            if (places + drops != 4 || jokerTurnSeat || pendingGap) return fail("round ended early");
            ++rounds;
            if (e.n.at("round") != rounds) return fail("round_end number");
            for (int seat = 1; seat <= 4; ++seat) {
                if (e.list.at("points")[seat - 1] != points[seat]) return fail("round points");
                totals[seat] += points[seat];
            }
            if (roundWinner != streakSeat) {
                streakSeat = roundWinner;
                streakCount = 1;
            } else {
                ++streakCount;
                for (int seat = 1; seat <= 4; ++seat) {
                    if (streakCount == 3 && seat == streakSeat) totals[seat] *= 2;
                    if (streakCount == 5 && seat != streakSeat) {
                        totals[seat] = totals[seat] >= 0 ? totals[seat] / 2 : -((-totals[seat] + 1) / 2);
                    }
                    if (streakCount == 10 && seat != streakSeat) totals[seat] = -99999;
                }
            }
            for (int seat = 1; seat <= 4; ++seat)
                if (e.list.at("totals")[seat - 1] != totals[seat]) return fail("totals");
            if (e.n.at("streak_seat") != streakSeat || e.n.at("streak") != streakCount) return fail("streak");
            return true;
        }
        if (e.ev == "match_end") {
            if (!keysAre({"totals", "places"})) return false;
            if (rounds != 10) return fail("match of other than ten rounds");
            for (int seat = 1; seat <= 4; ++seat) {
                if (e.list.at("totals")[seat - 1] != totals[seat]) return fail("match totals");
                int place = 1;
                for (int other = 1; other <= 4; ++other) place += totals[other] > totals[seat];
                if (e.list.at("places")[seat - 1] != place) return fail("final places");
            }
            return true;
        }
        return fail("unknown event " + e.ev);
    }
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

fs::path tempPath(const std::string& name) {
    return fs::temp_directory_path() / ("vantel_sim_test_" + std::to_string(::getpid()) + "_" + name);
}

std::string traceOf(uint64_t seed, int matches, SimSummary* summary = nullptr, const SimPlay& play = {}) {
    const fs::path path = tempPath("trace_" + std::to_string(seed));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    MatchState match;
    const SimSummary s = runSimulation(seed, matches, match, f, {}, play);
    std::fclose(f);
    if (summary) *summary = s;
    std::string text = readFile(path);
    fs::remove(path);
    return text;
}

// The referee follows every move at every strength and with either user.
TEST(SimulatorTrace, RefereeAcceptsEveryEventOfManyMatches) {
    std::map<std::string, int> counts;
    struct Run {
        uint64_t seed;
        int matches;
        SimPlay play;
    };
    const Run runs[] = {
        {1, 40, {}}, {2, 40, {}}, {3, 40, {}}, {2024, 40, {}}, {99999, 40, {}},
        {4, 20, {Strength::Easy, UserPolicy::Lowest, 40}},
        {5, 3, {Strength::Hard, UserPolicy::Search, 40}},
        // Friends' tables: several people, nobody blocks.
        {6, 10, {Strength::Normal, UserPolicy::Lowest, 40, 2}},
        {7, 10, {Strength::Easy, UserPolicy::Lowest, 40, 4}},
        {8, 2, {Strength::Hard, UserPolicy::Lowest, 30, 3}},
    };
    for (const Run& run : runs) {
        const uint64_t seed = run.seed;
        SimSummary summary;
        const std::string text = traceOf(seed, run.matches, &summary, run.play);
        EXPECT_EQ(summary.matches, run.matches);
        EXPECT_EQ(summary.rounds, 10 * run.matches);
        Referee referee;
        referee.fixedPolicies = run.play.strength != Strength::Hard && run.play.user == UserPolicy::Lowest;
        referee.people = run.play.people;
        std::istringstream lines(text);
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            Event e;
            ASSERT_TRUE(parseEvent(line, e)) << "seed " << seed << " line " << number << ": " << line;
            ASSERT_TRUE(referee.apply(e)) << "seed " << seed << " line " << number << ": " << line
                                          << "\n  " << referee.error;
            ++counts[e.ev];
        }
        EXPECT_EQ(referee.rounds, 10);
    }
    // The runs reached every kind of event.
    for (const char* ev : {"match", "deal", "play", "joker", "forced", "pass", "drop", "lay", "out",
                           "round_end", "match_end"}) {
        EXPECT_GT(counts[ev], 0) << ev;
    }
}

uint64_t fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ULL;
    return hash;
}

// ふつう with the lowest-card user is the game as it always was: the same
// seeds give, event for event, the traces the engine wrote before there
// were strengths. The deals do not depend on the strength or the user.
TEST(SimulatorTrace, NormalIsTheGameAsItWasAndEveryStrengthDealsAlike) {
    EXPECT_EQ(fnv1a(traceOf(11, 30)), 0xb209c73282e9872bULL);
    EXPECT_EQ(fnv1a(traceOf(12, 30)), 0x9c09625d0dcd2da0ULL);

    const auto deals = [](const std::string& text) {
        std::string out;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("{\"ev\":\"deal\"", 0) == 0) out += line + "\n";
        }
        return out;
    };
    const std::string normal = traceOf(13, 2);
    for (const SimPlay& play : {SimPlay{Strength::Easy, UserPolicy::Lowest, 30},
                                SimPlay{Strength::Hard, UserPolicy::Search, 30}}) {
        const std::string other = traceOf(13, 2, nullptr, play);
        EXPECT_NE(other, normal);
        EXPECT_EQ(deals(other), deals(normal));
    }
}

TEST(SimulatorTrace, SameSeedSameRunOtherSeedOtherRun) {
    const std::string a = traceOf(77, 3);
    EXPECT_EQ(a, traceOf(77, 3));
    EXPECT_NE(a, traceOf(78, 3));
    EXPECT_EQ(a.rfind("{\"ev\":\"match\",\"match\":1,\"seed\":77}\n", 0), 0u);
}

TEST(SimulatorTrace, TheUserWhoHadTheJokerDoesNotGetItAgainAcrossMatches) {
    const std::string text = traceOf(5, 20);
    std::istringstream lines(text);
    std::string line;
    bool hadIt = false;
    int deals = 0;
    while (std::getline(lines, line)) {
        Event e;
        ASSERT_TRUE(parseEvent(line, e));
        if (e.ev != "deal") continue;
        ++deals;
        const bool has = e.hands[0][13] == 53;
        EXPECT_FALSE(hadIt && has) << "deal " << deals;
        hadIt = has;
    }
    EXPECT_EQ(deals, 200);
}

TEST(SimulatorOptions, AcceptsTheDocumentedForms) {
    auto parsed = parseSimOptions({"--seed", "18446744073709551615", "--matches", "3", "--trace", "t.jsonl"});
    ASSERT_TRUE(std::holds_alternative<SimOptions>(parsed));
    const auto& o = std::get<SimOptions>(parsed);
    EXPECT_EQ(o.seed, 18446744073709551615ull);
    EXPECT_EQ(o.matches, 3);
    EXPECT_EQ(o.tracePath, "t.jsonl");
    EXPECT_EQ(o.play.strength, Strength::Normal);
    EXPECT_EQ(o.play.user, UserPolicy::Lowest);
    EXPECT_TRUE(std::holds_alternative<SimOptions>(parseSimOptions({"--matches", "1", "--seed", "0"})));
    auto chosen = parseSimOptions(
        {"--seed", "1", "--matches", "1", "--level", "hard", "--user", "search", "--playouts", "300"});
    ASSERT_TRUE(std::holds_alternative<SimOptions>(chosen));
    EXPECT_EQ(std::get<SimOptions>(chosen).play.strength, Strength::Hard);
    EXPECT_EQ(std::get<SimOptions>(chosen).play.user, UserPolicy::Search);
    EXPECT_EQ(std::get<SimOptions>(chosen).play.playouts, 300);
}

TEST(SimulatorOptions, RejectsWhatItCannotRead) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--seed", "1"},
        {"--matches", "1"},
        {"--seed", "-1", "--matches", "1"},
        {"--seed", "+1", "--matches", "1"},
        {"--seed", "1x", "--matches", "1"},
        {"--seed", "18446744073709551616", "--matches", "1"},
        {"--seed", "1", "--matches", "0"},
        {"--seed", "1", "--matches", "2.5"},
        {"--seed", "1", "--matches", "99999999999"},
        {"--seed", "1", "--matches"},
        {"--seed", "1", "--matches", "1", "--colour"},
        {"--seed", "1", "--seed", "2", "--matches", "1"},
        {"--seed", "1", "--matches", "1", "--trace", ""},
        {"seed", "1", "--matches", "1"},
        {"--seed", "1", "--matches", "1", "--level", "expert"},
        {"--seed", "1", "--matches", "1", "--level", "easy", "--level", "hard"},
        {"--seed", "1", "--matches", "1", "--user", "random"},
        {"--seed", "1", "--matches", "1", "--playouts", "0"},
        {"--seed", "1", "--matches", "1", "--people", "0"},
        {"--seed", "1", "--matches", "1", "--people", "5"},
    };
    for (const auto& args : bad) {
        auto parsed = parseSimOptions(args);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << ::testing::PrintToString(args);
        const std::string& message = std::get<std::string>(parsed);
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find('\n'), std::string::npos);
    }
}

TEST(SimulatorProgram, BadArgumentsExitTwoAndWriteNothing) {
    const fs::path trace = tempPath("never.jsonl");
    fs::remove(trace);
    const std::string command = std::string(VANTEL_SIM_PATH) + " --seed abc --matches 1 --trace " +
                                trace.string() + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_FALSE(fs::exists(trace));

    const std::string good = std::string(VANTEL_SIM_PATH) + " --seed 4 --matches 2 --trace " +
                             trace.string() + " > " + tempPath("summary.txt").string();
    ASSERT_EQ(std::system(good.c_str()), 0);
    const std::string summary = readFile(tempPath("summary.txt"));
    EXPECT_NE(summary.find("matches: 2"), std::string::npos);
    EXPECT_NE(summary.find("rounds: 20"), std::string::npos);
    EXPECT_NE(summary.find("rounds per second"), std::string::npos);
    EXPECT_TRUE(fs::exists(trace));
    fs::remove(trace);
    fs::remove(tempPath("summary.txt"));
}

TEST(SimulatorProgram, RecordsEveryMatchWinnerInTheSettingsFile) {
    const fs::path ini = tempPath("settings.ini");
    const fs::path out = tempPath("settings_summary.txt");
    fs::remove(ini);
    const std::string command = std::string(VANTEL_SIM_PATH) + " --seed 12 --matches 4 --settings " +
                                ini.string() + " > " + out.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string summary = readFile(out);
    // The seats are the file's first four members; the records follow.
    EXPECT_NE(summary.find("seat 1 (あやや)"), std::string::npos) << summary;
    EXPECT_NE(summary.find("seat 4 (みさこ)"), std::string::npos);
    EXPECT_NE(summary.find("high score: "), std::string::npos);
    EXPECT_NE(summary.find("rank 10: "), std::string::npos);

    // Read the file back as the game would: four winners entered the
    // ranking, best first, and the best of them holds the high score.
    MatchState state;
    ASSERT_TRUE(readSettings(state, SettingsLocation{fs::temp_directory_path(), ini}).ok());
    int entries = 0;
    for (int row = 1; row <= 10; ++row) {
        if (!state.rankName[row].empty()) ++entries;
        if (row > 1) {
            EXPECT_GE(state.rankPoints[row - 1], state.rankPoints[row]);
        }
    }
    EXPECT_EQ(entries, 4);
    EXPECT_EQ(state.hiScore, state.rankPoints[1]);
    EXPECT_EQ(state.hiScorePlayer, state.rankName[1]);
    EXPECT_NE(summary.find("high score: " + std::to_string(state.hiScore) + " by " + state.hiScorePlayer),
              std::string::npos);

    // A file the game would refuse stops the run with status 3.
    {
        std::ofstream bad(ini, std::ios::binary | std::ios::trunc);
        bad << "[HiScore]\r\nScore=100\r\n[Mentu]\r\nNinzu=21\r\n";
    }
    const std::string refused = std::string(VANTEL_SIM_PATH) + " --seed 1 --matches 1 --settings " +
                                ini.string() + " > /dev/null 2> " + out.string();
    const int status = std::system(refused.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_NE(readFile(out).find("初期値ファイルの処理でエラーが発生しました。"), std::string::npos);
    fs::remove(ini);
    fs::remove(out);
}

}  // namespace
}  // namespace vantel
