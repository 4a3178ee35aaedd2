// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/event_json.h"

#include <QJsonArray>

namespace vantel::net {

namespace {

// A whole number within [low, high], or nothing.
std::optional<int64_t> whole(const QJsonValue& value, int64_t low, int64_t high) {
    if (!value.isDouble()) return std::nullopt;
    const double d = value.toDouble();
    if (d < static_cast<double>(low) || d > static_cast<double>(high)) return std::nullopt;
    const auto n = static_cast<int64_t>(d);
    if (static_cast<double>(n) != d) return std::nullopt;
    return n;
}

std::optional<EventKind> kindNamed(const QString& name) {
    for (int k = 0; k <= static_cast<int>(EventKind::MatchClosed); ++k) {
        const auto kind = static_cast<EventKind>(k);
        if (name == QLatin1String(eventName(kind).data(), static_cast<qsizetype>(eventName(kind).size()))) {
            return kind;
        }
    }
    return std::nullopt;
}

// `count` whole numbers within [low, high].
template <typename Out>
bool numbers(const QJsonValue& value, int count, int64_t low, int64_t high, Out&& out) {
    if (!value.isArray()) return false;
    const QJsonArray list = value.toArray();
    if (list.size() != count) return false;
    for (int i = 0; i < count; ++i) {
        const auto n = whole(list[i], low, high);
        if (!n) return false;
        out(i, *n);
    }
    return true;
}

// A set of card numbers (1..53) as bits.
std::optional<uint64_t> cardSet(const QJsonValue& value) {
    if (!value.isArray()) return std::nullopt;
    uint64_t bits = 0;
    const QJsonArray list = value.toArray();
    if (list.size() > kJoker) return std::nullopt;
    for (const QJsonValue& item : list) {
        const auto card = whole(item, 1, kJoker);
        if (!card) return std::nullopt;
        bits |= cardBit(static_cast<int>(*card));
    }
    return bits;
}

constexpr int64_t kBig = 1'000'000'000;

}  // namespace

std::optional<TableEvent> eventFromJson(const QJsonObject& o, QString* lineText) {
    const auto kind = kindNamed(o.value(QStringLiteral("kind")).toString());
    const auto seq = whole(o.value(QStringLiteral("seq")), 1, int64_t{1} << 52);
    const auto seat = whole(o.value(QStringLiteral("seat")), 0, kSeats);
    const auto slot = whole(o.value(QStringLiteral("slot")), 0, kJokerSlot);
    const auto card = whole(o.value(QStringLiteral("card")), 0, kJoker);
    const auto how = whole(o.value(QStringLiteral("how")), 0, 2);
    const auto a = whole(o.value(QStringLiteral("a")), -kBig, kBig);
    const auto b = whole(o.value(QStringLiteral("b")), -kBig, kBig);
    if (!kind || !seq || !seat || !slot || !card || !how || !a || !b) return std::nullopt;
    TableEvent e;
    e.kind = *kind;
    e.seq = static_cast<uint64_t>(*seq);
    e.seat = static_cast<uint8_t>(*seat);
    e.slot = static_cast<uint8_t>(*slot);
    e.card = static_cast<uint8_t>(*card);
    e.how = static_cast<uint8_t>(*how);
    e.a = static_cast<int32_t>(*a);
    e.b = static_cast<int32_t>(*b);
    if (!numbers(o.value(QStringLiteral("values")), kSeats, -kBig, kBig,
                 [&](int i, int64_t n) { e.values[i] = static_cast<int32_t>(n); })) {
        return std::nullopt;
    }
    // The server sends a seat only its own private events.
    if (o.value(QStringLiteral("private")).toBool()) e.visibleTo = e.seat;
    switch (e.kind) {
        case EventKind::TurnOpen: {
            const auto moves = cardSet(o.value(QStringLiteral("cards")));
            if (!moves) return std::nullopt;
            e.cards = *moves;
            break;
        }
        case EventKind::Hand:
            if (!numbers(o.value(QStringLiteral("hand")), kJokerSlot, 0, kJoker,
                         [&](int i, int64_t n) { e.handSlots[i + 1] = static_cast<uint8_t>(n); })) {
                return std::nullopt;
            }
            break;
        case EventKind::Card: {
            std::array<int32_t, kCardsPerSuit + 1> cells{};
            if (!numbers(o.value(QStringLiteral("row")), kCardsPerSuit, 0, 2,
                         [&](int i, int64_t n) { cells[i + 1] = static_cast<int32_t>(n); })) {
                return std::nullopt;
            }
            e.cards = packRow(cells);
            break;
        }
        case EventKind::Line:
            if (lineText) *lineText = o.value(QStringLiteral("text")).toString();
            break;
        default: break;
    }
    return e;
}

std::optional<SeatView> viewFromJson(const QJsonObject& o) {
    SeatView v;
    const auto seat = whole(o.value(QStringLiteral("seat")), 0, kSeats);
    const auto seq = whole(o.value(QStringLiteral("seq")), 0, int64_t{1} << 52);
    const auto match = whole(o.value(QStringLiteral("match")), 0, kBig);
    const auto round = whole(o.value(QStringLiteral("round")), 0, 10);
    const auto gap = whole(o.value(QStringLiteral("jokerGap")), 0, 52);
    const auto winner = whole(o.value(QStringLiteral("roundWinner")), 0, kSeats);
    const auto streakSeat = whole(o.value(QStringLiteral("streakSeat")), 0, kSeats);
    const auto streakCount = whole(o.value(QStringLiteral("streakCount")), 0, kBig);
    const auto turnSeat = whole(o.value(QStringLiteral("turnSeat")), 0, kSeats);
    const auto flags = whole(o.value(QStringLiteral("moveFlags")), 0, 3);
    const auto moves = cardSet(o.value(QStringLiteral("moveCards")));
    if (!seat || !seq || !match || !round || !gap || !winner || !streakSeat || !streakCount || !turnSeat || !flags ||
        !moves) {
        return std::nullopt;
    }
    v.seat = static_cast<int>(*seat);
    v.seq = static_cast<uint64_t>(*seq);
    v.match = static_cast<int>(*match);
    v.round = static_cast<int>(*round);
    v.jokerGap = static_cast<int>(*gap);
    v.roundWinner = static_cast<int>(*winner);
    v.streakSeat = static_cast<int>(*streakSeat);
    v.streakCount = static_cast<int>(*streakCount);
    v.turnSeat = static_cast<int>(*turnSeat);
    v.moveFlags = static_cast<int32_t>(*flags);
    v.moveCards = *moves;
    v.myTurn = o.value(QStringLiteral("myTurn")).toBool();

    const QString phase = o.value(QStringLiteral("phase")).toString();
    static const std::pair<const char*, ViewPhase> kPhases[] = {
        {"waiting", ViewPhase::Waiting}, {"dealing", ViewPhase::Dealing}, {"playing", ViewPhase::Playing},
        {"round_over", ViewPhase::RoundOver}, {"match_over", ViewPhase::MatchOver}};
    bool known = false;
    for (const auto& [name, value] : kPhases) {
        if (phase == QLatin1String(name)) {
            v.phase = value;
            known = true;
        }
    }
    if (!known) return std::nullopt;

    if (v.seat != 0 && !numbers(o.value(QStringLiteral("hand")), kJokerSlot, 0, kJoker,
                                [&](int i, int64_t n) { v.hand[i + 1] = static_cast<int32_t>(n); })) {
        return std::nullopt;
    }
    const QJsonValue table = o.value(QStringLiteral("table"));
    if (!table.isArray() || table.toArray().size() != kSuits) return std::nullopt;
    for (int suit = 1; suit <= kSuits; ++suit) {
        if (!numbers(table.toArray()[suit - 1], kCardsPerSuit, 0, 2,
                     [&](int i, int64_t n) { v.table[suit][i + 1] = static_cast<int32_t>(n); })) {
            return std::nullopt;
        }
    }
    const auto perSeat = [&](const char* name, std::array<int32_t, 5>& out, int64_t low, int64_t high) {
        return numbers(o.value(QLatin1String(name)), kSeats, low, high,
                       [&](int i, int64_t n) { out[i + 1] = static_cast<int32_t>(n); });
    };
    if (!perSeat("cardsLeft", v.cardsLeft, 0, kHandSlots) || !perSeat("passCount", v.passCount, 0, 4) ||
        !perSeat("place", v.place, 0, kSeats) || !perSeat("roundPoints", v.roundPoints, -kBig, kBig) ||
        !perSeat("totals", v.totals, -kBig, kBig) || !perSeat("places", v.places, 0, kSeats)) {
        return std::nullopt;
    }
    const QJsonValue dropped = o.value(QStringLiteral("dropped"));
    if (!dropped.isArray() || dropped.toArray().size() != kSeats) return std::nullopt;
    for (int s = 1; s <= kSeats; ++s) v.dropped[s] = dropped.toArray()[s - 1].toBool();
    return v;
}

}  // namespace vantel::net
