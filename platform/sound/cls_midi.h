// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The MIDI music player of the main window: one Standard MIDI File open at
// a time, played, stopped, paused and queried like the system's MIDI
// sequencer device it stands in for.
//
// - Positions and lengths are in MIDI ticks of the open file (the file's
//   own time unit, its header's ticks per quarter note). Length is the tick
//   of the end of the longest track, as the file states it.
// - There is one sequencer per process: every ClsMidi works on the same open
//   file, as every window shared the one device under its fixed name.
//   Creating or destroying a ClsMidi stops and closes it.
// - Nothing here waits for the audio: each call takes a short lock and
//   returns; the music sounds on the audio thread (see sound_system.h).
//   The first Play starts the sound output and loads the soundfont in the
//   background, so the music may begin a moment after it.
// - A window keeps one ClsMidi for as long as it is open, calls it from its
//   own thread only, and polls Mode() or PlayLoop2() from a timer; the
//   object must outlive a PlayLoop running on it.
// - Errors are silent. A missing, unreadable or non-MIDI file leaves
//   nothing open: Mode() reads "NOT READY", Position() "0", Length() 0 and
//   the other calls do nothing. Without a sound device or a soundfont the
//   open file is kept but cannot play, and Mode() reads "NOT READY" once
//   that is known.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The wave effects (playSoundEffect) come with the player.
#include "platform/sound/sound_effect.h"

namespace vantel {

class ClsMidi {
public:
    // Stops and closes the sequencer.
    ClsMidi();
    // Stops and closes the sequencer.
    ~ClsMidi();
    ClsMidi(const ClsMidi&) = delete;
    ClsMidi& operator=(const ClsMidi&) = delete;

    // The path last assigned, as given.
    const std::string& FileName() const;
    // Stops and closes whatever was open, then opens `path`. Nothing plays.
    void FileName(const std::string& path);

    // Plays from the current position: a stopped or paused piece continues
    // where it stood; a piece that has played to its end starts again from
    // the beginning; a playing piece just plays on. Ends loop mode.
    void Play();
    // Stops, keeping the position. Ends loop mode. The music falls silent
    // within one audio buffer.
    void StopM();

    // The current position in ticks, in decimal ("0" with nothing open).
    std::string Position() const;
    // Stops and moves to `ticks` (kept within 0 .. Length()); Play then
    // continues from there.
    void Position(long ticks);
    // The open file's length in ticks (0 with nothing open).
    std::int32_t Length() const;

    // Continues a paused or stopped piece from its position, like Play, but
    // leaves loop mode as it is, so a PlayLoop in progress keeps looping.
    void ResumeM();
    // Plays and keeps the caller here, restarting the piece from the
    // beginning whenever it has stopped, until StopM or Play (called from
    // `letEventsRun`, which runs the window system's pending events and is
    // called about every 10 ms) end loop mode; then returns once the piece
    // is no longer playing.
    void PlayLoop(const std::function<void()>& letEventsRun);
    // Stops a playing piece, keeping the position; Mode() reads "PAUSED".
    void Pause();
    // "PLAYING", "STOPPED" (also once a piece has played to its end),
    // "PAUSED" or "NOT READY".
    std::string Mode() const;
    // Restarts a stopped piece from the beginning; does nothing to a piece
    // that is playing or paused. Called once a second, it keeps the table
    // music looping.
    void PlayLoop2();

private:
    std::string fileName_;
    bool loopMode_ = false;
};

}  // namespace vantel
