// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// What every effect shares: the size check, fetching rectangles into 24-bit
// bottom-up buffers through DIB sections, and drawing a buffer back 1:1.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/gdi.h"

namespace zorvix {

enum class SizeCheck {
    Refused,  // negative, not a multiple of 4, or too many bytes: the call returns 0
    Empty,    // no pixels: nothing to draw, the call returns 1
    Ready,
};

// Checks a width by height rectangle of 24-bit pixels and, when Ready, gives
// its byte count (width * height * 3, at most INT32_MAX).
SizeCheck checkSize(std::int64_t width, std::int64_t height, std::size_t& bytes);

// The BITMAPINFO of a width by height, 24-bit, bottom-up picture.
BITMAPINFO pictureHeader(int width, int height);

// Holds one memory device context compatible with the destination and up to
// two DIB sections fetched through it; releases them all when it goes.
class Frame {
public:
    explicit Frame(HDC destination);
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // False when the memory device context could not be made.
    bool ready() const { return memory_ != 0; }

    // Copies the width by height rectangle at (x, y) of source into a new DIB
    // section and returns its pixels: bottom-up, 24 bits, and (widths being
    // multiples of 4) with no row padding. Parts of the rectangle outside the
    // source's surface come out black. Null when something cannot be had.
    std::uint8_t* fetch(HDC source, int x, int y, int width, int height);

    // A new width by height DIB section, all black, for scratch pixels.
    std::uint8_t* blank(int width, int height);

private:
    std::uint8_t* newSection(int width, int height);

    HDC destination_;
    HDC memory_ = 0;
    HGDIOBJ previous_ = 0;
    HBITMAP sections_[2] = {0, 0};
    int sectionCount_ = 0;
};

// Draws a width by height bottom-up 24-bit buffer 1:1 at (x, y) of dest.
bool drawBack(HDC dest, int x, int y, int width, int height, const std::uint8_t* pixels);

// Handles arrive as the 32-bit integers of the interface.
inline HDC handle(std::int32_t value) { return static_cast<HDC>(value); }

}  // namespace zorvix
