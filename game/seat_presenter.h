// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How one seat's events look on the table: which pictures go where, which
// labels change, what is said and when the game waits. The presenter turns
// each event into a short script of acts; whoever performs it runs the acts
// in order and waits, after each, for what the act asks: a card's flight, a
// fixed pause, a spoken line, a modal window. The window performs the waits
// on timers (table/table_follower.h), the headless engine performs them at
// once (game/engine.h): both show the same thing in the same order.
//
// An act reads the stage and the seat's view when it runs, not when the
// event arrived: the window may have been laid out again in between.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "game/layout.h"
#include "game/match_play.h"
#include "game/seat_view.h"
#include "game/table_event.h"
#include "game/table_view.h"
#include "game/user_model.h"

namespace vantel {

// What the performer waits for before the next act.
struct Wait {
    enum Kind : uint8_t {
        None,     // nothing: the next act follows at once
        Pause,    // a fixed pause of `ms`: the game holds, input waits
        Flight,   // `picture` flies from where it stands to `to`, a step a frame
        Speech,   // `seat` says `text` in the speech balloon for `ms`
        Results,  // the result table (modal)
        Ranking,  // the match is recorded and the ranking shown (modal)
        Screen,   // the match-end screen `screen` (modal)
        Retry,    // "もう一度プレイしますか？"; the answer goes to retryAnswered
    };
    Kind kind = None;
    int ms = 0;
    int picture = 0;
    Point to;
    int seat = 0;
    std::string text;
    MatchEndScreen screen = MatchEndScreen::Announcement;

    static Wait of(Kind kind) {
        Wait w;
        w.kind = kind;
        return w;
    }
    static Wait pause(int ms) {
        Wait w = of(Pause);
        w.ms = ms;
        return w;
    }
    static Wait flight(int picture, Point to) {
        Wait w = of(Flight);
        w.picture = picture;
        w.to = to;
        return w;
    }
    static Wait speech(int seat, std::string text, int ms) {
        Wait w = of(Speech);
        w.seat = seat;
        w.text = std::move(text);
        w.ms = ms;
        return w;
    }
    static Wait matchEndScreen(MatchEndScreen screen) {
        Wait w = of(Screen);
        w.screen = screen;
        return w;
    }
};

// The fixed times of the game, in milliseconds.
inline constexpr int kTurnPauseMs = 1000;
inline constexpr int kAfterDealPauseMs = 200;
inline constexpr int kRoundEndMusicPauseMs = 3000;
inline constexpr int kLinePauseMs = 1000;
inline constexpr int kNoticePauseMs = 3000;

class SeatPresenter {
public:
    // `match` gives the seats' names and lines; both it and the stage must
    // outlive the presenter.
    SeatPresenter(int seat, const MatchPlay& match, TableStage& stage);

    // How a table held elsewhere differs from the one in this process.
    struct Options {
        // The match is recorded and the ranking shown at its end (not at a
        // friends' table).
        bool ranking = true;
        // The text of a spoken line as the table told it; without it the
        // line is made from the match's own lines.
        std::function<std::optional<std::string>(const TableEvent&)> lineText;
        // Runs as an event begins to show, before its first act.
        std::function<void(const TableEvent&)> eventShowing;
    };
    void setOptions(Options options) { options_ = std::move(options); }

    int seat() const { return seen_.seat; }

    // Adds the acts that show `event`, the next of the seat's stream.
    void present(const TableEvent& event);
    // Runs the next act and says what to wait for before the one after it;
    // nothing when no act is left.
    std::optional<Wait> next();
    // True while acts are left to run.
    bool busy() const { return !acts_.empty(); }
    // The last event handed to present().
    uint64_t presentedSeq() const { return presented_; }
    // The table as the seat has been shown it so far.
    const SeatView& seen() const { return seen_; }
    // Starts again from a view of the table (the engine's tests build
    // rounds by hand); the acts not yet run are dropped.
    void resetTo(const SeatView& view);
    // Shows `view` at once, every picture where it stands, in place of the
    // events that led to it (a seat that missed too many of them).
    void restore(const SeatView& view);

    // True while the seat's move is awaited and shown as such.
    bool awaitingMove() const { return seen_.myTurn && !moveSent_ && acts_.empty(); }
    bool isEnabled(Control control) const { return controls_[static_cast<int>(control)]; }
    // Whether the card picture `index` takes clicks this turn.
    bool isClickable(int index) const;
    // The caption of a seat's pass label ("★★", "1番").
    const std::string& passCaption(int seat) const { return passCaption_[seat]; }
    // Counts the seat's turns: a hint worked out for one turn is for no other.
    int turnSerial() const { return turnSerial_; }
    // The kind of the last event whose acts have all run.
    EventKind lastShown() const { return lastShown_; }

    // The seat's move is on its way: nothing else may be played, passed or
    // given up this turn, and no hint asked, while it is carried out.
    void moveSent(const TurnMove& move);
    // The answer to "もう一度プレイしますか？": without another match the
    // start menu opens again and the music stops. (With one, the driver
    // starts it.)
    void retryAnswered(bool again);
    // 「ゲームスキップ」 was taken: every picture goes at once.
    void skipped();
    // The one-second timer: blinks the streak notice, keeps the music going.
    void tick(bool roundOver, int streakSeat, int streakCount);

private:
    using Act = std::function<Wait()>;
    void add(Act act) { acts_.push_back(std::move(act)); }
    void addNow(std::function<void()> act);
    void showEvent(const TableEvent& e);

    void shokika(const TableEvent& e);
    void showDeal();
    void seiretu();
    void prepareTurn(const TableEvent& e);
    void roundEndMusic();
    void kekka(const TableEvent& e);
    void askAgain();

    void hideAll();
    void setPassCaption(int seat, std::string text);
    void setControl(Control control, bool enabled);
    void raisePicture(int index);
    TableGeometry geometry() const { return stage_.tableGeometry(); }

    const MatchPlay& match_;
    TableStage& stage_;
    Options options_;
    SeatView seen_;
    std::deque<Act> acts_;
    uint64_t presented_ = 0;
    int turnSerial_ = 0;
    std::array<bool, 6> controls_{};
    std::array<bool, 54> clickable_{};
    std::array<std::string, 5> passCaption_{};
    bool infoShown_ = false;
    // The seat's move of this turn is on its way.
    bool moveSent_ = false;
    EventKind lastShown_ = EventKind::MatchClosed;
    // Whether a round's totals are on the labels already (a streak bonus
    // waits for the next round).
    bool totalsShown_ = false;
};

}  // namespace vantel
