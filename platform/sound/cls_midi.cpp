// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/sound/cls_midi.h"

#include "platform/sound/sequencer.h"

#include <chrono>
#include <limits>
#include <thread>

namespace vantel {

namespace seq = sound::sequencer;

namespace {

constexpr auto kPlayLoopPoll = std::chrono::milliseconds(10);

}  // namespace

ClsMidi::ClsMidi() {
    seq::stop();
    seq::close();
}

ClsMidi::~ClsMidi() {
    seq::stop();
    seq::close();
}

const std::string& ClsMidi::FileName() const { return fileName_; }

void ClsMidi::FileName(const std::string& path) {
    fileName_ = path;
    seq::stop();
    seq::close();
    seq::open(path);
}

void ClsMidi::Play() {
    loopMode_ = false;
    seq::play();
}

void ClsMidi::StopM() {
    loopMode_ = false;
    seq::stop();
}

std::string ClsMidi::Position() const { return std::to_string(seq::position()); }

void ClsMidi::Position(long ticks) { seq::seek(ticks); }

std::int32_t ClsMidi::Length() const {
    const std::int64_t length = seq::length();
    return length > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                              : static_cast<std::int32_t>(length);
}

void ClsMidi::ResumeM() { seq::resume(); }

void ClsMidi::PlayLoop(const std::function<void()>& letEventsRun) {
    seq::play();
    loopMode_ = true;
    for (;;) {
        if (letEventsRun) letEventsRun();
        const seq::Mode mode = seq::mode();
        if (!loopMode_) {
            // Ended by StopM or Play: leave once nothing plays any more (a
            // piece that cannot play at all counts as not playing).
            if (mode != seq::Mode::Playing) return;
        } else if (mode == seq::Mode::Stopped) {
            seq::playFromStart();
        }
        std::this_thread::sleep_for(kPlayLoopPoll);
    }
}

void ClsMidi::Pause() { seq::pause(); }

std::string ClsMidi::Mode() const {
    switch (seq::mode()) {
    case seq::Mode::Playing:
        return "PLAYING";
    case seq::Mode::Stopped:
        return "STOPPED";
    case seq::Mode::Paused:
        return "PAUSED";
    case seq::Mode::NotReady:
        break;
    }
    return "NOT READY";
}

void ClsMidi::PlayLoop2() {
    if (seq::mode() == seq::Mode::Stopped) seq::playFromStart();
}

}  // namespace vantel
