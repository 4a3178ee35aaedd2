// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game's seat at a server's table, against a real table server on a
// loopback port: two seats play a whole round through it, one of them
// behind a proxy that the test cuts mid-round; failures read in Japanese.

#include "net/remote_table.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cut_proxy.h"
#include "server/table_server.h"

namespace vantel::net {
namespace {

// A seat that plays the first move it may at every turn it is given.
struct Player {
    RemoteTable table;
    std::vector<TableEvent> events;
    int resultsSeen = 0;
    int reconnects = 0;
    QString refusedCode;
    QString endedReason;
    QString endedText;

    Player() {
        QObject::connect(&table, &RemoteTable::eventReceived, &table, [this](const TableEvent& e, const QString&) {
            events.push_back(e);
            if (e.kind == EventKind::Results) ++resultsSeen;
            if (e.kind != EventKind::TurnOpen) return;
            for (int card = 1; card <= 52; ++card) {
                if (e.cards & cardBit(card)) {
                    table.move({TurnMove::Card, card});
                    return;
                }
            }
            table.move({(e.a & kMayPass) ? TurnMove::Pass : TurnMove::Drop, 0});
        });
        QObject::connect(&table, &RemoteTable::reconnected, &table, [this] { ++reconnects; });
        QObject::connect(&table, &RemoteTable::refused, &table,
                         [this](const QString&, const QString& code, const QString&) { refusedCode = code; });
        QObject::connect(&table, &RemoteTable::ended, &table, [this](const QString& reason, const QString& text) {
            endedReason = reason;
            endedText = text;
        });
    }
};

QUrl socketUrl(quint16 port) { return QUrl(QStringLiteral("ws://127.0.0.1:%1/socket").arg(port)); }

struct Server {
    QTemporaryDir data;
    TableServer server;
    Server() {
        ServerOptions options;
        options.listen = QHostAddress::LocalHost;
        options.port = 0;
        options.dataDir = data.path();
        options.log = [](const QString&) {};
        QString why;
        EXPECT_TRUE(server.start(options, &why)) << why.toStdString();
    }
};

TEST(RemoteTable, TwoSeatsPlayARoundAndALostConnectionComesBackWithExactlyWhatItMissed) {
    Server s;
    Proxy proxy(s.server.port());
    Player host;
    Player friendSeat;
    QString room;
    QObject::connect(&host.table, &RemoteTable::created, &host.table,
                     [&](const QString& code, const QString&) { room = code; });
    host.table.open(socketUrl(s.server.port()));
    host.table.create({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !room.isEmpty(); }, 5000))
        << host.endedReason.toStdString() << " state " << int(host.table.state()) << " port " << s.server.port();
    host.table.join(room, QStringLiteral("ほすと"), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.table.seat() == 1; }, 5000));
    friendSeat.table.open(socketUrl(proxy.port()));
    // Room codes are read without regard to case and dashes.
    friendSeat.table.join(room.toLower().remove(QLatin1Char('-')), QStringLiteral("ゆき"), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return friendSeat.table.seat() == 2; }, 5000));
    host.table.start();

    // Mid-round the friend's connection is cut; it comes back by itself.
    ASSERT_TRUE(QTest::qWaitFor([&] { return friendSeat.events.size() > 60; }, 20000));
    proxy.cut();
    ASSERT_TRUE(QTest::qWaitFor([&] { return friendSeat.reconnects == 1; }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.resultsSeen >= 1 && friendSeat.resultsSeen >= 1; }, 60000));

    // Nothing twice, nothing out of order, nothing of another seat's.
    for (size_t i = 1; i < friendSeat.events.size(); ++i) {
        ASSERT_LT(friendSeat.events[i - 1].seq, friendSeat.events[i].seq);
    }
    for (const Player* p : {&host, &friendSeat}) {
        for (const TableEvent& e : p->events) ASSERT_TRUE(e.visibleTo == 0 || e.visibleTo == p->table.seat());
    }
    // Both see the same table, scores and totals at the round's end.
    const auto atResults = [](const Player& p) {
        SeatView v;
        v.seat = p.table.seat();
        for (const TableEvent& e : p.events) {
            v.apply(e);
            if (e.kind == EventKind::Results) break;
        }
        return v;
    };
    const SeatView a = atResults(host);
    const SeatView b = atResults(friendSeat);
    EXPECT_EQ(a.table, b.table);
    EXPECT_EQ(a.totals, b.totals);
    EXPECT_EQ(a.roundPoints, b.roundPoints);
    EXPECT_EQ(a.cardsLeft, b.cardsLeft);
}

TEST(RemoteTable, FailuresAreToldInJapanese) {
    Server s;
    Player p;
    p.table.open(socketUrl(s.server.port()));
    p.table.join(QStringLiteral("2345678923"), QStringLiteral("ゆき"), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !p.refusedCode.isEmpty(); }, 5000));
    EXPECT_EQ(p.refusedCode, QStringLiteral("no_such_room"));
    EXPECT_EQ(failureText(p.refusedCode), QStringLiteral("その部屋コードの部屋はありません。"));

    // Nobody listens on a port the test just let go of.
    quint16 freePort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        freePort = probe.serverPort();
    }
    Player nobody;
    nobody.table.open(socketUrl(freePort));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !nobody.endedReason.isEmpty(); }, 10000));
    EXPECT_EQ(nobody.endedReason, QStringLiteral("no_server"));
    EXPECT_TRUE(nobody.endedText.contains(QStringLiteral("サーバーが見つかりません")));
    EXPECT_TRUE(failureText(QStringLiteral("protocol_mismatch"), QStringLiteral("x")).contains(QStringLiteral("バージョン")));
}

}  // namespace
}  // namespace vantel::net

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
