// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The result table after every round (対戦結果): each seat's points round by
// round, the totals and the places. The window keeps what it shows between
// rounds; the end of a match empties it.
#pragma once

#include <QDialog>
#include <array>

#include "records/match_state.h"

class QLabel;

namespace vantel {

class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent);

    // Fills the header and the current round's row from the match state
    // (done each time the window is shown).
    void activate(const MatchState& state);
    // Empties every row (the end of a match).
    void clearRows();

    QLabel* lblname(int index) const { return lblname_[index]; }
    // lblten1..lblten4: seat 1..4, item 0..9 rounds, 10 total, 11 place.
    QLabel* lblten(int seat, int item) const { return lblten_[seat - 1][item]; }

private:
    std::array<QLabel*, 4> lblname_{};
    std::array<std::array<QLabel*, 12>, 4> lblten_{};
};

}  // namespace vantel
