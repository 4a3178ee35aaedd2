// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "matchend/match_end_window.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <optional>

#include "assets/art_resources.h"
#include "matchend/zorvix_binding.h"
#include "platform/gdi/gdi.h"
#include "records/text_helpers.h"

namespace vantel::matchend {
namespace {

constexpr double kBandWeight = 0.5;
constexpr int kLabelMarginX = 10;
constexpr int kLabelMarginY = 6;
constexpr int kLargestTextPixels = 16;
constexpr int kSmallestTextPixels = 9;

QString fixedGothicFamily() { return QStringLiteral("ＭＳ ゴシック"); }

// A picture of any size made to cover the window: scaled with its aspect
// ratio kept until it fills both sides, and the overflow cut equally from
// both ends. A picture of the window's size is copied pixel for pixel.
// Transparent parts come out black.
QImage fitToWindow(const QImage& source) {
    const QSize window(MatchEndWindow::kWidth, MatchEndWindow::kHeight);
    if (source.size() == window && !source.hasAlphaChannel()) return source.convertToFormat(QImage::Format_RGB32);
    QImage fitted(window, QImage::Format_RGB32);
    fitted.fill(Qt::black);
    if (source.isNull()) return fitted;
    const QSize scaled = source.size().scaled(window, Qt::KeepAspectRatioByExpanding);
    const QRect target((window.width() - scaled.width()) / 2, (window.height() - scaled.height()) / 2,
                       scaled.width(), scaled.height());
    QPainter painter(&fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, source);
    return fitted;
}

QImage loadDefaultPortrait() {
    art::initResources();
    QImage portrait(art::matchEndFallbackPath());
    if (portrait.isNull()) {
        portrait = QImage(MatchEndWindow::kWidth, MatchEndWindow::kHeight, QImage::Format_RGB32);
        portrait.fill(Qt::black);
    }
    return portrait;
}

QImage loadPicture1() {
    QImage picture(art::picture1Path());
    if (picture.size() != QSize(MatchEndWindow::kBandWidth, MatchEndWindow::kBandHeight)) {
        picture = QImage(MatchEndWindow::kBandWidth, MatchEndWindow::kBandHeight, QImage::Format_BGR888);
        picture.fill(Qt::black);
    }
    return picture.convertToFormat(QImage::Format_BGR888);
}

template <typename Array>
const typename Array::value_type* at(const Array& array, int index) {
    if (index < 1 || static_cast<std::size_t>(index) >= array.size()) return nullptr;
    return &array[static_cast<std::size_t>(index)];
}

}  // namespace

bool seatIsFemale(const MatchState& state, int seat) {
    const int16_t* sex = at(state.seatSex, seat);
    return sex != nullptr && *sex == 1;
}

QString seatLine(const MatchState& state, int seat, int line) {
    const auto& lines = seatIsFemale(state, seat) ? state.femaleLines : state.maleLines;
    const std::string* text = at(lines, line);
    return text != nullptr ? QString::fromStdString(*text) : QString();
}

QString seatNameOf(const MatchState& state, int seat) {
    const std::string* name = at(state.seatName, seat);
    return name != nullptr ? QString::fromStdString(*name) : QString();
}

int finalPlaceOf(const MatchState& state, int seat) {
    const int32_t* place = at(state.finalPlace, seat);
    return place != nullptr ? *place : 0;
}

QString breakAfterFullStop(const QString& text) {
    return QString::fromStdString(vantel::breakAfterFullStop(text.toStdString()));
}

MatchEndWindow::MatchEndWindow(const char* windowName, const char* labelName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      image2_(loadDefaultPortrait()),
      picture1_(loadPicture1()),
      picture_(fitToWindow(image2_)) {
    setObjectName(QString::fromLatin1(windowName));
    setModal(true);
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);

    label_ = new QLabel(this);
    label_->setObjectName(QString::fromLatin1(labelName));
    // The label's top is the band's first row.
    label_->setGeometry(0, kBandTop, kWidth, kHeight - kBandTop);
    label_->setContentsMargins(kLabelMarginX, kLabelMarginY, kLabelMarginX, kLabelMarginY);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    // Clicks on the text close the window like clicks anywhere else.
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label_->setPalette(palette);
    fitLabelText();
}

void MatchEndWindow::setCaption(const QString& text) {
    caption_ = text;
    fitLabelText();
}

void MatchEndWindow::appendCaption(const QString& text) { setCaption(caption_ + text); }

void MatchEndWindow::showPortrait(const MatchState& state, int seat, int pictureIndex) {
    shownSeat_ = seat;
    QImage portrait;
    if (const int16_t* member = at(state.seatMember, seat)) {
        if (const auto* pictures = at(state.memberImage, *member)) {
            if (const std::string* path = at(*pictures, pictureIndex); path != nullptr && !path->empty())
                portrait.load(QString::fromStdString(*path));
        }
    }
    if (portrait.isNull()) {
        showDefaultPortrait();
        return;
    }
    image1_ = portrait;
    picture_ = fitToWindow(image1_);
    showsMemberPortrait_ = true;
    update();
}

void MatchEndWindow::drawBand() {
    // The window's picture and Picture1 reach the library as device contexts
    // over their own pixels, so the library draws straight into them.
    const HDC window = CreatePixelBufferDC(picture_.bits(), picture_.width(), picture_.height(),
                                           static_cast<int>(picture_.bytesPerLine()), 32, 0xFF);
    const HDC black = CreatePixelBufferDC(picture1_.bits(), picture1_.width(), picture1_.height(),
                                          static_cast<int>(picture1_.bytesPerLine()), 24, 0);
    std::optional<int32_t> result;
    if (window != 0 && black != 0) {
        const auto dc = [](HDC handle) { return static_cast<int32_t>(handle); };
        result = zorvix::AlphaBlt(dc(window), 0, kBandTop, kBandWidth, kBandHeight, dc(window), 0, kBandTop,
                                  dc(black), 0, 0, kBandWeight, kBandWeight);
    }
    if (black != 0) DeleteDC(black);
    if (window != 0) DeleteDC(window);
    // No library, no entry point or no device context: the step failed and
    // the default portrait is shown, without the band.
    if (!result) showDefaultPortrait();
    bandDrawn_ = result.has_value() && *result == 1;
    update();
}

void MatchEndWindow::showDefaultPortrait() {
    image1_ = image2_;
    picture_ = fitToWindow(image1_);
    showsMemberPortrait_ = false;
    update();
}

// The largest text size up to kLargestTextPixels at which the caption fits
// the label without being cut; long lines wrap.
void MatchEndWindow::fitLabelText() {
    QString shown = caption_;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QRect room = label_->contentsRect();
    QFont font(fixedGothicFamily());
    for (int pixels = kLargestTextPixels; pixels >= kSmallestTextPixels; --pixels) {
        font.setPixelSize(pixels);
        const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, room.width(), 1 << 16),
                                                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown);
        if (needed.height() <= room.height() && needed.width() <= room.width()) break;
    }
    label_->setFont(font);
    label_->setText(shown);
}

void MatchEndWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void MatchEndWindow::keyPressEvent(QKeyEvent* event) {
    // A key still held from the window before does not skip this one.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
        case Qt::Key_Escape:
            event->accept();
            accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void MatchEndWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void MatchEndWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        event->accept();
        if (rect().contains(event->position().toPoint())) accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

}  // namespace vantel::matchend
