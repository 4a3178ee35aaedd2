// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table's time: how long the game's fixed pauses really last, and how a
// card's flight is paced. Nothing here waits; the follower
// (table/table_follower.h) runs its timers by these figures.
#pragma once

#include <QElapsedTimer>

#include "game/layout.h"

class QScreen;

namespace vantel {

// `milliseconds` scaled by the program's pause scale (0 in tests).
int scaledPause(int milliseconds);

// The time one frame of a screen refreshing `refreshRate` times a second
// stays up, in milliseconds; a rate no real screen has counts as 60 Hz.
double frameMilliseconds(double refreshRate);

// The next place of a card flying from `at` to `to`: 30 pixels along each
// axis that is not reached yet (45 degrees until one coordinate is reached,
// then straight on), never past the end.
Point nextFlightStep(Point at, Point to);

// Paces the steps of a card's flight. Each step stays on screen for at least
// one frame of the screen the table is on, and never less than the pause the
// flight asked for, so that a player sees every step. With the program's
// pauses off a step lasts no time at all.
class FlightPacer {
public:
    FlightPacer(int delayMs, const QScreen* screen);

    // How long a step stays on screen, in milliseconds.
    double stepMilliseconds() const { return stepMs_; }
    // The step just drawn has reached the screen: its time starts now.
    void stepShown();
    // How long, from now, the step shown last must still stay; rounded up,
    // so a step never lasts less than its frame.
    int millisecondsLeft() const;

private:
    double stepMs_;
    QElapsedTimer shown_;
};

}  // namespace vantel
