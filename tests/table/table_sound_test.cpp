// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table's music through the real window: the "ＢＧＭ演奏" tick, the table
// music at each round start and its looping from the timer, the round-end
// jingle chosen by the user's place, the match-end cheer and jingle, the
// music stopped when the user declines another match or leaves the table,
// and silence throughout while the music is off. Sound goes to SDL's disk
// driver and is captured on its way to the device.
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include <chrono>
#include <cstdio>

#include "game/cards.h"
#include "table/card_picture.h"
#include "platform/sound/sound_system.h"
#include "table/table_music.h"
#include "table_test_support.h"
#include "tests/sound/sound_test_support.h"

using namespace vantel;
using namespace vantel::test;
using namespace std::chrono_literals;
using soundtest::Capture;

class TableSoundTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tickStartsUncheckedAndSwitchesTheMusic();
    void timerRestartsTheTableMusicOnceItEnded();
    void roundAndMatchEndsPlayTheirPieces();
    void musicOffMeansNoSoundThroughAWholeMatch();
    void startingOverStopsTheMusicAndTheNewTableStartsSilent();
    void closingTheTableInARoundStopsTheMusic();

private:
    Capture capture_;
};

namespace {

constexpr std::int64_t kBuffer = 1024;

// Lets `seconds` of output pass after what was already sent, and tells
// whether that part holds any sound.
bool soundInNext(const Capture& capture, double seconds) {
    // A buffer or two handed over before the last call may still be on its way.
    capture.waitForFrames(capture.frames() + 2 * kBuffer, 5s);
    const std::int64_t from = capture.frames();
    capture.waitForFrames(from + static_cast<std::int64_t>(seconds * sound::kOutputRate), 20s);
    return Capture::measure(capture.since(from)).nonZero > 0;
}

// Sound has reached the device (the soundfont may still be loading at the
// first Play of the process) and goes on.
bool soundGoesOn(const Capture& capture) { return capture.waitForSound(20s).has_value() && soundInNext(capture, 0.3); }

// Plays the user's turn: the lowest raised card, else PASS, else DROP.
void playUserTurn(Form1& table) {
    const TableFollower& engine = table.follower();
    for (int i = 1; i <= kJoker; ++i) {
        if (engine.isClickable(i)) {
            QTest::mouseClick(table.img(i), Qt::LeftButton);
            settle(&table);
            return;
        }
    }
    if (table.cmdPass()->isEnabled()) {
        QTest::mouseClick(table.cmdPass(), Qt::LeftButton);
        settle(&table);
        return;
    }
    QTest::mouseClick(table.cmdOut(), Qt::LeftButton);
    settle(&table);
}

}  // namespace

void TableSoundTest::init() {
    sound::shutdownSound();
    soundtest::useDiskDriver("1");
    capture_.clear();
    capture_.install();
}

void TableSoundTest::cleanup() { sound::shutdownSound(); }

void TableSoundTest::tickStartsUncheckedAndSwitchesTheMusic() {
    WindowHarness h;
    Form1* table = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(table);
    QAction* bgm = table->menuAction(QStringLiteral("mnu_bgm"));
    QVERIFY(bgm->isCheckable());
    QVERIFY(!bgm->isChecked());
    QVERIFY(!table->music().on());
    // The window's load opens the table music without playing it.
    const MatchState& state = sharedState();
    QCOMPARE(table->music().openFile(), state.soundFiles[1]);
    QCOMPARE(table->music().mode(), std::string("STOPPED"));
    QCOMPARE(sound::musicState(), sound::StartState::NotStarted);

    // The first click: the window thread only hands the work over.
    QElapsedTimer clock;
    clock.start();
    bgm->trigger();
    const double firstClickMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::printf("first ＢＧＭ click on the window thread: %.2f ms\n", firstClickMs);
    QVERIFY2(firstClickMs < 100, qPrintable(QString::number(firstClickMs)));
    QVERIFY(bgm->isChecked());
    QVERIFY(table->music().on());
    QVERIFY(table->music().looping());
    QCOMPARE(table->music().mode(), std::string("PLAYING"));
    QVERIFY(capture_.waitForSound(20s).has_value());
    QVERIFY(soundInNext(capture_, 0.5));

    bgm->trigger();
    QVERIFY(!bgm->isChecked());
    QVERIFY(!table->music().on());
    QCOMPARE(table->music().mode(), std::string("STOPPED"));
    QVERIFY(!soundInNext(capture_, 1.0));

    // On again through its shortcut: the piece goes on.
    QTest::keyClick(table, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(bgm->isChecked());
    QCOMPARE(table->music().mode(), std::string("PLAYING"));
    QVERIFY(soundInNext(capture_, 0.5));
}

void TableSoundTest::timerRestartsTheTableMusicOnceItEnded() {
    WindowHarness h;
    Form1* table = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(table);
    table->menuAction(QStringLiteral("mnu_bgm"))->trigger();
    QCOMPARE(table->music().mode(), std::string("PLAYING"));
    // The piece has come to its end (stopped) while the music is still on:
    // the one-second timer starts it again.
    table->music().stop();
    QCOMPARE(table->music().mode(), std::string("STOPPED"));
    QTRY_COMPARE_WITH_TIMEOUT(table->music().mode(), std::string("PLAYING"), 3000);
    QVERIFY(soundGoesOn(capture_));

    // Switched off, the timer leaves it stopped.
    table->menuAction(QStringLiteral("mnu_bgm"))->trigger();
    QTest::qWait(1300);
    QCOMPARE(table->music().mode(), std::string("STOPPED"));
}

void TableSoundTest::roundAndMatchEndsPlayTheirPieces() {
    WindowHarness h;
    Form1* found = h.chooseMembers(2, {1, 3, 4});
    QVERIFY(found);
    Form1& table = *found;
    MatchState& state = sharedState();
    table.menuAction(QStringLiteral("mnu_bgm"))->trigger();

    int rounds = 0, wonRounds = 0, lostRounds = 0, matches = 0, wonMatches = 0, lostMatches = 0;
    bool roundStartChecked = false;
    h.onDialog = [&](QDialog& dialog) {
        const QString name = dialog.objectName();
        if (name == QStringLiteral("Form2")) {
            // The round-end jingle is playing by the time the results show.
            ++rounds;
            const bool first = table.lblpass(0)->text() == QStringLiteral("1番");
            (first ? wonRounds : lostRounds) += 1;
            QCOMPARE(table.music().openFile(), state.soundFiles[first ? 2 : 3]);
            QVERIFY(!table.music().looping());
            QCOMPARE(table.music().mode(), std::string("PLAYING"));
            // The computers usually win the match; once one has been lost,
            // the next is handed to the user before its last round so that
            // the won screen comes too.
            if (state.roundNumber == 9 && lostMatches > 0 && wonMatches == 0) state.matchTotal[1] += 100000;
        } else if (name == QStringLiteral("frmSpl4") || name == QStringLiteral("frmspl2")) {
            // The cheer and the jingle start together with the won or lost screen.
            ++matches;
            const bool won = name == QStringLiteral("frmSpl4");
            QCOMPARE(won, state.finalPlace[1] == 1);
            (won ? wonMatches : lostMatches) += 1;
            QCOMPARE(table.music().lastEffect(), state.soundFiles[won ? 6 : 7]);
            QCOMPARE(table.music().openFile(), state.soundFiles[won ? 4 : 5]);
            QCOMPARE(table.music().mode(), std::string("PLAYING"));
            QVERIFY(sound::soundEffectPlaying());
            const bool again =
                matches < 8 && (wonRounds == 0 || lostRounds == 0 || wonMatches == 0 || lostMatches == 0);
            h.expect(QStringLiteral("リトライ"), again ? QMessageBox::Yes : QMessageBox::No);
        } else if (name == QStringLiteral("frmspl3")) {
            // The announcement comes before the match-end music.
            const std::string open = table.music().openFile();
            QVERIFY(open == state.soundFiles[2] || open == state.soundFiles[3]);
        }
    };

    table.mnu_kaisi_Click();
    settle(&table);
    for (int guard = 0; guard < 80000 && table.follower().awaitingMove(); ++guard) {
        // Whenever the user is to play, the table music of the round loops.
        QCOMPARE(table.music().openFile(), state.soundFiles[1]);
        QVERIFY(table.music().looping());
        roundStartChecked = true;
        playUserTurn(table);
    }
    QVERIFY(!table.follower().awaitingMove());
    QVERIFY(roundStartChecked);
    QCOMPARE(rounds, matches * 10);
    QVERIFY(matches >= 1);
    QVERIFY2(wonRounds > 0 && lostRounds > 0,
             qPrintable(QStringLiteral("won %1 lost %2").arg(wonRounds).arg(lostRounds)));
    QVERIFY(wonMatches > 0 && lostMatches > 0);
    std::printf("rounds won %d, lost %d; matches won %d, lost %d\n", wonRounds, lostRounds, wonMatches,
                lostMatches);

    // Declining another match stops the jingle.
    QVERIFY(table.menuAction(QStringLiteral("mnu_kaisi"))->isEnabled());
    QCOMPARE(table.music().mode(), std::string("STOPPED"));
    sound::stopSoundEffect();
    QVERIFY(!soundInNext(capture_, 1.0));
    QVERIFY(table.music().on());
}

void TableSoundTest::musicOffMeansNoSoundThroughAWholeMatch() {
    WindowHarness h;
    Form1* found = h.chooseMembers(3, {1, 2, 4});
    QVERIFY(found);
    Form1& table = *found;
    int rounds = 0;
    h.onDialog = [&](QDialog& dialog) {
        if (dialog.objectName() == QStringLiteral("Form2")) ++rounds;
    };
    h.expect(QStringLiteral("リトライ"), QMessageBox::No);
    table.mnu_kaisi_Click();
    settle(&table);
    for (int guard = 0; guard < 20000 && table.follower().awaitingMove(); ++guard) playUserTurn(table);
    QCOMPARE(rounds, 10);
    QVERIFY(table.music().lastEffect().empty());
    QCOMPARE(table.music().openFile(), sharedState().soundFiles[1]);
    QCOMPARE(table.music().mode(), std::string("STOPPED"));
    // Nothing even opened the sound device.
    QCOMPARE(sound::deviceState(), sound::StartState::NotStarted);
    QCOMPARE(capture_.frames(), std::int64_t(0));
}

void TableSoundTest::startingOverStopsTheMusicAndTheNewTableStartsSilent() {
    WindowHarness h;
    Form1* first = h.chooseMembers(1, {2, 3, 4});
    QVERIFY(first);
    first->menuAction(QStringLiteral("mnu_bgm"))->trigger();
    QVERIFY(soundGoesOn(capture_));
    h.expect(QStringLiteral("最初から始める"), QMessageBox::No);  // the same members
    first->menuAction(QStringLiteral("mnu_replay"))->trigger();
    WindowHarness::flushDeletes();
    auto tables = WindowHarness::liveTables();
    QCOMPARE(tables.size(), size_t(1));
    Form1* second = tables.front();
    QVERIFY(second != first);
    QVERIFY(!soundInNext(capture_, 1.0));
    QVERIFY(!second->menuAction(QStringLiteral("mnu_bgm"))->isChecked());
    QVERIFY(!second->music().on());
    QCOMPARE(second->music().mode(), std::string("STOPPED"));

    // Quitting with the music on ends it too.
    second->menuAction(QStringLiteral("mnu_bgm"))->trigger();
    QVERIFY(soundGoesOn(capture_));
    second->menuAction(QStringLiteral("mnu_end"))->trigger();
    WindowHarness::flushDeletes();
    QCOMPARE(h.programEnds, 1);
    QVERIFY(WindowHarness::liveTables().empty());
    QVERIFY(!soundInNext(capture_, 1.0));
}

void TableSoundTest::closingTheTableInARoundStopsTheMusic() {
    WindowHarness h;
    Form1* found = h.chooseMembers(4, {1, 2, 3});
    QVERIFY(found);
    QPointer<Form1> table = found;
    table->menuAction(QStringLiteral("mnu_bgm"))->trigger();
    int computerTurns = 0;
    Form1::setProbe([&](Form1& t, const char* where) {
        // The window is closed while a computer's card is in flight.
        if (std::string(where) == "step" && !t.follower().awaitingMove() && ++computerTurns == 20) t.close();
    });
    table->mnu_kaisi_Click();
    settle(table);
    for (int guard = 0; guard < 20000 && table && !table->leaving() && table->follower().awaitingMove(); ++guard) {
        playUserTurn(*table);
    }
    Form1::setProbe({});
    WindowHarness::flushDeletes();
    QVERIFY(computerTurns >= 20);
    QVERIFY(!table);
    QCOMPARE(h.programEnds, 1);
    QVERIFY(!soundInNext(capture_, 1.0));
    QVERIFY(settingsFileReads(h.settingsFile(), h.binDir()));
}

QTEST_MAIN(TableSoundTest)
#include "table_sound_test.moc"
