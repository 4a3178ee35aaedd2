// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vantel-soundgen: writes the default music and sound effects.
//
//   vantel-soundgen --out DIR
//
// DIR gets the five MIDI files and the two wave files the settings name by
// default. The output depends on nothing but this program: the same bytes
// on every run.
#include "assets/soundgen/pieces.h"
#include "assets/soundgen/smf_writer.h"
#include "assets/soundgen/voice.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    // Through a temporary file, so that a build never sees half a file.
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vantel::soundgen;
    std::filesystem::path out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = reinterpret_cast<const char8_t*>(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: vantel-soundgen --out DIR\n");
            return 2;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: vantel-soundgen --out DIR\n");
        return 2;
    }
    try {
        std::filesystem::create_directories(out);
        struct Output {
            const char8_t* name;
            std::vector<std::uint8_t> bytes;
        };
        const Output outputs[] = {
            {u8"Cafe_GM.mid", writeMidi(cafeMusic())},
            {u8"b01_クリア.mid", writeMidi(roundWonJingle())},
            {u8"b02_ゲームオーバー.mid", writeMidi(roundLostJingle())},
            {u8"DX_Jingle10.mid", writeMidi(matchWonJingle())},
            {u8"DX_Jingle14.mid", writeMidi(matchLostJingle())},
            {u8"yatta.wav", writeWave(cheerYatta(), kVoiceRate)},
            {u8"katta.wav", writeWave(cheerKatta(), kVoiceRate)},
        };
        for (const Output& output : outputs) {
            if (!writeFile(out / output.name, output.bytes)) {
                std::fprintf(stderr, "vantel-soundgen: cannot write %s\n",
                             reinterpret_cast<const char*>((out / output.name).u8string().c_str()));
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantel-soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
