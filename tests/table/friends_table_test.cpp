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
#include "../net/cut_proxy.h"
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
    void aSeatThatCannotComeBackGoesBackToTheMembers();
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

// A host and a joiner seated at one table, each in its table window; the
// joiner connects through `joinPort` (the server's, or a proxy's).
struct TwoSeats {
    MatchState hostState;
    MatchState joinState;
    std::unique_ptr<FrmFriends> host;
    QPointer<Form1> hostWindow;
    QPointer<Form1> joinWindow;
};

bool seatTwo(WindowHarness& harness, TwoSeats& seats, const std::function<quint16(quint16)>& joinPort) {
    MatchState base;
    base.iniPath = harness.settingsFile().string();
    base.memberCount = 3;
    base.memberName = {"", "あやや", "ゆうこ", "たけし"};
    base.memberSex = {0, 1, 1, 2};
    for (int m = 1; m <= 3; ++m) base.memberImage[m][1] = (harness.binDir() / "gazou" / "a.bmp").string();
    seats.hostState = player(base, "ほすと", 1);
    seats.joinState = player(base, "ゆき", 2);
    seats.host = std::make_unique<FrmFriends>(seats.hostState);
    FrmFriends& host = *seats.host;
    host.hostPort()->setValue(freePort());
    QTest::mouseClick(host.createButton(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return host.startButton()->isEnabled(); }, 10000)) return false;
    FrmFriends joiner(seats.joinState);
    joiner.tabs()->setCurrentIndex(1);
    joiner.joinAddress()->setText(QStringLiteral("127.0.0.1"));
    joiner.joinPort()->setValue(joinPort(quint16(host.hostPort()->value())));
    joiner.joinRoom()->setText(host.roomCode()->text());
    // A name that would be markup anywhere it was read as such.
    joiner.joinName()->setText(QStringLiteral("<i>ゆき"));
    QTest::mouseClick(joiner.connectButton(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return joiner.joinPicture()->count() == 3; }, 10000)) return false;
    joiner.joinPicture()->setCurrentIndex(1);
    QSignalSpy seated(&joiner, &FrmFriends::seatTaken);
    QTest::mouseClick(joiner.connectButton(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return seated.count() == 1; }, 10000)) return false;
    seats.joinWindow = new Form1(std::make_unique<FriendsTable>(joiner.takeTable(), nullptr, seats.joinState));
    seats.joinWindow->show();
    return true;
}

void startMatch(TwoSeats& seats) {
    QTest::mouseClick(seats.host->startButton(), Qt::LeftButton);
    seats.hostWindow =
        new Form1(std::make_unique<FriendsTable>(seats.host->takeTable(), seats.host->takeServer(), seats.hostState));
    seats.hostWindow->show();
}

}  // namespace

void FriendsTableTest::twoWindowsPlayAWholeMatch() {
    WindowHarness harness;
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    TwoSeats seats;
    QVERIFY(seatTwo(harness, seats, [](quint16 port) { return port; }));
    QPointer<Form1>& joinWindow = seats.joinWindow;
    QPointer<Form1>& hostWindow = seats.hostWindow;
    // Seated before the start: the joiner waits for the host.
    QVERIFY(joinWindow->bar()->isVisible());
    QCOMPARE(joinWindow->bar()->text(), QStringLiteral("ホストを待っています"));
    startMatch(seats);

    // Each sees the other by name, as typed, in its order of play: the
    // joiner (seat 2) left of the host, the host (seat 1) right of the
    // joiner.
    QTRY_COMPARE_WITH_TIMEOUT(hostWindow->lblname(1)->text(), QStringLiteral("<i>ゆき"), 10000);
    QCOMPARE(hostWindow->lblname(1)->textFormat(), Qt::PlainText);
    QCOMPARE(joinWindow->lblname(0)->text(), QStringLiteral("<i>ゆき"));
    QTRY_COMPARE_WITH_TIMEOUT(joinWindow->lblname(3)->text(), QStringLiteral("ほすと"), 10000);

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

    // Where the joiner reached its match-end screens, the same match from
    // two seats: the host at seat 1, the joiner at 2. (The host may close
    // the table before a lagging joiner shows its end; its record below
    // still has the match.)
    if (totals[1] != std::array<int32_t, 5>{}) {
        for (int seat = 1; seat <= kSeats; ++seat) {
            QCOMPARE(totals[0][placeOf(seat, 1)], totals[1][placeOf(seat, 2)]);
        }
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
    // Each player's own total, kept from its own seat's stream, is what the
    // host's table showed for that seat.
    int listed = 0;
    for (const RecentMatch& match : record.record.recent) {
        if (!match.withFriends) continue;
        const bool joiner = match.opponents[2] == "ほすと";
        QCOMPARE(match.total, totals[0][joiner ? placeOf(2, 1) : 1]);
        ++listed;
    }
    QCOMPARE(listed, 2);
    QCOMPARE(record.record.all().played, 2);
    for (const Strength strength : kStrengths) QCOMPARE(record.record.at(strength).played, 0);
}

void FriendsTableTest::aSeatThatCannotComeBackGoesBackToTheMembers() {
    WindowHarness harness;
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    // A computer takes a lost seat after a second here, not twenty.
    qputenv("VANTEL_SEAT_GRACE_MS", "1000");
    TwoSeats seats;
    std::unique_ptr<net::Proxy> proxy;
    QVERIFY(seatTwo(harness, seats, [&proxy](quint16 port) {
        proxy = std::make_unique<net::Proxy>(port);
        return proxy->port();
    }));
    startMatch(seats);
    QTRY_VERIFY_WITH_TIMEOUT(seats.joinWindow->follower().presenter().seen().round >= 1, 10000);
    // The joiner's network goes, for good: it tries to come back for (here)
    // two seconds, says so over the table, then gives up.
    seats.joinWindow->friends()->remote().setReconnectLimit(2000);
    proxy->closeDoor();
    proxy->cut();
    QTRY_COMPARE_WITH_TIMEOUT(seats.joinWindow->bar()->text(), QStringLiteral("再接続しています…"), 5000);
    QVERIFY(seats.joinWindow->bar()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(harness.lastBox(QStringLiteral("友達と遊ぶ")) != nullptr, 15000);
    QVERIFY(harness.lastBox(QStringLiteral("友達と遊ぶ"))->text.contains(QStringLiteral("接続")));
    QTRY_VERIFY_WITH_TIMEOUT(seats.joinWindow.isNull() || seats.joinWindow->leaving(), 5000);
    QVERIFY(!harness.liveSelections().empty());
    // The host's table goes on with a computer in that seat, marked so.
    QTRY_VERIFY_WITH_TIMEOUT(seats.hostWindow->lblname(1)->text().endsWith(QStringLiteral("（代打ち）")), 15000);
    qunsetenv("VANTEL_SEAT_GRACE_MS");
}

QTEST_MAIN(FriendsTableTest)
#include "friends_table_test.moc"
