// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "extras.h"

#include "paint_kit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace artgen {

QImage drawPicture1()
{
    QImage img(400, 100, QImage::Format_RGB888);
    img.fill(Qt::black);
    return img;
}

namespace {

// A playing card standing for the game: a big seven with its suit.
void iconCard(QPainter &p, QPointF centre, double angle, Suit suit, bool detailed)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QRectF card(-62, -86, 124, 172);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(card.translated(5, 7), 14, 14);
    p.setPen(QPen(QColor(0x9a, 0x9a, 0xa2), detailed ? 2.5 : 5));
    p.setBrush(QColor(0xff, 0xfe, 0xfa));
    p.drawRoundedRect(card, 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(suitInk(suit));
    if (detailed) {
        p.drawPath(textIn(QStringLiteral("7"), serifFamily(), QRectF(-50, -74, 30, 38)));
        p.drawPath(suitIn(suit, QRectF(-48, -30, 26, 24)));
        p.drawPath(textIn(QStringLiteral("7"), serifFamily(), QRectF(-14, -42, 62, 84)));
        p.drawPath(suitIn(suit, QRectF(14, 44, 30, 28)));
    } else {
        p.drawPath(textIn(QStringLiteral("7"), serifFamily(), QRectF(-44, -66, 88, 108)));
        p.drawPath(suitIn(suit, QRectF(-24, 48, 48, 30)));
    }
    p.restore();
}

}  // namespace

QImage drawIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    prepare(p);
    p.scale(size / 256.0, size / 256.0);
    const bool detailed = size >= 48;

    // Green baize tile.
    const QRectF tile(6, 6, 244, 244);
    QRadialGradient felt(QPointF(110, 90), 220);
    felt.setColorAt(0, QColor(0x3d, 0xb0, 0x6b));
    felt.setColorAt(1, QColor(0x16, 0x65, 0x37));
    p.setPen(QPen(QColor(0x0e, 0x4a, 0x27), size >= 32 ? 4 : 8));
    p.setBrush(felt);
    p.drawRoundedRect(tile, 52, 52);
    if (detailed) {
        p.setPen(QPen(QColor(255, 255, 255, 50), 3, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(tile.adjusted(14, 14, -14, -14), 40, 40);
    }

    if (detailed) {
        iconCard(p, QPointF(104, 132), -14, Suit::Spades, true);
        iconCard(p, QPointF(152, 126), 10, Suit::Hearts, true);
        // A blossom for a touch of spring.
        p.setPen(QPen(QColor(0xc2, 0x4d, 0x6e), 2));
        p.setBrush(QColor(0xf7, 0xa1, 0xbb));
        p.drawPath(blossom(QPointF(206, 206), 30));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xe0, 0x8a));
        p.drawEllipse(QPointF(206, 206), 6, 6);
    } else {
        iconCard(p, QPointF(128, 130), 0, Suit::Hearts, false);
    }
    return img;
}

}  // namespace artgen
