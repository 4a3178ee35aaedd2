// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// The common shape of the device-context effects: check the size, fetch one
// or two rectangles, compute in the first buffer, draw it back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effects/frame.h"

#define ZORVIX_EXPORT extern "C" __attribute__((visibility("default")))

namespace zorvix {

struct Source {
    std::int32_t dc;
    std::int32_t x;
    std::int32_t y;
};

// compute(pixels, bytes) works in place on the fetched source rectangle.
template <class Compute>
std::int32_t oneInput(std::int32_t dest, std::int32_t xDest, std::int32_t yDest, std::int32_t width,
                      std::int32_t height, Source source, Compute compute) {
    std::size_t bytes = 0;
    switch (checkSize(width, height, bytes)) {
        case SizeCheck::Refused: return 0;
        case SizeCheck::Empty: return 1;
        case SizeCheck::Ready: break;
    }
    Frame frame(handle(dest));
    if (!frame.ready()) return 0;
    std::uint8_t* pixels = frame.fetch(handle(source.dc), source.x, source.y, width, height);
    if (pixels == nullptr) return 0;
    compute(pixels, bytes);
    return drawBack(handle(dest), xDest, yDest, width, height, pixels) ? 1 : 0;
}

// compute(first, second, bytes) writes its result into the first buffer.
template <class Compute>
std::int32_t twoInputs(std::int32_t dest, std::int32_t xDest, std::int32_t yDest, std::int32_t width,
                       std::int32_t height, Source first, Source second, Compute compute) {
    std::size_t bytes = 0;
    switch (checkSize(width, height, bytes)) {
        case SizeCheck::Refused: return 0;
        case SizeCheck::Empty: return 1;
        case SizeCheck::Ready: break;
    }
    Frame frame(handle(dest));
    if (!frame.ready()) return 0;
    std::uint8_t* a = frame.fetch(handle(first.dc), first.x, first.y, width, height);
    if (a == nullptr) return 0;
    const std::uint8_t* b = frame.fetch(handle(second.dc), second.x, second.y, width, height);
    if (b == nullptr) return 0;
    compute(a, b, bytes);
    return drawBack(handle(dest), xDest, yDest, width, height, a) ? 1 : 0;
}

}  // namespace zorvix
