// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The member selection window (frmspl5): the program starts here. The
// player clicks a picture for their own seat, then three for the computer
// seats; the table opens with those four members. The window also shows the
// ranking and the player's record, opens the settings editor and resets the
// members to the factory set.
#pragma once

#include <QFrame>
#include <QWidget>
#include <memory>
#include <vector>

#include "records/match_state.h"
#include "settings/member_thumbnails.h"

class QPushButton;

namespace vantel {

class FriendsTable;

// One member picture of the grid: flat while not chosen, raised with a
// border once clicked. It takes the keyboard focus, shows it with a frame,
// and Enter or Space acts as a click.
class MemberPicture : public QFrame {
    Q_OBJECT
public:
    MemberPicture(int index, QWidget* parent);
    int index() const { return index_; }
    void setPicture(const QPixmap& picture) { picture_ = picture; update(); }
    const QPixmap& picture() const { return picture_; }
    bool selected() const { return selected_; }
    void setSelected(bool selected);
    // Does what a click does, when the picture takes clicks.
    void activate();

signals:
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int index_;
    QPixmap picture_;
    bool selected_ = false;
};

class Frmspl5 : public QWidget, public MemberThumbnails {
    Q_OBJECT
public:
    explicit Frmspl5(MatchState& state, QWidget* parent = nullptr);
    ~Frmspl5() override;

    // ---- MemberThumbnails (the settings editor keeps the grid in step) ----
    int thumbnailCount() const override { return static_cast<int>(imag_.size()); }
    void addThumbnail(int index, const std::string& picturePath) override;
    void setThumbnailPicture(int index, const std::string& picturePath) override;
    void removeThumbnail(int index) override;

    // ---- handlers ----
    void imag_Click(int index);
    void cmd1_Click();
    void cmd2_Click();
    void cmd3_Click();
    void cmd4_Click();
    // "成績を見る": the player's record window.
    void cmd5_Click();
    // 「友達と遊ぶ」: host or join a friends' table instead.
    void cmdFriends_Click();
    // Each time the window becomes active.
    void Form_Activate();

    // ---- for tests ----
    MemberPicture* imag(int index) const { return imag_.at(static_cast<size_t>(index)); }
    QPushButton* cmd(int number) const { return cmd_[number - 1]; }
    // 「友達と遊ぶ」, when the button row has room for it.
    QPushButton* friendsButton() const { return friends_; }
    int selectionStage() const { return selectionStage_; }
    int computerPicks() const { return computerPicks_; }
    const std::vector<int>& pickedMembers() const { return pickedMembers_; }
    bool leaving() const { return leaving_; }
    // Whether thumbnail `index` shows the window's fallback picture.
    bool showsFallback(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The arrow keys move the focus among the pictures.
    void keyPressEvent(QKeyEvent* event) override;
    // Tab goes from the pictures (one stop) through the buttons, left to
    // right, and back.
    bool focusNextPrevChild(bool next) override;

private:
    enum class Next { None, Quit, Table, Reopen, Friends };

    QPixmap loadPicture(const std::string& path, bool* fallback) const;
    QRect thumbnailRect(int index) const;
    void placeButtons();
    // The picture the grid's focus stands on, or should go to: the one last
    // focused while it takes clicks, else the first that does.
    MemberPicture* focusPicture() const;
    template <typename F>
    void run(F&& handler);
    void leave(Next next);
    void finishLeaving();

    MatchState& state_;
    std::vector<MemberPicture*> imag_;
    std::vector<bool> fallback_;
    QPixmap image1_;
    QPushButton* cmd_[5] = {};
    QPushButton* friends_ = nullptr;
    // The friends' table taken in 「友達と遊ぶ」, for the table window.
    std::unique_ptr<FriendsTable> nextFriends_;
    int selectionStage_ = 1;
    int computerPicks_ = 0;
    std::vector<int> pickedMembers_;
    int lastFocused_ = 0;
    int depth_ = 0;
    bool leaving_ = false;
    bool finished_ = false;
    bool activationQueued_ = false;
    Next next_ = Next::None;
};

}  // namespace vantel
