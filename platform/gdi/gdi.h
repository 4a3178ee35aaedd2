// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

/*
 * The part of the Win32 GDI that the effects library and the game draw
 * through, on in-memory surfaces. Names, parameter orders and results follow
 * Win32; handles are 32-bit integers, 0 meaning "none" or "failed".
 *
 * Surfaces are 24 or 32 bits per pixel, blue-green-red in memory. The fourth
 * byte of a 32-bit pixel carries no colour: every pixel written into a 32-bit
 * surface gets that surface's fill byte there (0 for DIB sections, the
 * caller's choice for a wrapped host buffer).
 *
 * Every rectangle is clipped against every surface it touches: nothing is
 * read or written outside a surface. Unknown or deleted handles make a call
 * fail. All calls are serialised by one lock, so they may come from any
 * thread; the pixels behind a bits pointer are the caller's to guard.
 */
#ifndef VANTEL_PLATFORM_GDI_GDI_H
#define VANTEL_PLATFORM_GDI_GDI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define VANTEL_GDI_API __attribute__((visibility("default")))
#else
#define VANTEL_GDI_API
#endif

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int BOOL;
typedef unsigned int UINT;
typedef void* HANDLE;

typedef uint32_t HGDIOBJ;
typedef uint32_t HDC;
typedef uint32_t HBITMAP;

#define SRCCOPY ((DWORD)0x00CC0020)
#define DIB_RGB_COLORS 0
#define BI_RGB 0

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

#ifdef __cplusplus
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER must keep the Win32 layout");
static_assert(sizeof(BITMAPINFO) == 44, "BITMAPINFO must keep the Win32 layout");
#else
_Static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER must keep the Win32 layout");
_Static_assert(sizeof(BITMAPINFO) == 44, "BITMAPINFO must keep the Win32 layout");
#endif

/* A new memory device context holding the 1 x 1 stock bitmap. hdc is 0 or a
 * live device context; anything else fails. */
VANTEL_GDI_API HDC CreateCompatibleDC(HDC hdc);

/* A device-independent bitmap of 24 or 32 bits, BI_RGB, positive height for
 * bottom-up rows, negative for top-down; rows padded to 4 bytes. Its pixels
 * start all zero. *bits receives their address (or NULL on failure). hdc may
 * be 0; section and offset are not used. */
VANTEL_GDI_API HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits,
                                        HANDLE section, DWORD offset);

/* Selects a bitmap into a memory device context and returns the bitmap it
 * held, or 0 on failure (bad handles, a host device context, or a bitmap
 * already selected into another device context). */
VANTEL_GDI_API HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);

/* Copies cx by cy pixels from (x1, y1) of hdcSrc to (x, y) of hdcDest, both
 * top-left based. Only SRCCOPY is supported. Overlapping copies within one
 * surface behave as if the source were read first. */
VANTEL_GDI_API BOOL BitBlt(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1,
                           DWORD rop);

/* Reads scan lines start .. start + lines - 1 of the bitmap (scan line 0 is
 * its bottom line) into bits, in the 24- or 32-bit layout bmi describes, with
 * bmi's width; pixels right of the bitmap come out black. Returns the number
 * of lines copied (0 on failure). With bits NULL, fills bmi's header with the
 * bitmap's size and format instead. */
VANTEL_GDI_API int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits,
                             BITMAPINFO* bmi, UINT usage);

/* Draws a rectangle of a DIB onto a device context. Only 1:1 copies with
 * SRCCOPY are supported; other scales are refused. (xSrc, ySrc) count from
 * the DIB's origin: its bottom-left corner when bottom-up, its top-left when
 * top-down. Returns the number of scan lines of the rectangle, 0 on failure. */
VANTEL_GDI_API int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight,
                                 int xSrc, int ySrc, int srcWidth, int srcHeight,
                                 const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop);

/* Deletes a device context made here; a bitmap selected into it is released,
 * not deleted. */
VANTEL_GDI_API BOOL DeleteDC(HDC hdc);

/* Deletes a bitmap. Fails for a bitmap still selected into a device context
 * and for anything that is not a bitmap; the stock bitmap is never deleted. */
VANTEL_GDI_API BOOL DeleteObject(HGDIOBJ object);

/* Host call: wraps a caller-owned top-down pixel buffer (for example the bits
 * of a window's picture) as a device context, so that drawing lands straight
 * in it. bitsPerPixel is 24 or 32; bytesPerLine is the distance between rows
 * and must hold a whole row. fillByte is written into the fourth byte of
 * every pixel drawn into a 32-bit buffer (0xFF keeps an ARGB picture opaque).
 * The buffer must outlive the device context; DeleteDC releases the wrapping
 * and leaves the memory alone. No bitmap can be selected into it. */
VANTEL_GDI_API HDC CreatePixelBufferDC(void* bits, int width, int height, int bytesPerLine,
                                       int bitsPerPixel, BYTE fillByte);

#ifdef __cplusplus
}
#endif

#endif
