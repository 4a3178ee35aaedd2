// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractEventDispatcher>

#include <atomic>
#include <cstdint>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

class QSocketNotifier;

namespace vantel::net {

// An event dispatcher on Linux's epoll for the server's thread, which holds
// every connection.
//
// Qt's own dispatcher on Unix hands the kernel the whole list of sockets on
// every pass of the loop (ppoll), so a server with thousands of connections
// spends most of its time asking about sockets that have nothing to say; at
// a thousand tables that was three quarters of the server's time. epoll keeps
// the list in the kernel and answers with the ready sockets only, so a pass
// costs what is ready, not what is open. Timers are kept in the order of
// their deadlines.
//
// Install it before the thread's loop starts: QCoreApplication::
// setEventDispatcher for the main thread, QThread::setEventDispatcher for
// another. Every timer type is kept to the millisecond.
class EpollEventDispatcher final : public QAbstractEventDispatcher {
    Q_OBJECT

public:
    explicit EpollEventDispatcher(QObject* parent = nullptr);
    ~EpollEventDispatcher() override;

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;

    void registerSocketNotifier(QSocketNotifier* notifier) override;
    void unregisterSocketNotifier(QSocketNotifier* notifier) override;

    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;

    void wakeUp() override;
    void interrupt() override;

private:
    // The notifiers on one descriptor. `serial` is new each time the
    // descriptor is watched afresh, so that a ready event reported for a
    // descriptor that was closed and reused in the same pass is not taken
    // for the new one's.
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
        QSocketNotifier* exception = nullptr;
        std::uint32_t serial = 0;
    };
    struct Timer {
        qint64 intervalMs = 0;
        Qt::TimerType type = Qt::CoarseTimer;
        QObject* object = nullptr;
        qint64 deadlineNs = 0;
        std::uint64_t serial = 0;  // tells a timer from a later one with the same id
        bool firing = false;       // in its own event: not fired again by a nested loop
    };

    void watch(int fd, Watch& w, bool added);
    int activateNotifiers(std::uint64_t key, std::uint32_t events);
    int activateTimers();
    int msUntilNextTimer() const;
    int drainWake();
    void forgetTimer(std::unordered_map<int, Timer>::iterator it);

    int epoll_ = -1;
    int wake_ = -1;
    std::atomic<bool> interrupted_{false};

    std::unordered_map<int, Watch> watches_;
    std::uint32_t nextWatchSerial_ = 1;

    std::unordered_map<int, Timer> timers_;
    std::set<std::pair<qint64, int>> deadlines_;
    std::unordered_map<QObject*, std::vector<int>> timersOf_;
    std::uint64_t nextTimerSerial_ = 1;
};

}  // namespace vantel::net
