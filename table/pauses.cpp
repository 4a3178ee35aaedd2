// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/pauses.h"

#include <QScreen>
#include <algorithm>
#include <cmath>

#include "table/program.h"

namespace vantel {

namespace {
constexpr int kStep = 30;  // pixels per axis per step of a card's flight
}  // namespace

int scaledPause(int milliseconds) {
    const double ms = milliseconds * program().pauseScale;
    return ms <= 0 ? 0 : static_cast<int>(ms + 0.5);
}

double frameMilliseconds(double refreshRate) {
    // Screens without a real refresh (virtual ones, some remote sessions)
    // report 0, 1 or nonsense.
    constexpr double kFallbackHz = 60.0;
    const bool sensible = std::isfinite(refreshRate) && refreshRate >= 20.0 && refreshRate <= 1000.0;
    return 1000.0 / (sensible ? refreshRate : kFallbackHz);
}

Point nextFlightStep(Point at, Point to) {
    if (to.x < at.x) at.x = std::max(at.x - kStep, to.x);
    if (to.x > at.x) at.x = std::min(at.x + kStep, to.x);
    if (to.y < at.y) at.y = std::max(at.y - kStep, to.y);
    if (to.y > at.y) at.y = std::min(at.y + kStep, to.y);
    return at;
}

FlightPacer::FlightPacer(int delayMs, const QScreen* screen) {
    const double frame = frameMilliseconds(screen ? screen->refreshRate() : 0.0);
    stepMs_ = std::max(double(delayMs), frame) * std::max(program().pauseScale, 0.0);
    shown_.start();
}

void FlightPacer::stepShown() { shown_.restart(); }

int FlightPacer::millisecondsLeft() const {
    const double left = stepMs_ - shown_.nsecsElapsed() / 1e6;
    return left <= 0 ? 0 : static_cast<int>(std::ceil(left));
}

}  // namespace vantel
