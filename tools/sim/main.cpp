// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vantel-sim: plays whole matches of Sevens with no window.
//
//   vantel-sim --seed S --matches M [--level L] [--user P] [--playouts N] [--people N]
//              [--trace FILE] [--settings FILE]
//   vantel-sim --help | --version
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "records/ranking.h"
#include "records/settings.h"
#include "tools/sim/simulation.h"

using namespace vantel;

namespace {

// Exit statuses: 2 for a command line it cannot read, 3 for a settings file
// the game would refuse, 1 for a file it cannot write.
constexpr int kUsageError = 2;
constexpr int kSettingsError = 3;
constexpr int kWriteError = 1;

constexpr const char* kUsage =
    "Usage: vantel-sim --seed S --matches M [--level L] [--user P] [--playouts N]\n"
    "                  [--people N] [--trace FILE] [--settings FILE]\n"
    "       vantel-sim --help | --version\n"
    "Plays whole matches of Sevens (７ならべ) with the game's engine and no window,\n"
    "and prints the matches, rounds, each seat's wins, average total and places,\n"
    "and how long the search players took to decide.\n"
    "\n"
    "Options:\n"
    "  --seed S         seed of the random generator, 0 to 18446744073709551615;\n"
    "                   the same seed plays the same matches\n"
    "  --matches M      number of matches to play, at least 1\n"
    "  --level L        the computers' strength: easy, normal (the default) or hard\n"
    "  --user P         how the user's seat plays: lowest (the default: the lowest\n"
    "                   card it can lay, else PASS, else DROP) or search\n"
    "  --playouts N     playouts for each decision of a search player (2000)\n"
    "  --people N       seats 1..N are people playing the user's policy (1); with\n"
    "                   2 to 4 nobody blocks and no match enters the ranking, and\n"
    "                   the computers play the general strategy (the search at hard)\n"
    "  --trace FILE     write every event of the run to FILE as JSON Lines\n"
    "  --settings FILE  read FILE as the game reads its settings file (made with\n"
    "                   the factory values when missing), seat its first four\n"
    "                   members and record every winner's high score and\n"
    "                   ranking into it\n"
    "  --help           show this help and exit\n"
    "  --version        show the name and version and exit\n";

// Mean and standard error of a figure from its sum and sum of squares over n.
struct Estimate {
    double mean = 0;
    double error = 0;
};

Estimate estimate(double sum, double squares, int n) {
    if (n <= 0) return {};
    const double mean = sum / n;
    if (n < 2) return {mean, 0};
    const double variance = std::max(0.0, (squares - n * mean * mean) / (n - 1));
    return {mean, std::sqrt(variance / n)};
}

void printSearchTimes(const char* who, const SearchTimes& t) {
    if (t.decisions == 0) return;
    std::printf("search (%s): %d decisions, mean %.2f ms, worst %.2f ms\n", who, t.decisions,
                1000.0 * t.totalSeconds / t.decisions, 1000.0 * t.worstSeconds);
}

void printSummary(const SimSummary& summary, const MatchState& match, bool withRecords) {
    std::printf("matches: %d\n", summary.matches);
    std::printf("rounds: %d\n", summary.rounds);
    for (int seat = 1; seat <= kSeats; ++seat) {
        const double average =
            summary.matches > 0 ? static_cast<double>(summary.totalSum[seat]) / summary.matches : 0.0;
        std::printf("seat %d (%s): match wins %d, average match total %.1f\n", seat,
                    match.seatName[seat].c_str(), summary.matchWins[seat], average);
    }
    const double rate = summary.seconds > 0 ? summary.rounds / summary.seconds : 0.0;
    std::printf("rounds per second: %.0f\n", rate);
    const int n = summary.matches;
    for (int seat = 1; seat <= kSeats; ++seat) {
        const auto& p = summary.places[seat];
        const Estimate place =
            estimate(p[1] + 2.0 * p[2] + 3.0 * p[3] + 4.0 * p[4], double(summary.placeSquares[seat]), n);
        std::printf("seat %d places: 1st %d, 2nd %d, 3rd %d, 4th %d; average place %.3f ± %.3f\n", seat, p[1],
                    p[2], p[3], p[4], place.mean, place.error);
    }
    // The user's seat with standard errors, for comparing strengths.
    const double wins = n > 0 ? double(summary.matchWins[1]) / n : 0;
    const Estimate place = estimate(summary.places[1][1] + 2.0 * summary.places[1][2] +
                                        3.0 * summary.places[1][3] + 4.0 * summary.places[1][4],
                                    double(summary.placeSquares[1]), n);
    const Estimate rounds = estimate(summary.roundWins[1] / 10.0, summary.roundWinSquares[1] / 100.0, n);
    const Estimate total = estimate(double(summary.totalSum[1]), summary.totalSquares[1], n);
    std::printf("user: match wins %.2f%% ± %.2f, average place %.3f ± %.3f, rounds won %.2f%% ± %.2f, "
                "average match total %.1f ± %.1f\n",
                100 * wins, n > 0 ? 100 * std::sqrt(wins * (1 - wins) / n) : 0.0, place.mean, place.error,
                100 * rounds.mean, 100 * rounds.error, total.mean, total.error);
    printSearchTimes("computers", summary.computerSearch);
    printSearchTimes("user", summary.userSearch);
    if (!withRecords) return;
    std::printf("high score: %d by %s\n", match.hiScore, match.hiScorePlayer.c_str());
    for (int row = 1; row <= kRankRows; ++row) {
        std::printf("rank %2d: %s, %d, %s %s\n", row, match.rankName[row].c_str(), match.rankPoints[row],
                    match.rankDate[row].c_str(), match.rankTime[row].c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto parsed = parseSimOptions(args);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "vantel-sim: " << *error << "\n" << kUsage;
        return kUsageError;
    }
    const SimOptions options = std::get<SimOptions>(parsed);
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "vantel-sim " VANTEL_VERSION "\n";
        return 0;
    }

    MatchState& match = sharedState();
    SimHooks hooks;
    if (options.settingsPath) {
        // Read as the game reads its own file: a missing file, or one
        // without a high score, gets the factory values, which point at the
        // pictures and sounds the game beside it would use.
        SettingsLocation where = programSettingsLocation();
        where.settingsFile = *options.settingsPath;
        const SettingsReport report = readSettings(match, where);
        if (!report.ok()) {
            std::cerr << kSettingsErrorText << "\n";
            if (!report.problem.empty()) std::cerr << "(" << report.problem << ")\n";
            return kSettingsError;
        }
        for (int seat = 1; seat <= kSeats; ++seat) {
            match.seatMember[seat] = static_cast<int16_t>(seat);
            match.seatName[seat] = match.memberName[seat];
            match.seatSex[seat] = match.memberSex[seat];
        }
        hooks.recordMatch = [](MatchState& state) { saiten(state, localNow()); };
    } else {
        for (int seat = 1; seat <= kSeats; ++seat) {
            match.seatName[seat] = "Seat " + std::to_string(seat);
            match.seatSex[seat] = 1;
        }
    }

    std::FILE* trace = nullptr;
    if (options.tracePath) {
        trace = std::fopen(options.tracePath->c_str(), "wb");
        if (trace == nullptr) {
            std::cerr << "vantel-sim: cannot write the trace file '" << *options.tracePath << "'\n";
            return kWriteError;
        }
    }
    const SimSummary summary = runSimulation(options.seed, options.matches, match, trace, hooks, options.play);
    if (trace != nullptr && std::fclose(trace) != 0) {
        std::cerr << "vantel-sim: writing the trace file failed\n";
        return kWriteError;
    }
    printSummary(summary, match, options.settingsPath.has_value());
    return 0;
}
