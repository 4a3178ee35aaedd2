// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/lobby.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

#include <algorithm>

#include "game/dialogue.h"
#include "records/text_helpers.h"
#include "server/secrets.h"

namespace vantel::net {

namespace {

constexpr int kMovesRemembered = 32;
constexpr int64_t kHour = 3'600'000;

enum class SeatState { Empty, Computer, Present, Away, StandIn };

QString stateName(SeatState state) {
    switch (state) {
        case SeatState::Empty: return QStringLiteral("empty");
        case SeatState::Computer: return QStringLiteral("computer");
        case SeatState::Present: return QStringLiteral("present");
        case SeatState::Away: return QStringLiteral("away");
        case SeatState::StandIn: return QStringLiteral("standin");
    }
    return QStringLiteral("empty");
}

QString moveName(TurnMove::Kind kind) {
    switch (kind) {
        case TurnMove::Card: return QStringLiteral("card");
        case TurnMove::Pass: return QStringLiteral("pass");
        case TurnMove::Drop: return QStringLiteral("drop");
    }
    return QStringLiteral("pass");
}

QString inputKindName(TableInput::Kind kind) {
    switch (kind) {
        case TableInput::StartMatch: return QStringLiteral("start");
        case TableInput::Move: return QStringLiteral("move");
        case TableInput::Skip: return QStringLiteral("skip");
        case TableInput::SearchMove: return QStringLiteral("search");
    }
    return QStringLiteral("move");
}

std::optional<TableInput::Kind> inputKindFrom(const QString& name) {
    if (name == QLatin1String("start")) return TableInput::StartMatch;
    if (name == QLatin1String("move")) return TableInput::Move;
    if (name == QLatin1String("skip")) return TableInput::Skip;
    if (name == QLatin1String("search")) return TableInput::SearchMove;
    return std::nullopt;
}

}  // namespace

struct Lobby::Seat {
    SeatState state = SeatState::Empty;
    QString name;
    int picture = 0;  // member index 1..
    QString tokenHash;
    ConnId conn = 0;
    int64_t awaySince = 0;
    // The last moves' ids and their answers: a move sent again gets the
    // same answer and is not applied twice.
    std::deque<std::pair<QString, QJsonObject>> answers;

    bool isPerson() const { return state == SeatState::Present || state == SeatState::Away || state == SeatState::StandIn; }
};

struct Lobby::Room {
    QString code;
    QString hostHash;
    TableSettings settings;
    uint64_t seed = 0;
    std::array<Seat, kSeats + 1> seats;
    // The match outlives the table that plays on it.
    std::unique_ptr<MatchPlay> match;
    std::unique_ptr<Table> table;
    size_t inputsJournaled = 0;
    std::set<ConnId> conns;
    int64_t idleSince = 0;
    uint64_t heldBatch = 0;  // the newest batch this room's news depends on
    std::deque<Held> held;
    // The event that opened the awaited person's turn.
    uint64_t openSeq = 0;
    int timedSeat = 0;
    uint64_t timedOpenSeq = 0;
    int64_t turnDeadline = 0;
    bool closed = false;
    bool broken = false;

    bool anyPresent() const {
        return std::any_of(seats.begin() + 1, seats.end(), [](const Seat& s) { return s.state == SeatState::Present; });
    }
    QString phase() const {
        if (!table) return QStringLiteral("lobby");
        return table->matchRunning() ? QStringLiteral("playing") : QStringLiteral("between");
    }
};

struct Lobby::Conn {
    ConnId id = 0;
    QString address;
    bool greeted = false;
    bool closing = false;
    QString room;
    int seat = -1;  // -1: at no table; 0: watching; 1..4: seated
    uint64_t lastSent = 0;
    std::deque<int64_t> recent;  // arrival times of the last messages
};

Lobby::Lobby(LobbyOptions options, Outbox& outbox, JournalStore& journal)
    : options_(std::move(options)), outbox_(outbox), journal_(journal) {
    if (options_.members.empty()) options_.members.push_back(Member{QStringLiteral("プレイヤー"), 1, {}});
}

Lobby::~Lobby() = default;

void Lobby::log(const QString& line) const {
    if (options_.log) options_.log(line);
}

void Lobby::changed() {
    if (roomsChanged_) roomsChanged_();
}

size_t Lobby::heldCount() const {
    size_t n = 0;
    for (const Room* r : roomsHolding_) n += r->held.size();
    return n;
}

// ---- sending ------------------------------------------------------------------

void Lobby::roomSend(Room& room, ConnId conn, const QJsonObject& message) { roomSendText(room, conn, encode(message)); }

void Lobby::roomSendText(Room& room, ConnId conn, QByteArray text) {
    if (room.heldBatch > synced_) {
        room.held.push_back(Held{room.heldBatch, conn, std::move(text), 0, {}});
        roomsHolding_.insert(&room);
    } else {
        outbox_.send(conn, text);
    }
}

void Lobby::roomClose(Room& room, ConnId conn, int code, const QString& reason) {
    if (room.heldBatch > synced_) {
        room.held.push_back(Held{room.heldBatch, conn, {}, code, reason});
        roomsHolding_.insert(&room);
    } else {
        outbox_.close(conn, code, reason);
    }
}

void Lobby::reply(Conn& conn, const QJsonObject& message) {
    if (!conn.room.isEmpty()) {
        if (auto it = rooms_.find(conn.room); it != rooms_.end()) {
            roomSend(*it->second, conn.id, message);
            return;
        }
    }
    outbox_.send(conn.id, encode(message));
}

void Lobby::refuse(Conn& conn, const QString& code, const QString& text, const QString& request) {
    log(QStringLiteral("refused %1 from connection %2 (%3): %4 %5")
            .arg(request.isEmpty() ? QStringLiteral("message") : request)
            .arg(conn.id)
            .arg(conn.address, code, text));
    reply(conn, errorMessage(code, text, request));
}

void Lobby::journalSynced(uint64_t batch) {
    if (batch <= synced_) return;
    synced_ = batch;
    for (auto it = roomsHolding_.begin(); it != roomsHolding_.end();) {
        Room& room = **it;
        while (!room.held.empty() && room.held.front().batch <= synced_) {
            Held h = std::move(room.held.front());
            room.held.pop_front();
            if (h.closeCode != 0) outbox_.close(h.conn, h.closeCode, h.closeReason);
            else outbox_.send(h.conn, h.text);
        }
        if (room.held.empty()) it = roomsHolding_.erase(it);
        else ++it;
    }
}

bool Lobby::journal(Room& room, const QJsonObject& entry) {
    if (!journal_.append(room.code, encode(entry))) {
        room.broken = true;
        log(QStringLiteral("table %1: its journal cannot be written").arg(displayRoomCode(room.code)));
        return false;
    }
    room.heldBatch = std::max(room.heldBatch, journal_.openBatch());
    return true;
}

// ---- connections ----------------------------------------------------------------

void Lobby::connected(ConnId id, const QString& address, int64_t) {
    auto conn = std::make_unique<Conn>();
    conn->id = id;
    conn->address = address;
    conns_[id] = std::move(conn);
    outbox_.send(id, encode(helloMessage(options_.serverName)));
}

void Lobby::disconnected(ConnId id, int64_t now) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    detach(*it->second, now);
    conns_.erase(it);
}

void Lobby::received(ConnId id, const QByteArray& frame, int64_t now) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    Conn& conn = *it->second;
    if (conn.closing) return;

    // More than the allowed number of messages in any one second closes the
    // connection: a client that floods is broken or hostile.
    conn.recent.push_back(now);
    while (!conn.recent.empty() && now - conn.recent.front() >= 1000) conn.recent.pop_front();
    if (static_cast<int>(conn.recent.size()) > options_.limits.messagesPerSecond) {
        refuse(conn, QStringLiteral("flood"),
               QStringLiteral("more than %1 messages a second").arg(options_.limits.messagesPerSecond), {});
        conn.closing = true;
        if (auto r = rooms_.find(conn.room); r != rooms_.end()) roomClose(*r->second, id, 1008, QStringLiteral("flood"));
        else outbox_.close(id, 1008, QStringLiteral("flood"));
        return;
    }

    ParseResult parsed = parseClientMessage(frame);
    if (auto* error = std::get_if<ParseError>(&parsed)) {
        refuse(conn, error->code, error->text, error->type);
        return;
    }
    const ClientMessage& message = std::get<ClientMessage>(parsed);
    if (!conn.greeted && !std::holds_alternative<msg::Hello>(message)) {
        refuse(conn, QStringLiteral("hello_first"), QStringLiteral("the first message must be \"hello\""),
               messageType(message));
        return;
    }
    handle(conn, message, now);
}

void Lobby::handle(Conn& conn, const ClientMessage& message, int64_t now) {
    std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, msg::Hello>) onHello(conn, m);
            else if constexpr (std::is_same_v<T, msg::Create>) onCreate(conn, m, now);
            else if constexpr (std::is_same_v<T, msg::Settings>) onSettings(conn, m);
            else if constexpr (std::is_same_v<T, msg::Join>) onJoin(conn, m, now);
            else if constexpr (std::is_same_v<T, msg::Watch>) onWatch(conn, m, now);
            else if constexpr (std::is_same_v<T, msg::Resume>) onResume(conn, m, now);
            else if constexpr (std::is_same_v<T, msg::Start>) onStart(conn, m, now);
            else if constexpr (std::is_same_v<T, msg::Close>) onClose(conn, m);
            else if constexpr (std::is_same_v<T, msg::Move>) onMove(conn, m, now);
            else if constexpr (std::is_same_v<T, msg::Leave>) onLeave(conn, now);
        },
        message);
}

void Lobby::onHello(Conn& conn, const msg::Hello& m) {
    if (conn.greeted) {
        refuse(conn, QStringLiteral("already_greeted"), QStringLiteral("\"hello\" is sent once"), QStringLiteral("hello"));
        return;
    }
    if (m.protocol != kProtocolVersion) {
        const QString text = QStringLiteral("this server speaks protocol %1 and the client speaks protocol %2")
                                 .arg(kProtocolVersion)
                                 .arg(m.protocol);
        refuse(conn, QStringLiteral("protocol_mismatch"), text, QStringLiteral("hello"));
        conn.closing = true;
        outbox_.close(conn.id, 1002, QStringLiteral("protocol mismatch"));
        return;
    }
    conn.greeted = true;
    QJsonObject welcome{{QStringLiteral("type"), QStringLiteral("welcome")}, {QStringLiteral("members"), membersJson()}};
    outbox_.send(conn.id, encode(welcome));
}

QJsonArray Lobby::membersJson() const {
    QJsonArray list;
    for (size_t i = 0; i < options_.members.size(); ++i) {
        const Member& m = options_.members[i];
        const int index = static_cast<int>(i) + 1;
        QJsonArray pictures;
        for (int p = 1; p <= 4; ++p) pictures.append(QStringLiteral("/members/%1/%2").arg(index).arg(p));
        list.append(QJsonObject{{QStringLiteral("picture"), index},
                                {QStringLiteral("name"), m.name},
                                {QStringLiteral("sex"), m.sex == 1 ? QStringLiteral("female") : QStringLiteral("male")},
                                {QStringLiteral("images"), pictures}});
    }
    return list;
}

// ---- rooms ------------------------------------------------------------------------

Lobby::Room* Lobby::findRoom(const QString& typed) {
    const auto code = normalRoomCode(typed);
    if (!code) return nullptr;
    auto it = rooms_.find(*code);
    if (it == rooms_.end() || it->second->closed) return nullptr;
    return it->second.get();
}

Lobby::Room& Lobby::makeRoom(const QString& code, const QString& hostHash, const TableSettings& settings, uint64_t seed) {
    auto room = std::make_unique<Room>();
    room->code = code;
    room->hostHash = hostHash;
    room->settings = settings;
    room->seed = seed;
    Room& r = *room;
    rooms_[code] = std::move(room);
    return r;
}

std::pair<QString, QString> Lobby::createRoom(const TableSettings& settings, const QString& address, int64_t now) {
    QString code;
    do {
        code = newRoomCode();
    } while (rooms_.count(code) != 0);
    const QString token = newToken();
    const uint64_t seed = QRandomGenerator::system()->generate64();
    Room& room = makeRoom(code, tokenHash(token), settings, seed);
    room.idleSince = now;
    journal(room, QJsonObject{{QStringLiteral("e"), QStringLiteral("table")},
                              {QStringLiteral("version"), 1},
                              {QStringLiteral("host"), room.hostHash},
                              {QStringLiteral("seed"), QString::number(seed, 16)},
                              {QStringLiteral("settings"), settingsJson(settings)}});
    log(QStringLiteral("table %1 created by %2").arg(displayRoomCode(code), address));
    changed();
    return {code, token};
}

void Lobby::onCreate(Conn& conn, const msg::Create& m, int64_t now) {
    const QString request = QStringLiteral("create");
    if (static_cast<int>(rooms_.size()) >= options_.limits.maxTables) {
        refuse(conn, QStringLiteral("server_full"), QStringLiteral("this server holds as many tables as it may"), request);
        return;
    }
    if (options_.limits.tablesPerHourPerAddress > 0) {
        auto& made = madeBy_[conn.address];
        while (!made.empty() && now - made.front() >= kHour) made.pop_front();
        if (static_cast<int>(made.size()) >= options_.limits.tablesPerHourPerAddress) {
            refuse(conn, QStringLiteral("too_many_tables"),
                   QStringLiteral("at most %1 new tables an hour from one address").arg(options_.limits.tablesPerHourPerAddress),
                   request);
            return;
        }
        made.push_back(now);
    }
    detach(conn, now);
    const auto [code, token] = createRoom(m.settings, conn.address, now);
    Room& room = *rooms_.at(code);
    attach(conn, room, 0);
    roomSend(room, conn.id,
             QJsonObject{{QStringLiteral("type"), QStringLiteral("created")},
                         {QStringLiteral("room"), displayRoomCode(code)},
                         {QStringLiteral("hostToken"), token},
                         {QStringLiteral("link"), QStringLiteral("/r/") + code}});
    broadcastRoom(room);
}

Lobby::Room* Lobby::hostRoom(Conn& conn, const QString& typedRoom, const QString& hostToken, const QString& request) {
    Room* room = findRoom(typedRoom);
    if (!room) {
        refuse(conn, QStringLiteral("no_such_room"), QStringLiteral("there is no table with that room code"), request);
        return nullptr;
    }
    if (!sameHash(tokenHash(hostToken), room->hostHash)) {
        refuse(conn, QStringLiteral("wrong_token"), QStringLiteral("that is not the host's token"), request);
        return nullptr;
    }
    return room;
}

void Lobby::onSettings(Conn& conn, const msg::Settings& m) {
    Room* room = hostRoom(conn, m.room, m.hostToken, QStringLiteral("settings"));
    if (!room) return;
    if (room->table) {
        refuse(conn, QStringLiteral("match_started"), QStringLiteral("the settings are chosen before the first match"),
               QStringLiteral("settings"));
        return;
    }
    room->settings = m.settings;
    journal(*room, QJsonObject{{QStringLiteral("e"), QStringLiteral("settings")},
                               {QStringLiteral("settings"), settingsJson(m.settings)}});
    broadcastRoom(*room);
}

void Lobby::onJoin(Conn& conn, const msg::Join& m, int64_t now) {
    const QString request = QStringLiteral("join");
    Room* room = findRoom(m.room);
    if (!room) {
        refuse(conn, QStringLiteral("no_such_room"), QStringLiteral("there is no table with that room code"), request);
        return;
    }
    if (room->table) {
        refuse(conn, QStringLiteral("match_started"), QStringLiteral("the match at this table has begun"), request);
        return;
    }
    const QString name = cleanName(m.name);
    if (name.isEmpty()) {
        refuse(conn, QStringLiteral("bad_name"), QStringLiteral("the name is empty"), request);
        return;
    }
    if (ansiByteLength(name.toStdString()) > kNameBytes) {
        refuse(conn, QStringLiteral("bad_name"),
               QStringLiteral("a name has at most %1 bytes (a full-width character counts 2)").arg(kNameBytes), request);
        return;
    }
    if (m.picture < 1 || m.picture > static_cast<int>(options_.members.size())) {
        refuse(conn, QStringLiteral("bad_picture"),
               QStringLiteral("the picture is one of 1 to %1").arg(options_.members.size()), request);
        return;
    }
    int free = 0;
    for (int seat = 1; seat <= kSeats; ++seat) {
        const Seat& s = room->seats[seat];
        if (s.isPerson() && sameName(s.name, name)) {
            refuse(conn, QStringLiteral("name_taken"), QStringLiteral("someone at this table already has that name"), request);
            return;
        }
        if (free == 0 && s.state == SeatState::Empty) free = seat;
    }
    if (free == 0) {
        refuse(conn, QStringLiteral("table_full"), QStringLiteral("every seat at this table is taken"), request);
        return;
    }
    detach(conn, now);
    Seat& seat = room->seats[free];
    const QString token = newToken();
    seat.state = SeatState::Present;
    seat.name = name;
    seat.picture = m.picture;
    seat.tokenHash = tokenHash(token);
    seat.answers.clear();
    journal(*room, QJsonObject{{QStringLiteral("e"), QStringLiteral("join")},
                               {QStringLiteral("seat"), free},
                               {QStringLiteral("name"), name},
                               {QStringLiteral("picture"), m.picture},
                               {QStringLiteral("token"), seat.tokenHash}});
    attach(conn, *room, free);
    log(QStringLiteral("table %1: seat %2 joined from %3").arg(displayRoomCode(room->code)).arg(free).arg(conn.address));
    roomSend(*room, conn.id,
             QJsonObject{{QStringLiteral("type"), QStringLiteral("seated")},
                         {QStringLiteral("room"), displayRoomCode(room->code)},
                         {QStringLiteral("seat"), free},
                         {QStringLiteral("token"), token},
                         {QStringLiteral("name"), name}});
    broadcastRoom(*room);
    changed();
}

void Lobby::onWatch(Conn& conn, const msg::Watch& m, int64_t now) {
    const QString request = QStringLiteral("watch");
    Room* room = findRoom(m.room);
    if (!room) {
        refuse(conn, QStringLiteral("no_such_room"), QStringLiteral("there is no table with that room code"), request);
        return;
    }
    int watching = 0;
    for (ConnId id : room->conns) {
        auto it = conns_.find(id);
        if (it != conns_.end() && it->second->seat == 0) ++watching;
    }
    if (watching >= options_.limits.maxSpectators) {
        refuse(conn, QStringLiteral("too_many_spectators"), QStringLiteral("this table has as many spectators as it may"),
               request);
        return;
    }
    // Leaving a table for this one starts that table's idle time (and a
    // seat's grace) now: from 0, the table would never be counted idle.
    detach(conn, now);
    attach(conn, *room, 0);
    roomSend(*room, conn.id,
             QJsonObject{{QStringLiteral("type"), QStringLiteral("watching")},
                         {QStringLiteral("room"), displayRoomCode(room->code)}});
    broadcastRoom(*room);
    sendEvents(*room, conn);
}

void Lobby::onResume(Conn& conn, const msg::Resume& m, int64_t now) {
    const QString request = QStringLiteral("resume");
    Room* room = findRoom(m.room);
    if (!room) {
        refuse(conn, QStringLiteral("no_such_room"), QStringLiteral("there is no table with that room code"), request);
        return;
    }
    const QString hash = tokenHash(m.token);
    int found = 0;
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (room->seats[seat].isPerson() && sameHash(room->seats[seat].tokenHash, hash)) found = seat;
    }
    if (found == 0) {
        refuse(conn, QStringLiteral("wrong_token"), QStringLiteral("no seat at this table has that token"), request);
        return;
    }
    Seat& seat = room->seats[found];
    if (seat.conn != 0 && seat.conn != conn.id) {
        // The same person on a new connection: the old one is stale.
        if (auto old = conns_.find(seat.conn); old != conns_.end()) {
            Conn& previous = *old->second;
            roomSend(*room, previous.id,
                     QJsonObject{{QStringLiteral("type"), QStringLiteral("closing")},
                                 {QStringLiteral("reason"), QStringLiteral("replaced")},
                                 {QStringLiteral("text"), QStringLiteral("この席には別の接続から戻りました")}});
            roomClose(*room, previous.id, 1000, QStringLiteral("replaced"));
            previous.closing = true;
            room->conns.erase(previous.id);
            previous.room.clear();
            previous.seat = -1;
        }
        seat.conn = 0;
    }
    if (conn.room != room->code || conn.seat != found) {
        detach(conn, now);
        attach(conn, *room, found);
    }
    const bool wasStandIn = seat.state == SeatState::StandIn;
    seat.state = SeatState::Present;
    if (wasStandIn) {
        journal(*room, QJsonObject{{QStringLiteral("e"), QStringLiteral("return")}, {QStringLiteral("seat"), found}});
    }
    log(QStringLiteral("table %1: seat %2 came back from %3").arg(displayRoomCode(room->code)).arg(found).arg(conn.address));
    // Events after the client's last one; one it cannot have seen means it
    // is from another life of the table: it starts again from a snapshot.
    const uint64_t last = room->table ? room->table->lastSeq() : 0;
    conn.lastSent = m.last <= last ? m.last : 0;
    roomSend(*room, conn.id,
             QJsonObject{{QStringLiteral("type"), QStringLiteral("seated")},
                         {QStringLiteral("room"), displayRoomCode(room->code)},
                         {QStringLiteral("seat"), found},
                         {QStringLiteral("name"), seat.name},
                         {QStringLiteral("resumed"), true}});
    if (wasStandIn) notice(*room, QStringLiteral("return"), found, QStringLiteral("%1さんが戻りました").arg(seat.name));
    broadcastRoom(*room);
    sendEvents(*room, conn);
    drive(*room, now);
    changed();
}

void Lobby::attach(Conn& conn, Room& room, int seat) {
    conn.room = room.code;
    conn.seat = seat;
    conn.lastSent = 0;
    room.conns.insert(conn.id);
    room.idleSince = 0;
    if (seat >= 1) room.seats[seat].conn = conn.id;
}

void Lobby::detach(Conn& conn, int64_t now) {
    if (conn.room.isEmpty()) return;
    auto it = rooms_.find(conn.room);
    const int seatNumber = conn.seat;
    conn.room.clear();
    conn.seat = -1;
    if (it == rooms_.end()) return;
    Room& room = *it->second;
    room.conns.erase(conn.id);
    if (room.conns.empty()) room.idleSince = now;
    if (seatNumber >= 1) {
        Seat& seat = room.seats[seatNumber];
        if (seat.conn == conn.id) {
            seat.conn = 0;
            if (seat.state == SeatState::Present) {
                seat.state = SeatState::Away;
                seat.awaySince = now;
            }
            broadcastRoom(room);
            changed();
        }
    } else if (!room.closed) {
        broadcastRoom(room);
    }
}

void Lobby::closeRoom(Room& room, const QString& reason, const QString& text, bool removeJournal) {
    room.closed = true;
    // What is still held goes out first, in order: the table is going away,
    // so its news need wait for nothing more.
    for (Held& h : room.held) {
        if (h.closeCode != 0) outbox_.close(h.conn, h.closeCode, h.closeReason);
        else outbox_.send(h.conn, h.text);
    }
    room.held.clear();
    roomsHolding_.erase(&room);
    const QByteArray closing = encode(QJsonObject{{QStringLiteral("type"), QStringLiteral("closing")},
                                                  {QStringLiteral("reason"), reason},
                                                  {QStringLiteral("text"), text}});
    for (ConnId id : room.conns) {
        outbox_.send(id, closing);
        outbox_.close(id, 1000, reason);
        if (auto c = conns_.find(id); c != conns_.end()) {
            c->second->room.clear();
            c->second->seat = -1;
            c->second->closing = true;
        }
    }
    room.conns.clear();
    if (removeJournal) journal_.remove(room.code);
    log(QStringLiteral("table %1 closed: %2").arg(displayRoomCode(room.code), reason));
    const QString code = room.code;
    rooms_.erase(code);
    changed();
}

void Lobby::onClose(Conn& conn, const msg::Close& m) {
    Room* room = hostRoom(conn, m.room, m.hostToken, QStringLiteral("close"));
    if (!room) return;
    closeRoom(*room, QStringLiteral("table_closed"), QStringLiteral("ホストが卓を閉じました"), true);
}

// ---- the table ----------------------------------------------------------------------

TableSetup friendsTableSetup(const TableSettings& settings, const std::array<bool, kSeats + 1>& person, uint64_t seed,
                             int searchPlayouts) {
    TableSetup setup;
    setup.kind = TableKind::Friends;
    setup.computers = settings.computers == TableSettings::Computers::Strong ? ComputerPlay::Search : ComputerPlay::General;
    setup.seed = seed;
    // A fixed budget, never a time: the strong computers then play the
    // same moves whenever the table is played again from its journal.
    setup.search.budget = SearchBudget::ofPlayouts(searchPlayouts);
    setup.search.seed = seed;
    setup.search.background = false;
    for (int seat = 1; seat <= kSeats; ++seat) setup.seats[seat] = person[seat] ? SeatKind::Person : SeatKind::Computer;
    return setup;
}

bool Lobby::buildTable(Room& room) {
    room.match = std::make_unique<MatchPlay>();
    MatchPlay& match = *room.match;
    for (int i = 1; i <= kLinesPerSet; ++i) {
        match.femaleLines[i] = options_.femaleLines[i].empty() ? std::string(kDefaultFemaleLines[i]) : options_.femaleLines[i];
        match.maleLines[i] = options_.maleLines[i].empty() ? std::string(kDefaultMaleLines[i]) : options_.maleLines[i];
    }
    const int memberCount = static_cast<int>(options_.members.size());
    std::array<bool, kSeats + 1> person{};
    for (int seat = 1; seat <= kSeats; ++seat) {
        Seat& s = room.seats[seat];
        if (s.state == SeatState::Empty) {
            // An empty seat becomes a computer with one of the members.
            s.state = SeatState::Computer;
            s.picture = (seat - 1) % memberCount + 1;
            s.name = options_.members[s.picture - 1].name;
        }
        person[seat] = s.isPerson();
        const Member& member = options_.members[std::clamp(s.picture, 1, memberCount) - 1];
        match.seatName[seat] = s.name.toStdString();
        match.seatSex[seat] = static_cast<int16_t>(member.sex == 1 ? 1 : 2);
        match.seatMember[seat] = static_cast<int16_t>(s.picture);
    }
    room.table = std::make_unique<Table>(friendsTableSetup(room.settings, person, room.seed, options_.searchPlayouts),
                                         room.match.get());
    room.inputsJournaled = 0;
    return true;
}

void Lobby::onStart(Conn& conn, const msg::Start& m, int64_t now) {
    const QString request = QStringLiteral("start");
    Room* room = hostRoom(conn, m.room, m.hostToken, request);
    if (!room) return;
    const bool first = !room->table;
    if (first) {
        buildTable(*room);
        QJsonArray kinds;
        for (int seat = 1; seat <= kSeats; ++seat)
            kinds.append(room->seats[seat].isPerson() ? QStringLiteral("person") : QStringLiteral("computer"));
        journal(*room, QJsonObject{{QStringLiteral("e"), QStringLiteral("start")}, {QStringLiteral("seats"), kinds}});
    }
    if (!room->table->startMatch()) {
        refuse(conn, QStringLiteral("match_running"), QStringLiteral("a match is being played at this table"), request);
        return;
    }
    journal(*room, QJsonObject{{QStringLiteral("e"), QStringLiteral("host")}, {QStringLiteral("command"), QStringLiteral("start")}});
    journalInputs(*room);
    log(QStringLiteral("table %1: match started").arg(displayRoomCode(room->code)));
    broadcastRoom(*room);
    drive(*room, now);
    changed();
}

void Lobby::journalInputs(Room& room, const QString& id, const char* by) {
    const auto& inputs = room.table->inputs();
    for (size_t i = room.inputsJournaled; i < inputs.size(); ++i) {
        const TableInput& in = inputs[i];
        QJsonObject entry{{QStringLiteral("e"), QStringLiteral("input")},
                          {QStringLiteral("kind"), inputKindName(in.kind)},
                          {QStringLiteral("seat"), in.seat},
                          {QStringLiteral("move"), moveName(in.move.kind)},
                          {QStringLiteral("card"), in.move.card},
                          {QStringLiteral("at"), static_cast<qint64>(in.atSeq)}};
        if (i + 1 == inputs.size() && by) {
            entry.insert(QStringLiteral("by"), QLatin1String(by));
            if (!id.isEmpty()) entry.insert(QStringLiteral("id"), id);
        }
        journal(room, entry);
    }
    room.inputsJournaled = inputs.size();
}

std::optional<Refusal> Lobby::applyMove(Room& room, int seat, const TurnMove& move, const QString& id, const char* by) {
    if (auto refusal = room.table->submit(seat, move)) return refusal;
    journalInputs(room, id, by);
    return std::nullopt;
}

void Lobby::drive(Room& room, int64_t now) {
    if (!room.table || room.closed) return;
    Table& table = *room.table;
    const uint64_t before = table.lastSeq();
    // Bounded: a match has a few thousand steps; stand-ins move at most once
    // per turn.
    for (int guard = 0; guard < 100'000; ++guard) {
        while (table.step()) {}
        journalInputs(room);
        const int seat = table.awaitedSeat();
        if (seat == 0) break;
        Seat& s = room.seats[seat];
        // A gone person's seat is played by a computer while somebody is
        // still at the table; with everyone gone the table holds.
        if (s.state == SeatState::StandIn && room.anyPresent()) {
            if (applyMove(room, seat, table.standInMove(seat), {}, "standin")) break;
            continue;
        }
        break;
    }
    if (table.lastSeq() != before) {
        const int seat = table.awaitedSeat();
        if (seat != 0) {
            bool complete = true;
            const auto events = table.eventsFor(seat, before, &complete);
            for (auto it = events.rbegin(); it != events.rend(); ++it) {
                if (it->kind == EventKind::TurnOpen && it->seat == seat) {
                    room.openSeq = it->seq;
                    break;
                }
            }
        }
        distribute(room);
    }
    armTurnTimer(room, now);
}

void Lobby::armTurnTimer(Room& room, int64_t now) {
    const int seat = room.table ? room.table->awaitedSeat() : 0;
    if (seat == 0 || room.settings.turnTimerSeconds == 0 || room.seats[seat].state != SeatState::Present) {
        room.turnDeadline = 0;
        room.timedSeat = 0;
        return;
    }
    if (room.timedSeat == seat && room.timedOpenSeq == room.openSeq && room.turnDeadline != 0) return;
    room.timedSeat = seat;
    room.timedOpenSeq = room.openSeq;
    room.turnDeadline = now + room.settings.turnTimerSeconds * int64_t{1000};
}

void Lobby::sendEvents(Room& room, Conn& conn, EncodedEvents* encoded) {
    if (!room.table || conn.seat < 0) return;
    const Table& table = *room.table;
    if (conn.lastSent >= table.lastSeq()) return;
    bool complete = true;
    std::vector<TableEvent> events = table.eventsFor(conn.seat, conn.lastSent, &complete);
    if (!complete) {
        // Too much was missed: the whole view, then what followed it.
        const SeatView view = table.snapshot(conn.seat);
        roomSend(room, conn.id,
                 QJsonObject{{QStringLiteral("type"), QStringLiteral("snapshot")}, {QStringLiteral("view"), viewJson(view)}});
        conn.lastSent = view.seq;
        events = table.eventsFor(conn.seat, view.seq, &complete);
    }
    if (!events.empty()) {
        // The message as QJsonDocument writes {"type":"events","events":[...]}
        // (members in order of name), from each event's JSON made once.
        EncodedEvents own;
        EncodedEvents& made = encoded ? *encoded : own;
        QByteArray text = QByteArrayLiteral("{\"events\":[");
        std::vector<const QByteArray*> parts;
        parts.reserve(events.size());
        qsizetype size = text.size() + 20;
        for (const TableEvent& e : events) {
            auto [it, added] = made.try_emplace(e.seq);
            if (added) {
                std::string line;
                if (e.kind == EventKind::Line) line = serifuText(table.match(), e.seat, e.a, e.b);
                it->second = eventText(e, line);
            }
            parts.push_back(&it->second);
            size += it->second.size() + 1;
        }
        text.reserve(size);
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i > 0) text += ',';
            text += *parts[i];
        }
        text += QByteArrayLiteral("],\"type\":\"events\"}");
        roomSendText(room, conn.id, std::move(text));
    }
    conn.lastSent = table.lastSeq();
}

void Lobby::distribute(Room& room) {
    EncodedEvents encoded;
    for (ConnId id : room.conns) {
        auto it = conns_.find(id);
        if (it != conns_.end() && !it->second->closing) sendEvents(room, *it->second, &encoded);
    }
}

void Lobby::onMove(Conn& conn, const msg::Move& m, int64_t now) {
    const QString request = QStringLiteral("move");
    auto roomIt = rooms_.find(conn.room);
    if (conn.seat < 1 || roomIt == rooms_.end()) {
        refuse(conn, QStringLiteral("not_seated"), QStringLiteral("only a seated player moves"), request);
        return;
    }
    Room& room = *roomIt->second;
    Seat& seat = room.seats[conn.seat];
    for (const auto& [id, answer] : seat.answers) {
        if (id == m.id) {
            roomSend(room, conn.id, answer);
            return;
        }
    }
    auto answerWith = [&](const QJsonObject& answer) {
        seat.answers.emplace_back(m.id, answer);
        while (seat.answers.size() > kMovesRemembered) seat.answers.pop_front();
        roomSend(room, conn.id, answer);
    };
    auto refused = [&](const QString& code, const QString& text) {
        log(QStringLiteral("refused move from connection %1 (%2) at table %3 seat %4: %5")
                .arg(conn.id)
                .arg(conn.address, displayRoomCode(room.code))
                .arg(conn.seat)
                .arg(code));
        answerWith(QJsonObject{{QStringLiteral("type"), QStringLiteral("answer")},
                               {QStringLiteral("id"), m.id},
                               {QStringLiteral("ok"), false},
                               {QStringLiteral("code"), code},
                               {QStringLiteral("text"), text}});
    };
    if (!room.table || !room.table->matchRunning()) {
        refused(QStringLiteral("not_now"), QStringLiteral("no match is being played"));
        return;
    }
    Table& table = *room.table;
    if (table.awaitedSeat() != conn.seat) {
        refused(QString::fromLatin1(refusalCode(Refusal::NotYourTurn)), QString::fromStdString(std::string(refusalText(Refusal::NotYourTurn))));
        return;
    }
    if (m.answers < room.openSeq) {
        refused(QStringLiteral("stale"), QStringLiteral("the move answers an event before this turn opened"));
        return;
    }
    if (m.answers > table.lastSeq()) {
        refused(QStringLiteral("stale"), QStringLiteral("the move answers an event that has not happened"));
        return;
    }
    if (auto refusal = applyMove(room, conn.seat, m.move, m.id, "person")) {
        refused(QString::fromLatin1(refusalCode(*refusal)), QString::fromStdString(std::string(refusalText(*refusal))));
        return;
    }
    answerWith(QJsonObject{{QStringLiteral("type"), QStringLiteral("answer")}, {QStringLiteral("id"), m.id}, {QStringLiteral("ok"), true}});
    room.turnDeadline = 0;
    drive(room, now);
}

void Lobby::onLeave(Conn& conn, int64_t now) {
    auto roomIt = rooms_.find(conn.room);
    if (roomIt == rooms_.end()) {
        refuse(conn, QStringLiteral("not_seated"), QStringLiteral("this connection is at no table"), QStringLiteral("leave"));
        return;
    }
    Room& room = *roomIt->second;
    const int seat = conn.seat;
    roomSend(room, conn.id, QJsonObject{{QStringLiteral("type"), QStringLiteral("left")}});
    detach(conn, now);
    // Someone who says goodbye need not wait for the grace period: a
    // computer takes the seat at once (the token still brings them back).
    if (seat >= 1 && room.table && room.seats[seat].state == SeatState::Away) takeOver(room, seat, now, true);
}

void Lobby::takeOver(Room& room, int seat, int64_t now, bool left) {
    Seat& s = room.seats[seat];
    s.state = SeatState::StandIn;
    journal(room, QJsonObject{{QStringLiteral("e"), QStringLiteral("takeover")},
                              {QStringLiteral("seat"), seat},
                              {QStringLiteral("left"), left}});
    log(QStringLiteral("table %1: a computer plays seat %2").arg(displayRoomCode(room.code)).arg(seat));
    notice(room, QStringLiteral("takeover"), seat, QStringLiteral("%1さんの代わりにコンピュータが打ちます").arg(s.name));
    broadcastRoom(room);
    drive(room, now);
    changed();
}

void Lobby::tick(int64_t now) {
    std::vector<QString> idle;
    for (auto& [code, roomPtr] : rooms_) {
        Room& room = *roomPtr;
        if (room.closed) continue;
        if (room.conns.empty() && room.idleSince != 0 && now - room.idleSince >= options_.idleCloseMs) {
            idle.push_back(code);
            continue;
        }
        if (!room.table) continue;
        for (int seat = 1; seat <= kSeats; ++seat) {
            Seat& s = room.seats[seat];
            if (s.state == SeatState::Away && now - s.awaySince >= options_.graceMs) takeOver(room, seat, now, false);
        }
        if (room.turnDeadline != 0 && now >= room.turnDeadline) {
            const int seat = room.table->awaitedSeat();
            room.turnDeadline = 0;
            if (seat != 0 && seat == room.timedSeat && room.seats[seat].state == SeatState::Present) {
                if (!applyMove(room, seat, room.table->standInMove(seat), {}, "timer")) {
                    notice(room, QStringLiteral("timer"), seat,
                           QStringLiteral("時間切れ：%1さんの代わりにコンピュータが打ちました").arg(room.seats[seat].name));
                }
                drive(room, now);
            }
        }
    }
    for (const QString& code : idle) {
        if (auto it = rooms_.find(code); it != rooms_.end())
            closeRoom(*it->second, QStringLiteral("idle"), QStringLiteral("誰もいないので卓を閉じました"), true);
    }
    if (now - lastSweep_ >= 60'000) {
        lastSweep_ = now;
        for (auto it = madeBy_.begin(); it != madeBy_.end();) {
            while (!it.value().empty() && now - it.value().front() >= kHour) it.value().pop_front();
            it = it.value().empty() ? madeBy_.erase(it) : std::next(it);
        }
    }
}

// ---- telling the room -------------------------------------------------------------

QJsonObject Lobby::roomMessage(const Room& room) const {
    QJsonArray seats;
    int spectators = 0;
    for (ConnId id : room.conns) {
        auto it = conns_.find(id);
        if (it != conns_.end() && it->second->seat == 0) ++spectators;
    }
    for (int seat = 1; seat <= kSeats; ++seat) {
        const Seat& s = room.seats[seat];
        QJsonObject o{{QStringLiteral("seat"), seat}, {QStringLiteral("state"), stateName(s.state)}};
        if (s.state != SeatState::Empty) {
            o.insert(QStringLiteral("name"), s.name);
            o.insert(QStringLiteral("picture"), s.picture);
        }
        seats.append(o);
    }
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("room")},
                       {QStringLiteral("room"), displayRoomCode(room.code)},
                       {QStringLiteral("phase"), room.phase()},
                       {QStringLiteral("settings"), settingsJson(room.settings)},
                       {QStringLiteral("seats"), seats},
                       {QStringLiteral("spectators"), spectators}};
}

void Lobby::broadcastRoom(Room& room) {
    const QJsonObject message = roomMessage(room);
    for (ConnId id : room.conns) roomSend(room, id, message);
}

void Lobby::notice(Room& room, const QString& kind, int seat, const QString& text) {
    const QJsonObject message{{QStringLiteral("type"), QStringLiteral("notice")},
                              {QStringLiteral("kind"), kind},
                              {QStringLiteral("seat"), seat},
                              {QStringLiteral("text"), text}};
    for (ConnId id : room.conns) roomSend(room, id, message);
}

std::vector<RoomSummary> Lobby::summaries() const {
    std::vector<RoomSummary> list;
    list.reserve(rooms_.size());
    for (const auto& [code, room] : rooms_) {
        RoomSummary s;
        s.room = displayRoomCode(code);
        s.phase = room->phase();
        for (int seat = 1; seat <= kSeats; ++seat) {
            s.seatName[seat] = room->seats[seat].name;
            s.seatState[seat] = stateName(room->seats[seat].state);
        }
        for (ConnId id : room->conns) {
            auto it = conns_.find(id);
            if (it != conns_.end() && it->second->seat == 0) ++s.spectators;
        }
        list.push_back(s);
    }
    return list;
}

void Lobby::shutdown(const QString& reason, const QString& text) {
    const QJsonObject message{{QStringLiteral("type"), QStringLiteral("closing")},
                              {QStringLiteral("reason"), reason},
                              {QStringLiteral("text"), text}};
    // Everything held is durable by now (the caller synced the journal).
    journalSynced(journal_.openBatch());
    std::vector<ConnId> ids;
    for (auto& [id, conn] : conns_) {
        conn->closing = true;
        ids.push_back(id);
    }
    const QByteArray closing = encode(message);
    for (ConnId id : ids) {
        outbox_.send(id, closing);
        outbox_.close(id, 1001, reason);
    }
}

// ---- restart ----------------------------------------------------------------------

int Lobby::restore(int64_t now) {
    int resumed = 0;
    for (StoredJournal& stored : journal_.load()) {
        const auto code = normalRoomCode(stored.room);
        auto bad = [&](const QString& why) {
            log(QStringLiteral("journal %1 cannot be resumed: %2").arg(stored.room, why));
            if (code) rooms_.erase(*code);
        };
        if (!code || stored.lines.empty()) {
            bad(QStringLiteral("not a table's journal"));
            continue;
        }
        Room* room = nullptr;
        std::vector<TableInput> inputs;
        bool ok = true;
        for (const QByteArray& line : stored.lines) {
            const QJsonObject e = QJsonDocument::fromJson(line).object();
            const QString kind = e.value(QLatin1String("e")).toString();
            if (!room) {
                if (kind != QLatin1String("table")) { ok = false; break; }
                QString why;
                const auto settings = settingsFromJson(e.value(QLatin1String("settings")), &why);
                bool seedOk = false;
                const uint64_t seed = e.value(QLatin1String("seed")).toString().toULongLong(&seedOk, 16);
                if (!settings || !seedOk) { ok = false; break; }
                room = &makeRoom(*code, e.value(QLatin1String("host")).toString(), *settings, seed);
                continue;
            }
            const int seat = e.value(QLatin1String("seat")).toInt();
            const bool seatOk = seat >= 1 && seat <= kSeats;
            if (kind == QLatin1String("settings")) {
                if (auto s = settingsFromJson(e.value(QLatin1String("settings")), nullptr)) room->settings = *s;
            } else if (kind == QLatin1String("join") && seatOk) {
                Seat& s = room->seats[seat];
                s.state = SeatState::Away;
                s.name = e.value(QLatin1String("name")).toString();
                s.picture = std::clamp(e.value(QLatin1String("picture")).toInt(), 1, static_cast<int>(options_.members.size()));
                s.tokenHash = e.value(QLatin1String("token")).toString();
            } else if (kind == QLatin1String("start")) {
                buildTable(*room);
            } else if (kind == QLatin1String("input")) {
                const auto inputKind = inputKindFrom(e.value(QLatin1String("kind")).toString());
                if (!inputKind) { ok = false; break; }
                TableInput in;
                in.kind = *inputKind;
                in.seat = static_cast<uint8_t>(std::clamp(seat, 0, kSeats));
                const QString move = e.value(QLatin1String("move")).toString();
                in.move.kind = move == QLatin1String("card") ? TurnMove::Card
                             : move == QLatin1String("drop") ? TurnMove::Drop
                                                               : TurnMove::Pass;
                in.move.card = e.value(QLatin1String("card")).toInt();
                in.atSeq = static_cast<uint64_t>(e.value(QLatin1String("at")).toDouble());
                inputs.push_back(in);
                const QString id = e.value(QLatin1String("id")).toString();
                if (!id.isEmpty() && seatOk) {
                    room->seats[seat].answers.emplace_back(
                        id, QJsonObject{{QStringLiteral("type"), QStringLiteral("answer")},
                                        {QStringLiteral("id"), id},
                                        {QStringLiteral("ok"), true}});
                    while (room->seats[seat].answers.size() > kMovesRemembered) room->seats[seat].answers.pop_front();
                }
            } else if (kind == QLatin1String("takeover") && seatOk) {
                room->seats[seat].state = SeatState::StandIn;
            } else if (kind == QLatin1String("return") && seatOk) {
                room->seats[seat].state = SeatState::Away;
            }
        }
        if (!ok || !room) {
            bad(QStringLiteral("its entries do not fit"));
            continue;
        }
        if (room->table) {
            if (!inputs.empty() && !room->table->replay(inputs)) {
                bad(QStringLiteral("its moves do not replay"));
                continue;
            }
            room->inputsJournaled = room->table->inputs().size();
        }
        for (int seat = 1; seat <= kSeats; ++seat) {
            if (room->seats[seat].state == SeatState::Away) room->seats[seat].awaySince = now;
        }
        room->idleSince = now;
        if (room->table) {
            while (room->table->step()) {}
            journalInputs(*room);
            const int seat = room->table->awaitedSeat();
            if (seat != 0) {
                const auto events = room->table->eventsFor(seat, 0);
                for (auto it = events.rbegin(); it != events.rend(); ++it) {
                    if (it->kind == EventKind::TurnOpen && it->seat == seat) {
                        room->openSeq = it->seq;
                        break;
                    }
                }
            }
        }
        log(QStringLiteral("table %1 resumed from its journal").arg(displayRoomCode(room->code)));
        ++resumed;
    }
    changed();
    return resumed;
}

}  // namespace vantel::net
