// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/random.h"

#include <chrono>
#include <cmath>

namespace vantel {

namespace {

uint64_t splitmix64(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

void Xoshiro256::reseed(uint64_t seed) {
    uint64_t x = seed;
    for (auto& s : s_) s = splitmix64(x);
}

uint64_t Xoshiro256::next() {
    const uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

uint64_t mixSeed(uint64_t seed, uint64_t salt) {
    uint64_t z = seed ^ (salt * 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

Random::Random() : fixed_(false) { reseedFromClock(); }

Random::Random(uint64_t seedValue) : bits_(seedValue), fixed_(true) {}

void Random::reseedFromClock() {
    if (fixed_) return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count() ^
                     std::chrono::system_clock::now().time_since_epoch().count();
    bits_.reseed(static_cast<uint64_t>(now));
}

float Random::next() {
    // The top 24 bits make an exact float in [0, 1).
    return static_cast<float>(bits_.next() >> 40) * (1.0f / 16777216.0f);
}

int Random::draw(int n, int offset) {
    const float r = next();
    const float value = r * static_cast<float>(n) + static_cast<float>(offset);
    int k = static_cast<int>(std::floor(value));
    if (k < offset) k = offset;
    if (k > offset + n - 1) k = offset + n - 1;
    return k;
}

}  // namespace vantel
