// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vantel-sim: plays whole matches of Sevens with no window.
//
//   vantel-sim --seed S --matches M [--trace FILE] [--settings FILE]
//   vantel-sim --help | --version
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
    "Usage: vantel-sim --seed S --matches M [--trace FILE] [--settings FILE]\n"
    "       vantel-sim --help | --version\n"
    "Plays whole matches of Sevens (７ならべ) with the game's engine and no window,\n"
    "and prints the matches, rounds, each seat's wins and average total.\n"
    "\n"
    "Options:\n"
    "  --seed S         seed of the random generator, 0 to 18446744073709551615;\n"
    "                   the same seed plays the same matches\n"
    "  --matches M      number of matches to play, at least 1\n"
    "  --trace FILE     write every event of the run to FILE as JSON Lines\n"
    "  --settings FILE  read FILE as the game reads its settings file (made with\n"
    "                   the factory values when missing), seat its first four\n"
    "                   members and record every winner's high score and\n"
    "                   ranking into it\n"
    "  --help           show this help and exit\n"
    "  --version        show the name and version and exit\n";

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
    const SimSummary summary = runSimulation(options.seed, options.matches, match, trace, hooks);
    if (trace != nullptr && std::fclose(trace) != 0) {
        std::cerr << "vantel-sim: writing the trace file failed\n";
        return kWriteError;
    }
    printSummary(summary, match, options.settingsPath.has_value());
    return 0;
}
