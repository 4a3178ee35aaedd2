// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "art_test_support.h"

#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace arttest {

QImage load(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

double meanDifference(const QImage &a, const QRect &ra, const QImage &b, const QRect &rb)
{
    const QImage ca = a.copy(ra).convertToFormat(QImage::Format_ARGB32);
    const QImage cb = b.copy(rb).convertToFormat(QImage::Format_ARGB32);
    if (ca.size() != cb.size() || ca.isNull())
        return -1;
    double sum = 0;
    for (int y = 0; y < ca.height(); ++y)
        for (int x = 0; x < ca.width(); ++x) {
            const QRgb p = ca.pixel(x, y), q = cb.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) +
                   std::abs(qAlpha(p) - qAlpha(q));
        }
    return sum / (4.0 * ca.width() * ca.height());
}

QImage sample(const QImage &img, const QRectF &region, int w, int h)
{
    QImage out(w, h, QImage::Format_ARGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(0, 0, w, h), img, region);
    return out;
}

bool isInk(QRgb px)
{
    if (qAlpha(px) < 128)
        return false;
    const int lo = std::min({qRed(px), qGreen(px), qBlue(px)});
    return lo < 110;
}

int countInkBlobs(const QImage &img, const QRect &region, int minPixels)
{
    const int w = region.width(), h = region.height();
    std::vector<int> seen(static_cast<size_t>(w * h), 0);
    int blobs = 0;
    std::vector<QPoint> stack;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (seen[static_cast<size_t>(y * w + x)] || !isInk(img.pixel(region.x() + x, region.y() + y)))
                continue;
            int size = 0;
            stack.push_back(QPoint(x, y));
            seen[static_cast<size_t>(y * w + x)] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++size;
                const QPoint next[4] = {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)};
                for (const QPoint &n : next) {
                    if (n.x() < 0 || n.y() < 0 || n.x() >= w || n.y() >= h)
                        continue;
                    int &mark = seen[static_cast<size_t>(n.y() * w + n.x())];
                    if (mark || !isInk(img.pixel(region.x() + n.x(), region.y() + n.y())))
                        continue;
                    mark = 1;
                    stack.push_back(n);
                }
            }
            if (size >= minPixels)
                ++blobs;
        }
    return blobs;
}

}  // namespace arttest
