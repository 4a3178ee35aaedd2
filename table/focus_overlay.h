// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The focus frame of the user's hand, drawn above the fan. In the fan each
// card lies under the next, so a frame inside the focused card would be
// half covered; this one rings the card from outside, over every picture,
// and keeps clear of the corner indices of the cards beside it.
#pragma once

#include <QPointer>
#include <QWidget>

namespace vantel {

class FocusOverlay : public QWidget {
    Q_OBJECT
public:
    // The band around the card: amber between two black edges of a pixel,
    // so that it shows on the green felt, the white card and the page alike.
    static constexpr int kRing = 3;
    static constexpr int kBand = kRing + 2;

    explicit FocusOverlay(QWidget* surface);

    // Rings `target` (a picture on the same surface), or nothing.
    void follow(QWidget* target);
    QWidget* target() const { return target_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QPointer<QWidget> target_;
};

}  // namespace vantel
