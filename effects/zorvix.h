// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

/*
 * Zorvix: twelve pixel effects on device contexts, with a plain C interface.
 *
 * Every function takes 32-bit integers (device-context and bitmap handles,
 * coordinates, sizes, colours) and doubles by value, and returns 1 on success
 * or 0 on failure. Widths and heights must be multiples of 4; a zero width or
 * height draws nothing and succeeds; negative sizes fail. A colour key is laid
 * out 0x00BBGGRR (red in the low byte).
 *
 * The game loads the library by name and looks the functions up one by one;
 * this header gives their signatures.
 */
#ifndef VANTEL_EFFECTS_ZORVIX_H
#define VANTEL_EFFECTS_ZORVIX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ZORVIX_API __attribute__((visibility("default")))
#else
#define ZORVIX_API
#endif

/* Weighted blend of the bottom `height` lines of two bitmaps. */
ZORVIX_API int32_t AlphaBlend(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                              int32_t hdcSrc1, int32_t hbmSrc1, int32_t hdcSrc2, int32_t hbmSrc2, double alpha1,
                              double alpha2);
/* Weighted blend of two rectangles: each byte a * alpha1 + b * alpha2, clamped, truncated. */
ZORVIX_API int32_t AlphaBlt(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                            int32_t hdcSrc1, int32_t xSrc1, int32_t ySrc1, int32_t hdcSrc2, int32_t xSrc2,
                            int32_t ySrc2, double alpha1, double alpha2);
/* Grey by plain average of blue, green and red. */
ZORVIX_API int32_t GrayScale(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                             int32_t hdcSrc, int32_t xSrc, int32_t ySrc);
/* Adds a signed amount to each channel, clamped to 0..255. */
ZORVIX_API int32_t RGBOperation(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                                int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t deltaRed, int32_t deltaGreen,
                                int32_t deltaBlue);
/* Draws the source over the destination, leaving pixels of keyColour out. */
ZORVIX_API int32_t SpriteBlt(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                             int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t keyColour);
/* As SpriteBlt, with the picture turned by angle radians about its centre. */
ZORVIX_API int32_t RotateBlt(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                             int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t keyColour, double angle);
/* Averages each pixel with its four neighbours, in one in-place pass. */
ZORVIX_API int32_t Blur(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                        int32_t hdcSrc, int32_t xSrc, int32_t ySrc);
/* Averages the four neighbours of each pixel, in one in-place pass. */
ZORVIX_API int32_t BlurFast(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                            int32_t hdcSrc, int32_t xSrc, int32_t ySrc);
/* Equal-parts blend, rounding down. */
ZORVIX_API int32_t HalfBlend(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                             int32_t hdcSrc1, int32_t xSrc1, int32_t ySrc1, int32_t hdcSrc2, int32_t xSrc2,
                             int32_t ySrc2);
/* Saturating sum. */
ZORVIX_API int32_t AddBlend(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                            int32_t hdcSrc1, int32_t xSrc1, int32_t ySrc1, int32_t hdcSrc2, int32_t xSrc2,
                            int32_t ySrc2);
/* Negative image. */
ZORVIX_API int32_t InvertBlt(int32_t hdcDest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                             int32_t hdcSrc, int32_t xSrc, int32_t ySrc);
/* Wraps a texture round a disc of the given radius about (centreX, centreY). */
ZORVIX_API int32_t Tunnel(int32_t hdcDest, int32_t centreX, int32_t centreY, int32_t radius, int32_t hdcTexture,
                          int32_t xTexture, int32_t yTexture, int32_t textureWidth, int32_t textureHeight);

#ifdef __cplusplus
}
#endif

#endif
