// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// A texture wrapped round a disc: the angle about the centre picks the
// texture column, the distance from it the row.
#include <cmath>
#include <cstdint>
#include <limits>

#include "effects/effect.h"
#include "effects/zorvix.h"

using namespace zorvix;

namespace {

// A full turn as the effect measures it: this constant, not 2 pi.
constexpr double kTurn = 6.283;

void wrapTexture(std::uint8_t* out, int radius, const std::uint8_t* texture, int textureWidth, int textureHeight) {
    const int side = 2 * radius;
    const double columns = textureWidth;
    const double rows = textureHeight;
    for (int r = 0; r < side; ++r) {
        const int dy = r - radius;
        std::uint8_t* line = out + static_cast<std::size_t>(r) * side * 3;
        for (int q = 0; q < side; ++q) {
            const int dx = q - radius;
            // The row first: it is cheap, and outside the disc the angle is
            // not needed at all.
            const double v = std::sqrt(static_cast<double>(dx * dx + dy * dy)) * textureHeight / radius;
            if (!(v < rows)) continue;
            double a = std::atan2(static_cast<double>(dx), static_cast<double>(dy));
            if (a < 0) a += kTurn;
            const double u = a / kTurn * textureWidth;
            if (!(u > -1.0 && u < columns)) continue;
            const std::uint8_t* t =
                texture + (static_cast<std::size_t>(static_cast<int>(v)) * textureWidth + static_cast<int>(u)) * 3;
            std::uint8_t* d = line + static_cast<std::size_t>(q) * 3;
            d[0] = t[0];
            d[1] = t[1];
            d[2] = t[2];
        }
    }
}

bool fitsInt(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

ZORVIX_EXPORT std::int32_t Tunnel(std::int32_t hdcDest, std::int32_t centreX, std::int32_t centreY,
                                  std::int32_t radius, std::int32_t hdcTexture, std::int32_t xTexture,
                                  std::int32_t yTexture, std::int32_t textureWidth, std::int32_t textureHeight) {
    if (radius < 0) return 0;
    const std::int64_t side = 2 * static_cast<std::int64_t>(radius);
    std::size_t outBytes = 0;
    std::size_t textureBytes = 0;
    const SizeCheck square = checkSize(side, side, outBytes);
    const SizeCheck texture = checkSize(textureWidth, textureHeight, textureBytes);
    if (square == SizeCheck::Refused || texture == SizeCheck::Refused) return 0;
    const std::int64_t left = static_cast<std::int64_t>(centreX) - radius;
    const std::int64_t top = static_cast<std::int64_t>(centreY) - radius;
    if (!fitsInt(left) || !fitsInt(top)) return 0;
    // No square, or a texture with no pixels: every output pixel keeps its
    // background, so there is nothing to draw.
    if (square == SizeCheck::Empty || texture == SizeCheck::Empty) return 1;

    const int s = static_cast<int>(side);
    Frame frame(handle(hdcDest));
    if (!frame.ready()) return 0;
    std::uint8_t* out = frame.fetch(handle(hdcDest), static_cast<int>(left), static_cast<int>(top), s, s);
    if (out == nullptr) return 0;
    const std::uint8_t* pixels = frame.fetch(handle(hdcTexture), xTexture, yTexture, textureWidth, textureHeight);
    if (pixels == nullptr) return 0;
    wrapTexture(out, radius, pixels, textureWidth, textureHeight);
    return drawBack(handle(hdcDest), static_cast<int>(left), static_cast<int>(top), s, s, out) ? 1 : 0;
}
