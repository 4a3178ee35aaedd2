// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/sim/simulation.h"

#include <charconv>
#include <chrono>
#include <algorithm>
#include <memory>

#include "game/game_observer.h"
#include "game/random.h"
#include "game/search/search_player.h"
#include "tools/sim/trace_writer.h"
#include "tools/sim/user_policy.h"

namespace vantel {

namespace {

template <typename T>
bool parseNumber(const std::string& text, T& value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

}  // namespace

std::variant<SimOptions, std::string> parseSimOptions(const std::vector<std::string>& args) {
    SimOptions options;
    bool haveSeed = false;
    bool haveMatches = false;
    bool haveLevel = false;
    bool haveUser = false;
    bool havePlayouts = false;
    bool havePeople = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "--version") {
            (name == "--help" ? options.help : options.version) = true;
            return options;
        }
        const bool known = name == "--seed" || name == "--matches" || name == "--trace" ||
                           name == "--settings" || name == "--level" || name == "--user" ||
                           name == "--playouts" || name == "--people";
        if (!known) return "unknown option '" + name + "'";
        if (i + 1 >= args.size()) return "option " + name + " needs a value";
        const std::string& value = args[++i];
        if (name == "--seed") {
            if (haveSeed) return "option --seed given twice";
            if (!parseNumber(value, options.seed)) {
                return "option --seed needs an unsigned integer, not '" + value + "'";
            }
            haveSeed = true;
        } else if (name == "--matches") {
            if (haveMatches) return "option --matches given twice";
            if (!parseNumber(value, options.matches) || options.matches < 1) {
                return "option --matches needs an integer of at least 1, not '" + value + "'";
            }
            haveMatches = true;
        } else if (name == "--level") {
            if (haveLevel) return "option --level given twice";
            if (value == "easy") {
                options.play.strength = Strength::Easy;
            } else if (value == "normal") {
                options.play.strength = Strength::Normal;
            } else if (value == "hard") {
                options.play.strength = Strength::Hard;
            } else {
                return "option --level needs easy, normal or hard, not '" + value + "'";
            }
            haveLevel = true;
        } else if (name == "--user") {
            if (haveUser) return "option --user given twice";
            if (value == "lowest") {
                options.play.user = UserPolicy::Lowest;
            } else if (value == "search") {
                options.play.user = UserPolicy::Search;
            } else {
                return "option --user needs lowest or search, not '" + value + "'";
            }
            haveUser = true;
        } else if (name == "--playouts") {
            if (havePlayouts) return "option --playouts given twice";
            if (!parseNumber(value, options.play.playouts) || options.play.playouts < 1) {
                return "option --playouts needs an integer of at least 1, not '" + value + "'";
            }
            havePlayouts = true;
        } else if (name == "--people") {
            if (havePeople) return "option --people given twice";
            if (!parseNumber(value, options.play.people) || options.play.people < 1 || options.play.people > kSeats) {
                return "option --people needs an integer from 1 to 4, not '" + value + "'";
            }
            havePeople = true;
        } else if (name == "--trace") {
            if (options.tracePath) return "option --trace given twice";
            if (value.empty()) return "option --trace needs a file name";
            options.tracePath = value;
        } else {
            if (options.settingsPath) return "option --settings given twice";
            if (value.empty()) return "option --settings needs a file name";
            options.settingsPath = value;
        }
    }
    if (!haveSeed) return "missing option --seed";
    if (!haveMatches) return "missing option --matches";
    return options;
}

TableSetup simTableSetup(uint64_t seed, const SimPlay& play) {
    TableSetup setup = TableSetup::local(seed);
    if (play.people >= 2) {
        setup.kind = TableKind::Friends;
        setup.computers = play.strength == Strength::Hard ? ComputerPlay::Search : ComputerPlay::General;
    }
    for (int seat = 1; seat <= kSeats; ++seat) {
        setup.seats[seat] = seat <= play.people ? SeatKind::Person : SeatKind::Computer;
    }
    // The search players' seeds come from the run's, apart from the game's
    // own generator, so that the deals stay those of the seed whoever thinks.
    setup.search = {SearchBudget::ofPlayouts(play.playouts), mixSeed(seed, 1), false};
    // Only the omniscient story is read here.
    setup.followed = false;
    return setup;
}

namespace {

// Counts rounds and matches as the table ends them, and passes everything
// on to the trace.
struct Tally : GameObserver {
    GameObserver* trace = nullptr;
    const Table* table = nullptr;
    MatchState* match = nullptr;
    SimSummary* summary = nullptr;
    const SimHooks* hooks = nullptr;
    bool records = true;
    // Rounds won in the match being played, by who went out first.
    std::array<int, kSeats + 1> roundWins{};

    void onMatchStart() override {
        if (trace) trace->onMatchStart();
    }
    void onDeal(int round, const std::array<Hand, 5>& hands, int blocker) override {
        if (trace) trace->onDeal(round, hands, blocker);
    }
    void onPlay(int seat, int slot, int card) override {
        if (trace) trace->onPlay(seat, slot, card);
    }
    void onJoker(int seat, int gap) override {
        if (trace) trace->onJoker(seat, gap);
    }
    void onForced(int seat, int slot, int card) override {
        if (trace) trace->onForced(seat, slot, card);
    }
    void onPass(int seat, int count) override {
        if (trace) trace->onPass(seat, count);
    }
    void onDrop(int seat) override {
        if (trace) trace->onDrop(seat);
    }
    void onLay(int seat, int slot, int card, int cell) override {
        if (trace) trace->onLay(seat, slot, card, cell);
    }
    void onOut(int seat, int place, int points) override {
        if (trace) trace->onOut(seat, place, points);
    }
    void onRoundEnd(int round) override {
        if (trace) trace->onRoundEnd(round);
        ++summary->rounds;
        const int winner = table->round().roundWinnerSeat;
        if (winner >= 1 && winner <= kSeats) ++roundWins[winner];
    }
    void onMatchEnd() override {
        if (trace) trace->onMatchEnd();
        SimSummary& sum = *summary;
        ++sum.matches;
        for (int seat = 1; seat <= kSeats; ++seat) {
            const int place = match->finalPlace[seat];
            if (place == 1) ++sum.matchWins[seat];
            if (place >= 1 && place <= 4) ++sum.places[seat][place];
            sum.placeSquares[seat] += int64_t{place} * place;
            sum.totalSum[seat] += match->matchTotal[seat];
            sum.totalSquares[seat] += double(match->matchTotal[seat]) * match->matchTotal[seat];
            sum.roundWins[seat] += roundWins[seat];
            sum.roundWinSquares[seat] += int64_t{roundWins[seat]} * roundWins[seat];
        }
        roundWins.fill(0);
        // A friends' table enters neither the ranking nor the high score.
        if (records && hooks->recordMatch) {
            match->rankInPosition = 0;
            hooks->recordMatch(*match);
        }
    }
};

}  // namespace

SimSummary runSimulation(uint64_t seed, int matches, MatchState& match, std::FILE* trace,
                         const SimHooks& hooks, const SimPlay& play) {
    SimSummary summary;
    std::unique_ptr<TraceWriter> writer;
    if (trace != nullptr) writer = std::make_unique<TraceWriter>(trace, seed, match);
    Tally tally;
    tally.trace = writer.get();
    tally.match = &match;
    tally.summary = &summary;
    tally.hooks = &hooks;
    tally.records = play.people < 2;
    match.strength = play.strength;
    Table table(simTableSetup(seed, play), &match, &tally);
    tally.table = &table;
    if (writer) writer->attach(table);

    const auto start = std::chrono::steady_clock::now();
    uint64_t userDecisions = 0;
    table.startMatch();
    for (;;) {
        while (table.step()) {
        }
        const int seat = table.awaitedSeat();
        if (seat == 0) {
            if (summary.matches >= matches || !table.startMatch()) break;
            continue;
        }
        TurnMove move;
        if (play.user == UserPolicy::Lowest) {
            move = lowestCardMove(table.round(), seat);
        } else {
            const SearchResult result = searchMove(*table.knowledgeFor(seat), SearchBudget::ofPlayouts(play.playouts),
                                                   mixSeed(seed, 2 + userDecisions++));
            if (result.moves > 1) {
                SearchTimes& t = summary.userSearch;
                ++t.decisions;
                t.totalSeconds += result.seconds;
                t.worstSeconds = std::max(t.worstSeconds, result.seconds);
            }
            move = result.move;
        }
        table.submit(seat, move);
    }
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    summary.computerSearch = {table.search().decisions(), table.search().totalSeconds(),
                              table.search().worstSeconds()};
    if (writer) writer->flush();
    return summary;
}

}  // namespace vantel
