// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The server's epoll event loop (installed for these tests by test_main):
// timers fire in deadline order and never after being stopped; sockets that
// come and go, some closed inside another's event, lose no data and get no
// event of another's, even one that reuses a closed socket's number in the
// same pass; work posted from another thread wakes the loop, and quitting a
// thread ends it.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "server/epoll_dispatcher.h"

namespace {

bool spinUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

TEST(EpollDispatcher, IsTheLoopOfTheseTests) {
    EXPECT_NE(qobject_cast<vantel::net::EpollEventDispatcher*>(QAbstractEventDispatcher::instance()), nullptr);
}

TEST(EpollDispatcher, TimersFireInDeadlineOrderAndNeverOnceStopped) {
    std::mt19937 random(7);
    std::vector<int> fired;
    std::vector<std::unique_ptr<QTimer>> timers;
    std::vector<int> intervals;
    for (int i = 0; i < 40; ++i) {
        auto timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        // Far enough apart that the order is the deadlines' on a loaded machine.
        intervals.push_back(static_cast<int>(random() % 40) * 15);
        timer->setInterval(intervals.back());
        QObject::connect(timer.get(), &QTimer::timeout, [&fired, i] { fired.push_back(i); });
        timers.push_back(std::move(timer));
    }
    // Every fifth is stopped by the first to fire, whenever that is.
    QTimer first;
    first.setSingleShot(true);
    QObject::connect(&first, &QTimer::timeout, [&] {
        for (int i = 0; i < 40; i += 5) timers[i]->stop();
    });
    first.start(0);
    for (auto& t : timers) t->start();
    EXPECT_LE(timers[1]->remainingTime(), intervals[1]);

    ASSERT_TRUE(spinUntil([&] { return fired.size() == 32; }, 5000));
    spinUntil([] { return false; }, 100);
    ASSERT_EQ(fired.size(), 32u);
    for (const int i : fired) EXPECT_NE(i % 5, 0) << "a stopped timer fired";
    for (size_t k = 1; k < fired.size(); ++k) EXPECT_LE(intervals[fired[k - 1]], intervals[fired[k]]);

    // A repeating timer keeps firing; one at 0 that restarts itself does not
    // starve another.
    int ticks = 0, spins = 0;
    QTimer repeating, zero;
    QObject::connect(&repeating, &QTimer::timeout, [&] { ++ticks; });
    QObject::connect(&zero, &QTimer::timeout, [&] { ++spins; });
    repeating.start(5);
    zero.start(0);
    EXPECT_TRUE(spinUntil([&] { return ticks >= 5; }, 2000));
    EXPECT_GT(spins, 5);
}

// Echoes every byte back.
class Echo : public QObject {
public:
    Echo() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [s] { s->write(s->readAll()); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QTcpServer server;
};

TEST(EpollDispatcher, SocketsOpenedAndClosedInsideOthersEventsLoseNothing) {
    Echo echo;
    ASSERT_TRUE(echo.server.isListening());
    std::mt19937 random(11);
    std::map<QTcpSocket*, QByteArray> expected, received;
    std::vector<QPointer<QTcpSocket>> open;
    int finished = 0, opened = 0, closedEarly = 0;
    constexpr int kTotal = 300;

    std::function<void()> openOne = [&] {
        if (opened >= kTotal) return;
        ++opened;
        auto* s = new QTcpSocket;
        const QByteArray message = QByteArray::number(opened).repeated(1 + static_cast<int>(random() % 400)) + '\n';
        // A new socket may have the address of one deleted before.
        expected[s] = message;
        received[s].clear();
        QObject::connect(s, &QTcpSocket::connected, s, [s, message] { s->write(message); });
        QObject::connect(s, &QTcpSocket::readyRead, s, [&, s] {
            received[s] += s->readAll();
            // A reply that is not (a prefix of) what this socket sent came
            // from another's event.
            EXPECT_TRUE(expected[s].startsWith(received[s]));
            if (received[s] != expected[s]) return;
            ++finished;
            // Closing another socket here frees its number for the next
            // one opened, while its ready event may wait in this pass.
            if (!open.empty() && random() % 3 == 0) {
                const size_t victim = random() % open.size();
                if (open[victim] && open[victim] != s && received[open[victim]] != expected[open[victim]]) {
                    ++closedEarly;
                    expected.erase(open[victim]);
                    received.erase(open[victim]);
                    delete open[victim].data();
                    openOne();
                }
            }
            s->deleteLater();
            openOne();
        });
        s->connectToHost(QHostAddress::LocalHost, echo.server.serverPort());
        open.emplace_back(s);
    };
    for (int i = 0; i < 60; ++i) openOne();
    ASSERT_TRUE(spinUntil([&] { return opened == kTotal && finished + closedEarly == kTotal; }, 20'000))
        << finished << " + " << closedEarly << " of " << opened;
}

// Two sockets ready in one pass; the first one's event closes the second and
// opens another that gets the same number. The second's report must not be
// taken for the new socket, which has nothing to read.
TEST(EpollDispatcher, AReportForAClosedSocketIsNotTakenForANewOneWithItsNumber) {
    int a[2], b[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, a), 0);
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, b), 0);
    QSocketNotifier first(a[0], QSocketNotifier::Read);
    auto* second = new QSocketNotifier(b[0], QSocketNotifier::Read);
    std::unique_ptr<QSocketNotifier> reused;
    int c[2] = {-1, -1};
    bool firstFired = false, secondFired = false, wrongFired = false;
    QObject::connect(second, &QSocketNotifier::activated, [&] { secondFired = true; });
    QObject::connect(&first, &QSocketNotifier::activated, [&] {
        firstFired = true;
        char byte;
        [[maybe_unused]] const auto got = ::read(a[0], &byte, 1);
        if (!second) return;
        delete second;
        second = nullptr;
        const int number = b[0];
        ::close(b[0]);
        ::close(b[1]);
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, c), 0);
        ASSERT_EQ(c[0], number) << "the new socket did not get the closed one's number";
        reused = std::make_unique<QSocketNotifier>(c[0], QSocketNotifier::Read);
        QObject::connect(reused.get(), &QSocketNotifier::activated, [&] { wrongFired = true; });
    });
    ASSERT_EQ(::write(a[1], "x", 1), 1);
    ASSERT_EQ(::write(b[1], "y", 1), 1);
    EXPECT_TRUE(spinUntil([&] { return firstFired; }, 2000));
    spinUntil([] { return false; }, 50);
    EXPECT_FALSE(secondFired);
    EXPECT_FALSE(wrongFired);
    reused.reset();
    for (const int fd : {a[0], a[1], c[0], c[1]}) ::close(fd);
}

TEST(EpollDispatcher, WorkFromAnotherThreadWakesTheLoopAndQuittingAThreadEndsIt) {
    QThread worker;
    worker.setEventDispatcher(new vantel::net::EpollEventDispatcher);
    worker.start();
    auto* onWorker = new QObject;
    onWorker->moveToThread(&worker);
    QObject::connect(&worker, &QThread::finished, onWorker, &QObject::deleteLater);
    // Round trips with no timer anywhere: each is carried by a wake-up alone.
    int back = 0;
    for (int i = 0; i < 200; ++i) {
        QMetaObject::invokeMethod(onWorker, [&back] {
            QMetaObject::invokeMethod(QCoreApplication::instance(), [&back] { ++back; }, Qt::QueuedConnection);
        }, Qt::QueuedConnection);
    }
    EXPECT_TRUE(spinUntil([&] { return back == 200; }, 5000));
    worker.quit();
    EXPECT_TRUE(worker.wait(5000));
}

}  // namespace
