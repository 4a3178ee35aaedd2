// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/settings_error.h"

#include <QMessageBox>
#include <QString>

#include "records/settings.h"

namespace vantel {

namespace {
QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

QString settingsErrorText() {
    QString text = fromUtf8(kSettingsErrorText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void showSettingsError(QWidget* parent) {
    QMessageBox box(QMessageBox::Warning, fromUtf8(kSettingsErrorTitle), settingsErrorText(),
                    QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace vantel
