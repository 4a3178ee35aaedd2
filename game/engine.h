// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The local table without a window: one person at seat 1 against three
// computers, for the simulator and the tests. The engine drives a Table and
// shows seat 1's events through a SeatPresenter on a TableView whose waits
// return at once: every card flies, every line is said and every pause is
// waited, in the order the table tells them, and nothing takes any time.
// (The window follows the table on timers instead: table/table_follower.h.)
//
// Entry points mirror the window's events; each returns once it is the
// user's turn again or the match is over.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "game/match_play.h"
#include "game/random.h"
#include "game/round_state.h"
#include "game/search/knowledge.h"
#include "game/search/move_search.h"
#include "game/seat_presenter.h"
#include "game/seat_view.h"
#include "game/table.h"
#include "game/table_view.h"

namespace vantel {

class GameObserver;

class Engine {
public:
    Engine(MatchPlay& match, TableView& view, Random& random, GameObserver* observer = nullptr);
    ~Engine();

    // How the computers that search think (at むずかしい): by default a
    // count of playouts at the turn itself; the table thinks by time, in the
    // background during the pause before the turn.
    void configureSearch(const MoveSearch::Settings& settings);
    const MoveSearch& search() const { return table_.search(); }

    // What the user's seat knows at the user's turn, for a hint; nothing
    // outside the user's turn.
    std::optional<SeatKnowledge> hintKnowledge() const;
    // Counts the user's turns: a hint worked out for one turn is for no other.
    int userTurnSerial() const { return presenter_.turnSerial(); }

    // "ゲーム開始": starts a round (and, at round 0, a match).
    void mnuKaisiClick();
    // A click on the picture of card `index` in the user's hand.
    void imgClick(int index);
    void cmdPassClick();
    void cmdOutClick();
    // "ゲームスキップ": once the user is out, ends the round at once.
    void mnuSkipClick();
    // The one-second timer: blinks the streak notice, keeps the music going.
    void timerTick();

    // True while the engine waits for the user's card, PASS or DROP.
    bool awaitingUser() const;
    bool isEnabled(Control control) const { return presenter_.isEnabled(control); }
    // Whether the user's card picture `index` takes clicks this turn.
    bool isClickable(int index) const { return presenter_.isClickable(index); }
    // The caption of a seat's pass label ("★★", "1番").
    const std::string& passCaption(int seat) const { return presenter_.passCaption(seat); }

    // The whole truth of the round, for tests and the simulator.
    const RoundState& round() const { return table_.round(); }
    // Direct access for tests that build table situations by hand.
    RoundState& roundState() { return table_.roundState(); }
    const MatchPlay& match() const { return match_; }
    const Table& table() const { return table_; }
    // What seat 1 has been shown.
    const SeatView& seen() const { return presenter_.seen(); }

    // Exposed for tests: the round's pieces run on their own. playGame
    // plays on until the user is to move or the round is over; batle plays
    // one turn.
    void playGame();
    void batle();

private:
    // Plays the table on, showing each of seat 1's events, until the user is
    // to move or nothing more happens.
    void run();
    void showPending();
    void perform(const Wait& wait);
    void takeMove(const TurnMove& move);

    MatchPlay& match_;
    TableView& view_;
    Table table_;
    SeatPresenter presenter_;
};

}  // namespace vantel
