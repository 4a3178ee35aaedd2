// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sound output shared by the music player (ClsMidi) and the wave
// effects (playSoundEffect): one per process.
//
// Nothing starts before it is needed. The first music or effect call starts
// a background thread that opens the sound device (SDL2_mixer, 44100 Hz,
// 16-bit stereo); the first Play also loads the General MIDI soundfont into
// FluidSynth there, once per process. Until then, and whenever something is
// missing (no sound device, no soundfont, a file that cannot be read), the
// calls return at once and nothing sounds: no message is printed or shown.
//
// Threads: the calls of ClsMidi and playSoundEffect may come from any one
// thread (the window thread); they only take a short lock and never wait
// for the audio. The music is rendered on SDL's audio thread; starting up,
// loading the soundfont and reading wave files happen on the background
// thread. The output is shut down at process exit, or earlier with
// shutdownSound().
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vantel::sound {

inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

// Settings that tests and measuring tools change; the game uses the
// defaults. They take effect the next time the output starts: before the
// first sound call, or after shutdownSound().
struct SoundOptions {
    // The soundfont; empty means the system's General MIDI soundfont,
    // /usr/share/sounds/sf2/default-GM.sf2, else FluidR3_GM.sf2 beside it.
    std::string soundFontPath;
    // Receives every buffer handed to the sound device, the music with the
    // effects mixed over it: `count` interleaved signed 16-bit samples,
    // stereo at kOutputRate. Runs on the audio thread and must return
    // quickly. The device itself is SDL's choice (tests pick SDL's "disk"
    // driver through SDL_AUDIODRIVER before the output starts).
    std::function<void(const std::int16_t* samples, std::size_t count)> outputTap;
};
void setSoundOptions(SoundOptions options);

enum class StartState { NotStarted, Starting, Ready, Failed };

// The sound device, and the synthesizer with its soundfont (which only
// starts with the first Play).
StartState deviceState();
StartState musicState();

// Waits up to `timeout` until nothing is starting any more (the device and,
// when asked for, the soundfont are ready or have failed) and the background
// thread has no work left. For tests and tools; the game never waits.
bool waitUntilSettled(std::chrono::milliseconds timeout);

// True while a wave effect is being read or is playing.
bool soundEffectPlaying();
// Ends the wave effect that is playing, if any (a looping one too).
void stopSoundEffect();

// Stops all sound, closes the device and frees the synthesizer. Open music
// files stay open (stopped); the next call that needs sound starts over.
// Runs by itself at process exit.
void shutdownSound();

}  // namespace vantel::sound
