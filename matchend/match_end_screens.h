// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The screens shown when a match is over, each modal and closed by a click:
//
//   frmspl3  the announcement: a computer who did not win congratulates the
//            winner, or names the user's high score or ranking place
//   frmSpl4  the user won: a computer concedes
//   frmspl2  a computer won: the winner comments on the user's place
//
// The show functions run a screen modally and return once it is closed. The
// screen classes are there for tests and previews: constructing one loads it
// completely (portrait, band and text) without showing it.
#pragma once

#include "matchend/match_end_window.h"
#include "records/match_state.h"

class QWidget;

namespace vantel::matchend {

// The announcement. Shows picture 4 of seat 2, or of seat 3 when seat 2 won,
// or of seat 4 when seats 2 and 3 both won.
class Frmspl3 final : public MatchEndWindow {
    Q_OBJECT
public:
    explicit Frmspl3(const MatchState& state, QWidget* parent = nullptr);
};

// The user won. Shows picture 2 of seat 4, or of seat 3 when seat 4 won,
// or of seat 2 when seats 4 and 3 both won.
class FrmSpl4 final : public MatchEndWindow {
    Q_OBJECT
public:
    explicit FrmSpl4(const MatchState& state, QWidget* parent = nullptr);
};

// A computer won. Shows picture 3 of the last of seats 2, 3 and 4 that
// placed first.
class Frmspl2 final : public MatchEndWindow {
    Q_OBJECT
public:
    explicit Frmspl2(const MatchState& state, QWidget* parent = nullptr);
};

void showFrmspl3(const MatchState& state, QWidget* parent = nullptr);
void showFrmSpl4(const MatchState& state, QWidget* parent = nullptr);
void showFrmspl2(const MatchState& state, QWidget* parent = nullptr);

}  // namespace vantel::matchend
