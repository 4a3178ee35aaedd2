// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "paint_kit.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QStringList>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace artgen {

namespace {

QPainterPath heart()
{
    QPainterPath p;
    p.moveTo(0, 1.0);
    p.cubicTo(-0.32, 0.66, -1.0, 0.28, -1.0, -0.32);
    p.cubicTo(-1.0, -0.74, -0.78, -0.96, -0.5, -0.96);
    p.cubicTo(-0.24, -0.96, -0.06, -0.78, 0, -0.56);
    p.cubicTo(0.06, -0.78, 0.24, -0.96, 0.5, -0.96);
    p.cubicTo(0.78, -0.96, 1.0, -0.74, 1.0, -0.32);
    p.cubicTo(1.0, 0.28, 0.32, 0.66, 0, 1.0);
    p.closeSubpath();
    return p;
}

QPainterPath diamond()
{
    QPainterPath p;
    p.moveTo(0, -1.0);
    p.quadTo(0.3, -0.42, 0.78, 0);
    p.quadTo(0.3, 0.42, 0, 1.0);
    p.quadTo(-0.3, 0.42, -0.78, 0);
    p.quadTo(-0.3, -0.42, 0, -1.0);
    p.closeSubpath();
    return p;
}

QPainterPath stem(double top)
{
    QPainterPath p;
    p.moveTo(-0.06, top);
    p.lineTo(0.06, top);
    p.quadTo(0.1, 0.78, 0.46, 1.0);
    p.lineTo(-0.46, 1.0);
    p.quadTo(-0.1, 0.78, -0.06, top);
    p.closeSubpath();
    return p;
}

QPainterPath spade()
{
    // An upside-down heart on a flared stem.
    QTransform flip;
    flip.translate(0, -0.22);
    flip.scale(0.98, -0.78);
    QPainterPath body = flip.map(heart());
    return body.united(stem(0.25)).simplified();
}

QPainterPath club()
{
    QPainterPath p;
    const double r = 0.44;
    p.addEllipse(QPointF(0, -0.52), r, r);
    QPainterPath left;
    left.addEllipse(QPointF(-0.52, 0.16), r, r);
    QPainterPath right;
    right.addEllipse(QPointF(0.52, 0.16), r, r);
    QPainterPath core;
    core.addEllipse(QPointF(0, 0.02), 0.26, 0.3);
    return p.united(left).united(right).united(core).united(stem(0.1)).simplified();
}

}  // namespace

QPainterPath suitShape(Suit suit)
{
    switch (suit) {
    case Suit::Diamonds: return diamond();
    case Suit::Clubs: return club();
    case Suit::Hearts: return heart();
    case Suit::Spades: return spade();
    }
    return heart();
}

QPainterPath suitIn(Suit suit, const QRectF &box)
{
    const QPainterPath shape = suitShape(suit);
    const QRectF b = shape.boundingRect();
    const double s = std::min(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(s, s);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(shape);
}

bool isRed(Suit suit) { return suit == Suit::Diamonds || suit == Suit::Hearts; }

QColor suitInk(Suit suit) { return isRed(suit) ? QColor(0xd0, 0x1c, 0x2c) : QColor(0x1b, 0x1d, 0x24); }

namespace {
QString g_sans;
QString g_serif;
bool g_loaded = false;

QString loadFamily(const QString &file, const QString &preferred, const QString &fallback)
{
    const int id = QFontDatabase::addApplicationFont(file);
    if (id >= 0) {
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (families.contains(preferred))
            return preferred;
        if (!families.isEmpty())
            return families.first();
    }
    return fallback;
}
}  // namespace

void loadFonts()
{
    if (g_loaded)
        return;
    g_loaded = true;
    // Loaded by file so that the glyph outlines do not depend on the local
    // font configuration; the packaged Noto CJK fonts carry Latin and kana.
    g_sans = loadFamily(QStringLiteral("/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"),
                        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Sans Serif"));
    g_serif = loadFamily(QStringLiteral("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"),
                         QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Serif"));
}

QString sansFamily()
{
    loadFonts();
    return g_sans;
}

QString serifFamily()
{
    loadFonts();
    return g_serif;
}

QPainterPath textIn(const QString &text, const QString &family, const QRectF &box, int weight)
{
    QFont font(family);
    font.setPixelSize(200);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    QPainterPath raw;
    raw.addText(0, 0, font, text);
    const QRectF b = raw.boundingRect();
    if (b.isEmpty())
        return raw;
    const double sy = box.height() / b.height();
    const double sx = std::min(sy, box.width() / b.width());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(sx, sy);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(raw);
}

QImage canvas(int width, int height, QColor fill)
{
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void prepare(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QColor mix(QColor a, QColor b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

double Dice::next()
{
    // xorshift32: tiny, fast and identical on every platform.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ >> 8) / 16777216.0;
}

QPainterPath blossom(QPointF c, double r)
{
    QPainterPath flower;
    for (int i = 0; i < 5; ++i) {
        const double a = -std::numbers::pi / 2 + i * 2 * std::numbers::pi / 5;
        const QPointF dir(std::cos(a), std::sin(a));
        const QPointF side(-dir.y(), dir.x());
        // A petal: rounded, with the little notch at its tip.
        QPainterPath petal;
        const QPointF base = c + dir * (r * 0.12);
        const QPointF tip = c + dir * r;
        const QPointF notch = c + dir * (r * 0.86);
        petal.moveTo(base);
        petal.cubicTo(base + side * (r * 0.55) + dir * (r * 0.2), tip + side * (r * 0.5) - dir * (r * 0.1),
                      tip + side * (r * 0.14));
        petal.lineTo(notch);
        petal.lineTo(tip - side * (r * 0.14));
        petal.cubicTo(tip - side * (r * 0.5) - dir * (r * 0.1), base - side * (r * 0.55) + dir * (r * 0.2),
                      base);
        petal.closeSubpath();
        flower = flower.united(petal);
    }
    return flower.simplified();
}

QPainterPath star(QPointF c, double outer, double inner, double rotationDeg)
{
    QPainterPath p;
    for (int i = 0; i < 10; ++i) {
        const double a = (rotationDeg + i * 36.0) * std::numbers::pi / 180.0;
        const double r = (i % 2 == 0) ? outer : inner;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            p.moveTo(pt);
        else
            p.lineTo(pt);
    }
    p.closeSubpath();
    return p;
}

}  // namespace artgen
