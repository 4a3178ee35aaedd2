// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Vantel: ７ならべ for one player against three computer players.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "assets/art_resources.h"
#include "table/fonts.h"
#include "table/program.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The windows decide when the program ends, not the last one closed:
    // the member selection closes before the table opens.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Vantel"));
    QGuiApplication::setDesktopFileName(QStringLiteral(VANTEL_APP_ID));
    vantel::art::initResources();
    vantel::installFontSubstitutions();
    QApplication::setFont(vantel::gothicFont(9));
    // Standard buttons of the message boxes in Japanese (はい, いいえ, キャンセル).
    QTranslator qtText;
    if (qtText.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtText);
    }
    QIcon icon;
    for (const int size : vantel::art::kIconSizes) icon.addFile(vantel::art::iconPath(size));
    QApplication::setWindowIcon(icon);

    vantel::openMemberSelection();
    return QApplication::exec();
}
