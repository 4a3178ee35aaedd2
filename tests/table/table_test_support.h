// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Shared set-up of the window tests: a program folder of their own, instant
// pauses, message boxes and modal windows answered by the test, and the
// program's end and window changes recorded instead of carried out.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "records/match_state.h"
#include "records/settings.h"
#include "table/form1.h"
#include "table/frmspl5.h"
#include "table/message_box.h"
#include "table/program.h"

namespace vantel::test {

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

class WindowHarness {
public:
    WindowHarness() {
        // The program folder holds the default portraits built beside the
        // real program; the settings file lives in a folder of our own.
        binDir_ = std::filesystem::path(VANTEL_PROGRAM_DIR);
        program().location.programFolder = binDir_;
        program().location.settingsFile = std::filesystem::path(dir_.path().toStdString()) / "help" / "Vantel.ini";
        program().pauseScale = 0;
        program().endProgram = [this] { ++programEnds; };
        program().windowOpened = [this](QWidget* w) { opened.push_back(w); };
        sharedState() = MatchState{};
        setMessageAnswerer([this](QMessageBox& box) { return answer(box); });
        setModalRunner([this](QDialog& dialog) { return runDialog(dialog); });
        Form1::setProbe({});
    }
    ~WindowHarness() {
        Form1::setProbe({});
        setMessageAnswerer({});
        setModalRunner({});
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<Form1*>(w) || qobject_cast<Frmspl5*>(w)) windows.emplace_back(w);
        }
        for (auto& w : windows) delete w.data();
        flushDeletes();
        program().endProgram = {};
        program().windowOpened = {};
    }

    std::filesystem::path settingsFile() const { return program().location.settingsFile; }
    std::filesystem::path binDir() const { return binDir_; }

    // Answers for the next boxes, by title; an unlisted title gets its
    // first button (OK / Yes).
    void expect(const QString& title, QMessageBox::StandardButton button) {
        answers_.push_back({title, button});
    }

    QMessageBox::StandardButton answer(QMessageBox& box) {
        boxes.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons()});
        events.push_back(QStringLiteral("box:") + box.windowTitle());
        if (onBox) onBox(box);
        for (auto it = answers_.begin(); it != answers_.end(); ++it) {
            if (it->first == box.windowTitle()) {
                const auto b = it->second;
                answers_.erase(it);
                return b;
            }
        }
        const auto buttons = box.standardButtons();
        if (buttons & QMessageBox::Ok) return QMessageBox::Ok;
        if (buttons & QMessageBox::Yes) return QMessageBox::Yes;
        return QMessageBox::NoButton;
    }

    int runDialog(QDialog& dialog) {
        dialogs.push_back(dialog.objectName());
        events.push_back(dialog.objectName());
        if (onDialog) onDialog(dialog);
        return QDialog::Accepted;
    }

    const ShownBox* lastBox(const QString& title) const {
        for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
            if (it->title == title) return &*it;
        }
        return nullptr;
    }

    static void flushDeletes() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    // Live tables and selection windows that are not on their way out.
    static std::vector<Form1*> liveTables() {
        std::vector<Form1*> out;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<Form1*>(w); f && !f->leaving()) out.push_back(f);
        }
        return out;
    }
    static std::vector<Frmspl5*> liveSelections() {
        std::vector<Frmspl5*> out;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<Frmspl5*>(w); f && !f->leaving()) out.push_back(f);
        }
        return out;
    }

    // Starts the program's flow and picks members `user` and the three
    // `computers` (1-based member numbers); returns the table.
    Form1* chooseMembers(int user, std::vector<int> computers) {
        auto* selection = qobject_cast<Frmspl5*>(openMemberSelection());
        if (!selection) return nullptr;
        QCoreApplication::processEvents();
        QTest::mouseClick(selection->imag(user - 1), Qt::LeftButton);
        for (int m : computers) QTest::mouseClick(selection->imag(m - 1), Qt::LeftButton);
        flushDeletes();
        auto tables = liveTables();
        return tables.empty() ? nullptr : tables.back();
    }

    int programEnds = 0;
    std::vector<QWidget*> opened;
    std::vector<ShownBox> boxes;
    std::vector<QString> dialogs;
    std::vector<QString> events;  // boxes and modal windows in the order shown
    std::function<void(QMessageBox&)> onBox;
    std::function<void(QDialog&)> onDialog;

private:
    QTemporaryDir dir_;
    std::filesystem::path binDir_;
    std::deque<std::pair<QString, QMessageBox::StandardButton>> answers_;
};

// The table plays on by itself, on its timers: lets it run until it waits
// for the user or a command, or has gone. False when that took too long.
inline bool settle(QPointer<Form1> table, int timeoutMs = 600000) {
    QElapsedTimer clock;
    clock.start();
    while (table && !table->leaving() && !table->follower().idle()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The settings file still reads as a whole file.
inline bool settingsFileReads(const std::filesystem::path& file, const std::filesystem::path& bin) {
    MatchState fresh;
    SettingsLocation where{bin, file};
    return std::filesystem::exists(file) && readSettings(fresh, where).status == SettingsStatus::Read;
}

}  // namespace vantel::test
