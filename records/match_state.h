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

#include "records/strength.h"

namespace vantel {

constexpr int kSeats = 4;
constexpr int kRankRows = 10;
constexpr int kMaxMembers = 20;
constexpr int kLinesPerSet = 9;
constexpr int kSoundFiles = 7;
constexpr int kPicturesPerMember = 4;

struct MatchState {
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
    std::array<std::string, kLinesPerSet + 1> femaleLines{};
    std::array<std::string, kLinesPerSet + 1> maleLines{};
    std::array<std::string, kSoundFiles + 1> soundFiles{};
    // 0: the settings must be read again before members are chosen.
    int32_t selectionPhase = 0;
    // The strength chosen for the next match ([Settei] Tuyosa).
    Strength strength = kDefaultStrength;

    // Per-seat match state (seat 1 is the user)
    std::array<std::string, kSeats + 1> seatName{};
    std::array<int16_t, kSeats + 1> seatSex{};
    std::array<int16_t, kSeats + 1> seatMember{};
    std::array<std::array<std::string, 3>, kSeats + 1> seatImage{};
    std::array<int32_t, kSeats + 1> roundPoints{};
    std::array<int32_t, kSeats + 1> matchTotal{};
    std::array<int32_t, kSeats + 1> finalPlace{};
    int32_t roundNumber = 0;
    int32_t rankInPosition = 0;
    int32_t rankInSeat = 0;
    // The strength of the match being played, fixed when it starts: the
    // setting may be read again from the file in the middle of a match.
    Strength matchStrength = kDefaultStrength;
};

// The one instance the program uses. Code that can take the state as a
// parameter does, so tests build their own.
MatchState& sharedState();

}  // namespace vantel
