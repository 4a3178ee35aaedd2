// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The window as a presenter of the table sees it: everything visible or
// audible that a round does goes through these interfaces.
#pragma once

#include <string_view>

namespace vantel {

struct Size {
    int width = 0;
    int height = 0;
};

struct Point;
struct TableGeometry;

// Labels the engine writes. Per-seat labels take index seat - 1.
enum class Caption {
    SeatPass,     // lblpass: pass stars, then the place ("1番")
    SeatTotal,    // lblten: the seat's match total
    RoundNumber,  // lblkai: "3回戦"
    Info,         // lblinfo: the blinking streak notice
};

// Controls the engine enables and disables.
enum class Control {
    PassButton,  // cmdPass
    DropButton,  // cmdOut
    StartMenu,     // mnu_kaisi
    SkipMenu,      // mnu_skip
    HintMenu,      // the hint: only during the user's turn
    StrengthMenu,  // the choice of strength: only between matches
};

enum class MatchEndScreen {
    Announcement,  // the winner is announced
    UserWon,
    UserLost,
};

// What a presenter of one seat's events needs of a window: the pictures,
// the labels, the controls and the music. Nothing here waits: the waits
// (flights, spoken lines, pauses, modal windows) are values the presenter
// hands to whoever performs it (game/seat_presenter.h).
class TableStage {
public:
    virtual ~TableStage() = default;

    // Geometry in pixels: the client area, the portrait card picture and
    // the landscape card-back picture.
    virtual Size clientSize() const = 0;
    virtual Size cardSize() const = 0;
    virtual Size landscapeCardSize() const = 0;
    // The grid's place on the window: set at every round set-up, and by the
    // window itself whenever it lays the table out again.
    virtual TableGeometry tableGeometry() const = 0;
    virtual void setTableGeometry(const TableGeometry& geometry) = 0;

    // Card pictures by index: 0 the template, 1..52 faces, 53 the joker,
    // 54..105 the four seats' rows of card backs (54 doubles as the deck).
    virtual Point picturePosition(int index) const = 0;
    virtual void placePicture(int index, int left, int top) = 0;
    virtual void setPictureVisible(int index, bool visible) = 0;
    virtual void setPictureEnabled(int index, bool enabled) = 0;

    virtual void setCaption(Caption label, int index, std::string_view text) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;

    // Music and sound effects; `soundIndex` is the entry 1..7 of the sound
    // files. Nothing plays when the music is switched off.
    virtual bool musicOn() const = 0;
    virtual void playMusic(int soundIndex, bool loop) = 0;
    virtual void stopMusic() = 0;
    virtual void playSoundEffect(int soundIndex) = 0;
    // Restarts the looping table music when it has stopped.
    virtual void keepMusicLooping() = 0;

    // Empties the result table at the end of a match.
    virtual void clearResults() = 0;
};

// A stage whose waits return when they are over: the headless engine
// (game/engine.h) performs a presenter's waits through it at once. The
// simulator and the engine's tests implement it; the window does not.
class TableView : public TableStage {
public:
    // Shows the picture and moves it step by step from one place to another.
    virtual void movePicture(int index, int fromLeft, int fromTop, int toLeft, int toTop,
                             int delayMs) = 0;
    // Shows `text` in the speech balloon of `seat` for `milliseconds`.
    virtual void speak(int seat, std::string_view text, int milliseconds) = 0;
    // Waits `milliseconds` (no time at all without a window).
    virtual void pause(int milliseconds) = 0;
    // Between a computer's turn and the next step: where commands such as
    // the skip may arrive.
    virtual void processEvents() = 0;
    // The result table after each round; its rows read the match state.
    virtual void showResults() = 0;
    // Records the match winner's high score and ranking and shows the
    // ranking.
    virtual void recordMatch() = 0;
    virtual void showMatchEndScreen(MatchEndScreen screen) = 0;
    // "もう一度プレイしますか？": true for Yes.
    virtual bool askRetry() = 0;
};

}  // namespace vantel
