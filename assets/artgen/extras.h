// Picture1 (the black blend source) and the application icon.
#pragma once

#include <QImage>

namespace artgen {

QImage drawPicture1();           // 400 x 100, opaque black, 24-bit
QImage drawIcon(int size);       // square, transparent corners

}  // namespace artgen
