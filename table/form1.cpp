// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/form1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDialog>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "assets/art_resources.h"
#include "game/table_layout.h"
#include "records/match_recorder.h"
#include "records/play_record.h"
#include "records/ranking.h"
#include "records/record_file.h"
#include "records/settings.h"
#include "table/card_picture.h"
#include "table/focus_frame.h"
#include "table/focus_overlay.h"
#include "table/fonts.h"
#include "table/form2.h"
#include "table/form3.h"
#include "table/frm_seiseki.h"
#include "table/frm_splash.h"
#include "table/frm_tip.h"
#include "table/match_end.h"
#include "table/message_box.h"
#include "table/pauses.h"
#include "table/program.h"
#include "table/qt_text.h"
#include "table/settings_error.h"
#include "table/table_music.h"

namespace vantel {

namespace {

constexpr int kOuterWidthTwips = 12000;
constexpr int kOuterHeightTwips = 8500;
constexpr int kStep = 30;  // pixels per axis per step of a card's flight
constexpr int kDeck = 54;
constexpr QColor kBlue{0, 0, 255};
constexpr QColor kRed{255, 0, 0};
constexpr QColor kMagenta{255, 0, 255};
constexpr QColor kBackground{246, 241, 226};
constexpr QColor kFelt{0, 128, 0};

Form1::Probe& probeHook() {
    static Form1::Probe hook;
    return hook;
}

// How long a search may think at the table: a computer's move at
// むずかしい, and a hint.
constexpr std::chrono::milliseconds kThinkTime{150};

struct SearchForTests {
    std::optional<SearchBudget> budget;
    uint64_t seed = 0;
};

SearchForTests& searchForTests() {
    static SearchForTests settings;
    return settings;
}

SearchBudget thinkingBudget() { return searchForTests().budget.value_or(SearchBudget::ofTime(kThinkTime)); }

uint64_t thinkingSeed() {
    if (searchForTests().budget) return searchForTests().seed;
    return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

int twipsToPixels(double twips) { return roundEven(twips / kTwipsPerPixel); }

// Which seat's row of backs a picture index belongs to (54..66 seat 1, …).
int backSeat(int index) { return (index - kDeck) / 13 + 1; }

}  // namespace

// ---- the grid surface --------------------------------------------------------

TableSurface::TableSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tableSurface"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TableSurface::drawGrid(const TableGeometry& g) {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (buffer_.size() != size) buffer_ = QImage(size, QImage::Format_RGB32);
    buffer_.fill(kBackground);
    QPainter p(&buffer_);
    const int left = g.tableLeft, right = g.tableRight, top = g.tableTop, bottom = g.tableBottom;
    grid_ = QRect(QPoint(left, top), QPoint(right, bottom));
    p.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), kFelt);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(0, 0, -1, -1));
    for (int k = 1; k <= 12; ++k) {
        const int x = left + k * g.cardWidth;
        p.drawLine(x, top, x, bottom);
    }
    for (int k = 1; k <= 3; ++k) {
        const int y = top + k * g.cardHeight;
        p.drawLine(left, y, right, y);
    }
    p.end();
    update();
}

void TableSurface::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (buffer_.isNull()) {
        p.fillRect(event->rect(), kBackground);
        return;
    }
    p.drawImage(event->rect(), buffer_, event->rect());
    if (buffer_.width() < width() || buffer_.height() < height()) {
        const QRegion rest = QRegion(rect()) - QRegion(buffer_.rect());
        for (const QRect& r : rest) p.fillRect(r, kBackground);
    }
}

// ---- load ------------------------------------------------------------------------

Form1::Form1(MatchState& state, QWidget* parent)
    : QMainWindow(parent), state_(state),
      recorder_(std::make_unique<MatchRecorder>(state, playRecordFile(program().location))),
      engine_(state, *this, random_, recorder_.get()), music_(std::make_unique<TableMusic>(state)) {
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
    focusOverlay_ = new FocusOverlay(surface_);
    focusFollower_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        auto* card = qobject_cast<CardPicture*>(now);
        focusOverlay_->follow(card && card->parentWidget() == surface_ ? card : nullptr);
    });
    // The computers that search at むずかしい think during the pause before
    // their turn, on a thread of their own.
    engine_.configureSearch({thinkingBudget(), thinkingSeed(), !searchForTests().budget});

    frmSplash_ = new FrmSplash(this);
    form2_ = new Form2(this);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(1000);
    connect(Timer1_, &QTimer::timeout, this, &Form1::Timer1_Timer);

    recorder_->setDamagedHandler([this] {
        // Also while the table is on its way out: the player hears of it once.
        notify(leaving() ? nullptr : this, QMessageBox::Warning, kRecordDamagedTitle, kRecordDamagedText);
    });

    formLoad();
    Timer1_->start();
}

Form1::~Form1() {
    // The focus moves while the children are taken apart; by then this is
    // no longer a table to follow it.
    disconnect(focusFollower_);
    // Work still on the stack has unwound before the window is deleted; the
    // engine must not call back into what is being taken apart.
    engine_.abandon();
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
    add(file, "mnu_clear", "ランキングのクリア(&C)", Qt::Key_C, &Form1::mnu_clear_Click);
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
        const SettingsReport report = readSettings(state_, program().location);
        if (!report.ok()) {
            showSettingsError(this);
            leave(Exit::Quit);
            return;
        }
    }
    setLabelText(lblhiname_, qs(state_.hiScorePlayer));
    setLabelText(lblscore_, QString::number(state_.hiScore));
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
    if (leaving() || isMaximized() || isMinimized() || isFullScreen()) return;
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
        const int top = k < 2 ? g.tableBottom + 20 : g.tableTop - h105 - h - 10;
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
    for (const PictureMove& m : relayoutPictures(before, geometry_, engine_.round(), board)) {
        img_[m.index]->move(m.to.x, m.to.y);
    }
}

// ---- the TableView port ---------------------------------------------------------

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

void Form1::movePicture(int index, int fromLeft, int fromTop, int toLeft, int toTop, int delayMs) {
    lastMoveSteps_ = 0;
    if (index < 0 || index > 105) return;
    CardPicture* picture = img_[index];
    picture->show();
    const int dx = toLeft < fromLeft ? -1 : (toLeft > fromLeft ? 1 : 0);
    const int dy = toTop < fromTop ? -1 : (toTop > fromTop ? 1 : 0);
    if (dx == 0 && dy == 0) return;
    // The card in flight passes over the others.
    picture->raise();
    FlightPacer pacer(delayMs, screen());
    int x = fromLeft, y = fromTop;
    for (;;) {
        if (dx < 0) x = std::max(x - kStep, toLeft);
        if (dx > 0) x = std::min(x + kStep, toLeft);
        if (dy < 0) y = std::max(y - kStep, toTop);
        if (dy > 0) y = std::min(y + kStep, toTop);
        const QRect before = picture->geometry();
        picture->move(dx != 0 ? x : picture->x(), dy != 0 ? y : picture->y());
        ++lastMoveSteps_;
        // Each step is drawn and put on screen now, not merely marked for
        // the next paint: the place it left and the place it reached, so no
        // trace of the card stays behind.
        surface_->repaint(QRegion(before) + QRegion(picture->geometry()));
        pacer.stepShown();
        if (x == toLeft && y == toTop) return;
        probe("step");
        if (leaving()) return;
        pacer.holdStep();
        if (leaving()) return;
    }
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
    switch (control) {
        case Control::PassButton: cmdPass_->setEnabled(enabled); break;
        case Control::DropButton: cmdOut_->setEnabled(enabled); break;
        case Control::StartMenu: mnu_kaisi_->setEnabled(enabled); break;
        case Control::SkipMenu: mnu_skip_->setEnabled(enabled); break;
        case Control::HintMenu: mnu_hint_->setEnabled(enabled); break;
        case Control::StrengthMenu: mnu_tuyosa_->menuAction()->setEnabled(enabled); break;
    }
}

void Form1::speak(int seat, std::string_view text, int milliseconds) {
    messageText_ = std::string(text);
    FRM_DSP(seat, milliseconds);
}

void Form1::FRM_DSP(int seat, int waitMs) {
    if (leaving()) return;
    FrmSplash& w = *frmSplash_;
    // Places are reckoned in twips from the table's outer frame.
    const QRect outer = frameGeometry();
    const double L = outer.x() * double(kTwipsPerPixel), T = outer.y() * double(kTwipsPerPixel);
    const double W = outer.width() * double(kTwipsPerPixel), H = outer.height() * double(kTwipsPerPixel);
    const bool atSeat = seat >= 1 && seat <= 4;
    // The window's own frame is known only once it has been shown: the
    // place is worked out again if the frame turned out different.
    auto place = [&] {
        const int frameExtraW = w.frameGeometry().width() - w.width();
        const int frameExtraH = w.frameGeometry().height() - w.height();
        const int outerHeightPx = twipsToPixels(atSeat ? 4545 : 1200);
        w.resize(231, std::max(1, outerHeightPx - frameExtraH));
        const double sW = (w.width() + frameExtraW) * double(kTwipsPerPixel);
        const double sH = (w.height() + frameExtraH) * double(kTwipsPerPixel);
        double left = 0, top = 0;
        switch (seat) {
            case 1: left = (L + W) / 2 - sW / 2 + 500; top = T + H - sH; break;
            case 2: left = L; top = (T + H) / 2 - 1000; break;
            case 3: left = (L + W) / 2 - sW / 2 + 500; top = T; break;
            case 4: left = L + W - sW; top = (T + H) / 2 - 1000; break;
            default: left = (L + W) / 2 - sW / 2; top = (T + H) / 2; break;
        }
        w.move(twipsToPixels(left), twipsToPixels(top));
        return w.frameGeometry().size() - w.size();
    };
    const QSize frameBefore = place();
    if (atSeat) {
        w.showPortrait(qs(state_.seatImage[seat][1]));
        w.setTextTop(256);
    } else {
        w.clearPortrait();
        w.setTextTop(20);
    }
    QString text = qs(messageText_);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    w.setText(text);

    // The window must really be on screen during the wait: let the window
    // system map and expose it (user input stays queued), paint it, wait.
    w.show();
    letWindowSystemRun(
        500, [](void* c) { auto* s = static_cast<FrmSplash*>(c); return s->windowHandle() && s->windowHandle()->isExposed(); },
        &w);
    if (!leaving() && w.frameGeometry().size() - w.size() != frameBefore) {
        place();
        letWindowSystemRun(50, [](void*) { return false; }, nullptr);
    }
    if (!leaving()) {
        w.repaint();
        w.announce();
        probe("balloon");
    }
    if (!leaving()) BlockingPause::wait(waitMs);
    w.hide();
    // Let the window system take it off the screen before play goes on.
    letWindowSystemRun(
        300, [](void* c) { auto* s = static_cast<FrmSplash*>(c); return !s->windowHandle() || !s->windowHandle()->isExposed(); },
        &w);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
}

void Form1::pause(int milliseconds) {
    if (leaving()) return;
    probe("pause");
    if (!leaving()) BlockingPause::wait(milliseconds);
}

void Form1::processEvents() {
    if (leaving()) return;
    probe("events");
    if (!leaving()) QCoreApplication::processEvents();
}

bool Form1::musicOn() const { return music_->on(); }
void Form1::playMusic(int soundIndex, bool loop) { music_->play(soundIndex, loop); }
void Form1::stopMusic() { music_->stop(); }
void Form1::playSoundEffect(int soundIndex) { music_->playEffect(soundIndex); }
void Form1::keepMusicLooping() { music_->keepLooping(); }

void Form1::showResults() {
    if (leaving()) return;
    form2_->activate(state_);
    runModal(*form2_);
}

void Form1::clearResults() { form2_->clearRows(); }

void Form1::recordMatch() {
    if (leaving()) return;
    saiten(state_, localNow());
    // Another copy sharing the settings file may have set a higher score
    // since these labels were filled; saiten leaves memory as the file is.
    setLabelText(lblhiname_, qs(state_.hiScorePlayer));
    setLabelText(lblscore_, QString::number(state_.hiScore));
    showRanking(state_, this);
}

void Form1::showMatchEndScreen(MatchEndScreen screen) {
    if (leaving()) return;
    showMatchEnd(screen, state_, this);
}

bool Form1::askRetry() {
    if (leaving()) return false;
    return confirmYesNo(this, "リトライ", "もう一度プレイしますか？");
}

// ---- handlers ------------------------------------------------------------------------

template <typename F>
void Form1::runEngine(F&& entry) {
    if (leaving()) return;
    ++engineDepth_;
    entry();
    --engineDepth_;
    if (engineDepth_ == 0 && leaving()) {
        finishLeaving();
        return;
    }
    if (engineDepth_ == 0 && engine_.awaitingUser()) focusUserTurn();
}

void Form1::mnu_kaisi_Click() {
    runEngine([this] { engine_.mnuKaisiClick(); });
}

void Form1::img_Click(int index) {
    runEngine([this, index] { engine_.imgClick(index); });
}

void Form1::cmdPass_Click() {
    runEngine([this] { engine_.cmdPassClick(); });
}

void Form1::cmdOut_Click() {
    runEngine([this] { engine_.cmdOutClick(); });
}

void Form1::mnu_skip_Click() {
    runEngine([this] { engine_.mnuSkipClick(); });
}

void Form1::Timer1_Timer() {
    // A blocking pause holds the clock too.
    if (BlockingPause::active()) return;
    runEngine([this] { engine_.timerTick(); });
}

void Form1::mnu_bgm_Click() {
    runEngine([this] { mnu_bgm_->setChecked(music_->toggle()); });
}

void Form1::mnu_replay_Click() {
    runEngine([this] {
        engine_.abandon();
        for (auto& hand : engine_.roundState().hand) hand.fill(kNoCard);
        layoutState_ = 0;
        restartPending_ = 1;
        const bool newMembers = confirmYesNo(this, "最初から始める", "メンバを変更しますか？");
        leave(newMembers ? Exit::NewMembers : Exit::SameMembers);
    });
}

void Form1::mnu_clear_Click() {
    runEngine([this] {
        const bool ok = confirmOkCancel(this, kClearRankingTitle, kClearRankingQuestion);
        if (leaving()) return;
        const ClearRankingResult result = mnuClear(state_, ok, program().location);
        if (result.cleared) notify(this, QMessageBox::Information, kClearRankingDoneTitle, kClearRankingDoneText);
        if (leaving()) return;
        if (!result.reread.ok()) {
            showSettingsError(this);
            leave(Exit::Quit);
            return;
        }
        setLabelText(lblhiname_, qs(state_.hiScorePlayer));
        setLabelText(lblscore_, QString::number(state_.hiScore));
    });
}

void Form1::mnu_end_Click() {
    runEngine([this] { leave(Exit::Quit); });
}

void Form1::mnu_gaiyo_Click() {
    runEngine([this] {
        FrmTip tip(this);
        runModal(tip);
    });
}

void Form1::mnu_seiseki_Click() {
    runEngine([this] { showPlayRecord(this, playRecordFile(program().location)); });
}

void Form1::mnu_version_Click() {
    if (leaving()) return;
    if (!frmAbout_) {
        frmAbout_ = new FrmAbout(this);
        frmAbout_->setAttribute(Qt::WA_DeleteOnClose);
    }
    frmAbout_->show();
    frmAbout_->raise();
    frmAbout_->activateWindow();
}

void Form1::mnu_tuyosa_Click(Strength strength) {
    runEngine([this, strength] {
        if (!engine_.isEnabled(Control::StrengthMenu)) {
            // Not in the middle of a match: the tick goes back where it was.
            strengthAction(state_.strength)->setChecked(true);
            return;
        }
        state_.strength = strength;
        writeStrength(state_.iniPath, strength);
    });
}

bool Form1::hintRunning() const { return hintWatcher_ && hintWatcher_->isRunning(); }

void Form1::mnu_hint_Click() {
    if (leaving() || hintRunning() || !engine_.isEnabled(Control::HintMenu)) return;
    std::optional<SeatKnowledge> knowledge = engine_.hintKnowledge();
    if (!knowledge) return;
    hintTurn_ = engine_.userTurnSerial();
    recorder_->noteHint();
    if (!hintWatcher_) {
        hintWatcher_ = new QFutureWatcher<SearchResult>(this);
        connect(hintWatcher_, &QFutureWatcher<SearchResult>::finished, this, [this] {
            // The hint is for the turn it was asked in, if that is still open.
            if (leaving() || !engine_.awaitingUser() || engine_.userTurnSerial() != hintTurn_) return;
            const TurnMove move = hintWatcher_->result().move;
            QWidget* to = move.kind == TurnMove::Card   ? static_cast<QWidget*>(img_[move.card])
                          : move.kind == TurnMove::Pass ? static_cast<QWidget*>(cmdPass_)
                                                        : static_cast<QWidget*>(cmdOut_);
            if (to->isEnabled() && to->isVisible()) to->setFocus(Qt::OtherFocusReason);
        });
    }
    // The search works on its own copy of what the seat knows, so the window
    // stays free and nothing of the round is touched.
    hintWatcher_->setFuture(QtConcurrent::run(
        [knowledge = std::move(*knowledge), budget = thinkingBudget(), seed = thinkingSeed()] {
            return searchMove(knowledge, budget, seed);
        }));
}

// ---- the keyboard --------------------------------------------------------------------

std::vector<CardPicture*> Form1::raisedCards() const {
    // Only the user's playable cards ever take clicks.
    std::vector<CardPicture*> cards;
    for (int n = 1; n <= art::kJoker; ++n) {
        if (img_[n]->isEnabled() && img_[n]->isVisibleTo(surface_)) cards.push_back(img_[n]);
    }
    std::sort(cards.begin(), cards.end(), [](const CardPicture* a, const CardPicture* b) { return a->x() < b->x(); });
    return cards;
}

void Form1::focusUserTurn() {
    if (leaving()) return;
    const std::vector<CardPicture*> cards = raisedCards();
    if (!cards.empty()) {
        cards.front()->setFocus(Qt::OtherFocusReason);
    } else if (cmdPass_->isEnabled()) {
        cmdPass_->setFocus(Qt::OtherFocusReason);
    } else if (cmdOut_->isEnabled()) {
        cmdOut_->setFocus(Qt::OtherFocusReason);
    }
}

void Form1::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Buttons outside a dialog take Space but not Enter.
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if ((button == cmdPass_ || button == cmdOut_) && button->isEnabled()) button->click();
        event->accept();
        return;
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Home && key != Qt::Key_End) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    const std::vector<CardPicture*> cards = raisedCards();
    if (cards.empty()) return;
    const auto at = std::find(cards.begin(), cards.end(), qobject_cast<CardPicture*>(focusWidget()));
    const int count = static_cast<int>(cards.size());
    int to = 0;
    if (key == Qt::Key_Home) {
        to = 0;
    } else if (key == Qt::Key_End) {
        to = count - 1;
    } else if (at == cards.end()) {
        // From PASS or DROP the arrows come back to the hand.
        to = key == Qt::Key_Right ? 0 : count - 1;
    } else {
        const int from = static_cast<int>(at - cards.begin());
        to = (from + (key == Qt::Key_Right ? 1 : count - 1)) % count;
    }
    cards[static_cast<size_t>(to)]->setFocus(Qt::OtherFocusReason);
}

bool Form1::focusNextPrevChild(bool next) {
    std::vector<QWidget*> stops;
    auto* card = qobject_cast<CardPicture*>(focusWidget());
    const std::vector<CardPicture*> cards = raisedCards();
    if (card && card->isEnabled()) {
        stops.push_back(card);
    } else if (!cards.empty()) {
        stops.push_back(cards.front());
    }
    for (QPushButton* button : {cmdPass_, cmdOut_}) {
        if (button->isEnabled()) stops.push_back(button);
    }
    return focusNextStop(stops, focusWidget(), next);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (restartPending_ != 0 || leaving()) {
        event->accept();
        return;
    }
    event->accept();
    if (engineDepth_ > 0) {
        leave(Exit::Quit);
    } else {
        runEngine([this] { leave(Exit::Quit); });
    }
}

// ---- leaving -----------------------------------------------------------------------

void Form1::leave(Exit exit) {
    if (exit_ != Exit::None) return;
    exit_ = exit;
    engine_.abandon();
    BlockingPause::cancel();
    Timer1_->stop();
    // The music ends with the table at once; the player is released once
    // the work on the stack has unwound.
    music_->stop();
    // Dialogs waiting over the table are closed, which returns control to
    // the work that opened them; it sees the table leaving and unwinds.
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (dialog->isVisible()) dialog->reject();
    }
    frmSplash_->hide();
    hide();
    // A match closed or started over before its end counts as left.
    if (state_.roundNumber > 0) recorder_->noteLeft();
    if (engineDepth_ == 0) finishLeaving();
}

void Form1::finishLeaving() {
    if (finished_) return;
    finished_ = true;
    music_->release();
    switch (exit_) {
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
        case Exit::None:
            break;
    }
    deleteLater();
}

// ---- tests ---------------------------------------------------------------------------

void Form1::setProbe(Probe probe) { probeHook() = std::move(probe); }

void Form1::setSearchForTests(std::optional<SearchBudget> budget, uint64_t seed) {
    searchForTests() = {budget, seed};
}

void Form1::probe(const char* where) {
    if (probeHook()) probeHook()(*this, where);
}

}  // namespace vantel
