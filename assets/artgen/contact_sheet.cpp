// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "contact_sheet.h"

#include "cards.h"
#include "extras.h"
#include "paint_kit.h"
#include "portraits.h"

#include <QFont>
#include <QPainter>

namespace artgen {

namespace {

constexpr int kSheetW = 1140;
constexpr int kMargin = 24;

void heading(QPainter &p, int y, const QString &text)
{
    QFont f(sansFamily());
    f.setPixelSize(20);
    p.setFont(f);
    p.setPen(QColor(0x33, 0x33, 0x40));
    p.drawText(QPointF(kMargin, y), text);
    p.setPen(QPen(QColor(0xc8, 0xc8, 0xd2), 1));
    p.drawLine(QPointF(kMargin, y + 8), QPointF(kSheetW - kMargin, y + 8));
}

void caption(QPainter &p, QPointF at, const QString &text)
{
    QFont f(sansFamily());
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(QColor(0x55, 0x55, 0x66));
    p.drawText(at, text);
}

QImage scaled(const QImage &img, int w, int h)
{
    return img.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

QImage drawContactSheet()
{
    const int height = 2860;
    QImage sheet = canvas(kSheetW, height, QColor(0xf6, 0xf5, 0xf2));
    QPainter p(&sheet);
    prepare(p);

    {
        QFont f(sansFamily());
        f.setPixelSize(30);
        p.setFont(f);
        p.setPen(QColor(0x1f, 0x5f, 0x3a));
        p.drawText(QPointF(kMargin, 46), QStringLiteral("Vantel  ７ならべ — default art"));
    }

    // Faces at their stored size, one suit per row, then the joker and backs.
    int y = 90;
    heading(p, y, QStringLiteral("Card faces 78 × 108 (stored size)"));
    y += 22;
    for (int suit = 0; suit < 4; ++suit) {
        for (int rank = 0; rank < 13; ++rank)
            p.drawImage(kMargin + rank * 84, y, drawCardFace(suit * 13 + rank + 1));
        y += 114;
    }
    p.drawImage(kMargin, y, drawCardFace(53));
    caption(p, QPointF(kMargin + 90, y + 60), QStringLiteral("← joker (53)"));
    int x = kMargin + 250;
    for (int seat = 1; seat <= 4; ++seat) {
        const QImage back = drawCardBack(seat);
        p.drawImage(x, y + (seat % 2 == 0 ? 16 : 0), back);
        caption(p, QPointF(x, y + 104), QStringLiteral("back %1").arg(seat));
        x += back.width() + 24;
    }
    // Seat 3's fanned row of backs, as at the table.
    for (int k = 12; k >= 0; --k)
        p.drawImage(x + 40 + k * 24, y + 10, drawCardBack(3));
    y += 140;

    // The table at its normal size: 49 x 65 cells on green, plus a hand.
    heading(p, y, QStringLiteral("At the table: shown at 49 × 65"));
    y += 24;
    const int cw = 49, ch = 65;
    const int left = (kSheetW - 13 * cw) / 2;
    p.fillRect(QRect(left, y, 13 * cw, 4 * ch), QColor(0, 128, 0));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 13; ++c)
            p.drawImage(left + c * cw, y + r * ch, scaled(drawCardFace(r * 13 + c + 1), cw, ch));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(left, y, 13 * cw, 4 * ch));
    y += 4 * ch + 20;
    const int hand[] = {1, 5, 7, 11, 13, 15, 20, 24, 29, 33, 38, 44, 52, 53};
    int hx = left + cw;
    for (int i = 0; i < 14; ++i) {
        p.drawImage(hx, y + (i == 6 || i == 8 ? 0 : 10), scaled(drawCardFace(hand[i]), cw, ch));
        hx += cw * 3 / 5;
    }
    y += 100;

    // Portraits.
    heading(p, y, QStringLiteral("Portraits gazou/shojoK_0M.jpg  (1: at play 180 × 240, 2–4: 400 × 400 shown at 240)"));
    y += 24;
    const QString names[4] = {QStringLiteral("あやや"), QStringLiteral("ゆうこ"), QStringLiteral("はるか"),
                              QStringLiteral("みさこ")};
    const QString roles[4] = {QStringLiteral("1 at play"), QStringLiteral("2 the user wins"),
                              QStringLiteral("3 a computer wins"), QStringLiteral("4 high score / ranking")};
    for (int m = 1; m <= 4; ++m) {
        int px = kMargin;
        for (int pic = 1; pic <= 4; ++pic) {
            const QImage portrait = drawPortrait(m, pic);
            const QImage shown = pic == 1 ? portrait : scaled(portrait, 240, 240);
            p.drawImage(px, y, shown);
            caption(p, QPointF(px, y + 258), QStringLiteral("%1  shojo%2_0%3  %4").arg(names[m - 1]).arg(m).arg(pic).arg(roles[pic - 1]));
            px += shown.width() + 24;
        }
        y += 276;
    }
    y += 20;

    // Stand-ins, Picture1 and the icon.
    heading(p, y, QStringLiteral("Fallback portraits, Picture1, icon"));
    y += 24;
    p.drawImage(kMargin, y, drawFallbackPortrait(180, 200, true));
    caption(p, QPointF(kMargin, y + 258), QStringLiteral("member grid 180 × 200"));
    p.drawImage(kMargin + 204, y, drawFallbackPortrait(kPlayW, kPlayH, true));
    caption(p, QPointF(kMargin + 204, y + 258), QStringLiteral("speech 180 × 240"));
    p.drawImage(kMargin + 408, y, scaled(drawFallbackPortrait(kStageSize, kStageSize, false), 240, 240));
    caption(p, QPointF(kMargin + 408, y + 258), QStringLiteral("match end 400 × 400"));
    p.drawImage(kMargin + 672, y + 60, drawPicture1());
    p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 1, Qt::DashLine));
    p.drawRect(QRect(kMargin + 671, y + 59, 401, 101));
    caption(p, QPointF(kMargin + 672, y + 180), QStringLiteral("Picture1 400 × 100 black"));
    y += 290;
    x = kMargin;
    for (int size : {256, 128, 64, 48, 32, 24, 16}) {
        p.drawImage(x, y + 256 - size, drawIcon(size));
        x += size + 20;
    }
    caption(p, QPointF(kMargin, y + 276), QStringLiteral("icon 256 / 128 / 64 / 48 / 32 / 24 / 16"));
    p.end();
    return sheet;
}

}  // namespace artgen
