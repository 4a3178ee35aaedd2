// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace vantel {

QString proportionalGothic() { return QStringLiteral("ＭＳ Ｐゴシック"); }
QString fixedGothic() { return QStringLiteral("ＭＳ ゴシック"); }

namespace {

// The first of `candidates` that is installed; `candidates` itself when
// none is, so fontconfig still gets a chance to match one.
QStringList installedOf(const QStringList& candidates) {
    const QStringList families = QFontDatabase::families();
    QStringList found;
    for (const QString& name : candidates) {
        if (families.contains(name, Qt::CaseInsensitive)) found << name;
    }
    return found.isEmpty() ? candidates : found;
}

}  // namespace

void installFontSubstitutions() {
    QFont::insertSubstitutions(
        proportionalGothic(),
        installedOf({QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                     QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")}));
    QFont::insertSubstitutions(
        fixedGothic(), installedOf({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("IPAPGothic")}));
}

QFont gothicFont(double points, bool bold) {
    QFont font(proportionalGothic());
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace vantel
