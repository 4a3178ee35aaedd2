// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Plays whole matches headless with the real engine and tallies them.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "records/match_state.h"

namespace vantel {

struct SimOptions {
    uint64_t seed = 0;
    int matches = 0;
    std::optional<std::string> tracePath;
    std::optional<std::string> settingsPath;
    // --help or --version: answer and play nothing.
    bool help = false;
    bool version = false;
};

// Reads the command line (without the program name). An error is one line
// naming the problem. --help and --version end the reading where they
// stand, so they answer whatever follows and need no --seed or --matches.
std::variant<SimOptions, std::string> parseSimOptions(const std::vector<std::string>& args);

struct SimSummary {
    int matches = 0;
    int rounds = 0;
    std::array<int, kSeats + 1> matchWins{};       // matches finished in place 1
    std::array<int64_t, kSeats + 1> totalSum{};    // sum of final match totals
    double seconds = 0;
};

struct SimHooks {
    // Called at every match end, after the places are known (the settings
    // file records the winner here).
    std::function<void(MatchState&)> recordMatch;
};

// Plays `matches` ten-round matches from `seed` into `match`, writing the
// trace to `trace` when it is not null.
SimSummary runSimulation(uint64_t seed, int matches, MatchState& match, std::FILE* trace = nullptr,
                         const SimHooks& hooks = {});

}  // namespace vantel
