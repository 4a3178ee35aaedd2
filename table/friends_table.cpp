// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/friends_table.h"

#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "server/server_thread.h"

namespace vantel {

namespace {
// A member's picture is a small image; anything larger is not one.
constexpr qint64 kMostPictureBytes = 4 * 1024 * 1024;
constexpr int kPictureTimeoutMs = 10000;
// How long 「戻りました」 stays beside a name.
constexpr int kReturnMarkMs = 8000;

QUrl pictureUrl(const QUrl& socket, int member, int picture) {
    QUrl url = socket;
    url.setScheme(socket.scheme() == QLatin1String("wss") ? QStringLiteral("https") : QStringLiteral("http"));
    url.setPath(QStringLiteral("/members/%1/%2").arg(member).arg(picture));
    return url;
}
}  // namespace

FriendsTable::FriendsTable(std::unique_ptr<net::RemoteTable> table, std::unique_ptr<net::ServerThread> server,
                           const MatchState& player, QObject* parent)
    : QObject(parent), table_(std::move(table)), server_(std::move(server)), state_(player) {
    table_->setParent(nullptr);
    source_ = std::make_unique<net::RemoteSeatSource>(*table_);
    // The match is the table's: nothing of the player's own match carries
    // over, and nothing read here is written back.
    state_.selectionPhase = 1;
    state_.roundNumber = 0;
    for (int place = 1; place <= kSeats; ++place) {
        state_.matchTotal[place] = state_.roundPoints[place] = state_.finalPlace[place] = 0;
        state_.seatMember[place] = int16_t(place);
        state_.memberName[place].clear();
        for (auto& image : state_.memberImage[place]) image.clear();
        state_.seatImage[place] = {};
    }
    connect(table_.get(), &net::RemoteTable::roomChanged, this, &FriendsTable::roomChanged);
    connect(table_.get(), &net::RemoteTable::notice, this, &FriendsTable::notice);
    connect(table_.get(), &net::RemoteTable::reconnecting, this, &FriendsTable::reconnecting);
    connect(table_.get(), &net::RemoteTable::reconnected, this, &FriendsTable::reconnected);
    connect(table_.get(), &net::RemoteTable::ended, this, [this](const QString&, const QString& text) {
        net::forgetSavedSeat();
        if (!left_) Q_EMIT ended(text);
    });
    roomChanged(table_->room());
}

FriendsTable::~FriendsTable() {
    leave();
    // The window's follower is gone before this; the source goes before
    // the connection it listens to, and the server last.
    source_.reset();
    table_.reset();
    if (server_) server_->stop(QStringLiteral("host_quit"), QStringLiteral("ホストがゲームを終了しました"));
}

void FriendsTable::leave() {
    if (left_) return;
    left_ = true;
    net::forgetSavedSeat();
    if (table_->isHost()) table_->closeTable();
    table_->leave();
}

void FriendsTable::roomChanged(const net::RoomInfo& room) {
    for (const net::RoomSeat& seat : room.seats) {
        if (seat.seat < 1 || seat.seat > kSeats) continue;
        const int place = source_->placeOf(seat.seat);
        const std::string name = seat.name.toStdString();
        if (!name.empty()) {
            state_.seatName[place] = name;
            state_.memberName[place] = name;
        }
        for (const net::TableMember& member : table_->members()) {
            if (member.picture != seat.picture) continue;
            state_.seatSex[place] = state_.memberSex[place] = member.female ? 1 : 2;
        }
        // A computer playing for a person who is gone shows beside the name;
        // the person's return shows for a while.
        const QString before = seatStates_[place];
        seatStates_[place] = seat.state;
        if (seat.state == QLatin1String("standin")) {
            marks_[place] = QStringLiteral("（代打ち）");
        } else if (before == QLatin1String("standin") && seat.state == QLatin1String("present")) {
            markReturned(place);
        } else if (seat.state != QLatin1String("present")) {
            marks_[place].clear();
        }
        if (seat.picture > 0) {
            for (int p = 1; p <= kPicturesPerMember; ++p) fetchPicture(seat.picture, p);
        }
    }
    Q_EMIT seatsChanged();
}

void FriendsTable::markReturned(int place) {
    marks_[place] = QStringLiteral("（復帰）");
    QTimer::singleShot(kReturnMarkMs, this, [this, place] {
        if (seatStates_[place] != QLatin1String("present")) return;
        marks_[place].clear();
        Q_EMIT seatsChanged();
    });
}

void FriendsTable::notice(const QString& kind, int seat, const QString& text) {
    const int place = source_->placeOf(seat);
    if (place >= 1 && place <= kSeats) {
        if (kind == QLatin1String("takeover")) {
            seatStates_[place] = QStringLiteral("standin");
            marks_[place] = QStringLiteral("（代打ち）");
        } else if (kind == QLatin1String("return")) {
            seatStates_[place] = QStringLiteral("present");
            markReturned(place);
        }
        Q_EMIT seatsChanged();
    }
    if (!text.isEmpty()) Q_EMIT noticeShown(text);
}

void FriendsTable::fetchPicture(int member, int picture) {
    const int key = member * 10 + picture;
    if (fetched_.contains(key) || !pictures_.isValid()) return;
    fetched_.append(key);
    QNetworkRequest request(pictureUrl(table_->url(), member, picture));
    request.setTransferTimeout(kPictureTimeoutMs);
    QNetworkReply* reply = http_.get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMostPictureBytes) reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, member, picture] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) return;
        const QByteArray bytes = reply->readAll();
        if (bytes.isEmpty() || bytes.size() > kMostPictureBytes) return;
        const QString path = pictures_.filePath(QStringLiteral("member-%1-%2").arg(member).arg(picture));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return;
        file.close();
        const std::string stored = path.toStdString();
        for (const net::RoomSeat& seat : table_->room().seats) {
            if (seat.picture != member || seat.seat < 1 || seat.seat > kSeats) continue;
            const int place = source_->placeOf(seat.seat);
            state_.memberImage[place][picture] = stored;
            if (picture <= 2) state_.seatImage[place][picture] = stored;
        }
        Q_EMIT seatsChanged();
    });
}

}  // namespace vantel
