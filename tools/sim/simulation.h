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
#include "game/strength.h"
#include "game/table.h"

namespace vantel {

// How the simulator plays the user's seat: the lowest card it can lay (see
// user_policy.h), or the search player.
enum class UserPolicy { Lowest, Search };

// How the matches are played. The defaults are the game as it always was.
struct SimPlay {
    Strength strength = Strength::Normal;
    UserPolicy user = UserPolicy::Lowest;
    // Playouts for each decision of a search player (the computers at
    // むずかしい, and the user's seat with --user search).
    int playouts = 2000;
    // Seats 1..people are people playing the user's policy, the rest
    // computers. With two or more nobody blocks: the computers play the
    // general strategy (the search player at hard).
    int people = 1;
};

struct SimOptions {
    uint64_t seed = 0;
    int matches = 0;
    SimPlay play;
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

// Decisions of a search player and the time they took.
struct SearchTimes {
    int decisions = 0;
    double totalSeconds = 0;
    double worstSeconds = 0;
};

struct SimSummary {
    int matches = 0;
    int rounds = 0;
    std::array<int, kSeats + 1> matchWins{};       // matches finished in place 1
    std::array<int64_t, kSeats + 1> totalSum{};    // sum of final match totals
    std::array<double, kSeats + 1> totalSquares{}; // sum of their squares
    // places[seat][p]: matches the seat finished in place p (1..4; ties share the better place)
    std::array<std::array<int, 5>, kSeats + 1> places{};
    std::array<int64_t, kSeats + 1> placeSquares{};
    // Rounds won (place 1 in the round), and the sum over matches of the
    // squared number won in each, for the spread between matches.
    std::array<int, kSeats + 1> roundWins{};
    std::array<int64_t, kSeats + 1> roundWinSquares{};
    SearchTimes computerSearch;  // the searching computers
    SearchTimes userSearch;      // the user's seat, with --user search
    double seconds = 0;
};

struct SimHooks {
    // Called at every match end, after the places are known (the settings
    // file records the winner here).
    std::function<void(MatchState&)> recordMatch;
};

// The table the simulator plays at for `play` and `seed`.
TableSetup simTableSetup(uint64_t seed, const SimPlay& play);

// Plays `matches` ten-round matches from `seed` into `match`, writing the
// trace to `trace` when it is not null.
SimSummary runSimulation(uint64_t seed, int matches, MatchState& match, std::FILE* trace = nullptr,
                         const SimHooks& hooks = {}, const SimPlay& play = {});

}  // namespace vantel
