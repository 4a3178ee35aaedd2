// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The card table (Form1): the game's main window. It shows the round the
// engine plays — the green grid, the card pictures, the seats' labels and
// the two buttons — forwards the player's clicks and menu commands to the
// engine, and implements the engine's TableView port. It holds no rule.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QPixmap>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "game/engine.h"
#include "game/layout.h"
#include "game/search/search_player.h"
#include "game/random.h"
#include "game/table_view.h"
#include "records/match_state.h"

class QAction;
class QLabel;
class QMenu;
template <typename T>
class QFutureWatcher;
class QPushButton;
class QTimer;

namespace vantel {

class CardPicture;
class FocusOverlay;
class FrmAbout;
class FrmSplash;
class Form2;
class MatchRecorder;
class TableMusic;

// The client area: paints the grid from its persistent back buffer, so the
// table stays whole under the speech window and dialogs.
class TableSurface : public QWidget {
    Q_OBJECT
public:
    explicit TableSurface(QWidget* parent);
    // Erases the buffer and draws the grid of `g` on it.
    void drawGrid(const TableGeometry& g);
    const QImage& backBuffer() const { return buffer_; }
    // Where the grid of the table stands on the surface.
    QRect gridRect() const { return grid_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage buffer_;
    QRect grid_;
};

class Form1 : public QMainWindow, public TableView {
    Q_OBJECT
public:
    explicit Form1(MatchState& state, QWidget* parent = nullptr);
    ~Form1() override;

    // ---- TableView ----
    Size clientSize() const override;
    Size cardSize() const override { return card_; }
    Size landscapeCardSize() const override { return landscape_; }
    TableGeometry tableGeometry() const override { return geometry_; }
    void setTableGeometry(const TableGeometry& g) override { geometry_ = g; }
    Point picturePosition(int index) const override;
    void placePicture(int index, int left, int top) override;
    void setPictureVisible(int index, bool visible) override;
    void setPictureEnabled(int index, bool enabled) override;
    void movePicture(int index, int fromLeft, int fromTop, int toLeft, int toTop,
                     int delayMs) override;
    void setCaption(Caption label, int index, std::string_view text) override;
    void setEnabled(Control control, bool enabled) override;
    void speak(int seat, std::string_view text, int milliseconds) override;
    void pause(int milliseconds) override;
    void processEvents() override;
    bool musicOn() const override;
    void playMusic(int soundIndex, bool loop) override;
    void stopMusic() override;
    void playSoundEffect(int soundIndex) override;
    void keepMusicLooping() override;
    void showResults() override;
    void clearResults() override;
    void recordMatch() override;
    void showMatchEndScreen(MatchEndScreen screen) override;
    bool askRetry() override;

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
    void img_Click(int index);
    void cmdPass_Click();
    void cmdOut_Click();
    void Timer1_Timer();
    // FRM_DSP: shows messageText in the speech window at `seat` for `waitMs`.
    void FRM_DSP(int seat, int waitMs);
    // Lays the table out for the window's size and state.
    void Form_Resize();

    // ---- for tests and the program's flow ----
    const Engine& engine() const { return engine_; }
    // Keeps the player's record of the matches played at this table.
    MatchRecorder& recorder() { return *recorder_; }
    Engine& engineForTests() { return engine_; }
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
    int lastMoveSteps() const { return lastMoveSteps_; }
    const std::string& messageText() const { return messageText_; }
    TableMusic& music() { return *music_; }
    // True once the window has been closed or replaced and is only waiting
    // for the work on the stack to unwind before it goes.
    bool leaving() const { return exit_ != Exit::None; }

    // Tests watch the table at the points where it lets events run or
    // waits: "step" (a card's flight), "events" (between turns and draws),
    // "balloon" (a speech window on screen), "pause" (a blocking pause).
    using Probe = std::function<void(Form1& table, const char* where)>;
    static void setProbe(Probe probe);
    // Tests think by a count of playouts and a fixed seed, so that the hint
    // and the searching computers can be foreseen; the game thinks by time.
    static void setSearchForTests(std::optional<SearchBudget> budget, uint64_t seed = 0);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Left, Right, Home and End move the focus among the playable cards;
    // Enter on PASS or DROP presses it.
    void keyPressEvent(QKeyEvent* event) override;
    // Tab goes from the cards (one stop) to PASS and DROP and back.
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Exit { None, Quit, NewMembers, SameMembers };

    void buildMenus();
    void buildLabels();
    void buildPictures();
    void formLoad();
    void placeTopLabels(bool maximised, double sx);
    void placeSeatLabels();
    QLabel* makeLabel(const QString& name, double points, bool bold, const QColor& colour);
    void setLabelText(QLabel* label, const QString& text);
    void fitOuterSize();
    void probe(const char* where);
    // The user's playable cards, left to right as the hand shows them.
    std::vector<CardPicture*> raisedCards() const;
    // At the start of the user's turn: the first playable card, else PASS,
    // else DROP.
    void focusUserTurn();
    // What the seat labels, the round counter and the high score mean, for
    // a screen reader, from what they show.
    void describeLabels();

    // Runs an engine entry point; once the outermost one returns, a pending
    // close or start over is carried out.
    template <typename F>
    void runEngine(F&& entry);
    // Leaves the table: stops the engine and every wait, closes the dialogs
    // open over the table, and carries out `exit` once nothing is running.
    void leave(Exit exit);
    void finishLeaving();

    MatchState& state_;
    Random random_;
    // Made before the engine, which reports to it.
    std::unique_ptr<MatchRecorder> recorder_;
    Engine engine_;
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
    QFutureWatcher<SearchResult>* hintWatcher_ = nullptr;
    int hintTurn_ = 0;
    FrmSplash* frmSplash_ = nullptr;
    Form2* form2_ = nullptr;
    QPointer<FrmAbout> frmAbout_;

    Size card_{49, 65};
    Size landscape_{65, 49};
    TableGeometry geometry_;
    int layoutState_ = 0;
    int restartPending_ = 0;
    int layoutPasses_ = 0;
    int lastMoveSteps_ = 0;
    bool outerSizeFitted_ = false;
    std::string messageText_;

    int engineDepth_ = 0;
    Exit exit_ = Exit::None;
    bool finished_ = false;
};

}  // namespace vantel
