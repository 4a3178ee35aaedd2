// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/frm_tip.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QVBoxLayout>

#include "assets/art_resources.h"
#include "table/fonts.h"

namespace vantel {

QString rulesText() {
    static const char* const kLines[] = {
        "□７ならべルール",
        "　　１．「ファイル」メニューの「ゲーム開始」でプレイが開始されます。",
        "　　　　場にあるカードの隣り合わせの数字を順番に出していき、",
        "　　　　手札が早く無くなったプレイヤーが勝ちとなります。",
        "　　２．手札にジョーカーがあれば、１間飛びにカードを出すことが出来ます。",
        "　　３．ゲームは１０回戦制で点数が１番高い人が勝ちになります。",
        "　　４．早く上がった人から順位と点数が付けられます。",
        "　　５．ＡＫ接続ルールなので、エース又はキングが出されると",
        "　　　　連結された側からしか出せなくなります｡",
        "　　６．パスは３回まで出来ます。",
        "　　７．ジョーカーの使用は自由です。",
        "　　　　最後まで持っていてもマイナスにはなりません｡",
        "　　８．あなたが降参するときは「ＤＲＯＰ」釦を押して下さい。",
        "　　　　残ったコンピュータがプレイを続行します｡",
        "　　　　コンピュータのプレイを見たくないときは､",
        "　　　　「ファイル」メニューの「ゲームスキップ」を選択して下さい。",
        "　　９．３連勝したプレイヤーはボーナスとしてそれまでの得点が２倍になります。",
        "　１０．５連勝したらボーナスとして他のプレイヤーの得点が半分になります。",
        "　１１．１０回戦終了後にベストテンのランキングが表示されます。",
        "　１２．ベストテン内の得点を出してトップになるとランキングに登録されます。",
        "　　　　注）トップでないときは高得点を出してもランキングに登録されません。",
        "　１３．メンバーを変更したいときは「ファイル」メニューの「最初から始める」を",
        "　　　　選択してください。",
    };
    QStringList lines;
    for (const char* line : kLines) lines << QString::fromUtf8(line);
    return lines.join(QStringLiteral("\r\n"));
}

namespace {
void centreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}
}  // namespace

FrmTip::FrmTip(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("ルール説明"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);

    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setFont(gothicFont(9));
    label1_->setAutoFillBackground(true);
    label1_->setBackgroundRole(QPalette::ToolTipBase);
    label1_->setForegroundRole(QPalette::ToolTipText);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label1_->setContentsMargins(6, 6, 6, 6);
    label1_->setText(rulesText());

    // The design place is 240, 240 and 6855 x 4335 twips; the label grows
    // where this face's lines need more room, so no line is cut.
    const QSize text = label1_->sizeHint();
    const int labelWidth = std::max(457, text.width());
    const int labelHeight = std::max(289, text.height());
    label1_->setGeometry(16, 16, labelWidth, labelHeight);

    auto* ok = new QPushButton(QStringLiteral("閉じる"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setFont(gothicFont(9));
    ok->setDefault(true);
    const int clientWidth = std::max(489, labelWidth + 32);
    ok->setGeometry((clientWidth - 81) / 2, 16 + labelHeight + 15, 81, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(clientWidth, std::max(358, 16 + labelHeight + 15 + 25 + 18));
    centreOnScreen(this);
}

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(art::iconPath(32)));
    setModal(false);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QPixmap(art::iconPath(64)));
    picIcon->setFixedSize(64, 64);

    auto* lblTitle = new QLabel(QStringLiteral("Tamsuの７ならべ Ver1.11"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(gothicFont(14, true));

    auto* lblDescription = new QLabel(
        QStringLiteral("この作品の著作権は作者 Tamsu に帰属します。\n"
                       "Copyright (C) 2013 Tamsu. All rights reserved."),
        this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setFont(gothicFont(9));
    QPalette black = lblDescription->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblDescription->setPalette(black);

    auto* label1 = new QLabel(QStringLiteral("Last Update 2013.06.22"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(gothicFont(9));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setMinimumWidth(81);
    // Enter presses the default button; Esc rejects the dialog: both close it.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addSpacing(6);
    text->addWidget(lblDescription);
    text->addSpacing(10);
    text->addWidget(label1);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vantel
