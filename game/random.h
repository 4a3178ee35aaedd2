// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The one source of chance in a round: uniform single-precision values in
// [0, 1), as the draw formulas of the deal, the joker, the blocker and the
// skip command expect them.
#pragma once

#include <cstdint>

namespace vantel {

// xoshiro256**, seeded through splitmix64: the bits behind the deals and
// behind the search player's own chance.
class Xoshiro256 {
public:
    explicit Xoshiro256(uint64_t seed = 0) { reseed(seed); }
    void reseed(uint64_t seed);
    uint64_t next();

private:
    uint64_t s_[4];
};

// A seed for one purpose made from another: different salts give streams
// that have nothing to do with each other.
uint64_t mixSeed(uint64_t seed, uint64_t salt);

class Random {
public:
    // A generator that follows the clock: reseeded from it at every deal.
    Random();
    // A repeatable generator: starts from `seed` and ignores requests to
    // reseed from the clock, so the same seed gives the same run.
    explicit Random(uint64_t seed);

    // A uniform value in [0, 1) with 24 bits of precision.
    float next();
    // Reseeds from the clock, unless the generator was given a fixed seed.
    void reseedFromClock();

    // Int(next() * n + offset), the shape of every draw in the game; the
    // result is clamped into [offset, offset + n - 1] so that rounding in
    // single precision can never step outside the intended range.
    int draw(int n, int offset);

private:
    Xoshiro256 bits_;
    bool fixed_;
};

}  // namespace vantel
