// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/remote_seat_source.h"

#include <QTimer>

namespace vantel::net {

namespace {
// A follower reads what it has not shown yet; a stream this far ahead of it
// is a follower that stopped reading.
constexpr size_t kMostKept = 20000;
}  // namespace

RemoteSeatSource::RemoteSeatSource(RemoteTable& table, QObject* parent) : QObject(parent), table_(table) {
    connect(&table_, &RemoteTable::eventReceived, this, &RemoteSeatSource::received);
    connect(&table_, &RemoteTable::snapshotReceived, this, &RemoteSeatSource::snapshot);
    connect(&table_, &RemoteTable::roomChanged, this, &RemoteSeatSource::roomChanged);
    connect(&table_, &RemoteTable::refused, this, [this](const QString& request) {
        if (request != QLatin1String("move") || !moved_) return;
        // The move was not taken (the turn timer was quicker, or the table
        // moved on before it arrived): the seat's table is shown again as
        // it stands, with its turn open if it still is.
        moved_ = false;
        snapshot(table_.view());
    });
    roomChanged(table_.room());
    // Events the connection took before the window was there.
    if (table_.view().seq > 0) {
        snapshot(table_.view());
    } else {
        catchingUp_ = table_.tookSeatBack();
    }
}

void RemoteSeatSource::received(const TableEvent& event, const QString& line) {
    if (catchingUp_) {
        // The first batch is the match so far: once all of it is in (the
        // connection tells a batch at once, and keeps its own view of it),
        // the table is shown as it stands.
        if (!catchUpDue_) {
            catchUpDue_ = true;
            QTimer::singleShot(0, this, [this] {
                catchingUp_ = false;
                snapshot(table_.view());
            });
        }
        return;
    }
    const TableEvent e = seenFrom(event, table_.seat());
    if (e.kind == EventKind::Line) lines_[e.seq] = line.toStdString();
    if (e.kind == EventKind::TurnOpen) moved_ = false;
    tracker_.apply(e);
    events_.push_back(e);
    while (events_.size() > kMostKept) events_.pop_front();
    Q_EMIT told(e);
    arrived();
}

void RemoteSeatSource::snapshot(const SeatView& view) {
    const SeatView v = seenFrom(view);
    snapshot_ = v;
    events_.clear();
    lines_.clear();
    tracker_.restart(v);
    moved_ = false;
    arrived();
}

std::vector<TableEvent> RemoteSeatSource::eventsAfter(uint64_t after) {
    // What was shown is not asked for again.
    while (!events_.empty() && events_.front().seq <= after) events_.pop_front();
    lines_.erase(lines_.begin(), lines_.lower_bound(after));
    return {events_.begin(), events_.end()};
}

std::optional<SeatView> RemoteSeatSource::snapshotAfter(uint64_t presented) const {
    if (snapshot_ && snapshot_->seq > presented &&
        (events_.empty() || events_.front().seq > presented + 1)) {
        return snapshot_;
    }
    return std::nullopt;
}

bool RemoteSeatSource::awaitsMove() const { return tracker_.view().myTurn && !moved_; }

std::optional<Refusal> RemoteSeatSource::send(const TurnMove& move) {
    if (!awaitsMove()) return Refusal::NotYourTurn;
    moved_ = true;
    // The server answers; a refusal (the turn timer was quicker) comes with
    // the events that follow it.
    table_.move(move);
    return std::nullopt;
}

bool RemoteSeatSource::startMatch() {
    if (!table_.isHost()) return false;
    table_.start();
    return true;
}

std::optional<SeatKnowledge> RemoteSeatSource::knowledge() const {
    if (!awaitsMove()) return std::nullopt;
    return tracker_.knowledge(Strength::Normal);
}

SeatSource::Streak RemoteSeatSource::streak() const {
    const SeatView& v = tracker_.view();
    return {v.phase != ViewPhase::Playing, v.streakSeat, v.streakCount};
}

std::optional<std::string> RemoteSeatSource::lineText(const TableEvent& event) const {
    const auto it = lines_.find(event.seq);
    if (it == lines_.end()) return std::nullopt;
    return it->second;
}

void RemoteSeatSource::roomChanged(const RoomInfo& room) {
    const bool strong = room.settings.value(QStringLiteral("computers")).toString() == QLatin1String("strong");
    std::array<SeatStrategy, 5> play{};
    for (const RoomSeat& s : room.seats) {
        if (s.seat < 1 || s.seat > kSeats) continue;
        const bool computer = s.state == QLatin1String("computer") || s.state == QLatin1String("empty");
        play[placeOf(s.seat)] = !computer ? SeatStrategy::User : strong ? SeatStrategy::Search : SeatStrategy::General;
    }
    tracker_.setFriendsPlay(play);
}

}  // namespace vantel::net
