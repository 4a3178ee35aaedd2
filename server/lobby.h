// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The rooms of a table server and what their connections say to them. The
// lobby knows nothing of sockets or clocks: the transport hands it each
// connection's frames with the time, calls tick() now and then, and
// carries out what the Outbox is told. That keeps every rule of rooms,
// seats, moves, stand-ins and journals in one place that tests and the
// fuzzer drive directly.
//
// What a client is told about a table waits until the journal entries that
// led to it are durable: a message is held in its room until the batch it
// depends on is synced (journalSynced), so an answer is never sent for a
// move that a crash could lose.
#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/match_play.h"
#include "game/table.h"
#include "server/journal.h"
#include "server/protocol.h"

namespace vantel::net {

using ConnId = uint64_t;

// A member a joiner may take the picture (and line set) of.
struct Member {
    QString name;
    int sex = 0;  // 1 female, else male: which set of lines the seat speaks
    // Picture files 1..4 (index 0..3): the face at play, then the match-end
    // pictures. Served to browsers; never sent as paths.
    std::array<QString, 4> pictures;
};

struct LobbyLimits {
    int maxTables = 5000;
    int messagesPerSecond = 20;
    int tablesPerHourPerAddress = 10;  // 0: no limit
    int maxSpectators = 32;
};

struct LobbyOptions {
    LobbyLimits limits;
    // How long a seat whose person is gone waits before a computer plays it.
    int64_t graceMs = 20'000;
    // A table with nobody connected for this long is closed.
    int64_t idleCloseMs = 10 * 60'000;
    // The search player's fixed budget at tables with strong computers.
    int searchPlayouts = 300;
    QString serverName = QStringLiteral("vantel-server");
    std::vector<Member> members;  // picture index 1..size()
    std::array<std::string, kLinesPerSet + 1> femaleLines{};
    std::array<std::string, kLinesPerSet + 1> maleLines{};
    // One line per table and refusal; never a token.
    std::function<void(const QString&)> log;
};

// The table a room plays: a friends' table with these seats, computers and
// seed. Replaying a journal builds the same one.
TableSetup friendsTableSetup(const TableSettings& settings, const std::array<bool, kSeats + 1>& person, uint64_t seed,
                             int searchPlayouts);

class Outbox {
public:
    virtual ~Outbox() = default;
    virtual void send(ConnId id, const QByteArray& text) = 0;
    // Closes the connection after what was sent to it.
    virtual void close(ConnId id, int code, const QString& reason) = 0;
};

// A table as a host window lists it.
struct RoomSummary {
    QString room;  // as shown, with dashes
    QString phase;
    std::array<QString, kSeats + 1> seatName;
    std::array<QString, kSeats + 1> seatState;  // "empty", "computer", "present", "away", "standin"
    int spectators = 0;
};

class Lobby {
public:
    Lobby(LobbyOptions options, Outbox& outbox, JournalStore& journal);
    ~Lobby();
    Lobby(const Lobby&) = delete;
    Lobby& operator=(const Lobby&) = delete;

    // Rebuilds every table from the journals; each seat's person counts as
    // gone from `now` on. Returns how many tables resumed.
    int restore(int64_t now);

    void connected(ConnId id, const QString& address, int64_t now);
    void received(ConnId id, const QByteArray& frame, int64_t now);
    void disconnected(ConnId id, int64_t now);
    // Grace periods, turn timers, idle tables.
    void tick(int64_t now);
    // Every batch up to `batch` is durable: held messages go out.
    void journalSynced(uint64_t batch);
    // Tells every connection why the server stops, and closes it.
    void shutdown(const QString& reason, const QString& text);

    // Called when the list of rooms or their seats changed.
    void setRoomsChanged(std::function<void()> changed) { roomsChanged_ = std::move(changed); }
    std::vector<RoomSummary> summaries() const;
    size_t roomCount() const { return rooms_.size(); }
    size_t connectionCount() const { return conns_.size(); }
    // Messages waiting for their journal batch.
    size_t heldCount() const;
    const LobbyOptions& options() const { return options_; }

    // Creates a table for a host outside the protocol (the game's own host
    // window): its room code and host token.
    std::pair<QString, QString> createRoom(const TableSettings& settings, const QString& address, int64_t now);

private:
    struct Seat;
    struct Room;
    struct Conn;
    struct Held {
        uint64_t batch;
        ConnId conn;
        QByteArray text;
        int closeCode;  // 0: a message; else close after it
        QString closeReason;
    };

    void handle(Conn& conn, const ClientMessage& message, int64_t now);
    void onHello(Conn& conn, const msg::Hello& m);
    void onCreate(Conn& conn, const msg::Create& m, int64_t now);
    void onSettings(Conn& conn, const msg::Settings& m);
    void onJoin(Conn& conn, const msg::Join& m, int64_t now);
    void onWatch(Conn& conn, const msg::Watch& m, int64_t now);
    void onResume(Conn& conn, const msg::Resume& m, int64_t now);
    void onStart(Conn& conn, const msg::Start& m, int64_t now);
    void onClose(Conn& conn, const msg::Close& m);
    void onMove(Conn& conn, const msg::Move& m, int64_t now);
    void onLeave(Conn& conn, int64_t now);

    Room* findRoom(const QString& typed);
    Room* hostRoom(Conn& conn, const QString& typedRoom, const QString& hostToken, const QString& request);
    Room& makeRoom(const QString& code, const QString& hostHash, const TableSettings& settings, uint64_t seed);
    void attach(Conn& conn, Room& room, int seat);
    void detach(Conn& conn, int64_t now);
    void closeRoom(Room& room, const QString& reason, const QString& text, bool removeJournal);

    bool buildTable(Room& room);
    // Steps the table as far as it goes, lets stand-ins move for gone
    // people while somebody is there, and sends every connection its news.
    void drive(Room& room, int64_t now);
    std::optional<Refusal> applyMove(Room& room, int seat, const TurnMove& move, const QString& id, const char* by);
    void journalInputs(Room& room, const QString& id = {}, const char* by = nullptr);
    void distribute(Room& room);
    // Each event's JSON by its number, made once for all the connections
    // that one pass sends it to.
    using EncodedEvents = std::unordered_map<uint64_t, QByteArray>;
    void sendEvents(Room& room, Conn& conn, EncodedEvents* encoded = nullptr);
    void takeOver(Room& room, int seat, int64_t now, bool left);
    void armTurnTimer(Room& room, int64_t now);

    bool journal(Room& room, const QJsonObject& entry);
    void roomSend(Room& room, ConnId conn, const QJsonObject& message);
    void roomSendText(Room& room, ConnId conn, QByteArray text);
    void roomClose(Room& room, ConnId conn, int code, const QString& reason);
    void reply(Conn& conn, const QJsonObject& message);
    void refuse(Conn& conn, const QString& code, const QString& text, const QString& request);
    void broadcastRoom(Room& room);
    void notice(Room& room, const QString& kind, int seat, const QString& text);
    QJsonObject roomMessage(const Room& room) const;
    QJsonArray membersJson() const;
    void changed();
    void log(const QString& line) const;

    LobbyOptions options_;
    Outbox& outbox_;
    JournalStore& journal_;
    std::map<QString, std::unique_ptr<Room>> rooms_;
    std::unordered_map<ConnId, std::unique_ptr<Conn>> conns_;
    std::set<Room*> roomsHolding_;
    uint64_t synced_ = 0;
    // Tables made per address in the last hour.
    QHash<QString, std::deque<int64_t>> madeBy_;
    int64_t lastSweep_ = 0;
    std::function<void()> roomsChanged_;
};

}  // namespace vantel::net
