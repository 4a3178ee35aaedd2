// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// frmSpl4: the user won the match and a computer concedes.
#include "matchend/match_end_screens.h"
#include "matchend/show_modal.h"

namespace vantel::matchend {
namespace {

constexpr int kPortrait = 2;  // the picture for the user winning

// A computer who did not share the first place is shown.
int chooseSeat(const MatchState& state) {
    if (finalPlaceOf(state, 4) != 1) return 4;
    if (finalPlaceOf(state, 3) != 1) return 3;
    return 2;
}

}  // namespace

FrmSpl4::FrmSpl4(const MatchState& state, QWidget* parent) : MatchEndWindow("frmSpl4", "Label1", parent) {
    const int seat = chooseSeat(state);
    // The text comes before the portrait, so it shows whatever the picture does.
    setCaption(seatIsFemale(state, seat) ? QStringLiteral("今回は私たちの負けね・・・")
                                     : QStringLiteral("今回は俺達の負けだな・・・"));
    showPortrait(state, seat, kPortrait);
    drawBand();
}

void showFrmSpl4(const MatchState& state, QWidget* parent) { runModally<FrmSpl4>(state, parent); }

}  // namespace vantel::matchend
