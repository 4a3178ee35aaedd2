// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table's two kinds of waiting.
//
// A blocking pause holds the game: clicks, keys and menu commands stay
// queued until it is over, but the windows keep painting, so a window
// uncovered meanwhile repaints at once. A flight's pacing lets every event
// run between two steps of a card's flight, which lasts a screen frame.
#pragma once

#include <QElapsedTimer>

class QScreen;

namespace vantel {

class BlockingPause {
public:
    // Waits `milliseconds` (scaled by the program's pause scale). Returns
    // early when `cancel` is called meanwhile (the window went away).
    static void wait(int milliseconds);
    // Ends the wait in progress, if any.
    static void cancel();
    // True while a wait is running (the one-second timer holds its tick).
    static bool active();
};

// Lets window-system events other than user input run until `ready`
// returns true or `timeoutMs` passes.
void letWindowSystemRun(int timeoutMs, bool (*ready)(void*), void* context);

// The time one frame of a screen refreshing `refreshRate` times a second
// stays up, in milliseconds; a rate no real screen has counts as 60 Hz.
double frameMilliseconds(double refreshRate);

// Paces the steps of a card's flight. Each step stays on screen for at least
// one frame of the screen the table is on, and never less than the pause the
// flight asked for, so that a player sees every step. While a step is held
// the thread waits in the event loop: every pending event runs, nothing
// spins. With the program's pauses off a step lasts no time at all.
class FlightPacer {
public:
    FlightPacer(int delayMs, const QScreen* screen);

    // How long a step stays on screen, in milliseconds.
    double stepMilliseconds() const { return stepMs_; }
    // The step just drawn has reached the screen: its time starts now.
    void stepShown();
    // Lets events run until the step shown last has lasted its time (and at
    // least once, however long drawing took).
    void holdStep();

private:
    double stepMs_;
    QElapsedTimer shown_;
};

}  // namespace vantel
