// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/label_grid.h"

#include <QGridLayout>
#include <QLabel>

#include "table/accessibility.h"

namespace vantel {

LabelGrid::LabelGrid(int rows, int columns, bool rowHeaders, QWidget* parent)
    : QWidget(parent), rows_(rows), columns_(columns), rowHeaders_(rowHeaders),
      layout_(new QGridLayout(this)), cells_(static_cast<size_t>(rows * columns), nullptr) {
    installAccessibility();
    layout_->setSpacing(2);
    layout_->setContentsMargins(0, 0, 0, 0);
}

void LabelGrid::setCell(int row, int column, QLabel* label) {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return;
    label->setParent(this);
    layout_->addWidget(label, row, column);
    cells_[static_cast<size_t>(row * columns_ + column)] = label;
}

QLabel* LabelGrid::cell(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return nullptr;
    return cells_[static_cast<size_t>(row * columns_ + column)];
}

bool LabelGrid::find(const QLabel* label, int* row, int* column) const {
    for (size_t i = 0; i < cells_.size(); ++i) {
        if (cells_[i] == label) {
            *row = static_cast<int>(i) / columns_;
            *column = static_cast<int>(i) % columns_;
            return true;
        }
    }
    return false;
}

}  // namespace vantel
