// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's source for a seat at a table of a server: the events the
// connection receives, turned so that the player's seat is at place 1 (the
// bottom of the table) and the others follow in their order of play. The
// window follows it exactly as it follows the table in this process; only
// the steps come by themselves, as the server plays them.
#pragma once

#include <QObject>
#include <array>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "game/seat_follower.h"
#include "game/seat_source.h"
#include "net/remote_table.h"

namespace vantel::net {

class RemoteSeatSource final : public QObject, public SeatSource {
    Q_OBJECT
public:
    // `table` is seated already and outlives the source.
    explicit RemoteSeatSource(RemoteTable& table, QObject* parent = nullptr);

    int seat() const override { return 1; }
    std::vector<TableEvent> eventsAfter(uint64_t after) override;
    bool advance() override { return false; }
    bool awaitsMove() const override;
    std::optional<Refusal> send(const TurnMove& move) override;
    // Only the host starts a match, for everybody.
    bool startMatch() override;
    std::optional<SeatKnowledge> knowledge() const override;
    Streak streak() const override;
    std::optional<SeatView> snapshotAfter(uint64_t presented) const override;

    // The text of a line as the server told it.
    std::optional<std::string> lineText(const TableEvent& event) const;
    // The place (1..4, 1 = the player) of table seat `seat`, and back.
    int placeOf(int seat) const { return vantel::placeOf(seat, table_.seat()); }
    int seatAt(int place) const { return vantel::seatAt(place, table_.seat()); }
    // Who plays each place, from the room: a person, or a computer of the
    // table's kind.
    void roomChanged(const RoomInfo& room);

Q_SIGNALS:
    // Each event of the seat's stream as it arrives, turned (a seat taken
    // back tells only what comes after the match so far).
    void told(const vantel::TableEvent& event);

private:
    void received(const TableEvent& event, const QString& line);
    void snapshot(const SeatView& view);

    RemoteTable& table_;
    std::deque<TableEvent> events_;
    std::map<uint64_t, std::string> lines_;
    std::optional<SeatView> snapshot_;
    SeatKnowledgeTracker tracker_{1};
    // The seat's move of the open turn is on its way.
    bool moved_ = false;
    // A seat taken back by a game started again: the match so far is not
    // played again before its eyes but shown as it stands.
    bool catchingUp_ = false;
    bool catchUpDue_ = false;
};

}  // namespace vantel::net
