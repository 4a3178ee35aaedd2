// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The default music: the table music and the four jingles, as scores.
#pragma once

#include "assets/soundgen/smf_writer.h"

namespace vantel::soundgen {

// A relaxed café tune in F major: Rhodes piano, vibraphone and flute over a
// walking acoustic bass and brushes, 24 bars at 96 beats a minute (60 s).
// Its last bar turns back to the first, so it loops without a seam.
Song cafeMusic();
// Round won: a bright trumpet and brass fanfare in C with glockenspiel.
Song roundWonJingle();
// Round lost: a falling trombone line over strings and tuba.
Song roundLostJingle();
// Match won: a full brass fanfare with strings, timpani and cymbals.
Song matchWonJingle();
// Match lost: a gentle oboe phrase over piano and strings, ending in minor.
Song matchLostJingle();

}  // namespace vantel::soundgen
