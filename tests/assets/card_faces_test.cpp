// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a player must be able to read on every card face.
#include "art_test_support.h"

#include "assets/art_resources.h"

#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

#include <array>

namespace art = vantel::art;
using arttest::isInk;
using arttest::meanDifference;

namespace {

// The corner index in the top-left of a stored face: the rank over the suit.
const QRect kIndex(1, 3, 17, 35);
const QRect kIndexRank(1, 3, 17, 20);
const QRect kIndexSuit(1, 23, 17, 15);

// How far apart two corner indices look: the rank or the suit must differ
// clearly on its own, not merely as a fraction of the whole corner.
double indexDistance(const QImage &a, const QImage &b, double scale)
{
    auto scaled = [scale](const QRect &r) {
        return QRect(int(r.x() * scale), int(r.y() * scale), int(r.width() * scale), int(r.height() * scale));
    };
    return std::max(meanDifference(a, scaled(kIndexRank), b, scaled(kIndexRank)),
                    meanDifference(a, scaled(kIndexSuit), b, scaled(kIndexSuit)));
}

class CardFaces : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (int n = 1; n <= art::kCardCount; ++n)
            faces_[static_cast<size_t>(n)] = arttest::load(art::cardFacePath(n));
    }
    static const QImage &face(int n) { return faces_[static_cast<size_t>(n)]; }

    static std::array<QImage, art::kCardCount + 1> faces_;
};

std::array<QImage, art::kCardCount + 1> CardFaces::faces_;

int suitOf(int n) { return (n - 1) / 13 + 1; }
int rankOf(int n) { return (n - 1) % 13 + 1; }

}  // namespace

TEST_F(CardFaces, AllLoaded)
{
    for (int n = 1; n <= art::kCardCount; ++n)
        ASSERT_FALSE(face(n).isNull()) << n;
}

TEST_F(CardFaces, EveryCornerIndexDiffersFromEveryOther)
{
    // At the stored size and at the 49 x 65 the table shows.
    std::array<QImage, art::kCardCount + 1> small;
    for (int n = 1; n <= art::kCardCount; ++n)
        small[static_cast<size_t>(n)] = arttest::sample(face(n), QRectF(0, 0, 78, 108), 49, 65);
    for (int a = 1; a <= art::kCardCount; ++a)
        for (int b = a + 1; b <= art::kCardCount; ++b) {
            EXPECT_GT(indexDistance(face(a), face(b), 1.0), 8.0) << a << " vs " << b;
            EXPECT_GT(indexDistance(small[static_cast<size_t>(a)], small[static_cast<size_t>(b)], 49.0 / 78), 6.0)
                << a << " vs " << b << " at table size";
        }
}

TEST_F(CardFaces, IndexInkIsRedForHeartsAndDiamondsBlackForClubsAndSpades)
{
    for (int n = 1; n <= 52; ++n) {
        SCOPED_TRACE(n);
        int red = 0, dark = 0;
        for (int y = kIndex.top(); y <= kIndex.bottom(); ++y)
            for (int x = kIndex.left(); x <= kIndex.right(); ++x) {
                const QRgb px = face(n).pixel(x, y);
                if (!isInk(px))
                    continue;
                if (qRed(px) > 150 && qGreen(px) < 90)
                    ++red;
                else if (qRed(px) < 90 && qGreen(px) < 90 && qBlue(px) < 90)
                    ++dark;
            }
        const bool redSuit = suitOf(n) == 1 || suitOf(n) == 3;
        EXPECT_GT(redSuit ? red : dark, 40);
        EXPECT_EQ(redSuit ? dark : red, 0);
    }
}

TEST_F(CardFaces, BottomCornerIsTheTopCornerTurnedRound)
{
    // Readable from either end, as on a printed deck.
    for (int n = 1; n <= art::kCardCount; ++n) {
        SCOPED_TRACE(n);
        const QImage turned = face(n).transformed(QTransform().rotate(180));
        EXPECT_LT(meanDifference(face(n), kIndex, turned, kIndex), 1.5);
    }
}

TEST_F(CardFaces, PipCardsShowAsManyPipsAsTheirRank)
{
    const QRect pipArea(19, 8, 40, 92);
    for (int n = 1; n <= 52; ++n) {
        const int rank = rankOf(n);
        if (rank < 2 || rank > 10)
            continue;
        EXPECT_EQ(arttest::countInkBlobs(face(n), pipArea, 12), rank) << "card " << n;
    }
}

TEST_F(CardFaces, AcesCourtsAndJokerHaveTheirOwnCentres)
{
    const QRect centre(20, 12, 38, 84);
    // Jack, Queen and King of a suit are different figures.
    for (int s = 0; s < 4; ++s)
        for (int a = 11; a <= 13; ++a)
            for (int b = a + 1; b <= 13; ++b)
                EXPECT_GT(meanDifference(face(s * 13 + a), centre, face(s * 13 + b), centre), 12.0)
                    << "suit " << s + 1 << " ranks " << a << ", " << b;
    // The ace's single large pip fills far more of the centre than a pip card.
    for (int s = 0; s < 4; ++s) {
        int aceInk = 0, twoInk = 0;
        for (int y = 30; y < 78; ++y)
            for (int x = 22; x < 56; ++x) {
                aceInk += isInk(face(s * 13 + 1).pixel(x, y));
                twoInk += isInk(face(s * 13 + 2).pixel(x, y));
            }
        EXPECT_GT(aceInk, 350) << "suit " << s + 1;
        EXPECT_GT(aceInk, twoInk * 4) << "suit " << s + 1;
    }
    // The joker is colourful: many hues, unlike any suit card.
    QSet<int> hues;
    for (int y = 10; y < 100; ++y)
        for (int x = 20; x < 58; ++x) {
            const QColor c = QColor::fromRgb(face(art::kJoker).pixel(x, y));
            if (c.hsvSaturation() > 120 && c.value() > 80)
                hues.insert(c.hsvHue() / 30);
        }
    EXPECT_GE(hues.size(), 5);
}
