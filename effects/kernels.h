// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// The per-byte and per-pixel loops of the effects that treat every byte or
// pixel on its own. Each set computes identical bytes; the best one the
// processor supports is picked once.
//
// Buffers are 24-bit blue-green-red pixels with no row padding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorvix {

struct Kernels {
    const char* name;
    // a[k] = clamp(a[k] * alpha1 + b[k] * alpha2), truncated toward zero.
    void (*alphaBlend)(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, double alpha1, double alpha2);
    // a[k] = (a[k] + b[k]) / 2, rounded down.
    void (*halfBlend)(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes);
    // a[k] = min(a[k] + b[k], 255).
    void (*addBlend)(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes);
    // a[k] = 255 - a[k].
    void (*invert)(std::uint8_t* a, std::size_t bytes);
    // Every channel becomes (blue + green + red) / 3, truncated.
    void (*grayScale)(std::uint8_t* pixels, std::size_t count);
    // Adds a delta to each channel and clamps to 0..255. Deltas must lie in
    // -255..255 (larger ones give the same bytes as +-255).
    void (*rgbOperation)(std::uint8_t* pixels, std::size_t count, int deltaRed, int deltaGreen, int deltaBlue);
    // Every sprite pixel that is not the key colour replaces the background
    // pixel. key is 0x00BBGGRR.
    void (*sprite)(std::uint8_t* background, const std::uint8_t* sprite, std::size_t count, std::uint32_t key);
};

// Plain loops that run anywhere; the blends read the lookup tables.
const Kernels& portableKernels();
// Vector loops for processors with AVX2; null when this one has none.
const Kernels* avx2Kernels();
// The AVX2 loops with a wider weighted blend, for processors with AVX-512F.
const Kernels* avx512Kernels();
// The fastest set this processor can run.
const Kernels& bestKernels();

}  // namespace zorvix
