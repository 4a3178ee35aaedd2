// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs a match-end screen modally and unloads it after the click.
#pragma once

#include <QPointer>
#include <QWidget>

namespace vantel::matchend {

// The screen is a child of `parent`; if the parent goes away while the
// screen runs, it takes the screen with it and this returns all the same.
template <typename Screen, typename State>
void runModally(const State& state, QWidget* parent) {
    QPointer<Screen> screen = new Screen(state, parent);
    screen->exec();
    delete screen.data();
}

}  // namespace vantel::matchend
