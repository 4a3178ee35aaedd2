// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// 「友達と遊ぶ」 through its real widgets, offscreen, with the game's own
// server on loopback: one window hosts, another joins by address, port and
// room code, the host's list follows; a taken port and a wrong room are
// told in Japanese; the place is remembered in the settings file.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include "records/settings.h"
#include "table/frm_friends.h"
#include "table/qr_code.h"

using namespace vantel;

class FriendsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void hostAndJoinerSitAtOneTable();
    void failuresAreToldInJapanese();
    void qrCodeIsSquareWithItsQuietZone();
};

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

struct Game {
    QTemporaryDir dir;
    MatchState state;
    Game(const char* name) {
        state.iniPath = (dir.path() + QStringLiteral("/Vantel.ini")).toStdString();
        state.memberCount = 2;
        state.memberName[1] = "あやや";
        state.memberName[2] = "ゆうこ";
        state.memberSex[1] = state.memberSex[2] = 1;
        state.seatName[1] = name;
        state.seatMember[1] = 1;
    }
};

}  // namespace

void FriendsWindowTest::hostAndJoinerSitAtOneTable() {
    qputenv("XDG_DATA_HOME", QTemporaryDir().path().toUtf8());
    Game hostGame("ほすと");
    FrmFriends host(hostGame.state);
    host.show();
    const quint16 port = freePort();
    host.hostPort()->setValue(port);
    QTest::mouseClick(host.createButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!host.roomCode()->text().isEmpty(), 10000);
    // The code reads aloud in groups, with no letters easy to confuse.
    const QString code = host.roomCode()->text();
    QVERIFY(QRegularExpression(QStringLiteral("^[2-9A-HJKMNP-TW-Z]{3}-[2-9A-HJKMNP-TW-Z]{3}-[2-9A-HJKMNP-TW-Z]{4}$"))
                .match(code)
                .hasMatch());
    QTRY_COMPARE_WITH_TIMEOUT(host.seatList()->item(0, 0) ? host.seatList()->item(0, 0)->text() : QString(),
                              QStringLiteral("ほすと"), 10000);
    QTRY_VERIFY(host.startButton()->isEnabled());

    Game joinGame("ゆき");
    FrmFriends joiner(joinGame.state);
    joiner.show();
    joiner.tabs()->setCurrentIndex(1);
    QCOMPARE(joiner.joinName()->text(), QStringLiteral("ゆき"));
    joiner.joinAddress()->setText(QStringLiteral("127.0.0.1"));
    joiner.joinPort()->setValue(port);
    joiner.joinRoom()->setText(code.toLower());
    QTest::mouseClick(joiner.connectButton(), Qt::LeftButton);
    // Connected: the host's members are offered as pictures.
    QTRY_COMPARE_WITH_TIMEOUT(joiner.joinPicture()->count(), 2, 10000);
    QCOMPARE(joiner.joinPicture()->currentIndex(), 0);
    joiner.joinPicture()->setCurrentIndex(1);
    QSignalSpy seated(&joiner, &FrmFriends::seatTaken);
    QTest::mouseClick(joiner.connectButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(seated.count(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(host.seatList()->item(1, 0) ? host.seatList()->item(1, 0)->text() : QString(),
                              QStringLiteral("ゆき"), 10000);
    QCOMPARE(host.seatList()->item(1, 1)->text(), QStringLiteral("接続中"));
    // The place is kept for next time.
    const FriendsPlace kept = readFriendsPlace(joinGame.state.iniPath);
    QCOMPARE(QString::fromStdString(kept.address), QStringLiteral("127.0.0.1"));
    QCOMPARE(kept.port, int(port));
    QCOMPARE(QString::fromStdString(kept.name), QStringLiteral("ゆき"));

    // The host starts: both hand over their seats.
    QSignalSpy started(&host, &FrmFriends::seatTaken);
    QTest::mouseClick(host.startButton(), Qt::LeftButton);
    QCOMPARE(started.count(), 1);
    auto hostTable = host.takeTable();
    auto joinTable = joiner.takeTable();
    QVERIFY(hostTable && joinTable);
    QTRY_VERIFY_WITH_TIMEOUT(joinTable->view().round == 1 && hostTable->view().round == 1, 10000);
    QCOMPARE(hostTable->seat(), 1);
    QCOMPARE(joinTable->seat(), 2);
}

void FriendsWindowTest::failuresAreToldInJapanese() {
    qputenv("XDG_DATA_HOME", QTemporaryDir().path().toUtf8());
    // A port somebody else holds.
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::Any, 0));
    Game game("ほすと");
    FrmFriends host(game.state);
    host.hostPort()->setValue(taken.serverPort());
    QTest::mouseClick(host.createButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(host.status()->text().contains(QStringLiteral("別のポートを選んでください")), 10000);
    QVERIFY(host.createButton()->isEnabled());

    // Nobody at that address, then no such room.
    FrmFriends joiner(game.state);
    joiner.joinAddress()->setText(QStringLiteral("127.0.0.1"));
    joiner.joinPort()->setValue(freePort());
    joiner.joinRoom()->setText(QStringLiteral("222-222-2222"));
    QTest::mouseClick(joiner.connectButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(joiner.status()->text().contains(QStringLiteral("サーバーが見つかりません")), 10000);
}

void FriendsWindowTest::qrCodeIsSquareWithItsQuietZone() {
    const QImage image = qrCodeImage(QStringLiteral("http://127.0.0.1:7777/r/K7PXQ2M9RT"), 4);
    QVERIFY(!image.isNull());
    QCOMPARE(image.width(), image.height());
    // Version 3 at least for this link: (29 + 8) modules of 4 pixels.
    QVERIFY(image.width() >= 37 * 4);
    // The quiet zone is white; the finder pattern's corner is black.
    QCOMPARE(qGray(image.pixel(2, 2)), 255);
    QCOMPARE(qGray(image.pixel(4 * 4 + 1, 4 * 4 + 1)), 0);
}

QTEST_MAIN(FriendsWindowTest)
#include "friends_window_test.moc"
