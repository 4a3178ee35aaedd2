// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// During the game's fixed pauses (the pause before a turn, a spoken line)
// the player's clicks and keys wait: they are taken as they arrive and
// handed on, in order, once the pause is over. Everything else (painting,
// the window system, timers) goes on, so the table repaints meanwhile.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QEvent;

namespace vantel {

class InputHold : public QObject {
    Q_OBJECT
public:
    explicit InputHold(QObject* parent = nullptr);
    ~InputHold() override;

    // Starts holding the application's input.
    void begin();
    // Stops holding it and sends what was held on to where it was going.
    void end();
    // Stops holding it and drops what was held (the window went away).
    void cancel();
    bool active() const { return active_; }
    // How many events are held now.
    size_t held() const { return held_.size(); }

    // Whether `type` is input that waits during a pause.
    static bool holds(int type);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    std::vector<Held> held_;
    bool active_ = false;
};

}  // namespace vantel
