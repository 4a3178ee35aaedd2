// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The local table in a window: one person at seat 1 against three
// computers. The engine drives a Table and shows seat 1's events through
// its TableView: every card flies, every line is said and every pause is
// waited, in the order the table tells them.
//
// Entry points mirror the window's events; each returns once it is the
// user's turn again or the match is over. The view's pauses and flights
// let window events run in between.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "game/layout.h"
#include "game/random.h"
#include "game/round_state.h"
#include "game/search/knowledge.h"
#include "game/search/move_search.h"
#include "game/strategy.h"
#include "game/seat_view.h"
#include "game/table.h"
#include "game/table_view.h"
#include "game/match_play.h"

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
    int userTurnSerial() const { return userTurnSerial_; }

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

    // The window is going away in the middle of play: every entry point
    // that is running returns as soon as control comes back to the engine.
    void abandon() { abandoned_ = true; }
    bool abandoned() const { return abandoned_; }

    // True while the engine waits for the user's card, PASS or DROP.
    bool awaitingUser() const;
    bool isEnabled(Control control) const { return controls_[static_cast<int>(control)]; }
    // Whether the user's card picture `index` takes clicks this turn.
    bool isClickable(int index) const;
    // The caption of a seat's pass label ("★★", "1番").
    const std::string& passCaption(int seat) const { return passCaption_[seat]; }

    // The whole truth of the round, for tests and the simulator.
    const RoundState& round() const { return table_.round(); }
    // Direct access for tests that build table situations by hand.
    RoundState& roundState() { return table_.roundState(); }
    const MatchPlay& match() const { return match_; }
    const Table& table() const { return table_; }
    // What seat 1 has been shown.
    const SeatView& seen() const { return seen_; }

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
    void show(const TableEvent& event);
    void takeMove(const TurnMove& move);

    void shokika(const TableEvent& event);
    void showDeal();
    void seiretu();
    void prepareUserTurn(const TableEvent& event);
    void serifuRtn(int seat, int kbn, int juni);
    void roundEndMusic();
    void kekka(const TableEvent& event);
    void askAgain();

    void setPassCaption(int seat, std::string text);
    void setControl(Control control, bool enabled);
    void movePicture(int index, Point to);
    void raisePicture(int index);
    // Where the grid stands now: the window lays the table out again when it
    // is resized, so every move asks rather than keeping a copy.
    TableGeometry geometry() const;
    // Checked after every call that lets window events run: unwinds the
    // running entry point when the window was closed meanwhile.
    void checkAbandoned() const;
    void pause(int milliseconds);
    void processEvents();

    MatchPlay& match_;
    TableView& view_;
    Table table_;
    SeatView seen_;
    int userTurnSerial_ = 0;
    std::array<bool, 6> controls_{};
    std::array<bool, 54> clickable_{};
    std::array<std::string, 5> passCaption_{};
    bool infoShown_ = false;
    bool abandoned_ = false;
    // The kind of the last event shown, and whether a round's totals are on
    // the labels already (a streak bonus waits for the next round).
    EventKind lastShown_ = EventKind::MatchClosed;
    bool totalsShown_ = false;
};

}  // namespace vantel
