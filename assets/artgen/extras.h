// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Picture1 (the black blend source) and the application icon.
#pragma once

#include <QImage>

namespace artgen {

QImage drawPicture1();           // 400 x 100, opaque black, 24-bit
QImage drawIcon(int size);       // square, transparent corners

}  // namespace artgen
