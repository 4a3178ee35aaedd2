// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One picture of the table (a card face, the joker or a card back): drawn
// stretched to its size, clickable only while enabled. An enabled picture
// takes the keyboard focus too (the table rings it with the focus frame),
// and Enter or Space acts as a click.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace vantel {

class CardPicture : public QWidget {
    Q_OBJECT
public:
    CardPicture(int index, const QPixmap& picture, QWidget* parent);

    int index() const { return index_; }
    const QPixmap& picture() const { return picture_; }
    // Does what a click does, when the picture takes clicks.
    void activate();

signals:
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int index_;
    QPixmap picture_;
    bool pressed_ = false;
};

// What a screen reader says for picture `index`: "ハートの7", "スペードのK",
// "ジョーカー", or "裏向きのカード" for a back.
QString cardSpokenName(int index);

}  // namespace vantel
