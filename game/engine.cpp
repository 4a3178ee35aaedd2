// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/engine.h"

namespace vantel {

namespace {
constexpr int kUser = 1;
constexpr int kMoveDelayMs = 1;
}  // namespace

Engine::Engine(MatchPlay& match, TableView& view, Random& random, GameObserver* observer)
    : match_(match), view_(view), table_(TableSetup::local(), &match, observer, &random),
      presenter_(kUser, match, view) {}

Engine::~Engine() = default;

void Engine::configureSearch(const MoveSearch::Settings& settings) { table_.configureSearch(settings); }

std::optional<SeatKnowledge> Engine::hintKnowledge() const {
    if (!awaitingUser()) return std::nullopt;
    return table_.knowledgeFor(kUser);
}

// ---- entry points ---------------------------------------------------------

void Engine::mnuKaisiClick() {
    if (!isEnabled(Control::StartMenu)) return;
    if (!table_.startMatch()) return;
    run();
}

void Engine::imgClick(int index) {
    if (!awaitingUser() || !isClickable(index)) return;
    takeMove({TurnMove::Card, index});
}

void Engine::cmdPassClick() {
    if (!awaitingUser() || !isEnabled(Control::PassButton)) return;
    takeMove({TurnMove::Pass, 0});
}

void Engine::cmdOutClick() {
    if (!awaitingUser() || !isEnabled(Control::DropButton)) return;
    takeMove({TurnMove::Drop, 0});
}

void Engine::mnuSkipClick() {
    if (!isEnabled(Control::SkipMenu)) return;
    // The table scores the computers now and the pictures go away at once;
    // the running entry point shows the rest. A round already complete only
    // has its pictures put away.
    table_.skip();
    presenter_.skipped();
}

void Engine::timerTick() {
    const RoundState& s = table_.round();
    presenter_.tick(s.roundOver == 1, s.streakSeat, s.streakCount);
}

bool Engine::awaitingUser() const { return table_.awaitedSeat() == kUser && presenter_.awaitingMove(); }

void Engine::playGame() {
    table_.resumeTurns();
    presenter_.resetTo(table_.snapshot(kUser));
    run();
}

void Engine::batle() {
    table_.resumeTurns();
    presenter_.resetTo(table_.snapshot(kUser));
    table_.batle();
    showPending();
}

// ---- following the table ------------------------------------------------------

void Engine::takeMove(const TurnMove& move) {
    presenter_.moveSent(move);
    if (table_.submit(kUser, move)) return;
    run();
}

void Engine::run() {
    for (;;) {
        showPending();
        if (table_.awaitedSeat() == kUser) return;
        const bool turn = presenter_.lastShown() == EventKind::TurnPause;
        if (!table_.step()) {
            showPending();
            return;
        }
        // After a computer's turn, commands (the skip) may arrive before
        // the next one.
        if (turn && table_.awaitedSeat() != kUser) {
            showPending();
            view_.processEvents();
        }
    }
}

void Engine::showPending() {
    // Events may be added while others are shown (a new match after the
    // retry question): take them until there are none left.
    for (;;) {
        const std::vector<TableEvent> events = table_.eventsFor(kUser, presenter_.presentedSeq());
        if (events.empty()) return;
        for (const TableEvent& event : events) presenter_.present(event);
        while (const std::optional<Wait> wait = presenter_.next()) perform(*wait);
    }
}

void Engine::perform(const Wait& wait) {
    switch (wait.kind) {
        case Wait::None: break;
        case Wait::Pause: view_.pause(wait.ms); break;
        case Wait::Flight: {
            const Point from = view_.picturePosition(wait.picture);
            view_.movePicture(wait.picture, from.x, from.y, wait.to.x, wait.to.y, kMoveDelayMs);
            break;
        }
        case Wait::Speech: view_.speak(wait.seat, wait.text, wait.ms); break;
        case Wait::Results: view_.showResults(); break;
        case Wait::Ranking: view_.recordMatch(); break;
        case Wait::Screen: view_.showMatchEndScreen(wait.screen); break;
        case Wait::Retry: {
            const bool again = view_.askRetry();
            presenter_.retryAnswered(again);
            if (again) table_.startMatch();
            break;
        }
    }
}

}  // namespace vantel
