// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/focus_overlay.h"

#include <QEvent>
#include <QPainter>
#include <QRegion>

#include "table/focus_frame.h"

namespace vantel {

FocusOverlay::FocusOverlay(QWidget* surface) : QWidget(surface) {
    setObjectName(QStringLiteral("focusOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusOverlay::follow(QWidget* target) {
    if (target == target_) {
        place();
        return;
    }
    if (target_) target_->removeEventFilter(this);
    target_ = target;
    if (target_) target_->installEventFilter(this);
    place();
}

void FocusOverlay::place() {
    if (!target_ || !target_->isVisible() || target_->parentWidget() != parentWidget()) {
        hide();
        return;
    }
    setGeometry(target_->geometry().adjusted(-kBand, -kBand, kBand, kBand));
    // Only the band around the card is ours: the card itself stays as it is.
    setMask(QRegion(rect()) - QRegion(rect().adjusted(kBand, kBand, -kBand, -kBand)));
    show();
    raise();
    update();
}

bool FocusOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                place();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFocusEdge);
    const QRect amber = rect().adjusted(1, 1, -1, -1);
    painter.setClipRegion(QRegion(amber) - QRegion(amber.adjusted(kRing, kRing, -kRing, -kRing)));
    painter.fillRect(amber, kFocusRing);
}

}  // namespace vantel
