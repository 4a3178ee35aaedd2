// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/frm_splash.h"

#include <QAccessible>
#include <QImageReader>
#include <QLabel>

#include "assets/art_resources.h"
#include "table/accessibility.h"
#include "table/fonts.h"

namespace vantel {

namespace {
constexpr int kClientWidth = 231;   // 3465 twips
constexpr int kClientHeight = 297;  // 4455 twips
}  // namespace

FrmSplash::FrmSplash(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowDoesNotAcceptFocus) {
    installAccessibility();
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 250, 235));
    setPalette(pal);
    resize(kClientWidth, kClientHeight);

    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setGeometry(24, 8, 180, 240);
    image1_->setScaledContents(true);
    image1_->setFrameShape(QFrame::NoFrame);

    label1_ = new QLabel(this);
    // Names and lines may come from other players: shown as they are.
    label1_->setTextFormat(Qt::PlainText);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setFont(gothicFont(9));
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Two lines (the name, then the line) fit the design height; longer
    // notices wrap onto the rest of the window instead of being cut.
    label1_->setGeometry(16, 256, 201, kClientHeight - 256);
}

void FrmSplash::showPortrait(const QString& picturePath) {
    defaultShown_ = false;
    QImage picture;
    if (!picturePath.isEmpty()) {
        QImageReader reader(picturePath);
        reader.setDecideFormatFromContent(true);
        picture = reader.read();
    }
    if (picture.isNull()) {
        picture.load(art::speechFallbackPath());
        defaultShown_ = true;
    }
    image1_->setPixmap(QPixmap::fromImage(picture));
}

void FrmSplash::clearPortrait() {
    defaultShown_ = false;
    image1_->clear();
}

void FrmSplash::setText(const QString& text) { label1_->setText(text); }

bool FrmSplash::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && parentWidget()) {
        QWidget* owner = parentWidget()->window();
        if (owner->isVisible()) owner->activateWindow();
    }
    return QWidget::event(event);
}

QString FrmSplash::spokenText() const {
    return label1_->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QStringLiteral("、"));
}

void FrmSplash::announce() {
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void FrmSplash::setTextTop(int top) {
    label1_->setGeometry(16, top, 201, std::max(25, height() - top));
}

}  // namespace vantel
