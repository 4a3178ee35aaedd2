// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/pauses.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "table/program.h"

namespace vantel {

namespace {
QPointer<QEventLoop>& runningLoop() {
    static QPointer<QEventLoop> loop;
    return loop;
}
int scaled(int milliseconds) {
    const double ms = milliseconds * program().pauseScale;
    return ms <= 0 ? 0 : static_cast<int>(ms + 0.5);
}
}  // namespace

void BlockingPause::wait(int milliseconds) {
    const int ms = scaled(milliseconds);
    if (ms <= 0) return;
    // A nested loop that leaves user input queued: paint, expose and timers
    // still run, clicks and keys wait for the next point where events run.
    QEventLoop loop;
    QPointer<QEventLoop> outer = runningLoop();
    runningLoop() = &loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    runningLoop() = outer;
}

void BlockingPause::cancel() {
    if (runningLoop()) runningLoop()->quit();
}

bool BlockingPause::active() { return !runningLoop().isNull(); }

void letWindowSystemRun(int timeoutMs, bool (*ready)(void*), void* context) {
    QElapsedTimer clock;
    clock.start();
    while (!ready(context) && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
        if (!ready(context)) QThread::msleep(1);
    }
}

double frameMilliseconds(double refreshRate) {
    // Screens without a real refresh (virtual ones, some remote sessions)
    // report 0, 1 or nonsense.
    constexpr double kFallbackHz = 60.0;
    const bool sensible = std::isfinite(refreshRate) && refreshRate >= 20.0 && refreshRate <= 1000.0;
    return 1000.0 / (sensible ? refreshRate : kFallbackHz);
}

FlightPacer::FlightPacer(int delayMs, const QScreen* screen) {
    const double frame = frameMilliseconds(screen ? screen->refreshRate() : 0.0);
    stepMs_ = std::max(double(delayMs), frame) * std::max(program().pauseScale, 0.0);
    shown_.start();
}

void FlightPacer::stepShown() { shown_.restart(); }

void FlightPacer::holdStep() {
    const double left = stepMs_ - shown_.nsecsElapsed() / 1e6;
    if (left <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // Rounded up, so a step never lasts less than its frame.
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::ceil(left)));
    loop.exec();
}

}  // namespace vantel
