// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Plain models for checking the stand-in and the effects: pictures kept
// top-down in a vector, surfaces of the stand-in that tests can fill and
// read back, and the effects' formulas written out the straightforward way.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "platform/gdi/gdi.h"

namespace fxtest {

// A picture of blue-green-red pixels, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), bgr(static_cast<std::size_t>(w) * h * 3, 0) {}
    std::uint8_t* at(int x, int y) { return &bgr[(static_cast<std::size_t>(y) * width + x) * 3]; }
    const std::uint8_t* at(int x, int y) const { return &bgr[(static_cast<std::size_t>(y) * width + x) * 3]; }
    bool inside(long long x, long long y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool operator==(const Picture&) const = default;
};

Picture randomPicture(int width, int height, std::mt19937& rng);
// Pixels drawn from a few colours only, so that colour keys match often.
Picture fewColours(int width, int height, std::mt19937& rng, const std::vector<std::uint32_t>& bgrColours);
Picture filled(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red);

// Where a picture lives in the stand-in.
enum class Kind { Dib24BottomUp, Dib24TopDown, Dib32BottomUp, Dib32TopDown, Host24, Host32 };
const char* kindName(Kind kind);

// A device context of the stand-in over a surface of the given kind,
// released on destruction. The host kinds wrap a buffer with extra bytes
// around every row and above and below, which must never change.
class Surface {
public:
    Surface(Kind kind, int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    Kind kind() const { return kind_; }

    void load(const Picture& picture);  // writes straight into the memory
    Picture read() const;               // reads straight from the memory
    // True when every byte outside the pixels (row padding, guard bytes,
    // the fourth byte of 32-bit pixels) still holds what it should.
    bool marginsIntact() const;

private:
    std::uint8_t* pixel(int x, int y) const;

    Kind kind_;
    int width_;
    int height_;
    int bytesPerPixel_ = 3;
    std::ptrdiff_t rowStep_ = 0;
    std::uint8_t* top_ = nullptr;
    std::vector<std::uint8_t> host_;
    std::size_t hostOffset_ = 0;
    int hostStride_ = 0;
    std::uint8_t* bits_ = nullptr;
    std::size_t dibBytes_ = 0;
    std::size_t dibStride_ = 0;
    HDC dc_ = 0;
    HBITMAP bitmap_ = 0;
    HGDIOBJ previous_ = 0;
};

constexpr std::uint8_t kGuard = 0xA5;
constexpr std::uint8_t kHostFill = 0xFF;

// --- the effects' working buffers: bottom-up rows, no padding -------------

using Buffer = std::vector<std::uint8_t>;

// The width by height rectangle at (x, y) of a picture as a working buffer;
// pixels outside the picture are black.
Buffer fetch(const Picture& from, long long x, long long y, int width, int height);
// Draws a working buffer at (x, y) of a picture, dropping what falls outside.
void drawBack(Picture& onto, long long x, long long y, int width, int height, const Buffer& buffer);

// --- the formulas, on working buffers ---------------------------------------

void alphaBlend(Buffer& a, const Buffer& b, double alpha1, double alpha2);
void halfBlend(Buffer& a, const Buffer& b);
void addBlend(Buffer& a, const Buffer& b);
void invert(Buffer& a);
void grayScale(Buffer& a);
void rgbOperation(Buffer& a, long long deltaRed, long long deltaGreen, long long deltaBlue);
void sprite(Buffer& background, const Buffer& sprite, std::uint32_t key);
void rotate(Buffer& background, const Buffer& sprite, int width, int height, std::uint32_t key, double angle);
void blur(Buffer& a, int width, int height);
void blurFast(Buffer& a, int width, int height);
void tunnel(Buffer& out, int radius, const Buffer& texture, int textureWidth, int textureHeight);

}  // namespace fxtest
