// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The member selection window's "素材初期化": puts the members and the sound
// files back to the factory values, leaving the dialogue lines, the ranking
// and the high score as they are.
#pragma once

#include <string_view>

#include "records/settings.h"

namespace vantel {

inline constexpr std::string_view kMaterialResetQuestion = "素材情報を初期化します。よろしいですか？";
inline constexpr std::string_view kMaterialResetTitle = "素材情報初期化";
inline constexpr std::string_view kMaterialResetFailedText = "素材情報の初期化に失敗しました。";
inline constexpr std::string_view kMaterialResetFailedTitle = "初期化失敗！";

// Writes Mentu/Ninzu = 4, the four factory members (names, pictures in the
// program folder, female lines), empties Sanka5..Sanka20 and writes the
// factory sound files. All keys go in one replacement of the file, so a
// failure leaves the old file whole. False when the file cannot be written.
bool resetMaterial(const SettingsLocation& where);

}  // namespace vantel
