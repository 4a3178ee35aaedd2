// One overview picture of every card, back, portrait and stand-in.
#pragma once

#include <QImage>

namespace artgen {

QImage drawContactSheet();

}  // namespace artgen
