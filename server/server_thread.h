// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table server inside the game: on a thread of its own, so that the
// window's play and animation never wait for the network. Every call here
// returns at once except stop(), which waits (briefly) until the clients
// have been told why.
#pragma once

#include <QObject>
#include <QThread>

#include "server/table_server.h"

namespace vantel::net {

class ServerThread : public QObject {
    Q_OBJECT
public:
    explicit ServerThread(QObject* parent = nullptr);
    // Stops the server (reason "host_quit") if it still runs.
    ~ServerThread() override;

    // Starts the server on its thread; started() or failed() follows.
    void start(const ServerOptions& options);
    // Tells every client why and closes; waits at most `waitMs`.
    void stop(const QString& reason, const QString& text, int waitMs = 3000);
    // Asks for a table for the host's own window; tableCreated() follows.
    void createTable(const TableSettings& settings);
    bool isRunning() const { return thread_.isRunning(); }

Q_SIGNALS:
    void started(quint16 port);
    void failed(const QString& why);
    void tableCreated(const QString& room, const QString& hostToken);
    void roomsChanged(const QList<vantel::net::RoomSummary>& rooms);

private:
    QThread thread_;
    TableServer* server_ = nullptr;  // lives on thread_
};

}  // namespace vantel::net
