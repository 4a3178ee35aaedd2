// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/sim/simulation.h"

#include <charconv>
#include <chrono>
#include <memory>

#include "game/engine.h"
#include "game/random.h"
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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "--version") {
            (name == "--help" ? options.help : options.version) = true;
            return options;
        }
        const bool known = name == "--seed" || name == "--matches" || name == "--trace" ||
                           name == "--settings";
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
                         const SimHooks& hooks) {
    SimSummary summary;
    SimView view;
    Random random(seed);
    std::unique_ptr<TraceWriter> writer;
    if (trace != nullptr) writer = std::make_unique<TraceWriter>(trace, seed, match);
    Engine engine(match, view, random, writer.get());
    if (writer) writer->attach(engine);

    view.onResults = [&] { ++summary.rounds; };
    view.onRecordMatch = [&] {
        ++summary.matches;
        for (int seat = 1; seat <= kSeats; ++seat) {
            if (match.finalPlace[seat] == 1) ++summary.matchWins[seat];
            summary.totalSum[seat] += match.matchTotal[seat];
        }
        if (hooks.recordMatch) hooks.recordMatch(match);
    };
    view.onRetry = [&] { return summary.matches < matches; };

    const auto start = std::chrono::steady_clock::now();
    engine.mnuKaisiClick();
    while (engine.awaitingUser()) playUserTurn(engine);
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (writer) writer->flush();
    return summary;
}

}  // namespace vantel
