// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// Mixing two pictures: weighted, equal parts and saturating sum.
#include "effects/effect.h"
#include "effects/kernels.h"
#include "effects/zorvix.h"

using namespace zorvix;

ZORVIX_EXPORT std::int32_t AlphaBlend(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                      std::int32_t width, std::int32_t height, std::int32_t hdcSrc1,
                                      std::int32_t hbmSrc1, std::int32_t hdcSrc2, std::int32_t hbmSrc2,
                                      double alpha1, double alpha2) {
    std::size_t bytes = 0;
    switch (checkSize(width, height, bytes)) {
        case SizeCheck::Refused: return 0;
        case SizeCheck::Empty: return 1;
        case SizeCheck::Ready: break;
    }
    // The inputs are read straight from the bitmaps; the two buffers are DIB
    // sections only because the GDI recycles their memory.
    Frame frame(handle(hdcDest));
    if (!frame.ready()) return 0;
    std::uint8_t* a = frame.blank(width, height);
    std::uint8_t* b = frame.blank(width, height);
    if (a == nullptr || b == nullptr) return 0;
    // A bitmap shorter than the rectangle leaves its missing lines black.
    BITMAPINFO info = pictureHeader(width, height);
    if (GetDIBits(handle(hdcSrc1), handle(hbmSrc1), 0, static_cast<UINT>(height), a, &info, DIB_RGB_COLORS) == 0)
        return 0;
    info = pictureHeader(width, height);
    if (GetDIBits(handle(hdcSrc2), handle(hbmSrc2), 0, static_cast<UINT>(height), b, &info, DIB_RGB_COLORS) == 0)
        return 0;
    bestKernels().alphaBlend(a, b, bytes, alpha1, alpha2);
    return drawBack(handle(hdcDest), xDest, yDest, width, height, a) ? 1 : 0;
}

ZORVIX_EXPORT std::int32_t AlphaBlt(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                    std::int32_t width, std::int32_t height, std::int32_t hdcSrc1,
                                    std::int32_t xSrc1, std::int32_t ySrc1, std::int32_t hdcSrc2,
                                    std::int32_t xSrc2, std::int32_t ySrc2, double alpha1, double alpha2) {
    return twoInputs(hdcDest, xDest, yDest, width, height, {hdcSrc1, xSrc1, ySrc1}, {hdcSrc2, xSrc2, ySrc2},
                     [=](std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
                         bestKernels().alphaBlend(a, b, bytes, alpha1, alpha2);
                     });
}

ZORVIX_EXPORT std::int32_t HalfBlend(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                     std::int32_t width, std::int32_t height, std::int32_t hdcSrc1,
                                     std::int32_t xSrc1, std::int32_t ySrc1, std::int32_t hdcSrc2,
                                     std::int32_t xSrc2, std::int32_t ySrc2) {
    return twoInputs(hdcDest, xDest, yDest, width, height, {hdcSrc1, xSrc1, ySrc1}, {hdcSrc2, xSrc2, ySrc2},
                     [](std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
                         bestKernels().halfBlend(a, b, bytes);
                     });
}

ZORVIX_EXPORT std::int32_t AddBlend(std::int32_t hdcDest, std::int32_t xDest, std::int32_t yDest,
                                    std::int32_t width, std::int32_t height, std::int32_t hdcSrc1,
                                    std::int32_t xSrc1, std::int32_t ySrc1, std::int32_t hdcSrc2,
                                    std::int32_t xSrc2, std::int32_t ySrc2) {
    return twoInputs(hdcDest, xDest, yDest, width, height, {hdcSrc1, xSrc1, ySrc1}, {hdcSrc2, xSrc2, ySrc2},
                     [](std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
                         bestKernels().addBlend(a, b, bytes);
                     });
}
