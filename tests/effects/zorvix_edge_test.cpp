// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The effects on the cases worth pinning down one by one: size checks, the
// table contents, each formula's corners, and calls that must fail cleanly.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>

#include "effects/zorvix.h"
#include "tests/effects/model.h"

using namespace fxtest;

namespace {

std::int32_t dcOf(const Surface& s) { return static_cast<std::int32_t>(s.dc()); }

// A bottom-up 24-bit source and destination, both w x h, loaded with pictures.
struct Pair {
    Surface src;
    Surface dest;
    Picture before;
    Pair(const Picture& source, const Picture& destination)
        : src(Kind::Dib24BottomUp, source.width, source.height),
          dest(Kind::Dib24BottomUp, destination.width, destination.height),
          before(destination) {
        src.load(source);
        dest.load(destination);
    }
};

// Every device-context effect called with the same rectangle and handles.
using AnyEffect = std::function<std::int32_t(std::int32_t dest, int w, int h, std::int32_t src)>;
const std::pair<const char*, AnyEffect> kEffects[] = {
    {"AlphaBlt", [](std::int32_t d, int w, int h, std::int32_t s) { return AlphaBlt(d, 0, 0, w, h, s, 0, 0, s, 0, 0, 0.5, 0.5); }},
    {"GrayScale", [](std::int32_t d, int w, int h, std::int32_t s) { return GrayScale(d, 0, 0, w, h, s, 0, 0); }},
    {"RGBOperation", [](std::int32_t d, int w, int h, std::int32_t s) { return RGBOperation(d, 0, 0, w, h, s, 0, 0, 9, 9, 9); }},
    {"SpriteBlt", [](std::int32_t d, int w, int h, std::int32_t s) { return SpriteBlt(d, 0, 0, w, h, s, 0, 0, 0x0000FF); }},
    {"RotateBlt", [](std::int32_t d, int w, int h, std::int32_t s) { return RotateBlt(d, 0, 0, w, h, s, 0, 0, 0x0000FF, 0.3); }},
    {"Blur", [](std::int32_t d, int w, int h, std::int32_t s) { return Blur(d, 0, 0, w, h, s, 0, 0); }},
    {"BlurFast", [](std::int32_t d, int w, int h, std::int32_t s) { return BlurFast(d, 0, 0, w, h, s, 0, 0); }},
    {"HalfBlend", [](std::int32_t d, int w, int h, std::int32_t s) { return HalfBlend(d, 0, 0, w, h, s, 0, 0, s, 0, 0); }},
    {"AddBlend", [](std::int32_t d, int w, int h, std::int32_t s) { return AddBlend(d, 0, 0, w, h, s, 0, 0, s, 0, 0); }},
    {"InvertBlt", [](std::int32_t d, int w, int h, std::int32_t s) { return InvertBlt(d, 0, 0, w, h, s, 0, 0); }},
};

}  // namespace

TEST(ZorvixSizeCheck, RefusedSizesDrawNothingAndAcceptedOnesDraw) {
    std::mt19937 rng(1);
    const Picture source = randomPicture(404, 104, rng);
    for (const auto& [name, effect] : kEffects) {
        // 402 is not a multiple of 4; -4 is, but a negative size is refused;
        // 2^20 x 2^20 pixels would need more bytes than a 32-bit count holds.
        const int refused[][2] = {{402, 100}, {400, 102}, {-4, 100}, {400, -4}, {-4, -4}, {1 << 20, 1 << 20}};
        for (const auto& size : refused) {
            Pair pair(source, filled(404, 104, 1, 2, 3));
            EXPECT_EQ(effect(dcOf(pair.dest), size[0], size[1], dcOf(pair.src)), 0) << name << " " << size[0] << "x" << size[1];
            EXPECT_EQ(pair.dest.read(), pair.before) << name;
        }
        // A zero width or height passes and changes nothing.
        for (const auto& size : {std::pair{0, 100}, std::pair{400, 0}, std::pair{0, 0}}) {
            Pair pair(source, filled(404, 104, 1, 2, 3));
            EXPECT_EQ(effect(dcOf(pair.dest), size.first, size.second, dcOf(pair.src)), 1) << name;
            EXPECT_EQ(pair.dest.read(), pair.before) << name;
        }
        Pair pair(source, filled(404, 104, 1, 2, 3));
        EXPECT_EQ(effect(dcOf(pair.dest), 400, 100, dcOf(pair.src)), 1) << name;
        EXPECT_NE(pair.dest.read(), pair.before) << name;
    }
}

TEST(ZorvixSizeCheck, HandlesThatCannotBeHadFailWithoutDrawing) {
    std::mt19937 rng(2);
    const Picture source = randomPicture(8, 8, rng);
    for (const auto& [name, effect] : kEffects) {
        Pair pair(source, filled(8, 8, 1, 2, 3));
        EXPECT_EQ(effect(dcOf(pair.dest), 8, 8, 0x7FFFFFF0), 0) << name << ": unknown source";
        EXPECT_EQ(pair.dest.read(), pair.before) << name;
        EXPECT_EQ(effect(0x7FFFFFF0, 8, 8, dcOf(pair.src)), 0) << name << ": unknown destination";
        EXPECT_EQ(effect(0, 8, 8, dcOf(pair.src)), 0) << name << ": no destination";
    }
    // A bitmap handle is not a device context, and a deleted device context is gone.
    Surface bitmap(Kind::Dib24BottomUp, 8, 8);
    Pair pair(source, filled(8, 8, 1, 2, 3));
    EXPECT_EQ(InvertBlt(dcOf(pair.dest), 0, 0, 8, 8, static_cast<std::int32_t>(bitmap.bitmap()), 0, 0), 0);
    const HDC gone = CreateCompatibleDC(0);
    ASSERT_TRUE(DeleteDC(gone));
    EXPECT_EQ(InvertBlt(dcOf(pair.dest), 0, 0, 8, 8, static_cast<std::int32_t>(gone), 0, 0), 0);
    EXPECT_EQ(pair.dest.read(), pair.before);
}

// The tables, seen through the effects that read them: all 65,536 pairs.
TEST(ZorvixTables, HalfAddAndInvertHoldEveryPair) {
    Picture first(256, 256);
    Picture second(256, 256);
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            for (int c = 0; c < 3; ++c) {
                first.at(b, a)[c] = static_cast<std::uint8_t>(a);
                second.at(b, a)[c] = static_cast<std::uint8_t>(b);
            }
        }
    }
    Surface one(Kind::Dib24TopDown, 256, 256);
    Surface two(Kind::Dib24BottomUp, 256, 256);
    Surface out(Kind::Host24, 256, 256);
    one.load(first);
    two.load(second);
    ASSERT_EQ(HalfBlend(dcOf(out), 0, 0, 256, 256, dcOf(one), 0, 0, dcOf(two), 0, 0), 1);
    Picture half = out.read();
    ASSERT_EQ(AddBlend(dcOf(out), 0, 0, 256, 256, dcOf(one), 0, 0, dcOf(two), 0, 0), 1);
    Picture add = out.read();
    ASSERT_EQ(InvertBlt(dcOf(out), 0, 0, 256, 256, dcOf(one), 0, 0), 1);
    Picture inverted = out.read();
    EXPECT_EQ(half.at(0, 255)[0], 127);  // (255, 0)
    EXPECT_EQ(add.at(100, 200)[1], 255);  // (200, 100)
    EXPECT_EQ(inverted.at(7, 0)[2], 255);  // 0
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(half.at(b, a)[c], (a + b) / 2) << a << "," << b;
                ASSERT_EQ(add.at(b, a)[c], std::min(a + b, 255)) << a << "," << b;
                ASSERT_EQ(inverted.at(b, a)[c], 255 - a);
            }
        }
    }
}

namespace {

// Blends one 4 x 4 picture of a single value per source and returns the
// resulting byte.
int blendOnce(std::uint8_t a, std::uint8_t b, double alpha1, double alpha2) {
    Surface one(Kind::Dib24BottomUp, 4, 4);
    Surface two(Kind::Dib24BottomUp, 4, 4);
    Surface out(Kind::Dib24BottomUp, 4, 4);
    one.load(filled(4, 4, a, a, a));
    two.load(filled(4, 4, b, b, b));
    EXPECT_EQ(AlphaBlt(dcOf(out), 0, 0, 4, 4, dcOf(one), 0, 0, dcOf(two), 0, 0, alpha1, alpha2), 1);
    return out.read().at(3, 3)[1];
}

}  // namespace

TEST(ZorvixBlending, WeightedBlendTruncatesAndClamps) {
    EXPECT_EQ(blendOnce(255, 254, 0.5, 0.5), 254);
    EXPECT_EQ(blendOnce(1, 0, 0.5, 0.5), 0);
    EXPECT_EQ(blendOnce(200, 100, 0.5, 0.5), 150);
    EXPECT_EQ(blendOnce(200, 200, 0.8, 0.8), 255);
    EXPECT_EQ(blendOnce(100, 200, 1.0, -0.6), 0);
    EXPECT_EQ(blendOnce(100, 200, std::nan(""), 0.5), 0);
    EXPECT_EQ(blendOnce(0, 200, std::numeric_limits<double>::infinity(), 0.5), 0);  // 0 * inf is NaN
    EXPECT_EQ(blendOnce(1, 200, std::numeric_limits<double>::infinity(), 0.5), 255);
    EXPECT_EQ(blendOnce(3, 7, -1.0e9, 1.0e9), 255);
}

TEST(ZorvixBlending, WeightsOneAndZeroReproduceAnInput) {
    std::mt19937 rng(3);
    Surface one(Kind::Dib24BottomUp, 40, 20);
    Surface two(Kind::Host32, 40, 20);
    Surface out(Kind::Dib32TopDown, 40, 20);
    const Picture p1 = randomPicture(40, 20, rng);
    const Picture p2 = randomPicture(40, 20, rng);
    one.load(p1);
    two.load(p2);
    ASSERT_EQ(AlphaBlt(dcOf(out), 0, 0, 40, 20, dcOf(one), 0, 0, dcOf(two), 0, 0, 1.0, 0.0), 1);
    EXPECT_EQ(out.read(), p1);
    ASSERT_EQ(AlphaBlt(dcOf(out), 0, 0, 40, 20, dcOf(one), 0, 0, dcOf(two), 0, 0, 0.0, 1.0), 1);
    EXPECT_EQ(out.read(), p2);
}

TEST(ZorvixBlending, HalfAndAddOfSingleValues) {
    Surface one(Kind::Dib24BottomUp, 4, 4);
    Surface two(Kind::Dib24BottomUp, 4, 4);
    Surface out(Kind::Dib24BottomUp, 4, 4);
    one.load(filled(4, 4, 255, 3, 200));
    two.load(filled(4, 4, 0, 4, 100));
    ASSERT_EQ(HalfBlend(dcOf(out), 0, 0, 4, 4, dcOf(one), 0, 0, dcOf(two), 0, 0), 1);
    EXPECT_EQ(out.read(), filled(4, 4, 127, 3, 150));
    one.load(filled(4, 4, 100, 200, 0));
    two.load(filled(4, 4, 100, 100, 0));
    ASSERT_EQ(AddBlend(dcOf(out), 0, 0, 4, 4, dcOf(one), 0, 0, dcOf(two), 0, 0), 1);
    EXPECT_EQ(out.read(), filled(4, 4, 200, 255, 0));
}

// The game's own use: a band of the picture on screen darkened in place by
// blending it with a black picture.
TEST(ZorvixBlending, AlphaBltOverTheDestinationItself) {
    std::mt19937 rng(4);
    Surface screen(Kind::Host32, 64, 48);
    Surface black(Kind::Dib24BottomUp, 64, 16);
    const Picture picture = randomPicture(64, 48, rng);
    screen.load(picture);
    black.load(filled(64, 16, 0, 0, 0));
    ASSERT_EQ(AlphaBlt(dcOf(screen), 0, 32, 64, 16, dcOf(screen), 0, 32, dcOf(black), 0, 0, 0.5, 0.5), 1);
    Picture expected = picture;
    for (int y = 32; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c) expected.at(x, y)[c] = static_cast<std::uint8_t>(picture.at(x, y)[c] / 2);
    EXPECT_EQ(screen.read(), expected);
    EXPECT_TRUE(screen.marginsIntact());
}

TEST(ZorvixBlending, AlphaBlendFailsForBitmapsThatCannotBeHad) {
    Surface bitmap(Kind::Dib24BottomUp, 8, 8);
    Surface out(Kind::Dib24BottomUp, 8, 8);
    out.load(filled(8, 8, 9, 9, 9));
    const auto dc = dcOf(bitmap);
    const auto bm = static_cast<std::int32_t>(bitmap.bitmap());
    EXPECT_EQ(AlphaBlend(dcOf(out), 0, 0, 8, 8, dc, 0x7FFFFFF0, dc, bm, 0.5, 0.5), 0);
    EXPECT_EQ(AlphaBlend(dcOf(out), 0, 0, 8, 8, dc, bm, 0x7FFFFFF0, bm, 0.5, 0.5), 0);
    EXPECT_EQ(AlphaBlend(dcOf(out), 0, 0, 8, 8, dc, dc, dc, bm, 0.5, 0.5), 0);  // a device context is no bitmap
    EXPECT_EQ(AlphaBlend(dcOf(out), 0, 0, 6, 8, dc, bm, dc, bm, 0.5, 0.5), 0);
    EXPECT_EQ(out.read(), filled(8, 8, 9, 9, 9));
    EXPECT_EQ(AlphaBlend(dcOf(out), 0, 0, 8, 8, dc, bm, dc, bm, 0.5, 0.5), 1);
}

TEST(ZorvixColour, GreyInvertAndShiftCorners) {
    Surface src(Kind::Dib24BottomUp, 4, 4);
    Surface out(Kind::Dib24BottomUp, 4, 4);
    src.load(filled(4, 4, 0, 0, 255));
    ASSERT_EQ(GrayScale(dcOf(out), 0, 0, 4, 4, dcOf(src), 0, 0), 1);
    EXPECT_EQ(out.read(), filled(4, 4, 85, 85, 85));
    src.load(filled(4, 4, 0, 1, 1));
    ASSERT_EQ(GrayScale(dcOf(out), 0, 0, 4, 4, dcOf(src), 0, 0), 1);
    EXPECT_EQ(out.read(), filled(4, 4, 0, 0, 0));
    src.load(filled(4, 4, 5, 100, 250));
    ASSERT_EQ(RGBOperation(dcOf(out), 0, 0, 4, 4, dcOf(src), 0, 0, 10, 0, -10), 1);
    EXPECT_EQ(out.read(), filled(4, 4, 0, 100, 255));
    ASSERT_EQ(RGBOperation(dcOf(out), 0, 0, 4, 4, dcOf(src), 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(out.read(), filled(4, 4, 5, 100, 250));
    // Deltas at the ends of the integer range saturate instead of wrapping.
    const int most = std::numeric_limits<int>::max();
    const int least = std::numeric_limits<int>::min();
    ASSERT_EQ(RGBOperation(dcOf(out), 0, 0, 4, 4, dcOf(src), 0, 0, most, least, most), 1);
    EXPECT_EQ(out.read(), filled(4, 4, 255, 0, 255));
}

TEST(ZorvixColour, EachEffectWorksInPlaceOnTheScreen) {
    std::mt19937 rng(5);
    const Picture picture = randomPicture(48, 40, rng);
    Surface screen(Kind::Host24, 48, 40);
    screen.load(picture);
    ASSERT_EQ(InvertBlt(dcOf(screen), 4, 8, 40, 28, dcOf(screen), 4, 8), 1);
    EXPECT_NE(screen.read(), picture);
    ASSERT_EQ(InvertBlt(dcOf(screen), 4, 8, 40, 28, dcOf(screen), 4, 8), 1);
    EXPECT_EQ(screen.read(), picture);

    ASSERT_EQ(GrayScale(dcOf(screen), 4, 8, 40, 28, dcOf(screen), 4, 8), 1);
    const Picture grey = screen.read();
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 48; ++x) {
            const bool inside = x >= 4 && x < 44 && y >= 8 && y < 36;
            const std::uint8_t* p = picture.at(x, y);
            const std::uint8_t* g = grey.at(x, y);
            if (inside) {
                const int mean = (p[0] + p[1] + p[2]) / 3;
                ASSERT_TRUE(g[0] == mean && g[1] == mean && g[2] == mean) << x << "," << y;
            } else {
                ASSERT_TRUE(std::equal(p, p + 3, g)) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(screen.marginsIntact());
}

TEST(ZorvixSprites, KeyColourLeavesTheBackgroundAndNearMissesReplaceIt) {
    Surface sprite(Kind::Dib24BottomUp, 4, 4);
    Surface screen(Kind::Dib24BottomUp, 4, 4);
    Picture picture = filled(4, 4, 255, 0, 255);  // red 255, green 0, blue 255: the key
    picture.at(1, 2)[0] = 254;                   // blue 254: not the key
    sprite.load(picture);
    screen.load(filled(4, 4, 10, 20, 30));
    // The key's top byte is ignored.
    ASSERT_EQ(SpriteBlt(dcOf(screen), 0, 0, 4, 4, dcOf(sprite), 0, 0, static_cast<std::int32_t>(0xABFF00FFu)), 1);
    Picture expected = filled(4, 4, 10, 20, 30);
    expected.at(1, 2)[0] = 254;
    expected.at(1, 2)[1] = 0;
    expected.at(1, 2)[2] = 255;
    EXPECT_EQ(screen.read(), expected);
}

TEST(ZorvixSprites, RotationByZeroIsTheSprite) {
    std::mt19937 rng(6);
    const Picture background = randomPicture(40, 32, rng);
    const Picture spritePicture = fewColours(40, 32, rng, {0x00FF00, 0x112233, 0x445566});
    Surface sprite(Kind::Dib24TopDown, 40, 32);
    sprite.load(spritePicture);
    Surface a(Kind::Dib24BottomUp, 40, 32);
    Surface b(Kind::Dib24BottomUp, 40, 32);
    a.load(background);
    b.load(background);
    ASSERT_EQ(SpriteBlt(dcOf(a), 0, 0, 40, 32, dcOf(sprite), 0, 0, 0x00FF00), 1);
    ASSERT_EQ(RotateBlt(dcOf(b), 0, 0, 40, 32, dcOf(sprite), 0, 0, 0x00FF00, 0.0), 1);
    EXPECT_EQ(a.read(), b.read());
    EXPECT_NE(a.read(), background);
}

// A full turn: cos is 1 but sin is -2.4e-16, so on the bottom line of a
// 4 x 4 picture the column of the centre comes out as 2 - 4.9e-16 and
// truncates to column 1.
TEST(ZorvixSprites, RotationTruncatesToTheLowerPixel) {
    Picture spritePicture(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) spritePicture.at(x, y)[0] = static_cast<std::uint8_t>(10 * x + y);
    Surface sprite(Kind::Dib24BottomUp, 4, 4);
    Surface screen(Kind::Dib24BottomUp, 4, 4);
    sprite.load(spritePicture);
    ASSERT_EQ(RotateBlt(dcOf(screen), 0, 0, 4, 4, dcOf(sprite), 0, 0, 0x010101, 2 * 3.141592653589793), 1);
    const Picture out = screen.read();
    // Bottom line on screen is y = 3; its column 2 took column 1.
    EXPECT_EQ(out.at(2, 3)[0], spritePicture.at(1, 3)[0]);
}

TEST(ZorvixSprites, PositiveAngleTurnsClockwiseAndNaNDrawsNothingNew) {
    // A single marked pixel right of the centre of an 8 x 8 sprite.
    Picture spritePicture = filled(8, 8, 0, 0, 0);
    spritePicture.at(6, 4)[2] = 200;  // screen row 4 is buffer row 3; centre is buffer (4, 4)
    Surface sprite(Kind::Dib24BottomUp, 8, 8);
    Surface screen(Kind::Dib24BottomUp, 8, 8);
    sprite.load(spritePicture);
    screen.load(filled(8, 8, 0, 0, 0));
    ASSERT_EQ(RotateBlt(dcOf(screen), 0, 0, 8, 8, dcOf(sprite), 0, 0, 0x000000, 3.141592653589793 / 2), 1);
    const Picture out = screen.read();
    int marked = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (out.at(x, y)[2] == 200) {
                ++marked;
                // Clockwise on screen: from right of the centre to below it.
                EXPECT_TRUE(x >= 3 && x <= 5 && y >= 5) << x << "," << y;
            }
    EXPECT_GE(marked, 1);
    screen.load(filled(8, 8, 1, 1, 1));
    ASSERT_EQ(RotateBlt(dcOf(screen), 0, 0, 8, 8, dcOf(sprite), 0, 0, 0x000000, std::nan("")), 1);
    EXPECT_EQ(screen.read(), filled(8, 8, 1, 1, 1));
}

TEST(ZorvixBlur, UniformPicturesStayAndTheFirstPixelsMatchByHand) {
    Surface src(Kind::Dib24BottomUp, 8, 8);
    Surface out(Kind::Dib24BottomUp, 8, 8);
    src.load(filled(8, 8, 77, 78, 79));
    ASSERT_EQ(Blur(dcOf(out), 0, 0, 8, 8, dcOf(src), 0, 0), 1);
    EXPECT_EQ(out.read(), filled(8, 8, 77, 78, 79));
    ASSERT_EQ(BlurFast(dcOf(out), 0, 0, 8, 8, dcOf(src), 0, 0), 1);
    EXPECT_EQ(out.read(), filled(8, 8, 77, 78, 79));

    // Buffer pixel (0, 0) is the bottom-left pixel on screen.
    Surface dot(Kind::Dib24TopDown, 4, 4);
    Picture picture = filled(4, 4, 0, 0, 0);
    picture.at(0, 3)[0] = picture.at(0, 3)[1] = picture.at(0, 3)[2] = 255;
    dot.load(picture);
    Surface small(Kind::Dib24BottomUp, 4, 4);
    ASSERT_EQ(Blur(dcOf(small), 0, 0, 4, 4, dcOf(dot), 0, 0), 1);
    Picture blurred = small.read();
    EXPECT_EQ(blurred.at(0, 3)[0], 153);
    EXPECT_EQ(blurred.at(1, 3)[1], 30);
    ASSERT_EQ(BlurFast(dcOf(small), 0, 0, 4, 4, dcOf(dot), 0, 0), 1);
    blurred = small.read();
    EXPECT_EQ(blurred.at(0, 3)[0], 127);
    EXPECT_EQ(blurred.at(1, 3)[2], 31);
}

TEST(ZorvixTunnel, RadiusChecksAndFailures) {
    Surface screen(Kind::Dib24BottomUp, 32, 32);
    Surface texture(Kind::Dib24BottomUp, 16, 16);
    std::mt19937 rng(7);
    texture.load(randomPicture(16, 16, rng));
    const Picture before = filled(32, 32, 5, 5, 5);
    screen.load(before);
    const auto d = dcOf(screen);
    const auto t = dcOf(texture);
    EXPECT_EQ(Tunnel(d, 16, 16, 3, t, 0, 0, 16, 16), 0);   // side 6
    EXPECT_EQ(Tunnel(d, 16, 16, -2, t, 0, 0, 16, 16), 0);  // negative radius
    EXPECT_EQ(Tunnel(d, 16, 16, 1 << 20, t, 0, 0, 16, 16), 0);  // too many bytes
    EXPECT_EQ(Tunnel(d, 16, 16, 4, t, 0, 0, 14, 16), 0);  // texture width
    EXPECT_EQ(Tunnel(d, 16, 16, 4, t, 0, 0, 16, -4), 0);  // texture height
    EXPECT_EQ(Tunnel(d, std::numeric_limits<int>::min() + 1, 16, 4, t, 0, 0, 16, 16), 0);  // corner overflows
    EXPECT_EQ(Tunnel(d, 16, 16, 4, 0x7FFFFFF0, 0, 0, 16, 16), 0);
    EXPECT_EQ(Tunnel(0x7FFFFFF0, 16, 16, 4, t, 0, 0, 16, 16), 0);
    EXPECT_EQ(Tunnel(d, 16, 16, 0, t, 0, 0, 16, 16), 1);
    EXPECT_EQ(Tunnel(d, 16, 16, 4, t, 0, 0, 0, 16), 1);
    EXPECT_EQ(screen.read(), before);
    EXPECT_EQ(Tunnel(d, 16, 16, 2, t, 0, 0, 16, 16), 1);
    const Picture out = screen.read();
    int changed = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!std::equal(out.at(x, y), out.at(x, y) + 3, before.at(x, y))) {
                ++changed;
                EXPECT_TRUE(x >= 14 && x < 18 && y >= 14 && y < 18) << x << "," << y;
            }
    EXPECT_GT(changed, 0);
}

TEST(ZorvixTunnel, CentreAndAxesPickTheirTexturePixels) {
    // Texture pixel (u, v) of buffer row v has blue u and green v.
    const int tw = 16;
    const int th = 8;
    Picture texturePicture(tw, th);
    for (int v = 0; v < th; ++v)
        for (int u = 0; u < tw; ++u) {
            texturePicture.at(u, th - 1 - v)[0] = static_cast<std::uint8_t>(u);
            texturePicture.at(u, th - 1 - v)[1] = static_cast<std::uint8_t>(v);
            texturePicture.at(u, th - 1 - v)[2] = 99;
        }
    Surface texture(Kind::Dib24BottomUp, tw, th);
    texture.load(texturePicture);
    Surface screen(Kind::Dib24BottomUp, 40, 40);
    screen.load(filled(40, 40, 0, 0, 0));
    const int radius = 8;
    ASSERT_EQ(Tunnel(dcOf(screen), 20, 20, radius, dcOf(texture), 0, 0, tw, th), 1);
    const Picture out = screen.read();
    // Buffer (q, r) of the square is screen (12 + q, 12 + side - 1 - r).
    auto at = [&](int q, int r) { return out.at(12 + q, 12 + 15 - r); };
    EXPECT_EQ(at(8, 8)[0], 0);  // centre: texture (0, 0)
    EXPECT_EQ(at(8, 8)[1], 0);
    EXPECT_EQ(at(8, 12)[0], 0);  // dx = 0, dy > 0: column 0, row 4 * 8 / 8
    EXPECT_EQ(at(8, 12)[1], 4);
    EXPECT_EQ(at(12, 8)[0], tw / 4);  // dx > 0, dy = 0: a quarter turn
    EXPECT_EQ(at(12, 8)[1], 4);
    EXPECT_EQ(at(0, 0)[2], 0);  // a corner lies outside the disc and keeps the background
}
