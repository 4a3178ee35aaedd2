// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start over (both answers), skip, close and quit fired from inside the
// deal and a card's flight (while a step is held on screen at the real
// pace), a computer's turn and a speech balloon: the table
// unwinds without touching freed state, the settings file still reads, and
// no window of the old match is left behind.
#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <map>
#include <string>
#include <vector>

#include "table/card_picture.h"

#include "table_test_support.h"

using namespace vantel;
using namespace vantel::test;

class LeavingTest : public QObject {
    Q_OBJECT
private slots:
    void leaveFromInsidePlay_data();
    void leaveFromInsidePlay();
    void keysWhilePlayRunsDoNothing();
};

namespace {
// The keys a player might press at any moment, sent where a keyboard would
// send them.
void pressPlayKeys(Form1& table) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_P, Qt::Key_D, Qt::Key_Right, Qt::Key_End}) {
        QWidget* target = table.focusWidget() ? table.focusWidget() : &table;
        QTest::keyClick(target, key);
        if (table.leaving()) return;
    }
}
}  // namespace

void LeavingTest::leaveFromInsidePlay_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("moment");
    for (const char* action : {"replay-yes", "replay-no", "skip", "close", "quit"}) {
        for (const char* moment : {"deal", "flight", "computer-turn", "balloon"}) {
            QTest::newRow((std::string(action) + "/" + moment).c_str())
                << QString::fromUtf8(action) << QString::fromUtf8(moment);
        }
    }
}

void LeavingTest::leaveFromInsidePlay() {
    QFETCH(QString, action);
    QFETCH(QString, moment);
    WindowHarness h;
    Form1* first = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(first);
    QPointer<Form1> old = first;
    if (action == QStringLiteral("replay-yes")) h.expect(QStringLiteral("最初から始める"), QMessageBox::Yes);
    if (action == QStringLiteral("replay-no")) h.expect(QStringLiteral("最初から始める"), QMessageBox::No);

    bool fired = false;
    bool heldStep = true;
    Form1::setProbe([&](Form1& table, const char* where) {
        if (fired || &table != first) return;
        const std::string w(where);
        const bool dealing = table.img(54)->isVisible();
        const auto& r = table.localTable().round();
        bool now = false;
        if (moment == QStringLiteral("deal")) now = w == "step" && dealing;
        if (moment == QStringLiteral("flight")) now = w == "step" && !dealing;
        if (moment == QStringLiteral("computer-turn")) now = w == "events" && !dealing && r.currentSeat != 1;
        if (moment == QStringLiteral("balloon")) now = w == "balloon";
        if (!now) return;
        fired = true;
        auto act = [&action, &table] {
            if (action.startsWith(QStringLiteral("replay"))) table.menuAction("mnu_replay")->trigger();
            if (action == QStringLiteral("skip")) table.menuAction("mnu_skip")->trigger();
            if (action == QStringLiteral("close")) table.close();
            if (action == QStringLiteral("quit")) table.menuAction("mnu_end")->trigger();
            // Keys right after it reach a table on its way out.
            pressPlayKeys(table);
        };
        if (w != "step") {
            act();
            return;
        }
        // In a flight the command arrives as the player's would: while the
        // step just drawn is held on screen at the real pace.
        program().pauseScale = 1.0;
        const int stepsBefore = table.lastMoveSteps();
        QTimer::singleShot(5, &table, [&, act, stepsBefore] {
            heldStep = table.lastMoveSteps() == stepsBefore;
            program().pauseScale = 0;
            act();
        });
    });
    // Play on until the moment comes (a balloon may need a few turns).
    first->mnu_kaisi_Click();
    settle(first);
    for (int guard = 0; guard < 2000 && !fired && old && old->follower().awaitingMove(); ++guard) {
        if (old->cmdPass()->isEnabled()) old->cmdPass_Click();
        else if (old->cmdOut()->isEnabled()) old->cmdOut_Click();
        else break;
        settle(old);
    }
    QVERIFY(fired);
    QVERIFY2(heldStep, "the command did not arrive while a step was held");
    Form1::setProbe({});
    WindowHarness::flushDeletes();

    QVERIFY(settingsFileReads(h.settingsFile(), h.binDir()));
    if (action == QStringLiteral("skip")) {
        QVERIFY(old);
        QVERIFY(!old->leaving());
        return;
    }
    QVERIFY2(old.isNull(), "the old table is gone");
    const auto tables = WindowHarness::liveTables();
    const auto selections = WindowHarness::liveSelections();
    if (action == QStringLiteral("replay-yes")) {
        QVERIFY(tables.empty());
        QCOMPARE(selections.size(), size_t(1));
        QCOMPARE(sharedState().selectionPhase >= 1, true);
    } else if (action == QStringLiteral("replay-no")) {
        QCOMPARE(tables.size(), size_t(1));
        QCOMPARE(sharedState().roundNumber, 0);
        QVERIFY(tables.front()->menuAction("mnu_kaisi")->isEnabled());
    } else {
        QVERIFY(tables.empty());
        QCOMPARE(h.programEnds, 1);
    }
}

// At every point where play lets events run (a flight, between turns, a
// balloon, a pause) the keys that play a card, pass or drop change nothing,
// the user's own card in flight included.
void LeavingTest::keysWhilePlayRunsDoNothing() {
    WindowHarness h;
    Form1* table = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(table);
    std::map<std::string, int> probed;
    std::vector<std::string> changed;
    Form1::setProbe([&](Form1& t, const char* where) {
        if (t.leaving()) return;
        const RoundState before = t.localTable().round();
        pressPlayKeys(t);
        const RoundState& after = t.localTable().round();
        ++probed[where];
        if (after.hand != before.hand || after.passCount != before.passCount || after.userOut != before.userOut ||
            after.currentSeat != before.currentSeat) {
            changed.push_back(where);
        }
    });
    table->mnu_kaisi_Click();
    settle(table);
    // The user plays a card whenever one can be laid, so that the user's
    // own flights are among the moments.
    for (int guard = 0; guard < 60 && sharedState().roundNumber == 1 && table->follower().awaitingMove(); ++guard) {
        int card = 0;
        for (int n = 1; n <= 53 && card == 0; ++n) {
            if (table->follower().isClickable(n)) card = n;
        }
        if (card != 0) table->img_Click(card);
        else if (table->cmdPass()->isEnabled()) table->cmdPass_Click();
        else table->cmdOut_Click();
        settle(table);
    }
    Form1::setProbe({});
    QVERIFY(sharedState().roundNumber >= 2);
    for (const char* where : {"step", "events", "balloon", "pause"}) QVERIFY2(probed[where] > 0, where);
    QVERIFY2(changed.empty(), changed.empty() ? "" : changed.front().c_str());
}

QTEST_MAIN(LeavingTest)
#include "leaving_test.moc"
