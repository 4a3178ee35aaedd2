// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Japanese Gothic faces the windows are set in. The labels ask for
// "ＭＳ Ｐゴシック" (proportional) and "ＭＳ ゴシック" (fixed pitch); on this
// platform those names are mapped to the IPA Gothic faces, which share their
// metrics.
#pragma once

#include <QFont>
#include <QString>

namespace vantel {

QString proportionalGothic();  // "ＭＳ Ｐゴシック"
QString fixedGothic();         // "ＭＳ ゴシック"

// Maps the two names to the installed IPA faces (IPAPGothic, IPAGothic),
// falling back to any Japanese Gothic face fontconfig knows. Call once after
// the application object exists.
void installFontSubstitutions();

// A font of the proportional face at `points`, optionally bold.
QFont gothicFont(double points, bool bold = false);

}  // namespace vantel
