// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Small text routines shared by the windows.
#pragma once

#include <string>
#include <string_view>

namespace vantel {

// Length in bytes of `text` (UTF-8) once stored in the settings file's code
// page: two per full-width character, one per half-width one. A character
// the code page cannot hold counts 1, as it is stored as "?".
int ansiByteLength(std::string_view text);

// `text` up to and including its first "。", then CR LF, then the rest; a
// text without "。" comes back unchanged.
std::string breakAfterFullStop(std::string_view text);

}  // namespace vantel
