// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The message the program shows, before anything else, when its settings
// file cannot be used; the program ends once it is answered.
#pragma once

class QWidget;
class QString;

namespace vantel {

// The settings error's text as the message box shows it (lines broken for
// the window system rather than with CR LF).
QString settingsErrorText();

// Shows the settings error modally: exclamation icon, OK only. The caller
// ends the program when it returns.
void showSettingsError(QWidget* parent = nullptr);

}  // namespace vantel
