// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// In-memory stand-in for the Win32 GDI calls the effects library and the game
// use. One lock guards the handle table and every pixel copy, so a handle
// cannot be deleted while a call is still drawing through it.

#include "platform/gdi/gdi.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Largest pixel block handed out; keeps every byte count within a DWORD-sized
// biSizeImage and every offset within ptrdiff_t.
constexpr std::int64_t kMaxSurfaceBytes = std::numeric_limits<std::int32_t>::max();

// A rectangle of pixels in memory, addressed top-down whatever its storage.
struct Surface {
    std::uint8_t* top = nullptr;  // first byte of the top row
    std::ptrdiff_t rowStep = 0;   // bytes from a row to the row below it
    int width = 0;
    int height = 0;
    int bytesPerPixel = 3;
    std::uint8_t fill = 0;  // fourth byte written into 32-bit pixels

    std::uint8_t* pixel(std::int64_t x, std::int64_t y) const {
        return top + static_cast<std::ptrdiff_t>(y) * rowStep + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
    }
    // Lowest and one-past-highest byte the surface occupies.
    const std::uint8_t* low() const { return rowStep >= 0 ? top : top + (height - 1) * rowStep; }
    const std::uint8_t* high() const {
        const std::uint8_t* lastRow = rowStep >= 0 ? top + (height - 1) * rowStep : top;
        return lastRow + static_cast<std::ptrdiff_t>(width) * bytesPerPixel;
    }
};

struct Bitmap {
    Surface surface;
    std::uint8_t* memory = nullptr;
    std::size_t bytes = 0;
    HDC selectedInto = 0;
    bool stock = false;
};

struct DeviceContext {
    bool host = false;
    Surface hostSurface;  // used when host
    HBITMAP selected = 0;  // used otherwise
};

// Recently freed large pixel blocks, kept for the next DIB section of the
// same size: effects create and delete full-screen sections on every
// call, and fresh pages from the system cost more than the copy itself.
// Under AddressSanitizer every block goes back to the heap so that stale
// pointers are still caught.
class PixelPool {
public:
    std::uint8_t* take(std::size_t bytes) {
        const std::size_t capacity = roundUp(bytes);
#if !defined(__SANITIZE_ADDRESS__)
        if (capacity >= kPoolFrom) {
            auto best = blocks_.end();
            for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
                if (it->capacity == capacity) {
                    best = it;
                    break;
                }
            }
            if (best != blocks_.end()) {
                std::uint8_t* memory = best->memory;
                pooledBytes_ -= best->capacity;
                blocks_.erase(best);
                std::memset(memory, 0, capacity);
                return memory;
            }
        }
#endif
        void* memory = std::aligned_alloc(kAlignment, capacity);
        if (memory != nullptr) std::memset(memory, 0, capacity);
        return static_cast<std::uint8_t*>(memory);
    }

    void give(std::uint8_t* memory, std::size_t bytes) {
        if (memory == nullptr) return;
#if !defined(__SANITIZE_ADDRESS__)
        const std::size_t capacity = roundUp(bytes);
        if (capacity >= kPoolFrom && capacity <= kPoolLimit) {
            while (!blocks_.empty() && (blocks_.size() >= kPoolBlocks || pooledBytes_ + capacity > kPoolLimit)) {
                std::free(blocks_.front().memory);
                pooledBytes_ -= blocks_.front().capacity;
                blocks_.erase(blocks_.begin());
            }
            blocks_.push_back({memory, capacity});
            pooledBytes_ += capacity;
            return;
        }
#else
        (void)bytes;
#endif
        std::free(memory);
    }

private:
    static constexpr std::size_t kAlignment = 64;
    static constexpr std::size_t kPoolFrom = 256 * 1024;
    static constexpr std::size_t kPoolLimit = 128u * 1024 * 1024;
    static constexpr std::size_t kPoolBlocks = 4;

    static std::size_t roundUp(std::size_t bytes) {
        const std::size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
        return rounded == 0 ? kAlignment : rounded;
    }

    struct Block {
        std::uint8_t* memory;
        std::size_t capacity;
    };
    std::vector<Block> blocks_;
    std::size_t pooledBytes_ = 0;
};

struct Registry {
    std::mutex lock;
    std::unordered_map<std::uint32_t, Bitmap> bitmaps;
    std::unordered_map<std::uint32_t, DeviceContext> dcs;
    std::uint32_t nextHandle = 0x100;
    HBITMAP stockBitmap = 0;
    std::uint8_t stockPixel[4] = {0, 0, 0, 0};
    PixelPool pool;

    std::uint32_t newHandle() {
        for (;;) {
            const std::uint32_t handle = nextHandle++;
            if (handle != 0 && bitmaps.count(handle) == 0 && dcs.count(handle) == 0) return handle;
        }
    }

    HBITMAP stock() {
        if (stockBitmap == 0) {
            Bitmap bitmap;
            bitmap.surface.top = stockPixel;
            bitmap.surface.width = 1;
            bitmap.surface.height = 1;
            bitmap.surface.rowStep = 4;
            bitmap.surface.bytesPerPixel = 4;
            bitmap.stock = true;
            stockBitmap = newHandle();
            bitmaps.emplace(stockBitmap, bitmap);
        }
        return stockBitmap;
    }

    DeviceContext* dc(HDC handle) {
        auto it = dcs.find(handle);
        return it == dcs.end() ? nullptr : &it->second;
    }
    Bitmap* bitmap(HGDIOBJ handle) {
        auto it = bitmaps.find(handle);
        return it == bitmaps.end() ? nullptr : &it->second;
    }
    // The surface a device context draws on, or null for a bad handle.
    const Surface* surfaceOf(HDC handle) {
        DeviceContext* context = dc(handle);
        if (context == nullptr) return nullptr;
        if (context->host) return &context->hostSurface;
        Bitmap* selected = bitmap(context->selected);
        return selected == nullptr ? nullptr : &selected->surface;
    }
};

Registry& registry() {
    // Never destroyed: handles may still be deleted from other static
    // destructors at exit.
    static Registry* instance = new Registry;
    return *instance;
}

// The layout a BITMAPINFO describes, when it is one this stand-in handles.
struct DibLayout {
    int width = 0;
    int height = 0;  // absolute
    bool bottomUp = true;
    int bytesPerPixel = 3;
    std::int64_t stride = 0;
    std::int64_t bytes = 0;
};

bool readLayout(const BITMAPINFO* bmi, UINT usage, DibLayout& layout) {
    if (bmi == nullptr || usage != DIB_RGB_COLORS) return false;
    const BITMAPINFOHEADER& header = bmi->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biCompression != BI_RGB)
        return false;
    if (header.biBitCount != 24 && header.biBitCount != 32) return false;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == std::numeric_limits<LONG>::min())
        return false;
    layout.width = header.biWidth;
    layout.height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    layout.bottomUp = header.biHeight > 0;
    layout.bytesPerPixel = header.biBitCount / 8;
    layout.stride = (static_cast<std::int64_t>(layout.width) * header.biBitCount + 31) / 32 * 4;
    layout.bytes = layout.stride * layout.height;
    return layout.bytes <= kMaxSurfaceBytes;
}

Surface surfaceOver(std::uint8_t* bits, const DibLayout& layout) {
    Surface surface;
    surface.width = layout.width;
    surface.height = layout.height;
    surface.bytesPerPixel = layout.bytesPerPixel;
    if (layout.bottomUp) {
        surface.top = bits + (layout.height - 1) * layout.stride;
        surface.rowStep = -static_cast<std::ptrdiff_t>(layout.stride);
    } else {
        surface.top = bits;
        surface.rowStep = static_cast<std::ptrdiff_t>(layout.stride);
    }
    return surface;
}

// Cuts a copy of w x h pixels from (sx, sy) of a source sw x sh to (dx, dy)
// of a destination dw x dh down to the part inside both. False when nothing
// is left.
struct Copy {
    std::int64_t dx, dy, sx, sy, w, h;
};

bool clip(Copy& c, int sw, int sh, int dw, int dh) {
    const std::int64_t left = std::max<std::int64_t>({0, -c.sx, -c.dx});
    c.sx += left;
    c.dx += left;
    c.w -= left;
    const std::int64_t up = std::max<std::int64_t>({0, -c.sy, -c.dy});
    c.sy += up;
    c.dy += up;
    c.h -= up;
    c.w = std::min<std::int64_t>({c.w, sw - c.sx, dw - c.dx});
    c.h = std::min<std::int64_t>({c.h, sh - c.sy, dh - c.dy});
    return c.w > 0 && c.h > 0;
}

void copyRow(std::uint8_t* to, int toBytes, std::uint8_t fill, const std::uint8_t* from, int fromBytes,
             std::int64_t pixels) {
    if (toBytes == 3 && fromBytes == 3) {
        std::memmove(to, from, static_cast<std::size_t>(pixels) * 3);
        return;
    }
    for (std::int64_t i = 0; i < pixels; ++i) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        if (toBytes == 4) to[3] = fill;
        to += toBytes;
        from += fromBytes;
    }
}

// Copies a clipped rectangle. When the two surfaces share memory the source
// rows are taken aside first, so an overlapping copy reads the old pixels.
void copyRect(const Surface& to, const Surface& from, const Copy& c) {
    const bool overlap = to.low() < from.high() && from.low() < to.high();
    if (overlap) {
        const std::int64_t rowBytes = c.w * from.bytesPerPixel;
        std::vector<std::uint8_t> staged(static_cast<std::size_t>(rowBytes * c.h));
        for (std::int64_t row = 0; row < c.h; ++row)
            std::memcpy(staged.data() + row * rowBytes, from.pixel(c.sx, c.sy + row), static_cast<std::size_t>(rowBytes));
        for (std::int64_t row = 0; row < c.h; ++row)
            copyRow(to.pixel(c.dx, c.dy + row), to.bytesPerPixel, to.fill, staged.data() + row * rowBytes,
                    from.bytesPerPixel, c.w);
        return;
    }
    for (std::int64_t row = 0; row < c.h; ++row)
        copyRow(to.pixel(c.dx, c.dy + row), to.bytesPerPixel, to.fill, from.pixel(c.sx, c.sy + row),
                from.bytesPerPixel, c.w);
}

}  // namespace

extern "C" {

HDC CreateCompatibleDC(HDC hdc) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (hdc != 0 && r.dc(hdc) == nullptr) return 0;
    DeviceContext context;
    context.selected = r.stock();
    const HDC handle = r.newHandle();
    r.dcs.emplace(handle, context);
    return handle;
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE /*section*/,
                         DWORD /*offset*/) {
    if (bits != nullptr) *bits = nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (hdc != 0 && r.dc(hdc) == nullptr) return 0;
    DibLayout layout;
    if (!readLayout(bmi, usage, layout)) return 0;
    std::uint8_t* memory = r.pool.take(static_cast<std::size_t>(layout.bytes));
    if (memory == nullptr) return 0;
    Bitmap bitmap;
    bitmap.surface = surfaceOver(memory, layout);
    bitmap.memory = memory;
    bitmap.bytes = static_cast<std::size_t>(layout.bytes);
    const HBITMAP handle = r.newHandle();
    r.bitmaps.emplace(handle, bitmap);
    if (bits != nullptr) *bits = memory;
    return handle;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    DeviceContext* context = r.dc(hdc);
    Bitmap* bitmap = r.bitmap(object);
    if (context == nullptr || context->host || bitmap == nullptr) return 0;
    const HGDIOBJ previous = context->selected;
    if (previous == object) return previous;
    if (!bitmap->stock && bitmap->selectedInto != 0) return 0;
    if (Bitmap* old = r.bitmap(previous); old != nullptr && !old->stock) old->selectedInto = 0;
    if (!bitmap->stock) bitmap->selectedInto = hdc;
    context->selected = object;
    return previous;
}

BOOL BitBlt(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    const Surface* to = r.surfaceOf(hdcDest);
    const Surface* from = r.surfaceOf(hdcSrc);
    if (to == nullptr || from == nullptr || rop != SRCCOPY || cx < 0 || cy < 0) return 0;
    Copy c{x, y, x1, y1, cx, cy};
    if (clip(c, from->width, from->height, to->width, to->height)) copyRect(*to, *from, c);
    return 1;
}

int GetDIBits(HDC hdc, HBITMAP bitmapHandle, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    const Bitmap* bitmap = r.bitmap(bitmapHandle);
    if (r.dc(hdc) == nullptr || bitmap == nullptr || bmi == nullptr || usage != DIB_RGB_COLORS) return 0;
    const Surface& picture = bitmap->surface;
    if (bits == nullptr) {
        BITMAPINFOHEADER& header = bmi->bmiHeader;
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = picture.width;
        header.biHeight = picture.height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<WORD>(picture.bytesPerPixel * 8);
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(
            (static_cast<std::int64_t>(picture.width) * header.biBitCount + 31) / 32 * 4 * picture.height);
        return picture.height;
    }
    DibLayout layout;
    if (!readLayout(bmi, usage, layout)) return 0;
    if (start >= static_cast<UINT>(picture.height)) return 0;
    const std::int64_t count =
        std::min<std::int64_t>({static_cast<std::int64_t>(lines), layout.height, picture.height - static_cast<std::int64_t>(start)});
    if (count <= 0) return 0;
    auto* out = static_cast<std::uint8_t*>(bits);
    const std::int64_t columns = std::min(layout.width, picture.width);
    for (std::int64_t k = 0; k < count; ++k) {
        // Buffer row k in memory order; scan lines count up from the bottom.
        const std::int64_t scan = layout.bottomUp ? start + k : start + count - 1 - k;
        const std::int64_t pictureRow = picture.height - 1 - scan;
        std::uint8_t* row = out + k * layout.stride;
        std::memset(row, 0, static_cast<std::size_t>(layout.stride));
        copyRow(row, layout.bytesPerPixel, 0, picture.pixel(0, pictureRow), picture.bytesPerPixel, columns);
    }
    return static_cast<int>(count);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    const Surface* to = r.surfaceOf(hdc);
    DibLayout layout;
    if (to == nullptr || bits == nullptr || rop != SRCCOPY || !readLayout(bmi, usage, layout)) return 0;
    if (destWidth != srcWidth || destHeight != srcHeight || srcWidth < 0 || srcHeight < 0) return 0;
    // The DIB is only read; Surface holds a mutable pointer for symmetry.
    const Surface from = surfaceOver(const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(bits)), layout);
    // Turn the source rectangle into top-down rows of the DIB.
    const std::int64_t top = layout.bottomUp
                                 ? static_cast<std::int64_t>(layout.height) - ySrc - srcHeight
                                 : static_cast<std::int64_t>(ySrc);
    Copy c{xDest, yDest, xSrc, top, srcWidth, srcHeight};
    if (clip(c, from.width, from.height, to->width, to->height)) copyRect(*to, from, c);
    return srcHeight;
}

BOOL DeleteDC(HDC hdc) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    DeviceContext* context = r.dc(hdc);
    if (context == nullptr) return 0;
    if (!context->host) {
        if (Bitmap* selected = r.bitmap(context->selected); selected != nullptr && !selected->stock)
            selected->selectedInto = 0;
    }
    r.dcs.erase(hdc);
    return 1;
}

BOOL DeleteObject(HGDIOBJ object) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    Bitmap* bitmap = r.bitmap(object);
    if (bitmap == nullptr) return 0;
    if (bitmap->stock) return 1;
    if (bitmap->selectedInto != 0) return 0;
    r.pool.give(bitmap->memory, bitmap->bytes);
    r.bitmaps.erase(object);
    return 1;
}

HDC CreatePixelBufferDC(void* bits, int width, int height, int bytesPerLine, int bitsPerPixel, BYTE fillByte) {
    if (bits == nullptr || width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return 0;
    const int bytesPerPixel = bitsPerPixel / 8;
    if (bytesPerLine < 0 || static_cast<std::int64_t>(bytesPerLine) < static_cast<std::int64_t>(width) * bytesPerPixel)
        return 0;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    DeviceContext context;
    context.host = true;
    context.hostSurface.top = static_cast<std::uint8_t*>(bits);
    context.hostSurface.rowStep = bytesPerLine;
    context.hostSurface.width = width;
    context.hostSurface.height = height;
    context.hostSurface.bytesPerPixel = bytesPerPixel;
    context.hostSurface.fill = fillByte;
    const HDC handle = r.newHandle();
    r.dcs.emplace(handle, context);
    return handle;
}

}  // extern "C"
