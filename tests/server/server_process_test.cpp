// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real vantel-server on a free loopback port, played through real
// sockets by clients written from docs/protocol.md: whole matches, what each
// seat sees, lost clients and a killed server, every refusal, the page, TLS
// and the command line. Every wait is bounded; every server is stopped.

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <memory>

#include <gtest/gtest.h>

#include "replay_check.h"
#include "server/server_thread.h"
#include "tools/load/table_client.h"

using vantel::client::TableClient;
using vantel::client::waitUntil;
using vantel::net::testing::replayJournal;
using vantel::net::testing::sameStream;

namespace {

// A vantel-server process of the test's own, on a port the system picks.
class ServerProcess {
public:
    // Bots move as soon as they may, faster than a person: the message rate
    // is raised unless a test sets it (the flood test keeps the default).
    explicit ServerProcess(QStringList extra = {}, QString data = {}) : extra_(std::move(extra)) {
        if (!extra_.contains(QStringLiteral("--max-rate"))) extra_ << QStringLiteral("--max-rate") << QStringLiteral("5000");
        if (data.isEmpty()) {
            QDir().mkpath(QStringLiteral(VANTEL_DISK_TMP));
            dir_ = std::make_unique<QTemporaryDir>(QStringLiteral(VANTEL_DISK_TMP "/data-XXXXXX"));
            data_ = dir_->path();
        } else {
            data_ = data;
        }
    }
    ~ServerProcess() { stop(); }

    bool start() {
        port = 0;
        log_.clear();
        process_ = std::make_unique<QProcess>();
        process_->setProgram(QStringLiteral(VANTEL_SERVER_PATH));
        process_->setArguments(QStringList{"--listen", "127.0.0.1", "--port", "0", "--data", data_} + extra_);
        QObject::connect(process_.get(), &QProcess::readyReadStandardError, [this] {
            log_ += process_->readAllStandardError();
            static const QRegularExpression listening(QStringLiteral("port (\\d+) \\("));
            if (port == 0) {
                const auto m = listening.match(QString::fromUtf8(log_));
                if (m.hasMatch()) port = static_cast<quint16>(m.captured(1).toUInt());
            }
        });
        process_->start();
        return waitUntil([this] { return port != 0 || process_->state() == QProcess::NotRunning; }, 15'000) && port != 0;
    }
    void kill9() {
        if (process_ && process_->state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(process_->processId()), SIGKILL);
            process_->waitForFinished(5000);
        }
    }
    void stop() {
        if (process_ && process_->state() != QProcess::NotRunning) {
            process_->terminate();
            if (!process_->waitForFinished(5000)) kill9();
        }
    }
    QUrl url(const QString& path = QStringLiteral("/socket"), bool tls = false) const {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(tls ? "wss" : "ws").arg(port).arg(path));
    }
    QString journal(const QString& room) const {
        QString code = room;
        code.remove(QLatin1Char('-'));
        return data_ + QStringLiteral("/tables/") + code + QStringLiteral(".journal");
    }
    const QByteArray& log() const { return log_; }
    const QString& data() const { return data_; }

    quint16 port = 0;

private:
    QStringList extra_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString data_;
    std::unique_ptr<QProcess> process_;
    QByteArray log_;
};

std::unique_ptr<TableClient> connectClient(const ServerProcess& server, const QString& origin = {}) {
    auto c = std::make_unique<TableClient>();
    c->open(server.url(), origin);
    EXPECT_TRUE(waitUntil([&] { return c->welcomed() || c->disconnected; }, 10'000));
    return c;
}

// A table of `people` clients (the first creates it and is its host) and,
// when asked, a spectator; every client checks what it receives.
struct Party {
    std::vector<std::unique_ptr<TableClient>> people;
    std::unique_ptr<TableClient> spectator;
    QString room;
    QString hostToken;

    bool seat(const ServerProcess& server, int count, bool watch, const QJsonObject& settings = {}) {
        for (int i = 0; i < count; ++i) people.push_back(connectClient(server));
        people[0]->create(settings);
        if (!waitUntil([&] { return !people[0]->hostToken.isEmpty(); }, 10'000)) return false;
        room = people[0]->room;
        hostToken = people[0]->hostToken;
        for (int i = 0; i < count; ++i) people[static_cast<size_t>(i)]->join(room, QStringLiteral("p%1").arg(i + 1), i % 4 + 1);
        if (!waitUntil([&] { return std::all_of(people.begin(), people.end(), [](auto& c) { return c->seat >= 1; }); }, 10'000))
            return false;
        if (watch) {
            spectator = connectClient(server);
            spectator->watch(room);
            if (!waitUntil([&] { return spectator->seat == 0; }, 10'000)) return false;
        }
        return true;
    }
    void startMatch() { people[0]->start(room, hostToken); }
    void autoPlay(int delayMs = 0) {
        uint64_t seed = 11;
        for (auto& c : people) c->setAutoPlay(true, delayMs, ++seed);
    }
    bool waitMatchEnds(int matches, int timeoutMs) {
        return waitUntil(
            [&] { return std::all_of(people.begin(), people.end(), [&](auto& c) { return c->matchEnds >= matches; }); },
            timeoutMs);
    }
    void expectFair() const {
        for (auto& c : people) {
            EXPECT_TRUE(c->violations.empty()) << c->violations.front().toStdString();
            EXPECT_EQ(c->movesRefused, 0);
            EXPECT_TRUE(c->errors.empty()) << QJsonDocument(c->errors.front()).toJson().constData();
        }
        if (spectator) {
            EXPECT_TRUE(spectator->violations.empty()) << spectator->violations.front().toStdString();
            EXPECT_EQ(spectator->countKind(QStringLiteral("hand")), 0);
            EXPECT_EQ(spectator->countKind(QStringLiteral("turn_open")), 0);
        }
    }
};

// What a client last received, for a failure's message.
std::string dump(const TableClient& c) {
    QByteArray text = "seat " + QByteArray::number(c.seat) + " last " + QByteArray::number(static_cast<qulonglong>(c.lastSeq)) +
                      " open " + QByteArray::number(static_cast<qulonglong>(c.openSeq)) + "\n";
    for (size_t i = c.messages.size() > 4 ? c.messages.size() - 4 : 0; i < c.messages.size(); ++i)
        text += "  " + QJsonDocument(c.messages[i]).toJson(QJsonDocument::Compact).right(600) + "\n";
    return text.toStdString();
}

std::unique_ptr<TableClient> reconnect(const ServerProcess& server, const TableClient& old, const QString& room) {
    auto c = connectClient(server);
    c->continueFrom(old);
    c->resume(room, old.token, old.lastSeq);
    EXPECT_TRUE(waitUntil([&] { return c->seat >= 1; }, 10'000));
    return c;
}

std::vector<QJsonObject> joined(const TableClient& before, const TableClient& after) {
    std::vector<QJsonObject> all = before.events;
    all.insert(all.end(), after.events.begin(), after.events.end());
    return all;
}

}  // namespace

class WholeMatch : public ::testing::TestWithParam<int> {};

// People and computers play a whole match; every client's stream is
// exactly what the journal's seed and moves give its seat, and nothing in it
// is another seat's secret.
TEST_P(WholeMatch, PeopleAndComputersPlayToTheEnd) {
    ServerProcess server;
    ASSERT_TRUE(server.start()) << server.log().constData();
    Party party;
    ASSERT_TRUE(party.seat(server, GetParam(), true));
    party.autoPlay();
    party.startMatch();
    ASSERT_TRUE(party.waitMatchEnds(1, 120'000)) << [&] {
        std::string text;
        for (auto& c : party.people) text += dump(*c);
        return text + server.log().right(2000).toStdString();
    }();
    waitUntil([] { return false; }, 200);
    party.expectFair();
    const auto replayed = replayJournal(server.journal(party.room));
    ASSERT_TRUE(replayed.table);
    for (auto& c : party.people) EXPECT_TRUE(sameStream(c->events, *replayed.table, c->seat)) << "seat " << c->seat;
    EXPECT_TRUE(sameStream(party.spectator->events, *replayed.table, 0));
    const auto seats = party.people[0]->lastRoom.value("seats").toArray();
    int computers = 0;
    for (const auto& s : seats) computers += s.toObject().value("state").toString() == QLatin1String("computer");
    EXPECT_EQ(computers, 4 - GetParam());
    EXPECT_FALSE(server.log().contains(party.people[0]->token.toUtf8())) << "a token in the log";
    EXPECT_FALSE(server.log().contains(party.hostToken.toUtf8())) << "a token in the log";
}

INSTANTIATE_TEST_SUITE_P(FourTwoAndOnePeople, WholeMatch, ::testing::Values(4, 2, 1));

// Over a hundred matches at ten tables, no seat receives a card it may not
// see, and the four hands of every deal are the deal's 52 - 4 cards apart.
TEST(Fairness, ManyMatchesThroughTheSocket) {
    ServerProcess server;
    ASSERT_TRUE(server.start()) << server.log().constData();
    std::vector<std::unique_ptr<Party>> parties;
    constexpr int kTables = 10;
    constexpr int kMatches = 10;
    for (int t = 0; t < kTables; ++t) {
        parties.push_back(std::make_unique<Party>());
        ASSERT_TRUE(parties.back()->seat(server, t % 2 == 0 ? 4 : 3, t == 0));
        Party* p = parties.back().get();
        for (auto& c : p->people) c->setKeepAll(t < 2);  // the streams of two tables are compared whole
        TableClient* host = p->people[0].get();
        QObject::connect(host, &TableClient::received, host, [p, host](const QJsonObject& m) {
            if (m.value("type").toString() != QLatin1String("events")) return;
            for (const QJsonValue& e : m.value("events").toArray())
                if (e.toObject().value("kind").toString() == QLatin1String("match_closed") && host->matchEnds < kMatches)
                    host->start(p->room, p->hostToken);
        });
        p->autoPlay();
        p->startMatch();
    }
    int ended = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            ended = 0;
            for (auto& p : parties) ended += p->people[0]->matchEnds;
            return ended >= kTables * kMatches;
        },
        600'000))
        << ended << " matches ended";
    for (auto& p : parties) p->expectFair();
    for (int t = 0; t < 2; ++t) {
        const auto replayed = replayJournal(server.journal(parties[static_cast<size_t>(t)]->room));
        ASSERT_TRUE(replayed.table);
        for (auto& c : parties[static_cast<size_t>(t)]->people) EXPECT_TRUE(sameStream(c->events, *replayed.table, c->seat));
    }
    std::printf("fairness: %d matches checked at %d tables\n", ended, kTables);
}

// A client killed mid-match: a computer plays its seat after the grace
// period and everybody is told; it comes back with its token and the last
// event it saw, receives exactly what it missed, and plays on.
TEST(LostConnections, AKilledClientIsPlayedForThenComesBackAndPlaysOn) {
    ServerProcess server({"--grace", "1"});
    ASSERT_TRUE(server.start()) << server.log().constData();
    Party party;
    ASSERT_TRUE(party.seat(server, 2, false));
    party.autoPlay();
    party.startMatch();
    TableClient& gone = *party.people[1];
    ASSERT_TRUE(waitUntil([&] { return gone.lastSeq > 150; }, 30'000));
    gone.setAutoPlay(false);
    gone.abort();
    const uint64_t lastSeen = gone.lastSeq;
    TableClient& stays = *party.people[0];
    ASSERT_TRUE(waitUntil([&] {
        return std::any_of(stays.notices.begin(), stays.notices.end(),
                           [&](const QJsonObject& n) { return n.value("kind").toString() == QLatin1String("takeover") && n.value("seat").toInt() == gone.seat; });
    }, 15'000)) << dump(stays) << server.log().right(3000).constData();
    // The table went on without the gone person.
    ASSERT_TRUE(waitUntil([&] { return stays.lastSeq > lastSeen + 50; }, 30'000));

    auto back = reconnect(server, gone, party.room);
    ASSERT_FALSE(back->events.empty());
    EXPECT_GT(static_cast<uint64_t>(back->events.front().value("seq").toDouble()), lastSeen);
    EXPECT_EQ(back->snapshots, 0);
    ASSERT_TRUE(waitUntil([&] {
        return std::any_of(stays.notices.begin(), stays.notices.end(),
                           [](const QJsonObject& n) { return n.value("kind").toString() == QLatin1String("return"); });
    }, 10'000));
    back->setAutoPlay(true, 0, 99);
    const int movesBefore = back->movesSent;
    ASSERT_TRUE(waitUntil([&] { return stays.matchEnds >= 1 && back->matchEnds >= 1; }, 120'000))
        << dump(stays) << dump(*back) << server.log().right(2000).constData();
    EXPECT_GT(back->movesSent, movesBefore) << "the person took the seat back";
    const auto replayed = replayJournal(server.journal(party.room));
    ASSERT_TRUE(replayed.table);
    EXPECT_TRUE(sameStream(joined(gone, *back), *replayed.table, gone.seat)) << "exactly the missed events, once";
    EXPECT_TRUE(sameStream(stays.events, *replayed.table, stays.seat));
}

// kill -9 in the middle of three matches; the restarted server resumes all
// three from their journals on disk, the clients come back with their
// tokens, and each match ends as its seed and moves say. No move that was
// answered is missing from the journal.
TEST(Restart, AKilledServerResumesEveryTable) {
    ServerProcess server({"--grace", "30"});
    ASSERT_TRUE(server.start()) << server.log().constData();
    std::vector<std::unique_ptr<Party>> parties;
    for (int people : {4, 1, 2}) {
        parties.push_back(std::make_unique<Party>());
        ASSERT_TRUE(parties.back()->seat(server, people, false));
        parties.back()->autoPlay(2);
        parties.back()->startMatch();
    }
    ASSERT_TRUE(waitUntil([&] {
        return std::all_of(parties.begin(), parties.end(), [](auto& p) { return p->people[0]->lastSeq > 300; });
    }, 60'000));
    server.kill9();
    std::vector<std::set<QString>> answered(parties.size());
    for (size_t i = 0; i < parties.size(); ++i) {
        for (auto& c : parties[i]->people) {
            c->setAutoPlay(false);
            for (const auto& [id, a] : c->answers)
                if (a.value("ok").toBool()) answered[i].insert(id + QStringLiteral("@") + QString::number(c->seat));
        }
    }
    for (size_t i = 0; i < parties.size(); ++i) {
        const auto replayed = replayJournal(server.journal(parties[i]->room));
        ASSERT_TRUE(replayed.table);
        for (const QString& idAtSeat : answered[i])
            EXPECT_TRUE(replayed.moveIds.count(idAtSeat.section(QLatin1Char('@'), 0, 0)) == 1) << "answered move lost";
    }
    ASSERT_TRUE(server.start()) << server.log().constData();
    EXPECT_TRUE(server.log().contains("3 tables resumed")) << server.log().constData();

    std::vector<std::vector<std::unique_ptr<TableClient>>> back(parties.size());
    for (size_t i = 0; i < parties.size(); ++i) {
        uint64_t seed = 50;
        for (auto& c : parties[i]->people) {
            back[i].push_back(reconnect(server, *c, parties[i]->room));
            back[i].back()->setAutoPlay(true, 0, ++seed);
        }
    }
    // A table may have ended its match before the kill (the one of one
    // person goes fast): the match's end is counted over both lives.
    ASSERT_TRUE(waitUntil([&] {
        for (size_t i = 0; i < back.size(); ++i)
            for (size_t k = 0; k < back[i].size(); ++k)
                if (back[i][k]->matchEnds + parties[i]->people[k]->matchEnds < 1) return false;
        return true;
    }, 120'000)) << [&] {
        std::string text;
        for (auto& clients : back)
            for (auto& c : clients) text += dump(*c);
        return text + server.log().right(3000).toStdString();
    }();
    for (size_t i = 0; i < parties.size(); ++i) {
        const auto replayed = replayJournal(server.journal(parties[i]->room));
        ASSERT_TRUE(replayed.table);
        for (size_t k = 0; k < back[i].size(); ++k) {
            const TableClient& before = *parties[i]->people[k];
            EXPECT_TRUE(sameStream(joined(before, *back[i][k]), *replayed.table, before.seat)) << "table " << i << " seat " << before.seat;
            EXPECT_TRUE(back[i][k]->violations.empty());
        }
    }
}

// Each refusal comes with its code to the client that caused it, and
// nothing changes at the table.
TEST(Refusals, EachBadMoveAndMessageIsRefusedWithItsReason) {
    ServerProcess server({"--max-rate", "20"});
    ASSERT_TRUE(server.start()) << server.log().constData();
    Party party;
    ASSERT_TRUE(party.seat(server, 2, false));
    TableClient& a = *party.people[0];
    TableClient& b = *party.people[1];
    party.startMatch();
    // Let the bots play until one of them is to move, then stop them.
    ASSERT_TRUE(waitUntil([&] { return a.openSeq != 0 || b.openSeq != 0; }, 20'000));
    TableClient& mover = a.openSeq != 0 ? a : b;
    TableClient& other = a.openSeq != 0 ? b : a;
    const uint64_t open = mover.openSeq;
    auto answerOf = [](TableClient& c, const QString& id) {
        waitUntil([&] { return c.answers.count(id) != 0; }, 10'000);
        return c.answers.count(id) ? c.answers[id] : QJsonObject{};
    };
    // Out of turn.
    EXPECT_EQ(answerOf(other, other.moveWithId("o1", other.lastSeq, "pass")).value("code").toString(), QStringLiteral("not_your_turn"));
    // Illegal: a card not among those it may lay.
    int illegal = 0;
    for (int card = 1; card <= 52 && illegal == 0; ++card)
        if ((mover.openCards & (uint64_t{1} << card)) == 0) illegal = card;
    const QString code = answerOf(mover, mover.moveWithId("i1", open, "card", illegal)).value("code").toString();
    EXPECT_TRUE(code == QLatin1String("no_such_card") || code == QLatin1String("card_not_playable")) << code.toStdString();
    // Stale: answering an event before this turn opened.
    EXPECT_EQ(answerOf(mover, mover.moveWithId("s1", open - 1, "pass")).value("code").toString(), QStringLiteral("stale"));
    EXPECT_EQ(mover.lastSeq, open) << "refused moves changed nothing";
    // A good move, then the same id again: the same answer, applied once.
    int legal = 0;
    for (int card = 1; card <= 52 && legal == 0; ++card)
        if (mover.openCards & (uint64_t{1} << card)) legal = card;
    const QJsonObject first = answerOf(mover, legal ? mover.moveWithId("g1", open, "card", legal) : mover.moveWithId("g1", open, "pass"));
    EXPECT_TRUE(first.value("ok").toBool());
    waitUntil([&] { return mover.lastSeq > open; }, 5000);
    const uint64_t after = mover.lastSeq;
    mover.answers.erase("g1");
    const QJsonObject again = answerOf(mover, legal ? mover.moveWithId("g1", open, "card", legal) : mover.moveWithId("g1", open, "pass"));
    EXPECT_EQ(again, first);
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(mover.lastSeq, after) << "the duplicate was not applied again";

    // Wrong token, malformed frames: errors to this client alone.
    auto stranger = connectClient(server);
    stranger->resume(party.room, QStringLiteral("AAAAAAAAAAAAAAAAAAAAAA"), 0);
    stranger->sendRaw("{not json");
    stranger->sendRaw(R"({"type":"move","id":"x","answers":1e300,"move":"pass"})");
    stranger->sendRaw(R"({"type":"warp"})");
    ASSERT_TRUE(waitUntil([&] { return stranger->errors.size() >= 4; }, 5000));
    EXPECT_EQ(stranger->errors[0].value("code").toString(), QStringLiteral("wrong_token"));
    EXPECT_EQ(stranger->errors[1].value("code").toString(), QStringLiteral("bad_json"));
    EXPECT_EQ(stranger->errors[2].value("code").toString(), QStringLiteral("bad_field"));
    EXPECT_EQ(stranger->errors[3].value("code").toString(), QStringLiteral("unknown_type"));
    EXPECT_TRUE(a.errors.empty() && b.errors.empty());

    // Oversize: an error, then close 1009.
    auto big = connectClient(server);
    big->sendRaw(QByteArray(R"({"type":"watch","room":")") + QByteArray(5000, 'A') + "\"}");
    ASSERT_TRUE(waitUntil([&] { return big->disconnected; }, 10'000));
    ASSERT_FALSE(big->errors.empty());
    EXPECT_EQ(big->errors.back().value("code").toString(), QStringLiteral("too_big"));
    EXPECT_EQ(big->closeCode, 1009);

    // Flood: more than 20 messages in a second closes with 1008.
    auto flood = connectClient(server);
    for (int i = 0; i < 40; ++i) flood->sendRaw(R"({"type":"leave"})");
    ASSERT_TRUE(waitUntil([&] { return flood->disconnected; }, 10'000));
    EXPECT_EQ(flood->errors.back().value("code").toString(), QStringLiteral("flood"));
    EXPECT_EQ(flood->closeCode, 1008);

    // A page elsewhere may not drive a visitor's browser here; the server's
    // own page may.
    // The upgrade is refused before any handshake (HTTP 403).
    auto evil = std::make_unique<TableClient>();
    evil->open(server.url(), QStringLiteral("http://evil.example"));
    EXPECT_FALSE(waitUntil([&] { return evil->welcomed(); }, 2000));
    EXPECT_TRUE(server.log().contains("origin http://evil.example is not this server's page")) << server.log().constData();
    auto own = connectClient(server, QStringLiteral("http://127.0.0.1:%1").arg(server.port));
    EXPECT_TRUE(own->welcomed());

    // Another protocol version: an error naming both, then close 1002.
    auto old = std::make_unique<TableClient>();
    old->open(server.url(), {}, 7);
    ASSERT_TRUE(waitUntil([&] { return old->disconnected; }, 10'000));
    ASSERT_FALSE(old->errors.empty());
    EXPECT_EQ(old->errors.front().value("code").toString(), QStringLiteral("protocol_mismatch"));
    EXPECT_TRUE(old->errors.front().value("text").toString().contains(QStringLiteral("protocol 1")));
    EXPECT_TRUE(old->errors.front().value("text").toString().contains(QStringLiteral("protocol 7")));
    EXPECT_EQ(old->closeCode, 1002);

    // The table is still fine: the bots finish the match at a person's pace
    // (within the 20 messages a second).
    party.autoPlay(60);
    EXPECT_TRUE(party.waitMatchEnds(1, 120'000));
    for (auto& c : party.people) EXPECT_TRUE(c->violations.empty());
    EXPECT_EQ(a.movesRefused + b.movesRefused, 3) << "only the three refusals above";
}

TEST(Limits, ConnectionsBeyondTheLimitAreRefused) {
    ServerProcess server({"--max-connections", "3"});
    ASSERT_TRUE(server.start()) << server.log().constData();
    std::vector<std::unique_ptr<TableClient>> ok;
    for (int i = 0; i < 3; ++i) {
        ok.push_back(connectClient(server));
        EXPECT_TRUE(ok.back()->welcomed());
    }
    auto fourth = std::make_unique<TableClient>();
    fourth->open(server.url());
    EXPECT_FALSE(waitUntil([&] { return fourth->welcomed(); }, 1500));
    EXPECT_TRUE(server.log().contains("refused a connection"));
}

TEST(Http, ThePageAndPicturesComeWithTheirHeadersAndNothingElse) {
    ServerProcess server;
    ASSERT_TRUE(server.start()) << server.log().constData();
    QNetworkAccessManager manager;
    auto get = [&](const QString& path, QByteArray* type = nullptr, QByteArray* csp = nullptr, QByteArray* cache = nullptr) {
        QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.port).arg(path))));
        waitUntil([&] { return reply->isFinished(); }, 10'000);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (type) *type = reply->rawHeader("Content-Type");
        if (csp) *csp = reply->rawHeader("Content-Security-Policy");
        if (cache) *cache = reply->rawHeader("Cache-Control");
        reply->deleteLater();
        return status;
    };
    QByteArray type, csp, cache;
    EXPECT_EQ(get("/", &type, &csp, &cache), 200);
    EXPECT_TRUE(type.startsWith("text/html"));
    EXPECT_TRUE(csp.startsWith("default-src 'self'"));
    EXPECT_EQ(cache, "no-cache");
    EXPECT_EQ(get("/r/K7PXQ2M9RT", &type), 200);
    EXPECT_EQ(get("/cards/01.png", &type), 200);
    EXPECT_EQ(type, "image/png");
    EXPECT_EQ(get("/cards/back3.png"), 200);
    EXPECT_EQ(get("/cards/54.png"), 404);
    EXPECT_EQ(get("/members/1/1", &type), 200);
    EXPECT_TRUE(type.startsWith("image/"));
    EXPECT_EQ(get("/members/99/1"), 404);
    EXPECT_EQ(get("/members.json", &type), 200);
    EXPECT_EQ(get("/web/../../etc/passwd"), 404);
    EXPECT_EQ(get("/web/%2e%2e/secret"), 404);
    EXPECT_EQ(get("/web/.hidden"), 404);
    EXPECT_EQ(get("/nothing"), 404);
}

TEST(Tls, HttpsAndWssWithACertificate) {
    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem");
    const QString key = dir.filePath("key.pem");
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-days", "1",
                              "-keyout", key, "-out", cert});
    ASSERT_TRUE(openssl.waitForFinished(60'000));
    ASSERT_EQ(openssl.exitCode(), 0);
    ServerProcess server({"--cert", cert, "--key", key});
    ASSERT_TRUE(server.start()) << server.log().constData();
    EXPECT_TRUE(server.log().contains("https and wss"));
    auto secure = std::make_unique<TableClient>();
    secure->open(server.url("/socket", true));
    EXPECT_TRUE(waitUntil([&] { return secure->welcomed(); }, 10'000));
    secure->create();
    EXPECT_TRUE(waitUntil([&] { return !secure->room.isEmpty(); }, 10'000));
    auto plain = std::make_unique<TableClient>();
    plain->open(server.url());
    EXPECT_FALSE(waitUntil([&] { return plain->welcomed(); }, 2000)) << "no plain socket on a TLS port";
}

TEST(CommandLine, BadOptionsExitWithTwoAndAClearMessage) {
    auto run = [](const QStringList& args, QByteArray* err = nullptr) {
        QProcess p;
        p.start(QStringLiteral(VANTEL_SERVER_PATH), args);
        p.waitForFinished(10'000);
        if (err) *err = p.readAllStandardError() + p.readAllStandardOutput();
        return p.exitCode();
    };
    QByteArray text;
    EXPECT_EQ(run({"--port", "seventy"}, &text), 2);
    EXPECT_TRUE(text.contains("--port")) << text.constData();
    EXPECT_EQ(run({"--bogus"}, &text), 2);
    EXPECT_TRUE(text.contains("bogus")) << text.constData();
    EXPECT_EQ(run({"--cert", "x.pem"}, &text), 2);
    EXPECT_EQ(run({"--listen", "not-an-address"}, &text), 2);
    EXPECT_EQ(run({"--grace", "-1"}, &text), 2);
    EXPECT_EQ(run({"--help"}, &text), 0);
    EXPECT_TRUE(text.contains("--max-connections"));
    EXPECT_EQ(run({"--version"}, &text), 0);
    EXPECT_TRUE(text.contains("protocol 1"));
}

namespace {
// Qt's warnings while a test runs, such as a timer stopped from the wrong
// thread.
QStringList qtWarnings;
void keepWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) qtWarnings.append(text);
}
}  // namespace

// The game hosting on a thread of its own: quitting tells every client why
// before the socket closes, and the server ends on its own thread, Qt's
// warnings silent.
TEST(Embedded, AHostThatQuitsTellsEveryClient) {
    qtWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
    QDir().mkpath(QStringLiteral(VANTEL_DISK_TMP));
    QTemporaryDir data(QStringLiteral(VANTEL_DISK_TMP "/embedded-XXXXXX"));
    vantel::net::ServerOptions options;
    options.listen = QHostAddress::LocalHost;
    options.port = 0;
    options.dataDir = data.path();
    options.log = [](const QString&) {};
    vantel::net::ServerThread host;
    quint16 port = 0;
    QObject::connect(&host, &vantel::net::ServerThread::started, [&](quint16 p) { port = p; });
    host.start(options);
    ASSERT_TRUE(waitUntil([&] { return port != 0; }, 10'000));
    QString room;
    QObject::connect(&host, &vantel::net::ServerThread::tableCreated, [&](const QString& r, const QString&) { room = r; });
    host.createTable({});
    ASSERT_TRUE(waitUntil([&] { return !room.isEmpty(); }, 10'000));
    auto c = std::make_unique<TableClient>();
    c->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/socket").arg(port)));
    ASSERT_TRUE(waitUntil([&] { return c->welcomed(); }, 10'000));
    c->join(room, QStringLiteral("guest"), 1);
    ASSERT_TRUE(waitUntil([&] { return c->seat == 1; }, 10'000)) << (c->errors.empty() ? "" : QJsonDocument(c->errors.front()).toJson().constData());
    host.stop(QStringLiteral("host_quit"), QStringLiteral("ホストがゲームを終了しました"));
    ASSERT_TRUE(waitUntil([&] { return c->disconnected; }, 10'000));
    EXPECT_EQ(c->closingReason, QStringLiteral("host_quit"));
    EXPECT_EQ(c->closeCode, 1001);
    c.reset();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(qtWarnings.isEmpty()) << qtWarnings.join(QLatin1Char('\n')).toStdString();
}
