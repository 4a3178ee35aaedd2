// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The card table (Form1): the game's main window. It builds the menus, the
// labels, the card pictures and the two buttons, lays them out for the
// window's size, and is the stage the follower of seat 1 performs on
// (table/table_follower.h); it forwards the player's clicks, keys and menu
// commands to the follower. It holds no rule and writes no file itself:
// the rules are the table's (game/), the files records/' (TableRecords).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "game/layout.h"
#include "game/search/move_search.h"
#include "game/table_view.h"
#include "records/match_state.h"
#include "table/table_follower.h"
#include "table/table_surface.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace vantel {

class CardPicture;
class FocusOverlay;
class FrmAbout;
class FriendsTable;
class FrmSplash;
class Form2;
class LocalTableSource;
class SeatRecorder;
class SeatSource;
class MatchRecorder;
class SpeechBalloon;
class Table;
class TableHint;
class TableKeyboard;
class TableMusic;
class TableRecords;

class Form1 : public QMainWindow, public TableStage, public FollowerHost {
    Q_OBJECT
public:
    // Today's game: the player and three computers at a table in this process.
    explicit Form1(MatchState& state, QWidget* parent = nullptr);
    // A seat at a friends' table held by a server; the table's match is
    // `friends->state()`, seen from the player's seat.
    Form1(std::unique_ptr<FriendsTable> friends, QWidget* parent = nullptr);
    ~Form1() override;

    // ---- the stage ----
    Size clientSize() const override;
    Size cardSize() const override { return card_; }
    Size landscapeCardSize() const override { return landscape_; }
    TableGeometry tableGeometry() const override { return geometry_; }
    void setTableGeometry(const TableGeometry& g) override { geometry_ = g; }
    Point picturePosition(int index) const override;
    void placePicture(int index, int left, int top) override;
    void setPictureVisible(int index, bool visible) override;
    void setPictureEnabled(int index, bool enabled) override;
    void setCaption(Caption label, int index, std::string_view text) override;
    void setEnabled(Control control, bool enabled) override;
    bool musicOn() const override;
    void playMusic(int soundIndex, bool loop) override;
    void stopMusic() override;
    void playSoundEffect(int soundIndex) override;
    void keepMusicLooping() override;
    void clearResults() override;

    // ---- the follower's host ----
    TableStage& stage() override { return *this; }
    void flightBegins(int picture, bool travels) override;
    void drawStep(int picture, Point at) override;
    const QScreen* tableScreen() const override { return screen(); }
    void showBalloon(int seat, const std::string& text) override;
    void hideBalloon() override;
    bool balloonGone() const override;
    void openModal(const Wait& wait, std::function<void(bool)> closed) override;
    bool holding() const override { return holds_ > 0; }
    void turnOpened() override;
    void probe(const char* where) override;

    // ---- the window's own handlers ----
    void mnu_kaisi_Click();
    void mnu_bgm_Click();
    void mnu_skip_Click();
    void mnu_replay_Click();
    void mnu_clear_Click();
    void mnu_end_Click();
    void mnu_gaiyo_Click();
    void mnu_version_Click();
    // 「ヒント」 (H): asks the search player what it would do in the user's
    // seat and moves the focus there; nothing is laid.
    void mnu_hint_Click();
    // 「強さ」: the strength of the next matches, kept in the settings file.
    void mnu_tuyosa_Click(Strength strength);
    // "成績": the player's record window.
    void mnu_seiseki_Click();
    // 「友達と遊ぶ」: host or join a friends' table (between matches).
    void mnu_friends_Click();
    void img_Click(int index);
    void cmdPass_Click();
    void cmdOut_Click();
    void Timer1_Timer();
    // FRM_DSP: shows messageText in the speech window at `seat`; the
    // follower takes it down when its time is over.
    void FRM_DSP(int seat);
    // Lays the table out for the window's size and state.
    void Form_Resize();

    // ---- for tests and the program's flow ----
    TableFollower& follower() { return *follower_; }
    const TableFollower& follower() const { return *follower_; }
    // The local table the follower follows (the whole truth, for tests).
    Table& localTable();
    const Table& localTable() const;
    // The friends' table this window sits at, if it is one.
    FriendsTable* friends() const { return friends_.get(); }
    // The bar over the table ("再接続しています…", "ホストを待っています").
    QLabel* bar() const { return bar_; }
    // Keeps the player's record of the matches played at this table.
    MatchRecorder& recorder();
    CardPicture* img(int index) const { return img_[index]; }
    QLabel* lblten(int i) const { return lblten_[i]; }
    QLabel* lblpass(int i) const { return lblpass_[i]; }
    QLabel* lblname(int i) const { return lblname_[i]; }
    QLabel* lblkai() const { return lblkai_; }
    QLabel* lblinfo() const { return lblinfo_; }
    QLabel* lblhiname() const { return lblhiname_; }
    QLabel* lblscore() const { return lblscore_; }
    QPushButton* cmdPass() const { return cmdPass_; }
    QPushButton* cmdOut() const { return cmdOut_; }
    QAction* menuAction(const QString& name) const;
    QAction* strengthAction(Strength strength) const { return mnu_strength_[static_cast<int>(strength)]; }
    QMenu* strengthMenu() const { return mnu_tuyosa_; }
    FocusOverlay* focusOverlay() const { return focusOverlay_; }
    // True while a hint is being worked out.
    bool hintRunning() const;
    TableSurface* surface() const { return surface_; }
    FrmSplash* speechWindow() const { return frmSplash_; }
    Form2* resultWindow() const { return form2_; }
    int layoutState() const { return layoutState_; }
    int layoutPasses() const { return layoutPasses_; }
    int lastMoveSteps() const { return follower_->lastFlightSteps(); }
    const std::string& messageText() const { return messageText_; }
    TableMusic& music() { return *music_; }
    // True once the window has been closed or replaced.
    bool leaving() const { return exit_ != Exit::None; }

    // Tests watch the table at the follower's probe points (see
    // FollowerHost::probe).
    using Probe = std::function<void(Form1& table, const char* where)>;
    static void setProbe(Probe probe);
    // Tests think by a count of playouts and a fixed seed, so that the hint
    // and the searching computers can be foreseen; the game thinks by time.
    static void setSearchForTests(std::optional<SearchBudget> budget, uint64_t seed = 0);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Exit { None, Quit, NewMembers, SameMembers, Friends };

    Form1(MatchState& state, std::unique_ptr<FriendsTable>&& friends, QWidget* parent);
    // Wires the window to its friends' table.
    void joinFriends();
    // The names, with what happened to their seats beside them.
    void showNames();
    // Shows `text` in the bar over the table; for `ms` when given.
    void showBar(const QString& text, int ms = 0);
    void hideBar();

    void buildMenus();
    void buildLabels();
    void buildPictures();
    void formLoad();
    void placeTopLabels(bool maximised, double sx);
    void placeSeatLabels();
    QLabel* makeLabel(const QString& name, double points, bool bold, const QColor& colour);
    void setLabelText(QLabel* label, const QString& text);
    void showHighScore();
    void fitOuterSize();
    // What the seat labels, the round counter and the high score mean, for
    // a screen reader, from what they show.
    void describeLabels();
    // A window the player opened over the table holds it until `release`.
    void hold();
    void release();
    // Leaves the table: the follower stops, the windows over the table
    // close without answering, and `exit` is carried out.
    void leave(Exit exit);

    MatchState& state_;
    std::unique_ptr<FriendsTable> friends_;
    std::unique_ptr<TableRecords> records_;
    std::unique_ptr<LocalTableSource> local_;
    SeatSource* source_ = nullptr;
    // A friends' table taken in 「友達と遊ぶ」, for the window that sits at it.
    std::unique_ptr<FriendsTable> nextFriends_;
    std::unique_ptr<SeatRecorder> seatRecorder_;
    std::function<void()> recordDamaged_;
    QLabel* bar_ = nullptr;
    QTimer* barTimer_ = nullptr;
    QAction* mnu_friends_ = nullptr;
    QAction* mnu_clear_ = nullptr;
    std::unique_ptr<TableMusic> music_;

    TableSurface* surface_ = nullptr;
    std::array<CardPicture*, 106> img_{};
    std::array<QLabel*, 4> lblten_{}, lblpass_{}, lblname_{};
    QLabel* lblkai_ = nullptr;
    QLabel* lblinfo_ = nullptr;
    QLabel* lblhiname_ = nullptr;
    QLabel* lblscore_ = nullptr;
    QPushButton* cmdPass_ = nullptr;
    QPushButton* cmdOut_ = nullptr;
    QTimer* Timer1_ = nullptr;
    QAction* mnu_kaisi_ = nullptr;
    QAction* mnu_bgm_ = nullptr;
    QAction* mnu_skip_ = nullptr;
    QAction* mnu_hint_ = nullptr;
    QMenu* mnu_tuyosa_ = nullptr;
    std::array<QAction*, 4> mnu_strength_{};
    FocusOverlay* focusOverlay_ = nullptr;
    QMetaObject::Connection focusFollower_;
    std::unique_ptr<TableKeyboard> keyboard_;
    TableHint* hint_ = nullptr;
    FrmSplash* frmSplash_ = nullptr;
    SpeechBalloon* balloon_ = nullptr;
    Form2* form2_ = nullptr;
    QPointer<FrmAbout> frmAbout_;
    TableFollower* follower_ = nullptr;

    Size card_{49, 65};
    Size landscape_{65, 49};
    TableGeometry geometry_;
    int layoutState_ = 0;
    int restartPending_ = 0;
    int layoutPasses_ = 0;
    bool outerSizeFitted_ = false;
    std::string messageText_;
    // Windows the player opened over the table that are still open.
    int holds_ = 0;
    Exit exit_ = Exit::None;
};

}  // namespace vantel
