// vantel-sim: plays whole matches of Sevens with no window.
//
//   vantel-sim --seed S --matches M [--trace FILE]
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/sim/simulation.h"

using namespace vantel;

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto parsed = parseSimOptions(args);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "vantel-sim: " << *error << "\n";
        return 2;
    }
    const SimOptions options = std::get<SimOptions>(parsed);

    std::FILE* trace = nullptr;
    if (options.tracePath) {
        trace = std::fopen(options.tracePath->c_str(), "wb");
        if (trace == nullptr) {
            std::cerr << "vantel-sim: cannot write the trace file '" << *options.tracePath << "'\n";
            return 1;
        }
    }

    MatchState& match = sharedState();
    for (int seat = 1; seat <= kSeats; ++seat) {
        match.seatName[seat] = "Seat " + std::to_string(seat);
        match.seatSex[seat] = 1;
    }
    const SimSummary summary = runSimulation(options.seed, options.matches, match, trace);
    if (trace != nullptr && std::fclose(trace) != 0) {
        std::cerr << "vantel-sim: writing the trace file failed\n";
        return 1;
    }

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
    return 0;
}
