// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the three match-end screens share: a fixed 400 x 400 window that
// paints one persistent picture (a member's portrait, or the default one),
// a 400 x 100 band across it from row 300 darkened by the effects library,
// and a label with the screen's text on that band. A left click anywhere on
// the window closes it, and so do Enter, Space and Escape.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include "records/match_state.h"

class QLabel;

namespace vantel::matchend {

class MatchEndWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 400;
    static constexpr int kBandTop = 300;
    static constexpr int kBandWidth = 400;
    static constexpr int kBandHeight = 100;

    // The window's persistent picture as painted: kWidth x kHeight,
    // QImage::Format_RGB32.
    const QImage& picture() const { return picture_; }
    // The text as composed, lines separated by CR LF.
    const QString& caption() const { return caption_; }
    // The label that shows the caption on the band.
    const QLabel* label() const { return label_; }
    // The seat whose member the screen shows (0 when no seat qualified).
    int shownSeat() const { return shownSeat_; }
    // Whether the member's portrait file was loaded and is still shown
    // (false when the default portrait took its place).
    bool showsMemberPortrait() const { return showsMemberPortrait_; }
    // Whether the effects library drew the band (AlphaBlt returned 1).
    bool bandDrawn() const { return bandDrawn_; }

protected:
    // windowName is the window's object name, labelName its label's.
    MatchEndWindow(const char* windowName, const char* labelName, QWidget* parent);

    // Load steps, called by each screen's constructor in order.
    void setCaption(const QString& text);
    void appendCaption(const QString& text);
    // Loads picture `pictureIndex` of `seat`'s member and makes it the
    // window's picture; the default portrait when it cannot be loaded.
    void showPortrait(const MatchState& state, int seat, int pictureIndex);
    // Halves every colour byte of the band through AlphaBlt against the black
    // Picture1. Without the library or its entry point, the default portrait
    // is shown instead and the band stays undrawn.
    void drawBand();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Enter, Space and Escape go on as a click does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showDefaultPortrait();
    void fitLabelText();

    QImage image1_;    // the portrait as loaded
    QImage image2_;    // the default portrait stored with the window
    QImage picture1_;  // the all-black 400 x 100 blend source, 24 bits
    QImage picture_;   // what the window paints
    QLabel* label_ = nullptr;
    QString caption_;
    int shownSeat_ = 0;
    bool showsMemberPortrait_ = false;
    bool bandDrawn_ = false;
    bool pressed_ = false;
};

// Whether `seat` speaks the female line set (its sex is 1).
bool seatIsFemale(const MatchState& state, int seat);
// Line `line` (1..9) of `seat`'s line set: femaleLines when the seat's sex
// is 1, maleLines otherwise (also for a seat out of range).
QString seatLine(const MatchState& state, int seat, int line);
// seatName(seat), empty for a seat out of range.
QString seatNameOf(const MatchState& state, int seat);
// finalPlace(seat), 0 for a seat out of range.
int finalPlaceOf(const MatchState& state, int seat);
// breakAfterFullStop on a Qt string.
QString breakAfterFullStop(const QString& text);

}  // namespace vantel::matchend
