// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Small image measurements shared by the artwork tests.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace arttest {

QImage load(const QString &path);

// Mean absolute difference per channel (0..255) of two same-sized regions.
double meanDifference(const QImage &a, const QRect &ra, const QImage &b, const QRect &rb);

// Region of `img` resampled to w x h (smooth), as RGB over white.
QImage sample(const QImage &img, const QRectF &region, int w, int h);

// Pixels clearly inked: well away from white paper.
bool isInk(QRgb px);

// Connected groups of ink pixels inside `region` (4-neighbourhood),
// ignoring specks smaller than `minPixels`.
int countInkBlobs(const QImage &img, const QRect &region, int minPixels);

}  // namespace arttest
