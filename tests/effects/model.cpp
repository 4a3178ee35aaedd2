// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/effects/model.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace fxtest {

Picture randomPicture(int width, int height, std::mt19937& rng) {
    Picture p(width, height);
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& b : p.bgr) b = static_cast<std::uint8_t>(byte(rng));
    return p;
}

Picture fewColours(int width, int height, std::mt19937& rng, const std::vector<std::uint32_t>& bgrColours) {
    Picture p(width, height);
    std::uniform_int_distribution<std::size_t> pick(0, bgrColours.size() - 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = bgrColours[pick(rng)];
            p.at(x, y)[0] = static_cast<std::uint8_t>(c >> 16);
            p.at(x, y)[1] = static_cast<std::uint8_t>(c >> 8);
            p.at(x, y)[2] = static_cast<std::uint8_t>(c);
        }
    }
    return p;
}

Picture filled(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.at(x, y)[0] = blue;
            p.at(x, y)[1] = green;
            p.at(x, y)[2] = red;
        }
    }
    return p;
}

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Dib24BottomUp: return "Dib24BottomUp";
        case Kind::Dib24TopDown: return "Dib24TopDown";
        case Kind::Dib32BottomUp: return "Dib32BottomUp";
        case Kind::Dib32TopDown: return "Dib32TopDown";
        case Kind::Host24: return "Host24";
        case Kind::Host32: return "Host32";
    }
    return "?";
}

Surface::Surface(Kind kind, int width, int height) : kind_(kind), width_(width), height_(height) {
    const bool host = kind == Kind::Host24 || kind == Kind::Host32;
    bytesPerPixel_ = (kind == Kind::Dib32BottomUp || kind == Kind::Dib32TopDown || kind == Kind::Host32) ? 4 : 3;
    if (host) {
        hostStride_ = width * bytesPerPixel_ + 8;
        host_.assign(static_cast<std::size_t>(hostStride_) * (height + 2), kGuard);
        hostOffset_ = static_cast<std::size_t>(hostStride_);
        top_ = host_.data() + hostOffset_;
        rowStep_ = hostStride_;
        dc_ = CreatePixelBufferDC(top_, width, height, hostStride_, bytesPerPixel_ * 8, kHostFill);
    } else {
        const bool bottomUp = kind == Kind::Dib24BottomUp || kind == Kind::Dib32BottomUp;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = bottomUp ? height : -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bytesPerPixel_ * 8);
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<std::uint8_t*>(bits);
        dibStride_ = (static_cast<std::size_t>(width) * bytesPerPixel_ * 8 + 31) / 32 * 4;
        dibBytes_ = dibStride_ * height;
        top_ = bottomUp ? bits_ + (height - 1) * dibStride_ : bits_;
        rowStep_ = bottomUp ? -static_cast<std::ptrdiff_t>(dibStride_) : static_cast<std::ptrdiff_t>(dibStride_);
        dc_ = CreateCompatibleDC(0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    if (dc_ == 0 || top_ == nullptr || (!host && previous_ == 0)) throw std::runtime_error("surface not made");
}

Surface::~Surface() {
    if (previous_ != 0) SelectObject(dc_, previous_);
    DeleteDC(dc_);
    if (bitmap_ != 0) DeleteObject(bitmap_);
}

std::uint8_t* Surface::pixel(int x, int y) const { return top_ + y * rowStep_ + x * bytesPerPixel_; }

void Surface::load(const Picture& picture) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            std::uint8_t* p = pixel(x, y);
            std::memcpy(p, picture.at(x, y), 3);
            if (bytesPerPixel_ == 4) p[3] = host_.empty() ? 0 : kHostFill;
        }
    }
}

Picture Surface::read() const {
    Picture picture(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) std::memcpy(picture.at(x, y), pixel(x, y), 3);
    return picture;
}

bool Surface::marginsIntact() const {
    const std::uint8_t fourth = host_.empty() ? 0 : kHostFill;
    if (bytesPerPixel_ == 4) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (pixel(x, y)[3] != fourth) return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * bytesPerPixel_;
    if (!host_.empty()) {
        for (std::size_t i = 0; i < host_.size(); ++i) {
            const std::size_t row = i / hostStride_;
            const std::size_t column = i % hostStride_;
            const bool pixelByte = row >= 1 && row <= static_cast<std::size_t>(height_) && column < rowBytes;
            if (!pixelByte && host_[i] != kGuard) return false;
        }
    } else {
        for (std::size_t i = 0; i < dibBytes_; ++i)
            if (i % dibStride_ >= rowBytes && bits_[i] != 0) return false;
    }
    return true;
}

Buffer fetch(const Picture& from, long long x, long long y, int width, int height) {
    Buffer buffer(static_cast<std::size_t>(width) * height * 3, 0);
    for (int row = 0; row < height; ++row) {
        // Buffer row 0 is the bottom line of the rectangle.
        const long long sy = y + (height - 1 - row);
        for (int column = 0; column < width; ++column) {
            const long long sx = x + column;
            if (!from.inside(sx, sy)) continue;
            std::memcpy(&buffer[(static_cast<std::size_t>(row) * width + column) * 3],
                        from.at(static_cast<int>(sx), static_cast<int>(sy)), 3);
        }
    }
    return buffer;
}

void drawBack(Picture& onto, long long x, long long y, int width, int height, const Buffer& buffer) {
    for (int row = 0; row < height; ++row) {
        const long long dy = y + (height - 1 - row);
        for (int column = 0; column < width; ++column) {
            const long long dx = x + column;
            if (!onto.inside(dx, dy)) continue;
            std::memcpy(onto.at(static_cast<int>(dx), static_cast<int>(dy)),
                        &buffer[(static_cast<std::size_t>(row) * width + column) * 3], 3);
        }
    }
}

void alphaBlend(Buffer& a, const Buffer& b, double alpha1, double alpha2) {
    for (std::size_t k = 0; k < a.size(); ++k) {
        double v = a[k] * alpha1 + b[k] * alpha2;
        if (v > 255) v = 255;
        if (!(v >= 0)) v = 0;
        a[k] = static_cast<std::uint8_t>(std::trunc(v));
    }
}

void halfBlend(Buffer& a, const Buffer& b) {
    for (std::size_t k = 0; k < a.size(); ++k) a[k] = static_cast<std::uint8_t>((a[k] + b[k]) / 2);
}

void addBlend(Buffer& a, const Buffer& b) {
    for (std::size_t k = 0; k < a.size(); ++k) {
        const int sum = a[k] + b[k];
        a[k] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
}

void invert(Buffer& a) {
    for (auto& byte : a) byte = static_cast<std::uint8_t>(255 - byte);
}

void grayScale(Buffer& a) {
    for (std::size_t k = 0; k + 2 < a.size(); k += 3) {
        const int g = (a[k] + a[k + 1] + a[k + 2]) / 3;
        a[k] = a[k + 1] = a[k + 2] = static_cast<std::uint8_t>(g);
    }
}

void rgbOperation(Buffer& a, long long deltaRed, long long deltaGreen, long long deltaBlue) {
    const auto clamp = [](long long v) {
        if (v > 255) v = 255;
        if (v < 0) v = 0;
        return static_cast<std::uint8_t>(v);
    };
    for (std::size_t k = 0; k + 2 < a.size(); k += 3) {
        const long long r = a[k + 2] + deltaRed;
        const long long gr = a[k + 1] + deltaGreen;
        const long long bl = a[k] + deltaBlue;
        a[k + 2] = clamp(r);
        a[k + 1] = clamp(gr);
        a[k] = clamp(bl);
    }
}

namespace {
bool isKey(const std::uint8_t* p, std::uint32_t key) {
    return p[2] == (key & 0xFF) && p[1] == ((key >> 8) & 0xFF) && p[0] == ((key >> 16) & 0xFF);
}
}  // namespace

void sprite(Buffer& background, const Buffer& spr, std::uint32_t key) {
    for (std::size_t k = 0; k + 2 < background.size(); k += 3)
        if (!isKey(&spr[k], key)) std::memcpy(&background[k], &spr[k], 3);
}

void rotate(Buffer& background, const Buffer& spr, int width, int height, std::uint32_t key, double angle) {
    const int cx = width / 2;
    const int cy = height / 2;
    const double sinA = std::sin(angle);
    const double cosA = std::cos(angle);
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            const int dx = j - cx;
            const int dy = i - cy;
            const double sx = std::trunc(dx * cosA - dy * sinA + cx);
            const double sy = std::trunc(dx * sinA + dy * cosA + cy);
            if (sx >= 0 && sx < width && sy >= 0 && sy < height) {
                const std::uint8_t* s = &spr[(static_cast<std::size_t>(sy) * width + static_cast<std::size_t>(sx)) * 3];
                if (!isKey(s, key)) std::memcpy(&background[(static_cast<std::size_t>(i) * width + j) * 3], s, 3);
            }
        }
    }
}

namespace {
void blurPass(Buffer& a, int width, int height, bool withSelf) {
    auto at = [&](int x, int y, int c) -> std::uint8_t& { return a[(static_cast<std::size_t>(y) * width + x) * 3 + c]; };
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            int up = i - 1;
            if (up < 0) up = 0;
            int down = i + 1;
            if (down > height - 1) down = height - 1;
            int left = j - 1;
            if (left < 0) left = 0;
            int right = j + 1;
            if (right > width - 1) right = width - 1;
            for (int c = 0; c < 3; ++c) {
                int sum = at(j, up, c) + at(left, i, c) + at(j, down, c) + at(right, i, c);
                if (withSelf) {
                    sum += at(j, i, c);
                    at(j, i, c) = static_cast<std::uint8_t>(sum / 5);
                } else {
                    at(j, i, c) = static_cast<std::uint8_t>(sum >> 2);
                }
            }
        }
    }
}
}  // namespace

void blur(Buffer& a, int width, int height) { blurPass(a, width, height, true); }
void blurFast(Buffer& a, int width, int height) { blurPass(a, width, height, false); }

void tunnel(Buffer& out, int radius, const Buffer& texture, int textureWidth, int textureHeight) {
    const int side = 2 * radius;
    for (int r = 0; r < side; ++r) {
        for (int q = 0; q < side; ++q) {
            const int dx = q - radius;
            const int dy = r - radius;
            double a = std::atan2(static_cast<double>(dx), static_cast<double>(dy));
            if (a < 0) a += 6.283;
            const double u = std::trunc(a / 6.283 * textureWidth);
            const double v = std::trunc(std::sqrt(static_cast<double>(dx * dx + dy * dy)) * textureHeight / radius);
            if (u >= 0 && u < textureWidth && v >= 0 && v < textureHeight) {
                std::memcpy(&out[(static_cast<std::size_t>(r) * side + q) * 3],
                            &texture[(static_cast<std::size_t>(v) * textureWidth + static_cast<std::size_t>(u)) * 3], 3);
            }
        }
    }
}

}  // namespace fxtest
