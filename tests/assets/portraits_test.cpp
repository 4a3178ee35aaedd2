// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The default members' portrait files beside the program.
#include "art_test_support.h"

#include "assets/art_resources.h"

#include <QDir>
#include <QImageReader>

#include <gtest/gtest.h>

namespace art = vantel::art;
using arttest::meanDifference;

namespace {

QString portraitPath(int member, int picture)
{
    return QDir(QStringLiteral(VANTEL_PORTRAIT_DIR)).filePath(art::portraitFileName(member, picture));
}

// The face of a portrait, resampled to a common size. Picture 1 draws the
// face at 0.9 px per face unit about (90, 114); the match-end pictures at
// 1.3 about (200, 160). The face spans about -52..52 x -60..64 units.
QImage faceOf(const QImage &img, int picture)
{
    const double scale = picture == 1 ? 0.9 : 1.3;
    const QPointF origin = picture == 1 ? QPointF(90, 114) : QPointF(200, 160);
    const QRectF units(-52, -60, 104, 124);
    const QRectF region(origin.x() + units.x() * scale, origin.y() + units.y() * scale, units.width() * scale,
                        units.height() * scale);
    return arttest::sample(img, region, 52, 62);
}

}  // namespace

TEST(Portraits, SixteenJpegFilesWithTheirSizes)
{
    for (int member = 1; member <= 4; ++member)
        for (int picture = 1; picture <= 4; ++picture) {
            SCOPED_TRACE(art::portraitFileName(member, picture).toStdString());
            QImageReader reader(portraitPath(member, picture));
            reader.setDecideFormatFromContent(true);
            ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
            EXPECT_EQ(reader.format(), QByteArray("jpeg"));
            const QImage img = reader.read();
            ASSERT_FALSE(img.isNull());
            EXPECT_EQ(img.size(), picture == 1 ? QSize(180, 240) : QSize(400, 400));
        }
}

TEST(Portraits, EachPictureOfAMemberShowsADifferentFace)
{
    for (int member = 1; member <= 4; ++member) {
        QImage faces[5];
        for (int picture = 1; picture <= 4; ++picture)
            faces[picture] = faceOf(QImage(portraitPath(member, picture)), picture);
        for (int a = 1; a <= 4; ++a)
            for (int b = a + 1; b <= 4; ++b)
                EXPECT_GT(meanDifference(faces[a], faces[a].rect(), faces[b], faces[b].rect()), 3.0)
                    << "member " << member << " pictures " << a << " and " << b;
    }
}

TEST(Portraits, PicturesOfOneMemberShowTheSameCharacter)
{
    // Same hair and face from picture to picture: their faces are closer to
    // each other than to any other member's face in the same picture slot.
    QImage faces[5][5];
    for (int member = 1; member <= 4; ++member)
        for (int picture = 1; picture <= 4; ++picture)
            faces[member][picture] = faceOf(QImage(portraitPath(member, picture)), picture);
    for (int member = 1; member <= 4; ++member)
        for (int picture = 2; picture <= 4; ++picture) {
            const QImage &mine = faces[member][picture];
            const double own = meanDifference(faces[member][1], faces[member][1].rect(), mine, mine.rect());
            for (int other = 1; other <= 4; ++other) {
                if (other == member)
                    continue;
                const QImage &theirs = faces[other][picture];
                EXPECT_LT(own, meanDifference(faces[other][1], faces[other][1].rect(), mine, mine.rect()))
                    << "member " << member << " picture " << picture << " looks more like member " << other;
                EXPECT_GT(meanDifference(mine, mine.rect(), theirs, theirs.rect()), 8.0)
                    << "members " << member << " and " << other << " picture " << picture;
            }
        }
}

TEST(Portraits, MatchEndPicturesKeepTheFaceAboveTheCaptionBand)
{
    // The match-end screens darken rows 300..399 for their caption; the face
    // (skin tones) must lie above that band.
    for (int member = 1; member <= 4; ++member)
        for (int picture = 2; picture <= 4; ++picture) {
            const QImage img(portraitPath(member, picture));
            int skinAbove = 0, skinInBand = 0;
            for (int y = 0; y < 400; y += 2)
                for (int x = 100; x < 300; x += 2) {
                    const QColor c = QColor::fromRgb(img.pixel(x, y));
                    const bool skin = c.red() >= 250 && c.green() > 222 && c.green() < 240 && c.blue() > 205 &&
                                      c.blue() < 225;
                    (y < 300 ? skinAbove : skinInBand) += skin;
                }
            EXPECT_GT(skinAbove, 800) << member << "/" << picture;
            EXPECT_LT(skinInBand, skinAbove / 10) << member << "/" << picture;
        }
}
