// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The two file choosers of the settings editor: `Dialog` ("画像ファイルの指定")
// for a member's picture and `Dialog1` ("サウンドファイルの指定") for a music
// or sound file.
//
// Each shows a drive list `Drive1`, a folder list `Dir1` (the folders from
// the drive down to the current one, then the current one's subfolders;
// double-click or Enter opens one), a file list `File1` of the current
// folder's files matching the pattern, and the buttons `OKButton` and
// `CancelButton`. The slot to fill is OptionsGlobals::chooserSlot; the box
// to fill is given by the editor. The chooser opens in the folder of the
// file the box names (or the current folder when the box is empty); a box
// naming a drive or folder that does not exist leaves the lists where the
// steps before left them. Clicking a file records its full path as the
// slot's entry and enables OK; OK puts the entry into the box, which runs
// the editor's change detection. A path the settings file could not hold
// (over 99 bytes in CP932, or characters CP932 lacks) is refused with a
// message and the chooser stays open.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "settings/options_globals.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vantel {

class FileChooser : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Picture, Sound };

    // `box` is the editor's box for the slot; it may go away before OK.
    FileChooser(Kind kind, QLineEdit* box, OptionsGlobals& globals, QWidget* parent);

    // File1's pattern, e.g. "*.bmp;*.jpg;*.jpeg;*.gif".
    QString pattern() const { return pattern_; }
    // The drive shown in Drive1 and the folder of Dir1 and File1.
    QString drive() const { return drive_; }
    QString folder() const { return folder_; }
    // Names listed in File1, in list order.
    QStringList files() const;

protected:
    void setPattern(const QString& pattern);
    // Steps 2 to 4 of loading: follow the file the box names.
    void openAtBoxFile();

private:
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void OKButton_Click();
    void CancelButton_Click();

    // Drive1's drive = `drive` (runs Drive1_Change when it changes).
    void setDrive(const QString& drive);
    // Dir1's path = `path` (runs Dir1_Change); false, with nothing changed,
    // when it is not a folder that can be listed.
    bool setDirPath(const QString& path);
    void fillDirList();
    void fillFileList();
    std::string* slotEntry();

    Kind kind_;
    QPointer<QLineEdit> box_;
    OptionsGlobals& globals_;
    std::vector<std::string> drives_;
    QString pattern_;
    QString drive_;
    QString folder_;

    QComboBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

// The picture chooser: "*.bmp;*.jpg;*.jpeg;*.gif".
class Dialog : public FileChooser {
    Q_OBJECT
public:
    Dialog(QLineEdit* box, OptionsGlobals& globals, QWidget* parent);
};

// The sound chooser: "*.mid" for slots 1 to 5 (music), "*.wav" for 6 and 7
// (voices).
class Dialog1 : public FileChooser {
    Q_OBJECT
public:
    Dialog1(QLineEdit* box, OptionsGlobals& globals, QWidget* parent);
};

// Patterns are matched without regard to case ("A.JPG" is a picture).
bool matchesPattern(const QString& fileName, const QString& pattern);

}  // namespace vantel
