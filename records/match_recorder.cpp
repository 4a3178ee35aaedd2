// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/match_recorder.h"

#include "records/record_file.h"

namespace vantel {

namespace {
constexpr int kUserSeat = 1;
}  // namespace

MatchRecorder::MatchRecorder(const MatchState& state, std::filesystem::path file)
    : state_(state), file_(std::move(file)) {}

void MatchRecorder::write(const std::function<void(PlayRecord&)>& change) {
    if (changeRecordFile(file_, change).damaged && damaged_) damaged_();
}

void MatchRecorder::onMatchStart() {
    running_ = true;
    const int strength = static_cast<int>(state_.matchStrength);
    strength_ = strength >= 1 && strength <= 3 ? state_.matchStrength : kDefaultStrength;
    round_ = {};
}

void MatchRecorder::onPass(int seat, int /*count*/) {
    if (running_ && seat == kUserSeat) round_.passes += 1;
}

void MatchRecorder::onDrop(int seat) {
    if (running_ && seat == kUserSeat) round_.drops += 1;
}

void MatchRecorder::noteHint() {
    if (running_) round_.hints += 1;
}

void MatchRecorder::onOut(int seat, int place, int /*points*/) {
    if (running_ && seat == kUserSeat && place == 1) round_.won = true;
}

void MatchRecorder::onRoundEnd(int /*round*/) {
    if (!running_) return;
    const RoundTally round = round_;
    round_ = {};
    write([&](PlayRecord& record) { addRound(record, strength_, round); });
}

void MatchRecorder::onMatchEnd() {
    if (!running_) return;
    running_ = false;
    RecentMatch match;
    match.playedAt = recordTimeNow();
    match.strength = strength_;
    match.place = state_.finalPlace[kUserSeat];
    match.total = state_.matchTotal[kUserSeat];
    for (int seat = 2; seat <= kSeats; ++seat) match.opponents[static_cast<size_t>(seat - 2)] = state_.seatName[seat];
    write([&](PlayRecord& record) { addPlayedMatch(record, match); });
}

void MatchRecorder::noteLeft() {
    if (!running_) return;
    running_ = false;
    const RoundTally unfinished = round_;
    round_ = {};
    write([&](PlayRecord& record) { addLeftMatch(record, strength_, unfinished); });
}

}  // namespace vantel
