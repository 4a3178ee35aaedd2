// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/form3.h"

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "table/fonts.h"
#include "table/message_box.h"
#include "table/qt_text.h"
#include "table/table_cell.h"

namespace vantel {

namespace {
QLabel* cell(QWidget* parent, const QString& name, int row, Qt::Alignment align) {
    QLabel* label = tableCell(parent, row == 0 ? Qt::AlignHCenter : align, row == 0, QColor(220, 226, 240));
    label->setObjectName(QStringLiteral("%1_%2").arg(name).arg(row));
    return label;
}
}  // namespace

Form3::Form3(const MatchState& state, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("ベスト１０ランキング"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (int row = 0; row <= kRankRows; ++row) {
        lblname_[row] = cell(this, QStringLiteral("lblname"), row, Qt::AlignLeft);
        lblten_[row] = cell(this, QStringLiteral("lblten"), row, Qt::AlignRight);
        lbldate_[row] = cell(this, QStringLiteral("lbldate"), row, Qt::AlignHCenter);
        lbltime_[row] = cell(this, QStringLiteral("lbltime"), row, Qt::AlignHCenter);
        grid->addWidget(lblname_[row], row, 0);
        grid->addWidget(lblten_[row], row, 1);
        grid->addWidget(lbldate_[row], row, 2);
        grid->addWidget(lbltime_[row], row, 3);
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
    layout->addLayout(grid);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void showRanking(const MatchState& state, QWidget* parent) {
    QPointer<Form3> window = new Form3(state, parent);
    runModal(*window);
    delete window.data();
}

}  // namespace vantel
