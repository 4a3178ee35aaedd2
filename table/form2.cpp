// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/form2.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "table/fonts.h"
#include "table/label_grid.h"
#include "table/qt_text.h"
#include "table/table_cell.h"

namespace vantel {

namespace {
const char* const kRowNames[12] = {"１回戦", "２回戦", "３回戦", "４回戦", "５回戦", "６回戦",
                                   "７回戦", "８回戦", "９回戦", "１０回戦", "合計", "順位"};

// A cell of the result grid at (row, column), in place before it has text.
QLabel* cell(LabelGrid* grid, int row, int column, const QString& text, Qt::Alignment align,
             bool header = false) {
    QLabel* label = tableCell(grid, align, header, QColor(220, 232, 220));
    grid->setCell(row, column, label);
    label->setText(text);
    return label;
}
}  // namespace

Form2::Form2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("対戦結果"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    // The seats' names head the columns, the rounds, total and place the rows.
    auto* grid = new LabelGrid(13, 5, true, this);
    grid->setObjectName(QStringLiteral("resultTable"));
    grid->setAccessibleName(QStringLiteral("対戦結果"));
    cell(grid, 0, 0, QString(), Qt::AlignCenter, true);
    for (int i = 0; i < 4; ++i) {
        lblname_[i] = cell(grid, 0, i + 1, QString(), Qt::AlignCenter, true);
        lblname_[i]->setObjectName(QStringLiteral("lblname_%1").arg(i));
        lblname_[i]->setMinimumWidth(96);
    }
    for (int row = 0; row < 12; ++row) {
        auto* name = cell(grid, row + 1, 0, QString::fromUtf8(kRowNames[row]), Qt::AlignCenter, true);
        name->setMinimumWidth(84);
        for (int seat = 0; seat < 4; ++seat) {
            auto* label = cell(grid, row + 1, seat + 1, QString(), Qt::AlignRight);
            label->setObjectName(QStringLiteral("lblten%1_%2").arg(seat + 1).arg(row));
            if (row >= 10) label->setFont(gothicFont(10.5, true));
            lblten_[seat][row] = label;
        }
    }
    auto* ok = new QPushButton(QStringLiteral("ＯＫ"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    ok->setMinimumWidth(96);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Form2::activate(const MatchState& state) {
    for (int seat = 1; seat <= kSeats; ++seat) lblname_[seat - 1]->setText(qs(state.seatName[seat]));
    if (state.roundNumber < 1) return;
    const int row = std::min(state.roundNumber, 10) - 1;
    for (int seat = 1; seat <= kSeats; ++seat) {
        lblten_[seat - 1][row]->setText(QString::number(state.roundPoints[seat]));
        lblten_[seat - 1][10]->setText(QString::number(state.matchTotal[seat]));
        lblten_[seat - 1][11]->setText(QString::number(state.finalPlace[seat]));
    }
}

void Form2::clearRows() {
    for (auto& column : lblten_) {
        for (QLabel* label : column) label->clear();
    }
}

}  // namespace vantel
