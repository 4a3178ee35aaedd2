// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Shared pieces of the settings editor tests: a settings file in a
// temporary folder with a chosen number of members, a recording stand-in
// for the member selection window's thumbnails, and a script that answers
// the modal windows (message boxes, choosers) the editor opens.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "records/match_state.h"
#include "records/settings.h"
#include "settings/member_thumbnails.h"

namespace vantel::test {

// A settings file (factory values plus members 5..count) in a fresh
// temporary folder, read into `state`.
class SettingsFolder {
public:
    explicit SettingsFolder(int memberCount);

    std::filesystem::path folder() const;
    std::filesystem::path file() const;
    SettingsLocation location() const;
    MatchState& state() { return state_; }

    // The raw bytes of the settings file.
    std::string bytes() const;
    // A key's value as stored (UTF-8), "" when missing.
    std::string value(const std::string& section, const std::string& key) const;
    // Whether the key exists at all (even with an empty value).
    bool hasKey(const std::string& section, const std::string& key) const;
    // The file read into a new state, as the game would read it.
    MatchState reread() const;

    // The test values of member m (1..20).
    static std::string nameOf(int member);
    static std::string pictureOf(int member, int picture);

private:
    QTemporaryDir dir_;
    MatchState state_;
};

struct ThumbnailCall {
    std::string what;  // "add", "set", "remove"
    int index = -1;
    std::string picture;
    bool operator==(const ThumbnailCall&) const = default;
};

// Records what the editor does to the member selection grid.
class FakeThumbnails : public MemberThumbnails {
public:
    explicit FakeThumbnails(const MatchState& state);
    int thumbnailCount() const override { return static_cast<int>(pictures.size()); }
    void addThumbnail(int index, const std::string& picturePath) override;
    void setThumbnailPicture(int index, const std::string& picturePath) override;
    void removeThumbnail(int index) override;

    std::vector<std::string> pictures;  // what each thumbnail shows
    std::vector<ThumbnailCall> calls;
};

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the modal windows as they come up, in order. Message boxes are
// recorded; a message box with no step left is answered with Cancel (or OK)
// and counted as unexpected.
class ModalScript : public QObject {
public:
    ModalScript();
    ~ModalScript() override;

    // The next modal window is a message box: record it and press `button`.
    ModalScript& answer(QMessageBox::StandardButton button);
    // The next modal window is handed to `step` (a chooser, say).
    ModalScript& then(std::function<void(QWidget*)> step);

    bool finished() const { return steps_.empty(); }
    std::vector<SeenBox> boxes;
    int unexpected = 0;

private:
    void poll();

    std::deque<std::function<void(QWidget*)>> steps_;
    QPointer<QWidget> last_;
    QTimer timer_;
};

// Waits (pumping events) until `done` or a few seconds pass.
bool waitFor(const std::function<bool()>& done, int milliseconds = 5000);

}  // namespace vantel::test
