// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Vantel: ７ならべ for one player against three computer players.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <optional>

#include "assets/art_resources.h"
#include "table/fonts.h"
#include "table/program.h"

namespace {

constexpr int kUsageError = 2;

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

// Reads the command line before any window system is opened, so that
// --help and --version answer with no display at all. The game takes no
// other option and no argument: anything else is refused with the usage.
// Returns the exit status when the program ends here.
std::optional<int> answerCommandLine(int& argc, char** argv) {
    const QCoreApplication reader(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Sevens (７ならべ) for one player against three computer players."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the name and version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    QString error;
    if (!parser.parse(QCoreApplication::arguments())) {
        error = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst());
    }
    if (!error.isEmpty()) {
        print(stderr, QStringLiteral("Vantel: %1\n").arg(error) + parser.helpText());
        return kUsageError;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Vantel " VANTEL_VERSION "\n"));
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = answerCommandLine(argc, argv)) return *status;

    QApplication app(argc, argv);
    // The windows decide when the program ends, not the last one closed:
    // the member selection closes before the table opens.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Vantel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTEL_VERSION));
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

    // The game's pace, for the scripts that drive the real program: 0.25
    // plays four times as fast. Anything else is the game's own pace.
    bool paced = false;
    const double pace = qEnvironmentVariable("VANTEL_PACE").toDouble(&paced);
    if (paced && pace >= 0.05 && pace <= 1.0) vantel::program().pauseScale = pace;

    vantel::openMemberSelection();
    return QApplication::exec();
}
