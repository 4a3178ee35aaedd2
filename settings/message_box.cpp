// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/message_box.h"

#include <QPointer>

namespace vantel {

QMessageBox::StandardButton showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                           const QString& text, QMessageBox::StandardButtons buttons) {
    // On the heap, not the stack: a parent that is destroyed while the box
    // waits deletes the box with it.
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, buttons, parent);
    if (parent) box->setFont(parent->font());
    const int answer = box->exec();
    if (!box) return QMessageBox::NoButton;
    delete box.data();
    return static_cast<QMessageBox::StandardButton>(answer);
}

bool confirmBox(QWidget* parent, const QString& title, const QString& text) {
    return showMessageBox(parent, QMessageBox::Warning, title, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void warningBox(QWidget* parent, const QString& title, const QString& text) {
    showMessageBox(parent, QMessageBox::Warning, title, text, QMessageBox::Ok);
}

void informationBox(QWidget* parent, const QString& title, const QString& text) {
    showMessageBox(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

}  // namespace vantel
