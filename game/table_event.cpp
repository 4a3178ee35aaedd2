// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/table_event.h"

namespace vantel {

std::string_view eventName(EventKind kind) {
    switch (kind) {
        case EventKind::MatchStart: return "match_start";
        case EventKind::RoundStart: return "round_start";
        case EventKind::Hand: return "hand";
        case EventKind::Deal: return "deal";
        case EventKind::Seven: return "seven";
        case EventKind::SevensLaid: return "sevens_laid";
        case EventKind::TurnPause: return "turn_pause";
        case EventKind::TurnStart: return "turn_start";
        case EventKind::TurnOpen: return "turn_open";
        case EventKind::Card: return "card";
        case EventKind::Joker: return "joker";
        case EventKind::Forced: return "forced";
        case EventKind::JokerCleared: return "joker_cleared";
        case EventKind::JokerGone: return "joker_gone";
        case EventKind::Pass: return "pass";
        case EventKind::Drop: return "drop";
        case EventKind::Line: return "line";
        case EventKind::Out: return "out";
        case EventKind::SkipScored: return "skip_scored";
        case EventKind::Skipped: return "skipped";
        case EventKind::RoundEnd: return "round_end";
        case EventKind::Totals: return "totals";
        case EventKind::Streak: return "streak";
        case EventKind::Results: return "results";
        case EventKind::MatchEnd: return "match_end";
        case EventKind::MatchClosed: return "match_closed";
    }
    return "unknown";
}

}  // namespace vantel
