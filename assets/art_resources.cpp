// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "assets/art_resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerArtResources() { Q_INIT_RESOURCE(vantel_art); }

namespace vantel::art {

void initResources() { registerArtResources(); }

}  // namespace vantel::art
