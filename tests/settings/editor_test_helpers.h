// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An editor window on a temporary settings file, with the controls the
// tests reach by their names.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "editor_support.h"
#include "settings/frm_options.h"
#include "settings/options_globals.h"

namespace vantel::test {

class Editor {
public:
    explicit Editor(int members, OptionsGlobals globals = {})
        : settings(members), thumbnails(settings.state()), globals(std::move(globals)) {
        open();
    }

    // A new window on the same state, globals and thumbnails.
    void open() {
        window = std::make_unique<frmOptions>(settings.state(), &thumbnails, nullptr, globals);
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get())) qWarning("the editor window did not become active");
    }

    template <class T>
    T* get(const QString& name) const {
        T* widget = window->findChild<T*>(name);
        if (!widget) qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QLineEdit* box(const QString& name) const { return get<QLineEdit>(name); }
    QPushButton* button(const QString& name) const { return get<QPushButton>(name); }
    QRadioButton* option(const QString& name) const { return get<QRadioButton>(name); }
    QGroupBox* frame(const QString& name) const { return get<QGroupBox>(name); }
    QComboBox* combo() const { return get<QComboBox>(QStringLiteral("Combo1")); }
    QTabWidget* tabs() const { return get<QTabWidget>(QStringLiteral("SSTab1")); }
    QString prompt() const { return get<QLabel>(QStringLiteral("Label1"))->text(); }
    MatchState& state() { return settings.state(); }

    // Types `text` into the box as the user would, over what it held.
    static void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        typeText(box, text);
    }

    // Sends `text` as key presses, one character each (QTest's own key
    // clicks take only ASCII).
    static void typeText(QWidget* widget, const QString& text) {
        for (int at = 0; at < text.size();) {
            const int length = text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
            const QString character = text.mid(at, length);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
            QCoreApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
            QCoreApplication::sendEvent(widget, &release);
            at += length;
        }
    }

    // Chooses list index `index` in Combo1 as the user does with the
    // keyboard: one Down key from the item above it, which the list reports
    // as the user's choice (activated).
    void choose(int index) const {
        QComboBox* list = combo();
        list->setFocus();
        list->setCurrentIndex(index - 1);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentIndex(), index);
    }

    SettingsFolder settings;
    FakeThumbnails thumbnails;
    OptionsGlobals globals;
    std::unique_ptr<frmOptions> window;
};

inline QString u(const std::string& text) { return QString::fromStdString(text); }

}  // namespace vantel::test
