// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Each set of per-byte loops the processor can run, against the formulas, on
// every length from empty to a few vectors long (so that the leftovers after
// the last whole vector are covered too) and on all the values that matter.
#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <limits>
#include <random>
#include <vector>

#include "effects/kernels.h"
#include "tests/effects/model.h"

using namespace fxtest;

namespace {

std::vector<const zorvix::Kernels*> available() {
    std::vector<const zorvix::Kernels*> sets{&zorvix::portableKernels()};
    if (zorvix::avx2Kernels() != nullptr) sets.push_back(zorvix::avx2Kernels());
    if (zorvix::avx512Kernels() != nullptr) sets.push_back(zorvix::avx512Kernels());
    return sets;
}

Buffer randomBytes(std::size_t n, std::mt19937& rng) {
    Buffer b(n);
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& x : b) x = static_cast<std::uint8_t>(byte(rng));
    return b;
}

}  // namespace

TEST(ZorvixKernels, BestIsTheFastestAvailable) {
    EXPECT_EQ(&zorvix::bestKernels(), available().back());
}

TEST(ZorvixKernels, ByteBlendsOnEveryLength) {
    std::mt19937 rng(21);
    const double weights[][2] = {{0.5, 0.5}, {0.37, 0.71}, {-0.4, 1.3}, {1.0, 0.0}, {2.0e6, -3.0}, {std::nan(""), 1.0},
                                 {std::numeric_limits<double>::infinity(), 0.25}, {1048576.0, -1048576.0}};
    for (const zorvix::Kernels* k : available()) {
        for (std::size_t n = 0; n <= 130; ++n) {
            const Buffer a = randomBytes(n, rng);
            const Buffer b = randomBytes(n, rng);
            for (const auto& w : weights) {
                Buffer got = a;
                Buffer want = a;
                k->alphaBlend(got.data(), b.data(), n, w[0], w[1]);
                alphaBlend(want, b, w[0], w[1]);
                ASSERT_EQ(got, want) << k->name << " n=" << n << " weights " << w[0] << "," << w[1];
            }
            Buffer got = a;
            Buffer want = a;
            k->halfBlend(got.data(), b.data(), n);
            halfBlend(want, b);
            ASSERT_EQ(got, want) << k->name << " half n=" << n;
            got = a;
            want = a;
            k->addBlend(got.data(), b.data(), n);
            addBlend(want, b);
            ASSERT_EQ(got, want) << k->name << " add n=" << n;
            got = a;
            want = a;
            k->invert(got.data(), n);
            invert(want);
            ASSERT_EQ(got, want) << k->name << " invert n=" << n;
        }
    }
}

TEST(ZorvixKernels, WeightedBlendOfEveryPair) {
    Buffer a(65536);
    Buffer b(65536);
    for (int i = 0; i < 65536; ++i) {
        a[i] = static_cast<std::uint8_t>(i >> 8);
        b[i] = static_cast<std::uint8_t>(i);
    }
    for (const zorvix::Kernels* k : available()) {
        for (const double w : {0.1, 0.3, 0.5, 0.7, 0.9, 1.1}) {
            Buffer got = a;
            Buffer want = a;
            k->alphaBlend(got.data(), b.data(), got.size(), w, 1.0 - w);
            alphaBlend(want, b, w, 1.0 - w);
            ASSERT_EQ(got, want) << k->name << " weight " << w;
        }
    }
}

TEST(ZorvixKernels, PixelLoopsOnEveryLength) {
    std::mt19937 rng(22);
    for (const zorvix::Kernels* k : available()) {
        for (std::size_t count = 0; count <= 70; ++count) {
            const Buffer pixels = randomBytes(count * 3, rng);
            Buffer got = pixels;
            Buffer want = pixels;
            k->grayScale(got.data(), count);
            grayScale(want);
            ASSERT_EQ(got, want) << k->name << " grey count=" << count;
            for (const auto& d : {std::array<int, 3>{10, 0, -10}, std::array<int, 3>{-255, 255, 1},
                                  std::array<int, 3>{-37, 200, -128}}) {
                got = pixels;
                want = pixels;
                k->rgbOperation(got.data(), count, d[0], d[1], d[2]);
                rgbOperation(want, d[0], d[1], d[2]);
                ASSERT_EQ(got, want) << k->name << " shift count=" << count;
            }
            // Sprites from few colours, with near misses of the key in each channel.
            Buffer spr(count * 3);
            const std::uint8_t choices[][3] = {{255, 0, 255}, {254, 0, 255}, {255, 1, 255}, {255, 0, 254}, {9, 9, 9}};
            for (std::size_t i = 0; i < count; ++i) {
                const auto& c = choices[std::uniform_int_distribution<int>(0, 4)(rng)];
                std::copy(c, c + 3, &spr[i * 3]);
            }
            got = pixels;
            want = pixels;
            k->sprite(got.data(), spr.data(), count, 0xFF00FF);
            sprite(want, spr, 0xFF00FF);
            ASSERT_EQ(got, want) << k->name << " sprite count=" << count;
        }
    }
}

TEST(ZorvixKernels, GreyOfEverySumAndShiftOfEveryDelta) {
    // One pixel for every channel sum 0..765, then a long random run.
    Buffer sums;
    for (int s = 0; s <= 765; ++s) {
        const int blue = std::min(s, 255);
        const int green = std::min(s - blue, 255);
        sums.push_back(static_cast<std::uint8_t>(blue));
        sums.push_back(static_cast<std::uint8_t>(green));
        sums.push_back(static_cast<std::uint8_t>(s - blue - green));
    }
    std::mt19937 rng(23);
    Buffer all(256 * 3);
    for (int v = 0; v < 256; ++v) all[v * 3] = all[v * 3 + 1] = all[v * 3 + 2] = static_cast<std::uint8_t>(v);
    for (const zorvix::Kernels* k : available()) {
        Buffer got = sums;
        Buffer want = sums;
        k->grayScale(got.data(), got.size() / 3);
        grayScale(want);
        ASSERT_EQ(got, want) << k->name;
        for (int d = -255; d <= 255; ++d) {
            got = all;
            want = all;
            k->rgbOperation(got.data(), 256, d, -d, d / 2);
            rgbOperation(want, d, -d, d / 2);
            ASSERT_EQ(got, want) << k->name << " delta " << d;
        }
    }
}
