// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table's side of the match-end screens: which screen, shown modally
// over the table.
#pragma once

#include "game/table_view.h"
#include "records/match_state.h"

class QWidget;

namespace vantel {

void showMatchEnd(MatchEndScreen screen, const MatchState& state, QWidget* parent);

}  // namespace vantel
