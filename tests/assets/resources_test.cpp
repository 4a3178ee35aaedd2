// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The pictures linked into the program through vantel_art.
#include "art_test_support.h"

#include "assets/art_resources.h"

#include <QFile>
#include <QImageReader>
#include <QSet>

#include <gtest/gtest.h>

namespace art = vantel::art;
using arttest::load;

namespace {

QString formatOf(const QString &path)
{
    QImageReader reader(path);
    return QString::fromLatin1(reader.format());
}

}  // namespace

TEST(ArtResources, PathsFollowTheCardNumbers)
{
    EXPECT_EQ(art::cardFacePath(1), QStringLiteral(":/cards/01.png"));
    EXPECT_EQ(art::cardFacePath(13), QStringLiteral(":/cards/13.png"));
    EXPECT_EQ(art::cardFacePath(art::kJoker), QStringLiteral(":/cards/53.png"));
    EXPECT_EQ(art::cardBackPath(3), QStringLiteral(":/cards/back3.png"));
    EXPECT_EQ(art::portraitFileName(2, 4), QStringLiteral("shojo2_04.jpg"));
    EXPECT_EQ(art::iconPath(48), QStringLiteral(":/icon/vantel-48.png"));
    EXPECT_TRUE(art::cardBackIsLandscape(2));
    EXPECT_TRUE(art::cardBackIsLandscape(4));
    EXPECT_FALSE(art::cardBackIsLandscape(1));
    EXPECT_FALSE(art::cardBackIsLandscape(3));
}

TEST(ArtResources, EveryFaceIsAStoredPngWithRoundedCorners)
{
    art::initResources();
    for (int n = 1; n <= art::kCardCount; ++n) {
        SCOPED_TRACE(n);
        const QString path = art::cardFacePath(n);
        ASSERT_TRUE(QFile::exists(path));
        EXPECT_EQ(formatOf(path), QStringLiteral("png"));
        const QImage img = load(path);
        ASSERT_EQ(img.size(), QSize(art::kFaceWidth, art::kFaceHeight));
        // Transparent outside the rounded corner, opaque paper inside.
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(art::kFaceWidth - 1, art::kFaceHeight - 1)), 0);
        EXPECT_EQ(qAlpha(img.pixel(art::kFaceWidth / 2, 3)), 255);
        EXPECT_EQ(qAlpha(img.pixel(art::kFaceWidth / 2, art::kFaceHeight / 2)), 255);
    }
}

TEST(ArtResources, BacksStandOrLieByTheirSeat)
{
    QImage backs[5];
    for (int seat = 1; seat <= 4; ++seat) {
        SCOPED_TRACE(seat);
        const QString path = art::cardBackPath(seat);
        ASSERT_TRUE(QFile::exists(path));
        backs[seat] = load(path);
        const QSize expected = art::cardBackIsLandscape(seat) ? QSize(art::kBackLong, art::kBackShort)
                                                              : QSize(art::kBackShort, art::kBackLong);
        EXPECT_EQ(backs[seat].size(), expected);
        // A patterned back: many distinct colours, not a flat fill.
        QSet<QRgb> colours;
        for (int y = 0; y < backs[seat].height(); ++y)
            for (int x = 0; x < backs[seat].width(); ++x)
                colours.insert(backs[seat].pixel(x, y));
        EXPECT_GT(colours.size(), 60);
    }
    // Each seat's deck has its own colour.
    EXPECT_GT(arttest::meanDifference(backs[1], backs[1].rect(), backs[3], backs[3].rect()), 10);
    EXPECT_GT(arttest::meanDifference(backs[2], backs[2].rect(), backs[4], backs[4].rect()), 10);
}

TEST(ArtResources, FallbacksPicture1AndIcons)
{
    struct Expect { QString path; QSize size; };
    const Expect fallbacks[] = {{art::memberFallbackPath(), QSize(180, 200)},
                                {art::speechFallbackPath(), QSize(180, 240)},
                                {art::matchEndFallbackPath(), QSize(400, 400)}};
    for (const Expect &e : fallbacks) {
        SCOPED_TRACE(e.path.toStdString());
        const QImage img(e.path);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), e.size);
        EXPECT_FALSE(img.hasAlphaChannel());
    }

    const QImage picture1(art::picture1Path());
    ASSERT_FALSE(picture1.isNull());
    EXPECT_EQ(picture1.size(), QSize(400, 100));
    EXPECT_FALSE(picture1.hasAlphaChannel());
    EXPECT_GE(picture1.depth(), 24);
    int nonBlack = 0;
    for (int y = 0; y < picture1.height(); ++y)
        for (int x = 0; x < picture1.width(); ++x)
            nonBlack += (picture1.pixel(x, y) & 0xffffff) != 0;
    EXPECT_EQ(nonBlack, 0);

    for (int size : art::kIconSizes) {
        SCOPED_TRACE(size);
        const QImage icon = load(art::iconPath(size));
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    }
}
