// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/options_globals.h"

namespace vantel {

OptionsGlobals& optionsGlobals() {
    static OptionsGlobals globals;
    return globals;
}

}  // namespace vantel
