// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

/* A library file named like the effects library that lacks AlphaBlt: it
 * exports one other effect only. */
#include <stdint.h>

__attribute__((visibility("default"))) int32_t HalfBlend(int32_t hdcDest, int32_t xDest, int32_t yDest,
                                                         int32_t width, int32_t height, int32_t hdcSrc1,
                                                         int32_t xSrc1, int32_t ySrc1, int32_t hdcSrc2,
                                                         int32_t xSrc2, int32_t ySrc2) {
    (void)hdcDest, (void)xDest, (void)yDest, (void)width, (void)height, (void)hdcSrc1;
    (void)xSrc1, (void)ySrc1, (void)hdcSrc2, (void)xSrc2, (void)ySrc2;
    return 1;
}
