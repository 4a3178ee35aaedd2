// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cards.h"

#include "paint_kit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>

#include <array>
#include <cmath>
#include <numbers>

namespace artgen {

namespace {

constexpr double kCx = kFaceW / 2.0;
constexpr double kCy = kFaceH / 2.0;

const QColor kPaper(0xff, 0xfe, 0xfa);
const QColor kEdge(0x8c, 0x8c, 0x92);
const QColor kGold(0xd9, 0xa4, 0x2b);
const QColor kGoldDark(0x9a, 0x6f, 0x12);
const QColor kSkin(0xff, 0xe2, 0xc8);
const QColor kLine(0x2a, 0x22, 0x20);

QString rankText(int rank)
{
    switch (rank) {
    case 1: return QStringLiteral("A");
    case 11: return QStringLiteral("J");
    case 12: return QStringLiteral("Q");
    case 13: return QStringLiteral("K");
    default: return QString::number(rank);
    }
}

void paintBlank(QPainter &p)
{
    const QRectF card(0.5, 0.5, kFaceW - 1.0, kFaceH - 1.0);
    p.setPen(QPen(kEdge, 1.0));
    p.setBrush(kPaper);
    p.drawRoundedRect(card, 5.5, 5.5);
}

// Rank over suit in the top-left corner; drawn twice, the second time turned
// half a circle so that it sits in the bottom-right corner.
void paintIndex(QPainter &p, const QString &rank, Suit suit)
{
    for (int turn = 0; turn < 2; ++turn) {
        p.save();
        if (turn == 1) {
            p.translate(kFaceW, kFaceH);
            p.rotate(180);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(suitInk(suit));
        const QRectF rankBox(2.0, 4.5, 15.0, 17.0);
        p.drawPath(textIn(rank, serifFamily(), rankBox));
        p.drawPath(suitIn(suit, QRectF(2.5, 24.0, 14.0, 13.0)));
        p.restore();
    }
}

void paintPip(QPainter &p, Suit suit, QPointF c, double w, double h, bool upsideDown)
{
    p.save();
    p.translate(c);
    if (upsideDown)
        p.rotate(180);
    p.setPen(Qt::NoPen);
    p.setBrush(suitInk(suit));
    p.drawPath(suitIn(suit, QRectF(-w / 2, -h / 2, w, h)));
    p.restore();
}

void paintPips(QPainter &p, Suit suit, int rank)
{
    constexpr double L = 27.5, C = kCx, R = 50.5;
    constexpr double top = 19.0, bottom = 89.0;
    auto y = [](double f) { return top + (bottom - top) * f; };
    struct Pip { double x, f; };
    std::vector<Pip> pips;
    auto cols = [&](std::initializer_list<double> fs) {
        for (double f : fs) {
            pips.push_back({L, f});
            pips.push_back({R, f});
        }
    };
    switch (rank) {
    case 2: pips = {{C, 0}, {C, 1}}; break;
    case 3: pips = {{C, 0}, {C, 0.5}, {C, 1}}; break;
    case 4: cols({0, 1}); break;
    case 5: cols({0, 1}); pips.push_back({C, 0.5}); break;
    case 6: cols({0, 0.5, 1}); break;
    case 7: cols({0, 0.5, 1}); pips.push_back({C, 0.25}); break;
    case 8: cols({0, 0.5, 1}); pips.push_back({C, 0.25}); pips.push_back({C, 0.75}); break;
    case 9: cols({0, 1.0 / 3, 2.0 / 3, 1}); pips.push_back({C, 0.5}); break;
    case 10: cols({0, 1.0 / 3, 2.0 / 3, 1}); pips.push_back({C, 1.0 / 6}); pips.push_back({C, 5.0 / 6}); break;
    default: break;
    }
    const double w = rank >= 9 ? 13.0 : 15.0;
    const double h = rank >= 9 ? 14.0 : 16.0;
    for (const Pip &pip : pips)
        paintPip(p, suit, QPointF(pip.x, y(pip.f)), w, h, pip.f > 0.5);
}

void paintAce(QPainter &p, Suit suit)
{
    const QPointF c(kCx, kCy);
    // A pale gold medallion behind the single large pip.
    QRadialGradient glow(c, 27);
    glow.setColorAt(0, QColor(0xff, 0xf6, 0xd8));
    glow.setColorAt(1, QColor(0xfb, 0xea, 0xc0));
    p.setBrush(glow);
    p.setPen(QPen(kGold, 1.4));
    p.drawEllipse(c, 26.5, 26.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGold, 0.7));
    p.drawEllipse(c, 23.5, 23.5);
    // Little rays between the rings.
    p.setPen(QPen(kGold, 0.8));
    for (int i = 0; i < 16; ++i) {
        const double a = i * std::numbers::pi / 8;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * 24.3, c + QPointF(std::cos(a), std::sin(a)) * 26.0);
    }
    const bool spade = suit == Suit::Spades;
    const double w = spade ? 36 : 33, h = spade ? 38 : 35;
    p.setPen(Qt::NoPen);
    p.setBrush(suitInk(suit));
    const QPainterPath big = suitIn(suit, QRectF(c.x() - w / 2, c.y() - h / 2, w, h));
    p.drawPath(big);
    if (spade) {
        // The traditional flourish of the ace of spades: a white inner line
        // and a gold star.
        QTransform shrink;
        shrink.translate(c.x(), c.y() - 2);
        shrink.scale(0.72, 0.72);
        shrink.translate(-c.x(), -(c.y() - 2));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 220), 0.9));
        p.drawPath(shrink.map(big));
        p.setPen(Qt::NoPen);
        p.setBrush(kGold);
        p.drawPath(star(QPointF(c.x(), c.y() - 3), 5.2, 2.2));
    } else {
        // A soft highlight gives the big pip some body.
        QPainterPath shine;
        shine.addEllipse(QPointF(c.x() - w * 0.18, c.y() - h * 0.2), w * 0.12, h * 0.08);
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawPath(shine.intersected(big));
    }
}

// ---- court cards -----------------------------------------------------------

struct CourtPalette {
    QColor robe, robeDark, trim, collar, hair;
};

CourtPalette courtPalette(Suit suit, int rank)
{
    const QColor red(0xc8, 0x2a, 0x3a), blue(0x2c, 0x4f, 0xa3), green(0x2e, 0x8a, 0x57);
    const QColor yellow(0xf0, 0xbf, 0x3a);
    const bool r = isRed(suit);
    switch (rank) {
    case 13: return {r ? red : blue, (r ? red : blue).darker(140), yellow, r ? blue : red, QColor(0x8a, 0x8f, 0x99)};
    case 12: return {r ? blue : red, (r ? blue : red).darker(140), yellow, r ? red : green, QColor(0xe7, 0xb6, 0x3e)};
    default: return {r ? green : red, (r ? green : red).darker(140), yellow, r ? red : blue, QColor(0x9a, 0x5b, 0x2b)};
    }
}

void paintFace(QPainter &p, QPointF c, double r)
{
    p.setPen(QPen(kLine, 0.7));
    p.setBrush(kSkin);
    p.drawEllipse(c, r * 0.86, r);
    p.setPen(Qt::NoPen);
    p.setBrush(kLine);
    p.drawEllipse(c + QPointF(-r * 0.34, -r * 0.05), 0.85, 1.0);
    p.drawEllipse(c + QPointF(r * 0.34, -r * 0.05), 0.85, 1.0);
    p.setBrush(QColor(0xf2, 0x8c, 0x8c, 150));
    p.drawEllipse(c + QPointF(-r * 0.52, r * 0.32), 1.5, 1.0);
    p.drawEllipse(c + QPointF(r * 0.52, r * 0.32), 1.5, 1.0);
}

void paintRobe(QPainter &p, const CourtPalette &pal, double neckY)
{
    // Broad shoulders filling the frame, a trimmed V neck and a few gold
    // studs; the mirrored half continues the robe below the centre line.
    QPainterPath robe;
    robe.moveTo(18.5, 55);
    robe.lineTo(18.5, neckY + 7);
    robe.cubicTo(20, neckY + 2.5, 27, neckY + 0.5, 33, neckY);
    robe.lineTo(45, neckY);
    robe.cubicTo(51, neckY + 0.5, 58, neckY + 2.5, 59.5, neckY + 7);
    robe.lineTo(59.5, 55);
    robe.closeSubpath();
    QLinearGradient g(0, neckY, 0, 55);
    g.setColorAt(0, pal.robe.lighter(112));
    g.setColorAt(1, pal.robeDark);
    p.setPen(QPen(kLine, 0.7));
    p.setBrush(g);
    p.drawPath(robe);
    p.setPen(QPen(pal.trim, 2.2));
    p.drawLine(QPointF(28.5, neckY + 1.5), QPointF(27.5, 55));
    p.drawLine(QPointF(49.5, neckY + 1.5), QPointF(50.5, 55));
    p.setPen(Qt::NoPen);
    p.setBrush(pal.trim);
    for (double y = neckY + 8; y < 54; y += 5) {
        p.drawEllipse(QPointF(22.5, y), 0.9, 0.9);
        p.drawEllipse(QPointF(55.5, y), 0.9, 0.9);
    }
    p.setPen(QPen(kLine, 0.5));
    p.setBrush(pal.collar);
    QPainterPath v;
    v.moveTo(32, neckY + 0.3);
    v.lineTo(39, neckY + 11);
    v.lineTo(46, neckY + 0.3);
    v.closeSubpath();
    p.drawPath(v);
}

void paintKingHalf(QPainter &p, const CourtPalette &pal)
{
    const QPointF head(39, 27.5);
    // Sword held upright behind the shoulder.
    p.setPen(QPen(QColor(0x6d, 0x74, 0x80), 1.8));
    p.drawLine(QPointF(54.5, 54), QPointF(54.5, 12));
    p.setPen(QPen(kGoldDark, 1.8));
    p.drawLine(QPointF(51, 37), QPointF(58, 37));
    paintRobe(p, pal, 37.5);
    // Ermine collar.
    p.setPen(QPen(kLine, 0.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(21, 37, 36, 5.5), 2.7, 2.7);
    p.setPen(Qt::NoPen);
    p.setBrush(kLine);
    for (double x = 24; x < 56; x += 4.5)
        p.drawEllipse(QPointF(x, 39.7), 0.6, 1.0);
    // Hair, face, then the full beard over the chin.
    p.setBrush(pal.hair);
    p.setPen(QPen(kLine, 0.6));
    p.drawEllipse(head + QPointF(0, 0.5), 10.2, 9.4);
    paintFace(p, head, 8.5);
    QPainterPath beard;
    beard.moveTo(head.x() - 7.6, head.y() + 1);
    beard.cubicTo(head.x() - 8, head.y() + 10, head.x() - 3.5, head.y() + 14, head.x(), head.y() + 14.5);
    beard.cubicTo(head.x() + 3.5, head.y() + 14, head.x() + 8, head.y() + 10, head.x() + 7.6, head.y() + 1);
    beard.cubicTo(head.x() + 4.5, head.y() + 5.5, head.x() - 4.5, head.y() + 5.5, head.x() - 7.6, head.y() + 1);
    p.setBrush(pal.hair);
    p.setPen(QPen(kLine, 0.6));
    p.drawPath(beard);
    p.setPen(QPen(kLine, 0.8));
    QPainterPath moustache;
    moustache.moveTo(head.x() - 3.5, head.y() + 6.5);
    moustache.quadTo(head.x(), head.y() + 4.2, head.x() + 3.5, head.y() + 6.5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(moustache);
    // Crown with three points and jewels.
    QPainterPath crown;
    const double cy = head.y() - 7;
    crown.moveTo(head.x() - 9, cy);
    crown.lineTo(head.x() - 10, cy - 9.5);
    crown.lineTo(head.x() - 5, cy - 5);
    crown.lineTo(head.x(), cy - 11.5);
    crown.lineTo(head.x() + 5, cy - 5);
    crown.lineTo(head.x() + 10, cy - 9.5);
    crown.lineTo(head.x() + 9, cy);
    crown.closeSubpath();
    p.setBrush(kGold);
    p.setPen(QPen(kGoldDark, 0.7));
    p.drawPath(crown);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.collar);
    p.drawEllipse(QPointF(head.x(), cy - 2.6), 1.5, 1.5);
    p.setBrush(QColor(0xd0, 0x1c, 0x2c));
    for (double dx : {-10.0, 0.0, 10.0})
        p.drawEllipse(QPointF(head.x() + dx, cy - (dx == 0 ? 11.5 : 9.5)), 1.2, 1.2);
}

void paintQueenHalf(QPainter &p, const CourtPalette &pal)
{
    const QPointF head(39, 28);
    // Long hair falling over the shoulders, behind the face.
    QPainterPath hair;
    hair.moveTo(head.x() - 10, head.y() - 4);
    hair.cubicTo(head.x() - 13, head.y() + 6, head.x() - 13, head.y() + 14, head.x() - 16, head.y() + 20);
    hair.lineTo(head.x() + 16, head.y() + 20);
    hair.cubicTo(head.x() + 13, head.y() + 14, head.x() + 13, head.y() + 6, head.x() + 10, head.y() - 4);
    hair.cubicTo(head.x() + 8, head.y() - 12, head.x() - 8, head.y() - 12, head.x() - 10, head.y() - 4);
    p.setPen(QPen(kLine, 0.6));
    p.setBrush(pal.hair);
    p.drawPath(hair);
    paintRobe(p, pal, 39);
    // Lace collar.
    p.setPen(QPen(kLine, 0.45));
    p.setBrush(Qt::white);
    for (double x = 30; x <= 48.1; x += 4.5)
        p.drawEllipse(QPointF(x, 39.8), 2.6, 2.0);
    paintFace(p, head, 8.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd0, 0x1c, 0x2c));
    p.drawEllipse(QPointF(head.x(), head.y() + 5), 1.7, 1.0);
    // Fringe.
    QPainterPath fringe;
    fringe.moveTo(head.x() - 7.5, head.y() - 1.5);
    fringe.cubicTo(head.x() - 7, head.y() - 10, head.x() + 7, head.y() - 10, head.x() + 7.5, head.y() - 1.5);
    fringe.cubicTo(head.x() + 3.5, head.y() - 5.5, head.x() - 3.5, head.y() - 5.5, head.x() - 7.5, head.y() - 1.5);
    p.setPen(QPen(kLine, 0.5));
    p.setBrush(pal.hair);
    p.drawPath(fringe);
    // Tiara with a rounded top.
    const double cy = head.y() - 7.5;
    QPainterPath tiara;
    tiara.moveTo(head.x() - 8.5, cy);
    tiara.cubicTo(head.x() - 8.5, cy - 5.5, head.x() - 3.5, cy - 9, head.x(), cy - 9.5);
    tiara.cubicTo(head.x() + 3.5, cy - 9, head.x() + 8.5, cy - 5.5, head.x() + 8.5, cy);
    tiara.closeSubpath();
    p.setBrush(kGold);
    p.setPen(QPen(kGoldDark, 0.7));
    p.drawPath(tiara);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3a, 0x8f, 0xd8));
    p.drawEllipse(QPointF(head.x(), cy - 4), 1.8, 2.1);
    p.setBrush(Qt::white);
    for (double dx : {-5.0, 5.0})
        p.drawEllipse(QPointF(head.x() + dx, cy - 2.2), 1.0, 1.0);
    // A rose held at the side.
    p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 1.1));
    p.drawLine(QPointF(24, 53), QPointF(25.5, 40));
    p.setPen(QPen(kLine, 0.5));
    p.setBrush(QColor(0xe0, 0x3a, 0x5a));
    p.drawEllipse(QPointF(25.5, 38), 3.4, 3.4);
    p.setBrush(QColor(0xf5, 0x7a, 0x94));
    p.drawEllipse(QPointF(25.5, 37.8), 1.6, 1.6);
}

void paintJackHalf(QPainter &p, const CourtPalette &pal)
{
    const QPointF head(39, 28.5);
    // A halberd over the shoulder.
    p.setPen(QPen(QColor(0x7a, 0x52, 0x2a), 1.5));
    p.drawLine(QPointF(23.5, 54), QPointF(23.5, 13));
    QPainterPath blade;
    blade.moveTo(23.5, 12);
    blade.lineTo(19.5, 16);
    blade.cubicTo(19, 19.5, 20, 21.5, 23.5, 21.5);
    blade.closeSubpath();
    p.setPen(QPen(kLine, 0.5));
    p.setBrush(QColor(0xc9, 0xcf, 0xd8));
    p.drawPath(blade);
    paintRobe(p, pal, 39);
    // Short curly hair at the sides.
    p.setPen(QPen(kLine, 0.5));
    p.setBrush(pal.hair);
    for (double dx : {-8.0, 8.0})
        for (double dy : {-0.5, 3.5})
            p.drawEllipse(head + QPointF(dx, dy), 2.9, 2.9);
    paintFace(p, head, 8.2);
    p.setPen(QPen(kLine, 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(head.x() - 2.5, head.y() + 2.4, 5, 3.2), 200 * 16, 140 * 16);
    // Beret with a feather.
    const double cy = head.y() - 6;
    QPainterPath feather;
    feather.moveTo(head.x() + 4, cy - 2);
    feather.cubicTo(head.x() + 10, cy - 12, head.x() + 15, cy - 13, head.x() + 17, cy - 15);
    feather.cubicTo(head.x() + 15, cy - 8, head.x() + 11, cy - 3, head.x() + 5, cy - 0.5);
    feather.closeSubpath();
    p.setPen(QPen(kLine, 0.5));
    p.setBrush(Qt::white);
    p.drawPath(feather);
    QPainterPath cap;
    cap.moveTo(head.x() - 11, cy + 1.5);
    cap.cubicTo(head.x() - 12, cy - 8, head.x() + 10, cy - 10, head.x() + 11, cy + 0.5);
    cap.cubicTo(head.x() + 4, cy - 1.5, head.x() - 4, cy - 1.5, head.x() - 11, cy + 1.5);
    p.setBrush(pal.collar);
    p.drawPath(cap);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRect(QRectF(head.x() - 10, cy - 0.9, 20, 1.8));
}

void paintCourt(QPainter &p, Suit suit, int rank)
{
    const QRectF frame(18.5, 9.5, 41, 89);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xf7, 0xe3));
    p.drawRect(frame);
    const CourtPalette pal = courtPalette(suit, rank);
    for (int turn = 0; turn < 2; ++turn) {
        p.save();
        if (turn == 1) {
            p.translate(kFaceW, kFaceH);
            p.rotate(180);
        }
        p.setClipRect(QRectF(frame.left(), frame.top(), frame.width(), kCy - frame.top()));
        switch (rank) {
        case 13: paintKingHalf(p, pal); break;
        case 12: paintQueenHalf(p, pal); break;
        default: paintJackHalf(p, pal); break;
        }
        // The suit in the figure's upper corner.
        p.setClipping(false);
        p.setPen(Qt::NoPen);
        p.setBrush(suitInk(suit));
        const double sx = rank == 11 ? 49.5 : 22.0;
        p.drawPath(suitIn(suit, QRectF(sx, 12.0, 7.5, 7.5)));
        p.restore();
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kLine, 0.6));
    p.drawLine(QPointF(frame.left(), kCy), QPointF(frame.right(), kCy));
    p.setPen(QPen(suitInk(suit), 1.0));
    p.drawRect(frame);
    p.setPen(QPen(kGold, 0.6));
    p.drawRect(frame.adjusted(1.3, 1.3, -1.3, -1.3));
}

// ---- joker -----------------------------------------------------------------

void paintJoker(QPainter &p)
{
    const QColor purple(0x5b, 0x2a, 0x86), red(0xd0, 0x1c, 0x2c);
    // "JOKER" running down the corner, and up the opposite corner.
    for (int turn = 0; turn < 2; ++turn) {
        p.save();
        if (turn == 1) {
            p.translate(kFaceW, kFaceH);
            p.rotate(180);
        }
        const QString word = QStringLiteral("JOKER");
        p.setPen(Qt::NoPen);
        for (int i = 0; i < word.size(); ++i) {
            p.setBrush(i % 2 == 0 ? purple : red);
            p.drawPath(textIn(word.mid(i, 1), sansFamily(), QRectF(3.5, 4.5 + i * 7.6, 10, 6.2), 900));
        }
        p.setBrush(QColor(0xe8, 0xa8, 0x1c));
        p.drawPath(star(QPointF(8.5, 46), 4.2, 1.8));
        p.restore();
    }

    // Confetti behind the jester.
    Dice dice(53);
    const std::array<QColor, 5> confetti = {QColor(0xf2, 0x5c, 0x78), QColor(0x4a, 0x90, 0xe2), QColor(0xf5, 0xc2, 0x2e),
                                            QColor(0x3c, 0xb3, 0x71), QColor(0x9b, 0x59, 0xd0)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 20; ++i) {
        const QPointF at(dice.range(20, 58), dice.range(8, 100));
        QColor c = confetti[static_cast<size_t>(i) % confetti.size()];
        c.setAlpha(150);
        p.setBrush(c);
        if (i % 3 == 0)
            p.drawPath(star(at, 2.4, 1.0, dice.range(0, 72)));
        else
            p.drawEllipse(at, 1.3, 1.3);
    }

    const QPointF head(39, 52);
    // Ruffled collar.
    QPainterPath ruff;
    for (int i = 0; i <= 12; ++i) {
        const double a = std::numbers::pi * (0.05 + 0.9 * i / 12.0);
        const double r = (i % 2 == 0) ? 18 : 13;
        const QPointF pt(head.x() - std::cos(a) * r, head.y() + 9 + std::sin(a) * r * 0.55);
        if (i == 0)
            ruff.moveTo(pt);
        else
            ruff.lineTo(pt);
    }
    ruff.lineTo(head.x(), head.y() + 6);
    ruff.closeSubpath();
    // Diamond-chequered tunic below the collar.
    QPainterPath body;
    body.moveTo(22, 100);
    body.cubicTo(22, 80, 28, 68, 39, 66);
    body.cubicTo(50, 68, 56, 80, 56, 100);
    body.closeSubpath();
    p.save();
    p.setClipPath(body);
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 6; ++col) {
            QPainterPath d;
            const QPointF c(22 + col * 7 + (row % 2) * 3.5, 66 + row * 7);
            d.moveTo(c + QPointF(0, -3.5));
            d.lineTo(c + QPointF(3.5, 0));
            d.lineTo(c + QPointF(0, 3.5));
            d.lineTo(c + QPointF(-3.5, 0));
            d.closeSubpath();
            p.setBrush((row + col) % 2 == 0 ? red : purple);
            p.drawPath(d);
        }
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kLine, 0.7));
    p.drawPath(body);
    p.setBrush(Qt::white);
    p.drawPath(ruff);

    // Face with a big grin.
    p.setPen(QPen(kLine, 0.8));
    p.setBrush(QColor(0xff, 0xf0, 0xe4));
    p.drawEllipse(head, 10.5, 11.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0x6d, 0x8a, 170));
    p.drawEllipse(head + QPointF(-6.5, 3.5), 2.6, 1.8);
    p.drawEllipse(head + QPointF(6.5, 3.5), 2.6, 1.8);
    p.setBrush(red);
    p.drawEllipse(head + QPointF(0, 1.5), 2.0, 2.0);
    // Star-shaped eye paint and happy eyes.
    p.setPen(QPen(kLine, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(head.x() - 7, head.y() - 4.5, 5, 4), 20 * 16, 140 * 16);
    p.drawArc(QRectF(head.x() + 2, head.y() - 4.5, 5, 4), 20 * 16, 140 * 16);
    QPainterPath grin;
    grin.moveTo(head.x() - 6, head.y() + 4.5);
    grin.cubicTo(head.x() - 4, head.y() + 10.5, head.x() + 4, head.y() + 10.5, head.x() + 6, head.y() + 4.5);
    grin.cubicTo(head.x() + 2, head.y() + 6, head.x() - 2, head.y() + 6, head.x() - 6, head.y() + 4.5);
    p.setPen(QPen(kLine, 0.6));
    p.setBrush(QColor(0xb0, 0x22, 0x3a));
    p.drawPath(grin);

    // Three-pointed cap with bells.
    const QColor capColors[3] = {red, QColor(0x2f, 0x9e, 0x5b), QColor(0x35, 0x6f, 0xd6)};
    const QPointF tips[3] = {QPointF(19.5, 39), QPointF(39, 14), QPointF(58.5, 39)};
    const double bases[3][2] = {{27, 36}, {33, 45}, {42, 51}};
    for (int i = 0; i < 3; ++i) {
        QPainterPath lobe;
        const double y0 = head.y() - 7;
        lobe.moveTo(bases[i][0], y0);
        lobe.cubicTo(bases[i][0] - 2, y0 - 12, tips[i].x() - (i == 1 ? 4 : 0), tips[i].y() + 6, tips[i].x(), tips[i].y());
        lobe.cubicTo(tips[i].x() + (i == 1 ? 4 : -4), tips[i].y() + 8, bases[i][1] + 2, y0 - 10, bases[i][1], y0);
        lobe.closeSubpath();
        p.setPen(QPen(kLine, 0.7));
        p.setBrush(capColors[i]);
        p.drawPath(lobe);
    }
    p.setPen(QPen(kLine, 0.7));
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(head.x() - 11, head.y() - 9.5, 22, 4), 2, 2);
    for (const QPointF &t : tips) {
        p.setBrush(QColor(0xf5, 0xc8, 0x3a));
        p.drawEllipse(t, 2.3, 2.3);
    }
}

}  // namespace

QImage drawCardFace(int cardNumber)
{
    QImage img = canvas(kFaceW, kFaceH);
    QPainter p(&img);
    prepare(p);
    paintBlank(p);
    if (cardNumber == 53) {
        paintJoker(p);
        return img;
    }
    const Suit suit = static_cast<Suit>((cardNumber - 1) / 13 + 1);
    const int rank = (cardNumber - 1) % 13 + 1;
    if (rank == 1)
        paintAce(p, suit);
    else if (rank >= 11)
        paintCourt(p, suit, rank);
    else
        paintPips(p, suit, rank);
    paintIndex(p, rankText(rank), suit);
    return img;
}

QImage drawCardBack(int seat)
{
    static const QColor tones[4] = {QColor(0xb2, 0x25, 0x3c), QColor(0x24, 0x4a, 0x9c), QColor(0x1f, 0x7a, 0x4e),
                                    QColor(0x6a, 0x3b, 0x8f)};
    const QColor base = tones[(seat - 1) & 3];
    const QColor light = mix(base, Qt::white, 0.35);
    QImage img = canvas(kBackW, kBackH);
    {
        QPainter p(&img);
        prepare(p);
        p.setPen(QPen(kEdge, 1.0));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(0.5, 0.5, kBackW - 1.0, kBackH - 1.0), 4, 4);
        const QRectF panel(3.5, 3.5, kBackW - 7.0, kBackH - 7.0);
        QLinearGradient g(panel.topLeft(), panel.bottomRight());
        g.setColorAt(0, mix(base, Qt::white, 0.08));
        g.setColorAt(1, base.darker(115));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(panel, 2, 2);
        // Diagonal lattice with dots at the crossings.
        p.save();
        p.setClipRect(panel.adjusted(1.5, 1.5, -1.5, -1.5));
        p.setPen(QPen(QColor(light.red(), light.green(), light.blue(), 150), 0.8));
        for (double d = -kBackH; d < kBackW + kBackH; d += 6) {
            p.drawLine(QPointF(d, 0), QPointF(d + kBackH, kBackH));
            p.drawLine(QPointF(d, kBackH), QPointF(d + kBackH, 0));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 110));
        for (double y = 0; y <= kBackH; y += 6)
            for (double x = 0; x <= kBackW + 6; x += 6)
                p.drawEllipse(QPointF(x + std::fmod(y / 6, 2) * 3 - 1.5, y + 1.5), 0.7, 0.7);
        p.restore();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 200), 0.8));
        p.drawRoundedRect(panel.adjusted(2, 2, -2, -2), 1.5, 1.5);
        // Centre medallion with a cherry blossom.
        const QPointF c(kBackW / 2.0, kBackH / 2.0);
        p.setPen(QPen(light, 1.0));
        p.setBrush(QColor(0xff, 0xfb, 0xf4));
        p.drawEllipse(c, 11.5, 13.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf0, 0x8c, 0xa8));
        p.drawPath(blossom(c, 9.0));
        p.setBrush(QColor(0xff, 0xe0, 0x8a));
        p.drawEllipse(c, 2.0, 2.0);
        // Small suit marks in the corners of the panel.
        p.setBrush(QColor(255, 255, 255, 210));
        const Suit corners[4] = {Suit::Spades, Suit::Hearts, Suit::Diamonds, Suit::Clubs};
        const QPointF at[4] = {QPointF(9, 9.5), QPointF(kBackW - 9, 9.5), QPointF(9, kBackH - 9.5),
                               QPointF(kBackW - 9, kBackH - 9.5)};
        for (int i = 0; i < 4; ++i)
            p.drawPath(suitIn(corners[i], QRectF(at[i].x() - 3, at[i].y() - 3, 6, 6)));
    }
    if (seat == 2 || seat == 4)
        img = img.transformed(QTransform().rotate(seat == 2 ? 90 : -90));
    return img;
}

}  // namespace artgen
