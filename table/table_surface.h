// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table's client area: paints the green grid from its persistent back
// buffer, so the table stays whole under the speech window and dialogs.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include "game/layout.h"

namespace vantel {

class TableSurface : public QWidget {
    Q_OBJECT
public:
    explicit TableSurface(QWidget* parent);
    // Erases the buffer and draws the grid of `g` on it.
    void drawGrid(const TableGeometry& g);
    const QImage& backBuffer() const { return buffer_; }
    // Where the grid of the table stands on the surface.
    QRect gridRect() const { return grid_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage buffer_;
    QRect grid_;
};

}  // namespace vantel
