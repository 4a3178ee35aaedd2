// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// frmspl2: a computer won the match and comments on the user's place.
#include "matchend/match_end_screens.h"
#include "matchend/show_modal.h"

namespace vantel::matchend {
namespace {

constexpr int kPortrait = 3;  // the picture for a computer winning

// Seats 2, 3 and 4 are tried in turn and each winner takes the screen, so
// of tied winners the last one is shown. 0 when no computer placed first.
int chooseSeat(const MatchState& state) {
    int seat = 0;
    for (int candidate = 2; candidate <= kSeats; ++candidate)
        if (finalPlaceOf(state, candidate) == 1) seat = candidate;
    return seat;
}

// What the winner says to the user's place 2, 3 or 4; empty for any other.
QString placeText(int place) {
    switch (place) {
    case 2: return QStringLiteral("２番でした・・・");
    case 3: return QStringLiteral("３番でした・・・");
    case 4: return QStringLiteral("４番でした・・・");
    default: return {};
    }
}

}  // namespace

Frmspl2::Frmspl2(const MatchState& state, QWidget* parent) : MatchEndWindow("frmspl2", "Label2", parent) {
    setCaption(QStringLiteral("うーん、残念。"));
    const int seat = chooseSeat(state);
    showPortrait(state, seat, kPortrait);
    drawBand();

    const int place = finalPlaceOf(state, 1);
    const QString said = placeText(place);
    if (!said.isEmpty())
        appendCaption(said + QStringLiteral("\r\n\r\n") + breakAfterFullStop(seatLine(state, seat, place + 5)));
}

void showFrmspl2(const MatchState& state, QWidget* parent) { runModally<Frmspl2>(state, parent); }

}  // namespace vantel::matchend
