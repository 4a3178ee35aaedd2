// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every effect against the formulas written out plainly, on random pictures
// in surfaces of every kind, with rectangles that reach past their edges and
// sources that are the destination itself.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "effects/zorvix.h"
#include "tests/effects/model.h"

using namespace fxtest;

namespace {

constexpr int kCases = 60;
const std::vector<std::uint32_t> kPalette = {0x000000, 0xFF00FF, 0xFE00FF, 0x123456, 0xFFFFFF, 0x00FF00};

Kind randomKind(std::mt19937& rng) {
    return static_cast<Kind>(std::uniform_int_distribution<int>(0, 5)(rng));
}

// A surface of the stand-in together with the picture it should hold.
struct Modelled {
    std::unique_ptr<Surface> surface;
    Picture picture;

    Modelled(std::mt19937& rng, int width, int height, bool fewColourPicture = false) {
        surface = std::make_unique<Surface>(randomKind(rng), width, height);
        picture = fewColourPicture ? fewColours(width, height, rng, kPalette) : randomPicture(width, height, rng);
        surface->load(picture);
    }
    std::int32_t dc() const { return static_cast<std::int32_t>(surface->dc()); }
    std::string describe() const {
        return std::string(kindName(surface->kind())) + " " + std::to_string(picture.width) + "x" +
               std::to_string(picture.height);
    }
};

int randomSide(std::mt19937& rng) { return 4 * std::uniform_int_distribution<int>(1, 12)(rng); }

// A corner for a size-long span on a surface extent long: mostly inside,
// sometimes hanging over either edge, now and then far away.
int randomCorner(std::mt19937& rng, int size, int extent) {
    if (std::uniform_int_distribution<int>(0, 19)(rng) == 0) return std::uniform_int_distribution<int>(-500, 500)(rng);
    return std::uniform_int_distribution<int>(-size / 2 - 2, extent - size / 2 + 2)(rng);
}

void expectSurface(const Modelled& m, const std::string& what) {
    EXPECT_EQ(m.surface->read(), m.picture) << what << ": pixels of " << m.describe();
    EXPECT_TRUE(m.surface->marginsIntact()) << what << ": bytes outside the pixels of " << m.describe();
}

using TwoInputCall = std::function<std::int32_t(std::int32_t, int, int, int, int, std::int32_t, int, int,
                                                std::int32_t, int, int)>;
using TwoInputFormula = std::function<void(Buffer&, const Buffer&, int, int)>;
struct TwoInputEffect {
    TwoInputCall call;
    TwoInputFormula formula;
};
enum class FirstInput { Any, Destination };

// Two sources; either may be the destination (1 in 4), or the first always is
// (the sprites, which draw over what is there).
void checkTwoInputs(unsigned seed, FirstInput first, const std::function<TwoInputEffect(std::mt19937&)>& draw) {
    std::mt19937 rng(seed);
    for (int n = 0; n < kCases; ++n) {
        const TwoInputEffect effect = draw(rng);
        const int w = randomSide(rng);
        const int h = randomSide(rng);
        const bool sprites = first == FirstInput::Destination;
        Modelled dest(rng, std::uniform_int_distribution<int>(8, 70)(rng), std::uniform_int_distribution<int>(8, 60)(rng));
        Modelled one(rng, std::uniform_int_distribution<int>(8, 70)(rng), std::uniform_int_distribution<int>(8, 60)(rng));
        Modelled two(rng, std::uniform_int_distribution<int>(8, 70)(rng), std::uniform_int_distribution<int>(8, 60)(rng),
                     sprites);
        const bool firstIsDest = sprites || std::uniform_int_distribution<int>(0, 3)(rng) == 0;
        const bool secondIsDest = std::uniform_int_distribution<int>(0, 3)(rng) == 0;
        const Modelled& s1 = firstIsDest ? dest : one;
        const Modelled& s2 = secondIsDest ? dest : two;
        const int xd = randomCorner(rng, w, dest.picture.width);
        const int yd = randomCorner(rng, h, dest.picture.height);
        const bool sameRect = sprites || (firstIsDest && n % 2 == 0);
        const int x1 = sameRect ? xd : randomCorner(rng, w, s1.picture.width);
        const int y1 = sameRect ? yd : randomCorner(rng, h, s1.picture.height);
        const int x2 = randomCorner(rng, w, s2.picture.width);
        const int y2 = randomCorner(rng, h, s2.picture.height);

        Buffer a = fetch(s1.picture, x1, y1, w, h);
        const Buffer b = fetch(s2.picture, x2, y2, w, h);
        effect.formula(a, b, w, h);
        drawBack(dest.picture, xd, yd, w, h, a);

        const std::string what = "case " + std::to_string(n) + " rect " + std::to_string(w) + "x" +
                                 std::to_string(h) + " at " + std::to_string(xd) + "," + std::to_string(yd) +
                                 " from " + std::to_string(x1) + "," + std::to_string(y1) + " and " +
                                 std::to_string(x2) + "," + std::to_string(y2) + (secondIsDest ? " of itself" : "");
        ASSERT_EQ(effect.call(dest.dc(), xd, yd, w, h, s1.dc(), x1, y1, s2.dc(), x2, y2), 1) << what;
        expectSurface(dest, what);
        expectSurface(one, what);
        expectSurface(two, what);
    }
}

using OneInputCall = std::function<std::int32_t(std::int32_t, int, int, int, int, std::int32_t, int, int)>;
using OneInputFormula = std::function<void(Buffer&, int, int)>;
struct OneInputEffect {
    OneInputCall call;
    OneInputFormula formula;
};

// One source; 1 in 4 is the destination, half of those the same rectangle.
void checkOneInput(unsigned seed, const std::function<OneInputEffect(std::mt19937&)>& draw) {
    std::mt19937 rng(seed);
    for (int n = 0; n < kCases; ++n) {
        const OneInputEffect effect = draw(rng);
        const int w = randomSide(rng);
        const int h = randomSide(rng);
        Modelled dest(rng, std::uniform_int_distribution<int>(8, 70)(rng), std::uniform_int_distribution<int>(8, 60)(rng));
        Modelled other(rng, std::uniform_int_distribution<int>(8, 70)(rng), std::uniform_int_distribution<int>(8, 60)(rng));
        const bool sourceIsDest = std::uniform_int_distribution<int>(0, 3)(rng) == 0;
        const Modelled& src = sourceIsDest ? dest : other;
        const int xd = randomCorner(rng, w, dest.picture.width);
        const int yd = randomCorner(rng, h, dest.picture.height);
        const int xs = sourceIsDest && n % 2 == 0 ? xd : randomCorner(rng, w, src.picture.width);
        const int ys = sourceIsDest && n % 2 == 0 ? yd : randomCorner(rng, h, src.picture.height);

        Buffer a = fetch(src.picture, xs, ys, w, h);
        effect.formula(a, w, h);
        drawBack(dest.picture, xd, yd, w, h, a);

        const std::string what = "case " + std::to_string(n) + " rect " + std::to_string(w) + "x" +
                                 std::to_string(h) + " at " + std::to_string(xd) + "," + std::to_string(yd) +
                                 " from " + std::to_string(xs) + "," + std::to_string(ys) +
                                 (sourceIsDest ? " of itself" : "");
        ASSERT_EQ(effect.call(dest.dc(), xd, yd, w, h, src.dc(), xs, ys), 1) << what;
        expectSurface(dest, what);
        expectSurface(other, what);
    }
}

double randomWeight(std::mt19937& rng) {
    switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
        case 0: return 0.5;
        case 1: return 1.0;
        case 2: return 0.0;
        case 3: return -0.3;
        case 4: return 3.0e7;  // beyond the range the vector loop takes
        case 5: return std::uniform_real_distribution<double>(-2.0, 2.0)(rng);
        default: return std::uniform_real_distribution<double>(0.0, 1.2)(rng);
    }
}

std::int32_t randomDelta(std::mt19937& rng) {
    switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
        case 0: return std::numeric_limits<std::int32_t>::max();
        case 1: return std::numeric_limits<std::int32_t>::min();
        case 2: return 0;
        default: return std::uniform_int_distribution<std::int32_t>(-300, 300)(rng);
    }
}

std::uint32_t randomKey(std::mt19937& rng) {
    // The palette is laid out as a colour key (blue high, red low); the key's
    // top byte must make no difference.
    const std::uint32_t colour = kPalette[std::uniform_int_distribution<std::size_t>(0, kPalette.size() - 1)(rng)];
    const std::uint32_t top = std::uniform_int_distribution<int>(0, 1)(rng) != 0 ? 0xFF000000u : 0u;
    return colour | top;
}

}  // namespace

TEST(ZorvixMatchesFormulas, AlphaBlt) {
    checkTwoInputs(101, FirstInput::Any, [](std::mt19937& rng) {
        const double alpha1 = randomWeight(rng);
        const double alpha2 = randomWeight(rng);
        return TwoInputEffect{
            [=](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s1, int x1, int y1, std::int32_t s2, int x2,
                int y2) { return AlphaBlt(d, xd, yd, w, h, s1, x1, y1, s2, x2, y2, alpha1, alpha2); },
            [=](Buffer& a, const Buffer& b, int, int) { alphaBlend(a, b, alpha1, alpha2); }};
    });
}

TEST(ZorvixMatchesFormulas, HalfBlend) {
    checkTwoInputs(102, FirstInput::Any, [](std::mt19937&) {
        return TwoInputEffect{[](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s1, int x1, int y1,
                                 std::int32_t s2, int x2, int y2) { return HalfBlend(d, xd, yd, w, h, s1, x1, y1, s2, x2, y2); },
                              [](Buffer& a, const Buffer& b, int, int) { halfBlend(a, b); }};
    });
}

TEST(ZorvixMatchesFormulas, AddBlend) {
    checkTwoInputs(103, FirstInput::Any, [](std::mt19937&) {
        return TwoInputEffect{[](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s1, int x1, int y1,
                                 std::int32_t s2, int x2, int y2) { return AddBlend(d, xd, yd, w, h, s1, x1, y1, s2, x2, y2); },
                              [](Buffer& a, const Buffer& b, int, int) { addBlend(a, b); }};
    });
}

TEST(ZorvixMatchesFormulas, SpriteBlt) {
    checkTwoInputs(104, FirstInput::Destination, [](std::mt19937& rng) {
        const std::uint32_t key = randomKey(rng);
        return TwoInputEffect{
            [=](std::int32_t d, int xd, int yd, int w, int h, std::int32_t, int, int, std::int32_t s2, int x2, int y2) {
                return SpriteBlt(d, xd, yd, w, h, s2, x2, y2, static_cast<std::int32_t>(key));
            },
            [=](Buffer& a, const Buffer& b, int, int) { sprite(a, b, key); }};
    });
}

TEST(ZorvixMatchesFormulas, RotateBlt) {
    checkTwoInputs(105, FirstInput::Destination, [](std::mt19937& rng) {
        const std::uint32_t key = randomKey(rng);
        const double special[] = {0.0, 1.5707963267948966, 3.141592653589793, 6.283185307179586, -0.25};
        const int pick = std::uniform_int_distribution<int>(0, 9)(rng);
        const double angle = pick < 5 ? special[pick] : std::uniform_real_distribution<double>(-7.0, 7.0)(rng);
        return TwoInputEffect{
            [=](std::int32_t d, int xd, int yd, int w, int h, std::int32_t, int, int, std::int32_t s2, int x2, int y2) {
                return RotateBlt(d, xd, yd, w, h, s2, x2, y2, static_cast<std::int32_t>(key), angle);
            },
            [=](Buffer& a, const Buffer& b, int w, int h) { rotate(a, b, w, h, key, angle); }};
    });
}

TEST(ZorvixMatchesFormulas, GrayScale) {
    checkOneInput(106, [](std::mt19937&) {
        return OneInputEffect{[](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s, int xs, int ys) {
                                  return GrayScale(d, xd, yd, w, h, s, xs, ys);
                              },
                              [](Buffer& a, int, int) { grayScale(a); }};
    });
}

TEST(ZorvixMatchesFormulas, RGBOperation) {
    checkOneInput(107, [](std::mt19937& rng) {
        const std::int32_t red = randomDelta(rng);
        const std::int32_t green = randomDelta(rng);
        const std::int32_t blue = randomDelta(rng);
        return OneInputEffect{[=](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s, int xs, int ys) {
                                  return RGBOperation(d, xd, yd, w, h, s, xs, ys, red, green, blue);
                              },
                              [=](Buffer& a, int, int) { rgbOperation(a, red, green, blue); }};
    });
}

TEST(ZorvixMatchesFormulas, InvertBlt) {
    checkOneInput(108, [](std::mt19937&) {
        return OneInputEffect{[](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s, int xs, int ys) {
                                  return InvertBlt(d, xd, yd, w, h, s, xs, ys);
                              },
                              [](Buffer& a, int, int) { invert(a); }};
    });
}

TEST(ZorvixMatchesFormulas, Blur) {
    checkOneInput(109, [](std::mt19937&) {
        return OneInputEffect{[](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s, int xs, int ys) {
                                  return Blur(d, xd, yd, w, h, s, xs, ys);
                              },
                              [](Buffer& a, int w, int h) { blur(a, w, h); }};
    });
}

TEST(ZorvixMatchesFormulas, BlurFast) {
    checkOneInput(110, [](std::mt19937&) {
        return OneInputEffect{[](std::int32_t d, int xd, int yd, int w, int h, std::int32_t s, int xs, int ys) {
                                  return BlurFast(d, xd, yd, w, h, s, xs, ys);
                              },
                              [](Buffer& a, int w, int h) { blurFast(a, w, h); }};
    });
}

TEST(ZorvixMatchesFormulas, AlphaBlendReadsTheBottomLinesOfBitmaps) {
    std::mt19937 rng(111);
    for (int n = 0; n < kCases; ++n) {
        const int w = randomSide(rng);
        const int h = randomSide(rng);
        const double alpha1 = randomWeight(rng);
        const double alpha2 = randomWeight(rng);
        Modelled dest(rng, std::uniform_int_distribution<int>(8, 70)(rng), std::uniform_int_distribution<int>(8, 60)(rng));
        // Bitmaps come from DIB sections; they may be smaller than the rectangle.
        const Kind kinds[] = {Kind::Dib24BottomUp, Kind::Dib24TopDown, Kind::Dib32BottomUp, Kind::Dib32TopDown};
        std::unique_ptr<Surface> bitmaps[2];
        Picture pictures[2];
        Buffer inputs[2];
        for (int i = 0; i < 2; ++i) {
            const int bw = std::uniform_int_distribution<int>(4, 60)(rng);
            const int bh = std::uniform_int_distribution<int>(4, 60)(rng);
            bitmaps[i] = std::make_unique<Surface>(kinds[std::uniform_int_distribution<int>(0, 3)(rng)], bw, bh);
            pictures[i] = randomPicture(bw, bh, rng);
            bitmaps[i]->load(pictures[i]);
            inputs[i] = fetch(pictures[i], 0, bh - h, w, h);
        }
        const int xd = randomCorner(rng, w, dest.picture.width);
        const int yd = randomCorner(rng, h, dest.picture.height);
        alphaBlend(inputs[0], inputs[1], alpha1, alpha2);
        drawBack(dest.picture, xd, yd, w, h, inputs[0]);

        const std::string what = "case " + std::to_string(n);
        ASSERT_EQ(AlphaBlend(dest.dc(), xd, yd, w, h, static_cast<std::int32_t>(bitmaps[0]->dc()),
                             static_cast<std::int32_t>(bitmaps[0]->bitmap()), static_cast<std::int32_t>(bitmaps[1]->dc()),
                             static_cast<std::int32_t>(bitmaps[1]->bitmap()), alpha1, alpha2),
                  1)
            << what;
        expectSurface(dest, what);
        for (int i = 0; i < 2; ++i) EXPECT_EQ(bitmaps[i]->read(), pictures[i]) << what;
    }
}

TEST(ZorvixMatchesFormulas, Tunnel) {
    std::mt19937 rng(112);
    for (int n = 0; n < kCases; ++n) {
        const int radius = 2 * std::uniform_int_distribution<int>(1, 14)(rng);
        const int side = 2 * radius;
        const int tw = randomSide(rng);
        const int th = randomSide(rng);
        Modelled dest(rng, std::uniform_int_distribution<int>(8, 70)(rng), std::uniform_int_distribution<int>(8, 60)(rng));
        Modelled texture(rng, std::uniform_int_distribution<int>(8, 60)(rng), std::uniform_int_distribution<int>(8, 60)(rng));
        const int cx = randomCorner(rng, side, dest.picture.width) + radius;
        const int cy = randomCorner(rng, side, dest.picture.height) + radius;
        const int xt = randomCorner(rng, tw, texture.picture.width);
        const int yt = randomCorner(rng, th, texture.picture.height);

        Buffer out = fetch(dest.picture, cx - radius, cy - radius, side, side);
        tunnel(out, radius, fetch(texture.picture, xt, yt, tw, th), tw, th);
        drawBack(dest.picture, cx - radius, cy - radius, side, side, out);

        const std::string what = "case " + std::to_string(n) + " radius " + std::to_string(radius) + " at " +
                                 std::to_string(cx) + "," + std::to_string(cy) + " texture " + std::to_string(tw) +
                                 "x" + std::to_string(th) + " from " + std::to_string(xt) + "," + std::to_string(yt);
        ASSERT_EQ(Tunnel(dest.dc(), cx, cy, radius, texture.dc(), xt, yt, tw, th), 1) << what;
        expectSurface(dest, what);
        expectSurface(texture, what);
    }
}

// Larger pictures, so that the long vector loops run over many steps and
// over rows of every phase.
TEST(ZorvixMatchesFormulas, LargeRectanglesInsideLargerSurfaces) {
    std::mt19937 rng(113);
    const int w = 324;
    const int h = 180;
    Modelled dest(rng, 400, 240);
    Modelled one(rng, 360, 200);
    Modelled two(rng, 360, 200, true);
    const Buffer a = fetch(one.picture, 17, 9, w, h);
    const Buffer b = fetch(two.picture, 3, 13, w, h);
    const Buffer background = fetch(dest.picture, 41, 29, w, h);
    const std::int32_t d = dest.dc();

    struct Run {
        const char* name;
        std::function<std::int32_t()> call;
        std::function<void(Buffer&)> formula;
        bool overDest;
    };
    const Run runs[] = {
        {"AlphaBlt", [&] { return AlphaBlt(d, 41, 29, w, h, one.dc(), 17, 9, two.dc(), 3, 13, 0.37, 0.71); },
         [&](Buffer& x) { alphaBlend(x, b, 0.37, 0.71); }, false},
        {"HalfBlend", [&] { return HalfBlend(d, 41, 29, w, h, one.dc(), 17, 9, two.dc(), 3, 13); },
         [&](Buffer& x) { halfBlend(x, b); }, false},
        {"AddBlend", [&] { return AddBlend(d, 41, 29, w, h, one.dc(), 17, 9, two.dc(), 3, 13); },
         [&](Buffer& x) { addBlend(x, b); }, false},
        {"GrayScale", [&] { return GrayScale(d, 41, 29, w, h, one.dc(), 17, 9); }, [](Buffer& x) { grayScale(x); }, false},
        {"RGBOperation", [&] { return RGBOperation(d, 41, 29, w, h, one.dc(), 17, 9, 40, -70, 255); },
         [](Buffer& x) { rgbOperation(x, 40, -70, 255); }, false},
        {"InvertBlt", [&] { return InvertBlt(d, 41, 29, w, h, one.dc(), 17, 9); }, [](Buffer& x) { invert(x); }, false},
        {"SpriteBlt", [&] { return SpriteBlt(d, 41, 29, w, h, two.dc(), 3, 13, 0xFF00FF); },
         [&](Buffer& x) { sprite(x, b, 0xFF00FF); }, true},
        {"RotateBlt", [&] { return RotateBlt(d, 41, 29, w, h, two.dc(), 3, 13, 0xFF00FF, 0.7); },
         [&](Buffer& x) { rotate(x, b, w, h, 0xFF00FF, 0.7); }, true},
        {"Blur", [&] { return Blur(d, 41, 29, w, h, one.dc(), 17, 9); }, [&](Buffer& x) { blur(x, w, h); }, false},
        {"BlurFast", [&] { return BlurFast(d, 41, 29, w, h, one.dc(), 17, 9); }, [&](Buffer& x) { blurFast(x, w, h); },
         false},
    };
    for (const Run& run : runs) {
        dest.surface->load(dest.picture);
        Picture expected = dest.picture;
        Buffer x = run.overDest ? background : a;
        run.formula(x);
        drawBack(expected, 41, 29, w, h, x);
        ASSERT_EQ(run.call(), 1) << run.name;
        EXPECT_EQ(dest.surface->read(), expected) << run.name;
        EXPECT_TRUE(dest.surface->marginsIntact()) << run.name;
    }
}
