// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/table_music.h"

#include "platform/sound/cls_midi.h"
#include "platform/sound/sound_effect.h"

namespace vantel {

TableMusic::TableMusic(const MatchState& state) : state_(state) {}

TableMusic::~TableMusic() { release(); }

ClsMidi& TableMusic::midi() {
    // The player is made on first use; it opens no device and loads no
    // soundfont until something is really played.
    if (!midi_) midi_ = std::make_unique<ClsMidi>();
    return *midi_;
}

void TableMusic::load() {
    bgmFile_ = state_.soundFiles[1];
    midi().FileName(bgmFile_);
    bgmOn_ = false;
    bgmLooping_ = false;
}

bool TableMusic::toggle() {
    if (bgmOn_) {
        bgmOn_ = false;
        midi().StopM();
    } else {
        bgmOn_ = true;
        bgmLooping_ = true;
        // Plays whatever piece is open, from where it stands.
        midi().Play();
    }
    return bgmOn_;
}

void TableMusic::play(int soundIndex, bool loop) {
    if (!bgmOn_ || soundIndex < 1 || soundIndex > kSoundFiles) return;
    const std::string& file = state_.soundFiles[soundIndex];
    if (loop) bgmFile_ = file;
    midi().FileName(file);
    bgmLooping_ = loop;
    midi().Play();
}

void TableMusic::stop() {
    if (midi_) midi_->StopM();
}

void TableMusic::playEffect(int soundIndex) {
    if (!bgmOn_ || soundIndex < 1 || soundIndex > kSoundFiles) return;
    lastEffect_ = state_.soundFiles[soundIndex];
    playSoundEffect(lastEffect_, 0);
}

std::string TableMusic::openFile() const { return midi_ ? midi_->FileName() : std::string(); }

std::string TableMusic::mode() const { return midi_ ? midi_->Mode() : std::string(); }

void TableMusic::keepLooping() {
    if (bgmOn_ && bgmLooping_ && midi_) midi_->PlayLoop2();
}

void TableMusic::release() {
    if (!midi_) return;
    midi_->StopM();
    midi_.reset();
}

}  // namespace vantel
