// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One overview picture of every card, back, portrait and stand-in.
#pragma once

#include <QImage>

namespace artgen {

QImage drawContactSheet();

}  // namespace artgen
