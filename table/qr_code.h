// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A QR code of a link (libqrencode), for a phone to scan off the screen.
#pragma once

#include <QImage>
#include <QString>

namespace vantel {

// Black modules on white, `moduleSize` pixels each, with the quiet zone;
// a null image when the text cannot be encoded.
QImage qrCodeImage(const QString& text, int moduleSize);

}  // namespace vantel
