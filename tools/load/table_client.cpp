// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/load/table_client.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkRequest>
#include <QTimer>

namespace vantel::client {

namespace {

constexpr int kJokerCard = 53;

uint64_t bit(int card) { return card >= 1 && card <= 63 ? uint64_t{1} << card : 0; }

int cardOf(int suit, int rank) { return (suit - 1) * 13 + rank; }

}  // namespace

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) return false;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(std::min<qint64>(left, 20)));
        loop.exec();
    }
    return true;
}

TableClient::TableClient(QObject* parent) : QObject(parent), random_(1) {
    // Move ids are the seat's: a client that comes back on a new connection
    // must not repeat the ids of its earlier one.
    idPrefix_ = QString::number(QRandomGenerator::global()->generate64(), 36);
    clock_.start();
    connect(&ws_, &QWebSocket::textMessageReceived, this, &TableClient::onText);
    connect(&ws_, &QWebSocket::disconnected, this, [this] {
        disconnected = true;
        closeCode = static_cast<int>(ws_.closeCode());
        Q_EMIT gone();
    });
}

TableClient::~TableClient() { ws_.abort(); }

void TableClient::open(const QUrl& url, const QString& origin, int protocol) {
    protocol_ = protocol;
    QNetworkRequest request(url);
    if (!origin.isEmpty()) request.setRawHeader("Origin", origin.toUtf8());
    ws_.setMaxAllowedIncomingMessageSize(64 << 20);
    connect(&ws_, &QWebSocket::sslErrors, this, [this](const QList<QSslError>&) { ws_.ignoreSslErrors(); });
    ws_.open(request);
}

void TableClient::send(const QJsonObject& message) {
    sendRaw(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

void TableClient::sendRaw(const QByteArray& frame) { ws_.sendTextMessage(QString::fromUtf8(frame)); }

void TableClient::abort() { ws_.abort(); }
void TableClient::close() { ws_.close(); }

void TableClient::create(const QJsonObject& settings) {
    send({{"type", "create"}, {"settings", settings}});
}

void TableClient::join(const QString& r, const QString& name, int picture) {
    send({{"type", "join"}, {"room", r}, {"name", name}, {"picture", picture}});
}

void TableClient::watch(const QString& r) { send({{"type", "watch"}, {"room", r}}); }

void TableClient::resume(const QString& r, const QString& t, uint64_t last) {
    send({{"type", "resume"}, {"room", r}, {"token", t}, {"last", static_cast<qint64>(last)}});
}

void TableClient::start(const QString& r, const QString& host) {
    send({{"type", "start"}, {"room", r}, {"hostToken", host}});
}

QString TableClient::moveWithId(const QString& id, uint64_t answers, const QString& kind, int card) {
    QJsonObject m{{"type", "move"}, {"id", id}, {"answers", static_cast<qint64>(answers)}, {"move", kind}};
    if (kind == QLatin1String("card")) m.insert("card", card);
    ++movesSent;
    sentAt_ = clock_.elapsed();
    pending_ = m;
    send(m);
    return id;
}

QString TableClient::move(const QString& kind, int card) {
    return moveWithId(QStringLiteral("%1-%2").arg(idPrefix_).arg(nextId_++), openSeq, kind, card);
}

void TableClient::continueFrom(const TableClient& old) {
    hand = old.hand;
    onTable = old.onTable;
    jokerGap_ = old.jokerGap_;
    openSeq = old.openSeq;
    openCards = old.openCards;
    openFlags = old.openFlags;
    lastSeq = old.lastSeq;
    room = old.room;
    token = old.token;
    pending_ = old.pending_;
    moveInFlight_ = !pending_.isEmpty();
}

void TableClient::setAutoPlay(bool on, int delayMs, uint64_t seed) {
    autoPlay_ = on;
    delayMs_ = delayMs;
    random_.seed(static_cast<quint32>(seed));
    playIfMyTurn();
}

int TableClient::countKind(const QString& kind) const {
    int n = 0;
    for (const QJsonObject& e : events) n += e.value("kind").toString() == kind;
    return n;
}

void TableClient::onText(const QString& text) {
    if (sentAt_ >= 0) {
        latencies.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6 - static_cast<double>(sentAt_));
        sentAt_ = -1;
    }
    const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
    if (keepAll_) messages.push_back(m);
    const QString type = m.value("type").toString();
    if (type == QLatin1String("hello")) {
        send({{"type", "hello"}, {"protocol", protocol_}, {"client", "vantel-test-client"}});
    } else if (type == QLatin1String("welcome")) {
        welcomed_ = true;
    } else if (type == QLatin1String("created")) {
        room = m.value("room").toString();
        hostToken = m.value("hostToken").toString();
        seat = 0;
    } else if (type == QLatin1String("seated")) {
        room = m.value("room").toString();
        seat = m.value("seat").toInt();
        if (m.contains("token")) token = m.value("token").toString();
        if (m.value("resumed").toBool() && !pending_.isEmpty()) send(pending_);
    } else if (type == QLatin1String("watching")) {
        room = m.value("room").toString();
        seat = 0;
    } else if (type == QLatin1String("room")) {
        lastRoom = m;
    } else if (type == QLatin1String("snapshot")) {
        ++snapshots;
        applySnapshot(m.value("view").toObject());
    } else if (type == QLatin1String("events")) {
        for (const QJsonValue& v : m.value("events").toArray()) onEvent(v.toObject());
    } else if (type == QLatin1String("answer")) {
        answers[m.value("id").toString()] = m;
        if (m.value("id") == pending_.value("id")) pending_ = {};
        moveInFlight_ = false;
        if (!m.value("ok").toBool()) ++movesRefused;
    } else if (type == QLatin1String("error")) {
        errors.push_back(m);
        moveInFlight_ = false;
    } else if (type == QLatin1String("notice")) {
        notices.push_back(m);
    } else if (type == QLatin1String("closing")) {
        closingReason = m.value("reason").toString();
    }
    Q_EMIT received(m);
    playIfMyTurn();
}

void TableClient::check(bool ok, const QJsonObject& event, const char* what) {
    if (!ok) {
        violations.push_back(QStringLiteral("seat %1: %2: %3")
                                 .arg(seat)
                                 .arg(QLatin1String(what), QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact))));
    }
}

void TableClient::onEvent(const QJsonObject& e) {
    const uint64_t seq = static_cast<uint64_t>(e.value("seq").toDouble());
    check(seq > lastSeq, e, "events out of order");
    lastSeq = seq;
    if (keepAll_) events.push_back(e);
    const QString kind = e.value("kind").toString();
    const int eventSeat = e.value("seat").toInt();
    const int card = e.value("card").toInt();
    const bool mine = seat >= 1 && eventSeat == seat;
    const bool isPrivate = e.value("private").toBool();
    check(!isPrivate || mine, e, "another seat's private event");

    // Every card an event names must be this seat's own, on the table, or
    // laid by this very event (or the joker's gap, which the joker showed).
    const uint64_t allowed = hand | onTable | bit(static_cast<int>(jokerGap_));
    if (kind == QLatin1String("hand")) {
        check(mine && isPrivate, e, "a hand that is not this seat's");
        uint64_t dealt = 0;
        for (const QJsonValue& v : e.value("hand").toArray()) dealt |= bit(v.toInt());
        check((dealt & onTable) == 0, e, "a dealt card already on the table");
        hand = dealt;
    } else if (kind == QLatin1String("seven") || kind == QLatin1String("card")) {
        if (mine) {
            check((hand & bit(card)) != 0, e, "own card laid that was not held");
            hand &= ~bit(card);
        }
        onTable |= bit(card);
        if (static_cast<uint64_t>(card) == jokerGap_) jokerGap_ = 0;
    } else if (kind == QLatin1String("joker")) {
        jokerGap_ = static_cast<uint64_t>(card);
        if (mine) hand &= ~bit(kJokerCard);
    } else if (kind == QLatin1String("joker_cleared")) {
        check(card == 0 || (allowed & bit(card)) != 0 || static_cast<uint64_t>(card) == jokerGap_, e, "joker cleared by an unseen card");
        jokerGap_ = 0;
    } else if (kind == QLatin1String("joker_gone")) {
        check(mine && isPrivate, e, "another seat's joker");
        hand &= ~bit(kJokerCard);
    } else if (kind == QLatin1String("turn_open")) {
        check(mine, e, "another seat's turn_open");
        uint64_t cards = 0;
        for (const QJsonValue& v : e.value("cards").toArray()) cards |= bit(v.toInt());
        check((cards & ~hand) == 0, e, "a playable card not in the hand");
        openSeq = seq;
        openCards = cards;
        openFlags = static_cast<int>(e.value("a").toDouble());
    } else if (card != 0) {
        check((allowed & bit(card)) != 0, e, "a card this seat may not see");
    }
    if (kind != QLatin1String("turn_open") && kind != QLatin1String("hand")) {
        for (const QJsonValue& v : e.value("cards").toArray()) check((allowed & bit(v.toInt())) != 0, e, "a listed card this seat may not see");
        check(!e.contains("hand"), e, "a hand in another kind of event");
    }
    if (kind == QLatin1String("round_start")) {
        onTable = 0;
        hand = 0;
        jokerGap_ = 0;
    }
    if (kind == QLatin1String("match_end")) ++matchEnds;
    if (kind == QLatin1String("match_closed")) ++matchClosed;
    // Any event after the turn_open means the turn has moved on.
    if (kind != QLatin1String("turn_open") && openSeq != 0 && seq > openSeq) openSeq = 0;
}

void TableClient::applySnapshot(const QJsonObject& view) {
    hand = 0;
    for (const QJsonValue& v : view.value("hand").toArray()) hand |= bit(v.toInt());
    onTable = 0;
    const QJsonArray rows = view.value("table").toArray();
    for (int suit = 1; suit <= rows.size() && suit <= 4; ++suit) {
        const QJsonArray row = rows.at(suit - 1).toArray();
        for (int rank = 1; rank <= row.size() && rank <= 13; ++rank) {
            if (row.at(rank - 1).toInt() != 0) onTable |= bit(cardOf(suit, rank));
        }
    }
    jokerGap_ = static_cast<uint64_t>(view.value("jokerGap").toInt());
    lastSeq = static_cast<uint64_t>(view.value("seq").toDouble());
    openSeq = 0;
    if (view.value("myTurn").toBool()) {
        openSeq = lastSeq;
        openCards = 0;
        for (const QJsonValue& v : view.value("moveCards").toArray()) openCards |= bit(v.toInt());
        openFlags = view.value("moveFlags").toInt();
    }
}

void TableClient::playIfMyTurn() {
    if (!autoPlay_ || moveInFlight_ || openSeq == 0 || seat < 1 || !isOpen()) return;
    const uint64_t answering = openSeq;
    auto play = [this, answering] {
        if (!autoPlay_ || moveInFlight_ || openSeq != answering || !isOpen()) return;
        std::vector<int> cards;
        for (int c = 1; c <= 52; ++c) {
            if (openCards & bit(c)) cards.push_back(c);
        }
        moveInFlight_ = true;
        if (!cards.empty()) {
            move(QStringLiteral("card"), cards[random_.bounded(static_cast<int>(cards.size()))]);
        } else if (openFlags & 1) {
            move(QStringLiteral("pass"));
        } else {
            move(QStringLiteral("drop"));
        }
        openSeq = 0;
    };
    if (delayMs_ <= 0) {
        play();
    } else {
        QTimer::singleShot(delayMs_, this, play);
    }
}

}  // namespace vantel::client
