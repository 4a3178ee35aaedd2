// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game without a mouse, and what a screen reader is told: the member
// selection and a whole round played with key presses only, the small
// windows closed from the keyboard, and the accessible names, states and
// tables of the windows.
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

#include "game/search/search_player.h"
#include "records/settings.h"
#include "table/card_picture.h"
#include "table/focus_overlay.h"
#include "table/form2.h"
#include "table/form3.h"
#include "table/frm_seiseki.h"
#include "table/frm_splash.h"
#include "table/frm_tip.h"
#include "table_test_support.h"

using namespace vantel;
using namespace vantel::test;

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void selectionAndRoundFromTheKeyboard();
    void smallWindowsCloseWithEnterAndEscape();
    void screenReaderNamesOfADealtHand();
    void speechIsAnnouncedAndLeavesTheFocus();
    void strengthBetweenMatchesAndTheHint();
};

namespace {

// Where a key typed now goes: the focused widget, else the window.
void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
    // The table plays on by itself until it waits for the user again.
    if (auto* table = qobject_cast<Form1*>(window)) settle(table);
}

std::vector<CardPicture*> playable(const Form1& t) {
    std::vector<CardPicture*> cards;
    for (int n = 1; n <= 53; ++n) {
        if (t.img(n)->isEnabled() && t.img(n)->isVisible()) cards.push_back(t.img(n));
    }
    std::sort(cards.begin(), cards.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    return cards;
}

bool inUserHand(const Form1& t, int card) {
    const auto& hand = t.localTable().round().hand[1];
    return std::find(hand.begin(), hand.end(), card) != hand.end();
}

QString nameOf(QObject* object, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(text) : QString();
}

}  // namespace

void KeyboardTest::selectionAndRoundFromTheKeyboard() {
    WindowHarness h;
    auto* selection = qobject_cast<Frmspl5*>(openMemberSelection());
    QVERIFY(selection);
    QVERIFY(QTest::qWaitForWindowActive(selection));
    QTRY_COMPARE(QApplication::focusWidget(), selection->imag(0));
    // Tab: the grid is one stop, then the buttons as they stand, left to
    // right (友達と遊ぶ, 成績を見る, オプション, ランキングを見る, 閉じる, 素材初期化),
    // and round again.
    QVERIFY(selection->friendsButton()->isVisible());
    const std::vector<QWidget*> stops = {selection->friendsButton(), selection->cmd(5), selection->cmd(3), selection->cmd(2),
                                         selection->cmd(1), selection->cmd(4), selection->imag(0)};
    for (QWidget* stop : stops) {
        press(selection, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), stop);
    }
    press(selection, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), selection->cmd(4));
    press(selection, Qt::Key_Tab);
    // The arrows move along the row and round its ends; with one row of
    // four there is nothing above or below.
    press(selection, Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), selection->imag(1));
    press(selection, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), selection->imag(1));
    press(selection, Qt::Key_Left);
    press(selection, Qt::Key_Left);
    QCOMPARE(QApplication::focusWidget(), selection->imag(3));
    press(selection, Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), selection->imag(0));
    // Enter picks the user's member, with the same prompts as a click; the
    // arrows then pass over it, and Space picks the three computers.
    QAccessibleInterface* first = QAccessible::queryAccessibleInterface(selection->imag(0));
    QCOMPARE(first->text(QAccessible::Name), QString::fromStdString(sharedState().memberName[1]));
    QVERIFY(!first->state().checked);
    press(selection, Qt::Key_Return);
    QCOMPARE(selection->selectionStage(), 2);
    QVERIFY(!selection->imag(0)->isEnabled());
    QVERIFY(first->state().checked && first->state().disabled);
    for (int member = 2; member <= 4; ++member) {
        if (QApplication::focusWidget() != selection->imag(member - 1)) press(selection, Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), selection->imag(member - 1));
        press(selection, Qt::Key_Space);
    }
    QVERIFY(h.lastBox(QStringLiteral("プレイヤー確認")));
    QVERIFY(h.lastBox(QStringLiteral("コンピュータ確認")));
    WindowHarness::flushDeletes();
    const auto tables = WindowHarness::liveTables();
    QCOMPARE(tables.size(), size_t(1));
    Form1* t = tables.front();
    QCOMPARE(sharedState().seatMember[1], int16_t(1));
    QCOMPARE(sharedState().seatMember[4], int16_t(4));
    QVERIFY(QTest::qWaitForWindowActive(t));

    // A round, keys only. At each turn the focus starts on the first
    // playable card, else PASS, else DROP, and never on a disabled control.
    press(t, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(sharedState().roundNumber, 1);
    int turns = 0, cardsLaid = 0, passes = 0;
    while (sharedState().roundNumber == 1 && turns < 100) {
        QVERIFY(t->follower().awaitingMove());
        ++turns;
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus && focus->isEnabled(), focus ? qPrintable(focus->objectName()) : "no focus");
        const auto cards = playable(*t);
        if (!cards.empty()) {
            QCOMPARE(focus, cards.front());
            // Round the playable cards both ways, and to either end.
            press(t, Qt::Key_Left);
            QCOMPARE(QApplication::focusWidget(), cards.back());
            press(t, Qt::Key_Right);
            QCOMPARE(QApplication::focusWidget(), cards.front());
            press(t, Qt::Key_End);
            QCOMPARE(QApplication::focusWidget(), cards.back());
            press(t, Qt::Key_Home);
            // Tab: the cards are one stop, then PASS (DROP is shut while
            // PASS is open), and back.
            if (t->cmdPass()->isEnabled()) {
                press(t, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), t->cmdPass());
                press(t, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), cards.front());
                press(t, Qt::Key_Backtab);
                QCOMPARE(QApplication::focusWidget(), t->cmdPass());
                press(t, Qt::Key_Right);
                QCOMPARE(QApplication::focusWidget(), cards.front());
            }
            if (cards.size() > 1) {
                press(t, Qt::Key_Right);
                QCOMPARE(QApplication::focusWidget(), cards[1]);
            }
            const int card = static_cast<CardPicture*>(QApplication::focusWidget())->index();
            press(t, turns % 2 ? Qt::Key_Return : Qt::Key_Space);
            QVERIFY(!inUserHand(*t, card) || sharedState().roundNumber != 1);
            ++cardsLaid;
        } else if (t->cmdPass()->isEnabled()) {
            QCOMPARE(focus, t->cmdPass());
            const int before = t->localTable().round().passCount[1];
            press(t, passes % 2 ? Qt::Key_P : Qt::Key_Return);
            QVERIFY(t->localTable().round().passCount[1] == before + 1 || sharedState().roundNumber != 1);
            ++passes;
        } else {
            QCOMPARE(focus, t->cmdOut());
            press(t, Qt::Key_D);
            QVERIFY(sharedState().roundNumber != 1 || t->localTable().round().userOut == 1);
        }
    }
    QVERIFY2(sharedState().roundNumber == 2, "the round did not end");
    QVERIFY(std::count(h.dialogs.begin(), h.dialogs.end(), QStringLiteral("Form2")) == 1);
    QVERIFY(cardsLaid + passes > 0);
    std::printf("a round from the keyboard: %d turns, %d cards laid, %d passes\n", turns, cardsLaid, passes);
}

void KeyboardTest::smallWindowsCloseWithEnterAndEscape() {
    WindowHarness h;
    Form1* t = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(t);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        Form2 results(t);
        results.activate(sharedState());
        Form3 ranking(sharedState(), t);
        FrmTip rules(t);
        FrmAbout about(t);
        FrmSeiseki record(PlayRecord{}, playRecordFile(program().location), t);
        for (QDialog* dialog : std::initializer_list<QDialog*>{&results, &ranking, &rules, &about, &record}) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            press(dialog, key);
            QVERIFY2(!dialog->isVisible(), qPrintable(dialog->objectName()));
        }
    }
}

void KeyboardTest::screenReaderNamesOfADealtHand() {
    QCOMPARE(cardSpokenName(27 + 6), QStringLiteral("ハートの7"));
    QCOMPARE(cardSpokenName(52), QStringLiteral("スペードのK"));
    QCOMPARE(cardSpokenName(1), QStringLiteral("ダイヤのA"));
    QCOMPARE(cardSpokenName(14 + 9), QStringLiteral("クラブの10"));
    QCOMPARE(cardSpokenName(53), QStringLiteral("ジョーカー"));

    WindowHarness h;
    Form1* t = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(t);
    t->mnu_kaisi_Click();
    settle(t);
    QVERIFY(t->follower().awaitingMove());
    // Every card of the user's hand: its name, and whether it can be laid.
    int raised = 0;
    for (const int card : t->localTable().round().hand[1]) {
        if (card == 0) continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(t->img(card));
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Button);
        QCOMPARE(iface->text(QAccessible::Name), cardSpokenName(card));
        const bool canLay = t->follower().isClickable(card);
        raised += canLay;
        QCOMPARE(!iface->state().disabled, canLay);
        QCOMPARE(iface->text(QAccessible::Description),
                 canLay ? QStringLiteral("出せるカード") : QStringLiteral("手札"));
        QCOMPARE(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()), canLay);
    }
    // The sevens lie on the table.
    QCOMPARE(nameOf(t->img(7), QAccessible::Description), QStringLiteral("場のカード"));
    QAccessibleInterface* back = QAccessible::queryAccessibleInterface(t->img(67));
    QCOMPARE(back->text(QAccessible::Name), QStringLiteral("裏向きのカード"));
    QCOMPARE(back->role(), QAccessible::Graphic);
    // Pressing a playable card through the screen reader lays it.
    if (raised > 0) {
        CardPicture* first = playable(*t).front();
        QAccessible::queryAccessibleInterface(first)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QVERIFY(!inUserHand(*t, first->index()) || sharedState().roundNumber != 1);
    }

    // The labels say whose they are and what they count.
    const MatchState& s = sharedState();
    const QString user = QString::fromStdString(s.seatName[1]);
    QCOMPARE(nameOf(t->lblten(0)), user + QStringLiteral("の合計%1点").arg(s.matchTotal[1]));
    QVERIFY(nameOf(t->lblpass(0)).startsWith(user + QStringLiteral("の")));
    QVERIFY(nameOf(t->lblname(0), QAccessible::Description).startsWith(QStringLiteral("合計")));
    if (t->localTable().round().passCount[2] > 0 && t->localTable().round().cardsLeft[2] > 0) {
        QCOMPARE(nameOf(t->lblpass(1)),
                 QString::fromStdString(s.seatName[2]) +
                     QStringLiteral("のパス%1回").arg(t->localTable().round().passCount[2]));
    }
    QCOMPARE(nameOf(t->lblkai()), QStringLiteral("回戦 1回戦（全10回戦）"));
    QCOMPARE(nameOf(t->lblscore()), QStringLiteral("ハイスコア %1点").arg(s.hiScore));
    QCOMPARE(nameOf(t->cmdPass()), QStringLiteral("PASS"));
    QVERIFY(!nameOf(t->cmdOut(), QAccessible::Description).isEmpty());

    // The result table and the ranking read as tables, headers first.
    Form2 results(t);
    results.activate(s);
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(results.findChild<QWidget*>("resultTable"));
    QVERIFY(grid && grid->tableInterface());
    QCOMPARE(grid->role(), QAccessible::Table);
    QCOMPARE(grid->tableInterface()->rowCount(), 13);
    QCOMPARE(grid->tableInterface()->columnCount(), 5);
    QAccessibleInterface* cell = grid->tableInterface()->cellAt(11, 1);
    QVERIFY(cell && cell->tableCellInterface());
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->text(QAccessible::Name), results.lblten(1, 10)->text());
    QCOMPARE(cell->tableCellInterface()->rowIndex(), 11);
    QCOMPARE(cell->tableCellInterface()->columnHeaderCells().front()->text(QAccessible::Name), user);
    QCOMPARE(cell->tableCellInterface()->rowHeaderCells().front()->text(QAccessible::Name), QStringLiteral("合計"));
    QCOMPARE(grid->tableInterface()->rowDescription(12), QStringLiteral("順位"));
    QCOMPARE(grid->indexOfChild(cell), 11 * 5 + 1);
    Form3 ranking(s, t);
    QAccessibleInterface* best = QAccessible::queryAccessibleInterface(ranking.findChild<QWidget*>("rankingTable"));
    QVERIFY(best && best->tableInterface());
    QCOMPARE(best->tableInterface()->rowCount(), 11);
    QCOMPARE(best->tableInterface()->columnDescription(1), QStringLiteral("得点"));
    QCOMPARE(best->tableInterface()->cellAt(1, 1)->text(QAccessible::Name), QString::number(s.rankPoints[1]));
    QCOMPARE(best->tableInterface()->cellAt(0, 3)->role(), QAccessible::ColumnHeader);
}

void KeyboardTest::speechIsAnnouncedAndLeavesTheFocus() {
    WindowHarness h;
    Form1* t = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(t);
    QVERIFY(QTest::qWaitForWindowActive(t));
    t->cmdPass()->setEnabled(true);
    t->cmdPass()->setFocus();
    // While the window is up, a screen reader finds a notification that
    // says what the window shows.
    QWidget* focusDuring = nullptr;
    QWidget* activeDuring = nullptr;
    QString heard;
    QAccessible::Role role = QAccessible::NoRole;
    t->showBalloon(3, "はるか\r\nパスします・・・");
    QTest::qWait(50);
    focusDuring = QApplication::focusWidget();
    activeDuring = QApplication::activeWindow();
    QAccessibleInterface* speech = QAccessible::queryAccessibleInterface(t->speechWindow());
    heard = speech->text(QAccessible::Name);
    role = speech->role();
    t->hideBalloon();
    QCOMPARE(heard, QStringLiteral("はるか、パスします・・・"));
    QCOMPARE(role, QAccessible::Notification);
    QCOMPARE(activeDuring, static_cast<QWidget*>(t));
    QCOMPARE(focusDuring, static_cast<QWidget*>(t->cmdPass()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t->cmdPass()));
}

QTEST_MAIN(KeyboardTest)
void KeyboardTest::strengthBetweenMatchesAndTheHint() {
    WindowHarness h;
    const SearchBudget budget = SearchBudget::ofPlayouts(80);
    Form1::setSearchForTests(budget, 7);
    h.expect(QStringLiteral("リトライ"), QMessageBox::No);
    Form1* t = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(t);
    QVERIFY(QTest::qWaitForWindowActive(t));
    MatchState& state = sharedState();

    // A file without the key plays ふつう; a choice is kept in the file.
    QVERIFY(t->strengthAction(Strength::Normal)->isChecked());
    QVERIFY(t->strengthMenu()->menuAction()->isEnabled());
    t->strengthAction(Strength::Easy)->trigger();
    QVERIFY(t->strengthAction(Strength::Easy)->isChecked());
    QVERIFY(!t->strengthAction(Strength::Normal)->isChecked());
    MatchState fresh;
    QVERIFY(readSettings(fresh, program().location).ok());
    QCOMPARE(fresh.strength, Strength::Easy);
    QVERIFY(!t->menuAction(QStringLiteral("mnu_hint"))->isEnabled());
    press(t, Qt::Key_H);

    // From the start of the match to its end the strength stays.
    press(t, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(state.matchStrength, Strength::Easy);
    QVERIFY(!t->strengthMenu()->menuAction()->isEnabled());
    t->strengthAction(Strength::Hard)->trigger();
    QCOMPARE(state.strength, Strength::Easy);
    QVERIFY(t->strengthAction(Strength::Easy)->isChecked());

    // At each turn H moves the focus where the search player would play,
    // and nothing else changes; the frame rings a card above the fan.
    QAction* hint = t->menuAction(QStringLiteral("mnu_hint"));
    int hints = 0, ringed = 0;
    while (state.roundNumber != 0) {
        QVERIFY(t->follower().awaitingMove());
        QVERIFY(hint->isEnabled());
        const RoundState before = t->localTable().round();
        const TurnMove expected = searchMove(*t->follower().knowledge(), budget, 7).move;
        QWidget* target = expected.kind == TurnMove::Card   ? static_cast<QWidget*>(t->img(expected.card))
                          : expected.kind == TurnMove::Pass ? static_cast<QWidget*>(t->cmdPass())
                                                            : static_cast<QWidget*>(t->cmdOut());
        if (hints < 12) {
            press(t, Qt::Key_H);
            QTRY_COMPARE(QApplication::focusWidget(), target);
            ++hints;
            QCOMPARE(t->localTable().round().hand, before.hand);
            QCOMPARE(t->localTable().round().table, before.table);
            QCOMPARE(t->localTable().round().passCount, before.passCount);
            if (expected.kind == TurnMove::Card) {
                FocusOverlay* frame = t->focusOverlay();
                QVERIFY(frame->isVisible());
                QCOMPARE(frame->geometry(), target->geometry().adjusted(-FocusOverlay::kBand, -FocusOverlay::kBand,
                                                                         FocusOverlay::kBand, FocusOverlay::kBand));
                QCOMPARE(t->surface()->children().last(), frame);
                ++ringed;
            }
        }
        press(t, expected.kind == TurnMove::Card ? Qt::Key_Return
                 : expected.kind == TurnMove::Pass ? Qt::Key_P : Qt::Key_D);
    }
    QCOMPARE(hints, 12);
    QVERIFY(ringed > 0);
    QVERIFY(!hint->isEnabled());
    QVERIFY(!t->focusOverlay()->isVisible());

    // The match was at やさしい: neither the ranking nor the high score
    // took it. The strength can be chosen again.
    QVERIFY(readSettings(fresh, program().location).ok());
    QCOMPARE(fresh.hiScore, int16_t(100));
    for (int row = 1; row <= 10; ++row) QVERIFY(fresh.rankName[row].empty());
    QVERIFY(t->strengthMenu()->menuAction()->isEnabled());
    Form1::setSearchForTests(std::nullopt);
}

#include "keyboard_test.moc"
