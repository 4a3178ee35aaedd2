// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A seat at a friends' table, as the window holds it: the connection to the
// server (and the server itself when this game hosts), the source the
// window follows, and the match as the player sees it from place 1: the
// names, sexes and pictures of the seats in their order of play.
//
// The pictures of the host's members come from the server over HTTP into
// a folder of this session; one that cannot be had is simply not shown.
// What happens to the seats (a computer takes over a seat whose person is
// gone, the person comes back) shows beside their names.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "net/remote_seat_source.h"
#include "net/remote_table.h"
#include "records/match_state.h"

namespace vantel {

namespace net {
class ServerThread;
}

class FriendsTable : public QObject {
    Q_OBJECT
public:
    // `table` is seated; `server` is the one this game hosts, if any.
    // `player` gives the settings the window reads (fonts, sound, the
    // settings file) and the player's own.
    FriendsTable(std::unique_ptr<net::RemoteTable> table, std::unique_ptr<net::ServerThread> server,
                 const MatchState& player, QObject* parent = nullptr);
    ~FriendsTable() override;

    net::RemoteTable& remote() { return *table_; }
    net::RemoteSeatSource& source() { return *source_; }
    // The match seen from the player's seat (place 1).
    MatchState& state() { return state_; }
    bool isHost() const { return table_->isHost(); }
    // What shows beside the name at `place` (1..4), if anything.
    QString mark(int place) const { return marks_[place]; }

    // The player leaves: the server hears it first, so that a computer
    // takes the seat at once; the host closes the table for everybody.
    void leave();

Q_SIGNALS:
    // Names, marks or pictures changed.
    void seatsChanged();
    // A line to show everybody for a moment ("…の代わりにコンピュータが打ちます").
    void noticeShown(const QString& text);
    void reconnecting();
    void reconnected();
    // The table is gone for this player; `text` says why.
    void ended(const QString& text);

private:
    void roomChanged(const net::RoomInfo& room);
    void notice(const QString& kind, int seat, const QString& text);
    // 「（復帰）」 beside the name for a while.
    void markReturned(int place);
    void fetchPicture(int member, int picture);

    std::unique_ptr<net::RemoteTable> table_;
    std::unique_ptr<net::ServerThread> server_;
    std::unique_ptr<net::RemoteSeatSource> source_;
    MatchState state_;
    std::array<QString, 5> marks_;
    std::array<QString, 5> seatStates_;
    QNetworkAccessManager http_;
    QTemporaryDir pictures_;
    // Pictures asked for: member * 10 + picture.
    QList<int> fetched_;
    bool left_ = false;
};

}  // namespace vantel
