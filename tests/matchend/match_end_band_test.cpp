// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The darkened band of the match-end screens: drawn by the effects library
// into the window's own picture, and what the screens show when the
// library, its entry point or a portrait cannot be had.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>

#include <cmath>
#include <memory>

#include "matchend/match_end_screens.h"
#include "matchend/zorvix_binding.h"
#include "matchend_test_support.h"

using namespace vantel::matchend;
using matchend_test::Fixture;

namespace {

enum Screen { kAnnouncement = 3, kUserWon = 4, kComputerWon = 2 };

// Places each screen is shown with, and the member and picture it then
// shows: frmspl3 and frmSpl4 after the user won, frmspl2 after seat 2 won.
struct Case {
    int member;
    int picture;
};

Case prepare(Fixture& fixture, int screen) {
    if (screen == kComputerWon) {
        fixture.setPlaces(3, 1, 2, 4);
        return {2, 3};
    }
    fixture.setPlaces(1, 2, 3, 4);
    return screen == kAnnouncement ? Case{2, 4} : Case{4, 2};
}

std::unique_ptr<MatchEndWindow> makeScreen(int screen, const vantel::MatchState& state) {
    if (screen == kAnnouncement) return std::make_unique<Frmspl3>(state);
    if (screen == kUserWon) return std::make_unique<FrmSpl4>(state);
    return std::make_unique<Frmspl2>(state);
}

QString expectedCaption(int screen) {
    if (screen == kAnnouncement)
        return QStringLiteral("やったね！　おめでとうございます！\r\nあなたさんが今回の優勝者です！");
    if (screen == kUserWon) return QStringLiteral("今回は私たちの負けね・・・");
    return QStringLiteral("うーん、残念。３番でした・・・\r\n\r\nはー、まだまだ青いですね。\r\n次は気合入れて頑張ってね！");
}

void addScreenColumn() {
    QTest::addColumn<int>("screen");
    QTest::newRow("frmspl3") << int(kAnnouncement);
    QTest::newRow("frmSpl4") << int(kUserWon);
    QTest::newRow("frmspl2") << int(kComputerWon);
}

void useRealLibrary() { vantel::zorvix::setLibrarySearch({VANTEL_ZORVIX_DIR, false}); }

QImage solidPicture(int width, int height, QColor colour) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

QString bandReport(const MatchEndWindow& screen, const QImage& original) {
    return QStringLiteral("outside band: %1 bytes differ, band: %2 bytes not halved")
        .arg(matchend_test::differencesOutsideBand(screen.picture(), original))
        .arg(matchend_test::differencesFromHalvedBand(screen.picture(), original));
}

}  // namespace

class MatchEndBandTest : public QObject {
    Q_OBJECT

private slots:
    void init() { useRealLibrary(); }

    void bandHalvesEveryColourByteAndNothingElse_data() { addScreenColumn(); }
    void bandHalvesEveryColourByteAndNothingElse() {
        QFETCH(int, screen);
        Fixture fixture;
        fixture.state.rankInSeat = 1;
        const Case expected = prepare(fixture, screen);
        const auto shown = makeScreen(screen, fixture.state);
        const QImage original =
            matchend_test::asWindowPicture(QImage(fixture.portraitPath(expected.member, expected.picture)));
        QVERIFY(shown->showsMemberPortrait());
        QVERIFY(shown->bandDrawn());
        QCOMPARE(shown->picture().size(), QSize(400, 400));
        QCOMPARE(shown->picture().format(), QImage::Format_RGB32);
        QVERIFY2(matchend_test::showsBandedPicture(shown->picture(), original), qPrintable(bandReport(*shown, original)));
        QCOMPARE(shown->caption(), expectedCaption(screen));
    }

    // The band stays when the window paints itself again: it is part of the
    // picture the window paints.
    void bandSurvivesRepainting() {
        Fixture fixture;
        const Case expected = prepare(fixture, kAnnouncement);
        Frmspl3 screen(fixture.state);
        const QImage original =
            matchend_test::asWindowPicture(QImage(fixture.portraitPath(expected.member, expected.picture)));
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        screen.repaint();
        screen.update();
        QCoreApplication::processEvents();
        const QImage grabbed = screen.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(grabbed.size(), QSize(400, 400));
        QCOMPARE(matchend_test::differencesOutsideBand(grabbed, original), 0);
        // In the band, every pixel that is not the text's is the halved one.
        QImage halved = original.copy();
        for (int row = matchend_test::kBandTop; row < matchend_test::kBandBottom; ++row) {
            uchar* line = halved.scanLine(row);
            for (int i = 0; i < halved.width() * 4; ++i) line[i] = (i % 4 == 3) ? 0xFF : line[i] / 2;
        }
        int same = 0;
        for (int row = matchend_test::kBandTop; row < matchend_test::kBandBottom; ++row)
            for (int column = 0; column < 400; ++column) same += grabbed.pixel(column, row) == halved.pixel(column, row);
        QVERIFY2(same > 400 * 100 * 7 / 10, qPrintable(QString::number(same)));
        QVERIFY(same < 400 * 100);  // and the text is drawn there
        QVERIFY(matchend_test::showsBandedPicture(screen.picture(), original));
        screen.hide();
    }

    void unloadablePortraitShowsTheDefaultWithTheBand_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QString>("trouble");
        for (const char* trouble : {"missing file", "empty name", "not a picture", "member 0", "member 21"}) {
            QTest::addRow("frmspl3, %s", trouble) << int(kAnnouncement) << QString::fromLatin1(trouble);
            QTest::addRow("frmSpl4, %s", trouble) << int(kUserWon) << QString::fromLatin1(trouble);
            QTest::addRow("frmspl2, %s", trouble) << int(kComputerWon) << QString::fromLatin1(trouble);
        }
    }
    void unloadablePortraitShowsTheDefaultWithTheBand() {
        QFETCH(int, screen);
        QFETCH(QString, trouble);
        Fixture fixture;
        fixture.state.rankInSeat = 1;
        const Case expected = prepare(fixture, screen);
        std::string& path = fixture.imageEntry(expected.member, expected.picture);
        const int seat = expected.member;  // members sit at the seat of their number
        if (trouble == QLatin1String("missing file")) {
            path = fixture.folder.filePath(QStringLiteral("nobody.jpg")).toStdString();
        } else if (trouble == QLatin1String("empty name")) {
            path.clear();
        } else if (trouble == QLatin1String("not a picture")) {
            fixture.useFile(expected.member, expected.picture, QByteArrayLiteral("this is not a picture"));
        } else {
            fixture.state.seatMember[static_cast<std::size_t>(seat)] =
                static_cast<int16_t>(trouble == QLatin1String("member 0") ? 0 : 21);
        }
        const auto shown = makeScreen(screen, fixture.state);
        QVERIFY(!shown->showsMemberPortrait());
        QVERIFY(shown->bandDrawn());
        const QImage fallback = matchend_test::defaultPortrait();
        QCOMPARE(fallback.size(), QSize(400, 400));
        QVERIFY2(matchend_test::showsBandedPicture(shown->picture(), fallback), qPrintable(bandReport(*shown, fallback)));
        QCOMPARE(shown->caption(), expectedCaption(screen));
    }

    void folderWithoutTheLibraryShowsTheDefaultWithoutBand_data() { addScreenColumn(); }
    void folderWithoutTheLibraryShowsTheDefaultWithoutBand() {
        QFETCH(int, screen);
        QTemporaryDir empty;
        vantel::zorvix::setLibrarySearch({empty.path().toStdString(), false});
        Fixture fixture;
        fixture.state.rankInSeat = 1;
        prepare(fixture, screen);
        const auto shown = makeScreen(screen, fixture.state);
        QVERIFY(!shown->showsMemberPortrait());
        QVERIFY(!shown->bandDrawn());
        QVERIFY(matchend_test::showsExactly(shown->picture(), matchend_test::defaultPortrait()));
        QCOMPARE(shown->caption(), expectedCaption(screen));
        QCOMPARE(shown->label()->text(), expectedCaption(screen).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void libraryWithoutTheEntryPointShowsTheDefaultWithoutBand_data() { addScreenColumn(); }
    void libraryWithoutTheEntryPointShowsTheDefaultWithoutBand() {
        QFETCH(int, screen);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(VANTEL_FAKE_WITHOUT_ALPHABLT), folder.filePath(QStringLiteral("libZorvix.so"))));
        // The program folder's library is taken before the system's.
        vantel::zorvix::setLibrarySearch({folder.path().toStdString(), true});
        Fixture fixture;
        fixture.state.rankInSeat = 1;
        prepare(fixture, screen);
        const auto shown = makeScreen(screen, fixture.state);
        QVERIFY(!shown->showsMemberPortrait());
        QVERIFY(!shown->bandDrawn());
        QVERIFY(matchend_test::showsExactly(shown->picture(), matchend_test::defaultPortrait()));
        QCOMPARE(shown->caption(), expectedCaption(screen));
    }

    // A refused call changes nothing: the member's portrait stays, unbanded.
    // The call itself names the window's picture as destination and first
    // source at row 300, Picture1 at (0, 0), 400 x 100, weights 0.5 and 0.5.
    void refusedCallLeavesThePortraitAndPassesTheBandArguments() {
        QTemporaryDir folder;
        const QString library = folder.filePath(QStringLiteral("libZorvix.so"));
        QVERIFY(QFile::copy(QStringLiteral(VANTEL_FAKE_REFUSING), library));
        vantel::zorvix::setLibrarySearch({folder.path().toStdString(), false});
        Fixture fixture;
        const Case expected = prepare(fixture, kUserWon);
        FrmSpl4 screen(fixture.state);
        QVERIFY(screen.showsMemberPortrait());
        QVERIFY(!screen.bandDrawn());
        QVERIFY(matchend_test::showsExactly(
            screen.picture(),
            matchend_test::asWindowPicture(QImage(fixture.portraitPath(expected.member, expected.picture)))));

        void* handle = dlopen(library.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY(handle != nullptr);
        using Recorded = int32_t (*)(int32_t*, double*);
        auto recorded = reinterpret_cast<Recorded>(dlsym(handle, "RecordedAlphaBlt"));
        QVERIFY(recorded != nullptr);
        int32_t integers[11] = {};
        double weights[2] = {};
        QCOMPARE(recorded(integers, weights), 1);
        dlclose(handle);
        const int32_t destination = integers[0];
        QVERIFY(destination != 0);
        QCOMPARE(integers[1], 0);
        QCOMPARE(integers[2], 300);
        QCOMPARE(integers[3], 400);
        QCOMPARE(integers[4], 100);
        QCOMPARE(integers[5], destination);
        QCOMPARE(integers[6], 0);
        QCOMPARE(integers[7], 300);
        QVERIFY(integers[8] != 0 && integers[8] != destination);
        QCOMPARE(integers[9], 0);
        QCOMPARE(integers[10], 0);
        QCOMPARE(weights[0], 0.5);
        QCOMPARE(weights[1], 0.5);
    }

    // Bound once, the address is kept: the library file may go afterwards.
    // A failed binding is not kept: the next call looks again.
    void bindingIsKeptOnceMadeAndRetriedWhenNot() {
        QTemporaryDir folder;
        const QString library = folder.filePath(QStringLiteral("libZorvix.so"));
        vantel::zorvix::setLibrarySearch({folder.path().toStdString(), false});
        Fixture fixture;
        prepare(fixture, kUserWon);
        QVERIFY(!FrmSpl4(fixture.state).bandDrawn());
        QVERIFY(QFile::copy(QStringLiteral(VANTEL_ZORVIX_DIR "/libZorvix.so"), library));
        QVERIFY(FrmSpl4(fixture.state).bandDrawn());
        QVERIFY(QFile::remove(library));
        QVERIFY(FrmSpl4(fixture.state).bandDrawn());
        // Choosing the search again forgets the binding.
        vantel::zorvix::setLibrarySearch({folder.path().toStdString(), false});
        QVERIFY(!FrmSpl4(fixture.state).bandDrawn());
    }

    // With no library in the program folder the system's search is asked.
    // The test runs again in a child process whose library path names the
    // build's program folder, so the search has something to find.
    void systemSearchIsAskedWhenTheFolderHasNoLibrary() {
        const char* marker = "VANTEL_MATCHEND_SEARCH_CHILD";
        if (qEnvironmentVariableIsSet(marker)) {
            QTemporaryDir empty;
            Fixture fixture;
            prepare(fixture, kUserWon);
            vantel::zorvix::setLibrarySearch({empty.path().toStdString(), false});
            QVERIFY(!FrmSpl4(fixture.state).bandDrawn());
            vantel::zorvix::setLibrarySearch({empty.path().toStdString(), true});
            FrmSpl4 screen(fixture.state);
            QVERIFY(screen.bandDrawn());
            QVERIFY(screen.showsMemberPortrait());
            return;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(VANTEL_ZORVIX_DIR));
        environment.insert(QString::fromLatin1(marker), QStringLiteral("1"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("systemSearchIsAskedWhenTheFolderHasNoLibrary")});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("PASS   : MatchEndBandTest::systemSearchIsAskedWhenTheFolderHasNoLibrary()") &&
                     output.contains("Totals: 3 passed, 0 failed"),
                 output.constData());
    }

    void defaultSearchIsTheProgramFolderThenTheSystem() {
        const vantel::zorvix::LibrarySearch search = vantel::zorvix::defaultLibrarySearch();
        QCOMPARE(QString::fromStdString(search.programFolder.string()), QCoreApplication::applicationDirPath());
        QVERIFY(search.systemSearch);
    }

    // A portrait of another size covers the window, scaled with its aspect
    // ratio kept and centred; the band is darkened all the same.
    void otherSizedPortraitCoversTheWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("smaller and taller") << QSize(200, 300);
        QTest::newRow("wide") << QSize(800, 400);
        QTest::newRow("larger") << QSize(640, 640);
        QTest::newRow("tiny") << QSize(3, 5);
    }
    void otherSizedPortraitCoversTheWindow() {
        QFETCH(QSize, size);
        Fixture fixture;
        const Case expected = prepare(fixture, kAnnouncement);
        const QColor colour(200, 60, 121);
        fixture.usePicture(expected.member, expected.picture, solidPicture(size.width(), size.height(), colour));
        Frmspl3 screen(fixture.state);
        QVERIFY(screen.showsMemberPortrait());
        QVERIFY(screen.bandDrawn());
        QCOMPARE(screen.picture().size(), QSize(400, 400));
        const QImage original = solidPicture(400, 400, colour);
        QVERIFY2(matchend_test::showsBandedPicture(screen.picture(), original), qPrintable(bandReport(screen, original)));
    }

    // A picture that is partly transparent shows black where it is clear.
    void transparentPortraitShowsBlackBehind() {
        Fixture fixture;
        const Case expected = prepare(fixture, kUserWon);
        QImage clear(400, 400, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        {
            QPainter painter(&clear);
            painter.fillRect(0, 0, 400, 200, QColor(10, 220, 30));
        }
        fixture.usePicture(expected.member, expected.picture, clear);
        FrmSpl4 screen(fixture.state);
        QImage original(400, 400, QImage::Format_RGB32);
        original.fill(Qt::black);
        {
            QPainter painter(&original);
            painter.fillRect(0, 0, 400, 200, QColor(10, 220, 30));
        }
        QVERIFY2(matchend_test::showsBandedPicture(screen.picture(), original), qPrintable(bandReport(screen, original)));
    }

    // The default member portraits in the program folder are JPEG files.
    void defaultJpegPortraits_data() { addScreenColumn(); }
    void defaultJpegPortraits() {
        QFETCH(int, screen);
        Fixture fixture;
        for (int member = 1; member <= 4; ++member)
            for (int picture = 1; picture <= 4; ++picture)
                fixture.imageEntry(member, picture) =
                    QDir(QStringLiteral(VANTEL_PORTRAIT_DIR))
                        .filePath(QStringLiteral("shojo%1_%2.jpg").arg(member).arg(picture, 2, 10, QLatin1Char('0')))
                        .toStdString();
        fixture.state.rankInSeat = 1;
        const Case expected = prepare(fixture, screen);
        const auto shown = makeScreen(screen, fixture.state);
        const QImage original =
            matchend_test::asWindowPicture(QImage(fixture.portraitPath(expected.member, expected.picture)));
        QVERIFY(shown->showsMemberPortrait());
        QVERIFY2(matchend_test::showsBandedPicture(shown->picture(), original), qPrintable(bandReport(*shown, original)));

        // A picture of the screen as shown, for looking at.
        const QByteArray snapshots = qgetenv("VANTEL_MATCHEND_SNAPSHOTS");
        if (!snapshots.isEmpty()) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
            const QString name = QStringLiteral("matchend-%1.png").arg(shown->objectName());
            QVERIFY(shown->grab().save(QDir(QString::fromLocal8Bit(snapshots)).filePath(name)));
        }
    }
};

QTEST_MAIN(MatchEndBandTest)
#include "match_end_band_test.moc"
