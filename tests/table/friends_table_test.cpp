// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Two players at one friends' table, each in a window of its own, offscreen,
// with the game's own server on loopback and two computers filling the
// table: a whole match played by clicks in both windows. Each window shows
// its own hand at the bottom, the other player in their order of play with
// only backs, and the same match seen from its own seat; at the end the
// host's answer decides for both.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTcpServer>
#include <QtTest>

#include "records/record_file.h"
#include "server/server_thread.h"
#include "table/card_picture.h"
#include "table/friends_table.h"
#include "table/frm_friends.h"
#include "table_test_support.h"

using namespace vantel;
using namespace vantel::test;

class FriendsTableTest : public QObject {
    Q_OBJECT
private slots:
    void twoWindowsPlayAWholeMatch();
};

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

MatchState player(const MatchState& base, const char* name, int member) {
    MatchState state = base;
    state.seatName[1] = name;
    state.seatMember[1] = int16_t(member);
    return state;
}

// The first card that may be laid, else PASS, else DROP: by a click.
void playTurn(Form1& window) {
    for (int i = 1; i <= kJoker; ++i) {
        if (window.follower().isClickable(i)) {
            QVERIFY(window.img(i)->isVisible());
            QTest::mouseClick(window.img(i), Qt::LeftButton);
            return;
        }
    }
    QPushButton* button = window.cmdPass()->isEnabled() ? window.cmdPass() : window.cmdOut();
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

// What the window shows of the table agrees with what its seat was told.
void checkSeatShown(Form1& window) {
    const SeatView& told = window.friends()->remote().view();
    const SeatView& shown = window.follower().presenter().seen();
    if (shown.seq != told.seq || shown.phase != ViewPhase::Playing) return;
    // Its own hand, face up along the bottom, nobody else's face.
    const int bottom = window.img(54)->parentWidget()->height() / 2;
    for (int slot = 1; slot <= kJokerSlot; ++slot) {
        const int card = told.hand[slot];
        if (card == 0) continue;
        QVERIFY(window.img(card)->isVisible());
        QVERIFY2(window.img(card)->y() > bottom, "the seat's own cards lie at the bottom");
    }
    // The others' counts, as rows of backs, each at its place.
    for (int seat = 1; seat <= kSeats; ++seat) {
        const int place = window.friends()->source().placeOf(seat);
        if (place == 1) continue;
        int backs = 0;
        for (int k = 0; k < kHandSlots; ++k) backs += window.img(54 + (place - 1) * 13 + k)->isVisible() ? 1 : 0;
        QCOMPARE(backs, told.cardsLeft[seat]);
    }
}

}  // namespace

void FriendsTableTest::twoWindowsPlayAWholeMatch() {
    WindowHarness harness;
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    MatchState base;
    base.iniPath = harness.settingsFile().string();
    base.memberCount = 3;
    base.memberName = {"", "あやや", "ゆうこ", "たけし"};
    base.memberSex = {0, 1, 1, 2};
    for (int m = 1; m <= 3; ++m) base.memberImage[m][1] = (harness.binDir() / "gazou" / "a.bmp").string();
    MatchState hostState = player(base, "ほすと", 1);
    MatchState joinState = player(base, "ゆき", 2);

    FrmFriends host(hostState);
    host.hostPort()->setValue(freePort());
    QTest::mouseClick(host.createButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(host.startButton()->isEnabled(), 10000);
    FrmFriends joiner(joinState);
    joiner.tabs()->setCurrentIndex(1);
    joiner.joinAddress()->setText(QStringLiteral("127.0.0.1"));
    joiner.joinPort()->setValue(host.hostPort()->value());
    joiner.joinRoom()->setText(host.roomCode()->text());
    joiner.joinName()->setText(QStringLiteral("ゆき"));
    QTest::mouseClick(joiner.connectButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(joiner.joinPicture()->count() == 3, 10000);
    joiner.joinPicture()->setCurrentIndex(1);
    QSignalSpy seated(&joiner, &FrmFriends::seatTaken);
    QTest::mouseClick(joiner.connectButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(seated.count(), 1, 10000);
    QPointer<Form1> joinWindow = new Form1(std::make_unique<FriendsTable>(joiner.takeTable(), nullptr, joinState));
    joinWindow->show();
    // Seated before the start: the joiner waits for the host.
    QVERIFY(joinWindow->bar()->isVisible());
    QCOMPARE(joinWindow->bar()->text(), QStringLiteral("ホストを待っています"));
    QTest::mouseClick(host.startButton(), Qt::LeftButton);
    QPointer<Form1> hostWindow =
        new Form1(std::make_unique<FriendsTable>(host.takeTable(), host.takeServer(), hostState));
    hostWindow->show();

    // No skip, no strength, no starting at a friends' table.
    for (Form1* w : {hostWindow.data(), joinWindow.data()}) {
        QVERIFY(!w->menuAction(QStringLiteral("mnu_skip"))->isEnabled());
        QVERIFY(!w->menuAction(QStringLiteral("mnu_kaisi"))->isEnabled());
        QVERIFY(!w->menuAction(QStringLiteral("mnu_friends"))->isEnabled());
    }

    // The match-end screens show the match's totals from each seat; the
    // host answers the retry question No: the table closes for both.
    std::array<std::array<int32_t, 5>, 2> totals{};
    harness.onDialog = [&](QDialog& dialog) {
        for (int i = 0; i < 2; ++i) {
            Form1* w = i == 0 ? hostWindow.data() : joinWindow.data();
            if (w && dialog.parentWidget() == w && w->friends()->state().roundNumber == 10) {
                totals[size_t(i)] = w->friends()->state().matchTotal;
            }
        }
    };
    harness.expect(QStringLiteral("リトライ"), QMessageBox::No);
    int turns = 0;
    QElapsedTimer clock;
    clock.start();
    while (hostWindow && !hostWindow->leaving() && clock.elapsed() < 240000) {
        for (Form1* w : {hostWindow.data(), joinWindow.data()}) {
            if (!w || w->leaving() || !w->follower().awaitingMove()) continue;
            checkSeatShown(*w);
            if (QTest::currentTestFailed()) return;
            playTurn(*w);
            ++turns;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QVERIFY2(hostWindow.isNull() || hostWindow->leaving(), "the match ended within four minutes");
    QVERIFY(turns > 20);

    // The same match from two seats: the host at seat 1, the joiner at 2.
    for (int seat = 1; seat <= kSeats; ++seat) {
        QCOMPARE(totals[0][placeOf(seat, 1)], totals[1][placeOf(seat, 2)]);
    }
    QVERIFY(totals[0][1] != 0 || totals[0][2] != 0 || totals[0][3] != 0);
    // The joiner hears the table was closed and goes back to the members.
    QTRY_VERIFY_WITH_TIMEOUT(harness.lastBox(QStringLiteral("友達と遊ぶ")) != nullptr, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(joinWindow.isNull() || joinWindow->leaving(), 10000);
    QVERIFY(!harness.liveSelections().empty());

    // Both players (sharing one record file here) have a friends' match
    // in their record; the strengths' columns and the ranking are untouched.
    const RecordLoad record = peekRecordFile(playRecordFile(program().location));
    QCOMPARE(record.record.friends.played, 2);
    QCOMPARE(record.record.all().played, 2);
    for (const Strength strength : kStrengths) QCOMPARE(record.record.at(strength).played, 0);
}

QTEST_MAIN(FriendsTableTest)
#include "friends_table_test.moc"
