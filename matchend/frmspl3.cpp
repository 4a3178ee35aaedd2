// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// frmspl3: the announcement after every match.
#include "matchend/match_end_screens.h"
#include "matchend/show_modal.h"

namespace vantel::matchend {
namespace {

constexpr int kPortrait = 4;  // the picture for a high score or ranking entry
constexpr int kWinnerLine = 6;

// A computer who did not win is shown.
int chooseSeat(const MatchState& state) {
    if (finalPlaceOf(state, 2) != 1) return 2;
    if (finalPlaceOf(state, 3) != 1) return 3;
    return 4;
}

}  // namespace

Frmspl3::Frmspl3(const MatchState& state, QWidget* parent) : MatchEndWindow("frmspl3", "Label2", parent) {
    setCaption(QStringLiteral("やったね！　おめでとうございます！"));
    const int seat = chooseSeat(state);
    showPortrait(state, seat, kPortrait);
    drawBand();

    const QString winner = seatNameOf(state, state.rankInSeat);
    const int rank = state.rankInPosition;
    if (rank == 0) {
        appendCaption(QStringLiteral("\r\n") + winner + breakAfterFullStop(seatLine(state, seat, kWinnerLine)));
    } else if (rank == 1) {
        appendCaption(QStringLiteral("\r\n") + winner + QStringLiteral("さんが\r\nハイスコアです！"));
    } else if (rank >= 2 && rank <= kRankRows) {
        appendCaption(QStringLiteral("\r\n") + winner + QStringLiteral("さんが\r\n") + QString::number(rank) +
                      QStringLiteral("位にランクインしました！"));
    }
}

void showFrmspl3(const MatchState& state, QWidget* parent) { runModally<Frmspl3>(state, parent); }

}  // namespace vantel::matchend
