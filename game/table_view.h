// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The engine's one window onto the world: everything visible, audible or
// timed that a round does goes through this interface. The main window
// implements it; tests and the headless simulator fake it.
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

class TableView {
public:
    virtual ~TableView() = default;

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
    // Shows the picture and moves it step by step from one place to another,
    // pausing `delayMs` between steps and letting events run.
    virtual void movePicture(int index, int fromLeft, int fromTop, int toLeft, int toTop,
                             int delayMs) = 0;

    virtual void setCaption(Caption label, int index, std::string_view text) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;

    // Shows `text` in the speech balloon of `seat` for `milliseconds`.
    virtual void speak(int seat, std::string_view text, int milliseconds) = 0;
    // Blocks for `milliseconds` (zero in tests and the simulator).
    virtual void pause(int milliseconds) = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;

    // Music and sound effects; `soundIndex` is the entry 1..7 of the sound
    // files. Nothing plays when the music is switched off.
    virtual bool musicOn() const = 0;
    virtual void playMusic(int soundIndex, bool loop) = 0;
    virtual void stopMusic() = 0;
    virtual void playSoundEffect(int soundIndex) = 0;
    // Restarts the looping table music when it has stopped.
    virtual void keepMusicLooping() = 0;

    // The result table after each round (modal); its rows read the match
    // state. `clearResults` empties it at the end of a match.
    virtual void showResults() = 0;
    virtual void clearResults() = 0;
    // Records the match winner's high score and ranking and shows the
    // ranking (modal).
    virtual void recordMatch() = 0;
    virtual void showMatchEndScreen(MatchEndScreen screen) = 0;
    // "もう一度プレイしますか？": true for Yes.
    virtual bool askRetry() = 0;
};

}  // namespace vantel
