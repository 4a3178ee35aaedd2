// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the settings editor's four tabs and both file choosers to PNG files
// (offscreen), to look at the layout: options-tab0.png .. options-tab3.png,
// options-dialog.png and options-dialog1.png in the folder given (default
// /tmp). Not a test; run it by hand.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "editor_support.h"
#include "settings/file_choosers.h"
#include "settings/frm_options.h"

using namespace vantel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // As the program does at start-up: the Windows Gothic family maps to an
    // installed Japanese Gothic font.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");

    test::SettingsFolder settings(6);
    test::FakeThumbnails thumbnails(settings.state());
    OptionsGlobals globals;
    frmOptions editor(settings.state(), &thumbnails, nullptr, globals);
    bool ok = true;
    editor.show();
    ok &= QTest::qWaitForWindowExposed(&editor);
    // Change mode with a member chosen, so the picture boxes are filled.
    editor.findChild<QRadioButton*>(QStringLiteral("Option3"))->click();
    auto* list = editor.findChild<QComboBox*>(QStringLiteral("Combo1"));
    list->setCurrentIndex(1);
    QTest::keyClick(list, Qt::Key_Down);
    auto* tabs = editor.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QTest::qWait(20);
        ok &= editor.grab().save(QStringLiteral("%1/options-tab%2.png").arg(out).arg(tab));
    }

    QDir folder(QString::fromStdString(settings.folder().string()));
    for (const char* name : {"ayaya_01.jpg", "ayaya_02.jpg", "yuuko.bmp", "face.gif", "bgm.mid", "yatta.wav"}) {
        QFile(folder.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    }
    folder.mkdir(QStringLiteral("写真"));
    globals.chooserSlot = 1;
    QLineEdit box(folder.filePath(QStringLiteral("ayaya_01.jpg")));
    Dialog pictures(&box, globals, &editor);
    pictures.show();
    ok &= QTest::qWaitForWindowExposed(&pictures);
    ok &= pictures.grab().save(out + QStringLiteral("/options-dialog.png"));
    globals.chooserSlot = 6;
    Dialog1 sounds(&box, globals, &editor);
    sounds.show();
    ok &= QTest::qWaitForWindowExposed(&sounds);
    ok &= sounds.grab().save(out + QStringLiteral("/options-dialog1.png"));
    return ok ? 0 : 1;
}
