// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "portraits.h"

#include "paint_kit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

// The girls are drawn in "face units": the face is about 104 units wide,
// the origin sits between the eyes, y grows downwards. Each picture maps
// those units onto its canvas, so the same drawing serves the small picture
// of the member grid and the large match-end screens.

namespace artgen {

namespace {

enum class HairStyle { TwinTails, LongStraight, Bob, Ponytail };
enum class Accessory { Ribbons, Hairband, StarClip, Glasses };
enum class Outfit { Sailor, Cardigan, Jacket, Blazer };
enum class Motif { Dots, Stripes, Stars, Suits };

struct Girl {
    HairStyle style;
    Accessory accessory;
    Outfit outfit;
    Motif motif;
    QColor hair, hairLight, hairDark;
    QColor eyes;
    QColor accent;     // ribbons, clip, glasses, bow
    QColor cloth;      // main colour of the outfit
    QColor clothTrim;  // collar, stripes, lapels
    QColor bgTop, bgBottom;
};

enum class Eyes { Open, Happy, Wink, Proud };
enum class Mouth { Smile, Open, Grin, Cat };
enum class Pose { None, Clap, VSign, Trophy };

struct Expression {
    Eyes eyes;
    Mouth mouth;
    Pose pose;
    double browLift;  // units upwards
    bool sweat;
};

const QColor kSkin(0xff, 0xe8, 0xd8);
const QColor kSkinShade(0xf6, 0xc7, 0xb0);
const QColor kSkinLine(0x8f, 0x55, 0x44);
const QColor kLash(0x33, 0x1f, 0x22);
const QColor kMouthInside(0xb9, 0x3f, 0x4f);
const QColor kTongue(0xf3, 0x8d, 0x9c);
const QColor kGold(0xf2, 0xb7, 0x2c);
const QColor kGoldDark(0xb0, 0x78, 0x10);

Girl girl(int member)
{
    switch (member) {
    case 1:  // あやや: chestnut twin tails, pink ribbons, sailor uniform
        return {HairStyle::TwinTails, Accessory::Ribbons, Outfit::Sailor, Motif::Dots,
                QColor(0xa8, 0x63, 0x3c), QColor(0xd6, 0x96, 0x62), QColor(0x6e, 0x38, 0x1e),
                QColor(0xd8, 0x4a, 0x6c), QColor(0xff, 0x6f, 0x9c), QColor(0x2b, 0x3f, 0x7d),
                QColor(0xe0, 0x34, 0x4a), QColor(0xff, 0xe0, 0xea), QColor(0xff, 0xb4, 0xcb)};
    case 2:  // ゆうこ: long black hair, white hairband, cream cardigan
        return {HairStyle::LongStraight, Accessory::Hairband, Outfit::Cardigan, Motif::Stripes,
                QColor(0x33, 0x35, 0x52), QColor(0x62, 0x68, 0x96), QColor(0x17, 0x18, 0x28),
                QColor(0x3a, 0x6a, 0xd0), QColor(0xff, 0xff, 0xff), QColor(0xf4, 0xe4, 0xc4),
                QColor(0x3a, 0x6a, 0xd0), QColor(0xe0, 0xf0, 0xff), QColor(0xa9, 0xd0, 0xf6)};
    case 3:  // はるか: orange bob, star clip, sporty jacket
        return {HairStyle::Bob, Accessory::StarClip, Outfit::Jacket, Motif::Stars,
                QColor(0xe6, 0x8a, 0x3a), QColor(0xfb, 0xbd, 0x70), QColor(0xa8, 0x55, 0x1a),
                QColor(0x2f, 0xa0, 0x62), QColor(0xff, 0xd2, 0x3f), QColor(0x26, 0xa6, 0x8f),
                QColor(0xff, 0xff, 0xff), QColor(0xff, 0xf6, 0xc8), QColor(0xcf, 0xee, 0x9e)};
    default:  // みさこ: violet ponytail, red glasses, navy blazer
        return {HairStyle::Ponytail, Accessory::Glasses, Outfit::Blazer, Motif::Suits,
                QColor(0x6a, 0x43, 0x98), QColor(0x9c, 0x78, 0xc8), QColor(0x3a, 0x22, 0x56),
                QColor(0x8c, 0x52, 0xd6), QColor(0xdc, 0x33, 0x4c), QColor(0x2c, 0x3b, 0x66),
                QColor(0xff, 0xff, 0xff), QColor(0xf0, 0xe8, 0xff), QColor(0xc9, 0xb6, 0xf0)};
    }
}

Expression expression(int picture)
{
    switch (picture) {
    case 1: return {Eyes::Open, Mouth::Smile, Pose::None, 0, false};
    case 2: return {Eyes::Happy, Mouth::Open, Pose::Clap, 3, true};
    case 3: return {Eyes::Wink, Mouth::Grin, Pose::VSign, 2, false};
    default: return {Eyes::Proud, Mouth::Cat, Pose::Trophy, 5, false};
    }
}

QPen outline(QColor c, double w)
{
    QPen pen(c, w);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QLinearGradient vertical(double y0, double y1, QColor a, QColor b)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QPainterPath sparkle(QPointF c, double r)
{
    // A four-pointed twinkle.
    QPainterPath p;
    p.moveTo(c + QPointF(0, -r));
    p.quadTo(c, c + QPointF(r, 0));
    p.quadTo(c, c + QPointF(0, r));
    p.quadTo(c, c + QPointF(-r, 0));
    p.quadTo(c, c + QPointF(0, -r));
    p.closeSubpath();
    return p;
}

// ---- background -------------------------------------------------------------

void paintBackground(QPainter &p, const Girl &g, int picture, QSizeF size, const QTransform &toCanvas)
{
    const double w = size.width(), h = size.height();
    p.fillRect(QRectF(0, 0, w, h), vertical(0, h, g.bgTop, g.bgBottom));
    const double unit = std::min(w, h) / 180.0;
    const QPointF head = toCanvas.map(QPointF(0, -10));

    if (picture == 3 || picture == 4) {
        // Radiating rays behind the character.
        p.save();
        p.setPen(Qt::NoPen);
        QColor ray = picture == 3 ? QColor(255, 255, 255, 95) : QColor(0xff, 0xe7, 0x8a, 130);
        p.setBrush(ray);
        const int n = 18;
        for (int i = 0; i < n; ++i) {
            const double a0 = (i * 2.0 * std::numbers::pi) / n;
            const double a1 = a0 + std::numbers::pi / n;
            QPainterPath wedge;
            wedge.moveTo(head);
            wedge.lineTo(head + QPointF(std::cos(a0), std::sin(a0)) * (w + h));
            wedge.lineTo(head + QPointF(std::cos(a1), std::sin(a1)) * (w + h));
            wedge.closeSubpath();
            p.drawPath(wedge);
        }
        p.restore();
    }

    // The member's own motif, faint.
    Dice dice(static_cast<unsigned>(picture * 31 + static_cast<int>(g.motif) * 7 + 1));
    p.save();
    p.setPen(Qt::NoPen);
    switch (g.motif) {
    case Motif::Dots: {
        p.setBrush(QColor(255, 255, 255, 120));
        const double step = 22 * unit;
        for (double y = step / 2; y < h + step; y += step)
            for (double x = (std::fmod(y / step, 2.0) < 1 ? 0 : step / 2); x < w + step; x += step)
                p.drawEllipse(QPointF(x, y), 4.2 * unit, 4.2 * unit);
        break;
    }
    case Motif::Stripes: {
        p.setBrush(QColor(255, 255, 255, 70));
        const double step = 26 * unit;
        for (double d = -h; d < w + h; d += step) {
            QPainterPath band;
            band.moveTo(d, 0);
            band.lineTo(d + 10 * unit, 0);
            band.lineTo(d + 10 * unit - h, h);
            band.lineTo(d - h, h);
            band.closeSubpath();
            p.drawPath(band);
        }
        p.setBrush(QColor(255, 255, 255, 150));
        for (int i = 0; i < 9; ++i)
            p.drawPath(blossom(QPointF(dice.range(0, w), dice.range(0, h)), dice.range(4, 7) * unit));
        break;
    }
    case Motif::Stars: {
        for (int i = 0; i < 16; ++i) {
            p.setBrush(i % 2 ? QColor(255, 255, 255, 150) : QColor(0xff, 0xd8, 0x4a, 120));
            p.drawPath(star(QPointF(dice.range(0, w), dice.range(0, h)), dice.range(5, 9) * unit,
                            dice.range(2.2, 3.2) * unit, dice.range(-90, -18)));
        }
        break;
    }
    case Motif::Suits: {
        const double step = 30 * unit;
        int k = 0;
        for (double y = step / 2; y < h + step; y += step)
            for (double x = (std::fmod(y / step, 2.0) < 1 ? step / 2 : 0); x < w + step; x += step, ++k) {
                const Suit s = static_cast<Suit>(k % 4 + 1);
                p.setBrush(isRed(s) ? QColor(0xff, 0xff, 0xff, 120) : QColor(0x8a, 0x6c, 0xc8, 60));
                p.drawPath(suitIn(s, QRectF(x - 5 * unit, y - 5 * unit, 10 * unit, 10 * unit)));
            }
        break;
    }
    }
    p.restore();

    // A soft glow around the head.
    QRadialGradient glow(head, 95 * unit);
    glow.setColorAt(0, QColor(255, 255, 255, 170));
    glow.setColorAt(0.6, QColor(255, 255, 255, 60));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, w, h), glow);

    if (picture == 2 || picture == 4) {
        // Confetti.
        const std::array<QColor, 6> colours = {QColor(0xff, 0x5f, 0x86), QColor(0x4d, 0x9d, 0xf0), QColor(0xff, 0xc9, 0x2e),
                                               QColor(0x45, 0xc0, 0x7a), QColor(0xa8, 0x6a, 0xe8), QColor(0xff, 0x8a, 0x3d)};
        Dice bits(static_cast<unsigned>(picture * 97 + static_cast<int>(g.motif)));
        for (int i = 0; i < 46; ++i) {
            const QPointF at(bits.range(0, w), bits.range(0, h * 0.78));
            p.save();
            p.translate(at);
            p.rotate(bits.range(0, 180));
            p.setPen(Qt::NoPen);
            p.setBrush(colours[static_cast<size_t>(i) % colours.size()]);
            if (i % 3 == 0)
                p.drawEllipse(QPointF(0, 0), 2.2 * unit, 2.2 * unit);
            else
                p.drawRect(QRectF(-3 * unit, -1.3 * unit, 6 * unit, 2.6 * unit));
            p.restore();
        }
    }
}

// ---- hair ---------------------------------------------------------------------

QPainterPath backHair(const Girl &g)
{
    QPainterPath p;
    switch (g.style) {
    case HairStyle::LongStraight:
        p.moveTo(-60, -40);
        p.cubicTo(-70, -96, -36, -112, 0, -112);
        p.cubicTo(36, -112, 70, -96, 60, -40);
        p.cubicTo(66, 40, 78, 120, 84, 200);
        p.lineTo(-84, 200);
        p.cubicTo(-78, 120, -66, 40, -60, -40);
        break;
    case HairStyle::Bob:
        p.moveTo(-62, -40);
        p.cubicTo(-72, -98, -36, -112, 0, -112);
        p.cubicTo(36, -112, 72, -98, 62, -40);
        p.cubicTo(70, 0, 74, 30, 64, 52);
        p.cubicTo(50, 62, 30, 56, 20, 50);
        p.lineTo(-20, 50);
        p.cubicTo(-30, 56, -50, 62, -64, 52);
        p.cubicTo(-74, 30, -70, 0, -62, -40);
        break;
    default:
        p.moveTo(-60, -40);
        p.cubicTo(-70, -96, -36, -112, 0, -112);
        p.cubicTo(36, -112, 70, -96, 60, -40);
        p.cubicTo(64, 0, 64, 26, 60, 46);
        p.lineTo(52, 30);
        p.lineTo(46, 44);
        p.lineTo(-46, 44);
        p.lineTo(-52, 30);
        p.lineTo(-60, 46);
        p.cubicTo(-64, 26, -64, 0, -60, -40);
        break;
    }
    p.closeSubpath();
    return p;
}

QPainterPath twinTail(double side)
{
    // A tail hanging from the ribbon, widening and curling outwards.
    QPainterPath p;
    p.moveTo(side * 52, -70);
    p.cubicTo(side * 100, -70, side * 112, -10, side * 100, 50);
    p.cubicTo(side * 92, 90, side * 100, 120, side * 112, 150);
    p.cubicTo(side * 84, 138, side * 72, 100, side * 76, 50);
    p.cubicTo(side * 80, 0, side * 74, -40, side * 52, -50);
    p.closeSubpath();
    return p;
}

QPainterPath ponytail()
{
    QPainterPath p;
    p.moveTo(34, -104);
    p.cubicTo(90, -124, 122, -70, 108, -10);
    p.cubicTo(100, 30, 108, 60, 122, 90);
    p.cubicTo(96, 80, 82, 40, 86, -6);
    p.cubicTo(90, -50, 72, -80, 40, -84);
    p.closeSubpath();
    return p;
}

QPainterPath fringe(const Girl &g)
{
    // Crown of the head, then the fringe's strands from right to left.
    QPainterPath p;
    p.moveTo(-61, -30);
    p.cubicTo(-68, -92, -36, -110, 0, -110);
    p.cubicTo(36, -110, 68, -92, 61, -30);
    struct P { double x, y; };
    std::vector<P> edge;
    switch (g.style) {
    case HairStyle::LongStraight:  // a neat straight-cut fringe
        edge = {{54, -10}, {46, -30}, {38, -16}, {30, -34}, {20, -20}, {12, -36}, {2, -19}, {-8, -36},
                {-18, -20}, {-28, -34}, {-36, -17}, {-46, -30}, {-54, -10}};
        break;
    case HairStyle::Bob:  // swept to one side
        edge = {{56, -6}, {48, -40}, {40, -18}, {30, -50}, {16, -22}, {6, -52}, {-10, -28}, {-18, -54},
                {-34, -26}, {-42, -48}, {-56, -8}};
        break;
    case HairStyle::Ponytail:
        edge = {{54, -12}, {46, -44}, {36, -22}, {26, -52}, {12, -18}, {2, -50}, {-14, -24}, {-22, -50},
                {-36, -20}, {-44, -44}, {-55, -12}};
        break;
    default:
        edge = {{53, -12}, {45, -44}, {34, -20}, {24, -50}, {12, -16}, {2, -50}, {-9, -18}, {-20, -48},
                {-32, -20}, {-42, -44}, {-53, -10}};
        break;
    }
    QPointF prev(61, -30);
    for (const P &pt : edge) {
        const QPointF to(pt.x, pt.y);
        // Strands bend slightly towards the face's centre line.
        const QPointF mid = (prev + to) / 2.0 + QPointF(pt.x > 0 ? -3 : 3, 2);
        p.quadTo(mid, to);
        prev = to;
    }
    p.quadTo(QPointF(-58, -20), QPointF(-61, -30));
    p.closeSubpath();
    return p;
}

QPainterPath sideLock(const Girl &g, double side)
{
    double length = 44;
    switch (g.style) {
    case HairStyle::LongStraight: length = 120; break;
    case HairStyle::Bob: length = 48; break;
    case HairStyle::Ponytail: length = 34; break;
    default: length = 40; break;
    }
    QPainterPath p;
    p.moveTo(side * 62, -44);
    p.cubicTo(side * 66, 0, side * 62, length * 0.6, side * 50, length);
    p.cubicTo(side * 50, length * 0.6, side * 46, 10, side * 42, -26);
    p.closeSubpath();
    return p;
}

void fillHair(QPainter &p, const Girl &g, const QPainterPath &shape, double top, double bottom)
{
    QLinearGradient grad(0, top, 0, bottom);
    grad.setColorAt(0, g.hairLight);
    grad.setColorAt(0.35, g.hair);
    grad.setColorAt(1, g.hair.darker(118));
    p.setPen(outline(g.hairDark, 1.8));
    p.setBrush(grad);
    p.drawPath(shape);
}

void paintHairShine(QPainter &p, const QPainterPath &front)
{
    // The glossy "ring" across the crown.
    p.save();
    p.setClipPath(front);
    QPainterPath ring;
    ring.moveTo(-60, -72);
    ring.cubicTo(-30, -92, 30, -92, 60, -72);
    for (int i = 0; i <= 10; ++i) {
        const double x = 60 - i * 12;
        const double y = -64 + ((i % 2) ? 7 : 0) - (1 - std::abs(x) / 60) * 18;
        ring.lineTo(x, y);
    }
    ring.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 95));
    p.drawPath(ring);
    p.restore();
}

void paintStrandLines(QPainter &p, const Girl &g, const QPainterPath &front)
{
    p.save();
    p.setClipPath(front);
    p.setPen(outline(QColor(g.hairDark.red(), g.hairDark.green(), g.hairDark.blue(), 130), 1.1));
    p.setBrush(Qt::NoBrush);
    for (double x : {-40.0, -22.0, -4.0, 16.0, 34.0}) {
        QPainterPath s;
        s.moveTo(x * 0.5, -96);
        s.quadTo(x * 0.95, -70, x, -34);
        p.drawPath(s);
    }
    p.restore();
}

// ---- body -----------------------------------------------------------------------

void paintBody(QPainter &p, const Girl &g)
{
    // Neck with the chin's shadow.
    QPainterPath neck;
    neck.moveTo(-14, 40);
    neck.lineTo(-16, 100);
    neck.lineTo(16, 100);
    neck.lineTo(14, 40);
    neck.closeSubpath();
    p.setPen(outline(kSkinLine, 1.4));
    p.setBrush(kSkin);
    p.drawPath(neck);
    QPainterPath shade;
    shade.moveTo(-15, 50);
    shade.cubicTo(-6, 66, 6, 66, 15, 50);
    shade.lineTo(15, 42);
    shade.lineTo(-15, 42);
    shade.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kSkinShade);
    p.drawPath(shade);

    QPainterPath torso;
    torso.moveTo(-17, 86);
    torso.cubicTo(-44, 90, -84, 96, -96, 124);
    torso.lineTo(-112, 260);
    torso.lineTo(112, 260);
    torso.lineTo(96, 124);
    torso.cubicTo(84, 96, 44, 90, 17, 86);
    torso.closeSubpath();

    const QColor lineCol = g.cloth.darker(170);
    switch (g.outfit) {
    case Outfit::Sailor: {
        p.setPen(outline(QColor(0x7a, 0x80, 0x9a), 1.6));
        p.setBrush(vertical(86, 200, Qt::white, QColor(0xe6, 0xea, 0xf4)));
        p.drawPath(torso);
        // Square sailor collar with two white lines.
        QPainterPath collar;
        collar.moveTo(-17, 86);
        collar.cubicTo(-44, 90, -84, 96, -96, 124);
        collar.lineTo(-70, 150);
        collar.lineTo(0, 150);
        collar.lineTo(70, 150);
        collar.lineTo(96, 124);
        collar.cubicTo(84, 96, 44, 90, 17, 86);
        collar.lineTo(0, 140);
        collar.closeSubpath();
        p.setPen(outline(lineCol, 1.6));
        p.setBrush(g.cloth);
        p.drawPath(collar);
        p.setPen(outline(QColor(255, 255, 255, 230), 2.2));
        p.setBrush(Qt::NoBrush);
        for (double inset : {6.0, 11.0}) {
            QPainterPath stripe;
            stripe.moveTo(-88 + inset * 0.3, 124 + inset * 0.2);
            stripe.lineTo(-66 + inset * 0.4, 146 - inset);
            stripe.moveTo(88 - inset * 0.3, 124 + inset * 0.2);
            stripe.lineTo(66 - inset * 0.4, 146 - inset);
            p.drawPath(stripe);
        }
        // Scarf knot and tails.
        QPainterPath scarf;
        scarf.moveTo(-20, 132);
        scarf.lineTo(20, 132);
        scarf.lineTo(30, 178);
        scarf.lineTo(10, 168);
        scarf.lineTo(0, 150);
        scarf.lineTo(-10, 168);
        scarf.lineTo(-30, 178);
        scarf.closeSubpath();
        p.setPen(outline(g.clothTrim.darker(150), 1.5));
        p.setBrush(g.clothTrim);
        p.drawPath(scarf);
        p.drawEllipse(QPointF(0, 136), 9, 7);
        break;
    }
    case Outfit::Cardigan: {
        p.setPen(outline(QColor(0xb0, 0x9a, 0x70), 1.6));
        p.setBrush(vertical(86, 200, g.cloth, g.cloth.darker(110)));
        p.drawPath(torso);
        // Blouse showing in the cardigan's V.
        QPainterPath blouse;
        blouse.moveTo(-17, 86);
        blouse.lineTo(-34, 96);
        blouse.lineTo(0, 180);
        blouse.lineTo(34, 96);
        blouse.lineTo(17, 86);
        blouse.closeSubpath();
        p.setPen(outline(QColor(0x9a, 0xa4, 0xb8), 1.4));
        p.setBrush(Qt::white);
        p.drawPath(blouse);
        // Round collar.
        for (double side : {-1.0, 1.0}) {
            QPainterPath c;
            c.moveTo(side * 2, 100);
            c.cubicTo(side * 10, 112, side * 30, 112, side * 34, 96);
            c.lineTo(side * 17, 86);
            c.closeSubpath();
            p.drawPath(c);
        }
        // Ribbon tie.
        p.setPen(outline(g.clothTrim.darker(150), 1.4));
        p.setBrush(g.clothTrim);
        QPainterPath bow;
        bow.moveTo(0, 106);
        bow.lineTo(-18, 98);
        bow.lineTo(-18, 116);
        bow.closeSubpath();
        bow.moveTo(0, 106);
        bow.lineTo(18, 98);
        bow.lineTo(18, 116);
        bow.closeSubpath();
        p.drawPath(bow);
        p.drawEllipse(QPointF(0, 106), 5, 5);
        // Buttons.
        p.setBrush(QColor(0xb8, 0x8a, 0x4a));
        p.setPen(Qt::NoPen);
        for (double y : {150.0, 178.0})
            p.drawEllipse(QPointF(14 - (y - 150) * 0.15, y), 3.2, 3.2);
        break;
    }
    case Outfit::Jacket: {
        p.setPen(outline(lineCol, 1.6));
        p.setBrush(vertical(86, 200, g.cloth, g.cloth.darker(118)));
        p.drawPath(torso);
        // White T-shirt at the neck and the open zip.
        QPainterPath shirt;
        shirt.moveTo(-17, 86);
        shirt.cubicTo(-10, 100, 10, 100, 17, 86);
        shirt.lineTo(10, 200);
        shirt.lineTo(-10, 200);
        shirt.closeSubpath();
        p.setPen(outline(QColor(0x9a, 0xa4, 0xb8), 1.4));
        p.setBrush(Qt::white);
        p.drawPath(shirt);
        // Stand-up collar.
        for (double side : {-1.0, 1.0}) {
            QPainterPath c;
            c.moveTo(side * 16, 84);
            c.lineTo(side * 30, 80);
            c.lineTo(side * 36, 100);
            c.lineTo(side * 12, 120);
            c.closeSubpath();
            p.setPen(outline(lineCol, 1.4));
            p.setBrush(g.cloth.lighter(112));
            p.drawPath(c);
        }
        // Shoulder stripes.
        p.setPen(outline(g.clothTrim, 4.0));
        p.setBrush(Qt::NoBrush);
        for (double side : {-1.0, 1.0}) {
            QPainterPath s;
            s.moveTo(side * 42, 96);
            s.cubicTo(side * 70, 100, side * 88, 110, side * 100, 160);
            p.drawPath(s);
        }
        p.setPen(outline(QColor(0xc0, 0xc6, 0xd0), 2.0));
        p.drawLine(QPointF(-12, 122), QPointF(-11, 200));
        p.drawLine(QPointF(12, 122), QPointF(11, 200));
        break;
    }
    case Outfit::Blazer: {
        p.setPen(outline(lineCol, 1.6));
        p.setBrush(vertical(86, 200, g.cloth.lighter(115), g.cloth));
        p.drawPath(torso);
        QPainterPath shirt;
        shirt.moveTo(-17, 86);
        shirt.lineTo(-28, 96);
        shirt.lineTo(0, 170);
        shirt.lineTo(28, 96);
        shirt.lineTo(17, 86);
        shirt.closeSubpath();
        p.setPen(outline(QColor(0x9a, 0xa4, 0xb8), 1.4));
        p.setBrush(Qt::white);
        p.drawPath(shirt);
        // Lapels.
        for (double side : {-1.0, 1.0}) {
            QPainterPath l;
            l.moveTo(side * 28, 94);
            l.lineTo(side * 42, 104);
            l.lineTo(side * 34, 118);
            l.lineTo(side * 40, 124);
            l.lineTo(side * 4, 172);
            l.closeSubpath();
            p.setPen(outline(lineCol, 1.4));
            p.setBrush(g.cloth.lighter(135));
            p.drawPath(l);
        }
        // Bow and a gold button.
        p.setPen(outline(g.accent.darker(150), 1.4));
        p.setBrush(g.accent);
        QPainterPath bow;
        bow.moveTo(0, 102);
        bow.cubicTo(-10, 90, -24, 94, -20, 104);
        bow.cubicTo(-24, 114, -10, 116, 0, 102);
        bow.moveTo(0, 102);
        bow.cubicTo(10, 90, 24, 94, 20, 104);
        bow.cubicTo(24, 114, 10, 116, 0, 102);
        p.drawPath(bow);
        p.drawEllipse(QPointF(0, 102), 4.5, 4.5);
        p.setPen(outline(kGoldDark, 1.0));
        p.setBrush(kGold);
        p.drawEllipse(QPointF(6, 184), 4, 4);
        break;
    }
    }
}

// ---- face -----------------------------------------------------------------------

QPainterPath faceShape()
{
    QPainterPath p;
    p.moveTo(-51, -50);
    p.cubicTo(-53, -8, -50, 18, -38, 36);
    p.cubicTo(-26, 52, -10, 62, 0, 63);
    p.cubicTo(10, 62, 26, 52, 38, 36);
    p.cubicTo(50, 18, 53, -8, 51, -50);
    p.cubicTo(47, -100, -47, -100, -51, -50);
    p.closeSubpath();
    return p;
}

void paintFace(QPainter &p)
{
    // Ears peeking out under the hair.
    p.setPen(outline(kSkinLine, 1.4));
    p.setBrush(kSkin);
    p.drawEllipse(QPointF(-51, 8), 7, 11);
    p.drawEllipse(QPointF(51, 8), 7, 11);
    p.drawPath(faceShape());
}

void paintBlush(QPainter &p, double strength)
{
    for (double side : {-1.0, 1.0}) {
        const QPointF c(side * 32, 24);
        QRadialGradient g(c, 13);
        g.setColorAt(0, QColor(0xff, 0x88, 0x9c, static_cast<int>(150 * strength)));
        g.setColorAt(1, QColor(0xff, 0x88, 0x9c, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, 14, 8);
        p.setPen(outline(QColor(0xf0, 0x6a, 0x82, static_cast<int>(170 * strength)), 1.1));
        for (int i = -1; i <= 1; ++i)
            p.drawLine(c + QPointF(i * 5 + 2, -3), c + QPointF(i * 5 - 1, 3));
    }
}

// One open eye; `side` is -1 for the eye on the viewer's left.
void paintOpenEye(QPainter &p, const Girl &g, double side, bool proud)
{
    const QPointF centre(side * 24, 4);
    p.save();
    p.translate(centre);
    p.scale(-side, 1);  // local +x points to the inner corner
    // Local shape: inner corner at +x, outer corner at -x.
    QPainterPath white;
    white.moveTo(12, -4);
    white.cubicTo(8, -15, -8, -17, -15, -8);
    white.cubicTo(-16, 2, -12, 13, -2, 15);
    white.cubicTo(6, 16, 12, 8, 12, -4);
    white.closeSubpath();
    QPainterPath lid;  // everything above the lash line, when half-closed
    if (proud) {
        lid.moveTo(-20, -30);
        lid.lineTo(20, -30);
        lid.lineTo(20, -1);
        lid.cubicTo(6, -4, -6, -5, -20, -2);
        lid.closeSubpath();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(white);

    p.save();
    p.setClipPath(white);
    QLinearGradient iris(0, -12, 0, 16);
    iris.setColorAt(0, g.eyes.darker(190));
    iris.setColorAt(0.55, g.eyes);
    iris.setColorAt(1, g.eyes.lighter(150));
    p.setPen(outline(g.eyes.darker(220), 1.0));
    p.setBrush(iris);
    p.drawEllipse(QPointF(-1, 3), 10.5, 13.5);
    p.setPen(Qt::NoPen);
    p.setBrush(g.eyes.darker(260));
    p.drawEllipse(QPointF(-1, 4), 5, 7);
    // Shadow of the upper lid.
    p.setBrush(QColor(40, 20, 40, 60));
    p.drawEllipse(QPointF(0, -14), 20, 9);
    if (proud) {
        p.setBrush(kSkin);
        p.drawPath(lid);
    }
    p.restore();

    // Upper lash line with its flick at the outer corner.
    QPainterPath lash;
    const double dy = proud ? 9 : 0;
    lash.moveTo(13, -3 + dy * 0.2);
    lash.cubicTo(8, -17 + dy, -8, -19 + dy, -16, -9 + dy * 0.4);
    lash.lineTo(-21, -13 + dy * 0.4);
    lash.lineTo(-17, -5 + dy * 0.4);
    lash.cubicTo(-9, -14.5 + dy, 7, -13.5 + dy, 12, -1 + dy * 0.2);
    lash.closeSubpath();
    p.setPen(outline(kLash, 1.4));
    p.setBrush(kLash);
    p.drawPath(lash);
    p.setPen(outline(QColor(0x6b, 0x3a, 0x36), 1.3));
    p.setBrush(Qt::NoBrush);
    QPainterPath lower;
    lower.moveTo(-11, 11);
    lower.quadTo(-6, 16, 1, 16);
    p.drawPath(lower);
    p.restore();

    // Highlights keep one light direction on both eyes.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const double hy = proud ? 3 : 0;
    p.drawEllipse(centre + QPointF(-4 + side * 1, -4 + hy), 4.2, 4.6);
    p.drawEllipse(centre + QPointF(4 + side * 1, 9), 2.1, 2.1);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(centre + QPointF(1 + side * 1, 12), 5, 2.2);
}

void paintClosedEye(QPainter &p, double side)
{
    const QPointF c(side * 24, 6);
    QPainterPath arc;
    arc.moveTo(c + QPointF(side * 15, 5));
    arc.cubicTo(c + QPointF(side * 9, -9), c + QPointF(-side * 6, -9), c + QPointF(-side * 12, 4));
    p.setPen(outline(kLash, 3.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.drawLine(c + QPointF(side * 15, 5), c + QPointF(side * 19, 2));
}

void paintBrows(QPainter &p, const Girl &g, double lift, bool wink)
{
    for (double side : {-1.0, 1.0}) {
        const double extra = (wink && side > 0) ? -2 : 0;
        QPainterPath b;
        b.moveTo(side * 12, -24 - lift + extra);
        b.quadTo(side * 24, -31 - lift * 1.3 + extra, side * 36, -26 - lift + extra);
        p.setPen(outline(g.hairDark, 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(b);
    }
}

void paintMouth(QPainter &p, Mouth mouth)
{
    const QColor line(0x86, 0x36, 0x3c);
    switch (mouth) {
    case Mouth::Smile: {
        QPainterPath m;
        m.moveTo(-8, 39);
        m.cubicTo(-4, 45, 4, 45, 8, 39);
        p.setPen(outline(line, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(m);
        break;
    }
    case Mouth::Open:
    case Mouth::Grin: {
        const bool grin = mouth == Mouth::Grin;
        const double half = grin ? 13 : 10;
        const double depth = grin ? 52 : 50;
        QPainterPath m;
        m.moveTo(-half, 37);
        m.cubicTo(-half * 0.4, 39.5, half * 0.4, 39.5, half, 37);
        m.cubicTo(half * 0.7, depth, -half * 0.7, depth, -half, 37);
        m.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kMouthInside);
        p.drawPath(m);
        p.save();
        p.setClipPath(m);
        p.setBrush(kTongue);
        p.drawEllipse(QPointF(0, depth - 2), half * 0.6, 6);
        if (grin) {
            // A little snaggle tooth.
            p.setBrush(Qt::white);
            QPainterPath fang;
            fang.moveTo(-8, 37);
            fang.lineTo(-2.5, 37);
            fang.lineTo(-5, 42.5);
            fang.closeSubpath();
            p.drawPath(fang);
        }
        p.restore();
        p.setPen(outline(line, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(m);
        break;
    }
    case Mouth::Cat: {
        QPainterPath m;
        m.moveTo(-10, 37);
        m.quadTo(-5, 45, 0, 39);
        m.quadTo(5, 45, 10, 37);
        p.setPen(outline(line, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(m);
        break;
    }
    }
}

// ---- accessories ---------------------------------------------------------------

void paintRibbon(QPainter &p, QPointF c, QColor colour, double scale, double tilt)
{
    p.save();
    p.translate(c);
    p.rotate(tilt);
    p.scale(scale, scale);
    p.setPen(outline(colour.darker(150), 1.6 / scale));
    p.setBrush(colour);
    for (double side : {-1.0, 1.0}) {
        QPainterPath loop;
        loop.moveTo(0, 0);
        loop.cubicTo(side * 8, -16, side * 26, -18, side * 24, -2);
        loop.cubicTo(side * 24, 12, side * 8, 12, 0, 0);
        loop.closeSubpath();
        p.drawPath(loop);
        QPainterPath tail;
        tail.moveTo(0, 0);
        tail.lineTo(side * 10, 24);
        tail.lineTo(side * 5, 21);
        tail.lineTo(side * 2, 26);
        tail.closeSubpath();
        p.drawPath(tail);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(QPointF(-13, -7), 5, 3);
    p.drawEllipse(QPointF(13, -7), 5, 3);
    p.setPen(outline(colour.darker(150), 1.6 / scale));
    p.setBrush(colour.lighter(110));
    p.drawEllipse(QPointF(0, 0), 5.5, 5.5);
    p.restore();
}

void paintAccessory(QPainter &p, const Girl &g, Eyes eyes)
{
    switch (g.accessory) {
    case Accessory::Ribbons:
        paintRibbon(p, QPointF(-56, -78), g.accent, 1.0, -20);
        paintRibbon(p, QPointF(56, -78), g.accent, 1.0, 20);
        break;
    case Accessory::Hairband: {
        QPainterPath band;
        band.moveTo(-62, -52);
        band.cubicTo(-62, -104, 62, -104, 62, -52);
        p.setPen(outline(QColor(0x9a, 0xa6, 0xc0), 10.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(band);
        p.setPen(outline(Qt::white, 8));
        p.drawPath(band);
        // A small blue flower on the band.
        p.setPen(outline(g.eyes.darker(140), 1.2));
        p.setBrush(g.eyes.lighter(140));
        p.drawPath(blossom(QPointF(-40, -88), 12));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xe0, 0x8a));
        p.drawEllipse(QPointF(-40, -88), 3, 3);
        break;
    }
    case Accessory::StarClip:
        p.setPen(outline(QColor(0xc8, 0x8a, 0x10), 1.5));
        p.setBrush(g.accent);
        p.drawPath(star(QPointF(40, -52), 12, 5.4, -80));
        p.setPen(outline(QColor(0xd8, 0x3a, 0x4a), 3.5));
        p.drawLine(QPointF(22, -62), QPointF(30, -70));
        p.setPen(outline(QColor(0x4a, 0x9a, 0xe8), 3.5));
        p.drawLine(QPointF(16, -58), QPointF(24, -66));
        break;
    case Accessory::Glasses: {
        // Round red frames; the lenses catch a little light.
        p.setPen(outline(g.accent, 2.6));
        p.setBrush(QColor(255, 255, 255, eyes == Eyes::Open ? 35 : 25));
        for (double side : {-1.0, 1.0})
            p.drawRoundedRect(QRectF(side * 24 - 19, -13, 38, 31), 12, 12);
        QPainterPath bridge;
        bridge.moveTo(-5, -2);
        bridge.quadTo(0, -6, 5, -2);
        p.setBrush(Qt::NoBrush);
        p.drawPath(bridge);
        p.drawLine(QPointF(-43, -4), QPointF(-52, -8));
        p.drawLine(QPointF(43, -4), QPointF(52, -8));
        p.setPen(outline(QColor(255, 255, 255, 190), 2.0));
        for (double side : {-1.0, 1.0})
            p.drawLine(QPointF(side * 24 + 6, -8), QPointF(side * 24 + 12, -2));
        break;
    }
    }
}

void paintScrunchie(QPainter &p, const Girl &g)
{
    p.setPen(outline(g.accent.darker(150), 1.4));
    p.setBrush(g.accent);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(48 + i * 2.5, -94 + i * 3.2), 7, 6);
}

// ---- poses --------------------------------------------------------------------

void paintSleeve(QPainter &p, const Girl &g, QPointF shoulder, QPointF wrist, double width)
{
    const QColor sleeve = g.outfit == Outfit::Sailor ? QColor(0xf2, 0xf4, 0xfa) : g.cloth;
    QPen edge = outline(sleeve.darker(150), width + 3);
    p.setPen(edge);
    p.drawLine(shoulder, wrist);
    p.setPen(outline(sleeve, width));
    p.drawLine(shoulder, wrist);
    if (g.outfit == Outfit::Sailor) {
        // Navy cuff.
        const QPointF dir = (wrist - shoulder) / std::hypot(wrist.x() - shoulder.x(), wrist.y() - shoulder.y());
        QPen cuff = outline(g.cloth, width);
        cuff.setCapStyle(Qt::FlatCap);
        p.setPen(cuff);
        p.drawLine(wrist - dir * 10, wrist + dir * 4);
    }
}

QPainterPath capsule(QPointF a, QPointF b, double r)
{
    QPainterPath p;
    const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
    const double angle = std::atan2(b.y() - a.y(), b.x() - a.x()) * 180 / std::numbers::pi;
    QPainterPath base;
    base.addRoundedRect(QRectF(-r, -r, len + 2 * r, 2 * r), r, r);
    QTransform t;
    t.translate(a.x(), a.y());
    t.rotate(angle);
    return t.map(base);
}

void paintVSign(QPainter &p, const Girl &g)
{
    paintSleeve(p, g, QPointF(96, 200), QPointF(84, 86), 26);
    p.save();
    p.translate(82, 62);
    p.rotate(12);
    p.setPen(outline(kSkinLine, 1.5));
    p.setBrush(kSkin);
    // Two raised fingers.
    p.drawPath(capsule(QPointF(-7, -8), QPointF(-15, -44), 5.6));
    p.drawPath(capsule(QPointF(5, -8), QPointF(12, -44), 5.6));
    // Fist with the curled fingers and the thumb across them.
    p.drawRoundedRect(QRectF(-16, -12, 32, 30), 11, 11);
    p.setPen(outline(kSkinLine, 1.2));
    p.drawLine(QPointF(-10, 6), QPointF(10, 6));
    QPainterPath thumb;
    thumb.moveTo(-15, 2);
    thumb.cubicTo(-6, -2, 4, 0, 8, 4);
    p.drawPath(thumb);
    p.restore();
}

void paintClap(QPainter &p, const Girl &g)
{
    // Forearms rising from below the picture to hands clapping beside the chin.
    paintSleeve(p, g, QPointF(-34, 214), QPointF(24, 112), 24);
    paintSleeve(p, g, QPointF(98, 214), QPointF(52, 112), 24);
    p.save();
    p.translate(40, 84);
    p.rotate(12);
    p.scale(0.92, 0.92);
    p.setPen(outline(kSkinLine, 1.5));
    p.setBrush(kSkin);
    // Two palms pressed together, fingers up.
    for (double side : {-1.0, 1.0}) {
        QPainterPath palm;
        palm.moveTo(0, 26);
        palm.cubicTo(side * 19, 26, side * 18, 4, side * 14, -10);
        palm.cubicTo(side * 12, -28, side * 4, -34, 0, -30);
        palm.closeSubpath();
        p.drawPath(palm);
    }
    p.setPen(outline(kSkinLine, 1.0));
    p.drawLine(QPointF(-6, -18), QPointF(-8, -4));
    p.drawLine(QPointF(6, -18), QPointF(8, -4));
    p.restore();
    // Clapping marks to the side of the hands.
    p.setPen(outline(QColor(0xff, 0x9a, 0x1f), 2.8));
    const QPointF c(44, 70);
    for (int i = 0; i < 3; ++i) {
        const double a = (-55 + i * 30) * std::numbers::pi / 180;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(c + d * 28, c + d * 38);
    }
}

void paintTrophy(QPainter &p, const Girl &g)
{
    paintSleeve(p, g, QPointF(-80, 214), QPointF(-86, 104), 26);
    const QPointF at(-88, 22);
    // Cup.
    QPainterPath cup;
    cup.moveTo(at + QPointF(-26, -34));
    cup.lineTo(at + QPointF(26, -34));
    cup.cubicTo(at + QPointF(26, 0), at + QPointF(14, 14), at + QPointF(0, 16));
    cup.cubicTo(at + QPointF(-14, 14), at + QPointF(-26, 0), at + QPointF(-26, -34));
    cup.closeSubpath();
    p.setPen(outline(kGoldDark, 4.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at + QPointF(-29, -18), 10, 12);
    p.drawEllipse(at + QPointF(29, -18), 10, 12);
    QLinearGradient shine(at.x() - 26, 0, at.x() + 26, 0);
    shine.setColorAt(0, kGold.lighter(125));
    shine.setColorAt(0.35, QColor(0xff, 0xf0, 0xb0));
    shine.setColorAt(1, kGold.darker(115));
    p.setPen(outline(kGoldDark, 1.8));
    p.setBrush(shine);
    p.drawPath(cup);
    p.drawRect(QRectF(at.x() - 5, at.y() + 15, 10, 22));
    p.drawRoundedRect(QRectF(at.x() - 20, at.y() + 36, 40, 12), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(star(at + QPointF(0, -12), 10, 4.4));
    // The hand around the stem.
    p.setPen(outline(kSkinLine, 1.5));
    p.setBrush(kSkin);
    p.drawRoundedRect(QRectF(at.x() - 14, at.y() + 56, 28, 26), 10, 10);
    p.setPen(outline(kSkinLine, 1.1));
    for (double y : {64.0, 71.0})
        p.drawLine(QPointF(at.x() - 9, at.y() + y), QPointF(at.x() + 9, at.y() + y));
    p.setPen(outline(kGoldDark, 1.8));
    p.setBrush(kGold);
    p.drawRect(QRectF(at.x() - 5, at.y() + 48, 10, 9));
}

void paintSweat(QPainter &p)
{
    QPainterPath drop;
    const QPointF c(66, -34);
    drop.moveTo(c + QPointF(0, -14));
    drop.cubicTo(c + QPointF(6, -4), c + QPointF(9, 2), c + QPointF(9, 6));
    drop.cubicTo(c + QPointF(9, 12), c + QPointF(-9, 12), c + QPointF(-9, 6));
    drop.cubicTo(c + QPointF(-9, 2), c + QPointF(-6, -4), c + QPointF(0, -14));
    drop.closeSubpath();
    p.setPen(outline(QColor(0x4a, 0x8c, 0xd8), 1.5));
    p.setBrush(QColor(0xc6, 0xe6, 0xff));
    p.drawPath(drop);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c + QPointF(-3, 4), 2.2, 3);
}

void paintSparkles(QPainter &p, int picture)
{
    struct S { double x, y, r; };
    std::vector<S> spots;
    switch (picture) {
    case 2: spots = {{-84, -84, 9}, {-98, -40, 5}, {92, -96, 6}}; break;
    case 3: spots = {{-90, -70, 10}, {-100, -24, 6}, {60, -110, 7}, {118, -64, 5}}; break;
    case 4: spots = {{96, -92, 11}, {112, -40, 6}, {-118, -80, 7}, {-50, -104, 6}, {126, 10, 5}}; break;
    default: break;
    }
    for (const S &s : spots) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xd6, 0x3a));
        p.drawPath(sparkle(QPointF(s.x, s.y), s.r * 1.25));
        p.setBrush(Qt::white);
        p.drawPath(sparkle(QPointF(s.x, s.y), s.r * 0.7));
    }
}

// ---- the whole girl -------------------------------------------------------------

void paintGirl(QPainter &p, const Girl &g, const Expression &e, int picture)
{
    // Behind the head.
    if (g.style == HairStyle::TwinTails) {
        const QPainterPath left = twinTail(-1), right = twinTail(1);
        fillHair(p, g, left, -80, 150);
        fillHair(p, g, right, -80, 150);
    }
    if (g.style == HairStyle::Ponytail) {
        fillHair(p, g, ponytail(), -110, 90);
    }
    fillHair(p, g, backHair(g), -112, g.style == HairStyle::LongStraight ? 200 : 60);
    paintBody(p, g);
    if (g.style == HairStyle::LongStraight) {
        // Long hair falls over the shoulders in front.
        for (double side : {-1.0, 1.0}) {
            QPainterPath lock;
            lock.moveTo(side * 56, 20);
            lock.cubicTo(side * 64, 80, side * 72, 140, side * 80, 200);
            lock.lineTo(side * 60, 200);
            lock.cubicTo(side * 58, 140, side * 50, 80, side * 44, 40);
            lock.closeSubpath();
            fillHair(p, g, lock, 0, 200);
        }
    }

    paintFace(p);
    paintBlush(p, picture == 1 ? 0.8 : 1.0);
    // Nose.
    p.setPen(outline(QColor(0xd9, 0x93, 0x7c), 1.6));
    p.drawLine(QPointF(-1, 22), QPointF(1.5, 25));

    switch (e.eyes) {
    case Eyes::Open:
        paintOpenEye(p, g, -1, false);
        paintOpenEye(p, g, 1, false);
        break;
    case Eyes::Happy:
        paintClosedEye(p, -1);
        paintClosedEye(p, 1);
        break;
    case Eyes::Wink:
        paintOpenEye(p, g, -1, false);
        paintClosedEye(p, 1);
        break;
    case Eyes::Proud:
        paintOpenEye(p, g, -1, true);
        paintOpenEye(p, g, 1, true);
        break;
    }
    paintMouth(p, e.mouth);

    const QPainterPath front = fringe(g);
    fillHair(p, g, sideLock(g, -1), -44, 120);
    fillHair(p, g, sideLock(g, 1), -44, 120);
    fillHair(p, g, front, -110, -10);
    paintStrandLines(p, g, front);
    paintHairShine(p, front);
    paintBrows(p, g, e.browLift, e.eyes == Eyes::Wink);
    if (g.style == HairStyle::Ponytail)
        paintScrunchie(p, g);
    paintAccessory(p, g, e.eyes);

    switch (e.pose) {
    case Pose::Clap: paintClap(p, g); break;
    case Pose::VSign: paintVSign(p, g); break;
    case Pose::Trophy: paintTrophy(p, g); break;
    case Pose::None: break;
    }
    if (e.sweat)
        paintSweat(p);
    paintSparkles(p, picture);
}

}  // namespace

QImage drawPortrait(int member, int picture)
{
    const Girl g = girl(member);
    const Expression e = expression(picture);
    const bool play = picture == 1;
    const int w = play ? kPlayW : kStageSize;
    const int h = play ? kPlayH : kStageSize;
    QTransform toCanvas;
    if (play) {
        toCanvas.translate(90, 114);
        toCanvas.scale(0.9, 0.9);
    } else {
        toCanvas.translate(200, 160);
        toCanvas.scale(1.3, 1.3);
    }
    QImage img = canvas(w, h, Qt::white);
    QPainter p(&img);
    prepare(p);
    paintBackground(p, g, picture, QSizeF(w, h), toCanvas);
    p.setTransform(toCanvas);
    paintGirl(p, g, e, picture);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage drawFallbackPortrait(int width, int height, bool caption)
{
    QImage img = canvas(width, height, Qt::white);
    QPainter p(&img);
    prepare(p);
    p.fillRect(QRectF(0, 0, width, height),
               vertical(0, height, QColor(0xee, 0xf1, 0xf7), QColor(0xcf, 0xd8, 0xe6)));
    const double u = std::min(width / 180.0, height / 200.0);
    // Faint suits in the corners.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    const Suit suits[4] = {Suit::Spades, Suit::Hearts, Suit::Diamonds, Suit::Clubs};
    const QPointF corners[4] = {QPointF(18 * u, 18 * u), QPointF(width - 18 * u, 18 * u),
                                QPointF(18 * u, height - 18 * u), QPointF(width - 18 * u, height - 18 * u)};
    for (int i = 0; i < 4; ++i)
        p.drawPath(suitIn(suits[i], QRectF(corners[i].x() - 8 * u, corners[i].y() - 8 * u, 16 * u, 16 * u)));

    // Head-and-shoulders silhouette in a soft circle; on the match-end screen
    // the figure sits above the caption band.
    const double cx = width / 2.0;
    const double headY = caption ? height * 0.40 : height * 0.34;
    const double r = 30 * u * (caption ? 1.0 : 1.25);
    QRadialGradient halo(QPointF(cx, headY + r * 0.6), r * 3.0);
    halo.setColorAt(0, QColor(255, 255, 255, 220));
    halo.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(halo);
    p.drawEllipse(QPointF(cx, headY + r * 0.6), r * 3.0, r * 3.0);
    const QColor figure(0x9f, 0xae, 0xc6);
    p.setBrush(figure);
    QPainterPath shoulders;
    shoulders.moveTo(cx - r * 2.1, headY + r * 3.1);
    shoulders.cubicTo(cx - r * 2.1, headY + r * 1.5, cx - r * 1.2, headY + r * 1.2, cx, headY + r * 1.2);
    shoulders.cubicTo(cx + r * 1.2, headY + r * 1.2, cx + r * 2.1, headY + r * 1.5, cx + r * 2.1, headY + r * 3.1);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    p.setPen(QPen(QColor(0xee, 0xf1, 0xf7), 3 * u));
    p.drawEllipse(QPointF(cx, headY), r, r * 1.08);
    // A friendly face: closed smiling eyes and a smile.
    p.setPen(QPen(QColor(255, 255, 255, 235), 2.6 * u, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(cx - r * 0.55, headY - r * 0.2, r * 0.35, r * 0.3), 20 * 16, 140 * 16);
    p.drawArc(QRectF(cx + r * 0.2, headY - r * 0.2, r * 0.35, r * 0.3), 20 * 16, 140 * 16);
    p.drawArc(QRectF(cx - r * 0.35, headY + r * 0.1, r * 0.7, r * 0.45), 200 * 16, 140 * 16);

    if (caption) {
        const QRectF box(cx - 40 * u, height - 30 * u, 80 * u, 9 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x7d, 0x8c, 0xa6));
        p.drawPath(textIn(QStringLiteral("NO IMAGE"), sansFamily(), box));
    }
    p.setPen(QPen(QColor(0xb4, 0xc0, 0xd4), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, width - 2, height - 2));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace artgen
