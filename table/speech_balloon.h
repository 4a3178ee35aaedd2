// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The speech window (frmSplash) at a seat's side of the table: where it
// stands, what it shows, and when it goes. It does not wait; the follower
// times how long it stays up.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

namespace vantel {

class FrmSplash;

// The speech window's outer frame for `seat` (1..4 at that seat's side;
// anything else in the middle), given the table's outer frame and how much
// the window system's frame adds to the speech window's client area. The
// client is 231 pixels wide; a seat's window is 4545 twips high outside,
// the middle one 1200. Places are reckoned in twips from the table's
// frame and rounded half to even.
QRect balloonRect(int seat, const QRect& tableFrame, const QSize& frameExtra);

class SpeechBalloon : public QObject {
    Q_OBJECT
public:
    // `window` is the speech window, owned by the table.
    explicit SpeechBalloon(FrmSplash& window, QObject* parent = nullptr);

    // Shows `text` (lines broken by CR LF) with the portrait `picture` at
    // `seat`'s side of `tableFrame`, on screen now, and tells a screen
    // reader what it says.
    void show(int seat, const QString& picture, const QString& text, const QRect& tableFrame);
    void hide();
    // True once the window system has taken it off the screen.
    bool gone() const;

private:
    // Places the window for the frame the window system gave it.
    void place();

    FrmSplash& window_;
    int seat_ = 0;
    QRect tableFrame_;
    // The window's own frame is known only once it has been shown: it is
    // placed again when the frame turns out different.
    QTimer replace_;
};

}  // namespace vantel
