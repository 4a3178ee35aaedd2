// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalog.h"

#include "cards.h"
#include "extras.h"
#include "portraits.h"

#include <QImageWriter>

namespace artgen {

std::vector<Artwork> catalog()
{
    std::vector<Artwork> all;
    for (int n = 1; n <= 53; ++n)
        all.push_back({Destination::Resources, QStringLiteral("cards/%1.png").arg(n, 2, 10, QLatin1Char('0')),
                       [n] { return drawCardFace(n); }});
    for (int seat = 1; seat <= 4; ++seat)
        all.push_back({Destination::Resources, QStringLiteral("cards/back%1.png").arg(seat),
                       [seat] { return drawCardBack(seat); }});
    all.push_back({Destination::Resources, QStringLiteral("fallback/member.png"),
                   [] { return drawFallbackPortrait(180, 200, true); }});
    all.push_back({Destination::Resources, QStringLiteral("fallback/speech.png"),
                   [] { return drawFallbackPortrait(kPlayW, kPlayH, true); }});
    all.push_back({Destination::Resources, QStringLiteral("fallback/matchend.png"),
                   [] { return drawFallbackPortrait(kStageSize, kStageSize, false); }});
    all.push_back({Destination::Resources, QStringLiteral("fallback/picture1.png"), [] { return drawPicture1(); }});
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        all.push_back({Destination::Resources, QStringLiteral("icon/vantel-%1.png").arg(size),
                       [size] { return drawIcon(size); }});
    for (int member = 1; member <= 4; ++member)
        for (int picture = 1; picture <= 4; ++picture)
            all.push_back({Destination::Portraits,
                           QStringLiteral("shojo%1_%2.jpg").arg(member).arg(picture, 2, 10, QLatin1Char('0')),
                           [member, picture] { return drawPortrait(member, picture); }});
    return all;
}

bool save(const QImage &image, const QString &path)
{
    QImageWriter writer(path);
    if (path.endsWith(QLatin1String(".jpg"))) {
        writer.setFormat("jpeg");
        writer.setQuality(92);
        writer.setOptimizedWrite(true);
        writer.setProgressiveScanWrite(false);
        return writer.write(image.convertToFormat(QImage::Format_RGB888));
    }
    writer.setFormat("png");
    // Maximum deflate effort; the output is the same bytes on every run.
    writer.setQuality(0);
    if (!image.hasAlphaChannel())
        return writer.write(image.convertToFormat(QImage::Format_RGB888));
    return writer.write(image.convertToFormat(QImage::Format_ARGB32));
}

}  // namespace artgen
