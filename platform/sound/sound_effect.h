// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Wave-file sound effects, played over the music on the shared sound
// output (see sound_system.h).
#pragma once

#include <string>

namespace vantel {

// Plays the wave file `fileName`. An empty name returns 0 and plays
// nothing. By `mode`:
// - 0: asynchronous, returns at once. A file that is missing or not a wave
//   file plays nothing (no default sound), and while another wave is still
//   playing the new one is not played either. 1 when the sound was taken on.
// - 1: as 0, and the sound loops until stopSoundEffect() or another
//   synchronous effect.
// - other: synchronous. Ends a wave that is playing, plays this one, or a
//   short default chime when it cannot be played, and returns when it has
//   finished: 1 when something played.
// Without a sound device nothing plays and 0 is returned once that is known.
int playSoundEffect(const std::string& fileName, int mode);

}  // namespace vantel
