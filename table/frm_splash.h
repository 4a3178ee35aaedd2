// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The speech window: a small window without a caption that pops up on a
// seat's side of the table with the seat's portrait and what it says.
#pragma once

#include <QWidget>

class QLabel;

namespace vantel {

class FrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit FrmSplash(QWidget* owner);

    // Image1: the portrait of `picturePath`, or the stored default portrait
    // (Image2) when the file cannot be loaded.
    void showPortrait(const QString& picturePath);
    void clearPortrait();
    void setText(const QString& text);
    // Label1 top in pixels: 256 under a portrait, 20 without one.
    void setTextTop(int top);
    // The text shown, its lines joined, as a screen reader says it.
    QString spokenText() const;
    // Tells assistive technology that the window, now on screen, says
    // spokenText(), so that a screen reader reads it out at once.
    void announce();

    QLabel* image1() const { return image1_; }
    QLabel* label1() const { return label1_; }
    bool showsDefaultPortrait() const { return defaultShown_; }

protected:
    // The window never keeps the focus: a window system that makes it the
    // active window anyway gets the table back as the active one.
    bool event(QEvent* event) override;

private:
    QLabel* image1_;
    QLabel* label1_;
    bool defaultShown_ = false;
};

}  // namespace vantel
