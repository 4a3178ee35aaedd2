// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/focus_frame.h"

#include <QKeyEvent>
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
    painter.fillRect(rect, kFocusEdge);
    painter.setClipRegion(ringBand);
    painter.fillRect(rect, kFocusRing);
    painter.restore();
}

bool isActivationKey(const QKeyEvent* event) {
    const int key = event->key();
    return (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
           (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool focusNextStop(const std::vector<QWidget*>& stops, QWidget* from, bool next) {
    if (stops.empty()) return false;
    const auto at = std::find(stops.begin(), stops.end(), from);
    const int count = static_cast<int>(stops.size());
    const int to = at == stops.end() ? 0 : (static_cast<int>(at - stops.begin()) + (next ? 1 : count - 1)) % count;
    stops[static_cast<size_t>(to)]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void FocusButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        drawFocusFrame(painter, rect(), 3);
    }
}

}  // namespace vantel
