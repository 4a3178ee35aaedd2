// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The process's one MIDI sequencer and wave player, behind ClsMidi and
// playSoundEffect. Like a system sequencer device under a fixed name, there
// is one open music file per process, whichever ClsMidi opened it.
// Positions are MIDI ticks of the open file.
#pragma once

#include <cstdint>
#include <string>

namespace vantel::sound::sequencer {

enum class Mode { NotReady, Stopped, Playing, Paused };

// Opens `path` (closing what was open) without playing it. A file that is
// missing, unreadable or not a Standard MIDI File leaves nothing open.
void open(const std::string& path);
void close();

// From the current position, or from the start when the piece has ended or
// stands at its end. Does nothing to a piece that is playing.
void play();
// From the start, whatever the piece was doing.
void playFromStart();
// Stops, keeping the position.
void stop();
// Stops a playing piece, keeping the position, reported as paused.
void pause();
// Continues a paused or stopped piece like play().
void resume();
// Stops and moves to `tick`, kept within 0 .. length.
void seek(std::int64_t tick);

std::int64_t position();
std::int64_t length();
Mode mode();

// The wave effects; see playSoundEffect.
int playEffect(const std::string& path, int mode);

}  // namespace vantel::sound::sequencer
