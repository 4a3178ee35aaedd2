// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/form3.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "table/fonts.h"
#include "table/label_grid.h"
#include "table/message_box.h"
#include "table/qt_text.h"
#include "table/table_cell.h"

namespace vantel {

namespace {
// A cell of the ranking at (row, column), in place before it has text.
QLabel* cell(LabelGrid* grid, const QString& name, int row, int column, Qt::Alignment align) {
    QLabel* label = tableCell(grid, row == 0 ? Qt::AlignHCenter : align, row == 0, QColor(220, 226, 240));
    label->setObjectName(QStringLiteral("%1_%2").arg(name).arg(row));
    grid->setCell(row, column, label);
    return label;
}
}  // namespace

Form3::Form3(const MatchState& state, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("ベスト１０ランキング"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    // Headed by 名前, 得点, 日付 and 時間, one row a place.
    auto* grid = new LabelGrid(kRankRows + 1, 4, false, this);
    grid->setObjectName(QStringLiteral("rankingTable"));
    grid->setAccessibleName(QStringLiteral("ベスト１０ランキング"));
    for (int row = 0; row <= kRankRows; ++row) {
        lblname_[row] = cell(grid, QStringLiteral("lblname"), row, 0, Qt::AlignLeft);
        lblten_[row] = cell(grid, QStringLiteral("lblten"), row, 1, Qt::AlignRight);
        lbldate_[row] = cell(grid, QStringLiteral("lbldate"), row, 2, Qt::AlignHCenter);
        lbltime_[row] = cell(grid, QStringLiteral("lbltime"), row, 3, Qt::AlignHCenter);
    }
    lblname_[0]->setText(QStringLiteral("名前"));
    lblten_[0]->setText(QStringLiteral("得点"));
    lbldate_[0]->setText(QStringLiteral("日付"));
    lbltime_[0]->setText(QStringLiteral("時間"));
    lblname_[0]->setMinimumWidth(110);
    lblten_[0]->setMinimumWidth(80);
    lbldate_[0]->setMinimumWidth(100);
    lbltime_[0]->setMinimumWidth(86);
    for (int row = 1; row <= kRankRows; ++row) {
        lblname_[row]->setText(qs(state.rankName[row]));
        lblten_[row]->setText(QString::number(state.rankPoints[row]));
        lbldate_[row]->setText(qs(state.rankDate[row]));
        lbltime_[row]->setText(qs(state.rankTime[row]));
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

void showRanking(const MatchState& state, QWidget* parent) {
    QPointer<Form3> window = new Form3(state, parent);
    runModal(*window);
    delete window.data();
}

}  // namespace vantel
