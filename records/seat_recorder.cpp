// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/seat_recorder.h"

#include "records/record_file.h"

namespace vantel {

namespace {
constexpr int kOwnSeat = 1;
}  // namespace

SeatRecorder::SeatRecorder(std::filesystem::path file) : file_(std::move(file)) {}

void SeatRecorder::write(const std::function<void(PlayRecord&)>& change) {
    if (changeRecordFile(file_, change).damaged && damaged_) damaged_();
}

void SeatRecorder::seen(const TableEvent& e) {
    if (!e.visibleFor(kOwnSeat)) return;
    if (e.kind == EventKind::MatchStart) {
        running_ = true;
        dealt_ = false;
        round_ = {};
        total_ = 0;
        return;
    }
    if (!running_) return;
    const bool own = e.seat == kOwnSeat;
    switch (e.kind) {
        case EventKind::RoundStart: dealt_ = true; break;
        case EventKind::Pass:
            if (own) round_.passes += 1;
            break;
        case EventKind::Drop:
            if (own) round_.drops += 1;
            break;
        case EventKind::Out:
            if (own && e.a == 1) round_.won = true;
            break;
        case EventKind::Results: {
            const RoundTally round = round_;
            round_ = {};
            write([&](PlayRecord& record) { addRound(record, kFriendsColumn, round); });
            break;
        }
        case EventKind::Totals: total_ = e.values[kOwnSeat - 1]; break;
        case EventKind::MatchEnd: {
            running_ = false;
            RecentMatch match;
            match.playedAt = recordTimeNow();
            match.withFriends = true;
            match.place = e.values[kOwnSeat - 1];
            match.total = total_;
            match.opponents = opponents_;
            write([&](PlayRecord& record) { addPlayedMatch(record, match); });
            break;
        }
        default: break;
    }
}

void SeatRecorder::noteHint() {
    if (running_) round_.hints += 1;
}

void SeatRecorder::noteLeft() {
    if (!running_) return;
    running_ = false;
    const RoundTally unfinished = round_;
    round_ = {};
    if (dealt_) write([&](PlayRecord& record) { addLeftMatch(record, kFriendsColumn, unfinished); });
}

}  // namespace vantel
