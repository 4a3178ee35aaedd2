// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A whole program run through the real widgets, pauses at zero: the member
// selection (with a cancelled pick and a deselected computer), then two
// ten-round matches in which the test plays seat 1 by clicking raised
// cards, PASS and DROP, answering the retry question Yes and then No.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "game/cards.h"
#include "table/card_picture.h"
#include "records/settings.h"
#include "table/form2.h"
#include "table_test_support.h"

using namespace vantel;
using namespace vantel::test;

class MatchFlowTest : public QObject {
    Q_OBJECT
private slots:
    void memberSelectionThenTwoMatches();
};

namespace {

QString stars(int n) { return QString(n, QChar(0x2605)); }

// Plays the user's turn the way a player would: the lowest raised card,
// else PASS, else DROP.
void playUserTurn(Form1& table, int& passes, int& drops, int& cards) {
    const TableFollower& engine = table.follower();
    for (int i = 1; i <= kJoker; ++i) {
        if (engine.isClickable(i)) {
            QVERIFY(table.img(i)->isEnabled());
            QVERIFY(table.img(i)->isVisible());
            QTest::mouseClick(table.img(i), Qt::LeftButton);
            QVERIFY(settle(&table));
            ++cards;
            return;
        }
    }
    if (table.cmdPass()->isEnabled()) {
        const int round = table.localTable().match().roundNumber;
        QTest::mouseClick(table.cmdPass(), Qt::LeftButton);
        QVERIFY(settle(&table));
        ++passes;
        const auto& r = table.localTable().round();
        if (table.localTable().match().roundNumber == round && r.userOut == 0 && r.roundOver == 0) {
            QCOMPARE(table.lblpass(0)->text(), stars(r.passCount[1]));
        }
        return;
    }
    QVERIFY(table.cmdOut()->isEnabled());
    QTest::mouseClick(table.cmdOut(), Qt::LeftButton);
    QVERIFY(settle(&table));
    ++drops;
}

}  // namespace

void MatchFlowTest::memberSelectionThenTwoMatches() {
    WindowHarness h;
    // The first pick is cancelled; the computers' first confirmation too.
    h.expect(QStringLiteral("プレイヤー確認"), QMessageBox::Cancel);
    h.expect(QStringLiteral("コンピュータ確認"), QMessageBox::Cancel);
    h.expect(QStringLiteral("リトライ"), QMessageBox::Yes);
    h.expect(QStringLiteral("リトライ"), QMessageBox::No);

    auto* selection = qobject_cast<Frmspl5*>(openMemberSelection());
    QVERIFY(selection);
    QCoreApplication::processEvents();
    QVERIFY(h.lastBox(QStringLiteral("プレイヤー選択")));
    QCOMPARE(h.lastBox(QStringLiteral("プレイヤー選択"))->text, QStringLiteral("あなた役で使用する画像をクリックして下さい。"));
    QCOMPARE(selection->imag(0)->toolTip(), QStringLiteral("あやや"));

    QTest::mouseClick(selection->imag(0), Qt::LeftButton);  // cancelled
    QVERIFY(!selection->imag(0)->selected());
    QCOMPARE(selection->selectionStage(), 1);
    QTest::mouseClick(selection->imag(1), Qt::LeftButton);  // ゆうこ for the user
    QCOMPARE(selection->selectionStage(), 2);
    QVERIFY(!selection->imag(1)->isEnabled());
    QVERIFY(!selection->cmd(3)->isEnabled());
    QVERIFY(!selection->cmd(4)->isEnabled());
    QVERIFY(h.lastBox(QStringLiteral("コンピュータ選択")));

    QTest::mouseClick(selection->imag(0), Qt::LeftButton);  // A
    QTest::mouseClick(selection->imag(2), Qt::LeftButton);  // B
    QTest::mouseClick(selection->imag(0), Qt::LeftButton);  // A deselected
    QCOMPARE(selection->computerPicks(), 1);
    QTest::mouseClick(selection->imag(3), Qt::LeftButton);  // C
    QTest::mouseClick(selection->imag(0), Qt::LeftButton);  // D: the question, cancelled
    QCOMPARE(h.lastBox(QStringLiteral("コンピュータ確認"))->text,
             QStringLiteral("『はるか』『みさこ』『あやや』\nこの３枚の画像でよろしいですか？"));
    QCOMPARE(selection->computerPicks(), 0);
    QVERIFY(!selection->imag(2)->selected());
    QTest::mouseClick(selection->imag(3), Qt::LeftButton);
    QTest::mouseClick(selection->imag(2), Qt::LeftButton);
    QTest::mouseClick(selection->imag(0), Qt::LeftButton);  // confirmed
    WindowHarness::flushDeletes();
    QVERIFY(WindowHarness::liveSelections().empty());
    auto tables = WindowHarness::liveTables();
    QCOMPARE(tables.size(), size_t(1));
    Form1& table = *tables.front();

    MatchState& state = sharedState();
    QCOMPARE(QString::fromStdString(state.seatName[1]), QStringLiteral("ゆうこ"));
    QCOMPARE(QString::fromStdString(state.seatName[2]), QStringLiteral("みさこ"));
    QCOMPARE(QString::fromStdString(state.seatName[3]), QStringLiteral("はるか"));
    QCOMPARE(QString::fromStdString(state.seatName[4]), QStringLiteral("あやや"));
    QCOMPARE(table.lblname(0)->text(), QStringLiteral("ゆうこ"));
    QCOMPARE(table.windowTitle(), QStringLiteral("Tamsuの７ならべ(Ver1.11)"));
    QVERIFY(!table.menuAction("mnu_skip")->isEnabled());
    QVERIFY(!table.menuAction("mnu_bgm")->isChecked());

    int rounds = 0, passes = 0, drops = 0, cards = 0;
    h.onDialog = [&](QDialog& dialog) {
        if (dialog.objectName() != QStringLiteral("Form2")) return;
        ++rounds;
        auto& results = static_cast<Form2&>(dialog);
        const int row = state.roundNumber - 1;
        QCOMPARE(table.lblkai()->text(), QString::number(state.roundNumber) + QStringLiteral("回戦"));
        for (int seat = 1; seat <= 4; ++seat) {
            QCOMPARE(results.lblname(seat - 1)->text(), QString::fromStdString(state.seatName[seat]));
            QCOMPARE(results.lblten(seat, row)->text(), QString::number(state.roundPoints[seat]));
            QCOMPARE(results.lblten(seat, 10)->text(), QString::number(state.matchTotal[seat]));
            QCOMPARE(results.lblten(seat, 11)->text(), QString::number(state.finalPlace[seat]));
            if (row + 1 < 10) QVERIFY(results.lblten(seat, row + 1)->text().isEmpty());
            // Every seat finished the round with its place shown.
            QVERIFY2(table.lblpass(seat - 1)->text().endsWith(QStringLiteral("番")),
                     qPrintable(table.lblpass(seat - 1)->text()));
        }
        const int streak = table.localTable().round().streakCount;
        if (streak != 3 && streak != 5 && streak != 10) {
            for (int seat = 1; seat <= 4; ++seat) {
                QCOMPARE(table.lblten(seat - 1)->text(), QString::number(state.matchTotal[seat]));
            }
        }
    };

    QVERIFY(table.menuAction("mnu_kaisi")->isEnabled());
    table.mnu_kaisi_Click();
    QVERIFY(settle(&table));
    QVERIFY(!table.menuAction("mnu_kaisi")->isEnabled());
    for (int guard = 0; guard < 20000 && table.follower().awaitingMove(); ++guard) {
        playUserTurn(table, passes, drops, cards);
    }
    QVERIFY(!table.follower().awaitingMove());
    QCOMPARE(rounds, 20);
    QVERIFY(cards > 0);
    QVERIFY(passes > 0);

    // Each match closed with the ranking, the announcement, the won or lost
    // screen and the retry question, in that order.
    std::vector<QString> ends;
    for (const QString& e : h.events) {
        if (e != QStringLiteral("Form2") && !e.startsWith(QStringLiteral("box:プレイヤー")) &&
            !e.startsWith(QStringLiteral("box:コンピュータ")))
            ends.push_back(e);
    }
    QCOMPARE(ends.size(), size_t(8));
    for (int m = 0; m < 2; ++m) {
        QCOMPARE(ends[m * 4 + 0], QStringLiteral("Form3"));
        QCOMPARE(ends[m * 4 + 1], QStringLiteral("frmspl3"));
        QVERIFY(ends[m * 4 + 2] == QStringLiteral("frmSpl4") || ends[m * 4 + 2] == QStringLiteral("frmspl2"));
        QCOMPARE(ends[m * 4 + 3], QStringLiteral("box:リトライ"));
    }
    const ShownBox* retry = h.lastBox(QStringLiteral("リトライ"));
    QCOMPARE(retry->text, QStringLiteral("もう一度プレイしますか？"));
    QCOMPARE(retry->icon, QMessageBox::Warning);
    QCOMPARE(retry->buttons, QMessageBox::Yes | QMessageBox::No);

    // After No: idle, the start command enabled again, the table emptied.
    QVERIFY(table.menuAction("mnu_kaisi")->isEnabled());
    QCOMPARE(state.roundNumber, 0);
    QVERIFY(table.resultWindow()->lblten(1, 0)->text().isEmpty());
    QVERIFY(table.resultWindow()->lblten(4, 11)->text().isEmpty());

    // The settings file holds the high score and the ranking in memory.
    MatchState stored;
    SettingsLocation where{h.binDir(), h.settingsFile()};
    QCOMPARE(readSettings(stored, where).status, SettingsStatus::Read);
    QCOMPARE(stored.hiScore, state.hiScore);
    QCOMPARE(stored.hiScorePlayer, state.hiScorePlayer);
    for (int row = 1; row <= 10; ++row) {
        QCOMPARE(stored.rankName[row], state.rankName[row]);
        QCOMPARE(stored.rankPoints[row], state.rankPoints[row]);
    }
    QCOMPARE(table.lblscore()->text(), QString::number(state.hiScore));
    QCOMPARE(h.programEnds, 0);
}

QTEST_MAIN(MatchFlowTest)
#include "match_flow_test.moc"
