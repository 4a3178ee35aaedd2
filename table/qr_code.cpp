// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace vantel {

QImage qrCodeImage(const QString& text, int moduleSize) {
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code || moduleSize < 1) return {};
    // Four modules of quiet zone around the symbol, as readers expect.
    constexpr int kQuiet = 4;
    const int side = (code->width + 2 * kQuiet) * moduleSize;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if ((code->data[y * code->width + x] & 1) == 0) continue;
            for (int dy = 0; dy < moduleSize; ++dy) {
                uchar* line = image.scanLine((y + kQuiet) * moduleSize + dy);
                for (int dx = 0; dx < moduleSize; ++dx) line[(x + kQuiet) * moduleSize + dx] = 0;
            }
        }
    }
    return image;
}

}  // namespace vantel
