// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the game's default artwork.
//
//   vantel-artgen --out DIR --portraits DIR
//       cards, backs, fallbacks, Picture1 and icons into DIR (the resource
//       tree), the default member portraits into the portraits folder.
//   vantel-artgen --contact-sheet FILE
//       one PNG showing all of it.
//
// Output is byte-for-byte the same on every run: nothing depends on time,
// locale, screen or random state.
#include "catalog.h"
#include "contact_sheet.h"
#include "paint_kit.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <vector>

namespace {

int usage()
{
    std::fputs("usage: vantel-artgen --out DIR --portraits DIR\n"
               "       vantel-artgen --contact-sheet FILE\n",
               stderr);
    return 2;
}

bool writeInto(const QString &folder, const artgen::Artwork &art)
{
    const QString path = QDir(folder).filePath(art.name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !artgen::save(art.draw(), path)) {
        std::fprintf(stderr, "vantel-artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    // Drawing text needs a GUI application but never a screen.
    std::vector<char *> args(argv, argv + argc);
    char platformFlag[] = "-platform";
    char offscreen[] = "offscreen";
    args.insert(args.begin() + 1, {platformFlag, offscreen});
    int qtArgc = static_cast<int>(args.size());
    QGuiApplication app(qtArgc, args.data());
    artgen::loadFonts();

    QString outDir, portraitDir, sheet;
    const QStringList a = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (i + 1 >= a.size())
            return usage();
        if (a[i] == QLatin1String("--out"))
            outDir = a[++i];
        else if (a[i] == QLatin1String("--portraits"))
            portraitDir = a[++i];
        else if (a[i] == QLatin1String("--contact-sheet"))
            sheet = a[++i];
        else
            return usage();
    }

    if (!sheet.isEmpty()) {
        QDir().mkpath(QFileInfo(sheet).absolutePath());
        if (!artgen::save(artgen::drawContactSheet(), sheet)) {
            std::fprintf(stderr, "vantel-artgen: cannot write %s\n", qPrintable(sheet));
            return 1;
        }
        if (outDir.isEmpty() && portraitDir.isEmpty())
            return 0;
    }
    if (outDir.isEmpty() || portraitDir.isEmpty())
        return usage();

    bool ok = true;
    for (const artgen::Artwork &art : artgen::catalog())
        ok = writeInto(art.destination == artgen::Destination::Resources ? outDir : portraitDir, art) && ok;
    return ok ? 0 : 1;
}
