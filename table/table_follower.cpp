// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/table_follower.h"

#include <QDebug>
#include <QThread>

namespace vantel {

namespace {
// The pause a flight asks for between its steps; a screen frame is longer.
constexpr int kMoveDelayMs = 1;
// How long a hidden speech window may take to leave the screen.
constexpr int kBalloonGoneMs = 300;
constexpr int kBalloonPollMs = 5;

int& topLevelSteps() {
    static int count = 0;
    return count;
}
int& nestedSteps() {
    static int count = 0;
    return count;
}
}  // namespace

int TableFollower::stepsAtTopLevel() { return topLevelSteps(); }
int TableFollower::stepsNested() { return nestedSteps(); }

TableFollower::TableFollower(SeatSource& source, const MatchPlay& match, FollowerHost& host, QObject* parent)
    : QObject(parent), source_(source), host_(host), presenter_(source.seat(), match, host.stage()) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TableFollower::fire);
    // A table held elsewhere tells its events as they come.
    source_.setArrivalHandler([this] { kick(); });
}

TableFollower::~TableFollower() {
    stop();
    source_.setArrivalHandler({});
}

// ---- what the window sends ------------------------------------------------------

void TableFollower::startMatch() {
    if (stopped_ || !isEnabled(Control::StartMenu)) return;
    if (!source_.startMatch()) return;
    kick();
}

void TableFollower::play(const TurnMove& move) {
    if (!awaitingMove()) return;
    switch (move.kind) {
        case TurnMove::Card:
            if (!isClickable(move.card)) return;
            break;
        case TurnMove::Pass:
            if (!isEnabled(Control::PassButton)) return;
            break;
        case TurnMove::Drop:
            if (!isEnabled(Control::DropButton)) return;
            break;
    }
    // The controls close before anything else happens.
    presenter_.moveSent(move);
    if (const std::optional<Refusal> refused = source_.send(move)) {
        qWarning("the table refused the move: %s", refusalCode(*refused).data());
    }
    kick();
}

void TableFollower::skip() {
    if (stopped_ || !isEnabled(Control::SkipMenu)) return;
    // The table holds the round where the window shows it: between two
    // steps the skip scores what the computers hold now; in the middle of
    // one it waits for the step's end.
    if (presenter_.busy() || flying_ || modalOpen_ || hold_.active()) {
        skipPending_ = true;
        return;
    }
    applySkip();
    kick();
}

void TableFollower::tick() {
    // A fixed pause holds the clock too.
    if (stopped_ || hold_.active()) return;
    const SeatSource::Streak s = source_.streak();
    presenter_.tick(s.roundOver, s.seat, s.count);
}

void TableFollower::resume() {
    if (stopped_ || !parked_) return;
    parked_ = false;
    timer_.start(0);
}

void TableFollower::stop() {
    stopped_ = true;
    timer_.stop();
    due_ = nullptr;
    hold_.cancel();
}

void TableFollower::fly(int picture, Point to) {
    if (!idle() || stopped_) return;
    perform(Wait::flight(picture, to));
}

// ---- what the window asks ----------------------------------------------------------

bool TableFollower::awaitingMove() const {
    return !stopped_ && source_.awaitsMove() && presenter_.awaitingMove();
}

bool TableFollower::idle() const {
    return stopped_ || (!timer_.isActive() && !parked_ && !modalOpen_ && !flying_ && !hold_.active() &&
                        !presenter_.busy());
}

std::optional<SeatKnowledge> TableFollower::knowledge() const {
    if (!awaitingMove()) return std::nullopt;
    return source_.knowledge();
}

// ---- the clock ---------------------------------------------------------------------

void TableFollower::kick() {
    if (stopped_ || timer_.isActive() || parked_ || modalOpen_ || flying_ || hold_.active()) return;
    after(0, [this] { pump(); });
}

void TableFollower::after(int ms, std::function<void()> then) {
    due_ = std::move(then);
    timer_.start(ms);
}

void TableFollower::fire() {
    if (stopped_ || !due_) return;
    // A window over the table holds it: what was due runs once it closes.
    if (host_.holding()) {
        parked_ = true;
        return;
    }
    const std::function<void()> then = std::move(due_);
    due_ = nullptr;
    then();
}

// ---- following ---------------------------------------------------------------------

void TableFollower::pump() {
    for (;;) {
        if (host_.holding()) {
            parked_ = true;
            due_ = [this] { pump(); };
            return;
        }
        // What is left of the events shown.
        if (presenter_.busy()) {
            if (const std::optional<Wait> wait = presenter_.next(); wait && perform(*wait)) return;
            continue;
        }
        if (const std::optional<SeatView> view = source_.snapshotAfter(presenter_.presentedSeq())) {
            presenter_.restore(*view);
            continue;
        }
        const std::vector<TableEvent> events = source_.eventsAfter(presenter_.presentedSeq());
        if (!events.empty()) {
            for (const TableEvent& event : events) presenter_.present(event);
            continue;
        }
        // The step is shown.
        if (skipPending_) {
            skipPending_ = false;
            applySkip();
            continue;
        }
        if (afterTurn_) {
            afterTurn_ = false;
            if (!source_.awaitsMove()) {
                // After a computer's turn the window is served before the
                // next step.
                after(0, [this] { pump(); });
                host_.probe("events");
                return;
            }
        }
        if (presenter_.awaitingMove()) {
            host_.turnOpened();
            return;
        }
        if (source_.awaitsMove()) return;
        afterTurn_ = presenter_.lastShown() == EventKind::TurnPause;
        countStep();
        if (!source_.advance()) return;
    }
}

bool TableFollower::perform(const Wait& wait) {
    switch (wait.kind) {
        case Wait::None:
            return false;
        case Wait::Pause:
            hold_.begin();
            // Tests may change the pace here, or leave.
            host_.probe("pause");
            if (!stopped_) after(scaledPause(wait.ms), [this] { endPause(); });
            return true;
        case Wait::Flight: {
            const Point from = host_.stage().picturePosition(wait.picture);
            const bool travels = !(from == wait.to);
            host_.flightBegins(wait.picture, travels);
            flightSteps_ = 0;
            if (!travels) return false;
            flight_ = {wait.picture, from, wait.to};
            pacer_ = std::make_unique<FlightPacer>(kMoveDelayMs, host_.tableScreen());
            flying_ = true;
            flyStep();
            return true;
        }
        case Wait::Speech:
            hold_.begin();
            host_.showBalloon(wait.seat, wait.text);
            after(scaledPause(wait.ms), [this] {
                host_.hideBalloon();
                balloonDown(0);
            });
            host_.probe("balloon");
            return true;
        case Wait::Results:
        case Wait::Ranking:
        case Wait::Screen:
        case Wait::Retry:
            modalOpen_ = true;
            host_.openModal(wait, [this, wait](bool answer) { modalClosed(wait, answer); });
            return true;
    }
    return false;
}

void TableFollower::flyStep() {
    flight_.at = nextFlightStep(flight_.at, flight_.to);
    host_.drawStep(flight_.picture, flight_.at);
    ++flightSteps_;
    pacer_->stepShown();
    if (flight_.at == flight_.to) {
        // Landed: the next act follows at once, as the next flight's first
        // step does.
        flying_ = false;
        after(0, [this] { pump(); });
        return;
    }
    after(pacer_->millisecondsLeft(), [this] { flyStep(); });
    host_.probe("step");
}

void TableFollower::endPause() {
    hold_.end();
    pump();
}

void TableFollower::balloonDown(int waitedMs) {
    // The window system takes the speech window off the screen before play
    // goes on.
    if (!host_.balloonGone() && waitedMs < kBalloonGoneMs) {
        after(kBalloonPollMs, [this, waitedMs] { balloonDown(waitedMs + kBalloonPollMs); });
        return;
    }
    hold_.end();
    pump();
}

void TableFollower::modalClosed(const Wait& wait, bool answer) {
    if (stopped_) return;
    modalOpen_ = false;
    if (wait.kind == Wait::Retry) {
        presenter_.retryAnswered(answer);
        if (answer) source_.startMatch();
    }
    after(0, [this] { pump(); });
}

void TableFollower::applySkip() {
    source_.skip();
    presenter_.skipped();
}

void TableFollower::countStep() {
    // The table steps only from the top of the event loop: never inside a
    // loop that some window runs of its own.
    const int level = QThread::currentThread()->loopLevel();
    Q_ASSERT(level <= 1);
    if (level > 1) {
        ++nestedSteps();
        qWarning("the table stepped inside a nested event loop (level %d)", level);
    } else if (level == 1) {
        ++topLevelSteps();
    }
}

}  // namespace vantel
