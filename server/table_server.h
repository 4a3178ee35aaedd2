// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table server: HTTP (the browser page) and WebSocket (the table
// protocol) on one port, with Qt HTTP Server and Qt WebSockets, around a
// Lobby that holds the rooms.
//
// It is an ordinary QObject and works in whichever thread it lives in: the
// standalone vantel-server runs it on its main thread, and the game runs it
// on a thread of its own (ServerThread) so that play never waits for the
// network. Time passes on its timers only.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <unordered_map>

#include "server/lobby.h"
#include "server/server_options.h"

class QAbstractHttpServer;
class QHttpServerRequest;
class QTcpSocket;
class QWebSocket;

namespace vantel::net {

class FileJournal;
class StaticFiles;

class TableServer : public QObject {
    Q_OBJECT
public:
    explicit TableServer(QObject* parent = nullptr);
    ~TableServer() override;

    // Listens and resumes the tables of the data folder. False, with the
    // reason, when the port is taken, the data folder cannot be used or the
    // certificate cannot be read.
    bool start(const ServerOptions& options, QString* why = nullptr);
    // Tells every client why (reason: a short code such as "host_quit";
    // text: a sentence for the player), closes every connection and stops
    // listening. The journals stay; stopped() follows once the sockets are
    // closed.
    void stop(const QString& reason, const QString& text);

    bool running() const { return running_; }
    quint16 port() const { return port_; }
    // A table made by the host's own window: its room code and host token.
    QPair<QString, QString> createTable(const TableSettings& settings);
    std::vector<RoomSummary> rooms() const;
    int connections() const { return static_cast<int>(links_.size()); }

Q_SIGNALS:
    void roomsChanged(const QList<vantel::net::RoomSummary>& rooms);
    void stopped();

private:
    class Front;
    class Sender;
    struct Link;

    int64_t now() const { return clock_.elapsed(); }
    bool admit(QTcpSocket* socket);
    void guardRaw(QTcpSocket* socket);
    void takeWebSockets();
    void onText(Link& link, const QString& text);
    void dropLink(uint64_t id);
    void sweep();
    void scheduleCommit();
    void scheduleRoomsChanged();
    void log(const QString& line) const;
    void finishStop();
    bool originAllowed(const QString& origin, const QString& host) const;
    int checkUpgrade(const QHttpServerRequest& request, QByteArray* why);

    ServerOptions options_;
    std::unique_ptr<Sender> sender_;
    std::unique_ptr<FileJournal> journal_;
    std::unique_ptr<Lobby> lobby_;
    std::unique_ptr<StaticFiles> files_;
    Front* front_ = nullptr;
    bool tls_ = false;
    bool running_ = false;
    bool stopping_ = false;
    quint16 port_ = 0;
    QElapsedTimer clock_;
    QTimer sweepTimer_;
    QTimer commitTimer_;
    QTimer roomsTimer_;
    int rawSockets_ = 0;
    uint64_t nextId_ = 1;
    std::unordered_map<uint64_t, std::unique_ptr<Link>> links_;
    QHash<QString, QPointer<QTcpSocket>> raw_;
};

}  // namespace vantel::net

Q_DECLARE_METATYPE(vantel::net::RoomSummary)
