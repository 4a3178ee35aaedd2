// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/sim/simulation.h"

#include <charconv>
#include <chrono>
#include <algorithm>
#include <memory>

#include "game/engine.h"
#include "game/random.h"
#include "game/search/search_player.h"
#include "tools/sim/sim_view.h"
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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "--version") {
            (name == "--help" ? options.help : options.version) = true;
            return options;
        }
        const bool known = name == "--seed" || name == "--matches" || name == "--trace" ||
                           name == "--settings" || name == "--level" || name == "--user" ||
                           name == "--playouts";
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

SimSummary runSimulation(uint64_t seed, int matches, MatchState& match, std::FILE* trace,
                         const SimHooks& hooks, const SimPlay& play) {
    SimSummary summary;
    SimView view;
    Random random(seed);
    std::unique_ptr<TraceWriter> writer;
    if (trace != nullptr) writer = std::make_unique<TraceWriter>(trace, seed, match);
    Engine engine(match, view, random, writer.get());
    if (writer) writer->attach(engine);
    // The search players' seeds come from the run's, apart from the game's
    // own generator, so that the deals stay those of the seed whoever thinks.
    engine.configureSearch({SearchBudget::ofPlayouts(play.playouts), mixSeed(seed, 1), false});
    match.strength = play.strength;

    // Rounds won in the match being played, by who went out first.
    std::array<int, kSeats + 1> roundWins{};
    view.onResults = [&] {
        ++summary.rounds;
        const int winner = engine.round().roundWinnerSeat;
        if (winner >= 1 && winner <= kSeats) ++roundWins[winner];
    };
    view.onRecordMatch = [&] {
        ++summary.matches;
        for (int seat = 1; seat <= kSeats; ++seat) {
            const int place = match.finalPlace[seat];
            if (place == 1) ++summary.matchWins[seat];
            if (place >= 1 && place <= 4) ++summary.places[seat][place];
            summary.placeSquares[seat] += int64_t{place} * place;
            summary.totalSum[seat] += match.matchTotal[seat];
            summary.totalSquares[seat] += double(match.matchTotal[seat]) * match.matchTotal[seat];
            summary.roundWins[seat] += roundWins[seat];
            summary.roundWinSquares[seat] += int64_t{roundWins[seat]} * roundWins[seat];
        }
        roundWins.fill(0);
        if (hooks.recordMatch) hooks.recordMatch(match);
    };
    view.onRetry = [&] { return summary.matches < matches; };

    const auto start = std::chrono::steady_clock::now();
    uint64_t userDecisions = 0;
    engine.mnuKaisiClick();
    while (engine.awaitingUser()) {
        if (play.user == UserPolicy::Lowest) {
            playUserTurn(engine);
            continue;
        }
        const SearchResult result = searchMove(*engine.hintKnowledge(), SearchBudget::ofPlayouts(play.playouts),
                                               mixSeed(seed, 2 + userDecisions++));
        if (result.moves > 1) {
            SearchTimes& t = summary.userSearch;
            ++t.decisions;
            t.totalSeconds += result.seconds;
            t.worstSeconds = std::max(t.worstSeconds, result.seconds);
        }
        playUserMove(engine, result.move);
    }
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    summary.computerSearch = {engine.search().decisions(), engine.search().totalSeconds(),
                              engine.search().worstSeconds()};
    if (writer) writer->flush();
    return summary;
}

}  // namespace vantel
