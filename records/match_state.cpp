// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/match_state.h"

namespace vantel {

MatchState& sharedState() {
    static MatchState state;
    return state;
}

}  // namespace vantel
