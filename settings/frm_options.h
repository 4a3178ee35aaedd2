// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings editor `frmOptions` ("ｵﾌﾟｼｮﾝの設定"): the members (name, line
// set, four pictures; add, delete, change), the female and male dialogue
// lines and the seven music and sound files, on four tabs of `SSTab1`, with
// `cmdOK` ("適用", apply) and `cmdCancel` ("終了", close) below.
//
// It edits the match state and writes each accepted change to the settings
// file at state.iniPath; every step's keys go to the file in one
// replacement, so the file holds all of a step or none of it, and the
// state changes only once the file has. It keeps the member selection
// window's thumbnails in step through `MemberThumbnails` and sets
// selectionPhase to 0 after a member step, since member numbers may move.
//
// Every control's object name is its name: "SSTab1", "Option1".."Option5",
// "Frame1".."Frame4", "fraSample1", "Combo1", "Text5", "Label1",
// "Text1_0".."Text1_3", "Command1_0".."Command1_3", "Text11_0".."Text11_8",
// "Text12_0".."Text12_8", "Text20_0".."Text20_6", "Command5_0".."Command5_6",
// "cmdOK", "cmdCancel".
//
// Show it with exec() (modal); it survives its parent going away while it or
// one of its message boxes or choosers waits (see showModal).
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "records/match_state.h"
#include "settings/member_thumbnails.h"
#include "settings/options_globals.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace vantel::profile {
struct KeyValue;
}

namespace vantel {

class frmOptions : public QDialog {
    Q_OBJECT
public:
    // `state` and `globals` must outlive the window. `thumbnails` (may be
    // null) must outlive it too, or be its parent or owned by its parent,
    // since the window is deleted with its parent.
    frmOptions(MatchState& state, MemberThumbnails* thumbnails, QWidget* parent = nullptr,
               OptionsGlobals& globals = optionsGlobals());

    // Creates the window on the heap, shows it modally and deletes it; safe
    // when `parent` is deleted while it is open.
    static void showModal(MatchState& state, MemberThumbnails* thumbnails, QWidget* parent);

    enum Tab { kImageTab = 0, kFemaleLinesTab = 1, kMaleLinesTab = 2, kSoundTab = 3 };
    // Whether the tab has changes not yet written.
    bool tabChanged(int tab) const;

private:
    enum class Mode { Add, Delete, Change };

    void buildImageTab(QWidget* page);
    void buildLinesTab(QWidget* page, std::array<QLineEdit*, kLinesPerSet>& boxes, const QString& prefix);
    void buildSoundTab(QWidget* page);
    QLineEdit* newBox(const QString& name, int maxBytes, QWidget* parent);

    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Combo1_Click(int listIndex);
    void Text1_Change(int index);
    void Text5_Change();
    void Text11_Change(int index);
    void Text12_Change(int index);
    void Text20_Change(int index);
    void Command1_Click(int index);
    void Command5_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    Mode mode() const;
    void markChanged(bool& flag);
    bool memberChosen() const;
    void fillCombo1();
    // Selects list index `listIndex` as the list does when a program sets
    // it: the choice runs Combo1_Click.
    void selectInCombo1(int listIndex);
    void updateModeLimits();

    void validateImageTab();
    void writeImageTab();
    void addMember();
    void deleteMember();
    void changeMember();
    void validateLines(const std::array<QLineEdit*, kLinesPerSet>& boxes);
    void writeLines(const std::array<QLineEdit*, kLinesPerSet>& boxes, bool female);
    void validateSounds();
    void writeSounds();
    // Writes the keys in one replacement of the file; tells the user and
    // sets applyFailed when it cannot.
    bool writeKeys(const std::vector<profile::KeyValue>& entries);
    // A failed check: the message (exclamation, OK), applyFailed, and the
    // focus to `focus`.
    void failValidation(QWidget* focus, const QString& title, const QString& text);

    MatchState& state_;
    MemberThumbnails* thumbnails_;
    OptionsGlobals& globals_;

    bool imageTabChanged_ = false;
    bool femaleLinesChanged_ = false;
    bool maleLinesChanged_ = false;
    bool soundTabChanged_ = false;
    bool applyFailed_ = false;
    Mode lastMode_ = Mode::Add;

    QTabWidget* SSTab1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* fraSample1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QRadioButton* Option5 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QLineEdit*, kPicturesPerMember> Text1{};
    std::array<QPushButton*, kPicturesPerMember> Command1{};
    std::array<QLineEdit*, kLinesPerSet> Text11{};
    std::array<QLineEdit*, kLinesPerSet> Text12{};
    std::array<QLineEdit*, kSoundFiles> Text20{};
    std::array<QPushButton*, kSoundFiles> Command5{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace vantel
