// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Default artwork compiled into the program (the `vantel_art` library).
//
// Every picture below is drawn by the generator in assets/artgen at build
// time and linked in as a Qt resource, so no card picture is ever read from
// a file. Link `vantel_art` and load the pictures with QImage/QPixmap:
//
//   :/cards/01.png .. :/cards/52.png   card faces, 78 x 108, index = card number
//                                      (suit (n-1)/13+1: 1 diamonds, 2 clubs,
//                                      3 hearts, 4 spades; rank (n-1)%13+1)
//   :/cards/53.png                     the joker, 78 x 108
//   :/cards/back1.png .. back4.png     card backs of seats 1..4: seats 1 and 3
//                                      portrait 49 x 65, seats 2 and 4
//                                      landscape 65 x 49
//   :/fallback/member.png              member grid default portrait, 180 x 200
//   :/fallback/speech.png              speech window default portrait, 180 x 240
//   :/fallback/matchend.png            match-end screens default portrait, 400 x 400
//   :/fallback/picture1.png            the all-black 400 x 100 blend source
//   :/icon/vantel-16.png .. vantel-256.png   application icon (16, 24, 32, 48,
//                                      64, 128, 256 px square)
//
// Card faces, the joker, the backs and the icons have transparent rounded
// corners; the fallback portraits and Picture1 are opaque.
//
// The default member portraits are not resources: they are JPEG files in
// the program folder, gazou/shojoK_0M.jpg (member K = 1..4, picture M = 1..4).
// Picture 1 (the face at play) is 180 x 240; pictures 2..4 (match-end
// screens) are 400 x 400 with the face above row 300, so the darkened
// 400 x 100 caption band at rows 300..399 covers only the shoulders.
#pragma once

#include <QString>

namespace vantel::art {

inline constexpr int kCardCount = 53;  // 52 faces + the joker
inline constexpr int kJoker = 53;
inline constexpr int kFaceWidth = 78;
inline constexpr int kFaceHeight = 108;
inline constexpr int kBackShort = 49;
inline constexpr int kBackLong = 65;
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// ":/cards/01.png" .. ":/cards/53.png" for card numbers 1..53.
inline QString cardFacePath(int cardNumber)
{
    return QStringLiteral(":/cards/%1.png").arg(cardNumber, 2, 10, QLatin1Char('0'));
}

// ":/cards/back1.png" .. ":/cards/back4.png" for seats 1..4.
inline QString cardBackPath(int seat)
{
    return QStringLiteral(":/cards/back%1.png").arg(seat);
}

// Seats 2 and 4 sit at the sides of the table and hold their cards sideways.
inline bool cardBackIsLandscape(int seat) { return seat == 2 || seat == 4; }

inline QString memberFallbackPath() { return QStringLiteral(":/fallback/member.png"); }
inline QString speechFallbackPath() { return QStringLiteral(":/fallback/speech.png"); }
inline QString matchEndFallbackPath() { return QStringLiteral(":/fallback/matchend.png"); }
inline QString picture1Path() { return QStringLiteral(":/fallback/picture1.png"); }

inline QString iconPath(int size)
{
    return QStringLiteral(":/icon/vantel-%1.png").arg(size);
}

// File name of default portrait `picture` (1..4) of default member `member`
// (1..4), relative to the program folder's gazou/ directory.
inline QString portraitFileName(int member, int picture)
{
    return QStringLiteral("shojo%1_%2.jpg").arg(member).arg(picture, 2, 10, QLatin1Char('0'));
}

// Registers the resources. Linking `vantel_art` already registers them at
// start-up; calling this as well is harmless and keeps a static link honest.
void initResources();

}  // namespace vantel::art
