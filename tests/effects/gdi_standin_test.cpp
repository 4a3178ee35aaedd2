// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The GDI stand-in: memory layout of DIB sections, clipping, handle rules,
// the reading and drawing calls, and the wrapped host buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "platform/gdi/gdi.h"
#include "tests/effects/model.h"

using namespace fxtest;

namespace {

BITMAPINFO header(int width, int height, int bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A numbered picture: blue x, green y, red 7.
Picture numbered(int width, int height) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            p.at(x, y)[0] = static_cast<std::uint8_t>(x);
            p.at(x, y)[1] = static_cast<std::uint8_t>(y);
            p.at(x, y)[2] = 7;
        }
    return p;
}

}  // namespace

TEST(GdiDibSection, RowsArePaddedAndOrderedAsInWin32) {
    const BITMAPINFO bottomUp = header(5, 3, 24);  // 15 bytes a row, padded to 16
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(0, &bottomUp, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, 0u);
    ASSERT_NE(bits, nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < 48; ++i) ASSERT_EQ(bytes[i], 0) << "new sections start black";

    Surface source(Kind::Host24, 5, 3);
    source.load(numbered(5, 3));
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ stock = SelectObject(dc, bitmap);
    ASSERT_NE(stock, 0u);
    ASSERT_TRUE(BitBlt(dc, 0, 0, 5, 3, source.dc(), 0, 0, SRCCOPY));
    // Bottom-up: the first row in memory is the bottom line (y = 2).
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes[2], 7);
    EXPECT_EQ(bytes[12], 4);  // x = 4 of the bottom line
    EXPECT_EQ(bytes[15], 0);  // padding
    EXPECT_EQ(bytes[16 + 1], 1);  // second row in memory is y = 1
    EXPECT_EQ(bytes[32 + 1], 0);

    // Top-down 32-bit: no padding, first row is the top line, fourth byte 0.
    const BITMAPINFO topDown = header(5, -3, 32);
    void* bits32 = nullptr;
    const HBITMAP bitmap32 = CreateDIBSection(dc, &topDown, DIB_RGB_COLORS, &bits32, nullptr, 0);
    ASSERT_NE(bitmap32, 0u);
    EXPECT_EQ(SelectObject(dc, bitmap32), bitmap);
    ASSERT_TRUE(BitBlt(dc, 0, 0, 5, 3, source.dc(), 0, 0, SRCCOPY));
    const auto* bytes32 = static_cast<const std::uint8_t*>(bits32);
    EXPECT_EQ(bytes32[1], 0);
    EXPECT_EQ(bytes32[4 * 5 + 1], 1);
    EXPECT_EQ(bytes32[4 * 4], 4);
    EXPECT_EQ(bytes32[3], 0);

    EXPECT_EQ(SelectObject(dc, stock), bitmap32);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(bitmap32));
}

TEST(GdiDibSection, RefusesWhatItCannotMake) {
    void* bits = reinterpret_cast<void*>(1);
    BITMAPINFO info = header(4, 4, 16);
    EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    EXPECT_EQ(bits, nullptr);
    info = header(0, 4, 24);
    EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    info = header(4, 0, 24);
    EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    info = header(1 << 20, 1 << 20, 24);  // more bytes than a surface may have
    EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    info = header(4, std::numeric_limits<LONG>::min(), 24);
    EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    info = header(4, 4, 24);
    info.bmiHeader.biCompression = 3;
    EXPECT_EQ(CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    info = header(4, 4, 24);
    EXPECT_EQ(CreateDIBSection(0, &info, 1, &bits, nullptr, 0), 0u);
    EXPECT_EQ(CreateDIBSection(0x7FFFFFF0, &info, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    EXPECT_EQ(CreateDIBSection(0, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
    EXPECT_EQ(bits, nullptr);
}

TEST(GdiHandles, UnknownDeletedAndMisusedHandlesFail) {
    EXPECT_EQ(CreateCompatibleDC(0x7FFFFFF0), 0u);
    const HDC a = CreateCompatibleDC(0);
    const HDC b = CreateCompatibleDC(a);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    const BITMAPINFO info = header(8, 8, 24);
    const HBITMAP bitmap = CreateDIBSection(a, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    ASSERT_NE(bitmap, 0u);
    const HGDIOBJ stock = SelectObject(a, bitmap);
    ASSERT_NE(stock, 0u);
    EXPECT_EQ(SelectObject(b, bitmap), 0u) << "a bitmap lives in one device context at a time";
    EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
    EXPECT_FALSE(DeleteObject(a)) << "device contexts go with DeleteDC";
    EXPECT_EQ(SelectObject(a, a), 0u) << "a device context cannot be selected";
    EXPECT_TRUE(DeleteObject(stock)) << "the stock bitmap is never really deleted";
    EXPECT_EQ(SelectObject(b, stock), stock) << "and can be selected anywhere";
    EXPECT_TRUE(BitBlt(b, 0, 0, 8, 8, a, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(b, 0, 0, 8, 8, a, 0, 0, 0x00EE0086)) << "only SRCCOPY";
    EXPECT_FALSE(BitBlt(b, 0, 0, -8, 8, a, 0, 0, SRCCOPY));

    EXPECT_TRUE(DeleteDC(a));  // releases the bitmap
    EXPECT_FALSE(DeleteDC(a));
    EXPECT_FALSE(BitBlt(b, 0, 0, 8, 8, a, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectObject(b, bitmap), stock);
    EXPECT_EQ(SelectObject(b, stock), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(b, bitmap), 0u);
    BITMAPINFO query = header(8, 8, 24);
    std::uint8_t pixels[8 * 8 * 3];
    EXPECT_EQ(GetDIBits(b, bitmap, 0, 8, pixels, &query, DIB_RGB_COLORS), 0);
    EXPECT_EQ(StretchDIBits(a, 0, 0, 8, 8, 0, 0, 8, 8, pixels, &query, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_FALSE(DeleteObject(0));
    EXPECT_TRUE(DeleteDC(b));
}

TEST(GdiBitBlt, ClipsAgainstBothSurfacesAndNeverTouchesOutside) {
    std::mt19937 rng(31);
    const Picture from = randomPicture(20, 12, rng);
    const Picture to = randomPicture(16, 10, rng);
    struct Case {
        int x, y, cx, cy, x1, y1;
    };
    const Case cases[] = {{-3, -2, 10, 8, 0, 0},   {10, 6, 10, 8, 2, 3},     {0, 0, 30, 30, -5, -4},
                          {4, 4, 8, 8, 15, 9},     {0, 0, 8, 8, 100, 100},   {std::numeric_limits<int>::max(), 0, 8, 8, 0, 0},
                          {0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 0},
                          {2, 3, 0, 5, 0, 0}};
    for (Kind sourceKind : {Kind::Host32, Kind::Dib24BottomUp}) {
        for (Kind destKind : {Kind::Host24, Kind::Host32, Kind::Dib32TopDown}) {
            for (const Case& c : cases) {
                Surface src(sourceKind, 20, 12);
                Surface dst(destKind, 16, 10);
                src.load(from);
                dst.load(to);
                ASSERT_TRUE(BitBlt(dst.dc(), c.x, c.y, c.cx, c.cy, src.dc(), c.x1, c.y1, SRCCOPY));
                Picture expected = to;
                // Both surfaces are smaller than 40 pixels each way.
                for (long long dy = 0; dy < std::min(c.cy, 40); ++dy)
                    for (long long dx = 0; dx < std::min(c.cx, 40); ++dx) {
                        const long long sx = c.x1 + dx, sy = c.y1 + dy, tx = c.x + dx, ty = c.y + dy;
                        if (from.inside(sx, sy) && expected.inside(tx, ty))
                            std::memcpy(expected.at(int(tx), int(ty)), from.at(int(sx), int(sy)), 3);
                    }
                EXPECT_EQ(dst.read(), expected) << kindName(sourceKind) << "->" << kindName(destKind) << " " << c.x << "," << c.y;
                EXPECT_TRUE(dst.marginsIntact());
                EXPECT_EQ(src.read(), from);
            }
        }
    }
}

TEST(GdiBitBlt, OverlappingCopyWithinOneSurfaceReadsTheOldPixels) {
    const Picture picture = numbered(12, 10);
    for (const auto& shift : {std::pair{2, 3}, std::pair{-2, -3}, std::pair{1, -1}, std::pair{-1, 1}}) {
        Surface s(Kind::Dib24BottomUp, 12, 10);
        s.load(picture);
        ASSERT_TRUE(BitBlt(s.dc(), 3 + shift.first, 3 + shift.second, 6, 5, s.dc(), 3, 3, SRCCOPY));
        Picture expected = picture;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x)
                if (expected.inside(3 + shift.first + x, 3 + shift.second + y))
                    std::memcpy(expected.at(3 + shift.first + x, 3 + shift.second + y), picture.at(3 + x, 3 + y), 3);
        EXPECT_EQ(s.read(), expected);
    }
}

TEST(GdiStretchDIBits, DrawsOneToOneFromTheDibOriginAndRefusesScaling) {
    Surface screen(Kind::Host24, 10, 8);
    const Picture blank = filled(10, 8, 1, 1, 1);
    screen.load(blank);
    // A 4 x 3 bottom-up DIB; row 0 in memory is its bottom line.
    std::uint8_t dib[3][12];
    for (int row = 0; row < 3; ++row)
        for (int i = 0; i < 12; ++i) dib[row][i] = static_cast<std::uint8_t>(100 + 10 * row + i / 3);
    const BITMAPINFO up = header(4, 3, 24);
    EXPECT_EQ(StretchDIBits(screen.dc(), 2, 1, 4, 3, 0, 0, 4, 3, dib, &up, DIB_RGB_COLORS, SRCCOPY), 3);
    Picture shown = screen.read();
    EXPECT_EQ(shown.at(2, 3)[0], 100);  // bottom line of the DIB is the lowest screen row
    EXPECT_EQ(shown.at(5, 1)[0], 123);
    EXPECT_EQ(shown.at(1, 1)[0], 1);
    // ySrc counts from the bottom: the top two lines of the DIB.
    screen.load(blank);
    EXPECT_EQ(StretchDIBits(screen.dc(), 0, 0, 4, 2, 0, 1, 4, 2, dib, &up, DIB_RGB_COLORS, SRCCOPY), 2);
    shown = screen.read();
    EXPECT_EQ(shown.at(0, 0)[0], 120);
    EXPECT_EQ(shown.at(0, 1)[0], 110);
    EXPECT_EQ(shown.at(0, 2)[0], 1);
    // Top-down: ySrc counts from the top.
    const BITMAPINFO down = header(4, -3, 24);
    screen.load(blank);
    EXPECT_EQ(StretchDIBits(screen.dc(), 0, 0, 4, 1, 0, 1, 4, 1, dib, &down, DIB_RGB_COLORS, SRCCOPY), 1);
    EXPECT_EQ(screen.read().at(0, 0)[0], 110);
    // Clipped at the screen's edges, and never past the DIB.
    screen.load(blank);
    EXPECT_EQ(StretchDIBits(screen.dc(), 8, 6, 4, 3, -1, 0, 4, 3, dib, &up, DIB_RGB_COLORS, SRCCOPY), 3);
    shown = screen.read();
    EXPECT_EQ(shown.at(8, 6)[0], 1);  // column -1 of the DIB does not exist
    EXPECT_EQ(shown.at(9, 6)[0], 120);
    EXPECT_EQ(shown.at(9, 7)[0], 110);
    EXPECT_TRUE(screen.marginsIntact());
    screen.load(blank);
    EXPECT_EQ(StretchDIBits(screen.dc(), 0, 0, 8, 6, 0, 0, 4, 3, dib, &up, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(screen.dc(), 0, 0, -4, 3, 0, 0, -4, 3, dib, &up, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(screen.dc(), 0, 0, 4, 3, 0, 0, 4, 3, nullptr, &up, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(screen.read(), blank);
}

TEST(GdiGetDIBits, ReadsScanLinesFromTheBottom) {
    Surface bitmap(Kind::Dib32TopDown, 6, 5);
    bitmap.load(numbered(6, 5));
    const HDC dc = CreateCompatibleDC(0);
    // Two bottom lines, 8 pixels wide: the two past the bitmap come out black.
    BITMAPINFO info = header(8, 2, 24);
    std::vector<std::uint8_t> out(8 * 3 * 2, 0xEE);
    EXPECT_EQ(GetDIBits(dc, bitmap.bitmap(), 0, 2, out.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 4);  // y = 4 is the bottom line
    EXPECT_EQ(out[5 * 3], 5);
    EXPECT_EQ(out[6 * 3 + 2], 0);
    EXPECT_EQ(out[24 + 1], 3);
    // Asking for more lines than there are copies what there is; rows of 18
    // bytes are padded to 20.
    BITMAPINFO tall = header(6, 8, 24);
    std::vector<std::uint8_t> all(20 * 8, 0xEE);
    EXPECT_EQ(GetDIBits(dc, bitmap.bitmap(), 3, 8, all.data(), &tall, DIB_RGB_COLORS), 2);
    EXPECT_EQ(all[1], 1);
    EXPECT_EQ(all[18], 0);
    EXPECT_EQ(all[20 + 1], 0);
    EXPECT_EQ(all[20 + 15], 5);
    EXPECT_EQ(all[40], 0xEE);
    EXPECT_EQ(GetDIBits(dc, bitmap.bitmap(), 5, 1, all.data(), &tall, DIB_RGB_COLORS), 0);
    // Without a buffer, the header learns the bitmap's size.
    BITMAPINFO query{};
    query.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_NE(GetDIBits(dc, bitmap.bitmap(), 0, 0, nullptr, &query, DIB_RGB_COLORS), 0);
    EXPECT_EQ(query.bmiHeader.biWidth, 6);
    EXPECT_EQ(query.bmiHeader.biHeight, 5);
    EXPECT_EQ(query.bmiHeader.biBitCount, 32);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiHostBuffer, DrawsStraightIntoTheCallersPixels) {
    // A top-down 32-bit buffer of 3 x 2 with 4 spare bytes a row, as a
    // window's picture might have.
    std::vector<std::uint8_t> memory(2 * 16, 0x11);
    const HDC host = CreatePixelBufferDC(memory.data(), 3, 2, 16, 32, 0xFF);
    ASSERT_NE(host, 0u);
    Surface source(Kind::Dib24BottomUp, 3, 2);
    source.load(numbered(3, 2));
    ASSERT_TRUE(BitBlt(host, 0, 0, 3, 2, source.dc(), 0, 0, SRCCOPY));
    const std::uint8_t firstRow[16] = {0, 0, 7, 0xFF, 1, 0, 7, 0xFF, 2, 0, 7, 0xFF, 0x11, 0x11, 0x11, 0x11};
    EXPECT_EQ(std::memcmp(memory.data(), firstRow, 16), 0);
    EXPECT_EQ(memory[16 + 1], 1);
    EXPECT_EQ(SelectObject(host, source.bitmap()), 0u) << "nothing is selected into a host buffer";
    EXPECT_TRUE(DeleteDC(host));
    EXPECT_FALSE(BitBlt(host, 0, 0, 3, 2, source.dc(), 0, 0, SRCCOPY));

    EXPECT_EQ(CreatePixelBufferDC(memory.data(), 3, 2, 11, 32, 0), 0u) << "row too short";
    EXPECT_EQ(CreatePixelBufferDC(memory.data(), 3, 2, 16, 16, 0), 0u);
    EXPECT_EQ(CreatePixelBufferDC(nullptr, 3, 2, 16, 32, 0), 0u);
    EXPECT_EQ(CreatePixelBufferDC(memory.data(), 0, 2, 16, 32, 0), 0u);
}

// Many threads making, drawing through and deleting handles at once.
TEST(GdiThreads, ConcurrentCallsKeepTheTableWhole) {
    auto work = [](unsigned seed) {
        std::mt19937 rng(seed);
        for (int n = 0; n < 200; ++n) {
            Surface a(Kind::Dib24BottomUp, 16, 16);
            Surface b(Kind::Host32, 16, 16);
            const Picture p = randomPicture(16, 16, rng);
            a.load(p);
            if (!BitBlt(b.dc(), 0, 0, 16, 16, a.dc(), 0, 0, SRCCOPY) || !(b.read() == p)) return false;
        }
        return true;
    };
    bool results[4] = {};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 4; ++t) threads.emplace_back([&, t] { results[t] = work(t + 1); });
    for (auto& t : threads) t.join();
    for (bool r : results) EXPECT_TRUE(r);
}
