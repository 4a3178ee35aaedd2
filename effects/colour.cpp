// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// Colour changes of one picture: grey, channel shift and negative.
#include <algorithm>

#include "effects/effect.h"
#include "effects/kernels.h"
#include "effects/zorvix.h"

using namespace zorvix;

ZORVIX_EXPORT std::int32_t GrayScale(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                     std::int32_t width, std::int32_t height, std::int32_t hdcSrc,
                                     std::int32_t xSrc, std::int32_t ySrc) {
    return oneInput(hdcDest, xDest, yDest, width, height, {hdcSrc, xSrc, ySrc},
                    [](std::uint8_t* pixels, std::size_t bytes) { bestKernels().grayScale(pixels, bytes / 3); });
}

ZORVIX_EXPORT std::int32_t RGBOperation(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                        std::int32_t width, std::int32_t height, std::int32_t hdcSrc,
                                        std::int32_t xSrc, std::int32_t ySrc, std::int32_t deltaRed,
                                        std::int32_t deltaGreen, std::int32_t deltaBlue) {
    // A channel plus a delta beyond +-255 always clamps to 255 or 0, so the
    // deltas are cut to that range first; this also keeps the sums from
    // overflowing 32 bits for deltas near the ends of the integer range.
    const auto cut = [](std::int32_t delta) { return std::clamp<std::int32_t>(delta, -255, 255); };
    const int red = cut(deltaRed);
    const int green = cut(deltaGreen);
    const int blue = cut(deltaBlue);
    return oneInput(hdcDest, xDest, yDest, width, height, {hdcSrc, xSrc, ySrc},
                    [=](std::uint8_t* pixels, std::size_t bytes) {
                        bestKernels().rgbOperation(pixels, bytes / 3, red, green, blue);
                    });
}

ZORVIX_EXPORT std::int32_t InvertBlt(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                     std::int32_t width, std::int32_t height, std::int32_t hdcSrc,
                                     std::int32_t xSrc, std::int32_t ySrc) {
    return oneInput(hdcDest, xDest, yDest, width, height, {hdcSrc, xSrc, ySrc},
                    [](std::uint8_t* pixels, std::size_t bytes) { bestKernels().invert(pixels, bytes); });
}
