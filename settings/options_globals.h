// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the settings editor keeps between its openings, for the life of the
// process: the tab it reopens on, the member last chosen in its list, and
// what its two file choosers share with it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "records/match_state.h"

namespace vantel {

struct OptionsGlobals {
    // Tab shown when the editor opens (0 "画像" .. 3 "サウンド"); set from the
    // current tab whenever "適用" or "終了" is pressed.
    int32_t lastOptionsTab = 0;
    // Member (1..20) chosen in the editor's member list; 0 before any choice.
    int16_t selectedMember = 0;
    // Box a file chooser fills: 1..4 picture boxes, 1..7 sound boxes.
    int32_t chooserSlot = 0;
    // Path last clicked in the picture chooser (slots 1..4) and in the sound
    // chooser (slots 1..7); element 0 unused.
    std::array<std::string, kPicturesPerMember + 1> chosenImagePath{};
    std::array<std::string, kSoundFiles + 1> chosenSoundPath{};
};

// The one instance the program uses.
OptionsGlobals& optionsGlobals();

}  // namespace vantel
