// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/seat_source.h"

namespace vantel {

LocalTableSource::LocalTableSource(MatchPlay& match, GameObserver* observer, const MoveSearch::Settings& search,
                                   Random* random)
    : table_(TableSetup::local(), &match, observer, random) {
    table_.configureSearch(search);
}

std::optional<SeatKnowledge> LocalTableSource::knowledge() const {
    if (!awaitsMove()) return std::nullopt;
    return table_.knowledgeFor(seat());
}

SeatSource::Streak LocalTableSource::streak() const {
    const RoundState& s = table_.round();
    return {s.roundOver == 1, s.streakSeat, s.streakCount};
}

}  // namespace vantel
