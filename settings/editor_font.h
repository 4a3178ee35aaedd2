// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The font of the settings editor and its choosers: the Japanese Gothic
// family the game's windows use (mapped to an installed Gothic font at
// program start-up), 9 points.
#pragma once

#include <QFont>
#include <QString>

namespace vantel {

inline QFont editorFont() {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace vantel
