// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/table_surface.h"

#include <QPaintEvent>
#include <QPainter>

namespace vantel {

namespace {
constexpr QColor kBackground{246, 241, 226};
constexpr QColor kFelt{0, 128, 0};
}  // namespace

TableSurface::TableSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tableSurface"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TableSurface::drawGrid(const TableGeometry& g) {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (buffer_.size() != size) buffer_ = QImage(size, QImage::Format_RGB32);
    buffer_.fill(kBackground);
    QPainter p(&buffer_);
    const int left = g.tableLeft, right = g.tableRight, top = g.tableTop, bottom = g.tableBottom;
    grid_ = QRect(QPoint(left, top), QPoint(right, bottom));
    p.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), kFelt);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(0, 0, -1, -1));
    for (int k = 1; k <= 12; ++k) {
        const int x = left + k * g.cardWidth;
        p.drawLine(x, top, x, bottom);
    }
    for (int k = 1; k <= 3; ++k) {
        const int y = top + k * g.cardHeight;
        p.drawLine(left, y, right, y);
    }
    p.end();
    update();
}

void TableSurface::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (buffer_.isNull()) {
        p.fillRect(event->rect(), kBackground);
        return;
    }
    p.drawImage(event->rect(), buffer_, event->rect());
    if (buffer_.width() < width() || buffer_.height() < height()) {
        const QRegion rest = QRegion(rect()) - QRegion(buffer_.rect());
        for (const QRect& r : rest) p.fillRect(r, kBackground);
    }
}

}  // namespace vantel
