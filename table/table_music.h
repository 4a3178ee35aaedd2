// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The music state of the table: the "ＢＧＭ演奏" switch, the table music that
// loops through a round, the jingles and the match-end effects. Nothing at
// all plays while the switch is off.
#pragma once

#include <memory>
#include <string>

#include "records/match_state.h"

namespace vantel {

class ClsMidi;

class TableMusic {
public:
    explicit TableMusic(const MatchState& state);
    ~TableMusic();
    TableMusic(const TableMusic&) = delete;
    TableMusic& operator=(const TableMusic&) = delete;

    // The window's load: the table music is opened, not played; music off.
    void load();
    // "ＢＧＭ演奏": switches on (plays the open piece from where it is) or off.
    // Returns the new state for the menu's tick.
    bool toggle();
    bool on() const { return bgmOn_; }
    bool looping() const { return bgmLooping_; }
    const std::string& file() const { return bgmFile_; }
    // The piece the player has open, and its device state ("PLAYING",
    // "STOPPED", ...; empty before the window's load and after release).
    std::string openFile() const;
    std::string mode() const;
    // The wave file last handed to the effects player.
    const std::string& lastEffect() const { return lastEffect_; }

    // Opens sound entry `soundIndex` (1..7) and plays it; entry 1 loops
    // through the one-second timer.
    void play(int soundIndex, bool loop);
    void stop();
    void playEffect(int soundIndex);
    // The timer's tick: restarts the looping table music once it ended.
    void keepLooping();
    // Stops and releases the player (quit, close, start over).
    void release();

private:
    ClsMidi& midi();

    const MatchState& state_;
    bool bgmOn_ = false;
    bool bgmLooping_ = false;
    std::string bgmFile_;
    std::string lastEffect_;
    std::unique_ptr<ClsMidi> midi_;
};

}  // namespace vantel
