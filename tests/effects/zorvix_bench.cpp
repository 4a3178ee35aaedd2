// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Whole calls of every effect, fetch and write-back included, on pictures of
// 400 x 100 and 1920 x 1080, next to a memcpy of the same number of bytes.
// Each effect also reports x_memcpy: its time over the memcpy time of the
// same size measured earlier in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "effects/zorvix.h"
#include "platform/gdi/gdi.h"

namespace {

struct Size {
    int width;
    int height;
    std::string name() const { return std::to_string(width) + "x" + std::to_string(height); }
    std::size_t bytes() const { return static_cast<std::size_t>(width) * height * 3; }
};
const Size kSizes[] = {{400, 100}, {1920, 1080}};

std::map<std::string, double> memcpySeconds;  // per size, from the memcpy runs

// A 24-bit bottom-up DIB section in its own memory device context.
class Picture {
public:
    Picture(int width, int height, unsigned seed) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc_ = CreateCompatibleDC(0);
        previous_ = SelectObject(dc_, bitmap_);
        std::mt19937 rng(seed);
        auto* p = static_cast<std::uint8_t*>(bits);
        const std::size_t n = static_cast<std::size_t>(width) * height * 3;
        for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<std::uint8_t>(rng());
    }
    ~Picture() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    std::int32_t dc() const { return static_cast<std::int32_t>(dc_); }
    std::int32_t bitmap() const { return static_cast<std::int32_t>(bitmap_); }

private:
    HBITMAP bitmap_ = 0;
    HDC dc_ = 0;
    HGDIOBJ previous_ = 0;
};

void runMemcpy(benchmark::State& state, Size size) {
    std::vector<std::uint8_t> from(size.bytes(), 1);
    std::vector<std::uint8_t> to(size.bytes(), 2);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size.bytes());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    memcpySeconds[size.name()] = seconds / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size.bytes()));
}

using Call = std::function<std::int32_t(const Picture& dest, const Picture& a, const Picture& b, Size size)>;

void runEffect(benchmark::State& state, Size size, Call call) {
    const Picture dest(size.width, size.height, 1);
    const Picture a(size.width, size.height, 2);
    const Picture b(size.width, size.height, 3);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (call(dest, a, b, size) != 1) {
            state.SkipWithError("effect failed");
            break;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size.bytes()));
    const auto found = memcpySeconds.find(size.name());
    if (found != memcpySeconds.end() && state.iterations() > 0)
        state.counters["x_memcpy"] = seconds / static_cast<double>(state.iterations()) / found->second;
}

void runTunnel(benchmark::State& state) {
    const int radius = 512;
    const Picture dest(1920, 1080, 1);
    const Picture texture(256, 256, 2);
    for (auto _ : state) {
        if (Tunnel(dest.dc(), 960, 540, radius, texture.dc(), 0, 0, 256, 256) != 1) {
            state.SkipWithError("effect failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 12 * radius * radius);
}

const std::pair<const char*, Call> kEffects[] = {
    {"AlphaBlt", [](const Picture& d, const Picture& a, const Picture& b, Size s) {
         return AlphaBlt(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0, b.dc(), 0, 0, 0.6, 0.4);
     }},
    {"AlphaBlend", [](const Picture& d, const Picture& a, const Picture& b, Size s) {
         return AlphaBlend(d.dc(), 0, 0, s.width, s.height, a.dc(), a.bitmap(), b.dc(), b.bitmap(), 0.6, 0.4);
     }},
    {"HalfBlend", [](const Picture& d, const Picture& a, const Picture& b, Size s) {
         return HalfBlend(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0, b.dc(), 0, 0);
     }},
    {"AddBlend", [](const Picture& d, const Picture& a, const Picture& b, Size s) {
         return AddBlend(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0, b.dc(), 0, 0);
     }},
    {"GrayScale", [](const Picture& d, const Picture& a, const Picture&, Size s) {
         return GrayScale(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0);
     }},
    {"RGBOperation", [](const Picture& d, const Picture& a, const Picture&, Size s) {
         return RGBOperation(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0, 20, -30, 40);
     }},
    {"InvertBlt", [](const Picture& d, const Picture& a, const Picture&, Size s) {
         return InvertBlt(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0);
     }},
    {"SpriteBlt", [](const Picture& d, const Picture& a, const Picture&, Size s) {
         return SpriteBlt(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0, 0x00FF00FF);
     }},
    {"Blur", [](const Picture& d, const Picture& a, const Picture&, Size s) {
         return Blur(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0);
     }},
    {"BlurFast", [](const Picture& d, const Picture& a, const Picture&, Size s) {
         return BlurFast(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0);
     }},
    {"RotateBlt", [](const Picture& d, const Picture& a, const Picture&, Size s) {
         return RotateBlt(d.dc(), 0, 0, s.width, s.height, a.dc(), 0, 0, 0x00FF00FF, 0.3);
     }},
};

const bool registered = [] {
    for (const Size& size : kSizes)
        benchmark::RegisterBenchmark(("memcpy/" + size.name()).c_str(), runMemcpy, size)->Unit(benchmark::kMicrosecond);
    for (const auto& [name, call] : kEffects)
        for (const Size& size : kSizes)
            benchmark::RegisterBenchmark((std::string(name) + "/" + size.name()).c_str(), runEffect, size, call)
                ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Tunnel/radius512_texture256", runTunnel)->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
