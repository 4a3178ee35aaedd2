// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's follower of one seat: it asks its source (the local table,
// or one held elsewhere) for the next step once it has shown the last, and
// performs each event at the game's pace: every step of a card's flight on
// a frame of its own, the fixed pauses and the spoken lines on timers (the
// player's clicks and keys wait meanwhile, see table/input_hold.h), the
// result table and the match-end screens window-modal. It opens the seat's
// controls when its turn comes and sends its move back.
//
// Nothing here runs in a nested event loop: every wait ends in a timer or a
// window's `finished`, back at the top of the event loop. Leaving is
// stopping: stop() (or destroying the follower) ends its timers, and
// nothing it started calls back.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "game/seat_presenter.h"
#include "game/seat_source.h"
#include "table/input_hold.h"
#include "table/pauses.h"

class QScreen;

namespace vantel {

// What the follower needs of the window beyond the stage.
class FollowerHost {
public:
    virtual ~FollowerHost() = default;

    virtual TableStage& stage() = 0;
    // A card's flight begins: the picture shows and, when it travels,
    // passes over the others.
    virtual void flightBegins(int picture, bool travels) = 0;
    // Moves the picture one step, to `at`, and puts the step on screen now.
    virtual void drawStep(int picture, Point at) = 0;
    // The screen the table is on, for the length of a frame.
    virtual const QScreen* tableScreen() const = 0;
    // The speech window at `seat` saying `text`.
    virtual void showBalloon(int seat, const std::string& text) = 0;
    virtual void hideBalloon() = 0;
    virtual bool balloonGone() const = 0;
    // Opens the modal window `wait` names over the table; `closed` runs once
    // it is closed, with the answer to a question (Yes: true).
    virtual void openModal(const Wait& wait, std::function<void(bool)> closed) = 0;
    // True while a window the player opened over the table holds it.
    virtual bool holding() const = 0;
    // The seat's turn is open: its controls take clicks now.
    virtual void turnOpened() = 0;
    // Tests watch the table here: "step" (a card's flight), "events"
    // (after a computer's turn), "balloon" (a spoken line on screen),
    // "pause" (a fixed pause has begun).
    virtual void probe(const char* where) = 0;
};

class TableFollower : public QObject {
    Q_OBJECT
public:
    // Neither the source, the match nor the host is owned; they outlive the
    // follower.
    TableFollower(SeatSource& source, const MatchPlay& match, FollowerHost& host, QObject* parent = nullptr);
    ~TableFollower() override;

    // ---- what the window sends ----
    // "ゲーム開始".
    void startMatch();
    // The seat's card, PASS or DROP; taken only while the turn is open and
    // the control it comes from takes clicks.
    void play(const TurnMove& move);
    // "ゲームスキップ": carried out between two steps.
    void skip();
    // The one-second timer.
    void tick();
    // A window that held the table has closed.
    void resume();
    // The window leaves: nothing more is shown, asked or sent.
    void stop();
    // A lone card's flight from where it stands to `to`, as a step flies
    // them; only while nothing else runs.
    void fly(int picture, Point to);

    // ---- what the window asks ----
    const SeatPresenter& presenter() const { return presenter_; }
    void setPresenterOptions(SeatPresenter::Options options) { presenter_.setOptions(std::move(options)); }
    bool isEnabled(Control control) const { return presenter_.isEnabled(control); }
    bool isClickable(int index) const { return presenter_.isClickable(index); }
    // True while the seat's turn is shown and open.
    bool awaitingMove() const;
    // True while nothing runs: the follower waits for a move or a command.
    bool idle() const;
    // True during a fixed pause or a spoken line.
    bool inFixedPause() const { return hold_.active(); }
    // What the seat knows at its open turn, for a hint.
    std::optional<SeatKnowledge> knowledge() const;
    // The steps of the last card's flight.
    int lastFlightSteps() const { return flightSteps_; }

    // Steps asked for at the top level of the event loop, and in a nested
    // one (which must never happen).
    static int stepsAtTopLevel();
    static int stepsNested();

private:
    void kick();
    void after(int ms, std::function<void()> then);
    void fire();
    void pump();
    // Starts the wait; false when there is nothing to wait for.
    bool perform(const Wait& wait);
    void flyStep();
    void endPause();
    void balloonDown(int waitedMs);
    void modalClosed(const Wait& wait, bool answer);
    void applySkip();
    void countStep();

    SeatSource& source_;
    FollowerHost& host_;
    SeatPresenter presenter_;
    InputHold hold_;
    QTimer timer_;
    std::function<void()> due_;
    bool stopped_ = false;
    bool modalOpen_ = false;
    // The timer fired while a window held the table: it fires again once
    // the window closes.
    bool parked_ = false;
    bool skipPending_ = false;
    bool afterTurn_ = false;
    bool flying_ = false;

    struct Flight {
        int picture = 0;
        Point at;
        Point to;
    };
    Flight flight_;
    std::unique_ptr<FlightPacer> pacer_;
    int flightSteps_ = 0;
};

}  // namespace vantel
