// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/speech_balloon.h"

#include <QWindow>
#include <algorithm>

#include "game/layout.h"
#include "table/frm_splash.h"
#include "table/qt_text.h"

namespace vantel {

namespace {
constexpr int kClientWidth = 231;
int twipsToPixels(double twips) { return roundEven(twips / kTwipsPerPixel); }
}  // namespace

QRect balloonRect(int seat, const QRect& tableFrame, const QSize& frameExtra) {
    const double L = tableFrame.x() * double(kTwipsPerPixel), T = tableFrame.y() * double(kTwipsPerPixel);
    const double W = tableFrame.width() * double(kTwipsPerPixel), H = tableFrame.height() * double(kTwipsPerPixel);
    const bool atSeat = seat >= 1 && seat <= 4;
    const int clientHeight = std::max(1, twipsToPixels(atSeat ? 4545 : 1200) - frameExtra.height());
    const QSize outer = QSize(kClientWidth, clientHeight) + frameExtra;
    const double sW = outer.width() * double(kTwipsPerPixel), sH = outer.height() * double(kTwipsPerPixel);
    double left = 0, top = 0;
    switch (seat) {
        case 1: left = (L + W) / 2 - sW / 2 + 500; top = T + H - sH; break;
        case 2: left = L; top = (T + H) / 2 - 1000; break;
        case 3: left = (L + W) / 2 - sW / 2 + 500; top = T; break;
        case 4: left = L + W - sW; top = (T + H) / 2 - 1000; break;
        default: left = (L + W) / 2 - sW / 2; top = (T + H) / 2; break;
    }
    return QRect(QPoint(twipsToPixels(left), twipsToPixels(top)), outer);
}

SpeechBalloon::SpeechBalloon(FrmSplash& window, QObject* parent) : QObject(parent), window_(window) {
    replace_.setSingleShot(true);
    replace_.setInterval(20);
    connect(&replace_, &QTimer::timeout, this, [this] {
        if (!window_.isVisible()) return;
        const QSize extra = window_.frameGeometry().size() - window_.size();
        if (balloonRect(seat_, tableFrame_, extra) != window_.frameGeometry()) place();
        // The window manager frames a new window within moments; look once
        // more a little later.
        if (replace_.interval() < 200) {
            replace_.setInterval(replace_.interval() * 4);
            replace_.start();
        }
    });
}

void SpeechBalloon::place() {
    const QSize extra = window_.frameGeometry().size() - window_.size();
    const QRect outer = balloonRect(seat_, tableFrame_, extra);
    window_.resize(outer.size() - extra);
    window_.move(outer.topLeft());
}

void SpeechBalloon::show(int seat, const QString& picture, const QString& text, const QRect& tableFrame) {
    seat_ = seat;
    tableFrame_ = tableFrame;
    place();
    if (seat >= 1 && seat <= 4) {
        window_.showPortrait(picture);
        window_.setTextTop(256);
    } else {
        window_.clearPortrait();
        window_.setTextTop(20);
    }
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    window_.setText(lines);
    window_.show();
    // Some window systems frame the window as it is shown, others a little
    // later (the timer looks again).
    const QSize extra = window_.frameGeometry().size() - window_.size();
    if (balloonRect(seat_, tableFrame_, extra) != window_.frameGeometry()) place();
    window_.repaint();
    window_.announce();
    replace_.setInterval(20);
    replace_.start();
}

void SpeechBalloon::hide() {
    replace_.stop();
    window_.hide();
}

bool SpeechBalloon::gone() const { return !window_.windowHandle() || !window_.windowHandle()->isExposed(); }

}  // namespace vantel
