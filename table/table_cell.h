// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One cell of the result and ranking tables: a sunken panel label, bold
// and tinted for headers, white for values.
#pragma once

#include <QColor>
#include <QLabel>

#include "table/fonts.h"

namespace vantel {

inline QLabel* tableCell(QWidget* parent, Qt::Alignment align, bool header, const QColor& headerTint) {
    auto* label = new QLabel(parent);
    // Names come from the players: shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(gothicFont(header ? 11 : 10.5, header));
    label->setAlignment(align | Qt::AlignVCenter);
    label->setMinimumHeight(22);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, header ? headerTint : QColor(255, 255, 255));
    label->setPalette(pal);
    return label;
}

}  // namespace vantel
