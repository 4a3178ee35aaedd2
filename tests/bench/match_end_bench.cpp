// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a match end costs on a real settings file, and how much of it the
// lock between copies adds: saiten takes the lock, reads the file, merges
// the result and writes the ten rows; the plain write of the same rows is
// what a match end did before copies merged.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "records/match_state.h"
#include "platform/lock/file_lock.h"
#include "platform/profile/profile.h"
#include "records/ranking.h"

namespace vantel {
namespace {

// A factory settings file in a fresh temporary folder whose high score no
// match reaches, and a match won by seat 1 with a total that always takes
// a ranking row.
class MatchEndFile {
public:
    MatchEndFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        if (!readSettings(state, {folder_, {}}).ok()) throw std::runtime_error("no settings file");
        profile::writeString(state.iniPath, "HiScore", "Score", "30000");
        readSettings(state, {folder_, {}});
        state.seatName = {"", "あやや", "ゆうこ", "はるか", "みさこ"};
        state.finalPlace = {0, 1, 2, 3, 4};
        state.matchTotal = {0, 5000, 100, 100, 100};
    }
    ~MatchEndFile() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    MatchState state;

private:
    std::filesystem::path folder_;
};

constexpr LocalDateTime kNow{2026, 3, 7, 9, 5, 3};

void MatchEndUnderTheLock(benchmark::State& bench) {
    MatchEndFile file;
    for (auto _ : bench) benchmark::DoNotOptimize(saiten(file.state, kNow));
}

void MatchEndPlainWrite(benchmark::State& bench) {
    MatchEndFile file;
    std::vector<profile::KeyValue> rows;
    for (int row = 1; row <= kRankRows; ++row) {
        const std::string section = rankSection(row);
        rows.push_back({section, "Name", "あやや"});
        rows.push_back({section, "Ten", "5000"});
        rows.push_back({section, "Date", shortDateText(kNow)});
        rows.push_back({section, "Time", shortTimeText(kNow)});
    }
    for (auto _ : bench) benchmark::DoNotOptimize(profile::writeStrings(file.state.iniPath, rows));
}

void LockTakenAndReleased(benchmark::State& bench) {
    MatchEndFile file;
    for (auto _ : bench) {
        FileLock lock(file.state.iniPath);
        benchmark::DoNotOptimize(lock.held());
    }
}

// The writes wait for the disk (fsync): real time, not CPU time.
BENCHMARK(MatchEndUnderTheLock)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(MatchEndPlainWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(LockTakenAndReleased)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace vantel

BENCHMARK_MAIN();
