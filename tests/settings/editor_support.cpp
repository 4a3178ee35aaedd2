// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor_support.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <stdexcept>

#include "platform/profile/profile.h"

namespace vantel::test {

SettingsFolder::SettingsFolder(int memberCount) {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    writeDefaultSettings(state_, location());
    std::vector<profile::KeyValue> entries;
    entries.push_back({"Mentu", "Ninzu", std::to_string(memberCount)});
    for (int member = 1; member <= kMaxMembers; ++member) {
        const std::string section = memberSection(member);
        const bool present = member <= memberCount;
        entries.push_back({section, "Name", present ? nameOf(member) : ""});
        for (int picture = 1; picture <= kPicturesPerMember; ++picture) {
            entries.push_back({section, memberImageKey(picture), present ? pictureOf(member, picture) : ""});
        }
        entries.push_back({section, "Sex", present ? (member % 3 == 0 ? "2" : "1") : ""});
    }
    if (!profile::writeStrings(file(), entries)) throw std::runtime_error("cannot write the settings");
    if (!readSettings(state_, location()).ok()) throw std::runtime_error("cannot read the settings");
}

std::filesystem::path SettingsFolder::folder() const { return dir_.path().toStdString(); }
std::filesystem::path SettingsFolder::file() const { return folder() / "Vantel.ini"; }
SettingsLocation SettingsFolder::location() const { return SettingsLocation{folder(), file()}; }

std::string SettingsFolder::bytes() const {
    QFile in(QString::fromStdString(file().string()));
    if (!in.open(QIODevice::ReadOnly)) return {};
    return in.readAll().toStdString();
}

std::string SettingsFolder::value(const std::string& section, const std::string& key) const {
    return profile::readString(file(), section, key, "", 1000);
}

bool SettingsFolder::hasKey(const std::string& section, const std::string& key) const {
    // Read from the lines themselves: the reader gives an empty value and a
    // missing key alike.
    const QList<QByteArray> lines = QByteArray::fromStdString(bytes()).split('\n');
    bool inSection = false;
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inSection = line == QByteArray::fromStdString("[" + section + "]");
        } else if (inSection && line.startsWith(QByteArray::fromStdString(key + "="))) {
            return true;
        }
    }
    return false;
}

MatchState SettingsFolder::reread() const {
    MatchState fresh;
    readSettings(fresh, location());
    return fresh;
}

std::string SettingsFolder::nameOf(int member) {
    static const char* const kNames[] = {"", "あやや", "ゆうこ", "はるか", "みさこ", "ABCDEFGH", "かおる", "Aいう", "りさ"};
    if (member < 9) return kNames[member];
    return "M" + std::to_string(member);
}

std::string SettingsFolder::pictureOf(int member, int picture) {
    return "/pictures/m" + std::to_string(member) + "_" + std::to_string(picture) + ".jpg";
}

FakeThumbnails::FakeThumbnails(const MatchState& state) {
    for (int member = 1; member <= state.memberCount; ++member) pictures.push_back(state.memberImage[member][1]);
}

void FakeThumbnails::addThumbnail(int index, const std::string& picturePath) {
    calls.push_back({"add", index, picturePath});
    if (index == thumbnailCount()) pictures.push_back(picturePath);
}

void FakeThumbnails::setThumbnailPicture(int index, const std::string& picturePath) {
    calls.push_back({"set", index, picturePath});
    if (index >= 0 && index < thumbnailCount()) pictures[static_cast<std::size_t>(index)] = picturePath;
}

void FakeThumbnails::removeThumbnail(int index) {
    calls.push_back({"remove", index, {}});
    if (index == thumbnailCount() - 1) pictures.pop_back();
}

ModalScript::ModalScript() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    timer_.start();
}

ModalScript::~ModalScript() { timer_.stop(); }

ModalScript& ModalScript::answer(QMessageBox::StandardButton button) {
    steps_.push_back([button](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) {
            QFAIL("a message box was expected");
            return;
        }
        QAbstractButton* target = box->button(button);
        if (!target) {
            QFAIL("the message box has no such button");
            return;
        }
        target->click();
    });
    return *this;
}

ModalScript& ModalScript::then(std::function<void(QWidget*)> step) {
    steps_.push_back(std::move(step));
    return *this;
}

void ModalScript::poll() {
    QWidget* window = QApplication::activeModalWidget();
    if (!window || window == last_ || !window->isVisible()) return;
    last_ = window;
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
    }
    if (steps_.empty()) {
        // Other windows (a chooser the test shows itself) are the test's own.
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) return;
        ++unexpected;
        QAbstractButton* button = box->button(QMessageBox::Cancel);
        if (!button) button = box->button(QMessageBox::Ok);
        if (button) button->click();
        return;
    }
    auto step = std::move(steps_.front());
    steps_.pop_front();
    step(window);
}

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) return false;
        QTest::qWait(5);
    }
    return true;
}

}  // namespace vantel::test
