// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/input_hold.h"

#include <QCoreApplication>
#include <QEvent>

namespace vantel {

InputHold::InputHold(QObject* parent) : QObject(parent) {}

InputHold::~InputHold() {
    if (active_) QCoreApplication::instance()->removeEventFilter(this);
}

bool InputHold::holds(int type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
            return true;
        default:
            return false;
    }
}

void InputHold::begin() {
    if (active_) return;
    active_ = true;
    QCoreApplication::instance()->installEventFilter(this);
}

void InputHold::end() {
    if (!active_) return;
    active_ = false;
    QCoreApplication::instance()->removeEventFilter(this);
    // Posted, not sent: they arrive from the event loop as the player's own
    // would, after what is running now. A key posted to a widget still
    // tries the shortcuts first.
    for (Held& h : held_) {
        if (h.receiver) QCoreApplication::postEvent(h.receiver, h.event.release());
    }
    held_.clear();
}

void InputHold::cancel() {
    if (active_) QCoreApplication::instance()->removeEventFilter(this);
    active_ = false;
    held_.clear();
}

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // A key that would trigger a shortcut is taken as a plain key, and
        // then held: its shortcut fires when it is handed on.
        event->accept();
        return true;
    }
    if (!holds(event->type())) return false;
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
}

}  // namespace vantel
