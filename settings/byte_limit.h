// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Keeps what the user types into a text box storable in the settings file:
// at most a given number of bytes once converted to the file's code page
// (CP932, two bytes per full-width character, one per half-width one), and
// only characters that code page can hold.
//
// The check looks at what an edit inserted (the text that differs from the
// box's text before the edit): characters CP932 cannot hold are dropped from
// it, and what does not fit is cut from its end, so typing, pasting and an
// input method's committed text all stop at the limit. Text already in the
// box is never cut; a box filled with a longer text from the settings file
// can be edited and shortened, but does not grow.
#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

namespace vantel {

// Bytes of `text` in CP932.
int cp932Bytes(const QString& text);

// Whether every character of `text` can be stored in CP932.
bool cp932CanHold(const QString& text);

// Whether `text` can be written to the settings file and read back whole
// through a read buffer of `bufferSize` bytes.
bool fitsSettingsBuffer(const QString& text, int bufferSize);

class Cp932ByteLimit : public QValidator {
    Q_OBJECT
public:
    // Attaches itself to `box` as its validator.
    Cp932ByteLimit(int maxBytes, QLineEdit* box);

    int maxBytes() const { return maxBytes_; }
    State validate(QString& input, int& pos) const override;

private:
    friend void setBoxText(QLineEdit* box, const QString& text);

    int maxBytes_;
    QString before_;       // the box's text before the edit being checked
    bool bypass_ = false;  // set while the program itself fills the box
};

// Puts `text` into `box` as the program's own value (from the settings or a
// file chooser), without the typing limit; the box's change signals run as
// for any other change.
void setBoxText(QLineEdit* box, const QString& text);

}  // namespace vantel
