// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/table_server.h"

#include <QAbstractHttpServer>
#include <QDateTime>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QWebSocket>

#include <cstdio>
#include <unistd.h>

#include "server/journal.h"
#include "server/secrets.h"
#include "server/static_files.h"

namespace vantel::net {

namespace {

// Before its upgrade to a WebSocket, a connection may hold at most this
// much unread data: a request line and headers, never a body.
constexpr qint64 kRawReadBuffer = 16 * 1024;
// A close that the other side does not complete is cut off after this.
constexpr int kCloseWaitMs = 5000;

QString peerKey(const QHostAddress& address, quint16 port) {
    return address.toString() + QLatin1Char('|') + QString::number(port);
}

QString addressText(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).toString() : address.toString();
}

// A listener that lets the server look at every new socket before the HTTP
// server sees it: too many connections are refused at once, and the rest
// get their limits.
class PlainListener final : public QTcpServer {
public:
    PlainListener(std::function<bool(QTcpSocket*)> admit, QObject* parent)
        : QTcpServer(parent), admit_(std::move(admit)) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            ::close(static_cast<int>(descriptor));
            return;
        }
        if (!admit_(socket)) return;
        addPendingConnection(socket);
    }

private:
    std::function<bool(QTcpSocket*)> admit_;
};

class TlsListener final : public QSslServer {
public:
    TlsListener(std::function<bool()> room, std::function<void(QTcpSocket*)> guard, QObject* parent)
        : QSslServer(parent), room_(std::move(room)) {
        connect(this, &QSslServer::startedEncryptionHandshake, this, [guard](QSslSocket* s) { guard(s); });
    }

protected:
    void incomingConnection(qintptr descriptor) override {
        if (!room_()) {
            ::close(static_cast<int>(descriptor));
            return;
        }
        QSslServer::incomingConnection(descriptor);
    }

private:
    std::function<bool()> room_;
};

}  // namespace

// The HTTP side: the page, its assets and the pictures, and the gate of the
// WebSocket upgrade. Qt HTTP Server 6.4 upgrades a request only when
// handleRequest() accepts it without writing anything, so the socket's path
// and a browser's origin are checked here, before any handshake, and a
// refusal is an ordinary HTTP answer.
class TableServer::Front final : public QAbstractHttpServer {
public:
    // Returns 0 to let an upgrade through, else the HTTP status refusing it
    // and, in `why`, the reason.
    using UpgradeCheck = std::function<int(const QHttpServerRequest&, QByteArray* why)>;

    Front(const StaticFiles& files, UpgradeCheck check, QObject* parent)
        : QAbstractHttpServer(parent), files_(files), check_(std::move(check)) {}

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        QHttpServerResponder responder = makeResponder(request, socket);
        const auto& h = StaticFiles::commonHeaders();
        if (request.value(QByteArrayLiteral("upgrade")).compare(QByteArrayLiteral("websocket"), Qt::CaseInsensitive) == 0) {
            QByteArray why;
            const int status = check_(request, &why);
            if (status == 0) return true;
            responder.write(why + '\n', {{"Content-Type", "text/plain; charset=utf-8"}, h[0]},
                            static_cast<QHttpServerResponder::StatusCode>(status));
            return false;  // Qt then closes the connection
        }
        if (request.method() != QHttpServerRequest::Method::Get) {
            responder.write(QByteArrayLiteral("only GET\n"),
                            {{"Content-Type", "text/plain; charset=utf-8"}, {"Allow", "GET"}, h[0]},
                            QHttpServerResponder::StatusCode::MethodNotAllowed);
            return true;
        }
        const StaticReply reply = files_.get(request.url().path());
        responder.write(reply.body,
                        {{"Content-Type", reply.contentType}, h[0], h[1], h[2], h[3], h[4]},
                        static_cast<QHttpServerResponder::StatusCode>(reply.status));
        return true;
    }
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
        // A refused upgrade was answered in handleRequest already.
        if (!request.value(QByteArrayLiteral("upgrade")).isEmpty()) return;
        makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
    }

private:
    const StaticFiles& files_;
    UpgradeCheck check_;
};

struct TableServer::Link {
    uint64_t id = 0;
    QWebSocket* ws = nullptr;  // owned; deleted later
    QPointer<QTcpSocket> tcp;
    QString address;
    int64_t opened = 0;
    int64_t lastHeard = 0;
    int64_t lastPing = 0;
    bool heardAny = false;
    bool closing = false;
    int64_t closeAt = 0;
};

class TableServer::Sender final : public Outbox {
public:
    explicit Sender(TableServer& server) : server_(server) {}
    void send(ConnId id, const QByteArray& text) override {
        auto it = server_.links_.find(id);
        if (it == server_.links_.end() || it->second->closing) return;
        Link& link = *it->second;
        link.ws->sendTextMessage(QString::fromUtf8(text));
        if (link.ws->bytesToWrite() > server_.options_.maxQueuedBytes) {
            server_.log(QStringLiteral("connection %1 (%2) closed: it reads too slowly").arg(id).arg(link.address));
            link.closing = true;
            link.ws->abort();
        }
    }
    void close(ConnId id, int code, const QString& reason) override {
        auto it = server_.links_.find(id);
        if (it == server_.links_.end() || it->second->closing) return;
        Link& link = *it->second;
        link.closing = true;
        link.closeAt = server_.now() + kCloseWaitMs;
        link.ws->close(static_cast<QWebSocketProtocol::CloseCode>(code), reason);
    }

private:
    TableServer& server_;
};

// The timers are children so that they move with the server to its thread.
TableServer::TableServer(QObject* parent)
    : QObject(parent), sweepTimer_(this), commitTimer_(this), roomsTimer_(this) {
    qRegisterMetaType<vantel::net::RoomSummary>();
    qRegisterMetaType<QList<vantel::net::RoomSummary>>();
    commitTimer_.setSingleShot(true);
    commitTimer_.setInterval(0);
    connect(&commitTimer_, &QTimer::timeout, this, [this] {
        if (journal_) journal_->commit();
    });
    roomsTimer_.setSingleShot(true);
    roomsTimer_.setInterval(0);
    connect(&roomsTimer_, &QTimer::timeout, this, [this] {
        if (!lobby_) return;
        const auto list = lobby_->summaries();
        Q_EMIT roomsChanged(QList<RoomSummary>(list.begin(), list.end()));
    });
    connect(&sweepTimer_, &QTimer::timeout, this, &TableServer::sweep);
}

TableServer::~TableServer() {
    // Sockets go before the lobby they report to.
    for (auto& [id, link] : links_) {
        link->ws->disconnect(this);
        link->ws->abort();
        delete link->ws;
    }
    links_.clear();
    delete front_;
    front_ = nullptr;
    if (journal_) journal_->syncNow();
}

void TableServer::log(const QString& line) const {
    if (options_.log) {
        options_.log(line);
        return;
    }
    const QByteArray text = (QDateTime::currentDateTimeUtc().toString(Qt::ISODate) + QStringLiteral(" vantel-server: ") +
                             line + QLatin1Char('\n'))
                                .toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
}

bool TableServer::start(const ServerOptions& options, QString* why) {
    auto fail = [&](const QString& reason) {
        if (why) *why = reason;
        log(reason);
        return false;
    };
    if (running_) return fail(QStringLiteral("the server is already running"));
    options_ = options;
    if (options_.dataDir.isEmpty()) options_.dataDir = defaultDataDir();
    if (options_.webDir.isEmpty()) options_.webDir = gameDataFolder() + QStringLiteral("/web");
    if (options_.lobby.members.empty()) options_.lobby.members = factoryMembers(gameDataFolder());
    options_.lobby.log = [this](const QString& line) { log(line); };
    clock_.start();

    QSslConfiguration tls;
    tls_ = !options_.certFile.isEmpty();
    if (tls_) {
        QFile certFile(options_.certFile);
        QFile keyFile(options_.keyFile);
        if (!certFile.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read the certificate %1").arg(options_.certFile));
        if (!keyFile.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read the key %1").arg(options_.keyFile));
        const auto chain = QSslCertificate::fromData(certFile.readAll(), QSsl::Pem);
        const QByteArray keyData = keyFile.readAll();
        QSslKey key(keyData, QSsl::Rsa, QSsl::Pem);
        if (key.isNull()) key = QSslKey(keyData, QSsl::Ec, QSsl::Pem);
        if (chain.isEmpty() || chain.first().isNull()) return fail(QStringLiteral("%1 holds no PEM certificate").arg(options_.certFile));
        if (key.isNull()) return fail(QStringLiteral("%1 holds no PEM private key (RSA or EC)").arg(options_.keyFile));
        tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificateChain(chain);
        tls.setPrivateKey(key);
        tls.setProtocol(QSsl::TlsV1_2OrLater);
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    }

    journal_ = std::make_unique<FileJournal>(options_.dataDir + QStringLiteral("/tables"), [this](uint64_t batch) {
        QMetaObject::invokeMethod(this, [this, batch] {
            if (lobby_) lobby_->journalSynced(batch);
        }, Qt::QueuedConnection);
    });
    QString journalWhy;
    if (!journal_->open(&journalWhy)) {
        journal_.reset();
        return fail(journalWhy);
    }
    sender_ = std::make_unique<Sender>(*this);
    lobby_ = std::make_unique<Lobby>(options_.lobby, *sender_, *journal_);
    lobby_->setRoomsChanged([this] { scheduleRoomsChanged(); });
    files_ = std::make_unique<StaticFiles>(options_.webDir, options_.lobby.members);
    front_ = new Front(
        *files_, [this](const QHttpServerRequest& request, QByteArray* why) { return checkUpgrade(request, why); }, this);
    connect(front_, &QAbstractHttpServer::newWebSocketConnection, this, &TableServer::takeWebSockets);

    QTcpServer* listener = nullptr;
    if (tls_) {
        auto* server = new TlsListener([this] { return rawSockets_ < options_.maxConnections; },
                                       [this](QTcpSocket* s) { guardRaw(s); }, nullptr);
        server->setSslConfiguration(tls);
        server->setHandshakeTimeout(options_.handshakeMs);
        listener = server;
    } else {
        listener = new PlainListener([this](QTcpSocket* s) { return admit(s); }, nullptr);
    }
    listener->setMaxPendingConnections(1024);
    if (!listener->listen(options_.listen, options_.port)) {
        const QString reason = QStringLiteral("cannot listen on %1 port %2: %3")
                                   .arg(options_.listen.toString())
                                   .arg(options_.port)
                                   .arg(listener->errorString());
        delete listener;
        delete front_;
        front_ = nullptr;
        lobby_.reset();
        journal_.reset();
        return fail(reason);
    }
    front_->bind(listener);
    port_ = listener->serverPort();
    const int resumed = lobby_->restore(now());
    scheduleCommit();
    sweepTimer_.start(options_.tickMs);
    running_ = true;
    log(QStringLiteral("listening on %1 port %2 (%3), journals in %4, %5 tables resumed")
            .arg(options_.listen.toString())
            .arg(port_)
            .arg(tls_ ? QStringLiteral("https and wss") : QStringLiteral("http and ws"))
            .arg(journal_->folder())
            .arg(resumed));
    return true;
}

bool TableServer::admit(QTcpSocket* socket) {
    if (stopping_ || rawSockets_ >= options_.maxConnections) {
        log(QStringLiteral("refused a connection from %1: the server has as many connections as it may")
                .arg(addressText(socket->peerAddress())));
        // A plain, fixed answer, so a browser or client shows why.
        socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain\r\nContent-Length: 12\r\n"
                      "Connection: close\r\nCache-Control: no-cache\r\n\r\nserver full\n");
        socket->disconnectFromHost();
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kCloseWaitMs, socket, &QObject::deleteLater);
        return false;
    }
    guardRaw(socket);
    return true;
}

void TableServer::guardRaw(QTcpSocket* socket) {
    ++rawSockets_;
    socket->setReadBufferSize(kRawReadBuffer);
    const QString key = peerKey(socket->peerAddress(), socket->peerPort());
    raw_[key] = socket;
    connect(socket, &QObject::destroyed, this, [this, key] {
        --rawSockets_;
        auto it = raw_.find(key);
        if (it != raw_.end() && it.value().isNull()) raw_.erase(it);
    });
    // A connection that has not become a WebSocket within the handshake
    // time is closed: page requests are done by then, and a slow or broken
    // request holds nothing longer.
    QTimer::singleShot(options_.handshakeMs, socket, [socket] {
        if (!socket->property("vantelUpgraded").toBool()) socket->abort();
    });
    // A socket the HTTP server gave up on (a request it could not parse) is
    // left connected by it; it closes here instead.
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
}

bool TableServer::originAllowed(const QString& origin, const QString& host) const {
    // Programs other than browsers send no Origin; they are not the danger
    // the check is for (a page elsewhere driving a visitor's browser).
    if (origin.isEmpty()) return true;
    if (options_.allowedOrigins.contains(origin)) return true;
    // The page is the server's own when its origin is the very scheme, host
    // and port this request was sent to.
    const QUrl from(origin);
    const QUrl to(QStringLiteral("%1://%2").arg(tls_ ? QStringLiteral("https") : QStringLiteral("http"), host));
    const int defaultPort = tls_ ? 443 : 80;
    return !host.isEmpty() && to.isValid() && from.scheme() == to.scheme() &&
           from.host().compare(to.host(), Qt::CaseInsensitive) == 0 && from.port(defaultPort) == to.port(defaultPort) &&
           from.path().isEmpty();
}

int TableServer::checkUpgrade(const QHttpServerRequest& request, QByteArray* why) {
    const QString address = addressText(request.remoteAddress());
    const QString path = request.url().path();
    if (path != QLatin1String("/socket")) {
        log(QStringLiteral("refused a socket from %1: nothing at %2").arg(address, path.left(64)));
        *why = "the table socket is at /socket";
        return 404;
    }
    const QString origin = QString::fromUtf8(request.value(QByteArrayLiteral("origin")));
    if (!originAllowed(origin, QString::fromUtf8(request.value(QByteArrayLiteral("host"))))) {
        log(QStringLiteral("refused a socket from %1: origin %2 is not this server's page").arg(address, origin.left(100)));
        *why = "pages from elsewhere may not connect to this server";
        return 403;
    }
    if (stopping_) {
        *why = "the server is stopping";
        return 503;
    }
    return 0;
}

void TableServer::takeWebSockets() {
    while (front_ && front_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> owned = front_->nextPendingWebSocketConnection();
        if (!owned) break;
        QWebSocket* ws = owned.release();
        ws->setParent(nullptr);
        const qint64 hardCap = qint64{options_.maxMessageBytes} * 4;
        ws->setMaxAllowedIncomingFrameSize(static_cast<quint64>(hardCap));
        ws->setMaxAllowedIncomingMessageSize(static_cast<quint64>(hardCap));

        auto link = std::make_unique<Link>();
        link->id = nextId_++;
        link->ws = ws;
        link->address = addressText(ws->peerAddress());
        link->opened = link->lastHeard = link->lastPing = now();
        const QString key = peerKey(ws->peerAddress(), ws->peerPort());
        if (auto it = raw_.find(key); it != raw_.end() && it.value()) {
            link->tcp = it.value();
            link->tcp->setProperty("vantelUpgraded", true);
            // From here Qt WebSockets bounds what it reads by the message
            // size limits.
            link->tcp->setReadBufferSize(0);
            raw_.erase(it);
        }
        const uint64_t id = link->id;
        Link& l = *link;
        links_.emplace(id, std::move(link));

        connect(ws, &QWebSocket::textMessageReceived, this, [this, id](const QString& text) {
            if (auto it = links_.find(id); it != links_.end()) onText(*it->second, text);
        });
        connect(ws, &QWebSocket::binaryMessageReceived, this, [this, id](const QByteArray&) {
            auto it = links_.find(id);
            if (it == links_.end() || it->second->closing) return;
            it->second->lastHeard = now();
            sender_->send(id, encode(errorMessage(QStringLiteral("bad_message"), QStringLiteral("messages are JSON text frames"))));
        });
        connect(ws, &QWebSocket::pong, this, [this, id](quint64, const QByteArray&) {
            if (auto it = links_.find(id); it != links_.end()) it->second->lastHeard = now();
        });
        // Queued: a socket may report its end from inside a send or close
        // the lobby is making, and the lobby must not lose the connection
        // under its feet.
        connect(ws, &QWebSocket::disconnected, this, [this, id] { dropLink(id); }, Qt::QueuedConnection);

        log(QStringLiteral("connection %1 opened from %2%3").arg(id).arg(l.address, tls_ ? QStringLiteral(" (wss)") : QString()));
        if (stopping_) {
            sender_->close(id, 1001, QStringLiteral("stopping"));
            continue;
        }
        lobby_->connected(id, l.address, now());
    }
}

void TableServer::onText(Link& link, const QString& text) {
    if (link.closing) return;
    link.lastHeard = now();
    link.heardAny = true;
    const QByteArray frame = text.toUtf8();
    if (frame.size() > options_.maxMessageBytes) {
        log(QStringLiteral("refused a message of %1 bytes from connection %2 (%3)").arg(frame.size()).arg(link.id).arg(link.address));
        sender_->send(link.id, encode(errorMessage(QStringLiteral("too_big"),
                                                   QStringLiteral("a message has at most %1 bytes").arg(options_.maxMessageBytes))));
        sender_->close(link.id, 1009, QStringLiteral("message too big"));
        return;
    }
    lobby_->received(link.id, frame, now());
    scheduleCommit();
}

void TableServer::dropLink(uint64_t id) {
    auto it = links_.find(id);
    if (it == links_.end()) return;
    std::unique_ptr<Link> link = std::move(it->second);
    links_.erase(it);
    const auto code = link->ws->closeCode();
    log(QStringLiteral("connection %1 from %2 closed (%3)").arg(id).arg(link->address).arg(static_cast<int>(code)));
    link->ws->disconnect(this);
    link->ws->deleteLater();
    if (lobby_) lobby_->disconnected(id, now());
    scheduleCommit();
    if (stopping_ && links_.empty()) finishStop();
}

void TableServer::sweep() {
    const int64_t t = now();
    lobby_->tick(t);
    std::vector<uint64_t> lost;
    for (auto& [id, link] : links_) {
        if (link->closing) {
            if (t >= link->closeAt) lost.push_back(id);
            continue;
        }
        if (!link->heardAny && t - link->opened >= options_.handshakeMs) {
            log(QStringLiteral("connection %1 (%2) said nothing within the handshake time").arg(id).arg(link->address));
            sender_->close(id, 1008, QStringLiteral("no hello"));
            continue;
        }
        if (t - link->lastHeard >= options_.pingTimeoutMs) {
            log(QStringLiteral("connection %1 (%2) lost: no answer to pings").arg(id).arg(link->address));
            lost.push_back(id);
            continue;
        }
        if (t - link->lastPing >= options_.pingIntervalMs) {
            link->lastPing = t;
            link->ws->ping();
        }
    }
    for (uint64_t id : lost) {
        if (auto it = links_.find(id); it != links_.end()) {
            it->second->closing = true;
            it->second->ws->abort();
            // abort() reports disconnected() when the socket was connected;
            // a link whose socket is already gone is dropped here.
            if (links_.count(id) != 0) dropLink(id);
        }
    }
    scheduleCommit();
}

void TableServer::scheduleCommit() {
    if (!commitTimer_.isActive()) commitTimer_.start();
}

void TableServer::scheduleRoomsChanged() {
    if (!roomsTimer_.isActive()) roomsTimer_.start();
}

QPair<QString, QString> TableServer::createTable(const TableSettings& settings) {
    if (!lobby_) return {};
    const auto [code, token] = lobby_->createRoom(settings, QStringLiteral("host"), now());
    scheduleCommit();
    return {displayRoomCode(code), token};
}

std::vector<RoomSummary> TableServer::rooms() const {
    return lobby_ ? lobby_->summaries() : std::vector<RoomSummary>{};
}

void TableServer::stop(const QString& reason, const QString& text) {
    if (!running_ || stopping_) return;
    stopping_ = true;
    log(QStringLiteral("stopping: %1").arg(reason));
    sweepTimer_.stop();
    for (QTcpServer* server : front_->servers()) server->close();
    // Whatever clients are told last must not be ahead of the journal.
    journal_->syncNow();
    lobby_->shutdown(reason, text);
    if (links_.empty()) {
        finishStop();
        return;
    }
    QTimer::singleShot(2000, this, [this] {
        if (!running_) return;
        std::vector<uint64_t> ids;
        for (auto& [id, link] : links_) ids.push_back(id);
        for (uint64_t id : ids) {
            if (auto it = links_.find(id); it != links_.end()) it->second->ws->abort();
            if (links_.count(id) != 0) dropLink(id);
        }
        if (running_) finishStop();
    });
}

void TableServer::finishStop() {
    if (!running_) return;
    running_ = false;
    if (journal_) journal_->syncNow();
    log(QStringLiteral("stopped"));
    Q_EMIT stopped();
}

}  // namespace vantel::net
