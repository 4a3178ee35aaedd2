// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Text crossing between the game's UTF-8 strings and Qt.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vantel {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStd(const QString& text) { return text.toUtf8().toStdString(); }

// Window sizes and places are given in twips: 15 to a pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

}  // namespace vantel
