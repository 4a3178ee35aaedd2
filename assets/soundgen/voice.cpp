// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "assets/soundgen/voice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace vantel::soundgen {
namespace {

// A parameter as points in time (seconds) joined by straight lines.
class Track {
public:
    Track(std::initializer_list<std::pair<double, double>> points) : points_(points) {}
    double at(double t) const {
        if (t <= points_.front().first) return points_.front().second;
        for (std::size_t i = 1; i < points_.size(); ++i) {
            if (t <= points_[i].first) {
                const auto [t0, v0] = points_[i - 1];
                const auto [t1, v1] = points_[i];
                return t1 > t0 ? v0 + (v1 - v0) * (t - t0) / (t1 - t0) : v1;
            }
        }
        return points_.back().second;
    }

private:
    std::vector<std::pair<double, double>> points_;
};

// Two-pole resonator (as in Klatt's synthesiser), retuned every sample.
class Resonator {
public:
    double run(double x, double frequency, double bandwidth) {
        const double c = -std::exp(-2 * std::numbers::pi * bandwidth / kVoiceRate);
        const double b = 2 * std::exp(-std::numbers::pi * bandwidth / kVoiceRate) *
                         std::cos(2 * std::numbers::pi * frequency / kVoiceRate);
        const double a = 1 - b - c;
        const double y = a * x + b * y1_ + c * y2_;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double y1_ = 0;
    double y2_ = 0;
};

// Fixed-seed noise, the same on every run.
class Noise {
public:
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_ = 0x2545F491u;
};

struct Utterance {
    double seconds;
    Track pitch;       // fundamental, Hz
    Track voicing;     // 0..1
    Track aspiration;  // breath noise through the formants, 0..1
    Track burst;       // consonant release noise, 0..1
    double burstFrequency;
    double burstBandwidth;
    Track f1, f2, f3;
};

// Glottal flow of one period (Rosenberg's pulse): opening, closing, closed.
double glottalFlow(double phase) {
    constexpr double open = 0.42;
    constexpr double closing = 0.16;
    if (phase < open) return 0.5 * (1 - std::cos(std::numbers::pi * phase / open));
    if (phase < open + closing) return std::cos(std::numbers::pi * (phase - open) / (2 * closing));
    return 0;
}

std::vector<std::int16_t> speak(const Utterance& u) {
    const auto count = static_cast<std::size_t>(u.seconds * kVoiceRate);
    std::vector<double> out(count);
    Noise noise;
    Resonator r1, r2, r3, r4, burstFilter, burstFilter2;
    double phase = 0;
    double previousFlow = 0;
    for (std::size_t n = 0; n < count; ++n) {
        const double t = static_cast<double>(n) / kVoiceRate;
        // A lively voice: a slight vibrato on the pitch.
        const double f0 = u.pitch.at(t) * (1 + 0.012 * std::sin(2 * std::numbers::pi * 5.5 * t));
        phase += f0 / kVoiceRate;
        if (phase >= 1) phase -= 1;
        const double flow = glottalFlow(phase);
        // Radiation from the lips differentiates the flow.
        const double pulse = (flow - previousFlow) * kVoiceRate / (f0 * 8.0);
        previousFlow = flow;
        const double breath = noise.next();
        const double voiced = u.voicing.at(t) * (pulse + 0.04 * breath * flow);
        const double source = voiced + u.aspiration.at(t) * 0.35 * breath;
        double y = r1.run(source, u.f1.at(t), 90);
        y = r2.run(y, u.f2.at(t), 120);
        y = r3.run(y, u.f3.at(t), 180);
        y = r4.run(y, 3900, 260);
        const double burstNoise = noise.next() * u.burst.at(t);
        const double b = burstFilter2.run(burstFilter.run(burstNoise, u.burstFrequency, u.burstBandwidth),
                                          u.burstFrequency, u.burstBandwidth);
        out[n] = y + 0.6 * b;
    }
    // Remove any offset, fade the very ends and bring the peak to -3 dBFS.
    double mean = 0;
    for (double v : out) mean += v;
    mean /= static_cast<double>(count);
    double peak = 1e-9;
    for (std::size_t n = 0; n < count; ++n) {
        const double edge = std::min({1.0, n / (0.002 * kVoiceRate), (count - 1 - n) / (0.01 * kVoiceRate)});
        out[n] = (out[n] - mean) * edge;
        peak = std::max(peak, std::fabs(out[n]));
    }
    const double gain = 0.707 / peak;
    std::vector<std::int16_t> samples(count);
    for (std::size_t n = 0; n < count; ++n) samples[n] = static_cast<std::int16_t>(std::lrint(out[n] * gain * 32767));
    return samples;
}

// Vowel formants of a bright, young voice.
constexpr double kAF1 = 900, kAF2 = 1400, kAF3 = 2800;  // /a/
constexpr double kIF1 = 330, kIF2 = 2600, kIF3 = 3200;  // /i/, where the glide of "y" starts

}  // namespace

std::vector<std::int16_t> cheerYatta() {
    const Utterance u{
        0.78,
        Track{{0, 300}, {0.12, 350}, {0.22, 372}, {0.36, 440}, {0.52, 405}, {0.66, 320}, {0.76, 280}},
        // ya . (closure) . tta
        Track{{0, 0}, {0.03, 0.7}, {0.12, 1}, {0.215, 1}, {0.24, 0}, {0.35, 0}, {0.38, 1}, {0.55, 1}, {0.68, 0.6},
              {0.76, 0}},
        Track{{0, 0}, {0.338, 0}, {0.345, 0.5}, {0.375, 0}},
        Track{{0, 0}, {0.330, 0}, {0.332, 1}, {0.345, 0}},
        4600,
        1400,
        Track{{0, kIF1}, {0.05, kIF1}, {0.12, kAF1}, {0.22, kAF1}, {0.24, 500}, {0.36, 600}, {0.40, kAF1}},
        Track{{0, kIF2}, {0.05, kIF2}, {0.12, kAF2}, {0.22, kAF2}, {0.24, 1700}, {0.36, 1700}, {0.42, kAF2}},
        Track{{0, kIF3}, {0.05, kIF3}, {0.12, kAF3}, {0.24, 2900}, {0.36, 2900}, {0.42, kAF3}},
    };
    return speak(u);
}

std::vector<std::int16_t> cheerKatta() {
    const Utterance u{
        0.76,
        Track{{0, 330}, {0.06, 330}, {0.20, 385}, {0.34, 450}, {0.50, 410}, {0.64, 330}, {0.74, 290}},
        // k . a . (closure) . tta
        Track{{0, 0}, {0.06, 0}, {0.09, 1}, {0.20, 1}, {0.225, 0}, {0.34, 0}, {0.37, 1}, {0.53, 1}, {0.66, 0.6},
              {0.74, 0}},
        Track{{0, 0}, {0.02, 0.6}, {0.07, 0}, {0.328, 0}, {0.335, 0.5}, {0.365, 0}},
        // The velar release of "k", then the "t".
        Track{{0, 0}, {0.010, 0}, {0.012, 1}, {0.030, 0}, {0.320, 0}, {0.322, 1}, {0.335, 0}},
        2000,
        700,
        Track{{0, 600}, {0.07, kAF1}, {0.20, kAF1}, {0.225, 500}, {0.34, 600}, {0.38, kAF1}},
        Track{{0, 1700}, {0.09, kAF2}, {0.20, kAF2}, {0.225, 1700}, {0.34, 1700}, {0.40, kAF2}},
        Track{{0, 2500}, {0.09, kAF3}, {0.225, 2900}, {0.34, 2900}, {0.40, kAF3}},
    };
    return speak(u);
}

std::vector<std::uint8_t> writeWave(const std::vector<std::int16_t>& samples, int rate) {
    std::vector<std::uint8_t> out;
    out.reserve(44 + samples.size() * 2);
    auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    auto tag = [&out](const char* four) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(four[i]));
    };
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(static_cast<std::uint32_t>(rate), 4);
    put(static_cast<std::uint32_t>(rate) * 2, 4);
    put(2, 2);
    put(16, 2);
    tag("data");
    put(dataBytes, 4);
    for (std::int16_t s : samples) put(static_cast<std::uint16_t>(s), 2);
    return out;
}

}  // namespace vantel::soundgen
