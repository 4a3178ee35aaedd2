// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/epoll_dispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vantel::net {

namespace {

// The key of the wake-up descriptor in epoll's reports; a socket's key is its
// serial and descriptor, and a serial is never all ones.
constexpr std::uint64_t kWakeKey = ~std::uint64_t{0};
constexpr int kEventsPerPass = 256;

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint64_t keyOf(int fd, std::uint32_t serial) {
    return (std::uint64_t{serial} << 32) | static_cast<std::uint32_t>(fd);
}

}  // namespace

EpollEventDispatcher::EpollEventDispatcher(QObject* parent) : QAbstractEventDispatcher(parent) {
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (epoll_ < 0 || wake_ < 0) {
        // Without them the thread could never wait: nothing sensible is left.
        std::perror("vantel: epoll");
        std::abort();
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kWakeKey;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &ev) < 0) {
        std::perror("vantel: epoll_ctl");
        std::abort();
    }
}

EpollEventDispatcher::~EpollEventDispatcher() {
    close(wake_);
    close(epoll_);
}

bool EpollEventDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags) {
    interrupted_.store(false);
    Q_EMIT awake();
    QCoreApplication::sendPostedEvents();

    const bool includeTimers = !(flags & QEventLoop::X11ExcludeTimers);
    const bool includeNotifiers = !(flags & QEventLoop::ExcludeSocketNotifiers);
    const bool mayWait = (flags & QEventLoop::WaitForMoreEvents) && !interrupted_.load();
    if (mayWait) Q_EMIT aboutToBlock();
    if (interrupted_.load()) return false;

    // Anything posted since sendPostedEvents wrote to the wake-up descriptor,
    // so waiting here never sleeps on a posted event.
    int timeout = 0;
    if (mayWait) timeout = includeTimers ? msUntilNextTimer() : -1;

    int handled = 0;
    if (includeNotifiers) {
        epoll_event events[kEventsPerPass];
        const int ready = epoll_wait(epoll_, events, kEventsPerPass, timeout);
        // Interrupted by a signal (ready < 0, EINTR): the loop simply comes back.
        for (int i = 0; i < ready; ++i) {
            if (events[i].data.u64 == kWakeKey)
                handled += drainWake();
            else
                handled += activateNotifiers(events[i].data.u64, events[i].events);
        }
    } else {
        // Sockets are left out of this pass: wait for a wake-up or a timer only.
        pollfd wake{wake_, POLLIN, 0};
        if (poll(&wake, 1, timeout) > 0) handled += drainWake();
    }
    if (includeTimers) handled += activateTimers();
    return handled > 0;
}

int EpollEventDispatcher::drainWake() {
    eventfd_t count = 0;
    return eventfd_read(wake_, &count) == 0 ? 1 : 0;
}

int EpollEventDispatcher::activateNotifiers(std::uint64_t key, std::uint32_t events) {
    const int fd = static_cast<int>(static_cast<std::uint32_t>(key));
    const auto serial = static_cast<std::uint32_t>(key >> 32);
    int handled = 0;
    // Looked up again before each notifier: the one before may have closed
    // the socket, turned a notifier off or deleted it.
    const auto fire = [&](QSocketNotifier* Watch::*which) {
        const auto it = watches_.find(fd);
        if (it == watches_.end() || it->second.serial != serial) return;
        QSocketNotifier* notifier = it->second.*which;
        if (!notifier) return;
        QEvent activation(QEvent::SockAct);
        QCoreApplication::sendEvent(notifier, &activation);
        ++handled;
    };
    // A closed or failed socket wakes its readers and writers, as with poll.
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) fire(&Watch::read);
    if (events & (EPOLLOUT | EPOLLHUP | EPOLLERR)) fire(&Watch::write);
    if (events & EPOLLPRI) fire(&Watch::exception);
    return handled;
}

void EpollEventDispatcher::registerSocketNotifier(QSocketNotifier* notifier) {
    const int fd = static_cast<int>(notifier->socket());
    if (fd < 0) return;
    auto [it, added] = watches_.try_emplace(fd);
    Watch& w = it->second;
    if (added) {
        w.serial = nextWatchSerial_++;
        if (w.serial == UINT32_MAX) w.serial = nextWatchSerial_ = 1;
    }
    switch (notifier->type()) {
        case QSocketNotifier::Read: w.read = notifier; break;
        case QSocketNotifier::Write: w.write = notifier; break;
        case QSocketNotifier::Exception: w.exception = notifier; break;
    }
    watch(fd, w, added);
}

void EpollEventDispatcher::unregisterSocketNotifier(QSocketNotifier* notifier) {
    const int fd = static_cast<int>(notifier->socket());
    const auto it = watches_.find(fd);
    if (it == watches_.end()) return;
    Watch& w = it->second;
    if (w.read == notifier) w.read = nullptr;
    if (w.write == notifier) w.write = nullptr;
    if (w.exception == notifier) w.exception = nullptr;
    watch(fd, w, false);
}

// Tells epoll what the descriptor's notifiers wait for, or forgets the
// descriptor when none is left. Level-triggered, like poll: a socket with
// unread data is reported again on the next pass.
void EpollEventDispatcher::watch(int fd, Watch& w, bool added) {
    epoll_event ev{};
    ev.events = (w.read ? EPOLLIN : 0u) | (w.write ? EPOLLOUT : 0u) | (w.exception ? EPOLLPRI : 0u);
    ev.data.u64 = keyOf(fd, w.serial);
    if (ev.events == 0) {
        // The descriptor may be closed already, which removed it from epoll.
        epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
        watches_.erase(fd);
        return;
    }
    if (added) {
        if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) < 0 && errno == EEXIST) epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &ev);
    } else if (epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &ev) < 0 && errno == ENOENT) {
        // Closed and opened again under the same number since it was added.
        epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev);
    }
}

void EpollEventDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) {
    if (timerId <= 0 || interval < 0 || !object) return;
    if (const auto old = timers_.find(timerId); old != timers_.end()) forgetTimer(old);
    Timer t;
    t.intervalMs = interval;
    t.type = timerType;
    t.object = object;
    t.deadlineNs = nowNs() + interval * 1'000'000;
    t.serial = nextTimerSerial_++;
    timers_.emplace(timerId, t);
    deadlines_.emplace(t.deadlineNs, timerId);
    timersOf_[object].push_back(timerId);
}

void EpollEventDispatcher::forgetTimer(std::unordered_map<int, Timer>::iterator it) {
    const int id = it->first;
    deadlines_.erase({it->second.deadlineNs, id});
    if (const auto owner = timersOf_.find(it->second.object); owner != timersOf_.end()) {
        std::vector<int>& ids = owner->second;
        ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
        if (ids.empty()) timersOf_.erase(owner);
    }
    timers_.erase(it);
}

bool EpollEventDispatcher::unregisterTimer(int timerId) {
    const auto it = timers_.find(timerId);
    if (it == timers_.end()) return false;
    forgetTimer(it);
    return true;
}

bool EpollEventDispatcher::unregisterTimers(QObject* object) {
    const auto owner = timersOf_.find(object);
    if (owner == timersOf_.end()) return false;
    const std::vector<int> ids = owner->second;
    for (const int id : ids) unregisterTimer(id);
    return true;
}

QList<QAbstractEventDispatcher::TimerInfo> EpollEventDispatcher::registeredTimers(QObject* object) const {
    QList<TimerInfo> list;
    const auto owner = timersOf_.find(object);
    if (owner == timersOf_.end()) return list;
    for (const int id : owner->second) {
        const Timer& t = timers_.at(id);
        list.append(TimerInfo(id, static_cast<int>(std::min<qint64>(t.intervalMs, INT_MAX)), t.type));
    }
    return list;
}

int EpollEventDispatcher::remainingTime(int timerId) {
    const auto it = timers_.find(timerId);
    if (it == timers_.end()) return -1;
    const qint64 left = it->second.deadlineNs - nowNs();
    if (left <= 0) return 0;
    return static_cast<int>(std::min<qint64>((left + 999'999) / 1'000'000, INT_MAX));
}

int EpollEventDispatcher::msUntilNextTimer() const {
    if (deadlines_.empty()) return -1;
    const qint64 left = deadlines_.begin()->first - nowNs();
    if (left <= 0) return 0;
    // Rounded up: waking a little early would only mean a pass for nothing.
    return static_cast<int>(std::min<qint64>((left + 999'999) / 1'000'000, INT_MAX));
}

int EpollEventDispatcher::activateTimers() {
    if (deadlines_.empty()) return 0;
    const qint64 now = nowNs();
    // The timers due now, taken before any fires: one started or restarted by
    // a timer's event waits for the next pass, even at an interval of 0.
    std::vector<std::pair<int, std::uint64_t>> due;
    for (auto it = deadlines_.begin(); it != deadlines_.end() && it->first <= now; ++it)
        due.emplace_back(it->second, timers_.at(it->second).serial);
    int handled = 0;
    for (const auto& [id, serial] : due) {
        auto it = timers_.find(id);
        if (it == timers_.end() || it->second.serial != serial || it->second.firing) continue;
        Timer& t = it->second;
        deadlines_.erase({t.deadlineNs, id});
        // The next deadline keeps the timer's rhythm; one that fell behind
        // (a long pass) starts again from now instead of firing in a burst.
        qint64 next = t.deadlineNs + t.intervalMs * 1'000'000;
        if (next <= now) next = now + t.intervalMs * 1'000'000;
        t.deadlineNs = next;
        deadlines_.emplace(next, id);
        t.firing = true;
        QObject* object = t.object;
        QTimerEvent event(id);
        QCoreApplication::sendEvent(object, &event);
        ++handled;
        // The event may have stopped the timer, or stopped it and started
        // another under the same id.
        it = timers_.find(id);
        if (it != timers_.end() && it->second.serial == serial) it->second.firing = false;
    }
    return handled;
}

void EpollEventDispatcher::wakeUp() {
    // Safe from any thread; the count is drained by the next pass.
    eventfd_write(wake_, 1);
}

void EpollEventDispatcher::interrupt() {
    interrupted_.store(true);
    wakeUp();
}

}  // namespace vantel::net
