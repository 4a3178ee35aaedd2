// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the windows show the keyboard focus: a bright amber ring edged in
// black, drawn inside the focused picture or button, so that it shows on
// light and dark pictures alike.
#pragma once

#include <QColor>
#include <QPushButton>
#include <vector>

class QKeyEvent;
class QPainter;
class QRect;

namespace vantel {

inline constexpr QColor kFocusRing{255, 190, 0};
inline constexpr QColor kFocusEdge{20, 20, 20};

// `ring` is the amber ring's width; the black edge is half of it.
void drawFocusFrame(QPainter& painter, const QRect& rect, int ring = 4);

// Enter, Return or Space with no modifier: the keys that act as a click on
// the focused picture.
bool isActivationKey(const QKeyEvent* event);

// The Tab chain of a window: moves the focus to the stop after (or before)
// `from` among `stops`, round from the last to the first, or to the first
// when `from` is none of them. False when there is no stop.
bool focusNextStop(const std::vector<QWidget*>& stops, QWidget* from, bool next);

// A push button that shows the focus frame while it has the focus.
class FocusButton : public QPushButton {
    Q_OBJECT
public:
    FocusButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vantel
