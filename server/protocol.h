// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table protocol's messages: JSON text frames over a WebSocket. This file
// turns a client's frame into a checked ClientMessage (or a refusal naming
// what was wrong) and the table's events and views into the JSON the clients
// receive. docs/protocol.md describes every message; the two must agree.
//
// Nothing here trusts its input: every field is checked for its type and
// range, unknown fields are ignored, and a frame that is not one JSON object
// is refused.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "game/seat_view.h"
#include "game/table_event.h"
#include "game/user_model.h"

namespace vantel {
struct MatchPlay;
}

namespace vantel::net {

// The protocol this server speaks. A client of another version is refused
// with a message naming both.
inline constexpr int kProtocolVersion = 1;

// Longest move id and client name a client may send, in bytes.
inline constexpr int kMaxMoveIdBytes = 40;
inline constexpr int kMaxClientNameBytes = 64;
// A name typed at a join is cut to this many UTF-8 bytes before it is
// cleaned and measured (a longer one is refused anyway).
inline constexpr int kMaxRawNameBytes = 256;

// The host's choices for a table.
struct TableSettings {
    enum class Computers { General, Strong };
    Computers computers = Computers::General;
    // 0 (no timer), 30 or 60 seconds.
    int turnTimerSeconds = 0;
    bool hintsAllowed = false;

    friend bool operator==(const TableSettings&, const TableSettings&) = default;
};

QJsonObject settingsJson(const TableSettings& settings);
// Checked: an unknown strength, a timer other than 0/30/60 or a wrong type
// gives nothing and the reason in `why`.
std::optional<TableSettings> settingsFromJson(const QJsonValue& value, QString* why);

namespace msg {
struct Hello {
    int protocol = 0;
    QString client;
};
struct Create {
    TableSettings settings;
};
struct Settings {
    QString room;
    QString hostToken;
    TableSettings settings;
};
struct Join {
    QString room;
    QString name;  // as typed; cleaned by the room
    int picture = 0;
};
struct Watch {
    QString room;
};
struct Resume {
    QString room;
    QString token;
    uint64_t last = 0;
};
struct Start {
    QString room;
    QString hostToken;
};
struct Close {
    QString room;
    QString hostToken;
};
struct Move {
    QString id;
    uint64_t answers = 0;
    TurnMove move;
};
struct Leave {};
}  // namespace msg

using ClientMessage = std::variant<msg::Hello, msg::Create, msg::Settings, msg::Join, msg::Watch, msg::Resume,
                                   msg::Start, msg::Close, msg::Move, msg::Leave>;

// Why a frame was refused before it reached a table.
struct ParseError {
    QString code;  // "bad_json", "bad_message", "unknown_type", "bad_field"
    QString text;  // a sentence for the log and the client
    QString type;  // the message's type, when it had one
};

using ParseResult = std::variant<ClientMessage, ParseError>;

// Reads one text frame from a client.
ParseResult parseClientMessage(const QByteArray& frame);

// The name of a message kind as it appears in "type".
QString messageType(const ClientMessage& message);

// ---- server to client ---------------------------------------------------------

QByteArray encode(const QJsonObject& object);

QJsonObject helloMessage(const QString& serverName);
QJsonObject errorMessage(const QString& code, const QString& text, const QString& request = {});

// One event of a seat's stream. `lineText` is the spoken line of a Line
// event (the seat's name, CR LF, the line); empty for other kinds.
QJsonObject eventJson(const TableEvent& event, const std::string& lineText);
// The same event as the compact JSON text of eventJson, byte for byte.
QByteArray eventText(const TableEvent& event, const std::string& lineText);
// The name of an event kind in the protocol ("card", "turn_open", ...).
QString eventKindName(EventKind kind);
// The cards of a set (bit n for card n) as a list of numbers.
QJsonArray cardList(uint64_t cards);
// Everything a seat sees now.
QJsonObject viewJson(const SeatView& view);

}  // namespace vantel::net
