// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/server_thread.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "server/epoll_dispatcher.h"

namespace vantel::net {

ServerThread::ServerThread(QObject* parent) : QObject(parent) {
    thread_.setObjectName(QStringLiteral("vantel-server"));
}

ServerThread::~ServerThread() {
    stop(QStringLiteral("host_quit"), QStringLiteral("ホストがゲームを終了しました"));
}

void ServerThread::start(const ServerOptions& options) {
    if (thread_.isRunning()) return;
    // The loop of the thread is the standalone server's (epoll); the thread
    // deletes it when it ends, so a table hosted again gets a new one.
    if (!thread_.eventDispatcher()) thread_.setEventDispatcher(new EpollEventDispatcher);
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
    server_ = nullptr;
    // The server tells its clients on its own thread and is deleted there,
    // timers, sockets and all, before the thread ends: a timer can only be
    // stopped on its own thread. The work runs on a helper object of that
    // thread, so the server is never deleted inside its own event or signal.
    // This thread waits for that (or for the time to run out; then the
    // thread's end deletes the server, still on that thread).
    auto* helper = new QObject;
    helper->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, helper, &QObject::deleteLater);
    const auto finish = [server] {
        delete server;
        QThread::currentThread()->quit();
    };
    QMetaObject::invokeMethod(helper, [helper, server, reason, text, finish] {
        if (!server->running()) {
            finish();
            return;
        }
        QObject::connect(server, &TableServer::stopped, helper, finish, Qt::QueuedConnection);
        server->stop(reason, text);
    }, Qt::QueuedConnection);
    if (!thread_.wait(waitMs)) {
        thread_.quit();
        thread_.wait();
    }
}

}  // namespace vantel::net
