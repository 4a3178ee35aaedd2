// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

/* A library file named like the effects library whose AlphaBlt refuses
 * every call: it draws nothing and returns 0. It records the arguments of
 * the last call for the test to read back. */
#include <stdint.h>

static int32_t calls;
static int32_t lastIntegers[11];
static double lastWeights[2];

__attribute__((visibility("default"))) int32_t AlphaBlt(int32_t hdcDest, int32_t xDest, int32_t yDest,
                                                        int32_t width, int32_t height, int32_t hdcSrc1,
                                                        int32_t xSrc1, int32_t ySrc1, int32_t hdcSrc2,
                                                        int32_t xSrc2, int32_t ySrc2, double alpha1,
                                                        double alpha2) {
    const int32_t integers[11] = {hdcDest, xDest, yDest, width, height, hdcSrc1,
                                  xSrc1, ySrc1, hdcSrc2, xSrc2, ySrc2};
    for (int i = 0; i < 11; ++i) lastIntegers[i] = integers[i];
    lastWeights[0] = alpha1;
    lastWeights[1] = alpha2;
    ++calls;
    return 0;
}

/* The number of calls so far; the last call's eleven integer and two
 * double arguments in order. */
__attribute__((visibility("default"))) int32_t RecordedAlphaBlt(int32_t* integers, double* weights) {
    for (int i = 0; i < 11; ++i) integers[i] = lastIntegers[i];
    weights[0] = lastWeights[0];
    weights[1] = lastWeights[1];
    return calls;
}
