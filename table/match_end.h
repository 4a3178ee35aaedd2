// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table's side of the match-end screens: which screen, made for the
// table to open over itself.
#pragma once

#include "game/table_view.h"
#include "records/match_state.h"

class QDialog;
class QWidget;

namespace vantel {

QDialog* newMatchEndScreen(MatchEndScreen screen, const MatchState& state, QWidget* parent);

}  // namespace vantel
