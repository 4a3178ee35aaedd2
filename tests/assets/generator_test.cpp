// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The generator: deterministic output, contact sheet, argument handling.
#include "assets/art_resources.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int runGenerator(const QStringList &args)
{
    QProcess proc;
    proc.setProgram(QStringLiteral(VANTEL_ARTGEN_PATH));
    proc.setArguments(args);
    proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proc.start();
    if (!proc.waitForFinished(300000))
        return -1;
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

// Relative path -> content hash of every file below `root`.
QMap<QString, QByteArray> digest(const QString &root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        out.insert(QDir(root).relativeFilePath(path),
                   QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256));
    }
    return out;
}

}  // namespace

TEST(Generator, TwoRunsWriteTheSameBytesAsTheBuild)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    for (const char *run : {"one", "two"}) {
        const QString base = tmp.filePath(QString::fromLatin1(run));
        ASSERT_EQ(runGenerator({QStringLiteral("--out"), base + QStringLiteral("/art"), QStringLiteral("--portraits"),
                                base + QStringLiteral("/gazou")}),
                  0);
    }
    const auto artOne = digest(tmp.filePath(QStringLiteral("one/art")));
    const auto artTwo = digest(tmp.filePath(QStringLiteral("two/art")));
    const auto gazouOne = digest(tmp.filePath(QStringLiteral("one/gazou")));
    const auto gazouTwo = digest(tmp.filePath(QStringLiteral("two/gazou")));
    EXPECT_EQ(artOne.size(), 53 + 4 + 4 + 7);
    EXPECT_EQ(gazouOne.size(), 16);
    EXPECT_EQ(artOne, artTwo);
    EXPECT_EQ(gazouOne, gazouTwo);
    // And the build's own copies are those same bytes.
    EXPECT_EQ(digest(QStringLiteral(VANTEL_ART_DIR)), artOne);
    const auto built = digest(QStringLiteral(VANTEL_PORTRAIT_DIR));
    for (auto it = gazouOne.begin(); it != gazouOne.end(); ++it)
        EXPECT_EQ(built.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_TRUE(gazouOne.contains(vantel::art::portraitFileName(4, 4)));
}

TEST(Generator, DrawsTheContactSheet)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString sheet = tmp.filePath(QStringLiteral("docs/sheet.png"));
    ASSERT_EQ(runGenerator({QStringLiteral("--contact-sheet"), sheet}), 0);
    const QImage img(sheet);
    ASSERT_FALSE(img.isNull());
    EXPECT_GE(img.width(), 13 * 78);
    EXPECT_GE(img.height(), 4 * 108 + 4 * 240);
    // Nothing else was written beside it.
    EXPECT_EQ(QDir(tmp.filePath(QStringLiteral("docs"))).entryList(QDir::Files).size(), 1);
}

TEST(Generator, RefusesIncompleteArguments)
{
    EXPECT_EQ(runGenerator({}), 2);
    EXPECT_EQ(runGenerator({QStringLiteral("--out")}), 2);
    EXPECT_EQ(runGenerator({QStringLiteral("--bogus"), QStringLiteral("x")}), 2);
    QTemporaryDir tmp;
    EXPECT_EQ(runGenerator({QStringLiteral("--out"), tmp.path()}), 2);
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}
