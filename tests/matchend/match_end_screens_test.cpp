// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The match-end screens' texts, the seat each shows, their label and how a
// click or a key closes them.
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "matchend/match_end_screens.h"
#include "matchend/zorvix_binding.h"
#include "matchend_test_support.h"

using namespace vantel::matchend;
using matchend_test::Fixture;

namespace {

const QString kCongratulations = QStringLiteral("やったね！　おめでとうございます！");
const QString kPity = QStringLiteral("うーん、残念。");

// The screen shows picture `picture` of `member` with the band darkened.
bool showsPortrait(const MatchEndWindow& screen, const Fixture& fixture, int member, int picture) {
    const QImage original = matchend_test::asWindowPicture(QImage(fixture.portraitPath(member, picture)));
    return screen.showsMemberPortrait() && matchend_test::showsBandedPicture(screen.picture(), original);
}

struct ClickOutcome {
    bool clicked = false;
    bool closedByGuard = false;
};

// Runs `show` and, once its window is up, clicks it at `where` with
// `button`s in turn; a window still open two seconds later is closed and
// reported.
ClickOutcome runAndClick(const std::function<void()>& show, QPoint where,
                         std::vector<Qt::MouseButton> buttons = {Qt::LeftButton}) {
    ClickOutcome outcome;
    QTimer::singleShot(50, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || window->windowHandle() == nullptr) return;
        // Through the platform window, so the click lands on whatever
        // widget lies at that point, as a real one would.
        for (Qt::MouseButton button : buttons) QTest::mouseClick(window->windowHandle(), button, {}, where);
        outcome.clicked = true;
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            outcome.closedByGuard = true;
            dialog->reject();
        }
    });
    guard.start(2000);
    show();
    return outcome;
}

}  // namespace

class MatchEndWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        vantel::zorvix::setLibrarySearch({VANTEL_ZORVIX_DIR, false});
    }

    // frmspl3 --------------------------------------------------------------

    void announcementCaption_data() {
        QTest::addColumn<int>("rank");
        QTest::addColumn<int>("shownSex");
        QTest::addColumn<QString>("winnerLine");
        QTest::addColumn<QString>("expected");
        // Seat 2 (あやや) won; seat 3 is shown and speaks line 6.
        QTest::newRow("no entry, female line")
            << 0 << 1 << QString() << kCongratulations + QStringLiteral("\r\nあややさんが今回の優勝者です！");
        QTest::newRow("no entry, male line")
            << 0 << 2 << QString() << kCongratulations + QStringLiteral("\r\nあややさんが今回の優勝者だ！");
        QTest::newRow("no entry, a line with a full stop")
            << 0 << 2 << QStringLiteral("さんが優勝。おめでとう。またね")
            << kCongratulations + QStringLiteral("\r\nあややさんが優勝。\r\nおめでとう。またね");
        QTest::newRow("no entry, an empty line") << 0 << 2 << QStringLiteral("")
                                                 << kCongratulations + QStringLiteral("\r\nあやや");
        QTest::newRow("high score") << 1 << 2 << QString()
                                    << kCongratulations + QStringLiteral("\r\nあややさんが\r\nハイスコアです！");
        for (int rank = 2; rank <= 10; ++rank) {
            QTest::addRow("ranking place %d", rank)
                << rank << 1 << QString()
                << kCongratulations + QStringLiteral("\r\nあややさんが\r\n%1位にランクインしました！").arg(rank);
        }
        QTest::newRow("rank 11 adds nothing") << 11 << 1 << QString() << kCongratulations;
        QTest::newRow("rank -1 adds nothing") << -1 << 1 << QString() << kCongratulations;
    }

    void announcementCaption() {
        QFETCH(int, rank);
        QFETCH(int, shownSex);
        QFETCH(QString, winnerLine);
        QFETCH(QString, expected);
        Fixture fixture;
        fixture.setPlaces(2, 1, 3, 4);
        fixture.state.rankInPosition = rank;
        fixture.state.rankInSeat = 2;
        fixture.state.seatSex[3] = static_cast<int16_t>(shownSex);
        if (!winnerLine.isNull()) {
            fixture.state.femaleLines[6] = winnerLine.toStdString();
            fixture.state.maleLines[6] = winnerLine.toStdString();
        }
        Frmspl3 screen(fixture.state);
        QCOMPARE(screen.shownSeat(), 3);
        QCOMPARE(screen.caption(), expected);
        QCOMPARE(screen.label()->text(), QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void announcementSeat_data() {
        QTest::addColumn<QList<int>>("places");
        QTest::addColumn<int>("seat");
        QTest::newRow("user won alone") << QList<int>{1, 2, 3, 4} << 2;
        QTest::newRow("user and seat 2 tied") << QList<int>{1, 1, 3, 4} << 3;
        QTest::newRow("user and seat 3 tied") << QList<int>{1, 2, 1, 4} << 2;
        QTest::newRow("seat 2 won") << QList<int>{2, 1, 3, 4} << 3;
        QTest::newRow("seats 2 and 3 tied") << QList<int>{3, 1, 1, 4} << 4;
        QTest::newRow("seats 2, 3 and 4 tied") << QList<int>{4, 1, 1, 1} << 4;
        QTest::newRow("seat 4 won") << QList<int>{2, 3, 4, 1} << 2;
    }

    void announcementSeat() {
        QFETCH(QList<int>, places);
        QFETCH(int, seat);
        Fixture fixture;
        fixture.setPlaces(places[0], places[1], places[2], places[3]);
        Frmspl3 screen(fixture.state);
        QCOMPARE(screen.shownSeat(), seat);
        QVERIFY(showsPortrait(screen, fixture, seat, 4));
    }

    // frmSpl4 --------------------------------------------------------------

    void userWonCaptionAndSeat_data() {
        QTest::addColumn<QList<int>>("places");
        QTest::addColumn<int>("shownSex");
        QTest::addColumn<int>("seat");
        QTest::addColumn<QString>("expected");
        const QString female = QStringLiteral("今回は私たちの負けね・・・");
        const QString male = QStringLiteral("今回は俺達の負けだな・・・");
        QTest::newRow("alone, female") << QList<int>{1, 2, 3, 4} << 1 << 4 << female;
        QTest::newRow("alone, male") << QList<int>{1, 2, 3, 4} << 2 << 4 << male;
        QTest::newRow("sex 0 speaks the male set") << QList<int>{1, 2, 3, 4} << 0 << 4 << male;
        QTest::newRow("tied with seat 4") << QList<int>{1, 2, 3, 1} << 1 << 3 << female;
        QTest::newRow("tied with seats 4 and 3") << QList<int>{1, 2, 1, 1} << 2 << 2 << male;
        QTest::newRow("four tied") << QList<int>{1, 1, 1, 1} << 1 << 2 << female;
        QTest::newRow("tied with seat 2") << QList<int>{1, 1, 3, 4} << 2 << 4 << male;
    }

    void userWonCaptionAndSeat() {
        QFETCH(QList<int>, places);
        QFETCH(int, shownSex);
        QFETCH(int, seat);
        QFETCH(QString, expected);
        Fixture fixture;
        fixture.setPlaces(places[0], places[1], places[2], places[3]);
        fixture.state.seatSex[static_cast<std::size_t>(seat)] = static_cast<int16_t>(shownSex);
        FrmSpl4 screen(fixture.state);
        QCOMPARE(screen.objectName(), QStringLiteral("frmSpl4"));
        QCOMPARE(screen.label()->objectName(), QStringLiteral("Label1"));
        QCOMPARE(screen.shownSeat(), seat);
        QCOMPARE(screen.caption(), expected);
        QCOMPARE(screen.label()->text(), expected);
        QVERIFY(showsPortrait(screen, fixture, seat, 2));
    }

    // frmspl2 --------------------------------------------------------------

    void computerWonCaption_data() {
        QTest::addColumn<int>("userPlace");
        QTest::addColumn<int>("winnerSex");
        QTest::addColumn<QString>("expected");
        QTest::newRow("second, female") << 2 << 1
                                        << kPity + QStringLiteral("２番でした・・・\r\n\r\nんー、もうちょっとでしたね。\r\n"
                                                                  "次は１番目指して頑張ってね！");
        QTest::newRow("second, male") << 2 << 2
                                      << kPity + QStringLiteral("２番でした・・・\r\n\r\nんー、もうちょっとだったな。\r\n"
                                                                "次は１番目指して頑張れよ！");
        QTest::newRow("third, female") << 3 << 1
                                       << kPity + QStringLiteral("３番でした・・・\r\n\r\nはー、まだまだ青いですね。\r\n"
                                                                 "次は気合入れて頑張ってね！");
        QTest::newRow("third, male") << 3 << 2
                                     << kPity + QStringLiteral("３番でした・・・\r\n\r\nはー、まだまだ青いな。\r\n"
                                                               "次は気合入れて頑張りな！");
        QTest::newRow("fourth, female") << 4 << 1
                                        << kPity + QStringLiteral("４番でした・・・\r\n\r\nあーあ、バリシケですね。\r\n"
                                                                  "顔を洗って出直してきてね！");
        QTest::newRow("fourth, male") << 4 << 2
                                      << kPity + QStringLiteral("４番でした・・・\r\n\r\nあーあ、バリシケじゃん。\r\n"
                                                                "顔を洗って出直してきな！");
        QTest::newRow("place 1 adds nothing") << 1 << 1 << kPity;
        QTest::newRow("place 5 adds nothing") << 5 << 1 << kPity;
        QTest::newRow("place 0 adds nothing") << 0 << 2 << kPity;
    }

    void computerWonCaption() {
        QFETCH(int, userPlace);
        QFETCH(int, winnerSex);
        QFETCH(QString, expected);
        Fixture fixture;
        fixture.setPlaces(userPlace, 2, 1, 3);  // seat 3 won
        fixture.state.seatSex[3] = static_cast<int16_t>(winnerSex);
        // The other seats speak the other set, so a wrong speaker shows.
        const int16_t other = winnerSex == 1 ? 2 : 1;
        fixture.state.seatSex[2] = other;
        fixture.state.seatSex[4] = other;
        Frmspl2 screen(fixture.state);
        QCOMPARE(screen.objectName(), QStringLiteral("frmspl2"));
        QCOMPARE(screen.label()->objectName(), QStringLiteral("Label2"));
        QCOMPARE(screen.shownSeat(), 3);
        QCOMPARE(screen.caption(), expected);
        QCOMPARE(screen.label()->text(), QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void computerWonLineWithoutFullStopIsUnchanged() {
        Fixture fixture;
        fixture.setPlaces(2, 1, 3, 4);
        fixture.state.femaleLines[7] = "次は頑張ってね！";
        Frmspl2 screen(fixture.state);
        QCOMPARE(screen.caption(), kPity + QStringLiteral("２番でした・・・\r\n\r\n次は頑張ってね！"));
    }

    void computerWonSeat_data() {
        QTest::addColumn<QList<int>>("places");
        QTest::addColumn<int>("seat");
        QTest::newRow("seat 2 won") << QList<int>{2, 1, 3, 4} << 2;
        QTest::newRow("seat 3 won") << QList<int>{3, 4, 1, 2} << 3;
        QTest::newRow("seat 4 won") << QList<int>{2, 3, 4, 1} << 4;
        QTest::newRow("seats 2 and 3 tied: the later") << QList<int>{2, 1, 1, 4} << 3;
        QTest::newRow("seats 2 and 4 tied: the later") << QList<int>{2, 1, 3, 1} << 4;
        QTest::newRow("three tied: the last") << QList<int>{4, 1, 1, 1} << 4;
    }

    void computerWonSeat() {
        QFETCH(QList<int>, places);
        QFETCH(int, seat);
        Fixture fixture;
        fixture.setPlaces(places[0], places[1], places[2], places[3]);
        Frmspl2 screen(fixture.state);
        QCOMPARE(screen.shownSeat(), seat);
        QVERIFY(showsPortrait(screen, fixture, seat, 3));
    }

    void computerWonWithoutAComputerFirstShowsTheDefault() {
        Fixture fixture;
        fixture.setPlaces(2, 2, 3, 4);
        Frmspl2 screen(fixture.state);
        QCOMPARE(screen.shownSeat(), 0);
        QVERIFY(!screen.showsMemberPortrait());
        QVERIFY(matchend_test::showsBandedPicture(screen.picture(), matchend_test::defaultPortrait()));
        // No seat speaks: the male set, as for any seat whose sex is not 1.
        QCOMPARE(screen.caption(), kPity + QStringLiteral("２番でした・・・\r\n\r\nんー、もうちょっとだったな。\r\n"
                                                          "次は１番目指して頑張れよ！"));
    }

    // A whole match end ------------------------------------------------------

    void userWinsAndRanksThird() {
        Fixture fixture;
        fixture.setPlaces(1, 2, 3, 4);
        fixture.state.rankInPosition = 3;
        fixture.state.rankInSeat = 1;
        Frmspl3 announcement(fixture.state);
        QVERIFY(showsPortrait(announcement, fixture, 2, 4));
        QCOMPARE(announcement.caption(),
                 kCongratulations + QStringLiteral("\r\nあなたさんが\r\n3位にランクインしました！"));
        FrmSpl4 conceded(fixture.state);
        QVERIFY(showsPortrait(conceded, fixture, 4, 2));
        QCOMPARE(conceded.caption(), QStringLiteral("今回は私たちの負けね・・・"));
    }

    void seatTwoWinsAndUserComesFourth() {
        Fixture fixture;
        fixture.setPlaces(4, 1, 2, 3);
        fixture.state.rankInPosition = 0;
        fixture.state.rankInSeat = 2;
        Frmspl3 announcement(fixture.state);
        QVERIFY(showsPortrait(announcement, fixture, 3, 4));
        QCOMPARE(announcement.caption(), kCongratulations + QStringLiteral("\r\nあややさんが今回の優勝者だ！"));
        Frmspl2 lost(fixture.state);
        QVERIFY(showsPortrait(lost, fixture, 2, 3));
        QCOMPARE(lost.caption(), kPity + QStringLiteral("４番でした・・・\r\n\r\nあーあ、バリシケですね。\r\n"
                                                        "顔を洗って出直してきてね！"));
    }

    // The label --------------------------------------------------------------

    void labelSitsOnTheBandInTheFixedGothicFace() {
        Fixture fixture;
        Frmspl3 screen(fixture.state);
        QCOMPARE(screen.objectName(), QStringLiteral("frmspl3"));
        QCOMPARE(screen.size(), QSize(400, 400));
        const QLabel* label = screen.label();
        QCOMPARE(label->objectName(), QStringLiteral("Label2"));
        QCOMPARE(label->font().family(), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(label->geometry().top(), 300);
        QVERIFY(screen.rect().contains(label->geometry()));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    }

    // Every default caption fits the band without being cut.
    void defaultCaptionsFitTheBand() {
        std::vector<std::unique_ptr<MatchEndWindow>> screens;
        for (int sex = 1; sex <= 2; ++sex) {
            Fixture fixture;
            for (int seat = 1; seat <= 4; ++seat) fixture.state.seatSex[static_cast<std::size_t>(seat)] = static_cast<int16_t>(sex);
            fixture.state.seatName[2] = "ながいなまえのひと";
            fixture.state.rankInSeat = 2;
            for (int rank = 0; rank <= 10; ++rank) {
                fixture.state.rankInPosition = rank;
                screens.push_back(std::make_unique<Frmspl3>(fixture.state));
            }
            screens.push_back(std::make_unique<FrmSpl4>(fixture.state));
            for (int place = 2; place <= 4; ++place) {
                fixture.setPlaces(place, 1, place == 2 ? 3 : 2, place == 4 ? 3 : 4);
                screens.push_back(std::make_unique<Frmspl2>(fixture.state));
            }
        }
        for (const auto& screen : screens) {
            const QLabel* label = screen->label();
            const QRect room = label->contentsRect();
            const QRect needed = QFontMetrics(label->font())
                                     .boundingRect(QRect(0, 0, room.width(), 10000),
                                                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label->text());
            QVERIFY2(needed.height() <= room.height() && needed.width() <= room.width(),
                     qPrintable(screen->caption()));
            QVERIFY2(label->font().pixelSize() >= 12, qPrintable(screen->caption()));
        }
    }

    // Closing -----------------------------------------------------------------

    void aClickClosesEachScreen_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QPoint>("where");
        QTest::newRow("frmspl3 on the picture") << 3 << QPoint(200, 150);
        QTest::newRow("frmspl3 on the text") << 3 << QPoint(60, 320);
        QTest::newRow("frmSpl4 on the picture") << 4 << QPoint(200, 150);
        QTest::newRow("frmSpl4 on the text") << 4 << QPoint(60, 320);
        QTest::newRow("frmspl2 on the picture") << 2 << QPoint(200, 150);
        QTest::newRow("frmspl2 on the text") << 2 << QPoint(60, 320);
    }

    void aClickClosesEachScreen() {
        QFETCH(int, screen);
        QFETCH(QPoint, where);
        Fixture fixture;
        fixture.setPlaces(screen == 2 ? 2 : 1, screen == 2 ? 1 : 2, 3, 4);
        QWidget parent;
        const auto show = [&] {
            if (screen == 3) showFrmspl3(fixture.state, &parent);
            if (screen == 4) showFrmSpl4(fixture.state, &parent);
            if (screen == 2) showFrmspl2(fixture.state, &parent);
        };
        const ClickOutcome outcome = runAndClick(show, where);
        QVERIFY(outcome.clicked);
        QVERIFY(!outcome.closedByGuard);
        // The screen is unloaded once closed.
        QVERIFY(parent.findChildren<MatchEndWindow*>().isEmpty());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // Enter, Space and Escape go on as a click does; another key does not.
    void keysCloseEachScreen() {
        for (const int screen : {3, 4, 2}) {
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
                Fixture fixture;
                fixture.setPlaces(screen == 2 ? 2 : 1, screen == 2 ? 1 : 2, 3, 4);
                QWidget parent;
                bool openAfterOtherKey = false;
                QTimer::singleShot(50, [&] {
                    QWidget* window = QApplication::activeModalWidget();
                    if (window == nullptr) return;
                    QTest::keyClick(window, Qt::Key_A);
                    openAfterOtherKey = QApplication::activeModalWidget() == window;
                    QTest::keyClick(window, key);
                });
                bool closedByGuard = false;
                QTimer guard;
                guard.setSingleShot(true);
                QObject::connect(&guard, &QTimer::timeout, [&] {
                    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                        closedByGuard = true;
                        dialog->reject();
                    }
                });
                guard.start(2000);
                if (screen == 3) showFrmspl3(fixture.state, &parent);
                if (screen == 4) showFrmSpl4(fixture.state, &parent);
                if (screen == 2) showFrmspl2(fixture.state, &parent);
                const QByteArray what = QByteArray::number(screen) + " " + QByteArray::number(key, 16);
                QVERIFY2(openAfterOtherKey, what);
                QVERIFY2(!closedByGuard, what);
                QVERIFY(parent.findChildren<MatchEndWindow*>().isEmpty());
            }
        }
    }

    void aRightClickLeavesTheScreenOpen() {
        Fixture fixture;
        bool openAfterRightClick = false;
        QTimer::singleShot(50, [&] {
            QWidget* window = QApplication::activeModalWidget();
            QVERIFY(window != nullptr);
            QTest::mouseClick(window, Qt::RightButton, {}, QPoint(200, 200));
            openAfterRightClick = QApplication::activeModalWidget() == window && window->isVisible();
            QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(200, 200));
        });
        showFrmspl3(fixture.state, nullptr);
        QVERIFY(openAfterRightClick);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void theScreenIsModal() {
        Fixture fixture;
        bool modal = false;
        QTimer::singleShot(50, [&] {
            QWidget* window = QApplication::activeModalWidget();
            QVERIFY(window != nullptr);
            modal = qobject_cast<MatchEndWindow*>(window) != nullptr && window->isModal();
            QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(10, 10));
        });
        showFrmSpl4(fixture.state, nullptr);
        QVERIFY(modal);
    }

    // The parent window goes away while a screen runs: it takes the screen
    // with it and the call returns.
    void closingTheParentMeanwhileEndsTheScreen() {
        Fixture fixture;
        fixture.setPlaces(3, 1, 2, 4);
        auto* parent = new QWidget;
        QPointer<QWidget> watch = parent;
        QTimer::singleShot(50, [&] { delete parent; });
        showFrmspl2(fixture.state, parent);
        QVERIFY(watch.isNull());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(MatchEndWindowsTest)
#include "match_end_screens_test.moc"
