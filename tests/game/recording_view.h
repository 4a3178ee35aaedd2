// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A table view for tests: keeps the pictures, records what the engine
// asked for, and lets a test hook into pauses and questions.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/layout.h"
#include "game/picture_board.h"
#include "game/table_view.h"

namespace vantel::test {

class RecordingView : public TableView {
public:
    Size clientSize() const override { return {784, 592}; }
    Size cardSize() const override { return {49, 65}; }
    Size landscapeCardSize() const override { return {65, 49}; }
    TableGeometry tableGeometry() const override { return geometry; }
    void setTableGeometry(const TableGeometry& g) override { geometry = g; }

    Point picturePosition(int index) const override { return board.position(index); }
    void placePicture(int index, int left, int top) override { board.place(index, {left, top}); }
    void setPictureVisible(int index, bool visible) override { board.setVisible(index, visible); }
    void setPictureEnabled(int index, bool enabled) override { board.setEnabled(index, enabled); }
    void movePicture(int index, int, int, int toLeft, int toTop, int) override {
        board.setVisible(index, true);
        board.place(index, {toLeft, toTop});
        ++moves;
        if (onMove) onMove(index);
    }

    void setCaption(Caption label, int index, std::string_view text) override {
        captions[{static_cast<int>(label), index}] = std::string(text);
    }
    std::string caption(Caption label, int index) const {
        auto it = captions.find({static_cast<int>(label), index});
        return it == captions.end() ? std::string() : it->second;
    }
    void setEnabled(Control control, bool enabled) override {
        controls[static_cast<int>(control)] = enabled;
    }
    void speak(int seat, std::string_view text, int milliseconds) override {
        speech.push_back({seat, std::string(text), milliseconds});
        if (onSpeak) onSpeak(seat, text);
    }
    void pause(int milliseconds) override {
        pauses.push_back(milliseconds);
        if (onPause) onPause(milliseconds);
    }
    void processEvents() override {
        if (onEvents) onEvents();
    }

    bool musicOn() const override { return music; }
    void playMusic(int soundIndex, bool loop) override {
        sounds.push_back((loop ? "loop " : "music ") + std::to_string(soundIndex));
    }
    void stopMusic() override { sounds.push_back("stop"); }
    void playSoundEffect(int soundIndex) override {
        sounds.push_back("effect " + std::to_string(soundIndex));
    }
    void keepMusicLooping() override { sounds.push_back("keep"); }

    void showResults() override {
        ++results;
        if (onResults) onResults();
    }
    void clearResults() override { ++clears; }
    void recordMatch() override {
        ++recorded;
        if (onRecordMatch) onRecordMatch();
    }
    void showMatchEndScreen(MatchEndScreen screen) override { screens.push_back(screen); }
    bool askRetry() override { return onRetry ? onRetry() : false; }

    struct Line {
        int seat;
        std::string text;
        int milliseconds;
    };

    PictureBoard board;
    TableGeometry geometry;
    std::map<std::pair<int, int>, std::string> captions;
    std::map<int, bool> controls;
    std::vector<Line> speech;
    std::vector<int> pauses;
    std::vector<std::string> sounds;
    std::vector<MatchEndScreen> screens;
    int moves = 0;
    int results = 0;
    int clears = 0;
    int recorded = 0;
    bool music = false;

    std::function<void(int, std::string_view)> onSpeak;
    std::function<void(int)> onPause;
    std::function<void(int)> onMove;
    std::function<void()> onEvents;
    std::function<void()> onResults;
    std::function<void()> onRecordMatch;
    std::function<bool()> onRetry;
};

}  // namespace vantel::test
