// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table's two kinds of waiting.
//
// A blocking pause holds the game: clicks, keys and menu commands stay
// queued until it is over, but the windows keep painting, so a window
// uncovered meanwhile repaints at once. A step pause (between two steps of
// a card's flight) is a plain short sleep.
#pragma once

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

void stepSleep(int milliseconds);

}  // namespace vantel
