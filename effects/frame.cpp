// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

#include "effects/frame.h"

#include <cstdint>
#include <limits>

namespace zorvix {

SizeCheck checkSize(std::int64_t width, std::int64_t height, std::size_t& bytes) {
    if (width < 0 || height < 0 || width % 4 != 0 || height % 4 != 0) return SizeCheck::Refused;
    if (width == 0 || height == 0) return SizeCheck::Empty;
    // Both are at most 2^31, so the product cannot overflow 64 bits.
    const std::int64_t count = width * height * 3;
    if (count > std::numeric_limits<std::int32_t>::max()) return SizeCheck::Refused;
    bytes = static_cast<std::size_t>(count);
    return SizeCheck::Ready;
}

BITMAPINFO pictureHeader(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Frame::Frame(HDC destination) : destination_(destination), memory_(CreateCompatibleDC(destination)) {}

Frame::~Frame() {
    if (memory_ != 0) {
        if (previous_ != 0) SelectObject(memory_, previous_);
        DeleteDC(memory_);
    }
    for (int i = 0; i < sectionCount_; ++i) DeleteObject(sections_[i]);
}

std::uint8_t* Frame::newSection(int width, int height) {
    if (memory_ == 0 || sectionCount_ == 2) return nullptr;
    const BITMAPINFO info = pictureHeader(width, height);
    void* bits = nullptr;
    const HBITMAP section = CreateDIBSection(destination_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == 0) return nullptr;
    sections_[sectionCount_++] = section;
    return static_cast<std::uint8_t*>(bits);
}

std::uint8_t* Frame::blank(int width, int height) { return newSection(width, height); }

std::uint8_t* Frame::fetch(HDC source, int x, int y, int width, int height) {
    std::uint8_t* bits = newSection(width, height);
    if (bits == nullptr) return nullptr;
    const HGDIOBJ replaced = SelectObject(memory_, sections_[sectionCount_ - 1]);
    if (replaced == 0) return nullptr;
    if (previous_ == 0) previous_ = replaced;
    if (!BitBlt(memory_, 0, 0, width, height, source, x, y, SRCCOPY)) return nullptr;
    return bits;
}

bool drawBack(HDC dest, int x, int y, int width, int height, const std::uint8_t* pixels) {
    const BITMAPINFO info = pictureHeader(width, height);
    return StretchDIBits(dest, x, y, width, height, 0, 0, width, height, pixels, &info, DIB_RGB_COLORS, SRCCOPY) != 0;
}

}  // namespace zorvix
