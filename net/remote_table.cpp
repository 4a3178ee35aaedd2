// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/remote_table.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>

#include "net/event_json.h"

namespace vantel::net {

namespace {

QString savedSeatFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vantel/friends-seat.json");
}

}  // namespace

std::optional<SavedSeat> loadSavedSeat() {
    QFile file(savedSeatFile());
    // A small file of our own; anything else is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4096) return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    SavedSeat seat{QUrl(o.value(QStringLiteral("url")).toString()), o.value(QStringLiteral("room")).toString(),
                   o.value(QStringLiteral("token")).toString(), o.value(QStringLiteral("name")).toString()};
    if (!seat.url.isValid() || seat.room.isEmpty() || seat.token.isEmpty()) return std::nullopt;
    return seat;
}

void saveSeat(const SavedSeat& seat) {
    const QString path = savedSeatFile();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("url"), seat.url.toString()},
                                         {QStringLiteral("room"), seat.room},
                                         {QStringLiteral("token"), seat.token},
                                         {QStringLiteral("name"), seat.name}})
                   .toJson(QJsonDocument::Compact));
    file.commit();
}

void forgetSavedSeat() { QFile::remove(savedSeatFile()); }

namespace {

// The largest message a server may send this client: a snapshot or a long
// batch of missed events.
constexpr qint64 kMaxIncoming = 4 * 1024 * 1024;
constexpr int kLongestRetryMs = 5000;

}  // namespace

QString failureText(const QString& code, const QString& serverText) {
    static const std::pair<const char*, const char*> kTexts[] = {
        {"no_server", "そのアドレスにサーバーが見つかりません。アドレスとポートを確かめてください。"},
        {"no_such_room", "その部屋コードの部屋はありません。"},
        {"table_full", "この部屋は満席です。"},
        {"match_started", "この部屋ではもう対戦が始まっています。"},
        {"match_running", "対戦の途中です。"},
        {"bad_name", "その名前は使えません。"},
        {"name_taken", "その名前はもう使われています。別の名前にしてください。"},
        {"bad_picture", "その写真は選べません。"},
        {"wrong_token", "この席に戻ることはできません。"},
        {"server_full", "サーバーが満員です。しばらくしてからもう一度どうぞ。"},
        {"too_many_tables", "部屋を作りすぎました。しばらくしてからもう一度どうぞ。"},
        {"too_many_spectators", "観戦者が多すぎます。"},
        {"flood", "送信が多すぎたため切断されました。"},
        {"host_quit", "ホストがゲームを終了しました。"},
        {"server_stopping", "サーバーが停止しました。"},
        {"table_closed", "ホストが部屋を閉じました。"},
        {"idle", "しばらく誰もいなかったため部屋が閉じられました。"},
        {"replaced", "別の接続がこの席に入りました。"},
        {"lost", "接続が切れたまま戻りませんでした。"},
    };
    for (const auto& [name, text] : kTexts) {
        if (code == QLatin1String(name)) return QString::fromUtf8(text);
    }
    if (code == QLatin1String("protocol_mismatch")) {
        return QStringLiteral("サーバーとバージョンが違います（%1）。").arg(serverText);
    }
    return QStringLiteral("サーバーに断られました（%1）。").arg(code);
}

RemoteTable::RemoteTable(QObject* parent) : QObject(parent) {
    socket_.setMaxAllowedIncomingMessageSize(kMaxIncoming);
    socket_.setMaxAllowedIncomingFrameSize(kMaxIncoming);
    connect(&socket_, &QWebSocket::connected, this, &RemoteTable::onConnected);
    connect(&socket_, &QWebSocket::disconnected, this, &RemoteTable::onDisconnected);
    connect(&socket_, &QWebSocket::textMessageReceived, this, &RemoteTable::onMessage);
    // A connection that could not be made says so here, not always by a
    // disconnection.
    connect(&socket_, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this, [this] {
        if (state_ == State::Connecting && token_.isEmpty()) {
            end(QStringLiteral("no_server"), failureText(QStringLiteral("no_server")));
        } else if (state_ == State::Reconnecting && !retryTimer_.isActive()) {
            onDisconnected();
        }
    });
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &RemoteTable::retry);
}

RemoteTable::~RemoteTable() {
    // Nothing more is told: the window that owned this seat is going.
    socket_.disconnect(this);
    socket_.abort();
}

void RemoteTable::open(const QUrl& url) {
    // Move ids are new for every move of the seat, also after the game was
    // started again and took the seat back: the server answers an id it
    // has seen with that move's answer and applies nothing.
    moveIdTag_ = QString::number(QRandomGenerator::system()->generate64(), 36);
    url_ = url;
    state_ = State::Connecting;
    socket_.open(url_);
}

void RemoteTable::create(const QJsonObject& settings) {
    pending_ = {{QStringLiteral("type"), QStringLiteral("create")}, {QStringLiteral("settings"), settings}};
    if (state_ == State::Ready) send(pending_);
}

void RemoteTable::join(const QString& room, const QString& name, int picture) {
    room_ = room;
    pending_ = {{QStringLiteral("type"), QStringLiteral("join")},
                {QStringLiteral("room"), room},
                {QStringLiteral("name"), name},
                {QStringLiteral("picture"), picture}};
    if (state_ == State::Ready) send(pending_);
}

void RemoteTable::watch(const QString& room) {
    room_ = room;
    pending_ = {{QStringLiteral("type"), QStringLiteral("watch")}, {QStringLiteral("room"), room}};
    if (state_ == State::Ready) send(pending_);
}

void RemoteTable::resume(const QString& room, const QString& token) {
    room_ = room;
    token_ = token;
    tookBack_ = true;
    // From nothing: the server sends what it keeps, or a snapshot.
    pending_ = {{QStringLiteral("type"), QStringLiteral("resume")},
                {QStringLiteral("room"), room},
                {QStringLiteral("token"), token},
                {QStringLiteral("last"), 0}};
    if (state_ == State::Ready) send(pending_);
}

void RemoteTable::start() {
    send({{QStringLiteral("type"), QStringLiteral("start")},
          {QStringLiteral("room"), room_},
          {QStringLiteral("hostToken"), hostToken_}});
}

void RemoteTable::move(const TurnMove& move) {
    static const char* const kKinds[] = {"card", "pass", "drop"};
    QJsonObject message{{QStringLiteral("type"), QStringLiteral("move")},
                        {QStringLiteral("id"), QStringLiteral("%1-%2").arg(moveIdTag_).arg(nextMoveId_++)},
                        {QStringLiteral("answers"), static_cast<qint64>(view_.seq)},
                        {QStringLiteral("move"), QLatin1String(kKinds[move.kind])}};
    if (move.kind == TurnMove::Card) message.insert(QStringLiteral("card"), move.card);
    unanswered_[message.value(QStringLiteral("id")).toString()] = message;
    // A move made while the connection is being had back goes with the resume.
    if (state_ == State::Ready) send(message);
}

void RemoteTable::leave() {
    if (state_ == State::Ready) {
        send({{QStringLiteral("type"), QStringLiteral("leave")}});
        socket_.flush();
    }
    state_ = State::Closed;
    retryTimer_.stop();
    socket_.close();
}

void RemoteTable::closeTable() {
    if (state_ != State::Ready || !isHost()) return;
    send({{QStringLiteral("type"), QStringLiteral("close")},
          {QStringLiteral("room"), room_},
          {QStringLiteral("hostToken"), hostToken_}});
}

void RemoteTable::send(const QJsonObject& message) {
    socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void RemoteTable::onConnected() {
    send({{QStringLiteral("type"), QStringLiteral("hello")},
          {QStringLiteral("protocol"), kClientProtocol},
          {QStringLiteral("client"), QStringLiteral("Vantel")}});
}

void RemoteTable::onDisconnected() {
    if (state_ == State::Closed) return;
    const bool seatedHere = !token_.isEmpty();
    if (!seatedHere) {
        // Never seated: nothing to come back to.
        const bool never = state_ == State::Connecting;
        end(never ? QStringLiteral("no_server") : QStringLiteral("lost"),
            failureText(never ? QStringLiteral("no_server") : QStringLiteral("lost")));
        return;
    }
    if (state_ != State::Reconnecting) {
        state_ = State::Reconnecting;
        lostFor_.start();
        retryDelayMs_ = 500;
        Q_EMIT reconnecting();
    }
    if (lostFor_.elapsed() >= reconnectLimitMs_) {
        end(QStringLiteral("lost"), failureText(QStringLiteral("lost")));
        return;
    }
    retryTimer_.start(retryDelayMs_);
    retryDelayMs_ = std::min(retryDelayMs_ * 2, kLongestRetryMs);
}

void RemoteTable::retry() {
    if (state_ != State::Reconnecting) return;
    pending_ = {{QStringLiteral("type"), QStringLiteral("resume")},
                {QStringLiteral("room"), room_},
                {QStringLiteral("token"), token_},
                {QStringLiteral("last"), static_cast<qint64>(view_.seq)}};
    socket_.open(url_);
}

void RemoteTable::onMessage(const QString& text) {
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject()) return;
    handle(document.object());
}

void RemoteTable::handle(const QJsonObject& m) {
    const QString type = m.value(QStringLiteral("type")).toString();
    if (type == QLatin1String("hello")) {
        const int protocol = m.value(QStringLiteral("protocol")).toInt();
        if (protocol != kClientProtocol) {
            end(QStringLiteral("protocol_mismatch"),
                failureText(QStringLiteral("protocol_mismatch"),
                            QStringLiteral("サーバー %1、このゲーム %2").arg(protocol).arg(kClientProtocol)));
        }
        return;
    }
    if (type == QLatin1String("welcome")) {
        const bool back = state_ == State::Reconnecting;
        state_ = State::Ready;
        QList<TableMember> members;
        for (const QJsonValue& value : m.value(QStringLiteral("members")).toArray()) {
            const QJsonObject o = value.toObject();
            TableMember member;
            member.picture = o.value(QStringLiteral("picture")).toInt();
            member.name = o.value(QStringLiteral("name")).toString();
            member.female = o.value(QStringLiteral("sex")).toString() == QLatin1String("female");
            for (const QJsonValue& image : o.value(QStringLiteral("images")).toArray()) {
                member.images.append(image.toString());
            }
            members.append(member);
        }
        members_ = members;
        if (!back) Q_EMIT welcomed(members);
        if (!pending_.isEmpty()) send(pending_);
        pending_ = {};
        return;
    }
    if (type == QLatin1String("created")) {
        room_ = m.value(QStringLiteral("room")).toString();
        hostToken_ = m.value(QStringLiteral("hostToken")).toString();
        Q_EMIT created(room_, m.value(QStringLiteral("link")).toString());
        return;
    }
    if (type == QLatin1String("seated")) {
        const bool resumed = m.value(QStringLiteral("resumed")).toBool();
        seat_ = m.value(QStringLiteral("seat")).toInt();
        room_ = m.value(QStringLiteral("room")).toString(room_);
        view_.seat = seat_;
        if (!resumed) token_ = m.value(QStringLiteral("token")).toString();
        Q_EMIT seated(seat_, resumed);
        if (resumed) {
            for (const auto& [id, message] : unanswered_) send(message);
            Q_EMIT reconnected();
        }
        return;
    }
    if (type == QLatin1String("room")) {
        RoomInfo info;
        info.room = m.value(QStringLiteral("room")).toString();
        info.phase = m.value(QStringLiteral("phase")).toString();
        info.settings = m.value(QStringLiteral("settings")).toObject();
        info.spectators = m.value(QStringLiteral("spectators")).toInt();
        for (const QJsonValue& value : m.value(QStringLiteral("seats")).toArray()) {
            const QJsonObject o = value.toObject();
            const int seat = o.value(QStringLiteral("seat")).toInt();
            if (seat < 1 || seat > 4) continue;
            info.seats[seat - 1] = {seat, o.value(QStringLiteral("state")).toString(),
                                    o.value(QStringLiteral("name")).toString(),
                                    o.value(QStringLiteral("picture")).toInt()};
        }
        roomInfo_ = info;
        Q_EMIT roomChanged(info);
        return;
    }
    if (type == QLatin1String("snapshot")) {
        if (const auto view = viewFromJson(m.value(QStringLiteral("view")).toObject())) {
            view_ = *view;
            Q_EMIT snapshotReceived(view_);
        }
        return;
    }
    if (type == QLatin1String("events")) {
        for (const QJsonValue& value : m.value(QStringLiteral("events")).toArray()) {
            QString line;
            const auto event = eventFromJson(value.toObject(), &line);
            // Nothing twice, nothing out of order.
            if (!event || event->seq <= view_.seq) continue;
            view_.apply(*event);
            Q_EMIT eventReceived(*event, line);
        }
        return;
    }
    if (type == QLatin1String("answer")) {
        unanswered_.erase(m.value(QStringLiteral("id")).toString());
        if (!m.value(QStringLiteral("ok")).toBool()) {
            const QString code = m.value(QStringLiteral("code")).toString();
            Q_EMIT refused(QStringLiteral("move"), code, failureText(code));
        }
        return;
    }
    if (type == QLatin1String("notice")) {
        Q_EMIT notice(m.value(QStringLiteral("kind")).toString(), m.value(QStringLiteral("seat")).toInt(),
                      m.value(QStringLiteral("text")).toString());
        return;
    }
    if (type == QLatin1String("closing")) {
        const QString reason = m.value(QStringLiteral("reason")).toString();
        end(reason, failureText(reason));
        return;
    }
    if (type == QLatin1String("error")) {
        const QString code = m.value(QStringLiteral("code")).toString();
        const QString text = m.value(QStringLiteral("text")).toString();
        if (code == QLatin1String("protocol_mismatch")) {
            end(code, failureText(code, text));
            return;
        }
        // A resume the server cannot take: the seat is gone for good.
        if (m.value(QStringLiteral("request")).toString() == QLatin1String("resume")) {
            end(code, failureText(code, text));
            return;
        }
        Q_EMIT refused(m.value(QStringLiteral("request")).toString(), code, failureText(code, text));
    }
}

void RemoteTable::end(const QString& reason, const QString& text) {
    if (state_ == State::Closed) return;
    state_ = State::Closed;
    retryTimer_.stop();
    socket_.close();
    Q_EMIT ended(reason, text);
}

}  // namespace vantel::net
