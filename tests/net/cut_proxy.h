// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A loopback proxy in front of a test's server, for connections that the
// test loses on purpose.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>
#include <vector>

namespace vantel::net {

// Forwards loopback connections to the server; cut() drops every one of
// them at once, as a lost network does.
class Proxy : public QObject {
public:
    explicit Proxy(quint16 target) : target_(target) {
        listener_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&listener_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* in = listener_.nextPendingConnection()) {
                auto* out = new QTcpSocket(this);
                out->connectToHost(QHostAddress::LocalHost, target_);
                QObject::connect(in, &QTcpSocket::readyRead, out, [in, out] { out->write(in->readAll()); });
                QObject::connect(out, &QTcpSocket::readyRead, in, [in, out] { in->write(out->readAll()); });
                QObject::connect(in, &QTcpSocket::disconnected, out, &QTcpSocket::disconnectFromHost);
                QObject::connect(out, &QTcpSocket::disconnected, in, &QTcpSocket::disconnectFromHost);
                pairs_.push_back({in, out});
            }
        });
    }
    quint16 port() const { return listener_.serverPort(); }
    // No more connections get through: whoever comes back finds nobody.
    void closeDoor() { listener_.close(); }
    void cut() {
        for (auto& [in, out] : pairs_) {
            if (in) in->abort();
            if (out) out->abort();
        }
        pairs_.clear();
    }

private:
    quint16 target_;
    QTcpServer listener_;
    std::vector<std::pair<QPointer<QTcpSocket>, QPointer<QTcpSocket>>> pairs_;
};

}  // namespace vantel::net
