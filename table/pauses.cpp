// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/pauses.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

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

void stepSleep(int milliseconds) {
    const int ms = scaled(milliseconds);
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace vantel
