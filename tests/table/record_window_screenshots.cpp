// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the record window (成績) to PNG files, to look at its layout: with an
// empty record and with a hundred matches, at its opening size and
// maximised: seiseki-empty.png, seiseki-empty-max.png, seiseki-full.png and
// seiseki-full-max.png in the folder given (default /tmp). Not a test; run
// it by hand, under a window manager for the maximised pictures:
//   xvfb-run -s '-screen 0 1280x900x24' sh -c 'openbox & sleep 1; build/tests/record_window_screenshots /tmp'
// or offscreen on the 1024×768 screen record_window_test uses:
//   QT_QPA_PLATFORM=offscreen:configfile=build/tests/table/screen-1024x768.json build/tests/record_window_screenshots /tmp
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "table/fonts.h"
#include "table/frm_seiseki.h"
#include "tests/records/played_record.h"

using namespace vantel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    QApplication::setFont(gothicFont(9));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    QTemporaryDir folder;
    const std::filesystem::path file = folder.filePath(QStringLiteral("Seiseki.json")).toStdString();
    bool ok = true;
    for (const auto& [name, matches] : {std::pair{"empty", 0}, std::pair{"full", 130}}) {
        FrmSeiseki window(test::playedRecord(matches), file, nullptr);
        window.show();
        ok &= QTest::qWaitForWindowExposed(&window);
        QTest::qWait(200);
        ok &= window.grab().save(QStringLiteral("%1/seiseki-%2.png").arg(out, QLatin1String(name)));
        window.showMaximized();
        QTest::qWait(600);
        ok &= window.grab().save(QStringLiteral("%1/seiseki-%2-max.png").arg(out, QLatin1String(name)));
    }
    return ok ? 0 : 1;
}
