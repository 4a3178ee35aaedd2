// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop game's seat at a table of a server (docs/protocol.md): it
// greets the server, creates, joins or watches a table, passes the seat's
// events on in order, sends the person's moves, and when the connection is
// lost comes back by itself with the seat's token, for up to a minute,
// resending any move whose answer never came.
#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>
#include <array>
#include <map>
#include <optional>

#include "game/seat_view.h"
#include "game/table_event.h"
#include "game/user_model.h"

namespace vantel::net {

// The protocol this client speaks.
inline constexpr int kClientProtocol = 1;

// A member a joiner may take a picture from.
struct TableMember {
    int picture = 0;
    QString name;
    bool female = false;
    QStringList images;  // paths on the server: the portrait first
};

struct RoomSeat {
    int seat = 0;
    QString state;  // empty, computer, present, away, standin
    QString name;
    int picture = 0;
};

struct RoomInfo {
    QString room;
    QString phase;  // lobby, playing, between
    QJsonObject settings;
    std::array<RoomSeat, 4> seats{};
    int spectators = 0;
};

// A seat this game sat at, kept so that a game closed by force can take
// it back when it starts again: in the user's data folder, readable by the
// user alone. The token is the seat's secret and is shown nowhere.
struct SavedSeat {
    QUrl url;
    QString room;
    QString token;
    QString name;
    bool operator==(const SavedSeat&) const = default;
};
std::optional<SavedSeat> loadSavedSeat();
void saveSeat(const SavedSeat& seat);
void forgetSavedSeat();

// A failure as a player reads it, in plain Japanese, from the protocol's
// code (or the socket's error).
QString failureText(const QString& code, const QString& serverText = {});

class RemoteTable : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Connecting, Ready, Reconnecting, Closed };

    explicit RemoteTable(QObject* parent = nullptr);
    ~RemoteTable() override;

    // ws://HOST:PORT/socket (or wss://).
    void open(const QUrl& url);
    void create(const QJsonObject& settings);
    void join(const QString& room, const QString& name, int picture);
    void watch(const QString& room);
    // Takes back a seat held before (by a game that was closed by force).
    void resume(const QString& room, const QString& token);
    // True when this connection took a seat back with resume(): what
    // comes first is the whole match so far.
    bool tookSeatBack() const { return tookBack_; }
    // What to keep to take this seat back.
    SavedSeat savedSeat(const QString& name) const { return {url_, room_, token_, name}; }
    void start();
    // The seat's move, answering the last event received.
    void move(const TurnMove& move);
    // Gives the seat up for now (a computer plays it at once) and closes.
    void leave();
    // Closes the table, for its host.
    void closeTable();

    State state() const { return state_; }
    int seat() const { return seat_; }
    const QString& roomCode() const { return room_; }
    bool isHost() const { return !hostToken_.isEmpty(); }
    // The last event received and what the seat sees with it.
    const SeatView& view() const { return view_; }
    // The host's members (from the greeting), the room as last told, and
    // the server's address.
    const QList<TableMember>& members() const { return members_; }
    const RoomInfo& room() const { return roomInfo_; }
    const QUrl& url() const { return url_; }
    // How long to try coming back before giving up (a minute).
    void setReconnectLimit(int milliseconds) { reconnectLimitMs_ = milliseconds; }

Q_SIGNALS:
    void welcomed(const QList<vantel::net::TableMember>& members);
    void created(const QString& room, const QString& link);
    void seated(int seat, bool resumed);
    void roomChanged(const vantel::net::RoomInfo& room);
    // One event of the seat's stream, in order; `lineText` for a line.
    void eventReceived(const vantel::TableEvent& event, const QString& lineText);
    // The seat missed too much: its whole view, before the events after it.
    void snapshotReceived(const vantel::SeatView& view);
    void notice(const QString& kind, int seat, const QString& text);
    // A request was refused; `text` is for the player.
    void refused(const QString& request, const QString& code, const QString& text);
    void reconnecting();
    void reconnected();
    // The table is gone for this client: closed by the server or its host,
    // or the connection could not be had back; `text` is for the player.
    void ended(const QString& reason, const QString& text);

private:
    void send(const QJsonObject& message);
    void onConnected();
    void onDisconnected();
    void onMessage(const QString& text);
    void handle(const QJsonObject& message);
    void retry();
    void end(const QString& reason, const QString& text);

    QWebSocket socket_;
    QUrl url_;
    State state_ = State::Idle;
    // What to send once greeted: the first request, or the resume.
    QJsonObject pending_;
    QString room_;
    QString token_;
    QString hostToken_;
    int seat_ = 0;
    SeatView view_;
    QList<TableMember> members_;
    RoomInfo roomInfo_;
    // Moves sent and not yet answered, by id, to send again after a resume.
    std::map<QString, QJsonObject> unanswered_;
    int nextMoveId_ = 1;
    QString moveIdTag_;
    bool tookBack_ = false;
    QTimer retryTimer_;
    QElapsedTimer lostFor_;
    int reconnectLimitMs_ = 60000;
    int retryDelayMs_ = 500;
};

}  // namespace vantel::net
