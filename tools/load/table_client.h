// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A client of the table protocol, written from docs/protocol.md alone: it
// says hello, creates, joins, watches or resumes a table, keeps what its
// seat has seen, can play its seat by a simple policy, and checks on the
// way that nothing reaches it that its seat may not see. The tests and the
// load tool both use it.
#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QRandomGenerator>
#include <QUrl>
#include <QWebSocket>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace vantel::client {

class TableClient : public QObject {
    Q_OBJECT
public:
    explicit TableClient(QObject* parent = nullptr);
    ~TableClient() override;

    // Opens ws(s)://…/socket and says hello once the server has. `origin`
    // is sent as a browser would, when not empty.
    void open(const QUrl& url, const QString& origin = {}, int protocol = 1);
    void send(const QJsonObject& message);
    void sendRaw(const QByteArray& frame);
    // Drops the connection without a goodbye (a killed client).
    void abort();
    void close();

    void create(const QJsonObject& settings = {});
    void join(const QString& room, const QString& name, int picture);
    void watch(const QString& room);
    void resume(const QString& room, const QString& token, uint64_t last);
    void start(const QString& room, const QString& hostToken);
    // Sends a move answering the last turn_open; returns its id.
    QString move(const QString& kind, int card = 0);
    QString moveWithId(const QString& id, uint64_t answers, const QString& kind, int card = 0);

    // Carries on from a client whose connection was lost: what its seat
    // has seen, its open turn, and a move still unanswered, which is sent
    // again (same id) once the seat is resumed.
    void continueFrom(const TableClient& old);

    // Plays the seat: at each turn_open of its own, a card it may lay (the
    // lowest, or a random one), else PASS, else DROP; after `delayMs`.
    void setAutoPlay(bool on, int delayMs = 0, uint64_t seed = 1);
    // Keeps every message and event received (tests); off for load runs.
    void setKeepAll(bool keep) { keepAll_ = keep; }

    // ---- what was received -------------------------------------------------------
    bool isOpen() const { return ws_.state() == QAbstractSocket::ConnectedState; }
    bool welcomed() const { return welcomed_; }
    QString room;
    QString hostToken;
    QString token;
    int seat = -1;  // -1 none, 0 spectator
    uint64_t lastSeq = 0;
    int closeCode = 0;
    bool disconnected = false;
    QString closingReason;
    std::vector<QJsonObject> messages;
    std::vector<QJsonObject> events;
    std::vector<QJsonObject> errors;
    std::vector<QJsonObject> notices;
    std::map<QString, QJsonObject> answers;
    QJsonObject lastRoom;
    int matchEnds = 0;
    int matchClosed = 0;
    int snapshots = 0;
    // Events that showed a card this seat may not see, described.
    std::vector<QString> violations;
    // The seat's cards (bit n: card n; 53 the joker) and the cards on the table.
    uint64_t hand = 0;
    uint64_t onTable = 0;
    // The open turn of this seat: seq of its turn_open (0: none), its cards and flags.
    uint64_t openSeq = 0;
    uint64_t openCards = 0;
    int openFlags = 0;
    int movesSent = 0;
    int movesRefused = 0;
    // Milliseconds from each move sent to the next message received.
    std::vector<double> latencies;

    int countKind(const QString& kind) const;

Q_SIGNALS:
    void received(const QJsonObject& message);
    void gone();

private:
    void onText(const QString& text);
    void onEvent(const QJsonObject& event);
    void applySnapshot(const QJsonObject& view);
    void check(bool ok, const QJsonObject& event, const char* what);
    void playIfMyTurn();

    QWebSocket ws_;
    int protocol_ = 1;
    bool welcomed_ = false;
    bool keepAll_ = true;
    bool autoPlay_ = false;
    int delayMs_ = 0;
    QRandomGenerator random_;
    int nextId_ = 1;
    QString idPrefix_;
    uint64_t jokerGap_ = 0;
    bool moveInFlight_ = false;
    QElapsedTimer clock_;
    qint64 sentAt_ = -1;
    QJsonObject pending_;  // the last move sent, until it is answered
};

// Runs the event loop until `done` holds or `timeoutMs` passes; whether it holds.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace vantel::client
