// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A grid of label cells (the result table, the ranking) that assistive
// technology reads as a table, with rows and columns: the first row holds
// the column headers and, where the grid has them, the first column the
// row headers.
#pragma once

#include <QWidget>
#include <vector>

class QGridLayout;
class QLabel;

namespace vantel {

class LabelGrid : public QWidget {
    Q_OBJECT
public:
    LabelGrid(int rows, int columns, bool rowHeaders, QWidget* parent);

    // Puts `label` at (row, column); the grid becomes its parent.
    void setCell(int row, int column, QLabel* label);
    QLabel* cell(int row, int column) const;
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    bool hasRowHeaders() const { return rowHeaders_; }
    // Where `label` stands in the grid; false when it is not one of its cells.
    bool find(const QLabel* label, int* row, int* column) const;

private:
    int rows_;
    int columns_;
    bool rowHeaders_;
    QGridLayout* layout_;
    std::vector<QLabel*> cells_;
};

}  // namespace vantel
