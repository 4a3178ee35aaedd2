// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game engine of the table: a round from the deal to its end, the turns
// of the computer seats, the user's three answers (a card, PASS, DROP) and
// the end of a ten-round match.
//
// The engine draws nothing and never waits by itself: it tells its
// TableView what to show, when to pause and when to let window events run.
// Entry points mirror the window's events; each returns once it is the
// user's turn again or the match is over.
#pragma once

#include <array>
#include <string>

#include "game/layout.h"
#include "game/random.h"
#include "game/round_state.h"
#include "game/table_view.h"
#include "records/match_state.h"

namespace vantel {

class GameObserver;

class Engine {
public:
    Engine(MatchState& match, TableView& view, Random& random, GameObserver* observer = nullptr);

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

    const RoundState& round() const { return s_; }
    // Direct access for tests that build table situations by hand.
    RoundState& roundState() { return s_; }
    const MatchState& match() const { return match_; }

    // Exposed for tests: the round's pieces run on their own.
    void playGame();
    void batle();

private:
    enum class LandKind { Play, Forced, Lay };

    void startRound();
    void shokika();
    void deal();
    void showDeal();
    void laySevens();
    void seiretu();
    void prepareUserTurn();
    void computerTurn(int seat);
    void passTurn(int seat);
    // Lays every card the seat still holds, in slot order (a drop-out).
    void dropOut(int seat);
    void jokerPlay(int slot);
    void zahyoIdo(int slot, int card, LandKind kind);
    void land(int seat, int slot, int card, LandKind kind);
    void jyokerIdo(int gap);
    void tebanHenko(int gap);
    void keisan(int kbn);
    void serifuRtn(int kbn, int juni);
    void hosiDsp();
    void rensyo();
    void roundEnd();
    void kekka();

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

    MatchState& match_;
    TableView& view_;
    Random& random_;
    GameObserver* observer_;
    RoundState s_;
    std::array<bool, 4> controls_{};
    std::array<bool, 54> clickable_{};
    std::array<std::string, 5> passCaption_{};
    bool infoShown_ = false;
    bool abandoned_ = false;
};

}  // namespace vantel
