// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// Pictures drawn over what is already on the destination, with one colour
// left out: straight, or turned about the centre of their rectangle.
#include <cmath>

#include "effects/effect.h"
#include "effects/kernels.h"
#include "effects/zorvix.h"

using namespace zorvix;

namespace {

// Turns the sprite by angle radians about (width / 2, height / 2), sampling
// the nearest pixel by truncation, and draws every sampled pixel that is not
// the key colour over the background. Buffer rows count upward, so a positive
// angle turns the picture clockwise on the screen.
void rotateOver(std::uint8_t* background, const std::uint8_t* sprite, int width, int height, std::uint32_t key,
                double angle) {
    const int cx = width / 2;
    const int cy = height / 2;
    const double sinA = std::sin(angle);
    const double cosA = std::cos(angle);
    const double right = width;
    const double top = height;
    const std::uint8_t keyRed = static_cast<std::uint8_t>(key);
    const std::uint8_t keyGreen = static_cast<std::uint8_t>(key >> 8);
    const std::uint8_t keyBlue = static_cast<std::uint8_t>(key >> 16);
    for (int i = 0; i < height; ++i) {
        const int dy = i - cy;
        const double dySin = dy * sinA;
        const double dyCos = dy * cosA;
        std::uint8_t* out = background + static_cast<std::size_t>(i) * width * 3;
        for (int j = 0; j < width; ++j) {
            const int dx = j - cx;
            const double sx = dx * cosA - dySin + cx;
            const double sy = dx * sinA + dyCos + cy;
            // Truncation toward zero lands in 0..width-1 exactly when the value
            // lies in (-1, width); comparing first also keeps NaN and huge
            // values away from the integer conversion.
            if (!(sx > -1.0 && sx < right && sy > -1.0 && sy < top)) continue;
            const std::uint8_t* s =
                sprite + (static_cast<std::size_t>(static_cast<int>(sy)) * width + static_cast<int>(sx)) * 3;
            if (s[0] == keyBlue && s[1] == keyGreen && s[2] == keyRed) continue;
            std::uint8_t* d = out + static_cast<std::size_t>(j) * 3;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

}  // namespace

ZORVIX_EXPORT std::int32_t SpriteBlt(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                     std::int32_t width, std::int32_t height, std::int32_t hdcSrc,
                                     std::int32_t xSrc, std::int32_t ySrc, std::int32_t keyColour) {
    const auto key = static_cast<std::uint32_t>(keyColour);
    return twoInputs(hdcDest, xDest, yDest, width, height, {hdcDest, xDest, yDest}, {hdcSrc, xSrc, ySrc},
                     [=](std::uint8_t* background, const std::uint8_t* sprite, std::size_t bytes) {
                         bestKernels().sprite(background, sprite, bytes / 3, key);
                     });
}

ZORVIX_EXPORT std::int32_t RotateBlt(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                     std::int32_t width, std::int32_t height, std::int32_t hdcSrc,
                                     std::int32_t xSrc, std::int32_t ySrc, std::int32_t keyColour, double angle) {
    const auto key = static_cast<std::uint32_t>(keyColour);
    return twoInputs(hdcDest, xDest, yDest, width, height, {hdcDest, xDest, yDest}, {hdcSrc, xSrc, ySrc},
                     [=](std::uint8_t* background, const std::uint8_t* sprite, std::size_t) {
                         rotateOver(background, sprite, width, height, key, angle);
                     });
}
