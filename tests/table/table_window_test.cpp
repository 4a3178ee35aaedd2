// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table window's own behaviour: its layout at the load size and
// maximised, minimise and restore, the speech window's place for every
// seat, the card flights' steps, the menus and the small windows.
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <cstdio>
#include <vector>

#include "game/cards.h"
#include "game/layout.h"
#include "records/ranking.h"
#include "table/card_picture.h"
#include "table/frm_splash.h"
#include "table/frm_tip.h"
#include "table/pauses.h"
#include "table/speech_balloon.h"
#include "table_test_support.h"

using namespace vantel;
using namespace vantel::test;

class TableWindowTest : public QObject {
    Q_OBJECT
private slots:
    void loadSizeLayout();
    void maximisedLayout();
    void minimiseRestoreDoesNoLayout();
    void handClosesUpAndRaises();
    void speechWindowPlaces();
    void missingPortraitSpeaksWithDefault();
    void cardFlightSteps();
    void flightStepsReachTheScreen();
    void clearRankingOkAndCancel();
    void startOverYesAndNo();
    void skipWithTwoComputersIn();
    void rulesText();
    void aboutClosesWithEscAndEnter();
    void aboutShowsTheLicenceNoticeUncut();
    void menusAndShortcuts();
    void tableRepaintsDuringAPause();
};

namespace {
Form1* newTable(WindowHarness& h) {
    Form1* t = h.chooseMembers(1, {2, 3, 4});
    if (t && !QTest::qWaitForWindowExposed(t)) return nullptr;
    return t;
}
}  // namespace

void TableWindowTest::loadSizeLayout() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    // 12000 x 8500 twips outside, at 15 twips a pixel.
    QCOMPARE(t->frameGeometry().size(), QSize(800, 567));
    const TableGeometry g = t->tableGeometry();
    const Size client = t->clientSize();
    QCOMPARE(g.cardWidth, 49);
    QCOMPARE(g.cardHeight, 65);
    QCOMPARE(g.tableLeft, roundEven((client.width - 13 * 49) / 2.0));
    QCOMPARE(g.tableTop, roundEven((client.height - 4 * 65) / 2.0));
    QCOMPARE(g.tableRight, client.width - g.tableLeft);
    QCOMPARE(g.tableBottom, client.height - g.tableTop);
    // The grid is drawn on the back buffer: green inside, black lines.
    const QImage& grid = t->surface()->backBuffer();
    QCOMPARE(grid.pixelColor(g.tableLeft + 10, g.tableTop + 10), QColor(0, 128, 0));
    QCOMPARE(grid.pixelColor(g.tableLeft + 49, g.tableTop + 10), QColor(0, 0, 0));
    QCOMPARE(grid.pixelColor(g.tableLeft + 10, g.tableTop + 65), QColor(0, 0, 0));
    // Seat labels and buttons.
    QCOMPARE(t->lblten(0)->pos(), QPoint(g.tableRight - 98, g.tableBottom + 20));
    QCOMPARE(t->lblten(1)->pos(), QPoint(g.tableLeft - 65, g.tableBottom + 20));
    const int h2 = t->lblten(2)->height();
    QCOMPARE(t->lblten(2)->pos(), QPoint(g.tableLeft + 49 + 10, g.tableTop - 49 - h2 - 10));
    QCOMPARE(t->lblten(3)->pos(), QPoint(g.tableRight - 20, g.tableTop - 49 - h2 - 10));
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(t->lblpass(k)->pos(), QPoint(t->lblten(k)->x(), t->lblten(k)->y() + t->lblten(k)->height()));
    }
    QCOMPARE(t->lblname(0)->pos(), QPoint(t->lblten(0)->x(), t->lblten(0)->y() + 3 * t->lblten(0)->height()));
    for (int k = 1; k < 4; ++k) {
        QCOMPARE(t->lblname(k)->pos(), QPoint(t->lblten(k)->x(), t->lblpass(k)->y() + t->lblpass(k)->height()));
    }
    QCOMPARE(t->cmdPass()->pos(), QPoint(t->lblpass(0)->x(), t->lblpass(0)->y() + t->lblpass(0)->height()));
    QCOMPARE(t->cmdOut()->pos(), QPoint(t->cmdPass()->x() + 49, t->cmdPass()->y()));
    QCOMPARE(t->cmdPass()->size(), QSize(49, 25));
    QCOMPARE(t->lblkai()->pos(), QPoint(350, 10));
    QCOMPARE(t->lblhiname()->pos(), QPoint(100, 10));
    QCOMPARE(t->lblscore()->pos(), QPoint(600, 10));
    QCOMPARE(t->lblinfo()->y(), client.height - 40);
    // Fonts and colours of the labels.
    QCOMPARE(t->lblten(0)->font().pointSizeF(), 15.75);
    QCOMPARE(t->lblname(0)->font().pointSizeF(), 12.0);
    QVERIFY(t->lblkai()->font().bold());
    QCOMPARE(t->lblten(0)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(t->lblpass(0)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(t->lblinfo()->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    QCOMPARE(t->lblname(0)->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    // Nothing of the table falls outside the window at the load size.
    const QRect inside(QPoint(0, 0), QSize(client.width, client.height));
    for (QLabel* l : {t->lblten(0), t->lblten(1), t->lblten(2), t->lblten(3), t->lblname(0), t->lblname(3)}) {
        QVERIFY2(inside.contains(l->geometry()), qPrintable(l->objectName()));
    }
    for (int k = 1; k <= 13; ++k) {
        for (int seat = 2; seat <= 4; ++seat) {
            const Point p = seatRowPosition(g, seat, k);
            QVERIFY(inside.contains(QRect(p.x, p.y, seat == 3 ? 49 : 65, seat == 3 ? 65 : 49)));
        }
    }
}

void TableWindowTest::maximisedLayout() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    t->showMaximized();
    QTRY_VERIFY(t->isMaximized());
    QCoreApplication::processEvents();
    const double sx = t->frameGeometry().width() * 15.0 / 12000;
    const double sy = t->frameGeometry().height() * 15.0 / 8500;
    const TableGeometry g = t->tableGeometry();
    QCOMPARE(g.cardWidth, roundEven(49 * sx));
    QCOMPARE(g.cardHeight, roundEven(65 * sy));
    QCOMPARE(t->img(67)->size(), QSize(roundEven(65 * sx), roundEven(49 * sy)));
    QCOMPARE(t->img(105)->size(), t->img(67)->size());
    QCOMPARE(t->img(1)->size(), QSize(g.cardWidth, g.cardHeight));
    QCOMPARE(t->lblkai()->x(), roundEven(350 * sx));
    QCOMPARE(t->lblscore()->x(), roundEven(600 * sx));
    const Size client = t->clientSize();
    QCOMPARE(g.tableLeft, roundEven((client.width - 13.0 * g.cardWidth) / 2));
    // Back to normal: the cards are their normal size again.
    t->showNormal();
    QTRY_VERIFY(!t->isMaximized());
    QCoreApplication::processEvents();
    QCOMPARE(t->tableGeometry().cardWidth, 49);
    QCOMPARE(t->img(93)->size(), QSize(65, 49));
}

void TableWindowTest::minimiseRestoreDoesNoLayout() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    const int passes = t->layoutPasses();
    t->showMinimized();
    QCoreApplication::processEvents();
    QCOMPARE(t->layoutState(), 1);
    t->showNormal();
    QCoreApplication::processEvents();
    QCOMPARE(t->layoutState(), 2);
    QCOMPARE(t->layoutPasses(), passes);
    // A later resize lays out again.
    t->resize(t->width() + 20, t->height());
    QCoreApplication::processEvents();
    QVERIFY(t->layoutPasses() > passes);
}

void TableWindowTest::handClosesUpAndRaises() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    RoundState& r = t->localTable().roundState();
    r.hand = {};
    r.hand[1][2] = 5;
    r.hand[1][5] = 9;
    r.hand[1][9] = 30;
    r.hand[1][14] = kJoker;
    r.jokerHint = 1;
    for (int c : {5, 9, 30, kJoker}) t->setPictureVisible(c, true);
    t->setPictureEnabled(9, true);
    t->Form_Resize();
    const TableGeometry g = t->tableGeometry();
    const int y = g.tableBottom + 20;
    int x = roundEven(g.tableLeft + g.cardWidth);
    QCOMPARE(t->img(5)->pos(), QPoint(x, y));
    x = roundEven(x + 49 / 5.0 * 3);
    QCOMPARE(t->img(9)->pos(), QPoint(x, y - 10));  // playable: raised
    x = roundEven(x + 49 / 5.0 * 3);
    QCOMPARE(t->img(30)->pos(), QPoint(x, y));
    x = roundEven(x + 49 / 5.0 * 3);
    QCOMPARE(t->img(kJoker)->pos(), QPoint(x, y - 10));  // joker hint
    // Seat rows: seat 3 runs leftwards in half cards from 3 cards left of the right edge.
    QCOMPARE(t->img(80)->pos(), QPoint(g.tableRight - 3 * 49, g.tableTop - 65 - 10));
    QCOMPARE(t->img(81)->pos(), QPoint(roundEven(g.tableRight - 3 * 49 - 24.5), g.tableTop - 75));
    QCOMPARE(t->img(67)->pos(), QPoint(5, g.tableTop - 75));
    QCOMPARE(t->img(93)->pos(), QPoint(13 * 49 + g.tableLeft + 5, roundEven(g.tableBottom + 24.5)));
}

void TableWindowTest::speechWindowPlaces() {
    // The rectangle, worked out by hand for a table whose outer frame is
    // 800 x 567 at (240, 166) and a speech window framed 2 pixels a side
    // and 24 on top (26 added to the height): 231 wide inside, 303 high
    // outside at a seat (4545 twips), 80 in the middle (1200 twips).
    const QRect table(240, 166, 800, 567);
    const QSize extra(4, 26);
    // Across, the places go from half of the table's left plus right
    // edges, (240 + 1040) / 2 = 640, as they always have.
    QCOMPARE(balloonRect(1, table, extra), QRect(436, 430, 235, 303));
    QCOMPARE(balloonRect(2, table, extra), QRect(240, 300, 235, 303));
    QCOMPARE(balloonRect(3, table, extra), QRect(436, 166, 235, 303));
    QCOMPARE(balloonRect(4, table, extra), QRect(805, 300, 235, 303));
    QCOMPARE(balloonRect(0, table, extra), QRect(402, 366, 235, 80));
    QCOMPARE(balloonRect(7, table, extra), balloonRect(0, table, extra));
    // Without a frame the window keeps its outer height.
    QCOMPARE(balloonRect(2, table, QSize(0, 0)).size(), QSize(231, 303));

    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    FrmSplash* w = t->speechWindow();
    for (int seat : {1, 2, 3, 4, 0, 7}) {
        t->FRM_DSP(seat);
        QVERIFY(w->isVisible());
        const QSize frameExtra = w->frameGeometry().size() - w->size();
        QCOMPARE(w->frameGeometry(), balloonRect(seat, t->frameGeometry(), frameExtra));
        const bool atSeat = seat >= 1 && seat <= 4;
        QCOMPARE(w->frameGeometry().height(), atSeat ? 303 : 80);
        QCOMPARE(w->label1()->y(), atSeat ? 256 : 20);
        QCOMPARE(w->image1()->pixmap().isNull(), !atSeat);
        t->hideBalloon();
        QVERIFY(!w->isVisible());
    }
}

void TableWindowTest::missingPortraitSpeaksWithDefault() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    sharedState().seatImage[2][1] = "/nonexistent/portrait.jpg";
    t->showBalloon(2, "あやや\r\nパスします・・・");
    QVERIFY(t->speechWindow()->showsDefaultPortrait());
    QVERIFY(!t->speechWindow()->image1()->pixmap().isNull());
    QCOMPARE(t->speechWindow()->label1()->text(), QStringLiteral("あやや\nパスします・・・"));
    t->showBalloon(3, "はるか\r\nパスします・・・");
    QVERIFY(!t->speechWindow()->showsDefaultPortrait());
}

void TableWindowTest::cardFlightSteps() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    // The path: 30 pixels along each axis not reached yet, never past it.
    QCOMPARE(nextFlightStep({100, 100}, {131, 100}), (Point{130, 100}));
    QCOMPARE(nextFlightStep({130, 100}, {131, 100}), (Point{131, 100}));
    QCOMPARE(nextFlightStep({131, 100}, {31, 400}), (Point{101, 130}));
    QCOMPARE(nextFlightStep({5, 5}, {5, 5}), (Point{5, 5}));
    t->placePicture(1, 100, 100);
    t->follower().fly(1, {131, 100});
    QVERIFY(settle(t));
    QCOMPARE(t->lastMoveSteps(), 2);
    QCOMPARE(t->img(1)->pos(), QPoint(131, 100));
    t->img(1)->hide();
    t->follower().fly(1, {131, 100});
    QVERIFY(settle(t));
    QCOMPARE(t->lastMoveSteps(), 0);
    QVERIFY(t->img(1)->isVisible());
    // 45 degrees until one coordinate is reached, then straight on.
    t->follower().fly(1, {31, 400});
    QVERIFY(settle(t));
    QCOMPARE(t->lastMoveSteps(), 10);
    QCOMPARE(t->img(1)->pos(), QPoint(31, 400));
}

namespace {
// Records where a card picture was each time it was painted.
struct CardPaints : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) xs.push_back(static_cast<QWidget*>(watched)->x());
        return QObject::eventFilter(watched, event);
    }
    std::vector<int> xs;
};
}  // namespace

void TableWindowTest::flightStepsReachTheScreen() {
    // A step lasts a frame of the screen, never less than the pause asked
    // for; a screen that reports no sensible rate counts as 60 Hz.
    QCOMPARE(qRound(frameMilliseconds(144) * 100), 694);
    for (const double nonsense : {0.0, 1.0, -60.0, std::nan("")}) {
        QCOMPARE(qRound(frameMilliseconds(nonsense) * 100), 1667);
    }
    program().pauseScale = 1.0;
    QCOMPARE(qRound(FlightPacer(1, nullptr).stepMilliseconds() * 100), 1667);
    QCOMPARE(FlightPacer(40, nullptr).stepMilliseconds(), 40.0);
    program().pauseScale = 0;
    QCOMPARE(FlightPacer(40, nullptr).stepMilliseconds(), 0.0);

    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    const double frame = frameMilliseconds(t->screen()->refreshRate());
    t->placePicture(1, 100, 100);
    t->img(1)->show();
    QCoreApplication::processEvents();
    CardPaints paints;
    t->img(1)->installEventFilter(&paints);
    // Before the next step is taken, the card was painted where it stands.
    std::vector<int> unpainted;
    Form1::setProbe([&](Form1& table, const char* where) {
        const int x = table.img(1)->x();
        if (std::string(where) == "step" && (paints.xs.empty() || paints.xs.back() != x)) unpainted.push_back(x);
    });
    program().pauseScale = 1.0;
    QElapsedTimer clock;
    clock.start();
    t->follower().fly(1, {400, 100});
    QVERIFY(settle(t));
    const double tookMs = clock.nsecsElapsed() / 1e6;
    program().pauseScale = 0;
    Form1::setProbe({});
    QCOMPARE(t->lastMoveSteps(), 10);
    QVERIFY2(unpainted.empty(), "a step was taken before the previous one was painted");
    QCOMPARE(paints.xs.back(), 400);
    std::printf("a 300-pixel flight: %zu paints of the card, %.1f ms (%.1f frames of %.2f ms)\n",
                paints.xs.size(), tookMs, tookMs / frame, frame);
    // Nine pauses of a frame each; well under twice that.
    QVERIFY2(tookMs >= 9 * frame && tookMs <= 20 * frame, qPrintable(QString::number(tookMs)));
}

void TableWindowTest::clearRankingOkAndCancel() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    MatchState& s = sharedState();
    s.matchTotal = {0, 2000, 100, 50, 10};
    s.finalPlace = {0, 1, 2, 3, 4};
    saiten(s, localNow());
    QCOMPARE(s.hiScore, int16_t(2000));
    h.expect(QStringLiteral("ランキングのクリア"), QMessageBox::Cancel);
    t->mnu_clear_Click();
    const ShownBox* q = h.lastBox(QStringLiteral("ランキングのクリア"));
    QVERIFY(q);
    QCOMPARE(q->text, QStringLiteral("現在のランキング情報をクリアします。よろしいですか？"));
    QCOMPARE(q->icon, QMessageBox::Warning);
    QCOMPARE(q->buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(!h.lastBox(QStringLiteral("クリア完了！")));
    QCOMPARE(t->lblscore()->text(), QStringLiteral("2000"));

    t->mnu_clear_Click();  // OK
    const ShownBox* done = h.lastBox(QStringLiteral("クリア完了！"));
    QVERIFY(done);
    QCOMPARE(done->text, QStringLiteral("ランキング情報をクリアしました。"));
    QCOMPARE(done->icon, QMessageBox::Information);
    QCOMPARE(t->lblscore()->text(), QStringLiteral("100"));
    QCOMPARE(t->lblhiname()->text(), QStringLiteral("???"));
    QCOMPARE(s.rankPoints[1], 100);
}

void TableWindowTest::startOverYesAndNo() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    h.expect(QStringLiteral("最初から始める"), QMessageBox::No);
    t->mnu_replay_Click();
    const ShownBox* q = h.lastBox(QStringLiteral("最初から始める"));
    QVERIFY(q);
    QCOMPARE(q->text, QStringLiteral("メンバを変更しますか？"));
    QCOMPARE(q->buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(q->icon, QMessageBox::Warning);
    WindowHarness::flushDeletes();
    auto tables = WindowHarness::liveTables();
    QCOMPARE(tables.size(), size_t(1));
    QVERIFY(tables.front() != t || true);
    Form1* second = tables.front();
    QCOMPARE(second->lblname(0)->text(), QStringLiteral("あやや"));
    QCOMPARE(sharedState().roundNumber, 0);
    QVERIFY(!second->menuAction("mnu_bgm")->isChecked());
    QCOMPARE(second->layoutState(), 2);

    h.expect(QStringLiteral("最初から始める"), QMessageBox::Yes);
    second->mnu_replay_Click();
    WindowHarness::flushDeletes();
    QVERIFY(WindowHarness::liveTables().empty());
    QCOMPARE(WindowHarness::liveSelections().size(), size_t(1));
    QCOMPARE(h.programEnds, 0);
}

void TableWindowTest::skipWithTwoComputersIn() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    // Play the user's turns until the user is out while two or more
    // computers are still in, then skip.
    bool skipped = false;
    int roundsSeen = 0;
    h.onDialog = [&](QDialog& d) {
        if (d.objectName() == QStringLiteral("Form2")) ++roundsSeen;
    };
    Form1::setProbe([&](Form1& table, const char* where) {
        if (skipped || std::string(where) != "events") return;
        const RoundState& r = table.localTable().round();
        int computersIn = 0;
        for (int seat = 2; seat <= 4; ++seat) computersIn += r.cardsLeft[seat] > 0;
        if (r.userOut == 1 && computersIn >= 2 && table.menuAction("mnu_skip")->isEnabled()) {
            skipped = true;
            const int before = r.placeCount + r.dropCount;
            table.menuAction("mnu_skip")->trigger();
            QCOMPARE(table.localTable().round().placeCount + table.localTable().round().dropCount, 4);
            QVERIFY(before <= 2);
            for (int i = 1; i <= 105; ++i) QVERIFY(!table.img(i)->isVisible());
        }
    });
    t->mnu_kaisi_Click();
    settle(t);
    for (int guard = 0; guard < 20000 && !skipped && t->follower().awaitingMove(); ++guard) {
        const TableFollower& e = t->follower();
        int card = 0;
        for (int i = 1; i <= kJoker && !card; ++i) if (e.isClickable(i)) card = i;
        if (card) t->img_Click(card);
        else if (t->cmdPass()->isEnabled()) t->cmdPass_Click();
        else t->cmdOut_Click();
        settle(t);
    }
    QVERIFY(skipped);
    QVERIFY(roundsSeen >= 1);
}

void TableWindowTest::rulesText() {
    const QString text = vantel::rulesText();
    QVERIFY(text.startsWith(QStringLiteral("□７ならべルール\r\n　　１．")));
    QVERIFY(text.endsWith(QStringLiteral("\r\n　　　　選択してください。")));
    QCOMPARE(text.count(QStringLiteral("\r\n")), 22);
    QVERIFY(text.contains(QStringLiteral("　　５．ＡＫ接続ルールなので、エース又はキングが出されると\r\n　　　　連結された側からしか出せなくなります｡")));
    FrmTip tip(nullptr);
    QCOMPARE(tip.windowTitle(), QStringLiteral("ルール説明"));
    QCOMPARE(tip.label1()->text(), text);
    // Every line fits the label.
    const QFontMetrics m(tip.label1()->font());
    const QRect needed = m.boundingRect(QRect(0, 0, 2000, 2000), Qt::AlignLeft | Qt::AlignTop, text);
    QVERIFY(tip.label1()->contentsRect().width() >= needed.width());
    QVERIFY(tip.label1()->contentsRect().height() >= needed.height());
    QCOMPARE(tip.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("閉じる"));
}

void TableWindowTest::aboutClosesWithEscAndEnter() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        t->mnu_version_Click();
        auto* about = t->findChild<FrmAbout*>();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(!about->isModal());
        QCOMPARE(about->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Tamsuの７ならべ Ver1.11"));
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Last Update 2013.06.22"));
        // Showing it again brings the same window forward.
        t->mnu_version_Click();
        QCOMPARE(t->findChildren<FrmAbout*>().size(), qsizetype(1));
        QTest::keyClick(about, static_cast<Qt::Key>(key));
        QTRY_VERIFY(!about->isVisible());
        WindowHarness::flushDeletes();
    }
}

void TableWindowTest::aboutShowsTheLicenceNoticeUncut() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    t->mnu_version_Click();
    auto* about = t->findChild<FrmAbout*>();
    QVERIFY(about);
    const QString notice = about->lblDescription()->text();
    QVERIFY(notice.startsWith(QStringLiteral("Copyright (C) 2026 The Vantel developers\n")));
    for (const char* part : {"フリーソフトウェア", "GNU GPL", "バージョン3またはそれ以降", "無保証",
                             "/usr/share/common-licenses/GPL-3", "https://www.gnu.org/licenses/"}) {
        QVERIFY2(notice.contains(QString::fromUtf8(part)), part);
    }
    // The window keeps its width; the notice wraps to its column, gets every
    // line it needs and stays clear of the title, the date and OK.
    QCOMPARE(about->width(), 377);
    QVERIFY(about->height() >= 159);
    QLabel* label = about->lblDescription();
    QVERIFY(label->wordWrap());
    QVERIFY(label->height() >= label->heightForWidth(label->width()));
    const QRect window = about->rect();
    QWidget* title = about->findChild<QLabel*>(QStringLiteral("lblTitle"));
    QWidget* date = about->findChild<QLabel*>(QStringLiteral("Label1"));
    QWidget* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    for (QWidget* control : {static_cast<QWidget*>(label), title, date, ok}) {
        QVERIFY2(window.contains(control->geometry()), qPrintable(control->objectName()));
        QVERIFY2(control->width() >= control->sizeHint().width() || control == label,
                 qPrintable(control->objectName()));
    }
    QVERIFY(label->geometry().top() >= title->geometry().bottom());
    QVERIFY(label->geometry().bottom() < date->geometry().top());
    QVERIFY(label->geometry().bottom() < ok->geometry().top());
    std::printf("about window %dx%d, notice %d lines high (%d px)\n", about->width(), about->height(),
                label->height() / label->fontMetrics().lineSpacing(), label->height());
    about->close();
    WindowHarness::flushDeletes();
}

void TableWindowTest::menusAndShortcuts() {
    WindowHarness h;
    Form1* t = newTable(h);
    QVERIFY(t);
    const struct { const char* name; const char* caption; Qt::Key key; } items[] = {
        {"mnu_kaisi", "ゲーム開始(&S)", Qt::Key_S}, {"mnu_bgm", "ＢＧＭ演奏(&G)", Qt::Key_G},
        {"mnu_skip", "ゲームスキップ(&K)", Qt::Key_K}, {"mnu_replay", "最初から始める(&R)", Qt::Key_R},
        {"mnu_clear", "ランキングのクリア(&C)", Qt::Key_C}, {"mnu_end", "終了(&X)", Qt::Key_X},
        {"mnu_gaiyo", "ルール説明(&B)", Qt::Key_B}, {"mnu_version", "ﾊﾞｰｼﾞｮﾝ情報(&A)", Qt::Key_A},
    };
    for (const auto& item : items) {
        QAction* a = t->menuAction(QString::fromUtf8(item.name));
        QVERIFY2(a, item.name);
        QCOMPARE(a->text(), QString::fromUtf8(item.caption));
        QCOMPARE(a->shortcut(), QKeySequence(Qt::CTRL | item.key));
    }
    // The rules window opens modally from its menu item.
    t->mnu_gaiyo_Click();
    QCOMPARE(h.dialogs.back(), QStringLiteral("frmTip"));
    // Quit ends the program and leaves no table.
    t->mnu_end_Click();
    WindowHarness::flushDeletes();
    QCOMPARE(h.programEnds, 1);
    QVERIFY(WindowHarness::liveTables().empty());
}



namespace {
// Notes when the table's surface is painted, and whether a pause was on.
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && armed) {
            armed = false;
            paintedAfterMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            duringPause = table && table->follower().inFixedPause();
        }
        return QObject::eventFilter(watched, event);
    }
    QElapsedTimer clock;
    QPointer<Form1> table;
    bool armed = false;
    bool duringPause = false;
    double paintedAfterMs = -1;
};
}  // namespace

void TableWindowTest::tableRepaintsDuringAPause() {
    WindowHarness h;
    Form1* table = newTable(h);
    QVERIFY(table);
    PaintWatch watch;
    watch.table = table;
    table->surface()->installEventFilter(&watch);
    QPointer<Form1> guard = table;
    int pauses = 0;
    Form1::setProbe([&](Form1& t, const char* where) {
        if (std::string(where) != "pause" || pauses++ > 0) return;
        // From the pause after the deal on, pauses last as long as in play.
        program().pauseScale = 1.0;
        // Once the pause is on, part of the table is laid bare (as when a
        // window over it goes away) and must be painted while play waits.
        QTimer::singleShot(20, &t, [&watch, &t] {
            watch.armed = true;
            watch.clock.start();
            t.surface()->update(QRect(0, 0, t.surface()->width() / 2, t.surface()->height() / 2));
        });
        // The table is closed once the repaint had time to come.
        QTimer::singleShot(300, &t, [&t] { t.close(); });
    });
    table->mnu_kaisi_Click();
    settle(table);
    Form1::setProbe({});
    program().pauseScale = 0;
    WindowHarness::flushDeletes();
    QVERIFY(pauses >= 1);
    QVERIFY(!guard);
    QVERIFY2(watch.paintedAfterMs >= 0, "the table was not painted during the pause");
    QVERIFY(watch.duringPause);
    std::printf("table repainted %.2f ms after being laid bare during a pause\n", watch.paintedAfterMs);
    QVERIFY2(watch.paintedAfterMs < 50, qPrintable(QString::number(watch.paintedAfterMs)));
}

QTEST_MAIN(TableWindowTest)
#include "table_window_test.moc"
