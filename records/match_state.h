// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The state shared by every window for the life of the process: what the
// settings file holds (high score, ranking, members, lines, sound files) and
// the per-seat state of the match being played.
//
// Arrays keep the game's 1-based numbering (seats 1..4, ranking rows 1..10,
// members 1..20, lines 1..9, sounds 1..7); element 0 is unused.
// Text is held as UTF-8 in memory and converted at the file boundary.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/match_play.h"

namespace vantel {

constexpr int kRankRows = 10;
constexpr int kMaxMembers = 20;
constexpr int kSoundFiles = 7;
constexpr int kPicturesPerMember = 4;

struct MatchState : MatchPlay {
    // Settings file
    std::string iniPath;
    int16_t hiScore = 100;
    std::string hiScorePlayer = "???";
    std::array<std::string, kRankRows + 1> rankName{};
    std::array<int32_t, kRankRows + 1> rankPoints{};
    std::array<std::string, kRankRows + 1> rankDate{};
    std::array<std::string, kRankRows + 1> rankTime{};
    int32_t memberCount = 0;
    std::array<std::string, kMaxMembers + 1> memberName{};
    std::array<std::array<std::string, kPicturesPerMember + 1>, kMaxMembers + 1> memberImage{};
    std::array<int16_t, kMaxMembers + 1> memberSex{};
    std::array<std::string, kSoundFiles + 1> soundFiles{};
    // 0: the settings must be read again before members are chosen.
    int32_t selectionPhase = 0;

    // The match being played: see MatchPlay.
    int32_t rankInPosition = 0;
    int32_t rankInSeat = 0;
};

// The one instance the program uses. Code that can take the state as a
// parameter does, so tests build their own.
MatchState& sharedState();

}  // namespace vantel
