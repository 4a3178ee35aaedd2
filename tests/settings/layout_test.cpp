// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every caption of the editor and its choosers fits its control: labels,
// option buttons, buttons, frame titles, tab captions and the member list.

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QtTest>

#include "editor_test_helpers.h"
#include "settings/file_choosers.h"

using namespace vantel;
using namespace vantel::test;

namespace {

// The captions of the visible controls under `root` that do not fit.
QStringList clipped(QWidget* root) {
    QStringList problems;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        const QFontMetrics metrics(widget->font());
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (!label->text().isEmpty() && label->width() < label->minimumSizeHint().width()) {
                problems << QStringLiteral("label %1").arg(label->text());
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->width() < button->sizeHint().width()) problems << QStringLiteral("button %1").arg(button->text());
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            option.textAlignment = frame->alignment();
            const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, frame);
            // The frame draws its title in the style's label rectangle.
            if (label.right() >= frame->width() || frame->width() < frame->minimumSizeHint().width()) {
                problems << QStringLiteral("frame %1").arg(frame->title());
            }
        } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (tabs->tabRect(i).width() < metrics.horizontalAdvance(tabs->tabText(i))) {
                    problems << QStringLiteral("tab %1").arg(tabs->tabText(i));
                }
            }
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < list->count(); ++i) {
                if (metrics.horizontalAdvance(list->itemText(i)) > list->width() - 24) {
                    problems << QStringLiteral("list item %1").arg(list->itemText(i));
                }
            }
        }
    }
    return problems;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void everyTabShowsItsCaptionsWhole() {
        Editor editor(20);
        // The longest names the list can hold.
        for (int member = 1; member <= 20; ++member) editor.state().memberName[member] = "ああああ";
        editor.open();
        for (int tab = 0; tab < 4; ++tab) {
            editor.tabs()->setCurrentIndex(tab);
            QTest::qWait(10);
            const QStringList problems = clipped(editor.window.get());
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral(", "))));
        }
    }

    void theChoosersShowTheirCaptionsWhole() {
        OptionsGlobals globals;
        globals.chooserSlot = 1;
        QLineEdit box;
        Dialog pictures(&box, globals, nullptr);
        pictures.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pictures));
        QStringList problems = clipped(&pictures);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral(", "))));
        Dialog1 sounds(&box, globals, nullptr);
        sounds.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sounds));
        problems = clipped(&sounds);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
