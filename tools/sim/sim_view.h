// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A table without a window: pictures are kept in memory, pauses take no
// time, there is no music, and the questions are answered by the caller.
#pragma once

#include <functional>

#include "game/layout.h"
#include "game/picture_board.h"
#include "game/table_view.h"

namespace vantel {

class SimView : public TableView {
public:
    // The window's client area at its load size.
    static constexpr Size kClient{784, 592};

    Size clientSize() const override { return kClient; }
    Size cardSize() const override { return {49, 65}; }
    Size landscapeCardSize() const override { return {65, 49}; }
    TableGeometry tableGeometry() const override { return geometry_; }
    void setTableGeometry(const TableGeometry& g) override { geometry_ = g; }

    Point picturePosition(int index) const override { return board_.position(index); }
    void placePicture(int index, int left, int top) override { board_.place(index, {left, top}); }
    void setPictureVisible(int index, bool visible) override { board_.setVisible(index, visible); }
    void setPictureEnabled(int index, bool enabled) override { board_.setEnabled(index, enabled); }
    void movePicture(int index, int, int, int toLeft, int toTop, int) override {
        board_.setVisible(index, true);
        board_.place(index, {toLeft, toTop});
    }

    void setCaption(Caption, int, std::string_view) override {}
    void setEnabled(Control, bool) override {}
    void speak(int, std::string_view, int) override {}
    void pause(int) override {}
    void processEvents() override {}

    bool musicOn() const override { return false; }
    void playMusic(int, bool) override {}
    void stopMusic() override {}
    void playSoundEffect(int) override {}
    void keepMusicLooping() override {}

    void showResults() override {
        if (onResults) onResults();
    }
    void clearResults() override {}
    void recordMatch() override {
        if (onRecordMatch) onRecordMatch();
    }
    void showMatchEndScreen(MatchEndScreen) override {}
    bool askRetry() override { return onRetry ? onRetry() : false; }

    const PictureBoard& board() const { return board_; }

    std::function<void()> onResults;
    std::function<void()> onRecordMatch;
    std::function<bool()> onRetry;

private:
    PictureBoard board_;
    TableGeometry geometry_;
};

}  // namespace vantel
