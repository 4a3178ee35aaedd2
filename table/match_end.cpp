// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/match_end.h"

#include "matchend/match_end_screens.h"

namespace vantel {

QDialog* newMatchEndScreen(MatchEndScreen screen, const MatchState& state, QWidget* parent) {
    switch (screen) {
        case MatchEndScreen::Announcement: return new matchend::Frmspl3(state, parent);
        case MatchEndScreen::UserWon: return new matchend::FrmSpl4(state, parent);
        case MatchEndScreen::UserLost: return new matchend::Frmspl2(state, parent);
    }
    return nullptr;
}

}  // namespace vantel
