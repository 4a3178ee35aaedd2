// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Message boxes of the settings editor and its choosers.
//
// Each box is shown modally over `parent` and pumps events while it waits;
// when `parent` goes away meanwhile (its own parent closed), the box goes
// with it and the call returns QMessageBox::NoButton. Callers hold a
// QPointer to themselves and stop when it is cleared.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace vantel {

QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                           const QString& text, QMessageBox::StandardButtons buttons);

// Exclamation icon, OK and Cancel: true only for OK.
bool confirmBox(QWidget* parent, const QString& title, const QString& text);
// Exclamation icon, OK.
void warningBox(QWidget* parent, const QString& title, const QString& text);
// Information icon, OK.
void informationBox(QWidget* parent, const QString& title, const QString& text);

}  // namespace vantel
