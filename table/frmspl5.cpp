// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/frmspl5.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "assets/art_resources.h"
#include "game/layout.h"
#include "records/material_reset.h"
#include "records/settings.h"
#include "server/server_thread.h"
#include "settings/frm_options.h"
#include "table/accessibility.h"
#include "table/focus_frame.h"
#include "table/fonts.h"
#include "table/friends_table.h"
#include "table/frm_friends.h"
#include "records/play_record.h"
#include "table/form3.h"
#include "table/frm_seiseki.h"
#include "table/message_box.h"
#include "table/program.h"
#include "table/qt_text.h"
#include "table/settings_error.h"

namespace vantel {

namespace {

constexpr int kWindowWidthTwips = 11000;
constexpr int kWindowHeightTwips = 10000;
constexpr double kPictureWidthTwips = 1800;
constexpr double kPictureHeightTwips = 2000;
constexpr double kGridTopTwips = 120;
constexpr int kPerRow = 5;

int px(double twips) { return roundEven(twips / kTwipsPerPixel); }

}  // namespace

// ---- one member picture -------------------------------------------------------------

MemberPicture::MemberPicture(int index, QWidget* parent) : QFrame(parent), index_(index) {
    installAccessibility();
    setObjectName(QStringLiteral("imag_%1").arg(index));
    setSelected(false);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void MemberPicture::activate() {
    if (isEnabled()) emit clicked(index_);
}

void MemberPicture::setSelected(bool selected) {
    selected_ = selected;
    if (selected) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(3);
    } else {
        setFrameStyle(QFrame::NoFrame);
        setLineWidth(0);
    }
    update();
}

void MemberPicture::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(contentsRect(), picture_);
        if (!isEnabled()) p.fillRect(contentsRect(), QColor(255, 255, 255, 90));
    }
    QFrame::paintEvent(event);
    if (hasFocus()) {
        QPainter p(this);
        drawFocusFrame(p, rect());
    }
}

void MemberPicture::keyPressEvent(QKeyEvent* event) {
    if (isActivationKey(event)) {
        event->accept();
        activate();
        return;
    }
    event->ignore();
}

void MemberPicture::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    update();
}

void MemberPicture::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    update();
}

void MemberPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked(index_);
    }
}

// ---- the window ----------------------------------------------------------------------

Frmspl5::Frmspl5(MatchState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), state_(state) {
    setObjectName(QStringLiteral("frmspl5"));
    setWindowTitle(QStringLiteral("メンバー選択"));
    QIcon icon;
    for (const int size : art::kIconSizes) icon.addFile(art::iconPath(size));
    setWindowIcon(icon);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(238, 232, 216));
    setPalette(pal);
    image1_ = QPixmap(art::memberFallbackPath());

    if (state_.selectionPhase == 0) {
        const SettingsReport report = readSettings(state_, program().location);
        if (!report.ok()) {
            showSettingsError(nullptr);
            leave(Next::Quit);
            return;
        }
    }
    setFixedSize(px(kWindowWidthTwips), px(kWindowHeightTwips));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    for (int i = 0; i < state_.memberCount && i < kMaxMembers; ++i) {
        addThumbnail(i, state_.memberImage[i + 1][1]);
    }

    const char* captions[5] = {"閉じる", "ランキングを見る", "オプション", "素材初期化", "成績を見る"};
    for (int i = 0; i < 5; ++i) {
        cmd_[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        cmd_[i]->setObjectName(QStringLiteral("cmd%1").arg(i + 1));
        cmd_[i]->setFont(gothicFont(9));
    }
    connect(cmd_[0], &QPushButton::clicked, this, &Frmspl5::cmd1_Click);
    connect(cmd_[1], &QPushButton::clicked, this, &Frmspl5::cmd2_Click);
    connect(cmd_[2], &QPushButton::clicked, this, &Frmspl5::cmd3_Click);
    connect(cmd_[3], &QPushButton::clicked, this, &Frmspl5::cmd4_Click);
    connect(cmd_[4], &QPushButton::clicked, this, &Frmspl5::cmd5_Click);
    friends_ = new QPushButton(QStringLiteral("友達と遊ぶ"), this);
    friends_->setObjectName(QStringLiteral("cmdFriends"));
    friends_->setFont(gothicFont(9));
    connect(friends_, &QPushButton::clicked, this, &Frmspl5::cmdFriends_Click);
    placeButtons();
    cmd_[2]->setEnabled(true);
    selectionStage_ = 1;
    computerPicks_ = 0;
}

Frmspl5::~Frmspl5() = default;

QRect Frmspl5::thumbnailRect(int index) const {
    // Five pictures a row, a fifth of a picture apart; rows a sixth of a
    // picture apart. The grid of five is centred in the window.
    const double gridWidth = kPerRow * kPictureWidthTwips + (kPerRow - 1) * kPictureWidthTwips / 5;
    const double left0 = (width() * double(kTwipsPerPixel) - gridWidth) / 2;
    const int column = index % kPerRow, row = index / kPerRow;
    const double left = left0 + column * (kPictureWidthTwips + kPictureWidthTwips / 5);
    const double top = kGridTopTwips + row * (kPictureHeightTwips + kPictureHeightTwips / 6);
    return QRect(px(left), px(top), px(kPictureWidthTwips), px(kPictureHeightTwips));
}

void Frmspl5::placeButtons() {
    // One row just below a full grid of four rows: 閉じる under the fourth
    // column, ランキングを見る and オプション to its left, 素材初期化 to its right;
    // 成績を見る left of オプション, where the row has room to spare.
    const int top = px(kGridTopTwips + 4.5 * kPictureHeightTwips + 100);
    const int gap = px(200);
    const int left3 = thumbnailRect(3).left();
    for (QPushButton* b : cmd_) {
        const int width = std::max(px(1215), b->fontMetrics().horizontalAdvance(b->text()) + 24);
        b->resize(width, px(375));
    }
    cmd_[0]->move(left3, top);
    cmd_[1]->move(cmd_[0]->x() - gap - cmd_[1]->width(), top);
    cmd_[2]->move(cmd_[1]->x() - gap - cmd_[2]->width(), top);
    cmd_[3]->move(cmd_[0]->x() + cmd_[0]->width() + gap, top);
    cmd_[4]->move(cmd_[2]->x() - gap - cmd_[4]->width(), top);
    // 「友達と遊ぶ」 left of the row, where it fits without moving the others.
    friends_->resize(std::max(px(1215), friends_->fontMetrics().horizontalAdvance(friends_->text()) + 24), px(375));
    const int left = cmd_[4]->x() - gap - friends_->width();
    friends_->move(left, top);
    friends_->setVisible(left >= gap / 2);
}

QPixmap Frmspl5::loadPicture(const std::string& path, bool* fallback) const {
    QImageReader reader(qs(path));
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    *fallback = picture.isNull();
    return picture.isNull() ? image1_ : QPixmap::fromImage(picture);
}

bool Frmspl5::showsFallback(int index) const {
    return index >= 0 && index < static_cast<int>(fallback_.size()) && fallback_[static_cast<size_t>(index)];
}

void Frmspl5::addThumbnail(int index, const std::string& picturePath) {
    if (index != thumbnailCount() || index >= kMaxMembers) return;
    auto* picture = new MemberPicture(index, this);
    picture->setGeometry(thumbnailRect(index));
    bool fallback = false;
    picture->setPicture(loadPicture(picturePath, &fallback));
    picture->setToolTip(qs(state_.memberName[index + 1]));
    connect(picture, &MemberPicture::clicked, this, &Frmspl5::imag_Click);
    picture->show();
    imag_.push_back(picture);
    fallback_.push_back(fallback);
}

void Frmspl5::setThumbnailPicture(int index, const std::string& picturePath) {
    if (index < 0 || index >= thumbnailCount()) return;
    bool fallback = false;
    imag_[static_cast<size_t>(index)]->setPicture(loadPicture(picturePath, &fallback));
    fallback_[static_cast<size_t>(index)] = fallback;
    for (size_t i = 0; i < imag_.size(); ++i) imag_[i]->setToolTip(qs(state_.memberName[i + 1]));
}

void Frmspl5::removeThumbnail(int index) {
    if (index < 0 || index != thumbnailCount() - 1) return;
    delete imag_.back();
    imag_.pop_back();
    fallback_.pop_back();
}

// ---- activation ------------------------------------------------------------------------

void Frmspl5::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Without a window manager no window ever becomes active: the first
    // showing counts as an activation too. The outer size (frame included)
    // is the window's size once the window system has framed it.
    if (!activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(200, this, [this] {
            const QSize frame = frameGeometry().size() - size();
            const QSize client = QSize(px(kWindowWidthTwips), px(kWindowHeightTwips)) - frame;
            if (!leaving_ && client != size() && client.isValid()) setFixedSize(client);
        });
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
        if (MemberPicture* first = focusPicture()) first->setFocus(Qt::OtherFocusReason);
    }
}

// ---- the keyboard ---------------------------------------------------------------------

MemberPicture* Frmspl5::focusPicture() const {
    const int count = thumbnailCount();
    if (lastFocused_ >= 0 && lastFocused_ < count && imag_[static_cast<size_t>(lastFocused_)]->isEnabled()) {
        return imag_[static_cast<size_t>(lastFocused_)];
    }
    for (MemberPicture* picture : imag_) {
        if (picture->isEnabled()) return picture;
    }
    return nullptr;
}

void Frmspl5::keyPressEvent(QKeyEvent* event) {
    auto* current = qobject_cast<MemberPicture*>(focusWidget());
    const int count = thumbnailCount();
    int step = 0;
    bool wrap = true;
    switch (event->key()) {
        case Qt::Key_Left: step = -1; break;
        case Qt::Key_Right: step = 1; break;
        case Qt::Key_Up: step = -kPerRow; wrap = false; break;
        case Qt::Key_Down: step = kPerRow; wrap = false; break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
    if (!current || count == 0) {
        if (MemberPicture* picture = focusPicture()) picture->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The next picture that takes clicks in that direction: along the
    // rows (round from the last to the first) or up and down a column.
    int index = current->index();
    for (int tries = 0; tries < count; ++tries) {
        index += step;
        if (wrap) {
            index = (index % count + count) % count;
        } else if (index < 0 || index >= count) {
            return;
        }
        if (imag_[static_cast<size_t>(index)]->isEnabled()) {
            imag_[static_cast<size_t>(index)]->setFocus(Qt::OtherFocusReason);
            lastFocused_ = index;
            return;
        }
    }
}

bool Frmspl5::focusNextPrevChild(bool next) {
    if (auto* picture = qobject_cast<MemberPicture*>(focusWidget())) lastFocused_ = picture->index();
    // The stops from left to right: the grid, then 成績を見る, オプション,
    // ランキングを見る, 閉じる and 素材初期化 as they stand in their row.
    std::vector<QWidget*> stops;
    if (MemberPicture* picture = focusPicture()) stops.push_back(picture);
    for (QPushButton* button : {friends_, cmd_[4], cmd_[2], cmd_[1], cmd_[0], cmd_[3]}) {
        if (button->isEnabled() && button->isVisibleTo(this)) stops.push_back(button);
    }
    // Any picture in focus stands for the grid's stop.
    QWidget* from = focusWidget();
    if (qobject_cast<MemberPicture*>(from) && !stops.empty() && qobject_cast<MemberPicture*>(stops.front())) {
        from = stops.front();
    }
    return focusNextStop(stops, from, next);
}

bool Frmspl5::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && activationQueued_) {
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    }
    return QWidget::event(event);
}

void Frmspl5::Form_Activate() {
    run([this] {
        QDir::setCurrent(QString::fromStdString(program().location.programFolder.string()));
        if (state_.selectionPhase == 0) {
            const SettingsReport report = readSettings(state_, program().location);
            if (!report.ok()) {
                showSettingsError(this);
                leave(Next::Quit);
                return;
            }
        }
        if (state_.selectionPhase == 1) {
            state_.selectionPhase = 2;
            notify(this, QMessageBox::Warning, "プレイヤー選択", "あなた役で使用する画像をクリックして下さい。");
        }
    });
}

// ---- choosing -------------------------------------------------------------------------

void Frmspl5::imag_Click(int index) {
    run([this, index] {
        if (index < 0 || index >= thumbnailCount()) return;
        MemberPicture* picture = imag_[static_cast<size_t>(index)];
        if (!picture->isEnabled()) return;
        const int member = index + 1;
        picture->setSelected(!picture->selected());
        if (!picture->selected()) {
            if (selectionStage_ == 2) {
                auto it = std::find(pickedMembers_.begin(), pickedMembers_.end(), member);
                if (it != pickedMembers_.end()) {
                    pickedMembers_.erase(it);
                    computerPicks_ -= 1;
                }
            }
            return;
        }
        if (selectionStage_ == 1) {
            if (!confirmOkCancel(this, "プレイヤー確認", "この画像でよろしいですか？")) {
                if (!leaving_) picture->setSelected(false);
                return;
            }
            if (leaving_) return;
            state_.seatName[1] = state_.memberName[member];
            state_.seatSex[1] = state_.memberSex[member];
            state_.seatMember[1] = static_cast<int16_t>(member);
            picture->setEnabled(false);
            // The keyboard stays in the grid, on a picture that can still be picked.
            if (MemberPicture* next = focusPicture()) next->setFocus(Qt::OtherFocusReason);
            selectionStage_ = 2;
            state_.selectionPhase = 3;
            cmd_[2]->setEnabled(false);
            cmd_[3]->setEnabled(false);
            notify(this, QMessageBox::Warning, "コンピュータ選択",
                   "コンピュータ役で使用する画像３枚をクリックして下さい。");
            return;
        }
        pickedMembers_.push_back(member);
        computerPicks_ += 1;
        if (computerPicks_ < 3) return;
        const auto name = [this](size_t i) { return state_.memberName[pickedMembers_[i]]; };
        const std::string question = "『" + name(0) + "』『" + name(1) + "』『" + name(2) + "』" +
                                     "\r\nこの３枚の画像でよろしいですか？";
        if (!confirmOkCancel(this, "コンピュータ確認", question)) {
            if (leaving_) return;
            for (const int m : pickedMembers_) imag_[static_cast<size_t>(m - 1)]->setSelected(false);
            pickedMembers_.clear();
            computerPicks_ = 0;
            return;
        }
        if (leaving_) return;
        for (int i = 0; i < 3; ++i) {
            const int seat = i + 2, m = pickedMembers_[static_cast<size_t>(i)];
            state_.seatName[seat] = state_.memberName[m];
            state_.seatSex[seat] = state_.memberSex[m];
            state_.seatMember[seat] = static_cast<int16_t>(m);
        }
        leave(Next::Table);
    });
}

void Frmspl5::cmd1_Click() {
    run([this] { leave(Next::Quit); });
}

void Frmspl5::cmd2_Click() {
    run([this] { showRanking(state_, this); });
}

void Frmspl5::cmd5_Click() {
    run([this] { showPlayRecord(this, playRecordFile(program().location)); });
}

void Frmspl5::cmdFriends_Click() {
    run([this] {
        QPointer<FrmFriends> window = new FrmFriends(state_, this);
        connect(window, &FrmFriends::seatTaken, this, [this, window] {
            nextFriends_ = std::make_unique<FriendsTable>(window->takeTable(), window->takeServer(), state_);
            leave(Next::Friends);
        });
        runModal(*window);
        delete window.data();
    });
}

void Frmspl5::cmd3_Click() {
    run([this] {
        // On the heap under a guard: the editor goes with this window if the
        // window is taken down while the editor waits.
        QPointer<frmOptions> editor = new frmOptions(state_, this, this);
        runModal(*editor);
        delete editor.data();
    });
}

void Frmspl5::cmd4_Click() {
    run([this] {
        if (!confirmYesNo(this, kMaterialResetTitle, kMaterialResetQuestion) || leaving_) return;
        if (!resetMaterial(program().location)) {
            notify(this, QMessageBox::Warning, kMaterialResetFailedTitle, kMaterialResetFailedText);
            leave(Next::Quit);
            return;
        }
        state_.selectionPhase = 0;
        leave(Next::Reopen);
    });
}

void Frmspl5::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!leaving_) run([this] { leave(Next::Quit); });
}

// ---- leaving ------------------------------------------------------------------------------

template <typename F>
void Frmspl5::run(F&& handler) {
    if (leaving_) return;
    ++depth_;
    handler();
    --depth_;
    if (depth_ == 0 && leaving_) finishLeaving();
}

void Frmspl5::leave(Next next) {
    if (leaving_) return;
    leaving_ = true;
    next_ = next;
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (dialog->isVisible()) dialog->reject();
    }
    hide();
    if (depth_ == 0) finishLeaving();
}

void Frmspl5::finishLeaving() {
    if (finished_) return;
    finished_ = true;
    switch (next_) {
        case Next::Quit: endProgram(); break;
        case Next::Table: openTable(); break;
        case Next::Reopen: openMemberSelection(); break;
        case Next::Friends: openFriendsTable(std::move(nextFriends_)); break;
        case Next::None: break;
    }
    deleteLater();
}

}  // namespace vantel
