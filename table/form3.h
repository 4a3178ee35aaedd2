// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The best-ten ranking window (ベスト１０ランキング).
#pragma once

#include <QDialog>
#include <array>

#include "records/match_state.h"

class QLabel;

namespace vantel {

class Form3 : public QDialog {
    Q_OBJECT
public:
    // Fills the ten rows from the ranking in `state`.
    Form3(const MatchState& state, QWidget* parent);

    // Index 0 is the header, 1..10 the rows.
    QLabel* lblname(int i) const { return lblname_[i]; }
    QLabel* lblten(int i) const { return lblten_[i]; }
    QLabel* lbldate(int i) const { return lbldate_[i]; }
    QLabel* lbltime(int i) const { return lbltime_[i]; }

private:
    std::array<QLabel*, 11> lblname_{}, lblten_{}, lbldate_{}, lbltime_{};
};

// Shows the ranking modally and returns when "ＯＫ" closes it.
void showRanking(const MatchState& state, QWidget* parent);

}  // namespace vantel
