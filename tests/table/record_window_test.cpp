// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The record window (成績) opened from the member selection and from the
// table, read as a screen reader reads it, used from the keyboard and
// reset; a damaged record file; and a real match and a left one at the
// table, as the record file keeps them.
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>

#include "records/record_file.h"
#include "table/card_picture.h"
#include "table/label_grid.h"
#include "table/frm_seiseki.h"
#include "table_test_support.h"
#include "tests/records/played_record.h"

using namespace vantel;
using namespace vantel::test;

class RecordWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensFromTheSelectionAndTheTable();
    void aMatchAtTheTableChangesTheRecord();
};

namespace {

std::filesystem::path recordFile() { return playRecordFile(program().location); }

void writeRaw(const std::filesystem::path& file, const QByteArray& bytes) {
    std::filesystem::create_directories(file.parent_path());
    QFile out(QString::fromStdString(file.string()));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QByteArray readRaw(const std::filesystem::path& file) {
    QFile in(QString::fromStdString(file.string()));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QAccessibleTableInterface* readTable(FrmSeiseki& window) {
    return QAccessible::queryAccessibleInterface(window.figures())->tableInterface();
}

QString cellName(FrmSeiseki& window, int row, int column) {
    return readTable(window)->cellAt(row, column)->text(QAccessible::Name);
}

int boxesTitled(const WindowHarness& h, std::string_view title) {
    return static_cast<int>(std::count_if(h.boxes.begin(), h.boxes.end(), [&](const ShownBox& b) {
        return b.title == QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    }));
}

}  // namespace

void RecordWindowTest::opensFromTheSelectionAndTheTable() {
    WindowHarness h;
    const PlayRecord full = playedRecord(130);
    QVERIFY(changeRecordFile(recordFile(), [&](PlayRecord& r) { r = full; }).written);
    QStringList played;  // what the window showed as all matches played, each time it opened
    std::function<void(FrmSeiseki&)> inside;
    h.onDialog = [&](QDialog& dialog) {
        auto* window = qobject_cast<FrmSeiseki*>(&dialog);
        if (!window) return;
        played << cellName(*window, 1, 5);
        if (inside) inside(*window);
    };

    // From the member selection, by the keyboard: Tab from the pictures
    // reaches 成績を見る first.
    auto* selection = qobject_cast<Frmspl5*>(openMemberSelection());
    QVERIFY(selection && QTest::qWaitForWindowActive(selection));
    inside = [&](FrmSeiseki& w) {
        QAccessibleTableInterface* table = readTable(w);
        QCOMPARE(table->rowCount(), 19);
        QCOMPARE(table->columnDescription(4), QStringLiteral("友達と"));
        QCOMPARE(table->columnDescription(5), QStringLiteral("すべて"));
        QCOMPARE(cellName(w, 1, 4), QString::number(full.friends.played));
        QCOMPARE(cellName(w, 17, 4), QString::number(full.friends.drops));
        QCOMPARE(table->rowDescription(14), QStringLiteral("最高得点"));
        QCOMPARE(cellName(w, 1, 2), QString::number(full.at(Strength::Normal).played));
        QCOMPARE(cellName(w, 12, 3), QString::number(full.at(Strength::Hard).streaks.longestWins));
        QCOMPARE(cellName(w, 14, 5), QString::number(*full.all().bestTotal()));
        // The charts: described, and drawing the hundred listed matches.
        QVERIFY(w.placesView()->accessibleDescription().startsWith(
            QStringLiteral("１位 %1回").arg(full.all().places[1])));
        int marks = 0;
        for (QAbstractSeries* series : w.recentView()->chart()->series()) {
            if (auto* scatter = qobject_cast<QScatterSeries*>(series)) marks += scatter->count();
        }
        QCOMPARE(marks, 100);
        // Every text whole and every chart at its least, inside the window
        // and the window on the screen, at the opening size and maximised.
        for (const bool maximised : {false, true}) {
            maximised ? w.showMaximized() : w.show();
            QTRY_VERIFY(w.isMaximized() == maximised);
            QCoreApplication::processEvents();
            QVERIFY(w.screen()->availableGeometry().contains(w.frameGeometry()));
            const auto whole = [&](QWidget* part) {
                return w.rect().contains(QRect(part->mapTo(&w, QPoint()), part->size())) &&
                       part->width() >= part->minimumSizeHint().width();
            };
            for (QLabel* label : w.findChildren<QLabel*>()) {
                QVERIFY2(whole(label) && label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            }
            for (QWidget* part : {static_cast<QWidget*>(w.recentView()), static_cast<QWidget*>(w.placesView()),
                                  static_cast<QWidget*>(w.resetButton()), static_cast<QWidget*>(w.closeButton())}) {
                QVERIFY(whole(part) && part->width() >= part->minimumWidth() && part->height() >= part->minimumHeight());
            }
        }
        w.showNormal();
        // The keyboard: the focus on 閉じる, Tab to リセット and back.
        w.show();
        QTRY_COMPARE(QApplication::focusWidget(), w.closeButton());
        QTest::keyClick(w.closeButton(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.resetButton());
        QTest::keyClick(w.resetButton(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.closeButton());
    };
    // From the grid, 友達と遊ぶ is the first button of the row, 成績を見る next.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), selection->friendsButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), selection->cmd(5));
    QTest::keyClick(selection->cmd(5), Qt::Key_Space);
    QCOMPARE(played, QStringList{QStringLiteral("130")});

    // From the table's help menu, by its shortcut; reset, cancelled first.
    for (int member = 0; member < 4; ++member) QTest::mouseClick(selection->imag(member), Qt::LeftButton);
    WindowHarness::flushDeletes();
    QCOMPARE(WindowHarness::liveTables().size(), size_t(1));
    Form1* table = WindowHarness::liveTables().front();
    QVERIFY(QTest::qWaitForWindowActive(table));
    inside = [&](FrmSeiseki& w) {
        h.expect(QStringLiteral("成績のリセット"), QMessageBox::Cancel);
        w.resetButton()->click();
        QCOMPARE(peekRecordFile(recordFile()).record, full);
        w.resetButton()->click();
        QCOMPARE(peekRecordFile(recordFile()).record, PlayRecord{});
        QCOMPARE(cellName(w, 1, 5), QStringLiteral("0"));
        QVERIFY(h.lastBox(QStringLiteral("リセット完了！")));
    };
    QTest::keyClick(table, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(played.size(), 2);

    // A damaged file: kept as the .bak, the player told once.
    inside = {};
    writeRaw(recordFile(), QByteArrayLiteral("\x89garbage{"));
    table->menuAction(QStringLiteral("mnu_seiseki"))->trigger();
    table->menuAction(QStringLiteral("mnu_seiseki"))->trigger();
    QCOMPARE(played, (QStringList{"130", "130", "0", "0"}));
    QCOMPARE(boxesTitled(h, kRecordDamagedTitle), 1);
    QCOMPARE(readRaw(damagedRecordCopy(recordFile())), QByteArrayLiteral("\x89garbage{"));
}

void RecordWindowTest::aMatchAtTheTableChangesTheRecord() {
    WindowHarness h;
    // The table finds the record damaged at its first write, says so and plays on.
    writeRaw(recordFile(), QByteArrayLiteral("{\"format\": 1, \"recent\": 7}"));
    h.expect(QStringLiteral("リトライ"), QMessageBox::Yes);
    QPointer<Form1> table = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(table);
    MatchState& state = sharedState();
    state.strength = state.matchStrength = Strength::Easy;

    int rounds = 0, roundsWon = 0, passes = 0, drops = 0, place = 0, total = 0;
    h.onDialog = [&](QDialog& dialog) {
        if (dialog.objectName() == QStringLiteral("Form3")) {
            place = state.finalPlace[1];
            total = state.matchTotal[1];
        }
        if (dialog.objectName() != QStringLiteral("Form2")) return;
        ++rounds;
        if (table->lblpass(0)->text() == QStringLiteral("1番")) ++roundsWon;
        // The second match is left after its second round.
        if (rounds == 12) table->close();
    };
    table->mnu_kaisi_Click();
    settle(table);
    for (int guard = 0; guard < 20000 && table && !table->leaving() && table->follower().awaitingMove(); ++guard) {
        // The user plays the first card that can be laid, else passes, else drops.
        int playable = 0;
        for (int i = 1; i <= 53 && !playable; ++i) playable = table->follower().isClickable(i) ? i : 0;
        if (playable) {
            QTest::mouseClick(table->img(playable), Qt::LeftButton);
        } else if (table->cmdPass()->isEnabled()) {
            ++passes;
            QTest::mouseClick(table->cmdPass(), Qt::LeftButton);
        } else {
            ++drops;
            QTest::mouseClick(table->cmdOut(), Qt::LeftButton);
        }
        settle(table);
    }
    QCOMPARE(rounds, 12);
    QCOMPARE(h.programEnds, 1);

    const RecordLoad read = peekRecordFile(recordFile());
    QCOMPARE(read.status, RecordFileStatus::Read);
    // All at やさしい: the match played, the one left, twelve rounds.
    const StrengthFigures easy = read.record.at(Strength::Easy);
    QCOMPARE(read.record.all().played, 1);
    QCOMPARE(std::tuple(easy.played, easy.left, easy.places[place], easy.totalSum),
             std::tuple(1, 1, 1, total));
    QCOMPARE(std::tuple(easy.rounds, easy.roundsWon, easy.passes, easy.drops),
             std::tuple(12, roundsWon, passes, drops));
    QCOMPARE(read.record.recent.size(), size_t(1));
    const RecentMatch& match = read.record.recent.front();
    QCOMPARE(match.place, place);
    QCOMPARE(match.opponents, (std::array<std::string, 3>{state.seatName[2], state.seatName[3], state.seatName[4]}));
    QCOMPARE(boxesTitled(h, kRecordDamagedTitle), 1);
    QCOMPARE(readRaw(damagedRecordCopy(recordFile())), QByteArrayLiteral("{\"format\": 1, \"recent\": 7}"));
}

QTEST_MAIN(RecordWindowTest)
#include "record_window_test.moc"
