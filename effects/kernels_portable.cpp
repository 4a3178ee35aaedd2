// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

#include "effects/kernels.h"

#include "effects/tables.h"

namespace zorvix {
namespace {

void alphaBlend(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, double alpha1, double alpha2) {
    for (std::size_t k = 0; k < bytes; ++k) {
        double v = a[k] * alpha1 + b[k] * alpha2;
        if (v > 255) v = 255;
        // Written as "not at least 0" so that a NaN also ends up as 0.
        if (!(v >= 0)) v = 0;
        a[k] = static_cast<std::uint8_t>(v);
    }
}

void halfBlend(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
    for (std::size_t k = 0; k < bytes; ++k) a[k] = halfTable[a[k] * 256 + b[k]];
}

void addBlend(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
    for (std::size_t k = 0; k < bytes; ++k) a[k] = addTable[a[k] * 256 + b[k]];
}

void invert(std::uint8_t* a, std::size_t bytes) {
    for (std::size_t k = 0; k < bytes; ++k) a[k] = invertTable[a[k]];
}

void grayScale(std::uint8_t* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = pixels + i * 3;
        const auto grey = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
        p[0] = p[1] = p[2] = grey;
    }
}

std::uint8_t shifted(std::uint8_t channel, int delta) {
    int v = channel + delta;
    if (v > 255) v = 255;
    if (v < 0) v = 0;
    return static_cast<std::uint8_t>(v);
}

void rgbOperation(std::uint8_t* pixels, std::size_t count, int deltaRed, int deltaGreen, int deltaBlue) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = pixels + i * 3;
        p[0] = shifted(p[0], deltaBlue);
        p[1] = shifted(p[1], deltaGreen);
        p[2] = shifted(p[2], deltaRed);
    }
}

void sprite(std::uint8_t* background, const std::uint8_t* sprite, std::size_t count, std::uint32_t key) {
    const auto red = static_cast<std::uint8_t>(key);
    const auto green = static_cast<std::uint8_t>(key >> 8);
    const auto blue = static_cast<std::uint8_t>(key >> 16);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* s = sprite + i * 3;
        if (s[0] == blue && s[1] == green && s[2] == red) continue;
        std::uint8_t* d = background + i * 3;
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
}

constexpr Kernels kPortable{"portable", alphaBlend, halfBlend, addBlend, invert, grayScale, rgbOperation, sprite};

// Chosen while the library loads, before any effect can run.
const Kernels* const best = avx512Kernels() != nullptr ? avx512Kernels()
                            : avx2Kernels() != nullptr ? avx2Kernels()
                                                       : &kPortable;

}  // namespace

const Kernels& portableKernels() { return kPortable; }

const Kernels& bestKernels() { return *best; }

}  // namespace zorvix
