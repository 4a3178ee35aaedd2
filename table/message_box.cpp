// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/message_box.h"

#include <QDialog>
#include <QPointer>

#include "table/qt_text.h"

namespace vantel {

namespace {
MessageAnswerer& answerer() {
    static MessageAnswerer instance;
    return instance;
}
}  // namespace

void setMessageAnswerer(MessageAnswerer a) { answerer() = std::move(a); }

namespace {
ModalRunner& modalRunner() {
    static ModalRunner instance;
    return instance;
}
}  // namespace

void setModalRunner(ModalRunner runner) { modalRunner() = std::move(runner); }

int runModal(QDialog& dialog) {
    if (modalRunner()) return modalRunner()(dialog);
    return dialog.exec();
}

QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon,
                                        std::string_view title, std::string_view text,
                                        QMessageBox::StandardButtons buttons) {
    // Message texts break lines with CR LF; the box wants plain line feeds.
    QString body = qs(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The box lives on the heap under a guard: if its parent goes away
    // while it waits, the box goes with it and is not touched again.
    QPointer<QMessageBox> box = new QMessageBox(icon, qs(title), body, buttons, parent);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    // What a box says may come from other players: never read as markup.
    box->setTextFormat(Qt::PlainText);
    QMessageBox::StandardButton result = QMessageBox::NoButton;
    if (answerer()) {
        result = answerer()(*box);
    } else {
        const int code = box->exec();
        if (box) {
            result = box->standardButton(box->clickedButton());
            if (result == QMessageBox::NoButton) result = static_cast<QMessageBox::StandardButton>(code);
        }
    }
    delete box.data();
    return result;
}

void openModal(QDialog* dialog, std::function<void(int result)> closed, ModalEnd end) {
    if (modalRunner()) {
        QPointer<QDialog> guard = dialog;
        const int result = modalRunner()(*dialog);
        if (closed) closed(result);
        if (end == ModalEnd::Delete) delete guard.data();
        return;
    }
    QObject::connect(
        dialog, &QDialog::finished, dialog,
        [dialog, end, closed = std::move(closed)](int result) {
            if (end == ModalEnd::Delete) dialog->deleteLater();
            if (closed) closed(result);
        },
        Qt::SingleShotConnection);
    dialog->open();
}

void openMessage(QWidget* parent, QMessageBox::Icon icon, std::string_view title, std::string_view text,
                 QMessageBox::StandardButtons buttons,
                 std::function<void(QMessageBox::StandardButton)> answered) {
    QString body = qs(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto* box = new QMessageBox(icon, qs(title), body, buttons, parent);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setTextFormat(Qt::PlainText);
    if (answerer()) {
        const QMessageBox::StandardButton result = answerer()(*box);
        delete box;
        if (answered) answered(result);
        return;
    }
    QObject::connect(
        box, &QDialog::finished, box,
        [box, answered = std::move(answered)](int code) {
            QMessageBox::StandardButton result = box->standardButton(box->clickedButton());
            if (result == QMessageBox::NoButton) result = static_cast<QMessageBox::StandardButton>(code);
            box->deleteLater();
            if (answered) answered(result);
        },
        Qt::SingleShotConnection);
    box->open();
}

bool confirmOkCancel(QWidget* parent, std::string_view title, std::string_view text) {
    return showMessage(parent, QMessageBox::Warning, title, text,
                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool confirmYesNo(QWidget* parent, std::string_view title, std::string_view text) {
    return showMessage(parent, QMessageBox::Warning, title, text,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void notify(QWidget* parent, QMessageBox::Icon icon, std::string_view title, std::string_view text) {
    showMessage(parent, icon, title, text, QMessageBox::Ok);
}

}  // namespace vantel
