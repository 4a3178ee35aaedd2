// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's message boxes: a fixed text and title, an icon and a set of
// buttons, answered modally. Tests install an answerer that is handed the
// real, fully built box instead of it being run, so they can read it and
// pick the button.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <functional>
#include <string_view>

namespace vantel {

QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon,
                                        std::string_view title, std::string_view text,
                                        QMessageBox::StandardButtons buttons);

// Shorthands for the three kinds the game asks.
bool confirmOkCancel(QWidget* parent, std::string_view title, std::string_view text);
bool confirmYesNo(QWidget* parent, std::string_view title, std::string_view text);
void notify(QWidget* parent, QMessageBox::Icon icon, std::string_view title, std::string_view text);

// When set, every box is handed to this function instead of being shown;
// its answer is the box's result.
// Runs a modal window (a result table, the ranking, the rules) and returns
// its result. Tests install a runner that inspects and closes it instead.
int runModal(QDialog& dialog);
using ModalRunner = std::function<int(QDialog& dialog)>;
void setModalRunner(ModalRunner runner);

using MessageAnswerer = std::function<QMessageBox::StandardButton(QMessageBox& box)>;
void setMessageAnswerer(MessageAnswerer answerer);

// The same without waiting, for the table, which goes on serving the event
// loop: the window opens window-modal over its parent and `closed` runs
// with its result once it is closed (at once when tests answer it). A
// window whose parent goes away first is taken with it, and `closed` never
// runs. The dialog is deleted after `closed`, unless it is to be kept.
enum class ModalEnd { Delete, Keep };
void openModal(QDialog* dialog, std::function<void(int result)> closed, ModalEnd end = ModalEnd::Delete);
// A message box so opened; `answered` gets the button.
void openMessage(QWidget* parent, QMessageBox::Icon icon, std::string_view title, std::string_view text,
                 QMessageBox::StandardButtons buttons,
                 std::function<void(QMessageBox::StandardButton)> answered);

}  // namespace vantel
