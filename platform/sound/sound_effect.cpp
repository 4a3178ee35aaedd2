// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/sound/sound_effect.h"

#include "platform/sound/sequencer.h"

namespace vantel {

int playSoundEffect(const std::string& fileName, int mode) {
    if (fileName.empty()) return 0;
    return sound::sequencer::playEffect(fileName, mode);
}

}  // namespace vantel
