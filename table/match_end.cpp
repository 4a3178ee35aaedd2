// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/match_end.h"

#include <QPointer>

#include "matchend/match_end_screens.h"
#include "table/message_box.h"

namespace vantel {

namespace {
template <typename Screen>
void run(const MatchState& state, QWidget* parent) {
    // Held under a guard: the table may go away while the screen waits.
    QPointer<Screen> screen = new Screen(state, parent);
    runModal(*screen);
    delete screen.data();
}
}  // namespace

void showMatchEnd(MatchEndScreen screen, const MatchState& state, QWidget* parent) {
    switch (screen) {
        case MatchEndScreen::Announcement: run<matchend::Frmspl3>(state, parent); break;
        case MatchEndScreen::UserWon: run<matchend::FrmSpl4>(state, parent); break;
        case MatchEndScreen::UserLost: run<matchend::Frmspl2>(state, parent); break;
    }
}

}  // namespace vantel
