// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One picture of the table (a card face, the joker or a card back): drawn
// stretched to its size, clickable only while enabled.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace vantel {

class CardPicture : public QWidget {
    Q_OBJECT
public:
    CardPicture(int index, const QPixmap& picture, QWidget* parent);

    int index() const { return index_; }
    const QPixmap& picture() const { return picture_; }

signals:
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
    QPixmap picture_;
    bool pressed_ = false;
};

}  // namespace vantel
