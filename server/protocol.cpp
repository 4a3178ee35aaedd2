// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/protocol.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <array>
#include <charconv>
#include <cmath>
#include <span>
#include <vector>

#include "game/cards.h"

namespace vantel::net {

namespace {

// JSON numbers arrive as doubles: an integer field must be a whole number
// in range, never NaN, a fraction or 1e300.
constexpr double kMaxSafeInteger = 9007199254740991.0;  // 2^53 - 1

struct FieldError {
    QString text;
};

class Fields {
public:
    explicit Fields(const QJsonObject& object) : o_(object) {}

    QString string(const char* key, int maxBytes, bool required = true) {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined() && !required) return {};
        if (!v.isString()) return fail(key, "must be a string"), QString();
        const QString s = v.toString();
        if (s.toUtf8().size() > maxBytes) return fail(key, "is too long"), QString();
        return s;
    }

    int64_t integer(const char* key, int64_t low, int64_t high, bool required = true, int64_t otherwise = 0) {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined() && !required) return otherwise;
        if (!v.isDouble()) return fail(key, "must be a number"), 0;
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > kMaxSafeInteger)
            return fail(key, "must be a whole number"), 0;
        const auto n = static_cast<int64_t>(d);
        if (n < low || n > high) return fail(key, "is out of range"), 0;
        return n;
    }

    bool boolean(const char* key, bool otherwise) {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined()) return otherwise;
        if (!v.isBool()) return fail(key, "must be true or false"), false;
        return v.toBool();
    }

    QJsonValue value(const char* key) const { return o_.value(QLatin1String(key)); }

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    void fail(const char* key, const char* what) {
        if (error_.isEmpty()) error_ = QStringLiteral("\"%1\" %2").arg(QLatin1String(key), QLatin1String(what));
    }
    void failText(const QString& text) {
        if (error_.isEmpty()) error_ = text;
    }

private:
    const QJsonObject& o_;
    QString error_;
};

}  // namespace

QJsonObject settingsJson(const TableSettings& settings) {
    return QJsonObject{
        {QStringLiteral("computers"),
         settings.computers == TableSettings::Computers::Strong ? QStringLiteral("strong") : QStringLiteral("general")},
        {QStringLiteral("turnTimer"), settings.turnTimerSeconds},
        {QStringLiteral("hints"), settings.hintsAllowed},
    };
}

std::optional<TableSettings> settingsFromJson(const QJsonValue& value, QString* why) {
    TableSettings settings;
    if (value.isUndefined()) return settings;
    if (!value.isObject()) {
        if (why) *why = QStringLiteral("\"settings\" must be an object");
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    Fields f(object);
    const QString computers = f.string("computers", 16, false);
    if (computers == QLatin1String("strong")) {
        settings.computers = TableSettings::Computers::Strong;
    } else if (computers.isEmpty() || computers == QLatin1String("general")) {
        settings.computers = TableSettings::Computers::General;
    } else {
        f.failText(QStringLiteral("\"computers\" must be \"general\" or \"strong\""));
    }
    settings.turnTimerSeconds = static_cast<int>(f.integer("turnTimer", 0, 60, false, 0));
    if (f.ok() && settings.turnTimerSeconds != 0 && settings.turnTimerSeconds != 30 && settings.turnTimerSeconds != 60)
        f.failText(QStringLiteral("\"turnTimer\" must be 0, 30 or 60"));
    settings.hintsAllowed = f.boolean("hints", false);
    if (!f.ok()) {
        if (why) *why = f.error();
        return std::nullopt;
    }
    return settings;
}

ParseResult parseClientMessage(const QByteArray& frame) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(frame, &error);
    if (error.error != QJsonParseError::NoError)
        return ParseError{QStringLiteral("bad_json"), QStringLiteral("the message is not JSON: ") + error.errorString(), {}};
    if (!document.isObject())
        return ParseError{QStringLiteral("bad_message"), QStringLiteral("a message must be a JSON object"), {}};
    const QJsonObject object = document.object();
    const QJsonValue typeValue = object.value(QLatin1String("type"));
    if (!typeValue.isString())
        return ParseError{QStringLiteral("bad_message"), QStringLiteral("a message needs a \"type\" string"), {}};
    const QString type = typeValue.toString();
    if (type.size() > 32) return ParseError{QStringLiteral("unknown_type"), QStringLiteral("unknown message type"), {}};

    Fields f(object);
    auto done = [&](ClientMessage message) -> ParseResult {
        if (!f.ok()) return ParseError{QStringLiteral("bad_field"), f.error(), type};
        return message;
    };

    if (type == QLatin1String("hello")) {
        msg::Hello m;
        m.protocol = static_cast<int>(f.integer("protocol", 0, 1'000'000));
        m.client = f.string("client", kMaxClientNameBytes, false);
        return done(m);
    }
    if (type == QLatin1String("create")) {
        msg::Create m;
        QString why;
        if (auto s = settingsFromJson(f.value("settings"), &why)) m.settings = *s; else f.failText(why);
        return done(m);
    }
    if (type == QLatin1String("settings")) {
        msg::Settings m;
        m.room = f.string("room", 32);
        m.hostToken = f.string("hostToken", 64);
        QString why;
        if (f.value("settings").isUndefined()) f.fail("settings", "is missing");
        else if (auto s = settingsFromJson(f.value("settings"), &why)) m.settings = *s;
        else f.failText(why);
        return done(m);
    }
    if (type == QLatin1String("join")) {
        msg::Join m;
        m.room = f.string("room", 32);
        m.name = f.string("name", kMaxRawNameBytes);
        m.picture = static_cast<int>(f.integer("picture", 1, 1000));
        return done(m);
    }
    if (type == QLatin1String("watch")) {
        msg::Watch m;
        m.room = f.string("room", 32);
        return done(m);
    }
    if (type == QLatin1String("resume")) {
        msg::Resume m;
        m.room = f.string("room", 32);
        m.token = f.string("token", 64);
        m.last = static_cast<uint64_t>(f.integer("last", 0, static_cast<int64_t>(kMaxSafeInteger)));
        return done(m);
    }
    if (type == QLatin1String("start")) {
        msg::Start m;
        m.room = f.string("room", 32);
        m.hostToken = f.string("hostToken", 64);
        return done(m);
    }
    if (type == QLatin1String("close")) {
        msg::Close m;
        m.room = f.string("room", 32);
        m.hostToken = f.string("hostToken", 64);
        return done(m);
    }
    if (type == QLatin1String("move")) {
        msg::Move m;
        m.id = f.string("id", kMaxMoveIdBytes);
        if (f.ok() && m.id.isEmpty()) f.fail("id", "must not be empty");
        m.answers = static_cast<uint64_t>(f.integer("answers", 0, static_cast<int64_t>(kMaxSafeInteger)));
        const QString kind = f.string("move", 8);
        if (kind == QLatin1String("card")) {
            m.move.kind = TurnMove::Card;
            m.move.card = static_cast<int>(f.integer("card", 1, kJoker));
        } else if (kind == QLatin1String("pass")) {
            m.move.kind = TurnMove::Pass;
        } else if (kind == QLatin1String("drop")) {
            m.move.kind = TurnMove::Drop;
        } else if (f.ok()) {
            f.failText(QStringLiteral("\"move\" must be \"card\", \"pass\" or \"drop\""));
        }
        return done(m);
    }
    if (type == QLatin1String("leave")) return done(msg::Leave{});
    return ParseError{QStringLiteral("unknown_type"), QStringLiteral("unknown message type \"%1\"").arg(type), type};
}

QString messageType(const ClientMessage& message) {
    struct Names {
        QString operator()(const msg::Hello&) const { return QStringLiteral("hello"); }
        QString operator()(const msg::Create&) const { return QStringLiteral("create"); }
        QString operator()(const msg::Settings&) const { return QStringLiteral("settings"); }
        QString operator()(const msg::Join&) const { return QStringLiteral("join"); }
        QString operator()(const msg::Watch&) const { return QStringLiteral("watch"); }
        QString operator()(const msg::Resume&) const { return QStringLiteral("resume"); }
        QString operator()(const msg::Start&) const { return QStringLiteral("start"); }
        QString operator()(const msg::Close&) const { return QStringLiteral("close"); }
        QString operator()(const msg::Move&) const { return QStringLiteral("move"); }
        QString operator()(const msg::Leave&) const { return QStringLiteral("leave"); }
    };
    return std::visit(Names{}, message);
}

QByteArray encode(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

QJsonObject helloMessage(const QString& serverName) {
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("hello")},
                       {QStringLiteral("protocol"), kProtocolVersion},
                       {QStringLiteral("server"), serverName}};
}

QJsonObject errorMessage(const QString& code, const QString& text, const QString& request) {
    QJsonObject o{{QStringLiteral("type"), QStringLiteral("error")},
                  {QStringLiteral("code"), code},
                  {QStringLiteral("text"), text}};
    if (!request.isEmpty()) o.insert(QStringLiteral("request"), request);
    return o;
}

QString eventKindName(EventKind kind) {
    switch (kind) {
        case EventKind::MatchStart: return QStringLiteral("match_start");
        case EventKind::RoundStart: return QStringLiteral("round_start");
        case EventKind::Hand: return QStringLiteral("hand");
        case EventKind::Deal: return QStringLiteral("deal");
        case EventKind::Seven: return QStringLiteral("seven");
        case EventKind::SevensLaid: return QStringLiteral("sevens_laid");
        case EventKind::TurnPause: return QStringLiteral("turn_pause");
        case EventKind::TurnStart: return QStringLiteral("turn_start");
        case EventKind::TurnOpen: return QStringLiteral("turn_open");
        case EventKind::Card: return QStringLiteral("card");
        case EventKind::Joker: return QStringLiteral("joker");
        case EventKind::Forced: return QStringLiteral("forced");
        case EventKind::JokerCleared: return QStringLiteral("joker_cleared");
        case EventKind::JokerGone: return QStringLiteral("joker_gone");
        case EventKind::Pass: return QStringLiteral("pass");
        case EventKind::Drop: return QStringLiteral("drop");
        case EventKind::Line: return QStringLiteral("line");
        case EventKind::Out: return QStringLiteral("out");
        case EventKind::SkipScored: return QStringLiteral("skip_scored");
        case EventKind::Skipped: return QStringLiteral("skipped");
        case EventKind::RoundEnd: return QStringLiteral("round_end");
        case EventKind::Totals: return QStringLiteral("totals");
        case EventKind::Streak: return QStringLiteral("streak");
        case EventKind::Results: return QStringLiteral("results");
        case EventKind::MatchEnd: return QStringLiteral("match_end");
        case EventKind::MatchClosed: return QStringLiteral("match_closed");
    }
    return QStringLiteral("unknown");
}

QJsonArray cardList(uint64_t cards) {
    QJsonArray list;
    for (int n = 1; n <= kJoker; ++n) {
        if (cards & cardBit(n)) list.append(n);
    }
    return list;
}

QJsonObject eventJson(const TableEvent& event, const std::string& lineText) {
    QJsonArray values;
    for (int32_t v : event.values) values.append(static_cast<qint64>(v));
    QJsonObject o{
        {QStringLiteral("seq"), static_cast<qint64>(event.seq)},
        {QStringLiteral("kind"), eventKindName(event.kind)},
        {QStringLiteral("seat"), event.seat},
        {QStringLiteral("slot"), event.slot},
        {QStringLiteral("card"), event.card},
        {QStringLiteral("how"), event.how},
        {QStringLiteral("a"), static_cast<qint64>(event.a)},
        {QStringLiteral("b"), static_cast<qint64>(event.b)},
        {QStringLiteral("values"), values},
    };
    // The kinds that carry more: each in a member of its own, so that a
    // client never has to guess what a list holds.
    switch (event.kind) {
        case EventKind::TurnOpen:
            o.insert(QStringLiteral("cards"), cardList(event.cards));
            break;
        case EventKind::Hand: {
            QJsonArray hand;
            for (int slot = 1; slot <= kJokerSlot; ++slot) hand.append(event.handSlots[slot]);
            o.insert(QStringLiteral("hand"), hand);
            break;
        }
        case EventKind::Card: {
            std::array<int32_t, kCardsPerSuit + 1> cells{};
            unpackRow(event.cards, cells);
            QJsonArray row;
            for (int rank = 1; rank <= kCardsPerSuit; ++rank) row.append(static_cast<qint64>(cells[rank]));
            o.insert(QStringLiteral("row"), row);
            break;
        }
        case EventKind::Line:
            o.insert(QStringLiteral("text"), QString::fromStdString(lineText));
            break;
        default:
            break;
    }
    if (event.visibleTo != 0) o.insert(QStringLiteral("private"), true);
    return o;
}

namespace {

void appendNumber(QByteArray& out, qint64 n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end - digits);
}

template <typename Range>
void appendNumbers(QByteArray& out, const Range& numbers) {
    out += '[';
    bool first = true;
    for (const auto n : numbers) {
        if (!first) out += ',';
        first = false;
        appendNumber(out, static_cast<qint64>(n));
    }
    out += ']';
}

}  // namespace

// The object of eventJson, written straight into its compact JSON: a server
// writes every event once per pass and this is most of its work, so no
// QJsonObject is made for it. The members are in order of name, as
// QJsonDocument writes them; the line's text is escaped by QJsonDocument.
QByteArray eventText(const TableEvent& event, const std::string& lineText) {
    QByteArray out;
    out.reserve(160);
    out += "{\"a\":";
    appendNumber(out, event.a);
    out += ",\"b\":";
    appendNumber(out, event.b);
    out += ",\"card\":";
    appendNumber(out, event.card);
    if (event.kind == EventKind::TurnOpen) {
        out += ",\"cards\":";
        std::vector<int> cards;
        for (int n = 1; n <= kJoker; ++n)
            if (event.cards & cardBit(n)) cards.push_back(n);
        appendNumbers(out, cards);
    }
    if (event.kind == EventKind::Hand) {
        out += ",\"hand\":";
        appendNumbers(out, std::span(event.handSlots).subspan(1, kJokerSlot));
    }
    out += ",\"how\":";
    appendNumber(out, event.how);
    out += ",\"kind\":\"";
    out += eventKindName(event.kind).toLatin1();
    out += '"';
    if (event.visibleTo != 0) out += ",\"private\":true";
    if (event.kind == EventKind::Card) {
        std::array<int32_t, kCardsPerSuit + 1> cells{};
        unpackRow(event.cards, cells);
        out += ",\"row\":";
        appendNumbers(out, std::span(cells).subspan(1, kCardsPerSuit));
    }
    out += ",\"seat\":";
    appendNumber(out, event.seat);
    out += ",\"seq\":";
    appendNumber(out, static_cast<qint64>(event.seq));
    out += ",\"slot\":";
    appendNumber(out, event.slot);
    if (event.kind == EventKind::Line) {
        const QByteArray quoted = QJsonDocument(QJsonArray{QString::fromStdString(lineText)}).toJson(QJsonDocument::Compact);
        out += ",\"text\":";
        out += quoted.mid(1, quoted.size() - 2);
    }
    out += ",\"values\":";
    appendNumbers(out, event.values);
    out += '}';
    return out;
}

namespace {
template <typename Array>
QJsonArray perSeat(const Array& a) {
    QJsonArray list;
    for (int seat = 1; seat <= kSeats; ++seat) list.append(static_cast<qint64>(a[seat]));
    return list;
}

QString phaseName(ViewPhase phase) {
    switch (phase) {
        case ViewPhase::Waiting: return QStringLiteral("waiting");
        case ViewPhase::Dealing: return QStringLiteral("dealing");
        case ViewPhase::Playing: return QStringLiteral("playing");
        case ViewPhase::RoundOver: return QStringLiteral("round_over");
        case ViewPhase::MatchOver: return QStringLiteral("match_over");
    }
    return QStringLiteral("waiting");
}
}  // namespace

QJsonObject viewJson(const SeatView& view) {
    QJsonArray hand;
    for (int slot = 1; slot <= kJokerSlot; ++slot) hand.append(static_cast<qint64>(view.hand[slot]));
    QJsonArray table;
    for (int suit = 1; suit <= kSuits; ++suit) {
        QJsonArray row;
        for (int rank = 1; rank <= kCardsPerSuit; ++rank) row.append(static_cast<qint64>(view.table[suit][rank]));
        table.append(row);
    }
    QJsonArray dropped;
    for (int seat = 1; seat <= kSeats; ++seat) dropped.append(static_cast<bool>(view.dropped[seat]));
    QJsonObject o{
        {QStringLiteral("seat"), view.seat},
        {QStringLiteral("seq"), static_cast<qint64>(view.seq)},
        {QStringLiteral("phase"), phaseName(view.phase)},
        {QStringLiteral("match"), view.match},
        {QStringLiteral("round"), view.round},
        {QStringLiteral("table"), table},
        {QStringLiteral("jokerGap"), view.jokerGap},
        {QStringLiteral("cardsLeft"), perSeat(view.cardsLeft)},
        {QStringLiteral("passCount"), perSeat(view.passCount)},
        {QStringLiteral("place"), perSeat(view.place)},
        {QStringLiteral("dropped"), dropped},
        {QStringLiteral("roundPoints"), perSeat(view.roundPoints)},
        {QStringLiteral("totals"), perSeat(view.totals)},
        {QStringLiteral("places"), perSeat(view.places)},
        {QStringLiteral("roundWinner"), view.roundWinner},
        {QStringLiteral("streakSeat"), view.streakSeat},
        {QStringLiteral("streakCount"), view.streakCount},
        {QStringLiteral("turnSeat"), view.turnSeat},
        {QStringLiteral("myTurn"), view.myTurn},
        {QStringLiteral("moveCards"), cardList(view.moveCards)},
        {QStringLiteral("moveFlags"), static_cast<qint64>(view.moveFlags)},
    };
    // A spectator holds nothing; the key is left out rather than sent empty.
    if (view.seat != 0) o.insert(QStringLiteral("hand"), hand);
    return o;
}

}  // namespace vantel::net
