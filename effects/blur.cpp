// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// Softening by averaging with the four direct neighbours, in one pass over
// the buffer in place: the neighbours below and to the left have already been
// blurred when a pixel is computed, those above and to the right have not.
#include "effects/effect.h"
#include "effects/zorvix.h"

using namespace zorvix;

namespace {

// withSelf: Blur (five samples, divided by 5); otherwise BlurFast (the four
// neighbours, shifted right by 2). Neighbours are clamped to the rectangle.
template <bool withSelf>
void blurInPlace(std::uint8_t* pixels, int width, int height) {
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int i = 0; i < height; ++i) {
        std::uint8_t* row = pixels + i * stride;
        const std::uint8_t* up = pixels + (i > 0 ? i - 1 : 0) * stride;
        const std::uint8_t* down = pixels + (i < height - 1 ? i + 1 : height - 1) * stride;
        for (int j = 0; j < width; ++j) {
            const std::size_t self = static_cast<std::size_t>(j) * 3;
            const std::size_t left = static_cast<std::size_t>(j > 0 ? j - 1 : 0) * 3;
            const std::size_t right = static_cast<std::size_t>(j < width - 1 ? j + 1 : width - 1) * 3;
            for (int c = 0; c < 3; ++c) {
                unsigned sum = up[self + c] + row[left + c] + down[self + c] + row[right + c];
                if constexpr (withSelf) {
                    sum += row[self + c];
                    row[self + c] = static_cast<std::uint8_t>(sum / 5);
                } else {
                    row[self + c] = static_cast<std::uint8_t>(sum >> 2);
                }
            }
        }
    }
}

}  // namespace

ZORVIX_EXPORT std::int32_t Blur(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest, std::int32_t width,
                                std::int32_t height, std::int32_t hdcSrc, std::int32_t xSrc, std::int32_t ySrc) {
    return oneInput(hdcDest, xDest, yDest, width, height, {hdcSrc, xSrc, ySrc},
                    [=](std::uint8_t* pixels, std::size_t) { blurInPlace<true>(pixels, width, height); });
}

ZORVIX_EXPORT std::int32_t BlurFast(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                    std::int32_t width, std::int32_t height, std::int32_t hdcSrc,
                                    std::int32_t xSrc, std::int32_t ySrc) {
    return oneInput(hdcDest, xDest, yDest, width, height, {hdcSrc, xSrc, ySrc},
                    [=](std::uint8_t* pixels, std::size_t) { blurInPlace<false>(pixels, width, height); });
}
