// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/form1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <algorithm>

#include "assets/art_resources.h"
#include "game/seat_follower.h"
#include "game/seat_source.h"
#include "game/table_layout.h"
#include "records/record_file.h"
#include "records/seat_recorder.h"
#include "records/table_records.h"
#include "server/server_thread.h"
#include "table/card_picture.h"
#include "table/focus_frame.h"
#include "table/focus_overlay.h"
#include "table/fonts.h"
#include "table/form2.h"
#include "table/form3.h"
#include "table/friends_table.h"
#include "table/frm_friends.h"
#include "table/frm_seiseki.h"
#include "table/frm_splash.h"
#include "table/frm_tip.h"
#include "table/match_end.h"
#include "table/message_box.h"
#include "table/program.h"
#include "table/qt_text.h"
#include "table/settings_error.h"
#include "table/speech_balloon.h"
#include "table/table_hint.h"
#include "table/table_keyboard.h"
#include "table/table_music.h"

namespace vantel {

namespace {

constexpr int kOuterWidthTwips = 12000;
constexpr int kOuterHeightTwips = 8500;
constexpr int kDeck = 54;
constexpr QColor kBlue{0, 0, 255};
constexpr QColor kRed{255, 0, 0};
constexpr QColor kMagenta{255, 0, 255};

Form1::Probe& probeHook() {
    static Form1::Probe hook;
    return hook;
}

int twipsToPixels(double twips) { return roundEven(twips / kTwipsPerPixel); }

// Which seat's row of backs a picture index belongs to (54..66 seat 1, …).
int backSeat(int index) { return (index - kDeck) / 13 + 1; }

}  // namespace

// ---- load ------------------------------------------------------------------------

Form1::Form1(MatchState& state, QWidget* parent) : Form1(state, std::unique_ptr<FriendsTable>(), parent) {}

Form1::Form1(std::unique_ptr<FriendsTable> friends, QWidget* parent)
    : Form1(friends->state(), std::move(friends), parent) {}

Form1::Form1(MatchState& state, std::unique_ptr<FriendsTable>&& friends, QWidget* parent)
    : QMainWindow(parent), state_(state), friends_(std::move(friends)),
      records_(std::make_unique<TableRecords>(state, program().location, playRecordFile(program().location))),
      // The computers that search at むずかしい think during the pause
      // before their turn, on a thread of their own.
      local_(friends_ ? nullptr
                      : std::make_unique<LocalTableSource>(state, records_->observer(), TableHint::tableSearch())),
      source_(friends_ ? static_cast<SeatSource*>(&friends_->source()) : local_.get()),
      music_(std::make_unique<TableMusic>(state)) {
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Tamsuの７ならべ(Ver1.11)"));
    QIcon icon;
    for (const int size : art::kIconSizes) icon.addFile(art::iconPath(size));
    setWindowIcon(icon);
    surface_ = new TableSurface(this);
    setCentralWidget(surface_);
    buildMenus();
    buildPictures();
    buildLabels();
    keyboard_ = std::make_unique<TableKeyboard>(*surface_, img_, *cmdPass_, *cmdOut_);
    focusOverlay_ = new FocusOverlay(surface_);
    focusFollower_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        auto* card = qobject_cast<CardPicture*>(now);
        focusOverlay_->follow(card && card->parentWidget() == surface_ ? card : nullptr);
    });
    hint_ = new TableHint(this);

    frmSplash_ = new FrmSplash(this);
    balloon_ = new SpeechBalloon(*frmSplash_, this);
    form2_ = new Form2(this);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(1000);
    connect(Timer1_, &QTimer::timeout, this, &Form1::Timer1_Timer);

    recordDamaged_ = [this] {
        // Also while the table is on its way out: the player hears of it once.
        const bool over = leaving();
        if (!over) hold();
        openMessage(over ? nullptr : this, QMessageBox::Warning, kRecordDamagedTitle, kRecordDamagedText,
                    QMessageBox::Ok, [this, over](QMessageBox::StandardButton) {
                        if (!over) release();
                    });
    };
    records_->setDamagedHandler(recordDamaged_);

    bar_ = new QLabel(surface_);
    bar_->setObjectName(QStringLiteral("bar"));
    bar_->setTextFormat(Qt::PlainText);
    bar_->setAlignment(Qt::AlignCenter);
    bar_->setFont(gothicFont(11.25, true));
    bar_->setAutoFillBackground(true);
    QPalette barColours = bar_->palette();
    barColours.setColor(QPalette::Window, QColor(255, 248, 200));
    barColours.setColor(QPalette::WindowText, QColor(60, 40, 0));
    bar_->setPalette(barColours);
    bar_->hide();
    barTimer_ = new QTimer(this);
    barTimer_->setSingleShot(true);
    connect(barTimer_, &QTimer::timeout, this, &Form1::hideBar);

    follower_ = new TableFollower(*source_, state_, *this, this);
    formLoad();
    if (friends_) joinFriends();
    Timer1_->start();
}

Form1::~Form1() {
    // The focus moves while the children are taken apart; by then this is
    // no longer a table to follow it.
    disconnect(focusFollower_);
    // The follower goes before the table it follows and the stage it
    // performs on.
    delete follower_;
    if (music_) music_->release();
}

void Form1::buildMenus() {
    auto add = [this](QMenu* menu, const char* name, const char* caption, Qt::Key key,
                      void (Form1::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcut(QKeySequence(Qt::CTRL | key));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("mnu_file"));
    mnu_kaisi_ = add(file, "mnu_kaisi", "ゲーム開始(&S)", Qt::Key_S, &Form1::mnu_kaisi_Click);
    mnu_bgm_ = add(file, "mnu_bgm", "ＢＧＭ演奏(&G)", Qt::Key_G, &Form1::mnu_bgm_Click);
    mnu_bgm_->setCheckable(true);
    mnu_bgm_->setChecked(false);
    mnu_skip_ = add(file, "mnu_skip", "ゲームスキップ(&K)", Qt::Key_K, &Form1::mnu_skip_Click);
    mnu_skip_->setEnabled(false);
    mnu_hint_ = file->addAction(QStringLiteral("ヒント(&H)"));
    mnu_hint_->setObjectName(QStringLiteral("mnu_hint"));
    mnu_hint_->setShortcut(QKeySequence(Qt::Key_H));
    mnu_hint_->setShortcutContext(Qt::WindowShortcut);
    mnu_hint_->setEnabled(false);
    connect(mnu_hint_, &QAction::triggered, this, [this] { mnu_hint_Click(); });
    mnu_tuyosa_ = file->addMenu(QStringLiteral("強さ(&L)"));
    mnu_tuyosa_->setObjectName(QStringLiteral("mnu_tuyosa"));
    mnu_tuyosa_->setFont(gothicFont(9));
    auto* strengths = new QActionGroup(mnu_tuyosa_);
    strengths->setExclusive(true);
    for (const Strength strength : {Strength::Easy, Strength::Normal, Strength::Hard}) {
        const int n = static_cast<int>(strength);
        QAction* item = mnu_tuyosa_->addAction(qs(strengthName(strength)) + QStringLiteral("(&%1)").arg(n));
        item->setObjectName(QStringLiteral("mnu_tuyosa_%1").arg(n));
        item->setCheckable(true);
        strengths->addAction(item);
        connect(item, &QAction::triggered, this, [this, strength] { mnu_tuyosa_Click(strength); });
        mnu_strength_[n] = item;
    }
    add(file, "mnu_replay", "最初から始める(&R)", Qt::Key_R, &Form1::mnu_replay_Click);
    mnu_clear_ = add(file, "mnu_clear", "ランキングのクリア(&C)", Qt::Key_C, &Form1::mnu_clear_Click);
    mnu_friends_ = add(file, "mnu_friends", "友達と遊ぶ(&N)", Qt::Key_N, &Form1::mnu_friends_Click);
    file->addSeparator()->setObjectName(QStringLiteral("mnu_sp1"));
    add(file, "mnu_end", "終了(&X)", Qt::Key_X, &Form1::mnu_end_Click);
    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("mnu_help"));
    add(help, "mnu_gaiyo", "ルール説明(&B)", Qt::Key_B, &Form1::mnu_gaiyo_Click);
    add(help, "mnu_seiseki", "成績(&T)", Qt::Key_T, &Form1::mnu_seiseki_Click);
    add(help, "mnu_version", "ﾊﾞｰｼﾞｮﾝ情報(&A)", Qt::Key_A, &Form1::mnu_version_Click);
    menuBar()->setFont(gothicFont(9));
    file->setFont(gothicFont(9));
    help->setFont(gothicFont(9));
}

QAction* Form1::menuAction(const QString& name) const { return findChild<QAction*>(name); }

void Form1::buildPictures() {
    // The template, the 52 faces and the joker are stored with the window;
    // each seat's row of thirteen backs shares its seat's back picture.
    const QPixmap faceTemplate(art::cardFacePath(1));
    img_[0] = new CardPicture(0, faceTemplate, surface_);
    for (int n = 1; n <= art::kJoker; ++n) {
        img_[n] = new CardPicture(n, QPixmap(art::cardFacePath(n)), surface_);
        connect(img_[n], &CardPicture::clicked, this, &Form1::img_Click);
    }
    for (int seat = 1; seat <= kSeats; ++seat) {
        const QPixmap back(art::cardBackPath(seat));
        for (int k = 0; k < 13; ++k) {
            const int index = kDeck + (seat - 1) * 13 + k;
            img_[index] = new CardPicture(index, back, surface_);
        }
    }
    for (CardPicture* picture : img_) {
        const bool landscape = art::cardBackIsLandscape(picture->index() >= kDeck ? backSeat(picture->index()) : 1);
        picture->resize(landscape ? QSize(landscape_.width, landscape_.height)
                                  : QSize(card_.width, card_.height));
        picture->hide();
        picture->setEnabled(false);
    }
}

QLabel* Form1::makeLabel(const QString& name, double points, bool bold, const QColor& colour) {
    auto* label = new QLabel(surface_);
    label->setObjectName(name);
    label->setFont(gothicFont(points, bold));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setTextFormat(Qt::PlainText);
    setLabelText(label, QString());
    label->show();
    return label;
}

void Form1::setLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    // Labels take the size of their text so nothing is cut; the height is
    // one line of their font even while empty, as the layout stacks them.
    const QFontMetrics metrics(label->font());
    const int width = std::max(metrics.horizontalAdvance(text) + 6, 16);
    label->resize(width, metrics.height() + 2);
    if (lblscore_) describeLabels();
}

void Form1::showHighScore() {
    setLabelText(lblhiname_, qs(state_.hiScorePlayer));
    setLabelText(lblscore_, QString::number(state_.hiScore));
}

void Form1::describeLabels() {
    // Set only what changed: each change is an event a screen reader hears.
    const auto name = [](QWidget* w, const QString& text) {
        if (w->accessibleName() != text) w->setAccessibleName(text);
    };
    for (int i = 0; i < 4; ++i) {
        const QString seat = lblname_[i]->text();
        const QString total = QStringLiteral("合計%1点").arg(lblten_[i]->text());
        // The pass label shows stars for the passes, or the place once out.
        const QString pass = lblpass_[i]->text();
        const bool out = pass.endsWith(QStringLiteral("番"));
        const QString passes = out ? QStringLiteral("順位 ") + pass
                                   : QStringLiteral("パス%1回").arg(pass.count(QStringLiteral("★")));
        name(lblname_[i], seat);
        const QString summary = total + QStringLiteral("、") + passes;
        if (lblname_[i]->accessibleDescription() != summary) lblname_[i]->setAccessibleDescription(summary);
        name(lblten_[i], seat + QStringLiteral("の") + total);
        name(lblpass_[i], seat + QStringLiteral("の") + passes);
    }
    const QString round = lblkai_->text();
    name(lblkai_, round.isEmpty() ? QStringLiteral("回戦 開始前")
                                  : QStringLiteral("回戦 ") + round + QStringLiteral("（全10回戦）"));
    name(lblhiname_, QStringLiteral("ハイスコアの保持者 ") + lblhiname_->text());
    name(lblscore_, QStringLiteral("ハイスコア ") + lblscore_->text() + QStringLiteral("点"));
}

void Form1::buildLabels() {
    for (int i = 0; i < 4; ++i) {
        lblten_[i] = makeLabel(QStringLiteral("lblten_%1").arg(i), 15.75, false, kBlue);
        lblpass_[i] = makeLabel(QStringLiteral("lblpass_%1").arg(i), 15.75, false, kRed);
        lblname_[i] = makeLabel(QStringLiteral("lblname_%1").arg(i), 12, false, kBlue);
    }
    lblkai_ = makeLabel(QStringLiteral("lblkai"), 14.25, true, kRed);
    lblinfo_ = makeLabel(QStringLiteral("lblinfo"), 11.25, true, kMagenta);
    lblhiname_ = makeLabel(QStringLiteral("lblhiname"), 12, true, kMagenta);
    lblscore_ = makeLabel(QStringLiteral("lblscore"), 12, true, kMagenta);

    cmdPass_ = new FocusButton(QStringLiteral("PASS"), surface_);
    cmdPass_->setObjectName(QStringLiteral("cmdPass"));
    cmdOut_ = new FocusButton(QStringLiteral("DROP"), surface_);
    cmdOut_->setObjectName(QStringLiteral("cmdOut"));
    for (QPushButton* button : {cmdPass_, cmdOut_}) {
        button->resize(49, 25);
        button->setFont(gothicFont(9));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setEnabled(false);
    }
    cmdPass_->setAccessibleDescription(QStringLiteral("パスします（P キー）"));
    cmdOut_->setAccessibleDescription(QStringLiteral("降参して残りのカードを出します（D キー）"));
    connect(cmdPass_, &QPushButton::clicked, this, &Form1::cmdPass_Click);
    connect(cmdOut_, &QPushButton::clicked, this, &Form1::cmdOut_Click);
    // P and D press the buttons, only while they can be pressed; the
    // captions stay as they are.
    const std::pair<Qt::Key, QPushButton*> keys[] = {{Qt::Key_P, cmdPass_}, {Qt::Key_D, cmdOut_}};
    for (const auto& [key, button] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled() && button->isVisible()) button->click();
        });
    }
}

void Form1::formLoad() {
    // The outer size is 12000 x 8500 twips, centred on the screen; the
    // frame is corrected once the window system has given it one.
    const QSize outer(twipsToPixels(kOuterWidthTwips), twipsToPixels(kOuterHeightTwips));
    resize(outer);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
    if (QLayout* l = layout()) l->activate();

    geometry_ = gridFor(clientSize(), card_, landscape_);
    surface_->drawGrid(geometry_);
    placeSeatLabels();

    for (int seat = 1; seat <= kSeats; ++seat) state_.matchTotal[seat] = 0;
    state_.roundNumber = 0;
    for (int seat = 1; seat <= kSeats; ++seat) setLabelText(lblname_[seat - 1], qs(state_.seatName[seat]));
    placeTopLabels(false, 1.0);

    if (state_.selectionPhase == 0) {
        const SettingsReport report = records_->load();
        if (!report.ok()) {
            showSettingsError(this);
            leave(Exit::Quit);
            return;
        }
    }
    showHighScore();
    strengthAction(state_.strength)->setChecked(true);
    for (int seat = 1; seat <= kSeats; ++seat) {
        const int member = state_.seatMember[seat];
        if (member >= 1 && member <= kMaxMembers) {
            state_.seatImage[seat][1] = state_.memberImage[member][1];
            state_.seatImage[seat][2] = state_.memberImage[member][2];
        }
    }
    music_->load();
    mnu_bgm_->setChecked(false);
    layoutState_ = 2;
    restartPending_ = 0;
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!outerSizeFitted_) {
        outerSizeFitted_ = true;
        // Once the window system has framed the window, make the outer
        // size (frame included) the load size, and keep it centred.
        QTimer::singleShot(0, this, [this] { fitOuterSize(); });
        QTimer::singleShot(200, this, [this] { fitOuterSize(); });
    }
}

void Form1::fitOuterSize() {
    if (isMaximized() || isMinimized() || isFullScreen()) return;
    const QSize outer(twipsToPixels(kOuterWidthTwips), twipsToPixels(kOuterHeightTwips));
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client = outer - frame;
    if (client != size()) resize(client);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
}

// ---- layout ------------------------------------------------------------------------

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || layoutState_ == 0) return;
    if (isMinimized()) {
        layoutState_ = 1;
    } else if (layoutState_ == 1) {
        // Back from the task bar: the picture from before is still right.
        layoutState_ = 2;
    } else {
        // A window manager may resize before it reports the window
        // maximised (or back to normal): lay out again for the new state.
        Form_Resize();
    }
}

Size Form1::clientSize() const { return {surface_->width(), surface_->height()}; }

void Form1::placeTopLabels(bool maximised, double sx) {
    const double scale = maximised ? sx : 1.0;
    lblkai_->move(roundEven(350 * scale), 10);
    // The information line uses the grid of the previous pass, as the grid
    // is recomputed after it.
    lblinfo_->move(roundEven(100 * scale) + geometry_.tableLeft, clientSize().height - 40);
    lblhiname_->move(roundEven(100 * scale), lblkai_->y());
    lblscore_->move(roundEven(600 * scale), lblkai_->y());
}

void Form1::placeSeatLabels() {
    const TableGeometry& g = geometry_;
    const QSize landscapeBack = img_[105]->size();
    const int w105 = landscapeBack.width(), h105 = landscapeBack.height();
    const int lefts[4] = {g.tableRight - 2 * g.cardWidth, g.tableLeft - w105,
                          g.tableLeft + g.cardWidth + 10, g.tableRight - 20};
    for (int k = 0; k < 4; ++k) {
        const int h = lblten_[k]->height();
        const int top = k < 2 ? lowerSeatLabelTop(g) : g.tableTop - h105 - h - 10;
        lblten_[k]->move(lefts[k], top);
        lblpass_[k]->move(lefts[k], top + h);
        if (k == 0) {
            lblname_[k]->move(lefts[k], top + 3 * h);
        } else {
            lblname_[k]->move(lefts[k], lblpass_[k]->y() + lblpass_[k]->height());
        }
    }
    cmdPass_->move(lblpass_[0]->x(), lblpass_[0]->y() + lblpass_[0]->height());
    cmdOut_->move(cmdPass_->x() + cmdPass_->width(), cmdPass_->y());
}

void Form1::Form_Resize() {
    if (layoutState_ == 0) return;
    if (isMinimized()) {
        layoutState_ = 1;
        return;
    }
    if (layoutState_ == 1) {
        layoutState_ = 2;
        return;
    }
    ++layoutPasses_;
    const TableGeometry before = geometry_;

    const bool maximised = isMaximized() || isFullScreen();
    double sx = 1.0, sy = 1.0;
    if (maximised) {
        sx = frameGeometry().width() * double(kTwipsPerPixel) / kOuterWidthTwips;
        sy = frameGeometry().height() * double(kTwipsPerPixel) / kOuterHeightTwips;
    }
    // Card sizes scale from the normal size, so several resize events while
    // maximised do not compound.
    card_ = {roundEven(49 * sx), roundEven(65 * sy)};
    landscape_ = {roundEven(65 * sx), roundEven(49 * sy)};
    placeTopLabels(maximised, sx);
    for (int i = 0; i <= 105; ++i) {
        const bool landscape = (i >= 67 && i <= 79) || (i >= 93);
        img_[i]->resize(landscape ? QSize(landscape_.width, landscape_.height)
                                  : QSize(card_.width, card_.height));
    }
    geometry_ = gridFor(clientSize(), card_, landscape_);
    surface_->drawGrid(geometry_);
    placeSeatLabels();

    PictureBoard board;
    for (int i = 0; i <= 105; ++i) {
        board.place(i, {img_[i]->x(), img_[i]->y()});
        board.setVisible(i, img_[i]->isVisibleTo(surface_));
        board.setEnabled(i, img_[i]->isEnabled());
    }
    // The pictures follow the round where the table is held here; a table
    // held elsewhere lays out only the grid and the labels.
    // A table held elsewhere lays out the round as the seat has been shown it.
    const RoundState* held = source_->round();
    const RoundState shown = held ? RoundState{} : roundFromView(follower_->presenter().seen());
    for (const PictureMove& m : relayoutPictures(before, geometry_, held ? *held : shown, board)) {
        img_[m.index]->move(m.to.x, m.to.y);
    }
}

// ---- the stage ------------------------------------------------------------------

Point Form1::picturePosition(int index) const {
    if (index < 0 || index > 105) return {};
    return {img_[index]->x(), img_[index]->y()};
}

void Form1::placePicture(int index, int left, int top) {
    if (index >= 0 && index <= 105) img_[index]->move(left, top);
}

void Form1::setPictureVisible(int index, bool visible) {
    if (index >= 1 && index <= 105) img_[index]->setVisible(visible);
}

void Form1::setPictureEnabled(int index, bool enabled) {
    if (index >= 1 && index <= 105) img_[index]->setEnabled(enabled);
}

void Form1::setCaption(Caption label, int index, std::string_view text) {
    QLabel* target = nullptr;
    switch (label) {
        case Caption::SeatPass: target = index >= 0 && index < 4 ? lblpass_[index] : nullptr; break;
        case Caption::SeatTotal: target = index >= 0 && index < 4 ? lblten_[index] : nullptr; break;
        case Caption::RoundNumber: target = lblkai_; break;
        case Caption::Info: target = lblinfo_; break;
    }
    if (!target) return;
    setLabelText(target, qs(text));
    // The pass stars show at once, even in the middle of a turn.
    if (label == Caption::SeatPass) target->repaint();
}

void Form1::setEnabled(Control control, bool enabled) {
    if (friends_) {
        // At a friends' table the server starts the matches (for the host's
        // answer), nobody skips, the strength is the table's, and the hint
        // only where the host allowed it.
        switch (control) {
            case Control::StartMenu:
            case Control::StrengthMenu:
            case Control::SkipMenu: enabled = false; break;
            case Control::HintMenu:
                enabled = enabled && friends_->remote().room().settings.value(QStringLiteral("hints")).toBool();
                break;
            default: break;
        }
    }
    switch (control) {
        case Control::PassButton: cmdPass_->setEnabled(enabled); break;
        case Control::DropButton: cmdOut_->setEnabled(enabled); break;
        case Control::StartMenu:
            mnu_kaisi_->setEnabled(enabled);
            // Friends are met between matches.
            if (mnu_friends_) mnu_friends_->setEnabled(enabled && !friends_);
            break;
        case Control::SkipMenu: mnu_skip_->setEnabled(enabled); break;
        case Control::HintMenu: mnu_hint_->setEnabled(enabled); break;
        case Control::StrengthMenu: mnu_tuyosa_->menuAction()->setEnabled(enabled); break;
    }
}

bool Form1::musicOn() const { return music_->on(); }
void Form1::playMusic(int soundIndex, bool loop) { music_->play(soundIndex, loop); }
void Form1::stopMusic() { music_->stop(); }
void Form1::playSoundEffect(int soundIndex) { music_->playEffect(soundIndex); }
void Form1::keepMusicLooping() { music_->keepLooping(); }
void Form1::clearResults() { form2_->clearRows(); }

// ---- the follower's host -----------------------------------------------------------

void Form1::flightBegins(int picture, bool travels) {
    if (picture < 0 || picture > 105) return;
    img_[picture]->show();
    // The card in flight passes over the others.
    if (travels) img_[picture]->raise();
}

void Form1::drawStep(int picture, Point at) {
    if (picture < 0 || picture > 105) return;
    CardPicture* card = img_[picture];
    const QRect before = card->geometry();
    card->move(at.x, at.y);
    // Each step is drawn and put on screen now, not merely marked for the
    // next paint: the place it left and the place it reached, so no trace
    // of the card stays behind.
    surface_->repaint(QRegion(before) + QRegion(card->geometry()));
}

void Form1::showBalloon(int seat, const std::string& text) {
    messageText_ = text;
    FRM_DSP(seat);
}

void Form1::FRM_DSP(int seat) {
    const bool atSeat = seat >= 1 && seat <= 4;
    balloon_->show(seat, atSeat ? qs(state_.seatImage[seat][1]) : QString(), qs(messageText_), frameGeometry());
}

void Form1::hideBalloon() { balloon_->hide(); }

bool Form1::balloonGone() const { return balloon_->gone(); }

void Form1::openModal(const Wait& wait, std::function<void(bool)> closed) {
    switch (wait.kind) {
        case Wait::Results:
            form2_->activate(state_);
            // The result table keeps its rows from round to round.
            vantel::openModal(form2_, [closed](int) { closed(true); }, ModalEnd::Keep);
            break;
        case Wait::Ranking:
            records_->matchEnded();
            // Another copy sharing the settings file may have set a higher
            // score since these labels were filled; the records leave
            // memory as the file is.
            showHighScore();
            vantel::openModal(new Form3(state_, this), [closed](int) { closed(true); });
            break;
        case Wait::Screen:
            vantel::openModal(newMatchEndScreen(wait.screen, state_, this), [closed](int) { closed(true); });
            break;
        case Wait::Retry:
            if (friends_ && !friends_->isHost()) {
                // The host's answer starts the next match for everybody.
                showBar(QStringLiteral("ホストを待っています"));
                closed(false);
                break;
            }
            openMessage(this, QMessageBox::Warning, "リトライ", "もう一度プレイしますか？",
                        QMessageBox::Yes | QMessageBox::No, [this, closed](QMessageBox::StandardButton b) {
                            closed(b == QMessageBox::Yes);
                            // The host's No closes the friends' table for everybody.
                            if (friends_ && b != QMessageBox::Yes) leave(Exit::NewMembers);
                        });
            break;
        default:
            closed(false);
            break;
    }
}

void Form1::turnOpened() { keyboard_->focusTurn(); }

void Form1::probe(const char* where) {
    if (probeHook()) probeHook()(*this, where);
}

void Form1::hold() { ++holds_; }

void Form1::release() {
    if (holds_ > 0) --holds_;
    if (holds_ == 0) follower_->resume();
}

// ---- handlers ------------------------------------------------------------------------

void Form1::mnu_kaisi_Click() { follower_->startMatch(); }

void Form1::img_Click(int index) { follower_->play({TurnMove::Card, index}); }

void Form1::cmdPass_Click() { follower_->play({TurnMove::Pass, 0}); }

void Form1::cmdOut_Click() { follower_->play({TurnMove::Drop, 0}); }

void Form1::mnu_skip_Click() { follower_->skip(); }

void Form1::Timer1_Timer() { follower_->tick(); }

void Form1::mnu_bgm_Click() { mnu_bgm_->setChecked(music_->toggle()); }

void Form1::mnu_replay_Click() {
    if (restartPending_ != 0) return;
    if (friends_) {
        // At a friends' table starting over is leaving it (the host closes
        // it for everybody).
        hold();
        openMessage(this, QMessageBox::Warning, "最初から始める",
                    friends_->isHost() ? "テーブルを閉じて、メンバ選択に戻りますか？"
                                       : "テーブルを離れて、メンバ選択に戻りますか？",
                    QMessageBox::Yes | QMessageBox::No, [this](QMessageBox::StandardButton b) {
                        if (b == QMessageBox::Yes) {
                            leave(Exit::NewMembers);
                            return;
                        }
                        release();
                    });
        return;
    }
    // The match stops here; the question only decides with whom the next
    // one is played.
    follower_->stop();
    layoutState_ = 0;
    restartPending_ = 1;
    hold();
    openMessage(this, QMessageBox::Warning, "最初から始める", "メンバを変更しますか？",
                QMessageBox::Yes | QMessageBox::No, [this](QMessageBox::StandardButton b) {
                    leave(b == QMessageBox::Yes ? Exit::NewMembers : Exit::SameMembers);
                });
}

void Form1::mnu_clear_Click() {
    hold();
    openMessage(this, QMessageBox::Warning, kClearRankingTitle, kClearRankingQuestion,
                QMessageBox::Ok | QMessageBox::Cancel, [this](QMessageBox::StandardButton b) {
                    const ClearRankingResult result = records_->clearRanking(b == QMessageBox::Ok);
                    auto after = [this, reread = result.reread] {
                        if (!reread.ok()) {
                            showSettingsError(this);
                            leave(Exit::Quit);
                            return;
                        }
                        showHighScore();
                        release();
                    };
                    if (!result.cleared) {
                        after();
                        return;
                    }
                    openMessage(this, QMessageBox::Information, kClearRankingDoneTitle, kClearRankingDoneText,
                                QMessageBox::Ok, [after](QMessageBox::StandardButton) { after(); });
                });
}

void Form1::mnu_end_Click() { leave(Exit::Quit); }

void Form1::mnu_gaiyo_Click() {
    hold();
    vantel::openModal(new FrmTip(this), [this](int) { release(); });
}

void Form1::mnu_seiseki_Click() {
    hold();
    openPlayRecord(this, records_->recordFile(), [this] { release(); });
}

void Form1::mnu_version_Click() {
    if (!frmAbout_) {
        frmAbout_ = new FrmAbout(this);
        frmAbout_->setAttribute(Qt::WA_DeleteOnClose);
    }
    frmAbout_->show();
    frmAbout_->raise();
    frmAbout_->activateWindow();
}

void Form1::mnu_tuyosa_Click(Strength strength) {
    if (!follower_->isEnabled(Control::StrengthMenu)) {
        // Not in the middle of a match: the tick goes back where it was.
        strengthAction(state_.strength)->setChecked(true);
        return;
    }
    records_->chooseStrength(strength);
}

bool Form1::hintRunning() const { return hint_->running(); }

void Form1::mnu_hint_Click() {
    if (hint_->running() || !follower_->isEnabled(Control::HintMenu)) return;
    std::optional<SeatKnowledge> knowledge = follower_->knowledge();
    if (!knowledge) return;
    const int turn = follower_->presenter().turnSerial();
    records_->hintShown();
    if (seatRecorder_) seatRecorder_->noteHint();
    hint_->ask(std::move(*knowledge), [this, turn](const TurnMove& move) {
        // The hint is for the turn it was asked in, if that is still open.
        if (!follower_->awaitingMove() || follower_->presenter().turnSerial() != turn) return;
        QWidget* to = move.kind == TurnMove::Card   ? static_cast<QWidget*>(img_[move.card])
                      : move.kind == TurnMove::Pass ? static_cast<QWidget*>(cmdPass_)
                                                    : static_cast<QWidget*>(cmdOut_);
        if (to->isEnabled() && to->isVisible()) to->setFocus(Qt::OtherFocusReason);
    });
}

// ---- the keyboard --------------------------------------------------------------------

void Form1::keyPressEvent(QKeyEvent* event) {
    if (!keyboard_->keyPress(*event, focusWidget())) QMainWindow::keyPressEvent(event);
}

bool Form1::focusNextPrevChild(bool next) { return keyboard_->focusNextPrev(next, focusWidget()); }

// ---- leaving -----------------------------------------------------------------------

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    // While 「最初から始める」 asks its question, its answer decides.
    if (restartPending_ != 0) return;
    leave(Exit::Quit);
}

void Form1::leave(Exit exit) {
    if (exit_ != Exit::None) return;
    exit_ = exit;
    // Nothing more of this table is shown, asked or sent.
    follower_->stop();
    // The server hears first, so that a computer takes the seat at once.
    if (friends_) friends_->leave();
    Timer1_->stop();
    music_->stop();
    // The windows over the table close without answering.
    for (QDialog* dialog : findChildren<QDialog*>()) {
        disconnect(dialog, &QDialog::finished, nullptr, nullptr);
        if (dialog->isVisible()) dialog->reject();
    }
    balloon_->hide();
    hide();
    // A match closed or started over before its end counts as left.
    records_->tableLeft();
    if (seatRecorder_) seatRecorder_->noteLeft();
    music_->release();
    switch (exit) {
        case Exit::Quit:
            endProgram();
            break;
        case Exit::NewMembers:
            state_.selectionPhase = 0;
            openMemberSelection();
            break;
        case Exit::SameMembers:
            openTable();
            break;
        case Exit::Friends:
            openFriendsTable(std::move(nextFriends_));
            break;
        case Exit::None:
            break;
    }
    deleteLater();
}

// ---- a friends' table ----------------------------------------------------------------

void Form1::joinFriends() {
    mnu_friends_->setEnabled(false);
    mnu_clear_->setEnabled(false);
    setEnabled(Control::StartMenu, false);
    net::RemoteSeatSource* source = &friends_->source();
    SeatPresenter::Options options;
    options.ranking = false;
    options.lineText = [source](const TableEvent& e) { return source->lineText(e); };
    // The player's record counts the matches at friends' tables in a column
    // of their own, from what the seat was shown.
    seatRecorder_ = std::make_unique<SeatRecorder>(records_->recordFile());
    seatRecorder_->setDamagedHandler(recordDamaged_);
    options.eventShowing = [this](const TableEvent& e) {
        applyToMatch(state_, e);

        if (e.kind == EventKind::MatchStart) hideBar();
    };
    follower_->setPresenterOptions(std::move(options));
    // The record follows the table as it tells its events, not as they are
    // shown: a match that ended there is a match played, even when the
    // table goes before the window has shown its end.
    connect(source, &net::RemoteSeatSource::told, this, [this](const TableEvent& e) {
        if (e.kind == EventKind::MatchStart) {
            seatRecorder_->setOpponents({state_.seatName[2], state_.seatName[3], state_.seatName[4]});
        }
        seatRecorder_->seen(e);
    });
    connect(friends_.get(), &FriendsTable::seatsChanged, this, &Form1::showNames);
    connect(friends_.get(), &FriendsTable::noticeShown, this, [this](const QString& text) {
        if (friends_->remote().state() != net::RemoteTable::State::Reconnecting) showBar(text, 4000);
    });
    connect(friends_.get(), &FriendsTable::reconnecting, this,
            [this] { showBar(QStringLiteral("再接続しています…")); });
    connect(friends_.get(), &FriendsTable::reconnected, this, &Form1::hideBar);
    connect(friends_.get(), &FriendsTable::ended, this, [this](const QString& text) {
        if (leaving()) return;
        // The table is gone (the host quit or closed it, or the connection
        // could not be had back): the player hears why and chooses again.
        follower_->stop();
        hideBar();
        hold();
        openMessage(this, QMessageBox::Information, "友達と遊ぶ", text.toStdString(), QMessageBox::Ok,
                    [this](QMessageBox::StandardButton) { leave(Exit::NewMembers); });
    });
    showNames();
    if (friends_->remote().room().phase != QLatin1String("playing")) showBar(QStringLiteral("ホストを待っています"));
}

void Form1::showNames() {
    if (!friends_) return;
    for (int place = 1; place <= kSeats; ++place) {
        setLabelText(lblname_[place - 1], qs(state_.seatName[place]) + friends_->mark(place));
    }
}

void Form1::showBar(const QString& text, int ms) {
    barTimer_->stop();
    bar_->setText(text);
    const QFontMetrics metrics(bar_->font());
    const int width = std::min(surface_->width() - 20, metrics.horizontalAdvance(text) + 48);
    bar_->setGeometry((surface_->width() - width) / 2, 8, width, metrics.height() + 14);
    bar_->setAccessibleName(text);
    bar_->show();
    bar_->raise();
    if (ms > 0) barTimer_->start(ms);
}

void Form1::hideBar() {
    barTimer_->stop();
    bar_->hide();
}

void Form1::mnu_friends_Click() {
    if (friends_ || !follower_->isEnabled(Control::StartMenu)) return;
    hold();
    auto* window = new FrmFriends(sharedState(), this);
    connect(window, &FrmFriends::seatTaken, this, [this, window] {
        // The player sits at the friends' table: this table makes way.
        nextFriends_ = std::make_unique<FriendsTable>(window->takeTable(), window->takeServer(), sharedState());
        leave(Exit::Friends);
    });
    vantel::openModal(window, [this](int) {
        if (!leaving()) release();
    });
}

// ---- tests ---------------------------------------------------------------------------

Table& Form1::localTable() { return local_->table(); }
const Table& Form1::localTable() const { return local_->table(); }

MatchRecorder& Form1::recorder() { return records_->recorder(); }

void Form1::setProbe(Probe probe) { probeHook() = std::move(probe); }

void Form1::setSearchForTests(std::optional<SearchBudget> budget, uint64_t seed) {
    TableHint::setSearchForTests(budget, seed);
}

}  // namespace vantel
