// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drawing helpers shared by the card, portrait and icon painters.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace artgen {

enum class Suit { Diamonds = 1, Clubs = 2, Hearts = 3, Spades = 4 };

// A suit symbol filling the box (-1,-1)..(1,1), point or stem downwards.
QPainterPath suitShape(Suit suit);

// The same symbol fitted (aspect kept) and centred in `box`.
QPainterPath suitIn(Suit suit, const QRectF &box);

bool isRed(Suit suit);
QColor suitInk(Suit suit);

// Registers the bundled system fonts once; safe to call repeatedly.
void loadFonts();
QString sansFamily();   // heavy gothic face for labels and the joker
QString serifFamily();  // bold mincho face for the card indices

// Outline of `text` scaled to the height of `box` (cap height of the glyphs
// as drawn), narrowed when wider than the box, and centred in it.
QPainterPath textIn(const QString &text, const QString &family, const QRectF &box,
                    int weight = 700);

// A fresh transparent or filled ARGB canvas.
QImage canvas(int width, int height, QColor fill = Qt::transparent);

// Antialiased painter defaults used everywhere.
void prepare(QPainter &painter);

QColor mix(QColor a, QColor b, double t);

// Deterministic pseudo-random numbers for scattered decoration.
class Dice {
public:
    explicit Dice(unsigned seed) : state_(seed * 2654435761u + 12345u) {}
    double next();  // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    unsigned state_;
};

// Five-petalled cherry blossom centred at `centre` with outer radius `radius`.
QPainterPath blossom(QPointF centre, double radius);

// Five-pointed star.
QPainterPath star(QPointF centre, double outer, double inner, double rotationDeg = -90);

}  // namespace artgen
