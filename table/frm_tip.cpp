// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/frm_tip.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

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

// The copyright, the licence, the absence of warranty and where the licence
// text is: every Debian system has it in common-licenses, whichever way the
// game was installed, and the web address holds for any system. The address
// starts a line of its own so that it is never broken at its slashes.
QString aboutNotice() {
    return QStringLiteral(
        "Copyright (C) 2026 The Vantel developers\n"
        "このゲームはフリーソフトウェアです。GNU 一般公衆利用許諾書（GNU GPL）"
        "バージョン3またはそれ以降の条件で、再頒布・改変できます。無保証です。"
        "ライセンスの全文は /usr/share/common-licenses/GPL-3 と\n"
        "https://www.gnu.org/licenses/ で読めます。");
}

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(art::iconPath(32)));
    setModal(false);

    // The window keeps its design size, 377 x 159: the icon at the left, the
    // title, the notice wrapped to the text column, and the date beside OK
    // at the bottom. It grows only where this face's lines need more room,
    // so no text is cut.
    constexpr int kWidth = 377;
    constexpr int kHeight = 159;
    constexpr int kMargin = 12;
    constexpr int kIcon = 64;
    constexpr int kTextLeft = kMargin + kIcon + 12;
    constexpr int kTextWidth = kWidth - kTextLeft - kMargin;
    constexpr int kButtonWidth = 81;
    constexpr int kButtonHeight = 25;

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QPixmap(art::iconPath(64)));
    picIcon->setGeometry(kMargin, kMargin, kIcon, kIcon);

    auto* lblTitle = new QLabel(QStringLiteral("Tamsuの７ならべ Ver1.11"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(gothicFont(14, true));
    const int titleHeight = lblTitle->sizeHint().height();
    lblTitle->setGeometry(kTextLeft, kMargin - 2, kTextWidth, titleHeight);

    lblDescription_ = new QLabel(aboutNotice(), this);
    lblDescription_->setObjectName(QStringLiteral("lblDescription"));
    lblDescription_->setFont(gothicFont(9));
    lblDescription_->setWordWrap(true);
    lblDescription_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette black = lblDescription_->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblDescription_->setPalette(black);
    const int noticeTop = kMargin - 2 + titleHeight + 4;
    const int noticeHeight = lblDescription_->heightForWidth(kTextWidth);
    lblDescription_->setGeometry(kTextLeft, noticeTop, kTextWidth, noticeHeight);

    const int height = std::max(kHeight, noticeTop + noticeHeight + 6 + kButtonHeight + kMargin);
    const int buttonTop = height - kMargin - kButtonHeight;

    auto* label1 = new QLabel(QStringLiteral("Last Update 2013.06.22"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(gothicFont(9));
    const QSize dateSize = label1->sizeHint();
    label1->setGeometry(kTextLeft, buttonTop + (kButtonHeight - dateSize.height()) / 2, dateSize.width(),
                        dateSize.height());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setGeometry(kWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    // Enter presses the default button; Esc rejects the dialog: both close it.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(kWidth, height);
}

}  // namespace vantel
