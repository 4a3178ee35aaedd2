// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Short cheers in a synthesised voice: a glottal pulse through moving vowel
// formants, with noise bursts for the consonants. Deterministic: the noise
// comes from a fixed-seed generator.
#pragma once

#include <cstdint>
#include <vector>

namespace vantel::soundgen {

inline constexpr int kVoiceRate = 44100;

// "やった!" and "勝った!": mono samples at kVoiceRate.
std::vector<std::int16_t> cheerYatta();
std::vector<std::int16_t> cheerKatta();

// A 16-bit PCM mono WAVE file of `samples`.
std::vector<std::uint8_t> writeWave(const std::vector<std::int16_t>& samples, int rate);

}  // namespace vantel::soundgen
