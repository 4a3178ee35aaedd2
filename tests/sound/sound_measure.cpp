// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vantel-sound-measure: plays the default music and effects through the
// real player into SDL's "disk" audio driver and reports what came out.
//
//   vantel-sound-measure SOUND_DIR [WAV_DIR]
//
// First, at the device's real pace: the time the first Play takes on the
// calling thread, the memory in use once the soundfont is loaded, and the
// time from Play to the first audible sample, for the first Play and for
// later ones. Then for every file: length, peak and RMS level, clipped
// samples, and (with WAV_DIR) the rendered audio as a WAVE file.
#include "platform/sound/cls_midi.h"
#include "platform/sound/midi_file.h"
#include "platform/sound/sound_system.h"
#include "tests/sound/sound_test_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

using namespace std::chrono;
using namespace vantel;
using namespace vantel::sound;
using vantel::soundtest::Capture;

namespace {

void report(const char* name, const Capture::Stats& s, double fileSeconds) {
    std::printf("%-26s file %6.2f s  audible %6.2f s  peak %6.1f dBFS  RMS %6.1f dBFS  clipped %zu\n", name,
                fileSeconds, s.audibleSeconds, s.peakDb, s.rmsDb, s.clipped);
}

// From the first sound on: the output before it is the start-up's silence.
std::vector<std::int16_t> fromFirstSound(std::vector<std::int16_t> samples) {
    const auto first = std::find_if(samples.begin(), samples.end(), [](std::int16_t v) { return v != 0; });
    const auto frame = (first - samples.begin()) / 2 * 2;
    samples.erase(samples.begin(), samples.begin() + frame);
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vantel-sound-measure SOUND_DIR [WAV_DIR]\n");
        return 2;
    }
    const std::filesystem::path dir = reinterpret_cast<const char8_t*>(argv[1]);
    const std::filesystem::path wavDir = argc > 2 ? std::filesystem::path(reinterpret_cast<const char8_t*>(argv[2]))
                                                  : std::filesystem::path();
    if (!wavDir.empty()) std::filesystem::create_directories(wavDir);

    // ---- start-up cost and latency at the device's real pace, first, in a
    // process that has not loaded anything yet ------------------------------
    {
        Capture capture;
        soundtest::useDiskDriver(nullptr);  // SDL's default pace: one buffer per buffer time
        capture.install();
        const long rssBefore = soundtest::residentKilobytes();
        ClsMidi midi;
        midi.FileName(soundtest::utf8(dir / "Cafe_GM.mid"));
        capture.clear();
        const auto t0 = steady_clock::now();
        midi.Play();
        const auto t1 = steady_clock::now();
        soundtest::waitFor([] { return musicState() != StartState::Starting && musicState() != StartState::NotStarted; },
                           seconds(10));
        const auto loaded = steady_clock::now();
        const auto firstSound = capture.waitForSound(seconds(10));
        waitUntilSettled(seconds(10));
        const long rssLoaded = soundtest::residentKilobytes();
        std::printf("first Play on the calling thread: %.3f ms\n", duration<double, std::milli>(t1 - t0).count());
        std::printf("device and soundfont ready in the background: %.1f ms after Play\n",
                    duration<double, std::milli>(loaded - t0).count());
        if (firstSound) {
            std::printf("first Play to first audible sample (device start, soundfont, instruments): %.1f ms\n",
                        duration<double, std::milli>(*firstSound - t0).count());
        }
        std::printf("resident memory: %.1f MB before, %.1f MB with the soundfont and the piece's instruments\n",
                    rssBefore / 1024.0, rssLoaded / 1024.0);
        std::this_thread::sleep_for(milliseconds(500));

        // A later start: stop, open a jingle, play (what a round's end does).
        midi.StopM();
        std::this_thread::sleep_for(milliseconds(200));
        midi.FileName(soundtest::utf8(dir / reinterpret_cast<const char8_t*>(u8"b01_クリア.mid")));
        capture.clear();
        const auto t2 = steady_clock::now();
        midi.Play();
        const auto t3 = steady_clock::now();
        const auto jingleSound = capture.waitForSound(seconds(10));
        std::printf("later Play on the calling thread: %.3f ms\n", duration<double, std::milli>(t3 - t2).count());
        if (jingleSound) {
            std::printf("later Play to first audible sample (new file's instruments): %.1f ms\n",
                        duration<double, std::milli>(*jingleSound - t2).count());
        }
        // Continuing the same piece: no instruments to read.
        std::this_thread::sleep_for(milliseconds(300));
        midi.StopM();
        std::this_thread::sleep_for(milliseconds(300));
        capture.clear();
        const auto t4 = steady_clock::now();
        midi.Play();
        const auto resumed = capture.waitForSound(seconds(10));
        if (resumed) {
            std::printf("Play after StopM to first audible sample: %.1f ms\n",
                        duration<double, std::milli>(*resumed - t4).count());
        }
        long worstCall = 0;
        for (int i = 0; i < 200; ++i) {
            const auto a = steady_clock::now();
            (void)midi.Position();
            (void)midi.Mode();
            worstCall = std::max<long>(worstCall, duration_cast<microseconds>(steady_clock::now() - a).count());
            std::this_thread::sleep_for(milliseconds(2));
        }
        std::printf("slowest Position+Mode while playing: %ld us\n", worstCall);
        midi.StopM();
    }
    shutdownSound();

    // ---- levels, rendered as fast as the machine allows -----------------
    {
        Capture capture;
        soundtest::useDiskDriver("0");
        capture.install();
        const char* pieces[] = {"Cafe_GM.mid", "b01_クリア.mid", "b02_ゲームオーバー.mid", "DX_Jingle10.mid",
                                "DX_Jingle14.mid"};
        ClsMidi midi;
        for (const char* piece : pieces) {
            const auto path = dir / reinterpret_cast<const char8_t*>(piece);
            const auto info = soundtest::readInfo(path);
            midi.FileName(soundtest::utf8(path));
            capture.clear();
            midi.Play();
            soundtest::waitFor([&] { return midi.Mode() == "STOPPED"; }, seconds(120));
            capture.waitForFrames(capture.frames() + 3 * kOutputRate, seconds(30));  // the reverb's tail
            const auto samples = fromFirstSound(capture.take());
            report(piece, Capture::measure(samples), info ? info->lengthSeconds : 0);
            if (!wavDir.empty()) soundtest::writeWave(wavDir / (std::string(piece) + ".wav"), samples);
        }
        for (const char* effect : {"yatta.wav", "katta.wav"}) {
            const auto path = dir / effect;
            capture.clear();
            playSoundEffect(soundtest::utf8(path), 0);
            soundtest::waitFor([] { return !soundEffectPlaying(); }, seconds(30));
            capture.waitForFrames(capture.frames() + kOutputRate / 10, seconds(10));
            const auto samples = fromFirstSound(capture.take());
            report(effect, Capture::measure(samples), soundtest::waveSeconds(path));
            if (!wavDir.empty()) soundtest::writeWave(wavDir / (std::string(effect) + ".out.wav"), samples);
        }
        shutdownSound();
    }

    return 0;
}
