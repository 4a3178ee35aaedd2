// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/focus_frame.h"

#include <QPainter>
#include <algorithm>

namespace vantel {

void drawFocusFrame(QPainter& painter, const QRect& rect, int ring) {
    const int edge = std::max(1, ring / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    // Filled bands rather than wide pens: exact pixels at any width.
    const QRegion outer(rect);
    const QRegion edgeBand = outer - QRegion(rect.adjusted(edge, edge, -edge, -edge));
    const QRegion ringBand = QRegion(rect.adjusted(edge, edge, -edge, -edge)) -
                          QRegion(rect.adjusted(edge + ring, edge + ring, -edge - ring, -edge - ring));
    painter.setClipRegion(edgeBand);
    painter.fillRect(rect, QColor(20, 20, 20));
    painter.setClipRegion(ringBand);
    painter.fillRect(rect, QColor(255, 190, 0));
    painter.restore();
}

void FocusButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        drawFocusFrame(painter, rect(), 3);
    }
}

}  // namespace vantel
