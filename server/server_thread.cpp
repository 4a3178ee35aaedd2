// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/server_thread.h"

#include <QEventLoop>
#include <QTimer>

namespace vantel::net {

ServerThread::ServerThread(QObject* parent) : QObject(parent) {
    thread_.setObjectName(QStringLiteral("vantel-server"));
}

ServerThread::~ServerThread() {
    stop(QStringLiteral("host_quit"), QStringLiteral("ホストがゲームを終了しました"));
}

void ServerThread::start(const ServerOptions& options) {
    if (thread_.isRunning()) return;
    server_ = new TableServer;
    server_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, server_, &QObject::deleteLater);
    connect(server_, &TableServer::roomsChanged, this, &ServerThread::roomsChanged);
    thread_.start();
    TableServer* server = server_;
    QMetaObject::invokeMethod(server_, [this, server, options] {
        QString why;
        if (server->start(options, &why)) {
            const quint16 port = server->port();
            QMetaObject::invokeMethod(this, [this, port] { Q_EMIT started(port); }, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(this, [this, why] { Q_EMIT failed(why); }, Qt::QueuedConnection);
        }
    }, Qt::QueuedConnection);
}

void ServerThread::createTable(const TableSettings& settings) {
    if (!server_) return;
    TableServer* server = server_;
    QMetaObject::invokeMethod(server_, [this, server, settings] {
        const auto [room, token] = server->createTable(settings);
        QMetaObject::invokeMethod(this, [this, room, token] { Q_EMIT tableCreated(room, token); }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void ServerThread::stop(const QString& reason, const QString& text, int waitMs) {
    if (!thread_.isRunning() || !server_) return;
    TableServer* server = server_;
    // The server tells its clients on its own thread; this thread waits for
    // it to finish (or for the time to run out) and then ends the thread.
    QMetaObject::invokeMethod(server, [server, reason, text] {
        if (!server->running()) {
            QThread::currentThread()->quit();
            return;
        }
        QObject::connect(server, &TableServer::stopped, server, [] { QThread::currentThread()->quit(); });
        server->stop(reason, text);
    }, Qt::QueuedConnection);
    if (!thread_.wait(waitMs)) {
        thread_.quit();
        thread_.wait();
    }
    server_ = nullptr;
}

}  // namespace vantel::net
