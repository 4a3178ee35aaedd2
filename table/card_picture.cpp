// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/card_picture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "table/accessibility.h"
#include "table/focus_frame.h"

namespace vantel {

CardPicture::CardPicture(int index, const QPixmap& picture, QWidget* parent)
    : QWidget(parent), index_(index), picture_(picture) {
    installAccessibility();
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setObjectName(QStringLiteral("img_%1").arg(index));
    // Not a stop of the Tab chain: the table moves the focus among the
    // playable cards with the arrow keys.
    setFocusPolicy(Qt::ClickFocus);
}

void CardPicture::activate() {
    if (isEnabled() && isVisible()) emit clicked(index_);
}

void CardPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The focus frame is drawn around the card, above the fan, by the table.
    painter.drawPixmap(rect(), picture_);
}

void CardPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

// A click is a press and a release on the same picture.
void CardPicture::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked(index_);
    }
}

void CardPicture::keyPressEvent(QKeyEvent* event) {
    if (isActivationKey(event)) {
        event->accept();
        activate();
        return;
    }
    // Arrows and the rest go to the table.
    event->ignore();
}

void CardPicture::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CardPicture::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

QString cardSpokenName(int index) {
    static const char* const kSuits[4] = {"ダイヤ", "クラブ", "ハート", "スペード"};
    static const char* const kRanks[13] = {"A", "2", "3", "4",  "5", "6", "7",
                                           "8", "9", "10", "J", "Q", "K"};
    if (index >= 1 && index <= 52) {
        return QString::fromUtf8(kSuits[(index - 1) / 13]) + QStringLiteral("の") +
               QString::fromUtf8(kRanks[(index - 1) % 13]);
    }
    if (index == 53) return QStringLiteral("ジョーカー");
    return QStringLiteral("裏向きのカード");
}

}  // namespace vantel
