// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/frm_friends.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "records/settings.h"
#include "server/server_thread.h"
#include "table/qr_code.h"

namespace vantel {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The addresses of this machine that friends on the same network can reach.
QStringList lanAddresses() {
    QStringList out;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback()) continue;
        if (address.isLinkLocal()) continue;
        out.append(address.toString());
    }
    return out;
}

QString stateText(const QString& state) {
    if (state == QLatin1String("present")) return QStringLiteral("接続中");
    if (state == QLatin1String("away")) return QStringLiteral("接続が切れています");
    if (state == QLatin1String("standin")) return QStringLiteral("コンピュータが代わりに打っています");
    if (state == QLatin1String("computer")) return QStringLiteral("コンピュータ");
    return QStringLiteral("空席");
}

}  // namespace

FrmFriends::FrmFriends(MatchState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("FrmFriends"));
    setWindowTitle(QStringLiteral("友達と遊ぶ"));
    tabs_ = new QTabWidget(this);
    tabs_->addTab(hostTab(), QStringLiteral("部屋を作る"));
    tabs_->addTab(joinTab(), QStringLiteral("部屋に入る"));
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    status_->setAccessibleName(QStringLiteral("状態"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(status_);
    setMinimumWidth(640);

    const FriendsPlace place = readFriendsPlace(state_.iniPath);
    address_->setText(fromUtf8(place.address));
    joinPort_->setValue(place.port);
    hostPort_->setValue(place.port);
    // The member selection's name is offered when none was kept.
    name_->setText(place.name.empty() ? fromUtf8(state_.seatName[1]) : fromUtf8(place.name));
    // A game closed by force in the middle of a match offers its seat back.
    if (const std::optional<net::SavedSeat> seat = net::loadSavedSeat()) {
        address_->setText(seat->url.host());
        joinPort_->setValue(seat->url.port(7777));
        room_->setText(seat->room);
        name_->setText(seat->name);
        tabs_->setCurrentIndex(1);
        status_->setText(QStringLiteral("前のテーブルの席が残っています。「接続」を押すと、その席に戻ります。"));
    }
}

FrmFriends::~FrmFriends() = default;

QWidget* FrmFriends::hostTab() {
    auto* page = new QWidget;
    auto* form = new QFormLayout;
    hostPort_ = new QSpinBox;
    hostPort_->setRange(1024, 65535);
    hostPort_->setAccessibleName(QStringLiteral("ポート"));
    form->addRow(QStringLiteral("ポート(&P):"), hostPort_);
    computers_ = new QComboBox;
    computers_->addItems({QStringLiteral("ふつうのコンピュータ"), QStringLiteral("つよいコンピュータ")});
    computers_->setAccessibleName(QStringLiteral("空いた席のコンピュータ"));
    form->addRow(QStringLiteral("空いた席(&C):"), computers_);
    timer_ = new QComboBox;
    timer_->addItems({QStringLiteral("なし"), QStringLiteral("30秒"), QStringLiteral("60秒")});
    timer_->setAccessibleName(QStringLiteral("持ち時間"));
    form->addRow(QStringLiteral("持ち時間(&T):"), timer_);
    hints_ = new QCheckBox(QStringLiteral("ヒントを使えるようにする(&H)"));
    form->addRow(QString(), hints_);
    create_ = new QPushButton(QStringLiteral("部屋を作る(&M)"));
    form->addRow(QString(), create_);
    connect(create_, &QPushButton::clicked, this, &FrmFriends::createRoom);

    roomCode_ = new QLabel;
    roomCode_->setTextFormat(Qt::PlainText);
    roomCode_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont big = roomCode_->font();
    big.setPointSize(big.pointSize() * 2 + 4);
    big.setBold(true);
    big.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    roomCode_->setFont(big);
    roomCode_->setAccessibleName(QStringLiteral("部屋コード"));
    addresses_ = new QLabel;
    addresses_->setTextFormat(Qt::PlainText);
    addresses_->setWordWrap(true);
    addresses_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addresses_->setAccessibleName(QStringLiteral("つなぎ方"));
    qr_ = new QLabel;
    qr_->setAccessibleName(QStringLiteral("ブラウザで参加するためのQRコード"));
    seats_ = new QTableWidget(4, 2);
    seats_->setHorizontalHeaderLabels({QStringLiteral("名前"), QStringLiteral("状態")});
    seats_->setVerticalHeaderLabels({QStringLiteral("席1"), QStringLiteral("席2"), QStringLiteral("席3"), QStringLiteral("席4")});
    seats_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    seats_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    seats_->setAccessibleName(QStringLiteral("席"));
    // Four rows, always whole: the list never scrolls.
    seats_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    seats_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    seats_->setFixedHeight(seats_->horizontalHeader()->sizeHint().height() +
                           4 * seats_->verticalHeader()->defaultSectionSize() + 2 * seats_->frameWidth() + 4);
    start_ = new QPushButton(QStringLiteral("開始(&S)"));
    start_->setEnabled(false);
    connect(start_, &QPushButton::clicked, this, &FrmFriends::startMatch);

    auto* room = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(roomCode_);
    left->addWidget(addresses_);
    left->addWidget(seats_);
    room->addLayout(left, 1);
    room->addWidget(qr_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addLayout(room);
    layout->addStretch(1);
    layout->addWidget(start_);
    return page;
}

QWidget* FrmFriends::joinTab() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    address_ = new QLineEdit;
    address_->setAccessibleName(QStringLiteral("アドレス"));
    form->addRow(QStringLiteral("アドレス(&A):"), address_);
    joinPort_ = new QSpinBox;
    joinPort_->setRange(1, 65535);
    joinPort_->setAccessibleName(QStringLiteral("ポート"));
    form->addRow(QStringLiteral("ポート(&O):"), joinPort_);
    room_ = new QLineEdit;
    room_->setAccessibleName(QStringLiteral("部屋コード"));
    room_->setMaxLength(20);
    form->addRow(QStringLiteral("部屋コード(&R):"), room_);
    name_ = new QLineEdit;
    name_->setAccessibleName(QStringLiteral("名前"));
    name_->setMaxLength(20);
    form->addRow(QStringLiteral("名前(&N):"), name_);
    picture_ = new QComboBox;
    picture_->setAccessibleName(QStringLiteral("写真"));
    picture_->setPlaceholderText(QStringLiteral("（接続すると選べます）"));
    form->addRow(QStringLiteral("写真(&I):"), picture_);
    connect_ = new QPushButton(QStringLiteral("接続(&J)"));
    connect_->setDefault(true);
    form->addRow(QString(), connect_);
    connect(connect_, &QPushButton::clicked, this, &FrmFriends::connectToRoom);
    return page;
}

std::unique_ptr<net::RemoteTable> FrmFriends::newTable() {
    auto table = std::make_unique<net::RemoteTable>();
    connect(table.get(), &net::RemoteTable::roomChanged, this, &FrmFriends::showRoom);
    connect(table.get(), &net::RemoteTable::refused, this,
            [this](const QString&, const QString&, const QString& text) { fail(text); });
    connect(table.get(), &net::RemoteTable::ended, this, [this](const QString&, const QString& text) {
        fail(text);
        // Nothing more comes of this connection; the next try makes another.
        table_.release()->deleteLater();
        picture_->clear();
        connect_->setText(QStringLiteral("接続(&J)"));
        create_->setEnabled(true);
        start_->setEnabled(false);
    });
    return table;
}

// ---- hosting ---------------------------------------------------------------

void FrmFriends::createRoom() {
    create_->setEnabled(false);
    status_->setText(QStringLiteral("部屋を用意しています…"));
    server_ = std::make_unique<net::ServerThread>();
    net::ServerOptions options;
    options.port = static_cast<quint16>(hostPort_->value());
    options.dataDir = net::defaultDataDir();
    // How long a seat whose player is gone waits for a computer (20 s);
    // the scripts that drive two copies of the game shorten it.
    bool graced = false;
    const int grace = qEnvironmentVariableIntValue("VANTEL_SEAT_GRACE_MS", &graced);
    if (graced && grace >= 1000 && grace <= 600000) options.lobby.graceMs = grace;
    for (int m = 1; m <= state_.memberCount; ++m) {
        net::Member member;
        member.name = fromUtf8(state_.memberName[m]);
        member.sex = state_.memberSex[m];
        for (int p = 1; p <= 4; ++p) member.pictures[p - 1] = fromUtf8(state_.memberImage[m][p]);
        options.lobby.members.push_back(member);
    }
    for (int i = 1; i <= kLinesPerSet; ++i) {
        options.lobby.femaleLines[i] = state_.femaleLines[i];
        options.lobby.maleLines[i] = state_.maleLines[i];
    }
    connect(server_.get(), &net::ServerThread::started, this, &FrmFriends::serverStarted);
    connect(server_.get(), &net::ServerThread::failed, this, [this](const QString& why) {
        server_.reset();
        create_->setEnabled(true);
        fail(QStringLiteral("ポート%1で部屋を作れませんでした（%2）。ほかのアプリが使っているかもしれません。"
                            "別のポートを選んでください。")
                 .arg(hostPort_->value())
                 .arg(why));
        hostPort_->setFocus();
    });
    server_->start(options);
}

void FrmFriends::serverStarted(quint16 port) {
    port_ = port;
    table_ = newTable();
    connect(table_.get(), &net::RemoteTable::created, this, &FrmFriends::roomCreated);
    connect(table_.get(), &net::RemoteTable::seated, this, [this] {
        start_->setEnabled(true);
        start_->setFocus();
        status_->setText(QStringLiteral("友達が入ったら「開始」を押してください。空いた席はコンピュータが打ちます。"));
    });
    table_->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/socket").arg(port)));
    const QJsonObject settings{
        {QStringLiteral("computers"), computers_->currentIndex() == 1 ? QStringLiteral("strong") : QStringLiteral("general")},
        {QStringLiteral("turnTimer"), timer_->currentIndex() * 30},
        {QStringLiteral("hints"), hints_->isChecked()}};
    table_->create(settings);
}

void FrmFriends::roomCreated(const QString& room, const QString& link) {
    roomCode_->setText(room);
    // A screen reader reads the label's name, not its text: the code goes
    // in the name too.
    roomCode_->setAccessibleName(QStringLiteral("部屋コード %1").arg(room));
    const QStringList lan = lanAddresses();
    QStringList lines;
    lines << QStringLiteral("同じWi-Fi（同じネットワーク）の友達は、次のアドレスとポート%1で入れます:").arg(port_);
    for (const QString& address : lan) lines << QStringLiteral("  %1  ブラウザ: http://%1:%2%3").arg(address).arg(port_).arg(link);
    if (lan.isEmpty()) lines << QStringLiteral("  （このパソコンにはネットワークのアドレスがありません）");
    lines << QStringLiteral("ほかの場所の友達と遊ぶには、ルーターでポートを転送するか、"
                            "いつも動いているサーバー（vantel-server）を使ってください。");
    addresses_->setText(lines.join(QLatin1Char('\n')));
    if (!lan.isEmpty()) {
        const QImage code = qrCodeImage(QStringLiteral("http://%1:%2%3").arg(lan.first()).arg(port_).arg(link), 4);
        qr_->setPixmap(QPixmap::fromImage(code));
    }
    // The host sits at seat 1 with the member chosen in the member selection.
    const int picture = std::clamp<int>(state_.seatMember[1], 1, std::max<int>(1, state_.memberCount));
    // The name typed in, else the member selection's, else the picture's.
    QString name = name_->text().trimmed();
    if (name.isEmpty()) name = fromUtf8(state_.seatName[1]);
    if (name.isEmpty()) name = fromUtf8(state_.memberName[picture]);
    table_->join(room, name, picture);
    remember();
}

void FrmFriends::showRoom(const net::RoomInfo& room) {
    for (int row = 0; row < 4; ++row) {
        const net::RoomSeat& seat = room.seats[static_cast<size_t>(row)];
        // Names come from the network: plain text in plain cells.
        seats_->setItem(row, 0, new QTableWidgetItem(seat.name));
        seats_->setItem(row, 1, new QTableWidgetItem(stateText(seat.state)));
    }
}

void FrmFriends::startMatch() {
    if (!table_) return;
    start_->setEnabled(false);
    table_->start();
    Q_EMIT seatTaken();
}

// ---- joining ---------------------------------------------------------------

namespace {
QString plainCode(QString code) { return code.remove(QLatin1Char('-')).trimmed().toUpper(); }
}  // namespace

bool FrmFriends::resumeSavedSeat() {
    const std::optional<net::SavedSeat> seat = net::loadSavedSeat();
    if (!seat || seat->url.host() != address_->text().trimmed() || seat->url.port(7777) != joinPort_->value() ||
        plainCode(seat->room) != plainCode(room_->text())) {
        return false;
    }
    status_->setText(QStringLiteral("前の席に戻っています…"));
    table_ = newTable();
    connect(table_.get(), &net::RemoteTable::ended, this, [] {
        // The seat is no longer there to take back.
        net::forgetSavedSeat();
    });
    connect(table_.get(), &net::RemoteTable::seated, this, [this] {
        remember();
        Q_EMIT seatTaken();
    });
    table_->open(seat->url);
    table_->resume(seat->room, seat->token);
    return true;
}

void FrmFriends::connectToRoom() {
    if (table_ && picture_->count() > 0) {
        // Connected and a picture chosen: sit down.
        joining_ = true;
        table_->join(room_->text(), name_->text(), picture_->currentData().toInt());
        return;
    }
    if (address_->text().trimmed().isEmpty() || room_->text().trimmed().isEmpty()) {
        fail(QStringLiteral("アドレスと部屋コードを入れてください。"));
        return;
    }
    if (!table_ && resumeSavedSeat()) return;
    status_->setText(QStringLiteral("接続しています…"));
    table_ = newTable();
    connect(table_.get(), &net::RemoteTable::welcomed, this, [this](const QList<net::TableMember>& members) {
        picture_->clear();
        for (const net::TableMember& member : members) picture_->addItem(member.name, member.picture);
        picture_->setCurrentIndex(0);
        connect_->setText(QStringLiteral("参加(&J)"));
        picture_->setFocus();
        status_->setText(QStringLiteral("写真を選んで「参加」を押してください。"));
    });
    connect(table_.get(), &net::RemoteTable::seated, this, [this] {
        remember();
        // Kept until the player leaves the table, for a game closed by force.
        net::saveSeat(table_->savedSeat(name_->text().trimmed()));
        status_->setText(QStringLiteral("席に着きました。ホストが開始するのを待っています。"));
        Q_EMIT seatTaken();
    });
    QUrl url;
    url.setScheme(QStringLiteral("ws"));
    url.setHost(address_->text().trimmed());
    url.setPort(joinPort_->value());
    url.setPath(QStringLiteral("/socket"));
    table_->open(url);
}

void FrmFriends::fail(const QString& text) {
    status_->setText(text);
    joining_ = false;
}

void FrmFriends::remember() {
    FriendsPlace place;
    place.address = address_->text().trimmed().toStdString();
    place.port = tabs_->currentIndex() == 0 ? hostPort_->value() : joinPort_->value();
    place.name = name_->text().trimmed().toStdString();
    writeFriendsPlace(state_.iniPath, place);
}

std::unique_ptr<net::RemoteTable> FrmFriends::takeTable() {
    if (table_) table_->disconnect(this);
    return std::move(table_);
}

std::unique_ptr<net::ServerThread> FrmFriends::takeServer() { return std::move(server_); }

}  // namespace vantel
